#pragma once
// The device's control panel, opened at one of its applets.

// The memory applet ("cplmain.cpl,4,0"); tells the user when the control
// panel cannot be started.
void OpenControlPanelApplet();
