#include "platform/system_programs.h"

#include "platform/registry.h"

#include <QProcess>

namespace platform {

bool StartSystemProgram(const QString& program, const QString& commandLine)
{
    const QString name = program.section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1);
    RegKey key;
    QString command;
    if (registry().Open(RegRoot::HKLM, QString::fromUtf16(kSystemProgramsKey), &key) != RegResult::Ok
        || key.QueryString(name, &command) != RegResult::Ok)
        return false;
    QStringList arguments = QProcess::splitCommand(command) + QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return false;
    const QString executable = arguments.takeFirst();
    return QProcess::startDetached(executable, arguments);
}

} // namespace platform
