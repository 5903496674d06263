// Road-graph companion files through the graph loader and its lookups.
#include "tests/kernel_fuzz/fuzz_target.h"

#include "kernel/doc/road_graph.h"
#include "tests/support/map_fixture.h"

namespace {

// A street grid of 6 x 6 junctions: nodes with two, three and four streets,
// one-way streets, junction flags, costs that differ per street, a node bound
// above the node count and road offsets up to the 64 roads the target allows.
mapwriter::GraphDescription StreetGrid()
{
    constexpr uint32_t kSide = 6;
    mapwriter::GraphDescription g;
    g.nodeCount = kSide * kSide;
    g.nodeBound = g.nodeCount + 9;
    uint32_t road = 0;
    for (uint32_t node = 0; node < g.nodeCount; ++node) {
        const bool east = node % kSide + 1 < kSide;
        const bool south = node / kSide + 1 < kSide;
        for (const uint32_t next : { east ? node + 1 : node, south ? node + kSide : node }) {
            if (next == node)
                continue;
            const auto cost = static_cast<uint16_t>(90 + road * 37 % 400);
            g.edges.push_back(
                { node, next, cost, static_cast<uint16_t>(cost / 3), road % 5 == 0, false, road });
            if (road % 3 != 0)
                g.edges.push_back(
                    { next, node, cost, static_cast<uint16_t>(cost / 2), road % 4 == 0, true, road });
            ++road;
        }
    }
    return g;
}

} // namespace

std::vector<std::vector<uint8_t>> FuzzSeeds()
{
    return { mapwriter::WriteZxg(mapwriter::BuildRoadGraph(testing_support::SmallMap())),
        mapwriter::WriteZxg(StreetGrid()) };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    CZXS_RoadGraph graph;
    if (!graph.Load("", CZXS_DiskStream::kMemory, bytes.data(), static_cast<uint32_t>(bytes.size()), 64))
        return 0;
    for (uint32_t n = 0; n <= graph.NodeCount(); ++n)
        (void)graph.NodeOffset(n);
    graph.BuildSortedIndex();
    for (uint32_t road = 0; road < 64; road += 7)
        graph.MarkEdges(road, road % 4, static_cast<uint8_t>(road % 16));
    graph.FreeSortedIndex();
    return 0;
}
