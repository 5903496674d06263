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
    CZXS_UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file)
        return Fail(error, ZXS_StreamCause(errno), errno);
    // Mapped files are opened without sharing.
    if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0)
        return Fail(error, ZXS_StreamCause(errno), errno);
    struct stat info { };
    if (::fstat(file.Get(), &info) != 0)
        return Fail(error, ZXS_StreamCause(errno), errno);
    if (info.st_size == 0)
        return Fail(error, ZXS_CAUSE_END_OF_FILE, 0);
    // Positions are 32-bit: larger files cannot be addressed.
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) >= ZXS_SEEK_FAILED)
        return Fail(error, ZXS_StreamCause(EFBIG), EFBIG);
    const auto size = static_cast<uint32_t>(info.st_size);
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.Get(), 0);
    if (view == MAP_FAILED)
        return Fail(error, ZXS_StreamCause(errno), errno);
    ::posix_madvise(view, size, POSIX_MADV_RANDOM);
    m_file.Reset(file.Release());
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
    m_file.Reset();
    m_view = nullptr;
    m_viewSize = 0;
    SetBlock(nullptr, 0);
}

void CZXS_MappedStream::ReleaseReadPages()
{
    // The view is read-only and private: its pages are never written, so none
    // is lost; the page cache gives them back.
    if (m_view != nullptr)
        ::madvise(m_view, m_viewSize, MADV_DONTNEED);
}
