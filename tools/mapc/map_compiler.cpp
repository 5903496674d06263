#include "tools/mapc/map_compiler.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <tuple>
#include <unordered_map>

#include "kernel/doc/code_page.h"
#include "kernel/doc/road_graph.h"
#include "tools/mapc/building_blocks.h"
#include "tools/mapc/lines.h"
#include "tools/mapc/localities.h"
#include "tools/mapc/names.h"
#include "tools/mapc/objects.h"
#include "tools/mapc/poi_categories.h"
#include "tools/mapc/projection.h"
#include "tools/mapc/sea.h"
#include "tools/mapc/styles.h"
#include "tools/mapc/text.h"

namespace mapc {

namespace {

using mapwriter::Record;

constexpr int32_t kResolution = 10000; // one map unit per metre
// The sea is cut into tiles of this many map units, each holding at most this
// many rings (the renderer fills at most 2048 parts of one object).
constexpr int32_t kSeaTile = 16384;
constexpr size_t kMaxSeaParts = 1024;
// How far (map units) an overview line may stray from its road: a third of a
// pixel where the overview is drawn.
constexpr double kOverviewTolerance = 25.0;

class Compiler {
public:
    Compiler(const OsmData& data, const CompileOptions& options)
        : m_data(data)
        , m_codePage(CodePageFor(data, options))
        , m_out {}
        , m_names(m_out.map, m_codePage)
        , m_project(m_out.map.transform = ProjectionFor(data))
        , m_keepSources(options.sources)
    {
        m_out.map.codePage = static_cast<uint8_t>(m_codePage);
        m_out.map.mapId = options.mapId;
        m_out.map.created = options.created;
        m_out.map.resolution = kResolution;
        m_out.map.namePrefixes = true;
        m_out.map.coding = 2;
        m_out.map.background = { 242, 239, 233 };
        m_out.pois.title = options.title;
        m_out.pois.codePage = static_cast<uint8_t>(m_codePage);
    }

    CompiledMap Run()
    {
        Localities();
        Ways();
        Areas();
        Sea();
        Overview();
        Houses();
        Blocks();
        Pois();
        Finish();
        return std::move(m_out);
    }

private:
    static int CodePageFor(const OsmData& data, const CompileOptions& options)
    {
        if (options.codePage >= 0 && options.codePage < CZXS_CodePage::kCount)
            return options.codePage;
        for (const OsmWay& w : data.ways) {
            if (HasCyrillic(TagValue(w.tags, "name")))
                return 0;
        }
        for (const OsmPoint& p : data.points) {
            if (HasCyrillic(TagValue(p.tags, "name")))
                return 0;
        }
        for (const OsmArea& a : data.areas) {
            if (HasCyrillic(TagValue(a.tags, "name")))
                return 0;
        }
        return 1;
    }

    void Localities()
    {
        std::vector<const OsmPoint*> places[3];
        for (const OsmPoint& p : m_data.points) {
            const int level = PlaceLevel(TagValue(p.tags, "place"));
            if (level >= 0 && !TagValue(p.tags, "name").empty())
                places[level].push_back(&p);
        }
        // Settlements first, so that their parts can name them as parents.
        for (int level = 0; level < 3; ++level) {
            for (const OsmPoint* p : places[level]) {
                const ZXS_Point at = m_project(p->location);
                const int32_t parent = level == 2 ? Nearest(m_places, at, { 0, 1 }) : -1;
                const int32_t name = m_names.Add(TagValue(p->tags, "name"), parent);
                m_places.push_back({ at, level, name });
                Object o;
                o.records.push_back(Single(at, name));
                o.sources.push_back({ { p->id }, std::string(TagValue(p->tags, "name")) });
                Add(kLocalities, std::move(o));
            }
        }
    }

    static Record Single(ZXS_Point at, int32_t name)
    {
        Record r;
        r.points = { at };
        r.name = name;
        return r;
    }

    int32_t StreetName(std::string_view text, ZXS_Point near)
    {
        const auto it = m_streets.find(std::string(text));
        if (it != m_streets.end())
            return it->second;
        int32_t parent = Nearest(m_places, near, { 2, 1 });
        if (parent < 0)
            parent = Nearest(m_places, near, { 0 });
        // Type words are in the dictionary only where the code page can write them.
        const auto [own, kind] = m_codePage == 0 ? SplitKind(text) : std::pair { text, kNoKind };
        const int32_t name = m_names.Add(own, parent, kind);
        m_streets.emplace(std::string(text), name);
        return name;
    }

    void Ways()
    {
        // Every use of a node by a road: a node used twice is a junction.
        std::unordered_map<int64_t, int> uses;
        for (const OsmWay& w : m_data.ways) {
            if (RoadLayer(TagValue(w.tags, "highway")) >= 0) {
                for (int64_t n : w.nodes)
                    ++uses[n];
            }
        }
        // Per street name: each piece's way, points and the nodes of its points.
        std::map<int32_t,
            std::vector<std::tuple<const OsmWay*, std::vector<ZXS_Point>, std::vector<int64_t>>>>
            streetPieces;
        for (const OsmWay& w : m_data.ways) {
            const std::string_view highway = TagValue(w.tags, "highway");
            const std::string_view name = TagValue(w.tags, "name");
            const int road = RoadLayer(highway);
            const bool foot = IsFootway(highway);
            if ((road >= 0 || foot) && TagValue(w.tags, "area") != "yes") {
                std::vector<int64_t> kept;
                std::vector<ZXS_Point> points = Project(m_data, m_project, w.nodes, false, &kept);
                if (points.size() < 2)
                    continue;
                int32_t nameIndex = -1;
                if (!name.empty()) {
                    nameIndex = StreetName(name, points[points.size() / 2]);
                    streetPieces[nameIndex].emplace_back(&w, std::move(points), std::move(kept));
                }
                if (road == kHighways || highway == "secondary")
                    m_mainRoads[road == kHighways].push_back(w.nodes);
                if (road >= 0)
                    RoadElements(w, road, nameIndex, uses, CarMayUse(w.tags));
                else
                    Lines(kFootways, w, -1);
                continue;
            }
            if (IsClosed(w) && !TagValue(w.tags, "addr:housenumber").empty()
                && !TagValue(w.tags, "addr:street").empty() && !TagValue(w.tags, "building").empty()) {
                m_houseWays.push_back(&w);
                continue;
            }
            if (TagValue(w.tags, "natural") == "coastline") {
                m_coastlines.push_back(w.nodes);
                continue;
            }
            const int32_t own = m_names.Add(TagValue(w.tags, "name"));
            if (IsClosed(w) && IsWater(w.tags))
                Shape(kWater, w, own);
            else if (IsClosed(w) && IsTerritory(w.tags))
                Shape(kTerritories, w, own);
            else if (IsRiver(w.tags))
                Lines(kRivers, w, own);
            else if (IsRailway(w.tags))
                Lines(kRailways, w, own);
            else if (IsClosed(w) && !TagValue(w.tags, "building").empty()
                && TagValue(w.tags, "building") != "no")
                Shape(kBuildings, w, own);
        }
        // One object per street, its pieces in the order of their ways.
        for (auto& [nameIndex, pieces] : streetPieces) {
            Object o;
            for (auto& [way, points, kept] : pieces)
                AppendParts(o, points, kept, nameIndex, TagValue(way->tags, "name"));
            Add(kStreetNames, std::move(o));
        }
    }

    // Multipolygons: one record per ring, outer rings followed by their holes.
    void Areas()
    {
        for (const OsmArea& a : m_data.areas) {
            const std::string_view building = TagValue(a.tags, "building");
            const int layer = IsWater(a.tags)           ? kWater
                : IsTerritory(a.tags)                   ? kTerritories
                : !building.empty() && building != "no" ? kBuildings
                                                        : -1;
            if (layer < 0)
                continue;
            const std::string_view name = TagValue(a.tags, "name");
            const int32_t own = m_names.Add(name);
            Object o;
            for (const auto& ring : a.rings) {
                std::vector<int64_t> nodes = ring;
                if (nodes.size() > 1 && nodes.front() == nodes.back())
                    nodes.pop_back();
                std::vector<ZXS_Point> points = Project(m_data, m_project, nodes, true);
                if (points.size() < 3 || points.size() > kMaxShapePoints)
                    continue;
                Record r;
                r.points = std::move(points);
                r.closed = true;
                r.name = own;
                r.endOfObject = false;
                o.records.push_back(std::move(r));
                o.sources.push_back({ std::move(nodes), std::string(name) });
            }
            if (o.records.empty())
                continue;
            o.records.back().endOfObject = true;
            Add(layer, std::move(o));
        }
    }

    // The main roads for far views: joined where their ways meet and
    // simplified, without names, directions or a place in the road graph.
    void Overview()
    {
        for (int highways = 0; highways < 2; ++highways) {
            for (const std::vector<int64_t>& line : JoinLines(m_mainRoads[highways], true)) {
                std::vector<int64_t> kept;
                const std::vector<ZXS_Point> points = Project(m_data, m_project, line, false, &kept);
                if (points.size() < 2)
                    continue;
                std::vector<ZXS_Point> simple;
                std::vector<int64_t> nodes;
                for (size_t i : Simplify(points, kOverviewTolerance)) {
                    simple.push_back(points[i]);
                    nodes.push_back(kept[i]);
                }
                Object o;
                AppendParts(o, simple, nodes, -1, "");
                Add(highways ? kOverviewHighways : kOverviewMainStreets, std::move(o));
            }
        }
        m_mainRoads[0] = {};
        m_mainRoads[1] = {};
    }

    // The sea, closed against the extract's box, in square tiles of the water
    // layer so that no frame walks more of it than it shows.
    void Sea()
    {
        if (m_coastlines.empty())
            return;
        std::vector<std::vector<Location>> coasts;
        for (const std::vector<int64_t>& line : JoinLines(m_coastlines, false)) {
            coasts.emplace_back();
            for (int64_t id : line)
                coasts.back().push_back(m_data.locations.at(id));
        }
        GeoBox box = DataBox(m_data);
        if (m_data.bounds.Valid()) {
            box = { std::max(box.west, m_data.bounds.west), std::max(box.south, m_data.bounds.south),
                std::min(box.east, m_data.bounds.east), std::min(box.north, m_data.bounds.north) };
        }
        std::vector<std::vector<ZXS_Point>> rings;
        ZXS_Rect all { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
        for (const std::vector<Location>& ring : SeaRings(coasts, box)) {
            rings.emplace_back();
            for (const Location& l : ring) {
                const ZXS_Point p = m_project(l);
                if (rings.back().empty() || !(rings.back().back() == p))
                    rings.back().push_back(p);
                all = { std::min(all.left, p.x), std::min(all.top, p.y), std::max(all.right, p.x),
                    std::max(all.bottom, p.y) };
            }
        }
        for (int32_t top = all.top / kSeaTile * kSeaTile; top <= all.bottom; top += kSeaTile) {
            for (int32_t left = all.left / kSeaTile * kSeaTile; left <= all.right; left += kSeaTile)
                SeaTile(rings, { left, top, left + kSeaTile, top + kSeaTile });
        }
    }

    // One object of the sea's rings cut to the tile; a tile whose rings would
    // not fit a record is cut in four.
    void SeaTile(const std::vector<std::vector<ZXS_Point>>& rings, const ZXS_Rect& tile)
    {
        std::vector<std::vector<ZXS_Point>> parts;
        bool large = false;
        for (const std::vector<ZXS_Point>& ring : rings) {
            std::vector<ZXS_Point> part = ClipRing(ring, tile);
            if (part.empty())
                continue;
            large |= part.size() > kMaxShapePoints;
            parts.push_back(std::move(part));
        }
        if (parts.empty())
            return;
        const int32_t half = (tile.right - tile.left) / 2;
        if ((large || parts.size() > kMaxSeaParts) && half >= 16) {
            for (const ZXS_Point corner : { ZXS_Point { tile.left, tile.top },
                     ZXS_Point { tile.left + half, tile.top }, ZXS_Point { tile.left, tile.top + half },
                     ZXS_Point { tile.left + half, tile.top + half } })
                SeaTile(parts, { corner.x, corner.y, corner.x + half, corner.y + half });
            return;
        }
        std::erase_if(
            parts, [](const std::vector<ZXS_Point>& part) { return part.size() > kMaxShapePoints; });
        AddRings(kWater, std::move(parts));
    }

    // One object of closed rings filled by the even-odd rule, made by the
    // compiler rather than taken from nodes of the data.
    void AddRings(int layer, std::vector<std::vector<ZXS_Point>> rings)
    {
        if (rings.empty())
            return;
        Object o;
        for (std::vector<ZXS_Point>& ring : rings) {
            Record r;
            r.points = std::move(ring);
            r.closed = true;
            r.endOfObject = false;
            o.records.push_back(std::move(r));
            o.sources.push_back({});
        }
        o.records.back().endOfObject = true;
        Add(layer, std::move(o));
    }

    // The buildings, houses included, merged into the blocks that the map
    // shows where each building alone is too small to be drawn.
    void Blocks()
    {
        Footprints buildings;
        for (const int layer : { kBuildings, kHouses }) {
            for (const Object& o : m_objects[layer]) {
                for (const Record& r : o.records) {
                    if (r.closed)
                        buildings.rings.push_back(&r.points);
                }
                if (buildings.rings.size() > buildings.starts.back())
                    buildings.EndBuilding();
            }
        }
        BuildingBlocks(
            buildings, [&](std::vector<Ring>&& block) { AddRings(kBuildingBlocks, std::move(block)); });
    }

    void Shape(int layer, const OsmWay& w, int32_t name)
    {
        const std::vector<int64_t> nodes = OpenNodes(w);
        std::vector<ZXS_Point> points = Project(m_data, m_project, nodes, true);
        if (points.size() < 3 || points.size() > kMaxShapePoints)
            return;
        Object o;
        Record r;
        r.points = std::move(points);
        r.closed = true;
        r.name = name;
        o.records.push_back(std::move(r));
        o.sources.push_back({ nodes, std::string(TagValue(w.tags, "name")) });
        Add(layer, std::move(o));
    }

    void Lines(int layer, const OsmWay& w, int32_t name)
    {
        std::vector<int64_t> kept;
        const std::vector<ZXS_Point> points = Project(m_data, m_project, w.nodes, false, &kept);
        if (points.size() < 2)
            return;
        Object o;
        AppendParts(o, points, kept, name, TagValue(w.tags, "name"));
        Add(layer, std::move(o));
    }

    // A line as records of at most kMaxLinePoints points, each part starting
    // where the one before ended; the last part ends the object. `nodes` are
    // those of the points, `text` the name's source.
    void AppendParts(Object& o, const std::vector<ZXS_Point>& points, const std::vector<int64_t>& nodes,
        int32_t name, std::string_view text) const
    {
        if (!o.records.empty())
            o.records.back().endOfObject = false;
        for (size_t first = 0; first + 1 < points.size(); first += kMaxLinePoints - 1) {
            const size_t last = std::min(points.size(), first + kMaxLinePoints);
            Record r;
            r.points.assign(points.begin() + first, points.begin() + last);
            r.name = name;
            r.endOfObject = last == points.size();
            o.records.push_back(std::move(r));
            o.sources.push_back({ std::vector<int64_t>(nodes.begin() + static_cast<ptrdiff_t>(first),
                                      nodes.begin() + static_cast<ptrdiff_t>(last)),
                name >= 0 ? std::string(text) : "" });
        }
    }

    // A road split at every junction, at its ends and where an element would
    // grow too long for its cost or its run. A road a car may not use gets no
    // direction: it is drawn, never snapped to and left out of the graph.
    void RoadElements(
        const OsmWay& w, int layer, int32_t name, const std::unordered_map<int64_t, int>& uses, bool car)
    {
        const int oneway = OneWay(w.tags);
        const double speed = Speed(TagValue(w.tags, "highway"));
        std::vector<int64_t> nodes;
        std::vector<ZXS_Point> points;
        double length = 0;
        auto flush = [&]() {
            if (points.size() >= 2) {
                Object o;
                Record r;
                r.points = points;
                r.name = name;
                r.forward = car && oneway >= 0;
                r.backward = car && oneway <= 0;
                o.records.push_back(std::move(r));
                o.sources.push_back({ nodes, name >= 0 ? std::string(TagValue(w.tags, "name")) : "" });
                o.element = { nodes.front(), nodes.back(), Cost(length), Cost(length / speed * 10.0) };
                Add(layer, std::move(o));
            }
        };
        for (size_t i = 0; i < w.nodes.size(); ++i) {
            const int64_t id = w.nodes[i];
            const bool junction = uses.at(id) > 1;
            const ZXS_Point p = m_project(m_data.locations.at(id));
            if (!points.empty() && p == points.back()) {
                // Another node at the same position: a junction there names the end.
                if (junction)
                    nodes.back() = id;
            } else {
                if (!points.empty()) {
                    const double step
                        = std::hypot(double(p.x) - points.back().x, double(p.y) - points.back().y);
                    // Both costs are 15-bit: length in metres, time in tenths of a second.
                    const double grown = length + step;
                    if (grown > 30000.0 || grown / speed * 10.0 > 32000.0
                        || points.size() >= kMaxLinePoints) {
                        // Cut at the previous node.
                        flush();
                        nodes = { nodes.back() };
                        points = { points.back() };
                        length = 0;
                    }
                    length += step;
                }
                points.push_back(p);
                nodes.push_back(id);
            }
            if (i > 0 && (i + 1 == w.nodes.size() || junction)) {
                flush();
                nodes = { nodes.back() };
                points = { points.back() };
                length = 0;
            }
        }
    }

    void Houses()
    {
        for (const OsmWay* w : m_houseWays) {
            const std::vector<int64_t> nodes = OpenNodes(*w);
            std::vector<ZXS_Point> points = Project(m_data, m_project, nodes, true);
            if (points.empty() || points.size() > kMaxShapePoints)
                continue;
            Object o;
            Record r;
            r.closed = points.size() >= 3;
            r.points = std::move(points);
            r.name = m_names.Add(TagValue(w->tags, "addr:housenumber"));
            o.linkName = StreetName(TagValue(w->tags, "addr:street"), r.points.front());
            o.records.push_back(std::move(r));
            o.sources.push_back({ nodes, std::string(TagValue(w->tags, "addr:housenumber")) });
            Add(kHouses, std::move(o));
        }
        for (const OsmPoint& p : m_data.points) {
            const std::string_view number = TagValue(p.tags, "addr:housenumber");
            const std::string_view street = TagValue(p.tags, "addr:street");
            // A shop or an office with its address is a point of interest,
            // not a house of its own.
            if (number.empty() || street.empty()
                || PoiCategory([&](std::string_view key) { return TagValue(p.tags, key); }) >= 0)
                continue;
            Object o;
            const ZXS_Point at = m_project(p.location);
            o.records.push_back(Single(at, m_names.Add(number)));
            o.linkName = StreetName(street, at);
            o.sources.push_back({ { p.id }, std::string(number) });
            Add(kHouses, std::move(o));
        }
    }

    void Poi(const Tags& tags, const Location& at)
    {
        const int category = PoiCategory([&](std::string_view key) { return TagValue(tags, key); });
        const std::string_view name = TagValue(tags, "name");
        if (category < 0 || (category == 0 && name.empty()))
            return;
        mapwriter::Poi poi;
        poi.category = static_cast<uint16_t>(category);
        poi.longitude = at.LongitudeRadians();
        poi.latitude = at.LatitudeRadians();
        poi.name = EightBit(m_codePage, name);
        auto attribute = [&](uint16_t type, std::initializer_list<std::string_view> keys) {
            for (std::string_view key : keys) {
                const std::string_view v = TagValue(tags, key);
                if (!v.empty()) {
                    poi.attributes.emplace_back(type, EightBit(m_codePage, v));
                    return;
                }
            }
        };
        attribute(mapwriter::kPoiPhone, { "phone", "contact:phone" });
        attribute(mapwriter::kPoiFax, { "fax", "contact:fax" });
        attribute(mapwriter::kPoiIndex, { "addr:postcode" });
        const std::string_view street = TagValue(tags, "addr:street");
        const std::string_view number = TagValue(tags, "addr:housenumber");
        if (!street.empty())
            poi.attributes.emplace_back(mapwriter::kPoiAddress,
                EightBit(
                    m_codePage, std::string(street) + (number.empty() ? "" : ", ") + std::string(number)));
        attribute(mapwriter::kPoiEmail, { "email", "contact:email" });
        attribute(mapwriter::kPoiUrl, { "website", "contact:website", "url" });
        attribute(mapwriter::kPoiMemo, { "description" });
        m_out.pois.pois.push_back(std::move(poi));
    }

    void Pois()
    {
        for (const OsmPoint& p : m_data.points)
            Poi(p.tags, p.location);
        for (const OsmWay& w : m_data.ways) {
            if (!IsClosed(w) || !TagValue(w.tags, "highway").empty())
                continue;
            // The centre of the outline's nodes.
            double x = 0, y = 0;
            const std::vector<int64_t> nodes = OpenNodes(w);
            for (int64_t id : nodes) {
                const Location& l = m_data.locations.at(id);
                x += l.x;
                y += l.y;
            }
            Poi(w.tags,
                { static_cast<int32_t>(std::lround(x / nodes.size())),
                    static_cast<int32_t>(std::lround(y / nodes.size())) });
        }
    }

    void Add(int layer, Object o)
    {
        if (!m_keepSources)
            o.sources = {};
        SetKey(o);
        m_objects[layer].push_back(std::move(o));
    }

    void Finish()
    {
        mapwriter::MapDescription& map = m_out.map;
        const std::vector<int32_t> ids = m_names.Finish();
        m_out.nameParents = m_names.Parents();

        // Layer names in the dictionary: Russian (variant 0, the English name
        // when the map's code page cannot write it) and English (variant 2).
        for (int l = 0; l < kLayerCount; ++l) {
            if (IsEmptyLayer(l))
                continue;
            std::string russian = EightBit(m_codePage, kLayers[l].russian);
            if (russian.find('?') != std::string::npos)
                russian = kLayers[l].english;
            map.dictionary.push_back({ static_cast<uint8_t>(l), 0, russian });
            map.dictionary.push_back({ static_cast<uint8_t>(l), 2, kLayers[l].english });
        }
        if (m_codePage == 0) {
            for (size_t k = 0; k < std::size(kKindWords); ++k) {
                const auto number = static_cast<uint8_t>(kFirstKindWord + k);
                map.dictionary.push_back({ number, 0, EightBit(0, kKindWords[k].full) });
                map.dictionary.push_back({ number, 1, EightBit(0, kKindWords[k].brief) });
            }
        }
        map.symbols.push_back(LocalitySymbol());
        map.styles = Styles();
        map.text
            = "Map data (c) OpenStreetMap contributors, ODbL 1.0. https://www.openstreetmap.org/copyright";

        std::map<int64_t, uint32_t> nodeIndex;
        std::map<int64_t, int> ends;
        uint32_t roadOffset = 0;
        std::vector<std::pair<Element, uint32_t>> elements;
        if (m_keepSources)
            m_out.sources.resize(kLayerCount);
        for (int l = 0; l < kLayerCount; ++l) {
            std::vector<Object>& objects = m_objects[l];
            std::stable_sort(objects.begin(), objects.end(),
                [](const Object& a, const Object& b) { return a.key < b.key; });
            mapwriter::Layer layer;
            layer.flags = kLayers[l].flags;
            layer.nameWord = IsEmptyLayer(l) ? -1 : static_cast<int16_t>(l);
            layer.styleGroup = kLayers[l].group;
            layer.symbol = kLayers[l].symbol;
            for (Object& o : objects) {
                if (l >= kFirstRoadLayer) {
                    if (roadOffset >= (1u << 20))
                        throw CompileError("too many road elements for the road graph");
                    const Record& front = o.records.front();
                    o.records.front().linkId = static_cast<int32_t>(roadOffset + 1);
                    // Only roads a car may use join the graph and make its junctions.
                    if (front.forward || front.backward) {
                        elements.emplace_back(o.element, roadOffset);
                        for (int64_t n : { o.element.from, o.element.to }) {
                            nodeIndex.try_emplace(n, 0);
                            ++ends[n];
                        }
                    }
                    ++roadOffset;
                }
                if (o.linkName >= 0)
                    o.records.front().linkId = ids[o.linkName];
                for (size_t k = 0; k < o.records.size(); ++k) {
                    layer.records.push_back(std::move(o.records[k]));
                    if (m_keepSources)
                        m_out.sources[l].push_back(std::move(o.sources[k]));
                }
            }
            map.layers.push_back(std::move(layer));
        }
        map.firstRoadLayer = kFirstRoadLayer;
        map.roadLayerCount = kRoadLayerCount;

        // Graph nodes numbered in the order the road elements first name them.
        uint32_t next = 0;
        for (const auto& [element, offset] : elements) {
            for (int64_t n : { element.from, element.to }) {
                uint32_t& index = nodeIndex[n];
                if (index == 0)
                    index = ++next;
            }
        }
        mapwriter::GraphDescription& graph = m_out.graph;
        graph.nodeCount = next;
        if (graph.nodeCount >= CZXS_RoadGraph::kMaxNodes)
            throw CompileError("too many road nodes for the road graph");
        std::vector<int> degree(next, 0);
        for (const auto& [element, offset] : elements) {
            const uint32_t a = nodeIndex[element.from] - 1;
            const uint32_t z = nodeIndex[element.to] - 1;
            const Record& r = RoadRecord(offset);
            if (r.forward) {
                graph.edges.push_back(
                    { a, z, element.costA, element.costB, ends[element.to] >= 3, false, offset });
                ++degree[a];
            }
            if (r.backward) {
                graph.edges.push_back(
                    { z, a, element.costA, element.costB, ends[element.from] >= 3, true, offset });
                ++degree[z];
            }
        }
        for (int d : degree) {
            if (d > 255)
                throw CompileError("more than 255 road elements leave one node");
        }
    }

    const Record& RoadRecord(uint32_t offset) const
    {
        for (int l = kFirstRoadLayer; l < kLayerCount; ++l) {
            const auto& records = m_out.map.layers[l].records;
            if (offset < records.size())
                return records[offset];
            offset -= static_cast<uint32_t>(records.size());
        }
        throw CompileError("road offset outside the road layers");
    }

    const OsmData& m_data;
    int m_codePage;
    CompiledMap m_out;
    NamePool m_names;
    Projector m_project;
    bool m_keepSources;
    std::vector<Locality> m_places;
    std::map<std::string, int32_t> m_streets;
    std::vector<const OsmWay*> m_houseWays;
    std::vector<std::vector<int64_t>> m_coastlines;
    std::vector<std::vector<int64_t>> m_mainRoads[2]; // main streets, highways
    std::vector<Object> m_objects[kLayerCount];
};

void WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (!mapwriter::SaveFile(path, bytes))
        throw CompileError("cannot write " + path);
}

} // namespace

CompiledMap Compile(const OsmData& data, const CompileOptions& options)
{
    try {
        return Compiler(data, options).Run();
    } catch (const CompileError&) {
        throw;
    } catch (const std::exception& e) {
        throw CompileError(std::string("the map cannot be built: ") + e.what());
    }
}

void WriteMapFiles(const CompiledMap& compiled, const std::string& tzxPath, const std::vector<uint8_t>& key)
{
    namespace fs = std::filesystem;
    const fs::path base = fs::path(tzxPath);
    const std::vector<std::pair<fs::path, std::vector<uint8_t>>> files = [&] {
        try {
            std::vector<std::pair<fs::path, std::vector<uint8_t>>> all {
                { fs::path(base).replace_extension(".zxg"), mapwriter::WriteZxg(compiled.graph) },
                { fs::path(base).replace_extension(".zxp"), mapwriter::WriteZxp(compiled.pois) },
            };
            // The program opens an enciphered map with the key it finds beside it.
            if (!key.empty()) {
                const std::string text = mapwriter::KeyFileText(key);
                all.push_back({ fs::path(base).replace_extension(".key"), { text.begin(), text.end() } });
            }
            // The map itself, which the program looks for, comes last.
            all.push_back({ base, mapwriter::WriteTzx(compiled.map, key) });
            return all;
        } catch (const std::exception& e) {
            throw CompileError(std::string("the map cannot be written: ") + e.what());
        }
    }();
    // Every file is complete on disk before any of them replaces an old one.
    std::vector<fs::path> temporary;
    try {
        for (const auto& [path, bytes] : files) {
            temporary.push_back(fs::path(path).concat(".part"));
            WriteWhole(temporary.back().string(), bytes);
        }
        for (size_t i = 0; i < files.size(); ++i)
            fs::rename(temporary[i], files[i].first);
    } catch (const std::exception& e) {
        std::error_code ignored;
        for (const fs::path& t : temporary)
            fs::remove(t, ignored);
        throw CompileError(e.what());
    }
}

} // namespace mapc
