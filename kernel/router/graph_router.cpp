#include "kernel/router/graph_router.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "kernel/doc/object_cursor.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/road_graph.h"
#include "kernel/doc/tzx_doc.h"

namespace {

constexpr uint32_t kMaxPathEdges = 0xfffe;

int64_t Manhattan(const CZXS_RoutePoint& a, const CZXS_RoutePoint& b)
{
    return std::llabs(int64_t { a.x } - b.x) + std::llabs(int64_t { a.y } - b.y);
}

int64_t Squared(const CZXS_RoutePoint& a, const CZXS_RoutePoint& b)
{
    const int64_t dx = int64_t { a.x } - b.x;
    const int64_t dy = int64_t { a.y } - b.y;
    return dx * dx + dy * dy;
}

double Along(ZXS_Point from, ZXS_Point to)
{
    return std::hypot(double(to.x) - from.x, double(to.y) - from.y);
}

} // namespace

// Distances of the smoothing rules in map units: R x metres x 0.0001 - 0.5,
// truncated, R being the map's units per 10 km.
struct CZXS_GraphRouter::Limits {
    int64_t d20, d70, d100, q8, q30, q100;

    explicit Limits(const CZXS_TzxHeader& header)
    {
        int64_t r = header.I32(CZXS_TzxHeader::kResolution);
        if (r == 0)
            r = int64_t { header.U16(CZXS_TzxHeader::kResolution100) } * 100;
        auto units = [r](double metres) { return static_cast<int64_t>(double(r) * metres * 0.0001 - 0.5); };
        d20 = units(20);
        d70 = units(70);
        d100 = units(100);
        q100 = d100 * d100;
        q8 = (units(128) * units(128)) >> 8;
        q30 = units(30) * units(30);
    }
};

std::unique_ptr<CZXS_Router> ZXS_NewRouter(CZXS_TzxDoc* doc)
{
    std::unique_ptr<CZXS_Router> router;
    if (doc != nullptr && doc->RoadGraph().EdgeCount() > 0)
        router.reset(new (std::nothrow) CZXS_GraphRouter);
    else
        router.reset(new (std::nothrow) CZXS_Router);
    if (router != nullptr)
        router->Attach(doc);
    return router;
}

CZXS_GraphRouter::CZXS_GraphRouter() { m_points.Allocate(32, 16); }

CZXS_GraphRouter::~CZXS_GraphRouter() { ReleaseLeg(); }

bool CZXS_GraphRouter::IsReady() const
{
    return m_doc != nullptr && m_graph != nullptr && m_graph->EdgeCount() > 0;
}

int CZXS_GraphRouter::Attach(CZXS_TzxDoc* doc)
{
    if (CZXS_Router::Attach(doc) == 0)
        return 0;
    if (doc->RoadGraph().EdgeCount() == 0) {
        Detach();
        return 0;
    }
    ReleaseLeg();
    m_roadPlaces.Free();
    m_edgesByRoad.Free();
    m_roadEnds.Free();
    m_graph = &doc->RoadGraph();
    return 1;
}

void CZXS_GraphRouter::Detach()
{
    ReleaseLeg();
    m_roadPlaces.Free();
    m_edgesByRoad.Free();
    m_roadEnds.Free();
    m_graph = nullptr;
    CZXS_Router::Detach();
}

void CZXS_GraphRouter::Clear()
{
    EmptyResult();
    m_points.SetSize(0);
    m_nextVia = 1;
    m_routeCost = 0;
}

bool CZXS_GraphRouter::AppendLegPoint(const CZXS_RouterPoint& point)
{
    uint8_t bytes[sizeof(CZXS_RouterPoint)];
    std::memcpy(bytes, &point, sizeof point);
    return m_points.Append(bytes) >= 0;
}

bool CZXS_GraphRouter::LegPointAt(uint32_t index, CZXS_RouterPoint& point) const
{
    const uint8_t* bytes = m_points.Item(index);
    if (bytes == nullptr)
        return false;
    std::memcpy(&point, bytes, sizeof point);
    return true;
}

int CZXS_GraphRouter::AddPoint(
    int kind, int32_t x, int32_t y, int32_t radius, int32_t heading, int32_t nameId, int useJournal)
{
    if (!IsReady())
        return kNotReady;
    if (kind != kStart && kind != kFinish && kind != kVia)
        return kNotSupported;
    CZXS_ObjectCursor cursor(m_doc);
    if (cursor.SnapToRoad(x, y, radius, heading, nameId, useJournal != 0) == 0)
        return kNoRoadNear;
    CZXS_RouterPoint point;
    point.x = x;
    point.y = y;
    point.roadOffset = static_cast<uint32_t>(cursor.Object() - m_doc->FirstRoadObject());
    point.directions = cursor.DirectionMask();
    if (kind == kVia) {
        if (m_nextVia > CZXS_RouterPoint::kLastVia)
            return kTooManyVias;
        point.order = m_nextVia;
    } else {
        // Setting the start or the finish again moves it rather than adding a second one.
        point.order = kind == kStart ? CZXS_RouterPoint::kStartOrder : CZXS_RouterPoint::kFinishOrder;
        CZXS_RouterPoint held;
        for (uint32_t i = 0; LegPointAt(i, held); ++i) {
            if ((held.order & 0xffff) == point.order) {
                m_points.RemoveAt(i, 1);
                break;
            }
        }
    }
    if (!AppendLegPoint(point))
        return kNoMemory;
    if (kind == kVia)
        ++m_nextVia;
    return 0;
}

int CZXS_GraphRouter::Calculate(int option)
{
    m_routeCost = 0;
    if (!IsReady())
        return kNotReady;
    const uint32_t count = m_points.Count();
    if (count < 2) // a route needs a start and a finish
        return kNotReady;
    CZXS_LegArray<CZXS_RouterPoint> points;
    if (!points.Allocate(count))
        return kNoMemory;
    if (!m_roadPlaces.IsAllocated())
        FindRoadPlaces();
    if (!m_edgesByRoad.IsAllocated())
        SortEdgesByRoad();
    for (uint32_t i = 0; i < count; ++i)
        LegPointAt(i, points[i]);
    // Start, via points in the order added, finish; a stable sort keeps equal keys in order.
    std::stable_sort(
        points.Data(), points.Data() + count, [](const CZXS_RouterPoint& a, const CZXS_RouterPoint& b) {
            return (a.order & 0xffff) < (b.order & 0xffff);
        });
    EmptyResult();
    uint64_t total = 0;
    for (uint32_t leg = 0; leg + 1 < count; ++leg) {
        const CZXS_RouterPoint& from = points[leg];
        const CZXS_RouterPoint& to = points[leg + 1];
        int result = PrepareLeg();
        if (result != 0)
            return result;
        m_start = PlaceOf(from);
        m_finish = PlaceOf(to);
        result = SeedStart(from, to, option);
        if (result == 0)
            result = MarkFinish(to);
        if (result == 0 && m_graph->Kind() != 0)
            result = kNotSupported;
        if (result == 0)
            result = Search(option);
        if (result == 0)
            result = BuildPath(from, to);
        if (result != 0)
            return result;
        total += m_legCost;
    }
    m_routeCost = total;
    return PointCount() > 0 ? 0 : 2;
}

int CZXS_GraphRouter::PrepareLeg()
{
    m_foundEdge = -1;
    m_foundPredecessor = kNoPredecessor;
    m_legCost = 0;
    const uint32_t nodes = std::max(m_graph->NodeBound(), m_graph->NodeCount()) + 1;
    if (!m_state.IsAllocated() || !m_visited.IsAllocated())
        m_fullReset = true;
    if (!m_state.Allocate(m_graph->EdgeCount()) || !m_open.Prepare() || !m_visited.Allocate(nodes / 64 + 1)) {
        ReleaseLeg();
        return kNoMemory;
    }
    if (m_fullReset) {
        m_state.Fill(kUnreached);
        m_visited.Fill(0);
        m_fullReset = false;
    } else {
        const uint8_t* edges = m_graph->Data();
        for (uint32_t i = 0; i < m_touchedCount; ++i) {
            const uint32_t e = m_touched[i];
            m_state[e] = kUnreached;
            const uint32_t node
                = CZXS_RoadGraph::EdgeTarget(edges + size_t { e } * CZXS_RoadGraph::kEdgeSize);
            m_visited[node >> 6] = 0;
        }
    }
    m_touchedCount = 0;
    return 0;
}

void CZXS_GraphRouter::ReleaseLeg()
{
    m_state.Free();
    m_open.Release();
    m_visited.Free();
    m_touched.Free();
    m_touchedCount = 0;
    m_fullReset = true;
}

bool CZXS_GraphRouter::Touch(uint32_t edge)
{
    if (m_touchedCount == m_touched.Count()) {
        const size_t capacity = m_touched.Count() < 1024 ? 1024 : m_touched.Count() * 2;
        if (!m_touched.Grow(capacity)) {
            m_fullReset = true;
            return false;
        }
    }
    m_touched[m_touchedCount++] = edge;
    return true;
}

void CZXS_GraphRouter::SortEdgesByRoad()
{
    const uint32_t edges = m_graph->EdgeCount();
    const int32_t roads = m_graph->RoadObjectCount();
    CZXS_LegArray<uint32_t>& starts = m_roadEnds;
    if (edges == 0 || roads <= 0 || !starts.Allocate(static_cast<size_t>(roads) + 1)
        || !m_edgesByRoad.Allocate(edges)) {
        m_edgesByRoad.Free();
        m_roadEnds.Free();
        return;
    }
    // A counting sort: the edges of one element keep the table's order.
    starts.Fill(0);
    const uint8_t* data = m_graph->Data();
    for (uint32_t e = 0; e < edges; ++e) {
        const uint32_t road = CZXS_RoadGraph::EdgeRoadOffset(data + size_t { e } * CZXS_RoadGraph::kEdgeSize);
        if (road >= static_cast<uint32_t>(roads)) {
            m_edgesByRoad.Free();
            m_roadEnds.Free();
            return;
        }
        ++starts[road + 1];
    }
    for (int32_t r = 0; r < roads; ++r)
        starts[static_cast<size_t>(r) + 1] += starts[static_cast<size_t>(r)];
    for (uint32_t e = 0; e < edges; ++e)
        m_edgesByRoad[starts[CZXS_RoadGraph::EdgeRoadOffset(
            data + size_t { e } * CZXS_RoadGraph::kEdgeSize)]++]
            = e;
}

template <class EdgeVisitor>
bool CZXS_GraphRouter::ForEachEdgeOf(const CZXS_RouterPoint& point, EdgeVisitor visit) const
{
    // The edges of one road element lie anywhere in the table: through the
    // sorted list when there is one, else a pass over the whole table.
    const uint8_t* data = m_graph->Data();
    const uint32_t edges = m_graph->EdgeCount();
    auto road = [&](uint32_t e) {
        return CZXS_RoadGraph::EdgeRoadOffset(data + size_t { e } * CZXS_RoadGraph::kEdgeSize);
    };
    bool any = false;
    auto offer = [&](uint32_t e) {
        const uint8_t* edge = data + size_t { e } * CZXS_RoadGraph::kEdgeSize;
        if ((point.directions & (CZXS_RoadGraph::EdgeIsBackward(edge) ? 2u : 1u)) == 0)
            return true;
        any = true;
        return visit(e);
    };
    if (m_edgesByRoad.Count() == edges && edges > 0 && point.roadOffset + size_t { 1 } < m_roadEnds.Count()) {
        // Counted out, each element's edges end where the next one's begin.
        const uint32_t end = m_roadEnds[point.roadOffset];
        for (uint32_t i = point.roadOffset == 0 ? 0 : m_roadEnds[point.roadOffset - 1]; i < end; ++i) {
            if (!offer(m_edgesByRoad[i]))
                return false;
        }
        return any;
    }
    for (uint32_t e = 0; e < edges; ++e) {
        if (road(e) == point.roadOffset && !offer(e))
            return false;
    }
    return any;
}

CZXS_GraphRouter::Place CZXS_GraphRouter::PlaceOf(const CZXS_RouterPoint& point) const
{
    CZXS_PointCollector points;
    if (!RoadPoints(point.roadOffset, points))
        return {};
    ZXS_Point projection;
    const int32_t nearest = points.NearestSegment({ point.x, point.y }, &projection);
    if (nearest < 0)
        return {};
    Place place;
    for (uint32_t i = 0; i + 1 < points.Count(); ++i) {
        if (i == static_cast<uint32_t>(nearest))
            place.along = place.length + Along(points.At(i), projection);
        place.length += Along(points.At(i), points.At(i + 1));
    }
    return place;
}

uint32_t CZXS_GraphRouter::PartCost(uint32_t cost, double driven, double length)
{
    if (!(length > 0))
        return cost;
    return static_cast<uint32_t>(std::llround(cost * std::clamp(driven / length, 0.0, 1.0)));
}

uint32_t CZXS_GraphRouter::CostOf(uint32_t edge, int option, bool start) const
{
    const uint8_t* bytes = m_graph->Data() + size_t { edge } * CZXS_RoadGraph::kEdgeSize;
    const uint32_t at = option == kShortest ? 2 : 4;
    const uint32_t base = (bytes[at] | (bytes[at + 1] << 8)) & 0x7FFF;
    const uint32_t cost = EdgeCost(base, m_graph->CostClass(edge));
    return cost == kForbidden && start ? base : cost;
}

int CZXS_GraphRouter::SeedStart(const CZXS_RouterPoint& from, const CZXS_RouterPoint& to, int option)
{
    // A start edge that runs on to the finish on the same element is charged
    // the stretch between them, and the leg may end on it at once; any other
    // is charged the rest of its element.
    const double s = m_start.along;
    const double f = m_finish.along;
    const bool sameElement = from.roadOffset == to.roadOffset;
    m_finishAheadForward = sameElement && (to.directions & 1) != 0 && f >= s;
    m_finishAheadBackward = sameElement && (to.directions & 2) != 0 && f <= s;
    bool memory = true;
    const bool any = ForEachEdgeOf(from, [&](uint32_t e) {
        const bool backward
            = CZXS_RoadGraph::EdgeIsBackward(m_graph->Data() + size_t { e } * CZXS_RoadGraph::kEdgeSize);
        const double driven = backward ? (m_finishAheadBackward ? s - f : s)
                                       : (m_finishAheadForward ? f - s : m_start.length - s);
        const uint32_t cost = PartCost(CostOf(e, option, true), driven, m_start.length);
        return memory = m_open.Push(cost, e, kNoPredecessor);
    });
    return !memory ? kNoMemory : any ? 0 : kNoEdge;
}

int CZXS_GraphRouter::MarkFinish(const CZXS_RouterPoint& point)
{
    bool memory = true;
    const bool any = ForEachEdgeOf(point, [&](uint32_t e) {
        m_state[e] |= kFinishBit;
        return memory = Touch(e);
    });
    return !memory ? kNoMemory : any ? 0 : kNoEdge;
}

uint32_t CZXS_GraphRouter::EdgeCost(uint32_t base, uint8_t costClass)
{
    switch (costClass) {
    case 0:
        return base - base / 4;
    case 1:
        return base - base / 8;
    case 3:
        return base + base / 2;
    case 4:
        return base * 5 / 2;
    case 5:
        return base * 4;
    case 6:
        return base * 8;
    case 7:
        return base * 16;
    case 15:
        return kForbidden;
    default:
        return base;
    }
}

int CZXS_GraphRouter::Search(int option)
{
    const uint8_t* edges = m_graph->Data();
    uint32_t* state = m_state.Data();
    CZXS_OpenList::Entry entry;
    // Uniform-cost search over directed edges. The leg ends when a finish edge
    // leaves the open list, not when it is first reached: only then is no
    // cheaper way to it left.
    while (m_open.Pop(entry)) {
        const uint32_t e = entry.edge;
        if ((state[e] & kFinishBit) != 0) {
            bool accept = entry.predecessor != kNoPredecessor;
            if (!accept) {
                // A start edge that is also a finish edge ends the leg only when the
                // finish lies ahead of the start in its direction; otherwise the
                // leg must come round to it.
                const bool backward
                    = CZXS_RoadGraph::EdgeIsBackward(edges + size_t { e } * CZXS_RoadGraph::kEdgeSize);
                accept = backward ? m_finishAheadBackward : m_finishAheadForward;
            }
            if (accept) {
                m_foundEdge = e;
                m_foundPredecessor = entry.predecessor;
                m_legCost = entry.cost;
                return 0;
            }
        }
        if ((state[e] & kPredecessorMask) != kUnreached)
            continue;
        const uint32_t node = CZXS_RoadGraph::EdgeTarget(edges + size_t { e } * CZXS_RoadGraph::kEdgeSize);
        if (IsVisited(node))
            continue;
        state[e] = (state[e] & ~kPredecessorMask) | entry.predecessor;
        Visit(node);
        if (!Touch(e))
            return kNoMemory;
        const uint32_t first = m_graph->NodeOffset(node) / CZXS_RoadGraph::kEdgeSize;
        const uint32_t last = m_graph->NodeOffset(node + 1) / CZXS_RoadGraph::kEdgeSize;
        const uint8_t* next = edges + size_t { first } * CZXS_RoadGraph::kEdgeSize;
        for (uint32_t f = first; f < last; ++f, next += CZXS_RoadGraph::kEdgeSize) {
            const bool finish = (state[f] & kFinishBit) != 0;
            if (!finish && IsVisited(CZXS_RoadGraph::EdgeTarget(next)))
                continue;
            uint32_t cost = CostOf(f, option, false);
            if (cost == kForbidden)
                continue;
            // A finish edge is driven up to the finish only.
            if (finish)
                cost = PartCost(cost,
                    CZXS_RoadGraph::EdgeIsBackward(next) ? m_finish.length - m_finish.along : m_finish.along,
                    m_finish.length);
            if (!m_open.Push(entry.cost + cost, f, e))
                return kNoMemory;
        }
    }
    return kUnreachable;
}

uint32_t CZXS_GraphRouter::Branches(uint32_t edge) const
{
    const uint32_t node
        = CZXS_RoadGraph::EdgeTarget(m_graph->Data() + size_t { edge } * CZXS_RoadGraph::kEdgeSize);
    return ((m_graph->NodeOffset(node + 1) - m_graph->NodeOffset(node)) / CZXS_RoadGraph::kEdgeSize) & 7;
}

void CZXS_GraphRouter::FindRoadPlaces()
{
    const int32_t first = m_doc->FirstRoadObject();
    const int32_t count = m_doc->RoadObjectCount();
    if (first < 0 || count <= 0 || !m_roadPlaces.Allocate(static_cast<size_t>(count)))
        return;
    // Offsets run on from the start of each index block.
    uint32_t offset = 0;
    int32_t layer = -1;
    // The layers in turn, rather than looked up for every element.
    int32_t own = m_doc->LayerOfObject(first);
    int32_t ownEnd = m_doc->LayerEnd(own);
    for (int32_t object = first / 64 * 64; object < first + count; ++object) {
        if (object % 64 == 0)
            offset = static_cast<uint32_t>(m_doc->BlockValue(static_cast<uint32_t>(object / 64), 8));
        if (object >= first) {
            while (object >= ownEnd && own + 1 < m_doc->LayerCount())
                ownEnd = m_doc->LayerEnd(++own);
            const bool begins
                = own != layer || m_doc->Object(static_cast<uint32_t>(object - 1)).IsEndOfObject();
            m_roadPlaces[static_cast<size_t>(object - first)] = { offset, begins ? own : -1 };
            layer = own;
        }
        offset += m_doc->Object(static_cast<uint32_t>(object)).RunLength();
    }
}

bool CZXS_GraphRouter::RoadPoints(uint32_t roadOffset, CZXS_PointCollector& points) const
{
    CZXS_ObjectCursor cursor(m_doc);
    const int32_t object = m_doc->FirstRoadObject() + static_cast<int32_t>(roadOffset);
    const bool known = roadOffset < m_roadPlaces.Count() && m_roadPlaces[roadOffset].layer >= 0;
    if ((known ? cursor.Seek(object, static_cast<int32_t>(m_roadPlaces[roadOffset].pointOffset),
             m_roadPlaces[roadOffset].layer)
               : cursor.Seek(object))
        == 0)
        return false;
    return cursor.CollectPoints(&points, nullptr, false) != 0 && points.Count() > 0;
}

int CZXS_GraphRouter::BuildPath(const CZXS_RouterPoint& from, const CZXS_RouterPoint& to)
{
    if (m_foundEdge < 0)
        return kNoFinishEdge;
    const int32_t firstRoad = m_doc->FirstRoadObject();
    if (firstRoad < 0)
        return kNoRoadLayers;
    uint32_t count = 1;
    for (uint32_t p = m_foundPredecessor; p != kNoPredecessor; p = m_state[p] & kPredecessorMask) {
        if (++count > kMaxPathEdges)
            return kPathTooLong;
    }
    CZXS_LegArray<uint32_t> path;
    if (!path.Allocate(count))
        return kNoMemory;
    path[count - 1] = static_cast<uint32_t>(m_foundEdge);
    uint32_t at = count - 1;
    for (uint32_t p = m_foundPredecessor; p != kNoPredecessor; p = m_state[p] & kPredecessorMask)
        path[--at] = p;

    const Limits limits(m_doc->Header());
    bool ok = AppendPoint({ from.x, from.y, -1, 1, CZXS_RoutePoint::kCallerStart });

    // Appends a point of an element's geometry: a repeated point replaces the
    // one before, and a short spike at a junction is marked on the way.
    auto addShapePoint = [&](const CZXS_RoutePoint& point) {
        if (const uint32_t n = PointCount(); n > 0) {
            const CZXS_RoutePoint last = ResultPoint(n - 1);
            if (last.x == point.x && last.y == point.y)
                RemoveLastPoint();
        }
        const uint32_t n = PointCount();
        if ((point.flags & CZXS_RoutePoint::kElementEntry) && point.branches > 1 && n > 2) {
            const CZXS_RoutePoint a = ResultPoint(n - 3);
            CZXS_RoutePoint b = ResultPoint(n - 2);
            CZXS_RoutePoint c = ResultPoint(n - 1);
            const uint8_t entry = CZXS_RoutePoint::kElementEntry;
            if ((c.flags & entry) && c.branches < 2 && (b.flags & entry) && b.branches > 1
                && (a.flags & entry) && a.branches > 1 && Manhattan(a, point) <= limits.d70
                && Manhattan(c, point) <= limits.d20 && Manhattan(a, b) <= limits.d20) {
                c.flags |= CZXS_RoutePoint::kSuppressed;
                b.flags |= CZXS_RoutePoint::kSuppressed;
                ReplacePoint(n - 1, c);
                ReplacePoint(n - 2, b);
            }
        }
        ok = AppendPoint(point) && ok;
    };

    CZXS_PointCollector points;
    for (uint32_t g = 0; g < count && ok; ++g) {
        const uint8_t* edge = m_graph->Data() + size_t { path[g] } * CZXS_RoadGraph::kEdgeSize;
        const uint32_t roadOffset = CZXS_RoadGraph::EdgeRoadOffset(edge);
        const int32_t object = firstRoad + static_cast<int32_t>(roadOffset);
        if (!RoadPoints(roadOffset, points))
            continue;
        if (CZXS_RoadGraph::EdgeIsBackward(edge))
            points.Reverse();
        uint32_t begin = 0;
        uint32_t end = points.Count() - 1;
        CZXS_RoutePoint first { 0, 0, object, 1, CZXS_RoutePoint::kShapePoint };
        if (g == 0) {
            ZXS_Point projection;
            const int32_t i = points.NearestSegment({ from.x, from.y }, &projection);
            if (i < 0)
                projection = points.At(0);
            if (count == 1) {
                ZXS_Point finish;
                const int32_t j = points.NearestSegment({ to.x, to.y }, &finish);
                if (i == j) {
                    ok = AppendPoint(
                             { projection.x, projection.y, object, 1, CZXS_RoutePoint::kStartProjection })
                        && AppendPoint({ finish.x, finish.y, -1, 1, CZXS_RoutePoint::kFinishProjection });
                    break;
                }
            }
            ok = AppendPoint({ projection.x, projection.y, object, 1, CZXS_RoutePoint::kStartProjection })
                && ok;
            begin = static_cast<uint32_t>(i < 0 ? 0 : i + 1);
        } else {
            const uint8_t* before = m_graph->Data() + size_t { path[g - 1] } * CZXS_RoadGraph::kEdgeSize;
            first.branches = static_cast<uint8_t>(Branches(path[g - 1]));
            first.flags
                = CZXS_RoutePoint::kElementEntry | ((before[3] & 0x80) ? CZXS_RoutePoint::kJunctionEntry : 0);
        }
        ZXS_Point finish {};
        if (g == count - 1) {
            const int32_t j = points.NearestSegment({ to.x, to.y }, &finish);
            if (j < 0)
                finish = points.At(end);
            else
                end = static_cast<uint32_t>(j);
        }
        for (uint32_t k = begin; k <= end && k < points.Count(); ++k) {
            CZXS_RoutePoint point
                = k == begin ? first : CZXS_RoutePoint { 0, 0, object, 1, CZXS_RoutePoint::kShapePoint };
            point.x = points.At(k).x;
            point.y = points.At(k).y;
            addShapePoint(point);
        }
        if (g == count - 1) {
            SmoothBackward(limits);
            ok = AppendPoint({ finish.x, finish.y, -1, 1, CZXS_RoutePoint::kFinishProjection }) && ok;
        }
    }
    ok = ok && AppendPoint({ to.x, to.y, -1, 1, CZXS_RoutePoint::kCallerFinish });
    return ok ? 0 : kNoMemory;
}

void CZXS_GraphRouter::SmoothBackward(const Limits& limits)
{
    // Marks the middle point of a short sharp kink at a junction, walking back
    // from the end of the route.
    constexpr uint8_t kEntry = CZXS_RoutePoint::kElementEntry;
    constexpr uint8_t kSuppressed = CZXS_RoutePoint::kSuppressed;
    int64_t i = static_cast<int64_t>(PointCount()) - 1;
    while (i >= 3) {
        const CZXS_RoutePoint j = ResultPoint(static_cast<uint32_t>(i));
        const CZXS_RoutePoint k = ResultPoint(static_cast<uint32_t>(i - 2));
        CZXS_RoutePoint m = ResultPoint(static_cast<uint32_t>(i - 1));
        int64_t step = 1;
        if ((j.flags & kEntry) && (m.flags & kEntry) && (k.flags & kEntry) && !(m.flags & kSuppressed)
            && !(k.flags & kSuppressed) && (k.branches > 1 || j.branches > 1)
            && Manhattan(j, k) <= limits.d100
            && (Manhattan(m, k) <= limits.d20 || Manhattan(j, m) <= limits.d20)) {
            const int64_t n = Squared(j, k);
            if (n >= limits.q8 && n <= limits.q100) {
                const int64_t u = Squared(j, m);
                const int64_t r = Squared(m, k);
                const int64_t sum = u + r;
                const int shape = sum > 0 && (32 * n) / sum > 45 ? 0 : (n + n / 4 < sum ? 2 : 1);
                const int64_t longer = std::max(u, r);
                const int64_t shorter = std::min(u, r);
                bool unmarked;
                if (shorter == 0 || (32 * longer) / shorter > 68)
                    unmarked = shorter != 0 && longer / shorter < 11 && shape == 2;
                else
                    unmarked = shape != 0;
                const int64_t turn = (int64_t { k.x } - m.x) * (int64_t { j.y } - m.y);
                const int64_t other = (int64_t { k.y } - m.y) * (int64_t { j.x } - m.x);
                if (!unmarked && shorter < limits.q30 && turn > other) {
                    m.flags |= kSuppressed;
                    ReplacePoint(static_cast<uint32_t>(i - 1), m);
                    step = 2;
                }
            }
        }
        i -= step;
    }
}
