// The waypoint page in a sheet over the Voradu map, driven as a user drives
// it: which buttons a selection enables, deleting with renumbering, the sort
// cycle of a column, the alert radius, adding and editing through the
// editor (a refused waypoint is told), opening and saving waypoint files and
// loading the documents folder, a waypoint as a route point, and the
// wizard's Finish that shows the chosen waypoint.
#include "search/page_wp.h"

#include "search/search_lists.h"

#include "app/launcher.h"
#include "platform/file_dialog.h"
#include "search/search_lists.h"
#include "search/waypoint.h"
#include "search/waypoint_dialog_parts.h"
#include "search/waypoint_edit_dlg.h"
#include "search/wizard_waypoints.h"
#include "tests/search/voradu_places.h"
#include "tests/support/modal_answer.h"
#include "tests/ui/ui_testing.h"
#include "ui/message_window.h"
#include "ui/property_sheet_full_screen.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using search_testing::SetFix;

class WaypointSheet : public CPropertySheetFullScreen {
public:
    WaypointSheet()
        : CPropertySheetFullScreen(QStringLiteral("Search"))
    {
        AddPage(&page);
    }
    CPageWP page { false };
};

CWaypoint Named(const char* name, const char* address, int64_t time)
{
    CWaypoint w;
    w.m_name = QString::fromUtf8(name);
    w.m_address = QString::fromUtf8(address);
    w.m_type = QStringLiteral("Синий");
    w.m_firstTime = time;
    return w;
}

class WaypointPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(map.opened);
        home = search_testing::HousePosition(map, "Блока", "10");
    }
    void TearDown() override
    {
        SetFix(CGeoPos(), 0);
        platform::SetFileDialogAnswerer({});
    }

    // Opens a sheet with the page on `count` waypoints named "w0", "w1" ...
    void Open(int count)
    {
        for (int i = 0; i < count; ++i) {
            CWaypoint w = Named("", "", 1183459509 + i * 60);
            w.m_name = QStringLiteral("w%1").arg(i);
            w.m_position = home;
            waypoints->Append(w);
        }
        ASSERT_TRUE(sheet.Create());
        list = sheet.page.GetList();
        ASSERT_NE(list, nullptr);
    }
    void Select(std::initializer_list<int> rows)
    {
        list->clearSelection();
        for (int row : rows)
            list->topLevelItem(row)->setSelected(true);
        if (rows.size() > 0)
            list->setCurrentItem(list->topLevelItem(*rows.begin()), 0, QItemSelectionModel::NoUpdate);
    }
    QStringList Column(int column) const
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    std::vector<int> ItemData() const
    {
        std::vector<int> data;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            data.push_back(CPageWP::GetItemData(list->topLevelItem(i)));
        return data;
    }
    void ClickHeader(int column)
    {
        QHeaderView* header = list->header();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    search_testing::SearchMap map { "voradu" };
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    platform::ScopedProcessObject<CWaypointList> waypoints { g_waypoints };
    WaypointSheet sheet;
    QTreeWidget* list = nullptr;
    CGeoPos home;
};

TEST_F(WaypointPage, TheButtonsFollowTheSelection)
{
    const struct {
        int rows;
        std::initializer_list<int> selected;
        bool edit, remove, show, all;
    } cases[] = {
        { 0, {}, false, false, false, false },
        { 3, {}, false, false, false, true },
        { 3, { 1 }, true, true, true, true },
        { 3, { 0, 2 }, false, true, false, true },
    };
    for (const auto& c : cases) {
        WaypointSheet own;
        waypoints->RemoveAll();
        for (int i = 0; i < c.rows; ++i)
            waypoints->Append(Named("w", "", 0));
        ASSERT_TRUE(own.Create());
        list = own.page.GetList();
        Select(c.selected);
        const CPageWP& page = own.page;
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_WP_EDIT), c.edit) << c.rows << " rows, " << c.selected.size();
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_WP_DELETE), c.remove) << c.rows << " rows, " << c.selected.size();
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_WP_SHOW), c.show) << c.rows << " rows, " << c.selected.size();
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_WP_ROUTE_POINT), c.show);
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_WP_DELETE_ALL), c.all);
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_WP_SAVE_AS), c.all);
        own.EndDialog(platform::IDCANCEL);
    }
    // Select mode: Finish takes the place of the list mode's buttons.
    waypoints->RemoveAll();
    waypoints->Append(Named("w", "", 0));
    waypoints->Append(Named("v", "", 0));
    CWizardWaypoints wizard;
    ASSERT_TRUE(wizard.Create());
    CPageWP& page = wizard.GetPage();
    list = page.GetList();
    EXPECT_EQ(page.GetDlgItem(IDC_WP_SHOW), nullptr);
    EXPECT_EQ(page.GetDlgItem(IDC_WP_MY_DOCUMENTS), nullptr);
    EXPECT_FALSE(page.GetDlgItem(IDC_WP_BACK)->isVisibleTo(&page));
    EXPECT_EQ(page.GetDlgItemText(IDC_WP_TITLE), QStringLiteral("Waypoint editor."));
    Select({ 1 });
    EXPECT_TRUE(page.IsDlgItemEnabled(IDC_WP_FINISH));
    Select({ 0, 1 });
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_WP_FINISH));
    EXPECT_TRUE(page.IsDlgItemEnabled(IDC_WP_DELETE));
    ASSERT_TRUE(page.ClickDlgItem(platform::IDCANCEL));
    EXPECT_EQ(wizard.result(), platform::IDCANCEL);
}

TEST_F(WaypointPage, DeletingRowsRenumbersTheRest)
{
    Open(5);
    Select({ 1, 3 });
    ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_DELETE));
    EXPECT_EQ(Column(WP_COLUMN_NAME), (QStringList { "w0", "w2", "w4" }));
    EXPECT_EQ(ItemData(), (std::vector<int> { 0, 1, 2 }));
    ASSERT_EQ(waypoints->GetWaypointCount(), 3);
    EXPECT_EQ(waypoints->GetAt(1)->m_name, QStringLiteral("w2"));
    EXPECT_EQ(waypoints->GetAt(2)->m_name, QStringLiteral("w4"));
    // The row at the last deleted place is chosen next.
    EXPECT_EQ(list->currentItem(), list->topLevelItem(2));
    EXPECT_TRUE(list->topLevelItem(2)->isSelected());

    // Delete all asks first.
    {
        uitest::ScriptedMessageBoxes no(platform::IDNO);
        ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_DELETE_ALL));
        ASSERT_EQ(no.requests.size(), 1u);
        EXPECT_EQ(no.requests[0].text,
            QStringLiteral("Are you sure that you want to delete all of the waypoints?"));
        EXPECT_EQ(waypoints->GetWaypointCount(), 3);
    }
    uitest::ScriptedMessageBoxes yes(platform::IDYES);
    ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_DELETE_ALL));
    EXPECT_EQ(waypoints->GetWaypointCount(), 0);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_FALSE(sheet.page.IsDlgItemEnabled(IDC_WP_DELETE_ALL));
}

TEST_F(WaypointPage, AColumnSortsUpDownAndBackToTheListOrder)
{
    waypoints->Append(Named("Школа", "Блока ул.10", 1183459509));
    waypoints->Append(Named("Дом", "", 1183459509 - 86400 + 3600));
    waypoints->Append(Named("Работа", "Абрикосовая ул.3", 1183459509 - 7200));
    ASSERT_TRUE(sheet.Create());
    list = sheet.page.GetList();
    EXPECT_EQ(Column(WP_COLUMN_ADDRESS),
        (QStringList { "Блока ул.10", "THE WAYPOINT IS BEYOND THE MAP", "Абрикосовая ул.3" }));

    ClickHeader(WP_COLUMN_NAME);
    EXPECT_EQ(Column(WP_COLUMN_NAME), (QStringList { "Дом", "Работа", "Школа" }));
    ClickHeader(WP_COLUMN_NAME);
    EXPECT_EQ(Column(WP_COLUMN_NAME), (QStringList { "Школа", "Работа", "Дом" }));
    ClickHeader(WP_COLUMN_NAME);
    EXPECT_EQ(ItemData(), (std::vector<int> { 0, 1, 2 }));

    // The empty address sorts as its English text, before the Cyrillic ones.
    ClickHeader(WP_COLUMN_ADDRESS);
    EXPECT_EQ(Column(WP_COLUMN_NAME), (QStringList { "Дом", "Работа", "Школа" }));
    // Time of day, not date: the day before at a later hour comes last.
    ClickHeader(WP_COLUMN_TIME);
    EXPECT_EQ(Column(WP_COLUMN_NAME), (QStringList { "Работа", "Школа", "Дом" }));
    ClickHeader(WP_COLUMN_DATE);
    EXPECT_EQ(Column(WP_COLUMN_NAME).first(), QStringLiteral("Дом"));

    // The sort is kept for the next page of the run, and an added row finds its place.
    sheet.EndDialog(platform::IDOK);
    SetFix(home);
    WaypointSheet next;
    ASSERT_TRUE(next.Create());
    list = next.page.GetList();
    EXPECT_EQ(Column(WP_COLUMN_NAME).first(), QStringLiteral("Дом"));
    testing_support::WhenModalOpens([](QWidget* modal) {
        auto* editor = dynamic_cast<CWaypointEditDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->SetDlgItemText(IDC_WPE_YEAR, QStringLiteral("2007"));
        editor->SetDlgItemText(IDC_WPE_MONTH, QStringLiteral("7"));
        editor->SetDlgItemText(IDC_WPE_DAY, QStringLiteral("2"));
        editor->SetDlgItemText(IDC_WPE_NAME, QStringLiteral("Дача"));
        editor->ClickDlgItem(platform::IDOK);
    });
    ASSERT_TRUE(next.page.ClickDlgItem(IDC_WP_ADD));
    EXPECT_EQ(Column(WP_COLUMN_NAME), (QStringList { "Дом", "Дача", "Школа", "Работа" }));
    EXPECT_EQ(list->currentItem()->text(WP_COLUMN_NAME), QStringLiteral("Дача"));
    // Back to unsorted for the other tests of the run.
    ClickHeader(WP_COLUMN_DATE);
    ClickHeader(WP_COLUMN_DATE);
    EXPECT_EQ(ItemData(), (std::vector<int> { 0, 1, 2, 3 }));
}

TEST_F(WaypointPage, TheAlertRadiusAndSwitch)
{
    waypoints->SetAlertRadius(0.00144);
    Open(0);
    CPageWP& page = sheet.page;
    auto* radius = page.GetDlgItemAs<QComboBox>(IDC_WP_RADIUS);
    ASSERT_EQ(radius->count(), 75);
    EXPECT_EQ(radius->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(radius->itemText(74), QStringLiteral("10000"));
    EXPECT_EQ(radius->findText(QStringLiteral("6000")), -1);
    EXPECT_EQ(radius->currentText(), QStringLiteral("160"));
    EXPECT_TRUE(page.IsDlgButtonChecked(IDC_WP_SOUND));

    ASSERT_TRUE(page.SelectDlgItem(IDC_WP_RADIUS, radius->findText(QStringLiteral("500"))));
    EXPECT_DOUBLE_EQ(waypoints->GetAlertRadius(), 500 * 9.00000000009e-06);
    ASSERT_TRUE(page.SelectDlgItem(IDC_WP_RADIUS, 0));
    EXPECT_DOUBLE_EQ(waypoints->GetAlertRadius(), 9.00000000009e-06);

    ASSERT_TRUE(page.ClickDlgItem(IDC_WP_SOUND));
    EXPECT_EQ(waypoints->GetAlertsOn(), 0);
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_WP_RADIUS));
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_WP_RADIUS_LABEL));

    // A radius that is no choice leaves none chosen.
    waypoints->SetAlertRadius(0.001);
    page.OnSetActive();
    EXPECT_EQ(radius->currentIndex(), -1);
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_WP_RADIUS));
}

TEST_F(WaypointPage, AddAndEditGoThroughTheEditorAndARefusalIsTold)
{
    SetFix(home);
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_fixMode = 3;
        g_gpsFix.m_time = 1183459509;
    }
    Open(1);
    CPageWP& page = sheet.page;
    testing_support::WhenModalOpens([](QWidget* modal) {
        auto* editor = dynamic_cast<CWaypointEditDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->SetDlgItemText(IDC_WPE_NAME, QStringLiteral("Аптека"));
        auto* types = editor->GetDlgItemAs<QComboBox>(IDC_WPE_TYPE);
        editor->SelectDlgItem(IDC_WPE_TYPE, types->findText(QStringLiteral("Аптека")));
        editor->ClickDlgItem(platform::IDOK);
    });
    ASSERT_TRUE(page.ClickDlgItem(IDC_WP_ADD));
    ASSERT_EQ(waypoints->GetWaypointCount(), 2);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    QTreeWidgetItem* added = list->currentItem();
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(added->isSelected());
    EXPECT_EQ(added->text(WP_COLUMN_NAME), QStringLiteral("Аптека"));
    EXPECT_EQ(added->text(WP_COLUMN_TYPE), QStringLiteral("Аптека"));
    EXPECT_TRUE(added->text(WP_COLUMN_ADDRESS).contains(QStringLiteral("Блока")));
    const WaypointDateTime when = *LocalDateTimeOf(1183459509);
    EXPECT_EQ(added->text(WP_COLUMN_TIME),
        QString::asprintf("%.2d:%.2d:%.2d", when.hour, when.minute, when.second));
    EXPECT_EQ(
        added->text(WP_COLUMN_DATE), QString::asprintf("%.2d-%.2d-%.4d", when.day, when.month, when.year));
    EXPECT_EQ(waypoints->GetAt(1)->m_bitmapId, 562);

    // Edit: the fields come back in the editor and the changes go to the row and the list.
    Select({ 1 });
    testing_support::WhenModalOpens([](QWidget* modal) {
        auto* editor = dynamic_cast<CWaypointEditDlg*>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->GetDlgItemText(IDC_WPE_NAME), QStringLiteral("Аптека"));
        EXPECT_EQ(editor->GetDlgItemAs<QComboBox>(IDC_WPE_TYPE)->currentText(), QStringLiteral("Аптека"));
        editor->SetDlgItemText(IDC_WPE_NAME, QStringLiteral("Аптека №1"));
        editor->SelectDlgItem(IDC_WPE_TYPE, 0);
        editor->SelectDlgItem(IDC_WPE_COLOR, 2);
        editor->ClickDlgItem(platform::IDOK);
    });
    ASSERT_TRUE(page.ClickDlgItem(IDC_WP_EDIT));
    EXPECT_EQ(list->currentItem()->text(WP_COLUMN_NAME), QStringLiteral("Аптека №1"));
    EXPECT_EQ(list->currentItem()->text(WP_COLUMN_TYPE), QStringLiteral("Green"));
    EXPECT_EQ(waypoints->GetAt(1)->m_name, QStringLiteral("Аптека №1"));
    EXPECT_EQ(waypoints->GetAt(1)->m_bitmapId, 655);

    // Without a position the list refuses the waypoint: the user is told, no row appears.
    SetFix(CGeoPos(), 'V');
    testing_support::WhenModalOpens([](QWidget* modal) {
        if (auto* editor = dynamic_cast<CWaypointEditDlg*>(modal))
            editor->ClickDlgItem(platform::IDOK);
    });
    uitest::ScriptedMessageBoxes boxes;
    ASSERT_TRUE(page.ClickDlgItem(IDC_WP_ADD));
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_TRUE(boxes.requests[0].text.startsWith(QStringLiteral("The waypoint was not added")));
    EXPECT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(waypoints->GetWaypointCount(), 2);
}

TEST_F(WaypointPage, WaypointFilesOpenSaveAndTheDocumentsFolder)
{
    CWaypointList other;
    CWaypoint a = Named("from file", "", 1183459509);
    a.m_position = home;
    other.Append(a);
    const QString path = map.Folder().File(QStringLiteral("saved.kwp"));
    ASSERT_EQ(other.SaveFile(path, 1), 1);

    Open(2);
    platform::FileDialogRequest asked;
    QString answer = path;
    platform::SetFileDialogAnswerer(
        [&](const platform::FileDialogRequest& request) -> std::optional<QString> {
            asked = request;
            return answer;
        });
    ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_OPEN));
    EXPECT_TRUE(asked.open);
    EXPECT_EQ(asked.filter, QStringLiteral("Waypoint Files (*.kwp)|*.kwp|All Files (*.*)|*.*||"));
    EXPECT_EQ(Column(WP_COLUMN_NAME), (QStringList { "w0", "w1", "from file" }));
    EXPECT_EQ(list->topLevelItem(2)->text(WP_COLUMN_FILE), path);

    // A file that cannot be read adds nothing and says so.
    {
        answer = map.Folder().File(QStringLiteral("missing.kwp"));
        uitest::ScriptedMessageBoxes boxes;
        ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_OPEN));
        ASSERT_EQ(boxes.requests.size(), 1u);
        EXPECT_EQ(boxes.requests[0].text, QStringLiteral("Can't open the file."));
        EXPECT_EQ(list->topLevelItemCount(), 3);
    }

    // Save as writes the listed waypoints, which then name that file.
    const QString trip = map.Folder().Documents() + QStringLiteral("/trip.kwp");
    answer = trip;
    ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_SAVE_AS));
    EXPECT_FALSE(asked.open);
    EXPECT_EQ(asked.fileName, QStringLiteral("default_wp"));
    EXPECT_EQ(Column(WP_COLUMN_FILE), (QStringList { trip, trip, trip }));
    CWaypointList reread;
    ASSERT_EQ(reread.LoadFile(trip, 1), 1);
    EXPECT_EQ(reread.GetWaypointCount(), 3);
    {
        answer = map.Folder().File(QStringLiteral("no such folder/trip.kwp"));
        uitest::ScriptedMessageBoxes boxes;
        ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_SAVE_AS));
        ASSERT_EQ(boxes.requests.size(), 1u);
        EXPECT_EQ(boxes.requests[0].text, QStringLiteral("Can't save the file."));
    }

    // "My documents" asks, then adds every waypoint file of the folder.
    {
        uitest::ScriptedMessageBoxes cancel(platform::IDCANCEL);
        ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_MY_DOCUMENTS));
        ASSERT_EQ(cancel.requests.size(), 1u);
        EXPECT_TRUE(cancel.requests[0].text.contains(QStringLiteral("\\My Documents\\")));
        EXPECT_EQ(list->topLevelItemCount(), 3);
    }
    uitest::ScriptedMessageBoxes yes(platform::IDYES);
    ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_MY_DOCUMENTS));
    EXPECT_EQ(yes.requests.size(), 1u);
    EXPECT_EQ(list->topLevelItemCount(), 6);
    EXPECT_EQ(waypoints->GetWaypointCount(), 6);
}

TEST_F(WaypointPage, FinishInTheWizardShowsTheChosenWaypoint)
{
    CWaypoint far = Named("far", "", 0);
    far.m_position = home;
    waypoints->Append(Named("no position", "", 0));
    waypoints->Append(far);
    map.Controller().SetCentre(0, 0);
    // A view mode that would take the map away again may be switched off.
    uitest::ScriptedMessageBoxes yes(platform::IDYES);
    bool answered = false;
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* wizard = dynamic_cast<CWizardWaypoints*>(modal);
        ASSERT_NE(wizard, nullptr);
        CPageWP& page = wizard->GetPage();
        page.GetList()->topLevelItem(1)->setSelected(true);
        answered = page.ClickDlgItem(IDC_WP_FINISH);
    });
    EXPECT_EQ(CLauncher::WaypointEditor(0), platform::IDOK);
    EXPECT_TRUE(answered);
    ZXS_Point point;
    ASSERT_EQ(
        ZXS_GeoToMap(map.Map(), home.GetLongitude().GetRadians(), home.GetLatitude().GetRadians(), &point),
        0);
    EXPECT_NEAR(map.Controller().GetCentreX(), point.x, 2);
    EXPECT_NEAR(map.Controller().GetCentreY(), point.y, 2);
}

} // namespace

TEST_F(WaypointPage, TwoWaypointsBecomeTheRouteStartAndFinish)
{
    CWaypoint start = Named("start", "", 0);
    start.m_position = home;
    CWaypoint finish = Named("finish", "", 0);
    finish.m_position = search_testing::HousePosition(map, "Блока", "11");
    waypoints->Append(start);
    waypoints->Append(finish);
    // Route results are told in the message window.
    platform::ScopedProcessObject<CMessageWindow> messages(g_messageWnd);
    ASSERT_TRUE(sheet.Create());
    list = sheet.page.GetList();
    CPageWP& page = sheet.page;
    auto* stations = page.GetDlgItemAs<QComboBox>(IDC_WP_STATION);
    ASSERT_EQ(stations->count(), 4);
    EXPECT_EQ(stations->currentIndex(), 3);
    EXPECT_EQ(stations->itemText(0), QStringLiteral("Start"));
    uitest::ScriptedMessageBoxes boxes;

    // The start alone builds no route: the page stays.
    Select({ 0 });
    ASSERT_TRUE(page.SelectDlgItem(IDC_WP_STATION, 0));
    ASSERT_TRUE(page.ClickDlgItem(IDC_WP_ROUTE_POINT));
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_FALSE(map.Controller().GetRouteManager().HasRoute());
    EXPECT_TRUE(stations->itemText(0).startsWith(QStringLiteral("Start")));

    // The finish completes it: the page closes with the route on the map.
    Select({ 1 });
    ASSERT_TRUE(page.SelectDlgItem(IDC_WP_STATION, 3));
    ASSERT_TRUE(page.ClickDlgItem(IDC_WP_ROUTE_POINT));
    EXPECT_TRUE(map.Controller().GetRouteManager().HasRoute());
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(sheet.result(), platform::IDOK);
}

TEST_F(WaypointPage, TheColumnLayoutIsKeptWhenThePageClosesWithClose)
{
    Open(1);
    list->setColumnWidth(WP_COLUMN_NAME, 123);
    list->header()->moveSection(WP_COLUMN_DATE, 0);
    ASSERT_TRUE(sheet.page.ClickDlgItem(IDC_WP_CLOSE));
    EXPECT_EQ(sheet.result(), platform::IDOK);

    WaypointSheet next;
    ASSERT_TRUE(next.Create());
    QTreeWidget* again = next.page.GetList();
    EXPECT_EQ(again->columnWidth(WP_COLUMN_NAME), 123);
    EXPECT_EQ(again->header()->visualIndex(WP_COLUMN_DATE), 0);
    // Cancel keeps nothing new.
    again->setColumnWidth(WP_COLUMN_NAME, 77);
    next.EndDialog(platform::IDCANCEL);
    WaypointSheet third;
    ASSERT_TRUE(third.Create());
    EXPECT_EQ(third.page.GetList()->columnWidth(WP_COLUMN_NAME), 123);
    g_waypointColumns.clear();
}
