#include "traffic/jam_files_section.h"

#include "platform/archive.h"
#include "settings/settings_record.h"
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
    // The store attaches no files of its own yet: it has the switches only.
    JamFilesSection section;
    section.switches = store.GetSwitches();
    WriteJamFilesSection(archive, section);
}

void LoadJamFilesSection(platform::Archive& archive, CJamFileManager& store)
{
    const JamFilesSection section = ReadJamFilesSection(archive);
    const uint8_t inForce
        = (store.IsOpen() ? CJamFileManager::SWITCH_BLOCKING : 0) | CJamFileManager::SWITCH_JAMS;
    const uint8_t allowed
        = g_bExpertMode.load() != 0 ? section.switches : section.switches & CJamFileManager::SWITCH_JAMS;
    store.SetSwitches(inForce & allowed);
}
