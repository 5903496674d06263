// The address-search page of the search sheet, driven as a user drives it on
// the Voradu map: which street texts search, a street picked and its houses
// listed, a house shown on the map, made the route's start and finish, and
// saved as a waypoint; a Cyrillic name of several words on the compiled
// Ostankino map; and the launcher opening the sheet on the page asked for.
#include "search/page_search_address.h"

#include "app/launcher.h"
#include "search/sheet_search.h"
#include "search/waypoint.h"
#include "search/waypoint_edit_dlg.h"
#include "tests/search/voradu_places.h"
#include "tests/support/modal_answer.h"
#include "tests/ui/ui_testing.h"
#include "ui/message_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Types the text a key at a time, as the soft keyboard sends Cyrillic letters.
void KeyIn(QWidget* field, const QString& text)
{
    for (const QChar letter : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(letter), Qt::NoModifier);
}

class AddressPage : public ::testing::Test {
protected:
    void Open()
    {
        ASSERT_TRUE(sheet.Create());
        ASSERT_TRUE(sheet.SetActivePage(sheet.GetPageIndex(&page)));
    }
    QListWidget* Streets() { return page.GetDlgItemAs<QListWidget>(IDC_ADDR_STREET_LIST); }
    QListWidget* Houses() { return page.GetDlgItemAs<QListWidget>(IDC_ADDR_HOUSE_LIST); }
    void Type(int field, const char* text)
    {
        auto* edit = page.GetDlgItemAs<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        KeyIn(edit, QString::fromUtf8(text));
    }
    // Picks the first row that begins with `text`.
    void Pick(QListWidget* list, const char* text)
    {
        const QString prefix = QString::fromUtf8(text);
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().startsWith(prefix)) {
                list->scrollToItem(list->item(i));
                QTest::mouseClick(
                    list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(i)).center());
                ASSERT_EQ(list->currentRow(), i);
                return;
            }
        }
        FAIL() << "no row begins with " << text;
    }
    // The middle of the box of the house picked in the list.
    ZXS_Point PickedHouseMiddle()
    {
        ZXS_Rect box;
        EXPECT_EQ(
            ZXS_ObjGetRect(map.Map(), Houses()->currentItem()->data(Qt::UserRole).toInt(), -1, -1, &box, 0),
            0);
        return { (box.left + box.right) / 2, (box.top + box.bottom) / 2 };
    }

    search_testing::SearchMap map { "voradu" };
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    platform::ScopedProcessObject<CWaypointList> waypoints { g_waypoints };
    platform::ScopedProcessObject<CMessageWindow> messages { g_messageWnd };
    CSheetSearch sheet { QStringLiteral("Search") };
    CPageSearchAddress& page = sheet.GetAddressPage();
};

TEST_F(AddressPage, WhichStreetTextsSearch)
{
    Open();
    const struct {
        const char* text;
        bool searches;
    } cases[] = {
        { "Бл", false },
        { "Бло", true },
        { "*ло", false },
        { "*лок", true },
        { "", false },
    };
    for (const auto& c : cases) {
        Type(IDC_ADDR_STREET_TEXT, c.text);
        EXPECT_EQ(Streets()->count() > 0, c.searches) << c.text;
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_ADDR_SEARCH), *c.text != 0) << c.text;
        if (!c.searches) {
            EXPECT_EQ(page.GetDlgItemText(IDC_ADDR_STREET_LABEL), QStringLiteral("Object name (street):"));
        }
    }
    // A notification that leaves the text as it was searches nothing again.
    Type(IDC_ADDR_STREET_TEXT, "Бло");
    Streets()->clear();
    page.OnMessage(platform::WM_COMMAND, MAKEWPARAM(IDC_ADDR_STREET_TEXT, EN_CHANGE), 0);
    EXPECT_EQ(Streets()->count(), 0);

    // Search takes a two-letter text; with nothing typed there is nothing to press.
    Type(IDC_ADDR_STREET_TEXT, "Бл");
    ASSERT_TRUE(page.ClickDlgItem(IDC_ADDR_SEARCH));
    EXPECT_GT(Streets()->count(), 0);
    Type(IDC_ADDR_STREET_TEXT, "");
    EXPECT_FALSE(page.ClickDlgItem(IDC_ADDR_SEARCH));
}

TEST_F(AddressPage, AStreetsHousesAndAHouseShownOnTheMap)
{
    Open();
    for (int id : { IDC_ADDR_SHOW, IDC_ADDR_ROUTE_POINT, IDC_ADDR_ADD_WAYPOINT })
        EXPECT_FALSE(page.IsDlgItemEnabled(id)) << id;
    Type(IDC_ADDR_STREET_TEXT, "Блока");
    Pick(Streets(), "Блока");
    // Every house of the street, without a number typed.
    EXPECT_GE(Houses()->count(), 5);
    EXPECT_TRUE(page.IsDlgItemEnabled(IDC_ADDR_SHOW));
    Type(IDC_ADDR_HOUSE_TEXT, "10");
    ASSERT_GE(Houses()->count(), 1);
    EXPECT_TRUE(Houses()->item(0)->text().startsWith(QStringLiteral("Блока")));
    Pick(Houses(), Houses()->item(0)->text().toUtf8().constData());
    const ZXS_Point house = PickedHouseMiddle();

    // A number the street lacks finds nothing.
    Type(IDC_ADDR_HOUSE_TEXT, "999");
    EXPECT_EQ(Houses()->count(), 0);
    EXPECT_EQ(page.GetDlgItemText(IDC_ADDR_HOUSE_LABEL), QStringLiteral("Nothing found"));
    Type(IDC_ADDR_HOUSE_TEXT, "10");
    Pick(Houses(), Houses()->item(0)->text().toUtf8().constData());

    map.Controller().SetCentre(house.x + 50000, house.y + 50000);
    ASSERT_TRUE(page.ClickDlgItem(IDC_ADDR_SHOW));
    EXPECT_EQ(map.Controller().GetCentreX(), house.x);
    EXPECT_EQ(map.Controller().GetCentreY(), house.y);
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(sheet.result(), platform::IDOK);
    // The page keeps what was typed for the next time.
    QString street, number;
    map.Searcher().GetLastInput(street, number);
    EXPECT_EQ(street, QStringLiteral("Блока"));
    EXPECT_EQ(number, QStringLiteral("10"));
}

TEST_F(AddressPage, TwoHousesBecomeTheRouteStartAndFinish)
{
    Open();
    uitest::ScriptedMessageBoxes boxes;
    Type(IDC_ADDR_STREET_TEXT, "Блока");
    Pick(Streets(), "Блока");
    Type(IDC_ADDR_HOUSE_TEXT, "10");
    Pick(Houses(), Houses()->item(0)->text().toUtf8().constData());
    ASSERT_TRUE(page.SelectDlgItem(IDC_ADDR_STATION, 0));
    ASSERT_TRUE(page.ClickDlgItem(IDC_ADDR_ROUTE_POINT));
    // The start alone is no route: the sheet stays, the combo shows the start set.
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_FALSE(map.Controller().GetRouteManager().HasRoute());

    Type(IDC_ADDR_HOUSE_TEXT, "11");
    Pick(Houses(), Houses()->item(0)->text().toUtf8().constData());
    ASSERT_TRUE(page.SelectDlgItem(IDC_ADDR_STATION, 3));
    ASSERT_TRUE(page.ClickDlgItem(IDC_ADDR_ROUTE_POINT));
    EXPECT_TRUE(map.Controller().GetRouteManager().HasRoute());
    EXPECT_FALSE(sheet.IsOpen());
}

TEST_F(AddressPage, AHouseSavedAsAWaypoint)
{
    Open();
    Type(IDC_ADDR_STREET_TEXT, "Блока");
    Pick(Streets(), "Блока");
    Type(IDC_ADDR_HOUSE_TEXT, "10");
    Pick(Houses(), Houses()->item(0)->text().toUtf8().constData());
    const ZXS_Point house = PickedHouseMiddle();
    testing_support::WhenModalOpens([](QWidget* modal) {
        auto* editor = dynamic_cast<CWaypointEditDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->SetDlgItemText(IDC_WPE_NAME, QStringLiteral("Дом"));
        editor->ClickDlgItem(platform::IDOK);
    });
    ASSERT_TRUE(page.ClickDlgItem(IDC_ADDR_ADD_WAYPOINT));
    ASSERT_EQ(g_waypoints->GetWaypointCount(), 1);
    EXPECT_EQ(g_waypoints->GetAt(0)->m_name, QStringLiteral("Дом"));
    CGeoPos expected;
    ASSERT_TRUE(map.Controller().MapPointToGeoPos(house, expected));
    EXPECT_NEAR(g_waypoints->GetAt(0)->m_position.GetLatitude().GetRadians(),
        expected.GetLatitude().GetRadians(), 1e-9);
    EXPECT_TRUE(sheet.IsOpen());
    // The waypoint tab lists it.
    ASSERT_TRUE(sheet.SetActivePage(sheet.GetPageIndex(&sheet.GetWaypointPage())));
    EXPECT_EQ(sheet.GetWaypointPage().GetList()->topLevelItemCount(), 1);
}

TEST(AddressPageOstankino, ACyrillicNameOfSeveralWordsAndItsHouses)
{
    search_testing::SearchMap map("moscow-ostankino");
    ASSERT_TRUE(map.opened);
    uitest::OnScreen screen(240, 320, 96, LANGUAGE_RUSSIAN);
    CSheetSearch sheet(QStringLiteral("Поиск"));
    CPageSearchAddress& page = sheet.GetAddressPage();
    ASSERT_TRUE(sheet.Create());
    ASSERT_TRUE(sheet.SetActivePage(sheet.GetPageIndex(&page)));
    auto* edit = page.GetDlgItemAs<QLineEdit>(IDC_ADDR_STREET_TEXT);
    edit->setFocus();
    KeyIn(edit, QStringLiteral("Академика Королёва"));
    auto* streets = page.GetDlgItemAs<QListWidget>(IDC_ADDR_STREET_LIST);
    ASSERT_GE(streets->count(), 1);
    EXPECT_EQ(streets->item(0)->text(), QStringLiteral("Академика Королёва ул. (Останкино)"));
    ASSERT_TRUE(page.SelectDlgItem(IDC_ADDR_STREET_LIST, 0));
    auto* houses = page.GetDlgItemAs<QListWidget>(IDC_ADDR_HOUSE_LIST);
    ASSERT_GE(houses->count(), 6);
    for (int i = 0; i < houses->count(); ++i)
        EXPECT_TRUE(houses->item(i)->text().startsWith(QStringLiteral("Академика Королёва ул. ")))
            << houses->item(i)->text().toStdString();
    EXPECT_TRUE(page.GetDlgItemText(IDC_ADDR_HOUSE_LABEL).contains(QString::number(houses->count())));
}

TEST(SearchSheetLauncher, OpensOnThePageAskedFor)
{
    search_testing::SearchMap map("voradu");
    uitest::OnScreen screen(240, 320, 96, LANGUAGE_ENGLISH);
    platform::ScopedProcessObject<CWaypointList> waypoints(g_waypoints);
    for (const int page : { SEARCH_PAGE_ADDRESS, SEARCH_PAGE_WAYPOINTS, SEARCH_PAGE_POI }) {
        bool onPage = false;
        QStringList tabs;
        testing_support::WhenModalOpens([&](QWidget* modal) {
            auto* sheet = dynamic_cast<CSheetSearch*>(modal);
            ASSERT_NE(sheet, nullptr);
            onPage = sheet->GetActiveIndex() == page;
            for (int i = 0; i < sheet->GetPageCount(); ++i)
                tabs << sheet->GetTabControl()->TabBar()->tabText(i);
            sheet->OnCancel();
        });
        CLauncher::SearchSheet(page);
        EXPECT_TRUE(onPage) << page;
        EXPECT_EQ(tabs,
            (QStringList { QStringLiteral("Waypoints"), QStringLiteral("POI search"),
                QStringLiteral("Address search") }));
    }
}

} // namespace
