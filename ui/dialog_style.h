#pragma once
// Sizes and fonts of the program's dialogs: design values for a 240x320 screen
// at 96 dpi, scaled for the screen's density, so a control is large enough for
// a finger and its text readable on every screen class.
#include <QFont>

class QWidget;

// The dialog text font; `designPx` is its pixel size at 96 dpi.
QFont DialogFont(int designPx = 12, int weight = QFont::Normal);
// Height of a control a finger taps (buttons, fields, lists' rows).
int TouchHeight();
// Margin around a dialog's content and the gap between its controls.
int DialogMargin();
int DialogSpacing();
// The shell's task bar along the top and the room it and the input panel button
// take together; the shell counts them in unscaled pixels.
constexpr int kTaskBarHeight = 26;
constexpr int kShellBarsHeight = 52;
// Height of the shell's menu bar along the bottom of the screen.
int GetMenuBarHeight();
// The device screen's top-left corner in global coordinates (0, 0 without one).
QPoint DeviceScreenOrigin();
// Places a dialog window over the device screen at `rect` (screen coordinates)
// and keeps it above the screen. The screen is not the window's Qt parent: the
// program's dialog objects own themselves, as on the handheld.
void PlaceOverDeviceScreen(QWidget* window, const QRect& rect);
// Gives a tappable control the dialog font and the touch height.
void StyleTouchControl(QWidget* control);
// Whether a dialog template id asks for the landscape arrangement (a design id,
// or one that stands in no row, follows the screen).
bool IsLandscapeTemplate(int templateId);
