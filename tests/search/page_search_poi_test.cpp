// The POI page of the search sheet, driven as a user drives it on the Voradu
// map: the places and sizes it offers, a search around the screen centre whose
// results stream into the list in the order the user sorted it, a found POI
// shown on the map and made the route's finish, and the map's pointed place
// searched at once when the sheet is opened from the map.
#include "search/page_search_poi.h"

#include "app/launcher.h"
#include "nav/route_manager.h"
#include "search/poi_query.h"
#include "search/sheet_search.h"
#include "search/waypoint.h"
#include "tests/search/voradu_places.h"
#include "tests/support/modal_answer.h"
#include "tests/ui/ui_testing.h"
#include "ui/message_window.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

constexpr int32_t kUnset = 0x8000000;

void TapHeader(QTreeWidget* list, int column)
{
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
        QPoint(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

void TapRow(QTreeWidget* list, int row)
{
    QTreeWidgetItem* item = list->topLevelItem(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Picks the combo entry with that text, as a tap on the open list does.
void Choose(CPageSearchPOI& page, int combo, const QString& text)
{
    auto* box = page.GetDlgItemAs<QComboBox>(combo);
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    ASSERT_TRUE(page.SelectDlgItem(combo, index));
}

QStringList Texts(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

class PoiPage : public ::testing::Test {
protected:
    void Open()
    {
        ASSERT_TRUE(map.opened);
        ASSERT_TRUE(sheet.Create());
        ASSERT_TRUE(sheet.SetActivePage(sheet.GetPageIndex(&page)));
    }
    QTreeWidget* List() { return page.GetList(); }
    QComboBox* Combo(int id) { return page.GetDlgItemAs<QComboBox>(id); }
    // Lets the worker's notices in until the search has ended.
    bool WaitForEnd()
    {
        return QTest::qWaitFor([&] { return page.GetSearchState() == CPageSearchPOI::STATE_IDLE; }, 60000);
    }
    // The list's rows as their result numbers.
    std::vector<int> Rows()
    {
        std::vector<int> rows;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            rows.push_back(RowData(List()->topLevelItem(i)));
        return rows;
    }
    std::vector<QString> Column(int column)
    {
        std::vector<QString> texts;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            texts.push_back(List()->topLevelItem(i)->text(column));
        return texts;
    }

    search_testing::SearchMap map { "voradu" };
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    platform::ScopedProcessObject<CWaypointList> waypoints { g_waypoints };
    platform::ScopedProcessObject<CMessageWindow> messages { g_messageWnd };
    CSheetSearch sheet { QStringLiteral("Search") };
    CPageSearchPOI& page = sheet.GetPoiPage();
};

TEST_F(PoiPage, PlacesAndSizesOnOffer)
{
    ASSERT_TRUE(map.opened);
    CWaypoint mark;
    mark.m_name = QStringLiteral("Дача");
    mark.m_position = search_testing::HousePosition(map, "Блока", "10");
    ASSERT_GE(g_waypoints->Add(mark), 0);
    Open();
    // No route, nothing pointed: the three places and the waypoint.
    EXPECT_EQ(Texts(Combo(IDC_POI_PLACE)),
        (QStringList { QStringLiteral("Screen centre"), QStringLiteral("Current position"),
            QStringLiteral("All screen"), QStringLiteral("Дача") }));
    EXPECT_EQ(Combo(IDC_POI_TYPE)->currentText(), QStringLiteral("Все"));
    EXPECT_EQ(Combo(IDC_POI_TYPE)->count(), 53);
    // A square: 10 m to 2400 m.
    EXPECT_EQ(Combo(IDC_POI_SIZE)->itemText(0), QStringLiteral("10"));
    EXPECT_EQ(Combo(IDC_POI_SIZE)->count(), 54);
    EXPECT_EQ(page.GetDlgItemText(IDC_POI_SIDE_LABEL), QStringLiteral("Side"));
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_POI_STOP));
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_POI_SHOW));

    Choose(page, IDC_POI_PLACE, QStringLiteral("All screen"));
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_POI_SIZE)) << "the whole screen has no size";
    Choose(page, IDC_POI_PLACE, QStringLiteral("Дача"));
    EXPECT_TRUE(page.IsDlgItemEnabled(IDC_POI_SIZE));
    Choose(page, IDC_POI_SIZE, QStringLiteral("300"));

    // The waypoint and the size chosen come back with the next opening; a
    // change the user did not confirm with Close does not.
    ASSERT_TRUE(page.ClickDlgItem(platform::IDOK));
    EXPECT_FALSE(sheet.IsOpen());
    {
        CSheetSearch again(QStringLiteral("Search"));
        ASSERT_TRUE(again.Create());
        ASSERT_TRUE(again.SetActivePage(again.GetPageIndex(&again.GetPoiPage())));
        CPageSearchPOI& p = again.GetPoiPage();
        EXPECT_EQ(p.GetDlgItemAs<QComboBox>(IDC_POI_PLACE)->currentText(), QStringLiteral("Дача"));
        EXPECT_EQ(p.GetDlgItemAs<QComboBox>(IDC_POI_SIZE)->currentText(), QStringLiteral("300"));
        again.OnCancel();
    }
    // Once the waypoint is gone, the screen centre.
    g_waypoints->RemoveAll();
    CSheetSearch third(QStringLiteral("Search"));
    ASSERT_TRUE(third.Create());
    ASSERT_TRUE(third.SetActivePage(third.GetPageIndex(&third.GetPoiPage())));
    EXPECT_EQ(third.GetPoiPage().GetDlgItemAs<QComboBox>(IDC_POI_PLACE)->currentText(),
        QStringLiteral("Screen centre"));
    third.OnCancel();
}

TEST_F(PoiPage, ResultsStreamInTheChosenOrderAndOneIsShownOnTheMap)
{
    Open();
    Choose(page, IDC_POI_PLACE, QStringLiteral("Screen centre"));
    Choose(page, IDC_POI_SIZE, QStringLiteral("2400"));
    ASSERT_TRUE(page.ClickDlgItem(IDC_POI_SEARCH));
    ASSERT_TRUE(WaitForEnd());
    const int found = map.Pois().GetSearchResultCount();
    ASSERT_GE(found, 3);
    EXPECT_EQ(List()->topLevelItemCount(), found);
    std::vector<int> arrival(static_cast<size_t>(found));
    for (int i = 0; i < found; ++i)
        arrival[size_t(i)] = i;
    EXPECT_EQ(Rows(), arrival);
    EXPECT_EQ(page.GetDlgItemText(IDC_POI_COUNT), QStringLiteral("%1 objects found").arg(found));

    // The name column: ascending, descending, then arrival order again; a
    // search meanwhile puts each new row in its sorted place.
    TapHeader(List(), 1);
    std::vector<QString> names = Column(1);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    TapHeader(List(), 1);
    ASSERT_TRUE(page.ClickDlgItem(IDC_POI_SEARCH));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(List()->topLevelItemCount(), found) << "the same search again, no stale rows";
    names = Column(1);
    EXPECT_TRUE(std::is_sorted(names.rbegin(), names.rend()));
    TapHeader(List(), 1);
    EXPECT_EQ(Rows(), arrival);
    EXPECT_EQ(g_poiSort.column, -1);

    // A row chosen and shown: the map centres on it and the sheet closes.
    TapRow(List(), 1);
    ASSERT_TRUE(page.IsDlgItemEnabled(IDC_POI_SHOW));
    const ZXS_Point at = map.Pois().GetResultPosition(RowData(List()->topLevelItem(1)));
    ASSERT_NE(at.x, kUnset);
    ASSERT_TRUE(page.ClickDlgItem(IDC_POI_SHOW));
    EXPECT_EQ(map.Controller().GetCentreX(), at.x);
    EXPECT_EQ(map.Controller().GetCentreY(), at.y);
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(sheet.result(), platform::IDOK);
}

TEST_F(PoiPage, AFoundPoiBecomesTheRouteFinish)
{
    uitest::ScriptedMessageBoxes boxes;
    Open();
    Choose(page, IDC_POI_SIZE, QStringLiteral("2400"));
    ASSERT_TRUE(page.ClickDlgItem(IDC_POI_SEARCH));
    ASSERT_TRUE(WaitForEnd());
    ASSERT_GE(List()->topLevelItemCount(), 2);
    // The first POI the start, the second the finish.
    TapRow(List(), 0);
    ASSERT_TRUE(page.SelectDlgItem(IDC_POI_STATION, 0));
    ASSERT_TRUE(page.ClickDlgItem(IDC_POI_ROUTE_POINT));
    EXPECT_TRUE(sheet.IsOpen()) << "a start alone is no route";
    EXPECT_FALSE(map.Controller().GetRouteManager().HasRoute());
    TapRow(List(), 1);
    ASSERT_TRUE(page.SelectDlgItem(IDC_POI_STATION, 3));
    ASSERT_TRUE(page.ClickDlgItem(IDC_POI_ROUTE_POINT));
    EXPECT_TRUE(map.Controller().GetRouteManager().HasRoute());
    EXPECT_FALSE(sheet.IsOpen());

    // With a route, the search along it is offered (with corridor widths),
    // and it ends like any other.
    CSheetSearch again(QStringLiteral("Search"));
    ASSERT_TRUE(again.Create());
    CPageSearchPOI& p = again.GetPoiPage();
    ASSERT_TRUE(again.SetActivePage(again.GetPageIndex(&p)));
    Choose(p, IDC_POI_PLACE, QStringLiteral("Along route"));
    EXPECT_EQ(p.GetDlgItemText(IDC_POI_SIDE_LABEL), QStringLiteral("Passage"));
    auto* sizes = p.GetDlgItemAs<QComboBox>(IDC_POI_SIZE);
    EXPECT_EQ(sizes->itemText(0), QStringLiteral("40"));
    EXPECT_EQ(sizes->currentText(), QStringLiteral("2400")) << "the size chosen stays";
    ASSERT_TRUE(p.ClickDlgItem(IDC_POI_SEARCH));
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.GetSearchState() == CPageSearchPOI::STATE_IDLE; }, 60000));
    EXPECT_GE(p.GetList()->topLevelItemCount(), 2) << "the start and the finish lie on the route";
    // Back to a square: the square sides again.
    Choose(p, IDC_POI_PLACE, QStringLiteral("Screen centre"));
    EXPECT_EQ(sizes->itemText(0), QStringLiteral("10"));
    EXPECT_EQ(p.GetDlgItemText(IDC_POI_SIDE_LABEL), QStringLiteral("Side"));
    again.OnCancel();
}

TEST(PoiPageFromTheMap, APointedPlaceWithASizeIsSearchedAtOnce)
{
    search_testing::SearchMap map("voradu");
    ASSERT_TRUE(map.opened);
    uitest::OnScreen screen(240, 320, 96, LANGUAGE_ENGLISH);
    platform::ScopedProcessObject<CWaypointList> waypoints(g_waypoints);
    CPoiQuery& query = map.Pois();
    auto searchAndWait = [&](int kind, int32_t size, ZXS_Point at) {
        ASSERT_EQ(StartPoiSearch(kind, size, at.x, at.y, nullptr, QStringLiteral("Все"), nullptr), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !query.IsRunning(); }, 60000));
    };
    // The place pointed at is a POI's.
    searchAndWait(CPoiQuery::KIND_CENTRE, 2400, {});
    ASSERT_GE(query.GetSearchResultCount(), 1);
    const ZXS_Point poi = query.GetResultPosition(0);
    const struct {
        int32_t preset;
        const char* size;
        bool searches;
    } cases[] = {
        { 40, "40", true },
        { 45, "50", true },
        { 3000, "2400", true },
        { -1, nullptr, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preset);
        // No results left from before: a 10 m square off the city.
        searchAndWait(CPoiQuery::KIND_POINT, 10, { poi.x + 20000000, poi.y + 20000000 });
        ASSERT_EQ(query.GetSearchResultCount(), 0);
        QString place, size;
        testing_support::WhenModalOpens([&](QWidget* modal) {
            auto* sheet = dynamic_cast<CSheetSearch*>(modal);
            ASSERT_NE(sheet, nullptr);
            CPageSearchPOI& page = sheet->GetPoiPage();
            EXPECT_EQ(sheet->GetActivePage(), &page);
            place = page.GetDlgItemAs<QComboBox>(IDC_POI_PLACE)->currentText();
            size = page.GetDlgItemAs<QComboBox>(IDC_POI_SIZE)->currentText();
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return page.GetSearchState() == CPageSearchPOI::STATE_IDLE; }, 60000));
            sheet->OnCancel();
        });
        CLauncher::SearchSheet(SEARCH_PAGE_POI, poi.x, poi.y, c.preset);
        EXPECT_EQ(place, QStringLiteral("Pointed position"));
        if (c.size != nullptr) {
            EXPECT_EQ(size, QLatin1String(c.size));
        }
        EXPECT_EQ(query.GetSearchResultCount() > 0, c.searches);
    }
}

} // namespace
