#pragma once
// What the program asks of the device for the run beyond its windows.
#include <QString>

// Opens the program's help at a reference "file:<help file>#<topic>"; the help
// file lies in the program folder. False when there is no help to open.
bool LaunchHelpViewer(const QString& reference);

// The registry place of the GPS intermediate driver's port name.
inline constexpr const char* kGpsDriverKey
    = "SYSTEM\\CurrentControlSet\\GPS Intermediate Driver\\Multiplexer";

// The port of the platform's GPS driver (source 12): the "DriverInterface"
// value under HKLM kGpsDriverKey, at most 259 characters. On Linux the driver
// is gpsd: without a value, "gpsd://localhost:2947" when a gpsd program is
// installed. False, the port untouched, when there is no driver.
bool IsGpsIntermediateDriverPresent(QString* port);

// ActiveSync's automatic connection on the cradle (HKCU "\ControlPanel\Comm"
// "AutoCnct": 1 on, 0 off), set only when the program's application key
// exists. On this machine it is a value the program keeps for itself.
bool SetActiveSyncAutoConnect(int value);
