#include "foundation/geo_pos.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace geo;

namespace {

CGeoPos Degrees(double latitude, double longitude)
{
    CGeoPos p;
    EXPECT_TRUE(p.SetChecked(latitude, longitude, false));
    return p;
}

// Records every accepted change, as the GPS fix record does.
class RecordingPos : public CGeoPos {
public:
    void Set(double latitude, double longitude) override
    {
        sets.push_back({ latitude, longitude });
        CGeoPos::Set(latitude, longitude);
    }
    std::vector<std::pair<double, double>> sets;
};

} // namespace

TEST(GeoPos, FreshPositionIsInvalidAndEqualsNothing)
{
    CGeoPos a, b;
    EXPECT_FALSE(a.IsValid());
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_FALSE(a.IsEqual(a));
    b.Set(0.0, 0.0);
    EXPECT_FALSE(a.IsEqual(b));
    a.Set(0.0, 0.0);
    EXPECT_TRUE(a.IsEqual(b));
}

TEST(GeoPos, RangeEndsOfSetChecked)
{
    struct Case {
        double latitude, longitude;
        bool ok;
    } cases[] = {
        { kHalfPi, kPi, true },
        { -kHalfPi, kPi, true },
        { kHalfPi + 1e-12, 0.0, false },
        { -kHalfPi - 1e-12, 0.0, false },
        { 0.0, -kPi, false },
        { 0.0, -kPi + 1e-12, true },
        { 0.0, kPi + 1e-12, false },
        { NAN, 0.0, false },
        { 0.0, NAN, false },
    };
    for (const Case& c : cases) {
        CGeoPos p;
        p.Set(0.25, 0.5);
        EXPECT_EQ(p.SetChecked(c.latitude, c.longitude, true), c.ok) << c.latitude << " " << c.longitude;
        if (c.ok) {
            EXPECT_EQ(p.GetLatitude().GetRadians(), c.latitude);
            EXPECT_EQ(p.GetLongitude().GetRadians(), c.longitude);
        } else {
            EXPECT_EQ(p.GetLatitude().GetRadians(), 0.25) << "a refused value leaves the position alone";
            EXPECT_EQ(p.GetLongitude().GetRadians(), 0.5);
        }
    }
}

TEST(GeoPos, SetCheckedConvertsDegrees)
{
    CGeoPos p = Degrees(55.75, 37.6);
    EXPECT_DOUBLE_EQ(p.GetLatitude().GetRadians(), 0.9730210579868387);
    EXPECT_DOUBLE_EQ(p.GetLongitude().GetRadians(), 0.6562437987498679);
    EXPECT_FALSE(p.SetChecked(90.5, 0.0, false));
    EXPECT_FALSE(p.SetChecked(0.0, -180.0, false));
    EXPECT_TRUE(p.SetChecked(-90.0, 180.0, false));
}

TEST(GeoPos, ValidateWritesTheConvertedValueBackEvenOnFailure)
{
    CGeoAngle latitude(CGeoAngle::LATITUDE, 0.0);
    double v = 100.0;
    EXPECT_FALSE(latitude.Validate(v, false));
    EXPECT_DOUBLE_EQ(v, 100.0 * kDegToRad);
}

TEST(GeoPos, NmeaDegreesAndMinutes)
{
    const double north = (55 + 45.0 * 0.0166666666667) * kPi / 180.0;
    struct Case {
        int degrees;
        double minutes;
        char hemisphere;
        bool longitude;
        bool ok;
        double value;
    } cases[] = {
        { 55, 45.0, 'N', false, true, north }, { 55, 45.0, 'S', false, true, -north },
        { 55, 45.0, 'E', true, true, north }, { 55, 45.0, 'W', true, true, -north },
        { 55, 45.0, 'E', false, false, 0.0 }, { 55, 45.0, 'N', true, false, 0.0 },
        { 55, 45.0, 'n', false, false, 0.0 }, { 55, 45.0, '-', false, false, 0.0 },
        { -1, 45.0, 'N', false, false, 0.0 }, { 55, -0.5, 'N', false, false, 0.0 },
        { 200, 0.0, 'N', false, true, 200.0 * kPi / 180.0 }, // no range check here
    };
    for (const Case& c : cases) {
        double value = 0.0;
        EXPECT_EQ(NmeaDegMinToRadians(c.degrees, c.minutes, c.hemisphere, value, c.longitude), c.ok)
            << c.degrees << c.hemisphere;
        EXPECT_EQ(value, c.value) << c.degrees << c.hemisphere;
    }
    // The minutes factor is the 12-digit decimal, not a full-precision 1/60.
    EXPECT_NE(north, (55 + 45.0 / 60.0) * kPi / 180.0);
}

TEST(GeoPos, SetFromNmeaChecksRangeAndLeavesPositionOnFailure)
{
    CGeoPos p;
    ASSERT_TRUE(p.SetFromNmea(55, 45.0, 'N', 37, 36.0, 'E'));
    const CGeoPos before = p;
    EXPECT_FALSE(p.SetFromNmea(95, 0.0, 'N', 37, 36.0, 'E')) << "latitude beyond the pole";
    EXPECT_FALSE(p.SetFromNmea(55, 45.0, 'N', 37, 36.0, 'X'));
    EXPECT_FALSE(p.SetFromNmea(55, 45.0, 'X', 37, 36.0, 'E'));
    EXPECT_TRUE(p.IsEqual(before));
}

TEST(GeoPos, ToDegMin)
{
    struct Case {
        uint8_t axis;
        double radians;
        int degrees;
        double minutes;
        char hemisphere;
    } cases[] = {
        { CGeoAngle::LONGITUDE, -0.5, 28, 38.873385392469686, 'W' },
        { CGeoAngle::LATITUDE, -0.5, 28, 38.873385392469686, 'S' },
        { CGeoAngle::LONGITUDE, 0.0, 0, 0.0, 'E' },
        { CGeoAngle::LATITUDE, 0.0, 0, 0.0, 'N' },
    };
    for (const Case& c : cases) {
        int degrees = -1;
        double minutes = -1.0;
        char hemisphere = '?';
        const double returned = CGeoAngle(c.axis, c.radians).ToDegMin(degrees, minutes, hemisphere);
        EXPECT_EQ(degrees, c.degrees);
        EXPECT_DOUBLE_EQ(minutes, c.minutes);
        EXPECT_EQ(returned, minutes);
        EXPECT_EQ(hemisphere, c.hemisphere);
    }
}

TEST(GeoPos, AddWrapsLongitudeOnly)
{
    struct Case {
        uint8_t axis;
        double start, delta; // degrees
        bool ok;
        double result; // degrees
    } cases[] = {
        { CGeoAngle::LONGITUDE, 175.0, 10.0, true, -175.0 },
        { CGeoAngle::LONGITUDE, -175.0, -10.0, true, 175.0 },
        { CGeoAngle::LONGITUDE, 10.0, 720.0, true, 10.0 },
        { CGeoAngle::LONGITUDE, 0.0, 180.0, true, 180.0 },
        { CGeoAngle::LONGITUDE, 0.0, -180.0, true, 180.0 },
        { CGeoAngle::LATITUDE, 85.0, 10.0, false, 85.0 },
        { CGeoAngle::LATITUDE, 85.0, -10.0, true, 75.0 },
    };
    for (const Case& c : cases) {
        CGeoAngle angle(c.axis, c.start * kDegToRad);
        EXPECT_EQ(angle.Add(c.delta, false), c.ok) << c.start << "+" << c.delta;
        EXPECT_NEAR(angle.GetRadians(), c.result * kDegToRad, 1e-12) << c.start << "+" << c.delta;
    }
    CGeoAngle huge(CGeoAngle::LONGITUDE, 0.0);
    EXPECT_FALSE(huge.Add(INFINITY, true));
    EXPECT_EQ(huge.GetRadians(), 0.0);
    huge.Add(1e300, true); // must not overflow an integer; either result is acceptable
    EXPECT_LE(std::fabs(huge.GetRadians()), kPi);
}

TEST(GeoPos, OffsetStoresThroughSetAndStopsAtTheFirstFailure)
{
    RecordingPos p;
    EXPECT_TRUE(p.Offset(0.0, 0.0, true));
    EXPECT_TRUE(p.IsValid()) << "an offset makes a fresh position valid at (0, 0)";
    ASSERT_EQ(p.sets.size(), 1u);
    EXPECT_EQ(p.sets[0], std::make_pair(0.0, 0.0));

    ASSERT_TRUE(p.SetChecked(80.0, 175.0, false));
    EXPECT_TRUE(p.Offset(0.0, 10.0, false));
    EXPECT_NEAR(p.GetLongitude().GetRadians(), -175.0 * kDegToRad, 1e-12);
    EXPECT_NEAR(p.GetLatitude().GetRadians(), 80.0 * kDegToRad, 1e-12);

    const size_t sets = p.sets.size();
    EXPECT_FALSE(p.Offset(20.0, 10.0, false));
    EXPECT_EQ(p.sets.size(), sets) << "nothing is stored when the latitude fails";
    EXPECT_NEAR(p.GetLongitude().GetRadians(), -175.0 * kDegToRad, 1e-12);

    EXPECT_TRUE(p.SetFromNmea(10, 0.0, 'N', 10, 0.0, 'E'));
    EXPECT_EQ(p.sets.size(), sets + 1) << "the NMEA setter also reaches the virtual Set";
}

TEST(GeoPos, DifferenceTakesTheShortWayRound)
{
    struct Case {
        double lon1, lon2, expected; // degrees
    } cases[] = {
        { 179.0, -179.0, -2.0 },
        { -179.0, 179.0, 2.0 },
        { 10.0, -20.0, 30.0 },
    };
    for (const Case& c : cases) {
        const GeoDelta d = Degrees(0.0, c.lon1).Difference(Degrees(0.0, c.lon2));
        EXPECT_NEAR(d.longitude, c.expected * kDegToRad, 1e-12) << c.lon1 << " " << c.lon2;
        EXPECT_EQ(d.latitude, 0.0);
    }
    // Exactly half a turn is kept as it is.
    CGeoPos east, west;
    east.Set(0.0, kPi);
    west.Set(0.0, 0.0);
    EXPECT_EQ(east.Difference(west).longitude, kPi);
    EXPECT_EQ(west.Difference(east).longitude, -kPi);

    const GeoDelta none = CGeoPos().Difference(Degrees(10.0, 10.0));
    EXPECT_EQ(none.longitude, 0.0);
    EXPECT_EQ(none.latitude, 0.0);
}

TEST(GeoPos, AssignmentCopiesValuesAndFlags)
{
    CGeoPos a = Degrees(10.0, 20.0);
    CGeoPos b;
    b = a;
    EXPECT_TRUE(b.IsEqual(a));
    CGeoPos& self = b;
    b = self;
    EXPECT_TRUE(b.IsEqual(a));
    CGeoPos invalid;
    b = invalid;
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(b.GetLongitude().GetAxis(), CGeoAngle::LONGITUDE);
}
