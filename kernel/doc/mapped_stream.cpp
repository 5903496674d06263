#include "kernel/doc/mapped_stream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Fail(CZXS_StreamError* error, int32_t cause, int osError)
{
    if (error != nullptr) {
        error->cause = cause;
        error->osError = osError;
    }
    return 0;
}

} // namespace

CZXS_MappedStream::~CZXS_MappedStream() { CZXS_MappedStream::Close(); }

int CZXS_MappedStream::Open(const std::string& path, uint32_t, CZXS_StreamError* error)
{
    Close();
    SetName("");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(error, ZXS_StreamCause(errno), errno);
    // Mapped files are opened without sharing.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return Fail(error, ZXS_StreamCause(err), err);
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0) {
        const int err = errno;
        ::close(fd);
        return Fail(error, ZXS_StreamCause(err), err);
    }
    if (info.st_size == 0) {
        ::close(fd);
        return Fail(error, ZXS_CAUSE_END_OF_FILE, 0);
    }
    // Positions are 32-bit: larger files cannot be addressed.
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) >= ZXS_SEEK_FAILED) {
        ::close(fd);
        return Fail(error, ZXS_StreamCause(EFBIG), EFBIG);
    }
    const auto size = static_cast<uint32_t>(info.st_size);
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        const int err = errno;
        ::close(fd);
        return Fail(error, ZXS_StreamCause(err), err);
    }
    ::posix_madvise(view, size, POSIX_MADV_RANDOM);
    m_file = fd;
    m_view = view;
    m_viewSize = size;
    SetBlock(static_cast<const uint8_t*>(view), size);
    SetName(path);
    return 1;
}

void CZXS_MappedStream::Close()
{
    if (m_view != nullptr)
        ::munmap(m_view, m_viewSize);
    if (m_file >= 0)
        ::close(m_file);
    m_view = nullptr;
    m_viewSize = 0;
    m_file = -1;
    SetBlock(nullptr, 0);
}
