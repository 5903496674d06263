// The orientation panel on a route through Voradu: the modes that fit, the
// boxes of the next maneuvers in either order, the blinking picture near a
// maneuver by speed, and the arrow off the route.
#include "controls/maneuver_panel.h"

#include "platform/clock.h"
#include "platform/sound.h"
#include "tests/controls/widget_rig.h"
#include "tests/nav/route_support.h"

#include <gtest/gtest.h>

namespace {

using namespace navtest;
using controlstest::WidgetRig;

class ManeuverPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetSoundResourceFolder(testing_support::BuildDataFolder() + QStringLiteral("/resources"));
        controlstest::BuildTestRoute(m_rig.Controller());
        Panel().Show(true);
    }
    void TearDown() override
    {
        Routes().GetGuide().Prompts().WaitUntilIdle();
        platform::StopSound();
        platform::ClearSoundPlayLog();
    }
    CManeuverPanel& Panel() { return Routes().GetOrientationPanel(); }
    void StandAt(double east, double north, double kmh)
    {
        controlstest::StandAt(m_rig.Controller(), east, north, kmh, 90.0);
    }
    void Drive(std::initializer_list<std::pair<double, double>> places, double kmh)
    {
        controlstest::Drive(m_rig.Controller(), places, kmh);
    }
    // The pictures the panel draws in the lit and in the dark phase of its blinker.
    std::pair<std::vector<int32_t>, std::vector<int32_t>> DrawBothPhases()
    {
        CBlinkerList& blinkers = m_rig.Controller().GetBlinkers();
        blinkers.AdvanceAll(5000);
        blinkers.AdvanceAll(5000 + 1600);
        Panel().Draw();
        const std::vector<int32_t> lit = Panel().GetDrawnPictures();
        blinkers.AdvanceAll(5000 + 1600 + 1200);
        Panel().Draw();
        return { lit, Panel().GetDrawnPictures() };
    }

    WidgetRig m_rig;
    ScopedGpsMapPosition m_gps;
    platform::ScopedManualClock m_clock { 1000 };
};

TEST_F(ManeuverPanelTest, ModesFitFromThePanelsPlace)
{
    CManeuverPanel& panel = Panel();
    EXPECT_EQ(panel.GetMode(), 1);
    EXPECT_EQ(panel.GetHeight(), 60);
    EXPECT_EQ(panel.SetMode(2, -1), 1);
    EXPECT_EQ(panel.GetOrder(), 1) << "two boxes take order 1 by default";
    EXPECT_EQ(panel.SetMode(1, -1), 1);
    EXPECT_EQ(panel.GetOrder(), 0);
    EXPECT_EQ(panel.SetMode(9, 0), 1);
    EXPECT_EQ(panel.GetMode(), 2) << "at most two";
    EXPECT_EQ(panel.SetMode(-4, 0), 1);
    EXPECT_EQ(panel.GetMode(), 0);
    // Near the bottom, two boxes (2 x (60 + 20)) do not fit: nothing changes.
    panel.SetMode(1, 0);
    panel.SetPosition({ 0, 200 });
    EXPECT_EQ(panel.SetMode(2, 2), 0);
    EXPECT_EQ(panel.GetMode(), 1);
    EXPECT_EQ(panel.ApplyOption(2), 0);
    EXPECT_EQ(panel.ApplyOption(0), 1);
    panel.SetPosition({ 200, 0 });
    EXPECT_EQ(panel.ApplyOption(0), 0) << "no room to the right";
    panel.SetPosition({ 0, 0 });
    EXPECT_EQ(panel.ApplyOption(2), 1);
    EXPECT_EQ(panel.GetMode(), 2);
    EXPECT_EQ(panel.GetOrder(), 2);
    EXPECT_EQ(panel.ApplyOption(3), 0);
}

TEST_F(ManeuverPanelTest, BoxesOfTheNextManeuversInEitherOrder)
{
    Drive({ { 1250, 400 }, { 1300, 400 } }, 40);
    ASSERT_EQ(Routes().IsOnRoute(), 1);
    ASSERT_EQ(Panel().SetMode(2, 0), 1);
    Panel().Draw();
    EXPECT_FALSE(Panel().DrewArrow());
    EXPECT_EQ(Panel().GetDrawnPictures(), (std::vector<int32_t> { 13321, PICTURE_FINISH }));
    ASSERT_EQ(Panel().SetMode(2, CManeuverPanel::ORDER_LAST_FIRST), 1);
    Panel().Draw();
    EXPECT_EQ(Panel().GetDrawnPictures(), (std::vector<int32_t> { PICTURE_FINISH, 13321 }));
    ASSERT_EQ(Panel().SetMode(0, 0), 1);
    Panel().Draw();
    EXPECT_TRUE(Panel().GetDrawnPictures().empty());
    // Past the turn only the finish is left: one box, even with two asked for.
    ASSERT_EQ(Panel().SetMode(2, 0), 1);
    Drive({ { 1300, 400 }, { 1600, 400 }, { 1600, 500 } }, 40);
    ASSERT_EQ(Routes().IsOnRoute(), 1);
    Panel().Draw();
    EXPECT_EQ(Panel().GetDrawnPictures(), (std::vector<int32_t> { PICTURE_FINISH }));
}

TEST_F(ManeuverPanelTest, TheNextPictureBlinksNearerTheFasterTheCar)
{
    // 120 m before the turn.
    StandAt(1480, 400, 40);
    ASSERT_EQ(Routes().IsOnRoute(), 1);
    const struct {
        double kmh;
        bool blinks;
    } cases[] = { { 40, false }, { 50, false }, { 51, true }, { 120, true } }; // from 90, 140 and 200 m
    for (const auto& c : cases) {
        {
            platform::CSLock lock(g_gpsFixLock);
            g_gpsFix.m_speedKnots = c.kmh / kKnotsToKmh;
        }
        const auto [lit, dark] = DrawBothPhases();
        EXPECT_EQ(lit, (std::vector<int32_t> { 13321 })) << c.kmh;
        EXPECT_EQ(dark, (std::vector<int32_t> { c.blinks ? PICTURE_NONE : 13321 })) << c.kmh;
    }
    EXPECT_EQ(CManeuverPanel::BlinkDistance(40), 90);
    EXPECT_EQ(CManeuverPanel::BlinkDistance(100), 140);
    EXPECT_EQ(CManeuverPanel::BlinkDistance(120), 200);
}

TEST_F(ManeuverPanelTest, OffTheRouteTheArrowShows)
{
    StandAt(1300, 0, 40);
    ASSERT_EQ(Routes().IsOnRoute(), 0);
    Panel().Draw();
    EXPECT_TRUE(Panel().DrewArrow());
    EXPECT_TRUE(Panel().GetDrawnPictures().empty());
    EXPECT_EQ(Panel().GetLastNode(), -1);
    Panel().Show(false);
    Panel().Draw();
    EXPECT_FALSE(Panel().DrewArrow());
}

} // namespace
namespace {

TEST_F(ManeuverPanelTest, ADistanceOfNothingLeavesItsBoxEmpty)
{
    // The pixels of the distance box under a picture drawn at the top left.
    auto box = [&](int32_t distance) {
        g_drawTool->Clear(0x000000, false);
        Panel().DrawBox({ 13321, distance, 3 }, false, 0, 0);
        const ElementSize picture = GetImageSize(g_drawTool.get(), 13321);
        return m_rig.Picture().copy(1, picture.cy + 1, picture.cx - 1, 18);
    };
    const QImage empty = box(0);
    const QImage blank = box(-1);
    const QImage written = box(350);
    EXPECT_EQ(empty, blank);
    EXPECT_NE(empty, written);
    // Nothing but the box's own white over the black.
    const QRgb white = empty.pixel(0, 0);
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 0; x < empty.width(); ++x)
            ASSERT_EQ(empty.pixel(x, y), white) << x << "," << y;
}

} // namespace
