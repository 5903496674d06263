#include "search/wizard_search.h"

#include "foundation/dialog_templates.h"
#include "foundation/input_panel.h"
#include "foundation/language.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "kernel/api/map_query.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"
#include "platform/message_box.h"
#include "search/address_searcher.h"
#include "search/page_search_poi.h"
#include "search/poi_query.h"
#include "search/search_lists.h"
#include "ui/dialog_style.h"
#include "ui/wrap_check_box.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

constexpr int32_t kUnset = 0x8000000;
const QString kAllTypes = QStringLiteral("Все");

CPoiQuery* Query() { return g_MapController ? &g_MapController->GetPoiSearcher() : nullptr; }
CAddressSearcher* Searcher() { return g_MapController ? &g_MapController->GetAddressSearcher() : nullptr; }

QString WaitText() { return Bilingual(u"Wait please ...", u"Пожалуйста, ждите..."); }

QLabel* Label(QWidget* control) { return dynamic_cast<QLabel*>(control); }

// The place choices of the POI branch: radio text, the query's place kind and
// the phrase the titles use.
struct Place {
    const char16_t* radioEnglish;
    const char16_t* radioRussian;
    int32_t kind;
    const char16_t* phraseEnglish;
    const char16_t* phraseRussian;
};
constexpr Place kPlaces[] = {
    { u"Current position", u"Текущая позиция", CPoiQuery::KIND_GPS, u"near current position",
        u"близ текущей позиции" },
    { u"Screen centre", u"Центр экрана", CPoiQuery::KIND_CENTRE, u"at the screen center",
        u"в центре экрана" },
    { u"All screen", u"Весь экран", CPoiQuery::KIND_SCREEN, u"on the whole screen", u"на всем экране" },
    { u"Along route", u"Вдоль маршрута", CPoiQuery::KIND_ALONG_ROUTE, u"along the route", u"вдоль маршрута" },
};

} // namespace

// ------------------------------------------------------------------ the pages' base

CWizardSearchPage::CWizardSearchPage(int templateId)
    : CWizardPage(GetOrientedDialogId(templateId))
{
}

CWizardSearch& CWizardSearchPage::Wizard() const { return *static_cast<CWizardSearch*>(GetWizard()); }

void CWizardSearchPage::GoTo(int page) { Wizard().SetActivePage(page); }

void CWizardSearchPage::AddText(QBoxLayout* into, int id)
{
    auto* text = AddControl<QLabel>(id, this);
    text->setWordWrap(true);
    text->setFont(DialogFont(11));
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    into->addWidget(text);
}

void CWizardSearchPage::AddRadios(QBoxLayout* into, int count)
{
    for (int i = 0; i < count; ++i) {
        auto* radio = AddControl<CWrapRadioButton>(IDC_SCH_RADIO + i, this);
        StyleTouchControl(radio);
        into->addWidget(radio);
    }
}

void CWizardSearchPage::ShowChoice(int32_t choice, int count)
{
    for (int i = 0; i < count; ++i)
        CheckDlgButton(IDC_SCH_RADIO + i, i == choice);
}

bool CWizardSearchPage::OnButton(int id)
{
    if (id < IDC_SCH_RADIO || id >= IDC_SCH_RADIO + 4)
        return false;
    OnRadio(id - IDC_SCH_RADIO);
    return true;
}

// ------------------------------------------------------------------ 1: address or POI

CWizardSch1::CWizardSch1()
    : CWizardSearchPage(IDD_WIZARD_SCH1)
{
}

void CWizardSch1::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    AddRadios(content, 2);
    AddText(content);
    content->addStretch(1);
}

bool CWizardSch1::OnInitDialog()
{
    CWizardSearchPage::OnInitDialog();
    SetDlgItemText(IDC_SCH_RADIO,
        Bilingual(u"Searching object by address or name", u"Поиск объекта по адресу или названию"));
    SetDlgItemText(
        IDC_SCH_RADIO + 1, Bilingual(u"Searching nearest POI", u"Поиск ближайших объектов инфраструктуры"));
    SetDlgItemText(IDC_SCH_TEXT,
        Bilingual(
            u"Specify, what you will do by clicking the required option. After choosing, tap \"Next  >\". "
            u"The \"Cancel\" button is used to exit from \"Wizard\".",
            u"Определите, что Вы будете делать, кликом на необходимой опции. После осуществления выбора "
            u"нажмите \"Далее  >\". Кнопка \"Отмена\" означает выход из \"Мастера\"."));
    SetTitleAndShift(Label(GetDlgItem(IDC_WIZARD_TITLE)), GetDlgItem(IDC_SCH_RADIO),
        Bilingual(u"Wizard of step-by-step searching objects and editing waypoints.",
            u"Мастер пошагового поиска объектов и редактирования закладок."));
    EnableDlgItem(IDC_WIZARD_BACK, false);
    return true;
}

bool CWizardSch1::OnSetActive()
{
    ShowChoice(m_choice, 2);
    return CWizardSearchPage::OnSetActive();
}

void CWizardSch1::OnNext()
{
    if (m_choice == 0) {
        Wizard().m_sch2.m_choice = 0;
        GoTo(SCH_PAGE_OBJECT);
    } else {
        Wizard().m_sch6.m_choice = 0;
        GoTo(SCH_PAGE_PLACE);
    }
}

// ------------------------------------------------------------------ 2: street or house

CWizardSch2::CWizardSch2()
    : CWizardSearchPage(IDD_WIZARD_SCH2)
{
}

void CWizardSch2::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    AddRadios(content, 2);
    AddText(content);
    content->addStretch(1);
}

bool CWizardSch2::OnInitDialog()
{
    CWizardSearchPage::OnInitDialog();
    SetDlgItemText(
        IDC_SCH_RADIO, Bilingual(u"Searching a street/city/village", u"Поиск улицы/города/деревни"));
    SetDlgItemText(IDC_SCH_RADIO + 1, Bilingual(u"Searching a house", u"Поиск дома"));
    SetDlgItemText(IDC_SCH_TEXT,
        Bilingual(
            u"Specify a type of searching object: what do you find, i.e. a street/city/village or house.",
            u"Определите тип объекта поиска: что Вы ищете - улицу/город/деревню или дом."));
    SetTitleAndShift(Label(GetDlgItem(IDC_WIZARD_TITLE)), GetDlgItem(IDC_SCH_RADIO),
        Bilingual(u"Searching an object by address or name.", u"Поиск объекта по адресу или названию."));
    return true;
}

bool CWizardSch2::OnSetActive()
{
    ShowChoice(m_choice, 2);
    return CWizardSearchPage::OnSetActive();
}

void CWizardSch2::OnNext()
{
    Wizard().m_sch3.m_street.clear();
    Wizard().m_sch3.m_house.clear();
    GoTo(SCH_PAGE_NAME);
}

void CWizardSch2::OnBack()
{
    if (Wizard().IsNested())
        Wizard().EndDialog(IDC_WIZARD_BACK);
    else
        GoTo(SCH_PAGE_KIND);
}

// ------------------------------------------------------------------ 3: the name

CWizardSch3::CWizardSch3()
    : CWizardSearchPage(IDD_WIZARD_SCH3)
{
}

void CWizardSch3::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    auto field = [&](int labelId, int editId) {
        auto* label = AddControl<QLabel>(labelId, this);
        label->setFont(DialogFont(11));
        content->addWidget(label);
        auto* edit = AddControl<QLineEdit>(editId, this);
        StyleTouchControl(edit);
        content->addWidget(edit);
    };
    field(IDC_SCH_STREET_LABEL, IDC_SCH_STREET);
    field(IDC_SCH_HOUSE_LABEL, IDC_SCH_HOUSE);
    AddText(content);
    content->addStretch(1);
}

bool CWizardSch3::OnInitDialog()
{
    CWizardSearchPage::OnInitDialog();
    SetDlgItemText(IDC_SCH_HOUSE_LABEL, Bilingual(u"House number", u"Номер дома"));
    return true;
}

void CWizardSch3::ReadEdits()
{
    m_street = GetDlgItemText(IDC_SCH_STREET);
    m_house = GetDlgItemText(IDC_SCH_HOUSE);
}

void CWizardSch3::UpdateNext()
{
    const bool house = Wizard().m_sch2.m_choice == 1;
    EnableDlgItem(IDC_WIZARD_NEXT, m_street.size() >= 3 && (!house || !m_house.isEmpty()));
}

bool CWizardSch3::OnSetActive()
{
    // Writing a text notifies its change, which reads both fields back.
    const QString street = m_street, house = m_house;
    SetDlgItemText(IDC_SCH_STREET, street);
    SetDlgItemText(IDC_SCH_HOUSE, house);
    UpdateNext();
    const bool houseSearch = Wizard().m_sch2.m_choice == 1;
    const QString ending = Bilingual(
        u" or the complete name without \"ending\" (E.g. you should enter \"Николоямская\", but not "
        u"\"Николоямская ул.\").",
        u" или полностью название, без \"окончания\" (Т.е. вводить надо \"Николоямская\", а не "
        u"\"Николоямская ул.\").");
    QString title;
    if (houseSearch) {
        SetDlgItemText(IDC_SCH_TEXT,
            Bilingual(
                u"Input the house number and the beginning of the street name (not less than three letters)",
                u"Введите номер дома и начало названия улицы (не менее трех букв)")
                + ending);
        title = Bilingual(u"Searching a house.", u"Поиск дома.");
        SetDlgItemText(IDC_SCH_STREET_LABEL, Bilingual(u"Street name", u"Наименование улицы"));
    } else {
        SetDlgItemText(IDC_SCH_TEXT,
            Bilingual(u"Input the beginning of the street/city/village name (not less than three letters)",
                u"Введите начало названия улицы/города/деревни (не менее трех букв)")
                + ending);
        title = Bilingual(u"Searching a street/city/village.", u"Поиск улицы/города/деревни.");
        SetDlgItemText(IDC_SCH_STREET_LABEL,
            Bilingual(u"Street/city/village name", u"Наименование улицы/города/деревни"));
    }
    GetDlgItem(IDC_SCH_HOUSE)->setVisible(houseSearch);
    GetDlgItem(IDC_SCH_HOUSE_LABEL)->setVisible(houseSearch);
    SetTitleAndShift(Label(GetDlgItem(IDC_WIZARD_TITLE)), GetDlgItem(IDC_SCH_STREET_LABEL), title);
    // Room for the soft keyboard.
    Wizard().FullScreenOff();
    const bool result = CWizardSearchPage::OnSetActive();
    GetDlgItem(houseSearch ? IDC_SCH_HOUSE : IDC_SCH_STREET)->setFocus();
    return result;
}

bool CWizardSch3::OnKillActive()
{
    Wizard().EnsureFullScreen();
    return CWizardSearchPage::OnKillActive();
}

bool CWizardSch3::OnCommand(int id, int code)
{
    if (id == IDC_SCH_STREET || id == IDC_SCH_HOUSE) {
        if (code == EN_SETFOCUS) {
            ShowInputPanel(true);
        } else if (code == EN_CHANGE) {
            ReadEdits();
            UpdateNext();
        }
        return true;
    }
    return CWizardSearchPage::OnCommand(id, code);
}

void CWizardSch3::OnNext()
{
    ReadEdits();
    GoTo(SCH_PAGE_RESULT);
}

void CWizardSch3::OnBack() { GoTo(SCH_PAGE_OBJECT); }

// ------------------------------------------------------------------ 4: the results

CWizardSch4::CWizardSch4()
    : CWizardSearchPage(IDD_WIZARD_SCH4)
{
}

CWizardSch4::~CWizardSch4()
{
    // No notice of this page's search may arrive once the page is gone.
    if (m_searching)
        if (CPoiQuery* query = Query())
            query->Stop(true);
}

QTreeWidget* CWizardSch4::GetResultList() const { return GetDlgItemAs<QTreeWidget>(IDC_SCH_RESULTS); }

void CWizardSch4::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    AddText(content);
    auto* count = AddControl<QLabel>(IDC_SCH_COUNT, this);
    count->setWordWrap(true);
    count->setFont(DialogFont(11));
    content->addWidget(count);
    auto* results = AddControl<QTreeWidget>(IDC_SCH_RESULTS, this);
    results->setFont(DialogFont(10));
    results->setMinimumHeight(TouchHeight() * 2);
    content->addWidget(results, 1);
    auto* addresses = AddControl<QListWidget>(IDC_SCH_ADDRESSES, this);
    addresses->setFont(DialogFont(10));
    addresses->setMinimumHeight(TouchHeight() * 2);
    content->addWidget(addresses, 1);

    QObject::connect(results, &QTreeWidget::currentItemChanged, this, [this] {
        if (!IsPoiSearch())
            return;
        QTreeWidgetItem* row = GetResultList()->currentItem();
        m_chosen = row != nullptr ? RowData(row) : -1;
        if (m_chosen != -1)
            EnableDlgItem(IDC_WIZARD_NEXT, true);
    });
    QObject::connect(results->header(), &QHeaderView::sectionClicked, this,
        [this](int column) { m_sorter.OnColumnClick(column); });
}

bool CWizardSch4::OnInitDialog()
{
    CWizardSearchPage::OnInitDialog();
    QTreeWidget* results = GetResultList();
    const QColor background(211, 255, 221);
    for (QWidget* list : { static_cast<QWidget*>(results), GetDlgItem(IDC_SCH_ADDRESSES) }) {
        QPalette palette = list->palette();
        palette.setColor(QPalette::Base, background);
        list->setPalette(palette);
    }
    SetupObjectList(results, m_rowImages);
    m_sortPictures = CImageList(GetIconSizeForResolution() == 32 ? 32 : 16);
    m_sorter.Create(results, &g_wizardPoiSort, &m_sortPictures, PoiResultComparison());
    m_sorter.Reapply();
    if (!Wizard().IsNested())
        SetDlgItemText(IDC_WIZARD_NEXT, Bilingual(u"Finish", u"Готово"));
    return true;
}

bool CWizardSch4::IsPoiSearch() const { return Wizard().m_sch1.m_choice == 1; }

void CWizardSch4::UnsetResult()
{
    m_resultX = kUnset;
    m_resultY = kUnset;
}

bool CWizardSch4::OnSetActive()
{
    CWizardSearch& wizard = Wizard();
    UnsetResult();
    m_chosen = -1;
    GetResultList()->clear();
    GetDlgItemAs<QListWidget>(IDC_SCH_ADDRESSES)->clear();
    EnableDlgItem(IDC_WIZARD_NEXT, false);
    const bool poi = IsPoiSearch();
    GetDlgItem(IDC_SCH_RESULTS)->setVisible(poi);
    GetDlgItem(IDC_SCH_ADDRESSES)->setVisible(!poi);
    QString title;
    if (poi) {
        const int32_t kind = wizard.m_sch6.m_kind;
        const QString phrase = wizard.m_sch6.m_phrase;
        const QString type = wizard.m_sch8.m_typeName;
        if (kind == CPoiQuery::KIND_SCREEN)
            title = Bilingual(u"Result of searching %1 objects of \"%2\" type.",
                u"Результат поиска объектов %1 типа \"%2\".")
                        .arg(phrase, type);
        else if (IsCorridorKind(kind))
            title = Bilingual(
                u"Result of searching %1 objects of \"%2\" type, with a passage width of %3 meters.",
                u"Результат поиска объектов %1 типа \"%2\", с шириной коридора %3 метров.")
                        .arg(phrase, type)
                        .arg(wizard.m_sch7.m_size);
        else
            title = Bilingual(
                u"Result of searching %1 objects of \"%2\" type, in square with a side of %3 meters.",
                u"Результат поиска объектов %1 типа \"%2\", в квадрате со стороной %3 метров.")
                        .arg(phrase, type)
                        .arg(wizard.m_sch7.m_size);
    } else if (wizard.m_sch2.m_choice == 1) {
        title = Bilingual(u"Result of searching the house number %1 on the street \"%2\".",
            u"Результат поиска дома с номером %1 на улице \"%2\".")
                    .arg(wizard.m_sch3.m_house, wizard.m_sch3.m_street);
    } else {
        title = Bilingual(u"The result of searching a street/city/village \"%1\".",
            u"Результат поиска улицы/города/деревни \"%1\".")
                    .arg(wizard.m_sch3.m_street);
    }
    SetDlgItemText(IDC_WIZARD_TITLE, title);
    SetDlgItemText(IDC_SCH_TEXT,
        wizard.IsNested()
            ? Bilingual(u"Choose an object of your searching and click the button \"Next  >\".",
                u"Выберите объект Вашего поиска и кликните на кнопке \"Далее  >\".")
            : Bilingual(
                u"Choose an object of your searching and click the button \"Finish\", then you can see "
                u"the object on the map at the screen center.",
                u"Выберите объект Вашего поиска и кликните на кнопке \"Готово\" и Вы сможете увидеть объект "
                u"на карте в центре экрана."));
    SetDlgItemText(IDC_SCH_COUNT, poi ? WaitText() + QStringLiteral("\n ") : WaitText());
    const bool result = CWizardSearchPage::OnSetActive();
    // The search starts once the page is on screen.
    platform::post(this, WM_SCH_START);
    return result;
}

bool CWizardSch4::OnKillActive()
{
    if (CPoiQuery* query = Query())
        query->Stop(true);
    m_searching = false;
    SaveListColumns(g_poiColumns, GetResultList());
    return CWizardSearchPage::OnKillActive();
}

void CWizardSch4::OnCancel()
{
    if (CPoiQuery* query = Query())
        query->Stop(true);
    m_searching = false;
    UnsetResult();
    CWizardSearchPage::OnCancel();
}

platform::LRESULT CWizardSch4::OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    if (message == WM_SCH_START) {
        // A start left over from a visit that has ended meanwhile is dropped.
        if (Wizard().GetActivePage() == this)
            Search();
        return 0;
    }
    if (message == WM_POI_NOTICE) {
        OnPoiNotice(wParam, lParam);
        return 1;
    }
    return CWizardSearchPage::OnMessage(message, wParam, lParam);
}

void CWizardSch4::Search()
{
    if (IsPoiSearch()) {
        StartPoiQuery();
        return;
    }
    CAddressSearcher* searcher = Searcher();
    if (searcher == nullptr)
        return;
    CWizardSch3& names = Wizard().m_sch3;
    auto* list = GetDlgItemAs<QListWidget>(IDC_SCH_ADDRESSES);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    list->hide();
    if (Wizard().m_sch2.m_choice == 1) {
        CHouseQuery query;
        query.streetPattern = names.m_street;
        query.housePattern = names.m_house;
        query.selectedIndex = -1;
        searcher->FindHouses(query);
        for (const CHouseEntry& entry : searcher->GetHouseList())
            AddFoundLine(list, entry.streetText, entry.houseText, entry.objectId);
    } else {
        CNameQuery query;
        query.pattern = names.m_street;
        searcher->FindNames(query);
        for (const CNameEntry& name : searcher->GetNameList())
            AddFoundLine(list, name.text, QString(), name.objectId);
    }
    list->show();
    QApplication::restoreOverrideCursor();
    if (Wizard().m_sch2.m_choice == 1)
        ShowHouseCountText(list->count(), GetDlgItem(IDC_SCH_COUNT), names.m_house.isEmpty());
    else
        ShowObjectCountText(list->count(), GetDlgItem(IDC_SCH_COUNT));
}

void CWizardSch4::StartPoiQuery()
{
    CWizardSearch& wizard = Wizard();
    CPoiNotification notification;
    notification.mode = CPoiNotification::MODE_MESSAGES;
    notification.window = this;
    notification.message = WM_POI_NOTICE;
    notification.post = 1;
    const int started = StartPoiSearch(wizard.m_sch6.m_kind, wizard.m_sch7.m_size, kUnset, kUnset,
        GetResultList(), wizard.m_sch8.m_typeName, &notification);
    m_searching = started == 0;
    if (started < 0) {
        // The place cannot be used (no position, no route): the user's choice.
        SetDlgItemText(IDC_SCH_COUNT,
            Bilingual(u"Error of entering the searching parametres. Try again.",
                u"Ошибка ввода параметров поиска. Попробуйте еще раз."));
    } else if (started > 0) {
        SetDlgItemText(IDC_SCH_COUNT,
            Bilingual(u"Error when searching POI. Try again.", u"Ошибка при поиске. Попробуйте еще раз."));
    } else {
        SetDlgItemText(IDC_SCH_COUNT, WaitText() + QStringLiteral("\n "));
    }
}

void CWizardSch4::OnPoiNotice(platform::WPARAM kind, platform::LPARAM value)
{
    CPoiQuery* query = Query();
    if (query == nullptr || !IsCreated())
        return;
    QTreeWidget* list = GetResultList();
    if (kind == CPoiQuery::NOTICE_RESULT) {
        InsertPoiResultSorted(*query, list, g_wizardPoiSort, static_cast<int>(value));
        ShowObjectCountText(list->topLevelItemCount(), GetDlgItem(IDC_SCH_COUNT));
        return;
    }
    m_searching = false;
    if (value != 0) {
        const QString finished = Bilingual(u"%s\n  (searching is finished)", u"%s\n  (поиск завершен)");
        ShowObjectCountText(list->topLevelItemCount(), GetDlgItem(IDC_SCH_COUNT), &finished);
    } else {
        SetDlgItemText(IDC_SCH_COUNT,
            Bilingual(u"Error when searching POI. Try again.", u"Ошибка при поиске. Попробуйте еще раз."));
    }
}

bool CWizardSch4::OnCommand(int id, int code)
{
    if (id == IDC_SCH_ADDRESSES) {
        if (code == LBN_SELCHANGE && GetDlgItem(IDC_SCH_ADDRESSES)->isVisible()) {
            m_chosen = GetCurSel(IDC_SCH_ADDRESSES);
            EnableDlgItem(IDC_WIZARD_NEXT, m_chosen >= 0);
        }
        return true;
    }
    return CWizardSearchPage::OnCommand(id, code);
}

void CWizardSch4::OnNext()
{
    CWizardSearch& wizard = Wizard();
    CPoiQuery* query = Query();
    if (query == nullptr || !g_MapController)
        return;
    query->Stop(false);
    m_searching = false;
    CMapController& controller = *g_MapController;
    if (!wizard.IsNested() && controller.ConfirmShowObject() == 0)
        return;
    ZXS_Point at { kUnset, kUnset };
    if (IsPoiSearch()) {
        at = query->GetResultPosition(m_chosen);
    } else {
        auto* list = GetDlgItemAs<QListWidget>(IDC_SCH_ADDRESSES);
        QListWidgetItem* line = m_chosen >= 0 ? list->item(m_chosen) : nullptr;
        if (line == nullptr)
            return;
        const int32_t object = line->data(Qt::UserRole).toInt();
        if (!wizard.IsNested())
            controller.SetHighlightedObject(object);
        if (const std::optional<ZXS_Point> middle = ObjectMiddle(object))
            at = *middle;
    }
    if (at.x == kUnset || at.y == kUnset)
        return;
    m_resultX = at.x;
    m_resultY = at.y;
    if (!wizard.IsNested()) {
        controller.SetCentre(at.x, at.y);
        const int32_t defaultScale = GetDefaultMapScale();
        if (static_cast<uint32_t>(controller.GetScale()) < static_cast<uint32_t>(defaultScale))
            controller.SetScale(defaultScale);
        controller.SetRedrawFlag(1);
    }
    query->Stop(true);
    wizard.EndDialog(IDC_WIZARD_NEXT);
}

void CWizardSch4::OnBack()
{
    if (CPoiQuery* query = Query())
        query->Stop(false);
    m_searching = false;
    UnsetResult();
    GoTo(IsPoiSearch() ? SCH_PAGE_TYPE : SCH_PAGE_NAME);
}

// ------------------------------------------------------------------ 6: the place

CWizardSch6::CWizardSch6()
    : CWizardSearchPage(IDD_WIZARD_SCH6)
{
}

void CWizardSch6::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    AddText(content);
    AddRadios(content, 4);
    AddText(content, IDC_SCH_NOTE);
    content->addStretch(1);
}

bool CWizardSch6::OnInitDialog()
{
    CWizardSearchPage::OnInitDialog();
    SetTitleAndShift(Label(GetDlgItem(IDC_WIZARD_TITLE)), GetDlgItem(IDC_SCH_TEXT),
        Bilingual(u"Searching nearest POI.", u"Поиск ближайших объектов инфраструктуры."));
    SetDlgItemText(
        IDC_SCH_TEXT, Bilingual(u"Choose a place of searching POI.", u"Определите место поиска объекта."));
    for (int i = 0; i < 4; ++i)
        SetDlgItemText(IDC_SCH_RADIO + i, Bilingual(kPlaces[i].radioEnglish, kPlaces[i].radioRussian));
    const bool route = g_MapController && g_MapController->GetRouteManager().HasRoute() != 0;
    SetDlgItemText(
        IDC_SCH_NOTE, route ? QString() : Bilingual(u"Route is not created", u"Маршрут не проложен"));
    EnableDlgItem(IDC_SCH_RADIO + 3, route);
    return true;
}

bool CWizardSch6::OnSetActive()
{
    ShowChoice(m_choice, 4);
    return CWizardSearchPage::OnSetActive();
}

void CWizardSch6::OnNext()
{
    if (m_choice < 0 || m_choice >= 4) {
        m_phrase.clear();
        return;
    }
    const Place& place = kPlaces[m_choice];
    m_kind = place.kind;
    m_phrase = Bilingual(place.phraseEnglish, place.phraseRussian);
    if (m_kind == CPoiQuery::KIND_SCREEN) {
        Wizard().m_sch8.m_typeName = kAllTypes;
        GoTo(SCH_PAGE_TYPE);
        return;
    }
    Wizard().m_sch7.m_size = m_kind == CPoiQuery::KIND_ALONG_ROUTE ? 500 : 200;
    GoTo(SCH_PAGE_SIZE);
}

void CWizardSch6::OnBack() { GoTo(SCH_PAGE_KIND); }

// ------------------------------------------------------------------ 7: the size

CWizardSch7::CWizardSch7()
    : CWizardSearchPage(IDD_WIZARD_SCH7)
{
}

void CWizardSch7::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    auto* row = new QHBoxLayout;
    row->setSpacing(DialogSpacing());
    auto* sizes = AddControl<QComboBox>(IDC_SCH_COMBO, this);
    StyleTouchControl(sizes);
    sizes->setMaxVisibleItems(8);
    row->addWidget(sizes, 1);
    row->addWidget(AddControl<QLabel>(IDC_SCH_UNIT, this));
    content->addLayout(row);
    AddText(content);
    content->addStretch(1);
}

bool CWizardSch7::OnInitDialog()
{
    CWizardSearchPage::OnInitDialog();
    SetDlgItemText(IDC_SCH_UNIT, Bilingual(u"m", u"м"));
    return true;
}

bool CWizardSch7::OnSetActive()
{
    const CWizardSch6& place = Wizard().m_sch6;
    const bool corridor = IsCorridorKind(place.m_kind);
    auto* sizes = GetDlgItemAs<QComboBox>(IDC_SCH_COMBO);
    const int fits = corridor ? 45 : 54;
    if (sizes->count() == 0 || sizes->count() != fits) {
        FillPoiSizeCombo(sizes, corridor, m_size);
        SetDlgItemText(IDC_SCH_TEXT,
            corridor
                ? Bilingual(u"Enter a width of route passage. It is a width of strip along the route inside "
                            u"which you should find an object.",
                    u"Введите ширину коридора маршрута - это будет ширина полосы вдоль маршрута, "
                    u"внутри которой Вам необходимо найти объект.")
                : Bilingual(u"Enter a distance to the selected point. It will be a side length of the "
                            u"square inside that you should find an object.",
                    u"Введите расстояние от выбранной точки - это будет длина стороны квадрата, "
                    u"внутри которого Вам необходимо найти объект."));
    }
    int select = sizes->count() - 1;
    for (int i = 0; i < sizes->count(); ++i)
        if (static_cast<uint32_t>(sizes->itemData(i).toInt()) >= static_cast<uint32_t>(m_size)) {
            select = i;
            break;
        }
    sizes->setCurrentIndex(select);
    SetTitleAndShift(Label(GetDlgItem(IDC_WIZARD_TITLE)), GetDlgItem(IDC_SCH_COMBO),
        Bilingual(u"Searching POI %1.", u"Поиск объектов %1.").arg(place.m_phrase));
    return CWizardSearchPage::OnSetActive();
}

void CWizardSch7::OnNext()
{
    auto* sizes = GetDlgItemAs<QComboBox>(IDC_SCH_COMBO);
    if (sizes->currentIndex() < 0)
        return;
    m_size = sizes->currentData().toInt();
    Wizard().m_sch8.m_typeName = kAllTypes;
    GoTo(SCH_PAGE_TYPE);
}

void CWizardSch7::OnBack() { GoTo(SCH_PAGE_PLACE); }

// ------------------------------------------------------------------ 8: the type

CWizardSch8::CWizardSch8()
    : CWizardSearchPage(IDD_WIZARD_SCH8)
{
}

void CWizardSch8::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    auto* types = AddControl<QComboBox>(IDC_SCH_COMBO, this);
    StyleTouchControl(types);
    types->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    types->setMinimumContentsLength(8);
    types->setMaxVisibleItems(8);
    content->addWidget(types);
    AddText(content);
    content->addStretch(1);
}

bool CWizardSch8::OnInitDialog()
{
    CWizardSearchPage::OnInitDialog();
    SetDlgItemText(
        IDC_SCH_TEXT, Bilingual(u"Select a type of POI to be found.", u"Определите тип искомого объекта."));
    auto* types = GetDlgItemAs<QComboBox>(IDC_SCH_COMBO);
    if (CPoiQuery* query = Query())
        types->addItems(query->GetCategoryNames());
    return true;
}

bool CWizardSch8::OnSetActive()
{
    auto* types = GetDlgItemAs<QComboBox>(IDC_SCH_COMBO);
    for (int i = 0; i < types->count(); ++i)
        if (types->itemText(i).startsWith(m_typeName)) {
            types->setCurrentIndex(i);
            break;
        }
    const CWizardSch6& place = Wizard().m_sch6;
    QString title;
    if (place.m_kind == CPoiQuery::KIND_SCREEN)
        title = Bilingual(u"Searching POI %1.", u"Поиск объектов %1.").arg(place.m_phrase);
    else if (IsCorridorKind(place.m_kind))
        title = Bilingual(u"Searching POI %1 with a passage width of %2 meters.",
            u"Поиск объектов %1 с шириной коридора %2 метров.")
                    .arg(place.m_phrase)
                    .arg(Wizard().m_sch7.m_size);
    else
        title = Bilingual(u"Searching POI %1 in square with a side of %2 meters.",
            u"Поиск объектов %1 в квадрате со стороной %2 метров.")
                    .arg(place.m_phrase)
                    .arg(Wizard().m_sch7.m_size);
    SetTitleAndShift(Label(GetDlgItem(IDC_WIZARD_TITLE)), GetDlgItem(IDC_SCH_COMBO), title);
    return CWizardSearchPage::OnSetActive();
}

void CWizardSch8::OnNext()
{
    m_typeName = GetDlgItemAs<QComboBox>(IDC_SCH_COMBO)->currentText();
    GoTo(SCH_PAGE_RESULT);
}

void CWizardSch8::OnBack()
{
    GoTo(Wizard().m_sch6.m_kind == CPoiQuery::KIND_SCREEN ? SCH_PAGE_PLACE : SCH_PAGE_SIZE);
}

// ------------------------------------------------------------------ the wizard

CWizardSearch::CWizardSearch(const QString& caption, QWidget* parent, int startPage)
    : CWizardSheet(caption, parent, startPage)
{
    AddPage(&m_sch1);
    AddPage(&m_sch2);
    AddPage(&m_sch3);
    AddPage(&m_sch4);
    AddPage(&m_sch6);
    AddPage(&m_sch7);
    AddPage(&m_sch8);
}

CWizardSearch::~CWizardSearch() = default;
