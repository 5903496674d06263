#include "kernel/doc/app_doc_manager.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "kernel/api/result_codes.h"
#include "kernel/doc/disk_stream.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/poi_store.h"

CZXS_Doc::~CZXS_Doc()
{
    if (CZXS_PassageJournal* journal = m_map.Journal())
        journal->SetNotify(nullptr, nullptr);
}

bool CZXS_Doc::AddView(CZXS_DocObserver* view)
{
    std::lock_guard lock(m_viewLock);
    try {
        m_views.push_back(view);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CZXS_Doc::RemoveView(CZXS_DocObserver* view)
{
    std::lock_guard lock(m_viewLock);
    const auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it != m_views.end())
        m_views.erase(it);
}

void CZXS_Doc::NotifyViews()
{
    std::lock_guard lock(m_viewLock);
    for (size_t i = 0; i < m_views.size(); ++i)
        if (m_views[i] != nullptr)
            m_views[i]->DocumentChanged();
}

void CZXS_Doc::JournalChanged(void* doc) { static_cast<CZXS_Doc*>(doc)->NotifyViews(); }

CAppDocManager::CAppDocManager(CZXS_Object& errors, CZXS_PoiStore& pois) : m_errors(errors), m_pois(pois) {}

CAppDocManager::~CAppDocManager() { StopThread(); }

CZXS_Doc* CAppDocManager::OpenDocument(const ZXS_MapSource* source, const uint8_t* key, int16_t keyLength,
                                       int readerKind, int32_t& error)
{
    error = 0;
    if (source == nullptr) {
        error = ZXS_KERR_NOSOURCE;
        return nullptr;
    }
    std::unique_lock lock(m_kernelLock, std::defer_lock);
    if (!lock.try_lock_for(kLockWait)) {
        error = 0;
        return nullptr;
    }
    const bool fromFile = readerKind != CZXS_DiskStream::kMemory && source->path != nullptr;
    if (fromFile) {
        for (const auto& doc : m_docs) {
            if (!doc->m_map.IsMemoryMap() && doc->m_map.MapName() == source->path && doc->m_map.References() > 0) {
                doc->m_map.AddReference();
                return doc.get();
            }
        }
    }
    std::unique_ptr<CZXS_Doc> doc(new (std::nothrow) CZXS_Doc);
    if (!doc) {
        error = ZXS_KERR_MEMORY;
        return nullptr;
    }
    if (doc->m_map.Open(source, key, keyLength, readerKind) == 0) {
        error = doc->m_map.GetError();
        return nullptr;
    }
    try {
        m_docs.reserve(m_docs.size() + 1);
    } catch (const std::bad_alloc&) {
        error = ZXS_KERR_MEMORY;
        return nullptr;
    }
    // A memory map has a POI set only when it brings its block; it never
    // shares one by its made-up name.
    if (fromFile || source->poiBlock != nullptr)
        doc->m_poiSet = m_pois.OpenSet(doc->m_map.MapName(), fromFile ? nullptr : source->poiBlock,
                                       fromFile ? 0 : source->poiSize);
    if (CZXS_PassageJournal* journal = doc->m_map.Journal())
        journal->SetNotify(&CZXS_Doc::JournalChanged, doc.get());
    m_docs.push_back(std::move(doc));
    return m_docs.back().get();
}

int CAppDocManager::CloseDocument(CZXS_Doc* doc)
{
    std::unique_lock lock(m_kernelLock, std::defer_lock);
    if (!lock.try_lock_for(kLockWait))
        return 0;
    const auto it = std::find_if(m_docs.begin(), m_docs.end(), [&](const auto& d) { return d.get() == doc; });
    if (it == m_docs.end())
        return 0;
    if (doc->m_map.Release() == 1) {
        if (doc->m_poiSet)
            m_pois.ReleaseSet(doc->m_poiSet);
        m_docs.erase(it);
    }
    return 1;
}

void CAppDocManager::CloseAll()
{
    // At the end nothing may stay open, so this waits as long as it takes.
    std::lock_guard lock(m_kernelLock);
    for (const auto& doc : m_docs) {
        if (doc->m_poiSet)
            m_pois.ReleaseSet(doc->m_poiSet);
        doc->m_map.Close();
    }
    m_docs.clear();
}

size_t CAppDocManager::DocumentCount()
{
    std::lock_guard lock(m_kernelLock);
    return m_docs.size();
}

int16_t CAppDocManager::UseCount(const CZXS_Doc* doc)
{
    std::lock_guard lock(m_kernelLock);
    for (const auto& d : m_docs)
        if (d.get() == doc)
            return d->m_map.References();
    return 0;
}

bool CAppDocManager::StartThread(int32_t journalMode)
{
    CZXS_PassageJournal::SetMode(journalMode);
    std::lock_guard lock(m_threadLock);
    if (m_thread.joinable())
        return true;
    m_stop = false;
    try {
        m_docs.reserve(8);
        m_thread = std::thread(&CAppDocManager::ThreadMain, this);
    } catch (const std::system_error&) {
        m_errors.SetError(ZXS_KERR_MEMORY);
        return false;
    } catch (const std::bad_alloc&) {
        m_errors.SetError(ZXS_KERR_MEMORY);
        return false;
    }
    return true;
}

void CAppDocManager::StopThread()
{
    {
        std::lock_guard lock(m_threadLock);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    CloseAll();
}

bool CAppDocManager::IsThreadRunning() const { return m_thread.joinable(); }

bool CAppDocManager::RunPassNow(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_threadLock);
    if (!m_thread.joinable() || m_stop)
        return false;
    // A pass already running may have gone by the document wanted: wait for the next whole one.
    const uint64_t target = m_passes + (m_inPass ? 2 : 1);
    m_runNow = true;
    m_wake.notify_all();
    return m_passEnded.wait_for(lock, timeout, [&] { return m_passes >= target || m_stop; }) && !m_stop;
}

void CAppDocManager::ThreadMain()
{
    std::unique_lock lock(m_threadLock);
    std::chrono::milliseconds period = kPassPeriod;
    while (!m_stop) {
        m_wake.wait_for(lock, period, [&] { return m_stop || m_runNow; });
        if (m_stop)
            break;
        m_runNow = false;
        m_inPass = true;
        lock.unlock();
        period = JournalPass();
        lock.lock();
        m_inPass = false;
        ++m_passes;
        m_passEnded.notify_all();
    }
}

std::chrono::milliseconds CAppDocManager::JournalPass()
{
    std::unique_lock lock(m_kernelLock, std::defer_lock);
    if (!lock.try_lock_for(kLockWait))
        return kPassPeriod;
    bool failed = false;
    for (const auto& doc : m_docs) {
        CZXS_PassageJournal* journal = doc->m_map.Journal();
        if (doc->m_map.References() <= 0 || journal == nullptr)
            continue;
        switch (journal->ReadBesideMap()) {
        case 0:
            break;
        case CZXS_PassageJournal::kNotNewer:
        case CZXS_PassageJournal::kReadDisabled:
            journal->ExpirePass();
            break;
        // In use elsewhere, not written yet, or a map without a journal file
        // (memory maps, maps without roads): the next document's turn.
        case ZXS_CAUSE_SHARING:
        case ZXS_CAUSE_NOT_FOUND:
        case CZXS_PassageJournal::kNoDocument:
            break;
        default:
            failed = true;
            break;
        }
    }
    return failed ? kSlowPassPeriod : kPassPeriod;
}
