// Ways joined into lines, and lines simplified.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/mapc/lines.h"

namespace {

TEST(Lines, WaysJoinEndToStartAndTurnOnlyWhenAsked)
{
    const std::vector<std::vector<int64_t>> ways { { 3, 4, 5 }, { 1, 2, 3 }, { 7, 5 }, { 5, 6 } };
    const auto kept = mapc::JoinLines(ways, false);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], (std::vector<int64_t> { 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(kept[1], (std::vector<int64_t> { 7, 5 }));
    EXPECT_EQ(mapc::JoinLines({ { 1, 2 }, { 3, 2 }, { 3, 4 } }, true),
        (std::vector<std::vector<int64_t>> { { 1, 2, 3, 4 } }));
    EXPECT_EQ(mapc::JoinLines({ { 1, 2 }, { 3, 2 }, { 3, 4 } }, false).size(), 3u);
    // A ring closes with its first node repeated; a way of one node is left out.
    EXPECT_EQ(mapc::JoinLines({ { 2, 3 }, { 8 }, { 3, 1 }, { 1, 2 } }, false),
        (std::vector<std::vector<int64_t>> { { 2, 3, 1, 2 } }));
}

// Every dropped point lies within the tolerance of the kept line, and a point
// farther off stays.
TEST(Lines, SimplifyingKeepsThePointsThatStrayTooFar)
{
    std::vector<ZXS_Point> line;
    for (int i = 0; i <= 200; ++i)
        line.push_back({ i * 10, static_cast<int32_t>(std::lround(30 * std::sin(i / 15.0))) });
    line.push_back({ 2010, 400 }); // a sharp turn at the end
    line.push_back({ 2020, 0 });
    for (const double tolerance : { 2.0, 8.0, 20.0 }) {
        const std::vector<size_t> kept = mapc::Simplify(line, tolerance);
        ASSERT_GE(kept.size(), 2u);
        EXPECT_EQ(kept.front(), 0u);
        EXPECT_EQ(kept.back(), line.size() - 1);
        EXPECT_LT(kept.size(), line.size()) << tolerance;
        EXPECT_NE(std::find(kept.begin(), kept.end(), line.size() - 2), kept.end()) << "the turn stays";
        for (size_t k = 0; k + 1 < kept.size(); ++k) {
            const ZXS_Point a = line[kept[k]], b = line[kept[k + 1]];
            for (size_t i = kept[k] + 1; i < kept[k + 1]; ++i) {
                const double dx = b.x - a.x, dy = b.y - a.y;
                const double d
                    = std::fabs((line[i].x - a.x) * dy - (line[i].y - a.y) * dx) / std::hypot(dx, dy);
                EXPECT_LE(d, tolerance) << "point " << i;
            }
        }
    }
    EXPECT_EQ(mapc::Simplify({ { 0, 0 }, { 5, 5 } }, 10).size(), 2u);
    // A line that comes back to its start keeps its far end.
    EXPECT_EQ(
        mapc::Simplify({ { 0, 0 }, { 50, 0 }, { 100, 0 }, { 0, 1 } }, 2), (std::vector<size_t> { 0, 2, 3 }));
}

} // namespace
