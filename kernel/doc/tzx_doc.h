#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "kernel/doc/block_index.h"
#include "kernel/doc/byte_collect.h"
#include "kernel/doc/dictionary.h"
#include "kernel/doc/disk_stream.h"
#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/layer_iterator.h"
#include "kernel/doc/metrics_block.h"
#include "kernel/doc/name_table.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/point_coding.h"
#include "kernel/doc/polynomial_transform.h"
#include "kernel/doc/road_graph.h"
#include "kernel/doc/symbol_table.h"
#include "kernel/doc/tzx_header.h"

class CZXS_PassageJournal;

// What an opener hands over: a map path (disk and mapped sources), or memory
// blocks for the map and its road graph (memory source).
struct ZXS_MapSource {
    const char* path = nullptr; // UTF-8
    const uint8_t* mapBlock = nullptr;
    uint32_t mapSize = 0;
    const uint8_t* graphBlock = nullptr;
    uint32_t graphSize = 0;
    const uint8_t* poiBlock = nullptr;
    uint32_t poiSize = 0;
};

// One opened map: the stream it came from, its header and every table of the
// map file, its road graph and its passage journal.
class CZXS_TzxDoc : public CZXS_LayerIterator {
public:
    CZXS_TzxDoc();
    ~CZXS_TzxDoc() override;
    CZXS_TzxDoc(const CZXS_TzxDoc&) = delete;
    CZXS_TzxDoc& operator=(const CZXS_TzxDoc&) = delete;

    const char16_t* ClassName() const override { return u"CZXS_TzxDoc"; }
    const CZXS_TzxHeader& GetHeader() const override { return m_header; }
    const CZXS_Dictionary* GetDictionary() const override { return &m_dictionary; }

    // Source kinds: 0 disk, 1 memory-mapped file, 2 memory. The key length is
    // signed: 0 no key, negative forces deciphering, positive deciphers only
    // when the plain magic is absent. 1, or 0 with the error stored.
    int Open(const ZXS_MapSource* source, const uint8_t* key, int16_t keyLength, int sourceKind);
    void Close();
    // 1 when this call closed the document.
    int Release();
    using CZXS_LayerIterator::Layers;
    using CZXS_LayerIterator::Styles;
    void AddReference() { ++m_references; }
    int16_t References() const { return m_references; }

    // The map name with its extension replaced.
    std::string CompanionPath(const char* extension) const;
    uint32_t BackgroundColour() const;
    // The header's resolution (offset 58, else offset 102 × 100); 0 when it gives none.
    double Resolution() const;

    const std::string& MapName() const { return m_mapName; }
    const CZXS_TzxHeader& Header() const { return m_header; }
    CZXS_TzxHeader& MutableHeader() { return m_header; }
    const CZXS_SymbolTable& Symbols() const { return m_symbols; }
    const CZXS_Dictionary& Dictionary() const { return m_dictionary; }
    const CZXS_NameTable& Names() const { return m_names; }
    const CFixedCollect& Objects() const { return m_objects; }
    CFixedCollect& Objects() { return m_objects; }
    const CByteCollect& Points() const { return m_points; }
    CByteCollect& Points() { return m_points; }
    const CFixedCollect& IndexBlocks() const { return m_indexBlocks; }
    CFixedCollect& IndexBlocks() { return m_indexBlocks; }
    // Runs of index blocks whose boxes miss a box, passed over whole.
    const CZXS_BlockIndex& BlockIndex() const { return m_blockIndex; }
    const CByteCollect& TextBlock() const { return m_text; }
    const CZXS_MetricsBlock& Metrics() const { return m_metrics; }
    // The transform section as read (deciphered), and the transform built from it.
    const CByteCollect& TransformSection() const { return m_transformSection; }
    const CZXS_Transform* Transform() const { return m_transform.get(); }
    CZXS_RoadGraph& RoadGraph() { return m_roadGraph; }
    const CZXS_RoadGraph& RoadGraph() const { return m_roadGraph; }
    CZXS_PassageJournal* Journal() const { return m_journal.get(); }
    const CZXS_PointCoding* Coding() const { return m_coding; }
    bool IsMemoryMap() const { return m_sourceKind == CZXS_DiskStream::kMemory; }

    // Both run for every record a frame walks: kept inline.
    CZXS_ObjectRecord Object(uint32_t number) const
    {
        const uint8_t* bytes = m_objects.Item(number);
        return bytes != nullptr ? CZXS_ObjectRecord::FromBytes(bytes) : CZXS_ObjectRecord {};
    }
    // Index block fields: 0..3 box, 4..5 name-id range, 6..7 link-id range, 8 point offset.
    int32_t BlockValue(uint32_t block, int field) const
    {
        const uint8_t* b = m_indexBlocks.Item(block);
        if (b == nullptr || field < 0 || field > 8)
            return -1;
        return static_cast<int32_t>(ZXS_Le32(b + field * 4));
    }

private:
    friend class CZXS_TzxLoader;
    friend class CZXS_IndexBuilder;

    void SelectCoding(uint8_t scheme);

    std::string m_mapName;
    int16_t m_references = 0;
    CZXS_TzxHeader m_header;
    CZXS_SymbolTable m_symbols;
    CZXS_Dictionary m_dictionary;
    CZXS_NameTable m_names;
    CFixedCollect m_objects { CZXS_ObjectRecord::kSize };
    CByteCollect m_points;
    std::unique_ptr<CZXS_PassageJournal> m_journal;
    CZXS_RoadGraph m_roadGraph;
    const uint8_t* m_graphBlock = nullptr;
    uint32_t m_graphSize = 0;
    CZXS_MetricsBlock m_metrics;
    CByteCollect m_text;
    CFixedCollect m_indexBlocks { CZXS_TzxHeader::kIndexBlockSize };
    CZXS_BlockIndex m_blockIndex;
    CByteCollect m_transformSection;
    std::unique_ptr<CZXS_PolynomialTransform> m_transform;
    std::unique_ptr<CZXS_DiskStream> m_stream;
    const CZXS_PointCoding* m_coding = nullptr;
    int m_sourceKind = CZXS_DiskStream::kDisk;
    bool m_loaded = false;
};
