#pragma once

#include <cstdint>

// The millisecond tick and the sleep of the renderer's bounded waits and frame
// budgets. Tests install their own pair, so waits of seconds pass at once.
using ZXS_TickFunction = uint32_t (*)();
using ZXS_SleepFunction = void (*)(uint32_t milliseconds);

// Null restores the steady clock or the real sleep.
void ZXS_SetRenderClock(ZXS_TickFunction tick, ZXS_SleepFunction sleep);
uint32_t ZXS_RenderTick();
void ZXS_RenderSleep(uint32_t milliseconds);
