#include "gps/nmea_share.h"

#include "gps/gps_port.h"
#include "tests/support/file_bytes.h"
#include "tests/support/nmea_text.h"

#include <QTemporaryDir>
#include <bit>
#include <gtest/gtest.h>

namespace {

TEST(NmeaShare, TheDormantLinkIsNeverEntered)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("drive.nm");
    ASSERT_TRUE(testing_support::WriteFileBytes(file,
        QByteArray::fromStdString(
            testing_support::NmeaCycle("GP", "100000", 0) + testing_support::NmeaCycle("GP", "100001", 1))));
    NmeaShareSetEnabled(false);
    const uint64_t before = NmeaShareHookEntries();
    CGpsFix fix;
    CGpsPort port(fix);
    port.GpsPortSetReplayOptions({ 0, 0, 4.0, 0 });
    ASSERT_EQ(port.GpsPortOpenReplay(file, 250), GPS_S_OK);
    int read = 0;
    for (int tick = 0; tick < 8; ++tick)
        read += port.GpsPortPoll() == GPS_S_OK ? 1 : 0;
    EXPECT_EQ(read, 2);
    port.GpsPortClose();
    EXPECT_EQ(NmeaShareHookEntries(), before);
}

TEST(NmeaShare, TheRecordLaysTheFixOutByTheTable)
{
    CGpsFix fix;
    fix.SetChecked(0.5, -1.25, true);
    fix.m_speedKnots = 54.0;
    fix.m_course = 120.0;
    fix.m_altitude = 151.5;
    fix.m_satellitesUsed = 7;
    fix.m_satellitesInView = 300; // low 8 bits
    fix.m_time = 1; // one second after 1970
    fix.m_vdop = 1.5;
    fix.m_hdop = 0.75;
    fix.m_pdop = 2.0;
    const auto record = BuildNmeaShareRecord(fix);
    const auto u64 = [&](size_t at) {
        uint64_t v = 0;
        for (size_t i = 0; i < 8; ++i)
            v |= uint64_t { record[at + i] } << (8 * i);
        return v;
    };
    const auto f64 = [&](size_t at) { return std::bit_cast<double>(u64(at)); };
    EXPECT_EQ(u64(0) & 0xFFFFFFFFu, 88u);
    EXPECT_EQ(u64(0) >> 32, 0u);
    EXPECT_EQ(f64(8), -1.25);
    EXPECT_EQ(f64(16), 0.5);
    EXPECT_EQ(f64(24), 54.0 * kKnotsToKmh);
    EXPECT_EQ(f64(32), 330.0); // counter-clockwise from east
    EXPECT_EQ(f64(40), 151.5);
    EXPECT_EQ(record[48], 7);
    EXPECT_EQ(record[49], 300 & 0xFF);
    EXPECT_EQ(u64(52), 116444736010000000u); // 1970-01-01 00:00:01 as a FILETIME
    EXPECT_EQ(f64(64), 1.5);
    EXPECT_EQ(f64(72), 0.75);
    EXPECT_EQ(f64(80), 2.0);
    // A course of at most 90 degrees.
    fix.m_course = 30.0;
    const auto second = BuildNmeaShareRecord(fix);
    uint64_t direction = 0;
    for (size_t i = 0; i < 8; ++i)
        direction |= uint64_t { second[32 + i] } << (8 * i);
    EXPECT_EQ(std::bit_cast<double>(direction), 60.0);
}

} // namespace
