// Writes the fictional city of Voradu as OpenStreetMap XML, the same bytes on
// every run: a 6 x 6 km street lattice with a square ring road, four avenues
// through the centre, a river with bridges, one-way streets, parks, numbered
// buildings, districts and suburbs, a railway and a point of interest of
// every category.
//
// With --nodes N the lattice grows to about N crossings, for measuring how
// costs grow with the size of a map: the streets beyond the city's own are
// numbered after its names, the river and the railway run across the whole
// lattice, and the houses thin out to about one for every crossing.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/mapc/poi_categories.h"

namespace {

constexpr double kLat0 = 56.1;
constexpr double kLon0 = 38.2;
constexpr double kPi = 3.14159265358979323846;
constexpr int kHalf = 15; // the city's own lattice indices -15..15
constexpr double kStep = 200; // metres between lattice lines
constexpr int kRing = 10; // the ring road runs on lines -10 and 10
constexpr double kRailwayY = 2500; // metres north of the centre

using Tags = std::vector<std::pair<std::string, std::string>>;

struct Node {
    double x, y; // metres east and north of the centre
    Tags tags;
};

struct Way {
    std::vector<long> nodes;
    Tags tags;
};

std::map<long, Node> g_nodes;
std::vector<Way> g_ways;
int g_half = kHalf; // lattice indices -g_half..g_half
long g_nextNode = 10000;

long LatticeId(int i, int j) { return 1 + (i + g_half) * (2 * g_half + 1) + (j + g_half); }

// The lattice's first and last lines in metres east or north of the centre,
// with the river and the railway reaching 400 m beyond them.
double Reach() { return g_half * kStep + 400; }

bool InCore(int i, int j) { return std::abs(i) <= kHalf && std::abs(j) <= kHalf; }

long AddNode(double x, double y, Tags tags = {})
{
    g_nodes[g_nextNode] = { x, y, std::move(tags) };
    return g_nextNode++;
}

double RiverY(double x) { return -300 + 60 * std::sin(x / 700); }

const char* const kRowNames[2 * kHalf + 1] = {
    "Берёзовая улица",
    "Садовая улица",
    "Лесная улица",
    "Полевая улица",
    "Школьная улица",
    "Советская улица",
    "Молодёжная улица",
    "Заводская улица",
    "Луговая улица",
    "Новая улица",
    "Озёрная улица",
    "Солнечная улица",
    "Мирная улица",
    "Нижняя набережная",
    "Верхняя набережная",
    "Центральный проспект",
    "Весенняя улица",
    "Вишнёвая улица",
    "Липовая улица",
    "Кленовая улица",
    "Сосновая улица",
    "Рябиновая улица",
    "Тихая улица",
    "Светлая улица",
    "Южная улица",
    "Северная улица",
    "Парковая улица",
    "Спортивная улица",
    "Строительная улица",
    "Почтовая улица",
    "Восточная улица",
};

const char* const kColumnNames[2 * kHalf + 1] = {
    "улица Пушкина",
    "улица Гагарина",
    "улица Лермонтова",
    "улица Чехова",
    "улица Толстого",
    "улица Горького",
    "улица Некрасова",
    "улица Гоголя",
    "улица Тургенева",
    "улица Островского",
    "улица Суворова",
    "улица Кутузова",
    "улица Ломоносова",
    "улица Менделеева",
    "улица Королёва",
    "проспект Мира",
    "улица Циолковского",
    "улица Есенина",
    "улица Маяковского",
    "улица Блока",
    "улица Крылова",
    "улица Жуковского",
    "улица Фрунзе",
    "улица Чайковского",
    "улица Глинки",
    "улица Репина",
    "улица Шишкина",
    "улица Левитана",
    "улица Попова",
    "улица Павлова",
    "улица Мичурина",
};

// The city's own street names, then the same names numbered for the streets
// of a grown lattice: "2-я Садовая улица".
std::string LineName(const char* const (&names)[2 * kHalf + 1], int k)
{
    if (std::abs(k) <= kHalf)
        return names[k + kHalf];
    const int n = 2 * kHalf + 1;
    const int index = ((k + kHalf) % n + n) % n;
    const int round = (k > 0 ? k + kHalf : kHalf - k) / n + 1;
    return std::to_string(round) + "-я " + names[index];
}

// Lattice edges already given to a street, so no two ways share one.
std::set<std::pair<long, long>> g_usedEdges;

bool Claim(long a, long b) { return g_usedEdges.insert({ std::min(a, b), std::max(a, b) }).second; }

bool CrossesRiver(long a, long b)
{
    const Node& p = g_nodes[a];
    const Node& q = g_nodes[b];
    const double mid = RiverY((p.x + q.x) / 2);
    return (p.y - mid) * (q.y - mid) < 0;
}

struct Street {
    std::string name;
    std::string highway;
    std::string oneway; // "", "yes" or "-1"
};

// Ways along a path of nodes: one per run of edges not yet taken, the bridge
// edges as ways of their own; edges over the river are left out unless the
// path bridges it.
void AddStreet(const std::vector<long>& path, const Street& s, bool bridges)
{
    std::vector<long> run;
    auto flush = [&](bool bridge) {
        if (run.size() >= 2) {
            Way w;
            w.nodes = run;
            w.tags = { { "highway", s.highway } };
            if (!s.name.empty())
                w.tags.push_back({ "name", s.name });
            if (!s.oneway.empty())
                w.tags.push_back({ "oneway", s.oneway });
            if (bridge) {
                w.tags.push_back({ "bridge", "yes" });
                w.tags.push_back({ "layer", "1" });
            }
            g_ways.push_back(std::move(w));
        }
        run.clear();
    };
    for (size_t k = 0; k + 1 < path.size(); ++k) {
        const long a = path[k], b = path[k + 1];
        const bool river = CrossesRiver(a, b);
        if (!Claim(a, b) || (river && !bridges)) {
            flush(false);
            continue;
        }
        if (river) {
            flush(false);
            run = { a, b };
            flush(true);
            continue;
        }
        if (run.empty())
            run.push_back(a);
        run.push_back(b);
    }
    flush(false);
}

// Crossings a few metres off the exact lattice, as surveyed streets are:
// no street is a perfectly straight line whose box has no area.
void Lattice()
{
    const long crossings = static_cast<long>(2 * g_half + 1) * (2 * g_half + 1);
    if (crossings >= g_nextNode)
        g_nextNode = (crossings / 10000 + 1) * 10000;
    for (int i = -g_half; i <= g_half; ++i) {
        for (int j = -g_half; j <= g_half; ++j)
            g_nodes[LatticeId(i, j)] = { i * kStep + 4 * std::sin(1.3 * i + 2.1 * j),
                j * kStep + 4 * std::cos(0.7 * i - 1.9 * j), {} };
    }
}

void Roads()
{
    // The ring first, then the avenues, then the lattice's streets.
    std::vector<long> ring;
    for (int i = -kRing; i < kRing; ++i)
        ring.push_back(LatticeId(i, -kRing));
    for (int j = -kRing; j < kRing; ++j)
        ring.push_back(LatticeId(kRing, j));
    for (int i = kRing; i > -kRing; --i)
        ring.push_back(LatticeId(i, kRing));
    for (int j = kRing; j >= -kRing; --j)
        ring.push_back(LatticeId(-kRing, j));
    AddStreet(ring, { "Кольцевой бульвар", "primary", "" }, true);

    std::vector<long> north, east, rising, falling;
    for (int k = -g_half; k <= g_half; ++k) {
        north.push_back(LatticeId(0, k));
        east.push_back(LatticeId(k, 0));
        rising.push_back(LatticeId(k, k));
        falling.push_back(LatticeId(k, -k));
    }
    AddStreet(north, { "проспект Мира", "primary", "" }, true);
    AddStreet(east, { "Центральный проспект", "primary", "" }, true);
    AddStreet(rising, { "Ленинградский проспект", "secondary", "" }, true);
    AddStreet(falling, { "Московский проспект", "secondary", "" }, true);

    for (int j = -g_half; j <= g_half; ++j) {
        std::vector<long> row;
        for (int i = -g_half; i <= g_half; ++i)
            row.push_back(LatticeId(i, j));
        Street s { LineName(kRowNames, j), j % 4 == 0 ? "tertiary" : "residential", "" };
        // Inside the ring every odd row is one-way, alternately east and west.
        if (std::abs(j) < kRing && (j & 1) != 0) {
            s.oneway = ((j + 16) % 4 == 1) ? "yes" : "-1";
            // Split at the ring so that the part outside stays two-way.
            std::vector<long> inside(row.begin() + (g_half - kRing), row.begin() + (g_half + kRing) + 1);
            AddStreet(inside, s, false);
            s.oneway.clear();
        }
        AddStreet(row, s, false);
    }
    for (int i = -g_half; i <= g_half; ++i) {
        std::vector<long> column;
        for (int j = -g_half; j <= g_half; ++j)
            column.push_back(LatticeId(i, j));
        AddStreet(
            column, { LineName(kColumnNames, i), i % 4 == 0 ? "tertiary" : "residential", "" }, i % 6 == 0);
    }
    // Slip roads where the avenues meet the ring road: one-way curves that
    // leave an avenue a block before the ring at an angle, cut the corner and
    // join the ring a block after the crossing, turning right.
    struct Slip {
        int fromI, fromJ, toI, toJ;
    };
    for (const Slip& s : { Slip { 0, -kRing - 1, 1, -kRing }, Slip { kRing - 1, 0, kRing, -1 },
             Slip { 0, kRing + 1, -1, kRing }, Slip { -kRing + 1, 0, -kRing, 1 } }) {
        const Node from = g_nodes[LatticeId(s.fromI, s.fromJ)];
        const Node to = g_nodes[LatticeId(s.toI, s.toJ)];
        const bool northSouth = s.fromI == 0;
        const Node corner = g_nodes[LatticeId(northSouth ? s.fromI : s.toI, northSouth ? s.toJ : s.fromJ)];
        // A quadratic curve whose control point lies inside the corner's block.
        const double cx = corner.x + 0.35 * ((to.x - corner.x) + (from.x - corner.x));
        const double cy = corner.y + 0.35 * ((to.y - corner.y) + (from.y - corner.y));
        std::vector<long> path { LatticeId(s.fromI, s.fromJ) };
        for (int k = 1; k < 6; ++k) {
            const double t = k / 6.0;
            path.push_back(AddNode((1 - t) * (1 - t) * from.x + 2 * (1 - t) * t * cx + t * t * to.x,
                (1 - t) * (1 - t) * from.y + 2 * (1 - t) * t * cy + t * t * to.y));
        }
        path.push_back(LatticeId(s.toI, s.toJ));
        AddStreet(path, { "", "primary_link", "yes" }, false);
    }
    // Drives into the parks' car parks.
    AddStreet({ LatticeId(3, 4), AddNode(3 * kStep - 60, 4 * kStep + 60) }, { "", "service", "" }, false);
    AddStreet({ LatticeId(-5, 3), AddNode(-5 * kStep - 60, 3 * kStep - 60) }, { "", "service", "" }, false);
}

void River()
{
    std::vector<long> line, bank;
    for (double x = -Reach(); x <= Reach(); x += 100)
        line.push_back(AddNode(x, RiverY(x)));
    g_ways.push_back({ line, { { "waterway", "river" }, { "name", "река Вора" } } });
    for (double x = -Reach(); x <= Reach(); x += 100)
        bank.push_back(AddNode(x, RiverY(x) + 35));
    for (double x = Reach(); x >= -Reach(); x -= 100)
        bank.push_back(AddNode(x, RiverY(x) - 35));
    bank.push_back(bank.front());
    g_ways.push_back({ bank, { { "natural", "water" }, { "name", "река Вора" } } });
}

void Railway()
{
    std::vector<long> line;
    for (double x = -Reach(); x <= Reach(); x += 200)
        line.push_back(AddNode(x, kRailwayY));
    g_ways.push_back({ line, { { "railway", "rail" }, { "name", "Северная железная дорога" } } });
}

long Rectangle(double left, double bottom, double right, double top, Tags tags)
{
    Way w;
    w.nodes = { AddNode(left, bottom), AddNode(right, bottom), AddNode(right, top), AddNode(left, top) };
    w.nodes.push_back(w.nodes.front());
    w.tags = std::move(tags);
    g_ways.push_back(std::move(w));
    return static_cast<long>(g_ways.size() - 1);
}

struct Park {
    int i, j;
    const char* name;
};
const Park kParks[] = {
    { 2, 4, "парк Победы" },
    { -6, 2, "Городской сад" },
    { 4, -7, "сквер Славы" },
    { -8, -5, "парк Горького" },
    { 11, 12, "Лесопарк Березняк" },
    { -3, 8, "парк Дружбы" },
};

bool InPark(double x, double y)
{
    for (const Park& p : kParks) {
        if (x > p.i * kStep && x < (p.i + 1) * kStep && y > p.j * kStep && y < (p.j + 1) * kStep)
            return true;
    }
    return false;
}

void Parks()
{
    for (const Park& p : kParks)
        Rectangle(p.i * kStep + 50, p.j * kStep + 50, (p.i + 1) * kStep - 50, (p.j + 1) * kStep - 50,
            { { "leisure", "park" }, { "name", p.name } });
    Rectangle(-3300, 2700, -2400, 3300, { { "landuse", "forest" }, { "name", "Воровский лес" } });
}

struct House {
    double x, y;
    std::string street, number;
};
std::vector<House> g_houses;

// The street that owns a lattice edge, found through the ways.
std::map<std::pair<long, long>, std::string> EdgeNames()
{
    std::map<std::pair<long, long>, std::string> names;
    for (const Way& w : g_ways) {
        std::string name, highway;
        for (const auto& [k, v] : w.tags) {
            if (k == "name")
                name = v;
            if (k == "highway")
                highway = v;
        }
        if (highway.empty() || name.empty())
            continue;
        for (size_t k = 0; k + 1 < w.nodes.size(); ++k)
            names[{ std::min(w.nodes[k], w.nodes[k + 1]), std::max(w.nodes[k], w.nodes[k + 1]) }] = name;
    }
    return names;
}

void Buildings()
{
    const auto names = EdgeNames();
    std::map<std::string, int> odd, even;
    auto place = [&](const std::string& street, bool oddSide, double cx, double cy, bool alongX) {
        if (InPark(cx, cy) || std::abs(cy - RiverY(cx)) < 120 || std::abs(cy - kRailwayY) < 45)
            return;
        int& counter = oddSide ? odd[street] : even[street];
        const int number = oddSide ? 2 * counter + 1 : 2 * counter + 2;
        ++counter;
        const double hw = alongX ? 30 : 10, hh = alongX ? 10 : 30;
        const std::string text = std::to_string(number);
        Rectangle(cx - hw, cy - hh, cx + hw, cy + hh,
            { { "building", number % 7 == 0 ? "apartments" : "yes" }, { "addr:street", street },
                { "addr:housenumber", text } });
        g_houses.push_back({ cx, cy, street, text });
        // A yard building with a letter beside every tenth house.
        if (number % 10 == 0) {
            const double ox = alongX ? 0 : (cx > 0 ? 1 : -1), oy = alongX ? 1 : 0;
            AddNode(cx + ox * 55 + oy * 0, cy + oy * (cy > 0 ? 1 : -1) * 55,
                { { "addr:street", street }, { "addr:housenumber", text + "а" } });
        }
    };
    // Beyond the city's own lattice a house on one side of every other edge.
    auto sparse = [](int i, int j) { return !InCore(i, j) && (i + j) % 2 != 0; };
    for (int j = -g_half; j <= g_half; ++j) {
        for (int i = -g_half; i < g_half; ++i) {
            const auto it = names.find({ LatticeId(i, j), LatticeId(i + 1, j) });
            if (it == names.end() || sparse(i, j))
                continue;
            const double cx = (i + 0.5) * kStep;
            if (j < g_half)
                place(it->second, true, cx, j * kStep + 30, true);
            if (j > -g_half && InCore(i, j))
                place(it->second, false, cx, j * kStep - 30, true);
        }
    }
    for (int i = -g_half; i <= g_half; ++i) {
        for (int j = -g_half; j < g_half; ++j) {
            const auto it = names.find({ LatticeId(i, j), LatticeId(i, j + 1) });
            if (it == names.end() || sparse(i, j))
                continue;
            const double cy = (j + 0.5) * kStep;
            if (i < g_half)
                place(it->second, true, i * kStep + 30, cy, false);
            if (i > -g_half && InCore(i, j))
                place(it->second, false, i * kStep - 30, cy, false);
        }
    }
}

void Localities()
{
    AddNode(40, 40, { { "place", "city" }, { "name", "Вораду" }, { "population", "240000" } });
    const struct {
        int i, j;
        const char* name;
    } parts[] = {
        { 1, 1, "Центральный" },
        { 1, -6, "Заречный" },
        { 1, 6, "Северный" },
        { 6, 1, "Восточный" },
        { -6, 1, "Западный" },
        { 13, 13, "Берёзовка" },
        { -13, 13, "Сосновка" },
        { -13, -13, "Лесная Поляна" },
        { 13, -13, "Дубки" },
    };
    for (const auto& p : parts)
        AddNode(p.i * kStep + 100, p.j * kStep + 100, { { "place", "suburb" }, { "name", p.name } });
}

// One point of interest of every category, at houses spread over the city.
void Pois()
{
    std::set<uint16_t> done;
    std::vector<std::pair<uint16_t, const mapc::PoiRule*>> firsts;
    for (const mapc::PoiRule& r : mapc::PoiRules()) {
        if (done.insert(r.category).second)
            firsts.push_back({ r.category, &r });
    }
    size_t n = 0;
    auto at = [&](size_t k) -> const House& { return g_houses[(k * 37 + 11) % g_houses.size()]; };
    for (const auto& [code, rule] : firsts) {
        const House& h = at(n);
        Tags tags = { { std::string(rule->key), std::string(rule->value) } };
        if (!rule->key2.empty())
            tags.push_back({ std::string(rule->key2), std::string(rule->value2) });
        tags.push_back({ "name", std::string(rule->name) + " «Вораду-" + std::to_string(n + 1) + "»" });
        tags.push_back({ "addr:street", h.street });
        tags.push_back({ "addr:housenumber", h.number });
        char phone[32];
        std::snprintf(phone, sizeof phone, "+7 495 %03zu-%02zu-%02zu", 100 + n, n % 100, (n * 7) % 100);
        tags.push_back({ "phone", phone });
        if (n % 3 == 0)
            tags.push_back({ "website", "https://voradu.example/" + std::to_string(code) });
        if (n % 4 == 0)
            tags.push_back({ "email", "info" + std::to_string(n) + "@voradu.example" });
        if (n % 5 == 0)
            tags.push_back({ "description", "Работает ежедневно" });
        AddNode(h.x + 12, h.y + 5, tags);
        ++n;
    }
    // A named object of a kind no category has is listed as unknown.
    const House& h = at(n++);
    AddNode(h.x - 12, h.y - 5, { { "amenity", "vending_machine" }, { "name", "Автомат «Вораду»" } });
    // Common places more than once.
    const char* const more[][3] = {
        { "amenity", "fuel", "АЗС «Вора»" },
        { "amenity", "cafe", "Кафе «Ласточка»" },
        { "amenity", "pharmacy", "Аптека №2" },
        { "shop", "supermarket", "Супермаркет «Север»" },
        { "amenity", "parking", "Стоянка у парка" },
        { "amenity", "restaurant", "Ресторан «Набережный»" },
    };
    for (const auto& m : more) {
        const House& p = at(n++);
        AddNode(p.x + 12, p.y - 5,
            { { m[0], m[1] }, { "name", m[2] }, { "addr:street", p.street },
                { "addr:housenumber", p.number } });
    }
}

std::string Escape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void WriteTags(std::ostream& out, const Tags& tags)
{
    for (const auto& [k, v] : tags)
        out << "    <tag k=\"" << Escape(k) << "\" v=\"" << Escape(v) << "\"/>\n";
}

bool Write(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osm version=\"0.6\" "
           "generator=\"travenor_voradu\">\n";
    const double metresPerDegreeLat = 111320.0;
    const double metresPerDegreeLon = metresPerDegreeLat * std::cos(kLat0 * kPi / 180);
    char position[96];
    for (const auto& [id, node] : g_nodes) {
        std::snprintf(position, sizeof position, "lat=\"%.7f\" lon=\"%.7f\"",
            kLat0 + node.y / metresPerDegreeLat, kLon0 + node.x / metresPerDegreeLon);
        out << "  <node id=\"" << id << "\" version=\"1\" " << position;
        if (node.tags.empty()) {
            out << "/>\n";
        } else {
            out << ">\n";
            WriteTags(out, node.tags);
            out << "  </node>\n";
        }
    }
    long wayId = 1;
    for (const Way& w : g_ways) {
        out << "  <way id=\"" << wayId++ << "\" version=\"1\">\n";
        for (long n : w.nodes)
            out << "    <nd ref=\"" << n << "\"/>\n";
        WriteTags(out, w.tags);
        out << "  </way>\n";
    }
    out << "</osm>\n";
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    const char* output = nullptr;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--nodes" && k + 1 < argc) {
            // The smallest square lattice of at least N crossings, never
            // smaller than the city's own.
            char* end = nullptr;
            const long nodes = std::strtol(argv[++k], &end, 10);
            if (*end != '\0' || nodes < 1 || nodes > 2000000) {
                std::fprintf(stderr, "travenor_voradu: bad node count %s\n", argv[k]);
                return 2;
            }
            while ((2L * g_half + 1) * (2L * g_half + 1) < nodes)
                ++g_half;
        } else if (output == nullptr && !arg.starts_with("--")) {
            output = argv[k];
        } else {
            output = nullptr;
            break;
        }
    }
    if (output == nullptr) {
        std::fprintf(stderr, "usage: travenor_voradu [--nodes N] OUTPUT.osm\n");
        return 2;
    }
    Lattice();
    Roads();
    River();
    Railway();
    Parks();
    Buildings();
    Localities();
    Pois();
    if (!Write(output)) {
        std::fprintf(stderr, "travenor_voradu: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
