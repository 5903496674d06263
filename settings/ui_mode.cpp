#include "settings/ui_mode.h"

#include "foundation/dialog_templates.h"
#include "platform/message_box.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"

#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

const char kModeText[]
    = "  Выберите, Вы желаете работать в простом или экспертном режиме. (В экспертном режиме более "
      "расширенный функционал по сравнению с простым.) В программе есть возможность переключения между "
      "режимами на странице настроек (Общие). Настройки простого режима сохраняются отдельно и не "
      "пересекаются с настройками экспертного режима.\r\n\r\n  Choose you'd like to work in simple or "
      "expert mode. (In expert mode, there is an extended functional compared to the simple one). The "
      "program has a possibility to switch between modes on a tab of settings (Generals). Simple mode "
      "settings are separately saved and not intersected with expert mode settings.";

} // namespace

CUiModeDlg::CUiModeDlg(QWidget* parent)
    : CDialog(GetOrientedDialogId(IDD_UI_MODE), parent)
{
}

void CUiModeDlg::CreateControls(QWidget* body)
{
    DialogLayout layout(*this, body, IsLandscapeLayout());
    for (const int id : { IDC_UI_MODE_SIMPLE, IDC_UI_MODE_EXPERT }) {
        // A size smaller than the dialog's own: the captions fit a 240-pixel screen.
        layout.AddField(AddControl<QRadioButton>(id, body))->setFont(DialogFont(11));
    }
    auto* text = AddControl<QPlainTextEdit>(IDC_UI_MODE_TEXT, body);
    text->setReadOnly(true);
    text->document()->setDocumentMargin(3);
    layout.Form()->addWidget(text, 1);
    layout.AddButtons({ { platform::IDOK, QStringLiteral("OK") } });
    // The text takes the room the buttons leave.
    layout.Form()->setStretch(layout.Form()->count() - 1, 0);
}

bool CUiModeDlg::OnInitDialog()
{
    setWindowTitle(QStringLiteral("Режим Travenor Pro"));
    SetDlgItemText(IDC_UI_MODE_SIMPLE, QStringLiteral("Простой режим (Simple mode)"));
    SetDlgItemText(IDC_UI_MODE_EXPERT, QStringLiteral("Экспертный режим (Expert mode)"));
    SetDlgItemText(IDC_UI_MODE_TEXT, QString::fromUtf8(kModeText));
    return CDialog::OnInitDialog();
}

bool CUiModeDlg::DoDataExchange(bool save)
{
    if (save)
        m_mode = IsDlgButtonChecked(IDC_UI_MODE_EXPERT) ? 1 : 0;
    else {
        CheckDlgButton(IDC_UI_MODE_SIMPLE, m_mode == 0);
        CheckDlgButton(IDC_UI_MODE_EXPERT, m_mode == 1);
    }
    return true;
}

void ApplyUiMode(int expert, int reload)
{
    // The on-map elements that differ between the modes (the button bars, the
    // quick bar, the transparent buttons, the zoom control) follow the mode
    // once they exist.
    if (reload) {
        g_settingsFile->Save(0);
        g_bExpertMode = expert;
        g_settingsFile->Load(0);
    } else {
        g_bExpertMode = expert;
    }
}
