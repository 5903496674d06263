#include "kernel/render/clipped_image.h"
#include "kernel/render/polygon_filler.h"

#include "kernel/doc/kernel_memory.h"

#include "render_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

using render_test::DumpPng;
using render_test::Picture;
using Rows = std::vector<std::string>;

namespace {

constexpr uint16_t kFill = 0xf800;
const std::map<uint16_t, char> kLegend = { { 0, '.' }, { kFill, '#' } };

// A polygon of one or more parts, kept together with its part lengths.
struct Polygon {
    std::vector<ZXS_ScreenPoint> points;
    std::vector<int16_t> lengths;

    Polygon& Part(std::vector<ZXS_ScreenPoint> part)
    {
        points.insert(points.end(), part.begin(), part.end());
        lengths.push_back(static_cast<int16_t>(part.size()));
        return *this;
    }
    ZXS_PointParts Parts() const
    {
        return { points.data(), lengths.data(), static_cast<int32_t>(lengths.size()) };
    }
};

struct Canvas {
    CZXS_ClippedImage image;
    Canvas(int32_t w, int32_t h) { EXPECT_EQ(image.Create(w, h, 0), 0); }
    Rows Fill(const Polygon& p, uint32_t stipple = CZX_Image::kStippleSolid)
    {
        image.FillPolygon(
            { 0, 0, image.Width() - 1, image.Height() - 1 }, p.Parts(), kFill, stipple, 0, nullptr);
        return Picture(image, kLegend);
    }
};

// Independent even-odd scan of the unclipped polygon with exact crossings at
// the top of each pixel row, under the filler's rule: pixel p of row y is
// inside when an odd number of edges cross row y left of p (an edge covers the
// rows from its upper end up to, not including, its lower end). Returns how
// many pixels of the image differ from that, away from the outline: a pixel
// counts only when no edge passes within a pixel of it over rows y - 1..y + 1.
int64_t MismatchesAwayFromOutline(const CZX_ImageFoundation& image, const Polygon& polygon,
    const ZXS_ScreenRect& clip, int64_t* insidePixels)
{
    struct E {
        double x1, y1, x2, y2;
    };
    std::vector<E> edges;
    size_t start = 0;
    for (int16_t n : polygon.lengths) {
        for (int16_t k = 0; k < n; ++k) {
            const ZXS_ScreenPoint a = polygon.points[start + k];
            const ZXS_ScreenPoint b = polygon.points[start + (k + 1) % n];
            if (a.y != b.y)
                edges.push_back(a.y < b.y ? E { double(a.x), double(a.y), double(b.x), double(b.y) }
                                          : E { double(b.x), double(b.y), double(a.x), double(a.y) });
        }
        start += n;
    }
    const auto xAt = [](const E& e, double y) { return e.x1 + (y - e.y1) * (e.x2 - e.x1) / (e.y2 - e.y1); };
    int64_t mismatches = 0;
    *insidePixels = 0;
    for (int32_t y = clip.top; y <= clip.bottom; ++y) {
        std::vector<double> crossings;
        std::vector<std::pair<double, double>> near; // x ranges of the outline around this row
        for (const E& e : edges) {
            if (e.y1 <= y && y < e.y2)
                crossings.push_back(xAt(e, y));
            const double lo = std::max(e.y1, y - 1.0), hi = std::min(e.y2, y + 1.0);
            if (lo <= hi) {
                const double a = xAt(e, lo), b = xAt(e, hi);
                near.emplace_back(std::min(a, b) - 1, std::max(a, b) + 1);
            }
        }
        for (int32_t x = clip.left; x <= clip.right; ++x) {
            int count = 0;
            for (double c : crossings)
                count += c < x;
            const bool inside = count % 2 == 1;
            *insidePixels += inside;
            if (inside == (image.Surface()->Pixel(x, y) == kFill))
                continue;
            bool onOutline = false;
            for (const auto& [lo, hi] : near)
                onOutline |= lo <= x && x <= hi;
            mismatches += !onOutline;
        }
    }
    return mismatches;
}

} // namespace

TEST(PolygonFiller, TriangleHoleAndStippleGoldenPictures)
{
    // Spans run from one past the left edge to the right edge: row i fills
    // 1..10 - i, and the one-pixel span of row 9 stays empty.
    EXPECT_EQ(Canvas(12, 11).Fill(Polygon().Part({ { 0, 0 }, { 10, 0 }, { 0, 10 } })),
        (Rows {
            ".##########.",
            ".#########..",
            ".########...",
            ".#######....",
            ".######.....",
            ".#####......",
            ".####.......",
            ".###........",
            ".##.........",
            "............",
            "............",
        }));
    // Two parts, one inside the other: even-odd leaves a hole.
    Canvas hole(11, 10);
    EXPECT_EQ(hole.Fill(Polygon()
                            .Part({ { 1, 1 }, { 9, 1 }, { 9, 9 }, { 1, 9 } })
                            .Part({ { 3, 3 }, { 7, 3 }, { 7, 7 }, { 3, 7 } })),
        (Rows {
            "...........",
            "..########.",
            "..########.",
            "..##....##.",
            "..##....##.",
            "..##....##.",
            "..##....##.",
            "..########.",
            "..########.",
            "...........",
        }));
    DumpPng(hole.image, "fill_hole", 16);

    // Two overlapping squares whose edges cross between rows still fill by
    // even-odd: the overlap is a hole.
    EXPECT_EQ(Canvas(10, 8).Fill(Polygon()
                                     .Part({ { 0, 0 }, { 6, 0 }, { 6, 6 }, { 0, 6 } })
                                     .Part({ { 3, 2 }, { 9, 2 }, { 9, 8 }, { 3, 8 } })),
        (Rows {
            ".######...",
            ".######...",
            ".###...###",
            ".###...###",
            ".###...###",
            ".###...###",
            "....######",
            "....######",
        }));

    Canvas stippled(3, 32);
    const Rows rows
        = stippled.Fill(Polygon().Part({ { -1, 0 }, { 2, 0 }, { 2, 32 }, { -1, 32 } }), 0x50505050);
    for (int32_t y = 0; y < 32; ++y) {
        const bool filled = y % 8 == 4 || y % 8 == 6;
        EXPECT_EQ(rows[y], filled ? "###" : "...") << "row " << y;
    }
}

TEST(PolygonFiller, ClipsAtTheSidesAndFillsNothingOutside)
{
    const ZXS_ScreenRect clip = { 3, 1, 8, 6 };
    Canvas left(12, 8);
    left.image.FillPolygon(clip, Polygon().Part({ { -20, 0 }, { 2, 0 }, { 2, 8 }, { -20, 8 } }).Parts(),
        kFill, CZX_Image::kStippleSolid, 0, nullptr);
    EXPECT_EQ(Picture(left.image, kLegend), Rows(8, "............"));

    Canvas straddling(12, 8);
    straddling.image.FillPolygon(clip,
        Polygon().Part({ { -20, -5 }, { 5, -5 }, { 5, 30 }, { -20, 30 } }).Parts(), kFill,
        CZX_Image::kStippleSolid, 0, nullptr);
    EXPECT_EQ(Picture(straddling.image, kLegend),
        (Rows {
            "............",
            "...###......",
            "...###......",
            "...###......",
            "...###......",
            "...###......",
            "...###......",
            "............",
        }));

    // A rectangle given larger than the image is cut to it.
    Canvas big(4, 3);
    big.image.FillPolygon({ -100, -100, 100, 100 },
        Polygon().Part({ { -50, -50 }, { 50, -50 }, { 50, 50 }, { -50, 50 } }).Parts(), kFill,
        CZX_Image::kStippleSolid, 0, nullptr);
    EXPECT_EQ(Picture(big.image, kLegend), Rows(3, "####"));
}

TEST(PolygonFiller, HeavilyClippedPolygonsMatchAReferenceScan)
{
    const int32_t far = 1 << 29;
    struct Case {
        const char* name;
        Polygon polygon;
        ZXS_ScreenRect clip;
    };
    std::vector<Case> cases;
    {
        // A five-pointed star, self-crossing, much larger than the clip.
        Polygon star;
        std::vector<ZXS_ScreenPoint> p;
        for (int k = 0; k < 5; ++k) {
            const double a = -M_PI / 2 + k * 4 * M_PI / 5;
            p.push_back({ static_cast<int32_t>(std::lround(60 + 150 * std::cos(a))),
                static_cast<int32_t>(std::lround(70 + 150 * std::sin(a))) });
        }
        cases.push_back({ "star", star.Part(p), { 10, 15, 109, 94 } });
    }
    // Corners at the deepest zoom's reach: crossings overflow 32-bit products.
    cases.push_back({ "far", Polygon().Part({ { -far, -far + 7 }, { far, far + 41 }, { -far + 3, far } }),
        { 0, 0, 119, 79 } });
    cases.push_back(
        { "far thin wedge", Polygon().Part({ { -far, 30 }, { far, 50 }, { far, 52 } }), { 0, 0, 119, 79 } });
    {
        // A zig-zag whose every edge crosses both sides: three stored edges per
        // point, 4503 in all, more than a table sized for the points (4096) holds.
        Polygon zigzag;
        std::vector<ZXS_ScreenPoint> p;
        for (int32_t k = 0; k <= 1500; ++k)
            p.push_back({ k % 2 == 0 ? -30 : 130, 10 * k });
        cases.push_back({ "zigzag", zigzag.Part(p), { 0, 0, 99, 15009 } });
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(c.clip.right + 11, c.clip.bottom + 11);
        canvas.image.FillPolygon(c.clip, c.polygon.Parts(), kFill, CZX_Image::kStippleSolid, 0, nullptr);
        int64_t inside = 0;
        EXPECT_EQ(MismatchesAwayFromOutline(canvas.image, c.polygon, c.clip, &inside), 0);
        EXPECT_GT(inside, 100);
        // Nothing outside the clip rectangle.
        const CZX_Surface565& s = *canvas.image.Surface();
        int64_t outside = 0;
        for (int32_t y = 0; y < s.Height(); ++y)
            for (int32_t x = 0; x < s.Width(); ++x)
                outside += (x < c.clip.left || x > c.clip.right || y < c.clip.top || y > c.clip.bottom)
                    && s.Pixel(x, y) != 0;
        EXPECT_EQ(outside, 0);
        if (c.clip.bottom < 1000)
            DumpPng(canvas.image, std::string("fill_") + c.name, 4);
    }
}

TEST(PolygonFiller, LabelAccumulatorFindsTheWidestSpanInsideTheBand)
{
    struct Case {
        int32_t margin;
        CZXS_LabelAccumulator expected;
    };
    // A 20 x 10 rectangle, band box (0, 0)-(15, 9).
    CZXS_LabelAccumulator start;
    start.bandRight = 15;
    start.bandBottom = 9;
    const auto with = [&](int32_t widestX, int32_t widestRow, int32_t width, int32_t firstX, int32_t firstRow,
                          int32_t lastX, int32_t lastRow) {
        CZXS_LabelAccumulator a = start;
        a.widestX = widestX;
        a.widestRow = widestRow;
        a.widestWidth = width;
        a.firstMidX = firstX;
        a.firstMidRow = firstRow;
        a.lastMidX = lastX;
        a.lastMidRow = lastRow;
        a.leftmostX = 1;
        a.leftmostRow = 0;
        a.rightmostX = 20;
        a.rightmostRow = 0;
        return a;
    };
    const Case cases[] = {
        { 0, with(1, 1, 14, 8, 1, 8, 7) }, // rows strictly between 0 and 8
        { 2, with(1, 4, 14, 8, 4, 8, 5) }, // rows strictly between 3 and 6
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.margin);
        Canvas canvas(30, 12);
        CZXS_LabelAccumulator a = start;
        canvas.image.FillPolygon({ 0, 0, 29, 11 },
            Polygon().Part({ { 0, 0 }, { 20, 0 }, { 20, 10 }, { 0, 10 } }).Parts(), kFill,
            CZX_Image::kStippleSolid, c.margin, &a);
        const CZXS_LabelAccumulator& e = c.expected;
        EXPECT_EQ(a.widestX, e.widestX);
        EXPECT_EQ(a.widestRow, e.widestRow);
        EXPECT_EQ(a.widestWidth, e.widestWidth);
        EXPECT_EQ(a.firstMidX, e.firstMidX);
        EXPECT_EQ(a.firstMidRow, e.firstMidRow);
        EXPECT_EQ(a.lastMidX, e.lastMidX);
        EXPECT_EQ(a.lastMidRow, e.lastMidRow);
        EXPECT_EQ(a.leftmostX, e.leftmostX);
        EXPECT_EQ(a.leftmostRow, e.leftmostRow);
        EXPECT_EQ(a.rightmostX, e.rightmostX);
        EXPECT_EQ(a.rightmostRow, e.rightmostRow);
    }
}

TEST(PolygonFiller, LimitsAndFailures)
{
    // 300 slivers from row 0 to 20 and 100 more from row 10: at row 10 the
    // active list would pass its limit, so the fill stops there.
    Polygon slivers;
    for (int32_t k = 0; k < 400; ++k) {
        const int32_t top = k < 300 ? 0 : 10;
        slivers.Part({ { 3 * k, top }, { 3 * k + 2, top }, { 3 * k + 2, 20 }, { 3 * k, 20 } });
    }
    Canvas limited(1200, 21);
    const Rows rows = limited.Fill(slivers);
    EXPECT_EQ(rows[9].substr(0, 6), ".##.##");
    EXPECT_EQ(rows[10], std::string(1200, '.'));

    Polygon tooMany;
    for (int32_t k = 0; k <= CZX_Image::kMaxFillParts; ++k)
        tooMany.Part({ { 0, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } });
    EXPECT_EQ(Canvas(5, 5).Fill(tooMany), Rows(5, "....."));
    EXPECT_EQ(Canvas(5, 5).Fill(Polygon()), Rows(5, "....."));

    Canvas starved(5, 5);
    ZXS_FailNextAllocations(1);
    EXPECT_EQ(starved.Fill(Polygon().Part({ { 0, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } })), Rows(5, "....."));
    ZXS_FailNextAllocations(0);
    EXPECT_EQ(starved.image.GetError(), 7);
    // The next fill gets its table and draws.
    EXPECT_EQ(starved.Fill(Polygon().Part({ { 0, 0 }, { 4, 0 }, { 4, 4 }, { 0, 4 } }))[1], ".####");
}

TEST(PolygonFiller, EdgeOrderAndEdgeClipping)
{
    using E = CZX_Image::Edge;
    EXPECT_LT(CompareEdges(E { 5, 1, 0, 9 }, E { 0, 2, 0, 9 }), 0); // smaller y1
    EXPECT_LT(CompareEdges(E { 0, 1, 0, 9 }, E { 5, 1, 0, 9 }), 0); // smaller x1
    EXPECT_LT(CompareEdges(E { 0, 1, -8, 9 }, E { 0, 1, 8, 9 }), 0); // smaller inverse slope
    EXPECT_LT(CompareEdges(E { 0, 1, 0, 20 }, E { 0, 1, 0, 9 }), 0); // larger y2
    EXPECT_EQ(CompareEdges(E { 0, 1, 0, 9 }, E { 0, 1, 0, 9 }), 0);

    const ZXS_ScreenRect clip = { 10, 0, 20, 100 };
    E out[3];
    // Crossing both sides: a vertical piece at left - 1, the middle, a vertical piece at right.
    ASSERT_EQ(ClipEdge(clip, { 0, 0 }, { 30, 30 }, out), 3);
    EXPECT_EQ((std::vector<int32_t> { out[0].x1, out[0].y1, out[0].x2, out[0].y2 }),
        (std::vector<int32_t> { 9, 0, 9, 10 }));
    EXPECT_EQ((std::vector<int32_t> { out[1].x1, out[1].y1, out[1].x2, out[1].y2 }),
        (std::vector<int32_t> { 20, 20, 20, 30 }));
    EXPECT_EQ((std::vector<int32_t> { out[2].x1, out[2].y1, out[2].x2, out[2].y2 }),
        (std::vector<int32_t> { 10, 10, 20, 20 }));
    EXPECT_EQ(ClipEdge(clip, { 0, 5 }, { 30, 5 }, out), 0); // horizontal
    ASSERT_EQ(ClipEdge(clip, { 10, 50 }, { 10, 40 }, out), 1); // vertical on the left side stays
    EXPECT_EQ(out[0].x1, 10);
    EXPECT_EQ(out[0].y1, 40);
    ASSERT_EQ(ClipEdge(clip, { 2, 50 }, { 10, 40 }, out), 1); // ends on the left side: whole left
    EXPECT_EQ(out[0].x1, 9);
    // Starts on the right side and leaves it: kept as a vertical edge over its
    // rows (as a clipped segment it would shrink to a point and upset the parity).
    ASSERT_EQ(ClipEdge(clip, { 20, 10 }, { 40, 30 }, out), 1);
    EXPECT_EQ((std::vector<int32_t> { out[0].x1, out[0].y1, out[0].x2, out[0].y2 }),
        (std::vector<int32_t> { 20, 10, 20, 30 }));
    ASSERT_EQ(ClipEdge(clip, { 25, -50 }, { 40, 200 }, out), 1); // right, cut to the rows
    EXPECT_EQ((std::vector<int32_t> { out[0].x1, out[0].y1, out[0].x2, out[0].y2 }),
        (std::vector<int32_t> { 20, 0, 20, 100 }));
}
