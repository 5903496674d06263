// How the compiler turns roads into road elements and graph edges: a split at
// every junction, one-way roads in their direction, costs by length and by
// road type; and an enciphered map that opens only with its key.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "kernel/api/result_codes.h"
#include "kernel/doc/tzx_doc.h"
#include "tests/support/map_fixture.h"
#include "tools/mapc/map_compiler.h"

namespace {

// Nodes 0.001 degrees apart near the equator, about 111 m.
mapc::OsmData SmallTown()
{
    mapc::OsmData d;
    auto node = [&](int64_t id, double lon, double lat) {
        d.locations.Set(id,
            mapc::Location {
                static_cast<int32_t>(std::lround(lon * 1e7)), static_cast<int32_t>(std::lround(lat * 1e7)) });
    };
    node(1, 0.000, 0.000);
    node(2, 0.001, 0.000);
    node(3, 0.002, 0.000);
    node(4, 0.001, 0.001);
    node(5, 0.001, 0.002);
    d.ways = {
        { 10, { 1, 2, 3 }, { { "highway", "residential" }, { "name", "Main Street" } } },
        { 11, { 2, 4 }, { { "highway", "primary" }, { "oneway", "yes" } } },
        { 12, { 4, 5 }, { { "highway", "service" }, { "oneway", "-1" } } },
        { 13, { 3, 5 }, { { "highway", "footway" } } },
    };
    d.points
        = { { 20, d.locations.at(5), { { "amenity", "cafe" }, { "name", "Corner" }, { "phone", "123" } } } };
    return d;
}

TEST(RoadGraphBuild, SplitsAtJunctionsAndKeepsOneWayDirections)
{
    const mapc::CompiledMap c = mapc::Compile(SmallTown(), {});
    const auto& layers = c.map.layers;
    ASSERT_EQ(layers[mapc::kStreets].records.size(), 2u); // 1-2 and 2-3: split at the junction 2
    ASSERT_EQ(layers[mapc::kHighways].records.size(), 1u);
    ASSERT_EQ(layers[mapc::kServiceRoads].records.size(), 1u);
    EXPECT_EQ(layers[mapc::kFootways].records.size(), 1u);
    EXPECT_EQ(layers[mapc::kMainStreets].records.size(), 0u);

    const mapwriter::Record& primary = layers[mapc::kHighways].records[0];
    EXPECT_TRUE(primary.forward);
    EXPECT_FALSE(primary.backward);
    const mapwriter::Record& service = layers[mapc::kServiceRoads].records[0];
    EXPECT_FALSE(service.forward);
    EXPECT_TRUE(service.backward);

    // Road offsets run over the road layers in order: service, streets, main streets, highways.
    std::map<uint32_t, std::vector<mapwriter::GraphEdge>> byRoad;
    for (const mapwriter::GraphEdge& e : c.graph.edges)
        byRoad[e.roadOffset].push_back(e);
    EXPECT_EQ(c.graph.nodeCount, 5u);
    ASSERT_EQ(c.graph.edges.size(), 6u);
    ASSERT_EQ(byRoad[0].size(), 1u); // the service road, against its direction only
    EXPECT_TRUE(byRoad[0][0].backward);
    EXPECT_EQ(byRoad[1].size(), 2u);
    EXPECT_EQ(byRoad[2].size(), 2u);
    ASSERT_EQ(byRoad[3].size(), 1u); // the primary road, forward only
    EXPECT_FALSE(byRoad[3][0].backward);

    // Cost A is the length in metres, cost B the time in tenths of a second.
    const mapwriter::GraphEdge& street = byRoad[1][0];
    const mapwriter::GraphEdge& fast = byRoad[3][0];
    EXPECT_NEAR(street.costA, 111, 1);
    EXPECT_NEAR(fast.costA, 111, 1);
    EXPECT_NEAR(street.costB, 111 / (30 / 3.6) * 10, 2);
    EXPECT_NEAR(fast.costB, 111 / (60 / 3.6) * 10, 2);
    // Edges into the node where three road ends meet carry the junction flag.
    int junctions = 0;
    for (const mapwriter::GraphEdge& e : c.graph.edges)
        junctions += e.junction;
    EXPECT_EQ(junctions, 2); // 1 -> 2 and 3 -> 2

    // Every road element has a link id of its own.
    std::set<int32_t> links;
    for (int l = mapc::kFirstRoadLayer; l < mapc::kLayerCount; ++l) {
        for (const mapwriter::Record& r : layers[l].records)
            links.insert(r.linkId);
    }
    EXPECT_EQ(links.size(), 4u);
    ASSERT_EQ(c.pois.pois.size(), 1u);
    EXPECT_EQ(c.pois.pois[0].category, 0x204);
    EXPECT_EQ(c.map.codePage, 1); // no Cyrillic name: Western European
}

TEST(RoadGraphBuild, OnlyRoadsACarMayUseJoinTheGraph)
{
    struct Case {
        const char* what;
        mapc::Tags tags;
        int layer; // where it is drawn
        bool car;
    };
    const Case cases[] = {
        { "street", { { "highway", "residential" } }, mapc::kStreets, true },
        { "yard", { { "highway", "service" } }, mapc::kServiceRoads, true },
        { "private yard", { { "highway", "service" }, { "access", "private" } }, mapc::kServiceRoads, false },
        { "track", { { "highway", "track" } }, mapc::kServiceRoads, false },
        { "track for motors", { { "highway", "track" }, { "motor_vehicle", "yes" } }, mapc::kServiceRoads,
            false },
        { "no cars", { { "highway", "residential" }, { "motorcar", "no" } }, mapc::kStreets, false },
        { "no vehicles", { { "highway", "unclassified" }, { "vehicle", "no" } }, mapc::kStreets, false },
        { "farm road", { { "highway", "service" }, { "motor_vehicle", "agricultural;forestry" } },
            mapc::kServiceRoads, false },
        { "deliveries", { { "highway", "residential" }, { "access", "delivery" } }, mapc::kStreets, false },
        { "to the houses",
            { { "highway", "residential" }, { "access", "no" }, { "motorcar", "destination" } },
            mapc::kStreets, true },
        { "permitted", { { "highway", "service" }, { "access", "permissive" } }, mapc::kServiceRoads, true },
        { "cars only", { { "highway", "service" }, { "motor_vehicle", "no" }, { "motorcar", "yes" } },
            mapc::kServiceRoads, true },
        { "unknown", { { "highway", "service" }, { "access", "unknown" } }, mapc::kServiceRoads, true },
        { "emergency", { { "highway", "service" }, { "service", "emergency_access" } }, mapc::kServiceRoads,
            false },
        { "steps", { { "highway", "steps" } }, mapc::kFootways, false },
        { "cycleway", { { "highway", "cycleway" } }, mapc::kFootways, false },
    };
    // Every case a way of its own from node 1 to a node of its own.
    mapc::OsmData d;
    d.locations.Set(1, mapc::Location { 0, 0 });
    for (size_t i = 0; i < std::size(cases); ++i) {
        const int64_t end = static_cast<int64_t>(i) + 2;
        d.locations.Set(end, mapc::Location { static_cast<int32_t>(end * 10000), 10000 });
        d.ways.push_back({ end, { 1, end }, cases[i].tags });
    }
    const mapc::CompiledMap compiled = mapc::Compile(d, {});
    std::set<uint32_t> withEdges;
    for (const mapwriter::GraphEdge& e : compiled.graph.edges)
        withEdges.insert(e.roadOffset);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const int64_t end = static_cast<int64_t>(i) + 2;
        int drawnIn = -1;
        uint32_t roadOffset = 0;
        for (int l = mapc::kFootways; l < mapc::kLayerCount; ++l) {
            for (size_t k = 0; k < compiled.sources[l].size(); ++k) {
                const bool road = l >= mapc::kFirstRoadLayer;
                if (compiled.sources[l][k].nodes.back() == end) {
                    drawnIn = l;
                    const mapwriter::Record& r = compiled.map.layers[l].records[k];
                    EXPECT_EQ(r.forward && r.backward, c.car) << c.what;
                    EXPECT_EQ(r.forward || r.backward, c.car) << c.what;
                    EXPECT_EQ(road && withEdges.count(roadOffset) == 1, c.car) << c.what;
                }
                roadOffset += road;
            }
        }
        EXPECT_EQ(drawnIn, c.layer) << c.what;
    }
    // The six car roads and node 1: the other ways bring no nodes into the graph.
    EXPECT_EQ(compiled.graph.nodeCount, 7u);
}

TEST(EncipheredMap, OpensOnlyWithItsKey)
{
    testing_support::TempFolder folder;
    const std::vector<uint8_t> key = testing_support::FixtureKey();
    mapc::WriteMapFiles(mapc::Compile(SmallTown(), {}), folder.File("town.tzx"), key);

    auto open = [&](const std::vector<uint8_t>& withKey) {
        CZXS_TzxDoc doc;
        ZXS_MapSource source;
        const std::string path = folder.File("town.tzx");
        source.path = path.c_str();
        const int result = doc.Open(&source, withKey.empty() ? nullptr : withKey.data(),
            static_cast<int16_t>(withKey.size()), CZXS_DiskStream::kDisk);
        const int32_t error = doc.GetError();
        return std::make_pair(result, error);
    };
    EXPECT_EQ(open(key), std::make_pair(1, 0));
    std::ifstream keyFile(folder.File("town.key"));
    const std::string keyText(std::istreambuf_iterator<char>(keyFile), {});
    EXPECT_EQ(mapwriter::ParseKeyText(keyText), key);
    EXPECT_EQ(open({}).second, ZXS_KERR_MAGIC);
}

} // namespace
