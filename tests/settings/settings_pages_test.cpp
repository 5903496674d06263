// The pages of the General, Driving and Map sheets on the program's objects:
// each loads what is in force, a change takes effect in the running program,
// Cancel changes nothing that waits for OK, OK keeps it.
#include "app/map_set.h"
#include "gps/bluetooth_control.h"
#include "nav/map_controller.h"
#include "platform/registry.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"

#include <QComboBox>
#include <QFile>

using namespace settingstest;

namespace {

// ActiveSync's automatic connection as the program last set it; -1 never set.
int AutoConnect()
{
    platform::RegKey comm;
    uint32_t value = 0;
    if (platform::registry().Open(platform::RegRoot::HKCU, QStringLiteral("ControlPanel\\Comm"), &comm)
            != platform::RegResult::Ok
        || comm.QueryDword(QStringLiteral("AutoCnct"), &value) != platform::RegResult::Ok)
        return -1;
    return int(value);
}

} // namespace

TEST(SettingsFilesPage, SaveAsksWhereWithoutAFileRefusesOtherNamesAndShowsTheFileSaved)
{
    SettingsProgram program;
    program.rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    g_language = LANGUAGE_ENGLISH;
    ASSERT_TRUE(g_settingsFile->GetPath().isEmpty());
    const QString saved = program.LocalPath(QStringLiteral("mine.kns"));
    ScopedFileAnswers files({ program.LocalPath(QStringLiteral("mine.txt")), saved, QString() });
    CSheetGeneral sheet(QStringLiteral("General"), nullptr);
    ASSERT_TRUE(sheet.Create());
    TapTab(sheet, 1);
    CPageSettingsFiles& page = sheet.m_files;
    EXPECT_EQ(page.GetDlgItemText(IDC_FILES_SAVE_AS), QStringLiteral("Save as..."));

    Tap(page, IDC_FILES_SAVE); // no current file: Save asks where
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_FALSE(files.requests[0].open);
    EXPECT_EQ(files.requests[0].fileName, QStringLiteral("\\My Documents\\Travenor Pro settings.kns"));
    ASSERT_EQ(program.rig.boxes.size(), 1u);
    EXPECT_EQ(program.rig.boxes[0].text, QStringLiteral("Can't save the file."));
    EXPECT_TRUE(g_settingsFile->GetPath().isEmpty());
    EXPECT_FALSE(QFile::exists(program.LocalPath(QStringLiteral("mine.txt"))));

    Tap(page, IDC_FILES_SAVE_AS);
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_EQ(g_settingsFile->GetPath(), saved);
    EXPECT_EQ(page.GetDlgItemText(IDC_FILES_PATH), saved) << "the page shows the file saved";
    EXPECT_EQ(files.requests.back().fileName, QStringLiteral("\\My Documents\\Travenor Pro settings.kns"));

    Tap(page, IDC_FILES_SAVE_AS); // cancelled: nothing changes
    EXPECT_EQ(files.requests.back().fileName, saved);
    EXPECT_EQ(g_settingsFile->GetPath(), saved);
    EXPECT_EQ(program.rig.boxes.size(), 1u);
    Tap(sheet, platform::IDCANCEL);
}

TEST(SettingsFilesPage, NewTakesTheDefaultsAndClosesTheSheetAndABadFileChangesNothing)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    const QString bad = program.LocalPath(QStringLiteral("bad.kns"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a settings file");
    }
    ScopedFileAnswers files({ bad });
    CSheetGeneral sheet(QStringLiteral("General"), nullptr);
    ASSERT_TRUE(sheet.Create());
    TapTab(sheet, 1);
    const QByteArray before = SettingsProgram::BodyBytes();
    Tap(sheet.m_files, IDC_FILES_OPEN);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.requests[0].open);
    EXPECT_EQ(files.requests[0].fileName, QStringLiteral("*.kns"));
    ASSERT_EQ(program.rig.boxes.size(), 1u);
    EXPECT_EQ(program.rig.boxes[0].text, QStringLiteral("Can't open the file."));
    EXPECT_EQ(SettingsProgram::BodyBytes(), before);
    EXPECT_TRUE(sheet.isVisible());

    g_MapController->SetAddressDisplay(false);
    g_MapController->GetRouteManager().GetGuide().SetFirstPromptDistance(450);
    Tap(sheet.m_files, IDC_FILES_NEW);
    EXPECT_TRUE(AwaitTrue([&] { return !sheet.isVisible(); }));
    EXPECT_EQ(sheet.result(), platform::IDCANCEL);
    EXPECT_TRUE(g_MapController->IsAddressDisplayOn());
    EXPECT_NE(g_MapController->GetRouteManager().GetGuide().GetFirstPromptDistance(), 450);
}

TEST(BluetoothPage, TheSwitchesApplyOnOkOnlyAndANoDriverValueStays)
{
    SettingsProgram program;
    program.rig.SetProfileInt(QStringLiteral("expert mode"), 0); // the application key exists
    struct Case {
        int32_t autoBluetooth;
        int activeSyncTaps; // taps on "Automatically turn off"
        bool ok;
        int32_t wantAutoBluetooth;
        int32_t wantActiveSyncOff;
        int wantAutoConnect;
    };
    const Case cases[] = {
        { 2, 1, true, 2, 1, 0 }, // no driver: the box is inert, the value stays
        { 0, 2, true, 1, 0, -1 }, // ticked and unticked: the device is not touched
        { 1, 1, false, 1, 0, -1 }, // Cancel: nothing
    };
    for (const Case& c : cases) {
        m_autoBluetooth = c.autoBluetooth;
        g_activeSyncOff = 0;
        platform::registry().DeleteKey(platform::RegRoot::HKCU, QStringLiteral("ControlPanel\\Comm"));
        CSheetGeneral sheet(QStringLiteral("General"), nullptr);
        ASSERT_TRUE(sheet.Create());
        TapTab(sheet, 2);
        CPageBluetooth& page = sheet.m_bluetooth;
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_BLUETOOTH_AUTO_ON), c.autoBluetooth != 2);
        EXPECT_EQ(page.IsDlgButtonChecked(IDC_BLUETOOTH_AUTO_ON), c.autoBluetooth == 1);
        if (c.autoBluetooth == 0)
            Tap(page, IDC_BLUETOOTH_AUTO_ON);
        for (int i = 0; i < c.activeSyncTaps; ++i)
            Tap(page, IDC_ACTIVESYNC_OFF);
        Tap(sheet, c.ok ? platform::IDOK : platform::IDCANCEL);
        EXPECT_EQ(m_autoBluetooth, c.wantAutoBluetooth) << c.autoBluetooth;
        EXPECT_EQ(g_activeSyncOff, c.wantActiveSyncOff) << c.autoBluetooth;
        EXPECT_EQ(AutoConnect(), c.wantAutoConnect) << c.autoBluetooth;
    }
}

// A size the list cannot show stays unless the user picks one; a new size
// ends the sheet with the result that asks the menu for a restart.
TEST(AppearancePage, OkSetsTheChosenFontSizeAndSaysWhenItChanged)
{
    SettingsProgram program;
    const struct {
        int32_t stored;
        int choice; // -1: none
        int32_t want;
        int result;
    } cases[] = {
        { 150, -1, 150, platform::IDOK },
        { 150, 4, 200, kSheetResultFollowUp },
        { 160, -1, 160, platform::IDOK },
        { 160, 0, 100, kSheetResultFollowUp },
    };
    CMapSet& maps = g_MapController->GetMapSet();
    for (const auto& c : cases) {
        maps.SetFontScale(c.stored);
        CSheetMap sheet(QStringLiteral("Appearance"), nullptr);
        ASSERT_TRUE(sheet.Create());
        EXPECT_EQ(sheet.m_appearance.GetDlgItemText(IDC_FONT_SIZE),
            c.stored == 150 ? QStringLiteral("150") : QStringLiteral("175"));
        if (c.choice >= 0) {
            EXPECT_TRUE(sheet.m_appearance.SelectDlgItem(IDC_FONT_SIZE, c.choice));
        }
        Tap(sheet, platform::IDOK);
        EXPECT_EQ(maps.GetFontScale(), c.want) << c.stored << " " << c.choice;
        EXPECT_EQ(sheet.result(), c.result) << c.stored << " " << c.choice;
    }
}

// The orientation panel and the street tool tip wait for OK; the turn
// notifications apply at every change and stay when the sheet is cancelled.
TEST(DrivingSheet, ThePanelWaitsForOkAndTheNotificationsApplyAtOnce)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    CMapController& controller = *g_MapController;
    CRouteGuide& guide = controller.GetRouteManager().GetGuide();
    CManeuverPanel& panel = controller.GetOrientationPanel();
    ASSERT_EQ(panel.ApplyOption(0), 1);
    controller.SetAddressDisplay(true);
    guide.SetFirstPromptOn(1);
    guide.SetFirstPromptDistance(160);
    guide.SetSecondPromptDistance(170); // none of the list's
    guide.SetFinalPromptOn(1);
    guide.SetRepeatCount(2);

    {
        CSheetDriving sheet(QStringLiteral("Driving"), nullptr);
        ASSERT_TRUE(sheet.Create());
        CPageGeneral& general = sheet.m_general;
        EXPECT_EQ(general.GetCurSel(IDC_PANEL_MODE), 0);
        EXPECT_TRUE(general.IsDlgButtonChecked(IDC_STREET_TOOLTIP));
        general.SelectDlgItem(IDC_PANEL_MODE, 2);
        Tap(general, IDC_STREET_TOOLTIP);

        TapTab(sheet, 1);
        CPageTips& tips = sheet.m_tips;
        EXPECT_EQ(tips.GetDlgItemText(IDC_TIPS_FINAL_ON), QStringLiteral("Notify right before turn"));
        EXPECT_EQ(tips.GetCurSel(IDC_TIPS_FIRST_DISTANCE), 10);
        EXPECT_EQ(tips.GetCurSel(IDC_TIPS_SECOND_DISTANCE), -1);
        EXPECT_EQ(tips.GetCurSel(IDC_TIPS_REPEAT), 1);
        EXPECT_TRUE(tips.IsDlgItemEnabled(IDC_TIPS_REPEAT));
        Tap(tips, IDC_TIPS_FINAL_ON);
        EXPECT_EQ(guide.IsFinalPromptOn(), 0);
        EXPECT_FALSE(tips.IsDlgItemEnabled(IDC_TIPS_REPEAT));
        EXPECT_FALSE(tips.IsDlgItemEnabled(IDC_TIPS_REPEAT_UNIT));
        tips.SelectDlgItem(IDC_TIPS_FIRST_DISTANCE, 0);
        tips.SelectDlgItem(IDC_TIPS_SECOND_DISTANCE, 18);
        EXPECT_EQ(guide.GetFirstPromptDistance(), 30);
        EXPECT_EQ(guide.GetSecondPromptDistance(), 500);
        Tap(sheet, platform::IDCANCEL);
    }
    EXPECT_EQ(panel.GetMode(), 1) << "Cancel keeps the panel";
    EXPECT_TRUE(controller.IsAddressDisplayOn());
    EXPECT_EQ(guide.GetFirstPromptDistance(), 30) << "a notification change stays";
    EXPECT_EQ(guide.IsFinalPromptOn(), 0);

    CSheetDriving sheet(QStringLiteral("Driving"), nullptr);
    ASSERT_TRUE(sheet.Create());
    sheet.m_general.SelectDlgItem(IDC_PANEL_MODE, 2);
    Tap(sheet.m_general, IDC_STREET_TOOLTIP);
    Tap(sheet, platform::IDOK);
    EXPECT_EQ(panel.GetMode(), 2);
    EXPECT_EQ(panel.GetOrder(), CManeuverPanel::ORDER_LAST_FIRST);
    EXPECT_FALSE(controller.IsAddressDisplayOn());
}
