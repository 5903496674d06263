// Windows opened over the map screen: the first one stops the draw thread's
// copies to the screen, driving mode and the memory reserve, the last one
// brings them back; nested windows change nothing in between. The launchers
// open their sheets through this bracketing.
#include "app/modal_windows.h"

#include "app/draw_thread.h"
#include "app/launcher.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "controls/command_registry.h"
#include "foundation/draw_suspender.h"
#include "foundation/language.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "search/route_wizard.h"
#include "tests/app/app_rig.h"
#include "tests/support/modal_answer.h"

#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

namespace {

CDrawThread* DrawThread() { return theApp->GetMainWnd()->GetMapWnd()->GetDrawThread(); }

// Whether the draw thread copies frames to the screen: it does within two
// seconds, or it does not in a third of one.
bool CopiesFrames(bool expected)
{
    const uint64_t before = DrawThread()->FramesCopied();
    if (expected)
        return QTest::qWaitFor([before] { return DrawThread()->FramesCopied() > before; }, 2000);
    QTest::qWait(300);
    return DrawThread()->FramesCopied() != before;
}

TEST(ModalWindows, NestedWindowsStopTheMapOnceAndOnlyTheLastBringsItBack)
{
    apptest::AppRig rig;
    rig.SetRunBefore();
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    apptest::RunProgram([] {
        ASSERT_TRUE(CopiesFrames(true)) << "the map screen draws before any window opens";
        ExecuteCommand(CMD_DRIVING_MODE);
        ASSERT_TRUE(g_MapController->IsMovingMode());
        ASSERT_TRUE(IsMemoryReserveHeld());

        int outer = 0, inner = 0;
        const ModalWindowEntry first { &outer, 0, {} }, second { &inner, 1, {} };
        RegisterModalWindow(first);
        EXPECT_EQ(ModalWindowCount(), 1u);
        EXPECT_FALSE(g_MapController->IsMovingMode()) << "driving mode waits while a window is open";
        EXPECT_TRUE(g_drawSuspender.IsSuspended());
        EXPECT_FALSE(CopiesFrames(false)) << "a frame was copied over an open window";
        RegisterModalWindow(first);
        EXPECT_EQ(ModalWindowCount(), 1u) << "registered twice";
        RegisterModalWindow(second);
        EXPECT_FALSE(IsMemoryReserveHeld()) << "the second window gives the reserve back";
        UnregisterModalWindow(second);
        EXPECT_TRUE(IsMemoryReserveHeld());
        EXPECT_TRUE(g_drawSuspender.IsSuspended()) << "one window is still open";
        EXPECT_FALSE(CopiesFrames(false));
        UnregisterModalWindow(second);
        EXPECT_EQ(ModalWindowCount(), 1u) << "unregistered twice";
        UnregisterModalWindow(first);
        EXPECT_EQ(ModalWindowCount(), 0u);
        EXPECT_FALSE(g_drawSuspender.IsSuspended());
        EXPECT_TRUE(g_MapController->IsMovingMode()) << "driving mode comes back with the map";
        EXPECT_TRUE(CopiesFrames(true));

        // Switched on again meanwhile: the last window leaves it on.
        RegisterModalWindow(first);
        ExecuteCommand(CMD_DRIVING_MODE);
        UnregisterModalWindow(first);
        EXPECT_TRUE(g_MapController->IsMovingMode());
        ExecuteCommand(CMD_DRIVING_MODE);
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
    });
}

TEST(ModalWindows, TheLaunchersBracketTheirSheetsAndTheRouteWizardRefusesAnUnknownLanguage)
{
    apptest::AppRig rig;
    rig.SetRunBefore();
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    apptest::RunProgram([] {
        ASSERT_TRUE(CopiesFrames(true));
        // The search sheet, and the waypoint editor opened over it.
        QWidget* sheet = nullptr;
        bool innerSeen = false;
        testing_support::WhenModalOpens([&](QWidget* modal) {
            sheet = modal;
            EXPECT_EQ(ModalWindowCount(), 1u);
            EXPECT_FALSE(IsMemoryReserveHeld()) << "the search sheet gives the reserve back";
            EXPECT_FALSE(CopiesFrames(false)) << "a frame was copied over the search sheet";
            testing_support::WhenModalOpens([&](QWidget* editor) {
                innerSeen = editor != sheet;
                EXPECT_EQ(ModalWindowCount(), 2u);
                EXPECT_FALSE(CopiesFrames(false)) << "a frame was copied over the waypoint editor";
                static_cast<QDialog*>(editor)->reject();
            });
            CLauncher::WaypointEditor(0);
            EXPECT_EQ(ModalWindowCount(), 1u);
            EXPECT_TRUE(g_drawSuspender.IsSuspended()) << "the search sheet is still open";
            static_cast<QDialog*>(modal)->reject();
        });
        CLauncher::SearchSheet(SEARCH_PAGE_ADDRESS);
        EXPECT_NE(sheet, nullptr);
        EXPECT_TRUE(innerSeen);
        EXPECT_EQ(ModalWindowCount(), 0u);
        EXPECT_TRUE(IsMemoryReserveHeld());
        EXPECT_TRUE(CopiesFrames(true)) << "the map draws again once the sheet is closed";
        EXPECT_EQ(CLauncher::WaypointEditor(5), -1) << "a page the wizard does not have";
        EXPECT_EQ(ModalWindowCount(), 0u);

        // The route wizard: registered while shown, not while the user picks a
        // point on the map, and no more once closed.
        CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, nullptr);
        ASSERT_NE(GetRouteWizard(), nullptr);
        EXPECT_EQ(ModalWindowCount(), 1u);
        EXPECT_FALSE(CopiesFrames(false)) << "a frame was copied over the route wizard";
        CLauncher::RouteWizard(ROUTE_WIZARD_HIDE, nullptr);
        EXPECT_EQ(ModalWindowCount(), 0u);
        EXPECT_TRUE(CopiesFrames(true)) << "the map is drawn while a point is picked";
        CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, nullptr);
        EXPECT_EQ(ModalWindowCount(), 1u);
        CLauncher::RouteWizard(ROUTE_WIZARD_CLOSE, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([] { return GetRouteWizard() == nullptr; }, 2000));
        EXPECT_EQ(ModalWindowCount(), 0u);
        EXPECT_TRUE(CopiesFrames(true));

        const int language = g_language.exchange(2);
        EXPECT_EQ(CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, nullptr), -1);
        EXPECT_EQ(GetRouteWizard(), nullptr) << "no wizard for a language it has no title in";
        EXPECT_EQ(ModalWindowCount(), 0u);
        g_language = language;
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
    });
}

TEST(ModalWindows, ARouteWizardLeftOpenIsClosedWithTheProgram)
{
    apptest::AppRig rig;
    rig.SetRunBefore();
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    apptest::RunProgram([] {
        CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, nullptr);
        ASSERT_EQ(ModalWindowCount(), 1u);
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
    });
    EXPECT_EQ(ModalWindowCount(), 0u);
    EXPECT_FALSE(g_drawSuspender.IsSuspended()) << "the screen stayed with the closed wizard";
}

} // namespace
