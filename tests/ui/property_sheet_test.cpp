#include "ui/property_sheet_full_screen.h"

#include "platform/shell.h"
#include "sample_pages.h"
#include "ui_testing.h"

#include <QTabBar>
#include <gtest/gtest.h>

using namespace sample;

TEST(PropertySheet, PagesLoadWhenOpenedAndStoreOnOk)
{
    uitest::OnScreen screen(240, 320);
    Settings settings;
    SettingsSheet sheet(settings);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.tabTexts, QStringList({ "Карта", "Единицы", "Цвета" }));
    EXPECT_TRUE(sheet.map.IsCreated());
    EXPECT_FALSE(sheet.units.IsCreated()); // built when first shown
    EXPECT_TRUE(sheet.map.IsDlgButtonChecked(IDC_COMPASS));
    EXPECT_EQ(sheet.map.GetDlgItemText(IDC_NAME), QStringLiteral("Автомобиль"));
    EXPECT_EQ(sheet.map.GetDlgItem(IDC_NAME)->objectName(), QStringLiteral("1401"));

    sheet.map.ClickDlgItem(IDC_COMPASS);
    sheet.map.SetDlgItemText(IDC_NAME, QStringLiteral("Грузовик"));
    ASSERT_TRUE(sheet.SetActivePage(2));
    EXPECT_EQ(sheet.GetTabControl()->GetCurSel(), 2);
    // A choice that applies at once, before OK.
    sheet.colours.ClickDlgItem(IDC_NIGHT);
    EXPECT_TRUE(settings.night);
    EXPECT_TRUE(settings.compass);

    ASSERT_TRUE(sheet.ClickDlgItem(platform::IDOK));
    EXPECT_EQ(sheet.result(), platform::IDOK);
    EXPECT_FALSE(settings.compass);
    EXPECT_EQ(settings.name, QStringLiteral("Грузовик"));
    EXPECT_EQ(sheet.map.stored, 1);
    EXPECT_EQ(sheet.units.stored, 0); // never opened, nothing to store
}

TEST(PropertySheet, CancelStoresNothingAndARefusedValueKeepsThePage)
{
    uitest::OnScreen screen(320, 240);
    uitest::ScriptedMessageBoxes boxes;
    Settings settings;
    SettingsSheet sheet(settings);
    ASSERT_TRUE(sheet.Create());
    sheet.map.SetDlgItemText(IDC_NAME, QString());
    // Tapping another tab: the page refuses to be left and keeps its tab.
    sheet.GetTabControl()->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.GetTabControl()->GetCurSel(), 0);
    ASSERT_EQ(boxes.requests.size(), 1u);
    sheet.ClickDlgItem(platform::IDOK);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(boxes.requests.size(), 2u);

    sheet.map.SetDlgItemText(IDC_NAME, QStringLiteral("Другой"));
    sheet.GetTabControl()->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    sheet.units.SelectDlgItem(IDC_UNITS, 1);
    sheet.ClickDlgItem(platform::IDCANCEL);
    EXPECT_EQ(sheet.result(), platform::IDCANCEL);
    EXPECT_EQ(settings.name, QStringLiteral("Автомобиль"));
    EXPECT_EQ(settings.units, 0);
}

TEST(PropertySheetFullScreen, CoversTheScreenButTheMenuBarAndPlacesThePageAboveTheTabs)
{
    uitest::OnScreen screen(240, 320);
    Settings settings;
    SettingsSheet sheet(settings);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.GetWindowRect(), QRect(0, 0, 240, 294));
    EXPECT_TRUE(sheet.IsFullScreen());
    EXPECT_FALSE(platform::GetShellState().taskBarVisible);
    CTabCtrl* tabs = sheet.GetTabControl();
    EXPECT_EQ(tabs->geometry().bottom() + 1, 295);
    const QRect item = tabs->GetItemRect(tabs->GetCurSel());
    EXPECT_EQ(sheet.map.geometry(), QRect(0, 0, 240, item.top() - 3));
    EXPECT_TRUE(sheet.GetCommandBar()->isVisible());
    EXPECT_EQ(sheet.GetCommandBar()->geometry(), QRect(0, 294, 240, 26));

    sheet.FullScreenOff();
    EXPECT_EQ(sheet.GetWindowRect(), QRect(0, 26, 240, 268));
    EXPECT_EQ(tabs->geometry().bottom() + 1, 320 - 51);
    EXPECT_TRUE(platform::GetShellState().taskBarVisible);
    sheet.EnsureFullScreen();
    EXPECT_EQ(sheet.GetWindowRect(), QRect(0, 0, 240, 294));
    sheet.ClickDlgItem(platform::IDCANCEL);
}

TEST(PropertySheetFullScreen, ASinglePageCoversTheClientAreaShiftedUpLeft)
{
    uitest::OnScreen screen(240, 320);
    Settings settings;
    SettingsSheet sheet(settings, 1);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.map.geometry(), QRect(-2, -1, 240, 294));
    sheet.ClickDlgItem(platform::IDCANCEL);
}

TEST(PropertySheetFullScreen, ComesBackInTheStateItWasDeactivatedIn)
{
    uitest::OnScreen screen(240, 320);
    Settings settings;
    SettingsSheet sheet(settings);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.Mode(), 1);
    sheet.OnActivate(WA_ACTIVE);
    EXPECT_EQ(sheet.Mode(), 2);

    // Left in full screen: back in full screen.
    sheet.OnActivate(WA_INACTIVE);
    EXPECT_EQ(sheet.Mode(), 1);
    sheet.MoveWindow(QRect(0, 50, 240, 100)); // another window moved it meanwhile
    sheet.OnActivate(WA_ACTIVE);
    EXPECT_EQ(sheet.GetWindowRect(), QRect(0, 0, 240, 294));

    // Left out of full screen: back out of it.
    sheet.FullScreenOff();
    sheet.OnActivate(WA_INACTIVE);
    EXPECT_EQ(sheet.Mode(), 0);
    sheet.FullScreenOn();
    sheet.OnActivate(WA_ACTIVE);
    EXPECT_EQ(sheet.GetWindowRect(), QRect(0, 26, 240, 268));
    EXPECT_EQ(sheet.Mode(), 2);
    sheet.ClickDlgItem(platform::IDCANCEL);
}

TEST(PropertySheetFullScreen, ClosingAlwaysGivesTheTaskBarBack)
{
    uitest::OnScreen screen(320, 240);
    for (bool viaClose : { false, true }) {
        Settings settings;
        SettingsSheet sheet(settings);
        ASSERT_TRUE(sheet.Create());
        ASSERT_FALSE(platform::GetShellState().taskBarVisible);
        if (viaClose)
            sheet.close();
        else
            sheet.ClickDlgItem(platform::IDOK);
        EXPECT_FALSE(sheet.isVisible());
        EXPECT_TRUE(platform::GetShellState().taskBarVisible) << viaClose;
        EXPECT_EQ(sheet.result(), viaClose ? platform::IDCANCEL : platform::IDOK);
    }
}

TEST(PropertySheet, ARemovedPageGoesBackToItsOwner)
{
    uitest::OnScreen screen(240, 320);
    Settings settings;
    // Removed from an open sheet (its controls built) and from one never opened:
    // either way the page outlives the sheet, and the sheet must neither destroy
    // it with its own widgets nor be called by it afterwards.
    for (const bool opened : { true, false }) {
        SCOPED_TRACE(opened);
        UnitsPage extra(settings);
        {
            SettingsSheet sheet(settings, 1);
            sheet.AddPage(&extra);
            if (opened) {
                ASSERT_TRUE(sheet.Create());
                ASSERT_TRUE(sheet.SetActivePage(1));
            }
            sheet.RemovePage(&extra);
            EXPECT_EQ(sheet.GetPageCount(), 1);
            EXPECT_EQ(extra.GetSheet(), nullptr);
            EXPECT_FALSE(extra.isVisible());
        }
        EXPECT_EQ(extra.parentWidget(), nullptr);
    }
}

TEST(PropertySheet, APageChosenBeforeTheSheetOpensIsTheOneItOpensWith)
{
    uitest::OnScreen screen(240, 320);
    Settings settings;
    SettingsSheet sheet(settings);
    EXPECT_TRUE(sheet.SetActivePage(2));
    EXPECT_FALSE(sheet.SetActivePage(3));
    EXPECT_FALSE(sheet.colours.IsCreated());
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_EQ(sheet.GetTabControl()->GetCurSel(), 2);
    EXPECT_TRUE(sheet.colours.IsCreated());
}

TEST(PropertySheetFullScreen, FullScreenAskedForBeforeTheSheetIsBuilt)
{
    uitest::OnScreen screen(240, 320);
    Settings settings;
    SettingsSheet sheet(settings);
    sheet.EnsureFullScreen();
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.GetWindowRect(), QRect(0, 0, 240, 294));
    CTabCtrl* tabs = sheet.GetTabControl();
    EXPECT_EQ(tabs->geometry().bottom() + 1, 295);
    const QRect item = tabs->GetItemRect(tabs->GetCurSel());
    EXPECT_EQ(sheet.map.geometry(), QRect(0, 0, 240, item.top() - 3));
    EXPECT_EQ(sheet.GetCommandBar()->geometry(), QRect(0, 294, 240, 26));
}
