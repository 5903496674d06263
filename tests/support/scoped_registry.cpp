#include "tests/support/scoped_registry.h"

#include "platform/registry.h"

namespace testing_support {

ScopedRegistryFile::ScopedRegistryFile()
    : m_file(m_dir.filePath(QStringLiteral("Travenor Pro.ini")))
    , m_saved(platform::options())
{
    platform::Options o = m_saved;
    o.configFile = m_file;
    platform::setOptions(o);
    platform::registry(); // loads the empty file now
}

ScopedRegistryFile::~ScopedRegistryFile() { platform::setOptions(m_saved); }

} // namespace testing_support
