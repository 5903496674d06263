// One running copy, with real processes: the program started while a copy
// runs brings that copy to the front and ends; a copy killed outright leaves
// no lock that refuses the next start; a kill or Ctrl+C closes it as its close
// button does.
#include "app/app_messages.h"
#include "app/single_instance.h"
#include "tests/support/program_folder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The program on a program folder of its own (the kernel opens a map
// exclusively, and other tests start the program side by side), with its own
// registry file, runtime folder and documents (where a close saves the
// settings); the interface mode is chosen already, so no question waits.
class Program {
public:
    Program(const QString& runtime, const QString& config, const QStringList& extra)
    {
        m_folder.CopyShippedMap();
        QFile ini(config);
        if (!ini.exists() && ini.open(QIODevice::WriteOnly))
            ini.write("[HKEY_CURRENT_USER\\Software\\Orvantis\\Travenor Pro\\Settings]\n\"expert "
                      "mode\"=dword:00000000\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(TRAVENOR_PROGRAM),
            QStringList { QStringLiteral("--config"), config, QStringLiteral("--documents"),
                QFileInfo(config).absolutePath(), QStringLiteral("--data"), m_folder.Path() }
                + extra);
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    bool Finish(int* status, QString* errors)
    {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(60000))
            return false;
        *status = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        *errors = QString::fromUtf8(m_process.readAllStandardError());
        return true;
    }
    QProcess& Process() { return m_process; }

private:
    testing_support::ProgramFolder m_folder;
    QProcess m_process;
};

// Waits until the running copy answers on its socket.
bool WaitUntilListening(const QString& socketPath)
{
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(socketPath);
        if (probe.waitForConnected(100))
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return false;
}

TEST(SingleInstance, ASecondStartBringsTheRunningCopyToTheFrontAndEnds)
{
    QTemporaryDir runtime;
    // This test process is the running copy, through the program's own code.
    CSingleInstance running(runtime.path());
    ASSERT_TRUE(running.IsFirst());
    std::vector<uint32_t> received;
    running.Listen([&](uint32_t message) { received.push_back(message); });

    Program second(runtime.path(), runtime.filePath(QStringLiteral("second.ini")), {});
    QDeadlineTimer deadline(60000);
    while (second.Process().state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (int i = 0; i < 20 && received.empty(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    int status = -2;
    QString errors;
    ASSERT_TRUE(second.Finish(&status, &errors));
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(errors.contains(QStringLiteral("brought to the front"))) << errors.toStdString();
    EXPECT_EQ(received, std::vector<uint32_t> { MSG_COME_TO_FRONT });
    // It ended before it touched anything: its registry file is as it was written.
    QFile ini(runtime.filePath(QStringLiteral("second.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("vertion"));
}

TEST(SingleInstance, AKilledCopyLeavesNoLockThatRefusesTheNextStart)
{
    QTemporaryDir runtime;
    const QString config = runtime.filePath(QStringLiteral("program.ini"));
    {
        Program first(runtime.path(), config, {});
        ASSERT_TRUE(WaitUntilListening(CSingleInstance::SocketPath(runtime.path())));
        ASSERT_FALSE(CSingleInstance(runtime.path()).IsFirst());
        first.Process().kill(); // SIGKILL: no exit steps, the lock file stays
        ASSERT_TRUE(first.Process().waitForFinished(10000));
        ASSERT_TRUE(QFile::exists(CSingleInstance::LockPath(runtime.path())));
    }
    Program next(runtime.path(), config, { QStringLiteral("--quit-after"), QStringLiteral("300") });
    int status = -2;
    QString errors;
    ASSERT_TRUE(next.Finish(&status, &errors));
    EXPECT_EQ(status, 0) << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("running already"))) << errors.toStdString();
    // It ran to its own close: the settings were saved.
    QFile ini(config);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("\"vertion\"=\"204272\""));
}

TEST(SingleInstance, AKillOrCtrlCClosesTheProgramWithItsSettingsSaved)
{
    for (const int signal : { SIGTERM, SIGINT }) {
        SCOPED_TRACE(signal);
        QTemporaryDir runtime;
        const QString config = runtime.filePath(QStringLiteral("program.ini"));
        Program program(runtime.path(), config, {});
        ASSERT_TRUE(WaitUntilListening(CSingleInstance::SocketPath(runtime.path())));
        ASSERT_EQ(::kill(static_cast<pid_t>(program.Process().processId()), signal), 0);
        int status = -2;
        QString errors;
        ASSERT_TRUE(program.Finish(&status, &errors));
        EXPECT_EQ(status, 0) << errors.toStdString();
        // Its exit steps ran: the settings were saved and the lock given back.
        QFile ini(config);
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        EXPECT_TRUE(ini.readAll().contains("\"vertion\"=\"204272\""));
        EXPECT_FALSE(QFile::exists(CSingleInstance::LockPath(runtime.path())));
        EXPECT_TRUE(CSingleInstance(runtime.path()).IsFirst());
    }
}

} // namespace
