#include "drawlib/screen_draw_tool.h"
#include "drawlib/surface_image.h"
#include "foundation/image_buffer.h"
#include "platform/display.h"
#include "tests/support/scoped_screen.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

// Full red, green and blue as GetPixel gives them back from 5-6-5 pixels.
constexpr uint32_t kRed = 0x0000F8, kGreen = 0x00FC00, kBlue = 0xF80000;

// A 4x3 source owning its pixels, top row first: red, green, blue rows.
void fillSource(CImageBuffer& source)
{
    ASSERT_TRUE(source.EnsurePixels(4, 3, 8, source.GetRows()));
    const uint16_t rows[3] = { 0xF800, 0x07E0, 0x001F };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            std::memcpy(source.GetRows().GetPixels() + y * 8 + x * 2, &rows[y], 2);
}

class ImageBufferDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        tool.Init(&display, true);
        tool.Clear(0, false);
    }
    ScopedScreen screen { 240, 320, 96 };
    platform::Display display { QSize(240, 320), 96 };
    CScreenDrawTool tool;
};

} // namespace

TEST_F(ImageBufferDrawing, DrawAtLandsInTheFrameThroughASurfaceImage)
{
    CImageBuffer source;
    fillSource(source);
    CSurfaceImage frame;
    EXPECT_FALSE(frame.DrawAt(0, 0, source)) << "no tool yet";
    frame.AttachToSurface(&tool);
    EXPECT_EQ(frame.GetBits(), tool.GetOffscreenSurface().GetPixels());
    EXPECT_EQ(frame.GetView().width, 240);
    ASSERT_TRUE(frame.DrawAt(10, 20, source));
    EXPECT_EQ(uint32_t(tool.GetPixel(10, 20, false)), kRed);
    EXPECT_EQ(uint32_t(tool.GetPixel(13, 21, false)), kGreen);
    EXPECT_EQ(uint32_t(tool.GetPixel(11, 22, false)), kBlue);
    EXPECT_EQ(tool.GetPixel(14, 20, false), 0);
    EXPECT_EQ(tool.GetPixel(10, 23, false), 0);
}

TEST_F(ImageBufferDrawing, BufferWithoutToolTakesTheScreenGeometryAndCopiesTheFrame)
{
    CSurfaceImage frame;
    frame.AttachToSurface(&tool);
    tool.SetPixel(5, 7, kGreen, false);
    CImageBuffer copy;
    EXPECT_TRUE(copy.DrawFrom(frame));
    ASSERT_TRUE(copy.OwnsPixels());
    EXPECT_EQ(copy.GetRows().GetWidth(), 240);
    EXPECT_EQ(copy.GetRows().GetHeight(), 320);
    EXPECT_EQ(copy.GetSurface(), nullptr) << "it drew with the source's tool without adopting it";
    // The copy holds the screen top row first; drawn back, it restores the frame.
    uint16_t p = 0;
    std::memcpy(&p, copy.GetOwnPixels() + 7 * copy.GetRows().GetStride() + 5 * 2, 2);
    EXPECT_EQ(p, 0x07E0);
    tool.Clear(0, false);
    ASSERT_TRUE(frame.DrawAt(0, 0, copy));
    EXPECT_EQ(uint32_t(tool.GetPixel(5, 7, false)), kGreen);
    EXPECT_EQ(tool.GetPixel(5, 8, false), 0);

    CImageBuffer lonely, nothing;
    EXPECT_TRUE(lonely.DrawFrom(nothing)) << "neither has a tool: nothing happens";
    EXPECT_FALSE(lonely.OwnsPixels());
}

TEST_F(ImageBufferDrawing, ScaledDrawDoublesTheSource)
{
    CImageBuffer source;
    fillSource(source);
    CSurfaceImage frame;
    frame.AttachToSurface(&tool);
    // 8x6 centred on the 240x320 screen: from (116, 157).
    EXPECT_TRUE(frame.DrawFromScaled(source, 2.0));
    EXPECT_EQ(uint32_t(tool.GetPixel(116, 157, false)), kRed);
    EXPECT_EQ(uint32_t(tool.GetPixel(123, 158, false)), kRed);
    EXPECT_EQ(uint32_t(tool.GetPixel(123, 159, false)), kGreen);
    EXPECT_EQ(uint32_t(tool.GetPixel(116, 162, false)), kBlue);
    EXPECT_EQ(tool.GetPixel(115, 157, false), 0);
    EXPECT_EQ(GetScreenDrawTool(), nullptr);
    platform::ScopedProcessObject<CScreenDrawTool> program(g_drawTool);
    EXPECT_EQ(GetScreenDrawTool(), g_drawTool.get());
}
