#pragma once
// The GPS source numbers and their names, the handheld models the program
// knows and, for each, on which source and at which speed its GPS receiver
// talks.
//
// Sources: 0-9 the serial ports "COM0:" to "COM9:", 10 none ("None" / "Нет"),
// 11 the replay of an NMEA log ("from NM-file"), 12 the platform's GPS driver
// ("WM 5.0 software port"), which is gpsd on Linux.
#include <QString>
#include <cstdint>
#include <span>

enum : int32_t {
    GPS_SOURCE_NONE = 10,
    GPS_SOURCE_REPLAY = 11,
    GPS_SOURCE_DRIVER = 12,
};

// The source number of a name: "COM0:" to "COM9:" exactly (upper case, with
// the colon), "from NM-file" and "WM 5.0 software port". Anything else gives
// 10 and false.
bool ParseGpsSourceName(const QString& name, int32_t* number);
// The display name of a source number in the language g_language; false for
// a number without one (and for "none" in a language other than English or Russian).
bool GetGpsSourceName(int32_t number, QString* name);
// "COM%d:" for 0 to 9; false, the name untouched, for any other number.
bool FormatComPortName(int32_t number, QString* name);

// A handheld model the GPS settings page lists.
struct GpsDeviceModel {
    int32_t code;
    const char* name;
    int32_t source; // the default GPS source; -1 for "Manual settings"
    int32_t baud;
};
// The models in the order the page lists them.
std::span<const GpsDeviceModel> GpsDeviceModels();

// The raw model code of an OEM information string (and, where the device
// has one, its hardware text): the first of the detection rules that matches,
// else 0.
int32_t DetectDeviceModel(const QString& oemInfo, const QString* hardwareText);
// The model of the device the program runs on: its firmware's model name as
// the OEM information; there is no OEM hardware text on Linux, so the two
// rules that need it never match. 0 when nothing is known.
int32_t DetectDeviceModel();
// The code a detected device is stored under (its vendor's entry).
int32_t NormalizeDeviceModel(int32_t code);
// The default source and speed of a model: the manual pair for model 0 (true),
// the model's own pair for a known model (true), the manual pair for an
// unknown one (false).
bool GetDefaultGpsPortForDevice(
    int32_t model, int32_t manualSource, int32_t manualBaud, int32_t* source, int32_t* baud);
// The same for the settings' g_deviceModel, g_manualGpsPort and g_manualGpsBaudRate.
bool GetDefaultGpsPortForDevice(int32_t* source, int32_t* baud);
