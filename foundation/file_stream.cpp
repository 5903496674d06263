#include "foundation/file_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

bool SeekHandle(FileHandle handle, int64_t offset, int origin)
{
    const int whence = origin == FILE_BEGIN ? SEEK_SET : origin == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    return ::lseek(handle, static_cast<off_t>(offset), whence) != static_cast<off_t>(-1);
}

// Repeats a platform read or write until `count` bytes have moved, the file
// ends or an error stops it; returns the bytes moved.
template <typename Step> size_t TransferAll(size_t count, Step step)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = step(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

} // namespace

bool CFileStream::IsOpen() const { return m_buffer != nullptr; }

bool CFileStream::Detach()
{
    ResetPointers();
    return true;
}

size_t CFileStream::WriteRaw(const void*, size_t) { return 0; }

size_t CFileStream::ReadRaw(void*, size_t) { return 0; }

bool CFileStream::Seek(int64_t, int) { return false; }

bool CFileStream::AtEnd() const { return false; }

void CFileStream::AllocBuffer(FileHandle handle, uint32_t size)
{
    Detach();
    if (size != m_size || !m_buffer) {
        m_buffer.reset();
        m_size = 0;
        // A failed allocation leaves the stream closed; every transfer then fails.
        m_buffer.reset(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
        if (m_buffer)
            m_size = size;
    }
    m_handle = handle;
    ResetPointers();
}

// Reader

CBufferedFileReader::~CBufferedFileReader()
{
    if (IsOpen() && m_mark != m_cursor)
        Seek(m_cursor - m_mark, FILE_CURRENT);
}

bool CBufferedFileReader::IsOpen() const { return m_buffer && m_handle != INVALID_HANDLE_VALUE; }

bool CBufferedFileReader::Detach()
{
    bool result = IsOpen();
    if (result && m_mark != m_cursor)
        result = Seek(m_cursor - m_mark, FILE_CURRENT);
    m_handle = INVALID_HANDLE_VALUE;
    ResetPointers();
    return result;
}

size_t CBufferedFileReader::ReadRaw(void* dest, size_t count)
{
    auto* out = static_cast<uint8_t*>(dest);
    return TransferAll(count, [&](size_t done) { return ::read(m_handle, out + done, count - done); });
}

bool CBufferedFileReader::Seek(int64_t offset, int origin) { return SeekHandle(m_handle, offset, origin); }

bool CBufferedFileReader::Fill()
{
    if (AtEnd())
        return false;
    const size_t n = ReadRaw(m_mark, m_size - Buffered());
    m_mark += n;
    return n > 0;
}

void CBufferedFileReader::Take(uint8_t*& data, size_t count)
{
    std::memcpy(data, m_cursor, count);
    data += count;
    m_cursor += count;
    if (m_cursor == m_mark)
        ResetPointers();
}

bool CBufferedFileReader::Read(void* data, size_t count)
{
    if (!IsOpen())
        return false;
    if (count == 0)
        return true;
    auto* out = static_cast<uint8_t*>(data);
    if (m_mark != m_cursor) {
        const size_t n = std::min(count, Buffered());
        Take(out, n);
        if (n == count)
            return true;
        count -= n;
    }
    if (count < m_size) {
        // Fewer bytes than asked after a fill is the end of the file; what was
        // read stays buffered.
        if (!Fill() || Buffered() < count)
            return false;
        Take(out, count);
        return true;
    }
    return ReadRaw(out, count) == count;
}

// Writer

CBufferedFileWriter::~CBufferedFileWriter()
{
    if (IsOpen())
        Flush();
}

bool CBufferedFileWriter::IsOpen() const { return m_buffer && m_handle != INVALID_HANDLE_VALUE; }

bool CBufferedFileWriter::Detach()
{
    const bool result = IsOpen() && Flush();
    m_handle = INVALID_HANDLE_VALUE;
    ResetPointers();
    return result;
}

size_t CBufferedFileWriter::WriteRaw(const void* data, size_t count)
{
    const auto* in = static_cast<const uint8_t*>(data);
    return TransferAll(count, [&](size_t done) { return ::write(m_handle, in + done, count - done); });
}

bool CBufferedFileWriter::Seek(int64_t offset, int origin) { return SeekHandle(m_handle, offset, origin); }

bool CBufferedFileWriter::Flush()
{
    if (!IsOpen())
        return false;
    const size_t pending = Buffered();
    if (pending == 0)
        return true;
    const size_t written = std::min(WriteRaw(m_cursor, pending), pending);
    if (written == pending) {
        ResetPointers();
        return true;
    }
    // Keep what did not reach the file, so nothing is silently dropped.
    std::memmove(m_buffer.get(), m_cursor + written, pending - written);
    m_cursor = m_buffer.get();
    m_mark = m_cursor + (pending - written);
    return false;
}

bool CBufferedFileWriter::Write(const void* data, size_t count)
{
    if (!IsOpen())
        return false;
    const auto* in = static_cast<const uint8_t*>(data);
    const size_t space = m_size - Buffered();
    if (space > 0) {
        const size_t n = std::min(count, space);
        std::memcpy(m_mark, in, n);
        m_mark += n;
        if (n == count)
            return true;
        count -= n;
        in += n;
    }
    if (!Flush())
        return false;
    if (count < m_size) {
        std::memcpy(m_mark, in, count);
        m_mark += count;
        return true;
    }
    return WriteRaw(in, count) == count;
}
