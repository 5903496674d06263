// The hardware buttons page as a user taps it: a button, then a command,
// which the key map then holds for that button and the map screen runs; the
// lists' column sort cycles through three states and is kept for the next
// opening.
#include "app/main_frame.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "controls/command_registry.h"
#include "controls/hard_key_map.h"
#include "platform/keys.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/app/app_rig.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/modal_answer.h"

#include <QHeaderView>
#include <QTreeWidget>

using namespace settingstest;

TEST(HardwareButtonsPage, AButtonTakesTheCommandPickedForIt)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    g_listStates = {};
    const int slot = CHardKeyMap::SlotOfKey(platform::VK_APP3);
    ASSERT_GE(slot, 0);
    ASSERT_TRUE(g_HardKeyMap->SetCommand(uint32_t(slot), CMD_ZOOM_IN));
    const int32_t before = g_HardKeyMap->GetCommand(0);

    CSheetHardwareButtons sheet(QStringLiteral("Hardware buttons"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageHardwareButtons& page = sheet.m_buttons;
    QTreeWidget* keys = page.Keys();
    QTreeWidget* commands = page.Commands();
    ASSERT_EQ(keys->topLevelItemCount(), 10);
    ASSERT_EQ(commands->topLevelItemCount(), 47);
    EXPECT_EQ(keys->headerItem()->text(1), QStringLiteral("Assignment"));

    // A command picked before a button only shows as picked.
    TapRow(commands, FindRowByData(commands, CMD_SETTINGS));
    EXPECT_EQ(g_HardKeyMap->GetCommand(0), before);
    EXPECT_TRUE(FindRowByData(commands, CMD_SETTINGS)->isSelected());

    TapRow(keys, FindRowByData(keys, slot));
    EXPECT_TRUE(FindRowByData(commands, CMD_ZOOM_IN)->isSelected()) << "the button's command shows";
    TapRow(commands, FindRowByData(commands, CMD_GPS_TRACKING));
    EXPECT_EQ(g_HardKeyMap->GetCommand(uint32_t(slot)), int32_t(CMD_GPS_TRACKING)) << "at once";
    EXPECT_EQ(FindRowByData(keys, slot)->text(1), g_CommandRegistry->GetNameEn(CMD_GPS_TRACKING));
    Tap(sheet, platform::IDCANCEL);
    EXPECT_EQ(g_HardKeyMap->GetCommand(uint32_t(slot)), int32_t(CMD_GPS_TRACKING)) << "Cancel keeps it";
}

TEST(HardwareButtonsPage, HeaderTapsCycleTheSortAndTheNextOpeningKeepsIt)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    g_listStates = {};
    std::vector<int> sortedByName;
    {
        CSheetHardwareButtons sheet(QStringLiteral("Hardware buttons"), nullptr);
        ASSERT_TRUE(sheet.Create());
        QTreeWidget* keys = sheet.m_buttons.Keys();
        const std::vector<int> inserted = RowOrder(keys);
        TapHeader(keys, 0);
        sortedByName = RowOrder(keys);
        EXPECT_NE(sortedByName, inserted);
        for (size_t i = 1; i < sortedByName.size(); ++i)
            EXPECT_LE(QString::compare(
                          keys->topLevelItem(int(i - 1))->text(0), keys->topLevelItem(int(i))->text(0)),
                0);
        TapHeader(keys, 0);
        std::vector<int> reversed(sortedByName.rbegin(), sortedByName.rend());
        EXPECT_EQ(RowOrder(keys), reversed);
        TapHeader(keys, 0);
        EXPECT_EQ(RowOrder(keys), inserted) << "the third tap: unsorted";
        EXPECT_EQ(g_listStates[LIST_HARD_KEYS].column, -1);
        TapHeader(keys, 0);
        EXPECT_EQ(g_listStates[LIST_HARD_KEYS].column, 0);
        EXPECT_EQ(g_listStates[LIST_HARD_KEYS].state, 1);
        TapHeader(sheet.m_buttons.Commands(), 0);
        EXPECT_EQ(g_listStates[LIST_HARD_KEY_COMMANDS].state, 1);
        Tap(sheet, platform::IDCANCEL);
    }
    CSheetHardwareButtons sheet(QStringLiteral("Hardware buttons"), nullptr);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(RowOrder(sheet.m_buttons.Keys()), sortedByName);
    const QTreeWidget* commands = sheet.m_buttons.Commands();
    EXPECT_LE(QString::compare(commands->topLevelItem(0)->text(0), commands->topLevelItem(1)->text(0)), 0);
    Tap(sheet, platform::IDCANCEL);
}

// In the running program: the Settings command, the Hardware buttons entry,
// a button and a command tapped, the menu left; the button pressed on the
// map screen then runs the command picked for it.
TEST(HardwareButtonsPage, AButtonSetOnThePageRunsItsCommandOnTheMapScreen)
{
    apptest::AppRig rig;
    rig.SetRunBefore();
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    g_language = LANGUAGE_ENGLISH;
    g_listStates = {};
    const int slot = CHardKeyMap::SlotOfKey(platform::VirtualKeyFromQt(Qt::Key_F1));
    ASSERT_GE(slot, 0);
    bool picked = false;
    apptest::RunProgram([&] {
        QWidget* screen = theApp->GetDeviceScreen();
        ASSERT_TRUE(g_HardKeyMap->SetCommand(uint32_t(slot), CMD_ZOOM_IN));
        ASSERT_FALSE(g_MapController->IsFollowGps());
        testing_support::WhenModalOpens([&](QWidget* window) {
            auto* menu = dynamic_cast<CSettingsMenuDlg*>(window);
            ASSERT_NE(menu, nullptr);
            WhenSheetOpens<CSheetHardwareButtons>([&](CSheetHardwareButtons* sheet) {
                CPageHardwareButtons& page = sheet->m_buttons;
                TapRow(page.Keys(), FindRowByData(page.Keys(), slot));
                TapRow(page.Commands(), FindRowByData(page.Commands(), CMD_GPS_TRACKING));
                picked = g_HardKeyMap->GetCommand(uint32_t(slot)) == int32_t(CMD_GPS_TRACKING);
                Tap(*sheet, platform::IDOK);
            });
            TapEntry(*menu, SETTINGS_HARDWARE_BUTTONS);
            TapEntry(*menu, SETTINGS_EXIT);
        });
        ExecuteCommand(CMD_SETTINGS);
        QTest::keyClick(screen, Qt::Key_F1);
        EXPECT_TRUE(g_MapController->IsFollowGps()) << "the key follows the GPS now";
        QTest::keyClick(screen, Qt::Key_F1);
        EXPECT_FALSE(g_MapController->IsFollowGps());
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
    });
    EXPECT_TRUE(picked);
}
