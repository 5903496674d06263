#include "drawlib/draw_buffer_client.h"
#include "drawlib/draw_tool.h"
#include "drawlib/rgb565.h"
#include "drawlib/screen_draw_tool.h"
#include "platform/display.h"
#include "tests/drawlib/text_fixture.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Collects the drawing library's trace while it lives.
class TraceLog {
public:
    TraceLog()
    {
        SetDrawTraceSink([this](const char* tag, const std::string& message) {
            EXPECT_STREQ(tag, "ZK_Draw_lib");
            messages.push_back(message);
        });
    }
    ~TraceLog() { SetDrawTraceSink({}); }
    bool Has(const std::string& prefix) const
    {
        for (const std::string& m : messages)
            if (m.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    std::vector<std::string> messages;
};

uint16_t Stored(const CImageRows& rows, int x, int memoryRow)
{
    uint16_t p;
    std::memcpy(&p, rows.GetPixels() + size_t(memoryRow) * rows.GetStride() + 2 * x, 2);
    return p;
}

// Creates a buffer for a display and gives the result that Init does not.
struct ToolForDisplay : CScreenDrawTool {
    int Create(platform::Display* display, bool fullScreen)
    {
        m_owner = display;
        return CreateBuffer(fullScreen);
    }
};

// A 240x320 screen at 96 dpi with the tool's buffer on it.
class DrawToolTest : public ::testing::Test {
protected:
    void SetUp() override { tool.Init(&display, true); }

    ScopedScreen screen { 240, 320, 96 };
    platform::Display display { QSize(240, 320), 96 };
    CScreenDrawTool tool;
};

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

TEST(DrawTool, SixteenBitDisplayGetsABottomUpSurface)
{
    ScopedScreen screen(241, 10, 96);
    platform::Display display(QSize(241, 10), 96);
    CScreenDrawTool tool;
    TraceLog trace;
    tool.Init(&display, true);
    ASSERT_NE(tool.GetCanvas(), nullptr);
    EXPECT_EQ(tool.GetMode(), CDrawTool::MODE_WAPI);
    EXPECT_TRUE(trace.Has("Buffer was created: mode 0, full screen 1, width 241, height 10, pix format 1"));
    const CImageRows& surface = tool.GetOffscreenSurface();
    EXPECT_EQ(surface.GetWidth(), 241);
    EXPECT_EQ(surface.GetHeight(), 10);
    EXPECT_EQ(surface.GetStride(), 484); // rows padded to 4 bytes, stored upwards
    const COrientTransform& o = tool.GetCanvas()->GetOrientation();
    EXPECT_EQ(o.m00, 1);
    EXPECT_EQ(o.m11, -1);
    EXPECT_EQ(o.ty, 9);
    EXPECT_EQ(o.yCode, 2);
    EXPECT_EQ(tool.GetCanvas()->GetClip().right, 240);
    EXPECT_EQ(tool.GetCanvas()->GetClip().bottom, 9);

    // Screen (0, 0) is the last row of the block; the copy puts it back on top.
    tool.Clear(kBlue, false);
    tool.SetPixel(0, 0, kRed, false);
    tool.SetPixel(240, 9, kGreen, true);
    EXPECT_EQ(Stored(surface, 0, 9), PackRGB565(255, 0, 0));
    EXPECT_EQ(Stored(surface, 240, 0), PackRGB565(0, 255, 0));
    EXPECT_EQ(tool.GetPixel(0, 0, false), int32_t(0xF8));
    EXPECT_EQ(tool.GetPixel(241, 0, false), 0xFFFFFF);
    tool.BeginDraw(nullptr);
    tool.CopyToScreen();
    tool.EndDraw();
    EXPECT_EQ(display.Pixel(0, 0), PackRGB565(255, 0, 0));
    EXPECT_EQ(display.Pixel(240, 9), PackRGB565(0, 255, 0));
    EXPECT_EQ(display.Pixel(1, 1), PackRGB565(0, 0, 255));

    // A frame may go to another display of its own.
    platform::Display other(QSize(241, 10), 96);
    tool.BeginDraw(&other);
    tool.CopyToScreen();
    tool.EndDraw();
    EXPECT_EQ(other.Pixel(0, 0), PackRGB565(255, 0, 0));

    tool.DestroyBuffer();
    EXPECT_EQ(tool.GetCanvas(), nullptr);
    EXPECT_TRUE(trace.Has("Buffer is destroying"));
    EXPECT_EQ(tool.GetPixel(0, 0, false), -1);
    tool.Clear(kRed, false); // ignored
    tool.CopyToScreen();
}

TEST(DrawTool, OtherDepthsAreRefused)
{
    ScopedScreen screen(240, 320, 96);
    struct Case {
        int bits;
        const char* trace;
    };
    const Case cases[] = {
        { 24, "Cannot create DIB, width 240, height 320, pix format 3" },
        { 8, "Cannot create DIB, width 240, height 320, pix format 8" },
        { 4, "Cannot create DIB, width 240, height 320, pix format 9" },
        { 1, "Cannot create DIB, width 240, height 320, pix format 10" },
        { 15, "Cannot create DIB, width 240, height 320, pix format 11" },
        { 32, "Pix format 7 is not supported" }, // made, then given up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        platform::Display display(QSize(240, 320), 96, c.bits);
        ToolForDisplay tool;
        TraceLog trace;
        EXPECT_EQ(tool.Create(&display, true), CDrawTool::BUFFER_BAD_FORMAT);
        EXPECT_EQ(tool.GetCanvas(), nullptr);
        EXPECT_EQ(tool.GetOffscreenSurface().GetPixels(), nullptr);
        EXPECT_TRUE(trace.Has(c.trace));
    }
    // No display at all.
    ToolForDisplay tool;
    TraceLog trace;
    EXPECT_EQ(tool.Create(nullptr, true), CDrawTool::BUFFER_NO_DISPLAY);
    EXPECT_EQ(tool.GetCanvas(), nullptr);
    EXPECT_TRUE(trace.Has("Cannot get DC, full screen 1"));
    // A display of no size gets no surface.
    ScopedScreen none(0, 0, 96);
    platform::Display display(QSize(240, 320), 96);
    EXPECT_EQ(tool.Create(&display, true), CDrawTool::BUFFER_NO_DISPLAY);
}

TEST(DrawTool, WindowSizedBufferAndResolutionFlags)
{
    ScopedScreen screen(240, 320, 96);
    platform::Display display(QSize(320, 240), 96);
    CScreenDrawTool tool;
    tool.Init(&display, false); // the display's size, not the screen's
    EXPECT_EQ(tool.GetWidth(), 320);
    EXPECT_EQ(tool.GetHeight(), 240);
    EXPECT_EQ(tool.GetFlags(), CDrawTool::FLAG_RESOLUTION_1);
    tool.SetFlags(0x08 | CDrawTool::FLAG_RESOLUTION_2);
    EXPECT_EQ(tool.GetFlags(), 0x08u | CDrawTool::FLAG_RESOLUTION_2);
    tool.SetFlags(CDrawTool::FLAG_RESOLUTION_1 | 0x01);
    EXPECT_EQ(tool.GetFlags(), 0x09u | CDrawTool::FLAG_RESOLUTION_1);
}

TEST_F(DrawToolTest, BitmapsOfStoredImagesAreCachedAndPadded)
{
    TraceLog trace;
    EXPECT_EQ(tool.CreateHBITMAP(1234), nullptr);
    EXPECT_TRUE(trace.Has("CreateHBITMAP. m_pScreen->buffer(1234) return NULL"));

    // An image 5 rows high with a 20-byte stride, in exactly 100 bytes of its
    // own, so that a read past them is caught.
    std::vector<uint16_t> pixels(50);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint16_t(i + 1);
    CImageStore& store = tool.GetCanvas()->GetImageStore();
    store.SetExternal(store.GetOrCreate(1234), reinterpret_cast<uint8_t*>(pixels.data()), 9, 5, -20);
    EXPECT_EQ(tool.CreateHBITMAP(1235), nullptr);
    EXPECT_TRUE(trace.Has("CreateHBITMAP. m_pScreen->buffer(1235)->buf() return NULL"));

    const QImage* bitmap = tool.CreateHBITMAP(1234);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width(), 10);
    EXPECT_EQ(bitmap->height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            uint16_t p;
            std::memcpy(&p, bitmap->constScanLine(y) + 2 * x, 2);
            EXPECT_EQ(p, y < 5 ? pixels[size_t(y * 10 + x)] : 0) << x << "," << y;
        }
    EXPECT_EQ(tool.CreateHBITMAP(1234), bitmap);
    EXPECT_EQ(tool.CachedBitmapCount(), 1u);
    tool.DeleteHBITMAPs();
    EXPECT_EQ(tool.CachedBitmapCount(), 0u);
    EXPECT_NE(tool.CreateHBITMAP(1234), nullptr);
    EXPECT_EQ(tool.CachedBitmapCount(), 1u);
    // The cache outlives the buffer.
    tool.DestroyBuffer();
    EXPECT_NE(tool.CreateHBITMAP(1234), nullptr);
}

TEST_F(DrawToolTest, LoadResourceReadsBitmapsOfAFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(
        WriteStrip(dir.path(), 42, 3, 2, [](int x, int y) { return x == 0 && y == 0 ? 0xFF0000u : 0u; }));
    QFile bad(QDir(dir.path()).filePath(QStringLiteral("43.bmp")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM not a bitmap");
    bad.close();

    CScreenDrawTool unset;
    EXPECT_FALSE(unset.LoadResource(dir.path(), 42)) << "no buffer yet";
    TraceLog trace;
    EXPECT_TRUE(tool.LoadResource(dir.path(), 42));
    EXPECT_FALSE(tool.LoadResource(dir.path(), 44));
    EXPECT_TRUE(trace.Has("LoadResource(44) is not got"));
    EXPECT_FALSE(tool.LoadResource(dir.path(), 43));
    EXPECT_TRUE(trace.Has("LoadResource (43) is not converted"));
    EXPECT_FALSE(tool.LoadResource(QString(), 42));

    tool.Clear(0, false);
    EXPECT_TRUE(tool.MaskBlt(42, 10, 20, 3, 2, 0, 0, false));
    EXPECT_EQ(tool.GetPixel(10, 20, false), 0xF8);
    EXPECT_EQ(tool.GetPixel(11, 20, false), 0);
    EXPECT_FALSE(tool.MaskBlt(99, 0, 0, 3, 2, 0, 0, 0xFF00FF, false));
    EXPECT_TRUE(trace.Has("MaskBlt(99, 0, 0, 3, 2, 0, 0, 16711935), buffer clip (0,0,239,319)"));
    EXPECT_FALSE(tool.MaskBlt(99, 0, 0, 3, 2, 0, 0, 0xFF00FF, 0, 128, false));
}

TEST_F(DrawToolTest, PrimitivesForceOpaqueAndFillBlends)
{
    tool.Clear(false); // black
    tool.DrawLine(0, 0, 9, 0, kRed, false); // alpha 0 in the colour: still drawn
    tool.DrawRect(0, 10, 5, 5, kGreen, false);
    tool.FillSolidRect(20, 20, 4, 4, 0x00FFFFFF, 0, false); // alpha 0: nothing
    tool.FillSolidRect(30, 20, 4, 4, 0x00FFFFFF, 128, false);
    EXPECT_EQ(tool.GetPixel(9, 0, false), 0xF8);
    EXPECT_EQ(tool.GetPixel(4, 14, false), 0xFC00);
    EXPECT_EQ(tool.GetPixel(2, 12, false), 0);
    EXPECT_EQ(tool.GetPixel(21, 21, false), 0);
    EXPECT_EQ(tool.GetPixel(33, 23, false), 0x787C78); // white over black at 128: 15, 31, 15
    EXPECT_EQ(tool.GetPixel(34, 23, false), 0);
}

// Rectangles that start near the ends of the coordinate range lie off the
// screen, whatever their size.
TEST_F(DrawToolTest, RectanglesAtTheEndsOfTheRangeDrawNothing)
{
    tool.Clear(false);
    const struct {
        int x, y, width, height;
    } far[] = { { INT32_MAX - 1, 0, 10, 10 }, { 0, INT32_MAX - 1, 10, 10 }, { INT32_MIN, 0, -5, 10 },
        { 0, INT32_MIN + 1, 10, -5 } };
    for (const auto& r : far) {
        tool.FillSolidRect(r.x, r.y, r.width, r.height, kRed, 255, false);
        tool.DrawRect(r.x, r.y, r.width, r.height, kRed, false);
    }
    const CImageRows& surface = tool.GetOffscreenSurface();
    for (int y = 0; y < surface.GetHeight(); ++y)
        for (int x = 0; x < surface.GetWidth(); ++x)
            ASSERT_EQ(surface.PixelRow(y)[x], 0) << x << "," << y;
}

TEST_F(DrawToolTest, ClipInScreenCoordinates)
{
    platform::Display other(QSize(240, 320), 96);
    tool.Clear(0, false);
    tool.SetClip(10, 20, 19, 29, &other); // inclusive, top-down like everything else
    tool.FillSolidRect(0, 0, 240, 320, kRed, 255, false);
    EXPECT_EQ(tool.GetPixel(10, 20, false), 0xF8);
    EXPECT_EQ(tool.GetPixel(19, 29, false), 0xF8);
    EXPECT_EQ(tool.GetPixel(9, 20, false), 0);
    EXPECT_EQ(tool.GetPixel(10, 30, false), 0);
    tool.CopyToScreen(); // to the display given with the clip
    EXPECT_EQ(other.Pixel(10, 20), PackRGB565(255, 0, 0));
    EXPECT_EQ(display.Pixel(10, 20), 0);
}

TEST_F(DrawToolTest, DrawingIntoAnotherSurfaceGivesTheScreenItsClipBack)
{
    std::vector<uint16_t> image(16 * 16, PackRGB565(0, 255, 0));
    std::vector<uint16_t> small(16 * 16, 0);
    CImageRows target;
    target.Attach(reinterpret_cast<uint8_t*>(small.data()), 16, 16, 32);
    tool.CopyImageTo(image.data(), 16, 16, 32, false, target);
    EXPECT_EQ(small[0], PackRGB565(0, 255, 0));
    EXPECT_EQ(tool.GetCanvas()->GetTarget(), &tool.GetOffscreenSurface());
    tool.FillSolidRect(0, 0, 240, 320, kRed, 255, false);
    EXPECT_EQ(tool.GetPixel(239, 319, false), 0xF8);
    EXPECT_EQ(tool.GetPixel(100, 100, false), 0xF8);
}

TEST_F(DrawToolTest, TheClientSeesTheOffscreenPixels)
{
    {
        CDrawBufferClient client;
        EXPECT_EQ(client.GetBits(), nullptr);
        client.Attach(&tool);
        EXPECT_EQ(tool.GetClient(), &client);
        EXPECT_EQ(client.GetBits(), tool.GetOffscreenSurface().GetPixels());
        EXPECT_NE(client.GetBits(), nullptr);
        tool.DestroyBuffer();
        EXPECT_EQ(client.GetBits(), nullptr);
    }
    EXPECT_EQ(tool.GetClient(), nullptr) << "a client that is gone is forgotten";
    CDrawBufferClient other;
    tool.SetClient(&other);
    tool.SetClient(nullptr);
    EXPECT_EQ(tool.GetClient(), nullptr);
}

TEST(DrawTool, AReplacedClientForgetsTheTool)
{
    ScopedScreen screen(40, 30, 96);
    platform::Display display(QSize(40, 30), 96);
    CDrawBufferClient first;
    {
        CScreenDrawTool tool;
        tool.Init(&display, true);
        first.Attach(&tool);
        CDrawBufferClient second;
        second.Attach(&tool);
        EXPECT_EQ(first.GetBits(), nullptr) << "only the tool's client sees its pixels";
        EXPECT_EQ(second.GetBits(), tool.GetOffscreenSurface().GetPixels());
    }
    // The tool is gone before the client it replaced: nothing may reach it now.
    EXPECT_EQ(first.GetBits(), nullptr);
}

} // namespace

namespace {

TEST(Canvas565, ImageSizeInScreenTerms)
{
    CCanvas565 canvas(nullptr);
    std::vector<uint16_t> pixels(6);
    CImageStore& store = canvas.GetImageStore();
    store.SetExternal(store.GetOrCreate(0x1234), reinterpret_cast<uint8_t*>(pixels.data()), 3, 2, 6);
    int width = -1, height = -1;
    EXPECT_FALSE(canvas.GetImageSize(0x1334, width, height)); // page 0x13 was never filled
    EXPECT_EQ(width, -1);
    EXPECT_EQ(height, -1);
    EXPECT_TRUE(canvas.GetImageSize(0x1235, width, height)); // an empty slot of a filled page
    EXPECT_EQ(width, 0);
    EXPECT_TRUE(canvas.GetImageSize(0x1234, width, height));
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    // A quarter turn exchanges the axes.
    ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(0, 0, 0, 1, 1, 0, 0, 0));
    EXPECT_TRUE(canvas.GetImageSize(0x1234, width, height));
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 3);
}

} // namespace
