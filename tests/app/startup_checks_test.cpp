// The start-up checks: which starts are refused with which message, the
// first-run mode question, and that a refused start ends the program with a
// failure status and leaves the registry and the program folder as they were.
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "platform/registry.h"
#include "settings/settings_record.h"
#include "settings/ui_mode.h"
#include "tests/app/app_rig.h"
#include "tests/support/modal_answer.h"
#include "tests/support/screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const char kWriteProtected[] = "Карточка, с которой запускается Travenor Pro защищена от записи. Переставьте "
                               "переключатель в положение \"Unlock\".\nThis Storage Card is write-protected. "
                               "Please, switch to \"Unlock\".";
const char kUnstandardScreen[]
    = "Запустить Travenor Pro невозможно, т.к. размеры экрана не стандартны. "
      "Попробуйте изменить ориентацию экрана. It's impossible to start Travenor Pro "
      "since the screen size is unstandard. Try to change the screen orientation.";

struct Case {
    const char* name;
    QSize screen;
    bool writableFolder;
    int expertModeStored; // -1: never chosen
    int modeAnswered; // the first-run question's answer, -1: not asked
    const char* message; // the one message shown, or null
    int expertMode; // after the checks
};

const Case kCases[] = {
    { "supported landscape 480x234", { 480, 234 }, true, 1, -1, nullptr, 1 },
    { "supported portrait 240x320", { 240, 320 }, true, 0, -1, nullptr, 0 },
    { "refused 234x480", { 234, 480 }, true, 0, -1, kUnstandardScreen, 0 },
    { "refused 320x320", { 320, 320 }, true, 0, -1, kUnstandardScreen, 0 },
    // The screen is not looked at once the folder refused the start.
    { "read-only program folder", { 234, 480 }, false, 0, -1, kWriteProtected, 0 },
    { "first run, expert chosen", { 240, 320 }, true, -1, 1, nullptr, 1 },
    { "first run, simple kept", { 640, 480 }, true, -1, 0, nullptr, 0 },
};

// A folder in the way of the write test's file: even root cannot create it.
void MakeReadOnly(const QString& folder)
{
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("adsfewegrtq.rgf")));
}

void AnswerModeQuestion(int mode)
{
    testing_support::WhenModalOpens([mode](QWidget* dialog) {
        ASSERT_TRUE(dynamic_cast<CUiModeDlg*>(dialog));
        testing_support::SaveScreenshot(
            *dialog, QStringLiteral("ui_mode_%1x%2").arg(dialog->width()).arg(dialog->height()));
        if (mode == 1)
            QTest::mouseClick(
                dialog->findChild<QRadioButton*>(QString::number(IDC_UI_MODE_EXPERT)), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("1")), Qt::LeftButton);
    });
}

TEST(StartupChecks, TableOfStarts)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        apptest::AppRig rig(c.screen);
        if (c.expertModeStored >= 0)
            rig.SetProfileInt(QStringLiteral("expert mode"), uint32_t(c.expertModeStored));
        if (!c.writableFolder)
            MakeReadOnly(rig.ProgramFolder());
        const QByteArray registryBefore = rig.RegistryBytes();
        const QStringList folderBefore
            = QDir(rig.ProgramFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        if (c.modeAnswered >= 0)
            AnswerModeQuestion(c.modeAnswered);
        g_bExpertMode = -1;

        CProcessObjects objects;
        const bool passed = theApp->RunStartupChecks();
        EXPECT_EQ(passed, c.message == nullptr);
        ASSERT_EQ(rig.boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(rig.boxes[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(rig.boxes[0].caption, QStringLiteral("Travenor Pro"));
        } else {
            EXPECT_EQ(g_bExpertMode, c.expertMode);
            EXPECT_EQ(g_gpsSourceNumber, 10);
            EXPECT_EQ(g_buttonTooltips, 1);
            // The start that goes on names the program in its key, and changes nothing else.
            platform::RegKey application;
            QString path;
            ASSERT_EQ(platform::registry().Open(platform::RegRoot::HKCU,
                          QStringLiteral("Software\\Orvantis\\Travenor Pro"), &application),
                platform::RegResult::Ok);
            EXPECT_EQ(application.QueryString(QStringLiteral("Path"), &path), platform::RegResult::Ok);
            EXPECT_EQ(path, QCoreApplication::applicationFilePath());
            application.DeleteValue(QStringLiteral("Path"));
        }
        // A refused start changes nothing on the device; one that goes on
        // nothing but the program's path (on a first start, in a key of its own).
        if (c.message || !registryBefore.isEmpty()) {
            EXPECT_EQ(rig.RegistryBytes(), registryBefore);
        }
        EXPECT_EQ(QDir(rig.ProgramFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), folderBefore);
    }
}

TEST(StartupChecks, ARefusedStartEndsWithAFailureStatusAndChangesNothing)
{
    for (const bool writable : { true, false }) {
        SCOPED_TRACE(writable ? "unstandard screen" : "read-only folder");
        apptest::AppRig rig(QSize(234, 480));
        rig.SetProfileInt(QStringLiteral("expert mode"), 1);
        if (!writable)
            MakeReadOnly(rig.ProgramFolder());
        const QByteArray registryBefore = rig.RegistryBytes();

        CProcessObjects objects;
        EXPECT_EQ(theApp->Main(), CTravenorApp::EXIT_FAILED);
        ASSERT_EQ(rig.boxes.size(), 1u);
        EXPECT_EQ(rig.boxes[0].text, QString::fromUtf8(writable ? kUnstandardScreen : kWriteProtected));
        EXPECT_EQ(theApp->GetMainWnd(), nullptr);
        EXPECT_EQ(rig.RegistryBytes(), registryBefore);
    }
}

TEST(StartupChecks, DocumentsFolderComesFromTheSynchronisationKey)
{
    for (const bool configured : { false, true }) {
        apptest::AppRig rig;
        rig.SetProfileInt(QStringLiteral("expert mode"), 0);
        if (configured) {
            platform::RegKey key;
            platform::registry().Create(
                platform::RegRoot::HKLM, QStringLiteral("Software\\Microsoft\\Windows CE Services"), &key);
            key.SetString(QStringLiteral("NoSubFolderIn"), QStringLiteral("\\Storage Card\\Documents\\"));
        }
        CProcessObjects objects;
        ASSERT_TRUE(theApp->RunStartupChecks());
        EXPECT_EQ(g_documentsFolder,
            configured ? QStringLiteral("\\Storage Card\\Documents\\") : QStringLiteral("\\My Documents\\"));
    }
}

} // namespace
