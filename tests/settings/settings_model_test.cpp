// The settings model: the defaults, the profile that names the settings file
// and the route file of each version, a file that cannot be read, and the
// switch between the simple and the expert interface.
#include "controls/button_folders.h"
#include "controls/hard_key_map.h"
#include "foundation/language.h"
#include "gps/gps_fix.h"
#include "platform/profile.h"
#include "search/waypoint.h"
#include "settings/ui_mode.h"
#include "tests/settings/settings_rig.h"
#include "tests/support/file_bytes.h"
#include "ui/message_window.h"

#include <QDir>
#include <QFile>
#include <cmath>

namespace {

using settingstest::SettingsProgram;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

const QString kSection = QStringLiteral("Settings");

QString Profile(const QString& entry) { return platform::GetProfileString(kSection, entry); }

TEST(SettingsModel, AFirstStartTakesTheDefaultsAndSavesThemAtTheDefaultPath)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    CMapController& controller = *g_MapController;
    CRouteGuide& guide = controller.GetRouteManager().GetGuide();
    g_language = LANGUAGE_ENGLISH;
    g_settingsFile->Load(CSettingsFile::FLAG_WAYPOINTS | CSettingsFile::FLAG_VERSION);
    EXPECT_TRUE(
        g_messageWnd->GetText().startsWith(QStringLiteral("Congratulations on successful installation")));
    EXPECT_TRUE(g_settingsFile->GetPath().isEmpty());

    // The defaults, a few of each owner. The fix is at the default place, which
    // the shipped map does not hold: the view starts at the middle of the map,
    // not on its edge with nothing of the map to see.
    const CGpsFix fix = CopyCurrentGpsFix();
    ASSERT_TRUE(fix.IsValid());
    EXPECT_NEAR(fix.GetLatitude().GetRadians(), (55.0 + 44.826 / 60.0) * M_PI / 180.0, 1e-12);
    EXPECT_NEAR(fix.GetLongitude().GetRadians(), (37.0 + 39.048 / 60.0) * M_PI / 180.0, 1e-12);
    const ZXS_Rect bounds = controller.GetMapBounds();
    ASSERT_LT(bounds.left, bounds.right);
    const int32_t middleX = bounds.left / 2 + bounds.right / 2, middleY = bounds.top / 2 + bounds.bottom / 2;
    EXPECT_EQ(controller.GetCentreX(), middleX);
    EXPECT_EQ(controller.GetCentreY(), middleY);
    // A place the map holds is the start centre itself.
    CGeoPos inside;
    controller.SetCentre(bounds.left + (bounds.right - bounds.left) / 4, middleY);
    ASSERT_TRUE(controller.GetCentreGeoPosition(inside));
    const int32_t insideX = controller.GetCentreX();
    controller.SetCentre(middleX, middleY);
    controller.SetStartCentre(inside);
    EXPECT_NEAR(controller.GetCentreX(), insideX, 1);
    EXPECT_NEAR(controller.GetCentreY(), middleY, 1);
    controller.SetCentre(middleX, middleY);
    EXPECT_EQ(controller.GetScale(), GetDefaultMapScale());
    EXPECT_EQ(g_language, LANGUAGE_RUSSIAN);
    EXPECT_EQ(controller.GetRouteManager().GetCorridorWidth(), 120.0);
    EXPECT_EQ(guide.GetSensitivity(), CRouteGuide::kDefaultSensitivity);
    EXPECT_EQ(guide.GetFirstPromptDistance(), 250);
    EXPECT_EQ(guide.GetSecondPromptDistance(), 160);
    EXPECT_EQ(guide.IsFirstPromptOn(), 0);
    EXPECT_EQ(guide.IsFinalPromptOn(), 1);
    EXPECT_EQ(guide.GetRepeatCount(), 2);
    EXPECT_EQ(guide.GetForksOnly(), 1);
    EXPECT_EQ(g_waypoints->GetAlertRadius(), CWaypointListBase::kDefaultAlertRadius);
    EXPECT_EQ(g_jamSettings.host, QString::fromLatin1(kDefaultProviderHost));
    EXPECT_EQ(g_jamSettings.comPort, 2);
    EXPECT_EQ(g_jamSettings.periodMinutes, 5);
    EXPECT_EQ(g_HardKeyMap->GetCommand(1), 10042);
    EXPECT_EQ(GetTransparentButtonRoot().GetFolderCount(), 5);
    EXPECT_EQ(controller.GetTopButtonBar().GetButtonCommand(0), 10037);

    ASSERT_TRUE(g_settingsFile->Save(
        CSettingsFile::FLAG_WAYPOINTS | CSettingsFile::FLAG_VERSION | CSettingsFile::FLAG_ROUTE));
    EXPECT_EQ(Profile(QStringLiteral("vertion")), QStringLiteral("204272"));
    EXPECT_EQ(Profile(QStringLiteral("Settings vertion:204272")),
        QStringLiteral("\\My Documents\\Travenor Pro settings.kns"));
    EXPECT_EQ(Profile(QStringLiteral("Route version:204272")),
        QStringLiteral("\\My Documents\\Travenor Pro route.rt"));
    EXPECT_TRUE(QFile::exists(program.LocalPath(QStringLiteral("Travenor Pro settings.kns"))));
    EXPECT_TRUE(QFile::exists(program.LocalPath(QStringLiteral("Travenor Pro route.rt"))));
    EXPECT_EQ(g_settingsFile->GetPath(), QStringLiteral("\\My Documents\\Travenor Pro settings.kns"));
}

TEST(SettingsModel, AnUpgradeReadsTheFilesOfTheVersionRunBefore)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    CRouteManager& routes = g_MapController->GetRouteManager();
    g_settingsFile->SetDefaults();
    routes.SetCorridorWidth(333.0);
    const QString settings = SettingsProgram::DevicePath(QStringLiteral("Old settings.kns"));
    ASSERT_TRUE(g_settingsFile->Write(settings));
    const QString route = SettingsProgram::DevicePath(QStringLiteral("Old route.rt"));
    ASSERT_EQ(routes.GetRoute().SaveToFile(route), 1);
    platform::WriteProfileString(kSection, QStringLiteral("vertion"), QStringLiteral("204100"));
    platform::WriteProfileString(kSection, QStringLiteral("Settings vertion:204100"), settings);
    platform::WriteProfileString(kSection, QStringLiteral("Route version:204100"), route);

    g_settingsFile->SetDefaults();
    g_settingsFile->Load(CSettingsFile::FLAG_VERSION);
    EXPECT_EQ(routes.GetCorridorWidth(), 333.0);
    EXPECT_EQ(g_settingsFile->GetPath(), settings);
    EXPECT_TRUE(g_messageWnd->GetText().contains(QStringLiteral("Travenor Pro Voradu")));
    EXPECT_TRUE(g_settingsFile->RestoreRoute(0));
    // Only this version's entry: there is none.
    EXPECT_FALSE(g_settingsFile->RestoreRoute(CSettingsFile::ROUTE_OWN_VERSION));

    // A route file that is gone is told.
    ASSERT_TRUE(QFile::remove(program.LocalPath(QStringLiteral("Old route.rt"))));
    g_messageWnd->Show(QString(), QString(), 0, -1, 0);
    EXPECT_FALSE(g_settingsFile->RestoreRoute(0));
    EXPECT_EQ(g_messageWnd->GetText(), QStringLiteral("Не могу открыть файл с маршрутом."));
    // The save-route option off: nothing is restored, and nothing saved at exit.
    routes.SetSaveRouteOnExit(0);
    EXPECT_FALSE(g_settingsFile->RestoreRoute(0));
    EXPECT_FALSE(g_settingsFile->SaveRoute(0));
}

TEST(SettingsModel, AFileThatCannotBeReadStaysTheUsersAndIsKeptBeforeTheFirstSave)
{
    {
        SettingsProgram program;
        ASSERT_TRUE(program.attached);
        const QString path = SettingsProgram::DevicePath(QStringLiteral("Mine.kns"));
        const QByteArray damaged
            = QByteArray("\xFF\xFE\xFF\x05") + QByteArray("w\0r\0o\0n\0g\0", 10) + "tail";
        ASSERT_TRUE(WriteFileBytes(program.LocalPath(QStringLiteral("Mine.kns")), damaged));
        platform::WriteProfileString(kSection, QStringLiteral("Settings vertion:204272"), path);

        g_MapController->GetRouteManager().SetCorridorWidth(333.0);
        g_settingsFile->Load(0);
        EXPECT_TRUE(g_messageWnd->GetText().contains(QStringLiteral("Can't open kns")));
        EXPECT_EQ(g_MapController->GetRouteManager().GetCorridorWidth(), 120.0)
            << "the defaults are in force";
        EXPECT_EQ(g_settingsFile->GetPath(), path);

        ASSERT_TRUE(g_settingsFile->Save(0));
        EXPECT_EQ(ReadFileBytes(program.LocalPath(QStringLiteral("Mine.kns.bak"))), damaged);
        EXPECT_EQ(Profile(QStringLiteral("Settings vertion:204272")), path);
        EXPECT_EQ(g_settingsFile->Read(path), 1);
        // Once written by this run, the file is no longer kept aside.
        ASSERT_TRUE(QFile::remove(program.LocalPath(QStringLiteral("Mine.kns.bak"))));
        ASSERT_TRUE(g_settingsFile->Save(0));
        EXPECT_FALSE(QFile::exists(program.LocalPath(QStringLiteral("Mine.kns.bak"))));
    }

    // A first start keeps a file that lies at the default path already.
    SettingsProgram fresh;
    ASSERT_TRUE(fresh.attached);
    const QByteArray foreign("somebody else's settings");
    ASSERT_TRUE(WriteFileBytes(fresh.LocalPath(QStringLiteral("Travenor Pro settings.kns")), foreign));
    g_settingsFile->Load(0);
    ASSERT_TRUE(g_settingsFile->Save(0));
    EXPECT_EQ(ReadFileBytes(fresh.LocalPath(QStringLiteral("Travenor Pro settings.kns.bak"))), foreign);
}

TEST(SettingsModel, TheModeSwitchReloadsOnlyAfterASavedFile)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    CMapController& controller = *g_MapController;
    CRouteManager& routes = controller.GetRouteManager();
    g_bExpertMode = 0;
    g_settingsFile->SetDefaults();
    ASSERT_TRUE(QDir().mkpath(program.LocalPath(QStringLiteral("Cards"))));
    ASSERT_TRUE(g_settingsFile->Write(SettingsProgram::DevicePath(QStringLiteral("Cards\\Mode.kns"))));

    routes.SetCorridorWidth(250.0);
    ApplyUiMode(1, 1);
    EXPECT_EQ(g_bExpertMode, 1);
    EXPECT_EQ(routes.GetCorridorWidth(), 250.0);
    EXPECT_EQ(controller.GetTopButtonBar().GetState(), CScreenElement::STATE_SHOWN);
    EXPECT_EQ(controller.GetBottomButtonBar().GetState(), CScreenElement::STATE_SHOWN);

    // The file's card is gone: the write fails, the mode changes, the settings stay.
    routes.SetCorridorWidth(260.0);
    ASSERT_TRUE(QDir(program.LocalPath(QStringLiteral("Cards"))).removeRecursively());
    ApplyUiMode(0, 1);
    EXPECT_EQ(g_bExpertMode, 0);
    EXPECT_EQ(routes.GetCorridorWidth(), 260.0);
    EXPECT_EQ(controller.GetTopButtonBar().GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(controller.GetBottomButtonBar().GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(g_settingsFile->GetPath(), SettingsProgram::DevicePath(QStringLiteral("Cards\\Mode.kns")));
}

} // namespace
