// Matching the GPS position against the route in its corridor, the notices on
// leaving and regaining it, and the voice prompts before each maneuver.
#include "foundation/geo_corridor.h"
#include "foundation/language.h"
#include "gps/gps_fix.h"
#include "nav/route_guide.h"
#include "settings/settings_record.h"
#include "ui/message_window.h"

#include <algorithm>
#include <cmath>

namespace {

// How far a position must jump to count as moved: 100 m, squared.
constexpr double kMovedSq = 10000.0;
constexpr int kTickMs = 250;
// Degrees of latitude per metre.
constexpr double kDegreesPerMetre = 9.00000000009e-06;
// The final prompt's gate lies this far behind the vehicle and reaches this far along its course.
constexpr double kGateBehind = 70.0;
constexpr double kGateDepth = 100.0;

// The fix's map position when the fix is valid.
bool ValidFixMapPosition(MapPoint& p)
{
    platform::CSLock fix(g_gpsFixLock);
    return g_gpsFix.IsValidFix() && GetGpsMapPosition(false, p);
}

double FoldDegrees(double a)
{
    if (a > 180.0)
        a -= 360.0;
    if (a <= -180.0)
        a += 360.0;
    return a;
}

// Moves a position by metres north and east.
bool MoveByMetres(CGeoPos& p, double north, double east, double latitude)
{
    return p.Offset(north * kDegreesPerMetre, east * kDegreesPerMetre / std::cos(latitude), false);
}

} // namespace

int32_t CRouteGuide::FindNearestNode() const
{
    if (m_nodes.empty())
        return 0;
    MapPoint p;
    if (!ValidFixMapPosition(p))
        return m_current;
    int32_t nearest = 0;
    double best = MapPointDistanceSqRaw(m_nodes[0].Point(), p);
    for (int32_t k = 1; k < NodeCount(); ++k) {
        // A node right under the position is the nearest too; of equally near
        // nodes the earlier wins.
        const double d = MapPointDistanceSqRaw(m_nodes[static_cast<size_t>(k)].Point(), p);
        if (d < best) {
            best = d;
            nearest = k;
        }
    }
    return nearest;
}

int CRouteGuide::Track()
{
    if (!HasRoute())
        return 0;
    UpdatePrompts();
    MapPoint p { -1, 0 };
    if (!ValidFixMapPosition(p)) {
        // Without a fix the distance to the next maneuver is unknown, not the last one seen.
        m_distanceToCurrent = -1.0;
        return 0;
    }
    const bool guiding = m_distanceToCurrent >= 0.0;
    if (guiding && p.x == m_lastMatched.x && p.y == m_lastMatched.y)
        return 0;
    const bool moved = m_lastMatched.x == -1 || MapPointDistanceSqTo(m_lastMatched, p) > kMovedSq;
    m_trackTime += kTickMs;
    // Without a jump the position is matched once a second.
    if (!moved && guiding && m_trackTime < 900)
        return 0;
    m_trackTime = 0;
    if (m_nodes.empty())
        return 0;
    if (!m_onRoute)
        TrackOffRoute(p, moved, guiding);
    else
        TrackOnRoute(p);
    m_lastMatched = p;
    m_current = std::clamp(m_current, 0, NodeCount() - 1);
    m_distanceToCurrent = DistanceToGpsPosition(m_nodes[static_cast<size_t>(m_current)].Point(), true);
    return 1;
}

void CRouteGuide::TrackOffRoute(const MapPoint& p, bool moved, bool guiding)
{
    ++m_offRoutePasses;
    if (!(moved || !guiding || m_offRoutePasses > 4))
        return;
    m_offRoutePasses = 0;
    m_current = FindNearestNode();
    const double h = MetresToMapUnits(m_corridor * 0.5);
    const double s = h * h;
    const double t = 1.44 * s;
    const int32_t last = NodeCount() - 1;
    const int32_t m = m_current;
    int code = 4;
    if (m < last) {
        code = ClassifyPointOnSegment(m_nodes[static_cast<size_t>(m)].Point(), p,
            m_nodes[static_cast<size_t>(m + 1)].Point(), nullptr, nullptr, s, t);
        if (code <= 3)
            m_current = m + 1;
        else if ((code & 8) && m > 0)
            code = ClassifyPointOnSegment(m_nodes[static_cast<size_t>(m - 1)].Point(), p,
                m_nodes[static_cast<size_t>(m)].Point(), nullptr, nullptr, s, t);
    }
    if ((code & 1) && !(code & 4)) {
        if (!m_onRoute && !m_quietRematch)
            ShowRouteNotice(true);
        m_quietRematch = false;
        m_onRoute = 1;
    }
}

void CRouteGuide::TrackOnRoute(const MapPoint& p)
{
    const int32_t count = NodeCount();
    if (count == 1) {
        SetOnRoute(0);
        return;
    }
    const double h = MetresToMapUnits(m_corridor * 0.5);
    const double h2 = h * h;
    const int32_t last = count - 1;
    const int32_t l = std::clamp(m_current, 0, last);
    auto dist = [this](int32_t k) { return m_nodes[static_cast<size_t>(k)].distanceToEnd; };
    int32_t a = l - 1;
    int32_t b = l;
    if (l == 0) {
        a = 0;
        b = 1;
    } else if (l < last && dist(l - 1) - dist(l) < dist(l) - dist(l + 1)) {
        a = l;
        b = l + 1;
    }
    const double g = dist(a) - dist(b);
    const double jump = 2.0 * MetresToMapUnits(std::max(g, 50.0));
    const double jumpSq = jump * jump;
    bool refound = false;
    if (MapPointDistanceSqRaw(m_nodes[static_cast<size_t>(l)].Point(), p) > jumpSq
        || MapPointDistanceSqRaw(p, m_lastMatched) > jumpSq) {
        m_current = FindNearestNode();
        refound = true;
    }
    // The stretch from the start to where the route meets the road is no road
    // and is left out; a start that lay on the road already has merged with
    // that node, and then the first stretch is road like the rest.
    const GuideNode& second = m_nodes[1];
    const int32_t first
        = (second.maneuver & GuideNode::MANEUVER) || !(second.flags & GuideNode::START_PROJECTION) ? 0 : 1;
    if (m_current <= first)
        m_current = first + 1;
    const int32_t end
        = (m_nodes[static_cast<size_t>(count - 2)].maneuver & GuideNode::MANEUVER) ? last : count - 2;
    int32_t result = FindNearestPolylineSegment(p, m_current, first, end, h2, 1.44 * h2);
    if (!refound && !(result & 1) && !(result & 4)) {
        m_current = FindNearestNode();
        refound = true;
        result = FindNearestPolylineSegment(p, m_current, first, end, h2, 1.44 * h2);
    }
    if (!(result & 1) || (result & 4)) {
        if (!refound)
            m_current = FindNearestNode();
        SetOnRoute(0);
    }
}

int32_t CRouteGuide::FindNearestPolylineSegment(
    const MapPoint& p, int32_t& current, int32_t first, int32_t last, double s, double t) const
{
    if (first >= last)
        return 0;
    last = std::min(last, NodeCount() - 1);
    if (current <= first)
        current = first + 1;
    current = std::min(current, last);
    enum { NONE, FORWARDS, BACKWARDS } direction = NONE;
    auto point = [this](int32_t k) { return m_nodes[static_cast<size_t>(k)].Point(); };
    for (;;) {
        const int32_t q = current;
        const MapPoint afterQ = q < last ? point(q + 1) : MapPoint {};
        const MapPoint beforeStart = q - 1 > first ? point(q - 2) : MapPoint {};
        const int code = ClassifyPointOnSegment(point(q - 1), p, point(q), q < last ? &afterQ : nullptr,
            q - 1 > first ? &beforeStart : nullptr, s, t);
        if (code < 4)
            return code & 1;
        if (code & 4) {
            if (q == last)
                return (code & 1) | 4;
            ++current;
            if (direction == BACKWARDS)
                return code & 1;
            direction = FORWARDS;
        } else if (code & 8) {
            if (direction == FORWARDS)
                return (code & 1) | (q == last ? 4 : 0);
            --current;
            if (current == first)
                return (code & 1) | 2;
            direction = BACKWARDS;
        } else {
            return code & 1;
        }
    }
}

void CRouteGuide::SetOnRoute(int onRoute)
{
    if (onRoute != m_onRoute) {
        if (!onRoute)
            ClearPromptFlags();
        ShowRouteNotice(onRoute != 0);
    }
    m_onRoute = onRoute;
}

void CRouteGuide::ShowRouteNotice(bool onRoute) const
{
    if (g_leavingRouteMessages.load() == 0)
        return;
    if (onRoute)
        g_messageWnd->ShowBackOnRoute(ROUTE_NOTICE_TIMEOUT);
    else
        g_messageWnd->ShowOffRoute(ROUTE_NOTICE_TIMEOUT);
}

int CRouteGuide::IsAtManeuver(int32_t n) const
{
    if (n < 0 || n >= NodeCount())
        return 0;
    CGeoPos position;
    double course = 0.0;
    {
        platform::CSLock fix(g_gpsFixLock);
        position = g_gpsFix;
        course = g_gpsFix.m_course;
    }
    if (!position.IsValid())
        return 0;
    const double o = BearingToMathAngle(course) * geo::kDegToRad;
    const double u = FoldDegrees(BearingToMathAngle(course) + 90.0) * geo::kDegToRad;
    const double latitude = position.GetLatitude().GetRadians();
    CGeoPos gate = position;
    if (!MoveByMetres(gate, -std::sin(o) * kGateBehind, -std::cos(o) * kGateBehind, latitude))
        return 0;
    const double half = m_corridor * 0.5;
    CGeoPos a = gate;
    CGeoPos b = gate;
    if (!MoveByMetres(a, -std::sin(u) * half, -std::cos(u) * half, latitude)
        || !MoveByMetres(b, std::sin(u) * half, std::cos(u) * half, latitude))
        return 0;
    return GeoRectContains(m_nodes[static_cast<size_t>(n)].position, a, b, kGateDepth, 0.0) ? 1 : 0;
}

void CRouteGuide::SetFinalPromptOn(int on)
{
    m_finalOn = on;
    if (!on)
        m_repeatCounter = 10;
}

void CRouteGuide::UpdatePrompts()
{
    if (!HasRoute() || !m_onRoute || m_nodes.empty())
        return;
    const int32_t b = FindNextManeuver(m_current);
    if (!m_lastManeuverKnown) {
        m_lastManeuver = b;
        m_lastManeuverKnown = true;
    }
    const bool valid = b >= 0 && b < NodeCount();
    const double dist = valid ? DistanceToGpsPosition(m_nodes[static_cast<size_t>(b)].Point(), true) : 0.0;
    const int32_t picture = valid ? m_nodes[static_cast<size_t>(b)].Picture() : PICTURE_NONE;
    if (b != m_lastManeuver) {
        ClearPromptFlags();
        m_lastManeuver = b;
    }
    if (m_finalOn && m_repeatCounter < m_repeatCount) {
        m_repeatTime += kTickMs;
        if (m_repeatTime > 1000) {
            int32_t unused = 0;
            SayManeuver(m_lastFinalPicture, 0, unused, true);
            ++m_repeatCounter;
            m_repeatTime = 0;
        }
    }
    const int32_t f = m_firstDistance;
    const int32_t g = m_secondDistance;
    if (g < f) {
        if (m_firstOn)
            SayDistancePrompt(picture, dist, f, m_done[DONE_FIRST]);
        if (m_secondOn)
            SayDistancePrompt(picture, dist, g, m_done[DONE_SECOND]);
    } else if (g > f) {
        if (m_firstOn)
            SayDistancePrompt(picture, dist, g, m_done[DONE_SECOND]);
        if (m_secondOn)
            SayDistancePrompt(picture, dist, f, m_done[DONE_FIRST]);
    } else if (m_firstOn || m_secondOn) {
        // Both prompts at one distance are one prompt.
        SayDistancePrompt(picture, dist, f, m_done[DONE_FIRST]);
        m_done[DONE_SECOND] = m_done[DONE_FIRST];
    }
    if (m_finalOn && m_done[DONE_FINAL] == 0 && IsAtManeuver(b)) {
        SayManeuver(picture, 0, m_done[DONE_FINAL], true);
        m_repeatCounter = 1;
        m_repeatTime = 0;
        m_lastFinalPicture = picture;
    }
}

void CRouteGuide::SayDistancePrompt(int32_t picture, double distance, int32_t threshold, int32_t& done)
{
    if (distance >= threshold - 60.0 && distance <= threshold)
        SayManeuver(picture, threshold, done, false);
}

void CRouteGuide::SayManeuver(int32_t picture, int32_t distance, int32_t& done, bool final)
{
    if (done == 1)
        return;
    const int language = g_language.load();
    m_prompts.Say(CVoicePrompts::ManeuverWave(picture, language, final),
        CVoicePrompts::DistanceWave(distance, language));
    done = 1;
}
