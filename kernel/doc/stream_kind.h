#pragma once

#include <memory>

#include "kernel/doc/disk_stream.h"

// A new, unopened stream of a source kind (0 disk, 1 mapped file, 2 memory);
// null for any other kind or when memory is short.
std::unique_ptr<CZXS_DiskStream> ZXS_NewStream(int kind);

// `path` with everything after its last '.' replaced by `extension` (its own
// leading '.' skipped), or with '.' and the extension appended when it has no '.'.
std::string ZXS_ReplaceExtension(const std::string& path, const char* extension);
