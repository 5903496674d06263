#pragma once
// What the drawn interface asks of the subsystems above it: the command
// registry, the map controller's bars and panels, a few settings options and
// the disabled-road files. The application installs its implementation at
// start-up; until then (and in tests that install none) the defaults answer:
// no commands, no bars, options at their defaults, no open files.
#include <QString>

class CDrawTool;
class CScreenElement;

enum CommandKind : int { COMMAND_PLAIN = 0, COMMAND_TOGGLE = 1, COMMAND_RADIO = 2 };

class CUiHooks {
public:
    virtual ~CUiHooks() = default;

    // The command registry: ids 10000..10053 are commands, 14000..14006 diagrams.
    virtual void ExecuteCommand(int /*id*/) { }
    virtual void InvokeCommand(int /*id*/) { }
    virtual bool IsCommandChecked(int /*id*/) { return false; }
    virtual int GetCommandKind(int /*id*/) { return COMMAND_PLAIN; }
    virtual void DrawDiagram(int /*id*/, CDrawTool* /*surface*/, int /*x*/, int /*y*/, int /*alpha*/) { }
    // The long name of a command in the interface language.
    virtual QString GetCommandName(int /*id*/) { return {}; }

    // The map controller's top button bar and the information panel shown, if any.
    virtual CScreenElement* GetTopButtonBar() { return nullptr; }
    virtual CScreenElement* GetActiveInfoPanel() { return nullptr; }

    // Settings options.
    virtual bool IsButtonHintEnabled() { return false; }
    virtual bool IsCreatingRouteMessagesEnabled() { return true; }

    // The disabled-road file manager: whether its file list has an open first
    // file, and its two file names in the order it holds them.
    virtual bool AreJamFilesOpen() { return false; }
    virtual void GetJamFileNames(QString& /*first*/, QString& /*second*/) { }
};

CUiHooks& UiHooks();
// Installs the hooks (nullptr restores the defaults). The caller keeps them alive.
void SetUiHooks(CUiHooks* hooks);
