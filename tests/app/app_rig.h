#pragma once
// The application on a test's own machine: a registry file, a program folder
// (with the build's resources and fonts linked in) and an emulated screen, all
// put back afterwards; message boxes are answered and kept.
#include "foundation/path_helpers.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "platform/options.h"
#include "platform/registry.h"
#include "tests/support/scoped_registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace apptest {

class AppRig {
public:
    explicit AppRig(QSize screen = QSize(240, 320), int dpi = 96)
        : m_saved(platform::options())
    {
        for (const char* name : { "Fonts", "resources" })
            QFile::link(QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/") + QLatin1String(name),
                m_folder.filePath(QLatin1String(name)));
        platform::Options o = platform::options();
        o.dataDir = m_folder.path();
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

    QString ProgramFolder() const { return m_folder.path(); }
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

    std::vector<platform::MessageBoxRequest> boxes;

private:
    testing_support::ScopedRegistryFile m_registry;
    QTemporaryDir m_folder;
    platform::Options m_saved;
};

} // namespace apptest
