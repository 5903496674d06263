#include "platform/serial_port.h"

#include "platform/registry.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

bool SpeedOf(int baud, speed_t* speed)
{
    struct Rate {
        int baud;
        speed_t speed;
    };
    static constexpr Rate kRates[] = { { 1200, B1200 }, { 2400, B2400 }, { 4800, B4800 }, { 9600, B9600 },
        { 19200, B19200 }, { 38400, B38400 }, { 57600, B57600 }, { 115200, B115200 }, { 230400, B230400 },
        { 460800, B460800 }, { 921600, B921600 } };
    for (const Rate& rate : kRates) {
        if (rate.baud == baud) {
            *speed = rate.speed;
            return true;
        }
    }
    return false;
}

// The number of a "COMn:" name, or -1.
int ComNumber(const QString& name)
{
    if (name.size() != 5 || !name.startsWith(QLatin1String("COM")) || name[4] != u':' || !name[3].isDigit())
        return -1;
    return name[3].digitValue();
}

} // namespace

QString SerialPortDevicePath(const QString& name)
{
    const int number = ComNumber(name);
    if (number < 0)
        return name;
    RegKey key;
    QString path;
    if (registry().Open(RegRoot::HKLM, QString::fromLatin1(kSerialPortMapKey), &key) == RegResult::Ok
        && key.QueryString(name, &path) == RegResult::Ok && !path.isEmpty())
        return path;
    static const char* const kKinds[] = { "/dev/ttyUSB", "/dev/ttyACM", "/dev/rfcomm", "/dev/ttyS" };
    const int index = (number == 0 ? 10 : number) - 1;
    return QString::fromLatin1(kKinds[index % 4]) + QString::number(index / 4);
}

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(const QString& name, int baud, bool keepLine, QString* error)
{
    Close();
    const QString path = SerialPortDevicePath(name);
    const auto fail = [&](const char* step) {
        const int saved = errno;
        if (error)
            *error = QStringLiteral("%1 (%2): %3: %4")
                         .arg(name, path, QLatin1String(step), QString::fromLocal8Bit(std::strerror(saved)));
        Close();
        return false;
    };
    m_fd.Reset(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!m_fd)
        return fail("cannot open");
    m_path = path;
    // The device's ports are never shared.
    if (::flock(m_fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return fail("in use");
    // Reads must return at once, whatever the line settings: a blocking read
    // would stop the user-interface thread.
    const int flags = ::fcntl(m_fd.Get(), F_GETFL);
    if (flags < 0 || ((flags & O_NONBLOCK) == 0 && ::fcntl(m_fd.Get(), F_SETFL, flags | O_NONBLOCK) != 0))
        return fail("cannot make reads return at once");
    if (keepLine)
        return true;

    termios line {};
    if (::tcgetattr(m_fd.Get(), &line) != 0)
        return fail("not a serial port");
    speed_t speed = B4800;
    if (!SpeedOf(baud, &speed)) {
        errno = EINVAL;
        return fail("unsupported speed");
    }
    ::cfmakeraw(&line);
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    if (::cfsetispeed(&line, speed) != 0 || ::cfsetospeed(&line, speed) != 0
        || ::tcsetattr(m_fd.Get(), TCSANOW, &line) != 0)
        return fail("cannot set the line");
    // Receivers powered from the port need DTR and RTS; a port without modem
    // lines (a pty, some adapters) has nothing to raise.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(m_fd.Get(), TIOCMBIS, &lines);
    return true;
}

void SerialPort::Close()
{
    m_fd.Reset();
    m_path.clear();
}

ssize_t SerialPort::Read(void* buffer, size_t size)
{
    if (!m_fd)
        return -1;
    for (;;) {
        const ssize_t n = ::read(m_fd.Get(), buffer, size);
        if (n > 0)
            return n;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
        // A raw line reads nothing both when nothing has arrived and when the
        // device has gone (hung up); only the latter is a failure.
        pollfd state { m_fd.Get(), POLLIN, 0 };
        const bool gone = ::poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        return gone ? -1 : 0;
    }
}

bool SerialPort::Write(const void* data, size_t size, int timeoutMs)
{
    if (!m_fd)
        return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd.Get(), p, size);
        if (n > 0) {
            p += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd room { m_fd.Get(), POLLOUT, 0 };
        if (::poll(&room, 1, timeoutMs) <= 0)
            return false;
    }
    return true;
}

} // namespace platform
