#pragma once
// The "Move" dialog: the map's centre as latitude and longitude (whole
// degrees, decimal minutes and a hemisphere letter), which the user may type
// over, and the point the stylus pointed at, for reading. "Show map ->" moves
// the map to the typed centre once every field holds a valid value; until
// then the dialog stays open and names the field to mend.
#include "foundation/geo_pos.h"
#include "ui/dialog_full_screen.h"

#include <QString>

enum : int {
    IDD_MOVE = 203,
    IDC_MOVE_SEARCH = 1100,
    IDC_MOVE_POINTED_LAT_LABEL = 1103,
    IDC_MOVE_CENTRE_LAT_HEMISPHERE = 1104,
    IDC_MOVE_CENTRE_LAT_DEGREES = 1105,
    IDC_MOVE_CENTRE_LAT_MINUTES = 1107,
    IDC_MOVE_CENTRE_LON_MINUTES = 1110,
    IDC_MOVE_CENTRE_LON_DEGREES = 1112,
    IDC_MOVE_CENTRE_LON_HEMISPHERE = 1113,
    IDC_MOVE_CENTRE_LAT_LABEL = 1114,
    IDC_MOVE_POINTED_LAT_HEMISPHERE = 1115,
    IDC_MOVE_POINTED_LAT_DEGREES = 1116,
    IDC_MOVE_POINTED_LAT_MINUTES = 1117,
    IDC_MOVE_POINTED_LON_HEMISPHERE = 1118,
    IDC_MOVE_POINTED_LON_DEGREES = 1119,
    IDC_MOVE_POINTED_LON_MINUTES = 1120,
    IDC_MOVE_CENTRE_LON_LABEL = 1121,
    IDC_MOVE_POINTED_LON_LABEL = 1122,
    IDC_MOVE_ADD_WAYPOINT = 1123,
    IDC_MOVE_CENTRE_GROUP = 1124,
    IDC_MOVE_POINTED_GROUP = 1125,
    IDC_MOVE_WAYPOINTS = 1126,
    IDC_MOVE_SHOW_MAP = 1127,
};

// One coordinate as the dialog shows it.
struct DegMinFields {
    int degrees = 0;
    double minutes = 0.0;
    QString hemisphere;
};
// The fields of an angle (radians) on a latitude or longitude axis.
DegMinFields AngleToFields(const CGeoAngle& angle);
// The minutes as the dialog writes them: up to four decimals, a point.
QString FormatMinutes(double minutes);

class CMoveDlg : public CDialogFullScreen {
public:
    explicit CMoveDlg(QWidget* parent = nullptr);

    void SetPositions(const CGeoPos& centre, const CGeoPos& pointed);
    // What "Show map ->" read from the fields (valid once the dialog ended with it).
    const CGeoPos& GetTypedCentre() const { return m_typed; }
    QString GetWaypointName() const { return m_waypointName; }

    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls(QWidget* body) override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;

private:
    // Reads the six centre fields into a position; false after telling the
    // user which field to mend (its focus set).
    bool ReadCentre(CGeoPos& out);
    void Refuse(int id, const QString& english, const QString& russian);

    CGeoPos m_centre;
    CGeoPos m_pointed;
    CGeoPos m_typed;
    QString m_waypointName;
};
