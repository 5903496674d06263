// A drive through Voradu replayed from an NMEA log: the tick's GPS poll fills
// the fix, the source places it on the map, and the map controller (following
// the GPS) keeps it on the screen. Each run leaves the last frame in the
// working folder as gps_drive_WxH.png to look at.
#include "gps/gps_source.h"

#include "foundation/plane_geometry.h"
#include "kernel/api/map_geo.h"
#include "platform/clock.h"
#include "tests/nav/controller_rig.h"
#include "tests/support/file_bytes.h"
#include "tests/support/nmea_text.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// "ddmm.mmmm,N" or "dddmm.mmmm,E" of an angle in radians.
std::string NmeaAngle(double radians, int degreeDigits, char positive, char negative)
{
    const double degrees = std::abs(radians) * 180.0 / 3.141592653589793;
    const int whole = static_cast<int>(degrees);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f,%c", degreeDigits, whole, (degrees - whole) * 60.0,
        radians < 0 ? negative : positive);
    return text;
}

// A drive east along the map's centre line at 36 km/h (19.4 knots), one RMC
// and GGA a second.
std::string Drive(double latitude, double longitude, int seconds)
{
    std::string text = "# a drive through Voradu\r\n";
    const double step = 10.0 / 111111.11111 * 3.141592653589793 / 180.0 / std::cos(latitude);
    for (int i = 0; i < seconds; ++i) {
        char time[16];
        std::snprintf(time, sizeof time, "1200%02d", i);
        const std::string position
            = NmeaAngle(latitude, 2, 'N', 'S') + "," + NmeaAngle(longitude + i * step, 3, 'E', 'W');
        text += testing_support::Nmea(
            std::string("GPRMC,") + time + ",A," + position + ",19.4,090.0,230394,,");
        text += testing_support::Nmea(
            std::string("GPGGA,") + time + "," + position + ",1,09,0.9,150.0,M,14.0,M,,");
    }
    return text;
}

TEST(GpsDrive, AReplayedDriveReachesTheMapAndTheFollowingView)
{
    for (const QSize size : { QSize(240, 320), QSize(640, 480) }) {
        SCOPED_TRACE(size.width());
        platform::ScopedManualClock clock(1000);
        navtest::ControllerRig rig(size.width(), size.height(), size.width() == 640 ? 192 : 96);
        CMapController& c = rig.Controller();
        c.SetScale(1200);
        ZXS_Point centre;
        ASSERT_EQ(ZXS_MapGetCenter(rig.Map(), &centre), 0);
        double longitude = 0, latitude = 0;
        ASSERT_EQ(ZXS_MapToGeo(rig.Map(), centre.x, centre.y, &longitude, &latitude), 0);

        QTemporaryDir dir;
        const QString log = dir.filePath("drive.nm");
        ASSERT_TRUE(
            testing_support::WriteFileBytes(log, QByteArray::fromStdString(Drive(latitude, longitude, 30))));

        // The program's own live fix, which the controller reads.
        const CGpsFix& fix = g_gpsFix;
        CGpsSource source;
        source.ResetFix();
        ASSERT_TRUE(source.SetReplayFileName(log));
        source.SetReplayOptions(0, 0, 4.0, 0);
        ASSERT_TRUE(source.OpenPort(11, 4800));
        c.SetFollowGps(1);

        // The tick: the GPS poll, then the controller's own step.
        for (int tick = 0; tick < 40; ++tick) {
            source.Poll();
            c.OnTick();
            clock->advance(250);
        }
        ASSERT_EQ(fix.m_status, 'A');
        EXPECT_FALSE(source.IsFixOutsideMap());
        ASSERT_EQ(source.IsMapPositionValid(), 1);
        int32_t x = 0, y = 0;
        source.GetMapPosition(&x, &y);
        ZXS_Point expected;
        ASSERT_EQ(ZXS_GeoToMap(
                      rig.Map(), fix.GetLongitude().GetRadians(), fix.GetLatitude().GetRadians(), &expected),
            0);
        EXPECT_EQ(x, expected.x);
        EXPECT_EQ(y, expected.y);
        // 300 m east of where it started, and guidance sees the same point.
        EXPECT_GT(x, centre.x);
        MapPoint guided;
        ASSERT_TRUE(GetGpsMapPosition(true, guided));
        EXPECT_EQ(guided.x, x);
        EXPECT_EQ(guided.y, y);

        // Following the GPS, the view keeps the position on the screen.
        ElementPoint screen;
        ASSERT_TRUE(c.MapToScreen({ x, y }, screen));
        EXPECT_GE(screen.x, 0);
        EXPECT_LT(screen.x, size.width());
        EXPECT_GE(screen.y, 0);
        EXPECT_LT(screen.y, size.height());

        rig.Render();
        c.Draw();
        const int w = g_drawTool->GetWidth(), h = g_drawTool->GetHeight();
        QImage frame(w, h, QImage::Format_RGB32);
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px) {
                const uint32_t p = uint32_t(g_drawTool->GetPixel(px, py, false));
                frame.setPixel(px, py, qRgb(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF));
            }
        frame.save(QStringLiteral("gps_drive_%1x%2.png").arg(size.width()).arg(size.height()));
        source.Close();
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix = CGpsFix();
    }
}

} // namespace
