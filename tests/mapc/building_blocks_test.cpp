// Buildings merged into blocks: neighbours join, streets stay open,
// courtyards stay holes, and groups too small to be drawn are left out.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/mapc/building_blocks.h"

namespace {

using mapc::Ring;

std::vector<Ring> Rect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return { { { left, top }, { right, top }, { right, bottom }, { left, bottom } } };
}

// Inside the block by the even-odd rule over all its rings, as the renderer fills it.
bool Inside(const std::vector<Ring>& block, double x, double y)
{
    bool inside = false;
    for (const Ring& ring : block) {
        for (size_t k = 0; k < ring.size(); ++k) {
            const ZXS_Point& p = ring[k];
            const ZXS_Point& q = ring[(k + 1) % ring.size()];
            if ((p.y <= y) != (q.y <= y) && x < p.x + (y - p.y) * (double(q.x) - p.x) / (double(q.y) - p.y))
                inside = !inside;
        }
    }
    return inside;
}

int BlocksAround(const std::vector<std::vector<Ring>>& blocks, double x, double y)
{
    int n = 0;
    for (const std::vector<Ring>& b : blocks)
        n += Inside(b, x, y);
    return n;
}

TEST(BuildingBlocks, NeighboursJoinAndStreetsStayOpen)
{
    struct Case {
        const char* name;
        int32_t gap; // metres between two pairs of 20 x 20 buildings side by side
        size_t blocks;
    } const cases[] = {
        { "touching", 0, 1 },
        { "two metres apart", 2, 1 },
        { "across a 15 m street", 15, 2 },
    };
    for (const Case& c : cases) {
        const std::vector<std::vector<Ring>> blocks
            = mapc::BuildingBlocks({ Rect(1000, 1000, 1020, 1020), Rect(1000, 1020, 1020, 1040),
                Rect(1020 + c.gap, 1000, 1040 + c.gap, 1020), Rect(1020 + c.gap, 1020, 1040 + c.gap, 1040) });
        ASSERT_EQ(blocks.size(), c.blocks) << c.name;
        // Each building lies in exactly one block, and the street in none.
        EXPECT_EQ(BlocksAround(blocks, 1010, 1010), 1) << c.name;
        EXPECT_EQ(BlocksAround(blocks, 1030 + c.gap, 1010), 1) << c.name;
        if (c.blocks == 2) {
            EXPECT_EQ(BlocksAround(blocks, 1020 + c.gap / 2.0, 1010), 0) << c.name;
        }
        // The outline keeps to the buildings' within a couple of metres.
        EXPECT_EQ(BlocksAround(blocks, 1010, 1044), 0) << c.name;
        EXPECT_EQ(BlocksAround(blocks, 1010, 1037), 1) << c.name;
    }
}

TEST(BuildingBlocks, ACourtyardLargeEnoughToSeeStaysAHole)
{
    // Four buildings round a courtyard of `yard` metres a side.
    auto frame = [](int32_t yard) {
        const int32_t in = 20, out = 40 + yard;
        return std::vector<std::vector<Ring>> { Rect(0, 0, out, in), Rect(0, in + yard, out, out),
            Rect(0, in, in, in + yard), Rect(in + yard, in, out, in + yard) };
    };
    const auto large = mapc::BuildingBlocks(frame(40));
    ASSERT_EQ(large.size(), 1u);
    EXPECT_EQ(large[0].size(), 2u);
    EXPECT_FALSE(Inside(large[0], 40, 40)) << "the courtyard";
    EXPECT_TRUE(Inside(large[0], 10, 40));
    EXPECT_TRUE(Inside(large[0], 40, 70));

    // A light well too small to see is filled.
    const auto small = mapc::BuildingBlocks(frame(10));
    ASSERT_EQ(small.size(), 1u);
    EXPECT_EQ(small[0].size(), 1u);
    EXPECT_TRUE(Inside(small[0], 25, 25));
}

TEST(BuildingBlocks, SmallGroupsAndLoneBuildingsMakeNoBlock)
{
    // Two sheds too small to be drawn together.
    EXPECT_TRUE(mapc::BuildingBlocks({ Rect(0, 0, 6, 4), Rect(8, 0, 14, 4) }).empty());
    // A building alone is drawn as itself.
    EXPECT_TRUE(mapc::BuildingBlocks({ Rect(0, 0, 60, 40) }).empty());
    EXPECT_TRUE(mapc::BuildingBlocks(std::vector<std::vector<Ring>> {}).empty());
    // A building without an area is no building.
    EXPECT_TRUE(mapc::BuildingBlocks({ { { { 0, 0 }, { 50, 0 } } } }).empty());
}

TEST(BuildingBlocks, SlantedWallsComeOutStraight)
{
    // Two 30 x 30 buildings side by side turned by 30 degrees: the raster's
    // steps are simplified away, leaving the 60 x 30 block's four corners.
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    auto turned = [&](int32_t left) {
        Ring ring;
        for (const auto& [x, y] :
            { std::pair { left, 0 }, { left + 30, 0 }, { left + 30, 30 }, { left, 30 } })
            ring.push_back({ static_cast<int32_t>(std::lround(500 + x * c - y * s)),
                static_cast<int32_t>(std::lround(500 + x * s + y * c)) });
        return std::vector<Ring> { ring };
    };
    const auto blocks = mapc::BuildingBlocks({ turned(0), turned(30) });
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_EQ(blocks[0].size(), 1u);
    EXPECT_LE(blocks[0][0].size(), 6u);
    EXPECT_TRUE(Inside(blocks[0], 500 + 30 * c - 15 * s, 500 + 30 * s + 15 * c));
}

TEST(BuildingBlocks, ALargeGroupIsCutIntoTilesWithoutLosingABuilding)
{
    // A terrace of 30 houses 2 m apart, some 660 m long, in tiles of 96 m.
    std::vector<std::vector<Ring>> terrace;
    for (int32_t k = 0; k < 30; ++k)
        terrace.push_back(Rect(-400 + 22 * k, -10, -380 + 22 * k, 10));
    mapc::BlockOptions options;
    options.tileCells = 64;
    const auto blocks = mapc::BuildingBlocks(terrace, options);
    EXPECT_GE(blocks.size(), 6u);
    for (int32_t k = 0; k < 30; ++k)
        EXPECT_EQ(BlocksAround(blocks, -395 + 22 * k, 0), 1) << "house " << k;
    EXPECT_EQ(mapc::BuildingBlocks(terrace).size(), 1u);
}

TEST(BuildingBlocks, TheSameBuildingsMakeTheSameBlocks)
{
    // A few hundred buildings of a pseudo-random town.
    std::vector<std::vector<Ring>> town;
    uint32_t seed = 12345;
    auto next = [&](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 8) % range);
    };
    for (int k = 0; k < 400; ++k) {
        const int32_t x = next(2000) - 1000, y = next(2000) - 1000;
        town.push_back(Rect(x, y, x + 5 + next(40), y + 5 + next(40)));
    }
    const auto first = mapc::BuildingBlocks(town);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(mapc::BuildingBlocks(town), first);
}

} // namespace
