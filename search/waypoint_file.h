#pragma once
// The waypoint file (".kwp"): Windows-1251 text, one record per waypoint, each
// beginning with CR LF, fields ending with the byte 0xA4, every byte stored
// shifted down by 9 (mode 1; any other mode stores the text as it is). The
// list's SaveFile, LoadFile and LoadFolder (waypoint.h) sit on these.
#include "search/waypoint.h"

#include <QString>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kwp {

inline constexpr char kSeparator = '\xA4';
inline constexpr int kEncodedMode = 1;
inline constexpr uint8_t kShift = 9;
// A longer sound path is left out of its record.
inline constexpr qsizetype kMaxSoundPath = 354;
// A larger file is not read.
inline constexpr int64_t kMaxFileSize = 64 * 1024 * 1024;

// The 8-bit form of a text field: Windows-1251, "?" for what it cannot write,
// and a blank for the separator and for control characters, which would
// otherwise end the field or the record early.
std::string ToFileText(const QString& text);
// The wide form of a text field: the bytes of the file's character table
// (letters, digits, punctuation and a few typographic signs); any other byte
// is dropped.
QString FromFileText(std::string_view text);

// One waypoint's record text, sound field included when it fits. A waypoint
// without a valid position keeps empty position fields, which read back as an
// invalid position.
std::string FormatRecord(const CWaypoint& waypoint);

// Shifts every byte for the mode (1), or leaves the text as it is.
void Encode(std::string& bytes, int mode);
void Decode(std::span<uint8_t> bytes, int mode);

// The records of a decoded file, in file order; `filePath` becomes each one's
// file path. Fields a record lacks keep the values of a new waypoint.
std::vector<CWaypoint> ParseRecords(std::span<const uint8_t> decoded, const QString& filePath);

// The whole file of the list's waypoints as written, each waypoint's file path
// set to `filePath` on the way.
std::string FormatFile(std::vector<CWaypoint>& waypoints, const QString& filePath, int mode);

} // namespace kwp

// The program's default waypoint file, "waypoints.kwp" in the program folder.
QString GetDefaultWaypointFilePath();
// Start-up: when the default file exists, the list is replaced by its waypoints.
// A file that exists but does not load leaves the list empty and is marked
// unread, so that the save at exit keeps it.
void LoadDefaultWaypoints(CWaypointList& list);
// Exit: writes the list into the default file; an empty list deletes the file,
// unless that file could not be read at start-up (it is then kept, and a
// non-empty list first moves it aside to a numbered name). 0 when writing failed.
int SaveDefaultWaypoints(CWaypointList& list);
