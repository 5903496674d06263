#pragma once

#include <cstdint>

#include "kernel/doc/object_record.h"
#include "kernel/doc/point_coding.h"

// Integer geometry on map points used by the document's spatial queries.
namespace ZXS_Geometry {

// Distance from `p` to the segment a-b (see CZXS_Segment::DistanceTo).
double SegmentDistance(ZXS_Point a, ZXS_Point b, ZXS_Point p, ZXS_Point* nearest = nullptr);
// The least segment distance from `p` to the polyline; segments wholly beyond
// one side of the square p +- radius are not measured. 1e20 when none is.
double PolylineDistance(const ZXS_Point* points, uint32_t n, ZXS_Point p, int32_t radius);

// How the edge a-b meets the ray from `p` towards smaller x.
enum Crossing : int { kNone = 0, kCrosses = 1, kInsideHorizontal = 2, kAtEnd = 3, kOnSlope = 4 };
int EdgeCrossing(ZXS_Point a, ZXS_Point b, ZXS_Point p);
// 1 inside, 0 outside, 2-4 on the outline (see EdgeCrossing), by the parity of
// crossings over all parts; each part is a ring closing back to its first vertex.
int PointInParts(const ZXS_Point* points, const uint32_t* partLengths, uint32_t partCount, ZXS_Point p);
// The rectangles overlap or touch.
bool RectsTouch(const ZXS_Rect& a, const ZXS_Rect& b);
// The square p +- radius, cut at the ends of the 32-bit range.
ZXS_Rect SquareAround(ZXS_Point p, int32_t radius);

} // namespace ZXS_Geometry
