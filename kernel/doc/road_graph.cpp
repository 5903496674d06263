#include "kernel/doc/road_graph.h"
#include "kernel/doc/little_endian.h"

#include <algorithm>
#include <cstring>

#include "kernel/doc/kernel_memory.h"
#include "kernel/doc/memory_stream.h"
#include "kernel/doc/stream_kind.h"

CZXS_RoadGraph::CZXS_RoadGraph()
    : CFixedCollect(kEdgeSize)
{
    MakeFreshHeader();
}

CZXS_RoadGraph::~CZXS_RoadGraph()
{
    Free();
    FreeSortedIndex();
}

void CZXS_RoadGraph::MakeFreshHeader()
{
    m_header.fill(0);
    ZXS_PutLe32(m_header.data() + kMagicAt, kMagic);
    ZXS_PutLe16(m_header.data() + kVersionAt, kVersion);
}

uint32_t CZXS_RoadGraph::HeaderU32(uint32_t at) const { return ZXS_Le32(m_header.data() + at); }

int CZXS_RoadGraph::Free()
{
    const int had = CFixedCollect::Free();
    SetRecordSize(kEdgeSize);
    m_roadObjectCount = 0;
    m_stream.reset();
    ZXS_MemFree(m_costClasses);
    m_costClasses = nullptr;
    m_costEdges = 0;
    ZXS_MemFree(m_nodeOffsets);
    m_nodeOffsets = nullptr;
    m_nodeCount = 0;
    m_nodeBound = 0;
    return had;
}

bool CZXS_RoadGraph::Load(const std::string& mapName, int sourceKind, const uint8_t* block,
    uint32_t blockSize, int32_t roadObjectCount)
{
    Free();
    FreeSortedIndex();
    std::unique_ptr<CZXS_DiskStream> stream = ZXS_NewStream(sourceKind);
    if (!stream)
        return false;
    if (sourceKind == CZXS_DiskStream::kMemory) {
        if (block == nullptr || blockSize == 0)
            return false;
        static_cast<CZXS_MemoryStream*>(stream.get())->Assign(block, blockSize);
    } else if (stream->Open(ZXS_ReplaceExtension(mapName, "zxg"), ZXS_OPEN_MAP, nullptr) == 0) {
        return false;
    }
    if (!LoadFrom(*stream, roadObjectCount)) {
        Free();
        MakeFreshHeader();
        return false;
    }
    // Edges read in place from a mapping live as long as the stream.
    stream->ReleaseReadPages();
    m_stream = std::move(stream);
    return true;
}

bool CZXS_RoadGraph::LoadFrom(CZXS_DiskStream& stream, int32_t roadObjectCount)
{
    if (stream.ReadExact(m_header.data(), kHeaderSize) == 0)
        return false;
    const uint16_t version = ZXS_Le16(m_header.data() + kVersionAt);
    if (HeaderU32(kMagicAt) != kMagic || version != kVersion)
        return false;
    const uint32_t edges = HeaderU32(kEdgeCountAt);
    const uint32_t nodes = HeaderU32(kNodeCountAt);
    const uint32_t bound = HeaderU32(kNodeBoundAt);
    const uint32_t degreeSize = HeaderU32(kDegreeSizeAt);
    // One degree byte per node; node numbers are 20-bit and the router's
    // visited set must cover every node.
    if (nodes > kMaxNodes || degreeSize != nodes || bound < nodes || bound > kMaxNodes
        || uint64_t { edges } * kEdgeSize > UINT32_MAX)
        return false;
    if (edges > 0 && CCollect::Load(stream, edges * kEdgeSize) == 0)
        return false;
    if (Count() != edges)
        return false;

    auto* degrees = static_cast<uint8_t*>(ZXS_MemAlloc(degreeSize + 1));
    if (degrees == nullptr)
        return false;
    bool ok = stream.ReadExact(degrees, degreeSize) != 0 && Validate(degrees, nodes, roadObjectCount);
    if (ok) {
        m_nodeOffsets = static_cast<uint32_t*>(ZXS_MemAlloc((size_t { nodes } + 2) * sizeof(uint32_t)));
        m_costClasses = static_cast<uint8_t*>(ZXS_MemAlloc(edges / 2 + 4));
        ok = m_nodeOffsets != nullptr && m_costClasses != nullptr;
    }
    if (ok) {
        uint32_t offset = 0;
        for (uint32_t n = 0; n < nodes; ++n) {
            m_nodeOffsets[n] = offset;
            offset += degrees[n] * kEdgeSize;
        }
        m_nodeOffsets[nodes] = offset;
        m_nodeOffsets[nodes + 1] = offset;
        m_nodeCount = nodes;
        m_nodeBound = bound;
        m_costEdges = edges;
        m_roadObjectCount = roadObjectCount;
        ResetCostClasses();
    }
    ZXS_MemFree(degrees);
    return ok;
}

bool CZXS_RoadGraph::Validate(const uint8_t* degrees, uint32_t nodeCount, int32_t roadObjectCount) const
{
    uint64_t sum = 0;
    for (uint32_t n = 0; n < nodeCount; ++n)
        sum += degrees[n];
    if (sum != Count())
        return false;
    for (uint32_t e = 0; e < Count(); ++e) {
        const uint8_t* edge = Item(e);
        if (EdgeTarget(edge) >= nodeCount || roadObjectCount <= 0
            || EdgeRoadOffset(edge) >= static_cast<uint32_t>(roadObjectCount))
            return false;
    }
    return true;
}

void CZXS_RoadGraph::ResetCostClasses()
{
    if (m_costClasses == nullptr)
        return;
    for (uint32_t i = 0; i < m_costEdges / 2 + 4; ++i)
        std::atomic_ref<uint8_t>(m_costClasses[i]).store(0xEE, std::memory_order_relaxed);
}

void CZXS_RoadGraph::SetCostClass(uint32_t edge, uint8_t costClass)
{
    if (m_costClasses == nullptr || edge >= m_costEdges)
        return;
    // Writers hold the passage journal's lock; routes read without it, so each
    // byte is read and written whole, as an atomic.
    std::atomic_ref<uint8_t> pair(m_costClasses[edge / 2]);
    const uint8_t old = pair.load(std::memory_order_relaxed);
    if (edge % 2 == 0)
        pair.store(static_cast<uint8_t>((old & 0xF0) | (costClass & 0x0F)), std::memory_order_relaxed);
    else
        pair.store(static_cast<uint8_t>((old & 0x0F) | ((costClass & 0x0F) << 4)), std::memory_order_relaxed);
}

bool CZXS_RoadGraph::BuildSortedIndex()
{
    FreeSortedIndex();
    const uint32_t edges = Count();
    if (edges == 0)
        return false;
    const size_t bytes = size_t { edges } * sizeof(EdgeOffset);
    auto* index = static_cast<EdgeOffset*>(ZXS_MemAlloc(bytes));
    if (index == nullptr) {
        ZXS_MemoryTopUp(edges);
        index = static_cast<EdgeOffset*>(ZXS_MemAlloc(bytes));
        if (index == nullptr)
            return false;
    }
    for (uint32_t e = 0; e < edges; ++e)
        index[e] = { e, EdgeRoadOffset(Item(e)) };
    std::sort(index, index + edges, [](const EdgeOffset& a, const EdgeOffset& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.edge < b.edge;
    });
    m_sortedIndex = index;
    m_sortedCount = edges;
    return true;
}

void CZXS_RoadGraph::FreeSortedIndex()
{
    ZXS_MemFree(m_sortedIndex);
    m_sortedIndex = nullptr;
    m_sortedCount = 0;
}

int CZXS_RoadGraph::MarkEdges(uint32_t roadOffset, uint32_t directionMask, uint8_t costClass)
{
    if (m_costClasses == nullptr)
        return 0;
    int changed = 0;
    auto mark = [&](uint32_t e) {
        const uint32_t direction = EdgeIsBackward(Item(e)) ? 2u : 1u;
        if ((directionMask & direction) != 0) {
            SetCostClass(e, costClass);
            ++changed;
        }
    };
    if (m_sortedIndex != nullptr && m_sortedCount == Count()) {
        uint32_t lo = 0;
        uint32_t hi = m_sortedCount;
        while (lo < hi) {
            const uint32_t mid = lo + (hi - lo) / 2;
            if (m_sortedIndex[mid].offset < roadOffset)
                lo = mid + 1;
            else
                hi = mid;
        }
        for (uint32_t i = lo; i < m_sortedCount && m_sortedIndex[i].offset == roadOffset; ++i)
            mark(m_sortedIndex[i].edge);
    } else {
        for (uint32_t e = 0; e < Count(); ++e)
            if (EdgeRoadOffset(Item(e)) == roadOffset)
                mark(e);
    }
    return changed;
}
