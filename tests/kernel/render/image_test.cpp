#include "kernel/render/clipped_image.h"
#include "kernel/render/image.h"
#include "kernel/render/surface565.h"

#include "kernel/doc/kernel_memory.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(KernelImage, CreateRefusesBadSizesAndFillsTheColour)
{
    struct Case {
        int32_t w, h, result;
    };
    const Case cases[] = { { 32768, 1, 3 }, { 1, 32768, 3 }, { 0, 5, 3 }, { 5, -1, 3 }, { 8192, 8193, 25 },
        { 8192, 8192, 0 }, { 3, 2, 0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        CZX_ImageFoundation image;
        EXPECT_EQ(image.Create(c.w, c.h, 0x00102030), c.result);
        EXPECT_EQ(image.Surface() != nullptr, c.result == 0);
    }

    CZX_ImageFoundation image;
    ASSERT_EQ(image.Create(5, 3, 0x00ff8040), 0); // red 0x40, green 0x80, blue 0xff
    const uint16_t expected = (0x40 >> 3) << 11 | (0x80 & 0xfc) << 3 | 0xff >> 3;
    EXPECT_EQ(CZX_Surface565::ColourFromBgr(0x00ff8040), expected);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(image.Surface()->Pixel(x, y), expected);
}

TEST(KernelImage, RowsAreStoredBottomUpWithFourByteStride)
{
    CZX_ImageFoundation image;
    ASSERT_EQ(image.Create(3, 4, 0), 0);
    CZX_Surface565& s = *image.Surface();
    EXPECT_EQ(s.Stride(), 8); // 3 pixels of 2 bytes rounded up to 4
    EXPECT_EQ(s.TotalSize(), 32);
    EXPECT_EQ(image.ByteSize(), 32);
    EXPECT_EQ(image.ByteSize(24), 48);
    s.SetPixel(1, 0, 0x1234); // top screen row: the last row in memory
    s.SetPixel(2, 3, 0xabcd); // bottom screen row: the first
    uint16_t top, bottom;
    std::memcpy(&top, s.Bits() + 3 * 8 + 2, 2);
    std::memcpy(&bottom, s.Bits() + 0 * 8 + 4, 2);
    EXPECT_EQ(top, 0x1234);
    EXPECT_EQ(bottom, 0xabcd);
    EXPECT_EQ(s.RowOffset(0), 24);
    EXPECT_EQ(s.RowOffset(3), 0);
}

TEST(KernelImage, OutOfMemoryLeavesNoSurface)
{
    CZX_ImageFoundation image;
    ZXS_FailNextAllocations(1);
    EXPECT_EQ(image.Create(10, 10, 0), 160);
    EXPECT_EQ(image.Surface(), nullptr);
    ZXS_FailNextAllocations(0);
    EXPECT_EQ(image.Create(10, 10, 0), 0);
}

TEST(KernelImage, ErrorIsReportedOnce)
{
    CZXS_ClippedImage image;
    image.SetError(12);
    EXPECT_EQ(image.GetError(), 12);
    EXPECT_EQ(image.GetError(), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(image.ClassName()),
        reinterpret_cast<const char*>(u"CZXS_ClippedImage"));
}

TEST(KernelImage, BlendShadeAndTheCursor)
{
    const uint16_t fg = CZX_Surface565::Colour565(255, 255, 255);
    const uint16_t bg = CZX_Surface565::Colour565(0, 0, 0);
    EXPECT_EQ(CZX_Surface565::Blend565(fg, bg, 241), fg);
    EXPECT_EQ(CZX_Surface565::Blend565(fg, bg, 240), (29 << 11) | (59 << 5) | 29); // 31*240>>8, 63*240>>8
    EXPECT_EQ(CZX_Surface565::Blend565(fg, bg, 16), (1 << 11) | (3 << 5) | 1);
    EXPECT_EQ(CZX_Surface565::Blend565(fg, bg, 15), bg);
    EXPECT_EQ(CZX_Surface565::Shade565(fg, 241), 0);
    EXPECT_EQ(CZX_Surface565::Shade565(fg, 128), (15 << 11) | (31 << 5) | 15);

    CZX_ImageFoundation image;
    ASSERT_EQ(image.Create(2, 2, 0x00ffffff), 0);
    CZX_Surface565& s = *image.Surface();
    s.SetCursor(1, 1);
    EXPECT_EQ(s.Shade(128), (15 << 11) | (31 << 5) | 15);
    s.SetCursor(0, 1);
    EXPECT_EQ(s.Step(), s.RowOffset(1));
    s.WriteAtCursor(0x0001);
    EXPECT_EQ(s.Pixel(1, 1), 0x0001);
    s.Step(); // off the row: the cursor is unset, writes do nothing
    s.WriteAtCursor(0x0002);
    s.SetCursor(2, 0);
    s.WriteAtCursor(0x0002);
    EXPECT_EQ(s.Pixel(0, 0), 0xffff);
    EXPECT_EQ(s.Pixel(1, 0), 0xffff);
}

TEST(KernelImage, FillRectInAnyCornerOrderCutToTheImage)
{
    CZX_ImageFoundation image;
    ASSERT_EQ(image.Create(4, 3, 0), 0);
    image.FillRect(5, 1, 2, -7, 0x7777);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(image.Surface()->Pixel(x, y), (x >= 2 && y <= 1) ? 0x7777 : 0) << x << "," << y;
}
