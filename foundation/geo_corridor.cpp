#include "foundation/geo_corridor.h"

#include <cmath>

using namespace geo;

namespace {

// Lines within this of due north (or segments within it of due east) are handled
// without the tangent, which grows without bound there.
constexpr double kAxisTolerance = 0.0017453292519943296;

struct LineAngles {
    double along; // direction of a-b, radians
    double across; // perpendicular to it, radians in (-pi, pi]
};

bool LineDirection(const CGeoPos& a, const CGeoPos& b, LineAngles& angles)
{
    const double direction = a.CoordinateDirectionTo(b);
    if (direction == kNoDirection)
        return false;
    angles.along = direction * kDegToRad;
    angles.across = angles.along + kHalfPi;
    if (angles.across > kPi)
        angles.across -= kTwoPi;
    return true;
}

// Whether the point lies within `limit` of the line through the origin running at
// `direction` (radians): measured along the longitude axis for a line within the
// tolerance of due north, else along the latitude axis, where the limit is first
// divided by `limitDivisor`.
bool WithinOfLine(const CGeoPos& point, double originLon, double originLat, double direction, double limit,
    double limitDivisor)
{
    const double pLon = point.GetLongitude().GetRadians();
    const double pLat = point.GetLatitude().GetRadians();
    double j;
    double bound;
    if (std::fabs(direction - kHalfPi) < kAxisTolerance) {
        j = originLon - pLon;
        bound = limit;
    } else {
        j = (std::tan(direction) * (pLon - originLon) + originLat) - pLat;
        bound = limit / limitDivisor;
    }
    return (j + bound) * (j - bound) <= 0.0;
}

} // namespace

double DistanceToRadians(double value, int unitMode)
{
    if (unitMode == GEO_UNIT_RADIANS)
        return value;
    if (unitMode == GEO_UNIT_DEGREES)
        return value * kPi / 180.0;
    return value * kPi / 180.0 / kMetresPerDegree;
}

double GeoBandWidth(double distance, double angle, double latitude)
{
    // The east-west stretch 1/cos depends on the latitude's size only, so the
    // southern hemisphere gets the same band as the northern one.
    if (std::fabs(latitude) >= kHalfPi)
        return 0.0;
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    const double k = std::cos(latitude);
    return std::fabs(distance) * std::sqrt(s * s + (c * c) / (k * k));
}

bool GeoInLineBand(const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double halfWidth, int unitMode)
{
    LineAngles angles;
    if (!LineDirection(a, b, angles))
        return false;
    const double middleLatitude = (a.GetLatitude().GetRadians() + b.GetLatitude().GetRadians()) / 2.0;
    const double h = GeoBandWidth(DistanceToRadians(halfWidth, unitMode), angles.across, middleLatitude);
    return WithinOfLine(point, a.GetLongitude().GetRadians(), a.GetLatitude().GetRadians(), angles.along, h,
        std::cos(angles.along));
}

bool GeoInSegmentSpan(const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double margin, int unitMode)
{
    LineAngles angles;
    if (!LineDirection(a, b, angles))
        return false;
    const double midLon = (a.GetLongitude().GetRadians() + b.GetLongitude().GetRadians()) / 2.0;
    const double midLat = (a.GetLatitude().GetRadians() + b.GetLatitude().GetRadians()) / 2.0;
    const double e = GeoBandWidth(DistanceToRadians(margin, unitMode), angles.along, midLat);
    const double halfSpan = (a.CoordinateDistanceTo(b) + 2.0 * e) / 2.0;
    // The bounding lines run across the segment, so the span is measured along it.
    return WithinOfLine(point, midLon, midLat, angles.across, halfSpan, std::sin(angles.along));
}

bool GeoCorridorContains(
    const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double halfWidth, double margin, int unitMode)
{
    return GeoInLineBand(point, a, b, halfWidth, unitMode) && GeoInSegmentSpan(point, a, b, margin, unitMode);
}

bool GeoRectContains(
    const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double halfWidth, double margin)
{
    return GeoCorridorContains(point, a, b, halfWidth, margin, GEO_UNIT_METRES);
}

bool GeoNearSegment(const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double metres)
{
    if (GeoRectContains(point, a, b, metres, 0.0))
        return true;
    if (point.DistanceToMetres(a, kOwnLatitude) <= metres)
        return true;
    return point.DistanceToMetres(b, kOwnLatitude) <= metres;
}
