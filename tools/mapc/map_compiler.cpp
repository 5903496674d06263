#include "tools/mapc/map_compiler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <numbers>
#include <set>
#include <tuple>
#include <unordered_map>

#include "kernel/doc/code_page.h"
#include "kernel/doc/polynomial_transform.h"
#include "kernel/doc/road_graph.h"
#include "tools/mapc/poi_categories.h"

namespace mapc {

namespace {

using mapwriter::Record;

constexpr double kEarthRadius = 6371000.0;
constexpr double kMargin = 1000.0;
constexpr int32_t kResolution = 10000; // one map unit per metre
// A record's run must stay within 65 535 bytes: lines are cut into parts of
// this many points, and a closed shape with more is left out.
constexpr size_t kMaxLinePoints = 4000;
constexpr size_t kMaxShapePoints = 12000;
constexpr uint32_t kNoPrefix = 0xFFFFFF;
constexpr uint16_t kMaxCost = 0x7FFF;

// ---------------------------------------------------------------- text

std::string EightBit(int codePage, std::string_view utf8)
{
    std::u16string wide = Utf16(utf8);
    // Byte 1 introduces a dictionary word in a stored name; control
    // characters have no place in a name at all.
    for (char16_t& c : wide) {
        if (c < 0x20)
            c = u' ';
    }
    return CZXS_CodePage::FromWide(codePage, wide, '?', 255);
}

bool HasCyrillic(std::string_view utf8)
{
    for (char16_t c : Utf16(utf8)) {
        if (c >= 0x400 && c <= 0x4FF)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- names

// Street types kept apart from the street's own name, in the dictionary with
// their full (variant 0) and short (variant 1) forms, so that a street is
// found by the first letters of its own name.
struct KindWord {
    const char* full;
    const char* brief;
};
constexpr KindWord kKindWords[] = {
    { "улица", "ул." },
    { "проспект", "пр-т" },
    { "переулок", "пер." },
    { "бульвар", "б-р" },
    { "набережная", "наб." },
    { "шоссе", "ш." },
    { "площадь", "пл." },
    { "проезд", "пр-д" },
    { "аллея", "ал." },
    { "тупик", "туп." },
};
constexpr uint8_t kFirstKindWord = 32; // dictionary words below are layer names
constexpr uint8_t kNoKind = 255;

// A street name without its type word, and the type's word number.
std::pair<std::string_view, uint8_t> SplitKind(std::string_view name)
{
    const size_t first = name.find(' ');
    const size_t last = name.rfind(' ');
    if (first == std::string_view::npos)
        return { name, kNoKind };
    for (size_t k = 0; k < std::size(kKindWords); ++k) {
        const std::string_view word = kKindWords[k].full;
        const auto number = static_cast<uint8_t>(kFirstKindWord + k);
        if (name.substr(0, first) == word)
            return { name.substr(first + 1), number };
        if (name.substr(last + 1) == word)
            return { name.substr(0, last), number };
    }
    return { name, kNoKind };
}

class NamePool {
public:
    NamePool(mapwriter::MapDescription& map, int codePage)
        : m_map(map)
        , m_codePage(codePage)
    {
    }

    // Index of the name record of `utf8` with that parent and kind word; -1
    // for an empty name.
    int32_t Add(std::string_view utf8, int32_t parent = -1, uint8_t kind = kNoKind)
    {
        if (utf8.empty())
            return -1;
        std::string text = EightBit(m_codePage, utf8);
        const auto [it, added]
            = m_index.try_emplace({ text, parent, kind }, static_cast<int32_t>(m_map.names.size()));
        if (added) {
            mapwriter::Name name;
            name.text = std::move(text);
            name.kind = kind;
            m_map.names.push_back(std::move(name));
            m_parents.push_back(parent);
        }
        return it->second;
    }

    // Gives every record its parent's name id as prefix.
    std::vector<int32_t> Finish()
    {
        const std::vector<int32_t> ids = NameIds(m_map);
        for (size_t i = 0; i < m_map.names.size(); ++i)
            m_map.names[i].prefix = m_parents[i] >= 0 ? static_cast<uint32_t>(ids[m_parents[i]]) : kNoPrefix;
        if (!ids.empty() && ids.back() >= mapwriter::kNone)
            throw CompileError("the names do not fit the names table (2 MiB)");
        return ids;
    }

    const std::vector<int32_t>& Parents() const { return m_parents; }

private:
    mapwriter::MapDescription& m_map;
    int m_codePage;
    std::map<std::tuple<std::string, int32_t, uint8_t>, int32_t> m_index;
    std::vector<int32_t> m_parents;
};

// ---------------------------------------------------------------- projection

class Projector {
public:
    explicit Projector(const std::vector<double>& coefficients)
    {
        std::vector<uint8_t> bytes;
        for (double c : coefficients) {
            uint64_t bits = 0;
            std::memcpy(&bits, &c, sizeof bits);
            for (int i = 0; i < 8; ++i)
                bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        }
        m_transform.LoadCoefficients(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

    ZXS_Point operator()(const Location& at) const
    {
        ZXS_Point p;
        if (!GeoToMap(&m_transform, at.LongitudeRadians(), at.LatitudeRadians(), p.x, p.y) || p.x < 0
            || p.y < 0 || p.x > 0xFFFFFF || p.y > 0xFFFFFF)
            throw CompileError("a position lies outside the map's coordinate range");
        return p;
    }

private:
    CZXS_PolynomialTransform m_transform;
};

// ---------------------------------------------------------------- objects

struct Element { // a road element of the graph
    int64_t from = 0;
    int64_t to = 0;
    uint16_t costA = 1;
    uint16_t costB = 1;
};

struct Object {
    std::vector<Record> records;
    std::vector<RecordSource> sources;
    uint64_t key = 0;
    int32_t linkName = -1; // houses: the street's name record
    Element element;
};

uint64_t Morton(int32_t x, int32_t y)
{
    uint64_t key = 0;
    for (int bit = 0; bit < 24; ++bit) {
        key |= static_cast<uint64_t>((x >> bit) & 1) << (2 * bit);
        key |= static_cast<uint64_t>((y >> bit) & 1) << (2 * bit + 1);
    }
    return key;
}

void SetKey(Object& o)
{
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (const Record& r : o.records) {
        for (const ZXS_Point& p : r.points) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    }
    o.key = Morton(left / 2 + right / 2, top / 2 + bottom / 2);
}

// Projected points of a node list, a point equal to the one before dropped
// (the point coding has no zero step).
std::vector<ZXS_Point> Project(
    const OsmData& data, const Projector& project, const std::vector<int64_t>& nodes, bool closed)
{
    std::vector<ZXS_Point> points;
    points.reserve(nodes.size());
    for (int64_t id : nodes) {
        const auto it = data.locations.find(id);
        if (it == data.locations.end())
            throw CompileError("node " + std::to_string(id) + " is missing");
        const ZXS_Point p = project(it->second);
        if (points.empty() || !(points.back() == p))
            points.push_back(p);
    }
    while (closed && points.size() > 1 && points.back() == points.front())
        points.pop_back();
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
    if (OneOf(highway, { "motorway", "motorway_link", "trunk", "trunk_link", "primary", "primary_link" }))
        return kHighways;
    if (OneOf(highway, { "secondary", "secondary_link" }))
        return kMainStreets;
    if (OneOf(highway, { "tertiary", "tertiary_link", "residential", "unclassified", "road" }))
        return kStreets;
    if (OneOf(highway, { "living_street", "service", "track" }))
        return kServiceRoads;
    return -1;
}

// Metres per second by road type.
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

// +1 forward only, -1 backward only, 0 both ways.
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

uint16_t Cost(double value)
{
    return static_cast<uint16_t>(std::clamp<long>(std::lround(value), 1, kMaxCost));
}

// ---------------------------------------------------------------- styles

struct StyleSpec {
    uint8_t group;
    float threshold; // drawn when one map unit is more pixels than this
    uint8_t flags; // 0x20 drawable, 0x40 searchable, 0x10 labelled, 0x80 area labels
    uint8_t flags2; // 0x08 no fill, 0x10 no outline
    uint8_t labelSize;
    uint32_t line; // 0xRRGGBB
    uint8_t width;
    uint32_t centre;
    uint8_t centreWidth;
    uint8_t outline;
    uint32_t fill;
    uint8_t lastFlags; // 0x01 one-way arrows
    bool dashed = false;
};

std::array<uint8_t, 44> StyleBytes(const StyleSpec& s)
{
    std::array<uint8_t, 44> b {};
    uint32_t bits = 0;
    std::memcpy(&bits, &s.threshold, sizeof bits);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(bits >> (8 * i));
    b[4] = s.group;
    b[5] = s.flags2;
    b[6] = s.flags;
    b[7] = s.labelSize;
    auto rgb = [&](int at, uint32_t c) {
        b[at] = static_cast<uint8_t>(c >> 16);
        b[at + 1] = static_cast<uint8_t>(c >> 8);
        b[at + 2] = static_cast<uint8_t>(c);
    };
    rgb(14, s.line);
    b[17] = s.width;
    b[18] = s.dashed ? 1 : 0;
    rgb(20, s.centre);
    b[23] = s.centreWidth;
    b[29] = s.outline;
    rgb(32, s.fill);
    b[40] = s.lastFlags;
    return b;
}

// Scale (map units per 128 pixels) from which on a style applies.
float From(double scale) { return static_cast<float>(128.0 / scale); }

std::vector<std::array<uint8_t, 44>> Styles()
{
    constexpr uint8_t D = 0x20, S = 0x40, L = 0x10, A = 0x80;
    const std::vector<StyleSpec> specs = {
        // areas
        { 1, From(400000), D | S | L, 0x10, 10, 0, 0, 0, 0, 0, 0xC8E6B4, 0 },
        { 2, From(1000000), D | S | L | A, 0x10, 10, 0, 0, 0, 0, 0, 0xA8CCF0, 0 },
        { 3, From(400000), D | S | L, 0, 10, 0x78AADC, 1, 0, 0, 0, 0, 0 },
        { 3, From(20000), D | S | L, 0, 10, 0x78AADC, 4, 0xA8CCF0, 2, 0, 0, 0 },
        { 4, From(200000), D | S, 0, 0, 0x707070, 1, 0, 0, 0, 0, 0 },
        { 4, From(20000), D | S, 0, 0, 0x707070, 3, 0xFFFFFF, 1, 0, 0, 0, true },
        { 5, From(8000), D | S, 0, 0, 0, 0, 0, 0, 1, 0xD9D0C9, 0 },
        { 6, From(8000), D | S, 0, 0, 0, 0, 0, 0, 1, 0xD9D0C9, 0 },
        { 6, From(1500), D | S | L, 0, 9, 0, 0, 0, 0, 1, 0xD9D0C9, 0 },
        { 7, From(8000), D | S, 0, 0, 0xB4A08C, 1, 0, 0, 0, 0, 0, true },
        // street names: the layer only carries the labels (width 0 draws no line) and names
        // appear only close in, where they have room beside each other
        { 8, From(30000), D | S, 0, 0, 0, 0, 0, 0, 0, 0, 0 },
        { 8, From(1500), D | S | L, 0, 10, 0, 0, 0, 0, 0, 0, 0 },
        { 9, From(300000), D | S | L, 0, 11, 0x303030, 3, 0, 0, 0, 0, 0 },
        // roads: outer band and centre line; bands widen only close in so that far views stay
        // light, each class one step narrower than the class above, arrows only close in
        { 10, From(15000), D | S, 0, 0, 0xB4B4B4, 1, 0, 0, 0, 0, 0 },
        { 10, From(3000), D | S, 0, 0, 0xB4B4B4, 4, 0xFFFFFF, 2, 0, 0, 1 },
        { 10, From(1200), D | S, 0, 0, 0xB4B4B4, 5, 0xFFFFFF, 3, 0, 0, 1 },
        { 11, From(40000), D | S, 0, 0, 0xA0A0A0, 1, 0, 0, 0, 0, 0 },
        { 11, From(5000), D | S, 0, 0, 0x969696, 3, 0xFFFFFF, 1, 0, 0, 0 },
        { 11, From(3000), D | S, 0, 0, 0x969696, 5, 0xFFFFFF, 3, 0, 0, 1 },
        { 11, From(1200), D | S, 0, 0, 0x969696, 8, 0xFFFFFF, 6, 0, 0, 1 },
        { 12, From(200000), D | S, 0, 0, 0xC8A03C, 2, 0, 0, 0, 0, 0 },
        { 12, From(10000), D | S, 0, 0, 0xA08232, 4, 0xFFDC78, 2, 0, 0, 0 },
        { 12, From(3000), D | S, 0, 0, 0xA08232, 7, 0xFFDC78, 5, 0, 0, 1 },
        { 12, From(1200), D | S, 0, 0, 0xA08232, 10, 0xFFDC78, 8, 0, 0, 1 },
        { 13, 0.0f, D | S, 0, 0, 0xD2691E, 2, 0xFFA54F, 1, 0, 0, 0 },
        { 13, From(20000), D | S, 0, 0, 0xB4501E, 6, 0xFFA54F, 4, 0, 0, 0 },
        { 13, From(3000), D | S, 0, 0, 0xB4501E, 8, 0xFFA54F, 6, 0, 0, 1 },
        { 13, From(1200), D | S, 0, 0, 0xB4501E, 12, 0xFFA54F, 9, 0, 0, 1 },
    };
    std::vector<std::array<uint8_t, 44>> styles;
    for (const StyleSpec& s : specs)
        styles.push_back(StyleBytes(s));
    return styles;
}

struct LayerSpec {
    const char* russian;
    const char* english;
    uint8_t flags; // 8 linked, 0x20 excluded from name searches
    uint8_t group;
    uint8_t symbol;
};

// In LayerIndex order.
const LayerSpec kLayers[kLayerCount] = {
    { "Территории", "Territories", 0, 1, 255 },
    { "Водоемы", "Water", 0, 2, 255 },
    { "Реки", "Rivers", 0, 3, 255 },
    { "Железные дороги", "Railways", 0x20, 4, 255 },
    { "Здания", "Buildings", 0x20, 5, 255 },
    { "Пешеходные дорожки", "Footways", 0x20, 7, 255 },
    { "Назв.улиц и площадей", "Streets", 0, 8, 255 },
    { "Дома", "Houses", 8, 6, 255 },
    { "Населенные пункты", "Localities", 0, 9, 1 },
    { "Проезды", "Service roads", 0x20, 10, 255 },
    { "Улицы", "Streets", 0x20, 11, 255 },
    { "Главные улицы", "Main streets", 0x20, 12, 255 },
    { "Магистрали", "Highways", 0x20, 13, 255 },
};

mapwriter::Symbol LocalitySymbol()
{
    // A 7 x 7 ring with a dot, bottom row first.
    mapwriter::Symbol s;
    s.width = 7;
    s.height = 7;
    s.number = 1;
    s.symbolClass = 1;
    s.rows = { 0x38, 0x44, 0x92, 0xBA, 0x92, 0x44, 0x38 };
    return s;
}

// ---------------------------------------------------------------- localities

struct Locality {
    ZXS_Point at;
    int level; // 0 city or town, 1 village, 2 part of a settlement
    int32_t name;
};

int PlaceLevel(std::string_view place)
{
    if (OneOf(place, { "city", "town" }))
        return 0;
    if (OneOf(place, { "village", "hamlet", "isolated_dwelling" }))
        return 1;
    if (OneOf(place, { "suburb", "quarter", "neighbourhood", "borough", "city_block", "locality" }))
        return 2;
    return -1;
}

double Distance2(ZXS_Point a, ZXS_Point b)
{
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    return dx * dx + dy * dy;
}

// The name of the nearest locality whose level is one of `levels`, -1 when none.
int32_t Nearest(const std::vector<Locality>& places, ZXS_Point at, std::initializer_list<int> levels)
{
    int32_t best = -1;
    double bestDistance = std::numeric_limits<double>::max();
    for (const Locality& l : places) {
        if (std::find(levels.begin(), levels.end(), l.level) == levels.end())
            continue;
        const double d = Distance2(l.at, at);
        if (d < bestDistance) {
            bestDistance = d;
            best = l.name;
        }
    }
    return best;
}

// ---------------------------------------------------------------- compiler

class Compiler {
public:
    Compiler(const OsmData& data, const CompileOptions& options)
        : m_data(data)
        , m_codePage(CodePageFor(data, options))
        , m_out {}
        , m_names(m_out.map, m_codePage)
        , m_project(m_out.map.transform = ProjectionFor(data))
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
        Houses();
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
        std::map<int32_t, std::vector<std::pair<const OsmWay*, std::vector<ZXS_Point>>>> streetPieces;
        for (const OsmWay& w : m_data.ways) {
            const std::string_view highway = TagValue(w.tags, "highway");
            const std::string_view name = TagValue(w.tags, "name");
            const int road = RoadLayer(highway);
            const bool foot
                = OneOf(highway, { "footway", "path", "pedestrian", "steps", "cycleway", "bridleway" });
            if ((road >= 0 || foot) && TagValue(w.tags, "area") != "yes") {
                const std::vector<ZXS_Point> points = Project(m_data, m_project, w.nodes, false);
                if (points.size() < 2)
                    continue;
                int32_t nameIndex = -1;
                if (!name.empty()) {
                    nameIndex = StreetName(name, points[points.size() / 2]);
                    streetPieces[nameIndex].emplace_back(&w, points);
                }
                if (road >= 0)
                    RoadElements(w, road, nameIndex, uses);
                else
                    Lines(kFootways, w, -1);
                continue;
            }
            if (IsClosed(w) && !TagValue(w.tags, "addr:housenumber").empty()
                && !TagValue(w.tags, "addr:street").empty() && !TagValue(w.tags, "building").empty()) {
                m_houseWays.push_back(&w);
                continue;
            }
            const int32_t own = m_names.Add(TagValue(w.tags, "name"));
            if (IsClosed(w) && IsWater(w.tags))
                Shape(kWater, w, own);
            else if (IsClosed(w) && IsTerritory(w.tags))
                Shape(kTerritories, w, own);
            else if (OneOf(TagValue(w.tags, "waterway"), { "river", "stream", "canal", "drain", "ditch" }))
                Lines(kRivers, w, own);
            else if (OneOf(TagValue(w.tags, "railway"),
                         { "rail", "tram", "light_rail", "subway", "narrow_gauge" }))
                Lines(kRailways, w, own);
            else if (IsClosed(w) && !TagValue(w.tags, "building").empty()
                && TagValue(w.tags, "building") != "no")
                Shape(kBuildings, w, own);
        }
        // One object per street, its pieces in the order of their ways.
        for (auto& [nameIndex, pieces] : streetPieces) {
            Object o;
            for (auto& [way, points] : pieces)
                AppendParts(o, *way, points, nameIndex);
            Add(kStreetNames, std::move(o));
        }
    }

    // The nodes behind points [first, last) of a way's projected points
    // (repeated positions were dropped, so the nodes are found again).
    std::vector<int64_t> Slice(const std::vector<int64_t>& nodes, size_t first, size_t last) const
    {
        std::vector<int64_t> out;
        size_t k = 0; // index into points
        ZXS_Point previous { -1, -1 };
        for (int64_t id : nodes) {
            const ZXS_Point p = m_project(m_data.locations.at(id));
            if (k > 0 && p == previous)
                continue;
            if (k >= first && k < last)
                out.push_back(id);
            previous = p;
            ++k;
        }
        return out;
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
        const std::vector<ZXS_Point> points = Project(m_data, m_project, w.nodes, false);
        if (points.size() < 2)
            return;
        Object o;
        AppendParts(o, w, points, name);
        Add(layer, std::move(o));
    }

    // A line as records of at most kMaxLinePoints points, each part starting
    // where the one before ended; the last part ends the object.
    void AppendParts(Object& o, const OsmWay& w, const std::vector<ZXS_Point>& points, int32_t name) const
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
            o.sources.push_back(
                { Slice(w.nodes, first, last), name >= 0 ? std::string(TagValue(w.tags, "name")) : "" });
        }
    }

    // A road split at every junction, at its ends and where an element would
    // grow too long for its cost or its run.
    void RoadElements(const OsmWay& w, int layer, int32_t name, const std::unordered_map<int64_t, int>& uses)
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
                r.forward = oneway >= 0;
                r.backward = oneway <= 0;
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
        m_out.sources.resize(kLayerCount);
        for (int l = 0; l < kLayerCount; ++l) {
            std::vector<Object>& objects = m_objects[l];
            std::stable_sort(objects.begin(), objects.end(),
                [](const Object& a, const Object& b) { return a.key < b.key; });
            mapwriter::Layer layer;
            layer.flags = kLayers[l].flags;
            layer.nameWord = static_cast<int16_t>(l);
            layer.styleGroup = kLayers[l].group;
            layer.symbol = kLayers[l].symbol;
            for (Object& o : objects) {
                if (l >= kFirstRoadLayer) {
                    if (roadOffset >= (1u << 20))
                        throw CompileError("too many road elements for the road graph");
                    o.records.front().linkId = static_cast<int32_t>(roadOffset + 1);
                    elements.emplace_back(o.element, roadOffset++);
                    for (int64_t n : { o.element.from, o.element.to }) {
                        nodeIndex.try_emplace(n, 0);
                        ++ends[n];
                    }
                }
                if (o.linkName >= 0)
                    o.records.front().linkId = ids[o.linkName];
                for (size_t k = 0; k < o.records.size(); ++k) {
                    layer.records.push_back(std::move(o.records[k]));
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
    std::vector<Locality> m_places;
    std::map<std::string, int32_t> m_streets;
    std::vector<const OsmWay*> m_houseWays;
    std::vector<Object> m_objects[kLayerCount];
};

void WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (!mapwriter::SaveFile(path, bytes))
        throw CompileError("cannot write " + path);
}

} // namespace

std::u16string Utf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<uint8_t>(s[i]);
        uint32_t cp = 0xFFFD;
        size_t n = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            n = 2;
        } else if ((b & 0xF0) == 0xE0) {
            n = 3;
        } else if ((b & 0xF8) == 0xF0) {
            n = 4;
        }
        if (n > 1) {
            if (i + n > s.size()) {
                n = 1;
            } else {
                cp = b & (0x7F >> n);
                for (size_t k = 1; k < n; ++k) {
                    const auto c = static_cast<uint8_t>(s[i + k]);
                    if ((c & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        n = k;
                        break;
                    }
                    cp = (cp << 6) | (c & 0x3F);
                }
            }
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp > 0xFFFF ? 0xFFFD : cp));
        }
        i += n;
    }
    return out;
}

std::vector<int32_t> NameIds(const mapwriter::MapDescription& map)
{
    std::vector<int32_t> ids;
    ids.reserve(map.names.size());
    int64_t at = 0;
    for (const mapwriter::Name& n : map.names) {
        ids.push_back(static_cast<int32_t>(std::min<int64_t>(at, INT32_MAX)));
        at += 3 + (map.namePrefixes ? 3 : 0) + static_cast<int64_t>(n.text.size()) + (n.kind == 254 ? 13 : 0);
    }
    return ids;
}

std::vector<double> ProjectionFor(const OsmData& data)
{
    double west = std::numeric_limits<double>::max(), east = -west, south = west, north = -west;
    auto widen = [&](const Location& l) {
        west = std::min(west, l.LongitudeRadians());
        east = std::max(east, l.LongitudeRadians());
        south = std::min(south, l.LatitudeRadians());
        north = std::max(north, l.LatitudeRadians());
    };
    for (const OsmWay& w : data.ways) {
        for (int64_t id : w.nodes)
            widen(data.locations.at(id));
    }
    for (const OsmPoint& p : data.points)
        widen(p.location);
    for (const OsmArea& a : data.areas) {
        for (const auto& ring : a.rings) {
            for (int64_t id : ring)
                widen(data.locations.at(id));
        }
    }
    if (west > east)
        throw CompileError("the input holds no tagged node or way");
    const double scaleX = kEarthRadius * std::cos((south + north) / 2);
    // x = c0 + c1 lon, y = c6 + c8 lat: east to the right, north up.
    return { kMargin - scaleX * west, scaleX, 0, 0, 0, 0, kMargin + kEarthRadius * north, 0, -kEarthRadius, 0,
        0, 0 };
}

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
