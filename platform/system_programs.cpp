#include "platform/system_programs.h"

#include "platform/registry.h"

#include <QProcess>

namespace platform {

namespace {

// The command line set for a program, looked up by its file name.
bool SystemProgramCommand(const QString& program, QString* command)
{
    const QString name = program.section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1);
    RegKey key;
    return registry().Open(RegRoot::HKLM, QString::fromUtf16(kSystemProgramsKey), &key) == RegResult::Ok
        && key.QueryString(name, command) == RegResult::Ok && !command->trimmed().isEmpty();
}

} // namespace

bool HasSystemProgram(const QString& program)
{
    QString command;
    return SystemProgramCommand(program, &command);
}

bool StartSystemProgram(const QString& program, const QString& commandLine)
{
    QString command;
    if (!SystemProgramCommand(program, &command))
        return false;
    QStringList arguments = QProcess::splitCommand(command) + QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return false;
    const QString executable = arguments.takeFirst();
    return QProcess::startDetached(executable, arguments);
}

} // namespace platform
