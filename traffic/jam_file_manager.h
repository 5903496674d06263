#pragma once
// The disabled-road store: the user's road closures (the main file
// "DisabledJam.dt" in the program folder), further ".dt" files the user
// attaches read-only, and the table of the passage flags in force per road
// element. Its worker writes that table, together with the map's latest jam
// file, into the map's passage journal, from which the kernel takes the road
// passages and jams. Its switches say what is in force (bit 0 the disabled
// roads, bit 1 the jams).
//
// Disabled-road file (little-endian): int32 header size 40, u16 0xE3C1, the
// text "disable thoroughfare 30symbol" and a NUL (30 bytes), int32 count of the
// set flag bits over the records; then 6-byte records: kind 15, a 24-bit value
// (bits 0-21 the road element id, bits 22-23 the passage flags), FF FF.
// Passage flags: bit 0 passage closed, bit 1 no backward passage.
//
// One re-entrant lock guards everything; StartWorker and the destructor wait
// for the worker, which needs that lock, so they hand the lock over while they
// wait when their caller holds it.
#include "platform/sync.h"
#include "platform/unique_fd.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace platform {
class Archive;
}

inline constexpr char kDisabledRoadsText[] = "disable thoroughfare 30symbol";
inline constexpr int kDisabledRoadsHeaderSize = 40;
inline constexpr int kRoadRecordSize = 6;

// One road record of a ".dt" file or of the journal: kind 15 and no expiry.
QByteArray DisabledRoadRecord(uint32_t roadId, uint8_t flags);
// The 40-byte header of a ".dt" file with its restriction count.
QByteArray DisabledRoadsHeader(int32_t count);
// Whether the bytes start with an acceptable header; the count goes to `count`.
bool ReadDisabledRoadsHeader(const QByteArray& bytes, int32_t* count);

class CJamFileManager {
public:
    enum : uint8_t { SWITCH_BLOCKING = 0x1, SWITCH_JAMS = 0x2 };
    enum : uint8_t { PASSAGE_CLOSED = 0x1, PASSAGE_NO_BACKWARD = 0x2 };
    enum : uint8_t { ENTRY_MODIFIED = 0x1, ENTRY_RELOAD = 0x2, ENTRY_DETACHED = 0x4 };
    // What an apply pass or the worker reports.
    enum : int32_t {
        APPLY_OK = 0,
        APPLY_UNCHANGED = 1, // nothing in force and no journal: the route was given back at once
        APPLY_RETRY = -1, // the route stayed busy or the journal stayed held
        APPLY_NOTHING = -2, // jams wanted but neither a jam file nor a main file (or no map)
        APPLY_WRITE_FAILED = -3, // the journal cut back to its header or deleted
        APPLY_NO_WORKER = -5,
    };

    // What the store needs of the map controller: the route's busy word taken
    // for the journal (true when it was free or already the store's) and given
    // back after a pass that left no journal to read, the traffic refresh held
    // while the journal changes, and each pass's outcome.
    struct Host {
        std::function<bool()> takeRouteBusy;
        std::function<void()> releaseRouteBusy;
        std::function<void()> holdRefresh;
        std::function<void(int32_t)> report;
    };

    struct RoadFlags {
        uint8_t current = 0; // in force: the union over every file
        uint8_t own = 0; // the part that only the main file holds
    };
    using RoadTable = std::map<uint32_t, RoadFlags>;
    using RoadPosition = RoadTable::const_iterator;

    // The main file in `programFolder` (the program's folder when empty) is
    // opened, and created when missing once the map opens; one whose header
    // is damaged is renamed aside and a new one started, so that nothing of it
    // is lost.
    explicit CJamFileManager(const QString& programFolder = QString());
    ~CJamFileManager();
    CJamFileManager(const CJamFileManager&) = delete;
    CJamFileManager& operator=(const CJamFileManager&) = delete;

    void SetHost(Host host);
    platform::CriticalSection& Lock() { return m_lock; }
    uint8_t GetSwitches();
    void SetSwitches(uint8_t switches);
    void SetDefaults() { }

    // Whether the main file is open (the user's closures can be edited).
    bool IsOpen();
    bool IsModified();
    bool IsBlockingOn();
    QString GetMainPath() const { return m_mainPath; }
    QString GetJournalPath();
    QString GetJamPath();
    // Where a damaged main file was put aside at the start; empty when none was.
    QString GetSetAsidePath() const { return m_setAsidePath; }

    // The listed files, the main one first.
    int GetEntryCountTotal();
    // Restriction count of an entry, 0 once it is detached.
    int GetEntryCount(int index);
    QString GetEntryName(int index);
    // Name and count of the entry at `position`, which then moves past the
    // detached entries that follow; empty at the end.
    QString GetNextEntry(int& position, int& count);
    void DetachEntry(int index);
    // Index of the attached file, or -1 (unreadable, a bad header, or attached already).
    int AttachFile(const QString& name);

    RoadPosition FindRoad(uint32_t roadId);
    uint8_t GetRoadFlags(RoadPosition position, uint32_t roadId);
    // The flags that would be in force if the user asked for `wanted`:
    // attached files' flags cannot be removed.
    uint8_t GetPendingFlags(RoadPosition position, uint32_t roadId, uint8_t wanted);
    // Makes the road's flags in force equal `flags` by changing the main file's share.
    void SetPassageFlags(RoadPosition position, uint32_t roadId, uint8_t flags);
    // The whole table, for the tests and the blocks page.
    RoadTable GetRoads();

    // Replaces the main file (never in place); merge writes every road in
    // force and makes it the main file's own.
    bool SaveMainFile(bool merge);
    // Merges everything into the main file and detaches the rest; a name other
    // than the main file's gets a copy of it.
    bool SaveAs(const QString& name);

    // The settings file's section: switches, attached files.
    void SaveToArchive(platform::Archive& archive);
    void LoadFromArchive(platform::Archive& archive);

    // The journal beside the map, the jam file by the map's title in the program folder.
    void OnMapOpened(const QString& mapPath);
    // Applies the files to the journal: at once when asked and no worker runs,
    // else in the worker, which retries while the route or the journal is
    // busy. False when no worker could be started.
    bool StartWorker(bool applyNow);
    // One apply pass on the calling thread (the worker's step).
    int32_t ApplyPass();
    // Whether the worker is inside a pass (or waiting for the lock to begin one).
    bool IsWorkerInPass() const { return m_busyCount.load() > 0; }
    // Whether a worker is at work (in a pass or waiting to retry one).
    bool IsWorkerRunning();

private:
    struct Entry {
        QString name;
        platform::UniqueFd file;
        int32_t count = 0;
        uint8_t flags = 0;
    };
    struct Worker;

    void OpenMain(bool create);
    int OpenEntry(const QString& name);
    bool IsMainName(const QString& name) const;
    bool MainOpen() const;
    void LoadEntries(bool includeMain);
    void MergeRecord(Entry& entry, uint32_t roadId, uint8_t flags, bool main);
    void PruneEntries(bool includeMain, bool eraseAll);
    void RollbackPending();
    QByteArray MainFileBytes(bool merge, int32_t* count);
    QByteArray JournalHeader(int journal);
    bool ReopenMain();
    void Report(int32_t status);
    void WorkerProc(Worker* worker);
    int32_t CountedPass();
    // Stops and joins the worker; the lock is handed over while waiting.
    void StopWorker();
    void ReapWorker();

    platform::CriticalSection m_lock;
    Host m_host;
    std::vector<Entry> m_entries;
    RoadTable m_roads;
    QString m_journalPath;
    QString m_jamPath;
    QString m_programFolder;
    QString m_mainPath;
    QString m_setAsidePath;
    QDateTime m_lastJournalTime;
    uint16_t m_mapId = 0xE3C1;
    uint8_t m_switches = 0;
    uint8_t m_retryStep = 0;
    int m_retryCount = 0;
    std::atomic<int> m_busyCount { 0 };
    std::unique_ptr<Worker> m_worker;
};
