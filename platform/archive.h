#pragma once
// The framework archive of the program's files: little-endian integers and
// doubles, raw bytes, and strings in the archive's own form (a length of 1, 3
// or 7 bytes, then UTF-16LE behind the FF FE FF marker, or 8-bit text of the
// device's code page without it). One class both stores and loads, as the
// serialising code of the files expects; every length read is checked
// against what remains before anything is allocated.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// A read past the end, an impossible length, or use in the wrong direction.
// The application layers catch it where a file is read or written.
class ArchiveException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Archive {
public:
    // An archive for storing into its own byte buffer.
    Archive();
    // An archive for loading from bytes the caller keeps alive.
    explicit Archive(std::span<const uint8_t> bytes);
    // An archive for loading the whole of a file; throws ArchiveException
    // naming the file when it cannot be read.
    static Archive LoadFile(const std::string& path);

    Archive(Archive&&) = default;
    Archive& operator=(Archive&&) = default;

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    void WriteUInt8(uint8_t v);
    void WriteUInt16(uint16_t v);
    void WriteUInt32(uint32_t v);
    void WriteUInt64(uint64_t v);
    void WriteInt8(int8_t v) { WriteUInt8(static_cast<uint8_t>(v)); }
    void WriteInt16(int16_t v) { WriteUInt16(static_cast<uint16_t>(v)); }
    void WriteInt32(int32_t v) { WriteUInt32(static_cast<uint32_t>(v)); }
    void WriteInt64(int64_t v) { WriteUInt64(static_cast<uint64_t>(v)); }
    void WriteDouble(double v);
    void WriteBytes(const void* data, size_t size);
    // FF FE FF, the length in UTF-16 code units, the text in UTF-16LE.
    void WriteString(const QString& text);

    uint8_t ReadUInt8();
    uint16_t ReadUInt16();
    uint32_t ReadUInt32();
    uint64_t ReadUInt64();
    int8_t ReadInt8() { return static_cast<int8_t>(ReadUInt8()); }
    int16_t ReadInt16() { return static_cast<int16_t>(ReadUInt16()); }
    int32_t ReadInt32() { return static_cast<int32_t>(ReadUInt32()); }
    int64_t ReadInt64() { return static_cast<int64_t>(ReadUInt64()); }
    double ReadDouble();
    void ReadBytes(void* data, size_t size);
    // Either string form: UTF-16 behind the marker, else Windows-1251 bytes.
    QString ReadString();

    // Loading: the bytes not read yet, and how far the reading has come.
    size_t Remaining() const { return m_input.size() - m_pos; }
    size_t Position() const { return m_pos; }
    // Loading: the bytes read from `from` up to the present position.
    std::span<const uint8_t> ReadSince(size_t from) const { return m_input.subspan(from, m_pos - from); }
    // Storing: everything written so far.
    const std::vector<uint8_t>& Data() const { return m_buffer; }
    // Storing: replaces the file with what was written, through a temporary
    // file, so a failure keeps the old file; false with `error` set on failure.
    bool SaveToFile(const std::string& path, std::string* error = nullptr) const;

private:
    std::span<const uint8_t> Take(size_t size, const char* what);
    void CheckStoring() const;
    uint64_t ReadStringLength(bool* unicode);

    bool m_storing;
    std::vector<uint8_t> m_buffer; // storing: the output; loading a file: its bytes
    std::span<const uint8_t> m_input;
    size_t m_pos = 0;
};

// The device's 8-bit code page (Windows-1251: Latin and Cyrillic).
QString DecodeWindows1251(std::span<const uint8_t> bytes);
// Text in that code page; a character it lacks becomes '?', as the device's
// conversion does.
std::string EncodeWindows1251(const QString& text);

} // namespace platform
