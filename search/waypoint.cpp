#include "search/waypoint.h"

#include "controls/object_type_icons.h"
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "search/address_searcher.h"

#include <algorithm>

CWaypoint& CWaypoint::operator=(const CWaypoint& other)
{
    if (this == &other)
        return *this;
    m_name = other.m_name;
    m_type = other.m_type;
    m_filePath = other.m_filePath;
    m_position = other.m_position;
    m_extraValue = other.m_extraValue;
    m_extraCount = other.m_extraCount;
    m_extraByte1 = other.m_extraByte1;
    m_extraByte2 = other.m_extraByte2;
    m_mapX = other.m_mapX;
    m_mapY = other.m_mapY;
    m_altitude = other.m_altitude;
    m_firstTime = other.m_firstTime;
    m_secondTime = other.m_secondTime;
    m_soundPath = other.m_soundPath;
    m_address = other.m_address;
    m_bitmapId = other.m_bitmapId;
    m_iconId = other.m_iconId;
    return *this;
}

bool CWaypoint::operator==(const CWaypoint& other) const
{
    return m_name == other.m_name && m_type == other.m_type && m_filePath == other.m_filePath
        && m_position.IsEqual(other.m_position) && m_altitude == other.m_altitude
        && m_firstTime == other.m_firstTime && m_secondTime == other.m_secondTime;
}

// ------------------------------------------------------------------ the base

int CWaypointListBase::IsAlertDue() { return m_alertsOn; }

double CWaypointListBase::SquaredDistance(const CGeoPos&, const CWaypoint&) { return 0.0; }

int CWaypointListBase::RemoveAt(int index)
{
    if (index < 0 || index >= GetWaypointCount())
        return 0;
    m_waypoints.erase(m_waypoints.begin() + index);
    return 1;
}

void CWaypointListBase::RemoveAll() { m_waypoints.clear(); }

int CWaypointListBase::LoadFile(const QString&, int) { return 0; }

int CWaypointListBase::Append(const CWaypoint& waypoint)
{
    m_waypoints.push_back(waypoint);
    return GetWaypointCount() - 1;
}

CWaypoint* CWaypointListBase::GetAt(int index)
{
    return index >= 0 && index < GetWaypointCount() ? &m_waypoints[static_cast<size_t>(index)] : nullptr;
}

const CWaypoint* CWaypointListBase::GetAt(int index) const
{
    return index >= 0 && index < GetWaypointCount() ? &m_waypoints[static_cast<size_t>(index)] : nullptr;
}

// ------------------------------------------------------------------ the list

int CWaypointList::IsAlertDue()
{
    if (m_alertsOn == 0)
        return 0;
    m_tickCounter += 250;
    if (m_tickCounter < 1900)
        return 0;
    m_tickCounter = 0;
    return 1;
}

double CWaypointList::SquaredDistance(const CGeoPos& fix, const CWaypoint& waypoint)
{
    const double degrees = fix.AngularDistanceTo(waypoint.m_position, geo::kOwnLatitude) * geo::kRadToDeg;
    return degrees * degrees;
}

int CWaypointList::Add(CWaypoint& waypoint)
{
    if (!waypoint.m_position.IsValid() || !g_MapController)
        return -1;
    CMapController& controller = *g_MapController;
    ZXS_Point point;
    if (ZXS_GeoToMap(controller.GetMapSet().ActiveMap(), waypoint.m_position.GetLongitude().GetRadians(),
            waypoint.m_position.GetLatitude().GetRadians(), &point)
        != 0)
        return -1;
    waypoint.m_mapX = point.x;
    waypoint.m_mapY = point.y;
    CAddressSearcher& searcher = controller.GetAddressSearcher();
    searcher.FindObjectsAtPoint(point.x, point.y, GetDefaultMapScale());
    if (searcher.GetAddressText(waypoint.m_address) == 0)
        return -1;
    waypoint.m_bitmapId = GetCategoryBitmapId(waypoint.m_type);
    waypoint.m_iconId = GetCategoryIconId(waypoint.m_type);
    return Append(waypoint);
}

int CWaypointList::AddAtGpsFix()
{
    CWaypoint waypoint;
    LockGpsFix();
    // Without a fix the position is only where the receiver last was.
    const bool fix = g_gpsFix.IsValidFix();
    waypoint.m_position = g_gpsFix;
    waypoint.m_altitude = g_gpsFix.m_altitude;
    waypoint.m_firstTime = g_gpsFix.m_time;
    waypoint.m_secondTime = g_gpsFix.m_time;
    UnlockGpsFix();
    waypoint.m_type = QStringLiteral("Синий");
    return fix ? Add(waypoint) : -1;
}

int CWaypointList::GetBounds(CGeoPos& northWest, CGeoPos& southEast) const
{
    bool any = false;
    double north = 0.0, west = 0.0, south = 0.0, east = 0.0;
    for (const CWaypoint& w : m_waypoints) {
        if (!w.m_position.IsValid())
            continue;
        const double latitude = w.m_position.GetLatitude().GetRadians();
        const double longitude = w.m_position.GetLongitude().GetRadians();
        if (!any) {
            north = south = latitude;
            west = east = longitude;
            any = true;
            continue;
        }
        north = std::max(north, latitude);
        south = std::min(south, latitude);
        west = std::min(west, longitude);
        east = std::max(east, longitude);
    }
    if (!any)
        return 0;
    northWest.Set(north, west);
    southEast.Set(south, east);
    return 1;
}

bool CWaypointList::CanUseFix(const CGeoPos& fix, char status) { return fix.IsValid() && status == 'A'; }

int CWaypointList::CheckProximityAlerts()
{
    if (IsAlertDue() == 0)
        return 0;
    const auto oldCount = static_cast<ptrdiff_t>(m_alerted.size());
    const double radiusSquared = m_alertRadius * m_alertRadius;
    {
        platform::CSLock lock(g_gpsFixLock);
        // Without a fix nothing is known to be in range or out of it: the set
        // stays as it was, so a waypoint still near does not sound again.
        if (!CanUseFix(g_gpsFix, g_gpsFix.m_status)) {
            OnAlertCheckDone();
            return 1;
        }
        for (const CWaypoint& w : m_waypoints) {
            if (!w.m_position.IsValid() || SquaredDistance(g_gpsFix, w) > radiusSquared)
                continue;
            if (std::find(m_alerted.begin(), m_alerted.end(), w) == m_alerted.end())
                PlayWaypointSound(w);
            m_alerted.push_back(w);
        }
        OnAlertCheckDone();
    }
    m_alerted.erase(m_alerted.begin(), m_alerted.begin() + oldCount);
    return 1;
}

void PlayWaypointSound(const CWaypoint& waypoint)
{
    if (!waypoint.m_soundPath.isEmpty() && FileOrFolderExists(waypoint.m_soundPath, QStringLiteral("wav"))) {
        platform::PlaySoundFile(platform::DevicePathToLocal(waypoint.m_soundPath), platform::SND_ASYNC);
        return;
    }
    platform::PlaySoundResource(IDR_WAVE_WAYPOINT, platform::SND_RESOURCE | platform::SND_ASYNC);
}
