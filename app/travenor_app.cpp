#include "app/travenor_app.h"

#include "app/about_page.h"
#include "app/app_messages.h"
#include "app/app_ui_hooks.h"
#include "app/device_config.h"
#include "app/draw_thread.h"
#include "app/loading_wnd.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/modal_windows.h"
#include "app/process_objects.h"
#include "controls/command_registry.h"
#include "controls/map_popup_menu.h"
#include "foundation/app_services.h"
#include "foundation/draw_suspender.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "gps/bluetooth_control.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/options.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "settings/ui_mode.h"
#include "traffic/jam_glue.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kSettingsSection = QStringLiteral("Settings");
const QString kExpertModeEntry = QStringLiteral("expert mode");
// The document string of the settings-file type (resource 100).
constexpr int kDocumentString = 100;
// The file the start-up writes and deletes to learn whether the program folder is writable.
const QString kWriteTestFile = QStringLiteral("adsfewegrtq.rgf");

const char kWriteProtectedText[]
    = "Карточка, с которой запускается Travenor Pro защищена от записи. Переставьте переключатель в "
      "положение \"Unlock\".\nThis Storage Card is write-protected. Please, switch to \"Unlock\".";
const char kScreenSizeText[]
    = "Запустить Travenor Pro невозможно, т.к. размеры экрана не стандартны. Попробуйте изменить "
      "ориентацию экрана. It's impossible to start Travenor Pro since the screen size is unstandard. Try to "
      "change the screen orientation.";

// The exit code of a fatal exit requested while the message loop was ending.
std::atomic<int> g_pendingFatalExit { 0 };

bool onUiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The end of a fatal exit, on the user-interface thread: the device is put
// back and the process ends at once, as after a terminated process: no
// destructor runs while other threads may still be drawing.
[[noreturn]] void terminateProcess(int code)
{
    RestoreDeviceAndSaveSettings();
    std::fflush(nullptr);
    std::_Exit(code != 0 ? code : CTravenorApp::EXIT_FAILED);
}

void fatalExitHandler(int code)
{
    if (onUiThread() || !QCoreApplication::instance())
        terminateProcess(code);
    // Another thread: the user-interface thread carries the exit out; this
    // thread waits for the end of the process.
    g_pendingFatalExit = code != 0 ? code : CTravenorApp::EXIT_FAILED;
    platform::PostToMainThread([code] { terminateProcess(code); });
    for (;;)
        QThread::sleep(1);
}

} // namespace

CTravenorApp::CTravenorApp()
{
    if (!m_instance.IsFirst())
        return;
    g_bSaveSettingsOnExit = 0;
    g_bScreenChangeHandled = 0;
    g_bLoadingEndPending = 1;
    // Drawing starts with nothing asked of it (a program run before in this
    // process left it idle).
    g_drawSuspender.ClearStateBits(0xFF);
    g_pendingFatalExit = 0;
    m_instance.Listen([this](uint32_t message) {
        if (CMainFrame* frame = GetMainWnd(); frame && message == MSG_COME_TO_FRONT)
            platform::post(frame, MSG_COME_TO_FRONT);
    });
    SetFatalExitHandler(fatalExitHandler);
    SetEndWaitCursorHandler([] {
        if (theApp)
            theApp->EndWaitCursor();
    });
}

CTravenorApp::~CTravenorApp()
{
    if (!m_instance.IsFirst())
        return;
    SetEndWaitCursorHandler({});
    SetFatalExitHandler({});
    SetUiHooks(nullptr);
    RemoveTrayIcon();
    m_mainWnd = nullptr;
    m_frame.reset();
    platform::SetDeviceScreenWindow(nullptr);
    m_screen.reset();
    m_display.reset();
}

bool CTravenorApp::BringRunningCopyToFront() const { return m_instance.SendToRunningCopy(MSG_COME_TO_FRONT); }

void CTravenorApp::CreateDeviceScreen()
{
    if (m_screen)
        return;
    const platform::Options& o = platform::options();
    m_display = std::make_unique<platform::Display>(o.screen, o.dpi);
    m_screen = std::make_unique<platform::DeviceScreen>(*m_display);
    platform::SetDeviceScreenWindow(m_screen.get());
    if (o.fullscreen)
        m_screen->showFullScreen();
    else
        m_screen->show();
}

bool CTravenorApp::InitInstance()
{
    QString productLine, notices, contacts;
    BuildVersionStrings(productLine, notices, contacts, m_shortVersion);
    CreateDeviceScreen();
    CLoadingWnd::GetInstance().Create(m_shortVersion);
    SetLoadingProgress(3);
    // A library of another version is refused; the program's own resources serve then.
    if (g_resourceDll->Load(QDir(platform::ProgramFolder()).filePath(ResourceLibraryNameForScreen()))
            .isEmpty())
        g_resourceDll->Load();
    SetLoadingProgress(10);

    try {
        if (!RunStartupChecks()) {
            m_exitCode = EXIT_FAILED;
            return false;
        }
        RegisterFileType(kDocumentString);
        SetUiHooks(&AppUiHooks());
        AllocateMemoryReserve();

        const QString settingsFile = platform::options().settingsFile;
        if (!settingsFile.isEmpty()) {
            platform::WriteProfileString(kSettingsSection,
                CSettingsFile::SettingsEntry(GetProgramVersionNumber()),
                platform::LocalToDevicePath(QFileInfo(settingsFile).absoluteFilePath()));
            g_bExpertMode = 1;
        }

        m_frame = std::make_unique<CMainFrame>(*m_screen);
        m_mainWnd = m_frame.get();
        if (!m_frame->Create())
            throw std::runtime_error("the main frame was not created");
        AddTrayIcon();
        RestoreMainWindow();
        EndWaitCursor();
    } catch (const std::exception&) {
        AppMessageBox(nullptr, QStringLiteral("Error InitInstance"), AppTitle(), platform::MB_OK);
        m_exitCode = EXIT_FAILED;
        return false;
    }
    return true;
}

bool CTravenorApp::RunStartupChecks()
{
    std::srand(platform::GetTickCount());

    const QString testFile = QDir(platform::ProgramFolder()).filePath(kWriteTestFile);
    QFile probe(testFile);
    if (!probe.open(QIODevice::WriteOnly)) {
        AppMessageBox(nullptr, QString::fromUtf8(kWriteProtectedText), AppTitle(), platform::MB_OK);
        return false;
    }
    probe.close();
    probe.remove();

    // A device of model 1 turned by 90 or 270 degrees is refused like a size
    // the program has no layout for.
    const int rotation = GetScreenRotation();
    if (!IsSupportedScreenSize() || (DetectDeviceModel() == 1 && (rotation == 2 || rotation == 4))) {
        AppMessageBox(nullptr, QString::fromUtf8(kScreenSizeText), AppTitle(), platform::MB_OK);
        return false;
    }
    // The device is changed only by a start that goes on: a refused one
    // leaves it as it was.
    SavePowerTimeouts();
    CreateStartMenuShortcut();

    const int mode = platform::GetProfileInt(kSettingsSection, kExpertModeEntry, 2);
    if (mode == 2) {
        EndWaitCursor();
        CUiModeDlg dialog;
        dialog.DoModal();
        BeginWaitCursor();
        g_bExpertMode = dialog.m_mode == 1 ? 1 : 0;
    } else {
        g_bExpertMode = mode;
    }

    g_documentsFolder = QStringLiteral("\\My Documents\\");
    platform::RegKey services;
    QString folder;
    if (platform::registry().Open(
            platform::RegRoot::HKLM, QStringLiteral("\\Software\\Microsoft\\Windows CE Services"), &services)
            == platform::RegResult::Ok
        && services.QueryString(QStringLiteral("NoSubFolderIn"), &folder) == platform::RegResult::Ok)
        g_documentsFolder = folder;

    g_gpsSourceNumber = 10;
    g_language = LANGUAGE_RUSSIAN;
    g_buttonTooltips = 1;
    if (!g_CommandRegistry || g_CommandRegistry->Init() == 0)
        return false;
    if (g_gpsSource)
        g_gpsSource->ResetFix();
    return true;
}

int CTravenorApp::Run()
{
    // A frame closed before the loop runs has nothing left to run it for.
    const int result = m_frame && !m_frame->IsDestroyed() ? QApplication::exec() : 0;
    if (result != 0 && m_exitCode == EXIT_OK)
        m_exitCode = result;
    // The frame and its windows go before the exit steps, as the device's
    // framework destroys them before it ends the program.
    m_mainWnd = nullptr;
    m_frame.reset();
    return m_exitCode;
}

int CTravenorApp::ExitInstance()
{
    RemoveTrayIcon();
    RestoreDeviceAndSaveSettings();
    if (const int fatal = g_pendingFatalExit.load())
        m_exitCode = fatal;
    return m_exitCode;
}

int CTravenorApp::Main()
{
    // Counted from the start: a first-run question or the loading is closed too.
    if (const int ms = platform::options().quitAfterMs; ms > 0)
        QTimer::singleShot(ms, qApp, [] { theApp->RequestClose(); });
    if (InitInstance())
        Run();
    return ExitInstance();
}

void CTravenorApp::BeginWaitCursor()
{
    if (m_waitCursorCount++ == 0 && qApp)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CTravenorApp::EndWaitCursor()
{
    if (m_waitCursorCount > 0 && --m_waitCursorCount == 0 && qApp)
        QApplication::restoreOverrideCursor();
}

void CTravenorApp::RequestClose()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(0, qApp, [] { theApp->RequestClose(); });
        return;
    }
    if (!m_startupFinished) {
        m_closeRequested = true;
        return;
    }
    CloseApplication();
}

void CTravenorApp::OnStartupFinished()
{
    m_startupFinished = true;
    if (platform::options().drivingMode && g_CommandRegistry
        && !g_CommandRegistry->IsChecked(CMD_DRIVING_MODE))
        ExecuteCommand(CMD_DRIVING_MODE);
    if (m_closeRequested) {
        m_closeRequested = false;
        QTimer::singleShot(0, qApp, [] { theApp->RequestClose(); });
    }
}

void CTravenorApp::AddTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    const int side = GetScreenResolutionClass() == 1 ? 16 : 32;
    const QPixmap icon = ApplicationIcon();
    m_tray = std::make_unique<QSystemTrayIcon>();
    if (!icon.isNull())
        m_tray->setIcon(icon.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_tray->setToolTip(AppTitle());
    QObject::connect(m_tray.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason) {
        if (CMainFrame* frame = GetMainWnd())
            platform::post(frame, MSG_COME_TO_FRONT);
    });
    m_tray->show();
}

void CTravenorApp::RemoveTrayIcon() { m_tray.reset(); }

void CloseApplication()
{
    g_bSaveSettingsOnExit = 1;
    if (CMainFrame* frame = theApp ? theApp->GetMainWnd() : nullptr)
        platform::send(frame, platform::WM_COMMAND, ID_APP_EXIT);
}

void RestoreDeviceAndSaveSettings()
{
    // Every way out runs the exit steps, once.
    if (theApp && theApp->m_exitStepsTaken.test_and_set())
        return;
    if (g_gpsSource)
        g_gpsSource->Close();
    if (g_bSaveSettingsOnExit == 1 && g_settingsFile) {
        g_settingsFile->Save(
            CSettingsFile::FLAG_WAYPOINTS | CSettingsFile::FLAG_VERSION | CSettingsFile::FLAG_ROUTE);
        platform::WriteProfileInt(kSettingsSection, kExpertModeEntry, g_bExpertMode);
    }
    // The Bluetooth radio goes back as it was also when nothing was saved (the
    // save lets the controller go itself).
    g_bluetoothControl.Destroy();
    // The voice recorder is closed here once it exists.
    DestroyJamManager();
    // The device settings changed for the run go back as the user had them,
    // the power time-outs last.
    SetDockWareDisabled(1);
    RestoreActiveSyncAutoConnect();
    RestorePowerTimeouts();
}

void RequestFatalExit(const QString& message)
{
    g_pendingFatalExit = CTravenorApp::EXIT_FAILED;
    auto carryOut = [message] {
        AppMessageBox(nullptr, message, AppTitle(), platform::MB_OK);
        terminateProcess(CTravenorApp::EXIT_FAILED);
    };
    if (onUiThread())
        carryOut();
    else
        platform::PostToMainThread(carryOut);
}

int CheckScreenSizeChanged()
{
    if (g_bScreenChangeHandled == 1)
        return 1;
    const int width = g_screenCx, height = g_screenCy;
    ResetScreenMetrics();
    if (GetScreenWidth() == width && GetScreenHeight() == height)
        return 1;
    g_bScreenChangeHandled = 1;
    const int language = g_language;
    if (language == LANGUAGE_ENGLISH || language == LANGUAGE_RUSSIAN)
        AppMessageBox(nullptr,
            language == LANGUAGE_ENGLISH
                ? QStringLiteral(
                    "Screen size/orientation was changed, which is not supported. Travenor Pro will "
                    "now close.")
                : QStringLiteral(
                    "Размеры (ориентация) экрана были изменены во время работы Travenor Pro. Это не "
                    "допустимо. Travenor Pro будет закрыт."),
            AppTitle(), platform::MB_OK | platform::MB_ICONHAND);
    terminateProcess(CTravenorApp::EXIT_FAILED);
}

int RestoreMainWindow()
{
    if (g_MapPopupMenu)
        g_MapPopupMenu->CreateCommandWindow();
    CMainFrame* frame = theApp->GetMainWnd();
    if (!frame)
        return 1;
    frame->BringToForeground();
    if (CMapWnd* map = frame->GetMapWnd())
        map->SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
    return 1;
}

bool IsSupportedScreenSize()
{
    return platform::IsSupportedScreenSize(QSize(GetScreenWidth(), GetScreenHeight()));
}

namespace {

// The program's string resources that the start-up reads.
QString LoadDocumentString(int id)
{
    if (id == kDocumentString)
        return QStringLiteral(
            "Travenor Pro\n\nTravenor Pro\nTravenor Pro Files (*.kns)\n.kns\nTravenorPro.Document\n"
            "Travenor Pro Document");
    return QString();
}

bool setDefaultValue(const QString& path, const QString& value)
{
    platform::RegKey key;
    return platform::registry().Create(platform::RegRoot::HKCR, path, &key) == platform::RegResult::Ok
        && key.SetString(QString(), value) == platform::RegResult::Ok;
}

} // namespace

bool RegisterFileType(int id)
{
    const QStringList fields = LoadDocumentString(id).split(QLatin1Char('\n'));
    if (fields.size() <= 5 || fields[5].isEmpty())
        return false;
    const QString typeId = fields[5];
    const QString typeName = fields.size() > 6 && !fields[6].isEmpty() ? fields[6] : typeId;
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    if (!setDefaultValue(typeId, typeName)
        || !setDefaultValue(typeId + QStringLiteral("\\DefaultIcon"), program + QStringLiteral(",%1").arg(0))
        || !setDefaultValue(typeId + QStringLiteral("\\shell\\open\\command"),
            QStringLiteral("\"%1\" \"%2\"").arg(program, QStringLiteral("%1"))))
        return false;
    const QString extension = fields[4];
    if (extension.isEmpty())
        return true;
    // Another program's association of the extension stays.
    platform::RegKey key;
    platform::RegValue current;
    const bool read
        = platform::registry().Open(platform::RegRoot::HKCR, extension, &key) == platform::RegResult::Ok
        && key.QueryValue(QString(), &current) == platform::RegResult::Ok;
    if (!read || current.type != platform::RegType::String || current.string.isEmpty()
        || current.string == typeId)
        return setDefaultValue(extension, typeId);
    return true;
}

int RunTravenorPro()
{
    CProcessObjects objects;
    if (!theApp->IsFirstCopy()) {
        const bool sent = theApp->BringRunningCopyToFront();
        std::fprintf(stderr,
            sent ? "travenor: Travenor Pro is running already; it was brought to the front.\n"
                 : "travenor: Travenor Pro is running already, but did not answer.\n");
        return CTravenorApp::EXIT_OK;
    }
    return theApp->Main();
}
