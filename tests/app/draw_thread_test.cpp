// The draw thread's frame against the drawing state byte and lock: which
// frames reach the display, the frame callbacks, and the thread's end.
#include "app/draw_thread.h"

#include "drawlib/screen_draw_tool.h"
#include "foundation/draw_suspender.h"
#include "platform/display.h"
#include "platform/process_object.h"
#include "tests/support/scoped_screen.h"

#include <QDeadlineTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

class DrawRig {
public:
    DrawRig()
        : m_screen(240, 320, 96)
        , m_display(QSize(240, 320), 96)
        , m_tool(g_drawTool)
    {
        g_drawSuspender.ClearStateBits(0xFF);
        g_drawTool->Init(&m_display, true);
        m_thread.InitSurface();
    }
    ~DrawRig()
    {
        m_thread.Join();
        g_drawTool->DestroyBuffer();
        g_drawSuspender.ClearStateBits(0xFF);
    }
    CDrawThread& Thread() { return m_thread; }
    // Draws a frame in `colour` and says whether it reached the display.
    bool FrameCopied(uint32_t colour)
    {
        g_drawTool->Clear(colour, false);
        const uint64_t before = m_thread.FramesCopied();
        m_thread.DrawFrame();
        return m_thread.FramesCopied() == before + 1;
    }

private:
    ScopedScreen m_screen;
    platform::Display m_display;
    platform::ScopedProcessObject<CScreenDrawTool> m_tool;
    CDrawThread m_thread { g_drawTool.get() };
};

TEST(DrawThread, TheStateByteDecidesWhichFramesReachTheDisplay)
{
    DrawRig rig;
    EXPECT_TRUE(rig.FrameCopied(0x0000FF));

    // Skip: exactly one frame is drawn but not copied.
    g_drawSuspender.SetStateBits(CDrawSuspender::STATE_PAUSE_REQUEST);
    EXPECT_FALSE(rig.FrameCopied(0x00FF00));
    EXPECT_TRUE(rig.FrameCopied(0x00FF00));

    // Stop: the next frame acknowledges it as idle and copies nothing.
    g_drawSuspender.SetStateBits(CDrawSuspender::STATE_STOP);
    EXPECT_FALSE(rig.FrameCopied(0xFF0000));
    EXPECT_EQ(g_drawSuspender.State() & 0x0F, CDrawSuspender::STATE_IDLE);
    g_drawSuspender.ClearStateBits(CDrawSuspender::STATE_IDLE);
    EXPECT_TRUE(rig.FrameCopied(0xFF0000));
}

TEST(DrawThread, WithoutCopiesTheThreadNeverWaitsForTheScreen)
{
    DrawRig rig;
    // This thread holds the screen, as the user-interface thread does while
    // a modal window is in front; with no copy asked, frames go on.
    g_drawSuspender.Suspend();
    g_drawSuspender.SetStateBits(CDrawSuspender::STATE_NO_COPY);
    rig.Thread().Start();
    QDeadlineTimer deadline(20000);
    while (rig.Thread().FramesDrawn() < 3 && !deadline.hasExpired())
        std::this_thread::yield();
    EXPECT_GE(rig.Thread().FramesDrawn(), 3u);
    EXPECT_EQ(rig.Thread().FramesCopied(), 0u);
    rig.Thread().Join();
    g_drawSuspender.Resume(1);
}

TEST(DrawThread, ACallbackThatIsDoneRunsOnce)
{
    DrawRig rig;
    struct Counter {
        int calls = 0;
        int done = 0; // answered once calls reach it; 0: never
    };
    Counter once { 0, 1 }, always;
    const auto count = [](void* user) {
        auto* counter = static_cast<Counter*>(user);
        ++counter->calls;
        return counter->calls == counter->done ? 1 : 0;
    };
    g_drawSuspender.FrameCallbacks().Add(count, &once);
    g_drawSuspender.FrameCallbacks().Add(count, &always);
    for (int i = 0; i < 3; ++i)
        rig.FrameCopied(0xFFFFFF);
    // A frame that is not copied runs no callback.
    g_drawSuspender.SetStateBits(CDrawSuspender::STATE_PAUSE_REQUEST);
    rig.FrameCopied(0xFFFFFF);
    EXPECT_EQ(once.calls, 1);
    EXPECT_EQ(always.calls, 3);
    always.done = 4;
    rig.FrameCopied(0xFFFFFF);
    EXPECT_EQ(g_drawSuspender.FrameCallbacks().Count(), 0u);
}

TEST(DrawThread, AStopWhileDrawingIsSuspendedEndsTheThread)
{
    DrawRig rig;
    rig.Thread().Start();
    // The user-interface thread holds the screen (a modal window in front)
    // and the program ends meanwhile: the thread does not wait for the lock.
    g_drawSuspender.Suspend();
    rig.Thread().Join();
    EXPECT_TRUE(rig.Thread().IsStopped());
    EXPECT_EQ(g_drawThread.load(), nullptr);
    g_drawSuspender.Resume(1);
}

} // namespace
