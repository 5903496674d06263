#include "nav/map_controller.h"

#include "kernel/api/map_geo.h"
#include "search/waypoint.h"
#include "traffic/jam_glue.h"

#include <algorithm>

namespace {

ZXS_Rect ToRect(const GuideRect& rect) { return { rect.left, rect.top, rect.right, rect.bottom }; }

void Include(ZXS_Rect& rect, const ZXS_Point& point)
{
    rect.left = std::min(rect.left, point.x);
    rect.top = std::min(rect.top, point.y);
    rect.right = std::max(rect.right, point.x);
    rect.bottom = std::max(rect.bottom, point.y);
}

} // namespace

int CMapController::ShowWholeRoute()
{
    GuideRect rect;
    if (!m_routeManager.GetRouteRect(rect) || rect.IsEmpty())
        return 0;
    return ZoomToRect(ToRect(rect));
}

int CMapController::ShowRoutePart()
{
    ZXS_Point gps;
    char status = 'V';
    double course = 0.0;
    const bool hasGps = GetGpsMapPosition(gps, status, course);
    const GuideRect ahead = m_routeManager.HasRoute()
        ? m_routeManager.GetRectFrom(std::max(m_routeManager.GetCurrentNode(), 0), -1)
        : GuideRect {};
    if (ahead.IsEmpty()) {
        if (!hasGps)
            return 0;
        CenterOnGps(0, 0);
        SetRedrawFlag(1);
        return 1;
    }
    ZXS_Rect rect = ToRect(ahead);
    if (hasGps)
        Include(rect, gps);
    return ZoomToRect(rect);
}

int CMapController::ShowAllWaypoints()
{
    CGeoPos northWest, southEast;
    if (!g_waypoints || !g_waypoints->GetBounds(northWest, southEast))
        return 0;
    ZXS_Point a, b;
    CZXS_MapHandle* map = m_mapSet.ActiveMap();
    if (ZXS_GeoToMap(map, northWest.GetLongitude().GetRadians(), northWest.GetLatitude().GetRadians(), &a)
            != 0
        || ZXS_GeoToMap(map, southEast.GetLongitude().GetRadians(), southEast.GetLatitude().GetRadians(), &b)
            != 0)
        return 0;
    ZXS_Rect rect { a.x, a.y, a.x, a.y };
    Include(rect, b);
    return ZoomToRect(rect);
}

int CMapController::RequestJamDownload()
{
    m_jamSchedule.RequestNow();
    return RequestJamUpdate() ? 1 : 0;
}

bool CMapController::ApplyTrafficSettings()
{
    const bool taken = ReapplyJamSettings(g_jamSettings);
    m_jamSchedule.OnSettingsChanged();
    return taken;
}
