// The map loader on maps our writer produced and on hand-written bytes: the
// three stream kinds, enciphered maps, the old layout and damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sys/mman.h>

#include "kernel/api/result_codes.h"
#include "kernel/doc/index_builder.h"
#include "kernel/doc/kernel_memory.h"
#include "kernel/doc/map_cipher.h"
#include "kernel/doc/point_iterator.h"
#include "kernel/doc/tzx_doc.h"
#include "tests/support/map_fixture.h"

namespace {

using testing_support::FixtureKey;
using testing_support::SmallMap;
using testing_support::TempFolder;

using Bytes = std::vector<uint8_t>;

Bytes TableBytes(const CCollect& table) { return Bytes(table.Data(), table.Data() + table.Size()); }

// Everything the loader builds, for comparing documents.
struct Snapshot {
    Bytes header, symbols, dictionary, names, layers, styles, objects, points, blocks, text, metrics, blob;
    Bytes transform;
    uint32_t edges = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const CZXS_TzxDoc& doc)
{
    Snapshot s;
    s.header.assign(doc.Header().Bytes(), doc.Header().Bytes() + CZXS_TzxHeader::kSize);
    s.symbols = TableBytes(doc.Symbols());
    s.dictionary = TableBytes(doc.Dictionary());
    s.names = TableBytes(doc.Names());
    s.layers = TableBytes(doc.Layers());
    s.styles = TableBytes(doc.Styles());
    s.objects = TableBytes(doc.Objects());
    s.points = TableBytes(doc.Points());
    s.blocks = TableBytes(doc.IndexBlocks());
    s.text = TableBytes(doc.TextBlock());
    s.metrics.assign(doc.Metrics().Block().begin(), doc.Metrics().Block().end());
    s.blob = TableBytes(doc.Metrics().Blob());
    s.transform = TableBytes(doc.TransformSection());
    s.edges = doc.RoadGraph().EdgeCount();
    return s;
}

// Every object's points, decoded through its block.
std::vector<std::vector<ZXS_Point>> DecodeAll(const CZXS_TzxDoc& doc)
{
    std::vector<std::vector<ZXS_Point>> all;
    for (uint32_t i = 0; i < doc.Objects().Count(); ++i) {
        uint32_t offset = static_cast<uint32_t>(doc.BlockValue(i / 64, 8));
        for (uint32_t k = i / 64 * 64; k < i; ++k)
            offset += doc.Object(k).RunLength();
        CZXS_PointIterator it;
        EXPECT_TRUE(it.Begin(doc.BlockValue(i / 64, 0), doc.BlockValue(i / 64, 1), doc.Points().Data(),
            doc.Points().Size(), offset, doc.Object(i)));
        std::vector<ZXS_Point> points { it.Current() };
        while (it.Next())
            points.push_back(it.Current());
        all.push_back(points);
    }
    return all;
}

// A map file kept from a fuzzing run.
Bytes FuzzFind(const std::string& name)
{
    std::ifstream in(std::string(TRAVENOR_SHARED_DATA_DIR) + "/tzx-fuzz-finds/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Opened {
    std::unique_ptr<CZXS_TzxDoc> doc = std::make_unique<CZXS_TzxDoc>();
    int result = 0;
    int32_t error = 0;
};

Opened OpenMemory(const Bytes& map, const Bytes& graph = {}, const Bytes& key = {}, int16_t keyLength = 0)
{
    Opened o;
    ZXS_MapSource source;
    source.mapBlock = map.data();
    source.mapSize = static_cast<uint32_t>(map.size());
    source.graphBlock = graph.empty() ? nullptr : graph.data();
    source.graphSize = static_cast<uint32_t>(graph.size());
    o.result = o.doc->Open(&source, key.empty() ? nullptr : key.data(), keyLength, CZXS_DiskStream::kMemory);
    o.error = o.doc->GetError();
    return o;
}

Opened OpenFile(const std::string& path, int kind, const Bytes& key = {}, int16_t keyLength = 0)
{
    Opened o;
    ZXS_MapSource source;
    source.path = path.c_str();
    o.result = o.doc->Open(&source, key.empty() ? nullptr : key.data(), keyLength, kind);
    o.error = o.doc->GetError();
    return o;
}

class TzxLoaderTest : public ::testing::Test {
protected:
    mapwriter::MapDescription map = SmallMap();
    Bytes plain = mapwriter::WriteTzx(map);
    Bytes graph = mapwriter::WriteZxg(mapwriter::BuildRoadGraph(map));
};

TEST_F(TzxLoaderTest, DiskMappedAndMemoryStreamsGiveTheSameDocument)
{
    TempFolder folder;
    ASSERT_TRUE(mapwriter::SaveFile(folder.File("city.tzx"), plain));
    ASSERT_TRUE(mapwriter::SaveFile(folder.File("city.zxg"), graph));

    // Maps are opened exclusively: the mapped open waits for the disk one to close.
    Opened mapped = OpenFile(folder.File("city.tzx"), CZXS_DiskStream::kMapped);
    ASSERT_EQ(mapped.result, 1);
    EXPECT_EQ(OpenFile(folder.File("city.tzx"), CZXS_DiskStream::kDisk).error, ZXS_KERR_FILEOPEN);
    // The mapped stream lends its bytes to the object table instead of copying.
    EXPECT_TRUE(mapped.doc->Objects().IsBorrowed());
    const Snapshot fromMapping = Take(*mapped.doc);
    mapped.doc->Close();
    Opened disk = OpenFile(folder.File("city.tzx"), CZXS_DiskStream::kDisk);
    Opened memory = OpenMemory(plain, graph);
    for (const Opened* o : { &disk, &memory }) {
        ASSERT_EQ(o->result, 1);
        EXPECT_EQ(o->error, 0);
        EXPECT_EQ(o->doc->References(), 1);
    }
    const Snapshot expected = Take(*disk.doc);
    EXPECT_EQ(fromMapping, expected);
    EXPECT_EQ(Take(*memory.doc), expected);

    const CZXS_TzxDoc& doc = *disk.doc;
    EXPECT_EQ(doc.Objects().Count(), 9u);
    EXPECT_EQ(doc.Layers().Count(), 2u);
    EXPECT_EQ(doc.FirstRoadObject(), 3);
    EXPECT_EQ(doc.RoadObjectCount(), 6);
    EXPECT_EQ(doc.RoadGraph().EdgeCount(), 11u);
    ASSERT_NE(doc.Transform(), nullptr);
    EXPECT_EQ(doc.Transform()->Coefficients()[1], 6000000.0);
    EXPECT_EQ(doc.Transform()->Coefficients()[8], -6000000.0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(doc.TextBlock().Data())), map.text);
    EXPECT_EQ(doc.TextBlock().Size(), map.text.size() + 2);
    EXPECT_EQ(doc.Metrics().Blob().Size(), 5u);
    EXPECT_EQ(doc.BackgroundColour(), 0xC0C0C0u);
    // The tables are indexed and answer through the document.
    EXPECT_EQ(doc.Names().GetName(doc.Object(0).NameId(), 0), "Park");
    EXPECT_EQ(doc.Names().GetKindWord(doc.Object(1).NameId(), 1), "st.");
    std::string layerName;
    EXPECT_TRUE(doc.GetLayerName(1, layerName, 2));
    EXPECT_EQ(layerName, "Roads");
    int width = 0;
    int height = 0;
    doc.Symbols().SymbolSize(5, width, height);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(doc.Styles().TopStyle(1).Threshold(), 2.0f);
    // Every object's points come back as written.
    const auto decoded = DecodeAll(doc);
    size_t i = 0;
    for (const auto& layer : map.layers) {
        for (const auto& record : layer.records) {
            std::vector<ZXS_Point> expectedPoints = record.points;
            if (record.closed)
                expectedPoints.push_back(record.points.front());
            EXPECT_EQ(decoded[i++], expectedPoints);
        }
    }
}

TEST_F(TzxLoaderTest, EncipheredAndPlainMapsGiveTheSameDocument)
{
    const Bytes key = FixtureKey();
    const Bytes enciphered = mapwriter::WriteTzx(map, key);
    ASSERT_NE(enciphered, plain);
    Opened reference = OpenMemory(plain, graph);
    ASSERT_EQ(reference.result, 1);
    const Snapshot expected = Take(*reference.doc);

    for (int16_t length : { 16, -16 }) {
        Opened o = OpenMemory(enciphered, graph, key, length);
        ASSERT_EQ(o.result, 1) << length;
        EXPECT_EQ(Take(*o.doc), expected) << length;
    }
    // A plain map with a positive key length is read as it is.
    Opened positive = OpenMemory(plain, graph, key, 16);
    ASSERT_EQ(positive.result, 1);
    EXPECT_EQ(Take(*positive.doc), expected);

    Bytes wrongKey = key;
    wrongKey[3] ^= 1;
    struct Case {
        const Bytes* file;
        const Bytes* key;
        int16_t length;
    };
    const Bytes none;
    for (const Case& c : { Case { &enciphered, &none, 0 }, Case { &enciphered, &wrongKey, 16 },
             Case { &plain, &key, -16 }, Case { &enciphered, &key, 15 } }) {
        Opened o = OpenMemory(*c.file, graph, *c.key, c.length);
        EXPECT_EQ(o.result, 0);
        EXPECT_EQ(o.error, ZXS_KERR_MAGIC);
        EXPECT_EQ(o.doc->Objects().Count(), 0u);
    }
}

TEST_F(TzxLoaderTest, HandWrittenEmptyMapLoads)
{
    // Header: the magic, version 864 at 80, nothing else; then the 776-byte
    // metrics block and the one index block a map without objects has.
    Bytes file(476 + 776 + 36, 0);
    const char magic[] = "Quelvane data file v.3.5.\r\n\x1a###%^*&$";
    std::memcpy(file.data(), magic, sizeof magic);
    file[80] = 0x60;
    file[81] = 0x03;
    file[158] = 0xFF;
    file[159] = 0xFF;
    Opened o = OpenMemory(file);
    ASSERT_EQ(o.result, 1);
    EXPECT_EQ(o.error, 0);
    EXPECT_EQ(o.doc->Objects().Count(), 0u);
    EXPECT_EQ(o.doc->IndexBlocks().Count(), 1u);

    // And the writer lays out the fields where the table puts them.
    const Bytes written = mapwriter::WriteTzx(map);
    EXPECT_EQ(0, std::memcmp(written.data(), magic, sizeof magic));
    EXPECT_EQ(written[56], 0xC1); // map identifier 0xE3C1
    EXPECT_EQ(written[57], 0xE3);
    EXPECT_EQ(written[80], 0x60); // version 864
    EXPECT_EQ(written[81], 0x03);
    EXPECT_EQ(written[116], 9); // objects
    EXPECT_EQ(written[126], 2); // layers
    EXPECT_EQ(written[156], 96); // transform bytes
    EXPECT_EQ(written[158], 1); // first road layer
    EXPECT_EQ(written[160], 1); // road layers
}

// Every kernel error the loader returns, each from one damaged fixture.
TEST_F(TzxLoaderTest, EachErrorComesFromItsDamage)
{
    const mapwriter::SectionOffsets at = mapwriter::Sections(map);
    auto set16 = [](Bytes& f, size_t at, uint16_t v) {
        f[at] = static_cast<uint8_t>(v);
        f[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto set32 = [](Bytes& f, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        int result;
        int32_t error;
        bool withGraph = true;
    };
    const Case cases[] = {
        { "header cut short", [](Bytes& f) { f.resize(300); }, 0, ZXS_KERR_READ },
        { "magic", [](Bytes& f) { f[3] ^= 0x20; }, 0, ZXS_KERR_MAGIC },
        { "magic not terminated", [](Bytes& f) { f[36] = 'x'; }, 0, ZXS_KERR_MAGIC },
        { "version 851", [&](Bytes& f) { set16(f, 80, 851); }, 0, ZXS_KERR_VERSION },
        { "version 863", [&](Bytes& f) { set16(f, 80, 863); }, 0, ZXS_KERR_VERSION },
        { "version 865", [&](Bytes& f) { set16(f, 80, 865); }, 0, ZXS_KERR_VERSION },
        { "reserved word", [&](Bytes& f) { set16(f, 154, 1); }, 0, ZXS_KERR_HEADER },
        { "negative object count", [&](Bytes& f) { set32(f, 116, 0x80000000u); }, 0, ZXS_KERR_HEADER },
        { "transform shorter than its coefficients", [&](Bytes& f) { set16(f, 156, 88); }, 0,
            ZXS_KERR_HEADER },
        { "names larger than the file", [&](Bytes& f) { set32(f, 128, 0x7FFFFFF0u); }, 0, ZXS_KERR_READ },
        { "metrics blob past the end", [&](Bytes& f) { set32(f, at.metrics, 0x10000000u); }, 0,
            ZXS_KERR_READ },
        { "cut inside the layers", [&](Bytes& f) { f.resize(at.layers + 5); }, 0, ZXS_KERR_READ },
        { "cut inside the objects", [&](Bytes& f) { f.resize(at.objects + 20); }, 0, ZXS_KERR_TABLE },
        { "cut inside the index blocks", [&](Bytes& f) { f.resize(at.indexBlocks + 10); }, 0, ZXS_KERR_READ },
        { "cut inside the point data", [&](Bytes& f) { f.resize(at.points + 10); }, 0, ZXS_KERR_TABLE },
        { "cut inside the styles", [&](Bytes& f) { f.resize(at.styles + 50); }, 0, ZXS_KERR_READ },
        { "cut inside the text", [&](Bytes& f) { f.resize(at.text + 3); }, 0, ZXS_KERR_READ },
        { "name record of length 0", [&](Bytes& f) { set16(f, at.names, 0); }, 0, ZXS_KERR_TABLE },
        { "symbol bitmap past its record", [&](Bytes& f) { set16(f, at.symbols + 4, 40); }, 0,
            ZXS_KERR_TABLE },
        { "dictionary word unterminated", [&](Bytes& f) { f[at.dictionary + 9] = 'x'; }, 0, ZXS_KERR_TABLE },
        { "run past the point data", [&](Bytes& f) { set16(f, at.objects + 12 * 8 + 2, 0xFFF0); }, 0,
            ZXS_KERR_TABLE },
        { "unknown point coding", [&](Bytes& f) { f[at.objects + 7] |= 0x06; }, 0, ZXS_KERR_TABLE },
        { "name id past the names", [&](Bytes& f) { f[at.objects + 6] |= 0x0F; }, 0, ZXS_KERR_TABLE },
        { "block offset past the points", [&](Bytes& f) { set32(f, at.indexBlocks + 32, 0x7FFF0000u); }, 0,
            ZXS_KERR_TABLE },
        { "layers out of order", [&](Bytes& f) { set32(f, at.layers + 21, 0xFFFFFFFFu); }, 0,
            ZXS_KERR_TABLE },
        { "road layers past the layers", [&](Bytes& f) { set16(f, 160, 2); }, 0, ZXS_KERR_TABLE },
        { "road layer's end near INT32_MIN",
            [&](Bytes& f) {
                set16(f, 158, 0);
                set32(f, at.layers, 0x60000000u);
                set32(f, at.layers + 21, 0x80000001u);
            },
            0, ZXS_KERR_TABLE },
        // Maps a fuzzer found that overflowed while they loaded.
        { "found: old run overflow 1", [](Bytes& f) { f = FuzzFind("index-run-overflow-1.tzx"); }, 0,
            ZXS_KERR_TABLE },
        { "found: old run overflow 2", [](Bytes& f) { f = FuzzFind("index-run-overflow-2.tzx"); }, 0,
            ZXS_KERR_TABLE },
        { "found: road object count overflow", [](Bytes& f) { f = FuzzFind("layer-count-overflow.tzx"); }, 0,
            ZXS_KERR_TABLE },
        { "graph missing, level below 300, embedded bytes",
            [&](Bytes& f) {
                set32(f, 44, 250);
                set32(f, 162, 4);
                f.insert(f.begin() + at.styles, 4, 0);
            },
            1, ZXS_KERR_GRAPH, false },
        { "graph missing, level below 300, no embedded bytes", [&](Bytes& f) { set32(f, 44, 250); }, 1, 0,
            false },
        { "graph missing, no road layers", [&](Bytes& f) { set16(f, 158, 0xFFFF); }, 1, 0, false },
        { "road layer count 0", [&](Bytes& f) { set16(f, 160, 0); }, 1, ZXS_KERR_GRAPH },
    };
    for (const Case& c : cases) {
        Bytes file = plain;
        c.damage(file);
        Opened o = OpenMemory(file, c.withGraph ? graph : Bytes {});
        EXPECT_EQ(o.result, c.result) << c.what;
        EXPECT_EQ(o.error, c.error) << c.what;
        if (o.result == 0) {
            EXPECT_EQ(o.doc->Objects().Count(), 0u) << c.what;
            EXPECT_EQ(o.doc->Points().Size(), 0u) << c.what;
            EXPECT_EQ(o.doc->References(), 0) << c.what;
        }
    }

    // Out of memory while building the tables.
    for (int skip = 0; skip < 3; ++skip) {
        CZXS_TzxDoc doc;
        ZXS_MapSource source;
        source.mapBlock = plain.data();
        source.mapSize = static_cast<uint32_t>(plain.size());
        ZXS_FailNextAllocations(1000);
        const int result = doc.Open(&source, nullptr, 0, CZXS_DiskStream::kMemory);
        ZXS_FailNextAllocations(0);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(doc.GetError(), ZXS_KERR_MEMORY);
    }

    // The opener's own errors.
    CZXS_TzxDoc doc;
    EXPECT_EQ(doc.Open(nullptr, nullptr, 0, 0), 0);
    EXPECT_EQ(doc.GetError(), ZXS_KERR_NOSOURCE);
    ZXS_MapSource empty;
    EXPECT_EQ(doc.Open(&empty, nullptr, 0, CZXS_DiskStream::kMapped), 0);
    EXPECT_EQ(doc.GetError(), ZXS_KERR_SOURCEPATH);
    EXPECT_EQ(doc.Open(&empty, nullptr, 0, CZXS_DiskStream::kMemory), 0);
    EXPECT_EQ(doc.GetError(), ZXS_KERR_SOURCEPATH);
    ZXS_MapSource missing;
    missing.path = "/nonexistent/map.tzx";
    EXPECT_EQ(doc.Open(&missing, nullptr, 0, CZXS_DiskStream::kDisk), 0);
    EXPECT_EQ(doc.GetError(), ZXS_KERR_FILEOPEN);
    EXPECT_EQ(doc.Open(&missing, nullptr, 0, 3), 0);
    EXPECT_EQ(doc.GetError(), ZXS_KERR_MEMORY);
}

TEST_F(TzxLoaderTest, EveryTruncationFailsCleanly)
{
    for (size_t length = 0; length < plain.size(); ++length) {
        const Bytes cut(plain.begin(), plain.begin() + static_cast<long>(length));
        Opened o = OpenMemory(cut, graph);
        ASSERT_EQ(o.result, 0) << length;
        EXPECT_NE(o.error, 0) << length;
    }
    // A good map still opens in the same process afterwards.
    EXPECT_EQ(OpenMemory(plain, graph).result, 1);
}

TEST_F(TzxLoaderTest, EmbeddedGraphBytesAreSkippedWithOrWithoutTheCompanion)
{
    map.embeddedGraphSize = 40;
    const Bytes file = mapwriter::WriteTzx(map);
    Opened with = OpenMemory(file, graph);
    ASSERT_EQ(with.result, 1);
    Opened without = OpenMemory(file);
    ASSERT_EQ(without.result, 1);
    EXPECT_EQ(without.error, 0); // level 300: a missing graph is accepted
    EXPECT_EQ(without.doc->RoadGraph().EdgeCount(), 0u);
    EXPECT_EQ(TableBytes(without.doc->Styles()), TableBytes(with.doc->Styles()));
}

TEST_F(TzxLoaderTest, OldLayoutConvertsToTheCurrentOneOnAPrivateCopy)
{
    // Old maps know only the forward direction, for every record.
    for (auto& layer : map.layers) {
        for (auto& record : layer.records) {
            record.forward = true;
            record.backward = false;
        }
    }
    // An empty layer begins where the roads begin, another after the last object.
    map.layers.insert(map.layers.begin() + 1, mapwriter::Layer {});
    map.layers.push_back(mapwriter::Layer {});
    map.firstRoadLayer = 2;
    const Bytes current = mapwriter::WriteTzx(map);
    map.version = 850;
    const Bytes old = mapwriter::WriteTzx(map);
    const Bytes oldGraph = mapwriter::WriteZxg(mapwriter::BuildRoadGraph(map));

    Opened reference = OpenMemory(current, oldGraph);
    ASSERT_EQ(reference.result, 1);
    TempFolder folder;
    ASSERT_TRUE(mapwriter::SaveFile(folder.File("old.tzx"), old));
    ASSERT_TRUE(mapwriter::SaveFile(folder.File("old.zxg"), oldGraph));
    for (int kind : { CZXS_DiskStream::kDisk, CZXS_DiskStream::kMapped }) {
        Opened converted = OpenFile(folder.File("old.tzx"), kind);
        ASSERT_EQ(converted.result, 1) << kind;
        EXPECT_EQ(converted.error, 0);
        EXPECT_EQ(TableBytes(converted.doc->Objects()), TableBytes(reference.doc->Objects())) << kind;
        EXPECT_EQ(TableBytes(converted.doc->Points()), TableBytes(reference.doc->Points())) << kind;
        EXPECT_EQ(TableBytes(converted.doc->IndexBlocks()), TableBytes(reference.doc->IndexBlocks())) << kind;
        EXPECT_EQ(TableBytes(converted.doc->Layers()), TableBytes(reference.doc->Layers())) << kind;
        EXPECT_EQ(DecodeAll(*converted.doc), DecodeAll(*reference.doc)) << kind;
    }
    // The caller's memory block stays as it was.
    const Bytes before = old;
    Opened memory = OpenMemory(old, oldGraph);
    ASSERT_EQ(memory.result, 1);
    EXPECT_EQ(old, before);
    EXPECT_EQ(TableBytes(memory.doc->Objects()), TableBytes(reference.doc->Objects()));
}

// Old maps the current layout cannot take are refused: one short of its
// objects, and points that lie 2^31 or more apart once decoded.
TEST_F(TzxLoaderTest, OldMapsTheCurrentLayoutCannotHoldAreRefused)
{
    map.version = 850;
    // A record of 128 full steps of the map's coding from 0.
    auto farRecord = [](int32_t step) {
        mapwriter::Record r;
        r.points = { { 0, 0 } };
        for (int i = 0; i < 128; ++i)
            r.points.push_back({ r.points.back().x + step, 0 });
        return r;
    };
    struct Case {
        const char* what;
        std::function<Bytes(mapwriter::MapDescription&)> write;
    };
    const Case cases[] = {
        { "cut inside the objects",
            [](mapwriter::MapDescription& m) {
                Bytes f = mapwriter::WriteTzx(m);
                f.resize(mapwriter::Sections(m).objects + 11 * 4 + 3);
                return f;
            } },
        { "a run's first point 2^31 past its block's corner",
            [&](mapwriter::MapDescription& m) {
                m.layers[0].records.push_back(farRecord(-0xFFFFFF));
                mapwriter::Record east;
                east.points = { { 0xFFFFFF, 0 }, { 0xFFFFFF, 9 } };
                m.layers[0].records.push_back(east);
                return mapwriter::WriteTzx(m);
            } },
        { "a step that wraps round the coordinates",
            [&](mapwriter::MapDescription& m) {
                // The last step is written back by one full step, then turned
                // forward, so that the decoded point wraps past INT32_MAX.
                mapwriter::Record r = farRecord(0xFFFFFF);
                r.points.push_back({ r.points.back().x - 0xFFFFFF, 0 });
                m.layers.back().records.push_back(r);
                Bytes f = mapwriter::WriteTzx(m);
                f[mapwriter::Sections(m).embedded - 5] ^= 0x80; // the sign of that step's x (4 bytes, y 1)
                return f;
            } },
    };
    for (const Case& c : cases) {
        mapwriter::MapDescription m = map;
        Opened o = OpenMemory(c.write(m), graph);
        EXPECT_EQ(o.result, 0) << c.what;
        EXPECT_EQ(o.error, ZXS_KERR_TABLE) << c.what;
    }
}

TEST(IndexBuilderTest, CellBoxEdges)
{
    // Block 0..1000: cells of 4 units.
    EXPECT_EQ(CZXS_IndexBuilder::CellSize(0, 1000), 4);
    EXPECT_EQ(CZXS_IndexBuilder::CellSize(500, 500), 1); // a vertical line
    EXPECT_EQ(CZXS_IndexBuilder::CellOfGreatest(8, 4), 1); // on a boundary: the cell before
    EXPECT_EQ(CZXS_IndexBuilder::CellOfGreatest(9, 4), 2);
    EXPECT_EQ(CZXS_IndexBuilder::CellOfGreatest(0, 4), 0);
    EXPECT_EQ(CZXS_IndexBuilder::CellOfGreatest(1024, 4), 255); // the block's right edge, 256 cells wide
    EXPECT_EQ(CZXS_IndexBuilder::CellOfLeast(1024, 4, 255), 255); // starts at that edge
    EXPECT_EQ(CZXS_IndexBuilder::CellOfLeast(8, 4, 3), 2);
}

TEST(IndexBuilderTest, EncodeBlockChoosesTheShortestCoding)
{
    // Far from the block corner in x: scheme 0 cannot hold the absolute point.
    const std::vector<ZXS_Point> near = { { 0, 0 }, { 5, -3 } };
    const std::vector<ZXS_Point> far = { { 70000, 10 }, { 70001, 11 } };
    CZXS_IndexBuilder::RecordIn in[2] = { { &near, 4, 7 }, { &far, ZXS_NO_OBJECT, 9 } };
    CZXS_IndexBuilder::RecordOut out[2];
    std::vector<uint8_t> points;
    uint8_t block[36];
    ASSERT_EQ(CZXS_IndexBuilder::EncodeBlock(in, 2, points, block, out), 0);
    EXPECT_EQ(out[0].scheme, 0); // 4 + 2 bytes
    EXPECT_EQ(out[0].length, 6);
    EXPECT_NE(out[1].scheme, 0);
    EXPECT_EQ(block[16], 4); // smallest name id; "none" does not count
    EXPECT_EQ(block[20], 4);
    EXPECT_EQ(block[24], 7); // link ids 7..9
    EXPECT_EQ(block[28], 9);
    EXPECT_EQ(points.size(), size_t { out[0].length } + out[1].length);
}

TEST(MapCipherTest, RunsDecipherBlockByBlock)
{
    const Bytes key = FixtureKey();
    CZXS_MapCipher cipher;
    ASSERT_TRUE(cipher.Prepare(key.data(), 16));
    EXPECT_FALSE(CZXS_MapCipher().Prepare(key.data(), 15));

    // 20 bytes: one block, the last four stay as stored.
    Bytes run(20);
    for (size_t i = 0; i < run.size(); ++i)
        run[i] = static_cast<uint8_t>(i * 7);
    Bytes sealed = run;
    mapwriter::Encipher(key, sealed.data(), 20);
    EXPECT_TRUE(std::equal(sealed.begin() + 16, sealed.end(), run.begin() + 16));
    cipher.Decipher(sealed.data(), 20);
    EXPECT_EQ(sealed, run);

    // 15 bytes are left untouched.
    Bytes short15(run.begin(), run.begin() + 15);
    const Bytes copy = short15;
    EXPECT_FALSE(cipher.Decipher(short15.data(), 15));
    EXPECT_EQ(short15, copy);

    // Block 256 is XORed with 0 again: it deciphers like block 0 of the same bytes.
    Bytes long_(257 * 16, 0x5A);
    Bytes sealedLong = long_;
    mapwriter::Encipher(key, sealedLong.data(), static_cast<uint32_t>(sealedLong.size()));
    EXPECT_TRUE(std::equal(sealedLong.begin(), sealedLong.begin() + 16, sealedLong.begin() + 256 * 16));
    cipher.Decipher(sealedLong.data(), static_cast<uint32_t>(sealedLong.size()));
    EXPECT_EQ(sealedLong, long_);

    // The FIPS-197 AES-128 example block: the schedule is standard AES.
    Bytes fips
        = { 0x39, 0x25, 0x84, 0x1d, 0x02, 0xdc, 0x09, 0xfb, 0xdc, 0x11, 0x85, 0x97, 0x19, 0x6a, 0x0b, 0x32 };
    const uint8_t fipsKey[16]
        = { 0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6, 0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c };
    ASSERT_TRUE(cipher.Prepare(fipsKey, 16));
    cipher.Decipher(fips.data(), 16);
    const Bytes plainFips
        = { 0x32, 0x43, 0xf6, 0xa8, 0x88, 0x5a, 0x30, 0x8d, 0x31, 0x31, 0x98, 0xa2, 0xe0, 0x37, 0x07, 0x34 };
    EXPECT_EQ(fips, plainFips);
}

TEST_F(TzxLoaderTest, ReferencesAndNames)
{
    Opened o = OpenMemory(plain);
    ASSERT_EQ(o.result, 1);
    EXPECT_EQ(o.doc->MapName(), "memfile00000000.tzx");
    o.doc->AddReference();
    EXPECT_EQ(o.doc->Release(), 0);
    EXPECT_EQ(o.doc->Objects().Count(), 9u);
    EXPECT_EQ(o.doc->Release(), 1);
    EXPECT_EQ(o.doc->Objects().Count(), 0u);

    struct Case {
        const char* path;
        const char* extension;
        const char* expected;
    };
    for (const Case& c : { Case { "/maps/map.tzx", "zxj", "/maps/map.zxj" },
             Case { "/maps/map.tzx", ".zxj", "/maps/map.zxj" }, Case { "/maps/map", "zxj", "/maps/map.zxj" },
             Case { "/ma.ps/map", "zxj", "/ma.zxj" }, Case { "/maps/map.tzx", nullptr, "/maps/map.tzx" } }) {
        TempFolder folder;
        CZXS_TzxDoc doc;
        ZXS_MapSource source;
        source.path = c.path;
        doc.Open(&source, nullptr, 0, CZXS_DiskStream::kDisk); // fails, but keeps the name
        EXPECT_EQ(doc.CompanionPath(c.extension), c.expected) << c.path;
    }
}

} // namespace
