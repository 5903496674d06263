#pragma once
// Transport kind 2: the jam picture downloaded from the traffic provider's
// server over HTTP (see provider_protocol.h). Every fetch of the manager's
// worker downloads once; the cells are held until the manager saves them.
// Connecting, sending and receiving are each bounded by the time-outs, and the
// manager's cancel signal ends a download under way when the program closes.
#include "platform/tcp_client.h"
#include "traffic/jam_settings.h"
#include "traffic/jam_transport.h"
#include "traffic/provider_protocol.h"

#include <atomic>
#include <memory>

// The server identifier file "guid.dll" in the program folder.
QString ProviderIdentifierPath();

class CGprsTransport final : public CJamCellTransport {
public:
    explicit CGprsTransport(const JamNetworkTimeouts& timeouts = {},
        std::shared_ptr<const platform::CancelSignal> cancel = nullptr);

    JamStatus Open(const QString& configuration) override;
    JamStatus Reconnect() override { return JAM_OK; }
    JamStatus Close() override;
    // Only the manager's worker downloads and saves: no lock is needed.
    void Lock() override { }
    void Unlock() override { }
    JamStatus Refresh() override;

private:
    JamStatus Download();
    // Sends the request and receives the answer until the server closes the
    // connection or kProviderMaxAnswer bytes have come; JAM_OK or JAM_E_CONNECT.
    JamStatus Exchange(const std::string& request, std::string* answer);
    // Receives and reads one answer: JAM_OK, JAM_E_CONNECT or JAM_E_RESPONSE
    // (also for any status but success).
    JamStatus Ask(const std::string& request, ProviderAnswer* answer);

    const JamNetworkTimeouts m_timeouts;
    const std::shared_ptr<const platform::CancelSignal> m_cancel;
    std::atomic<bool> m_opened { false };
    std::optional<ProviderAccount> m_account; // the worker's only
};
