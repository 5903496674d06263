#pragma once
// The millisecond tick count the program measures time with. Like the device's,
// it is 32 bits wide and wraps; compare ticks only by unsigned difference.
#include <atomic>
#include <cstdint>

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
class ManualClock final : public Clock {
public:
    explicit ManualClock(uint32_t start = 0)
        : m_now(start)
    {
    }
    uint32_t tickCount() const override { return m_now.load(); }
    void advance(uint32_t ms) { m_now.fetch_add(ms); }
    void set(uint32_t now) { m_now.store(now); }

private:
    std::atomic<uint32_t> m_now;
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
