#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mapc/layers.h"
#include "tools/mapc/osm_data.h"
#include "tools/mapwriter/map_writer.h"
#include "tools/mapwriter/poi_writer.h"

// The map compiler: OpenStreetMap data in, the descriptions of the map, its
// road graph and its POI set out. Its steps live beside it: text (names in the
// map's code page), names (the names table), projection, objects (what tags
// make of a way), layers and styles (map_styles.tsv: colours and widths) and
// localities.
namespace mapc {

struct CompileOptions {
    int codePage = -1; // -1: 1251 when any name is Cyrillic, else 1252
    uint16_t mapId = 0xE3C1;
    uint32_t created = 0; // kernel clock value written into the header
    std::string title = "Travenor Pro map";
    // Whether CompiledMap::sources is filled (a large map compiles in less
    // memory without).
    bool sources = true;
};

// Where a record's points came from: the OpenStreetMap nodes in order (the
// closing node of a closed way left out), and the name it was given (UTF-8).
// A record cut from several ways and the extract's box (the sea) has no nodes.
struct RecordSource {
    std::vector<int64_t> nodes;
    std::string name;
};

struct CompiledMap {
    mapwriter::MapDescription map;
    mapwriter::GraphDescription graph;
    mapwriter::PoiSetDescription pois;
    // Per layer, per record; empty when the options ask for none.
    std::vector<std::vector<RecordSource>> sources;
    // Each name's parent (index into map.names), -1 for none.
    std::vector<int32_t> nameParents;
};

CompiledMap Compile(const OsmData& data, const CompileOptions& options);

// The three files beside each other: "<base>.tzx", ".zxg" and ".zxp", each
// written whole to a temporary file, and all of them complete before any
// replaces the file of its name. An empty key writes a plain map; with a key
// the map is enciphered and the key is written beside it ("<base>.key").
// Throws CompileError.
void WriteMapFiles(const CompiledMap& compiled, const std::string& tzxPath, const std::vector<uint8_t>& key);

} // namespace mapc
