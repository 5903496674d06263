#pragma once
// What the drawn interface asks of the application: answered from the
// application's subsystems as they exist (the rest keep the defaults).
#include "ui/ui_hooks.h"

class CAppUiHooks : public CUiHooks {
public:
    // The command registry.
    void ExecuteCommand(int id) override;
    void InvokeCommand(int id) override;
    bool IsCommandChecked(int id) override;
    int GetCommandKind(int id) override;
    void DrawDiagram(int id, CDrawTool* surface, int x, int y, int alpha) override;
    QString GetCommandName(int id) override;

    bool IsButtonHintEnabled() override;

    // The disabled-road store, for the notice that a passage cannot be changed.
    bool AreJamFilesOpen() override;
    void GetJamFileNames(QString& first, QString& second) override;
    // The controller's top bar: the button hint stands clear of it.
    CScreenElement* GetTopButtonBar() override;
};

// The application's hooks, installed at start-up.
CAppUiHooks& AppUiHooks();
