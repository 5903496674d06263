#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "kernel/doc/kernel_lock.h"
#include "kernel/doc/object.h"
#include "kernel/doc/style_table.h"
#include "kernel/doc/tzx_doc.h"

class CZXS_PoiSet;
class CZXS_PoiStore;

class CZXS_Doc;

// Told when the passage data of the document it shows changes, and before the
// document goes; views register with their document.
class CZXS_DocObserver {
public:
    virtual ~CZXS_DocObserver() = default;
    virtual void DocumentChanged() = 0;
    // The document is about to be deleted: nothing of it may be used once this returns.
    virtual void DocumentClosing() { }
    // The document this observer is registered with; none once it left or the document closed.
    CZXS_Doc* RegisteredWith() const { return m_registeredWith; }

private:
    friend class CZXS_Doc;
    CZXS_Doc* m_registeredWith = nullptr;
};

// The document manager's object for one open map: the map data, the views
// that show it and its POI set. A restyled alias shows the map data of its
// source with drawing styles of its own; it watches its source in order to
// pass the source's changes on to its own views.
class CZXS_Doc : public CZXS_Object, public CZXS_DocObserver {
public:
    CZXS_Doc() = default;
    CZXS_Doc(const CZXS_Doc&) = delete;
    CZXS_Doc& operator=(const CZXS_Doc&) = delete;
    ~CZXS_Doc() override;

    const char16_t* ClassName() const override { return u"CZXS_Doc"; }
    CZXS_TzxDoc& Map() { return m_source != nullptr ? m_source->m_map : m_map; }
    const CZXS_TzxDoc& Map() const { return m_source != nullptr ? m_source->m_map : m_map; }
    // The styles views draw with: an alias's own, else the map's.
    const CZXS_StyleTable& Styles() const { return m_source != nullptr ? m_styles : m_map.Styles(); }
    const std::shared_ptr<const CZXS_PoiSet>& PoiSet() const { return m_poiSet; }

    // False when memory is short.
    bool AddView(CZXS_DocObserver* view);
    void RemoveView(CZXS_DocObserver* view);
    // Tells every registered view, in the order they registered.
    void NotifyViews();
    // Tells every registered view that the document goes and forgets them, so
    // that no frame still queued or running draws from it afterwards.
    void CloseViews();

    void DocumentChanged() override { NotifyViews(); }
    void DocumentClosing() override { CloseViews(); }

private:
    friend class CAppDocManager;
    static void JournalChanged(void* doc);

    CZXS_TzxDoc m_map;
    CZXS_Doc* m_source = nullptr;
    CZXS_StyleTable m_styles;
    std::shared_ptr<const CZXS_PoiSet> m_poiSet;
    // Views register on the interface's threads and are told on the thread
    // that changed the journal; a view leaves only between notifications.
    std::recursive_mutex m_viewLock;
    std::vector<CZXS_DocObserver*> m_views;
};

// The open map documents, shared by path and counted, and the document thread
// that keeps each document's passage journal in step with its file. The list
// is guarded by the kernel lock, which the render queue shares.
class CAppDocManager {
public:
    // How long an operation waits for the kernel lock before it gives up.
    static constexpr std::chrono::milliseconds kLockWait { 15000 };
    static constexpr std::chrono::milliseconds kPassPeriod { 1000 };
    static constexpr std::chrono::milliseconds kSlowPassPeriod { 5000 };

    // Failures are stored in `errors` (the application's code).
    CAppDocManager(CZXS_Object& errors, CZXS_PoiStore& pois);
    CAppDocManager(const CAppDocManager&) = delete;
    CAppDocManager& operator=(const CAppDocManager&) = delete;
    ~CAppDocManager();

    // The document of the source: an open one of the same path gains a use
    // (key and reader kind are not compared), else the map is opened. None
    // with the kernel error in `error`: handed back rather than kept in the
    // application, as maps may open on several threads at once.
    CZXS_Doc* OpenDocument(
        const ZXS_MapSource* source, const uint8_t* key, int16_t keyLength, int readerKind, int32_t& error);
    // Releases one use; the last closes the document. 1 when the document was
    // handled, 0 when it is not in the list.
    int CloseDocument(CZXS_Doc* doc);
    void CloseAll();
    // A restyled alias of the source: the same map data drawn with `count`
    // 44-byte style records of its own, each first word a scale (as
    // CZXS_StyleTable::ScaleOfThreshold gives out); the caller's records are
    // not changed. The alias holds one use of the source until it is closed.
    // None when the source is not open or memory is short.
    CZXS_Doc* OpenRestyled(CZXS_Doc* source, const uint8_t* styles, uint32_t count);

    // Starts the document thread with the passage-journal mode (bit 0 reading
    // journal files, bit 1 writing them). False when the thread cannot start.
    bool StartThread(int32_t journalMode);
    void StopThread();
    bool IsThreadRunning() const;

    // One pass over the open documents: each one in use reads its journal
    // file when the file is newer, or else expires its old entries. The wait
    // until the next pass: longer after a read failed.
    std::chrono::milliseconds JournalPass();
    // Has the document thread make a pass now, and waits until one has ended
    // after this call (false when the thread is not running or the wait ran out).
    bool RunPassNow(std::chrono::milliseconds timeout);

    CZXS_KernelLock& KernelLock() { return m_kernelLock; }
    size_t DocumentCount();
    int16_t UseCount(const CZXS_Doc* doc);

private:
    void ThreadMain();

    CZXS_Object& m_errors;
    CZXS_PoiStore& m_pois;
    CZXS_KernelLock m_kernelLock;
    std::vector<std::unique_ptr<CZXS_Doc>> m_docs;
    std::vector<std::unique_ptr<CZXS_Doc>> m_aliases;

    std::mutex m_threadLock;
    std::condition_variable m_wake;
    std::condition_variable m_passEnded;
    std::thread m_thread;
    bool m_stop = false;
    bool m_runNow = false;
    bool m_inPass = false;
    uint64_t m_passes = 0;
};
