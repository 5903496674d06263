#include "foundation/resource_dll.h"

#include "foundation/screen_metrics.h"

#include "platform/options.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

int GetProgramVersionNumber() { return kProgramVersionNumber; }

QString ProgramResourceFolder()
{
    return QDir(platform::options().dataDir).filePath(QStringLiteral("resources"));
}

namespace {

// Reads the four version words of a library; false when unreadable.
bool readVersion(const QString& folder, QString* version)
{
    QFile f(QDir(folder).filePath(QStringLiteral("version")));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QStringList words = QString::fromLatin1(f.read(64)).trimmed().split(QLatin1Char('.'));
    if (words.size() != 4)
        return false;
    for (const QString& w : words) {
        bool ok = false;
        const uint value = w.toUInt(&ok);
        if (!ok || value > 0xFFFF)
            return false;
    }
    *version = words.join(QLatin1Char('.'));
    return true;
}

} // namespace

QString LoadResourceLibrary(const QString& path)
{
    QString local = path;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(local);
    QString folder = local;
    const QString base = info.dir().path() == QLatin1String(".") && !local.contains(QLatin1Char('/'))
        ? platform::options().dataDir
        : info.dir().path();
    if (info.fileName().compare(QLatin1String("ResourceDLL_VGA.dll"), Qt::CaseInsensitive) == 0)
        folder = QDir(base).filePath(QStringLiteral("resources/vga"));
    else if (info.fileName().compare(QLatin1String("ResourceDLL_QVGA.dll"), Qt::CaseInsensitive) == 0)
        folder = QDir(base).filePath(QStringLiteral("resources/qvga"));

    QString version;
    if (!readVersion(folder, &version) || version != QLatin1String(kProgramFileVersion))
        return QString();
    return folder;
}

CResourceDll::~CResourceDll() { Free(); }

QString CResourceDll::Load(const QString& path)
{
    m_handle = path.isEmpty() ? ProgramResourceFolder() : LoadResourceLibrary(path);
    return m_handle;
}

void CResourceDll::Free()
{
    if (!m_handle.isEmpty() && m_handle != ProgramResourceFolder())
        m_handle.clear();
}

QString ResourceLibraryNameForScreen()
{
    const int known = g_resolutionClass;
    const int cls = known != 0 ? known : GetScreenResolutionClass();
    return cls == 2 ? QStringLiteral("ResourceDLL_VGA.dll") : QStringLiteral("ResourceDLL_QVGA.dll");
}
