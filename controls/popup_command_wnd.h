#pragma once
// The hidden window that carries out the rows of the long-press menu. A row
// posts its message id here; the action runs from the message loop after the
// menu has closed, outside the menu's lock. Each posted choice carries the
// request of the press that opened its menu, so a newer long press armed in
// the meantime cannot redirect it.
#include "nav/popup_context.h"
#include "platform/messages.h"

#include <cstdint>
#include <map>

class CMapController;

// Popup message ids besides the commands' and diagrams' own.
enum : uint32_t {
    POPUP_MSG_NOTHING = 10270,
    POPUP_MSG_NEW_FOLDER = 10322,
    POPUP_MSG_LEVEL_UP = 10323,
    POPUP_MSG_MOVE_DIALOG = 10325,
    POPUP_MSG_ADD_WAYPOINT = 10327,
    POPUP_MSG_DELETE_WAYPOINT = 10328,
    POPUP_MSG_WAYPOINT_PROPERTIES = 10329,
    POPUP_MSG_POI_HERE = 10332,
    POPUP_MSG_POI_SEARCH_HERE = 10333,
    POPUP_MSG_ROUTE_START = 10336,
    POPUP_MSG_ROUTE_FINISH = 10337,
    POPUP_MSG_PASSAGE_VALUE_FIRST = 10345, // values 0..7
    POPUP_MSG_PASSAGE_VALUE_LAST = 10352,
    POPUP_MSG_PASSAGE_VALUE_15 = 10353,
    POPUP_MSG_OPEN_PASSAGE = 10354,
    POPUP_MSG_CLOSE_PASSAGE = 10355,
    POPUP_MSG_NO_BACKWARD = 10356,
    POPUP_MSG_ROUTE_STATION_1 = 10367,
    POPUP_MSG_ROUTE_STATION_2 = 10368,
    POPUP_MSG_FOLDER_NAME = 10375,
    POPUP_MSG_DELETE_ROUTE_POINT = 10378,
    POPUP_MSG_HELP = 10381,
};

// Passage flags of a road element: closed, and no backward passage.
enum : uint8_t { PASSAGE_CLOSED = 0x01, PASSAGE_NO_BACKWARD = 0x02 };

// What a button holds besides commands and diagrams: a link that opens a new
// sub-folder, and one that goes a folder up.
enum : int32_t { BUTTON_NEW_FOLDER = 13000, BUTTON_LEVEL_UP = 13001 };

class CPopupCommandWnd : public platform::MessageTarget {
public:
    CPopupCommandWnd() = default;
    ~CPopupCommandWnd() override = default;

    // The popup menu's current request; used by a message posted without one.
    void SetContext(const PopupContext* context) { m_context = context; }
    const PopupContext* GetContext() const { return m_context; }
    // Posts a row's message with its own copy of the request.
    bool PostChoice(uint32_t message, const PopupContext& context);

    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    // Carries a message out for a request (what a delivered post runs).
    void Execute(uint32_t message, const PopupContext& context);

    // The nearest waypoint to a map point: its index, -1 for an empty list.
    static int FindNearestWaypoint(int32_t x, int32_t y);

private:
    static void AssignCommand(const PopupContext& context, int32_t command);
    static void AssignDiagram(const PopupContext& context, int32_t diagram);
    static void OnRoutePointHere(const PopupContext& context, int slot);
    static void OnDeleteRoutePoint(const PopupContext& context);
    static void OnMoveDialog(const PopupContext& context);
    static void OnAddWaypoint(const PopupContext& context);
    static void OnWaypointProperties(const PopupContext& context);
    static void OnDeleteWaypoint(const PopupContext& context);
    static void OnPassage(const PopupContext& context, int value, uint8_t flags, int32_t seconds);

    const PopupContext* m_context = nullptr;
    std::map<platform::LPARAM, PopupContext> m_posted;
    platform::LPARAM m_nextKey = 0;
};

// The passage flags of a road element as the map holds them (0 when it has
// none), and an edit of them: value, flags and lifetime in seconds (-1 none).
// The map controller's redraw follows an edit. 0 done, else the kernel's code.
uint8_t GetRoadPassageFlags(CMapController& controller, int32_t road);
int32_t SetRoadPassage(CMapController& controller, int32_t road, int value, uint8_t flags, int32_t seconds);
