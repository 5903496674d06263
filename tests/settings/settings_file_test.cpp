// The settings file: its header and records byte for byte, every option
// written and read back, files of each older layout written by hand from the
// file's table, a file cut anywhere or damaged, a failed write, and the names
// the reader and the writer take.
#include "controls/button_folders.h"
#include "controls/diagram_button.h"
#include "controls/hard_key_map.h"
#include "foundation/language.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "search/search_lists.h"
#include "search/waypoint.h"
#include "tests/settings/settings_rig.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "ui/message_window.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <csignal>
#include <sys/resource.h>

namespace {

using settingstest::HandFile;
using settingstest::SettingsProgram;
using testing_support::BytesOf;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

QByteArray ToBytes(const platform::Archive& archive)
{
    return QByteArray(reinterpret_cast<const char*>(archive.Data().data()), qsizetype(archive.Data().size()));
}

std::span<const uint8_t> Span(const QByteArray& bytes)
{
    return { reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()) };
}

TEST(SettingsFile, HeaderRecordsAndObsoleteSectionByteForByte)
{
    // FF, the text marker FE FF, 81 units, then the signature and "204272" in UTF-16LE.
    const QByteArray text
        = "Orvantis Kestrin HhYR83724Jh485Jbfu48J93374jn9d9nr83Huihkenhmckjeliwnhijrsr204272";
    QByteArray expected = BytesOf({ 0xFF, 0xFE, 0xFF, 0x51 });
    for (const char c : text)
        expected.append(c).append('\0');
    platform::Archive header;
    header.WriteString(SettingsFileHeader(204272));
    EXPECT_EQ(ToBytes(header), expected);
    EXPECT_EQ(expected.size(), 4 + 162);

    platform::Archive records;
    CGeoPos position;
    position.SetChecked(1.0, 0.5, true);
    WritePosition(records, position);
    WritePosition(records, CGeoPos());
    WriteColumnLayout(records, { 2, 1, 40, 80 });
    WriteListState(records, { 3, 2 });
    WriteObsoleteSection(records);
    EXPECT_EQ(ToBytes(records),
        BytesOf({ 0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 1, // 0.5, 1.0, valid
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // an invalid position: zeros
            4, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 40, 0, 0, 0, 80, 0, 0, 0, // columns
            3, 0, 0, 0, 2, // list state
            0xFF, 0xFE, 0xFF, 3, 'c', 0, 'L', 0, 's', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }));
}

TEST(SettingsFile, HeadersAcceptedAndRefused)
{
    const QString signature = SettingsFileSignature();
    struct Case {
        QString header;
        int32_t version;
    };
    const Case cases[] = {
        { signature + "204272", 204272 },
        { signature + "100050", 100050 },
        { signature + "100049", 0 },
        { signature + "101002x7", 101002 },
        { signature, 0 },
        { signature + "99999999999999999999", 0 }, // no wrap-around into a version
        { signature.toLower() + "204272", 0 },
        { signature.left(74) + "204272", 0 },
        { QString(), 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header.toStdString());
        EXPECT_EQ(ParseSettingsFileHeader(c.header), c.version);
    }
}

TEST(SettingsFile, RecordsReadWithTheirBounds)
{
    // A count beyond what any writer wrote empties the layout and ends it; a
    // count the file cannot hold is damage; one beyond any list's columns is
    // read past.
    {
        HandFile f;
        f.U32(0x80000000u).I32(77);
        platform::Archive a(Span(f.bytes));
        EXPECT_TRUE(ReadColumnLayout(a).empty());
        EXPECT_EQ(a.ReadInt32(), 77);
    }
    {
        HandFile f;
        f.I32(1000000).I32(1);
        platform::Archive a(Span(f.bytes));
        EXPECT_THROW(ReadColumnLayout(a), platform::ArchiveException);
    }
    {
        HandFile f;
        f.I32(300);
        for (int i = 0; i < 300; ++i)
            f.I32(i);
        f.I32(77);
        platform::Archive a(Span(f.bytes));
        EXPECT_TRUE(ReadColumnLayout(a).empty());
        EXPECT_EQ(a.ReadInt32(), 77);
    }
    // "cLs" entries are skipped; an impossible count is damage; another tag ends the section at once.
    {
        HandFile f;
        f.Str("cLs")
            .I32(5)
            .I32(6)
            .I32(2)
            .I32(1)
            .I32(2)
            .I32(3)
            .Str("x")
            .I32(4)
            .I32(1)
            .I32(2)
            .I32(3)
            .Str("")
            .I32(4)
            .I32(77);
        platform::Archive a(Span(f.bytes));
        SkipObsoleteSection(a);
        EXPECT_EQ(a.ReadInt32(), 77);
    }
    {
        HandFile f;
        f.Str("cLs").I32(0).I32(0).I32(0x7FFFFFFF);
        platform::Archive a(Span(f.bytes));
        EXPECT_THROW(SkipObsoleteSection(a), platform::ArchiveException);
    }
    {
        HandFile f;
        f.Str("abc").I32(77);
        platform::Archive a(Span(f.bytes));
        SkipObsoleteSection(a);
        EXPECT_EQ(a.ReadInt32(), 77);
    }
    // List states: an order above 2 (or with its top bit set) reads as 0, a column below -1 as none.
    {
        HandFile f;
        f.I32(4).U8(3).I32(-7).U8(0x81).I32(1).U8(2);
        platform::Archive a(Span(f.bytes));
        const SortState s1 = ReadListState(a), s2 = ReadListState(a), s3 = ReadListState(a);
        EXPECT_EQ(s1.column, 4);
        EXPECT_EQ(s1.state, 0);
        EXPECT_EQ(s2.column, -1);
        EXPECT_EQ(s2.state, 0);
        EXPECT_EQ(s3.column, 1);
        EXPECT_EQ(s3.state, 2);
    }
    // Positions in the NMEA manner (older files): refused letters leave the position invalid.
    {
        HandFile f;
        f.I32(37).F64(39.048).U8('E').I32(55).F64(44.826).U8('N');
        f.I32(37).F64(39.048).U8('e').I32(55).F64(44.826).U8('N');
        platform::Archive a(Span(f.bytes));
        const CGeoPos ok = ReadPosition(a, 101052);
        ASSERT_TRUE(ok.IsValid());
        EXPECT_NEAR(ok.GetLatitude().GetRadians(), (55.0 + 44.826 / 60.0) * M_PI / 180.0, 1e-12);
        EXPECT_NEAR(ok.GetLongitude().GetRadians(), (37.0 + 39.048 / 60.0) * M_PI / 180.0, 1e-12);
        EXPECT_FALSE(ReadPosition(a, 101052).IsValid());
    }
    // Levels: clamped into 0..1.
    EXPECT_EQ(DecodeMainRoutePointsLevel(EncodeMainRoutePointsLevel(0.5)), 0.5);
    EXPECT_EQ(DecodeMainRoutePointsLevel(-100.0), 0.0);
    EXPECT_EQ(DecodeMainRoutePointsLevel(100.0), 1.0);
}

// Every option away from its default, in every owner.
void ChangeEveryOption(CMapController& controller)
{
    CRouteManager& routes = controller.GetRouteManager();
    CRouteGuide& guide = routes.GetGuide();
    g_language = LANGUAGE_ENGLISH;
    g_gpsSourceNumber = 11;
    g_waypoints->SetAlertsOn(0);
    g_waypoints->SetAlertRadius(0.0009);
    controller.SetCentre(controller.GetCentreX() + 1234, controller.GetCentreY() - 777);
    controller.SetScale(GetDefaultMapScale() * 4);
    controller.SetCentreMarkerShown(false);
    CScreenButtonFolders& folders = GetTransparentButtonRoot();
    folders.SetButtonCommand(2, 3, 10030);
    folders.SetGridAlpha(99);
    folders.SetBackgroundShown(0);
    controller.GetTopButtonBar().SetButtonCommand(4, 10044);
    controller.GetBottomButtonBar().SetButtonCommand(0, 10040);
    g_HardKeyMap->SetCommand(9, 10021);
    g_gpsSource->SetReplayOptions(1, 1, 2.0, 0);
    g_gpsSource->SetLogFileName(QStringLiteral("\\My Documents\\drive.nm"));
    controller.SetRotation(1350);
    controller.GetElements().scaleBar->SetState(CScreenElement::STATE_HIDDEN);
    routes.SetCorridorWidth(220.0);
    guide.SetSensitivity(0.31);
    CGeoPos poi;
    poi.SetChecked(0.9731, 0.6562, true);
    controller.GetPoiSearcher().SetSearchArea(2000, 4, poi);
    routes.SetRouteLengthTime(-1);
    g_messageWnd->SetSoundEnabled(0);
    routes.SetRerouteOnDeviation(1);
    routes.SetDeviationDelay(25);
    guide.SetFirstPromptDistance(400);
    guide.SetSecondPromptDistance(120);
    guide.SetFinalPromptOn(0);
    guide.SetSecondPromptOn(0);
    guide.SetFirstPromptOn(1);
    g_buttonTooltips = 0;
    guide.SetRepeatCount(3);
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.SetChecked(0.9732, 0.6561, true);
        g_gpsFix.m_course = 271.5;
    }
    controller.GetWidgetSet()->SetState(CScreenElement::STATE_HIDDEN);
    g_gpsBaudRate = 38400;
    g_leavingRouteMessages = 1;
    controller.SetAddressDisplay(false);
    controller.GetWidgetSet()->SetDiagram(14005);
    routes.SetSaveRouteOnExit(0);
    g_jamSettings.kind = 3;
    g_jamSettings.downloadEnabled = 1;
    g_jamSettings.periodMinutes = 35;
    g_jamSettings.defaultServer = 0;
    g_jamSettings.host = QStringLiteral("jams.example.org");
    g_jamSettings.port = 8080;
    g_jamSettings.uid = 4294967296ull;
    g_jamSettings.pin = QStringLiteral("7391");
    g_jamSettings.comPort = 6;
    g_jamSettings.receiverEnabled = 1;
    controller.GetJamFiles().SetSwitches(CJamFileManager::SWITCH_JAMS);
    routes.SetRerouteAfterJams(1);
    g_waypointColumns = { 1, 0, 2, 60, 70, 80 };
    g_poiColumns = { 0, 1, 55, 66 };
    g_movingModeAfterRoute = 0;
    g_deviceModel = 203;
    g_manualGpsPort = 7;
    g_manualGpsBaudRate = 57600;
    g_creatingRouteMessages = 1;
    for (int i = 0; i < LIST_STATE_COUNT; ++i)
        g_listStates[size_t(i)] = { i % 3, (i + 1) % 3 };
    g_screenshotFolder = QStringLiteral("\\My Documents\\Снимок.jpg");
    g_screenshotFormat = 0;
    g_screenshotQuality = 55;
    controller.GetMapSet().SetFontScale(150);
    g_reservedSetting = 9;
    ASSERT_EQ(controller.GetOrientationPanel().ApplyOption(2), 1);
    routes.SetOptionAndInvalidate(0);
    g_routeOptimisation = 2;
    g_activeSyncOff = 1;
}

TEST(SettingsFile, EveryOptionWrittenAndReadBack)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    CMapController& controller = *g_MapController;
    g_settingsFile->SetDefaults();
    const QByteArray defaults = SettingsProgram::BodyBytes();
    ChangeEveryOption(controller);
    const QByteArray changed = SettingsProgram::BodyBytes();
    ASSERT_NE(changed, defaults);

    const QString path = SettingsProgram::DevicePath(QStringLiteral("All options.kns"));
    ASSERT_TRUE(g_settingsFile->Write(path));
    EXPECT_EQ(g_settingsFile->GetPath(), path);
    g_settingsFile->SetDefaults();
    ASSERT_NE(SettingsProgram::BodyBytes(), changed);
    ASSERT_EQ(g_settingsFile->Read(path), 1);
    EXPECT_EQ(SettingsProgram::BodyBytes(), changed);

    // A few by their owners, beyond the bytes.
    EXPECT_EQ(g_jamSettings.uid, 4294967296ull);
    EXPECT_EQ(g_HardKeyMap->GetCommand(9), 10021);
    EXPECT_EQ(GetTransparentButtonRoot().GetButtonCommand(2, 3), 10030);
    EXPECT_EQ(controller.GetRouteManager().GetGuide().GetSensitivity(), 0.31);
    EXPECT_EQ(g_screenshotFolder, QStringLiteral("\\My Documents\\Снимок.jpg"));
    const QByteArray file = ReadFileBytes(program.LocalPath(QStringLiteral("All options.kns")));
    EXPECT_TRUE(file.startsWith(ToBytes([] {
        platform::Archive a;
        a.WriteString(SettingsFileHeader(204272));
        return a;
    }())));
}

TEST(SettingsFile, AMapCentreThatDidNotConvertLeavesTheMapUnitCentre)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    CMapController& controller = *g_MapController;
    g_settingsFile->SetDefaults();
    SettingsBody body = CaptureSettings();
    body.centreX += 500;
    body.mapCentreLongitude = 10.0;
    body.mapCentreLatitude = 10.0;
    platform::Archive archive;
    archive.WriteString(SettingsFileHeader(204272));
    StoreSettingsBody(archive, body);
    ASSERT_TRUE(WriteFileBytes(program.LocalPath(QStringLiteral("c.kns")), ToBytes(archive)));
    ASSERT_EQ(g_settingsFile->Read(SettingsProgram::DevicePath(QStringLiteral("c.kns"))), 1);
    EXPECT_EQ(controller.GetCentreX(), body.centreX);
    EXPECT_EQ(controller.GetCentreY(), body.centreY);
}

TEST(SettingsFile, ValuesOutOfTheirRangeAreClampedOrKeepWhatWasInForce)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    CMapController& controller = *g_MapController;
    struct Case {
        const char* name;
        std::function<void(SettingsBody&)> spoil;
        std::function<void()> check;
        // The maneuver panel's option (item 81, from 202018 on) decides its mode
        // after item 5: the mode alone is seen in a file from before it.
        int32_t version = 204272;
    };
    const Case cases[] = {
        { "interval 3 reads as 5", [](SettingsBody& b) { b.traffic.periodMinutes = 3; },
            [] { EXPECT_EQ(g_jamSettings.periodMinutes, 5); } },
        { "alert radius 0 keeps the radius", [](SettingsBody& b) { b.waypointAlertRadius = 0.0; },
            [] { EXPECT_EQ(g_waypoints->GetAlertRadius(), CWaypointListBase::kDefaultAlertRadius); } },
        { "alert radius NaN keeps the radius", [](SettingsBody& b) { b.waypointAlertRadius = std::nan(""); },
            [] { EXPECT_EQ(g_waypoints->GetAlertRadius(), CWaypointListBase::kDefaultAlertRadius); } },
        { "format byte 7 reads as 1", [](SettingsBody& b) { b.screenShotFormat = 7; },
            [] { EXPECT_EQ(g_screenshotFormat, 1); } },
        { "list order 3 reads as 0",
            [](SettingsBody& b) {
                b.listStates[2] = { 1, 3 };
            },
            [] { EXPECT_EQ(g_listStates[2].state, 0); } },
        { "maneuver mode 5 reads as 2", [](SettingsBody& b) { b.maneuverMode = 5; },
            [&] { EXPECT_EQ(controller.GetOrientationPanel().GetMode(), 2); }, 200397 },
        { "maneuver mode -4 reads as 0", [](SettingsBody& b) { b.maneuverMode = -4; },
            [&] { EXPECT_EQ(controller.GetOrientationPanel().GetMode(), 0); }, 200397 },
        { "language 7 keeps the language", [](SettingsBody& b) { b.language = 7; },
            [] { EXPECT_EQ(g_language, LANGUAGE_RUSSIAN); } },
        { "rotation -10 reads as 3590", [](SettingsBody& b) { b.rotation = -10; },
            [&] { EXPECT_EQ(controller.GetRotation(), 3590); } },
        { "corridor of infinity keeps the corridor", [](SettingsBody& b) { b.corridorWidth = INFINITY; },
            [&] { EXPECT_EQ(controller.GetRouteManager().GetCorridorWidth(), 120.0); } },
        { "repeat count 9 reads as 3", [](SettingsBody& b) { b.repeatCount = 9; },
            [&] { EXPECT_EQ(controller.GetRouteManager().GetGuide().GetRepeatCount(), 3); } },
        { "transport 9 keeps the transport", [](SettingsBody& b) { b.traffic.kind = 9; },
            [] { EXPECT_EQ(g_jamSettings.kind, 2); } },
        { "font 900 % reads as 200 %", [](SettingsBody& b) { b.fontPercent = 900; },
            [&] { EXPECT_EQ(controller.GetMapSet().GetFontScale(), 200); } },
        { "optimisation 0 keeps the optimisation", [](SettingsBody& b) { b.routeOptimisation = 0; },
            [] { EXPECT_EQ(g_routeOptimisation, 1); } },
        { "a host longer than its 255 units is cut",
            [](SettingsBody& b) { b.traffic.host = QString(300, u'h'); },
            [] { EXPECT_EQ(g_jamSettings.host, QString(255, u'h')); } },
        { "level far below reads as 0", [](SettingsBody& b) { b.mainRoutePointsLevel = -5.0; },
            [&] { EXPECT_EQ(controller.GetRouteManager().GetGuide().GetSensitivity(), 0.0); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_settingsFile->SetDefaults();
        SettingsBody body = CaptureSettings();
        c.spoil(body);
        platform::Archive archive;
        archive.WriteString(SettingsFileHeader(c.version));
        // The writer cuts the host itself: a longer one is written here by hand.
        StoreSettingsBody(archive, body);
        QByteArray bytes = ToBytes(archive);
        if (body.traffic.host.size() > 255) {
            const QByteArray cut = [&] {
                platform::Archive a;
                a.WriteString(body.traffic.host.left(255));
                return ToBytes(a);
            }();
            const QByteArray whole = [&] {
                platform::Archive a;
                a.WriteString(body.traffic.host);
                return ToBytes(a);
            }();
            bytes.replace(bytes.indexOf(cut), cut.size(), whole);
        }
        ASSERT_TRUE(WriteFileBytes(program.LocalPath(QStringLiteral("range.kns")), bytes));
        ASSERT_EQ(g_settingsFile->Read(SettingsProgram::DevicePath(QStringLiteral("range.kns"))), 1);
        c.check();
    }
}

// A settings file of `version` written by hand from the file's table, with
// every value away from its default. Its GPS source is the replay, which
// opens nothing without a replay file: the fix keeps the course read.
QByteArray HandWrittenFile(int32_t version, const CMapController& controller)
{
    HandFile f;
    f.Str(SettingsFileSignature() + QString::number(version));
    const ZXS_Rect bounds = controller.GetMapBounds();
    const int32_t x = (bounds.left + bounds.right) / 2 + 300, y = (bounds.top + bounds.bottom) / 2 - 200;
    auto position = [&](double lonMinutes, double latMinutes) {
        if (version < 101053)
            f.I32(37).F64(lonMinutes).U8('E').I32(55).F64(latMinutes).U8('N');
        else
            f.F64((37.0 + lonMinutes / 60.0) * M_PI / 180.0)
                .F64((55.0 + latMinutes / 60.0) * M_PI / 180.0)
                .U8(1);
    };
    f.I32(0)
        .Str("from NM-file")
        .I32(0)
        .F64(0.00072)
        .I32(2)
        .I32(40)
        .I32(x)
        .I32(y)
        .I32(GetDefaultMapScale() * 2)
        .I32(0);
    // One folder, the root: 17 ids, no parent, the display fields, show captions.
    f.I32(1);
    for (int b = 0; b < 17; ++b)
        f.I32(b == 1 ? 10030 : 10000);
    f.I32(-1).I32(-1).Raw({ 0, 100, 0, 200, 0, 50 }).I32(0);
    f.I32(1).I32(1).I32(10030).I32(10031).I32(10032).I32(10033).I32(10034).I32(10035).U64(0).I32(1);
    f.I32(0).I32(1).I32(10040).I32(10041).I32(10042).I32(10043).I32(10044).I32(10045).U64(0).I32(1);
    for (int k = 0; k < 10; ++k)
        f.I32(10020 + k);
    f.I32(1).I32(1).F64(2.0).I32(0).Str("").Str("\\My Documents\\trip.nm").I32(0);
    f.I32(900).I32(0).F64(200.0).F64(0.3 * 65.0 - 15.0).F64((0.3 - 1.0) * 90.0).I32(1000).I32(2);
    position(35.0, 45.0);
    f.I32(5000).I32(0).I32(1).I32(30).I32(300).I32(100).I32(0).I32(0).I32(1).I32(0).U8(3);
    if (version >= 101003) {
        position(36.0, 46.0);
        f.F64(45.0);
    }
    if (version >= 101020)
        f.I32(0).I32(9600).I32(0);
    if (version >= 101035)
        f.I32(0);
    if (version >= 101056)
        f.Str("cLs").I32(0).I32(0).I32(1).I32(1).I32(2).I32(3).Str("x").I32(4);
    if (version >= 101070)
        f.I32(14003).I32(0);
    if (version >= 200000)
        f.U16(3)
            .I32(1)
            .U16(25)
            .I32(0)
            .Str("jams.example.org")
            .U16(8080)
            .U64(4294967296ull)
            .Str("1234")
            .U16(4);
    if (version >= 200020)
        f.U8(2).I32(0);
    if (version >= 200070)
        f.I32(1);
    if (version == 200284) {
        f.I32(203).I32(7).I32(57600);
        return f.bytes;
    }
    if (version >= 200300) {
        f.F64((37.0 + 37.0 / 60.0) * M_PI / 180.0).F64((55.0 + 47.0 / 60.0) * M_PI / 180.0);
        f.I32(1).I32(4).I32(1).I32(0).I32(50).I32(60).I32(0).I32(0);
    }
    if (version >= 200310)
        f.Str("Root").Str("Корень");
    if (version >= 200384)
        f.I32(203).I32(7).I32(57600).I32(1);
    if (version >= 200397) {
        for (int i = 0; i < 8; ++i)
            f.I32(i == 0 ? 2 : -1).U8(i == 0 ? 1 : 0);
        f.Str("\\My Documents\\shot.jpg").U8(0).I32(55);
    }
    if (version >= 200410)
        f.I32(-1).U8(0);
    if (version >= 202018)
        f.I32(150).I32(7).I32(2);
    if (version >= 202046)
        f.U8(0);
    if (version >= 204105)
        f.U16(2);
    if (version >= 204129)
        f.I32(1);
    return f.bytes;
}

TEST(SettingsFile, EachVersionIsReadAsFarAsItsLayoutGoes)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    CMapController& controller = *g_MapController;
    CRouteManager& routes = controller.GetRouteManager();
    const QString path = SettingsProgram::DevicePath(QStringLiteral("old.kns"));
    const int32_t detected = NormalizeDeviceModel(DetectDeviceModel());
    const int32_t versions[]
        = { 100049, 100050, 101002, 101052, 101053, 200284, 200299, 200300, 204128, 204272 };
    for (const int32_t version : versions) {
        SCOPED_TRACE(version);
        g_settingsFile->SetDefaults();
        const QByteArray before = SettingsProgram::BodyBytes();
        const double defaultCorridor = routes.GetCorridorWidth();
        ASSERT_TRUE(WriteFileBytes(
            program.LocalPath(QStringLiteral("old.kns")), HandWrittenFile(version, controller)));
        const int read = g_settingsFile->Read(path);
        if (version == 100049) {
            EXPECT_EQ(read, 0);
            EXPECT_EQ(SettingsProgram::BodyBytes(), before);
            EXPECT_EQ(routes.GetCorridorWidth(), defaultCorridor);
            continue;
        }
        ASSERT_EQ(read, 1);
        auto has = [version](int32_t gate) { return version != 200284 ? version >= gate : gate <= 200070; };
        // Items 1-34, in every file; the POI centre in either form.
        EXPECT_EQ(g_language, LANGUAGE_ENGLISH);
        EXPECT_EQ(g_gpsSourceNumber, 11);
        EXPECT_EQ(routes.GetCorridorWidth(), 200.0);
        EXPECT_DOUBLE_EQ(routes.GetGuide().GetSensitivity(), 0.3);
        EXPECT_EQ(g_HardKeyMap->GetCommand(9), 10029);
        EXPECT_EQ(controller.GetTopButtonBar().GetButtonCommand(0), 10030);
        EXPECT_EQ(GetTransparentButtonRoot().GetButtonCommand(0, 1), 10030);
        int32_t size = 0, kind = 0;
        CGeoPos poi;
        controller.GetPoiSearcher().GetSearchArea(size, kind, poi);
        EXPECT_EQ(size, 1000);
        ASSERT_TRUE(poi.IsValid());
        EXPECT_NEAR(poi.GetLatitude().GetRadians(), (55.0 + 45.0 / 60.0) * M_PI / 180.0, 1e-9);
        // What a file lacks takes the pre-read value, or keeps the default.
        const CGpsFix fix = CopyCurrentGpsFix();
        EXPECT_EQ(fix.m_course, has(101003) ? 45.0 : 0.0);
        EXPECT_EQ(g_gpsBaudRate, has(101020) ? 9600 : 4800);
        EXPECT_EQ(g_leavingRouteMessages, has(101020) ? 0 : 1);
        EXPECT_EQ(controller.IsAddressDisplayOn(), !has(101035));
        EXPECT_EQ(controller.GetWidgetSet()->GetDiagram(), has(101070) ? 14003 : 14000);
        EXPECT_EQ(g_jamSettings.kind, has(200000) ? 3 : 2);
        EXPECT_EQ(g_jamSettings.comPort, has(200000) ? 4 : 1);
        EXPECT_EQ(g_jamSettings.uid, has(200000) ? 4294967296ull : 0u);
        EXPECT_EQ(g_jamSettings.receiverEnabled, has(200070) ? 1 : 0);
        EXPECT_EQ(routes.GetRerouteAfterJams(), has(200300) ? 1 : 0);
        EXPECT_EQ(g_waypointColumns.size(), has(200300) ? 4u : 0u);
        g_language = LANGUAGE_RUSSIAN;
        EXPECT_EQ(
            GetTransparentButtonRoot().GetFolderName(0), has(200310) ? QStringLiteral("Корень") : QString());
        const bool deviceItems = version == 200284 || has(200384);
        EXPECT_EQ(g_deviceModel, deviceItems ? 203 : detected);
        EXPECT_EQ(g_manualGpsPort, deviceItems ? 7 : 10);
        EXPECT_EQ(g_creatingRouteMessages, 1); // on from the file, or the pre-read value
        EXPECT_EQ(g_listStates[0].column, has(200397) ? 2 : -1);
        EXPECT_EQ(g_screenshotQuality, has(200397) ? 55 : 80);
        EXPECT_EQ(controller.GetMapSet().GetFontScale(), has(202018) ? 150 : CMapSet::DefaultFontScale());
        // Two boxes from item 5 (the next maneuver on top); item 81 turns them over.
        EXPECT_EQ(controller.GetOrientationPanel().GetMode(), 2);
        EXPECT_EQ(controller.GetOrientationPanel().GetOrder(), has(202018) ? 2 : 1);
        EXPECT_EQ(routes.GetGuide().GetForksOnly(), has(202046) ? 0 : 1);
        EXPECT_EQ(g_routeOptimisation, has(204105) ? 2 : 1);
        EXPECT_EQ(g_activeSyncOff, has(204129) ? 1 : (DetectDeviceModel() == 10 ? 1 : 0));
        // The map centre: the geographic one from 200300 on, else the map units.
        if (!has(200300)) {
            const ZXS_Rect bounds = controller.GetMapBounds();
            EXPECT_EQ(controller.GetCentreX(), (bounds.left + bounds.right) / 2 + 300);
        }
    }
}

TEST(SettingsFile, AFileCutAnywhereChangesNothing)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    ChangeEveryOption(*g_MapController);
    const QString path = SettingsProgram::DevicePath(QStringLiteral("whole.kns"));
    ASSERT_TRUE(g_settingsFile->Write(path));
    const QByteArray whole = ReadFileBytes(program.LocalPath(QStringLiteral("whole.kns")));
    g_settingsFile->SetDefaults();
    const QByteArray before = SettingsProgram::BodyBytes();
    const QString cutPath = SettingsProgram::DevicePath(QStringLiteral("cut.kns"));
    for (qsizetype length = 0; length < whole.size(); ++length) {
        ASSERT_TRUE(WriteFileBytes(program.LocalPath(QStringLiteral("cut.kns")), whole.left(length)));
        ASSERT_EQ(g_settingsFile->Read(cutPath), 0) << "cut at " << length;
        ASSERT_EQ(SettingsProgram::BodyBytes(), before) << "cut at " << length;
    }
    EXPECT_EQ(g_settingsFile->GetPath(), path) << "a failed read keeps the current file";
}

TEST(SettingsFile, AFailedWriteKeepsTheOldFileAndSaysSo)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_settingsFile->SetDefaults();
    const QString path = SettingsProgram::DevicePath(QStringLiteral("kept.kns"));
    ASSERT_TRUE(g_settingsFile->Write(path));
    const QByteArray old = ReadFileBytes(program.LocalPath(QStringLiteral("kept.kns")));
    ChangeEveryOption(*g_MapController);
    // A file size limit makes a write fail part-way, as a full card would.
    const int code = testing_support::RunInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { rlim_t(old.size() / 2), rlim_t(old.size() / 2) };
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        return g_settingsFile->Write(path) ? 1 : 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFileBytes(program.LocalPath(QStringLiteral("kept.kns"))), old);
    EXPECT_EQ(QDir(program.rig.Folder().Documents()).entryList(QDir::Files), QStringList { "kept.kns" });
}

TEST(SettingsFile, WriterAndReaderTakeTheSameNames)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_settingsFile->SetDefaults();
    struct Case {
        const char* name;
        bool taken;
    };
    // Device paths ignore letter case: each case has a name of its own.
    for (const Case& c :
        { Case { "x.kns", true }, Case { "y.KNS", true }, Case { "Trip.Kns", true }, Case { "xkns", false },
            Case { "x.bkns", false }, Case { ".kns", false }, Case { "x.kns.bak", false } }) {
        SCOPED_TRACE(c.name);
        const QString path = SettingsProgram::DevicePath(QString::fromLatin1(c.name));
        EXPECT_EQ(g_settingsFile->Write(path), c.taken);
        EXPECT_EQ(QFile::exists(program.LocalPath(QString::fromLatin1(c.name))), c.taken);
        if (!c.taken) {
            ASSERT_TRUE(WriteFileBytes(program.LocalPath(QString::fromLatin1(c.name)),
                ReadFileBytes(program.LocalPath(QStringLiteral("x.kns")))));
        }
        EXPECT_EQ(g_settingsFile->Read(path), c.taken ? 1 : 0);
    }
    // A folder or a missing file is no settings file.
    ASSERT_TRUE(QDir().mkpath(program.LocalPath(QStringLiteral("dir.kns"))));
    EXPECT_EQ(g_settingsFile->Read(SettingsProgram::DevicePath(QStringLiteral("dir.kns"))), 0);
    EXPECT_EQ(g_settingsFile->Read(SettingsProgram::DevicePath(QStringLiteral("none.kns"))), 0);
    ASSERT_TRUE(WriteFileBytes(program.LocalPath(QStringLiteral("empty.kns")), QByteArray()));
    EXPECT_EQ(g_settingsFile->Read(SettingsProgram::DevicePath(QStringLiteral("empty.kns"))), 0);
}

} // namespace
