#include "settings/settings_pages.h"

#include "app/device_config.h"
#include "app/map_set.h"
#include "foundation/app_services.h"
#include "foundation/language.h"
#include "gps/bluetooth_control.h"
#include "nav/map_controller.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "settings/settings_file.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"
#include "ui/property_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace settings_layout;

namespace {

const char16_t kCantOpenEn[] = u"Can't open the file.";
const char16_t kCantOpenRu[] = u"Невозможно открыть файл.";

// Tells the sheet to close as if cancelled, once the page's handler returned.
void CancelSheet(CPropertyPage& page)
{
    if (CPropertySheet* sheet = page.GetSheet())
        platform::post(sheet, platform::WM_COMMAND, MAKEWPARAM(platform::IDCANCEL, BN_CLICKED), 0);
}

} // namespace

// Settings files.

CPageSettingsFiles::CPageSettingsFiles()
    : CPropertyPage(IDD_PAGE_SETTINGS_FILES)
{
}

void CPageSettingsFiles::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_FILES_GROUP, this, column);
    group->addLayout(new QHBoxLayout);
    QHBoxLayout* top = AddRow(group);
    Add<QPushButton>(*this, IDC_FILES_NEW, this, top)->setText(QStringLiteral("New"));
    Add<QPushButton>(*this, IDC_FILES_OPEN, this, top)->setText(QStringLiteral("Open..."));
    QHBoxLayout* bottom = AddRow(group);
    Add<QPushButton>(*this, IDC_FILES_SAVE, this, bottom)->setText(QStringLiteral("Save"));
    Add<QPushButton>(*this, IDC_FILES_SAVE_AS, this, bottom)->setText(QStringLiteral("Save as..."));
    auto* path = AddControl<QLabel>(IDC_FILES_PATH, this);
    path->setWordWrap(true);
    path->setTextInteractionFlags(Qt::NoTextInteraction);
    group->addWidget(path);
    column->addStretch(1);
}

bool CPageSettingsFiles::OnInitDialog()
{
    const int language = g_language;
    if (language == LANGUAGE_ENGLISH || language == LANGUAGE_RUSSIAN) {
        SetDlgItemText(
            IDC_FILES_GROUP, Bilingual(u"KNS (Travenor settings files)", u"KNS (Файлы настроек Travenor)"));
        SetDlgItemText(IDC_FILES_NEW, Bilingual(u"New", u"Новый"));
        SetDlgItemText(IDC_FILES_OPEN, Bilingual(u"Open...", u"Открыть..."));
        SetDlgItemText(IDC_FILES_SAVE, Bilingual(u"Save", u"Сохранить"));
        SetDlgItemText(IDC_FILES_SAVE_AS, Bilingual(u"Save as...", u"Сохранить Как..."));
    }
    m_path = g_settingsFile->GetPath();
    UpdateData(false);
    return true;
}

bool CPageSettingsFiles::DoDataExchange(bool save)
{
    if (save)
        m_path = GetDlgItemText(IDC_FILES_PATH);
    else
        SetDlgItemText(IDC_FILES_PATH, m_path);
    return true;
}

bool CPageSettingsFiles::OnCommand(int id, int code)
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_FILES_NEW:
            OnNew();
            return true;
        case IDC_FILES_OPEN:
            OnOpen();
            return true;
        case IDC_FILES_SAVE:
            OnSave();
            return true;
        case IDC_FILES_SAVE_AS:
            OnSaveAs();
            return true;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageSettingsFiles::ShowPath()
{
    m_path = g_settingsFile->GetPath();
    UpdateData(false);
}

void CPageSettingsFiles::OnNew()
{
    g_settingsFile->SetDefaults();
    OnSetActive();
    UpdateData(false);
    // The other pages still show the values from before the reset: the sheet
    // closes as cancelled so that none of them applies them.
    CancelSheet(*this);
}

void CPageSettingsFiles::OnOpen()
{
    platform::FileDialogRequest request;
    request.open = true;
    request.defaultExt = QStringLiteral("kns");
    request.fileName = QStringLiteral("*.kns");
    request.flags = platform::OFN_FILEMUSTEXIST;
    request.filter = QStringLiteral("Travenor settings (*.kns)|*.kns|All Files (*.*)|*.*||");
    const std::optional<QString> chosen = platform::ShowFileDialog(this, request);
    if (!chosen)
        return;
    if (g_settingsFile->Open(*chosen) == 0) {
        AppMessageBoxText(Bilingual(kCantOpenEn, kCantOpenRu), platform::MB_OK);
        return;
    }
    ShowPath();
    // The file's values are in force now; the other pages of the sheet still
    // hold those from before, so the sheet closes without applying them.
    CancelSheet(*this);
}

void CPageSettingsFiles::OnSave()
{
    if (g_settingsFile->SaveCurrent())
        ShowPath();
    else
        OnSaveAs();
}

void CPageSettingsFiles::OnSaveAs()
{
    QString path = g_settingsFile->GetPath();
    if (path.isEmpty())
        path = QStringLiteral("\\My Documents\\Travenor Pro settings.kns");
    platform::FileDialogRequest request;
    request.open = false;
    request.defaultExt = QStringLiteral("kns");
    request.fileName = path;
    request.flags = platform::OFN_OVERWRITEPROMPT;
    request.filter = QStringLiteral("Travenor settings (*.kns)|*.kns|");
    const std::optional<QString> chosen = platform::ShowFileDialog(this, request);
    if (!chosen)
        return;
    if (!g_settingsFile->SaveAs(*chosen))
        AppMessageBoxText(Bilingual(u"Can't save the file.", u"Невозможно сохранить файл."), platform::MB_OK);
    ShowPath();
}

// Bluetooth and ActiveSync.

CPageBluetooth::CPageBluetooth()
    : CPropertyPage(IDD_PAGE_BLUETOOTH)
{
}

void CPageBluetooth::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* bluetooth = AddGroup(*this, IDC_BLUETOOTH_GROUP, this, column);
    Add<CWrapCheckBox>(*this, IDC_BLUETOOTH_AUTO_ON, this, bluetooth);
    QVBoxLayout* activeSync = AddGroup(*this, IDC_ACTIVESYNC_GROUP, this, column);
    Add<CWrapCheckBox>(*this, IDC_ACTIVESYNC_OFF, this, activeSync);
    column->addStretch(1);
}

bool CPageBluetooth::OnInitDialog()
{
    Reload();
    SetDlgItemText(IDC_BLUETOOTH_GROUP, QStringLiteral("Bluetooth"));
    SetDlgItemText(IDC_BLUETOOTH_AUTO_ON,
        Bilingual(
            u"Automatically turn on\nwhen program starts", u"Автоматически включать\nпри запуске программы"));
    SetDlgItemText(IDC_ACTIVESYNC_GROUP, QStringLiteral("ActiveSync"));
    SetDlgItemText(IDC_ACTIVESYNC_OFF,
        Bilingual(u"Automatically turn off\nwhen program starts",
            u"Автоматически выключать\nпри запуске программы"));
    return true;
}

void CPageBluetooth::Reload()
{
    const bool noDriver = m_autoBluetooth == 2;
    EnableDlgItem(IDC_BLUETOOTH_AUTO_ON, !noDriver);
    CheckDlgButton(IDC_BLUETOOTH_AUTO_ON, !noDriver && m_autoBluetooth == 1);
    CheckDlgButton(IDC_ACTIVESYNC_OFF, g_activeSyncOff == 1);
}

void CPageBluetooth::OnOK()
{
    if (m_autoBluetooth != 2) {
        m_autoBluetooth = IsDlgButtonChecked(IDC_BLUETOOTH_AUTO_ON) ? 1 : 0;
        SaveAutoBtSetting();
    }
    const int32_t off = IsDlgButtonChecked(IDC_ACTIVESYNC_OFF) ? 1 : 0;
    if (off != g_activeSyncOff) {
        g_activeSyncOff = off;
        SetActiveSyncAutoConnect(off ? 0 : 1);
    }
}

// Map font size.

namespace {
const int kFontSizes[] = { 100, 125, 150, 175, 200 };
}

CPageAppearance::CPageAppearance()
    : CPropertyPage(IDD_PAGE_APPEARANCE)
{
}

void CPageAppearance::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_FONT_GROUP, this, column);
    auto* label = AddControl<QLabel>(IDC_FONT_LABEL, this);
    label->setWordWrap(true);
    group->addWidget(label);
    QHBoxLayout* row = AddRow(group);
    auto* sizes = Add<QComboBox>(*this, IDC_FONT_SIZE, this, row, 1);
    QObject::connect(sizes, &QComboBox::activated, sizes, [this] { m_chosen = true; });
    row->addWidget(new QLabel(QStringLiteral("%"), this));
    column->addStretch(1);
}

bool CPageAppearance::OnInitDialog()
{
    QComboBox* sizes = Combo(*this, IDC_FONT_SIZE);
    for (const int size : kFontSizes)
        sizes->addItem(QString::number(size));
    SetCurSel(IDC_FONT_SIZE, 3);
    const int found
        = sizes->findText(QString::number(g_MapController->GetMapSet().GetFontScale()), Qt::MatchStartsWith);
    if (found >= 0)
        SetCurSel(IDC_FONT_SIZE, found);
    else
        m_chosen = false;
    SetDlgItemText(IDC_FONT_GROUP, Bilingual(u"Font size", u"Размер шрифта"));
    SetDlgItemText(IDC_FONT_LABEL, Bilingual(u"Map font size", u"Масштаб шрифта на карте"));
    return true;
}

void CPageAppearance::OnOK()
{
    CMapSet& maps = g_MapController->GetMapSet();
    const int index = GetCurSel(IDC_FONT_SIZE);
    const bool shownIsStored
        = Combo(*this, IDC_FONT_SIZE)->findText(QString::number(maps.GetFontScale()), Qt::MatchStartsWith)
        >= 0;
    // A stored size that the list cannot show stays unless the user chose one.
    if (index < 0 || (!shownIsStored && !m_chosen))
        return;
    const int value = GetDlgItemText(IDC_FONT_SIZE).toInt();
    if (value != maps.GetFontScale()) {
        maps.SetFontScale(value);
        if (CPropertySheet* sheet = GetSheet())
            sheet->EndDialog(kSheetResultFollowUp);
    }
}

// Orientation panel and street tool tip.

CPageGeneral::CPageGeneral()
    : CPropertyPage(IDD_PAGE_GENERAL)
    , m_toolTip(g_MapController->IsAddressDisplayOn() ? 1 : 0)
{
    const CManeuverPanel& panel = g_MapController->GetOrientationPanel();
    m_panelMode = panel.GetMode() < 2 ? 0 : (panel.GetOrder() == CManeuverPanel::ORDER_LAST_FIRST ? 2 : 1);
}

void CPageGeneral::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_PANEL_GROUP, this, column);
    Add<QComboBox>(*this, IDC_PANEL_MODE, this, group);
    Add<CWrapCheckBox>(*this, IDC_STREET_TOOLTIP, this, column);
    column->addStretch(1);
}

bool CPageGeneral::OnInitDialog()
{
    SetDlgItemText(IDC_PANEL_GROUP, Bilingual(u"Orientation panel", u"Панель ориентирования"));
    SetDlgItemText(
        IDC_STREET_TOOLTIP, Bilingual(u"Show street tool tip", u"Показать название текущей улицы"));
    QComboBox* modes = Combo(*this, IDC_PANEL_MODE);
    if (g_language == LANGUAGE_ENGLISH)
        modes->addItems({ QStringLiteral("Next turn only"), QStringLiteral("Two turns, first above"),
            QStringLiteral("Two turns, first below") });
    else
        modes->addItems({ QStringLiteral("Только следующий поворот"),
            QStringLiteral("Два поворота, первый вверху"), QStringLiteral("Два поворота, первый внизу") });
    UpdateData(false);
    return true;
}

bool CPageGeneral::DoDataExchange(bool save)
{
    if (save) {
        m_toolTip = IsDlgButtonChecked(IDC_STREET_TOOLTIP) ? 1 : 0;
        m_panelMode = GetCurSel(IDC_PANEL_MODE);
    } else {
        SetCurSel(IDC_PANEL_MODE, m_panelMode);
        CheckDlgButton(IDC_STREET_TOOLTIP, m_toolTip != 0);
    }
    return true;
}

void CPageGeneral::OnOK()
{
    UpdateData(true);
    g_showStreetTooltip = m_toolTip;
    // The street tool tip is the map's address panel, which the settings file keeps.
    CMapController& controller = *g_MapController;
    controller.SetAddressDisplay(m_toolTip != 0);
    controller.UpdateAddressPanel();
    if (m_panelMode >= 0)
        controller.GetOrientationPanel().ApplyOption(m_panelMode);
}

// Turn notifications.

CPageTips::CPageTips()
    : CPropertyPage(IDD_PAGE_TIPS)
{
}

void CPageTips::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    const struct {
        int group, check, list, unit;
    } rows[] = {
        { IDC_TIPS_FIRST_GROUP, IDC_TIPS_FIRST_ON, IDC_TIPS_FIRST_DISTANCE, IDC_TIPS_FIRST_UNIT },
        { IDC_TIPS_SECOND_GROUP, IDC_TIPS_SECOND_ON, IDC_TIPS_SECOND_DISTANCE, IDC_TIPS_SECOND_UNIT },
        { IDC_TIPS_FINAL_GROUP, IDC_TIPS_FINAL_ON, IDC_TIPS_REPEAT, IDC_TIPS_REPEAT_UNIT },
    };
    for (const auto& r : rows) {
        QVBoxLayout* group = AddGroup(*this, r.group, this, column);
        Add<CWrapCheckBox>(*this, r.check, this, group);
        QHBoxLayout* line = AddRow(group);
        Add<QComboBox>(*this, r.list, this, line);
        auto* unit = AddControl<QLabel>(r.unit, this);
        unit->setWordWrap(true);
        line->addWidget(unit, 1);
    }
    column->addStretch(1);
}

bool CPageTips::OnInitDialog()
{
    const CRouteGuide& guide = g_MapController->GetRouteManager().GetGuide();
    for (const int id : { IDC_TIPS_FIRST_DISTANCE, IDC_TIPS_SECOND_DISTANCE }) {
        QComboBox* list = Combo(*this, id);
        for (const int32_t d : kDistances)
            list->addItem(QString::number(d));
    }
    const auto indexOf = [](int32_t metres) {
        const auto* it = std::find(kDistances.begin(), kDistances.end(), metres);
        return it == kDistances.end() ? -1 : int(it - kDistances.begin());
    };
    SetCurSel(IDC_TIPS_FIRST_DISTANCE, indexOf(guide.GetFirstPromptDistance()));
    SetCurSel(IDC_TIPS_SECOND_DISTANCE, indexOf(guide.GetSecondPromptDistance()));
    Combo(*this, IDC_TIPS_REPEAT)
        ->addItems({ QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") });
    SetCurSel(IDC_TIPS_REPEAT, int(guide.GetRepeatCount()) - 1);
    CheckDlgButton(IDC_TIPS_FIRST_ON, guide.IsFirstPromptOn() != 0);
    CheckDlgButton(IDC_TIPS_SECOND_ON, guide.IsSecondPromptOn() != 0);
    CheckDlgButton(IDC_TIPS_FINAL_ON, guide.IsFinalPromptOn() != 0);
    OnFirstPromptClicked();
    OnSecondPromptClicked();
    OnFinalPromptClicked();
    return true;
}

bool CPageTips::OnSetActive()
{
    const QString notify = Bilingual(u"Notify at", u"Сообщать за");
    const QString before = Bilingual(u"meters before turn", u"метров перед поворотом");
    SetDlgItemText(IDC_TIPS_FIRST_GROUP, Bilingual(u"First notification", u"Первое оповещение"));
    SetDlgItemText(IDC_TIPS_FIRST_ON, notify);
    SetDlgItemText(IDC_TIPS_FIRST_UNIT, before);
    SetDlgItemText(IDC_TIPS_SECOND_GROUP, Bilingual(u"Second notification", u"Второе оповещение"));
    SetDlgItemText(IDC_TIPS_SECOND_ON, notify);
    SetDlgItemText(IDC_TIPS_SECOND_UNIT, before);
    SetDlgItemText(IDC_TIPS_FINAL_GROUP, Bilingual(u"Third notification", u"Третье оповещение"));
    SetDlgItemText(
        IDC_TIPS_FINAL_ON, Bilingual(u"Notify right before turn", u"Сообщать прямо перед поворотом"));
    SetDlgItemText(IDC_TIPS_REPEAT_UNIT, Bilingual(u"time(s)", u"раз(а)"));
    return CPropertyPage::OnSetActive();
}

void CPageTips::OnFirstPromptClicked()
{
    const bool on = IsDlgButtonChecked(IDC_TIPS_FIRST_ON);
    EnableDlgItem(IDC_TIPS_FIRST_DISTANCE, on);
    EnableDlgItem(IDC_TIPS_FIRST_UNIT, on);
    g_MapController->GetRouteManager().GetGuide().SetFirstPromptOn(on ? 1 : 0);
}

void CPageTips::OnSecondPromptClicked()
{
    const bool on = IsDlgButtonChecked(IDC_TIPS_SECOND_ON);
    EnableDlgItem(IDC_TIPS_SECOND_DISTANCE, on);
    EnableDlgItem(IDC_TIPS_SECOND_UNIT, on);
    g_MapController->GetRouteManager().GetGuide().SetSecondPromptOn(on ? 1 : 0);
}

void CPageTips::OnFinalPromptClicked()
{
    const bool on = IsDlgButtonChecked(IDC_TIPS_FINAL_ON);
    g_MapController->GetRouteManager().GetGuide().SetFinalPromptOn(on ? 1 : 0);
    EnableDlgItem(IDC_TIPS_REPEAT, on);
    EnableDlgItem(IDC_TIPS_REPEAT_UNIT, on);
}

bool CPageTips::OnCommand(int id, int code)
{
    CRouteGuide& guide = g_MapController->GetRouteManager().GetGuide();
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_TIPS_FIRST_ON:
            OnFirstPromptClicked();
            return true;
        case IDC_TIPS_SECOND_ON:
            OnSecondPromptClicked();
            return true;
        case IDC_TIPS_FINAL_ON:
            OnFinalPromptClicked();
            return true;
        default:
            break;
        }
    }
    if (code == CBN_SELCHANGE) {
        const int index = GetCurSel(id);
        switch (id) {
        case IDC_TIPS_FIRST_DISTANCE:
        case IDC_TIPS_SECOND_DISTANCE:
            if (index >= 0 && index < int(kDistances.size())) {
                if (id == IDC_TIPS_FIRST_DISTANCE)
                    guide.SetFirstPromptDistance(kDistances[size_t(index)]);
                else
                    guide.SetSecondPromptDistance(kDistances[size_t(index)]);
            }
            return true;
        case IDC_TIPS_REPEAT:
            if (index >= 0)
                guide.SetRepeatCount(uint8_t(index + 1));
            return true;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(id, code);
}
