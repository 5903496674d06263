// The map controller's view state on the shipped Voradu map: centre, scale,
// rotation and the view modes with what they save and restore.
#include "nav/map_controller.h"

#include "kernel/api/map_geo.h"
#include "settings/settings_record.h"
#include "tests/nav/controller_rig.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using navtest::ControllerRig;

TEST(MapController, BeforeAMapTheCentreFollowsTheCollapsedBoundsRules)
{
    platform::ScopedProcessObject<CMapController> controller(g_MapController);
    EXPECT_EQ(controller->GetCentreX(), CMapController::kStartCentreX);
    EXPECT_EQ(controller->GetCentreY(), CMapController::kStartCentreY);
    controller->SetCentre(100, 0x7FFFFFF);
    EXPECT_EQ(controller->GetCentreX(), 8116);
    EXPECT_EQ(controller->GetCentreY(), 0xFFFF46);
    EXPECT_EQ(controller->GetTapMode(), TAP_SCROLL);
    EXPECT_EQ(controller->GetRedrawFlag(), 1);
}

TEST(MapController, TheCentreStaysInTheMapAndTheScaleOnTheScaleList)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    const ZXS_Rect b = c.GetMapBounds();
    ASSERT_LT(b.left, b.right);
    ASSERT_LT(b.top, b.bottom);
    const struct {
        int32_t x, y, wantX, wantY;
    } centres[] = {
        { b.left + 10, b.top + 20, b.left + 10, b.top + 20 },
        { b.left - 5000, b.bottom + 5000, b.left, b.bottom },
        { b.right + 1, b.top - 1, b.right, b.top },
    };
    for (const auto& t : centres) {
        c.SetCentre(t.x, t.y);
        EXPECT_EQ(c.GetCentreX(), t.wantX);
        EXPECT_EQ(c.GetCentreY(), t.wantY);
    }
    const struct {
        int32_t scale, want;
    } scales[] = { { 1, GetMinMapScale() }, { 5000, 5000 }, { 0x7FFFFFFF, GetMaxMapScale() } };
    for (const auto& t : scales) {
        c.SetScale(t.scale);
        EXPECT_EQ(c.GetScale(), t.want);
        EXPECT_EQ(c.GetPreviewScale(), t.want);
    }
}

TEST(MapController, RotationsAndTheirManualAndAlwaysUpStates)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetRotation(900);
    EXPECT_EQ(c.GetRotation(), 900);
    c.SetRotation(3600);
    EXPECT_EQ(c.GetRotation(), 900) << "3600 is no rotation";
    c.SetManualRotation(450);
    EXPECT_TRUE(c.IsManualRotation());
    c.ReleaseManualRotation(-1);
    EXPECT_FALSE(c.IsManualRotation());
    EXPECT_EQ(c.GetRotation(), 450) << "-1 keeps the hand-set rotation";
    c.SetManualRotation(1200);
    c.SetAlwaysUp(1);
    c.SetAlwaysUp(0);
    EXPECT_EQ(c.GetRotation(), 0) << "always up off resets even a hand-set rotation";
    EXPECT_FALSE(c.IsManualRotation());

    // The view turns with the controller: at 90 degrees east is up, so the
    // screen point right of the centre lies south of it (map y grows downwards).
    c.SetRotation(900);
    rig.Render();
    ZXS_Point centre, right;
    ASSERT_TRUE(c.ScreenToMap({ 120, 160 }, centre));
    ASSERT_TRUE(c.ScreenToMap({ 220, 160 }, right));
    EXPECT_NEAR(right.x, centre.x, 2);
    EXPECT_GT(right.y, centre.y);
}

TEST(MapController, TrackingAndAlwaysUpSwitchEachOtherThroughTheirCommands)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    ExecuteCommand(CMD_ALWAYS_UP);
    EXPECT_TRUE(c.IsAlwaysUp());
    EXPECT_TRUE(c.IsFollowGps()) << "always up comes with tracking";
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_ALWAYS_UP), 1);
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_GPS_TRACKING), 1);

    // The junction zoom in tracking saves the scale and shows the start scale.
    c.SetScale(20000);
    ExecuteCommand(CMD_ROAD_JUNCTION);
    EXPECT_TRUE(c.IsJunctionZoom());
    EXPECT_EQ(c.GetScale(), GetStartMapScale());

    // Tracking off ends always up and the junction zoom.
    ExecuteCommand(CMD_GPS_TRACKING);
    EXPECT_FALSE(c.IsFollowGps());
    EXPECT_FALSE(c.IsAlwaysUp());
    EXPECT_FALSE(c.IsJunctionZoom());
    for (uint32_t id : { CMD_ALWAYS_UP, CMD_GPS_TRACKING, CMD_ROAD_JUNCTION })
        EXPECT_EQ(g_CommandRegistry->IsChecked(id), 0) << id;
}

TEST(MapController, AScaleSetDuringTheJunctionZoomEndsItAndWins)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    ExecuteCommand(CMD_GPS_TRACKING);
    c.SetScale(20000);
    ExecuteCommand(CMD_ROAD_JUNCTION);
    ASSERT_TRUE(c.IsJunctionZoom());
    c.SetScale(9000);
    EXPECT_FALSE(c.IsJunctionZoom());
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_ROAD_JUNCTION), 0);
    EXPECT_EQ(c.GetScale(), 9000);
}

TEST(MapController, TheJunctionZoomWithoutTrackingStaysOff)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    const int32_t scale = c.GetScale();
    ExecuteCommand(CMD_ROAD_JUNCTION);
    EXPECT_FALSE(c.IsJunctionZoom());
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_ROAD_JUNCTION), 0);
    EXPECT_EQ(c.GetScale(), scale);
}

TEST(MapController, MovingModeHidesTheBarsAndPutsEverythingBack)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    MapElements& e = c.GetElements();
    // The top bar shows in expert mode only.
    const int32_t expert = g_bExpertMode.exchange(1);
    for (auto* slot : { &e.centreMarker, &e.quickBar })
        *slot = std::make_unique<CScreenElement>();
    e.topBar->SetState(CScreenElement::STATE_SHOWN);
    e.bottomBar->SetState(CScreenElement::STATE_HIDDEN);
    e.centreMarker->SetState(CScreenElement::STATE_HIDDEN);
    e.quickBar->SetState(CScreenElement::STATE_HIDDEN);
    ExecuteCommand(CMD_ZOOM_WINDOW);
    ASSERT_EQ(c.GetTapMode(), TAP_ZOOM_WINDOW);

    ExecuteCommand(CMD_DRIVING_MODE);
    ASSERT_TRUE(c.IsMovingMode());
    EXPECT_EQ(e.topBar->GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(e.bottomBar->GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(e.quickBar->GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_EQ(e.centreMarker->GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_TRUE(c.IsAddressDisplayOn());
    EXPECT_TRUE(c.IsAlwaysUp());
    EXPECT_TRUE(c.IsFollowGps());
    EXPECT_EQ(c.GetTapMode(), TAP_SCROLL);
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_SCROLL), 1);
    EXPECT_EQ(c.GetMovingModeState()->flags, uint32_t { MovingModeState::TOP_BAR_VISIBLE });

    ExecuteCommand(CMD_DRIVING_MODE);
    EXPECT_FALSE(c.IsMovingMode());
    EXPECT_EQ(e.topBar->GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_EQ(e.bottomBar->GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(e.centreMarker->GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_FALSE(c.IsAddressDisplayOn());
    EXPECT_FALSE(c.IsAlwaysUp());
    EXPECT_FALSE(c.IsFollowGps());
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_DRIVING_MODE), 0);
    g_bExpertMode = expert;
}

TEST(MapController, TheShowObjectQuestionNamesTheModeThatWouldTakeTheMapAway)
{
    const struct {
        bool moving, alwaysUp, follow;
        int answer;
        const char* asked; // none: no question
        int result;
    } cases[] = {
        { false, false, false, platform::IDYES, nullptr, 1 },
        { true, true, true, platform::IDYES, "\"Moving mode\"", 1 },
        { false, true, true, platform::IDNO, "\"Always up\"", 0 },
        { false, false, true, platform::IDCANCEL, "\"GPS accompaniment\"", 0 },
        { false, false, true, platform::IDYES, "\"GPS accompaniment\"", 1 },
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.asked ? t.asked : "none");
        ControllerRig rig;
        CMapController& c = rig.Controller();
        if (t.moving)
            ExecuteCommand(CMD_DRIVING_MODE);
        else if (t.alwaysUp)
            ExecuteCommand(CMD_ALWAYS_UP);
        else if (t.follow)
            ExecuteCommand(CMD_GPS_TRACKING);
        uitest::ScriptedMessageBoxes boxes(t.answer);
        EXPECT_EQ(c.ConfirmShowObject(), t.result);
        if (!t.asked) {
            EXPECT_TRUE(boxes.requests.empty());
            continue;
        }
        ASSERT_EQ(boxes.requests.size(), 1u);
        EXPECT_TRUE(boxes.requests[0].text.contains(QString::fromUtf8(t.asked)));
        EXPECT_EQ(boxes.requests[0].type & platform::MB_TYPEMASK, platform::MB_YESNOCANCEL);
        // Yes switches that mode off; the others stay as they were.
        const bool yes = t.answer == platform::IDYES;
        if (t.moving)
            EXPECT_EQ(c.IsMovingMode(), !yes);
        else if (t.alwaysUp)
            EXPECT_EQ(c.IsAlwaysUp() != 0, !yes);
        else
            EXPECT_EQ(c.IsFollowGps() != 0, !yes);
    }
}

TEST(MapController, AFixOutsideTheMapIsShownOnItsEdgeAndKeepsItsMeasuredPosition)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    CGeoPos middle;
    ASSERT_EQ(c.GetCentreGeoPosition(middle), 1);
    const double lat = middle.GetLatitude().GetRadians(), lon = middle.GetLongitude().GetRadians();
    const double far = 0.01; // about 60 km
    const struct {
        double lat, lon;
        int inside;
    } cases[]
        = { { lat, lon, 1 }, { lat, lon + far, 0 }, { lat - far, lon, 0 }, { lat + far, lon - far, 0 } };
    for (const auto& t : cases) {
        CGeoPos fix;
        ASSERT_TRUE(fix.SetChecked(t.lat, t.lon, true));
        const CGeoPos measured = fix;
        CGeoPos shown;
        EXPECT_EQ(c.IsFixInsideMap(fix, shown), t.inside);
        EXPECT_TRUE(fix.IsEqual(measured)) << "the fix itself is never moved";
        EXPECT_EQ(shown.IsEqual(fix), t.inside == 1);
        // The shown position lies on the map: it converts into the bounds.
        ZXS_Point p;
        ASSERT_EQ(
            ZXS_GeoToMap(rig.Map(), shown.GetLongitude().GetRadians(), shown.GetLatitude().GetRadians(), &p),
            0);
        const ZXS_Rect b = c.GetMapBounds();
        EXPECT_TRUE(p.x >= b.left - 1 && p.x <= b.right + 1 && p.y >= b.top - 1 && p.y <= b.bottom + 1);
    }
    CGeoPos invalid, shown;
    EXPECT_EQ(c.IsFixInsideMap(invalid, shown), 0);
}

TEST(MapController, APanMovesTheMapByTheOffsetAndAReopenKeepsTheView)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetScale(3000);
    c.SetRotation(300);
    rig.Render();
    ZXS_Point under;
    ASSERT_TRUE(c.ScreenToMap({ 100, 100 }, under));
    ASSERT_EQ(c.Pan(30, -20, 0), 1);
    EXPECT_EQ(c.GetRedrawFlag(), 1);
    rig.Render();
    ZXS_Point after;
    ASSERT_TRUE(c.ScreenToMap({ 130, 80 }, after));
    EXPECT_NEAR(after.x, under.x, 30);
    EXPECT_NEAR(after.y, under.y, 30);

    const int32_t x = c.GetCentreX(), y = c.GetCentreY();
    EXPECT_EQ(c.ReopenMap(0, 0), 0);
    EXPECT_EQ(c.GetMapSet().GetState(), CMapSet::STATE_PLAIN);
    EXPECT_EQ(c.GetCentreX(), x);
    EXPECT_EQ(c.GetCentreY(), y);
    EXPECT_EQ(c.GetRotation(), 300);
    rig.Render();
    ZXS_Point again;
    ASSERT_TRUE(c.ScreenToMap({ 130, 80 }, again));
    EXPECT_EQ(again, after);
}

TEST(MapController, ThePopupContextNamesTheRoadNearThePress)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetScale(2000);
    rig.Render();
    EXPECT_GT(c.GetSearchRadius(), 0);
    const PopupContext& context = c.FillPopupContext();
    EXPECT_EQ(context.kind, POPUP_MAP);
    EXPECT_EQ(context.centreX, c.GetCentreX());
    EXPECT_NE(context.objectId, -1) << "the city centre has a street within a kilometre";
}

} // namespace
