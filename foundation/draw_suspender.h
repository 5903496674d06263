#pragma once
// Pausing and stopping the draw thread's copies to the screen, and the
// callbacks run after each frame. The draw thread copies a frame while holding
// the drawing lock; a suspender takes that lock, so it returns only between two
// copies, and keeps it until the last Resume.
#include "platform/sync.h"

#include <atomic>
#include <cstdint>
#include <semaphore>
#include <vector>

// Returns non-zero when it has done its work and may be removed.
using FrameCallback = int (*)(void* user);

class CFrameCallbackList {
public:
    void Add(FrameCallback callback, void* user);
    // Runs every callback once and removes those that returned non-zero.
    void RunAll();
    // Removes every callback for `user`, waiting for one that is running:
    // an object going away calls it so that no frame calls it afterwards.
    void Remove(void* user);
    size_t Count();

private:
    struct Entry {
        FrameCallback callback;
        void* user;
    };
    std::vector<Entry> m_callbacks;
    platform::CriticalSection m_lock;
};

class CDrawSuspender {
public:
    enum : uint8_t {
        STATE_PAUSE_REQUEST = 0x01,
        STATE_NO_COPY = 0x02,
        STATE_STOP = 0x04,
        STATE_IDLE = 0x08,
        STATE_STOPPING = 0x10,
    };

    void Suspend();
    void Resume(int clearRequest);
    bool IsSuspended() const { return m_suspendCount.load() > 0; }
    void MarkIdle();
    void StopAndWait();

    // The draw thread's side: the state it reads each frame, the drawing lock
    // around a copy (false when not taken within the time limit), the
    // acknowledgement that it has seen the stop request, and the callbacks.
    uint8_t State() const { return m_state.load(); }
    void SetStateBits(uint8_t bits) { m_state.fetch_or(bits); }
    void ClearStateBits(uint8_t bits) { m_state.fetch_and(static_cast<uint8_t>(~bits)); }
    bool LockDrawing(uint32_t timeoutMs);
    void UnlockDrawing();
    void AcknowledgeStop() { m_stopSeen.Set(); }

    CFrameCallbackList& FrameCallbacks() { return m_callbacks; }

private:
    CFrameCallbackList m_callbacks;
    // A semaphore rather than a mutex: the suspender that releases it need not
    // be the thread that took it.
    std::binary_semaphore m_drawingLock { 1 };
    std::atomic<int> m_suspendCount { 0 };
    std::atomic<uint8_t> m_state { 0 };
    platform::Event m_stopSeen { false, false };
};

extern CDrawSuspender g_drawSuspender;
