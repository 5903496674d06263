#pragma once
// The pages that switch program-wide choices: the interface language, the
// simple or expert interface mode, and the device's sound.
#include "ui/property_page.h"

#include <cstdint>

enum : int {
    IDD_PAGE_LANGUAGE = 992,
    IDC_LANGUAGE_GROUP = 1032,
    IDC_LANGUAGE_RUSSIAN = 1019,
    IDC_LANGUAGE_ENGLISH = 1020,

    IDD_PAGE_MODE = 102,
    IDC_MODE_GROUP = 1033,
    IDC_MODE_SIMPLE = 1022,
    IDC_MODE_EXPERT = 1023,

    IDD_PAGE_SOUND = 997,
    IDC_SOUND_GROUP = 1239,
    IDC_SOUND_ON = 1238,
    IDC_SOUND_VOLUME = 1237,
    IDC_SOUND_SILENT = 1240,
    IDC_SOUND_LOUD = 1241,
};

// The interface language, taken on OK.
class CPageLanguage : public CPropertyPage {
public:
    CPageLanguage();
    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;
};

// Simple or expert; OK with another mode asks the main frame to switch (and
// the settings menu to rename its entries).
class CPageMode : public CPropertyPage {
public:
    CPageMode();
    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;
};

// The wave volume (taken on OK) and the system sounds' switch (at once).
class CPageSound : public CPropertyPage {
public:
    // The volume a switched-on sound gets when none was kept at the switch-off.
    static constexpr uint32_t kAudibleVolume = 0x8000;

    CPageSound();
    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnSoundClicked();
    void EnableVolume(bool on);
};
