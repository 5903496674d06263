#pragma once

#include <cstdint>
#include <string>

#include "kernel/doc/unique_fd.h"

// Cause of a failed open, and the raw operating-system error behind it.
struct CZXS_StreamError {
    int32_t cause = 0;
    int32_t osError = 0;
};

// Cause codes of CZXS_StreamError.
enum : int32_t {
    ZXS_CAUSE_NONE = 0,
    ZXS_CAUSE_GENERIC = 1,
    ZXS_CAUSE_NOT_FOUND = 2,
    ZXS_CAUSE_BAD_PATH = 3,
    ZXS_CAUSE_TOO_MANY_OPEN = 4,
    ZXS_CAUSE_ACCESS_DENIED = 5,
    ZXS_CAUSE_INVALID_FILE = 6,
    ZXS_CAUSE_DIR_IN_USE = 7,
    ZXS_CAUSE_DIR_FULL = 8,
    ZXS_CAUSE_BAD_SEEK = 9,
    ZXS_CAUSE_HARDWARE_IO = 10,
    ZXS_CAUSE_SHARING = 11,
    ZXS_CAUSE_LOCK = 12,
    ZXS_CAUSE_DISK_FULL = 13,
    ZXS_CAUSE_END_OF_FILE = 14,
};

// Open flags: access in bits 0-1 (0 read, 1 write, 2 both); sharing in bits 4-6
// (0/1 exclusive, 2 others may read, 3 others may write, 4 others may do both);
// 0x80 no inheritance by child processes; 0x1000 create (truncating unless 0x2000).
enum : uint32_t {
    ZXS_OPEN_READ = 0x0,
    ZXS_OPEN_WRITE = 0x1,
    ZXS_OPEN_READWRITE = 0x2,
    ZXS_OPEN_SHARE_EXCLUSIVE = 0x10,
    ZXS_OPEN_SHARE_DENY_WRITE = 0x20,
    ZXS_OPEN_SHARE_DENY_READ = 0x30,
    ZXS_OPEN_SHARE_DENY_NONE = 0x40,
    ZXS_OPEN_NO_INHERIT = 0x80,
    ZXS_OPEN_CREATE = 0x1000,
    ZXS_OPEN_NO_TRUNCATE = 0x2000,
    ZXS_OPEN_MAP = 0x8000, // how the kernel opens maps: read, exclusive, existing file
};

// Seek result on failure.
inline constexpr uint32_t ZXS_SEEK_FAILED = 0xFFFFFFFFu;

// Cause code of an operating-system error number.
int32_t ZXS_StreamCause(int osError);

// Kernel stream over an operating-system file. The mapped and memory streams
// derive from it and keep its write and flush (which then have no handle).
// Sharing modes are kept with advisory whole-file locks, so they hold between
// cooperating openers only.
class CZXS_DiskStream {
public:
    enum Kind : int32_t { kDisk = 0, kMapped = 1, kMemory = 2 };

    CZXS_DiskStream() = default;
    CZXS_DiskStream(const CZXS_DiskStream&) = delete;
    CZXS_DiskStream& operator=(const CZXS_DiskStream&) = delete;
    virtual ~CZXS_DiskStream();

    // `path` is UTF-8. 1 on success; 0 with the cause in `error` (when given).
    virtual int Open(const std::string& path, uint32_t flags, CZXS_StreamError* error);
    virtual void Close();
    virtual uint32_t Read(void* buffer, uint32_t n);
    int ReadExact(void* buffer, uint32_t n) { return Read(buffer, n) == n ? 1 : 0; }
    virtual uint32_t Write(const void* buffer, uint32_t n);
    int WriteExact(const void* buffer, uint32_t n) { return Write(buffer, n) == n ? 1 : 0; }
    virtual int Flush();
    virtual uint32_t GetPosition();
    // Origin 0 start, 1 current, 2 end; the new position or ZXS_SEEK_FAILED.
    virtual uint32_t Seek(int32_t offset, int origin);

    // The next `n` bytes in place (advancing the position) for memory-backed
    // streams; null when the stream has no memory or fewer bytes are left.
    virtual const uint8_t* TakeRegion(uint32_t n);
    // Lets the system take back the pages a load's checks read through, so a
    // map read in place is not held in memory whole; they come back from the
    // file as they are read again. Only a mapping has any.
    virtual void ReleaseReadPages() { }

    Kind SourceKind() const { return m_kind; }
    bool IsOpen() const { return m_open != 0; }
    const std::string& Name() const { return m_name; }

protected:
    explicit CZXS_DiskStream(Kind kind)
        : m_kind(kind)
    {
    }
    void SetName(const std::string& name);

private:
    int32_t m_open = 0;
    CZXS_UniqueFd m_handle;
    std::string m_name;
    int16_t m_openField = 0; // cleared by every successful open
    Kind m_kind = kDisk;
};
