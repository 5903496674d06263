#include "gps/nmea_reader.h"

#include "tests/support/nmea_text.h"

#include <clocale>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testing_support::Nmea;

// A fix with every member set to something no sentence below writes.
CGpsFix Marked()
{
    CGpsFix fix;
    fix.SetChecked(0.25, 0.5, true);
    fix.SetUtcTime({ 2001, 9, 9, 1, 46, 40 });
    fix.m_status = 'A';
    fix.m_speedKnots = 7.0;
    fix.m_course = 7.0;
    fix.m_satellitesUsed = 7;
    fix.m_satellitesInView = 7;
    fix.m_hdop = 7.0;
    fix.m_altitude = 7.0;
    fix.m_satellites[0] = { 7, 7, 7, 7 };
    return fix;
}

struct Case {
    const char* name;
    std::string input;
    std::function<void(CGpsFix&)> expect; // what the input changes in Marked()
    int accepted;
    int refused;
};

void RunCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNmeaReader reader;
        CGpsFix fix = Marked();
        reader.Feed(c.input, fix);
        CGpsFix expected = Marked();
        c.expect(expected);
        EXPECT_TRUE(fix == expected);
        EXPECT_EQ(fix.m_status, expected.m_status);
        EXPECT_DOUBLE_EQ(fix.GetLatitude().GetRadians(), expected.GetLatitude().GetRadians());
        EXPECT_DOUBLE_EQ(fix.m_speedKnots, expected.m_speedKnots);
        EXPECT_EQ(fix.GetUtcTime(), expected.GetUtcTime());
        EXPECT_EQ(reader.Accepted(), static_cast<uint64_t>(c.accepted));
        EXPECT_EQ(reader.Refused(), static_cast<uint64_t>(c.refused));
        EXPECT_EQ(reader.PendingBytes(), 0u);
    }
}

const std::string kStandardRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

void StandardRmcFields(CGpsFix& f)
{
    f.SetFromNmea(48, 7.038, 'N', 11, 31.0, 'E');
    f.SetUtcTime({ 1994, 3, 23, 12, 35, 19 });
    f.m_status = 'A';
    f.m_speedKnots = 22.4;
    f.m_course = 84.4;
}

std::vector<Case> SentenceCases()
{
    const std::string gll = Nmea("GPGLL,3854.5087,N,09123.4567,W,225444,A");
    return {
        { "the standard's RMC, parsed at once", kStandardRmc, StandardRmcFields, 1, 0 },
        { "void RMC: time and status, nothing after the empty position",
            Nmea("GPRMC,123520,V,,,,,,,230394,,"),
            [](CGpsFix& f) {
                GpsCalendarTime t = f.GetUtcTime();
                t.hour = 12, t.minute = 35, t.second = 20;
                f.SetUtcTime(t);
                f.m_status = 'V';
            },
            1, 0 },
        { "an empty status is no fix",
            Nmea("GPRMC,123519,,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
            [](CGpsFix& f) {
                StandardRmcFields(f);
                f.m_status = 'V';
            },
            1, 0 },
        { "other satellite systems' talkers",
            Nmea("GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")
                + Nmea("GLGSV,1,1,03,65,10,100,20,66,20,200,30,67,30,300,40")
                + Nmea("GPGSV,1,1,02,01,10,100,20,02,20,200,30"),
            [](CGpsFix& f) {
                StandardRmcFields(f);
                f.m_satellitesInView = 5;
                f.m_satellites[0] = { 1, 20, 10, 100 };
                f.m_satellites[1] = { 2, 30, 20, 200 };
                f.m_satellites[2] = { 67, 40, 30, 300 };
            },
            3, 0 },
        { "an unknown talker is not read", Nmea("XXRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,"),
            [](CGpsFix&) {}, 1, 0 },
        { "a checksum may be missing",
            "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,\r\n",
            [](CGpsFix& f) {
                GpsCalendarTime t = f.GetUtcTime();
                t.hour = 9, t.minute = 27, t.second = 50;
                f.SetUtcTime(t);
                f.SetFromNmea(53, 21.6802, 'N', 6, 30.3372, 'W');
                f.m_satellitesUsed = 8;
                f.m_hdop = 1.03;
                f.m_altitude = 61.7;
                f.m_altitudeUnit = 'M';
            },
            1, 0 },
        { "a bad checksum drops the sentence",
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B\r\n", [](CGpsFix&) {}, 0,
            1 },
        { "a checksum with one digit, or text after it",
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6\r\n"
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6AX\r\n",
            [](CGpsFix&) {}, 0, 2 },
        { "GGA with an empty count uses no satellites",
            Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,,0.9,545.4,M,,M,,"),
            [](CGpsFix& f) {
                GpsCalendarTime t = f.GetUtcTime();
                t.hour = 12, t.minute = 35, t.second = 19;
                f.SetUtcTime(t);
                f.SetFromNmea(48, 7.038, 'N', 11, 31.0, 'E');
                f.m_satellitesUsed = 0;
                f.m_hdop = 0.9;
                f.m_altitude = 545.4;
                f.m_altitudeUnit = 'M';
                f.m_status = 'A'; // no RMC from this receiver: the fix quality says
            },
            1, 0 },
        { "GSV message 4 counts but fills no slot", Nmea("GPGSV,4,4,13,20,10,100,25"),
            [](CGpsFix& f) { f.m_satellitesInView = 13; }, 1, 0 },
        { "five decimals of minutes are all read",
            Nmea("GPGLL,4807.0381,N,01131.00000,E,123519,A")
                + Nmea("GPGLL,4807.03812,S,01131.00001,W,123519,A"),
            [](CGpsFix& f) {
                GpsCalendarTime t = f.GetUtcTime();
                t.hour = 12, t.minute = 35, t.second = 19;
                f.SetUtcTime(t);
                f.SetFromNmea(48, 7.03812, 'S', 11, 31.00001, 'W');
            },
            2, 0 },
        { "LF-only: a GSV ends at its LF and takes nothing from the GLL after it",
            Nmea("GPGSV,3,3,10,24,06,166,35,28,09,271,36", "\n") + gll.substr(0, gll.size() - 2) + "\n",
            [](CGpsFix& f) {
                f.m_satellitesInView = 10;
                f.m_satellites[8] = { 24, 35, 6, 166 };
                f.m_satellites[9] = { 28, 36, 9, 271 };
                f.SetFromNmea(38, 54.5087, 'N', 91, 23.4567, 'W');
                GpsCalendarTime t = f.GetUtcTime();
                t.hour = 22, t.minute = 54, t.second = 44;
                f.SetUtcTime(t);
            },
            2, 0 },
        { "a sentence cut short mid-field gives way to the next",
            "$GPRMC,123519,A,48" + Nmea("GPGGA,010203,,,,,0,,,,,,,,"),
            [](CGpsFix& f) {
                GpsCalendarTime t = f.GetUtcTime();
                t.hour = 1, t.minute = 2, t.second = 3;
                f.SetUtcTime(t);
                f.m_status = 'V'; // fix quality 0
            },
            1, 1 },
        { "a sentence without its last fields fails there",
            Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4"),
            [](CGpsFix& f) {
                StandardRmcFields(f);
                f.m_course = 7.0;
                f.SetUtcTime({ 2001, 9, 9, 12, 35, 19 });
            },
            1, 0 },
        { "200 characters with no terminator",
            "$GPRMC,123519" + std::string(200, '7') + "\r\n" + kStandardRmc, StandardRmcFields, 1, 1 },
        { "83 characters are one too many",
            Nmea("GPGGA,145243.000,3401.9764,N,11744.8274,W,2,10,0.87,234.7,M,-33.2,M,0000,000000"),
            [](CGpsFix&) {}, 0, 1 },
        { "82 characters are read",
            Nmea("GPGGA,202640.000,4404.1306,N,12118.8515,W,2,10,0.98,1127.7,M,-19.6,M,0000,0000"),
            [](CGpsFix& f) {
                GpsCalendarTime t = f.GetUtcTime();
                t.hour = 20, t.minute = 26, t.second = 40;
                f.SetUtcTime(t);
                f.SetFromNmea(44, 4.1306, 'N', 121, 18.8515, 'W');
                f.m_status = 'A';
                f.m_satellitesUsed = 10;
                f.m_hdop = 0.98;
                f.m_altitude = 1127.7;
                f.m_altitudeUnit = 'M';
            },
            1, 0 },
        { "nan, inf, hex, a plus, an exponent and a negative speed are refused",
            Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,nan,084.4,230394,,")
                + Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,inf,084.4,230394,,")
                + Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,0x1A,084.4,230394,,")
                + Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,+1.0,084.4,230394,,")
                + Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,1e2,084.4,230394,,")
                + Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,-1.0,084.4,230394,,"),
            [](CGpsFix& f) {
                StandardRmcFields(f);
                f.m_speedKnots = 7.0;
                f.m_course = 7.0;
                f.SetUtcTime({ 2001, 9, 9, 12, 35, 19 });
            },
            6, 0 },
        { "out-of-range fields: month 13, course 361, 70 minutes, hour 24",
            Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,231394,,")
                + Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,099.0,361.0,230394,,")
                + Nmea("GPGLL,4870.000,N,01131.000,E,123519,A")
                + Nmea("GPGGA,240000,,,,,1,05,1.0,1.0,M,,M,,"),
            [](CGpsFix& f) {
                StandardRmcFields(f);
                f.m_speedKnots = 99.0;
                f.SetUtcTime({ 2001, 9, 9, 12, 35, 19 });
            },
            4, 0 },
        { "binary bytes inside a sentence", std::string("$GPRMC,12\x01\xff") + "3519,A\r\n" + kStandardRmc,
            StandardRmcFields, 1, 1 },
        { "text with no $ is dropped whole", "# a comment\r\nno sentences here, 4807.038,N\n",
            [](CGpsFix&) {}, 0, 0 },
        { "Garmin's altitude", Nmea("PGRMZ,1494,f,3"), [](CGpsFix& f) { f.m_pgrmzAltitude = 1494.0; }, 1, 0 },
        { "GSA: mode, used PRNs and dilutions", Nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"),
            [](CGpsFix& f) {
                f.m_fixMode = 3;
                const int32_t prns[12] = { 4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0 };
                std::copy(std::begin(prns), std::end(prns), f.m_usedPrns);
                f.m_pdop = 2.5;
                f.m_hdop = 1.3;
                f.m_vdop = 2.1;
            },
            1, 0 },
    };
}

TEST(NmeaReader, SentencesFillTheFix) { RunCases(SentenceCases()); }

TEST(NmeaReader, NumbersDoNotDependOnTheLocale)
{
    const char* russian = std::setlocale(LC_ALL, "ru_RU.UTF-8");
    if (!russian)
        russian = std::setlocale(LC_ALL, "ru_RU");
    if (!russian)
        std::printf(
            "no Russian locale on this machine: the locale-free parse runs under the C locale only\n");
    RunCases(SentenceCases());
    std::setlocale(LC_ALL, "C");
}

TEST(NmeaReader, ReceiversWithoutRmcAreReadFromGgaAndVtg)
{
    CNmeaReader reader;
    CGpsFix fix;
    reader.Feed(Nmea("GPGGA,101010,4807.038,N,01131.000,E,1,05,1.0,1.0,M,,M,,")
            + Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"),
        fix);
    EXPECT_EQ(fix.m_status, 'A');
    EXPECT_EQ(fix.m_course, 54.7);
    EXPECT_EQ(fix.m_speedKnots, 5.5);
    reader.Feed(Nmea("GPGGA,101011,,,,,0,00,,,M,,M,,") + Nmea("GPVTG,,T,,M,,N,,K,N"), fix);
    EXPECT_EQ(fix.m_status, 'V');
    EXPECT_EQ(fix.m_speedKnots, 5.5);

    // Once the receiver sends RMC, RMC alone says.
    reader.Feed(Nmea("GPRMC,101012,V,,,,,,,230394,,")
            + Nmea("GPGGA,101012,4807.038,N,01131.000,E,1,05,1.0,1.0,M,,M,,")
            + Nmea("GPVTG,099.0,T,034.4,M,009.0,N,010.2,K,A"),
        fix);
    EXPECT_EQ(fix.m_status, 'V');
    EXPECT_EQ(fix.m_course, 54.7);
}

TEST(NmeaReader, TheIntervalFollowsTwoEqualStepsOfTheRmcSeconds)
{
    CNmeaReader reader;
    CGpsFix fix;
    fix.m_sentenceInterval = 1;
    const auto rmc = [](const char* time) {
        return Nmea(std::string("GPRMC,") + time + ",A,4807.038,N,01131.000,E,0.0,0.0,230394,,");
    };
    reader.Feed(rmc("100001") + rmc("100003"), fix);
    EXPECT_EQ(fix.m_sentenceInterval, 1);
    reader.Feed(rmc("100005"), fix);
    EXPECT_EQ(fix.m_sentenceInterval, 2);
    // Across a minute the step is not seen.
    reader.Feed(rmc("100059") + rmc("100104") + rmc("100109"), fix);
    EXPECT_EQ(fix.m_sentenceInterval, 2);
    reader.Feed(rmc("100114"), fix);
    EXPECT_EQ(fix.m_sentenceInterval, 5);

    // An impossible date leaves the date-time invalid, its seconds count as -1,
    // and a later time starts from the last instant that existed.
    reader.Feed(Nmea("GPRMC,100110,A,4807.038,N,01131.000,E,0.0,0.0,310294,,"), fix);
    EXPECT_FALSE(fix.m_dateTime.IsValid());
    EXPECT_EQ(fix.GetUtcTime(), (GpsCalendarTime { 1994, 3, 23, 10, 1, 10 }));
    reader.Feed(Nmea("GPGGA,100111,4807.038,N,01131.000,E,1,05,1.0,1.0,M,,M,,"), fix);
    EXPECT_TRUE(fix.m_dateTime.IsValid());
    EXPECT_EQ(fix.GetUtcTime(), (GpsCalendarTime { 1994, 3, 23, 10, 1, 11 }));
}

TEST(NmeaReader, ASentenceSplitAtAnyOffsetReadsAsWhole)
{
    const std::string text = "# receiver log\r\n" + kStandardRmc
        + Nmea("GPGSV,3,1,12,17,72,207,32,28,59,095,31,06,35,347,25,01,29,132,23", "\n")
        + "$GPGGA,030724.000,3747.0878,S,17518.89"
        + Nmea("GPGGA,030725.000,3747.0878,S,17518.8935,E,1,08,1.1,60.0,M,,M,,") + "$GPRMC,123519"
        + std::string(90, '5') + "\n"
        + Nmea("GNRMC,030725.000,A,3747.0878,S,17518.8935,E,0.66,181.39,311214,,,A");

    CNmeaReader wholeReader;
    CGpsFix whole;
    wholeReader.Feed(text, whole);
    EXPECT_EQ(wholeReader.Accepted(), 4u);
    EXPECT_EQ(wholeReader.Refused(), 2u);
    EXPECT_EQ(whole.m_status, 'A');
    EXPECT_EQ(whole.m_satellites[0].prn, 17);

    for (size_t split = 0; split <= text.size(); ++split) {
        SCOPED_TRACE(split);
        CNmeaReader reader;
        CGpsFix fix;
        reader.Feed(std::string_view(text).substr(0, split), fix);
        reader.Feed(std::string_view(text).substr(split), fix);
        EXPECT_TRUE(fix == whole);
        EXPECT_EQ(reader.Accepted(), wholeReader.Accepted());
        EXPECT_EQ(reader.Refused(), wholeReader.Refused());
    }

    CNmeaReader byteReader;
    CGpsFix byBytes;
    for (char c : text)
        byteReader.Feed(std::string_view(&c, 1), byBytes);
    EXPECT_TRUE(byBytes == whole);
    EXPECT_EQ(byteReader.Refused(), wholeReader.Refused());
}

TEST(NmeaReader, AnUnfinishedSentenceWaitsAndAResetForgetsIt)
{
    CNmeaReader reader;
    CGpsFix fix;
    const std::string rmc = kStandardRmc.substr(0, kStandardRmc.size() - 2);
    reader.Feed(rmc, fix);
    EXPECT_EQ(reader.PendingBytes(), rmc.size());
    EXPECT_NE(fix.m_status, 'A');
    reader.Reset();
    reader.Feed("\r\n", fix);
    EXPECT_EQ(reader.Accepted(), 0u);
    EXPECT_NE(fix.m_status, 'A');
    reader.Feed(rmc + "\n", fix);
    EXPECT_EQ(fix.m_status, 'A');
}

} // namespace
