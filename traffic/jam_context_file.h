#pragma once
// The serial receiver's context file, which keeps its last cells and status
// across runs (little-endian): 20, 60 and 3 as 32-bit words (header part size,
// header size, version), the jam time of the cells (file time), the port name
// as 8 UTF-16 units zero-padded, the raw flag (32-bit), the 20-byte receiver
// status; then with raw flag 1 the 864 cell characters, with raw flag 0 a whole
// jam file, and nothing when no cells are held.
#include "traffic/jam_file.h"
#include "traffic/roz_status.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <span>

struct JamContext {
    uint64_t jamTime = 0;
    QString portName; // at most 7 characters are kept
    RozStatus status;
    std::optional<JamCells> cells;
};

inline constexpr size_t kJamContextHeaderSize = 60;

// With `raw` the cells follow as characters; otherwise as a jam file built
// through `table` (which must then be given).
QByteArray BuildContextFile(const JamContext& context, bool raw, const JamCellTable* table = nullptr);

// The jam time of a context file's header, when the header is one of ours.
std::optional<uint64_t> ContextFileJamTime(std::span<const uint8_t> bytes);

// Reads a raw context file: the header must be ours with raw flag 1, followed
// by nothing (the status alone) or by exactly 864 cells of '0' to '3'.
std::optional<JamContext> ParseContextFile(std::span<const uint8_t> bytes);
