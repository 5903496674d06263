#pragma once
// Enter a text with a minimum and maximum length and rules for its characters:
// a prompt, the text field and a note, with the soft input panel shown while
// the field has the focus.
#include "ui/dialog.h"
#include "ui/dialog_layout.h"

#include <QString>

enum : int {
    IDD_TEXT_ENTRY = 816,
    IDC_TEXT_ENTRY_EDIT = 1050,
};

// How many leading characters of `text` the rules accept: only characters of
// `allowed` (when given), and then, when all of them were, none of `forbidden`.
int ValidTextPrefixLength(const QString& text, const QString& allowed, const QString& forbidden);

class CTextEntryDlg : public CDialog {
public:
    explicit CTextEntryDlg(QWidget* parent = nullptr);

    int m_minLength = 0; // 0: none
    int m_maxLength = 0; // 0: none
    QString m_allowed; // empty: any character
    QString m_forbidden; // empty: none
    QString m_prompt; // static 1307
    QString m_text; // edit 1050
    QString m_note; // static 1306

    bool OnInitDialog() override;
    void OnDestroy() override;

protected:
    void CreateControls(QWidget* body) override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;

private:
    void UpdateOkButton();
};
