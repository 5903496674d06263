// Guidance from route points: nodes, distances, via points, duplicates and
// the maneuvers with their pictures, on synthetic route points laid on the
// shipped map's coordinates; the picture bands at their edges; the next
// maneuver with and without "forks only".
#include "nav/route_guide.h"

#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace navtest;

enum : uint8_t {
    START = 0x01,
    PROJECTION = 0x02,
    ENTRY = 0x04,
    SHAPE = 0x10,
    FINISH_PROJECTION = 0x20,
    FINISH = 0x40,
};

// Route points as the router lays them out, by metres east and north of an
// origin in the middle of the map (map y grows southwards).
class Points {
public:
    Points()
        : m_origin(Crossing(0, 0))
        , m_unit(MetresToMapUnits(1.0))
    {
    }
    Points& At(double east, double north, uint8_t flags, uint8_t branches = 1)
    {
        CZXS_RoutePoint p;
        p.x = m_origin.x + static_cast<int32_t>(std::lround(east * m_unit));
        p.y = m_origin.y - static_cast<int32_t>(std::lround(north * m_unit));
        p.flags = flags;
        p.branches = branches;
        m_points.push_back(p);
        return *this;
    }
    // Shape points every `step` metres from the last point towards (east, north), that one included.
    Points& Line(double east, double north, double step = 50.0)
    {
        const CZXS_RoutePoint from = m_points.back();
        const double x0 = (from.x - m_origin.x) / m_unit, y0 = (m_origin.y - from.y) / m_unit;
        const double length = std::hypot(east - x0, north - y0);
        const int n = std::max(1, static_cast<int>(std::lround(length / step)));
        for (int k = 1; k <= n; ++k)
            At(x0 + (east - x0) * k / n, y0 + (north - y0) * k / n, SHAPE);
        return *this;
    }
    const std::vector<CZXS_RoutePoint>& Get() const { return m_points; }

private:
    MapPoint m_origin;
    double m_unit;
    std::vector<CZXS_RoutePoint> m_points;
};

// Start 10 m south of the road, which runs east from the origin.
Points Departure()
{
    Points p;
    p.At(0, -10, START).At(0, 0, PROJECTION);
    return p;
}

std::vector<int32_t> Pictures(CRouteGuide& guide)
{
    std::vector<int32_t> pictures;
    for (const GuideNode& n : guide.GetNodes())
        if (n.IsManeuver())
            pictures.push_back(n.Picture());
    return pictures;
}

class RouteGuideTest : public ::testing::Test {
protected:
    int Build(const Points& points) { return m_guide.BuildFromRoutePoints(points.Get(), m_rig.Map()); }

    ControllerRig m_rig;
    CRouteGuide m_guide { nullptr };
};

TEST_F(RouteGuideTest, TwoPointsAreTheStartAndTheFinish)
{
    Points p;
    p.At(0, 0, 0).At(300, 0, 0);
    ASSERT_EQ(Build(p), 1);
    ASSERT_EQ(m_guide.NodeCount(), 2);
    EXPECT_EQ(Pictures(m_guide), (std::vector<int32_t> { PICTURE_START, PICTURE_FINISH }));
    EXPECT_NEAR(m_guide.GetNodes()[0].distanceToEnd, 300, 1);
    EXPECT_EQ(m_guide.GetNodes()[1].distanceToEnd, 0);
    EXPECT_EQ(m_guide.FindNextManeuver(1), 1) << "ahead of the start the finish comes next";
    GuideRect rect;
    ASSERT_EQ(m_guide.GetRouteRect(rect), 1);
    EXPECT_EQ(rect.right - rect.left, p.Get()[1].x - p.Get()[0].x);
    EXPECT_EQ(m_guide.BuildFromRoutePoints({}, m_rig.Map()), 0);
    EXPECT_EQ(m_guide.GetRouteRect(rect), 0);
}

TEST_F(RouteGuideTest, ARightAngleJunctionOnEachSide)
{
    struct Case {
        const char* what;
        double north; // where the road goes after the junction
        int32_t picture;
    };
    for (const Case& c : { Case { "left", 300, 13321 }, Case { "right", -300, 13308 } }) {
        Points p = Departure();
        p.Line(300, 0).At(300, 0, ENTRY, 3);
        p.Line(300, c.north).At(300, c.north, FINISH_PROJECTION).At(310, c.north, FINISH);
        ASSERT_EQ(Build(p), 1);
        EXPECT_EQ(Pictures(m_guide), (std::vector<int32_t> { PICTURE_START, c.picture, PICTURE_FINISH }))
            << c.what;
        const GuideNode& junction = m_guide.GetNodes()[static_cast<size_t>(m_guide.FindNextManeuver(2))];
        EXPECT_TRUE(junction.IsFork()) << c.what;
        EXPECT_NEAR(junction.distanceToEnd, 300 + 10, 2) << c.what;
    }
    // Without branches to choose from there is no junction and a plain road bends.
    Points p = Departure();
    p.Line(300, 0).At(300, 0, ENTRY, 1);
    p.Line(300, 300).At(300, 300, FINISH_PROJECTION).At(310, 300, FINISH);
    ASSERT_EQ(Build(p), 1);
    const std::vector<int32_t> pictures = Pictures(m_guide);
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_GE(pictures[1], 13319);
    EXPECT_LE(pictures[1], 13322) << "a left bend of about a right angle";
    EXPECT_FALSE(m_guide.GetNodes()[static_cast<size_t>(m_guide.FindNextManeuver(2))].IsFork());
}

TEST_F(RouteGuideTest, AUTurnAtAJunctionOnEachSide)
{
    for (const auto& [north, picture] : { std::pair { 6.0, 13328 }, std::pair { -6.0, 13303 } }) {
        Points p = Departure();
        p.Line(300, 0).At(300, 0, ENTRY, 3);
        p.Line(0, north).At(0, north, FINISH_PROJECTION).At(0, north + 10, FINISH);
        ASSERT_EQ(Build(p), 1);
        EXPECT_EQ(Pictures(m_guide), (std::vector<int32_t> { PICTURE_START, picture, PICTURE_FINISH }))
            << north;
    }
}

TEST_F(RouteGuideTest, OfTwoBendsOfOneSideWithinTheLookBackOneStays)
{
    Points p = Departure();
    p.Line(300, 0).At(340, 30, SHAPE).At(350, 80, SHAPE);
    p.Line(350, 400).At(350, 400, FINISH_PROJECTION).At(360, 400, FINISH);
    ASSERT_EQ(Build(p), 1);
    int bends = 0;
    for (const GuideNode& n : m_guide.GetNodes())
        bends += n.IsPlainManeuver() && !(n.flags & (START | FINISH));
    EXPECT_EQ(bends, 1);
}

TEST_F(RouteGuideTest, ViaPointsMergeAndDuplicatesGo)
{
    Points p = Departure();
    p.Line(200, 0).At(200, 0, FINISH_PROJECTION).At(200, -5, FINISH);
    p.At(200, -5, START).At(200, 0, PROJECTION);
    p.Line(400, 0).At(400, 0, FINISH_PROJECTION).At(400, 5, FINISH);
    p.At(400, 5, START).At(400, 0, PROJECTION);
    p.Line(600, 0).At(600, 0, FINISH_PROJECTION).At(600, -10, FINISH);
    ASSERT_EQ(Build(p), 1);
    EXPECT_EQ(Pictures(m_guide),
        (std::vector<int32_t> { PICTURE_START, PICTURE_FIRST_VIA, PICTURE_LATER_VIA, PICTURE_FINISH }));
    for (size_t k = 1; k < m_guide.GetNodes().size(); ++k) {
        const GuideNode &a = m_guide.GetNodes()[k - 1], &b = m_guide.GetNodes()[k];
        EXPECT_FALSE(a.x == b.x && a.y == b.y) << "no two nodes on one point, at " << k;
    }

    // A junction point given twice keeps its maneuver.
    Points twice = Departure();
    twice.Line(300, 0).At(300, 0, ENTRY, 3).At(300, 0, SHAPE);
    twice.Line(300, 300).At(300, 300, FINISH_PROJECTION).At(310, 300, FINISH);
    ASSERT_EQ(Build(twice), 1);
    EXPECT_EQ(Pictures(m_guide), (std::vector<int32_t> { PICTURE_START, 13321, PICTURE_FINISH }));
}

TEST_F(RouteGuideTest, ForksOnlySkipsTheBends)
{
    // A left bend on a plain road, then a right turn at a junction.
    Points p = Departure();
    p.Line(300, 0).At(300, 0, SHAPE);
    p.Line(300, 300).At(300, 300, ENTRY, 3);
    p.Line(600, 300).At(600, 300, FINISH_PROJECTION).At(610, 300, FINISH);
    ASSERT_EQ(Build(p), 1);
    const int32_t bend = m_guide.FindNextManeuver(2);
    ASSERT_FALSE(m_guide.GetNodes()[static_cast<size_t>(bend)].IsFork());
    m_guide.SetForksOnly(1);
    const int32_t fork = m_guide.FindNextManeuver(2);
    EXPECT_GT(fork, bend);
    EXPECT_TRUE(m_guide.GetNodes()[static_cast<size_t>(fork)].IsFork());
    EXPECT_EQ(m_guide.GetNodes()[static_cast<size_t>(fork)].Picture(), 13308);
    m_guide.SetForksOnly(0);
    EXPECT_EQ(m_guide.FindNextManeuver(2), bend);
}

// The picture bands at their edges: a turn of just under or over an edge
// angle, on either side.
TEST(ManeuverPictures, BandEdgesOnBothSides)
{
    auto s = [](double degrees) {
        const double c = std::cos(degrees * 3.14159265358979323846 / 180.0);
        return c * std::fabs(c);
    };
    struct Case {
        double angle; // interior angle
        int32_t left;
        int32_t right;
    };
    const Case cases[] = {
        { 6.9, 13328, 13303 },
        { 7.1, 13316, 13303 },
        { 22.4, 13316, 13303 },
        { 22.6, 13317, 13304 },
        { 90.0, 13321, 13308 },
        { 177.9, 13327, 13314 },
        { 178.1, 13315, 13315 },
        { 180.0, 13315, 13315 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ManeuverPicture(s(c.angle), 1), c.left) << c.angle;
        EXPECT_EQ(ManeuverPicture(s(c.angle), 0), c.left) << c.angle;
        EXPECT_EQ(ManeuverPicture(s(c.angle), 2), c.right) << c.angle;
    }
}

} // namespace
