// The route's points and their operation codes, the markers and the search
// radius, and routes built through the kernel's router on the shipped map:
// via points, refused points, the back route, the previous route restored,
// the route wizard's hold, and the busy word shared with the jam worker and
// the map reopening.
#include "nav/route.h"

#include "foundation/draw_suspender.h"
#include "nav/route_manager.h"
#include "platform/clock.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"
#include "ui/message_window.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace navtest;

constexpr MapPoint kUnset { kUnsetCoordinate, kUnsetCoordinate };

std::vector<int32_t> Flags()
{
    std::vector<int32_t> flags;
    for (const RoutePoint& p : Route().GetPoints())
        flags.push_back(p.flags);
    return flags;
}

std::vector<int32_t> MarkerSlots()
{
    platform::CSLock lock(Route().GetPointLock());
    int count = 0;
    const RouteMarker* markers = Route().GetMarkers(count);
    std::vector<int32_t> found;
    for (int i = 0; i < count; ++i)
        found.push_back(markers[i].slot);
    return found;
}

MapPoint PointAt(int slot) { return Route().GetPoints()[static_cast<size_t>(slot)].Point(); }

bool Same(const MapPoint& a, const MapPoint& b) { return a.x == b.x && a.y == b.y; }

TEST(RoutePoints, OperationCodesStoreReverseAndMarkPending)
{
    ControllerRig rig;
    // The surface's arrival cleared the route: every slot unset and pending.
    EXPECT_EQ(Flags(), (std::vector<int32_t> { 2, 2, 2, 2 }));

    const MapPoint a = Crossing(-2, 0), b = Crossing(3, 1);
    const MapPoint four[] = { a, kUnset, kUnset, b };
    ASSERT_EQ(Route().SetPoints(four, 4, 0), ROUTE_OK);
    EXPECT_EQ(Flags(), (std::vector<int32_t> { 3, 2, 2, 3 }));
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0, 3 }));

    ASSERT_EQ(Route().SetPoints(nullptr, 0, CRoute::CODE_REVERSE), ROUTE_OK);
    EXPECT_TRUE(Same(PointAt(0), b));
    EXPECT_TRUE(Same(PointAt(3), a));
    EXPECT_EQ(Flags(), (std::vector<int32_t> { 3, 2, 2, 3 })) << "stations unset but pending";
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0, 3 }));

    const MapPoint c = Crossing(1, -2);
    ASSERT_EQ(Route().SetPoints(&c, 1, 3), ROUTE_OK);
    EXPECT_TRUE(Same(PointAt(3), c));
    EXPECT_TRUE(Same(PointAt(0), b)) << "only the finish changes";
    ASSERT_EQ(Route().SetPoints(&c, 1, 1), ROUTE_OK);
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0, 1, 3 }));

    // A half-set coordinate pair is unset and pending, and has no marker.
    const MapPoint half { kUnsetCoordinate, 5000 };
    ASSERT_EQ(Route().SetPoints(&half, 1, 2), ROUTE_OK);
    EXPECT_EQ(Flags()[2], RoutePoint::FLAG_PENDING);
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0, 1, 3 }));

    // Four points from slot 3 fill only the slot there is.
    ASSERT_EQ(Route().SetPoints(four, 4, 3), ROUTE_OK);
    EXPECT_TRUE(Same(PointAt(3), a));
}

TEST(RoutePoints, TheSearchRadiusOnlyGrowsWhenPointsAreAdded)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetScale(20000);
    const int32_t wide = c.GetSearchRadius();
    c.SetScale(1000);
    const int32_t narrow = c.GetSearchRadius();
    ASSERT_LT(narrow, wide);

    const MapPoint p = Crossing(0, 0);
    ASSERT_EQ(Route().SetPoints(&p, 1, 3), ROUTE_OK);
    EXPECT_EQ(Route().GetSearchRadius(), narrow) << "no point was set before";
    c.SetScale(20000);
    ASSERT_EQ(Route().SetPoints(&p, 1, 0), ROUTE_OK);
    EXPECT_EQ(Route().GetSearchRadius(), wide);
    c.SetScale(1000);
    ASSERT_EQ(Route().SetPoints(&p, 1, 1), ROUTE_OK);
    EXPECT_EQ(Route().GetSearchRadius(), wide) << "a single point never narrows it";
    const MapPoint four[] = { p, p, p, p };
    ASSERT_EQ(Route().SetPoints(four, 4, 0), ROUTE_OK);
    EXPECT_EQ(Route().GetSearchRadius(), narrow) << "a whole new set of points takes the current radius";
}

TEST(RoutePoints, FindPointNearPrefersTheLaterOfEquallyNearMarkers)
{
    ControllerRig rig;
    const MapPoint four[] = { { 1000, 1000 }, { 1010, 1000 }, kUnset, { 990, 1000 } };
    ASSERT_EQ(Route().SetPoints(four, 4, 0), ROUTE_OK);
    EXPECT_EQ(Route().FindPointNear({ 1000, 1000 }, 10), 0);
    EXPECT_EQ(Route().FindPointNear({ 1005, 1000 }, 10), 1) << "slots 0 and 1 equally near";
    EXPECT_EQ(Route().FindPointNear({ 995, 1000 }, 10), 3) << "slots 0 and 3 equally near";
    EXPECT_EQ(Route().FindPointNear({ 1020, 1000 }, 10), 1) << "a marker exactly at the radius";
    EXPECT_EQ(Route().FindPointNear({ 1000, 1000 }, 0), 255);
    EXPECT_EQ(Route().FindPointNear({ 5000, 5000 }, 100), 255);
}

TEST(RouteBuilding, ThroughTwoViaPointsThenBackAndRestoredAfterAFailure)
{
    ControllerRig rig;
    rig.Controller().SetMapScreenActive(0);
    const MapPoint start = Crossing(-6, -2), via1 = Crossing(-1, 3), via2 = Crossing(4, 2),
                   finish = Crossing(6, -3);
    const MapPoint four[] = { start, via1, via2, finish };
    ASSERT_EQ(rig.Controller().BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_EQ(Flags(), (std::vector<int32_t> { 1, 1, 1, 1 })) << "set, no longer pending";
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0, 1, 2, 3 }));
    const std::vector<GuideNode>& nodes = Routes().GetGuideNodes();
    ASSERT_GT(nodes.size(), 10u);
    int viaPoints = 0;
    for (const GuideNode& n : nodes)
        viaPoints += (n.flags & GuideNode::LEG_START) && (n.flags & GuideNode::LEG_END);
    EXPECT_EQ(viaPoints, 2);
    const int32_t length = Route().GetRouteLength();
    // At least the straight lines between the points, at most twice their lattice walk.
    EXPECT_GE(length, 1414 + 1020 + 1077);
    EXPECT_LE(length, 2 * (1000 + 1000 + 1000 + 200 + 400 + 1000));
    EXPECT_EQ(Route().SetPoints(nullptr, 0, 7), ROUTE_FAILED) << "nothing pending";
    rig.Render();
    EXPECT_EQ(Routes().DrawRouteLine(), 0);

    // The back route runs from the finish.
    ASSERT_EQ(rig.Controller().BuildRoute(nullptr, 0, 0, CRoute::CODE_REVERSE, nullptr, 0), 1);
    EXPECT_TRUE(Same(PointAt(0), finish));
    EXPECT_TRUE(Same(PointAt(3), start));
    EXPECT_TRUE(Same(Routes().GetGuideNodes().back().Point(), start));

    // A new finish far from every road is dropped; the previous route comes back.
    const MapPoint nowhere = VoraduAt(7000, 0);
    EXPECT_EQ(rig.Controller().BuildRoute(&nowhere, 1, 0, 3, nullptr, 0), 0);
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_TRUE(Same(PointAt(3), start));
    EXPECT_TRUE(Same(Routes().GetGuideNodes().back().Point(), start));
    ASSERT_EQ(rig.Boxes().requests.size(), 1u);
    EXPECT_TRUE(rig.Boxes().requests[0].text.startsWith(QStringLiteral("There're no segments")));

    // A refused station is dropped and the route goes through the others.
    ASSERT_EQ(Route().SetPoints(&nowhere, 1, 1), ROUTE_OK);
    const int32_t refused = Routes().Recalculate();
    EXPECT_TRUE(refused == ROUTE_NO_SEGMENT || refused == ROUTE_NO_SEGMENT_NEAR) << refused;
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_TRUE(Same(PointAt(1), kUnset));
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0, 2, 3 }));
}

TEST(RouteBuilding, OnlyAStartShowsItsMarkerAndBuildsNothing)
{
    ControllerRig rig;
    const MapPoint start = Crossing(0, 0);
    ASSERT_EQ(Route().SetPoints(&start, 1, 0), ROUTE_OK);
    EXPECT_EQ(Routes().Recalculate(), ROUTE_OK);
    EXPECT_EQ(Routes().HasRoute(), 0);
    EXPECT_TRUE(Routes().GetGuideNodes().empty());
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0 }));
}

TEST(RouteBuilding, TheWizardHoldsTheRouteAgainstOtherRequests)
{
    ControllerRig rig;
    rig.Controller().SetMapScreenActive(0);
    const MapPoint four[] = { Crossing(-3, 0), kUnset, kUnset, Crossing(3, 0) };
    ASSERT_EQ(Route().SetPoints(four, 4, 0), ROUTE_OK);
    ASSERT_EQ(Routes().Recalculate(), ROUTE_OK);
    ASSERT_EQ(Route().StartWizard(), ROUTE_OK);
    EXPECT_EQ(Routes().HasRoute(), 0) << "the wizard works without the old route";
    const MapPoint elsewhere = Crossing(5, 5);
    EXPECT_EQ(Route().SetPoints(&elsewhere, 1, 3), ROUTE_WIZARD_HOLDS_ROUTE);
    EXPECT_TRUE(Same(PointAt(3), Crossing(3, 0))) << "nothing stored";
    EXPECT_EQ(Routes().Recalculate(), ROUTE_WIZARD_HOLDS_ROUTE);

    // The wizard's points: one set point ends like giving up, the old route comes back.
    const MapPoint first = Crossing(-1, -1);
    EXPECT_EQ(Route().SetWizardPoint(&first, 0), ROUTE_OK);
    EXPECT_EQ(Route().IsWizardPointSet(0), 1);
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0 }));
    Route().EndWizard(1);
    EXPECT_FALSE(Route().HasWizardList());
    g_drawSuspender.FrameCallbacks().RunAll();
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_TRUE(Same(PointAt(0), Crossing(-3, 0)));
}

TEST(RouteBuilding, TheBusyWordKeepsRequestsOffWhileOthersHoldIt)
{
    ControllerRig rig;
    platform::ScopedManualClock clock(1000);
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    const MapPoint four[] = { Crossing(-4, 2), kUnset, kUnset, Crossing(4, -2) };

    // The jam worker (another thread) holds the word: the request is answered
    // busy, the points are kept, and the tick rebuilds once it frees the word.
    std::thread([] { EXPECT_TRUE(Routes().TakeBusy(CRouteManager::BUSY_JAMS)); }).join();
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_JAMS);
    EXPECT_EQ(c.BuildRoute(four, 4, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(
        g_messageWnd->GetText(), QStringLiteral("The points were saved but the route will be created later"));
    EXPECT_TRUE(Routes().IsReroutePending());
    EXPECT_EQ(Routes().HasRoute(), 0);
    EXPECT_EQ(MarkerSlots(), (std::vector<int32_t> { 0, 3 }));
    EXPECT_FALSE(Routes().TakeBusy(CRouteManager::BUSY_REOPENING));
    c.ScheduleTrafficRefresh(1);
    c.OnTick();
    EXPECT_EQ(Routes().HasRoute(), 0) << "the refresh time has not passed";
    clock->advance(501);
    c.OnTick();
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_FREE);
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_FALSE(Routes().IsReroutePending());

    // The map reopening holds it (2) until the tick gives it back; the route
    // it rebuilds waits for that.
    EXPECT_EQ(c.ReopenMap(1, 0), ROUTE_BUSY);
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_REOPENING);
    EXPECT_TRUE(Routes().IsReroutePending());
    std::thread([] { EXPECT_FALSE(Routes().TakeBusy(CRouteManager::BUSY_JAMS)); }).join();
    clock->advance(501);
    c.OnTick();
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_FREE);
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_FALSE(Routes().GetGuideNodes().empty());
}

TEST(RouteBuilding, WhileComputingTheJamWorkerWaitsAndTheWaitNoticeIsUp)
{
    ControllerRig rig;
    ASSERT_EQ(rig.Controller().IsMapScreenActive(), 1);
    const MapPoint four[] = { Crossing(-5, -5), kUnset, kUnset, Crossing(5, 5) };
    ASSERT_EQ(Route().SetPoints(four, 4, 0), ROUTE_OK);
    // The test's draw thread: it draws frames until the computation is over;
    // while the wait notice is up the jam worker finds the word taken.
    std::atomic<bool> done { false }, noticeUp { false }, workerRefused { false };
    std::thread drawThread([&] {
        while (!done) {
            if (!noticeUp && g_messageWnd->GetState() == CScreenElement::STATE_SHOWN
                && g_messageWnd->GetTitle() == QStringLiteral("Wait, please")) {
                noticeUp = true;
                workerRefused = !Routes().TakeBusy(CRouteManager::BUSY_JAMS)
                    && Routes().GetBusyWord() == CRouteManager::BUSY_COMPUTING;
            }
            g_messageWnd->Draw();
            g_drawSuspender.FrameCallbacks().RunAll();
            std::this_thread::yield();
        }
    });
    EXPECT_EQ(Routes().Recalculate(), ROUTE_OK);
    done = true;
    drawThread.join();
    EXPECT_TRUE(noticeUp);
    EXPECT_TRUE(workerRefused);
    EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_FREE);
}

TEST(RouteBuilding, PointCaptionsByLanguage)
{
    ControllerRig rig;
    const MapPoint p = Crossing(0, 0);
    ASSERT_EQ(Route().SetPoints(&p, 1, 2), ROUTE_OK);
    EXPECT_EQ(Routes().GetPointCaption(0, 0), QStringLiteral("Start"));
    EXPECT_EQ(Routes().GetPointCaption(0, 1), QStringLiteral("Station 1"));
    EXPECT_EQ(Routes().GetPointCaption(0, 3), QStringLiteral("Finish"));
    EXPECT_EQ(Routes().GetPointCaption(1, 2), QStringLiteral("Пункт 2 (указан)"));
    EXPECT_EQ(Routes().GetPointCaption(1, 0), QStringLiteral("Старт"));
    EXPECT_EQ(Routes().GetPointCaption(2, 2), QString());
}

} // namespace
