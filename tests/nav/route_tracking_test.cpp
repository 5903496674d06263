// Tracking the GPS position along a route on the shipped map and the voice
// prompts before its turn: a drive at 50 km/h with 250 ms ticks, a parallel
// track off the route and back, standing still, a lost fix, a rebuild under a
// driver on the route, and the prompt order through the sound output; the
// corridor width and the language the settings pages choose.
#include "nav/route_guide.h"

#include "platform/clock.h"
#include "platform/sound.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"
#include "tests/settings/settings_pages_support.h"
#include "ui/message_window.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace navtest;

constexpr MapPoint kUnset { kNoMapPoint, kNoMapPoint };

// What the sound output was asked to play, as resource ids (sync or async),
// prompts and notices only.
struct Played {
    int id;
    bool async;
    bool operator==(const Played&) const = default;
};

std::vector<Played> PlayedSounds()
{
    std::vector<Played> played;
    for (const platform::PlayedSound& s : platform::SoundPlayLog()) {
        if (!s.source.startsWith(QStringLiteral("res:")))
            continue;
        played.push_back({ s.source.mid(4).toInt(), (s.flags & platform::SND_ASYNC) != 0 });
    }
    return played;
}

// A drive along a polyline of map points at a speed, one fix per 250 ms tick.
class Drive {
public:
    Drive(ControllerRig& rig, std::vector<MapPoint> path, double kmh = 50.0)
        : m_rig(rig)
        , m_path(std::move(path))
        , m_step(MetresToMapUnits(kmh / 3.6 * 0.25))
    {
    }
    // Ticks until `units` more map units are driven (all of the path when
    // negative); false once the path is done.
    bool Go(double units = -1)
    {
        double left = units < 0 ? 1e12 : units;
        while (m_segment + 1 < m_path.size() && left > 0) {
            const MapPoint& a = m_path[m_segment];
            const MapPoint& b = m_path[m_segment + 1];
            const double length = std::hypot(double(b.x - a.x), double(b.y - a.y));
            if (m_along >= length) {
                m_along -= length;
                ++m_segment;
                continue;
            }
            const double t = m_along / length;
            const MapPoint at { static_cast<int32_t>(std::lround(a.x + (b.x - a.x) * t)),
                static_cast<int32_t>(std::lround(a.y + (b.y - a.y) * t)) };
            // The course from north clockwise; map y grows southwards.
            double course = std::atan2(double(b.x - a.x), double(a.y - b.y)) * 180.0 / 3.14159265358979323846;
            if (course < 0)
                course += 360.0;
            Tick(at, course);
            m_along += m_step;
            left -= m_step;
        }
        return m_segment + 1 < m_path.size();
    }
    void Tick(const MapPoint& at, double course, char status = 'A')
    {
        SetFix(at, course, status);
        m_rig.Controller().OnTick();
        ++m_ticks;
    }
    int Ticks() const { return m_ticks; }

private:
    ControllerRig& m_rig;
    std::vector<MapPoint> m_path;
    double m_step;
    size_t m_segment = 0;
    double m_along = 0;
    int m_ticks = 0;
};

class RouteTrackingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetSoundResourceFolder(testing_support::BuildDataFolder() + QStringLiteral("/resources"));
        m_rig.Controller().SetMapScreenActive(0);
        g_leavingRouteMessages = 1;
        // East along row 2 from column 6, left at column 8, 200 m north.
        g_routeOptimisation = 2;
        const MapPoint four[] = { m_start, kUnset, kUnset, m_finish };
        ASSERT_EQ(m_rig.Controller().BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
        g_routeOptimisation = 1;
        platform::ClearSoundPlayLog();
    }
    void TearDown() override
    {
        Guide().Prompts().WaitUntilIdle();
        platform::StopSound();
        platform::ClearSoundPlayLog();
    }
    CRouteGuide& Guide() { return Routes().GetGuide(); }

    ControllerRig m_rig;
    ScopedGpsMapPosition m_gps;
    platform::ScopedManualClock m_clock { 1000 };
    const MapPoint m_start = VoraduAt(1250, 400);
    const MapPoint m_turn = Crossing(8, 2);
    const MapPoint m_finish = VoraduAt(1600, 600);
};

TEST_F(RouteTrackingTest, ApproachingATurnAt50KmhPlaysEachPromptOnceInItsOrder)
{
    Drive drive(m_rig, { m_start, m_turn, m_finish });
    while (drive.Go(MetresToMapUnits(3.5))) { }
    Guide().Prompts().WaitUntilIdle();
    // Back on the route at the start; the left turn (684) "in 160 metres"
    // (694) and "in 80 metres" (708), right before it once more and repeated a
    // little later; then the same for the finish (683) 200 m on.
    const std::vector<Played> expected = {
        { 513, true },
        { 684, false },
        { 694, true },
        { 684, false },
        { 708, true },
        { 684, false },
        { 684, false },
        { 683, false },
        { 694, true },
        { 683, false },
        { 708, true },
        { 683, false },
        { 683, false },
    };
    EXPECT_EQ(PlayedSounds(), expected);
    for (const platform::PlayedSound& s : platform::SoundPlayLog())
        EXPECT_TRUE(s.played) << s.source.toStdString();
    EXPECT_EQ(Guide().IsOnRoute(), 1);
}

TEST_F(RouteTrackingTest, EqualPromptDistancesSpeakOnceAndLanguageTwoSaysNothing)
{
    Guide().SetFirstPromptDistance(80);
    Guide().SetSecondPromptDistance(80);
    Guide().SetFinalPromptOn(0);
    Drive drive(m_rig, { m_start, m_turn, m_finish });
    while (drive.Go(MetresToMapUnits(3.5))) { }
    Guide().Prompts().WaitUntilIdle();
    EXPECT_EQ(PlayedSounds(),
        (std::vector<Played> {
            { 513, true }, { 684, false }, { 708, true }, { 683, false }, { 708, true } }));
    // A language without recordings plays nothing, and the prompt counts as said.
    platform::ClearSoundPlayLog();
    g_language = 2;
    int32_t done = 0;
    Guide().SayManeuver(13321, 80, done, false);
    Guide().Prompts().WaitUntilIdle();
    g_language = LANGUAGE_ENGLISH;
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(PlayedSounds().empty());
}

TEST_F(RouteTrackingTest, AParallelTrackIsOffTheRouteOnceAndBackOnItOnce)
{
    const double off = MetresToMapUnits(100);
    const MapPoint early = VoraduAt(1300, 400);
    Drive onRoute(m_rig, { m_start, early });
    onRoute.Go();
    ASSERT_EQ(Guide().IsOnRoute(), 1);
    // 100 m north of the road for a stretch, then back onto it.
    const MapPoint besideA { early.x, static_cast<int32_t>(early.y - off) };
    const MapPoint besideB { early.x + static_cast<int32_t>(MetresToMapUnits(120)), besideA.y };
    const MapPoint back { besideB.x + static_cast<int32_t>(MetresToMapUnits(20)), early.y };
    Drive detour(m_rig, { early, besideA, besideB, back, m_turn });
    detour.Go();
    EXPECT_EQ(Guide().IsOnRoute(), 1);
    std::vector<Played> notices;
    for (const Played& p : PlayedSounds())
        if (p.id == 509 || p.id == 513)
            notices.push_back(p);
    EXPECT_EQ(notices, (std::vector<Played> { { 513, true }, { 509, true }, { 513, true } }));
}

// The corridor width chosen on the Route sheet decides how far beside the
// route a driver may go before "off the route" is said: 100 m to the side of
// the road leaves a 70 m corridor but not one of 300 m.
struct CorridorCase {
    double width;
    std::vector<Played> notices;
};

class RouteCorridorTest : public RouteTrackingTest, public ::testing::WithParamInterface<CorridorCase> { };

TEST_P(RouteCorridorTest, OffTheRouteIsSaidOnlyOutsideTheCorridor)
{
    {
        CSheetRoute sheet(QStringLiteral("Route"), nullptr);
        ASSERT_TRUE(sheet.Create());
        settingstest::TapTab(sheet, 3);
        const std::vector<int32_t> widths = RouteCorridorWidths();
        const auto width = std::find(widths.begin(), widths.end(), int32_t(GetParam().width));
        ASSERT_NE(width, widths.end());
        ASSERT_TRUE(sheet.m_properties.SelectDlgItem(IDC_ROUTE_CORRIDOR, int(width - widths.begin())));
        settingstest::Tap(sheet, platform::IDOK);
    }
    ASSERT_EQ(Routes().GetCorridorWidth(), GetParam().width);
    const double off = MetresToMapUnits(100);
    const MapPoint early = VoraduAt(1300, 400);
    Drive(m_rig, { m_start, early }).Go();
    const MapPoint besideA { early.x, static_cast<int32_t>(early.y - off) };
    const MapPoint besideB { early.x + static_cast<int32_t>(MetresToMapUnits(120)), besideA.y };
    const MapPoint back { besideB.x + static_cast<int32_t>(MetresToMapUnits(20)), early.y };
    Drive(m_rig, { early, besideA, besideB, back, m_turn }).Go();
    EXPECT_EQ(Guide().IsOnRoute(), 1);
    std::vector<Played> notices;
    for (const Played& p : PlayedSounds())
        if (p.id == 509 || p.id == 513)
            notices.push_back(p);
    EXPECT_EQ(notices, GetParam().notices);
}

INSTANTIATE_TEST_SUITE_P(Widths, RouteCorridorTest,
    ::testing::Values(CorridorCase { 70.0, { { 513, true }, { 509, true }, { 513, true } } },
        CorridorCase { 300.0, { { 513, true } } }),
    [](const ::testing::TestParamInfo<CorridorCase>& info) {
        return "Metres" + std::to_string(static_cast<int>(info.param.width));
    });

// The language chosen on the Language page: the route notices on the map
// screen, shown and spoken, follow it from the next one on.
TEST_F(RouteTrackingTest, TheLanguageChosenOnItsPageShowsAndSpeaksTheNextNotices)
{
    const int language = g_language;
    g_language = LANGUAGE_RUSSIAN;
    const double off = MetresToMapUnits(100);
    // 100 m to the side for 80 m, back, and along the road to `onTo`.
    auto detour = [&](double east, double onTo) {
        const MapPoint from = VoraduAt(east, 400);
        const MapPoint besideA { from.x, static_cast<int32_t>(from.y - off) };
        const MapPoint besideB { from.x + static_cast<int32_t>(MetresToMapUnits(80)), besideA.y };
        const MapPoint back { besideB.x + static_cast<int32_t>(MetresToMapUnits(20)), from.y };
        Drive(m_rig, { from, besideA, besideB, back, VoraduAt(onTo, 400) }).Go();
    };
    auto notices = [] {
        std::vector<int> ids;
        for (const Played& p : PlayedSounds())
            if (p.id >= 509 && p.id <= 514)
                ids.push_back(p.id);
        platform::ClearSoundPlayLog();
        return ids;
    };
    Drive(m_rig, { m_start, VoraduAt(1270, 400) }).Go();
    detour(1270, 1410);
    EXPECT_EQ(notices(), (std::vector<int> { 514, 510, 514 }));
    EXPECT_EQ(g_messageWnd->GetText(), QStringLiteral("Вы вернулись на маршрут."));

    {
        CSheetLanguage sheet(QStringLiteral("Язык"), nullptr);
        ASSERT_TRUE(sheet.Create());
        settingstest::Tap(sheet.m_language, IDC_LANGUAGE_ENGLISH);
        settingstest::Tap(sheet, platform::IDOK);
    }
    ASSERT_EQ(g_language, LANGUAGE_ENGLISH);
    detour(1410, 1510);
    EXPECT_EQ(notices(), (std::vector<int> { 509 }));
    EXPECT_EQ(g_messageWnd->GetText(), QStringLiteral("You're off the route."));
    g_language = language;
}

TEST_F(RouteTrackingTest, StandingStillMatchesNothingAndALostFixLeavesNoStaleDistance)
{
    const MapPoint waiting = VoraduAt(1450, 400); // 150 m before the turn: the first prompt's window
    Drive drive(m_rig, { m_start, waiting });
    drive.Go();
    Guide().Prompts().WaitUntilIdle();
    const size_t heard = PlayedSounds().size();
    ASSERT_GE(heard, 3u) << "the first prompt";
    // Matched once more where it stopped, then never again.
    for (int i = 0; i < 4; ++i)
        drive.Tick(waiting, 90.0);
    const double distance = Guide().GetDistanceToCurrentNode();
    const int32_t node = Guide().GetCurrentNode();
    ASSERT_GE(distance, 0.0);
    for (int i = 0; i < 40; ++i)
        drive.Tick(waiting, 90.0);
    EXPECT_EQ(Guide().GetCurrentNode(), node);
    EXPECT_EQ(Guide().GetDistanceToCurrentNode(), distance);
    EXPECT_EQ(PlayedSounds().size(), heard);
    // No fix: the distances are unknown, not the last ones.
    drive.Tick(waiting, 90.0, 'V');
    EXPECT_EQ(Guide().GetDistanceToCurrentNode(), -1.0);
    EXPECT_EQ(Guide().GetRemainingDistance(), -1.0);
    ManeuverInfo next[2];
    EXPECT_EQ(Routes().FillManeuverDistances(next, 2), 0);
    drive.Tick(waiting, 90.0);
    EXPECT_GE(Guide().GetDistanceToCurrentNode(), 0.0);
    EXPECT_NEAR(Guide().GetRemainingDistance(), 150 + 200, 15);
    ASSERT_EQ(Routes().GetNextManeuvers(next, 2), 1);
    ASSERT_EQ(Routes().FillManeuverDistances(next, 2), 1);
    EXPECT_EQ(next[0].picture, 13321);
    EXPECT_NEAR(next[0].distance, 150, 15);
    EXPECT_EQ(next[1].picture, PICTURE_FINISH);
    EXPECT_NEAR(next[1].distance, 350, 15);
}

TEST_F(RouteTrackingTest, ARebuildUnderADriverOnTheRouteSaysNothingAboutLeavingIt)
{
    Drive before(m_rig, { m_start, VoraduAt(1300, 400) });
    before.Go();
    ASSERT_EQ(Guide().IsOnRoute(), 1);
    platform::ClearSoundPlayLog();
    ASSERT_EQ(m_rig.Controller().RecreateRoute(), ROUTE_OK);
    EXPECT_EQ(Guide().IsOnRoute(), 0);
    Drive after(m_rig, { VoraduAt(1300, 400), VoraduAt(1400, 400) });
    after.Go();
    EXPECT_EQ(Guide().IsOnRoute(), 1) << "the rebuilt route is taken up again";
    for (const Played& p : PlayedSounds())
        EXPECT_TRUE(p.id != 509 && p.id != 513) << p.id;
}

TEST_F(RouteTrackingTest, ANodeRightUnderThePositionIsTheNearest)
{
    const std::vector<GuideNode>& nodes = Guide().GetNodes();
    ASSERT_GT(nodes.size(), 3u);
    const MapPoint second = nodes[2].Point();
    SetFix(second, 90.0);
    MapPoint at;
    ASSERT_TRUE(GetGpsMapPosition(true, at));
    ASSERT_TRUE(at.x == second.x && at.y == second.y);
    EXPECT_EQ(Guide().FindNearestNode(), 2);
}

} // namespace
