#pragma once
// "Waypoints add/edit": the dialog in which the user makes a new waypoint or
// changes one: its name, its type (a POI category, or a colour when no
// category is chosen), its date and time, and its sound note, recorded on the
// spot with the voice recorder. It shows the addresses found near the
// waypoint. It works on its own copy; the opener takes m_waypoint after OK.
#include "search/waypoint.h"
#include "search/waypoint_dialog_parts.h"
#include "ui/dialog.h"

#include <QString>
#include <cstdint>

class CGeoPos;

enum : int {
    IDD_WAYPOINT_EDIT = 213,
    IDC_WPE_ADDRESSES = 1052,
    IDC_WPE_TYPE = 1008,
    IDC_WPE_DAY = 1176,
    IDC_WPE_DAY_SPIN = 1177,
    IDC_WPE_MONTH = 1180,
    IDC_WPE_MONTH_SPIN = 1181,
    IDC_WPE_YEAR = 1182,
    IDC_WPE_YEAR_SPIN = 1183,
    IDC_WPE_HOUR = 1184,
    IDC_WPE_HOUR_SPIN = 1185,
    IDC_WPE_MINUTE = 1186,
    IDC_WPE_MINUTE_SPIN = 1187,
    IDC_WPE_SECOND = 1188,
    IDC_WPE_SECOND_SPIN = 1189,
    IDC_WPE_TIME_GROUP = 1190,
    IDC_WPE_DATE_GROUP = 1191,
    IDC_WPE_NAME = 1192,
    IDC_WPE_NAME_LABEL = 1193,
    IDC_WPE_TYPE_LABEL = 1194,
    IDC_WPE_ADDRESS_LABEL = 1195,
    IDC_WPE_CHANGE_PATH = 1196,
    IDC_WPE_SOUND_PATH = 1197,
    IDC_WPE_SOUND_GROUP = 1198,
    IDC_WPE_TITLE = 1200,
    IDC_WPE_COLOR = 1217,
    IDC_WPE_COLOR_LABEL = 1218,
    IDC_WPE_COLOR_PICTURE = 1245,
    IDC_WPE_TYPE_PICTURE = 1246,
};

// The voice recorder's style in the waypoint dialogs: no OK, no Cancel, not movable.
inline constexpr uint32_t kWaypointRecorderStyle = 73;

class CWaypointEditDlg : public CDialog {
public:
    // With a waypoint: edits a copy of it. Without one: a new waypoint at
    // `position`, or at the GPS position when none is given.
    explicit CWaypointEditDlg(
        const CWaypoint* waypoint = nullptr, const CGeoPos* position = nullptr, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CWaypoint m_waypoint; // the result after OK
    QString m_name;
    int32_t m_recorderX = 0;
    int32_t m_recorderY = 0;
    uint8_t m_editMode = 0;
    // Local time, as the dialog's six fields show it.
    uint16_t m_year = 1971, m_month = 1, m_day = 1, m_hour = 0, m_minute = 0, m_second = 0;
    QString m_soundPath;

protected:
    void CreateControls(QWidget* body) override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;

private:
    void OnSelChangeType();
    void OnSelChangeColor();
    void OnChangeSoundPath();
    void OnDeltaPos(DateTimeField field, int delta);
    void OpenRecorder();
    void SetDateTime(const WaypointDateTime& fields);
    uint16_t& FieldMember(DateTimeField field);

    QWidget* m_recorderHost = nullptr;
};
