#include "kernel/doc/disk_stream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

int32_t ZXS_StreamCause(int osError)
{
    switch (osError) {
    case 0:
        return ZXS_CAUSE_NONE;
    case ENOENT:
        return ZXS_CAUSE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
    case EXDEV:
        return ZXS_CAUSE_BAD_PATH;
    case EMFILE:
    case ENFILE:
        return ZXS_CAUSE_TOO_MANY_OPEN;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EEXIST:
        return ZXS_CAUSE_ACCESS_DENIED;
    case EBADF:
    case ENODEV:
        return ZXS_CAUSE_INVALID_FILE;
    case EBUSY:
        return ZXS_CAUSE_DIR_IN_USE;
    case ESPIPE:
    case EOVERFLOW:
        return ZXS_CAUSE_BAD_SEEK;
    case EIO:
    case ENXIO:
        return ZXS_CAUSE_HARDWARE_IO;
    case EWOULDBLOCK:
        return ZXS_CAUSE_SHARING;
    case ENOLCK:
        return ZXS_CAUSE_LOCK;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ZXS_CAUSE_DISK_FULL;
    default:
        return ZXS_CAUSE_GENERIC;
    }
}

CZXS_DiskStream::~CZXS_DiskStream()
{
    if (m_open != 0)
        CZXS_DiskStream::Close();
}

void CZXS_DiskStream::SetName(const std::string& name)
{
    m_name = name;
    m_openField = 0;
}

namespace {

void Report(CZXS_StreamError* error, int osError)
{
    if (error != nullptr) {
        error->cause = ZXS_StreamCause(osError);
        error->osError = osError;
    }
}

} // namespace

int CZXS_DiskStream::Open(const std::string& path, uint32_t flags, CZXS_StreamError* error)
{
    if (m_open != 0)
        Close();
    m_handle.Reset();
    m_open = 0;
    m_name.clear();

    int mode = O_RDONLY;
    switch (flags & 0x3) {
    case 1:
        mode = O_WRONLY;
        break;
    case 2:
        mode = O_RDWR;
        break;
    default:
        break;
    }
    if ((flags & ZXS_OPEN_NO_INHERIT) != 0)
        mode |= O_CLOEXEC;
    if ((flags & ZXS_OPEN_CREATE) != 0)
        mode |= (flags & ZXS_OPEN_NO_TRUNCATE) != 0 ? O_CREAT : (O_CREAT | O_TRUNC);

    CZXS_UniqueFd file(::open(path.c_str(), mode, 0644));
    if (!file) {
        Report(error, errno);
        return 0;
    }
    // A folder opens for reading here, but it is no file to read.
    struct stat info { };
    if (::fstat(file.Get(), &info) == 0 && S_ISDIR(info.st_mode)) {
        Report(error, EISDIR);
        return 0;
    }
    // Sharing: exclusive openers take the whole-file lock alone; openers that let
    // others in share it; "others may read and write" takes none.
    const uint32_t sharing = (flags >> 4) & 0x7;
    int lock = 0;
    if (sharing <= 1)
        lock = LOCK_EX;
    else if (sharing <= 3)
        lock = LOCK_SH;
    if (lock != 0 && ::flock(file.Get(), lock | LOCK_NB) != 0) {
        Report(error, errno);
        return 0;
    }
    m_handle.Reset(file.Release());
    m_open = 1;
    SetName(path);
    return 1;
}

void CZXS_DiskStream::Close()
{
    m_handle.Reset();
    m_open = 0;
}

namespace {

// Repeats a read or write until n bytes moved, the file ends or an error occurs.
template <typename Buffer, typename Transfer>
uint32_t TransferAll(Buffer* buffer, uint32_t n, Transfer transfer)
{
    uint32_t done = 0;
    while (done < n) {
        const ssize_t moved = transfer(buffer + done, n - done);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            break;
        done += static_cast<uint32_t>(moved);
    }
    return done;
}

} // namespace

uint32_t CZXS_DiskStream::Read(void* buffer, uint32_t n)
{
    if (!m_handle || buffer == nullptr)
        return 0;
    return TransferAll(static_cast<char*>(buffer), n,
        [this](char* at, size_t count) { return ::read(m_handle.Get(), at, count); });
}

uint32_t CZXS_DiskStream::Write(const void* buffer, uint32_t n)
{
    if (!m_handle || buffer == nullptr)
        return 0;
    return TransferAll(static_cast<const char*>(buffer), n,
        [this](const char* at, size_t count) { return ::write(m_handle.Get(), at, count); });
}

int CZXS_DiskStream::Flush()
{
    if (!m_handle)
        return 0;
    return ::fsync(m_handle.Get()) == 0 ? 1 : 0;
}

uint32_t CZXS_DiskStream::GetPosition()
{
    if (!m_handle)
        return ZXS_SEEK_FAILED;
    const off_t at = ::lseek(m_handle.Get(), 0, SEEK_CUR);
    return at < 0 || at >= off_t { ZXS_SEEK_FAILED } ? ZXS_SEEK_FAILED : static_cast<uint32_t>(at);
}

uint32_t CZXS_DiskStream::Seek(int32_t offset, int origin)
{
    if (!m_handle)
        return ZXS_SEEK_FAILED;
    int whence = SEEK_SET;
    if (origin == 1)
        whence = SEEK_CUR;
    else if (origin == 2)
        whence = SEEK_END;
    else if (origin != 0)
        return ZXS_SEEK_FAILED;
    const off_t at = ::lseek(m_handle.Get(), offset, whence);
    return at < 0 || at >= off_t { ZXS_SEEK_FAILED } ? ZXS_SEEK_FAILED : static_cast<uint32_t>(at);
}

const uint8_t* CZXS_DiskStream::TakeRegion(uint32_t) { return nullptr; }
