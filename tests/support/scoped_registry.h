#pragma once
// Points the program's registry (platform::registry(), and so the profile)
// at a file in a temporary folder for the life of the object, so a test never
// reads or writes the user's own settings.
#include <QString>
#include <QTemporaryDir>

#include "platform/options.h"

namespace testing_support {

class ScopedRegistryFile {
public:
    ScopedRegistryFile();
    ~ScopedRegistryFile();
    ScopedRegistryFile(const ScopedRegistryFile&) = delete;
    ScopedRegistryFile& operator=(const ScopedRegistryFile&) = delete;

    const QString& File() const { return m_file; }

private:
    QTemporaryDir m_dir;
    QString m_file;
    platform::Options m_saved;
};

} // namespace testing_support
