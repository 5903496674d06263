#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The layers of a compiled map.
namespace mapc {

// In drawing order. The building blocks (the buildings merged where they
// stand close together) lie under the buildings and the roads. The road
// layers come last and are consecutive, minor roads first; the slip roads
// (motorway, trunk and primary links) are layer 112, where guidance looks for
// them. The overview layers after the localities hold the main roads joined
// and simplified for far views, outside the road graph; the layers between
// them and the roads stay empty.
enum LayerIndex : int {
    kTerritories,
    kWater,
    kRivers,
    kRailways,
    kBuildingBlocks,
    kBuildings,
    kFootways,
    kStreetNames,
    kHouses,
    kLocalities,
    kOverviewMainStreets,
    kOverviewHighways,
    kServiceRoads = 108,
    kStreets,
    kMainStreets,
    kHighways,
    kSlipRoads,
    kLayerCount
};
static_assert(kSlipRoads == 112);
inline constexpr int kFirstRoadLayer = kServiceRoads;
inline constexpr int kRoadLayerCount = kLayerCount - kFirstRoadLayer;

struct LayerSpec {
    const char* key; // the layer's name in the styles table; empty for an empty layer
    const char* russian;
    const char* english;
    uint8_t flags; // 8 linked, 0x20 excluded from name searches
    uint8_t group; // the style group that draws it
    uint8_t symbol; // 255: none
};

// In LayerIndex order.
extern const std::array<LayerSpec, kLayerCount> kLayers;
inline bool IsEmptyLayer(int layer) { return kLayers[static_cast<size_t>(layer)].key[0] == 0; }

// The layer of that key, -1 when there is none.
int LayerOfKey(std::string_view key);

} // namespace mapc
