#include "search/poi_query.h"

#include "foundation/screen_metrics.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/poi_interface.h"
#include "kernel/api/view_interface.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"
#include "search/search_lists.h"
#include "search/waypoint.h"

#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kTextLength = 256;
constexpr int32_t kUnset = 0x8000000;
const QString kAllCategories = QStringLiteral("Все");
// The relay's own message number.
constexpr uint32_t kNoticeMessage = platform::WM_APP + 0x301;

QString ReadText(int32_t (*read)(const CZXS_PoiHandle*, char16_t*, int32_t), const CZXS_PoiHandle& handle,
    bool* ok = nullptr)
{
    std::array<char16_t, kTextLength> buffer {};
    const bool read_ok = read(&handle, buffer.data(), kTextLength) == 0;
    if (ok != nullptr)
        *ok = read_ok;
    return read_ok ? QString::fromUtf16(buffer.data()) : QString();
}

double SegmentDistanceSquared(double px, double py, const ZXS_Point& a, const ZXS_Point& b)
{
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    const double length = dx * dx + dy * dy;
    double t = length > 0.0 ? ((px - a.x) * dx + (py - a.y) * dy) / length : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - px;
    const double ey = a.y + t * dy - py;
    return ex * ex + ey * ey;
}

// The segments of a polyline bucketed by the grid cells their grown boxes
// touch, so that a point is tested against the few segments near it.
class CorridorIndex {
public:
    CorridorIndex(const std::vector<ZXS_Point>& line, double halfWidth)
        : m_line(line)
        , m_halfWidth(halfWidth)
    {
        m_box = { line[0].x, line[0].y, line[0].x, line[0].y };
        for (const ZXS_Point& p : line) {
            m_box.left = std::min(m_box.left, p.x);
            m_box.top = std::min(m_box.top, p.y);
            m_box.right = std::max(m_box.right, p.x);
            m_box.bottom = std::max(m_box.bottom, p.y);
        }
        const auto margin = static_cast<int32_t>(std::ceil(halfWidth));
        m_box = { m_box.left - margin, m_box.top - margin, m_box.right + margin, m_box.bottom + margin };
        const double width = double(m_box.right) - m_box.left + 1;
        const double height = double(m_box.bottom) - m_box.top + 1;
        m_cell = std::max({ 2.0 * halfWidth, width / kMaxCells, height / kMaxCells, 1.0 });
        m_columns = static_cast<int>(width / m_cell) + 1;
        m_rows = static_cast<int>(height / m_cell) + 1;
        m_cells.resize(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows));
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            const int c0 = Column(std::min(line[i].x, line[i + 1].x) - halfWidth);
            const int c1 = Column(std::max(line[i].x, line[i + 1].x) + halfWidth);
            const int r0 = Row(std::min(line[i].y, line[i + 1].y) - halfWidth);
            const int r1 = Row(std::max(line[i].y, line[i + 1].y) + halfWidth);
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c)
                    m_cells[static_cast<size_t>(r) * static_cast<size_t>(m_columns) + static_cast<size_t>(c)]
                        .push_back(static_cast<uint32_t>(i));
        }
    }

    const ZXS_Rect& Box() const { return m_box; }

    bool Contains(const ZXS_Point& p) const
    {
        if (p.x < m_box.left || p.x > m_box.right || p.y < m_box.top || p.y > m_box.bottom)
            return false;
        if (m_line.size() == 1)
            return SegmentDistanceSquared(p.x, p.y, m_line[0], m_line[0]) <= m_halfWidth * m_halfWidth;
        const auto& cell = m_cells[static_cast<size_t>(Row(p.y)) * static_cast<size_t>(m_columns)
            + static_cast<size_t>(Column(p.x))];
        return std::any_of(cell.begin(), cell.end(), [&](uint32_t i) {
            return SegmentDistanceSquared(p.x, p.y, m_line[i], m_line[i + 1]) <= m_halfWidth * m_halfWidth;
        });
    }

private:
    static constexpr double kMaxCells = 512.0;

    int Column(double x) const
    {
        return std::clamp(static_cast<int>((x - m_box.left) / m_cell), 0, m_columns - 1);
    }
    int Row(double y) const { return std::clamp(static_cast<int>((y - m_box.top) / m_cell), 0, m_rows - 1); }

    const std::vector<ZXS_Point>& m_line;
    double m_halfWidth;
    ZXS_Rect m_box;
    double m_cell = 1.0;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<std::vector<uint32_t>> m_cells;
};

} // namespace

// A sent notice's answer, which its worker waits for.
struct PoiNoticeReply {
    bool done = false;
    int result = 1;
};

// Hands the worker's notices to the page on the user-interface thread,
// dropping those of a search that is no longer current.
class CPoiQuery::Relay : public platform::MessageTarget {
public:
    explicit Relay(CPoiQuery& query)
        : m_query(query)
    {
    }
    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM, platform::LPARAM) override
    {
        if (message == kNoticeMessage)
            m_query.DeliverNotices();
        return 0;
    }

private:
    CPoiQuery& m_query;
};

CPoiQuery::Cursor::Cursor() { ZXS_PoiCreate(&handle); }

CPoiQuery::Cursor::~Cursor() { ZXS_PoiDestroy(&handle); }

CPoiQuery::CPoiQuery()
    : m_relay(std::make_unique<Relay>(*this))
    , m_workerCursor(std::make_unique<Cursor>())
    , m_pointCursor(std::make_unique<Cursor>())
{
}

CPoiQuery::~CPoiQuery() { Stop(true); }

int CPoiQuery::SetMapView(CMapController* controller)
{
    if (controller == nullptr)
        return 0;
    m_controller = controller;
    m_workerCursor->searcher.SetMapView(controller);
    m_pointCursor->searcher.SetMapView(controller);
    return 1;
}

const CZXS_MapHandle* CPoiQuery::Map() const
{
    return m_controller != nullptr ? m_controller->GetMapSet().ActiveMap() : nullptr;
}

// ------------------------------------------------------------------ the worker

int CPoiQuery::StartAsync(const CPoiQueryRequest& request)
{
    Stop(true);
    platform::CSLock lock(m_lock);
    CPoiQueryRequest copy = request;
    copy.query = this;
    m_stop = false;
    m_pauseCount = 0;
    ++m_generation;
    m_notification = request.notification;
    // Running before the thread exists, so that the worker's end always finds it set.
    m_running = true;
    try {
        m_worker = std::thread(&CPoiQuery::WorkerMain, this, std::move(copy));
    } catch (const std::system_error&) {
        m_running = false;
        return 0;
    }
    return 1;
}

void CPoiQuery::WorkerMain(CPoiQueryRequest request)
{
    bool stopped = false;
    {
        platform::CSLock lock(m_lock);
        stopped = m_stop;
    }
    if (!stopped)
        RunRequest(request, true);
    platform::CSLock lock(m_lock);
    m_running = false;
}

void CPoiQuery::Stop(bool wait)
{
    {
        platform::CSLock lock(m_lock);
        if (m_running) {
            std::lock_guard waitLock(m_waitMutex);
            m_stop = true;
            m_pauseCount = 0;
        }
        // Whatever the stopped search still has on its way stays there.
        ++m_generation;
    }
    m_wake.notify_all();
    if (wait && m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id())
        m_worker.join();
}

int CPoiQuery::Pause()
{
    platform::CSLock lock(m_lock);
    if (!m_running)
        return 0;
    std::lock_guard waitLock(m_waitMutex);
    return m_pauseCount++;
}

void CPoiQuery::Resume()
{
    {
        platform::CSLock lock(m_lock);
        std::lock_guard waitLock(m_waitMutex);
        m_pauseCount = 0;
    }
    m_wake.notify_all();
}

bool CPoiQuery::IsRunning() const
{
    platform::CSLock lock(m_lock);
    return m_running;
}

bool CPoiQuery::CheckStop(bool async)
{
    if (!async)
        return false;
    std::unique_lock waitLock(m_waitMutex);
    m_wake.wait(waitLock, [&] { return m_pauseCount == 0 || m_stop; });
    return m_stop;
}

int CPoiQuery::Notify(
    const CPoiNotification& notification, uint32_t generation, platform::WPARAM kind, platform::LPARAM value)
{
    if (notification.mode != CPoiNotification::MODE_MESSAGES) {
        if (kind == NOTICE_RESULT)
            return notification.progress != nullptr ? notification.progress(notification.context, int(value))
                                                    : 1;
        if (notification.completion != nullptr)
            notification.completion(notification.context, int(value));
        return 1;
    }
    if (notification.window == nullptr)
        return 1;
    Notice notice { generation, kind, value, nullptr };
    if (notification.post == 0)
        notice.reply = std::make_shared<PoiNoticeReply>();
    {
        std::lock_guard waitLock(m_waitMutex);
        m_notices.push_back(notice);
    }
    platform::post(m_relay.get(), kNoticeMessage);
    if (!notice.reply)
        return 1;
    // A stop while the page has not answered yet ends the wait: the user-interface
    // thread may itself be waiting for this worker.
    std::unique_lock waitLock(m_waitMutex);
    m_wake.wait(waitLock, [&] { return notice.reply->done || m_stop; });
    return notice.reply->done ? notice.reply->result : 1;
}

void CPoiQuery::DeliverNotices()
{
    for (;;) {
        Notice notice;
        {
            std::lock_guard waitLock(m_waitMutex);
            if (m_notices.empty())
                return;
            notice = m_notices.front();
            m_notices.pop_front();
        }
        CPoiNotification target;
        bool current = false;
        {
            platform::CSLock lock(m_lock);
            current = notice.generation == m_generation;
            target = m_notification;
        }
        int result = 1;
        if (current && target.window != nullptr)
            result = int(platform::send(target.window, target.message, notice.kind, notice.value));
        if (notice.reply) {
            {
                std::lock_guard waitLock(m_waitMutex);
                notice.reply->result = result;
                notice.reply->done = true;
            }
            m_wake.notify_all();
        }
    }
}

int CPoiQuery::RunRequest(const CPoiQueryRequest& request, bool async)
{
    uint32_t generation = 0;
    {
        platform::CSLock lock(m_lock);
        m_results.clear();
        if (async && m_stop)
            return 1;
        generation = m_generation;
    }
    struct Progress {
        CPoiQuery* query;
        const CPoiNotification* notification;
        uint32_t generation;
    } progress { this, &request.notification, generation };
    const PoiProgressFunction report = [](void* context, int index) {
        auto* p = static_cast<Progress*>(context);
        return p->query->Notify(*p->notification, p->generation, NOTICE_RESULT, index);
    };
    int result = 0;
    if (request.routeRequest != 0) {
        result = QueryCorridor(request.route, request.corridorHalfWidth, m_results, kSearchLimit,
            request.category, async, report, &progress);
    } else {
        result = Query(request.area, m_results, kSearchLimit, request.category, async, report, &progress);
    }
    bool stopped = false;
    {
        platform::CSLock lock(m_lock);
        stopped = async && m_stop;
    }
    if (!stopped)
        Notify(request.notification, generation, NOTICE_END, result);
    return result;
}

// ------------------------------------------------------------------ the search

QString CPoiQuery::AddressAt(Cursor& cursor, int32_t x, int32_t y)
{
    if (x == cursor.cachedX && y == cursor.cachedY)
        return cursor.cachedAddress;
    QString text;
    if (x != kUnset && y != kUnset && cursor.searcher.GetMapView() != nullptr) {
        // Scale 128 gives the least radius, four map units.
        cursor.searcher.FindObjectsAtPoint(x, y, 128);
        cursor.searcher.GetAddressText(text);
    }
    cursor.cachedX = x;
    cursor.cachedY = y;
    cursor.cachedAddress = text;
    return text;
}

void CPoiQuery::ReadAttributes(Cursor& cursor, CPoiResult& result)
{
    do {
        const int32_t type = ZXS_PoiGetAttrType(&cursor.handle);
        if (type == 0)
            continue;
        bool ok = false;
        QString text = ReadText(&ZXS_PoiGetAttrTextW, cursor.handle, &ok);
        if (!ok)
            text = QStringLiteral("?");
        switch (type) {
        case 1:
            result.phone = text;
            break;
        case 2:
            result.fax = text;
            break;
        case 3:
            result.phoneFax = text;
            break;
        case 4:
            result.attr4 = text;
            break;
        case 5:
            result.zipCode = text;
            break;
        case 7:
            result.attr7 = text;
            break;
        case 8:
            result.attr8 = text;
            break;
        default:
            break;
        }
    } while (ZXS_PoiAdvanceAttr(&cursor.handle) == 0);
}

int CPoiQuery::Walk(Cursor& cursor, const ZXS_Rect& area, const Filter& keep, std::vector<CPoiResult>& target,
    int limit, const QString& category, bool async, PoiProgressFunction progress, void* context)
{
    const CZXS_MapHandle* map = Map();
    if (ZXS_PoiQueryRect(&cursor.handle, map, &area) != 0)
        return 0;
    if (const int32_t first = ZXS_PoiFirst(&cursor.handle); first != 0)
        return first == 20 ? 1 : 0;
    const bool filtered = category != kAllCategories;
    do {
        if (CheckStop(async))
            return 1;
        CPoiResult result;
        const QString poiCategory = ReadText(&ZXS_PoiGetCategoryW, cursor.handle);
        if (filtered && poiCategory != category)
            continue;
        result.category = poiCategory;
        ZXS_Point at;
        if (ZXS_PoiGetMapPos(&cursor.handle, map, &at) == 0) {
            result.x = at.x;
            result.y = at.y;
        }
        if (keep && !keep({ result.x, result.y }))
            continue;
        result.name = ReadText(&ZXS_PoiGetNameW, cursor.handle);
        if (CheckStop(async))
            return 1;
        result.address = AddressAt(cursor, result.x, result.y);
        ReadAttributes(cursor, result);
        int index = 0;
        {
            platform::CSLock lock(m_lock);
            if (async && m_stop)
                return 1;
            target.push_back(std::move(result));
            index = static_cast<int>(target.size()) - 1;
        }
        // Reported outside the lock: a page that answers a sent notice reads
        // the results under it.
        if (progress != nullptr && progress(context, index) == 0)
            return 1;
        if (index + 1 >= limit)
            return 1;
    } while (ZXS_PoiNext(&cursor.handle) == 0);
    return 1;
}

int CPoiQuery::Query(const ZXS_Rect& area, std::vector<CPoiResult>& target, int limit,
    const QString& category, bool async, PoiProgressFunction progress, void* context)
{
    Cursor& cursor = async ? *m_workerCursor : *m_pointCursor;
    return Walk(cursor, area, nullptr, target, limit, category, async, progress, context);
}

int CPoiQuery::QueryCorridor(const std::vector<ZXS_Point>& route, double halfWidth,
    std::vector<CPoiResult>& target, int limit, const QString& category, bool async,
    PoiProgressFunction progress, void* context)
{
    const double units = ZXS_MetersToMapUnits(Map(), halfWidth);
    if (route.empty() || units < 0.0)
        return 0;
    const CorridorIndex corridor(route, units);
    Cursor& cursor = async ? *m_workerCursor : *m_pointCursor;
    return Walk(
        cursor, corridor.Box(), [&](const ZXS_Point& p) { return corridor.Contains(p); }, target, limit,
        category, async, progress, context);
}

int CPoiQuery::QueryAtPoint(int32_t x, int32_t y, double size)
{
    m_pointResults.clear();
    const double units = ZXS_MetersToMapUnits(Map(), size);
    if (units == -1.0)
        return 0;
    const auto h = static_cast<int32_t>(units * 0.5);
    const ZXS_Rect area { x - h, y - h, x + h, y + h };
    return Query(area, m_pointResults, kPointLimit, kAllCategories, false);
}

// ------------------------------------------------------------------ results

int CPoiQuery::GetSearchResultCount() const
{
    platform::CSLock lock(m_lock);
    return static_cast<int>(m_results.size());
}

bool CPoiQuery::GetSearchResult(int index, CPoiResult& result) const
{
    platform::CSLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_results.size()))
        return false;
    result = m_results[static_cast<size_t>(index)];
    return true;
}

ZXS_Point CPoiQuery::GetResultPosition(int index) const
{
    platform::CSLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_results.size()))
        return { kUnset, kUnset };
    return { m_results[static_cast<size_t>(index)].x, m_results[static_cast<size_t>(index)].y };
}

int CPoiQuery::CompareResults(int a, int b, int column) const
{
    platform::CSLock lock(m_lock);
    const int count = static_cast<int>(m_results.size());
    if (a < 0 || b < 0 || a >= count || b >= count || column < 0 || column >= 7)
        return 0;
    auto text = [&](const CPoiResult& r) -> const QString& {
        switch (column) {
        case 0:
            return r.category;
        case 1:
            return r.name;
        case 2:
            return r.address;
        case 3:
            return r.phone;
        case 4:
            return r.phoneFax;
        case 5:
            return r.fax;
        default:
            return r.zipCode;
        }
    };
    const int c = QStringView(text(m_results[size_t(a)])).compare(QStringView(text(m_results[size_t(b)])));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CPoiQuery::InsertResultAt(int row, int index, QTreeWidget* list) const
{
    if (list == nullptr)
        return 0;
    CPoiResult r;
    if (!GetSearchResult(index, r))
        return 0;
    auto* item = new QTreeWidgetItem();
    item->setText(0, r.category);
    item->setData(0, Qt::UserRole, index);
    const QString texts[] = { r.name, r.address, r.phone, r.phoneFax, r.fax, r.zipCode };
    for (int i = 0; i < 6; ++i)
        item->setText(i + 1, texts[i]);
    list->insertTopLevelItem(std::clamp(row, 0, list->topLevelItemCount()), item);
    SetItemImage(list, item, GetCategoryIndex(r.category));
    return 1;
}

void CPoiQuery::FillResultList(QTreeWidget* list) const
{
    if (list == nullptr || IsRunning())
        return;
    const int count = GetSearchResultCount();
    for (int i = 0; i < count; ++i)
        InsertResultAt(i, i, list);
}

// ------------------------------------------------------------------ categories and the area

int CPoiQuery::GetCategoryIndex(const QString& category) const
{
    for (qsizetype i = 1; i < m_categoryNames.size(); ++i) {
        if (m_categoryNames[i] == category)
            return static_cast<int>(i);
    }
    return 0;
}

void CPoiQuery::LoadCategoryNames()
{
    static const char16_t* const kNames[] = { u"Все", u"Автозапчасти", u"Автомагазин", u"Автоперевозка",
        u"Автосервис", u"Автостоянка", u"Автошкола", u"АЗС", u"Аптека", u"Баня/сауна", u"Бар", u"Бассейн",
        u"Библиотека", u"Больница", u"Боулинг", u"Ветеринарная аптека", u"ВУЗ", u"Выставочный центр", u"ГАИ",
        u"Гостиница", u"Детсад/ясли", u"Казино", u"Кинотеатр", u"Медцентр", u"Медкомиссия",
        u"Мелкооптовый магазин", u"Милиция", u"Молочная кухня", u"м-н Бытовой техники", u"м-н Мебель",
        u"Нотариус", u"Ночной клуб", u"Оздоровительный центр", u"Оптовый рынок", u"Парикмахерская",
        u"Поликлиника", u"Посольство", u"ПП ГАИ", u"Прокуратура", u"Религиозная организация", u"Ресторан",
        u"Роддом", u"Салон красоты", u"Спортклуб", u"Спорткомплекс", u"Стоматология", u"Суд", u"Такси",
        u"Театр", u"Травмпункт", u"Турфирма", u"Церковь", u"Школа" };
    m_categoryNames.clear();
    for (const char16_t* name : kNames)
        m_categoryNames.append(QString::fromUtf16(name));
}

void CPoiQuery::SetSearchArea(int32_t size, int32_t kind, const CGeoPos& position)
{
    m_lastSize = size;
    m_lastWhere = kind;
    m_lastPosition = position;
}

void CPoiQuery::GetSearchArea(int32_t& size, int32_t& kind, CGeoPos& position) const
{
    size = m_lastSize;
    kind = m_lastWhere;
    position = m_lastPosition;
}

// ------------------------------------------------------------------ starting a search

namespace {

// The point a place kind searches around; false when there is none.
bool KindPoint(CMapController& controller, int kind, int32_t x, int32_t y, ZXS_Point& point)
{
    switch (kind) {
    case CPoiQuery::KIND_CENTRE:
        point = { controller.GetCentreX(), controller.GetCentreY() };
        break;
    case CPoiQuery::KIND_GPS: {
        if (!g_gpsSource)
            return false;
        platform::CSLock lock(g_gpsFixLock);
        if (g_gpsSource->IsMapPositionValid() == 0)
            return false;
        g_gpsSource->GetMapPosition(&point.x, &point.y);
        break;
    }
    case CPoiQuery::KIND_POINT:
        point = { x, y };
        break;
    default: {
        const CWaypoint* waypoint = kind < 0 && g_waypoints ? g_waypoints->GetAt(-kind - 1) : nullptr;
        if (waypoint == nullptr)
            return false;
        point = { waypoint->m_mapX, waypoint->m_mapY };
        break;
    }
    }
    return point.x != kUnset && point.y != kUnset;
}

// The map rectangle under the whole screen; false when a corner is off the map.
bool ScreenArea(CMapController& controller, ZXS_Rect& area)
{
    const int width = GetScreenWidth();
    const int height = GetScreenHeight();
    const CZXS_ViewHandle* view = controller.GetView();
    area = { ZXS_ViewScreenToMapX(view, 0, 0), ZXS_ViewScreenToMapY(view, 0, 0),
        ZXS_ViewScreenToMapX(view, width, height), ZXS_ViewScreenToMapY(view, width, height) };
    return area.left != kUnset && area.top != kUnset && area.right != kUnset && area.bottom != kUnset;
}

// The route's guide nodes from `first` on, read under the route's point lock.
std::vector<ZXS_Point> RouteLine(CRouteManager& routes, int32_t first)
{
    platform::CSLock lock(routes.GetRoute().GetPointLock());
    const std::vector<GuideNode>& nodes = routes.GetGuideNodes();
    std::vector<ZXS_Point> line;
    for (size_t i = static_cast<size_t>(std::max(first, 0)); i < nodes.size(); ++i) {
        if (nodes[i].x != kUnset && nodes[i].y != kUnset)
            line.push_back({ nodes[i].x, nodes[i].y });
    }
    return line;
}

} // namespace

int StartPoiSearch(int kind, int32_t size, int32_t x, int32_t y, QTreeWidget* list, const QString& category,
    const CPoiNotification* notification)
{
    if (!g_MapController)
        return -1;
    CMapController& controller = *g_MapController;
    CPoiQuery& query = controller.GetPoiSearcher();
    query.Stop(true);
    const double units = ZXS_MetersToMapUnits(controller.GetMapSet().ActiveMap(), size);
    if (units == -1.0)
        return -1;
    CPoiQueryRequest request;
    if (kind == CPoiQuery::KIND_ROUTE_PART || kind == CPoiQuery::KIND_ALONG_ROUTE) {
        request.routeRequest = 1;
        request.corridorHalfWidth = static_cast<double>(size / 2);
        CRouteManager& routes = controller.GetRouteManager();
        request.startNode = routes.IsOnRoute() != 0 ? routes.GetCurrentNode() : 0;
        request.wholeRoute = kind == CPoiQuery::KIND_ALONG_ROUTE ? 1 : 0;
        request.route = RouteLine(routes, request.wholeRoute != 0 ? 0 : request.startNode);
    } else if (kind == CPoiQuery::KIND_SCREEN) {
        if (!ScreenArea(controller, request.area))
            return -1;
    } else {
        ZXS_Point point;
        if (!KindPoint(controller, kind, x, y, point))
            return -1;
        const auto h = static_cast<int32_t>((units + 1.0) * 0.5);
        request.area = { point.x - h, point.y - h, point.x + h, point.y + h };
    }
    if (list != nullptr)
        list->clear();
    request.category = category;
    if (notification != nullptr)
        request.notification = *notification;
    return query.StartAsync(request) != 0 ? 0 : 1;
}
