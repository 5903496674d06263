// The on-map widgets as the map screen draws them over the shipped Voradu map,
// at 240 x 320 and 640 x 480, against stored pictures: the map screen on a
// route with the orientation panel, the zoom control and the diagram button;
// the centre marker turned east and west while it is dragged; and every
// diagram with fixed readings.
#include "controls/bitmap_element.h"
#include "controls/compass_widget.h"
#include "controls/diagram_button.h"
#include "controls/zoom_control.h"

#include "controls/command_registry.h"
#include "gps/gps_source.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "platform/system_files.h"
#include "tests/controls/widget_rig.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using controlstest::kScreens;
using controlstest::WidgetRig;

// Fixed readings for every widget: a battery at 45 %, five past nine, nine
// satellites in view and six used.
class FixedReadings {
public:
    FixedReadings()
        : m_root(m_folder.path())
        , m_time(platform::LocalTime { 2024, 5, 17, 5, 9, 5, 0, 0 })
    {
        const QString dir = m_folder.path() + QStringLiteral("/sys/class/power_supply/BAT0");
        QDir().mkpath(dir);
        for (const auto& [name, text] : { std::pair { "type", "Battery" }, std::pair { "capacity", "45" },
                 std::pair { "status", "Discharging" } }) {
            QFile file(dir + u'/' + QLatin1String(name));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_satellitesUsed = 6;
        g_gpsFix.m_satellitesInView = 9;
    }

private:
    QTemporaryDir m_folder;
    platform::ScopedSystemRoot m_root;
    platform::ScopedLocalTime m_time;
    platform::ScopedManualClock m_clock { 1000 };
    platform::ScopedProcessObject<CGpsSource> m_gpsSource { g_gpsSource };
};

// A screen with the test route driven 200 m at 62 km/h, and fixed readings.
class OnTheRoute {
public:
    explicit OnTheRoute(const QSize& size)
        : m_rig(size.width(), size.height())
    {
        controlstest::BuildTestRoute(Controller());
        controlstest::Drive(Controller(), { { 1250, 400 }, { 1450, 400 } }, 62);
        // After the drive: the GPS source takes the GPS position over.
        m_readings.emplace();
    }
    WidgetRig& Rig() { return m_rig; }
    CMapController& Controller() { return m_rig.Controller(); }

private:
    WidgetRig m_rig;
    navtest::ScopedGpsMapPosition m_gps;
    std::optional<FixedReadings> m_readings;
};

TEST(WidgetPictures, TheMapScreenOnARoute)
{
    for (const QSize size : kScreens) {
        OnTheRoute screen(size);
        WidgetRig& rig = screen.Rig();
        CMapController& c = screen.Controller();
        ASSERT_EQ(c.GetRouteManager().IsOnRoute(), 1);
        ExecuteCommand(CMD_ORIENTATION_PANEL);
        ASSERT_EQ(c.GetOrientationPanel().SetMode(2, 0), 1);
        c.ShowZoomSlider(true);
        c.GetWidgetSet()->SetState(CScreenElement::STATE_SHOWN);
        c.GetWidgetSet()->SetDiagram(14004);
        c.SetCentre(navtest::VoraduAt(1450, 400).x, navtest::VoraduAt(1450, 400).y);
        c.SetScale(1500);
        c.LayoutElements();
        rig.DrawMap();
        rig.ExpectGolden(QStringLiteral("map_screen"));
    }
}

TEST(WidgetPictures, TheCentreMarkerTurnedByItsKnob)
{
    for (const QSize size : kScreens) {
        WidgetRig rig(size.width(), size.height());
        CMapController& c = rig.Controller();
        CCompassWidget& compass = *c.GetCentreMarker();
        c.SetScale(1200);
        for (int32_t rotation : { 900, 2700 }) {
            const ElementPoint centre { size.width() / 2, size.height() / 2 };
            ASSERT_EQ(compass.OnPointerDown(compass.GetKnob()), CCompassWidget::REGION_KNOB);
            // The pen on the ring: west for 90 degrees, east for 270.
            const int side = rotation == 900 ? -1 : 1;
            ASSERT_EQ(compass.OnPointerMove({ centre.x + side * ScaleByDpiX(90), centre.y }), 1);
            ASSERT_EQ(c.GetRotation(), rotation);
            rig.DrawMap();
            g_infoLabel->Draw(); // the heading, as the draw thread's overlays show it
            rig.ExpectGolden(QStringLiteral("compass_%1").arg(rotation));
            ASSERT_EQ(compass.OnPointerUp(compass.GetKnob()), 1);
        }
    }
}

TEST(WidgetPictures, EveryDiagramWithFixedReadings)
{
    for (const QSize size : kScreens) {
        OnTheRoute screen(size);
        WidgetRig& rig = screen.Rig();
        CMapController& c = screen.Controller();
        c.SetCentreMarkerShown(false);
        rig.DrawMap();
        // A column of the diagrams as buttons carrying them draw them.
        const int step = ScaleByDpiY(30);
        for (int32_t id = 14000; id <= 14006; ++id)
            g_CommandRegistry->DrawDiagram(
                id, g_drawTool.get(), ScaleByDpiX(20), ScaleByDpiY(10) + (id - 14000) * step, 255);
        rig.ExpectGolden(QStringLiteral("diagrams"));
    }
}

} // namespace
