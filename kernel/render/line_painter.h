#pragma once

#include <array>
#include <cstdint>

#include "kernel/render/screen_types.h"

// Geometry of the line and symbol painter. Intersections are computed in 128-bit
// products, so segments whose ends lie anywhere in the 32-bit plane clip exactly.

// Cohen-Sutherland against an inclusive rectangle: 0 when the segment lies wholly
// outside, else 1 with the segment shortened in place.
int ClipSegmentEnds(const ZXS_ScreenRect& rect, ZXS_Segment& segment);
// Every drawn segment passes here two or three times and nearly all lie inside:
// those are taken at once.
inline int ClipSegment(const ZXS_ScreenRect& rect, ZXS_Segment& segment)
{
    const auto inside = [&](int32_t x, int32_t y) {
        return x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
    };
    if (inside(segment.x1, segment.y1) && inside(segment.x2, segment.y2))
        return 1;
    return ClipSegmentEnds(rect, segment);
}
// Keeps the part of p-q left of x (keepRight false) or right of it; the end
// outside moves onto x. 0 when both ends lie outside.
int ClipHalfPlane(ZXS_ScreenPoint& p, ZXS_ScreenPoint& q, int32_t x, bool keepRight);

// Newton's integer square root of dx^2 + dy^2.
int64_t IntSqrt(int64_t dx, int64_t dy);
int64_t ManhattanLength(const ZXS_Segment& segment);
// 0 up, 1 up-right, 2 right, 3 down-right, 4 down, 5 down-left, 6 left, 7 up-left.
int32_t SegmentOctant(const ZXS_Segment& segment);

// The head of an arrow at the segment's second end: length and half width in
// pixels. Fills `points` and returns their count: 4 when closed (back to the
// first), 3 when open, 0 for a segment of no length.
int32_t ArrowheadPoints(const ZXS_Segment& segment, int32_t length, int32_t halfWidth, bool closed,
    std::array<ZXS_ScreenPoint, 4>& points);

// The eight 9 x 9 direction symbols: cell 0 transparent, 1 white, 2 the caller's colour.
struct ZXS_DirectionSymbol {
    uint8_t cells[9][9];
    int32_t hotspotX;
    int32_t hotspotY;
};
extern const ZXS_DirectionSymbol kDirectionSymbols[8];
