#pragma once
// A plain Dijkstra over a map's road graph (Boost Graph Library), for checking
// the kernel's router: the same nodes and directed edges with the same costs.
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>

#include <algorithm>
#include <cmath>
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

// A point on a random segment of a road element, `share` of the way along the
// segment; none when the element has no segment of any length.
inline std::optional<ZXS_Point> PointOnRoad(
    const CZXS_TzxDoc& doc, uint32_t roadOffset, double share, std::mt19937& random)
{
    CZXS_ObjectCursor cursor(&doc);
    CZXS_PointCollector points;
    if (cursor.Seek(doc.FirstRoadObject() + static_cast<int32_t>(roadOffset)) == 0
        || cursor.CollectPoints(&points, nullptr, false) == 0 || points.Count() < 2)
        return std::nullopt;
    const uint32_t i = std::uniform_int_distribution<uint32_t>(0, points.Count() - 2)(random);
    const ZXS_Point a = points.At(i);
    const ZXS_Point b = points.At(i + 1);
    if (a.x == b.x && a.y == b.y)
        return std::nullopt;
    return ZXS_Point { a.x + static_cast<int32_t>(std::lround((b.x - a.x) * share)),
        a.y + static_cast<int32_t>(std::lround((b.y - a.y) * share)) };
}

// A point on a random road element that has edges: the middle of one of its
// segments. The document's road graph must hold edges.
inline ZXS_Point RandomRoadPoint(const CZXS_TzxDoc& doc, std::mt19937& random)
{
    const CZXS_RoadGraph& graph = doc.RoadGraph();
    std::uniform_int_distribution<uint32_t> edges(0, graph.EdgeCount() - 1);
    for (;;) {
        const uint32_t e = edges(random);
        if (const auto p
            = PointOnRoad(doc, CZXS_RoadGraph::EdgeRoadOffset(graph.Data() + size_t { e } * 9), 0.5, random))
            return *p;
    }
}

class ReferenceRouter {
public:
    using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
        boost::property<boost::edge_weight_t, uint64_t>>;

    // The document's road graph as it stands, with the cost classes of the
    // passage journal; option 1 uses cost A, any other cost B.
    ReferenceRouter(const CZXS_TzxDoc& doc, int option)
        : m_doc(doc)
        , m_graph(std::max(doc.RoadGraph().NodeBound(), doc.RoadGraph().NodeCount()) + 1)
    {
        const CZXS_RoadGraph& graph = doc.RoadGraph();
        const uint32_t costAt = option == CZXS_Router::kShortest ? 2 : 4;
        m_edges.resize(graph.EdgeCount());
        for (uint32_t node = 0; node < graph.NodeCount(); ++node) {
            for (uint32_t e = graph.NodeOffset(node) / 9; e < graph.NodeOffset(node + 1) / 9; ++e) {
                const uint8_t* edge = graph.Data() + size_t { e } * 9;
                const uint32_t base = (edge[costAt] | (edge[costAt + 1] << 8)) & 0x7FFF;
                const uint32_t cost = CZXS_GraphRouter::EdgeCost(base, graph.CostClass(e));
                m_edges[e] = { node, CZXS_RoadGraph::EdgeTarget(edge), CZXS_RoadGraph::EdgeRoadOffset(edge),
                    CZXS_RoadGraph::EdgeIsBackward(edge), base, cost };
                if (cost != CZXS_GraphRouter::kForbidden)
                    boost::add_edge(node, CZXS_RoadGraph::EdgeTarget(edge), uint64_t { cost }, m_graph);
            }
        }
        m_distances.resize(boost::num_vertices(m_graph));
        m_predecessors.resize(boost::num_vertices(m_graph));
        m_colours.resize(boost::num_vertices(m_graph));
    }

    // The cheapest cost from the start point to the finish point, each on its
    // road element in its usable directions. Of the element a route starts on
    // only the rest from the start point in the direction of travel counts (its
    // base cost when the journal closes it: the route is already on it), of the
    // finish element only the part up to the finish point, and of one element
    // holding both, ahead in its direction, the stretch between them. None when
    // the finish cannot be reached.
    std::optional<uint64_t> Cost(const CZXS_RouterPoint& from, const CZXS_RouterPoint& to)
    {
        const Place start = PlaceOf(from);
        const Place finish = PlaceOf(to);
        std::fill(m_distances.begin(), m_distances.end(), kInfinite);
        std::fill(m_colours.begin(), m_colours.end(), boost::white_color);
        for (size_t v = 0; v < m_predecessors.size(); ++v)
            m_predecessors[v] = v;
        uint64_t best = kInfinite;
        std::vector<uint32_t> sources;
        for (const Edge& e : m_edges) {
            if (!Matches(e, from))
                continue;
            const uint32_t cost = e.cost == CZXS_GraphRouter::kForbidden ? e.base : e.cost;
            const double rest = e.backward ? start.along : start.length - start.along;
            const uint64_t part = CZXS_GraphRouter::PartCost(cost, rest, start.length);
            if (m_distances[e.to] == kInfinite)
                sources.push_back(e.to);
            m_distances[e.to] = std::min(m_distances[e.to], part);
            const double ahead = e.backward ? start.along - finish.along : finish.along - start.along;
            if (Matches(e, to) && ahead >= 0)
                best = std::min<uint64_t>(best, CZXS_GraphRouter::PartCost(cost, ahead, start.length));
        }
        if (sources.empty())
            return std::nullopt;
        boost::dijkstra_shortest_paths_no_init(m_graph, sources.begin(), sources.end(), m_predecessors.data(),
            m_distances.data(), boost::get(boost::edge_weight, m_graph),
            boost::get(boost::vertex_index, m_graph), std::less<uint64_t>(), boost::closed_plus<uint64_t>(),
            uint64_t { 0 }, boost::default_dijkstra_visitor(),
            boost::make_iterator_property_map(m_colours.begin(), boost::get(boost::vertex_index, m_graph)));
        for (const Edge& e : m_edges) {
            if (!Matches(e, to) || e.cost == CZXS_GraphRouter::kForbidden || m_distances[e.from] == kInfinite)
                continue;
            const double driven = e.backward ? finish.length - finish.along : finish.along;
            best = std::min(
                best, m_distances[e.from] + CZXS_GraphRouter::PartCost(e.cost, driven, finish.length));
        }
        if (best == kInfinite)
            return std::nullopt;
        return best;
    }

private:
    static constexpr uint64_t kInfinite = std::numeric_limits<uint64_t>::max();
    struct Edge {
        uint32_t from;
        uint32_t to;
        uint32_t roadOffset;
        bool backward;
        uint32_t base;
        uint32_t cost;
    };
    // The point's projection onto its element: how far along the element's
    // geometry from its first point, and the element's length.
    struct Place {
        double along = 0;
        double length = 0;
    };
    static bool Matches(const Edge& e, const CZXS_RouterPoint& p)
    {
        return e.roadOffset == p.roadOffset && (p.directions & (e.backward ? 2u : 1u)) != 0;
    }
    Place PlaceOf(const CZXS_RouterPoint& p) const
    {
        CZXS_ObjectCursor cursor(&m_doc);
        CZXS_PointCollector points;
        Place place;
        if (cursor.Seek(m_doc.FirstRoadObject() + static_cast<int32_t>(p.roadOffset)) == 0
            || cursor.CollectPoints(&points, nullptr, false) == 0)
            return place;
        ZXS_Point projection;
        const int32_t nearest = points.NearestSegment({ p.x, p.y }, &projection);
        auto distance
            = [](ZXS_Point a, ZXS_Point b) { return std::hypot(double(b.x) - a.x, double(b.y) - a.y); };
        for (uint32_t i = 0; i + 1 < points.Count(); ++i) {
            if (static_cast<int32_t>(i) == nearest)
                place.along = place.length + distance(points.At(i), projection);
            place.length += distance(points.At(i), points.At(i + 1));
        }
        return place;
    }

    const CZXS_TzxDoc& m_doc;
    Graph m_graph;
    std::vector<Edge> m_edges;
    std::vector<uint64_t> m_distances;
    std::vector<Graph::vertex_descriptor> m_predecessors;
    std::vector<boost::default_color_type> m_colours;
};

} // namespace testing_support
