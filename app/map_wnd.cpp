#include "app/map_wnd.h"

#include "app/app_messages.h"
#include "app/draw_thread.h"
#include "app/load_application_data.h"
#include "app/loading_wnd.h"
#include "app/main_frame.h"
#include "app/screen_tab_wnd.h"
#include "app/travenor_app.h"
#include "controls/hard_key_map.h"
#include "controls/map_popup_menu.h"
#include "controls/quick_menu_bar.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "platform/shell.h"

CMapWnd::CMapWnd()
    : m_pDrawThread(std::make_unique<CDrawThread>(g_drawTool.get()))
{
}

CMapWnd::~CMapWnd()
{
    if (!m_destroyed)
        OnDestroy();
    m_pDrawThread.reset();
}

bool CMapWnd::Create(CMainFrame& frame)
{
    m_frame = &frame;
    frame.SetMapWnd(this);
    GrabHardwareKeys(this);
    return true;
}

CMainFrame* CMapWnd::GetMainFrame() { return theApp ? theApp->GetMainWnd() : nullptr; }

platform::LRESULT CMapWnd::OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM)
{
    switch (message) {
    case platform::WM_PAINT:
        OnPaint();
        return 0;
    case platform::WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case platform::WM_KILLFOCUS:
        OnKillFocus();
        return 0;
    case platform::WM_KEYDOWN:
        OnKeyDown(static_cast<int>(wParam));
        return 0;
    case platform::WM_KEYUP:
        OnKeyUp(static_cast<int>(wParam));
        return 0;
    case MSG_LEAVE_FULL_SCREEN:
        LeaveFullScreen();
        return 0;
    case platform::WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return 0;
    }
}

void CMapWnd::SetFullScreen(bool on, int width, int height)
{
    if (!m_frame)
        return;
    QWidget& screen = m_frame->Screen();
    if (on) {
        m_rcView = QRect(0, 0, width, height);
        m_rcFrame = screen.geometry();
        platform::SHFullScreen(&screen,
            platform::SHFS_HIDETASKBAR | platform::SHFS_HIDESIPBUTTON | platform::SHFS_HIDESTARTICON);
    } else {
        platform::SHFullScreen(&screen,
            platform::SHFS_SHOWTASKBAR | platform::SHFS_SHOWSIPBUTTON | platform::SHFS_SHOWSTARTICON);
    }
    m_fullScreen = on;
}

void CMapWnd::OnPaint()
{
    if (m_bFirstPaint)
        RunFirstPaint();
}

void CMapWnd::RunFirstPaint()
{
    m_bFirstPaint = 0;
    SetLoadingProgress(15);
    SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
    g_drawTool->SetFlags(0x08);
    g_drawTool->SetFlags(0x01);
    ScreenTabWndCreate(this);
    g_drawTool->Init(theApp->GetDisplay(), true);
    if (g_MapPopupMenu)
        g_MapPopupMenu->Attach(g_drawTool.get(), g_screenTabHwnd.load());
    SetLoadingProgress(20);
    m_pDrawThread->InitSurface();
    LoadApplicationData();
    if (GetMainFrame() && GetMainFrame()->GetMapWnd())
        SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
    SetLoadingProgress(70);
    m_pDrawThread->Start();
    // The first frame reports 100.
    CLoadingWnd::GetInstance().Finish(100);
    CLoadingWnd::GetInstance().Close();
    if (CMainFrame* frame = GetMainFrame())
        frame->BringToForeground();
    m_pDrawThread->Resume();
    ScreenTabWndStartTick();
    theApp->OnStartupFinished();
}

void CMapWnd::OnSetFocus()
{
    if (CMainFrame* frame = GetMainFrame())
        frame->BringToForeground();
    SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
    if (m_bFirstPaint || m_destroyed)
        return;
    g_drawTool->Resume();
    ScreenTabWndStartTick();
    m_pDrawThread->Resume();
}

void CMapWnd::OnKillFocus()
{
    m_pDrawThread->Pause();
    ScreenTabWndStopTick();
    g_drawTool->Suspend();
    if (m_bLeaveFullScreenOnKillFocus) {
        m_bLeaveFullScreenOnKillFocus = 0;
        SetFullScreen(false, GetScreenWidth(), GetScreenHeight());
        if (m_frame)
            ShowTaskBar(&m_frame->Screen());
    }
}

void CMapWnd::OnKeyDown(int key)
{
    // Offered to the popup menu, then the quick bar, then the hardware-key map.
    if (g_MapPopupMenu && g_MapPopupMenu->OnKeyDown(key))
        return;
    if (CQuickMenuBar* quickBar = g_MapController ? g_MapController->GetQuickBar() : nullptr;
        quickBar && quickBar->OnKeyDown(key))
        return;
    if (g_HardKeyMap)
        g_HardKeyMap->OnKeyDown(key);
}

void CMapWnd::OnKeyUp(int key)
{
    // The same chain; the hardware-key map runs the key's command.
    if (g_MapPopupMenu && g_MapPopupMenu->OnKeyUp(key))
        return;
    if (CQuickMenuBar* quickBar = g_MapController ? g_MapController->GetQuickBar() : nullptr;
        quickBar && quickBar->OnKeyUp(key))
        return;
    if (g_HardKeyMap)
        g_HardKeyMap->OnKeyUp(key);
}

void CMapWnd::LeaveFullScreen()
{
    ScreenTabWndStopTick();
    // The thread ends before the buffer it draws into goes.
    m_pDrawThread->Join();
    g_drawTool->DestroyBuffer();
    SetFullScreen(false, GetScreenWidth(), GetScreenHeight());
    ReleaseHardwareKeys(this);
    if (m_frame)
        m_frame->Screen().update();
}

void CMapWnd::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    LeaveFullScreen();
}
