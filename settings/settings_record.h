#pragma once
// The settings record: the program-wide option values that belong to no other
// object. The rest of the options live with their owners (the map controller,
// the route manager and its guidance, the GPS source, the button bars, the
// hardware keys, the transparent-button folders, the waypoint list, the
// jam-file store, the message window) and the traffic block is g_jamSettings
// (traffic/jam_settings.h). The settings file (settings_file.h) reads and
// writes all of them; CSettingsFile::SetDefaults gives each its default.
//
// Values the draw thread or another thread reads are atomics; the rest are
// read and written on the user-interface thread only.
#include "foundation/page_image_list.h"

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>

// Interface mode: 0 simple, 1 expert. Read on the draw thread by the on-map elements.
inline std::atomic<int32_t> g_bExpertMode { 0 };
// GPS source: 0-9 a COM port, 10 none, 11 NMEA file replay, 12 the GPS driver.
inline std::atomic<int32_t> g_gpsSourceNumber { 10 };
// GPS port speed, and the source and speed of the device model "Manual settings".
inline std::atomic<int32_t> g_gpsBaudRate { 4800 };
inline std::atomic<int32_t> g_manualGpsPort { 10 };
inline std::atomic<int32_t> g_manualGpsBaudRate { 4800 };
// The handheld model (0 manual settings; the GPS source names' table).
inline std::atomic<int32_t> g_deviceModel { 0 };
// Shows the command name while a button is held; the draw thread reads it.
inline std::atomic<int32_t> g_buttonTooltips { 1 };
// "Leaving route messages": the notices on leaving and regaining the route.
inline std::atomic<int32_t> g_leavingRouteMessages { 1 };
// "Creating route messages".
inline std::atomic<int32_t> g_creatingRouteMessages { 0 };
// The street tool tip (the address panel) on the map.
inline std::atomic<int32_t> g_showStreetTooltip { 1 };
// The router's optimisation: 1 the shortest route, 2 the fastest.
inline std::atomic<int16_t> g_routeOptimisation { 1 };
// Moving mode switched on after the route wizard created a route.
inline std::atomic<int32_t> g_movingModeAfterRoute { 1 };
// ActiveSync's automatic connection switched off while the program runs.
inline int32_t g_activeSyncOff = 0;
// A value kept in the settings file for nothing in particular (0).
inline int32_t g_reservedSetting = 0;

// Screenshots (user-interface thread): the folder of the last one, ending
// with its separator (empty: the documents folder), the format (0 BMP, 1 JPEG)
// and the JPEG quality.
inline QString g_screenshotFolder;
inline int32_t g_screenshotFormat = 1;
inline int32_t g_screenshotQuality = 80;

// The remembered sort column and direction of the lists of the settings,
// waypoint and search pages, in the settings file's order.
enum ListStateIndex : int {
    LIST_POI_RESULTS = 0,
    LIST_BLOCKS = 1,
    LIST_WAYPOINTS = 2,
    LIST_HARD_KEYS = 3,
    LIST_HARD_KEY_COMMANDS = 4,
    LIST_TOOLBAR_COMMANDS = 5,
    LIST_BUTTON_VALUES = 6,
    LIST_WIZARD_RESULTS = 7,
    LIST_STATE_COUNT = 8,
};
inline std::array<SortState, LIST_STATE_COUNT> g_listStates {};
