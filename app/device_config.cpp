#include "app/device_config.h"

#include "platform/paths.h"
#include "platform/registry.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

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

bool SetActiveSyncAutoConnect(int value)
{
    platform::RegKey application;
    if (platform::registry().Open(
            platform::RegRoot::HKCU, QStringLiteral("Software\\Orvantis\\Travenor Pro"), &application)
        != platform::RegResult::Ok)
        return false;
    platform::RegKey comm;
    return platform::registry().Create(platform::RegRoot::HKCU, QStringLiteral("ControlPanel\\Comm"), &comm)
        == platform::RegResult::Ok
        && comm.SetDword(QStringLiteral("AutoCnct"), value != 0 ? 1 : 0) == platform::RegResult::Ok;
}
