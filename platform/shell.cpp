#include "platform/shell.h"

#include "platform/message_box.h"
#include "platform/options.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QWidget>
#include <mutex>

namespace platform {

namespace {
std::mutex g_shellMutex;
ShellState g_shell;
}

bool SHFullScreen(QWidget* window, unsigned flags)
{
    if (!window)
        return false;
    {
        std::lock_guard lock(g_shellMutex);
        if (flags & SHFS_SHOWTASKBAR)
            g_shell.taskBarVisible = true;
        if (flags & SHFS_HIDETASKBAR)
            g_shell.taskBarVisible = false;
        if (flags & SHFS_SHOWSIPBUTTON)
            g_shell.sipButtonVisible = true;
        if (flags & SHFS_HIDESIPBUTTON)
            g_shell.sipButtonVisible = false;
        if (flags & SHFS_SHOWSTARTICON)
            g_shell.startIconVisible = true;
        if (flags & SHFS_HIDESTARTICON)
            g_shell.startIconVisible = false;
    }
    QWidget* screen = DeviceScreenWindow();
    if (screen && options().fullscreen) {
        if (flags & SHFS_HIDETASKBAR)
            screen->showFullScreen();
        else if (flags & SHFS_SHOWTASKBAR)
            screen->showNormal();
    }
    return true;
}

ShellState GetShellState()
{
    std::lock_guard lock(g_shellMutex);
    return g_shell;
}

bool SipShowIM(bool show)
{
    {
        std::lock_guard lock(g_shellMutex);
        g_shell.inputPanelShown = show;
    }
    if (QInputMethod* im = QGuiApplication::inputMethod())
        im->setVisible(show);
    return true;
}

} // namespace platform
