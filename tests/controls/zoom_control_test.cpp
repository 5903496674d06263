// The zoom control on the map controller of the shipped map: knob places and
// scales, the two buttons, and dragging the knob with the map's preview.
#include "controls/zoom_control.h"

#include "foundation/scale_list.h"
#include "tests/controls/widget_rig.h"

#include <gtest/gtest.h>

namespace {

using controlstest::WidgetRig;

TEST(ZoomSlider, KnobPlacesAndScalesMapIntoEachOther)
{
    FillScaleList();
    const int32_t low = GetMinMapScale(), high = GetMaxMapScale();
    constexpr int kTrack = 166;
    EXPECT_EQ(CZoomSlider::ScaleAtOffset(0, kTrack), low);
    EXPECT_EQ(CZoomSlider::ScaleAtOffset(kTrack, kTrack), high);
    EXPECT_EQ(CZoomSlider::ScaleAtOffset(-1, kTrack), low) << "above the track";
    EXPECT_EQ(CZoomSlider::ScaleAtOffset(kTrack + 1, kTrack), high) << "below the track";
    EXPECT_EQ(CZoomSlider::ScaleAtOffset(kTrack / 2, kTrack), low + static_cast<int32_t>((high - low) / 8.0));
    EXPECT_EQ(CZoomSlider::OffsetOfScale(low - 1, kTrack), 0);
    EXPECT_EQ(CZoomSlider::OffsetOfScale(high + 1, kTrack), kTrack);
    for (int offset : { 0, kTrack / 4, kTrack / 2, 3 * kTrack / 4, kTrack }) {
        const int32_t scale = CZoomSlider::ScaleAtOffset(offset, kTrack);
        EXPECT_NEAR(CZoomSlider::OffsetOfScale(scale, kTrack), offset, 1) << offset;
    }
    for (int32_t scale : g_scaleList) {
        const int offset = CZoomSlider::OffsetOfScale(scale, kTrack);
        // The scale of the knob's place lies between the places either side.
        EXPECT_LE(CZoomSlider::ScaleAtOffset(offset, kTrack), scale);
        EXPECT_GE(CZoomSlider::ScaleAtOffset(offset + 1, kTrack), scale);
    }
    // A track of no length has one place and one scale.
    EXPECT_EQ(CZoomSlider::ScaleAtOffset(5, 0), low);
    EXPECT_EQ(CZoomSlider::OffsetOfScale(high, 0), 0);
    EXPECT_EQ(CZoomSlider::OffsetOfScale(high, -14), 0);
}

class ZoomControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_zoom.Attach(g_drawTool.get(), &m_rig.Controller());
        m_zoom.SetState(CScreenElement::STATE_SHOWN);
    }
    CMapController& Controller() { return m_rig.Controller(); }
    // The middle of the knob where the scale shown puts it.
    ElementPoint Knob()
    {
        ElementPoint at;
        m_zoom.GetPosition(at);
        ElementSize size;
        m_zoom.GetSize(size);
        return { at.x + 18,
            at.y + CZoomSlider::OffsetOfScale(Controller().GetPreviewScale(), size.cy - 14) + 7 };
    }

    WidgetRig m_rig;
    CZoomControl m_zoom;
};

TEST_F(ZoomControlTest, PlacedAtTheRightEdgeWithItsButtons)
{
    ElementPoint at;
    m_zoom.GetPosition(at);
    EXPECT_EQ(at, (ElementPoint { 240 - 36, 40 })) << "below the top button row";
    EXPECT_EQ(m_zoom.HitButton({ 209, 44 }), 0);
    EXPECT_EQ(m_zoom.HitButton({ 234, 69 }), 0);
    EXPECT_EQ(m_zoom.HitButton({ 209, 40 + 180 - 26 - 5 }), 1);
    EXPECT_EQ(m_zoom.HitButton({ 208, 44 }), -1);
    EXPECT_EQ(m_zoom.HitButton({ 220, 120 }), -1);
    m_zoom.SetImageId(CZoomControl::kMovingModeBackground);
    EXPECT_EQ(m_zoom.HitButton({ 209, 40 + 150 - 26 - 5 }), 1) << "the zoom-out button moves up";
    m_zoom.SetState(CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(m_zoom.HitButton({ 209, 44 }), -1);
}

TEST_F(ZoomControlTest, AButtonRunsItsCommandOnlyWhenReleasedOnItself)
{
    const ElementPoint zoomIn { 215, 50 }, zoomOut { 215, 200 };
    const int32_t scale = g_scaleList[10];
    Controller().SetScale(scale);
    EXPECT_EQ(m_zoom.OnPointerDown(zoomIn), 2);
    EXPECT_EQ(m_zoom.GetButton(0).GetPressed(), 1);
    EXPECT_EQ(m_zoom.OnPointerUp(zoomOut), 0);
    EXPECT_EQ(m_zoom.GetButton(0).GetPressed(), 0);
    EXPECT_EQ(Controller().GetScale(), scale);
    EXPECT_EQ(m_zoom.OnPointerDown(zoomOut), 2);
    EXPECT_EQ(m_zoom.OnPointerUp(zoomOut), 1);
    EXPECT_EQ(Controller().GetScale(), g_scaleList[11]);
    EXPECT_EQ(m_zoom.OnPointerDown(zoomIn), 2);
    EXPECT_EQ(m_zoom.OnPointerUp(zoomIn), 1);
    EXPECT_EQ(Controller().GetScale(), scale);
    // Hiding releases a pressed button.
    EXPECT_EQ(m_zoom.OnPointerDown(zoomIn), 2);
    m_zoom.SetState(CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(m_zoom.GetPressedButton(), -1);
    EXPECT_EQ(m_zoom.GetButton(0).GetPressed(), 0);
    EXPECT_EQ(m_zoom.OnPointerUp(zoomIn), 0);
}

TEST_F(ZoomControlTest, DraggingTheKnobPreviewsAndReleasingOnItAppliesTheScale)
{
    Controller().SetScale(2560);
    const ElementPoint knob = Knob();
    EXPECT_EQ(m_zoom.OnPointerDown({ knob.x, knob.y + 20 }), 0) << "beside the knob";
    ASSERT_EQ(m_zoom.OnPointerDown(knob), 1);
    EXPECT_EQ(m_zoom.OnPointerMove({ knob.x, knob.y + 40 }), 1);
    const int32_t preview = Controller().GetPreviewScale();
    EXPECT_GT(preview, 2560);
    EXPECT_EQ(Controller().GetScale(), 2560) << "only the preview changes while dragging";
    m_zoom.Draw();
    EXPECT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_TRUE(g_infoLabel->GetText().startsWith(QStringLiteral("1cm=")));
    EXPECT_EQ(m_zoom.OnPointerUp(Knob()), 1);
    EXPECT_EQ(Controller().GetScale(), preview);
    m_zoom.Draw();
    EXPECT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_HIDDEN);

    // Above the track: the smallest scale; released off the knob, the scale stays.
    ASSERT_EQ(m_zoom.OnPointerDown(Knob()), 1);
    m_zoom.OnPointerMove({ 220, -500 });
    EXPECT_EQ(Controller().GetPreviewScale(), GetMinMapScale());
    m_zoom.OnPointerMove({ 220, 5000 });
    EXPECT_EQ(Controller().GetPreviewScale(), GetMaxMapScale());
    EXPECT_EQ(m_zoom.OnPointerUp({ 20, 20 }), 1);
    EXPECT_EQ(Controller().GetScale(), preview);
    EXPECT_EQ(Controller().GetPreviewScale(), preview);
}

TEST_F(ZoomControlTest, HidingDuringADragCancelsThePreviewAndTheLabel)
{
    ASSERT_EQ(m_zoom.OnPointerDown(Knob()), 1);
    m_zoom.OnPointerMove({ 220, 5000 });
    m_zoom.Draw();
    ASSERT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_SHOWN);
    const int32_t scale = Controller().GetScale();
    m_zoom.SetState(CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(g_infoLabel->GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(Controller().GetPreviewScale(), scale);
    EXPECT_FALSE(m_zoom.GetSlider().IsDragging());
    EXPECT_EQ(m_zoom.OnPointerUp(Knob()), 0);
    EXPECT_EQ(Controller().GetScale(), scale);
}

} // namespace
