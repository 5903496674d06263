// Every command run on the Voradu map screen and what it did: the map moved or
// zoomed, the tap mode, the toggles and their chains, the route deleted or
// built again, the window asked for, the message shown; the screenshot, the
// phone application, the GPS reconnection and the quick menu step by step.
#include "controls/command_handlers.h"

#include "app/app_messages.h"
#include "app/launcher.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "foundation/draw_suspender.h"
#include "foundation/language.h"
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "platform/file_dialog.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/serial_port.h"
#include "platform/system_programs.h"
#include "search/sheet_search.h"
#include "search/waypoint.h"
#include "search/wizard_search.h"
#include "search/wizard_waypoints.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"
#include "tests/support/modal_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scoped_registry.h"
#include "ui/button_grid_dlg.h"
#include "ui/list_choice_dlg.h"
#include "ui/message_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace navtest;

// The map screen of Voradu with the waypoints and the GPS source.
class CommandScreen {
public:
    explicit CommandScreen(int width = 240, int height = 320)
        : rig(width, height, 96, LANGUAGE_ENGLISH)
        , m_waypoints(g_waypoints)
        , m_gps(g_gpsSource)
    {
    }

    CMapController& Controller() { return rig.Controller(); }

    ControllerRig rig;

private:
    platform::ScopedProcessObject<CWaypointList> m_waypoints;
    platform::ScopedProcessObject<CGpsSource> m_gps;
};

// What a command can change, taken before and after it.
struct ScreenState {
    int32_t centreX, centreY, scale, rotation, tapMode;
    int follow, alwaysUp, junction;
    bool moving, messageShown;
    int route, waypoints;
    std::vector<int32_t> checked;
    bool operator==(const ScreenState&) const = default;
};

ScreenState State(CommandScreen& s)
{
    CMapController& c = s.Controller();
    ScreenState state { c.GetCentreX(), c.GetCentreY(), c.GetScale(), c.GetRotation(), c.GetTapMode(),
        c.IsFollowGps(), c.IsAlwaysUp(), c.IsJunctionZoom(), c.IsMovingMode(),
        g_messageWnd->GetState() == CScreenElement::STATE_SHOWN, Routes().HasRoute(),
        g_waypoints->GetWaypointCount(), {} };
    for (uint32_t id = kFirstCommand; id <= kLastCommand; ++id)
        state.checked.push_back(g_CommandRegistry->IsChecked(id));
    return state;
}

// Where the map's point now at the screen centre shows after the command.
ElementPoint CentreMovedBy(CommandScreen& s, uint32_t id)
{
    CMapController& c = s.Controller();
    s.rig.Render();
    const ElementPoint middle { GetScreenWidth() / 2, GetScreenHeight() / 2 };
    ZXS_Point point;
    EXPECT_TRUE(c.ScreenToMap(middle, point));
    ExecuteCommand(id);
    s.rig.Render();
    ElementPoint now;
    EXPECT_TRUE(c.MapToScreen(point, now));
    return { now.x - middle.x, now.y - middle.y };
}

TEST(Commands, TheEmptyAndInternalCommandsAndUnknownIdsChangeNothing)
{
    CommandScreen s;
    for (uint32_t id : { 10000u, 10015u, 10016u, 10029u, 10050u, 10053u, 9999u, 10054u, 14000u, 0u }) {
        const ScreenState before = State(s);
        ExecuteCommand(id);
        g_CommandRegistry->Invoke(id);
        EXPECT_EQ(State(s), before) << id;
    }
}

TEST(Commands, MovementAndZoomOnTheMap)
{
    CommandScreen s;
    CMapController& c = s.Controller();
    const struct {
        uint32_t id;
        ElementPoint moved;
    } moves[] = { { CMD_MOVE_RIGHT, { -40, 0 } }, { CMD_MOVE_LEFT, { 40, 0 } }, { CMD_MOVE_UP, { 0, 40 } },
        { CMD_MOVE_DOWN, { 0, -40 } } };
    for (const auto& m : moves) {
        const ElementPoint moved = CentreMovedBy(s, m.id);
        EXPECT_NEAR(moved.x, m.moved.x, 1) << m.id;
        EXPECT_NEAR(moved.y, m.moved.y, 1) << m.id;
    }

    const struct {
        uint32_t id;
        int32_t from, to;
    } zooms[] = {
        { CMD_ZOOM_IN, 5000, GetNextScaleDown(5000) },
        { CMD_ZOOM_IN_BUTTON, 5000, GetNextScaleDown(5000) },
        { CMD_ZOOM_OUT, 5000, GetNextScaleUp(5000) },
        { CMD_ZOOM_OUT_BUTTON, 5000, GetNextScaleUp(5000) },
        // At either end the same scale again, with a redraw.
        { CMD_ZOOM_IN, GetMinMapScale(), GetMinMapScale() },
        { CMD_ZOOM_OUT, GetMaxMapScale(), GetMaxMapScale() },
    };
    for (const auto& z : zooms) {
        c.SetScale(z.from);
        c.SetRedrawFlag(0);
        ExecuteCommand(z.id);
        EXPECT_EQ(c.GetScale(), z.to) << z.id << " from " << z.from;
        EXPECT_EQ(c.GetRedrawFlag(), 1) << z.id;
    }
}

TEST(Commands, TapModesAreOneRadioGroup)
{
    CommandScreen s;
    const struct {
        uint32_t id;
        int32_t mode;
    } modes[] = { { CMD_ZOOM_WINDOW, TAP_ZOOM_WINDOW }, { CMD_FIRST_POINT, TAP_FIRST_POINT },
        { CMD_LAST_POINT, TAP_LAST_POINT }, { CMD_OBJECT_NAME, TAP_OBJECT_NAME },
        { CMD_ROUTE_FINISH_ONLY, TAP_ROUTE_FINISH_ONLY }, { CMD_SCROLL, TAP_SCROLL } };
    for (const auto& m : modes) {
        ExecuteCommand(m.id);
        EXPECT_EQ(s.Controller().GetTapMode(), m.mode) << m.id;
        for (const auto& other : modes)
            EXPECT_EQ(g_CommandRegistry->IsChecked(other.id), other.id == m.id ? 1 : 0) << m.id;
    }
}

TEST(Commands, TogglesFlipTheirStateAndTheirCheckedFlag)
{
    CommandScreen s;
    CMapController& c = s.Controller();
    ExecuteCommand(CMD_DRIVING_MODE);
    EXPECT_TRUE(c.IsMovingMode());
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_DRIVING_MODE), 1);
    ExecuteCommand(CMD_DRIVING_MODE);
    EXPECT_FALSE(c.IsMovingMode());
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_DRIVING_MODE), 0);
    ExecuteCommand(CMD_ZOOM_SLIDER);
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_ZOOM_SLIDER), 1);
    ExecuteCommand(CMD_ZOOM_SLIDER);
    EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_ZOOM_SLIDER), 0);
}

// The chains between GPS tracking, always up and the junction zoom: a list
// of commands, then the modes and the checked flags of the three.
TEST(Commands, TrackingAlwaysUpAndTheJunctionZoomKeepEachOtherInStep)
{
    const struct {
        const char* what;
        std::vector<uint32_t> commands;
        int follow, alwaysUp, junction;
    } chains[] = {
        { "always up on turns tracking on", { CMD_ALWAYS_UP }, 1, 1, 0 },
        { "always up off turns tracking off", { CMD_ALWAYS_UP, CMD_ALWAYS_UP }, 0, 0, 0 },
        { "tracking off ends always up and the junction zoom",
            { CMD_ALWAYS_UP, CMD_ROAD_JUNCTION, CMD_GPS_TRACKING }, 0, 0, 0 },
        { "tracking alone", { CMD_GPS_TRACKING }, 1, 0, 0 },
        { "the junction zoom in tracking", { CMD_GPS_TRACKING, CMD_ROAD_JUNCTION }, 1, 0, 1 },
        { "always up off keeps no tracking of its own", { CMD_GPS_TRACKING, CMD_ALWAYS_UP, CMD_ALWAYS_UP }, 0,
            0, 0 },
        { "the junction zoom without tracking stays off", { CMD_ROAD_JUNCTION }, 0, 0, 0 },
    };
    for (const auto& chain : chains) {
        SCOPED_TRACE(chain.what);
        CommandScreen s;
        for (uint32_t id : chain.commands)
            ExecuteCommand(id);
        CMapController& c = s.Controller();
        EXPECT_EQ(c.IsFollowGps(), chain.follow);
        EXPECT_EQ(c.IsAlwaysUp(), chain.alwaysUp);
        EXPECT_EQ(c.IsJunctionZoom(), chain.junction);
        EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_GPS_TRACKING), chain.follow);
        EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_ALWAYS_UP), chain.alwaysUp);
        EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_ROAD_JUNCTION), chain.junction);
    }
}

TEST(Commands, TheRouteCommandsOnAVoraduRoute)
{
    CommandScreen s;
    CMapController& c = s.Controller();
    // Behind a window the route is built without waiting for a frame no draw thread makes.
    c.SetMapScreenActive(0);
    ScopedGpsMapPosition gps;
    const MapPoint start = Crossing(-5, -2), finish = Crossing(4, 3);
    const MapPoint two[]
        = { start, { kUnsetCoordinate, kUnsetCoordinate }, { kUnsetCoordinate, kUnsetCoordinate }, finish };
    ASSERT_EQ(c.BuildRoute(two, 4, 0, 0, nullptr, 0), 1);

    // The whole route on the screen: the centre in the middle of its rectangle.
    c.SetCentre(start.x - 50000, start.y - 50000);
    ExecuteCommand(CMD_SHOW_ROUTE);
    EXPECT_NEAR(c.GetCentreX(), (start.x + finish.x) / 2, 2);
    EXPECT_NEAR(c.GetCentreY(), (start.y + finish.y) / 2, 2);

    // The part ahead, from where the car is: on the route's first half.
    SetFix(Crossing(-5, -2));
    c.SetCentre(start.x - 50000, start.y - 50000);
    ExecuteCommand(CMD_SHOW_ROUTE_PART);
    EXPECT_GT(c.GetCentreX(), std::min(start.x, finish.x));
    EXPECT_LT(c.GetCentreX(), std::max(start.x, finish.x));

    // Recreated through its points: the route is reported ready again.
    g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
    ExecuteCommand(CMD_RECREATE_ROUTE);
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_EQ(g_messageWnd->GetText(), QStringLiteral("The route is ready."));

    // Back: the finish becomes the start.
    ExecuteCommand(CMD_BACK_ROUTE);
    EXPECT_EQ(Route().GetPoints()[0].Point().x, finish.x);
    EXPECT_EQ(Route().GetPoints()[3].Point().x, start.x);

    // Recovered: the start moves to the GPS position.
    const MapPoint here = Crossing(2, 3);
    SetFix(here);
    ExecuteCommand(CMD_RECOVER_ROUTE);
    EXPECT_EQ(Routes().HasRoute(), 1);
    EXPECT_EQ(Route().GetPoints()[0].Point().x, here.x);
    EXPECT_EQ(Route().GetPoints()[0].Point().y, here.y);

    ExecuteCommand(CMD_DELETE_ROUTE);
    EXPECT_EQ(Routes().HasRoute(), 0);
}

TEST(Commands, WaypointsAtTheGpsPositionAndAllOfThemShown)
{
    CommandScreen s;
    CMapController& c = s.Controller();
    ExecuteCommand(CMD_ADD_WAYPOINT);
    EXPECT_EQ(g_waypoints->GetWaypointCount(), 0) << "no fix, no waypoint";
    const MapPoint a = Crossing(-6, -4), b = Crossing(-2, -1);
    for (const MapPoint& at : { a, b }) {
        SetFix(at);
        ExecuteCommand(CMD_ADD_WAYPOINT);
    }
    ASSERT_EQ(g_waypoints->GetWaypointCount(), 2);
    c.SetCentre(a.x + 60000, a.y + 60000);
    ExecuteCommand(CMD_SHOW_WAYPOINTS);
    EXPECT_NEAR(c.GetCentreX(), (a.x + b.x) / 2, 3);
    EXPECT_NEAR(c.GetCentreY(), (a.y + b.y) / 2, 3);
    platform::CSLock lock(g_gpsFixLock);
    g_gpsFix = CGpsFix();
}

TEST(Commands, TheSearchAndWaypointWindowsTheCommandsAskFor)
{
    CommandScreen s;
    // The search wizard opens on its first page.
    bool firstPage = false;
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* wizard = dynamic_cast<CWizardSearch*>(modal);
        firstPage = wizard != nullptr && !wizard->IsNested() && wizard->GetActivePage() == &wizard->m_sch1;
        if (wizard != nullptr)
            wizard->m_sch1.ClickDlgItem(platform::IDCANCEL);
        else
            modal->close();
    });
    ExecuteCommand(CMD_SEARCH_WIZARD);
    EXPECT_TRUE(firstPage);
    // The commands open the search sheet on its pages, none with a place.
    const struct {
        uint32_t id;
        bool invoke;
        int page;
    } sheetCases[] = {
        { CMD_ADDRESS_SEARCH, false, SEARCH_PAGE_ADDRESS },
        { CMD_EDIT_WAYPOINTS, false, SEARCH_PAGE_WAYPOINTS },
        { CMD_POI_SEARCH, false, SEARCH_PAGE_POI },
        { CMD_FIRST_POINT, true, SEARCH_PAGE_ADDRESS },
        { CMD_LAST_POINT, true, SEARCH_PAGE_ADDRESS },
    };
    for (const auto& t : sheetCases) {
        bool onPage = false;
        testing_support::WhenModalOpens([&](QWidget* modal) {
            auto* sheet = dynamic_cast<CSheetSearch*>(modal);
            if (sheet != nullptr) {
                onPage = sheet->GetActiveIndex() == t.page && !sheet->HasPointedPosition();
                sheet->OnCancel();
            } else {
                modal->close();
            }
        });
        if (t.invoke)
            g_CommandRegistry->Invoke(t.id);
        else
            ExecuteCommand(t.id);
        EXPECT_TRUE(onPage) << t.id;
    }
    // The waypoint editor is built: the command opens its wizard on the
    // waypoint page in select mode.
    bool selectPage = false;
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* wizard = dynamic_cast<CWizardWaypoints*>(modal);
        selectPage = wizard != nullptr && wizard->GetPage().IsSelectMode()
            && wizard->GetActivePage() == &wizard->GetPage();
        if (wizard != nullptr)
            wizard->GetPage().ClickDlgItem(platform::IDCANCEL);
        else
            modal->close();
    });
    ExecuteCommand(CMD_WAYPOINT_EDITOR);
    EXPECT_TRUE(selectPage);
    // The search sheet has no title in a third language, and does not open.
    g_language = 2;
    ExecuteCommand(CMD_POI_SEARCH); // comes back at once: no sheet waits for the user
    EXPECT_EQ(CLauncher::SearchSheet(SEARCH_PAGE_POI), -1);
}

TEST(Commands, NoticesInTheMessageWindow)
{
    CommandScreen s;
    ExecuteCommand(CMD_EXIT);
    EXPECT_EQ(g_messageWnd->GetTitle(), QStringLiteral("Travenor Pro"));
    EXPECT_TRUE(g_messageWnd->GetText().startsWith(QStringLiteral("Instead of closing")));
    EXPECT_EQ(g_messageWnd->GetTimeout(), 10000);
    ExecuteCommand(CMD_HIDE_MESSAGE);
    EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_HIDDEN);

    ExecuteCommand(CMD_HARROWICK);
    EXPECT_EQ(
        g_messageWnd->GetText(), QStringLiteral("This option is available only in Travenor Pro Harrowick."));
    EXPECT_EQ(g_messageWnd->GetTimeout(), MESSAGE_NO_TIMEOUT);
    // Away from the map screen the same notice is a message box.
    g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
    s.Controller().SetMapScreenActive(0);
    ExecuteCommand(CMD_HARROWICK);
    EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_HIDDEN);
    ASSERT_EQ(s.rig.Boxes().requests.size(), 1u);
    EXPECT_EQ(s.rig.Boxes().requests[0].caption, QStringLiteral("Travenor Pro"));
    s.Controller().SetMapScreenActive(1);

    ExecuteCommand(CMD_DOWNLOAD_JAM);
    EXPECT_EQ(s.Controller().GetJamSchedule().GetState(), CJamSchedule::STATE_AWAITED);
}

TEST(Commands, ThePhoneIsTheProgramSetForItElseItsNotice)
{
    testing_support::ScopedRegistryFile registry;
    CommandScreen s;
    ExecuteCommand(CMD_PHONE);
    EXPECT_EQ(g_messageWnd->GetText(), QStringLiteral("Приложение Телефон не обнаружено на КПК"));
    EXPECT_EQ(g_messageWnd->GetTimeout(), MESSAGE_NO_TIMEOUT);

    // With a command set, the phone starts: here a program that leaves a file.
    QTemporaryDir dir;
    const QString mark = dir.filePath(QStringLiteral("dialled"));
    platform::RegKey key;
    ASSERT_EQ(platform::registry().Create(
                  platform::RegRoot::HKLM, QString::fromUtf16(platform::kSystemProgramsKey), &key),
        platform::RegResult::Ok);
    key.SetString(QStringLiteral("cprog.exe"), QStringLiteral("touch ") + mark);
    g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
    ExecuteCommand(CMD_PHONE);
    EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_HIDDEN);
    for (int i = 0; i < 500 && !QFile::exists(mark); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(mark));
}

TEST(Commands, TheQuickMenuLayoutsByOrientationModeAndLanguage)
{
    const auto commands = [](int orientation, bool expert) {
        std::vector<int32_t> cells;
        for (int index = 0; index < 8; ++index) {
            QuickMenuCell cell;
            cells.push_back(GetQuickMenuCell(index, orientation, expert, LANGUAGE_ENGLISH, false, cell)
                    ? cell.command
                    : -1);
        }
        return cells;
    };
    EXPECT_EQ(commands(ORIENT_PORTRAIT, true),
        (std::vector<int32_t> { 10001, 10003, 10034, 10017, 10027, 10037, 10020, 2 }));
    EXPECT_EQ(commands(ORIENT_SQUARE, false),
        (std::vector<int32_t> { 10001, 10003, 10044, 10038, 10039, 10037, 10020, 2 }));
    EXPECT_EQ(commands(ORIENT_LANDSCAPE, true),
        (std::vector<int32_t> { 2, 10037, 10017, 10003, 10020, 10027, 10034, 10001 }));
    EXPECT_EQ(commands(ORIENT_LANDSCAPE, false),
        (std::vector<int32_t> { 2, 10037, 10038, 10003, 10020, 10039, 10044, 10001 }));
    EXPECT_EQ(commands(0, false), std::vector<int32_t>(8, -1));

    QuickMenuCell cell;
    ASSERT_TRUE(GetQuickMenuCell(6, ORIENT_PORTRAIT, true, LANGUAGE_RUSSIAN, true, cell));
    EXPECT_EQ(cell.caption, QStringLiteral("Масштаб"));
    EXPECT_EQ(cell.description, QStringLiteral("Скрыть линейку масштаба"));
    EXPECT_EQ(cell.state, 3);
    ASSERT_TRUE(GetQuickMenuCell(6, ORIENT_PORTRAIT, true, LANGUAGE_ENGLISH, false, cell));
    EXPECT_EQ(cell.description, QStringLiteral("Show smooth zoom slider"));
    EXPECT_EQ(cell.state, 1);
    EXPECT_FALSE(GetQuickMenuCell(0, ORIENT_PORTRAIT, true, 2, false, cell));
}

// The quick menu opened by its command, answered by tapping a cell.
TEST(Commands, TheQuickMenuRunsTheChosenCellAndRemembersIt)
{
    for (const auto& [width, height] : { std::pair { 240, 320 }, std::pair { 320, 240 } }) {
        CommandScreen s(width, height);
        const QString module = testing_support::BuildDataFolder() + QStringLiteral("/resources/qvga");
        for (int32_t command : { 10001, 10003, 10017, 10020, 10027, 10034, 10037, 10038, 10039, 10044 })
            for (int step = 0; step < 3; ++step)
                g_drawTool->LoadResource(module, uint32_t(command + step * 700));
        QString shot;
        // Landscape, simple: the first cell is cancel.
        testing_support::WhenModalOpens([&](QWidget* modal) {
            shot = testing_support::SaveScreenshot(
                *modal, QStringLiteral("quick_menu_%1x%2").arg(width).arg(height));
            modal->findChild<QWidget*>(QStringLiteral("2"))->setFocus();
            QTest::mouseClick(modal->findChild<QWidget*>(QStringLiteral("10037")), Qt::LeftButton);
        });
        ExecuteCommand(CMD_QUICK_MENU_EN);
        EXPECT_FALSE(shot.isEmpty());
        EXPECT_EQ(g_CommandRegistry->GetLastQuickMenuChoice(), 10037);
        EXPECT_EQ(s.Controller().GetJamSchedule().GetState(), CJamSchedule::STATE_AWAITED);
        EXPECT_FALSE(g_drawSuspender.IsSuspended());

        const ScreenState before = State(s);
        testing_support::WhenModalOpens([](QWidget* modal) {
            QTest::mouseClick(modal->findChild<QWidget*>(QStringLiteral("2")), Qt::LeftButton);
        });
        ExecuteCommand(CMD_QUICK_MENU_RU);
        EXPECT_EQ(g_CommandRegistry->GetLastQuickMenuChoice(), kQuickMenuCancel) << "cancel is remembered";
        EXPECT_EQ(State(s), before) << "and runs nothing";
    }
}

// A scripted save dialog: the name it was offered, and the one it answers.
class SaveDialog {
public:
    explicit SaveDialog(std::function<std::optional<QString>(const platform::FileDialogRequest&)> answer)
    {
        platform::SetFileDialogAnswerer([this, answer](const platform::FileDialogRequest& request) {
            offered.push_back(request);
            return answer(request);
        });
    }
    ~SaveDialog() { platform::SetFileDialogAnswerer({}); }
    std::vector<platform::FileDialogRequest> offered;
};

TEST(Commands, ScreenshotsLandInTheFolderWithTheNextFreeName)
{
    CommandScreen s;
    s.rig.Render();
    QTemporaryDir documents;
    platform::Options options = platform::options();
    const platform::Options saved = options;
    options.documentsDir = documents.path();
    platform::setOptions(options);
    for (const char* name : { "KVRA screen.bmp", "KVRA screen1.jpg" }) {
        QFile file(QDir(documents.path()).filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    g_screenshotFolder.clear();
    g_screenshotFormat = 0;
    g_screenshotQuality = 80;

    // The offered name, taken as it is: BMP.
    {
        SaveDialog dialog(
            [](const platform::FileDialogRequest& r) { return std::optional<QString>(r.fileName); });
        ExecuteCommand(CMD_SCREENSHOT);
        ASSERT_EQ(dialog.offered.size(), 1u);
        EXPECT_FALSE(dialog.offered[0].open);
        EXPECT_TRUE(dialog.offered[0].flags & platform::OFN_OVERWRITEPROMPT);
        EXPECT_EQ(
            dialog.offered[0].fileName, QDir(documents.path()).filePath(QStringLiteral("KVRA screen2.bmp")));
        EXPECT_TRUE(dialog.offered[0].filter.startsWith(QStringLiteral("BMP Files")));
        EXPECT_TRUE(QFile::exists(dialog.offered[0].fileName));
    }

    // A JPEG in another folder at quality 60, chosen in the list.
    QTemporaryDir other;
    const QString jpeg = QDir(other.path()).filePath(QStringLiteral("Shot.JPEG"));
    {
        SaveDialog dialog([&](const platform::FileDialogRequest&) { return std::optional<QString>(jpeg); });
        testing_support::WhenModalOpens([](QWidget* modal) {
            auto* combo = modal->findChild<QComboBox*>(QStringLiteral("1334"));
            combo->setCurrentIndex(combo->findText(QStringLiteral("60")));
            QTest::mouseClick(modal->findChild<QWidget*>(QStringLiteral("1")), Qt::LeftButton);
        });
        ExecuteCommand(CMD_SCREENSHOT);
        EXPECT_TRUE(QFile::exists(jpeg)) << "any case, and jpeg too";
        EXPECT_EQ(g_screenshotFormat, 1);
        EXPECT_EQ(g_screenshotQuality, 60);
        EXPECT_EQ(g_screenshotFolder, QDir(other.path()).path() + QLatin1Char('/'));
    }
    // The next one proposes that folder, the JPEG extension and filter, and
    // offers 60 first.
    {
        SaveDialog dialog([](const platform::FileDialogRequest&) { return std::nullopt; });
        ExecuteCommand(CMD_SCREENSHOT);
        ASSERT_EQ(dialog.offered.size(), 1u);
        EXPECT_EQ(dialog.offered[0].fileName, QDir(other.path()).filePath(QStringLiteral("KVRA screen.jpg")));
        EXPECT_EQ(dialog.offered[0].defaultExt, QStringLiteral("jpg"));
        EXPECT_TRUE(dialog.offered[0].filter.startsWith(QStringLiteral("JPEG Files")));
        EXPECT_TRUE(s.rig.Boxes().requests.empty()) << "a cancelled dialog says nothing";
    }
    {
        SaveDialog dialog([&](const platform::FileDialogRequest&) {
            return std::optional<QString>(QDir(other.path()).filePath(QStringLiteral("again.jpg")));
        });
        int offered = 0;
        testing_support::WhenModalOpens([&](QWidget* modal) {
            auto* combo = modal->findChild<QComboBox*>(QStringLiteral("1334"));
            offered = combo->currentText().toInt();
            QTest::mouseClick(modal->findChild<QWidget*>(QStringLiteral("2")), Qt::LeftButton);
        });
        ExecuteCommand(CMD_SCREENSHOT);
        EXPECT_EQ(offered, 60);
        EXPECT_FALSE(QFile::exists(QDir(other.path()).filePath(QStringLiteral("again.jpg"))))
            << "a cancelled quality writes nothing";
        EXPECT_TRUE(s.rig.Boxes().requests.empty());
    }
    // A name that is no picture format writes nothing and says so.
    {
        const QString gif = QDir(other.path()).filePath(QStringLiteral("shot.gif"));
        SaveDialog dialog([&](const platform::FileDialogRequest&) { return std::optional<QString>(gif); });
        ExecuteCommand(CMD_SCREENSHOT);
        EXPECT_FALSE(QFile::exists(gif));
        ASSERT_EQ(s.rig.Boxes().requests.size(), 1u);
        EXPECT_EQ(s.rig.Boxes().requests[0].text, QStringLiteral("Can't save the file."));
    }
    platform::setOptions(saved);
}

// "Restore Bluetooth": the GPS source closed and opened again, keeping the fix.
TEST(Commands, RestoringTheGpsKeepsTheFixOnlyWhenThePortOpensAgain)
{
    testing_support::ScopedRegistryFile registry;
    CommandScreen s;
    testing_support::PtyPair receiver;
    ASSERT_TRUE(receiver.MapAs(QStringLiteral("COM3:")));
    const int32_t savedSource = g_gpsSourceNumber, savedBaud = g_gpsBaudRate;
    g_gpsSourceNumber = 3;
    g_gpsBaudRate = 4800;
    ASSERT_TRUE(g_gpsSource->OpenPort(3, 4800));
    QTemporaryDir logs;
    ASSERT_TRUE(g_gpsSource->SetLogFileName(QDir(logs.path()).filePath(QStringLiteral("drive.nm"))));
    ASSERT_TRUE(g_gpsSource->StartLog());
    ASSERT_EQ(g_gpsSource->GetPortState(), GPS_PORT_SERIAL_LOG);
    SetFix(Crossing(1, 1), 45.0);
    const CGpsFix fix = CopyCurrentGpsFix();

    ExecuteCommand(CMD_RESTORE_GPS);
    EXPECT_EQ(CopyCurrentGpsFix(), fix);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_SERIAL_LOG) << "the log runs again";
    EXPECT_FALSE(g_drawSuspender.IsSuspended());

    // The receiver is gone: no fix is invented, no log restarted, drawing goes on.
    platform::RegKey ports;
    ASSERT_EQ(platform::registry().Create(
                  platform::RegRoot::HKLM, QString::fromLatin1(platform::kSerialPortMapKey), &ports),
        platform::RegResult::Ok);
    ports.SetString(QStringLiteral("COM4:"), QStringLiteral("/nonexistent/gps"));
    g_gpsSourceNumber = 4;
    ExecuteCommand(CMD_RESTORE_GPS);
    EXPECT_FALSE(CopyCurrentGpsFix().IsValidFix());
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_CLOSED);
    EXPECT_FALSE(g_drawSuspender.IsSuspended());

    // A replay is not a connection to restore: the fix stays as it is (the failed
    // opening above stamped it with its own second, so compare with what it holds now).
    SetFix(Crossing(1, 1), 45.0);
    const CGpsFix beforeReplay = CopyCurrentGpsFix();
    g_gpsSourceNumber = GPS_SOURCE_REPLAY;
    ExecuteCommand(CMD_RESTORE_GPS);
    EXPECT_EQ(CopyCurrentGpsFix(), beforeReplay);
    g_gpsSourceNumber = savedSource;
    g_gpsBaudRate = savedBaud;
    platform::CSLock lock(g_gpsFixLock);
    g_gpsFix = CGpsFix();
}

// The commands that go to the main frame, in the program itself.
TEST(Commands, HelpMinimizeAndCloseGoThroughTheMainFrame)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    const int status = apptest::RunProgram([] {
        CMainFrame* frame = theApp->GetMainWnd();
        // No help is installed: the map keeps the screen.
        ExecuteCommand(CMD_HELP);
        EXPECT_EQ(frame->GetMapWnd()->m_bLeaveFullScreenOnKillFocus, 0);
        EXPECT_TRUE(frame->GetMapWnd()->IsFullScreen());

        g_messageWnd->Show(QStringLiteral("Travenor Pro"), QStringLiteral("?"), 0, MESSAGE_NO_TIMEOUT, 0);
        ExecuteCommand(CMD_MINIMIZE);
        EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_HIDDEN);
        EXPECT_TRUE(frame->Screen().isMinimized());
        platform::send(frame, MSG_COME_TO_FRONT);

        EXPECT_EQ(g_bSaveSettingsOnExit, 0);
        ExecuteCommand(CMD_CLOSE);
    });
    EXPECT_EQ(status, CTravenorApp::EXIT_OK);
    EXPECT_EQ(g_bSaveSettingsOnExit, 1);
    g_bSaveSettingsOnExit = 0;
}

TEST(Commands, TheScreenshotFormatByExtension)
{
    const struct {
        const char* path;
        int format;
    } cases[] = { { "a.bmp", 0 }, { "a.BMP", 0 }, { "a.jpg", 1 }, { "a.Jpeg", 1 }, { "a.png", -1 },
        { "a", -1 }, { "dir.jpg/a", -1 } };
    for (const auto& c : cases)
        EXPECT_EQ(ScreenshotFormatOfPath(QLatin1String(c.path)), c.format) << c.path;
}

} // namespace
