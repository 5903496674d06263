#pragma once
// The arrangement of a simple form dialog: a prompt, a field, a note and the
// OK and Cancel buttons. Portrait stacks them with the buttons in a row at the
// bottom; landscape puts the buttons in a column at the right of the form.
#include <QBoxLayout>
#include <QString>
#include <initializer_list>
#include <utility>

class ControlHost;

// The prompt above a dialog's field and the note below it.
enum : int {
    IDC_DIALOG_NOTE = 1306,
    IDC_DIALOG_PROMPT = 1307,
};

// "OK" and the Cancel button's caption in the interface language.
void SetOkCancelTexts(ControlHost& host);
class QLabel;
class QWidget;

class DialogLayout {
public:
    DialogLayout(ControlHost& host, QWidget* body, bool landscape);

    QLabel* AddPrompt(int id);
    QWidget* AddField(QWidget* field);
    QLabel* AddNote(int id);
    // A layout for the form's own controls.
    QBoxLayout* Form() const { return m_form; }
    // The OK (1) and Cancel (2) buttons.
    void AddOkCancel();
    // Buttons by id with their template captions, after the form.
    void AddButtons(std::initializer_list<std::pair<int, QString>> buttons);

private:
    ControlHost& m_host;
    QWidget* m_body;
    bool m_landscape;
    QBoxLayout* m_form; // owned by the body's layout
    QBoxLayout* m_buttons;
};
