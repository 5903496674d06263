#include "app/device_config.h"

#include "platform/paths.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
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
