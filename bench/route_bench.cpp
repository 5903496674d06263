// Route building and guidance on the shipped Voradu map and the compiled
// Ostankino extract: the rebuild of a route from a position moving along it
// (what re-routing after a deviation does, on the tick), and the tracking of
// the position along a route of some 30 km, once per 250 ms tick. Each reports
// its median and 99th percentile; the goals are a rebuild under 20 ms and a
// tracking step under 0.2 ms, so that neither holds a tick.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "controls/command_registry.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/path_helpers.h"
#include "foundation/plane_geometry.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/options.h"

namespace {

// The controller on a map copied into a program folder of its own.
class MapScreen {
public:
    explicit MapScreen(const QString& mapBase)
    {
        platform::SetMessageBoxAnswerer([](const platform::MessageBoxRequest&) { return platform::IDOK; });
        SetFatalExitHandler([](int) { throw std::runtime_error("the map does not open"); });
        const QString data = QStringLiteral(TRAVENOR_BUILD_DATA_DIR);
        for (const char* name : { "Fonts", "resources" })
            QFile::link(data + QLatin1Char('/') + QLatin1String(name), m_dir.filePath(QLatin1String(name)));
        for (const char* extension : { ".tzx", ".zxg", ".zxp" })
            QFile::copy(
                mapBase + QLatin1String(extension), m_dir.filePath(QStringLiteral("mskmo0704") + extension));
        platform::Options o = platform::options();
        o.screen = QSize(240, 320);
        o.dataDir = m_dir.path();
        platform::setOptions(o);
        ResetScreenMetrics();
        ForgetProgramFolder();
        FillScaleList();
        m_display = std::make_unique<platform::Display>(QSize(240, 320), 96);
        m_drawTool.emplace(g_drawTool);
        g_drawTool->Init(m_display.get(), true);
        g_MapController.Create();
        g_CommandRegistry.Create();
        g_CommandRegistry->Init();
        try {
            m_ready = g_MapController->Attach(g_drawTool.get()) == 1 && g_MapController->OpenView() == 1;
        } catch (const std::exception&) {
            m_ready = false;
        }
        // Route building without the wait notice and its frame: the computation alone.
        if (m_ready)
            g_MapController->SetMapScreenActive(0);
        SetGpsMapPositionHandler([](bool, MapPoint& p) {
            ZXS_Point at;
            if (ZXS_GeoToMap(g_MapController->GetMapSet().ActiveMap(), g_gpsFix.GetLongitude().GetRadians(),
                    g_gpsFix.GetLatitude().GetRadians(), &at)
                != 0)
                return false;
            p = { at.x, at.y };
            return true;
        });
    }
    ~MapScreen()
    {
        SetGpsMapPositionHandler(nullptr);
        g_CommandRegistry.Destroy();
        g_MapController.Destroy();
        g_drawTool->DestroyBuffer();
        m_drawTool.reset();
    }
    bool Ready() const { return m_ready; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<platform::Display> m_display;
    std::optional<platform::ScopedProcessObject<CScreenDrawTool>> m_drawTool;
    bool m_ready = false;
};

void SetFix(const MapPoint& at, double course)
{
    double longitude = 0, latitude = 0;
    ZXS_MapToGeo(g_MapController->GetMapSet().ActiveMap(), at.x, at.y, &longitude, &latitude);
    platform::CSLock lock(g_gpsFixLock);
    g_gpsFix.SetChecked(latitude, longitude, true);
    g_gpsFix.m_status = 'A';
    g_gpsFix.m_course = course;
}

// Positions along the route's guide nodes, `step` map units apart, with their courses.
std::vector<std::pair<MapPoint, double>> AlongRoute(double step)
{
    std::vector<std::pair<MapPoint, double>> out;
    const std::vector<GuideNode>& nodes = g_MapController->GetRouteManager().GetGuideNodes();
    for (size_t k = 0; k + 1 < nodes.size(); ++k) {
        const MapPoint a = nodes[k].Point(), b = nodes[k + 1].Point();
        const double length = std::hypot(double(b.x - a.x), double(b.y - a.y));
        double course = std::atan2(double(b.x - a.x), double(a.y - b.y)) * 57.29577951308232;
        if (course < 0)
            course += 360;
        for (double along = 0; along < length; along += step)
            out.push_back({ { static_cast<int32_t>(a.x + (b.x - a.x) * along / length),
                                static_cast<int32_t>(a.y + (b.y - a.y) * along / length) },
                course });
    }
    return out;
}

void Report(benchmark::State& state, std::vector<double>& samples, const char* unit, double scale)
{
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    state.counters[std::string("p50_") + unit] = samples[samples.size() / 2] * scale;
    state.counters[std::string("p99_") + unit] = samples[samples.size() * 99 / 100] * scale;
    state.counters[std::string("max_") + unit] = samples.back() * scale;
}

const MapPoint kUnset { kNoMapPoint, kNoMapPoint };

// Builds the route through the points; its guide nodes' count, 0 when it failed.
size_t BuildRoute(const std::vector<MapPoint>& points)
{
    std::vector<MapPoint> four(4, kUnset);
    for (size_t i = 0; i < points.size() && i < 4; ++i)
        four[i + 1 == points.size() ? 3 : i] = points[i];
    if (g_MapController->BuildRoute(four.data(), 4, 0, 0, nullptr, 0) != 1)
        return 0;
    return g_MapController->GetRouteManager().GetGuideNodes().size();
}

// A crossing of Voradu's 200 m lattice, in map units (near enough for the router's snapping).
MapPoint Crossing(int i, int j) { return { 4396 + 200 * i, 4296 - 200 * j }; }

const QString kVoradu = QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/mskmo0704");
const QString kOstankino = QStringLiteral(TRAVENOR_ROUTER_MAPS_DIR "/moscow-ostankino");

// The rebuild of a route from positions moving along its first half, as
// re-routing after a deviation does it.
void Rebuild(benchmark::State& state, const QString& map, const std::vector<MapPoint>& points)
{
    MapScreen screen(map);
    if (!screen.Ready() || BuildRoute(points) == 0) {
        state.SkipWithError("the map does not open or the route does not build");
        return;
    }
    const std::vector<std::pair<MapPoint, double>> along = AlongRoute(MetresToMapUnits(100));
    CRouteManager& routes = g_MapController->GetRouteManager();
    std::vector<double> samples;
    size_t k = 0;
    for (auto _ : state) {
        const MapPoint at = along[k++ % std::max<size_t>(1, along.size() / 2)].first;
        const auto start = std::chrono::steady_clock::now();
        const int32_t result = routes.SetPointAndRecalculate(at, CRoute::SLOT_START);
        samples.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (result != ROUTE_OK) {
            state.SkipWithError("a rebuild failed");
            break;
        }
    }
    Report(state, samples, "ms", 1e3);
    state.counters["route_m"] = g_MapController->GetRouteManager().GetRoute().GetRouteLength();
}

void RebuildOnVoradu(benchmark::State& state)
{
    Rebuild(state, kVoradu, { Crossing(-12, -6), Crossing(11, 9) });
}

void RebuildOnOstankino(benchmark::State& state)
{
    Rebuild(state, kOstankino, { { 7602, 6195 }, { 8400, 7900 } });
}

// A serpentine of 30 km over Voradu's lattice, as the router lays a route out:
// five rows a kilometre apart driven west to east and back, joined along the
// city's edge, a junction every 200 m and a shape point every 50 m.
std::vector<CZXS_RoutePoint> Serpentine()
{
    std::vector<CZXS_RoutePoint> points;
    auto add = [&](int32_t x, int32_t y, uint8_t flags, uint8_t branches) {
        CZXS_RoutePoint p;
        p.x = x;
        p.y = y;
        p.flags = flags;
        p.branches = branches;
        points.push_back(p);
    };
    add(Crossing(-15, -10).x, Crossing(-15, -10).y, 0x01, 1);
    for (int row = 0; row < 5; ++row) {
        const int j = -10 + 5 * row;
        const bool east = row % 2 == 0;
        for (int step = 0; step <= 30 * 4; ++step) {
            const int i4 = east ? -60 + step : 60 - step; // quarter blocks
            const MapPoint at { 4396 + 50 * i4, 4296 - 200 * j };
            add(at.x, at.y, step % 4 == 0 ? 0x0C : 0x10, step % 4 == 0 ? 4 : 1);
        }
        if (row < 4) {
            for (int up = 1; up < 20; ++up) {
                const MapPoint at { east ? 4396 + 3000 : 4396 - 3000, 4296 - 200 * j - 50 * up };
                add(at.x, at.y, up % 4 == 0 ? 0x0C : 0x10, up % 4 == 0 ? 3 : 1);
            }
        }
    }
    points[1].flags = 0x02;
    points.back().flags = 0x40;
    return points;
}

// One tick's tracking and prompts while driving at 50 km/h along a route of 30 km.
void TrackingPerTick(benchmark::State& state)
{
    MapScreen screen(kVoradu);
    if (!screen.Ready() || BuildRoute({ Crossing(-3, 0), Crossing(3, 0) }) == 0) {
        state.SkipWithError("the map does not open or the route does not build");
        return;
    }
    CRouteManager& routes = g_MapController->GetRouteManager();
    {
        platform::CSLock lock(routes.GetRoute().GetPointLock());
        if (routes.GetGuide().BuildFromRoutePoints(Serpentine(), g_MapController->GetMapSet().ActiveMap())
            != 1) {
            state.SkipWithError("no guidance");
            return;
        }
    }
    const std::vector<std::pair<MapPoint, double>> along = AlongRoute(MetresToMapUnits(50 / 3.6 * 0.25));
    std::vector<double> samples;
    size_t k = 0;
    for (auto _ : state) {
        const auto& [at, course] = along[k++ % along.size()];
        SetFix(at, course);
        const auto start = std::chrono::steady_clock::now();
        routes.UpdateGuidance();
        samples.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    Report(state, samples, "us", 1e6);
    state.counters["route_m"] = routes.GetGuideNodes().front().distanceToEnd;
    state.counters["nodes"] = static_cast<double>(routes.GetGuideNodes().size());
    state.counters["on_route"] = routes.IsOnRoute();
}

} // namespace

BENCHMARK(RebuildOnVoradu)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(RebuildOnOstankino)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(TrackingPerTick)->Unit(benchmark::kMicrosecond)->Iterations(30000);

// The drawing surface lives on the offscreen Qt platform, as in the tests.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
