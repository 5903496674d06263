// Whole map frames (every pass, labels included) of the densest views of the
// Monaco and Ostankino maps at 480x640 and 240x320, against a full-frame clear
// plus copy of the same size measured in the same run. Each frame benchmark
// reports `per_clear_copy`: its time as a multiple of that clear plus copy.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kernel/api/app_interface.h"
#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "kernel/render/view.h"

namespace {

// The extracts compiled beside the benchmarks' folder (<build>/maps).
std::string MapPath(const char* name)
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "maps" / name)
        .string();
}

struct Session {
    Session()
    {
        const std::string fonts = std::string(TRAVENOR_BUILD_DATA_DIR) + "/";
        started = ZXS_AppCreate(&app, nullptr, 0, fonts.c_str(), 0) == 0;
    }
    ~Session() { ZXS_AppExit(&app); }
    CZXS_AppHandle app;
    bool started = false;
};

Session& Kernel()
{
    static Session session;
    return session;
}

struct OpenMap {
    CZXS_MapHandle handle;
    bool opened = false;
    char owner = 0;
};

OpenMap& MapOf(const char* name)
{
    static std::map<std::string, std::unique_ptr<OpenMap>> maps;
    auto& slot = maps[name];
    if (!slot) {
        slot = std::make_unique<OpenMap>();
        slot->opened = ZXS_MapOpenA(&slot->handle, &slot->owner, MapPath(name).c_str(), nullptr, 0, 0) == 0;
    }
    return *slot;
}

// Nanoseconds of one clear plus copy, by size.
std::map<int, double>& ClearCopyNs()
{
    static std::map<int, double> times;
    return times;
}

// The view over a 7 x 7 grid of the map's extent that draws the most objects.
ZXS_Point Densest(CZXS_ViewHandle& view, CZXS_MapHandle& map, int32_t scale)
{
    ZXS_Rect bounds;
    ZXS_MapGetBounds(&map, &bounds);
    ZXS_Point best { 0, 0 };
    int32_t most = -1;
    for (int i = 1; i < 8; ++i)
        for (int j = 1; j < 8; ++j) {
            const int32_t x
                = bounds.left + static_cast<int32_t>((int64_t { bounds.right } - bounds.left) * i / 8);
            const int32_t y
                = bounds.top + static_cast<int32_t>((int64_t { bounds.bottom } - bounds.top) * j / 8);
            ZXS_ViewSetPosition(&view, x, y, scale);
            ZXS_ViewClear(&view);
            ZXS_ViewRender(&view, 0, nullptr);
            const int32_t objects = view.pView->Counts().objects;
            if (objects > most) {
                most = objects;
                best = { x, y };
            }
        }
    return best;
}

void ClearCopy(benchmark::State& state)
{
    const int32_t w = static_cast<int32_t>(state.range(0));
    const int32_t h = static_cast<int32_t>(state.range(1));
    if (!Kernel().started || !MapOf("monaco.tzx").opened) {
        state.SkipWithError("the kernel or the map does not open");
        return;
    }
    CZXS_ViewHandle view;
    ZXS_ViewCreate(&view, &MapOf("monaco.tzx").handle);
    ZXS_ViewResize(&view, nullptr, w, h, 1);
    std::vector<uint16_t> screen(static_cast<size_t>(w) * h);
    ZXS_DeviceContext dc { reinterpret_cast<uint8_t*>(screen.data()), w, h, w * 2 };
    const auto start = std::chrono::steady_clock::now();
    int64_t n = 0;
    for (auto _ : state) {
        ZXS_ViewClear(&view);
        ZXS_ViewBlt(&view, &dc, 0, 0, ZXS_SRCCOPY);
        benchmark::DoNotOptimize(screen.data());
        ++n;
    }
    const double ns
        = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    ClearCopyNs()[w] = ns / static_cast<double>(std::max<int64_t>(n, 1));
    ZXS_ViewDestroy(&view);
}

void Frame(benchmark::State& state, const char* mapName, int32_t scale)
{
    const int32_t w = static_cast<int32_t>(state.range(0));
    const int32_t h = static_cast<int32_t>(state.range(1));
    // The kernel starts before any map opens, whichever benchmark runs first.
    const bool started = Kernel().started;
    OpenMap& map = MapOf(mapName);
    if (!started || !map.opened) {
        state.SkipWithError("the kernel or the map does not open");
        return;
    }
    CZXS_ViewHandle view;
    ZXS_ViewCreate(&view, &map.handle);
    ZXS_ViewResize(&view, nullptr, w, h, 1);
    const ZXS_Point centre = Densest(view, map.handle, scale);
    ZXS_ViewSetPosition(&view, centre.x, centre.y, scale);
    std::vector<uint16_t> screen(static_cast<size_t>(w) * h);
    ZXS_DeviceContext dc { reinterpret_cast<uint8_t*>(screen.data()), w, h, w * 2 };
    const auto start = std::chrono::steady_clock::now();
    int64_t n = 0;
    for (auto _ : state) {
        ZXS_ViewClear(&view);
        if (ZXS_ViewRender(&view, 0, &dc) != 0) {
            state.SkipWithError("the frame fails");
            break;
        }
        ++n;
    }
    const double ns
        = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    state.counters["objects"] = view.pView->Counts().objects;
    state.counters["labels"] = view.pView->Counts().labels;
    const auto base = ClearCopyNs().find(w);
    if (base != ClearCopyNs().end() && base->second > 0)
        state.counters["per_clear_copy"] = ns / static_cast<double>(std::max<int64_t>(n, 1)) / base->second;
    ZXS_ViewDestroy(&view);
}

void MonacoFrame(benchmark::State& state) { Frame(state, "monaco.tzx", 700); }
void OstankinoFrame(benchmark::State& state) { Frame(state, "moscow-ostankino.tzx", 1000); }

} // namespace

BENCHMARK(ClearCopy)->Args({ 480, 640 })->Args({ 240, 320 })->Unit(benchmark::kMicrosecond);
double Median(const std::vector<double>& v)
{
    std::vector<double> s(v);
    std::sort(s.begin(), s.end());
    return s[s.size() / 2];
}

BENCHMARK(MonacoFrame)
    ->Args({ 480, 640 })
    ->Args({ 240, 320 })
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("p50", &Median);
BENCHMARK(OstankinoFrame)
    ->Args({ 480, 640 })
    ->Args({ 240, 320 })
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("p50", &Median);

BENCHMARK_MAIN();
