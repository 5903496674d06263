// Measures between positions on a flat local approximation of the earth.
#include "foundation/geo_pos.h"
#include "foundation/plane_geometry.h"

#include <cmath>

using namespace geo;

namespace {

double ReferenceLatitude(const CGeoPos& self, double referenceLatitudeDegrees)
{
    return referenceLatitudeDegrees == kOwnLatitude ? self.GetLatitude().GetRadians()
                                                    : referenceLatitudeDegrees * kPi / 180.0;
}

double Direction(const GeoDelta& d, double eastWestFactor)
{
    if (d.longitude == 0.0 && d.latitude == 0.0)
        return kNoDirection;
    if (d.longitude != 0.0)
        return std::atan2(d.latitude, d.longitude * eastWestFactor) * kRadToDeg;
    return d.latitude < 0.0 ? -90.0 : 90.0;
}

} // namespace

double CGeoPos::AngularDistanceTo(const CGeoPos& other, double referenceLatitudeDegrees) const
{
    const GeoDelta d = Difference(other);
    const double phi = ReferenceLatitude(*this, referenceLatitudeDegrees);
    return std::sqrt(
        std::pow(std::cos(phi) * d.longitude, 2.0) * kEastWestWeight + std::pow(d.latitude, 2.0));
}

double CGeoPos::PlainAngularDistanceTo(const CGeoPos& other, double referenceLatitudeDegrees) const
{
    const GeoDelta d = Difference(other);
    const double phi = ReferenceLatitude(*this, referenceLatitudeDegrees);
    return std::sqrt(std::pow(std::cos(phi) * d.longitude, 2.0) + std::pow(d.latitude, 2.0));
}

double CGeoPos::DistanceToMetres(const CGeoPos& other, double referenceLatitudeDegrees) const
{
    return AngularDistanceTo(other, referenceLatitudeDegrees) * kMetresPerDegree / kPi * 180.0;
}

double CGeoPos::CoordinateDistanceTo(const CGeoPos& other) const
{
    const GeoDelta d = Difference(other);
    return std::sqrt(std::pow(d.longitude, 2.0) + std::pow(d.latitude, 2.0));
}

double CGeoPos::LatitudeSeparation(const CGeoPos& other) const
{
    return std::fabs(m_latitude.GetRadians() - other.m_latitude.GetRadians());
}

double CGeoPos::ParallelDistanceTo(const CGeoPos& other, double referenceLatitudeDegrees) const
{
    CGeoPos onParallel;
    onParallel.CGeoPos::Set(m_latitude.GetRadians(), other.m_longitude.GetRadians());
    return AngularDistanceTo(onParallel, referenceLatitudeDegrees);
}

double CGeoPos::DirectionTo(const CGeoPos& other) const
{
    return Direction(other.Difference(*this), std::cos(m_latitude.GetRadians()));
}

double CGeoPos::CoordinateDirectionTo(const CGeoPos& other) const
{
    return Direction(other.Difference(*this), 1.0);
}

double CGeoPos::TurnAngleTo(const CGeoPos& first, const CGeoPos& second) const
{
    return TurnBetweenDirections(DirectionTo(first), DirectionTo(second));
}
