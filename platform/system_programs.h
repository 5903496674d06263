#pragma once
// The device's own programs that the program starts (the contacts
// application, the control panel, the help viewer). A Linux machine has none
// of them: each is a command line the user may set in the registry under
// HKEY_LOCAL_MACHINE\Software\Orvantis\Travenor Pro\Programs, in a string
// value named after the program's file ("addrbook.exe"). Without one the
// program cannot be started, and the caller's failure path runs.
#include <QString>

namespace platform {

inline constexpr const char16_t* kSystemProgramsKey = u"Software\\Orvantis\\Travenor Pro\\Programs";

// Starts `program` (a device path such as "\Windows\addrbook.exe") with the
// command line and does not wait for it. False when no command is set for it
// or it cannot be started.
bool StartSystemProgram(const QString& program, const QString& commandLine);
// Whether a command line is set for `program`.
bool HasSystemProgram(const QString& program);

} // namespace platform
