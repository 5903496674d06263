#pragma once
// The geographic position value: longitude and latitude in radians with a valid
// flag, its checked setters, NMEA degree-and-minute conversions, and the flat
// local measures between two positions (distances, directions, turn angles).
#include <cstdint>

namespace geo {
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToDeg = 57.29577951308232;
// Deliberately this 12-digit decimal: NMEA minutes have always been converted with it.
inline constexpr double kMinutesToDegrees = 0.0166666666667;
inline constexpr double kMetresPerDegree = 111111.11111;
// Weight of the squared east-west component in the angular distance.
inline constexpr double kEastWestWeight = 0.993;
// Reference latitude meaning "the calling position's own latitude".
inline constexpr double kOwnLatitude = -1000.0;
// Direction meaning "none": the two points coincide.
inline constexpr double kNoDirection = 400.0;
} // namespace geo

// A longitude or latitude difference pair, radians.
struct GeoDelta {
    double longitude = 0.0;
    double latitude = 0.0;
    void Clear() { longitude = latitude = 0.0; }
};

// One coordinate. The axis is fixed at construction and selects the range rule:
// latitude [-pi/2, pi/2], longitude (-pi, pi].
class CGeoAngle {
public:
    enum Axis : uint8_t { LATITUDE = 0, LONGITUDE = 1 };

    CGeoAngle(uint8_t axis, double value)
        : m_value(value)
        , m_axis(axis)
    {
    }

    double GetRadians() const { return m_value; }
    uint8_t GetAxis() const { return m_axis; }

    // Converts degrees to radians in place unless isRadians, then checks the range
    // of this angle's axis. The caller sees the converted value either way.
    bool Validate(double& value, bool isRadians) const;
    // Adds a delta; a longitude that leaves its range wraps round, a latitude
    // fails. On failure the angle is unchanged.
    bool Add(double delta, bool isRadians);
    // Whole degrees, decimal minutes and hemisphere letter; returns the minutes.
    double ToDegMin(int& degrees, double& minutes, char& hemisphere) const;

private:
    friend class CGeoPos;
    double m_value;
    uint8_t m_axis;
};

// NMEA degrees and minutes with a hemisphere letter ('N'/'S' for a latitude,
// 'E'/'W' for a longitude, upper case only) into radians. No range check.
bool NmeaDegMinToRadians(int degrees, double minutes, char hemisphere, double& value, bool isLongitude);

class CGeoPos {
public:
    enum : uint8_t { FLAG_VALID = 0x01 };

    CGeoPos() = default;
    CGeoPos(const CGeoPos& other) = default;
    virtual ~CGeoPos() = default;
    // Copies both values and the flags; the axes are equal by construction.
    CGeoPos& operator=(const CGeoPos& other);

    // Stores both values unchecked and marks the position valid. Every checked
    // setter ends here, so a derived class sees every accepted change.
    virtual void Set(double latitude, double longitude);

    bool IsValid() const { return (m_flags & FLAG_VALID) != 0; }
    uint8_t GetFlags() const { return m_flags; }
    // Exact equality of two valid positions; invalid positions equal nothing.
    bool IsEqual(const CGeoPos& other) const;
    const CGeoAngle& GetLongitude() const { return m_longitude; }
    const CGeoAngle& GetLatitude() const { return m_latitude; }

    bool SetChecked(double latitude, double longitude, bool isRadians);
    bool SetFromNmea(int latDegrees, double latMinutes, char latHemisphere, int lonDegrees, double lonMinutes,
        char lonHemisphere);
    // Moves the position; a zero delta leaves that coordinate alone. Succeeds
    // on an invalid position too, which it then makes valid.
    bool Offset(double latitudeDelta, double longitudeDelta, bool isRadians);
    // This minus other, the short way round across the 180th meridian; zero
    // unless both positions are valid.
    GeoDelta Difference(const CGeoPos& other) const;

    // Angular distance with the east-west component weighted, radians. The
    // reference latitude is in degrees; geo::kOwnLatitude uses this position's.
    double AngularDistanceTo(const CGeoPos& other, double referenceLatitudeDegrees) const;
    double PlainAngularDistanceTo(const CGeoPos& other, double referenceLatitudeDegrees) const;
    double DistanceToMetres(const CGeoPos& other, double referenceLatitudeDegrees) const;
    // Distance on the raw coordinate difference (no cosine, no weight).
    double CoordinateDistanceTo(const CGeoPos& other) const;
    double LatitudeSeparation(const CGeoPos& other) const;
    // The east-west component of the angular distance.
    double ParallelDistanceTo(const CGeoPos& other, double referenceLatitudeDegrees) const;
    // Directions in degrees, 0 east, 90 north, range (-180, 180]; 400 when none.
    double DirectionTo(const CGeoPos& other) const;
    double CoordinateDirectionTo(const CGeoPos& other) const;
    // The turn from the direction to first to the direction to second, (-180, 180]; 400 when none.
    double TurnAngleTo(const CGeoPos& first, const CGeoPos& second) const;

private:
    CGeoAngle m_longitude { CGeoAngle::LONGITUDE, 0.0 };
    CGeoAngle m_latitude { CGeoAngle::LATITUDE, 0.0 };
    uint8_t m_flags = 0;
};

// The object the NMEA sentence parsers are called on; it holds nothing.
class CGeoStatic {
public:
    virtual ~CGeoStatic() = default;
};
