#pragma once
// The map screen on the shipped Voradu map for the widget tests: the
// controller's rig with every picture and glyph font of the screen class
// loaded, the widget hint, the application's interface hooks, and the GPS fix
// put back afterwards.
#include "app/app_ui_hooks.h"
#include "drawlib/rgb565.h"
#include "gps/gps_fix.h"
#include "settings/settings_record.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"
#include "tests/support/golden_picture.h"
#include "ui/button_hint.h"

namespace controlstest {

using navtest::ExpertMode;

class WidgetRig : public navtest::ControllerRig {
public:
    explicit WidgetRig(int width = 240, int height = 320, int language = LANGUAGE_ENGLISH)
        : ControllerRig(width, height, width > 320 ? 192 : 96, language, {}, true)
    {
        m_label.emplace(g_infoLabel);
        g_infoLabel->Init(g_drawTool.get(), 0);
        // Buttons run their commands through the registry, as in the program.
        SetUiHooks(&AppUiHooks());
    }
    ~WidgetRig()
    {
        SetUiHooks(nullptr);
        m_label.reset();
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix = CGpsFix();
    }

    // The map at the controller's state, drawn as the map screen draws it.
    void DrawMap()
    {
        Render();
        Controller().Draw();
    }
    QImage Picture() { return testing_support::SurfacePicture(*g_drawTool); }
    // 0xRRGGBB as the 16-bit surface keeps it.
    static uint32_t OnSurface(uint32_t rgb)
    {
        const uint16_t p = PackRGB565(rgb >> 16, rgb >> 8, rgb);
        return UnpackRed(p) << 16 | UnpackGreen(p) << 8 | UnpackBlue(p);
    }
    // 0xRRGGBB of a surface pixel.
    static uint32_t Rgb(int x, int y)
    {
        return testing_support::SurfacePicture(*g_drawTool).pixel(x, y) & 0xFFFFFF;
    }
    void ExpectGolden(const QString& name)
    {
        testing_support::ExpectGoldenPicture(Picture(), QStringLiteral("controls"),
            QStringLiteral("%1_%2x%3").arg(name).arg(g_drawTool->GetWidth()).arg(g_drawTool->GetHeight()));
    }

private:
    std::optional<platform::ScopedProcessObject<CButtonHint>> m_label;
};

// A route through Voradu, east along row 2 from 1250 m east of the centre,
// left at column 8 (1600 m) and 200 m north to its finish; guidance stays
// silent.
inline void BuildTestRoute(CMapController& controller)
{
    constexpr MapPoint kUnset { kNoMapPoint, kNoMapPoint };
    controller.SetMapScreenActive(0);
    g_routeOptimisation = 2;
    const MapPoint four[] = { navtest::VoraduAt(1250, 400), kUnset, kUnset, navtest::VoraduAt(1600, 600) };
    ASSERT_EQ(controller.BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
    g_routeOptimisation = 1;
    CRouteGuide& guide = controller.GetRouteManager().GetGuide();
    guide.SetFirstPromptOn(0);
    guide.SetSecondPromptOn(0);
    guide.SetFinalPromptOn(0);
}

// The GPS at a place (metres east and north of Voradu's centre) with a course
// and a speed, for a number of ticks of the controller.
inline void StandAt(
    CMapController& controller, double east, double north, double kmh, double course, int ticks = 3)
{
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_speedKnots = kmh / kKnotsToKmh;
    }
    const MapPoint at = navtest::VoraduAt(east, north);
    for (int i = 0; i < ticks; ++i) {
        navtest::SetFix(at, course);
        controller.OnTick();
    }
}

// The GPS driven from the first place to the last, 20 m a tick.
inline void Drive(
    CMapController& controller, std::initializer_list<std::pair<double, double>> places, double kmh)
{
    const auto* previous = places.begin();
    for (const auto* next = previous + 1; next != places.end(); previous = next++) {
        const double dx = next->first - previous->first, dy = next->second - previous->second;
        const int steps = static_cast<int>(std::hypot(dx, dy) / 20);
        double course = std::atan2(dx, dy) * 180 / M_PI;
        if (course < 0)
            course += 360;
        for (int i = 1; i <= steps; ++i)
            StandAt(controller, previous->first + dx * i / steps, previous->second + dy * i / steps, kmh,
                course, 1);
    }
}

// The two screens the widgets are looked at on.
inline const QSize kScreens[] = { QSize(240, 320), QSize(640, 480) };

} // namespace controlstest
