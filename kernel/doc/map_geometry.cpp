#include "kernel/doc/map_geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "kernel/doc/segment.h"

namespace ZXS_Geometry {

double SegmentDistance(ZXS_Point a, ZXS_Point b, ZXS_Point p, ZXS_Point* nearest)
{
    return CZXS_Segment(a, b).DistanceTo(p, nearest);
}

double PolylineDistance(const ZXS_Point* points, uint32_t n, ZXS_Point p, int32_t radius)
{
    double best = 1e20;
    const int64_t left = int64_t { p.x } - radius;
    const int64_t right = int64_t { p.x } + radius;
    const int64_t top = int64_t { p.y } - radius;
    const int64_t bottom = int64_t { p.y } + radius;
    for (uint32_t i = 0; i + 1 < n; ++i) {
        const ZXS_Point a = points[i];
        const ZXS_Point b = points[i + 1];
        if ((a.x > right && b.x > right) || (a.x < left && b.x < left) || (a.y > bottom && b.y > bottom)
            || (a.y < top && b.y < top))
            continue;
        const double d = SegmentDistance(a, b, p);
        if (d < best)
            best = d;
    }
    return best;
}

int EdgeCrossing(ZXS_Point a, ZXS_Point b, ZXS_Point p)
{
    if (a.x > p.x && b.x > p.x)
        return kNone;
    if (a.y == b.y) {
        if (a.y != p.y)
            return kNone;
        if (a.x == p.x || b.x == p.x)
            return kAtEnd;
        if ((a.x < p.x && p.x < b.x) || (b.x < p.x && p.x < a.x))
            return kInsideHorizontal;
        return kNone;
    }
    const ZXS_Point low = a.y < b.y ? a : b;
    const ZXS_Point high = a.y < b.y ? b : a;
    if (p.y < low.y || p.y > high.y)
        return kNone;
    if (p.y == high.y)
        return high.x == p.x ? kAtEnd : kNone;
    if (p.y == low.y) {
        if (low.x == p.x)
            return kAtEnd;
        if (low.x < p.x)
            return kCrosses;
    } else if (a.x < p.x && b.x < p.x) {
        return kCrosses;
    }
    const int64_t xc = int64_t { low.x }
        + (int64_t { low.x } - high.x) * (int64_t { p.y } - low.y) / (int64_t { low.y } - high.y);
    if (xc < p.x)
        return kCrosses;
    return xc == p.x ? kOnSlope : kNone;
}

int PointInParts(const ZXS_Point* points, const uint32_t* partLengths, uint32_t partCount, ZXS_Point p)
{
    int crossings = 0;
    uint32_t at = 0;
    for (uint32_t part = 0; part < partCount; ++part) {
        const uint32_t n = partLengths[part];
        for (uint32_t j = 0; j < n; ++j) {
            const ZXS_Point previous = points[at + (j == 0 ? n - 1 : j - 1)];
            const int c = EdgeCrossing(points[at + j], previous, p);
            if (c >= kInsideHorizontal)
                return c;
            crossings += c;
        }
        at += n;
    }
    return crossings & 1;
}

bool RectsTouch(const ZXS_Rect& a, const ZXS_Rect& b)
{
    const int64_t dx = std::llabs((int64_t { a.left } + a.right) - (int64_t { b.left } + b.right));
    const int64_t dy = std::llabs((int64_t { a.top } + a.bottom) - (int64_t { b.top } + b.bottom));
    return dx <= (int64_t { a.right } - a.left) + (int64_t { b.right } - b.left)
        && dy <= (int64_t { a.bottom } - a.top) + (int64_t { b.bottom } - b.top);
}

ZXS_Rect SquareAround(ZXS_Point p, int32_t radius)
{
    auto cut = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return { cut(int64_t { p.x } - radius), cut(int64_t { p.y } - radius), cut(int64_t { p.x } + radius),
        cut(int64_t { p.y } + radius) };
}

} // namespace ZXS_Geometry
