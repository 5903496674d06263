#include "platform/messages.h"

#include "platform/happens_before.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <functional>
#include <future>

namespace platform {

namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
public:
    MessageEvent(uint32_t message, WPARAM wParam, LPARAM lParam, std::promise<LRESULT>* reply = nullptr)
        : QEvent(kMessageEvent)
        , message(message)
        , wParam(wParam)
        , lParam(lParam)
        , m_reply(reply)
    {
    }

    // A sender waiting for this message must be released even when the
    // message is dropped unhandled (its target died first).
    ~MessageEvent() override
    {
        TakeOver(this);
        if (m_reply)
            m_reply->set_value(0);
    }

    void answer(LRESULT result)
    {
        if (m_reply) {
            m_reply->set_value(result);
            m_reply = nullptr;
        }
    }

    const uint32_t message;
    const WPARAM wParam;
    const LPARAM lParam;

private:
    std::promise<LRESULT>* m_reply;
};

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class CallEvent : public QEvent {
public:
    explicit CallEvent(std::function<void()> call)
        : QEvent(kCallEvent)
        , call(std::move(call))
    {
    }
    ~CallEvent() override { TakeOver(this); }

    std::function<void()> call;
};

// Runs the calls posted to the application's thread.
class CallReceiver : public QObject {
public:
    bool event(QEvent* e) override
    {
        TakeOver(e);
        if (e->type() != kCallEvent)
            return QObject::event(e);
        static_cast<CallEvent*>(e)->call();
        return true;
    }
};

} // namespace

namespace detail {

class Receiver : public QObject {
public:
    explicit Receiver(MessageTarget& target)
        : m_target(target)
    {
    }

    bool event(QEvent* e) override
    {
        TakeOver(e);
        if (e->type() != kMessageEvent)
            return QObject::event(e);
        auto* m = static_cast<MessageEvent*>(e);
        m->answer(m_target.OnMessage(m->message, m->wParam, m->lParam));
        return true;
    }

private:
    MessageTarget& m_target;
};

} // namespace detail

MessageTarget::MessageTarget()
    : m_receiver(std::make_unique<detail::Receiver>(*this))
{
}

MessageTarget::~MessageTarget() { KillAllTimers(this); }

QObject* MessageTarget::receiver() const { return m_receiver.get(); }

bool MessageTarget::IsOnOwnerThread() const { return QThread::currentThread() == m_receiver->thread(); }

bool post(MessageTarget* target, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (!target)
        return false;
    auto* event = new MessageEvent(message, wParam, lParam);
    HandOver(event);
    QCoreApplication::postEvent(target->receiver(), event);
    return true;
}

LRESULT send(MessageTarget* target, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (!target)
        return 0;
    if (target->IsOnOwnerThread())
        return target->OnMessage(message, wParam, lParam);
    std::promise<LRESULT> reply;
    std::future<LRESULT> result = reply.get_future();
    auto* event = new MessageEvent(message, wParam, lParam, &reply);
    HandOver(event);
    QCoreApplication::postEvent(target->receiver(), event);
    return result.get();
}

bool PostToMainThread(std::function<void()> call)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || !call)
        return false;
    // Made on first use by whichever thread posts, then living on the
    // application's thread for the rest of the process.
    static CallReceiver* const receiver = [application] {
        auto* made = new CallReceiver;
        made->moveToThread(application->thread());
        return made;
    }();
    auto* event = new CallEvent(std::move(call));
    HandOver(event);
    QCoreApplication::postEvent(receiver, event);
    return true;
}

} // namespace platform
