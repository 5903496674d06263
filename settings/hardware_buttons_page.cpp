#include "settings/hardware_buttons_page.h"

#include "controls/command_registry.h"
#include "controls/hard_key_map.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"
#include "ui/dialog_style.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kFirstKeyImage = kAssignableCommandCount; // 47

QString KeyName(int slot)
{
    return g_language == LANGUAGE_ENGLISH ? g_HardKeyMap->GetKeyNameEn(uint32_t(slot))
                                          : g_HardKeyMap->GetKeyNameRu(uint32_t(slot));
}

QString CommandName(int command)
{
    return g_language == LANGUAGE_ENGLISH ? g_CommandRegistry->GetNameEn(uint32_t(command))
                                          : g_CommandRegistry->GetNameRu(uint32_t(command));
}

int CompareUnits(const QString& a, const QString& b)
{
    const int order = QString::compare(a, b, Qt::CaseSensitive);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

} // namespace

CPageHardwareButtons::CPageHardwareButtons()
    : CPropertyPage(IDD_PAGE_HARDWARE_BUTTONS)
{
}

QTreeWidget* CPageHardwareButtons::Keys() const { return GetDlgItemAs<QTreeWidget>(IDC_HARD_KEYS); }
QTreeWidget* CPageHardwareButtons::Commands() const
{
    return GetDlgItemAs<QTreeWidget>(IDC_HARD_KEY_COMMANDS);
}

void CPageHardwareButtons::CreateControls()
{
    QVBoxLayout* column = settings_layout::FixedColumn(this);
    QTreeWidget* keys = settings_layout::AddReportList(*this, IDC_HARD_KEYS, this, column);
    QTreeWidget* commands = settings_layout::AddReportList(*this, IDC_HARD_KEY_COMMANDS, this, column);
    QObject::connect(
        keys, &QTreeWidget::itemClicked, keys, [this](QTreeWidgetItem* row) { OnClickKey(row); });
    QObject::connect(
        commands, &QTreeWidget::itemClicked, commands, [this](QTreeWidgetItem* row) { OnClickCommand(row); });
    QObject::connect(
        keys->header(), &QHeaderView::sectionClicked, keys, [this](int c) { m_keySorter.OnColumnClick(c); });
    QObject::connect(commands->header(), &QHeaderView::sectionClicked, commands, [this](int c) {
        if (QTreeWidgetItem* row = FindRowByData(Commands(), m_command))
            row->setSelected(false);
        m_commandSorter.OnColumnClick(c);
        HighlightCommand(m_command);
    });
}

bool CPageHardwareButtons::OnInitDialog()
{
    QTreeWidget* keys = Keys();
    QTreeWidget* commands = Commands();
    const bool english = g_language == LANGUAGE_ENGLISH;
    const int width = std::max(keys->viewport()->width(), GetScreenWidth() - 2 * DialogMargin());
    keys->setHeaderLabels({ english ? QStringLiteral("Button") : QStringLiteral("Кнопка"),
        english ? QStringLiteral("Assignment") : QStringLiteral("Значение"), QString() });
    keys->setColumnWidth(0, 22 * width / 60);
    keys->setColumnWidth(1, 47 * width / 60);
    keys->setColumnWidth(2, width / 3);
    settings_layout::SetAssignmentColumns(commands);

    m_images = std::make_unique<CImageList>(GetIconSizeForResolution());
    g_CommandRegistry->FillImageList(*m_images);
    for (int slot = 0; slot < CHardKeyMap::kSlotCount; ++slot) {
        AddStoredPicture(*m_images, uint32_t(g_HardKeyMap->GetKeyImageId(uint32_t(slot))));
    }
    for (QTreeWidget* list : { keys, commands })
        list->setIconSize(QSize(m_images->IconSize(), m_images->IconSize()));
    const int base = m_keySorter.Create(
        keys, &g_listStates[LIST_HARD_KEYS], m_images.get(), [](int a, int b, int column) {
            if (column == 0)
                return CompareUnits(KeyName(a), KeyName(b));
            const int ca = g_HardKeyMap->GetCommand(uint32_t(a)), cb = g_HardKeyMap->GetCommand(uint32_t(b));
            if (column == 1 && ca != cb)
                return CompareUnits(CommandName(ca), CommandName(cb));
            return 0;
        });
    m_commandSorter.Create(
        commands, &g_listStates[LIST_HARD_KEY_COMMANDS], m_images.get(),
        [](int a, int b, int) { return CCommandRegistry::CompareCommandNames(uint32_t(a), uint32_t(b), 0); },
        base);
    FillKeys();
    g_CommandRegistry->FillListView(commands, m_images.get());
    m_commandSorter.Reapply();
    return true;
}

void CPageHardwareButtons::ShowKeyRow(QTreeWidgetItem* row)
{
    const int command = g_HardKeyMap->GetCommand(uint32_t(RowData(row)));
    row->setText(1, CommandName(command));
    if (command >= int(kFirstCommand) && command <= int(kLastAssignableCommand))
        row->setIcon(1, m_images->Icon(command - int(kFirstCommand)));
    else
        row->setIcon(1, QIcon());
}

void CPageHardwareButtons::FillKeys()
{
    QTreeWidget* keys = Keys();
    keys->clear();
    for (int slot = 0; slot < CHardKeyMap::kSlotCount; ++slot) {
        auto* row = new QTreeWidgetItem(keys); // owned by the list
        row->setText(0, KeyName(slot));
        row->setIcon(0, m_images->Icon(kFirstKeyImage + slot));
        row->setData(0, Qt::UserRole, slot);
        ShowKeyRow(row);
    }
    // The keys' names whole, however narrow the screen.
    const int named = keys->columnWidth(0);
    keys->resizeColumnToContents(0);
    keys->setColumnWidth(0, std::max(named, keys->columnWidth(0)));
    m_keySorter.Reapply();
}

void CPageHardwareButtons::HighlightCommand(int command)
{
    QTreeWidget* commands = Commands();
    if (QTreeWidgetItem* row = FindRowByData(commands, command)) {
        commands->setCurrentItem(row);
        row->setSelected(true);
        commands->scrollToItem(row);
    }
}

void CPageHardwareButtons::OnClickKey(QTreeWidgetItem* row)
{
    // A tap beside the rows picks nothing.
    if (!row)
        return;
    m_slot = RowData(row);
    if (QTreeWidgetItem* old = FindRowByData(Commands(), m_command))
        old->setSelected(false);
    m_command = g_HardKeyMap->GetCommand(uint32_t(m_slot));
    HighlightCommand(m_command);
}

void CPageHardwareButtons::OnClickCommand(QTreeWidgetItem* row)
{
    if (!row)
        return;
    if (m_slot < 0) {
        row->setSelected(true);
        return;
    }
    if (QTreeWidgetItem* old = FindRowByData(Commands(), m_command))
        old->setSelected(false);
    m_command = RowData(row);
    row->setSelected(true);
    if (m_command < int(kFirstCommand) || m_command > int(kLastAssignableCommand))
        return;
    g_HardKeyMap->SetCommand(uint32_t(m_slot), m_command);
    if (QTreeWidgetItem* keyRow = FindRowByData(Keys(), m_slot))
        ShowKeyRow(keyRow);
    else
        FillKeys();
}

void CPageHardwareButtons::OnOK()
{
    CCommandRegistry::FreeScreenBitmaps();
    CPropertyPage::OnOK();
}
