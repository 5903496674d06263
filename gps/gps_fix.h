#pragma once
// The record of the current GPS fix: position, time, speed, course, status,
// satellites and dilutions of precision. One live record exists, `g_gpsFix`,
// written by the GPS poll on the user-interface thread and read everywhere
// else; every reader and writer holds `g_gpsFixLock`, and a reader that needs
// several members copies the whole record under it.
//
// `m_status` is the one validity signal: 'A' is a fix, 'V' is none (also
// what a new record and a reset say). A reset makes the fix void ('V') and keeps a position only as a
// hint of where the user was; a receiver has to say 'A' before anyone routes
// from it.
#include "foundation/geo_pos.h"
#include "platform/sync.h"

#include <cstdint>

// Speed in km/h is the speed in knots times this (1 / 0.54).
inline constexpr double kKnotsToKmh = 1.8518518518518519;

// One satellite in view, as the GSV sentences describe it.
struct GpsSatellite {
    int32_t prn = 0;
    int32_t snr = 0; // signal-to-noise ratio, dB
    int32_t elevation = 0; // degrees
    int32_t azimuth = 0; // degrees
    bool operator==(const GpsSatellite&) const = default;
};

// A UTC calendar date and time, to the second.
struct GpsCalendarTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const GpsCalendarTime&) const = default;
};

// A date and time as the device's variant date: days since 30 December 1899,
// the fraction being the time of day, and a status.
struct GpsDateTime {
    enum Status : int32_t { VALID = 0, INVALID = 1 };
    double m_date = 0.0;
    int32_t m_status = VALID;

    // The variant date of a calendar time; the status is INVALID when the
    // date does not convert back to the same fields (31 February, hour 24, ...).
    static GpsDateTime FromCalendar(const GpsCalendarTime& time);
    // The calendar fields of the date; false for a date outside the years 100 to 9999.
    bool ToCalendar(GpsCalendarTime* time) const;
    bool IsValid() const { return m_status == VALID; }
    bool operator==(const GpsDateTime&) const = default;
};

// Seconds since 1 January 1970 of a UTC calendar time (days past a month's
// end roll over, as the C library's timegm does).
int64_t GpsCalendarToUnixTime(const GpsCalendarTime& time);
GpsCalendarTime GpsUnixTimeToCalendar(int64_t seconds);

class CGpsFix : public CGeoPos {
public:
    enum : int { SATELLITE_SLOTS = 12 };

    CGpsFix() = default;
    CGpsFix(const CGpsFix&) = default;
    // Copies every member; assigning a fix to itself changes nothing.
    CGpsFix& operator=(const CGpsFix&) = default;

    // Sets the time members from a UTC calendar time: `m_dateTime` always (its
    // status says whether the date exists), `m_time` only for a date that exists.
    void SetUtcTime(const GpsCalendarTime& time);
    // The calendar time the fix holds: `m_dateTime` when valid, else `m_time`.
    GpsCalendarTime GetUtcTime() const;

    int64_t m_time = 0; // seconds since 1 January 1970 of the last parsed time or date
    GpsDateTime m_dateTime; // UTC date and time of the fix
    GpsSatellite m_satellites[SATELLITE_SLOTS] {}; // slot = (GSV message - 1) * 4 + position
    int32_t m_satellitesUsed = 0;
    int32_t m_satellitesInView = 0;
    int32_t m_fixMode = 0; // 1 none, 2 two-dimensional, 3 three-dimensional
    int32_t m_usedPrns[SATELLITE_SLOTS] {}; // 0 for an empty field
    double m_course = 0.0; // degrees clockwise from north
    double m_speedKnots = 0.0;
    char m_status = 'V'; // 'A' valid, 'V' invalid (also before any receiver spoke)
    double m_altitude = 0.0; // in the unit of m_altitudeUnit
    char m_altitudeUnit = 0; // 'M', ' ' when empty
    double m_pgrmzAltitude = 0.0; // as transmitted
    double m_vdop = 0.0;
    double m_hdop = 0.0;
    double m_pdop = 0.0;
    int32_t m_sentenceInterval = 0; // seconds between RMC sentences, 1 to 15

    bool IsValidFix() const { return m_status == 'A'; }
};

// Member-for-member equality, the position's flags and angles included.
bool operator==(const CGpsFix& a, const CGpsFix& b);

// The live fix and its lock. Both exist for the whole run, so a reader never
// needs to ask whether the GPS source has been built yet.
inline platform::CriticalSection g_gpsFixLock;
inline CGpsFix g_gpsFix;

// The live record; the caller holds g_gpsFixLock while it reads or copies it.
CGpsFix* GetCurrentGpsFix();
void LockGpsFix();
void UnlockGpsFix();
// A copy of the live record, taken under the lock.
CGpsFix CopyCurrentGpsFix();

// The default position of a reset: 55.7475° N, 37.6510° E (radians).
inline constexpr double kDefaultFixLatitude = 0.9729776788331;
inline constexpr double kDefaultFixLongitude = 0.65713416702834;

// Resets a fix (the live one unless another is given) for a source that is
// being opened: the default position, status 'V', course 90, the three
// dilutions 1.0, the current time, no satellites. Speed, altitude, the
// satellite slots, the fix mode, the used PRNs and the sentence interval keep
// their values.
void ResetGpsFix(CGpsFix& fix = g_gpsFix);
