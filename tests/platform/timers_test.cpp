#include "platform/timers.h"

#include "platform/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <vector>

using namespace platform;

namespace {

struct Ticks : MessageTarget {
    LRESULT OnMessage(uint32_t message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_TIMER)
            ids.push_back(static_cast<uint32_t>(wParam));
        return 0;
    }
    std::vector<uint32_t> ids;
};

void drain()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

TEST(Timers, FireWhenDueByTheInjectedClock)
{
    ScopedManualClock clock(1000);
    Ticks target;
    SetTimer(&target, 1, 250);
    EXPECT_EQ(DispatchDueTimers(), 0);
    clock->advance(249);
    EXPECT_EQ(DispatchDueTimers(), 0);
    clock->advance(1);
    EXPECT_EQ(DispatchDueTimers(), 1);
    drain();
    EXPECT_EQ(target.ids, std::vector<uint32_t>({ 1 }));
    KillTimer(&target, 1);
}

TEST(Timers, StalledThreadGetsOneTickPerTimerNotABurst)
{
    ScopedManualClock clock(0);
    Ticks target;
    SetTimer(&target, 1, 250);
    SetTimer(&target, 2, 500);
    // The UI thread stalls for ten periods: the timers are checked repeatedly
    // but nothing is handled in between.
    for (int i = 0; i < 10; ++i) {
        clock->advance(250);
        DispatchDueTimers();
    }
    drain();
    EXPECT_EQ(target.ids, std::vector<uint32_t>({ 1, 2 }));
    // The next period counts from the tick that was delivered.
    clock->advance(250);
    EXPECT_EQ(DispatchDueTimers(), 1);
    drain();
    EXPECT_EQ(target.ids.back(), 1u);
}

TEST(Timers, OneShotFiresOnceAndKilledTimerDeliversNothingQueued)
{
    ScopedManualClock clock(0);
    Ticks target;
    SetOneShotTimer(&target, 2, 500);
    SetTimer(&target, 1, 250);
    clock->advance(500);
    EXPECT_EQ(DispatchDueTimers(), 2);
    EXPECT_TRUE(KillTimer(&target, 1)); // killed with its tick still queued
    drain();
    EXPECT_EQ(target.ids, std::vector<uint32_t>({ 2 }));
    EXPECT_FALSE(IsTimerActive(&target, 2));
    clock->advance(5000);
    EXPECT_EQ(DispatchDueTimers(), 0);
    EXPECT_FALSE(KillTimer(&target, 1));
}

TEST(Timers, TickCountWrapsLikeTheDevice)
{
    ScopedManualClock clock(0xFFFFFF00u);
    Ticks target;
    SetTimer(&target, 1, 250);
    clock->advance(0x100); // wraps to 0
    EXPECT_EQ(GetTickCount(), 0u);
    EXPECT_EQ(DispatchDueTimers(), 1);
    drain();
    EXPECT_EQ(target.ids.size(), 1u);
    KillTimer(&target, 1);
}

TEST(Timers, RealClockDrivesTimersByItself)
{
    Ticks target;
    SetTimer(&target, 1, 10);
    QElapsedTimer waited;
    waited.start();
    while (target.ids.size() < 3 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_GE(target.ids.size(), 3u);
    KillTimer(&target, 1);
}
