#include "platform/sync.h"

#include "platform/clock.h"

#include <gtest/gtest.h>
#include <thread>

using namespace platform;

TEST(CriticalSection, ReentrantWithOwnerAndCount)
{
    CriticalSection cs;
    EXPECT_FALSE(cs.IsOwnedByCurrentThread());
    cs.Lock();
    cs.Lock();
    EXPECT_TRUE(cs.IsOwnedByCurrentThread());
    EXPECT_EQ(cs.LockCount(), 2);
    bool otherGotIt = true;
    std::thread([&] { otherGotIt = cs.TryLock(); }).join();
    EXPECT_FALSE(otherGotIt);
    cs.Unlock();
    cs.Unlock();
    EXPECT_FALSE(cs.IsOwnedByCurrentThread());
    EXPECT_EQ(cs.LockCount(), 0);
}

TEST(CriticalSection, ReleaseAllLetsAnotherThreadInThenRestores)
{
    CriticalSection cs;
    cs.Lock();
    cs.Lock();
    cs.Lock();
    const int held = cs.ReleaseAll();
    EXPECT_EQ(held, 3);
    bool otherGotIt = false;
    std::thread([&] {
        otherGotIt = cs.TryLock();
        if (otherGotIt)
            cs.Unlock();
    }).join();
    EXPECT_TRUE(otherGotIt);
    cs.ReacquireAll(held);
    EXPECT_EQ(cs.LockCount(), 3);
    EXPECT_EQ(cs.ReleaseAll(), 3);
    EXPECT_EQ(cs.ReleaseAll(), 0) << "a thread that holds nothing releases nothing";
}

TEST(Event, AutoResetReleasesOneWaitAndTimesOut)
{
    Event e(false, false);
    EXPECT_FALSE(e.Wait(10));
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0)) << "the successful wait resets an automatic event";
}

TEST(Event, ManualResetStaysSetForEveryWaiter)
{
    Event e(true, false);
    std::atomic<int> woke { 0 };
    std::thread a([&] { woke += e.Wait(5000); });
    std::thread b([&] { woke += e.Wait(5000); });
    e.Set();
    a.join();
    b.join();
    EXPECT_EQ(woke.load(), 2);
    EXPECT_TRUE(e.IsSet());
    e.Reset();
    EXPECT_FALSE(e.Wait(0));
}

// Timed waits measure on the installed clock; moving a manual clock returns
// once the waiting thread has seen the new time.
TEST(Event, TimedWaitsFollowAManualClock)
{
    ScopedManualClock clock(5000);
    Event e(false, false);
    std::atomic<int> result { -1 };
    std::thread waiter([&] { result = e.Wait(100); });
    ASSERT_TRUE(clock->AwaitWaiters(1));
    clock->advance(99);
    EXPECT_EQ(clock->Waiters(), 1);
    EXPECT_EQ(result.load(), -1);
    clock->advance(1);
    EXPECT_EQ(clock->Waiters(), 0) << "the time-out has ended the wait";
    waiter.join();
    EXPECT_EQ(result.load(), 0);

    std::thread signalled([&] { result = e.Wait(Event::INFINITE); });
    ASSERT_TRUE(clock->AwaitWaiters(1));
    clock->advance(0x7FFFFFFF);
    EXPECT_EQ(clock->Waiters(), 1) << "an endless wait stays";
    e.Set();
    signalled.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(clock->WaitsBegun(), 2u);
}
