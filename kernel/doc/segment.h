#pragma once

#include "kernel/doc/point_coding.h"

// A straight piece between two map points with its length and unit direction;
// coinciding ends give length and direction 0.
class CZXS_Segment {
public:
    CZXS_Segment() = default;
    CZXS_Segment(ZXS_Point first, ZXS_Point second) { Init(first, second); }
    void Init(ZXS_Point first, ZXS_Point second);

    // Distance from `p`: to the nearer end when the foot of the perpendicular
    // falls outside, else the perpendicular distance rounded to whole units.
    double DistanceTo(ZXS_Point p, ZXS_Point* nearest = nullptr) const;

    ZXS_Point First() const { return m_first; }
    ZXS_Point Second() const { return m_second; }
    double Length() const { return m_length; }
    double Ux() const { return m_ux; }
    double Uy() const { return m_uy; }

private:
    ZXS_Point m_first;
    ZXS_Point m_second;
    double m_dx = 0;
    double m_dy = 0;
    double m_length = 0;
    double m_ux = 0;
    double m_uy = 0;
};
