#pragma once
// The route the user chose: four point slots (start, station 1, station 2,
// finish), which of them are set and which changed since the last computed
// route, the points of the last route that was computed (to fall back to),
// the markers the map draws at the points, the route's name, whether a
// computed route exists, the route options, and the route-length balloon at
// the bottom of the map. The route's geometry lives in the kernel's router of
// the map view; this object decides which points the router gets.
//
// Everything runs on the user-interface thread; the draw thread reads the
// markers, the balloon and the guidance under the point lock. Locks are taken
// in the order compute, table, point.
#include "foundation/plane_geometry.h"
#include "platform/sync.h"
#include "ui/button_hint.h"
#include "ui/screen_element.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CRouteManager;

// Map coordinates of a point that is not set.
inline constexpr int32_t kUnsetCoordinate = 0x8000000;

inline bool IsSetMapPoint(const MapPoint& p) { return p.x != kUnsetCoordinate && p.y != kUnsetCoordinate; }

// What route building answers, and what the controller reports to the user.
enum RouteResultCode : int32_t {
    ROUTE_OK = 0,
    ROUTE_NOT_SUPPORTED = 1,
    ROUTE_NO_ROAD_GRAPH = 2,
    ROUTE_BUSY = 5, // the points are kept and the route is built later
    // The route wizard is working on the route: nothing was stored or built.
    ROUTE_WIZARD_HOLDS_ROUTE = 6,
    ROUTE_TOO_MANY_POINTS = 61,
    ROUTE_CANNOT_CONNECT = 62,
    ROUTE_NO_SEGMENT = 64,
    ROUTE_NO_SEGMENT_NEAR = 65,
    ROUTE_OUT_OF_MEMORY = 160,
    ROUTE_FAILED = 167, // no metric scale, nothing to route, or the map was not reopened
};

// One route point slot.
struct RoutePoint {
    enum : int32_t { FLAG_SET = 0x1, FLAG_PENDING = 0x2 };

    int32_t x = kUnsetCoordinate;
    int32_t y = kUnsetCoordinate;
    int32_t flags = 0;

    bool HasCoordinates() const { return x != kUnsetCoordinate && y != kUnsetCoordinate; }
    bool IsSet() const { return (flags & FLAG_SET) != 0; }
    bool IsPending() const { return (flags & FLAG_PENDING) != 0; }
    MapPoint Point() const { return { x, y }; }
    // Stores a coordinate pair: set and pending when both coordinates are set,
    // else pending only.
    void Store(const MapPoint& p);
};

// A marker the map draws at a set point.
struct RouteMarker {
    int32_t x = 0;
    int32_t y = 0;
    int32_t slot = 0;
};

// The points of a route and what belongs to them.
struct RoutePointTable {
    static constexpr int kSlots = 4;

    std::vector<RoutePoint> points = std::vector<RoutePoint>(kSlots);
    // The points of the last successfully computed route.
    std::vector<MapPoint> savedPoints = std::vector<MapPoint>(kSlots, { kUnsetCoordinate, kUnsetCoordinate });
    std::vector<RouteMarker> markers;
    // Map units within which the router snaps the points to the road graph; -1 not yet known.
    int32_t searchRadius = -1;
    QString name;
    QString savedName;

    int Count() const { return static_cast<int>(points.size()); }
    // Stores `count` points from slot `firstSlot` on (as many as there are
    // slots); a given name becomes the route's name.
    void Assign(const MapPoint* from, int count, int firstSlot, const QString* newName);
    // Reverses the slot order; every point becomes pending.
    void Reverse();
    void RestoreSaved();
    void MarkAllPending();
    bool HasPending() const;
    bool HasSetPoint() const;
    // Index of the first point with both coordinates set; Count() when none.
    int FirstSetPoint() const;
    void RebuildMarkers();
    void Reset();
};

// How many of the points in [first, last) have both coordinates set.
int CountSetPoints(const MapPoint* first, const MapPoint* last);

// The route wizard's working points while it builds a route.
struct RouteWizardList {
    std::vector<MapPoint> points;
    int32_t searchRadius = -1;
};

class CRoute : public CScreenElement {
public:
    enum : int32_t {
        SLOT_START = 0,
        SLOT_FINISH = 3,
        // Operation codes of SetPoints besides the first slot 0..3.
        CODE_ROUTE_AGAIN = 254,
        CODE_REVERSE = 255,
        // Option bits.
        OPTION_REROUTE_ON_DEVIATION = 0x1,
        OPTION_REROUTE_AFTER_JAMS = 0x2,
        // The route-length balloon's default display time, milliseconds.
        DEFAULT_LENGTH_TIME = 15000,
        DEFAULT_DEVIATION_DELAY = 6,
        BALLOON_FONT = 196,
    };

    explicit CRoute(CRouteManager* manager);
    ~CRoute() override;
    CRoute(const CRoute&) = delete;
    CRoute& operator=(const CRoute&) = delete;

    // Points. `name`, when given, becomes the route's name.
    int32_t SetPoints(const MapPoint* points, int count, int code, const QString* name = nullptr);
    int32_t Clear();
    int32_t GetState() const override { return m_state.load(); }
    // The markers; the caller holds the point lock while it uses them.
    const RouteMarker* GetMarkers(int& count) const;
    int IsPointSet(int slot);
    // The slot of the marker nearest to the point within the radius; 255 when none.
    uint8_t FindPointNear(const MapPoint& point, int32_t radius);
    int PointCount() const { return RoutePointTable::kSlots; }
    // Copies of the table's state, taken under the table lock.
    std::vector<RoutePoint> GetPoints();
    QString GetName();
    int32_t GetSearchRadius();
    void SetSearchRadius(int32_t radius);

    // Computing (busy word held by the route manager) and the route wizard.
    int32_t Calculate();
    int32_t StartWizard();
    int32_t SetWizardPoint(const MapPoint* point, int n);
    void ClearWizardPoint(int n);
    int IsWizardPointSet(int n);
    void EndWizard(int mode);
    bool HasWizardList();

    // The route file.
    int SaveToFile(const QString& path);
    int LoadFromFile(const QString& path);

    // Options.
    void SetRouteLengthTime(int32_t ms) { m_lengthTime = ms; }
    int32_t GetRouteLengthTime() const { return m_lengthTime; }
    void SetRerouteOnDeviation(int on);
    int GetRerouteOnDeviation() const { return (m_options & OPTION_REROUTE_ON_DEVIATION) ? 1 : 0; }
    void SetRerouteAfterJams(int on);
    int GetRerouteAfterJams() const { return (m_options & OPTION_REROUTE_AFTER_JAMS) ? 1 : 0; }
    void SetDeviationDelay(int32_t seconds) { m_deviationDelay = seconds; }
    int32_t GetDeviationDelay() const { return m_deviationDelay; }

    // The route length in metres (-1 none), set by the route manager from the guidance.
    void SetRouteLength(int32_t metres) { m_length.store(metres); }
    int32_t GetRouteLength() const { return m_length.load(); }

    // Screen element.
    int SetSurface(CDrawTool* surface) override;
    void Draw() override;
    void ShowRouteLength();
    void RouteLengthTick();
    void UpdateBalloonPosition();
    CButtonHint& GetBalloon() { return m_balloon; }

    platform::CriticalSection& GetPointLock() { return m_pointLock; }
    platform::CriticalSection& GetComputeLock() { return m_computeLock; }
    platform::CriticalSection& GetTableLock() { return m_tableLock; }

private:
    // Drops the computed route: length, prompt flags, state, guidance and the
    // kernel's router. Answers the kernel's code.
    int32_t DropComputedRoute();
    int32_t CalculateLocked(bool wasBuilt);
    int32_t OnOutOfMemory(int32_t code, const std::function<int32_t()>& retry, bool wasBuilt);
    void RestorePreviousPoints();
    int32_t RouteLeg(const MapPoint& point, int slot, int32_t radius);
    int32_t ComputeLegs(int32_t optimisation);
    int32_t SetWizardPointOnce(const MapPoint& point, int n);

    CRouteManager* m_manager;
    platform::CriticalSection m_pointLock;
    platform::CriticalSection m_computeLock;
    platform::CriticalSection m_tableLock;
    RoutePointTable m_table;
    std::atomic<int32_t> m_state { 0 };
    int32_t m_lengthTime = DEFAULT_LENGTH_TIME;
    int32_t m_lengthElapsed = DEFAULT_LENGTH_TIME;
    std::atomic<int32_t> m_length { -1 };
    CButtonHint m_balloon;
    std::atomic<uint32_t> m_options { 0 };
    int32_t m_deviationDelay = DEFAULT_DEVIATION_DELAY;
    std::unique_ptr<RouteWizardList> m_wizard;
    uint8_t m_reentry = 0;
    // The previous points are being computed again after a failure.
    bool m_restoring = false;
};
