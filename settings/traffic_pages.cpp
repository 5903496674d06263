#include "settings/traffic_pages.h"

#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "foundation/system_applets.h"
#include "nav/map_controller.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"
#include "traffic/jam_settings.h"
#include "traffic/traffic_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using namespace settings_layout;

namespace {

enum : uint16_t { KIND_PROVIDER = 2, KIND_RECEIVER = 3 };

} // namespace

// Jams.

CPageJams::CPageJams()
    : CPropertyPage(IDD_PAGE_JAMS)
{
}

void CPageJams::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* jams = AddGroup(*this, IDC_JAMS_GROUP, this, column);
    QHBoxLayout* provider = AddRow(jams);
    provider->addWidget(AddControl<QLabel>(IDC_JAMS_PROVIDER_LABEL, this));
    Add<QComboBox>(*this, IDC_JAMS_PROVIDER, this, provider, 1);
    auto* buttons = new QGridLayout;
    buttons->setSpacing(DialogSpacing());
    jams->addLayout(buttons);
    const int ids[] = { IDC_JAMS_OPTIONS, IDC_JAMS_CONNECTIONS, IDC_JAMS_DOWNLOAD_NOW, IDC_JAMS_DELETE };
    for (int i = 0; i < 4; ++i) {
        auto* button = AddControl<QPushButton>(ids[i], this);
        StyleTouchControl(button);
        // The long captions take a whole row.
        if (i < 2)
            buttons->addWidget(button, 0, i);
        else
            buttons->addWidget(button, i - 1, 0, 1, 2);
    }
    QVBoxLayout* regular = AddGroup(*this, IDC_JAMS_REGULAR_GROUP, this, column);
    Add<CWrapCheckBox>(*this, IDC_JAMS_REGULAR, this, regular);
    QHBoxLayout* period = AddRow(regular);
    Add<QComboBox>(*this, IDC_JAMS_PERIOD, this, period);
    period->addWidget(AddControl<QLabel>(IDC_JAMS_MINUTES, this), 1);
    auto* info = AddControl<QLabel>(IDC_JAMS_INFO, this);
    info->setWordWrap(true);
    column->addWidget(info);
    column->addStretch(1);
}

bool CPageJams::OnInitDialog()
{
    for (const int32_t minutes : kPeriods)
        Combo(*this, IDC_JAMS_PERIOD)->addItem(QString::asprintf("%d", minutes));
    SetCurSel(IDC_JAMS_PERIOD, 9);
    return true;
}

bool CPageJams::OnSetActive()
{
    SetDlgItemText(IDC_JAMS_GROUP, Bilingual(u"Jam", u"Пробки"));
    SetDlgItemText(IDC_JAMS_PROVIDER_LABEL, Bilingual(u"Provider", u"Поставщик"));
    SetDlgItemText(IDC_JAMS_OPTIONS, Bilingual(u"Opt. ...", u"Настр. ..."));
    SetDlgItemText(IDC_JAMS_CONNECTIONS, Bilingual(u"Connections...", u"Соединения..."));
    SetDlgItemText(IDC_JAMS_DOWNLOAD_NOW, Bilingual(u"Download jam now", u"Загрузить пробки немедленно"));
    SetDlgItemText(IDC_JAMS_DELETE, Bilingual(u"Delete jam", u"Удалить все пробки"));
    SetDlgItemText(IDC_JAMS_REGULAR_GROUP, Bilingual(u"Regular downloading", u"Регулярная загрузка пробок"));
    SetDlgItemText(IDC_JAMS_REGULAR, Bilingual(u"Download jams every", u"Загружать пробки каждые"));
    SetDlgItemText(IDC_JAMS_MINUTES, Bilingual(u"min", u"мин."));
    SetDlgItemText(IDC_JAMS_INFO, QString());

    QComboBox* provider = Combo(*this, IDC_JAMS_PROVIDER);
    provider->clear();
    provider->addItem(Bilingual(u"Veltrak", u"Велтрак"));
    provider->addItem(Bilingual(u"Veltrak ROZ", u"Велтрак DIZ"));
    SetCurSel(IDC_JAMS_PROVIDER,
        g_jamSettings.kind == KIND_PROVIDER       ? 0
            : g_jamSettings.kind == KIND_RECEIVER ? 1
                                                  : -1);
    // A period the list does not offer shows no entry rather than one not in force.
    SetCurSel(IDC_JAMS_PERIOD,
        Combo(*this, IDC_JAMS_PERIOD)
            ->findText(QString::asprintf("%d", int(g_jamSettings.periodMinutes)), Qt::MatchExactly));
    CheckDlgButton(IDC_JAMS_REGULAR, g_jamSettings.downloadEnabled != 0);
    OnRegularChanged();
    OnProviderChanged();
    return CPropertyPage::OnSetActive();
}

void CPageJams::OnRegularChanged()
{
    const bool on = IsDlgButtonChecked(IDC_JAMS_REGULAR);
    EnableDlgItem(IDC_JAMS_PERIOD, on);
    EnableDlgItem(IDC_JAMS_MINUTES, on);
    if (on == (g_jamSettings.downloadEnabled != 0))
        return;
    g_jamSettings.downloadEnabled = on ? 1 : 0;
    CMapController& controller = *g_MapController;
    controller.ApplyTrafficSettings();
    if (on)
        controller.RequestJamDownload();
}

void CPageJams::OnProviderChanged()
{
    const int index = GetCurSel(IDC_JAMS_PROVIDER);
    if (index < 0)
        return;
    const uint16_t kind = index == 0 ? KIND_PROVIDER : KIND_RECEIVER;
    EnableDlgItem(IDC_JAMS_OPTIONS, true);
    if (kind == g_jamSettings.kind)
        return;
    g_jamSettings.kind = kind;
    g_MapController->ApplyTrafficSettings();
}

void CPageJams::OnSourceSettings()
{
    const int index = GetCurSel(IDC_JAMS_PROVIDER);
    if (index < 0)
        return;
    if (index == 0) {
        CJamServiceDlg dialog(this);
        dialog.DoModal();
    } else {
        CRozModuleDlg dialog(this);
        dialog.DoModal();
    }
    g_MapController->ApplyTrafficSettings();
}

void CPageJams::OnPeriodChanged()
{
    const int index = GetCurSel(IDC_JAMS_PERIOD);
    if (index < 0 || index >= int(std::size(kPeriods)))
        return;
    const auto minutes = static_cast<uint16_t>(kPeriods[index]);
    if (minutes == g_jamSettings.periodMinutes)
        return;
    g_jamSettings.periodMinutes = minutes;
    g_MapController->ApplyTrafficSettings();
}

void CPageJams::OnDeleteJams()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The indicator forgets the deleted data's time and outcome.
    g_MapController->GetJamSchedule().Reset();
    g_MapController->RefreshRoadBlocks();
    QApplication::restoreOverrideCursor();
    if (!IsDlgButtonChecked(IDC_JAMS_REGULAR))
        return;
    const QString question = Bilingual(u"Jam are deleted, but \"Regular jam downloading\" mode is switched "
                                       u"on. If you do not switch off the mode "
                                       u"jam will be downloaded in a few minutes. Do you want to switch off "
                                       u"the \"Regular jam downloading\" mode?",
        u"Пробки удалены, но установлен режим \"Регулярная загрузка пробок\". Если его не отключить, то "
        u"через "
        u"несколько минут пробки загрузятся вновь. Вы желаете отключить режим \"Регулярной загрузки "
        u"пробок\"?");
    if (AppMessageBox(this, question, QStringLiteral("Travenor Pro"), platform::MB_YESNOCANCEL)
        == platform::IDYES) {
        CheckDlgButton(IDC_JAMS_REGULAR, false);
        OnRegularChanged();
    }
}

bool CPageJams::OnCommand(int id, int code)
{
    if (code == CBN_SELCHANGE) {
        if (id == IDC_JAMS_PROVIDER) {
            OnProviderChanged();
            return true;
        }
        if (id == IDC_JAMS_PERIOD) {
            OnPeriodChanged();
            return true;
        }
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_JAMS_OPTIONS:
            OnSourceSettings();
            return true;
        case IDC_JAMS_CONNECTIONS:
            OpenConnectionsApplet();
            return true;
        case IDC_JAMS_DOWNLOAD_NOW:
            g_MapController->RequestJamDownload();
            return true;
        case IDC_JAMS_DELETE:
            OnDeleteJams();
            return true;
        case IDC_JAMS_REGULAR:
            OnRegularChanged();
            return true;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(id, code);
}

// Blocks.

namespace {

QString FileCantOpen() { return Bilingual(u"Can't open the file.", u"Невозможно открыть файл."); }

} // namespace

CPageBlocks::CPageBlocks()
    : CPropertyPage(IDD_PAGE_BLOCKS)
{
}

QTreeWidget* CPageBlocks::List() const { return GetDlgItemAs<QTreeWidget>(IDC_BLOCKS_LIST); }

void CPageBlocks::CreateControls()
{
    QVBoxLayout* column = FixedColumn(this);
    QTreeWidget* list = AddReportList(*this, IDC_BLOCKS_LIST, this, column);
    // Several files can be detached at once.
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Add<CWrapCheckBox>(*this, IDC_BLOCKS_ENABLE, this, column);
    auto* buttons = new QGridLayout;
    buttons->setSpacing(DialogSpacing() / 2);
    column->addLayout(buttons);
    const int ids[] = { IDC_BLOCKS_ATTACH, IDC_BLOCKS_DETACH, IDC_BLOCKS_SAVE, IDC_BLOCKS_SAVE_ALL };
    for (int i = 0; i < 4; ++i) {
        auto* button = AddControl<QPushButton>(ids[i], this);
        StyleTouchControl(button);
        buttons->addWidget(button, i / 2, i % 2);
    }
    QObject::connect(list, &QTreeWidget::itemSelectionChanged, list, [this] { UpdateButtons(); });
    QObject::connect(list, &QTreeWidget::itemClicked, list, [this] { UpdateButtons(); });
    QObject::connect(list->header(), &QHeaderView::sectionClicked, list, [this](int c) {
        if (c == 0 || c == 1)
            m_sorter.OnColumnClick(c);
    });
}

bool CPageBlocks::OnInitDialog()
{
    QTreeWidget* list = List();
    list->setColumnCount(3);
    list->header()->setSectionsMovable(true);
    const int width = GetScreenWidth();
    list->setColumnWidth(0, int(width * 0.28));
    list->setColumnWidth(1, int(width * 1.5));
    list->setColumnWidth(2, int(width * 0.7));
    // The sort stays in force for the run and is kept with the settings.
    m_sorter.Create(list, &g_listStates[LIST_BLOCKS], nullptr, [](int a, int b, int column) {
        CJamFileManager& store = g_MapController->GetJamFiles();
        if (column == 0) {
            const int d = store.GetEntryCount(a) - store.GetEntryCount(b);
            return d < 0 ? -1 : d > 0 ? 1 : 0;
        }
        const int order = QString::compare(store.GetEntryName(a), store.GetEntryName(b), Qt::CaseSensitive);
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    });
    FillList();
    return true;
}

void CPageBlocks::FillList()
{
    // The store's files, the main one first: how many roads each closes, and its name.
    QTreeWidget* list = List();
    list->clear();
    CJamFileManager& store = g_MapController->GetJamFiles();
    {
        platform::CSLock lock(store.Lock());
        int position = 0, count = 0;
        for (;;) {
            const int index = position;
            const QString name = store.GetNextEntry(position, count);
            if (name.isEmpty())
                break;
            auto* row = new QTreeWidgetItem(list, { QString::number(count), name, QString() });
            row->setData(0, Qt::UserRole, index);
        }
    }
    m_sorter.Reapply();
}

bool CPageBlocks::OnSetActive()
{
    List()->setHeaderLabels({ Bilingual(u"Amount", u"Кол-во"), Bilingual(u"File", u"Файл"), QString() });
    SetDlgItemText(IDC_BLOCKS_ATTACH, Bilingual(u"Attach...", u"Прикрепить..."));
    SetDlgItemText(IDC_BLOCKS_DETACH, Bilingual(u"Detach", u"Отсоединить"));
    SetDlgItemText(IDC_BLOCKS_SAVE, Bilingual(u"Save", u"Сохранить"));
    SetDlgItemText(IDC_BLOCKS_SAVE_ALL, Bilingual(u"Save all...", u"Сохранить все..."));
    SetDlgItemText(IDC_BLOCKS_ENABLE, Bilingual(u"Enable", u"Использовать"));
    CJamFileManager& store = g_MapController->GetJamFiles();
    {
        platform::CSLock lock(store.Lock());
        CheckDlgButton(IDC_BLOCKS_ENABLE, (store.GetSwitches() & CJamFileManager::SWITCH_BLOCKING) != 0);
    }
    // Without the store's main file there is nothing to edit.
    const bool open = store.IsOpen();
    for (const int id :
        { IDC_BLOCKS_LIST, IDC_BLOCKS_ATTACH, IDC_BLOCKS_DETACH, IDC_BLOCKS_SAVE, IDC_BLOCKS_SAVE_ALL })
        EnableDlgItem(id, open);
    UpdateButtons();
    return CPropertyPage::OnSetActive();
}

void CPageBlocks::UpdateButtons()
{
    CJamFileManager& store = g_MapController->GetJamFiles();
    if (!store.IsOpen())
        return;
    QTreeWidget* list = List();
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    const bool mainOnly = selected.size() == 1 && RowData(selected.front()) == 0;
    platform::CSLock lock(store.Lock());
    EnableDlgItem(IDC_BLOCKS_DETACH,
        selected.size() >= 2 || (selected.size() == 1 && !mainOnly)
            || (mainOnly && store.GetEntryCount(0) >= 1));
    SetDlgItemText(IDC_BLOCKS_DETACH,
        mainOnly ? Bilingual(u"Empty", u"Очистить") : Bilingual(u"Detach", u"Отсоединить"));
    EnableDlgItem(IDC_BLOCKS_SAVE, store.IsModified());
    CheckDlgButton(IDC_BLOCKS_ENABLE, (store.GetSwitches() & CJamFileManager::SWITCH_BLOCKING) != 0);
}

void CPageBlocks::OnOK()
{
    if (m_changed)
        g_MapController->GetJamFiles().StartWorker(false);
    m_changed = false;
    CPropertyPage::OnOK();
}

void CPageBlocks::OnEnableClicked()
{
    CJamFileManager& store = g_MapController->GetJamFiles();
    {
        platform::CSLock lock(store.Lock());
        const uint8_t switches = store.GetSwitches();
        store.SetSwitches(IsDlgButtonChecked(IDC_BLOCKS_ENABLE)
                ? switches | CJamFileManager::SWITCH_BLOCKING
                : switches & ~CJamFileManager::SWITCH_BLOCKING);
    }
    m_changed = true;
}

void CPageBlocks::OnAttach()
{
    platform::FileDialogRequest request;
    request.open = true;
    request.defaultExt = QStringLiteral("dt");
    request.fileName = QStringLiteral("*.dt");
    request.flags = platform::OFN_FILEMUSTEXIST;
    request.filter = QStringLiteral("Jam Files (*.dt) | *.dt | All Files (*.*)| *.* ||");
    if (const std::optional<QString> chosen = platform::ShowFileDialog(this, request)) {
        CJamFileManager& store = g_MapController->GetJamFiles();
        const int index = store.AttachFile(*chosen);
        // A file listed already (the main file among them) is not listed twice.
        if (index < 0 || FindRowByData(List(), index)) {
            AppMessageBoxText(FileCantOpen(), platform::MB_OK);
        } else {
            auto* row
                = new QTreeWidgetItem({ QString::number(store.GetEntryCount(index)), *chosen, QString() });
            row->setData(0, Qt::UserRole, index);
            m_sorter.InsertSorted(row);
            m_changed = true;
        }
    }
    UpdateButtons();
}

void CPageBlocks::OnDetach()
{
    QTreeWidget* list = List();
    CJamFileManager& store = g_MapController->GetJamFiles();
    int last = -1;
    for (QTreeWidgetItem* row : list->selectedItems()) {
        store.DetachEntry(RowData(row));
        last = std::max(last, list->indexOfTopLevelItem(row));
    }
    if (last >= 0) {
        FillList();
        const int count = list->topLevelItemCount();
        if (QTreeWidgetItem* row = list->topLevelItem(std::min(last, count - 1))) {
            list->setCurrentItem(row);
            row->setSelected(true);
        }
    }
    m_changed = true;
    UpdateButtons();
}

void CPageBlocks::OnSave()
{
    g_MapController->GetJamFiles().SaveMainFile(false);
    UpdateButtons();
}

void CPageBlocks::OnSaveAll()
{
    platform::FileDialogRequest request;
    request.open = false;
    request.defaultExt = QStringLiteral("dt");
    request.fileName = QStringLiteral("*.dt");
    request.flags = platform::OFN_OVERWRITEPROMPT;
    request.filter = QStringLiteral("Jam Files (*.dt)|*.dt|All Files (*.*)|*.*||");
    if (const std::optional<QString> chosen = platform::ShowFileDialog(this, request)) {
        if (!g_MapController->GetJamFiles().SaveAs(*chosen))
            AppMessageBoxText(
                Bilingual(u"Can't save the file.", u"Невозможно сохранить файл."), platform::MB_OK);
        FillList();
    }
    UpdateButtons();
}

bool CPageBlocks::OnCommand(int id, int code)
{
    if (code != BN_CLICKED)
        return CPropertyPage::OnCommand(id, code);
    switch (id) {
    case IDC_BLOCKS_ENABLE:
        OnEnableClicked();
        return true;
    case IDC_BLOCKS_ATTACH:
        OnAttach();
        return true;
    case IDC_BLOCKS_DETACH:
        OnDetach();
        return true;
    case IDC_BLOCKS_SAVE:
        OnSave();
        return true;
    case IDC_BLOCKS_SAVE_ALL:
        OnSaveAll();
        return true;
    default:
        return CPropertyPage::OnCommand(id, code);
    }
}
