// The compiler on the real OpenStreetMap extracts: the kernel opens what it
// wrote, every object's points are its source nodes projected, every name is
// its source's, and the roads form one strongly connected network.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <memory>

#include <osmium/io/any_input.hpp>
#include <osmium/osm/node.hpp>

#include "kernel/doc/code_page.h"
#include "kernel/doc/transform.h"
#include "tests/mapc/map_reading.h"
#include "tests/support/map_fixture.h"
#include "tools/mapc/map_compiler.h"
#include "tools/mapc/names.h"
#include "tools/mapc/text.h"

namespace {

using mapc_testing::DecodeRecord;
using mapc_testing::ReadName;

struct Extract {
    testing_support::TempFolder folder;
    mapc::CompiledMap compiled;
    std::unique_ptr<mapc_testing::LoadedMap> loaded;
    const CZXS_TzxDoc* doc = nullptr;
    int32_t error = -1;
    std::map<int64_t, osmium::Location> nodes; // read here, apart from the compiler
};

std::string Source(const std::string& name) { return std::string(TRAVENOR_SHARED_DATA_DIR) + "/osm/" + name; }

const Extract& Compiled(const std::string& name)
{
    static std::map<std::string, std::unique_ptr<Extract>> cache;
    auto& slot = cache[name];
    if (!slot) {
        slot = std::make_unique<Extract>();
        const std::string map = slot->folder.File("extract.tzx");
        slot->compiled = mapc::Compile(mapc::ReadOsm(Source(name)), {});
        mapc::WriteMapFiles(slot->compiled, map, {});
        slot->loaded = mapc_testing::LoadMap(map);
        slot->doc = slot->loaded->doc.get();
        slot->error = slot->loaded->error;
        osmium::io::Reader reader { Source(name), osmium::osm_entity_bits::node };
        while (osmium::memory::Buffer buffer = reader.read()) {
            for (const auto& node : buffer.select<osmium::Node>())
                slot->nodes[node.id()] = node.location();
        }
        reader.close();
    }
    return *slot;
}

void OpensWithItsRoadGraph(const Extract& e)
{
    ASSERT_NE(e.doc, nullptr) << "kernel error " << e.error;
    EXPECT_EQ(e.error, 0);
    EXPECT_TRUE(e.doc->RoadGraph().IsLoaded());
    EXPECT_EQ(e.doc->RoadGraph().EdgeCount(), e.compiled.graph.edges.size());
    EXPECT_EQ(e.doc->RoadGraph().NodeCount(), e.compiled.graph.nodeCount);
    EXPECT_GT(e.doc->RoadObjectCount(), 100);
    EXPECT_GT(e.compiled.pois.pois.size(), 50u);
}

void EveryObjectIsItsSourceProjected(const Extract& e)
{
    ASSERT_NE(e.doc->Transform(), nullptr);

    uint32_t number = 0, checked = 0;
    for (const auto& layer : e.compiled.sources) {
        for (const mapc::RecordSource& source : layer) {
            const CZXS_ObjectRecord record = e.doc->Object(number);
            if (source.nodes.empty()) { // the sea, cut from coastlines and the extract's box
                ++number;
                continue;
            }
            std::vector<ZXS_Point> expected;
            for (int64_t id : source.nodes) {
                const osmium::Location& at = e.nodes.at(id);
                ZXS_Point p;
                ASSERT_EQ(
                    GeoToMap(e.doc->Transform(), at.lon() * M_PI / 180, at.lat() * M_PI / 180, p.x, p.y), 1);
                if (expected.empty() || !(expected.back() == p))
                    expected.push_back(p);
            }
            if (record.IsClosed()) {
                while (expected.size() > 1 && expected.back() == expected.front())
                    expected.pop_back();
                expected.push_back(expected.front());
            }
            const std::vector<ZXS_Point> decoded = DecodeRecord(*e.doc, number);
            ASSERT_EQ(decoded.size(), expected.size()) << "record " << number;
            for (size_t k = 0; k < decoded.size(); ++k) {
                EXPECT_LE(std::abs(decoded[k].x - expected[k].x), 1) << "record " << number << " point " << k;
                EXPECT_LE(std::abs(decoded[k].y - expected[k].y), 1) << "record " << number << " point " << k;
            }
            ++number;
            ++checked;
        }
    }
    EXPECT_EQ(number, e.doc->Objects().Count());
    EXPECT_GT(checked, 1000u);
}

void EveryNameIsItsSourceInTheMapsCodePage(const Extract& e)
{
    const int codePage = e.doc->Header().Bytes()[62];
    uint32_t number = 0, named = 0, exact = 0, kinds = 0;
    for (const auto& layer : e.compiled.sources) {
        for (const mapc::RecordSource& source : layer) {
            const int32_t id = e.doc->Object(number++).NameId();
            if (source.name.empty()) {
                EXPECT_EQ(id, 0x1fffff);
                continue;
            }
            ASSERT_NE(id, 0x1fffff);
            const mapc_testing::NameRecord record = ReadName(*e.doc, id);
            // A street's type word is kept apart, before or after the rest.
            std::string text = record.text;
            if (record.kind != 255) {
                const std::string kind(e.doc->Dictionary().WordView(record.kind, 0));
                ASSERT_FALSE(kind.empty());
                const std::string expected
                    = CZXS_CodePage::FromWide(codePage, mapc::Utf16(source.name), '?', 255);
                text = expected.starts_with(kind + " ") ? kind + " " + text : text + " " + kind;
            }
            const std::u16string wide = mapc::Utf16(source.name);
            EXPECT_EQ(text, CZXS_CodePage::FromWide(codePage, wide, '?', 255)) << source.name;
            exact += CZXS_CodePage::ToWide(codePage, text) == wide;
            kinds += record.kind != 255;
            ++named;
        }
    }
    EXPECT_GT(named, 100u);
    // Every name of these extracts can be written in the code page chosen.
    EXPECT_EQ(exact, named);
    // Street types are split off the Cyrillic names only.
    EXPECT_EQ(kinds > 0, codePage == 0);
}

void RoadsFormOneStronglyConnectedCore(const Extract& e)
{
    const mapc_testing::Connectivity c = mapc_testing::StrongCore(*e.doc);
    ASSERT_GT(c.nodes, 500u);
    EXPECT_GE(c.core, c.nodes * 90 / 100) << c.core << " of " << c.nodes;
}

// One compile of each extract serves all the checks: the larger one takes
// seconds under the sanitizers.
class RealExtract : public ::testing::TestWithParam<const char*> { };

TEST_P(RealExtract, CompilesIntoAMapTheKernelReadsBack)
{
    const Extract& e = Compiled(GetParam());
    {
        SCOPED_TRACE("opening");
        OpensWithItsRoadGraph(e);
    }
    ASSERT_NE(e.doc, nullptr);
    {
        SCOPED_TRACE("geometry");
        EveryObjectIsItsSourceProjected(e);
    }
    {
        SCOPED_TRACE("names");
        EveryNameIsItsSourceInTheMapsCodePage(e);
    }
    {
        SCOPED_TRACE("road graph");
        RoadsFormOneStronglyConnectedCore(e);
    }
}

INSTANTIATE_TEST_SUITE_P(Extracts, RealExtract,
    ::testing::Values("moscow-ostankino.osm.gz", "monaco.osm.pbf"),
    [](const auto& info) { return std::string(info.param).substr(0, 6); });

TEST(OstankinoExtract, NamesAreCyrillicAndStreetsKnowTheirLocality)
{
    const Extract& e = Compiled("moscow-ostankino.osm.gz");
    ASSERT_NE(e.doc, nullptr);
    EXPECT_EQ(e.doc->Header().Bytes()[62], 0); // Windows 1251
    const auto ids = mapc::NameIds(e.compiled.map);
    int withParent = 0;
    for (const mapwriter::Record& r : e.compiled.map.layers[mapc::kStreetNames].records) {
        const mapc_testing::NameRecord name = ReadName(*e.doc, ids[r.name]);
        if (name.prefix == 0xFFFFFF)
            continue;
        ++withParent;
        // The parent is the name of a locality.
        bool found = false;
        for (const mapwriter::Record& place : e.compiled.map.layers[mapc::kLocalities].records)
            found |= ids[place.name] == static_cast<int32_t>(name.prefix);
        EXPECT_TRUE(found);
    }
    EXPECT_GT(withParent, 10);
}

} // namespace

namespace {

TEST(Multipolygon, BecomesOneObjectWithARecordPerRing)
{
    testing_support::TempFolder folder;
    const std::string path = folder.File("park.osm");
    std::ofstream(path) << R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version='0.6'>
 <node id='1' lat='55.800' lon='37.600'/> <node id='2' lat='55.800' lon='37.610'/>
 <node id='3' lat='55.806' lon='37.610'/> <node id='4' lat='55.806' lon='37.600'/>
 <node id='5' lat='55.802' lon='37.604'/> <node id='6' lat='55.802' lon='37.606'/>
 <node id='7' lat='55.804' lon='37.606'/> <node id='8' lat='55.804' lon='37.604'/>
 <way id='100'><nd ref='1'/><nd ref='2'/><nd ref='3'/><nd ref='4'/><nd ref='1'/></way>
 <way id='101'><nd ref='5'/><nd ref='6'/><nd ref='7'/><nd ref='8'/><nd ref='5'/></way>
 <relation id='200'>
  <member type='way' ref='100' role='outer'/><member type='way' ref='101' role='inner'/>
  <tag k='type' v='multipolygon'/><tag k='leisure' v='park'/><tag k='name' v='Парк с прудом'/>
 </relation>
</osm>
)";
    const mapc::OsmData data = mapc::ReadOsm(path);
    ASSERT_EQ(data.areas.size(), 1u);
    EXPECT_EQ(data.areas[0].rings.size(), 2u);
    const mapc::CompiledMap c = mapc::Compile(data, {});
    const auto& records = c.map.layers[mapc::kTerritories].records;
    ASSERT_EQ(records.size(), 2u);
    for (const mapwriter::Record& r : records) {
        EXPECT_TRUE(r.closed);
        EXPECT_EQ(r.points.size(), 4u);
        EXPECT_EQ(c.map.names[r.name].text, CZXS_CodePage::FromWide(0, mapc::Utf16("Парк с прудом")));
    }
    EXPECT_FALSE(records[0].endOfObject);
    EXPECT_TRUE(records[1].endOfObject);
}

} // namespace

namespace {

// The sea records of the water layer (cut from the coastline, no nodes of their own) as rings.
std::vector<std::vector<ZXS_Point>> SeaOf(const Extract& e)
{
    std::vector<std::vector<ZXS_Point>> rings;
    const auto& records = e.compiled.map.layers[mapc::kWater].records;
    for (size_t i = 0; i < records.size(); ++i) {
        if (e.compiled.sources[mapc::kWater][i].nodes.empty())
            rings.push_back(records[i].points);
    }
    return rings;
}

bool IsSea(const std::vector<std::vector<ZXS_Point>>& sea, const Extract& e, double lon, double lat)
{
    ZXS_Point p;
    EXPECT_EQ(GeoToMap(e.doc->Transform(), lon * M_PI / 180, lat * M_PI / 180, p.x, p.y), 1);
    bool in = false;
    for (const auto& ring : sea) {
        for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const double xi = ring[i].x, yi = ring[i].y, xj = ring[j].x, yj = ring[j].y;
            if ((yi > p.y) != (yj > p.y) && p.x < (xj - xi) * (p.y - yi) / (yj - yi) + xi)
                in = !in;
        }
    }
    return in;
}

TEST(Coast, MonacosHarbourAndOpenWaterAreSeaAndOstankinoHasNone)
{
    const Extract& monaco = Compiled("monaco.osm.pbf");
    ASSERT_NE(monaco.doc, nullptr);
    const auto sea = SeaOf(monaco);
    ASSERT_FALSE(sea.empty());
    EXPECT_TRUE(IsSea(sea, monaco, 7.4255, 43.7350)) << "Port Hercule";
    EXPECT_TRUE(IsSea(sea, monaco, 7.4330, 43.7330)) << "off Monte-Carlo";
    EXPECT_FALSE(IsSea(sea, monaco, 7.4199, 43.7314)) << "the Prince's Palace";
    EXPECT_FALSE(IsSea(sea, monaco, 7.4280, 43.7395)) << "the Casino";
    EXPECT_FALSE(IsSea(sea, monaco, 7.4190, 43.7450)) << "Beausoleil";
    for (const auto& ring : sea)
        EXPECT_LE(ring.size(), 12000u);
    const Extract& ostankino = Compiled("moscow-ostankino.osm.gz");
    ASSERT_NE(ostankino.doc, nullptr);
    EXPECT_TRUE(SeaOf(ostankino).empty());
}

} // namespace
