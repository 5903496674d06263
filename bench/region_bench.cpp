// How the costs of a driver's work grow with the size of a map: for each
// generated city that scripts/bench.sh --region compiled (about 10k, 100k and
// 500k road nodes), the compile time and peak memory it noted, the resident
// memory of opening the map and drawing a close-up frame, one-block, 1 km and
// far routes beside the Boost reference (whose costs must equal the router's),
// snapping two points, and empty, close-up and whole-map frames; then the
// growth from each size to the next.
//   region_bench FOLDER
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "kernel/api/app_interface.h"
#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/router/graph_router.h"
#include "tests/support/reference_router.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kWidth = 640, kHeight = 480;

double Micro(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::micro>(b - a).count();
}

struct Spread {
    double p50 = 0, p99 = 0;
};

Spread SpreadOf(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    return { v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)] };
}

struct Row {
    std::string name;
    uint32_t nodes = 0;
    double compileSeconds = 0;
    double compileMiB = 0;
    double residentMiB = 0;
    Spread route[3], reference[3];
    int checked = 0, mismatches = 0;
    Spread snap;
    double emptyMs = 0, closeMs = 0, wholeMs = 0;
};

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

const std::string& Fonts()
{
    static const std::string fonts = std::string(TRAVENOR_BUILD_DATA_DIR) + "/";
    return fonts;
}

// A view of the map's frame at (x, y) and `scale`; the median milliseconds of
// `times` renders.
double FrameMs(CZXS_MapHandle& map, int32_t x, int32_t y, int32_t scale, int times)
{
    CZXS_ViewHandle view;
    if (ZXS_ViewCreate(&view, &map) != 0 || ZXS_ViewResize(&view, nullptr, kWidth, kHeight, 1) != 0
        || ZXS_ViewSetPosition(&view, x, y, scale) != 0)
        return -1;
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        const auto begin = Clock::now();
        ZXS_ViewClear(&view);
        ZXS_ViewRender(&view, 0, nullptr);
        ms.push_back(Micro(begin, Clock::now()) / 1000);
    }
    ZXS_ViewDestroy(&view);
    return SpreadOf(ms).p50;
}

constexpr int32_t kCloseScale = 1000; // map units (metres) per 128 pixels

// In a child process, so that nothing the parent holds counts: the resident
// memory after opening the map and drawing a close-up frame, less that before.
double ResidentGrowthMiB(const std::string& path)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        CZXS_AppHandle app;
        long growth = -1;
        if (ZXS_AppCreate(&app, nullptr, 0, Fonts().c_str(), 0) == 0) {
            // The same process with no map: the kernel started and a frame's
            // buffers made once.
            const long before = ResidentKiB();
            static const char owner = 0;
            CZXS_MapHandle map;
            if (ZXS_MapOpenA(&map, &owner, path.c_str(), nullptr, 0, 1) == 0) {
                ZXS_Point centre;
                ZXS_MapGetCenter(&map, &centre);
                FrameMs(map, centre.x, centre.y, kCloseScale, 1);
                growth = ResidentKiB() - before;
                ZXS_MapClose(&map);
            }
            ZXS_AppExit(&app);
        }
        const ssize_t written = ::write(pipeEnds[1], &growth, sizeof growth);
        ::_exit(written == sizeof growth ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    long growth = -1;
    if (child < 0 || ::read(pipeEnds[0], &growth, sizeof growth) != sizeof growth)
        growth = -1;
    ::close(pipeEnds[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return growth < 0 ? -1 : growth / 1024.0;
}

// Pairs of points for one kind of route: `metres` apart (0: anywhere).
struct Pair {
    ZXS_Point from, to;
};

std::vector<Pair> Pairs(CZXS_TzxDoc& doc, CZXS_GraphRouter& router, double metres, double unitsPerMetre,
    int count, std::mt19937& random)
{
    std::vector<Pair> pairs;
    std::uniform_real_distribution<double> angle(0, 2 * M_PI);
    const int32_t radius = static_cast<int32_t>(150 * unitsPerMetre);
    while (static_cast<int>(pairs.size()) < count) {
        const ZXS_Point from = testing_support::RandomRoadPoint(doc, random);
        ZXS_Point to = testing_support::RandomRoadPoint(doc, random);
        if (metres > 0) {
            const double a = angle(random);
            to = { from.x + static_cast<int32_t>(std::lround(std::cos(a) * metres * unitsPerMetre)),
                from.y + static_cast<int32_t>(std::lround(std::sin(a) * metres * unitsPerMetre)) };
        }
        router.Clear();
        if (router.AddPoint(CZXS_Router::kStart, from.x, from.y, radius, -1, CZXS_Router::kAnyName, 0) != 0
            || router.AddPoint(CZXS_Router::kFinish, to.x, to.y, radius, -1, CZXS_Router::kAnyName, 0) != 0
            || router.Calculate(CZXS_Router::kFastest) != 0)
            continue;
        pairs.push_back({ from, to });
    }
    return pairs;
}

Row Measure(const std::string& name, const std::string& path)
{
    Row row;
    row.name = name;
    row.residentMiB = ResidentGrowthMiB(path);

    CZXS_AppHandle app;
    if (ZXS_AppCreate(&app, nullptr, 0, Fonts().c_str(), 0) != 0)
        return row;
    static const char owner = 0;
    CZXS_MapHandle map;
    if (ZXS_MapOpenA(&map, &owner, path.c_str(), nullptr, 0, 1) != 0) {
        ZXS_AppExit(&app);
        return row;
    }
    CZXS_TzxDoc& doc = map.pDoc->Map();
    row.nodes = doc.RoadGraph().NodeCount();
    double resolution = doc.Header().I32(CZXS_TzxHeader::kResolution);
    if (resolution == 0)
        resolution = doc.Header().U16(CZXS_TzxHeader::kResolution100) * 100.0;
    const double unitsPerMetre = resolution > 0 ? resolution * 0.0001 : 1.0;

    CZXS_GraphRouter router;
    router.Attach(&doc);
    std::mt19937 random(1);
    const int32_t radius = static_cast<int32_t>(150 * unitsPerMetre);

    // Snapping two points.
    std::vector<double> snaps;
    for (int i = 0; i < 200; ++i) {
        const ZXS_Point a = testing_support::RandomRoadPoint(doc, random);
        const ZXS_Point b = testing_support::RandomRoadPoint(doc, random);
        router.Clear();
        const auto begin = Clock::now();
        router.AddPoint(CZXS_Router::kStart, a.x, a.y, radius, -1, CZXS_Router::kAnyName, 0);
        router.AddPoint(CZXS_Router::kFinish, b.x, b.y, radius, -1, CZXS_Router::kAnyName, 0);
        snaps.push_back(Micro(begin, Clock::now()));
    }
    row.snap = SpreadOf(snaps);

    // Routes: one block (200 m), 1 km and anywhere; the reference on a share.
    const double kinds[3] = { 200, 1000, 0 };
    const int counts[3] = { 300, 200, 20 };
    const int referenced[3] = { 12, 12, 6 };
    std::optional<testing_support::ReferenceRouter> reference;
    reference.emplace(doc, CZXS_Router::kFastest);
    for (int k = 0; k < 3; ++k) {
        const std::vector<Pair> pairs = Pairs(doc, router, kinds[k], unitsPerMetre, counts[k], random);
        std::vector<double> times, referenceTimes;
        for (size_t i = 0; i < pairs.size(); ++i) {
            router.Clear();
            router.AddPoint(
                CZXS_Router::kStart, pairs[i].from.x, pairs[i].from.y, radius, -1, CZXS_Router::kAnyName, 0);
            router.AddPoint(
                CZXS_Router::kFinish, pairs[i].to.x, pairs[i].to.y, radius, -1, CZXS_Router::kAnyName, 0);
            const auto begin = Clock::now();
            router.Calculate(CZXS_Router::kFastest);
            times.push_back(Micro(begin, Clock::now()));
            if (static_cast<int>(i) < referenced[k]) {
                CZXS_RouterPoint from, to;
                router.LegPointAt(0, from);
                router.LegPointAt(1, to);
                const auto start = Clock::now();
                const std::optional<uint64_t> cost = reference->Cost(from, to);
                referenceTimes.push_back(Micro(start, Clock::now()));
                ++row.checked;
                if (!cost || *cost != router.RouteCost())
                    ++row.mismatches;
            }
        }
        row.route[k] = SpreadOf(times);
        row.reference[k] = SpreadOf(referenceTimes);
    }
    reference.reset();

    // Frames: nothing in view (beside the map), a close-up of the centre, the whole map.
    ZXS_Rect bounds;
    ZXS_MapGetBounds(&map, &bounds);
    ZXS_Point centre;
    ZXS_MapGetCenter(&map, &centre);
    const int32_t width = std::abs(bounds.right - bounds.left), height = std::abs(bounds.bottom - bounds.top);
    const int32_t emptyX = std::max(bounds.left, bounds.right) + 20 * kCloseScale;
    row.emptyMs = FrameMs(map, emptyX, centre.y, kCloseScale, 50);
    row.closeMs = FrameMs(map, centre.x, centre.y, kCloseScale, 20);
    const int32_t wholeScale = static_cast<int32_t>(
        std::ceil(std::max(double(width) / kWidth, double(height) / kHeight) * 128 * 1.05));
    row.wholeMs = FrameMs(map, centre.x, centre.y, std::clamp(wholeScale, 8, 10000000), 3);

    router.Detach();
    ZXS_MapClose(&map);
    ZXS_AppExit(&app);
    return row;
}

std::string Ratio(double a, double b)
{
    char text[32];
    if (a <= 0 || b <= 0)
        return "-";
    std::snprintf(text, sizeof text, "x%.2f", b / a);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: region_bench FOLDER (the cities scripts/bench.sh --region compiled)\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::map<std::string, std::pair<double, double>> compiled;
    std::ifstream notes(folder + "/compile.txt");
    std::string line;
    while (std::getline(notes, line)) {
        std::istringstream fields(line);
        std::string name;
        double seconds = 0, kib = 0;
        if (fields >> name >> seconds >> kib)
            compiled[name] = { seconds, kib / 1024 };
    }
    std::vector<Row> rows;
    for (const char* name : { "city10k", "city100k", "city500k" }) {
        const std::string path = folder + "/" + name + ".tzx";
        struct stat info { };
        if (::stat(path.c_str(), &info) != 0)
            continue;
        std::fprintf(stderr, "measuring %s...\n", name);
        Row row = Measure(name, path);
        if (const auto it = compiled.find(name); it != compiled.end()) {
            row.compileSeconds = it->second.first;
            row.compileMiB = it->second.second;
        }
        rows.push_back(row);
    }

    std::printf("\nmap        road nodes  compile s  compile MiB  resident MiB (open + close-up)\n");
    for (const Row& r : rows)
        std::printf("%-10s %10u %10.2f %12.0f %14.1f\n", r.name.c_str(), r.nodes, r.compileSeconds,
            r.compileMiB, r.residentMiB);
    const char* kinds[3] = { "one-block", "1 km", "far" };
    std::printf("\nroutes, microseconds p50/p99 (Boost reference p50/p99)\n");
    std::printf("%-10s", "map");
    for (const char* k : kinds)
        std::printf(" %-30s", k);
    std::printf(" costs equal\n");
    for (const Row& r : rows) {
        std::printf("%-10s", r.name.c_str());
        for (int k = 0; k < 3; ++k) {
            char cell[64];
            std::snprintf(cell, sizeof cell, "%.1f/%.1f (%.0f/%.0f)", r.route[k].p50, r.route[k].p99,
                r.reference[k].p50, r.reference[k].p99);
            std::printf(" %-30s", cell);
        }
        std::printf(" %d of %d\n", r.checked - r.mismatches, r.checked);
    }
    std::printf("\nmap        snap two points us p50/p99   frame ms: empty  close-up  whole map\n");
    for (const Row& r : rows)
        std::printf("%-10s %14.0f/%-14.0f %14.3f %9.3f %10.1f\n", r.name.c_str(), r.snap.p50, r.snap.p99,
            r.emptyMs, r.closeMs, r.wholeMs);
    std::printf("\ngrowth     compile  one-block  1 km   far    snap   empty  close-up  whole  resident\n");
    for (size_t i = 1; i < rows.size(); ++i) {
        const Row& a = rows[i - 1];
        const Row& b = rows[i];
        std::printf("%-10s %-8s %-10s %-6s %-6s %-6s %-6s %-9s %-6s %s\n",
            (b.name + "/" + a.name.substr(4)).c_str(), Ratio(a.compileSeconds, b.compileSeconds).c_str(),
            Ratio(a.route[0].p50, b.route[0].p50).c_str(), Ratio(a.route[1].p50, b.route[1].p50).c_str(),
            Ratio(a.route[2].p50, b.route[2].p50).c_str(), Ratio(a.snap.p50, b.snap.p50).c_str(),
            Ratio(a.emptyMs, b.emptyMs).c_str(), Ratio(a.closeMs, b.closeMs).c_str(),
            Ratio(a.wholeMs, b.wholeMs).c_str(), Ratio(a.residentMiB, b.residentMiB).c_str());
    }
    int mismatches = 0;
    for (const Row& r : rows)
        mismatches += r.mismatches;
    return mismatches == 0 ? 0 : 1;
}
