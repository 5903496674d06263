// Routes between points of a map through the kernel's router and prints the
// route points, the route's length and its cost.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/router/graph_router.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
        "usage: kroute [--shortest] [--journal] [--radius UNITS] MAP.tzx X1 Y1 X2 Y2 [VX VY]...\n"
        "Routes from (X1, Y1) to (X2, Y2) through the via points (map units) and prints\n"
        "each route point (x, y, road object, branches, flags), the length and the cost.\n"
        "--shortest  route by length (default: by travel time)\n"
        "--journal   route with the passage journal beside the map (cost classes and closures)\n"
        "--radius    how far from a point a road may be (default: 200 m)\n");
    return 2;
}

bool ParseInt(const char* text, int32_t& value)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

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

} // namespace

int main(int argc, char** argv)
{
    int option = CZXS_Router::kFastest;
    int useJournal = 0;
    int32_t radius = -1;
    std::vector<const char*> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shortest") == 0) {
            option = CZXS_Router::kShortest;
        } else if (std::strcmp(argv[i], "--journal") == 0) {
            useJournal = 1;
        } else if (std::strcmp(argv[i], "--radius") == 0 && i + 1 < argc) {
            if (!ParseInt(argv[++i], radius) || radius <= 0)
                return Usage();
        } else if (std::strcmp(argv[i], "--help") == 0
            || (argv[i][0] == '-' && argv[i][1] != '\0' && (argv[i][1] < '0' || argv[i][1] > '9'))) {
            return Usage();
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.size() < 5 || args.size() % 2 == 0)
        return Usage();
    std::vector<int32_t> coords;
    for (size_t i = 1; i < args.size(); ++i) {
        int32_t v = 0;
        if (!ParseInt(args[i], v))
            return Usage();
        coords.push_back(v);
    }

    // The tool only reads: the journal beside the map is never written.
    CZXS_PassageJournal::SetMode(useJournal ? 1 : 0);
    CZXS_TzxDoc doc;
    ZXS_MapSource source;
    source.path = args[0];
    if (doc.Open(&source, nullptr, 0, CZXS_DiskStream::kDisk) == 0) {
        std::fprintf(stderr, "kroute: cannot open the map %s (kernel error %d)\n", args[0], doc.GetError());
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
    double length = 0;
    CZXS_RoutePoint point;
    CZXS_RoutePoint previous;
    for (uint32_t i = 0; router->PointAt(i, point); ++i) {
        std::printf("%d %d %d %u 0x%02x\n", point.x, point.y, point.object, point.branches, point.flags);
        // A via point is repeated as the start of the next leg; that step is no way.
        if (i > 0)
            length += std::hypot(double(point.x) - previous.x, double(point.y) - previous.y);
        previous = point;
    }
    const auto* graphRouter = dynamic_cast<const CZXS_GraphRouter*>(router.get());
    std::printf("points: %u\n", router->PointCount());
    std::printf("length: %.1f m\n", length / unitsPerMetre);
    std::printf("cost: %llu\n", static_cast<unsigned long long>(graphRouter ? graphRouter->RouteCost() : 0));
    return 0;
}
