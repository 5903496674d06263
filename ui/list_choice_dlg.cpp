#include "ui/list_choice_dlg.h"

#include "foundation/dialog_templates.h"
#include "platform/message_box.h"
#include "ui/dialog_layout.h"

#include <QComboBox>

CListChoiceDlg::CListChoiceDlg(CListSource* source, QWidget* parent)
    : CDialogFullScreen(GetOrientedDialogId(IDD_LIST_CHOICE), parent)
    , m_source(source)
{
}

void CListChoiceDlg::CreateControls(QWidget* body)
{
    DialogLayout layout(*this, body, IsLandscapeLayout());
    layout.AddPrompt(IDC_DIALOG_PROMPT);
    layout.AddField(AddControl<QComboBox>(IDC_LIST_CHOICE_COMBO, body));
    layout.AddNote(IDC_DIALOG_NOTE);
    layout.AddOkCancel();
}

bool CListChoiceDlg::DoDataExchange(bool save)
{
    if (!save) {
        SetDlgItemText(IDC_DIALOG_PROMPT, m_prompt);
        SetDlgItemText(IDC_DIALOG_NOTE, m_note);
    }
    return true;
}

bool CListChoiceDlg::OnInitDialog()
{
    CDialogFullScreen::OnInitDialog();
    EnableDlgItem(platform::IDOK, false);
    auto* combo = GetDlgItemAs<QComboBox>(IDC_LIST_CHOICE_COMBO);
    if (m_source) {
        QString name;
        int32_t value = 0;
        int selected = -1;
        for (int index = 0; m_source->Next(index, name, value); ++index) {
            combo->addItem(name, value);
            if (selected < 0 && value == m_source->m_current)
                selected = index;
        }
        if (combo->count() > 0) {
            SetCurSel(IDC_LIST_CHOICE_COMBO, selected < 0 ? 0 : selected);
            EnableDlgItem(platform::IDOK, true);
        }
    }
    SetOkCancelTexts(*this);
    return true;
}

bool CListChoiceDlg::OnCommand(int id, int code)
{
    if (id == IDC_LIST_CHOICE_COMBO && code == CBN_SELCHANGE) {
        if (m_source)
            EnableDlgItem(platform::IDOK, true);
        return true;
    }
    return CDialogFullScreen::OnCommand(id, code);
}

void CListChoiceDlg::OnOK()
{
    const int selected = GetCurSel(IDC_LIST_CHOICE_COMBO);
    if (!m_source || selected < 0)
        return;
    m_source->m_current = GetDlgItemAs<QComboBox>(IDC_LIST_CHOICE_COMBO)->itemData(selected).toInt();
    EndDialog(platform::IDOK);
}
