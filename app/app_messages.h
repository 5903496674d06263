#pragma once
// The numbered messages of the program's own windows. Other subsystems post
// them to the main frame (g_mainFrame) or the map window; the numbers are the
// device program's and stay as they are.
#include "platform/messages.h"

#include <cstdint>

enum : uint32_t {
    // To the map window: leave full screen (stop the tick and drawing, release the screen).
    MSG_LEAVE_FULL_SCREEN = 0x2805,
    // To the main frame: go to the background; come to the front (also the tray
    // icon's callback and a second start's request).
    MSG_GO_TO_BACKGROUND = 0x2809,
    MSG_COME_TO_FRONT = 0x280A,
    // To the main frame: ignored; reconnect the traffic transport.
    MSG_IGNORED = 0x777,
    MSG_RECONNECT_JAM_TRANSPORT = 0x779,
    // To the main frame: apply the interface mode (wParam: expert); rebuild the
    // route through its points (wParam: show it, lParam: moving mode; the result
    // is the route result); close the route wizard; open the help.
    WM_APP_APPLY_UI_MODE = platform::WM_APP + 1,
    WM_APP_REBUILD_ROUTE = platform::WM_APP + 2,
    WM_APP_ROUTE_WIZARD = platform::WM_APP + 3,
    WM_APP_HELP = platform::WM_APP + 5,
    // WM_COMMAND ids of the frame.
    ID_APP_ABOUT = 0xE140,
    ID_APP_EXIT = 0xE141,
};
