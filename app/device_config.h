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

// The settings of the device that the program changes for the run and puts
// back at exit. On this machine the device is its registry file: nothing here
// touches the computer's own power or screen-saver settings.
//
// Each change is held: the application key remembers the user's values and a
// flag while the program holds them, so that a run that ended without its
// exit steps never makes the program's values the user's. Exit puts back only
// what a run read and changed; a value that was missing goes away again.

// The power-suspend time-outs ("BattSuspendTimeout", "ACSuspendTimeout") and
// the shell's "SessionTimeout" set to 0 (never) for the run.
void SavePowerTimeouts();
void RestorePowerTimeouts();

// The DockWare screen saver's "Disable": mode 0 switches the saver off for the
// run, mode 1 puts the user's value back. False when the application key does
// not exist (it is never created here).
bool SetDockWareDisabled(int mode);

// ActiveSync's automatic connection on the cradle (HKCU "\ControlPanel\Comm"
// "AutoCnct": 1 on, 0 off), set only when the program's application key
// exists; any other value writes nothing. The first change of a run keeps
// the user's value, which RestoreActiveSyncAutoConnect puts back at exit.
bool SetActiveSyncAutoConnect(int value);
void RestoreActiveSyncAutoConnect();

// The program's path as "Path" in the application key, and its entry among the
// user's applications ("Travenor Pro.desktop"), made only when that folder
// exists; an entry already there is left alone.
void CreateStartMenuShortcut();

// The screen's rotation: 1 = 0 degrees, 2 = 90, 3 = 180, 4 = 270, 0 another
// angle. Read from HKLM "System\GDI\Rotation" "Angle" when the device has it,
// else from the screen's orientation; an "Angle" of another type answers the
// rotation read last.
int GetScreenRotation();

// The sound switch of the settings: the system sounds' "Volume", "Screen" and
// "Key" kept in the shell overrides while the sound is off, and the wave volume.
bool SoundOff();
bool SoundOn();
uint32_t GetShellOverrideVolume();
void SetWaveVolume(uint32_t level);
uint32_t GetWaveVolume();
bool IsSoundOn();
