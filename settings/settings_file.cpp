#include "settings/settings_file.h"

#include "controls/hard_key_map.h"
#include "foundation/language.h"
#include "foundation/resource_dll.h"
#include "platform/profile.h"
#include "search/waypoint_file.h"
#include "settings/settings_record.h"

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kVersionEntry = QStringLiteral("vertion");
}

QString CSettingsFile::SettingsEntry(int version) { return SettingsEntry(QString::number(version)); }

QString CSettingsFile::SettingsEntry(const QString& version)
{
    return QStringLiteral("Settings vertion:") + version;
}

void CSettingsFile::Load(int flags)
{
    QString path = platform::GetProfileString(kSection, SettingsEntry(GetProgramVersionNumber()));
    if (path.isEmpty()) {
        const QString previous = platform::GetProfileString(kSection, kVersionEntry);
        if (!previous.isEmpty())
            path = platform::GetProfileString(kSection, SettingsEntry(previous));
    }
    m_path = path;
    SetDefaults();
    if ((flags & FLAG_WAYPOINTS) != 0 && g_waypoints)
        LoadDefaultWaypoints(*g_waypoints);
}

void CSettingsFile::Save(int flags)
{
    if (flags & FLAG_VERSION)
        platform::WriteProfileString(kSection, kVersionEntry, QString::number(GetProgramVersionNumber()));
    if ((flags & FLAG_WAYPOINTS) != 0 && g_waypoints)
        SaveDefaultWaypoints(*g_waypoints);
}

int CSettingsFile::SetDefaults()
{
    g_gpsSourceNumber = 10;
    g_language = LANGUAGE_RUSSIAN;
    g_buttonTooltips = 1;
    if (g_HardKeyMap)
        g_HardKeyMap->SetDefaults();
    return 1;
}

void CSettingsFile::WriteVersionRecords(int /*flags*/)
{
    platform::WriteProfileString(kSection, kVersionEntry, QString::number(GetProgramVersionNumber()));
    if (!m_path.isEmpty())
        platform::WriteProfileString(kSection, SettingsEntry(GetProgramVersionNumber()), m_path);
}
