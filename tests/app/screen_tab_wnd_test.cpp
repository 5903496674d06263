// The full-screen window of the running program: the 250 ms tick on a manual
// clock, and where the stylus goes, driven through the real device window.
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/modal_windows.h"
#include "app/process_objects.h"
#include "app/screen_tab_wnd.h"
#include "app/travenor_app.h"
#include "controls/command_registry.h"
#include "nav/map_controller.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/timers.h"
#include "tests/app/app_rig.h"
#include "tests/nav/route_support.h"
#include "ui/message_window.h"

#include <QCoreApplication>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {

void Deliver()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Advances the clock and delivers the ticks that fell due: how many there were.
int Tick(platform::ManualClock& clock, uint32_t ms)
{
    clock.advance(ms);
    const int ticks = platform::DispatchDueTimers();
    Deliver();
    return ticks;
}

TEST(Tick, CountsInQuartersOfASecondAndStandsStillWhenItShould)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    platform::ScopedManualClock clock(1000);
    CProcessObjects objects;
    apptest::RunProgram([&] {
        CMessageWindow& window = *g_messageWnd;
        window.Show(QStringLiteral("Travenor Pro"), QStringLiteral("Проверка"), 0, 1000, 0);
        ASSERT_EQ(window.GetTimeout(), 1000);

        EXPECT_EQ(Tick(*clock, 249), 0);
        EXPECT_EQ(Tick(*clock, 1), 1);
        EXPECT_EQ(window.GetTimeout(), 750);

        // A stalled user-interface thread gets one tick, not a burst, and the
        // next period counts from that tick.
        EXPECT_EQ(Tick(*clock, 2000), 1);
        EXPECT_EQ(window.GetTimeout(), 500);
        EXPECT_EQ(Tick(*clock, 0), 0);

        // The route wizard in use: the tick does nothing at all.
        SetRouteWizardInUse(true);
        EXPECT_EQ(Tick(*clock, 250), 1);
        EXPECT_EQ(window.GetTimeout(), 500);
        // A long press armed before the wizard came is dropped, not kept for later.
        CScreenTabWindow* screenTab = g_screenTabHwnd.load();
        platform::SetTimer(screenTab, SCREEN_TAB_LONG_PRESS_TIMER, 500);
        Tick(*clock, 500);
        EXPECT_FALSE(platform::IsTimerActive(screenTab, SCREEN_TAB_LONG_PRESS_TIMER));
        SetRouteWizardInUse(false);

        // Without the focus there is no tick; with it back, the tick goes on.
        CMapWnd* map = theApp->GetMainWnd()->GetMapWnd();
        platform::send(map, platform::WM_KILLFOCUS);
        EXPECT_EQ(Tick(*clock, 1000), 0);
        EXPECT_EQ(window.GetTimeout(), 500);
        platform::send(map, platform::WM_SETFOCUS);
        EXPECT_EQ(Tick(*clock, 250), 1);
        EXPECT_EQ(window.GetTimeout(), 250);
        EXPECT_EQ(Tick(*clock, 250), 1);
        EXPECT_EQ(Tick(*clock, 250), 1);
        EXPECT_EQ(window.GetState(), CScreenElement::STATE_HIDDEN);
        CloseApplication();
    });
}

// A drag across the device window, as the stylus gives it.
void Drag(QWidget* screen, QPoint from, QPoint to)
{
    QTest::mousePress(screen, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(screen, to);
    QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, to);
    Deliver();
}

TEST(Pointer, TheStylusGoesToTheMessageWindowTheWizardOrTheMap)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    rig.SetRunBefore();
    CProcessObjects objects;
    apptest::RunProgram([&] {
        QWidget* screen = theApp->GetDeviceScreen();
        CMapController& controller = *g_MapController;
        const auto centre = [&] { return QPoint(controller.GetCentreX(), controller.GetCentreY()); };

        // Onto the map: a drag pans it.
        QPoint before = centre();
        Drag(screen, QPoint(120, 200), QPoint(150, 170));
        EXPECT_NE(centre(), before);
        EXPECT_EQ(g_bPointerUp, 1);
        EXPECT_FALSE(controller.IsPenDown());

        // A message that wants an answer takes the stylus first.
        g_messageWnd->AskCloseOrMinimize(10000);
        ASSERT_TRUE(g_messageWnd->CapturesInput());
        before = centre();
        Drag(screen, QPoint(120, 200), QPoint(150, 170));
        EXPECT_EQ(centre(), before);
        g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);

        // The route wizard in use: a press only marks the pen down and its
        // release goes to the wizard; the map stays.
        SetRouteWizardInUse(true);
        QTest::mousePress(screen, Qt::LeftButton, Qt::NoModifier, QPoint(120, 200));
        Deliver();
        EXPECT_EQ(g_bPointerUp, 0);
        EXPECT_FALSE(controller.IsPenDown());
        QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, QPoint(150, 170));
        Deliver();
        EXPECT_EQ(g_bPointerUp, 1);
        EXPECT_EQ(centre(), before);
        SetRouteWizardInUse(false);

        // A release without a press, and a double tap, leave the pen up and the map where it is.
        QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseDClick(screen, Qt::LeftButton, Qt::NoModifier, QPoint(120, 200));
        Deliver();
        EXPECT_EQ(g_bPointerUp, 1);
        EXPECT_FALSE(controller.IsPenDown());
        EXPECT_EQ(centre(), before);
        CloseApplication();
    });
}

// A drag with the stylus moves the map by exactly the dragged pixels, however
// the map is turned: the place under the press ends under the release.
TEST(Pointer, ADragPansByTheDraggedPixelsAtEveryRotation)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    rig.SetRunBefore();
    CProcessObjects objects;
    apptest::RunProgram([&] {
        QWidget* screen = theApp->GetDeviceScreen();
        CMapController& controller = *g_MapController;
        const QPoint from(120, 200), to(150, 170);
        for (const int32_t rotation : { 0, 300, 450, 900, 1350, 1800, 2250, 2700, 3150 }) {
            SCOPED_TRACE(rotation);
            controller.SetRotation(rotation);
            ASSERT_EQ(controller.RenderNow(), 0);
            ZXS_Point under, beside;
            ASSERT_TRUE(controller.ScreenToMap({ from.x(), from.y() }, under));
            ASSERT_TRUE(controller.ScreenToMap({ from.x() + 1, from.y() }, beside));
            const double pixel = std::hypot(double(beside.x - under.x), double(beside.y - under.y));
            ASSERT_GT(pixel, 0.0);

            Drag(screen, from, to);
            EXPECT_FALSE(controller.IsPenDown());
            EXPECT_EQ(controller.GetRotation(), rotation);
            ASSERT_EQ(controller.RenderNow(), 0);
            ZXS_Point after;
            ASSERT_TRUE(controller.ScreenToMap({ to.x(), to.y() }, after));
            EXPECT_LE(std::hypot(double(after.x - under.x), double(after.y - under.y)), 1.5 * pixel)
                << "the place under the press is now at (" << after.x << ", " << after.y << "), not ("
                << under.x << ", " << under.y << ")";
        }
        CloseApplication();
    });
}

// Taps by tap mode on the real window: the zoom window drawn with the stylus
// lands on its middle at the scale of its share of the screen; in the route
// point modes a tap sets the first or the last point where it lands, and the
// map returns to scrolling.
TEST(Pointer, TheZoomWindowAndTheRoutePointModes)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    rig.SetRunBefore();
    CProcessObjects objects;
    apptest::RunProgram([&] {
        QWidget* screen = theApp->GetDeviceScreen();
        CMapController& controller = *g_MapController;
        controller.SetMapScreenActive(0);
        controller.SetScale(4000);
        ASSERT_EQ(controller.RenderNow(), 0);

        // A 120 x 120 window at 240 x 320: the larger share is half the width.
        ZXS_Point middle;
        ASSERT_TRUE(controller.ScreenToMap({ 80, 100 }, middle));
        ExecuteCommand(CMD_ZOOM_WINDOW);
        ASSERT_EQ(controller.GetTapMode(), TAP_ZOOM_WINDOW);
        Drag(screen, QPoint(20, 40), QPoint(140, 160));
        EXPECT_EQ(controller.GetScale(), 2000);
        EXPECT_NEAR(controller.GetCentreX(), middle.x, 1);
        EXPECT_NEAR(controller.GetCentreY(), middle.y, 1);

        const struct {
            int32_t command;
            QPoint tap;
            int slot;
        } modes[] = { { CMD_FIRST_POINT, QPoint(70, 120), CRoute::SLOT_START },
            { CMD_LAST_POINT, QPoint(170, 230), CRoute::SLOT_FINISH } };
        for (const auto& m : modes) {
            SCOPED_TRACE(m.command);
            ASSERT_EQ(controller.RenderNow(), 0);
            ZXS_Point under;
            ASSERT_TRUE(controller.ScreenToMap({ m.tap.x(), m.tap.y() }, under));
            ExecuteCommand(m.command);
            Drag(screen, m.tap, m.tap);
            const RoutePoint point = controller.GetRouteManager().GetRoute().GetPoints()[size_t(m.slot)];
            EXPECT_TRUE(point.IsSet());
            EXPECT_NEAR(point.x, under.x, 1);
            EXPECT_NEAR(point.y, under.y, 1);
            EXPECT_EQ(controller.GetTapMode(), TAP_SCROLL);
        }
        EXPECT_EQ(controller.GetRouteManager().HasRoute(), 1) << "the two points make a route";
        CloseApplication();
    });
}

// The object-name mode names the street under the stylus while it is pressed
// and hides the name at the release; the route-finish mode routes from the GPS
// position to the tapped place.
TEST(Pointer, TheObjectNameAndTheRouteFromThePositionModes)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    rig.SetRunBefore();
    platform::ScopedManualClock clock(1000);
    CProcessObjects objects;
    apptest::RunProgram([&] {
        QWidget* screen = theApp->GetDeviceScreen();
        CMapController& controller = *g_MapController;
        controller.SetMapScreenActive(0);
        // The street away from the middle, where the centre marker takes the stylus.
        const MapPoint street = navtest::VoraduAt(900, 400), middle = navtest::VoraduAt(700, 100);
        controller.SetCentre(middle.x, middle.y);
        controller.SetScale(1200);
        ASSERT_EQ(controller.RenderNow(), 0);
        ElementPoint at;
        ASSERT_TRUE(controller.MapToScreen({ street.x, street.y }, at));
        ASSERT_GT(std::abs(at.y - 160), 30) << at.y;
        ASSERT_GT(at.y, 30) << "below the top bar";

        ExecuteCommand(CMD_OBJECT_NAME);
        ASSERT_EQ(controller.GetTapMode(), TAP_OBJECT_NAME);
        QTest::mousePress(screen, Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
        Deliver();
        EXPECT_EQ(controller.GetInfoPanel().GetState(), CScreenElement::STATE_SHOWN);
        EXPECT_TRUE(controller.GetInfoPanel().GetText().contains(QStringLiteral("Вишнёвая")))
            << controller.GetInfoPanel().GetText().toStdString();
        QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
        Deliver();
        EXPECT_EQ(controller.GetInfoPanel().GetState(), CScreenElement::STATE_HIDDEN);
        EXPECT_EQ(controller.GetTapMode(), TAP_OBJECT_NAME) << "the mode stays until another is chosen";

        const MapPoint from = navtest::Crossing(2, 2), to = navtest::Crossing(4, 2);
        navtest::SetFix(from);
        ElementPoint tap;
        ZXS_Point tapped;
        ASSERT_TRUE(controller.MapToScreen({ to.x, to.y }, tap));
        ASSERT_TRUE(controller.ScreenToMap(tap, tapped));
        ExecuteCommand(CMD_ROUTE_FINISH_ONLY);
        Drag(screen, QPoint(tap.x, tap.y), QPoint(tap.x, tap.y));
        CRouteManager& routes = controller.GetRouteManager();
        ASSERT_EQ(routes.HasRoute(), 1);
        const auto& points = routes.GetRoute().GetPoints();
        EXPECT_NEAR(points.front().x, from.x, 2);
        EXPECT_NEAR(points.front().y, from.y, 2);
        EXPECT_NEAR(points.back().x, tapped.x, 1);
        EXPECT_NEAR(points.back().y, tapped.y, 1);
        CloseApplication();
    });
}

} // namespace
