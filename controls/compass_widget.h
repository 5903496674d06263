#pragma once
// The map's centre marker: a half-transparent picture at the centre of the
// screen inside a ring pointer that shows the map's rotation. Dragging the
// pointer's knob around the centre turns the map (the heading shows at the top
// of the screen meanwhile); a double tap on the knob turns it back to north
// up; a tap on the centre picture in expert mode shows or hides the
// transparent buttons. The map controller calls it under its element lock.
#include "ui/screen_element.h"

#include <array>

class CMapController;

class CCompassWidget : public CScreenElement {
public:
    enum Region : int { REGION_NONE = -1, REGION_CENTRE = 4, REGION_KNOB = 5 };
    static constexpr uint32_t kCentreImage = 757;

    // False without a surface; else the centre picture is centred on the screen.
    bool Layout(CDrawTool* surface, CMapController* controller);

    void SetState(int state) override;
    // The answers: 0 not taken, 1 taken, 5 (a press on the knob) a drag begins.
    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    int OnDoubleClick(const ElementPoint& point) override;
    // Pen moves go to OnDrag.
    int OnPointerMove(const ElementPoint& point) override { return OnDrag(point); }
    virtual int OnDrag(const ElementPoint& point);
    void Draw() override;

    int HitTest(const ElementPoint& point) const;
    // The map rotation (tenths of a degree, counter-clockwise) that puts the
    // pointer under the pen; -1 for the screen's centre, which has no direction.
    static int32_t TouchAngle(const ElementPoint& point);
    // The screen point at angle `theta` (radians, counter-clockwise from the
    // right) and `radius` from the screen's centre.
    static ElementPoint PolarToScreen(double theta, double radius);

    int GetRegion() const { return m_region; }
    ElementPoint GetKnob() const { return m_knob; }

private:
    struct Triangle {
        ElementPoint tip, left, right;
        uint32_t colour;
    };
    void PlacePointer(double theta);

    ElementPoint m_image;
    ElementPoint m_knob;
    int32_t m_imageWidth = 0;
    int32_t m_imageHeight = 0;
    int m_region = REGION_NONE;
    CMapController* m_controller = nullptr;
    int32_t m_savedRotation = 0;
    // Draw thread: the pointer as last drawn, and whether the heading shows.
    double m_lastAngle = 0.0;
    std::array<Triangle, 5> m_triangles {};
    bool m_hintShown = false;
};
