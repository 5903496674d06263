#pragma once
// A command registry, map controller and settings in one, for the element
// tests: records what ran, with configurable kinds and checked states; the
// hide command hides the message window given to it.
#include "ui/message_window.h"
#include "ui/ui_hooks.h"

#include <map>
#include <vector>

namespace uitest {

class FakeUiHooks : public CUiHooks {
public:
    FakeUiHooks() { SetUiHooks(this); }
    ~FakeUiHooks() override { SetUiHooks(nullptr); }
    FakeUiHooks(const FakeUiHooks&) = delete;
    FakeUiHooks& operator=(const FakeUiHooks&) = delete;

    void ExecuteCommand(int id) override
    {
        executed.push_back(id);
        if (id == 10047 && window)
            window->SetState(0);
    }
    void InvokeCommand(int id) override { invoked.push_back(id); }
    bool IsCommandChecked(int id) override { return checked[id]; }
    int GetCommandKind(int id) override { return kinds.count(id) ? kinds[id] : COMMAND_PLAIN; }
    void DrawDiagram(int id, CDrawTool*, int x, int y, int alpha) override
    {
        diagrams.push_back({ id, x, y, alpha });
    }
    QString GetCommandName(int id) override { return QStringLiteral("Command %1").arg(id); }
    CScreenElement* GetTopButtonBar() override { return topBar; }
    CScreenElement* GetActiveInfoPanel() override { return infoPanel; }
    bool IsButtonHintEnabled() override { return hintEnabled; }
    bool IsCreatingRouteMessagesEnabled() override { return routeMessages; }
    bool AreJamFilesOpen() override { return jamFilesOpen; }
    void GetJamFileNames(QString& first, QString& second) override
    {
        first = jamFirst;
        second = jamSecond;
    }

    struct Diagram {
        int id, x, y, alpha;
    };
    CMessageWindow* window = g_messageWnd.get();
    std::vector<int> executed;
    std::vector<int> invoked;
    std::vector<Diagram> diagrams;
    std::map<int, bool> checked;
    std::map<int, int> kinds;
    CScreenElement* topBar = nullptr;
    CScreenElement* infoPanel = nullptr;
    bool hintEnabled = true;
    bool routeMessages = true;
    bool jamFilesOpen = false;
    QString jamFirst, jamSecond;
};

} // namespace uitest
