// The long-press menu in the running program on Voradu: long presses and taps
// through Qt's test events on the device window, ticks and the long-press
// timer on a manual clock, the rows the menu offers on the map and on
// buttons, and what a chosen row does.
#include "controls/map_popup_menu.h"

#include "app/draw_thread.h"
#include "app/launcher.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/process_objects.h"
#include "app/screen_tab_wnd.h"
#include "app/travenor_app.h"
#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/quick_menu_bar.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/timers.h"
#include "search/sheet_search.h"
#include "search/waypoint.h"
#include "search/waypoint_edit_dlg.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"
#include "tests/nav/route_support.h"
#include "tests/support/modal_answer.h"
#include "ui/text_entry_dlg.h"

#include <QColor>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <mutex>

namespace {

void Deliver()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void Tick(platform::ManualClock& clock, uint32_t ms)
{
    clock.advance(ms);
    platform::DispatchDueTimers();
    Deliver();
}

QWidget* Screen() { return theApp->GetDeviceScreen(); }

void Press(QPoint at)
{
    QTest::mousePress(Screen(), Qt::LeftButton, Qt::NoModifier, at);
    Deliver();
}

void Release(QPoint at)
{
    QTest::mouseRelease(Screen(), Qt::LeftButton, Qt::NoModifier, at);
    Deliver();
}

void Tap(QPoint at)
{
    Press(at);
    Release(at);
}

// The stylus held still at a place until the menu opens, then lifted.
void LongPress(platform::ManualClock& clock, QPoint at)
{
    Press(at);
    Tick(clock, CMapPopupMenu::kLongPressMs);
    Release(at);
}

CMapPopupMenu& Menu() { return *g_MapPopupMenu; }

CTreeMenu* Top()
{
    const std::vector<CTreeMenu*> levels = Menu().OpenLevels();
    return levels.empty() ? nullptr : levels.back();
}

// Row texts of a level; a separator as "-", a disabled row with "(off)", a
// checked one with "(on)".
QStringList Rows(const CTreeMenu& level)
{
    QStringList rows;
    for (const CTreeMenuItem& item : level.Items()) {
        QString row = item.Is(CTreeMenuItem::KIND_SEPARATOR) ? QStringLiteral("-") : item.text;
        if (item.Has(CTreeMenuItem::STATE_DISABLED))
            row += QStringLiteral(" (off)");
        if (item.Has(CTreeMenuItem::STATE_CHECKED))
            row += QStringLiteral(" (on)");
        rows << row;
    }
    return rows;
}

int RowIndex(const CTreeMenu& level, const QString& text)
{
    for (size_t i = 0; i < level.Items().size(); ++i)
        if (level.Items()[i].text == text)
            return static_cast<int>(i);
    ADD_FAILURE() << "no row " << text.toStdString() << " in " << Rows(level).join(u'|').toStdString();
    return 0;
}

// The middle of a row of a level that does not scroll.
QPoint RowPoint(const CTreeMenu& level, const QString& text)
{
    ElementPoint at;
    level.GetPosition(at);
    const CTreeMenuItem& item = level.Items()[static_cast<size_t>(RowIndex(level, text))];
    return QPoint(at.x + 12, at.y + item.Top() + item.Height() / 2);
}

// Taps its way down the open menu: each text a row of the level the last tap opened.
void Choose(std::initializer_list<const char*> path)
{
    for (const char* text : path) {
        CTreeMenu* level = Top();
        ASSERT_NE(level, nullptr) << text;
        Tap(RowPoint(*level, QString::fromUtf8(text)));
    }
}

// The screen point of a map place, the map moved so that it lies left of and
// above the centre marker, which takes the presses on it.
QPoint CentreOn(const MapPoint& place)
{
    CMapController& controller = *g_MapController;
    controller.SetScale(1000);
    controller.SetCentre(place.x, place.y);
    EXPECT_EQ(controller.RenderNow(), 0);
    ZXS_Point off;
    EXPECT_TRUE(controller.ScreenToMap({ 60, 100 }, off));
    controller.SetCentre(2 * place.x - off.x, 2 * place.y - off.y);
    EXPECT_EQ(controller.RenderNow(), 0);
    ElementPoint at;
    EXPECT_TRUE(controller.MapToScreen({ place.x, place.y }, at));
    return QPoint(at.x, at.y);
}

// A pixel of the screen as the draw thread shows it, once it has copied two
// more frames; (red, green, blue) in 0..255.
QColor ShownPixel(QPoint at)
{
    CDrawThread* thread = theApp->GetMainWnd()->GetMapWnd()->GetDrawThread();
    const uint64_t start = thread->FramesCopied();
    for (int i = 0; i < 100000 && thread->FramesCopied() < start + 2; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(thread->FramesCopied(), start + 2) << "the draw thread copies frames";
    platform::Display* display = theApp->GetDisplay();
    std::lock_guard lock(display->lock());
    const uint16_t p = display->Bits()[at.y() * display->Width() + at.x()];
    return QColor((p >> 11) << 3, ((p >> 5) & 0x3F) << 2, (p & 0x1F) << 3);
}

// The map and the menu in the program, in expert or simple mode.
template <typename Body> void RunWithMenu(bool expert, Body body)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), expert ? 1 : 0);
    rig.SetRunBefore();
    platform::ScopedManualClock clock(1000);
    CProcessObjects objects;
    apptest::RunProgram([&] {
        g_MapController->SetMapScreenActive(0);
        g_language = LANGUAGE_ENGLISH;
        body(*clock);
        CloseApplication();
    });
}

TEST(PopupMenu, ALongPressOnTheMapOpensItsMenuAndARowSetsTheRouteStart)
{
    RunWithMenu(true, [](platform::ManualClock& clock) {
        CMapController& controller = *g_MapController;
        const QPoint at = CentreOn(navtest::VoraduAt(1100, 400));
        const QPoint centreBefore(controller.GetCentreX(), controller.GetCentreY());
        Press(at);
        Tick(clock, CMapPopupMenu::kLongPressMs - 1);
        EXPECT_FALSE(Menu().IsOpen());
        Tick(clock, 1);
        ASSERT_TRUE(Menu().IsOpen());
        // The draw thread draws it over the map: a green row, beside its text.
        ElementPoint rootAt;
        Menu().Root().GetPosition(rootAt);
        const CTreeMenuItem& address = Menu().Root().Items()[2];
        ASSERT_EQ(address.text, QStringLiteral("Address"));
        const QColor row
            = ShownPixel(QPoint(rootAt.x + Menu().Root().GetWidth() - 12, rootAt.y + address.Top() + 4));
        EXPECT_GT(row.green(), 120);
        EXPECT_LT(row.red(), 80);
        EXPECT_LT(row.blue(), 80);
        // Expert mode: every row of the map menu (no diagram button under the press).
        QStringList rows = Rows(Menu().Root());
        rows[0] = rows[0].section(u' ', 0, 0); // POI near the press or not
        EXPECT_EQ(rows,
            (QStringList { "POI", "POI search…", "Address", "Waypoints", "Route", "Passage", "-", "Help" }));
        // The press that opened the menu moves and releases into nothing.
        QTest::mouseMove(Screen(), at + QPoint(30, 30));
        Release(at + QPoint(30, 30));
        EXPECT_TRUE(Menu().IsOpen());
        EXPECT_EQ(QPoint(controller.GetCentreX(), controller.GetCentreY()), centreBefore);
        EXPECT_EQ(g_bPointerUp, 1);
        EXPECT_FALSE(controller.IsPenDown());

        // The route's rows name the four points; choosing one sets it at the press.
        Choose({ "Route" });
        ASSERT_EQ(Menu().OpenLevels().size(), 2u);
        EXPECT_EQ(Rows(*Top()), (QStringList { "Start", "Station 1", "Station 2", "Finish" }));
        const PopupContext pressed = Menu().GetContext();
        Choose({ "Start" });
        EXPECT_FALSE(Menu().IsOpen());
        const RoutePoint start = controller.GetRouteManager().GetRoute().GetPoints()[0];
        EXPECT_TRUE(start.IsSet());
        EXPECT_EQ(QPoint(start.x, start.y), QPoint(pressed.mapX, pressed.mapY));
        EXPECT_EQ(QPoint(controller.GetCentreX(), controller.GetCentreY()), centreBefore)
            << "the taps on the menu never reached the map";
    });
}

TEST(PopupMenu, OnlyAStillPressOfHalfASecondOpensIt)
{
    RunWithMenu(false, [](platform::ManualClock& clock) {
        const QPoint at(60, 100);
        const struct {
            const char* what;
            QPoint move;
            bool opens;
        } table[] = {
            { "held still", { 0, 0 }, true },
            { "6 pixels along one axis", { 6, 0 }, true },
            { "6 pixels up", { 0, -6 }, true },
            { "7 pixels along one axis", { 7, 0 }, false },
            { "5 and 4: more than 6 away", { 5, 4 }, false },
        };
        for (const auto& row : table) {
            SCOPED_TRACE(row.what);
            Press(at);
            QTest::mouseMove(Screen(), at + row.move);
            Deliver();
            Tick(clock, CMapPopupMenu::kLongPressMs);
            EXPECT_EQ(Menu().IsOpen(), row.opens);
            Release(at + row.move);
            if (Menu().IsOpen())
                QTest::keyClick(Screen(), Qt::Key_Left); // Left closes the root
            EXPECT_FALSE(Menu().IsOpen());
        }
        // A release before the half second cancels it for good.
        Press(at);
        Tick(clock, CMapPopupMenu::kLongPressMs - 1);
        Release(at);
        Tick(clock, 1000);
        EXPECT_FALSE(Menu().IsOpen());
        EXPECT_FALSE(platform::IsTimerActive(g_screenTabHwnd.load(), CMapPopupMenu::kLongPressTimer));

        // In the object-name mode a held press names the object and opens no menu.
        ExecuteCommand(10023);
        Press(at);
        Tick(clock, CMapPopupMenu::kLongPressMs);
        EXPECT_FALSE(Menu().IsOpen());
        Release(at);
        ExecuteCommand(10011);
        LongPress(clock, at);
        EXPECT_TRUE(Menu().IsOpen()) << "back in the scroll mode";
    });
}

TEST(PopupMenu, TapsAndKeysOnTheOpenMenu)
{
    RunWithMenu(false, [](platform::ManualClock& clock) {
        CMapController& controller = *g_MapController;
        const auto centre = [&] { return QPoint(controller.GetCentreX(), controller.GetCentreY()); };
        const QPoint at(40, 60);
        LongPress(clock, at);
        ASSERT_TRUE(Menu().IsOpen());
        const QPoint before = centre();

        // A child level open, a tap on another row of its parent closes it and
        // lights that row.
        Choose({ "Waypoints" });
        ASSERT_EQ(Menu().OpenLevels().size(), 2u);
        const QPoint routeRow = RowPoint(Menu().Root(), QStringLiteral("Route"));
        Press(routeRow);
        EXPECT_EQ(Menu().OpenLevels().size(), 1u);
        EXPECT_EQ(Menu().Root().HotRow(), RowIndex(Menu().Root(), QStringLiteral("Route")));
        Release(routeRow);
        ASSERT_EQ(Menu().OpenLevels().size(), 2u);

        // Keys: Left closes the innermost level; others are the menu's.
        QTest::keyClick(Screen(), Qt::Key_Up); // moves the map when no menu is open
        EXPECT_EQ(centre(), before);
        EXPECT_EQ(Menu().OpenLevels().size(), 2u);
        QTest::keyClick(Screen(), Qt::Key_Left);
        EXPECT_EQ(Menu().OpenLevels().size(), 1u);

        // A drag beside every level closes the menu and goes nowhere else.
        QTest::mousePress(Screen(), Qt::LeftButton, Qt::NoModifier, QPoint(230, 310));
        QTest::mouseMove(Screen(), QPoint(180, 250));
        QTest::mouseRelease(Screen(), Qt::LeftButton, Qt::NoModifier, QPoint(180, 250));
        Deliver();
        EXPECT_FALSE(Menu().IsOpen());
        EXPECT_EQ(centre(), before);
        EXPECT_EQ(g_bPointerUp, 1);
        QTest::keyClick(Screen(), Qt::Key_Up);
        EXPECT_NE(centre(), before) << "with the menu closed the key is the map's again";
    });
}

TEST(PopupMenu, SimpleModeOffersNoPassageAndNoPoiSearch)
{
    RunWithMenu(false, [](platform::ManualClock& clock) {
        LongPress(clock, CentreOn(navtest::VoraduAt(1100, 400)));
        ASSERT_TRUE(Menu().IsOpen());
        QStringList rows = Rows(Menu().Root());
        rows[0] = rows[0].section(u' ', 0, 0);
        EXPECT_EQ(rows, (QStringList { "POI", "Address", "Waypoints", "Route", "-", "Help" }));
        for (const CTreeMenuItem& poi : Menu().Root().Items()[0].child->Items())
            EXPECT_TRUE(poi.Has(CTreeMenuItem::STATE_DISABLED)) << poi.text.toStdString();
        // Without waypoints their properties and deletion are off.
        EXPECT_EQ(Rows(*Menu().Root().Items()[2].child),
            (QStringList { "Add waypoint…", "Waypoint prop.… (off)", "Delete waypoint (off)" }));
        // The street under the press is among the addresses, captions that a tap leaves open.
        Choose({ "Address" });
        ASSERT_EQ(Menu().OpenLevels().size(), 2u);
        const CTreeMenu& addresses = *Top();
        ASSERT_FALSE(addresses.Items().empty());
        for (const CTreeMenuItem& row : addresses.Items())
            EXPECT_TRUE(row.Is(CTreeMenuItem::KIND_CAPTION)) << row.text.toStdString();
        Tap(RowPoint(addresses, addresses.Items().front().text));
        EXPECT_EQ(Menu().OpenLevels().size(), 2u);
    });
}

TEST(PopupMenu, ARoadClosedFromTheMenuIsAvoidedByTheNextRoute)
{
    RunWithMenu(true, [](platform::ManualClock& clock) {
        CMapController& controller = *g_MapController;
        CRoute& route = controller.GetRouteManager().GetRoute();
        const MapPoint from = navtest::VoraduAt(950, 400), to = navtest::VoraduAt(1250, 400);
        const auto routeLength = [&] {
            const MapPoint four[] = { from, { kNoMapPoint, kNoMapPoint }, { kNoMapPoint, kNoMapPoint }, to };
            EXPECT_EQ(controller.BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
            return route.GetRouteLength();
        };
        const auto straight = routeLength();
        const QPoint street = CentreOn(navtest::VoraduAt(1100, 400));

        LongPress(clock, street);
        Choose({ "Passage" });
        EXPECT_EQ(
            Rows(*Top()), (QStringList { "Close passage", "No backward passage", "Open passage (off)" }));
        const int32_t road = Menu().GetContext().objectId;
        ASSERT_GE(road, 0);
        Choose({ "Close passage" });
        EXPECT_EQ(GetRoadPassageFlags(controller, road), PASSAGE_CLOSED);

        LongPress(clock, street);
        Choose({ "Passage" });
        EXPECT_EQ(
            Rows(*Top()), (QStringList { "Close passage (off)", "No backward passage", "Open passage" }));
        Choose({ "No backward passage" });
        EXPECT_EQ(GetRoadPassageFlags(controller, road), PASSAGE_CLOSED | PASSAGE_NO_BACKWARD)
            << "closing the way back keeps the closure";
        EXPECT_GT(routeLength(), straight + 100) << "the route goes round the closed street";

        LongPress(clock, street);
        Choose({ "Passage", "Open passage" });
        EXPECT_EQ(GetRoadPassageFlags(controller, road), 0);
        EXPECT_EQ(routeLength(), straight);
    });
}

TEST(PopupMenu, DeleteActsOnlyOnARoutePointOrWaypointNearThePress)
{
    RunWithMenu(false, [](platform::ManualClock& clock) {
        CMapController& controller = *g_MapController;
        CRoute& route = controller.GetRouteManager().GetRoute();
        const MapPoint start = navtest::VoraduAt(950, 400), finish = navtest::VoraduAt(1250, 400);
        const MapPoint four[] = { start, { kNoMapPoint, kNoMapPoint }, { kNoMapPoint, kNoMapPoint }, finish };
        ASSERT_EQ(controller.BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
        // Two waypoints: one at the finish, one far away.
        const MapPoint far = navtest::VoraduAt(-1600, -1600), elsewhere = navtest::VoraduAt(-200, 1400);
        for (const MapPoint& place : { finish, far }) {
            CWaypoint waypoint;
            waypoint.m_name = QStringLiteral("Here");
            waypoint.m_mapX = place.x;
            waypoint.m_mapY = place.y;
            g_waypoints->Append(waypoint);
        }

        // Far from both route points and waypoints: no "Delete" under "Route",
        // and "Delete waypoint" is off, even chosen by its message.
        const QPoint away = CentreOn(elsewhere);
        const double radius = PressRadius(controller);
        for (const MapPoint& place : { start, finish, far })
            ASSERT_GT(std::hypot(double(place.x - elsewhere.x), double(place.y - elsewhere.y)), radius);
        LongPress(clock, away);
        Choose({ "Route" });
        EXPECT_EQ(Rows(*Top()).size(), 4);
        Choose({ "Station 1" }); // closes the menu; the station is set there
        LongPress(clock, away);
        EXPECT_EQ(Rows(*Menu().Root().Items()[2].child),
            (QStringList { "Add waypoint…", "Waypoint prop.…", "Delete waypoint (off)" }));
        Menu().GetCommandWindow()->Execute(POPUP_MSG_DELETE_WAYPOINT, Menu().GetContext());
        EXPECT_EQ(g_waypoints->GetWaypointCount(), 2);
        QTest::keyClick(Screen(), Qt::Key_Left);

        // At the finish: its "Delete" row, with the finish's picture, and the waypoint there.
        LongPress(clock, CentreOn(finish) + QPoint(5, 5));
        Choose({ "Route" });
        const CTreeMenuItem& remove = Top()->Items().back();
        EXPECT_EQ(remove.text, QStringLiteral("Delete"));
        EXPECT_EQ(remove.icon, 789u);
        Choose({ "Delete" });
        std::vector<RoutePoint> points = route.GetPoints();
        EXPECT_TRUE(points[0].IsSet());
        EXPECT_TRUE(points[1].IsSet()) << "the station set above stays";
        EXPECT_FALSE(points[3].IsSet());

        LongPress(clock, CentreOn(finish) + QPoint(5, 5));
        Choose({ "Waypoints", "Delete waypoint" });
        ASSERT_EQ(g_waypoints->GetWaypointCount(), 1);
        EXPECT_EQ(g_waypoints->GetAt(0)->m_mapX, far.x) << "the far one stays";
    });
}

// A button's press as the bars and the folders hand it to the menu: the press
// point, the request, the half second, and the release of that press.
void LongPressButton(platform::ManualClock& clock, const PopupContext& request, QPoint at)
{
    Menu().OnPointerDown({ at.x(), at.y() });
    Menu().ArmLongPress(request);
    Tick(clock, CMapPopupMenu::kLongPressMs);
    EXPECT_EQ(Menu().OnPointerUp({ at.x(), at.y() }), CMapPopupMenu::UP_SWALLOWED);
}

PopupContext ButtonRequest(int32_t kind, int32_t button, int32_t holds, int32_t folder = 0)
{
    PopupContext request;
    request.kind = kind;
    request.element = nullptr;
    request.mapX = button;
    request.mapY = holds;
    request.centreX = folder;
    return request;
}

TEST(PopupMenu, AButtonsMenuOffersEveryCommandAndPutsTheChosenOneOnIt)
{
    RunWithMenu(true, [](platform::ManualClock& clock) {
        CButtonBar& top = g_MapController->GetTopButtonBar();
        CButtonBar& bottom = g_MapController->GetBottomButtonBar();
        ASSERT_TRUE(top.SetButtonCommand(2, 10000));

        LongPressButton(clock, ButtonRequest(POPUP_TOP_BAR, 2, 10000), QPoint(100, 20));
        ASSERT_TRUE(Menu().IsOpen());
        EXPECT_EQ(
            Rows(Menu().Root()), (QStringList { "Moving", "Map", "Route", "Settings", "Search", "Miscel." }));
        Choose({ "Miscel." });
        EXPECT_EQ(Rows(*Top()),
            (QStringList { "Download jam", "Bluetooth", "Screenshot", "Transp.buttons", "Help", "Phone",
                "Minimize", "Close", "Exit", "Empty (on)" }));
        QTest::keyClick(Screen(), Qt::Key_Left);
        Choose({ "Map", "Zoom in" });
        EXPECT_EQ(top.GetButtonCommand(2), 10008);

        LongPressButton(
            clock, ButtonRequest(POPUP_BOTTOM_BAR, 4, bottom.GetButtonCommand(4)), QPoint(100, 300));
        Choose({ "Moving", "Driving mode" });
        EXPECT_EQ(bottom.GetButtonCommand(4), 10042);
        EXPECT_EQ(top.GetButtonCommand(2), 10008);

        // A transparent button of the top folder: the folder rows and the diagrams too.
        CScreenButtonFolders& folders = GetTransparentButtonRoot();
        ASSERT_TRUE(folders.SetButtonCommand(0, 3, 10008));
        LongPressButton(clock, ButtonRequest(POPUP_TRANSPARENT_BUTTON, 3, 10008, 0), QPoint(120, 160));
        EXPECT_EQ(Rows(Menu().Root()),
            (QStringList {
                "Moving", "Map", "Route", "Settings", "Search", "Miscel.", "Folder", "Diagrams" }));
        Choose({ "Folder" });
        EXPECT_EQ(Rows(*Top()), (QStringList { "Folder", "Level up (off)" })) << "no level up from the top";
        QTest::keyClick(Screen(), Qt::Key_Left);
        Choose({ "Map" });
        EXPECT_TRUE(
            Top()->Items()[RowIndex(*Top(), QStringLiteral("Zoom in"))].Has(CTreeMenuItem::STATE_CHECKED));
        QTest::keyClick(Screen(), Qt::Key_Left);
        Choose({ "Diagrams", "Speed" });
        EXPECT_EQ(folders.GetButtonCommand(0, 3), 14003);

        // A sub-folder's button that opens a new folder: its name first, "Folder" checked.
        LongPressButton(
            clock, ButtonRequest(POPUP_TRANSPARENT_BUTTON, 5, BUTTON_NEW_FOLDER, 1), QPoint(120, 160));
        Choose({ "Folder" });
        EXPECT_EQ(Rows(*Top()), (QStringList { "Folder name…", "Folder (on)", "Level up" }));
        QTest::keyClick(Screen(), Qt::Key_Left);
        QTest::keyClick(Screen(), Qt::Key_Left);
        EXPECT_FALSE(Menu().IsOpen());
    });
}

TEST(PopupMenu, EachMessageActsOnTheButtonOfItsOwnRequest)
{
    RunWithMenu(true, [](platform::ManualClock& clock) {
        CPopupCommandWnd& window = *Menu().GetCommandWindow();
        CButtonBar& top = g_MapController->GetTopButtonBar();
        CButtonBar& bottom = g_MapController->GetBottomButtonBar();
        CScreenButtonFolders& folders = GetTransparentButtonRoot();
        PopupContext map;
        map.kind = POPUP_MAP;
        const struct {
            const char* what;
            PopupContext request;
            uint32_t message;
            int32_t top1, bottom1, folder01;
        } table[] = {
            { "a command on the top bar", ButtonRequest(POPUP_TOP_BAR, 1, 0), 10310, 10008, 10000, 10000 },
            { "on the bottom bar", ButtonRequest(POPUP_BOTTOM_BAR, 1, 0), 10311, 10008, 10009, 10000 },
            { "on a transparent button", ButtonRequest(POPUP_TRANSPARENT_BUTTON, 1, 0, 0), 10313, 10008,
                10009, 10011 },
            { "the first of the empty commands", ButtonRequest(POPUP_TOP_BAR, 1, 0), 10300, 10000, 10009,
                10011 },
            { "a diagram on a bar: nothing", ButtonRequest(POPUP_BOTTOM_BAR, 1, 0), 10362, 10000, 10009,
                10011 },
            { "a diagram on a transparent button", ButtonRequest(POPUP_TRANSPARENT_BUTTON, 1, 0, 0), 10362,
                10000, 10009, 14003 },
            { "a command on the map: nothing", map, 10310, 10000, 10009, 14003 },
            { "10270: nothing", ButtonRequest(POPUP_TOP_BAR, 1, 0), POPUP_MSG_NOTHING, 10000, 10009, 14003 },
        };
        ASSERT_TRUE(top.SetButtonCommand(1, 10000));
        ASSERT_TRUE(bottom.SetButtonCommand(1, 10000));
        ASSERT_TRUE(folders.SetButtonCommand(0, 1, 10000));
        for (const auto& row : table) {
            SCOPED_TRACE(row.what);
            window.Execute(row.message, row.request);
            EXPECT_EQ(top.GetButtonCommand(1), row.top1);
            EXPECT_EQ(bottom.GetButtonCommand(1), row.bottom1);
            EXPECT_EQ(folders.GetButtonCommand(0, 1), row.folder01);
        }

        // A row chosen, then a newer long press armed before the choice is
        // carried out: the choice still lands on the button it was made for.
        LongPressButton(clock, ButtonRequest(POPUP_TOP_BAR, 3, top.GetButtonCommand(3)), QPoint(100, 20));
        Choose({ "Map" });
        ElementPoint zoomIn;
        {
            const QPoint p = RowPoint(*Top(), QStringLiteral("Zoom in"));
            zoomIn = { p.x(), p.y() };
        }
        // The stylus reaches the menu without the message loop running in between.
        ScreenTabWndOnPointerDown(zoomIn.x, zoomIn.y);
        ScreenTabWndOnPointerUp(zoomIn.x, zoomIn.y);
        EXPECT_FALSE(Menu().IsOpen());
        Menu().ArmLongPress(ButtonRequest(POPUP_BOTTOM_BAR, 3, bottom.GetButtonCommand(3)));
        const int32_t bottomBefore = bottom.GetButtonCommand(3);
        Deliver();
        EXPECT_EQ(top.GetButtonCommand(3), 10008);
        EXPECT_EQ(bottom.GetButtonCommand(3), bottomBefore);
        Menu().CancelLongPress();
    });
}

// The middle of a button of a bar on the screen.
QPoint BarButton(const CButtonBar& bar, int button)
{
    const int side = GetButtonSide();
    for (int y = side / 2; y < GetScreenHeight(); y += side)
        for (int x = side / 2; x < GetScreenWidth(); x += side)
            if (bar.HitTest({ x, y }) == button)
                return QPoint(x, y);
    ADD_FAILURE() << "button " << button << " is not on the screen";
    return {};
}

// The middle of a transparent button's zone (the centre one for 0).
QPoint Zone(int zone)
{
    static const int rows[17][2] = { { 2, 2 }, { 1, 1 }, { 1, 2 }, { 2, 2 }, { 2, 1 }, { 0, 0 }, { 0, 1 },
        { 0, 2 }, { 0, 3 }, { 1, 3 }, { 2, 3 }, { 3, 3 }, { 3, 2 }, { 3, 1 }, { 3, 0 }, { 2, 0 }, { 1, 0 } };
    const int w = GetScreenWidth(), h = GetScreenHeight();
    const QPoint at = zone == 0 ? QPoint(w / 2, h / 2)
                                : QPoint((2 * rows[zone][1] + 1) * w / 8, (2 * rows[zone][0] + 1) * h / 8);
    EXPECT_EQ(GetTransparentButtonRoot().TapToZone({ at.x(), at.y() }), zone);
    return at;
}

// The folder-name dialog a menu row opens: what it proposed and asked, and
// the name typed over the proposal (empty: cancelled).
struct FolderNameAsked {
    explicit FolderNameAsked(const QString& typed)
    {
        testing_support::WhenModalOpens([this, typed](QWidget* modal) {
            auto* dialog = dynamic_cast<CTextEntryDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            prompt = dialog->GetDlgItemText(IDC_DIALOG_PROMPT);
            proposal = dialog->GetDlgItemText(IDC_TEXT_ENTRY_EDIT);
            auto* edit = dialog->GetDlgItemAs<QLineEdit>(IDC_TEXT_ENTRY_EDIT);
            edit->selectAll();
            // Key events carrying each character, as a keyboard of the language sends them.
            for (const QChar c : typed) {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QCoreApplication::sendEvent(edit, &press);
            }
            dialog->ClickDlgItem(typed.isEmpty() ? platform::IDCANCEL : platform::IDOK);
        });
    }
    QString prompt, proposal;
};

TEST(PopupMenu, LongPressesOnTheBarsPutTheChosenCommandOnThePressedButton)
{
    RunWithMenu(true, [](platform::ManualClock& clock) {
        CMapController& controller = *g_MapController;
        CButtonBar& top = controller.GetTopButtonBar();
        CButtonBar& bottom = controller.GetBottomButtonBar();
        ASSERT_EQ(top.GetState(), CScreenElement::STATE_SHOWN);
        ASSERT_EQ(bottom.GetState(), CScreenElement::STATE_SHOWN);
        const QPoint topButton = BarButton(top, 2), bottomButton = BarButton(bottom, 4);
        const int32_t bottomBefore = bottom.GetButtonCommand(4);

        // The press shows the button pressed and opens the command menu with
        // the button's command checked; the release of that press runs nothing.
        const int32_t scale = controller.GetScale();
        ASSERT_TRUE(top.SetButtonCommand(2, 10009));
        Press(topButton);
        EXPECT_TRUE(top.IsButtonPressed(2));
        Tick(clock, CMapPopupMenu::kLongPressMs);
        Release(topButton);
        ASSERT_TRUE(Menu().IsOpen());
        EXPECT_EQ(controller.GetScale(), scale) << "the release of the long press zoomed out";
        EXPECT_EQ(
            Rows(Menu().Root()), (QStringList { "Moving", "Map", "Route", "Settings", "Search", "Miscel." }));
        const struct {
            const char* submenu;
            QStringList rows;
        } lists[] = {
            { "Moving",
                { "Driving mode", "Add a waypoint", "Road junction", "Always up", "Orient. panel",
                    "GPS tracking" } },
            { "Map",
                { "Scroll", "Window", "Object name", "Zoom", "Zoom in", "Zoom out (on)", "Up", "Down",
                    "Right", "Left" } },
            { "Route",
                { "Route wizard", "Start", "Finish", "Finish only", "Recover", "Delete", "Recreate the route",
                    "Back route", "All route", "Route part" } },
            { "Settings", { "Settings" } },
            { "Search",
                { "Search wizard", "Search", "POI search", "Waypoints", "Waypoints", "All waypoints" } },
            { "Miscel.",
                { "Download jam", "Bluetooth", "Screenshot", "Transp.buttons", "Help", "Phone", "Minimize",
                    "Close", "Exit", "Empty" } },
        };
        for (const auto& list : lists) {
            Choose({ list.submenu });
            EXPECT_EQ(Rows(*Top()), list.rows) << list.submenu;
            QTest::keyClick(Screen(), Qt::Key_Left);
        }
        Choose({ "Map", "Zoom in" });
        EXPECT_FALSE(Menu().IsOpen());
        EXPECT_EQ(top.GetButtonCommand(2), 10008);
        EXPECT_FALSE(top.IsButtonPressed(2)) << "the menu closed: the button lets go";
        EXPECT_EQ(bottom.GetButtonCommand(4), bottomBefore);
        EXPECT_EQ(controller.GetScale(), scale);
        // A tap on the button now runs its new command.
        Tap(topButton);
        EXPECT_LT(controller.GetScale(), scale);

        // The bottom bar, in Russian: the command lands on its own button.
        g_language = LANGUAGE_RUSSIAN;
        LongPress(clock, bottomButton);
        ASSERT_TRUE(Menu().IsOpen());
        EXPECT_EQ(Rows(Menu().Root()),
            (QStringList { "Движение", "Карта", "Маршрут", "Настройки", "Поиск", "Разное" }));
        Choose({ "Маршрут", "Перепроложить" });
        g_language = LANGUAGE_ENGLISH;
        EXPECT_EQ(bottom.GetButtonCommand(4), 10040);
        EXPECT_EQ(top.GetButtonCommand(2), 10008);
    });
}

TEST(PopupMenu, InSimpleModeNoBarLongPressOpensTheMenu)
{
    RunWithMenu(false, [](platform::ManualClock& clock) {
        CMapController& controller = *g_MapController;
        EXPECT_EQ(controller.GetTopButtonBar().GetState(), CScreenElement::STATE_HIDDEN);
        // The quick bar takes its press: held, it opens no menu, and its
        // release still drives the button.
        CQuickMenuBar& quick = *controller.GetQuickBar();
        ASSERT_EQ(quick.GetState(), CScreenElement::STATE_SHOWN);
        ASSERT_EQ(quick.GetButtonCommand(1), CMD_DRIVING_MODE);
        ElementPoint at;
        ElementSize size;
        quick.GetPosition(at);
        quick.GetSize(size);
        const QPoint drive(at.x + size.cx - ScaleByDpiX(8), at.y + size.cy / 2);
        ASSERT_EQ(quick.HitTest({ drive.x(), drive.y() }), 1);
        LongPress(clock, drive);
        EXPECT_FALSE(Menu().IsOpen());
        EXPECT_TRUE(controller.IsMovingMode());
        ExecuteCommand(CMD_DRIVING_MODE);
    });
}

TEST(PopupMenu, ATransparentButtonsMenuMakesFoldersLinksUpAndRenamesThem)
{
    RunWithMenu(false, [](platform::ManualClock& clock) {
        CScreenButtonFolders& folders = GetTransparentButtonRoot();
        ExecuteCommand(10002);
        ASSERT_TRUE(folders.IsShown());
        const int count = folders.GetFolderCount();
        ASSERT_EQ(folders.GetButtonCommand(0, 9), 10037);

        // A command of the top folder: the folder rows, "Level up" off there.
        LongPress(clock, Zone(9));
        ASSERT_TRUE(Menu().IsOpen());
        EXPECT_EQ(Rows(Menu().Root()),
            (QStringList {
                "Moving", "Map", "Route", "Settings", "Search", "Miscel.", "Folder", "Diagrams" }));
        Choose({ "Miscel." });
        EXPECT_TRUE(Top()->Items()[0].Has(CTreeMenuItem::STATE_CHECKED)) << "Download jam, the button's";
        QTest::keyClick(Screen(), Qt::Key_Left);
        Choose({ "Folder" });
        EXPECT_EQ(Rows(*Top()), (QStringList { "Folder", "Level up (off)" }));
        // "Folder", the name dialog cancelled: the button keeps its command.
        {
            FolderNameAsked asked(QString {});
            Choose({ "Folder" });
            EXPECT_EQ(asked.prompt, QStringLiteral("Input folder name"));
            EXPECT_EQ(asked.proposal, QStringLiteral("Folder 1"));
        }
        EXPECT_EQ(folders.GetButtonCommand(0, 9), 10037);
        EXPECT_EQ(folders.GetFolderCount(), count);
        // With a name: a new sub-folder that a tap opens.
        {
            FolderNameAsked asked(QStringLiteral("Garage"));
            LongPress(clock, Zone(9));
            Choose({ "Folder", "Folder" });
        }
        ASSERT_EQ(folders.GetFolderCount(), count + 1);
        EXPECT_EQ(folders.GetButtonCommand(0, 9), count);
        EXPECT_EQ(folders.GetFolderName(count), QStringLiteral("Garage"));
        Tap(Zone(9));
        ASSERT_EQ(folders.GetCurrentFolder(), count);

        // In the sub-folder: "Level up" is on and links the button to the parent.
        LongPress(clock, Zone(7));
        Choose({ "Folder" });
        EXPECT_EQ(Rows(*Top()), (QStringList { "Folder", "Level up" }));
        Choose({ "Level up" });
        EXPECT_EQ(folders.GetButtonCommand(count, 7), 0);
        LongPress(clock, Zone(7));
        Choose({ "Folder" });
        EXPECT_EQ(Rows(*Top()), (QStringList { "Folder", "Level up (on)" }));
        QTest::keyClick(Screen(), Qt::Key_Left);
        QTest::keyClick(Screen(), Qt::Key_Left);
        Tap(Zone(7));
        ASSERT_EQ(folders.GetCurrentFolder(), 0);

        // The button that opens it: "Folder name…" first, renaming the folder.
        {
            FolderNameAsked asked(QStringLiteral("Гараж"));
            LongPress(clock, Zone(9));
            Choose({ "Folder" });
            EXPECT_EQ(Rows(*Top()), (QStringList { "Folder name…", "Folder (on)", "Level up (off)" }));
            Choose({ "Folder name…" });
            EXPECT_EQ(asked.proposal, QStringLiteral("Garage"));
        }
        EXPECT_EQ(folders.GetFolderName(count), QStringLiteral("Гараж"));
        EXPECT_EQ(folders.GetFolderCount(), count + 1);

        // A command put over the link takes the folder away with it.
        LongPress(clock, Zone(9));
        Choose({ "Map", "Zoom in" });
        EXPECT_EQ(folders.GetButtonCommand(0, 9), 10008);
        EXPECT_EQ(folders.GetFolderCount(), count);
        ExecuteCommand(10002);
    });
}

// The search sheet a menu row opens, answered with Cancel: whether it showed
// the POI page, and the place and size it was given.
struct SearchSheetSeen {
    SearchSheetSeen()
    {
        testing_support::WhenModalOpens([this](QWidget* modal) {
            auto* sheet = dynamic_cast<CSheetSearch*>(modal);
            ASSERT_NE(sheet, nullptr);
            onPoiPage = sheet->GetActivePage() == &sheet->GetPoiPage();
            sheet->GetPointedPosition(presetSize, pointed);
            sheet->OnCancel();
        });
    }
    bool onPoiPage = false;
    int32_t presetSize = 0;
    ZXS_Point pointed { -1, -1 };
};

TEST(PopupMenu, TheMapRowsOpenTheirWindows)
{
    RunWithMenu(true, [](platform::ManualClock& clock) {
        SearchSheetSeen seen;
        LongPress(clock, QPoint(60, 80));
        const PopupContext pressed = Menu().GetContext();
        Choose({ "POI search…" });
        EXPECT_TRUE(seen.onPoiPage);
        EXPECT_EQ(QPoint(seen.pointed.x, seen.pointed.y), QPoint(pressed.mapX, pressed.mapY));
        EXPECT_EQ(seen.presetSize, -1);

        // "Add waypoint…" opens the waypoint editor at the press; cancelled it
        // adds nothing, with OK the waypoint stands at the pressed point.
        CWaypointList& waypoints = *g_waypoints;
        const int before = waypoints.GetWaypointCount();
        for (const int answer : { platform::IDCANCEL, platform::IDOK }) {
            testing_support::WhenModalOpens([answer](QWidget* modal) {
                auto* editor = dynamic_cast<CWaypointEditDlg*>(modal);
                ASSERT_NE(editor, nullptr);
                editor->SetDlgItemText(IDC_WPE_NAME, QStringLiteral("Стоянка"));
                editor->ClickDlgItem(answer);
            });
            LongPress(clock, QPoint(60, 80));
            Choose({ "Waypoints", "Add waypoint…" });
        }
        ASSERT_EQ(waypoints.GetWaypointCount(), before + 1);
        const CWaypoint& added = *waypoints.GetAt(waypoints.GetWaypointCount() - 1);
        EXPECT_EQ(added.m_name, QStringLiteral("Стоянка"));
        EXPECT_LE(std::hypot(double(added.m_mapX - pressed.mapX), double(added.m_mapY - pressed.mapY)), 2.0);

        // "Waypoint prop.…" edits the waypoint nearest the press.
        testing_support::WhenModalOpens([](QWidget* modal) {
            auto* editor = dynamic_cast<CWaypointEditDlg*>(modal);
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->GetDlgItemText(IDC_WPE_NAME), QStringLiteral("Стоянка"));
            editor->SetDlgItemText(IDC_WPE_NAME, QStringLiteral("Гараж"));
            editor->ClickDlgItem(platform::IDOK);
        });
        LongPress(clock, QPoint(60, 80));
        Choose({ "Waypoints", "Waypoint prop.…" });
        EXPECT_EQ(waypoints.GetAt(waypoints.GetWaypointCount() - 1)->m_name, QStringLiteral("Гараж"));
    });
}

TEST(PopupMenu, ThePoiAtThePressAreOneRowACategoryAndOpenTheirSearch)
{
    RunWithMenu(true, [](platform::ManualClock& clock) {
        CMapController& controller = *g_MapController;
        std::vector<CPoiResult> everything;
        ASSERT_EQ(controller.GetPoiSearcher().Query(
                      controller.GetMapBounds(), everything, 500, QStringLiteral("Все"), false),
            1);
        ASSERT_FALSE(everything.empty());
        const CPoiResult& poi = everything.front();
        LongPress(clock, CentreOn({ poi.x, poi.y }));
        const CTreeMenuItem& poiRow = Menu().Root().Items()[0];
        EXPECT_FALSE(poiRow.Has(CTreeMenuItem::STATE_DISABLED));
        const QStringList rows = Rows(*poiRow.child);
        EXPECT_TRUE(rows.contains(poi.category)) << rows.join(u'|').toStdString();
        EXPECT_EQ(QSet<QString>(rows.begin(), rows.end()).size(), rows.size()) << "one row a category";
        for (const CTreeMenuItem& row : poiRow.child->Items())
            EXPECT_NE(row.icon, 0u) << row.text.toStdString();
        const PopupContext pressed = Menu().GetContext();
        Choose({ "POI" });
        SearchSheetSeen seen;
        Tap(RowPoint(*Top(), poi.category));
        EXPECT_TRUE(seen.onPoiPage);
        EXPECT_EQ(QPoint(seen.pointed.x, seen.pointed.y), QPoint(pressed.mapX, pressed.mapY));
        EXPECT_EQ(seen.presetSize, 40) << "the square the menu listed";
    });
}

} // namespace
