// The travenor program: the device screen with the navigation program on it.
#include "drawlib/glyph_sets.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/resource_dll.h"
#include "foundation/screen_metrics.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/options.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace {

// Until the application shell takes over: the draw tool's buffer on the device
// screen with a line of text in each interface font.
void ShowStartScreen(platform::Display& display)
{
    g_drawTool.SetFlags(0x08);
    g_drawTool.SetFlags(0x01);
    g_drawTool.Init(&display, true);
    CResourceDll resources;
    const QString module = resources.Load(ResourceLibraryNameForScreen());
    for (const GlyphFontMetrics& f : kGlyphFonts)
        g_drawTool.LoadResource(module, uint32_t(f.id));
    resources.Free();

    g_drawTool.Clear(0xF0F0F0, false);
    const int titleHeight = ScaleByDpiY(20);
    g_drawTool.FillSolidRect(0, 0, GetScreenWidth(), titleHeight, 0x703010, 255, false);
    g_drawTool.GetFont(FONT_TITLE)
        .DrawTextInRect(u"Travenor Pro", -1, { 0, 0, GetScreenWidth(), titleHeight },
            CGlyphFont::GF_CENTRE | CGlyphFont::GF_VCENTRE, nullptr, nullptr);
    int y = titleHeight + ScaleByDpiY(6);
    const std::pair<int, const char16_t*> lines[]
        = { { FONT_SMALL, u"Маршрут построен" }, { FONT_TEXT, u"Drive 2.5 km, then turn right" },
              { FONT_NUMBER, u"Через 300 м" }, { FONT_DIGITS, u"12.5km" } };
    const int margin = ScaleByDpiX(6);
    for (const auto& [id, text] : lines) {
        CGlyphFont& font = g_drawTool.GetFont(id);
        if (id == FONT_DIGITS) // proportional: one line only
            y += font.DrawString(text, margin, y) ? font.GetLineHeight() : 0;
        else
            y += font.DrawTextInRect(text, -1, { margin, y, GetScreenWidth() - margin, GetScreenHeight() },
                CGlyphFont::GF_WRAP, nullptr, nullptr);
        y += ScaleByDpiY(6);
    }
    g_drawTool.BeginDraw(nullptr);
    g_drawTool.CopyToScreen();
    g_drawTool.EndDraw();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Travenor Pro"));
    QApplication::setOrganizationName(QStringLiteral("Orvantis"));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (args.contains(QLatin1String("--help"))) {
        std::fputs(qPrintable(platform::OptionsHelp()), stdout);
        return 0;
    }
    QString error;
    auto options = platform::ParseOptions(args, &error);
    if (!options) {
        std::fprintf(stderr, "travenor: %s\n%s", qPrintable(error), qPrintable(platform::OptionsHelp()));
        return 2;
    }
    if (options->dataDir.isEmpty())
        options->dataDir = QStringLiteral(TRAVENOR_DEFAULT_DATA_DIR);
    platform::setOptions(*options);

    platform::Display display(options->screen, options->dpi);
    platform::DeviceScreen screen(display);
    platform::SetDeviceScreenWindow(&screen);
    if (options->fullscreen)
        screen.showFullScreen();
    else
        screen.show();
    ShowStartScreen(display);
    if (options->quitAfterMs > 0)
        QTimer::singleShot(options->quitAfterMs, &app, &QApplication::quit);
    const int result = QApplication::exec();
    g_drawTool.DestroyBuffer();
    return result;
}
