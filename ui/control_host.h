#pragma once
// The controls of a dialog or page, addressed by their numeric ids as the
// program's code addresses them (the id is also the control's objectName).
// A control tells its host what happened through WM_COMMAND with its id and a
// notification code, and the host's OnCommand handles it; code and tests drive
// the controls by id: set text, check, select, click.
#include "platform/messages.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <memory>
#include <utility>
#include <vector>

// Notification codes in the high word of a control's WM_COMMAND wParam.
enum : int {
    BN_CLICKED = 0,
    CBN_SELCHANGE = 1,
    LBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    LBN_SETFOCUS = 4,
    LBN_KILLFOCUS = 5,
    EN_SETFOCUS = 0x0100,
    EN_KILLFOCUS = 0x0200,
    EN_CHANGE = 0x0300,
};

constexpr platform::WPARAM MAKEWPARAM(int low, int high)
{
    return (static_cast<platform::WPARAM>(static_cast<uint16_t>(low)))
        | (static_cast<platform::WPARAM>(static_cast<uint16_t>(high)) << 16);
}
constexpr int LOWORD(platform::WPARAM w) { return static_cast<int>(w & 0xFFFF); }
constexpr int HIWORD(platform::WPARAM w) { return static_cast<int>((w >> 16) & 0xFFFF); }

// A window's text as the platform keeps it: a label's, an edit's or a
// button's text, a group's title, else the window's title.
void SetWindowText(QWidget* window, const QString& text);
QString GetWindowText(const QWidget* window);

class ControlHost : public platform::MessageTarget {
public:
    ControlHost();
    ~ControlHost() override;

    QWidget* GetDlgItem(int id) const;
    template <class T> T* GetDlgItemAs(int id) const { return dynamic_cast<T*>(GetDlgItem(id)); }
    // The id a control was registered under, or -1.
    int GetDlgCtrlID(const QWidget* control) const;

    // What the program does to its controls. Setting an edit's text notifies
    // EN_CHANGE, as the platform's edit control does; the other calls notify nothing.
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    void CheckDlgButton(int id, bool checked);
    bool IsDlgButtonChecked(int id) const;
    void EnableDlgItem(int id, bool enable);
    bool IsDlgItemEnabled(int id) const;
    // Selection of a combo box or list box; -1 for none.
    int GetCurSel(int id) const;
    void SetCurSel(int id, int index);

    // What a person does: a tap on a button (nothing when it is disabled or
    // hidden), a choice in a list, the focus into a field. False when the
    // control cannot take the action.
    bool ClickDlgItem(int id);
    bool SelectDlgItem(int id, int index);
    bool FocusDlgItem(int id);

    // WM_COMMAND routes to OnCommand(control id, notification code).
    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;

    // Registers a control created by the host's layout code; the control's
    // notifications start arriving in OnCommand.
    QWidget* RegisterControl(int id, QWidget* control);
    template <class T> T* AddControl(int id, QWidget* parent)
    {
        auto* control = new T(parent); // owned by its Qt parent
        RegisterControl(id, control);
        return control;
    }

protected:
    // The registered controls, by id.
    std::vector<std::pair<int, QWidget*>> Controls() const;
    // A control's notification, as if the control had sent it.
    void NotifyCommand(int id, int code);

    // True when the command was handled.
    virtual bool OnCommand(int id, int code);

private:
    std::map<int, QPointer<QWidget>> m_controls;
    std::unique_ptr<QObject> m_focusWatcher;
    bool m_silent = false; // selection set by the program: no notification
};
