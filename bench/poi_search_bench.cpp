// The POI search as the POI page runs it: a 2 km square around points of the
// map compiled from the Ostankino extract, on the query's worker thread, each
// result with its address. Reports the time from the start to the first
// result (the goal is under 50 ms) and to the whole list.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "bench/ostankino_map.h"
#include "kernel/api/map_query.h"

namespace {

using Clock = std::chrono::steady_clock;

// The map with a grid of 5 x 5 points over it.
class OstankinoPoints : public OstankinoMap {
public:
    OstankinoPoints()
    {
        ZXS_Rect bounds;
        if (!open || ZXS_MapGetBounds(Map(), &bounds) != 0)
            return;
        for (int i = 1; i <= 5; ++i)
            for (int j = 1; j <= 5; ++j)
                points.push_back({ bounds.left + (bounds.right - bounds.left) * i / 6,
                    bounds.top + (bounds.bottom - bounds.top) * j / 6 });
    }

    std::vector<ZXS_Point> points;
};

std::optional<OstankinoPoints> g_map;

// The moments a search reported, seen from the worker's callbacks.
struct Timeline {
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<Clock::time_point> first;
    std::optional<Clock::time_point> end;
    int rows = 0;
};

void BM_PoiSearch2kmOstankino(benchmark::State& state)
{
    if (!g_map)
        g_map.emplace();
    if (!g_map->open || g_map->points.empty()) {
        state.SkipWithError("the compiled Ostankino map is missing");
        return;
    }
    std::vector<double> first, whole;
    int rows = 0;
    for (auto _ : state) {
        double total = 0;
        for (const ZXS_Point& p : g_map->points) {
            Timeline timeline;
            CPoiNotification callbacks;
            callbacks.context = &timeline;
            callbacks.progress = [](void* context, int) {
                auto* t = static_cast<Timeline*>(context);
                std::lock_guard lock(t->mutex);
                if (!t->first)
                    t->first = Clock::now();
                ++t->rows;
                return 1;
            };
            callbacks.completion = [](void* context, int) {
                auto* t = static_cast<Timeline*>(context);
                {
                    std::lock_guard lock(t->mutex);
                    t->end = Clock::now();
                }
                t->ended.notify_all();
            };
            const auto start = Clock::now();
            StartPoiSearch(CPoiQuery::KIND_POINT, 2000, p.x, p.y, nullptr, QStringLiteral("Все"), &callbacks);
            std::unique_lock lock(timeline.mutex);
            timeline.ended.wait(lock, [&] { return timeline.end.has_value(); });
            const double seconds = std::chrono::duration<double>(*timeline.end - start).count();
            whole.push_back(seconds);
            total += seconds;
            if (timeline.first)
                first.push_back(std::chrono::duration<double>(*timeline.first - start).count());
            rows += timeline.rows;
        }
        state.SetIterationTime(total);
    }
    g_MapController->GetPoiSearcher().Stop(true);
    std::sort(first.begin(), first.end());
    std::sort(whole.begin(), whole.end());
    if (!first.empty()) {
        state.counters["first_p50_ms"] = first[first.size() / 2] * 1e3;
        state.counters["first_p99_ms"] = first[first.size() * 99 / 100] * 1e3;
    }
    state.counters["whole_p50_ms"] = whole[whole.size() / 2] * 1e3;
    state.counters["whole_p99_ms"] = whole[whole.size() * 99 / 100] * 1e3;
    state.counters["rows_per_search"] = static_cast<double>(rows) / static_cast<double>(whole.size());
}

} // namespace

BENCHMARK(BM_PoiSearch2kmOstankino)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_map.reset();
    return 0;
}
