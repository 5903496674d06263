#include "foundation/geo_pos.h"

#include <cmath>
#include <limits>

using namespace geo;

bool CGeoAngle::Validate(double& value, bool isRadians) const
{
    if (!isRadians)
        value *= kDegToRad;
    if (m_axis == LONGITUDE)
        return value > -kPi && value <= kPi;
    return value >= -kHalfPi && value <= kHalfPi;
}

bool CGeoAngle::Add(double delta, bool isRadians)
{
    if (!isRadians)
        delta *= kDegToRad;
    double v = delta + m_value;
    bool ok = Validate(v, true);
    if (!ok && m_axis == LONGITUDE) {
        // Whole turns off in double arithmetic, so a huge value cannot overflow an integer.
        v -= 2.0 * std::trunc(v / kTwoPi) * kPi;
        if (v > kPi || v <= -kPi)
            v = v > 0.0 ? v - kTwoPi : v + kTwoPi;
        ok = Validate(v, true);
    }
    if (ok)
        m_value = v;
    return ok;
}

double CGeoAngle::ToDegMin(int& degrees, double& minutes, char& hemisphere) const
{
    double d = m_value * 180.0 / kPi;
    if (d >= 0.0) {
        hemisphere = m_axis == LONGITUDE ? 'E' : 'N';
    } else {
        d = -d;
        hemisphere = m_axis == LONGITUDE ? 'W' : 'S';
    }
    // Only an unchecked Set can bring a value here that does not fit an int.
    degrees = d < static_cast<double>(std::numeric_limits<int>::max()) ? static_cast<int>(d) : 0;
    minutes = (d - degrees) * 60.0;
    return minutes;
}

bool NmeaDegMinToRadians(int degrees, double minutes, char hemisphere, double& value, bool isLongitude)
{
    if (degrees < 0 || minutes < 0.0)
        return false;
    const char positive = isLongitude ? 'E' : 'N';
    const char negative = isLongitude ? 'W' : 'S';
    if (hemisphere != positive && hemisphere != negative)
        return false;
    double v = (degrees + minutes * kMinutesToDegrees) * kPi / 180.0;
    value = hemisphere == negative ? -v : v;
    return true;
}

CGeoPos& CGeoPos::operator=(const CGeoPos& other)
{
    if (this != &other) {
        m_longitude.m_value = other.m_longitude.m_value;
        m_latitude.m_value = other.m_latitude.m_value;
        m_flags = other.m_flags;
    }
    return *this;
}

void CGeoPos::Set(double latitude, double longitude)
{
    m_latitude.m_value = latitude;
    m_longitude.m_value = longitude;
    m_flags |= FLAG_VALID;
}

bool CGeoPos::IsEqual(const CGeoPos& other) const
{
    return IsValid() && other.IsValid() && m_longitude.m_value == other.m_longitude.m_value
        && m_latitude.m_value == other.m_latitude.m_value;
}

bool CGeoPos::SetChecked(double latitude, double longitude, bool isRadians)
{
    if (!m_longitude.Validate(longitude, isRadians) || !m_latitude.Validate(latitude, isRadians))
        return false;
    Set(latitude, longitude);
    return true;
}

bool CGeoPos::SetFromNmea(int latDegrees, double latMinutes, char latHemisphere, int lonDegrees,
    double lonMinutes, char lonHemisphere)
{
    double longitude = 0.0;
    double latitude = 0.0;
    if (!NmeaDegMinToRadians(lonDegrees, lonMinutes, lonHemisphere, longitude, true)
        || !NmeaDegMinToRadians(latDegrees, latMinutes, latHemisphere, latitude, false))
        return false;
    return SetChecked(latitude, longitude, true);
}

bool CGeoPos::Offset(double latitudeDelta, double longitudeDelta, bool isRadians)
{
    CGeoAngle latitude(CGeoAngle::LATITUDE, m_latitude.m_value);
    CGeoAngle longitude(CGeoAngle::LONGITUDE, m_longitude.m_value);
    bool ok = true;
    if (latitudeDelta != 0.0)
        ok = latitude.Add(latitudeDelta, isRadians);
    if (ok && longitudeDelta != 0.0)
        ok = longitude.Add(longitudeDelta, isRadians);
    if (ok)
        Set(latitude.m_value, longitude.m_value);
    return ok;
}

GeoDelta CGeoPos::Difference(const CGeoPos& other) const
{
    GeoDelta delta;
    if (!IsValid() || !other.IsValid())
        return delta;
    delta.latitude = m_latitude.m_value - other.m_latitude.m_value;
    delta.longitude = m_longitude.m_value - other.m_longitude.m_value;
    if (delta.longitude > kPi)
        delta.longitude -= kTwoPi;
    else if (delta.longitude < -kPi)
        delta.longitude += kTwoPi;
    return delta;
}
