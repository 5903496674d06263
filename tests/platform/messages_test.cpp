#include "platform/messages.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace platform;

namespace {

struct Recorder : MessageTarget {
    LRESULT OnMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override
    {
        onUiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
        received.push_back({ message, wParam, lParam });
        return static_cast<LRESULT>(wParam) * 2;
    }
    struct Msg {
        uint32_t message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Msg> received;
    std::vector<bool> onUiThread;
};

void processUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 10000 && !done(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

TEST(Messages, PostedFromWorkerArriveOnUiThreadInOrder)
{
    Recorder target;
    constexpr int kCount = 500;
    std::thread worker([&] {
        for (int i = 0; i < kCount; ++i)
            post(&target, WM_APP + 2, i, -i);
    });
    worker.join();
    EXPECT_TRUE(target.received.empty()) << "posting must not deliver before the loop runs";
    processUntil([&] { return target.received.size() == kCount; });
    ASSERT_EQ(target.received.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(target.received[i].message, WM_APP + 2u);
        EXPECT_EQ(target.received[i].wParam, WPARAM(i));
        EXPECT_EQ(target.received[i].lParam, LPARAM(-i));
        EXPECT_TRUE(target.onUiThread[i]);
    }
}

TEST(Messages, SendOnOwnThreadRunsAtOnce)
{
    Recorder target;
    EXPECT_EQ(send(&target, 0x280A, 21, 0), 42);
    ASSERT_EQ(target.received.size(), 1u);
}

TEST(Messages, SendFromWorkerWaitsUntilHandledAfterEarlierPosts)
{
    Recorder target;
    std::atomic<LRESULT> result { -1 };
    std::atomic<bool> returned { false };
    std::thread worker([&] {
        post(&target, 1, 1);
        result = send(&target, 2, 5);
        returned = true;
    });
    processUntil([&] { return returned.load(); });
    worker.join();
    EXPECT_EQ(result.load(), 10);
    ASSERT_EQ(target.received.size(), 2u);
    EXPECT_EQ(target.received[0].message, 1u);
    EXPECT_EQ(target.received[1].message, 2u);
    EXPECT_TRUE(target.onUiThread[1]);
}

TEST(Messages, SenderReleasedWhenTargetDiesFirst)
{
    auto target = std::make_unique<Recorder>();
    std::atomic<bool> queued { false };
    LRESULT result = -1;
    std::thread worker([&] {
        queued = true;
        result = send(target.get(), 7, 3);
    });
    while (!queued)
        std::this_thread::yield();
    // Give the worker time to queue its message, then destroy the target
    // without running the loop: the message is dropped, the sender released.
    QThread::msleep(50);
    target.reset();
    worker.join();
    EXPECT_EQ(result, 0);
}
