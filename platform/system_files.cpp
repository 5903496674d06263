#include "platform/system_files.h"

#include <QFile>
#include <mutex>

namespace platform {

namespace {

std::mutex g_rootLock;
QString g_root;

} // namespace

QString SystemFilePath(const QString& absolutePath)
{
    std::lock_guard lock(g_rootLock);
    return g_root.isEmpty() ? absolutePath : g_root + absolutePath;
}

void SetSystemRoot(const QString& root)
{
    std::lock_guard lock(g_rootLock);
    g_root = root;
    while (g_root.endsWith(u'/'))
        g_root.chop(1);
}

QString ReadSystemFileLine(const QString& absolutePath)
{
    QFile file(SystemFilePath(absolutePath));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray line = file.readLine(4096);
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    return QString::fromUtf8(line).trimmed();
}

QString DeviceModelName()
{
    const QString product = ReadSystemFileLine(QStringLiteral("/sys/class/dmi/id/product_name"));
    return product.isEmpty() ? ReadSystemFileLine(QStringLiteral("/proc/device-tree/model")) : product;
}

} // namespace platform
