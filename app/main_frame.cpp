#include "app/main_frame.h"

#include "app/app_messages.h"
#include "app/device_config.h"
#include "app/launcher.h"
#include "app/map_wnd.h"
#include "app/screen_tab_wnd.h"
#include "app/travenor_app.h"
#include "controls/hard_key_map.h"
#include "foundation/draw_suspender.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "platform/options.h"
#include "settings/ui_mode.h"
#include "traffic/jam_glue.h"
#include "ui/message_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <algorithm>

namespace {

// The route result the frame answers a rebuild request with while there is
// no map controller: nothing to route.
constexpr platform::LRESULT kNothingToRoute = 167;

} // namespace

CMainFrame::CMainFrame(platform::DeviceScreen& screen)
    : m_screen(screen)
    , m_wndView(std::make_unique<CMapWnd>())
    , m_cyScreen(GetScreenHeight())
    , m_cxScreen(GetScreenWidth())
{
}

CMainFrame::~CMainFrame()
{
    if (!m_destroyed)
        DestroyWindow();
    m_wndView.reset();
}

bool CMainFrame::Create()
{
    if (!m_wndView->Create(*this))
        return false;
    m_screen.setWindowTitle(QStringLiteral("Travenor Pro"));
    m_screen.installEventFilter(this);
    m_created = true;
    // The window system paints a window that has just been shown.
    platform::post(m_wndView.get(), platform::WM_PAINT);
    return true;
}

void CMainFrame::BringToForeground()
{
    // A headless screen has no stacking order to change.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        m_screen.raise();
    m_screen.activateWindow();
}

platform::LRESULT CMainFrame::OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    switch (message) {
    case platform::WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case platform::WM_CLOSE:
        OnClose();
        return 0;
    case platform::WM_SIZE:
        OnSize(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
        return 0;
    case MSG_IGNORED:
        return 0;
    case MSG_RECONNECT_JAM_TRANSPORT:
        ReconnectJamTransport();
        return 0;
    case MSG_GO_TO_BACKGROUND:
        return OnBackground();
    case MSG_COME_TO_FRONT:
        return OnForeground();
    case WM_APP_APPLY_UI_MODE:
        ApplyUiMode(wParam != 0 ? 1 : 0, 1);
        return 0;
    case WM_APP_REBUILD_ROUTE:
        // The route through its points (show: wParam, moving mode: lParam); 1 when built.
        if (CMapController* controller = g_MapController.get())
            return controller->BuildRouteLocked(wParam != 0, lParam != 0);
        return kNothingToRoute;
    case WM_APP_ROUTE_WIZARD:
        // Closes the route wizard; one still in use is cancelled first.
        CLauncher::RouteWizard(ROUTE_WIZARD_CLOSE, nullptr);
        return 0;
    case WM_APP_HELP:
        return OnHelp();
    case platform::WM_COMMAND:
        if ((wParam & 0xFFFF) == ID_APP_EXIT) {
            OnClose();
            return 0;
        }
        if ((wParam & 0xFFFF) == ID_APP_ABOUT)
            return 0;
        // Other commands go to the map window first, as to the frame's view.
        return m_pMapWnd ? m_pMapWnd->OnMessage(message, wParam, lParam) : 0;
    default:
        return 0;
    }
}

void CMainFrame::OnSetFocus()
{
    if (m_pMapWnd)
        platform::send(m_pMapWnd, platform::WM_SETFOCUS);
    BringToForeground();
}

void CMainFrame::OnClose()
{
    if (m_destroyed)
        return;
    g_drawSuspender.MarkIdle();
    if (m_pMapWnd)
        platform::send(m_pMapWnd, MSG_LEAVE_FULL_SCREEN);
    DestroyWindow();
}

void CMainFrame::DestroyWindow()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    // A route wizard left open is cancelled (the old route stays) and gives
    // the screen and the route's lock back before the map window goes.
    CLauncher::RouteWizard(ROUTE_WIZARD_CLOSE, nullptr);
    g_drawSuspender.MarkIdle();
    m_screen.removeEventFilter(this);
    if (m_pMapWnd)
        m_pMapWnd->OnDestroy();
    m_screen.hide();
    // The main window is gone: the message loop ends.
    if (QCoreApplication::instance())
        QCoreApplication::exit(0);
}

void CMainFrame::OnSize(int width, int height)
{
    // Only a change of both sides, as a rotation gives, counts: the input
    // panel changes the height alone.
    if (width == m_cxScreen || height == m_cyScreen)
        return;
    // With the map in front the user chooses in the message window whether to
    // minimise or close; otherwise the program ends when the screen really changed.
    if (g_MapController && g_MapController->IsMapScreenActive() && g_messageWnd)
        g_messageWnd->AskScreenChanged(MESSAGE_NO_TIMEOUT);
    else
        CheckScreenSizeChanged();
}

platform::LRESULT CMainFrame::OnBackground()
{
    // Drawing stops while another program is in front (a frame copied then
    // would land on that program) and comes back with the program.
    if (!m_suspendedForBackground) {
        m_suspendedForBackground = true;
        g_drawSuspender.Suspend();
    }
    if (m_pMapWnd) {
        ReleaseHardwareKeys(m_pMapWnd);
        platform::send(m_pMapWnd, platform::WM_KILLFOCUS);
    }
    m_screen.showMinimized();
    return 0;
}

platform::LRESULT CMainFrame::OnForeground()
{
    if (platform::options().fullscreen)
        m_screen.showFullScreen();
    else
        m_screen.showNormal();
    if (m_suspendedForBackground) {
        m_suspendedForBackground = false;
        g_drawSuspender.Resume(0);
    }
    BringToForeground();
    if (m_pMapWnd)
        GrabHardwareKeys(m_pMapWnd);
    return 0;
}

platform::LRESULT CMainFrame::OnHelp()
{
    if (!m_pMapWnd)
        return 0;
    m_pMapWnd->m_bLeaveFullScreenOnKillFocus = 1;
    platform::send(m_pMapWnd, platform::WM_KILLFOCUS);
    const bool launched = LaunchHelpViewer(QStringLiteral("file:TravenorProHelp.htm#Main_Contents"));
    m_pMapWnd->m_bLeaveFullScreenOnKillFocus = launched ? 1 : 0;
    // No help came up: the map keeps the screen, and its tick and drawing go on.
    if (!launched)
        platform::send(m_pMapWnd, platform::WM_SETFOCUS);
    return 0;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_screen)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        // The window's close button is the user's own close.
        event->ignore();
        if (theApp)
            theApp->RequestClose();
        return true;
    case QEvent::WindowActivate:
        platform::send(this, platform::WM_SETFOCUS);
        return false;
    case QEvent::WindowDeactivate:
        if (m_pMapWnd)
            platform::send(m_pMapWnd, platform::WM_KILLFOCUS);
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = platform::VirtualKeyFromQt(keyEvent->key());
        // A held key repeats its press, as the device's keys do; it is released once.
        if (key && keyEvent->isAutoRepeat() && event->type() == QEvent::KeyRelease)
            return true;
        if (key && m_pMapWnd)
            platform::send(m_pMapWnd,
                event->type() == QEvent::KeyPress ? platform::WM_KEYDOWN : platform::WM_KEYUP,
                static_cast<platform::WPARAM>(key));
        return key != 0;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        // The left button is the stylus; it writes on the full-screen window.
        auto* mouse = static_cast<QMouseEvent*>(event);
        CScreenTabWindow* window = g_screenTabHwnd.load();
        if (!window || (event->type() != QEvent::MouseMove && mouse->button() != Qt::LeftButton))
            return false;
        const QPoint at = mouse->position().toPoint();
        const uint32_t message = event->type() == QEvent::MouseButtonPress ? platform::WM_LBUTTONDOWN
            : event->type() == QEvent::MouseButtonRelease                  ? platform::WM_LBUTTONUP
            : event->type() == QEvent::MouseButtonDblClick                 ? platform::WM_LBUTTONDBLCLK
                                                                           : platform::WM_MOUSEMOVE;
        platform::send(window, message, 0,
            MakePointerLParam(std::clamp(at.x(), 0, 0xFFFF), std::clamp(at.y(), 0, 0xFFFF)));
        return true;
    }
    case QEvent::Resize: {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        platform::send(this, platform::WM_SIZE, 0, (size.height() << 16) | (size.width() & 0xFFFF));
        return false;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
