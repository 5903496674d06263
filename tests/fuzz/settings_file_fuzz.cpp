// Feeds arbitrary bytes to the settings file's reader: the header, then the
// body of the version it names into a staging copy. A body read whole is
// written in the newest layout, read back over the same copy and written
// again, which must give the same bytes.
#include "platform/archive.h"
#include "settings/settings_body.h"
#include "settings/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::Archive archive(std::span(data, size));
    SettingsBody body;
    int32_t version = 0;
    try {
        version = ParseSettingsFileHeader(archive.ReadString());
        if (version == 0)
            return 0;
        LoadSettingsBody(archive, version, body);
    } catch (const platform::ArchiveException&) {
        return 0;
    }
    // Older layouts lack blocks that a whole file has (the folder names, the
    // disabled-road files): only a body with every item is written again.
    if (!SettingsBodyHasItem(version, 84))
        return 0;
    platform::Archive first;
    StoreSettingsBody(first, body);
    platform::Archive again(first.Data());
    try {
        LoadSettingsBody(again, 204272, body);
    } catch (const platform::ArchiveException&) {
        __builtin_trap();
    }
    platform::Archive second;
    StoreSettingsBody(second, body);
    if (second.Data() != first.Data())
        __builtin_trap();
    return 0;
}
