#include "foundation/control_panel.h"

#include "foundation/app_services.h"
#include "foundation/language.h"
#include "platform/message_box.h"
#include "platform/system_programs.h"

void OpenControlPanelApplet()
{
    if (platform::StartSystemProgram(
            QStringLiteral("\\Windows\\ctlpnl.exe"), QStringLiteral("cplmain.cpl,%1,%2").arg(4).arg(0)))
        return;
    AppMessageBoxText(
        Bilingual(u"Cannot start Control Panel process", u"Невозможно открыть стандартный диалог."),
        platform::MB_OK);
}
