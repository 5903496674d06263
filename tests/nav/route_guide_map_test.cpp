// Guidance on routes the kernel builds: on the shipped Voradu map through a
// crossing, a T-junction and the slip road at the ring road, and on the
// compiled Ostankino extract through a T-junction and a crossing of its main
// streets, each against the maneuvers a driver expects there.
#include "nav/route_guide.h"

#include "kernel/api/map_query.h"
#include "kernel/api/route_interface.h"
#include "settings/settings_record.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"

#include <gtest/gtest.h>

namespace {

using namespace navtest;

struct Maneuver {
    int32_t picture;
    MapPoint at; // where the maneuver lies
    int32_t metresToEnd;
    // A turn at a junction the router counted branches at; a turn where it
    // counted no choice (a one-way carriageway meeting another) is a bend.
    bool fork = true;
};

// Builds the route from a to b and compares its maneuvers, start and finish
// included, with the expected ones (places within 15 map units, distances within 15 m).
void ExpectManeuvers(const char* what, const MapPoint& a, const MapPoint& b, int16_t optimisation,
    const std::vector<Maneuver>& expected)
{
    SCOPED_TRACE(what);
    g_routeOptimisation = optimisation;
    const MapPoint four[] = { a, { kNoMapPoint, kNoMapPoint }, { kNoMapPoint, kNoMapPoint }, b };
    ASSERT_EQ(g_MapController->BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
    g_routeOptimisation = 1;
    std::vector<const GuideNode*> maneuvers;
    for (const GuideNode& n : Routes().GetGuideNodes())
        if (n.IsManeuver())
            maneuvers.push_back(&n);
    ASSERT_EQ(maneuvers.size(), expected.size() + 2);
    EXPECT_EQ(maneuvers.front()->Picture(), PICTURE_START);
    EXPECT_EQ(maneuvers.back()->Picture(), PICTURE_FINISH);
    for (size_t k = 0; k < expected.size(); ++k) {
        const GuideNode& n = *maneuvers[k + 1];
        EXPECT_EQ(n.Picture(), expected[k].picture) << k;
        EXPECT_NEAR(n.x, expected[k].at.x, 15) << k;
        EXPECT_NEAR(n.y, expected[k].at.y, 15) << k;
        EXPECT_NEAR(n.distanceToEnd, expected[k].metresToEnd, 15) << k;
        EXPECT_EQ(n.IsFork(), expected[k].fork) << k;
    }
}

TEST(GuidanceOnVoradu, ACrossingATeeAndTheSlipRoad)
{
    ControllerRig rig;
    rig.Controller().SetMapScreenActive(0);
    // East along row 2, left at column 8 (a crossing of four streets), 200 m on.
    ExpectManeuvers(
        "crossing", VoraduAt(1250, 400), VoraduAt(1600, 600), 2, { { 13321, Crossing(8, 2), 200 } });
    // North along the city's western edge, right into row 4, which starts there.
    ExpectManeuvers("tee", VoraduAt(-3010, 100), Crossing(-13, 4), 2, { { 13308, Crossing(-15, 4), 400 } });
    // North on the avenue, off it by the slip road a block before the ring,
    // and onto the ring eastwards: a slight right off and a slight right on.
    ExpectManeuvers("slip road", VoraduAt(10, -2500), Crossing(2, -10), 1,
        { { 13312, Crossing(0, -11), 490 }, { 13312, Crossing(1, -10), 200 } });
}

TEST(GuidanceOnVoradu, TheRouterMarksTheSlipRoadAndItsJunctions)
{
    ControllerRig rig;
    rig.Controller().SetMapScreenActive(0);
    const MapPoint four[] = { VoraduAt(10, -2500), { kNoMapPoint, kNoMapPoint }, { kNoMapPoint, kNoMapPoint },
        Crossing(2, -10) };
    ASSERT_EQ(rig.Controller().BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
    const int32_t count = ZXS_RouteGetPoints(rig.Controller().GetView(), nullptr, 0);
    ASSERT_GT(count, 4);
    std::vector<CZXS_RoutePoint> points(static_cast<size_t>(count));
    ASSERT_EQ(ZXS_RouteGetPoints(rig.Controller().GetView(), points.data(), count), count);
    EXPECT_EQ(points.front().flags, 0x01);
    EXPECT_EQ(points[1].flags, 0x02);
    EXPECT_EQ(points[points.size() - 2].flags, 0x20);
    EXPECT_EQ(points.back().flags, 0x40);
    int onSlipRoad = 0;
    bool enteredAtJunction = false;
    for (size_t k = 1; k < points.size(); ++k) {
        const bool slip = points[k].object >= 0 && ZXS_ObjGetLayer(rig.Map(), points[k].object) == 112;
        onSlipRoad += slip;
        if (slip && (points[k].flags & 0x0C) == 0x0C && points[k].branches >= 3)
            enteredAtJunction = true;
    }
    EXPECT_GE(onSlipRoad, 5);
    EXPECT_TRUE(enteredAtJunction) << "the slip road is entered at a junction of several branches";
}

TEST(GuidanceOnOstankino, ATeeAndACrossingOfTheMainStreets)
{
    ControllerRig rig(240, 320, 96, LANGUAGE_ENGLISH,
        QStringLiteral(TRAVENOR_COMPILED_MAPS_DIR) + QStringLiteral("/moscow-ostankino"));
    rig.Controller().SetMapScreenActive(0);
    // East along Академика Королёва улица, right into Новомосковская улица,
    // which ends there. Both streets are one-way carriageways: the router
    // counts two ways on, so the turn is a bend of the road, not a fork.
    ExpectManeuvers("tee", { 7602, 6195 }, { 8147, 6722 }, 2, { { 13308, { 8109, 6203 }, 534, false } });
    // North along Аргуновская улица, left into Академика Королёва улица,
    // westwards on its north carriageway.
    ExpectManeuvers("crossing", { 8323, 6757 }, { 7954, 6180 }, 2, { { 13321, { 8349, 6185 }, 395, false } });
}

} // namespace
