#pragma once

#include <cstdint>
#include <string_view>

// The layers of a compiled map.
namespace mapc {

// In drawing order. The road layers come last and are consecutive, minor
// roads first.
enum LayerIndex : int {
    kTerritories,
    kWater,
    kRivers,
    kRailways,
    kBuildings,
    kFootways,
    kStreetNames,
    kHouses,
    kLocalities,
    kServiceRoads,
    kStreets,
    kMainStreets,
    kHighways,
    kLayerCount
};
inline constexpr int kFirstRoadLayer = kServiceRoads;
inline constexpr int kRoadLayerCount = kLayerCount - kFirstRoadLayer;

struct LayerSpec {
    const char* key; // the layer's name in the styles table
    const char* russian;
    const char* english;
    uint8_t flags; // 8 linked, 0x20 excluded from name searches
    uint8_t group; // the style group that draws it
    uint8_t symbol; // 255: none
};

// In LayerIndex order.
extern const LayerSpec kLayers[kLayerCount];

// The layer of that key, -1 when there is none.
int LayerOfKey(std::string_view key);

} // namespace mapc
