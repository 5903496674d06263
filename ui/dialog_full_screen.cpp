#include "ui/dialog_full_screen.h"

#include "foundation/screen_metrics.h"
#include "platform/shell.h"
#include "ui/dialog_style.h"

CDialogFullScreen::CDialogFullScreen(int templateId, QWidget* parent)
    : CBaseDialog(templateId, parent)
{
}

void CDialogFullScreen::FullScreenOn(bool force)
{
    if (!force && GetWindowRect().height() == GetScreenHeight())
        return;
    platform::SHFullScreen(
        this, platform::SHFS_HIDETASKBAR | platform::SHFS_HIDESIPBUTTON | platform::SHFS_HIDESTARTICON);
    MoveWindow(QRect(0, 0, GetScreenWidth(), GetScreenHeight()));
}

void CDialogFullScreen::FullScreenOff()
{
    if (GetWindowRect().height() != GetScreenHeight())
        return;
    platform::SHFullScreen(
        this, platform::SHFS_SHOWTASKBAR | platform::SHFS_SHOWSIPBUTTON | platform::SHFS_HIDESTARTICON);
    MoveWindow(QRect(0, kTaskBarHeight, GetScreenWidth(), GetScreenHeight() - kShellBarsHeight));
}

bool CDialogFullScreen::OnInitDialog()
{
    FullScreenOn(true);
    CBaseDialog::OnInitDialog();
    FullScreenOn(true);
    return true;
}

void CDialogFullScreen::OnActivate(int state)
{
    CBaseDialog::OnActivate(state);
    if (state != WA_INACTIVE) {
        if (m_mode < 2) {
            m_mode = 2;
            FullScreenOn(true);
        }
    } else {
        m_mode = GetWindowRect().height() == GetScreenHeight() ? 1 : 0;
    }
}
