#include "platform/local_time.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace platform {

namespace {

std::mutex g_fixedMutex;
std::optional<LocalTime> g_fixed;

constexpr uint64_t kTicksPerSecond = 10'000'000;
constexpr uint64_t kTicksPerDay = kTicksPerSecond * 86'400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDays1601To1970 = 134'774;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

} // namespace

LocalTime GetLocalTime()
{
    {
        std::lock_guard lock(g_fixedMutex);
        if (g_fixed)
            return *g_fixed;
    }
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm tm {};
    localtime_r(&seconds, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.dayOfWeek = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.milliseconds = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

uint64_t LocalTimeToFileTime(const LocalTime& t)
{
    const int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day))
        + kDays1601To1970;
    if (days < 0)
        return 0;
    const uint64_t seconds = static_cast<uint64_t>(t.hour) * 3600 + static_cast<uint64_t>(t.minute) * 60
        + static_cast<uint64_t>(t.second);
    return static_cast<uint64_t>(days) * kTicksPerDay + seconds * kTicksPerSecond
        + static_cast<uint64_t>(t.milliseconds) * 10'000;
}

std::optional<LocalTime> FileTimeToLocalTime(uint64_t fileTime)
{
    if (fileTime >= 0x8000000000000000ull)
        return std::nullopt;
    const int64_t days = static_cast<int64_t>(fileTime / kTicksPerDay);
    uint64_t rest = fileTime % kTicksPerDay;
    LocalTime t;
    CivilFromDays(days - kDays1601To1970, t.year, t.month, t.day);
    t.dayOfWeek = static_cast<int>((days + 1) % 7); // 1601-01-01 was a Monday
    t.hour = static_cast<int>(rest / (kTicksPerSecond * 3600));
    rest %= kTicksPerSecond * 3600;
    t.minute = static_cast<int>(rest / (kTicksPerSecond * 60));
    rest %= kTicksPerSecond * 60;
    t.second = static_cast<int>(rest / kTicksPerSecond);
    t.milliseconds = static_cast<int>(rest % kTicksPerSecond / 10'000);
    return t;
}

ScopedLocalTime::ScopedLocalTime(const LocalTime& time) { Set(time); }

ScopedLocalTime::~ScopedLocalTime()
{
    std::lock_guard lock(g_fixedMutex);
    g_fixed.reset();
}

void ScopedLocalTime::Set(const LocalTime& time)
{
    std::lock_guard lock(g_fixedMutex);
    g_fixed = time;
}

} // namespace platform
