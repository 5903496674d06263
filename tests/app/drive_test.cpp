// A drive, end to end: the whole program started as a driver starts it, a
// destination set, and a generated drive replayed through GPS source 11 on the
// manual clock (four times faster than real time, one fix a tick). What the
// driver hears comes from the sound play log, what the program thinks from its
// state after each tick: the prompts in the order of the route's maneuvers,
// each maneuver before its distance; "off the route" once on the wrong turn, a
// new route from where the car is, "on the route" once after it, and the
// finish announced. The program starts in Driving mode, as the demo drive
// does. Frames at four moments of the drive on Voradu, each once the draw
// thread has drawn what that tick left, are compared with the stored pictures
// (tests/app/golden/drive_*.png).
#include "app/draw_thread.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "nav/route.h"
#include "nav/voice_prompts.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/options.h"
#include "platform/sound.h"
#include "platform/timers.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"
#include "tests/support/drive_generator.h"
#include "tests/support/golden_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

using testing_support::kDrivePi;

// The waves of the Russian prompts and notices (the program's default language).
constexpr int kOffRouteWave = 510;
constexpr int kOnRouteWave = 514;
constexpr int kFinishWave = 528;

bool IsManeuverWave(int id) { return (id >= 521 && id <= 528) || id == 681 || id == 682; }
bool IsDistanceWave(int id) { return id >= 529 && id <= 547; }

int WaveOf(const platform::PlayedSound& sound)
{
    return sound.source.startsWith(QLatin1String("res:")) ? sound.source.mid(4).toInt() : -1;
}

struct Trip {
    QString map; // the map's base path without extension; empty: the shipped map
    std::string start; // "LAT,LON"
    std::string finish;
    std::string options; // the generator's
    // Moments (seconds of the drive) to take frames at, with the pictures' names.
    std::vector<std::pair<int, QString>> frames;
};

// What happened, tick by tick.
struct Journey {
    struct Sound {
        int wave;
        int second; // the drive second of the fix then
        int guideNode; // the next maneuver's node then
        int routeBuilds; // routes built so far
    };
    testing_support::GeneratedDrive drive;
    std::vector<Sound> sounds;
    int routeBuilds = 0;
    // The start of each route built after the first, and where the car was then (map units).
    std::vector<std::pair<MapPoint, MapPoint>> rebuilds;
    std::vector<int> rebuildSeconds;
    double remainingAtEnd = -1;
    bool onRouteAtEnd = false;
    char lastStatus = 'V';
    int lastSecond = -1;
    std::map<QString, QImage> frames;
    // At each frame: whether guidance had the car on its route, and whether
    // the car's place was on the screen.
    std::map<QString, std::pair<bool, bool>> frameState;
};

void Deliver()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

MapPoint ToMap(const std::string& place)
{
    double lat = 0, lon = 0;
    EXPECT_EQ(std::sscanf(place.c_str(), "%lf,%lf", &lat, &lon), 2);
    ZXS_Point p { kUnsetCoordinate, kUnsetCoordinate };
    EXPECT_EQ(ZXS_GeoToMap(
                  g_MapController->GetMapSet().ActiveMap(), lon * kDrivePi / 180, lat * kDrivePi / 180, &p),
        0);
    return { p.x, p.y };
}

// The display once the draw thread has copied a frame of what the tick left:
// a frame begun after it, with the map's render finished.
QImage FrameOfThisTick()
{
    CDrawThread* thread = theApp->GetMainWnd()->GetMapWnd()->GetDrawThread();
    EXPECT_TRUE(thread->AwaitFinishedFrame(20000)) << "no finished frame";
    return theApp->GetDisplay()->Snapshot();
}

Journey Drive(const Trip& setup)
{
    Journey journey;
    apptest::AppRig rig(QSize(240, 320), 96, setup.map.isEmpty());
    if (!setup.map.isEmpty())
        rig.Folder().CopyShippedMap(QStringLiteral("mskmo0704"), setup.map);
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    rig.SetRunBefore();
    // Started as the demo starts: in Driving mode, the map following the car.
    platform::Options options = platform::options();
    options.drivingMode = true;
    platform::setOptions(options);
    const QString log = rig.Folder().Documents() + QStringLiteral("/drive.nm");
    journey.drive = testing_support::GenerateDrive(setup.options + " '"
            + rig.Folder().File(QStringLiteral("mskmo0704.tzx")).toStdString() + "' " + setup.start + " "
            + setup.finish,
        log);
    EXPECT_EQ(journey.drive.status, 0) << journey.drive.output;
    if (journey.drive.status != 0)
        return journey;

    platform::ScopedManualClock clock(1000);
    CProcessObjects objects;
    const int status = apptest::RunProgram([&] {
        // The program closes however the drive ends, a failed assertion included.
        struct Closer {
            ~Closer() { CloseApplication(); }
        } closer;
        CMapController& controller = *g_MapController;
        CRouteManager& routes = controller.GetRouteManager();
        CRoute& route = routes.GetRoute();
        CRouteGuide& guide = routes.GetGuide();

        // The driver's choices: the notices of leaving and rejoining the route,
        // a new route after a deviation, all three prompts.
        g_leavingRouteMessages = 1;
        routes.SetRerouteOnDeviation(1);
        routes.SetDeviationDelay(6);
        guide.SetFirstPromptOn(1);
        guide.SetSecondPromptOn(1);
        guide.SetFinalPromptOn(1);

        // The destination, from where the car stands.
        MapPoint points[4] = { ToMap(setup.start), { kUnsetCoordinate, kUnsetCoordinate },
            { kUnsetCoordinate, kUnsetCoordinate }, ToMap(setup.finish) };
        ASSERT_EQ(controller.BuildRoute(points, 4, 0, 0, nullptr, 0), 1);
        ASSERT_TRUE(routes.HasRoute());
        journey.routeBuilds = 1;
        MapPoint routeStart = route.GetPoints()[CRoute::SLOT_START].Point();

        // The receiver: the drive's log replayed, four times faster than it was driven.
        ASSERT_TRUE(g_gpsSource->SetReplayFileName(log));
        g_gpsSource->SetReplayOptions(0, 0, 4.0, 0);
        g_gpsSourceNumber = GPS_SOURCE_REPLAY;
        ASSERT_TRUE(g_gpsSource->OpenPort(GPS_SOURCE_REPLAY, 4800));
        EXPECT_TRUE(controller.IsMovingMode());
        EXPECT_TRUE(controller.IsFollowGps());
        platform::ClearSoundPlayLog();

        CDrawThread* drawThread = theApp->GetMainWnd()->GetMapWnd()->GetDrawThread();
        size_t heard = 0;
        auto frame = setup.frames.begin();
        int firstClock = -1;
        // To the replay's end, when the source closes (with a bound).
        for (int tick = 0;
             tick < 2 * journey.drive.seconds + 40 && g_gpsSource->GetPortState() != GPS_PORT_CLOSED;
             ++tick) {
            clock->advance(250);
            platform::DispatchDueTimers();
            Deliver();
            guide.Prompts().WaitUntilIdle();
            // As on the device, the draw thread shows what the tick changed
            // before the next one: the recentring looks at the map it drew.
            ASSERT_TRUE(drawThread->AwaitFinishedFrame(20000));

            CGpsFix fix;
            {
                platform::CSLock lock(g_gpsFixLock);
                fix = g_gpsFix;
            }
            const GpsCalendarTime t = fix.GetUtcTime();
            const int dayClock = (t.hour * 60 + t.minute) * 60 + t.second;
            if (fix.m_status == 'A' && firstClock < 0)
                firstClock = dayClock;
            const int second = firstClock < 0 ? -1 : dayClock - firstClock;
            journey.lastStatus = fix.m_status;
            journey.lastSecond = second;

            int node = -1;
            {
                // The table's lock comes before the point lock.
                const MapPoint nowStart = route.GetPoints()[CRoute::SLOT_START].Point();
                platform::CSLock lock(route.GetPointLock());
                ManeuverInfo next[1];
                if (guide.GetNextManeuvers(next, 1) > 0)
                    node = next[0].node;
                if (nowStart.x != routeStart.x || nowStart.y != routeStart.y) {
                    routeStart = nowStart;
                    ++journey.routeBuilds;
                    int32_t x = 0, y = 0;
                    g_gpsSource->GetMapPosition(&x, &y);
                    journey.rebuilds.push_back({ nowStart, { x, y } });
                    journey.rebuildSeconds.push_back(second);
                }
            }
            const std::vector<platform::PlayedSound> played = platform::SoundPlayLog();
            for (; heard < played.size(); ++heard)
                journey.sounds.push_back({ WaveOf(played[heard]), second, node, journey.routeBuilds });

            if (frame != setup.frames.end() && second >= frame->first) {
                journey.frames[frame->second] = FrameOfThisTick();
                int32_t x = 0, y = 0;
                g_gpsSource->GetMapPosition(&x, &y);
                ElementPoint screen;
                const bool shown = controller.MapToScreen({ x, y }, screen) && screen.x >= 0 && screen.x < 240
                    && screen.y >= 0 && screen.y < 320;
                platform::CSLock lock(route.GetPointLock());
                journey.frameState[frame->second] = { guide.IsOnRoute() != 0, shown };
                ++frame;
            }
        }
        {
            platform::CSLock lock(route.GetPointLock());
            journey.remainingAtEnd = guide.GetRemainingDistance();
            journey.onRouteAtEnd = guide.IsOnRoute() != 0;
        }
    });
    EXPECT_EQ(status, CTravenorApp::EXIT_OK);
    return journey;
}

// Every distance right after its maneuver; within one route the maneuvers in the route's order.
void ExpectPromptsInOrder(const Journey& j)
{
    int prompts = 0;
    for (size_t i = 0; i < j.sounds.size(); ++i) {
        const Journey::Sound& s = j.sounds[i];
        if (IsDistanceWave(s.wave)) {
            ASSERT_GT(i, 0u);
            EXPECT_TRUE(IsManeuverWave(j.sounds[i - 1].wave))
                << "distance " << s.wave << " at second " << s.second << " follows " << j.sounds[i - 1].wave;
        }
        if (IsManeuverWave(s.wave)) {
            ++prompts;
            for (size_t k = i; k-- > 0;)
                if (IsManeuverWave(j.sounds[k].wave) && j.sounds[k].routeBuilds == s.routeBuilds) {
                    EXPECT_GE(s.guideNode, j.sounds[k].guideNode) << "a maneuver prompted after a later one";
                    break;
                }
        }
    }
    EXPECT_GE(prompts, 3);
}

int Count(const Journey& j, int wave)
{
    return static_cast<int>(std::count_if(
        j.sounds.begin(), j.sounds.end(), [wave](const Journey::Sound& s) { return s.wave == wave; }));
}

// At the end of the drive the car stands at the finish, on the route; the
// rest is the way from the road to the destination itself.
void ExpectArrival(const Journey& j)
{
    EXPECT_TRUE(j.onRouteAtEnd);
    EXPECT_GE(j.lastSecond, j.drive.seconds - 1) << "the whole drive was replayed";
    EXPECT_GE(j.remainingAtEnd, 0.0);
    EXPECT_LT(j.remainingAtEnd, 60.0);
}

TEST(Drive, ThroughVoraduWithAWrongTurnReroutedToTheFinish)
{
    Trip setup;
    // From one crossing of the lattice to another along the diagonal avenue;
    // at the centre the car keeps east instead and rejoins the avenue later.
    setup.start = testing_support::VoraduPlace(-600, -400);
    setup.finish = testing_support::VoraduPlace(800, 600);
    setup.options = "--stops 1 --detour 150";
    // Pulling away, on the avenue, in the wrong turn, at the finish.
    setup.frames = { { 8, QStringLiteral("drive_start") }, { 50, QStringLiteral("drive_avenue") },
        { 95, QStringLiteral("drive_wrong_turn") }, { 215, QStringLiteral("drive_finish") } };
    const Journey j = Drive(setup);
    ASSERT_EQ(j.drive.status, 0);
    ASSERT_GE(j.drive.detourFrom, 0);

    ExpectPromptsInOrder(j);

    // Off the route once, during the wrong turn; on it once, afterwards.
    // (The car's first match of the route at the start is announced as well.)
    ASSERT_EQ(Count(j, kOffRouteWave), 1);
    const auto off = std::find_if(
        j.sounds.begin(), j.sounds.end(), [](const Journey::Sound& s) { return s.wave == kOffRouteWave; });
    EXPECT_EQ(
        std::count_if(off, j.sounds.end(), [](const Journey::Sound& s) { return s.wave == kOnRouteWave; }),
        1);
    const auto on
        = std::find_if(off, j.sounds.end(), [](const Journey::Sound& s) { return s.wave == kOnRouteWave; });
    ASSERT_NE(on, j.sounds.end());
    EXPECT_GE(off->second, j.drive.detourFrom);
    EXPECT_LT(off->second, j.drive.detourTo);
    EXPECT_GT(on->second, off->second);

    // One new route, built from where the car was.
    ASSERT_EQ(j.rebuilds.size(), 1u);
    EXPECT_GT(j.rebuildSeconds[0], off->second);
    EXPECT_LE(j.rebuildSeconds[0], j.drive.detourTo);
    EXPECT_LT(std::hypot(double(j.rebuilds[0].first.x) - j.rebuilds[0].second.x,
                  double(j.rebuilds[0].first.y) - j.rebuilds[0].second.y),
        50.0);

    ExpectArrival(j);
    EXPECT_GE(Count(j, kFinishWave), 1) << "the finish is announced";

    // The car on the screen at each moment, and on its route but in the wrong
    // turn (before the new route); each frame as stored.
    ASSERT_EQ(j.frames.size(), setup.frames.size());
    for (const auto& [name, state] : j.frameState) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(state.first, name != QLatin1String("drive_wrong_turn"));
        EXPECT_TRUE(state.second);
        // The maneuver's picture blinks near it, on a phase that starts with
        // the frame that first drew it: a share of a percent may differ.
        testing_support::ExpectGoldenPicture(
            j.frames.at(name).convertToFormat(QImage::Format_RGB32), QStringLiteral("app"), name, 0.01);
    }
}

TEST(Drive, AlongRealStreetsOfOstankino)
{
    Trip setup;
    setup.map = QStringLiteral(TRAVENOR_COMPILED_MAPS_DIR "/moscow-ostankino");
    setup.start = "55.8100,37.5950";
    setup.finish = "55.8200,37.6150";
    setup.options = "--stops 1";
    const Journey j = Drive(setup);
    ASSERT_EQ(j.drive.status, 0);
    ExpectPromptsInOrder(j);
    EXPECT_EQ(Count(j, kOffRouteWave), 0);
    EXPECT_TRUE(j.rebuilds.empty());
    ExpectArrival(j);
}

} // namespace
