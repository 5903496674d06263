// The full-screen window of the running program: the 250 ms tick on a manual
// clock, and where the stylus goes, driven through the real device window.
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/modal_windows.h"
#include "app/process_objects.h"
#include "app/screen_tab_wnd.h"
#include "app/travenor_app.h"
#include "nav/map_controller.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/timers.h"
#include "tests/app/app_rig.h"
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

} // namespace
