// The POI query on the compiled Ostankino and Monaco maps against a plain
// filter over every POI of the map, its notices on the worker thread, stops
// and restarts, the cap, the corridor along a route, and the search at a point.
#include "search/poi_query.h"

#include "search/waypoint.h"

#include "gps/gps_source.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/poi_interface.h"
#include "tests/search/search_map.h"
#include "tools/mapwriter/poi_writer.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr uint32_t kNotice = platform::WM_APP + 1;

struct Poi {
    QString category;
    QString name;
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Poi&) const = default;
};

void PrintTo(const Poi& p, std::ostream* os)
{
    *os << p.category.toStdString() << " " << p.name.toStdString() << " (" << p.x << ", " << p.y << ")";
}

QString Text(int32_t (*read)(const CZXS_PoiHandle*, char16_t*, int32_t), const CZXS_PoiHandle& handle)
{
    std::array<char16_t, 256> buffer {};
    return read(&handle, buffer.data(), 256) == 0 ? QString::fromUtf16(buffer.data()) : QString();
}

// Every POI of the open maps, walked through a cursor of its own, kept when
// `keep` says so, in the set's order, at most 999.
template <class Keep> std::vector<Poi> EveryPoi(const CZXS_MapHandle* map, const QString& category, Keep keep)
{
    CZXS_PoiHandle cursor;
    ZXS_PoiCreate(&cursor);
    std::vector<Poi> found;
    ZXS_PoiQueryGeo(&cursor, -geo::kPi + 1e-9, geo::kPi - 1e-9, -geo::kHalfPi, geo::kHalfPi);
    for (int32_t at = ZXS_PoiFirst(&cursor); at == 0 && found.size() < 999; at = ZXS_PoiNext(&cursor)) {
        Poi p;
        p.category = Text(&ZXS_PoiGetCategoryW, cursor);
        if (category != QStringLiteral("Все") && p.category != category)
            continue;
        double longitude = 0, latitude = 0;
        ZXS_Point point;
        if (ZXS_PoiGetGeoPos(&cursor, map, &longitude, &latitude) != 0
            || ZXS_PoiGetMapPos(&cursor, map, &point) != 0 || !keep(longitude, latitude, point))
            continue;
        p.name = Text(&ZXS_PoiGetNameW, cursor);
        p.x = point.x;
        p.y = point.y;
        found.push_back(p);
    }
    ZXS_PoiDestroy(&cursor);
    return found;
}

// The filter the kernel's box is: the geographic box of the rectangle's corners.
std::vector<Poi> EveryPoiIn(const CZXS_MapHandle* map, const ZXS_Rect& r, const QString& category)
{
    double west = 0, north = 0, east = 0, south = 0;
    ZXS_MapToGeo(map, r.left, r.top, &west, &north);
    ZXS_MapToGeo(map, r.right, r.bottom, &east, &south);
    const auto angle = [](double radians) { return std::lround(radians * 2147483648.0 / geo::kPi); };
    return EveryPoi(map, category, [&](double longitude, double latitude, const ZXS_Point&) {
        return angle(longitude) >= angle(west) && angle(longitude) <= angle(east)
            && angle(latitude) >= angle(south) && angle(latitude) <= angle(north);
    });
}

std::vector<Poi> Results(const CPoiQuery& query)
{
    std::vector<Poi> results;
    CPoiResult r;
    for (int i = 0; query.GetSearchResult(i, r); ++i)
        results.push_back({ r.category, r.name, r.x, r.y });
    return results;
}

// A page that collects the query's notices and ends its loop at the end notice.
class Page : public platform::MessageTarget {
public:
    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override
    {
        if (message != kNotice)
            return 0;
        notices.push_back({ wParam, lParam });
        if (wParam != 0)
            m_loop.quit();
        return answer;
    }
    // Runs the event loop until an end notice (or, as a guard, a minute).
    bool WaitForEnd()
    {
        if (!notices.empty() && notices.back().first != 0)
            return true;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &m_loop, &QEventLoop::quit);
        guard.start(60000);
        m_loop.exec();
        return !notices.empty() && notices.back().first != 0;
    }
    CPoiNotification Notification(uint8_t post = 1)
    {
        CPoiNotification n;
        n.mode = CPoiNotification::MODE_MESSAGES;
        n.window = this;
        n.message = kNotice;
        n.post = post;
        return n;
    }
    std::vector<std::pair<platform::WPARAM, platform::LPARAM>> notices;
    platform::LRESULT answer = 1;

private:
    QEventLoop m_loop;
};

// The notices are one search's: rows 0, 1, ... and then its end with `result`.
void ExpectOneSearch(const Page& page, size_t rows, int result)
{
    ASSERT_EQ(page.notices.size(), rows + 1);
    for (size_t i = 0; i < rows; ++i)
        EXPECT_EQ(page.notices[i], std::make_pair(platform::WPARAM(0), platform::LPARAM(i)));
    EXPECT_EQ(page.notices.back(), std::make_pair(platform::WPARAM(1), platform::LPARAM(result)));
}

ZXS_Point Centre(const CZXS_MapHandle* map)
{
    ZXS_Point c;
    ZXS_MapGetCenter(map, &c);
    return c;
}

// The most frequent category of the map's POI.
QString CommonCategory(const CZXS_MapHandle* map)
{
    std::map<QString, int> counts;
    for (const Poi& p :
        EveryPoi(map, QStringLiteral("Все"), [](double, double, const ZXS_Point&) { return true; }))
        ++counts[p.category];
    return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
        return a.second < b.second;
    })->first;
}

} // namespace

TEST(PoiQueryMaps, SearchesAroundAPointFindWhatAFilterOverEveryPoiFinds)
{
    for (const char* name : { "moscow-ostankino", "monaco" }) {
        search_testing::SearchMap map(name);
        ASSERT_TRUE(map.opened);
        const ZXS_Point centre = Centre(map.Map());
        const QString common = CommonCategory(map.Map());
        for (const int size : { 300, 2000 }) {
            for (const QString& category : { QStringLiteral("Все"), common, QStringLiteral("аптека") }) {
                SCOPED_TRACE(std::string(name) + " " + std::to_string(size) + " " + category.toStdString());
                Page page;
                const CPoiNotification notification = page.Notification();
                ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, size, centre.x, centre.y, nullptr, category,
                              &notification),
                    0);
                ASSERT_TRUE(page.WaitForEnd());
                const auto h = static_cast<int32_t>((ZXS_MetersToMapUnits(map.Map(), size) + 1) * 0.5);
                const std::vector<Poi> expected = EveryPoiIn(
                    map.Map(), { centre.x - h, centre.y - h, centre.x + h, centre.y + h }, category);
                EXPECT_EQ(Results(map.Pois()), expected);
                ExpectOneSearch(page, expected.size(), 1);
                if (category == common && size == 2000) {
                    EXPECT_GT(expected.size(), 3u);
                }
            }
        }
    }
}

TEST(PoiQueryMaps, ResultsCarryTheirAddressAndAttributes)
{
    search_testing::SearchMap map("monaco");
    const ZXS_Point centre = Centre(map.Map());
    CPoiQuery& query = map.Pois();
    Page page;
    const CPoiNotification notification = page.Notification();
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 3000, centre.x, centre.y, nullptr, QStringLiteral("Все"),
                  &notification),
        0);
    ASSERT_TRUE(page.WaitForEnd());
    ASSERT_GT(query.GetSearchResultCount(), 0);
    int addressed = 0;
    int phones = 0;
    CPoiResult r;
    for (int i = 0; query.GetSearchResult(i, r); ++i) {
        addressed += r.address.isEmpty() ? 0 : 1;
        phones += r.phone.isEmpty() ? 0 : 1;
        if (!r.address.isEmpty()) {
            // The address is what the address searcher says at the POI's point.
            CAddressSearcher searcher;
            searcher.SetMapView(&map.Controller());
            searcher.FindObjectsAtPoint(r.x, r.y, 128);
            QString text;
            searcher.GetAddressText(text);
            EXPECT_EQ(r.address, text);
        }
    }
    EXPECT_GT(addressed, 0);
    EXPECT_GT(phones, 0);
}

namespace {

// The Ostankino map with a POI set of the test's own: `count` restaurants
// in a small square around the map's centre.
class CrowdedOstankino : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(map.opened);
        centre = Centre(map.Map());
    }
    search_testing::SearchMap map { "moscow-ostankino", Crowd(1500) };
    ZXS_Point centre;

    static mapwriter::PoiSetDescription Crowd(int count)
    {
        mapwriter::PoiSetDescription set;
        set.title = "crowd";
        // Ostankino's centre is near 55.82 N, 37.61 E.
        for (int i = 0; i < count; ++i) {
            mapwriter::Poi p;
            p.category = 0x508;
            p.latitude = (55.82 + 0.0001 * (i % 40)) * geo::kDegToRad;
            p.longitude = (37.61 + 0.0001 * (i / 40)) * geo::kDegToRad;
            p.name = "R" + std::to_string(i);
            p.attributes = { { mapwriter::kPoiPhone, "+7 495 " + std::to_string(1000000 + i) } };
            set.pois.push_back(p);
        }
        return set;
    }
};

} // namespace

TEST_F(CrowdedOstankino, AtMost999ResultsThenTheEnd)
{
    CPoiQuery& query = map.Pois();
    Page page;
    const CPoiNotification notification = page.Notification();
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 5000, centre.x, centre.y, nullptr,
                  QStringLiteral("Ресторан"), &notification),
        0);
    ASSERT_TRUE(page.WaitForEnd());
    ExpectOneSearch(page, CPoiQuery::kSearchLimit, 1);
    EXPECT_EQ(query.GetSearchResultCount(), CPoiQuery::kSearchLimit);
    CPoiResult r;
    ASSERT_TRUE(query.GetSearchResult(998, r));
    EXPECT_EQ(r.name, QStringLiteral("R998"));
    EXPECT_EQ(r.phone, QStringLiteral("+7 495 1000998"));
    EXPECT_EQ(query.GetResultPosition(998), (ZXS_Point { r.x, r.y }));
    EXPECT_EQ(query.GetResultPosition(-1), (ZXS_Point { 0x8000000, 0x8000000 }));
    EXPECT_EQ(query.GetResultPosition(999), (ZXS_Point { 0x8000000, 0x8000000 }));
    EXPECT_EQ(query.CompareResults(0, 1, 1), -1); // "R0" < "R1"
    EXPECT_EQ(query.CompareResults(1, 0, 1), 1);
    EXPECT_EQ(query.CompareResults(0, 1, 0), 0);
    EXPECT_EQ(query.CompareResults(0, 1, 7), 0);
    EXPECT_EQ(query.CompareResults(0, 999, 1), 0);

    // An area without POI ends with 1 and no row.
    Page empty;
    const CPoiNotification none = empty.Notification();
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 100, centre.x + 40000, centre.y, nullptr,
                  QStringLiteral("Все"), &none),
        0);
    ASSERT_TRUE(empty.WaitForEnd());
    ExpectOneSearch(empty, 0, 1);
}

TEST_F(CrowdedOstankino, AStoppedSearchIsQuietAndANewOneStartsClean)
{
    CPoiQuery& query = map.Pois();
    Page first;
    const CPoiNotification firstNotice = first.Notification();
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 5000, centre.x, centre.y, nullptr, QStringLiteral("Все"),
                  &firstNotice),
        0);
    // Let rows pile up in the page's queue while nothing is delivered.
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (query.GetSearchResultCount() < 20 && std::chrono::steady_clock::now() < guard)
        std::this_thread::yield();
    query.Stop(true);
    const int kept = query.GetSearchResultCount();
    EXPECT_GE(kept, 20);
    EXPECT_LT(kept, CPoiQuery::kSearchLimit);
    EXPECT_FALSE(query.IsRunning());

    // At once a new search, of another category, to another page.
    Page second;
    const CPoiNotification secondNotice = second.Notification();
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 500, centre.x, centre.y, nullptr,
                  QStringLiteral("Аптека"), &secondNotice),
        0);
    ASSERT_TRUE(second.WaitForEnd());
    EXPECT_TRUE(first.notices.empty()); // not one row of the stopped search, and no end
    ExpectOneSearch(second, static_cast<size_t>(query.GetSearchResultCount()), 1);

    // A sent row answered with 0 ends the search there.
    Page sent;
    sent.answer = 0;
    const CPoiNotification sentNotice = sent.Notification(0);
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 5000, centre.x, centre.y, nullptr, QStringLiteral("Все"),
                  &sentNotice),
        0);
    ASSERT_TRUE(sent.WaitForEnd());
    ExpectOneSearch(sent, 1, 1);
}

TEST_F(CrowdedOstankino, APausedSearchGoesOnOrStops)
{
    CPoiQuery& query = map.Pois();
    std::atomic<int> rows { 0 };
    CPoiNotification callbacks;
    callbacks.progress = [](void* context, int) {
        ++*static_cast<std::atomic<int>*>(context);
        return 1;
    };
    callbacks.context = &rows;
    EXPECT_EQ(query.Pause(), 0); // nothing runs
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 5000, centre.x, centre.y, nullptr, QStringLiteral("Все"),
                  &callbacks),
        0);
    EXPECT_EQ(query.Pause(), 0);
    EXPECT_EQ(query.Pause(), 1);
    // Held: the count stays while paused (the worker waits between two POI).
    const int before = rows.load();
    query.Resume();
    query.Stop(true);
    EXPECT_GE(rows.load(), before);
    EXPECT_FALSE(query.IsRunning());

    // Paused, then stopped: the stop wakes the worker and it ends.
    ASSERT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 5000, centre.x, centre.y, nullptr, QStringLiteral("Все"),
                  &callbacks),
        0);
    query.Pause();
    query.Stop(true);
    EXPECT_FALSE(query.IsRunning());
}

TEST_F(CrowdedOstankino, TheSearchAtAPointUsesItsOwnCursorBesideARunningSearch)
{
    CPoiQuery& query = map.Pois();
    CPoiNotification none;
    ASSERT_EQ(StartPoiSearch(
                  CPoiQuery::KIND_POINT, 5000, centre.x, centre.y, nullptr, QStringLiteral("Все"), &none),
        0);
    // Meanwhile the popup menu asks what lies at a restaurant's place.
    CPoiResult r;
    for (int round = 0; round < 20; ++round) {
        ZXS_Point at { 0, 0 };
        double longitude = (37.61 + 0.0001) * geo::kDegToRad, latitude = (55.82 + 0.0001) * geo::kDegToRad;
        ASSERT_EQ(ZXS_GeoToMap(map.Map(), longitude, latitude, &at), 0);
        ASSERT_EQ(query.QueryAtPoint(at.x, at.y, 40.0), 1);
        ASSERT_GE(query.GetResultCount(), 1);
        EXPECT_TRUE(std::any_of(query.GetPointResults().begin(), query.GetPointResults().end(),
            [](const CPoiResult& p) { return p.name == QStringLiteral("R41"); }));
    }
    query.Stop(true);
}

TEST_F(CrowdedOstankino, AlongARouteTheCorridorOrAtOnceNothing)
{
    CPoiQuery& query = map.Pois();
    // Without a route a route search ends at once, finding nothing.
    Page page;
    const CPoiNotification notification = page.Notification();
    ASSERT_EQ(
        StartPoiSearch(CPoiQuery::KIND_ALONG_ROUTE, 200, 0, 0, nullptr, QStringLiteral("Все"), &notification),
        0);
    ASSERT_TRUE(page.WaitForEnd());
    ExpectOneSearch(page, 0, 0);

    // A corridor 60 m either side of a bent line through the crowd.
    std::vector<ZXS_Point> line(3);
    ASSERT_EQ(ZXS_GeoToMap(map.Map(), 37.6103 * geo::kDegToRad, 55.8195 * geo::kDegToRad, &line[0]), 0);
    ASSERT_EQ(ZXS_GeoToMap(map.Map(), 37.6103 * geo::kDegToRad, 55.8220 * geo::kDegToRad, &line[1]), 0);
    ASSERT_EQ(ZXS_GeoToMap(map.Map(), 37.6150 * geo::kDegToRad, 55.8220 * geo::kDegToRad, &line[2]), 0);
    std::vector<CPoiResult> found;
    ASSERT_EQ(query.QueryCorridor(line, 60.0, found, 999, QStringLiteral("Все"), false), 1);
    const double units = ZXS_MetersToMapUnits(map.Map(), 60.0);
    const auto near = [&](const ZXS_Point& p) {
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            const double dx = line[i + 1].x - line[i].x, dy = line[i + 1].y - line[i].y;
            const double t = std::clamp(
                ((p.x - line[i].x) * dx + (p.y - line[i].y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            if (std::hypot(line[i].x + t * dx - p.x, line[i].y + t * dy - p.y) <= units)
                return true;
        }
        return false;
    };
    const std::vector<Poi> expected = EveryPoi(
        map.Map(), QStringLiteral("Все"), [&](double, double, const ZXS_Point& p) { return near(p); });
    std::vector<Poi> got;
    for (const CPoiResult& r : found)
        got.push_back({ r.category, r.name, r.x, r.y });
    EXPECT_EQ(got, expected);
    EXPECT_GT(expected.size(), 20u);
    EXPECT_LT(expected.size(), 999u); // the corridor leaves most of the crowd out
}

TEST(PoiQuery, CategoriesAndTheirIndexes)
{
    CPoiQuery query;
    query.LoadCategoryNames();
    query.LoadCategoryNames(); // once, however often
    const QStringList& names = query.GetCategoryNames();
    ASSERT_EQ(names.size(), 53);
    EXPECT_EQ(names[0], QStringLiteral("Все"));
    EXPECT_EQ(names[52], QStringLiteral("Школа"));
    EXPECT_EQ(query.GetCategoryIndex(QStringLiteral("Аптека")), 8);
    EXPECT_EQ(query.GetCategoryIndex(QStringLiteral("аптека")), 0);
    EXPECT_EQ(query.GetCategoryIndex(QStringLiteral("Все")), 0);
    // Without a map nothing is searched.
    EXPECT_EQ(query.QueryAtPoint(0, 0, 40.0), 0);
    EXPECT_EQ(query.GetResultCount(), 0);
    CGeoPos position;
    position.SetFromNmea(55, 45.0, 'N', 37, 37.0, 'E');
    query.SetSearchArea(700, -2, position);
    int32_t size = 0, kind = 0;
    CGeoPos back;
    query.GetSearchArea(size, kind, back);
    EXPECT_EQ(size, 700);
    EXPECT_EQ(kind, -2);
    EXPECT_TRUE(back.IsEqual(position));
}

TEST_F(CrowdedOstankino, ThePlaceKindsAndThoseThatCannotBeSearched)
{
    CPoiNotification none;
    const QString all = QStringLiteral("Все");
    // No GPS source, a source without a position, no such waypoint, no such
    // kind, no point: nothing is started.
    EXPECT_EQ(StartPoiSearch(CPoiQuery::KIND_GPS, 500, 0, 0, nullptr, all, &none), -1);
    {
        platform::ScopedProcessObject<CGpsSource> source(g_gpsSource);
        EXPECT_EQ(StartPoiSearch(CPoiQuery::KIND_GPS, 500, 0, 0, nullptr, all, &none), -1);
    }
    EXPECT_EQ(StartPoiSearch(-1, 500, 0, 0, nullptr, all, &none), -1);
    EXPECT_EQ(StartPoiSearch(7, 500, 0, 0, nullptr, all, &none), -1);
    EXPECT_EQ(StartPoiSearch(CPoiQuery::KIND_POINT, 500, 0x8000000, 0x8000000, nullptr, all, &none), -1);

    // Around the second waypoint (kind -2) is around its map point; around the
    // centre is around the controller's centre.
    const auto results = [&](int kind, int32_t x, int32_t y) {
        std::promise<int> ended;
        CPoiNotification callbacks;
        callbacks.completion
            = [](void* context, int result) { static_cast<std::promise<int>*>(context)->set_value(result); };
        callbacks.context = &ended;
        EXPECT_EQ(StartPoiSearch(kind, 100, x, y, nullptr, all, &callbacks), 0);
        ended.get_future().get();
        return Results(map.Pois());
    };
    platform::ScopedProcessObject<CWaypointList> waypoints(g_waypoints);
    CWaypoint far;
    far.m_mapX = centre.x + 50000;
    far.m_mapY = centre.y;
    CWaypoint near; // in the crowd
    ZXS_Point crowd;
    ASSERT_EQ(ZXS_GeoToMap(map.Map(), 37.6110 * geo::kDegToRad, 55.8210 * geo::kDegToRad, &crowd), 0);
    near.m_mapX = crowd.x;
    near.m_mapY = crowd.y;
    waypoints->Append(far);
    waypoints->Append(near);
    const std::vector<Poi> atWaypoint = results(-2, 0, 0);
    EXPECT_FALSE(atWaypoint.empty());
    EXPECT_EQ(atWaypoint, results(CPoiQuery::KIND_POINT, near.m_mapX, near.m_mapY));
    map.Controller().SetCentre(near.m_mapX, near.m_mapY);
    EXPECT_EQ(results(CPoiQuery::KIND_CENTRE, 0, 0), atWaypoint);
    // The whole screen of the frame drawn there holds at least as much.
    ASSERT_EQ(map.Controller().RenderNow(), 0);
    EXPECT_GE(results(CPoiQuery::KIND_SCREEN, 0, 0).size(), atWaypoint.size());
}
