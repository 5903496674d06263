#include "kernel/doc/block_index.h"

#include <algorithm>
#include <new>

#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/little_endian.h"

namespace {

ZXS_Rect BlockBox(const CFixedCollect& blocks, uint32_t block)
{
    const uint8_t* b = blocks.Item(block);
    return { static_cast<int32_t>(ZXS_Le32(b)), static_cast<int32_t>(ZXS_Le32(b + 4)),
        static_cast<int32_t>(ZXS_Le32(b + 8)), static_cast<int32_t>(ZXS_Le32(b + 12)) };
}

// The test a walk makes of one block, whatever order the box's edges come in:
// a union of boxes meets whenever one of them does.
bool Meets(const ZXS_Rect& r, const ZXS_Rect& box)
{
    return r.left <= box.right && box.left <= r.right && r.top <= box.bottom && box.top <= r.bottom;
}

ZXS_Rect Union(const ZXS_Rect& a, const ZXS_Rect& b)
{
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

} // namespace

bool CZXS_BlockIndex::Build(const CFixedCollect& blocks)
{
    Free();
    try {
        uint32_t count = blocks.Count();
        std::vector<ZXS_Rect> below;
        for (uint32_t b = 0; b < count; ++b)
            below.push_back(BlockBox(blocks, b));
        while (count > 1) {
            std::vector<ZXS_Rect> level((count + kFanOut - 1) / kFanOut);
            for (uint32_t i = 0; i < count; ++i)
                level[i / kFanOut] = i % kFanOut == 0 ? below[i] : Union(level[i / kFanOut], below[i]);
            count = static_cast<uint32_t>(level.size());
            below = level;
            m_levels.push_back(std::move(level));
        }
    } catch (const std::bad_alloc&) {
        Free();
        return false;
    }
    return true;
}

void CZXS_BlockIndex::Free()
{
    m_levels.clear();
    m_levels.shrink_to_fit();
}

uint32_t CZXS_BlockIndex::NextMeeting(
    const CFixedCollect& blocks, uint32_t from, uint32_t limit, const ZXS_Rect& box) const
{
    limit = std::min(limit, blocks.Count());
    uint32_t block = from;
    while (block < limit) {
        // The largest run starting here that misses the box is passed over whole.
        uint32_t skip = 0;
        uint32_t span = 1;
        for (const std::vector<ZXS_Rect>& level : m_levels) {
            span *= kFanOut;
            if (block % span != 0 || block / span >= level.size() || Meets(level[block / span], box))
                break;
            skip = span;
        }
        if (skip != 0) {
            block += skip;
            continue;
        }
        if (Meets(BlockBox(blocks, block), box))
            return block;
        ++block;
    }
    return limit;
}
