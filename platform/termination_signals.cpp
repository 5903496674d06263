#include "platform/termination_signals.h"

#include "platform/unique_fd.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// The pipe's writing end, for the handler; -1 until the watch is set up.
volatile sig_atomic_t g_writeFd = -1;

struct Watch {
    UniqueFd read;
    UniqueFd write;
    QPointer<QSocketNotifier> notifier; // the application's child
    std::function<void(int)> request;
};

Watch& TheWatch()
{
    static Watch watch;
    return watch;
}

extern "C" void OnTerminationSignal(int signal)
{
    const int saved = errno;
    const int fd = g_writeFd;
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        // A full pipe already holds a request: this one may be lost.
        [[maybe_unused]] const ssize_t n = ::write(fd, &number, 1);
    }
    errno = saved;
}

} // namespace

bool WatchTerminationSignals(std::function<void(int signal)> request)
{
    Watch& watch = TheWatch();
    watch.request = std::move(request);
    if (!watch.notifier) {
        g_writeFd = -1;
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
        watch.read = UniqueFd(fds[0]);
        watch.write = UniqueFd(fds[1]);
        watch.notifier
            = new QSocketNotifier(watch.read.Get(), QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(watch.notifier, &QSocketNotifier::activated, [] {
            Watch& w = TheWatch();
            unsigned char numbers[16];
            ssize_t n = 0;
            while ((n = ::read(w.read.Get(), numbers, sizeof numbers)) > 0)
                for (ssize_t i = 0; i < n; ++i)
                    if (w.request)
                        w.request(numbers[i]);
        });
        g_writeFd = watch.write.Get();
    }
    struct sigaction action { };
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace platform
