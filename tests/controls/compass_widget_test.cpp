// The centre marker on the map controller of the shipped map: the angle under
// the pen, its two targets, turning the map by dragging the knob, and the
// centre tap's command.
#include "controls/compass_widget.h"

#include "controls/command_registry.h"
#include "settings/settings_record.h"
#include "tests/controls/widget_rig.h"

#include <gtest/gtest.h>

namespace {

using controlstest::WidgetRig;

TEST(CompassWidget, TheRotationUnderThePenGrowsCounterClockwise)
{
    WidgetRig rig; // 240 x 320: the centre is (120, 160)
    const struct {
        ElementPoint pen;
        int32_t rotation;
    } cases[] = {
        { { 120, 10 }, 0 }, // straight up
        { { 70, 110 }, 450 }, // up and left
        { { 20, 160 }, 900 }, { { 120, 300 }, 1800 }, { { 220, 160 }, 2700 },
        { { 121, 10 }, 3597 }, // a hair right of up
        { { 120, 159 }, 0 }, { { 120, 160 }, -1 }, // the centre has no direction
    };
    for (const auto& c : cases)
        EXPECT_EQ(CCompassWidget::TouchAngle(c.pen), c.rotation) << c.pen.x << "," << c.pen.y;
}

class CompassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_compass.Layout(g_drawTool.get(), &m_rig.Controller()));
        // Every command the centre tap could run is counted.
        CCommandEntry* entry = g_CommandRegistry->GetCommandEntry(CMD_SHOW_TRANSPARENT_BUTTONS);
        entry->handler = [](CCommandEntry& e) { ++e.checked; };
    }
    void TearDown() override { g_bExpertMode = 0; }
    int32_t Rotation() { return m_rig.Controller().GetRotation(); }
    int TransparentButtonRuns() { return g_CommandRegistry->IsChecked(CMD_SHOW_TRANSPARENT_BUTTONS); }

    WidgetRig m_rig;
    CCompassWidget m_compass;
    const ElementPoint m_knobAtNorth { 120, 70 }; // 90 pixels above the centre
    const ElementPoint m_onRingAt45 { 56, 96 };
};

TEST_F(CompassTest, TheCentreTargetDoublesWhileTapsPanOrZoom)
{
    EXPECT_EQ(m_compass.GetKnob(), m_knobAtNorth);
    // The centre picture (30 x 30) and, in scroll mode, the square twice its size round it.
    EXPECT_EQ(m_compass.HitTest({ 105, 145 }), CCompassWidget::REGION_CENTRE);
    EXPECT_EQ(m_compass.HitTest({ 90, 130 }), CCompassWidget::REGION_CENTRE);
    EXPECT_EQ(m_compass.HitTest({ 149, 189 }), CCompassWidget::REGION_CENTRE);
    EXPECT_EQ(m_compass.HitTest({ 150, 160 }), CCompassWidget::REGION_NONE);
    ExecuteCommand(CMD_FIRST_POINT);
    EXPECT_EQ(m_compass.HitTest({ 90, 130 }), CCompassWidget::REGION_NONE);
    EXPECT_EQ(m_compass.HitTest({ 134, 174 }), CCompassWidget::REGION_CENTRE);
    EXPECT_EQ(m_compass.HitTest({ 135, 160 }), CCompassWidget::REGION_NONE);
    // The knob's box: 8 pixels to each side.
    EXPECT_EQ(m_compass.HitTest({ 112, 62 }), CCompassWidget::REGION_KNOB);
    EXPECT_EQ(m_compass.HitTest({ 127, 77 }), CCompassWidget::REGION_KNOB);
    EXPECT_EQ(m_compass.HitTest({ 128, 70 }), CCompassWidget::REGION_NONE);
}

TEST_F(CompassTest, ADragTurnsTheMapAndAReleaseOffTheKnobTurnsItBack)
{
    EXPECT_EQ(m_compass.OnPointerDown(m_knobAtNorth), CCompassWidget::REGION_KNOB);
    EXPECT_EQ(m_compass.OnPointerMove(m_onRingAt45), 1);
    EXPECT_EQ(Rotation(), 450);
    EXPECT_TRUE(m_rig.Controller().IsManualRotation());
    m_compass.Draw(); // the knob follows the pointer
    EXPECT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_EQ(g_infoLabel->GetText(), QStringLiteral("45°"));
    EXPECT_EQ(m_compass.OnPointerUp(m_onRingAt45), 1);
    EXPECT_EQ(Rotation(), 450);
    EXPECT_FALSE(m_rig.Controller().IsManualRotation());
    m_compass.Draw();
    EXPECT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_HIDDEN);

    // Released off the knob: back to where it was.
    const ElementPoint knob = m_compass.GetKnob();
    EXPECT_EQ(m_compass.OnPointerDown(knob), CCompassWidget::REGION_KNOB);
    EXPECT_EQ(m_compass.OnPointerMove({ 20, 160 }), 1);
    EXPECT_EQ(Rotation(), 900);
    EXPECT_EQ(m_compass.OnPointerUp({ 20, 160 }), 0);
    EXPECT_EQ(Rotation(), 450);
    EXPECT_EQ(m_compass.GetRegion(), CCompassWidget::REGION_NONE);
    EXPECT_EQ(m_compass.OnPointerMove({ 20, 160 }), 0) << "no drag any more";

    // A double tap on the knob: north up again.
    EXPECT_EQ(m_compass.OnDoubleClick(knob), 1);
    EXPECT_EQ(Rotation(), 0);
    EXPECT_EQ(m_compass.OnDoubleClick({ 10, 10 }), 0);
}

TEST_F(CompassTest, HidingDuringADragRestoresTheRotationAndTheHint)
{
    ASSERT_EQ(m_compass.OnPointerDown(m_knobAtNorth), CCompassWidget::REGION_KNOB);
    m_compass.OnPointerMove(m_onRingAt45);
    m_compass.Draw();
    ASSERT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_SHOWN);
    m_compass.SetState(CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(Rotation(), 0);
    EXPECT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(m_compass.GetRegion(), CCompassWidget::REGION_NONE);
    // Hidden, it takes nothing.
    EXPECT_EQ(m_compass.OnPointerDown(m_knobAtNorth), 0);
    EXPECT_EQ(m_compass.OnDoubleClick(m_knobAtNorth), 0);
}

TEST_F(CompassTest, ACentreTapShowsTheTransparentButtonsOnlyInExpertMode)
{
    const ElementPoint centre { 120, 160 };
    EXPECT_EQ(m_compass.OnPointerDown(centre), 1);
    EXPECT_EQ(m_compass.OnPointerUp(centre), 1);
    EXPECT_EQ(TransparentButtonRuns(), 0) << "simple mode";
    g_bExpertMode = 1;
    EXPECT_EQ(m_compass.OnPointerDown(centre), 1);
    EXPECT_EQ(m_compass.OnPointerUp(centre), 1);
    EXPECT_EQ(TransparentButtonRuns(), 1);
    // Pressed on the centre and released on the knob: nothing.
    EXPECT_EQ(m_compass.OnPointerDown(centre), 1);
    EXPECT_EQ(m_compass.OnPointerUp(m_knobAtNorth), 0);
    EXPECT_EQ(TransparentButtonRuns(), 1);
    EXPECT_EQ(Rotation(), 0);
    // Hiding while the centre is pressed only forgets the press.
    EXPECT_EQ(m_compass.OnPointerDown(centre), 1);
    m_compass.SetState(CScreenElement::STATE_HIDDEN);
    m_compass.SetState(CScreenElement::STATE_SHOWN);
    EXPECT_EQ(m_compass.OnPointerUp(centre), 0);
    EXPECT_EQ(TransparentButtonRuns(), 1);
}

} // namespace
