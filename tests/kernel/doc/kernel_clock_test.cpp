#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "kernel/doc/kernel_clock.h"

namespace {

// Installs a zone for one test and restores the platform's afterwards.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* rule)
    {
        ZXS_TimeZone zone;
        EXPECT_TRUE(CZXS_KernelClock::ParseZoneRule(rule, zone)) << rule;
        CZXS_KernelClock::SetTimeZone(&zone);
    }
    ~ZoneGuard()
    {
        CZXS_KernelClock::SetTimeZone(nullptr);
        CZXS_KernelClock::SetLocalClock(nullptr);
        ZXSg_bUseDST = 1;
    }
};

ZXS_Tm Local(int year, int month, int day, int hour, int minute = 0, int second = 0)
{
    ZXS_Tm t;
    t.year = year - 1900;
    t.mon = month - 1;
    t.mday = day;
    t.hour = hour;
    t.min = minute;
    t.sec = second;
    return t;
}

// 2026-03-29 and 2026-10-25 are the last Sundays of March and October.
constexpr int64_t kMarch29 = 1774742400; // 2026-03-29 00:00 UTC
constexpr int64_t kOctober25 = 1792886400; // 2026-10-25 00:00 UTC

ZXS_Tm MoscowLocalNoon() { return Local(2026, 7, 1, 12, 0, 0); }

} // namespace

TEST(KernelClock, NowWithoutDaylightSavingIsLocalMinusTheOffset)
{
    ZoneGuard zone("MSK-3");
    CZXS_KernelClock::SetLocalClock(&MoscowLocalNoon);
    int64_t stored = 0;
    const int64_t now = CZXS_KernelClock::Now(&stored);
    EXPECT_EQ(now, 1782907200 - 10800); // 2026-07-01 12:00 UTC, less three hours
    EXPECT_EQ(stored, now);
    int32_t offset = 0, delta = 1;
    CZXS_KernelClock::Biases(offset, delta);
    EXPECT_EQ(offset, -10800);
    EXPECT_EQ(delta, 0);
    const ZXS_Tm back = CZXS_KernelClock::SecondsToLocal(now);
    EXPECT_EQ(back.hour, 12);
    EXPECT_EQ(back.wday, 3); // a Wednesday
    EXPECT_EQ(back.yday, 181);
}

TEST(KernelClock, TransitionsOfANorthernZone)
{
    ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    struct Case {
        ZXS_Tm standardLocal;
        int daylight;
    };
    // Instants given in local standard time, the form the conversions test.
    const Case cases[] = {
        { Local(2026, 1, 15, 12), 0 },
        { Local(2026, 3, 29, 1, 59, 59), 0 },
        { Local(2026, 3, 29, 2, 0, 0), 1 },
        { Local(2026, 7, 1, 0), 1 },
        { Local(2026, 10, 25, 1, 59, 59), 1 },
        { Local(2026, 10, 25, 2, 0, 0), 0 },
        { Local(2026, 12, 31, 23), 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CZXS_KernelClock::IsDaylight(c.standardLocal), c.daylight)
            << c.standardLocal.mon + 1 << "/" << c.standardLocal.mday << " " << c.standardLocal.hour;

    // Wall clocks jump from 02:00 to 03:00 and fall back from 03:00 to 02:00.
    ZXS_Tm t = CZXS_KernelClock::SecondsToLocal(kMarch29 + 3599);
    EXPECT_EQ(t.hour * 3600 + t.min * 60 + t.sec, 3600 + 3599);
    t = CZXS_KernelClock::SecondsToLocal(kMarch29 + 3600);
    EXPECT_EQ(t.hour, 3);
    t = CZXS_KernelClock::SecondsToLocal(kOctober25 + 3599);
    EXPECT_EQ(t.hour * 3600 + t.min * 60 + t.sec, 2 * 3600 + 3599);
    t = CZXS_KernelClock::SecondsToLocal(kOctober25 + 3600);
    EXPECT_EQ(t.hour, 2);
    EXPECT_EQ(t.min, 0);

    // Every hour of the year survives the round trip except the repeated hour,
    // which local time cannot tell apart.
    const int64_t yearStart = 1767225600; // 2026-01-01 00:00 UTC
    for (int64_t s = yearStart; s < yearStart + 365 * 86400; s += 3600) {
        ZXS_Tm local = CZXS_KernelClock::SecondsToLocal(s);
        const int64_t back = CZXS_KernelClock::LocalToSeconds(local);
        if (back != s) {
            EXPECT_EQ(local.mon, 9);
            EXPECT_EQ(local.mday, 25);
            EXPECT_EQ(local.hour, 2);
        }
    }

    ZXSg_bUseDST = 0;
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 7, 1, 0)), 0);
    ZXS_Tm summer = Local(2026, 7, 1, 12);
    EXPECT_EQ(CZXS_KernelClock::LocalToSeconds(summer), 1782907200 - 3600);
    EXPECT_EQ(CZXS_KernelClock::SecondsToLocal(1782907200).hour, 13);
}

TEST(KernelClock, SouthernZoneSpansTheTurnOfTheYear)
{
    ZoneGuard zone("AEST-10AEDT,M10.1.0,M4.1.0/3");
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 1, 1, 0)), 1);
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 7, 1, 0)), 0);
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 12, 25, 0)), 1);
    // 2026-04-05 is the first Sunday of April: 03:00 daylight is 02:00 standard.
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 4, 5, 1, 59, 59)), 1);
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 4, 5, 2)), 0);
    int32_t offset = 0, delta = 0;
    CZXS_KernelClock::Biases(offset, delta);
    EXPECT_EQ(offset, -36000);
    EXPECT_EQ(delta, -3600);
}

TEST(KernelClock, TransitionTimesPastMidnightCarryIntoTheNextDay)
{
    // Daylight saving ends at 24:30 daylight time on the last Sunday of October,
    // that is 23:30 standard time on that Sunday; the period then starts again
    // at 25:00 on the last Saturday of March, which is 01:00 on Sunday.
    ZoneGuard zone("XST-1XDT,M3.5.6/25,M10.5.0/24:30");
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 10, 25, 23, 29, 59)), 1);
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 10, 25, 23, 30)), 0);
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 3, 29, 0, 59, 59)), 0);
    EXPECT_EQ(CZXS_KernelClock::IsDaylight(Local(2026, 3, 29, 1)), 1);
}

TEST(KernelClock, ZoneRulesAndThePlatformZone)
{
    ZXS_TimeZone zone;
    EXPECT_FALSE(CZXS_KernelClock::ParseZoneRule("", zone));
    EXPECT_FALSE(CZXS_KernelClock::ParseZoneRule("C", zone));
    ASSERT_TRUE(CZXS_KernelClock::ParseZoneRule("<+0330>-3:30", zone));
    EXPECT_EQ(zone.bias, -210);
    EXPECT_EQ(zone.daylightDate.month, 0);
    ASSERT_TRUE(CZXS_KernelClock::ParseZoneRule("EST5EDT,M3.2.0,M11.1.0", zone));
    EXPECT_EQ(zone.bias, 300);
    EXPECT_EQ(zone.daylightBias, -60);
    EXPECT_EQ(zone.daylightDate.month, 3);
    EXPECT_EQ(zone.daylightDate.week, 2);
    EXPECT_EQ(zone.daylightDate.hour, 2);
    EXPECT_EQ(zone.standardDate.month, 11);

    // The platform's zone comes from TZ: a rule, or a compiled zone file's footer.
    const char* old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";
    ZoneGuard restore("UTC0");
    CZXS_KernelClock::SetTimeZone(nullptr);
    if (std::filesystem::exists("/usr/share/zoneinfo/Europe/Berlin")) {
        setenv("TZ", "Europe/Berlin", 1);
        int32_t offset = 0, delta = 0;
        CZXS_KernelClock::Biases(offset, delta);
        EXPECT_EQ(offset, -3600);
        EXPECT_EQ(delta, -3600);
    }
    if (old != nullptr)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
}
