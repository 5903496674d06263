// The device settings changed for the run, on a registry file of its own: what
// a start finds (values present, missing, or left held by a run that never
// reached its exit), what the run sets, and what exit writes back.
#include "app/device_config.h"

#include "platform/registry.h"
#include "tests/support/scoped_registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

using platform::RegRoot;

const QString kApplicationKey = QStringLiteral("Software\\Orvantis\\Travenor Pro");
const QString kPowerKey = QStringLiteral("System\\CurrentControlSet\\Control\\Power\\Timeouts");
const QString kShellKey = QStringLiteral("SOFTWARE\\Microsoft\\Shell\\Rai");
const QString kDockWareKey = QStringLiteral("Software\\Ilium Software\\DockWare");
const QString kCommKey = QStringLiteral("ControlPanel\\Comm");

platform::RegKey Key(RegRoot root, const QString& path)
{
    platform::RegKey key;
    EXPECT_EQ(platform::registry().Create(root, path, &key), platform::RegResult::Ok);
    return key;
}

void Set(RegRoot root, const QString& path, const char* name, std::optional<uint32_t> value)
{
    if (value)
        Key(root, path).SetDword(QString::fromLatin1(name), *value);
}

std::optional<uint32_t> Get(RegRoot root, const QString& path, const char* name)
{
    platform::RegKey key;
    uint32_t value = 0;
    if (platform::registry().Open(root, path, &key) != platform::RegResult::Ok
        || key.QueryDword(QString::fromLatin1(name), &value) != platform::RegResult::Ok)
        return std::nullopt;
    return value;
}

TEST(DeviceConfig, ARunPutsBackTheUsersValuesAndOnlyThose)
{
    const std::optional<uint32_t> none;
    const struct {
        const char* what;
        std::optional<uint32_t> battery, mains, session; // at start
        bool crashedBefore; // the last run left its zeros and its flag
    } cases[] = {
        { "all present", 180, 600, 60, false },
        { "a value missing", 180, none, 60, false },
        { "a crashed run held them", 180, 600, 60, true },
        { "a crashed run held a missing one", 180, none, 60, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::ScopedRegistryFile registry;
        Key(RegRoot::HKLM, kPowerKey);
        Key(RegRoot::HKLM, kShellKey);
        Set(RegRoot::HKLM, kPowerKey, "BattSuspendTimeout", c.battery);
        Set(RegRoot::HKLM, kPowerKey, "ACSuspendTimeout", c.mains);
        Set(RegRoot::HKLM, kShellKey, "SessionTimeout", c.session);
        if (c.crashedBefore) {
            SavePowerTimeouts();
            // The run ends without its exit steps: the device keeps its zeros.
            ASSERT_EQ(Get(RegRoot::HKLM, kPowerKey, "BattSuspendTimeout"), 0u);
        }

        SavePowerTimeouts();
        EXPECT_EQ(Get(RegRoot::HKLM, kPowerKey, "BattSuspendTimeout"), 0u);
        EXPECT_EQ(Get(RegRoot::HKLM, kPowerKey, "ACSuspendTimeout"), 0u);
        EXPECT_EQ(Get(RegRoot::HKLM, kShellKey, "SessionTimeout"), 0u);
        RestorePowerTimeouts();
        EXPECT_EQ(Get(RegRoot::HKLM, kPowerKey, "BattSuspendTimeout"), c.battery);
        EXPECT_EQ(Get(RegRoot::HKLM, kPowerKey, "ACSuspendTimeout"), c.mains)
            << "a missing value stays missing";
        EXPECT_EQ(Get(RegRoot::HKLM, kShellKey, "SessionTimeout"), c.session);
        // A second exit step finds nothing held and changes nothing.
        Set(RegRoot::HKLM, kPowerKey, "BattSuspendTimeout", 5u);
        RestorePowerTimeouts();
        EXPECT_EQ(Get(RegRoot::HKLM, kPowerKey, "BattSuspendTimeout"), 5u);
    }

    // A device without the keys: nothing is made there.
    testing_support::ScopedRegistryFile registry;
    SavePowerTimeouts();
    RestorePowerTimeouts();
    platform::RegKey key;
    EXPECT_NE(platform::registry().Open(RegRoot::HKLM, kPowerKey, &key), platform::RegResult::Ok);
}

TEST(DeviceConfig, TheScreenSaverAndTheAutoConnectGoBackAsTheUserHadThem)
{
    const std::optional<uint32_t> none;
    const struct {
        const char* what;
        std::optional<uint32_t> disable, autoConnect;
        bool crashedBefore;
    } cases[] = {
        { "saver on, connect on", 0, 1, false },
        { "saver off, connect off", 1, 0, false },
        { "values missing", none, none, false },
        { "a crashed run held them", 0, 1, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::ScopedRegistryFile registry;
        // Without the application key nothing is done (it is not made here).
        EXPECT_FALSE(SetDockWareDisabled(0));
        EXPECT_FALSE(SetActiveSyncAutoConnect(0));
        Key(RegRoot::HKCU, kApplicationKey);
        Key(RegRoot::HKCU, kDockWareKey);
        Key(RegRoot::HKCU, kCommKey);
        Set(RegRoot::HKCU, kDockWareKey, "Disable", c.disable);
        Set(RegRoot::HKCU, kCommKey, "AutoCnct", c.autoConnect);
        if (c.crashedBefore) {
            SetDockWareDisabled(0);
            SetActiveSyncAutoConnect(0);
        }

        ASSERT_TRUE(SetDockWareDisabled(0));
        EXPECT_EQ(Get(RegRoot::HKCU, kDockWareKey, "Disable"), 1u);
        // The settings switch the connection off and on again during the run.
        ASSERT_TRUE(SetActiveSyncAutoConnect(0));
        EXPECT_EQ(Get(RegRoot::HKCU, kCommKey, "AutoCnct"), 0u);
        ASSERT_TRUE(SetActiveSyncAutoConnect(1));
        ASSERT_TRUE(SetActiveSyncAutoConnect(0));
        EXPECT_TRUE(SetActiveSyncAutoConnect(2)) << "another value writes nothing";
        EXPECT_EQ(Get(RegRoot::HKCU, kCommKey, "AutoCnct"), 0u);

        ASSERT_TRUE(SetDockWareDisabled(1));
        RestoreActiveSyncAutoConnect();
        EXPECT_EQ(Get(RegRoot::HKCU, kDockWareKey, "Disable"), c.disable);
        EXPECT_EQ(Get(RegRoot::HKCU, kCommKey, "AutoCnct"), c.autoConnect);
    }

    // An exit step of a run that never switched the saver off leaves the user's value.
    testing_support::ScopedRegistryFile registry;
    Key(RegRoot::HKCU, kApplicationKey);
    Set(RegRoot::HKCU, kDockWareKey, "Disable", 1u);
    ASSERT_TRUE(SetDockWareDisabled(1));
    EXPECT_EQ(Get(RegRoot::HKCU, kDockWareKey, "Disable"), 1u);
}

TEST(DeviceConfig, TheScreenRotationAndTheSoundSwitch)
{
    testing_support::ScopedRegistryFile registry;
    const QString rotationKey = QStringLiteral("System\\GDI\\Rotation");
    const struct {
        uint32_t angle;
        int code;
    } angles[] = { { 0, 1 }, { 90, 2 }, { 180, 3 }, { 270, 4 }, { 45, 0 }, { 90, 2 } };
    for (const auto& a : angles) {
        Set(RegRoot::HKLM, rotationKey, "Angle", a.angle);
        EXPECT_EQ(GetScreenRotation(), a.code) << a.angle;
    }
    Key(RegRoot::HKLM, rotationKey).SetString(QStringLiteral("Angle"), QStringLiteral("270"));
    EXPECT_EQ(GetScreenRotation(), 2) << "an angle of another type answers the last rotation";

    // Sound off keeps the system sounds' values and the wave volume; on puts them back.
    const QString volumeKey = QStringLiteral("ControlPanel\\Volume");
    const QString overridesKey = QStringLiteral("ControlPanel\\Notifications\\ShellOverrides");
    EXPECT_FALSE(SoundOff()) << "without the keys";
    Key(RegRoot::HKCU, overridesKey);
    Set(RegRoot::HKCU, volumeKey, "Volume", 0xAAAAAAAAu);
    Key(RegRoot::HKCU, volumeKey).SetBinary(QStringLiteral("Screen"), QByteArray("\x01\x02", 2));
    Set(RegRoot::HKCU, volumeKey, "Key", 3u);
    SetWaveVolume(0x8000);
    EXPECT_TRUE(IsSoundOn());
    ASSERT_TRUE(SoundOff());
    EXPECT_EQ(GetShellOverrideVolume(), 0x8000u);
    SetWaveVolume(0);
    EXPECT_FALSE(IsSoundOn());
    Set(RegRoot::HKCU, volumeKey, "Volume", 0u);
    Key(RegRoot::HKCU, volumeKey).SetBinary(QStringLiteral("Screen"), QByteArray());
    ASSERT_TRUE(SoundOn());
    SetWaveVolume(GetShellOverrideVolume());
    EXPECT_EQ(Get(RegRoot::HKCU, volumeKey, "Volume"), 0xAAAAAAAAu);
    QByteArray screen;
    Key(RegRoot::HKCU, volumeKey).QueryBinary(QStringLiteral("Screen"), &screen);
    EXPECT_EQ(screen, QByteArray("\x01\x02", 2)) << "a value is copied with its own type";
    EXPECT_EQ(GetWaveVolume(), 0x8000u);
}

TEST(DeviceConfig, TheProgramsEntryIsMadeOnlyWhereTheApplicationsAre)
{
    testing_support::ScopedRegistryFile registry;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    ASSERT_FALSE(folder.isEmpty());
    const QString entry = QDir(folder).filePath(QStringLiteral("Travenor Pro.desktop"));
    QDir(folder).removeRecursively();

    CreateStartMenuShortcut();
    platform::RegKey application;
    QString path;
    ASSERT_EQ(
        platform::registry().Open(RegRoot::HKCU, kApplicationKey, &application), platform::RegResult::Ok);
    EXPECT_EQ(application.QueryString(QStringLiteral("Path"), &path), platform::RegResult::Ok);
    EXPECT_EQ(path, QCoreApplication::applicationFilePath());
    EXPECT_FALSE(QFile::exists(entry)) << "no applications folder, no entry";

    ASSERT_TRUE(QDir().mkpath(folder));
    CreateStartMenuShortcut();
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    file.close();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n")) << text.constData();
    EXPECT_TRUE(text.contains("Exec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\" %f\n"))
        << text.constData();
    // An entry the user has is left as it is.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nName=Mine\n");
    file.close();
    CreateStartMenuShortcut();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Desktop Entry]\nName=Mine\n"));
    QDir(folder).removeRecursively();
}

} // namespace
