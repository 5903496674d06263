#pragma once
// The dialog class every dialog, property sheet and wizard of the program is
// built on. It opens frameless over the device screen with the screen's exact
// geometry and plays the handheld's screen inside it: the dialog's own window
// (the body) sits where the program moves it, and the shell's task bar and menu
// bar show above and below it when the body leaves room for them.
//
// The arrangement of the controls is built in code by CreateControls, portrait
// or landscape by the dialog's template id (see GetOrientedDialogId). Texts are
// set when the dialog opens (OnInitDialog), so they follow g_language.
#include "ui/control_host.h"

#include <QDialog>
#include <QPointer>
#include <QRect>

// Activation states passed to OnActivate.
enum : int { WA_INACTIVE = 0, WA_ACTIVE = 1 };

class CDialog : public QDialog, public ControlHost {
public:
    explicit CDialog(int templateId, QWidget* parent = nullptr);
    ~CDialog() override;

    int GetTemplateId() const { return m_templateId; }
    // The window that opened the dialog (not its Qt parent).
    QWidget* GetParent() const { return m_parent; }
    // The arrangement the template id asks for (a design id or one that stands
    // in no row follows the screen).
    bool IsLandscapeLayout() const;

    // Builds the controls, runs OnInitDialog and shows the dialog without
    // waiting; DoModal does the same and then waits for the result.
    bool Create();
    int DoModal();
    void EndDialog(int result);
    bool IsOpen() const { return m_created && isVisible(); }

    // Moves and reports the dialog's window in screen coordinates.
    void MoveWindow(const QRect& rect);
    QRect GetWindowRect() const;
    QWidget* Body() const { return m_body; }

    // Loads the controls from the dialog's values (false) or stores and checks
    // them (true); false when a value was refused.
    bool UpdateData(bool saveAndValidate = true);

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnActivate(int state);
    virtual void OnDestroy();

    void done(int result) override;
    void reject() override;

protected:
    virtual void CreateControls(QWidget* body) = 0;
    // The dialog's window was moved or resized by MoveWindow.
    virtual void OnWindowMoved() { }
    virtual bool DoDataExchange(bool save);
    bool OnCommand(int id, int code) override;

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool Initialize();

    const int m_templateId;
    QPointer<QWidget> m_parent;
    QWidget* m_body; // owned by this widget
    bool m_created = false;
    bool m_ended = false;
};
