#include "settings/transparent_button_pages.h"

#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/transp_buttons_layout_dlg.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace settings_layout;

namespace {

struct BrightnessRow {
    int group, on, slider, percent;
    const char16_t* english;
    const char16_t* russian;
};

const BrightnessRow kRows[] = {
    { IDC_BRIGHTNESS_GRID_GROUP, IDC_BRIGHTNESS_GRID_ON, IDC_BRIGHTNESS_GRID, IDC_BRIGHTNESS_GRID_PERCENT,
        u"Brightness of the grid", u"Яркость сетки" },
    { IDC_BRIGHTNESS_ICONS_GROUP, IDC_BRIGHTNESS_ICONS_ON, IDC_BRIGHTNESS_ICONS, IDC_BRIGHTNESS_ICONS_PERCENT,
        u"Brightness of icons", u"Яркость иконок" },
    { IDC_BRIGHTNESS_BACKGROUND_GROUP, IDC_BRIGHTNESS_BACKGROUND_ON, IDC_BRIGHTNESS_BACKGROUND,
        IDC_BRIGHTNESS_BACKGROUND_PERCENT, u"Brightness of the background", u"Яркость фона" },
};

} // namespace

QString BrightnessPercent(int position)
{
    return QString::asprintf("%d%c", int(position * 0.3921568627450981), '%');
}

// Brightness.

CPageBrightness::CPageBrightness()
    : CPropertyPage(IDD_PAGE_BRIGHTNESS)
{
}

void CPageBrightness::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    for (const BrightnessRow& row : kRows) {
        QHBoxLayout* line = AddRow(AddGroup(*this, row.group, this, column));
        Add<QCheckBox>(*this, row.on, this, line);
        auto* slider = Add<QSlider>(*this, row.slider, this, line, 1);
        slider->setOrientation(Qt::Horizontal);
        QObject::connect(slider, &QSlider::valueChanged, slider, [this] { ShowPercentages(); });
        auto* percent = AddControl<QLabel>(row.percent, this);
        // Room for "100%" whatever the position shows.
        percent->setMinimumWidth(percent->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
        percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        line->addWidget(percent);
    }
    Add<CWrapCheckBox>(*this, IDC_BRIGHTNESS_NAMES, this, column);
    column->addStretch(1);
}

bool CPageBrightness::OnSetActive()
{
    for (const BrightnessRow& row : kRows) {
        SetDlgItemText(row.group, Bilingual(row.english, row.russian));
        SetDlgItemText(row.on, Bilingual(u"On", u"Вкл."));
        GetDlgItemAs<QSlider>(row.slider)->setRange(0, 255);
    }
    SetDlgItemText(IDC_BRIGHTNESS_NAMES, Bilingual(u"Show button names", u"Показывать названия"));
    // The panel's values again: slider moves not confirmed with OK are dropped.
    CScreenButtonFolders& panel = GetTransparentButtonRoot();
    GetDlgItemAs<QSlider>(IDC_BRIGHTNESS_GRID)->setValue(panel.GetGridAlpha());
    GetDlgItemAs<QSlider>(IDC_BRIGHTNESS_ICONS)->setValue(panel.GetAlpha());
    GetDlgItemAs<QSlider>(IDC_BRIGHTNESS_BACKGROUND)->setValue(panel.GetBackgroundAlpha());
    CheckDlgButton(IDC_BRIGHTNESS_GRID_ON, panel.GetGridShown() != 0);
    CheckDlgButton(IDC_BRIGHTNESS_ICONS_ON, panel.GetIconsShown() != 0);
    CheckDlgButton(IDC_BRIGHTNESS_BACKGROUND_ON, panel.GetBackgroundShown() != 0);
    CheckDlgButton(IDC_BRIGHTNESS_NAMES, panel.GetShowCaptions() != 0);
    EnableSliders();
    ShowPercentages();
    return CPropertyPage::OnSetActive();
}

void CPageBrightness::EnableSliders()
{
    for (const BrightnessRow& row : kRows)
        EnableDlgItem(row.slider, IsDlgButtonChecked(row.on));
}

void CPageBrightness::ShowPercentages()
{
    for (const BrightnessRow& row : kRows) {
        if (auto* slider = GetDlgItemAs<QSlider>(row.slider))
            SetDlgItemText(row.percent, BrightnessPercent(slider->value()));
    }
}

bool CPageBrightness::OnCommand(int id, int code)
{
    if (code == BN_CLICKED) {
        if (id == IDC_BRIGHTNESS_NAMES) {
            // The names switch at the tap and stay when the sheet is cancelled.
            CScreenButtonFolders& panel = GetTransparentButtonRoot();
            panel.SetShowCaptions(panel.GetShowCaptions() ? 0 : 1);
            CheckDlgButton(IDC_BRIGHTNESS_NAMES, panel.GetShowCaptions() != 0);
            return true;
        }
        for (const BrightnessRow& row : kRows) {
            if (id == row.on) {
                EnableDlgItem(row.slider, IsDlgButtonChecked(row.on));
                return true;
            }
        }
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageBrightness::OnOK()
{
    CScreenButtonFolders& panel = GetTransparentButtonRoot();
    panel.SetGridAlpha(GetDlgItemAs<QSlider>(IDC_BRIGHTNESS_GRID)->value() & 0xFF);
    panel.SetAlpha(unsigned(GetDlgItemAs<QSlider>(IDC_BRIGHTNESS_ICONS)->value()) & 0xFF);
    panel.SetBackgroundAlpha(GetDlgItemAs<QSlider>(IDC_BRIGHTNESS_BACKGROUND)->value() & 0xFF);
    panel.SetGridShown(IsDlgButtonChecked(IDC_BRIGHTNESS_GRID_ON) ? 1 : 0);
    panel.SetIconsShown(IsDlgButtonChecked(IDC_BRIGHTNESS_ICONS_ON) ? 1 : 0);
    panel.SetBackgroundShown(IsDlgButtonChecked(IDC_BRIGHTNESS_BACKGROUND_ON) ? 1 : 0);
    CPropertyPage::OnOK();
}

// Button values.

namespace {

// A button node's folder and button; the root carries neither.
constexpr int kFolderRole = Qt::UserRole + 1;
constexpr int kButtonRole = Qt::UserRole + 2;

constexpr int kFolderImage = kAssignableCommandCount; // 47
constexpr int kLevelUpImage = kFolderImage + 1; // 48
constexpr int kFirstDiagramImage = kLevelUpImage + 1; // 49

QString LevelUpText() { return Bilingual(u"One level up", u"Один уровень вверх"); }

int ImageOfValue(int value)
{
    if (value == VALUE_FOLDER)
        return kFolderImage;
    if (value == VALUE_LEVEL_UP)
        return kLevelUpImage;
    if (CCommandRegistry::IsDiagram(uint32_t(value)))
        return kFirstDiagramImage + value - int(kFirstDiagram);
    return value - int(kFirstCommand);
}

} // namespace

CPageButtonValues::CPageButtonValues()
    : CPropertyPage(IDD_PAGE_BUTTON_VALUES)
{
}

QTreeWidget* CPageButtonValues::Tree() const { return GetDlgItemAs<QTreeWidget>(IDC_VALUES_TREE); }
QTreeWidget* CPageButtonValues::Values() const { return GetDlgItemAs<QTreeWidget>(IDC_VALUES_LIST); }

void CPageButtonValues::CreateControls()
{
    QVBoxLayout* column = FixedColumn(this);
    auto* tree = AddControl<QTreeWidget>(IDC_VALUES_TREE, this);
    tree->setHeaderHidden(true);
    tree->setFont(DialogFont());
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    column->addWidget(tree, 1);
    QTreeWidget* list = AddReportList(*this, IDC_VALUES_LIST, this, column);
    Add<QPushButton>(*this, IDC_VALUES_LAYOUT, this, column);
    QObject::connect(tree, &QTreeWidget::currentItemChanged, tree, [this] { OnNodeChanged(); });
    QObject::connect(
        list, &QTreeWidget::itemClicked, list, [this](QTreeWidgetItem* row) { OnClickValue(row); });
    QObject::connect(list->header(), &QHeaderView::sectionClicked, list, [this](int c) {
        Deselect(m_item);
        m_sorter.OnColumnClick(c);
        m_item = RowOfValue(m_value);
        SelectValue(m_item);
    });
}

bool CPageButtonValues::OnInitDialog()
{
    QTreeWidget* list = Values();
    SetAssignmentColumns(list);

    m_images = std::make_unique<CImageList>(GetIconSizeForResolution());
    g_CommandRegistry->FillImageList(*m_images);
    AddStoredPicture(*m_images, 746);
    AddStoredPicture(*m_images, 747);
    for (uint32_t diagram = kFirstDiagram; diagram <= kLastDiagram; ++diagram)
        AddStoredPicture(*m_images, uint32_t(g_CommandRegistry->GetImageId(diagram)));
    const QSize icon(m_images->IconSize(), m_images->IconSize());
    list->setIconSize(icon);
    Tree()->setIconSize(icon);

    g_CommandRegistry->FillListView(list, m_images.get());
    auto addRow = [&](int value, const QString& text) {
        auto* row = new QTreeWidgetItem(list); // owned by the list
        row->setText(0, text);
        row->setIcon(0, m_images->Icon(ImageOfValue(value)));
        row->setData(0, Qt::UserRole, value);
    };
    addRow(VALUE_LEVEL_UP, LevelUpText());
    addRow(VALUE_FOLDER, Bilingual(u"Folder", u"Папка"));
    for (uint32_t diagram = kFirstDiagram; diagram <= kLastDiagram; ++diagram)
        addRow(int(diagram), g_CommandRegistry->GetName(diagram));
    m_sorter.Create(list, &g_listStates[LIST_BUTTON_VALUES], m_images.get(),
        [](int a, int b, int) { return CCommandRegistry::CompareFolderItems(uint32_t(a), uint32_t(b), 0); });
    m_sorter.Reapply();
    RebuildTree();
    return true;
}

bool CPageButtonValues::OnSetActive()
{
    SetDlgItemText(IDC_VALUES_LAYOUT, Bilingual(u"Layout ...", u"Раскладка ..."));
    return CPropertyPage::OnSetActive();
}

QTreeWidgetItem* CPageButtonValues::MakeButtonNode(int folder, int button) const
{
    const CScreenButtonFolders& panel = GetTransparentButtonRoot();
    const int32_t value = panel.GetButtonCommand(folder, button);
    QString text;
    int data;
    if (value >= int32_t(kFirstCommand)) {
        text = g_CommandRegistry->GetName(uint32_t(value));
        data = value;
    } else if (value > folder) {
        text = panel.GetFolderName(value);
        data = VALUE_FOLDER;
    } else {
        text = LevelUpText();
        data = VALUE_LEVEL_UP;
    }
    auto* node = new QTreeWidgetItem({ QString::asprintf("%d: ", button) + text });
    node->setIcon(0, m_images->Icon(ImageOfValue(data)));
    node->setData(0, Qt::UserRole, data);
    node->setData(0, kFolderRole, folder);
    node->setData(0, kButtonRole, button);
    return node;
}

void CPageButtonValues::AddFolderNodes(QTreeWidgetItem* parent, int folder)
{
    const CScreenButtonFolders& panel = GetTransparentButtonRoot();
    for (int button = 0; button < CButtonFolders::kButtonsPerFolder; ++button) {
        const int32_t value = panel.GetButtonCommand(folder, button);
        if (value < 0)
            continue;
        QTreeWidgetItem* node = MakeButtonNode(folder, button);
        parent->addChild(node);
        // A sub-folder's numbers always follow its parent's.
        if (value < int32_t(kFirstCommand) && value > folder)
            AddFolderNodes(node, value);
    }
}

void CPageButtonValues::RebuildTree()
{
    QTreeWidget* tree = Tree();
    const QSignalBlocker quiet(tree);
    tree->clear();
    auto* root = new QTreeWidgetItem(tree, { Bilingual(u"Transparent buttons", u"Прозрачные кнопки") });
    root->setIcon(0, m_images->Icon(2));
    root->setData(0, Qt::UserRole, VALUE_ROOT);
    AddFolderNodes(root, 0);
    root->setExpanded(true);
}

QTreeWidgetItem* CPageButtonValues::FindButtonNode(int folder, int button) const
{
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
        const QVariant f = (*it)->data(0, kFolderRole);
        if (f.isValid() && f.toInt() == folder && (*it)->data(0, kButtonRole).toInt() == button)
            return *it;
    }
    return nullptr;
}

int CPageButtonValues::RowOfValue(int value) const
{
    QTreeWidget* list = Values();
    QTreeWidgetItem* row = FindRowByData(list, value);
    return row ? list->indexOfTopLevelItem(row) : -1;
}

void CPageButtonValues::SelectValue(int row)
{
    QTreeWidget* list = Values();
    if (QTreeWidgetItem* item = list->topLevelItem(row)) {
        item->setSelected(true);
        list->scrollToItem(item);
    }
}

void CPageButtonValues::Deselect(int row)
{
    if (QTreeWidgetItem* item = Values()->topLevelItem(row))
        item->setSelected(false);
}

void CPageButtonValues::OnNodeChanged()
{
    m_value = -1;
    Deselect(m_item);
    QTreeWidgetItem* node = Tree()->currentItem();
    m_item = node ? RowOfValue(RowData(node)) : -1;
    if (m_item < 0)
        return;
    m_value = RowData(Values()->topLevelItem(m_item));
    SelectValue(m_item);
}

void CPageButtonValues::OnClickValue(QTreeWidgetItem* row)
{
    if (!row)
        return;
    QTreeWidgetItem* node = Tree()->currentItem();
    const QVariant folderData = node ? node->data(0, kFolderRole) : QVariant();
    if (!folderData.isValid()) {
        row->setSelected(true);
        return;
    }
    const int folder = folderData.toInt();
    const int button = node->data(0, kButtonRole).toInt();
    const int previousItem = m_item, previousValue = m_value;
    m_item = Values()->indexOfTopLevelItem(row);
    m_value = RowData(row);
    if (folder == 0 && m_value == VALUE_LEVEL_UP) {
        // The top level has nothing above it.
        row->setSelected(true);
        return;
    }
    if (m_value == previousValue) {
        row->setSelected(false);
        return;
    }
    if (m_value == -1)
        return;
    CScreenButtonFolders& panel = GetTransparentButtonRoot();
    const int made = panel.AssignCommand(button, m_value, folder);
    if (m_value == VALUE_FOLDER && made < 0) {
        // No folder was made: the button keeps what it had.
        Deselect(m_item);
        m_item = previousItem;
        m_value = previousValue;
        SelectValue(m_item);
        return;
    }
    // Folders under the button may have gone and the later ones moved down:
    // the tree is built again, with the button's node picked.
    Deselect(previousItem);
    Deselect(m_item);
    RebuildTree();
    if (QTreeWidgetItem* fresh = FindButtonNode(folder, button)) {
        const QSignalBlocker quiet(Tree());
        for (QTreeWidgetItem* up = fresh->parent(); up; up = up->parent())
            up->setExpanded(true);
        fresh->setExpanded(true);
        Tree()->setCurrentItem(fresh);
        Tree()->scrollToItem(fresh);
    }
}

bool CPageButtonValues::OnCommand(int id, int code)
{
    if (code == BN_CLICKED && id == IDC_VALUES_LAYOUT) {
        CTranspButtonsLayoutDlg(this).DoModal();
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

void CPageButtonValues::OnOK()
{
    CCommandRegistry::FreeScreenBitmaps();
    CPropertyPage::OnOK();
}
