#pragma once
// The frame's one child, the map view window. It draws nothing (the draw
// thread does), but it runs the whole visible start-up on its first paint,
// switches full screen on and off with the focus, pauses and resumes the
// drawing and the 250 ms tick, and routes the hardware keys.
#include "app/screen_tab_wnd.h"
#include "platform/messages.h"

#include <QRect>
#include <memory>

class CDrawThread;
class CMainFrame;

class CMapWnd : public platform::MessageTarget {
public:
    CMapWnd();
    ~CMapWnd() override;
    CMapWnd(const CMapWnd&) = delete;
    CMapWnd& operator=(const CMapWnd&) = delete;

    // WM_CREATE: the frame learns its map window and the hardware keys are taken.
    bool Create(CMainFrame& frame);

    // The application's main frame, or none.
    static CMainFrame* GetMainFrame();

    void SetFullScreen(bool on, int width, int height);
    bool IsFullScreen() const { return m_fullScreen; }
    // Message 0x2805 and the window's destruction.
    void LeaveFullScreen();

    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;

    void OnPaint();
    void OnSetFocus();
    void OnKillFocus();
    void OnKeyDown(int key);
    void OnKeyUp(int key);
    void OnDestroy();

    bool IsFirstPaintPending() const { return m_bFirstPaint != 0; }
    CDrawThread* GetDrawThread() const { return m_pDrawThread.get(); }
    int32_t m_bLeaveFullScreenOnKillFocus = 0;

private:
    // The start-up of the map screen, run once on the first paint.
    void RunFirstPaint();

    int32_t m_bFirstPaint = 1;
    std::unique_ptr<CDrawThread> m_pDrawThread;
    CScreenTabWnd m_screenTab;
    CMainFrame* m_frame = nullptr;
    QRect m_rcView;
    QRect m_rcFrame;
    bool m_fullScreen = false;
    bool m_destroyed = false;
};
