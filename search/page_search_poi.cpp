#include "search/page_search_poi.h"

#include "foundation/dialog_templates.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "foundation/system_applets.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"
#include "platform/message_box.h"
#include "search/distance_steps.h"
#include "search/poi_query.h"
#include "search/search_lists.h"
#include "search/sheet_search.h"
#include "search/waypoint.h"
#include "search/waypoint_dialog_parts.h"
#include "ui/dialog_style.h"
#include "ui/property_sheet_full_screen.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int32_t kUnset = 0x8000000;
// Entries of the distance table a square side and a corridor width are chosen from.
constexpr size_t kFirstSquareStep = 9;
constexpr size_t kFirstCorridorStep = 18;
constexpr size_t kLastStep = 62;
// The item data of "no place selected".
constexpr int32_t kNoPlace = 1000;

CPoiQuery* Query() { return g_MapController ? &g_MapController->GetPoiSearcher() : nullptr; }

QString WaitText() { return Bilingual(u"Wait please ...", u"Пожалуйста, ждите..."); }

} // namespace

bool IsCorridorKind(int32_t kind)
{
    return kind == CPoiQuery::KIND_ROUTE_PART || kind == CPoiQuery::KIND_ALONG_ROUTE;
}

void FillPoiSizeCombo(QComboBox* combo, bool corridor, int32_t wanted)
{
    combo->clear();
    int select = -1;
    for (size_t i = corridor ? kFirstCorridorStep : kFirstSquareStep; i <= kLastStep; ++i) {
        const int value = g_distanceSteps[i];
        combo->addItem(QString::number(value), value);
        if (select < 0 && static_cast<uint32_t>(value) >= static_cast<uint32_t>(wanted))
            select = combo->count() - 1;
    }
    combo->setCurrentIndex(select >= 0 ? select : combo->count() - 1);
}

void InsertPoiResultSorted(const CPoiQuery& query, QTreeWidget* list, const SortState& sort, int index)
{
    int row = list->topLevelItemCount();
    if (sort.column >= 0 && sort.state != 0) {
        row = 0;
        for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
            int order = query.CompareResults(RowData(list->topLevelItem(i)), index, sort.column);
            if (sort.state == 2)
                order = -order;
            if (order <= 0) {
                row = i + 1;
                break;
            }
        }
    }
    query.InsertResultAt(row, index, list);
}

CListSorter::Compare PoiResultComparison()
{
    return [](int a, int b, int column) {
        const CPoiQuery* query = Query();
        return query != nullptr ? query->CompareResults(a, b, column) : 0;
    };
}

CPageSearchPOI::CPageSearchPOI()
    : CColorPropertyPage(GetOrientedDialogId(IDD_PAGE_SEARCH_POI))
{
}

CPageSearchPOI::~CPageSearchPOI()
{
    // No notice of a search of this page may arrive once the page is gone.
    if (m_state == STATE_RUNNING || m_state == STATE_PAUSED)
        if (CPoiQuery* query = Query())
            query->Stop(true);
}

QTreeWidget* CPageSearchPOI::GetList() const { return GetDlgItemAs<QTreeWidget>(IDC_POI_LIST); }

void CPageSearchPOI::CreateControls()
{
    // Portrait: the question on top, the results below it and what to do with
    // the one chosen at the bottom. Landscape: the results with what to do on
    // the left, the question (scrolling when it needs to) on the right.
    const bool landscape = IsLandscapeLayout();
    auto* outer = landscape ? static_cast<QBoxLayout*>(new QHBoxLayout(this)) : new QVBoxLayout(this);
    outer->setContentsMargins(DialogMargin(), DialogMargin() / 2, DialogMargin(), DialogMargin() / 2);
    outer->setSpacing(DialogSpacing());
    const QFont font = DialogFont(10);
    auto label = [&](int id, QWidget* parent) {
        auto* l = AddControl<QLabel>(id, parent);
        l->setFont(font);
        return l;
    };
    auto combo = [&](int id, QWidget* parent) {
        auto* c = AddControl<QComboBox>(id, parent);
        StyleTouchControl(c);
        c->setFont(font);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(3);
        c->setMaxVisibleItems(8);
        return c;
    };
    auto button = [&](int id, QWidget* parent) {
        auto* b = AddControl<QPushButton>(id, parent);
        StyleTouchControl(b);
        b->setFont(font);
        b->setMinimumWidth(1);
        return b;
    };
    auto row = [&](QBoxLayout* into) {
        auto* r = new QHBoxLayout;
        r->setSpacing(DialogSpacing());
        into->addLayout(r);
        return r;
    };

    // The question: where (the place, and in landscape the area's size) and
    // what (the type, in portrait beside the size). Portrait keeps it to two
    // rows so that the list keeps its rows.
    QVBoxLayout* question = nullptr;
    QWidget* questionParent = this;
    auto* results = new QVBoxLayout;
    results->setSpacing(DialogSpacing() / 2);
    auto* station = combo(IDC_POI_STATION, this);
    station->setMinimumContentsLength(5);
    if (landscape) {
        outer->addLayout(results, 3);
        auto* side = new QVBoxLayout;
        side->setSpacing(DialogSpacing());
        outer->addLayout(side, 2);
        question = AddScrollingForm(this, side, 1);
        questionParent = question->parentWidget();
        side->addWidget(button(IDC_POI_SHOW, this));
        side->addWidget(button(IDC_POI_ROUTE_POINT, this));
        QHBoxLayout* last = row(side);
        last->addWidget(station, 1);
        last->addWidget(button(platform::IDOK, this), 1);
    } else {
        question = new QVBoxLayout;
        question->setSpacing(DialogSpacing() / 2);
        outer->addLayout(question);
        outer->addLayout(results, 1);
        outer->setSpacing(DialogSpacing() / 2);
    }
    auto group = [&](int id) {
        auto* g = AddControl<QGroupBox>(id, questionParent);
        g->setFont(font);
        g->setFlat(true);
        auto* grid = new QGridLayout(g);
        grid->setContentsMargins(DialogSpacing() / 2, 0, DialogSpacing() / 2, 0);
        grid->setHorizontalSpacing(DialogSpacing());
        grid->setVerticalSpacing(DialogSpacing() / 2);
        question->addWidget(g);
        return std::pair { g, grid };
    };
    auto [where, whereGrid] = group(IDC_POI_WHERE);
    auto [what, whatGrid] = group(IDC_POI_WHAT);
    if (landscape) {
        // A narrow column: each label above its field.
        whereGrid->addWidget(label(IDC_POI_CENTRE_LABEL, where), 0, 0, 1, 2);
        whereGrid->addWidget(combo(IDC_POI_PLACE, where), 1, 0, 1, 2);
        whereGrid->addWidget(label(IDC_POI_SIDE_LABEL, where), 2, 0, 1, 2);
        whereGrid->addWidget(combo(IDC_POI_SIZE, where), 3, 0);
        whereGrid->addWidget(label(IDC_POI_UNIT_LABEL, where), 3, 1);
        whereGrid->setColumnStretch(0, 1);
        whatGrid->addWidget(label(IDC_POI_TYPE_LABEL, what), 0, 0);
        whatGrid->addWidget(combo(IDC_POI_TYPE, what), 1, 0);
    } else {
        whereGrid->addWidget(label(IDC_POI_CENTRE_LABEL, where), 0, 0);
        whereGrid->addWidget(combo(IDC_POI_PLACE, where), 0, 1);
        whereGrid->setColumnStretch(1, 1);
        whatGrid->addWidget(label(IDC_POI_SIDE_LABEL, what), 0, 0);
        auto* size = combo(IDC_POI_SIZE, what);
        size->setMinimumContentsLength(4);
        whatGrid->addWidget(size, 0, 1);
        whatGrid->addWidget(label(IDC_POI_UNIT_LABEL, what), 0, 2);
        whatGrid->addWidget(label(IDC_POI_TYPE_LABEL, what), 0, 3);
        whatGrid->addWidget(combo(IDC_POI_TYPE, what), 0, 4);
        whatGrid->setColumnStretch(4, 1);
    }

    // The search and its pause; in portrait with the route point's place and Close.
    QHBoxLayout* run = row(landscape ? question : results);
    run->addWidget(button(IDC_POI_SEARCH, questionParent), 1);
    run->addWidget(button(IDC_POI_STOP, questionParent), 1);
    if (landscape) {
        question->addWidget(button(IDC_POI_MEMORY, questionParent));
        question->addStretch(1);
    } else {
        run->addWidget(station, 1);
        run->addWidget(button(platform::IDOK, this), 1);
        // No room for the memory settings in portrait: the address page has them.
        button(IDC_POI_MEMORY, this)->hide();
    }
    SetDlgItemText(IDC_POI_MEMORY, QStringLiteral("Memory"));

    // The results, and what to do with the one chosen.
    auto* count = label(IDC_POI_COUNT, this);
    count->setWordWrap(true);
    results->addWidget(count);
    auto* list = AddControl<QTreeWidget>(IDC_POI_LIST, this);
    list->setFont(font);
    list->setMinimumHeight(TouchHeight() * 2);
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    results->addWidget(list, 1);
    if (!landscape) {
        QHBoxLayout* actions = row(results);
        actions->addWidget(button(IDC_POI_SHOW, this), 1);
        actions->addWidget(button(IDC_POI_ROUTE_POINT, this), 1);
    }

    QObject::connect(list, &QTreeWidget::currentItemChanged, this, [this] { OnItemChanged(); });
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_chosen != -1)
            OnShowObject();
    });
    QObject::connect(list->header(), &QHeaderView::sectionClicked, this,
        [this](int column) { m_sorter.OnColumnClick(column); });
}

bool CPageSearchPOI::OnInitDialog()
{
    CColorPropertyPage::OnInitDialog();
    QTreeWidget* list = GetList();
    SetupObjectList(list, m_rowImages);
    if (CPoiQuery* query = Query())
        query->FillResultList(list);
    EnableResultButtons(false);
    m_firstActivation = true;
    auto* types = GetDlgItemAs<QComboBox>(IDC_POI_TYPE);
    types->clear();
    if (CPoiQuery* query = Query())
        types->addItems(query->GetCategoryNames());
    types->setCurrentIndex(std::max(0, types->findText(QStringLiteral("Все"))));
    m_sortPictures = CImageList(GetIconSizeForResolution() == 32 ? 32 : 16);
    m_sorter.Create(list, &g_poiSort, &m_sortPictures, PoiResultComparison());
    m_sorter.Reapply();
    return true;
}

void CPageSearchPOI::SetTexts()
{
    SetDlgItemText(IDC_POI_UNIT_LABEL, Bilingual(u"m", u"м"));
    SetDlgItemText(IDC_POI_CENTRE_LABEL, Bilingual(u"Centre", u"Центр"));
    SetDlgItemText(IDC_POI_WHERE, Bilingual(u"Where to search?", u"Где ищем?"));
    SetDlgItemText(IDC_POI_WHAT, Bilingual(u"What to search?(Filter)", u"Что ищем?(Фильтр)"));
    SetDlgItemText(IDC_POI_TYPE_LABEL, Bilingual(u"Type", u"Тип"));
    SetDlgItemText(IDC_POI_SEARCH, Bilingual(u"Search", u"Поиск"));
    SetDlgItemText(IDC_POI_SHOW, Bilingual(u"Show the object->", u"Показать объект->"));
    SetDlgItemText(IDC_POI_ROUTE_POINT, Bilingual(u"As route point", u"Точка маршрута"));
    SetDlgItemText(platform::IDOK, Bilingual(u"Close", u"Закрыть"));
    SetDlgItemText(
        IDC_POI_STOP, m_state == STATE_PAUSED ? Bilingual(u"Next", u"Далее") : Bilingual(u"Stop", u"Стоп"));
}

void CPageSearchPOI::SetSideLabel(int32_t kind)
{
    SetDlgItemText(IDC_POI_SIDE_LABEL,
        IsCorridorKind(kind) ? Bilingual(u"Passage", u"Коридор") : Bilingual(u"Side", u"Сторона"));
}

void CPageSearchPOI::SetSearchState(int32_t state)
{
    if (state == m_state)
        return;
    m_state = state;
    switch (state) {
    case STATE_PAUSED:
        SetDlgItemText(IDC_POI_STOP, Bilingual(u"Next", u"Далее"));
        EnableDlgItem(IDC_POI_STOP, true);
        break;
    case STATE_IDLE:
        SetDlgItemText(IDC_POI_STOP, Bilingual(u"Stop", u"Стоп"));
        EnableDlgItem(IDC_POI_STOP, false);
        if (CPoiQuery* query = Query())
            ShowObjectCountText(query->GetSearchResultCount(), GetDlgItem(IDC_POI_COUNT));
        EnableDlgItem(IDC_POI_SEARCH, true);
        break;
    case STATE_RUNNING:
        SetDlgItemText(IDC_POI_STOP, Bilingual(u"Stop", u"Стоп"));
        EnableDlgItem(IDC_POI_STOP, true);
        break;
    default:
        break;
    }
}

int32_t CPageSearchPOI::SelectedKind() const
{
    auto* places = GetDlgItemAs<QComboBox>(IDC_POI_PLACE);
    return places->currentIndex() >= 0 ? places->currentData().toInt() : kNoPlace;
}

bool CPageSearchPOI::OnSetActive()
{
    CPoiQuery* query = Query();
    if (query != nullptr)
        query->Stop(true);
    SetSearchState(STATE_IDLE);
    SetTexts();
    FillRouteStationCombo(GetDlgItemAs<QComboBox>(IDC_POI_STATION));

    // The places on offer.
    auto* places = GetDlgItemAs<QComboBox>(IDC_POI_PLACE);
    places->clear();
    auto* sheet = dynamic_cast<CSheetSearch*>(GetSheet());
    int32_t preset = -1;
    ZXS_Point pointed { -1, -1 };
    if (sheet != nullptr)
        sheet->GetPointedPosition(preset, pointed);
    const bool hasPointed = sheet != nullptr && sheet->HasPointedPosition();
    places->addItem(Bilingual(u"Screen centre", u"Центр экрана"), int(CPoiQuery::KIND_CENTRE));
    places->addItem(Bilingual(u"Current position", u"Текущая позиция"), int(CPoiQuery::KIND_GPS));
    places->addItem(Bilingual(u"All screen", u"Весь экран"), int(CPoiQuery::KIND_SCREEN));
    if (hasPointed)
        places->addItem(Bilingual(u"Pointed position", u"Указанная позиция"), int(CPoiQuery::KIND_POINT));
    if (g_MapController && g_MapController->GetRouteManager().HasRoute() != 0) {
        places->addItem(Bilingual(u"Along route", u"Вдоль маршрута"), int(CPoiQuery::KIND_ALONG_ROUTE));
        if (g_MapController->GetRouteManager().IsOnRoute() != 0)
            places->addItem(Bilingual(u"Route part", u"Часть маршрута"), int(CPoiQuery::KIND_ROUTE_PART));
    }
    const int waypointCount = g_waypoints ? g_waypoints->GetWaypointCount() : 0;
    for (int j = 0; j < waypointCount; ++j)
        places->addItem(g_waypoints->GetAt(j)->m_name, -(j + 1));

    // The place and size of the last search, or what the opener pointed at.
    int32_t size = -1, kind = 0;
    CGeoPos position;
    if (query != nullptr)
        query->GetSearchArea(size, kind, position);
    if (hasPointed)
        kind = CPoiQuery::KIND_POINT;
    int select = -1;
    if (kind < 0) {
        for (int j = 0; j < waypointCount && select < 0; ++j) {
            const CGeoPos& at = g_waypoints->GetAt(j)->m_position;
            if (at.IsValid() && position.IsValid()
                && at.GetLongitude().GetRadians() == position.GetLongitude().GetRadians()
                && at.GetLatitude().GetRadians() == position.GetLatitude().GetRadians())
                select = places->findData(-(j + 1));
        }
        if (select < 0)
            kind = CPoiQuery::KIND_CENTRE;
    }
    if (select < 0)
        select = std::max(0, places->findData(kind));
    places->setCurrentIndex(select);
    FillPoiSizeCombo(GetDlgItemAs<QComboBox>(IDC_POI_SIZE), IsCorridorKind(SelectedKind()),
        preset != -1 ? preset : (size > 0 ? size : 40));

    if (query != nullptr)
        ShowObjectCountText(query->GetSearchResultCount(), GetDlgItem(IDC_POI_COUNT));
    if (m_firstActivation && preset != -1 && hasPointed)
        OnSearch();
    m_firstActivation = false;
    OnPlaceChanged();
    SetSideLabel(SelectedKind());
    return CColorPropertyPage::OnSetActive();
}

bool CPageSearchPOI::OnKillActive()
{
    m_state = STATE_INACTIVE;
    if (CPoiQuery* query = Query())
        query->Stop(false);
    SaveListColumns(g_poiColumns, GetList());
    return CColorPropertyPage::OnKillActive();
}

void CPageSearchPOI::OnOK()
{
    StoreRequest();
    if (auto* sheet = dynamic_cast<CPropertySheetFullScreen*>(GetSheet()))
        sheet->FullScreenOn();
    CColorPropertyPage::OnOK();
}

void CPageSearchPOI::OnCancel()
{
    if (CPoiQuery* query = Query())
        query->Stop(false);
    CColorPropertyPage::OnCancel();
}

void CPageSearchPOI::Close()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->OnOK();
    else
        OnOK();
}

platform::LRESULT CPageSearchPOI::OnMessage(
    uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    if (message == WM_POI_NOTICE) {
        OnNotice(wParam, lParam);
        return 1;
    }
    return CColorPropertyPage::OnMessage(message, wParam, lParam);
}

bool CPageSearchPOI::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_POI_SEARCH:
        OnSearch();
        return true;
    case IDC_POI_STOP:
        OnStopOrNext();
        return true;
    case IDC_POI_PLACE:
        if (code == CBN_SELCHANGE)
            OnPlaceChanged();
        return true;
    case IDC_POI_TYPE:
    case IDC_POI_SIZE:
        if (code == CBN_SELCHANGE)
            EnableDlgItem(IDC_POI_SEARCH, true);
        return true;
    case IDC_POI_SHOW:
        OnShowObject();
        return true;
    case IDC_POI_ROUTE_POINT:
        OnRoutePoint();
        return true;
    case IDC_POI_MEMORY:
        OpenControlPanelApplet();
        return true;
    case platform::IDOK:
        Close();
        return true;
    default:
        return CColorPropertyPage::OnCommand(id, code);
    }
}

void CPageSearchPOI::OnSearch()
{
    CPoiQuery* query = Query();
    if (query == nullptr)
        return;
    query->Stop(true);
    SetSearchState(STATE_IDLE);
    auto* places = GetDlgItemAs<QComboBox>(IDC_POI_PLACE);
    auto* sizes = GetDlgItemAs<QComboBox>(IDC_POI_SIZE);
    if (places->currentIndex() < 0 || sizes->currentIndex() < 0)
        return;
    const int32_t kind = places->currentData().toInt();
    const int32_t size = sizes->currentData().toInt();
    ZXS_Point at { kUnset, kUnset };
    if (kind == CPoiQuery::KIND_POINT)
        if (auto* sheet = dynamic_cast<CSheetSearch*>(GetSheet())) {
            int32_t preset = 0;
            sheet->GetPointedPosition(preset, at);
        }
    CPoiNotification notification;
    notification.mode = CPoiNotification::MODE_MESSAGES;
    notification.window = this;
    notification.message = WM_POI_NOTICE;
    notification.post = 1;
    const int started = StartPoiSearch(kind, size, at.x, at.y, GetList(),
        GetDlgItemAs<QComboBox>(IDC_POI_TYPE)->currentText(), &notification);
    if (started < 0)
        return;
    m_chosen = -1;
    EnableResultButtons(false);
    if (started == 0) {
        SetDlgItemText(IDC_POI_COUNT, WaitText());
        GetDlgItem(IDC_POI_COUNT)->repaint();
        EnableDlgItem(IDC_POI_SEARCH, false);
        SetSearchState(STATE_RUNNING);
    }
}

void CPageSearchPOI::OnStopOrNext()
{
    CPoiQuery* query = Query();
    if (query == nullptr || !query->IsRunning()) {
        SetSearchState(STATE_IDLE);
        return;
    }
    if (m_state == STATE_PAUSED) {
        query->Resume();
        SetSearchState(STATE_RUNNING);
    } else if (m_state == STATE_RUNNING) {
        query->Pause();
        SetSearchState(STATE_PAUSED);
    }
}

void CPageSearchPOI::OnNotice(platform::WPARAM kind, platform::LPARAM value)
{
    if (kind != CPoiQuery::NOTICE_RESULT) {
        SetSearchState(STATE_IDLE);
        return;
    }
    CPoiQuery* query = Query();
    if (query == nullptr)
        return;
    InsertPoiResultSorted(*query, GetList(), g_poiSort, static_cast<int>(value));
    ShowObjectCountText(query->GetSearchResultCount(), GetDlgItem(IDC_POI_COUNT));
}

void CPageSearchPOI::OnPlaceChanged()
{
    EnableDlgItem(IDC_POI_SEARCH, true);
    const int32_t kind = SelectedKind();
    if (kind != m_previousKind && IsCorridorKind(kind) != IsCorridorKind(m_previousKind)) {
        auto* sizes = GetDlgItemAs<QComboBox>(IDC_POI_SIZE);
        FillPoiSizeCombo(
            sizes, IsCorridorKind(kind), sizes->currentIndex() >= 0 ? sizes->currentData().toInt() : 0);
        SetSideLabel(kind);
    }
    m_previousKind = kind;
    EnableDlgItem(IDC_POI_SIZE, kind != kNoPlace && kind != CPoiQuery::KIND_SCREEN);
}

void CPageSearchPOI::OnItemChanged()
{
    QTreeWidgetItem* row = GetList()->currentItem();
    m_chosen = row != nullptr ? RowData(row) : -1;
    if (m_chosen != -1)
        EnableResultButtons(true);
}

void CPageSearchPOI::StoreRequest()
{
    CPoiQuery* query = Query();
    if (query == nullptr)
        return;
    query->Stop(false);
    auto* places = GetDlgItemAs<QComboBox>(IDC_POI_PLACE);
    auto* sizes = GetDlgItemAs<QComboBox>(IDC_POI_SIZE);
    if (places == nullptr || places->currentIndex() < 0 || sizes->currentIndex() < 0)
        return;
    int32_t kind = places->currentData().toInt();
    CGeoPos position;
    if (kind < 0) {
        const CWaypoint* waypoint = g_waypoints ? g_waypoints->GetAt(-kind - 1) : nullptr;
        if (waypoint == nullptr)
            return;
        position = waypoint->m_position;
        kind = -1;
    }
    query->SetSearchArea(sizes->currentData().toInt(), kind, position);
}

void CPageSearchPOI::OnShowObject()
{
    CPoiQuery* query = Query();
    if (query == nullptr)
        return;
    // A stopped search sends no end: the page is idle from here.
    query->Stop(false);
    if (m_state == STATE_RUNNING || m_state == STATE_PAUSED)
        SetSearchState(STATE_IDLE);
    CMapController& controller = *g_MapController;
    if (controller.ConfirmShowObject() == 0)
        return;
    const ZXS_Point at = query->GetResultPosition(m_chosen);
    if (at.x == kUnset || at.y == kUnset)
        return;
    controller.SetCentre(at.x, at.y);
    controller.SetRedrawFlag(1);
    Close();
}

void CPageSearchPOI::OnRoutePoint()
{
    CPoiQuery* query = Query();
    if (query == nullptr)
        return;
    query->Stop(true);
    if (m_state == STATE_RUNNING || m_state == STATE_PAUSED)
        SetSearchState(STATE_IDLE);
    const ZXS_Point at = query->GetResultPosition(m_chosen);
    if (at.x == kUnset || at.y == kUnset)
        return;
    CMapController& controller = *g_MapController;
    auto* station = GetDlgItemAs<QComboBox>(IDC_POI_STATION);
    const int slot = station->currentIndex() >= 0 ? (station->currentData().toInt() & 0xFF) : 3;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int32_t code = controller.GetRouteManager().SetPointAndRecalculate({ at.x, at.y }, slot);
    controller.SetCentre(at.x, at.y);
    controller.SetRedrawFlag(1);
    QApplication::restoreOverrideCursor();
    controller.ReportRouteResult(code);
    if (controller.GetRouteManager().HasRoute())
        Close();
    else
        FillRouteStationCombo(station);
}

void CPageSearchPOI::EnableResultButtons(bool enable)
{
    EnableDlgItem(IDC_POI_SHOW, enable);
    EnableDlgItem(IDC_POI_ROUTE_POINT, enable);
}
