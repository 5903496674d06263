#include "gps/gpsd_client.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char kWatch[] = "?WATCH={\"enable\":true,\"nmea\":true};\n";

} // namespace

CGpsdClient::~CGpsdClient() { Close(); }

bool CGpsdClient::IsGpsdName(const QString& name) { return name.startsWith(QLatin1String("gpsd:")); }

bool CGpsdClient::Open(const QString& name)
{
    Close();
    if (!IsGpsdName(name))
        return false;
    QString address = name.mid(5);
    if (!address.isEmpty() && !address.startsWith(QLatin1String("//")))
        return false;
    address = address.mid(2);
    QString host = address;
    uint16_t port = DEFAULT_PORT;
    const qsizetype colon = address.lastIndexOf(u':');
    if (colon >= 0 && !address.endsWith(u']')) {
        bool ok = false;
        const uint value = address.mid(colon + 1).toUInt(&ok);
        if (!ok || value == 0 || value > 65535)
            return false;
        port = static_cast<uint16_t>(value);
        host = address.left(colon);
    }
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    m_host = host.isEmpty() ? QStringLiteral("localhost") : host;
    m_port = port;
    m_open = true;
    m_readsWithout = 0;
    StartConnect();
    return true;
}

void CGpsdClient::Close()
{
    Disconnect();
    m_open = false;
}

bool CGpsdClient::StartConnect()
{
    Disconnect();
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray service = QByteArray::number(m_port);
    if (::getaddrinfo(m_host.toUtf8().constData(), service.constData(), &hints, &found) != 0 || !found)
        return false;
    for (addrinfo* a = found; a; a = a->ai_next) {
        m_fd.Reset(::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
        if (!m_fd)
            continue;
        if (::connect(m_fd.Get(), a->ai_addr, a->ai_addrlen) == 0) {
            m_state = State::CONNECTING; // finished at once; the watch is asked for below
            break;
        }
        if (errno == EINPROGRESS) {
            m_state = State::CONNECTING;
            break;
        }
        m_fd.Reset();
    }
    ::freeaddrinfo(found);
    return m_state == State::CONNECTING;
}

void CGpsdClient::Disconnect()
{
    m_fd.Reset();
    m_state = State::DISCONNECTED;
    m_lineStart = true;
    m_inJson = false;
}

ssize_t CGpsdClient::Read(void* buffer, size_t size)
{
    if (!m_open)
        return -1;
    if (m_state == State::DISCONNECTED) {
        if (++m_readsWithout < RECONNECT_READS)
            return -1;
        m_readsWithout = 0;
        if (!StartConnect())
            return -1;
    }
    if (m_state == State::CONNECTING) {
        pollfd ready { m_fd.Get(), POLLOUT, 0 };
        if (::poll(&ready, 1, 0) == 0)
            return 0; // still connecting
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(m_fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0
            || ::send(m_fd.Get(), kWatch, sizeof kWatch - 1, MSG_NOSIGNAL)
                != static_cast<ssize_t>(sizeof kWatch - 1)) {
            Disconnect();
            return -1;
        }
        m_state = State::WATCHING;
    }
    char* const out = static_cast<char*>(buffer);
    for (;;) {
        const ssize_t n = ::recv(m_fd.Get(), out, size, 0);
        if (n > 0) {
            // A read of gpsd's own reports only is no answer yet: read on.
            const size_t kept = Filter(out, static_cast<size_t>(n), out);
            if (kept > 0)
                return static_cast<ssize_t>(kept);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        // gpsd went away.
        Disconnect();
        return -1;
    }
}

size_t CGpsdClient::Filter(const char* in, size_t size, char* out)
{
    size_t kept = 0;
    for (size_t i = 0; i < size; ++i) {
        const char c = in[i];
        if (m_lineStart)
            m_inJson = c == '{';
        m_lineStart = c == '\n';
        if (!m_inJson)
            out[kept++] = c;
    }
    return kept;
}
