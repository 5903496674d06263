// Routes on the maps compiled from the Monaco and Ostankino extracts stay on
// roads a car may use. Which ways the source data closes to cars is read here
// from the OpenStreetMap file's own tags, apart from the compiler; each road
// element of a route is traced back to its ways through its source nodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <osmium/io/any_input.hpp>
#include <osmium/osm/way.hpp>

#include "kernel/doc/passage_journal.h"
#include "kernel/router/graph_router.h"
#include "tests/mapc/map_reading.h"
#include "tests/support/map_fixture.h"
#include "tests/support/reference_router.h"
#include "tools/mapc/map_compiler.h"

namespace {

struct SourceWay {
    int64_t id = 0;
    bool closedToCars = false;
    std::string tags; // for the failure message
};

// A way a car may not drive on: not a road for motor traffic, or closed by
// the most specific access key that is set.
bool ClosedToCars(const osmium::TagList& tags)
{
    const std::string highway = tags.get_value_by_key("highway", "");
    static const std::vector<std::string> roads = { "motorway", "motorway_link", "trunk", "trunk_link",
        "primary", "primary_link", "secondary", "secondary_link", "tertiary", "tertiary_link", "unclassified",
        "residential", "living_street", "service", "road" };
    if (std::find(roads.begin(), roads.end(), highway) == roads.end())
        return true;
    for (const char* key : { "motorcar", "motor_vehicle", "vehicle", "access" }) {
        const std::string value = tags.get_value_by_key(key, "");
        if (value.empty())
            continue;
        for (const char* closed : { "no", "private", "agricultural", "forestry", "delivery" }) {
            if (value == closed)
                return true;
        }
        return false;
    }
    return false;
}

struct Extract {
    testing_support::TempFolder folder;
    mapc::CompiledMap compiled;
    std::unique_ptr<mapc_testing::LoadedMap> loaded;
    std::vector<const mapc::RecordSource*> sourceOfObject;
    std::vector<SourceWay> ways;
    // Ways by each pair of neighbouring nodes, the smaller id first.
    std::map<std::pair<int64_t, int64_t>, std::vector<size_t>> waysOfStep;
    size_t closedWays = 0;

    explicit Extract(const std::string& name)
    {
        const std::string source = std::string(TRAVENOR_SHARED_DATA_DIR) + "/osm/" + name;
        compiled = mapc::Compile(mapc::ReadOsm(source), {});
        mapc::WriteMapFiles(compiled, folder.File("extract.tzx"), {});
        loaded = mapc_testing::LoadMap(folder.File("extract.tzx"));
        for (const auto& layer : compiled.sources) {
            for (const mapc::RecordSource& record : layer)
                sourceOfObject.push_back(&record);
        }
        osmium::io::Reader reader { source, osmium::osm_entity_bits::way };
        while (osmium::memory::Buffer buffer = reader.read()) {
            for (const auto& way : buffer.select<osmium::Way>()) {
                if (way.tags().get_value_by_key("highway") == nullptr)
                    continue;
                SourceWay w { way.id(), ClosedToCars(way.tags()), "" };
                for (const osmium::Tag& tag : way.tags())
                    w.tags += std::string(tag.key()) + "=" + tag.value() + " ";
                closedWays += w.closedToCars;
                const auto& nodes = way.nodes();
                for (size_t i = 0; i + 1 < nodes.size(); ++i) {
                    const int64_t a = nodes[i].ref();
                    const int64_t b = nodes[i + 1].ref();
                    waysOfStep[{ std::min(a, b), std::max(a, b) }].push_back(ways.size());
                }
                ways.push_back(std::move(w));
            }
        }
        reader.close();
    }

    // A way closed to cars that the road element runs along: one of its steps
    // lies only on closed ways.
    const SourceWay* ClosedWayUnder(int32_t object) const
    {
        const std::vector<int64_t>& nodes = sourceOfObject.at(static_cast<size_t>(object))->nodes;
        for (size_t i = 0; i + 1 < nodes.size(); ++i) {
            const auto it
                = waysOfStep.find({ std::min(nodes[i], nodes[i + 1]), std::max(nodes[i], nodes[i + 1]) });
            if (it == waysOfStep.end())
                continue;
            bool open = false;
            for (size_t w : it->second)
                open = open || !ways[w].closedToCars;
            if (!open)
                return &ways[it->second.front()];
        }
        return nullptr;
    }
};

class CarRoutesTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { CZXS_PassageJournal::SetMode(0); }
    void TearDown() override { CZXS_PassageJournal::SetMode(3); }
};

TEST_P(CarRoutesTest, NoRouteRunsOnAWayClosedToCars)
{
    const Extract extract(GetParam());
    ASSERT_NE(extract.loaded->doc, nullptr);
    CZXS_TzxDoc& doc = *extract.loaded->doc;
    // The extract has ways closed to cars for the routes to keep off.
    EXPECT_GT(extract.closedWays, 100u);

    CZXS_GraphRouter router;
    ASSERT_EQ(router.Attach(&doc), 1);
    std::mt19937 random(2026);
    int routed = 0;
    for (int pair = 0; pair < 200; ++pair) {
        const ZXS_Point from = testing_support::RandomRoadPoint(doc, random);
        const ZXS_Point to = testing_support::RandomRoadPoint(doc, random);
        router.Clear();
        ASSERT_EQ(router.AddPoint(CZXS_Router::kStart, from.x, from.y, 5, -1, CZXS_Router::kAnyName, 0), 0);
        ASSERT_EQ(router.AddPoint(CZXS_Router::kFinish, to.x, to.y, 5, -1, CZXS_Router::kAnyName, 0), 0);
        const int option = pair % 2 == 0 ? CZXS_Router::kShortest : CZXS_Router::kFastest;
        if (router.Calculate(option) != 0)
            continue;
        ++routed;
        CZXS_RoutePoint p;
        int32_t last = -1;
        for (uint32_t i = 0; router.PointAt(i, p); ++i) {
            if (p.object < 0 || p.object == last)
                continue;
            last = p.object;
            if (const SourceWay* closed = extract.ClosedWayUnder(p.object))
                ADD_FAILURE() << "pair " << pair << " option " << option << " from " << from.x << ","
                              << from.y << " to " << to.x << "," << to.y << " runs on way " << closed->id
                              << ": " << closed->tags;
        }
    }
    // Most pairs connect; a few lie on car roads cut off by closed ones.
    EXPECT_GT(routed, 150);
}

INSTANTIATE_TEST_SUITE_P(Extracts, CarRoutesTest,
    ::testing::Values("monaco.osm.pbf", "moscow-ostankino.osm.gz"), [](const auto& info) {
        return std::string(info.param).substr(0, std::string(info.param).find_first_of(".-"));
    });

} // namespace
