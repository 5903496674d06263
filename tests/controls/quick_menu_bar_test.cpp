// The quick bar at the bottom right of the map: its place and buttons, the
// quick menu of the language, stylus presses, the key table, and the keys of
// the device window going through it before the hardware-key map.
#include "controls/quick_menu_bar.h"

#include "app/main_frame.h"
#include "app/modal_windows.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "controls/command_registry.h"
#include "nav/map_controller.h"
#include "platform/keys.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"
#include "tests/controls/widget_rig.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using controlstest::ExpertMode;
using controlstest::WidgetRig;

ElementPoint Centre(const CQuickMenuBar& bar, int button)
{
    ElementPoint at;
    ElementSize size;
    bar.GetPosition(at);
    bar.GetSize(size);
    const int step = (size.cx - ScaleByDpiX(32)) / 2;
    const int left = button == 0 ? at.x : at.x + ScaleByDpiX(32) + step;
    const int width = button == 0 ? ScaleByDpiX(32) + step : step;
    return { left + width / 2, at.y + size.cy / 2 };
}

TEST(QuickMenuBar, SitsAtTheBottomRightWithTheQuickMenuOfTheLanguage)
{
    ExpertMode simple(0);
    for (const auto& [width, height] : { std::pair { 240, 320 }, std::pair { 640, 480 } }) {
        WidgetRig rig(width, height);
        CQuickMenuBar* bar = rig.Controller().GetQuickBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->GetState(), CScreenElement::STATE_SHOWN) << "shown in simple mode";
        ElementPoint at;
        ElementSize size;
        bar->GetPosition(at);
        bar->GetSize(size);
        EXPECT_EQ(
            at, (ElementPoint { width - 3 * ScaleByDpiX(32) - ScaleByDpiX(13), height - GetButtonSide() }));
        EXPECT_EQ(at.x + size.cx, width - ScaleByDpiX(3)) << width;
        EXPECT_EQ(bar->GetButtonCommand(0), CMD_QUICK_MENU_EN);
        EXPECT_EQ(bar->GetButtonCommand(1), CMD_DRIVING_MODE);
        // Hit test: the first button's span, the second's, the remainder at the right end.
        EXPECT_EQ(bar->HitTest(Centre(*bar, 0)), 0);
        EXPECT_EQ(bar->HitTest(Centre(*bar, 1)), 1);
        EXPECT_EQ(bar->HitTest({ at.x + size.cx - 1, at.y }), (size.cx - ScaleByDpiX(32)) % 2 ? -1 : 1);
        EXPECT_EQ(bar->HitTest({ at.x - 1, at.y + 1 }), -1);

        // The language switched while the program runs: the first button follows at the next frame.
        g_language = LANGUAGE_RUSSIAN;
        EXPECT_EQ(bar->GetButtonCommand(0), CMD_QUICK_MENU_EN);
        rig.DrawMap();
        EXPECT_EQ(bar->GetButtonCommand(0), CMD_QUICK_MENU_RU);
        g_language = LANGUAGE_ENGLISH;
        rig.DrawMap();
        EXPECT_EQ(bar->GetButtonCommand(0), CMD_QUICK_MENU_EN);
    }
    // Expert mode starts with the bar hidden: it comes with driving mode only.
    {
        ExpertMode expert(1);
        WidgetRig rig;
        CQuickMenuBar* bar = rig.Controller().GetQuickBar();
        EXPECT_EQ(bar->GetState(), CScreenElement::STATE_HIDDEN);
        EXPECT_EQ(bar->OnPointerDown(Centre(*bar, 1)), 0);
        ExecuteCommand(CMD_DRIVING_MODE);
        EXPECT_EQ(bar->GetState(), CScreenElement::STATE_SHOWN);
        ExecuteCommand(CMD_DRIVING_MODE);
        EXPECT_EQ(bar->GetState(), CScreenElement::STATE_HIDDEN);
    }
}

TEST(QuickMenuBar, AStylusPressRunsTheButtonOnlyWhenReleasedOnIt)
{
    ExpertMode simple(0);
    WidgetRig rig;
    platform::ScopedProcessObject<CButtonHint> hint(g_buttonHint);
    CMapController& controller = rig.Controller();
    CQuickMenuBar& bar = *controller.GetQuickBar();
    const ElementPoint drive = Centre(bar, 1);

    EXPECT_EQ(bar.OnPointerDown(drive), 1);
    EXPECT_EQ(bar.GetPressedIndex(), 1);
    // Slid off the bar and let go there: nothing runs and the focus has left.
    EXPECT_EQ(bar.OnPointerMove({ drive.x, drive.y - 100 }), 0);
    EXPECT_EQ(bar.OnPointerUp({ drive.x, drive.y - 100 }), 0);
    EXPECT_FALSE(controller.IsMovingMode());
    EXPECT_EQ(bar.GetPressedIndex(), -1);
    // Slid from the first button onto the second: the focus follows, but the
    // release is not on the pressed button.
    bar.OnPointerDown(Centre(bar, 0));
    EXPECT_EQ(bar.OnPointerMove(drive), 1);
    EXPECT_EQ(bar.GetFocusedIndex(), 1);
    EXPECT_EQ(bar.OnPointerUp(drive), 1);
    EXPECT_FALSE(controller.IsMovingMode());
    // Down and up on driving mode.
    bar.OnPointerDown(drive);
    EXPECT_EQ(bar.OnPointerUp(drive), 1);
    EXPECT_TRUE(controller.IsMovingMode());
    ExecuteCommand(CMD_DRIVING_MODE);
    EXPECT_FALSE(controller.IsMovingMode());
}

TEST(QuickMenuBar, TheKeysMoveTheFocusAndEnterClicks)
{
    ExpertMode simple(0);
    WidgetRig rig;
    platform::ScopedProcessObject<CButtonHint> hint(g_buttonHint);
    CMapController& controller = rig.Controller();
    CQuickMenuBar& bar = *controller.GetQuickBar();
    using namespace platform;
    enum { UP_KEY, DOWN_KEY };
    const struct {
        const char* what;
        int key, edge, answer;
        bool focused;
        int index;
    } table[] = {
        { "an unfocused bar takes no key press", VK_RETURN, DOWN_KEY, 0, false, 0 },
        { "left while unfocused is passed on", VK_LEFT, UP_KEY, 0, false, 0 },
        { "down enters the bar", VK_DOWN, UP_KEY, 1, true, 0 },
        { "a second down is passed on", VK_DOWN, UP_KEY, 0, true, 0 },
        { "left on the first button is passed on", VK_LEFT, UP_KEY, 0, true, 0 },
        { "right moves to the second", VK_RIGHT, UP_KEY, 1, true, 1 },
        { "right on the second is passed on", VK_RIGHT, UP_KEY, 0, true, 1 },
        { "a focused bar takes every key press", VK_LEFT, DOWN_KEY, 1, true, 1 },
        { "tab leaves the bar", VK_TAB, UP_KEY, 1, false, 1 },
        { "a second tab is passed on", VK_TAB, UP_KEY, 0, false, 1 },
        { "down comes back to the button focused last", VK_DOWN, UP_KEY, 1, true, 1 },
        { "left moves to the first", VK_LEFT, UP_KEY, 1, true, 0 },
        { "up leaves the bar", VK_UP, UP_KEY, 1, false, 0 },
        { "down", VK_DOWN, UP_KEY, 1, true, 0 },
        { "escape leaves the bar", VK_ESCAPE, UP_KEY, 1, false, 0 },
        { "any other key is passed on", VK_APP1, UP_KEY, 0, false, 0 },
    };
    for (const auto& row : table) {
        const int answer = row.edge == DOWN_KEY ? bar.OnKeyDown(row.key) : bar.OnKeyUp(row.key);
        EXPECT_EQ(answer, row.answer) << row.what;
        EXPECT_EQ(bar.IsFocused(), row.focused) << row.what;
        EXPECT_EQ(bar.GetFocusedIndex(), row.index) << row.what;
    }
    // Enter on the second button: pressed while held, driving mode on the release.
    bar.OnKeyUp(VK_DOWN);
    bar.OnKeyUp(VK_RIGHT);
    EXPECT_EQ(bar.OnKeyDown(VK_RETURN), 1);
    EXPECT_EQ(bar.GetPressedIndex(), 1);
    EXPECT_EQ(bar.OnKeyUp(VK_RETURN), 1);
    EXPECT_EQ(bar.GetPressedIndex(), -1);
    EXPECT_TRUE(controller.IsMovingMode());
    // The release of the key that opened the route wizard is taken once and does nothing else.
    g_bSwallowKeyUp = 1;
    EXPECT_EQ(bar.OnKeyUp(VK_RETURN), 1);
    EXPECT_EQ(g_bSwallowKeyUp.load(), 0);
    EXPECT_TRUE(controller.IsMovingMode());
    // While the wizard is in use the keys go on to the hardware keys' fixed map commands.
    SetRouteWizardInUse(true);
    EXPECT_EQ(bar.OnKeyUp(VK_RETURN), 0);
    EXPECT_TRUE(controller.IsMovingMode());
    SetRouteWizardInUse(false);
    ExecuteCommand(CMD_DRIVING_MODE);
}

TEST(QuickMenuBar, TheDeviceWindowsKeysReachTheBarBeforeTheHardwareKeys)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    apptest::RunProgram([] {
        QWidget* screen = theApp->GetDeviceScreen();
        CQuickMenuBar* bar = g_MapController->GetQuickBar();
        ASSERT_EQ(bar->GetState(), CScreenElement::STATE_SHOWN);
        const int32_t y = g_MapController->GetCentreY();
        // The first Down enters the bar and leaves the map where it is; the
        // second goes on to the hardware keys, which move the map.
        QTest::keyClick(screen, Qt::Key_Down);
        EXPECT_TRUE(bar->IsFocused());
        EXPECT_EQ(g_MapController->GetCentreY(), y);
        QTest::keyClick(screen, Qt::Key_Down);
        EXPECT_NE(g_MapController->GetCentreY(), y);
        QTest::keyClick(screen, Qt::Key_Right);
        QTest::keyClick(screen, Qt::Key_Return);
        EXPECT_TRUE(g_MapController->IsMovingMode());
        QTest::keyClick(screen, Qt::Key_Return);
        EXPECT_FALSE(g_MapController->IsMovingMode());
        QTest::keyClick(screen, Qt::Key_Escape);
        EXPECT_FALSE(bar->IsFocused());
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
    });
}

} // namespace
