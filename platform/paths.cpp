#include "platform/paths.h"

#include "platform/options.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

const QString kMyDocuments = QStringLiteral("My Documents");
const QString kProgramFiles = QStringLiteral("Program Files");
const QString kProgramName = QStringLiteral("Travenor Pro");
const QString kWindows = QStringLiteral("Windows");
const QString kDevice = QStringLiteral("Device"); // other device folders

bool Same(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool IsSeparator(QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); }

// `name` inside `folder` as it is spelt on disk, or as given when absent.
QString FindEntry(const QString& folder, const QString& name, bool* found)
{
    const QString direct = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(direct)) {
        *found = true;
        return name;
    }
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (Same(entry, name)) {
            *found = true;
            return entry;
        }
    *found = false;
    return name;
}

QString Resolve(QString base, const QStringList& components)
{
    bool found = QFileInfo(base).isDir();
    for (const QString& c : components) {
        const QString name = found ? FindEntry(base, c, &found) : c;
        base += QLatin1Char('/') + name;
    }
    return base;
}

QString StripTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

QString ProgramFolder()
{
    const QString& dir = options().dataDir;
    return StripTrailingSlash(dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir);
}

QString DocumentsFolder()
{
    QString dir = options().documentsDir;
    if (dir.isEmpty())
        dir = qEnvironmentVariable("XDG_DOCUMENTS_DIR");
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/Documents");
    return StripTrailingSlash(dir);
}

QString DevicePathToLocal(const QString& devicePath)
{
    if (devicePath.isEmpty())
        return devicePath;
    const QStringList parts = QString(devicePath)
                                  .replace(QLatin1Char('/'), QLatin1Char('\\'))
                                  .split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const bool absolute = IsSeparator(devicePath.front());
    const bool deviceRoot = !parts.isEmpty()
        && (Same(parts[0], kMyDocuments) || Same(parts[0], kProgramFiles) || Same(parts[0], kWindows));
    if (!absolute)
        return QString(devicePath).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!devicePath.contains(QLatin1Char('\\')) && !deviceRoot)
        return devicePath; // a path of this machine

    QStringList components;
    for (const QString& p : parts) {
        if (p == QLatin1String("..")) {
            if (!components.isEmpty())
                components.removeLast();
        } else if (p != QLatin1String(".")) {
            components.append(p);
        }
    }
    QString base;
    if (!components.isEmpty() && Same(components[0], kMyDocuments)) {
        base = DocumentsFolder();
        components.removeFirst();
    } else if (components.size() >= 2 && Same(components[0], kProgramFiles)
        && Same(components[1], kProgramName)) {
        base = ProgramFolder();
        components.remove(0, 2);
    } else if (!components.isEmpty() && Same(components[0], kWindows)) {
        base = ProgramFolder();
    } else {
        base = ProgramFolder();
        components.prepend(kDevice);
    }
    QString local = Resolve(base, components);
    if (IsSeparator(devicePath.back()) && !local.endsWith(QLatin1Char('/')))
        local += QLatin1Char('/');
    return local;
}

QString LocalToDevicePath(const QString& localPath)
{
    if (localPath.isEmpty())
        return localPath;
    const QString path = QDir::cleanPath(QFileInfo(localPath).absoluteFilePath());
    const QString program = QDir::cleanPath(ProgramFolder());
    const struct {
        QString local;
        QString device;
    } places[] = {
        { QDir::cleanPath(DocumentsFolder()), QLatin1Char('\\') + kMyDocuments },
        { QDir::cleanPath(DevicePathToLocal(QLatin1Char('\\') + kWindows)), QLatin1Char('\\') + kWindows },
        { program + QLatin1Char('/') + kDevice, QString() },
        { program, QLatin1Char('\\') + kProgramFiles + QLatin1Char('\\') + kProgramName },
    };
    // The deepest folder that holds the path names it.
    const QString* bestLocal = nullptr;
    const QString* bestDevice = nullptr;
    for (const auto& place : places) {
        const bool inside = path == place.local || path.startsWith(place.local + QLatin1Char('/'));
        if (inside && (!bestLocal || place.local.size() > bestLocal->size())) {
            bestLocal = &place.local;
            bestDevice = &place.device;
        }
    }
    if (!bestLocal)
        return localPath;
    QString rest = path.mid(bestLocal->size());
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QString device = *bestDevice + rest;
    if (device.isEmpty())
        device = QStringLiteral("\\");
    if (IsSeparator(localPath.back()) && !device.endsWith(QLatin1Char('\\')))
        device += QLatin1Char('\\');
    return device;
}

} // namespace platform
