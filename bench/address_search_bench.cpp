// The address search's name stage as the user types: every street name of the
// map compiled from the Ostankino extract typed one character at a time, each
// prefix searched through the address searcher, and in the same run through
// a plain scan that reads and compares every name of the map. Each reports the
// mean, median and 99th percentile time per typed character (the goal is a
// 99th percentile under 10 ms, so that the list keeps up with typing).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <vector>

#include "bench/ostankino_map.h"
#include "kernel/api/map_query.h"

namespace {

using Clock = std::chrono::steady_clock;

// The map with every street name of it, without its place in parentheses.
class OstankinoStreets : public OstankinoMap {
public:
    OstankinoStreets()
    {
        if (!open)
            return;
        CNameQuery query;
        query.pattern = QStringLiteral("*");
        g_MapController->GetAddressSearcher().FindNames(query);
        for (const CNameEntry& entry : g_MapController->GetAddressSearcher().GetNameList()) {
            if (entry.isStreet != 0)
                streets.push_back(entry.text.left(entry.text.lastIndexOf(QStringLiteral(" ("))));
        }
    }

    std::vector<QString> streets;
};

// Made on first use, gone before the application ends.
std::optional<OstankinoStreets> g_map;

OstankinoStreets& Map()
{
    if (!g_map)
        g_map.emplace();
    return *g_map;
}

// The named objects of the map's plain layers, gathered once.
std::vector<int32_t> NamedObjects(const CZXS_MapHandle* map)
{
    std::vector<int32_t> objects;
    const ZXS_EnumCallback collect = [](void* user, int32_t object, int32_t, int32_t) -> int32_t {
        static_cast<std::vector<int32_t>*>(user)->push_back(object);
        return 1;
    };
    ZXS_MapEnumObjectsByNameW(map, -1, u"*", nullptr, collect, &objects, 0);
    return objects;
}

// Every one of those names read and compared, as a search without the
// kernel's name matching would.
int ScanNames(const CZXS_MapHandle* map, const std::vector<int32_t>& objects, const QString& prefix)
{
    int found = 0;
    std::array<char16_t, 256> buffer {};
    for (const int32_t object : objects) {
        const int32_t id = ZXS_ObjGetLinkId(map, object, -1);
        if (id == -1
            || ZXS_ObjGetNameW(map, id, 0, buffer.data(), static_cast<int32_t>(buffer.size()), 0) != 0)
            continue;
        if (QString::fromUtf16(buffer.data()).startsWith(prefix, Qt::CaseInsensitive))
            ++found;
    }
    return found;
}

// Types every street name one character at a time through `search` and
// reports the times per character.
template <class Search> void TypeStreets(benchmark::State& state, Search search)
{
    OstankinoStreets& map = Map();
    if (!map.open || map.streets.empty()) {
        state.SkipWithError("the compiled Ostankino map is missing");
        return;
    }
    std::vector<double> all;
    int64_t characters = 0;
    int found = 0;
    for (auto _ : state) {
        double total = 0;
        for (const QString& street : map.streets) {
            for (qsizetype n = 1; n <= street.size(); ++n) {
                const QString prefix = street.left(n);
                const auto begin = Clock::now();
                found += search(prefix);
                const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
                all.push_back(seconds);
                total += seconds;
                ++characters;
            }
        }
        state.SetIterationTime(total);
    }
    benchmark::DoNotOptimize(found);
    std::sort(all.begin(), all.end());
    double sum = 0;
    for (double t : all)
        sum += t;
    state.counters["mean_us"] = sum / static_cast<double>(all.size()) * 1e6;
    state.counters["p50_us"] = all[all.size() / 2] * 1e6;
    state.counters["p99_us"] = all[all.size() * 99 / 100] * 1e6;
    state.SetItemsProcessed(characters);
}

void BM_NameStageOstankino(benchmark::State& state)
{
    TypeStreets(state, [](const QString& prefix) {
        CNameQuery query;
        query.pattern = prefix;
        CAddressSearcher& searcher = g_MapController->GetAddressSearcher();
        searcher.FindNames(query);
        return static_cast<int>(searcher.GetNameList().size());
    });
}

void BM_ScanEveryNameOstankino(benchmark::State& state)
{
    const CZXS_MapHandle* map = Map().open ? g_MapController->GetMapSet().ActiveMap() : nullptr;
    const std::vector<int32_t> objects = NamedObjects(map);
    TypeStreets(state, [&](const QString& prefix) { return ScanNames(map, objects, prefix); });
}

} // namespace

BENCHMARK(BM_NameStageOstankino)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanEveryNameOstankino)->UseManualTime()->Unit(benchmark::kMillisecond);

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
