#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mapc/osm_data.h"
#include "tools/mapwriter/map_writer.h"
#include "tools/mapwriter/poi_writer.h"

namespace mapc {

// The layers of a compiled map, in drawing order. The road layers come last
// and are consecutive, minor roads first.
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

struct CompileOptions {
    int codePage = -1; // -1: 1251 when any name is Cyrillic, else 1252
    uint16_t mapId = 0xE3C1;
    uint32_t created = 0; // kernel clock value written into the header
    std::string title = "Travenor Pro map";
};

// Where a record's points came from: the OpenStreetMap nodes in order (the
// closing node of a closed way left out), and the name it was given (UTF-8).
struct RecordSource {
    std::vector<int64_t> nodes;
    std::string name;
};

struct CompiledMap {
    mapwriter::MapDescription map;
    mapwriter::GraphDescription graph;
    mapwriter::PoiSetDescription pois;
    // Per layer, per record.
    std::vector<std::vector<RecordSource>> sources;
    // Each name's parent (index into map.names), -1 for none.
    std::vector<int32_t> nameParents;
};

// Name ids are the byte offsets of the name records in the names table.
std::vector<int32_t> NameIds(const mapwriter::MapDescription& map);

// The twelve coefficients that place the data's box on the map: one map unit
// per metre, north up, the box's west and north edges 1 km inside the map.
std::vector<double> ProjectionFor(const OsmData& data);

CompiledMap Compile(const OsmData& data, const CompileOptions& options);

// The three files beside each other: "<base>.tzx", ".zxg" and ".zxp", each
// written whole to a temporary file, and all of them complete before any
// replaces the file of its name. An empty key writes a plain map; with a key
// the map is enciphered and the key is written beside it ("<base>.key").
// Throws CompileError.
void WriteMapFiles(const CompiledMap& compiled, const std::string& tzxPath, const std::vector<uint8_t>& key);

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string Utf16(std::string_view utf8);

} // namespace mapc
