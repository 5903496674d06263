// The overview layers: main roads joined across their ways and simplified,
// outside the road graph, for far views.
#include <gtest/gtest.h>

#include "tools/mapc/layers.h"
#include "tools/mapc/map_compiler.h"

namespace {

TEST(OverviewLayers, MainRoadsAreJoinedAndSimplifiedOutsideTheGraph)
{
    mapc::OsmData d;
    // A straight primary road of 40 ways of about 50 m (one way turned round),
    // a side street at every join, and a secondary road with a bend.
    const auto at = [](int64_t i) {
        return mapc::Location { static_cast<int32_t>(376000000 + i * 6000), 558000000 };
    };
    for (int64_t i = 0; i <= 40; ++i) {
        d.locations.Set(i, at(i));
        d.locations.Set(1000 + i, mapc::Location { at(i).x, at(i).y + 5000 });
    }
    for (int64_t i = 0; i < 40; ++i) {
        const std::vector<int64_t> nodes
            = i == 7 ? std::vector<int64_t> { i + 1, i } : std::vector<int64_t> { i, i + 1 };
        d.ways.push_back({ 100 + i, nodes, { { "highway", "primary" }, { "name", "Main Road" } } });
        d.ways.push_back({ 200 + i, { i, 1000 + i }, { { "highway", "residential" } } });
    }
    d.locations.Set(2001, mapc::Location { 376000000, 558100000 });
    d.locations.Set(2002, mapc::Location { 376100000, 558150000 });
    d.locations.Set(2003, mapc::Location { 376200000, 558100000 });
    d.ways.push_back({ 300, { 2001, 2002 }, { { "highway", "secondary" } } });
    d.ways.push_back({ 301, { 2002, 2003 }, { { "highway", "secondary" } } });
    d.ways.push_back({ 302, { 2003, 39 }, { { "highway", "secondary_link" } } });
    const mapc::CompiledMap c = mapc::Compile(d, {});
    const auto& highways = c.map.layers[mapc::kOverviewHighways].records;
    ASSERT_EQ(highways.size(), 1u);
    EXPECT_EQ(highways[0].points.size(), 2u) << "a straight road keeps its ends";
    EXPECT_EQ(highways[0].name, -1);
    EXPECT_FALSE(highways[0].forward || highways[0].backward);
    const auto& sources = c.sources[mapc::kOverviewHighways][0].nodes;
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(std::min(sources[0], sources[1]), 0);
    EXPECT_EQ(std::max(sources[0], sources[1]), 40);
    const auto& main = c.map.layers[mapc::kOverviewMainStreets].records;
    ASSERT_EQ(main.size(), 1u) << "the link stays out";
    EXPECT_EQ(main[0].points.size(), 3u) << "the bend stays";
    // The roads themselves are all in the graph, one element between junctions.
    EXPECT_EQ(c.map.layers[mapc::kHighways].records.size(), 40u);
    EXPECT_EQ(c.graph.edges.size(), 2u * (40 + 40 + 2 + 1));
}

} // namespace
