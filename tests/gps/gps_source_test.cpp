#include "gps/gps_source.h"

#include "app/device_config.h"
#include "foundation/plane_geometry.h"
#include "gps/gps_source_names.h"
#include "platform/registry.h"
#include "tests/support/file_bytes.h"
#include "tests/support/nmea_text.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scoped_registry.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A port layer that a test scripts: its state, what each read does to the
// fix and whether it succeeds; it records what the source asked of it.
class FakePort : public CGpsPort {
public:
    explicit FakePort(CGpsFix& fix)
        : CGpsPort(fix)
        , m_fix(fix)
    {
    }

    int32_t state = GPS_PORT_CLOSED;
    int32_t pollResult = GPS_S_OK;
    std::function<void(CGpsFix&)> onPoll;
    int polls = 0;
    std::vector<std::string> calls;

    int32_t GpsPortOpenByNumber(int32_t number, int32_t baud) override
    {
        calls.push_back("number " + std::to_string(number) + " " + std::to_string(baud));
        Opened(GPS_PORT_SERIAL);
        return GPS_S_OK;
    }
    int32_t GpsPortOpenByName(const QString& name, int32_t baud, int32_t keepLine) override
    {
        calls.push_back(
            "name " + name.toStdString() + " " + std::to_string(baud) + " " + std::to_string(keepLine));
        Opened(GPS_PORT_SERIAL);
        return GPS_S_OK;
    }
    int32_t GpsPortOpenReplay(const QString& path, int32_t pacing) override
    {
        calls.push_back("replay " + path.toStdString() + " " + std::to_string(pacing));
        Opened(GPS_PORT_REPLAY);
        return GPS_S_OK;
    }
    int32_t GpsPortClose() override
    {
        calls.push_back("close");
        state = GPS_PORT_CLOSED;
        return GPS_S_OK;
    }
    int32_t GpsPortPoll() override
    {
        ++polls;
        if (onPoll)
            onPoll(m_fix);
        return pollResult;
    }
    int32_t GpsPortGetState(int32_t* out) const override
    {
        *out = state;
        return GPS_S_OK;
    }

private:
    void Opened(int32_t newState)
    {
        ResetGpsFix(m_fix);
        state = newState;
    }
    CGpsFix& m_fix;
};

// A map for the filter: the fix is inside it or not; map units are
// millionths of a radian.
class FakeMap : public CGpsSource::MapLink {
public:
    bool open = true;
    int IsFixInsideMap(const CGeoPos& position) override { return open && position.IsValid() ? 1 : 0; }
    bool GeoToMap(double longitude, double latitude, int32_t* x, int32_t* y) override
    {
        if (!open)
            return false;
        *x = static_cast<int32_t>(longitude * 1e6);
        *y = static_cast<int32_t>(latitude * 1e6);
        return true;
    }
};

struct Rig {
    CGpsFix fix;
    FakePort* port = nullptr;
    FakeMap* map = nullptr;
    std::unique_ptr<CGpsSource> source;

    Rig()
    {
        auto fakePort = std::make_unique<FakePort>(fix);
        auto fakeMap = std::make_unique<FakeMap>();
        port = fakePort.get();
        map = fakeMap.get();
        source = std::make_unique<CGpsSource>(std::move(fakePort), std::move(fakeMap));
        source->ResetFix();
        port->calls.clear();
    }
};

TEST(GpsSource, PollReadsAVoidPortOnEveryEighthTick)
{
    Rig rig;
    rig.port->state = GPS_PORT_SERIAL;
    ASSERT_EQ(rig.fix.m_status, 'V');
    std::vector<int> readOn;
    for (int tick = 1; tick <= 16; ++tick) {
        const int before = rig.port->polls;
        rig.source->Poll();
        if (rig.port->polls != before)
            readOn.push_back(tick);
    }
    EXPECT_EQ(readOn, (std::vector<int> { 8, 16 }));

    // Failed reads on those ticks never add up: the ticks between count as successes.
    rig.fix.m_satellitesUsed = 5;
    rig.port->pollResult = GPS_E_FAIL;
    for (int tick = 0; tick < 80; ++tick)
        rig.source->Poll();
    EXPECT_EQ(rig.fix.m_satellitesUsed, 5);
}

TEST(GpsSource, TheTenthFailedPollClearsTheSatellitesAndASilentReceiverLeavesNoFix)
{
    struct Case {
        int32_t state;
        char statusAfter;
    };
    // A live receiver that stops is no fix; a replay between its blocks is.
    const Case cases[] = { { GPS_PORT_SERIAL, 'V' }, { GPS_PORT_SERIAL_LOG, 'V' }, { GPS_PORT_REPLAY, 'A' } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        Rig rig;
        rig.port->state = c.state;
        rig.fix.m_status = 'A';
        rig.fix.m_satellitesUsed = 7;
        rig.fix.m_satellitesInView = 11;
        rig.port->pollResult = GPS_E_FAIL;
        for (int poll = 1; poll <= 9; ++poll)
            rig.source->Poll();
        EXPECT_EQ(rig.fix.m_satellitesUsed, 7);
        EXPECT_EQ(rig.fix.m_status, 'A');
        rig.source->Poll();
        EXPECT_EQ(rig.fix.m_satellitesUsed, 0);
        EXPECT_EQ(rig.fix.m_satellitesInView, 0);
        EXPECT_EQ(rig.fix.m_status, c.statusAfter);
    }
}

TEST(GpsSource, NothingOpenMeansAPollChangesNothing)
{
    Rig rig;
    rig.fix.m_status = 'A';
    rig.fix.m_speedKnots = 54.0;
    const double average = rig.source->GetAverageSpeed();
    const CGpsFix before = rig.fix;
    for (int tick = 0; tick < 12; ++tick)
        rig.source->Poll();
    EXPECT_EQ(rig.port->polls, 0);
    EXPECT_TRUE(rig.fix == before);
    EXPECT_EQ(rig.source->GetAverageSpeed(), average);
    EXPECT_EQ(rig.source->IsMapPositionValid(), 0);
}

TEST(GpsSource, SuccessfulPollsAverageTheSpeedAndPlaceTheFixOnTheMap)
{
    Rig rig;
    EXPECT_EQ(rig.source->GetAverageSpeed(), 20.0);
    rig.port->state = GPS_PORT_SERIAL;
    rig.port->onPoll = [](CGpsFix& fix) {
        fix.m_status = 'A';
        fix.m_speedKnots = 54.0; // 100 km/h
        fix.m_hdop = 1.0;
        fix.SetChecked(0.97, 0.66, true);
    };
    rig.fix.m_status = 'A';
    rig.source->Poll();
    rig.source->Poll();
    EXPECT_NEAR(rig.source->GetAverageSpeed(), 54.0 * kKnotsToKmh, 1e-9);
    EXPECT_EQ(rig.source->IsMapPositionValid(), 1);
    int32_t x = 0, y = 0;
    rig.source->GetMapPosition(&x, &y);
    EXPECT_EQ(x, 660000);
    EXPECT_EQ(y, 970000);
    EXPECT_FALSE(rig.source->IsFixOutsideMap());
    // Guidance asks the geometry for the GPS position: it is the source's.
    MapPoint guided;
    ASSERT_TRUE(GetGpsMapPosition(true, guided));
    EXPECT_EQ(guided.x, 660000);
    EXPECT_EQ(guided.y, 970000);
    rig.source->ResetAverageSpeed();
    EXPECT_EQ(rig.source->GetAverageSpeed(), 20.0);

    // A fix outside the map keeps where it was measured and is marked.
    rig.map->open = false;
    rig.port->onPoll = [](CGpsFix& fix) { fix.SetChecked(0.5, 0.5, true); };
    rig.source->Poll();
    EXPECT_TRUE(rig.source->IsFixOutsideMap());
    EXPECT_EQ(rig.fix.GetLatitude().GetRadians(), 0.5);
    EXPECT_EQ(rig.source->IsMapPositionValid(), 0);
}

TEST(GpsSource, TheFilterHoldsStandingStillAndPoorFixes)
{
    // Metres to radians of latitude for the test's moves.
    const double metre = 1.0 / 111111.11111 * 3.141592653589793 / 180.0;
    const double lat = 0.97, lon = 0.66;
    struct Case {
        const char* name;
        double north; // metres moved
        double kmh;
        double hdop;
        char status;
        bool mapOpen;
        int accepted;
        double latitudeAfter; // metres north of the start
        double courseAfter;
    };
    const Case cases[] = {
        { "standing still: the point stays", 50, 0.5, 1.0, 'A', true, 0, 0, 10.0 },
        { "creeping: the point moves, the course holds", 50, 1.5, 1.0, 'A', true, 0, 50, 10.0 },
        { "a move at walking pace", 50, 2.5, 1.0, 'A', true, 1, 50, 200.0 },
        { "a jump with HDOP 25.0 is taken", 500, 0.5, 25.0, 'A', true, 1, 500, 200.0 },
        { "a jump with HDOP 30 is held", 500, 0.5, 30.0, 'A', true, 0, 0, 10.0 },
        { "a fast fix with HDOP 30 moves but keeps the course", 500, 50.0, 30.0, 'A', true, 0, 500, 10.0 },
        { "no map: never taken", 500, 50.0, 1.0, 'A', false, 0, 500, 10.0 },
        { "no fix: never taken", 500, 0.5, 1.0, 'V', true, 0, 0, 10.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.fix.SetChecked(lat, lon, true);
        rig.fix.m_status = 'A';
        rig.fix.m_course = 10.0;
        EXPECT_EQ(rig.source->FilterFix(), 0); // the first call learns the start, standing still
        rig.map->open = c.mapOpen;
        rig.fix.SetChecked(lat + c.north * metre, lon, true);
        rig.fix.m_speedKnots = c.kmh / kKnotsToKmh;
        rig.fix.m_hdop = c.hdop;
        rig.fix.m_status = c.status;
        rig.fix.m_course = 200.0;
        EXPECT_EQ(rig.source->FilterFix(), c.accepted);
        EXPECT_NEAR((rig.fix.GetLatitude().GetRadians() - lat) / metre, c.latitudeAfter, 1e-6);
        EXPECT_EQ(rig.fix.m_course, c.courseAfter);
    }
}

TEST(GpsSource, SourceNumbersOpenWhatTheyName)
{
    testing_support::ScopedRegistryFile registry;
    QTemporaryDir dir;
    const QString replay = dir.filePath("drive.nm");
    ASSERT_TRUE(testing_support::WriteFileBytes(replay, "$GPRMC\r\n"));
    platform::RegKey key;
    ASSERT_EQ(
        platform::registry().Create(platform::RegRoot::HKLM, kGpsDriverKey, &key), platform::RegResult::Ok);
    key.SetString("DriverInterface", "gpsd://localhost:12947");

    struct Case {
        int32_t number;
        bool opens;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        { 4, true, { "number 4 9600" } },
        { 0, true, { "number 0 9600" } },
        { GPS_SOURCE_NONE, false, { "close" } },
        { GPS_SOURCE_REPLAY, true, { "replay " + replay.toStdString() + " 250" } },
        { GPS_SOURCE_DRIVER, true, { "name gpsd://localhost:12947 9600 1" } },
        { 13, false, { "close" } },
        { -1, false, { "close" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        Rig rig;
        ASSERT_TRUE(rig.source->SetReplayFileName(replay));
        rig.fix.SetChecked(0.5, 0.25, true);
        EXPECT_EQ(rig.source->OpenPort(c.number, 9600), c.opens);
        EXPECT_EQ(rig.port->calls, c.calls);
        // Opening resets the fix; the position it had survives.
        if (c.opens && c.number != GPS_SOURCE_REPLAY) {
            EXPECT_EQ(rig.fix.GetLatitude().GetRadians(), 0.5);
            EXPECT_EQ(rig.fix.GetLongitude().GetRadians(), 0.25);
        }
    }

    Rig rig;
    EXPECT_TRUE(rig.source->OpenSource("from NM-file", 4800, 0));
    EXPECT_TRUE(rig.source->OpenSource("COM7:", 4800, 0));
    EXPECT_FALSE(rig.source->OpenSource("COM10:", 4800, 0));
    EXPECT_TRUE(rig.source->OpenSource("/dev/ttyGNSS", 4800, 1));
    EXPECT_EQ(rig.port->calls, (std::vector<std::string> { "number 7 4800", "name /dev/ttyGNSS 4800 1" }));
}

TEST(GpsSource, TheSettingsBlockRoundTripsByteForByte)
{
    QTemporaryDir dir;
    const QString replay = dir.filePath("drive.NM");
    ASSERT_TRUE(testing_support::WriteFileBytes(replay, "$GPRMC\r\n"));
    const QString log = QStringLiteral("\\My Documents\\Поездка.nm");

    Rig rig;
    rig.source->SetReplayOptions(1, 1, 2.0, 7);
    ASSERT_TRUE(rig.source->SetReplayFileName(replay));
    ASSERT_TRUE(rig.source->SetLogFileName(log));
    rig.port->state = GPS_PORT_REPLAY_LOG;
    platform::Archive stored;
    rig.source->SaveSettings(stored);

    // The block by its table: reverse, loop, factor, reserved, the two names, logging active.
    platform::Archive golden;
    for (const uint8_t b : { 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 7, 0, 0, 0 })
        golden.WriteUInt8(b);
    for (const QString& text : { replay, log }) {
        golden.WriteBytes("\xFF\xFE\xFF", 3);
        golden.WriteUInt8(static_cast<uint8_t>(text.size()));
        for (const QChar c : text)
            golden.WriteUInt16(c.unicode());
    }
    for (const uint8_t b : { 1, 0, 0, 0 })
        golden.WriteUInt8(b);
    EXPECT_EQ(stored.Data(), golden.Data());

    Rig other;
    platform::Archive loading(stored.Data());
    other.source->LoadSettings(loading);
    EXPECT_EQ(loading.Remaining(), 0u);
    EXPECT_EQ(other.source->GetReplayFileName(), replay);
    EXPECT_EQ(other.source->GetLogFileName(), log);
    // Loading the settings never starts a log.
    EXPECT_TRUE(other.port->calls.empty());
    other.port->state = GPS_PORT_REPLAY_LOG;
    platform::Archive again;
    other.source->SaveSettings(again);
    EXPECT_EQ(again.Data(), stored.Data());
}

TEST(GpsSource, ASettingsBlockIsCheckedBeforeItIsUsed)
{
    Rig rig;
    const QString before = rig.source->GetReplayFileName();
    // A speed factor from outside the user's choices, a replay file that is
    // gone and a log name that is no NMEA log.
    platform::Archive stored;
    stored.WriteInt32(0);
    stored.WriteInt32(1);
    stored.WriteDouble(0.0);
    stored.WriteInt32(0);
    stored.WriteString("\\My Documents\\gone.nm");
    stored.WriteString("\\My Documents\\log.txt");
    stored.WriteInt32(1);
    platform::Archive loading(stored.Data());
    rig.source->LoadSettings(loading);
    int32_t reverse = -1, loop = -1, reserved = -1;
    double factor = -1.0;
    rig.source->GetReplayOptions(&reverse, &loop, &factor, &reserved);
    EXPECT_EQ(factor, 0.25);
    EXPECT_EQ(loop, 1);
    EXPECT_EQ(rig.source->GetReplayFileName(), before);
    EXPECT_EQ(rig.source->GetLogFileName(), QString::fromLatin1(CGpsSource::kDefaultLogFile));

    // A block cut short changes nothing.
    rig.source->SetReplayOptions(1, 0, 2.0, 3);
    platform::Archive cut(std::span(stored.Data()).first(20));
    EXPECT_THROW(rig.source->LoadSettings(cut), platform::ArchiveException);
    rig.source->GetReplayOptions(&reverse, &loop, &factor, &reserved);
    EXPECT_EQ(reverse, 1);
    EXPECT_EQ(factor, 2.0);
}

TEST(GpsSource, AReceiverThatFallsSilentLeavesNoFixAndLosesNothingWhenItResumes)
{
    testing_support::ScopedRegistryFile registry;
    testing_support::PtyPair pty;
    ASSERT_TRUE(pty.IsOpen());
    ASSERT_TRUE(pty.MapAs("COM4:"));

    CGpsFix fix;
    auto port = std::make_unique<CGpsPort>(fix);
    CGpsPort& ports = *port;
    CGpsSource source(std::move(port), std::make_unique<FakeMap>());
    source.ResetFix();
    ASSERT_TRUE(source.OpenPort(4, 4800));

    // A 1 Hz receiver: one cycle every fourth tick.
    int sent = 0;
    const auto second = [&](int i) {
        char time[16];
        std::snprintf(time, sizeof time, "1000%02d", i % 60);
        const std::string cycle = testing_support::NmeaCycle("GP", time, i);
        sent += 2;
        return QByteArray::fromStdString(cycle);
    };
    const auto tick = [&](int t, bool sending) {
        if (sending && t % 4 == 0) {
            EXPECT_TRUE(pty.Send(second(t / 4)));
            pty.WaitForDeviceInput(1000);
        }
        source.Poll();
    };
    int t = 0;
    for (; t <= 40; ++t)
        tick(t, true);
    ASSERT_EQ(fix.m_status, 'A');
    ASSERT_EQ(fix.m_satellitesUsed, 8);

    // Silent after the cycle of the last tick: nine polls read nothing and the
    // fix stands; the tenth (2.5 s) leaves none.
    for (int silent = 1; silent <= 9; ++silent, ++t)
        tick(t, false);
    EXPECT_EQ(fix.m_status, 'A');
    tick(t++, false);
    EXPECT_EQ(fix.m_status, 'V');
    EXPECT_EQ(fix.m_satellitesUsed, 0);

    // It speaks again: while there is no fix the port is read every 2 s, and
    // what came in between is all there.
    for (int resumed = 0; resumed < 40; ++resumed, ++t)
        tick(t, true);
    EXPECT_EQ(fix.m_status, 'A');
    EXPECT_EQ(ports.Reader().Accepted(), static_cast<uint64_t>(sent));
    EXPECT_EQ(ports.Reader().Refused(), 0u);
}

} // namespace
