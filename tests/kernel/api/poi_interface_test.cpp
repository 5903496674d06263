// POI sets beside the maps and the POI query through the interface: loading
// and refusing POI files, the category table, the attribute walk, and queries
// by box over the sets of every open map checked against a plain filter.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "kernel/api/map_geo.h"
#include "kernel/api/poi_interface.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/application.h"
#include "kernel/doc/code_page.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/poi_query.h"
#include "kernel/doc/poi_set.h"
#include "kernel/doc/poi_store.h"
#include "kernel/doc/stream_kind.h"
#include "kernel/render/coords.h"
#include "tests/kernel/doc/kernel_fixture.h"
#include "tools/mapwriter/poi_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;
using kernel_fixture::ScopedKernel;
using testing_support::TempFolder;

mapwriter::Poi MakePoi(uint16_t category, double lon, double lat, std::string name,
    std::vector<std::pair<uint16_t, std::string>> attributes = {})
{
    mapwriter::Poi p;
    p.category = category;
    p.longitude = lon;
    p.latitude = lat;
    p.name = std::move(name);
    p.attributes = std::move(attributes);
    return p;
}

// Random POIs of random categories around (0.65, 0.97) radians.
mapwriter::PoiSetDescription RandomSet(uint32_t seed, int count, const std::string& prefix)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> lon(0.64, 0.66);
    std::uniform_real_distribution<double> lat(0.96, 0.98);
    mapwriter::PoiSetDescription set;
    for (int i = 0; i < count; ++i) {
        const ZXS_PoiCategory& c
            = g_poiCategoryTable[std::uniform_int_distribution<int>(0, kPoiCategoryCount - 1)(rng)];
        set.pois.push_back(MakePoi(c.code, lon(rng), lat(rng), prefix + std::to_string(i)));
    }
    return set;
}

Bytes SetBytes(const mapwriter::PoiSetDescription& set) { return mapwriter::WriteZxp(set); }

bool Loads(const Bytes& bytes, uint32_t size)
{
    CZXS_PoiSet set;
    return set.Load("memfile", bytes.data(), size);
}

std::string NameA(const CZXS_PoiHandle& h)
{
    char buffer[300];
    ZXS_PoiGetNameA(&h, buffer, sizeof buffer);
    return buffer;
}

TEST(PoiSet, LoadsSoundFilesAndRefusesOthers)
{
    const Bytes good = SetBytes(RandomSet(1, 5, "p"));
    EXPECT_TRUE(Loads(good, static_cast<uint32_t>(good.size())));
    struct Case {
        const char* what;
        size_t at;
        uint16_t value;
        bool loads;
    } cases[] = {
        { "version 100", 84, 100, true },
        { "version 306", 84, 306, true },
        { "version 307", 84, 307, false },
        { "wrong magic", 82, 0xD2EB, false },
        { "area larger than the file", 450, 1, false },
    };
    for (const Case& c : cases) {
        Bytes b = good;
        ZXS_PutLe16(&b[c.at], static_cast<uint16_t>(c.value));
        EXPECT_EQ(Loads(b, static_cast<uint32_t>(b.size())), c.loads) << c.what;
    }
    EXPECT_FALSE(Loads(good, 0));
    EXPECT_FALSE(Loads(good, 519));

    // A record whose length is 0 or runs past the area ends the records there.
    for (uint16_t length : { 0, 2, 0xFFFF }) {
        Bytes b = good;
        const uint16_t first = ZXS_Le16(&b[520]);
        ZXS_PutLe16(&b[520 + first], length);
        CZXS_PoiSet set;
        ASSERT_TRUE(set.Load("memfile", b.data(), static_cast<uint32_t>(b.size())));
        EXPECT_EQ(set.RecordBytes(), first);
        EXPECT_EQ(set.NextRecord(set.FirstRecord()), nullptr);
    }
}

TEST(PoiSet, AnglesRoundTrip)
{
    for (double r : { 0.0, 0.5, -1.25, 3.0, -3.14159 })
        EXPECT_NEAR(CZXS_PoiSet::AngleToRadians(CZXS_PoiSet::RadiansToAngle(r)), r, 1e-9);
    EXPECT_EQ(CZXS_PoiSet::RadiansToAngle(M_PI), INT32_MIN);
    EXPECT_DOUBLE_EQ(CZXS_PoiSet::AngleToRadians(INT32_MIN), M_PI);
    EXPECT_EQ(CZXS_PoiSet::RadiansToAngle(0.65), mapwriter::PoiAngle(0.65));
}

TEST(PoiStore, CategoryRows)
{
    struct Case {
        uint16_t code;
        const char16_t* name;
        uint16_t symbol;
        const char* english;
    } cases[] = {
        { 0x000, u"Не определен", 1, "Unknown" },
        { 0x0FF, u"Не определен", 1, "Unknown" },
        { 0x801, u"Не определен", 1, "Unknown" },
        { 0xF00, u"Не определен", 1, "Unknown" },
        { 0x802, u"АЗС", 16, "Car Service" },
        { 0x324, u"Вольная гавань", 1, "Free Port" },
        { 0xA20, u"ПП ГАИ", 64, "Public Office" },
        { 0xE08, u"Таможенный терминал", 1, "Transportation" },
    };
    for (const Case& c : cases) {
        const ZXS_PoiCategory& row = CZXS_PoiStore::CategoryRow(c.code);
        EXPECT_EQ(std::u16string(row.name), c.name) << std::hex << c.code;
        EXPECT_EQ(row.symbol, c.symbol) << std::hex << c.code;
        EXPECT_STREQ(row.englishName, c.english) << std::hex << c.code;
    }
    for (int i = 1; i < kPoiCategoryCount; ++i)
        EXPECT_LT(g_poiCategoryTable[i - 1].code, g_poiCategoryTable[i].code);
}

TEST(PoiInterface, HandlesNotOpenAnswerTheirSentinels)
{
    CZXS_PoiHandle h;
    char a[8];
    char16_t w[8];
    double lon = 0;
    ZXS_Point p;
    CZXS_MapHandle map;
    EXPECT_EQ(ZXS_PoiFirst(&h), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiNext(&h), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiQueryGeo(&h, 0, 1, 0, 1), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiGetGeoPos(&h, &map, &lon, &lon), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiGetMapPos(&h, &map, &p), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiGetNameA(&h, a, 8), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiGetNameW(&h, w, 8), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiGetCategoryCode(&h), 0);
    EXPECT_EQ(ZXS_PoiGetAttrType(&h), 0);
    EXPECT_EQ(ZXS_PoiAdvanceAttr(&h), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiGetAttrTextA(&h, a, 8), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_PoiGetAttrLabelW(&h, w, 8), ZXS_ERR_NOHANDLE);
    // Without a kernel a query finds nothing.
    ZXS_PoiCreate(&h);
    EXPECT_EQ(ZXS_PoiFirst(&h), ZXS_ERR_NODATA);
    EXPECT_EQ(ZXS_PoiGetNameA(&h, a, 8), ZXS_ERR_NODATA);
    EXPECT_EQ(ZXS_PoiQueryGeo(&h, 0.5, 0.5, 0, 1), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_PoiQueryGeo(&h, 0, 1, 0.7, 0.2), ZXS_ERR_PARAM);
    ZXS_PoiDestroy(&h);
    EXPECT_EQ(h.pQuery, nullptr);
}

class PoiQueryTest : public ::testing::Test {
protected:
    ScopedKernel kernel;
    TempFolder folder;
    int owner = 0;
    mapwriter::MapDescription map = testing_support::SmallMap();
    Bytes mapBytes = mapwriter::WriteTzx(map);

    std::string SaveMap(const std::string& file, const mapwriter::PoiSetDescription* pois)
    {
        const std::string path = folder.File(file);
        EXPECT_TRUE(mapwriter::SaveFile(path, mapBytes));
        if (pois != nullptr) {
            EXPECT_TRUE(mapwriter::SaveFile(CZXS_PoiStore::PoiPath(path), SetBytes(*pois)));
        }
        return path;
    }
};

TEST_F(PoiQueryTest, BoxQueriesOverEverySetMatchAPlainFilter)
{
    // Three maps: two from files with POI files beside them, one from memory
    // with its POI block.
    const mapwriter::PoiSetDescription sets[]
        = { RandomSet(1, 300, "a"), RandomSet(2, 200, "b"), RandomSet(3, 250, "c") };
    const Bytes memoryPois = SetBytes(sets[2]);
    CZXS_MapHandle maps[3];
    ASSERT_EQ(ZXS_MapOpenA(&maps[0], &owner, SaveMap("a.tzx", &sets[0]).c_str(), nullptr, 0, 1), ZXS_OK);
    ASSERT_EQ(ZXS_MapOpenA(&maps[1], &owner, SaveMap("b.tzx", &sets[1]).c_str(), nullptr, 0, 0), ZXS_OK);
    ASSERT_EQ(ZXS_MapOpenMemory(&maps[2], &owner, mapBytes.data(), static_cast<uint32_t>(mapBytes.size()),
                  nullptr, 0, memoryPois.data(), static_cast<uint32_t>(memoryPois.size()), nullptr, 0),
        ZXS_OK);
    ASSERT_EQ(kernel.App()->Pois().Sets()->size(), 3u);

    CZXS_PoiHandle h;
    ZXS_PoiCreate(&h);
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> lon(0.638, 0.662);
    std::uniform_real_distribution<double> lat(0.958, 0.982);
    for (int i = 0; i < 40; ++i) {
        double lon1 = lon(rng), lon2 = lon(rng), lat1 = lat(rng), lat2 = lat(rng);
        if (lon1 > lon2)
            std::swap(lon1, lon2);
        if (lat1 > lat2)
            std::swap(lat1, lat2);
        const uint16_t group = static_cast<uint16_t>(std::uniform_int_distribution<int>(0, 14)(rng));
        ASSERT_EQ(ZXS_PoiQueryGeo(&h, lon1, lon2, lat1, lat2), ZXS_OK);
        using Found = std::tuple<std::string, int32_t>;
        std::vector<Found> got;
        for (int32_t r = ZXS_PoiFirst(&h); r == ZXS_OK; r = ZXS_PoiNext(&h))
            if (ZXS_PoiGetCategoryCode(&h) >> 8 == group)
                got.emplace_back(NameA(h), ZXS_PoiGetCategoryCode(&h));
        std::vector<Found> expected;
        const int32_t box[4] = { mapwriter::PoiAngle(lon1), mapwriter::PoiAngle(lon2),
            mapwriter::PoiAngle(lat1), mapwriter::PoiAngle(lat2) };
        for (const auto& set : sets) {
            for (const auto& p : set.pois) {
                const int32_t x = mapwriter::PoiAngle(p.longitude);
                const int32_t y = mapwriter::PoiAngle(p.latitude);
                if (x >= box[0] && x <= box[1] && y >= box[2] && y <= box[3] && p.category >> 8 == group)
                    expected.emplace_back(p.name, p.category);
            }
        }
        EXPECT_EQ(got, expected) << i;
    }
    // Without a box every POI of every set, in order.
    ZXS_PoiDestroy(&h);
    ZXS_PoiCreate(&h);
    int count = 0;
    for (int32_t r = ZXS_PoiFirst(&h); r == ZXS_OK; r = ZXS_PoiNext(&h))
        ++count;
    EXPECT_EQ(count, 750);
    // A query holds the sets it walks: closing the maps does not pull them away.
    ASSERT_EQ(ZXS_PoiFirst(&h), ZXS_OK);
    for (CZXS_MapHandle& m : maps)
        ZXS_MapClose(&m);
    EXPECT_TRUE(kernel.App()->Pois().Sets()->empty());
    EXPECT_EQ(NameA(h), "a0");
    EXPECT_EQ(ZXS_PoiNext(&h), ZXS_OK);
    EXPECT_EQ(ZXS_PoiFirst(&h), ZXS_ERR_NODATA);
    ZXS_PoiDestroy(&h);
}

TEST_F(PoiQueryTest, MapsWithOnePoiPathShareOneSet)
{
    const mapwriter::PoiSetDescription set = RandomSet(4, 10, "s");
    CZXS_MapHandle a;
    CZXS_MapHandle b;
    ASSERT_EQ(ZXS_MapOpenA(&a, &owner, SaveMap("city.tzx", &set).c_str(), nullptr, 0, 0), ZXS_OK);
    ASSERT_EQ(ZXS_MapOpenA(&b, &owner, SaveMap("city.map", nullptr).c_str(), nullptr, 0, 0), ZXS_OK);
    CZXS_PoiStore& store = kernel.App()->Pois();
    ASSERT_EQ(store.Sets()->size(), 1u);
    EXPECT_EQ(store.UseCount((*store.Sets())[0].get()), 2);
    ZXS_MapClose(&a);
    ASSERT_EQ(store.Sets()->size(), 1u);
    CZXS_PoiHandle h;
    ZXS_PoiCreate(&h);
    EXPECT_EQ(ZXS_PoiFirst(&h), ZXS_OK);
    EXPECT_EQ(NameA(h), "s0");
    ZXS_PoiDestroy(&h);
    ZXS_MapClose(&b);
    EXPECT_TRUE(store.Sets()->empty());

    // A map without a POI file opens all the same.
    ASSERT_EQ(ZXS_MapOpenA(&a, &owner, SaveMap("bare.tzx", nullptr).c_str(), nullptr, 0, 0), ZXS_OK);
    EXPECT_TRUE(store.Sets()->empty());
    ZXS_MapClose(&a);
}

TEST_F(PoiQueryTest, NamesCategoriesAndAttributes)
{
    mapwriter::PoiSetDescription set;
    set.codePage = 1; // Windows-1252
    set.pois.push_back(MakePoi(0x802, 0.65, 0.97, "Caf\xe9",
        { { 1, "123-45" }, { 6, "Main st. 1" }, { 4, "9-18" }, { 9, "never reached" } }));
    set.pois.push_back(MakePoi(0x0FF, 0.651, 0.971, "Only a name"));
    set.pois.push_back(MakePoi(0x901, 0.652, 0.972, ""));
    const Bytes pois = SetBytes(set);
    CZXS_MapHandle m;
    ASSERT_EQ(ZXS_MapOpenMemory(&m, &owner, mapBytes.data(), static_cast<uint32_t>(mapBytes.size()), nullptr,
                  0, pois.data(), static_cast<uint32_t>(pois.size()), nullptr, 0),
        ZXS_OK);
    CZXS_PoiHandle h;
    ZXS_PoiCreate(&h);
    ASSERT_EQ(ZXS_PoiFirst(&h), ZXS_OK);
    char a[64];
    char16_t w[64];
    EXPECT_EQ(ZXS_PoiGetNameW(&h, w, 64), ZXS_OK);
    EXPECT_EQ(std::u16string(w), u"Café");
    EXPECT_EQ(ZXS_PoiGetNameA(&h, a, 4), ZXS_OK);
    EXPECT_STREQ(a, "Caf");
    EXPECT_EQ(ZXS_PoiGetCategoryW(&h, w, 64), ZXS_OK);
    EXPECT_EQ(std::u16string(w), u"АЗС");
    EXPECT_EQ(ZXS_PoiGetCategoryA(&h, a, 64), ZXS_OK);
    EXPECT_EQ(std::string(a), CZXS_CodePage::FromWide(0, u"АЗС"));
    double lon = 0;
    double lat = 0;
    ASSERT_EQ(ZXS_PoiGetGeoPos(&h, &m, &lon, &lat), ZXS_OK);
    EXPECT_NEAR(lon, 0.65, 1e-9);
    EXPECT_NEAR(lat, 0.97, 1e-9);
    ZXS_Point p;
    ASSERT_EQ(ZXS_PoiGetMapPos(&h, &m, &p), ZXS_OK);
    EXPECT_EQ(p, (ZXS_Point { 10000 + 3900000, 50000 - 5820000 }));

    // Phone, address, then the opening time (a type that ends the walk).
    EXPECT_EQ(ZXS_PoiGetAttrType(&h), 1);
    EXPECT_EQ(ZXS_PoiGetAttrTextA(&h, a, 64), ZXS_OK);
    EXPECT_STREQ(a, "123-45");
    EXPECT_EQ(ZXS_PoiGetAttrLabelW(&h, w, 64), ZXS_OK);
    EXPECT_EQ(std::u16string(w), u"т.");
    EXPECT_EQ(ZXS_PoiGetAttrTypeNameW(&h, w, 64), ZXS_OK);
    EXPECT_EQ(std::u16string(w), u"Телефон");
    ASSERT_EQ(ZXS_PoiAdvanceAttr(&h), ZXS_OK);
    EXPECT_EQ(ZXS_PoiGetAttrType(&h), 6);
    EXPECT_EQ(ZXS_PoiGetAttrTextW(&h, w, 64), ZXS_OK);
    EXPECT_EQ(std::u16string(w), u"Main st. 1");
    ASSERT_EQ(ZXS_PoiAdvanceAttr(&h), ZXS_OK);
    EXPECT_EQ(ZXS_PoiGetAttrType(&h), 4);
    EXPECT_EQ(ZXS_PoiGetAttrTextA(&h, a, 64), ZXS_ERR_NODATA);
    EXPECT_EQ(ZXS_PoiGetAttrLabelA(&h, a, 64), ZXS_OK);
    EXPECT_EQ(std::string(a), CZXS_CodePage::FromWide(0, u"ч.р."));
    EXPECT_EQ(ZXS_PoiAdvanceAttr(&h), ZXS_ERR_NODATA);
    EXPECT_EQ(ZXS_PoiGetAttrType(&h), 0);

    ASSERT_EQ(ZXS_PoiNext(&h), ZXS_OK);
    EXPECT_EQ(h.pAttribute, nullptr);
    EXPECT_EQ(ZXS_PoiGetAttrType(&h), 0);
    EXPECT_EQ(ZXS_PoiGetCategoryW(&h, w, 64), ZXS_OK);
    EXPECT_EQ(std::u16string(w), u"Не определен");
    ASSERT_EQ(ZXS_PoiNext(&h), ZXS_OK);
    a[0] = 'x';
    EXPECT_EQ(ZXS_PoiGetNameA(&h, a, 64), ZXS_ERR_NODATA);
    EXPECT_STREQ(a, "");
    EXPECT_EQ(ZXS_PoiNext(&h), ZXS_ERR_NODATA);
    EXPECT_EQ(ZXS_PoiGetNameA(&h, a, 64), ZXS_ERR_NODATA);

    // A map rectangle through the map's transform: only the first two POIs.
    const ZXS_Rect rect { 10000 + 3899000, 50000 - 5826500, 10000 + 3906500, 50000 - 5819000 };
    ASSERT_EQ(ZXS_PoiQueryRect(&h, &m, &rect), ZXS_OK);
    std::vector<std::string> names;
    for (int32_t r = ZXS_PoiFirst(&h); r == ZXS_OK; r = ZXS_PoiNext(&h))
        names.push_back(NameA(h));
    EXPECT_EQ(names, (std::vector<std::string> { "Caf\xe9", "Only a name" }));
    ZXS_PoiDestroy(&h);
    ZXS_MapClose(&m);
}

TEST(PoiQuery, ViewQueriesTakeTheViewsBoxAndItsScreen)
{
    // SmallMap: x = 10000 + 6e6 lon, y = 50000 - 6e6 lat. A view of 240 x 320
    // pixels at 128 units per 128 pixels centred on (10350, 20350).
    const Bytes map = mapwriter::WriteTzx(testing_support::SmallMap());
    CZXS_TzxDoc doc;
    ZXS_MapSource source;
    source.mapBlock = map.data();
    source.mapSize = static_cast<uint32_t>(map.size());
    ASSERT_EQ(doc.Open(&source, nullptr, 0, CZXS_DiskStream::kMemory), 1);
    CZXS_Coords view;
    const ZXS_ScreenRect screen { 0, 0, 239, 319 };
    ASSERT_EQ(view.SetScreenRect(&screen), 1);
    ASSERT_EQ(view.SetPosition(10350, 20350, 128), 1);
    const double lon = 350 / 6e6;
    const double lat = 29650 / 6e6;
    mapwriter::PoiSetDescription set;
    set.pois = { MakePoi(0x802, lon + 300 / 6e6, lat, "away"), MakePoi(0x802, lon, lat, "centre"),
        MakePoi(0x501, lon + 50 / 6e6, lat - 30 / 6e6, "right and down") };
    const Bytes pois = SetBytes(set);
    CZXS_PoiStore store;
    const auto loaded = store.OpenSet("memfile", pois.data(), static_cast<uint32_t>(pois.size()));
    ASSERT_TRUE(loaded);

    CZXS_PoiQuery query;
    query.Init(&view, &doc);
    ASSERT_TRUE(query.HasBox());
    std::vector<std::tuple<std::string, int32_t, int32_t, uint16_t>> got;
    for (int r = query.First(store); r != 0; r = query.Next()) {
        int32_t x = -1;
        int32_t y = -1;
        ASSERT_TRUE(query.Position(x, y));
        got.emplace_back(std::string(reinterpret_cast<const char*>(CZXS_PoiSet::Name(query.Record())),
                             CZXS_PoiSet::NameLength(query.Record())),
            x, y, query.CategoryValue());
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(std::get<0>(got[0]), "centre");
    EXPECT_NEAR(std::get<1>(got[0]), 120, 1);
    EXPECT_NEAR(std::get<2>(got[0]), 160, 1);
    EXPECT_EQ(std::get<3>(got[0]), 16); // the symbol of 0x802
    EXPECT_EQ(std::get<0>(got[1]), "right and down");
    EXPECT_NEAR(std::get<1>(got[1]), 170, 1);
    EXPECT_NEAR(std::get<2>(got[1]), 190, 1);
    EXPECT_EQ(std::get<3>(got[1]), 22);

    // Without a view: every POI, each at (0, 0).
    query.Init(nullptr, nullptr);
    ASSERT_EQ(query.First(store), 1);
    int32_t x = -1;
    int32_t y = -1;
    ASSERT_TRUE(query.Position(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    query.Clear();
    EXPECT_FALSE(query.Position(x, y));
    EXPECT_EQ(query.CategoryValue(), 1);
}

} // namespace
