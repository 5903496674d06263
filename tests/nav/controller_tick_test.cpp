// The map controller's tick and its route requests on the shipped map: the
// report of every route result, the traffic deadline, the road-block refresh
// that keeps the user's closures, re-routing after a deviation, the deferred
// rebuild, and the follow and always-up recentring.
#include "foundation/draw_suspender.h"
#include "foundation/screen_metrics.h"
#include "kernel/api/passage_interface.h"
#include "nav/map_controller.h"
#include "platform/clock.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"
#include "ui/message_window.h"

#include <QFileInfo>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace navtest;

constexpr MapPoint kUnset { kUnsetCoordinate, kUnsetCoordinate };

void BuildAcross(CMapController& c)
{
    const MapPoint four[] = { Crossing(-4, 0), kUnset, kUnset, Crossing(4, 0) };
    ASSERT_EQ(c.BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
    ASSERT_EQ(Routes().HasRoute(), 1);
}

TEST(RouteReports, EveryResultInFrontOfTheMapAndBehindIt)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    BuildAcross(c);
    struct Row {
        int32_t code;
        const char* title; // the notice with the map in front
        const char* text;
        int timeout;
        bool boxBehind; // a message box when the map is not in front
    };
    const char* const notSupported
        = "This function is not supported in the version. It's may be concerned with "
          "absent some of program file. In this case needed reinstall program. ";
    const char* const noSegments
        = "There're no segments of the map near the point. Please, try to choose another point.";
    const Row rows[] = {
        { 0, "Route", "The route is ready.", 2500, false },
        { 1, "Route", notSupported, 7000, true },
        { 2, "Route",
            "Unknown error while creating the route. Perhabs, not enough memory on the Pocket PC (2).", 7000,
            true },
        { 5, "Route", "The points were saved but the route will be created later", 10000, false },
        { 61, "Route",
            "Unknown error while creating the route. Perhabs, not enough memory on the Pocket PC (61).", 7000,
            true },
        { 62, "Route",
            "Can't connect these two points by a route. Please, try to choose another start or finish for "
            "your "
            "route.",
            7000, true },
        { 64, "Route", noSegments, 7000, true },
        { 65, "Route", noSegments, 7000, true },
        { 160, "Route",
            "Unknown error while creating the route. Perhabs, not enough memory on the Pocket PC (160).",
            7000, true },
        { 167, "Route",
            "Unknown error while creating the route. Perhabs, not enough memory on the Pocket PC (167).",
            7000, true },
    };
    for (const Row& row : rows) {
        g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
        c.SetMapScreenActive(1);
        c.ReportRouteResult(row.code);
        EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_SHOWN) << row.code;
        EXPECT_EQ(g_messageWnd->GetText(), QString::fromUtf8(row.text)) << row.code;
        EXPECT_EQ(g_messageWnd->GetTimeout(), row.timeout) << row.code;
        EXPECT_EQ(g_messageWnd->GetTitle(), QString::fromUtf8(row.title)) << row.code;

        g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
        rig.Boxes().requests.clear();
        c.SetMapScreenActive(0);
        c.ReportRouteResult(row.code);
        if (row.boxBehind) {
            ASSERT_EQ(rig.Boxes().requests.size(), 1u) << row.code;
            EXPECT_EQ(rig.Boxes().requests[0].text, QString::fromUtf8(row.text)) << row.code;
            EXPECT_EQ(rig.Boxes().requests[0].type & 0xF0, unsigned(platform::MB_ICONINFORMATION));
        } else {
            EXPECT_TRUE(rig.Boxes().requests.empty()) << row.code;
            EXPECT_EQ(g_messageWnd->GetText(), QString::fromUtf8(row.text)) << row.code;
        }
    }
    c.SetMapScreenActive(1);
    // Success without a route says nothing; Russian texts follow the language.
    Routes().ClearRoute();
    g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
    c.ReportRouteResult(0);
    EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_HIDDEN);
    g_language = LANGUAGE_RUSSIAN;
    c.ReportRouteResult(62);
    EXPECT_EQ(g_messageWnd->GetText(),
        QStringLiteral(
            "Не могу соединить две указанные точки маршрутом. Пожалуйста, укажите другое начало или "
            "конец маршрута. Маршрут не проложен."));
}

TEST(ControllerTick, TheTrafficDeadlineNeverFiresWhenHeldOrUnset)
{
    ControllerRig rig;
    platform::ScopedManualClock clock(0xFFFFFF00u);
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    ASSERT_TRUE(Routes().TakeBusy(CRouteManager::BUSY_JAMS));
    for (int i = 0; i < 3; ++i) {
        c.OnTick();
        clock->advance(1000);
    }
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_JAMS) << "no refresh time set";
    c.HoldTrafficRefresh();
    clock->advance(100000);
    c.OnTick();
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_JAMS) << "held";
    // A deadline across the tick counter's wrap passes when its time has come.
    clock->set(0xFFFFFF00u);
    c.ScheduleTrafficRefresh(0);
    clock->advance(29999);
    c.OnTick();
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_JAMS);
    clock->advance(2);
    c.OnTick();
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_FREE);
}

TEST(ControllerTick, RoadBlocksAreRefreshedOnceAndKeepTheUsersClosures)
{
    platform::ScopedManualClock clock(5000);
    ControllerRig rig;
    CMapController& c = rig.Controller();
    CZXS_MapHandle* map = rig.Map();
    // The user closes a road; jams are in force.
    int32_t link = -1;
    int32_t directions = 0;
    const MapPoint at = Crossing(2, 3);
    ASSERT_EQ(ZXS_MapFindNearestObject(map, at.x, at.y, 300, -1, &link, &directions), 0);
    CZXS_PassageRecord close;
    close.passage = (directions & 1) ? CJamFileManager::PASSAGE_CLOSED : CJamFileManager::PASSAGE_NO_BACKWARD;
    ASSERT_EQ(c.SetPassage(link, close), 0);
    CZXS_PassageRecord closed;
    ASSERT_EQ(ZXS_RoadGetPassageRec(map, link, &closed), 0);
    c.GetJamFiles().SetSwitches(CJamFileManager::SWITCH_BLOCKING | CJamFileManager::SWITCH_JAMS);
    const QString journal = g_mapFolder + QStringLiteral("mskmo0704.zxj");
    QFile::remove(journal);

    clock->advance(7200000);
    c.OnTick();
    EXPECT_TRUE(c.GetJamFiles().GetSwitches() & CJamFileManager::SWITCH_JAMS) << "not yet two hours";
    clock->advance(1);
    c.OnTick();
    EXPECT_EQ(c.GetJamFiles().GetSwitches(), CJamFileManager::SWITCH_BLOCKING)
        << "the jams are no longer in force";
    // The store's worker writes the journal.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (c.GetJamFiles().IsWorkerRunning() && std::chrono::steady_clock::now() < limit)
        std::this_thread::yield();
    ASSERT_FALSE(c.GetJamFiles().IsWorkerRunning());
    CZXS_PassageRecord record;
    ASSERT_EQ(ZXS_RoadGetPassageRec(map, link, &record), 0) << "the closure holds";
    EXPECT_EQ(record.passage, closed.passage);
    EXPECT_EQ(record.costClass, 15);
    EXPECT_GT(QFileInfo(journal).size(), 17) << "the journal file holds it";

    // Once only: the jams switched on again are not refreshed two hours later.
    c.GetJamFiles().SetSwitches(CJamFileManager::SWITCH_BLOCKING | CJamFileManager::SWITCH_JAMS);
    clock->advance(2 * 7200000);
    c.OnTick();
    EXPECT_TRUE(c.GetJamFiles().GetSwitches() & CJamFileManager::SWITCH_JAMS);
}

TEST(ControllerTick, ReroutesAfterTheDeviationHasLastedTheDelay)
{
    ControllerRig rig;
    ScopedGpsMapPosition gps;
    platform::ScopedManualClock clock(1000);
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    Routes().SetRerouteOnDeviation(1);
    Routes().SetDeviationDelay(2);
    BuildAcross(c);
    // Off the route, 600 m north of it, and driving.
    const MapPoint away = Crossing(-1, 3);
    SetFix(away, 90.0);
    auto ticks = [&](int n) {
        for (int i = 0; i < n; ++i) {
            c.OnTick();
            clock->advance(250);
        }
    };
    ticks(8);
    EXPECT_TRUE(Routes().GetGuide().IsOnRoute() == 0);
    EXPECT_TRUE(Route().GetPoints().front().Point().x == Crossing(-4, 0).x) << "not yet";
    // A void fix resets the wait.
    SetFix(away, 90.0, 'V');
    ticks(1);
    SetFix(away, 90.0);
    ticks(8);
    EXPECT_EQ(Route().GetPoints().front().Point().x, Crossing(-4, 0).x) << "the wait started again";
    ticks(1);
    EXPECT_NEAR(Route().GetPoints().front().Point().x, away.x, 1) << "the start moved to the position";
    EXPECT_NEAR(Route().GetPoints().front().Point().y, away.y, 1);
    EXPECT_EQ(Route().GetPoints().back().Point().x, Crossing(4, 0).x);
    EXPECT_EQ(Routes().HasRoute(), 1);
}

TEST(ControllerTick, ADeferredRebuildWaitsForTheNextFrame)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    const MapPoint four[] = { Crossing(-2, -2), kUnset, kUnset, Crossing(2, 2) };
    ASSERT_EQ(c.PostBuildRoute(four, 4, 0, 0, nullptr, true, 0), 1);
    EXPECT_EQ(Routes().HasRoute(), 0);
    g_drawSuspender.FrameCallbacks().RunAll();
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_EQ(g_drawSuspender.FrameCallbacks().Count(), 0u);
}

TEST(ControllerTick, AlwaysUpRecentresAtOnceThenEveryEleventhTick)
{
    ControllerRig rig;
    ScopedGpsMapPosition gps;
    CMapController& c = rig.Controller();
    const MapPoint at = Crossing(3, 3);
    SetFix(at, 45.0);
    c.SetAlwaysUp(1);
    std::vector<int> recentred;
    for (int tick = 1; tick <= 23; ++tick) {
        c.SetCentre(at.x + 2000, at.y + 2000);
        const int32_t away = c.GetCentreX();
        rig.Render();
        c.OnTick();
        if (c.GetCentreX() != away)
            recentred.push_back(tick);
    }
    EXPECT_EQ(recentred, (std::vector<int> { 1, 12, 23 }));
    EXPECT_EQ(c.GetRotation(), 450) << "turned to the course";

    // Turned to the course, the car stands below the middle of the screen with
    // the road ahead above it: inside the box the recentring keeps it in.
    for (const double course : { 0.0, 45.0, 90.0, 200.0, 315.0 }) {
        SCOPED_TRACE(course);
        SetFix(at, course);
        c.SetCentre(at.x + 2000, at.y + 2000);
        rig.Render();
        ASSERT_EQ(c.AlwaysUpRecentre(), 1);
        rig.Render();
        ElementPoint screen;
        ASSERT_TRUE(c.MapToScreen({ at.x, at.y }, screen));
        EXPECT_NEAR(screen.x, 120, 2);
        EXPECT_GT(screen.y, 160);
        EXPECT_LT(screen.y, 320 - GetButtonSide());
    }

    // Follow alone recentres only when the position leaves the inset box.
    c.SetAlwaysUp(0);
    c.SetFollowGps(1);
    c.SetCentre(at.x, at.y);
    rig.Render();
    c.OnTick();
    EXPECT_EQ(c.GetCentreX(), at.x);
    c.SetCentre(at.x + 2000, at.y);
    rig.Render();
    c.OnTick();
    EXPECT_NEAR(c.GetCentreX(), at.x, 1);
    EXPECT_NEAR(c.GetCentreY(), at.y, 1);
}

} // namespace

namespace {

using namespace navtest;

TEST(ControllerTick, TheAddressPanelNamesTheRoadUnderThePositionEveryTwentyTicks)
{
    ControllerRig rig(240, 320, 96, LANGUAGE_ENGLISH);
    ScopedGpsMapPosition gps;
    CMapController& c = rig.Controller();
    c.SetAddressDisplay(true);
    SetFix(VoraduAt(1250, 400), 90.0); // on row 2, Вишнёвая улица
    c.OnTick();
    ASSERT_EQ(c.GetAddressPanel().GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_TRUE(c.GetAddressPanel().GetText().contains(QStringLiteral("Вишнёвая")))
        << c.GetAddressPanel().GetText().toStdString();
    // Far outside the city: nothing there, but only at the next update, 20 ticks on.
    SetFix(VoraduAt(9000, 9000), 90.0);
    for (int tick = 2; tick <= 20; ++tick)
        c.OnTick();
    EXPECT_TRUE(c.GetAddressPanel().GetText().contains(QStringLiteral("Вишнёвая")));
    c.OnTick();
    EXPECT_EQ(c.GetAddressPanel().GetText(), QStringLiteral("Out of the map"));
}

TEST(ControllerTick, TapsSetTheFirstAndLastPointsAndObjectNames)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    const MapPoint centre = Crossing(4, 2);
    c.SetCentre(centre.x, centre.y);
    c.SetScale(2000);
    rig.Render();
    auto tap = [&](const ElementPoint& p) {
        c.OnPointerDown(p);
        c.OnPointerUp(p);
    };
    c.SetTapMode(TAP_FIRST_POINT);
    tap({ 40, 160 });
    ZXS_Point first;
    ASSERT_TRUE(c.ScreenToMap({ 40, 160 }, first));
    EXPECT_EQ(Route().GetPoints().front().x, first.x);
    EXPECT_EQ(Routes().HasRoute(), 0) << "no finish yet";
    EXPECT_EQ(c.GetTapMode(), TAP_SCROLL);
    c.SetTapMode(TAP_LAST_POINT);
    tap({ 200, 100 });
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_EQ(c.GetTapMode(), TAP_SCROLL) << "a route returns to scrolling";

    // The object-name mode shows the name under the pen while pressed.
    c.SetTapMode(TAP_OBJECT_NAME);
    const MapPoint onStreet = VoraduAt(900, 400);
    ZXS_Point at { onStreet.x, onStreet.y };
    ElementPoint screen;
    ASSERT_TRUE(c.MapToScreen(at, screen));
    c.OnPointerDown(screen);
    c.ShowObjectNameAt(1);
    EXPECT_EQ(c.GetInfoPanel().GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_TRUE(c.GetInfoPanel().GetText().contains(QStringLiteral("Вишнёвая")))
        << c.GetInfoPanel().GetText().toStdString();
    c.OnPointerUp(screen);
    EXPECT_EQ(c.GetInfoPanel().GetState(), CScreenElement::STATE_HIDDEN);
}

} // namespace

namespace {

using namespace navtest;

TEST(ControllerTick, NewJamsShownOnTheMapRebuildTheRouteAroundThem)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    Routes().SetRerouteAfterJams(1);
    const MapPoint four[] = { Crossing(2, 2), kUnset, kUnset, Crossing(8, 2) };
    ASSERT_EQ(c.BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
    const int32_t straight = Route().GetRouteLength();
    // A jam closes the row in the middle of the route.
    int32_t link = -1, directions = 0;
    const MapPoint middle = VoraduAt(1100, 400);
    ASSERT_EQ(ZXS_MapFindNearestObject(rig.Map(), middle.x, middle.y, 50, -1, &link, &directions), 0);
    ASSERT_EQ(ZXS_RoadSetPassage(rig.Map(), link, 3, 15, 0, -1), 0);
    // A finished frame without new jams changes nothing.
    c.OnTrafficEvent(10000);
    EXPECT_EQ(Route().GetRouteLength(), straight);
    // The jams were received and applied: the next finished frame rebuilds.
    c.GetJamSchedule().OnJamReceived(true);
    c.GetJamSchedule().OnJamApplied(true);
    c.OnTrafficEvent(10000);
    EXPECT_GT(Route().GetRouteLength(), straight + 100) << "the route goes round the closed block";
    EXPECT_EQ(c.GetJamSchedule().GetState(), CJamSchedule::STATE_GOOD);
}

} // namespace
