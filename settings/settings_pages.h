#pragma once
// The settings pages of the General, Driving and Map sheets: the settings
// files, the Bluetooth and ActiveSync switches, the map font size, the
// orientation panel and street tool tip, and the spoken turn notifications.
#include "ui/property_page.h"

#include <QString>
#include <array>
#include <cstdint>

class QBoxLayout;
class QGroupBox;

// Control ids of these pages.
enum : int {
    IDD_PAGE_SETTINGS_FILES = 993,
    IDC_FILES_GROUP = 1098,
    IDC_FILES_NEW = 1086,
    IDC_FILES_OPEN = 1087,
    IDC_FILES_SAVE = 1088,
    IDC_FILES_SAVE_AS = 1089,
    IDC_FILES_PATH = 1099,

    IDD_PAGE_BLUETOOTH = 1030,
    IDC_BLUETOOTH_GROUP = 1353,
    IDC_BLUETOOTH_AUTO_ON = 1027,
    IDC_ACTIVESYNC_GROUP = 1372,
    IDC_ACTIVESYNC_OFF = 1130,

    IDD_PAGE_APPEARANCE = 1002,
    IDC_FONT_GROUP = 1347,
    IDC_FONT_LABEL = 1344,
    IDC_FONT_SIZE = 1346,

    IDD_PAGE_GENERAL = 1000,
    IDC_PANEL_GROUP = 1224,
    IDC_PANEL_MODE = 1342,
    IDC_STREET_TOOLTIP = 1130,

    IDD_PAGE_TIPS = 1001,
    IDC_TIPS_FIRST_GROUP = 1228,
    IDC_TIPS_FIRST_ON = 1027,
    IDC_TIPS_FIRST_DISTANCE = 1008,
    IDC_TIPS_FIRST_UNIT = 1227,
    IDC_TIPS_SECOND_GROUP = 1231,
    IDC_TIPS_SECOND_ON = 1028,
    IDC_TIPS_SECOND_DISTANCE = 1009,
    IDC_TIPS_SECOND_UNIT = 1230,
    IDC_TIPS_FINAL_GROUP = 1232,
    IDC_TIPS_FINAL_ON = 1130,
    IDC_TIPS_REPEAT = 1250,
    IDC_TIPS_REPEAT_UNIT = 1249,
};

// The result a sheet ends with when a page asks the menu for more: the GPS
// connection was reset, or the map font size changed.
inline constexpr int kSheetResultFollowUp = 8;

// New, Open..., Save and Save as... on the settings file object. Every button
// acts at once; OK adds nothing.
class CPageSettingsFiles : public CPropertyPage {
public:
    CPageSettingsFiles();
    bool OnInitDialog() override;
    // The current file's path, shown under the buttons.
    QString m_path;

protected:
    void CreateControls() override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;

private:
    void OnNew();
    void OnOpen();
    void OnSave();
    void OnSaveAs();
    void ShowPath();
};

// Bluetooth on at start (takes effect at the next start) and ActiveSync's
// automatic connection off while the program runs (at once). Applied on OK.
class CPageBluetooth : public CPropertyPage {
public:
    CPageBluetooth();
    bool OnInitDialog() override;
    void OnOK() override;
    // Reads the two values again (after another settings file was loaded).
    void Reload();

protected:
    void CreateControls() override;
};

// The map's label font size in percent; OK sets a new size, which needs a
// restart, and ends the sheet with kSheetResultFollowUp.
class CPageAppearance : public CPropertyPage {
public:
    CPageAppearance();
    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls() override;

private:
    // Whether the user chose a size (a stored size that is none of the five
    // shows "175" but is kept unless one is chosen).
    bool m_chosen = false;
};

// The orientation panel's layout and the street tool tip, applied on OK.
class CPageGeneral : public CPropertyPage {
public:
    CPageGeneral();
    bool OnInitDialog() override;
    void OnOK() override;

    int32_t m_toolTip = 0;
    int32_t m_panelMode = 0;

protected:
    void CreateControls() override;
    bool DoDataExchange(bool save) override;
};

// The spoken notifications before a turn, written into the route guidance at
// every change.
class CPageTips : public CPropertyPage {
public:
    static constexpr std::array<int32_t, 19> kDistances { 30, 40, 50, 60, 70, 80, 90, 100, 120, 140, 160, 180,
        200, 250, 300, 350, 400, 450, 500 };

    CPageTips();
    bool OnInitDialog() override;
    bool OnSetActive() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnFirstPromptClicked();
    void OnSecondPromptClicked();
    void OnFinalPromptClicked();
};
