// The GPS sheet on the program's GPS source: a receiver on a pty standing in
// for a COM port, the replay of a shared NMEA capture, the log written to the
// test's documents folder.
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/nmea_text.h"
#include "tests/support/pty_pair.h"

#include <QComboBox>
#include <QFile>

using namespace settingstest;

namespace {

QStringList Entries(const CPropertyPage& page, int id)
{
    QStringList texts;
    auto* combo = page.GetDlgItemAs<QComboBox>(id);
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// The port list's entry of a source.
int PortEntry(const CPropertyPage& page, int32_t source)
{
    return page.GetDlgItemAs<QComboBox>(IDC_GPS_PORT)->findData(source);
}

int32_t ParseComName(const char* name)
{
    int32_t number = -1;
    ParseGpsSourceName(QLatin1String(name), &number);
    return number;
}

void SetManualGps(int32_t model, int32_t source, int32_t baud)
{
    g_deviceModel = model;
    g_manualGpsPort = source;
    g_manualGpsBaudRate = baud;
    g_gpsSourceNumber = source;
    g_gpsBaudRate = baud;
}

// A shared capture as a replay file of the documents folder.
QString ReplayFile(SettingsProgram& program)
{
    const QString path = program.LocalPath(QStringLiteral("drive.nm"));
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(QStringLiteral(TRAVENOR_SHARED_DATA_DIR "/nmea/bu353s4.log"), path));
    return path;
}

} // namespace

// A model shows its receiver's port and speed with both lists locked;
// "Manual settings" brings back the user's own.
TEST(GpsSettingsPage, AModelShowsItsPortAndSpeedAndManualSettingsTheUsersOwn)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    g_bExpertMode = 0;
    SetManualGps(0, 5, 9600);
    CSheetGps sheet(QStringLiteral("GPS"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageGpsSettings& page = sheet.m_settings;
    const QStringList ports = Entries(page, IDC_GPS_PORT);
    ASSERT_EQ(ports.size(), 12) << "no replay entry in simple mode";
    EXPECT_EQ(ports[0], QStringLiteral("None"));
    EXPECT_EQ(ports[11], QStringLiteral("WM 5.0 software port"));
    EXPECT_EQ(page.GetDlgItemText(IDC_GPS_MODEL), QStringLiteral("Manual settings"));
    EXPECT_EQ(page.GetDlgItemText(IDC_GPS_PORT), QStringLiteral("COM5:"));
    EXPECT_EQ(page.GetDlgItemText(IDC_GPS_SPEED), QStringLiteral("9600"));
    EXPECT_TRUE(page.IsDlgItemEnabled(IDC_GPS_PORT));

    const struct {
        int row;
        int32_t code;
        const char* port;
        const char* speed;
    } rows[] = {
        { 2, 3, "COM2:", "4800" },
        { 6, 20, "COM8:", "9600" },
        { 13, 215, "COM7:", "57600" },
        { 0, 0, "COM5:", "9600" },
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(page.SelectDlgItem(IDC_GPS_MODEL, r.row));
        EXPECT_EQ(g_deviceModel, r.code);
        EXPECT_EQ(page.GetDlgItemText(IDC_GPS_PORT), QLatin1String(r.port)) << r.row;
        EXPECT_EQ(page.GetDlgItemText(IDC_GPS_SPEED), QLatin1String(r.speed)) << r.row;
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_GPS_PORT), r.code == 0) << r.row;
        EXPECT_EQ(page.IsDlgItemEnabled(IDC_GPS_SPEED), r.code == 0) << r.row;
        EXPECT_TRUE(page.IsDlgItemEnabled(IDC_GPS_RESET));
        EXPECT_EQ(g_gpsSourceNumber, ParseComName(r.port)) << r.row;
        EXPECT_EQ(g_gpsBaudRate, QByteArray(r.speed).toInt()) << r.row;
    }
    EXPECT_EQ(g_manualGpsPort, 5);
    EXPECT_EQ(g_manualGpsBaudRate, 9600);
    Tap(sheet, platform::IDCANCEL);
}

// What the page cannot show it leaves alone: a model this program does not
// list, a manual replay source in simple mode, a speed of no entry.
TEST(GpsSettingsPage, ChoicesThePageCannotShowStayAsTheyAre)
{
    SettingsProgram program;
    g_bExpertMode = 0;
    const struct {
        int32_t model, source, baud;
    } cases[] = { { 213, 5, 4800 }, { 0, GPS_SOURCE_REPLAY, 4800 }, { 0, 3, 2400 } };
    for (const auto& c : cases) {
        SetManualGps(c.model, c.source, c.baud);
        CSheetGps sheet(QStringLiteral("GPS"), nullptr);
        ASSERT_TRUE(sheet.Create());
        EXPECT_EQ(g_deviceModel, c.model);
        EXPECT_EQ(g_gpsSourceNumber, c.source) << c.model << " " << c.source;
        EXPECT_EQ(g_gpsBaudRate, c.baud) << c.model << " " << c.baud;
        Tap(sheet, platform::IDOK);
        EXPECT_EQ(g_gpsSourceNumber, c.source);
    }
}

// Choosing a port opens the receiver there at once, keeps the last position
// and a running log, and does nothing for a second choice of the same entry.
TEST(GpsSettingsPage, APortChoiceSwitchesTheReceiverAtOnceKeepingTheFixAndTheLog)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    g_bExpertMode = 1;
    SetManualGps(0, GPS_SOURCE_NONE, 4800);
    g_gpsSource->Close();
    testing_support::PtyPair pty;
    ASSERT_TRUE(pty.IsOpen());
    ASSERT_TRUE(pty.MapAs(QStringLiteral("COM3:")));
    CGeoPos last;
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.SetFromNmea(55, 44.0, 'N', 37, 39.0, 'E');
        last = g_gpsFix;
    }
    ASSERT_TRUE(g_gpsSource->SetLogFileName(QStringLiteral("\\My Documents\\trip.nm")));

    CSheetGps sheet(QStringLiteral("GPS"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageGpsSettings& page = sheet.m_settings;
    ASSERT_TRUE(page.SelectDlgItem(IDC_GPS_PORT, PortEntry(page, 3)));
    EXPECT_EQ(g_gpsSourceNumber, 3);
    EXPECT_EQ(g_manualGpsPort, 3);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_SERIAL);
    EXPECT_TRUE(CopyCurrentGpsFix().IsEqual(last)) << "the last position stays";
    ASSERT_TRUE(pty.Send(QByteArray::fromStdString(testing_support::NmeaCycle("GP", "120000", 1))));
    EXPECT_TRUE(AwaitTrue([] {
        g_gpsSource->Poll();
        return CopyCurrentGpsFix().IsValidFix();
    })) << "the receiver on COM3: is the source";

    // The log on its page, then another speed: the log goes on.
    TapTab(sheet, 1);
    Tap(sheet.m_write, IDC_NMEA_WRITE_ON);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_SERIAL_LOG);
    TapTab(sheet, 0);
    ASSERT_TRUE(page.SelectDlgItem(IDC_GPS_SPEED, 1));
    EXPECT_EQ(g_gpsBaudRate, 9600);
    EXPECT_EQ(g_manualGpsBaudRate, 9600);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_SERIAL_LOG);

    // The same entry again opens nothing.
    g_gpsSource->Close();
    ASSERT_TRUE(page.SelectDlgItem(IDC_GPS_PORT, PortEntry(page, 3)));
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_CLOSED);

    // "None" is stored and waits for the next opening; "Reset connection" opens it.
    ASSERT_TRUE(page.SelectDlgItem(IDC_GPS_PORT, PortEntry(page, 4)));
    ASSERT_TRUE(page.SelectDlgItem(IDC_GPS_PORT, PortEntry(page, GPS_SOURCE_NONE)));
    EXPECT_EQ(g_gpsSourceNumber, GPS_SOURCE_NONE);
    EXPECT_EQ(g_manualGpsPort, GPS_SOURCE_NONE);
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_GPS_SPEED));
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_GPS_RESET));
    ASSERT_TRUE(page.SelectDlgItem(IDC_GPS_PORT, PortEntry(page, 3)));
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_SERIAL);
    Tap(page, IDC_GPS_RESET);
    EXPECT_EQ(sheet.result(), kSheetResultFollowUp);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_SERIAL);
    g_gpsSource->Close();
}

// The replay page is live only with the replay as the source; it picks the
// file, starts and stops the replay, and the log page records it.
TEST(NmeaPages, TheReplayRunsFromItsPageAndTheLogRecordsIt)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    g_bExpertMode = 1;
    SetManualGps(0, 3, 4800);
    g_gpsSource->Close();
    g_gpsSource->SetReplayOptions(0, 0, 3.0, 7);
    const QString replay = ReplayFile(program);
    ScopedFileAnswers files({ program.LocalPath(QStringLiteral("drive.txt")), replay,
        program.LocalPath(QStringLiteral("log.txt")), program.LocalPath(QStringLiteral("missing/log.nm")) });

    CSheetGps sheet(QStringLiteral("GPS"), nullptr);
    ASSERT_TRUE(sheet.Create());
    TapTab(sheet, 2);
    CPageNmeaRead& read = sheet.m_read;
    EXPECT_EQ(read.GetCurSel(IDC_NMEA_FACTOR), -1) << "3 is none of the factors";
    for (const int id :
        { IDC_NMEA_FACTOR, IDC_NMEA_LOOP, IDC_NMEA_READ_SELECT, IDC_NMEA_START, IDC_NMEA_STOP })
        EXPECT_FALSE(read.IsDlgItemEnabled(id)) << id;
    EXPECT_EQ(read.GetDlgItemText(IDC_NMEA_READ_FILE), g_gpsSource->GetReplayFileName());

    TapTab(sheet, 0);
    ASSERT_TRUE(sheet.m_settings.SelectDlgItem(IDC_GPS_PORT, PortEntry(sheet.m_settings, GPS_SOURCE_REPLAY)));
    EXPECT_EQ(g_gpsSourceNumber, GPS_SOURCE_REPLAY);
    TapTab(sheet, 2);
    EXPECT_TRUE(read.IsDlgItemEnabled(IDC_NMEA_FACTOR));
    ASSERT_TRUE(read.SelectDlgItem(IDC_NMEA_FACTOR, 3));
    Tap(read, IDC_NMEA_LOOP);
    int32_t reverse = -1, loop = -1, reserved = -1;
    double factor = 0;
    g_gpsSource->GetReplayOptions(&reverse, &loop, &factor, &reserved);
    EXPECT_EQ(factor, 2.0);
    EXPECT_EQ(loop, 1);
    EXPECT_EQ(reverse, 0);
    EXPECT_EQ(reserved, 7) << "carried through";

    Tap(read, IDC_NMEA_READ_SELECT); // "drive.txt": refused
    ASSERT_EQ(program.rig.boxes.size(), 1u);
    EXPECT_EQ(program.rig.boxes[0].text, QStringLiteral("Can't open the file."));
    Tap(read, IDC_NMEA_READ_SELECT);
    EXPECT_EQ(read.GetDlgItemText(IDC_NMEA_READ_FILE), replay);
    EXPECT_TRUE(read.IsDlgItemEnabled(IDC_NMEA_START));
    EXPECT_FALSE(read.IsDlgItemEnabled(IDC_NMEA_STOP));
    Tap(read, IDC_NMEA_START);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_REPLAY);
    EXPECT_FALSE(read.IsDlgItemEnabled(IDC_NMEA_START));
    EXPECT_TRUE(read.IsDlgItemEnabled(IDC_NMEA_STOP));
    EXPECT_TRUE(AwaitTrue([] {
        g_gpsSource->Poll();
        return CopyCurrentGpsFix().IsValidFix();
    })) << "the replay is the source";

    TapTab(sheet, 1);
    CPageNmeaWrite& write = sheet.m_write;
    Tap(write, IDC_NMEA_WRITE_SELECT); // "log.txt": refused
    EXPECT_EQ(program.rig.boxes.size(), 2u);
    EXPECT_EQ(write.GetDlgItemText(IDC_NMEA_WRITE_FILE), g_gpsSource->GetLogFileName());
    Tap(write, IDC_NMEA_WRITE_SELECT); // a folder that does not exist
    EXPECT_EQ(write.GetDlgItemText(IDC_NMEA_WRITE_FILE), program.LocalPath(QStringLiteral("missing/log.nm")));
    Tap(write, IDC_NMEA_WRITE_ON);
    ASSERT_EQ(program.rig.boxes.size(), 3u);
    EXPECT_EQ(program.rig.boxes[2].text, QStringLiteral("Can't write to the file."));
    EXPECT_FALSE(write.IsDlgButtonChecked(IDC_NMEA_WRITE_ON));
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_REPLAY);
    ASSERT_TRUE(g_gpsSource->SetLogFileName(program.LocalPath(QStringLiteral("log.nm"))));
    Tap(write, IDC_NMEA_WRITE_ON);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_REPLAY_LOG);
    for (int i = 0; i < 8; ++i)
        g_gpsSource->Poll();
    Tap(write, IDC_NMEA_WRITE_ON);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_REPLAY);
    EXPECT_GT(QFile(program.LocalPath(QStringLiteral("log.nm"))).size(), 0);

    TapTab(sheet, 2);
    Tap(read, IDC_NMEA_STOP);
    EXPECT_EQ(g_gpsSource->GetPortState(), GPS_PORT_CLOSED);
    EXPECT_TRUE(read.IsDlgItemEnabled(IDC_NMEA_START));
    Tap(sheet, platform::IDOK);
}
