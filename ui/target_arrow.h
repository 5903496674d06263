#pragma once
// An arrow from the current position and heading toward a target, with the
// distance in a box below it. The user-interface thread updates it and the
// draw thread draws it with DrawAt; the fields are atomic, so no lock is taken.
#include "foundation/geo_pos.h"
#include "ui/screen_element.h"

#include <atomic>

// The last direction computed by CTargetArrow::Update (degrees, mathematical).
extern std::atomic<double> g_lastTargetDirection;

class CTargetArrow : public CScreenElement {
public:
    enum : int { MODE_DISTANCE = 1 };

    // Also hides the arrow, picks the straight-ahead picture and places it
    // under the top button row.
    int SetSurface(CDrawTool* surface) override;
    // Heading in degrees clockwise from north. Nothing changes unless both
    // positions are valid.
    void Update(const CGeoPos& from, const CGeoPos& to, double heading, int mode);
    void DrawAt(const ElementPoint& point);

    int GetImage() const { return m_image.load(); }
    double GetDistance() const { return m_distance.load(); }
    int GetMode() const { return m_mode.load(); }

    // The arrow picture for a relative direction (clockwise from straight
    // ahead, degrees in [0, 360)).
    static int ImageForDirection(double relative);

private:
    std::atomic<int32_t> m_image { 0 };
    std::atomic<double> m_distance { 0.0 };
    std::atomic<int32_t> m_mode { 0 };
};
