#pragma once
// The disabled-road store: the user's road closures and the jams in force,
// which its worker writes into the map's passage journal. Its switches say
// what is in force (bit 0 the disabled roads, bit 1 the jams).
#include "platform/sync.h"

#include <cstdint>

class CJamFileManager {
public:
    enum : uint8_t { SWITCH_BLOCKING = 0x1, SWITCH_JAMS = 0x2 };

    platform::CriticalSection& Lock() { return m_lock; }
    uint8_t GetSwitches();
    void SetSwitches(uint8_t switches);
    // Whether the store's main file is open (the user's closures can be edited).
    bool IsOpen() const { return false; }
    // Starts applying the files to the journal in the worker; false when no
    // worker could be started (the caller then has the kernel write the
    // journal from what it holds). Never called with the lock held.
    bool StartWorker(bool applyNow);

private:
    platform::CriticalSection m_lock;
    uint8_t m_switches = 0;
};
