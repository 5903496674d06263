#include "nav/map_controller.h"

#include "controls/bitmap_element.h"
#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/compass_widget.h"
#include "controls/diagram_button.h"
#include "controls/quick_menu_bar.h"
#include "controls/zoom_control.h"
#include "drawlib/draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/map_query.h"
#include "kernel/api/result_codes.h"
#include "kernel/api/view_interface.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "settings/settings_record.h"
#include "traffic/jam_glue.h"
#include "ui/message_window.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool Converted(int32_t value) { return value != kNoMapPoint; }

int ScreenWidth(const CScreenElement& element)
{
    CDrawTool* surface = element.GetSurface();
    return surface ? surface->GetWidth() : GetScreenWidth();
}

QString CannotLaunchText(const char* step)
{
    return QStringLiteral(
        "Can't launch Travenor Pro. Reinstall Travenor Pro. Не могу запустить Travenor Pro. "
        "Переустановите Travenor Pro. (%1)")
        .arg(QLatin1String(step));
}

// The three show-object questions, by the mode that is on.
QString ShowObjectQuestion(int which)
{
    static const char* const kEnglish[] = {
        "You wish to show the object on the map while the mode \"Moving mode\" is on. Do you want to switch "
        "off the "
        "moving mode and to show the object on the map?",
        "You wish to show the object on the map while the mode \"Always up\" is on. Do you want to switch "
        "off the "
        "mode \"Always up\" and to show the object on the map?",
        "You wish to show the object on the map while the mode \"GPS accompaniment\" is on. Do you want to "
        "switch "
        "off the GPS accompaniment mode and to show the object on the map?",
    };
    static const char* const kRussian[] = {
        "Вы желаете показать объект на карте, в то время как режим \"Режим движения\" включен. Отключить "
        "режим "
        "движения и показать объект на карте?",
        "Вы желаете показать объект на карте, в то время как режим \"Всегда вверх\" включен. Отключить режим "
        "\"Всегда вверх\" и показать объект на карте?",
        "Вы желаете показать объект на карте, в то время как режим \"GPS сопровождение\" включен. Отключить "
        "режим "
        "GPS сопровождения и показать объект на карте?",
    };
    if (g_language == LANGUAGE_ENGLISH)
        return QString::fromUtf8(kEnglish[which]);
    if (g_language == LANGUAGE_RUSSIAN)
        return QString::fromUtf8(kRussian[which]);
    return QString();
}

} // namespace

CMapController::CMapController()
    : m_scrollBuffer(std::make_unique<CImageBuffer>())
{
    SetScale(kStartScale);
    // The bounds are still empty: the collapsed-bounds rules apply.
    SetCentreX(kStartCentreX);
    SetCentreY(kStartCentreY);
    m_redraw = 1;
    m_popup.kind = POPUP_MAP;
    m_popup.element = this;
    m_lastFrameTick = platform::GetTickCount();
    m_twoHourStamp = m_lastFrameTick;
    m_elements.topBar = std::make_unique<CButtonBar>(CButtonBar::BAR_TOP);
    m_elements.bottomBar = std::make_unique<CButtonBar>(CButtonBar::BAR_BOTTOM);
    m_elements.centreMarker = std::make_unique<CCompassWidget>();
    m_elements.zoomControl = std::make_unique<CZoomControl>();
    m_elements.scaleBar = std::make_unique<CBitmapElement>();
    m_elements.widgetSet = std::make_unique<CDiagramButton>(&m_routeManager, &m_blinkers, &m_jamSchedule);
    m_elements.quickBar = std::make_unique<CQuickMenuBar>();
    // The disabled-road store's journal waits for the route's busy word and
    // reports each pass to the traffic refresh.
    m_jamFiles.SetHost({
        [this] { return m_routeManager.TakeBusy(CRouteManager::BUSY_JAMS); },
        [this] { m_routeManager.ReleaseBusy(CRouteManager::BUSY_JAMS); },
        [this] { HoldTrafficRefresh(); },
        [this](int32_t status) { ScheduleTrafficRefresh(status); },
    });
    // Metre distances on the map go through the kernel's conversion of the active map.
    SetMapUnitsToMetresHandler([](double units) {
        CMapController* controller = g_MapController.get();
        return controller ? ZXS_MapUnitsToMeters(controller->GetMapSet().ActiveMap(), units) : -1.0;
    });
}

CMapController::~CMapController()
{
    SetMapUnitsToMetresHandler(nullptr);
    // The view goes before the map set that holds its map.
    ZXS_ViewDestroy(GetView());
    Reset();
}

void CMapController::SetRedrawFlag(int value)
{
    if (!m_redrawSuspended.load())
        m_redraw = value;
}

CButtonHint* CMapController::GetActiveInfoPanel()
{
    if (m_infoPanel.GetState() == STATE_SHOWN)
        return &m_infoPanel;
    return IsAddressDisplayOn() ? &m_addressPanel : nullptr;
}

// Start-up and the view.

int CMapController::Attach(CDrawTool* surface)
{
    if (!surface)
        return 0;
    SetSurface(surface);
    if (!m_mapSet.OpenWithFonts())
        return 0;
    m_jamFiles.OnMapOpened(g_mapFolder + g_mapFileName);
    // The blink phase of the GPS marker without a fix.
    m_blinkers.Add(kGpsBlinkMs, kGpsBlinkMs, nullptr);
    m_poiQuery.LoadCategoryNames();
    m_addressSearcher.SetMapView(this);
    m_poiQuery.SetMapView(this);
    // The traffic manager's events reach the controller on its worker's thread.
    SetJamCallback([](int event, JamStatus status, const uint64_t* jamTime) {
        if (CMapController* controller = g_MapController.get())
            controller->OnJamManagerEvent(event, status, jamTime);
    });
    for (CScreenElement* element : { static_cast<CScreenElement*>(m_elements.topBar.get()),
             static_cast<CScreenElement*>(m_elements.bottomBar.get()), m_elements.centreMarker.get(),
             m_elements.zoomControl.get(), m_elements.scaleBar.get(), m_elements.widgetSet.get(),
             m_elements.quickBar.get() })
        if (element)
            element->SetSurface(surface);
    const int height = GetScreenHeight();
    {
        platform::CSLock elementLock(m_elementLock);
        if (CCompassWidget* marker = GetCentreMarker())
            marker->Layout(surface, this);
    }
    if (CZoomControl* zoom = GetZoomControl())
        zoom->Attach(surface, this);
    {
        platform::CSLock elementLock(m_elementLock);
        m_elements.topBar->Attach(surface, CButtonBar::BAR_TOP);
        m_elements.bottomBar->Attach(surface, CButtonBar::BAR_BOTTOM);
        if (CQuickMenuBar* quickBar = GetQuickBar()) {
            quickBar->Attach(surface,
                { GetScreenWidth() - 3 * ScaleByDpiX(32) - ScaleByDpiX(13), height - GetButtonSide() }, this);
            quickBar->SetState(g_bExpertMode.load() ? STATE_HIDDEN : STATE_SHOWN);
        }
    }
    m_infoPanel.Init(surface, 0);
    m_addressPanel.Init(surface, 0);
    if (CDiagramButton* widgets = GetWidgetSet())
        widgets->Attach(
            surface, { ScaleByDpiX(10), height - ScaleByDpiY(40) }, { ScaleByDpiX(40), ScaleByDpiY(40) });
    m_routeManager.SetSurface(surface);
    if (CBitmapElement* scaleBar = GetScaleBarElement())
        scaleBar->Attach(surface, this, { ScaleByDpiX(10), height - ScaleByDpiY(10) });
    LayoutElements();
    return 1;
}

CCompassWidget* CMapController::GetCentreMarker()
{
    return dynamic_cast<CCompassWidget*>(m_elements.centreMarker.get());
}

CQuickMenuBar* CMapController::GetQuickBar()
{
    return dynamic_cast<CQuickMenuBar*>(m_elements.quickBar.get());
}

CZoomControl* CMapController::GetZoomControl()
{
    return dynamic_cast<CZoomControl*>(m_elements.zoomControl.get());
}

CBitmapElement* CMapController::GetScaleBarElement()
{
    return dynamic_cast<CBitmapElement*>(m_elements.scaleBar.get());
}

CDiagramButton* CMapController::GetWidgetSet()
{
    return dynamic_cast<CDiagramButton*>(m_elements.widgetSet.get());
}

int CMapController::CreateView()
{
    CZXS_ViewHandle* view = GetView();
    if (ZXS_ViewCreate(view, m_mapSet.ActiveMap()) != 0) {
        AppMessageBox(nullptr, CannotLaunchText("CreateView"), AppTitle(), platform::MB_ICONEXCLAMATION);
        return 0;
    }
    const int width = GetScreenWidth();
    const int height = GetScreenHeight();
    if (ZXS_ViewResize(view, nullptr, width, height, 1) != 0) {
        AppMessageBox(nullptr, CannotLaunchText("CreateRenderer"), AppTitle(), platform::MB_ICONEXCLAMATION);
        return 0;
    }
    // The controller is the image buffer over the view's bottom-up rows.
    AttachPixels(ZXS_ViewGetBits(view), width, height, -2 * width, CScreenElement::GetSurface());
    ZXS_ViewSetRotation(view, m_rotation);
    return 1;
}

int CMapController::OpenView()
{
    platform::CSLock lock(m_lock);
    if (!CreateView())
        return 0;
    if (ZXS_ViewSetNotify(GetView(), &CMapController::OnMapControllerCallback, this) != 0)
        return 0;
    if (ZXS_MapGetBounds(m_mapSet.ActiveMap(), &m_bounds) != 0)
        return 0;
    // Map y grows downwards: the lower-left corner is (min x, max y).
    double longitude = 0, latitude = 0;
    if (ZXS_MapToGeo(m_mapSet.ActiveMap(), m_bounds.left, m_bounds.bottom, &longitude, &latitude) == 0)
        m_lowerLeft.SetChecked(latitude, longitude, true);
    if (ZXS_MapToGeo(m_mapSet.ActiveMap(), m_bounds.right, m_bounds.top, &longitude, &latitude) == 0)
        m_upperRight.SetChecked(latitude, longitude, true);
    // The centre chosen before the map was known comes inside it.
    if (m_startCentrePending)
        ApplyStartCentre();
    else
        SetCentre(m_centreX, m_centreY);
    SetRedrawFlag(1);
    return 1;
}

int32_t CMapController::ReopenMap(int rebuildRoute, int32_t flags)
{
    // A reopen inside a reopen would close the map under its caller.
    if (m_reopenDepth > 0)
        return ZXS_ERR_KERNEL;
    // The route busy word keeps route building and the jam worker off the map
    // while it is made again; a computation of this thread that ran out of
    // memory hands it over at once.
    bool taken = m_routeManager.TakeBusy(CRouteManager::BUSY_REOPENING);
    for (int attempt = 1; !taken && attempt < 100; ++attempt) {
        platform::Sleep(300);
        taken = m_routeManager.TakeBusy(CRouteManager::BUSY_REOPENING);
    }
    if (!taken)
        return ZXS_ERR_KERNEL;
    // A POI search reads the map on its own thread.
    m_poiQuery.Stop(true);
    platform::CSLock lock(m_lock);
    ++m_reopenDepth;
    m_trafficRefreshTime = 1;
    ZXS_ViewCancelRender(GetView());
    CImageBuffer::Reset();
    ZXS_ViewDestroy(GetView());
    m_mapSet.Reopen(flags);
    m_trafficRefreshTime = 1;
    int32_t result = 0;
    if (CreateView()) {
        ZXS_ViewSetNotify(GetView(), &CMapController::OnMapControllerCallback, this);
        ZXS_ViewSetRotation(GetView(), m_rotation);
        SetViewPosition();
    }
    if (rebuildRoute) {
        // The word is held here: the route is rebuilt when the tick frees it.
        m_routeManager.GetRoute().SetPoints(nullptr, 0, CRoute::CODE_ROUTE_AGAIN);
        result = m_routeManager.Recalculate();
    }
    SetRedrawFlag(1);
    --m_reopenDepth;
    // The busy word stays 2 until the tick, once this time has passed, gives it back.
    m_trafficRefreshTime = platform::GetTickCount() + 500;
    m_jamSchedule.OnJamApplied(false);
    return result;
}

// The rotation, centre and scale reach the view together, and only while no
// frame draws on it (the callers cancel the frame in progress first).
int32_t CMapController::SetViewPosition()
{
    const int32_t result = ZXS_ViewSetRotation(GetView(), m_rotation);
    return result != 0 ? result : ZXS_ViewSetPosition(GetView(), m_centreX, m_centreY, m_scale);
}

// Centre and scale.

void CMapController::SetCentreX(int32_t x)
{
    m_startCentrePending = false;
    if (m_bounds.right == m_bounds.left)
        m_centreX = std::max(x, kCollapsedMinCentreX);
    else
        m_centreX = std::clamp(x, m_bounds.left, m_bounds.right);
}

void CMapController::SetCentreY(int32_t y)
{
    if (m_bounds.bottom == m_bounds.top)
        m_centreY = std::min(y, kCollapsedMaxCentreY);
    else
        m_centreY = std::clamp(y, m_bounds.top, m_bounds.bottom);
}

void CMapController::SetScale(int32_t scale)
{
    if (!g_scaleList.empty())
        scale = std::clamp(scale, GetMinMapScale(), GetMaxMapScale());
    m_scale = m_previewScale = scale;
    if (m_junctionZoom && !m_inJunctionSwitch) {
        // Ending the junction zoom restores its saved scale; the scale asked for wins.
        ExecuteCommand(10036);
        if (m_junctionZoom) {
            m_inJunctionSwitch = true;
            SetJunctionZoom(0);
            m_inJunctionSwitch = false;
        }
        m_scale = m_previewScale = scale;
    }
}

int32_t CMapController::SetCentreGeoPosition(const CGeoPos& position)
{
    if (!position.IsValid())
        return 0;
    ZXS_Point point;
    const int32_t result = ZXS_GeoToMap(m_mapSet.ActiveMap(), position.GetLongitude().GetRadians(),
        position.GetLatitude().GetRadians(), &point);
    if (result != 0)
        return result;
    platform::CSLock lock(m_lock);
    SetCentre(point.x, point.y);
    SetRedrawFlag(1);
    return 0;
}

void CMapController::SetStartCentre(const CGeoPos& position)
{
    platform::CSLock lock(m_lock);
    m_startCentre = position;
    m_startCentrePending = true;
    if (m_bounds.left < m_bounds.right && m_bounds.top < m_bounds.bottom)
        ApplyStartCentre();
}

void CMapController::ApplyStartCentre()
{
    ZXS_Point point {};
    const bool placed = m_startCentre.IsValid()
        && ZXS_GeoToMap(m_mapSet.ActiveMap(), m_startCentre.GetLongitude().GetRadians(),
               m_startCentre.GetLatitude().GetRadians(), &point)
            == 0;
    if (placed && point.x >= m_bounds.left && point.x <= m_bounds.right && point.y >= m_bounds.top
        && point.y <= m_bounds.bottom)
        SetCentre(point.x, point.y);
    else
        SetCentre(m_bounds.left / 2 + m_bounds.right / 2, m_bounds.top / 2 + m_bounds.bottom / 2);
    SetRedrawFlag(1);
}

int CMapController::GetCentreGeoPosition(CGeoPos& position)
{
    double longitude = 0, latitude = 0;
    if (ZXS_MapToGeo(m_mapSet.ActiveMap(), m_centreX, m_centreY, &longitude, &latitude) != 0)
        return 0;
    return position.SetChecked(latitude, longitude, true) ? 1 : 0;
}

bool CMapController::ScreenToMap(const ElementPoint& point, ZXS_Point& out)
{
    platform::CSLock lock(m_lock);
    const int32_t x = ZXS_ViewScreenToMapX(GetView(), point.x, point.y);
    const int32_t y = ZXS_ViewScreenToMapY(GetView(), point.x, point.y);
    if (!Converted(x) || !Converted(y))
        return false;
    out = { x, y };
    return true;
}

bool CMapController::MapToScreen(const ZXS_Point& point, ElementPoint& out)
{
    platform::CSLock lock(m_lock);
    const int32_t x = ZXS_ViewMapToScreenX(GetView(), point.x, point.y);
    const int32_t y = ZXS_ViewMapToScreenY(GetView(), point.x, point.y);
    if (!Converted(x) || !Converted(y))
        return false;
    out = { x, y };
    return true;
}

bool CMapController::ScreenOffsetToMap(int32_t dx, int32_t dy, ZXS_Point& out)
{
    platform::CSLock lock(m_lock);
    ElementPoint centre;
    if (!MapToScreen({ m_centreX, m_centreY }, centre))
        return false;
    const int64_t x = int64_t { centre.x } + dx;
    const int64_t y = int64_t { centre.y } + dy;
    if (std::llabs(x) > kMaxScreenOffset || std::llabs(y) > kMaxScreenOffset)
        return false;
    ZXS_Point point;
    if (!ScreenToMap({ static_cast<int32_t>(x), static_cast<int32_t>(y) }, point) || point.x == 0
        || point.y == 0)
        return false;
    out = point;
    return true;
}

void CMapController::CopyFrameToScrollBuffer()
{
    // A frame still drawing on the view is stopped before its picture is
    // copied, and drawn again once the pen is up.
    if (m_renderPending) {
        ZXS_ViewCancelRender(GetView());
        m_renderPending = 0;
        SetRedrawFlag(1);
    }
    m_scrollBuffer->CopyPixelsFrom(*this);
}

int CMapController::Pan(int32_t dx, int32_t dy, int mode)
{
    platform::CSLock lock(m_lock);
    if (m_penDown || std::abs(dx) > kMaxScreenOffset || std::abs(dy) > kMaxScreenOffset)
        return 0;
    if (mode == 1 && std::abs(dx) < ScreenWidth(*this) && std::abs(dy) < GetScreenHeight()) {
        ApplyDrag(1);
        m_press = { 0, 0 };
        m_current = { dx, dy };
        ApplyDrag(0);
        m_framesSinceDrag = 0;
        return 1;
    }
    ZXS_Point point;
    if (!ScreenOffsetToMap(-dx, -dy, point))
        return 0;
    SetCentre(point.x, point.y);
    SetRedrawFlag(1);
    m_framesSinceDrag = 2;
    return 1;
}

void CMapController::ApplyDrag(int mode)
{
    platform::CSLock lock(m_lock);
    if (mode == 1) {
        CopyFrameToScrollBuffer();
        m_framesSincePreview = std::max(m_framesSincePreview, 3);
    } else if (m_press != m_current) {
        ZXS_Point point;
        if (ScreenOffsetToMap(m_press.x - m_current.x, m_press.y - m_current.y, point)) {
            SetCentre(point.x, point.y);
            SetRedrawFlag(1);
        }
    }
    m_bufferDrag = mode;
}

void CMapController::BeginZoomPreview(int32_t scale)
{
    platform::CSLock lock(m_lock);
    if (!m_zoomPreview)
        CopyFrameToScrollBuffer();
    m_framesSinceDrag = std::max(m_framesSinceDrag, 2);
    m_zoomPreview = 1;
    m_previewScale = scale;
}

void CMapController::ApplyZoomPreview()
{
    platform::CSLock lock(m_lock);
    const int32_t scale = m_previewScale;
    m_zoomPreview = 0;
    SetScale(scale);
    SetRedrawFlag(1);
}

void CMapController::CancelZoomPreview()
{
    platform::CSLock lock(m_lock);
    m_zoomPreview = 0;
    m_previewScale = m_scale.load();
}

int32_t CMapController::GetSearchRadius()
{
    const double units = ZXS_MetersToMapUnits(m_mapSet.ActiveMap(), 1000.0);
    if (units < 0)
        return -1;
    return static_cast<int32_t>(units + m_scale * 0.078125 + 0.5);
}

const PopupContext& CMapController::FillPopupContext()
{
    platform::CSLock lock(m_lock);
    ZXS_Point press { kNoMapPoint, kNoMapPoint };
    ScreenToMap(m_press, press);
    m_popup.mapX = press.x;
    m_popup.mapY = press.y;
    m_popup.centreX = m_centreX;
    m_popup.centreY = m_centreY;
    m_popup.screenX = m_press.x;
    m_popup.screenY = m_press.y;
    int32_t object = -1, directions = 0;
    if (ZXS_MapFindNearestObject(
            m_mapSet.ActiveMap(), press.x, press.y, GetSearchRadius(), -1, &object, &directions)
        != 0)
        object = -1;
    m_popup.objectId = object;
    return m_popup;
}

// Rotation.

void CMapController::SetRotation(int32_t angle)
{
    if (angle < 0 || angle >= 3600)
        return;
    platform::CSLock lock(m_lock);
    m_manualRotation = 0;
    m_rotation = angle;
    SetRedrawFlag(1);
}

void CMapController::SetRotationLocked(int32_t angle)
{
    platform::CSLock lock(m_lock);
    if (angle != m_rotation)
        SetRotation(angle);
}

void CMapController::SetManualRotation(int32_t angle)
{
    if (angle < 0 || angle >= 3600)
        return;
    platform::CSLock lock(m_lock);
    m_manualRotation = 1;
    m_rotation = angle;
    SetRedrawFlag(1);
}

void CMapController::ReleaseManualRotation(int32_t angle)
{
    platform::CSLock lock(m_lock);
    if (!m_manualRotation)
        return;
    m_manualRotation = 0;
    if (angle >= 0 && angle < 3600)
        m_rotation = angle;
    SetRedrawFlag(1);
}

void CMapController::SetAlwaysUp(int on)
{
    platform::CSLock lock(m_lock);
    m_alwaysUpPeriodMs = kAlwaysUpPeriodMs;
    m_alwaysUp = on ? 1 : 0;
    if (!on)
        SetRotation(0);
}

// Modes.

void CMapController::SetJunctionZoom(int on)
{
    if (m_followGps) {
        m_inJunctionSwitch = true;
        if (on) {
            m_junctionSavedScale = m_scale;
            m_junctionZoom = 1;
            SetScale(GetStartMapScale());
        } else {
            m_junctionZoom = 0;
            SetScale(m_junctionSavedScale);
        }
        m_inJunctionSwitch = false;
        SetRedrawFlag(1);
        return;
    }
    if (g_CommandRegistry && g_CommandRegistry->IsChecked(CMD_ROAD_JUNCTION)) {
        ExecuteCommand(CMD_ROAD_JUNCTION);
        return;
    }
    m_junctionZoom = on ? 1 : 0;
    if (!g_CommandRegistry || !g_CommandRegistry->IsChecked(CMD_GPS_TRACKING))
        if (g_messageWnd)
            g_messageWnd->ShowJunctionNeedsDrivingMode(-1);
}

void CMapController::ClearPenState()
{
    m_bufferDrag = 0;
    m_zoomRect = 0;
    m_infoPanel.Hide();
}

void CMapController::SetMovingMode(bool on)
{
    if (on == IsMovingMode())
        return;
    // Driving starts on the map itself, not on the transparent buttons.
    if (CScreenButtonFolders* folders = g_transparentButtonRoot.get(); on && folders && folders->IsShown())
        ExecuteCommand(CMD_SHOW_TRANSPARENT_BUTTONS);
    bool alwaysUpDiffers = false;
    {
        platform::CSLock elementLock(m_elementLock);
        platform::CSLock lock(m_lock);
        CScreenElement* top = m_elements.topBar.get();
        CScreenElement* bottom = m_elements.bottomBar.get();
        CScreenElement* marker = m_elements.centreMarker.get();
        CScreenElement* quickBar = m_elements.quickBar.get();
        if (on) {
            ClearPenState();
            m_tapMode = TAP_SCROLL;
            auto state = std::make_unique<MovingModeState>();
            state->bottomBarState = bottom ? bottom->GetState() : 0;
            state->topBarState = top ? top->GetState() : 0;
            if (IsAddressDisplayOn())
                state->flags |= MovingModeState::ADDRESS_PANEL_SHOWN;
            if (top && top->GetState() == STATE_SHOWN)
                state->flags |= MovingModeState::TOP_BAR_VISIBLE;
            if (bottom && bottom->GetState() == STATE_SHOWN)
                state->flags |= MovingModeState::BOTTOM_BAR_VISIBLE;
            if (marker && marker->GetState() == STATE_SHOWN)
                state->flags |= MovingModeState::CENTRE_MARKER_SHOWN;
            m_movingMode = std::move(state);
            for (CScreenElement* bar : { top, bottom })
                if (bar)
                    bar->SetState(STATE_HIDDEN);
            if (quickBar)
                quickBar->SetState(STATE_SHOWN);
            SetAddressDisplay(true);
            if (CZoomControl* zoom = GetZoomControl(); zoom && GetScreenOrientation() != ORIENT_PORTRAIT)
                zoom->SetImageId(CZoomControl::kMovingModeBackground);
            if (marker)
                marker->SetState(STATE_SHOWN);
        } else {
            const MovingModeState& state = *m_movingMode;
            if (quickBar)
                quickBar->SetState(g_bExpertMode.load() ? STATE_HIDDEN : STATE_SHOWN);
            if (top)
                top->SetState(state.topBarState);
            if (bottom)
                bottom->SetState(state.bottomBarState);
            SetAddressDisplay((state.flags & MovingModeState::ADDRESS_PANEL_SHOWN) != 0);
            if (marker)
                marker->SetState(
                    state.flags & MovingModeState::CENTRE_MARKER_SHOWN ? STATE_SHOWN : STATE_HIDDEN);
            if (CZoomControl* zoom = GetZoomControl();
                zoom && GetScreenOrientation() != ORIENT_PORTRAIT && g_bExpertMode)
                zoom->SetImageId(CZoomControl::kBackground);
            m_movingMode.reset();
        }
        alwaysUpDiffers = (m_alwaysUp != 0) != on;
    }
    // The commands take the locks themselves.
    if (alwaysUpDiffers)
        ExecuteCommand(CMD_ALWAYS_UP);
    if (GetOrientationPanel().IsShown() != on)
        ExecuteCommand(CMD_ORIENTATION_PANEL);
    ExecuteCommand(CMD_SCROLL);
    LayoutElements();
}

int CMapController::ConfirmShowObject()
{
    int which = -1;
    uint32_t command = 0;
    if (IsMovingMode()) {
        which = 0;
        command = CMD_DRIVING_MODE;
    } else if (m_alwaysUp) {
        which = 1;
        command = CMD_ALWAYS_UP;
    } else if (m_followGps) {
        which = 2;
        command = CMD_GPS_TRACKING;
    }
    if (which < 0)
        return 1;
    const int answer = AppMessageBoxText(ShowObjectQuestion(which), platform::MB_YESNOCANCEL);
    if (answer != platform::IDYES)
        return 0;
    ExecuteCommand(command);
    return 1;
}

void CMapController::SetHighlightedObject(int32_t id)
{
    platform::CSLock lock(m_lock);
    m_highlightedObject = id;
}

void CMapController::ShowZoomSlider(bool on)
{
    platform::CSLock lock(m_lock);
    if (m_elements.zoomControl)
        m_elements.zoomControl->SetState(on ? STATE_SHOWN : STATE_HIDDEN);
}

bool CMapController::IsZoomSliderShown()
{
    platform::CSLock lock(m_lock);
    return m_elements.zoomControl && m_elements.zoomControl->GetState() == STATE_SHOWN;
}

void CMapController::SetCentreMarkerShown(bool on)
{
    platform::CSLock lock(m_elementLock);
    if (m_elements.centreMarker)
        m_elements.centreMarker->SetState(on ? STATE_SHOWN : STATE_HIDDEN);
}

bool CMapController::GetCentreMarkerShown()
{
    platform::CSLock lock(m_elementLock);
    return m_elements.centreMarker && m_elements.centreMarker->GetState() == STATE_SHOWN;
}

void CMapController::SetTapMode(int32_t mode)
{
    platform::CSLock lock(m_lock);
    ClearPenState();
    m_tapMode = mode;
}

int CMapController::IsFixInsideMap(const CGeoPos& position, CGeoPos& shown) const
{
    if (!m_lowerLeft.IsValid() || !m_upperRight.IsValid() || !position.IsValid())
        return 0;
    double longitude = position.GetLongitude().GetRadians();
    double latitude = position.GetLatitude().GetRadians();
    const double west = m_lowerLeft.GetLongitude().GetRadians();
    const double east = m_upperRight.GetLongitude().GetRadians();
    const double south
        = std::min(m_lowerLeft.GetLatitude().GetRadians(), m_upperRight.GetLatitude().GetRadians());
    const double north
        = std::max(m_lowerLeft.GetLatitude().GetRadians(), m_upperRight.GetLatitude().GetRadians());
    bool moved = false;
    if (longitude > east || longitude < west) {
        longitude = longitude > east ? east : west;
        moved = true;
    }
    if (latitude > north || latitude < south) {
        latitude = latitude > north ? north : south;
        moved = true;
    }
    shown = position;
    if (moved)
        shown.Set(latitude, longitude);
    return moved ? 0 : 1;
}

bool CMapController::MapPointToGeoPos(const ZXS_Point& point, CGeoPos& out)
{
    double longitude = 0, latitude = 0;
    if (ZXS_MapToGeo(m_mapSet.ActiveMap(), point.x, point.y, &longitude, &latitude) != 0)
        return false;
    return out.SetChecked(latitude, longitude, true);
}

void CMapController::OnMapControllerCallback(int32_t code, void* user, CZXS_View*)
{
    // The draw thread polls the render state; a finished render may show new jams.
    static_cast<CMapController*>(user)->OnTrafficEvent(code);
}

CMapItemHolder* GetMapCoordState() { return g_MapController ? &g_MapController->GetViewHolder() : nullptr; }
