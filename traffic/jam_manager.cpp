#include "traffic/jam_manager.h"

#include "traffic/gprs_transport.h"
#include "traffic/roz_transport.h"
#include "traffic/stub_transport.h"

#include <new>
#include <system_error>

JamStatus CreateTransport(int kind, const JamTransportOptions& options, std::shared_ptr<CJamTransport>* out)
{
    out->reset();
    switch (kind) {
    case 1:
        *out = std::make_shared<CStubTransport>();
        return JAM_OK;
    case 2:
        *out = std::make_shared<CGprsTransport>(options.timeouts, options.cancel);
        return JAM_OK;
    case 3:
        *out = std::make_shared<CRozTransport>();
        return JAM_OK;
    default:
        return JAM_E_INVALIDARG;
    }
}

CJamManager::CJamManager(PrivateTag, JamTransportFactory factory)
    : m_cancel(std::make_shared<platform::CancelSignal>())
    , m_factory(std::move(factory))
{
}

JamStatus CJamManager::Create(std::unique_ptr<CJamManager>* out, JamTransportFactory factory)
{
    try {
        *out = std::make_unique<CJamManager>(PrivateTag {}, std::move(factory));
    } catch (const std::bad_alloc&) {
        out->reset();
        return JAM_E_FAIL;
    }
    return JAM_OK;
}

CJamManager::~CJamManager()
{
    {
        platform::CSLock lock(m_lock);
        m_flags |= FLAG_STOP;
    }
    m_cancel->Cancel();
    m_wake.Set();
    if (m_thread.joinable())
        m_thread.join();
}

JamStatus CJamManager::StartThread()
{
    if (m_workerRunning)
        return JAM_OK;
    if (m_thread.joinable())
        m_thread.join(); // a worker that has ended; it no longer takes the lock
    m_workerRunning = true;
    try {
        m_thread = std::thread(&CJamManager::Worker, this);
    } catch (const std::system_error&) {
        m_workerRunning = false;
        return JAM_E_THREAD;
    }
    return JAM_OK;
}

void CJamManager::Signal(uint32_t flags)
{
    m_flags |= flags;
    m_wake.Set();
}

JamStatus CJamManager::SetSchedule(bool enabled, int32_t periodMs, const QString* jamPath)
{
    platform::CSLock lock(m_lock);
    if (jamPath)
        m_jamPath = *jamPath;
    // A period of nothing would fetch without pause: it counts as none.
    m_periodMs = enabled && periodMs > 0 ? periodMs : -1;
    if (m_periodMs != -1 && !m_workerRunning && m_transport)
        return StartThread();
    if (m_workerRunning)
        Signal(FLAG_RECONFIGURE);
    return JAM_OK;
}

JamStatus CJamManager::RequestUpdate()
{
    platform::CSLock lock(m_lock);
    m_flags |= FLAG_FETCH;
    const JamStatus result = StartThread();
    if (JamSucceeded(result))
        m_wake.Set();
    return result;
}

JamStatus CJamManager::SetCallback(JamCallback callback)
{
    platform::CSLock lock(m_lock);
    m_callback = std::move(callback);
    return JAM_OK;
}

JamStatus CJamManager::SetTransport(
    int kind, const QString& configuration, const JamNetworkTimeouts& timeouts)
{
    std::shared_ptr<CJamTransport> replaced; // released after the lock: it may close a port
    platform::CSLock lock(m_lock);
    JamStatus result = m_kind != 0 ? JAM_OK : JAM_E_INVALIDARG;
    if (kind != m_kind || timeouts != m_timeouts) {
        m_kind = 0;
        std::shared_ptr<CJamTransport> built;
        result = m_factory(kind, JamTransportOptions { timeouts, m_cancel }, &built);
        if (!JamSucceeded(result))
            built.reset();
        replaced = std::exchange(m_transport, std::move(built));
    }
    if (JamSucceeded(result)) {
        m_kind = kind;
        m_timeouts = timeouts;
        m_configuration = configuration;
        result = StartThread();
    }
    // Adds to what is pending: a download-now request waiting for the worker stays.
    if (m_workerRunning)
        Signal(FLAG_RECONFIGURE | FLAG_OPEN);
    return result;
}

JamStatus CJamManager::GetStatusText(QString& text, int size, uint32_t flags)
{
    std::shared_ptr<CJamTransport> transport;
    {
        platform::CSLock lock(m_lock);
        transport = m_transport;
    }
    if (!transport) {
        text.clear();
        return JAM_E_NOT_OPEN;
    }
    return transport->GetStatusText(text, size, flags);
}

JamStatus CJamManager::Reconnect()
{
    std::shared_ptr<CJamTransport> transport;
    {
        platform::CSLock lock(m_lock);
        transport = m_transport;
    }
    return transport ? transport->Reconnect() : JAM_E_NOT_OPEN;
}

JamStatus CJamManager::CloseTransport()
{
    std::shared_ptr<CJamTransport> transport;
    {
        platform::CSLock lock(m_lock);
        transport = m_transport;
    }
    return transport ? transport->Close() : JAM_OK;
}

CJamManager::Schedule CJamManager::CopySchedule()
{
    return Schedule { m_transport, m_configuration, m_jamPath };
}

void CJamManager::Report(int event, JamStatus status, const uint64_t* jamTime)
{
    JamCallback callback;
    {
        platform::CSLock lock(m_lock);
        if (m_flags & FLAG_STOP)
            return; // the manager is going: nobody waits for news of it
        callback = m_callback;
    }
    if (callback)
        callback(event, status, jamTime);
}

void CJamManager::Worker()
{
    Schedule schedule;
    {
        platform::CSLock lock(m_lock);
        schedule = CopySchedule();
    }
    for (;;) {
        uint32_t wait = platform::Event::INFINITE;
        {
            platform::CSLock lock(m_lock);
            if (schedule.transport && m_periodMs > 0)
                wait = static_cast<uint32_t>(m_periodMs);
        }
        const bool woken = m_wake.Wait(wait);
        uint32_t flags;
        {
            platform::CSLock lock(m_lock);
            flags = m_flags;
            m_flags &= FLAG_STOP;
        }
        if (flags & FLAG_STOP)
            break;
        if (!woken)
            flags |= FLAG_FETCH;
        if (flags & FLAG_RECONFIGURE) {
            platform::CSLock lock(m_lock);
            schedule = CopySchedule();
        }
        if ((flags & FLAG_OPEN) && schedule.transport)
            Report(JAM_EVENT_OPENED, schedule.transport->Open(schedule.configuration), nullptr);
        if (!(flags & FLAG_FETCH))
            continue;
        {
            platform::CSLock lock(m_lock);
            if (m_flags & FLAG_STOP)
                break;
        }
        if (schedule.transport) {
            uint64_t jamTime = 0;
            const JamStatus status = schedule.transport->SaveJam(schedule.jamPath, &jamTime);
            Report(JAM_EVENT_SAVED, status, &jamTime);
        } else {
            Report(JAM_EVENT_SAVED, JAM_E_NOT_OPEN, nullptr);
        }
    }
    {
        platform::CSLock lock(m_lock);
        m_workerRunning = false;
    }
}
