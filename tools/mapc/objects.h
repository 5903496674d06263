#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "tools/mapc/map_compiler.h"
#include "tools/mapc/osm_data.h"
#include "tools/mapc/projection.h"

// Map objects and what OpenStreetMap's tags make of them: which layer, which
// way a road may be driven, how fast.
namespace mapc {

// A record's run must stay within 65 535 bytes: lines are cut into parts of
// this many points, and a closed shape with more is left out.
inline constexpr size_t kMaxLinePoints = 4000;
inline constexpr size_t kMaxShapePoints = 12000;

struct Element { // a road element of the graph
    int64_t from = 0;
    int64_t to = 0;
    uint16_t costA = 1; // metres
    uint16_t costB = 1; // tenths of a second
};

// One map object: its records with where each came from, and the key that
// orders the objects of a layer by place.
struct Object {
    std::vector<mapwriter::Record> records;
    std::vector<RecordSource> sources;
    uint64_t key = 0;
    int32_t linkName = -1; // houses: the street's name record
    Element element;
};

// Sets the object's key from the centre of its points.
void SetKey(Object& o);

// Projected points of a node list, a point equal to the one before dropped
// (the point coding has no zero step); `kept`, when given, receives the node
// of each point. Throws CompileError for a missing node.
std::vector<ZXS_Point> Project(const OsmData& data, const Projector& project,
    const std::vector<int64_t>& nodes, bool closed, std::vector<int64_t>* kept = nullptr);

bool IsClosed(const OsmWay& w);
// The way's nodes, the closing node of a closed way left out.
std::vector<int64_t> OpenNodes(const OsmWay& w);

bool OneOf(std::string_view v, std::initializer_list<std::string_view> set);

// The road layer of a highway value, -1 when it is not a road for cars.
int RoadLayer(std::string_view highway);
bool IsFootway(std::string_view highway);
// Metres per second by road type.
double Speed(std::string_view highway);
// +1 forward only, -1 backward only, 0 both ways.
int OneWay(const Tags& tags);
// Whether a car may drive on a way of the road layers. Tracks never; any other
// road unless the most specific of motorcar, motor_vehicle, vehicle and access
// that says anything closes it (no, private, agricultural, forestry, delivery,
// ...). A road a car may not use is drawn but is no part of the road graph.
bool CarMayUse(const Tags& tags);

bool IsTerritory(const Tags& t);
bool IsWater(const Tags& t);
bool IsRiver(const Tags& t);
bool IsRailway(const Tags& t);

// A road element's cost, within the graph's 15 bits.
uint16_t Cost(double value);

} // namespace mapc
