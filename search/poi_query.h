#pragma once
// The POI query: points of interest of the map's POI set inside an area
// (around a point, a waypoint, the screen, or along the route), optionally of
// one category, with their names, positions, addresses and contact
// attributes. An area search runs on a worker thread of its own and reports
// every new result and its end to the page that started it; a search at a
// tapped point runs at once on the caller's thread. The query also holds the
// POI category names the pages filter by, and remembers the last search place
// and size.
//
// The worker can be paused and stopped between two POI; Stop joins it. Every
// search has a generation number, and a notice of a search that was stopped
// or replaced is dropped before it reaches the page, so a page never sees a
// row of a search it no longer shows. The search at a point uses a kernel
// cursor and an address searcher of its own, never the worker's.
#include "foundation/geo_pos.h"
#include "kernel/api/map_query.h"
#include "kernel/api/poi_handle.h"
#include "platform/messages.h"
#include "platform/sync.h"
#include "search/address_searcher.h"

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

class CMapController;
class QTreeWidget;
struct PoiNoticeReply;

// One point of interest.
struct CPoiResult {
    QString category; // empty when it cannot be read
    QString name;
    int32_t x = 0x8000000; // map point; 0x8000000 when the position cannot be read
    int32_t y = 0x8000000;
    QString phone; // attribute type 1
    QString address; // the address searcher's text for the position
    QString phoneFax; // type 3
    QString fax; // type 2
    QString zipCode; // type 5
    QString attr4, attr7, attr8; // types 4, 7 and 8, kept but shown nowhere
};

// (context, index of the new result) -> 0 ends the search.
using PoiProgressFunction = int (*)(void* context, int index);
// (context, search result: 1 success, 0 failure).
using PoiCompletionFunction = void (*)(void* context, int result);

// How a search reports.
struct CPoiNotification {
    enum : uint8_t { MODE_MESSAGES = 0, MODE_CALLBACKS = 1 };
    uint8_t mode = MODE_CALLBACKS;
    // Window messages: wParam 0 and lParam the index of a new result, wParam 1
    // and lParam the search result at the end. Posted (post 1), or sent, when
    // a handler's 0 for a new result ends the search.
    platform::MessageTarget* window = nullptr;
    uint32_t message = 0;
    uint8_t post = 1;
    // Callbacks, called on the worker's thread.
    PoiProgressFunction progress = nullptr;
    PoiCompletionFunction completion = nullptr;
    void* context = nullptr;
};

class CPoiQuery;

// What a started search carries.
struct CPoiQueryRequest {
    QString category; // "Все" for all
    int32_t routeRequest = 0; // 1: along the route
    ZXS_Rect area {}; // the area kinds: the map rectangle to search
    // The route kinds: the corridor half-width in metres, the guide node to
    // start from, the whole route (1) or the part ahead (0), and the route's
    // line from there on, taken when the search started.
    double corridorHalfWidth = 0.0;
    int32_t startNode = 0;
    uint8_t wholeRoute = 0;
    std::vector<ZXS_Point> route;
    CPoiNotification notification;
    CPoiQuery* query = nullptr;
};

class CPoiQuery {
public:
    static constexpr int kSearchLimit = 999;
    static constexpr int kPointLimit = 1019;
    // Search place kinds of StartPoiSearch; a negative kind -k-1 is waypoint k.
    enum Kind : int {
        KIND_CENTRE = 0,
        KIND_GPS = 1,
        KIND_SCREEN = 2,
        KIND_POINT = 3,
        KIND_ROUTE_PART = 4,
        KIND_ALONG_ROUTE = 5,
    };
    // The kinds of notice in a window message's wParam.
    enum : platform::WPARAM { NOTICE_RESULT = 0, NOTICE_END = 1 };

    CPoiQuery();
    // Stops and joins a running search.
    ~CPoiQuery();
    CPoiQuery(const CPoiQuery&) = delete;
    CPoiQuery& operator=(const CPoiQuery&) = delete;

    // The controller whose map the searches read and whose address
    // searches name the results; 0 for none.
    int SetMapView(CMapController* controller);

    // Stops any running search, then starts one on a worker thread: 1 when
    // the worker started, else 0.
    int StartAsync(const CPoiQueryRequest& request);
    // Asks the worker to end, which it does within one POI; with `wait` the
    // caller waits for it. No notice of the stopped search reaches its page
    // afterwards, and the results found so far are kept.
    void Stop(bool wait);
    // Holds the worker at the next POI; the previous pause count, 0 when no worker runs.
    int Pause();
    // Lets a paused worker go on.
    void Resume();
    bool IsRunning() const;

    // One area or corridor search into the results, reported through the
    // request's notification. The search result.
    int RunRequest(const CPoiQueryRequest& request, bool async);
    // The search itself over a rectangle: 1 when it ran (also when stopped or
    // nothing was found), 0 when the kernel refused the area.
    int Query(const ZXS_Rect& area, std::vector<CPoiResult>& target, int limit, const QString& category,
        bool async, PoiProgressFunction progress = nullptr, void* context = nullptr);
    // The search along a polyline of map points, keeping the POI within
    // `halfWidth` metres of it; as Query.
    int QueryCorridor(const std::vector<ZXS_Point>& route, double halfWidth, std::vector<CPoiResult>& target,
        int limit, const QString& category, bool async, PoiProgressFunction progress = nullptr,
        void* context = nullptr);
    // Every POI in the square of `size` metres around the point, all
    // categories, into the point results. 0 without a map.
    int QueryAtPoint(int32_t x, int32_t y, double size);

    int GetSearchResultCount() const;
    // A copy of a result of the area search; false outside the results.
    bool GetSearchResult(int index, CPoiResult& result) const;
    int GetResultCount() const { return static_cast<int>(m_pointResults.size()); }
    const std::vector<CPoiResult>& GetPointResults() const { return m_pointResults; }
    // The map point of an area search result; (0x8000000, 0x8000000) outside the results.
    ZXS_Point GetResultPosition(int index) const;
    // -1, 0 or 1 comparing column 0..6 (category, name, address, phone,
    // phone/fax, fax, zip code) of two results; 0 outside the results.
    int CompareResults(int a, int b, int column) const;
    // Inserts result `index` as list row `row`; 1 when inserted.
    int InsertResultAt(int row, int index, QTreeWidget* list) const;
    // Every result as row i for result i, unless a search is running.
    void FillResultList(QTreeWidget* list) const;

    const QStringList& GetCategoryNames() const { return m_categoryNames; }
    // Index 1..52 of a category name; 0 for "Все" and any other text.
    int GetCategoryIndex(const QString& category) const;
    // "Все" and the 52 categories of the map's POI set (once; again replaces them).
    void LoadCategoryNames();

    void SetSearchArea(int32_t size, int32_t kind, const CGeoPos& position);
    void GetSearchArea(int32_t& size, int32_t& kind, CGeoPos& position) const;

private:
    // A kernel cursor with the address lookups that go with it; one for the
    // worker, one for the searches at a point.
    struct Cursor {
        Cursor();
        ~Cursor();
        CZXS_PoiHandle handle;
        CAddressSearcher searcher;
        int32_t cachedX = -1;
        int32_t cachedY = -1;
        QString cachedAddress;
    };
    // A notice on its way from the worker to the page.
    struct Notice {
        uint32_t generation = 0;
        platform::WPARAM kind = NOTICE_RESULT;
        platform::LPARAM value = 0;
        // Set for a sent notice: the worker waits for the page's answer.
        std::shared_ptr<PoiNoticeReply> reply;
    };
    class Relay;
    using Filter = std::function<bool(const ZXS_Point&)>;

    int Walk(Cursor& cursor, const ZXS_Rect& area, const Filter& keep, std::vector<CPoiResult>& target,
        int limit, const QString& category, bool async, PoiProgressFunction progress, void* context);
    // Waits while paused; true when the worker is asked to stop.
    bool CheckStop(bool async);
    void ReadAttributes(Cursor& cursor, CPoiResult& result);
    QString AddressAt(Cursor& cursor, int32_t x, int32_t y);
    void WorkerMain(CPoiQueryRequest request);
    // Reports a notice of the current search to its page; the page's answer
    // for a sent notice, 1 otherwise.
    int Notify(const CPoiNotification& notification, uint32_t generation, platform::WPARAM kind,
        platform::LPARAM value);
    void DeliverNotices();

    const CZXS_MapHandle* Map() const;

    CMapController* m_controller = nullptr;
    mutable platform::CriticalSection m_lock; // results, worker, stop, generation
    std::thread m_worker;
    bool m_running = false;
    bool m_stop = false;
    int m_pauseCount = 0;
    uint32_t m_generation = 0;
    CPoiNotification m_notification; // of the current generation
    std::mutex m_waitMutex; // pauses and sent notices wait on m_wake
    std::condition_variable m_wake;
    std::deque<Notice> m_notices;
    std::unique_ptr<Relay> m_relay;

    std::unique_ptr<Cursor> m_workerCursor;
    std::unique_ptr<Cursor> m_pointCursor;
    std::vector<CPoiResult> m_results;
    std::vector<CPoiResult> m_pointResults;
    int32_t m_lastSize = 500;
    int32_t m_lastWhere = 0;
    CGeoPos m_lastPosition;
    QStringList m_categoryNames;
};

// Starts an area search of the controller's POI query: stops the running one,
// finds the area of the place kind (size in metres, the point for kind 3),
// empties the result list and starts the worker. -1 when the area cannot be
// determined, 0 when the search started, 1 when no worker could be started.
int StartPoiSearch(int kind, int32_t size, int32_t x, int32_t y, QTreeWidget* list, const QString& category,
    const CPoiNotification* notification);
