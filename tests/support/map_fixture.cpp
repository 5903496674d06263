#include "tests/support/map_fixture.h"
#include "kernel/doc/little_endian.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace testing_support {

std::array<uint8_t, 44> Style(uint8_t group, float threshold, uint8_t r, uint8_t g, uint8_t b)
{
    std::array<uint8_t, 44> s {};
    uint32_t bits = 0;
    std::memcpy(&bits, &threshold, sizeof bits);
    ZXS_PutLe32(s.data(), bits);
    s[4] = group;
    s[6] = 0x60;
    s[14] = r;
    s[15] = g;
    s[16] = b;
    return s;
}

namespace {

mapwriter::Layer RoadLayer()
{
    // A 2 x 2 grid of road elements with link ids 100..105; element 5 is one-way.
    mapwriter::Layer roads;
    roads.styleGroup = 2;
    roads.nameWord = 2;
    const int32_t x0 = 10000;
    const int32_t y0 = 20000;
    const int32_t step = 700;
    struct Segment {
        int ax, ay, bx, by;
    };
    const Segment segments[]
        = { { 0, 0, 1, 0 }, { 1, 0, 2, 0 }, { 0, 1, 1, 1 }, { 1, 1, 2, 1 }, { 1, 0, 1, 1 }, { 0, 0, 0, 1 } };
    int32_t link = 100;
    for (const Segment& s : segments) {
        mapwriter::Record r;
        r.points = { { x0 + s.ax * step, y0 + s.ay * step },
            { x0 + (s.ax + s.bx) * step / 2 + 3, y0 + (s.ay + s.by) * step / 2 - 2 },
            { x0 + s.bx * step, y0 + s.by * step } };
        r.linkId = link++;
        r.name = 2 + (link % 2);
        r.forward = true;
        r.backward = link != 106;
        roads.records.push_back(r);
    }
    return roads;
}

} // namespace

mapwriter::MapDescription SmallMap()
{
    mapwriter::MapDescription m;
    m.created = 1700000000;
    m.transform = { 10000.0, 6000000.0, 0, 0, 0, 0, 50000.0, 0, -6000000.0, 0, 0, 0 };
    m.metricsBlob = { 1, 2, 3, 4, 5 };
    m.symbols = { { 9, 2, 0, 1, { 0xFF, 0x80, 0x00, 0x80 } }, { 8, 1, 5, 1, { 0x81 } },
        { 3, 3, 1, 0, { 0xE0, 0xA0, 0xE0 } } };
    m.dictionary = { { 1, 0, "areas" }, { 1, 2, "Areas" }, { 2, 0, "roads" }, { 2, 2, "Roads" },
        { 7, 0, "street" }, { 7, 1, "st." } };
    m.names = { { "Park" }, { "Lake", 7 }, { "Main" }, { "Second" }, { "Main alias", 254, 0xFFFFFF, 2, 7 } };

    mapwriter::Layer areas;
    areas.nameWord = 1;
    areas.styleGroup = 1;
    mapwriter::Record park;
    park.points = { { 9000, 19000 }, { 9900, 19000 }, { 9900, 19800 }, { 9000, 19800 } };
    park.closed = true;
    park.name = 0;
    areas.records.push_back(park);
    // A two-part object: the first part is not the end of the object.
    mapwriter::Record lake1;
    lake1.points = { { 12000, 21000 }, { 12600, 21050 }, { 12300, 21500 } };
    lake1.closed = true;
    lake1.endOfObject = false;
    lake1.name = 1;
    mapwriter::Record lake2 = lake1;
    lake2.points = { { 12100, 21100 }, { 12200, 21150 }, { 12150, 21200 } };
    lake2.endOfObject = true;
    areas.records.push_back(lake1);
    areas.records.push_back(lake2);
    m.layers.push_back(areas);
    m.layers.push_back(RoadLayer());
    m.firstRoadLayer = 1;
    m.roadLayerCount = 1;
    m.styles = { Style(1, 0.5f, 0, 160, 0), Style(1, 2.0f, 0, 200, 0), Style(2, 0.0f, 250, 250, 250) };
    m.text = "Map data: test fixture";
    return m;
}

mapwriter::MapDescription LargeMap(int objects)
{
    mapwriter::MapDescription m = SmallMap();
    mapwriter::Layer points;
    points.styleGroup = 3;
    points.symbol = 0;
    uint32_t seed = 12345;
    for (int i = 0; i < objects; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int32_t x = 5000 + static_cast<int32_t>((seed >> 8) % 200000);
        seed = seed * 1103515245u + 12345u;
        const int32_t y = 5000 + static_cast<int32_t>((seed >> 8) % 200000);
        mapwriter::Record r;
        r.points = { { x, y }, { x + 40, y + 15 }, { x + 35, y - 70 } };
        r.name = i % 4;
        points.records.push_back(r);
    }
    m.layers.insert(m.layers.begin() + 1, points);
    m.firstRoadLayer = 2;
    return m;
}

std::vector<uint8_t> FixtureKey()
{
    return { 0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6, 0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c };
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "travenor-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
        m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

} // namespace testing_support
