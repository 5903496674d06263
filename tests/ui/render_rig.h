#pragma once
// A screen draw tool over an emulated display for the length of a test, with
// pictures and glyph strips made by the test (every glyph a dark block), and
// comparison against golden images (TRAVENOR_UPDATE_GOLDEN=1 rewrites them).
#include "drawlib/glyph_sets.h"
#include "drawlib/image_store.h"
#include "drawlib/screen_draw_tool.h"
#include "platform/display.h"
#include "tests/support/bmp_builder.h"
#include "ui/element_drawing.h"
#include "ui_testing.h"

#include <QDir>
#include <QImage>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace uitest {

constexpr uint32_t kBackdrop = 0x406080; // draw-tool colour: a dull blue-grey

class RenderRig {
public:
    RenderRig(int w, int h, int dpi, int language = LANGUAGE_ENGLISH)
        : m_screen(w, h, dpi, language)
        , m_display(QSize(w, h), dpi)
    {
        g_drawTool->Init(&m_display, true);
        g_drawTool->Clear(kBackdrop, false);
        MakeFonts();
    }
    ~RenderRig() { g_drawTool->DestroyBuffer(); }
    RenderRig(const RenderRig&) = delete;
    RenderRig& operator=(const RenderRig&) = delete;

    // A stored image from 0xRRGGBB pixels, top row first.
    void Image(int id, int w, int h, const std::function<uint32_t(int, int)>& pixel)
    {
        testbmp::Layout layout;
        layout.width = w;
        layout.height = h;
        const std::vector<uint8_t> file = testbmp::MakeFile(layout, pixel);
        std::string error;
        ASSERT_TRUE(
            ConvertBitmapFile(*g_drawTool->GetCanvas(), uint32_t(id), file.data(), file.size(), &error))
            << error;
    }
    // A solid picture with a one-pixel magenta (transparent) border.
    void Solid(int id, int w, int h, uint32_t rgb)
    {
        Image(id, w, h, [=](int x, int y) {
            return x == 0 || y == 0 || x == w - 1 || y == h - 1 ? kImageKeyColour : rgb;
        });
    }

    // 0xRRGGBB of a surface pixel.
    static uint32_t Rgb(int x, int y)
    {
        const uint32_t p = uint32_t(g_drawTool->GetPixel(x, y, false));
        return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
    }

    QImage Snapshot()
    {
        const int w = g_drawTool->GetWidth(), h = g_drawTool->GetHeight();
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, Rgb(x, y));
        return image;
    }

    void ExpectGolden(const QString& name)
    {
        const QImage actual = Snapshot();
        const QString file
            = QDir(TRAVENOR_TEST_SOURCE_DIR "/ui/golden")
                  .filePath(
                      QStringLiteral("%1_%2x%3.png").arg(name).arg(actual.width()).arg(actual.height()));
        if (std::getenv("TRAVENOR_UPDATE_GOLDEN")) {
            QDir().mkpath(QFileInfo(file).path());
            ASSERT_TRUE(actual.save(file));
            return;
        }
        const QImage golden(file);
        ASSERT_FALSE(golden.isNull()) << "missing golden image " << file.toStdString();
        EXPECT_TRUE(golden.convertToFormat(QImage::Format_RGB32) == actual)
            << "differs from " << file.toStdString();
    }

private:
    // Glyphs are dark blocks inside their cells; spaces are key.
    void MakeFonts()
    {
        for (const GlyphFontMetrics& m : kGlyphFonts) {
            CGlyphFont& font = g_drawTool->GetFont(m.id);
            const int h = font.GetGlyphHeight();
            if (m.digits) {
                const std::vector<int32_t>& edges = font.GetGlyphTable();
                Image(m.id, edges.back(), h, [&](int x, int y) -> uint32_t {
                    size_t g = 0;
                    while (g + 1 < edges.size() && edges[g + 1] <= x)
                        ++g;
                    const bool inside = x > edges[g] && x < edges[g + 1] - 1 && y > 1 && y < h - 2;
                    return inside ? 0x000080 : kImageKeyColour;
                });
            } else {
                const int w = font.GetFixedWidth();
                const std::u16string set = font.GetGlyphSet();
                Image(m.id, w * int(set.size()), h, [&](int x, int y) -> uint32_t {
                    const int g = x / w, cx = x % w;
                    if (set[size_t(g)] == u' ')
                        return kImageKeyColour;
                    const bool inside = cx > 0 && cx < w - 1 && y > 1 && y < h - 2;
                    return inside ? (m.id == FONT_TITLE ? 0xFFFFFF : 0x202020) : kImageKeyColour;
                });
            }
        }
    }

    uitest::OnScreen m_screen;
    platform::Display m_display;
};

inline bool Near(uint32_t a, uint32_t b)
{
    for (int shift : { 0, 8, 16 })
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 8)
            return false;
    return true;
}

} // namespace uitest
