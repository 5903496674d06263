#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "kernel/doc/point_coding.h"

// Settlements and their parts, the parents of street names.
namespace mapc {

struct Locality {
    ZXS_Point at;
    int level; // 0 city or town, 1 village, 2 part of a settlement
    int32_t name;
};

// The level of an OpenStreetMap place value, -1 when it is no locality.
int PlaceLevel(std::string_view place);

// The name of the nearest locality whose level is one of `levels`, -1 when none.
int32_t Nearest(const std::vector<Locality>& places, ZXS_Point at, std::initializer_list<int> levels);

} // namespace mapc
