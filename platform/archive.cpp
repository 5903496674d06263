#include "platform/archive.h"

#include "platform/file_writer.h"
#include "platform/little_endian.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Windows-1251 from 0x80 on; 0xC0..0xFF run straight through U+0410..U+044F.
// The one unassigned byte, 0x98, passes through as U+0098, as the device does.
constexpr std::array<char16_t, 64> kWindows1251High {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

} // namespace

QString DecodeWindows1251(std::span<const uint8_t> bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (uint8_t b : bytes) {
        if (b < 0x80)
            *out++ = QChar(b);
        else if (b < 0xC0)
            *out++ = QChar(kWindows1251High[b - 0x80]);
        else
            *out++ = QChar(char16_t(0x0410 + (b - 0xC0)));
    }
    return text;
}

std::string EncodeWindows1251(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < 0x80) {
            bytes.push_back(static_cast<char>(c));
        } else if (c >= 0x0410 && c <= 0x044F) {
            bytes.push_back(static_cast<char>(0xC0 + (c - 0x0410)));
        } else {
            const auto* hit = std::find(kWindows1251High.begin(), kWindows1251High.end(), c);
            bytes.push_back(hit == kWindows1251High.end()
                    ? '?'
                    : static_cast<char>(0x80 + (hit - kWindows1251High.begin())));
        }
    }
    return bytes;
}

Archive::Archive()
    : m_storing(true)
{
}

Archive::Archive(std::span<const uint8_t> bytes)
    : m_storing(false)
    , m_input(bytes)
{
}

Archive Archive::LoadFile(const std::string& path)
{
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const int fd = file.Get();
    if (!file)
        throw ArchiveException("cannot open \"" + path + "\": " + std::strerror(errno));
    std::vector<uint8_t> bytes;
    struct stat st { };
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        bytes.reserve(static_cast<size_t>(st.st_size));
    std::array<uint8_t, 65536> chunk;
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw ArchiveException("cannot read \"" + path + "\": " + std::strerror(errno));
        if (n == 0)
            break;
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
    }
    Archive archive;
    archive.m_storing = false;
    archive.m_buffer = std::move(bytes);
    archive.m_input = archive.m_buffer;
    return archive;
}

void Archive::CheckStoring() const
{
    if (!m_storing)
        throw ArchiveException("writing to an archive opened for loading");
}

void Archive::WriteUInt8(uint8_t v) { WriteBytes(&v, 1); }

void Archive::WriteUInt16(uint16_t v)
{
    uint8_t b[2];
    PutLe16(b, v);
    WriteBytes(b, 2);
}

void Archive::WriteUInt32(uint32_t v)
{
    WriteUInt16(uint16_t(v));
    WriteUInt16(uint16_t(v >> 16));
}

void Archive::WriteUInt64(uint64_t v)
{
    WriteUInt32(uint32_t(v));
    WriteUInt32(uint32_t(v >> 32));
}

void Archive::WriteDouble(double v) { WriteUInt64(std::bit_cast<uint64_t>(v)); }

void Archive::WriteBytes(const void* data, size_t size)
{
    CheckStoring();
    const auto* p = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), p, p + size);
}

void Archive::WriteString(const QString& text)
{
    const auto length = static_cast<uint64_t>(text.size());
    WriteUInt8(0xFF);
    WriteUInt16(0xFFFE);
    if (length < 0xFF) {
        WriteUInt8(uint8_t(length));
    } else if (length < 0xFFFE) {
        WriteUInt8(0xFF);
        WriteUInt16(uint16_t(length));
    } else if (length < 0xFFFFFFFFu) {
        WriteUInt8(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(uint32_t(length));
    } else {
        WriteUInt8(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(0xFFFFFFFFu);
        WriteUInt64(length);
    }
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    m_buffer.reserve(m_buffer.size() + length * 2);
    for (uint64_t i = 0; i < length; ++i)
        WriteUInt16(units[i]);
}

std::span<const uint8_t> Archive::Take(size_t size, const char* what)
{
    if (m_storing)
        throw ArchiveException("reading from an archive opened for storing");
    if (size > Remaining())
        throw ArchiveException(std::string("archive ends inside ") + what + ": " + std::to_string(size)
            + " bytes needed at offset " + std::to_string(m_pos) + ", " + std::to_string(Remaining())
            + " left");
    const auto bytes = m_input.subspan(m_pos, size);
    m_pos += size;
    return bytes;
}

uint8_t Archive::ReadUInt8() { return Take(1, "a byte")[0]; }
uint16_t Archive::ReadUInt16() { return Le16(Take(2, "a 16-bit integer").data()); }
uint32_t Archive::ReadUInt32() { return Le32(Take(4, "a 32-bit integer").data()); }
uint64_t Archive::ReadUInt64() { return Le64(Take(8, "a 64-bit integer").data()); }
double Archive::ReadDouble() { return std::bit_cast<double>(Le64(Take(8, "a double").data())); }

void Archive::ReadBytes(void* data, size_t size)
{
    const auto bytes = Take(size, "a block of bytes");
    if (size)
        std::memcpy(data, bytes.data(), size);
}

// The length forms of the framework: a byte below 0xFF, else 0xFF and a
// 16-bit length below 0xFFFF (0xFFFE marks UTF-16 text and the length
// follows anew), else a 32-bit length below 0xFFFFFFFF, else a 64-bit one.
uint64_t Archive::ReadStringLength(bool* unicode)
{
    *unicode = false;
    for (;;) {
        const uint8_t b = ReadUInt8();
        if (b < 0xFF)
            return b;
        const uint16_t w = ReadUInt16();
        if (w == 0xFFFE) {
            if (*unicode)
                throw ArchiveException(
                    "damaged archive string: repeated text marker at offset " + std::to_string(m_pos - 3));
            *unicode = true;
            continue;
        }
        if (w < 0xFFFF)
            return w;
        const uint32_t d = ReadUInt32();
        if (d < 0xFFFFFFFFu)
            return d;
        return ReadUInt64();
    }
}

QString Archive::ReadString()
{
    bool unicode = false;
    const size_t start = m_pos;
    const uint64_t length = ReadStringLength(&unicode);
    const uint64_t unitSize = unicode ? 2 : 1;
    // Refuse a length the archive cannot hold before allocating for it.
    if (length > Remaining() / unitSize)
        throw ArchiveException("archive string at offset " + std::to_string(start) + " claims "
            + std::to_string(length) + (unicode ? " UTF-16 units" : " bytes") + " but only "
            + std::to_string(Remaining()) + " bytes are left");
    const auto bytes = Take(size_t(length * unitSize), "a string");
    if (!unicode)
        return DecodeWindows1251(bytes);
    QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
    QChar* out = text.data();
    for (size_t i = 0; i < length; ++i)
        out[i] = QChar(char16_t(Le16(bytes.data() + 2 * i)));
    return text;
}

bool Archive::SaveToFile(const std::string& path, std::string* error) const
{
    if (!m_storing) {
        if (error)
            *error = "saving an archive opened for loading";
        return false;
    }
    return WriteFileAtomically(path, m_buffer.data(), m_buffer.size(), error);
}

} // namespace platform
