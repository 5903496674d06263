#include "fake_ui_hooks.h"
#include "foundation/geo_pos.h"
#include "platform/archive.h"
#include "ui/button_hint.h"
#include "ui/framed_text_list.h"
#include "ui/target_arrow.h"
#include "ui/text_button.h"
#include "ui_testing.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

CDrawTool* FakeSurface(uintptr_t n) { return reinterpret_cast<CDrawTool*>(n * 16); }

TEST(ScreenElement, BaseOperations)
{
    CScreenElement e;
    EXPECT_EQ(e.GetState(), 1);
    EXPECT_EQ(e.GetAlpha(), 255);
    EXPECT_EQ(e.GetSurface(), nullptr);
    e.SetAlpha(256);
    EXPECT_EQ(e.GetAlpha(), 255);
    e.SetAlpha(0);
    EXPECT_EQ(e.GetAlpha(), 0);
    EXPECT_EQ(e.SetSurface(nullptr), 0);
    EXPECT_EQ(e.SetSurface(FakeSurface(1)), 1);
    EXPECT_EQ(e.SetSurface(nullptr), 0);
    EXPECT_EQ(e.GetSurface(), FakeSurface(1));

    CScreenElement other;
    other.SetPosition({ 5, 6 });
    other.SetSize({ 7, 8 });
    other.SetState(0);
    other.SetAlpha(9);
    other.SetSurface(FakeSurface(2));
    e.SetSize({ 1, 2 });
    e.Assign(other);
    ElementPoint p;
    ElementSize s;
    e.GetPosition(p);
    e.GetSize(s);
    EXPECT_EQ(p, (ElementPoint { 5, 6 }));
    EXPECT_EQ(s, (ElementSize { 1, 2 }));
    EXPECT_EQ(e.GetAlpha(), 0);
    EXPECT_EQ(e.GetState(), 0);
    EXPECT_EQ(e.GetSurface(), FakeSurface(2));
    for (auto op : { &CScreenElement::OnPointerDown, &CScreenElement::OnPointerUp,
             &CScreenElement::OnPointerMove, &CScreenElement::OnDoubleClick })
        EXPECT_EQ((e.*op)({ 5, 6 }), 0);
}

TEST(ImageButton, IdsCommandsAndDiagrams)
{
    uitest::OnScreen screen(240, 320);
    uitest::FakeUiHooks hooks;
    hooks.checked[10047] = true;
    GetButtonSide();
    CImageButton b;
    ElementSize s;
    b.GetSize(s);
    EXPECT_EQ(s, (ElementSize { 40, 40 }));
    EXPECT_EQ(b.GetImageId(), 10000);
    EXPECT_EQ(b.GetAlpha(), 128);
    struct Case {
        int id;
        int result;
        int idAfter;
    };
    for (const Case c : { Case { 5, 1, 5 }, Case { 10053, 1, 10053 }, Case { 10054, 0, 10053 },
             Case { 13999, 0, 10053 }, Case { 14006, 1, 14006 }, Case { 14007, 0, 14006 } }) {
        b.SetSize({ 1, 1 });
        EXPECT_EQ(b.SetImageId(c.id), c.result) << c.id;
        EXPECT_EQ(b.GetImageId(), c.idAfter) << c.id;
        b.GetSize(s);
        EXPECT_EQ(s, (ElementSize { 40, 40 })) << "the size is reset even when refused";
    }
    EXPECT_EQ(b.SetImageId(10047), 1);
    EXPECT_EQ(b.GetPressed(), 1);

    b.SetImageId(10012);
    b.Execute();
    b.Invoke();
    b.SetImageId(500);
    b.Execute();
    EXPECT_EQ(hooks.executed, std::vector<int> { 10012 });
    EXPECT_EQ(hooks.invoked, std::vector<int> { 10012 });

    CScreenElement owner;
    owner.SetAlpha(77);
    b.SetImageId(14003);
    b.Attach(FakeSurface(1), { 3, 4 }, &owner);
    b.DrawImage(0);
    ASSERT_EQ(hooks.diagrams.size(), 1u);
    EXPECT_EQ(hooks.diagrams[0].id, 14003);
    EXPECT_EQ(hooks.diagrams[0].x, 3);
    EXPECT_EQ(hooks.diagrams[0].alpha, 77);
    EXPECT_EQ(b.UpdatePressStep(), 255);
}

TEST(ImageButton, PressStepsFollowThePressFrameByFrame)
{
    uitest::OnScreen screen(240, 320);
    uitest::FakeUiHooks hooks;
    CImageButton b;
    b.SetImageId(10001);
    b.SetPressed(1);
    EXPECT_EQ(b.UpdatePressStep(), 1);
    EXPECT_EQ(b.UpdatePressStep(), 2);
    EXPECT_EQ(b.UpdatePressStep(), 2);
    b.SetPressed(0);
    EXPECT_EQ(b.UpdatePressStep(), 1);
    EXPECT_EQ(b.UpdatePressStep(), 0);
    // Press and release between two frames never gets past the half-pressed step.
    b.SetPressed(1);
    b.SetPressed(0);
    EXPECT_EQ(b.UpdatePressStep(), 0);
    b.SetPressed(1);
    EXPECT_EQ(b.UpdatePressStep(), 1);
    b.SetPressed(0);
    EXPECT_EQ(b.UpdatePressStep(), 0);

    // A toggle command shows the registry's state, not the touch.
    hooks.kinds[10005] = COMMAND_TOGGLE;
    b.SetImageId(10005);
    b.SetPressed(1);
    EXPECT_EQ(b.GetPressed(), 0);
    hooks.checked[10005] = true;
    EXPECT_EQ(b.UpdatePressStep(), 1);
    EXPECT_EQ(b.GetPressed(), 1);
}

TEST(ImageButton, StoredAsItsIdAndLoadedThroughSetImageId)
{
    uitest::OnScreen screen(240, 320);
    platform::Archive out;
    CImageButton b;
    b.SetImageId(10031);
    b.Store(out);
    b.SetImageId(14000);
    b.Store(out);
    out.WriteInt32(20000);
    const std::vector<uint8_t> golden { 0x2f, 0x27, 0, 0, 0xb0, 0x36, 0, 0, 0x20, 0x4e, 0, 0 };
    ASSERT_EQ(out.Data(), golden);
    platform::Archive in(golden);
    CImageButton loaded;
    loaded.Load(in);
    EXPECT_EQ(loaded.GetImageId(), 10031);
    loaded.Load(in);
    EXPECT_EQ(loaded.GetImageId(), 14000);
    loaded.Load(in); // 20000 is refused
    EXPECT_EQ(loaded.GetImageId(), 14000);
}

TEST(TextButton, MarginFollowsTheBackground)
{
    CScreenElement owner;
    owner.SetAlpha(200);
    struct Case {
        uint32_t style;
        int margin;
    };
    for (const Case c : { Case { 4, 2 }, Case { 4 | 8, 7 }, Case { 1, 0 }, Case { 4 | 0x10, 2 } }) {
        CTextButton b;
        b.Setup(FakeSurface(1), { 1, 2 }, &owner, "x", { 30, 20 }, c.style, 0, 7, nullptr, 0);
        EXPECT_EQ(b.GetMargin(), c.margin) << c.style;
        EXPECT_EQ(b.GetAlpha(), 200);
        CTextButton copy = b;
        EXPECT_EQ(copy.GetCaption(), "x");
    }
}

TEST(ImageButton, HintAnchorFollowsTheBarsAndPanels)
{
    struct Case {
        int w, h;
        bool barShown;
        bool panel;
        ElementPoint anchor;
    };
    const Case cases[] = {
        { 240, 320, true, false, { 0, 41 } },
        { 240, 320, false, false, { 0, 1 } },
        { 320, 240, true, false, { 40, 41 } },
        { 320, 240, false, false, { 0, 1 } },
        { 240, 240, true, true, { 40, 71 } },
    };
    for (const Case& c : cases) {
        uitest::OnScreen screen(c.w, c.h);
        uitest::FakeUiHooks hooks;
        CScreenElement bar, panel;
        bar.SetState(c.barShown ? 1 : 0);
        panel.SetPosition({ 0, 50 });
        panel.SetSize({ 100, 20 });
        hooks.topBar = &bar;
        hooks.infoPanel = c.panel ? &panel : nullptr;
        g_buttonHint->Init(FakeSurface(1), 0);
        CImageButton b;
        b.SetImageId(10020);
        b.SetPressedWithHint(1);
        EXPECT_EQ(g_buttonHint->GetState(), 1);
        EXPECT_EQ(g_buttonHint->GetText(), "Command 10020");
        EXPECT_EQ(g_buttonHint->GetAnchor(), c.anchor) << c.w << "x" << c.h;
        b.SetPressedWithHint(0);
        EXPECT_EQ(g_buttonHint->GetState(), 0);
    }
}

TEST(ButtonHint, ShownAgainWithTheSameTextAfterBeingHidden)
{
    uitest::OnScreen screen(240, 320);
    uitest::FakeUiHooks hooks;
    CImageButton b;
    b.SetImageId(10020);
    g_buttonHint->Init(FakeSurface(1), 0);
    for (int press = 0; press < 3; ++press) {
        b.SetPressedWithHint(1);
        EXPECT_EQ(g_buttonHint->GetState(), 1) << press;
        b.SetPressedWithHint(0);
        EXPECT_EQ(g_buttonHint->GetState(), 0) << press;
    }
    // A second box asked for the first box's text shows it, not its own old one.
    CButtonHint other;
    ElementPoint anchor { 10, 10 };
    other.ShowText("old", anchor, nullptr);
    g_infoLabel->ShowText("new", anchor, nullptr);
    other.ShowText("new", anchor, nullptr);
    EXPECT_EQ(other.GetText(), "new");
}

TEST(ButtonHint, BoxIsKeptOnTheScreen)
{
    uitest::OnScreen screen(240, 320);
    CButtonHint hint;
    hint.Init(FakeSurface(1), 0);
    // Without a draw tool a text measures -1 and a line 255 high.
    ElementPoint anchor { 230, 300 };
    hint.ShowText("abc", anchor, nullptr);
    const ElementRect box = hint.GetBox();
    EXPECT_EQ(box, (ElementRect { 230, 60, 233, 319 }));
    EXPECT_EQ(anchor, (ElementPoint { 230, 60 }));
    EXPECT_EQ(hint.GetTextRect(), (ElementRect { box.left + 2, box.top + 2, box.right - 2, box.bottom - 2 }));
    // The same requested anchor again counts as unchanged.
    ElementPoint again { 230, 300 };
    hint.MoveTo(again);
    EXPECT_EQ(again, (ElementPoint { 230, 300 }));
    ElementPoint left { -50, 0 };
    hint.MoveTo(left);
    EXPECT_EQ(hint.GetBox().left, 0);
    EXPECT_EQ(left.x, 0);
}

TEST(TargetArrow, SectorsAndDirections)
{
    struct Case {
        double relative;
        int image;
    };
    for (const Case c : { Case { 7.5, 482 }, Case { 352.5, 485 }, Case { 0, 485 }, Case { 225, 488 },
             Case { 240, 489 }, Case { 359.99, 485 }, Case { 180, 478 }, Case { 90, 494 } })
        EXPECT_EQ(CTargetArrow::ImageForDirection(c.relative), c.image) << c.relative;

    uitest::OnScreen screen(240, 320);
    CTargetArrow arrow;
    arrow.SetSurface(FakeSurface(1));
    EXPECT_EQ(arrow.GetState(), 0);
    EXPECT_EQ(arrow.GetImage(), 485);
    const double deg = M_PI / 180.0;
    CGeoPos here, east, north;
    here.Set(50 * deg, 30 * deg);
    east.Set(50 * deg, 30.01 * deg);
    north.Set(50.01 * deg, 30 * deg);
    arrow.Update(here, east, 0.0, 1); // heading north, target east: right
    EXPECT_EQ(arrow.GetImage(), 494);
    EXPECT_EQ(arrow.GetMode(), 1);
    EXPECT_GT(arrow.GetDistance(), 500.0);
    arrow.Update(here, north, 90.0, 0); // heading east, target north: left
    EXPECT_EQ(arrow.GetImage(), 491);
    // A coincident target keeps the last direction.
    arrow.Update(here, here, 90.0, 0);
    EXPECT_EQ(arrow.GetImage(), 491);
    EXPECT_EQ(arrow.GetDistance(), 0.0);
    // An invalid position changes nothing.
    arrow.Update(CGeoPos(), east, 0.0, 1);
    EXPECT_EQ(arrow.GetImage(), 491);
}

class ItemList : public CFramedTextList {
public:
    void GetFrameStyle(const ElementPoint&, const ElementSize&, int& style) override { style = FRAME_BOXED; }
};

TEST(FramedElement, ItemsReplacedUnderTheWidgetLock)
{
    ItemList list;
    FramedTextItem items[3];
    list.SetTextItems(3, items);
    EXPECT_EQ(list.ItemCount(), 3u);
    list.SetTextItems(1, items);
    EXPECT_EQ(list.ItemCount(), 1u);
    list.SetTextItems(0, nullptr);
    EXPECT_EQ(list.ItemCount(), 0u);
}

} // namespace
