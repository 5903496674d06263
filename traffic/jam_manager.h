#pragma once
// The traffic-jam manager: it owns the one active traffic transport and a
// worker thread that, on a period or on request, has the transport write a
// fresh jam picture into the map's jam file, and reports each step through one
// callback (on the worker's thread).
//
// Requests reach the worker as flags set under the manager's lock plus a wake
// event; the worker takes all pending flags at once under the same lock, so a
// request made while it is busy is never lost, only served at its next turn.
// The lock is never held while the transport opens or downloads.
#include "platform/sync.h"
#include "platform/tcp_client.h"
#include "traffic/jam_settings.h"
#include "traffic/jam_transport.h"

#include <QString>
#include <functional>
#include <memory>
#include <thread>

// What a transport is built with besides its kind.
struct JamTransportOptions {
    JamNetworkTimeouts timeouts;
    // Raised when the manager stops, to end a download under way at once.
    std::shared_ptr<const platform::CancelSignal> cancel;
};

using JamTransportFactory = std::function<JamStatus(
    int kind, const JamTransportOptions& options, std::shared_ptr<CJamTransport>* out)>;

// Kind 1 the stub, 2 the provider download, 3 the serial receiver; any other
// kind gives no transport and JAM_E_INVALIDARG.
JamStatus CreateTransport(int kind, const JamTransportOptions& options, std::shared_ptr<CJamTransport>* out);

enum : int {
    JAM_EVENT_OPENED = 1, // status of Open, no time
    JAM_EVENT_SAVED = 2, // status of SaveJam and the saved jam's time (none without a transport)
};

using JamCallback = std::function<void(int event, JamStatus status, const uint64_t* jamTime)>;

class CJamManager {
public:
    enum : uint32_t {
        FLAG_RECONFIGURE = 1,
        FLAG_OPEN = 2,
        FLAG_FETCH = 4,
        FLAG_STOP = 8,
    };

    static JamStatus Create(std::unique_ptr<CJamManager>* out, JamTransportFactory factory = CreateTransport);
    // Stops the worker (ending a download under way) and releases the transport.
    ~CJamManager();
    CJamManager(const CJamManager&) = delete;
    CJamManager& operator=(const CJamManager&) = delete;

    // Stores the jam file path (when given) and the period (none when not
    // enabled); starts the worker when there is a period and a transport, or
    // has a running worker read the schedule again.
    JamStatus SetSchedule(bool enabled, int32_t periodMs, const QString* jamPath);
    // Download now: fetches at the worker's next turn, starting it if needed.
    JamStatus RequestUpdate();
    JamStatus SetCallback(JamCallback callback);
    // Builds the transport of `kind` (a new one when the kind or the time-outs
    // changed), stores the configuration and has the worker open it. Kind 0 or
    // an unknown kind removes the transport and returns JAM_E_INVALIDARG.
    JamStatus SetTransport(int kind, const QString& configuration, const JamNetworkTimeouts& timeouts = {});
    JamStatus GetStatusText(QString& text, int size, uint32_t flags);
    JamStatus Reconnect();
    JamStatus CloseTransport();

    struct PrivateTag { };
    CJamManager(PrivateTag, JamTransportFactory factory);

private:
    struct Schedule {
        std::shared_ptr<CJamTransport> transport;
        QString configuration;
        QString jamPath;
    };

    JamStatus StartThread(); // under the lock
    void Worker();
    void Report(int event, JamStatus status, const uint64_t* jamTime);
    Schedule CopySchedule(); // under the lock
    void Signal(uint32_t flags); // under the lock

    platform::CriticalSection m_lock;
    JamCallback m_callback;
    int32_t m_periodMs = -1;
    std::shared_ptr<CJamTransport> m_transport;
    QString m_configuration;
    QString m_jamPath;
    int m_kind = 0;
    JamNetworkTimeouts m_timeouts;
    bool m_workerRunning = false;
    std::thread m_thread;
    platform::Event m_wake { false, false };
    uint32_t m_flags = 0;
    const std::shared_ptr<platform::CancelSignal> m_cancel;
    const JamTransportFactory m_factory;
};
