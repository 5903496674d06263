// The map controller's frames on the shipped Voradu map: the GPS marker's
// pictures, the frame with its overlays against stored pictures, drags and the
// zoom rectangle, the zoom to a map rectangle, and screenshots.
#include "nav/map_controller.h"

#include "drawlib/rgb565.h"
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "platform/clock.h"
#include "platform/little_endian.h"
#include "search/waypoint.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"
#include "tests/support/golden_picture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using navtest::ControllerRig;

QImage Surface() { return testing_support::SurfacePicture(*g_drawTool); }

using testing_support::PictureDifference;

void ExpectGolden(const QImage& picture, const QString& name)
{
    testing_support::ExpectGoldenPicture(picture, QStringLiteral("nav"), name);
}

TEST(MapDrawing, TheGpsMarkerTurnsBySectorsOfTheScreenAngle)
{
    const struct {
        double rotation, course;
        char status;
        uint32_t marker, shadow;
    } cases[] = {
        { 0, 0, 'A', 218, 225 },
        { 0, 348.75, 'A', 238, 248 }, // 11.25 degrees left of up: the second sector's lower bound
        { 0, 348.76, 'A', 218, 225 },
        { 0, 11.25, 'A', 218, 225 }, // 348.75: the first sector's lower bound
        { 0, 11.24, 'A', 218, 225 },
        { 0, 90, 'A', 221, 223 }, // heading east: the marker points right
        { 90, 0, 'A', 219, 222 }, // north on a map turned east-up: it points left
        { 0, 180, 'A', 220, 224 },
        { 0, 270, 'A', 219, 222 },
        { 359.9, 359.9, 'A', 218, 225 },
        { 0, 45, 'A', 229, 233 },
        { 0, 0, 'V', 253, 254 },
    };
    for (const auto& t : cases) {
        uint32_t marker = 0, shadow = 0;
        GpsMarkerImages(t.rotation, t.course, t.status, marker, shadow);
        EXPECT_EQ(marker, t.marker) << t.rotation << " " << t.course;
        EXPECT_EQ(shadow, t.shadow) << t.rotation << " " << t.course;
    }
}

// The frame of the map with a GPS marker for every sector, round a ring.
QImage FrameWithMarkers(ControllerRig& rig, int rotation)
{
    CMapController& c = rig.Controller();
    c.SetScale(1200);
    c.SetRotation(rotation);
    rig.Render();
    c.Draw();
    const int w = g_drawTool->GetWidth(), h = g_drawTool->GetHeight();
    for (int k = 0; k < 16; ++k) {
        const double a = k * 2 * M_PI / 16;
        const ElementPoint screen { int(w / 2 + std::sin(a) * w * 0.35),
            int(h / 2 - std::cos(a) * w * 0.35) };
        ZXS_Point map;
        EXPECT_TRUE(c.ScreenToMap(screen, map));
        // The marker points away from the ring's centre.
        EXPECT_EQ(c.DrawGpsMarkerAt(map, 'A', k * 22.5 + rotation / 10.0, {}, nullptr), 1);
    }
    ZXS_Point middle { c.GetCentreX(), c.GetCentreY() };
    EXPECT_EQ(c.DrawGpsMarkerAt(middle, 'V', 0, {}, nullptr), 1);
    return Surface();
}

TEST(MapDrawing, FramesWithGpsMarkersMatchTheirPictures)
{
    for (const QSize size : { QSize(240, 320), QSize(480, 640) }) {
        ControllerRig rig(size.width(), size.height(), size.width() == 480 ? 192 : 96);
        ExpectGolden(FrameWithMarkers(rig, size.width() == 480 ? 300 : 0),
            QStringLiteral("gps_markers_%1").arg(size.width()));
    }
}

// A route through four points with its maneuvers, and three waypoints (two
// coloured pins, one far outside the frame), over the map.
QImage FrameWithRouteAndWaypoints(ControllerRig& rig)
{
    CMapController& c = rig.Controller();
    c.SetMapScreenActive(0);
    using navtest::Crossing;
    const MapPoint points[] = { Crossing(-2, -2), Crossing(-1, 2), Crossing(1, 1), Crossing(2, -2) };
    EXPECT_EQ(c.BuildRoute(points, 4, 0, 0, nullptr, 0), 1);
    EXPECT_GT(c.GetRouteManager().GetGuideNodes().size(), 4u);
    for (const auto& [at, bitmap] : { std::pair { Crossing(0, -1), 653 }, std::pair { Crossing(-2, 1), 656 },
             std::pair { Crossing(40, 40), 655 } }) {
        CWaypoint waypoint;
        waypoint.m_mapX = at.x;
        waypoint.m_mapY = at.y;
        waypoint.m_bitmapId = bitmap;
        g_waypoints->Append(waypoint);
    }
    c.PublishWaypointMarks();
    c.SetCentre(Crossing(0, 0).x, Crossing(0, 0).y);
    c.SetScale(g_drawTool->GetWidth() == 480 ? 300 : 600);
    rig.Render();
    c.Draw();
    return Surface();
}

TEST(MapDrawing, FramesWithRoutePointsManeuversAndWaypointsMatchTheirPictures)
{
    for (const QSize size : { QSize(240, 320), QSize(480, 640) }) {
        ControllerRig rig(size.width(), size.height(), size.width() == 480 ? 192 : 96);
        platform::ScopedProcessObject<CWaypointList> waypoints(g_waypoints);
        const QImage frame = FrameWithRouteAndWaypoints(rig);
        ExpectGolden(frame, QStringLiteral("route_waypoints_%1").arg(size.width()));
    }
}

TEST(MapDrawing, WithoutAFixTheMarkerBlinksOverASteadyShadow)
{
    platform::ScopedManualClock clock(1000);
    ControllerRig rig;
    CMapController& c = rig.Controller();
    rig.Render();
    const ZXS_Point middle { c.GetCentreX(), c.GetCentreY() };
    const QImage map = [&] {
        c.Draw();
        return Surface();
    }();
    auto frameAt = [&](uint32_t t) {
        clock->set(t);
        c.Draw();
        EXPECT_EQ(c.DrawGpsMarkerAt(middle, 'V', 0, {}, nullptr), 1);
        return Surface();
    };
    const QImage on = frameAt(1000 + 800); // the first 800 ms are the "on" phase, its end included
    const QImage off = frameAt(1000 + 801);
    const QImage onAgain = frameAt(1000 + 1600);
    EXPECT_GT(PictureDifference(on, map), 0.0);
    EXPECT_GT(PictureDifference(off, map), 0.0) << "the shadow stays";
    EXPECT_GT(PictureDifference(on, off), 0.0) << "the marker goes";
    EXPECT_EQ(PictureDifference(on, onAgain), 0.0);
}

TEST(MapDrawing, ADragShowsTheOldFrameMovedOnGreyUntilTheNewRenderArrives)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    c.Draw();
    ASSERT_EQ(c.GetRedrawFlag(), 0);
    ASSERT_EQ(ZXS_ViewRender(c.GetView(), 1, nullptr), 0); // the async render's work, done here
    c.Draw();
    const QImage before = Surface();

    ASSERT_EQ(c.Pan(40, 30, 1), 1);
    c.ApplyDrag(1);
    c.Draw();
    const QImage moved = Surface();
    // The drawn frame is the old one moved by (40, 30) on grey.
    EXPECT_EQ(moved.pixel(100 + 40, 100 + 30), before.pixel(100, 100));
    EXPECT_EQ(moved.pixel(5, 5), qRgb(0xC0, 0xC0, 0xC0));
    c.ApplyDrag(0);
}

TEST(MapDrawing, TheZoomRectangleIsRed)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    rig.Render();
    ExecuteCommand(CMD_ZOOM_WINDOW);
    ASSERT_EQ(c.OnPointerDown({ 50, 60 }), 1);
    ASSERT_EQ(c.OnPointerMove({ 150, 200 }), 1);
    c.Draw();
    const QImage frame = Surface();
    EXPECT_EQ(frame.pixel(50, 60), qRgb(0xF8, 0, 0));
    EXPECT_EQ(frame.pixel(150, 130), qRgb(0xF8, 0, 0));
    EXPECT_NE(frame.pixel(100, 130), qRgb(0xF8, 0, 0));
}

TEST(MapDrawing, ZoomToARectangleShowsAllOfItOnEveryScreen)
{
    for (const QSize size : { QSize(240, 320), QSize(480, 640), QSize(640, 480) }) {
        for (int rotation : { 0, 450, 900 }) {
            SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " " << rotation);
            ControllerRig rig(size.width(), size.height(), 96);
            CMapController& c = rig.Controller();
            c.SetRotation(rotation);
            const ZXS_Rect b = c.GetMapBounds();
            const int32_t cx = b.left / 2 + b.right / 2, cy = b.top / 2 + b.bottom / 2;
            const ZXS_Rect rect { cx - 1500, cy - 700, cx + 1000, cy + 500 };
            EXPECT_EQ(c.ZoomToRect(rect), 1);
            EXPECT_EQ(c.GetCentreX(), rect.left / 2 + rect.right / 2);
            ASSERT_EQ(c.RenderNow(), 0);
            for (ZXS_Point corner : { ZXS_Point { rect.left, rect.top }, ZXS_Point { rect.right, rect.top },
                     ZXS_Point { rect.left, rect.bottom }, ZXS_Point { rect.right, rect.bottom } }) {
                ElementPoint p;
                ASSERT_TRUE(c.MapToScreen(corner, p));
                EXPECT_TRUE(p.x >= 0 && p.x < size.width() && p.y >= 0 && p.y < size.height())
                    << p.x << "," << p.y;
            }
            // Not far smaller than the screen either: the margin is 1.4.
            ElementPoint a, z;
            c.MapToScreen({ rect.left, rect.top }, a);
            c.MapToScreen({ rect.right, rect.bottom }, z);
            EXPECT_GT(std::max(std::abs(z.x - a.x), std::abs(z.y - a.y)), size.width() / 3);
        }
    }
}

TEST(MapDrawing, AScreenshotReadsBackAsTheMapPicture)
{
    ControllerRig rig;
    CMapController& c = rig.Controller();
    // The screenshot is the map alone, without the elements over it.
    c.SetCentreMarkerShown(false);
    c.GetElements().scaleBar->SetState(CScreenElement::STATE_HIDDEN);
    rig.Render();
    const QImage map = [&] {
        c.Draw();
        return Surface();
    }();
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("KVRA screen.bmp"));
    ASSERT_EQ(c.SaveScreenshot(bmp, 0, 80), 1);
    const QImage fromBmp(bmp, "BMP");
    ASSERT_EQ(fromBmp.size(), map.size());
    EXPECT_EQ(fromBmp.convertToFormat(QImage::Format_RGB32), map) << "pixel for pixel";
    QFile file(bmp);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 54);
    auto le32
        = [&](int at) { return platform::Le32(reinterpret_cast<const uint8_t*>(bytes.constData()) + at); };
    EXPECT_EQ(le32(14), 40u);
    EXPECT_EQ(le32(14 + 20), uint32_t(240 * 320 * 3)) << "image size";
    EXPECT_EQ(le32(14 + 24), 3780u);

    double lastMean = 1e9;
    for (int quality : { 30, 90 }) {
        const QString jpg = dir.filePath(QStringLiteral("shot%1.jpg").arg(quality));
        ASSERT_EQ(c.SaveScreenshot(jpg, 1, quality), 1);
        const QImage decoded = QImage(jpg, "JPG").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(decoded.size(), map.size());
        double error = 0;
        for (int y = 0; y < map.height(); ++y)
            for (int x = 0; x < map.width(); ++x) {
                const QRgb a = map.pixel(x, y), b = decoded.pixel(x, y);
                error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                    + std::abs(qBlue(a) - qBlue(b));
            }
        const double mean = error / (3.0 * map.width() * map.height());
        EXPECT_LT(mean, (100 - quality) * 0.3 + 2.0) << quality;
        EXPECT_LT(mean, lastMean) << "a higher quality is closer";
        lastMean = mean;
    }
    EXPECT_EQ(c.SaveScreenshot(dir.filePath(QStringLiteral("shot.gif")), 2, 80), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("shot.gif"))));
}

TEST(MapDrawing, AScreenshotNameThatExistsGetsTheNextNumber)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("KVRA screen.bmp"));
    EXPECT_EQ(FindFreeScreenshotName(base), base);
    for (const char* name : { "KVRA screen.bmp", "KVRA screen1.jpg" }) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(FindFreeScreenshotName(base), dir.filePath(QStringLiteral("KVRA screen2.bmp")));
}

} // namespace
