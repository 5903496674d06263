#include "tests/support/loopback_http_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing_support {

namespace {

void SendAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

std::string ReasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer()
{
    m_listen.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    m_stop.Reset(::eventfd(0, EFD_CLOEXEC));
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (!m_listen || !m_stop
        || ::bind(m_listen.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listen.Get(), 16) != 0
        || ::getsockname(m_listen.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread(&LoopbackHttpServer::Serve, this);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    const uint64_t one = 1;
    (void)!::write(m_stop.Get(), &one, sizeof one);
    m_thread.join();
}

void LoopbackHttpServer::Queue(Answer answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(std::move(answer));
}

std::vector<std::string> LoopbackHttpServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool LoopbackHttpServer::AwaitRequests(size_t count) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_requests.size() >= count; });
}

void LoopbackHttpServer::Serve()
{
    for (;;) {
        pollfd fds[2] = { { m_listen.Get(), POLLIN, 0 }, { m_stop.Get(), POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN)
            return;
        if (fds[0].revents & POLLIN) {
            if (const platform::UniqueFd connection(
                    ::accept4(m_listen.Get(), nullptr, nullptr, SOCK_CLOEXEC));
                connection)
                Handle(connection.Get());
        }
    }
}

void LoopbackHttpServer::Handle(int fd)
{
    // Read the request's head, as a web server does before it answers.
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd fds[2] = { { fd, POLLIN, 0 }, { m_stop.Get(), POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN)
            return;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<size_t>(n));
    }
    Answer answer { {}, Answer::Mode::Hangup };
    {
        std::lock_guard lock(m_mutex);
        if (!m_answers.empty()) {
            answer = std::move(m_answers.front());
            m_answers.pop_front();
        }
        m_requests.push_back(request);
    }
    m_changed.notify_all();
    switch (answer.mode) {
    case Answer::Mode::Reply:
        SendAll(fd, answer.bytes.data(), answer.bytes.size());
        break;
    case Answer::Mode::Cut:
        SendAll(fd, answer.bytes.data(), std::min(answer.cutAfter, answer.bytes.size()));
        break;
    case Answer::Mode::Silent: {
        // Say nothing until the server is stopped.
        pollfd stop { m_stop.Get(), POLLIN, 0 };
        while (::poll(&stop, 1, -1) < 0 && errno == EINTR) { }
        break;
    }
    case Answer::Mode::Hangup:
        break;
    }
}

std::string HttpAnswer(
    int status, const std::vector<std::string>& headers, const std::string& body, const char* version)
{
    std::string text = std::string(version) + " " + std::to_string(status) + " " + ReasonOf(status) + "\r\n";
    text += "Date: Tue, 03 Jul 2007 14:05:09 GMT\r\n";
    for (const std::string& h : headers)
        text += h + "\r\n";
    text += "\r\n" + body;
    return text;
}

} // namespace testing_support
