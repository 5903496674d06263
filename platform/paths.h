#pragma once
// The path map between the device's folders and this machine's:
//   "\My Documents\..."               the documents folder (--documents)
//   "\Program Files\Travenor Pro\..." the program folder, the data directory (--data)
//   "\Windows\..."                    the "Windows" folder inside the data directory
//   any other "\Folder\..."           the "Device" folder inside the data directory
// Both backslashes and slashes separate components; each component is found
// on disk without regard to case (the device's file system ignores it), and
// one that does not exist yet keeps the spelling given.
#include <QString>

namespace platform {

// The program folder: options().dataDir (the program's own folder when unset).
QString ProgramFolder();
// The documents folder: options().documentsDir, else $XDG_DOCUMENTS_DIR, else ~/Documents.
QString DocumentsFolder();

// A device path as a local one. A path that already names a local folder
// ("/home/...") comes back as it is; a relative one gets slashes only.
QString DevicePathToLocal(const QString& devicePath);
// A local path as the device would show it; a path outside the mapped
// folders comes back as it is.
QString LocalToDevicePath(const QString& localPath);

} // namespace platform
