#include "gps/gps_fix.h"

#include <gtest/gtest.h>

namespace {

CGpsFix BusyFix()
{
    CGpsFix fix;
    fix.SetChecked(0.5, -1.25, true);
    fix.SetUtcTime({ 2024, 2, 29, 23, 59, 58 });
    for (int i = 0; i < CGpsFix::SATELLITE_SLOTS; ++i) {
        fix.m_satellites[i] = { i + 1, 30 + i, 10 * i, 20 * i };
        fix.m_usedPrns[i] = 40 + i;
    }
    fix.m_satellitesUsed = 7;
    fix.m_satellitesInView = 11;
    fix.m_fixMode = 3;
    fix.m_course = 271.5;
    fix.m_speedKnots = 33.25;
    fix.m_status = 'A';
    fix.m_altitude = 151.5;
    fix.m_altitudeUnit = 'M';
    fix.m_pgrmzAltitude = 497.0;
    fix.m_vdop = 1.5;
    fix.m_hdop = 0.9;
    fix.m_pdop = 1.7;
    fix.m_sentenceInterval = 2;
    return fix;
}

TEST(GpsFix, CopyAssignedBackIsIdenticalMemberForMember)
{
    CGpsFix fix = BusyFix();
    const CGpsFix copy = fix;
    fix.m_satellites[5].snr = 0;
    fix.m_dateTime.m_status = GpsDateTime::INVALID;
    fix.SetChecked(0.1, 0.1, true);
    fix = copy;
    EXPECT_TRUE(fix == copy);
    EXPECT_TRUE(fix == BusyFix());
    fix = fix;
    EXPECT_TRUE(fix == copy);
}

TEST(GpsFix, ANewRecordIsNoFix)
{
    const CGpsFix fix;
    EXPECT_FALSE(fix.IsValid());
    EXPECT_FALSE(fix.IsValidFix());
    EXPECT_EQ(fix.m_status, 'V');
    EXPECT_TRUE(fix.m_dateTime.IsValid());
    EXPECT_EQ(fix.m_dateTime.m_date, 0.0);
}

TEST(GpsFix, ResetIsVoidAtTheDefaultPositionAndKeepsWhatNoReceiverSaidAgain)
{
    CGpsFix fix = BusyFix();
    ResetGpsFix(fix);
    EXPECT_EQ(fix.m_status, 'V');
    EXPECT_FALSE(fix.IsValidFix());
    EXPECT_TRUE(fix.IsValid());
    EXPECT_EQ(fix.GetLatitude().GetRadians(), kDefaultFixLatitude);
    EXPECT_EQ(fix.GetLongitude().GetRadians(), kDefaultFixLongitude);
    EXPECT_EQ(fix.m_course, 90.0);
    EXPECT_EQ(fix.m_hdop, 1.0);
    EXPECT_EQ(fix.m_vdop, 1.0);
    EXPECT_EQ(fix.m_pdop, 1.0);
    EXPECT_EQ(fix.m_satellitesUsed, 0);
    EXPECT_EQ(fix.m_satellitesInView, 0);
    EXPECT_TRUE(fix.m_dateTime.IsValid());
    EXPECT_EQ(GpsCalendarToUnixTime(fix.GetUtcTime()), fix.m_time);

    const CGpsFix before = BusyFix();
    EXPECT_EQ(fix.m_speedKnots, before.m_speedKnots);
    EXPECT_EQ(fix.m_altitude, before.m_altitude);
    EXPECT_EQ(fix.m_fixMode, before.m_fixMode);
    EXPECT_EQ(fix.m_sentenceInterval, before.m_sentenceInterval);
    for (int i = 0; i < CGpsFix::SATELLITE_SLOTS; ++i) {
        EXPECT_EQ(fix.m_satellites[i], before.m_satellites[i]);
        EXPECT_EQ(fix.m_usedPrns[i], before.m_usedPrns[i]);
    }
}

TEST(GpsFix, DatesThatDoNotExistAreInvalidAndKeepTheLastInstant)
{
    struct Case {
        GpsCalendarTime time;
        bool valid;
        double variantDate;
        int64_t unixTime;
    };
    const Case cases[] = {
        { { 1994, 3, 23, 12, 35, 19 }, true, 34416.0 + 45319.0 / 86400.0, 764426119 },
        { { 1970, 1, 1, 0, 0, 0 }, true, 25569.0, 0 },
        // Past 2038: the instant is 64 bits wide.
        { { 2069, 12, 31, 23, 59, 59 }, true, 62093.0 + 86399.0 / 86400.0, 3155759999 },
        { { 2024, 2, 29, 6, 0, 0 }, true, 45351.25, 1709186400 },
        { { 2023, 2, 29, 6, 0, 0 }, false, 0, 0 },
        { { 1994, 2, 31, 6, 0, 0 }, false, 0, 0 },
        { { 1994, 4, 31, 6, 0, 0 }, false, 0, 0 },
        { { 1994, 13, 1, 6, 0, 0 }, false, 0, 0 },
        { { 1994, 3, 1, 24, 0, 0 }, false, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time.year << "-" << c.time.month << "-" << c.time.day);
        CGpsFix fix;
        fix.m_time = 42;
        fix.SetUtcTime(c.time);
        EXPECT_EQ(fix.m_dateTime.IsValid(), c.valid);
        if (c.valid) {
            EXPECT_DOUBLE_EQ(fix.m_dateTime.m_date, c.variantDate);
            EXPECT_EQ(fix.m_time, c.unixTime);
            EXPECT_EQ(fix.GetUtcTime(), c.time);
        } else {
            EXPECT_EQ(fix.m_time, 42);
            EXPECT_EQ(fix.GetUtcTime(), GpsUnixTimeToCalendar(42));
        }
    }
}

TEST(GpsFix, TheLiveRecordIsReadUnderItsLock)
{
    EXPECT_EQ(GetCurrentGpsFix(), &g_gpsFix);
    LockGpsFix();
    EXPECT_TRUE(g_gpsFixLock.IsOwnedByCurrentThread());
    const CGpsFix saved = g_gpsFix;
    g_gpsFix = BusyFix();
    UnlockGpsFix();
    EXPECT_TRUE(CopyCurrentGpsFix() == BusyFix());
    platform::CSLock lock(g_gpsFixLock);
    g_gpsFix = saved;
}

} // namespace
