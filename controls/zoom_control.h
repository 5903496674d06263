#pragma once
// The map's zoom widget: a column with a zoom-in and a zoom-out button
// (commands 10048 and 10049) and a knob between them that the user drags to
// choose any scale. While the knob is dragged the map shows a scaled preview
// and a label "1cm=..."; releasing the knob on itself applies the scale,
// releasing it elsewhere keeps the old one. The map controller owns it and
// calls it under its lock.
#include "ui/image_button.h"

class CMapController;
class CZoomControl;

class CZoomSlider : public CScreenElement {
public:
    static constexpr uint32_t kKnobImage = 198;

    void Attach(CDrawTool* surface, CZoomControl* owner);
    void SetState(int state) override;
    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    int OnPointerMove(const ElementPoint& point) override;
    void Draw() override;

    bool IsDragging() const { return m_dragging; }

    // The scale of a knob offset from the control's top along a track of
    // `length` pixels between the smallest and the largest scale of the scale
    // list, on a cubic law, and back.
    static int32_t ScaleAtOffset(int offset, int length);
    static int OffsetOfScale(int32_t scale, int length);

private:
    // The track's length: the control's height less the knob's.
    int TrackLength() const;
    // The knob's place for a scale.
    ElementPoint KnobPlace(int32_t scale) const;
    bool OnKnob(const ElementPoint& point, const ElementPoint& knob) const;
    void HideLabel();

    CZoomControl* m_owner = nullptr;
    ElementPoint m_press;
    ElementPoint m_knobAtPress;
    bool m_dragging = false;
    // Draw thread: the label shows for a drag and is hidden once after it.
    bool m_labelShown = false;
};

class CZoomControl : public CScreenElement {
public:
    static constexpr uint32_t kBackground = 197;
    static constexpr uint32_t kMovingModeBackground = 1348;

    CZoomControl();

    // Built hidden; placed at the right edge, below the top button row in
    // portrait and left of the bottom bar's column otherwise.
    void Attach(CDrawTool* surface, CMapController* owner);
    // The background picture (197, or 1348 in moving mode): the control takes its size.
    void SetImageId(uint32_t id);
    uint32_t GetImageId() const { return m_imageId; }

    void SetPosition(const ElementPoint& point) override;
    void SetState(int state) override;
    // 2 a button is pressed, 1 a knob drag begins, 0 not taken.
    int OnPointerDown(const ElementPoint& point) override;
    // The release: a button pressed and released on itself runs its command
    // (1); a knob drag ends (1).
    int OnPointerUp(const ElementPoint& point) override;
    int OnPointerMove(const ElementPoint& point) override;
    void Draw() override;

    // 0 the zoom-in button, 1 the zoom-out button, -1 neither (or hidden).
    int HitButton(const ElementPoint& point) const;
    int GetPressedButton() const { return m_pressed; }
    CMapController* GetOwner() const { return m_owner; }
    CZoomSlider& GetSlider() { return m_slider; }
    CImageButton& GetButton(int index) { return index == 0 ? m_zoomIn : m_zoomOut; }

private:
    void ReleaseButtons();

    int m_pressed = -1;
    uint32_t m_imageId = kBackground;
    CMapController* m_owner = nullptr;
    CZoomSlider m_slider;
    CStandaloneImageButton m_zoomIn;
    CStandaloneImageButton m_zoomOut;
};
