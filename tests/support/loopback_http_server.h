#pragma once
// A TCP server on 127.0.0.1 that stands in for a web server: each connection
// gets the next scripted answer, in order, once the request's head (up to its
// empty line) has arrived. An answer can be sent whole, cut off part-way, not
// at all while the connection is kept open (a silent server), or the
// connection can be closed without a word. Every request is recorded byte for
// byte.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"

namespace testing_support {

class LoopbackHttpServer {
public:
    struct Answer {
        enum class Mode {
            Reply, // send `bytes`, then close
            Cut, // send the first `cutAfter` bytes, then close
            Silent, // keep the connection open and say nothing
            Hangup, // close as soon as the request has come
        };
        std::string bytes;
        Mode mode = Mode::Reply;
        size_t cutAfter = 0;
    };

    LoopbackHttpServer();
    // Ends every connection, silent ones too.
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    uint16_t port() const { return m_port; }

    void Queue(Answer answer);
    void Queue(const std::string& bytes) { Queue(Answer { bytes }); }

    // The requests received so far, one per connection.
    std::vector<std::string> Requests() const;
    // Blocks until `count` requests have come (false after 20 s of real time).
    bool AwaitRequests(size_t count) const;

private:
    void Serve();
    void Handle(int fd);

    platform::UniqueFd m_listen;
    platform::UniqueFd m_stop; // eventfd
    uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::deque<Answer> m_answers;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// An answer as a web server writes it: the status line, a Date header, the
// given header lines (each without its line end), the empty line and the body.
std::string HttpAnswer(int status, const std::vector<std::string>& headers, const std::string& body,
    const char* version = "HTTP/1.1");

} // namespace testing_support
