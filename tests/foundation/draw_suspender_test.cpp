#include "foundation/draw_suspender.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

int countAndFinish(void* user)
{
    ++*static_cast<int*>(user);
    return 1;
}

int countForever(void* user)
{
    ++*static_cast<int*>(user);
    return 0;
}

} // namespace

TEST(DrawSuspender, NestedSuspendTakesTheDrawingLockOnce)
{
    CDrawSuspender s;
    s.Suspend();
    s.Suspend();
    EXPECT_TRUE(s.IsSuspended());
    EXPECT_TRUE(s.State() & CDrawSuspender::STATE_PAUSE_REQUEST);
    bool drawThreadGotIt = true;
    std::thread([&] { drawThreadGotIt = s.LockDrawing(10); }).join();
    EXPECT_FALSE(drawThreadGotIt);
    s.Resume(1);
    std::thread([&] { drawThreadGotIt = s.LockDrawing(10); }).join();
    EXPECT_FALSE(drawThreadGotIt) << "only the last Resume releases the lock";
    s.Resume(1);
    EXPECT_FALSE(s.IsSuspended());
    EXPECT_EQ(s.State() & CDrawSuspender::STATE_PAUSE_REQUEST, 0);
    std::thread([&] {
        drawThreadGotIt = s.LockDrawing(1000);
        if (drawThreadGotIt)
            s.UnlockDrawing();
    }).join();
    EXPECT_TRUE(drawThreadGotIt);
}

TEST(DrawSuspender, SuspendWaitsForTheFrameBeingCopied)
{
    CDrawSuspender s;
    ASSERT_TRUE(s.LockDrawing(0)); // the draw thread is copying a frame
    std::atomic<bool> suspended { false };
    std::thread ui([&] {
        s.Suspend();
        suspended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(suspended.load());
    s.UnlockDrawing(); // the copy is done
    ui.join();
    EXPECT_TRUE(suspended.load());
    s.Resume(0);
    EXPECT_TRUE(s.State() & CDrawSuspender::STATE_PAUSE_REQUEST) << "Resume(0) keeps the request";
}

TEST(DrawSuspender, StopAndMarkIdle)
{
    CDrawSuspender s;
    s.StopAndWait(); // not suspended: only sets the stop bit
    EXPECT_EQ(s.State(), CDrawSuspender::STATE_STOP);
    s.MarkIdle();
    EXPECT_EQ(s.State(), CDrawSuspender::STATE_PAUSE_REQUEST | CDrawSuspender::STATE_NO_COPY);

    // Suspended: the lock is let go so the draw thread can see the stop, then
    // taken back.
    CDrawSuspender t;
    t.Suspend();
    std::thread draw([&] {
        ASSERT_TRUE(t.LockDrawing(5000));
        EXPECT_TRUE(t.State() & CDrawSuspender::STATE_STOP);
        t.AcknowledgeStop();
        t.UnlockDrawing();
    });
    t.StopAndWait();
    draw.join();
    EXPECT_EQ(t.State() & CDrawSuspender::STATE_STOPPING, 0);
    EXPECT_TRUE(t.State() & CDrawSuspender::STATE_STOP);
    t.Resume(1);
}

TEST(FrameCallbacks, ARemovedUserIsNeverCalledAgain)
{
    CFrameCallbackList list;
    int gone = 0, staying = 0;
    list.Add(countForever, &gone);
    list.Add(countForever, &staying);
    list.Add(countAndFinish, &gone);
    list.Remove(&gone);
    list.RunAll();
    EXPECT_EQ(gone, 0);
    EXPECT_EQ(staying, 1);
    EXPECT_EQ(list.Count(), 1u);
}

TEST(FrameCallbacks, OneShotRunsOnceOthersStay)
{
    CFrameCallbackList list;
    int once = 0, every = 0;
    list.Add(countAndFinish, &once);
    list.Add(countForever, &every);
    list.RunAll();
    list.RunAll();
    list.RunAll();
    EXPECT_EQ(once, 1);
    EXPECT_EQ(every, 3);
    EXPECT_EQ(list.Count(), 1u);
}
