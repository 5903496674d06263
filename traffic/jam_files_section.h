#pragma once
// The disabled-road store's section of the settings file: the switches byte
// (bit 0 the disabled roads in force, bit 1 the jams), the count of attached
// files and each file's name as a 32-bit length and that many UTF-16LE units
// (not the archive's string form).
//
// ReadJamFilesSection reads and checks the section without applying it, so
// that the settings reader can take a file whole or not at all. The store's
// own SaveToArchive and LoadFromArchive go through StoreJamFilesSection and
// LoadJamFilesSection.
#include <QString>
#include <cstdint>
#include <vector>

class CJamFileManager;
namespace platform {
class Archive;
}

struct JamFilesSection {
    uint8_t switches = 0;
    std::vector<QString> names; // the attached files, the main one not among them
};

// A longer name, or more names, mark the section as damaged.
inline constexpr int32_t kMaxJamFileNameLength = 1024;
inline constexpr int32_t kMaxJamFiles = 1024;

void WriteJamFilesSection(platform::Archive& archive, const JamFilesSection& section);
// Throws platform::ArchiveException for a section cut short, a negative or
// impossible count or an impossible name length.
JamFilesSection ReadJamFilesSection(platform::Archive& archive);

// The store's section written from and read into the store: its switches
// (the disabled roads in force only in expert mode) and its attached files.
void StoreJamFilesSection(platform::Archive& archive, CJamFileManager& store);
void LoadJamFilesSection(platform::Archive& archive, CJamFileManager& store);
