#include "traffic/jam_file.h"

#include "foundation/path_helpers.h"
#include "platform/file_writer.h"
#include "platform/little_endian.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

namespace {

constexpr uint8_t kMagic0 = 0xC1;
constexpr uint8_t kMagic1 = 0xE3;
constexpr size_t kHeaderSize = 17;
constexpr size_t kRecordSize = 6;

using platform::Le16;
using platform::Le24;

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

uint8_t LevelOf(char cell)
{
    switch (cell) {
    case '2':
        return 4;
    case '3':
        return 7;
    default:
        return 0;
    }
}

} // namespace

bool AreJamCellsValid(std::span<const char> cells)
{
    return cells.size() == kJamCellCount
        && std::all_of(cells.begin(), cells.end(), [](char c) { return c >= '0' && c <= '3'; });
}

std::optional<JamCellTable> JamCellTable::Parse(std::span<const uint8_t> bytes, std::string* error)
{
    if (bytes.size() < kIndexSize) {
        SetError(error, "the cell table is shorter than its index");
        return std::nullopt;
    }
    JamCellTable table;
    for (int cell = 0; cell < kJamCellCount; ++cell) {
        const uint8_t* entry = bytes.data() + cell * 4;
        const size_t offset = Le16(entry);
        const size_t length = Le16(entry + 2);
        table.m_first[cell] = static_cast<uint32_t>(table.m_values.size());
        if (length == 0)
            continue;
        if (length % 3 != 0 || offset < kIndexSize || offset > bytes.size()
            || length > bytes.size() - offset) {
            SetError(error, "cell " + std::to_string(cell) + " of the cell table lies outside it");
            return std::nullopt;
        }
        for (size_t at = offset; at < offset + length; at += 3)
            table.m_values.push_back(Le24(bytes.data() + at));
    }
    table.m_first[kJamCellCount] = static_cast<uint32_t>(table.m_values.size());
    return table;
}

std::optional<JamCellTable> JamCellTable::Load(const QString& path, std::string* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, "cannot read the cell table \"" + path.toStdString() + "\"");
        return std::nullopt;
    }
    // The 16-bit offsets bound a table to 64 KiB and 3 bytes of its last list.
    const QByteArray bytes = file.read(0x10000 + 0x10000);
    auto table = Parse(
        { reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()) }, error);
    if (!table && error)
        *error += " (\"" + path.toStdString() + "\")";
    return table;
}

QByteArray JamCellTable::Build(const std::vector<std::vector<uint32_t>>& lists)
{
    QByteArray index(static_cast<qsizetype>(kIndexSize), '\0');
    QByteArray values;
    for (size_t cell = 0; cell < kJamCellCount; ++cell) {
        const size_t offset = kIndexSize + static_cast<size_t>(values.size());
        const size_t count = cell < lists.size() ? lists[cell].size() : 0;
        char* entry = index.data() + cell * 4;
        platform::PutLe16(reinterpret_cast<uint8_t*>(entry), static_cast<uint16_t>(offset));
        platform::PutLe16(reinterpret_cast<uint8_t*>(entry) + 2, static_cast<uint16_t>(count * 3));
        for (size_t i = 0; i < count; ++i)
            platform::AppendLe24(values, lists[cell][i]);
    }
    return index + values;
}

std::span<const uint32_t> JamCellTable::Roads(int cell) const
{
    if (cell < 0 || cell >= kJamCellCount)
        return {};
    return std::span<const uint32_t>(m_values).subspan(m_first[cell], m_first[cell + 1] - m_first[cell]);
}

QString JamCellTablePath(const QString& jamPath) { return RemoveExtension(jamPath) + QStringLiteral(".jct"); }

QByteArray BuildJamFile(const JamCells& cells, const JamCellTable& table, const platform::LocalTime& written)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(kMagic0));
    bytes.append(static_cast<char>(kMagic1));
    bytes.append('0');
    char time[64] = {};
    std::snprintf(time, sizeof time, "%04d%02d%02d%02d%02d%02d", written.year, written.month, written.day,
        written.hour, written.minute, written.second);
    bytes.append(time, 14);
    for (int cell = 0; cell < kJamCellCount; ++cell) {
        const uint8_t level = LevelOf(cells[cell]);
        if (level == 0)
            continue;
        for (const uint32_t road : table.Roads(cell)) {
            bytes.append(static_cast<char>(level));
            platform::AppendLe24(bytes, road);
            bytes.append("\xFF\xFF", 2);
        }
    }
    return bytes;
}

JamStatus WriteJamFile(const QString& path, const JamCells& cells, const JamCellTable& table)
{
    const QByteArray bytes = BuildJamFile(cells, table, platform::GetLocalTime());
    return platform::WriteFileAtomically(
               QFile::encodeName(path).toStdString(), bytes.constData(), static_cast<size_t>(bytes.size()))
        ? JAM_OK
        : JAM_E_JAM_FILE;
}

std::optional<JamFileContents> ParseJamFile(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize || bytes[0] != kMagic0 || bytes[1] != kMagic1 || bytes[2] != '0')
        return std::nullopt;
    int fields[6] = {};
    const int widths[6] = { 4, 2, 2, 2, 2, 2 };
    size_t at = 3;
    for (int f = 0; f < 6; ++f) {
        for (int i = 0; i < widths[f]; ++i, ++at) {
            if (bytes[at] < '0' || bytes[at] > '9')
                return std::nullopt;
            fields[f] = fields[f] * 10 + (bytes[at] - '0');
        }
    }
    JamFileContents contents;
    contents.written.year = fields[0];
    contents.written.month = fields[1];
    contents.written.day = fields[2];
    contents.written.hour = fields[3];
    contents.written.minute = fields[4];
    contents.written.second = fields[5];
    for (; bytes.size() - at >= kRecordSize; at += kRecordSize) {
        const uint8_t* r = bytes.data() + at;
        const uint8_t level = r[0];
        if ((level != 4 && level != 7) || r[4] != 0xFF || r[5] != 0xFF)
            return std::nullopt;
        contents.records.push_back({ level, Le24(r + 1) });
    }
    return contents;
}
