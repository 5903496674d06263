#pragma once

#include <cstdint>
#include <string>

// Daylight saving switch of the kernel's time functions (initially 1); 0 makes
// every daylight-saving test answer 0.
extern "C" int32_t ZXSg_bUseDST;

// Broken-down time: month 0-11, year - 1900, day of week 0 = Sunday, day of year
// 0-365. The daylight flag is left 0 by the conversions here.
struct ZXS_Tm {
    int32_t sec = 0;
    int32_t min = 0;
    int32_t hour = 0;
    int32_t mday = 1;
    int32_t mon = 0;
    int32_t year = 70;
    int32_t wday = 0;
    int32_t yday = 0;
    int32_t isdst = 0;
};

// A yearly transition: month 1-12 (0 = none), week 1-5 (5 = last), day of week
// (0 = Sunday) and the local time of day; a non-zero year makes it an absolute date.
struct ZXS_TransitionDate {
    int32_t year = 0;
    int32_t month = 0;
    int32_t dayOfWeek = 0;
    int32_t week = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t milliseconds = 0;
};

// Time-zone rules: biases in minutes, UTC = local + bias. The standard date is
// where daylight saving ends, the daylight date where it starts.
struct ZXS_TimeZone {
    int32_t bias = 0;
    ZXS_TransitionDate standardDate;
    int32_t standardBias = 0;
    ZXS_TransitionDate daylightDate;
    int32_t daylightBias = 0;
};

// The kernel's clock: whole seconds since 1970-01-01 00:00 UTC, converted to and
// from local time with the zone's yearly daylight-saving rules. Seconds are
// 64-bit so the clock runs on past 2038.
class CZXS_KernelClock {
public:
    using LocalClock = ZXS_Tm (*)();

    // The current time; also stored through `out` when given.
    static int64_t Now(int64_t* out = nullptr);
    // Sets the day of year (and day of week) of `t` from its date.
    static int64_t LocalToSeconds(ZXS_Tm& t);
    static ZXS_Tm SecondsToLocal(int64_t seconds);
    // Seconds to add to local standard time for UTC, and the daylight delta.
    static void Biases(int32_t& standardOffset, int32_t& daylightDelta);
    static int IsDaylight(const ZXS_Tm& t);
    static int DayOfYear(const ZXS_Tm& t);
    static int64_t FileTimeSeconds(int64_t first, int64_t second) { return (second - first) / 10000000; }

    // The zone used from now on; null returns to the platform's zone, read afresh.
    static void SetTimeZone(const ZXS_TimeZone* zone);
    // The source of the local date and time; null returns to the platform's clock.
    static void SetLocalClock(LocalClock clock);
    // Reads a POSIX zone rule ("CET-1CEST,M3.5.0,M10.5.0/3"); false when it
    // cannot be read. Rules by day number are taken as having no daylight saving.
    static bool ParseZoneRule(const std::string& rule, ZXS_TimeZone& zone);
};
