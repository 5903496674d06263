#include "platform/tcp_client.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace platform {

CancelSignal::CancelSignal()
    : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

void CancelSignal::Cancel()
{
    const uint64_t one = 1;
    (void)!::write(m_fd.Get(), &one, sizeof one);
}

void CancelSignal::Reset()
{
    uint64_t value = 0;
    (void)!::read(m_fd.Get(), &value, sizeof value);
}

bool CancelSignal::IsCancelled() const
{
    pollfd p { m_fd.Get(), POLLIN, 0 };
    return ::poll(&p, 1, 0) > 0;
}

namespace {

std::string ErrnoText(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

uint32_t RemainingMs(std::chrono::steady_clock::time_point deadline)
{
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<uint32_t>(left.count()) : 0;
}

} // namespace

NetResult TcpClient::WaitFor(short events, uint32_t timeoutMs)
{
    pollfd fds[2] = { { m_fd.Get(), events, 0 }, { m_cancel ? m_cancel->fd() : -1, POLLIN, 0 } };
    const int timeout = static_cast<int>(std::min<uint32_t>(timeoutMs, 0x7FFFFFFF));
    for (;;) {
        const int n = ::poll(fds, 2, timeout);
        if (n < 0 && errno == EINTR)
            continue; // a signal only shortens the wait a little; the caller's bound still holds
        if (n < 0) {
            m_error = ErrnoText("poll", errno);
            return NetResult::Failed;
        }
        if (fds[1].revents & POLLIN) {
            m_error = "cancelled";
            return NetResult::Cancelled;
        }
        if (n == 0) {
            m_error = "timed out";
            return NetResult::TimedOut;
        }
        return NetResult::Ok;
    }
}

NetResult TcpClient::Connect(const std::string& host, uint16_t port, uint32_t timeoutMs)
{
    Close();
    if (m_cancel && m_cancel->IsCancelled()) {
        m_error = "cancelled";
        return NetResult::Cancelled;
    }
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        m_error = "cannot find \"" + host + "\": " + ::gai_strerror(rc);
        return NetResult::Failed;
    }
    std::vector<const addrinfo*> addresses;
    for (const addrinfo* a = found; a; a = a->ai_next)
        addresses.push_back(a);
    std::stable_partition(
        addresses.begin(), addresses.end(), [](const addrinfo* a) { return a->ai_family == AF_INET; });

    NetResult result = NetResult::Failed;
    m_error = "no address for \"" + host + "\"";
    for (const addrinfo* a : addresses) {
        m_fd.Reset(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
        if (!m_fd) {
            m_error = ErrnoText("socket", errno);
            continue;
        }
        if (::connect(m_fd.Get(), a->ai_addr, a->ai_addrlen) == 0) {
            result = NetResult::Ok;
        } else if (errno != EINPROGRESS) {
            m_error = ErrnoText("connect", errno);
            result = NetResult::Failed;
        } else {
            result = WaitFor(POLLOUT, timeoutMs);
            if (result == NetResult::Ok) {
                int error = 0;
                socklen_t length = sizeof error;
                ::getsockopt(m_fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length);
                if (error != 0) {
                    m_error = ErrnoText("connect", error);
                    result = NetResult::Failed;
                }
            }
        }
        if (result == NetResult::Ok)
            break;
        Close();
        if (result == NetResult::Cancelled || result == NetResult::TimedOut)
            break; // the time given is spent
    }
    ::freeaddrinfo(found);
    return result;
}

NetResult TcpClient::SendAll(const void* data, size_t size, uint32_t timeoutMs)
{
    if (!m_fd) {
        m_error = "not connected";
        return NetResult::Failed;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::send(m_fd.Get(), p, size, MSG_NOSIGNAL);
        if (n > 0) {
            p += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (const NetResult r = WaitFor(POLLOUT, RemainingMs(deadline)); r != NetResult::Ok)
                return r;
            continue;
        }
        m_error = ErrnoText("send", n < 0 ? errno : EIO);
        return NetResult::Failed;
    }
    return NetResult::Ok;
}

NetResult TcpClient::Receive(void* data, size_t size, size_t* received, uint32_t timeoutMs)
{
    *received = 0;
    if (!m_fd) {
        m_error = "not connected";
        return NetResult::Failed;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const ssize_t n = ::recv(m_fd.Get(), data, size, 0);
        if (n > 0) {
            *received = static_cast<size_t>(n);
            return NetResult::Ok;
        }
        if (n == 0)
            return NetResult::Closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            m_error = ErrnoText("recv", errno);
            return NetResult::Failed;
        }
        if (const NetResult r = WaitFor(POLLIN, RemainingMs(deadline)); r != NetResult::Ok)
            return r;
    }
}

void TcpClient::Close() { m_fd.Reset(); }

} // namespace platform
