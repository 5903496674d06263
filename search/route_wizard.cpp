#include "search/route_wizard.h"

#include "app/launcher.h"
#include "app/modal_windows.h"
#include "foundation/app_services.h"
#include "foundation/dialog_templates.h"
#include "foundation/language.h"
#include "gps/gps_fix.h"
#include "kernel/api/types.h"
#include "nav/map_controller.h"
#include "nav/route.h"
#include "nav/route_manager.h"
#include "platform/message_box.h"
#include "settings/settings_record.h"
#include "ui/dialog_style.h"
#include "ui/wrap_check_box.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace {

constexpr int kFinishPoint = 3;

CRoute& Route() { return g_MapController->GetRouteManager().GetRoute(); }

QLabel* AddText(ControlHost& host, QWidget* page, QBoxLayout* into)
{
    auto* text = host.AddControl<QLabel>(IDC_ROUTE_WIZARD_TEXT, page);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    into->addWidget(text);
    return text;
}

} // namespace

QString RoutePointOrdinal(int n)
{
    static const char16_t* const english[] = { u"first", u"second", u"third", u"last" };
    static const char16_t* const russian[] = { u"первой", u"второй", u"третьей", u"последней" };
    n = std::clamp(n, 0, kFinishPoint);
    return Bilingual(english[n], russian[n]);
}

CWizardRoutePage::CWizardRoutePage(int templateId)
    : CWizardPage(templateId)
{
}

CWizardRoute& CWizardRoutePage::Wizard() const { return *static_cast<CWizardRoute*>(GetWizard()); }

// Page 1: what the wizard does; delete the route or build the way back.

CWizardRt1::CWizardRt1()
    : CWizardRoutePage(GetOrientedDialogId(IDD_WIZARD_RT1))
{
}

void CWizardRt1::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    AddText(*this, this, content);
    for (const int id : { IDC_ROUTE_WIZARD_DELETE, IDC_ROUTE_WIZARD_BACK_ROUTE }) {
        auto* button = AddControl<QPushButton>(id, this);
        StyleTouchControl(button);
        content->addWidget(button);
    }
    content->addStretch(1);
}

bool CWizardRt1::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    SetTitleAndShift(GetDlgItemAs<QLabel>(IDC_WIZARD_TITLE), GetDlgItem(IDC_ROUTE_WIZARD_TEXT),
        Bilingual(u"Wizard of step-by-step creating a route.", u"Мастер пошаговой прокладки маршрута."));
    SetDlgItemText(IDC_ROUTE_WIZARD_TEXT,
        Bilingual(u"Here, you can create a route. For a successfull work, please, follow the Wizard's "
                  u"recommendations.\nTo continue, tap  the \"Next >\" button. \"Cancel\" - close Wizard.",
            u"Здесь Вы сможете проложить маршрут. Выполняйте указания мастера для успешной работы.\nДля "
            u"продолжения нажмите \"Далее  >\". \"Отмена\" - выход из мастера."));
    SetDlgItemText(IDC_ROUTE_WIZARD_DELETE,
        Bilingual(u"Delete the route and leave the wizard", u"Удалить маршрут и выйти из мастера"));
    SetDlgItemText(IDC_ROUTE_WIZARD_BACK_ROUTE,
        Bilingual(
            u"Create back route and leave the wizard", u"Проложить обратный маршрут и выйти из мастера"));
    EnableDlgItem(IDC_WIZARD_BACK, false);
    return true;
}

bool CWizardRt1::OnSetActive()
{
    const bool built = g_MapController->GetRouteManager().HasRoute() != 0;
    EnableDlgItem(IDC_ROUTE_WIZARD_DELETE, built);
    EnableDlgItem(IDC_ROUTE_WIZARD_BACK_ROUTE, built);
    return CWizardPage::OnSetActive();
}

void CWizardRt1::OnNext()
{
    if (const int32_t result = Route().StartWizard(); result != 0) {
        g_MapController->ReportRouteResult(result);
        Wizard().Finish(platform::IDCANCEL);
        return;
    }
    Wizard().SetWizardActive(true);
    Wizard().SetActivePage(1);
}

bool CWizardRt1::OnButton(int id)
{
    if (id != IDC_ROUTE_WIZARD_DELETE && id != IDC_ROUTE_WIZARD_BACK_ROUTE)
        return false;
    Wizard().Finish(id);
    return true;
}

// Page 2: how point n is given.

CWizardRt2::CWizardRt2()
    : CWizardRoutePage(GetOrientedDialogId(IDD_WIZARD_RT2))
{
}

void CWizardRt2::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    for (int id = IDC_ROUTE_WIZARD_STYLUS; id <= IDC_ROUTE_WIZARD_DEFINED; ++id) {
        auto* radio = AddControl<CWrapRadioButton>(id, this);
        StyleTouchControl(radio);
        content->addWidget(radio);
    }
    AddText(*this, this, content);
    content->addStretch(1);
}

bool CWizardRt2::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    m_n = 0;
    m_previous = 0;
    const struct {
        int id;
        const char16_t* en;
        const char16_t* ru;
    } radios[] = {
        { IDC_ROUTE_WIZARD_STYLUS, u"With stylus on map", u"При помощи пера на карте" },
        { IDC_ROUTE_WIZARD_ADDRESS, u"With address searching", u"При помощи адресного поиска" },
        { IDC_ROUTE_WIZARD_POSITION, u"Current position", u"Текущая позиция" },
        { IDC_ROUTE_WIZARD_NOT_INCLUDE, u"Not include", u"Не включать" },
        { IDC_ROUTE_WIZARD_DEFINED, u"The value was defined ealier", u"Ранее указанная точка маршрута" },
    };
    for (const auto& radio : radios)
        SetDlgItemText(radio.id, Bilingual(radio.en, radio.ru));
    SetDlgItemText(IDC_ROUTE_WIZARD_TEXT,
        Bilingual(u"Choose the path to create the route point and press the \"Next  >\" button to find the "
                  u"point.",
            u"Выберите способ указания точки маршрута и нажмите \"Далее  >\" для ее нахождения."));
    return true;
}

bool CWizardRt2::OnSetActive()
{
    Refresh();
    return CWizardPage::OnSetActive();
}

void CWizardRt2::Select(int32_t choice)
{
    m_choice = choice;
    for (int id = IDC_ROUTE_WIZARD_STYLUS; id <= IDC_ROUTE_WIZARD_DEFINED; ++id)
        CheckDlgButton(id, id - IDC_ROUTE_WIZARD_STYLUS == choice);
}

bool CWizardRt2::CurrentPosition(MapPoint& out)
{
    // Only a fix the receiver calls valid: the position kept from before
    // the satellites were lost is not where the car is. The tick keeps
    // polling the source while the wizard is in use, so the map position
    // is the car's now.
    if (!CopyCurrentGpsFix().IsValidFix())
        return false;
    return GetGpsMapPosition(true, out);
}

void CWizardRt2::Refresh()
{
    SetTitleAndShift(GetDlgItemAs<QLabel>(IDC_WIZARD_TITLE), GetDlgItem(IDC_ROUTE_WIZARD_STYLUS),
        Bilingual(u"The %1 route point definition.", u"Определение %1 точки маршрута.")
            .arg(RoutePointOrdinal(m_n)));
    if (Route().IsWizardPointSet(m_n)) {
        GetDlgItem(IDC_ROUTE_WIZARD_DEFINED)->show();
        EnableDlgItem(IDC_ROUTE_WIZARD_NOT_INCLUDE, m_n == 1 || m_n == 2);
        Select(CHOICE_DEFINED);
    } else {
        EnableDlgItem(IDC_ROUTE_WIZARD_NOT_INCLUDE, m_n == 1 || m_n == 2);
        Select(m_n == 0 ? CHOICE_POSITION : m_n == kFinishPoint ? CHOICE_STYLUS : CHOICE_NOT_INCLUDE);
        GetDlgItem(IDC_ROUTE_WIZARD_DEFINED)->hide();
    }
    MapPoint position;
    const bool hasPosition = CurrentPosition(position);
    EnableDlgItem(IDC_ROUTE_WIZARD_POSITION, hasPosition);
    if (!hasPosition && m_choice == CHOICE_POSITION)
        Select(CHOICE_STYLUS);
    Wizard().EnsureFullScreen();
}

void CWizardRt2::OnNext()
{
    switch (m_choice) {
    case CHOICE_STYLUS:
        Wizard().m_page3.SetMode(CWizardRt3::MODE_PICK);
        Wizard().SetWizardActive(true);
        Wizard().SetActivePage(2);
        return;
    case CHOICE_ADDRESS: {
        Route().ClearWizardPoint(m_n);
        ZXS_Point found { kUnsetCoordinate, kUnsetCoordinate };
        const int end = CLauncher::SearchWizard(1, &found);
        if (end == IDC_WIZARD_NEXT) {
            const MapPoint p { found.x, found.y };
            if (IsSetMapPoint(p))
                ApplyPoint(&p);
            else
                Refresh();
        } else if (end == IDC_WIZARD_BACK) {
            Refresh();
        } else {
            Wizard().Finish(platform::IDCANCEL);
        }
        return;
    }
    case CHOICE_POSITION: {
        MapPoint position;
        if (!CurrentPosition(position)) {
            AppMessageBox(this,
                Bilingual(u"There isn't enouph information to define the point. GPS-receiver isn't connected "
                          u"up to Pocket PC or there isn't enough satellites in view.",
                    u"Недостаточно информации для указания точки маршрута. GPS-приемник не подключен к КПК "
                    u"или видит недостаточно спутников."),
                AppTitle(), platform::MB_OK | platform::MB_ICONINFORMATION);
            EnableDlgItem(IDC_ROUTE_WIZARD_POSITION, false);
            Select(CHOICE_STYLUS);
            return;
        }
        ApplyPoint(&position);
        return;
    }
    case CHOICE_NOT_INCLUDE: {
        const MapPoint none { kUnsetCoordinate, kUnsetCoordinate };
        ApplyPoint(&none);
        return;
    }
    default:
        ApplyPoint(nullptr);
        return;
    }
}

void CWizardRt2::ApplyPoint(const MapPoint* point)
{
    int32_t result = 0;
    if (point && !IsSetMapPoint(*point))
        Route().ClearWizardPoint(m_n); // none: nothing to route to
    else
        result = Route().SetWizardPoint(point, m_n);
    CWizardRoute& wizard = Wizard();
    if (result != 0) {
        g_MapController->ReportRouteResult(result);
        wizard.ShowPage(1);
        return;
    }
    if (m_n == kFinishPoint) {
        wizard.m_page3.SetMode(CWizardRt3::MODE_FINAL);
        wizard.SetWizardActive(false);
        wizard.ShowPage(2);
        return;
    }
    m_previous = m_n;
    m_n = (m_n != 0 && m_choice == CHOICE_NOT_INCLUDE) ? kFinishPoint : m_n + 1;
    wizard.ShowPage(1);
}

void CWizardRt2::OnBack()
{
    if (m_n > 0) {
        m_n = std::min<uint8_t>(m_previous, static_cast<uint8_t>(m_n - 1));
        Refresh();
        return;
    }
    Wizard().SetActivePage(0);
}

bool CWizardRt2::OnButton(int id)
{
    if (id < IDC_ROUTE_WIZARD_STYLUS || id > IDC_ROUTE_WIZARD_DEFINED)
        return false;
    m_choice = id - IDC_ROUTE_WIZARD_STYLUS;
    return true;
}

// Page 3: a point picked on the map, or the end.

CWizardRt3::CWizardRt3()
    : CWizardRoutePage(GetOrientedDialogId(IDD_WIZARD_RT3))
{
}

void CWizardRt3::CreateControls()
{
    QBoxLayout* content = CreateWizardLayout();
    AddText(*this, this, content);
    auto* box = AddControl<CWrapCheckBox>(IDC_ROUTE_WIZARD_MOVING_MODE, this);
    StyleTouchControl(box);
    content->addWidget(box);
    content->addStretch(1);
}

bool CWizardRt3::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    SetDlgItemText(IDC_ROUTE_WIZARD_MOVING_MODE,
        Bilingual(u"Switch moving mode on after the route will be successfully created",
            u"Включить режим движения, после того, как маршрут будет успешно проложен"));
    CheckDlgButton(IDC_ROUTE_WIZARD_MOVING_MODE, g_movingModeAfterRoute.load() != 0);
    return true;
}

bool CWizardRt3::OnSetActive()
{
    auto* title = GetDlgItemAs<QLabel>(IDC_WIZARD_TITLE);
    QWidget* text = GetDlgItem(IDC_ROUTE_WIZARD_TEXT);
    if (m_mode == MODE_FINAL) {
        SetDlgItemText(IDC_WIZARD_NEXT, Bilingual(u"Finish", u"Готово"));
        SetTitleAndShift(title, text, Bilingual(u"Creating the route.", u"Создание маршрута."));
        SetDlgItemText(IDC_ROUTE_WIZARD_TEXT,
            Bilingual(u"The points are correctly defined. To create a route between them push the \"Finish\" "
                      u"button.",
                u"Точки маршрута указаны корректно. Для того, чтобы соединить эти точки маршрутом нажмите "
                u"кнопку \"Готово\"."));
        GetDlgItem(IDC_ROUTE_WIZARD_MOVING_MODE)->show();
    } else {
        GetDlgItem(IDC_ROUTE_WIZARD_MOVING_MODE)->hide();
        SetDlgItemText(IDC_WIZARD_NEXT, Bilingual(u"Next  >", u"Далее  >"));
        SetTitleAndShift(title, text,
            Bilingual(u"The %1 route point definition with clicking on the map.",
                u"Определение %1 точки маршрута путем указания точки на карте.")
                .arg(RoutePointOrdinal(Wizard().m_page2.GetPointNumber())));
        SetDlgItemText(IDC_ROUTE_WIZARD_TEXT,
            Bilingual(
                u"After clicking the \"Next  >\" button, a map will be shown that you'll can scroll and "
                u"zoom with the joystick and hardware buttons of your Pocket PC. The first click on the "
                u"map yields a route point to be chosen.",
                u"После нажатия на кнопку \"Далее  >\" будет показана карта, которую Вы сможете перемещать и "
                u"менять масштаб при помощи джойстика и аппаратных кнопок Вашего КПК. Первое нажатие пером "
                u"на "
                u"карту приведет к выбору точки маршрута."));
    }
    return CWizardPage::OnSetActive();
}

void CWizardRt3::OnNext()
{
    if (m_mode == MODE_FINAL) {
        g_movingModeAfterRoute = IsDlgButtonChecked(IDC_ROUTE_WIZARD_MOVING_MODE) ? 1 : 0;
        Wizard().Finish(IDC_WIZARD_NEXT);
    } else {
        Wizard().PickOnMap();
    }
}

void CWizardRt3::OnBack() { Wizard().SetActivePage(1); }

// The sheet.

CWizardRoute::CWizardRoute(const QString& caption, QWidget* parent, int startPage)
    : CWizardSheet(caption, parent, startPage)
{
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    m_routeExisted = g_MapController->GetRouteManager().HasRoute() != 0 ? 1 : 0;
}

CWizardRoute::~CWizardRoute()
{
    RestoreTapMode();
    if (m_tickEnable == 0)
        SetRouteWizardInUse(false);
}

bool CWizardRoute::OnInitDialog()
{
    const bool result = CWizardSheet::OnInitDialog();
    m_savedTapMode = g_MapController->GetTapMode();
    m_tickEnable = 1;
    m_routeExisted = g_MapController->GetRouteManager().HasRoute() != 0 ? 1 : 0;
    return result;
}

void CWizardRoute::RestoreTapMode()
{
    if (m_savedTapMode != 0 && g_MapController)
        g_MapController->SetTapMode(m_savedTapMode);
}

int CWizardRoute::SetWizardActive(bool active)
{
    if (active) {
        if (m_tickEnable == 0 && m_routeExisted == 0)
            return 0;
        m_tickEnable = 0;
        if (m_routeExisted != 0) {
            // The old route's line goes from the map while the new one is set up.
            g_MapController->SetRedrawFlag(1);
            m_routeExisted = 0;
        }
        SetRouteWizardInUse(true);
        return 1;
    }
    if (m_tickEnable != 0)
        return 0;
    m_tickEnable = 1;
    SetRouteWizardInUse(false);
    return 1;
}

void CWizardRoute::ShowPage(int index)
{
    if (GetActiveIndex() == index)
        GetPage(index)->OnSetActive();
    else
        SetActivePage(index);
}

void CWizardRoute::PickOnMap()
{
    g_MapController->SetTapMode(TAP_FIRST_POINT);
    Route().ClearWizardPoint(m_page2.GetPointNumber());
    m_picking = true;
    CLauncher::RouteWizard(ROUTE_WIZARD_HIDE, nullptr);
}

void CWizardRoute::OnMapPicked(const MapPoint& point)
{
    if (!m_picking)
        return;
    m_picking = false;
    m_page2.ApplyPoint(&point);
}

void CWizardRoute::Finish(int id)
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_picking = false;
    RestoreTapMode();
    SetWizardActive(false);
    CLauncher::RouteWizard(ROUTE_WIZARD_HIDE, nullptr);
    const int code = id == IDC_WIZARD_NEXT  ? 1
        : id == IDC_ROUTE_WIZARD_DELETE     ? 2
        : id == IDC_ROUTE_WIZARD_BACK_ROUTE ? 3
                                            : 0;
    Route().EndWizard(code);
    EndDialog(id);
    CLauncher::RouteWizard(ROUTE_WIZARD_CLOSE, nullptr);
    RestoreTapMode();
}
