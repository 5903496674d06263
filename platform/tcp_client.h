#pragma once
// A TCP connection whose every blocking step (connect, send, receive) is bounded
// by a time-out and can be ended at once from another thread through a
// CancelSignal, so that no network peer can hold a thread, or the program's
// exit, for longer than the caller allows.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/unique_fd.h"

namespace platform {

// A flag another thread raises to end the waits of the connections that watch it.
class CancelSignal {
public:
    CancelSignal();
    CancelSignal(const CancelSignal&) = delete;
    CancelSignal& operator=(const CancelSignal&) = delete;

    void Cancel();
    void Reset();
    bool IsCancelled() const;
    // Readable while cancelled (for poll).
    int fd() const { return m_fd.Get(); }

private:
    UniqueFd m_fd;
};

enum class NetResult {
    Ok,
    Closed, // the peer ended the connection (receive only)
    Failed, // look-up, connect, send or receive failed
    TimedOut,
    Cancelled,
};

class TcpClient {
public:
    // `cancel` (may be null) must outlive the client.
    explicit TcpClient(const CancelSignal* cancel = nullptr)
        : m_cancel(cancel)
    {
    }
    ~TcpClient() { Close(); }
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Looks the host up (IPv4 addresses before others) and connects to the
    // first address that accepts within the time-out. The look-up itself is
    // bounded by the resolver's own time-outs.
    NetResult Connect(const std::string& host, uint16_t port, uint32_t timeoutMs);
    // Sends all the bytes, going on after short sends, within the time-out.
    NetResult SendAll(const void* data, size_t size, uint32_t timeoutMs);
    // Waits up to the time-out for bytes and receives what has arrived (at most
    // `size`): Ok with *received > 0, or Closed at the end of the stream.
    NetResult Receive(void* data, size_t size, size_t* received, uint32_t timeoutMs);
    void Close();

    // What went wrong last, for messages.
    const std::string& Error() const { return m_error; }

private:
    // Waits for `events` on the socket; Ok, TimedOut, Cancelled or Failed.
    NetResult WaitFor(short events, uint32_t timeoutMs);

    const CancelSignal* m_cancel;
    UniqueFd m_fd;
    std::string m_error;
};

} // namespace platform
