#pragma once
// The application on a test's own machine: a registry file, a program folder
// (with the build's resources and fonts) and an emulated screen, all put back
// afterwards; message boxes are answered and kept.
#include "app/travenor_app.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "platform/options.h"
#include "platform/registry.h"
#include "tests/support/program_folder.h"
#include "tests/support/scoped_registry.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <functional>
#include <vector>

namespace apptest {

class AppRig {
public:
    explicit AppRig(QSize screen = QSize(240, 320), int dpi = 96, bool withMap = true)
        : m_saved(platform::options())
    {
        if (withMap)
            m_folder.CopyShippedMap();
        platform::Options o = platform::options();
        o.screen = screen;
        o.dpi = dpi;
        platform::setOptions(o);
        ResetScreenMetrics();
        platform::SetMessageBoxAnswerer([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request);
            return platform::IDOK;
        });
    }
    ~AppRig()
    {
        platform::SetMessageBoxAnswerer({});
        platform::setOptions(m_saved);
        ResetScreenMetrics();
    }
    AppRig(const AppRig&) = delete;
    AppRig& operator=(const AppRig&) = delete;

    QString ProgramFolder() const { return m_folder.Path(); }
    testing_support::ProgramFolder& Folder() { return m_folder; }
    QString RegistryFile() const { return m_registry.File(); }
    QByteArray RegistryBytes() const
    {
        QFile file(RegistryFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void SetProfileInt(const QString& entry, uint32_t value)
    {
        platform::RegKey key;
        platform::registry().Create(
            platform::RegRoot::HKCU, QStringLiteral("Software\\Orvantis\\Travenor Pro\\Settings"), &key);
        key.SetDword(entry, value);
    }
    void SetProfileString(const QString& entry, const QString& value)
    {
        platform::RegKey key;
        platform::registry().Create(
            platform::RegRoot::HKCU, QStringLiteral("Software\\Orvantis\\Travenor Pro\\Settings"), &key);
        key.SetString(entry, value);
    }
    // A machine the program has run on before: no first-start notice.
    void SetRunBefore() { SetProfileString(QStringLiteral("vertion"), QStringLiteral("204272")); }

    std::vector<platform::MessageBoxRequest> boxes;

private:
    testing_support::ScopedRegistryFile m_registry;
    testing_support::ProgramFolder m_folder;
    platform::Options m_saved;
};

// Runs the program's start-up and its message loop in this process; `during`
// runs once the start-up has finished, inside the loop, and must close the
// program. The exit status.
inline int RunProgram(const std::function<void()>& during)
{
    if (!theApp->InitInstance())
        return theApp->ExitInstance();
    // Looks in now and then from the message loop: the start-up runs in
    // the loop itself, and `during` must not run inside it.
    auto* watch = new QTimer(qApp);
    watch->setInterval(5);
    QObject::connect(watch, &QTimer::timeout, watch, [watch, &during] {
        if (!theApp->IsStartupFinished())
            return;
        watch->stop();
        watch->deleteLater();
        during();
    });
    watch->start();
    theApp->Run();
    return theApp->ExitInstance();
}

} // namespace apptest
