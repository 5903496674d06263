#include "settings/system_pages.h"

#include "app/app_messages.h"
#include "app/device_config.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "foundation/language.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"
#include "ui/property_sheet.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>

using namespace settings_layout;

namespace {

// Two check boxes that act as a pair of radio buttons: the tapped one is
// checked and the other cleared.
void CheckOneOfTwo(ControlHost& host, int checked, int cleared)
{
    host.CheckDlgButton(checked, true);
    host.CheckDlgButton(cleared, false);
}

} // namespace

// Language.

CPageLanguage::CPageLanguage()
    : CPropertyPage(IDD_PAGE_LANGUAGE)
{
}

void CPageLanguage::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_LANGUAGE_GROUP, this, column);
    // Each language's name in its own language, whatever the interface shows.
    Add<QCheckBox>(*this, IDC_LANGUAGE_RUSSIAN, this, group)->setText(QStringLiteral("Русский"));
    Add<QCheckBox>(*this, IDC_LANGUAGE_ENGLISH, this, group)->setText(QStringLiteral("English"));
    column->addStretch(1);
}

bool CPageLanguage::OnInitDialog()
{
    if (g_language == LANGUAGE_ENGLISH) {
        CheckOneOfTwo(*this, IDC_LANGUAGE_ENGLISH, IDC_LANGUAGE_RUSSIAN);
        SetDlgItemText(IDC_LANGUAGE_GROUP, QStringLiteral("Language"));
    } else {
        CheckOneOfTwo(*this, IDC_LANGUAGE_RUSSIAN, IDC_LANGUAGE_ENGLISH);
        SetDlgItemText(IDC_LANGUAGE_GROUP, QStringLiteral("Язык"));
    }
    return true;
}

bool CPageLanguage::OnCommand(int id, int code)
{
    if (code == BN_CLICKED && id == IDC_LANGUAGE_ENGLISH) {
        CheckOneOfTwo(*this, IDC_LANGUAGE_ENGLISH, IDC_LANGUAGE_RUSSIAN);
        return true;
    }
    if (code == BN_CLICKED && id == IDC_LANGUAGE_RUSSIAN) {
        CheckOneOfTwo(*this, IDC_LANGUAGE_RUSSIAN, IDC_LANGUAGE_ENGLISH);
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageLanguage::OnOK()
{
    g_language = IsDlgButtonChecked(IDC_LANGUAGE_ENGLISH) ? LANGUAGE_ENGLISH : LANGUAGE_RUSSIAN;
    CPropertyPage::OnOK();
}

// Interface mode.

CPageMode::CPageMode()
    : CPropertyPage(IDD_PAGE_MODE)
{
}

void CPageMode::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_MODE_GROUP, this, column);
    Add<QCheckBox>(*this, IDC_MODE_SIMPLE, this, group);
    Add<QCheckBox>(*this, IDC_MODE_EXPERT, this, group);
    column->addStretch(1);
}

bool CPageMode::OnInitDialog()
{
    if (g_bExpertMode)
        CheckOneOfTwo(*this, IDC_MODE_EXPERT, IDC_MODE_SIMPLE);
    else
        CheckOneOfTwo(*this, IDC_MODE_SIMPLE, IDC_MODE_EXPERT);
    const bool english = g_language == LANGUAGE_ENGLISH;
    SetDlgItemText(IDC_MODE_GROUP, english ? QStringLiteral("Mode") : QStringLiteral("Режим"));
    SetDlgItemText(IDC_MODE_SIMPLE, english ? QStringLiteral("Simple") : QStringLiteral("Простой"));
    SetDlgItemText(IDC_MODE_EXPERT, english ? QStringLiteral("Expert") : QStringLiteral("Экспертный"));
    return true;
}

bool CPageMode::OnCommand(int id, int code)
{
    if (code == BN_CLICKED && id == IDC_MODE_SIMPLE) {
        CheckOneOfTwo(*this, IDC_MODE_SIMPLE, IDC_MODE_EXPERT);
        return true;
    }
    if (code == BN_CLICKED && id == IDC_MODE_EXPERT) {
        CheckOneOfTwo(*this, IDC_MODE_EXPERT, IDC_MODE_SIMPLE);
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageMode::OnOK()
{
    const int mode = IsDlgButtonChecked(IDC_MODE_EXPERT) ? 1 : 0;
    CPropertyPage::OnOK();
    if (mode == g_bExpertMode)
        return;
    // The main frame switches the mode (and keeps g_bExpertMode); the menu
    // that owns the sheet renames its entries.
    if (CMainFrame* frame = CMapWnd::GetMainFrame())
        platform::post(frame, WM_APP_APPLY_UI_MODE, platform::WPARAM(mode), 0);
    if (CPropertySheet* sheet = GetSheet()) {
        if (auto* owner = dynamic_cast<platform::MessageTarget*>(sheet->GetParent()))
            platform::post(owner, WM_APP_APPLY_UI_MODE, platform::WPARAM(mode), 0);
    }
}

// Sound.

CPageSound::CPageSound()
    : CPropertyPage(IDD_PAGE_SOUND)
{
}

void CPageSound::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_SOUND_GROUP, this, column);
    Add<QCheckBox>(*this, IDC_SOUND_ON, this, group);
    AddSliderWithEnds(*this, IDC_SOUND_VOLUME, IDC_SOUND_SILENT, IDC_SOUND_LOUD, this, group);
    column->addStretch(1);
}

bool CPageSound::OnInitDialog()
{
    SetDlgItemText(IDC_SOUND_GROUP, Bilingual(u"System sound", u"Системный звук"));
    SetDlgItemText(IDC_SOUND_ON, Bilingual(u"Sound", u"Звук"));
    SetDlgItemText(IDC_SOUND_SILENT, Bilingual(u"Silent", u"Тише"));
    SetDlgItemText(IDC_SOUND_LOUD, Bilingual(u"Loud", u"Громче"));
    auto* volume = GetDlgItemAs<QSlider>(IDC_SOUND_VOLUME);
    volume->setRange(0, 0xFFFF);
    volume->setValue(int(GetWaveVolume()));
    const bool on = IsSoundOn();
    CheckDlgButton(IDC_SOUND_ON, on);
    EnableVolume(on);
    return true;
}

void CPageSound::EnableVolume(bool on)
{
    EnableDlgItem(IDC_SOUND_VOLUME, on);
    EnableDlgItem(IDC_SOUND_SILENT, on);
    EnableDlgItem(IDC_SOUND_LOUD, on);
}

void CPageSound::OnSoundClicked()
{
    const bool on = IsDlgButtonChecked(IDC_SOUND_ON);
    if (on) {
        SoundOn();
        // The volume kept at the switch-off; a device that was silent
        // already then (or muted elsewhere) kept none, and a switched-on
        // sound must be heard.
        const uint32_t kept = GetShellOverrideVolume() & 0xFFFF;
        SetWaveVolume(kept != 0 ? kept : kAudibleVolume);
    } else {
        SoundOff();
        SetWaveVolume(0);
    }
    GetDlgItemAs<QSlider>(IDC_SOUND_VOLUME)->setValue(int(GetWaveVolume()));
    EnableVolume(on);
}

bool CPageSound::OnCommand(int id, int code)
{
    if (code == BN_CLICKED && id == IDC_SOUND_ON) {
        OnSoundClicked();
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageSound::OnOK()
{
    SetWaveVolume(uint32_t(GetDlgItemAs<QSlider>(IDC_SOUND_VOLUME)->value()));
    CPropertyPage::OnOK();
}
