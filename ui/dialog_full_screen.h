#pragma once
// A dialog that covers the whole screen, hiding the shell's task bar, input
// panel button and start icon, and that goes back to full screen whenever it
// is activated again after another window covered it.
#include "ui/base_dialog.h"

#include <cstdint>

class CDialogFullScreen : public CBaseDialog {
public:
    explicit CDialogFullScreen(int templateId, QWidget* parent = nullptr);

    // Covers the screen; without `force` nothing happens when the window
    // already has the screen's height.
    void FullScreenOn(bool force);
    // Gives the task bar and the input panel button their room back (only
    // from full screen).
    void FullScreenOff();

    int8_t Mode() const { return m_mode; }

    bool OnInitDialog() override;
    void OnActivate(int state) override;

private:
    // 2: nothing to restore; 1/0: whether the window covered the screen's
    // height when it was deactivated.
    int8_t m_mode = 2;
};
