#include "tools/mapc/objects.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <string>

namespace mapc {

namespace {

constexpr uint16_t kMaxCost = 0x7FFF;

uint64_t Morton(int32_t x, int32_t y)
{
    uint64_t key = 0;
    for (int bit = 0; bit < 24; ++bit) {
        key |= static_cast<uint64_t>((x >> bit) & 1) << (2 * bit);
        key |= static_cast<uint64_t>((y >> bit) & 1) << (2 * bit + 1);
    }
    return key;
}

} // namespace

void SetKey(Object& o)
{
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (const mapwriter::Record& r : o.records) {
        for (const ZXS_Point& p : r.points) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    }
    o.key = Morton(left / 2 + right / 2, top / 2 + bottom / 2);
}

std::vector<ZXS_Point> Project(const OsmData& data, const Projector& project,
    const std::vector<int64_t>& nodes, bool closed, std::vector<int64_t>* kept)
{
    std::vector<ZXS_Point> points;
    points.reserve(nodes.size());
    if (kept != nullptr)
        kept->clear();
    for (int64_t id : nodes) {
        Location at;
        if (!data.locations.Find(id, at))
            throw CompileError("node " + std::to_string(id) + " is missing");
        const ZXS_Point p = project(at);
        if (points.empty() || !(points.back() == p)) {
            points.push_back(p);
            if (kept != nullptr)
                kept->push_back(id);
        }
    }
    while (closed && points.size() > 1 && points.back() == points.front()) {
        points.pop_back();
        if (kept != nullptr)
            kept->pop_back();
    }
    return points;
}

bool IsClosed(const OsmWay& w) { return w.nodes.size() >= 4 && w.nodes.front() == w.nodes.back(); }

std::vector<int64_t> OpenNodes(const OsmWay& w)
{
    std::vector<int64_t> nodes = w.nodes;
    if (IsClosed(w))
        nodes.pop_back();
    return nodes;
}

bool OneOf(std::string_view v, std::initializer_list<std::string_view> set)
{
    return std::find(set.begin(), set.end(), v) != set.end();
}

int RoadLayer(std::string_view highway)
{
    if (OneOf(highway, { "motorway_link", "trunk_link", "primary_link" }))
        return kSlipRoads;
    if (OneOf(highway, { "motorway", "trunk", "primary" }))
        return kHighways;
    if (OneOf(highway, { "secondary", "secondary_link" }))
        return kMainStreets;
    if (OneOf(highway, { "tertiary", "tertiary_link", "residential", "unclassified", "road" }))
        return kStreets;
    if (OneOf(highway, { "living_street", "service", "track" }))
        return kServiceRoads;
    return -1;
}

bool IsFootway(std::string_view highway)
{
    return OneOf(highway, { "footway", "path", "pedestrian", "steps", "cycleway", "bridleway" });
}

double Speed(std::string_view highway)
{
    static const std::map<std::string_view, double> kmh = {
        { "motorway", 90 },
        { "trunk", 80 },
        { "primary", 60 },
        { "secondary", 50 },
        { "tertiary", 40 },
        { "residential", 30 },
        { "unclassified", 30 },
        { "road", 30 },
        { "living_street", 10 },
        { "service", 15 },
        { "track", 10 },
    };
    std::string_view base = highway;
    double factor = 1.0;
    if (base.ends_with("_link")) {
        base.remove_suffix(5);
        factor = 0.7;
    }
    const auto it = kmh.find(base);
    return (it != kmh.end() ? it->second : 30.0) * factor / 3.6;
}

int OneWay(const Tags& tags)
{
    const std::string_view v = TagValue(tags, "oneway");
    if (OneOf(v, { "yes", "1", "true" }))
        return 1;
    if (OneOf(v, { "-1", "reverse" }))
        return -1;
    if (OneOf(v, { "no", "0", "false" }))
        return 0;
    const std::string_view highway = TagValue(tags, "highway");
    if (TagValue(tags, "junction") == "roundabout" || highway == "motorway" || highway == "motorway_link")
        return 1;
    return 0;
}

bool CarMayUse(const Tags& tags)
{
    if (TagValue(tags, "highway") == "track" || TagValue(tags, "service") == "emergency_access")
        return false;
    for (const std::string_view key : { "motorcar", "motor_vehicle", "vehicle", "access" }) {
        // A list ("agricultural;forestry") opens the way when any of its values does.
        bool closes = false;
        std::string_view rest = TagValue(tags, key);
        while (!rest.empty()) {
            const size_t end = rest.find(';');
            std::string_view value = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view {} : rest.substr(end + 1);
            while (value.starts_with(' '))
                value.remove_prefix(1);
            while (value.ends_with(' '))
                value.remove_suffix(1);
            if (OneOf(value, { "yes", "destination", "permissive", "designated", "customers", "official" }))
                return true;
            if (OneOf(value,
                    { "no", "private", "agricultural", "forestry", "delivery", "residents", "restricted",
                        "emergency", "military", "permit" }))
                closes = true;
        }
        // A value that says neither leaves the question to the wider key.
        if (closes)
            return false;
    }
    return true;
}

bool IsTerritory(const Tags& t)
{
    return OneOf(TagValue(t, "leisure"),
               { "park", "garden", "playground", "pitch", "golf_course", "nature_reserve" })
        || OneOf(TagValue(t, "landuse"),
            { "forest", "grass", "meadow", "recreation_ground", "cemetery", "village_green", "allotments" })
        || OneOf(TagValue(t, "natural"), { "wood", "scrub", "grassland", "heath" });
}

bool IsWater(const Tags& t)
{
    return TagValue(t, "natural") == "water" || TagValue(t, "waterway") == "riverbank"
        || OneOf(TagValue(t, "landuse"), { "reservoir", "basin" });
}

bool IsRiver(const Tags& t)
{
    return OneOf(TagValue(t, "waterway"), { "river", "stream", "canal", "drain", "ditch" });
}

bool IsRailway(const Tags& t)
{
    return OneOf(TagValue(t, "railway"), { "rail", "tram", "light_rail", "subway", "narrow_gauge" });
}

uint16_t Cost(double value)
{
    return static_cast<uint16_t>(std::clamp<long>(std::lround(value), 1, kMaxCost));
}

} // namespace mapc
