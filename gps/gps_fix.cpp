#include "gps/gps_fix.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <iterator>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Days from 30 December 1899, the variant date's day 0, to 1 January 1970.
constexpr int64_t kVariantDayOfUnixEpoch = 25569;

int64_t DaysSinceUnixEpoch(const GpsCalendarTime& t)
{
    using namespace std::chrono;
    // Whole months are normalised first, days past the month's end roll over.
    const year_month first = year { t.year } / month { 1 } + months { t.month - 1 };
    const sys_days start { first / day { 1 } };
    return start.time_since_epoch().count() + (t.day - 1);
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

int64_t GpsCalendarToUnixTime(const GpsCalendarTime& time)
{
    return DaysSinceUnixEpoch(time) * kSecondsPerDay + int64_t { time.hour } * 3600
        + int64_t { time.minute } * 60 + time.second;
}

GpsCalendarTime GpsUnixTimeToCalendar(int64_t seconds)
{
    using namespace std::chrono;
    int64_t days = seconds / kSecondsPerDay;
    int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const year_month_day date { sys_days { std::chrono::days { days } } };
    GpsCalendarTime t;
    t.year = static_cast<int>(date.year());
    t.month = static_cast<int>(static_cast<unsigned>(date.month()));
    t.day = static_cast<int>(static_cast<unsigned>(date.day()));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

GpsDateTime GpsDateTime::FromCalendar(const GpsCalendarTime& time)
{
    GpsDateTime result;
    // Exactly the dates that come back unchanged from a variant date: the
    // device's own test of whether a date exists.
    const bool exists = time.year >= 100 && time.year <= 9999 && time.month >= 1 && time.month <= 12
        && time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) && time.hour >= 0
        && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 && time.second >= 0 && time.second <= 59;
    if (!exists) {
        result.m_status = INVALID;
        return result;
    }
    const int64_t days = DaysSinceUnixEpoch(time) + kVariantDayOfUnixEpoch;
    const int64_t seconds = int64_t { time.hour } * 3600 + int64_t { time.minute } * 60 + time.second;
    result.m_date = static_cast<double>(days) + static_cast<double>(seconds) / kSecondsPerDay;
    return result;
}

bool GpsDateTime::ToCalendar(GpsCalendarTime* time) const
{
    // 1 January 100 to 31 December 9999, the range of the device's dates.
    if (!(m_date >= -657434.0 && m_date < 2958466.0))
        return false;
    const double whole = std::floor(m_date);
    int64_t days = static_cast<int64_t>(whole);
    int64_t seconds = static_cast<int64_t>((m_date - whole) * kSecondsPerDay + 0.5);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++days;
    }
    *time = GpsUnixTimeToCalendar((days - kVariantDayOfUnixEpoch) * kSecondsPerDay + seconds);
    return true;
}

void CGpsFix::SetUtcTime(const GpsCalendarTime& time)
{
    m_dateTime = GpsDateTime::FromCalendar(time);
    if (m_dateTime.IsValid())
        m_time = GpsCalendarToUnixTime(time);
}

GpsCalendarTime CGpsFix::GetUtcTime() const
{
    GpsCalendarTime time;
    if (m_dateTime.IsValid() && m_dateTime.ToCalendar(&time))
        return time;
    return GpsUnixTimeToCalendar(m_time);
}

bool operator==(const CGpsFix& a, const CGpsFix& b)
{
    const bool sameSatellites
        = std::equal(std::begin(a.m_satellites), std::end(a.m_satellites), std::begin(b.m_satellites));
    const bool samePrns
        = std::equal(std::begin(a.m_usedPrns), std::end(a.m_usedPrns), std::begin(b.m_usedPrns));
    return a.GetFlags() == b.GetFlags() && a.GetLatitude().GetRadians() == b.GetLatitude().GetRadians()
        && a.GetLongitude().GetRadians() == b.GetLongitude().GetRadians() && a.m_time == b.m_time
        && a.m_dateTime == b.m_dateTime && sameSatellites && a.m_satellitesUsed == b.m_satellitesUsed
        && a.m_satellitesInView == b.m_satellitesInView && a.m_fixMode == b.m_fixMode && samePrns
        && a.m_course == b.m_course && a.m_speedKnots == b.m_speedKnots && a.m_status == b.m_status
        && a.m_altitude == b.m_altitude && a.m_altitudeUnit == b.m_altitudeUnit
        && a.m_pgrmzAltitude == b.m_pgrmzAltitude && a.m_vdop == b.m_vdop && a.m_hdop == b.m_hdop
        && a.m_pdop == b.m_pdop && a.m_sentenceInterval == b.m_sentenceInterval;
}

CGpsFix* GetCurrentGpsFix() { return &g_gpsFix; }

void LockGpsFix() { g_gpsFixLock.Lock(); }

void UnlockGpsFix() { g_gpsFixLock.Unlock(); }

CGpsFix CopyCurrentGpsFix()
{
    platform::CSLock lock(g_gpsFixLock);
    return g_gpsFix;
}

void ResetGpsFix(CGpsFix& fix)
{
    fix.SetChecked(kDefaultFixLatitude, kDefaultFixLongitude, true);
    // No receiver has spoken yet: nothing here is a measurement.
    fix.m_status = 'V';
    fix.m_course = 90.0;
    fix.m_vdop = fix.m_hdop = fix.m_pdop = 1.0;
    fix.SetUtcTime(GpsUnixTimeToCalendar(static_cast<int64_t>(std::time(nullptr))));
    fix.m_satellitesUsed = 0;
    fix.m_satellitesInView = 0;
}
