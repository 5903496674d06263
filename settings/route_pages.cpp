#include "settings/route_pages.h"

#include "foundation/app_services.h"
#include "foundation/language.h"
#include "nav/map_controller.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "search/distance_steps.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

using namespace settings_layout;

namespace {

CRouteManager& Routes() { return g_MapController->GetRouteManager(); }

// Seconds first by one, then by five, then by ten.
std::vector<int32_t> SecondSteps(int32_t from)
{
    std::vector<int32_t> steps;
    for (int32_t s = from; s <= 20; ++s)
        steps.push_back(s);
    for (int32_t s : { 25, 30, 35 })
        steps.push_back(s);
    for (int32_t s = 40; s <= 180; s += 10)
        steps.push_back(s);
    return steps;
}

// Fills a list with the values in decimal and selects the one equal to
// `current`; a value that is none of them leaves the list without a selection.
void FillChoices(ControlHost& host, int id, const std::vector<int32_t>& values, int32_t current)
{
    QComboBox* list = Combo(host, id);
    list->clear();
    for (const int32_t value : values)
        list->addItem(QString::number(value));
    const auto found = std::find(values.begin(), values.end(), current);
    host.SetCurSel(id, found == values.end() ? -1 : int(found - values.begin()));
}

// The chosen entry's value, or none.
std::optional<int32_t> Chosen(const ControlHost& host, int id, const std::vector<int32_t>& values)
{
    const int index = host.GetCurSel(id);
    if (index < 0 || index >= int(values.size()))
        return std::nullopt;
    return values[size_t(index)];
}

QLabel* AddLabel(ControlHost& host, int id, QWidget* page, QBoxLayout* into)
{
    auto* label = host.AddControl<QLabel>(id, page);
    label->setWordWrap(true);
    into->addWidget(label);
    return label;
}

} // namespace

std::vector<int32_t> RouteDeviationDelays() { return SecondSteps(6); }

std::vector<int32_t> RouteCorridorWidths()
{
    const auto* last = std::find(g_distanceSteps.begin(), g_distanceSteps.end(), 1000);
    return std::vector<int32_t>(g_distanceSteps.begin(), last + 1);
}

std::vector<int32_t> RouteLengthTimes()
{
    std::vector<int32_t> times;
    for (const int32_t seconds : SecondSteps(0))
        times.push_back(seconds * 1000);
    times.push_back(-1);
    return times;
}

// General.

CPageRouteGeneral::CPageRouteGeneral()
    : CPropertyPage(IDD_PAGE_ROUTE_GENERAL)
{
}

void CPageRouteGeneral::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* optimisation = AddGroup(*this, IDC_ROUTE_OPT_GROUP, this, column);
    Add<QComboBox>(*this, IDC_ROUTE_OPTIMISATION, this, optimisation);
    QVBoxLayout* autoroute = AddGroup(*this, IDC_ROUTE_AUTO_GROUP, this, column);
    Add<CWrapCheckBox>(*this, IDC_ROUTE_RESTORE, this, autoroute);
    QHBoxLayout* delay = AddRow(autoroute);
    delay->addWidget(AddControl<QLabel>(IDC_ROUTE_DELAY_IN, this));
    Add<QComboBox>(*this, IDC_ROUTE_DELAY, this, delay, 1);
    delay->addWidget(AddControl<QLabel>(IDC_ROUTE_DELAY_UNIT, this));
    Add<CWrapCheckBox>(*this, IDC_ROUTE_AFTER_JAMS, this, autoroute);
    Add<CWrapCheckBox>(*this, IDC_ROUTE_SAVE_AT_EXIT, this, column);
    column->addStretch(1);
}

bool CPageRouteGeneral::OnInitDialog()
{
    CheckDlgButton(IDC_ROUTE_AFTER_JAMS, Routes().GetRerouteAfterJams() != 0);
    return true;
}

bool CPageRouteGeneral::OnSetActive()
{
    QComboBox* optimisation = Combo(*this, IDC_ROUTE_OPTIMISATION);
    optimisation->clear();
    SetDlgItemText(IDC_ROUTE_OPT_GROUP, Bilingual(u"Route optimization", u"Оптимизация маршрута"));
    SetDlgItemText(IDC_ROUTE_AUTO_GROUP, Bilingual(u"Autoroute", u"Автопрокладка маршрута"));
    SetDlgItemText(IDC_ROUTE_RESTORE,
        Bilingual(u"Restore route in case of deviation", u"Восстанавливать маршрут при уходе с него"));
    SetDlgItemText(IDC_ROUTE_DELAY_IN, Bilingual(u"in", u"через"));
    SetDlgItemText(IDC_ROUTE_DELAY_UNIT, Bilingual(u"s", u"с"));
    SetDlgItemText(IDC_ROUTE_AFTER_JAMS,
        Bilingual(
            u"Recreate route after downloading jams", u"Перепрокладывать маршрут после загрузки пробок"));
    SetDlgItemText(IDC_ROUTE_SAVE_AT_EXIT,
        Bilingual(
            u"Save route when exit from Travenor Pro", u"Сохранять маршрут при выходе из Travenor Pro"));
    optimisation->addItem(Bilingual(u"Shortest route", u"По кратчайшему расстоянию"));
    optimisation->addItem(Bilingual(u"Fastest route", u"По наименьшему времени"));
    const int stored = g_routeOptimisation;
    SetCurSel(IDC_ROUTE_OPTIMISATION, stored == 1 || stored == 2 ? stored - 1 : -1);
    FillChoices(*this, IDC_ROUTE_DELAY, RouteDeviationDelays(), Routes().GetDeviationDelay());
    CheckDlgButton(IDC_ROUTE_RESTORE, Routes().GetRerouteOnDeviation() != 0);
    OnRestoreClicked();
    CheckDlgButton(IDC_ROUTE_SAVE_AT_EXIT, Routes().GetSaveRouteOnExit() != 0);
    return CPropertyPage::OnSetActive();
}

void CPageRouteGeneral::OnRestoreClicked()
{
    const bool on = IsDlgButtonChecked(IDC_ROUTE_RESTORE);
    Routes().SetRerouteOnDeviation(on ? 1 : 0);
    EnableDlgItem(IDC_ROUTE_DELAY, on);
    EnableDlgItem(IDC_ROUTE_DELAY_IN, on);
    EnableDlgItem(IDC_ROUTE_DELAY_UNIT, on);
}

bool CPageRouteGeneral::OnCommand(int id, int code)
{
    if (code == BN_CLICKED && id == IDC_ROUTE_RESTORE) {
        OnRestoreClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_ROUTE_AFTER_JAMS) {
        Routes().SetRerouteAfterJams(IsDlgButtonChecked(IDC_ROUTE_AFTER_JAMS) ? 1 : 0);
        return true;
    }
    if (code == CBN_SELCHANGE && id == IDC_ROUTE_DELAY) {
        if (const auto seconds = Chosen(*this, IDC_ROUTE_DELAY, RouteDeviationDelays()))
            Routes().SetDeviationDelay(*seconds);
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageRouteGeneral::OnOK()
{
    // A stored optimisation the list cannot show stays unless one is chosen.
    const int chosen = GetCurSel(IDC_ROUTE_OPTIMISATION);
    if (chosen == 0 || chosen == 1)
        g_routeOptimisation = int16_t(chosen + 1);
    if (Routes().HasRoute())
        g_MapController->RecreateRoute();
    Routes().SetSaveRouteOnExit(IsDlgButtonChecked(IDC_ROUTE_SAVE_AT_EXIT) ? 1 : 0);
    CPropertyPage::OnOK();
}

// Tips.

CPageRouteTips::CPageRouteTips()
    : CPropertyPage(IDD_PAGE_ROUTE_TIPS)
    , m_leaving(g_leavingRouteMessages)
    , m_creating(g_creatingRouteMessages)
{
}

void CPageRouteTips::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* voice = AddGroup(*this, IDC_ROUTE_VOICE_GROUP, this, column);
    Add<CWrapCheckBox>(*this, IDC_ROUTE_LEAVING, this, voice);
    Add<CWrapCheckBox>(*this, IDC_ROUTE_CREATING, this, voice);
    QVBoxLayout* length = AddGroup(*this, IDC_ROUTE_LENGTH_GROUP, this, column);
    AddLabel(*this, IDC_ROUTE_LENGTH_LABEL, this, length);
    QHBoxLayout* row = AddRow(length);
    Add<QComboBox>(*this, IDC_ROUTE_LENGTH_TIME, this, row, 1);
    row->addWidget(AddControl<QLabel>(IDC_ROUTE_LENGTH_UNIT, this));
    column->addStretch(1);
}

bool CPageRouteTips::DoDataExchange(bool save)
{
    if (save) {
        m_leaving = IsDlgButtonChecked(IDC_ROUTE_LEAVING) ? 1 : 0;
        m_creating = IsDlgButtonChecked(IDC_ROUTE_CREATING) ? 1 : 0;
    } else {
        CheckDlgButton(IDC_ROUTE_LEAVING, m_leaving != 0);
        CheckDlgButton(IDC_ROUTE_CREATING, m_creating != 0);
    }
    return true;
}

bool CPageRouteTips::OnInitDialog()
{
    SetDlgItemText(IDC_ROUTE_LEAVING, Bilingual(u"Leaving route messages", u"Сообщения об уходе с маршрута"));
    SetDlgItemText(
        IDC_ROUTE_CREATING, Bilingual(u"Creating route messages", u"Сообщения о прокладке маршрута"));
    SetDlgItemText(IDC_ROUTE_LENGTH_GROUP, Bilingual(u"Route's length", u"Длина маршрута"));
    SetDlgItemText(IDC_ROUTE_VOICE_GROUP, Bilingual(u"Voice messages", u"Голосовые сообщения"));
    SetDlgItemText(IDC_ROUTE_LENGTH_LABEL, Bilingual(u"Show for", u"Показывать в течение"));
    SetDlgItemText(IDC_ROUTE_LENGTH_UNIT, Bilingual(u"s", u"с"));
    UpdateData(false);
    return true;
}

bool CPageRouteTips::OnSetActive()
{
    const bool active = CPropertyPage::OnSetActive();
    FillChoices(*this, IDC_ROUTE_LENGTH_TIME, RouteLengthTimes(), Routes().GetRouteLengthTime());
    // The last entry, "Always", is the only one that is not a number.
    QComboBox* times = Combo(*this, IDC_ROUTE_LENGTH_TIME);
    times->setItemText(times->count() - 1, Bilingual(u"Always", u"Всегда"));
    for (int i = 0; i + 1 < times->count(); ++i)
        times->setItemText(i, QString::number(RouteLengthTimes()[size_t(i)] / 1000));
    return active;
}

bool CPageRouteTips::OnCommand(int id, int code)
{
    if (code == CBN_SELCHANGE && id == IDC_ROUTE_LENGTH_TIME) {
        if (const auto ms = Chosen(*this, IDC_ROUTE_LENGTH_TIME, RouteLengthTimes()))
            Routes().SetRouteLengthTime(*ms);
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageRouteTips::OnOK()
{
    UpdateData(true);
    g_leavingRouteMessages = m_leaving;
    g_creatingRouteMessages = m_creating;
    CPropertyPage::OnOK();
}

// Files.

CPageRouteFiles::CPageRouteFiles()
    : CPropertyPage(IDD_PAGE_ROUTE_FILES)
{
}

void CPageRouteFiles::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_ROUTE_FILES_GROUP, this, column);
    QHBoxLayout* top = AddRow(group);
    Add<QPushButton>(*this, IDC_ROUTE_FILES_DELETE, this, top);
    Add<QPushButton>(*this, IDC_ROUTE_FILES_OPEN, this, top);
    QHBoxLayout* bottom = AddRow(group);
    Add<QPushButton>(*this, IDC_ROUTE_FILES_SAVE, this, bottom);
    Add<QPushButton>(*this, IDC_ROUTE_FILES_SAVE_AS, this, bottom);
    QLabel* path = AddLabel(*this, IDC_ROUTE_FILES_PATH, this, group);
    path->setTextInteractionFlags(Qt::NoTextInteraction);
    column->addStretch(1);
}

bool CPageRouteFiles::OnSetActive()
{
    SetDlgItemText(IDC_ROUTE_FILES_GROUP, Bilingual(u"Route", u"Маршрут"));
    SetDlgItemText(IDC_ROUTE_FILES_DELETE, Bilingual(u"Delete", u"Удалить"));
    SetDlgItemText(IDC_ROUTE_FILES_OPEN, Bilingual(u"Open...", u"Открыть..."));
    SetDlgItemText(IDC_ROUTE_FILES_SAVE, Bilingual(u"Save", u"Сохранить"));
    SetDlgItemText(IDC_ROUTE_FILES_SAVE_AS, Bilingual(u"Save as...", u"Сохранить Как..."));
    Refresh();
    return CPropertyPage::OnSetActive();
}

void CPageRouteFiles::Refresh()
{
    const bool built = Routes().HasRoute() != 0;
    EnableDlgItem(IDC_ROUTE_FILES_DELETE, built);
    EnableDlgItem(IDC_ROUTE_FILES_SAVE, built);
    EnableDlgItem(IDC_ROUTE_FILES_SAVE_AS, built);
    SetDlgItemText(IDC_ROUTE_FILES_PATH, Routes().GetRoute().GetName());
}

bool CPageRouteFiles::OnCommand(int id, int code)
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_ROUTE_FILES_DELETE:
            OnDelete();
            return true;
        case IDC_ROUTE_FILES_OPEN:
            OnOpen();
            return true;
        case IDC_ROUTE_FILES_SAVE:
            OnSave();
            return true;
        case IDC_ROUTE_FILES_SAVE_AS:
            OnSaveAs();
            return true;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageRouteFiles::OnDelete()
{
    g_MapController->DeleteRoute();
    Refresh();
}

void CPageRouteFiles::OnOpen()
{
    platform::FileDialogRequest request;
    request.open = true;
    request.defaultExt = QStringLiteral("rt");
    request.fileName = QStringLiteral("*.rt");
    request.flags = platform::OFN_FILEMUSTEXIST;
    request.filter = QStringLiteral("Travenor routes (*.rt) | *.rt | All Files (*.*) | *.* ||");
    const std::optional<QString> chosen = platform::ShowFileDialog(this, request);
    if (chosen && Routes().GetRoute().LoadFromFile(*chosen) < 0)
        AppMessageBoxText(Bilingual(u"Can't open the file.", u"Невозможно открыть файл."), platform::MB_OK);
    // The page shows the route now in force (its file and the buttons it allows).
    Refresh();
}

void CPageRouteFiles::OnSave()
{
    const QString path = Routes().GetRoute().GetName();
    if (!path.isEmpty() && Routes().GetRoute().SaveToFile(path) > 0)
        Refresh();
    else
        OnSaveAs();
}

void CPageRouteFiles::OnSaveAs()
{
    QString path = Routes().GetRoute().GetName();
    if (path.isEmpty())
        path = QStringLiteral("\\My Documents\\Travenor Pro route.rt");
    platform::FileDialogRequest request;
    request.open = false;
    request.defaultExt = QStringLiteral("rt");
    request.fileName = path;
    request.flags = platform::OFN_OVERWRITEPROMPT;
    request.filter = QStringLiteral("Travenor routes (*.rt)|*.rt|All Files (*.*)|*.*||");
    const std::optional<QString> chosen = platform::ShowFileDialog(this, request);
    if (chosen && Routes().GetRoute().SaveToFile(*chosen) <= 0)
        AppMessageBoxText(Bilingual(u"Can't save the file.", u"Невозможно сохранить файл."), platform::MB_OK);
    Refresh();
}

// Properties.

CPageRouteProperties::CPageRouteProperties()
    : CPropertyPage(IDD_PAGE_ROUTE_PROPERTIES)
{
}

void CPageRouteProperties::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    AddLabel(*this, IDC_ROUTE_CORRIDOR_LABEL, this, column);
    QHBoxLayout* corridor = AddRow(column);
    Add<QComboBox>(*this, IDC_ROUTE_CORRIDOR, this, corridor, 1);
    corridor->addWidget(AddControl<QLabel>(IDC_ROUTE_CORRIDOR_UNIT, this));
    AddLabel(*this, IDC_ROUTE_POINTS_LABEL, this, column);
    AddSliderWithEnds(*this, IDC_ROUTE_POINTS, IDC_ROUTE_POINTS_LESS, IDC_ROUTE_POINTS_MORE, this, column);
    Add<CWrapCheckBox>(*this, IDC_ROUTE_FORKS_ONLY, this, column);
    column->addStretch(1);
}

bool CPageRouteProperties::OnInitDialog()
{
    SetDlgItemText(IDC_ROUTE_POINTS_LESS, Bilingual(u"Less", u"Меньше"));
    SetDlgItemText(IDC_ROUTE_POINTS_MORE, Bilingual(u"More", u"Больше"));
    SetDlgItemText(IDC_ROUTE_POINTS_LABEL, Bilingual(u"Main route points", u"Количество точек маршрута"));
    SetDlgItemText(IDC_ROUTE_CORRIDOR_LABEL, Bilingual(u"Route passage width", u"Ширина коридора маршрута"));
    SetDlgItemText(IDC_ROUTE_CORRIDOR_UNIT, Bilingual(u"m", u"м"));
    SetDlgItemText(IDC_ROUTE_FORKS_ONLY, Bilingual(u"Forks only", u"Только развилки"));
    int forksOnly = 0;
    {
        platform::CSLock lock(Routes().GetRoute().GetPointLock());
        forksOnly = Routes().GetGuide().GetForksOnly();
    }
    CheckDlgButton(IDC_ROUTE_FORKS_ONLY, forksOnly != 0);
    return true;
}

bool CPageRouteProperties::OnSetActive()
{
    auto* points = GetDlgItemAs<QSlider>(IDC_ROUTE_POINTS);
    points->setRange(0, 100);
    points->setValue(100 - int(Routes().GetGuide().GetSensitivity() * 100.0));
    FillChoices(*this, IDC_ROUTE_CORRIDOR, RouteCorridorWidths(), int32_t(Routes().GetCorridorWidth() + 0.5));
    return CPropertyPage::OnSetActive();
}

bool CPageRouteProperties::OnCommand(int id, int code)
{
    if (code == CBN_SELCHANGE && id == IDC_ROUTE_CORRIDOR) {
        if (const auto metres = Chosen(*this, IDC_ROUTE_CORRIDOR, RouteCorridorWidths()))
            Routes().SetCorridorWidth(double(*metres));
        return true;
    }
    if (code == BN_CLICKED && id == IDC_ROUTE_FORKS_ONLY) {
        Routes().SetOptionAndInvalidate(IsDlgButtonChecked(IDC_ROUTE_FORKS_ONLY) ? 1 : 0);
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageRouteProperties::OnOK()
{
    const double level = (100 - GetDlgItemAs<QSlider>(IDC_ROUTE_POINTS)->value()) * 0.01;
    CRouteGuide& guide = Routes().GetGuide();
    if (level != guide.GetSensitivity()) {
        guide.SetSensitivity(level);
        Routes().RebuildGuidance();
    }
    CPropertyPage::OnOK();
}
