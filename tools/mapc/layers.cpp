#include "tools/mapc/layers.h"

namespace mapc {

const LayerSpec kLayers[kLayerCount] = {
    { "territories", "Территории", "Territories", 0, 1, 255 },
    { "water", "Водоемы", "Water", 0, 2, 255 },
    { "rivers", "Реки", "Rivers", 0, 3, 255 },
    { "railways", "Железные дороги", "Railways", 0x20, 4, 255 },
    { "buildings", "Здания", "Buildings", 0x20, 5, 255 },
    { "footways", "Пешеходные дорожки", "Footways", 0x20, 7, 255 },
    { "street_names", "Назв.улиц и площадей", "Streets", 0, 8, 255 },
    { "houses", "Дома", "Houses", 8, 6, 255 },
    { "localities", "Населенные пункты", "Localities", 0, 9, 1 },
    { "service_roads", "Проезды", "Service roads", 0x20, 10, 255 },
    { "streets", "Улицы", "Streets", 0x20, 11, 255 },
    { "main_streets", "Главные улицы", "Main streets", 0x20, 12, 255 },
    { "highways", "Магистрали", "Highways", 0x20, 13, 255 },
};

int LayerOfKey(std::string_view key)
{
    for (int l = 0; l < kLayerCount; ++l) {
        if (key == kLayers[l].key)
            return l;
    }
    return -1;
}

} // namespace mapc
