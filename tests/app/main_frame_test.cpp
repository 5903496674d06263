// The program started in this process: its frame's messages, the window's
// close button and what the close saves.
#include "app/app_messages.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "foundation/draw_suspender.h"
#include "platform/display.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"
#include "ui/message_window.h"

#include <QCoreApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(MainFrame, TheWindowsCloseButtonClosesAsTheUserDoesAndSavesTheSettings)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    const int status = apptest::RunProgram([] {
        g_bExpertMode = 1;
        EXPECT_TRUE(theApp->IsStartupFinished());
        EXPECT_TRUE(theApp->GetDeviceScreen()->isVisible());
        theApp->GetDeviceScreen()->close();
    });
    EXPECT_EQ(status, CTravenorApp::EXIT_OK);
    EXPECT_EQ(g_bSaveSettingsOnExit, 1);
    EXPECT_FALSE(theApp->GetDeviceScreen()->isVisible());
    EXPECT_EQ(platform::GetProfileString(QStringLiteral("Settings"), QStringLiteral("vertion")),
        QStringLiteral("204272"));
    EXPECT_EQ(platform::GetProfileInt(QStringLiteral("Settings"), QStringLiteral("expert mode"), 2), 1);
}

TEST(MainFrame, ClosedOtherwiseTheSettingsStayAsTheyWere)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    const int status = apptest::RunProgram([] {
        g_bExpertMode = 1;
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
    });
    EXPECT_EQ(status, CTravenorApp::EXIT_OK);
    EXPECT_EQ(platform::GetProfileInt(QStringLiteral("Settings"), QStringLiteral("expert mode"), 2), 0);
}

TEST(MainFrame, BackgroundAndFrontStopAndResumeTheDrawingOnce)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    apptest::RunProgram([] {
        CMainFrame* frame = theApp->GetMainWnd();
        ASSERT_FALSE(g_drawSuspender.IsSuspended());
        platform::send(frame, MSG_GO_TO_BACKGROUND);
        platform::send(frame, MSG_GO_TO_BACKGROUND);
        EXPECT_TRUE(g_drawSuspender.IsSuspended());
        EXPECT_TRUE(frame->Screen().isMinimized());
        platform::send(frame, MSG_COME_TO_FRONT);
        EXPECT_FALSE(g_drawSuspender.IsSuspended());
        EXPECT_FALSE(frame->Screen().isMinimized());
        // A second start's request while in front changes nothing.
        platform::send(frame, MSG_COME_TO_FRONT);
        EXPECT_FALSE(g_drawSuspender.IsSuspended());
        CloseApplication();
    });
}

TEST(MainFrame, ASizeChangeOfOneSideIsIgnoredAndTheModeMessageSwitchesTheMode)
{
    apptest::AppRig rig(QSize(480, 640), 192);
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    rig.SetRunBefore();
    CProcessObjects objects;
    apptest::RunProgram([&] {
        CMainFrame* frame = theApp->GetMainWnd();
        // The input panel takes height only: nothing happens.
        platform::send(frame, platform::WM_SIZE, 0, (500 << 16) | 480);
        platform::send(frame, platform::WM_SIZE, 0, (640 << 16) | 400);
        EXPECT_TRUE(rig.boxes.empty());
        EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_HIDDEN);
        // A turned screen, with the map in front: the user is asked, the program goes on.
        platform::send(frame, platform::WM_SIZE, 0, (480 << 16) | 640);
        EXPECT_EQ(g_messageWnd->GetState(), CScreenElement::STATE_SHOWN);
        EXPECT_TRUE(g_messageWnd->CapturesInput());
        EXPECT_TRUE(rig.boxes.empty());
        g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
        EXPECT_EQ(g_bExpertMode, 0);
        platform::send(frame, WM_APP_APPLY_UI_MODE, 1);
        EXPECT_EQ(g_bExpertMode, 1);
        CloseApplication();
    });
    EXPECT_TRUE(rig.boxes.empty());
}

TEST(MainFrame, TheMapWindowTakesTheScreenAndGivesItBackAtTheEnd)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    apptest::RunProgram([] {
        CMapWnd* map = theApp->GetMainWnd()->GetMapWnd();
        EXPECT_FALSE(map->IsFirstPaintPending());
        EXPECT_TRUE(map->IsFullScreen());
        EXPECT_FALSE(platform::GetShellState().taskBarVisible);
        // Help that cannot be shown keeps the map in full screen.
        platform::send(theApp->GetMainWnd(), WM_APP_HELP);
        EXPECT_EQ(map->m_bLeaveFullScreenOnKillFocus, 0);
        EXPECT_TRUE(map->IsFullScreen());
        CloseApplication();
    });
    EXPECT_TRUE(platform::GetShellState().taskBarVisible);
}

} // namespace
