#include "kernel/doc/app_doc_manager.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>

#include "kernel/api/result_codes.h"
#include "kernel/doc/disk_stream.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/poi_store.h"

CZXS_Doc::~CZXS_Doc()
{
    if (CZXS_Doc* source = RegisteredWith())
        source->RemoveView(this);
    CloseViews();
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
    view->m_registeredWith = this;
    return true;
}

void CZXS_Doc::RemoveView(CZXS_DocObserver* view)
{
    std::lock_guard lock(m_viewLock);
    const auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it != m_views.end())
        m_views.erase(it);
    if (view->m_registeredWith == this)
        view->m_registeredWith = nullptr;
}

void CZXS_Doc::NotifyViews()
{
    std::lock_guard lock(m_viewLock);
    for (size_t i = 0; i < m_views.size(); ++i)
        if (m_views[i] != nullptr)
            m_views[i]->DocumentChanged();
}

void CZXS_Doc::CloseViews()
{
    std::lock_guard lock(m_viewLock);
    for (CZXS_DocObserver* view : m_views) {
        view->DocumentClosing();
        view->m_registeredWith = nullptr;
    }
    m_views.clear();
}

void CZXS_Doc::JournalChanged(void* doc) { static_cast<CZXS_Doc*>(doc)->NotifyViews(); }

CAppDocManager::CAppDocManager(CZXS_Object& errors, CZXS_PoiStore& pois)
    : m_errors(errors)
    , m_pois(pois)
{
}

CAppDocManager::~CAppDocManager() { StopThread(); }

CZXS_Doc* CAppDocManager::OpenDocument(
    const ZXS_MapSource* source, const uint8_t* key, int16_t keyLength, int readerKind, int32_t& error)
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
            if (!doc->m_map.IsMemoryMap() && doc->m_map.MapName() == source->path
                && doc->m_map.References() > 0) {
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
        doc->m_poiSet = m_pois.OpenSet(
            doc->m_map.MapName(), fromFile ? nullptr : source->poiBlock, fromFile ? 0 : source->poiSize);
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
    // An alias has one use: it goes, and then its use of the source.
    const auto alias
        = std::find_if(m_aliases.begin(), m_aliases.end(), [&](const auto& a) { return a.get() == doc; });
    if (alias != m_aliases.end()) {
        doc = doc->m_source;
        m_aliases.erase(alias);
    }
    const auto it = std::find_if(m_docs.begin(), m_docs.end(), [&](const auto& d) { return d.get() == doc; });
    if (it == m_docs.end())
        return 0;
    // The last use: the views stop drawing from the map before it closes.
    if (doc->m_map.References() <= 1)
        doc->CloseViews();
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
    m_aliases.clear();
    for (const auto& doc : m_docs) {
        doc->CloseViews();
        if (doc->m_poiSet)
            m_pois.ReleaseSet(doc->m_poiSet);
        doc->m_map.Close();
    }
    m_docs.clear();
}

CZXS_Doc* CAppDocManager::OpenRestyled(CZXS_Doc* source, const uint8_t* styles, uint32_t count)
{
    std::unique_lock lock(m_kernelLock, std::defer_lock);
    if (source == nullptr || styles == nullptr || !lock.try_lock_for(kLockWait))
        return nullptr;
    // An alias of an alias shows the same map: it refers to the document that holds the map.
    if (source->m_source != nullptr)
        source = source->m_source;
    if (std::none_of(m_docs.begin(), m_docs.end(), [&](const auto& d) { return d.get() == source; }))
        return nullptr;
    std::unique_ptr<CZXS_Doc> alias(new (std::nothrow) CZXS_Doc);
    if (!alias || alias->m_styles.Allocate(32, 16) == 0)
        return nullptr;
    const double resolution = source->m_map.Resolution();
    uint8_t record[CZXS_StyleRecord::kSize];
    for (uint32_t i = 0; i < count; ++i) {
        std::memcpy(record, styles + static_cast<size_t>(i) * CZXS_StyleRecord::kSize, sizeof record);
        const uint32_t scale
            = record[0] | (record[1] << 8) | (record[2] << 16) | (uint32_t { record[3] } << 24);
        const float threshold = CZXS_StyleTable::ThresholdOfScale(scale, resolution);
        uint32_t bits;
        std::memcpy(&bits, &threshold, sizeof bits);
        for (int k = 0; k < 4; ++k)
            record[k] = static_cast<uint8_t>(bits >> (8 * k));
        if (alias->m_styles.Append(record) < 0)
            return nullptr;
    }
    try {
        m_aliases.reserve(m_aliases.size() + 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!source->AddView(alias.get()))
        return nullptr;
    alias->m_source = source;
    source->m_map.AddReference();
    m_aliases.push_back(std::move(alias));
    return m_aliases.back().get();
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
