#include "app/app_ui_hooks.h"

#include "settings/settings_record.h"

bool CAppUiHooks::IsButtonHintEnabled() { return g_buttonTooltips == 1; }

CAppUiHooks& AppUiHooks()
{
    static CAppUiHooks hooks;
    return hooks;
}
