// The elements drawn on the screen draw tool, at both screen classes, against
// golden images (TRAVENOR_UPDATE_GOLDEN=1 rewrites them) and hand-checked
// pixels. The pictures and glyph strips are made here, so every pixel is known.
#include "fake_ui_hooks.h"
#include "render_rig.h"
#include "ui/button_hint.h"
#include "ui/framed_text.h"
#include "ui/target_arrow.h"
#include "ui/text_button.h"
#include "ui_testing.h"

#include <gtest/gtest.h>

namespace {

using uitest::Near;
using uitest::RenderRig;

struct Screen {
    int w, h, dpi;
};
const Screen kScreens[] = { { 240, 320, 96 }, { 480, 640, 192 } };

TEST(ElementRender, TargetArrowWithDistanceAndDimmed)
{
    for (const Screen s : kScreens) {
        RenderRig rig(s.w, s.h, s.dpi);
        const int side = ScaleByDpiX(30);
        for (int id = 478; id <= 501; ++id)
            rig.Image(id, side, side, [=](int x, int y) {
                // A wedge pointing right, so the sector shows.
                return std::abs(y - side / 2) <= x / 3 ? 0xC00000u : kImageKeyColour;
            });
        const double deg = M_PI / 180.0;
        CGeoPos here, there;
        here.Set(50 * deg, 30 * deg);
        there.Set(50 * deg, 30.01 * deg);
        CTargetArrow arrow, dim;
        arrow.SetSurface(g_drawTool.get());
        arrow.SetState(1);
        arrow.Update(here, there, 0.0, CTargetArrow::MODE_DISTANCE);
        arrow.DrawAt({ ScaleByDpiX(10), ScaleByDpiY(60) });
        dim.SetSurface(g_drawTool.get());
        dim.SetState(1);
        dim.Update(here, there, 0.0, 0);
        dim.DrawAt({ ScaleByDpiX(100), ScaleByDpiY(60) });
        // Frame corner and the line between picture and box are black; the box is white.
        const int x = ScaleByDpiX(10), y = ScaleByDpiY(60);
        EXPECT_TRUE(Near(rig.Rgb(x, y), 0));
        EXPECT_TRUE(Near(rig.Rgb(x + side / 2, y + side), 0));
        EXPECT_TRUE(Near(rig.Rgb(x + side - 2, y + side + ScaleByDpiY(20) - 2), 0xFFFFFF));
        rig.ExpectGolden("target_arrow");
    }
}

class BoxedText : public CFramedText {
public:
    explicit BoxedText(int style)
        : m_style(style)
    {
    }
    void GetFrameStyle(const ElementPoint&, const ElementSize&, int& style) override { style = m_style; }

private:
    int m_style;
};

TEST(ElementRender, CaptionBoxAndFramedText)
{
    for (const Screen s : kScreens) {
        RenderRig rig(s.w, s.h, s.dpi);
        CButtonHint hint;
        hint.Init(g_drawTool.get(), 0);
        ElementPoint anchor { ScaleByDpiX(5), ScaleByDpiY(5) };
        hint.ShowText("Zoom in", anchor, &g_drawTool->GetFont(FONT_SMALL));
        hint.Draw();
        const ElementRect box = hint.GetBox();
        EXPECT_TRUE(Near(rig.Rgb(box.left, box.top), 0x0000FF)); // the frame colour 0xFF0000 of the draw tool
        // A text wider than the screen spans it exactly.
        CButtonHint wide;
        wide.Init(g_drawTool.get(), 0);
        ElementPoint far { ScaleByDpiX(50), ScaleByDpiY(280) };
        wide.ShowText(QString(60, u'W'), far, &g_drawTool->GetFont(FONT_SMALL));
        wide.Draw();
        EXPECT_EQ(wide.GetBox().left, 0);
        EXPECT_EQ(wide.GetBox().right, s.w - 1);

        BoxedText framed(FRAME_BOXED | FRAME_CONTENT);
        framed.SetSurface(g_drawTool.get());
        framed.SetPosition({ ScaleByDpiX(20), ScaleByDpiY(100) });
        framed.SetSize({ ScaleByDpiX(150), ScaleByDpiY(40) });
        framed.SetText(&g_drawTool->GetFont(FONT_TEXT), "Framed text that wraps", 0x81);
        framed.Draw();
        // Cut by the left edge of the screen: fill and the right, top and bottom edges only.
        BoxedText cut(FRAME_CLIPPED | FRAME_CONTENT);
        cut.SetSurface(g_drawTool.get());
        const int top = ScaleByDpiY(160), height = ScaleByDpiY(40), width = ScaleByDpiX(100);
        cut.SetPosition({ -ScaleByDpiX(10), top });
        cut.SetSize({ width, height });
        cut.SetText(&g_drawTool->GetFont(FONT_TEXT), "Cut", 0);
        cut.Draw();
        EXPECT_TRUE(Near(rig.Rgb(0, top + height / 2), 0xFFFFFF));
        EXPECT_TRUE(Near(rig.Rgb(ScaleByDpiX(20), top), 0));
        EXPECT_TRUE(Near(rig.Rgb(ScaleByDpiX(20), top + height - 1), 0));
        EXPECT_TRUE(Near(rig.Rgb(width - ScaleByDpiX(10) - 1, top + height / 2), 0));
        rig.ExpectGolden("caption_and_framed");
    }
}

TEST(ElementRender, ButtonPressSteps)
{
    const uint32_t stepColours[3] = { 0x00C000, 0xC0C000, 0xC00000 };
    for (const Screen s : kScreens) {
        RenderRig rig(s.w, s.h, s.dpi);
        uitest::FakeUiHooks hooks;
        const int side = GetButtonSide();
        for (int step = 0; step < 3; ++step) {
            rig.Solid(10001 + step * 700, side, side, stepColours[step]);
            rig.Solid(3 + step * 700, ScaleByDpiX(60), ScaleByDpiY(24), stepColours[step]);
        }
        CScreenElement owner;
        // Image buttons held for 0, 1 and 2 frames.
        for (int step = 0; step < 3; ++step) {
            CImageButton button;
            button.SetImageId(10001);
            const int x = ScaleByDpiX(10) + step * (side + ScaleByDpiX(10));
            button.Attach(g_drawTool.get(), { x, ScaleByDpiY(20) }, &owner);
            button.SetPressed(step > 0 ? 1 : 0);
            for (int frame = 1; frame < step; ++frame)
                button.UpdatePressStep();
            button.DrawImage(0);
            EXPECT_EQ(button.GetPressStep(), step);
            EXPECT_TRUE(Near(rig.Rgb(x + side / 2, ScaleByDpiY(20) + side / 2), stepColours[step])) << step;
            EXPECT_TRUE(Near(rig.Rgb(x, ScaleByDpiY(20)), 0x806040)) << "magenta is transparent";
        }
        // Captioned buttons: image backgrounds, then filled ones with their 3-D frames.
        for (int step = 0; step < 3; ++step) {
            for (uint32_t style : { 0x1Du, 0x15u }) {
                CTextButton button;
                button.SetImageId(500);
                const int x = ScaleByDpiX(10) + step * ScaleByDpiX(75);
                const int y = style == 0x1D ? ScaleByDpiY(90) : ScaleByDpiY(130);
                button.Setup(g_drawTool.get(), { x, y }, &owner, "OK", { ScaleByDpiX(60), ScaleByDpiY(24) },
                    style, style == 0x1D ? 3 : 0xC0C0C0, 2, &g_drawTool->GetFont(FONT_TEXT), 21);
                button.SetPressed(step > 0 ? 1 : 0);
                for (int frame = 1; frame < step; ++frame)
                    button.UpdatePressStep();
                button.DrawImage(0);
            }
        }
        rig.ExpectGolden("button_steps");
    }
}

TEST(ElementRender, MessageWindowWithTwoButtons)
{
    for (const Screen s : kScreens) {
        RenderRig rig(s.w, s.h, s.dpi, LANGUAGE_RUSSIAN);
        uitest::FakeUiHooks hooks;
        const int width = ScaleByDpiX(200);
        rig.Image(214, width, ScaleByDpiY(22), [](int, int y) { return y < 2 ? 0x000000u : 0x2040A0u; });
        rig.Image(215, width, ScaleByDpiY(20),
            [=](int x, int) { return x < 2 || x >= width - 2 ? 0x000000u : 0xF0F0E0u; });
        rig.Image(216, width, ScaleByDpiY(8), [](int, int y) { return y >= 6 ? 0x000000u : 0xD0D0C0u; });
        for (int step = 0; step < 3; ++step)
            rig.Solid(3 + step * 700, ScaleByDpiX(88), ScaleByDpiY(24), step ? 0x80A0C0 : 0xA0C0E0);
        for (int step = 0; step < 3; ++step)
            rig.Solid(10047 + step * 700, ScaleByDpiX(16), ScaleByDpiY(16), 0xC00000);

        CMessageWindow window;
        hooks.window = &window;
        ASSERT_EQ(window.Attach(g_drawTool.get(), nullptr, 0), 1);
        ASSERT_EQ(window.AskCloseOrMinimize(10000), 1);
        window.Draw();
        // The buttons share the area's width in three equal gaps.
        ElementRect area;
        window.GetButtonArea(area);
        const CTextButton left = window.GetButton(0), right = window.GetButton(1);
        ElementPoint p0, p1;
        left.GetPosition(p0);
        right.GetPosition(p1);
        const int gap = (area.right - area.left - 2 * ScaleByDpiX(88)) / 3;
        EXPECT_EQ(p0.x, ScaleByDpiX(20) + area.left + gap);
        EXPECT_EQ(p1.x, p0.x + ScaleByDpiX(88) + gap);
        EXPECT_GE(window.GetBodyCount(), 2);
        rig.ExpectGolden("message_window");
    }
}

TEST(ElementRender, QuestionButtonsTouchWhenTheyDoNotFit)
{
    RenderRig rig(240, 320, 96);
    uitest::FakeUiHooks hooks;
    rig.Solid(214, 100, 22, 0x2040A0);
    rig.Solid(215, 100, 20, 0xF0F0E0);
    rig.Solid(216, 100, 8, 0xD0D0C0);
    rig.Solid(3, 60, 24, 0xA0C0E0);
    CMessageWindow window;
    hooks.window = &window;
    window.Attach(g_drawTool.get(), nullptr, 0);
    window.AskScreenChanged(-1);
    ElementPoint p0, p1;
    window.GetButton(0).GetPosition(p0);
    window.GetButton(1).GetPosition(p1);
    EXPECT_EQ(p0.x, 20 + 3);
    EXPECT_EQ(p1.x, p0.x + 60);
}

TEST(ElementRender, LongTextIsCutToTheMaximumHeight)
{
    RenderRig rig(240, 320, 96);
    rig.Solid(214, 200, 22, 0x2040A0);
    rig.Solid(215, 200, 20, 0xF0F0E0);
    CMessageWindow window;
    window.Attach(g_drawTool.get(), nullptr, 0);
    window.Show("T", QString("word ").repeated(400), 0, -1, 0, std::nullopt, {}, 0, 10);
    ElementSize size;
    window.GetTextElement().GetSize(size);
    EXPECT_EQ(size.cy, 210 - 10);
    EXPECT_EQ(window.GetBodyCount(), (200 + 10) / 20 + 1);
    window.Show("T", "short", 0, -1, 0);
    window.GetTextElement().GetSize(size);
    EXPECT_EQ(size.cy, 12);
}

} // namespace
