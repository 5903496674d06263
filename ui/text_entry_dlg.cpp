#include "ui/text_entry_dlg.h"

#include "foundation/dialog_templates.h"
#include "foundation/input_panel.h"
#include "platform/message_box.h"
#include "ui/dialog_layout.h"

#include <QLineEdit>

int ValidTextPrefixLength(const QString& text, const QString& allowed, const QString& forbidden)
{
    int length = 0;
    if (!allowed.isEmpty()) {
        while (length < text.size() && allowed.contains(text[length]))
            ++length;
        if (length < text.size())
            return length;
    }
    if (forbidden.isEmpty())
        return static_cast<int>(text.size());
    length = 0;
    while (length < text.size() && !forbidden.contains(text[length]))
        ++length;
    return length;
}

CTextEntryDlg::CTextEntryDlg(QWidget* parent)
    : CDialog(GetOrientedDialogId(IDD_TEXT_ENTRY), parent)
{
}

void CTextEntryDlg::CreateControls(QWidget* body)
{
    DialogLayout layout(*this, body, IsLandscapeLayout());
    layout.AddPrompt(IDC_DIALOG_PROMPT);
    layout.AddField(AddControl<QLineEdit>(IDC_TEXT_ENTRY_EDIT, body));
    layout.AddNote(IDC_DIALOG_NOTE);
    layout.AddOkCancel();
}

bool CTextEntryDlg::DoDataExchange(bool save)
{
    auto* edit = GetDlgItemAs<QLineEdit>(IDC_TEXT_ENTRY_EDIT);
    if (!save) {
        edit->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
        SetDlgItemText(
            IDC_TEXT_ENTRY_EDIT, m_text.left(ValidTextPrefixLength(m_text, m_allowed, m_forbidden)));
        SetDlgItemText(IDC_DIALOG_PROMPT, m_prompt);
        SetDlgItemText(IDC_DIALOG_NOTE, m_note);
        return true;
    }
    const QString text = edit->text();
    if (ValidTextPrefixLength(text, m_allowed, m_forbidden) < text.size()) {
        platform::ShowMessageBox(this, QStringLiteral("Error string value..."),
            QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        FocusDlgItem(IDC_TEXT_ENTRY_EDIT);
        return false;
    }
    if (m_maxLength > 0 && text.size() > m_maxLength) {
        platform::ShowMessageBox(this,
            QStringLiteral("Please enter no more than %1 characters.").arg(m_maxLength),
            QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        FocusDlgItem(IDC_TEXT_ENTRY_EDIT);
        return false;
    }
    m_text = text;
    return true;
}

bool CTextEntryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ShowInputPanel(true);
    ShowInputPanel(false);
    SetOkCancelTexts(*this);
    UpdateOkButton();
    return true;
}

void CTextEntryDlg::UpdateOkButton()
{
    EnableDlgItem(platform::IDOK, GetDlgItemText(IDC_TEXT_ENTRY_EDIT).size() >= m_minLength);
}

bool CTextEntryDlg::OnCommand(int id, int code)
{
    if (id == IDC_TEXT_ENTRY_EDIT) {
        if (code == EN_SETFOCUS)
            ShowInputPanel(true);
        else if (code == EN_KILLFOCUS)
            ShowInputPanel(false);
        else if (code == EN_CHANGE)
            UpdateOkButton();
        return true;
    }
    return CDialog::OnCommand(id, code);
}

void CTextEntryDlg::OnDestroy()
{
    ShowInputPanel(false);
    CDialog::OnDestroy();
}
