#include "nav/route_guide.h"

#include "gps/gps_source.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/map_query.h"
#include "kernel/api/result_codes.h"
#include "kernel/api/route_interface.h"
#include "nav/map_controller.h"
#include "nav/route.h"

#include <algorithm>
#include <cmath>

namespace {

// The layer of slip roads: motorway, trunk and primary links.
constexpr int32_t kSlipRoadLayer = 112;
constexpr uint8_t kSpecialFlags
    = GuideNode::LEG_START | GuideNode::START_PROJECTION | GuideNode::FINISH_PROJECTION | GuideNode::LEG_END;
// A junction point the router's smoothing found to be no real junction.
constexpr uint8_t kSuppressed = 0x80;
// 40 m, squared.
constexpr double kD = 1600.0;

// The signed squared cosine of the interior angle of a turn of `degrees`.
double TurnThreshold(double degrees)
{
    const double c = std::cos((180.0 - degrees) * geo::kDegToRad);
    return c * std::fabs(c);
}

// The signed squared cosine of an interior angle.
double AngleThreshold(double degrees)
{
    const double c = std::cos(degrees * geo::kDegToRad);
    return c * std::fabs(c);
}

uint16_t PlainValue(int32_t picture) { return static_cast<uint16_t>((picture - PICTURE_NONE) * 8 + 1); }
uint16_t ForkValue(int32_t picture) { return static_cast<uint16_t>((picture - PICTURE_NONE) * 8 + 3); }

} // namespace

int32_t ManeuverPicture(double s, int side)
{
    // Interior-angle bands from the sharpest on; each band's picture for the
    // left side (and on the line) and for the right side.
    struct Band {
        double angle;
        int32_t left;
        int32_t right;
    };
    static const Band kBands[] = {
        { 7.0, 13328, 13303 },
        { 22.5, 13316, 13303 },
        { 37.5, 13317, 13304 },
        { 52.5, 13318, 13305 },
        { 67.5, 13319, 13306 },
        { 82.5, 13320, 13307 },
        { 97.5, 13321, 13308 },
        { 112.5, 13322, 13309 },
        { 127.5, 13323, 13310 },
        { 142.5, 13324, 13311 },
        { 157.5, 13325, 13312 },
        { 173.0, 13326, 13313 },
        { 178.0, 13327, 13314 },
    };
    for (const Band& band : kBands) {
        if (s > AngleThreshold(band.angle))
            return side == 2 ? band.right : band.left;
    }
    return 13315;
}

// The maneuver extraction over freshly built nodes: special nodes (start,
// finish, via points, projections onto the road), junction maneuvers and the
// bends of curved roads, with the thresholds the sensitivity gives.
class CManeuverExtraction {
public:
    CManeuverExtraction(std::vector<GuideNode>& nodes, const CZXS_MapHandle* map, double sensitivity)
        : m_nodes(nodes)
        , m_count(static_cast<int>(nodes.size()))
        , m_t1(TurnThreshold(65.0 * sensitivity + 15.0))
        , m_t2(TurnThreshold(10.0 * sensitivity + 5.0))
        , m_t3(TurnThreshold(38.0 * sensitivity + 7.0))
        , m_l((sensitivity + 1.0) * 90.0)
        , m_w(20.0 * sensitivity + 70.0)
    {
        m_slip.reserve(nodes.size());
        for (const GuideNode& n : nodes)
            m_slip.push_back(n.object >= 0 && ZXS_ObjGetLayer(map, n.object) == kSlipRoadLayer);
    }

    void Run()
    {
        for (int i = 0; i < m_count;) {
            if (m_nodes[static_cast<size_t>(i)].maneuver == 0) {
                ++i;
                continue;
            }
            int next = i + 1;
            if (Node(i).flags & kSpecialFlags) {
                Special(i);
            } else {
                const int kind = JunctionKind(i);
                if (kind == 0 || !Junction(i, kind, next))
                    Curve(i, next);
            }
            m_previous = i;
            i = next;
        }
    }

private:
    struct Exit {
        int end = -1;
        int start = 0;
        int segmentEnd = 0;
        bool curve = false;
    };

    GuideNode& Node(int i) { return m_nodes[static_cast<size_t>(i)]; }
    MapPoint P(int i) { return Node(i).Point(); }
    int32_t Dist(int i) { return Node(i).distanceToEnd; }
    // Metres from node a (earlier) to node b along the route.
    int32_t Before(int a, int b) { return Dist(a) - Dist(b); }
    double DistSq(int a, int b) { return MapPointDistanceSq(P(a), P(b)); }
    bool IsJunction(int i) { return Node(i).IsJunction() && !(Node(i).flags & kSuppressed); }
    bool EntersSlipRoad(int i)
    {
        return m_slip[static_cast<size_t>(i)] && i > 0 && !m_slip[static_cast<size_t>(i - 1)];
    }

    void Special(int i)
    {
        GuideNode& node = Node(i);
        const uint8_t f = node.flags;
        if ((f & GuideNode::LEG_START) && (f & GuideNode::LEG_END)) {
            node.maneuver = m_viaPoints++ == 0 ? 247 : 255;
        } else if (f & GuideNode::LEG_END) {
            node.maneuver = 19;
        } else if (f & GuideNode::LEG_START) {
            node.maneuver = 11;
        } else {
            const int ref = FindReferenceNode(i, m_l);
            const int next = std::min(i + 1, m_count - 1);
            const bool start = (f & GuideNode::START_PROJECTION) != 0;
            const double pair = start ? DistSq(ref, i) : DistSq(i, next);
            const double s = SignedSquaredCosTurn(P(ref), P(i), P(next));
            if (next != i && pair > kD && s > m_t1) {
                node.maneuver = ForkValue(ManeuverPicture(s, SideOfLine(P(ref), P(i), P(next))));
                if (!start)
                    DropNearManeuver(ref, i);
            } else {
                node.maneuver = 0;
            }
        }
        if (node.IsManeuver() || (f & GuideNode::START_PROJECTION))
            m_last = i;
    }

    int JunctionKind(int i)
    {
        const bool few = !IsJunction(i);
        const bool prevSlip = i >= 1 && m_slip[static_cast<size_t>(i - 1)];
        const bool prevPrevSlip
            = i >= 2 && m_slip[static_cast<size_t>(i - 2)] && (Node(i - 1).flags & 3) != 1;
        if (prevSlip || prevPrevSlip)
            return few ? 0 : 1;
        if (m_slip[static_cast<size_t>(i)])
            return few ? 6 : 7;
        return few ? 0 : 3;
    }

    bool Junction(int i, int kind, int& next)
    {
        const int ref = FindReferenceNode(i, m_w);
        const Exit exit = FindManeuverExit(i, ref, kind);
        if (exit.end < i)
            return false;
        const int start = std::max(exit.start, i);
        const int end = std::min(std::max(exit.segmentEnd, start + 1), m_count - 1);
        if (end <= start)
            return false;
        const double s = SignedSquaredCosBetweenSegments(P(ref), P(i), P(start), P(end));
        if (!(s > (exit.curve ? m_t2 : m_t3)))
            return false;
        Node(i).maneuver = ForkValue(ManeuverPicture(s, SideOfLine(P(ref), P(i), P(end))));
        DropNearManeuver(ref, i);
        for (int k = i + 1; k <= exit.end && k < m_count; ++k)
            Node(k).maneuver = 0;
        m_last = i;
        next = exit.end + 1;
        return true;
    }

    void Curve(int i, int& next)
    {
        GuideNode& node = Node(i);
        node.maneuver = 0;
        const int ref = FindReferenceNode(i, m_l);
        const bool refIsManeuver = Node(ref).IsManeuver();
        if (refIsManeuver && Before(ref, i) <= m_l)
            return;
        if (!refIsManeuver && Before(ref, i) <= 40)
            return;
        int out = std::max(i + 1, m_lookAhead);
        while (out < m_count - 2) {
            const GuideNode& c = Node(out);
            if (IsJunction(out) || EntersSlipRoad(out) || (c.flags & kSpecialFlags) || Before(i, out) > m_l)
                break;
            ++out;
        }
        out = std::min(out, m_count - 1);
        if (out <= i)
            return;
        m_lookAhead = out;
        const double s = SignedSquaredCosTurn(P(ref), P(i), P(out));
        const int side = SideOfLine(P(ref), P(i), P(out));
        GuideNode* previous = m_previous >= 0 ? &Node(m_previous) : nullptr;
        if (s > m_t1) {
            if (previous == nullptr || !previous->IsPlainManeuver()) {
                node.maneuver = PlainValue(ManeuverPicture(s, side));
            } else if (side == m_side && m_turn < s) {
                previous->maneuver = 0;
                node.maneuver = PlainValue(ManeuverPicture(s, side));
            } else {
                m_last = m_previous;
                SkipTo(i, out, next);
            }
            m_side = side;
            m_turn = s;
            return;
        }
        if (previous != nullptr && previous->IsManeuver()) {
            m_last = m_previous;
            SkipTo(i, out, next);
        }
        m_side = 0;
    }

    // Clears the nodes from `from` up to `out` (exclusive) and goes on at `out`.
    void SkipTo(int from, int out, int& next)
    {
        for (int k = from; k < out; ++k)
            Node(k).maneuver = 0;
        next = out;
    }

    int FindReferenceNode(int i, double limit)
    {
        if (m_last < i && Before(m_last, i) <= limit)
            return m_last;
        for (int k = i - 1; k >= 0; --k) {
            if (Before(k, i) > limit)
                return k;
        }
        return 0;
    }

    // Drops a plain maneuver (the previous node's, else the reference's) that
    // lies too close before a new fork.
    void DropNearManeuver(int ref, int i)
    {
        const double limit = 0.64 * m_l;
        auto near = [&](int k) { return k >= 0 && Node(k).IsPlainManeuver() && Before(k, i) < limit; };
        if (near(m_previous))
            Node(m_previous).maneuver = 0;
        else if (near(ref))
            Node(ref).maneuver = 0;
    }

    // Where the road leaves the junction at node i: the last node of the
    // maneuver (-1 when there is none) and the exit segment.
    Exit FindManeuverExit(int i, int ref, int kind)
    {
        const double w2 = m_w * m_w;
        int previous = i;
        int beforePrevious = ref;
        int previousSide = 0;
        bool previousJunction = false;
        bool previousExitStep = false;
        int steps = 0;
        int k = 0;
        int segments = 1;
        double lastD = 0.0;
        double largestD = 0.0;
        int far = -1;
        bool stoppedOnExit = false;
        double stopD = 0.0;
        auto endAt = [&](int end, int segmentEnd) {
            Exit e;
            e.end = end;
            e.segmentEnd = segmentEnd;
            e.start = segments <= 2 ? segmentEnd - 1 : i;
            return e;
        };
        auto sameWay = [&](int j) {
            return i >= 1 && j + 1 < m_count
                && SignedSquaredCosBetweenSegments(P(i - 1), P(i), P(j), P(j + 1)) < -0.98063;
        };
        int j = i + 1;
        for (; j < m_count; ++j) {
            if (Node(j).maneuver == 0)
                continue;
            ++steps;
            bool exitStep = false;
            if (m_slip[static_cast<size_t>(j)]) {
                if (kind & 2)
                    kind |= 4;
            } else if (kind & 4) {
                exitStep = true;
            }
            // 1. The end of a leg ends the walk before it.
            if (Node(j).flags & (GuideNode::FINISH_PROJECTION | GuideNode::LEG_END)) {
                Exit e = endAt(j - 1, j - 1);
                e.start = segments > 2 ? i : j - 2;
                return e;
            }
            // 2.
            const double d = DistSq(i, j);
            if (d > w2 && far < 0)
                far = j;
            const double turn = SignedSquaredCosTurn(P(ref), P(i), P(j));
            // 3. Leaving the slip road at an ordinary node.
            if (exitStep && !IsJunction(j)) {
                if ((previousSide == 1 && k >= 2) || ((steps == 1 || !previousJunction) && d > kD)
                    || turn >= 0.0) {
                    if (previousJunction && lastD > kD)
                        return endAt(j - 1, j - 1);
                    return endAt(j, j);
                }
            }
            // 4.
            if (exitStep && sameWay(j))
                return endAt(j, j);
            // 5.
            const int side = SideOfLine(P(beforePrevious), P(previous), P(j));
            if (steps == 1 && side == 0 && d > kD)
                return {};
            if (steps == 2 && side == 0 && previousSide == 0)
                return {};
            // 6.
            if (((kind & 0x14) == 0 || exitStep) && d > 4 * kD && turn < -0.995134)
                return {};
            // 7.
            if (steps > 1 && previousJunction) {
                const double c = SignedSquaredCosTurn(P(ref), P(i), P(previous));
                const double p = SignedSquaredCosTurn(P(beforePrevious), P(previous), P(j));
                if ((c < -0.969846 && p > -0.5) || (lastD >= kD && p > c)
                    || (lastD < 0.8 * kD
                        && ((side == previousSide && p > c) || (c < -0.9924 && p > -0.883)))) {
                    if (lastD < kD)
                        return {};
                    return endAt(j - 2, j - 1);
                }
            }
            // 8.
            if (steps > 1 && side != previousSide) {
                if (previousJunction && lastD > kD)
                    return endAt(j - 2, j - 2);
                ++segments;
                k = 0;
            } else if (k > 1 && side == 2 && d > 2.25 * kD && DotProductSign(P(ref), P(i), P(j)) == 1) {
                return endAt(j - 1, j - 1);
            }
            // 9.
            if (((segments > 2 || (kind & 0x14) == 0 || exitStep) && d > w2) || d > 4 * w2
                || (largestD > kD && largestD > 1.21 * d)) {
                stoppedOnExit = exitStep;
                stopD = d;
                break;
            }
            // 10.
            previousSide = side;
            lastD = d;
            largestD = std::max(largestD, d);
            if (++k >= 4)
                segments = 1;
            if (exitStep)
                kind &= ~4;
            previousExitStep = exitStep;
            beforePrevious = previous;
            previous = j;
            previousJunction = IsJunction(j);
        }
        if (j >= m_count)
            return endAt(m_count - 1, m_count - 1);
        if (stoppedOnExit)
            return endAt(j - 1, j - 1);
        if (largestD < kD || previousExitStep) {
            Exit e = endAt(j - 1, j);
            e.start = i;
            return e;
        }
        if (segments <= 2 && (kind & 0x14) != 0 && stopD > 4 * w2 && far > i + 1) {
            // A long curve: the maneuver ends before the first node beyond the exit length.
            Exit e;
            e.end = far - 1;
            e.start = i;
            e.segmentEnd = sameWay(j) ? i + 1 : far - 1;
            e.curve = true;
            return e;
        }
        return endAt(j - 1, j - 1);
    }

    std::vector<GuideNode>& m_nodes;
    std::vector<bool> m_slip;
    const int m_count;
    const double m_t1;
    const double m_t2;
    const double m_t3;
    const double m_l;
    const double m_w;
    int m_last = 0;
    int m_previous = -1;
    int m_viaPoints = 0;
    int m_lookAhead = 0;
    int m_side = 0;
    double m_turn = -2.0;
};

CRouteGuide::CRouteGuide(const CRoute* route)
    : m_route(route)
{
}

CRouteGuide::~CRouteGuide() = default;

int CRouteGuide::SetSurface(CDrawTool* surface)
{
    m_surface = surface;
    return 1;
}

bool CRouteGuide::HasRoute() const { return m_route != nullptr && m_route->GetState() == 1; }

int CRouteGuide::Build()
{
    m_distanceToCurrent = -1.0;
    if (!HasRoute())
        return 0;
    CMapController* controller = g_MapController.get();
    if (controller == nullptr)
        return 0;
    const int32_t count = ZXS_RouteGetPoints(controller->GetView(), nullptr, 0);
    if (count <= 0) {
        Reset();
        return 0;
    }
    std::vector<CZXS_RoutePoint> points(static_cast<size_t>(count));
    points.resize(
        static_cast<size_t>(std::max(0, ZXS_RouteGetPoints(controller->GetView(), points.data(), count))));
    return BuildFromRoutePoints(std::move(points), controller->GetMapSet().ActiveMap());
}

int CRouteGuide::BuildFromRoutePoints(std::vector<CZXS_RoutePoint> points, const CZXS_MapHandle* map)
{
    Reset();
    m_nodes.reserve(points.size());
    for (size_t k = 0; k < points.size(); ++k) {
        CZXS_RoutePoint point = points[k];
        // The end of one leg and the start of the next are one via point.
        if ((point.flags & GuideNode::LEG_END) && k + 1 < points.size()
            && (points[k + 1].flags & GuideNode::LEG_START)) {
            point.flags |= GuideNode::LEG_START;
            ++k;
        }
        double longitude = 0.0;
        double latitude = 0.0;
        GuideNode node;
        if (ZXS_MapToGeo(map, point.x, point.y, &longitude, &latitude) != ZXS_OK
            || !node.position.SetChecked(latitude, longitude, true))
            continue;
        node.branches = point.branches;
        node.flags = point.flags;
        node.x = point.x;
        node.y = point.y;
        node.object = point.object;
        if (m_rect.IsEmpty()) {
            m_rect = { point.x, point.y, point.x, point.y };
        } else {
            m_rect.left = std::min(m_rect.left, point.x);
            m_rect.top = std::min(m_rect.top, point.y);
            m_rect.right = std::max(m_rect.right, point.x);
            m_rect.bottom = std::max(m_rect.bottom, point.y);
        }
        m_nodes.push_back(node);
    }
    if (m_nodes.empty()) {
        m_rect = {};
        return 0;
    }
    m_nodes.front().flags |= GuideNode::LEG_START;
    m_nodes.back().flags |= GuideNode::LEG_END;
    double sum = 0.0;
    m_nodes.back().distanceToEnd = 0;
    for (size_t k = m_nodes.size() - 1; k-- > 0;) {
        sum += MapPointDistance(m_nodes[k].Point(), m_nodes[k + 1].Point());
        m_nodes[k].distanceToEnd = static_cast<int32_t>(std::floor(sum + 0.5));
    }
    CManeuverExtraction(m_nodes, map, m_sensitivity).Run();
    RemoveDuplicates();
    // A new route starts a new average of the speed it is driven at.
    if (g_gpsSource)
        g_gpsSource->ResetAverageSpeed();
    return 1;
}

void CRouteGuide::RemoveDuplicates()
{
    for (size_t k = m_nodes.size(); k-- > 1;) {
        const GuideNode& here = m_nodes[k];
        const GuideNode& before = m_nodes[k - 1];
        if (here.x != before.x || here.y != before.y)
            continue;
        if (before.IsManeuver() && !here.IsFork())
            m_nodes.erase(m_nodes.begin() + static_cast<std::ptrdiff_t>(k));
        else
            m_nodes.erase(m_nodes.begin() + static_cast<std::ptrdiff_t>(k - 1));
    }
}

void CRouteGuide::Reset()
{
    m_distanceToCurrent = -1.0;
    m_current = 0;
    m_nodes.clear();
    m_cacheFlags |= 1;
    // A route rebuilt under a driver who is on it is no news: the next match
    // takes the new route up without a notice either way.
    if (m_onRoute) {
        ClearPromptFlags();
        m_quietRematch = true;
    }
    m_onRoute = 0;
    m_rect = {};
}

void CRouteGuide::SetForksOnly(int on)
{
    m_forksOnly = on ? 1 : 0;
    m_cacheFlags |= 1;
}

void CRouteGuide::ClearPromptFlags() { m_done[0] = m_done[1] = m_done[2] = 0; }

int32_t CRouteGuide::FindNextManeuver(int32_t from)
{
    if (m_cacheFlags & 1) {
        m_cachedStart = m_cachedAnswer = -1;
        m_cacheFlags &= ~1;
    }
    const int32_t count = NodeCount();
    if (count == 0)
        return -1;
    if (m_cachedStart >= 0 && from >= m_cachedStart && m_cachedAnswer >= from)
        return m_cachedAnswer;
    m_cachedStart = from;
    const uint16_t bit = m_forksOnly ? GuideNode::FORK : GuideNode::MANEUVER;
    int32_t answer = count - 1;
    for (int32_t k = std::max(from, 0); k <= count - 2; ++k) {
        if (m_nodes[static_cast<size_t>(k)].maneuver & bit) {
            answer = k;
            break;
        }
    }
    m_cachedAnswer = answer;
    return answer;
}

int32_t CRouteGuide::GetManeuverPicture(int32_t from)
{
    if (!HasRoute())
        return PICTURE_NONE;
    const int32_t n = FindNextManeuver(from);
    return n >= 0 ? m_nodes[static_cast<size_t>(n)].Picture() : PICTURE_NONE;
}

int CRouteGuide::GetNextManeuvers(ManeuverInfo* entries, int count)
{
    if (!m_onRoute || m_distanceToCurrent < 0 || NodeCount() == 0) {
        std::fill(entries, entries + count, ManeuverInfo {});
        return 0;
    }
    const int32_t last = NodeCount() - 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (entries[i - 1].node < 0 || entries[i - 1].node >= last)) {
            entries[i] = {};
            continue;
        }
        const int32_t n = FindNextManeuver(i == 0 ? m_current : entries[i - 1].node + 1);
        entries[i] = { m_nodes[static_cast<size_t>(n)].Picture(), -1, n };
    }
    return 1;
}

int CRouteGuide::FillManeuverDistances(ManeuverInfo* entries, int count)
{
    const double remaining = GetRemainingDistance();
    if (remaining < 0) {
        std::fill(entries, entries + count, ManeuverInfo {});
        return 0;
    }
    for (int i = 0; i < count && entries[i].node != -1; ++i) {
        if (entries[i].node < 0 || entries[i].node >= NodeCount())
            break;
        entries[i].distance = static_cast<int32_t>(
            remaining - m_nodes[static_cast<size_t>(entries[i].node)].distanceToEnd + 0.5);
    }
    return 1;
}

double CRouteGuide::GetRemainingDistance() const
{
    if (!m_onRoute || m_distanceToCurrent < 0 || m_current < 0 || m_current >= NodeCount())
        return -1.0;
    return m_nodes[static_cast<size_t>(m_current)].distanceToEnd + m_distanceToCurrent;
}

GuideRect CRouteGuide::GetRectFrom(int32_t first, int32_t last) const
{
    const int32_t count = NodeCount();
    if (last < 0 || last > count)
        last = count;
    GuideRect rect;
    for (int32_t k = std::max(first, 0); k < last; ++k) {
        const GuideNode& n = m_nodes[static_cast<size_t>(k)];
        if (rect.IsEmpty()) {
            rect = { n.x, n.y, n.x, n.y };
            continue;
        }
        rect.left = std::min(rect.left, n.x);
        rect.top = std::min(rect.top, n.y);
        rect.right = std::max(rect.right, n.x);
        rect.bottom = std::max(rect.bottom, n.y);
    }
    return rect;
}

int CRouteGuide::GetRouteRect(GuideRect& rect) const
{
    if (m_rect.IsEmpty())
        return 0;
    rect = m_rect;
    return 1;
}

int CRouteGuide::GetCurrentNodePosition(CGeoPos& position) const
{
    if (!HasRoute() || m_current < 0 || m_current >= NodeCount())
        return 0;
    position = m_nodes[static_cast<size_t>(m_current)].position;
    return 1;
}
