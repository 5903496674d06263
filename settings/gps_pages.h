#pragma once
// The pages of the GPS sheet: where the GPS data comes from (the handheld
// model, or a port and speed of the user's choice), the replay of a recorded
// NMEA log, and the recording of the incoming sentences into a log. Every
// choice acts on the GPS source at once; OK adds nothing.
#include "ui/property_page.h"

#include <QString>
#include <cstdint>

enum : int {
    IDD_PAGE_GPS_SETTINGS = 994,
    IDC_GPS_GROUP = 1034,
    IDC_GPS_MODEL_LABEL = 1338,
    IDC_GPS_MODEL = 1339,
    IDC_GPS_PORT_LABEL = 1337,
    IDC_GPS_PORT = 1018,
    IDC_GPS_SPEED_LABEL = 1341,
    IDC_GPS_SPEED = 1021,
    IDC_GPS_RESET = 1340,

    IDD_PAGE_NMEA_READ = 995,
    IDC_NMEA_READ_GROUP = 1078,
    IDC_NMEA_READ_BY = 1071,
    IDC_NMEA_FACTOR = 1008,
    IDC_NMEA_FASTER = 1072,
    IDC_NMEA_LOOP = 1027,
    IDC_NMEA_REVERSE = 1073,
    IDC_NMEA_READ_FILE_GROUP = 1075,
    IDC_NMEA_READ_FILE = 1074,
    IDC_NMEA_READ_SELECT = 1076,
    IDC_NMEA_START = 1053,
    IDC_NMEA_STOP = 1077,

    IDD_PAGE_NMEA_WRITE = 996,
    IDC_NMEA_WRITE_GROUP = 1083,
    IDC_NMEA_WRITE_ON = 1082,
    IDC_NMEA_WRITE_SELECT = 1081,
    IDC_NMEA_WRITE_FILE_GROUP = 1080,
    IDC_NMEA_WRITE_FILE = 1079,
};

class CPageGpsSettings : public CPropertyPage {
public:
    CPageGpsSettings();
    bool OnInitDialog() override;

    // Opens the GPS source chosen on the page again (the step every change
    // runs); false when it cannot be opened. A running NMEA log goes on and the
    // last fix is kept.
    bool ReopenGpsSource();

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void ApplyModel();
    void EnableByModel();
    void OnModelChanged();
    void OnPortChanged();
    void OnSpeedChanged();
    void OnResetConnection();
    // The source number of a port entry, or -1.
    int32_t PortSource(int index) const;
    // Selects the entries of a source and a speed; false when either has none.
    bool SelectPortAndSpeed(int32_t source, int32_t baud);
    // The choice shown, into the settings (a list without a selection leaves
    // its value as it was).
    void StoreShownChoice();

    int m_lastPort = -1;
    int m_lastSpeed = -1;
};

// The replay of an NMEA log as the GPS source.
class CPageNmeaRead : public CPropertyPage {
public:
    CPageNmeaRead();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void Refresh();

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnFactorChanged();
    void OnFlagClicked(int id);
    void OnSelect();
    void OnStart();
    void OnStop();
};

// The recording of the incoming NMEA sentences into a log file.
class CPageNmeaWrite : public CPropertyPage {
public:
    CPageNmeaWrite();
    bool OnInitDialog() override;
    void Refresh();

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnSelect();
    void OnLogClicked();
};
