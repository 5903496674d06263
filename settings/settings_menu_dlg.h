#pragma once
// The settings menu (dialog 990 "Settings", a list of 15 entries leading to
// the settings sheets). The menu and its sheets are not built yet: until they
// are, running it opens nothing and asks the pending-window observer
// (app/launcher.h) in its place.
class QWidget;

class CSettingsMenuDlg {
public:
    explicit CSettingsMenuDlg(QWidget* /*parent*/ = nullptr) { }
    int DoModal();
};
