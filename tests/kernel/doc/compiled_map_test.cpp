// The spatial queries, road snapping and POI queries on the maps our compiler
// makes from real data: the Ostankino extract and the shipped Voradu map,
// each checked against plain searches over every object and every POI.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <tuple>

#include "kernel/api/poi_interface.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/application.h"
#include "kernel/doc/doc_queries.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/object_cursor.h"
#include "kernel/doc/poi_query.h"
#include "kernel/doc/poi_set.h"
#include "kernel/doc/poi_store.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/stream_kind.h"
#include "tests/kernel/doc/kernel_fixture.h"
#include "tests/kernel/doc/spatial_reference.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A compiled map read into memory (the files themselves are opened exclusively
// by whoever else reads them), with its road graph and POI set.
struct CompiledMap {
    Bytes map;
    Bytes graph;
    Bytes pois;
    std::unique_ptr<CZXS_TzxDoc> doc = std::make_unique<CZXS_TzxDoc>();
    std::vector<spatial_reference::Object> objects;

    explicit CompiledMap(const std::string& path)
        : map(ReadAll(path))
        , graph(ReadAll(ZXS_ReplaceExtension(path, "zxg")))
        , pois(ReadAll(ZXS_ReplaceExtension(path, "zxp")))
    {
        ZXS_MapSource source;
        source.mapBlock = map.data();
        source.mapSize = static_cast<uint32_t>(map.size());
        source.graphBlock = graph.data();
        source.graphSize = static_cast<uint32_t>(graph.size());
        if (!map.empty() && doc->Open(&source, nullptr, 0, CZXS_DiskStream::kMemory) == 1)
            objects = spatial_reference::DecodeObjects(*doc);
    }
    // A point of a random object moved by up to `jitter` in each axis.
    ZXS_Point Near(std::mt19937& rng, int32_t jitter, int32_t firstObject = 0) const
    {
        for (;;) {
            const auto& o = objects[std::uniform_int_distribution<size_t>(0, objects.size() - 1)(rng)];
            if (o.number < firstObject || o.parts[0].empty())
                continue;
            const ZXS_Point p
                = o.parts[0][std::uniform_int_distribution<size_t>(0, o.parts[0].size() - 1)(rng)];
            std::uniform_int_distribution<int32_t> d(-jitter, jitter);
            return { p.x + d(rng), p.y + d(rng) };
        }
    }
    ZXS_Rect Extent() const
    {
        ZXS_Rect r { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
        for (const auto& o : objects)
            for (const auto& part : o.parts)
                for (ZXS_Point p : part)
                    r = { std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x),
                        std::max(r.bottom, p.y) };
        return r;
    }
};

const char* const kMaps[] = { TRAVENOR_TEST_MOSCOW_MAP, TRAVENOR_TEST_VORADU_MAP };

class CompiledMapTest : public ::testing::TestWithParam<const char*> {
protected:
    static std::map<std::string, std::unique_ptr<CompiledMap>>& Cache()
    {
        static std::map<std::string, std::unique_ptr<CompiledMap>> cache;
        return cache;
    }
    static void TearDownTestSuite() { Cache().clear(); }

    const CompiledMap& Map()
    {
        auto& entry = Cache()[GetParam()];
        if (!entry)
            entry = std::make_unique<CompiledMap>(GetParam());
        return *entry;
    }
};

TEST_P(CompiledMapTest, FindObjectAtAndBoxWalksAgreeWithAPlainSearch)
{
    const CompiledMap& m = Map();
    ASSERT_FALSE(m.objects.empty()) << GetParam();
    const CZXS_TzxDoc& doc = *m.doc;
    const ZXS_Rect extent = m.Extent();
    const int32_t span = std::max(extent.right - extent.left, extent.bottom - extent.top);
    std::mt19937 rng(21);
    auto inside = [&] {
        return ZXS_Point { std::uniform_int_distribution<int32_t>(extent.left, extent.right)(rng),
            std::uniform_int_distribution<int32_t>(extent.top, extent.bottom)(rng) };
    };
    int hits = 0;
    for (int i = 0; i < 200; ++i) {
        const int32_t radius = std::uniform_int_distribution<int32_t>(0, span / 200 + 1)(rng);
        const ZXS_Point p = i % 2 == 0 ? inside() : m.Near(rng, radius * 2 + 1);
        const int32_t scales[] = { 0, 20, 200, 2000 };
        const int32_t scale = scales[i % 4];
        const int32_t expected = spatial_reference::FindObjectAt(doc, m.objects, 0, scale, p, radius);
        EXPECT_EQ(CZXS_DocQueries::FindObjectAt(doc, 0, scale, p.x, p.y, radius, 0x7fffffff), expected)
            << p.x << "," << p.y << " radius " << radius << " scale " << scale;
        hits += expected >= 0;
    }
    EXPECT_GT(hits, 20);

    for (int i = 0; i < 40; ++i) {
        const ZXS_Point corner = inside();
        const int32_t size = std::uniform_int_distribution<int32_t>(0, span / 10)(rng);
        const ZXS_Rect box { corner.x, corner.y, corner.x + size, corner.y + size };
        const std::set<int32_t> walked = spatial_reference::WalkBox(doc, box);
        for (const auto& o : m.objects)
            EXPECT_TRUE(!spatial_reference::HasPointIn(o, box) || walked.count(o.number))
                << "object " << o.number;
    }
}

TEST_P(CompiledMapTest, SnapToRoadAgreesWithAPlainSearch)
{
    const CompiledMap& m = Map();
    ASSERT_FALSE(m.objects.empty()) << GetParam();
    const CZXS_TzxDoc& doc = *m.doc;
    ASSERT_GT(doc.RoadObjectCount(), 0);
    CZXS_PassageJournal* journal = doc.Journal();
    journal->ClearAll();
    for (int32_t offset = 0; offset < doc.RoadObjectCount(); offset += 5) {
        CZXS_PassageJournal::Entry e;
        e.roadOffset = static_cast<uint32_t>(offset);
        e.costClass = 15;
        e.directions = static_cast<uint8_t>(1 + offset % 2);
        journal->Insert(e, -1, false);
    }
    const std::vector<uint8_t> closed = spatial_reference::Closures(doc);
    const ZXS_Rect extent = m.Extent();
    const int32_t span = std::max(extent.right - extent.left, extent.bottom - extent.top);
    std::mt19937 rng(8);
    int found = 0;
    for (int i = 0; i < 300; ++i) {
        const int32_t radius = std::uniform_int_distribution<int32_t>(1, span / 50 + 2)(rng);
        const ZXS_Point p = i % 4 == 0
            ? ZXS_Point { std::uniform_int_distribution<int32_t>(extent.left, extent.right)(rng),
                  std::uniform_int_distribution<int32_t>(extent.top, extent.bottom)(rng) }
            : m.Near(rng, radius, doc.FirstRoadObject());
        const int32_t heading = i % 2 == 0 ? -1 : std::uniform_int_distribution<int32_t>(0, 3599)(rng);
        const bool useJournal = i % 3 != 0;
        EXPECT_TRUE(
            spatial_reference::SnapsAlike(doc, m.objects, p, radius, heading, closed, useJournal, found));
    }
    journal->ClearAll();
    EXPECT_GT(found, 100);
}

INSTANTIATE_TEST_SUITE_P(Maps, CompiledMapTest, ::testing::ValuesIn(kMaps), [](const auto& info) {
    return std::string(info.param).find("ostankino") != std::string::npos ? std::string("Ostankino")
                                                                          : std::string("Voradu");
});

// Every POI of a POI file, read here by its layout: (name, category, longitude, latitude).
using PoiRow = std::tuple<std::string, uint16_t, int32_t, int32_t>;
std::vector<PoiRow> ReadPois(const Bytes& file)
{
    std::vector<PoiRow> rows;
    if (file.size() < CZXS_PoiSet::kHeaderSize)
        return rows;
    const uint32_t area = ZXS_Le32(file.data() + 448);
    const uint8_t* r = file.data() + CZXS_PoiSet::kHeaderSize;
    const uint8_t* end = r + std::min<size_t>(area, file.size() - CZXS_PoiSet::kHeaderSize);
    while (end - r >= 13 && ZXS_Le16(r) >= 13 && ZXS_Le16(r) <= end - r) {
        rows.emplace_back(std::string(reinterpret_cast<const char*>(r + 13), r[12]), ZXS_Le16(r + 2),
            static_cast<int32_t>(ZXS_Le32(r + 4)), static_cast<int32_t>(ZXS_Le32(r + 8)));
        r += ZXS_Le16(r);
    }
    return rows;
}

TEST(CompiledMapPois, BoxAndCategoryQueriesOverBothMapsMatchAPlainFilter)
{
    kernel_fixture::ScopedKernel kernel;
    const CompiledMap moscow(TRAVENOR_TEST_MOSCOW_MAP);
    const CompiledMap voradu(TRAVENOR_TEST_VORADU_MAP);
    std::vector<PoiRow> all;
    int owner = 0;
    CZXS_MapHandle handles[2];
    int index = 0;
    for (const CompiledMap* m : { &moscow, &voradu }) {
        const std::vector<PoiRow> rows = ReadPois(m->pois);
        ASSERT_GT(rows.size(), 10u);
        all.insert(all.end(), rows.begin(), rows.end());
        ASSERT_EQ(
            ZXS_MapOpenMemory(&handles[index++], &owner, m->map.data(), static_cast<uint32_t>(m->map.size()),
                m->graph.data(), static_cast<uint32_t>(m->graph.size()), m->pois.data(),
                static_cast<uint32_t>(m->pois.size()), nullptr, 0),
            ZXS_OK);
    }
    int32_t least[2] = { INT32_MAX, INT32_MAX };
    int32_t greatest[2] = { INT32_MIN, INT32_MIN };
    std::set<uint16_t> groups;
    for (const PoiRow& r : all) {
        least[0] = std::min(least[0], std::get<2>(r));
        greatest[0] = std::max(greatest[0], std::get<2>(r));
        least[1] = std::min(least[1], std::get<3>(r));
        greatest[1] = std::max(greatest[1], std::get<3>(r));
        groups.insert(static_cast<uint16_t>(std::get<1>(r) >> 8));
    }
    CZXS_PoiHandle h;
    ZXS_PoiCreate(&h);
    std::mt19937 rng(17);
    // Boxes around a POI of either city (corners up to about 2 km away), and one over both.
    auto around = [&](int32_t centre) {
        return centre + std::uniform_int_distribution<int32_t>(-400000, 400000)(rng);
    };
    int matched = 0;
    for (int i = 0; i < 80; ++i) {
        const PoiRow& seed = all[std::uniform_int_distribution<size_t>(0, all.size() - 1)(rng)];
        int32_t lon[2] = { around(std::get<2>(seed)), around(std::get<2>(seed)) };
        int32_t lat[2] = { around(std::get<3>(seed)), around(std::get<3>(seed)) };
        if (i == 0) {
            lon[0] = least[0];
            lon[1] = greatest[0];
            lat[0] = least[1];
            lat[1] = greatest[1];
        }
        std::sort(lon, lon + 2);
        std::sort(lat, lat + 2);
        if (lon[0] == lon[1] || lat[0] == lat[1])
            continue;
        auto it = groups.begin();
        std::advance(it, std::uniform_int_distribution<size_t>(0, groups.size() - 1)(rng));
        const uint16_t group = *it;
        ASSERT_EQ(
            ZXS_PoiQueryGeo(&h, CZXS_PoiSet::AngleToRadians(lon[0]), CZXS_PoiSet::AngleToRadians(lon[1]),
                CZXS_PoiSet::AngleToRadians(lat[0]), CZXS_PoiSet::AngleToRadians(lat[1])),
            ZXS_OK);
        std::vector<PoiRow> got;
        for (int32_t r = ZXS_PoiFirst(&h); r == ZXS_OK; r = ZXS_PoiNext(&h)) {
            if (ZXS_PoiGetCategoryCode(&h) >> 8 != group)
                continue;
            char name[300];
            ZXS_PoiGetNameA(&h, name, sizeof name);
            const uint8_t* record = h.pQuery->Record();
            got.emplace_back(name, static_cast<uint16_t>(ZXS_PoiGetCategoryCode(&h)),
                CZXS_PoiSet::Longitude(record), CZXS_PoiSet::Latitude(record));
        }
        std::vector<PoiRow> expected;
        for (const PoiRow& r : all)
            if (std::get<1>(r) >> 8 == group && std::get<2>(r) >= lon[0] && std::get<2>(r) <= lon[1]
                && std::get<3>(r) >= lat[0] && std::get<3>(r) <= lat[1])
                expected.push_back(r);
        EXPECT_EQ(got, expected) << i;
        matched += !expected.empty();
    }
    EXPECT_GT(matched, 15);
    ZXS_PoiDestroy(&h);
    for (CZXS_MapHandle& m : handles)
        ZXS_MapClose(&m);
}

} // namespace
