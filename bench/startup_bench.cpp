// The program's start on the shipped Voradu map at 480x640, in this process:
// from building its process objects to the first map frame copied to the
// display (the application object, the start-up checks, the loading window,
// the pictures, the map and the draw thread's first frame); Qt's own start,
// made once for the process, is the counter `qt_start_ms`. And the program's
// CPU use while it shows an unchanged map for 10 s, as a share of one core.
// And, in the started program, the map frame at 480x640: the kernel's frame
// alone beside the whole frame the draw thread gives the display, with the
// route, its maneuver markers, waypoints, the GPS marker, the widgets and the
// button bars drawn over the map.
// And a drive: from a fix's arrival in the NMEA reader (the replay's block of
// the demo drive across Voradu read by the GPS poll) through the controller's
// tick that follows the car to the frame that shows it on the display's
// surface, against the tick of 250 ms.

#include <benchmark/benchmark.h>

#include "app/draw_thread.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "platform/messages.h"
#include "platform/options.h"
#include "search/waypoint.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

double g_qtStartMs = 0;

double ProcessCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The program's folders for one start: the build's data, a registry file with
// the interface mode chosen, a runtime folder of its own.
class ProgramSetup {
public:
    ProgramSetup()
    {
        setenv("XDG_RUNTIME_DIR", m_dir.filePath(QStringLiteral("runtime")).toLocal8Bit().constData(), 1);
        QFile ini(m_dir.filePath(QStringLiteral("registry.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[HKEY_CURRENT_USER\\Software\\Orvantis\\Travenor Pro\\Settings]\n"
                      "\"expert mode\"=dword:00000000\n");
        ini.close();
        platform::Options o;
        o.screen = QSize(480, 640);
        o.dpi = 192;
        o.dataDir = QStringLiteral(TRAVENOR_BUILD_DATA_DIR);
        o.configFile = ini.fileName();
        o.documentsDir = m_dir.filePath(QStringLiteral("Documents"));
        platform::setOptions(o);
        ResetScreenMetrics();
    }

private:
    QTemporaryDir m_dir;
};

CDrawThread* DrawThread()
{
    CMainFrame* frame = theApp ? theApp->GetMainWnd() : nullptr;
    return frame && frame->GetMapWnd() ? frame->GetMapWnd()->GetDrawThread() : nullptr;
}

// Starts the program and runs its message loop; `atFirstFrame` runs once the
// first frame has been copied to the display and must close the program.
void RunUntilFirstFrame(const std::function<void()>& atFirstFrame)
{
    if (!theApp->InitInstance())
        return;
    auto* watch = new QTimer(qApp);
    watch->setInterval(1);
    QObject::connect(watch, &QTimer::timeout, watch, [watch, &atFirstFrame] {
        CDrawThread* thread = DrawThread();
        if (!theApp->IsStartupFinished() || !thread || thread->FramesCopied() == 0)
            return;
        watch->stop();
        watch->deleteLater();
        atFirstFrame();
    });
    watch->start();
    theApp->Run();
    theApp->ExitInstance();
}

void BM_StartToFirstMapFrame(benchmark::State& state)
{
    for (auto _ : state) {
        ProgramSetup setup;
        const auto start = std::chrono::steady_clock::now();
        double seconds = 0;
        {
            CProcessObjects objects;
            RunUntilFirstFrame([&] {
                seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                CloseApplication();
            });
        }
        state.SetIterationTime(seconds);
    }
    state.counters["qt_start_ms"] = g_qtStartMs;
}
BENCHMARK(BM_StartToFirstMapFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_IdleMapCpuShare(benchmark::State& state)
{
    for (auto _ : state) {
        ProgramSetup setup;
        CProcessObjects objects;
        double cpu = 0, wall = 0;
        RunUntilFirstFrame([&] {
            // Let the first renders settle, then measure an unchanged map.
            QTimer::singleShot(1000, qApp, [&] {
                const double cpuStart = ProcessCpuSeconds();
                QElapsedTimer elapsed;
                elapsed.start();
                QTimer::singleShot(10000, qApp, [&, cpuStart, elapsed] {
                    cpu = ProcessCpuSeconds() - cpuStart;
                    wall = static_cast<double>(elapsed.elapsed()) * 1e-3;
                    CloseApplication();
                });
            });
        });
        state.counters["cpu_share_of_one_core"] = wall > 0 ? cpu / wall : 0;
        state.SetIterationTime(wall);
    }
}
BENCHMARK(BM_IdleMapCpuShare)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

// The program's map with everything the driver sees over it: a route through
// four points, three waypoints, the GPS fix near the middle heading north-east.
bool PutOverlaysOnTheMap(CMapController& c)
{
    const int w = 480, h = 640;
    const auto at = [&](double fx, double fy) {
        ZXS_Point p {};
        c.ScreenToMap({ int(fx * w), int(fy * h) }, p);
        return MapPoint { p.x, p.y };
    };
    c.SetMapScreenActive(0);
    const MapPoint points[] = { at(0.15, 0.8), at(0.3, 0.25), at(0.7, 0.35), at(0.85, 0.85) };
    if (c.BuildRoute(points, 4, 0, 0, nullptr, 0) != 1)
        return false;
    for (const auto& [place, bitmap] : { std::pair { at(0.4, 0.6), 653 }, std::pair { at(0.6, 0.5), 656 },
             std::pair { at(0.2, 0.4), 655 } }) {
        CWaypoint waypoint;
        waypoint.m_mapX = place.x;
        waypoint.m_mapY = place.y;
        waypoint.m_bitmapId = bitmap;
        g_waypoints->Append(waypoint);
    }
    c.PublishWaypointMarks();
    const MapPoint gps = at(0.5, 0.55);
    double longitude = 0, latitude = 0;
    if (ZXS_MapToGeo(c.GetMapSet().ActiveMap(), gps.x, gps.y, &longitude, &latitude) != 0)
        return false;
    platform::CSLock lock(g_gpsFixLock);
    g_gpsFix.SetChecked(latitude, longitude, true);
    g_gpsFix.m_status = 'A';
    g_gpsFix.m_course = 45.0;
    return true;
}

// withOverlays 0: the kernel's frame of the view; 1: that frame and all that
// the program draws over it, as the draw thread makes each frame.
void MapFrame(benchmark::State& state, int withOverlays)
{
    ProgramSetup setup;
    CProcessObjects objects;
    RunUntilFirstFrame([&] {
        // Without the focus the tick stands still: nothing draws beside the benchmark.
        platform::send(theApp->GetMainWnd()->GetMapWnd(), platform::WM_KILLFOCUS);
        CMapController& c = *g_MapController;
        if (!PutOverlaysOnTheMap(c)) {
            state.SkipWithError("the route or the fix could not be placed");
        } else {
            for (auto _ : state) {
                c.SetRedrawFlag(1);
                c.RenderNow();
                if (withOverlays)
                    c.Draw(); // copies the frame to the display's surface and draws over it
            }
        }
        CloseApplication();
    });
}

void BM_VoraduKernelFrame(benchmark::State& state) { MapFrame(state, 0); }
void BM_VoraduFrameWithOverlays(benchmark::State& state) { MapFrame(state, 1); }

double Median(const std::vector<double>& v)
{
    std::vector<double> s(v);
    std::sort(s.begin(), s.end());
    return s[s.size() / 2];
}

double Percentile(std::vector<double> v, double share)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<size_t>(share * double(v.size())))];
}

void BM_DriveFixToFrame(benchmark::State& state)
{
    ProgramSetup setup;
    CProcessObjects objects;
    RunUntilFirstFrame([&] {
        // The tick stands still: the benchmark itself polls and ticks, once a fix.
        platform::send(theApp->GetMainWnd()->GetMapWnd(), platform::WM_KILLFOCUS);
        CMapController& c = *g_MapController;
        c.SetFollowGps(1);
        c.SetMapScreenActive(0);
        // Four times faster than driven: every poll reads the next second's block.
        g_gpsSource->SetReplayOptions(0, 0, 4.0, 0);
        if (!g_gpsSource->SetReplayFileName(QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/Demo/Voradu drive.nm"))
            || !g_gpsSource->OpenPort(11, 4800)) {
            state.SkipWithError("the demo drive cannot be replayed");
            CloseApplication();
            return;
        }
        std::vector<double> ms;
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            g_gpsSource->Poll();
            c.OnTick();
            c.SetRedrawFlag(1);
            c.RenderNow();
            c.Draw();
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        state.counters["p50_ms"] = Percentile(ms, 0.5);
        state.counters["p99_ms"] = Percentile(ms, 0.99);
        state.counters["tick_ms"] = CGpsSource::POLL_PERIOD;
        g_gpsSource->Close();
        CloseApplication();
    });
}
BENCHMARK(BM_DriveFixToFrame)->Unit(benchmark::kMillisecond)->Iterations(300);

BENCHMARK(BM_VoraduKernelFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100)
    ->Repetitions(5)
    ->ComputeStatistics("p50", &Median);
BENCHMARK(BM_VoraduFrameWithOverlays)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100)
    ->Repetitions(5)
    ->ComputeStatistics("p50", &Median);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const auto start = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Travenor Pro"));
    g_qtStartMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
