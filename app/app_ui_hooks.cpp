#include "app/app_ui_hooks.h"

#include "controls/command_registry.h"
#include "nav/map_controller.h"
#include "settings/settings_record.h"

void CAppUiHooks::ExecuteCommand(int id)
{
    if (g_CommandRegistry)
        g_CommandRegistry->Execute(static_cast<uint32_t>(id));
}

void CAppUiHooks::InvokeCommand(int id)
{
    if (g_CommandRegistry)
        g_CommandRegistry->Invoke(static_cast<uint32_t>(id));
}

bool CAppUiHooks::IsCommandChecked(int id)
{
    return g_CommandRegistry && g_CommandRegistry->IsChecked(static_cast<uint32_t>(id)) != 0;
}

int CAppUiHooks::GetCommandKind(int id)
{
    return g_CommandRegistry ? g_CommandRegistry->GetKind(static_cast<uint32_t>(id)) : COMMAND_PLAIN;
}

void CAppUiHooks::DrawDiagram(int id, CDrawTool* surface, int x, int y, int alpha)
{
    if (g_CommandRegistry)
        g_CommandRegistry->DrawDiagram(static_cast<uint32_t>(id), surface, x, y, alpha);
}

QString CAppUiHooks::GetCommandName(int id)
{
    return g_CommandRegistry ? g_CommandRegistry->GetName(static_cast<uint32_t>(id)) : QString();
}

bool CAppUiHooks::IsButtonHintEnabled() { return g_buttonTooltips == 1; }

bool CAppUiHooks::AreJamFilesOpen()
{
    CMapController* controller = g_MapController.get();
    return controller && controller->GetJamFiles().IsOpen();
}

void CAppUiHooks::GetJamFileNames(QString& first, QString& second)
{
    // The store's main file and the map's journal it writes.
    if (CMapController* controller = g_MapController.get()) {
        first = controller->GetJamFiles().GetMainPath();
        second = controller->GetJamFiles().GetJournalPath();
    }
}

CScreenElement* CAppUiHooks::GetTopButtonBar()
{
    return g_MapController ? &g_MapController->GetTopButtonBar() : nullptr;
}

CAppUiHooks& AppUiHooks()
{
    static CAppUiHooks hooks;
    return hooks;
}
