#include "foundation/draw_suspender.h"

#include <chrono>

CDrawSuspender g_drawSuspender;

void CFrameCallbackList::Add(FrameCallback callback, void* user)
{
    platform::CSLock guard(m_lock);
    m_callbacks.push_back({ callback, user });
}

void CFrameCallbackList::RunAll()
{
    platform::CSLock guard(m_lock);
    for (size_t i = 0; i < m_callbacks.size();) {
        if (m_callbacks[i].callback(m_callbacks[i].user))
            m_callbacks.erase(m_callbacks.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void CFrameCallbackList::Remove(void* user)
{
    platform::CSLock guard(m_lock);
    std::erase_if(m_callbacks, [user](const Entry& entry) { return entry.user == user; });
}

size_t CFrameCallbackList::Count()
{
    platform::CSLock guard(m_lock);
    return m_callbacks.size();
}

void CDrawSuspender::Suspend()
{
    if (++m_suspendCount == 1)
        m_drawingLock.acquire();
    uint8_t s = m_state.load();
    while (!m_state.compare_exchange_weak(
        s, static_cast<uint8_t>((s & ~(STATE_STOP | STATE_IDLE)) | STATE_PAUSE_REQUEST)))
        ;
}

void CDrawSuspender::Resume(int clearRequest)
{
    if (--m_suspendCount != 0)
        return;
    ClearStateBits(static_cast<uint8_t>(STATE_STOP | STATE_IDLE | (clearRequest ? STATE_PAUSE_REQUEST : 0)));
    m_drawingLock.release();
}

void CDrawSuspender::MarkIdle()
{
    uint8_t s = m_state.load();
    while (!m_state.compare_exchange_weak(
        s, static_cast<uint8_t>((s & 0xF0) | STATE_PAUSE_REQUEST | STATE_NO_COPY)))
        ;
}

void CDrawSuspender::StopAndWait()
{
    m_stopSeen.Reset();
    SetStateBits(STATE_STOP);
    if (!IsSuspended())
        return;
    // The caller holds the drawing lock: let the draw thread run into the stop
    // request, and wait until it says it has seen it (at most 100 ms, the time
    // a draw thread needs to get round to it).
    SetStateBits(STATE_STOPPING);
    m_drawingLock.release();
    m_stopSeen.Wait(100);
    m_drawingLock.acquire();
    ClearStateBits(STATE_STOPPING);
}

bool CDrawSuspender::LockDrawing(uint32_t timeoutMs)
{
    return m_drawingLock.try_acquire_for(std::chrono::milliseconds(timeoutMs));
}

void CDrawSuspender::UnlockDrawing() { m_drawingLock.release(); }
