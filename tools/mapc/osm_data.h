#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace mapc {

// Why the compiler stopped: the message names the input and what was wrong.
class CompileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Tags = std::vector<std::pair<std::string, std::string>>;

// The value of a tag, empty when it is absent.
std::string_view TagValue(const Tags& tags, std::string_view key);

// A position in degrees times 10^7, as OpenStreetMap files store it.
struct Location {
    int32_t x = 0; // longitude
    int32_t y = 0; // latitude
    double LongitudeRadians() const;
    double LatitudeRadians() const;
};

// A box of positions (degrees times 10^7), edges included.
struct GeoBox {
    int32_t west = 0, south = 0, east = 0, north = 0;
    bool Valid() const { return west < east && south < north; }
};

struct OsmWay {
    int64_t id = 0;
    std::vector<int64_t> nodes;
    Tags tags;
};

struct OsmPoint {
    int64_t id = 0;
    Location location;
    Tags tags;
};

// An area of a multipolygon relation: its closed rings as node lists (first
// and last node the same), outer rings each followed by their inner rings.
struct OsmArea {
    int64_t relation = 0;
    std::vector<std::vector<int64_t>> rings;
    Tags tags;
};

// Node locations by id, in libosmium's sparse index: in memory while the nodes
// are few, in a temporary file (mapped) once they grow past a threshold, so
// that a large extract does not hold a hash table of every node.
class NodeLocations {
public:
    NodeLocations();
    ~NodeLocations();
    NodeLocations(NodeLocations&&) noexcept;
    NodeLocations& operator=(NodeLocations&&) noexcept;

    void Set(int64_t id, Location at);
    // The node's location; throws std::out_of_range for a node not held.
    Location at(int64_t id) const;
    bool Find(int64_t id, Location& at) const;
    size_t size() const;
    bool InFile() const;

    // Nodes kept in memory before the index moves to a file.
    static size_t s_memoryNodes;

private:
    struct Index;
    std::unique_ptr<Index> m_index;
};

// What the compiler keeps of an OpenStreetMap file: every node's location,
// the tagged nodes, the tagged ways and the areas of the multipolygon
// relations whose members the file holds whole.
struct OsmData {
    NodeLocations locations;
    std::vector<OsmPoint> points;
    std::vector<OsmWay> ways;
    std::vector<OsmArea> areas;
    // The box the file's header gives for its data; not valid when it gives none.
    GeoBox bounds;

    // Throws when the way refers to a node the data does not hold.
    Location At(const OsmWay& way, size_t index) const;
};

// Reads an OpenStreetMap file (XML, .osm.gz, .osm.bz2 or PBF, by its name).
// Throws CompileError for an unreadable or damaged file and for a kept way
// that refers to a node the file does not hold.
OsmData ReadOsm(const std::string& path);

} // namespace mapc
