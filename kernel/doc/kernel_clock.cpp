#include "kernel/doc/kernel_clock.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>

int32_t ZXSg_bUseDST = 1;

namespace {

constexpr int64_t kDayMs = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// 0 = Sunday; 1970-01-01 was a Thursday.
int WeekDay(int64_t days)
{
    const int64_t w = (days + 4) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

// Days since 1970 of t's date, with months outside 0-11 carried into the year.
int64_t DaysOf(const ZXS_Tm& t)
{
    const int64_t month = t.mon;
    const int64_t year = 1900 + int64_t { t.year } + FloorDiv(month, 12);
    const int64_t mon = month - FloorDiv(month, 12) * 12;
    return DaysFromCivil(year, mon + 1, 1) + t.mday - 1;
}

ZXS_Tm BreakDown(int64_t seconds)
{
    const int64_t days = FloorDiv(seconds, 86400);
    const int64_t rest = seconds - days * 86400;
    int64_t y = 0;
    int m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    ZXS_Tm t;
    t.year = static_cast<int32_t>(y - 1900);
    t.mon = m - 1;
    t.mday = d;
    t.hour = static_cast<int32_t>(rest / 3600);
    t.min = static_cast<int32_t>(rest / 60 % 60);
    t.sec = static_cast<int32_t>(rest % 60);
    t.wday = WeekDay(days);
    t.yday = static_cast<int32_t>(days - DaysFromCivil(y, 1, 1));
    return t;
}

// Day of year of a yearly transition in `year`.
int64_t TransitionDay(const ZXS_TransitionDate& rule, int64_t year)
{
    const int64_t first = DaysFromCivil(year, rule.month, 1);
    const int64_t nextMonth
        = rule.month == 12 ? DaysFromCivil(year + 1, 1, 1) : DaysFromCivil(year, rule.month + 1, 1);
    int64_t day = first + ((rule.dayOfWeek - WeekDay(first)) % 7 + 7) % 7 + 7 * (int64_t { rule.week } - 1);
    while (day >= nextMonth)
        day -= 7;
    return day - DaysFromCivil(year, 1, 1);
}

int64_t TimeOfDayMs(const ZXS_TransitionDate& rule, int64_t extraSeconds)
{
    return (int64_t { rule.hour } * 3600 + rule.minute * 60 + rule.second + extraSeconds) * 1000
        + rule.milliseconds;
}

// --- zone and clock sources ---

std::mutex g_zoneLock;
std::optional<ZXS_TimeZone> g_injectedZone;
std::optional<ZXS_TimeZone> g_platformZone;
std::atomic<CZXS_KernelClock::LocalClock> g_localClock { nullptr };

// The POSIX rule in the footer of a compiled zone file: "\n<rule>\n" at its end.
std::optional<std::string> RuleOfZoneFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 2 || data.compare(0, 4, "TZif") != 0 || data.back() != '\n')
        return std::nullopt;
    const size_t start = data.rfind('\n', data.size() - 2);
    if (start == std::string::npos)
        return std::nullopt;
    return data.substr(start + 1, data.size() - start - 2);
}

std::optional<ZXS_TimeZone> PlatformZone()
{
    std::string source = "/etc/localtime";
    if (const char* tz = std::getenv("TZ"); tz != nullptr && *tz != '\0') {
        std::string value = tz[0] == ':' ? tz + 1 : tz;
        ZXS_TimeZone zone;
        if (value.find('/') == std::string::npos && CZXS_KernelClock::ParseZoneRule(value, zone))
            return zone;
        source = value.empty() || value[0] == '/' ? value : "/usr/share/zoneinfo/" + value;
    }
    ZXS_TimeZone zone;
    const std::optional<std::string> rule = RuleOfZoneFile(source);
    if (rule && CZXS_KernelClock::ParseZoneRule(*rule, zone))
        return zone;
    return std::nullopt;
}

ZXS_TimeZone CurrentZone()
{
    std::lock_guard<std::mutex> lock(g_zoneLock);
    if (g_injectedZone)
        return *g_injectedZone;
    if (!g_platformZone)
        g_platformZone = PlatformZone(); // tried again next time when it failed
    return g_platformZone.value_or(ZXS_TimeZone {});
}

ZXS_Tm PlatformLocalTime()
{
    const time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    ZXS_Tm t;
    t.sec = local.tm_sec;
    t.min = local.tm_min;
    t.hour = local.tm_hour;
    t.mday = local.tm_mday;
    t.mon = local.tm_mon;
    t.year = local.tm_year;
    return t;
}

void ZoneBiases(const ZXS_TimeZone& zone, int32_t& standardOffset, int32_t& daylightDelta)
{
    standardOffset = zone.bias * 60;
    if (zone.standardDate.month != 0)
        standardOffset += zone.standardBias * 60;
    daylightDelta = zone.daylightDate.month != 0 && zone.daylightBias != 0
        ? (zone.daylightBias - zone.standardBias) * 60
        : 0;
}

int ZoneIsDaylight(const ZXS_TimeZone& zone, const ZXS_Tm& t)
{
    if (ZXSg_bUseDST == 0 || zone.daylightDate.month == 0 || zone.standardDate.month == 0
        || zone.daylightDate.year != 0 || zone.standardDate.year != 0)
        return 0;
    int32_t standardOffset = 0, delta = 0;
    ZoneBiases(zone, standardOffset, delta);
    const int64_t year = 1900 + int64_t { t.year };
    const int64_t yearStart = DaysFromCivil(year, 1, 1);
    // Compared as milliseconds of the year, so a transition time that runs past
    // midnight carries into the neighbouring day.
    const int64_t start = TransitionDay(zone.daylightDate, year) * kDayMs + TimeOfDayMs(zone.daylightDate, 0);
    const int64_t end
        = TransitionDay(zone.standardDate, year) * kDayMs + TimeOfDayMs(zone.standardDate, delta);
    const int64_t at
        = (DaysOf(t) - yearStart) * kDayMs + (int64_t { t.hour } * 3600 + t.min * 60 + t.sec) * 1000;
    if (start < end)
        return at >= start && at < end ? 1 : 0;
    return at >= start || at < end ? 1 : 0;
}

// --- POSIX rule reading ---

bool ReadName(const std::string& s, size_t& i)
{
    const size_t from = i;
    if (i < s.size() && s[i] == '<') {
        const size_t close = s.find('>', i);
        if (close == std::string::npos)
            return false;
        i = close + 1;
        return true;
    }
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
        ++i;
    return i - from >= 3;
}

bool ReadNumber(const std::string& s, size_t& i, int& value)
{
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i])))
        return false;
    value = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && value < 100000)
        value = value * 10 + (s[i++] - '0');
    return true;
}

// [+-]hh[:mm[:ss]] in seconds.
bool ReadOffset(const std::string& s, size_t& i, int& seconds)
{
    int sign = 1;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        sign = s[i++] == '-' ? -1 : 1;
    int h = 0, m = 0, sec = 0;
    if (!ReadNumber(s, i, h))
        return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!ReadNumber(s, i, m))
            return false;
        if (i < s.size() && s[i] == ':') {
            ++i;
            if (!ReadNumber(s, i, sec))
                return false;
        }
    }
    seconds = sign * (h * 3600 + m * 60 + sec);
    return true;
}

// ",Mm.w.d[/time]"; a rule of another form leaves `date` without a month.
bool ReadTransition(const std::string& s, size_t& i, ZXS_TransitionDate& date)
{
    if (i >= s.size() || s[i] != ',')
        return false;
    ++i;
    date = ZXS_TransitionDate {};
    int time = 7200;
    if (i < s.size() && s[i] == 'M') {
        ++i;
        int m = 0, w = 0, d = 0;
        if (!ReadNumber(s, i, m) || i >= s.size() || s[i++] != '.' || !ReadNumber(s, i, w) || i >= s.size()
            || s[i++] != '.' || !ReadNumber(s, i, d) || m < 1 || m > 12 || w < 1 || w > 5 || d > 6)
            return false;
        date.month = m;
        date.week = w;
        date.dayOfWeek = d;
    } else {
        while (i < s.size() && s[i] != ',' && s[i] != '/')
            ++i;
    }
    if (i < s.size() && s[i] == '/') {
        ++i;
        if (!ReadOffset(s, i, time))
            return false;
    }
    if (date.month != 0) {
        date.hour = time / 3600;
        date.minute = time / 60 % 60;
        date.second = time % 60;
    }
    return true;
}

} // namespace

bool CZXS_KernelClock::ParseZoneRule(const std::string& rule, ZXS_TimeZone& zone)
{
    size_t i = 0;
    int standard = 0;
    if (!ReadName(rule, i) || !ReadOffset(rule, i, standard))
        return false;
    ZXS_TimeZone parsed;
    parsed.bias = standard / 60;
    if (i < rule.size()) {
        if (!ReadName(rule, i))
            return false;
        int daylight = standard - 3600;
        if (i < rule.size() && rule[i] != ',' && !ReadOffset(rule, i, daylight))
            return false;
        ZXS_TransitionDate start, end;
        if (ReadTransition(rule, i, start) && ReadTransition(rule, i, end) && start.month != 0
            && end.month != 0) {
            parsed.daylightDate = start;
            parsed.standardDate = end;
            parsed.daylightBias = (daylight - standard) / 60;
        }
    }
    zone = parsed;
    return true;
}

void CZXS_KernelClock::SetTimeZone(const ZXS_TimeZone* zone)
{
    std::lock_guard<std::mutex> lock(g_zoneLock);
    if (zone != nullptr)
        g_injectedZone = *zone;
    else
        g_injectedZone.reset();
    g_platformZone.reset(); // read again on next use
}

void CZXS_KernelClock::SetLocalClock(LocalClock clock) { g_localClock.store(clock); }

void CZXS_KernelClock::Biases(int32_t& standardOffset, int32_t& daylightDelta)
{
    ZoneBiases(CurrentZone(), standardOffset, daylightDelta);
}

int CZXS_KernelClock::IsDaylight(const ZXS_Tm& t) { return ZoneIsDaylight(CurrentZone(), t); }

int CZXS_KernelClock::DayOfYear(const ZXS_Tm& t)
{
    return static_cast<int>(DaysOf(t) - DaysFromCivil(1900 + int64_t { t.year } + FloorDiv(t.mon, 12), 1, 1));
}

int64_t CZXS_KernelClock::LocalToSeconds(ZXS_Tm& t)
{
    const ZXS_TimeZone zone = CurrentZone();
    const int64_t days = DaysOf(t);
    t.yday = DayOfYear(t);
    t.wday = WeekDay(days);
    int32_t standardOffset = 0, delta = 0;
    ZoneBiases(zone, standardOffset, delta);
    int64_t seconds = days * 86400 + int64_t { t.hour } * 3600 + t.min * 60 + t.sec + standardOffset;
    if (ZoneIsDaylight(zone, t))
        seconds += delta;
    return seconds;
}

ZXS_Tm CZXS_KernelClock::SecondsToLocal(int64_t seconds)
{
    const ZXS_TimeZone zone = CurrentZone();
    int32_t standardOffset = 0, delta = 0;
    ZoneBiases(zone, standardOffset, delta);
    const int64_t standard = seconds - standardOffset;
    ZXS_Tm t = BreakDown(standard);
    if (ZoneIsDaylight(zone, t))
        t = BreakDown(standard - delta);
    return t;
}

int64_t CZXS_KernelClock::Now(int64_t* out)
{
    const LocalClock clock = g_localClock.load();
    ZXS_Tm local = clock != nullptr ? clock() : PlatformLocalTime();
    const int64_t seconds = LocalToSeconds(local);
    if (out != nullptr)
        *out = seconds;
    return seconds;
}
