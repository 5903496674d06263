#pragma once
// Timers with ids on a message target. A due timer delivers WM_TIMER with its id
// as wParam on the target's thread. Like the device's timers they coalesce: a
// timer whose tick has not been handled yet (a stalled user-interface thread)
// has at most one tick pending, never a burst, and the next period counts from
// the tick that was delivered.
//
// Time comes from platform::clock(); with a manual clock installed a test
// advances the clock and calls DispatchDueTimers() instead of sleeping.
#include "platform/messages.h"

#include <cstdint>

namespace platform {

// Starts (or restarts with a new interval) the timer `id` of the target.
void SetTimer(MessageTarget* target, uint32_t id, uint32_t intervalMs);
// Starts a timer that fires once and is then removed.
void SetOneShotTimer(MessageTarget* target, uint32_t id, uint32_t delayMs);
// Stops the timer; a tick already queued for it is not delivered. False when
// there was no such timer.
bool KillTimer(MessageTarget* target, uint32_t id);
// Removes every timer of a target (done when a target is destroyed).
void KillAllTimers(MessageTarget* target);
bool IsTimerActive(MessageTarget* target, uint32_t id);

// Posts one WM_TIMER for each due timer that has none pending, and returns how
// many were posted. The real clock calls this by itself on the thread that set
// the timers; tests call it after advancing a manual clock.
int DispatchDueTimers();

} // namespace platform
