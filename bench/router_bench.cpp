// Routing on the maps compiled from the Monaco and Ostankino extracts: 1000
// seeded random routes on each through the kernel's router and, in the same
// run, through a plain Dijkstra of the Boost Graph Library over the same
// graph. Each reports the mean, median and 99th percentile processor time per
// route.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/router/graph_router.h"
#include "tests/support/reference_router.h"

namespace {

constexpr int kRoutes = 1000;

// The compiled map beside the benchmarks' folder (<build>/maps), or in TRAVENOR_ROUTER_MAPS_DIR.
std::string MapPath(const std::string& name)
{
    if (const char* folder = std::getenv("TRAVENOR_ROUTER_MAPS_DIR"))
        return std::string(folder) + "/" + name + ".tzx";
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "maps"
        / (name + ".tzx"))
        .string();
}

struct Routes {
    CZXS_TzxDoc doc;
    bool open = false;
    std::vector<ZXS_Point> from, to;
    std::vector<CZXS_RouterPoint> start, finish;

    explicit Routes(const std::string& name)
    {
        CZXS_PassageJournal::SetMode(0);
        const std::string path = MapPath(name);
        ZXS_MapSource source;
        source.path = path.c_str();
        open = doc.Open(&source, nullptr, 0, CZXS_DiskStream::kDisk) == 1 && doc.RoadGraph().EdgeCount() > 0;
        if (!open)
            return;
        std::mt19937 random(1000);
        CZXS_GraphRouter router;
        router.Attach(&doc);
        while (from.size() < kRoutes) {
            const ZXS_Point a = testing_support::RandomRoadPoint(doc, random);
            const ZXS_Point b = testing_support::RandomRoadPoint(doc, random);
            router.Clear();
            CZXS_RouterPoint s, f;
            if (router.AddPoint(CZXS_Router::kStart, a.x, a.y, 5, -1, CZXS_Router::kAnyName, 0) != 0
                || router.AddPoint(CZXS_Router::kFinish, b.x, b.y, 5, -1, CZXS_Router::kAnyName, 0) != 0
                || !router.LegPointAt(0, s) || !router.LegPointAt(1, f) || s.roadOffset == f.roadOffset)
                continue;
            from.push_back(a);
            to.push_back(b);
            start.push_back(s);
            finish.push_back(f);
        }
    }
};

Routes& MapRoutes(const std::string& name)
{
    static std::map<std::string, std::unique_ptr<Routes>> routes;
    auto& slot = routes[name];
    if (!slot)
        slot = std::make_unique<Routes>(name);
    return *slot;
}

// The thread's processor time: on a machine shared with other work a route
// cut off by the scheduler would otherwise land among the slowest.
struct Clock {
    static double now()
    {
        timespec t {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + t.tv_nsec * 1e-9;
    }
};

// Times each route with `route(i)` and reports the per-route figures.
template <class Route> void TimeRoutes(benchmark::State& state, Route route)
{
    std::vector<double> times;
    times.reserve(kRoutes);
    std::vector<double> all;
    for (auto _ : state) {
        times.clear();
        double total = 0;
        for (int i = 0; i < kRoutes; ++i) {
            const double seconds = route(i);
            times.push_back(seconds);
            total += seconds;
        }
        state.SetIterationTime(total);
        all.insert(all.end(), times.begin(), times.end());
    }
    std::sort(all.begin(), all.end());
    double sum = 0;
    for (double t : all)
        sum += t;
    state.counters["mean_us"] = sum / all.size() * 1e6;
    state.counters["p50_us"] = all[all.size() / 2] * 1e6;
    state.counters["p99_us"] = all[all.size() * 99 / 100] * 1e6;
    state.SetItemsProcessed(state.iterations() * kRoutes);
}

void BM_Router(benchmark::State& state, const std::string& name)
{
    Routes& routes = MapRoutes(name);
    if (!routes.open) {
        state.SkipWithError(("the compiled map " + name + " is missing").c_str());
        return;
    }
    CZXS_GraphRouter router;
    router.Attach(&routes.doc);
    uint64_t costs = 0;
    TimeRoutes(state, [&](int i) {
        router.Clear();
        router.AddPoint(
            CZXS_Router::kStart, routes.from[i].x, routes.from[i].y, 5, -1, CZXS_Router::kAnyName, 0);
        router.AddPoint(
            CZXS_Router::kFinish, routes.to[i].x, routes.to[i].y, 5, -1, CZXS_Router::kAnyName, 0);
        const auto begin = Clock::now();
        router.Calculate(CZXS_Router::kFastest);
        const auto end = Clock::now();
        costs += router.RouteCost();
        return end - begin;
    });
    benchmark::DoNotOptimize(costs);
}

void BM_BoostDijkstra(benchmark::State& state, const std::string& name)
{
    Routes& routes = MapRoutes(name);
    if (!routes.open) {
        state.SkipWithError(("the compiled map " + name + " is missing").c_str());
        return;
    }
    testing_support::ReferenceRouter reference(routes.doc, CZXS_Router::kFastest);
    uint64_t costs = 0;
    TimeRoutes(state, [&](int i) {
        const auto begin = Clock::now();
        const std::optional<uint64_t> cost = reference.Cost(routes.start[i], routes.finish[i]);
        const auto end = Clock::now();
        costs += cost.value_or(0);
        return end - begin;
    });
    benchmark::DoNotOptimize(costs);
}

} // namespace

BENCHMARK_CAPTURE(BM_Router, Monaco, std::string("monaco"))->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BoostDijkstra, Monaco, std::string("monaco"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Router, Ostankino, std::string("moscow-ostankino"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BoostDijkstra, Ostankino, std::string("moscow-ostankino"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
