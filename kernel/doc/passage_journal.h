#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/object.h"
#include "kernel/doc/object_record.h"

class CZXS_DiskStream;
class CZXS_TzxDoc;

// Timed passage settings of road elements of one map, kept in road-offset
// order and mirrored in the journal file beside the map (extension "zxj").
// The document thread reads the file and expires entries while the interface
// changes passages, so every operation holds the journal's lock.
//
// File: 2 bytes map identifier (header bytes 56-57 of the map), 1 daylight
// digit, 14 digits of local time "YYYYMMDDhhmmss", then 6-byte records: a
// 32-bit word (bits 0-3 cost class, 4-7 value B, 8-29 link id, 30 forward, 31
// backward) and the remaining lifetime in 10-second units (0xFFFF never).
class CZXS_PassageJournal : public CZXS_Object {
public:
    static constexpr uint32_t kEntrySize = 12;
    static constexpr uint32_t kRecordSize = 6;
    static constexpr uint32_t kFileHeaderSize = 17;
    static constexpr int32_t kNever = -1;
    static constexpr uint8_t kForward = 1;
    static constexpr uint8_t kBackward = 2;
    // Read results besides 0 and the stream's cause codes.
    static constexpr int32_t kOtherMap = -2;
    static constexpr int32_t kNotNewer = -3333;
    static constexpr int32_t kReadDisabled = -3334;
    static constexpr int32_t kNoDocument = -1;

    struct Entry {
        uint32_t roadOffset = 0; // 22 bits
        uint8_t valueB = 0; // 4 bits, stored and reported only
        uint8_t costClass = 0; // 4 bits, applied to the road graph
        uint8_t directions = 0; // kForward | kBackward
        int32_t expiry = kNever; // seconds
        int32_t setAt = 0; // seconds
        bool operator==(const Entry&) const = default;
    };

    using NotifyFunction = void (*)(void* user);

    explicit CZXS_PassageJournal(CZXS_TzxDoc* doc);
    ~CZXS_PassageJournal() override = default;

    const char16_t* ClassName() const override { return u"CFixedCollect"; }

    // Room for the first entries; false when memory is short.
    bool Prepare();
    void SetNotify(NotifyFunction notify, void* user);

    // Journal mode, shared by all journals: bit 0 allows reading files, bit 1 writing them.
    static void SetMode(int32_t mode);
    static int32_t Mode();
    // The kernel clock, seconds since 1970.
    static int64_t Now();

    // Index of the stored entry, or -1 (no direction, or memory short).
    int32_t Insert(const Entry& entry, int32_t index, bool notify);
    bool Remove(uint32_t index, bool notify);
    // Removes the stored entry equal to `entry` wherever it stands by now: an
    // index found earlier may name another entry once the document thread has
    // expired or read entries. False when it is no longer there.
    bool RemoveEntry(const Entry& entry, bool notify);
    void ClearAll();
    // 1 when entries expired (the file is then written).
    int ExpirePass();
    int Write();
    int32_t Read(const std::string& path);
    // The journal file's bytes from a stream already open (its first byte next).
    int32_t ReadFrom(CZXS_DiskStream& in);
    int32_t ReadBesideMap();
    // When the document closes: the file is written and the entries dropped.
    void Release();

    // Index of the first live entry for the road element with that link id, or -1.
    int32_t FindByLink(int32_t linkId, Entry* entry);
    int32_t EntryObjectNumber(const Entry& entry) const;
    CZXS_ObjectRecord EntryObject(const Entry& entry) const;

    uint32_t Count();
    bool EntryAt(uint32_t index, Entry& entry);
    bool IsBusy() const { return m_busy.load() != 0; }
    int64_t LastFileTime();
    void SetLastFileTime(int64_t seconds);

    static void EncodeEntry(const Entry& entry, uint8_t* bytes);
    static Entry DecodeEntry(const uint8_t* bytes);
    // The remaining lifetime in 10-second units, rounded, at least 1; 0xFFFF for never.
    static uint16_t LifetimeUnits(int32_t expiry, int64_t now);
    static void EncodeRecord(const Entry& entry, int32_t linkId, int64_t now, uint8_t* bytes);
    // "YYYYMMDDhhmmss" of local time, and back (0 for a text that is not all digits).
    static void FormatLocalTime(int64_t seconds, char digits[14]);
    static int64_t ParseLocalTime(const char digits[14]);

private:
    class Busy;
    bool IsLive(const Entry& entry, int64_t now) const
    {
        return entry.expiry == kNever || entry.expiry >= now;
    }
    bool CanUseFile() const;
    int32_t InsertLocked(const Entry& entry, int32_t index, bool& changed);
    void RemoveLocked(uint32_t index);
    bool ClearAllLocked();
    int WriteLocked();
    void MarkGraph(const Entry& entry, uint8_t costClass);
    int32_t FindRoadObject(int32_t linkId, uint32_t& last) const;
    void Notify();

    CZXS_TzxDoc* m_doc;
    CFixedCollect m_entries { kEntrySize };
    int64_t m_lastFileTime = 0;
    std::atomic<int32_t> m_busy { 0 };
    std::recursive_mutex m_lock;
    NotifyFunction m_notify = nullptr;
    void* m_notifyUser = nullptr;
};
