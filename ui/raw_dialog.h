#pragma once
// A small modal-dialog base of its own, outside the dialog classes of the
// framework: the dialog's window routes its messages to eight virtual handlers.
// The window is frameless and covers the device screen; keys follow the
// platform's dialog manager: Enter and Escape become the commands IDOK and
// IDCANCEL when pressed, every other key arrives as WM_KEYDOWN and WM_KEYUP.
#include "platform/keys.h"
#include "platform/messages.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <memory>

enum : uint32_t {
    WM_PAINT = 0x000F,
    WM_DRAWITEM = 0x002B,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_INITDIALOG = 0x0110,
};

enum : int {
    VK_RETURN = platform::VK_RETURN,
    VK_ESCAPE = platform::VK_ESCAPE,
    VK_LEFT = platform::VK_LEFT,
    VK_UP = platform::VK_UP,
    VK_RIGHT = platform::VK_RIGHT,
    VK_DOWN = platform::VK_DOWN,
};

// What an owner-drawn control asks its dialog to draw.
struct DRAWITEMSTRUCT {
    int CtlID = 0;
    QWidget* hwndItem = nullptr;
    QPainter* hDC = nullptr;
    QRect rcItem; // the control's client area
    QRect clipBox; // the part that needs painting
    bool focused = false;
    bool selected = false; // held down
};

class CRawDialog;
// The one dialog of this kind whose messages are being routed.
extern CRawDialog* g_activeRawDialog;
// Set whenever such a dialog runs; the map's key handling clears it.
extern int g_modalDialogShown;

class CRawDialog : public platform::MessageTarget {
public:
    explicit CRawDialog(uint32_t templateId);
    ~CRawDialog() override;

    // Runs the dialog; its result, or -1 when its template does not exist.
    int DoModal();
    // Opens the dialog without waiting for it (tests; the result is Result()).
    bool Create();
    bool IsOpen() const;
    int Result() const { return m_result; }
    void EndDialog(int result);

    QDialog* GetWindow() const { return m_window.get(); }
    uint32_t GetTemplateId() const { return m_templateId; }
    void MoveWindow(int x, int y, int width, int height, bool repaint);

    virtual platform::LRESULT HandleMessage(
        uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam);
    virtual platform::LRESULT OnCommand(platform::WPARAM wParam, platform::LPARAM lParam);
    virtual platform::LRESULT OnInitDialog(platform::WPARAM wParam, platform::LPARAM lParam);
    virtual platform::LRESULT OnDestroy();
    virtual platform::LRESULT OnPaint();
    virtual platform::LRESULT OnDrawItem(platform::WPARAM wParam, const DRAWITEMSTRUCT* item);
    virtual platform::LRESULT OnKeyDown(int key, platform::LPARAM lParam);
    virtual platform::LRESULT OnKeyUp(int key, platform::LPARAM lParam);

    // Messages for the dialog (timers, posted commands) go through the dialog procedure.
    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;
    // The one procedure of every dialog of this kind.
    static platform::LRESULT DialogProc(
        CRawDialog* dialog, uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam);

    // A key pressed (down) or released in the dialog or one of its controls.
    void RouteKey(QKeyEvent* event, bool down);

private:
    class Window;
    bool Open();
    void Destroyed();

    const uint32_t m_templateId;
    std::unique_ptr<QDialog> m_window; // while the dialog exists
    int m_result = 0;
    bool m_ended = false; // the window is done
};
