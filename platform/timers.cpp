#include "platform/timers.h"

#include "platform/clock.h"

#include <QCoreApplication>
#include <QTimer>
#include <map>
#include <mutex>
#include <utility>

namespace platform {

namespace {

struct TimerEntry {
    uint32_t interval = 0;
    uint32_t lastFired = 0; // the tick the period counts from
    bool oneShot = false;
    bool pending = false; // a WM_TIMER is queued and not yet handled
    uint64_t generation = 0; // changes on every (re)start, so stale ticks are dropped
};

using Key = std::pair<MessageTarget*, uint32_t>;

// Timer ticks travel through this target so that a tick can be checked against
// the timer's current state (killed or restarted in between) before delivery.
class TimerTable {
public:
    void set(MessageTarget* target, uint32_t id, uint32_t interval, bool oneShot)
    {
        {
            std::lock_guard lock(m_mutex);
            TimerEntry& e = m_timers[{ target, id }];
            e.interval = interval;
            e.lastFired = clock().tickCount();
            e.oneShot = oneShot;
            e.pending = false;
            e.generation = ++m_generation;
        }
        schedule();
    }

    bool kill(MessageTarget* target, uint32_t id)
    {
        std::lock_guard lock(m_mutex);
        return m_timers.erase({ target, id }) > 0;
    }

    void killAll(MessageTarget* target)
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_timers.begin(); it != m_timers.end();)
            it = it->first.first == target ? m_timers.erase(it) : std::next(it);
    }

    bool active(MessageTarget* target, uint32_t id)
    {
        std::lock_guard lock(m_mutex);
        return m_timers.count({ target, id }) > 0;
    }

    int dispatchDue()
    {
        struct Due {
            MessageTarget* target;
            uint32_t id;
            uint64_t generation;
        };
        std::vector<Due> due;
        {
            std::lock_guard lock(m_mutex);
            const uint32_t now = clock().tickCount();
            for (auto& [key, e] : m_timers) {
                if (e.pending || now - e.lastFired < e.interval)
                    continue;
                e.pending = true;
                due.push_back({ key.first, key.second, e.generation });
            }
        }
        for (const Due& d : due) {
            QMetaObject::invokeMethod(
                d.target->receiver(), [this, d] { deliver(d.target, d.id, d.generation); },
                Qt::QueuedConnection);
        }
        schedule();
        return static_cast<int>(due.size());
    }

private:
    void deliver(MessageTarget* target, uint32_t id, uint64_t generation)
    {
        {
            std::lock_guard lock(m_mutex);
            auto it = m_timers.find({ target, id });
            if (it == m_timers.end() || it->second.generation != generation)
                return;
            it->second.pending = false;
            it->second.lastFired = clock().tickCount();
            if (it->second.oneShot)
                m_timers.erase(it);
        }
        schedule();
        target->OnMessage(WM_TIMER, id, 0);
    }

    // With the real clock a Qt timer on the application thread wakes us when the
    // earliest timer is due. With a manual clock, tests drive dispatchDue().
    void schedule()
    {
        if (dynamic_cast<SystemClock*>(&clock()) == nullptr || !QCoreApplication::instance())
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this] { rearm(); }, Qt::QueuedConnection);
    }

    void rearm()
    {
        if (!m_waker) {
            m_waker = new QTimer(QCoreApplication::instance());
            m_waker->setSingleShot(true);
            m_waker->setTimerType(Qt::PreciseTimer);
            QObject::connect(m_waker, &QTimer::timeout, [this] { dispatchDue(); });
        }
        int64_t wait = -1;
        {
            std::lock_guard lock(m_mutex);
            const uint32_t now = clock().tickCount();
            for (auto& [key, e] : m_timers) {
                if (e.pending)
                    continue;
                const uint32_t elapsed = now - e.lastFired;
                const int64_t left = elapsed >= e.interval ? 0 : int64_t(e.interval - elapsed);
                if (wait < 0 || left < wait)
                    wait = left;
            }
        }
        if (wait < 0)
            m_waker->stop();
        else
            m_waker->start(static_cast<int>(wait));
    }

    std::mutex m_mutex;
    std::map<Key, TimerEntry> m_timers;
    uint64_t m_generation = 0;
    QTimer* m_waker = nullptr;
};

TimerTable& table()
{
    static TimerTable t;
    return t;
}

} // namespace

void SetTimer(MessageTarget* target, uint32_t id, uint32_t intervalMs)
{
    if (target)
        table().set(target, id, intervalMs, false);
}

void SetOneShotTimer(MessageTarget* target, uint32_t id, uint32_t delayMs)
{
    if (target)
        table().set(target, id, delayMs, true);
}

bool KillTimer(MessageTarget* target, uint32_t id) { return table().kill(target, id); }

void KillAllTimers(MessageTarget* target) { table().killAll(target); }

bool IsTimerActive(MessageTarget* target, uint32_t id) { return table().active(target, id); }

int DispatchDueTimers() { return table().dispatchDue(); }

} // namespace platform
