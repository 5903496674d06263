#include "tests/support/pty_pair.h"

#include "platform/registry.h"
#include "platform/serial_port.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

PtyPair::PtyPair()
{
    termios raw {};
    ::cfmakeraw(&raw);
    char name[256] = {};
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0)
        return;
    m_master.Reset(master);
    m_slave.Reset(slave);
    ::fcntl(m_master.Get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave.Get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master.Get(), F_SETFL, ::fcntl(m_master.Get(), F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() { Hangup(); }

bool PtyPair::MapAs(const QString& comName) const
{
    platform::RegKey key;
    return platform::registry().Create(
               platform::RegRoot::HKLM, QString::fromLatin1(platform::kSerialPortMapKey), &key)
        == platform::RegResult::Ok
        && key.SetString(comName, m_path) == platform::RegResult::Ok;
}

bool PtyPair::Send(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && m_master.IsOpen()) {
        const ssize_t n = ::write(m_master.Get(), p, static_cast<size_t>(left));
        if (n > 0) {
            p += n;
            left -= n;
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        } else if (n < 0 && errno == EAGAIN) {
            // The device end's input is full: a test that sends more than a
            // port holds between two polls has a fault of its own.
            pollfd room { m_master.Get(), POLLOUT, 0 };
            if (::poll(&room, 1, 5000) <= 0)
                return false;
        }
    }
    return left == 0;
}

bool PtyPair::WaitForDeviceInput(int ms)
{
    pollfd input { m_slave.Get(), POLLIN, 0 };
    return m_slave.IsOpen() && ::poll(&input, 1, ms) > 0 && (input.revents & POLLIN) != 0;
}

QByteArray PtyPair::Received()
{
    QByteArray out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = m_master.IsOpen() ? ::read(m_master.Get(), buffer, sizeof buffer) : -1;
        if (n <= 0)
            break;
        out.append(buffer, n);
    }
    return out;
}

QByteArray PtyPair::Receive(qsizetype count)
{
    QByteArray out = Received();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (out.size() < count && m_master.IsOpen() && std::chrono::steady_clock::now() < deadline) {
        pollfd ready { m_master.Get(), POLLIN, 0 };
        ::poll(&ready, 1, 100);
        out += Received();
    }
    return out;
}

bool PtyPair::AwaitPending(qsizetype count)
{
    // The pty moves written bytes to the other end a moment later.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        int pending = 0;
        if (!m_slave || ::ioctl(m_slave.Get(), FIONREAD, &pending) != 0)
            return false;
        if (pending >= count)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::yield();
    }
}

void PtyPair::Hangup() { m_master.Reset(); }

} // namespace testing_support
