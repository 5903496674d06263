#include "platform/message_box.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <mutex>
#include <utility>

namespace platform {

namespace {

std::mutex g_answererMutex;
MessageBoxAnswerer g_answerer;
QPointer<QWidget> g_deviceScreen;

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonSpec> buttonsFor(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return { { QMessageBox::Ok, IDOK }, { QMessageBox::Cancel, IDCANCEL } };
    case MB_ABORTRETRYIGNORE:
        return { { QMessageBox::Abort, IDABORT }, { QMessageBox::Retry, IDRETRY },
            { QMessageBox::Ignore, IDIGNORE } };
    case MB_YESNOCANCEL:
        return { { QMessageBox::Yes, IDYES }, { QMessageBox::No, IDNO }, { QMessageBox::Cancel, IDCANCEL } };
    case MB_YESNO:
        return { { QMessageBox::Yes, IDYES }, { QMessageBox::No, IDNO } };
    case MB_RETRYCANCEL:
        return { { QMessageBox::Retry, IDRETRY }, { QMessageBox::Cancel, IDCANCEL } };
    default:
        return { { QMessageBox::Ok, IDOK } };
    }
}

QMessageBox::Icon iconFor(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer)
{
    std::lock_guard lock(g_answererMutex);
    g_answerer = std::move(answerer);
}

void SetDeviceScreenWindow(QWidget* screen) { g_deviceScreen = screen; }

QWidget* DeviceScreenWindow() { return g_deviceScreen.data(); }

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    MessageBoxAnswerer answerer;
    {
        std::lock_guard lock(g_answererMutex);
        answerer = g_answerer;
    }
    if (answerer)
        return answerer({ text, caption, type });

    QWidget* over = g_deviceScreen ? g_deviceScreen.data() : owner;
    QMessageBox box(iconFor(type), caption, text, QMessageBox::NoButton, over);
    box.setWindowFlag(Qt::FramelessWindowHint);
    const std::vector<ButtonSpec> specs = buttonsFor(type);
    for (const ButtonSpec& s : specs)
        box.addButton(s.button);
    const size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    if (defaultIndex < specs.size())
        box.setDefaultButton(specs[defaultIndex].button);
    if (over)
        box.setGeometry(QRect(over->mapToGlobal(QPoint(0, 0)), over->size()));
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const ButtonSpec& s : specs)
        if (s.button == pressed)
            return s.result;
    return specs.size() == 1 ? IDOK : IDCANCEL;
}

} // namespace platform
