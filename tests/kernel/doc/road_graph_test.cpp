// The road-graph companion file: hand-written graphs, our writer's graphs and
// damaged ones.
#include <gtest/gtest.h>

#include "kernel/doc/road_graph.h"
#include "tests/support/map_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A graph file written by hand from the layout: header fields at 512, 516,
// 599, 603, 607 and 611; 9-byte edges; one degree byte per node.
Bytes HandGraph(const std::vector<uint8_t>& degrees, uint16_t version = 306)
{
    Bytes b(679, 0);
    Put32(b, 512, 0x24DF98EB);
    b[516] = static_cast<uint8_t>(version);
    b[517] = static_cast<uint8_t>(version >> 8);
    uint32_t edges = 0;
    for (uint8_t d : degrees)
        edges += d;
    Put32(b, 599, edges);
    Put32(b, 603, static_cast<uint32_t>(degrees.size()));
    Put32(b, 607, static_cast<uint32_t>(degrees.size()));
    Put32(b, 611, static_cast<uint32_t>(degrees.size()));
    for (uint32_t e = 0; e < edges; ++e) {
        // Target node e % nodes, road offset e / 2; odd edges run backward.
        const uint32_t target = e % degrees.size();
        const uint8_t edge[9] = { static_cast<uint8_t>(target), 0, 10, 0, 20,
            static_cast<uint8_t>(e % 2 ? 0x80 : 0), static_cast<uint8_t>(e / 2), 0, 0 };
        b.insert(b.end(), edge, edge + 9);
    }
    b.insert(b.end(), degrees.begin(), degrees.end());
    return b;
}

bool LoadMemory(CZXS_RoadGraph& graph, const Bytes& bytes, int32_t roads = 100)
{
    return graph.Load("", 2, bytes.data(), static_cast<uint32_t>(bytes.size()), roads);
}

TEST(RoadGraphTest, NodeOffsetsAndCostClassesOfAHandWrittenGraph)
{
    const Bytes bytes = HandGraph({ 2, 0, 3 });
    CZXS_RoadGraph graph; // borrows the block: declared after it
    ASSERT_TRUE(LoadMemory(graph, bytes));
    EXPECT_EQ(graph.EdgeCount(), 5u);
    EXPECT_EQ(graph.NodeCount(), 3u);
    EXPECT_EQ(graph.NodeOffset(0), 0u);
    EXPECT_EQ(graph.NodeOffset(1), 18u);
    EXPECT_EQ(graph.NodeOffset(2), 18u);
    EXPECT_EQ(graph.NodeOffset(3), 45u);
    EXPECT_EQ(graph.NodeOffset(4), 45u);
    for (uint32_t e = 0; e < 6; ++e)
        EXPECT_EQ(graph.CostClass(e), 14) << e; // 0xEE: unchanged
    graph.SetCostClass(3, 7);
    EXPECT_EQ(graph.CostClass(3), 7);
    EXPECT_EQ(graph.CostClass(2), 14);
    graph.SetCostClass(5, 1); // past the edges: ignored
    graph.ResetCostClasses();
    EXPECT_EQ(graph.CostClass(3), 14);
}

TEST(RoadGraphTest, MarkEdgesByDirectionWithAndWithoutTheSortedIndex)
{
    // Edges 2 (forward) and 3 (backward) belong to road offset 1.
    const Bytes bytes = HandGraph({ 2, 0, 3 });
    CZXS_RoadGraph graph;
    ASSERT_TRUE(LoadMemory(graph, bytes));
    for (bool sorted : { false, true }) {
        if (sorted) {
            ASSERT_TRUE(graph.BuildSortedIndex());
        }
        graph.ResetCostClasses();
        EXPECT_EQ(graph.MarkEdges(1, 1, 15), 1);
        EXPECT_EQ(graph.CostClass(2), 15);
        EXPECT_EQ(graph.CostClass(3), 14);
        EXPECT_EQ(graph.MarkEdges(1, 3, 5), 2);
        EXPECT_EQ(graph.CostClass(3), 5);
        EXPECT_EQ(graph.MarkEdges(1, 2, 9), 1);
        EXPECT_EQ(graph.MarkEdges(77, 3, 9), 0);
    }
}

TEST(RoadGraphTest, RefusesForeignAndInconsistentGraphs)
{
    struct Case {
        const char* what;
        Bytes bytes;
        int32_t roads;
    };
    Bytes badMagic = HandGraph({ 1, 1 });
    badMagic[512] ^= 1;
    Bytes degreeSum = HandGraph({ 1, 1 });
    degreeSum.back() = 2;
    Bytes farTarget = HandGraph({ 1, 1 });
    farTarget[679] = 9; // first edge aims at node 9 of 2
    Bytes shortBound = HandGraph({ 1, 1 });
    Put32(shortBound, 607, 1);
    Bytes hugeEdges = HandGraph({ 1, 1 });
    Put32(hugeEdges, 599, 0x7FFFFFFF);
    Bytes cut = HandGraph({ 2, 0, 3 });
    cut.resize(cut.size() - 2);
    const Case cases[] = {
        { "version 305", HandGraph({ 1 }, 305), 100 },
        { "version 307", HandGraph({ 1 }, 307), 100 },
        { "magic", badMagic, 100 },
        { "degrees do not add up", degreeSum, 100 },
        { "target past the nodes", farTarget, 100 },
        { "visited set smaller than the nodes", shortBound, 100 },
        { "edge count past the file", hugeEdges, 100 },
        { "cut short", cut, 100 },
        { "road offset past the road objects", HandGraph({ 2, 2 }), 1 },
    };
    for (const Case& c : cases) {
        CZXS_RoadGraph graph;
        EXPECT_FALSE(LoadMemory(graph, c.bytes, c.roads)) << c.what;
        EXPECT_EQ(graph.EdgeCount(), 0u) << c.what;
        EXPECT_EQ(graph.MarkEdges(0, 3, 1), 0) << c.what;
    }
    CZXS_RoadGraph graph;
    EXPECT_FALSE(graph.Load("", 2, nullptr, 0, 10)); // a memory map without a graph block
}

TEST(RoadGraphTest, TwentyBitNodesAndRoadOffsetsSplitAcrossTheRecord)
{
    mapwriter::GraphDescription description;
    description.nodeCount = 70000;
    description.edges = { { 69998, 69999, 300, 0x7FFF, true, true, 0x9ABCD } };
    const Bytes bytes = mapwriter::WriteZxg(description);
    // Target 69999 = 0x1116F, road offset 0x9ABCD: the high nibbles share byte 8.
    const Bytes edge = { 0x6F, 0x11, 0x2C, 0x81, 0xFF, 0xFF, 0xCD, 0xAB, 0x19 };
    EXPECT_TRUE(std::equal(edge.begin(), edge.end(), bytes.begin() + 679));
    CZXS_RoadGraph graph;
    ASSERT_TRUE(LoadMemory(graph, bytes, 0xA0000));
    EXPECT_EQ(CZXS_RoadGraph::EdgeTarget(graph.Item(0)), 69999u);
    EXPECT_EQ(CZXS_RoadGraph::EdgeRoadOffset(graph.Item(0)), 0x9ABCDu);
    EXPECT_TRUE(CZXS_RoadGraph::EdgeIsBackward(graph.Item(0)));
    EXPECT_EQ(graph.NodeOffset(69998), 0u);
    EXPECT_EQ(graph.NodeOffset(69999), 9u);
}

TEST(RoadGraphTest, WriterGraphOfTheFixtureMap)
{
    const mapwriter::MapDescription map = testing_support::SmallMap();
    const mapwriter::GraphDescription description = mapwriter::BuildRoadGraph(map);
    const Bytes bytes = mapwriter::WriteZxg(description);
    CZXS_RoadGraph graph;
    ASSERT_TRUE(LoadMemory(graph, bytes, 6));
    EXPECT_EQ(graph.NodeCount(), 6u);
    EXPECT_EQ(graph.EdgeCount(), 11u); // six two-way elements but one one-way
    // Each node's edges start at that node, in the order the writer grouped them.
    uint32_t edges = 0;
    for (uint32_t n = 0; n < graph.NodeCount(); ++n)
        edges += (graph.NodeOffset(n + 1) - graph.NodeOffset(n)) / 9;
    EXPECT_EQ(edges, 11u);
}

} // namespace
