#pragma once
// Routes on the shipped Voradu map for the route tests: places of the city by
// its own metres, the GPS fix set as the GPS source would set it, and the
// route manager of the controller.
#include "foundation/plane_geometry.h"
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"

#include <cmath>
#include <gtest/gtest.h>

namespace navtest {

// Voradu's lattice: crossings 200 m apart, the ring road on lines -10 and 10.
inline constexpr double kLatticeStep = 200.0;

// A place of Voradu given in metres east and north of its centre, as the map
// draws it (the city's own projection, then the map's transform).
inline MapPoint VoraduAt(double east, double north)
{
    constexpr double kPi = 3.14159265358979323846;
    constexpr double kLat0 = 56.1, kLon0 = 38.2, kMetresPerDegree = 111320.0;
    const double latitude = kLat0 + north / kMetresPerDegree;
    const double longitude = kLon0 + east / (kMetresPerDegree * std::cos(kLat0 * kPi / 180));
    ZXS_Point p { kNoMapPoint, kNoMapPoint };
    EXPECT_EQ(ZXS_GeoToMap(
                  g_MapController->GetMapSet().ActiveMap(), longitude * kPi / 180, latitude * kPi / 180, &p),
        0);
    return { p.x, p.y };
}

// The crossing of lattice column i and row j.
inline MapPoint Crossing(int i, int j) { return VoraduAt(i * kLatticeStep, j * kLatticeStep); }

// The live fix at a map point: status and course as given.
inline void SetFix(const MapPoint& at, double course = 0.0, char status = 'A')
{
    double longitude = 0, latitude = 0;
    ASSERT_EQ(ZXS_MapToGeo(g_MapController->GetMapSet().ActiveMap(), at.x, at.y, &longitude, &latitude), 0);
    platform::CSLock lock(g_gpsFixLock);
    g_gpsFix.SetChecked(latitude, longitude, true);
    g_gpsFix.m_status = status;
    g_gpsFix.m_course = course;
}

// The GPS source's map position of the live fix, as guidance reads it, for a test's span.
class ScopedGpsMapPosition {
public:
    ScopedGpsMapPosition()
    {
        SetGpsMapPositionHandler([](bool takeLock, MapPoint& position) {
            CGpsFix fix;
            if (takeLock)
                fix = CopyCurrentGpsFix();
            else
                fix = g_gpsFix;
            ZXS_Point p;
            if (!fix.IsValid()
                || ZXS_GeoToMap(g_MapController->GetMapSet().ActiveMap(), fix.GetLongitude().GetRadians(),
                       fix.GetLatitude().GetRadians(), &p)
                    != 0)
                return false;
            position = { p.x, p.y };
            return true;
        });
    }
    ~ScopedGpsMapPosition()
    {
        SetGpsMapPositionHandler(nullptr);
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix = CGpsFix();
    }
    ScopedGpsMapPosition(const ScopedGpsMapPosition&) = delete;
    ScopedGpsMapPosition& operator=(const ScopedGpsMapPosition&) = delete;
};

inline CRouteManager& Routes() { return g_MapController->GetRouteManager(); }
inline CRoute& Route() { return g_MapController->GetRouteManager().GetRoute(); }

} // namespace navtest
