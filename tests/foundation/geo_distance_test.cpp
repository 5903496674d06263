#include "foundation/geo_corridor.h"
#include "foundation/geo_pos.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace geo;

namespace {

CGeoPos Radians(double latitude, double longitude)
{
    CGeoPos p;
    p.Set(latitude, longitude);
    return p;
}

CGeoPos Degrees(double latitude, double longitude)
{
    return Radians(latitude * kDegToRad, longitude * kDegToRad);
}

// Degrees of longitude and latitude that make `metres` along each axis at a latitude,
// by the same flat approximation the measures use (without the east-west weight).
double MetresToLatDegrees(double metres) { return metres / kMetresPerDegree; }
double MetresToLonDegrees(double metres, double latitudeDegrees)
{
    return metres / kMetresPerDegree / std::cos(latitudeDegrees * kDegToRad);
}

} // namespace

TEST(GeoDistance, MetresAndAngularDistances)
{
    const CGeoPos origin = Radians(0.0, 0.0);
    EXPECT_DOUBLE_EQ(Radians(0.001, 0.0).DistanceToMetres(origin, kOwnLatitude), 6366.197723612152);
    EXPECT_DOUBLE_EQ(origin.DistanceToMetres(Radians(-0.001, 0.0), kOwnLatitude), 6366.197723612152);

    const double sixty = 60.0 * kDegToRad;
    const double expected = std::sqrt(0.993) * 0.5 * 0.001;
    EXPECT_NEAR(Radians(sixty, 0.001).AngularDistanceTo(Radians(sixty, 0.0), kOwnLatitude), expected, 1e-15);
    EXPECT_NEAR(expected, 0.000498246, 1e-9);
    // Any other reference latitude is taken in degrees, whatever the positions' own latitude.
    EXPECT_NEAR(Radians(0.0, 0.001).AngularDistanceTo(origin, 60.0), expected, 1e-15);
    EXPECT_NEAR(
        Radians(sixty, 0.001).PlainAngularDistanceTo(Radians(sixty, 0.0), kOwnLatitude), 0.0005, 1e-15);
    EXPECT_NEAR(Radians(sixty, 0.001).ParallelDistanceTo(Radians(0.0, 0.0), kOwnLatitude), expected, 1e-15)
        << "only the east-west component counts";

    EXPECT_DOUBLE_EQ(Radians(0.3, 0.4).CoordinateDistanceTo(origin), 0.5);
    EXPECT_EQ(origin.DistanceToMetres(CGeoPos(), kOwnLatitude), 0.0) << "an invalid partner is 0 m away";
    EXPECT_DOUBLE_EQ(CGeoPos().LatitudeSeparation(Radians(-0.2, 0.0)), 0.2) << "regardless of validity";
}

TEST(GeoDistance, DirectionsAndTurns)
{
    const CGeoPos here = Degrees(10.0, 20.0);
    struct Case {
        CGeoPos other;
        double direction;
    } cases[] = {
        { Degrees(11.0, 20.0), 90.0 },
        { Degrees(9.0, 20.0), -90.0 },
        { Degrees(10.0, 19.0), 180.0 },
        { Degrees(10.0, 21.0), 0.0 },
        { here, kNoDirection },
        { CGeoPos(), kNoDirection },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(here.DirectionTo(c.other), c.direction);
        EXPECT_EQ(here.CoordinateDirectionTo(c.other), c.direction);
    }
    // North-east: the cosine of the latitude flattens the east-west leg.
    const CGeoPos northEast = Degrees(11.0, 21.0);
    EXPECT_NEAR(here.CoordinateDirectionTo(northEast), 45.0, 1e-12);
    EXPECT_NEAR(here.DirectionTo(northEast), std::atan2(1.0, std::cos(10.0 * kDegToRad)) * kRadToDeg, 1e-12);

    const CGeoPos north = Degrees(11.0, 20.0), south = Degrees(9.0, 20.0), east = Degrees(10.0, 21.0);
    EXPECT_EQ(here.TurnAngleTo(north, south), 180.0) << "half a turn is +180, never -180";
    EXPECT_EQ(here.TurnAngleTo(south, north), 180.0);
    EXPECT_EQ(here.TurnAngleTo(north, east), -90.0);
    EXPECT_EQ(here.TurnAngleTo(east, north), 90.0);
    EXPECT_EQ(here.TurnAngleTo(here, north), kNoDirection);
    // From west to a little south of west crosses the +-180 seam: a small turn, not almost a full one.
    const double seam = here.TurnAngleTo(Degrees(10.0, 19.0), Degrees(9.99, 19.0));
    EXPECT_GT(seam, 0.0);
    EXPECT_LT(seam, 1.0);
}

TEST(GeoDistance, UnitModes)
{
    EXPECT_EQ(DistanceToRadians(0.5, GEO_UNIT_RADIANS), 0.5);
    EXPECT_DOUBLE_EQ(DistanceToRadians(90.0, GEO_UNIT_DEGREES), kHalfPi);
    EXPECT_DOUBLE_EQ(DistanceToRadians(111111.11111, GEO_UNIT_METRES), kDegToRad);
    EXPECT_EQ(DistanceToRadians(100.0, 7), DistanceToRadians(100.0, GEO_UNIT_METRES));
}

TEST(GeoCorridor, BandBoundaryBelongsToTheBand)
{
    const CGeoPos a = Radians(0.0, 0.0), b = Radians(0.0, 0.01);
    const double h = 0.0001;
    EXPECT_TRUE(GeoInLineBand(Radians(h, 0.005), a, b, h, GEO_UNIT_RADIANS));
    EXPECT_TRUE(GeoInLineBand(Radians(-h, 0.02), a, b, h, GEO_UNIT_RADIANS)) << "the line is infinite";
    EXPECT_FALSE(GeoInLineBand(Radians(h * 1.000001, 0.005), a, b, h, GEO_UNIT_RADIANS));
    EXPECT_FALSE(GeoInLineBand(Radians(h, 0.005), a, a, h, GEO_UNIT_RADIANS)) << "a point is no line";
    EXPECT_FALSE(GeoCorridorContains(Radians(0.0, 0.0), a, a, h, h, GEO_UNIT_RADIANS));
}

// Corridors around a 1 km segment in every direction class (east, north (the
// tangent-free branch), north-east), on both hemispheres: a point 40 m off the
// middle is inside a 60 m corridor and outside a 20 m one; a point 30 m past an
// end is inside only with a margin over 30 m.
TEST(GeoCorridor, SameAnswersNorthAndSouthOfTheEquator)
{
    struct Segment {
        const char* name;
        double dLat, dLon; // metres from a to b along each axis
    } segments[] = { { "east", 0.0, 1000.0 }, { "north", 1000.0, 0.0 }, { "north-east", 700.0, 700.0 } };
    for (double latitude : { 55.75, -33.9 }) {
        const double lon = 18.4;
        for (const Segment& s : segments) {
            const double len = std::hypot(s.dLat, s.dLon);
            const double ux = s.dLon / len, uy = s.dLat / len; // along, metres east and north
            auto at = [&](double east, double north) {
                return Degrees(
                    latitude + MetresToLatDegrees(north), lon + MetresToLonDegrees(east, latitude));
            };
            const CGeoPos a = at(0, 0), b = at(s.dLon, s.dLat);
            const CGeoPos offMiddle = at(s.dLon / 2 - uy * 40, s.dLat / 2 + ux * 40);
            const CGeoPos pastEnd = at(s.dLon + ux * 30, s.dLat + uy * 30);
            SCOPED_TRACE(std::string(s.name) + " at " + std::to_string(latitude));
            EXPECT_TRUE(GeoRectContains(offMiddle, a, b, 60.0, 0.0));
            EXPECT_FALSE(GeoRectContains(offMiddle, a, b, 20.0, 0.0));
            EXPECT_FALSE(GeoRectContains(pastEnd, a, b, 20.0, 10.0));
            EXPECT_TRUE(GeoRectContains(pastEnd, a, b, 20.0, 50.0));
            EXPECT_TRUE(GeoNearSegment(offMiddle, a, b, 60.0));
            EXPECT_FALSE(GeoNearSegment(offMiddle, a, b, 20.0));
            EXPECT_TRUE(GeoNearSegment(pastEnd, a, b, 35.0)) << "near the end point";
        }
    }
}

TEST(GeoCorridor, BandWidth)
{
    EXPECT_DOUBLE_EQ(GeoBandWidth(2.0, kHalfPi, 0.0), 2.0);
    EXPECT_DOUBLE_EQ(GeoBandWidth(-2.0, 0.0, 60.0 * kDegToRad), 4.0) << "east-west stretched by 1/cos";
    EXPECT_DOUBLE_EQ(GeoBandWidth(2.0, 0.0, -60.0 * kDegToRad), GeoBandWidth(2.0, 0.0, 60.0 * kDegToRad));
    EXPECT_EQ(GeoBandWidth(2.0, 0.0, kHalfPi), 0.0);
    EXPECT_EQ(GeoBandWidth(2.0, 0.0, -kHalfPi), 0.0);
}
