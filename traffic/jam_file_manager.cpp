#include "traffic/jam_file_manager.h"

#include "foundation/file_stream.h"
#include "foundation/path_helpers.h"
#include "platform/archive.h"
#include "platform/file_writer.h"
#include "platform/little_endian.h"
#include "platform/local_time.h"
#include "settings/settings_record.h"
#include "traffic/jam_files_section.h"

#include <QDateTime>
#include <QFile>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr uint16_t kMagic = 0xE3C1;
constexpr int kJournalHeaderSize = 17;
constexpr int kCopyBlock = 512;
constexpr off_t kMapIdOffset = 56;

struct RetryStep {
    int32_t waitMs;
    int32_t limit;
};
// 4 waits of 260 ms, 11 of 1650 ms and 8 of 15120 ms, then the worker gives up.
constexpr RetryStep kRetrySteps[] = { { 260, 4 }, { 1650, 10 }, { 15120, 7 }, { -1, -1 } };

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

int Bits(uint8_t flags) { return std::popcount(static_cast<unsigned>(flags & 3)); }

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// The bytes of an open file from `offset` to its end; false on a read error.
bool ReadFrom(int fd, off_t offset, QByteArray& out)
{
    char block[kCopyBlock];
    for (;;) {
        const ssize_t got = ::pread(fd, block, sizeof block, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        out.append(block, got);
        offset += got;
    }
}

// Opens a file for this program alone (an advisory lock every writer of ours honours).
platform::UniqueFd OpenLocked(const QString& path, int flags, int lock, mode_t mode = 0644)
{
    platform::UniqueFd fd(::open(Local(path).c_str(), flags | O_CLOEXEC, mode));
    if (fd && ::flock(fd.Get(), lock | LOCK_NB) != 0)
        fd.Reset();
    return fd;
}

// The 14 digits "YYYYMMDDhhmmss" of a journal header as a time; invalid when they are not.
QDateTime JournalTime(const QByteArray& digits)
{
    const QDateTime time
        = QDateTime::fromString(QString::fromLatin1(digits), QStringLiteral("yyyyMMddHHmmss"));
    return time;
}

QDateTime LocalNow()
{
    const platform::LocalTime now = platform::GetLocalTime();
    return QDateTime(QDate(now.year, now.month, now.day), QTime(now.hour, now.minute, now.second));
}

} // namespace

QByteArray CJamFileManager::JournalHeader(int journal)
{
    // The kernel takes a journal only when its time is later than that of the
    // last one it took (in whole seconds): a header is never older than the
    // journal it replaces, nor than the last one written here.
    QDateTime stamp = LocalNow();
    char old[kJournalHeaderSize];
    if (::pread(journal, old, sizeof old, 0) == kJournalHeaderSize) {
        const QDateTime before = JournalTime(QByteArray(old + 3, 14));
        if (before.isValid() && before >= stamp)
            stamp = before.addSecs(1);
    }
    if (m_lastJournalTime.isValid() && m_lastJournalTime >= stamp)
        stamp = m_lastJournalTime.addSecs(1);
    m_lastJournalTime = stamp;
    QByteArray header;
    platform::AppendLe16(header, m_mapId);
    header.append('0');
    header.append(stamp.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1());
    return header;
}

QByteArray DisabledRoadRecord(uint32_t roadId, uint8_t flags)
{
    QByteArray record;
    platform::AppendLe32(record, 0x0Fu | ((roadId << 8) & 0x3FFFFF00u) | (uint32_t { flags & 3u } << 30));
    record.append("\xFF\xFF", 2);
    return record;
}

QByteArray DisabledRoadsHeader(int32_t count)
{
    QByteArray header;
    platform::AppendLe32(header, kDisabledRoadsHeaderSize);
    platform::AppendLe16(header, kMagic);
    header.append(kDisabledRoadsText, sizeof kDisabledRoadsText); // with its NUL: 30 bytes
    platform::AppendLe32(header, static_cast<uint32_t>(count));
    return header;
}

bool ReadDisabledRoadsHeader(const QByteArray& bytes, int32_t* count)
{
    if (bytes.size() < kDisabledRoadsHeaderSize)
        return false;
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int32_t value = static_cast<int32_t>(platform::Le32(b + 36));
    if (platform::Le32(b) != kDisabledRoadsHeaderSize || platform::Le16(b + 4) != kMagic
        || std::memcmp(b + 6, kDisabledRoadsText, sizeof kDisabledRoadsText - 1) != 0 || value < 0)
        return false;
    if (count)
        *count = value;
    return true;
}

struct CJamFileManager::Worker {
    platform::Event wake { false, false };
    std::atomic<bool> stop { false };
    std::atomic<bool> done { false };
    std::thread thread;
};

CJamFileManager::CJamFileManager(const QString& programFolder)
    : m_programFolder(programFolder.isEmpty() ? GetProgramFolder() : programFolder)
{
    if (!m_programFolder.isEmpty()) {
        m_mainPath = m_programFolder + QStringLiteral("DisabledJam.dt");
        // Created only when the map opens: building the program's objects
        // leaves the program folder as it is.
        OpenMain(false);
    }
}

CJamFileManager::~CJamFileManager()
{
    StopWorker();
    platform::CSLock lock(m_lock);
    if (IsModified())
        SaveMainFile(false);
    m_entries.clear();
}

void CJamFileManager::SetHost(Host host)
{
    platform::CSLock lock(m_lock);
    m_host = std::move(host);
}

uint8_t CJamFileManager::GetSwitches()
{
    platform::CSLock lock(m_lock);
    return m_switches;
}

void CJamFileManager::SetSwitches(uint8_t switches)
{
    platform::CSLock lock(m_lock);
    m_switches = switches;
}

bool CJamFileManager::MainOpen() const { return !m_entries.empty() && m_entries.front().file.IsOpen(); }

bool CJamFileManager::IsOpen()
{
    platform::CSLock lock(m_lock);
    return MainOpen();
}

bool CJamFileManager::IsModified()
{
    platform::CSLock lock(m_lock);
    return MainOpen() && (m_entries.front().flags & ENTRY_MODIFIED);
}

bool CJamFileManager::IsBlockingOn()
{
    platform::CSLock lock(m_lock);
    return m_switches & SWITCH_BLOCKING;
}

QString CJamFileManager::GetJournalPath()
{
    platform::CSLock lock(m_lock);
    return m_journalPath;
}

QString CJamFileManager::GetJamPath()
{
    platform::CSLock lock(m_lock);
    return m_jamPath;
}

bool CJamFileManager::IsMainName(const QString& name) const
{
    return name.isEmpty() || name.compare(m_mainPath, Qt::CaseInsensitive) == 0;
}

// Files.

void CJamFileManager::OpenMain(bool create)
{
    if (m_mainPath.isEmpty() || (!m_entries.empty() && IsMainName(m_entries.front().name)))
        return;
    Entry entry;
    entry.name = m_mainPath;
    entry.file = OpenLocked(m_mainPath, O_RDWR, LOCK_EX);
    if (entry.file) {
        QByteArray header;
        ReadFrom(entry.file.Get(), 0, header);
        if (ReadDisabledRoadsHeader(header, &entry.count)) {
            entry.flags = ENTRY_RELOAD;
        } else if (!header.isEmpty()) {
            // A damaged file may still hold the user's closures: it is put
            // aside under a name of its own, never emptied.
            entry.file.Reset();
            QString aside = RemoveExtension(m_mainPath) + QStringLiteral(".damaged.dt");
            MakeNumberedFileName(aside);
            if (::rename(Local(m_mainPath).c_str(), Local(aside).c_str()) != 0)
                return;
            m_setAsidePath = aside;
        }
    }
    if (!entry.file && create) {
        entry.file = OpenLocked(m_mainPath, O_RDWR | O_CREAT, LOCK_EX);
        entry.count = 0;
        entry.flags = 0;
    }
    if (entry.file)
        m_entries.insert(m_entries.begin(), std::move(entry));
}

int CJamFileManager::OpenEntry(const QString& name)
{
    if (IsMainName(name)) {
        OpenMain(true);
        return MainOpen() ? 0 : -1;
    }
    // Attached files stand behind the main one.
    if (!MainOpen())
        return -1;
    Entry entry;
    entry.name = name;
    entry.file = OpenLocked(name, O_RDONLY, LOCK_SH);
    if (!entry.file)
        return -1;
    QByteArray header;
    if (!ReadFrom(entry.file.Get(), 0, header) || !ReadDisabledRoadsHeader(header, &entry.count))
        return -1;
    entry.flags = ENTRY_RELOAD;
    m_entries.push_back(std::move(entry));
    return static_cast<int>(m_entries.size()) - 1;
}

int CJamFileManager::AttachFile(const QString& name)
{
    platform::CSLock lock(m_lock);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!(m_entries[i].flags & ENTRY_DETACHED))
            return -1;
        m_entries[i].flags &= ~ENTRY_DETACHED;
        return static_cast<int>(i);
    }
    return OpenEntry(name);
}

int CJamFileManager::GetEntryCountTotal()
{
    platform::CSLock lock(m_lock);
    return static_cast<int>(m_entries.size());
}

int CJamFileManager::GetEntryCount(int index)
{
    platform::CSLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return 0;
    const Entry& entry = m_entries[index];
    return entry.flags & ENTRY_DETACHED ? 0 : entry.count;
}

QString CJamFileManager::GetEntryName(int index)
{
    platform::CSLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return {};
    return m_entries[index].name;
}

QString CJamFileManager::GetNextEntry(int& position, int& count)
{
    platform::CSLock lock(m_lock);
    count = 0;
    const int size = static_cast<int>(m_entries.size());
    if (position < 0 || position >= size)
        return {};
    const Entry& entry = m_entries[position];
    count = entry.flags & ENTRY_DETACHED ? 0 : entry.count;
    ++position;
    while (position < size && (m_entries[position].flags & ENTRY_DETACHED))
        ++position;
    return entry.name;
}

void CJamFileManager::DetachEntry(int index)
{
    platform::CSLock lock(m_lock);
    if (index >= 0 && index < static_cast<int>(m_entries.size()))
        m_entries[index].flags |= ENTRY_DETACHED;
}

void CJamFileManager::MergeRecord(Entry& entry, uint32_t roadId, uint8_t flags, bool main)
{
    flags &= 3;
    if (flags == 0)
        return;
    entry.count += Bits(flags);
    auto it = m_roads.find(roadId);
    if (it == m_roads.end()) {
        m_roads.emplace(roadId, RoadFlags { flags, static_cast<uint8_t>(main ? flags : 0) });
        return;
    }
    RoadFlags& road = it->second;
    if (main)
        road.own |= flags & ~road.current;
    else
        road.own &= ~flags;
    road.current |= flags;
}

void CJamFileManager::LoadEntries(bool includeMain)
{
    for (size_t i = includeMain ? 0 : 1; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        if (!(entry.flags & ENTRY_RELOAD) || (entry.flags & ENTRY_DETACHED) || !entry.file)
            continue;
        const bool main = includeMain && i == 0 && IsMainName(entry.name);
        entry.count = 0;
        if (::lseek(entry.file.Get(), kDisabledRoadsHeaderSize, SEEK_SET) == kDisabledRoadsHeaderSize) {
            CBufferedFileReader reader(entry.file.Get(), kCopyBlock);
            uint8_t record[kRoadRecordSize];
            while (reader.Read(record, sizeof record)) {
                const uint32_t word = platform::Le32(record);
                MergeRecord(entry, (word >> 8) & 0x3FFFFF, static_cast<uint8_t>(word >> 30), main);
            }
            reader.Detach();
        }
        entry.flags = 0;
    }
}

void CJamFileManager::PruneEntries(bool includeMain, bool eraseAll)
{
    const size_t first = includeMain ? 0 : 1;
    if (eraseAll) {
        if (m_entries.size() > first)
            m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(first), m_entries.end());
        return;
    }
    bool emptyTable = false;
    if (includeMain && MainOpen() && (m_entries.front().flags & ENTRY_DETACHED)) {
        // The user took the main file off the list: its closures end.
        Entry& main = m_entries.front();
        if (::ftruncate(main.file.Get(), 0) == 0)
            ::lseek(main.file.Get(), 0, SEEK_SET);
        main.flags &= ~(ENTRY_DETACHED | ENTRY_MODIFIED);
        main.count = 0;
        emptyTable = true;
    }
    bool otherDetached = false;
    for (size_t i = 1; i < m_entries.size(); ++i)
        otherDetached = otherDetached || (m_entries[i].flags & ENTRY_DETACHED);
    if (!emptyTable && !otherDetached)
        return;
    for (size_t i = m_entries.size(); i-- > 1;) {
        if (m_entries[i].flags & ENTRY_DETACHED)
            m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(i));
        else
            m_entries[i].flags |= ENTRY_RELOAD;
    }
    if (emptyTable) {
        m_roads.clear();
        return;
    }
    // The attached files' flags come back with the following load.
    for (auto it = m_roads.begin(); it != m_roads.end();) {
        it->second.current = it->second.own;
        it = it->second.own == 0 ? m_roads.erase(it) : std::next(it);
    }
}

void CJamFileManager::RollbackPending()
{
    for (size_t i = m_entries.size(); i-- > 1;) {
        Entry& entry = m_entries[i];
        if (entry.flags & ENTRY_DETACHED)
            entry.flags &= ~ENTRY_DETACHED;
        else if (entry.flags & ENTRY_RELOAD)
            m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(i));
    }
}

// The road table.

CJamFileManager::RoadPosition CJamFileManager::FindRoad(uint32_t roadId)
{
    platform::CSLock lock(m_lock);
    return m_roads.lower_bound(roadId);
}

uint8_t CJamFileManager::GetRoadFlags(RoadPosition position, uint32_t roadId)
{
    platform::CSLock lock(m_lock);
    return position != m_roads.end() && position->first == roadId ? position->second.current : 0;
}

uint8_t CJamFileManager::GetPendingFlags(RoadPosition position, uint32_t roadId, uint8_t wanted)
{
    platform::CSLock lock(m_lock);
    wanted &= 3;
    if (position == m_roads.end() || position->first != roadId)
        return wanted;
    return wanted | (position->second.current & ~position->second.own);
}

void CJamFileManager::SetPassageFlags(RoadPosition /*position*/, uint32_t roadId, uint8_t flags)
{
    platform::CSLock lock(m_lock);
    flags &= 3;
    m_switches |= SWITCH_BLOCKING;
    if (!MainOpen())
        return;
    Entry& main = m_entries.front();
    auto it = m_roads.find(roadId);
    if (it == m_roads.end()) {
        if (flags == 0)
            return;
        m_roads.emplace(roadId, RoadFlags { flags, flags });
        main.count += Bits(flags);
        main.flags |= ENTRY_MODIFIED;
        return;
    }
    RoadFlags& road = it->second;
    if (road.current == flags)
        return;
    const uint8_t added = flags & ~road.current;
    const uint8_t removed = road.current & ~flags;
    road.own |= added;
    road.current |= added;
    main.count += Bits(added);
    main.count -= Bits(removed & road.own);
    road.current &= ~removed;
    road.own &= ~removed;
    main.flags |= ENTRY_MODIFIED;
    if (road.current == 0)
        m_roads.erase(it);
}

CJamFileManager::RoadTable CJamFileManager::GetRoads()
{
    platform::CSLock lock(m_lock);
    return m_roads;
}

// Saving.

QByteArray CJamFileManager::MainFileBytes(bool merge, int32_t* count)
{
    QByteArray records;
    int32_t bits = 0;
    for (const auto& [id, road] : m_roads) {
        const uint8_t flags = merge ? road.current : road.own;
        if (flags == 0)
            continue;
        records += DisabledRoadRecord(id, flags);
        bits += Bits(flags);
    }
    *count = bits;
    return DisabledRoadsHeader(bits) + records;
}

bool CJamFileManager::ReopenMain()
{
    Entry& main = m_entries.front();
    main.file = OpenLocked(m_mainPath, O_RDWR, LOCK_EX);
    return main.file.IsOpen();
}

bool CJamFileManager::SaveMainFile(bool merge)
{
    platform::CSLock lock(m_lock);
    if (!MainOpen())
        return false;
    int32_t count = 0;
    const QByteArray bytes = MainFileBytes(merge, &count);
    bool saved = false;
    {
        // A new file renamed over the old one: a failure or a crash half-way
        // leaves the old file whole. The file is closed around the rename and
        // opened again, so that it stays held for the run.
        platform::AtomicFileWriter writer(Local(m_mainPath));
        const bool written = writer.Write(bytes.constData(), static_cast<size_t>(bytes.size()));
        m_entries.front().file.Reset();
        saved = written && writer.Commit();
    }
    const bool reopened = ReopenMain();
    if (!saved)
        return false;
    Entry& main = m_entries.front();
    main.count = count;
    if (merge)
        for (auto& [id, road] : m_roads)
            road.own = road.current;
    main.flags &= ~ENTRY_MODIFIED;
    return reopened;
}

bool CJamFileManager::SaveAs(const QString& name)
{
    platform::CSLock lock(m_lock);
    if (!MainOpen())
        return false;
    PruneEntries(true, false);
    LoadEntries(false);
    PruneEntries(false, true);
    if (!SaveMainFile(true))
        return false;
    if (!name.isEmpty() && !IsMainName(name)) {
        QByteArray bytes;
        if (!ReadFrom(m_entries.front().file.Get(), 0, bytes))
            return false;
        return platform::WriteFileAtomically(
            Local(name), bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    return true;
}

// The settings file's section.

void CJamFileManager::SaveToArchive(platform::Archive& archive)
{
    platform::CSLock lock(m_lock);
    if (IsModified())
        SaveMainFile(false);
    JamFilesSection section;
    section.switches = m_switches;
    // A file the user took off the list is not listed again.
    for (size_t i = 1; i < m_entries.size(); ++i)
        if (!(m_entries[i].flags & ENTRY_DETACHED))
            section.names.push_back(m_entries[i].name);
    WriteJamFilesSection(archive, section);
}

void CJamFileManager::LoadFromArchive(platform::Archive& archive)
{
    platform::CSLock lock(m_lock);
    JamFilesSection section;
    bool damaged = false;
    try {
        section = ReadJamFilesSection(archive);
    } catch (const platform::ArchiveException&) {
        damaged = true;
    }
    const bool open = MainOpen();
    if (open) {
        // The table is read again from the files: unsaved closures go to the file first.
        if (IsModified())
            SaveMainFile(false);
        PruneEntries(false, true);
        m_roads.clear();
        m_entries.front().flags = ENTRY_RELOAD;
        for (const QString& name : section.names)
            AttachFile(name);
    }
    const uint8_t stored = damaged ? SWITCH_BLOCKING | SWITCH_JAMS : section.switches;
    // Disabled roads are in force only in expert mode, and only with a main file.
    const uint8_t allowed = g_bExpertMode.load() != 0 ? stored : stored & SWITCH_JAMS;
    m_switches = ((open ? SWITCH_BLOCKING : 0) | SWITCH_JAMS) & allowed;
    if (open)
        LoadEntries(true);
}

// The journal.

void CJamFileManager::OnMapOpened(const QString& mapPath)
{
    platform::CSLock lock(m_lock);
    m_journalPath = RemoveExtension(mapPath) + QStringLiteral(".zxj");
    m_jamPath = m_programFolder + GetFileTitle(mapPath) + QStringLiteral(".jam");
    OpenMain(true);
    // The kernel takes only a journal that carries its map's identifier (bytes
    // 56-57 of the map's header); the release's maps carry C1 E3.
    m_mapId = kMagic;
    if (platform::UniqueFd map { ::open(Local(mapPath).c_str(), O_RDONLY | O_CLOEXEC) }) {
        uint8_t id[2];
        if (::pread(map.Get(), id, sizeof id, kMapIdOffset) == sizeof id)
            m_mapId = platform::Le16(id);
    }
    if (!MainOpen())
        return;
    ::unlink(Local(m_journalPath).c_str());
    LoadEntries(true);
}

int32_t CJamFileManager::ApplyPass()
{
    platform::CSLock lock(m_lock);
    if (m_journalPath.isEmpty())
        return APPLY_NOTHING;
    if (m_host.takeRouteBusy && !m_host.takeRouteBusy())
        return APPLY_RETRY;
    if (m_host.holdRefresh)
        m_host.holdRefresh();

    const std::string journalPath = Local(m_journalPath);
    bool created = false;
    platform::UniqueFd journal(::open(journalPath.c_str(), O_RDWR | O_CLOEXEC));
    if (!journal && errno == ENOENT) {
        journal.Reset(::open(journalPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        created = journal.IsOpen();
    }
    if (journal && ::flock(journal.Get(), LOCK_EX | LOCK_NB) != 0) {
        journal.Reset();
        if (created)
            ::unlink(journalPath.c_str());
    }
    const bool mainOpen = MainOpen();
    if (!journal) {
        if (mainOpen)
            RollbackPending();
        return APPLY_RETRY;
    }
    auto dropJournal = [&] {
        if (created)
            ::unlink(journalPath.c_str());
    };

    QByteArray jam;
    if (m_switches & SWITCH_JAMS) {
        platform::UniqueFd jamFile(::open(Local(m_jamPath).c_str(), O_RDONLY | O_CLOEXEC));
        if (!jamFile && !mainOpen) {
            dropJournal();
            return APPLY_NOTHING;
        }
        // A jam file cut short or of another kind is ignored this time.
        if (jamFile
            && (!ReadFrom(jamFile.Get(), 0, jam) || jam.size() < kJournalHeaderSize
                || platform::Le16(reinterpret_cast<const uint8_t*>(jam.constData())) != kMagic))
            jam.clear();
    }
    const bool haveJam = !jam.isEmpty();

    const QByteArray header = JournalHeader(journal.Get());
    if (mainOpen) {
        PruneEntries(true, false);
        LoadEntries(false);
    }
    const bool blocks = (m_switches & SWITCH_BLOCKING) && !m_roads.empty();
    if (!haveJam && !blocks) {
        if (created) {
            dropJournal();
            return APPLY_UNCHANGED;
        }
        const bool cut = ::pwrite(journal.Get(), header.constData(), static_cast<size_t>(header.size()), 0)
                == header.size()
            && ::ftruncate(journal.Get(), kJournalHeaderSize) == 0;
        return cut ? APPLY_OK : APPLY_WRITE_FAILED;
    }

    QByteArray bytes = header;
    if (blocks) {
        bool copied = false;
        if (m_entries.size() == 1 && (!IsModified() || SaveMainFile(false))) {
            // Only the main file: its records are the table's, copied as they stand.
            QByteArray records;
            copied = ReadFrom(m_entries.front().file.Get(), kDisabledRoadsHeaderSize, records);
            if (copied)
                bytes += records.left(records.size() - records.size() % kRoadRecordSize);
        }
        if (!copied)
            for (const auto& [id, road] : m_roads)
                bytes += DisabledRoadRecord(id, road.current);
    }
    if (haveJam)
        bytes += jam.mid(kJournalHeaderSize);

    const bool written = ::lseek(journal.Get(), 0, SEEK_SET) == 0
        && WriteAll(journal.Get(), bytes.constData(), static_cast<size_t>(bytes.size()))
        && ::ftruncate(journal.Get(), bytes.size()) == 0;
    if (written)
        return APPLY_OK;
    if (mainOpen)
        RollbackPending();
    if (created) {
        dropJournal();
    } else {
        ::pwrite(journal.Get(), header.constData(), static_cast<size_t>(header.size()), 0);
        ::ftruncate(journal.Get(), kJournalHeaderSize);
    }
    return APPLY_WRITE_FAILED;
}

// The worker.

void CJamFileManager::Report(int32_t status)
{
    Host host;
    {
        platform::CSLock lock(m_lock);
        host = m_host;
    }
    // No journal for the kernel to take: routes need not wait for it.
    if (status == APPLY_UNCHANGED && host.releaseRouteBusy)
        host.releaseRouteBusy();
    if (host.report)
        host.report(status);
}

int32_t CJamFileManager::CountedPass()
{
    ++m_busyCount;
    const int32_t status = ApplyPass();
    --m_busyCount;
    return status;
}

void CJamFileManager::WorkerProc(Worker* worker)
{
    for (;;) {
        int32_t status = CountedPass();
        bool report = true;
        while (status == APPLY_RETRY) {
            int32_t waitMs = -1;
            {
                platform::CSLock lock(m_lock);
                if (kRetrySteps[m_retryStep].limit != -1 && ++m_retryCount > kRetrySteps[m_retryStep].limit) {
                    m_retryCount = 0;
                    ++m_retryStep;
                }
                waitMs = kRetrySteps[m_retryStep].waitMs;
            }
            if (waitMs == -1)
                break;
            const bool woken = worker->wake.Wait(static_cast<uint32_t>(waitMs));
            if (worker->stop.load()) {
                report = false;
                break;
            }
            if (woken) {
                platform::CSLock lock(m_lock);
                m_retryCount = 0;
            }
            status = CountedPass();
        }
        if (report)
            Report(status);
        platform::CSLock lock(m_lock);
        // Work asked for while the last pass was reported is done now, not lost.
        if (report && !worker->stop.load() && worker->wake.Wait(0)) {
            m_retryCount = 0;
            continue;
        }
        worker->done = true;
        return;
    }
}

bool CJamFileManager::IsWorkerRunning()
{
    platform::CSLock lock(m_lock);
    return m_worker && !m_worker->done.load();
}

void CJamFileManager::ReapWorker()
{
    platform::CSLock lock(m_lock);
    if (m_worker && m_worker->done.load()) {
        m_worker->thread.join();
        m_worker.reset();
    }
}

void CJamFileManager::StopWorker()
{
    std::unique_ptr<Worker> worker;
    {
        platform::CSLock lock(m_lock);
        worker = std::move(m_worker);
    }
    if (!worker)
        return;
    // The stop belongs to this worker alone: the next one gets its own.
    worker->stop = true;
    worker->wake.Set();
    // The worker needs the lock to finish its pass: a caller that holds it
    // hands it over while it waits.
    const int held = m_lock.IsOwnedByCurrentThread() ? m_lock.ReleaseAll() : 0;
    worker->thread.join();
    if (held > 0)
        m_lock.ReacquireAll(held);
}

bool CJamFileManager::StartWorker(bool applyNow)
{
    Host host;
    {
        platform::CSLock lock(m_lock);
        host = m_host;
    }
    if (host.takeRouteBusy && host.takeRouteBusy() && host.holdRefresh)
        host.holdRefresh();
    ReapWorker();
    bool running = false;
    {
        platform::CSLock lock(m_lock);
        running = m_worker != nullptr;
    }
    if (running && m_busyCount.load() > 0)
        StopWorker();

    platform::CSLock lock(m_lock);
    ReapWorker();
    if (applyNow && !m_worker) {
        const int32_t status = ApplyPass();
        if (status >= 0) {
            Report(status);
            return true;
        }
    }
    m_retryStep = 0;
    m_retryCount = 0;
    if (m_worker) {
        m_worker->wake.Set();
        return true;
    }
    try {
        auto worker = std::make_unique<Worker>();
        Worker* raw = worker.get();
        worker->thread = std::thread([this, raw] { WorkerProc(raw); });
        m_worker = std::move(worker);
    } catch (const std::exception&) {
        Report(APPLY_NO_WORKER);
        return false;
    }
    return true;
}
