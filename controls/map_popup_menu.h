#pragma once
// The menu a long press opens: the stylus held 500 ms without moving more
// than 6 pixels on the map, on a transparent button or on a bar button. On the
// map it offers what can be done at the pressed place; on a button, every
// command that can be put on it. Its rows post message ids to the command
// window, which carries the choice out after the menu has closed.
//
// The user-interface thread arms, builds and drives it; the draw thread draws
// the open levels in every frame. The lock guards the open levels, the root
// and the context; the map menu's look-ups (POI, addresses, passages) run
// before the lock is taken, so a frame never waits for them.
#include "controls/popup_command_wnd.h"
#include "controls/tree_menu.h"
#include "nav/popup_context.h"
#include "platform/process_object.h"
#include "platform/sync.h"
#include "ui/screen_element.h"

#include <QString>
#include <memory>
#include <vector>

namespace platform {
class MessageTarget;
}

class CMapController;

class CMapPopupMenu : public CScreenElement {
public:
    // Answers of OnPointerUp.
    enum : int { UP_NOT_MINE = 0, UP_SWALLOWED = 1, UP_CLOSED = 2, UP_HANDLED = 4 };
    static constexpr uint32_t kLongPressTimer = 2;
    static constexpr uint32_t kLongPressMs = 500;
    // A move farther than this from the press (squared pixels) is no long press.
    static constexpr int kStillRadiusSquared = 36;
    static constexpr int kLeftKey = 37;
    // The square searched for POI around the press, metres.
    static constexpr double kPoiSquareMetres = 40.0;

    CMapPopupMenu();
    ~CMapPopupMenu() override;

    // Once at start-up: the hidden window the rows post to.
    void CreateCommandWindow();
    CPopupCommandWnd* GetCommandWindow() const { return m_commandWnd.get(); }
    // The surface to draw on and the window that owns the long-press timer; 0
    // when either is missing (the menu then never opens).
    int Attach(CDrawTool* surface, platform::MessageTarget* timerWindow);

    void ArmLongPress(const PopupContext& context);
    void CancelLongPress();
    // The long-press timer fired: the menu for the armed request opens at the press.
    void Show();

    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerMove(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    bool IsOpen() const;
    int OnKeyDown(int key);
    int OnKeyUp(int key);
    void OnTick(int elapsedMs);
    void Draw() override;

    void PushLevel(CTreeMenu* level);
    void CloseAll();
    void Clear();
    // A row was chosen: its value goes to the command window with the request
    // the menu was opened for.
    void PostChoice(int32_t value);

    // What tests read: the root, the open levels, the armed request.
    CTreeMenu& Root() { return m_root; }
    std::vector<CTreeMenu*> OpenLevels() const;
    PopupContext GetContext() const;

private:
    // What the map menu shows, looked up before the lock is taken.
    struct MapFacts {
        std::vector<QString> poiCategories;
        bool poiFound = false;
        std::vector<QString> addresses; // in the order the rows show them
        bool waypointsExist = false;
        bool waypointNear = false;
        QString routeCaptionsEn[4];
        QString routeCaptionsRu[4];
        int nearRoutePoint = 255;
        bool overDiagram = false;
        int32_t shownDiagramMessage = 0;
        bool expert = false;
        int32_t road = -1;
        uint8_t passageFlags = 0;
        bool closeEnabled = false;
        bool noBackwardEnabled = false;
        bool openEnabled = false;
    };
    MapFacts GatherMapFacts(const PopupContext& context);
    void BuildCommandMenu();
    void BuildFolderMenu();
    void BuildMapMenu(const MapFacts& facts);
    void AddDiagramsMenu(int32_t checkedMessage);
    void MarkCommand(int32_t messageId, bool on);
    void KillLongPressTimer();

    std::vector<CTreeMenu*> m_levels;
    std::unique_ptr<CPopupCommandWnd> m_commandWnd;
    CTreeMenu m_root;
    ElementPoint m_press;
    mutable platform::CriticalSection m_lock;
    int m_swallow = 0;
    platform::MessageTarget* m_timerWindow = nullptr;
    PopupContext m_context;
    // The request of the open menu, as its rows hand it on.
    PopupContext m_shownContext;
    int32_t m_road = -1;
};

inline platform::ProcessObject<CMapPopupMenu> g_MapPopupMenu;

// The map radius of the route points and waypoints a press acts on: a sixth
// of the screen's width and height together; 0 without a view.
int32_t PressRadius(CMapController& controller);
