#pragma once
// The application object: the program's way into Qt's application model.
// Building it makes a second start bring the running copy to the front;
// InitInstance runs the start-up checks and creates the main frame and the
// tray icon; ExitInstance puts the device back and saves the settings when the
// program was closed by the user. The heavy loading (pictures, map, settings)
// runs later, on the map window's first paint.
#include "app/single_instance.h"
#include "foundation/resource_dll.h"
#include "platform/process_object.h"

#include <QString>
#include <atomic>
#include <memory>

class CMainFrame;
class QSystemTrayIcon;
namespace platform {
class Display;
class DeviceScreen;
}

class CTravenorApp {
public:
    // Exit statuses of the process.
    enum : int { EXIT_OK = 0, EXIT_FAILED = 1 };

    CTravenorApp();
    ~CTravenorApp();
    CTravenorApp(const CTravenorApp&) = delete;
    CTravenorApp& operator=(const CTravenorApp&) = delete;

    // False in a second copy: it has asked the running copy to come to the front.
    bool IsFirstCopy() const { return m_instance.IsFirst(); }
    bool BringRunningCopyToFront() const;

    // Start-up: false when the program must end at once (a refused start-up
    // check, or an error before the main frame exists); ExitCode says how.
    bool InitInstance();
    // The message loop, until the main frame has closed.
    int Run();
    int ExitInstance();
    // InitInstance, Run and ExitInstance: the process's exit status.
    int Main();

    // The start-up checks, in their order; false when one refused the start.
    bool RunStartupChecks();

    void BeginWaitCursor();
    void EndWaitCursor();

    // Closes the program as the user's close does (settings saved), as soon
    // as nothing is in the way: a dialog in front is cancelled first, and a
    // start-up still under way is finished first.
    void RequestClose();
    // The map window's first paint has finished the start-up.
    void OnStartupFinished();
    bool IsStartupFinished() const { return m_startupFinished; }

    CMainFrame* GetMainWnd() const { return m_mainWnd.load(); }
    platform::Display* GetDisplay() const { return m_display.get(); }
    platform::DeviceScreen* GetDeviceScreen() const { return m_screen.get(); }
    int ExitCode() const { return m_exitCode; }
    // The short version text ("v.2.4.272R."), shown by the loading window.
    const QString& ShortVersion() const { return m_shortVersion; }

    // Set by the first run of the exit steps.
    std::atomic_flag m_exitStepsTaken = ATOMIC_FLAG_INIT;

private:
    void CreateDeviceScreen();
    void AddTrayIcon();
    void RemoveTrayIcon();

    CSingleInstance m_instance;
    std::unique_ptr<platform::Display> m_display;
    std::unique_ptr<platform::DeviceScreen> m_screen;
    std::unique_ptr<CMainFrame> m_frame;
    std::atomic<CMainFrame*> m_mainWnd { nullptr };
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QString m_shortVersion;
    int m_exitCode = EXIT_OK;
    int m_waitCursorCount = 0;
    bool m_startupFinished = false;
    bool m_closeRequested = false;
};

inline platform::ProcessObject<CTravenorApp> theApp;
// The resource library of the screen's class while start-up loads its pictures.
inline platform::ProcessObject<CResourceDll> g_resourceDll;

// 1 once the user closed the program ("Close application"): the settings are
// saved at exit. Any other way out keeps the settings file as it was.
inline std::atomic<int32_t> g_bSaveSettingsOnExit { 0 };
// 1 once a change of the screen has begun closing the program.
inline std::atomic<int32_t> g_bScreenChangeHandled { 0 };
// The user's documents folder, chosen by the start-up checks.
inline QString g_documentsFolder;

// The "Close application" path: settings saved, then the main frame closes.
void CloseApplication();
// The exit steps every way out runs: the GPS source closed, the settings saved
// (only after "Close application"), the device settings put back.
void RestoreDeviceAndSaveSettings();
// A fatal error on a thread other than the user-interface thread: the
// user-interface thread shows `message` and ends the program; the caller
// returns and stops its own work.
void RequestFatalExit(const QString& message);
// 1 when the screen is as it was; otherwise the program tells the user and ends.
int CheckScreenSizeChanged();
int RestoreMainWindow();
// Whether the screen is one of the six sizes the program is laid out for.
bool IsSupportedScreenSize();
// Registers the settings-file type ".kns" from the document string `id`.
bool RegisterFileType(int id);

// Builds the process objects and runs the program; the process's exit status.
int RunTravenorPro();
