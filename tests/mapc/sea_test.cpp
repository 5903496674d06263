// The sea of an extract: coastlines closed along the extract's box with the
// water on their right, islands left as holes; cut into tiles without changing
// what is sea.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/mapc/sea.h"

namespace {

using Ring = std::vector<mapc::Location>;

// Even-odd over all rings, as the renderer fills the parts of one object.
template <class Point> bool InsideAny(const std::vector<std::vector<Point>>& rings, double x, double y)
{
    bool in = false;
    for (const auto& ring : rings) {
        for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const double xi = ring[i].x, yi = ring[i].y, xj = ring[j].x, yj = ring[j].y;
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
    }
    return in;
}

// The box 0..100 x 0..100 (y up), points given as (x, y).
const mapc::GeoBox kBox { 0, 0, 100, 100 };

Ring Line(std::initializer_list<std::pair<int32_t, int32_t>> points)
{
    Ring r;
    for (const auto& [x, y] : points)
        r.push_back({ x, y });
    return r;
}

TEST(Sea, CoastlinesAreClosedAlongTheBoxWithTheWaterOnTheirRight)
{
    struct Case {
        const char* what;
        std::vector<Ring> coasts;
        std::vector<std::pair<double, double>> sea, land;
    } cases[] = {
        { "a coast running east, land to the north", { Line({ { -10, 50 }, { 40, 55 }, { 110, 50 } }) },
            { { 50, 10 }, { 5, 5 }, { 95, 40 } }, { { 50, 90 }, { 5, 95 }, { 95, 60 } } },
        { "the same coast running west: the sea is north", { Line({ { 110, 50 }, { 40, 55 }, { -10, 50 } }) },
            { { 50, 90 }, { 95, 60 } }, { { 50, 10 }, { 95, 40 } } },
        { "a coast ending inside the box is taken on to the nearest edge",
            { Line({ { 2, 30 }, { 50, 30 }, { 98, 30 } }) }, { { 50, 10 } }, { { 50, 60 } } },
        { "a bay: the coast leaves the box and comes back",
            { Line({ { -10, 20 }, { 30, 20 }, { 30, 120 } }),
                Line({ { 70, 120 }, { 70, 20 }, { 110, 20 } }) },
            { { 50, 90 }, { 50, 10 } }, { { 10, 90 }, { 90, 90 } } },
        { "sea in a corner", { Line({ { 110, 60 }, { 60, 60 }, { 60, 110 } }) }, { { 80, 80 } },
            { { 20, 20 }, { 80, 20 }, { 20, 80 } } },
        { "an island in the open sea",
            { Line({ { 40, 40 }, { 60, 40 }, { 60, 60 }, { 40, 60 }, { 40, 40 } }) },
            { { 10, 10 }, { 90, 50 } }, { { 50, 50 } } },
        { "an island off a coast",
            { Line({ { -10, 80 }, { 110, 80 } }),
                Line({ { 40, 20 }, { 60, 20 }, { 60, 40 }, { 40, 40 }, { 40, 20 } }) },
            { { 10, 10 }, { 50, 60 } }, { { 50, 30 }, { 50, 90 } } },
        { "an island cut by the box",
            { Line({ { -20, 40 }, { 30, 40 }, { 30, 60 }, { -20, 60 }, { -20, 40 } }) },
            { { 50, 50 }, { 10, 10 } }, { { 10, 50 } } },
        { "enclosed water", { Line({ { 40, 40 }, { 40, 60 }, { 60, 60 }, { 60, 40 }, { 40, 40 } }) },
            { { 50, 50 } }, { { 10, 10 } } },
    };
    for (const Case& c : cases) {
        const std::vector<Ring> sea = mapc::SeaRings(c.coasts, kBox);
        ASSERT_FALSE(sea.empty()) << c.what;
        for (const Ring& ring : sea) {
            for (const mapc::Location& l : ring)
                EXPECT_TRUE(l.x >= -20 && l.x <= 110 && l.y >= 0 && l.y <= 100) << c.what;
        }
        for (const auto& [x, y] : c.sea)
            EXPECT_TRUE(InsideAny(sea, x, y)) << c.what << ": (" << x << ", " << y << ") is not sea";
        for (const auto& [x, y] : c.land)
            EXPECT_FALSE(InsideAny(sea, x, y)) << c.what << ": (" << x << ", " << y << ") is sea";
    }
    EXPECT_TRUE(mapc::SeaRings({}, kBox).empty()) << "no coast, no sea";
    EXPECT_TRUE(mapc::SeaRings({ Line({ { -10, 50 }, { 110, 50 } }) }, { 0, 0, 0, 100 }).empty()) << "no box";
}

TEST(Sea, CuttingIntoTilesKeepsWhatIsSea)
{
    // A comb with three teeth and a hole, cut by rectangles across the teeth.
    const std::vector<std::vector<ZXS_Point>> rings { { { 0, 0 }, { 100, 0 }, { 100, 100 }, { 80, 100 },
                                                          { 80, 20 }, { 60, 20 }, { 60, 100 }, { 40, 100 },
                                                          { 40, 20 }, { 20, 20 }, { 20, 100 }, { 0, 100 } },
        { { 5, 5 }, { 95, 5 }, { 95, 15 }, { 5, 15 } } };
    for (const ZXS_Rect rect : { ZXS_Rect { 10, 10, 90, 50 }, ZXS_Rect { 30, -10, 70, 110 },
             ZXS_Rect { 25, 30, 35, 90 }, ZXS_Rect { -50, -50, 150, 150 } }) {
        std::vector<std::vector<ZXS_Point>> parts;
        for (const auto& ring : rings) {
            const std::vector<ZXS_Point> part = mapc::ClipRing(ring, rect);
            for (const ZXS_Point& p : part)
                EXPECT_TRUE(p.x >= rect.left && p.x <= rect.right && p.y >= rect.top && p.y <= rect.bottom);
            if (!part.empty())
                parts.push_back(part);
        }
        for (double y = rect.top + 0.5; y < rect.bottom; y += 3) {
            for (double x = rect.left + 0.5; x < rect.right; x += 3)
                EXPECT_EQ(InsideAny(parts, x, y), InsideAny(rings, x, y)) << x << ", " << y;
        }
    }
    EXPECT_TRUE(mapc::ClipRing(rings[0], { 22, 30, 38, 90 }).empty()) << "between two teeth";
}

} // namespace
