#include "tools/mapc/layers.h"

namespace mapc {

namespace {

std::array<LayerSpec, kLayerCount> MakeLayers()
{
    std::array<LayerSpec, kLayerCount> layers;
    layers.fill({ "", "", "", 0x20, 0, 255 });
    layers[kTerritories] = { "territories", "Территории", "Territories", 0, 1, 255 };
    layers[kWater] = { "water", "Водоемы", "Water", 0, 2, 255 };
    layers[kRivers] = { "rivers", "Реки", "Rivers", 0, 3, 255 };
    layers[kRailways] = { "railways", "Железные дороги", "Railways", 0x20, 4, 255 };
    layers[kBuildingBlocks] = { "building_blocks", "Кварталы застройки", "Building blocks", 0x20, 17, 255 };
    layers[kBuildings] = { "buildings", "Здания", "Buildings", 0x20, 5, 255 };
    layers[kFootways] = { "footways", "Пешеходные дорожки", "Footways", 0x20, 7, 255 };
    layers[kStreetNames] = { "street_names", "Назв.улиц и площадей", "Streets", 0, 8, 255 };
    layers[kHouses] = { "houses", "Дома", "Houses", 8, 6, 255 };
    layers[kLocalities] = { "localities", "Населенные пункты", "Localities", 0, 9, 1 };
    layers[kOverviewMainStreets]
        = { "overview_main_streets", "Главные улицы (обзор)", "Main streets (overview)", 0x20, 15, 255 };
    layers[kOverviewHighways]
        = { "overview_highways", "Магистрали (обзор)", "Highways (overview)", 0x20, 16, 255 };
    layers[kServiceRoads] = { "service_roads", "Проезды", "Service roads", 0x20, 10, 255 };
    layers[kStreets] = { "streets", "Улицы", "Streets", 0x20, 11, 255 };
    layers[kMainStreets] = { "main_streets", "Главные улицы", "Main streets", 0x20, 12, 255 };
    layers[kHighways] = { "highways", "Магистрали", "Highways", 0x20, 13, 255 };
    layers[kSlipRoads] = { "slip_roads", "Съезды", "Slip roads", 0x20, 14, 255 };
    return layers;
}

} // namespace

const std::array<LayerSpec, kLayerCount> kLayers = MakeLayers();

int LayerOfKey(std::string_view key)
{
    for (int l = 0; l < kLayerCount; ++l) {
        if (!IsEmptyLayer(l) && key == kLayers[static_cast<size_t>(l)].key)
            return l;
    }
    return -1;
}

} // namespace mapc
