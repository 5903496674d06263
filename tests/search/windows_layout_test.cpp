// The waypoint dialogs and the search windows fit the screen's width on the
// smallest portrait screen and the largest landscape one, in both languages:
// no field, list or button reaches past the right edge, where a person could
// not see or tap it (the forms scroll up and down only); and on the smallest
// screen the search sheet's result lists keep rows to choose from.
#include "search/page_wp.h"
#include "search/sheet_search.h"
#include "search/waypoint_edit_dlg.h"
#include "search/waypoint_props_dlg.h"
#include "search/wizard_search.h"
#include "search/wizard_waypoints.h"
#include "tests/search/voradu_places.h"
#include "tests/ui/ui_testing.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <string>

namespace {

// The controls the user reaches that end past the window's right edge.
std::string CutOffControls(QWidget& window)
{
    uitest::ProcessEvents();
    QStringList cut;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool reachable = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)
            || qobject_cast<QAbstractButton*>(control) || qobject_cast<QTreeWidget*>(control);
        if (!reachable || !control->isVisibleTo(&window))
            continue;
        const QPoint right = control->mapTo(&window, QPoint(control->width() - 1, 0));
        if (right.x() >= window.width())
            cut << control->objectName() + QLatin1Char('@') + QString::number(right.x());
    }
    return cut.join(QStringLiteral(", ")).toStdString();
}

} // namespace

TEST(WaypointAndSearchWindows, EveryControlFitsTheScreensWidthAndTheListsKeepRows)
{
    search_testing::SearchMap map("voradu");
    ASSERT_TRUE(map.opened);
    const CGeoPos home = search_testing::HousePosition(map, "Блока", "10");
    platform::ScopedProcessObject<CWaypointList> waypoints(g_waypoints);
    CWaypoint w;
    w.m_position = home;
    w.m_name = QStringLiteral("Религиозная организация на углу");
    w.m_type = QStringLiteral("Религиозная организация");
    waypoints->Add(w);
    const struct {
        int w, h, dpi;
    } screens[] = { { 240, 320, 96 }, { 640, 480, 192 } };
    for (const auto& s : screens) {
        for (const int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
            uitest::OnScreen screen(s.w, s.h, s.dpi, language);
            const std::string where = std::to_string(s.w) + (language == LANGUAGE_ENGLISH ? " en" : " ru");
            CWaypoint copy = *waypoints->GetAt(0);
            CWaypointEditDlg editor(&copy);
            ASSERT_TRUE(editor.Create());
            EXPECT_EQ(CutOffControls(editor), "") << "editor " << where;
            editor.ClickDlgItem(platform::IDCANCEL);

            CWaypointPropsDlg properties;
            properties.Init(&home, w.m_name);
            ASSERT_TRUE(properties.Create());
            EXPECT_EQ(CutOffControls(properties), "") << "properties " << where;
            properties.ClickDlgItem(platform::IDCANCEL);

            CWizardWaypoints wizard;
            ASSERT_TRUE(wizard.Create());
            EXPECT_EQ(CutOffControls(wizard), "") << "waypoint page " << where;
            wizard.EndDialog(platform::IDCANCEL);

            CSheetSearch sheet(QStringLiteral("Search"));
            ASSERT_TRUE(sheet.Create());
            for (int page = 0; page < sheet.GetPageCount(); ++page) {
                ASSERT_TRUE(sheet.SetActivePage(page));
                EXPECT_EQ(CutOffControls(sheet), "") << "sheet page " << page << " " << where;
            }
            // A street's houses and the POI found: at least three rows show.
            const int rows
                = 3 * QFontMetrics(sheet.GetAddressPage().GetDlgItem(IDC_ADDR_HOUSE_LIST)->font()).height();
            EXPECT_GE(
                sheet.GetAddressPage().GetDlgItemAs<QListWidget>(IDC_ADDR_HOUSE_LIST)->viewport()->height(),
                rows)
                << where;
            ASSERT_TRUE(sheet.SetActivePage(sheet.GetPageIndex(&sheet.GetPoiPage())));
            uitest::ProcessEvents();
            EXPECT_GE(sheet.GetPoiPage().GetList()->viewport()->height(), rows) << where;
            sheet.OnCancel();

            CWizardSearch search(QStringLiteral("Wizard search"));
            ASSERT_TRUE(search.Create());
            for (int page = 0; page < search.GetPageCount(); ++page) {
                ASSERT_TRUE(search.SetActivePage(page));
                EXPECT_EQ(CutOffControls(search), "") << "search wizard page " << page << " " << where;
            }
            search.OnCancel();
        }
    }
}
