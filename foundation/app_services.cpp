#include "foundation/app_services.h"

#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "foundation/string_helpers.h"

#include "platform/message_box.h"
#include "platform/shell.h"

#include <QWidget>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace {

std::mutex g_handlersMutex;
std::function<void(int)> g_fatalExit;
std::function<void()> g_endWaitCursor;
std::unique_ptr<char[]> g_emergencyReserve;

void endWaitCursor()
{
    std::function<void()> handler;
    {
        std::lock_guard lock(g_handlersMutex);
        handler = g_endWaitCursor;
    }
    if (handler)
        handler();
}

} // namespace

QString AppTitle() { return QStringLiteral("Travenor Pro"); }

int AppMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    const int result = platform::ShowMessageBox(owner, text, caption, type);
    endWaitCursor();
    return result;
}

int AppMessageBoxText(const QString& text, unsigned type, unsigned /*helpId*/)
{
    const int result = platform::ShowMessageBox(nullptr, text, AppTitle(), type);
    endWaitCursor();
    return result;
}

void SetFatalExitHandler(std::function<void(int)> handler)
{
    std::lock_guard lock(g_handlersMutex);
    g_fatalExit = std::move(handler);
}

void SetEndWaitCursorHandler(std::function<void()> handler)
{
    std::lock_guard lock(g_handlersMutex);
    g_endWaitCursor = std::move(handler);
}

void EndWaitCursor() { endWaitCursor(); }

void FatalExit(int code)
{
    std::function<void(int)> handler;
    {
        std::lock_guard lock(g_handlersMutex);
        handler = g_fatalExit;
    }
    if (handler)
        handler(code);
    std::exit(code);
}

void ReserveEmergencyMemory(size_t bytes) { g_emergencyReserve = std::make_unique<char[]>(bytes); }

void ShowOutOfMemoryAndExit()
{
    g_emergencyReserve.reset();
    static const char* const kText[] = {
        "Please, restart your Pocket PC and launch Travenor Pro again. The possible reason of the problem is "
        "your "
        "Pocket PC doesn't have enough main memory. To prevent the problem in the future, remove unnecessary "
        "files "
        "and applications from your Pocket PC. (After you close this dialog, Pocket PC will be reseted.) To "
        "work "
        "correctly Travenor Pro needs 20MB free program memory minimum.",
        "Переполнение памяти. Пожалуйста, перезагрузите Pocket PC и снова запустите Travenor Pro. Причина "
        "проблемы "
        "- нехватка памяти на Вашем Pocket PC. Удалите ненужные приложения и файлы, чтобы освободить память. "
        "(После закрытия данного диалога Pocket PC будет автоматически перезагружен.) Для правильной работы "
        "Travenor Pro необходимо как минимум 20MB свободной памяти программ.",
    };
    const int language = g_language.load();
    if (language == LANGUAGE_ENGLISH || language == LANGUAGE_RUSSIAN)
        AppMessageBoxText(QString::fromUtf8(kText[language]), platform::MB_OK);
    FatalExit(1);
}

void EnterFullScreen(QWidget* window)
{
    if (!window)
        return;
    platform::SHFullScreen(
        window, platform::SHFS_HIDETASKBAR | platform::SHFS_HIDESIPBUTTON | platform::SHFS_HIDESTARTICON);
    window->setGeometry(0, 0, GetScreenWidth(), GetScreenHeight());
    window->update();
}

void LeaveFullScreen(QWidget* window)
{
    if (!window)
        return;
    platform::SHFullScreen(
        window, platform::SHFS_SHOWTASKBAR | platform::SHFS_SHOWSIPBUTTON | platform::SHFS_HIDESTARTICON);
    window->setGeometry(0, 26, GetScreenWidth(), GetScreenHeight() - ScaleByDpiY(52));
    window->update();
}

void ShowTaskBar(QWidget* window)
{
    if (!window)
        return;
    platform::SHFullScreen(window, platform::SHFS_SHOWTASKBAR | platform::SHFS_HIDESTARTICON);
    if (QWidget* screen = platform::DeviceScreenWindow()) {
        screen->raise();
        screen->update();
    }
}

void FormatDistance3(int metres, QString& text) { FormatDistanceWith(metres, 3, text); }

bool StringEquals(const QString& a, const QString& b) { return a == b; }
