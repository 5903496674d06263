#pragma once
// Services the application and the interface code share: message boxes, the
// out-of-memory stop, full screen for a window, and small text helpers.
#include <QString>
#include <functional>

class QWidget;

// Message boxes; both end the application's wait cursor once closed.
int AppMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type);
int AppMessageBoxText(const QString& text, unsigned type, unsigned helpId = 0);

// The application's title, used as the caption of AppMessageBoxText.
QString AppTitle();

// Stops the program: the application's shut-down steps, then the end of the
// process. The application installs its shut-down; without one the process
// simply exits with the code.
[[noreturn]] void FatalExit(int code);
void SetFatalExitHandler(std::function<void(int)> handler);
// Ends the application's wait cursor (the application installs it).
void SetEndWaitCursorHandler(std::function<void()> handler);
void EndWaitCursor();

// Frees the emergency memory reserve, tells the user and stops the program.
[[noreturn]] void ShowOutOfMemoryAndExit();
// The memory kept back so that the out-of-memory message can still be shown.
void ReserveEmergencyMemory(size_t bytes);

void EnterFullScreen(QWidget* window);
void LeaveFullScreen(QWidget* window);
void ShowTaskBar(QWidget* window);

// Three-decimal distance text: "%dm"/"%dм" below 1000 m, "%.3fkm"/"%.3fкм"
// from there on; any other language leaves `text` as it was.
void FormatDistance3(int metres, QString& text);
bool StringEquals(const QString& a, const QString& b);
