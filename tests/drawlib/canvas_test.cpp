#include "surface_fixture.h"

#include <gtest/gtest.h>

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint16_t kWhitePixel = 0xFFFF;
}

TEST(Rgb565, PackUnpackAndBlend)
{
    EXPECT_EQ(PackRGB565(255, 255, 255), 0xFFFF);
    EXPECT_EQ(PackRGB565(8, 4, 8), 0x0821);
    EXPECT_EQ(UnpackRed(0xFFFF), 248u);
    EXPECT_EQ(UnpackGreen(0xFFFF), 252u);
    EXPECT_EQ(UnpackBlue(0xFFFF), 248u);
    const uint16_t half = BlendPixel(0x0000, 0xFFFF, 128);
    EXPECT_EQ(half >> 11, 15);
    EXPECT_EQ((half >> 5) & 0x3F, 31);
    EXPECT_EQ(half & 0x1F, 15);
    EXPECT_EQ(FillValue(0xF81F), 0xF81FF81Fu);
}

TEST(OrientTransform, AcceptsQuarterTurnsAndMirrorsOnly)
{
    COrientTransform t;
    ASSERT_TRUE(t.SetFromPoints(0, 9, 1, 9, 0, 8, 0, 2));
    EXPECT_EQ(t.m00, 1);
    EXPECT_EQ(t.m01, 0);
    EXPECT_EQ(t.m10, 0);
    EXPECT_EQ(t.m11, -1);
    EXPECT_EQ(t.tx, 0);
    EXPECT_EQ(t.ty, 9);
    int x = 3, y = 4;
    t.Apply(x, y);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 5);
    x = 1, y = 0;
    t.ApplyInImage(x, y, 10, 6);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 5);

    const COrientTransform before = t;
    EXPECT_FALSE(t.SetFromPoints(0, 0, 1, 1, 0, 1, 0, 0)); // a shear
    EXPECT_FALSE(t.SetFromPoints(0, 0, 2, 0, 0, 1, 0, 0)); // a stretch
    EXPECT_EQ(t, before);
    EXPECT_TRUE(t.SetFromPoints(0, 0, 0, 1, 1, 0, 0, 0)); // axes exchanged
    EXPECT_EQ(t.XDirection(), 0);
}

TEST(Canvas565, SlopedLinesFollowTheFixedPointSteps)
{
    struct Case {
        int x1, y1, x2, y2;
        Points expected;
    };
    // The canvas is shifted down by 3 so that lines may go up from y 0.
    const Case cases[] = {
        { 0, 0, 4, 1, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 1 } } },
        { 0, 0, 4, -1, { { 0, 0 }, { 1, -1 }, { 2, -1 }, { 3, -1 }, { 4, -1 } } },
        { 4, 1, 0, 0, { { 4, 1 }, { 3, 0 }, { 2, 0 }, { 1, 0 }, { 0, 0 } } },
        { 1, 0, 2, 3, { { 1, 0 }, { 1, 1 }, { 1, 2 }, { 2, 3 } } },
        { 0, 0, 3, 3, { { 0, 0 }, { 1, 1 }, { 2, 2 }, { 3, 3 } } },
        { 0, 0, 3, -3, { { 0, 0 }, { 1, -1 }, { 2, -2 }, { 3, -3 } } },
    };
    for (const Case& c : cases) {
        TestSurface s(12, 12);
        CCanvas565 canvas(&s.rows);
        ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(1, 5, 2, 5, 1, 6, 0, 0));
        canvas.DrawLine(c.x1, c.y1, c.x2, c.y2, kWhite);
        Points expected;
        for (auto [x, y] : c.expected)
            expected.insert({ x + 1, y + 5 });
        EXPECT_EQ(s.Marked(), expected) << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
    }
}

TEST(Canvas565, ClipBorderDropsSlopedPixelsButKeepsStraightOnes)
{
    TestSurface s(10, 10);
    CCanvas565 canvas(&s.rows);
    canvas.SetClip(2, 2, 7, 7);
    canvas.DrawLine(2, 2, 7, 7, kWhite);
    EXPECT_EQ(s.Marked(), (Points { { 3, 3 }, { 4, 4 }, { 5, 5 }, { 6, 6 } }));
    s.Fill(0);
    canvas.DrawLine(0, 2, 9, 2, kWhite);
    canvas.DrawLine(7, 0, 7, 9, kWhite);
    Points expected;
    for (int i = 2; i <= 7; ++i) {
        expected.insert({ i, 2 });
        expected.insert({ 7, i });
    }
    EXPECT_EQ(s.Marked(), expected);
}

TEST(Canvas565, RectangleOutlinesDrawEachPixelOnce)
{
    TestSurface s(8, 8);
    CCanvas565 canvas(&s.rows);
    // Given with its corners swapped; drawn half transparent, so a pixel drawn
    // twice would come out brighter than the others.
    canvas.DrawRect(5, 4, 1, 1, 0x80FFFFFFu);
    Points outline;
    for (int x = 1; x <= 5; ++x) {
        outline.insert({ x, 1 });
        outline.insert({ x, 4 });
    }
    for (int y = 1; y <= 4; ++y) {
        outline.insert({ 1, y });
        outline.insert({ 5, y });
    }
    EXPECT_EQ(s.Marked(), outline);
    for (auto [x, y] : outline)
        EXPECT_EQ(s.At(x, y), BlendPixel(0, kWhitePixel, 0x80)) << x << "," << y;

    // One pixel wide or high: the rectangle itself, nothing beside it.
    s.Fill(0);
    canvas.DrawRect(0, 0, 0, 0, kWhite);
    EXPECT_EQ(s.Marked(), (Points { { 0, 0 } }));
    s.Fill(0);
    canvas.DrawRect(2, 6, 2, 3, kWhite);
    EXPECT_EQ(s.Marked(), (Points { { 2, 3 }, { 2, 4 }, { 2, 5 }, { 2, 6 } }));
    s.Fill(0);
    canvas.DrawRect(2, 3, 4, 4, 0x00FFFFFFu); // alpha 0 draws nothing
    EXPECT_TRUE(s.Marked().empty());
}

TEST(Canvas565, FillRectClipsAndBlends)
{
    TestSurface s(6, 6);
    CCanvas565 canvas(&s.rows);
    canvas.SetClip(4, 4, 1, 1); // normalised
    canvas.FillRect(-10, 3, 20, 20, 0xFF0000FFu);
    Points expected;
    for (int y = 3; y <= 4; ++y)
        for (int x = 1; x <= 4; ++x)
            expected.insert({ x, y });
    EXPECT_EQ(s.Marked(), expected);
    EXPECT_EQ(s.At(1, 3), PackRGB565(255, 0, 0));

    canvas.FillRect(0, 0, 5, 5, 0x00FFFFFFu);
    EXPECT_EQ(s.Marked(), expected);
    canvas.FillRect(0, 0, 5, 5, 0x800000FFu);
    EXPECT_EQ(s.At(1, 3), BlendPixel(PackRGB565(255, 0, 0), PackRGB565(255, 0, 0), 0x80));
    EXPECT_EQ(s.At(2, 1), BlendPixel(0, PackRGB565(255, 0, 0), 0x80));
    EXPECT_EQ(s.At(0, 0), 0);
}

TEST(Canvas565, ClearCoversExactlyTheBlockIgnoringTheClip)
{
    // A bottom-up surface inside a larger buffer: nothing around it is touched.
    std::vector<uint16_t> memory(4 + 6 * 3 + 4, 0x1234);
    CImageRows rows;
    rows.Attach(reinterpret_cast<uint8_t*>(memory.data() + 4), 5, 3, -12);
    CCanvas565 canvas(&rows);
    canvas.SetClip(1, 1, 1, 1);
    canvas.Clear(0xFF000000u);
    for (size_t i = 0; i < memory.size(); ++i)
        EXPECT_EQ(memory[i], (i >= 4 && i < 22) ? 0 : 0x1234) << i;
    canvas.Clear(kWhite);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(rows.PixelRow(y)[x], kWhitePixel);
    EXPECT_EQ(memory[9], 0); // the padding at the end of each row stays
}

TEST(Canvas565, PixelsGoThroughTheOrientationAndStayInsideTheSurface)
{
    TestSurface s(4, 3);
    CCanvas565 canvas(&s.rows);
    ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(0, 2, 1, 2, 0, 1, 0, 2)); // vertical flip
    canvas.SetClip(3, 2, 3, 2); // pixels ignore the clip
    canvas.SetPixel(0, 0, 0xFF0000FFu);
    EXPECT_EQ(s.At(0, 2), PackRGB565(255, 0, 0));
    EXPECT_EQ(canvas.GetPixel(0, 0), int32_t(0xFF0000F8u));
    EXPECT_EQ(canvas.GetPixel(4, 0), -1);
    EXPECT_EQ(canvas.GetPixel(0, 3), -1);
    EXPECT_EQ(canvas.GetPixel(-1, 0), -1);
    canvas.SetClipLogical(0, 0, 2, 1);
    EXPECT_EQ(canvas.GetClip().top, 1);
    EXPECT_EQ(canvas.GetClip().bottom, 2);
    EXPECT_EQ(canvas.GetClip().right, 2);
    canvas.SetPixel(0, 3, kWhite);
    canvas.SetPixel(-1, 1, kWhite);
    EXPECT_EQ(s.Marked(), (Points { { 0, 2 } }));
}

TEST(Canvas565, TargetChangeNeverGrowsTheClip)
{
    TestSurface big(20, 20), small(5, 4);
    CCanvas565 canvas(&big.rows);
    canvas.SetClip(2, 3, 15, 15);
    canvas.SetTarget(&small.rows);
    EXPECT_EQ(canvas.GetClip().right, 4);
    EXPECT_EQ(canvas.GetClip().bottom, 3);
    canvas.SetTarget(&big.rows);
    EXPECT_EQ(canvas.GetClip().right, 4);
    canvas.SetClip(-5, -5, 100, 100);
    EXPECT_EQ(canvas.GetClip().left, 0);
    EXPECT_EQ(canvas.GetClip().right, 19);
    // A surface shrunk behind the canvas's back is still never written outside.
    big.rows.Attach(big.rows.GetPixels(), 3, 3, big.stride);
    canvas.FillRect(0, 0, 19, 19, kWhite);
    canvas.DrawLine(0, 19, 19, 0, kWhite);
    big.rows.Attach(big.rows.GetPixels(), 20, 20, big.stride);
    Points expected;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            expected.insert({ x, y });
    EXPECT_EQ(big.Marked(), expected);
}

TEST(Canvas565, VerticalLinesFollowAnyStride)
{
    // Rows of 3 pixels with no padding: 6 bytes apart.
    TestSurface s(3, 5, 6);
    CCanvas565 canvas(&s.rows);
    canvas.DrawLine(1, 0, 1, 4, kWhite);
    EXPECT_EQ(s.Marked(), (Points { { 1, 0 }, { 1, 1 }, { 1, 2 }, { 1, 3 }, { 1, 4 } }));
}
