#pragma once
// The map's diagram button, the widget set: one widget of each diagram
// (14000..14006), showing one at a time; a tap steps to the next. The command
// registry draws the widgets inside the diagram frame for it and for every
// button that carries a diagram id.
#include "controls/clock_diagram.h"
#include "controls/distance_diagram.h"
#include "controls/power_diagram.h"
#include "controls/satellite_diagram.h"
#include "controls/speed_diagram.h"
#include "controls/value_diagram.h"

class CBlinkerList;
class CRouteManager;

class CDiagramButton : public CScreenElement {
public:
    // `jamWidget` is the traffic indicator (diagram 14006), which lives with
    // the traffic data it shows; the button draws it but does not own it.
    CDiagramButton(CRouteManager* routes, CBlinkerList* blinkers, CScreenElement* jamWidget);
    ~CDiagramButton() override;
    CDiagramButton(const CDiagramButton&) = delete;
    CDiagramButton& operator=(const CDiagramButton&) = delete;

    // Placed, opaque and hidden; every widget gets the surface, and the
    // command registry learns the widgets. 1.
    int Attach(CDrawTool* surface, const ElementPoint& position, const ElementSize& size);
    // Any id outside 14000..14006 shows the satellites.
    void SetDiagram(int32_t id);
    int32_t GetDiagram() const { return m_diagram.load(); }
    // The widget of a diagram id, or none.
    CScreenElement* GetWidget(int32_t id);

    void Draw() override;
    // The button's rectangle widened by 10 (scaled) pixels to either side.
    bool HitTest(const ElementPoint& point) const;
    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;

private:
    CSatelliteDiagram m_satellites;
    CPowerDiagram m_power;
    CClockDiagram m_clock;
    CSpeedDiagram m_speed;
    CDistanceDiagram m_distance;
    CRemainingTimeDiagram m_remainingTime;
    CScreenElement* m_jam;
    uint8_t m_pressed = 0;
    std::atomic<int32_t> m_diagram { 14000 };
};
