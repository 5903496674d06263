// The settings menu and its sheets driven as a user does: taps on the menu's
// entries, the sheets' tabs, buttons and boxes, choices in the lists.
#include "app/map_set.h"
#include "controls/command_registry.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/draw_suspender.h"
#include "foundation/language.h"
#include "gps/gps_source.h"
#include "platform/file_dialog.h"
#include "platform/registry.h"
#include "platform/system_programs.h"
#include "settings/settings_menu_dlg.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/modal_answer.h"

#include <QFile>
#include <QListWidget>
#include <QTabBar>
#include <QTest>

using namespace settingstest;

namespace {

// The menu's entry texts in list order.
QStringList EntryTexts(const CSettingsMenuDlg& menu)
{
    QStringList texts;
    for (int row = 0; row < menu.List()->count(); ++row)
        texts << menu.List()->item(row)->text();
    return texts;
}

} // namespace

TEST(SettingsMenu, TheSettingsCommandOpensTheMenuAndItsEntriesRunAsTapped)
{
    SettingsProgram program;
    g_CommandRegistry->Init();
    g_language = LANGUAGE_ENGLISH;
    MenuPictures pictures;
    ASSERT_TRUE(pictures.loaded);
    QStringList texts;
    bool iconsLoaded = true;
    bool drawingHeld = false;
    testing_support::WhenModalOpens([&](QWidget* window) {
        auto* menu = dynamic_cast<CSettingsMenuDlg*>(window);
        ASSERT_NE(menu, nullptr);
        texts = EntryTexts(*menu);
        for (int row = 0; row < menu->List()->count(); ++row)
            iconsLoaded = iconsLoaded && !menu->List()->item(row)->icon().isNull();
        drawingHeld = g_drawSuspender.IsSuspended() && !g_MapController->IsMapScreenActive();
        TapEntry(*menu, SETTINGS_EXIT);
    });
    ExecuteCommand(CMD_SETTINGS);
    EXPECT_EQ(texts,
        QStringList({ "Language", "General", "GPS", "Sound", "Traffic & Blocks", "Driving", "Appearance",
            "Route", "Toolbars", "Hardware buttons", "Transparent buttons", "Power", "Backlight",
            "Information", "Exit" }));
    EXPECT_TRUE(iconsLoaded);
    EXPECT_TRUE(drawingHeld) << "the map is not drawn under the menu";
    EXPECT_FALSE(g_drawSuspender.IsSuspended());
    EXPECT_TRUE(g_MapController->IsMapScreenActive());
}

// Another settings file opened from the General sheet is in force as it was
// written: the sheet closes, so the Bluetooth page, visited before with the
// old values, cannot write them back; the menu follows the file's language.
TEST(SettingsMenu, ASettingsFileOpenedOnTheGeneralSheetIsNotUndoneByItsOtherPages)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    g_activeSyncOff = 0;
    const QString english = program.LocalPath(QStringLiteral("english.kns"));
    ASSERT_TRUE(g_settingsFile->SaveAs(english));
    g_language = LANGUAGE_RUSSIAN;
    g_activeSyncOff = 1;
    ScopedFileAnswers files({ english });

    CSettingsMenuDlg menu;
    ASSERT_TRUE(menu.Create());
    EXPECT_EQ(EntryTexts(menu)[SETTINGS_GENERAL], QStringLiteral("Общие"));
    int sheetResult = -1;
    WhenSheetOpens<CSheetGeneral>([&](CSheetGeneral* sheet) {
        TapTab(*sheet, 2);
        EXPECT_TRUE(sheet->m_bluetooth.IsDlgButtonChecked(IDC_ACTIVESYNC_OFF));
        TapTab(*sheet, 1);
        Tap(sheet->m_files, IDC_FILES_OPEN);
        // The sheet closes itself once the tap's handler has returned.
        QCoreApplication::processEvents();
        if (sheet->isVisible())
            Tap(*sheet, platform::IDOK);
        sheetResult = sheet->result();
    });
    TapEntry(menu, SETTINGS_GENERAL);
    EXPECT_EQ(sheetResult, platform::IDCANCEL);
    EXPECT_EQ(g_activeSyncOff, 0);
    EXPECT_EQ(g_language, LANGUAGE_ENGLISH);
    EXPECT_EQ(g_settingsFile->GetPath(), english);
    EXPECT_EQ(EntryTexts(menu)[SETTINGS_GENERAL], QStringLiteral("General"));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(program.rig.boxes.empty());
}

// The map font size needs a restart: the menu asks, and No keeps the program
// and the menu with the new size stored for the next start.
TEST(SettingsMenu, AChangedMapFontAsksForARestartAndNoKeepsTheMenu)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    CMapSet& maps = g_MapController->GetMapSet();
    maps.SetFontScale(150);
    std::vector<platform::MessageBoxRequest> asked;
    platform::SetMessageBoxAnswerer([&](const platform::MessageBoxRequest& request) {
        asked.push_back(request);
        return platform::IDNO;
    });
    CSettingsMenuDlg menu;
    ASSERT_TRUE(menu.Create());

    for (const int choice : { -1, 4 }) {
        WhenSheetOpens<CSheetMap>([&](CSheetMap* sheet) {
            if (choice >= 0) {
                EXPECT_TRUE(sheet->m_appearance.SelectDlgItem(IDC_FONT_SIZE, choice));
            }
            Tap(*sheet, platform::IDOK);
        });
        TapEntry(menu, SETTINGS_APPEARANCE);
        if (choice < 0) {
            EXPECT_TRUE(asked.empty()) << "the same size needs no restart";
            EXPECT_EQ(maps.GetFontScale(), 150);
        }
    }
    EXPECT_EQ(maps.GetFontScale(), 200);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].type & platform::MB_TYPEMASK, platform::MB_YESNO);
    EXPECT_FALSE(asked[0].text.contains(QLatin1Char('\t')));
    EXPECT_TRUE(asked[0].text.contains(QStringLiteral("Close Travenor Pro?"))) << asked[0].text.toStdString();
    EXPECT_TRUE(menu.isVisible());
}

// The device's applets are programs the user points at; the backlight falls
// back to the control panel's page, the power settings to nothing.
TEST(SettingsMenu, PowerAndBacklightStartTheProgramsSetForThem)
{
    SettingsProgram program;
    const QString record = program.LocalPath(QStringLiteral("applets.txt"));
    // Each "program" writes its name and arguments into the record.
    const QString script = program.LocalPath(QStringLiteral("applet.sh"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("name=$1; shift; echo \"$name $*\" >> \"%1\"\n").arg(record).toUtf8());
    }
    const auto setProgram = [&](const QString& name) {
        platform::RegKey key;
        ASSERT_EQ(platform::registry().Create(
                      platform::RegRoot::HKLM, QString::fromUtf16(platform::kSystemProgramsKey), &key),
            platform::RegResult::Ok);
        key.SetString(name, QStringLiteral("/bin/sh \"%1\" %2").arg(script, name));
    };
    const auto recorded = [&](int lines) {
        QStringList got;
        AwaitTrue([&] {
            QFile file(record);
            got = file.open(QIODevice::ReadOnly)
                ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                : QStringList();
            return got.size() >= lines;
        });
        return got;
    };
    CSettingsMenuDlg menu;
    ASSERT_TRUE(menu.Create());

    TapEntry(menu, SETTINGS_POWER); // no power program: nothing, and nothing said
    setProgram(QStringLiteral("ctlpnl.exe"));
    TapEntry(menu, SETTINGS_BACKLIGHT);
    EXPECT_EQ(recorded(1), QStringList({ "ctlpnl.exe cplmain.cpl,6" }));
    setProgram(QStringLiteral("Backlight.exe"));
    setProgram(QStringLiteral("Power.exe"));
    TapEntry(menu, SETTINGS_BACKLIGHT);
    EXPECT_EQ(recorded(2).value(1), QStringLiteral("Backlight.exe "));
    TapEntry(menu, SETTINGS_POWER);
    EXPECT_EQ(recorded(3).value(2), QStringLiteral("Power.exe "));
    EXPECT_TRUE(program.rig.boxes.empty());
    EXPECT_TRUE(menu.isVisible());
}

// "Reset connection" on the GPS page opens the receiver again and takes the
// user back to the map.
TEST(SettingsMenu, AResetGpsConnectionClosesTheMenu)
{
    SettingsProgram program;
    g_deviceModel = 2; // a model: "Reset connection" is live
    CSettingsMenuDlg menu;
    ASSERT_TRUE(menu.Create());
    WhenSheetOpens<CSheetGps>([](CSheetGps* sheet) { Tap(sheet->m_settings, IDC_GPS_RESET); });
    TapEntry(menu, SETTINGS_GPS);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(g_gpsSourceNumber, 8);
    g_gpsSource->Close();
}
