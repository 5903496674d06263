#pragma once
// The settings object: the path of the current settings file, the moments the
// settings are loaded and saved, and the profile records that tie a settings
// file to the program version that wrote it.
//
// The settings file's own body (reading and writing every option) is not
// built yet: loading applies the defaults, saving writes the profile records.
#include "platform/process_object.h"

#include <QString>

class CSettingsFile {
public:
    // Load flags: 1 the waypoint file, 2 the first-start notice, 4 the saved route.
    // Save flags: 1 the waypoint file, 2 "vertion", 4 the route.
    enum : int { FLAG_WAYPOINTS = 1, FLAG_VERSION = 2, FLAG_ROUTE = 4 };

    QString GetPath() const { return m_path; }

    // Finds the settings file named in the profile for this program version
    // (or the version run before) and makes it current; the defaults apply.
    void Load(int flags);
    void Save(int flags);
    // Every option to its default value; returns 1.
    int SetDefaults();
    // "vertion" and, with a current file, "Settings vertion:<version>".
    void WriteVersionRecords(int flags);

    // The profile entry that names the settings file of `version`.
    static QString SettingsEntry(int version);
    static QString SettingsEntry(const QString& version);

private:
    QString m_path;
};

inline platform::ProcessObject<CSettingsFile> g_settingsFile;
