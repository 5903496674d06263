#pragma once
// The settings menu (dialog 990 "Settings"): a full-screen list of 15 large
// icons, one per settings area. Tapping one opens that area's property sheet,
// starts the device's power or backlight settings, or closes the menu. While
// the menu is open the map is not drawn.
#include "ui/dialog.h"

#include <QString>

class QListWidget;

enum : int {
    IDD_SETTINGS_MENU = 990,
    IDC_SETTINGS_MENU_LIST = 1052,
};

// The menu's entries; an entry's id is its place in the list.
enum SettingsMenuEntry : int {
    SETTINGS_LANGUAGE = 0,
    SETTINGS_GENERAL = 1,
    SETTINGS_GPS = 2,
    SETTINGS_SOUND = 3,
    SETTINGS_TRAFFIC = 4,
    SETTINGS_DRIVING = 5,
    SETTINGS_APPEARANCE = 6,
    SETTINGS_ROUTE = 7,
    SETTINGS_TOOLBARS = 8,
    SETTINGS_HARDWARE_BUTTONS = 9,
    SETTINGS_TRANSPARENT_BUTTONS = 10,
    SETTINGS_POWER = 11,
    SETTINGS_BACKLIGHT = 12,
    SETTINGS_INFORMATION = 13,
    SETTINGS_EXIT = 14,
    SETTINGS_ENTRY_COUNT = 15,
};

// An entry's name in the interface language.
QString SettingsEntryName(int entry);

class CSettingsMenuDlg : public CDialog {
public:
    explicit CSettingsMenuDlg(QWidget* parent = nullptr);
    ~CSettingsMenuDlg() override;

    bool OnInitDialog() override;
    // Every entry's name in the interface language (also on WM_APP+1).
    void UpdateTexts();
    // Runs an entry as a tap on it does.
    void RunEntry(int entry);
    QListWidget* List() const;

    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    void CreateControls(QWidget* body) override;
    void OnWindowMoved() override;

private:
    void LoadIcons();
    void FitToScreen();
    // Runs the sheet of an entry and answers what its end asks of the menu.
    void RunSheet(int entry);
};
