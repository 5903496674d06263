// The object cursor and the document's spatial queries on maps our writer
// produced, checked against plain searches over every decoded object.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

#include "kernel/doc/doc_queries.h"
#include "kernel/doc/map_geometry.h"
#include "kernel/doc/object_cursor.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/segment.h"
#include "kernel/doc/tzx_doc.h"
#include "tests/kernel/doc/spatial_reference.h"
#include "tests/support/map_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::array<uint8_t, 44> Style(uint8_t group, float threshold, uint8_t flags)
{
    std::array<uint8_t, 44> s = testing_support::Style(group, threshold, 0, 0, 0);
    s[6] = flags;
    return s;
}

// A map of a few thousand records in spatial order, so that index blocks are
// compact and the box filter passes over many of them: areas (some with a
// hole or a second ring), lines, point objects and two road layers.
mapwriter::MapDescription SweptMap(uint32_t seed)
{
    std::mt19937 rng(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    mapwriter::MapDescription m;
    m.created = 1700000000;
    m.transform = { 10000.0, 6000000.0, 0, 0, 0, 0, 50000.0, 0, -6000000.0, 0, 0, 0 };
    m.names = { { "A" }, { "B" }, { "C" } };
    auto sweep = [&](int count, auto make) {
        std::vector<std::pair<int, std::vector<mapwriter::Record>>> objects;
        for (int i = 0; i < count; ++i) {
            const int x = uniform(1000, 400000);
            const int y = uniform(1000, 400000);
            objects.push_back({ x, make(x, y) });
        }
        std::sort(
            objects.begin(), objects.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        mapwriter::Layer layer;
        for (auto& o : objects)
            for (auto& r : o.second)
                layer.records.push_back(r);
        return layer;
    };
    auto ring = [&](int x, int y, int size) {
        std::vector<ZXS_Point> pts;
        const int n = uniform(3, 7);
        for (int k = 0; k < n; ++k) {
            const double a = 2 * M_PI * k / n;
            pts.push_back(
                { x + static_cast<int>(size * std::cos(a)), y + static_cast<int>(size * std::sin(a)) });
        }
        return pts;
    };
    auto line = [&](int x, int y) {
        std::vector<ZXS_Point> pts { { x, y } };
        for (int k = uniform(1, 6); k > 0; --k)
            pts.push_back({ pts.back().x + uniform(-900, 900), pts.back().y + uniform(-900, 900) });
        return pts;
    };
    mapwriter::Layer areas = sweep(500, [&](int x, int y) {
        std::vector<mapwriter::Record> parts;
        const int size = uniform(100, 3000);
        const int rings = uniform(1, 3);
        for (int k = 0; k < rings; ++k) {
            mapwriter::Record r;
            // A hole, and a far ring whose blocks differ from the first ring's.
            r.points = k == 1 ? ring(x, y, size / 3) : ring(x + k * 30000, y + k * 20000, size);
            r.closed = true;
            r.endOfObject = k == rings - 1;
            r.name = 0;
            parts.push_back(r);
        }
        return parts;
    });
    areas.styleGroup = 1;
    mapwriter::Layer lines = sweep(500, [&](int x, int y) {
        mapwriter::Record r;
        r.points = line(x, y);
        r.name = 1;
        return std::vector<mapwriter::Record> { r };
    });
    lines.styleGroup = 4;
    mapwriter::Layer points = sweep(600, [&](int x, int y) {
        mapwriter::Record r;
        r.points = { { x, y } };
        r.name = 2;
        return std::vector<mapwriter::Record> { r };
    });
    points.styleGroup = 3;
    points.symbol = 0;
    int32_t link = 1;
    auto roads = [&](int count) {
        mapwriter::Layer layer = sweep(count, [&](int x, int y) {
            mapwriter::Record r;
            r.points = line(x, y);
            r.linkId = link++;
            r.name = uniform(0, 2);
            r.forward = uniform(0, 5) != 0;
            r.backward = !r.forward || uniform(0, 2) != 0;
            // A few two-part elements.
            std::vector<mapwriter::Record> parts { r };
            if (uniform(0, 20) == 0) {
                parts[0].endOfObject = false;
                mapwriter::Record tail = r;
                tail.points = line(r.points.back().x, r.points.back().y);
                parts.push_back(tail);
            }
            return parts;
        });
        layer.styleGroup = 2;
        return layer;
    };
    m.layers = { areas, lines, points, roads(800), roads(800) };
    m.firstRoadLayer = 3;
    m.roadLayerCount = 2;
    // Lines can be found by a point only up close; the others at every scale.
    m.styles = { Style(1, 0.0f, 0x60), Style(2, 0.0f, 0x60), Style(3, 0.0f, 0x60), Style(4, 0.0f, 0x20),
        Style(4, 0.05f, 0x60) };
    return m;
}

struct Opened {
    Bytes bytes;
    std::unique_ptr<CZXS_TzxDoc> doc = std::make_unique<CZXS_TzxDoc>();
};

std::unique_ptr<Opened> Open(const mapwriter::MapDescription& map)
{
    auto o = std::make_unique<Opened>();
    o->bytes = mapwriter::WriteTzx(map);
    ZXS_MapSource source;
    source.mapBlock = o->bytes.data();
    source.mapSize = static_cast<uint32_t>(o->bytes.size());
    EXPECT_EQ(o->doc->Open(&source, nullptr, 0, CZXS_DiskStream::kMemory), 1);
    return o;
}

class SweptMapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_opened = Open(SweptMap(7)).release();
        s_objects
            = new std::vector<spatial_reference::Object>(spatial_reference::DecodeObjects(*s_opened->doc));
    }
    static void TearDownTestSuite()
    {
        delete s_objects;
        delete s_opened;
    }
    const CZXS_TzxDoc& Doc() const { return *s_opened->doc; }
    static Opened* s_opened;
    static std::vector<spatial_reference::Object>* s_objects;
};
Opened* SweptMapTest::s_opened = nullptr;
std::vector<spatial_reference::Object>* SweptMapTest::s_objects = nullptr;

TEST_F(SweptMapTest, FindObjectAtAgreesWithAPlainSearch)
{
    ASSERT_GT(Doc().IndexBlocks().Count(), 40u);
    std::mt19937 rng(11);
    int hits = 0;
    for (int i = 0; i < 300; ++i) {
        const ZXS_Point p { std::uniform_int_distribution<int>(0, 402000)(rng),
            std::uniform_int_distribution<int>(0, 402000)(rng) };
        const int32_t radius = std::uniform_int_distribution<int>(0, 6000)(rng);
        const int32_t scales[] = { 0, 1, 640, 5000, 40000 };
        const int32_t scale = scales[i % 5];
        const int32_t first = i % 3 == 0 ? std::uniform_int_distribution<int>(0, 3000)(rng) : 0;
        const int32_t expected = spatial_reference::FindObjectAt(Doc(), *s_objects, first, scale, p, radius);
        EXPECT_EQ(CZXS_DocQueries::FindObjectAt(Doc(), first, scale, p.x, p.y, radius, 0x7fffffff), expected)
            << "at " << p.x << "," << p.y << " radius " << radius << " scale " << scale << " from " << first;
        hits += expected >= 0;
    }
    EXPECT_GT(hits, 100);
}

TEST_F(SweptMapTest, BoxWalkMeetsEveryObjectWithAPointInTheBox)
{
    std::mt19937 rng(5);
    size_t skippedBlocks = 0;
    for (int i = 0; i < 100; ++i) {
        const int32_t x = std::uniform_int_distribution<int>(0, 400000)(rng);
        const int32_t y = std::uniform_int_distribution<int>(0, 400000)(rng);
        const ZXS_Rect box { x, y, x + std::uniform_int_distribution<int>(0, 30000)(rng),
            y + std::uniform_int_distribution<int>(0, 30000)(rng) };
        const std::set<int32_t> walked = spatial_reference::WalkBox(Doc(), box);
        for (const auto& o : *s_objects)
            EXPECT_TRUE(!spatial_reference::HasPointIn(o, box) || walked.count(o.number))
                << "object " << o.number;
        // Nothing is met whose points all lie far away.
        for (int32_t n : walked) {
            const auto& o = *std::find_if(
                s_objects->begin(), s_objects->end(), [&](const auto& k) { return k.number == n; });
            ZXS_Rect b { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
            for (const auto& part : o.parts)
                for (ZXS_Point p : part)
                    b = { std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x),
                        std::max(b.bottom, p.y) };
            EXPECT_TRUE(ZXS_Geometry::RectsTouch(b, box)) << "object " << n;
        }
        skippedBlocks += Doc().Objects().Count() - walked.size();
    }
    EXPECT_GT(skippedBlocks, 0u);
}

TEST_F(SweptMapTest, SnapToRoadAgreesWithAPlainSearch)
{
    CZXS_PassageJournal* journal = Doc().Journal();
    ASSERT_NE(journal, nullptr);
    journal->ClearAll();
    // Close some directions of some road elements.
    std::mt19937 rng(3);
    for (int32_t offset = 0; offset < Doc().RoadObjectCount(); offset += 7) {
        CZXS_PassageJournal::Entry e;
        e.roadOffset = static_cast<uint32_t>(offset);
        e.costClass = offset % 3 == 0 ? 15 : 4;
        e.directions = static_cast<uint8_t>(1 + offset % 3);
        journal->Insert(e, -1, false);
    }
    const std::vector<uint8_t> closed = spatial_reference::Closures(Doc());
    int found = 0;
    for (int i = 0; i < 400; ++i) {
        const ZXS_Point p { std::uniform_int_distribution<int>(0, 402000)(rng),
            std::uniform_int_distribution<int>(0, 402000)(rng) };
        const int32_t radius = std::uniform_int_distribution<int>(1, 10000)(rng);
        const int32_t heading = i % 2 == 0 ? -1 : std::uniform_int_distribution<int>(0, 3599)(rng);
        const bool useJournal = i % 4 < 2;
        EXPECT_TRUE(
            spatial_reference::SnapsAlike(Doc(), *s_objects, p, radius, heading, closed, useJournal, found));
    }
    journal->ClearAll();
    EXPECT_GT(found, 100);
}

TEST_F(SweptMapTest, FindRoadByLinkAndSeek)
{
    CZXS_ObjectCursor cursor(&Doc());
    for (int32_t link : { 1, 2, 77, 800, 801, 1600 }) {
        const auto it = std::find_if(s_objects->begin(), s_objects->end(),
            [&](const auto& o) { return o.layer >= 3 && o.first.LinkId() == link; });
        ASSERT_NE(it, s_objects->end());
        ASSERT_EQ(cursor.FindRoadByLink(link), 1) << link;
        EXPECT_EQ(cursor.Object(), it->number);
    }
    EXPECT_EQ(cursor.FindRoadByLink(5000), 0);
    EXPECT_EQ(cursor.Object(), Doc().FirstRoadObject());

    // Seek into a multi-part object stands on the next object start; with the
    // point offset of a record it stands on that record.
    const auto multi = std::find_if(
        s_objects->begin(), s_objects->end(), [](const auto& o) { return o.parts.size() > 1; });
    ASSERT_NE(multi, s_objects->end());
    ASSERT_EQ(cursor.Seek(multi->number + 1), 1);
    EXPECT_EQ(cursor.Object(), multi->number + static_cast<int32_t>(multi->parts.size()));
    ASSERT_EQ(cursor.Seek(multi->number), 1);
    const int32_t offset = cursor.PointOffset();
    CZXS_ObjectCursor jumped(&Doc());
    ASSERT_EQ(jumped.Seek(multi->number, offset), 1);
    EXPECT_EQ(jumped.Object(), multi->number);
    EXPECT_EQ(jumped.PointOffset(), offset);
    EXPECT_EQ(cursor.Seek(static_cast<int32_t>(Doc().Objects().Count())), 0);
    EXPECT_FALSE(cursor.IsPositioned());
}

TEST_F(SweptMapTest, FindNextByNameIdVisitsEveryNamedRecordOnce)
{
    CZXS_ObjectCursor cursor(&Doc());
    std::vector<int32_t> found;
    for (bool include = true; cursor.FindNextByNameId(Doc().Object(0).NameId(), include) != 0;
         include = false)
        found.push_back(cursor.Object());
    std::vector<int32_t> expected;
    for (uint32_t i = 0; i < Doc().Objects().Count(); ++i)
        if (Doc().Object(i).NameId() == Doc().Object(0).NameId())
            expected.push_back(static_cast<int32_t>(i));
    EXPECT_EQ(found, expected);
}

TEST(ObjectCursor, BoxWalkTakesAnObjectFromBeforeSkippedBlocksFromItsStart)
{
    // Records 0-126 near (1000, 1000); object 127 has its first part there and
    // its second (record 128, the next block) near (50000, 50000).
    mapwriter::MapDescription m;
    mapwriter::Layer layer;
    for (int i = 0; i < 127; ++i) {
        mapwriter::Record r;
        r.points = { { 1000 + i, 1000 }, { 1010 + i, 1010 } };
        layer.records.push_back(r);
    }
    mapwriter::Record head;
    head.points = { { 1200, 1000 }, { 1210, 1000 } };
    head.endOfObject = false;
    mapwriter::Record tail;
    tail.points = { { 50000, 50000 }, { 50100, 50000 } };
    layer.records.push_back(head);
    layer.records.push_back(tail);
    layer.records.push_back(tail);
    m.layers.push_back(layer);
    auto opened = Open(m);
    CZXS_ObjectCursor cursor(opened->doc.get());
    const ZXS_Rect box { 49900, 49900, 50200, 50200 };
    cursor.SetBox(&box);
    ASSERT_EQ(cursor.SetLayer(0), 1);
    std::vector<int32_t> met;
    CZXS_PointCollector collector;
    do {
        if (cursor.CollectPoints(&collector, nullptr, true) != 0)
            met.push_back(cursor.Object());
    } while (cursor.NextObject() != 0);
    EXPECT_EQ(met, (std::vector<int32_t> { 127, 129 }));
    EXPECT_EQ(CZXS_DocQueries::FindObjectAt(*opened->doc, 0, 0, 50050, 50000, 10, 0x7fffffff), 127);
}

// Blocks whose box is no larger than the given extent are passed over, unless
// an object runs into them or on out of them.
TEST(ObjectCursor, SmallBlocksArePassedOverWhenTheyHoldWholeObjects)
{
    mapwriter::MapDescription m;
    mapwriter::Layer layer;
    for (int i = 0; i < 5 * 64; ++i) {
        mapwriter::Record r;
        const int32_t x = 1000 + i / 64 * 1000;
        r.points = { { x, 1000 }, { x + 5, 1005 } };
        // Object 191 runs on into the next block; block 4 holds a large object.
        r.endOfObject = i != 191;
        if (i == 4 * 64 + 10)
            r.points.push_back({ x + 500, 1500 });
        layer.records.push_back(r);
    }
    m.layers.push_back(layer);
    auto opened = Open(m);
    CZXS_ObjectCursor cursor(opened->doc.get());
    const ZXS_Rect box { 0, 0, 100000, 100000 };
    cursor.SetBox(&box);
    const auto walk = [&](int64_t small) {
        cursor.SetSmallBlocks(small);
        std::vector<int32_t> met;
        if (cursor.SetLayer(0) == 0)
            return met;
        do
            met.push_back(cursor.Object());
        while (cursor.NextObject() != 0);
        return met;
    };
    // The walk starts in block 0; block 1 goes; block 2 ends in object 191,
    // which runs on into block 3, so both stay; block 4 goes when it is small enough.
    std::vector<int32_t> expected;
    for (int32_t i = 0; i < 5 * 64; ++i) {
        if (i / 64 != 1 && i != 192)
            expected.push_back(i);
    }
    EXPECT_EQ(walk(-1).size(), 5u * 64 - 1);
    EXPECT_EQ(walk(20), expected);
    expected.resize(expected.size() - 64);
    EXPECT_EQ(walk(2000), expected);
}

TEST(ObjectCursor, SetBoxAroundClampsToTheMap)
{
    CZXS_TzxDoc doc;
    CZXS_ObjectCursor cursor(&doc);
    cursor.SetBoxAround(10, 20, 50);
    EXPECT_EQ(cursor.Box(), (ZXS_Rect { 0, 0, 60, 70 }));
    cursor.SetBoxAround(0xFFFFF0, 0xFFFFFF, 50);
    EXPECT_EQ(cursor.Box(), (ZXS_Rect { 0xFFFFF0 - 50, 0xFFFFFF - 50, 0x1000000, 0x1000000 }));
}

TEST(ObjectCursor, CollectPointsThinsButKeepsTheLastPoint)
{
    mapwriter::MapDescription m = testing_support::SmallMap();
    mapwriter::Record r;
    r.points
        = { { 1000, 1000 }, { 1003, 1000 }, { 1006, 1001 }, { 1100, 1000 }, { 1102, 1000 }, { 1102, 1000 } };
    m.layers[0].records.push_back(r);
    auto opened = Open(m);
    CZXS_ObjectCursor cursor(opened->doc.get());
    ASSERT_EQ(cursor.Seek(3), 1);
    cursor.SetThinning(10);
    CZXS_PointCollector collector;
    ZXS_Rect bounds;
    ASSERT_EQ(cursor.CollectPoints(&collector, &bounds, false), 1);
    std::vector<ZXS_Point> got(collector.Points(), collector.Points() + collector.Count());
    EXPECT_EQ(got, (std::vector<ZXS_Point> { { 1000, 1000 }, { 1100, 1000 }, { 1102, 1000 } }));
    EXPECT_EQ(bounds, (ZXS_Rect { 1000, 1000, 1102, 1000 })); // the point thinned out does not count
}

TEST(ObjectCursor, SnapHonoursOneWaysClosuresAndHeadings)
{
    // SmallMap's roads: a 2 x 2 grid from (10000, 20000), step 700; element 5
    // (the left vertical one, link 105) is one-way forward (downwards).
    auto opened = Open(testing_support::SmallMap());
    const CZXS_TzxDoc& doc = *opened->doc;
    CZXS_ObjectCursor cursor(&doc);
    ASSERT_EQ(cursor.SnapToRoad(9990, 20300, 100, -1, ZXS_NO_OBJECT, false), 1);
    EXPECT_EQ(cursor.Object(), doc.FirstRoadObject() + 5);
    EXPECT_EQ(cursor.DirectionMask(), 1);
    // Heading north (up the map) runs against the one-way: the next road wins.
    EXPECT_EQ(cursor.SnapToRoad(10100, 20300, 800, 0, ZXS_NO_OBJECT, false), 1);
    EXPECT_EQ(cursor.Object(), doc.FirstRoadObject() + 4);
    EXPECT_EQ(cursor.DirectionMask(), 2);
    // Heading south along it.
    ASSERT_EQ(cursor.SnapToRoad(10100, 20300, 800, 1800, ZXS_NO_OBJECT, false), 1);
    EXPECT_EQ(cursor.Object(), doc.FirstRoadObject() + 5);
    // A closure of its only direction takes it out.
    CZXS_PassageJournal::Entry e;
    e.roadOffset = 5;
    e.costClass = 15;
    e.directions = 1;
    doc.Journal()->Insert(e, -1, false);
    ASSERT_EQ(cursor.SnapToRoad(9990, 20300, 100, -1, ZXS_NO_OBJECT, true), 0);
    ASSERT_EQ(cursor.SnapToRoad(9990, 20300, 100, -1, ZXS_NO_OBJECT, false), 1);
    // At right angles to every road nothing is chosen.
    EXPECT_EQ(cursor.SnapToRoad(10350, 20000, 50, 0, ZXS_NO_OBJECT, false), 0);
}

TEST(MapGeometry, EdgeCrossingCases)
{
    using namespace ZXS_Geometry;
    const ZXS_Point p { 10, 10 };
    struct Case {
        ZXS_Point a, b;
        int expected;
    } cases[] = {
        { { 11, 0 }, { 12, 20 }, kNone }, // wholly to the right
        { { 0, 10 }, { 20, 10 }, kInsideHorizontal }, // horizontal through the point
        { { 10, 10 }, { 20, 10 }, kAtEnd },
        { { 0, 5 }, { 5, 5 }, kNone }, // horizontal, other row
        { { 0, 0 }, { 0, 20 }, kCrosses }, // left, spanning
        { { 0, 10 }, { 5, 20 }, kCrosses }, // lower end on the ray's row: counted
        { { 0, 0 }, { 5, 10 }, kNone }, // upper end on the ray's row: not counted
        { { 10, 10 }, { 30, 30 }, kAtEnd },
        { { 0, 0 }, { 20, 20 }, kOnSlope },
        { { 5, 0 }, { 25, 20 }, kNone }, // passes right of the point
        { { 0, 30 }, { 5, 40 }, kNone },
    };
    for (const Case& c : cases)
        EXPECT_EQ(EdgeCrossing(c.a, c.b, p), c.expected)
            << c.a.x << "," << c.a.y << " " << c.b.x << "," << c.b.y;
}

TEST(MapGeometry, PointInPartsAndDistances)
{
    using namespace ZXS_Geometry;
    const ZXS_Point square[] = { { 0, 0 }, { 100, 0 }, { 100, 100 }, { 0, 100 } };
    const uint32_t four[] = { 4 };
    EXPECT_EQ(PointInParts(square, four, 1, { 50, 50 }), 1);
    EXPECT_EQ(PointInParts(square, four, 1, { 150, 50 }), 0);
    EXPECT_EQ(PointInParts(square, four, 1, { 100, 100 }), kAtEnd);
    // A hole as a second part.
    const ZXS_Point holed[]
        = { { 0, 0 }, { 100, 0 }, { 100, 100 }, { 0, 100 }, { 40, 40 }, { 60, 40 }, { 60, 60 }, { 40, 60 } };
    const uint32_t parts[] = { 4, 4 };
    EXPECT_EQ(PointInParts(holed, parts, 2, { 50, 50 }), 0);
    EXPECT_EQ(PointInParts(holed, parts, 2, { 20, 50 }), 1);

    // Beyond the second end: to the end; the foot exactly on it: to the line.
    EXPECT_DOUBLE_EQ(SegmentDistance({ 0, 0 }, { 10, 0 }, { 13, 4 }), 5.0);
    ZXS_Point nearest;
    EXPECT_DOUBLE_EQ(SegmentDistance({ 0, 0 }, { 10, 0 }, { 10, 4 }, &nearest), 4.0);
    EXPECT_EQ(nearest, (ZXS_Point { 10, 0 }));
    EXPECT_DOUBLE_EQ(SegmentDistance({ 3, 3 }, { 3, 3 }, { 6, 7 }), 5.0);
    EXPECT_EQ(PolylineDistance(square, 1, { 0, 0 }, 10), 1e20);
    EXPECT_TRUE(RectsTouch({ 0, 0, 10, 10 }, { 10, 10, 20, 20 }));
    EXPECT_FALSE(RectsTouch({ 0, 0, 10, 10 }, { 11, 0, 20, 20 }));
}

TEST(DocQueries, FitNearestAndRect)
{
    mapwriter::MapDescription m = testing_support::SmallMap();
    mapwriter::Record narrow;
    narrow.points = { { 30000, 30000 }, { 32900, 30100 } };
    mapwriter::Record wide;
    wide.points = { { 30000, 31000 }, { 33100, 31000 } };
    m.layers[0].records.push_back(narrow);
    m.layers[0].records.push_back(wide);
    m.styles.push_back(Style(1, 0.05f, 0x60));
    auto opened = Open(m);
    const CZXS_TzxDoc& doc = *opened->doc;
    int32_t scale = 1280;
    ZXS_Point centre { 0, 0 };
    EXPECT_EQ(CZXS_DocQueries::FitObject(doc, 3, -1, -1, 200, 200, &scale, &centre), 0);
    EXPECT_EQ(centre, (ZXS_Point { 31450, 30050 }));
    centre = { 30500, 30900 }; // a point of the object within half the view
    EXPECT_EQ(CZXS_DocQueries::FitObject(doc, 3, -1, -1, 200, 200, &scale, &centre), 1);
    centre = { 0, 0 };
    EXPECT_EQ(CZXS_DocQueries::FitObject(doc, 4, -1, -1, 200, 200, &scale, &centre), 0);
    EXPECT_EQ(centre, (ZXS_Point { 30000, 31000 }));
    EXPECT_EQ(CZXS_DocQueries::FitObject(doc, 4, -1, -1, 4, 200, &scale, &centre), -1);

    ZXS_Point out;
    ASSERT_EQ(CZXS_DocQueries::NearestPoint(doc, 4, -1, -1, { 31000, 31001 }, &out), 1);
    EXPECT_EQ(out, (ZXS_Point { 31000, 31001 })); // 1 unit away: the point itself
    ASSERT_EQ(CZXS_DocQueries::NearestPoint(doc, 4, -1, -1, { 31000, 31050 }, &out), 1);
    EXPECT_EQ(out, (ZXS_Point { 31000, 31000 }));
    ASSERT_EQ(CZXS_DocQueries::NearestPoint(doc, 0, -1, -1, { 9500, 19500 }, &out), 1);
    EXPECT_EQ(out, (ZXS_Point { 9500, 19500 })); // inside the park

    ZXS_Rect rect;
    ASSERT_EQ(CZXS_DocQueries::ObjectRect(doc, 1, -1, -1, &rect, false), 1);
    EXPECT_EQ(rect, (ZXS_Rect { 12000, 21000, 12600, 21500 }));
    EXPECT_EQ(CZXS_DocQueries::ObjectRect(doc, 99, -1, -1, &rect, false), 0);
}

} // namespace
