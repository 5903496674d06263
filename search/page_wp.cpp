#include "search/page_wp.h"

#include "drawlib/screen_draw_tool.h"
#include "foundation/dialog_templates.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "foundation/system_applets.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "search/distance_steps.h"
#include "search/poi_query.h"
#include "search/search_lists.h"
#include "search/waypoint.h"
#include "search/waypoint_dialog_parts.h"
#include "search/waypoint_edit_dlg.h"
#include "ui/dialog_style.h"
#include "ui/property_sheet_full_screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Kept for the rest of the run: the sorted column and its state.
SortState g_waypointSort;

constexpr double kMetresPerDegree = 111111.11111;
constexpr double kDegreesPerMetre = 9.00000000009e-06;
constexpr int kNoTypeImage = 13334;
constexpr int kFirstCategoryBitmap = 549;
constexpr int kFirstColourBitmap = 653;
constexpr int kLastColourBitmap = 658;
constexpr uint32_t kMagenta = 0xFF00FF;

QString BeyondTheMapText() { return Bilingual(u"THE WAYPOINT IS BEYOND THE MAP", u"ЗАКЛАДКА ВНЕ КАРТЫ"); }

int CategoryCount()
{
    return g_MapController ? static_cast<int>(g_MapController->GetPoiSearcher().GetCategoryNames().size())
                           : 0;
}

// The row image of a symbol bitmap: the categories' pictures, then the colours'.
int RowImageIndex(int bitmap, int categories)
{
    if (bitmap > kFirstCategoryBitmap - 1 && bitmap < kFirstCategoryBitmap - 1 + categories)
        return bitmap - (kFirstCategoryBitmap - 1);
    if (bitmap >= kFirstColourBitmap && bitmap <= kLastColourBitmap)
        return bitmap - kFirstColourBitmap + categories;
    return 0;
}

WaypointDateTime FirstTimeOf(const CWaypoint& waypoint)
{
    return LocalDateTimeOf(waypoint.m_firstTime).value_or(WaypointDateTime { 0, 0, 0, 0, 0, 0 });
}

QString AddressText(const CWaypoint& waypoint)
{
    return waypoint.m_address.isEmpty() ? BeyondTheMapText() : waypoint.m_address;
}

int CompareTexts(const QString& a, const QString& b) { return a < b ? -1 : b < a ? 1 : 0; }

int CompareNumbers(std::initializer_list<std::pair<int, int>> pairs)
{
    for (auto [a, b] : pairs)
        if (a != b)
            return a < b ? -1 : 1;
    return 0;
}

int CompareByColumn(const CWaypoint& a, const CWaypoint& b, int column)
{
    switch (column) {
    case WP_COLUMN_NAME:
        return CompareTexts(a.m_name, b.m_name);
    case WP_COLUMN_TYPE:
        return CompareTexts(a.m_type, b.m_type);
    case WP_COLUMN_ADDRESS:
        return CompareTexts(AddressText(a), AddressText(b));
    case WP_COLUMN_FILE:
        return CompareTexts(a.m_filePath, b.m_filePath);
    case WP_COLUMN_SOUND:
        return CompareTexts(a.m_soundPath, b.m_soundPath);
    case WP_COLUMN_TIME: {
        const WaypointDateTime x = FirstTimeOf(a), y = FirstTimeOf(b);
        return CompareNumbers({ { x.hour, y.hour }, { x.minute, y.minute }, { x.second, y.second } });
    }
    case WP_COLUMN_DATE: {
        const WaypointDateTime x = FirstTimeOf(a), y = FirstTimeOf(b);
        return CompareNumbers({ { x.year, y.year }, { x.month, y.month }, { x.day, y.day } });
    }
    default:
        return 0;
    }
}

} // namespace

CPageWP::CPageWP(bool selectMode)
    : CColorPropertyPage(GetOrientedDialogId(selectMode ? IDD_PAGE_WP_SELECT : IDD_PAGE_WP))
    , m_selectMode(selectMode)
{
}

CPageWP::~CPageWP() = default;

QTreeWidget* CPageWP::GetList() const { return GetDlgItemAs<QTreeWidget>(IDC_WP_LIST); }

int CPageWP::GetItemData(const QTreeWidgetItem* row)
{
    return row != nullptr ? row->data(0, Qt::UserRole).toInt() : -1;
}

void CPageWP::CreateControls()
{
    // The list, and beside it (landscape) or below it (portrait) the commands,
    // which scroll on a small screen; Close, or Finish and Cancel, stay in view.
    const bool landscape = IsLandscapeLayout();
    auto* outer = landscape ? static_cast<QBoxLayout*>(new QHBoxLayout(this)) : new QVBoxLayout(this);
    outer->setContentsMargins(DialogMargin(), DialogMargin(), DialogMargin(), DialogMargin());
    outer->setSpacing(DialogSpacing());
    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(DialogSpacing());
    outer->addLayout(listColumn, landscape ? 2 : 1);
    if (m_selectMode) {
        auto* title = AddControl<QLabel>(IDC_WP_TITLE, this);
        title->setFont(DialogFont(12, QFont::Bold));
        title->setAlignment(Qt::AlignHCenter);
        listColumn->addWidget(title);
        auto* note = AddControl<QLabel>(IDC_WP_NOTE, this);
        note->setWordWrap(true);
        listColumn->addWidget(note);
    }
    auto* list = AddControl<QTreeWidget>(IDC_WP_LIST, this);
    list->setMinimumHeight(TouchHeight() * 3);
    listColumn->addWidget(list, 1);

    auto* commandColumn = new QVBoxLayout;
    commandColumn->setSpacing(DialogSpacing());
    outer->addLayout(commandColumn, landscape ? 3 : 1);
    QVBoxLayout* formRows = AddScrollingForm(this, commandColumn, 1);
    QWidget* form = formRows->parentWidget();
    auto* grid = new QGridLayout;
    grid->setSpacing(DialogSpacing());
    formRows->addLayout(grid);
    const QFont buttonFont = DialogFont(10);
    auto button = [&](int id, QWidget* parent) {
        auto* b = AddControl<QPushButton>(id, parent);
        StyleTouchControl(b);
        b->setFont(buttonFont);
        // A caption longer than the column is cut rather than widening the page.
        b->setMinimumWidth(1);
        return b;
    };
    int row = 0;
    auto pair = [&](int left, int right) {
        grid->addWidget(button(left, form), row, 0);
        if (right != 0)
            grid->addWidget(button(right, form), row, 1);
        ++row;
    };
    pair(IDC_WP_ADD, IDC_WP_EDIT);
    pair(IDC_WP_DELETE, IDC_WP_DELETE_ALL);
    pair(IDC_WP_OPEN, IDC_WP_SAVE_AS);

    auto* sound = AddControl<QCheckBox>(IDC_WP_SOUND, form);
    StyleTouchControl(sound);
    grid->addWidget(sound, row++, 0, 1, 2);
    auto* alerts = new QHBoxLayout;
    alerts->setSpacing(DialogSpacing());
    alerts->addWidget(AddControl<QLabel>(IDC_WP_RADIUS_LABEL, form));
    auto* radius = AddControl<QComboBox>(IDC_WP_RADIUS, form);
    StyleTouchControl(radius);
    radius->setMaxVisibleItems(8);
    alerts->addWidget(radius, 1);
    alerts->addWidget(AddControl<QLabel>(IDC_WP_RADIUS_UNIT, form));
    grid->addLayout(alerts, row++, 0, 1, 2);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(DialogSpacing());
    if (!m_selectMode) {
        pair(IDC_WP_SHOW, IDC_WP_ROUTE_POINT);
        auto* station = AddControl<QComboBox>(IDC_WP_STATION, form);
        StyleTouchControl(station);
        station->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        station->setMinimumContentsLength(4);
        grid->addWidget(station, row, 0);
        grid->addWidget(button(IDC_WP_MY_DOCUMENTS, form), row++, 1);
        pair(IDC_WP_MEMORY, 0);
        SetDlgItemText(IDC_WP_MEMORY, QStringLiteral("Memory"));
        bottom->addWidget(button(IDC_WP_CLOSE, this), 1);
    } else {
        button(IDC_WP_BACK, this)->hide();
        bottom->addWidget(button(IDC_WP_FINISH, this), 1);
        bottom->addWidget(button(platform::IDCANCEL, this), 1);
    }
    grid->setRowStretch(row, 1);
    for (int column = 0; column < 2; ++column)
        grid->setColumnStretch(column, 1);
    commandColumn->addLayout(bottom);

    QObject::connect(list, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!m_selectMode)
            OnShowObject();
    });
    QObject::connect(
        list->header(), &QHeaderView::sectionClicked, this, [this](int column) { OnColumnClick(column); });
}

bool CPageWP::OnInitDialog()
{
    QTreeWidget* list = GetList();
    list->setColumnCount(WP_COLUMN_COUNT);
    const bool english = g_language.load() == LANGUAGE_ENGLISH;
    list->setHeaderLabels(english
            ? QStringList { QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Address"),
                QStringLiteral("File"), QStringLiteral("Time"), QStringLiteral("Date"),
                QStringLiteral("wav-file"), QString() }
            : QStringList { QStringLiteral("Имя"), QStringLiteral("Тип"), QStringLiteral("Адрес"),
                QStringLiteral("Файл"), QStringLiteral("Время"), QStringLiteral("Дата"),
                QStringLiteral("wav-файл"), QString() });
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->header()->setSectionsMovable(true);
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);
    // Before the page is first shown the list has no size of its own yet.
    const int width = std::max(list->viewport()->width(), GetScreenWidth() - 2 * DialogMargin());
    for (int column = 0; column < WP_COLUMN_LAST; ++column)
        list->setColumnWidth(column, width / 3);
    list->setColumnWidth(WP_COLUMN_LAST, width * 4 / 9);
    RestoreListColumns(g_waypointColumns, list);

    m_rowImages = CImageList(16);
    auto add = [this](int id) {
        const QImage* image = g_drawTool ? g_drawTool->CreateHBITMAP(static_cast<uint32_t>(id)) : nullptr;
        // A missing picture still takes its place, so that the later ones keep their indexes.
        m_rowImages.AddMasked(image != nullptr ? *image : QImage(), kMagenta);
    };
    add(kNoTypeImage);
    const int categories = CategoryCount();
    for (int id = kFirstCategoryBitmap; id <= kFirstCategoryBitmap - 2 + categories; ++id)
        add(id);
    for (int id = kFirstColourBitmap; id <= kLastColourBitmap; ++id)
        add(id);
    SetSmallImageList(list, &m_rowImages);
    m_sortImages.Release();
    m_sortBase = m_sortImages.Create(list, &g_waypointSort);

    FillList();
    return CColorPropertyPage::OnInitDialog();
}

bool CPageWP::OnSetActive()
{
    auto text
        = [&](int id, const char16_t* en, const char16_t* ru) { SetDlgItemText(id, Bilingual(en, ru)); };
    text(IDC_WP_ADD, u"Add...", u"Добавить...");
    text(IDC_WP_EDIT, u"Edit...", u"Редактировать..");
    text(IDC_WP_DELETE, u"Delete", u"Удалить");
    text(IDC_WP_DELETE_ALL, u"Delete all", u"Удалить все");
    text(IDC_WP_OPEN, u"Open...", u"Открыть..");
    text(IDC_WP_SAVE_AS, u"Save as...", u"Сохранить как...");
    text(IDC_WP_SOUND, u"Sound", u"Звук");
    text(IDC_WP_RADIUS_LABEL, u"Radius", u"Радиус");
    SetDlgItemText(IDC_WP_RADIUS_UNIT, QStringLiteral("m"));
    if (m_selectMode) {
        text(IDC_WP_FINISH, u"Finish", u"Готово");
        text(platform::IDCANCEL, u"Cancel", u"Отмена");
        text(IDC_WP_TITLE, u"Waypoint editor.", u"Редактор закладок.");
        text(IDC_WP_NOTE, u"To see the waypoint in the screen center select it and click \"Finish\".",
            u"Выберите закладку и нажмите \"Готово\", чтобы увидеть ее на карте в центре экрана.");
        if (QWidget* back = GetDlgItem(IDC_WP_BACK))
            back->hide();
    } else {
        text(IDC_WP_MY_DOCUMENTS, u"My documents", u"Мои документы");
        text(IDC_WP_SHOW, u"Show the object->", u"Показать объект->");
        text(IDC_WP_ROUTE_POINT, u"As route point", u"Точка маршрута");
        text(IDC_WP_CLOSE, u"Close", u"Закрыть");
    }

    auto* radius = GetDlgItemAs<QComboBox>(IDC_WP_RADIUS);
    radius->clear();
    int selected = -1;
    const int wanted = g_waypoints
        ? static_cast<int>(std::floor(g_waypoints->GetAlertRadius() * kMetresPerDegree + 0.5))
        : -1;
    for (const int metres : g_distanceSteps) {
        if (metres == wanted)
            selected = radius->count();
        radius->addItem(QString::number(metres), metres);
    }
    radius->setCurrentIndex(selected);
    if (!m_selectMode)
        FillRouteStationCombo(GetDlgItemAs<QComboBox>(IDC_WP_STATION));
    const bool alerts = g_waypoints && g_waypoints->GetAlertsOn() != 0;
    CheckDlgButton(IDC_WP_SOUND, alerts);
    for (int id : { IDC_WP_RADIUS, IDC_WP_RADIUS_LABEL, IDC_WP_RADIUS_UNIT })
        EnableDlgItem(id, alerts);
    UpdateButtons();
    return CColorPropertyPage::OnSetActive();
}

void CPageWP::FillList()
{
    QTreeWidget* list = GetList();
    list->clear();
    const int count = g_waypoints ? g_waypoints->GetWaypointCount() : 0;
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return CompareRows(a, b) < 0; });
    for (const int index : order) {
        auto* row = new QTreeWidgetItem;
        row->setData(0, Qt::UserRole, index);
        list->addTopLevelItem(row);
        SetRowTexts(row, *g_waypoints->GetAt(index));
    }
    ShowSortImages();
    UpdateButtons();
}

void CPageWP::SetRowTexts(QTreeWidgetItem* row, const CWaypoint& w)
{
    const std::optional<WaypointDateTime> when = LocalDateTimeOf(w.m_firstTime);
    row->setText(WP_COLUMN_NAME, w.m_name);
    row->setText(WP_COLUMN_TYPE, w.m_type);
    row->setText(WP_COLUMN_ADDRESS, AddressText(w));
    row->setText(WP_COLUMN_FILE, w.m_filePath);
    row->setText(WP_COLUMN_TIME,
        when ? QString::asprintf("%.2d:%.2d:%.2d", when->hour, when->minute, when->second) : QString());
    row->setText(WP_COLUMN_DATE,
        when ? QString::asprintf("%.2d-%.2d-%.4d", when->day, when->month, when->year) : QString());
    row->setText(WP_COLUMN_SOUND, w.m_soundPath);
    row->setText(WP_COLUMN_LAST, QStringLiteral(" "));
    SetItemImage(GetList(), row, RowImageIndex(w.m_bitmapId, CategoryCount()));
}

int CPageWP::CompareRows(int a, int b) const
{
    if (g_waypointSort.state != 0 && g_waypointSort.column >= 0 && g_waypoints) {
        const CWaypoint* x = g_waypoints->GetAt(a);
        const CWaypoint* y = g_waypoints->GetAt(b);
        if (x != nullptr && y != nullptr) {
            const int order = CompareByColumn(*x, *y, g_waypointSort.column);
            if (order != 0)
                return g_waypointSort.state == 1 ? order : -order;
        }
    }
    return a < b ? -1 : a > b ? 1 : 0;
}

void CPageWP::MoveRowToSortedPlace(QTreeWidgetItem* row)
{
    QTreeWidget* list = GetList();
    const int index = GetItemData(row);
    const int from = list->indexOfTopLevelItem(row);
    if (from >= 0)
        list->takeTopLevelItem(from);
    int to = 0;
    while (to < list->topLevelItemCount() && CompareRows(GetItemData(list->topLevelItem(to)), index) < 0)
        ++to;
    list->insertTopLevelItem(to, row);
}

QTreeWidgetItem* CPageWP::InsertRow(int index)
{
    auto* row = new QTreeWidgetItem;
    row->setData(0, Qt::UserRole, index);
    MoveRowToSortedPlace(row);
    SetRowTexts(row, *g_waypoints->GetAt(index));
    return row;
}

void CPageWP::OnColumnClick(int column)
{
    if (column < 0 || column >= WP_COLUMN_COUNT)
        return;
    if (g_waypointSort.column == column) {
        g_waypointSort.state = (g_waypointSort.state + 1) % 3;
    } else {
        g_waypointSort.column = column;
        g_waypointSort.state = 1;
    }
    std::vector<int> selected;
    for (QTreeWidgetItem* row : SelectedRows())
        selected.push_back(GetItemData(row));
    const int mark = GetItemData(GetList()->currentItem());
    FillList();
    QTreeWidget* list = GetList();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (std::find(selected.begin(), selected.end(), GetItemData(row)) != selected.end())
            row->setSelected(true);
        if (GetItemData(row) == mark)
            list->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
    }
    UpdateButtons();
}

void CPageWP::ShowSortImages()
{
    CImageList* images = m_sortImages.ImageList();
    if (images == nullptr || m_sortBase < 0)
        return;
    QTreeWidgetItem* header = GetList()->headerItem();
    for (int column = 0; column < WP_COLUMN_COUNT; ++column) {
        const int offset = column == g_waypointSort.column ? g_waypointSort.state : 0;
        header->setIcon(column, images->Icon(m_sortBase + offset));
    }
}

std::vector<QTreeWidgetItem*> CPageWP::SelectedRows() const
{
    std::vector<QTreeWidgetItem*> rows;
    QTreeWidget* list = GetList();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            rows.push_back(list->topLevelItem(i));
    return rows;
}

void CPageWP::SetSelectionMark(QTreeWidgetItem* row)
{
    QTreeWidget* list = GetList();
    list->clearSelection();
    if (row == nullptr)
        return;
    list->setCurrentItem(row);
    row->setSelected(true);
    list->scrollToItem(row);
}

void CPageWP::UpdateButtons()
{
    const size_t selected = SelectedRows().size();
    const bool rows = GetList()->topLevelItemCount() > 0;
    EnableDlgItem(IDC_WP_EDIT, selected == 1);
    EnableDlgItem(IDC_WP_DELETE, selected >= 1);
    if (m_selectMode) {
        EnableDlgItem(IDC_WP_FINISH, selected == 1);
    } else {
        EnableDlgItem(IDC_WP_SHOW, selected == 1);
        EnableDlgItem(IDC_WP_ROUTE_POINT, selected == 1);
    }
    EnableDlgItem(IDC_WP_DELETE_ALL, rows);
    EnableDlgItem(IDC_WP_SAVE_AS, rows);
}

bool CPageWP::OnCommand(int id, int code)
{
    if (id == IDC_WP_RADIUS) {
        if (code == CBN_SELCHANGE)
            OnRadius();
        return true;
    }
    if (id == IDC_WP_STATION)
        return true;
    if (code != BN_CLICKED)
        return CColorPropertyPage::OnCommand(id, code);
    switch (id) {
    case IDC_WP_ADD:
        OnAdd();
        break;
    case IDC_WP_EDIT:
        OnEdit();
        break;
    case IDC_WP_DELETE:
        OnDelete();
        break;
    case IDC_WP_DELETE_ALL:
        OnDeleteAll();
        break;
    case IDC_WP_OPEN:
        OnOpen();
        break;
    case IDC_WP_SAVE_AS:
        OnSaveAs();
        break;
    case IDC_WP_MY_DOCUMENTS:
        OnMyDocuments();
        break;
    case IDC_WP_SOUND:
        OnSound();
        break;
    case IDC_WP_SHOW:
    case IDC_WP_FINISH:
        OnShowObject();
        break;
    case platform::IDOK:
        // Enter in the wizard: Finish, when a waypoint is chosen.
        if (m_selectMode && IsDlgItemEnabled(IDC_WP_FINISH))
            OnShowObject();
        break;
    case IDC_WP_ROUTE_POINT:
        OnRoutePoint();
        break;
    case IDC_WP_MEMORY:
        OpenControlPanelApplet();
        break;
    case IDC_WP_CLOSE:
        OnClose();
        break;
    case platform::IDCANCEL:
        if (CPropertySheet* sheet = GetSheet())
            sheet->OnCancel();
        break;
    default:
        return CColorPropertyPage::OnCommand(id, code);
    }
    UpdateButtons();
    return true;
}

void CPageWP::SetSheetFullScreen(bool on)
{
    auto* sheet = dynamic_cast<CPropertySheetFullScreen*>(GetSheet());
    if (sheet == nullptr)
        return;
    if (on)
        sheet->FullScreenOn();
    else
        sheet->FullScreenOff();
}

void CPageWP::OnAdd()
{
    if (!g_waypoints)
        return;
    SetSheetFullScreen(false);
    CWaypointEditDlg dialog(nullptr, nullptr, this);
    const int result = dialog.DoModal();
    SetSheetFullScreen(true);
    if (result != platform::IDOK)
        return;
    const int index = g_waypoints->Add(dialog.m_waypoint);
    if (index < 0) {
        ShowWaypointRefused(this);
        return;
    }
    SetSelectionMark(InsertRow(index));
}

void CPageWP::OnEdit()
{
    const std::vector<QTreeWidgetItem*> selected = SelectedRows();
    QTreeWidgetItem* row = GetList()->currentItem();
    if (row == nullptr || !row->isSelected())
        row = selected.size() == 1 ? selected.front() : nullptr;
    CWaypoint* waypoint = g_waypoints ? g_waypoints->GetAt(GetItemData(row)) : nullptr;
    if (waypoint == nullptr)
        return;
    SetSheetFullScreen(false);
    CWaypointEditDlg dialog(waypoint, nullptr, this);
    const int result = dialog.DoModal();
    SetSheetFullScreen(true);
    if (result != platform::IDOK)
        return;
    *waypoint = dialog.m_waypoint;
    MoveRowToSortedPlace(row);
    SetRowTexts(row, *waypoint);
    SetSelectionMark(row);
}

void CPageWP::OnDelete()
{
    QTreeWidget* list = GetList();
    int lastPosition = -1;
    // Each pass removes the first selected row and renumbers the rows after its waypoint.
    for (std::vector<QTreeWidgetItem*> selected = SelectedRows(); !selected.empty();
         selected = SelectedRows()) {
        QTreeWidgetItem* row = selected.front();
        const int index = GetItemData(row);
        g_waypoints->RemoveAt(index);
        lastPosition = list->indexOfTopLevelItem(row);
        delete list->takeTopLevelItem(lastPosition);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* other = list->topLevelItem(i);
            if (GetItemData(other) > index)
                other->setData(0, Qt::UserRole, GetItemData(other) - 1);
        }
    }
    if (lastPosition < 0)
        return;
    const int count = list->topLevelItemCount();
    SetSelectionMark(count > 0 ? list->topLevelItem(std::min(lastPosition, count - 1)) : nullptr);
}

void CPageWP::OnDeleteAll()
{
    if (GetList()->topLevelItemCount() == 0 || !g_waypoints)
        return;
    if (platform::ShowMessageBox(this,
            Bilingual(u"Are you sure that you want to delete all of the waypoints?",
                u"Вы уверены, что хотите удалить все закладки?"),
            QStringLiteral("Travenor Pro"), platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    g_waypoints->RemoveAll();
    FillList();
}

void CPageWP::OnOpen()
{
    if (!g_waypoints)
        return;
    SetSheetFullScreen(false);
    platform::FileDialogRequest request;
    request.open = true;
    request.defaultExt = QStringLiteral("kwp");
    request.fileName = QStringLiteral("*.kwp");
    request.filter = QStringLiteral("Waypoint Files (*.kwp)|*.kwp|All Files (*.*)|*.*||");
    request.flags = platform::OFN_FILEMUSTEXIST;
    const std::optional<QString> path = platform::ShowFileDialog(this, request);
    if (path && g_waypoints->LoadFile(*path, 1) == 0)
        platform::ShowMessageBox(this, Bilingual(u"Can't open the file.", u"Невозможно открыть файл."),
            QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    SetSheetFullScreen(true);
    FillList();
}

void CPageWP::OnSaveAs()
{
    if (!g_waypoints)
        return;
    SetSheetFullScreen(false);
    platform::FileDialogRequest request;
    request.open = false;
    request.defaultExt = QStringLiteral("kwp");
    request.fileName = QStringLiteral("default_wp");
    request.filter = QStringLiteral("Waypoints Files (*.kwp)|*.kwp|");
    request.flags = platform::OFN_OVERWRITEPROMPT;
    const std::optional<QString> path = platform::ShowFileDialog(this, request);
    if (path && g_waypoints->SaveFile(*path, 1) == 0)
        platform::ShowMessageBox(this, Bilingual(u"Can't save the file.", u"Невозможно сохранить файл."),
            QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    SetSheetFullScreen(true);
    // The saved waypoints now name the file.
    for (int i = 0; i < GetList()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = GetList()->topLevelItem(i);
        if (const CWaypoint* w = g_waypoints->GetAt(GetItemData(row)))
            SetRowTexts(row, *w);
    }
}

void CPageWP::OnMyDocuments()
{
    if (!g_waypoints)
        return;
    const QString folder = QStringLiteral("\\My Documents\\");
    const QString question
        = Bilingual(u"Are you sure that you want to open all of wp-files in %s folder. (It "
                    u"could take several seconds.)",
            u"Вы уверенны, что хотите открыть все wp-файлы в папке %s. (Это может занять несколько секунд.)")
              .replace(QLatin1String("%s"), folder);
    if (platform::ShowMessageBox(this, question, QStringLiteral("Travenor Pro"),
            platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    if (g_waypoints->LoadFolder(folder, QStringLiteral("*.kwp"), 1) == 0)
        platform::ShowMessageBox(this,
            Bilingual(
                u"Can't open one or several wp-file(s)", u"Невозможно открыть один или несколько wp файлов"),
            QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    FillList();
}

void CPageWP::OnSound()
{
    const bool on = IsDlgButtonChecked(IDC_WP_SOUND);
    if (g_waypoints)
        g_waypoints->SetAlertsOn(on ? 1 : 0);
    for (int id : { IDC_WP_RADIUS, IDC_WP_RADIUS_LABEL, IDC_WP_RADIUS_UNIT })
        EnableDlgItem(id, on);
}

void CPageWP::OnRadius()
{
    auto* radius = GetDlgItemAs<QComboBox>(IDC_WP_RADIUS);
    if (radius->currentIndex() < 0 || !g_waypoints)
        return;
    const double degrees = radius->currentData().toInt() * kDegreesPerMetre;
    if (degrees > 0)
        g_waypoints->SetAlertRadius(degrees);
}

void CPageWP::OnShowObject()
{
    const std::vector<QTreeWidgetItem*> selected = SelectedRows();
    if (selected.size() != 1 || !g_MapController || !g_waypoints)
        return;
    const CWaypoint* waypoint = g_waypoints->GetAt(GetItemData(selected.front()));
    if (waypoint == nullptr)
        return;
    CMapController& controller = *g_MapController;
    if (controller.ConfirmShowObject() == 0)
        return;
    controller.SetCentreGeoPosition(waypoint->m_position);
    controller.SetRedrawFlag(1);
    OnClose();
}

void CPageWP::OnRoutePoint()
{
    const std::vector<QTreeWidgetItem*> selected = SelectedRows();
    if (selected.size() != 1 || !g_MapController || !g_waypoints)
        return;
    const CWaypoint* waypoint = g_waypoints->GetAt(GetItemData(selected.front()));
    if (waypoint == nullptr || !waypoint->m_position.IsValid())
        return;
    CMapController& controller = *g_MapController;
    ZXS_Point point;
    if (ZXS_GeoToMap(controller.GetMapSet().ActiveMap(), waypoint->m_position.GetLongitude().GetRadians(),
            waypoint->m_position.GetLatitude().GetRadians(), &point)
        != 0)
        return;
    auto* station = GetDlgItemAs<QComboBox>(IDC_WP_STATION);
    const int slot = station->currentIndex() >= 0 ? station->currentData().toInt() : 3;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int32_t code = controller.GetRouteManager().SetPointAndRecalculate({ point.x, point.y }, slot);
    controller.SetCentre(point.x, point.y);
    controller.SetRedrawFlag(1);
    QApplication::restoreOverrideCursor();
    if (code != 0)
        controller.ReportRouteResult(code);
    if (controller.GetRouteManager().HasRoute())
        OnClose();
    else
        FillRouteStationCombo(station);
}

void CPageWP::OnClose()
{
    OnOK();
    if (CPropertySheet* sheet = GetSheet())
        sheet->EndDialog(platform::IDOK);
}

void CPageWP::OnOK()
{
    SaveListColumns(g_waypointColumns, GetList());
    if (g_drawTool)
        g_drawTool->DeleteHBITMAPs();
}

void CPageWP::OnCancel()
{
    // The sheet is closing already: only the cached pictures go.
    if (g_drawTool)
        g_drawTool->DeleteHBITMAPs();
}
