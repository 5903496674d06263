#include "platform/clock.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <thread>

namespace platform {

uint32_t SystemClock::tickCount() const
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

ManualClock::~ManualClock()
{
    std::lock_guard lock(m_waitersMutex);
    assert(m_waiters.empty() && "a manual clock removed while a thread waits on it");
}

void ManualClock::advance(uint32_t ms)
{
    m_now.fetch_add(ms);
    Moved();
}

void ManualClock::set(uint32_t now)
{
    m_now.store(now);
    Moved();
}

void ManualClock::Moved()
{
    // The time first, then the generation: a waiter that reads the new
    // generation reads the new time after it.
    std::vector<WaitScope*> waiters;
    uint64_t generation;
    {
        std::lock_guard lock(m_waitersMutex);
        generation = ++m_generation;
        waiters = m_waiters;
        ++m_waking;
    }
    // Each waiter's mutex is taken without the list's: a waiter reports its
    // checks while it holds its own. A scope cannot end while m_waking is set.
    for (WaitScope* waiter : waiters) {
        std::lock_guard waiterLock(waiter->m_mutex);
        waiter->m_cv.notify_all();
    }
    std::unique_lock lock(m_waitersMutex);
    --m_waking;
    m_waitersChanged.notify_all();
    m_waitersChanged.wait(lock, [&] {
        for (WaitScope* waiter : waiters)
            if (std::find(m_waiters.begin(), m_waiters.end(), waiter) != m_waiters.end()
                && waiter->m_checked < generation)
                return false;
        return true;
    });
}

int ManualClock::Waiters() const
{
    std::lock_guard lock(m_waitersMutex);
    return static_cast<int>(m_waiters.size());
}

uint64_t ManualClock::WaitsBegun() const
{
    std::lock_guard lock(m_waitersMutex);
    return m_waitsBegun;
}

bool ManualClock::AwaitWaiters(int count, uint32_t limitMs) const
{
    std::unique_lock lock(m_waitersMutex);
    return m_waitersChanged.wait_for(lock, std::chrono::milliseconds(limitMs),
        [&] { return static_cast<int>(m_waiters.size()) >= count; });
}

bool ManualClock::AwaitWaitsBegun(uint64_t count, uint32_t limitMs) const
{
    std::unique_lock lock(m_waitersMutex);
    return m_waitersChanged.wait_for(
        lock, std::chrono::milliseconds(limitMs), [&] { return m_waitsBegun >= count; });
}

ManualClock::WaitScope::WaitScope(ManualClock& clock, std::mutex& mutex, std::condition_variable& cv)
    : m_clock(clock)
    , m_mutex(mutex)
    , m_cv(cv)
{
    std::lock_guard lock(m_clock.m_waitersMutex);
    m_clock.m_waiters.push_back(this);
    ++m_clock.m_waitsBegun;
    m_clock.m_waitersChanged.notify_all();
}

ManualClock::WaitScope::~WaitScope()
{
    std::unique_lock lock(m_clock.m_waitersMutex);
    m_clock.m_waitersChanged.wait(lock, [&] { return m_clock.m_waking == 0; });
    std::erase(m_clock.m_waiters, this);
    m_clock.m_waitersChanged.notify_all();
}

void ManualClock::WaitScope::Checked(uint64_t generation)
{
    std::lock_guard lock(m_clock.m_waitersMutex);
    m_checked = generation;
    m_clock.m_waitersChanged.notify_all();
}

namespace {
SystemClock g_systemClock;
std::atomic<Clock*> g_clock { &g_systemClock };
}

Clock& clock() { return *g_clock.load(); }

void setClock(Clock* c) { g_clock.store(c ? c : &g_systemClock); }

uint32_t GetTickCount() { return clock().tickCount(); }

void Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace platform
