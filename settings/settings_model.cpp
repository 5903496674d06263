// The settings model: the moments the settings file is loaded and saved, the
// registry profile that names the settings file and the route file of each
// program version, and the defaults of every option.
#include "app/device_config.h"
#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/diagram_button.h"
#include "controls/hard_key_map.h"
#include "foundation/language.h"
#include "foundation/resource_dll.h"
#include "foundation/scale_list.h"
#include "gps/bluetooth_control.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "nav/map_controller.h"
#include "nav/route_file.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "search/search_lists.h"
#include "search/waypoint.h"
#include "search/waypoint_file.h"
#include "settings/settings_body.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "ui/message_window.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kVersionEntry = QStringLiteral("vertion");
const QString kDefaultSettingsPath = QStringLiteral("\\My Documents\\Travenor Pro settings.kns");
const QString kDefaultRoutePath = QStringLiteral("\\My Documents\\Travenor Pro route.rt");

void LeaveDrivingMode()
{
    if (g_CommandRegistry && g_CommandRegistry->IsChecked(CMD_DRIVING_MODE))
        g_CommandRegistry->Execute(CMD_DRIVING_MODE);
}

// Keeps the file at `path` beside it as "<file>.bak" before it is written
// over; true when there is nothing to keep or it was kept.
bool KeepBackup(const QString& path)
{
    const QString local = platform::DevicePathToLocal(path);
    if (!QFileInfo(local).isFile())
        return true;
    const QString backup = local + QStringLiteral(".bak");
    QFile::remove(backup);
    return QFile::copy(local, backup);
}

} // namespace

QString CSettingsFile::SettingsEntry(int version) { return SettingsEntry(QString::number(version)); }

QString CSettingsFile::SettingsEntry(const QString& version)
{
    return QStringLiteral("Settings vertion:") + version;
}

QString CSettingsFile::RouteEntry(int version) { return RouteEntry(QString::number(version)); }

QString CSettingsFile::RouteEntry(const QString& version)
{
    return QStringLiteral("Route version:") + version;
}

void CSettingsFile::Load(int flags)
{
    if ((flags & FLAG_WAYPOINTS) && g_waypoints)
        LoadDefaultWaypoints(*g_waypoints);

    const int version = GetProgramVersionNumber();
    const QString previous = platform::GetProfileString(kSection, kVersionEntry);
    if ((flags & FLAG_VERSION) && previous.toInt() < version && g_messageWnd)
        g_messageWnd->ShowInstalled(-1);

    QString path = platform::GetProfileString(kSection, SettingsEntry(version));
    if (path.isEmpty() && !previous.isEmpty())
        path = platform::GetProfileString(kSection, SettingsEntry(previous));
    if (path.isEmpty()) {
        SetDefaults();
        return;
    }
    LeaveDrivingMode();
    bool accepted = false;
    if (ReadFile(path, &accepted)) {
        if (flags & FLAG_ROUTE)
            RestoreRoute(0);
        return;
    }
    if (g_messageWnd)
        g_messageWnd->ShowSettingsFileUnreadable(-1);
    SetDefaults();
    // The file stays the current one, so that the profile keeps naming it; the
    // first save over it keeps what it held beside it.
    m_path = path;
    m_unreadPath = path;
}

bool CSettingsFile::Save(int flags)
{
    if ((flags & FLAG_WAYPOINTS) && g_waypoints)
        SaveDefaultWaypoints(*g_waypoints);
    const int version = GetProgramVersionNumber();
    if (flags & FLAG_VERSION)
        platform::WriteProfileString(kSection, kVersionEntry, QString::number(version));

    // A file this run has not read is kept beside the new one before it is
    // written over: one that could not be read, or one that happens to lie
    // at the default path.
    const QString path = m_path.isEmpty() ? kDefaultSettingsPath : m_path;
    const bool unread = m_path.isEmpty() || m_unreadPath == path;
    const bool written = (!unread || KeepBackup(path)) && Write(path);
    if (written)
        platform::WriteProfileString(kSection, SettingsEntry(version), path);

    if (flags & FLAG_ROUTE)
        SaveRoute(0);
    SaveAutoBtSetting();
    g_bluetoothControl.Destroy();
    return written;
}

void CSettingsFile::WriteVersionRecords(int /*flags*/)
{
    const int version = GetProgramVersionNumber();
    platform::WriteProfileString(kSection, kVersionEntry, QString::number(version));
    if (!m_path.isEmpty())
        platform::WriteProfileString(kSection, SettingsEntry(version), m_path);
}

bool CSettingsFile::SaveRoute(int flags)
{
    CRoute& route = g_MapController->GetRouteManager().GetRoute();
    if (!(flags & ROUTE_FORCE) && !g_MapController->GetRouteManager().GetSaveRouteOnExit())
        return false;
    const QString own = route.GetName();
    const QString path = IsRouteFilePath(own) ? own : kDefaultRoutePath;
    if (!route.SaveToFile(path))
        return false;
    if (!(flags & ROUTE_OWN_VERSION))
        platform::WriteProfileString(kSection, RouteEntry(GetProgramVersionNumber()), path);
    return true;
}

bool CSettingsFile::RestoreRoute(int flags)
{
    if (!(flags & ROUTE_FORCE) && !g_MapController->GetRouteManager().GetSaveRouteOnExit())
        return false;
    QString path = platform::GetProfileString(kSection, RouteEntry(GetProgramVersionNumber()));
    if (path.isEmpty() && !(flags & ROUTE_OWN_VERSION)) {
        const QString previous = platform::GetProfileString(kSection, kVersionEntry);
        if (!previous.isEmpty())
            path = platform::GetProfileString(kSection, RouteEntry(previous));
    }
    if (path.isEmpty())
        return false;
    if (g_MapController->GetRouteManager().GetRoute().LoadFromFile(path) < 0) {
        if (g_messageWnd)
            g_messageWnd->ShowRouteFileUnreadable(-1);
        return false;
    }
    return true;
}

int CSettingsFile::SetDefaults()
{
    CMapController& controller = *g_MapController;
    CRouteManager& routes = controller.GetRouteManager();
    CRouteGuide& guide = routes.GetGuide();

    LeaveDrivingMode();
    g_waypoints->SetAlertsOn(1);
    g_waypoints->SetAlertRadius(CWaypointListBase::kDefaultAlertRadius);
    g_gpsSourceNumber = GPS_SOURCE_NONE;
    g_language = LANGUAGE_RUSSIAN;
    g_gpsBaudRate = 4800;
    controller.GetOrientationPanel().SetMode(1, -1);

    // The fix at the default place; the map is centred there and the commands
    // run once the fix lock is let go.
    CGeoPos home;
    {
        platform::CSLock lock(g_gpsFixLock);
        ResetGpsFix(g_gpsFix);
        g_gpsFix.SetFromNmea(55, 44.826, 'N', 37, 39.048, 'E');
        home = g_gpsFix;
        g_gpsSource->UpdateMapPosition();
    }
    controller.SetStartCentre(home);
    ExecuteCommand(CMD_SCROLL);

    controller.SetScale(GetDefaultMapScale());
    controller.SetCentreMarkerShown(true);
    GetTransparentButtonRoot().ResetDefaults();
    controller.GetTopButtonBar().Reset(CButtonBar::BAR_TOP);
    controller.GetBottomButtonBar().Reset(CButtonBar::BAR_BOTTOM);
    g_HardKeyMap->SetDefaults();
    g_gpsSource->SetDefaults();

    const int32_t detected = DetectDeviceModel();
    g_deviceModel = NormalizeDeviceModel(detected);
    int32_t source = g_gpsSourceNumber;
    int32_t baud = g_gpsBaudRate;
    GetDefaultGpsPortForDevice(&source, &baud);
    g_gpsSourceNumber = source;
    g_gpsBaudRate = baud;
    g_gpsSource->OpenPort(source, baud);

    if (CScreenElement* scaleBar = controller.GetElements().scaleBar.get())
        scaleBar->SetState(CScreenElement::STATE_SHOWN);
    controller.SetRotation(0);
    routes.SetCorridorWidth(120.0);
    if (guide.GetSensitivity() != CRouteGuide::kDefaultSensitivity) {
        guide.SetSensitivity(CRouteGuide::kDefaultSensitivity);
        routes.RebuildGuidance();
    }
    controller.GetPoiSearcher().SetSearchArea(500, 0, CGeoPos());
    routes.SetRouteLengthTime(15000);
    g_messageWnd->SetSoundEnabled(1);
    routes.SetRerouteOnDeviation(0);
    routes.SetDeviationDelay(10);
    guide.SetFirstPromptDistance(250);
    guide.SetSecondPromptDistance(160);
    guide.SetFinalPromptOn(1);
    guide.SetSecondPromptOn(1);
    guide.SetFirstPromptOn(0);
    g_buttonTooltips = 1;
    guide.SetRepeatCount(2);
    if (CDiagramButton* widgets = controller.GetWidgetSet()) {
        widgets->SetState(CScreenElement::STATE_SHOWN);
        widgets->SetDiagram(14000);
    }
    g_leavingRouteMessages = 0;
    g_creatingRouteMessages = 0;
    if (!controller.IsMovingMode())
        controller.SetAddressDisplay(true);
    // The disabled-road store keeps its files and switches through the defaults.
    routes.SetSaveRouteOnExit(1);
    if (controller.IsFollowGps())
        ExecuteCommand(CMD_GPS_TRACKING);

    JamSettings traffic;
    traffic.host = QString::fromLatin1(kDefaultProviderHost);
    traffic.timeouts = g_jamSettings.timeouts;
    g_jamSettings = traffic;

    if (g_bExpertMode.load() == 0 && !controller.IsZoomSliderShown())
        ExecuteCommand(CMD_ZOOM_SLIDER);
    g_movingModeAfterRoute = 1;
    routes.SetRerouteAfterJams(0);
    g_manualGpsPort = GPS_SOURCE_NONE;
    g_manualGpsBaudRate = 4800;
    controller.GetMapSet().InitFontScaleFromDpi();
    g_listStates.fill(SortState {});
    g_screenshotFolder.clear();
    g_screenshotFormat = 1;
    g_screenshotQuality = 80;
    g_waypointColumns.clear();
    g_poiColumns.clear();
    g_reservedSetting = 0;
    routes.SetOptionAndInvalidate(1);
    controller.LayoutElements();
    g_routeOptimisation = 1;
    g_activeSyncOff = detected == 10 ? 1 : 0;
    SetActiveSyncAutoConnect(g_activeSyncOff ? 0 : 1);
    return 1;
}
