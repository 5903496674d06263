// The route wizard in the running program on Voradu: its pages driven with
// Qt's test events, the map tapped on the device window while the wizard
// waits for a point, the route it leaves behind.
#include "search/route_wizard.h"

#include "app/app_messages.h"
#include "app/draw_thread.h"
#include "app/launcher.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/modal_windows.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "controls/command_registry.h"
#include "foundation/language.h"
#include "nav/map_controller.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "search/wizard_search.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"
#include "tests/nav/route_support.h"
#include "tests/support/modal_answer.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void Deliver()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A tap on a control of a page: a radio button on its round box.
void Tap(const ControlHost& host, int id)
{
    QWidget* control = host.GetDlgItem(id);
    ASSERT_NE(control, nullptr) << id;
    QPoint at = control->rect().center();
    if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        at = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio).center();
    }
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
    Deliver();
}

// A tap on the map where a place of the city is shown.
void TapMapAt(const MapPoint& place)
{
    CMapController& controller = *g_MapController;
    controller.SetScale(1000);
    controller.SetCentre(place.x, place.y);
    ASSERT_EQ(controller.RenderNow(), 0);
    ElementPoint at;
    ASSERT_TRUE(controller.MapToScreen({ place.x, place.y }, at));
    QWidget* screen = theApp->GetDeviceScreen();
    QTest::mousePress(screen, Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
    QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
    Deliver();
}

// The route built once the draw thread has copied a frame (the wizard's
// route is built after the next frame); false when none came.
bool AwaitRoute()
{
    CDrawThread* thread = theApp->GetMainWnd()->GetMapWnd()->GetDrawThread();
    const uint64_t start = thread->FramesCopied();
    for (int i = 0; i < 100000
         && (thread->FramesCopied() < start + 2 || g_MapController->GetRouteManager().HasRoute() != 1);
         ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return g_MapController->GetRouteManager().HasRoute() == 1;
}

// Types the text a key at a time, as the soft keyboard sends Cyrillic letters.
void KeyIn(QWidget* field, const QString& text)
{
    field->setFocus();
    for (const QChar letter : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(letter), Qt::NoModifier);
}

QString Title(const ControlHost& page) { return page.GetDlgItemText(IDC_WIZARD_TITLE); }

int Checked(const ControlHost& page)
{
    for (int id = IDC_ROUTE_WIZARD_STYLUS; id <= IDC_ROUTE_WIZARD_DEFINED; ++id)
        if (page.IsDlgButtonChecked(id))
            return id - IDC_ROUTE_WIZARD_STYLUS;
    return -1;
}

template <typename Body> void RunWithWizard(Body body)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    rig.SetRunBefore();
    platform::ScopedManualClock clock(1000);
    CProcessObjects objects;
    apptest::RunProgram([&] {
        g_MapController->SetMapScreenActive(0);
        g_language = LANGUAGE_ENGLISH;
        body(rig);
        CloseApplication();
    });
}

} // namespace

// From the GPS position through a point tapped on the map (the second point),
// past the third ("Not include" jumps to the finish, Back comes back to the
// second), to a finish found by the address search: Finish keeps the route
// through them.
TEST(RouteWizard, BuildsARouteFromThePositionThroughAPointTappedOnTheMapToAnAddress)
{
    RunWithWizard([](apptest::AppRig&) {
        CMapController& controller = *g_MapController;
        navtest::ScopedGpsMapPosition gps;
        const MapPoint start = navtest::Crossing(-3, -3);
        const MapPoint via = navtest::Crossing(0, -3);
        navtest::SetFix(start);
        const int32_t tapMode = controller.GetTapMode();
        g_movingModeAfterRoute = 1;

        g_CommandRegistry->Execute(10038);
        Deliver();
        CWizardRoute* wizard = GetRouteWizard();
        ASSERT_NE(wizard, nullptr);
        ASSERT_TRUE(wizard->isVisible());
        CWizardRt2& points = wizard->m_page2;
        EXPECT_EQ(Title(wizard->m_page1), QStringLiteral("Wizard of step-by-step creating a route."));
        EXPECT_FALSE(wizard->m_page1.IsDlgItemEnabled(IDC_ROUTE_WIZARD_DELETE)) << "no route to delete";
        EXPECT_FALSE(wizard->m_page1.IsDlgItemEnabled(IDC_ROUTE_WIZARD_BACK_ROUTE));
        EXPECT_FALSE(IsRouteWizardOpen());
        Tap(wizard->m_page1, IDC_WIZARD_NEXT);
        EXPECT_TRUE(IsRouteWizardOpen()) << "the map's tick pauses from here";
        ASSERT_EQ(wizard->GetActiveIndex(), 1);

        // The start: the position, offered and chosen.
        EXPECT_EQ(Title(points), QStringLiteral("The first route point definition."));
        EXPECT_TRUE(points.IsDlgItemEnabled(IDC_ROUTE_WIZARD_POSITION));
        EXPECT_EQ(Checked(points), CHOICE_POSITION);
        EXPECT_FALSE(points.IsDlgItemEnabled(IDC_ROUTE_WIZARD_NOT_INCLUDE));
        // The car moved since the wizard opened: the point is where it is now.
        const MapPoint moved = navtest::Crossing(-3, -2);
        navtest::SetFix(moved);
        Tap(points, IDC_WIZARD_NEXT);
        ASSERT_EQ(points.GetPointNumber(), 1);
        EXPECT_TRUE(controller.GetRouteManager().GetRoute().IsWizardPointSet(0));

        // The second point: "Not include" offered first; picked on the map instead.
        EXPECT_EQ(Title(points), QStringLiteral("The second route point definition."));
        EXPECT_EQ(Checked(points), CHOICE_NOT_INCLUDE);
        EXPECT_FALSE(points.GetDlgItem(IDC_ROUTE_WIZARD_DEFINED)->isVisibleTo(&points));
        Tap(points, IDC_ROUTE_WIZARD_STYLUS);
        Tap(points, IDC_WIZARD_NEXT);
        ASSERT_EQ(wizard->GetActiveIndex(), 2);
        EXPECT_EQ(Title(wizard->m_page3),
            QStringLiteral("The second route point definition with clicking on the map."));
        EXPECT_FALSE(wizard->m_page3.GetDlgItem(IDC_ROUTE_WIZARD_MOVING_MODE)->isVisibleTo(&wizard->m_page3));
        Tap(wizard->m_page3, IDC_WIZARD_NEXT);
        EXPECT_FALSE(wizard->isVisible()) << "the map shows for the tap";
        TapMapAt(via);
        ASSERT_TRUE(wizard->isVisible());
        ASSERT_EQ(wizard->GetActiveIndex(), 1);
        EXPECT_EQ(points.GetPointNumber(), 2);

        // "Not include" on the third jumps to the last; Back returns to the third.
        EXPECT_EQ(Checked(points), CHOICE_NOT_INCLUDE);
        Tap(points, IDC_WIZARD_NEXT);
        EXPECT_EQ(points.GetPointNumber(), 3);
        EXPECT_EQ(Title(points), QStringLiteral("The last route point definition."));
        EXPECT_EQ(Checked(points), CHOICE_STYLUS);
        Tap(points, IDC_WIZARD_BACK);
        EXPECT_EQ(points.GetPointNumber(), 2);
        Tap(points, IDC_WIZARD_BACK);
        EXPECT_EQ(points.GetPointNumber(), 1);
        EXPECT_TRUE(points.GetDlgItem(IDC_ROUTE_WIZARD_DEFINED)->isVisibleTo(&points));
        EXPECT_EQ(Checked(points), CHOICE_DEFINED) << "the point set before is offered";
        Tap(points, IDC_WIZARD_NEXT);
        EXPECT_EQ(points.GetPointNumber(), 2);
        Tap(points, IDC_WIZARD_NEXT);
        ASSERT_EQ(points.GetPointNumber(), 3);

        // The address search's Back on its first page returns to the same point.
        bool searched = false;
        testing_support::WhenModalOpens([&](QWidget* modal) {
            auto* search = dynamic_cast<CWizardSearch*>(modal);
            ASSERT_NE(search, nullptr);
            searched = search->GetActivePage() == &search->m_sch2;
            Tap(search->m_sch2, IDC_WIZARD_BACK);
        });
        Tap(points, IDC_ROUTE_WIZARD_ADDRESS);
        Tap(points, IDC_WIZARD_NEXT);
        EXPECT_TRUE(searched) << "the search starts at the street-or-house page";
        EXPECT_EQ(points.GetPointNumber(), 3);
        EXPECT_TRUE(wizard->isVisible());

        // The finish: a house found by the search.
        MapPoint house { kUnsetCoordinate, kUnsetCoordinate };
        testing_support::WhenModalOpens([&](QWidget* modal) {
            auto* search = dynamic_cast<CWizardSearch*>(modal);
            ASSERT_NE(search, nullptr);
            Tap(search->m_sch2, IDC_SCH_RADIO + 1);
            Tap(search->m_sch2, IDC_WIZARD_NEXT);
            KeyIn(search->m_sch3.GetDlgItem(IDC_SCH_STREET), QStringLiteral("Блока"));
            KeyIn(search->m_sch3.GetDlgItem(IDC_SCH_HOUSE), QStringLiteral("10"));
            Tap(search->m_sch3, IDC_WIZARD_NEXT);
            CWizardSch4& result = search->m_sch4;
            auto* lines = result.GetDlgItemAs<QListWidget>(IDC_SCH_ADDRESSES);
            ASSERT_TRUE(QTest::qWaitFor([&] { return lines->count() > 0; }, 60000));
            EXPECT_EQ(result.GetDlgItemText(IDC_WIZARD_NEXT), QStringLiteral("Next  >"))
                << "another wizard's step";
            QTest::mouseClick(
                lines->viewport(), Qt::LeftButton, {}, lines->visualItemRect(lines->item(0)).center());
            ZXS_Rect box;
            ASSERT_EQ(ZXS_ObjGetRect(g_MapController->GetMapSet().ActiveMap(),
                          lines->item(0)->data(Qt::UserRole).toInt(), -1, -1, &box, 0),
                0);
            house = { (box.left + box.right) / 2, (box.top + box.bottom) / 2 };
            Tap(result, IDC_WIZARD_NEXT);
        });
        const int32_t centre = controller.GetCentreX();
        Tap(points, IDC_ROUTE_WIZARD_ADDRESS);
        Tap(points, IDC_WIZARD_NEXT);
        ASSERT_EQ(wizard->GetActiveIndex(), 2);
        EXPECT_EQ(controller.GetCentreX(), centre) << "the nested search does not move the map";
        EXPECT_EQ(Title(wizard->m_page3), QStringLiteral("Creating the route."));
        EXPECT_EQ(wizard->m_page3.GetDlgItemText(IDC_WIZARD_NEXT), QStringLiteral("Finish"));
        EXPECT_FALSE(IsRouteWizardOpen()) << "the tick runs again once the points are defined";
        EXPECT_TRUE(wizard->m_page3.IsDlgButtonChecked(IDC_ROUTE_WIZARD_MOVING_MODE));
        Tap(wizard->m_page3, IDC_ROUTE_WIZARD_MOVING_MODE);
        Tap(wizard->m_page3, IDC_WIZARD_NEXT);
        Deliver();
        EXPECT_EQ(GetRouteWizard(), nullptr);
        EXPECT_EQ(g_movingModeAfterRoute.load(), 0);
        EXPECT_EQ(controller.GetTapMode(), tapMode);
        EXPECT_TRUE(AwaitRoute());
        const std::vector<RoutePoint> route = controller.GetRouteManager().GetRoute().GetPoints();
        ASSERT_EQ(route.size(), 4u);
        EXPECT_TRUE(route[0].IsSet());
        EXPECT_TRUE(route[1].IsSet());
        EXPECT_FALSE(route[2].IsSet());
        EXPECT_EQ(QPoint(route[3].x, route[3].y), QPoint(house.x, house.y));
        EXPECT_EQ(QPoint(route[0].x, route[0].y), QPoint(moved.x, moved.y));
        g_movingModeAfterRoute = 1;
    });
}

// Without a fix "Current position" is not offered and the map is; the main
// frame's close message cancels a wizard in use, and the old route comes back.
TEST(RouteWizard, WithoutAFixAndClosedByTheMainFrame)
{
    RunWithWizard([](apptest::AppRig& rig) {
        CMapController& controller = *g_MapController;
        CRoute& route = controller.GetRouteManager().GetRoute();
        const MapPoint old[] = { navtest::Crossing(-2, 0), navtest::Crossing(2, 0) };
        const MapPoint points[] = { old[0], { kUnsetCoordinate, kUnsetCoordinate },
            { kUnsetCoordinate, kUnsetCoordinate }, old[1] };
        ASSERT_EQ(controller.BuildRoute(points, 4, 0, 0, nullptr, 0), 1);
        ASSERT_EQ(controller.GetRouteManager().HasRoute(), 1);

        CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, nullptr);
        CWizardRoute* wizard = GetRouteWizard();
        ASSERT_NE(wizard, nullptr);
        EXPECT_TRUE(wizard->m_page1.IsDlgItemEnabled(IDC_ROUTE_WIZARD_DELETE));
        Tap(wizard->m_page1, IDC_WIZARD_NEXT);
        CWizardRt2& page = wizard->m_page2;
        EXPECT_FALSE(page.IsDlgItemEnabled(IDC_ROUTE_WIZARD_POSITION));
        EXPECT_EQ(Checked(page), CHOICE_STYLUS);
        // Cancelling the address search cancels the route wizard; the old route stays.
        testing_support::WhenModalOpens([](QWidget* modal) {
            auto* search = dynamic_cast<CWizardSearch*>(modal);
            ASSERT_NE(search, nullptr);
            Tap(search->m_sch2, platform::IDCANCEL);
        });
        Tap(page, IDC_ROUTE_WIZARD_ADDRESS);
        Tap(page, IDC_WIZARD_NEXT);
        Deliver();
        EXPECT_EQ(GetRouteWizard(), nullptr);
        EXPECT_FALSE(IsRouteWizardOpen());
        EXPECT_TRUE(AwaitRoute()) << "the old route is built again";
        EXPECT_EQ(QPoint(route.GetPoints()[3].x, route.GetPoints()[3].y), QPoint(old[1].x, old[1].y));

        CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, nullptr);
        wizard = GetRouteWizard();
        ASSERT_NE(wizard, nullptr);
        Tap(wizard->m_page1, IDC_WIZARD_NEXT);
        // One point only, then Finish: the old route stays.
        Tap(wizard->m_page2, IDC_WIZARD_NEXT);
        Tap(wizard->m_page3, IDC_WIZARD_NEXT);
        TapMapAt(navtest::Crossing(0, 2));
        ASSERT_TRUE(route.IsWizardPointSet(0));
        EXPECT_TRUE(rig.boxes.empty());

        platform::send(CMapWnd::GetMainFrame(), WM_APP_ROUTE_WIZARD, 0, 0);
        Deliver();
        EXPECT_EQ(GetRouteWizard(), nullptr);
        EXPECT_FALSE(IsRouteWizardOpen());
        EXPECT_TRUE(AwaitRoute()) << "the old route is built again";
        const std::vector<RoutePoint> kept = route.GetPoints();
        EXPECT_EQ(QPoint(kept[0].x, kept[0].y), QPoint(old[0].x, old[0].y));
        EXPECT_EQ(QPoint(kept[3].x, kept[3].y), QPoint(old[1].x, old[1].y));
    });
}
