// What the start-up writes: the settings-file type and a settings file given
// on the command line.
#include "app/main_frame.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace {

QString DefaultValue(const QString& path)
{
    platform::RegKey key;
    QString value;
    if (platform::registry().Open(platform::RegRoot::HKCR, path, &key) == platform::RegResult::Ok)
        key.QueryString(QString(), &value);
    return value;
}

TEST(TravenorApp, TheSettingsFileTypeKeepsAnotherProgramsAssociation)
{
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    for (const QString& before :
        { QString(), QStringLiteral("TravenorPro.Document"), QStringLiteral("Other.Document") }) {
        SCOPED_TRACE(before.toStdString());
        apptest::AppRig rig;
        if (!before.isEmpty()) {
            platform::RegKey key;
            platform::registry().Create(platform::RegRoot::HKCR, QStringLiteral(".kns"), &key);
            key.SetString(QString(), before);
        }
        EXPECT_TRUE(RegisterFileType(100));
        EXPECT_EQ(DefaultValue(QStringLiteral(".kns")),
            before == QStringLiteral("Other.Document") ? before : QStringLiteral("TravenorPro.Document"));
        EXPECT_EQ(
            DefaultValue(QStringLiteral("TravenorPro.Document")), QStringLiteral("Travenor Pro Document"));
        EXPECT_EQ(DefaultValue(QStringLiteral("TravenorPro.Document\\DefaultIcon")),
            program + QStringLiteral(",0"));
        EXPECT_EQ(DefaultValue(QStringLiteral("TravenorPro.Document\\shell\\open\\command")),
            QStringLiteral("\"%1\" \"%2\"").arg(program, QStringLiteral("%1")));
    }
    EXPECT_FALSE(RegisterFileType(101));
}

TEST(TravenorApp, ASettingsFileOnTheCommandLineBecomesTheCurrentOneInExpertMode)
{
    for (const bool given : { true, false }) {
        SCOPED_TRACE(given ? "given" : "none");
        apptest::AppRig rig;
        rig.SetProfileInt(QStringLiteral("expert mode"), 0);
        platform::Options o = platform::options();
        o.documentsDir = rig.ProgramFolder() + QStringLiteral("/Documents");
        o.settingsFile = given ? o.documentsDir + QStringLiteral("/Trip.kns") : QString();
        platform::setOptions(o);

        CProcessObjects objects;
        ASSERT_TRUE(theApp->InitInstance());
        EXPECT_EQ(
            platform::GetProfileString(QStringLiteral("Settings"), QStringLiteral("Settings vertion:204272")),
            given ? QStringLiteral("\\My Documents\\Trip.kns") : QString());
        EXPECT_EQ(g_bExpertMode, given ? 1 : 0);
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
        theApp->Run();
        theApp->ExitInstance();
    }
}

} // namespace
