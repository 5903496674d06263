// The program started on a home of its own, one option changed in each owner
// of the settings, closed through "Close application" and started again:
// every change is still there.
#include "app/process_objects.h"
#include "controls/bitmap_element.h"
#include "controls/button_bar.h"
#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/diagram_button.h"
#include "controls/hard_key_map.h"
#include "gps/bluetooth_control.h"
#include "gps/gps_source.h"
#include "platform/system_files.h"
#include "search/waypoint.h"
#include "settings/settings_menu_dlg.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/app/app_rig.h"
#include "tests/nav/route_support.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/modal_answer.h"
#include "traffic/jam_settings.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// HOME pointed at a folder of the test's own for its span.
class ScopedHome {
public:
    ScopedHome()
        : m_saved(qgetenv("HOME"))
    {
        qputenv("HOME", m_home.path().toUtf8());
    }
    ~ScopedHome() { qputenv("HOME", m_saved); }
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;

private:
    QTemporaryDir m_home;
    QByteArray m_saved;
};

// Runs the message loop until `done` or ten seconds have passed. (The checks
// inside the program's run never return early: the program must be closed.)
bool Await(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A home, a machine and an expert's profile of the test's own, for the runs
// of the program in one test.
struct ProgramHome {
    ProgramHome() { rig.SetProfileInt(QStringLiteral("expert mode"), 1); }

    ScopedHome home;
    apptest::AppRig rig;
    QTemporaryDir systemRoot;
    platform::ScopedSystemRoot scopedRoot { systemRoot.path() };
};

TEST(SettingsRestart, EveryOwnersChangeHoldsAcrossACloseAndAStart)
{
    ProgramHome machine;
    apptest::AppRig& rig = machine.rig;
    std::vector<MapPoint> routePoints;
    int newFolder = -1;

    {
        CProcessObjects objects;
        const int status = apptest::RunProgram([&] {
            CMapController& controller = *g_MapController;
            // The GPS source and its port, and the GPS block's replay options.
            g_gpsSourceNumber = 3;
            g_gpsBaudRate = 9600;
            g_HardKeyMap->SetCommand(4, 10021);
            controller.GetTopButtonBar().SetButtonCommand(2, 10040);
            controller.GetBottomButtonBar().SetButtonCommand(3, 10024);
            GetTransparentButtonRoot().SetButtonCommand(1, 3, 10030);
            newFolder = GetTransparentButtonRoot().AssignCommand(
                9, 13000, 0, QStringLiteral("Garage"), QStringLiteral("Гараж"));
            EXPECT_GT(newFolder, 0);
            // The toolbar, other-display and brightness pages' options and the
            // lists' sorts.
            controller.GetBottomButtonBar().SetBarState(CButtonBar::BAR_ON_DEMAND);
            controller.SetCentreMarkerShown(false);
            controller.GetScaleBarElement()->SetState(0);
            controller.GetWidgetSet()->SetState(0);
            g_buttonTooltips = 0;
            CScreenButtonFolders& panel = GetTransparentButtonRoot();
            panel.SetGridAlpha(40);
            panel.SetGridShown(0);
            panel.SetIconsShown(0);
            panel.SetAlpha(90);
            panel.SetBackgroundShown(0);
            panel.SetBackgroundAlpha(200);
            panel.SetShowCaptions(0);
            g_listStates[LIST_BLOCKS] = { 1, 2 };
            g_listStates[LIST_TOOLBAR_COMMANDS] = { 0, 1 };
            g_listStates[LIST_BUTTON_VALUES] = { 0, 2 };
            g_listStates[LIST_HARD_KEYS] = { 1, 1 };
            g_listStates[LIST_HARD_KEY_COMMANDS] = { 1, 2 };
            g_jamSettings.periodMinutes = 25;
            g_jamSettings.kind = 3;
            // The options of the settings pages: the GPS sheet's, the driving
            // sheet's, the map's font and the connections.
            g_deviceModel = 0;
            g_manualGpsPort = 7;
            g_manualGpsBaudRate = 38400;
            g_gpsSource->SetReplayOptions(1, 1, 2.0, 0);
            EXPECT_TRUE(g_gpsSource->SetLogFileName(QStringLiteral("\\My Documents\\trip.nm")));
            {
                QFile replay(rig.Folder().Documents() + QStringLiteral("/drive.nm"));
                EXPECT_TRUE(replay.open(QIODevice::WriteOnly));
            }
            EXPECT_TRUE(g_gpsSource->SetReplayFileName(QStringLiteral("\\My Documents\\drive.nm")));
            controller.GetMapSet().SetFontScale(125);
            EXPECT_EQ(controller.GetOrientationPanel().ApplyOption(2), 1);
            controller.SetAddressDisplay(false);
            CRouteGuide& guide = controller.GetRouteManager().GetGuide();
            guide.SetFirstPromptOn(0);
            guide.SetFirstPromptDistance(250);
            guide.SetSecondPromptOn(0);
            guide.SetSecondPromptDistance(60);
            guide.SetFinalPromptOn(0);
            guide.SetRepeatCount(3);
            g_activeSyncOff = 1;
            m_autoBluetooth = 0;
            EXPECT_TRUE(SaveAutoBtSetting());
            // The route sheet's options.
            g_routeOptimisation = 2;
            CRouteManager& routes = controller.GetRouteManager();
            routes.SetRerouteOnDeviation(0);
            routes.SetDeviationDelay(40);
            routes.SetRerouteAfterJams(1);
            routes.SetCorridorWidth(300);
            routes.SetOptionAndInvalidate(1);
            guide.SetSensitivity(0.3);
            routes.SetRouteLengthTime(25000);
            g_leavingRouteMessages = 0;
            g_creatingRouteMessages = 1;
            CWaypoint waypoint;
            waypoint.m_name = QStringLiteral("Дача");
            waypoint.m_type = QStringLiteral("Синий");
            waypoint.m_position.SetChecked(0.979, 0.667, true);
            g_waypoints->Append(waypoint);
            const MapPoint unset { kUnsetCoordinate, kUnsetCoordinate };
            const MapPoint points[] = { navtest::Crossing(-2, -1), unset, unset, navtest::Crossing(3, 2) };
            EXPECT_EQ(controller.BuildRoute(points, 4, 0, 0, nullptr, 0), 1);
            EXPECT_TRUE(Await([&] { return controller.GetRouteManager().HasRoute() != 0; }));
            for (const RoutePoint& p : controller.GetRouteManager().GetRoute().GetPoints())
                routePoints.push_back({ p.x, p.y });
            // The language and the interface mode, switched in the settings menu.
            testing_support::WhenModalOpens([](QWidget* window) {
                auto* menu = dynamic_cast<CSettingsMenuDlg*>(window);
                ASSERT_NE(menu, nullptr);
                settingstest::WhenSheetOpens<CSheetLanguage>([](CSheetLanguage* sheet) {
                    settingstest::Tap(sheet->m_language, IDC_LANGUAGE_ENGLISH);
                    settingstest::Tap(*sheet, platform::IDOK);
                });
                settingstest::TapEntry(*menu, SETTINGS_LANGUAGE);
                EXPECT_EQ(menu->List()->item(SETTINGS_EXIT)->text(), QStringLiteral("Exit"));
                settingstest::WhenSheetOpens<CSheetGeneral>([](CSheetGeneral* sheet) {
                    EXPECT_TRUE(sheet->m_mode.IsDlgButtonChecked(IDC_MODE_EXPERT));
                    settingstest::Tap(sheet->m_mode, IDC_MODE_SIMPLE);
                    settingstest::Tap(*sheet, platform::IDOK);
                });
                settingstest::TapEntry(*menu, SETTINGS_GENERAL);
                settingstest::TapEntry(*menu, SETTINGS_EXIT);
            });
            ExecuteCommand(CMD_SETTINGS);
            EXPECT_TRUE(Await([] { return g_bExpertMode == 0; })) << "the main frame switched the mode";
            EXPECT_EQ(g_language, LANGUAGE_ENGLISH);
            ExecuteCommand(CMD_CLOSE);
        });
        ASSERT_EQ(status, CTravenorApp::EXIT_OK);
    }

    CProcessObjects objects;
    const int status = apptest::RunProgram([&] {
        CMapController& controller = *g_MapController;
        EXPECT_EQ(g_gpsSourceNumber, 3);
        EXPECT_EQ(g_gpsBaudRate, 9600);
        int32_t reverse = 0, loop = 0, reserved = 0;
        double speed = 0;
        g_gpsSource->GetReplayOptions(&reverse, &loop, &speed, &reserved);
        EXPECT_EQ(loop, 1);
        EXPECT_EQ(reverse, 1);
        EXPECT_EQ(speed, 2.0);
        EXPECT_EQ(g_deviceModel, 0);
        EXPECT_EQ(g_manualGpsPort, 7);
        EXPECT_EQ(g_manualGpsBaudRate, 38400);
        EXPECT_EQ(g_gpsSource->GetLogFileName(), QStringLiteral("\\My Documents\\trip.nm"));
        EXPECT_EQ(g_gpsSource->GetReplayFileName(), QStringLiteral("\\My Documents\\drive.nm"));
        EXPECT_EQ(controller.GetMapSet().GetFontScale(), 125);
        EXPECT_EQ(controller.GetOrientationPanel().GetMode(), 2);
        EXPECT_EQ(controller.GetOrientationPanel().GetOrder(), CManeuverPanel::ORDER_LAST_FIRST);
        EXPECT_FALSE(controller.IsAddressDisplayOn());
        const CRouteGuide& guide = controller.GetRouteManager().GetGuide();
        EXPECT_EQ(guide.IsFirstPromptOn(), 0);
        EXPECT_EQ(guide.GetFirstPromptDistance(), 250);
        EXPECT_EQ(guide.IsSecondPromptOn(), 0);
        EXPECT_EQ(guide.GetSecondPromptDistance(), 60);
        EXPECT_EQ(guide.IsFinalPromptOn(), 0);
        EXPECT_EQ(guide.GetRepeatCount(), 3);
        EXPECT_EQ(g_activeSyncOff, 1);
        EXPECT_EQ(m_autoBluetooth, 0);
        EXPECT_EQ(g_language, LANGUAGE_ENGLISH);
        EXPECT_EQ(g_bExpertMode, 0);
        EXPECT_EQ(g_routeOptimisation, 2);
        const CRouteManager& routes = controller.GetRouteManager();
        EXPECT_EQ(routes.GetRerouteOnDeviation(), 0);
        EXPECT_EQ(routes.GetDeviationDelay(), 40);
        EXPECT_EQ(routes.GetRerouteAfterJams(), 1);
        EXPECT_EQ(routes.GetCorridorWidth(), 300.0);
        EXPECT_EQ(guide.GetForksOnly(), 1);
        EXPECT_EQ(guide.GetSensitivity(), 0.3);
        EXPECT_EQ(routes.GetRouteLengthTime(), 25000);
        EXPECT_EQ(g_leavingRouteMessages, 0);
        EXPECT_EQ(g_creatingRouteMessages, 1);
        EXPECT_EQ(g_HardKeyMap->GetCommand(4), 10021);
        EXPECT_EQ(controller.GetTopButtonBar().GetButtonCommand(2), 10040);
        EXPECT_EQ(controller.GetBottomButtonBar().GetButtonCommand(3), 10024);
        EXPECT_EQ(GetTransparentButtonRoot().GetButtonCommand(1, 3), 10030);
        // The folder made on the values page, with its names in both languages.
        EXPECT_EQ(GetTransparentButtonRoot().GetButtonCommand(0, 9), newFolder);
        EXPECT_EQ(GetTransparentButtonRoot().GetFolderName(newFolder), QStringLiteral("Garage"));
        g_language = LANGUAGE_RUSSIAN;
        EXPECT_EQ(GetTransparentButtonRoot().GetFolderName(newFolder), QStringLiteral("Гараж"));
        g_language = LANGUAGE_ENGLISH;
        EXPECT_EQ(controller.GetBottomButtonBar().GetBarState(), CButtonBar::BAR_ON_DEMAND);
        EXPECT_FALSE(controller.GetCentreMarkerShown());
        EXPECT_EQ(controller.GetScaleBarElement()->GetState(), 0);
        EXPECT_EQ(controller.GetWidgetSet()->GetState(), 0);
        EXPECT_EQ(g_buttonTooltips, 0);
        const CScreenButtonFolders& panel = GetTransparentButtonRoot();
        EXPECT_EQ(panel.GetGridAlpha(), 40);
        EXPECT_EQ(panel.GetGridShown(), 0);
        EXPECT_EQ(panel.GetIconsShown(), 0);
        EXPECT_EQ(panel.GetAlpha(), 90);
        EXPECT_EQ(panel.GetBackgroundShown(), 0);
        EXPECT_EQ(panel.GetBackgroundAlpha(), 200);
        EXPECT_EQ(panel.GetShowCaptions(), 0);
        const std::pair<int, int> sorts[] = { { LIST_BLOCKS, 12 }, { LIST_TOOLBAR_COMMANDS, 1 },
            { LIST_BUTTON_VALUES, 2 }, { LIST_HARD_KEYS, 11 }, { LIST_HARD_KEY_COMMANDS, 12 } };
        for (const auto& [list, sort] : sorts)
            EXPECT_EQ(g_listStates[size_t(list)].column * 10 + g_listStates[size_t(list)].state, sort)
                << list;
        EXPECT_EQ(g_jamSettings.periodMinutes, 25);
        EXPECT_EQ(g_jamSettings.kind, 3);
        EXPECT_EQ(g_waypoints->GetWaypointCount(), 1);
        if (g_waypoints->GetWaypointCount() == 1) {
            EXPECT_EQ(g_waypoints->GetAt(0)->m_name, QStringLiteral("Дача"));
        }
        // The route comes back from its file and is built again after the first frame.
        EXPECT_TRUE(Await([&] { return controller.GetRouteManager().HasRoute() != 0; }));
        const std::vector<RoutePoint> restored = controller.GetRouteManager().GetRoute().GetPoints();
        EXPECT_EQ(restored.size(), routePoints.size());
        for (size_t i = 0; i < restored.size() && i < routePoints.size(); ++i) {
            EXPECT_NEAR(restored[i].x, routePoints[i].x, 2) << i;
            EXPECT_NEAR(restored[i].y, routePoints[i].y, 2) << i;
        }
        ExecuteCommand(CMD_CLOSE);
    });
    EXPECT_EQ(status, CTravenorApp::EXIT_OK);
    EXPECT_TRUE(rig.boxes.empty());
    g_jamSettings = JamSettings();
}

} // namespace

// The map font size chosen in the settings menu needs a restart: Yes closes
// the program, and the next start has the new size.
TEST(SettingsRestart, AMapFontChosenInTheMenuIsInForceAfterTheRestartItAskedFor)
{
    ProgramHome machine;
    std::vector<platform::MessageBoxRequest> asked;
    platform::SetMessageBoxAnswerer([&](const platform::MessageBoxRequest& request) {
        asked.push_back(request);
        return platform::IDYES;
    });
    int32_t before = 0;
    {
        CProcessObjects objects;
        const int status = apptest::RunProgram([&] {
            before = g_MapController->GetMapSet().GetFontScale();
            // The route page's "save at exit", off: no route to keep here.
            g_MapController->GetRouteManager().SetSaveRouteOnExit(0);
            testing_support::WhenModalOpens([](QWidget* window) {
                auto* menu = dynamic_cast<CSettingsMenuDlg*>(window);
                ASSERT_NE(menu, nullptr);
                settingstest::WhenSheetOpens<CSheetMap>([](CSheetMap* sheet) {
                    EXPECT_TRUE(sheet->m_appearance.SelectDlgItem(IDC_FONT_SIZE, 4));
                    settingstest::Tap(*sheet, platform::IDOK);
                });
                settingstest::TapEntry(*menu, SETTINGS_APPEARANCE);
            });
            ExecuteCommand(CMD_SETTINGS);
        });
        ASSERT_EQ(status, CTravenorApp::EXIT_OK);
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(before, 200);

    CProcessObjects objects;
    int32_t after = 0;
    const int status = apptest::RunProgram([&] {
        after = g_MapController->GetMapSet().GetFontScale();
        EXPECT_EQ(g_MapController->GetRouteManager().GetSaveRouteOnExit(), 0);
        ExecuteCommand(CMD_CLOSE);
    });
    EXPECT_EQ(status, CTravenorApp::EXIT_OK);
    EXPECT_EQ(after, 200);
    EXPECT_EQ(asked.size(), 1u);
}
