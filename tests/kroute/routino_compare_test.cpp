// Shortest routes on the map compiled from the Monaco extract against
// Routino's router with its car profile on the same OpenStreetMap data (Debian
// package routino, needed by this test only). Both lengths are measured here
// the same way, along the routes' points in degrees, from the start's
// projection onto its road to the finish's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/doc/passage_journal.h"
#include "kernel/doc/transform.h"
#include "kernel/router/graph_router.h"
#include "tests/support/map_fixture.h"
#include "tests/support/reference_router.h"
#include "tests/support/run_command.h"

namespace {

struct Geo {
    double lon = 0; // degrees
    double lat = 0;
};

double Metres(Geo a, Geo b)
{
    constexpr double kRadius = 6371008.8;
    const double rad = M_PI / 180;
    const double dLat = (b.lat - a.lat) * rad;
    const double dLon = (b.lon - a.lon) * rad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(a.lat * rad) * std::cos(b.lat * rad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kRadius * std::asin(std::min(1.0, std::sqrt(h)));
}

double Length(const std::vector<Geo>& line)
{
    double metres = 0;
    for (size_t i = 1; i < line.size(); ++i)
        metres += Metres(line[i - 1], line[i]);
    return metres;
}

// Routino's database of the extract, built once into a folder of its own.
class Routino {
public:
    Routino()
    {
        if (testing_support::RunCommand("routino-router --version").status != 0)
            return;
        // Roads open to cars going to a destination on them (or to its
        // customers) are open to ours; Routino's rules close them: they are
        // opened for it too. Every node is kept, so that both routes have the
        // same shape.
        const std::string tagging = m_folder.File("tagging.xml");
        testing_support::RunCommand("sed -E 's#<if v=\"(destination|customers|customer)\" *> *<set "
                                    "v=\"no\"/> *</if>#<if v=\"\\1\"> <set "
                                    "v=\"yes\"/> </if>#' /usr/share/routino/tagging.xml > "
            + tagging);
        const std::string extract = std::string(TRAVENOR_SHARED_DATA_DIR) + "/osm/monaco.osm.pbf";
        const testing_support::CommandResult split = testing_support::RunCommand("planetsplitter --loggable "
                                                                                 "--prune-none --tagging="
            + tagging + " --dir=" + m_folder.Path() + " --prefix=monaco " + extract);
        m_log = split.output;
        m_ready = split.status == 0;
    }
    bool Installed() const { return !m_log.empty() || m_ready; }
    bool Ready() const { return m_ready; }
    const std::string& Log() const { return m_log; }

    // The route's points, empty when Routino finds none (`why` says what it printed).
    // Shortest by length alone: the profile's preferences for road types and
    // properties, which weigh even its shortest routes, are made even.
    std::vector<Geo> Route(Geo from, Geo to, std::string& why) const
    {
        char points[160];
        std::snprintf(points, sizeof points, " --lon1=%.7f --lat1=%.7f --lon2=%.7f --lat2=%.7f", from.lon,
            from.lat, to.lon, to.lat);
        std::string command = "routino-router --dir=" + m_folder.Path()
            + " --prefix=monaco --transport=motorcar --shortest --output-text-all --output-stdout" + points;
        for (const char* highway : { "motorway", "trunk", "primary", "secondary", "tertiary", "unclassified",
                 "residential", "service" })
            command += std::string(" --highway-") + highway + "=100";
        for (const char* property : { "paved", "multilane", "bridge", "tunnel", "footroute", "bicycleroute" })
            command += std::string(" --property-") + property + "=50";
        const testing_support::CommandResult run = testing_support::RunCommand(command);
        const std::string& output = run.output;
        std::vector<Geo> line;
        std::istringstream lines(output);
        std::string text;
        while (std::getline(lines, text)) {
            if (text.empty() || text[0] == '#')
                continue;
            Geo g;
            if (std::sscanf(text.c_str(), "%lf %lf", &g.lat, &g.lon) == 2)
                line.push_back(g);
        }
        if (run.status != 0 || line.size() < 2) {
            why = output.substr(0, output.find('\n'));
            line.clear();
        }
        return line;
    }

private:
    testing_support::TempFolder m_folder;
    std::string m_log;
    bool m_ready = false;
};

// The roads of a map that a car may use, each with its points: a point is
// taken for a route only where one of them alone passes near, so that both
// routers start on the same road (by a junction, over a tunnel or between the
// carriageways of a street each may take another).
class CarRoads {
public:
    explicit CarRoads(const CZXS_TzxDoc& doc)
    {
        for (int32_t offset = 0; offset < doc.RoadObjectCount(); ++offset) {
            const CZXS_ObjectRecord record
                = doc.Object(static_cast<uint32_t>(doc.FirstRoadObject() + offset));
            CZXS_ObjectCursor cursor(&doc);
            CZXS_PointCollector points;
            if ((!record.IsForward() && !record.IsBackward())
                || cursor.Seek(doc.FirstRoadObject() + offset) == 0
                || cursor.CollectPoints(&points, nullptr, false) == 0)
                continue;
            std::vector<ZXS_Point> line;
            for (uint32_t i = 0; i < points.Count(); ++i)
                line.push_back(points.At(i));
            m_roads.emplace_back(static_cast<uint32_t>(offset), std::move(line));
        }
    }

    // A point on a random car road that no other car road passes within `units`.
    std::optional<ZXS_Point> LonePoint(const CZXS_TzxDoc& doc, double units, std::mt19937& random) const
    {
        const auto& [offset, line]
            = m_roads[std::uniform_int_distribution<size_t>(0, m_roads.size() - 1)(random)];
        const std::optional<ZXS_Point> p = testing_support::PointOnRoad(doc, offset, 0.5, random);
        if (!p)
            return std::nullopt;
        int near = 0;
        for (const auto& [other, points] : m_roads) {
            for (size_t i = 0; i + 1 < points.size(); ++i) {
                if (Distance(*p, points[i], points[i + 1]) <= units) {
                    ++near;
                    break;
                }
            }
        }
        return near == 1 ? p : std::nullopt;
    }

private:
    static double Distance(ZXS_Point p, ZXS_Point a, ZXS_Point b)
    {
        const double dx = double(b.x) - a.x;
        const double dy = double(b.y) - a.y;
        const double squared = dx * dx + dy * dy;
        double t = squared > 0 ? ((double(p.x) - a.x) * dx + (double(p.y) - a.y) * dy) / squared : 0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
    }

    std::vector<std::pair<uint32_t, std::vector<ZXS_Point>>> m_roads;
};

std::string CopyMap(const testing_support::TempFolder& folder)
{
    for (const char* extension : { ".tzx", ".zxg" })
        std::filesystem::copy_file(std::string(TRAVENOR_ROUTER_MAPS_DIR) + "/monaco" + extension,
            folder.File(std::string("monaco") + extension));
    return folder.File("monaco.tzx");
}

TEST(RoutinoCompare, ShortestRoutesAreAsLongAsRoutinosCarRoutes)
{
    const Routino routino;
    if (!routino.Installed())
        GTEST_SKIP() << "Routino is not installed (Debian package routino): the comparison is skipped";
    ASSERT_TRUE(routino.Ready()) << routino.Log();

    CZXS_PassageJournal::SetMode(0);
    testing_support::TempFolder folder;
    const std::string path = CopyMap(folder);
    CZXS_TzxDoc doc;
    ZXS_MapSource source;
    source.path = path.c_str();
    ASSERT_EQ(doc.Open(&source, nullptr, 0, CZXS_DiskStream::kDisk), 1);
    auto geo = [&](int32_t x, int32_t y) {
        Geo g;
        EXPECT_EQ(MapToGeo(doc.Transform(), x, y, g.lon, g.lat), 1);
        g.lon *= 180 / M_PI;
        g.lat *= 180 / M_PI;
        return g;
    };
    CZXS_GraphRouter router;
    ASSERT_EQ(router.Attach(&doc), 1);

    const CarRoads roads(doc);
    std::mt19937 random(4242);
    auto lonePoint = [&] {
        for (;;) {
            if (const std::optional<ZXS_Point> p = roads.LonePoint(doc, 10, random))
                return *p;
        }
    };
    int compared = 0;
    int withinOnePercent = 0;
    double worst = 0;
    for (int pair = 0; pair < 100; ++pair) {
        // Ends at least 100 m apart: the map keeps its points to the metre,
        // which would weigh on a route of a few metres.
        const ZXS_Point a = lonePoint();
        ZXS_Point b = lonePoint();
        while (std::hypot(double(b.x) - a.x, double(b.y) - a.y) < 100)
            b = lonePoint();
        router.Clear();
        ASSERT_EQ(router.AddPoint(CZXS_Router::kStart, a.x, a.y, 5, -1, CZXS_Router::kAnyName, 0), 0);
        ASSERT_EQ(router.AddPoint(CZXS_Router::kFinish, b.x, b.y, 5, -1, CZXS_Router::kAnyName, 0), 0);
        const int result = router.Calculate(CZXS_Router::kShortest);
        std::vector<Geo> ours;
        CZXS_RoutePoint p;
        for (uint32_t i = 0; router.PointAt(i, p); ++i) {
            if ((p.flags & (CZXS_RoutePoint::kCallerStart | CZXS_RoutePoint::kCallerFinish)) == 0)
                ours.push_back(geo(p.x, p.y));
        }
        std::string why;
        const std::vector<Geo> theirs = routino.Route(geo(a.x, a.y), geo(b.x, b.y), why);
        const Geo from = geo(a.x, a.y);
        const Geo to = geo(b.x, b.y);
        char where[120];
        std::snprintf(where, sizeof where, "pair %d from %.6f,%.6f to %.6f,%.6f", pair, from.lat, from.lon,
            to.lat, to.lon);
        if (result != 0 || theirs.empty()) {
            if (result != 0 && !theirs.empty())
                std::printf("%s: only Routino routes it; our router answers %d\n", where, result);
            else if (result == 0)
                std::printf("%s: only we route it; Routino says: %s\n", where, why.c_str());
            else
                std::printf("%s: neither routes it (%d; %s)\n", where, result, why.c_str());
            continue;
        }
        ++compared;
        const double ratio = Length(ours) / Length(theirs);
        worst = std::max(worst, ratio);
        if (std::fabs(ratio - 1) <= 0.01)
            ++withinOnePercent;
        else
            std::printf("%s: ours %.0f m, Routino's %.0f m\n", where, Length(ours), Length(theirs));
    }
    std::printf("%d pairs compared, %d within 1 %%, ours at most %.2f %% longer\n", compared,
        withinOnePercent, (worst - 1) * 100);
    EXPECT_GE(compared, 80);
    EXPECT_GE(withinOnePercent * 10, compared * 9);
    EXPECT_LE(worst, 1.03);
}

} // namespace
