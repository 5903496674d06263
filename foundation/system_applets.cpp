#include "foundation/system_applets.h"

#include "foundation/app_services.h"
#include "foundation/language.h"
#include "platform/message_box.h"
#include "platform/system_programs.h"

namespace {

const QString kControlPanel = QStringLiteral("\\Windows\\ctlpnl.exe");

bool StartControlPanel(int applet, const char16_t* english, const char16_t* russian)
{
    if (platform::StartSystemProgram(kControlPanel, QString::asprintf("cplmain.cpl,%d,%d", applet, 0)))
        return true;
    AppMessageBoxText(Bilingual(english, russian), platform::MB_OK);
    return false;
}

} // namespace

bool OpenControlPanelApplet()
{
    return StartControlPanel(
        4, u"Cannot start Control Panel process", u"Невозможно открыть стандартный диалог.");
}

bool OpenConnectionsApplet()
{
    return StartControlPanel(
        19, u"Cannot open \"Connection\" dialog.", u"Невозможно открыть стандартный диалог \"Соединения\".");
}

bool OpenPowerApplet()
{
    return platform::StartSystemProgram(QStringLiteral("\\Windows\\Power.exe"), QString());
}

bool OpenBacklightApplet()
{
    const QString backlight = QStringLiteral("\\Windows\\Backlight.exe");
    if (platform::HasSystemProgram(backlight))
        return platform::StartSystemProgram(backlight, QString());
    return platform::StartSystemProgram(kControlPanel, QStringLiteral("cplmain.cpl,6"));
}
