#pragma once
// Reading back what the map compiler wrote, through the kernel's own loader.
#include <memory>
#include <string>
#include <vector>

#include "kernel/doc/point_coding.h"
#include "kernel/doc/tzx_doc.h"

namespace mapc_testing {

// A map and its road graph read into memory and opened from there: maps on
// disk are opened exclusively, and tests running side by side share them.
struct LoadedMap {
    std::vector<uint8_t> map, graph;
    std::unique_ptr<CZXS_TzxDoc> doc; // none when the kernel refused the map
    int32_t error = -1;
};
std::unique_ptr<LoadedMap> LoadMap(const std::string& tzxPath);

// The points of object record `number` as the point iterator gives them.
std::vector<ZXS_Point> DecodeRecord(const CZXS_TzxDoc& doc, uint32_t number);

struct NameRecord {
    uint8_t kind = 255;
    uint32_t prefix = 0xFFFFFF;
    std::string text;
};
// The record of a name id in a map whose names carry prefixes.
NameRecord ReadName(const CZXS_TzxDoc& doc, int32_t nameId);

// Road nodes in the largest set of nodes that all reach each other, and all road nodes.
struct Connectivity {
    uint32_t core = 0;
    uint32_t nodes = 0;
};
Connectivity StrongCore(const CZXS_TzxDoc& doc);

} // namespace mapc_testing
