#include "kernel/render/line_painter.h"

#include <algorithm>
#include <cstdlib>

namespace {

__extension__ typedef __int128 Int128;

enum Outcode : int32_t { kLeft = 1, kRight = 2, kBelow = 4, kAbove = 8 };

int32_t OutcodeOf(const ZXS_ScreenRect& r, int64_t x, int64_t y)
{
    int32_t code = 0;
    if (y < r.top)
        code |= kAbove;
    else if (y > r.bottom)
        code |= kBelow;
    if (x < r.left)
        code |= kLeft;
    else if (x > r.right)
        code |= kRight;
    return code;
}

// a + b * c / d, truncating toward zero; |d| > 0.
int64_t Interpolate(int64_t a, int64_t b, int64_t c, int64_t d)
{
    return a + static_cast<int64_t>(static_cast<Int128>(b) * c / d);
}

int64_t CeilHalf(int64_t v) { return (v + 1) >> 1; }

} // namespace

int ClipSegmentEnds(const ZXS_ScreenRect& rect, ZXS_Segment& segment)
{
    int64_t x1 = segment.x1, y1 = segment.y1, x2 = segment.x2, y2 = segment.y2;
    int32_t c1 = OutcodeOf(rect, x1, y1);
    int32_t c2 = OutcodeOf(rect, x2, y2);
    while ((c1 | c2) != 0) {
        if ((c1 & c2) != 0)
            return 0;
        const int32_t code = c1 != 0 ? c1 : c2;
        int64_t x, y;
        if (code & kAbove) {
            y = rect.top;
            x = Interpolate(x1, rect.top - y1, x2 - x1, y2 - y1);
        } else if (code & kBelow) {
            y = rect.bottom;
            x = Interpolate(x1, rect.bottom - y1, x2 - x1, y2 - y1);
        } else if (code & kRight) {
            x = rect.right;
            y = Interpolate(y1, rect.right - x1, y2 - y1, x2 - x1);
        } else {
            x = rect.left;
            y = Interpolate(y1, rect.left - x1, y2 - y1, x2 - x1);
        }
        if (code == c1) {
            x1 = x;
            y1 = y;
            c1 = OutcodeOf(rect, x1, y1);
        } else {
            x2 = x;
            y2 = y;
            c2 = OutcodeOf(rect, x2, y2);
        }
    }
    segment = { static_cast<int32_t>(x1), static_cast<int32_t>(y1), static_cast<int32_t>(x2),
        static_cast<int32_t>(y2) };
    return 1;
}

int ClipHalfPlane(ZXS_ScreenPoint& p, ZXS_ScreenPoint& q, int32_t x, bool keepRight)
{
    const auto outside = [&](const ZXS_ScreenPoint& a) { return keepRight ? a.x < x : a.x > x; };
    const bool pOut = outside(p);
    const bool qOut = outside(q);
    if (pOut && qOut)
        return 0;
    if (!pOut && !qOut)
        return 1;
    ZXS_ScreenPoint& moved = pOut ? p : q;
    const ZXS_ScreenPoint& kept = pOut ? q : p;
    moved.y = static_cast<int32_t>(Interpolate(kept.y, static_cast<int64_t>(x) - kept.x,
        static_cast<int64_t>(moved.y) - kept.y, static_cast<int64_t>(moved.x) - kept.x));
    moved.x = x;
    return 1;
}

int64_t IntSqrt(int64_t dx, int64_t dy)
{
    dx = std::llabs(dx);
    dy = std::llabs(dy);
    // Squares of differences of 32-bit coordinates can pass 2^63: halve until they fit.
    int shift = 0;
    while (std::max(dx, dy) > 0x7fffffffLL) {
        dx >>= 1;
        dy >>= 1;
        ++shift;
    }
    const int64_t n = dx * dx + dy * dy;
    int64_t e = std::max(dx, dy);
    if (e == 0)
        return 0;
    // From below the root the first step rises; then the estimates fall until they settle.
    int64_t next = CeilHalf(e + n / e);
    do {
        e = next;
        next = CeilHalf(e + n / e);
    } while (next < e);
    if (n % e == 0 && n / e == e - 1)
        --e;
    return e << shift;
}

int64_t ManhattanLength(const ZXS_Segment& s)
{
    return std::llabs(static_cast<int64_t>(s.x2) - s.x1) + std::llabs(static_cast<int64_t>(s.y2) - s.y1);
}

int32_t SegmentOctant(const ZXS_Segment& s)
{
    const int64_t dx = static_cast<int64_t>(s.x2) - s.x1;
    const int64_t dy = static_cast<int64_t>(s.y2) - s.y1;
    const int64_t ax = std::llabs(dx);
    const int64_t ay = std::llabs(dy);
    if (2 * std::max(ax, ay) < 5 * std::min(ax, ay)) {
        if (dx <= 0)
            return dy <= 0 ? 7 : 5;
        return dy <= 0 ? 1 : 3;
    }
    if (ax > ay)
        return dx <= 0 ? 6 : 2;
    return dy <= 0 ? 0 : 4;
}

int32_t ArrowheadPoints(const ZXS_Segment& s, int32_t length, int32_t halfWidth, bool closed,
    std::array<ZXS_ScreenPoint, 4>& points)
{
    const int64_t ux = static_cast<int64_t>(s.x1) - s.x2;
    const int64_t uy = static_cast<int64_t>(s.y1) - s.y2;
    const int64_t len = IntSqrt(ux, uy);
    if (len == 0)
        return 0;
    const int64_t d = ux * 2 * length / len;
    const int64_t e = ux * 2 * halfWidth / len;
    const int64_t f = uy * 2 * length / len;
    const int64_t g = uy * 2 * halfWidth / len;
    points[0]
        = { static_cast<int32_t>(s.x2 + CeilHalf(d - g)), static_cast<int32_t>(s.y2 + CeilHalf(e + f)) };
    points[1] = { s.x2, s.y2 };
    points[2]
        = { static_cast<int32_t>(s.x2 + CeilHalf(d + g)), static_cast<int32_t>(s.y2 + CeilHalf(f - e)) };
    if (!closed)
        return 3;
    points[3] = points[0];
    return 4;
}

const ZXS_DirectionSymbol kDirectionSymbols[8] = {
    { { { 0, 0, 0, 1, 1, 1, 0, 0, 0 }, { 0, 0, 1, 1, 2, 1, 1, 0, 0 }, { 0, 1, 1, 2, 2, 2, 1, 1, 0 },
          { 1, 1, 2, 2, 2, 2, 2, 1, 1 }, { 1, 2, 2, 2, 2, 2, 2, 2, 1 }, { 2, 2, 2, 2, 2, 2, 2, 2, 2 },
          { 1, 1, 1, 1, 1, 1, 1, 1, 1 }, { 0, 0, 0, 0, 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
        4, 0 },
    { { { 1, 1, 1, 1, 1, 1, 1, 1, 1 }, { 1, 2, 2, 2, 2, 2, 2, 2, 1 }, { 0, 1, 2, 2, 2, 2, 2, 2, 1 },
          { 0, 0, 1, 2, 2, 2, 2, 2, 1 }, { 0, 0, 0, 1, 2, 2, 2, 2, 1 }, { 0, 0, 0, 0, 1, 2, 2, 2, 1 },
          { 0, 0, 0, 0, 0, 1, 2, 2, 1 }, { 0, 0, 0, 0, 0, 0, 1, 2, 1 }, { 0, 0, 0, 0, 0, 0, 0, 1, 1 } },
        8, 1 },
    { { { 0, 0, 1, 2, 1, 1, 0, 0, 0 }, { 0, 0, 1, 2, 2, 1, 1, 0, 0 }, { 0, 0, 1, 2, 2, 2, 1, 1, 0 },
          { 0, 0, 1, 2, 2, 2, 2, 1, 0 }, { 0, 0, 1, 2, 2, 2, 2, 2, 0 }, { 0, 0, 1, 2, 2, 2, 2, 1, 0 },
          { 0, 0, 1, 2, 2, 2, 1, 1, 0 }, { 0, 0, 1, 2, 2, 1, 1, 0, 0 }, { 0, 0, 1, 2, 1, 1, 0, 0, 0 } },
        8, 4 },
    { { { 0, 0, 0, 0, 0, 0, 0, 1, 1 }, { 0, 0, 0, 0, 0, 0, 1, 2, 1 }, { 0, 0, 0, 0, 0, 1, 2, 2, 1 },
          { 0, 0, 0, 0, 1, 2, 2, 2, 1 }, { 0, 0, 0, 1, 2, 2, 2, 2, 1 }, { 0, 0, 1, 2, 2, 2, 2, 2, 1 },
          { 0, 1, 2, 2, 2, 2, 2, 2, 1 }, { 1, 2, 2, 2, 2, 2, 2, 2, 1 }, { 1, 1, 1, 1, 1, 1, 1, 1, 1 } },
        8, 8 },
    { { { 0, 0, 0, 0, 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0, 0, 0, 0 }, { 1, 1, 1, 1, 1, 1, 1, 1, 1 },
          { 2, 2, 2, 2, 2, 2, 2, 2, 2 }, { 1, 2, 2, 2, 2, 2, 2, 2, 1 }, { 1, 1, 2, 2, 2, 2, 2, 1, 1 },
          { 0, 1, 1, 2, 2, 2, 1, 1, 0 }, { 0, 0, 1, 1, 2, 1, 1, 0, 0 }, { 0, 0, 0, 1, 1, 1, 0, 0, 0 } },
        4, 8 },
    { { { 1, 1, 0, 0, 0, 0, 0, 0, 0 }, { 1, 2, 1, 0, 0, 0, 0, 0, 0 }, { 1, 2, 2, 1, 0, 0, 0, 0, 0 },
          { 1, 2, 2, 2, 1, 0, 0, 0, 0 }, { 1, 2, 2, 2, 2, 1, 0, 0, 0 }, { 1, 2, 2, 2, 2, 2, 1, 0, 0 },
          { 1, 2, 2, 2, 2, 2, 2, 1, 0 }, { 1, 2, 2, 2, 2, 2, 2, 2, 1 }, { 1, 1, 1, 1, 1, 1, 1, 1, 1 } },
        1, 8 },
    { { { 0, 0, 0, 1, 1, 2, 1, 0, 0 }, { 0, 0, 1, 1, 2, 2, 1, 0, 0 }, { 0, 1, 1, 2, 2, 2, 1, 0, 0 },
          { 0, 1, 2, 2, 2, 2, 1, 0, 0 }, { 0, 2, 2, 2, 2, 2, 1, 0, 0 }, { 0, 1, 2, 2, 2, 2, 1, 0, 0 },
          { 0, 1, 1, 2, 2, 2, 1, 0, 0 }, { 0, 0, 1, 1, 2, 2, 1, 0, 0 }, { 0, 0, 0, 1, 1, 2, 1, 0, 0 } },
        1, 4 },
    { { { 1, 1, 1, 1, 1, 1, 1, 1, 1 }, { 1, 2, 2, 2, 2, 2, 2, 2, 1 }, { 1, 2, 2, 2, 2, 2, 2, 1, 0 },
          { 1, 2, 2, 2, 2, 2, 1, 0, 0 }, { 1, 2, 2, 2, 2, 1, 0, 0, 0 }, { 1, 2, 2, 2, 1, 0, 0, 0, 0 },
          { 1, 2, 2, 1, 0, 0, 0, 0, 0 }, { 1, 2, 1, 0, 0, 0, 0, 0, 0 }, { 1, 1, 0, 0, 0, 0, 0, 0, 0 } },
        1, 1 },
};
