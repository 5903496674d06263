// The Route sheet's pages on the program's objects on Voradu: what acts at
// once stays after Cancel, what waits for OK does not, a stored value the
// lists cannot show stays until the user picks one, and the optimisation
// chosen builds another route.
#include "nav/map_controller.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/nav/route_support.h"
#include "tests/settings/settings_pages_support.h"

#include <QComboBox>
#include <QFile>
#include <QSlider>

using namespace settingstest;
using settings_layout::Combo;

namespace {

CRouteManager& Routes() { return g_MapController->GetRouteManager(); }

// A route across the city from its south to its north, where the fastest
// route takes other roads than the shortest.
void BuildCrossTown()
{
    const MapPoint unset { kUnsetCoordinate, kUnsetCoordinate };
    const MapPoint points[] = { navtest::Crossing(-1, -9), unset, unset, navtest::Crossing(1, 9) };
    ASSERT_EQ(g_MapController->BuildRoute(points, 4, 0, 0, nullptr, 0), 1);
}

std::vector<std::pair<int32_t, int32_t>> RouteNodes()
{
    std::vector<std::pair<int32_t, int32_t>> nodes;
    for (const GuideNode& n : Routes().GetGuideNodes())
        nodes.emplace_back(n.x, n.y);
    return nodes;
}

} // namespace

TEST(RouteGeneralPage, AtOnceChoicesStayAfterCancelAndTheOthersWaitForOk)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    g_routeOptimisation = 1;
    Routes().SetRerouteOnDeviation(1);
    Routes().SetDeviationDelay(10);
    Routes().SetRerouteAfterJams(0);
    Routes().SetSaveRouteOnExit(1);
    {
        CSheetRoute sheet(QStringLiteral("Route"), nullptr);
        ASSERT_TRUE(sheet.Create());
        CPageRouteGeneral& page = sheet.m_general;
        EXPECT_EQ(page.GetCurSel(IDC_ROUTE_OPTIMISATION), 0);
        EXPECT_EQ(page.GetDlgItemText(IDC_ROUTE_DELAY), QStringLiteral("10"));
        EXPECT_EQ(Combo(page, IDC_ROUTE_DELAY)->count(), 33);
        Tap(page, IDC_ROUTE_RESTORE);
        EXPECT_EQ(Routes().GetRerouteOnDeviation(), 0) << "at once";
        for (const int id : { IDC_ROUTE_DELAY, IDC_ROUTE_DELAY_IN, IDC_ROUTE_DELAY_UNIT })
            EXPECT_FALSE(page.IsDlgItemEnabled(id)) << id;
        Tap(page, IDC_ROUTE_RESTORE);
        EXPECT_TRUE(page.SelectDlgItem(IDC_ROUTE_DELAY, 16)); // 30 s
        Tap(page, IDC_ROUTE_AFTER_JAMS);
        EXPECT_TRUE(page.SelectDlgItem(IDC_ROUTE_OPTIMISATION, 1));
        Tap(page, IDC_ROUTE_SAVE_AT_EXIT);
        Tap(sheet, platform::IDCANCEL);
    }
    EXPECT_EQ(Routes().GetRerouteOnDeviation(), 1);
    EXPECT_EQ(Routes().GetDeviationDelay(), 30);
    EXPECT_EQ(Routes().GetRerouteAfterJams(), 1);
    EXPECT_EQ(g_routeOptimisation, 1) << "the optimisation waits for OK";
    EXPECT_EQ(Routes().GetSaveRouteOnExit(), 1) << "so does the route kept at exit";
    {
        CSheetRoute sheet(QStringLiteral("Route"), nullptr);
        ASSERT_TRUE(sheet.Create());
        EXPECT_TRUE(sheet.m_general.SelectDlgItem(IDC_ROUTE_OPTIMISATION, 1));
        Tap(sheet.m_general, IDC_ROUTE_SAVE_AT_EXIT);
        Tap(sheet, platform::IDOK);
    }
    EXPECT_EQ(g_routeOptimisation, 2);
    EXPECT_EQ(Routes().GetSaveRouteOnExit(), 0);
}

// Values kept in a settings file that none of the lists offers show no
// choice, and the sheet's OK keeps them: among them an optimisation that is
// neither shortest nor fastest, which must not become 0.
TEST(RouteOptionPages, StoredValuesTheListsLackStayUntilOneIsPicked)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_RUSSIAN;
    g_routeOptimisation = 7;
    Routes().SetDeviationDelay(23);
    Routes().SetCorridorWidth(115);
    Routes().SetRouteLengthTime(17500);
    CSheetRoute sheet(QStringLiteral("Маршрут"), nullptr);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.m_general.GetCurSel(IDC_ROUTE_OPTIMISATION), -1);
    EXPECT_EQ(sheet.m_general.GetCurSel(IDC_ROUTE_DELAY), -1);
    TapTab(sheet, 1);
    EXPECT_EQ(sheet.m_tips.GetCurSel(IDC_ROUTE_LENGTH_TIME), -1);
    EXPECT_EQ(sheet.m_tips.GetDlgItemText(IDC_ROUTE_LENGTH_LABEL), QStringLiteral("Показывать в течение"));
    TapTab(sheet, 3);
    EXPECT_EQ(sheet.m_properties.GetCurSel(IDC_ROUTE_CORRIDOR), -1);
    EXPECT_EQ(Combo(sheet.m_properties, IDC_ROUTE_CORRIDOR)->count(), 51);
    EXPECT_EQ(sheet.m_properties.GetDlgItemText(IDC_ROUTE_FORKS_ONLY), QStringLiteral("Только развилки"));
    Tap(sheet, platform::IDOK);
    EXPECT_EQ(g_routeOptimisation, 7);
    EXPECT_EQ(Routes().GetDeviationDelay(), 23);
    EXPECT_EQ(Routes().GetCorridorWidth(), 115.0);
    EXPECT_EQ(Routes().GetRouteLengthTime(), 17500);
}

TEST(RouteTipsPage, ZeroSecondsIsNotAlwaysAndTheNoticesWaitForOk)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    g_leavingRouteMessages = 1;
    g_creatingRouteMessages = 0;
    Routes().SetRouteLengthTime(-1);
    for (const bool ok : { false, true }) {
        CSheetRoute sheet(QStringLiteral("Route"), nullptr);
        ASSERT_TRUE(sheet.Create());
        TapTab(sheet, 1);
        CPageRouteTips& page = sheet.m_tips;
        QComboBox* times = Combo(page, IDC_ROUTE_LENGTH_TIME);
        ASSERT_EQ(times->count(), 40);
        EXPECT_EQ(times->currentText(), QStringLiteral("Always"));
        EXPECT_TRUE(page.IsDlgButtonChecked(IDC_ROUTE_LEAVING));
        EXPECT_TRUE(page.SelectDlgItem(IDC_ROUTE_LENGTH_TIME, 0));
        EXPECT_EQ(Routes().GetRouteLengthTime(), 0) << "\"0\" is 0 ms, at once";
        EXPECT_TRUE(page.SelectDlgItem(IDC_ROUTE_LENGTH_TIME, 21));
        EXPECT_EQ(Routes().GetRouteLengthTime(), 25000);
        Tap(page, IDC_ROUTE_LEAVING);
        Tap(page, IDC_ROUTE_CREATING);
        Tap(sheet, ok ? platform::IDOK : platform::IDCANCEL);
        EXPECT_EQ(g_leavingRouteMessages, ok ? 0 : 1) << ok;
        EXPECT_EQ(g_creatingRouteMessages, ok ? 1 : 0) << ok;
        Routes().SetRouteLengthTime(-1);
    }
}

TEST(RoutePropertiesPage, TheSliderEndsTheCorridorAndForksOnly)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    CRouteGuide& guide = Routes().GetGuide();
    guide.SetSensitivity(0.5);
    Routes().SetCorridorWidth(40);
    Routes().SetOptionAndInvalidate(0);
    struct Case {
        int slider;
        bool ok;
        double wantLevel;
    };
    for (const Case c : { Case { 0, true, 1.0 }, Case { 100, true, 0.0 }, Case { 30, false, 0.0 } }) {
        CSheetRoute sheet(QStringLiteral("Route"), nullptr);
        ASSERT_TRUE(sheet.Create());
        TapTab(sheet, 3);
        CPageRouteProperties& page = sheet.m_properties;
        page.GetDlgItemAs<QSlider>(IDC_ROUTE_POINTS)->setValue(c.slider);
        Tap(sheet, c.ok ? platform::IDOK : platform::IDCANCEL);
        EXPECT_EQ(guide.GetSensitivity(), c.wantLevel) << c.slider;
    }
    CSheetRoute sheet(QStringLiteral("Route"), nullptr);
    ASSERT_TRUE(sheet.Create());
    TapTab(sheet, 3);
    CPageRouteProperties& page = sheet.m_properties;
    EXPECT_EQ(page.GetDlgItemAs<QSlider>(IDC_ROUTE_POINTS)->value(), 100);
    EXPECT_EQ(page.GetDlgItemText(IDC_ROUTE_CORRIDOR), QStringLiteral("40"));
    EXPECT_TRUE(page.SelectDlgItem(IDC_ROUTE_CORRIDOR, 50));
    Tap(page, IDC_ROUTE_FORKS_ONLY);
    Tap(sheet, platform::IDCANCEL);
    EXPECT_EQ(Routes().GetCorridorWidth(), 1000.0) << "at once";
    EXPECT_EQ(guide.GetForksOnly(), 1) << "at once";
}

// The optimisation chosen on the General page rebuilds the route on OK: the
// fastest route across the city is another than the shortest.
TEST(RouteGeneralPage, TheOptimisationChosenBuildsAnotherRoute)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    g_routeOptimisation = 1;
    BuildCrossTown();
    const auto shortest = RouteNodes();
    ASSERT_FALSE(shortest.empty());
    for (const int pick : { 1, 0 }) {
        CSheetRoute sheet(QStringLiteral("Route"), nullptr);
        ASSERT_TRUE(sheet.Create());
        EXPECT_TRUE(sheet.m_general.SelectDlgItem(IDC_ROUTE_OPTIMISATION, pick));
        Tap(sheet, platform::IDOK);
        ASSERT_NE(Routes().HasRoute(), 0);
        if (pick == 1)
            EXPECT_NE(RouteNodes(), shortest) << "the fastest route";
        else
            EXPECT_EQ(RouteNodes(), shortest) << "the shortest route again";
    }
}

TEST(RouteFilesPage, TheButtonsFollowTheRouteAndABadFileKeepsIt)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    const QString bad = program.LocalPath(QStringLiteral("bad.rt"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a route");
    }
    const QString saved = SettingsProgram::DevicePath(QStringLiteral("home.rt"));
    ScopedFileAnswers files({ saved, SettingsProgram::DevicePath(QStringLiteral("bad.rt")) });
    CSheetRoute sheet(QStringLiteral("Route"), nullptr);
    ASSERT_TRUE(sheet.Create());
    TapTab(sheet, 2);
    CPageRouteFiles& page = sheet.m_files;
    for (const int id : { IDC_ROUTE_FILES_DELETE, IDC_ROUTE_FILES_SAVE, IDC_ROUTE_FILES_SAVE_AS })
        EXPECT_FALSE(page.IsDlgItemEnabled(id)) << id;
    EXPECT_TRUE(page.IsDlgItemEnabled(IDC_ROUTE_FILES_OPEN));

    BuildCrossTown();
    page.Refresh();
    Tap(page, IDC_ROUTE_FILES_SAVE); // never saved: asks where
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].fileName, QStringLiteral("\\My Documents\\Travenor Pro route.rt"));
    EXPECT_TRUE(QFile::exists(program.LocalPath(QStringLiteral("home.rt"))));
    EXPECT_EQ(page.GetDlgItemText(IDC_ROUTE_FILES_PATH), saved);

    const auto route = RouteNodes();
    Tap(page, IDC_ROUTE_FILES_OPEN);
    ASSERT_EQ(program.rig.boxes.size(), 1u);
    EXPECT_EQ(program.rig.boxes[0].text, QStringLiteral("Can't open the file."));
    EXPECT_EQ(RouteNodes(), route) << "the route stays";

    Tap(page, IDC_ROUTE_FILES_DELETE);
    EXPECT_EQ(Routes().HasRoute(), 0);
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_ROUTE_FILES_SAVE));
    Tap(sheet, platform::IDCANCEL);
}
