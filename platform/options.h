#pragma once
// The command line of the program: the emulated device screen, the folders the
// path map uses, and the settings file the user opened the program with.
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

struct Options {
    QSize screen { 240, 320 };
    int dpi = 96; // 96 or 192: the screen's logical-pixel density
    bool fullscreen = false;
    QString dataDir; // the program folder; empty: the built-in default
    QString documentsDir; // "\My Documents"; empty: the user's documents folder
    QString configFile; // the registry's INI file; empty: the user's config folder
    QString settingsFile; // a settings file named on the command line
    int quitAfterMs = 0; // --quit-after: close by itself (smoke runs)
    bool drivingMode = false; // --driving-mode: Driving mode on once started (the demo drive)
};

// The screen sizes a device of the program's kind has.
bool IsSupportedScreenSize(QSize size);

// Parses the arguments after the program name. On bad input returns nothing
// and sets `error` to a message naming the argument.
std::optional<Options> ParseOptions(const QStringList& args, QString* error);

QString OptionsHelp();

// The options of this run (set once at start-up; defaults until then).
const Options& options();
void setOptions(const Options& options);

} // namespace platform
