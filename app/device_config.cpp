#include "app/device_config.h"

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/sound.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <atomic>
#include <span>

namespace {

using platform::RegKey;
using platform::RegResult;
using platform::RegRoot;
using platform::RegValue;

const QString kApplicationKey = QStringLiteral("Software\\Orvantis\\Travenor Pro");

bool OpenKey(RegRoot root, const QString& path, RegKey* key)
{
    return platform::registry().Open(root, path, key) == RegResult::Ok;
}

// A device value the program changes for the run, and the name under which
// the application key keeps the user's own value meanwhile.
struct DeviceValue {
    RegRoot root;
    const char* key;
    const char* name;
    const char* copy;
};

const DeviceValue kPowerTimeouts[] = {
    { RegRoot::HKLM, "System\\CurrentControlSet\\Control\\Power\\Timeouts", "BattSuspendTimeout",
        "BattSuspendTimeout" },
    { RegRoot::HKLM, "System\\CurrentControlSet\\Control\\Power\\Timeouts", "ACSuspendTimeout",
        "ACSuspendTimeout" },
    { RegRoot::HKLM, "SOFTWARE\\Microsoft\\Shell\\Rai", "SessionTimeout", "SessionTimeout" },
};
const DeviceValue kDockWare[]
    = { { RegRoot::HKCU, "Software\\Ilium Software\\DockWare", "Disable", "DocWare" } };
const DeviceValue kAutoConnect[] = { { RegRoot::HKCU, "ControlPanel\\Comm", "AutoCnct", "AutoCnct" } };

const QString kTimeoutsHeld = QStringLiteral("TravenorproLoad_Timeouts");
const QString kDockWareHeld = QStringLiteral("TravenorproLoad_DockWare");
const QString kAutoConnectHeld = QStringLiteral("TravenorproLoad_AutoCnct");

bool IsHeld(const RegKey& application, const QString& flag)
{
    uint32_t held = 0;
    return application.QueryDword(flag, &held) == RegResult::Ok && held == 1;
}

bool AnyKeyExists(std::span<const DeviceValue> values)
{
    RegKey device;
    for (const DeviceValue& v : values)
        if (OpenKey(v.root, QString::fromLatin1(v.key), &device))
            return true;
    return false;
}

// Keeps the user's values of `values` in the application key, unless a run
// that never put them back holds them already (then the device shows the
// program's values, not the user's); the flag is set either way.
void Hold(const RegKey& application, const QString& flag, std::span<const DeviceValue> values)
{
    if (!AnyKeyExists(values))
        return; // nothing of the device to hold
    if (!IsHeld(application, flag)) {
        for (const DeviceValue& v : values) {
            RegKey device;
            RegValue value;
            if (!OpenKey(v.root, QString::fromLatin1(v.key), &device))
                continue;
            if (device.QueryValue(QString::fromLatin1(v.name), &value) == RegResult::Ok)
                application.SetValue(QString::fromLatin1(v.copy), value);
            else
                application.DeleteValue(QString::fromLatin1(v.copy)); // missing: it goes away at exit
        }
    }
    application.SetDword(flag, 1);
}

// Puts back what Hold kept: a kept value is written back, a value that was
// missing is removed again. Nothing when the values are not held.
void Release(const RegKey& application, const QString& flag, std::span<const DeviceValue> values)
{
    if (!IsHeld(application, flag))
        return;
    for (const DeviceValue& v : values) {
        RegKey device;
        if (!OpenKey(v.root, QString::fromLatin1(v.key), &device))
            continue;
        RegValue value;
        if (application.QueryValue(QString::fromLatin1(v.copy), &value) == RegResult::Ok)
            device.SetValue(QString::fromLatin1(v.name), value);
        else
            device.DeleteValue(QString::fromLatin1(v.name));
    }
    application.SetDword(flag, 0);
}

// Writes `value` to every value of `values` whose key exists.
void SetEach(std::span<const DeviceValue> values, uint32_t value)
{
    for (const DeviceValue& v : values) {
        RegKey device;
        if (OpenKey(v.root, QString::fromLatin1(v.key), &device))
            device.SetDword(QString::fromLatin1(v.name), value);
    }
}

std::atomic<int> g_screenRotation { 0 };

} // namespace

bool LaunchHelpViewer(const QString& reference)
{
    QString file = reference;
    if (file.startsWith(QLatin1String("file:")))
        file = file.mid(5);
    const qsizetype hash = file.indexOf(QLatin1Char('#'));
    const QString topic = hash >= 0 ? file.mid(hash + 1) : QString();
    const QString path = QDir(platform::ProgramFolder()).filePath(hash >= 0 ? file.left(hash) : file);
    if (!QFileInfo(path).isFile())
        return false;
    QUrl url = QUrl::fromLocalFile(path);
    if (!topic.isEmpty())
        url.setFragment(topic);
    return QDesktopServices::openUrl(url);
}

bool IsGpsIntermediateDriverPresent(QString* port)
{
    platform::RegKey key;
    QString name;
    if (platform::registry().Open(platform::RegRoot::HKLM, QString::fromLatin1(kGpsDriverKey), &key)
            == platform::RegResult::Ok
        && key.QueryString(QStringLiteral("DriverInterface"), &name) == platform::RegResult::Ok
        && !name.isEmpty()) {
        *port = name.left(259);
        return true;
    }
    const QStringList system = { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
        QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin") };
    if (QStandardPaths::findExecutable(QStringLiteral("gpsd")).isEmpty()
        && QStandardPaths::findExecutable(QStringLiteral("gpsd"), system).isEmpty())
        return false;
    *port = QStringLiteral("gpsd://localhost:2947");
    return true;
}

// This machine has no synchronisation program of its own: the connection's
// key is made where it is missing, a value the program keeps for itself.
bool SetActiveSyncAutoConnect(int value)
{
    RegKey application, comm;
    if (!OpenKey(RegRoot::HKCU, kApplicationKey, &application)
        || platform::registry().Create(RegRoot::HKCU, QString::fromLatin1(kAutoConnect[0].key), &comm)
            != RegResult::Ok)
        return false;
    if (value == 0 || value == 1) {
        Hold(application, kAutoConnectHeld, kAutoConnect);
        comm.SetDword(QString::fromLatin1(kAutoConnect[0].name), static_cast<uint32_t>(value));
    }
    return true;
}

void RestoreActiveSyncAutoConnect()
{
    RegKey application;
    if (OpenKey(RegRoot::HKCU, kApplicationKey, &application))
        Release(application, kAutoConnectHeld, kAutoConnect);
}

void SavePowerTimeouts()
{
    // The application key may not exist yet on the first start: the values
    // are kept there all the same.
    RegKey application;
    if (!AnyKeyExists(kPowerTimeouts)
        || platform::registry().Create(RegRoot::HKCU, kApplicationKey, &application) != RegResult::Ok)
        return;
    Hold(application, kTimeoutsHeld, kPowerTimeouts);
    SetEach(kPowerTimeouts, 0);
}

void RestorePowerTimeouts()
{
    RegKey application;
    if (OpenKey(RegRoot::HKCU, kApplicationKey, &application))
        Release(application, kTimeoutsHeld, kPowerTimeouts);
}

bool SetDockWareDisabled(int mode)
{
    RegKey application;
    if (!OpenKey(RegRoot::HKCU, kApplicationKey, &application))
        return false;
    if (mode == 0) {
        Hold(application, kDockWareHeld, kDockWare);
        SetEach(kDockWare, 1);
    } else {
        Release(application, kDockWareHeld, kDockWare);
    }
    return true;
}

void CreateStartMenuShortcut()
{
    const QString program = QCoreApplication::applicationFilePath();
    RegKey application;
    if (platform::registry().Create(RegRoot::HKCU, kApplicationKey, &application) == RegResult::Ok)
        application.SetString(QStringLiteral("Path"), program);

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QString entry = QDir(folder).filePath(QStringLiteral("Travenor Pro.desktop"));
    if (QFileInfo::exists(entry))
        return;
    // The program's path quoted as a desktop entry's command wants it.
    QString quoted = program;
    for (const char c : { '\\', '"', '`', '$' })
        quoted.replace(QLatin1Char(c), QStringLiteral("\\") + QLatin1Char(c));
    QSaveFile file(entry);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("[Desktop Entry]\nType=Application\nName=Travenor Pro\nExec=\"" + quoted.toUtf8()
        + "\" %f\nTerminal=false\nCategories=Utility;Maps;\n");
    file.commit();
}

int GetScreenRotation()
{
    RegKey key;
    if (OpenKey(RegRoot::HKLM, QStringLiteral("System\\GDI\\Rotation"), &key)) {
        RegValue angle;
        if (key.QueryValue(QStringLiteral("Angle"), &angle) != RegResult::Ok
            || angle.type != platform::RegType::DWord)
            return g_screenRotation;
        const uint32_t a = angle.dword;
        g_screenRotation = a == 0 ? 1 : a == 90 ? 2 : a == 180 ? 3 : a == 270 ? 4 : 0;
        return g_screenRotation;
    }
    if (QGuiApplication::instance() == nullptr || QGuiApplication::primaryScreen() == nullptr)
        return g_screenRotation;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int a = screen->angleBetween(screen->nativeOrientation(), screen->orientation());
    g_screenRotation = a == 0 ? 1 : a == 90 ? 2 : a == 180 ? 3 : a == 270 ? 4 : 0;
    return g_screenRotation;
}

namespace {

const QString kVolumeKey = QStringLiteral("ControlPanel\\Volume");
const QString kOverridesKey = QStringLiteral("ControlPanel\\Notifications\\ShellOverrides");
const char* const kSoundValues[][2]
    = { { "Volume", "SavedVolume" }, { "Screen", "SavedScreen" }, { "Key", "SavedKey" } };

// Copies the three sound values between the volume key and the shell
// overrides, as they are; false at the first that fails.
bool CopySoundValues(bool toOverrides)
{
    RegKey volume, overrides;
    if (!OpenKey(RegRoot::HKCU, kVolumeKey, &volume) || !OpenKey(RegRoot::HKCU, kOverridesKey, &overrides))
        return false;
    for (const auto& names : kSoundValues) {
        const RegKey& from = toOverrides ? volume : overrides;
        const RegKey& to = toOverrides ? overrides : volume;
        const QString source = QString::fromLatin1(names[toOverrides ? 0 : 1]);
        const QString target = QString::fromLatin1(names[toOverrides ? 1 : 0]);
        RegValue value;
        if (from.QueryValue(source, &value) != RegResult::Ok || to.SetValue(target, value) != RegResult::Ok)
            return false;
    }
    return true;
}

} // namespace

bool SoundOff()
{
    if (!CopySoundValues(true))
        return false;
    RegKey overrides;
    return OpenKey(RegRoot::HKCU, kOverridesKey, &overrides)
        && overrides.SetDword(QStringLiteral("Vol"), GetWaveVolume()) == RegResult::Ok;
}

bool SoundOn() { return CopySoundValues(false); }

uint32_t GetShellOverrideVolume()
{
    RegKey overrides;
    uint32_t level = 0;
    if (!OpenKey(RegRoot::HKCU, kOverridesKey, &overrides)
        || overrides.QueryDword(QStringLiteral("Vol"), &level) != RegResult::Ok)
        return 0;
    return level;
}

void SetWaveVolume(uint32_t level)
{
    level &= 0xFFFF;
    platform::SetDeviceWaveVolume(level | (level << 16));
}

uint32_t GetWaveVolume() { return platform::GetDeviceWaveVolume() & 0xFFFF; }

bool IsSoundOn() { return GetWaveVolume() != 0; }
