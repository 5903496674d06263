#include "kernel/doc/point_collector.h"

#include <algorithm>
#include <new>

#include "kernel/doc/segment.h"

bool CZXS_PointCollector::Reserve(uint32_t capacity)
{
    try {
        m_points.reserve(capacity);
        m_parts.reserve(64);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CZXS_PointCollector::Grow(ZXS_Point p)
{
    try {
        m_points.push_back(p);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CZXS_PointCollector::GrowParts()
{
    try {
        m_parts.push_back(Count() - m_partStart);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_partStart = Count();
    return true;
}

bool CZXS_PointCollector::SetPoints(const ZXS_Point* points, uint32_t n)
{
    Clear();
    if (n > 0 && points == nullptr)
        return false;
    try {
        m_points.assign(points, points + n);
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    return EndPart();
}

int32_t CZXS_PointCollector::NearestSegment(ZXS_Point p, ZXS_Point* projection) const
{
    double best = 1e100;
    int32_t found = -1;
    for (uint32_t i = 0; i + 1 < Count(); ++i) {
        ZXS_Point nearest;
        const double d = CZXS_Segment(m_points[i], m_points[i + 1]).DistanceTo(p, &nearest);
        if (d < best) {
            best = d;
            found = static_cast<int32_t>(i);
            if (projection != nullptr)
                *projection = nearest;
        }
    }
    return found;
}

void CZXS_PointCollector::Reverse() { std::reverse(m_points.begin(), m_points.end()); }
