#include "kernel/doc/kernel_lock.h"

void CZXS_KernelLock::lock()
{
    std::unique_lock lock(m_mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (m_depth == 0 || m_owner != self)
        m_free.wait(lock, [&] { return m_depth == 0; });
    m_owner = self;
    ++m_depth;
}

bool CZXS_KernelLock::try_lock_for(std::chrono::milliseconds wait)
{
    std::unique_lock lock(m_mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (m_depth != 0 && m_owner != self && !m_free.wait_for(lock, wait, [&] { return m_depth == 0; }))
        return false;
    m_owner = self;
    ++m_depth;
    return true;
}

void CZXS_KernelLock::unlock()
{
    std::unique_lock lock(m_mutex);
    if (m_depth == 0 || --m_depth != 0)
        return;
    m_owner = std::thread::id();
    lock.unlock();
    m_free.notify_one();
}
