#pragma once
// Transport kind 1: no traffic source. It opens and closes, but it has nothing
// to save: a fetch reports JAM_E_NOTIMPL, so no caller takes it for new jams.
#include "traffic/jam_transport.h"

class CStubTransport : public CJamTransportBase {
public:
    JamStatus Open(const QString& configuration) override;
    JamStatus Reconnect() override { return JAM_OK; }
    JamStatus Close() override;
    JamStatus SaveJam(const QString& path, uint64_t* jamTime) override;
    JamStatus SaveContext(const QString&, bool) override { return JAM_E_NOTIMPL; }
    void Lock() override { }
    void Unlock() override { }
    JamStatus Refresh() override { return JAM_E_NOTIMPL; }
};
