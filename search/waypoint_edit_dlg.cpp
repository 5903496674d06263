#include "search/waypoint_edit_dlg.h"

#include "controls/object_type_icons.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/dialog_templates.h"
#include "foundation/input_panel.h"
#include "foundation/language.h"
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "foundation/static_tables.h"
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "search/address_searcher.h"
#include "search/poi_query.h"
#include "search/voice_recorder.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <filesystem>

namespace {

constexpr int kDefaultTypeBitmap = 653;

constexpr DateTimeFieldTable kFields { { { DateTimeField::Day, IDC_WPE_DAY, IDC_WPE_DAY_SPIN },
    { DateTimeField::Month, IDC_WPE_MONTH, IDC_WPE_MONTH_SPIN },
    { DateTimeField::Year, IDC_WPE_YEAR, IDC_WPE_YEAR_SPIN },
    { DateTimeField::Hour, IDC_WPE_HOUR, IDC_WPE_HOUR_SPIN },
    { DateTimeField::Minute, IDC_WPE_MINUTE, IDC_WPE_MINUTE_SPIN },
    { DateTimeField::Second, IDC_WPE_SECOND, IDC_WPE_SECOND_SPIN } } };

void FreeCachedBitmaps()
{
    if (g_drawTool)
        g_drawTool->DeleteHBITMAPs();
}

// Moves a recorded note to the name the user chose; replaces a file there.
bool MoveSoundFile(const QString& from, const QString& to)
{
    const std::filesystem::path source = platform::DevicePathToLocal(from).toStdString();
    const std::filesystem::path target = platform::DevicePathToLocal(to).toStdString();
    std::error_code error;
    std::filesystem::rename(source, target, error);
    if (!error)
        return true;
    // Another file system: copy, and remove the old note only once the copy is whole.
    if (!std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing, error))
        return false;
    std::filesystem::remove(source, error);
    return true;
}

bool SoundFileExists(const QString& path) { return QFile::exists(platform::DevicePathToLocal(path)); }

} // namespace

CWaypointEditDlg::CWaypointEditDlg(const CWaypoint* waypoint, const CGeoPos* position, QWidget* parent)
    : CDialog(GetOrientedDialogId(IDD_WAYPOINT_EDIT), parent)
{
    if (waypoint != nullptr) {
        m_waypoint = *waypoint;
        m_editMode = 1;
        return;
    }
    {
        platform::CSLock lock(g_gpsFixLock);
        m_waypoint.m_altitude = g_gpsFix.m_altitude;
        m_waypoint.m_secondTime = g_gpsFix.m_time;
        m_waypoint.m_position = position != nullptr ? *position : static_cast<const CGeoPos&>(g_gpsFix);
    }
    if (m_waypoint.m_position.IsValid() && g_MapController) {
        ZXS_Point point;
        if (ZXS_GeoToMap(g_MapController->GetMapSet().ActiveMap(),
                m_waypoint.m_position.GetLongitude().GetRadians(),
                m_waypoint.m_position.GetLatitude().GetRadians(), &point)
            == 0) {
            m_waypoint.m_mapX = point.x;
            m_waypoint.m_mapY = point.y;
        }
    }
}

void CWaypointEditDlg::CreateControls(QWidget* body)
{
    DialogLayout layout(*this, body, IsLandscapeLayout());
    // The form takes all the room the buttons leave.
    QVBoxLayout* rows = AddScrollingForm(body, layout.Form(), 1000);
    QWidget* form = rows->parentWidget();

    auto* title = AddControl<QLabel>(IDC_WPE_TITLE, form);
    title->setFont(DialogFont(13, QFont::Bold));
    rows->addWidget(title);

    auto* grid = new QGridLayout;
    grid->setSpacing(DialogSpacing());
    rows->addLayout(grid);
    const int pictureSide = ScaleByDpiX(24);
    auto addRow = [&](int row, int labelId, QWidget* field, int pictureId) {
        grid->addWidget(AddControl<QLabel>(labelId, form), row, 0);
        StyleTouchControl(field);
        grid->addWidget(field, row, 1);
        if (pictureId != 0) {
            auto* picture = AddControl<QLabel>(pictureId, form);
            picture->setFixedSize(pictureSide, pictureSide);
            picture->setAlignment(Qt::AlignCenter);
            grid->addWidget(picture, row, 2);
        }
    };
    addRow(0, IDC_WPE_NAME_LABEL, AddControl<QLineEdit>(IDC_WPE_NAME, form), 0);
    addRow(1, IDC_WPE_TYPE_LABEL, AddControl<QComboBox>(IDC_WPE_TYPE, form), IDC_WPE_TYPE_PICTURE);
    addRow(2, IDC_WPE_COLOR_LABEL, AddControl<QComboBox>(IDC_WPE_COLOR, form), IDC_WPE_COLOR_PICTURE);
    grid->setColumnStretch(1, 1);
    // Long category names must not widen the form past a small screen.
    for (const int id : { IDC_WPE_TYPE, IDC_WPE_COLOR }) {
        GetDlgItemAs<QComboBox>(id)->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        GetDlgItemAs<QComboBox>(id)->setMinimumContentsLength(8);
    }
    GetDlgItem(IDC_WPE_NAME)->setMinimumWidth(ScaleByDpiX(40));

    // Date and time: three read-only fields each, with their arrows.
    AddDateTimeGroups(*this, form, rows, IDC_WPE_DATE_GROUP, IDC_WPE_TIME_GROUP, kFields, true,
        [this](DateTimeField field, int delta) { OnDeltaPos(field, delta); });

    auto* addressLabel = AddControl<QLabel>(IDC_WPE_ADDRESS_LABEL, form);
    addressLabel->setWordWrap(true);
    rows->addWidget(addressLabel);
    auto* addresses = AddControl<QListWidget>(IDC_WPE_ADDRESSES, form);
    addresses->setMinimumHeight(TouchHeight() * 2);
    addresses->setMaximumHeight(TouchHeight() * 3);
    rows->addWidget(addresses);

    auto* sound = AddControl<QGroupBox>(IDC_WPE_SOUND_GROUP, form);
    auto* soundRows = new QVBoxLayout(sound);
    soundRows->setContentsMargins(DialogSpacing(), DialogSpacing(), DialogSpacing(), DialogSpacing());
    auto* path = AddControl<QLabel>(IDC_WPE_SOUND_PATH, sound);
    path->setWordWrap(true);
    path->setTextInteractionFlags(Qt::NoTextInteraction);
    soundRows->addWidget(path);
    auto* line = new QHBoxLayout;
    m_recorderHost = new QWidget(sound);
    m_recorderHost->setMinimumSize(ScaleByDpiX(78), ScaleByDpiY(26));
    line->addWidget(m_recorderHost);
    auto* change = AddControl<QPushButton>(IDC_WPE_CHANGE_PATH, sound);
    StyleTouchControl(change);
    line->addWidget(change, 1);
    soundRows->addLayout(line);
    rows->addWidget(sound);
    rows->addStretch(1);

    layout.AddOkCancel();
}

bool CWaypointEditDlg::OnInitDialog()
{
    ShowInputPanel(true);
    ShowInputPanel(false);
    // The recorder sits in its place in the sound group.
    m_recorderX = 0;
    m_recorderY = 0;

    const bool english = g_language.load() == LANGUAGE_ENGLISH;
    SetOkCancelTexts(*this);
    SetDlgItemText(platform::IDOK, english ? QStringLiteral("OK") : QStringLiteral("ОК"));
    SetDlgItemText(IDC_WPE_TITLE,
        m_editMode ? Bilingual(u"Edit waypoint", u"Редактировать") : Bilingual(u"Add waypoint", u"Добавить"));
    SetDlgItemText(IDC_WPE_NAME_LABEL, Bilingual(u"Name", u"Имя"));
    SetDlgItemText(IDC_WPE_TYPE_LABEL, Bilingual(u"Type", u"Тип"));
    SetDlgItemText(IDC_WPE_COLOR_LABEL, Bilingual(u"Color", u"Цвет"));
    SetDlgItemText(IDC_WPE_DATE_GROUP, Bilingual(u"Date", u"Дата"));
    SetDlgItemText(IDC_WPE_TIME_GROUP, Bilingual(u"Time", u"Время"));
    SetDlgItemText(
        IDC_WPE_ADDRESS_LABEL, Bilingual(u"The waypoint address:", u"Закладка находится по адресу:"));
    SetDlgItemText(IDC_WPE_SOUND_GROUP, Bilingual(u"Sound file", u"Звуковой файл"));
    SetDlgItemText(IDC_WPE_CHANGE_PATH, Bilingual(u"Change path...", u"Изменить путь..."));

    auto* colours = GetDlgItemAs<QComboBox>(IDC_WPE_COLOR);
    colours->clear();
    for (const std::u16string_view name : WaypointColourNames(english ? LANGUAGE_ENGLISH : LANGUAGE_RUSSIAN))
        colours->addItem(QStringView(name).toString());
    colours->setCurrentIndex(0);

    auto* types = GetDlgItemAs<QComboBox>(IDC_WPE_TYPE);
    types->clear();
    types->addItem(QString());
    if (g_MapController)
        types->addItems(g_MapController->GetPoiSearcher().GetCategoryNames().mid(1));
    types->setCurrentIndex(0);

    m_soundPath = !m_waypoint.m_soundPath.isEmpty() ? m_waypoint.m_soundPath
                                                    : DefaultWaypointSoundPath(WaypointEditDialogFolder());

    auto* addresses = GetDlgItemAs<QListWidget>(IDC_WPE_ADDRESSES);
    addresses->clear();
    if (m_waypoint.m_position.IsValid() && m_waypoint.m_mapX != kNoMapCoordinate && g_MapController) {
        CAddressSearcher& searcher = g_MapController->GetAddressSearcher();
        searcher.FindAddressesAtPoint(m_waypoint.m_mapX, m_waypoint.m_mapY, GetDefaultMapScale());
        for (int i = 0; i < searcher.GetAddressCount(); ++i) {
            const CAddressEntry* entry = searcher.GetAddressAt(i);
            if (entry == nullptr)
                continue;
            addresses->addItem(
                entry->ownName.isEmpty() ? entry->text : entry->text + QLatin1Char(' ') + entry->ownName);
        }
        if (!m_editMode && addresses->count() > 0) {
            m_waypoint.m_address = addresses->item(addresses->count() - 1)->text();
            m_waypoint.m_name = m_waypoint.m_address;
        }
    }
    m_name = m_waypoint.m_name;

    OpenRecorder();

    if (!m_waypoint.m_type.isEmpty()) {
        const int category = types->findText(m_waypoint.m_type, Qt::MatchFixedString);
        if (category > 0) {
            types->setCurrentIndex(category);
        } else {
            const int picture = GetSpecialCategoryIconId(m_waypoint.m_type);
            if (picture != kDefaultTypeBitmap) {
                int colour = colours->findText(GetSpecialCategoryNameRu(picture));
                if (colour < 0)
                    colour = colours->findText(GetSpecialCategoryNameEn(picture));
                if (colour >= 0)
                    colours->setCurrentIndex(colour);
            }
        }
    }
    SignalVoiceRecorder();

    std::optional<WaypointDateTime> when;
    if (m_editMode) {
        when = LocalDateTimeOf(m_waypoint.m_firstTime);
    } else {
        platform::CSLock lock(g_gpsFixLock);
        if (g_gpsFix.m_fixMode == 2 || g_gpsFix.m_fixMode == 3)
            when = LocalDateTimeOf(g_gpsFix.m_time);
    }
    // A time that cannot be shown gives way to the device's clock.
    SetDateTime(when.value_or(LocalDateTimeNow()));

    UpdateData(false);
    OnSelChangeType();
    OnSelChangeColor();
    UpdateData(false);
    return true;
}

void CWaypointEditDlg::SetDateTime(const WaypointDateTime& f)
{
    auto clamp16 = [](int v) { return static_cast<uint16_t>(std::clamp(v, 0, 65535)); };
    m_year = clamp16(f.year);
    m_month = clamp16(f.month);
    m_day = clamp16(f.day);
    m_hour = clamp16(f.hour);
    m_minute = clamp16(f.minute);
    m_second = clamp16(f.second);
}

uint16_t& CWaypointEditDlg::FieldMember(DateTimeField field)
{
    return DateTimeMember(field, m_day, m_month, m_year, m_hour, m_minute, m_second);
}

bool CWaypointEditDlg::DoDataExchange(bool save)
{
    if (!save) {
        SetDlgItemText(IDC_WPE_NAME, m_name);
        for (const DateTimeFieldIds& f : kFields)
            SetDlgItemText(f.edit, QString::number(FieldMember(f.field)));
        SetDlgItemText(IDC_WPE_SOUND_PATH, m_soundPath);
        return true;
    }
    for (const DateTimeFieldIds& f : kFields) {
        bool ok = false;
        const uint value = GetDlgItemText(f.edit).trimmed().toUInt(&ok);
        if (!ok || value > 65535)
            return false;
        FieldMember(f.field) = static_cast<uint16_t>(value);
    }
    m_name = GetDlgItemText(IDC_WPE_NAME);
    return true;
}

bool CWaypointEditDlg::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_WPE_NAME:
        if (code == EN_SETFOCUS)
            ShowInputPanel(true);
        else if (code == EN_KILLFOCUS)
            ShowInputPanel(false);
        return true;
    case IDC_WPE_TYPE:
        if (code == CBN_SELCHANGE)
            OnSelChangeType();
        return true;
    case IDC_WPE_COLOR:
        if (code == CBN_SELCHANGE)
            OnSelChangeColor();
        return true;
    case IDC_WPE_CHANGE_PATH:
        if (code == BN_CLICKED)
            OnChangeSoundPath();
        return true;
    default:
        return CDialog::OnCommand(id, code);
    }
}

void CWaypointEditDlg::OnSelChangeType()
{
    auto* types = GetDlgItemAs<QComboBox>(IDC_WPE_TYPE);
    if (types->currentIndex() < 0)
        return;
    const QString type = types->currentText();
    EnableDlgItem(IDC_WPE_COLOR_LABEL, type.isEmpty());
    EnableDlgItem(IDC_WPE_COLOR, type.isEmpty());
    // The list holds categories only: their symbol, or the picture of no type.
    ShowImagePicture(GetDlgItemAs<QLabel>(IDC_WPE_TYPE_PICTURE), WaypointTypePictureId(type));
}

void CWaypointEditDlg::OnSelChangeColor()
{
    auto* colours = GetDlgItemAs<QComboBox>(IDC_WPE_COLOR);
    if (colours->currentIndex() < 0)
        return;
    ShowImagePicture(
        GetDlgItemAs<QLabel>(IDC_WPE_COLOR_PICTURE), GetSpecialCategoryIconId(colours->currentText()));
}

void CWaypointEditDlg::OnDeltaPos(DateTimeField field, int delta)
{
    if (!UpdateData(true))
        return;
    uint16_t& value = FieldMember(field);
    value = StepEditorField(field, value, delta);
    UpdateData(false);
}

void CWaypointEditDlg::OpenRecorder()
{
    OpenVoiceRecorder(m_soundPath, kWaypointRecorderStyle, m_recorderHost, m_recorderX, m_recorderY);
}

void CWaypointEditDlg::OnChangeSoundPath()
{
    platform::FileDialogRequest request;
    request.open = false;
    request.fileName = m_soundPath;
    request.defaultExt = QStringLiteral("wav");
    request.filter = QStringLiteral("wav Files (*.wav)|*.wav||");
    request.flags = platform::OFN_HIDEREADONLY;
    const std::optional<QString> chosen = platform::ShowFileDialog(this, request);
    if (!chosen || *chosen == m_soundPath
        || platform::DevicePathToLocal(*chosen) == platform::DevicePathToLocal(m_soundPath))
        return;
    const QString oldPath = m_soundPath;
    // Closing the recorder writes a recording still under way, so that it moves too.
    CloseVoiceRecorder();
    const bool recorded = SoundFileExists(oldPath);
    // The note recorded so far goes to the new name; a file already there is
    // replaced only when the user says so. Without a note, a file that exists
    // under the new name becomes the waypoint's sound as it is.
    if (recorded && SoundFileExists(*chosen)
        && platform::ShowMessageBox(this,
               Bilingual(
                   u"%1 already exists.\nDo you want to replace it?", u"%1 уже существует.\nЗаменить его?")
                   .arg(*chosen),
               QStringLiteral("Travenor Pro"), platform::MB_YESNO | platform::MB_ICONEXCLAMATION)
            != platform::IDYES) {
        OpenRecorder();
        return;
    }
    m_soundPath = *chosen;
    if (recorded && !MoveSoundFile(oldPath, m_soundPath)) {
        platform::ShowMessageBox(this,
            Bilingual(u"Can't change path to wav-file. Probably, there is no access to the file %s",
                u"Невозможно изменить путь к wav файлу. Возможно нет доступа к файлу %s")
                .replace(QLatin1String("%s"), oldPath),
            QString(), platform::MB_OK);
        m_soundPath = oldPath;
        OpenRecorder();
        return;
    }
    OpenRecorder();
    SetDlgItemText(IDC_WPE_SOUND_PATH, m_soundPath);
    WaypointEditDialogFolder() = GetFolderPart(m_soundPath);
}

void CWaypointEditDlg::OnOK()
{
    FreeCachedBitmaps();
    if (!UpdateData(true))
        return;
    CloseVoiceRecorder();
    m_waypoint.m_soundPath = FileOrFolderExists(m_soundPath, QStringLiteral("wav")) ? m_soundPath : QString();
    m_waypoint.m_name = m_name;
    auto* types = GetDlgItemAs<QComboBox>(IDC_WPE_TYPE);
    auto* colours = GetDlgItemAs<QComboBox>(IDC_WPE_COLOR);
    QString type = types->currentIndex() >= 0 ? types->currentText() : QString();
    if (type.isEmpty() && colours->currentIndex() >= 0)
        type = colours->currentText();
    m_waypoint.m_type = type;
    // A day past the end of the month is the month's last day.
    if (const std::optional<int64_t> seconds
        = SecondsOfLocalDateTime({ m_year, m_month, m_day, m_hour, m_minute, m_second }))
        m_waypoint.m_firstTime = *seconds;
    m_waypoint.m_bitmapId = GetCategoryBitmapId(type);
    m_waypoint.m_iconId = GetCategoryIconId(type);
    EndDialog(platform::IDOK);
}

void CWaypointEditDlg::OnCancel()
{
    FreeCachedBitmaps();
    CloseVoiceRecorder();
    EndDialog(platform::IDCANCEL);
}
