#include "platform/messages.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <atomic>
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

// The event dispatcher of a thread that never runs: it only records that an
// event was posted to the thread (Qt wakes a thread's dispatcher on each post).
class PostWatch : public QAbstractEventDispatcher {
public:
    std::atomic<bool> woken { false };

    void wakeUp() override
    {
        woken = true;
        woken.notify_all();
    }
    bool processEvents(QEventLoop::ProcessEventsFlags) override { return false; }
    void registerSocketNotifier(QSocketNotifier*) override { }
    void unregisterSocketNotifier(QSocketNotifier*) override { }
    void registerTimer(int, qint64, Qt::TimerType, QObject*) override { }
    bool unregisterTimer(int) override { return false; }
    bool unregisterTimers(QObject*) override { return false; }
    QList<TimerInfo> registeredTimers(QObject*) const override { return {}; }
    int remainingTime(int) override { return -1; }
    void interrupt() override { }
};

// Runs the loop until handling messages on this thread has made `done` true;
// each round waits for the next message rather than for time to pass.
void processUntil(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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
    std::thread worker([&] {
        post(&target, 1, 1);
        result = send(&target, 2, 5);
    });
    processUntil([&] { return target.received.size() == 2; });
    worker.join();
    EXPECT_EQ(result.load(), 10);
    ASSERT_EQ(target.received.size(), 2u);
    EXPECT_EQ(target.received[0].message, 1u);
    EXPECT_EQ(target.received[1].message, 2u);
    EXPECT_TRUE(target.onUiThread[1]);
}

TEST(Messages, SenderReleasedWhenTargetDiesFirst)
{
    // The target belongs to a thread that never runs its loop, so the message
    // stays queued; the thread's dispatcher is woken when it is posted, and
    // only then is the target destroyed.
    auto watch = std::make_unique<PostWatch>();
    PostWatch* posted = watch.get();
    QThread owner;
    owner.setEventDispatcher(watch.release());
    auto target = std::make_unique<Recorder>();
    target->receiver()->moveToThread(&owner);
    posted->woken = false;
    std::atomic<LRESULT> result { -1 };
    std::thread worker([&] { result = send(target.get(), 7, 3); });
    posted->woken.wait(false);
    target.reset();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    // A thread that ends deletes its dispatcher; one never started may keep it
    // past the test, which the leak check reports.
    owner.start();
    owner.quit();
    owner.wait();
}
