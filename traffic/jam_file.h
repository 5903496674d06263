#pragma once
// The map's jam file: the jam cells that every traffic transport produces,
// turned into 6-byte road records through the cell table of the map in use.
//
// Jam file (little-endian): bytes C1 E3, the format character '0', the local
// time of writing as "%04d%02d%02d%02d%02d%02d", then one record per road of
// each cell at '2' (level 4) or '3' (level 7), in cell order and within a cell
// in the order of its road list: [level][24-bit road value][FF FF].
//
// Cell table: 864 entries of (u16 offset, u16 length in bytes) from the start
// of the table, then the road lists: 3-byte little-endian values, bits 0-21
// the road element id, bits 22-23 its passage flags.
#include "platform/local_time.h"
#include "traffic/jam_status.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr int kJamCellCount = 864;
// One character '0' to '3' per cell, in the fixed cell order.
using JamCells = std::array<char, kJamCellCount>;

// Whether every cell holds '0' to '3'.
bool AreJamCellsValid(std::span<const char> cells);

class JamCellTable {
public:
    static constexpr size_t kIndexSize = kJamCellCount * 4;

    // Checks every entry against the bytes: an offset inside the lists, a
    // length that is a multiple of 3 and ends inside the table.
    static std::optional<JamCellTable> Parse(std::span<const uint8_t> bytes, std::string* error = nullptr);
    static std::optional<JamCellTable> Load(const QString& path, std::string* error = nullptr);
    // The table's bytes for the road lists of the 864 cells (tools and tests).
    static QByteArray Build(const std::vector<std::vector<uint32_t>>& lists);

    // The road values of a cell (24 bits each).
    std::span<const uint32_t> Roads(int cell) const;

private:
    std::vector<uint32_t> m_values;
    std::array<uint32_t, kJamCellCount + 1> m_first {}; // start of each cell's run in m_values
};

// The cell table of the map whose jam file is `jamPath`: beside it, with the
// extension ".jct".
QString JamCellTablePath(const QString& jamPath);

QByteArray BuildJamFile(const JamCells& cells, const JamCellTable& table, const platform::LocalTime& written);
// Replaces the jam file whole (through a temporary file, so a failure leaves
// the last good one); 0 or JAM_E_JAM_FILE.
JamStatus WriteJamFile(const QString& path, const JamCells& cells, const JamCellTable& table);

struct JamRecord {
    uint8_t level = 0; // the low 4 bits of the record's first byte
    uint32_t road = 0; // 24-bit value: id and passage flags
    bool operator==(const JamRecord&) const = default;
};

struct JamFileContents {
    platform::LocalTime written;
    std::vector<JamRecord> records;
};

// Reads a jam file: the 17-byte header must be whole and well-formed; records
// are read while 6 bytes remain, and a record whose last two bytes are not
// FF FF or whose level is not 4 or 7 makes the file damaged.
std::optional<JamFileContents> ParseJamFile(std::span<const uint8_t> bytes);
