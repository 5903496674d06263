#include "traffic/jam_files_section.h"

#include "platform/archive.h"
#include "traffic/jam_file_manager.h"

#include <string>

void WriteJamFilesSection(platform::Archive& archive, const JamFilesSection& section)
{
    archive.WriteUInt8(section.switches);
    archive.WriteInt32(static_cast<int32_t>(section.names.size()));
    for (const QString& name : section.names) {
        archive.WriteInt32(static_cast<int32_t>(name.size()));
        for (const QChar c : name)
            archive.WriteUInt16(c.unicode());
    }
}

JamFilesSection ReadJamFilesSection(platform::Archive& archive)
{
    JamFilesSection section;
    section.switches = archive.ReadUInt8();
    const int32_t count = archive.ReadInt32();
    if (count < 0 || count > kMaxJamFiles || size_t(count) > archive.Remaining() / 4)
        throw platform::ArchiveException(
            "the disabled-road files' count " + std::to_string(count) + " is impossible");
    for (int32_t i = 0; i < count; ++i) {
        const int32_t length = archive.ReadInt32();
        if (length < 1 || length > kMaxJamFileNameLength || size_t(length) * 2 > archive.Remaining())
            throw platform::ArchiveException("a disabled-road file's name has an impossible length");
        QString name(length, Qt::Uninitialized);
        for (int32_t k = 0; k < length; ++k)
            name[k] = QChar(archive.ReadUInt16());
        section.names.push_back(std::move(name));
    }
    return section;
}

void StoreJamFilesSection(platform::Archive& archive, CJamFileManager& store)
{
    store.SaveToArchive(archive);
}

void LoadJamFilesSection(platform::Archive& archive, CJamFileManager& store)
{
    store.LoadFromArchive(archive);
}
