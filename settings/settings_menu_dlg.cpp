#include "settings/settings_menu_dlg.h"

#include "app/launcher.h"

int CSettingsMenuDlg::DoModal() { return RequestPendingWindow({ QStringLiteral("CSettingsMenuDlg") }); }
