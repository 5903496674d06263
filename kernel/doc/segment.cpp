#include "kernel/doc/segment.h"

#include <cmath>

void CZXS_Segment::Init(ZXS_Point first, ZXS_Point second)
{
    m_first = first;
    m_second = second;
    m_dx = static_cast<double>(second.x) - first.x;
    m_dy = static_cast<double>(second.y) - first.y;
    if (m_dx == 0 && m_dy == 0) {
        m_length = m_ux = m_uy = 0;
        return;
    }
    m_length = std::hypot(m_dx, m_dy);
    m_ux = m_dx / m_length;
    m_uy = m_dy / m_length;
}

double CZXS_Segment::DistanceTo(ZXS_Point p, ZXS_Point* nearest) const
{
    auto toEnd = [&](ZXS_Point end) {
        if (nearest != nullptr)
            *nearest = end;
        return std::hypot(static_cast<double>(end.x) - p.x, static_cast<double>(end.y) - p.y);
    };
    if (m_length == 0)
        return toEnd(m_first);
    const double px = static_cast<double>(p.x) - m_first.x;
    const double py = static_cast<double>(p.y) - m_first.y;
    const double t = m_ux * px + m_uy * py;
    if (t < 0)
        return toEnd(m_first);
    if (t > m_length)
        return toEnd(m_second);
    if (nearest != nullptr)
        *nearest = { static_cast<int32_t>(std::trunc(m_first.x + m_ux * t + 0.5)),
            static_cast<int32_t>(std::trunc(m_first.y + m_uy * t + 0.5)) };
    return std::trunc(std::fabs(m_uy * px - m_ux * py) + 0.5);
}
