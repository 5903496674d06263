#include "foundation/plane_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>

#include "foundation/geo_pos.h"
#include "foundation/screen_metrics.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;
using geo::kNoDirection;

std::mutex g_handlerLock;
std::function<double(double)> g_toMetres;
std::function<bool(bool, MapPoint&)> g_gpsPosition;

double ToMetres(double units)
{
    std::function<double(double)> convert;
    {
        const std::lock_guard<std::mutex> lock(g_handlerLock);
        convert = g_toMetres;
    }
    return convert ? convert(units) : -1.0;
}

double Dx(const MapPoint& a, const MapPoint& b) { return static_cast<double>(a.x) - b.x; }
double Dy(const MapPoint& a, const MapPoint& b) { return static_cast<double>(a.y) - b.y; }

double SquaredMetres(const MapPoint& a, const MapPoint& b)
{
    const double mx = ToMetres(Dx(a, b));
    const double my = ToMetres(Dy(a, b));
    if (mx == -1.0 || my == -1.0)
        return -1.0;
    return mx * mx + my * my;
}

double LengthSq(const MapPoint& a, const MapPoint& b) { return Dx(a, b) * Dx(a, b) + Dy(a, b) * Dy(a, b); }

bool Same(const MapPoint& a, const MapPoint& b) { return a.x == b.x && a.y == b.y; }

// A crossing of nearly parallel or very steep lines can lie beyond any 32-bit
// coordinate; converting it would be undefined, so it is no crossing at all.
bool ToCoordinate(double value, int32_t& out)
{
    const double t = std::trunc(value);
    if (!(t >= INT32_MIN && t <= INT32_MAX))
        return false;
    out = static_cast<int32_t>(t);
    return true;
}

} // namespace

void SetMapUnitsToMetresHandler(std::function<double(double)> handler)
{
    const std::lock_guard<std::mutex> lock(g_handlerLock);
    g_toMetres = std::move(handler);
}

void SetGpsMapPositionHandler(std::function<bool(bool, MapPoint&)> handler)
{
    const std::lock_guard<std::mutex> lock(g_handlerLock);
    g_gpsPosition = std::move(handler);
}

double MapPointDistance(const MapPoint& a, const MapPoint& b)
{
    return ToMetres(std::hypot(Dx(a, b), Dy(a, b)));
}

double MapPointDistanceSq(const MapPoint& a, const MapPoint& b) { return SquaredMetres(a, b); }

double MapPointDistanceSqTo(const MapPoint& node, const MapPoint& point)
{
    return SquaredMetres(node, point);
}

double MapPointDistanceSqRaw(const MapPoint& node, const MapPoint& point) { return LengthSq(node, point); }

double MetresToMapUnits(double metres)
{
    // The map's conversion is a plain factor.
    const double metresPerUnit = ToMetres(1.0);
    return metresPerUnit > 0.0 ? metres / metresPerUnit : -1.0;
}

bool GetGpsMapPosition(bool takeLock, MapPoint& position)
{
    std::function<bool(bool, MapPoint&)> read;
    {
        const std::lock_guard<std::mutex> lock(g_handlerLock);
        read = g_gpsPosition;
    }
    MapPoint gps;
    if (!read || !read(takeLock, gps) || gps.x == -1)
        return false;
    position = gps;
    return true;
}

double DistanceToGpsPosition(const MapPoint& node, bool takeLock)
{
    MapPoint gps;
    if (!GetGpsMapPosition(takeLock, gps))
        return -1.0;
    return ToMetres(std::hypot(Dx(node, gps), Dy(node, gps)));
}

double PointDistance(const MapPoint& p, const MapPoint& q) { return std::sqrt(LengthSq(p, q)); }

int SideOfLine(const MapPoint& a, const MapPoint& b, const MapPoint& c)
{
    const double cross = Dx(a, b) * Dy(c, b) - Dy(a, b) * Dx(c, b);
    return cross > 0 ? 1 : cross < 0 ? 2 : 0;
}

int DotProductSign(const MapPoint& a, const MapPoint& b, const MapPoint& c)
{
    const double dot = Dx(a, b) * Dx(c, b) + Dy(a, b) * Dy(c, b);
    return dot > 0 ? 1 : 2;
}

double SignedSquaredCosBetweenSegments(
    const MapPoint& a, const MapPoint& b, const MapPoint& c, const MapPoint& d)
{
    if (Same(a, b) || Same(c, d))
        return -2.0;
    const double p = Dx(a, b) * Dx(d, c) + Dy(a, b) * Dy(d, c);
    const double r = (p / LengthSq(a, b)) * std::fabs(p) / LengthSq(d, c);
    return std::clamp(r, -1.0, 1.0);
}

double SignedSquaredCosTurn(const MapPoint& a, const MapPoint& b, const MapPoint& c)
{
    return SignedSquaredCosBetweenSegments(a, b, b, c);
}

double SignedSquaredProjection(
    const MapPoint& start, const MapPoint& point, const MapPoint* towards, double* inOutDot, double lengthSq)
{
    if (towards == nullptr || Same(*towards, start))
        return 0.0;
    const double m = Dx(point, start) * Dx(*towards, start) + Dy(point, start) * Dy(*towards, start);
    if (inOutDot != nullptr && lengthSq != 0)
        *inOutDot = *inOutDot * std::fabs(*inOutDot) / lengthSq;
    return m * std::fabs(m) / LengthSq(*towards, start);
}

int ClassifyPointOnSegment(const MapPoint& s, const MapPoint& p, const MapPoint& e, const MapPoint* next,
    const MapPoint* previous, double corridorSq, double nearSq)
{
    if (Same(p, e))
        return 3;
    const double segSq = LengthSq(s, e);
    if (Same(p, s))
        return segSq <= nearSq ? 3 : 1;
    // A segment of no length has no direction: only the distances decide.
    if (segSq == 0)
        return LengthSq(p, e) < nearSq ? 2 : 0;
    // The corner at each end is split where P's squared projection on this
    // segment equals its projection on the neighbouring one. The projection on
    // this segment is taken from the plain dot product, before anything else
    // reads or rewrites it.
    const double endDot = Dx(p, e) * Dx(s, e) + Dy(p, e) * Dy(s, e);
    const double endSide = endDot * std::fabs(endDot) / segSq;
    const bool pastEnd
        = next != nullptr ? endSide <= SignedSquaredProjection(e, p, next, nullptr, segSq) : endDot <= 0;
    if (pastEnd)
        return LengthSq(p, e) <= nearSq ? 5 : 4;
    const double startDot = Dx(e, s) * Dx(p, s) + Dy(e, s) * Dy(p, s);
    const double startSide = startDot * std::fabs(startDot) / segSq;
    const bool beforeStart = previous != nullptr
        ? startSide < SignedSquaredProjection(s, p, previous, nullptr, segSq)
        : startDot < 0;
    if (beforeStart)
        return LengthSq(p, s) <= nearSq ? 9 : 8;
    const double cross = Dx(p, e) * Dy(e, s) - Dx(s, e) * Dy(e, p);
    const double perpSq = cross * cross / segSq;
    int code = 0;
    if (perpSq <= corridorSq)
        code |= 1;
    if (LengthSq(p, e) < nearSq)
        code |= 2;
    return code;
}

bool IntersectLines(const MapPoint& a, const MapPoint& b, const MapPoint& c, const MapPoint& d, MapPoint& out)
{
    const bool firstVertical = a.x == b.x;
    const bool secondVertical = c.x == d.x;
    MapPoint crossing;
    if (!firstVertical && !secondVertical) {
        const double k1 = Dy(b, a) / Dx(b, a);
        const double k2 = Dy(d, c) / Dx(d, c);
        if (k1 == k2)
            return false;
        const double i1 = b.y - b.x * k1;
        const double i2 = d.y - d.x * k2;
        if (!ToCoordinate((i2 - i1) / (k1 - k2), crossing.x)
            || !ToCoordinate(crossing.x * k1 + i1, crossing.y))
            return false;
    } else if (firstVertical) {
        if (secondVertical)
            return false;
        const double k2 = Dy(d, c) / Dx(d, c);
        crossing.x = a.x;
        if (!ToCoordinate(a.x * k2 + (d.y - d.x * k2), crossing.y))
            return false;
    } else {
        const double k1 = Dy(b, a) / Dx(b, a);
        crossing.x = c.x;
        if (!ToCoordinate(c.x * k1 + (b.y - b.x * k1), crossing.y))
            return false;
    }
    out = crossing;
    return true;
}

double PointDirectionDegrees(const MapPoint& from, const MapPoint& to)
{
    if (from.x == to.x) {
        if (from.y == to.y)
            return kNoDirection;
        return to.y < from.y ? -90.0 : 90.0;
    }
    return std::atan2(Dy(to, from), Dx(to, from)) * kRadiansToDegrees;
}

double TurnAngleDegrees(const MapPoint& p, const MapPoint& q, const MapPoint& r)
{
    return TurnBetweenDirections(PointDirectionDegrees(q, p), PointDirectionDegrees(q, r));
}

double TurnBetweenDirections(double a, double b)
{
    if (a == kNoDirection || b == kNoDirection)
        return kNoDirection;
    double t = b - a;
    if (t > 180.0)
        t -= 360.0;
    if (t <= -180.0)
        t += 360.0;
    return t;
}

double BearingToMathAngle(double bearing)
{
    double a = (360.0 - bearing) + 90.0;
    if (a > 180.0)
        a -= 360.0;
    if (a <= -180.0)
        a += 360.0;
    return a;
}

double MathAngleToBearing(double angle)
{
    double b = (360.0 - (angle + 180.0)) - 90.0;
    if (b < 0.0)
        b += 360.0;
    return b;
}

bool ClipBlitToScreen(int& dstX, int& dstY, int& width, int& height, int& srcX, int& srcY)
{
    const int screenCx = GetScreenWidth();
    const int screenCy = GetScreenHeight();
    const int sw = width;
    const int sh = height;
    if (dstX < 0) {
        width = std::max(0, width + dstX);
        srcX -= dstX;
        dstX = 0;
    }
    if (dstY < 0) {
        height = std::max(0, height + dstY);
        srcY -= dstY;
        dstY = 0;
    }
    width = std::min({ width, screenCx - dstX, sw - srcX });
    height = std::min({ height, screenCy - dstY, sh - srcY });
    if (width <= 0 || height <= 0 || dstX + width > screenCx || dstY + height > screenCy || srcX + width > sw
        || srcY + height > sh || dstX < 0 || dstY < 0 || srcX < 0 || srcY < 0 || dstX > screenCx
        || dstY > screenCy || srcX > sw || srcY > sh)
        return false;
    return true;
}
