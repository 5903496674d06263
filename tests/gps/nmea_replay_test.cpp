// Every receiver log of the shared data set that moves, replayed through GPS
// source 11 as a user would replay it, with the map controller's tick after
// each poll: the replay runs to the log's end and closes by itself. None of
// the logs lies on a map we have, so they run on Voradu with their positions
// outside the map; the sanitizers of the test build watch the whole way.
#include "gps/gps_source.h"

#include "gps/nmea_reader.h"
#include "platform/clock.h"
#include "tests/nav/controller_rig.h"
#include "tests/support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QString kLogFolder = QStringLiteral(TRAVENOR_SHARED_DATA_DIR "/nmea");

// Whether the receiver moved while it had a fix: its fixes spread over more
// than 50 m, or it reported more than 3 knots.
bool Moves(const QString& path)
{
    const QByteArray bytes = testing_support::ReadFileBytes(path);
    CGpsFix fix;
    fix.m_sentenceInterval = 1;
    ResetGpsFix(fix);
    CNmeaReader reader;
    bool first = true;
    double lat0 = 0, lon0 = 0, farthest = 0, fastest = 0;
    for (qsizetype at = 0; at < bytes.size(); at += 512) {
        reader.Feed(
            std::string_view(bytes.constData() + at, size_t(std::min<qsizetype>(512, bytes.size() - at))),
            fix);
        if (!fix.IsValidFix())
            continue;
        const double lat = fix.GetLatitude().GetRadians(), lon = fix.GetLongitude().GetRadians();
        if (first) {
            lat0 = lat;
            lon0 = lon;
            first = false;
        }
        farthest = std::max(farthest, std::hypot(lat - lat0, (lon - lon0) * std::cos(lat0)) * 6371000.0);
        fastest = std::max(fastest, fix.m_speedKnots);
    }
    return farthest > 50 || fastest > 3;
}

TEST(NmeaReplay, EveryMovingReceiversLogReplaysToItsEnd)
{
    platform::ScopedManualClock clock(1000);
    navtest::ControllerRig rig;
    CMapController& c = rig.Controller();
    c.SetFollowGps(1);
    QTemporaryDir dir;
    int replayed = 0;
    for (const QString& name :
        QDir(kLogFolder).entryList({ QStringLiteral("*.log") }, QDir::Files, QDir::Name)) {
        const QString path = kLogFolder + QLatin1Char('/') + name;
        if (!Moves(path))
            continue;
        SCOPED_TRACE(name.toStdString());
        ++replayed;
        // A replay file is an ".nm" file: the log under that name, not copied.
        const QString replay = dir.filePath(name + QStringLiteral(".nm"));
        ASSERT_TRUE(QFile::link(path, replay));

        CGpsSource source;
        source.ResetFix();
        ASSERT_TRUE(source.SetReplayFileName(replay));
        source.SetReplayOptions(0, 0, 4.0, 0);
        ASSERT_TRUE(source.OpenPort(11, 4800));
        bool fixed = false;
        // Far more ticks than the log has blocks; the replay closes at its end.
        const int limit = int(QFileInfo(path).size() / 16) + 100;
        int tick = 0;
        for (; tick < limit && source.GetPortState() != GPS_PORT_CLOSED; ++tick) {
            source.Poll();
            c.OnTick();
            clock->advance(250);
            platform::CSLock lock(g_gpsFixLock);
            fixed = fixed || g_gpsFix.IsValidFix();
        }
        EXPECT_EQ(source.GetPortState(), GPS_PORT_CLOSED) << "the replay reached its end";
        EXPECT_TRUE(fixed);
        EXPECT_TRUE(source.IsFixOutsideMap());
        source.Close();
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix = CGpsFix();
    }
    EXPECT_GE(replayed, 5);
}

} // namespace
