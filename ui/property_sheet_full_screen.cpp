#include "ui/property_sheet_full_screen.h"

#include "foundation/input_panel.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "ui/dialog_style.h"

#include <QCloseEvent>

CPropertySheetFullScreen::CPropertySheetFullScreen(const QString& caption, QWidget* parent, int selectPage)
    : CPropertySheet(caption, parent, selectPage)
{
}

void CPropertySheetFullScreen::FullScreenOn()
{
    ShowInputPanel(false);
    platform::SHFullScreen(
        this, platform::SHFS_HIDETASKBAR | platform::SHFS_HIDESIPBUTTON | platform::SHFS_HIDESTARTICON);
    MoveWindow(QRect(0, 0, GetScreenWidth(), GetScreenHeight() - GetMenuBarHeight()));
    m_fullScreen = true;
    AdjustLayout(true);
}

void CPropertySheetFullScreen::FullScreenOff()
{
    MoveWindow(QRect(0, kTaskBarHeight, GetScreenWidth(), GetScreenHeight() - kShellBarsHeight));
    m_fullScreen = false;
    AdjustLayout(false);
    platform::SHFullScreen(
        this, platform::SHFS_SHOWTASKBAR | platform::SHFS_SHOWSIPBUTTON | platform::SHFS_HIDESTARTICON);
}

void CPropertySheetFullScreen::EnsureFullScreen()
{
    if (!m_fullScreen)
        FullScreenOn();
}

bool CPropertySheetFullScreen::OnInitDialog()
{
    const bool result = CPropertySheet::OnInitDialog();
    FullScreenOn();
    InitTabTexts();
    m_mode = 1;
    return result;
}

void CPropertySheetFullScreen::InitTabTexts() { }

void CPropertySheetFullScreen::AdjustLayout(bool fullScreen)
{
    CTabCtrl* tabs = GetTabControl();
    if (!tabs)
        return;
    // Rectangles here count their right and bottom edges exclusively.
    const int bottom = fullScreen ? GetScreenHeight() - GetMenuBarHeight() + 1 : GetScreenHeight() - 51;
    const QRect old = tabs->geometry();
    tabs->setGeometry(QRect(QPoint(old.left(), old.top()), QPoint(old.right(), bottom - 1)));
    CPropertyPage* page = GetActivePage();
    QRect area;
    if (tabs->GetItemCount() >= 2) {
        const QRect item = tabs->GetItemRect(tabs->GetCurSel());
        area = QRect(QPoint(0, 0), QPoint(tabs->width() - 1, item.top() - 3 - 1)).translated(tabs->pos());
    }
    if (page) {
        if (tabs->GetItemCount() < 2)
            area = Body()->rect().translated(-2, -1);
        page->setGeometry(area);
    }
}

void CPropertySheetFullScreen::OnActivate(int state)
{
    CPropertySheet::OnActivate(state);
    if (state != WA_INACTIVE) {
        if (m_mode == 1)
            FullScreenOn();
        else if (m_mode == 0)
            FullScreenOff();
        m_mode = 2;
    } else {
        m_mode = m_fullScreen ? 1 : 0;
    }
}

void CPropertySheetFullScreen::OnClose()
{
    FullScreenOff();
    m_closing = true;
    OnCancel();
}

void CPropertySheetFullScreen::done(int result)
{
    // However the sheet ends, the task bar comes back.
    if (!m_closing)
        FullScreenOff();
    m_closing = false;
    CPropertySheet::done(result);
}

void CPropertySheetFullScreen::closeEvent(QCloseEvent* event)
{
    if (isVisible())
        OnClose();
    event->accept();
}
