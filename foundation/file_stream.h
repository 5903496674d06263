#pragma once
// Buffered binary streams over file handles that someone else opens and closes.
// A stream is attached to a handle with a buffer size; detaching (or the next
// attach, or destruction) gives the handle back with its file position where
// the stream's user left it: the reader steps back over bytes it read ahead, the
// writer writes what is pending.
#include <cstddef>
#include <cstdint>
#include <memory>

// A POSIX file descriptor; -1 when there is none.
using FileHandle = int;
inline constexpr FileHandle INVALID_HANDLE_VALUE = -1;

enum SeekOrigin : int {
    FILE_BEGIN = 0,
    FILE_CURRENT = 1,
    FILE_END = 2,
};

class CFileStream {
public:
    CFileStream() = default;
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;
    virtual ~CFileStream() = default;

    virtual bool IsOpen() const;
    virtual bool Detach();
    // Unbuffered transfers; each returns the bytes moved, 0 when none could be.
    virtual size_t WriteRaw(const void* data, size_t count);
    virtual size_t ReadRaw(void* dest, size_t count);
    // origin: FILE_BEGIN, FILE_CURRENT, anything else FILE_END.
    virtual bool Seek(int64_t offset, int origin);
    // No end-of-file state is kept.
    virtual bool AtEnd() const;

    // Detaches, then attaches to `handle` with a buffer of `size` bytes (the buffer
    // is kept when the size is unchanged). Without a buffer the stream is not open.
    void AllocBuffer(FileHandle handle, uint32_t size);

    FileHandle Handle() const { return m_handle; }
    uint32_t BufferSize() const { return m_size; }

protected:
    std::unique_ptr<uint8_t[]> m_buffer;
    uint8_t* m_mark = nullptr; // reader: end of valid data; writer: end of pending bytes
    uint8_t* m_cursor = nullptr; // reader: read position; writer: start of pending bytes
    uint32_t m_size = 0;
    FileHandle m_handle = INVALID_HANDLE_VALUE;

    void ResetPointers() { m_mark = m_cursor = m_buffer.get(); }
    size_t Buffered() const { return static_cast<size_t>(m_mark - m_cursor); }
};

class CBufferedFileReader : public CFileStream {
public:
    CBufferedFileReader() = default;
    CBufferedFileReader(FileHandle handle, uint32_t size) { AllocBuffer(handle, size); }
    ~CBufferedFileReader() override;

    bool IsOpen() const override;
    // Moves the file position back over the bytes read ahead but not consumed.
    bool Detach() override;
    size_t ReadRaw(void* dest, size_t count) override;
    bool Seek(int64_t offset, int origin) override;

    // True only when all `count` bytes were delivered.
    virtual bool Read(void* data, size_t count);

private:
    bool Fill();
    void Take(uint8_t*& data, size_t count);
};

class CBufferedFileWriter : public CFileStream {
public:
    CBufferedFileWriter() = default;
    CBufferedFileWriter(FileHandle handle, uint32_t size) { AllocBuffer(handle, size); }
    // Writes what is pending; a caller that must know whether that worked calls
    // Flush or Detach first.
    ~CBufferedFileWriter() override;

    bool IsOpen() const override;
    // Writes the pending bytes; true only when all of them were written.
    bool Detach() override;
    size_t WriteRaw(const void* data, size_t count) override;
    bool Seek(int64_t offset, int origin) override;

    // True only when all `count` bytes were accepted (buffered or written).
    virtual bool Write(const void* data, size_t count);
    // Writes the pending bytes; true only when all of them were written. Bytes
    // that could not be written stay pending.
    bool Flush();
};
