// The index over the index blocks' boxes stops a walk at the same block as
// testing every block in turn would: for boxes in place order, scattered
// boxes, and damaged boxes whose edges come the wrong way round.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "kernel/doc/block_index.h"
#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/tzx_header.h"

namespace {

void Put(uint8_t* at, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(u >> (8 * i));
}

void Fill(CFixedCollect& blocks, const std::vector<ZXS_Rect>& boxes)
{
    for (const ZXS_Rect& r : boxes) {
        uint8_t record[CZXS_TzxHeader::kIndexBlockSize] = {};
        Put(record, r.left);
        Put(record + 4, r.top);
        Put(record + 8, r.right);
        Put(record + 12, r.bottom);
        EXPECT_GE(blocks.Append(record), 0);
    }
}

bool Meets(const ZXS_Rect& r, const ZXS_Rect& box)
{
    return r.left <= box.right && box.left <= r.right && r.top <= box.bottom && box.top <= r.bottom;
}

uint32_t Linear(const std::vector<ZXS_Rect>& boxes, uint32_t from, uint32_t limit, const ZXS_Rect& box)
{
    limit = std::min<uint32_t>(limit, static_cast<uint32_t>(boxes.size()));
    for (uint32_t b = from; b < limit; ++b) {
        if (Meets(boxes[b], box))
            return b;
    }
    return limit;
}

} // namespace

TEST(BlockIndex, StopsWhereAWalkOfEveryBlockStops)
{
    std::mt19937 random(5);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    // Blocks along a wandering path, as a layer in place order lies, with some
    // spanning the map and some damaged.
    std::vector<ZXS_Rect> boxes;
    int x = 500000, y = 500000;
    for (int b = 0; b < 5000; ++b) {
        x = std::clamp(x + uniform(-3000, 3000), 0, 1000000);
        y = std::clamp(y + uniform(-3000, 3000), 0, 1000000);
        ZXS_Rect r { x, y, x + uniform(0, 4000), y + uniform(0, 4000) };
        if (b % 397 == 0)
            r = { 0, 0, 1000000, 1000000 };
        if (b % 251 == 0)
            std::swap(r.left, r.right);
        boxes.push_back(r);
    }
    CFixedCollect blocks(CZXS_TzxHeader::kIndexBlockSize);
    Fill(blocks, boxes);
    CZXS_BlockIndex index;
    ASSERT_TRUE(index.Build(blocks));
    const CZXS_BlockIndex empty;
    for (int q = 0; q < 3000; ++q) {
        const int cx = uniform(-100000, 1100000), cy = uniform(-100000, 1100000), r = uniform(0, 20000);
        const ZXS_Rect box { cx - r, cy - r, cx + r, cy + r };
        const uint32_t from = static_cast<uint32_t>(uniform(0, 5000));
        const uint32_t limit = q % 3 == 0 ? 6000u : static_cast<uint32_t>(uniform(0, 5000));
        const uint32_t expected = Linear(boxes, from, limit, box);
        ASSERT_EQ(index.NextMeeting(blocks, from, limit, box), expected) << q;
        ASSERT_EQ(empty.NextMeeting(blocks, from, limit, box), expected) << q;
    }
}

TEST(BlockIndex, FewOrNoBlocks)
{
    for (size_t count : { 0, 1, 16, 17 }) {
        std::vector<ZXS_Rect> boxes;
        for (size_t b = 0; b < count; ++b)
            boxes.push_back({ int32_t(b) * 10, 0, int32_t(b) * 10 + 5, 5 });
        CFixedCollect blocks(CZXS_TzxHeader::kIndexBlockSize);
        Fill(blocks, boxes);
        CZXS_BlockIndex index;
        ASSERT_TRUE(index.Build(blocks));
        const uint32_t n = static_cast<uint32_t>(count);
        EXPECT_EQ(index.NextMeeting(blocks, 0, 100, { 1000, 0, 2000, 5 }), n);
        const int32_t last = static_cast<int32_t>(n) * 10 - 10;
        if (count > 0) {
            EXPECT_EQ(index.NextMeeting(blocks, 0, 100, { last, 0, last, 0 }), n - 1);
        }
    }
}
