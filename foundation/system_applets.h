#pragma once
// The device's settings applets the program opens for the user: the control
// panel's memory and connection settings, the power and the backlight settings.
// Each is a system program (platform/system_programs.h) that the user points at
// a program of this machine; without one, the control panel's two say so.

// The control panel's memory settings ("cplmain.cpl,4,0"); false, after telling
// the user, when it cannot be started.
bool OpenControlPanelApplet();
// The control panel's connection settings ("cplmain.cpl,19,0"); false, after
// telling the user, when it cannot be started.
bool OpenConnectionsApplet();
// The power settings ("\Windows\Power.exe"); false, silently, when none is set.
bool OpenPowerApplet();
// The backlight settings ("\Windows\Backlight.exe", else the control panel's
// "cplmain.cpl,6"); false, silently, when neither can be started.
bool OpenBacklightApplet();
