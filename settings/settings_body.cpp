#include "settings/settings_body.h"

#include "controls/button_folders.h"
#include "controls/diagram_button.h"
#include "controls/hard_key_map.h"
#include "foundation/language.h"
#include "foundation/resource_dll.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "nav/map_controller.h"
#include "search/search_lists.h"
#include "search/waypoint.h"
#include "settings/settings_file.h"
#include "traffic/jam_files_section.h"
#include "ui/message_window.h"

#include <algorithm>
#include <cmath>

namespace {

// The first file version that holds each item, and the version whose layout
// is a thing of its own.
int32_t ItemGate(int item)
{
    struct Group {
        int last;
        int32_t gate;
    };
    static constexpr Group kGroups[] = { { 34, 100050 }, { 36, 101003 }, { 39, 101020 }, { 40, 101035 },
        { 41, 101056 }, { 43, 101070 }, { 52, 200000 }, { 53, 200020 }, { 54, 200070 }, { 60, 200300 },
        { 61, 200310 }, { 65, 200384 }, { 76, 200397 }, { 78, 200410 }, { 81, 202018 }, { 82, 202046 },
        { 83, 204105 }, { 84, 204129 } };
    for (const Group& group : kGroups)
        if (item <= group.last)
            return group.gate;
    return INT32_MAX;
}
constexpr int32_t kVersionWithDeviceItemsOnly = 200284;

// Items that keep the pre-read value when the file lacks them (the others
// keep whatever the program had).
bool IsPreReadItem(int item)
{
    switch (item) {
    case 36:
    case 37:
    case 38:
    case 39:
    case 40:
    case 62:
    case 65:
    case 79:
    case 83:
    case 84:
        return true;
    default:
        return (item >= 44 && item <= 52);
    }
}

int32_t AsFlag(int32_t value) { return value != 0 ? 1 : 0; }

// Reads an int32 and keeps it when `accept` says so.
template <class Accept> void ReadChecked(platform::Archive& archive, int32_t& target, Accept accept)
{
    const int32_t value = archive.ReadInt32();
    if (accept(value))
        target = value;
}

void ReadFlag(platform::Archive& archive, int32_t& target) { target = AsFlag(archive.ReadInt32()); }

template <class Accept> void ReadCheckedDouble(platform::Archive& archive, double& target, Accept accept)
{
    const double value = archive.ReadDouble();
    if (std::isfinite(value) && accept(value))
        target = value;
}

// A string the record keeps at most `limit` units of.
QString ReadCut(platform::Archive& archive, qsizetype limit) { return archive.ReadString().left(limit); }

// The GPS speeds a receiver talks at.
bool IsBaudRate(int32_t baud) { return baud > 0 && baud <= 921600; }

// Reads one owner's block: `measure` reads it through (throwing when it is
// damaged) and the bytes it took are kept for the owner's Load.
template <class Measure> SettingsSection TakeSection(platform::Archive& archive, Measure measure)
{
    const size_t from = archive.Position();
    measure(archive);
    const auto bytes = archive.ReadSince(from);
    return SettingsSection(bytes.begin(), bytes.end());
}

template <class Store> SettingsSection StoreSection(Store store)
{
    platform::Archive archive;
    store(archive);
    return archive.Data();
}

template <class Load> void LoadSection(const SettingsSection& section, Load load)
{
    platform::Archive archive(section);
    load(archive);
}

void SkipBytes(platform::Archive& archive, size_t size)
{
    if (size > archive.Remaining())
        throw platform::ArchiveException(
            "the settings file ends inside a block of " + std::to_string(size) + " bytes");
    std::vector<uint8_t> bytes(size);
    archive.ReadBytes(bytes.data(), size);
}

void WriteSection(platform::Archive& archive, const SettingsSection& section)
{
    archive.WriteBytes(section.data(), section.size());
}

// The fix's position and course, under the fix lock, and its map position
// updated before the lock is let go.
void ApplyFix(const SettingsBody& body, bool position)
{
    platform::CSLock lock(g_gpsFixLock);
    if (position)
        static_cast<CGeoPos&>(g_gpsFix) = body.fixPosition;
    g_gpsFix.m_course = body.fixCourse;
    g_gpsSource->UpdateMapPosition();
}

} // namespace

bool SettingsBodyHasItem(int32_t version, int item)
{
    if (version == kVersionWithDeviceItemsOnly)
        return item <= 54 || (item >= 62 && item <= 64);
    return version >= ItemGate(item);
}

SettingsBody CaptureSettings()
{
    CMapController& controller = *g_MapController;
    CRouteManager& routes = controller.GetRouteManager();
    CRouteGuide& guide = routes.GetGuide();
    SettingsBody body;
    body.version = GetProgramVersionNumber();
    body.language = g_language;
    body.gpsSourceNumber = g_gpsSourceNumber;
    body.waypointAlertsOn = g_waypoints->GetAlertsOn();
    body.waypointAlertRadius = g_waypoints->GetAlertRadius();
    CManeuverPanel& panel = controller.GetOrientationPanel();
    body.maneuverMode = panel.GetMode();
    body.maneuverHeight = panel.GetHeight();
    body.centreX = controller.GetCentreX();
    body.centreY = controller.GetCentreY();
    body.scale = controller.GetScale();
    body.centreMarkerShown = controller.GetCentreMarkerShown() ? 1 : 0;
    body.folders = StoreSection([](platform::Archive& a) { GetTransparentButtonRoot().Store(a); });
    body.topBar = StoreSection([&](platform::Archive& a) { controller.GetTopButtonBar().Store(a); });
    body.bottomBar = StoreSection([&](platform::Archive& a) { controller.GetBottomButtonBar().Store(a); });
    body.hardKeys = StoreSection([](platform::Archive& a) { g_HardKeyMap->Store(a); });
    body.gps = StoreSection([](platform::Archive& a) { g_gpsSource->SaveSettings(a); });
    body.rotation = controller.GetRotation();
    const CScreenElement* scaleBar = controller.GetElements().scaleBar.get();
    body.scaleBarShown = scaleBar ? AsFlag(scaleBar->GetState()) : 1;
    body.corridorWidth = routes.GetCorridorWidth();
    body.mainRoutePointsLevel = guide.GetSensitivity();
    controller.GetPoiSearcher().GetSearchArea(body.poiSearchSize, body.poiSearchKind, body.poiSearchCentre);
    body.routeLengthTime = routes.GetRouteLengthTime();
    body.messageSound = g_messageWnd->IsSoundEnabled();
    body.rerouteOnDeviation = routes.GetRerouteOnDeviation();
    body.deviationDelay = routes.GetDeviationDelay();
    body.firstPromptDistance = guide.GetFirstPromptDistance();
    body.secondPromptDistance = guide.GetSecondPromptDistance();
    body.finalPromptOn = AsFlag(guide.IsFinalPromptOn());
    body.secondPromptOn = AsFlag(guide.IsSecondPromptOn());
    body.firstPromptOn = AsFlag(guide.IsFirstPromptOn());
    body.buttonTooltips = g_buttonTooltips;
    body.repeatCount = guide.GetRepeatCount();
    {
        platform::CSLock lock(g_gpsFixLock);
        body.fixPosition = static_cast<const CGeoPos&>(g_gpsFix);
        body.fixCourse = g_gpsFix.m_course;
    }
    CDiagramButton* widgets = controller.GetWidgetSet();
    body.diagramShown = widgets ? AsFlag(widgets->GetState()) : 1;
    body.gpsBaudRate = g_gpsBaudRate;
    body.leavingRouteMessages = g_leavingRouteMessages;
    body.streetTooltip = controller.IsAddressDisplayOn() ? 1 : 0;
    body.diagramId = widgets ? widgets->GetDiagram() : 14000;
    body.saveRouteOnExit = routes.GetSaveRouteOnExit();
    body.traffic = g_jamSettings;
    body.jamFiles
        = StoreSection([&](platform::Archive& a) { StoreJamFilesSection(a, controller.GetJamFiles()); });
    CGeoPos centre;
    if (controller.GetCentreGeoPosition(centre)) {
        body.mapCentreLongitude = centre.GetLongitude().GetRadians();
        body.mapCentreLatitude = centre.GetLatitude().GetRadians();
    }
    body.rerouteAfterJams = routes.GetRerouteAfterJams();
    body.waypointColumns = g_waypointColumns;
    body.poiColumns = g_poiColumns;
    body.movingModeAfterRoute = g_movingModeAfterRoute;
    body.folderNames
        = StoreSection([](platform::Archive& a) { GetTransparentButtonRoot().SerializeNames(a); });
    body.deviceModel = g_deviceModel;
    body.manualGpsPort = g_manualGpsPort;
    body.manualGpsBaudRate = g_manualGpsBaudRate;
    body.creatingRouteMessages = g_creatingRouteMessages;
    body.listStates = g_listStates;
    body.screenShotPath = g_screenshotFolder;
    body.screenShotFormat = g_screenshotFormat != 0 ? 1 : 0;
    body.jpegQuality = g_screenshotQuality;
    body.fontPercent = controller.GetMapSet().GetFontScale();
    body.reserved = g_reservedSetting;
    body.maneuverOption = static_cast<int16_t>(panel.GetOrder());
    {
        platform::CSLock lock(routes.GetRoute().GetPointLock());
        body.forksOnly = guide.GetForksOnly() ? 1 : 0;
    }
    body.routeOptimisation = g_routeOptimisation;
    body.activeSyncOff = g_activeSyncOff;
    return body;
}

void StoreSettingsBody(platform::Archive& archive, const SettingsBody& body)
{
    QString sourceName;
    if (!GetGpsSourceName(body.gpsSourceNumber, &sourceName))
        sourceName.clear();
    archive.WriteInt32(body.language);
    archive.WriteString(sourceName);
    archive.WriteInt32(body.waypointAlertsOn);
    archive.WriteDouble(body.waypointAlertRadius);
    archive.WriteInt32(body.maneuverMode);
    archive.WriteInt32(body.maneuverHeight);
    archive.WriteInt32(body.centreX);
    archive.WriteInt32(body.centreY);
    archive.WriteInt32(body.scale);
    archive.WriteInt32(body.centreMarkerShown);
    WriteSection(archive, body.folders);
    WriteSection(archive, body.topBar);
    WriteSection(archive, body.bottomBar);
    WriteSection(archive, body.hardKeys);
    WriteSection(archive, body.gps);
    archive.WriteInt32(body.rotation);
    archive.WriteInt32(body.scaleBarShown);
    archive.WriteDouble(body.corridorWidth);
    archive.WriteDouble(EncodeMainRoutePointsLevel(body.mainRoutePointsLevel));
    archive.WriteDouble(EncodeMainRoutePointsLevelOld(body.mainRoutePointsLevel));
    archive.WriteInt32(body.poiSearchSize);
    archive.WriteInt32(body.poiSearchKind);
    WritePosition(archive, body.poiSearchCentre);
    archive.WriteInt32(body.routeLengthTime);
    archive.WriteInt32(body.messageSound);
    archive.WriteInt32(body.rerouteOnDeviation);
    archive.WriteInt32(body.deviationDelay);
    archive.WriteInt32(body.firstPromptDistance);
    archive.WriteInt32(body.secondPromptDistance);
    archive.WriteInt32(body.finalPromptOn);
    archive.WriteInt32(body.secondPromptOn);
    archive.WriteInt32(body.firstPromptOn);
    archive.WriteInt32(body.buttonTooltips);
    archive.WriteUInt8(body.repeatCount);
    WritePosition(archive, body.fixPosition);
    archive.WriteDouble(body.fixCourse);
    archive.WriteInt32(body.diagramShown);
    archive.WriteInt32(body.gpsBaudRate);
    archive.WriteInt32(body.leavingRouteMessages);
    archive.WriteInt32(body.streetTooltip);
    WriteObsoleteSection(archive);
    archive.WriteInt32(body.diagramId);
    archive.WriteInt32(body.saveRouteOnExit);
    const JamSettings& traffic = body.traffic;
    archive.WriteUInt16(traffic.kind);
    archive.WriteInt32(traffic.downloadEnabled);
    archive.WriteUInt16(traffic.periodMinutes);
    archive.WriteInt32(traffic.defaultServer);
    archive.WriteString(traffic.host.left(kProviderHostUnits));
    archive.WriteUInt16(traffic.port);
    archive.WriteUInt64(traffic.uid);
    archive.WriteString(traffic.pin.left(kProviderPinUnits));
    archive.WriteUInt16(traffic.comPort);
    WriteSection(archive, body.jamFiles);
    archive.WriteInt32(traffic.receiverEnabled);
    archive.WriteDouble(body.mapCentreLongitude);
    archive.WriteDouble(body.mapCentreLatitude);
    archive.WriteInt32(body.rerouteAfterJams);
    WriteColumnLayout(archive, body.waypointColumns);
    WriteColumnLayout(archive, body.poiColumns);
    archive.WriteInt32(body.movingModeAfterRoute);
    WriteSection(archive, body.folderNames);
    archive.WriteInt32(body.deviceModel);
    archive.WriteInt32(body.manualGpsPort);
    archive.WriteInt32(body.manualGpsBaudRate);
    archive.WriteInt32(body.creatingRouteMessages);
    for (const SortState& state : body.listStates)
        WriteListState(archive, state);
    archive.WriteString(body.screenShotPath);
    archive.WriteUInt8(body.screenShotFormat);
    archive.WriteInt32(body.jpegQuality);
    archive.WriteInt32(-1);
    archive.WriteUInt8(0);
    archive.WriteInt32(body.fontPercent);
    archive.WriteInt32(body.reserved);
    archive.WriteInt32(body.maneuverOption);
    archive.WriteUInt8(body.forksOnly);
    archive.WriteUInt16(static_cast<uint16_t>(body.routeOptimisation));
    archive.WriteInt32(body.activeSyncOff);
}

void SetPreReadValues(SettingsBody& body)
{
    body.fixCourse = 0.0;
    body.diagramShown = 1;
    body.gpsBaudRate = 4800;
    body.leavingRouteMessages = 1;
    body.creatingRouteMessages = 1;
    body.streetTooltip = 1;
    body.fontPercent = CMapSet::DefaultFontScale();
    const int32_t detected = DetectDeviceModel();
    body.deviceModel = NormalizeDeviceModel(detected);
    JamSettings traffic;
    traffic.host = QString::fromLatin1(kDefaultProviderHost);
    traffic.comPort = 1;
    traffic.receiverEnabled = body.traffic.receiverEnabled;
    traffic.timeouts = body.traffic.timeouts;
    body.traffic = traffic;
    body.routeOptimisation = 1;
    body.activeSyncOff = detected == 10 ? 1 : 0;
}

void LoadSettingsBody(platform::Archive& archive, int32_t version, SettingsBody& body)
{
    body.version = version;
    auto has = [version](int item) { return SettingsBodyHasItem(version, item); };

    ReadChecked(
        archive, body.language, [](int32_t v) { return v == LANGUAGE_ENGLISH || v == LANGUAGE_RUSSIAN; });
    int32_t source = GPS_SOURCE_NONE;
    ParseGpsSourceName(archive.ReadString(), &source);
    body.gpsSourceNumber = source;
    ReadFlag(archive, body.waypointAlertsOn);
    // Up to a degree of arc (111 km); not above 0 leaves the radius in force.
    ReadCheckedDouble(archive, body.waypointAlertRadius, [](double r) { return r > 0.0 && r <= 1.0; });
    const int32_t mode = archive.ReadInt32();
    body.maneuverMode = std::clamp(mode, 0, 2);
    archive.ReadInt32(); // the panel's height: the panel's own
    body.centreX = archive.ReadInt32();
    body.centreY = archive.ReadInt32();
    ReadChecked(archive, body.scale, [](int32_t v) { return v > 0; });
    ReadFlag(archive, body.centreMarkerShown);
    CButtonFolders::Block folders;
    body.folders
        = TakeSection(archive, [&](platform::Archive& a) { folders = CButtonFolders::ReadBlock(a); });
    body.topBar = TakeSection(archive, [](platform::Archive& a) { SkipBytes(a, CButtonBar::kBlockSize); });
    body.bottomBar = TakeSection(archive, [](platform::Archive& a) { SkipBytes(a, CButtonBar::kBlockSize); });
    body.hardKeys = TakeSection(archive, [](platform::Archive& a) { SkipBytes(a, CHardKeyMap::kBlockSize); });
    body.gps = TakeSection(archive, [](platform::Archive& a) { CGpsSource::ReadSettings(a); });
    const int32_t rotation = archive.ReadInt32();
    body.rotation = ((rotation % 3600) + 3600) % 3600;
    ReadFlag(archive, body.scaleBarShown);
    ReadCheckedDouble(archive, body.corridorWidth, [](double w) { return w > 0.0 && w <= 10000.0; });
    const double level = archive.ReadDouble();
    if (std::isfinite(level)) {
        // An equal level changes nothing, so a level written and read back stays bit for bit.
        if (EncodeMainRoutePointsLevel(body.mainRoutePointsLevel) != level)
            body.mainRoutePointsLevel = DecodeMainRoutePointsLevel(level);
    }
    archive.ReadDouble(); // the level in the old form: written for older readers
    ReadChecked(archive, body.poiSearchSize, [](int32_t v) { return v > 0 && v <= 100000; });
    ReadChecked(archive, body.poiSearchKind, [](int32_t v) { return v >= -1 && v <= 5; });
    body.poiSearchCentre = ReadPosition(archive, version);
    ReadChecked(archive, body.routeLengthTime, [](int32_t v) { return v >= -1; });
    ReadFlag(archive, body.messageSound);
    ReadFlag(archive, body.rerouteOnDeviation);
    ReadChecked(archive, body.deviationDelay, [](int32_t v) { return v >= 0 && v <= 3600; });
    ReadChecked(archive, body.firstPromptDistance, [](int32_t v) { return v >= 0 && v <= 100000; });
    ReadChecked(archive, body.secondPromptDistance, [](int32_t v) { return v >= 0 && v <= 100000; });
    ReadFlag(archive, body.finalPromptOn);
    ReadFlag(archive, body.secondPromptOn);
    ReadFlag(archive, body.firstPromptOn);
    ReadFlag(archive, body.buttonTooltips);
    body.repeatCount = std::clamp<uint8_t>(archive.ReadUInt8(), 1, 3);
    if (has(35)) {
        body.fixPosition = ReadPosition(archive, version);
        ReadCheckedDouble(archive, body.fixCourse, [](double c) { return c >= 0.0 && c <= 360.0; });
    }
    if (has(37)) {
        ReadFlag(archive, body.diagramShown);
        ReadChecked(archive, body.gpsBaudRate, IsBaudRate);
        ReadFlag(archive, body.leavingRouteMessages);
    }
    if (has(40))
        ReadFlag(archive, body.streetTooltip);
    if (has(41))
        SkipObsoleteSection(archive);
    if (has(42)) {
        const int32_t diagram = archive.ReadInt32();
        body.diagramId = diagram >= 14000 && diagram <= 14006 ? diagram : 14000;
        ReadFlag(archive, body.saveRouteOnExit);
    }
    if (has(44)) {
        JamSettings& traffic = body.traffic;
        const uint16_t kind = archive.ReadUInt16();
        if (kind >= 1 && kind <= 3)
            traffic.kind = kind;
        traffic.downloadEnabled = AsFlag(archive.ReadInt32());
        traffic.periodMinutes = std::clamp<uint16_t>(archive.ReadUInt16(), 5, 60);
        traffic.defaultServer = AsFlag(archive.ReadInt32());
        traffic.host = ReadCut(archive, kProviderHostUnits);
        const uint16_t port = archive.ReadUInt16();
        if (port != 0)
            traffic.port = port;
        traffic.uid = archive.ReadUInt64();
        traffic.pin = ReadCut(archive, kProviderPinUnits);
        const uint16_t comPort = archive.ReadUInt16();
        if (comPort <= 9)
            traffic.comPort = comPort;
    }
    if (has(53))
        body.jamFiles = TakeSection(archive, [](platform::Archive& a) { ReadJamFilesSection(a); });
    if (has(54))
        body.traffic.receiverEnabled = AsFlag(archive.ReadInt32());
    if (has(55)) {
        body.mapCentreLongitude = archive.ReadDouble();
        body.mapCentreLatitude = archive.ReadDouble();
        ReadFlag(archive, body.rerouteAfterJams);
        body.waypointColumns = ReadColumnLayout(archive);
        body.poiColumns = ReadColumnLayout(archive);
        ReadFlag(archive, body.movingModeAfterRoute);
    }
    if (has(61)) {
        const int count = static_cast<int>(folders.folders.size());
        body.folderNames
            = TakeSection(archive, [count](platform::Archive& a) { CButtonFolders::ReadNames(a, count); });
    }
    if (has(62)) {
        ReadChecked(archive, body.deviceModel, [](int32_t v) { return v >= 0; });
        ReadChecked(archive, body.manualGpsPort, [](int32_t v) { return v >= 0 && v <= GPS_SOURCE_DRIVER; });
        ReadChecked(archive, body.manualGpsBaudRate, IsBaudRate);
    }
    if (has(65))
        ReadFlag(archive, body.creatingRouteMessages);
    if (has(66)) {
        for (SortState& state : body.listStates)
            state = ReadListState(archive);
        const QString shot = archive.ReadString();
        if (shot.size() <= 1024)
            body.screenShotPath = shot;
        body.screenShotFormat = archive.ReadUInt8() != 0 ? 1 : 0;
        ReadChecked(archive, body.jpegQuality, [](int32_t v) { return v >= 1 && v <= 100; });
    }
    if (has(77)) {
        archive.ReadInt32();
        archive.ReadUInt8();
    }
    if (has(79)) {
        body.fontPercent = std::clamp(archive.ReadInt32(), 100, 200);
        body.reserved = archive.ReadInt32();
        const int32_t option = archive.ReadInt32();
        if (option >= 0 && option <= 2)
            body.maneuverOption = static_cast<int16_t>(option);
    }
    if (has(82))
        body.forksOnly = archive.ReadUInt8() != 0 ? 1 : 0;
    if (has(83)) {
        const uint16_t optimisation = archive.ReadUInt16();
        if (optimisation == 1 || optimisation == 2)
            body.routeOptimisation = static_cast<int16_t>(optimisation);
    }
    if (has(84))
        ReadFlag(archive, body.activeSyncOff);
}

void ApplySettings(const SettingsBody& body)
{
    const int32_t version = body.version;
    auto applies = [version](int item) { return SettingsBodyHasItem(version, item) || IsPreReadItem(item); };
    CMapController& controller = *g_MapController;
    CRouteManager& routes = controller.GetRouteManager();
    CRouteGuide& guide = routes.GetGuide();

    g_language = body.language;
    g_gpsSourceNumber = body.gpsSourceNumber;
    g_waypoints->SetAlertsOn(body.waypointAlertsOn);
    g_waypoints->SetAlertRadius(body.waypointAlertRadius);
    CManeuverPanel& panel = controller.GetOrientationPanel();
    panel.SetMode(body.maneuverMode, -1);
    controller.SetCentreX(body.centreX);
    controller.SetCentreY(body.centreY);
    controller.SetScale(body.scale);
    controller.SetRedrawFlag(1);
    controller.SetCentreMarkerShown(body.centreMarkerShown != 0);
    LoadSection(body.folders, [](platform::Archive& a) { GetTransparentButtonRoot().Load(a); });
    LoadSection(body.topBar, [&](platform::Archive& a) { controller.GetTopButtonBar().Load(a); });
    LoadSection(body.bottomBar, [&](platform::Archive& a) { controller.GetBottomButtonBar().Load(a); });
    LoadSection(body.hardKeys, [](platform::Archive& a) { g_HardKeyMap->Load(a); });
    LoadSection(body.gps, [](platform::Archive& a) { g_gpsSource->LoadSettings(a); });
    controller.SetRotation(body.rotation);
    if (CScreenElement* scaleBar = controller.GetElements().scaleBar.get())
        scaleBar->SetState(body.scaleBarShown);
    routes.SetCorridorWidth(body.corridorWidth);
    if (guide.GetSensitivity() != body.mainRoutePointsLevel) {
        guide.SetSensitivity(body.mainRoutePointsLevel);
        routes.RebuildGuidance();
    }
    controller.GetPoiSearcher().SetSearchArea(body.poiSearchSize, body.poiSearchKind, body.poiSearchCentre);
    routes.SetRouteLengthTime(body.routeLengthTime);
    g_messageWnd->SetSoundEnabled(body.messageSound);
    routes.SetRerouteOnDeviation(body.rerouteOnDeviation);
    routes.SetDeviationDelay(body.deviationDelay);
    guide.SetFirstPromptDistance(body.firstPromptDistance);
    guide.SetSecondPromptDistance(body.secondPromptDistance);
    guide.SetFinalPromptOn(body.finalPromptOn);
    guide.SetSecondPromptOn(body.secondPromptOn);
    guide.SetFirstPromptOn(body.firstPromptOn);
    g_buttonTooltips = body.buttonTooltips;
    guide.SetRepeatCount(body.repeatCount);
    ApplyFix(body, SettingsBodyHasItem(version, 35));
    CDiagramButton* widgets = controller.GetWidgetSet();
    if (widgets)
        widgets->SetState(body.diagramShown);
    g_gpsBaudRate = body.gpsBaudRate;
    g_leavingRouteMessages = body.leavingRouteMessages;
    if (!controller.IsMovingMode())
        controller.SetAddressDisplay(body.streetTooltip != 0);
    if (applies(42)) {
        if (widgets)
            widgets->SetDiagram(body.diagramId);
        routes.SetSaveRouteOnExit(body.saveRouteOnExit);
    }
    if (applies(44))
        g_jamSettings = body.traffic;
    if (applies(53))
        LoadSection(
            body.jamFiles, [&](platform::Archive& a) { LoadJamFilesSection(a, controller.GetJamFiles()); });
    if (applies(55)) {
        // The map-unit centre stays when the geographic one is out of range; a
        // place the open map does not hold gives the middle of the map.
        CGeoPos centre;
        if (centre.SetChecked(body.mapCentreLatitude, body.mapCentreLongitude, true))
            controller.SetStartCentre(centre);
        routes.SetRerouteAfterJams(body.rerouteAfterJams);
        g_waypointColumns = body.waypointColumns;
        g_poiColumns = body.poiColumns;
        g_movingModeAfterRoute = body.movingModeAfterRoute;
    }
    if (applies(61))
        LoadSection(
            body.folderNames, [](platform::Archive& a) { GetTransparentButtonRoot().SerializeNames(a); });
    g_deviceModel = body.deviceModel;
    if (applies(63)) {
        g_manualGpsPort = body.manualGpsPort;
        g_manualGpsBaudRate = body.manualGpsBaudRate;
    }
    g_creatingRouteMessages = body.creatingRouteMessages;
    if (applies(66)) {
        g_listStates = body.listStates;
        g_screenshotFolder = body.screenShotPath;
        g_screenshotFormat = body.screenShotFormat;
        g_screenshotQuality = body.jpegQuality;
    }
    controller.GetMapSet().SetFontScale(body.fontPercent);
    if (applies(80)) {
        g_reservedSetting = body.reserved;
        panel.ApplyOption(body.maneuverOption);
    }
    if (applies(82))
        routes.SetOptionAndInvalidate(body.forksOnly);
    g_routeOptimisation = body.routeOptimisation;
    g_activeSyncOff = body.activeSyncOff;
}
