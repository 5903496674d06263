#include "gps/gps_port.h"

#include "platform/registry.h"
#include "tests/support/file_bytes.h"
#include "tests/support/nmea_text.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scoped_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testing_support::Nmea;
using testing_support::NmeaCycle;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

// The seconds of the fix's time of day: which RMC the port read last.
int SecondOfDay(const CGpsFix& fix)
{
    const GpsCalendarTime t = fix.GetUtcTime();
    return t.hour * 3600 + t.minute * 60 + t.second;
}

// A capture of a 10 Hz receiver: 20 seconds of RMC and GGA every 100 ms, GSA
// and GSV once a second.
QByteArray TenHertzCapture()
{
    std::string text;
    for (int i = 0; i < 200; ++i) {
        char time[16];
        std::snprintf(time, sizeof time, "1200%02d.%02d", i / 10, (i % 10) * 10);
        text += NmeaCycle("GP", time, i);
        if (i % 10 == 0) {
            text += Nmea("GPGSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1");
            text += Nmea("GPGSV,1,1,04,04,10,100,40,05,20,200,41,09,30,300,42,12,40,040,43");
        }
    }
    return QByteArray::fromStdString(text);
}

struct Read {
    CGpsFix fix;
    uint64_t accepted = 0;
    uint64_t refused = 0;
};

// The capture read in one go from the state the port starts in.
Read ReadWhole(const QByteArray& bytes, const CGpsFix& start)
{
    Read read;
    read.fix = start;
    CNmeaReader reader;
    reader.Feed(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), read.fix);
    read.accepted = reader.Accepted();
    read.refused = reader.Refused();
    return read;
}

TEST(GpsPort, APtyReceiverIsReadOverTicksWithNothingLost)
{
    testing_support::ScopedRegistryFile registry;
    QTemporaryDir dir;
    QFile shared(TRAVENOR_SHARED_DATA_DIR "/nmea/bu353s4.log");
    ASSERT_TRUE(shared.open(QIODevice::ReadOnly));
    const QByteArray oneHertz = shared.readAll();
    const QByteArray tenHertz = TenHertzCapture();

    struct Case {
        const char* name;
        const QByteArray& capture;
        int baud;
    };
    const Case cases[] = {
        { "1 Hz at 4800 baud", oneHertz, 4800 },
        { "1 Hz at 115200 baud", oneHertz, 115200 },
        { "10 Hz at 4800 baud", tenHertz, 4800 },
        { "10 Hz at 115200 baud", tenHertz, 115200 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::PtyPair pty;
        ASSERT_TRUE(pty.IsOpen());
        ASSERT_TRUE(pty.MapAs("COM4:"));

        CGpsFix fix;
        CGpsPort port(fix);
        ASSERT_EQ(port.GpsPortOpenByNumber(4, c.baud), GPS_S_OK);
        const Read expected = ReadWhole(c.capture, fix);
        const QString log = dir.filePath(QStringLiteral("log%1.nm").arg(c.baud));
        QFile::remove(log);
        ASSERT_EQ(port.GpsPortStartLog(log), GPS_S_OK);
        int32_t state = 0;
        port.GpsPortGetState(&state);
        EXPECT_EQ(state, GPS_PORT_SERIAL_LOG);

        // A quarter of a second of the line's bytes per tick: 8 data bits,
        // a start and a stop bit each.
        const qsizetype perTick = c.baud / 10 / 4;
        for (qsizetype at = 0; at < c.capture.size(); at += perTick) {
            ASSERT_TRUE(pty.Send(c.capture.mid(at, perTick)));
            pty.WaitForDeviceInput(1000);
            port.GpsPortPoll();
        }
        for (int tries = 0; QFileInfo(log).size() < c.capture.size() && tries < 50; ++tries) {
            pty.WaitForDeviceInput(1000);
            port.GpsPortPoll();
        }
        EXPECT_EQ(ReadFileBytes(log), c.capture);
        EXPECT_EQ(port.Reader().Accepted(), expected.accepted);
        EXPECT_EQ(port.Reader().Refused(), expected.refused);
        EXPECT_TRUE(fix == expected.fix);
        EXPECT_EQ(fix.m_status, 'A');
        port.GpsPortClose();
    }
}

TEST(GpsPort, APollSucceedsOnlyWhenAWholeSentenceCame)
{
    testing_support::PtyPair pty;
    CGpsFix fix;
    CGpsPort port(fix);
    ASSERT_EQ(port.GpsPortOpenByName(pty.DevicePath(), 4800, 0), GPS_S_OK);
    EXPECT_EQ(port.GpsPortPoll(), GPS_E_FAIL); // nothing yet
    const std::string rmc = Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    ASSERT_TRUE(pty.Send(QByteArray::fromStdString(rmc.substr(0, 30))));
    pty.WaitForDeviceInput(1000);
    EXPECT_EQ(port.GpsPortPoll(), GPS_E_FAIL); // half a sentence
    ASSERT_TRUE(pty.Send(QByteArray::fromStdString(rmc.substr(30))));
    pty.WaitForDeviceInput(1000);
    EXPECT_EQ(port.GpsPortPoll(), GPS_S_OK);
    EXPECT_EQ(fix.m_status, 'A');
    // A receiver unplugged: every read fails and the port stays open until closed.
    pty.Hangup();
    EXPECT_EQ(port.GpsPortPoll(), GPS_E_FAIL);
    int32_t state = 0;
    port.GpsPortGetState(&state);
    EXPECT_EQ(state, GPS_PORT_SERIAL);
}

class ReplayTest : public ::testing::Test {
protected:
    QString Write(const char* name, const std::string& text)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(WriteFileBytes(path, QByteArray::fromStdString(text)));
        return path;
    }

    // RMC and GGA cycles one second apart from 10:00:00.
    static std::string Cycles(int count, const char* talker = "GP")
    {
        std::string text;
        for (int i = 0; i < count; ++i) {
            char time[16];
            std::snprintf(time, sizeof time, "1000%02d", i);
            text += NmeaCycle(talker, time, i);
        }
        return text;
    }

    // Polls until the replay ends (at most `ticks`) and lists, for each tick
    // that read a block, the tick and the second the fix then says.
    std::vector<std::pair<int, int>> Run(CGpsPort& port, const CGpsFix& fix, int ticks)
    {
        std::vector<std::pair<int, int>> blocks;
        for (int tick = 1; tick <= ticks; ++tick) {
            if (port.GpsPortPoll() == GPS_S_OK)
                blocks.emplace_back(tick, SecondOfDay(fix) - 36000);
            int32_t state = 0;
            port.GpsPortGetState(&state);
            if (state == GPS_PORT_CLOSED)
                break;
        }
        return blocks;
    }

    QTemporaryDir m_dir;
};

TEST_F(ReplayTest, BlocksArePacedByTheRmcIntervalAndTheSpeedFactor)
{
    const QString file = Write("paced.nm", Cycles(6));
    struct Case {
        double factor;
        double stored; // the factor as the port keeps it
        int first;
        int every;
    };
    const Case cases[] = {
        { 4.0, 4.0, 2, 1 },
        { 8.0, 4.0, 2, 1 }, // beyond the user's choices
        { 2.0, 2.0, 3, 2 },
        { 1.0, 1.0, 5, 4 },
        { 0.25, 0.25, 17, 16 },
        { 0.0, 0.25, 17, 16 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.factor);
        CGpsFix fix;
        CGpsPort port(fix);
        port.GpsPortSetReplayOptions({ 0, 0, c.factor, 7 });
        EXPECT_EQ(port.GpsPortGetReplayOptions(), (GpsReplayOptions { 0, 0, c.stored, 7 }));
        ASSERT_EQ(port.GpsPortOpenReplay(file, 250), GPS_S_OK);
        const auto blocks = Run(port, fix, 200);
        ASSERT_EQ(blocks.size(), 6u);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(blocks[i].first, c.first + i * c.every);
            EXPECT_EQ(blocks[i].second, i);
        }
        EXPECT_EQ(port.GpsPortGetReplayOptions().speedFactor, c.stored);
    }
}

TEST_F(ReplayTest, EveryBlockIsFoundWhereverItsRmcFallsInTheFile)
{
    // The second RMC at each offset around a search chunk's end, after a
    // stretch without sentences; the file ends with a block of its own.
    const std::string first = NmeaCycle("GP", "100000", 0);
    // The search for the second block starts a byte into the file and reads 4096 bytes at a time.
    const int atChunkEnd = 1 + 4096 - static_cast<int>(first.size());
    for (int padding = atChunkEnd - 8; padding <= atChunkEnd + 2; ++padding) {
        SCOPED_TRACE(padding);
        const std::string text = first + std::string(static_cast<size_t>(padding), '#')
            + NmeaCycle("GN", "100001", 1) + NmeaCycle("GA", "100002", 2);
        const QString file = Write("straddle.nm", text);
        CGpsFix fix;
        CGpsPort port(fix);
        port.GpsPortSetReplayOptions({ 0, 0, 4.0, 0 });
        ASSERT_EQ(port.GpsPortOpenReplay(file, 250), GPS_S_OK);
        const auto blocks = Run(port, fix, 20);
        ASSERT_EQ(blocks.size(), 3u);
        EXPECT_EQ(blocks[0].second, 0);
        EXPECT_EQ(blocks[1].second, 1);
        EXPECT_EQ(blocks[2].second, 2);
    }
}

TEST_F(ReplayTest, ReverseLoopStartsAgainAtTheEndAndTheLogGoesOn)
{
    const QString file = Write("reverse.nm", "# a receiver log\r\n" + Cycles(3));
    const QString log = m_dir.filePath("reverse-log.nm");
    CGpsFix fix;
    CGpsPort port(fix);
    port.GpsPortSetReplayOptions({ 1, 1, 4.0, 0 });
    ASSERT_EQ(port.GpsPortOpenReplay(file, 250), GPS_S_OK);
    ASSERT_EQ(port.GpsPortStartLog(log), GPS_S_OK);
    std::vector<int> seconds;
    for (int tick = 0; tick < 15; ++tick) {
        const int before = SecondOfDay(fix);
        if (port.GpsPortPoll() == GPS_S_OK)
            seconds.push_back(SecondOfDay(fix) == before ? -1 : SecondOfDay(fix) - 36000);
    }
    // 2, 1, 0, then the comment before the first RMC (no new time), then again from the end.
    const std::vector<int> expected = { 2, 1, 0, -1, 2, 1, 0, -1, 2, 1 };
    EXPECT_EQ(seconds, expected);
    int32_t state = 0;
    port.GpsPortGetState(&state);
    EXPECT_EQ(state, GPS_PORT_REPLAY_LOG);
    port.GpsPortClose();
    // The log holds every block read, in the order read.
    const QByteArray replayed = ReadFileBytes(log);
    const QByteArray whole = ReadFileBytes(file);
    EXPECT_TRUE(replayed.startsWith(whole.mid(whole.lastIndexOf("$GPRMC"))));
    EXPECT_EQ(replayed.count("$GPRMC"), 8);
}

TEST_F(ReplayTest, AFileShorterThanOneReadIsReplayedWhole)
{
    const std::string text = Nmea("GPRMC,100000,A,5544.826,N,03739.048,E,0.0,0.0,230394,,")
        + Nmea("GPRMC,100001,V,,,,,,,230394,,");
    ASSERT_LT(text.size(), 200u);
    const QString file = Write("short.nm", text);
    CGpsFix fix;
    CGpsPort port(fix);
    port.GpsPortSetReplayOptions({ 0, 0, 4.0, 0 });
    ASSERT_EQ(port.GpsPortOpenReplay(file, 250), GPS_S_OK);
    const auto blocks = Run(port, fix, 10);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1].second, 1);
    EXPECT_EQ(fix.m_status, 'V');
    int32_t state = -1;
    port.GpsPortGetState(&state);
    EXPECT_EQ(state, GPS_PORT_CLOSED);
}

TEST_F(ReplayTest, FileRulesAndTheLogNeverInventASource)
{
    const QString upper = Write("UPPER.NM", Cycles(2));
    const QString text = Write("cycles.txt", Cycles(2));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.nm"));
    EXPECT_TRUE(IsReplayFile(upper));
    EXPECT_FALSE(IsReplayFile(text));
    EXPECT_FALSE(IsReplayFile(m_dir.filePath("folder.nm")));
    EXPECT_FALSE(IsReplayFile(m_dir.filePath("missing.nm")));
    EXPECT_TRUE(IsLogFileName("\\My Documents\\new.nm"));
    EXPECT_FALSE(IsLogFileName("\\My Documents\\new.NM"));

    CGpsFix fix;
    CGpsPort port(fix);
    int32_t state = -1;
    // No source: the log neither starts nor pretends one is open.
    EXPECT_EQ(port.GpsPortStartLog(m_dir.filePath("log.nm")), GPS_E_FAIL);
    EXPECT_EQ(port.GpsPortStopLog(), GPS_S_OK);
    port.GpsPortGetState(&state);
    EXPECT_EQ(state, GPS_PORT_CLOSED);
    EXPECT_EQ(port.GpsPortOpenReplay(text, 250), GPS_E_FAIL);
    EXPECT_EQ(port.GpsPortOpenReplay(upper, 0), GPS_E_FAIL);

    ASSERT_EQ(port.GpsPortOpenReplay(upper, 250), GPS_S_OK);
    ASSERT_EQ(port.GpsPortStartLog(m_dir.filePath("log.nm")), GPS_S_OK);
    // The file being written is not shared: a second start fails and the first log goes on.
    EXPECT_EQ(port.GpsPortStartLog(m_dir.filePath("log.nm")), GPS_E_FAIL);
    EXPECT_EQ(port.GpsPortStartLog(m_dir.filePath("log.NM")), GPS_E_FAIL);
    port.GpsPortGetState(&state);
    EXPECT_EQ(state, GPS_PORT_REPLAY_LOG);
    // Nor is the file replayed.
    CGpsFix other;
    CGpsPort second(other);
    EXPECT_EQ(second.GpsPortOpenReplay(upper, 250), GPS_E_FAIL);
    EXPECT_EQ(port.GpsPortStopLog(), GPS_S_OK);
    port.GpsPortGetState(&state);
    EXPECT_EQ(state, GPS_PORT_REPLAY);
}

} // namespace
