#pragma once

#include <cstdint>
#include <memory>

#include "kernel/doc/fixed_collect.h"
#include "kernel/router/leg_array.h"
#include "kernel/router/open_list.h"
#include "kernel/router/router.h"

class CZXS_RoadGraph;
class CZXS_PointCollector;

// Routes over the road graph of a map: the caller's points are snapped to road
// elements, each leg between neighbouring points is searched for the cheapest
// sequence of directed edges (no turn costs; each edge costs its base cost A or
// B scaled by its cost class from the passage journal; of the edges a leg
// starts and ends on only the part driven is charged, from the snapped point in
// the direction of travel), and the edges become route points along the road
// geometry.
class CZXS_GraphRouter : public CZXS_Router {
public:
    static constexpr uint32_t kForbidden = UINT32_MAX;

    CZXS_GraphRouter();
    ~CZXS_GraphRouter() override;

    const char16_t* ClassName() const override { return u"CZXS_GraphRouter"; }

    bool IsReady() const override;
    int PrepareLeg() override;
    int AddPoint(int kind, int32_t x, int32_t y, int32_t radius, int32_t heading, int32_t nameId,
        int useJournal) override;
    int Calculate(int option) override;
    int Attach(CZXS_TzxDoc* doc) override;
    void Detach() override;
    void Clear() override;

    // The cost of an edge under its cost class; kForbidden for class 15.
    static uint32_t EdgeCost(uint32_t base, uint8_t costClass);
    // The part of an edge's cost charged for `driven` of its element's `length`
    // (both along the element's geometry): rounded to the nearest unit; the
    // whole cost when the length is unknown.
    static uint32_t PartCost(uint32_t cost, double driven, double length);
    // The sum of the leg costs of the last successful calculation.
    uint64_t RouteCost() const { return m_routeCost; }
    uint32_t LegPointCount() const { return m_points.Count(); }
    // The caller's points as added, each with the road element it was snapped to.
    bool LegPointAt(uint32_t index, CZXS_RouterPoint& point) const;

private:
    // Per-edge search state: the predecessor edge and the finish mark.
    static constexpr uint32_t kPredecessorMask = 0x3FFFFFFF;
    static constexpr uint32_t kUnreached = 0x3FFFFFFE;
    static constexpr uint32_t kNoPredecessor = 0x3FFFFFFF; // a start edge
    static constexpr uint32_t kFinishBit = 0x80000000;

    struct Limits;

    void ReleaseLeg();
    // Notes an edge whose search state a leg changes, so that the next leg
    // puts back only what this one touched; false without the memory, when
    // the next leg starts from a full reset.
    bool Touch(uint32_t edge);
    void SmoothBackward(const Limits& limits);
    // Calls visit(edge) for each edge of the point's road element in its
    // directions, in the order of the edge table, while it answers true; false
    // when it refused one or there was none.
    template <class EdgeVisitor> bool ForEachEdgeOf(const CZXS_RouterPoint& point, EdgeVisitor visit) const;
    // Sorts the edges by their road element, once per document, so that the
    // edges of an element are found without a pass over the whole table;
    // without the memory for it they are sought.
    void SortEdgesByRoad();
    // Where a point's projection lies along its road element, from the element's
    // first point, and the element's length; zero length when unknown.
    struct Place {
        double along = 0;
        double length = 0;
    };
    Place PlaceOf(const CZXS_RouterPoint& point) const;
    // The edge's cost under the option (its base when forbidden: a leg may
    // leave the edge it starts on).
    uint32_t CostOf(uint32_t edge, int option, bool start) const;
    int SeedStart(const CZXS_RouterPoint& from, const CZXS_RouterPoint& to, int option);
    int MarkFinish(const CZXS_RouterPoint& point);
    int Search(int option);
    int BuildPath(const CZXS_RouterPoint& from, const CZXS_RouterPoint& to);
    bool AppendLegPoint(const CZXS_RouterPoint& point);
    // The points of a road element, all its parts in order.
    bool RoadPoints(uint32_t roadOffset, CZXS_PointCollector& points) const;
    // Notes where each road element's points begin and its layer, once per
    // document, so that a path's elements are read without walking their
    // index blocks; without the memory for it the elements are sought.
    void FindRoadPlaces();
    uint32_t Branches(uint32_t edge) const;
    bool IsVisited(uint32_t node) const { return (m_visited[node >> 6] >> (node & 63)) & 1; }
    void Visit(uint32_t node) { m_visited[node >> 6] |= uint64_t { 1 } << (node & 63); }

    CZXS_RoadGraph* m_graph = nullptr;
    // The search state stays allocated between legs and routes: a leg puts
    // back what the one before touched rather than filling the whole table.
    CZXS_LegArray<uint32_t> m_state;
    CZXS_OpenList m_open;
    CZXS_LegArray<uint64_t> m_visited;
    CZXS_LegArray<uint32_t> m_touched;
    uint32_t m_touchedCount = 0;
    bool m_fullReset = true;
    CZXS_LegArray<uint32_t> m_edgesByRoad;
    // Where each element's edges end in m_edgesByRoad.
    CZXS_LegArray<uint32_t> m_roadEnds;
    int64_t m_foundEdge = -1;
    uint32_t m_foundPredecessor = kNoPredecessor;
    uint64_t m_legCost = 0;
    uint64_t m_routeCost = 0;
    Place m_start;
    Place m_finish;
    // Whether a start edge may end the leg at once: the finish lies on the same
    // element ahead of the start in that edge's direction.
    bool m_finishAheadForward = false;
    bool m_finishAheadBackward = false;
    struct RoadPlace {
        uint32_t pointOffset;
        int32_t layer; // -1: the element does not begin an object
    };
    CZXS_LegArray<RoadPlace> m_roadPlaces;
    uint32_t m_nextVia = 1;
    CFixedCollect m_points { sizeof(CZXS_RouterPoint) };
};

// The router for a document: the graph router when its road graph holds edges,
// else the plain one. Attached to the document; null when memory is short.
std::unique_ptr<CZXS_Router> ZXS_NewRouter(CZXS_TzxDoc* doc);
