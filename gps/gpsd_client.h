#pragma once
// The platform's GPS driver on Linux: gpsd. A TCP client that asks gpsd for
// the raw NMEA of its receivers (?WATCH={"enable":true,"nmea":true};) and hands
// on exactly those sentences, dropping gpsd's own JSON reports, so the NMEA
// reader sees what a receiver on a port would send.
//
// Like the device's driver port, it opens whether or not gpsd runs: it
// connects without blocking, and when gpsd is not there or goes away it
// tries again every few reads (about every two seconds at the 250 ms tick);
// while it has no connection every read fails.
#include "platform/unique_fd.h"
#include <QString>
#include <cstddef>
#include <cstdint>
#include <sys/types.h>

class CGpsdClient {
public:
    // gpsd's own port.
    enum : uint16_t { DEFAULT_PORT = 2947 };
    // A connection is tried again on every this many reads without one.
    enum : int { RECONNECT_READS = 8 };

    CGpsdClient() = default;
    ~CGpsdClient();
    CGpsdClient(const CGpsdClient&) = delete;
    CGpsdClient& operator=(const CGpsdClient&) = delete;

    // Whether a port name names gpsd: "gpsd:" followed by "//host:port",
    // "//host" or nothing (localhost, gpsd's port).
    static bool IsGpsdName(const QString& name);

    // Starts the connection to the gpsd a name gives; false only for a name
    // that does not name one or an address that does not resolve.
    bool Open(const QString& name);
    void Close();
    bool IsOpen() const { return m_open; }
    // The connection's descriptor, for a caller that waits for input; -1 without one.
    int Fd() const { return m_fd.Get(); }

    // The NMEA text that has arrived, at most `size` bytes: their count, 0
    // when nothing has, -1 while there is no connection to gpsd.
    ssize_t Read(void* buffer, size_t size);

private:
    enum class State { DISCONNECTED, CONNECTING, WATCHING };

    bool StartConnect();
    void Disconnect();
    // Copies the NMEA of `in` to `out` and drops gpsd's JSON lines.
    size_t Filter(const char* in, size_t size, char* out);

    bool m_open = false;
    QString m_host;
    uint16_t m_port = DEFAULT_PORT;
    platform::UniqueFd m_fd;
    State m_state = State::DISCONNECTED;
    int m_readsWithout = 0;
    bool m_lineStart = true;
    bool m_inJson = false;
};
