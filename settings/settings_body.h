#pragma once
// The body of the settings file: every option of the program, gathered from
// its owners into one value (CaptureSettings), written in the newest layout
// (StoreSettingsBody), read from a file of any accepted version over such a
// value (LoadSettingsBody) and given back to the owners (ApplySettings).
//
// Reading never touches the program: it fills a staging copy, so a file that
// fails anywhere changes nothing. The owners' blocks are kept as the bytes
// their own serialisers wrote; while reading, each block is measured by its
// owner's reader and checked, and applying hands the very same bytes to the
// owner's Load.
#include "foundation/geo_pos.h"
#include "foundation/page_image_list.h"
#include "platform/archive.h"
#include "settings/settings_record.h"
#include "traffic/jam_settings.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// One owner's block as its serialiser wrote it; empty when the file had none.
using SettingsSection = std::vector<uint8_t>;

struct SettingsBody {
    // The layout the values were read from (or are written in).
    int32_t version = 0;

    int32_t language = 1; // 1
    int32_t gpsSourceNumber = 10; // 2, written as the source's name
    int32_t waypointAlertsOn = 1; // 3
    double waypointAlertRadius = 0.0; // 4, degrees of arc
    int32_t maneuverMode = 1; // 5
    int32_t maneuverHeight = 0; // 6
    int32_t centreX = 0; // 7
    int32_t centreY = 0; // 8
    int32_t scale = 0; // 9
    int32_t centreMarkerShown = 1; // 10
    SettingsSection folders; // 11
    SettingsSection topBar; // 12
    SettingsSection bottomBar; // 13
    SettingsSection hardKeys; // 14
    SettingsSection gps; // 15
    int32_t rotation = 0; // 16
    int32_t scaleBarShown = 1; // 17
    double corridorWidth = 0.0; // 18
    double mainRoutePointsLevel = 0.0; // 19 and 20, the level L itself
    int32_t poiSearchSize = 500; // 21
    int32_t poiSearchKind = 0; // 22
    CGeoPos poiSearchCentre; // 23
    int32_t routeLengthTime = 15000; // 24
    int32_t messageSound = 1; // 25
    int32_t rerouteOnDeviation = 0; // 26
    int32_t deviationDelay = 10; // 27
    int32_t firstPromptDistance = 250; // 28
    int32_t secondPromptDistance = 160; // 29
    int32_t finalPromptOn = 1; // 30
    int32_t secondPromptOn = 1; // 31
    int32_t firstPromptOn = 0; // 32
    int32_t buttonTooltips = 1; // 33
    uint8_t repeatCount = 2; // 34
    CGeoPos fixPosition; // 35
    double fixCourse = 0.0; // 36
    int32_t diagramShown = 1; // 37
    int32_t gpsBaudRate = 4800; // 38
    int32_t leavingRouteMessages = 0; // 39
    int32_t streetTooltip = 1; // 40
    int32_t diagramId = 14000; // 42
    int32_t saveRouteOnExit = 1; // 43
    JamSettings traffic; // 44-52 and 54
    SettingsSection jamFiles; // 53
    double mapCentreLongitude = 10.0; // 55
    double mapCentreLatitude = 10.0; // 56
    int32_t rerouteAfterJams = 0; // 57
    std::vector<int32_t> waypointColumns; // 58
    std::vector<int32_t> poiColumns; // 59
    int32_t movingModeAfterRoute = 1; // 60
    SettingsSection folderNames; // 61
    int32_t deviceModel = 0; // 62
    int32_t manualGpsPort = 10; // 63
    int32_t manualGpsBaudRate = 4800; // 64
    int32_t creatingRouteMessages = 0; // 65
    std::array<SortState, LIST_STATE_COUNT> listStates {}; // 66-73
    QString screenShotPath; // 74
    uint8_t screenShotFormat = 1; // 75
    int32_t jpegQuality = 80; // 76
    int32_t fontPercent = 100; // 79
    int32_t reserved = 0; // 80
    int16_t maneuverOption = 0; // 81
    uint8_t forksOnly = 1; // 82
    int16_t routeOptimisation = 1; // 83
    int32_t activeSyncOff = 0; // 84
};

// Whether a file of `version` holds item 1..84 of the body.
bool SettingsBodyHasItem(int32_t version, int item);

// The program's options now, in the newest layout.
SettingsBody CaptureSettings();
// Items 1-84.
void StoreSettingsBody(platform::Archive& archive, const SettingsBody& body);
// What a file that lacks an item leaves it at, whatever it was before: the
// course of the fix, the GPS speed, the message and tooltip options, the
// font size, the device model, the traffic block, the route optimisation and
// the ActiveSync option.
void SetPreReadValues(SettingsBody& body);
// Reads the items a file of `version` holds over `body` (values out of their
// range keep what `body` had). Throws platform::ArchiveException when the
// file ends early or holds what no writer writes; `body` is then in part
// overwritten and must not be applied.
void LoadSettingsBody(platform::Archive& archive, int32_t version, SettingsBody& body);
// Gives the owners the items the body's version holds, and the pre-read
// values, in the file's order.
void ApplySettings(const SettingsBody& body);

// The default host of the traffic provider's server.
inline constexpr char kDefaultProviderHost[] = "jams.travenor.example";
// The lengths the traffic record keeps of the host and the PIN.
inline constexpr qsizetype kProviderHostUnits = 255;
inline constexpr qsizetype kProviderPinUnits = 41;
