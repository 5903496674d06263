// Motorway, trunk and primary links go to the slip-road layer (112), where
// guidance looks for them; other links stay with their roads.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/mapc/map_compiler.h"

namespace {

TEST(SlipRoadLayer, MajorRoadLinksAreSlipRoads)
{
    mapc::OsmData d;
    for (int64_t id = 1; id <= 12; ++id)
        d.locations.Set(
            id, mapc::Location { static_cast<int32_t>(id * 10000), static_cast<int32_t>((id % 2) * 10000) });
    const char* const kinds[]
        = { "motorway_link", "trunk_link", "primary_link", "secondary_link", "primary", "tertiary_link" };
    for (int k = 0; k < 6; ++k)
        d.ways.push_back({ 10 + k, { 2 * k + 1, 2 * k + 2 }, { { "highway", kinds[k] } } });
    const mapc::CompiledMap c = mapc::Compile(d, {});
    const auto& layers = c.map.layers;
    ASSERT_EQ(layers.size(), 113u);
    EXPECT_EQ(mapc::kSlipRoads, 112);
    EXPECT_EQ(layers[mapc::kSlipRoads].records.size(), 3u);
    EXPECT_EQ(layers[mapc::kHighways].records.size(), 1u);
    EXPECT_EQ(layers[mapc::kMainStreets].records.size(), 1u);
    EXPECT_EQ(layers[mapc::kStreets].records.size(), 1u);
    EXPECT_EQ(c.map.firstRoadLayer, mapc::kServiceRoads);
    EXPECT_EQ(c.map.roadLayerCount, 5);
    // A motorway link runs one way unless tagged otherwise; the others both ways.
    EXPECT_FALSE(layers[mapc::kSlipRoads].records[0].backward);
    // The primary road in the overview, not its links; the empty layers between
    // the overview and the roads carry no name.
    EXPECT_EQ(layers[mapc::kOverviewHighways].records.size(), 1u);
    EXPECT_TRUE(layers[mapc::kOverviewMainStreets].records.empty());
    for (int l = mapc::kOverviewHighways + 1; l < mapc::kServiceRoads; ++l) {
        EXPECT_TRUE(layers[static_cast<size_t>(l)].records.empty()) << l;
        EXPECT_EQ(layers[static_cast<size_t>(l)].nameWord, -1) << l;
    }
}

} // namespace
