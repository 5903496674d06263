#include "nav/route.h"

#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "nav/route_manager.h"
#include "ui/element_drawing.h"

#include <algorithm>

void RoutePoint::Store(const MapPoint& p)
{
    x = p.x;
    y = p.y;
    flags = HasCoordinates() ? FLAG_SET | FLAG_PENDING : FLAG_PENDING;
}

void RoutePointTable::Assign(const MapPoint* from, int count, int firstSlot, const QString* newName)
{
    if (newName != nullptr)
        name = *newName;
    for (int i = 0; i < count && firstSlot + i < Count(); ++i)
        points[static_cast<size_t>(firstSlot + i)].Store(from[i]);
    RebuildMarkers();
}

void RoutePointTable::Reverse()
{
    std::reverse(points.begin(), points.end());
    for (RoutePoint& p : points)
        p.flags |= RoutePoint::FLAG_PENDING;
    RebuildMarkers();
}

void RoutePointTable::RestoreSaved()
{
    name = savedName;
    for (size_t i = 0; i < points.size(); ++i)
        points[i].Store(savedPoints[i]);
    RebuildMarkers();
}

void RoutePointTable::MarkAllPending()
{
    for (RoutePoint& p : points)
        p.flags |= RoutePoint::FLAG_PENDING;
}

bool RoutePointTable::HasPending() const
{
    return std::any_of(points.begin(), points.end(), [](const RoutePoint& p) { return p.IsPending(); });
}

bool RoutePointTable::HasSetPoint() const
{
    return std::any_of(points.begin(), points.end(), [](const RoutePoint& p) { return p.IsSet(); });
}

int RoutePointTable::FirstSetPoint() const
{
    const auto it
        = std::find_if(points.begin(), points.end(), [](const RoutePoint& p) { return p.HasCoordinates(); });
    return static_cast<int>(it - points.begin());
}

void RoutePointTable::RebuildMarkers()
{
    markers.clear();
    for (int slot = 0; slot < Count(); ++slot) {
        const RoutePoint& p = points[static_cast<size_t>(slot)];
        if (p.IsSet())
            markers.push_back({ p.x, p.y, slot });
    }
}

void RoutePointTable::Reset()
{
    savedName.clear();
    name = savedName;
    markers.clear();
    for (RoutePoint& p : points)
        p.Store({ kUnsetCoordinate, kUnsetCoordinate });
    std::fill(savedPoints.begin(), savedPoints.end(), MapPoint { kUnsetCoordinate, kUnsetCoordinate });
}

int CountSetPoints(const MapPoint* first, const MapPoint* last)
{
    return static_cast<int>(std::count_if(first, last, IsSetMapPoint));
}

CRoute::CRoute(CRouteManager* manager)
    : m_manager(manager)
{
}

CRoute::~CRoute() = default;

const RouteMarker* CRoute::GetMarkers(int& count) const
{
    count = static_cast<int>(m_table.markers.size());
    return count > 0 ? m_table.markers.data() : nullptr;
}

int CRoute::IsPointSet(int slot)
{
    platform::CSLock table(m_tableLock);
    if (slot < 0 || slot >= m_table.Count())
        return 0;
    return m_table.points[static_cast<size_t>(slot)].IsSet() ? 1 : 0;
}

uint8_t CRoute::FindPointNear(const MapPoint& point, int32_t radius)
{
    platform::CSLock lock(m_pointLock);
    if (radius <= 0)
        return 255;
    double best = static_cast<double>(radius) * radius;
    uint8_t found = 255;
    for (const RouteMarker& m : m_table.markers) {
        const double dx = static_cast<double>(m.x) - point.x;
        const double dy = static_cast<double>(m.y) - point.y;
        const double d = dx * dx + dy * dy;
        // Among equally near markers the later one wins.
        if (d <= best) {
            best = d;
            found = static_cast<uint8_t>(m.slot);
        }
    }
    return found;
}

std::vector<RoutePoint> CRoute::GetPoints()
{
    platform::CSLock table(m_tableLock);
    return m_table.points;
}

QString CRoute::GetName()
{
    platform::CSLock table(m_tableLock);
    return m_table.name;
}

int32_t CRoute::GetSearchRadius()
{
    platform::CSLock table(m_tableLock);
    return m_table.searchRadius;
}

void CRoute::SetSearchRadius(int32_t radius)
{
    platform::CSLock table(m_tableLock);
    m_table.searchRadius = radius;
}

bool CRoute::HasWizardList()
{
    platform::CSLock compute(m_computeLock);
    return m_wizard != nullptr;
}

void CRoute::SetRerouteOnDeviation(int on)
{
    m_options
        = on ? m_options | OPTION_REROUTE_ON_DEVIATION : m_options & ~uint32_t(OPTION_REROUTE_ON_DEVIATION);
}

void CRoute::SetRerouteAfterJams(int on)
{
    m_options = on ? m_options | OPTION_REROUTE_AFTER_JAMS : m_options & ~uint32_t(OPTION_REROUTE_AFTER_JAMS);
}

int CRoute::SetSurface(CDrawTool* surface)
{
    CScreenElement::SetSurface(surface);
    Clear();
    m_balloon.Init(surface, 0);
    // Laid out once so that the balloon knows its font and height.
    m_length.store(0);
    ShowRouteLength();
    m_balloon.Hide();
    m_length.store(-1);
    SetPosition({ 0, GetScreenHeight() - FontLineHeight(m_balloon.GetFont()) });
    return 1;
}

void CRoute::Draw()
{
    platform::CSLock lock(m_pointLock);
    m_balloon.Draw();
}

void CRoute::ShowRouteLength()
{
    const int32_t length = m_length.load();
    if (length < 0)
        return;
    QString distance;
    FormatDistance3(length, distance);
    const QString text = g_language == LANGUAGE_ENGLISH ? QStringLiteral("The route length %1").arg(distance)
        : g_language == LANGUAGE_RUSSIAN ? QStringLiteral("Длина маршрута %1").arg(distance)
                                         : QString();
    ElementPoint anchor;
    GetPosition(anchor);
    m_balloon.ShowText(text, anchor, GetToolFont(BALLOON_FONT));
}

void CRoute::RouteLengthTick()
{
    if (GetState() == STATE_SHOWN && m_state.load() == 1 && m_length.load() != -1) {
        if (m_lengthTime == -1) {
            ShowRouteLength();
            return;
        }
        if (m_lengthElapsed < m_lengthTime) {
            ShowRouteLength();
            m_lengthElapsed += 250;
            return;
        }
    }
    m_balloon.Hide();
}

void CRoute::UpdateBalloonPosition()
{
    if (GetState() != STATE_SHOWN || m_balloon.GetState() != STATE_SHOWN)
        return;
    ElementPoint anchor;
    GetPosition(anchor);
    m_balloon.MoveTo(anchor);
}
