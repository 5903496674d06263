#pragma once
// The program-wide options of the settings record that the application shell
// reads and sets before the settings file is read. The settings file and its
// model own the rest of the record.
#include <QString>
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
// The router's optimisation: 1 the shortest route, 2 the fastest.
inline std::atomic<int16_t> g_routeOptimisation { 1 };
// Moving mode switched on after the route wizard created a route.
inline std::atomic<int32_t> g_movingModeAfterRoute { 1 };
// Screenshots (user-interface thread): the folder of the last one, ending
// with its separator (empty: the documents folder), the format (0 BMP, 1 JPEG)
// and the JPEG quality.
inline QString g_screenshotFolder;
inline int32_t g_screenshotFormat = 1;
inline int32_t g_screenshotQuality = 80;
