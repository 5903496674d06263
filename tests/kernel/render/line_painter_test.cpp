#include "kernel/render/clipped_image.h"
#include "kernel/render/line_painter.h"

#include "render_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

using render_test::DumpPng;
using render_test::Picture;
using Rows = std::vector<std::string>;

namespace {

constexpr uint16_t kBlack = 0;
constexpr uint16_t kWhite = CZX_Surface565::Colour565(255, 255, 255);
constexpr uint16_t kRed = CZX_Surface565::Colour565(255, 0, 0);
constexpr uint16_t kBlue = CZX_Surface565::Colour565(0, 0, 255);
// White blended over black at a quarter, half and three quarters (alpha 64, 128, 192).
constexpr uint16_t kQuarter = (7 << 11) | (15 << 5) | 7;
constexpr uint16_t kHalf = (15 << 11) | (31 << 5) | 15;
constexpr uint16_t kThreeQuarters = (23 << 11) | (47 << 5) | 23;

const std::map<uint16_t, char> kLegend = { { kBlack, '.' }, { kWhite, '#' }, { kRed, 'r' }, { kBlue, 'b' },
    { kQuarter, '1' }, { kHalf, '2' }, { kThreeQuarters, '3' } };

struct Canvas {
    CZXS_ClippedImage image;
    Canvas(int32_t w, int32_t h, bool antialiased, uint16_t width = 1, uint16_t centreWidth = 0)
    {
        EXPECT_EQ(image.Create(w, h, 0), 0);
        image.SetAntialiased(antialiased);
        CZX_Image::Pen pen;
        pen.outerColour = kWhite;
        pen.centreColour = kRed;
        pen.outerWidth = width;
        pen.centreWidth = centreWidth;
        image.SetPen(pen);
    }
    Rows Draw(const ZXS_Segment& s)
    {
        image.DrawLine(s);
        return Picture(image, kLegend);
    }
};

} // namespace

TEST(LinePainter, PlainLinesFollowBresenhamWithRunsAcrossTheMainAxis)
{
    EXPECT_EQ(Canvas(10, 6, false).Draw({ 1, 1, 8, 4 }),
        (Rows {
            "..........",
            ".##.......",
            "...##.....",
            ".....##...",
            ".......##.",
            "..........",
        }));
    // Width 3, mostly vertical: the first point alone, then runs of 2 * (3 >> 1) + 1 across.
    EXPECT_EQ(Canvas(6, 8, false, 3).Draw({ 2, 1, 3, 6 }),
        (Rows {
            "......",
            "..#...",
            ".###..",
            ".###..",
            "..###.",
            "..###.",
            "..###.",
            "......",
        }));
    EXPECT_EQ(Canvas(3, 3, false, 0).Draw({ 0, 0, 2, 2 }), (Rows { "...", "...", "..." }));
}

TEST(LinePainter, AntialiasedLinesBlendTheBandEdgesByTheFraction)
{
    // Slope 1/4: the fraction runs 0, 1/4, 1/2, 3/4 along each pixel step.
    Canvas thin(9, 4, true);
    EXPECT_EQ(thin.Draw({ 0, 0, 8, 2 }),
        (Rows {
            "#321.....",
            ".123#321.",
            ".....123#",
            ".........",
        }));
    // The same line drawn from its other end is the same picture.
    EXPECT_EQ(Canvas(9, 4, true).Draw({ 8, 2, 0, 0 }), Picture(thin.image, kLegend));

    // At an integral y a band of width 5 covers exactly 5 rows; a centre band of
    // width 1 takes its middle row.
    Canvas banded(4, 10, true, 5, 1);
    EXPECT_EQ(banded.Draw({ 0, 5, 3, 5 }),
        (Rows {
            "....",
            "....",
            "....",
            "####",
            "####",
            "rrrr",
            "####",
            "####",
            "....",
            "....",
        }));
    DumpPng(banded.image, "aa_banded", 16);

    // Mostly vertical: the same rule with x and y exchanged.
    EXPECT_EQ(Canvas(4, 9, true).Draw({ 0, 0, 2, 8 }),
        (Rows {
            "#...",
            "31..",
            "22..",
            "13..",
            ".#..",
            ".31.",
            ".22.",
            ".13.",
            "..#.",
        }));
    EXPECT_EQ(Canvas(3, 3, true).Draw({ 1, 1, 1, 1 }), (Rows { "...", ".#.", "..." }));
}

TEST(LinePainter, ThickAntialiasedLinesAreTheSameFromEitherEnd)
{
    // A fan of lines at every 10 degrees in three widths (with centre bands):
    // drawn from either end, each gives the same pixels.
    CZXS_ClippedImage fan;
    ASSERT_EQ(fan.Create(200, 200, 0x00f0f0f0), 0);
    fan.SetAntialiased(true);
    for (const auto& [width, centre] : { std::pair<uint16_t, uint16_t> { 1, 0 }, { 5, 1 }, { 11, 5 } }) {
        for (int degrees = 0; degrees <= 90; degrees += 10) {
            const double a = degrees * M_PI / 180;
            const ZXS_Segment s = { 10, 10, 10 + static_cast<int32_t>(std::lround(60 * std::cos(a))),
                10 + static_cast<int32_t>(std::lround(60 * std::sin(a))) };
            Canvas forward(80, 80, true, width, centre), backward(80, 80, true, width, centre);
            EXPECT_EQ(forward.Draw(s), backward.Draw({ s.x2, s.y2, s.x1, s.y1 }))
                << width << " at " << degrees;

            CZX_Image::Pen pen;
            pen.outerColour = CZX_Surface565::Colour565(40, 40, 160);
            pen.centreColour = CZX_Surface565::Colour565(255, 220, 0);
            pen.outerWidth = width;
            pen.centreWidth = centre;
            fan.SetPen(pen);
            const int32_t ox = width == 1 ? 10 : width == 5 ? 80 : 140, oy = width == 1 ? 10 : 80;
            fan.DrawLine({ ox, oy, ox + s.x2 - 10, oy + s.y2 - 10 });
        }
    }
    DumpPng(fan, "aa_fan", 4);
}

TEST(LinePainter, DashMaskGivesEightStepsOnAndEightOff)
{
    Canvas dashed(48, 1, true);
    dashed.image.GetPen().outerDash = 0xff00ff00;
    EXPECT_EQ(dashed.Draw({ 0, 0, 47, 0 }), (Rows { ".......########........########........########." }));
    // The counter runs on across segments, so a polyline keeps its rhythm.
    Canvas polyline(48, 1, true);
    polyline.image.GetPen().outerDash = 0xff00ff00;
    const ZXS_ScreenPoint points[] = { { 0, 0 }, { 10, 0 }, { 11, 0 }, { 47, 0 } };
    polyline.image.DrawPolyline(points, 4);
    // Shared ends are stepped twice: each joint delays the pattern by one step.
    EXPECT_EQ(
        Picture(polyline.image, kLegend), (Rows { ".......######........########........########..." }));

    // The centre band has its own mask; the outer band goes on under its gaps.
    Canvas centre(16, 4, true, 3, 1);
    centre.image.GetPen().centreDash = 0xf0f0f0f0;
    EXPECT_EQ(centre.Draw({ 0, 1, 15, 1 }),
        (Rows {
            "################",
            "###rrrr####rrrr#",
            "################",
            "................",
        }));
}

TEST(LinePainter, SegmentsFarOffScreenClipWithoutOverflow)
{
    const int32_t far = 1 << 29;
    // y = x + 5 from far above-left to far below-right.
    EXPECT_EQ(Canvas(10, 10, false).Draw({ -far, -far + 5, far, far + 5 }),
        (Rows {
            "..........",
            "..........",
            "..........",
            "..........",
            "..........",
            "#.........",
            ".#........",
            "..#.......",
            "...#......",
            "....#.....",
        }));
    // Almost level over 2^30 pixels: 32-bit products of the crossing would wrap.
    EXPECT_EQ(Canvas(10, 8, false).Draw({ -far, 3, far, 7 }),
        (Rows { "..........", "..........", "..........", "..........", "..........", "##########",
            "..........", ".........." }));
    EXPECT_EQ(Canvas(10, 8, true).Draw({ INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MAX }),
        (Rows(8, "..........")));

    struct Case {
        ZXS_Segment in;
        int result;
        ZXS_Segment out;
    };
    const ZXS_ScreenRect rect = { 0, 0, 99, 49 };
    const Case cases[] = {
        { { -10, 5, -1, 40 }, 0, {} }, // both left
        { { 5, -3, 90, -1 }, 0, {} }, // both above
        { { 10, 10, 20, 20 }, 1, { 10, 10, 20, 20 } }, // inside
        { { -100, 0, 100, 50 }, 1, { 0, 25, 96, 49 } }, { { 50, -far, 50, far }, 1, { 50, 0, 50, 49 } },
        { { -far, -far, far, far }, 1, { 0, 0, 49, 49 } },
        { { 120, 60, 150, 100 }, 0, {} }, // outside, on no single side of a corner test
        { { 100, 25, 0, 75 }, 1, { 99, 25, 52, 49 } }, // crossings truncate toward zero
    };
    for (const Case& c : cases) {
        ZXS_Segment s = c.in;
        SCOPED_TRACE(testing::Message() << c.in.x1 << "," << c.in.y1 << " " << c.in.x2 << "," << c.in.y2);
        ASSERT_EQ(ClipSegment(rect, s), c.result);
        if (c.result == 1) {
            EXPECT_EQ(s.x1, c.out.x1);
            EXPECT_EQ(s.y1, c.out.y1);
            EXPECT_EQ(s.x2, c.out.x2);
            EXPECT_EQ(s.y2, c.out.y2);
        }
    }

    ZXS_ScreenPoint p = { -far, 0 }, q = { far, 1000 };
    ASSERT_EQ(ClipHalfPlane(p, q, 0, false), 1);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(q.y, 500);
    EXPECT_EQ(p.x, -far);
    ZXS_ScreenPoint a = { 5, 0 }, b = { 9, 3 };
    EXPECT_EQ(ClipHalfPlane(a, b, 4, false), 0);
    EXPECT_EQ(ClipHalfPlane(a, b, 4, true), 1);
    EXPECT_EQ(a.x, 5);
}

TEST(LinePainter, OctantsLengthsAndArrowheads)
{
    struct OctantCase {
        ZXS_Segment s;
        int32_t octant;
    };
    const OctantCase octants[] = { { { 0, 0, 10, -4 }, 2 }, { { 0, 0, 10, -5 }, 1 }, { { 0, 0, 0, -7 }, 0 },
        { { 0, 0, 6, 6 }, 3 }, { { 0, 0, 0, 9 }, 4 }, { { 0, 0, -6, 6 }, 5 }, { { 0, 0, -9, 1 }, 6 },
        { { 0, 0, -6, -6 }, 7 }, { { 0, 0, 0, 0 }, 0 } };
    for (const OctantCase& c : octants)
        EXPECT_EQ(SegmentOctant(c.s), c.octant) << c.s.x2 << "," << c.s.y2;

    struct RootCase {
        int64_t dx, dy, root;
    };
    const RootCase roots[] = { { 0, 0, 0 }, { 3, 4, 5 }, { -3, 4, 5 }, { 1, 1, 1 }, { 2, 2, 3 }, { 5, 5, 7 },
        { 1, 2, 2 }, { 10, 0, 10 }, { 3, 3, 4 }, { 300, 400, 500 }, { 1LL << 32, 0, 1LL << 32 } };
    for (const RootCase& c : roots)
        EXPECT_EQ(IntSqrt(c.dx, c.dy), c.root) << c.dx << "," << c.dy;
    EXPECT_EQ(ManhattanLength({ 3, -4, -2, 6 }), 15);

    std::array<ZXS_ScreenPoint, 4> head;
    ASSERT_EQ(ArrowheadPoints({ 0, 0, 20, 0 }, 9, 4, true, head), 4);
    EXPECT_EQ(head[0].x, 11);
    EXPECT_EQ(head[0].y, -4);
    EXPECT_EQ(head[1].x, 20);
    EXPECT_EQ(head[1].y, 0);
    EXPECT_EQ(head[2].x, 11);
    EXPECT_EQ(head[2].y, 4);
    EXPECT_EQ(head[3].x, 11);
    EXPECT_EQ(head[3].y, -4);
    EXPECT_EQ(ArrowheadPoints({ 0, 0, 20, 0 }, 9, 4, false, head), 3);
    EXPECT_EQ(ArrowheadPoints({ 7, 7, 7, 7 }, 9, 4, true, head), 0);

    Canvas zero(5, 5, false);
    zero.image.DrawArrowhead({ 2, 2, 2, 2 }, 9, 4, true);
    EXPECT_EQ(Picture(zero.image, kLegend), Rows(5, "....."));

    // A backward head points at the segment's first end.
    Canvas back(9, 9, false);
    back.image.DrawArrowheadBackward({ 1, 4, 20, 4 }, 6, 3, false);
    EXPECT_EQ(Picture(back.image, kLegend),
        (Rows {
            ".........",
            ".......#.",
            ".....##..",
            "...##....",
            ".##......",
            "..##.....",
            "....##...",
            "......##.",
            ".........",
        }));
}

TEST(LinePainter, DirectionSymbolsAreCutAtTheImageEdges)
{
    // Symbol 2 (right) whole, its hotspot (8, 4) on (9, 5).
    Canvas whole(11, 11, false);
    whole.image.DrawSymbol(9, 5, 2, kBlue);
    EXPECT_EQ(Picture(whole.image, kLegend),
        (Rows {
            "...........",
            "...#b##....",
            "...#bb##...",
            "...#bbb##..",
            "...#bbbb#..",
            "...#bbbbb..",
            "...#bbbb#..",
            "...#bbb##..",
            "...#bb##...",
            "...#b##....",
            "...........",
        }));
    // Symbol 0 (up), hotspot (4, 0), at the top-left corner: only its right half shows.
    Canvas corner(6, 7, false);
    corner.image.DrawSymbol(0, 0, 0, kBlue);
    EXPECT_EQ(Picture(corner.image, kLegend),
        (Rows {
            "##....",
            "b##...",
            "bb##..",
            "bbb##.",
            "bbbb#.",
            "bbbbb.",
            "#####.",
        }));
    // Symbol 3 (down-right), hotspot (8, 8), on the bottom-right pixel reaches the
    // last row and column.
    Canvas edge(5, 5, false);
    edge.image.DrawSymbol(4, 4, 3, kBlue);
    EXPECT_EQ(Picture(edge.image, kLegend),
        (Rows {
            "bbbb#",
            "bbbb#",
            "bbbb#",
            "bbbb#",
            "#####",
        }));
    Canvas gone(5, 5, false);
    gone.image.DrawSymbol(-5, 2, 0, kBlue); // nine pixels left of the edge
    gone.image.DrawSymbol(2, 2, 8, kBlue); // no such symbol
    EXPECT_EQ(Picture(gone.image, kLegend), Rows(5, "....."));
}

TEST(LinePainter, RectanglesAndClippedImagesStayInside)
{
    Canvas rect(6, 5, false);
    rect.image.DrawRect(1, 1, 4, 3);
    EXPECT_EQ(Picture(rect.image, kLegend), (Rows { "......", ".####.", ".#..#.", ".####.", "......" }));

    Canvas clipped(6, 5, true, 3);
    clipped.image.SetClipRect({ 2, 1, 3, 20 });
    EXPECT_EQ(clipped.image.ClipRect().bottom, 4);
    clipped.image.DrawLine({ -50, 2, 50, 2 });
    EXPECT_EQ(Picture(clipped.image, kLegend), (Rows { "......", "..##..", "..##..", "..##..", "......" }));
    EXPECT_EQ(clipped.image.Colour(CZXS_ClippedImage::kWhite), kWhite);
    EXPECT_EQ(clipped.image.Colour(CZXS_ClippedImage::kRed), kRed);

    // The unclipped image never writes outside its surface, however far the line.
    CZX_Image plain;
    ASSERT_EQ(plain.Create(4, 4, 0), 0);
    CZX_Image::Pen pen;
    pen.outerColour = kWhite;
    pen.outerWidth = 9;
    plain.SetPen(pen);
    plain.SetAntialiased(true);
    plain.DrawLine({ -1000, -3, 1000, 6 });
    plain.SetAntialiased(false);
    plain.DrawLine({ -3, -1000, 6, 1000 });
    EXPECT_EQ(Picture(plain, kLegend), Rows(4, "####"));
    // Ends at the far corners of the 32-bit plane take no more steps than the image is wide.
    plain.FillRect(0, 0, 3, 3, kBlack);
    pen.outerWidth = 1;
    plain.SetPen(pen);
    plain.DrawLine({ INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX });
    EXPECT_EQ(Picture(plain, kLegend), (Rows { "#...", ".#..", "..#.", "...#" }));
}
