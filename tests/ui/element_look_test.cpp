// The elements with the program's own generated pictures and glyph strips, at
// both screen classes, compared with their pictures in tests/ui/golden (look at
// a changed one, then store it with TRAVENOR_UPDATE_GOLDEN=1). Skipped when the
// pictures have not been generated.
#include "drawlib/glyph_sets.h"
#include "drawlib/screen_draw_tool.h"
#include "fake_ui_hooks.h"
#include "platform/display.h"
#include "tests/support/golden_picture.h"
#include "ui/button_hint.h"
#include "ui/target_arrow.h"
#include "ui_testing.h"

#include <gtest/gtest.h>

namespace {

TEST(ElementLook, GeneratedPictures)
{
    struct Screen {
        int w, h, dpi;
        const char* folder;
    };
    for (const Screen s : { Screen { 240, 320, 96, "qvga" }, Screen { 480, 640, 192, "vga" } }) {
        const QString folder = QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/resources/%1").arg(s.folder);
        if (!QFileInfo::exists(folder + "/214.bmp"))
            GTEST_SKIP() << "no generated pictures in " << folder.toStdString();
        uitest::OnScreen screen(s.w, s.h, s.dpi, LANGUAGE_RUSSIAN);
        uitest::FakeUiHooks hooks;
        platform::Display display(QSize(s.w, s.h), s.dpi);
        g_drawTool->Init(&display, true);
        for (int id : { 761, 196, 758, 795, 217, 214, 215, 216, 3, 703, 1403, 10047, 10747, 11447, 10001,
                 10701, 11401, 494, 845, 846 })
            EXPECT_TRUE(g_drawTool->LoadResource(folder, uint32_t(id))) << id;
        g_drawTool->Clear(0x60A060, false);

        CMessageWindow window;
        hooks.window = &window;
        window.Attach(g_drawTool.get(), nullptr, 0);
        window.AskCloseOrMinimize(10000);
        window.OnPointerDown({ ScaleByDpiX(60), ScaleByDpiY(190) }); // hold "Свернуть" to see its press
        window.Draw();
        window.Draw();

        CButtonHint hint;
        hint.Init(g_drawTool.get(), 0);
        ElementPoint anchor { 0, 1 };
        hint.ShowText("Увеличить масштаб", anchor, &g_drawTool->GetFont(FONT_SMALL));
        hint.Draw();

        CTargetArrow arrow;
        arrow.SetSurface(g_drawTool.get());
        arrow.SetState(1);
        const double deg = M_PI / 180.0;
        CGeoPos here, there;
        here.Set(50 * deg, 30 * deg);
        there.Set(50 * deg, 30.02 * deg);
        arrow.Update(here, there, 0.0, CTargetArrow::MODE_DISTANCE);
        arrow.DrawAt({ ScaleByDpiX(170), ScaleByDpiY(215) });

        CImageButton button;
        button.SetImageId(10001);
        button.Attach(g_drawTool.get(), { 0, s.h - GetButtonSide() }, &window);
        button.DrawImage(1);

        testing_support::ExpectGoldenPicture(testing_support::SurfacePicture(*g_drawTool),
            QStringLiteral("ui"), QStringLiteral("elements_%1x%2").arg(s.w).arg(s.h));
        g_drawTool->DestroyBuffer();
    }
}

} // namespace
