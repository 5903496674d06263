#pragma once
// A program folder of a test's own: the data directory of platform::options()
// for the object's life, in a fresh temporary folder, with the test's own
// "\My Documents" inside it. The build's fonts and
// resources are linked in; the shipped Voradu map is copied in on request
// (the kernel opens a map file exclusively, and tests run side by side).
// Header-only: it reaches the foundation's program-folder cache, which the
// support library does not link.
#include "foundation/path_helpers.h"
#include "platform/options.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testing_support {

// The build's data directory, with the shipped map, fonts and resources.
inline QString BuildDataFolder() { return QStringLiteral(TRAVENOR_BUILD_DATA_DIR); }

class ProgramFolder {
public:
    ProgramFolder()
        : m_saved(platform::options())
    {
        for (const char* name : { "Fonts", "resources" })
            QFile::link(
                BuildDataFolder() + QLatin1Char('/') + QLatin1String(name), File(QLatin1String(name)));
        QDir(Path()).mkdir(QStringLiteral("My Documents"));
        platform::Options o = m_saved;
        o.dataDir = Path();
        o.documentsDir = Documents();
        platform::setOptions(o);
        ForgetProgramFolder();
    }
    ~ProgramFolder()
    {
        platform::setOptions(m_saved);
        ForgetProgramFolder();
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // The folder, without a trailing separator.
    QString Path() const { return m_dir.path(); }
    QString File(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    // "\My Documents", without a trailing separator.
    QString Documents() const { return File(QStringLiteral("My Documents")); }

    // Copies the shipped map (.tzx, .zxg, .zxp), or the map of another path
    // without extension, in as `base` with those extensions.
    void CopyShippedMap(const QString& base = QStringLiteral("mskmo0704"), const QString& source = {})
    {
        const QString sourceBase
            = source.isEmpty() ? BuildDataFolder() + QStringLiteral("/mskmo0704") : source;
        for (const char* extension : { ".tzx", ".zxg", ".zxp" }) {
            const QString from = sourceBase + QLatin1String(extension);
            const QString to = File(base + QLatin1String(extension));
            QFile::remove(to);
            ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString() << " -> " << to.toStdString();
        }
    }
    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(File(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // Leaves the program without fonts (an empty "Fonts" folder).
    void RemoveFonts()
    {
        QFile::remove(File(QStringLiteral("Fonts")));
        ASSERT_TRUE(QDir(Path()).mkdir(QStringLiteral("Fonts")));
    }

private:
    QTemporaryDir m_dir;
    platform::Options m_saved;
};

} // namespace testing_support
