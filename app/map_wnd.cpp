#include "app/map_wnd.h"

#include "app/app_messages.h"
#include "app/main_frame.h"
#include "app/travenor_app.h"
#include "drawlib/glyph_sets.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/screen_metrics.h"
#include "platform/display.h"
#include "platform/shell.h"

#include <utility>

CMapWnd::CMapWnd() = default;

CMapWnd::~CMapWnd()
{
    if (!m_destroyed)
        OnDestroy();
}

bool CMapWnd::Create(CMainFrame& frame)
{
    m_frame = &frame;
    frame.SetMapWnd(this);
    // The hardware keys are taken over here once the key map exists.
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

namespace {

// Until the draw thread runs: the draw tool's buffer on the device screen
// with a line of text in each interface font.
void ShowStartScreen()
{
    for (const GlyphFontMetrics& f : kGlyphFonts)
        g_drawTool->LoadResource(g_resourceDll->Handle(), uint32_t(f.id));
    g_drawTool->Clear(0xF0F0F0, false);
    const int titleHeight = ScaleByDpiY(20);
    g_drawTool->FillSolidRect(0, 0, GetScreenWidth(), titleHeight, 0x703010, 255, false);
    g_drawTool->GetFont(FONT_TITLE)
        .DrawTextInRect(u"Travenor Pro", -1, { 0, 0, GetScreenWidth(), titleHeight },
            CGlyphFont::GF_CENTRE | CGlyphFont::GF_VCENTRE, nullptr, nullptr);
    int y = titleHeight + ScaleByDpiY(6);
    const std::pair<int, const char16_t*> lines[]
        = { { FONT_SMALL, u"Маршрут построен" }, { FONT_TEXT, u"Drive 2.5 km, then turn right" },
              { FONT_NUMBER, u"Через 300 м" }, { FONT_DIGITS, u"12.5km" } };
    const int margin = ScaleByDpiX(6);
    for (const auto& [id, text] : lines) {
        CGlyphFont& font = g_drawTool->GetFont(id);
        if (id == FONT_DIGITS) // proportional: one line only
            y += font.DrawString(text, margin, y) ? font.GetLineHeight() : 0;
        else
            y += font.DrawTextInRect(text, -1, { margin, y, GetScreenWidth() - margin, GetScreenHeight() },
                CGlyphFont::GF_WRAP, nullptr, nullptr);
        y += ScaleByDpiY(6);
    }
    g_drawTool->BeginDraw(nullptr);
    g_drawTool->CopyToScreen();
    g_drawTool->EndDraw();
}

} // namespace

void CMapWnd::RunFirstPaint()
{
    m_bFirstPaint = 0;
    SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
    g_drawTool->SetFlags(0x08);
    g_drawTool->SetFlags(0x01);
    g_drawTool->Init(theApp->GetDisplay(), true);
    ShowStartScreen();
    if (GetMainFrame() && GetMainFrame()->GetMapWnd())
        SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
    if (CMainFrame* frame = GetMainFrame())
        frame->BringToForeground();
    theApp->OnStartupFinished();
}

void CMapWnd::OnSetFocus()
{
    if (CMainFrame* frame = GetMainFrame())
        frame->BringToForeground();
    SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
    if (m_bFirstPaint)
        return;
    g_drawTool->Resume();
}

void CMapWnd::OnKillFocus()
{
    g_drawTool->Suspend();
    if (m_bLeaveFullScreenOnKillFocus) {
        m_bLeaveFullScreenOnKillFocus = 0;
        SetFullScreen(false, GetScreenWidth(), GetScreenHeight());
        if (m_frame)
            ShowTaskBar(&m_frame->Screen());
    }
}

void CMapWnd::OnKeyDown(int /*key*/)
{
    // Offered to the popup menu, then the quick bar, then the hardware-key map
    // once they exist.
}

void CMapWnd::OnKeyUp(int /*key*/)
{
    // The same chain; the hardware-key map runs the key's command.
}

void CMapWnd::LeaveFullScreen()
{
    g_drawTool->DestroyBuffer();
    SetFullScreen(false, GetScreenWidth(), GetScreenHeight());
    // The hardware keys are given back here once they are taken over.
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
