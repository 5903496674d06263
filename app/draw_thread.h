#pragma once
// The thread that draws the map screen: the map controller draws the map and
// its elements into the draw tool's off-screen surface, the thread draws the
// overlays on top and then, under the drawing lock, copies the surface to the
// display and runs the frame callbacks. The user-interface thread steers it
// through its running and paused flags and through g_drawSuspender's state
// byte and lock; it never waits for the user-interface thread.
#include "drawlib/surface_image.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class CDrawTool;

class CDrawThread {
public:
    explicit CDrawThread(CDrawTool* tool);
    // Stops the thread and waits for it.
    virtual ~CDrawThread();
    CDrawThread(const CDrawThread&) = delete;
    CDrawThread& operator=(const CDrawThread&) = delete;

    // Points the surface image at the tool's off-screen surface.
    void InitSurface();
    int Start();
    // Only the pace changes while paused: frames are still drawn, one per wake-up.
    void Pause() { m_bPaused = 1; }
    void Resume() { m_bPaused = 0; }
    // The thread ends after its current frame.
    void Stop();
    // Stop, cancel a render under way in the kernel, and wait for the thread's end.
    void Join();

    // One frame (the thread's loop runs it; tests call it on their own thread).
    void DrawFrame();

    bool IsRunning() const { return m_bRunning.load() != 0; }
    bool IsStopped() const { return m_bStopped.load() != 0; }
    bool IsPaused() const { return m_bPaused.load() != 0; }
    uint64_t FramesDrawn() const { return m_framesDrawn.load(); }
    uint64_t FramesCopied() const { return m_framesCopied.load(); }
    // Waits, in real time, until a frame begun after the call has been copied
    // to the display showing the map's finished render (none pending and none
    // asked for while it was drawn): what the user-interface thread changed
    // before the call is then on the display. False when `limitMs` pass first.
    bool AwaitFinishedFrame(uint32_t limitMs);

private:
    void ThreadProc();
    // Sleeps `ms`, or less when the thread is stopped meanwhile.
    void Rest(uint32_t ms);
    void DrawOverlays();

    CDrawTool* m_pTool;
    CSurfaceImage m_image;
    std::atomic<int32_t> m_bRunning { 0 };
    std::atomic<int32_t> m_bStopped { 1 };
    std::atomic<int32_t> m_bPaused { 0 };
    const uint32_t m_idleSleepMs = 20;
    std::atomic<uint64_t> m_framesDrawn { 0 };
    std::atomic<uint64_t> m_framesCopied { 0 };
    // Frames are numbered as they begin; the number of the last one copied
    // with the map's render finished. Written under m_restMutex.
    uint64_t m_framesBegun = 0;
    uint64_t m_lastFinishedFrame = 0;
    std::condition_variable m_frameFinished;
    std::thread m_thread;
    std::mutex m_restMutex;
    std::condition_variable m_restWake;
};

// The running draw thread, or none.
inline std::atomic<CDrawThread*> g_drawThread { nullptr };
// 1 until the first frame has ended the loading window.
inline std::atomic<int32_t> g_bLoadingEndPending { 1 };
