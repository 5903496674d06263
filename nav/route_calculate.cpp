// Computing the route through the kernel's router, dropping it, and the route
// wizard's working points.
#include "app/kn_exception.h"
#include "foundation/app_services.h"
#include "foundation/draw_suspender.h"
#include "kernel/api/result_codes.h"
#include "kernel/api/route_interface.h"
#include "nav/map_controller.h"
#include "nav/route.h"
#include "nav/route_manager.h"
#include "settings/settings_record.h"
#include "ui/message_window.h"

#include <algorithm>

namespace {

CZXS_ViewHandle* View() { return g_MapController->GetView(); }

// The kernel's out-of-memory answer travels as the map-loading exception to
// the operation's own handler, which reopens the map and tries once more.
int32_t RaiseOnOutOfMemory(int32_t result)
{
    if (result == ZXS_ERR_MEMORY)
        throw CKNException(QString(), ZXS_ERR_MEMORY);
    return result;
}

} // namespace

int32_t CRoute::SetPoints(const MapPoint* points, int count, int code, const QString* name)
{
    if (HasWizardList())
        return ROUTE_WIZARD_HOLDS_ROUTE;
    const int32_t radius = g_MapController->GetSearchRadius();
    if (radius == -1)
        return ROUTE_FAILED;
    platform::CSLock table(m_tableLock);
    platform::CSLock point(m_pointLock);
    if (count == m_table.Count() || !m_table.HasSetPoint())
        m_table.searchRadius = radius;
    else
        m_table.searchRadius = std::max(m_table.searchRadius, radius);
    if (code == CODE_ROUTE_AGAIN)
        m_table.MarkAllPending();
    else if (code == CODE_REVERSE)
        m_table.Reverse();
    else if (code >= SLOT_START && code <= SLOT_FINISH && points != nullptr && count > 0)
        m_table.Assign(points, count, code, name);
    return m_table.HasPending() ? ROUTE_OK : ROUTE_FAILED;
}

int32_t CRoute::DropComputedRoute()
{
    m_length.store(-1);
    m_manager->ClearPromptFlags();
    m_state.store(0);
    {
        platform::CSLock point(m_pointLock);
        m_manager->GetGuide().Reset();
        m_manager->GetOrientationPanel().SetLastNode(-1);
    }
    return RaiseOnOutOfMemory(ZXS_RouteDelete(View()));
}

int32_t CRoute::Clear()
{
    platform::CSLock compute(m_computeLock);
    m_state.store(0);
    try {
        {
            platform::CSLock table(m_tableLock);
            platform::CSLock point(m_pointLock);
            m_table.Reset();
        }
        DropComputedRoute();
    } catch (const CKNException&) {
        g_MapController->ReopenMap(0, 0);
    }
    EndWaitCursor();
    return 0;
}

int32_t CRoute::Calculate()
{
    platform::CSLock compute(m_computeLock);
    if (m_wizard)
        return ROUTE_WIZARD_HOLDS_ROUTE;
    platform::CSLock table(m_tableLock);
    if (!m_table.HasPending())
        return ROUTE_OK;
    if (m_table.searchRadius < 0) {
        m_table.searchRadius = g_MapController->GetSearchRadius();
        if (m_table.searchRadius == -1)
            return ROUTE_FAILED;
    }
    const bool wasBuilt = m_state.load() == 1;
    try {
        return CalculateLocked(wasBuilt);
    } catch (const CKNException& e) {
        return OnOutOfMemory(
            e.GetCode(), [this] { return Calculate(); }, wasBuilt);
    }
}

int32_t CRoute::OnOutOfMemory(int32_t code, const std::function<int32_t()>& retry, bool wasBuilt)
{
    // Out of memory again while trying once more: nothing is left to free.
    if (m_reentry)
        ShowOutOfMemoryAndExit();
    m_reentry = 1;
    int32_t result = code;
    if (code == ZXS_ERR_MEMORY) {
        result = g_MapController->ReopenMap(0, 0);
        if (result == 0)
            result = retry();
    } else {
        Clear();
        if (wasBuilt)
            g_MapController->SetRedrawFlag(1);
    }
    m_reentry = 0;
    EndWaitCursor();
    return result;
}

int32_t CRoute::CalculateLocked(bool wasBuilt)
{
    if (m_state.load() == 1)
        DropComputedRoute();
    const int first = m_table.FirstSetPoint();
    {
        platform::CSLock point(m_pointLock);
        m_table.markers.clear();
    }
    if (first == m_table.Count()) {
        if (wasBuilt)
            g_MapController->SetRedrawFlag(1);
        return ROUTE_OK;
    }
    RaiseOnOutOfMemory(ZXS_RouteReset(View()));
    const int last = m_table.Count() - 1;
    int32_t refused = ROUTE_OK;
    for (int slot = first; slot <= last; ++slot) {
        RoutePoint& p = m_table.points[static_cast<size_t>(slot)];
        if (!p.IsSet())
            continue;
        const int32_t result = RouteLeg(p.Point(), slot, m_table.searchRadius);
        if (result == ROUTE_OK) {
            platform::CSLock point(m_pointLock);
            m_table.markers.push_back({ p.x, p.y, slot });
        } else if (p.IsPending()) {
            // A new point the router refuses is dropped; the route goes through the others.
            p.Store({ kUnsetCoordinate, kUnsetCoordinate });
            refused = result;
        } else {
            // A point of the previous route is refused now: that route is gone.
            Clear();
            if (wasBuilt)
                g_MapController->SetRedrawFlag(1);
            return result;
        }
    }
    if (!m_table.points.front().IsSet() || !m_table.points.back().IsSet()) {
        if (refused != ROUTE_OK) {
            RestorePreviousPoints();
            return refused;
        }
        if (wasBuilt)
            g_MapController->SetRedrawFlag(1);
        return ROUTE_OK;
    }
    const int32_t computed = ComputeLegs(g_routeOptimisation.load());
    EndWaitCursor();
    if (computed != ROUTE_OK) {
        RestorePreviousPoints();
        return computed;
    }
    for (size_t i = 0; i < m_table.points.size(); ++i)
        m_table.savedPoints[i] = m_table.points[i].Point();
    m_table.savedName = m_table.name;
    m_lengthElapsed = 0;
    g_MapController->SetRedrawFlag(1);
    m_state.store(1);
    for (RoutePoint& p : m_table.points)
        p.flags &= ~RoutePoint::FLAG_PENDING;
    return refused;
}

void CRoute::RestorePreviousPoints()
{
    // The previous points failed as well: no route is left.
    if (m_restoring) {
        Clear();
        return;
    }
    m_restoring = true;
    {
        platform::CSLock table(m_tableLock);
        platform::CSLock point(m_pointLock);
        m_table.RestoreSaved();
    }
    Calculate();
    m_restoring = false;
}

int32_t CRoute::RouteLeg(const MapPoint& point, int slot, int32_t radius)
{
    int32_t result;
    if (slot == SLOT_START)
        result = ZXS_RouteSetStart(View(), point.x, point.y, radius, -1, 1);
    else if (slot == SLOT_FINISH)
        result = ZXS_RouteSetFinish(View(), point.x, point.y, radius, -1, 1);
    else
        result = ZXS_RouteAddVia(View(), point.x, point.y, radius, -1, 1);
    return RaiseOnOutOfMemory(result);
}

int32_t CRoute::ComputeLegs(int32_t optimisation)
{
    CMapController& controller = *g_MapController;
    bool notice = false;
    if (controller.IsMapScreenActive() && !g_drawSuspender.IsSuspended()) {
        // The wait notice reaches the screen before the router holds the
        // thread: the draw thread needs the controller lock for the frame.
        g_messageWnd->ShowRoutingWait(MESSAGE_NO_TIMEOUT);
        notice = true;
        const int held = controller.ReleaseLockFully();
        g_messageWnd->WaitNextFrame();
        controller.ReacquireLock(held);
    }
    const int32_t result = ZXS_RouteCalculate(View(), optimisation);
    if (notice)
        g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
    return RaiseOnOutOfMemory(result);
}

// The route wizard.

int32_t CRoute::StartWizard()
{
    platform::CSLock compute(m_computeLock);
    if (m_wizard)
        return ROUTE_OK;
    try {
        const int32_t radius = g_MapController->GetSearchRadius();
        if (radius == -1)
            return ROUTE_FAILED;
        m_wizard = std::make_unique<RouteWizardList>();
        m_wizard->points.assign(static_cast<size_t>(m_table.Count()), { kUnsetCoordinate, kUnsetCoordinate });
        m_wizard->searchRadius = radius;
        if (m_state.load() == 1)
            DropComputedRoute();
        {
            platform::CSLock point(m_pointLock);
            m_table.markers.clear();
        }
        RaiseOnOutOfMemory(ZXS_RouteReset(View()));
        return ROUTE_OK;
    } catch (const CKNException& e) {
        m_wizard.reset();
        return OnOutOfMemory(
            e.GetCode(), [this] { return StartWizard(); }, false);
    }
}

int32_t CRoute::SetWizardPoint(const MapPoint* point, int n)
{
    platform::CSLock compute(m_computeLock);
    if (!m_wizard)
        return ROUTE_NO_ROAD_GRAPH;
    if (point == nullptr || n < 0 || n >= static_cast<int>(m_wizard->points.size()))
        return ROUTE_OK;
    const MapPoint& current = m_wizard->points[static_cast<size_t>(n)];
    if (current.x == point->x && current.y == point->y)
        return ROUTE_OK;
    try {
        return SetWizardPointOnce(*point, n);
    } catch (const CKNException& e) {
        ClearWizardPoint(n);
        const MapPoint p = *point;
        return OnOutOfMemory(
            e.GetCode(), [this, p, n] { return SetWizardPointOnce(p, n); }, false);
    }
}

int32_t CRoute::SetWizardPointOnce(const MapPoint& point, int n)
{
    const int32_t radius = g_MapController->GetSearchRadius();
    if (radius == -1)
        return ROUTE_FAILED;
    m_wizard->searchRadius = std::max(m_wizard->searchRadius, radius);
    const int32_t result = RouteLeg(point, SLOT_START, m_wizard->searchRadius);
    platform::CSLock lock(m_pointLock);
    ClearWizardPoint(n);
    if (result == ROUTE_OK) {
        m_wizard->points[static_cast<size_t>(n)] = point;
        m_table.markers.push_back({ point.x, point.y, n });
    }
    return result;
}

void CRoute::ClearWizardPoint(int n)
{
    platform::CSLock lock(m_pointLock);
    if (!m_wizard || m_wizard->points.empty() || n < 0)
        return;
    n = std::min(n, static_cast<int>(m_wizard->points.size()) - 1);
    MapPoint& p = m_wizard->points[static_cast<size_t>(n)];
    if (!IsSetMapPoint(p))
        return;
    const auto marker = std::find_if(
        m_table.markers.begin(), m_table.markers.end(), [n](const RouteMarker& m) { return m.slot == n; });
    if (marker != m_table.markers.end())
        m_table.markers.erase(marker);
    p = { kUnsetCoordinate, kUnsetCoordinate };
}

int CRoute::IsWizardPointSet(int n)
{
    platform::CSLock compute(m_computeLock);
    if (!m_wizard || n < 0 || n >= static_cast<int>(m_wizard->points.size()))
        return 0;
    return IsSetMapPoint(m_wizard->points[static_cast<size_t>(n)]) ? 1 : 0;
}

void CRoute::EndWizard(int mode)
{
    std::unique_ptr<RouteWizardList> list;
    {
        platform::CSLock compute(m_computeLock);
        list = std::move(m_wizard);
    }
    CMapController& controller = *g_MapController;
    if (list) {
        const MapPoint* first = list->points.data();
        if (mode == 1 && CountSetPoints(first, first + list->points.size()) <= 1)
            mode = 0;
        if (mode == 0) {
            controller.PostBuildRoute(nullptr, 0, 0, CODE_ROUTE_AGAIN, nullptr, true, 0);
        } else if (mode == 1) {
            SetSearchRadius(list->searchRadius);
            controller.PostBuildRoute(first, static_cast<int>(list->points.size()), 1, SLOT_START, nullptr,
                true, g_movingModeAfterRoute.load());
        }
    }
    if (mode == 2)
        controller.DeleteRoute();
    else if (mode == 3)
        controller.PostBuildRoute(nullptr, 0, 1, CODE_REVERSE, nullptr, true, 0);
}
