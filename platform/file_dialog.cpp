#include "platform/file_dialog.h"

#include "platform/message_box.h"

#include <QFileDialog>
#include <QFileInfo>
#include <mutex>
#include <utility>

namespace platform {

namespace {

std::mutex g_answererMutex;
FileDialogAnswerer g_answerer;

bool isPattern(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

QString withDefaultExt(const QString& path, const QString& ext)
{
    if (ext.isEmpty() || path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + ext;
}

} // namespace

QStringList FileDialogNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (text.isEmpty() || patterns.isEmpty())
            break;
        QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : list)
            p = p.trimmed();
        // Qt takes the patterns from the parentheses at the end of the entry.
        QString entry = text;
        const int open = entry.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && entry.endsWith(QLatin1Char(')')))
            entry = entry.left(open).trimmed();
        result << QStringLiteral("%1 (%2)").arg(entry, list.join(QLatin1Char(' ')));
    }
    return result;
}

void SetFileDialogAnswerer(FileDialogAnswerer answerer)
{
    std::lock_guard lock(g_answererMutex);
    g_answerer = std::move(answerer);
}

std::optional<QString> ShowFileDialog(QWidget* owner, const FileDialogRequest& request)
{
    FileDialogAnswerer answerer;
    {
        std::lock_guard lock(g_answererMutex);
        answerer = g_answerer;
    }
    std::optional<QString> chosen;
    if (answerer) {
        chosen = answerer(request);
    } else {
        QWidget* over = DeviceScreenWindow() ? DeviceScreenWindow() : owner;
        QFileDialog dialog(over);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setWindowFlag(Qt::FramelessWindowHint);
        dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(request.open && (request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                               : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
        dialog.setDefaultSuffix(request.defaultExt);
        dialog.setNameFilters(FileDialogNameFilters(request.filter));
        if (!request.initialDir.isEmpty())
            dialog.setDirectory(request.initialDir);
        if (!request.fileName.isEmpty() && !isPattern(request.fileName))
            dialog.selectFile(request.fileName);
        if (over)
            dialog.setGeometry(QRect(over->mapToGlobal(QPoint(0, 0)), over->size()));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return withDefaultExt(*chosen, request.defaultExt);
}

} // namespace platform
