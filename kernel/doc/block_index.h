#pragma once

#include <cstdint>
#include <vector>

#include "kernel/api/types.h"

class CFixedCollect;

// Boxes over runs of consecutive index blocks, built when a map opens: level 1
// holds the union of every 16 blocks' boxes, level 2 of every 16 level-1 boxes,
// and so on. The objects of a layer lie in place order, so neighbouring blocks
// lie near each other and a walk held to a box passes over whole runs that
// miss it. Nothing of it is written to the map file.
class CZXS_BlockIndex {
public:
    static constexpr uint32_t kFanOut = 16;

    // From the document's index blocks (fields 0..3 the box); false without
    // the memory, leaving the index empty, when every block is tested alone.
    bool Build(const CFixedCollect& blocks);
    void Free();

    // The first block from `from` up to `limit` (exclusive) whose box meets
    // `box` (normalised; edges count), else `limit`: the same block a walk
    // testing each block in turn would stop at.
    uint32_t NextMeeting(
        const CFixedCollect& blocks, uint32_t from, uint32_t limit, const ZXS_Rect& box) const;

private:
    // m_levels[k] holds the boxes of level k + 1.
    std::vector<std::vector<ZXS_Rect>> m_levels;
};
