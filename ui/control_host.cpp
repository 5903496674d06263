#include "ui/control_host.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Turns focus changes of edit fields into EN_SETFOCUS and EN_KILLFOCUS.
class FocusWatcher final : public QObject {
public:
    explicit FocusWatcher(std::function<void(QWidget*, int)> notify)
        : m_notify(std::move(notify))
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
            return false;
        const bool in = event->type() == QEvent::FocusIn;
        if (qobject_cast<QListWidget*>(watched) != nullptr)
            m_notify(static_cast<QWidget*>(watched), in ? LBN_SETFOCUS : LBN_KILLFOCUS);
        else
            m_notify(static_cast<QWidget*>(watched), in ? EN_SETFOCUS : EN_KILLFOCUS);
        return false;
    }

private:
    std::function<void(QWidget*, int)> m_notify;
};

} // namespace

ControlHost::ControlHost()
    : m_focusWatcher(std::make_unique<FocusWatcher>([this](QWidget* w, int code) {
        const int id = GetDlgCtrlID(w);
        if (id >= 0)
            NotifyCommand(id, code);
    }))
{
}

ControlHost::~ControlHost() = default;

QWidget* ControlHost::GetDlgItem(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second.data();
}

int ControlHost::GetDlgCtrlID(const QWidget* control) const
{
    for (const auto& [id, w] : m_controls)
        if (w == control)
            return id;
    return -1;
}

QWidget* ControlHost::RegisterControl(int id, QWidget* control)
{
    m_controls[id] = control;
    control->setObjectName(QString::number(id));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        if (auto* push = qobject_cast<QPushButton*>(control))
            push->setAutoDefault(false); // Enter is the dialog's, not the focused button's
        QObject::connect(
            button, &QAbstractButton::clicked, button, [this, id] { NotifyCommand(id, BN_CLICKED); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QObject::connect(edit, &QLineEdit::textChanged, edit, [this, id] { NotifyCommand(id, EN_CHANGE); });
        edit->installEventFilter(m_focusWatcher.get());
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
        QObject::connect(
            text, &QPlainTextEdit::textChanged, text, [this, id] { NotifyCommand(id, EN_CHANGE); });
        text->installEventFilter(m_focusWatcher.get());
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QObject::connect(
            combo, &QComboBox::activated, combo, [this, id] { NotifyCommand(id, CBN_SELCHANGE); });
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
        QObject::connect(list, &QListWidget::currentRowChanged, list, [this, id] {
            if (!m_silent)
                NotifyCommand(id, LBN_SELCHANGE);
        });
        QObject::connect(
            list, &QListWidget::itemDoubleClicked, list, [this, id] { NotifyCommand(id, LBN_DBLCLK); });
        list->installEventFilter(m_focusWatcher.get());
    }
    return control;
}

void SetWindowText(QWidget* w, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->setPlainText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable())
        combo->setEditText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(text);
    else if (w)
        w->setWindowTitle(text);
}

QString GetWindowText(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(w))
        return plain->toPlainText();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->currentText();
    if (auto* group = qobject_cast<const QGroupBox*>(w))
        return group->title();
    return w ? w->windowTitle() : QString();
}

void ControlHost::SetDlgItemText(int id, const QString& text) { SetWindowText(GetDlgItem(id), text); }

QString ControlHost::GetDlgItemText(int id) const { return GetWindowText(GetDlgItem(id)); }

void ControlHost::CheckDlgButton(int id, bool checked)
{
    if (auto* button = GetDlgItemAs<QAbstractButton>(id))
        button->setChecked(checked);
}

bool ControlHost::IsDlgButtonChecked(int id) const
{
    auto* button = GetDlgItemAs<QAbstractButton>(id);
    return button && button->isChecked();
}

void ControlHost::EnableDlgItem(int id, bool enable)
{
    if (QWidget* w = GetDlgItem(id))
        w->setEnabled(enable);
}

bool ControlHost::IsDlgItemEnabled(int id) const
{
    QWidget* w = GetDlgItem(id);
    return w && w->isEnabled();
}

int ControlHost::GetCurSel(int id) const
{
    QWidget* w = GetDlgItem(id);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentIndex();
    if (auto* list = qobject_cast<QListWidget*>(w))
        return list->currentRow();
    return -1;
}

void ControlHost::SetCurSel(int id, int index)
{
    QWidget* w = GetDlgItem(id);
    m_silent = true;
    if (auto* combo = qobject_cast<QComboBox*>(w))
        combo->setCurrentIndex(index);
    else if (auto* list = qobject_cast<QListWidget*>(w))
        list->setCurrentRow(index);
    m_silent = false;
}

bool ControlHost::ClickDlgItem(int id)
{
    auto* button = GetDlgItemAs<QAbstractButton>(id);
    if (!button || !button->isEnabled() || button->isHidden())
        return false;
    button->click();
    return true;
}

bool ControlHost::SelectDlgItem(int id, int index)
{
    QWidget* w = GetDlgItem(id);
    if (!w || !w->isEnabled())
        return false;
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (index < 0 || index >= combo->count())
            return false;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        if (index < 0 || index >= list->count())
            return false;
        list->setCurrentRow(index);
        return true;
    }
    return false;
}

bool ControlHost::FocusDlgItem(int id)
{
    QWidget* w = GetDlgItem(id);
    if (!w || !w->isEnabled())
        return false;
    // Offscreen a window may never become active, so a focus change is
    // delivered directly as well when Qt would hold it back.
    QWidget* old = w->window()->focusWidget();
    w->setFocus(Qt::OtherFocusReason);
    if (!w->hasFocus() && old != w) {
        if (old) {
            QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(old, &out);
        }
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(w, &in);
    }
    return true;
}

std::vector<std::pair<int, QWidget*>> ControlHost::Controls() const
{
    std::vector<std::pair<int, QWidget*>> result;
    for (const auto& [id, w] : m_controls)
        if (w)
            result.emplace_back(id, w.data());
    return result;
}

void ControlHost::NotifyCommand(int id, int code) { OnCommand(id, code); }

platform::LRESULT ControlHost::OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM)
{
    if (message == platform::WM_COMMAND)
        return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? 1 : 0;
    return 0;
}

bool ControlHost::OnCommand(int, int) { return false; }
