#pragma once
// What the program asks of the device for the run beyond its windows.
#include <QString>

// Opens the program's help at a reference "file:<help file>#<topic>"; the help
// file lies in the program folder. False when there is no help to open.
bool LaunchHelpViewer(const QString& reference);
