// The hardware buttons page as a user taps it: a button, then a command,
// which the key map then holds for that button; the lists' column sort
// cycles through three states and is kept for the next opening.
#include "controls/command_registry.h"
#include "controls/hard_key_map.h"
#include "platform/keys.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"

#include <QHeaderView>
#include <QTreeWidget>

using namespace settingstest;

namespace {

void TapRow(QTreeWidget* list, QTreeWidgetItem* row)
{
    ASSERT_NE(row, nullptr);
    list->scrollToItem(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
}

void TapHeader(QTreeWidget* list, int column)
{
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
        QPoint(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

std::vector<int> Order(QTreeWidget* list)
{
    std::vector<int> data;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        data.push_back(RowData(list->topLevelItem(i)));
    return data;
}

} // namespace

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
        const std::vector<int> inserted = Order(keys);
        TapHeader(keys, 0);
        sortedByName = Order(keys);
        EXPECT_NE(sortedByName, inserted);
        for (size_t i = 1; i < sortedByName.size(); ++i)
            EXPECT_LE(QString::compare(
                          keys->topLevelItem(int(i - 1))->text(0), keys->topLevelItem(int(i))->text(0)),
                0);
        TapHeader(keys, 0);
        std::vector<int> reversed(sortedByName.rbegin(), sortedByName.rend());
        EXPECT_EQ(Order(keys), reversed);
        TapHeader(keys, 0);
        EXPECT_EQ(Order(keys), inserted) << "the third tap: unsorted";
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
    EXPECT_EQ(Order(sheet.m_buttons.Keys()), sortedByName);
    const QTreeWidget* commands = sheet.m_buttons.Commands();
    EXPECT_LE(QString::compare(commands->topLevelItem(0)->text(0), commands->topLevelItem(1)->text(0)), 0);
    Tap(sheet, platform::IDCANCEL);
}
