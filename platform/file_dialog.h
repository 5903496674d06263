#pragma once
// Open and save file dialogs: Qt's own (non-native) file dialog, frameless and
// covering the device screen. The callers describe the dialog as the program's
// code does (a filter string of "text|pattern|...||", a default extension, an
// initial name that may be a pattern, flag bits). Tests install an answerer
// that picks the file in place of a person.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

enum : unsigned {
    OFN_READONLY = 0x0001,
    OFN_OVERWRITEPROMPT = 0x0002,
    OFN_HIDEREADONLY = 0x0004,
    OFN_PATHMUSTEXIST = 0x0800,
    OFN_FILEMUSTEXIST = 0x1000,
};

struct FileDialogRequest {
    bool open = true; // false: a save dialog
    QString defaultExt; // without the dot; added to a chosen name that has none
    QString fileName; // initial name; one with '*' or '?' is a pattern, not a name
    unsigned flags = 0;
    QString filter; // "Text (*.x)|*.x|All Files (*.*)|*.*||"
    QString initialDir;
};

// The filter string as Qt name filters: "Text (*.x)" pairs become "Text (*.x)"
// with the pattern of the pair; blanks around the bars are ignored.
QStringList FileDialogNameFilters(const QString& filter);

// Shows the dialog modally; the chosen path (with the default extension added
// when the name has none), or nothing when cancelled.
std::optional<QString> ShowFileDialog(QWidget* owner, const FileDialogRequest& request);

using FileDialogAnswerer = std::function<std::optional<QString>(const FileDialogRequest&)>;
// Replaces the person choosing files; an empty function restores the real dialog.
void SetFileDialogAnswerer(FileDialogAnswerer answerer);

} // namespace platform
