#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// The kernel's one lock over its shared lists: re-entrant for its holder, and
// waited for with a limit so that a stuck holder turns into a failure.
class CZXS_KernelLock {
public:
    CZXS_KernelLock() = default;
    CZXS_KernelLock(const CZXS_KernelLock&) = delete;
    CZXS_KernelLock& operator=(const CZXS_KernelLock&) = delete;

    void lock();
    bool try_lock() { return try_lock_for(std::chrono::milliseconds(0)); }
    bool try_lock_for(std::chrono::milliseconds wait);
    void unlock();

private:
    std::mutex m_mutex;
    std::condition_variable m_free;
    std::thread::id m_owner;
    uint32_t m_depth = 0;
};
