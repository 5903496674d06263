#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/doc/point_coding.h"

// Writes the map files the kernel reads, from a description held in memory.
namespace mapwriter {

inline constexpr int32_t kNone = 0x1fffff;

// One object record: one part of a map object.
struct Record {
    std::vector<ZXS_Point> points; // map units
    int32_t name = -1; // index into MapDescription::names, -1 none
    int32_t linkId = kNone; // raw 21-bit link id
    bool closed = false;
    bool endOfObject = true;
    bool forward = false;
    bool backward = false;
};

struct Layer {
    std::vector<Record> records;
    uint8_t flags = 0;
    int16_t nameWord = -1;
    uint8_t styleGroup = 0;
    uint8_t symbol = 255;
    std::array<uint8_t, 8> drawing {}; // descriptor bytes 13-20
};

struct Name {
    std::string text; // 8-bit, in the map's code page
    uint8_t kind = 255;
    uint32_t prefix = 0xFFFFFF; // written only when the map has prefixes
    // Alias records (kind 254) carry a trailer: the main record and its kind word.
    int32_t aliasOf = -1; // index into names
    uint8_t aliasKind = 255;
};

struct Symbol {
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t number = 0;
    uint8_t symbolClass = 1;
    std::vector<uint8_t> rows; // bottom row first, ceil(width / 8) bytes each
};

struct Word {
    uint8_t number = 0;
    uint8_t variant = 0;
    std::string text;
};

struct MapDescription {
    // 850 or lower writes the old layout: packed records, plain points in the
    // map's coding, run lengths in units, no index blocks.
    uint16_t version = 864;
    uint16_t mapId = 0xE3C1;
    uint32_t roadGraphLevel = 300;
    int32_t resolution = 10000;
    uint8_t codePage = 0;
    bool namePrefixes = false;
    uint8_t coding = 2; // the map's point coding (runs of old maps use it)
    uint32_t created = 0;
    std::array<uint8_t, 3> background { 192, 192, 192 };
    std::vector<double> transform; // 12 coefficients, or none
    std::vector<uint8_t> metricsBlob;
    std::vector<Symbol> symbols;
    std::vector<Word> dictionary;
    std::vector<Layer> layers;
    std::vector<Name> names;
    int16_t firstRoadLayer = -1;
    int16_t roadLayerCount = 0;
    uint32_t embeddedGraphSize = 0; // zero bytes written between point data and styles
    std::vector<std::array<uint8_t, 44>> styles;
    std::string text;
};

// The file's bytes, enciphered when a key (16, 24 or 32 bytes) is given.
std::vector<uint8_t> WriteTzx(const MapDescription& map, const std::vector<uint8_t>& key = {});

// Where the sections of a written map begin (byte offsets), for tests that damage them.
struct SectionOffsets {
    uint32_t transform, metrics, symbols, dictionary, layers, names, objects, indexBlocks, points, embedded,
        styles, text, end;
};
SectionOffsets Sections(const MapDescription& map);

// Enciphers one run the way the kernel deciphers it.
void Encipher(const std::vector<uint8_t>& key, uint8_t* bytes, uint32_t length);

// Road graph: one edge per road element and direction.
struct GraphEdge {
    uint32_t from = 0;
    uint32_t to = 0;
    uint16_t costA = 0; // 15 bits
    uint16_t costB = 0; // 15 bits
    bool junction = false;
    bool backward = false;
    uint32_t roadOffset = 0; // 20 bits
};

struct GraphDescription {
    uint32_t nodeCount = 0;
    uint32_t nodeBound = 0; // 0: the node count
    uint8_t kind = 0;
    std::vector<GraphEdge> edges;
};

// Edges are grouped by their start node (the order within a node is kept).
std::vector<uint8_t> WriteZxg(const GraphDescription& graph);

// The graph of a map's road layers: a node at every distinct end point, an
// edge for each allowed direction of every road record, costed by its length.
GraphDescription BuildRoadGraph(const MapDescription& map);

// Passage journal file: map identifier, the local time digits, then records.
struct JournalRecord {
    uint8_t costClass = 0;
    uint8_t valueB = 0;
    int32_t linkId = 0;
    uint8_t directions = 0; // 1 forward, 2 backward
    uint16_t units = 0xFFFF; // remaining lifetime in 10-second units
};
std::vector<uint8_t> WriteZxj(
    uint16_t mapId, const std::string& digits14, const std::vector<JournalRecord>& records);

// A key file beside a map ("<map>.key"): the key as hexadecimal digits on one line.
std::string KeyFileText(const std::vector<uint8_t>& key);
// The key of a key file's text; empty when it is not 32, 48 or 64 hex digits.
std::vector<uint8_t> ParseKeyText(const std::string& text);

bool SaveFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace mapwriter
