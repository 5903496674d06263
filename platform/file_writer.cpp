#include "platform/file_writer.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<unsigned> g_tempCounter { 0 };

std::string ErrorText(const std::string& what, const std::string& path, int error)
{
    return what + " \"" + path + "\": " + std::strerror(error);
}

// Writes everything, going on after short writes and interrupted calls.
// Returns 0 or the errno of the failure.
int WriteAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int FsyncRetry(int fd)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : m_path(path)
{
    // A name of our own with O_EXCL rather than mkstemp: the file then gets
    // the usual mode through the umask instead of 0600.
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_tempPath
            = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(g_tempCounter.fetch_add(1));
        m_fd.Reset(::open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (m_fd || errno != EEXIST)
            break;
    }
    if (!m_fd) {
        const int error = errno;
        m_tempPath.clear();
        Fail("cannot create a temporary file for", error);
        return;
    }
    // The replacement keeps the permissions the user gave the old file.
    struct stat st { };
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        (void)::fchmod(m_fd.Get(), st.st_mode & 07777);
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (!m_done)
        Discard();
}

void AtomicFileWriter::Discard()
{
    m_fd.Reset();
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
    m_done = true;
}

void AtomicFileWriter::Fail(const std::string& what, int error)
{
    if (m_error.empty())
        m_error = ErrorText(what, m_path, error);
    Discard();
}

bool AtomicFileWriter::Write(const void* data, size_t size)
{
    if (m_done || !m_fd) {
        if (m_error.empty())
            m_error = "\"" + m_path + "\" was already committed";
        return false;
    }
    if (const int error = WriteAll(m_fd.Get(), data, size)) {
        Fail("cannot write", error);
        return false;
    }
    return true;
}

bool AtomicFileWriter::Commit()
{
    if (m_done || !m_fd) {
        if (m_error.empty())
            m_error = "\"" + m_path + "\" was already committed";
        return false;
    }
    if (const int error = FsyncRetry(m_fd.Get())) {
        Fail("cannot flush", error);
        return false;
    }
    if (const int error = m_fd.Close()) {
        Fail("cannot close", error);
        return false;
    }
    if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        Fail("cannot replace", errno);
        return false;
    }
    m_tempPath.clear();
    m_done = true;
    // The rename itself reaches the disk with the folder's own flush; a
    // folder that cannot be flushed still holds the new file.
    if (const UniqueFd folder(::open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); folder)
        FsyncRetry(folder.Get());
    return true;
}

const std::string& AtomicFileWriter::Error() const { return m_error; }

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* error)
{
    AtomicFileWriter writer(path);
    const bool ok = writer.Write(data, size) && writer.Commit();
    if (!ok && error)
        *error = writer.Error();
    return ok;
}

bool WriteNewFile(const std::string& path, const void* data, size_t size, std::string* error)
{
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file) {
        if (error)
            *error = ErrorText("cannot create", path, errno);
        return false;
    }
    int failure = WriteAll(file.Get(), data, size);
    if (!failure)
        failure = FsyncRetry(file.Get());
    if (const int error = file.Close(); error != 0 && !failure)
        failure = error;
    if (failure) {
        ::unlink(path.c_str());
        if (error)
            *error = ErrorText("cannot write", path, failure);
        return false;
    }
    return true;
}

} // namespace platform
