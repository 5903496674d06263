#include "foundation/path_helpers.h"

#include "foundation/string_helpers.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

namespace {

constexpr QStringView kExtensionSeparators = u".\\/";
constexpr QStringView kFolderSeparators = u"\\/";

// Index of the extension's dot, or -1 when the file name has none.
qsizetype ExtensionDot(const QString& path)
{
    const qsizetype m = FindLastOf(path, kExtensionSeparators);
    return m >= 0 && path.at(m) == u'.' ? m : -1;
}

QString& ProgramFolderCache()
{
    static QString folder;
    return folder;
}

// Paths may be given as the device spells them ("\My Documents\0.wav").
QFileInfo LocalInfo(const QString& path) { return QFileInfo(platform::DevicePathToLocal(path)); }

bool Exists(const QString& path)
{
    const QFileInfo info = LocalInfo(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString GetFolderPart(const QString& path) { return path.left(FindLastOf(path, kFolderSeparators) + 1); }

QString RemoveExtension(const QString& path)
{
    const qsizetype dot = ExtensionDot(path);
    return dot >= 0 ? path.left(dot) : path;
}

QString GetFileExtension(const QString& path)
{
    const qsizetype dot = ExtensionDot(path);
    return dot >= 0 ? path.mid(dot + 1) : QStringLiteral("-1");
}

QString GetFileTitle(const QString& path)
{
    const qsizetype dot = ExtensionDot(path);
    const qsizetype separator = FindLastOf(path, kFolderSeparators);
    const qsizetype end = dot >= 0 ? dot : path.size();
    return path.mid(separator + 1, end - (separator + 1));
}

QString GetModulePath()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

const QString& GetProgramFolder()
{
    // The program folder of this machine is the data directory of the path map.
    QString& folder = ProgramFolderCache();
    if (folder.isEmpty()) {
        folder = platform::ProgramFolder();
        if (!folder.isEmpty() && FindLastOf(folder, kFolderSeparators) != folder.size() - 1)
            folder += u'/';
    }
    return folder;
}

void ForgetProgramFolder() { ProgramFolderCache().clear(); }

int CopyProgramFolder(char16_t* buffer, size_t size)
{
    if (!buffer || size == 0)
        return 0;
    const QString& folder = GetProgramFolder();
    const size_t count = std::min(size - 1, static_cast<size_t>(folder.size()));
    std::copy_n(reinterpret_cast<const char16_t*>(folder.utf16()), count, buffer);
    buffer[count] = u'\0';
    return 1;
}

bool FileOrFolderExists(const QString& path, const std::optional<QString>& extension)
{
    // Only the file name's own dot counts: folders may have dots in their names.
    const qsizetype dot = ExtensionDot(path);
    bool expectFolder = false;
    if (!extension) {
        if (dot >= 0)
            return false;
        expectFolder = true;
    } else if (*extension != QStringLiteral("*") && dot >= 0
        && path.mid(dot + 1).compare(*extension, Qt::CaseInsensitive) != 0) {
        return false;
    }
    const QFileInfo info = LocalInfo(path);
    if (!info.exists())
        return false;
    return info.isDir() == expectFolder;
}

unsigned MakeNumberedFileName(QString& path, unsigned start)
{
    if (!Exists(path))
        return 0;
    const qsizetype dot = ExtensionDot(path);
    const QString base = RemoveExtension(path);
    // A name without an extension stays without one.
    const QString suffix = dot >= 0 ? path.mid(dot) : QString();
    for (unsigned n = start + 1; n != 0; ++n) {
        const QString candidate = base + QString::number(n) + suffix;
        if (!Exists(candidate)) {
            path = candidate;
            return n;
        }
    }
    return 0;
}
