#include "drawlib/glyph_sets.h"
#include "drawlib/rgb565.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/draw_suspender.h"
#include "foundation/page_image_list.h"
#include "platform/display.h"
#include "tests/drawlib/text_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

QString StripFolder(int dpi)
{
    return QDir(QStringLiteral(TRAVENOR_BUILD_DATA_DIR))
        .filePath(dpi == 192 ? QStringLiteral("resources/vga") : QStringLiteral("resources/qvga"));
}

// Loads the five strips of the screen's class into the tool.
void LoadStrips(CDrawTool& tool, int dpi)
{
    for (const GlyphFontMetrics& f : kGlyphFonts)
        ASSERT_TRUE(tool.LoadResource(StripFolder(dpi), uint32_t(f.id))) << f.id;
}

TEST(ScreenDrawTool, FontsScaleWithTheResolutionClass)
{
    struct Case {
        int dpi;
        uint32_t flag;
        int title[2], small[2], text[2], number[2];
        int digitsHeight, digitsLastEdge;
    };
    const Case cases[] = {
        { 96, CDrawTool::FLAG_RESOLUTION_1, { 10, 15 }, { 7, 12 }, { 8, 12 }, { 7, 12 }, 18, 148 },
        { 192, CDrawTool::FLAG_RESOLUTION_2, { 17, 30 }, { 14, 24 }, { 16, 24 }, { 14, 24 }, 36, 296 },
        // An unusual density has no class: flag 0x20 as for class 2, the title font's narrow width.
        { 120, CDrawTool::FLAG_RESOLUTION_2, { 10, 18 }, { 8, 15 }, { 10, 15 }, { 8, 15 }, 22, 185 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        ScopedScreen screen(240, 320, c.dpi);
        platform::Display display(QSize(240, 320), c.dpi);
        CScreenDrawTool tool;
        tool.Init(&display, true);
        EXPECT_EQ(tool.GetFlags(), c.flag);
        auto size = [&](int id) {
            return std::vector<int> { tool.GetFont(id).GetFixedWidth(), tool.GetFont(id).GetLineHeight() };
        };
        EXPECT_EQ(size(FONT_TITLE), std::vector<int>(c.title, c.title + 2));
        EXPECT_EQ(size(FONT_SMALL), std::vector<int>(c.small, c.small + 2));
        EXPECT_EQ(size(FONT_TEXT), std::vector<int>(c.text, c.text + 2));
        EXPECT_EQ(size(FONT_NUMBER), std::vector<int>(c.number, c.number + 2));
        const CGlyphFont& digits = tool.GetFont(FONT_DIGITS);
        EXPECT_EQ(digits.GetLineHeight(), c.digitsHeight);
        EXPECT_EQ(digits.GetGlyphCount(), 18);
        EXPECT_EQ(digits.GetGlyphTable().back(), c.digitsLastEdge);
        EXPECT_EQ(digits.GetGlyphSet(), std::u16string(kDigitGlyphSet));
        EXPECT_EQ(tool.GetFont(FONT_TEXT).GetGlyphSet().size(), 160u);
        for (const GlyphFontMetrics& f : kGlyphFonts) {
            EXPECT_EQ(tool.GetFont(f.id).GetFontId(), f.id);
            EXPECT_EQ(tool.GetFont(f.id).GetColour(), 0xFF00FFu);
            EXPECT_EQ(tool.GetFont(f.id).GetDrawTool(), &tool);
        }
        EXPECT_EQ(&tool.GetFont(0), &tool.GetFont(FONT_SMALL));
        EXPECT_EQ(&tool.GetFont(12345), &tool.GetFont(FONT_SMALL));
    }
}

TEST(ScreenDrawTool, GeneratedStripsHaveTheSizesTheFontsExpect)
{
    for (int dpi : { 96, 192 }) {
        SCOPED_TRACE(dpi);
        ScopedScreen screen(240, 320, dpi);
        platform::Display display(QSize(240, 320), dpi);
        CScreenDrawTool tool;
        tool.Init(&display, true);
        for (const GlyphFontMetrics& f : kGlyphFonts) {
            SCOPED_TRACE(f.id);
            ASSERT_TRUE(
                QFileInfo::exists(QDir(StripFolder(dpi)).filePath(QStringLiteral("%1.bmp").arg(f.id))));
            ASSERT_TRUE(tool.LoadResource(StripFolder(dpi), uint32_t(f.id)));
            const CGlyphFont& font = tool.GetFont(f.id);
            const CStoredImage* strip = tool.GetCanvas()->GetImageStore().buffer(uint32_t(f.id));
            ASSERT_TRUE(strip && strip->buf());
            const int width = f.digits ? font.GetGlyphTable().back() : font.GetFixedWidth() * kTextGlyphCount;
            EXPECT_EQ(strip->GetWidth(), width);
            EXPECT_EQ(strip->GetHeight(), font.GetLineHeight());
            // Glyphs on the key colour.
            int key = 0, ink = 0;
            for (int r = 0; r < strip->GetHeight(); ++r)
                for (int x = 0; x < strip->GetWidth(); ++x)
                    (strip->Row(r)[x] == 0xF81F ? key : ink)++;
            EXPECT_GT(key, ink);
            EXPECT_GT(ink, 0);
        }
    }
}

// What the draw tool copies is what the device window shows, on every screen.
TEST(ScreenDrawTool, TheDeviceWindowShowsTheCopiedFrame)
{
    const QSize sizes[]
        = { { 240, 320 }, { 320, 240 }, { 240, 240 }, { 480, 640 }, { 640, 480 }, { 480, 234 } };
    for (const QSize& size : sizes)
        for (int dpi : { 96, 192 }) {
            SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << "@" << dpi);
            ScopedScreen screen(size.width(), size.height(), dpi);
            platform::Display display(size, dpi);
            platform::DeviceScreen window(display);
            CScreenDrawTool tool;
            tool.Init(&display, true);
            LoadStrips(tool, dpi);
            const int w = size.width(), h = size.height();
            tool.Clear(0xE0E0E0, false);
            tool.FillSolidRect(0, 0, 3, 3, 0x0000FF, 255, false);
            tool.FillSolidRect(w - 3, h - 3, 3, 3, 0xFF0000, 255, false);
            CGlyphFont& font = tool.GetFont(FONT_TEXT);
            const int top = ScaleByDpiY(20);
            EXPECT_TRUE(font.DrawString(u"Travenor Pro: Маршрут", ScaleByDpiX(4), top));

            tool.BeginDraw(nullptr);
            tool.CopyToScreen();
            tool.EndDraw();
            EXPECT_EQ(display.Pixel(0, 0), PackRGB565(255, 0, 0));
            EXPECT_EQ(display.Pixel(w - 1, h - 1), PackRGB565(0, 0, 255));
            // Dark text pixels lie in the text's band and nowhere else.
            int inBand = 0, outside = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (display.Pixel(x, y) == PackRGB565(0x10, 0x10, 0x10))
                        (y >= top && y < top + font.GetLineHeight() ? inBand : outside)++;
            EXPECT_GT(inBand, 20 * dpi / 96);
            EXPECT_EQ(outside, 0);

            const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB16);
            EXPECT_EQ(shown, display.Snapshot());
        }
}

// Text of both alphabets wrapped, centred, clipped and cut with an ellipsis,
// compared with pictures checked by eye. The picture of a run is written to
// the working folder; TRAVENOR_UPDATE_GOLDEN=1 makes it the new golden.
TEST(ScreenDrawTool, TextMatchesTheGoldenPictures)
{
    for (int dpi : { 96, 192 }) {
        SCOPED_TRACE(dpi);
        const int w = dpi == 192 ? 480 : 240, h = dpi == 192 ? 640 : 320;
        ScopedScreen screen(w, h, dpi);
        platform::Display display(QSize(w, h), dpi);
        CScreenDrawTool tool;
        tool.Init(&display, true);
        LoadStrips(tool, dpi);
        auto X = ScaleByDpiX;
        auto Y = ScaleByDpiY;
        auto rect = [&](int l, int t, int r, int b) { return GlyphRect { X(l), Y(t), X(r), Y(b) }; };
        tool.Clear(0xF0F0F0, false);

        // The title font on the colour of the message window's title strip.
        tool.FillSolidRect(0, 0, w, Y(20), 0xEACBAF, 255, false);
        tool.GetFont(FONT_TITLE)
            .DrawTextInRect(u"Travenor Pro", -1, rect(0, 0, 240, 20), 0x14, nullptr, nullptr);

        CGlyphFont& text = tool.GetFont(FONT_TEXT);
        CGlyphFont& small = tool.GetFont(FONT_SMALL);
        tool.DrawRect(X(4), Y(24), X(232), Y(38), 0x808080, false);
        text.DrawTextInRect(u"The route goes through 3 points.\nDrive 2.5 km, then turn right.", -1,
            rect(5, 25, 235, 61), 0x80, &tool.GetFont(FONT_NUMBER), nullptr);
        small.DrawTextInRect(u"Маршрут построен. Через 300 м поверните направо на улицу Ленина.", -1,
            rect(4, 64, 236, 100), 0x84, nullptr, nullptr);
        text.DrawTextInRect(
            u"Очень длинное название улицы", -1, rect(4, 102, 120, 116), 0x1, nullptr, nullptr);
        text.DrawTextInRect(u"Ёлка & €uro ½", -1, rect(124, 102, 236, 116), 0x4, nullptr, nullptr);

        // A clip narrower and lower than the rectangle: glyphs and lines cut.
        CGlyphFont clip;
        clip.SetClipRect(rect(10, 124, 110, 150));
        tool.DrawRect(X(10) - 1, Y(124) - 1, X(100) + 2, Y(26) + 2, 0x0000C0, false);
        small.DrawTextInRect(u"Clipped text of three lines, cut at both sides", -1, rect(4, 120, 120, 160),
            0xE0, nullptr, &clip);
        EXPECT_TRUE(tool.GetFont(FONT_DIGITS).DrawString(u"12.5km", X(124), Y(124)));
        EXPECT_TRUE(tool.GetFont(FONT_DIGITS).DrawString(u"300м", X(124), Y(142)));

        const QImage picture = [&] {
            tool.BeginDraw(nullptr);
            tool.CopyToScreen();
            tool.EndDraw();
            return display.Snapshot().copy(0, 0, w, Y(160)).convertToFormat(QImage::Format_RGB32);
        }();
        const QString name = dpi == 192 ? QStringLiteral("text_vga.png") : QStringLiteral("text_qvga.png");
        picture.save(name);
        const QString golden = QStringLiteral(TRAVENOR_TEST_SOURCE_DIR "/drawlib/golden/") + name;
        if (qEnvironmentVariableIntValue("TRAVENOR_UPDATE_GOLDEN")) {
            QDir().mkpath(QFileInfo(golden).path());
            ASSERT_TRUE(picture.save(golden));
        }
        const QImage expected(golden);
        ASSERT_FALSE(expected.isNull()) << "missing " << golden.toStdString();
        EXPECT_EQ(picture, expected.convertToFormat(QImage::Format_RGB32))
            << "compare " << QDir::current().filePath(name).toStdString() << " with " << golden.toStdString()
            << " (TRAVENOR_UPDATE_GOLDEN=1 makes the new picture the golden)";
    }
}

TEST(ScreenDrawTool, DestroyingTheBufferWaitsForTheFrameBeingCopied)
{
    ScopedScreen screen(240, 320, 96);
    platform::ScopedProcessObject<CScreenDrawTool> tool(g_drawTool);
    platform::Display display(QSize(240, 320), 96);
    g_drawTool->Init(&display, true);
    ASSERT_NE(g_drawTool->GetCanvas(), nullptr);
    g_drawTool->Clear(0xFF0000, false);

    // The draw thread copies a frame under the drawing lock, as it does
    // every frame; the user-interface thread destroys the buffer meanwhile.
    std::atomic<bool> frameStarted { false }, destroyCalled { false };
    bool bufferLastedTheFrame = false;
    std::thread drawThread([&] {
        ASSERT_TRUE(g_drawSuspender.LockDrawing(5000));
        frameStarted = true;
        while (!destroyCalled)
            std::this_thread::yield();
        // Give a destroy that does not wait the chance to free the buffer now.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        g_drawTool->BeginDraw(nullptr);
        bufferLastedTheFrame = g_drawTool->GetCanvas() != nullptr;
        g_drawTool->CopyToScreen();
        g_drawTool->EndDraw();
        g_drawSuspender.UnlockDrawing();
    });
    while (!frameStarted)
        std::this_thread::yield();
    destroyCalled = true;
    g_drawTool->DestroyBuffer();
    drawThread.join();
    EXPECT_TRUE(bufferLastedTheFrame);
    EXPECT_EQ(display.Pixel(5, 5), PackRGB565(0, 0, 255));
    EXPECT_EQ(g_drawTool->GetCanvas(), nullptr);

    // With the drawing suspended the lock is already held: no wait.
    g_drawTool->Init(&display, true);
    g_drawSuspender.Suspend();
    g_drawTool->DestroyBuffer();
    g_drawSuspender.Resume(1);
    EXPECT_EQ(g_drawTool->GetCanvas(), nullptr);
}

TEST(ScreenDrawTool, PagesLetTheProgramBitmapsGo)
{
    ScopedScreen screen(240, 320, 96);
    platform::ScopedProcessObject<CScreenDrawTool> tool(g_drawTool);
    platform::Display display(QSize(240, 320), 96);
    g_drawTool->Init(&display, true);
    std::vector<uint16_t> pixels(16, 0);
    CImageStore& store = g_drawTool->GetCanvas()->GetImageStore();
    store.SetExternal(store.GetOrCreate(7), reinterpret_cast<uint8_t*>(pixels.data()), 4, 4, 8);
    ASSERT_NE(g_drawTool->CreateHBITMAP(7), nullptr);
    {
        CPageImageList list;
        list.Release();
    }
    EXPECT_EQ(g_drawTool->CachedBitmapCount(), 0u);
    g_drawTool->DestroyBuffer();
}

} // namespace
