#pragma once
// The millisecond tick count the program measures time with. Like the device's,
// it is 32 bits wide and wraps; compare ticks only by unsigned difference.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t tickCount() const = 0;
};

// Milliseconds of the monotonic clock, truncated to 32 bits.
class SystemClock final : public Clock {
public:
    uint32_t tickCount() const override;
};

// A clock that moves only when told to, so tests never sleep to make time pass.
// Timed waits of platform::Event measure on the installed clock. Moving this
// one returns only once every thread waiting on it has seen the new time: a
// wait whose time has come has ended (Waiters() no longer counts it), any
// other is asleep again. So a test can step a worker thread and tell at once
// whether its time-out fired.
class ManualClock final : public Clock {
public:
    explicit ManualClock(uint32_t start = 0)
        : m_now(start)
    {
    }
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    uint32_t tickCount() const override { return m_now.load(); }
    void advance(uint32_t ms);
    void set(uint32_t now);

    // Threads inside a wait measured on this clock, and the waits begun so far.
    int Waiters() const;
    uint64_t WaitsBegun() const;
    // Block in real time until that many threads wait, or that many waits have
    // begun; false when `limitMs` of real time pass first (a test then fails
    // instead of hanging).
    bool AwaitWaiters(int count, uint32_t limitMs = 20000) const;
    bool AwaitWaitsBegun(uint64_t count, uint32_t limitMs = 20000) const;

    // A thread's wait on this clock, registered for the life of the object.
    // Made before the waiter takes its own mutex and ended after it has let it
    // go; while it holds the mutex it reads Generation() before the time and
    // reports it with Checked() before it sleeps.
    class WaitScope {
    public:
        WaitScope(ManualClock& clock, std::mutex& mutex, std::condition_variable& cv);
        ~WaitScope();
        WaitScope(const WaitScope&) = delete;
        WaitScope& operator=(const WaitScope&) = delete;

        uint64_t Generation() const { return m_clock.m_generation.load(); }
        void Checked(uint64_t generation);

    private:
        ManualClock& m_clock;
        std::mutex& m_mutex;
        std::condition_variable& m_cv;
        uint64_t m_checked = 0; // under the clock's m_waitersMutex
        friend class ManualClock;
    };

private:
    void Moved();

    std::atomic<uint32_t> m_now;
    std::atomic<uint64_t> m_generation { 0 };
    mutable std::mutex m_waitersMutex;
    mutable std::condition_variable m_waitersChanged;
    std::vector<WaitScope*> m_waiters;
    int m_waking = 0; // advances notifying waiters outside m_waitersMutex
    uint64_t m_waitsBegun = 0;
};

// The clock in use; the system clock unless a test installed another.
Clock& clock();
// Installs a clock (nullptr restores the system clock). The caller keeps it alive.
void setClock(Clock* clock);

uint32_t GetTickCount();
void Sleep(uint32_t ms);

// Scoped installation of a manual clock for a test.
class ScopedManualClock {
public:
    explicit ScopedManualClock(uint32_t start = 0)
        : m_clock(start)
    {
        setClock(&m_clock);
    }
    ~ScopedManualClock() { setClock(nullptr); }
    ScopedManualClock(const ScopedManualClock&) = delete;
    ScopedManualClock& operator=(const ScopedManualClock&) = delete;
    ManualClock& operator*() { return m_clock; }
    ManualClock* operator->() { return &m_clock; }

private:
    ManualClock m_clock;
};

} // namespace platform
