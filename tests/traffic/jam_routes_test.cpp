// Jams and the user's closed roads reach the router on the shipped Voradu map
// through the disabled-road store and the map's passage journal, and stay
// after a restart.
#include "app/app_ui_hooks.h"
#include "kernel/api/map_query.h"
#include "kernel/api/passage_interface.h"
#include "kernel/api/result_codes.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "settings/settings_record.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"
#include "traffic/jam_file.h"

#include <QFile>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace navtest;

constexpr MapPoint kUnset { kUnsetCoordinate, kUnsetCoordinate };

int32_t RouteAcross(CMapController& c)
{
    // Behind the map screen: no wait notice waits for a frame.
    c.SetMapScreenActive(0);
    const MapPoint points[] = { Crossing(-4, 0), kUnset, kUnset, Crossing(4, 0) };
    EXPECT_EQ(c.BuildRoute(points, 4, 0, 0, nullptr, 0), 1);
    return Route().GetRouteLength();
}

int32_t LinkAt(double east, double north)
{
    const MapPoint at = VoraduAt(east, north);
    int32_t link = -1, directions = 0;
    EXPECT_EQ(ZXS_MapFindNearestObject(
                  g_MapController->GetMapSet().ActiveMap(), at.x, at.y, 300, -1, &link, &directions),
        0);
    return link;
}

// The kernel's document thread takes a new journal on its own time: waits
// (in real time, bounded) until the link's passage is the cost class given,
// or none at all for -1.
bool AwaitPassage(int32_t link, int costClass)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        CZXS_PassageRecord record;
        const int32_t result = ZXS_RoadGetPassageRec(g_MapController->GetMapSet().ActiveMap(), link, &record);
        if (costClass < 0 ? result == ZXS_ERR_NOPASSAGE : result == 0 && record.costClass == costClass)
            return true;
        if (std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// The worker's pass is over and reported; then the tick gives the route's busy
// word back once the time the report set has passed.
void AwaitWorkerAndReleaseTheRoute(CMapController& c, platform::ManualClock& clock)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (c.GetJamFiles().IsWorkerRunning() && std::chrono::steady_clock::now() < limit)
        std::this_thread::yield();
    ASSERT_FALSE(c.GetJamFiles().IsWorkerRunning());
    clock.advance(30001);
    c.OnTick();
    ASSERT_EQ(Routes().GetBusyWord(), CRouteManager::BUSY_FREE);
}

using navtest::ExpertMode;

} // namespace

TEST(JamRoutes, AJamAndAClosedRoadAreAvoidedAndStayAfterARestartUntilRemoved)
{
    platform::ScopedManualClock clock(5000);
    ExpertMode expert(1);
    ControllerRig rig;
    CMapController& c = rig.Controller();
    const int32_t straight = RouteAcross(c);
    ASSERT_GT(straight, 0);

    // A jam on the street between the crossings -3 and -2, as the traffic
    // manager saves it and reports it.
    const int32_t jammed = LinkAt(-500, 0);
    ASSERT_GE(jammed, 0);
    std::vector<std::vector<uint32_t>> lists(kJamCellCount);
    lists[17] = { static_cast<uint32_t>(jammed) | 3u << 22 };
    const QByteArray tableBytes = JamCellTable::Build(lists);
    const auto table = JamCellTable::Parse(
        { reinterpret_cast<const uint8_t*>(tableBytes.constData()), size_t(tableBytes.size()) });
    ASSERT_TRUE(table);
    JamCells cells;
    cells.fill('0');
    cells[17] = '3';
    ASSERT_EQ(WriteJamFile(c.GetJamFiles().GetJamPath(), cells, *table), JAM_OK);
    c.OnJamManagerEvent(2, JAM_OK);
    ASSERT_TRUE(AwaitPassage(jammed, 7)) << "the jam did not reach the map";
    // Applied (no download interval runs), and good once the map has redrawn with it.
    const uint8_t state = c.GetJamSchedule().GetState();
    EXPECT_TRUE(state == (CJamSchedule::STATE_APPLIED | CJamSchedule::STATE_AWAITED)
        || state == CJamSchedule::STATE_GOOD)
        << int(state);
    AwaitWorkerAndReleaseTheRoute(c, *clock);
    const int32_t aroundJam = RouteAcross(c);
    EXPECT_GT(aroundJam, straight) << "the route goes through the jam";

    // The user closes the street between the crossings 0 and 1 both ways.
    const int32_t closed = LinkAt(100, 0);
    ASSERT_GE(closed, 0);
    ASSERT_NE(closed, jammed);
    CZXS_PassageRecord close;
    close.passage = CJamFileManager::PASSAGE_CLOSED | CJamFileManager::PASSAGE_NO_BACKWARD;
    ASSERT_EQ(c.SetPassage(closed, close), 0);
    ASSERT_TRUE(AwaitPassage(closed, 15));
    const int32_t aroundBoth = RouteAcross(c);
    EXPECT_GT(aroundBoth, straight);

    // A restart: the settings keep the store's section, the load starts the worker.
    platform::Archive settings;
    c.GetJamFiles().SaveToArchive(settings);
    rig.Restart();
    CMapController& again = rig.Controller();
    {
        platform::Archive in(settings.Data());
        again.GetJamFiles().LoadFromArchive(in);
    }
    ASSERT_TRUE(again.GetJamFiles().StartWorker(false));
    ASSERT_TRUE(AwaitPassage(jammed, 7)) << "the jam was lost by the restart";
    ASSERT_TRUE(AwaitPassage(closed, 15)) << "the closed road was lost by the restart";
    AwaitWorkerAndReleaseTheRoute(again, *clock);
    EXPECT_EQ(RouteAcross(again), aroundBoth);

    // The jams grow old and leave; the user opens the road again.
    again.RefreshRoadBlocks();
    ASSERT_TRUE(AwaitPassage(jammed, -1)) << "the old jam stayed";
    EXPECT_TRUE(AwaitPassage(closed, 15)) << "the closure went with the jams";
    AwaitWorkerAndReleaseTheRoute(again, *clock);
    CZXS_PassageRecord open;
    open.passage = 0;
    ASSERT_EQ(again.SetPassage(closed, open), 0);
    ASSERT_TRUE(AwaitPassage(closed, -1));
    EXPECT_EQ(RouteAcross(again), straight);
    EXPECT_TRUE(again.GetJamFiles().GetRoads().empty());
}

// A passage that an attached file closes cannot be opened from the map: the
// user is told the blocking files are not available and nothing changes.
TEST(JamRoutes, APassageAnAttachedFileClosesStaysClosed)
{
    ExpertMode expert(1);
    ControllerRig rig;
    CMapController& c = rig.Controller();
    const int32_t link = LinkAt(100, 0);
    ASSERT_GE(link, 0);
    const QString city = c.GetJamFiles().GetMainPath().replace(QStringLiteral("DisabledJam.dt"), "city.dt");
    QFile file(city);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(DisabledRoadsHeader(2) + DisabledRoadRecord(static_cast<uint32_t>(link), 3));
    file.close();
    ASSERT_EQ(c.GetJamFiles().AttachFile(city), 1);
    c.GetJamFiles().SetSwitches(CJamFileManager::SWITCH_BLOCKING);
    ASSERT_EQ(c.GetJamFiles().ApplyPass(), 0);
    ASSERT_TRUE(AwaitPassage(link, 15));

    CZXS_PassageRecord open;
    open.passage = 0;
    SetUiHooks(&AppUiHooks());
    EXPECT_EQ(c.SetPassage(link, open), 3);
    SetUiHooks(nullptr);
    EXPECT_EQ(g_messageWnd->GetText(),
        QStringLiteral("Jam can't be opened because the blocking isn't in the system file. Execute \"Save "
                       "all...\" on page \"Blocking\" to move all blockings to the system file."));
    CZXS_PassageRecord record;
    ASSERT_EQ(ZXS_RoadGetPassageRec(rig.Map(), link, &record), 0);
    EXPECT_EQ(record.passage, 3);
    EXPECT_EQ(c.GetJamFiles().GetRoadFlags(c.GetJamFiles().FindRoad(link), link), 3);
}
