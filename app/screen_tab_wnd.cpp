#include "app/screen_tab_wnd.h"

#include "app/launcher.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/modal_windows.h"
#include "app/travenor_app.h"
#include "controls/button_folders.h"
#include "controls/map_popup_menu.h"
#include "gps/gps_source.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "platform/timers.h"
#include "search/waypoint.h"
#include "ui/message_window.h"

namespace {

std::unique_ptr<CScreenTabWindow> g_window;

// The message window takes the pen while it shows a message that wants an answer.
bool MessageWindowTakesPointer()
{
    CMessageWindow* window = g_messageWnd.get();
    return window && window->GetState() == CScreenElement::STATE_SHOWN && window->CapturesInput();
}

} // namespace

CScreenTabWindow::CScreenTabWindow(CMapWnd* owner)
    : m_owner(owner)
{
}

CScreenTabWindow::~CScreenTabWindow() = default;

platform::LRESULT CScreenTabWindow::OnMessage(
    uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    const int x = static_cast<int>(lParam & 0xFFFF), y = static_cast<int>((lParam >> 16) & 0xFFFF);
    switch (message) {
    case platform::WM_TIMER:
        ScreenTabWndOnTimer(static_cast<uint32_t>(wParam));
        return 0;
    case platform::WM_LBUTTONDOWN:
        ScreenTabWndOnPointerDown(x, y);
        return 0;
    case platform::WM_MOUSEMOVE:
        ScreenTabWndOnPointerMove(x, y);
        return 0;
    case platform::WM_LBUTTONUP:
        ScreenTabWndOnPointerUp(x, y);
        return 0;
    case platform::WM_LBUTTONDBLCLK:
        ScreenTabWndOnDoubleClick(x, y);
        return 0;
    default:
        return 0;
    }
}

CScreenTabWnd::CScreenTabWnd() { g_screenTabHwnd = nullptr; }

CScreenTabWnd::~CScreenTabWnd() { ScreenTabWndDestroy(); }

int ScreenTabWndCreate(CMapWnd* owner)
{
    if (g_screenTabHwnd.load()) {
        if (CMainFrame* frame = CMapWnd::GetMainFrame())
            frame->BringToForeground();
        return 0;
    }
    g_window = std::make_unique<CScreenTabWindow>(owner);
    g_bPointerUp = 1;
    // Until the map is ready the window shows its white background.
    if (platform::Display* display = theApp ? theApp->GetDisplay() : nullptr;
        display && !(g_MapController && g_MapController->IsMapReady())) {
        {
            std::lock_guard lock(display->lock());
            std::fill(
                display->Bits(), display->Bits() + display->Width() * display->Height(), uint16_t(0xFFFF));
        }
        display->Present();
    }
    g_screenTabHwnd = g_window.get();
    return 1;
}

void ScreenTabWndDestroy()
{
    g_screenTabHwnd = nullptr;
    g_window.reset();
}

void ScreenTabWndStartTick()
{
    if (CScreenTabWindow* window = g_screenTabHwnd.load())
        platform::SetTimer(window, SCREEN_TAB_TICK_TIMER, SCREEN_TAB_TICK_MS);
}

void ScreenTabWndStopTick()
{
    if (CScreenTabWindow* window = g_screenTabHwnd.load())
        platform::KillTimer(window, SCREEN_TAB_TICK_TIMER);
}

void ScreenTabWndOnTimer(uint32_t id)
{
    if (IsRouteWizardOpen()) {
        // A long press armed before the wizard came must not open a menu once it goes.
        if (id == SCREEN_TAB_LONG_PRESS_TIMER)
            platform::KillTimer(g_screenTabHwnd.load(), SCREEN_TAB_LONG_PRESS_TIMER);
        // The fix stays live, so that the wizard's "Current position" is where the car is now.
        if (id == SCREEN_TAB_TICK_TIMER)
            if (CGpsSource* source = g_gpsSource.get())
                source->Poll();
        return;
    }
    if (id == SCREEN_TAB_TICK_TIMER) {
        if (CGpsSource* source = g_gpsSource.get())
            source->Poll();
        if (CMapPopupMenu* menu = g_MapPopupMenu.get())
            menu->OnTick(SCREEN_TAB_TICK_MS);
        if (CWaypointList* waypoints = g_waypoints.get())
            waypoints->CheckProximityAlerts();
        if (CMapController* controller = g_MapController.get())
            controller->OnTick();
        if (CMessageWindow* window = g_messageWnd.get())
            window->Tick();
    } else if (id == SCREEN_TAB_LONG_PRESS_TIMER) {
        platform::KillTimer(g_screenTabHwnd.load(), SCREEN_TAB_LONG_PRESS_TIMER);
        if (CMapPopupMenu* menu = g_MapPopupMenu.get())
            menu->Show();
    }
}

void ScreenTabWndOnPointerDown(int x, int y)
{
    if (g_bPointerUp == 0)
        return; // a second press without a release
    g_bPointerUp = 0;
    if (IsRouteWizardOpen())
        return;
    const ElementPoint point { x, y };
    if (MessageWindowTakesPointer()) {
        g_messageWnd->OnPointerDown(point);
        return;
    }
    if (CMapPopupMenu* menu = g_MapPopupMenu.get(); menu && menu->OnPointerDown(point))
        return;
    if (CScreenButtonFolders* folders = g_transparentButtonRoot.get();
        folders && folders->OnPointerDown(point))
        return;
    if (CMapController* controller = g_MapController.get())
        controller->OnPointerDown(point);
}

void ScreenTabWndOnPointerMove(int x, int y)
{
    if (g_bPointerUp != 0 || IsRouteWizardOpen())
        return;
    const ElementPoint point { x, y };
    if (MessageWindowTakesPointer()) {
        g_messageWnd->OnPointerMove(point);
        return;
    }
    if (CMapPopupMenu* menu = g_MapPopupMenu.get(); menu && menu->OnPointerMove(point))
        return;
    if (CMapController* controller = g_MapController.get())
        controller->OnPointerMove(point);
}

void ScreenTabWndOnPointerUp(int x, int y)
{
    if (g_bPointerUp == 1)
        return; // a release without a handled press
    const ElementPoint point { x, y };
    if (IsRouteWizardOpen()) {
        // The released point goes to the route wizard, in map coordinates.
        g_bPointerUp = 1;
        ZXS_Point picked;
        if (CMapController* controller = g_MapController.get();
            controller && controller->ScreenToMap(point, picked))
            CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, &picked);
        return;
    }
    if (MessageWindowTakesPointer()) {
        g_messageWnd->OnPointerUp(point);
        g_bPointerUp = 1;
        return;
    }
    CMapPopupMenu* menu = g_MapPopupMenu.get();
    const int answer = menu ? menu->OnPointerUp(point) : CMapPopupMenu::UP_NOT_MINE;
    CMapController* controller = g_MapController.get();
    CScreenButtonFolders* folders = g_transparentButtonRoot.get();
    switch (answer) {
    case CMapPopupMenu::UP_NOT_MINE:
        if (menu)
            menu->CancelLongPress();
        if (folders && folders->OnPointerUp(point))
            break;
        if (controller)
            controller->OnPointerUp(point);
        break;
    case CMapPopupMenu::UP_SWALLOWED:
        // The release of the press that opened the menu still ends the
        // zoom-slider drag and the gesture.
        if (controller) {
            controller->ZoomSliderTapUp(point);
            controller->EndPointerGesture();
        }
        break;
    default:
        // The menu closed or handled it: the button the long press held lets go.
        if (folders)
            folders->ReleasePressed();
        if (controller) {
            controller->GetTopButtonBar().ReleasePressed();
            controller->GetBottomButtonBar().ReleasePressed();
        }
        break;
    }
    g_bPointerUp = 1;
}

void ScreenTabWndOnDoubleClick(int x, int y)
{
    const ElementPoint point { x, y };
    if (MessageWindowTakesPointer()) {
        g_messageWnd->OnDoubleClick(point);
        return;
    }
    // Nothing while a popup menu level is open, and the folders before the map.
    if (CMapPopupMenu* menu = g_MapPopupMenu.get(); menu && menu->IsOpen())
        return;
    if (CScreenButtonFolders* folders = g_transparentButtonRoot.get();
        folders && folders->OnDoubleClick(point))
        return;
    if (CMapController* controller = g_MapController.get())
        controller->OnDoubleClick(point);
}
