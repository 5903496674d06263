// The road-graph router on small road networks drawn as pictures: one-ways,
// via points, closures and cost classes from the passage journal, and the
// failures a caller sees.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "kernel/doc/kernel_memory.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/router/graph_router.h"
#include "tests/support/map_fixture.h"

namespace {

using testing_support::TempFolder;
using Journal = CZXS_PassageJournal;

constexpr int32_t kOrigin = 30000;
constexpr int32_t kColumn = 40; // map units per character of a picture
constexpr int32_t kRow = 160; // map units per line of a picture
constexpr int32_t kRadius = 60;

// A road network drawn as text: letters are junctions, and every road joins
// two of them. "AB" is two-way, "A>B" one-way from A to B; a road's geometry
// runs from its first letter to its second through a midpoint.
struct Network {
    std::string picture;
    std::vector<std::string> roads;
};

struct Road {
    std::string name; // the two junction letters
    ZXS_Point from, to;
};

class DrawnMap {
public:
    explicit DrawnMap(const Network& network, void (*adjust)(mapwriter::GraphDescription&) = nullptr)
    {
        std::map<char, ZXS_Point> junctions;
        int row = 0;
        int column = 0;
        for (char c : network.picture) {
            if (c == '\n') {
                ++row;
                column = 0;
                continue;
            }
            if (c >= 'A' && c <= 'Z')
                junctions[c] = { kOrigin + column * kColumn, kOrigin + row * kRow };
            ++column;
        }
        mapwriter::MapDescription map = testing_support::SmallMap();
        mapwriter::Layer& layer = map.layers[1];
        layer.records.clear();
        int32_t link = 200;
        for (const std::string& text : network.roads) {
            const bool oneWay = text.size() == 3;
            Road road { { text.front(), text.back() }, junctions.at(text.front()),
                junctions.at(text.back()) };
            mapwriter::Record r;
            r.points
                = { road.from, { (road.from.x + road.to.x) / 2, (road.from.y + road.to.y) / 2 }, road.to };
            r.linkId = link++;
            r.forward = true;
            r.backward = !oneWay;
            layer.records.push_back(r);
            m_roads.push_back(road);
        }
        mapwriter::GraphDescription graph = mapwriter::BuildRoadGraph(map);
        if (adjust != nullptr)
            adjust(graph);
        mapwriter::SaveFile(m_folder.File("drawn.tzx"), mapwriter::WriteTzx(map));
        mapwriter::SaveFile(m_folder.File("drawn.zxg"), mapwriter::WriteZxg(graph));
        const std::string path = m_folder.File("drawn.tzx");
        ZXS_MapSource source;
        source.path = path.c_str();
        EXPECT_EQ(m_doc.Open(&source, nullptr, 0, CZXS_DiskStream::kDisk), 1);
        EXPECT_EQ(router.Attach(&m_doc), graph.edges.empty() ? 0 : 1);
    }

    // A point on the road, `share` of the way from its first junction, a little off it.
    ZXS_Point On(const std::string& name, double share = 0.5) const
    {
        const Road& r = RoadNamed(name);
        return { static_cast<int32_t>(r.from.x + (r.to.x - r.from.x) * share) + 3,
            static_cast<int32_t>(r.from.y + (r.to.y - r.from.y) * share) + 4 };
    }
    uint32_t Offset(const std::string& name) const
    {
        for (size_t i = 0; i < m_roads.size(); ++i) {
            if (m_roads[i].name == name)
                return static_cast<uint32_t>(i);
        }
        ADD_FAILURE() << "no road " << name;
        return 0;
    }
    int Add(int kind, ZXS_Point p, int useJournal = 1)
    {
        return router.AddPoint(kind, p.x, p.y, kRadius, -1, CZXS_Router::kAnyName, useJournal);
    }
    int Route(const std::string& from, const std::string& to, int option = CZXS_Router::kFastest)
    {
        router.Clear();
        EXPECT_EQ(Add(CZXS_Router::kStart, On(from)), 0);
        EXPECT_EQ(Add(CZXS_Router::kFinish, On(to)), 0);
        return router.Calculate(option);
    }
    // The roads the route runs along, in order, each once per stretch.
    std::vector<std::string> Roads() const
    {
        std::vector<std::string> names;
        CZXS_RoutePoint p;
        for (uint32_t i = 0; router.PointAt(i, p); ++i) {
            if (p.object < 0)
                continue;
            const std::string& name = m_roads[static_cast<size_t>(p.object - m_doc.FirstRoadObject())].name;
            if (names.empty() || names.back() != name || (p.flags & CZXS_RoutePoint::kElementEntry))
                names.push_back(name);
        }
        return names;
    }
    std::vector<CZXS_RoutePoint> Points() const
    {
        std::vector<CZXS_RoutePoint> points(router.PointCount());
        for (uint32_t i = 0; i < points.size(); ++i)
            router.PointAt(i, points[i]);
        return points;
    }
    void SetClass(const std::string& road, uint8_t costClass, uint8_t directions)
    {
        Journal::Entry e;
        e.roadOffset = Offset(road);
        e.costClass = costClass;
        e.directions = directions;
        ASSERT_GE(m_doc.Journal()->Insert(e, -1, false), 0);
    }
    void ClearClasses() { m_doc.Journal()->ClearAll(); }
    CZXS_TzxDoc& Doc() { return m_doc; }

    CZXS_GraphRouter router;

private:
    const Road& RoadNamed(const std::string& name) const { return m_roads[Offset(name)]; }

    TempFolder m_folder;
    std::vector<Road> m_roads;
    CZXS_TzxDoc m_doc;
};

using Names = std::vector<std::string>;

// Each road of the ring is 320 units long, and its edges cost that much.
const char* const kRing = "A-------B-------C\n"
                          "|               |\n"
                          "D-------E-------F\n";

class GraphRouterTest : public ::testing::Test {
protected:
    void SetUp() override { Journal::SetMode(0); } // no journal files
    void TearDown() override { Journal::SetMode(3); }
};

TEST(EdgeCostTest, CostClassesScaleTheBaseAndFifteenForbids)
{
    struct Case {
        uint8_t costClass;
        uint32_t base, cost;
    };
    const Case cases[] = { { 0, 100, 75 }, { 1, 100, 88 }, { 2, 100, 100 }, { 3, 3, 4 }, { 4, 3, 7 },
        { 5, 100, 400 }, { 6, 100, 800 }, { 7, 32767, 524272 }, { 8, 9, 9 }, { 13, 9, 9 }, { 14, 9, 9 },
        { 15, 9, CZXS_GraphRouter::kForbidden } };
    for (const Case& c : cases)
        EXPECT_EQ(CZXS_GraphRouter::EdgeCost(c.base, c.costClass), c.cost) << int(c.costClass);
}

TEST_F(GraphRouterTest, OneWayRoadsAreFollowedOnlyTheirWay)
{
    {
        DrawnMap map({ kRing, { "AB", "BC", "AD", "CF", "DE", "EF" } });
        ASSERT_EQ(map.Route("AB", "CF"), 0);
        EXPECT_EQ(map.Roads(), (Names { "AB", "BC", "CF" }));
        // Of AB the rest from the start (157: the points lie 3 or 4 units past
        // a road's middle), BC whole, of CF the part up to the finish (164).
        EXPECT_EQ(map.router.RouteCost(), 157u + 320u + 164u);
    }
    {
        DrawnMap map({ kRing, { "AB", "C>B", "AD", "CF", "DE", "EF" } });
        ASSERT_EQ(map.Route("AB", "CF"), 0);
        EXPECT_EQ(map.Roads(), (Names { "AB", "AD", "DE", "EF", "CF" }));
        EXPECT_EQ(map.router.RouteCost(), 163u + 3 * 320u + 156u); // back to A, up CF from F
    }
}

TEST_F(GraphRouterTest, ViaPointsSplitTheRouteIntoLegs)
{
    DrawnMap map({ kRing, { "AB", "BC", "AD", "CF", "DE", "EF" } });
    EXPECT_EQ(map.Add(CZXS_Router::kStart, map.On("AB")), 0);
    EXPECT_EQ(map.Add(CZXS_Router::kFinish, map.On("BC")), 0); // the finish may come first
    EXPECT_EQ(map.Add(CZXS_Router::kVia, map.On("DE")), 0);
    ASSERT_EQ(map.router.Calculate(CZXS_Router::kShortest), 0);
    EXPECT_EQ(map.Roads(), (Names { "AB", "AD", "DE", "EF", "CF", "BC" }));
    EXPECT_EQ(map.router.RouteCost(), 640u + 960u);

    // Each leg runs from its caller's start point to its caller's finish
    // point, so the via point is there twice in a row.
    const std::vector<CZXS_RoutePoint> points = map.Points();
    const ZXS_Point via = map.On("DE");
    int callerStarts = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i].flags == CZXS_RoutePoint::kCallerFinish && i + 1 < points.size()) {
            EXPECT_EQ(points[i].x, via.x);
            EXPECT_EQ(points[i].y, via.y);
            EXPECT_EQ(points[i + 1].flags, CZXS_RoutePoint::kCallerStart);
            EXPECT_EQ(points[i + 1].x, via.x);
            EXPECT_EQ(points[i + 1].y, via.y);
        }
        callerStarts += points[i].flags == CZXS_RoutePoint::kCallerStart;
    }
    EXPECT_EQ(callerStarts, 2);
}

TEST_F(GraphRouterTest, RoutePointsFollowTheGeometryWithTheirFlags)
{
    DrawnMap map({ kRing, { "AB", "BC", "AD", "CF", "DE", "EF" } });
    map.router.Clear();
    const ZXS_Point start = map.On("AB", 0.25);
    const ZXS_Point finish = map.On("BC", 0.75);
    ASSERT_EQ(map.Add(CZXS_Router::kStart, start), 0);
    ASSERT_EQ(map.Add(CZXS_Router::kFinish, finish), 0);
    ASSERT_EQ(map.router.Calculate(CZXS_Router::kFastest), 0);
    const int32_t ab = map.Doc().FirstRoadObject();
    const int32_t bc = ab + 1;
    const int32_t b = kOrigin + 8 * kColumn;
    // The caller's start and its projection onto AB, AB's midpoint, B as the
    // entry of BC (AB's own end point at B gives way to it; two edges leave B),
    // BC's midpoint, the projection onto BC and the caller's finish.
    struct Expected {
        int32_t x, y, object;
        uint8_t branches, flags;
    };
    const Expected expected[] = {
        { start.x, start.y, -1, 1, CZXS_RoutePoint::kCallerStart },
        { start.x, kOrigin, ab, 1, CZXS_RoutePoint::kStartProjection },
        { kOrigin + 4 * kColumn, kOrigin, ab, 1, CZXS_RoutePoint::kShapePoint },
        { b, kOrigin, bc, 2, CZXS_RoutePoint::kElementEntry },
        { kOrigin + 12 * kColumn, kOrigin, bc, 1, CZXS_RoutePoint::kShapePoint },
        { finish.x, kOrigin, -1, 1, CZXS_RoutePoint::kFinishProjection },
        { finish.x, finish.y, -1, 1, CZXS_RoutePoint::kCallerFinish },
    };
    const std::vector<CZXS_RoutePoint> p = map.Points();
    ASSERT_EQ(p.size(), std::size(expected));
    for (size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].x, expected[i].x) << i;
        EXPECT_EQ(p[i].y, expected[i].y) << i;
        EXPECT_EQ(p[i].object, expected[i].object) << i;
        EXPECT_EQ(p[i].branches, expected[i].branches) << i;
        EXPECT_EQ(p[i].flags, expected[i].flags) << i;
    }
}

TEST_F(GraphRouterTest, JournalClassesAndClosuresFlipTheRoute)
{
    DrawnMap map({ kRing, { "AB", "BC", "AD", "CF", "DE", "EF" } });
    struct Case {
        uint8_t costClass;
        uint8_t directions;
        Names roads;
        uint64_t cost;
    };
    // The start and finish roads are charged the parts driven, as above.
    const Names direct { "AB", "BC", "CF" };
    const Names around { "AB", "AD", "DE", "EF", "CF" };
    const Case cases[] = {
        { 14, 3, direct, 641 }, // unchanged
        { 3, 3, direct, 801 }, // x1.5 is still cheaper than going round
        { 5, 3, around, 1279 }, // x4 is not
        { 15, 3, around, 1279 }, // closed both ways
        { 15, 2, direct, 641 }, // closed only against our way
        { 15, 1, around, 1279 }, // closed our way
        { 0, 3, direct, 561 }, // x0.75
    };
    for (const Case& c : cases) {
        map.ClearClasses();
        map.SetClass("BC", c.costClass, c.directions);
        ASSERT_EQ(map.Route("AB", "CF"), 0) << int(c.costClass);
        EXPECT_EQ(map.Roads(), c.roads) << int(c.costClass) << " " << int(c.directions);
        EXPECT_EQ(map.router.RouteCost(), c.cost) << int(c.costClass) << " " << int(c.directions);
    }
    // Shortest and fastest use their own base costs alike here.
    map.ClearClasses();
    ASSERT_EQ(map.Route("AB", "CF", CZXS_Router::kShortest), 0);
    EXPECT_EQ(map.router.RouteCost(), 641u);
}

TEST_F(GraphRouterTest, ADearFinishEdgeReachedFirstDoesNotEndTheSearch)
{
    // The finish road BD is dear from B (x16) but cheap from D. Leaving the
    // start on AB towards B reaches BD first; the cheaper way is round by C.
    DrawnMap map({ "A-------B\n"
                   "|       |\n"
                   "C-------D\n",
        { "AB", "BD", "AC", "CD" } });
    map.SetClass("BD", 7, Journal::kForward);
    ASSERT_EQ(map.Route("AB", "BD"), 0);
    EXPECT_EQ(map.Roads(), (Names { "AB", "AC", "CD", "BD" }));
    EXPECT_EQ(map.router.RouteCost(), 163u + 320u + 320u + 156u);
}

TEST_F(GraphRouterTest, OnALongRoadTheWayTowardsTheNearEndWins)
{
    // The start lies near B on the long road AB; the finish road CD is nearer
    // to A than to B through the rest of the network. Driving back to A would
    // take 579 of AB, on to B only 61: the way by B is shorter on the road.
    DrawnMap map({ "A---------------B\n"
                   "|               |\n"
                   "C-------D-------E\n",
        { "AB", "AC", "BE", "DE", "CD" } });
    for (int option : { CZXS_Router::kShortest, CZXS_Router::kFastest }) {
        map.router.Clear();
        ASSERT_EQ(map.Add(CZXS_Router::kStart, map.On("AB", 0.9)), 0);
        ASSERT_EQ(map.Add(CZXS_Router::kFinish, map.On("CD", 0.4)), 0);
        ASSERT_EQ(map.router.Calculate(option), 0);
        EXPECT_EQ(map.Roads(), (Names { "AB", "BE", "DE", "CD" })) << option;
        // The rest of AB, BE and DE whole, and CD from D to the finish.
        EXPECT_EQ(map.router.RouteCost(), 61u + 320u + 320u + 189u) << option;
    }
}

TEST_F(GraphRouterTest, FinishBehindTheStartOnTheSameRoad)
{
    const Names ring { "AB", "BC", "AD", "CF", "DE", "EF" };
    {
        // Two-way: straight back along the road, charged the stretch between the points.
        DrawnMap map({ kRing, ring });
        map.router.Clear();
        ASSERT_EQ(map.Add(CZXS_Router::kStart, map.On("AB", 0.75)), 0);
        ASSERT_EQ(map.Add(CZXS_Router::kFinish, map.On("AB", 0.25)), 0);
        ASSERT_EQ(map.router.Calculate(CZXS_Router::kFastest), 0);
        EXPECT_EQ(map.Roads(), (Names { "AB" }));
        EXPECT_EQ(map.router.RouteCost(), 160u);
        const std::vector<CZXS_RoutePoint> p = map.Points();
        ASSERT_EQ(p.size(), 5u); // start, projection, the midpoint, projection, finish
        EXPECT_GT(p[1].x, p[2].x);
        EXPECT_GT(p[2].x, p[3].x);
    }
    {
        // One-way A to B: round the ring and onto AB again from A.
        DrawnMap map({ kRing, { "A>B", "BC", "AD", "CF", "DE", "EF" } });
        map.router.Clear();
        ASSERT_EQ(map.Add(CZXS_Router::kStart, map.On("AB", 0.75)), 0);
        ASSERT_EQ(map.Add(CZXS_Router::kFinish, map.On("AB", 0.25)), 0);
        ASSERT_EQ(map.router.Calculate(CZXS_Router::kFastest), 0);
        EXPECT_EQ(map.Roads(), (Names { "AB", "BC", "CF", "EF", "DE", "AD", "AB" }));
        // On to B (77), round the ring, then from A to the finish (83).
        EXPECT_EQ(map.router.RouteCost(), 77u + 5 * 320u + 83u);
        // Every step along AB goes from A towards B.
        const std::vector<CZXS_RoutePoint> p = map.Points();
        for (size_t i = 1; i + 1 < p.size(); ++i) {
            if (p[i].object == map.Doc().FirstRoadObject() && p[i + 1].object == p[i].object) {
                EXPECT_LT(p[i].x, p[i + 1].x) << i;
            }
        }
    }
}

TEST_F(GraphRouterTest, FailuresTheCallerSees)
{
    DrawnMap map({ kRing, { "AB", "BC", "AD", "CF", "DE", "EF" } });
    // Nothing to route with one point.
    map.router.Clear();
    ASSERT_EQ(map.Add(CZXS_Router::kStart, map.On("AB")), 0);
    EXPECT_EQ(map.router.Calculate(CZXS_Router::kFastest), 2);
    // No road near the point.
    EXPECT_EQ(map.Add(CZXS_Router::kFinish, { kOrigin + 2000, kOrigin + 2000 }), CZXS_Router::kNoRoadNear);
    EXPECT_EQ(map.Add(CZXS_Router::kVia, { kOrigin - 500, kOrigin }), CZXS_Router::kNoRoadNear);
    // The finish road closed off on both sides: it cannot be reached.
    map.SetClass("AD", 15, 3);
    map.SetClass("EF", 15, 3);
    EXPECT_EQ(map.Route("AB", "DE"), CZXS_Router::kUnreachable);
    EXPECT_EQ(map.router.PointCount(), 0u);
    map.ClearClasses();
    EXPECT_EQ(map.Route("AB", "DE"), 0);
    // Memory running out is reported, and the next calculation works.
    ZXS_FailNextAllocations(1);
    EXPECT_EQ(map.router.Calculate(CZXS_Router::kFastest), CZXS_Router::kNoMemory);
    ZXS_FailNextAllocations(0);
    EXPECT_EQ(map.router.Calculate(CZXS_Router::kFastest), 0);
}

TEST_F(GraphRouterTest, ARoadWithoutEdgesGives64)
{
    // The graph leaves out the edges of road DE.
    DrawnMap map({ kRing, { "AB", "BC", "AD", "CF", "DE", "EF" } }, [](mapwriter::GraphDescription& g) {
        std::erase_if(g.edges, [](const mapwriter::GraphEdge& e) { return e.roadOffset == 4; });
    });
    EXPECT_EQ(map.Route("AB", "DE"), CZXS_Router::kNoEdge);
    EXPECT_EQ(map.Route("DE", "AB"), CZXS_Router::kNoEdge);
    EXPECT_EQ(map.Route("AB", "EF"), 0);
}

TEST_F(GraphRouterTest, RequestsDoNotLeakIntoEachOther)
{
    DrawnMap map({ kRing, { "AB", "BC", "AD", "CF", "DE", "EF" } });
    ASSERT_EQ(map.Route("AB", "EF"), 0);
    const std::vector<CZXS_RoutePoint> first = map.Points();
    const uint64_t cost = map.router.RouteCost();
    ASSERT_EQ(map.Route("BC", "AD"), 0);
    ASSERT_EQ(map.Route("AB", "EF"), 0);
    const std::vector<CZXS_RoutePoint> again = map.Points();
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(again[i].x, first[i].x);
        EXPECT_EQ(again[i].flags, first[i].flags);
    }
    EXPECT_EQ(map.router.RouteCost(), cost);
    // Setting the start again moves it rather than adding a leg.
    EXPECT_EQ(map.Add(CZXS_Router::kStart, map.On("BC")), 0);
    EXPECT_EQ(map.router.LegPointCount(), 2u);
    // Via numbers start again after a clear.
    map.router.Clear();
    int result = 0;
    uint32_t vias = 0;
    while ((result = map.Add(CZXS_Router::kVia, map.On("DE"))) == 0)
        ++vias;
    EXPECT_EQ(result, CZXS_Router::kTooManyVias);
    EXPECT_EQ(vias, 0xfffdu);
    map.router.Clear();
    EXPECT_EQ(map.Add(CZXS_Router::kVia, map.On("DE")), 0);
}

TEST_F(GraphRouterTest, AMapWithoutGraphEdgesComputesNothing)
{
    DrawnMap map({ kRing, { "AB", "BC" } }, [](mapwriter::GraphDescription& g) { g.edges.clear(); });
    CZXS_GraphRouter graphRouter;
    EXPECT_EQ(graphRouter.Attach(&map.Doc()), 0);
    EXPECT_FALSE(graphRouter.IsReady());
    CZXS_Router plain;
    ASSERT_EQ(plain.Attach(&map.Doc()), 1);
    EXPECT_EQ(plain.AddPoint(CZXS_Router::kStart, 0, 0, 10, -1, CZXS_Router::kAnyName, 0),
        CZXS_Router::kNotSupported);
    EXPECT_EQ(plain.Calculate(CZXS_Router::kFastest), 0);
    EXPECT_EQ(plain.PointCount(), 0u);
}

} // namespace
