// Routes between points of a map through the kernel's router and prints the
// route points, the route's length and its cost; with --pairs, routes every
// pair of points of a file in one process and prints a line for each.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/router/graph_router.h"
#include "tools/common/tool_args.h"

namespace {

const char kUsage[]
    = "usage: kroute [--shortest] [--journal] [--radius UNITS] MAP.tzx X1 Y1 X2 Y2 [VX VY]...\n"
      "       kroute [--shortest] [--journal] [--radius UNITS] --pairs FILE MAP.tzx\n"
      "Routes from (X1, Y1) to (X2, Y2) through the via points and prints each route point\n"
      "(x, y, road object, branches, flags), the length in metres and the cost.\n"
      "  X, Y        a point in map units (the map's own coordinates, whole numbers)\n"
      "  --pairs     route every line \"X1 Y1 X2 Y2\" of FILE and print for each the length in\n"
      "              metres, the cost and the microseconds the calculation took, or \"failed:\"\n"
      "              and why\n"
      "  --shortest  route by length (default: by travel time)\n"
      "  --journal   route with the passage journal beside the map (cost classes and closures)\n"
      "  --radius    how far from a point a road may be, in map units (default: 200 m)\n"
      "  --help      print this and exit\n";

const char* Describe(int result)
{
    switch (result) {
    case CZXS_Router::kNotSupported:
        return "the map's road graph cannot be routed on";
    case 2:
        return "too few points, or no route point came out";
    case CZXS_Router::kTooManyVias:
        return "too many via points";
    case CZXS_Router::kUnreachable:
        return "the points cannot be connected";
    case CZXS_Router::kNoEdge:
        return "no road-graph edge belongs to the road near a point";
    case CZXS_Router::kNoRoadNear:
        return "no road segment near a point";
    case CZXS_Router::kNoMemory:
        return "out of memory";
    default:
        return "the route could not be built";
    }
}

// The route's length in map units along its points.
double RouteLength(const CZXS_Router& router)
{
    double length = 0;
    CZXS_RoutePoint point;
    CZXS_RoutePoint previous;
    for (uint32_t i = 0; router.PointAt(i, point); ++i) {
        // A via point is repeated as the start of the next leg; that step is no way.
        if (i > 0)
            length += std::hypot(double(point.x) - previous.x, double(point.y) - previous.y);
        previous = point;
    }
    return length;
}

uint64_t RouteCost(const CZXS_Router& router)
{
    const auto* graphRouter = dynamic_cast<const CZXS_GraphRouter*>(&router);
    return graphRouter ? graphRouter->RouteCost() : 0;
}

// One line for each line of the file: "LENGTH COST MICROSECONDS", or
// "failed: WHY (CODE)"; a line that is not four whole numbers is refused.
int RoutePairs(
    CZXS_Router& router, std::istream& in, int option, int32_t radius, int useJournal, double unitsPerMetre)
{
    std::printf("# length_m cost microseconds\n");
    std::string line;
    int failed = 0;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream fields(line);
        std::string word;
        std::vector<int32_t> coords;
        while (fields >> word) {
            long long v = 0;
            if (!toolargs::ParseInt(word.c_str(), INT32_MIN, INT32_MAX, v)) {
                coords.clear();
                break;
            }
            coords.push_back(static_cast<int32_t>(v));
        }
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        if (coords.size() != 4) {
            std::fprintf(stderr, "kroute: line %d of the file of points is not X1 Y1 X2 Y2\n", number);
            return 2;
        }
        router.Clear();
        int result = router.AddPoint(
            CZXS_Router::kStart, coords[0], coords[1], radius, -1, CZXS_Router::kAnyName, useJournal);
        if (result == 0)
            result = router.AddPoint(
                CZXS_Router::kFinish, coords[2], coords[3], radius, -1, CZXS_Router::kAnyName, useJournal);
        const auto begin = std::chrono::steady_clock::now();
        if (result == 0)
            result = router.Calculate(option);
        const auto end = std::chrono::steady_clock::now();
        if (result != 0) {
            std::printf("failed: %s (%d)\n", Describe(result), result);
            ++failed;
            continue;
        }
        std::printf("%.1f %llu %lld\n", RouteLength(router) / unitsPerMetre,
            static_cast<unsigned long long>(RouteCost(router)),
            static_cast<long long>(
                std::chrono::duration_cast<std::chrono::microseconds>(end - begin).count()));
    }
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    int option = CZXS_Router::kFastest;
    int useJournal = 0;
    int32_t radius = -1;
    const char* pairs = nullptr;
    std::vector<const char*> args;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        long long value = 0;
        if (std::strcmp(arg, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (std::strcmp(arg, "--shortest") == 0) {
            option = CZXS_Router::kShortest;
        } else if (std::strcmp(arg, "--journal") == 0) {
            useJournal = 1;
        } else if (std::strcmp(arg, "--pairs") == 0) {
            if (i + 1 >= argc)
                return toolargs::Refuse("kroute", "--pairs needs a file of points");
            pairs = argv[++i];
        } else if (std::strcmp(arg, "--radius") == 0) {
            if (i + 1 >= argc)
                return toolargs::Refuse("kroute", "--radius needs a distance in map units");
            if (!toolargs::ParseInt(argv[++i], 1, INT32_MAX, value))
                return toolargs::Refuse(
                    "kroute", "--radius takes a whole number of map units above 0", argv[i]);
            radius = static_cast<int32_t>(value);
        } else if (arg[0] == '-' && arg[1] != '\0' && (arg[1] < '0' || arg[1] > '9')) {
            return toolargs::Refuse("kroute", "unknown option", arg);
        } else {
            args.push_back(arg);
        }
    }
    if (args.empty())
        return toolargs::Refuse("kroute", "a map and two points are needed");
    if (pairs != nullptr && args.size() != 1)
        return toolargs::Refuse("kroute", "with --pairs the points come from the file: one map only");
    std::ifstream pairFile;
    if (pairs != nullptr) {
        pairFile.open(pairs);
        if (!pairFile) {
            std::fprintf(stderr, "kroute: the file of points %s cannot be read\n", pairs);
            return 1;
        }
    }
    if (pairs == nullptr && (args.size() < 5 || args.size() % 2 == 0))
        return toolargs::Refuse(
            "kroute", "the points are pairs of numbers X Y: a start, a finish and any via points");
    std::vector<int32_t> coords;
    for (size_t i = 1; i < args.size(); ++i) {
        long long v = 0;
        if (!toolargs::ParseInt(args[i], INT32_MIN, INT32_MAX, v))
            return toolargs::Refuse("kroute",
                i % 2 == 1 ? "an X is a whole number of map units" : "a Y is a whole number of map units",
                args[i]);
        coords.push_back(static_cast<int32_t>(v));
    }

    // The tool only reads: the journal beside the map is never written.
    CZXS_PassageJournal::SetMode(useJournal ? 1 : 0);
    CZXS_TzxDoc doc;
    ZXS_MapSource source;
    source.path = args[0];
    if (doc.Open(&source, nullptr, 0, CZXS_DiskStream::kMapped) == 0) {
        toolargs::ReportMapOpenFailure("kroute", args[0], ZXS_TranslateOpenError(doc.GetError()));
        return 1;
    }
    // Map units per metre: the resolution is given in units per 10 km.
    double resolution = doc.Header().I32(CZXS_TzxHeader::kResolution);
    if (resolution == 0)
        resolution = doc.Header().U16(CZXS_TzxHeader::kResolution100) * 100.0;
    const double unitsPerMetre = resolution > 0 ? resolution * 0.0001 : 1.0;
    if (radius < 0)
        radius = static_cast<int32_t>(std::lround(200 * unitsPerMetre));

    if (useJournal && doc.Journal() != nullptr) {
        const int32_t read = doc.Journal()->ReadBesideMap();
        if (read != 0 && read != CZXS_PassageJournal::kNotNewer)
            std::fprintf(stderr, "kroute: no passage journal read beside the map (%d)\n", read);
    }
    const std::unique_ptr<CZXS_Router> router = ZXS_NewRouter(&doc);
    if (router == nullptr || !router->IsReady()) {
        std::fprintf(stderr, "kroute: the map %s has no road graph to route on\n", args[0]);
        return 1;
    }
    if (pairs != nullptr)
        return RoutePairs(*router, pairFile, option, radius, useJournal, unitsPerMetre);
    const size_t points = coords.size() / 2;
    for (size_t p = 0; p < points; ++p) {
        const int kind = p == 0 ? CZXS_Router::kStart : p == 1 ? CZXS_Router::kFinish : CZXS_Router::kVia;
        const int result = router->AddPoint(
            kind, coords[2 * p], coords[2 * p + 1], radius, -1, CZXS_Router::kAnyName, useJournal);
        if (result != 0) {
            std::fprintf(stderr, "kroute: point %d %d: %s (%d)\n", coords[2 * p], coords[2 * p + 1],
                Describe(result), result);
            return 1;
        }
    }
    const int result = router->Calculate(option);
    if (result != 0) {
        std::fprintf(stderr, "kroute: %s (%d)\n", Describe(result), result);
        return 1;
    }

    std::printf("# x y object branches flags\n");
    CZXS_RoutePoint point;
    for (uint32_t i = 0; router->PointAt(i, point); ++i)
        std::printf("%d %d %d %u 0x%02x\n", point.x, point.y, point.object, point.branches, point.flags);
    std::printf("points: %u\n", router->PointCount());
    std::printf("length: %.1f m\n", RouteLength(*router) / unitsPerMetre);
    std::printf("cost: %llu\n", static_cast<unsigned long long>(RouteCost(*router)));
    return 0;
}
