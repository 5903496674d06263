#pragma once
// The handheld shell's full-screen control: the task bar, the input-panel
// button and the start icon. On Linux they are the device screen itself: hiding
// the task bar puts a --fullscreen device screen into full screen, showing it
// brings the screen back to a normal window. The soft input panel is the
// platform's input method. The state is kept for whoever asks.

class QWidget;

namespace platform {

enum : unsigned {
    SHFS_SHOWTASKBAR = 0x0001,
    SHFS_HIDETASKBAR = 0x0002,
    SHFS_SHOWSIPBUTTON = 0x0004,
    SHFS_HIDESIPBUTTON = 0x0008,
    SHFS_SHOWSTARTICON = 0x0010,
    SHFS_HIDESTARTICON = 0x0020,
};

struct ShellState {
    bool taskBarVisible = true;
    bool sipButtonVisible = true;
    bool startIconVisible = true;
    bool inputPanelShown = false;
};

bool SHFullScreen(QWidget* window, unsigned flags);
ShellState GetShellState();

// Shows or hides the soft input panel (the platform's input method).
bool SipShowIM(bool show);

} // namespace platform
