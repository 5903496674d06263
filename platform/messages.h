#pragma once
// Numbered messages delivered on the user-interface thread. A target keeps the
// numbers the program relies on (message id, wParam, lParam); post queues the
// message and returns, send waits until the target has handled it.
#include <cstdint>
#include <functional>
#include <memory>

class QObject;

namespace platform {

// Message numbers that come from the platform rather than from the program.
enum : uint32_t {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SETTINGCHANGE = 0x001A,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

namespace detail {
class Receiver;
}

// Anything that receives numbered messages. It belongs to the thread that
// created it (the user-interface thread for every window of the program);
// messages are handled there. Messages still queued when the target is
// destroyed are dropped, and a sender waiting on one is released with 0.
class MessageTarget {
public:
    MessageTarget();
    virtual ~MessageTarget();
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    virtual LRESULT OnMessage(uint32_t message, WPARAM wParam, LPARAM lParam) = 0;

    // The QObject that carries this target's messages (for Qt-side plumbing).
    QObject* receiver() const;
    bool IsOnOwnerThread() const;

private:
    std::unique_ptr<detail::Receiver> m_receiver;
};

// Queues a message for the target and returns at once. Safe from any thread;
// messages posted from one thread arrive in the order they were posted.
bool post(MessageTarget* target, uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);

// Delivers a message and returns the handler's result. On the target's own
// thread the handler runs at once; from another thread the call waits until
// the target's thread has handled it.
LRESULT send(MessageTarget* target, uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);

// Runs `call` later on the application's (the user-interface) thread; safe
// from any thread, in the order posted. False without an application.
bool PostToMainThread(std::function<void()> call);

} // namespace platform
