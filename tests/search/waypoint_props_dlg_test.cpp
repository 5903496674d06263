// The waypoint properties dialog on the Voradu map: typed coordinates become
// a waypoint of the list, wrong ones or a refused place keep the dialog open
// with a message, the date and time wrap both ways, a fix time that cannot
// be converted gives way to the device's clock, and the chosen type shows.
#include "search/waypoint_props_dlg.h"

#include "foundation/static_tables.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/voice_recorder.h"
#include "search/voice_recorder.h"
#include "search/waypoint.h"
#include "tests/search/voradu_places.h"
#include "tests/ui/ui_testing.h"

#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <limits>

namespace {

using search_testing::SetFix;

class WaypointProperties : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(map.opened);
        home = search_testing::HousePosition(map, "Блока", "10");
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_time = 1183459509;
        WaypointPropertiesDialogFolder() = QStringLiteral("\\My Documents\\");
    }
    void TearDown() override
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_time = 0;
    }

    search_testing::SearchMap map { "voradu" };
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    platform::ScopedProcessObject<CWaypointList> waypoints { g_waypoints };
    CGeoPos home;
};

TEST_F(WaypointProperties, TypedCoordinatesBecomeAWaypointOrKeepTheDialogOpen)
{
    int degrees = 0;
    double minutes = 0;
    char letter = 0;
    home.GetLatitude().ToDegMin(degrees, minutes, letter);
    const QString latDegrees = QString::number(degrees);
    home.GetLongitude().ToDegMin(degrees, minutes, letter);
    const QString lonDegrees = QString::number(degrees);

    const struct {
        const char* field;
        int id;
        const char* text;
        const char* message; // the start of the message, or null when the waypoint is added
    } cases[] = {
        { "unchanged", 0, "", nullptr },
        { "lower-case hemisphere", IDC_WPP_LAT_HEMISPHERE, "n", "Invalid coordinates." },
        { "west of Greenwich", IDC_WPP_LON_HEMISPHERE, "W", "The waypoint was not added" },
        { "south of the equator", IDC_WPP_LAT_HEMISPHERE, "S", "The waypoint was not added" },
        { "negative minutes", IDC_WPP_LON_MINUTES, "-1", "Invalid coordinates." },
        { "latitude past the pole", IDC_WPP_LAT_DEGREES, "91", "Invalid coordinates." },
        { "malformed minutes", IDC_WPP_LAT_MINUTES, "12,5x", "Please enter a number." },
        { "empty degrees", IDC_WPP_LON_DEGREES, "", "Please enter an integer." },
    };
    for (const auto& c : cases) {
        waypoints->RemoveAll();
        CWaypointPropsDlg dialog;
        dialog.Init(&home, QStringLiteral("Typed"));
        ASSERT_TRUE(dialog.Create());
        EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LAT_HEMISPHERE), QStringLiteral("N")) << c.field;
        EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LON_HEMISPHERE), QStringLiteral("E")) << c.field;
        EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LAT_DEGREES), latDegrees) << c.field;
        EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LON_DEGREES), lonDegrees) << c.field;
        if (c.id != 0)
            dialog.SetDlgItemText(c.id, QString::fromUtf8(c.text));
        uitest::ScriptedMessageBoxes boxes;
        ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK)) << c.field;
        if (c.message == nullptr) {
            EXPECT_TRUE(boxes.requests.empty()) << c.field;
            EXPECT_FALSE(dialog.IsOpen()) << c.field;
            EXPECT_EQ(dialog.result(), platform::IDOK) << c.field;
            ASSERT_EQ(waypoints->GetWaypointCount(), 1) << c.field;
            const CWaypoint& added = *waypoints->GetAt(0);
            EXPECT_EQ(added.m_name, QStringLiteral("Typed"));
            EXPECT_NEAR(added.m_position.GetLatitude().GetRadians(), home.GetLatitude().GetRadians(), 1e-9);
            EXPECT_NEAR(added.m_position.GetLongitude().GetRadians(), home.GetLongitude().GetRadians(), 1e-9);
            EXPECT_TRUE(added.m_address.contains(QStringLiteral("Блока")));
            EXPECT_EQ(added.m_secondTime, 1183459509);
        } else {
            ASSERT_EQ(boxes.requests.size(), 1u) << c.field;
            EXPECT_TRUE(boxes.requests[0].text.startsWith(QString::fromUtf8(c.message)))
                << c.field << ": " << boxes.requests[0].text.toStdString();
            EXPECT_TRUE(dialog.IsOpen()) << c.field;
            EXPECT_EQ(waypoints->GetWaypointCount(), 0) << c.field;
            EXPECT_NE(GetVoiceRecorder(), nullptr) << c.field << ": the recorder stays for the next try";
            ASSERT_TRUE(dialog.ClickDlgItem(platform::IDCANCEL));
        }
    }

    // A place south and west shows its own hemisphere letters.
    CGeoPos southWest;
    southWest.Set(-0.5, -1.2);
    CWaypointPropsDlg dialog;
    dialog.Init(&southWest, QString());
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LAT_HEMISPHERE), QStringLiteral("S"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LON_HEMISPHERE), QStringLiteral("W"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LAT_DEGREES), QStringLiteral("28"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_LON_DEGREES), QStringLiteral("68"));
    ASSERT_TRUE(dialog.ClickDlgItem(platform::IDCANCEL));
}

TEST_F(WaypointProperties, TheFieldsWrapBothWaysAndAnUnreadableFixTimeGivesWayToTheClock)
{
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_time = std::numeric_limits<int64_t>::max();
    }
    platform::ScopedLocalTime clock({ 2026, 12, 11, 5, 1, 30, 7, 0 });
    CWaypointPropsDlg dialog;
    dialog.Init(&home, QStringLiteral("Night"));
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_YEAR), QStringLiteral("2026"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_DAY), QStringLiteral("11"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPP_HOUR), QStringLiteral("1"));

    search_testing::ExpectArrowSteps(dialog,
        {
            { IDC_WPP_HOUR, IDC_WPP_HOUR_SPIN, "0", false, "23" },
            { IDC_WPP_HOUR, IDC_WPP_HOUR_SPIN, "23", true, "0" },
            { IDC_WPP_MINUTE, IDC_WPP_MINUTE_SPIN, "0", false, "59" },
            { IDC_WPP_SECOND, IDC_WPP_SECOND_SPIN, "59", true, "0" },
            { IDC_WPP_DAY, IDC_WPP_DAY_SPIN, "1", false, "31" },
            { IDC_WPP_MONTH, IDC_WPP_MONTH_SPIN, "12", true, "1" },
            { IDC_WPP_YEAR, IDC_WPP_YEAR_SPIN, "1971", false, "2038" },
            { IDC_WPP_YEAR, IDC_WPP_YEAR_SPIN, "2038", true, "1971" },
        });

    // A typed hour out of range is refused with a message, the dialog stays.
    dialog.SetDlgItemText(IDC_WPP_HOUR, QStringLiteral("24"));
    {
        uitest::ScriptedMessageBoxes boxes;
        ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
        ASSERT_EQ(boxes.requests.size(), 1u);
        EXPECT_TRUE(dialog.IsOpen());
    }
    // 31 February 2028 is the leap day.
    for (auto [id, value] : { std::pair { IDC_WPP_DAY, 31 }, std::pair { IDC_WPP_MONTH, 2 },
             std::pair { IDC_WPP_YEAR, 2028 }, std::pair { IDC_WPP_HOUR, 6 } })
        dialog.SetDlgItemText(id, QString::number(value));
    ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
    EXPECT_FALSE(dialog.IsOpen());
    ASSERT_EQ(waypoints->GetWaypointCount(), 1);
    const std::optional<WaypointDateTime> when = LocalDateTimeOf(waypoints->GetAt(0)->m_firstTime);
    ASSERT_TRUE(when.has_value());
    EXPECT_EQ(when->month, 2);
    EXPECT_EQ(when->day, 29);
    EXPECT_EQ(when->hour, 6);
}

TEST_F(WaypointProperties, TheChosenTypeGivesTheSymbolAndTheDefaultNoteName)
{
    for (const int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
        g_language = language;
        waypoints->RemoveAll();
        CWaypointPropsDlg dialog;
        dialog.Init(&home, QStringLiteral("Red one"));
        ASSERT_TRUE(dialog.Create());
        auto* symbol = dialog.GetDlgItemAs<QComboBox>(IDC_WPP_SYMBOL);
        EXPECT_EQ(symbol->currentIndex(), 0);
        EXPECT_EQ(symbol->itemText(0), QString());
        // Red, in the interface language, is a type the map draws in either language.
        ASSERT_TRUE(dialog.SelectDlgItem(IDC_WPP_SYMBOL, 2));
        EXPECT_EQ(symbol->currentText(), QStringView(WaypointColourNames(language)[1]).toString());
        ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
        ASSERT_EQ(waypoints->GetWaypointCount(), 1);
        EXPECT_EQ(waypoints->GetAt(0)->m_bitmapId, 654);
        EXPECT_EQ(waypoints->GetAt(0)->m_iconId, 666);
    }

    // "Default" keeps 0.wav while nothing is recorded; after a recording 01.wav.
    CWaypointPropsDlg dialog;
    dialog.Init(&home, QStringLiteral("Note"));
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.m_soundPath, QStringLiteral("\\My Documents\\0.wav"));
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_WPP_DEFAULT));
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_WPP_DEFAULT));
    EXPECT_EQ(dialog.m_soundPath, QStringLiteral("\\My Documents\\0.wav"));
    EXPECT_EQ(GetVoiceRecorder()->FileName(), QStringLiteral("\\My Documents\\0.wav"));
    QFile recorded(platform::DevicePathToLocal(dialog.m_soundPath));
    ASSERT_TRUE(recorded.open(QIODevice::WriteOnly));
    recorded.write("RIFF");
    recorded.close();
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_WPP_DEFAULT));
    EXPECT_EQ(dialog.m_soundPath, QStringLiteral("\\My Documents\\01.wav"));
    // OK keeps only a note that exists.
    waypoints->RemoveAll();
    ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
    ASSERT_EQ(waypoints->GetWaypointCount(), 1);
    EXPECT_EQ(waypoints->GetAt(0)->m_soundPath, QString());
}

} // namespace
