// A screenful of interface text drawn with the glyph fonts, wrapped into the
// whole screen, at both resolution classes.
#include "drawlib/glyph_sets.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/screen_metrics.h"
#include "platform/display.h"
#include "platform/options.h"

#include <QDir>
#include <benchmark/benchmark.h>
#include <string>

namespace {

const std::u16string& ScreenText()
{
    static const std::u16string text = [] {
        std::u16string t;
        while (t.size() < 4000)
            t += u"Маршрут построен. Через 300 м поверните направо на улицу Ленина. "
                 u"Drive 2.5 km, then turn left onto Station Road. ";
        return t;
    }();
    return text;
}

void TextScreen(benchmark::State& state)
{
    const int dpi = int(state.range(0));
    const QSize size = dpi == 192 ? QSize(480, 640) : QSize(240, 320);
    platform::Options options = platform::options();
    options.screen = size;
    options.dpi = dpi;
    platform::setOptions(options);
    ResetScreenMetrics();

    platform::Display display(size, dpi);
    CScreenDrawTool tool;
    tool.Init(&display, true);
    const QString folder
        = QDir(QStringLiteral(TRAVENOR_BUILD_DATA_DIR))
              .filePath(dpi == 192 ? QStringLiteral("resources/vga") : QStringLiteral("resources/qvga"));
    for (const GlyphFontMetrics& f : kGlyphFonts)
        if (!tool.LoadResource(folder, uint32_t(f.id))) {
            state.SkipWithError("the glyph strips are missing: build the glyph_strips target");
            return;
        }

    CGlyphFont& font = tool.GetFont(FONT_TEXT);
    const GlyphRect screen { 0, 0, size.width(), size.height() };
    const std::u16string& text = ScreenText();
    int64_t characters = 0;
    for (auto _ : state) {
        tool.Clear(0xF0F0F0, false);
        benchmark::DoNotOptimize(font.DrawTextInRect(
            text.c_str(), int(text.size()), screen, CGlyphFont::GF_WRAP, nullptr, nullptr));
        characters += (size.width() / font.GetFixedWidth()) * (size.height() / font.GetLineHeight());
    }
    state.SetItemsProcessed(characters);
    tool.DestroyBuffer();
}

} // namespace

BENCHMARK(TextScreen)->Arg(96)->Arg(192)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
