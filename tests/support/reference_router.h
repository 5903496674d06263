#pragma once
// A plain Dijkstra over a map's road graph (Boost Graph Library), for checking
// the kernel's router: the same nodes and directed edges with the same costs.
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "kernel/doc/object_cursor.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/road_graph.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/router/graph_router.h"

namespace testing_support {

// A point on a random road element that has edges: the middle of one of its
// segments. The document's road graph must hold edges.
inline ZXS_Point RandomRoadPoint(const CZXS_TzxDoc& doc, std::mt19937& random)
{
    const CZXS_RoadGraph& graph = doc.RoadGraph();
    std::uniform_int_distribution<uint32_t> edges(0, graph.EdgeCount() - 1);
    for (;;) {
        const uint32_t e = edges(random);
        const uint32_t roadOffset = CZXS_RoadGraph::EdgeRoadOffset(graph.Data() + size_t { e } * 9);
        CZXS_ObjectCursor cursor(&doc);
        CZXS_PointCollector points;
        if (cursor.Seek(doc.FirstRoadObject() + static_cast<int32_t>(roadOffset)) == 0
            || cursor.CollectPoints(&points, nullptr, false) == 0 || points.Count() < 2)
            continue;
        const uint32_t i = std::uniform_int_distribution<uint32_t>(0, points.Count() - 2)(random);
        const ZXS_Point a = points.At(i);
        const ZXS_Point b = points.At(i + 1);
        if (a.x != b.x || a.y != b.y)
            return { (a.x + b.x) / 2, (a.y + b.y) / 2 };
    }
}

class ReferenceRouter {
public:
    using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
        boost::property<boost::edge_weight_t, uint64_t>>;

    // The graph as it stands, with the cost classes of the passage journal;
    // option 1 uses cost A, any other cost B.
    ReferenceRouter(const CZXS_RoadGraph& graph, int option)
        : m_graph(graph.NodeCount())
    {
        const uint32_t costAt = option == CZXS_Router::kShortest ? 2 : 4;
        m_edges.resize(graph.EdgeCount());
        for (uint32_t node = 0; node < graph.NodeCount(); ++node) {
            for (uint32_t e = graph.NodeOffset(node) / 9; e < graph.NodeOffset(node + 1) / 9; ++e) {
                const uint8_t* edge = graph.Data() + size_t { e } * 9;
                const uint32_t base = (edge[costAt] | (edge[costAt + 1] << 8)) & 0x7FFF;
                const uint32_t cost = CZXS_GraphRouter::EdgeCost(base, graph.CostClass(e));
                m_edges[e] = { node, CZXS_RoadGraph::EdgeRoadOffset(edge),
                    CZXS_RoadGraph::EdgeIsBackward(edge), cost };
                if (cost != CZXS_GraphRouter::kForbidden)
                    boost::add_edge(node, CZXS_RoadGraph::EdgeTarget(edge), uint64_t { cost }, m_graph);
                m_targets.push_back(CZXS_RoadGraph::EdgeTarget(edge));
            }
        }
        m_distances.resize(boost::num_vertices(m_graph));
        m_predecessors.resize(boost::num_vertices(m_graph));
    }

    // The cheapest cost from the start element to the finish element (two
    // different elements, each with its usable directions): the edge a route
    // starts on is free and the finish edge counts whole. None when the finish
    // cannot be reached.
    std::optional<uint64_t> Cost(const CZXS_RouterPoint& from, const CZXS_RouterPoint& to)
    {
        std::vector<uint32_t> sources;
        for (uint32_t e = 0; e < m_edges.size(); ++e) {
            if (Matches(m_edges[e], from))
                sources.push_back(m_targets[e]);
        }
        if (sources.empty())
            return std::nullopt;
        boost::dijkstra_shortest_paths(m_graph, sources.begin(), sources.end(), m_predecessors.data(),
            m_distances.data(), boost::get(boost::edge_weight, m_graph),
            boost::get(boost::vertex_index, m_graph), std::less<uint64_t>(), boost::closed_plus<uint64_t>(),
            kInfinite, uint64_t { 0 }, boost::default_dijkstra_visitor());
        uint64_t best = kInfinite;
        for (const Edge& e : m_edges) {
            if (Matches(e, to) && e.cost != CZXS_GraphRouter::kForbidden && m_distances[e.from] != kInfinite)
                best = std::min(best, m_distances[e.from] + e.cost);
        }
        if (best == kInfinite)
            return std::nullopt;
        return best;
    }

private:
    static constexpr uint64_t kInfinite = std::numeric_limits<uint64_t>::max();
    struct Edge {
        uint32_t from;
        uint32_t roadOffset;
        bool backward;
        uint32_t cost;
    };
    static bool Matches(const Edge& e, const CZXS_RouterPoint& p)
    {
        return e.roadOffset == p.roadOffset && (p.directions & (e.backward ? 2u : 1u)) != 0;
    }

    Graph m_graph;
    std::vector<Edge> m_edges;
    std::vector<uint32_t> m_targets;
    std::vector<uint64_t> m_distances;
    std::vector<Graph::vertex_descriptor> m_predecessors;
};

} // namespace testing_support
