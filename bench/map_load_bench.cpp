// Opening a large map (100,000 objects) through the mapped stream, as the
// program opens its maps, and the same map from memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "tools/mapwriter/map_writer.h"

namespace {

mapwriter::MapDescription LargeMap(int objects)
{
    mapwriter::MapDescription m;
    m.dictionary = { { 1, 0, "buildings" }, { 2, 0, "streets" } };
    for (int i = 0; i < 64; ++i)
        m.names.push_back({ "Name " + std::to_string(i) });
    mapwriter::Layer buildings;
    buildings.nameWord = 1;
    mapwriter::Layer streets;
    streets.nameWord = 2;
    uint32_t seed = 2026;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    // Objects laid out cell by cell so that each block of 64 stays compact,
    // as a compiler that sorts objects spatially writes them.
    for (int i = 0; i < objects; ++i) {
        const int32_t x = 1000 + (i % 400) * 500 + static_cast<int32_t>(next() % 300);
        const int32_t y = 1000 + (i / 400) * 500 + static_cast<int32_t>(next() % 300);
        mapwriter::Record r;
        r.name = i % 64;
        if (i % 3 == 0) {
            r.points = { { x, y }, { x + 120, y + 5 }, { x + 240, y - 3 }, { x + 400, y + 20 } };
            r.linkId = i;
            r.forward = true;
            r.backward = true;
            streets.records.push_back(r);
        } else {
            r.points = { { x, y }, { x + 30, y }, { x + 30, y + 25 }, { x, y + 25 } };
            r.closed = true;
            buildings.records.push_back(r);
        }
    }
    m.layers = { buildings, streets };
    m.firstRoadLayer = 1;
    m.roadLayerCount = 1;
    return m;
}

struct MapFiles {
    std::string folder;
    std::string map;
    MapFiles()
    {
        folder = (std::filesystem::temp_directory_path() / "travenor-map-load-bench").string();
        std::filesystem::create_directories(folder);
        map = folder + "/large.tzx";
        const mapwriter::MapDescription description = LargeMap(100000);
        mapwriter::SaveFile(map, mapwriter::WriteTzx(description));
        mapwriter::SaveFile(
            folder + "/large.zxg", mapwriter::WriteZxg(mapwriter::BuildRoadGraph(description)));
    }
    ~MapFiles()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

const MapFiles& Files()
{
    static const MapFiles files;
    return files;
}

void OpenMapped(benchmark::State& state)
{
    ZXS_MapSource source;
    source.path = Files().map.c_str();
    // The journal stays unwritten: a benchmark leaves no files behind.
    CZXS_PassageJournal::SetMode(0);
    for (auto _ : state) {
        CZXS_TzxDoc doc;
        if (doc.Open(&source, nullptr, 0, CZXS_DiskStream::kMapped) != 1)
            state.SkipWithError("the map did not open");
        benchmark::DoNotOptimize(doc.Objects().Count());
        doc.Release();
    }
    state.counters["objects"] = 100000;
}
BENCHMARK(OpenMapped)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
