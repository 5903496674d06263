#include "surface_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr uint16_t kMagenta = 0xF81F;
constexpr uint32_t kMagentaColour = 0xFFFF00FFu;

// A memory image whose pixel (x, y) is a distinct value.
struct MemoryImage {
    MemoryImage(int w, int h, int strideBytes = 0)
        : width(w)
        , height(h)
    {
        stride = strideBytes ? strideBytes : w * 2;
        block.resize(size_t(stride < 0 ? -stride : stride) / 2 * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                Ref(x, y) = Value(x, y);
    }
    static uint16_t Value(int x, int y) { return uint16_t(0x0800 + y * 64 + x + 1); }
    uint16_t& Ref(int x, int y)
    {
        const int first = stride < 0 ? -stride / 2 * (height - 1) : 0;
        return block[size_t(first + y * (stride / 2) + x)];
    }
    int width, height, stride;
    std::vector<uint16_t> block;
};

// Stores a w x h image under `id` with the pixels of `pixel(x, y)`.
void Store(CCanvas565& canvas, uint32_t id, int w, int h, const std::function<uint16_t(int, int)>& pixel)
{
    CImageStore& store = canvas.GetImageStore();
    CStoredImage& slot = store.GetOrCreate(id);
    ASSERT_TRUE(store.Allocate(slot, w, h, -((w * 2 + 3) & ~3)));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            slot.Row(y)[x] = pixel(x, y);
}

struct Orientation {
    const char* name;
    int ax, ay, bx, by, cx, cy, xCode, yCode;
};

// Orientations of a 6 x 4 surface; the exchanged ones show it as 4 x 6.
const Orientation kOrientations[] = {
    { "identity", 0, 0, 1, 0, 0, 1, 0, 0 },
    { "vertical flip", 0, 3, 1, 3, 0, 2, 0, 2 },
    { "mirror", 5, 0, 4, 0, 5, 1, 1, 0 },
    { "half turn", 5, 3, 4, 3, 5, 2, 1, 2 },
    { "quarter turn", 5, 0, 5, 1, 4, 0, 1, 0 },
    { "three quarters", 0, 3, 0, 2, 1, 3, 0, 2 },
};

} // namespace

TEST(CanvasBlit, StoredImagesClipAgainstSourceAndTarget)
{
    TestSurface s(10, 8);
    CCanvas565 canvas(&s.rows);
    Store(canvas, 0x101, 6, 5, MemoryImage::Value);

    // At x = -5 the copy starts 5 columns into the image.
    EXPECT_TRUE(canvas.DrawImage(0x101, -5, 1, 0, 0, 6, 5));
    EXPECT_EQ(s.Marked(), (Points { { 0, 1 }, { 0, 2 }, { 0, 3 }, { 0, 4 }, { 0, 5 } }));
    EXPECT_EQ(s.At(0, 1), MemoryImage::Value(5, 0));

    // Source x = -3 moves the destination 3 columns right.
    s.Fill(0);
    EXPECT_TRUE(canvas.DrawImage(0x101, 2, 0, -3, 0, 5, 1));
    EXPECT_EQ(s.Marked(), (Points { { 5, 0 }, { 6, 0 } }));
    EXPECT_EQ(s.At(5, 0), MemoryImage::Value(0, 0));
    EXPECT_EQ(s.At(6, 0), MemoryImage::Value(1, 0));

    // The clip and the image's own edge both cut.
    s.Fill(0);
    canvas.SetClip(0, 0, 7, 6);
    EXPECT_TRUE(canvas.DrawImage(0x101, 5, 4, 2, 1, 100, 100));
    Points expected;
    for (int y = 4; y <= 6; ++y)
        for (int x = 5; x <= 7; ++x)
            expected.insert({ x, y });
    EXPECT_EQ(s.Marked(), expected);
    EXPECT_EQ(s.At(5, 4), MemoryImage::Value(2, 1));
    EXPECT_EQ(s.At(7, 6), MemoryImage::Value(4, 3));

    // Nothing at all for an id that is not stored, and nothing for no size.
    s.Fill(0);
    EXPECT_FALSE(canvas.DrawImage(0x102, 0, 0, 0, 0, 6, 5));
    EXPECT_FALSE(canvas.DrawImage(0x5000, 0, 0, 0, 0, 6, 5));
    EXPECT_TRUE(canvas.DrawImage(0x101, 0, 0, 0, 0, 0, 5));
    EXPECT_TRUE(canvas.DrawImage(0x101, 20, 20, 0, 0, 6, 5));
    EXPECT_TRUE(s.Marked().empty());
}

TEST(CanvasBlit, ColourKeyAndAlpha)
{
    TestSurface s(4, 1, 0, 0x1111);
    CCanvas565 canvas(&s.rows);
    const uint16_t red = PackRGB565(255, 0, 0);
    Store(canvas, 7, 4, 1, [&](int x, int) { return x % 2 ? kMagenta : red; });

    EXPECT_TRUE(canvas.DrawImageKey(7, 0, 0, 0, 0, 4, 1, kMagentaColour));
    EXPECT_EQ(s.At(0, 0), red);
    EXPECT_EQ(s.At(1, 0), 0x1111);
    EXPECT_EQ(s.At(2, 0), red);
    EXPECT_EQ(s.At(3, 0), 0x1111);

    s.Fill(0x0000);
    EXPECT_TRUE(canvas.DrawImageKeyAlpha(7, 0, 0, 0, 0, 4, 1, kMagentaColour, 0x80));
    EXPECT_EQ(s.At(0, 0), BlendPixel(0, red, 0x80));
    EXPECT_EQ(s.At(1, 0), 0);
    EXPECT_TRUE(canvas.DrawImageKeyAlpha(7, 0, 0, 0, 0, 4, 1, kMagentaColour, 0));
    EXPECT_EQ(s.At(0, 0), BlendPixel(0, red, 0x80));
    EXPECT_TRUE(canvas.DrawImageKeyAlpha(7, 0, 0, 0, 0, 4, 1, kMagentaColour, 0xFF));
    EXPECT_EQ(s.At(0, 0), red);
    EXPECT_EQ(s.At(1, 0), 0);
    EXPECT_FALSE(canvas.DrawImageKeyAlpha(8, 0, 0, 0, 0, 4, 1, kMagentaColour, 0xFF));
}

// A logical-orientation image copied onto a surface-sized target lands where
// drawing it pixel by pixel through the orientation would put it.
TEST(CanvasBlit, OrientedCopiesMatchPixelByPixelDrawing)
{
    for (const Orientation& o : kOrientations) {
        TestSurface expected(6, 4), actual(6, 4), blit(6, 4);
        CCanvas565 reference(&expected.rows), canvas(&actual.rows), offset(&blit.rows);
        for (CCanvas565* c : { &reference, &canvas, &offset })
            ASSERT_TRUE(
                c->GetOrientation().SetFromPoints(o.ax, o.ay, o.bx, o.by, o.cx, o.cy, o.xCode, o.yCode));
        const bool exchanged = reference.GetOrientation().Exchanged();
        const int w = exchanged ? 4 : 6, h = exchanged ? 6 : 4;
        MemoryImage image(w, h, -w * 2);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                reference.SetPixel(x, y, ColourOf(MemoryImage::Value(x, y)));
        canvas.CopyOriented(image.block.data(), w, h, image.stride, 0);
        EXPECT_EQ(actual.block, expected.block) << o.name;

        // Scale 1.0 is the same copy.
        actual.Fill(0);
        canvas.StretchImage(image.block.data(), w, h, image.stride, 1.0, 0);
        EXPECT_EQ(actual.block, expected.block) << o.name;

        // At an offset, a smaller image's pixel (0, 0) lands at logical (1, 2).
        expected.Fill(0);
        MemoryImage small(3, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                reference.SetPixel(1 + x, 2 + y, ColourOf(MemoryImage::Value(x, y)));
        offset.BlitAt(small.block.data(), 3, 2, small.stride, 1, 2, 0);
        EXPECT_EQ(blit.block, expected.block) << o.name;
    }
}

TEST(CanvasBlit, RowBlitUnderTheFlipShiftsByLogicalRows)
{
    const int W = 6, H = 16;
    TestSurface s(W, H);
    CCanvas565 canvas(&s.rows);
    ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(0, H - 1, 1, H - 1, 0, H - 2, 0, 2));
    MemoryImage image(W, H);
    canvas.BlitRows(image.block.data(), W, H, image.stride, 0, 10, 0xFF00FF00u);
    // Stored rows 10.. fill target rows 0 .. H - 11; the last 10 rows, the
    // logical top of the screen, get the background.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(s.At(x, y), y < H - 10 ? MemoryImage::Value(x, y + 10) : PackRGB565(0, 255, 0))
                << x << "," << y;
}

TEST(CanvasBlit, RowCopiesAndSurfaceCopies)
{
    TestSurface s(4, 3);
    CCanvas565 canvas(&s.rows);
    MemoryImage narrow(2, 2, 12); // rows 12 bytes apart, only 2 pixels used
    canvas.CopyRows(narrow.block.data(), 2, 2, narrow.stride, 0xFFFFFFFFu);
    EXPECT_EQ(s.At(0, 0), MemoryImage::Value(0, 0));
    EXPECT_EQ(s.At(1, 1), MemoryImage::Value(1, 1));
    EXPECT_EQ(s.At(2, 0), 0xFFFF);
    EXPECT_EQ(s.At(0, 2), 0xFFFF);

    MemoryImage same(4, 3, s.stride);
    canvas.CopyRows(same.block.data(), 4, 3, same.stride, 0);
    EXPECT_EQ(s.At(3, 2), MemoryImage::Value(3, 2));

    // Bottom-up rows of the same stride but fewer of them still start at row 0.
    TestSurface flipped(4, 3, -8);
    CCanvas565 upward(&flipped.rows);
    MemoryImage shorter(4, 2, -8);
    upward.CopyRows(shorter.block.data(), 4, 2, shorter.stride, 0xFFFFFFFFu);
    EXPECT_EQ(flipped.At(0, 0), MemoryImage::Value(0, 0));
    EXPECT_EQ(flipped.At(3, 1), MemoryImage::Value(3, 1));
    EXPECT_EQ(flipped.At(0, 2), 0xFFFF);

    TestSurface other(4, 3, 12), twin(4, 3);
    twin.Fill(0x4321);
    EXPECT_FALSE(canvas.CopySurface(other.rows));
    EXPECT_EQ(s.At(3, 2), MemoryImage::Value(3, 2));
    EXPECT_TRUE(canvas.CopySurface(twin.rows));
    EXPECT_EQ(s.block, twin.block);
}

TEST(CanvasBlit, FillOutsideCoversEverythingButTheRectangle)
{
    TestSurface s(5, 4);
    CCanvas565 canvas(&s.rows);
    canvas.FillOutside(0xFFFFFFFFu, 1, 1, 4, 3);
    Points inside;
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 4; ++x)
            inside.insert({ x, y });
    Points outside;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            if (!inside.count({ x, y }))
                outside.insert({ x, y });
    EXPECT_EQ(s.Marked(), outside);
    s.Fill(0);
    canvas.FillOutside(0xFFFFFFFFu, 0, 0, 5, 4);
    EXPECT_TRUE(s.Marked().empty());
}

TEST(CanvasBlit, ScalingCentresOrCutsEqually)
{
    const int W = 240, H = 320;
    TestSurface s(W, H);
    CCanvas565 canvas(&s.rows);
    MemoryImage image(100, 100);
    canvas.StretchImage(image.block.data(), 100, 100, image.stride, 2.0, 0xFF0000FFu);
    const uint16_t red = PackRGB565(255, 0, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool inside = x >= 20 && x < 220 && y >= 60 && y < 260;
            ASSERT_EQ(s.At(x, y), inside ? MemoryImage::Value((x - 20) / 2, (y - 60) / 2) : red)
                << x << "," << y;
        }

    MemoryImage large(480, 640);
    canvas.StretchImage(large.block.data(), 480, 640, large.stride, 0.5, 0);
    for (int y = 0; y < H; y += 7)
        for (int x = 0; x < W; x += 5)
            ASSERT_EQ(s.At(x, y), large.Ref(2 * x, 2 * y)) << x << "," << y;

    // Scaled up past the target: the overflow is cut equally on both sides.
    MemoryImage wide(200, 200);
    canvas.StretchImage(wide.block.data(), 200, 200, wide.stride, 2.0, 0);
    EXPECT_EQ(s.At(0, 0), wide.Ref(39, 19));
    EXPECT_EQ(s.At(W - 1, H - 1), wide.Ref(39 + 119, 19 + 159));
}

TEST(CanvasBlit, SmallScaledImagesClearTheWholeBackground)
{
    TestSurface s(40, 40);
    CCanvas565 canvas(&s.rows);
    const uint16_t blue = PackRGB565(0, 0, 255);
    MemoryImage thin(20, 4);
    canvas.StretchImage(thin.block.data(), 20, 4, thin.stride, 2.0, 0xFFFF0000u);
    // 8 rows high: the whole target is cleared first, then the image drawn
    // across the full width and centred vertically.
    EXPECT_EQ(s.At(0, 0), blue);
    EXPECT_EQ(s.At(39, 15), blue);
    EXPECT_EQ(s.At(0, 16), thin.Ref(0, 0));
    EXPECT_EQ(s.At(39, 23), thin.Ref(19, 3));
    EXPECT_EQ(s.At(0, 24), blue);

    s.Fill(0x1234);
    MemoryImage square(10, 10);
    canvas.StretchImage(square.block.data(), 10, 10, square.stride, 2.0, 0xFFFF0000u);
    EXPECT_EQ(s.At(9, 9), blue);
    EXPECT_EQ(s.At(10, 10), square.Ref(0, 0));
    EXPECT_EQ(s.At(29, 29), square.Ref(9, 9));
    EXPECT_EQ(s.At(30, 30), blue);

    // Nothing to draw, or nothing inside the target: only the background.
    s.Fill(0x1234);
    canvas.BlitAt(square.block.data(), 10, 10, 0, 3, 3, 0xFFFF0000u);
    EXPECT_EQ(s.Marked(0x1234).size(), 40u * 40);
    EXPECT_EQ(s.At(20, 20), blue);
    s.Fill(0x1234);
    canvas.BlitAt(square.block.data(), 10, 10, square.stride, 40, 3, 0xFFFF0000u);
    EXPECT_EQ(s.At(0, 0), blue);
    s.Fill(0x1234);
    canvas.BlitAt(square.block.data(), 10, 10, square.stride, -10, 3, 0);
    EXPECT_TRUE(s.Marked(0x1234).empty());

    // A scale of 0 or below draws the first pixel once, at the centre.
    s.Fill(0);
    canvas.StretchImage(square.block.data(), 10, 10, square.stride, 0.0, 0);
    EXPECT_EQ(s.Marked(), (Points { { 19, 19 } }));
}
