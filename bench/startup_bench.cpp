// The program's start on the shipped Voradu map at 480x640, in this process:
// from building its process objects to the first map frame copied to the
// display (the application object, the start-up checks, the loading window,
// the pictures, the map and the draw thread's first frame); Qt's own start,
// made once for the process, is the counter `qt_start_ms`. And the program's
// CPU use while it shows an unchanged map for 10 s, as a share of one core.

#include <benchmark/benchmark.h>

#include "app/draw_thread.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "foundation/screen_metrics.h"
#include "platform/options.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>

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
