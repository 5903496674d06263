// The waypoint list on the Voradu map: adding waypoints with their address
// and symbols, their bounds, and the proximity alerts of a drive past them on
// 250 ms ticks, with each waypoint's own sound.
#include "search/waypoint.h"

#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "platform/sound.h"
#include "tests/search/search_map.h"
#include "tests/search/voradu_places.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using search_testing::SetFix;

constexpr double kMetresPerDegree = 111111.11111;

CGeoPos Moved(const CGeoPos& from, double northMetres, double eastMetres)
{
    const double latitude = from.GetLatitude().GetRadians();
    CGeoPos to;
    to.Set(latitude + northMetres / kMetresPerDegree * geo::kDegToRad,
        from.GetLongitude().GetRadians()
            + eastMetres / (kMetresPerDegree * std::cos(latitude)) * geo::kDegToRad);
    return to;
}

QStringList PlayedSources()
{
    QStringList sources;
    for (const platform::PlayedSound& s : platform::SoundPlayLog())
        sources << s.source;
    return sources;
}

class WaypointsOnVoradu : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(map.opened);
        platform::ClearSoundPlayLog();
        SetFix(CGeoPos(), 'V');
    }
    void TearDown() override { SetFix(CGeoPos(), 0); }

    CGeoPos House(const char* street, const char* number)
    {
        return search_testing::HousePosition(map, street, number);
    }

    CWaypoint At(const CGeoPos& position, const QString& name, const QString& sound = QString())
    {
        CWaypoint w;
        w.m_position = position;
        w.m_name = name;
        w.m_type = QStringLiteral("Синий");
        w.m_soundPath = sound;
        return w;
    }

    QString Sound(const char* name, int resource)
    {
        const QString path = map.Folder().File(QString::fromUtf8(name));
        QFile::copy(
            QStringLiteral("%1/resources/%2.wav").arg(testing_support::BuildDataFolder()).arg(resource),
            path);
        return path;
    }

    search_testing::SearchMap map { "voradu" };
};

} // namespace

TEST_F(WaypointsOnVoradu, AddTakesTheAddressAndTheSymbolsOrRefuses)
{
    CWaypointList list;
    CWaypoint w = At(House("Блока", "10"), QStringLiteral("Office"));
    w.m_type = QStringLiteral("Аптека");
    ASSERT_EQ(list.Add(w), 0);
    const CWaypoint& added = *list.GetAt(0);
    EXPECT_EQ(added.m_address, QStringLiteral("Блока ул.10"));
    EXPECT_NE(added.m_mapX, kNoMapCoordinate);
    EXPECT_EQ(added.m_iconId, 614);
    EXPECT_EQ(added.m_bitmapId, 562);
    CWaypoint blue = At(House("Блока", "11"), QStringLiteral("Blue"));
    ASSERT_EQ(list.Add(blue), 1);
    EXPECT_EQ(list.GetAt(1)->m_iconId, 665);
    EXPECT_EQ(list.GetAt(1)->m_bitmapId, 653);

    // No position, and a place with nothing named near: refused, the list unchanged.
    CWaypoint nowhere = At(CGeoPos(), QStringLiteral("Nowhere"));
    EXPECT_EQ(list.Add(nowhere), -1);
    ZXS_Rect bounds;
    ASSERT_EQ(ZXS_MapGetBounds(map.Map(), &bounds), 0);
    double longitude = 0, latitude = 0;
    ASSERT_EQ(ZXS_MapToGeo(map.Map(), bounds.left, bounds.top, &longitude, &latitude), 0);
    CGeoPos corner;
    corner.Set(latitude, longitude);
    CWaypoint empty = At(corner, QStringLiteral("Corner"));
    EXPECT_EQ(list.Add(empty), -1);
    EXPECT_EQ(list.GetWaypointCount(), 2);

    EXPECT_EQ(list.RemoveAt(-1), 0);
    EXPECT_EQ(list.RemoveAt(2), 0);
    EXPECT_EQ(list.RemoveAt(0), 1);
    EXPECT_EQ(list.GetAt(0)->m_name, QStringLiteral("Blue"));
    EXPECT_EQ(list.GetAt(1), nullptr);
}

TEST_F(WaypointsOnVoradu, AWaypointAtTheGpsFix)
{
    CWaypointList list;
    SetFix(House("Блока", "10"));
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_altitude = 123.5;
        g_gpsFix.m_time = 1183460709;
    }
    const int index = list.AddAtGpsFix();
    ASSERT_EQ(index, 0);
    const CWaypoint& w = *list.GetAt(0);
    EXPECT_EQ(w.m_type, QStringLiteral("Синий"));
    EXPECT_EQ(w.m_name, QString());
    EXPECT_EQ(w.m_altitude, 123.5);
    EXPECT_EQ(w.m_firstTime, 1183460709);
    EXPECT_EQ(w.m_secondTime, 1183460709);
    // Without a fix the command learns that nothing was added.
    SetFix(House("Блока", "10"), 'V');
    EXPECT_EQ(list.AddAtGpsFix(), -1);
    EXPECT_EQ(list.GetWaypointCount(), 1);
}

TEST_F(WaypointsOnVoradu, BoundsOfTheWaypointsWithAPosition)
{
    CWaypointList list;
    CGeoPos northWest, southEast;
    EXPECT_EQ(list.GetBounds(northWest, southEast), 0);
    list.Append(At(CGeoPos(), QStringLiteral("no position")));
    EXPECT_EQ(list.GetBounds(northWest, southEast), 0);
    const CGeoPos a = House("Блока", "10");
    list.Append(At(a, QStringLiteral("a")));
    list.Append(At(Moved(a, 500, -300), QStringLiteral("north-west")));
    list.Append(At(Moved(a, -200, 700), QStringLiteral("south-east")));
    ASSERT_EQ(list.GetBounds(northWest, southEast), 1);
    EXPECT_DOUBLE_EQ(northWest.GetLatitude().GetRadians(), Moved(a, 500, -300).GetLatitude().GetRadians());
    EXPECT_DOUBLE_EQ(northWest.GetLongitude().GetRadians(), Moved(a, 500, -300).GetLongitude().GetRadians());
    EXPECT_DOUBLE_EQ(southEast.GetLatitude().GetRadians(), Moved(a, -200, 700).GetLatitude().GetRadians());
    EXPECT_DOUBLE_EQ(southEast.GetLongitude().GetRadians(), Moved(a, -200, 700).GetLongitude().GetRadians());
}

TEST_F(WaypointsOnVoradu, ADrivePastThreeWaypointsSoundsEachOnceOnEntry)
{
    const CGeoPos start = House("Блока", "10");
    const CGeoPos wayA = Moved(start, 400, 0);
    const CGeoPos wayB = Moved(start, 1000, 0);
    const CGeoPos wayC = Moved(start, 1600, 0);
    CWaypointList list;
    list.Append(At(wayA, QStringLiteral("A"), Sound("a.wav", 507)));
    list.Append(At(wayB, QStringLiteral("B"), Sound("b.wav", 508)));
    list.Append(At(wayC, QStringLiteral("C"), Sound("c.WAV", 509)));

    // North at 8 m a tick (115 km/h), past all three; then back south into C's radius.
    int passes = 0;
    auto drive = [&](double fromNorth, double toNorth) {
        const double step = toNorth > fromNorth ? 8.0 : -8.0;
        for (double n = fromNorth; step > 0 ? n <= toNorth : n >= toNorth; n += step) {
            SetFix(Moved(start, n, 3));
            passes += list.CheckProximityAlerts();
        }
    };
    drive(0, 2000);
    const QString a = map.Folder().File(QStringLiteral("a.wav"));
    const QString b = map.Folder().File(QStringLiteral("b.wav"));
    const QString c = map.Folder().File(QStringLiteral("c.WAV"));
    EXPECT_EQ(PlayedSources(), QStringList({ a, b, c }));
    EXPECT_EQ(passes, 251 / 8); // a pass every 8th tick
    drive(2000, 1700);
    EXPECT_EQ(PlayedSources(), QStringList({ a, b, c, c }));
    // Waiting at C sounds nothing more.
    for (int tick = 0; tick < 40; ++tick)
        list.CheckProximityAlerts();
    EXPECT_EQ(PlayedSources().size(), 4);
}

TEST_F(WaypointsOnVoradu, TheRadiusHoldsAtVoradusLatitude)
{
    const CGeoPos place = House("Блока", "10");
    struct Case {
        double north, east;
        bool sounds;
    };
    const Case cases[] = {
        { 150, 0, true },
        { 170, 0, false },
        { 0, 150, true },
        { 0, 170, false },
        { -150, 0, true },
        { 100, 100, true },
        { 120, 120, false },
    };
    for (const Case& c : cases) {
        CWaypointList list;
        list.Append(At(place, QStringLiteral("W")));
        platform::ClearSoundPlayLog();
        SetFix(Moved(place, c.north, c.east));
        for (int tick = 0; tick < 8; ++tick)
            list.CheckProximityAlerts();
        EXPECT_EQ(platform::SoundPlayLog().size(), c.sounds ? 1u : 0u) << c.north << " " << c.east;
    }
}

namespace {

// Every waypoint exactly at the radius.
class AtTheRadius : public CWaypointList {
public:
    double SquaredDistance(const CGeoPos&, const CWaypoint&) override
    {
        return GetAlertRadius() * GetAlertRadius();
    }
};

} // namespace

TEST_F(WaypointsOnVoradu, PassesAndWhatTheyCount)
{
    const CGeoPos place = House("Блока", "10");
    SetFix(place);
    {
        // A pass on every 8th tick; exactly at the radius counts as inside;
        // two equal waypoints sound once.
        AtTheRadius list;
        list.Append(At(place, QStringLiteral("W")));
        list.Append(At(place, QStringLiteral("W")));
        std::vector<int> due;
        for (int tick = 1; tick <= 24; ++tick) {
            if (list.CheckProximityAlerts() != 0)
                due.push_back(tick);
        }
        EXPECT_EQ(due, (std::vector<int> { 8, 16, 24 }));
        EXPECT_EQ(platform::SoundPlayLog().size(), 1u);
        EXPECT_EQ(platform::SoundPlayLog()[0].source, QStringLiteral("res:520"));
    }
    {
        // Alerts off: no pass at all.
        CWaypointList list;
        list.Append(At(place, QStringLiteral("W")));
        list.SetAlertsOn(0);
        platform::ClearSoundPlayLog();
        for (int tick = 0; tick < 16; ++tick)
            EXPECT_EQ(list.CheckProximityAlerts(), 0);
        EXPECT_TRUE(platform::SoundPlayLog().empty());
    }
    {
        // A lost fix sounds nothing, and when the fix comes back near the
        // waypoint it does not sound again.
        CWaypointList list;
        list.Append(At(place, QStringLiteral("W")));
        platform::ClearSoundPlayLog();
        for (int tick = 0; tick < 8; ++tick)
            list.CheckProximityAlerts();
        EXPECT_EQ(platform::SoundPlayLog().size(), 1u);
        SetFix(Moved(place, 2000, 0), 'V');
        for (int tick = 0; tick < 16; ++tick)
            list.CheckProximityAlerts();
        SetFix(place);
        for (int tick = 0; tick < 16; ++tick)
            list.CheckProximityAlerts();
        EXPECT_EQ(platform::SoundPlayLog().size(), 1u);
    }
}

TEST_F(WaypointsOnVoradu, EachWaypointItsOwnSoundElseTheChime)
{
    const QString capital = Sound("Home.WAV", 507);
    const QString other = map.Folder().File(QStringLiteral("tune.mp3"));
    QFile::copy(capital, other);
    struct Case {
        QString sound;
        QString played;
    };
    const Case cases[] = {
        { QString(), QStringLiteral("res:520") },
        { capital, capital },
        { other, QStringLiteral("res:520") },
        { map.Folder().File(QStringLiteral("missing.wav")), QStringLiteral("res:520") },
    };
    for (const Case& c : cases) {
        platform::ClearSoundPlayLog();
        PlayWaypointSound(At(CGeoPos(), QStringLiteral("W"), c.sound));
        ASSERT_EQ(platform::SoundPlayLog().size(), 1u);
        EXPECT_EQ(platform::SoundPlayLog()[0].source, c.played) << c.sound.toStdString();
        EXPECT_EQ(platform::SoundPlayLog()[0].flags & platform::SND_ASYNC, platform::SND_ASYNC);
    }
}
