#pragma once
// The settings object g_settingsFile and the settings file (".kns").
//
// The file is one archive (platform/archive.h): the header string (the
// signature followed at once by the program version in decimal), then the
// body, every option of the program in one fixed order, with the owners'
// blocks (button folders, bars, keys, GPS, disabled-road files, folder names)
// written and read by their owners' own serialisers. The writer always writes
// the newest layout; the reader takes every layout from version 100050 on, each
// later group of options behind the version that added it.
//
// A file is read whole before anything of it is applied: a file that is cut
// short or damaged anywhere changes no setting. Every length and count is
// checked against what the file still holds, and every value against its
// range. A file is written through a temporary file, so a failed write leaves
// the old file as it was.
//
// The moments of loading and saving, the defaults and the registry profile are
// settings_model.cpp; the body itself is settings_body.h.
#include "foundation/geo_pos.h"
#include "foundation/page_image_list.h"
#include "platform/archive.h"
#include "platform/process_object.h"

#include <QString>
#include <cstdint>
#include <vector>

class CSettingsFile {
public:
    // Load: 1 the waypoint file, 2 the first-start notice, 4 the saved route
    // after a successful read. Save: 1 the waypoint file, 2 "vertion", 4 the route.
    enum : int { FLAG_WAYPOINTS = 1, FLAG_VERSION = 2, FLAG_ROUTE = 4 };
    // SaveRoute and RestoreRoute: 1 whatever the save-route option says; 2 the
    // profile entry of this version only (no entry written on save, no
    // fallback to the version run before on restore).
    enum : int { ROUTE_FORCE = 1, ROUTE_OWN_VERSION = 2 };

    QString GetPath() const { return m_path; }

    // The file operations. Write takes a path ending in ".kns" (any case) and
    // writes the whole file there; on success the path becomes current.
    // False, with the old file kept, when the path is refused or anything
    // fails on the way.
    bool Write(const QString& path);
    bool SaveCurrent() { return Write(m_path); }
    bool SaveAs(const QString& path) { return Write(path); }
    // Items 1-84 in the newest layout; returns 1.
    int WriteBody(platform::Archive& archive);
    // Reads an existing ".kns" file: 1 when its whole body was read and
    // applied (the path is then current), 0 with nothing changed otherwise.
    int Read(const QString& path);
    // The settings-files page's Open: driving mode off, then Read.
    int Open(const QString& path);
    // Reads the body of a file of `version` into a staging copy and applies it
    // when whole: 1; 0 with nothing changed when the archive fails first.
    int ReadBody(platform::Archive& archive, int32_t version);

    // Start-up and the mode switch: the file the profile names for this
    // version (or the version run before) is read; the defaults are taken
    // when there is none or it cannot be read.
    void Load(int flags);
    // The settings file is written (to the current path, else the default
    // one) and the profile made to name it. True when the file was written.
    bool Save(int flags);
    // Every option to its default; returns 1.
    int SetDefaults();
    // The route to its file and the profile (save), or back from the file the
    // profile names (restore). True when a route file was written or loaded.
    bool SaveRoute(int flags);
    bool RestoreRoute(int flags);
    // "vertion" and, with a current file, "Settings vertion:<version>".
    void WriteVersionRecords(int flags);

    // The profile entry that names the settings file of `version`.
    static QString SettingsEntry(int version);
    static QString SettingsEntry(const QString& version);
    // The profile entry that names the route file of `version`.
    static QString RouteEntry(int version);
    static QString RouteEntry(const QString& version);

    // A file that failed to read: it stays current, and the first save over
    // it keeps the old contents beside it as "<file>.bak".
    QString GetUnreadPath() const { return m_unreadPath; }

private:
    // Reads and applies a file; with `accepted` set when its header was.
    int ReadFile(const QString& path, bool* accepted);
    // What a read does in every accepted case once the body is done with:
    // ActiveSync, the Bluetooth controller and the GPS source.
    void FinishRead();

    QString m_path;
    QString m_unreadPath;
};

inline platform::ProcessObject<CSettingsFile> g_settingsFile;

// The header: the signature followed by the version in decimal.
QString SettingsFileSignature();
QString SettingsFileHeader(int32_t version);
// The version a header names, or 0 when the file is not to be read (another
// signature, in any letter, or a version not above 100049).
int32_t ParseSettingsFileHeader(const QString& header);
// The oldest file version read, and the first whose positions are records.
inline constexpr int32_t kOldestSettingsVersion = 100050;
inline constexpr int32_t kFirstPositionRecordVersion = 101053;
// The largest settings file read; a larger one is no settings file.
inline constexpr qint64 kLargestSettingsFile = 4 * 1024 * 1024;
// Whether a path names a settings file: it ends in ".kns", in any case.
bool IsSettingsFilePath(const QString& path);

// The record forms of the body.
// A position: from version 101053 on two doubles (longitude and latitude in
// radians) and a flags byte (bit 0 valid); before it in the NMEA manner. The
// position read is valid only when the file's is and its angles are in range.
void WritePosition(platform::Archive& archive, const CGeoPos& position);
CGeoPos ReadPosition(platform::Archive& archive, int32_t version);
// A list's column layout: a count n, then n values.
void WriteColumnLayout(platform::Archive& archive, const std::vector<int32_t>& layout);
std::vector<int32_t> ReadColumnLayout(platform::Archive& archive);
// A list's sort state: the column (-1 none) and the order byte (0..2).
void WriteListState(platform::Archive& archive, const SortState& state);
SortState ReadListState(platform::Archive& archive);
// The "cLs" section, kept in the file for older readers and skipped here.
void WriteObsoleteSection(platform::Archive& archive);
void SkipObsoleteSection(platform::Archive& archive);
// The main-route-points level L (0..1) as items 19 and 20 store it, and back.
double EncodeMainRoutePointsLevel(double level);
double EncodeMainRoutePointsLevelOld(double level);
double DecodeMainRoutePointsLevel(double stored);
