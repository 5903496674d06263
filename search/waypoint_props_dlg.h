#pragma once
// The full-screen dialog that turns typed coordinates into a waypoint:
// latitude and longitude in whole degrees and decimal minutes with their
// hemisphere letters, altitude, name, date and time, the waypoint's type (its
// symbol on the map) and a recorded sound note. OK adds the waypoint to
// g_waypoints itself; the dialog stays open with a message while the
// coordinates are wrong or the list refuses the waypoint.
#include "search/waypoint_dialog_parts.h"
#include "ui/dialog_full_screen.h"

#include <QString>
#include <cstdint>

class CGeoPos;
class QLabel;

enum : int {
    IDD_WAYPOINT_PROPS = 747,
    IDC_WPP_SYMBOL = 62,
    IDC_WPP_SOUND_GROUP = 501,
    IDC_WPP_LON_DEGREES = 1013,
    IDC_WPP_LAT_MINUTES = 1043,
    IDC_WPP_LON_MINUTES = 1044,
    IDC_WPP_NAME = 1045,
    IDC_WPP_LAT_HEMISPHERE = 1046,
    IDC_WPP_LAT_DEGREES = 1047,
    IDC_WPP_LON_HEMISPHERE = 1048,
    IDC_WPP_ALTITUDE = 1049,
    IDC_WPP_HOUR = 1119,
    IDC_WPP_MINUTE = 1120,
    IDC_WPP_SECOND = 1121,
    IDC_WPP_DAY = 1122,
    IDC_WPP_MONTH = 1123,
    IDC_WPP_YEAR = 1124,
    IDC_WPP_HOUR_SPIN = 1167,
    IDC_WPP_MINUTE_SPIN = 1168,
    IDC_WPP_SECOND_SPIN = 1169,
    IDC_WPP_DAY_SPIN = 1170,
    IDC_WPP_MONTH_SPIN = 1171,
    IDC_WPP_YEAR_SPIN = 1172,
    IDC_WPP_ALTITUDE_LABEL = 1173,
    IDC_WPP_NAME_LABEL = 1174,
    IDC_WPP_UNIT = 1175,
    IDC_WPP_LATITUDE_LABEL = 1176,
    IDC_WPP_LONGITUDE_LABEL = 1177,
    IDC_WPP_DATE_GROUP = 1178,
    IDC_WPP_TIME_GROUP = 1179,
    IDC_WPP_LINK_LABEL = 1287,
    IDC_WPP_DEFAULT = 1288,
};

class CWaypointPropsDlg : public CDialogFullScreen {
public:
    explicit CWaypointPropsDlg(QWidget* parent = nullptr);

    // A new waypoint at `position` named `name`; nothing without a position.
    void Init(const CGeoPos* position, const QString& name);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    QString m_name;
    double m_altitude = 0.0;
    int32_t m_day = 0, m_hour = 0;
    int32_t m_latDegrees = 0;
    QString m_latHemisphere;
    int32_t m_lonDegrees = 0;
    QString m_lonHemisphere;
    double m_lonMinutes = 0.0, m_latMinutes = 0.0;
    int32_t m_minute = 0, m_second = 0, m_month = 0, m_year = 0;
    int32_t m_modeless = 0;
    QString m_soundPath;
    int32_t m_waypointIndex = 0; // -2: a new waypoint at a given position
    int64_t m_creationTime = 0;

protected:
    void CreateControls(QWidget* body) override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;

private:
    void OnDefaultSound();
    void OnDeltaPos(DateTimeField field, int delta);
    void OpenRecorder();
    int32_t& FieldMember(DateTimeField field);

    QWidget* m_recorderHost = nullptr;
    QLabel* m_typePicture = nullptr;
};
