// Road-graph companion files through the graph loader and its lookups.
#include "tests/kernel_fuzz/fuzz_target.h"

#include "kernel/doc/road_graph.h"
#include "tests/support/map_fixture.h"

std::vector<std::vector<uint8_t>> FuzzSeeds()
{
    return { mapwriter::WriteZxg(mapwriter::BuildRoadGraph(testing_support::SmallMap())),
        mapwriter::WriteZxg(mapwriter::BuildRoadGraph(testing_support::LargeMap(10))) };
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
