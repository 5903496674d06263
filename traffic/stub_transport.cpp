#include "traffic/stub_transport.h"

JamStatus CStubTransport::Open(const QString&)
{
    SetLastStatus(JAM_E_NO_NEW_DATA);
    return JAM_OK;
}

JamStatus CStubTransport::Close()
{
    SetLastStatus(JAM_E_NOT_OPEN);
    return JAM_OK;
}

JamStatus CStubTransport::SaveJam(const QString&, uint64_t* jamTime)
{
    // Nothing was saved: a success here would have the map re-apply jams that
    // never came. The worker's thread shows no message either.
    if (jamTime)
        GetJamTime(jamTime);
    return JAM_E_NOTIMPL;
}
