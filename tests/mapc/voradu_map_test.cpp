// The shipped map of Voradu in the build's data directory: the kernel opens
// it, and it holds the city the generator drew.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "kernel/doc/code_page.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/poi_set.h"
#include "tests/mapc/map_reading.h"
#include "tests/support/map_fixture.h"
#include "tools/mapc/map_compiler.h"
#include "tools/mapc/poi_categories.h"
#include "tools/mapc/text.h"

namespace {

using mapc_testing::DecodeRecord;
using mapc_testing::ReadName;

const std::string kMap = std::string(TRAVENOR_BUILD_DATA_DIR) + "/mskmo0704";

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Cp1251(std::string_view utf8) { return CZXS_CodePage::FromWide(0, mapc::Utf16(utf8)); }

class VoraduMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        loaded = mapc_testing::LoadMap(kMap + ".tzx");
        ASSERT_NE(loaded->doc, nullptr) << "kernel error " << loaded->error;
        ASSERT_EQ(loaded->error, 0);
        doc = loaded->doc.get();
    }

    uint32_t LayerFirst(int layer) const
    {
        return static_cast<uint32_t>(doc->GetLayerDesc(layer).FirstObject());
    }
    uint32_t LayerEnd(int layer) const { return static_cast<uint32_t>(doc->LayerEnd(layer)); }
    // Objects (not records) of a layer.
    int Objects(int layer) const
    {
        int n = 0;
        for (uint32_t i = LayerFirst(layer); i < LayerEnd(layer); ++i)
            n += doc->Object(i).IsEndOfObject();
        return n;
    }

    std::unique_ptr<mapc_testing::LoadedMap> loaded;
    const CZXS_TzxDoc* doc = nullptr;
};

TEST_F(VoraduMap, HasTheCityItsGeneratorDrew)
{
    EXPECT_EQ(doc->Header().Bytes()[62], 0); // Cyrillic names
    EXPECT_EQ(Objects(mapc::kLocalities), 10); // the city, five districts, four suburbs
    EXPECT_EQ(Objects(mapc::kTerritories), 7); // six parks and a forest
    EXPECT_EQ(Objects(mapc::kWater), 1);
    EXPECT_EQ(Objects(mapc::kRivers), 1);
    EXPECT_EQ(Objects(mapc::kRailways), 1);
    // 31 streets each way, the ring and the two diagonal avenues.
    EXPECT_EQ(Objects(mapc::kStreetNames), 65);
    EXPECT_GT(Objects(mapc::kHouses), 3000);
    EXPECT_GT(LayerEnd(mapc::kHighways) - LayerFirst(mapc::kHighways), 100u);
    EXPECT_GT(LayerEnd(mapc::kServiceRoads) - LayerFirst(mapc::kServiceRoads), 0u);

    int forwardOnly = 0, backwardOnly = 0;
    for (uint32_t i = LayerFirst(mapc::kFirstRoadLayer); i < LayerEnd(mapc::kHighways); ++i) {
        const CZXS_ObjectRecord r = doc->Object(i);
        forwardOnly += r.IsForward() && !r.IsBackward();
        backwardOnly += r.IsBackward() && !r.IsForward();
    }
    EXPECT_GT(forwardOnly, 50);
    EXPECT_GT(backwardOnly, 50);
}

TEST_F(VoraduMap, BridgesJoinBothBanksIntoOneRoadNetwork)
{
    const std::vector<ZXS_Point> river = DecodeRecord(*doc, LayerFirst(mapc::kRivers));
    auto side = [](ZXS_Point a, ZXS_Point b, ZXS_Point p) {
        const double cross = double(b.x - a.x) * (p.y - a.y) - double(b.y - a.y) * (p.x - a.x);
        return (cross > 0) - (cross < 0);
    };
    int bridges = 0;
    for (uint32_t i = LayerFirst(mapc::kFirstRoadLayer); i < LayerEnd(mapc::kHighways); ++i) {
        const std::vector<ZXS_Point> road = DecodeRecord(*doc, i);
        bool crosses = false;
        for (size_t k = 0; k + 1 < road.size(); ++k) {
            for (size_t m = 0; m + 1 < river.size(); ++m) {
                crosses
                    |= side(road[k], road[k + 1], river[m]) * side(road[k], road[k + 1], river[m + 1]) <= 0
                    && side(river[m], river[m + 1], road[k]) * side(river[m], river[m + 1], road[k + 1]) < 0;
            }
        }
        bridges += crosses;
    }
    // Five streets, the ring's two sides and the two diagonal avenues.
    EXPECT_EQ(bridges, 9);
    const mapc_testing::Connectivity c = mapc_testing::StrongCore(*doc);
    EXPECT_EQ(c.core, c.nodes);
    EXPECT_GT(c.nodes, 900u);
}

TEST_F(VoraduMap, StreetsHouseNumbersAndLocalitiesAreLinkedForTheAddressSearch)
{
    // The layer of street names is found by its name's first letters.
    std::string layerName;
    ASSERT_TRUE(doc->GetLayerName(mapc::kStreetNames, layerName, 0));
    EXPECT_EQ(layerName.substr(0, 9), Cp1251("Назв.улиц"));

    std::set<int32_t> localities;
    std::map<int32_t, std::string> localityNames;
    for (uint32_t i = LayerFirst(mapc::kLocalities); i < LayerEnd(mapc::kLocalities); ++i) {
        localities.insert(doc->Object(i).NameId());
        localityNames[doc->Object(i).NameId()] = ReadName(*doc, doc->Object(i).NameId()).text;
    }
    std::map<int32_t, std::string> streets;
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (uint32_t i = LayerFirst(mapc::kStreetNames); i < LayerEnd(mapc::kStreetNames); ++i) {
        // The address search passes over a street whose box has (almost) no area.
        for (const ZXS_Point& p : DecodeRecord(*doc, i)) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        if (doc->Object(i).IsEndOfObject()) {
            EXPECT_GE(int64_t { right - left } * (bottom - top), 8) << "street object ending at " << i;
            left = top = INT32_MAX;
            right = bottom = INT32_MIN;
        }
        const int32_t id = doc->Object(i).NameId();
        const mapc_testing::NameRecord name = ReadName(*doc, id);
        streets[id] = name.text;
        EXPECT_TRUE(localities.count(static_cast<int32_t>(name.prefix))) << "street without its locality";
    }
    // The street's type is its kind word, in full and short.
    const auto mira = std::find_if(
        streets.begin(), streets.end(), [](const auto& s) { return s.second == Cp1251("Мира"); });
    ASSERT_NE(mira, streets.end());
    const uint8_t kind = ReadName(*doc, mira->first).kind;
    EXPECT_EQ(doc->Dictionary().WordView(kind, 0), Cp1251("проспект"));
    EXPECT_EQ(doc->Dictionary().WordView(kind, 1), Cp1251("пр-т"));
    // Districts name the city as their parent.
    int inTheCity = 0;
    for (int32_t id : localities)
        inTheCity += localityNames[static_cast<int32_t>(ReadName(*doc, id).prefix)] == Cp1251("Вораду");
    EXPECT_EQ(inTheCity, 9);

    std::set<std::string> numbers;
    for (uint32_t i = LayerFirst(mapc::kHouses); i < LayerEnd(mapc::kHouses); ++i) {
        const CZXS_ObjectRecord house = doc->Object(i);
        EXPECT_TRUE(streets.count(house.LinkId())) << "house " << i << " without its street";
        numbers.insert(ReadName(*doc, house.NameId()).text);
    }
    EXPECT_TRUE(
        numbers.count("1") && numbers.count("2") && numbers.count("10") && numbers.count(Cp1251("10а")));
}

TEST_F(VoraduMap, TheKernelsNameSearchesFindStreetsAndTheirHouses)
{
    // The name stage: the street by the first letters of its own name, from
    // the layer of street names only.
    std::vector<int32_t> layers;
    auto collect = [&](int32_t, int32_t, int32_t layer) {
        layers.push_back(layer);
        return 1;
    };
    ASSERT_EQ(
        doc->Names().FindByName(*doc, doc->Objects(), 0, Cp1251("гогол"), std::nullopt, collect, false), 0);
    ASSERT_EQ(layers.size(), 1u);
    EXPECT_EQ(layers[0], mapc::kStreetNames);

    // The house stage: houses of that street whose number begins with 1.
    std::set<std::string> numbers;
    auto houses = [&](int32_t object, int32_t, int32_t layer) {
        EXPECT_EQ(layer, mapc::kHouses);
        const CZXS_ObjectRecord house = doc->Object(static_cast<uint32_t>(object));
        EXPECT_EQ(ReadName(*doc, house.LinkId()).text, Cp1251("Гоголя"));
        numbers.insert(ReadName(*doc, house.NameId()).text);
        return 1;
    };
    ASSERT_EQ(
        doc->Names().FindByName(*doc, doc->Objects(), 0, Cp1251("гогол"), std::string("1"), houses, false),
        0);
    EXPECT_TRUE(
        numbers.count("1") && numbers.count("10") && numbers.count("11") && numbers.count(Cp1251("10а")));
    for (const std::string& n : numbers)
        EXPECT_EQ(n[0], '1');
}

TEST_F(VoraduMap, HasAPointOfInterestOfEveryCategory)
{
    CZXS_PoiSet set;
    ASSERT_TRUE(set.Load(kMap + ".zxp", nullptr, 0));
    EXPECT_EQ(set.CodePage(), 0);
    EXPECT_EQ(set.RecordBytes(), ReadAll(kMap + ".zxp").size() - CZXS_PoiSet::kHeaderSize);

    // Every POI lies in the city, about 6 x 6 km around 56.1 N, 38.2 E.
    const double degree = M_PI / 180;
    std::set<uint32_t> categories;
    int named = 0;
    for (const uint8_t* r = set.FirstRecord(); r != nullptr; r = set.NextRecord(r)) {
        categories.insert(CZXS_PoiSet::Category(r));
        named += CZXS_PoiSet::NameLength(r) > 0;
        EXPECT_NEAR(CZXS_PoiSet::AngleToRadians(CZXS_PoiSet::Latitude(r)), 56.1 * degree, 0.03 * degree);
        EXPECT_NEAR(CZXS_PoiSet::AngleToRadians(CZXS_PoiSet::Longitude(r)), 38.2 * degree, 0.06 * degree);
    }
    std::set<uint32_t> table { 0 };
    for (const mapc::PoiRule& r : mapc::PoiRules())
        table.insert(r.category);
    EXPECT_EQ(table.size(), 134u);
    EXPECT_EQ(categories, table);
    EXPECT_GE(named, 140);
}

TEST(VoraduGenerator, DrawsTheSameCityEveryTime)
{
    testing_support::TempFolder folder;
    const std::string again = folder.File("voradu.osm");
    ASSERT_EQ(std::system((std::string(TRAVENOR_VORADU) + " " + again).c_str()), 0);
    EXPECT_EQ(ReadAll(again), ReadAll(TRAVENOR_VORADU_OSM));
}

} // namespace
