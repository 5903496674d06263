#pragma once
// The one voice recorder of the waypoint dialogs: opened on a sound file in a
// dialog, signalled after the dialog is laid out, closed when the dialog ends
// or the file changes, and at program exit.
#include <QString>
#include <cstdint>

class QWidget;
namespace platform {
class VoiceRecorder;
}

// The longest recorder file name, terminator included.
inline constexpr int kVoiceRecorderNameLength = 260;

// Closes an open recorder, then opens one on the file at (x, y) of the parent:
// hidden and recording at once for the record-mode style (0x80), shown
// otherwise. 0 when the name is empty and the style asks for play mode
// (0x20), or when the name does not fit the control (260 characters or more).
int OpenVoiceRecorder(QString& fileName, uint32_t style, QWidget* parent, int x, int y);
// Signals the open recorder; 0 when none is open.
int SignalVoiceRecorder();
// Stops and closes the open recorder; 0 when none is open.
int CloseVoiceRecorder();
// The open recorder, or null.
platform::VoiceRecorder* GetVoiceRecorder();
