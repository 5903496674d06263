#pragma once
// Critical sections and events with the semantics the program relies on:
// critical sections are re-entrant and know their owner and recursion count
// (some code releases one fully and takes it back later); events are manual or
// automatic reset with timed waits.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace platform {

class ManualClock;

class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Lock();
    bool TryLock();
    void Unlock();

    bool IsOwnedByCurrentThread() const;
    // Recursion count of the owner; 0 when free. Meaningful to the owner only.
    int LockCount() const { return m_count; }

    // Releases every level held by the calling thread and returns how many there
    // were, so that ReacquireAll can restore them.
    int ReleaseAll();
    void ReacquireAll(int count);

    // std::lock_guard compatibility.
    void lock() { Lock(); }
    void unlock() { Unlock(); }
    bool try_lock() { return TryLock(); }

private:
    std::recursive_mutex m_mutex;
    std::atomic<std::thread::id> m_owner {};
    std::atomic<int> m_count { 0 };
};

// RAII holder of a critical section.
class CSLock {
public:
    explicit CSLock(CriticalSection& cs)
        : m_cs(cs)
    {
        m_cs.Lock();
    }
    ~CSLock() { m_cs.Unlock(); }
    CSLock(const CSLock&) = delete;
    CSLock& operator=(const CSLock&) = delete;

private:
    CriticalSection& m_cs;
};

class Event {
public:
    static constexpr uint32_t INFINITE = 0xFFFFFFFFu;

    explicit Event(bool manualReset = false, bool initialState = false)
        : m_manualReset(manualReset)
        , m_signalled(initialState)
    {
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when the event was signalled within timeoutMs (INFINITE waits for
    // ever), measured on platform::clock(): with a manual clock installed the
    // time-out comes only when the clock is moved past it. An automatic-reset
    // event is reset by the wait that took it.
    bool Wait(uint32_t timeoutMs = INFINITE);
    bool IsSet() const;

private:
    bool WaitOnManualClock(ManualClock& clock, uint32_t timeoutMs);

    const bool m_manualReset;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_signalled;
};

} // namespace platform
