#include "search/waypoint_props_dlg.h"

#include "foundation/dialog_templates.h"
#include "foundation/geo_pos.h"
#include "foundation/input_panel.h"
#include "foundation/language.h"
#include "foundation/path_helpers.h"
#include "foundation/screen_metrics.h"
#include "foundation/static_tables.h"
#include "gps/gps_fix.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "search/voice_recorder.h"
#include "search/waypoint.h"
#include "search/waypoint_edit_dlg.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <array>

namespace {

constexpr DateTimeFieldTable kFields { { { DateTimeField::Day, IDC_WPP_DAY, IDC_WPP_DAY_SPIN },
    { DateTimeField::Month, IDC_WPP_MONTH, IDC_WPP_MONTH_SPIN },
    { DateTimeField::Year, IDC_WPP_YEAR, IDC_WPP_YEAR_SPIN },
    { DateTimeField::Hour, IDC_WPP_HOUR, IDC_WPP_HOUR_SPIN },
    { DateTimeField::Minute, IDC_WPP_MINUTE, IDC_WPP_MINUTE_SPIN },
    { DateTimeField::Second, IDC_WPP_SECOND, IDC_WPP_SECOND_SPIN } } };

// The fields whose focus shows the soft input panel.
constexpr std::array<int, 8> kTypedFields { IDC_WPP_LAT_MINUTES, IDC_WPP_LON_MINUTES, IDC_WPP_NAME,
    IDC_WPP_LAT_HEMISPHERE, IDC_WPP_LAT_DEGREES, IDC_WPP_LON_HEMISPHERE, IDC_WPP_ALTITUDE,
    IDC_WPP_LON_DEGREES };

// Millionths of a minute of arc are a few millimetres.
QString NumberText(double value)
{
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

bool ParseInt(const QString& text, int32_t& value)
{
    bool ok = false;
    const int parsed = text.trimmed().toInt(&ok);
    if (ok)
        value = parsed;
    return ok;
}

bool ParseDouble(const QString& text, double& value)
{
    bool ok = false;
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const double parsed = t.toDouble(&ok);
    if (ok)
        value = parsed;
    return ok;
}

char FirstLetter(const QString& text)
{
    return !text.isEmpty() && text[0].unicode() < 128 ? static_cast<char>(text[0].unicode()) : '\0';
}

} // namespace

CWaypointPropsDlg::CWaypointPropsDlg(QWidget* parent)
    : CDialogFullScreen(GetOrientedDialogId(IDD_WAYPOINT_PROPS), parent)
{
}

void CWaypointPropsDlg::Init(const CGeoPos* position, const QString& name)
{
    if (position == nullptr)
        return;
    m_waypointIndex = -2;
    m_modeless = 0;
    if (position->IsValid()) {
        char hemisphere = 0;
        position->GetLatitude().ToDegMin(m_latDegrees, m_latMinutes, hemisphere);
        m_latHemisphere = QString(QLatin1Char(hemisphere));
        position->GetLongitude().ToDegMin(m_lonDegrees, m_lonMinutes, hemisphere);
        m_lonHemisphere = QString(QLatin1Char(hemisphere));
    }
    m_name = name;
}

void CWaypointPropsDlg::CreateControls(QWidget* body)
{
    DialogLayout layout(*this, body, IsLandscapeLayout());
    // The form takes all the room the buttons leave.
    QVBoxLayout* rows = AddScrollingForm(body, layout.Form(), 1000);
    QWidget* form = rows->parentWidget();

    auto* grid = new QGridLayout;
    grid->setSpacing(DialogSpacing());
    rows->addLayout(grid);
    static const QRegularExpression kDigits(QStringLiteral("[0-9]*"));
    auto addCoordinate = [&](int row, int labelId, int hemisphereId, int degreesId, int minutesId) {
        grid->addWidget(AddControl<QLabel>(labelId, form), row, 0);
        auto* hemisphere = AddControl<QLineEdit>(hemisphereId, form);
        hemisphere->setMaxLength(1);
        hemisphere->setMaximumWidth(ScaleByDpiX(24));
        auto* degrees = AddControl<QLineEdit>(degreesId, form);
        degrees->setValidator(new QRegularExpressionValidator(kDigits, degrees));
        degrees->setMaximumWidth(ScaleByDpiX(36));
        auto* minutes = AddControl<QLineEdit>(minutesId, form);
        minutes->setMinimumWidth(ScaleByDpiX(40));
        int column = 1;
        for (QLineEdit* edit : { hemisphere, degrees, minutes }) {
            StyleTouchControl(edit);
            edit->setAlignment(Qt::AlignCenter);
            grid->addWidget(edit, row, column++);
        }
    };
    addCoordinate(
        0, IDC_WPP_LATITUDE_LABEL, IDC_WPP_LAT_HEMISPHERE, IDC_WPP_LAT_DEGREES, IDC_WPP_LAT_MINUTES);
    addCoordinate(
        1, IDC_WPP_LONGITUDE_LABEL, IDC_WPP_LON_HEMISPHERE, IDC_WPP_LON_DEGREES, IDC_WPP_LON_MINUTES);
    grid->addWidget(AddControl<QLabel>(IDC_WPP_NAME_LABEL, form), 2, 0);
    auto* name = AddControl<QLineEdit>(IDC_WPP_NAME, form);
    StyleTouchControl(name);
    name->setMinimumWidth(ScaleByDpiX(40));
    grid->addWidget(name, 2, 1, 1, 3);
    grid->addWidget(AddControl<QLabel>(IDC_WPP_ALTITUDE_LABEL, form), 3, 0);
    auto* altitude = AddControl<QLineEdit>(IDC_WPP_ALTITUDE, form);
    StyleTouchControl(altitude);
    altitude->setMinimumWidth(ScaleByDpiX(40));
    grid->addWidget(altitude, 3, 1, 1, 2);
    grid->addWidget(AddControl<QLabel>(IDC_WPP_UNIT, form), 3, 3);
    grid->setColumnStretch(3, 1);

    AddDateTimeGroups(*this, form, rows, IDC_WPP_DATE_GROUP, IDC_WPP_TIME_GROUP, kFields, false,
        [this](DateTimeField field, int delta) { OnDeltaPos(field, delta); });

    // The type, with the picture it gives the waypoint.
    auto* typeRow = new QHBoxLayout;
    auto* symbol = AddControl<QComboBox>(IDC_WPP_SYMBOL, form);
    StyleTouchControl(symbol);
    typeRow->addWidget(symbol, 1);
    m_typePicture = new QLabel(form);
    m_typePicture->setFixedSize(ScaleByDpiX(24), ScaleByDpiX(24));
    m_typePicture->setAlignment(Qt::AlignCenter);
    typeRow->addWidget(m_typePicture);
    symbol->setMaxVisibleItems(8);
    // Long category names must not widen the form past a small screen.
    symbol->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    symbol->setMinimumContentsLength(8);
    rows->addLayout(typeRow);

    // The recorder in its group, and below it the link to its default file name.
    auto* sound = AddControl<QGroupBox>(IDC_WPP_SOUND_GROUP, form);
    auto* soundRows = new QVBoxLayout(sound);
    soundRows->setContentsMargins(DialogSpacing(), DialogSpacing(), DialogSpacing(), DialogSpacing());
    m_recorderHost = new QWidget(sound);
    m_recorderHost->setMinimumSize(ScaleByDpiX(78), ScaleByDpiY(26));
    soundRows->addWidget(m_recorderHost);
    rows->addWidget(sound);
    auto* link = new QHBoxLayout;
    link->addWidget(AddControl<QLabel>(IDC_WPP_LINK_LABEL, form));
    auto* reset = AddControl<QPushButton>(IDC_WPP_DEFAULT, form);
    StyleTouchControl(reset);
    link->addWidget(reset, 1);
    rows->addLayout(link);
    rows->addStretch(1);

    layout.AddOkCancel();
}

bool CWaypointPropsDlg::OnInitDialog()
{
    CDialogFullScreen::OnInitDialog();
    SetOkCancelTexts(*this);
    SetDlgItemText(IDC_WPP_LATITUDE_LABEL, Bilingual(u"Latitude", u"Широта"));
    SetDlgItemText(IDC_WPP_LONGITUDE_LABEL, Bilingual(u"Longitude", u"Долгота"));
    SetDlgItemText(IDC_WPP_NAME_LABEL, Bilingual(u"Name", u"Имя"));
    SetDlgItemText(IDC_WPP_ALTITUDE_LABEL, Bilingual(u"Altitude", u"Высота"));
    SetDlgItemText(IDC_WPP_UNIT, Bilingual(u"m", u"м"));
    SetDlgItemText(IDC_WPP_DATE_GROUP, Bilingual(u"Date", u"Дата"));
    SetDlgItemText(IDC_WPP_TIME_GROUP, Bilingual(u"Time", u"Время"));
    SetDlgItemText(IDC_WPP_LINK_LABEL, Bilingual(u"Link", u"Ссылка"));
    SetDlgItemText(IDC_WPP_DEFAULT, Bilingual(u"Default", u"По умолчанию"));
    SetDlgItemText(IDC_WPP_SOUND_GROUP, Bilingual(u"wav-file", u"wav-файл"));

    std::optional<WaypointDateTime> when;
    {
        platform::CSLock lock(g_gpsFixLock);
        // A fix that never had a time holds 0, which is no date of a new waypoint.
        if (g_gpsFix.m_time > 0)
            when = LocalDateTimeOf(g_gpsFix.m_time);
        m_creationTime = g_gpsFix.m_time;
    }
    // A fix time that cannot be converted gives way to the device's clock, so
    // that the fields always hold a date that OK can take.
    const WaypointDateTime fields = when.value_or(LocalDateTimeNow());
    m_year = fields.year;
    m_month = fields.month;
    m_day = fields.day;
    m_hour = fields.hour;
    m_minute = fields.minute;
    m_second = fields.second;

    // The types that show on the map, so that the chosen one gives the
    // waypoint its symbol; colours are stored by a name the program reads in
    // either language.
    auto* symbol = GetDlgItemAs<QComboBox>(IDC_WPP_SYMBOL);
    symbol->clear();
    symbol->addItems(WaypointTypeChoices());
    symbol->setCurrentIndex(0);
    ShowImagePicture(m_typePicture, WaypointTypePictureId(QString()));

    m_soundPath = DefaultWaypointSoundPath(WaypointPropertiesDialogFolder());
    OpenRecorder();
    UpdateData(false);
    return true;
}

void CWaypointPropsDlg::OpenRecorder()
{
    OpenVoiceRecorder(m_soundPath, kWaypointRecorderStyle, m_recorderHost, 0, 0);
}

int32_t& CWaypointPropsDlg::FieldMember(DateTimeField field)
{
    return DateTimeMember(field, m_day, m_month, m_year, m_hour, m_minute, m_second);
}

bool CWaypointPropsDlg::DoDataExchange(bool save)
{
    if (!save) {
        SetDlgItemText(IDC_WPP_NAME, m_name);
        SetDlgItemText(IDC_WPP_ALTITUDE, NumberText(m_altitude));
        SetDlgItemText(IDC_WPP_LAT_HEMISPHERE, m_latHemisphere);
        SetDlgItemText(IDC_WPP_LAT_DEGREES, QString::number(m_latDegrees));
        SetDlgItemText(IDC_WPP_LAT_MINUTES, NumberText(m_latMinutes));
        SetDlgItemText(IDC_WPP_LON_HEMISPHERE, m_lonHemisphere);
        SetDlgItemText(IDC_WPP_LON_DEGREES, QString::number(m_lonDegrees));
        SetDlgItemText(IDC_WPP_LON_MINUTES, NumberText(m_lonMinutes));
        for (const DateTimeFieldIds& f : kFields)
            SetDlgItemText(f.edit, QString::number(FieldMember(f.field)));
        // Long numbers show from their start.
        for (const int id : { IDC_WPP_LAT_MINUTES, IDC_WPP_LON_MINUTES, IDC_WPP_NAME })
            GetDlgItemAs<QLineEdit>(id)->setCursorPosition(0);
        return true;
    }
    // Every field is checked before any member changes.
    auto refuse = [this](int id, const char16_t* english, const char16_t* russian) {
        platform::ShowMessageBox(this, Bilingual(english, russian), QStringLiteral("Travenor Pro"),
            platform::MB_OK | platform::MB_ICONEXCLAMATION);
        FocusDlgItem(id);
        return false;
    };
    int32_t latDegrees = 0, lonDegrees = 0;
    std::array<int32_t, 6> dateTime {};
    for (auto [id, value] :
        { std::pair { IDC_WPP_LAT_DEGREES, &latDegrees }, std::pair { IDC_WPP_LON_DEGREES, &lonDegrees } })
        if (!ParseInt(GetDlgItemText(id), *value))
            return refuse(id, u"Please enter an integer.", u"Введите целое число.");
    for (size_t i = 0; i < kFields.size(); ++i)
        if (!ParseInt(GetDlgItemText(kFields[i].edit), dateTime[i]))
            return refuse(kFields[i].edit, u"Please enter an integer.", u"Введите целое число.");
    double altitude = 0, latMinutes = 0, lonMinutes = 0;
    for (auto [id, value] : { std::pair { IDC_WPP_ALTITUDE, &altitude },
             std::pair { IDC_WPP_LAT_MINUTES, &latMinutes }, std::pair { IDC_WPP_LON_MINUTES, &lonMinutes } })
        if (!ParseDouble(GetDlgItemText(id), *value))
            return refuse(id, u"Please enter a number.", u"Введите число.");
    m_name = GetDlgItemText(IDC_WPP_NAME);
    m_altitude = altitude;
    m_latHemisphere = GetDlgItemText(IDC_WPP_LAT_HEMISPHERE);
    m_lonHemisphere = GetDlgItemText(IDC_WPP_LON_HEMISPHERE);
    m_latDegrees = latDegrees;
    m_lonDegrees = lonDegrees;
    m_latMinutes = latMinutes;
    m_lonMinutes = lonMinutes;
    for (size_t i = 0; i < kFields.size(); ++i)
        FieldMember(kFields[i].field) = dateTime[i];
    return true;
}

bool CWaypointPropsDlg::OnCommand(int id, int code)
{
    if (std::find(kTypedFields.begin(), kTypedFields.end(), id) != kTypedFields.end()) {
        if (code == EN_SETFOCUS)
            ShowInputPanel(true);
        else if (code == EN_KILLFOCUS)
            ShowInputPanel(false);
        return true;
    }
    if (id == IDC_WPP_SYMBOL) {
        if (code == CBN_SELCHANGE)
            ShowImagePicture(m_typePicture, WaypointTypePictureId(GetDlgItemText(IDC_WPP_SYMBOL)));
        return true;
    }
    if (id == IDC_WPP_DEFAULT && code == BN_CLICKED) {
        OnDefaultSound();
        return true;
    }
    return CDialogFullScreen::OnCommand(id, code);
}

void CWaypointPropsDlg::OnDefaultSound()
{
    CloseVoiceRecorder();
    m_soundPath = DefaultWaypointSoundPath(WaypointPropertiesDialogFolder());
    OpenRecorder();
}

void CWaypointPropsDlg::OnDeltaPos(DateTimeField field, int delta)
{
    if (!UpdateData(true))
        return;
    int32_t& value = FieldMember(field);
    value = StepPropertiesField(field, value, delta);
    UpdateData(false);
}

void CWaypointPropsDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    const std::optional<int64_t> firstTime
        = SecondsOfLocalDateTime({ m_year, m_month, m_day, m_hour, m_minute, m_second });
    if (!firstTime) {
        platform::ShowMessageBox(this,
            Bilingual(u"Please enter a date from 1970 to 3000 and a time from 0:00:00 to 23:59:59.",
                u"Введите дату с 1970 по 3000 год и время от 0:00:00 до 23:59:59."),
            QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        FocusDlgItem(IDC_WPP_DAY);
        return;
    }
    CWaypoint waypoint;
    waypoint.m_name = m_name;
    if (!waypoint.m_position.SetFromNmea(m_latDegrees, m_latMinutes, FirstLetter(m_latHemisphere),
            m_lonDegrees, m_lonMinutes, FirstLetter(m_lonHemisphere))) {
        platform::ShowMessageBox(this,
            Bilingual(
                u"Invalid coordinates. The latitude takes the letter N or S and at most 90 degrees, the "
                u"longitude E or W and at most 180 degrees; degrees and minutes are not negative.",
                u"Неверные координаты. Широта: буква N или S и не более 90 градусов, долгота: E или W и не "
                u"более 180 градусов; градусы и минуты не могут быть отрицательными."),
            QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        FocusDlgItem(IDC_WPP_LAT_HEMISPHERE);
        return;
    }
    CloseVoiceRecorder();
    waypoint.m_altitude = m_altitude;
    waypoint.m_firstTime = *firstTime;
    waypoint.m_secondTime = m_creationTime;
    auto* symbol = GetDlgItemAs<QComboBox>(IDC_WPP_SYMBOL);
    waypoint.m_type = symbol->currentIndex() >= 0 ? symbol->currentText() : QString();
    if (QFile::exists(platform::DevicePathToLocal(m_soundPath))) {
        waypoint.m_soundPath = m_soundPath;
        WaypointPropertiesDialogFolder() = GetFolderPart(m_soundPath);
    }
    if (!g_waypoints || g_waypoints->Add(waypoint) < 0) {
        ShowWaypointRefused(this);
        OpenRecorder();
        return;
    }
    EndDialog(platform::IDOK);
}

void CWaypointPropsDlg::OnCancel()
{
    CloseVoiceRecorder();
    EndDialog(platform::IDCANCEL);
}
