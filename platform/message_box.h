#pragma once
// Message boxes: Qt's own message box, frameless and full screen over the device
// screen, with the button sets, icons and results the program's code expects.
// Tests install an answerer that replies in place of a person.
#include <QString>
#include <functional>

class QWidget;

namespace platform {

enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00,
};

enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct MessageBoxRequest {
    QString text;
    QString caption;
    unsigned type = MB_OK;
};

// Shows the box modally and returns the ID* of the button pressed (IDCANCEL,
// or IDOK for a box with only OK, when it is closed otherwise).
int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type);

// Replaces the person answering message boxes; an empty function restores the
// real box. Every request is passed to the answerer, which returns an ID*.
using MessageBoxAnswerer = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// The top-level device screen that full-screen windows cover (set by whoever
// creates it); may be null in tests.
void SetDeviceScreenWindow(QWidget* screen);
QWidget* DeviceScreenWindow();

} // namespace platform
