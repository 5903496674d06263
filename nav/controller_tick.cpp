// The map controller's 250 ms tick (guidance, recentring, the traffic
// deadline, the road-block refresh, re-routing after a deviation), its route
// requests and the reports of their results.
#include "app/app_messages.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "controls/command_registry.h"
#include "drawlib/draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/draw_suspender.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/passage_interface.h"
#include "kernel/api/view_interface.h"
#include "nav/map_controller.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "ui/message_window.h"

#include <QCoreApplication>
#include <QThread>
#include <cmath>
#include <thread>

namespace {

constexpr uint32_t kTickMs = 250;
constexpr uint32_t kAddressPanelPeriodMs = 5000;
constexpr uint32_t kRoadBlockRefreshMs = 7200000;
constexpr uint32_t kHeld = 1;
constexpr int kRouteFailureTimeout = ROUTE_FAILURE_TIMEOUT;
constexpr uint32_t kMovingModeCommand = 10042;
constexpr uint32_t kScrollModeCommand = 10011;

bool OnUserInterfaceThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

// Whether a tick count lies before now, across the counter's wrap.
bool IsBefore(uint32_t tick, uint32_t now) { return static_cast<int32_t>(now - tick) > 0; }

// Whether a map point shows between the rows, a twelfth of the width in from either side.
bool ShowsInBox(CMapController& controller, const ZXS_Point& point, int top, int bottom)
{
    const int w = GetScreenWidth();
    ElementPoint screen;
    return controller.MapToScreen(point, screen) && screen.x >= w / 12 && screen.x <= w - w / 12
        && screen.y >= top && screen.y <= bottom;
}

} // namespace

// The tick.

void CMapController::OnTick()
{
    bool rebuild = false;
    PublishWaypointMarks();
    {
        platform::CSLock lock(m_lock);
        m_routeManager.UpdateGuidance();
        if (m_alwaysUp) {
            m_alwaysUpPeriodMs += kTickMs;
            if (m_alwaysUpPeriodMs > kAlwaysUpPeriodMs) {
                m_alwaysUpPeriodMs = 0;
                AlwaysUpRecentre();
            }
        } else if (m_followGps) {
            FollowGps();
        }
        const uint32_t addressBefore = m_addressPanelMs;
        m_addressPanelMs += kTickMs;
        if (addressBefore == 0)
            UpdateAddressPanel();
        else if (m_addressPanelMs >= kAddressPanelPeriodMs)
            m_addressPanelMs = 0;

        const uint32_t now = platform::GetTickCount();
        uint32_t refresh = m_trafficRefreshTime.load();
        if (refresh != 0 && refresh != kHeld && IsBefore(refresh, now)
            && m_trafficRefreshTime.compare_exchange_strong(refresh, 0)) {
            m_jamSchedule.Acknowledge(false);
            const bool released = m_routeManager.ReleaseBusy(CRouteManager::BUSY_JAMS)
                || m_routeManager.ReleaseBusy(CRouteManager::BUSY_REOPENING);
            rebuild = released && m_routeManager.IsReroutePending();
        }

        if (m_roadBlocksDue && now - m_twoHourStamp > kRoadBlockRefreshMs) {
            m_roadBlocksDue = false;
            RefreshRoadBlocks();
        }

        char status = 'V';
        {
            platform::CSLock fix(g_gpsFixLock);
            status = g_gpsFix.m_status;
        }
        if (status != 'V' && m_routeManager.GetRerouteOnDeviation() && !m_routeManager.IsOnRoute()
            && m_routeManager.HasRoute()) {
            m_deviationMs += kTickMs;
            if (m_deviationMs
                > static_cast<uint32_t>(std::max(0, m_routeManager.GetDeviationDelay())) * 1000) {
                const int held = ReleaseLockFully();
                RecoverRoute();
                ReacquireLock(held);
                m_deviationMs = 0;
                rebuild = false;
            }
        } else {
            m_deviationMs = 0;
        }
    }
    if (rebuild) {
        m_deviationMs = 0;
        PostBuildRoute(nullptr, 0, 0, 0, nullptr, false, 0);
    }
}

int CMapController::FollowGps()
{
    if (m_manualRotation)
        return 0;
    ZXS_Point gps;
    char status = 'V';
    double course = 0.0;
    if (!GetGpsMapPosition(gps, status, course))
        return 0;
    const int h = GetScreenHeight(), side = GetButtonSide();
    if (ShowsInBox(*this, gps, h / 12 + side, h - h / 12 - side))
        return 0;
    CenterOnGps(0, 0);
    SetRedrawFlag(1);
    return 1;
}

int CMapController::AlwaysUpRecentre()
{
    if (m_manualRotation)
        return 0;
    ZXS_Point gps;
    char status = 'V';
    double course = 0.0;
    if (!GetGpsMapPosition(gps, status, course))
        return 0;
    const int w = GetScreenWidth(), h = GetScreenHeight(), side = GetButtonSide();
    double turn = std::fabs(course - m_rotation / 10.0);
    turn = std::min(turn, 360.0 - turn);
    if (turn < 20.0 && ShowsInBox(*this, gps, h / 2, h - side))
        return 0;
    CenterOnGps(h / 2 - w / 12 - side, 1);
    SetRedrawFlag(1);
    return 1;
}

int CMapController::CenterOnGps(int32_t offset, int turn)
{
    ZXS_Point gps;
    char status = 'V';
    double course = 0.0;
    if (!GetGpsMapPosition(gps, status, course))
        return 0;
    if (turn == 1) {
        const int32_t rotation = static_cast<int32_t>(course) * 10;
        if (rotation >= 0 && rotation < 3600) {
            m_manualRotation = 0;
            SetRotation(rotation);
        }
    }
    const double d = ZXS_ViewScreenToMapDist(GetView(), offset);
    const double angle = (90.0 + course) * -geo::kPi / 180.0;
    const double dx = std::cos(angle) * -d;
    const double dy = std::sin(angle) * -d;
    SetCentre(static_cast<int32_t>(gps.x + dx), static_cast<int32_t>(gps.y - dy));
    return 1;
}

namespace {

// Where the address and info panels stand: the top-left corner, beside a
// visible top bar (right of it in landscape or square layouts, below it in portrait).
ElementPoint PanelAnchor(CMapController& controller)
{
    const CScreenElement* topBar = controller.GetElements().topBar.get();
    if (!topBar || topBar->GetState() != CScreenElement::STATE_SHOWN)
        return { 0, 0 };
    return GetScreenOrientation() == 1 ? ElementPoint { 0, GetButtonSide() }
                                       : ElementPoint { GetButtonSide(), 0 };
}

QString Bilingual(const char* english, const char* russian)
{
    return g_language == LANGUAGE_ENGLISH ? QString::fromUtf8(english)
        : g_language == LANGUAGE_RUSSIAN  ? QString::fromUtf8(russian)
                                          : QString();
}

} // namespace

void CMapController::UpdateAddressPanel()
{
    if (!IsAddressDisplayOn())
        return;
    ZXS_Point gps;
    char status = 'V';
    double course = 0.0;
    if (!GetGpsMapPosition(gps, status, course))
        return;
    if (gps.x != m_addressAt.x || gps.y != m_addressAt.y) {
        m_addressText.clear();
        m_addressSearcher.FindObjectsAtPoint(gps.x, gps.y, -1);
        m_addressSearcher.GetAddressText(m_addressText);
        m_addressAt = gps;
    }
    const QString text = m_addressText.isEmpty() ? Bilingual("Out of the map", "Вне карты") : m_addressText;
    ElementPoint anchor = PanelAnchor(*this);
    m_addressPanel.ShowText(text, anchor, GetToolFont(761));
}

void CMapController::ShowObjectNameAt(int pressed)
{
    ElementPoint pen;
    {
        platform::CSLock lock(m_lock);
        pen = m_current;
    }
    if (!(pen == m_namedAt)) {
        m_namedText.clear();
        ZXS_Point at;
        if (ScreenToMap(pen, at)) {
            m_addressSearcher.FindObjectsAtPoint(at.x, at.y, -1);
            m_addressSearcher.GetAddressText(m_namedText);
        }
        m_namedAt = pen;
    }
    if (m_namedText.isEmpty() && !pressed)
        return;
    const QString text = m_namedText.isEmpty()
        ? Bilingual("This point is out of the map", "Эта точка находится вне карты")
        : m_namedText;
    ElementPoint anchor = PanelAnchor(*this);
    m_infoPanel.ShowText(text, anchor, GetToolFont(196));
}

// Traffic.

void CMapController::HoldTrafficRefresh() { m_trafficRefreshTime = kHeld; }

void CMapController::ScheduleTrafficRefresh(int32_t status)
{
    const uint32_t delay = status == 0 || status == -3 ? 30000 : status == 1 ? 500 : 1000;
    m_trafficRefreshTime = platform::GetTickCount() + delay;
    m_jamSchedule.OnJamApplied(status == 0);
}

void CMapController::OnTrafficEvent(int32_t code)
{
    if (code != 10000)
        return;
    SetRedrawFlag(1);
    std::this_thread::yield();
    const bool newJams = m_jamSchedule.Acknowledge(true);
    // The kernel's render thread calls this: the route is rebuilt through its
    // points on the user-interface thread.
    if (newJams && m_routeManager.GetRerouteAfterJams() && m_routeManager.HasRoute()) {
        auto rebuild = [] {
            if (CMapController* controller = g_MapController.get())
                controller->RecreateRoute();
        };
        if (OnUserInterfaceThread())
            rebuild();
        else
            platform::PostToMainThread(rebuild);
    }
    if (m_routeManager.GetBusyWord() == CRouteManager::BUSY_JAMS && m_trafficRefreshTime.load() != kHeld)
        m_trafficRefreshTime = platform::GetTickCount() + 4000;
}

void CMapController::OnJamManagerEvent(int event, int32_t status, const uint64_t* jamTime)
{
    if (event != 2)
        return;
    m_jamSchedule.OnJamReceived(status >= 0, jamTime);
    if (status < 0)
        return;
    {
        platform::CSLock lock(m_jamFiles.Lock());
        m_jamFiles.SetSwitches(m_jamFiles.GetSwitches() | CJamFileManager::SWITCH_JAMS);
    }
    if (m_jamFiles.StartWorker(true)) {
        // The road blocks are refreshed two hours after the last jams were applied.
        m_twoHourStamp = platform::GetTickCount();
        m_roadBlocksDue = true;
    }
}

void CMapController::RefreshRoadBlocks()
{
    {
        platform::CSLock lock(m_jamFiles.Lock());
        const uint8_t switches = m_jamFiles.GetSwitches();
        if (!(switches & CJamFileManager::SWITCH_JAMS))
            return;
        m_jamFiles.SetSwitches(switches & ~CJamFileManager::SWITCH_JAMS);
    }
    // The worker takes the store's lock, so it is started without it.
    if (m_jamFiles.StartWorker(false))
        return;
    // No worker: the journal is written from what the kernel holds, which
    // keeps the user's closures and the jams.
    platform::CSLock lock(m_jamFiles.Lock());
    ZXS_MapSavePassages(m_mapSet.ActiveMap());
}

int32_t CMapController::SetPassage(int32_t roadId, const CZXS_PassageRecord& requested)
{
    platform::CSLock lock(m_jamFiles.Lock());
    if (m_jamFiles.IsOpen() && roadId >= 0) {
        const auto id = static_cast<uint32_t>(roadId);
        const auto position = m_jamFiles.FindRoad(id);
        const uint8_t current = m_jamFiles.GetRoadFlags(position, id);
        const auto wanted = static_cast<uint8_t>(requested.passage & 3);
        const uint8_t pending = m_jamFiles.GetPendingFlags(position, id, wanted);
        if (pending == wanted || pending != current) {
            CZXS_PassageRecord record = requested;
            record.costClass = 15;
            record.lifetime = -1;
            record.passage = pending;
            const int32_t status = ZXS_RoadSetPassageRec(m_mapSet.ActiveMap(), roadId, &record);
            if (status == 0) {
                m_jamFiles.SetPassageFlags(position, id, pending);
                // The user's closure is on the disk at once, not only at the exit.
                m_jamFiles.SaveMainFile(false);
            }
            return status;
        }
    }
    if (g_messageWnd)
        g_messageWnd->ShowBanFilesInaccessible(-1);
    return 3;
}

// Route requests.

int CMapController::BuildRoute(
    const MapPoint* points, int count, int show, int code, const QString* name, int moving)
{
    int32_t result = ROUTE_OK;
    if (points != nullptr || code >= CRoute::CODE_ROUTE_AGAIN) {
        result = m_routeManager.GetRoute().SetPoints(points, count, code, name);
        m_routeManager.ResetGuidance();
    }
    if (result == ROUTE_OK)
        result = m_routeManager.Recalculate();
    ReportRouteResult(result);
    if (result != ROUTE_OK)
        return 0;
    GuideRect rect;
    if (show && m_routeManager.GetRouteRect(rect))
        ZoomToRect({ rect.left, rect.top, rect.right, rect.bottom });
    ExecuteCommand(moving && !IsMovingMode() ? kMovingModeCommand : kScrollModeCommand);
    return 1;
}

int CMapController::BuildRouteLocked(int show, int moving)
{
    platform::CSLock lock(m_lock);
    return BuildRoute(nullptr, 0, show, 0, nullptr, moving);
}

int CMapController::PostBuildRoute(
    const MapPoint* points, int count, int show, int code, const QString* name, bool deferred, int moving)
{
    if (points != nullptr || code >= CRoute::CODE_ROUTE_AGAIN) {
        const int32_t result = m_routeManager.GetRoute().SetPoints(points, count, code, name);
        m_routeManager.ResetGuidance();
        if (result != ROUTE_OK) {
            ReportRouteResult(result);
            return 0;
        }
    }
    if (deferred) {
        const uintptr_t bits = (show ? 1u : 0u) | (moving ? 2u : 0u);
        g_drawSuspender.FrameCallbacks().Add(&CMapController::OnRebuildFrame, reinterpret_cast<void*>(bits));
    } else {
        PostRebuild(show != 0, moving != 0);
    }
    return 1;
}

int CMapController::OnRebuildFrame(void* user)
{
    const auto bits = reinterpret_cast<uintptr_t>(user);
    if (CMapController* controller = g_MapController.get())
        controller->PostRebuild((bits & 1) != 0, (bits & 2) != 0);
    return 1;
}

void CMapController::PostRebuild(bool show, bool moving)
{
    if (CMainFrame* frame = CMapWnd::GetMainFrame()) {
        platform::post(frame, WM_APP_REBUILD_ROUTE, show ? 1 : 0, moving ? 1 : 0);
        return;
    }
    // Without the main frame (the controller alone, as its tests build it) the
    // route is built at once, on the user-interface thread only.
    if (OnUserInterfaceThread())
        BuildRouteLocked(show ? 1 : 0, moving ? 1 : 0);
}

int32_t CMapController::RecreateRoute()
{
    if (!m_routeManager.HasRoute())
        return ROUTE_OK;
    platform::CSLock lock(m_lock);
    return BuildRoute(nullptr, 0, 0, CRoute::CODE_ROUTE_AGAIN, nullptr, 0) ? ROUTE_OK : ROUTE_FAILED;
}

int32_t CMapController::RecoverRoute()
{
    platform::CSLock lock(m_lock);
    ZXS_Point gps;
    char status = 'V';
    double course = 0.0;
    const std::vector<RoutePoint> points = m_routeManager.GetRoute().GetPoints();
    if (!GetGpsMapPosition(gps, status, course) || status == 'V' || points.empty() || !points.back().IsSet())
        return ROUTE_FAILED;
    const int32_t result = m_routeManager.SetPointAndRecalculate({ gps.x, gps.y }, CRoute::SLOT_START);
    ReportRouteResult(result);
    if (!m_routeManager.HasRoute() && result == ROUTE_OK)
        m_routeManager.ClearRoute();
    return result;
}

int32_t CMapController::SetRoutePointAt(const ElementPoint& position, bool isMapUnits, int n)
{
    ZXS_Point point { position.x, position.y };
    if (!isMapUnits && !ScreenToMap(position, point))
        return ROUTE_FAILED;
    const int32_t result = m_routeManager.SetPointAndRecalculate({ point.x, point.y }, n);
    if (result == ROUTE_OK)
        ExecuteCommand(kScrollModeCommand);
    return result;
}

int32_t CMapController::SetRouteStartAt(const ElementPoint& position, bool isMapUnits)
{
    return SetRoutePointAt(position, isMapUnits, CRoute::SLOT_START);
}

int32_t CMapController::SetRouteFinishAt(const ElementPoint& position, bool isMapUnits)
{
    return SetRoutePointAt(position, isMapUnits, CRoute::SLOT_FINISH);
}

int CMapController::RouteFromGpsTo(const ElementPoint& screenPoint)
{
    ZXS_Point tapped;
    if (!ScreenToMap(screenPoint, tapped))
        return 0;
    std::vector<MapPoint> points(
        static_cast<size_t>(m_routeManager.GetRoute().PointCount()), { kUnsetCoordinate, kUnsetCoordinate });
    ZXS_Point gps;
    char status = 'V';
    double course = 0.0;
    // Without a fix the start stays unset: the finish is kept for when there is one.
    if (GetGpsMapPosition(gps, status, course) && status != 'V')
        points.front() = { gps.x, gps.y };
    points.back() = { tapped.x, tapped.y };
    return BuildRoute(points.data(), static_cast<int>(points.size()), 0, CRoute::SLOT_START, nullptr, 0);
}

void CMapController::SetRoutePointFromTap(const ElementPoint& screenPoint, int slot)
{
    ZXS_Point at;
    if (!ScreenToMap(screenPoint, at))
        return;
    const int32_t result = m_routeManager.SetPointAndRecalculate({ at.x, at.y }, slot);
    ReportRouteResult(result);
    if (result == ROUTE_OK)
        ExecuteCommand(kScrollModeCommand);
}

int CMapController::DeleteRoute()
{
    const bool existed = m_routeManager.HasRoute() != 0;
    m_routeManager.ClearRoute();
    SetRedrawFlag(1);
    if (existed && IsMovingMode())
        ExecuteCommand(kMovingModeCommand);
    return 1;
}

void CMapController::ReportRouteResult(int32_t code)
{
    const int language = g_language.load();
    if (code == ROUTE_WIZARD_HOLDS_ROUTE) {
        // The route wizard in front has the route; it shows what happens to it.
    } else if (code == ROUTE_OK) {
        if (m_routeManager.HasRoute())
            g_messageWnd->ShowRouteReady(ROUTE_NOTICE_TIMEOUT);
    } else if (code == ROUTE_BUSY) {
        g_messageWnd->ShowPointsSavedRouteLater(ROUTE_LATER_TIMEOUT);
    } else if (IsMapScreenActive()) {
        switch (code) {
        case ROUTE_NOT_SUPPORTED:
            g_messageWnd->ShowNotSupported(
                language == LANGUAGE_ENGLISH ? QStringLiteral("Route") : QStringLiteral("Маршрут"),
                kRouteFailureTimeout);
            break;
        case ROUTE_CANNOT_CONNECT:
            g_messageWnd->ShowCannotConnectPoints(kRouteFailureTimeout);
            break;
        case ROUTE_NO_SEGMENT:
        case ROUTE_NO_SEGMENT_NEAR:
            g_messageWnd->ShowNoSegmentsNearPoint(kRouteFailureTimeout);
            break;
        default:
            g_messageWnd->ShowRouteUnknownError(code, kRouteFailureTimeout);
            break;
        }
    } else {
        AppMessageBoxText(RouteFailureText(code), platform::MB_ICONINFORMATION);
    }
    EndWaitCursor();
}
