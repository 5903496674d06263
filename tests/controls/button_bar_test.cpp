// The button bars on the map controller of the shipped map: their places and
// default commands by orientation, the rules of the bar state, taps on the
// buttons and on the edge strip, and their block of the settings file.
#include "controls/button_bar.h"

#include "controls/command_registry.h"
#include "nav/map_controller.h"
#include "platform/archive.h"
#include "settings/settings_record.h"
#include "tests/controls/widget_rig.h"

#include <gtest/gtest.h>

namespace {

using controlstest::ExpertMode;
using controlstest::WidgetRig;

std::array<int32_t, 6> Commands(const CButtonBar& bar)
{
    std::array<int32_t, 6> commands {};
    for (int i = 0; i < 6; ++i)
        commands[static_cast<size_t>(i)] = bar.GetButtonCommand(i);
    return commands;
}

TEST(ButtonBar, EachOrientationPlacesTheBarsAndGivesThemTheirCommands)
{
    ExpertMode expert(1);
    const struct {
        int width, height;
        std::array<int32_t, 6> bottom, top;
        bool portrait;
    } table[] = {
        { 240, 320, { 10020, 10010, 10011, 10036, 10026, 10042 },
            { 10037, 10001, 10017, 10027, 10035, 10003 }, true },
        { 320, 240, { 10003, 10035, 10027, 10036, 10026, 10042 },
            { 10037, 10001, 10017, 10011, 10010, 10020 }, false },
    };
    for (const auto& row : table) {
        WidgetRig rig(row.width, row.height);
        platform::ScopedProcessObject<CButtonHint> hint(g_buttonHint); // a pressed button shows its name
        CMapController& controller = rig.Controller();
        CButtonBar& bottom = controller.GetBottomButtonBar();
        CButtonBar& top = controller.GetTopButtonBar();
        EXPECT_EQ(Commands(bottom), row.bottom) << row.width;
        EXPECT_EQ(Commands(top), row.top) << row.width;
        const int side = GetButtonSide();
        ElementPoint at;
        ElementSize size;
        bottom.GetPosition(at);
        bottom.GetSize(size);
        const int w = row.width, h = row.height;
        EXPECT_EQ(at, row.portrait ? (ElementPoint { 0, h - side }) : (ElementPoint { w - side, 0 }));
        EXPECT_EQ(size, row.portrait ? (ElementSize { 6 * side, side }) : (ElementSize { side, 6 * side }));
        top.GetPosition(at);
        EXPECT_EQ(at, (ElementPoint { 0, 0 }));
        // The strip lies along the bar's own screen edge.
        const CButtonBar::Rect strip = bottom.GetEdgeStrip();
        EXPECT_EQ(strip.right, w);
        EXPECT_EQ(strip.bottom, h);
        EXPECT_EQ(row.portrait ? strip.bottom - strip.top : strip.right - strip.left, ScaleByDpiY(4));
    }
}

TEST(ButtonBar, TheBarStateFollowsTheModeRules)
{
    WidgetRig rig;
    platform::ScopedProcessObject<CButtonHint> hint(g_buttonHint); // a pressed button shows its name
    CMapController& controller = rig.Controller();
    const struct {
        const char* what;
        int32_t expert;
        bool moving, topBar;
        int32_t before, requested;
        int32_t barState, elementState;
    } table[] = {
        { "expert: the bottom bar cannot be hidden", 1, false, false, 1, 0, 1, 1 },
        { "expert, moving: it can", 1, true, false, 1, 0, 0, 0 },
        { "simple: it can", 0, false, false, 1, 0, 0, 0 },
        { "on demand shows it", 0, false, false, 0, 2, 2, 1 },
        { "simple: the top bar never shows", 0, false, true, 0, 1, 1, 0 },
        { "expert: the top bar shows", 1, false, true, 0, 1, 1, 1 },
        { "a state no bar has is kept but changes nothing", 1, false, true, 1, 7, 7, 1 },
    };
    for (const auto& row : table) {
        ExpertMode expert(row.expert);
        if (row.moving != controller.IsMovingMode())
            ExecuteCommand(10042);
        ASSERT_EQ(controller.IsMovingMode(), row.moving) << row.what;
        CButtonBar& bar = row.topBar ? controller.GetTopButtonBar() : controller.GetBottomButtonBar();
        {
            ExpertMode simple(0); // the preparation itself knows no rule
            bar.SetBarState(row.before);
            bar.SetElementState(row.before ? CScreenElement::STATE_SHOWN : CScreenElement::STATE_HIDDEN);
        }
        if (row.topBar && row.expert && row.before)
            bar.SetElementState(CScreenElement::STATE_SHOWN);
        bar.SetBarState(row.requested);
        EXPECT_EQ(bar.GetBarState(), row.barState) << row.what;
        EXPECT_EQ(bar.GetState(), row.elementState) << row.what;
    }
    if (controller.IsMovingMode())
        ExecuteCommand(10042);
}

TEST(ButtonBar, ATapRunsTheButtonUnderItAndTheEdgeStripShowsAndHidesTheBar)
{
    ExpertMode expert(1);
    WidgetRig rig;
    platform::ScopedProcessObject<CButtonHint> hint(g_buttonHint); // a pressed button shows its name
    CMapController& controller = rig.Controller();
    CButtonBar& bar = controller.GetBottomButtonBar();
    bar.SetBarState(CButtonBar::BAR_SHOWN);
    ASSERT_EQ(bar.GetState(), CScreenElement::STATE_SHOWN);
    ASSERT_TRUE(bar.SetButtonCommand(2, 10008)); // zoom in
    const int side = GetButtonSide(), h = 320;
    const ElementPoint onButton2 { 2 * side + side / 2, h - side / 2 };
    const ElementPoint onButton4 { 4 * side + side / 2, h - side / 2 };

    int32_t scale = controller.GetScale();
    EXPECT_EQ(bar.OnPointerDown(onButton2), 1);
    EXPECT_EQ(bar.IsButtonPressed(2), 1);
    EXPECT_EQ(bar.OnPointerUp(onButton2), 1);
    EXPECT_EQ(bar.IsButtonPressed(2), 0);
    EXPECT_LT(controller.GetScale(), scale);

    // Down on one button, up on another: nothing runs and the first lets go.
    scale = controller.GetScale();
    EXPECT_EQ(bar.OnPointerDown(onButton2), 1);
    bar.OnPointerUp(onButton4);
    EXPECT_EQ(controller.GetScale(), scale);
    EXPECT_EQ(bar.IsButtonPressed(2), 0);

    // On demand, a tap on the strip over the button hides the bar and runs nothing;
    // a second one brings it back.
    bar.SetBarState(CButtonBar::BAR_ON_DEMAND);
    const ElementPoint onStrip { 2 * side + side / 2, h - 1 };
    for (const int expected : { CScreenElement::STATE_HIDDEN, CScreenElement::STATE_SHOWN }) {
        bar.OnPointerDown(onStrip);
        EXPECT_EQ(bar.OnPointerUp(onStrip), 1);
        EXPECT_EQ(bar.GetState(), expected);
        EXPECT_EQ(controller.GetScale(), scale);
    }
    // Always shown, the same tap is a tap on the button.
    bar.SetBarState(CButtonBar::BAR_SHOWN);
    bar.OnPointerDown(onStrip);
    bar.OnPointerUp(onStrip);
    EXPECT_LT(controller.GetScale(), scale);
    // A hidden bar takes no press.
    bar.SetBarState(CButtonBar::BAR_HIDDEN);
    ExpertMode simple(0);
    bar.SetBarState(CButtonBar::BAR_HIDDEN);
    EXPECT_EQ(bar.OnPointerDown(onButton2), 0);
    EXPECT_EQ(bar.OnPointerUp(onButton2), 0);
}

TEST(ButtonBar, TheBlockKeepsTheBarItsOwnIndexAndEmptiesForeignIds)
{
    ExpertMode expert(1);
    WidgetRig rig;
    platform::ScopedProcessObject<CButtonHint> hint(g_buttonHint); // a pressed button shows its name
    CButtonBar& top = rig.Controller().GetTopButtonBar();
    CButtonBar& bottom = rig.Controller().GetBottomButtonBar();
    top.SetBarState(CButtonBar::BAR_ON_DEMAND);
    top.SetButtonCommand(4, 10044);
    platform::Archive out;
    top.Store(out);
    ASSERT_EQ(out.Data().size(), CButtonBar::kBlockSize);

    // The top bar's block loaded into the bottom bar: the commands come, the index stays.
    platform::Archive in(out.Data());
    bottom.Load(in);
    EXPECT_EQ(bottom.GetBarIndex(), CButtonBar::BAR_BOTTOM);
    EXPECT_EQ(Commands(bottom), Commands(top));
    EXPECT_EQ(bottom.GetBarState(), CButtonBar::BAR_ON_DEMAND);
    platform::Archive again;
    top.Store(again);
    EXPECT_EQ(again.Data(), out.Data());

    platform::Archive foreign;
    foreign.WriteInt32(CButtonBar::BAR_TOP);
    foreign.WriteInt32(CButtonBar::BAR_SHOWN);
    for (int32_t id : { 10047, 14000, 10046, 9999, -1, 10000 })
        foreign.WriteInt32(id);
    const uint8_t reserved[8] {};
    foreign.WriteBytes(reserved, sizeof reserved);
    foreign.WriteInt32(1);
    platform::Archive foreignIn(foreign.Data());
    top.Load(foreignIn);
    EXPECT_EQ(Commands(top), (std::array<int32_t, 6> { 10000, 10000, 10046, 10000, 10000, 10000 }));

    // A cut block is an archive error.
    std::vector<uint8_t> cut = out.Data();
    cut.resize(cut.size() - 6);
    platform::Archive cutIn(cut);
    EXPECT_THROW(top.Load(cutIn), platform::ArchiveException);
}

} // namespace
