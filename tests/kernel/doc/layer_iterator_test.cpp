#include <gtest/gtest.h>

#include "kernel/doc/dictionary.h"
#include "kernel/doc/layer_iterator.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/tzx_header.h"
#include "tests/kernel/doc/table_builder.h"

namespace {

class TestLayers : public CZXS_LayerIterator {
public:
    const CZXS_TzxHeader& GetHeader() const override { return header; }
    const CZXS_Dictionary* GetDictionary() const override { return &dictionary; }

    void AddLayer(int32_t firstObject, uint8_t flags, int16_t word, uint8_t group)
    {
        TableBuilder b;
        b.U32(static_cast<uint32_t>(firstObject)).U32(0).U8(flags).U16(static_cast<uint16_t>(word)).U8(group);
        for (int i = 0; i < 9; ++i)
            b.U8(0);
        Layers().Append(b.Bytes().data());
    }

    CZXS_TzxHeader header;
    CZXS_Dictionary dictionary;
};

} // namespace

TEST(LayerIterator, LayersAndRoadRanges)
{
    TestLayers layers;
    layers.header.SetU32(CZXS_TzxHeader::kObjectCount, 100);
    layers.header.SetU16(CZXS_TzxHeader::kFirstRoadLayer, 0xFFFF);
    TableBuilder()
        .Record(Body({ 1, 0 }, std::string("roads\0", 6)))
        .Record(Body({ 2, 0 }, std::string("water\0", 6)))
        .Into(layers.dictionary);
    layers.dictionary.BuildIndex();

    EXPECT_EQ(layers.LayerOfObject(5), -1); // no layers at all
    EXPECT_EQ(layers.FindLayerByName("roads"), -1);
    layers.AddLayer(10, 0, 2, 7);
    layers.AddLayer(40, 8, 1, 9);
    layers.AddLayer(60, 0, 1, 9);
    struct Case {
        int32_t object, layer;
    };
    for (const Case& c : { Case { -1, 0 }, Case { 5, -1 }, Case { 10, 0 }, Case { 39, 0 }, Case { 40, 1 },
             Case { 99, 2 }, Case { 500, 2 } })
        EXPECT_EQ(layers.LayerOfObject(c.object), c.layer) << c.object;
    EXPECT_EQ(layers.LayerEnd(0), 40);
    EXPECT_EQ(layers.LayerEnd(2), 100);
    EXPECT_FALSE(layers.GetLayerDesc(-1));
    EXPECT_FALSE(layers.GetLayerDesc(3));
    EXPECT_FALSE(layers.GetLayerDesc(65536)); // not a 16-bit index
    EXPECT_EQ(layers.FindLayerByName("roads"), 1);
    EXPECT_EQ(layers.FindLayerByName("rail"), -1);
    EXPECT_EQ(layers.FindLayerByStyleGroup(9).FirstObject(), 40);
    std::string name;
    EXPECT_TRUE(layers.GetLayerName(0, name, 0));
    EXPECT_EQ(name, "water");

    // A negative first road layer: no roads.
    EXPECT_FALSE(layers.FirstRoadLayer());
    EXPECT_EQ(layers.FirstRoadObject(), -1);
    EXPECT_EQ(layers.RoadObjectCount(), 0);

    layers.header.SetU16(CZXS_TzxHeader::kFirstRoadLayer, 1);
    layers.header.SetU16(CZXS_TzxHeader::kRoadLayerCount, 2);
    EXPECT_EQ(layers.FirstRoadObject(), 40);
    EXPECT_EQ(layers.RoadObjectCount(), 60);
    EXPECT_EQ(layers.LastRoadLayer().FirstObject(), 60);
    EXPECT_EQ(layers.NextRoadLayer(layers.FirstRoadLayer()).FirstObject(), 60);
    EXPECT_FALSE(layers.NextRoadLayer(layers.LastRoadLayer()));
    // A road-layer count that runs past the table ends at the last layer.
    layers.header.SetU16(CZXS_TzxHeader::kRoadLayerCount, 9);
    EXPECT_EQ(layers.RoadObjectCount(), 60);

    layers.header.SetU32(CZXS_TzxHeader::kPointSize, 10);
    layers.header.SetU8(CZXS_TzxHeader::kCoding, 1);
    EXPECT_EQ(layers.PointTableSize(), 30);
    layers.header.SetU8(CZXS_TzxHeader::kCoding, 7);
    EXPECT_EQ(layers.PointTableSize(), 20);

    layers.Release();
    EXPECT_EQ(layers.LayerCount(), 0);
    EXPECT_EQ(layers.Layers().RecordSize(), 21);
}

TEST(ObjectRecord, FieldsAndTheOldPackedForm)
{
    CZXS_ObjectRecord r;
    r.SetLinkId(0x1ABCDE);
    r.SetRunLength(0x1234);
    r.SetNameId(0x0F0F0F);
    r.SetClosed(true);
    r.SetBackward(true);
    r.SetCoding(2);
    const std::array<uint8_t, 12> expected = { 0xDE, 0xBC, 0x34, 0x12, 0x0F, 0x0F, 0x2F, 0xD5, 0, 0, 0, 0 };
    EXPECT_EQ(r.Bytes(), expected);
    const CZXS_ObjectRecord back = CZXS_ObjectRecord::FromBytes(expected.data());
    EXPECT_EQ(back.LinkId(), 0x1ABCDE);
    EXPECT_EQ(back.NameId(), 0x0F0F0F);
    EXPECT_TRUE(back.IsClosed());
    EXPECT_FALSE(back.IsEndOfObject());
    EXPECT_FALSE(back.IsForward());
    EXPECT_TRUE(back.IsBackward());
    EXPECT_EQ(back.Coding(), 2);

    struct Case {
        uint32_t packed, link;
        uint8_t byte6, byte9;
        int32_t run, name, linkId;
        bool end, closed;
    };
    const Case cases[] = {
        { 0xFFFFC000u | 77, 0x3fffff, 0x3f, 0, 77, ZXS_NO_OBJECT, ZXS_NO_OBJECT, false, false },
        { (5u << 14) | 0x3fff, 0x12345, 0x41, 1, 0x3fff, 5, 0x12345, true, true },
        { (0x3fffeu << 14) | 1, 0x3ffffe, 0x3f, 0, 1, 0x3fffe, 0x1ffffe, false, false },
    };
    for (const Case& c : cases) {
        uint8_t packed[11] = {};
        for (int i = 0; i < 4; ++i)
            packed[i] = static_cast<uint8_t>(c.packed >> (8 * i));
        packed[4] = static_cast<uint8_t>(c.link);
        packed[5] = static_cast<uint8_t>(c.link >> 8);
        packed[6] = static_cast<uint8_t>((c.link >> 16 & 0x3f) | (c.byte6 & 0x40));
        packed[9] = c.byte9;
        const CZXS_ObjectRecord u = CZXS_ObjectRecord::UnpackOld(packed);
        EXPECT_EQ(u.RunLength(), c.run);
        EXPECT_EQ(u.NameId(), c.name);
        EXPECT_EQ(u.LinkId(), c.linkId);
        EXPECT_EQ(u.IsEndOfObject(), c.end);
        EXPECT_EQ(u.IsClosed(), c.closed);
        EXPECT_TRUE(u.IsForward());
        EXPECT_FALSE(u.IsBackward());
        EXPECT_EQ(u.Coding(), 0);
        EXPECT_EQ(u.BoxByte(0) + u.BoxByte(1), 0);
        EXPECT_EQ(u.BoxByte(2) + u.BoxByte(3), 510);
    }
}

TEST(ObjectRecord, BoxOnTheBlockGrid)
{
    CZXS_ObjectRecord r;
    r.SetBox(1, 2, 3, 255);
    // 1000 wide: cells of 4; zero height: cells of 1.
    EXPECT_EQ(r.Box({ 100, 50, 1100, 50 }), (ZXS_Rect { 104, 52, 116, 306 }));
    EXPECT_EQ(r.Box({ 0, 0, 256, 257 }), (ZXS_Rect { 1, 4, 4, 512 }));
}
