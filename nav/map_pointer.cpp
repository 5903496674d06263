// The map controller's pointer input: the on-map elements take the stylus
// first; what they leave acts by the tap mode (drag, zoom window, object name,
// route points).
#include "nav/map_controller.h"

#include "controls/map_popup_menu.h"
#include "drawlib/draw_tool.h"
#include "foundation/scale_list.h"
#include "platform/clock.h"

#include <algorithm>
#include <cmath>

namespace {

template <class Element>
int Offer(const std::unique_ptr<Element>& element, int (CScreenElement::*handler)(const ElementPoint&),
    const ElementPoint& point)
{
    return element ? (static_cast<CScreenElement*>(element.get())->*handler)(point) : 0;
}

} // namespace

int CMapController::OnPointerDown(const ElementPoint& point)
{
    const bool quickBarTook = Offer(m_elements.quickBar, &CScreenElement::OnPointerDown, point) != 0;
    // Both bars see every press: each keeps where the pen went down for its edge strip.
    bool barTook = Offer(m_elements.topBar, &CScreenElement::OnPointerDown, point) != 0;
    barTook = Offer(m_elements.bottomBar, &CScreenElement::OnPointerDown, point) != 0 || barTook;
    if (!barTook)
        Offer(m_elements.widgetSet, &CScreenElement::OnPointerDown, point);
    bool markerTook = false;
    {
        platform::CSLock elementLock(m_elementLock);
        const int answer = Offer(m_elements.centreMarker, &CScreenElement::OnPointerDown, point);
        if (answer == 5) {
            // The centre marker starts turning the map.
            m_widgetDrag = 1;
            return 1;
        }
        markerTook = answer != 0;
    }
    const int zoomAnswer = PressOnMap(point);
    if (zoomAnswer == 1)
        return 1;
    const bool elementTook = quickBarTook || barTook || markerTook;
    // In the object-name mode the press names what lies under it, looked up
    // outside the lock that the draw thread needs; elsewhere a long press on
    // the map opens its menu (not for a press an element took, or on the zoom
    // control).
    if (m_tapMode == TAP_OBJECT_NAME) {
        if (!elementTook)
            ShowObjectNameAt(1);
    } else if (!elementTook && zoomAnswer != 2) {
        if (CMapPopupMenu* menu = g_MapPopupMenu.get())
            menu->ArmLongPress(FillPopupContext());
    }
    return 1;
}

int CMapController::PressOnMap(const ElementPoint& point)
{
    platform::CSLock lock(m_lock);
    const int zoomAnswer = Offer(m_elements.zoomControl, &CScreenElement::OnPointerDown, point);
    if (zoomAnswer == 1) {
        m_widgetDrag = 1;
        return 1;
    }
    m_penDown = 1;
    m_press = m_current = point;
    switch (m_tapMode) {
    case TAP_SCROLL:
        CopyFrameToScrollBuffer();
        m_framesSincePreview = std::max(m_framesSincePreview, 3);
        m_bufferDrag = 1;
        break;
    case TAP_ZOOM_WINDOW:
        m_zoomRect = 1;
        break;
    default:
        break;
    }
    return zoomAnswer;
}

int CMapController::OnPointerMove(const ElementPoint& point)
{
    {
        platform::CSLock elementLock(m_elementLock);
        if (Offer(m_elements.centreMarker, &CScreenElement::OnPointerMove, point) == 1)
            return 1;
    }
    Offer(m_elements.quickBar, &CScreenElement::OnPointerMove, point);
    int32_t mode;
    {
        platform::CSLock lock(m_lock);
        if (m_widgetDrag)
            Offer(m_elements.zoomControl, &CScreenElement::OnPointerMove, point);
        else
            m_current = point;
        mode = m_tapMode;
    }
    // The name follows the pen, looked up at most every 80 ms while it moves
    // (the user-interface thread is not put to sleep for it).
    if (mode == TAP_OBJECT_NAME && m_penDown) {
        const uint32_t now = platform::GetTickCount();
        if (now - m_namedTime >= kObjectNamePause) {
            m_namedTime = now;
            ShowObjectNameAt(0);
        }
    }
    return 1;
}

int CMapController::OnPointerUp(const ElementPoint& point)
{
    m_penDown = 0;
    {
        platform::CSLock elementLock(m_elementLock);
        Offer(m_elements.centreMarker, &CScreenElement::OnPointerUp, point);
    }
    platform::CSLock lock(m_lock);
    bool taken = ZoomSliderTapUp(point) != 0;
    if (!taken) {
        const int count = ReleaseLockFully();
        taken = Offer(m_elements.quickBar, &CScreenElement::OnPointerUp, point) != 0;
        // Both bars see every release, so that neither keeps a stale press.
        const bool bottomTook = Offer(m_elements.bottomBar, &CScreenElement::OnPointerUp, point) != 0;
        const bool topTook = Offer(m_elements.topBar, &CScreenElement::OnPointerUp, point) != 0;
        taken = taken || bottomTook || topTook;
        if (!taken)
            taken = Offer(m_elements.widgetSet, &CScreenElement::OnPointerUp, point) != 0;
        ReacquireLock(count);
    }
    if (taken) {
        EndPointerGesture();
        return 1;
    }
    m_penDown = 1;
    switch (m_tapMode) {
    case TAP_SCROLL:
        ApplyDrag(0);
        break;
    case TAP_ZOOM_WINDOW:
        m_zoomRect = 0;
        ZoomToPenRect();
        break;
    case TAP_OBJECT_NAME:
        m_infoPanel.Hide();
        break;
    case TAP_FIRST_POINT:
    case TAP_LAST_POINT:
        SetRoutePointFromTap(point, m_tapMode == TAP_FIRST_POINT ? CRoute::SLOT_START : CRoute::SLOT_FINISH);
        break;
    case TAP_ROUTE_FINISH_ONLY:
        RouteFromGpsTo(point);
        break;
    default:
        break;
    }
    m_penDown = 0;
    return 1;
}

int CMapController::OnDoubleClick(const ElementPoint& point)
{
    if (!Offer(m_elements.bottomBar, &CScreenElement::OnDoubleClick, point))
        Offer(m_elements.topBar, &CScreenElement::OnDoubleClick, point);
    platform::CSLock elementLock(m_elementLock);
    Offer(m_elements.centreMarker, &CScreenElement::OnDoubleClick, point);
    return 1;
}

int CMapController::ZoomSliderTapUp(const ElementPoint& point)
{
    platform::CSLock lock(m_lock);
    m_penDown = 0;
    const bool taken = Offer(m_elements.zoomControl, &CScreenElement::OnPointerUp, point) != 0;
    if (m_widgetDrag) {
        // A slider drag ends at the slider; the tap mode does nothing.
        m_widgetDrag = 0;
        return 1;
    }
    return taken ? 1 : 0;
}

void CMapController::EndPointerGesture()
{
    platform::CSLock lock(m_lock);
    if (m_tapMode == TAP_SCROLL)
        m_bufferDrag = 0;
    else if (m_tapMode == TAP_ZOOM_WINDOW)
        m_zoomRect = 0;
    m_infoPanel.Hide();
}

int CMapController::ZoomToPenRect()
{
    platform::CSLock lock(m_lock);
    if (m_press == m_current)
        return 0;
    CDrawTool* surface = CScreenElement::GetSurface();
    const double width = surface ? surface->GetWidth() : 1, height = surface ? surface->GetHeight() : 1;
    const double factor
        = std::max(std::abs(m_current.x - m_press.x) / width, std::abs(m_current.y - m_press.y) / height);
    ZXS_Point middle;
    if (ScreenToMap({ (m_press.x + m_current.x) / 2, (m_press.y + m_current.y) / 2 }, middle))
        SetCentre(middle.x, middle.y);
    SetScale(std::max(static_cast<int32_t>(m_scale * factor), GetMinMapScale()));
    SetRedrawFlag(1);
    return 1;
}
