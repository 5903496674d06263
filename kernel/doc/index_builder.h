#pragma once

#include <cstdint>

#include <vector>

#include "kernel/doc/point_coding.h"

class CZXS_TzxDoc;

// Turns a loaded map of the old layout into the current one: builds the index
// blocks (one per 64 objects), gives every record its cell box inside its
// block, recodes every run relative to its block in the shortest coding and
// moves the layers' point offsets along. The recoded runs go to a new buffer,
// so tables borrowed from a read-only mapping are never written.
class CZXS_IndexBuilder {
public:
    // 0, or the kernel error: 7 out of memory, 101 a run outside the point
    // data or one that cannot be recoded.
    static int32_t Convert(CZXS_TzxDoc& doc);

    // One record of a block to encode: its points in map units and its ids.
    struct RecordIn {
        const std::vector<ZXS_Point>* points = nullptr;
        int32_t nameId = 0;
        int32_t linkId = 0;
    };
    // What a record gets: its cell box (least x, y, greatest x, y), its coding
    // and the length of its run in bytes.
    struct RecordOut {
        uint8_t box[4] = {};
        int scheme = 0;
        uint16_t length = 0;
    };
    static constexpr uint32_t kBlockRecords = 64;

    // Encodes the runs of one block's records (at most 64) relative to the
    // block's least corner, each in the shortest coding (the lower number on a
    // tie), appending them to `points`; fills the 36-byte index block (box,
    // name-id and link-id ranges, offset of its first run). 0, or 101 when a
    // run cannot be coded or is longer than 65 535 bytes, 7 out of memory.
    static int32_t EncodeBlock(const RecordIn* records, uint32_t count, std::vector<uint8_t>& points,
        uint8_t block[36], RecordOut* out);

    // The cell box byte of a record edge: `offset` from the block's least edge,
    // `cell` the cell size; the least edge and the greatest edge are computed
    // differently where they fall on a cell boundary.
    static uint8_t CellOfLeast(int64_t offset, int64_t cell, uint8_t greatestCell);
    static uint8_t CellOfGreatest(int64_t offset, int64_t cell);
    static int64_t CellSize(int64_t least, int64_t greatest);
};
