#include "settings/toolbar_pages.h"

#include "controls/bitmap_element.h"
#include "controls/button_bar.h"
#include "controls/command_registry.h"
#include "controls/diagram_button.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <functional>

using namespace settings_layout;

namespace {

// A drop-down list that says when its list opens.
class CDropDownList : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> onDropDown;
    void showPopup() override
    {
        if (onDropDown)
            onDropDown();
        QComboBox::showPopup();
    }
};

// The bar states of the appearance entries in their order.
constexpr int32_t kAppearanceStates[]
    = { CButtonBar::BAR_SHOWN, CButtonBar::BAR_ON_DEMAND, CButtonBar::BAR_HIDDEN };

} // namespace

// Toolbars.

CPageToolbars::CPageToolbars()
    : CPropertyPage(IDD_PAGE_TOOLBARS)
{
}

CButtonBar& CPageToolbars::Bar() const
{
    return m_barKind == KIND_TOP ? g_MapController->GetTopButtonBar() : g_MapController->GetBottomButtonBar();
}

QTreeWidget* CPageToolbars::Commands() const { return GetDlgItemAs<QTreeWidget>(IDC_TOOLBAR_COMMANDS); }

void CPageToolbars::CreateControls()
{
    QVBoxLayout* column = FixedColumn(this);
    QVBoxLayout* appearance = AddGroup(*this, IDC_TOOLBAR_APPEARANCE_GROUP, this, column);
    Add<QComboBox>(*this, IDC_TOOLBAR_APPEARANCE, this, appearance);
    QVBoxLayout* button = AddGroup(*this, IDC_TOOLBAR_BUTTON_GROUP, this, column);
    Add<CDropDownList>(*this, IDC_TOOLBAR_BUTTON, this, button)->onDropDown = [this] { ApplyToBar(); };
    QTreeWidget* list = AddReportList(*this, IDC_TOOLBAR_COMMANDS, this, column);
    QObject::connect(
        list, &QTreeWidget::itemClicked, list, [this](QTreeWidgetItem* row) { OnClickCommand(row); });
    QObject::connect(list->header(), &QHeaderView::sectionClicked, list, [this](int c) {
        if (QTreeWidgetItem* row = FindRowByData(Commands(), m_command))
            row->setSelected(false);
        m_sorter.OnColumnClick(c);
        Highlight();
    });
}

bool CPageToolbars::OnInitDialog()
{
    SetDlgItemText(
        IDC_TOOLBAR_APPEARANCE_GROUP, Bilingual(u"Toolbar's appearance", u"Появление панелей инструментов"));
    SetDlgItemText(IDC_TOOLBAR_BUTTON_GROUP,
        Bilingual(u"Button's number (from left to right)", u"Номера кнопок (слева направо)"));
    QComboBox* buttons = Combo(*this, IDC_TOOLBAR_BUTTON);
    buttons->clear();
    for (int i = 1; i <= CButtonBar::kButtonCount; ++i)
        buttons->addItem(QStringLiteral("%1 %2").arg(Bilingual(u"Button", u"Кнопка")).arg(i));
    SetCurSel(IDC_TOOLBAR_BUTTON, 0);

    QComboBox* appearance = Combo(*this, IDC_TOOLBAR_APPEARANCE);
    appearance->clear();
    appearance->addItem(Bilingual(u"Show always", u"Показывать всегда"));
    appearance->addItem(Bilingual(u"Show on click", u"Показывать после клика"));
    if (m_barKind == KIND_TOP)
        appearance->addItem(Bilingual(u"Hide", u"Скрыть"));
    const int32_t state = Bar().GetBarState();
    int entry = -1;
    for (int i = 0; i < appearance->count(); ++i) {
        if (kAppearanceStates[i] == state)
            entry = i;
    }
    SetCurSel(IDC_TOOLBAR_APPEARANCE, entry);

    QTreeWidget* list = Commands();
    SetAssignmentColumns(list);
    m_images = std::make_unique<CImageList>(GetIconSizeForResolution());
    g_CommandRegistry->FillImageList(*m_images);
    list->setIconSize(QSize(m_images->IconSize(), m_images->IconSize()));
    g_CommandRegistry->FillListView(list, m_images.get());
    m_sorter.Create(list, &g_listStates[LIST_TOOLBAR_COMMANDS], m_images.get(),
        [](int a, int b, int) { return CCommandRegistry::CompareCommandNames(uint32_t(a), uint32_t(b), 0); });
    m_sorter.Reapply();
    OnSelChangeButton();
    return true;
}

void CPageToolbars::Highlight()
{
    QTreeWidget* list = Commands();
    if (QTreeWidgetItem* row = FindRowByData(list, m_command)) {
        list->setCurrentItem(row);
        row->setSelected(true);
        list->scrollToItem(row);
    }
}

void CPageToolbars::OnSelChangeButton()
{
    if (QTreeWidgetItem* row = FindRowByData(Commands(), m_command))
        row->setSelected(false);
    m_command = Bar().GetButtonCommand(GetCurSel(IDC_TOOLBAR_BUTTON));
    if (!FindRowByData(Commands(), m_command))
        m_command = -1;
    Highlight();
}

void CPageToolbars::OnClickCommand(QTreeWidgetItem* row)
{
    if (!row)
        return;
    if (QTreeWidgetItem* old = FindRowByData(Commands(), m_command))
        old->setSelected(false);
    m_command = RowData(row);
    row->setSelected(true);
    ApplyToBar();
}

void CPageToolbars::ApplyToBar()
{
    CButtonBar& bar = Bar();
    const int entry = GetCurSel(IDC_TOOLBAR_APPEARANCE);
    if (entry >= 0 && entry < int(std::size(kAppearanceStates)))
        bar.SetBarState(kAppearanceStates[entry]);
    const int button = GetCurSel(IDC_TOOLBAR_BUTTON);
    if (m_command >= 0 && button >= 0)
        bar.SetButtonCommand(button, m_command);
}

bool CPageToolbars::OnCommand(int id, int code)
{
    if (code == CBN_SELCHANGE && id == IDC_TOOLBAR_BUTTON) {
        OnSelChangeButton();
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageToolbars::OnOK()
{
    ApplyToBar();
    CPropertyPage::OnOK();
}

// Other.

CPageOther::CPageOther()
    : CPropertyPage(IDD_PAGE_OTHER)
{
    CMapController& controller = *g_MapController;
    m_centreMarker = controller.GetCentreMarkerShown() ? 1 : 0;
    CBitmapElement* bracket = controller.GetScaleBarElement();
    m_scaleBracket = bracket && bracket->GetState() ? 1 : 0;
    CDiagramButton* diagram = controller.GetWidgetSet();
    m_diagram = diagram && diagram->GetState() ? 1 : 0;
    m_tooltips = g_buttonTooltips ? 1 : 0;
}

void CPageOther::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    for (const int id :
        { IDC_OTHER_CENTRE_MARKER, IDC_OTHER_SCALE_BRACKET, IDC_OTHER_DIAGRAM, IDC_OTHER_TOOLTIPS })
        Add<CWrapCheckBox>(*this, id, this, column);
    column->addStretch(1);
}

bool CPageOther::OnInitDialog()
{
    SetDlgItemText(IDC_OTHER_CENTRE_MARKER,
        Bilingual(u"Show compass and rhomb at screen center", u"Стрелка компаса и ромб в центре экрана"));
    SetDlgItemText(IDC_OTHER_SCALE_BRACKET, Bilingual(u"Scale bracket", u"Масштабная скобка"));
    SetDlgItemText(IDC_OTHER_DIAGRAM, Bilingual(u"Diagram", u"Диаграмма"));
    SetDlgItemText(IDC_OTHER_TOOLTIPS, Bilingual(u"Button tooltip", u"Подсказка для кнопок"));
    return CPropertyPage::OnInitDialog();
}

bool CPageOther::DoDataExchange(bool save)
{
    const std::pair<int, int32_t*> boxes[]
        = { { IDC_OTHER_CENTRE_MARKER, &m_centreMarker }, { IDC_OTHER_SCALE_BRACKET, &m_scaleBracket },
              { IDC_OTHER_DIAGRAM, &m_diagram }, { IDC_OTHER_TOOLTIPS, &m_tooltips } };
    for (const auto& [id, value] : boxes) {
        if (save)
            *value = IsDlgButtonChecked(id) ? 1 : 0;
        else
            CheckDlgButton(id, *value != 0);
    }
    return true;
}

void CPageOther::OnOK()
{
    CPropertyPage::OnOK();
    CMapController& controller = *g_MapController;
    controller.SetCentreMarkerShown(m_centreMarker != 0);
    if (CBitmapElement* bracket = controller.GetScaleBarElement())
        bracket->SetState(m_scaleBracket);
    if (CDiagramButton* diagram = controller.GetWidgetSet())
        diagram->SetState(m_diagram);
    controller.LayoutElements();
    g_buttonTooltips = m_tooltips;
}
