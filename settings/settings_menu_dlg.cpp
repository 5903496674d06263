#include "settings/settings_menu_dlg.h"

#include "controls/command_registry.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/draw_suspender.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "foundation/system_applets.h"
#include "nav/map_controller.h"
#include "platform/message_box.h"
#include "settings/settings_sheets.h"
#include "ui/dialog_style.h"

#include <QBitmap>
#include <QListWidget>
#include <QPixmap>
#include <QStyle>
#include <QVBoxLayout>
#include <memory>

namespace {

struct Entry {
    const char16_t* english;
    const char16_t* russian;
    uint32_t icon;
};

const Entry kEntries[SETTINGS_ENTRY_COUNT] = {
    { u"Language", u"Язык", 15120 },
    { u"General", u"Общие", 15121 },
    { u"GPS", u"GPS", 15115 },
    { u"Sound", u"Звук", 15119 },
    { u"Traffic & Blocks", u"Пробки и запреты", 15117 },
    { u"Driving", u"Движение", 15114 },
    { u"Appearance", u"Внешний вид", 15112 },
    { u"Route", u"Маршрут", 15123 },
    { u"Toolbars", u"Панели кнопок", 15118 },
    { u"Hardware buttons", u"Аппаратные кнопки", 15116 },
    { u"Transparent buttons", u"Прозрачные кнопки", 15124 },
    { u"Power", u"Питание", 15122 },
    { u"Backlight", u"Подсветка", 15113 },
    { u"Information", u"Информация", 15111 },
    { u"Exit", u"Выход", 15125 },
};

// The icons' side, worked out once for the run.
int IconSide()
{
    static const int side = GetScreenResolutionClass() >= 2 ? 64 : 32;
    return side;
}

// The restart question after a change of the map font size.
QString RestartQuestion()
{
    return Bilingual(u"For the changes to take effect, Travenor Pro has to be closed and started again. "
                     u"Close Travenor Pro?",
        u"Для того, чтобы сделанные изменения вступили в силу, необходимо закрыть Travenor Pro, а затем "
        u"запустить его снова. Закрыть Travenor Pro?");
}

} // namespace

QString SettingsEntryName(int entry)
{
    if (entry < 0 || entry >= SETTINGS_ENTRY_COUNT)
        return QString();
    return g_language == LANGUAGE_ENGLISH ? QString::fromUtf16(kEntries[entry].english)
                                          : QString::fromUtf16(kEntries[entry].russian);
}

CSettingsMenuDlg::CSettingsMenuDlg(QWidget* parent)
    : CDialog(IDD_SETTINGS_MENU, parent)
{
    g_drawSuspender.Suspend();
    if (g_MapController)
        g_MapController->SetMapScreenActive(0);
}

CSettingsMenuDlg::~CSettingsMenuDlg()
{
    g_drawSuspender.Resume(1);
    if (g_MapController)
        g_MapController->SetMapScreenActive(1);
    if (g_drawTool)
        g_drawTool->DeleteHBITMAPs();
}

QListWidget* CSettingsMenuDlg::List() const { return GetDlgItemAs<QListWidget>(IDC_SETTINGS_MENU_LIST); }

void CSettingsMenuDlg::CreateControls(QWidget* body)
{
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* list = AddControl<QListWidget>(IDC_SETTINGS_MENU_LIST, body);
    list->setViewMode(QListView::IconMode);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWrapping(true);
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideNone);
    list->setUniformItemSizes(true);
    list->setFont(DialogFont(11));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFrameShape(QFrame::NoFrame);
    layout->addWidget(list);
    // One tap opens the entry.
    QObject::connect(list, &QListWidget::itemClicked, list, [this](QListWidgetItem* item) {
        if (item)
            RunEntry(item->data(Qt::UserRole).toInt());
    });
}

bool CSettingsMenuDlg::OnInitDialog()
{
    setWindowTitle(Bilingual(u"Settings", u"Настройки"));
    ShowTaskBar(this);
    LoadIcons();
    FitToScreen();
    UpdateTexts();
    return CDialog::OnInitDialog();
}

void CSettingsMenuDlg::LoadIcons()
{
    QListWidget* list = List();
    const int side = IconSide();
    list->setIconSize(QSize(side, side));
    // Three or more columns across the screen, each with room for the icon
    // and two lines of its name under it.
    const QFontMetrics metrics(list->font());
    const int columns = std::max(3, GetScreenWidth() / 100);
    const int room = GetScreenWidth() - list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 4;
    list->setGridSize(QSize(std::max(side + 8, room / columns), side + metrics.lineSpacing() * 2 + 6));
    list->clear();
    for (int entry = 0; entry < SETTINGS_ENTRY_COUNT; ++entry) {
        QPixmap pixmap;
        if (g_drawTool) {
            if (const QImage* image = g_drawTool->CreateHBITMAP(kEntries[entry].icon)) {
                pixmap = QPixmap::fromImage(
                    image->scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                pixmap.setMask(pixmap.createMaskFromColor(QColor(255, 0, 255)));
            }
        }
        auto* item = new QListWidgetItem(QIcon(pixmap), QString(), list);
        item->setData(Qt::UserRole, entry);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        item->setSizeHint(list->gridSize() - QSize(2, 2));
    }
}

void CSettingsMenuDlg::FitToScreen()
{
    const QRect window = GetWindowRect();
    MoveWindow(QRect(window.left(), window.top(), GetScreenWidth(), window.height()));
}

void CSettingsMenuDlg::OnWindowMoved()
{
    if (QListWidget* list = List())
        list->setGeometry(Body()->rect());
}

void CSettingsMenuDlg::UpdateTexts()
{
    QListWidget* list = List();
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        item->setText(SettingsEntryName(item->data(Qt::UserRole).toInt()));
    }
}

platform::LRESULT CSettingsMenuDlg::OnMessage(
    uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    if (message == platform::WM_APP + 1) {
        UpdateTexts();
        return 0;
    }
    return CDialog::OnMessage(message, wParam, lParam);
}

void CSettingsMenuDlg::RunEntry(int entry)
{
    switch (entry) {
    case SETTINGS_POWER:
        OpenPowerApplet();
        return;
    case SETTINGS_BACKLIGHT:
        OpenBacklightApplet();
        return;
    case SETTINGS_EXIT:
        EndDialog(platform::IDOK);
        return;
    default:
        if (entry >= 0 && entry < SETTINGS_ENTRY_COUNT)
            RunSheet(entry);
        return;
    }
}

void CSettingsMenuDlg::RunSheet(int entry)
{
    const QString caption = SettingsEntryName(entry);
    int result = platform::IDCANCEL;
    switch (entry) {
    case SETTINGS_LANGUAGE:
        result = CSheetLanguage(caption, this).DoModal();
        break;
    case SETTINGS_GENERAL:
        result = CSheetGeneral(caption, this).DoModal();
        break;
    case SETTINGS_GPS:
        result = CSheetGps(caption, this).DoModal();
        break;
    case SETTINGS_TRAFFIC:
        result = CSheetTraffic(caption, this).DoModal();
        break;
    case SETTINGS_DRIVING:
        result = CSheetDriving(caption, this).DoModal();
        break;
    case SETTINGS_SOUND:
        result = CSheetSound(caption, this).DoModal();
        break;
    case SETTINGS_APPEARANCE:
        result = CSheetMap(caption, this).DoModal();
        break;
    case SETTINGS_ROUTE:
        result = CSheetRoute(caption, this).DoModal();
        break;
    case SETTINGS_HARDWARE_BUTTONS:
        result = CSheetHardwareButtons(caption, this).DoModal();
        break;
    case SETTINGS_TOOLBARS:
        result = CSheetToolbars(caption, this).DoModal();
        break;
    case SETTINGS_TRANSPARENT_BUTTONS:
        result = CSheetTransparentButtons(caption, this).DoModal();
        break;
    case SETTINGS_INFORMATION:
        result = CSheetInformation(caption, this).DoModal();
        break;
    default:
        return;
    }
    if (entry == SETTINGS_LANGUAGE || entry == SETTINGS_GENERAL) {
        // The language may have changed (another settings file, the defaults).
        setWindowTitle(Bilingual(u"Settings", u"Настройки"));
        UpdateTexts();
    }
    if (result != kSheetResultFollowUp)
        return;
    if (entry == SETTINGS_GPS) {
        // The connection was reset: back to the map.
        EndDialog(platform::IDOK);
    } else if (entry == SETTINGS_APPEARANCE) {
        if (AppMessageBox(this, RestartQuestion(), Bilingual(u"Attention!", u"Внимание!"),
                platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES) {
            EndDialog(platform::IDOK);
            ExecuteCommand(CMD_CLOSE);
        }
    }
}
