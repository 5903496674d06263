#pragma once
// The base of every property sheet of the program: it covers the screen but for
// the menu bar at the bottom, lays out its tabs and page for that size, gives
// the task bar back when it closes, and across deactivation and reactivation
// comes back in the state it had.
#include "ui/property_sheet.h"

#include <cstdint>

class CPropertySheetFullScreen : public CPropertySheet {
public:
    explicit CPropertySheetFullScreen(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);

    void FullScreenOn();
    void FullScreenOff();
    // Full screen again unless the sheet is in full screen already.
    void EnsureFullScreen();
    bool IsFullScreen() const { return m_fullScreen; }
    int8_t Mode() const { return m_mode; }

    bool OnInitDialog() override;
    void OnActivate(int state) override;
    // WM_CLOSE: the task bar comes back, then the sheet closes as cancelled.
    void OnClose();
    void done(int result) override;

protected:
    // Sets the tab captions by language; run once while the sheet opens.
    virtual void InitTabTexts();
    // Places the tab control and the active page for the window's size.
    virtual void AdjustLayout(bool fullScreen);
    void closeEvent(QCloseEvent* event) override;

    CCommandBar& CommandBar() { return *GetCommandBar(); }

private:
    // 2: keep; 1: turn full screen on at the next activation; 0: turn it off.
    int8_t m_mode = 2;
    // Whether FullScreenOn or FullScreenOff placed the sheet last. The window's
    // height cannot tell: full screen leaves the menu bar's height free.
    bool m_fullScreen = false;
    bool m_closing = false;
};
