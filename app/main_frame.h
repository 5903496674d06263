#pragma once
// The program's frame: the target of its own window messages (go to the
// background, come to the front, rebuild the route, close the route wizard,
// apply the interface mode, help) and the owner of the map window. It draws
// nothing itself: the device screen shows what the draw thread copies there.
//
// The device screen is the program's one window. The frame takes its events
// and hands them on as the handheld's window messages: activation and
// deactivation as the focus, keys as the device's key codes to the map window,
// the stylus to the full-screen window, and the window's close button as the
// user's own close (settings saved).
#include "platform/messages.h"

#include <QObject>
#include <memory>

class CMapWnd;
namespace platform {
class DeviceScreen;
}

class CMainFrame : public QObject, public platform::MessageTarget {
public:
    explicit CMainFrame(platform::DeviceScreen& screen);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Creates the map window and starts taking the device screen's events;
    // the screen then gets its first paint. False when the map window failed.
    bool Create();
    bool IsCreated() const { return m_created; }
    bool IsDestroyed() const { return m_destroyed; }

    CMapWnd* GetMapWnd() const { return m_pMapWnd; }
    void SetMapWnd(CMapWnd* window) { m_pMapWnd = window; }
    platform::DeviceScreen& Screen() const { return m_screen; }
    // The screen size taken when the frame was made.
    int ScreenWidth() const { return m_cxScreen; }
    int ScreenHeight() const { return m_cyScreen; }

    void BringToForeground();

    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;

    void OnSetFocus();
    void OnClose();
    void OnSize(int width, int height);
    platform::LRESULT OnBackground();
    platform::LRESULT OnForeground();
    platform::LRESULT OnHelp();
    // Marks drawing idle and takes the windows down; the message loop then ends.
    void DestroyWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::DeviceScreen& m_screen;
    std::unique_ptr<CMapWnd> m_wndView;
    CMapWnd* m_pMapWnd = nullptr;
    int m_cyScreen;
    int m_cxScreen;
    bool m_created = false;
    bool m_destroyed = false;
    bool m_suspendedForBackground = false;
};
