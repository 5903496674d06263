// Decoding object point runs: every drawn or searched object goes through it.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kernel/doc/point_iterator.h"

namespace {

struct Run {
    std::vector<uint8_t> bytes;
    CZXS_ObjectRecord record;
};

// A street-like run of `points` points with mostly short steps.
Run MakeRun(int scheme, int points)
{
    const CZXS_PointCoding& coding = *CZXS_PointCoding::ForScheme(scheme);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(-100, 100);
    Run run;
    run.bytes.resize(6);
    int32_t x = 20000, y = 20000;
    run.bytes.resize(
        static_cast<size_t>(coding.UnitsToBytes(coding.EncodeAbsolute(run.bytes.data(), 6, x, y))));
    uint8_t buffer[CZXS_PointCoding::kMaxDeltaBytes];
    for (int i = 1; i < points; ++i) {
        const int32_t dx = i % 20 == 0 ? 3000 : step(random);
        const int32_t dy = step(random) | 1;
        const int32_t units = coding.EncodeDelta(buffer, sizeof buffer, dx, dy);
        run.bytes.insert(run.bytes.end(), buffer, buffer + coding.UnitsToBytes(units));
    }
    run.record.SetCoding(scheme);
    run.record.SetRunLength(static_cast<uint16_t>(run.bytes.size()));
    return run;
}

void BM_DecodeRun(benchmark::State& state)
{
    const Run run = MakeRun(static_cast<int>(state.range(0)), 2000);
    for (auto _ : state) {
        CZXS_PointIterator it;
        it.Begin(0, 0, run.bytes.data(), static_cast<uint32_t>(run.bytes.size()), 0, run.record);
        int64_t sum = 0;
        while (it.Next() == 1)
            sum += it.Current().x;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_DecodeRun)->Arg(0)->Arg(1)->Arg(2);

} // namespace

BENCHMARK_MAIN();
