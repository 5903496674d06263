#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "kernel/doc/disk_stream.h"
#include "kernel/doc/fixed_collect.h"

// The road graph of a map, read from its companion file (".zxg" beside the
// map, or a memory block handed over with a memory map): a 679-byte header,
// 9-byte edge records grouped by source node, then one degree byte per node.
// Edge record: bytes 0-1 target node bits 0-15; 2-3 cost A (bits 0-14) and the
// junction flag (bit 15); 4-5 cost B (bits 0-14) and the backward flag (bit 15);
// 6-7 road offset bits 0-15; 8 road offset bits 16-19 (low nibble) and target
// node bits 16-19 (high nibble).
class CZXS_RoadGraph : public CFixedCollect {
public:
    static constexpr uint32_t kHeaderSize = 679;
    static constexpr uint32_t kEdgeSize = 9;
    static constexpr uint32_t kMagic = 0x24DF98EB;
    static constexpr uint16_t kVersion = 306;
    enum Field : uint32_t {
        kMagicAt = 512,
        kVersionAt = 516,
        kKindAt = 582,
        kEdgeCountAt = 599,
        kNodeCountAt = 603,
        kNodeBoundAt = 607,
        kDegreeSizeAt = 611,
    };
    // Node numbers and road offsets are 20-bit.
    static constexpr uint32_t kMaxNodes = 1u << 20;
    static constexpr uint8_t kCostUnchanged = 14;

    CZXS_RoadGraph();
    ~CZXS_RoadGraph() override;

    const char16_t* ClassName() const override { return u"CZXS_RoadGraph"; }

    // Loads the companion of the map stream `mapName` (kinds 0 and 1) or the
    // memory block (kind 2). `roadObjectCount` bounds the road offsets the edges
    // may name. False with the graph empty when the companion is missing, not a
    // graph of this version, or inconsistent.
    bool Load(const std::string& mapName, int sourceKind, const uint8_t* block, uint32_t blockSize,
        int32_t roadObjectCount);
    int Free() override;

    void ResetCostClasses();
    bool BuildSortedIndex();
    void FreeSortedIndex();
    // Gives the cost class to every edge of the road element whose direction is
    // in `directionMask` (1 forward, 2 backward); the number of edges changed.
    int MarkEdges(uint32_t roadOffset, uint32_t directionMask, uint8_t costClass);
    void SetCostClass(uint32_t edge, uint8_t costClass);
    // Inline: the router asks for every edge it weighs.
    uint8_t CostClass(uint32_t edge) const
    {
        if (m_costClasses == nullptr || edge >= m_costEdges)
            return kCostUnchanged;
        // Atomic: routes read while the journal's holder marks (see SetCostClass).
        const uint8_t pair
            = std::atomic_ref<uint8_t>(m_costClasses[edge / 2]).load(std::memory_order_relaxed);
        return edge % 2 == 0 ? (pair & 0x0F) : (pair >> 4);
    }

    bool IsLoaded() const { return m_costClasses != nullptr; }
    uint32_t EdgeCount() const { return Count(); }
    uint32_t NodeCount() const { return m_nodeCount; }
    uint32_t NodeBound() const { return m_nodeBound; }
    uint8_t Kind() const { return m_header[kKindAt]; }
    int32_t RoadObjectCount() const { return m_roadObjectCount; }
    const std::array<uint8_t, kHeaderSize>& Header() const { return m_header; }
    // Byte offsets in the edge table: node n's edges run from NodeOffset(n) to
    // NodeOffset(n + 1); both valid for every n up to the node count.
    uint32_t NodeOffset(uint32_t node) const
    {
        if (m_nodeOffsets == nullptr)
            return 0;
        return m_nodeOffsets[node < m_nodeCount + 1 ? node : m_nodeCount + 1];
    }

    // Fields of one edge record.
    static uint32_t EdgeTarget(const uint8_t* edge)
    {
        return edge[0] | (edge[1] << 8) | ((edge[8] >> 4) << 16);
    }
    static uint32_t EdgeRoadOffset(const uint8_t* edge)
    {
        return edge[6] | (edge[7] << 8) | ((edge[8] & 0x0F) << 16);
    }
    static bool EdgeIsBackward(const uint8_t* edge) { return (edge[5] & 0x80) != 0; }

private:
    bool LoadFrom(CZXS_DiskStream& stream, int32_t roadObjectCount);
    bool Validate(const uint8_t* degrees, uint32_t nodeCount, int32_t roadObjectCount) const;
    void MakeFreshHeader();
    uint32_t HeaderU32(uint32_t at) const;

    std::array<uint8_t, kHeaderSize> m_header {};
    int32_t m_roadObjectCount = 0;
    struct EdgeOffset {
        uint32_t edge;
        uint32_t offset;
    };
    EdgeOffset* m_sortedIndex = nullptr; // by road offset
    uint32_t m_sortedCount = 0;
    uint8_t* m_costClasses = nullptr;
    uint32_t m_costEdges = 0;
    std::unique_ptr<CZXS_DiskStream> m_stream;
    uint32_t* m_nodeOffsets = nullptr;
    uint32_t m_nodeCount = 0;
    uint32_t m_nodeBound = 0;
};
