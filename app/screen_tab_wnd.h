#pragma once
// The full-screen window over the frame and the map window: the window the
// draw thread draws over, the one every tap reaches, and the owner of the
// program's one periodic timer. Timer 1, every 250 ms, is the tick: the GPS
// poll, the popup menu, the waypoint alerts, the map controller and the
// message window, in that order, on the user-interface thread. Timer 2 is the
// popup menu's one-shot long press.
#include "platform/messages.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CMapWnd;

enum : uint32_t {
    SCREEN_TAB_TICK_TIMER = 1,
    SCREEN_TAB_LONG_PRESS_TIMER = 2,
    SCREEN_TAB_TICK_MS = 250,
};

// The full-screen window ("Kestrin_screen_tab_disp", titled "Travenor Pro").
class CScreenTabWindow : public platform::MessageTarget {
public:
    explicit CScreenTabWindow(CMapWnd* owner);
    ~CScreenTabWindow() override;

    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    CMapWnd* Owner() const { return m_owner; }

private:
    CMapWnd* m_owner;
};

// The map window's hold on the full-screen window: it has no data of its own
// and clears the window's handle when it is made.
class CScreenTabWnd {
public:
    CScreenTabWnd();
    virtual ~CScreenTabWnd();
    CScreenTabWnd(const CScreenTabWnd&) = delete;
    CScreenTabWnd& operator=(const CScreenTabWnd&) = delete;
};

// The full-screen window, or none until it is created.
inline std::atomic<CScreenTabWindow*> g_screenTabHwnd { nullptr };
// 1 while the pen is up, 0 between a handled press and its release.
inline std::atomic<int32_t> g_bPointerUp { 1 };

// Creates the full-screen window over the map window: 1, or 0 when one exists
// already (it is brought to the front instead).
int ScreenTabWndCreate(CMapWnd* owner);
// Takes the window down (the program's end).
void ScreenTabWndDestroy();
void ScreenTabWndStartTick();
void ScreenTabWndStopTick();
void ScreenTabWndOnTimer(uint32_t id);
void ScreenTabWndOnPointerDown(int x, int y);
void ScreenTabWndOnPointerMove(int x, int y);
void ScreenTabWndOnPointerUp(int x, int y);
void ScreenTabWndOnDoubleClick(int x, int y);

// A pointer position as the pointer messages carry it: x in the low 16 bits, y in the high.
constexpr platform::LPARAM MakePointerLParam(int x, int y)
{
    return static_cast<platform::LPARAM>(
        (static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}
