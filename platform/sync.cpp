#include "platform/sync.h"

#include "platform/clock.h"

#include <cassert>
#include <chrono>

namespace platform {

void CriticalSection::Lock()
{
    m_mutex.lock();
    m_owner.store(std::this_thread::get_id());
    ++m_count;
}

bool CriticalSection::TryLock()
{
    if (!m_mutex.try_lock())
        return false;
    m_owner.store(std::this_thread::get_id());
    ++m_count;
    return true;
}

void CriticalSection::Unlock()
{
    assert(IsOwnedByCurrentThread());
    if (--m_count == 0)
        m_owner.store(std::thread::id());
    m_mutex.unlock();
}

bool CriticalSection::IsOwnedByCurrentThread() const { return m_owner.load() == std::this_thread::get_id(); }

int CriticalSection::ReleaseAll()
{
    if (!IsOwnedByCurrentThread())
        return 0;
    int count = m_count;
    for (int i = 0; i < count; ++i)
        Unlock();
    return count;
}

void CriticalSection::ReacquireAll(int count)
{
    for (int i = 0; i < count; ++i)
        Lock();
}

void Event::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    if (m_manualReset)
        m_cv.notify_all();
    else
        m_cv.notify_one();
}

void Event::Reset()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool Event::Wait(uint32_t timeoutMs)
{
    if (auto* manual = dynamic_cast<ManualClock*>(&clock()))
        return WaitOnManualClock(*manual, timeoutMs);
    std::unique_lock lock(m_mutex);
    auto ready = [this] { return m_signalled; };
    if (timeoutMs == INFINITE)
        m_cv.wait(lock, ready);
    else if (!m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return false;
    if (!m_manualReset)
        m_signalled = false;
    return true;
}

bool Event::WaitOnManualClock(ManualClock& manual, uint32_t timeoutMs)
{
    // The start is read before the wait is registered, so that no advance
    // after the registration can be missed by the wait's measure.
    const uint32_t start = manual.tickCount();
    ManualClock::WaitScope scope(manual, m_mutex, m_cv);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_signalled) {
            if (!m_manualReset)
                m_signalled = false;
            return true;
        }
        const uint64_t generation = scope.Generation();
        if (timeoutMs != INFINITE && manual.tickCount() - start >= timeoutMs)
            return false;
        scope.Checked(generation);
        m_cv.wait(lock);
    }
}

bool Event::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

} // namespace platform
