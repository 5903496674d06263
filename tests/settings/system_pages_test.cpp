// The Language, General (interface mode) and Sound sheets as a user drives
// them: the language and the mode wait for OK, the sound switch acts on the
// device at once and the volume on OK.
#include "app/device_config.h"
#include "platform/registry.h"
#include "platform/sound.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"

#include <QSlider>

using namespace settingstest;

namespace {

QString EntryText(CSettingsMenuDlg& menu, int entry) { return menu.List()->item(entry)->text(); }

// The device's system sound values, as a device that has them keeps them.
void GiveTheDeviceSystemSounds()
{
    platform::RegKey volume, overrides;
    ASSERT_EQ(
        platform::registry().Create(platform::RegRoot::HKCU, QStringLiteral("ControlPanel\\Volume"), &volume),
        platform::RegResult::Ok);
    for (const char* name : { "Volume", "Screen", "Key" })
        ASSERT_EQ(volume.SetDword(QString::fromLatin1(name), 0x20), platform::RegResult::Ok);
    ASSERT_EQ(platform::registry().Create(platform::RegRoot::HKCU,
                  QStringLiteral("ControlPanel\\Notifications\\ShellOverrides"), &overrides),
        platform::RegResult::Ok);
}

} // namespace

TEST(LanguagePage, TheChoiceWaitsForOkAndThenRenamesTheMenu)
{
    SettingsProgram program;
    g_language = LANGUAGE_RUSSIAN;
    CSettingsMenuDlg menu;
    ASSERT_TRUE(menu.Create());
    for (const bool ok : { false, true }) {
        WhenSheetOpens<CSheetLanguage>([ok](CSheetLanguage* sheet) {
            CPageLanguage& page = sheet->m_language;
            EXPECT_EQ(page.GetDlgItemText(IDC_LANGUAGE_GROUP), QStringLiteral("Язык"));
            EXPECT_TRUE(page.IsDlgButtonChecked(IDC_LANGUAGE_RUSSIAN));
            Tap(page, IDC_LANGUAGE_ENGLISH);
            EXPECT_TRUE(page.IsDlgButtonChecked(IDC_LANGUAGE_ENGLISH));
            EXPECT_FALSE(page.IsDlgButtonChecked(IDC_LANGUAGE_RUSSIAN)) << "one of the two only";
            Tap(page, IDC_LANGUAGE_ENGLISH); // a second tap keeps it
            EXPECT_TRUE(page.IsDlgButtonChecked(IDC_LANGUAGE_ENGLISH));
            EXPECT_EQ(g_language, LANGUAGE_RUSSIAN) << "nothing before OK";
            Tap(*sheet, ok ? platform::IDOK : platform::IDCANCEL);
        });
        TapEntry(menu, SETTINGS_LANGUAGE);
        EXPECT_EQ(g_language, ok ? LANGUAGE_ENGLISH : LANGUAGE_RUSSIAN) << ok;
        EXPECT_EQ(EntryText(menu, SETTINGS_SOUND), ok ? QStringLiteral("Sound") : QStringLiteral("Звук"));
    }
    // OK without a tap keeps the language.
    WhenSheetOpens<CSheetLanguage>([](CSheetLanguage* sheet) {
        EXPECT_EQ(sheet->m_language.GetDlgItemText(IDC_LANGUAGE_GROUP), QStringLiteral("Language"));
        Tap(*sheet, platform::IDOK);
    });
    TapEntry(menu, SETTINGS_LANGUAGE);
    EXPECT_EQ(g_language, LANGUAGE_ENGLISH);
}

TEST(ModePage, OnlyOkWithAnotherModeAsksForTheSwitch)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    g_bExpertMode = 1;
    // The page asks the sheet's owner as it asks the main frame.
    class Owner : public QWidget, public platform::MessageTarget {
    public:
        platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM) override
        {
            asked.push_back({ message, int(wParam) });
            return 0;
        }
        std::vector<std::pair<uint32_t, int>> asked;
    } owner;
    struct Case {
        int tap; // 0 none
        bool ok;
        size_t wantAsked;
    };
    for (const Case& c : { Case { IDC_MODE_EXPERT, true, 0 }, Case { IDC_MODE_SIMPLE, false, 0 },
             Case { IDC_MODE_SIMPLE, true, 1 } }) {
        owner.asked.clear();
        CSheetGeneral sheet(QStringLiteral("General"), &owner);
        ASSERT_TRUE(sheet.Create());
        CPageMode& page = sheet.m_mode;
        EXPECT_EQ(page.GetDlgItemText(IDC_MODE_EXPERT), QStringLiteral("Expert"));
        EXPECT_TRUE(page.IsDlgButtonChecked(IDC_MODE_EXPERT));
        Tap(page, c.tap);
        EXPECT_NE(page.IsDlgButtonChecked(IDC_MODE_SIMPLE), page.IsDlgButtonChecked(IDC_MODE_EXPERT));
        Tap(sheet, c.ok ? platform::IDOK : platform::IDCANCEL);
        QCoreApplication::processEvents();
        ASSERT_EQ(owner.asked.size(), c.wantAsked) << c.tap << c.ok;
        if (c.wantAsked) {
            EXPECT_EQ(owner.asked[0].first, platform::WM_APP + 1);
            EXPECT_EQ(owner.asked[0].second, 0);
        }
        EXPECT_EQ(g_bExpertMode, 1) << "the main frame switches, not the page";
    }
}

TEST(SoundPage, TheSwitchActsAtOnceAndTheVolumeOnOk)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    GiveTheDeviceSystemSounds();
    const auto device = [] { return platform::GetDeviceWaveVolume(); };

    // A silent device: the switch is off and the slider idle at 0.
    SetWaveVolume(0);
    {
        CSheetSound sheet(QStringLiteral("Sound"), nullptr);
        ASSERT_TRUE(sheet.Create());
        CPageSound& page = sheet.m_sound;
        EXPECT_EQ(page.GetDlgItemText(IDC_SOUND_LOUD), QStringLiteral("Loud"));
        EXPECT_FALSE(page.IsDlgButtonChecked(IDC_SOUND_ON));
        EXPECT_FALSE(page.IsDlgItemEnabled(IDC_SOUND_VOLUME));
        EXPECT_FALSE(page.IsDlgItemEnabled(IDC_SOUND_SILENT));
        EXPECT_EQ(page.GetDlgItemAs<QSlider>(IDC_SOUND_VOLUME)->value(), 0);
        // Switched on with no volume kept from a switch-off: still heard.
        Tap(page, IDC_SOUND_ON);
        EXPECT_EQ(device(), CPageSound::kAudibleVolume * 0x10001u);
        EXPECT_TRUE(page.IsDlgItemEnabled(IDC_SOUND_VOLUME));
        EXPECT_EQ(page.GetDlgItemAs<QSlider>(IDC_SOUND_VOLUME)->value(), int(CPageSound::kAudibleVolume));
        Tap(sheet, platform::IDCANCEL);
        EXPECT_EQ(device(), CPageSound::kAudibleVolume * 0x10001u) << "the switch stays after Cancel";
    }

    // Off and on again brings back the volume of the switch-off, whatever the slider showed.
    SetWaveVolume(0x3000);
    {
        CSheetSound sheet(QStringLiteral("Sound"), nullptr);
        ASSERT_TRUE(sheet.Create());
        CPageSound& page = sheet.m_sound;
        auto* slider = page.GetDlgItemAs<QSlider>(IDC_SOUND_VOLUME);
        EXPECT_TRUE(page.IsDlgButtonChecked(IDC_SOUND_ON));
        EXPECT_EQ(slider->value(), 0x3000);
        slider->setValue(0x9000);
        Tap(page, IDC_SOUND_ON);
        EXPECT_EQ(device(), 0u);
        EXPECT_EQ(slider->value(), 0);
        EXPECT_FALSE(page.IsDlgItemEnabled(IDC_SOUND_VOLUME));
        Tap(page, IDC_SOUND_ON);
        EXPECT_EQ(device(), 0x30003000u);
        EXPECT_EQ(slider->value(), 0x3000);
        // The slider reaches the device on OK only, on both channels.
        slider->setValue(0x6000);
        EXPECT_EQ(device(), 0x30003000u);
        Tap(sheet, platform::IDOK);
        EXPECT_EQ(device(), 0x60006000u);
    }

    // OK with the sound switched off keeps the device silent.
    {
        CSheetSound sheet(QStringLiteral("Sound"), nullptr);
        ASSERT_TRUE(sheet.Create());
        Tap(sheet.m_sound, IDC_SOUND_ON);
        Tap(sheet, platform::IDOK);
        EXPECT_EQ(device(), 0u);
        EXPECT_FALSE(IsSoundOn());
    }
}
