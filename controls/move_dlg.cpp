#include "controls/move_dlg.h"

#include "app/launcher.h"
#include "foundation/dialog_templates.h"
#include "foundation/input_panel.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/message_box.h"
#include "search/waypoint_props_dlg.h"
#include "ui/dialog_style.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <cmath>

namespace {

struct AxisFields {
    int label, degrees, minutes, hemisphere;
};
constexpr AxisFields kCentreLat { IDC_MOVE_CENTRE_LAT_LABEL, IDC_MOVE_CENTRE_LAT_DEGREES,
    IDC_MOVE_CENTRE_LAT_MINUTES, IDC_MOVE_CENTRE_LAT_HEMISPHERE };
constexpr AxisFields kCentreLon { IDC_MOVE_CENTRE_LON_LABEL, IDC_MOVE_CENTRE_LON_DEGREES,
    IDC_MOVE_CENTRE_LON_MINUTES, IDC_MOVE_CENTRE_LON_HEMISPHERE };
constexpr AxisFields kPointedLat { IDC_MOVE_POINTED_LAT_LABEL, IDC_MOVE_POINTED_LAT_DEGREES,
    IDC_MOVE_POINTED_LAT_MINUTES, IDC_MOVE_POINTED_LAT_HEMISPHERE };
constexpr AxisFields kPointedLon { IDC_MOVE_POINTED_LON_LABEL, IDC_MOVE_POINTED_LON_DEGREES,
    IDC_MOVE_POINTED_LON_MINUTES, IDC_MOVE_POINTED_LON_HEMISPHERE };

bool IsCentreField(int id)
{
    for (const AxisFields& axis : { kCentreLat, kCentreLon })
        if (id == axis.degrees || id == axis.minutes || id == axis.hemisphere)
            return true;
    return false;
}

bool IsPointedField(int id)
{
    for (const AxisFields& axis : { kPointedLat, kPointedLon })
        if (id == axis.degrees || id == axis.minutes || id == axis.hemisphere)
            return true;
    return false;
}

QGroupBox* AddAxisGroup(ControlHost& host, int groupId, QWidget* body, const AxisFields& lat,
    const AxisFields& lon, bool readOnly)
{
    auto* group = static_cast<QGroupBox*>(host.RegisterControl(groupId, new QGroupBox(body)));
    group->setFont(DialogFont());
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(ScaleByDpiX(4), ScaleByDpiY(2), ScaleByDpiX(4), ScaleByDpiY(2));
    grid->setHorizontalSpacing(ScaleByDpiX(3));
    int row = 0;
    for (const AxisFields& axis : { lat, lon }) {
        auto* label = static_cast<QLabel*>(host.RegisterControl(axis.label, new QLabel(group)));
        label->setFont(DialogFont());
        grid->addWidget(label, row, 0);
        const struct {
            int id;
            int chars;
            const char16_t* unit;
        } fields[]
            = { { axis.degrees, 3, u"\u00B0" }, { axis.minutes, 7, u"'" }, { axis.hemisphere, 1, nullptr } };
        int column = 1;
        for (const auto& field : fields) {
            auto* edit = static_cast<QLineEdit*>(host.RegisterControl(field.id, new QLineEdit(group)));
            edit->setFont(DialogFont());
            edit->setReadOnly(readOnly);
            edit->setMinimumWidth(ScaleByDpiX(8 + 7 * field.chars));
            edit->setMaximumWidth(ScaleByDpiX(14 + 8 * field.chars));
            StyleTouchControl(edit);
            grid->addWidget(edit, row, column++, Qt::AlignLeft);
            if (field.unit) {
                auto* unit = new QLabel(QString::fromUtf16(field.unit), group);
                unit->setFont(DialogFont());
                grid->addWidget(unit, row, column++);
            }
        }
        ++row;
    }
    grid->setColumnStretch(6, 1);
    return group;
}

// Whole degrees, 0 to `most`.
bool ParseDegrees(const QString& text, int most, int& out)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,3})\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    out = match.captured(1).toInt();
    return out <= most;
}

// Decimal minutes from 0 up to, not including, 60; a point or a comma.
bool ParseMinutes(const QString& text, double& out)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2})(?:[.,](\\d{1,8}))?\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    const QString digits = match.captured(1) + QLatin1Char('.') + match.captured(2) + QLatin1Char('0');
    bool ok = false;
    out = digits.toDouble(&ok);
    return ok && out < 60.0;
}

// One letter of the two given, in either case.
bool ParseHemisphere(const QString& text, char positive, char negative, char& out)
{
    const QString letter = text.trimmed().toUpper();
    if (letter.size() != 1 || (letter[0] != QLatin1Char(positive) && letter[0] != QLatin1Char(negative)))
        return false;
    out = letter[0].toLatin1();
    return true;
}

} // namespace

DegMinFields AngleToFields(const CGeoAngle& angle)
{
    int degrees = 0;
    double minutes = 0.0;
    char hemisphere = 0;
    angle.ToDegMin(degrees, minutes, hemisphere);
    // As written, so that the fields read back to the place they show.
    minutes = std::round(minutes * 10000.0) / 10000.0;
    if (minutes >= 60.0) {
        minutes = 0.0;
        ++degrees;
    }
    return { degrees, minutes, QString(QLatin1Char(hemisphere)) };
}

QString FormatMinutes(double minutes)
{
    QString text = QString::number(minutes, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

CMoveDlg::CMoveDlg(QWidget* parent)
    : CDialogFullScreen(GetOrientedDialogId(IDD_MOVE), parent)
{
}

void CMoveDlg::SetPositions(const CGeoPos& centre, const CGeoPos& pointed)
{
    m_centre = centre;
    m_pointed = pointed;
}

void CMoveDlg::CreateControls(QWidget* body)
{
    const bool landscape = IsLandscapeLayout();
    auto* outer = new QGridLayout(body);
    outer->setContentsMargins(ScaleByDpiX(4), ScaleByDpiY(4), ScaleByDpiX(4), ScaleByDpiY(4));
    outer->setSpacing(ScaleByDpiY(3));
    outer->addWidget(AddAxisGroup(*this, IDC_MOVE_CENTRE_GROUP, body, kCentreLat, kCentreLon, false), 0, 0);
    outer->addWidget(AddAxisGroup(*this, IDC_MOVE_POINTED_GROUP, body, kPointedLat, kPointedLon, true), 1, 0);
    // The buttons under the fields, on a grid of six columns: "Show map ->"
    // and "Add waypoint..." take a row each in portrait and share one in
    // landscape; the other three share the last row.
    auto* buttons = new QGridLayout;
    const struct {
        int id;
        int portraitRow, landscapeRow, column, span;
    } places[] = {
        { IDC_MOVE_SHOW_MAP, 0, 0, 0, 3 },
        { IDC_MOVE_ADD_WAYPOINT, 1, 0, 3, 3 },
        { IDC_MOVE_SEARCH, 2, 1, 0, 2 },
        { IDC_MOVE_WAYPOINTS, 2, 1, 2, 2 },
        { platform::IDCANCEL, 2, 1, 4, 2 },
    };
    for (const auto& place : places) {
        auto* button = AddControl<QPushButton>(place.id, body);
        button->setFont(DialogFont());
        StyleTouchControl(button);
        const bool wide = !landscape && place.span == 3;
        buttons->addWidget(button, landscape ? place.landscapeRow : place.portraitRow,
            wide ? 0 : place.column, 1, wide ? 6 : place.span);
    }
    outer->addLayout(buttons, 2, 0);
    outer->setRowStretch(3, 1);
}

bool CMoveDlg::OnInitDialog()
{
    CDialogFullScreen::OnInitDialog();
    const struct {
        int id;
        const char16_t* en;
        const char16_t* ru;
    } texts[] = {
        { IDC_MOVE_SEARCH, u"Search...", u"Поиск..." },
        { IDC_MOVE_CENTRE_GROUP, u"Coordinates of map's centre is:", u"Координаты центра карты:" },
        { IDC_MOVE_POINTED_GROUP, u"Pointed by stylus point:", u"Точка указанная стилусом:" },
        { IDC_MOVE_SHOW_MAP, u"Show map ->", u"Показать карту ->" },
        { IDC_MOVE_ADD_WAYPOINT, u"Add waypoint...", u"Добавить закладку..." },
        { IDC_MOVE_WAYPOINTS, u"Waypoints...", u"Закладки..." },
        { IDC_MOVE_CENTRE_LAT_LABEL, u"Latitude", u"Широта" },
        { IDC_MOVE_POINTED_LAT_LABEL, u"Latitude", u"Широта" },
        { IDC_MOVE_CENTRE_LON_LABEL, u"Longitude", u"Долгота" },
        { IDC_MOVE_POINTED_LON_LABEL, u"Longitude", u"Долгота" },
    };
    for (const auto& text : texts)
        SetDlgItemText(text.id, Bilingual(text.en, text.ru));
    SetDlgItemText(platform::IDCANCEL, Bilingual(u"Cancel", u"Отмена"));
    // The name a waypoint at the pointed place gets: the address found there last.
    m_waypointName = QStringLiteral("waypoint");
    if (g_MapController) {
        CAddressSearcher& searcher = g_MapController->GetAddressSearcher();
        if (const int count = searcher.GetAddressCount(); count > 0)
            if (const CAddressEntry* entry = searcher.GetAddressAt(count - 1))
                m_waypointName = entry->text + entry->ownName;
    }
    return true;
}

bool CMoveDlg::DoDataExchange(bool save)
{
    if (save)
        return ReadCentre(m_typed);
    const struct {
        const CGeoAngle& angle;
        const AxisFields& fields;
    } shown[] = { { m_centre.GetLatitude(), kCentreLat }, { m_centre.GetLongitude(), kCentreLon },
        { m_pointed.GetLatitude(), kPointedLat }, { m_pointed.GetLongitude(), kPointedLon } };
    for (const auto& axis : shown) {
        const DegMinFields fields = AngleToFields(axis.angle);
        SetDlgItemText(axis.fields.degrees, QString::number(fields.degrees));
        SetDlgItemText(axis.fields.minutes, FormatMinutes(fields.minutes));
        SetDlgItemText(axis.fields.hemisphere, fields.hemisphere);
    }
    return true;
}

void CMoveDlg::Refuse(int id, const QString& english, const QString& russian)
{
    platform::ShowMessageBox(this, Bilingual(english, russian), QStringLiteral("Travenor Pro"),
        platform::MB_OK | platform::MB_ICONEXCLAMATION);
    FocusDlgItem(id);
}

bool CMoveDlg::ReadCentre(CGeoPos& out)
{
    int latDegrees = 0, lonDegrees = 0;
    double latMinutes = 0.0, lonMinutes = 0.0;
    char latHemisphere = 0, lonHemisphere = 0;
    if (!ParseDegrees(GetDlgItemText(kCentreLat.degrees), 90, latDegrees)) {
        Refuse(kCentreLat.degrees, QStringLiteral("Latitude: whole degrees from 0 to 90."),
            QStringLiteral("Широта: целые градусы от 0 до 90."));
        return false;
    }
    if (!ParseMinutes(GetDlgItemText(kCentreLat.minutes), latMinutes)
        || (latDegrees == 90 && latMinutes > 0)) {
        Refuse(kCentreLat.minutes, QStringLiteral("Latitude: minutes from 0 to less than 60, at most 90°."),
            QStringLiteral("Широта: минуты от 0 до 60 (не включая 60), не более 90°."));
        return false;
    }
    if (!ParseHemisphere(GetDlgItemText(kCentreLat.hemisphere), 'N', 'S', latHemisphere)) {
        Refuse(
            kCentreLat.hemisphere, QStringLiteral("Latitude: N or S."), QStringLiteral("Широта: N или S."));
        return false;
    }
    if (!ParseDegrees(GetDlgItemText(kCentreLon.degrees), 180, lonDegrees)) {
        Refuse(kCentreLon.degrees, QStringLiteral("Longitude: whole degrees from 0 to 180."),
            QStringLiteral("Долгота: целые градусы от 0 до 180."));
        return false;
    }
    if (!ParseMinutes(GetDlgItemText(kCentreLon.minutes), lonMinutes)
        || (lonDegrees == 180 && lonMinutes > 0)) {
        Refuse(kCentreLon.minutes, QStringLiteral("Longitude: minutes from 0 to less than 60, at most 180°."),
            QStringLiteral("Долгота: минуты от 0 до 60 (не включая 60), не более 180°."));
        return false;
    }
    if (!ParseHemisphere(GetDlgItemText(kCentreLon.hemisphere), 'E', 'W', lonHemisphere)) {
        Refuse(
            kCentreLon.hemisphere, QStringLiteral("Longitude: E or W."), QStringLiteral("Долгота: E или W."));
        return false;
    }
    if (!out.SetFromNmea(latDegrees, latMinutes, latHemisphere, lonDegrees, lonMinutes, lonHemisphere)) {
        Refuse(kCentreLat.degrees, QStringLiteral("These coordinates name no place on the Earth."),
            QStringLiteral("Таких координат на Земле нет."));
        return false;
    }
    return true;
}

void CMoveDlg::OnOK()
{
    // The map moves only to a centre read whole from valid fields.
    if (!UpdateData(true))
        return;
    FullScreenOff();
    if (g_MapController)
        g_MapController->SetCentreGeoPosition(m_typed);
    EndDialog(platform::IDOK);
}

bool CMoveDlg::OnCommand(int id, int code)
{
    if (code == EN_SETFOCUS) {
        if (IsCentreField(id)) {
            FullScreenOff();
            ShowInputPanel(true);
        } else if (IsPointedField(id)) {
            ShowInputPanel(false);
            FullScreenOn(false);
        }
        return true;
    }
    if (code != BN_CLICKED)
        return CDialogFullScreen::OnCommand(id, code);
    switch (id) {
    case IDC_MOVE_SHOW_MAP:
        OnOK();
        return true;
    case IDC_MOVE_ADD_WAYPOINT: {
        ShowInputPanel(false);
        FullScreenOn(false);
        // The Move dialog stays open; the properties dialog adds the waypoint itself.
        CWaypointPropsDlg dialog;
        dialog.Init(&m_pointed, m_waypointName);
        dialog.DoModal();
        FullScreenOn(false);
        return true;
    }
    case IDC_MOVE_SEARCH:
    case IDC_MOVE_WAYPOINTS:
        OnCancel();
        CLauncher::SearchSheet(
            id == IDC_MOVE_SEARCH ? SEARCH_PAGE_ADDRESS : SEARCH_PAGE_WAYPOINTS, -1, -1, -1);
        return true;
    default:
        return CDialogFullScreen::OnCommand(id, code);
    }
}
