// The router on the maps compiled from the Monaco and Ostankino extracts: on
// seeded random pairs of road points (some on one road) its route costs
// exactly what a plain Dijkstra over the same graph finds, the driven parts of
// the start and finish roads included, with and without journal cost classes;
// and the kroute tool prints a route.
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/router/graph_router.h"
#include "tests/support/map_fixture.h"
#include "tests/support/reference_router.h"
#include "tests/support/run_command.h"

namespace {

// A private copy of a compiled map with its road graph: a map is opened
// without sharing, and the tests run side by side.
std::string CopyMap(const std::string& name, const testing_support::TempFolder& folder)
{
    for (const char* extension : { ".tzx", ".zxg" }) {
        std::error_code error;
        std::filesystem::copy_file(std::string(TRAVENOR_ROUTER_MAPS_DIR) + "/" + name + extension,
            folder.File(name + extension), error);
        EXPECT_FALSE(error) << name << extension << ": " << error.message();
    }
    return folder.File(name + ".tzx");
}

class CompiledMap {
public:
    explicit CompiledMap(const std::string& name)
    {
        const std::string path = CopyMap(name, m_folder);
        ZXS_MapSource source;
        source.path = path.c_str();
        m_open = m_doc.Open(&source, nullptr, 0, CZXS_DiskStream::kDisk) == 1
            && m_doc.RoadGraph().EdgeCount() > 0;
    }
    bool IsOpen() const { return m_open; }
    CZXS_TzxDoc& Doc() { return m_doc; }

    ZXS_Point RandomRoadPoint(std::mt19937& random) const
    {
        return testing_support::RandomRoadPoint(m_doc, random);
    }

private:
    testing_support::TempFolder m_folder;
    CZXS_TzxDoc m_doc;
    bool m_open = false;
};

class ReferenceRouteTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { CZXS_PassageJournal::SetMode(0); } // the compiled maps stay as they are
    void TearDown() override { CZXS_PassageJournal::SetMode(3); }
};

TEST_P(ReferenceRouteTest, RandomPairsCostWhatAPlainDijkstraFinds)
{
    CompiledMap map(GetParam());
    ASSERT_TRUE(map.IsOpen());
    std::mt19937 random(20261210);
    CZXS_GraphRouter router;
    ASSERT_EQ(router.Attach(&map.Doc()), 1);
    int routed = 0;
    int unreachable = 0;
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            // Jams, slow and fast roads and closures on half of the roads, often
            // one way only, so that the two ways along a finish road differ.
            const int32_t roads = map.Doc().RoadObjectCount();
            std::uniform_int_distribution<int32_t> road(0, roads - 1);
            for (int32_t k = 0; k < roads / 2; ++k) {
                CZXS_PassageJournal::Entry e;
                e.roadOffset = static_cast<uint32_t>(road(random));
                e.costClass = static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 15)(random));
                e.directions = static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 3)(random));
                map.Doc().Journal()->Insert(e, -1, false);
            }
        }
        for (int option : { CZXS_Router::kShortest, CZXS_Router::kFastest }) {
            testing_support::ReferenceRouter reference(map.Doc(), option);
            for (int pair = 0; pair < 50; ++pair) {
                router.Clear();
                const ZXS_Point from = map.RandomRoadPoint(random);
                ASSERT_EQ(
                    router.AddPoint(CZXS_Router::kStart, from.x, from.y, 5, -1, CZXS_Router::kAnyName, 0), 0);
                CZXS_RouterPoint start, finish;
                ASSERT_TRUE(router.LegPointAt(0, start));
                // Every fifth finish on the start's own road, ahead of it or behind.
                const std::optional<ZXS_Point> near = pair % 5 == 0
                    ? testing_support::PointOnRoad(
                        map.Doc(), start.roadOffset, std::uniform_real_distribution(0.1, 0.9)(random), random)
                    : std::nullopt;
                const ZXS_Point to = near ? *near : map.RandomRoadPoint(random);
                ASSERT_EQ(
                    router.AddPoint(CZXS_Router::kFinish, to.x, to.y, 5, -1, CZXS_Router::kAnyName, 0), 0);
                ASSERT_TRUE(router.LegPointAt(1, finish));
                const int result = router.Calculate(option);
                const std::optional<uint64_t> expected = reference.Cost(start, finish);
                SCOPED_TRACE(testing::Message() << "round " << round << " option " << option << " from "
                                                << from.x << "," << from.y << " to " << to.x << "," << to.y);
                if (!expected) {
                    EXPECT_EQ(result, CZXS_Router::kUnreachable);
                    ++unreachable;
                    continue;
                }
                ASSERT_EQ(result, 0);
                EXPECT_EQ(router.RouteCost(), *expected);
                ++routed;
                // The route runs from the caller's start to the caller's finish.
                CZXS_RoutePoint first, last;
                ASSERT_TRUE(router.PointAt(0, first));
                ASSERT_TRUE(router.PointAt(router.PointCount() - 1, last));
                EXPECT_EQ(first.flags, CZXS_RoutePoint::kCallerStart);
                EXPECT_EQ(last.flags, CZXS_RoutePoint::kCallerFinish);
                EXPECT_EQ(last.x, to.x);
            }
        }
    }
    // Most pairs connect; the odd one behind a one-way or a closure need not.
    EXPECT_GT(routed, 150);
    EXPECT_EQ(routed + unreachable, 200);
}

INSTANTIATE_TEST_SUITE_P(Extracts, ReferenceRouteTest, ::testing::Values("monaco", "moscow-ostankino"));

std::string RunKroute(const std::string& arguments, int& status)
{
    const testing_support::CommandResult run
        = testing_support::RunCommand(std::string(TRAVENOR_KROUTE) + " " + arguments);
    status = run.status;
    return run.output;
}

TEST(KrouteTest, PrintsTheRoutePointsLengthAndCost)
{
    int status = -1;
    testing_support::TempFolder folder;
    const std::string monaco = CopyMap("monaco", folder);
    std::string out = RunKroute(monaco + " 5000 4000 7000 5000 6000 4000", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.rfind("# x y object branches flags\n5000 4000 -1 1 0x01\n", 0), 0u) << out;
    EXPECT_NE(out.find("\n7000 5000 -1 1 0x40\npoints: "), std::string::npos) << out;
    EXPECT_NE(out.find("\nlength: "), std::string::npos);
    EXPECT_NE(out.find(" m\ncost: "), std::string::npos);
    // The via point ends the first leg and starts the second.
    EXPECT_NE(out.find("6000 4000 -1 1 0x40\n6000 4000 -1 1 0x01\n"), std::string::npos);

    out = RunKroute(monaco + " 100 100 7000 5000", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("no road segment near a point (65)"), std::string::npos) << out;
    out = RunKroute(monaco + " 5000 4000 7000", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("kroute: the points are pairs of numbers"), std::string::npos) << out;
    out = RunKroute(folder.File("missing.tzx") + " 1 2 3 4", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("does not open: the file cannot be opened (kernel code 162)"), std::string::npos)
        << out;
}

TEST(KrouteTest, PairsRouteEveryLineInOneProcess)
{
    int status = -1;
    testing_support::TempFolder folder;
    const std::string monaco = CopyMap("monaco", folder);
    std::string single = RunKroute(monaco + " 5000 4000 7000 5000", status);
    ASSERT_EQ(status, 0) << single;
    const std::string length = single.substr(single.find("length: ") + 8);
    const std::string cost = single.substr(single.find("cost: ") + 6);

    const std::string pairs = folder.File("pairs.txt");
    {
        std::ofstream out(pairs);
        out << "5000 4000 7000 5000\n\n100 100 7000 5000\n  7000 5000   5000 4000 \n";
    }
    std::string out = RunKroute("--pairs " + pairs + " " + monaco, status);
    EXPECT_EQ(status, 1) << out; // one line failed
    std::istringstream lines(out);
    std::string line;
    std::vector<std::string> rows;
    while (std::getline(lines, line))
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 4u) << out;
    EXPECT_EQ(rows[0], "# length_m cost microseconds");
    // The same length and cost as the one-shot form, then the microseconds.
    std::istringstream first(rows[1]);
    std::string m, c;
    long long micro = -1;
    first >> m >> c >> micro;
    EXPECT_EQ(m + " m\n", length.substr(0, length.find('\n') + 1));
    EXPECT_EQ(c + "\n", cost);
    EXPECT_GE(micro, 0);
    EXPECT_EQ(rows[2], "failed: no road segment near a point (65)");
    EXPECT_NE(rows[3].rfind("failed", 0), 0u) << rows[3];

    {
        std::ofstream bad(folder.File("bad.txt"));
        bad << "5000 4000 7000 5000\n5000 4000 7000\n";
    }
    out = RunKroute("--pairs " + folder.File("bad.txt") + " " + monaco, status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(out.find("line 2 of the file of points is not X1 Y1 X2 Y2"), std::string::npos) << out;
    out = RunKroute("--pairs " + folder.File("none.txt") + " " + monaco, status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("cannot be read"), std::string::npos) << out;
    out = RunKroute("--pairs " + pairs + " " + monaco + " 1 2 3 4", status);
    EXPECT_EQ(status, 2);
}

} // namespace
