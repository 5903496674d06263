#include "kernel/doc/passage_journal.h"
#include "kernel/doc/little_endian.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>
#include <unistd.h>

#include "kernel/doc/disk_stream.h"
#include "kernel/doc/kernel_clock.h"
#include "kernel/doc/tzx_doc.h"

namespace {

std::atomic<int32_t> g_mode { 3 };
std::atomic<uint32_t> g_tempCounter { 0 };

} // namespace

// Counts an operation in progress for the document's close, which waits for it.
class CZXS_PassageJournal::Busy {
public:
    explicit Busy(std::atomic<int32_t>& count)
        : m_count(count)
    {
        ++m_count;
    }
    ~Busy() { --m_count; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    std::atomic<int32_t>& m_count;
};

CZXS_PassageJournal::CZXS_PassageJournal(CZXS_TzxDoc* doc)
    : m_doc(doc)
{
}

bool CZXS_PassageJournal::Prepare()
{
    std::lock_guard lock(m_lock);
    return m_entries.Allocate(320, 160) != 0;
}

void CZXS_PassageJournal::SetNotify(NotifyFunction notify, void* user)
{
    std::lock_guard lock(m_lock);
    m_notify = notify;
    m_notifyUser = user;
}

void CZXS_PassageJournal::Notify()
{
    NotifyFunction notify = nullptr;
    void* user = nullptr;
    {
        std::lock_guard lock(m_lock);
        notify = m_notify;
        user = m_notifyUser;
    }
    if (notify != nullptr)
        notify(user);
}

void CZXS_PassageJournal::SetMode(int32_t mode) { g_mode = mode; }
int32_t CZXS_PassageJournal::Mode() { return g_mode.load(); }
int64_t CZXS_PassageJournal::Now() { return CZXS_KernelClock::Now(); }

void CZXS_PassageJournal::EncodeEntry(const Entry& e, uint8_t* bytes)
{
    ZXS_PutLe32(bytes,
        (e.roadOffset & 0x3FFFFF) | (uint32_t { e.valueB & 0xFu } << 22)
            | (uint32_t { e.costClass & 0xFu } << 26) | (uint32_t { e.directions & 3u } << 30));
    ZXS_PutLe32(bytes + 4, static_cast<uint32_t>(e.expiry));
    ZXS_PutLe32(bytes + 8, static_cast<uint32_t>(e.setAt));
}

CZXS_PassageJournal::Entry CZXS_PassageJournal::DecodeEntry(const uint8_t* bytes)
{
    const uint32_t word = ZXS_Le32(bytes);
    Entry e;
    e.roadOffset = word & 0x3FFFFF;
    e.valueB = static_cast<uint8_t>((word >> 22) & 0xF);
    e.costClass = static_cast<uint8_t>((word >> 26) & 0xF);
    e.directions = static_cast<uint8_t>(word >> 30);
    e.expiry = static_cast<int32_t>(ZXS_Le32(bytes + 4));
    e.setAt = static_cast<int32_t>(ZXS_Le32(bytes + 8));
    return e;
}

uint16_t CZXS_PassageJournal::LifetimeUnits(int32_t expiry, int64_t now)
{
    if (expiry == kNever)
        return 0xFFFF;
    const int64_t units = (int64_t { expiry } - now + 5) / 10;
    return static_cast<uint16_t>(units < 1 ? 1 : units > 0xFFFE ? 0xFFFE : units);
}

void CZXS_PassageJournal::EncodeRecord(const Entry& e, int32_t linkId, int64_t now, uint8_t* bytes)
{
    ZXS_PutLe32(bytes,
        (e.costClass & 0xFu) | (uint32_t { e.valueB & 0xFu } << 4)
            | ((static_cast<uint32_t>(linkId) & 0x1FFFFF) << 8) | (uint32_t { e.directions & 3u } << 30));
    const uint16_t units = LifetimeUnits(e.expiry, now);
    ZXS_PutLe16(bytes + 4, units);
}

void CZXS_PassageJournal::FormatLocalTime(int64_t seconds, char digits[14])
{
    const ZXS_Tm local = CZXS_KernelClock::SecondsToLocal(seconds);
    char text[80];
    std::snprintf(text, sizeof text, "%04i%02i%02i%02i%02i%02i", local.year + 1900, local.mon + 1, local.mday,
        local.hour, local.min, local.sec);
    for (int i = 0; i < 14; ++i)
        digits[i] = text[i];
}

int64_t CZXS_PassageJournal::ParseLocalTime(const char digits[14])
{
    int values[6] = {};
    const int widths[6] = { 4, 2, 2, 2, 2, 2 };
    int at = 0;
    for (int f = 0; f < 6; ++f) {
        for (int i = 0; i < widths[f]; ++i, ++at) {
            if (digits[at] < '0' || digits[at] > '9')
                return 0;
            values[f] = values[f] * 10 + (digits[at] - '0');
        }
    }
    ZXS_Tm local;
    local.year = values[0] - 1900;
    local.mon = values[1] - 1;
    local.mday = values[2];
    local.hour = values[3];
    local.min = values[4];
    local.sec = values[5];
    return CZXS_KernelClock::LocalToSeconds(local);
}

uint32_t CZXS_PassageJournal::Count()
{
    std::lock_guard lock(m_lock);
    return m_entries.Count();
}

bool CZXS_PassageJournal::EntryAt(uint32_t index, Entry& entry)
{
    std::lock_guard lock(m_lock);
    const uint8_t* bytes = m_entries.Item(index);
    if (bytes == nullptr)
        return false;
    entry = DecodeEntry(bytes);
    return true;
}

int64_t CZXS_PassageJournal::LastFileTime()
{
    std::lock_guard lock(m_lock);
    return m_lastFileTime;
}

void CZXS_PassageJournal::SetLastFileTime(int64_t seconds)
{
    std::lock_guard lock(m_lock);
    m_lastFileTime = seconds;
}

int32_t CZXS_PassageJournal::EntryObjectNumber(const Entry& entry) const
{
    const int32_t first = m_doc != nullptr ? m_doc->FirstRoadObject() : -1;
    return first < 0 ? -1 : first + static_cast<int32_t>(entry.roadOffset);
}

CZXS_ObjectRecord CZXS_PassageJournal::EntryObject(const Entry& entry) const
{
    const int32_t number = EntryObjectNumber(entry);
    return number < 0 ? CZXS_ObjectRecord {} : m_doc->Object(static_cast<uint32_t>(number));
}

void CZXS_PassageJournal::MarkGraph(const Entry& entry, uint8_t costClass)
{
    if (m_doc != nullptr && m_doc->RoadGraph().EdgeCount() > 0)
        m_doc->RoadGraph().MarkEdges(entry.roadOffset, entry.directions, costClass);
}

int32_t CZXS_PassageJournal::FindByLink(int32_t linkId, Entry* entry)
{
    std::lock_guard lock(m_lock);
    const int64_t now = Now();
    const int32_t roads = m_doc != nullptr ? m_doc->RoadObjectCount() : 0;
    for (uint32_t i = 0; i < m_entries.Count(); ++i) {
        const Entry e = DecodeEntry(m_entries.Item(i));
        if (!IsLive(e, now) || e.roadOffset >= static_cast<uint32_t>(roads))
            continue;
        if (EntryObject(e).LinkId() == linkId) {
            if (entry != nullptr)
                *entry = e;
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t CZXS_PassageJournal::InsertLocked(const Entry& entry, int32_t index, bool& changed)
{
    if ((entry.directions & 3) == 0)
        return -1;
    if (index < 0) {
        uint32_t at = 0;
        const uint32_t count = m_entries.Count();
        while (at < count) {
            const Entry e = DecodeEntry(m_entries.Item(at));
            if (e.roadOffset == entry.roadOffset) {
                if (e.directions == entry.directions)
                    return static_cast<int32_t>(at);
                RemoveLocked(at);
                changed = true;
                break;
            }
            if (e.roadOffset > entry.roadOffset)
                break;
            ++at;
        }
        index = static_cast<int32_t>(at);
    }
    if (static_cast<uint32_t>(index) > m_entries.Count())
        index = static_cast<int32_t>(m_entries.Count());
    uint8_t bytes[kEntrySize];
    EncodeEntry(entry, bytes);
    if (m_entries.InsertAt(static_cast<uint32_t>(index), bytes, 1) < 0)
        return -1;
    MarkGraph(entry, entry.costClass);
    changed = true;
    return index;
}

int32_t CZXS_PassageJournal::Insert(const Entry& entry, int32_t index, bool notify)
{
    bool changed = false;
    int32_t result = 0;
    {
        std::lock_guard lock(m_lock);
        result = InsertLocked(entry, index, changed);
    }
    if (notify && changed)
        Notify();
    return result;
}

void CZXS_PassageJournal::RemoveLocked(uint32_t index)
{
    const uint8_t* bytes = m_entries.Item(index);
    if (bytes == nullptr)
        return;
    MarkGraph(DecodeEntry(bytes), CZXS_RoadGraph::kCostUnchanged);
    m_entries.RemoveAt(index, 1);
}

bool CZXS_PassageJournal::Remove(uint32_t index, bool notify)
{
    bool removed = false;
    {
        std::lock_guard lock(m_lock);
        removed = index < m_entries.Count();
        RemoveLocked(index);
    }
    if (notify && removed)
        Notify();
    return removed;
}

bool CZXS_PassageJournal::RemoveEntry(const Entry& entry, bool notify)
{
    bool removed = false;
    {
        std::lock_guard lock(m_lock);
        for (uint32_t i = 0; i < m_entries.Count() && !removed; ++i) {
            if (DecodeEntry(m_entries.Item(i)) == entry) {
                RemoveLocked(i);
                removed = true;
            }
        }
    }
    if (notify && removed)
        Notify();
    return removed;
}

bool CZXS_PassageJournal::ClearAllLocked()
{
    if (m_doc == nullptr)
        return false;
    m_doc->RoadGraph().ResetCostClasses();
    if (m_entries.Count() == 0)
        return false;
    m_entries.Truncate(m_entries.Count());
    return true;
}

void CZXS_PassageJournal::ClearAll()
{
    bool had = false;
    {
        std::lock_guard lock(m_lock);
        Busy busy(m_busy);
        had = ClearAllLocked();
    }
    if (had)
        Notify();
}

int CZXS_PassageJournal::ExpirePass()
{
    bool expired = false;
    {
        std::lock_guard lock(m_lock);
        Busy busy(m_busy);
        const int64_t now = Now();
        for (uint32_t i = 0; i < m_entries.Count();) {
            const Entry e = DecodeEntry(m_entries.Item(i));
            if (e.expiry != kNever && e.expiry < now) {
                RemoveLocked(i);
                expired = true;
            } else {
                ++i;
            }
        }
        if (expired)
            WriteLocked();
    }
    if (expired)
        Notify();
    return expired ? 1 : 0;
}

bool CZXS_PassageJournal::CanUseFile() const
{
    // Memory maps have no folder of their own: their journal stays in memory.
    return m_doc != nullptr && !m_doc->IsMemoryMap()
        && m_doc->Header().I16(CZXS_TzxHeader::kRoadLayerCount) > 0
        && m_doc->Header().I16(CZXS_TzxHeader::kFirstRoadLayer) >= 0;
}

int CZXS_PassageJournal::Write()
{
    std::lock_guard lock(m_lock);
    Busy busy(m_busy);
    return WriteLocked();
}

int CZXS_PassageJournal::WriteLocked()
{
    if ((Mode() & 2) == 0 || !CanUseFile())
        return 0;
    const std::string path = m_doc->CompanionPath("zxj");
    // Written beside the file and renamed over it, so a reader sees either the
    // old journal or the new one, never a part.
    const std::string temp
        = path + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(g_tempCounter++);
    CZXS_DiskStream out;
    if (out.Open(
            temp, ZXS_OPEN_WRITE | ZXS_OPEN_SHARE_EXCLUSIVE | ZXS_OPEN_CREATE | ZXS_OPEN_NO_INHERIT, nullptr)
        == 0)
        return 0;
    const int64_t now = Now();
    uint8_t header[kFileHeaderSize];
    header[0] = m_doc->Header().U8(CZXS_TzxHeader::kMapId);
    header[1] = m_doc->Header().U8(CZXS_TzxHeader::kMapId + 1);
    header[2] = '0';
    FormatLocalTime(now, reinterpret_cast<char*>(header + 3));
    bool ok = out.WriteExact(header, kFileHeaderSize) != 0;
    for (uint32_t i = 0; ok && i < m_entries.Count(); ++i) {
        const Entry e = DecodeEntry(m_entries.Item(i));
        if (!IsLive(e, now))
            continue;
        uint8_t record[kRecordSize];
        EncodeRecord(e, EntryObject(e).LinkId(), now, record);
        ok = out.WriteExact(record, kRecordSize) != 0;
    }
    ok = ok && out.Flush() != 0;
    out.Close();
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return 0;
    }
    m_lastFileTime = now;
    return 1;
}

int32_t CZXS_PassageJournal::FindRoadObject(int32_t linkId, uint32_t& last) const
{
    const int32_t first = m_doc->FirstRoadObject();
    const int32_t count = m_doc->RoadObjectCount();
    if (first < 0 || count <= 0)
        return -1;
    const uint32_t begin = static_cast<uint32_t>(first);
    const uint32_t end = begin + static_cast<uint32_t>(count);
    if (last < begin || last >= end)
        last = begin;
    // Whole blocks whose link-id range excludes the id are passed over.
    auto scan = [&](uint32_t from, uint32_t to) -> int32_t {
        for (uint32_t i = from; i < to;) {
            if (i % 64 == 0 && i + 64 <= to) {
                const int32_t least = m_doc->BlockValue(i / 64, 6);
                const int32_t greatest = m_doc->BlockValue(i / 64, 7);
                if (linkId < least || linkId > greatest) {
                    i += 64;
                    continue;
                }
            }
            if (m_doc->Object(i).LinkId() == linkId)
                return static_cast<int32_t>(i);
            ++i;
        }
        return -1;
    };
    int32_t found = scan(last, end);
    if (found < 0)
        found = scan(begin, last);
    return found;
}

int32_t CZXS_PassageJournal::Read(const std::string& path)
{
    if ((Mode() & 1) == 0)
        return kReadDisabled;
    if (!CanUseFile())
        return kNoDocument;
    CZXS_DiskStream in;
    CZXS_StreamError error;
    if (in.Open(path, ZXS_OPEN_READ | ZXS_OPEN_SHARE_EXCLUSIVE, &error) == 0)
        return error.cause != 0 ? error.cause : ZXS_CAUSE_GENERIC;
    return ReadFrom(in);
}

int32_t CZXS_PassageJournal::ReadFrom(CZXS_DiskStream& in)
{
    if ((Mode() & 1) == 0)
        return kReadDisabled;
    std::unique_lock lock(m_lock);
    Busy busy(m_busy);
    if (m_doc == nullptr || m_doc->References() <= 0 || m_doc->FirstRoadObject() < 0
        || m_doc->RoadObjectCount() <= 0)
        return kNoDocument;
    uint8_t header[kFileHeaderSize];
    // A header that cannot be read (a file cut short, or being replaced) says
    // nothing about the passages: the journal keeps what it has.
    if (in.ReadExact(header, kFileHeaderSize) == 0)
        return 0;
    if (header[0] != m_doc->Header().U8(CZXS_TzxHeader::kMapId)
        || header[1] != m_doc->Header().U8(CZXS_TzxHeader::kMapId + 1))
        return kOtherMap;
    const int64_t fileTime = ParseLocalTime(reinterpret_cast<const char*>(header + 3));
    if (fileTime <= m_lastFileTime)
        return kNotNewer;

    CZXS_RoadGraph& graph = m_doc->RoadGraph();
    graph.BuildSortedIndex();
    ClearAllLocked();
    const int64_t now = Now();
    const int32_t firstRoad = m_doc->FirstRoadObject();
    uint32_t last = static_cast<uint32_t>(firstRoad);
    int64_t lastOffset = -1;
    uint8_t chunk[kRecordSize * 256];
    uint32_t have = 0;
    for (;;) {
        const uint32_t got = in.Read(chunk + have, sizeof chunk - have);
        have += got;
        const uint32_t whole = have - have % kRecordSize;
        for (uint32_t at = 0; at < whole; at += kRecordSize) {
            const uint8_t* r = chunk + at;
            const uint32_t word = ZXS_Le32(r);
            const uint16_t units = ZXS_Le16(r + 4);
            Entry e;
            // Seconds past the 32-bit range stay the latest time there is; a wrap
            // would read as long expired or as "never".
            e.expiry = units == 0xFFFF
                ? kNever
                : static_cast<int32_t>(std::clamp<int64_t>(
                    fileTime + int64_t { units } * 10, 0, std::numeric_limits<int32_t>::max()));
            if (e.expiry != kNever && e.expiry < now)
                continue;
            const int32_t object = FindRoadObject(static_cast<int32_t>((word >> 8) & 0x1FFFFF), last);
            if (object < 0)
                continue;
            last = static_cast<uint32_t>(object);
            e.roadOffset = static_cast<uint32_t>(object - firstRoad);
            e.costClass = static_cast<uint8_t>(word & 0xF);
            e.valueB = static_cast<uint8_t>((word >> 4) & 0xF);
            e.directions = static_cast<uint8_t>(word >> 30);
            e.setAt = static_cast<int32_t>(fileTime);
            // Records in road order are appended; any other goes to its place.
            const bool inOrder = static_cast<int64_t>(e.roadOffset) > lastOffset;
            bool changed = false;
            if (InsertLocked(e, inOrder ? static_cast<int32_t>(m_entries.Count()) : -1, changed) >= 0
                && inOrder)
                lastOffset = e.roadOffset;
        }
        for (uint32_t i = whole; i < have; ++i)
            chunk[i - whole] = chunk[i];
        have -= whole;
        if (got == 0)
            break;
    }
    graph.FreeSortedIndex();
    m_lastFileTime = fileTime;
    lock.unlock();
    Notify();
    return 0;
}

int32_t CZXS_PassageJournal::ReadBesideMap()
{
    if (m_doc == nullptr)
        return kNoDocument;
    return Read(m_doc->CompanionPath("zxj"));
}

void CZXS_PassageJournal::Release()
{
    std::lock_guard lock(m_lock);
    Busy busy(m_busy);
    if (m_entries.Capacity() > 0)
        WriteLocked();
    m_entries.Free();
    m_entries.SetRecordSize(kEntrySize);
}
