#pragma once
// The life of the traffic data as the user sees it: whether a download is
// awaited, whether the last jam picture arrived and was applied to the map,
// and whether the controller has shown it. The map controller, its tick and
// the traffic callback drive it; every operation takes the lock.
#include "platform/sync.h"

#include <cstdint>

class CJamSchedule {
public:
    enum : uint8_t {
        STATE_GOOD = 2,
        STATE_FAILED = 4,
        STATE_AWAITED = 8,
        STATE_APPLIED = 16,
        STATE_RECEIVED = 32,
    };

    // The traffic settings were applied: a download no longer awaited.
    void OnSettingsChanged();
    // A download was asked for now.
    void RequestNow();
    // The traffic manager saved a jam picture (or failed to).
    void OnJamReceived(bool success);
    // The jam-file manager's apply pass ended.
    void OnJamApplied(bool success);
    // The controller has shown the applied jams (good) or the time it gave them
    // ran out; false when nothing was applied and awaiting this.
    bool Acknowledge(bool good);
    uint8_t GetState();

private:
    platform::CriticalSection m_lock;
    uint8_t m_state = 0;
};
