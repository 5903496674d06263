#include "settings/ui_mode.h"

#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/zoom_control.h"
#include "foundation/dialog_templates.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/message_box.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"

#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

// Both modes share one settings file: the text promises nothing else.
const char kModeText[]
    = "  Выберите, Вы желаете работать в простом или экспертном режиме. (В экспертном режиме более "
      "расширенный функционал по сравнению с простым.) В программе есть возможность переключения между "
      "режимами на странице настроек (Общие).\r\n\r\n  Choose you'd like to work in simple or "
      "expert mode. (In expert mode, there is an extended functional compared to the simple one). The "
      "program has a possibility to switch between modes on a tab of settings (Generals).";

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
    CMapController& controller = *g_MapController;
    CScreenButtonFolders& buttons = GetTransparentButtonRoot();
    if (buttons.IsShown()) {
        ExecuteCommand(CMD_SHOW_TRANSPARENT_BUTTONS);
        buttons.SetShown(false);
    }
    CJamFileManager& jamFiles = controller.GetJamFiles();
    constexpr uint8_t kJamFlags = CJamFileManager::SWITCH_BLOCKING | CJamFileManager::SWITCH_JAMS;
    const uint8_t jamFlagsBefore = jamFiles.GetSwitches() & kJamFlags;

    // The settings are read again only over a file that was just written:
    // after a failed write the mode changes and the settings stay as they are.
    // The files are read and written without the controller's lock, which the
    // draw thread needs for every frame.
    if (reload && g_settingsFile->Save(0)) {
        g_bExpertMode = expert;
        g_settingsFile->Load(0);
    } else {
        g_bExpertMode = expert;
    }
    if ((jamFiles.GetSwitches() & kJamFlags) != jamFlagsBefore)
        jamFiles.StartWorker(false);

    {
        platform::CSLock lock(controller.GetElementLock());
        controller.Lock();
        if (CScreenElement* quickBar = controller.GetElements().quickBar.get())
            quickBar->SetState(expert ? CScreenElement::STATE_HIDDEN : CScreenElement::STATE_SHOWN);
        for (CButtonBar* bar : { &controller.GetBottomButtonBar(), &controller.GetTopButtonBar() }) {
            if (bar->GetBarState() == CButtonBar::BAR_HIDDEN)
                bar->SetBarState(CButtonBar::BAR_ON_DEMAND);
            bar->SetState(expert ? CScreenElement::STATE_SHOWN : CScreenElement::STATE_HIDDEN);
        }
        controller.Unlock();
    }
    if (controller.IsFollowGps() && !controller.IsAlwaysUp())
        ExecuteCommand(CMD_GPS_TRACKING);
    ExecuteCommand(CMD_SCROLL);
    if (CZoomControl* zoom = controller.GetZoomControl(); zoom && GetScreenOrientation() != ORIENT_PORTRAIT)
        zoom->SetImageId(expert ? CZoomControl::kBackground : CZoomControl::kMovingModeBackground);
    controller.LayoutElements();
}
