#pragma once
// The one controller of the map screen. It owns the map set and the kernel
// view, the view state (centre, scale, rotation and the view modes) and the
// on-map elements; every other part of the program changes the map through it.
// The user-interface thread (commands, tick, pointer) and the draw thread
// (Draw) share it: the controller lock guards the view state, the pen state
// and the elements; the element lock guards the centre marker.
//
// The controller is split over several files: this one's source (state and
// modes), map_drawing.cpp (frames, overlays, screenshots), map_pointer.cpp
// (pointer input) and the tick with the route requests.
#include "app/map_item_holder.h"
#include "app/map_set.h"
#include "controls/blinker.h"
#include "controls/button_bar.h"
#include "foundation/geo_pos.h"
#include "foundation/image_buffer.h"
#include "kernel/api/types.h"
#include "nav/popup_context.h"
#include "nav/route_manager.h"
#include "platform/process_object.h"
#include "platform/sync.h"
#include "search/address_searcher.h"
#include "search/poi_query.h"
#include "traffic/jam_file_manager.h"
#include "traffic/jam_schedule.h"
#include "ui/button_hint.h"
#include "ui/screen_element.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class CBitmapElement;
class CCompassWidget;
class CDiagramButton;
class CQuickMenuBar;
class CZoomControl;
class CZXS_View;
struct CZXS_PassageRecord;

// What a tap on the map does; set by the tap-mode commands.
enum TapMode : int32_t {
    TAP_SCROLL = 1,
    TAP_ZOOM_WINDOW = 2,
    TAP_FIRST_POINT = 3,
    TAP_LAST_POINT = 4,
    TAP_OBJECT_NAME = 5,
    TAP_ROUTE_FINISH_ONLY = 6,
};

// A map coordinate that is no point (unset, or a conversion that failed).
inline constexpr int32_t kNoMapPoint = 0x8000000;
// Screen coordinates beyond this cannot be converted.
inline constexpr int32_t kMaxScreenOffset = 32760;

// What moving mode hid, to be put back when it ends.
struct MovingModeState {
    enum : uint32_t {
        ADDRESS_PANEL_SHOWN = 0x1,
        TOP_BAR_VISIBLE = 0x2,
        BOTTOM_BAR_VISIBLE = 0x4,
        CENTRE_MARKER_SHOWN = 0x8,
    };
    int32_t bottomBarState = 0;
    int32_t topBarState = 0;
    uint32_t flags = 0;
};

// The on-map elements the controller owns and lays out. The controls build
// them and hand them over at start-up; until then a place stays empty and
// nothing is offered to it or drawn.
struct MapElements {
    std::unique_ptr<CButtonBar> topBar;
    std::unique_ptr<CButtonBar> bottomBar;
    std::unique_ptr<CScreenElement> centreMarker; // under the element lock
    std::unique_ptr<CScreenElement> zoomControl;
    std::unique_ptr<CScreenElement> scaleBar;
    std::unique_ptr<CScreenElement> widgetSet;
    std::unique_ptr<CScreenElement> quickBar;
};

class CMapController : public CImageBuffer, public CScreenElement {
public:
    static constexpr int32_t kStartScale = 2560;
    static constexpr int32_t kStartCentreX = 39000;
    static constexpr int32_t kStartCentreY = 32000;
    static constexpr int32_t kCollapsedMinCentreX = 8116;
    static constexpr int32_t kCollapsedMaxCentreY = 0xFFFF46;
    static constexpr uint32_t kAlwaysUpPeriodMs = 2500;
    static constexpr uint16_t kGpsBlinkMs = 800;

    CMapController();
    ~CMapController() override;
    CMapController(const CMapController&) = delete;
    CMapController& operator=(const CMapController&) = delete;

    // Start-up: attaches to the drawing surface and opens the map set (0 when
    // the surface is null or the kernel does not start; a CKNException from
    // the map set travels to the caller). Then, after the settings: OpenView.
    int Attach(CDrawTool* surface);
    // The kernel view on the active map, sized to the screen; 0 after telling
    // the user when it cannot be made.
    int CreateView();
    // CreateView, the render-done callback, the map bounds and corners.
    int OpenView();
    // After a kernel memory failure or a map change: the view and the map set
    // made again, the view state put back. Returns the route rebuild's result
    // (0 when not asked), 167 when the map is busy and was not touched.
    int32_t ReopenMap(int rebuildRoute, int32_t flags);
    void SetMapReady() { m_mapReady = 1; }
    bool IsMapReady() const { return m_mapReady.load() != 0; }

    // The controller lock, and its hand-over around work done without it.
    void Lock() { m_lock.Lock(); }
    void Unlock() { m_lock.Unlock(); }
    int ReleaseLockFully() { return m_lock.IsOwnedByCurrentThread() ? m_lock.ReleaseAll() : 0; }
    void ReacquireLock(int count) { m_lock.ReacquireAll(count); }
    platform::CriticalSection& GetElementLock() { return m_elementLock; }

    // View state.
    int32_t GetCentreX() const { return m_centreX; }
    int32_t GetCentreY() const { return m_centreY; }
    int32_t GetScale() const { return m_scale; }
    int32_t GetPreviewScale() const { return m_previewScale; }
    void SetPreviewScale(int32_t scale) { m_previewScale = scale; }
    int32_t GetRotation() const { return m_rotation; }
    int32_t GetTapMode() const { return m_tapMode; }
    int IsFollowGps() const { return m_followGps; }
    void SetFollowGps(int on) { m_followGps = on ? 1 : 0; }
    int IsAlwaysUp() const { return m_alwaysUp; }
    int IsManualRotation() const { return m_manualRotation; }
    int IsJunctionZoom() const { return m_junctionZoom; }
    int IsRenderPending() const { return m_renderPending.load(); }
    int IsMapScreenActive() const { return m_mapScreenActive.load(); }
    void SetMapScreenActive(int on) { m_mapScreenActive = on ? 1 : 0; }
    int GetRedrawFlag() const { return m_redraw.load(); }
    // Ignored while redraw is suspended.
    void SetRedrawFlag(int value);
    void SuspendRedraw(int on) { m_redrawSuspended = on ? 1 : 0; }
    int32_t GetHighlightedObject() const { return m_highlightedObject; }
    CMapSet& GetMapSet() { return m_mapSet; }
    CMapItemHolder& GetViewHolder() { return m_viewHolder; }
    CAddressSearcher& GetAddressSearcher() { return m_addressSearcher; }
    CPoiQuery& GetPoiSearcher() { return m_poiQuery; }
    CZXS_ViewHandle* GetView() { return m_viewHolder.GetView(); }
    MapElements& GetElements() { return m_elements; }
    // The elements by their kind; none when the place is empty or holds
    // something else (a test's stand-in).
    CCompassWidget* GetCentreMarker();
    CZoomControl* GetZoomControl();
    CQuickMenuBar* GetQuickBar();
    CBitmapElement* GetScaleBarElement();
    CDiagramButton* GetWidgetSet();
    CManeuverPanel& GetOrientationPanel() { return m_routeManager.GetOrientationPanel(); }
    CButtonHint& GetInfoPanel() { return m_infoPanel; }
    CButtonHint& GetAddressPanel() { return m_addressPanel; }
    // The info panel when shown, else the address panel when the address
    // display is on, else none.
    CButtonHint* GetActiveInfoPanel();
    bool IsAddressDisplayOn() const { return m_addressDisplay.load() != 0; }
    void SetAddressDisplay(bool on) { m_addressDisplay = on ? 1 : 0; }
    CBlinkerList& GetBlinkers() { return m_blinkers; }
    ZXS_Rect GetMapBounds() const { return m_bounds; }

    // Centre and scale. The centre always lies within the map bounds.
    void SetCentreX(int32_t x);
    void SetCentreY(int32_t y);
    void SetCentre(int32_t x, int32_t y)
    {
        SetCentreX(x);
        SetCentreY(y);
    }
    // Scale and preview scale, kept on the scale list's range; a junction zoom
    // under way ends first.
    void SetScale(int32_t scale);
    int32_t SetCentreGeoPosition(const CGeoPos& position);
    // The view at start: centred on a saved or default place when the open map
    // holds it, else on the middle of the map (a place of another map would
    // leave the view on an edge with nothing of the map to see). Before the
    // view is open the place waits for the map's bounds.
    void SetStartCentre(const CGeoPos& position);
    int GetCentreGeoPosition(CGeoPos& position);
    bool ScreenToMap(const ElementPoint& point, ZXS_Point& out);
    bool MapToScreen(const ZXS_Point& point, ElementPoint& out);
    bool ScreenOffsetToMap(int32_t dx, int32_t dy, ZXS_Point& out);
    int Pan(int32_t dx, int32_t dy, int mode);
    void ApplyDrag(int mode);
    void BeginZoomPreview(int32_t scale);
    void ApplyZoomPreview();
    void CancelZoomPreview();
    // Map units of 1000 m plus a margin that grows with the scale; -1 when the
    // map has no metric scale.
    int32_t GetSearchRadius();
    // The popup request for the press point, with the map object nearest to it.
    const PopupContext& FillPopupContext();

    // Rotation, tenths of a degree 0..3599.
    void SetRotation(int32_t angle);
    void SetRotationLocked(int32_t angle);
    void SetManualRotation(int32_t angle);
    void ReleaseManualRotation(int32_t angle);
    void SetAlwaysUp(int on);

    // Modes.
    void SetJunctionZoom(int on);
    void SetMovingMode(bool on);
    bool IsMovingMode() const { return m_movingMode != nullptr; }
    const MovingModeState* GetMovingModeState() const { return m_movingMode.get(); }
    // Asks before the map jumps to an object while a view mode would take it
    // away again; 1 to go on (the mode switched off), 0 to stay.
    int ConfirmShowObject();
    void SetHighlightedObject(int32_t id);
    void ShowZoomSlider(bool on);
    bool IsZoomSliderShown();
    void SetCentreMarkerShown(bool on);
    bool GetCentreMarkerShown();
    void SetTapMode(int32_t mode);

    // Whether a GPS position lies on the map: 1 inside. `shown` receives the
    // position to show, moved onto the map's edge when it lies outside; the
    // measured position itself is never changed. 0 without map corners.
    int IsFixInsideMap(const CGeoPos& position, CGeoPos& shown) const;
    bool MapPointToGeoPos(const ZXS_Point& point, CGeoPos& out);
    // The kernel view's render-done callback (render thread).
    static void OnMapControllerCallback(int32_t code, void* user, CZXS_View* view);

    // Rendering the view (map_drawing.cpp): the first frame of a new view
    // position synchronously, then the antialiased one queued; RenderNow only
    // the synchronous one. Kernel errors are returned.
    int32_t RenderFirstFrame();
    int32_t RenderNow();
    // The current frame into the scroll buffer.
    void CopyFrameToScrollBuffer();

    // Pointer input (map_pointer.cpp), screen pixels; each answers 1.
    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    int OnPointerMove(const ElementPoint& point) override;
    int OnDoubleClick(const ElementPoint& point) override;
    // Zooms to the rectangle the pen drew: its middle becomes the centre and the
    // scale grows by the rectangle's share of the surface. 0 for a tap.
    int ZoomToPenRect();
    // The zoom control's part of a release: the pen is up and a slider drag
    // ends at the slider. 1 when the zoom control took the release.
    int ZoomSliderTapUp(const ElementPoint& point);
    // Ends the buffer drag, the zoom rectangle and the info panel of a press.
    void EndPointerGesture();
    bool IsPenDown() const { return m_penDown != 0; }

    // One frame of the map screen into the drawing surface (draw thread).
    void Draw() override;
    // The GPS marker at the GPS source's map position plus the offset (mode 0;
    // any other mode draws nothing). 1 drawn, 2 entirely off the surface, 0
    // nothing to draw; the marker's rectangle goes to outRect when given.
    int DrawGpsMarker(const ElementPoint& offset, int mode, ElementRect* outRect);
    int DrawGpsMarkerAt(const ZXS_Point& position, char status, double course, const ElementPoint& offset,
        ElementRect* outRect);
    // The route's points and the maneuver markers near the centre, plus the
    // offset (draw thread). The current maneuver blinks.
    void DrawRouteMarkers(const ElementPoint& offset);
    // The waypoints' symbols near the centre, plus the offset (draw thread),
    // from the places the tick last took from the waypoint list.
    void DrawWaypoints(const ElementPoint& offset);
    // Takes the waypoints' places and symbols for the frames (user-interface
    // thread, which alone changes the waypoint list).
    void PublishWaypointMarks();
    // Centres on the rectangle (map units) and, when it is not empty, shows it
    // whole, at no closer than the default scale. 1.
    int ZoomToRect(const ZXS_Rect& rect);
    // What the view commands show (map_view_commands.cpp): the whole route;
    // the route ahead from the current node with the GPS position (without a
    // route the map centres on the GPS position); every waypoint. Each 0 when
    // there is nothing to show.
    int ShowWholeRoute();
    int ShowRoutePart();
    int ShowAllWaypoints();
    // Asks the traffic manager for a jam download now.
    int RequestJamDownload();
    // The traffic settings (g_jamSettings) handed to the traffic manager again:
    // its period and transport; a download is no longer awaited. False when
    // the manager did not take them (or there is none).
    bool ApplyTrafficSettings();
    // Places the scale bar, the widget set and the zoom control for the screen.
    void LayoutElements();
    // Metres that 40 (scaled) pixels show; 0 when the map has no metric scale.
    int32_t GetScaleBarLength();
    void FillSurface(uint32_t colour);
    // The map picture as a file: format 0 a 24-bit BMP, 1 a JPEG of the
    // quality. 1 written, 0 not (also for any other format).
    int SaveScreenshot(const QString& path, int format, int quality);

    // The route (route_manager.h) and the traffic stores the tick serves.
    CRouteManager& GetRouteManager() { return m_routeManager; }
    CJamSchedule& GetJamSchedule() { return m_jamSchedule; }
    CJamFileManager& GetJamFiles() { return m_jamFiles; }
    // The two button bars: the top bar (index 1) and the bottom bar (index 0).
    CButtonBar& GetTopButtonBar() { return *m_elements.topBar; }
    CButtonBar& GetBottomButtonBar() { return *m_elements.bottomBar; }
    // Deletes the route and redraws; moving mode ends when a route existed. 1.
    int DeleteRoute();

    // The 250 ms tick and the route requests (controller_tick.cpp).
    void OnTick();
    // Recentres on the GPS position when it leaves the inset box; 1 when moved.
    int FollowGps();
    // Turns and recentres for always up when the course turned or the position left its box.
    int AlwaysUpRecentre();
    // Centres on the GPS position moved back by `offset` pixels along the
    // course; with turn 1 the map first turns to the course. 0 without a position.
    int CenterOnGps(int32_t offset, int turn);
    void UpdateAddressPanel();
    void HoldTrafficRefresh();
    void ScheduleTrafficRefresh(int32_t status);
    // The view's render-done or jam event (10000): redraws, and rebuilds the
    // route when new jams arrived and the route option asks for it.
    void OnTrafficEvent(int32_t code);
    // The traffic manager's event: 2 a jam file saved (status not negative,
    // with the jam picture's local file time when it carried one) or a failed attempt.
    void OnJamManagerEvent(int event, int32_t status, const uint64_t* jamTime = nullptr);
    // Once the jams are old: they leave the journal; the user's closures stay.
    void RefreshRoadBlocks();
    // The user's change of a road element's passage (the record's passage:
    // bit 0 closed, bit 1 no backward passage), kept in the disabled-road
    // store: the kernel's status, or 3 after telling the user when the store
    // cannot take it (no main file, or attached files hold those flags).
    int32_t SetPassage(int32_t roadId, const CZXS_PassageRecord& record);
    // Route requests; each reports its result (ReportRouteResult). `code` is
    // the first slot (0..3) of the points, 254 for all points again, 255 for
    // the back route. 1 on success.
    int BuildRoute(const MapPoint* points, int count, int show, int code, const QString* name, int moving);
    int BuildRouteLocked(int show, int moving);
    // Sets the points now and has the main frame build the route, after the
    // next frame when deferred; 0 when the points were refused (reported).
    int PostBuildRoute(const MapPoint* points, int count, int show, int code, const QString* name,
        bool deferred, int moving);
    int32_t RecreateRoute();
    // After a deviation: the start moved to the GPS position and the route computed again.
    int32_t RecoverRoute();
    int32_t SetRoutePointAt(const ElementPoint& position, bool isMapUnits, int n);
    int32_t SetRouteStartAt(const ElementPoint& position, bool isMapUnits);
    int32_t SetRouteFinishAt(const ElementPoint& position, bool isMapUnits);
    int RouteFromGpsTo(const ElementPoint& screenPoint);
    // A tap that sets the first or last route point (tap modes 3 and 4):
    // nothing when the point is off the map; scroll mode after a route.
    void SetRoutePointFromTap(const ElementPoint& screenPoint, int slot);
    void ReportRouteResult(int32_t code);
    // The name of the map object under the pen in the info panel (tap mode
    // 5); a press shows "out of the map" where there is none.
    void ShowObjectNameAt(int pressed);

private:
    // The main frame's rebuild of the route (show, moving mode).
    void PostRebuild(bool show, bool moving);
    static int OnRebuildFrame(void* user);
    void ClearPenState();
    // The press where no element took it: the zoom control's answer, the pen
    // state and the tap mode's start.
    int PressOnMap(const ElementPoint& point);
    int32_t SetViewPosition();
    // Cancel, position, clear and the quick synchronous render.
    int32_t RenderQuickFrame();
    void CopyViewToSurface();
    void DrawHighlight();
    bool GetGpsMapPosition(ZXS_Point& position, char& status, double& course);

    // Position and extent of the map.
    CGeoPos m_lowerLeft;
    CGeoPos m_upperRight;
    ZXS_Rect m_bounds {};
    // The waypoints as the frames draw them: map point and symbol.
    struct WaypointMark {
        int32_t x;
        int32_t y;
        int32_t bitmapId;
    };
    platform::CriticalSection m_waypointMarksLock;
    std::vector<WaypointMark> m_waypointMarks;
    // The current maneuver's blink: steps 0..6, drawn on 3..6.
    int32_t m_maneuverBlinkStep = 0;
    int32_t m_maneuverBlinkNode = -1;
    // A start centre given before the map's bounds were known (SetStartCentre).
    CGeoPos m_startCentre;
    bool m_startCentrePending = false;
    void ApplyStartCentre();
    PopupContext m_popup;

    platform::CriticalSection m_lock;
    platform::CriticalSection m_elementLock;

    // Pen.
    ElementPoint m_current;
    ElementPoint m_press;
    int m_penDown = 0;
    int m_bufferDrag = 0;
    std::unique_ptr<CImageBuffer> m_scrollBuffer;

    CMapSet m_mapSet;
    CMapItemHolder m_viewHolder;
    // After the map set: a running POI search ends before the map closes.
    CAddressSearcher m_addressSearcher;
    CPoiQuery m_poiQuery;

    // Set on the interface thread, read by the draw thread's frame.
    std::atomic<int32_t> m_centreX { 0 };
    std::atomic<int32_t> m_centreY { 0 };
    std::atomic<int32_t> m_scale { 0 };
    std::atomic<int32_t> m_previewScale { 0 };
    int m_zoomPreview = 0;
    int32_t m_junctionSavedScale = 0;
    int m_junctionZoom = 0;
    bool m_inJunctionSwitch = false;
    std::atomic<int> m_redraw { 0 };
    int32_t m_tapMode = TAP_SCROLL;
    int m_zoomRect = 0;
    int m_framesSinceDrag = 20;
    int m_framesSincePreview = 20;
    int m_followGps = 0;
    int m_alwaysUp = 0;
    int m_widgetDrag = 0;
    std::atomic<int32_t> m_rotation { 0 }; // read by the draw thread's compass
    int m_manualRotation = 0;
    int32_t m_highlightedObject = -1;
    std::atomic<int> m_mapScreenActive { 1 };
    std::atomic<int> m_renderPending { 0 };
    std::atomic<int> m_redrawSuspended { 0 };
    std::atomic<int> m_mapReady { 0 };
    std::atomic<int> m_addressDisplay { 0 };
    int m_reopenDepth = 0;
    // Draw thread only: the zoom preview's factor, kept for the frames after it.
    double m_previewFactor = 1.0;

    CButtonHint m_infoPanel;
    CButtonHint m_addressPanel;
    MapElements m_elements;
    CRouteManager m_routeManager;

    uint32_t m_alwaysUpPeriodMs = kAlwaysUpPeriodMs;
    // The start, or the last time jams were applied (the traffic worker stamps it).
    std::atomic<uint32_t> m_twoHourStamp { 0 };
    std::atomic<uint32_t> m_trafficRefreshTime { 0 };
    uint32_t m_lastFrameTick = 0;
    std::unique_ptr<MovingModeState> m_movingMode;
    CBlinkerList m_blinkers;
    CJamSchedule m_jamSchedule;
    CJamFileManager m_jamFiles;
    // Tick state: the address panel's and the deviation's time, and whether
    // the road blocks are still to be refreshed.
    uint32_t m_addressPanelMs = 0;
    uint32_t m_deviationMs = 0;
    std::atomic<bool> m_roadBlocksDue { true };
    // The last names looked up for the address panel (at a map point) and the info panel (at a pen point).
    ZXS_Point m_addressAt { kNoMapPoint, kNoMapPoint };
    QString m_addressText;
    ElementPoint m_namedAt { -1, -1 };
    uint32_t m_namedTime = 0; // when the pen's move last looked up a name
    static constexpr uint32_t kObjectNamePause = 80;
    QString m_namedText;
};

inline platform::ProcessObject<CMapController> g_MapController;

// The first free screenshot name for "<folder>/<title>.bmp": the title, then
// the title with 1, 2, ... appended, until neither the .bmp nor the .jpg exists.
QString FindFreeScreenshotName(const QString& bmpPath);

// The GPS marker's picture and shadow for the map's rotation and the course
// (degrees) and the fix status: 16 sectors of 22.5 degrees, or the no-fix pair.
void GpsMarkerImages(double rotationDegrees, double course, char status, uint32_t& marker, uint32_t& shadow);

// The controller's view holder, for code that needs only the view.
CMapItemHolder* GetMapCoordState();
