#include "search/page_search_address.h"

#include "foundation/dialog_templates.h"
#include "foundation/input_panel.h"
#include "foundation/language.h"
#include "foundation/scale_list.h"
#include "foundation/system_applets.h"
#include "kernel/api/map_query.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"
#include "platform/message_box.h"
#include "search/address_searcher.h"
#include "search/page_wp.h"
#include "search/search_lists.h"
#include "search/waypoint.h"
#include "search/waypoint_dialog_parts.h"
#include "search/waypoint_edit_dlg.h"
#include "ui/dialog_style.h"
#include "ui/property_sheet_full_screen.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// The street text of the last real edit, for the whole run: a change
// notification that leaves the text as it was searches nothing.
QString g_rememberedStreet;

bool English() { return g_language == LANGUAGE_ENGLISH; }

QString StreetPrompt()
{
    return English() ? QStringLiteral("Object name (street):") : QStringLiteral("Название объекта (улица):");
}

QString HousePrompt() { return English() ? QStringLiteral("Building No:") : QStringLiteral("Номер дома:"); }

CAddressSearcher* Searcher() { return g_MapController ? &g_MapController->GetAddressSearcher() : nullptr; }

} // namespace

CPageSearchAddress::CPageSearchAddress()
    : CColorPropertyPage(GetOrientedDialogId(IDD_PAGE_SEARCH_ADDRESS))
{
}

void CPageSearchAddress::CreateControls()
{
    // The two fields with their lists; beside them (landscape) or below them
    // (portrait) the commands.
    const bool landscape = IsLandscapeLayout();
    auto* outer = landscape ? static_cast<QBoxLayout*>(new QHBoxLayout(this)) : new QVBoxLayout(this);
    outer->setContentsMargins(DialogMargin(), DialogMargin(), DialogMargin(), DialogMargin());
    outer->setSpacing(DialogSpacing());
    auto* lists = new QVBoxLayout;
    lists->setSpacing(DialogSpacing());
    outer->addLayout(lists, landscape ? 3 : 1);
    const QFont font = DialogFont(10);
    auto label = [&](int id) {
        auto* l = AddControl<QLabel>(id, this);
        l->setFont(font);
        lists->addWidget(l);
    };
    auto button = [&](int id, QWidget* parent) {
        auto* b = AddControl<QPushButton>(id, parent);
        StyleTouchControl(b);
        b->setFont(font);
        b->setMinimumWidth(1);
        return b;
    };
    // In portrait a field shares its row with a button: Search beside the
    // street, Full screen beside the house, so that the lists keep their rows.
    auto field = [&](int id, int besideId) {
        auto* e = AddControl<QLineEdit>(id, this);
        StyleTouchControl(e);
        if (landscape) {
            lists->addWidget(e);
            return;
        }
        auto* row = new QHBoxLayout;
        row->setSpacing(DialogSpacing());
        row->addWidget(e, 3);
        row->addWidget(button(besideId, this), 2);
        lists->addLayout(row);
    };
    auto list = [&](int id, int stretch) {
        auto* l = AddControl<QListWidget>(id, this);
        l->setFont(font);
        l->setMinimumHeight(TouchHeight() * (landscape ? 2 : 1));
        // The room left is shared by the stretch factors alone.
        l->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
        lists->addWidget(l, stretch);
    };
    label(IDC_ADDR_STREET_LABEL);
    field(IDC_ADDR_STREET_TEXT, IDC_ADDR_SEARCH);
    list(IDC_ADDR_STREET_LIST, 1);
    label(IDC_ADDR_HOUSE_LABEL);
    field(IDC_ADDR_HOUSE_TEXT, IDC_ADDR_FULL_SCREEN);
    // A street has many houses: their list gets the more room.
    list(IDC_ADDR_HOUSE_LIST, landscape ? 1 : 3);

    auto* commands = new QVBoxLayout;
    commands->setSpacing(DialogSpacing());
    outer->addLayout(commands, landscape ? 2 : 0);
    QVBoxLayout* formRows = AddScrollingForm(this, commands, 1);
    QWidget* form = formRows->parentWidget();
    auto* grid = new QGridLayout;
    grid->setSpacing(DialogSpacing());
    formRows->addLayout(grid);
    const int columns = landscape ? 1 : 2;
    int cell = 0;
    auto place = [&](QWidget* w) {
        grid->addWidget(w, cell / columns, cell % columns);
        ++cell;
    };
    if (landscape) {
        place(button(IDC_ADDR_SEARCH, form));
        place(button(IDC_ADDR_FULL_SCREEN, form));
    }
    place(button(IDC_ADDR_SHOW, form));
    place(button(IDC_ADDR_ROUTE_POINT, form));
    auto* station = AddControl<QComboBox>(IDC_ADDR_STATION, form);
    StyleTouchControl(station);
    station->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    station->setMinimumContentsLength(4);
    place(station);
    place(button(IDC_ADDR_ADD_WAYPOINT, form));
    place(button(IDC_ADDR_CONTACTS, form));
    place(button(IDC_ADDR_FILTER, form));
    place(button(IDC_ADDR_MEMORY, form));
    SetDlgItemText(IDC_ADDR_MEMORY, QStringLiteral("Memory"));
    if (landscape) {
        commands->addWidget(button(platform::IDOK, this));
    } else {
        // Below the lists one row of commands shows, what is done with the
        // object chosen, and the rest scroll into view: the lists keep their
        // rows on a small screen.
        place(button(platform::IDOK, form));
        for (QWidget* w = form; w != nullptr && w != this; w = w->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(w))
                area->setFixedHeight(TouchHeight() + DialogSpacing());
    }
}

bool CPageSearchAddress::OnInitDialog()
{
    CColorPropertyPage::OnInitDialog();
    if (CAddressSearcher* searcher = Searcher())
        searcher->GetLastInput(m_street, m_house);
    // Writing the texts notifies their changes; the street stage runs once, below.
    g_rememberedStreet = m_street;
    SetDlgItemText(IDC_ADDR_STREET_TEXT, m_street);
    SetDlgItemText(IDC_ADDR_HOUSE_TEXT, m_house);
    EnableDlgItem(IDC_ADDR_SEARCH, false);
    EnableResultButtons(false);
    RefreshStreetStage();
    return true;
}

bool CPageSearchAddress::OnSetActive()
{
    const bool english = English();
    SetDlgItemText(IDC_ADDR_STREET_LABEL, StreetPrompt());
    SetDlgItemText(IDC_ADDR_HOUSE_LABEL, HousePrompt());
    SetDlgItemText(
        IDC_ADDR_FULL_SCREEN, english ? QStringLiteral("Full screen") : QStringLiteral("Весь экран"));
    SetDlgItemText(IDC_ADDR_SEARCH, english ? QStringLiteral("Search") : QStringLiteral("Поиск"));
    SetDlgItemText(
        IDC_ADDR_SHOW, english ? QStringLiteral("Show the object->") : QStringLiteral("Показать объект->"));
    SetDlgItemText(
        IDC_ADDR_ROUTE_POINT, english ? QStringLiteral("As route point") : QStringLiteral("Точка маршрута"));
    SetDlgItemText(IDC_ADDR_FILTER, english ? QStringLiteral("Filter...") : QStringLiteral("Фильтр..."));
    SetDlgItemText(platform::IDOK, english ? QStringLiteral("Close") : QStringLiteral("Закрыть"));
    SetDlgItemText(IDC_ADDR_CONTACTS,
        english ? QStringLiteral("Show \"Contacts\"...") : QStringLiteral("Показать \"Контакты\"..."));
    SetDlgItemText(
        IDC_ADDR_ADD_WAYPOINT, english ? QStringLiteral("Add waypoint...") : QStringLiteral("Закладка..."));
    EnableDlgItem(IDC_ADDR_FULL_SCREEN, false);
    FillRouteStationCombo(GetDlgItemAs<QComboBox>(IDC_ADDR_STATION));
    return CColorPropertyPage::OnSetActive();
}

bool CPageSearchAddress::OnKillActive()
{
    EnsureFullScreen();
    return CColorPropertyPage::OnKillActive();
}

void CPageSearchAddress::OnOK()
{
    EnsureFullScreen();
    m_street = GetDlgItemText(IDC_ADDR_STREET_TEXT);
    m_house = GetDlgItemText(IDC_ADDR_HOUSE_TEXT);
    if (CAddressSearcher* searcher = Searcher())
        searcher->SetLastInput(m_street, m_house);
    CColorPropertyPage::OnOK();
}

void CPageSearchAddress::Close()
{
    // The sheet's OK: every page keeps what it has, and the sheet closes.
    if (CPropertySheet* sheet = GetSheet())
        sheet->OnOK();
    else
        OnOK();
}

bool CPageSearchAddress::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_ADDR_STREET_TEXT:
    case IDC_ADDR_HOUSE_TEXT: {
        const bool street = id == IDC_ADDR_STREET_TEXT;
        if (code == EN_CHANGE) {
            if (street)
                OnStreetChanged();
            else
                RunHouseStepForSelectedStreet();
        } else if (code == EN_SETFOCUS) {
            // Typing: the sheet makes room for the soft keyboard.
            SetFullScreen(false);
            ShowInputPanel(true);
            SetDlgItemText(street ? IDC_ADDR_STREET_LABEL : IDC_ADDR_HOUSE_LABEL,
                street ? StreetPrompt() : HousePrompt());
            EnableDlgItem(IDC_ADDR_FULL_SCREEN, true);
        }
        return true;
    }
    case IDC_ADDR_STREET_LIST:
        if (code == LBN_SELCHANGE) {
            if (GetCurSel(IDC_ADDR_STREET_LIST) < 0)
                return true;
            ShowInputPanel(false);
            EnableResultButtons(true);
            RunHouseStepForSelectedStreet();
        } else if (code == LBN_DBLCLK) {
            OnShowObject();
        } else if (code == LBN_SETFOCUS) {
            ShowObjectCountText(
                GetDlgItemAs<QListWidget>(IDC_ADDR_STREET_LIST)->count(), GetDlgItem(IDC_ADDR_STREET_LABEL));
            EnsureFullScreen();
            EnableDlgItem(IDC_ADDR_FULL_SCREEN, false);
        }
        return true;
    case IDC_ADDR_HOUSE_LIST:
        if (code == LBN_SELCHANGE) {
            if (GetCurSel(IDC_ADDR_HOUSE_LIST) < 0)
                return true;
            ShowInputPanel(false);
            EnableResultButtons(true);
        } else if (code == LBN_DBLCLK) {
            OnShowObject();
        } else if (code == LBN_SETFOCUS) {
            EnsureFullScreen();
            EnableDlgItem(IDC_ADDR_FULL_SCREEN, false);
        }
        return true;
    case IDC_ADDR_FULL_SCREEN:
        EnsureFullScreen();
        EnableDlgItem(IDC_ADDR_FULL_SCREEN, false);
        return true;
    case IDC_ADDR_SEARCH:
        OnSearch();
        return true;
    case IDC_ADDR_SHOW:
        OnShowObject();
        return true;
    case IDC_ADDR_ROUTE_POINT:
        OnRoutePoint();
        return true;
    case IDC_ADDR_ADD_WAYPOINT:
        OnAddWaypoint();
        return true;
    case IDC_ADDR_CONTACTS:
        SetFullScreen(false);
        OpenAddressBook();
        return true;
    case IDC_ADDR_MEMORY:
        OpenControlPanelApplet();
        return true;
    case platform::IDOK:
        Close();
        return true;
    default:
        return CColorPropertyPage::OnCommand(id, code);
    }
}

void CPageSearchAddress::OnStreetChanged()
{
    m_street = GetDlgItemText(IDC_ADDR_STREET_TEXT);
    m_house = GetDlgItemText(IDC_ADDR_HOUSE_TEXT);
    if (m_street == g_rememberedStreet)
        return;
    EnableResultButtons(false);
    g_rememberedStreet = m_street;
    RefreshStreetStage();
}

void CPageSearchAddress::RefreshStreetStage()
{
    m_street = GetDlgItemText(IDC_ADDR_STREET_TEXT);
    m_house = GetDlgItemText(IDC_ADDR_HOUSE_TEXT);
    EnableDlgItem(IDC_ADDR_SEARCH, !m_street.isEmpty());
    GetDlgItemAs<QListWidget>(IDC_ADDR_HOUSE_LIST)->clear();
    GetDlgItemAs<QListWidget>(IDC_ADDR_STREET_LIST)->clear();
    // Fewer than three characters would list most of the map.
    if (m_street.size() < 3 || (m_street.size() == 3 && m_street.startsWith(QLatin1Char('*')))) {
        SetDlgItemText(IDC_ADDR_STREET_LABEL, StreetPrompt());
        return;
    }
    RunNameStage(m_street);
}

void CPageSearchAddress::RunNameStage(const QString& street)
{
    CAddressSearcher* searcher = Searcher();
    if (street.isEmpty() || searcher == nullptr)
        return;
    CNameQuery query;
    query.pattern = street;
    searcher->FindNames(query);
    auto* list = GetDlgItemAs<QListWidget>(IDC_ADDR_STREET_LIST);
    list->hide();
    for (const CNameEntry& name : searcher->GetNameList())
        list->addItem(name.text);
    list->show();
    SetDlgItemText(IDC_ADDR_HOUSE_LABEL, HousePrompt());
    ShowObjectCountText(list->count(), GetDlgItem(IDC_ADDR_STREET_LABEL));
}

void CPageSearchAddress::RunHouseStepForSelectedStreet()
{
    m_street = GetDlgItemText(IDC_ADDR_STREET_TEXT);
    m_house = GetDlgItemText(IDC_ADDR_HOUSE_TEXT);
    const int selected = GetCurSel(IDC_ADDR_STREET_LIST);
    CAddressSearcher* searcher = Searcher();
    if (selected < 0 || searcher == nullptr || selected >= static_cast<int>(searcher->GetNameList().size()))
        return;
    // The whole name of the chosen street, blanks and all: only its first
    // word would match every street that begins with it.
    const QString street = searcher->GetNameList()[static_cast<size_t>(selected)].name;
    RunHouseSearch(street, m_house.isEmpty() ? QStringLiteral("*") : m_house);
}

void CPageSearchAddress::RunHouseSearch(const QString& street, const QString& house)
{
    CAddressSearcher* searcher = Searcher();
    if (street.isEmpty() || house.isEmpty() || searcher == nullptr)
        return;
    auto* label = GetDlgItem(IDC_ADDR_HOUSE_LABEL);
    SetDlgItemText(IDC_ADDR_HOUSE_LABEL,
        English() ? QStringLiteral("Wait please ...") : QStringLiteral("Пожалуйста, ждите..."));
    label->repaint();
    auto* list = GetDlgItemAs<QListWidget>(IDC_ADDR_HOUSE_LIST);
    list->clear();
    CHouseQuery query;
    query.streetPattern = street;
    query.housePattern = house;
    query.selectedIndex = GetCurSel(IDC_ADDR_STREET_LIST);
    searcher->FindHouses(query);
    list->hide();
    for (const CHouseEntry& entry : searcher->GetHouseList())
        AddFoundLine(list, entry.streetText, entry.houseText, entry.objectId);
    list->show();
    ShowHouseCountText(list->count(), label, GetDlgItemText(IDC_ADDR_HOUSE_TEXT).isEmpty());
    list->repaint();
    label->repaint();
}

void CPageSearchAddress::OnSearch()
{
    EnsureFullScreen();
    m_street = GetDlgItemText(IDC_ADDR_STREET_TEXT);
    m_house = GetDlgItemText(IDC_ADDR_HOUSE_TEXT);
    EnableResultButtons(false);
    if (!m_house.isEmpty()) {
        SetCurSel(IDC_ADDR_STREET_LIST, -1);
        RunHouseSearch(m_street, m_house);
        return;
    }
    GetDlgItemAs<QListWidget>(IDC_ADDR_HOUSE_LIST)->clear();
    GetDlgItemAs<QListWidget>(IDC_ADDR_STREET_LIST)->clear();
    RunNameStage(m_street);
}

std::optional<int32_t> CPageSearchAddress::ChosenObject() const
{
    auto* houses = GetDlgItemAs<QListWidget>(IDC_ADDR_HOUSE_LIST);
    if (QListWidgetItem* house = houses->currentItem(); house != nullptr && house->isSelected())
        return house->data(Qt::UserRole).toInt();
    const int street = GetCurSel(IDC_ADDR_STREET_LIST);
    CAddressSearcher* searcher = Searcher();
    if (street >= 0 && searcher != nullptr && street < static_cast<int>(searcher->GetNameList().size()))
        return searcher->GetNameList()[static_cast<size_t>(street)].objectId;
    return std::nullopt;
}

std::optional<ZXS_Point> CPageSearchAddress::ChosenPoint() const
{
    const std::optional<int32_t> object = ChosenObject();
    return object ? ObjectMiddle(*object) : std::nullopt;
}

void CPageSearchAddress::OnShowObject()
{
    const std::optional<int32_t> object = ChosenObject();
    const std::optional<ZXS_Point> point = ChosenPoint();
    if (!point)
        return;
    CMapController& controller = *g_MapController;
    if (controller.ConfirmShowObject() == 0)
        return;
    controller.SetCentre(point->x, point->y);
    controller.SetHighlightedObject(*object);
    const int32_t defaultScale = GetDefaultMapScale();
    if (static_cast<uint32_t>(controller.GetScale()) < static_cast<uint32_t>(defaultScale))
        controller.SetScale(defaultScale);
    controller.SetRedrawFlag(1);
    Close();
}

void CPageSearchAddress::OnRoutePoint()
{
    const std::optional<ZXS_Point> point = ChosenPoint();
    if (!point)
        return;
    CMapController& controller = *g_MapController;
    auto* station = GetDlgItemAs<QComboBox>(IDC_ADDR_STATION);
    const int slot = station->currentIndex() >= 0 ? (station->currentData().toInt() & 0xFF) : 3;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int32_t code = controller.GetRouteManager().SetPointAndRecalculate({ point->x, point->y }, slot);
    controller.SetCentre(point->x, point->y);
    controller.SetRedrawFlag(1);
    QApplication::restoreOverrideCursor();
    controller.ReportRouteResult(code);
    if (controller.GetRouteManager().HasRoute())
        Close();
    else
        FillRouteStationCombo(station);
}

void CPageSearchAddress::OnAddWaypoint()
{
    const std::optional<ZXS_Point> point = ChosenPoint();
    if (!point || !g_waypoints)
        return;
    CGeoPos position;
    if (!g_MapController->MapPointToGeoPos(*point, position))
        return;
    SetFullScreen(false);
    CWaypointEditDlg dialog(nullptr, &position, this);
    if (dialog.DoModal() == platform::IDOK) {
        if (g_waypoints->Add(dialog.m_waypoint) < 0)
            ShowWaypointRefused(this);
        else if (CPropertySheet* sheet = GetSheet())
            if (auto* waypoints = dynamic_cast<CPageWP*>(sheet->GetPage(0));
                waypoints && waypoints->IsCreated())
                waypoints->FillList();
    }
    EnsureFullScreen();
}

void CPageSearchAddress::EnableResultButtons(bool enable)
{
    for (int id : { IDC_ADDR_SHOW, IDC_ADDR_ROUTE_POINT, IDC_ADDR_ADD_WAYPOINT })
        EnableDlgItem(id, enable);
}

void CPageSearchAddress::SetFullScreen(bool on)
{
    if (auto* sheet = dynamic_cast<CPropertySheetFullScreen*>(GetSheet())) {
        if (on)
            sheet->FullScreenOn();
        else
            sheet->FullScreenOff();
    }
}

void CPageSearchAddress::EnsureFullScreen()
{
    if (auto* sheet = dynamic_cast<CPropertySheetFullScreen*>(GetSheet()))
        sheet->EnsureFullScreen();
}
