// The Traffic sheet on the program's traffic manager, whose provider is a web
// server on the loopback interface, and on the map controller's store of
// disabled roads.
#include "nav/map_controller.h"
#include "platform/local_time.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/modal_answer.h"
#include "tests/support/provider_simulator.h"
#include "tests/support/pty_pair.h"
#include "traffic/gprs_transport.h"
#include "traffic/jam_file_manager.h"
#include "traffic/jam_glue.h"
#include "traffic/jam_settings.h"
#include "traffic/roz_transport.h"
#include "traffic/traffic_dialogs.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <limits>
#include <memory>

using namespace settingstest;

namespace {

// The traffic manager for a test's span, as the start-up makes it.
class ScopedJamManager {
public:
    explicit ScopedJamManager(const QString& jamPath)
    {
        EXPECT_TRUE(CreateJamManager(g_jamSettings, jamPath));
    }
    ~ScopedJamManager() { DestroyJamManager(); }
    ScopedJamManager(const ScopedJamManager&) = delete;
    ScopedJamManager& operator=(const ScopedJamManager&) = delete;
};

void QueueGoodDownload(testing_support::LoopbackHttpServer& server, uint64_t uid)
{
    const std::string key = "K3Y-0042";
    server.Queue(testing_support::ProviderAnswerA(testing_support::kProviderGuid, key));
    server.Queue(testing_support::ProviderAnswerB(
        key, testing_support::MaskedJamBody(std::string(864, '1'), testing_support::kProviderGuid, uid)));
}

} // namespace

// Every choice on the Jams page reaches the traffic manager at once, and
// stays when the sheet is cancelled.
TEST(JamsPage, EveryChoiceReachesTheTrafficManagerAtOnce)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    testing_support::LoopbackHttpServer server;
    g_jamSettings = JamSettings();
    g_jamSettings.kind = 2;
    g_jamSettings.downloadEnabled = 0;
    g_jamSettings.periodMinutes = 13; // none of the periods offered
    g_jamSettings.defaultServer = 0;
    g_jamSettings.host = QStringLiteral("127.0.0.1");
    g_jamSettings.port = server.port();
    g_jamSettings.uid = 12;
    g_jamSettings.pin = QStringLiteral("1299");
    g_jamSettings.timeouts = { 5000, 5000 };
    ScopedJamManager manager(program.rig.Folder().File(QStringLiteral("mskmo0704.jam")));
    QueueGoodDownload(server, 12);
    QueueGoodDownload(server, 12);

    CSheetTraffic sheet(QStringLiteral("Traffic & Blocks"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageJams& page = sheet.m_jams;
    EXPECT_EQ(page.GetDlgItemText(IDC_JAMS_PROVIDER), QStringLiteral("Veltrak"));
    EXPECT_EQ(page.GetCurSel(IDC_JAMS_PERIOD), -1) << "no period shown that is not in force";
    EXPECT_FALSE(page.IsDlgButtonChecked(IDC_JAMS_REGULAR));
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_JAMS_PERIOD));

    // "Delete jam": the traffic indicator forgets the deleted data.
    CJamSchedule& schedule = g_MapController->GetJamSchedule();
    platform::LocalTime morning;
    morning.year = 2026;
    morning.month = 12;
    morning.day = 11;
    morning.hour = 8;
    morning.minute = 30;
    const uint64_t jamTime = platform::LocalTimeToFileTime(morning);
    schedule.OnJamReceived(true, &jamTime);
    schedule.OnJamApplied(true);
    ASSERT_TRUE(schedule.Acknowledge(true));
    ASSERT_NE(schedule.GetState(), 0);
    ASSERT_EQ(schedule.GetDataMinute(), 8 * 60 + 30);
    Tap(page, IDC_JAMS_DELETE);
    EXPECT_TRUE(program.rig.boxes.empty()) << "nothing to ask with regular downloading off";
    EXPECT_EQ(schedule.GetState(), 0);
    EXPECT_EQ(schedule.GetDataMinute(), -1);

    Tap(page, IDC_JAMS_DOWNLOAD_NOW);
    EXPECT_TRUE(server.AwaitRequests(2)) << "the provider was asked at once";

    // Regular downloading on: a download at once, and the period can be chosen.
    Tap(page, IDC_JAMS_REGULAR);
    EXPECT_EQ(g_jamSettings.downloadEnabled, 1);
    EXPECT_TRUE(server.AwaitRequests(4));
    ASSERT_TRUE(page.SelectDlgItem(IDC_JAMS_PERIOD, 3));
    EXPECT_EQ(g_jamSettings.periodMinutes, 8);

    // Deleting the jams while regular downloading is on asks whether to stop it;
    // anything but Yes keeps it on.
    Tap(page, IDC_JAMS_DELETE);
    ASSERT_EQ(program.rig.boxes.size(), 1u);
    EXPECT_EQ(program.rig.boxes[0].type & platform::MB_TYPEMASK, platform::MB_YESNOCANCEL);
    EXPECT_EQ(program.rig.boxes[0].caption, QStringLiteral("Travenor Pro"));
    EXPECT_TRUE(page.IsDlgButtonChecked(IDC_JAMS_REGULAR));

    // No program set for the device's connection settings: the user is told.
    Tap(page, IDC_JAMS_CONNECTIONS);
    ASSERT_EQ(program.rig.boxes.size(), 2u);
    EXPECT_EQ(program.rig.boxes[1].text, QStringLiteral("Cannot open \"Connection\" dialog."));

    ASSERT_TRUE(page.SelectDlgItem(IDC_JAMS_PROVIDER, 1));
    EXPECT_EQ(g_jamSettings.kind, 3);
    Tap(sheet, platform::IDCANCEL);
    EXPECT_EQ(g_jamSettings.kind, 3);
    EXPECT_EQ(g_jamSettings.periodMinutes, 8);
    EXPECT_EQ(g_jamSettings.downloadEnabled, 1);
    g_jamSettings = JamSettings();
}

namespace {

// A disabled-road file closing `roads` (each closed both ways).
void WriteRoadsFile(const QString& path, std::initializer_list<uint32_t> roads)
{
    QByteArray bytes = DisabledRoadsHeader(int32_t(roads.size()));
    for (const uint32_t road : roads)
        bytes += DisabledRoadRecord(road, CJamFileManager::PASSAGE_CLOSED);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Column(QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

} // namespace

// The switch acts on the store at once and stays when the sheet is cancelled.
TEST(BlocksPage, TheSwitchActsAtOnceAndCancelKeepsIt)
{
    SettingsProgram program;
    g_language = LANGUAGE_RUSSIAN;
    CJamFileManager& store = g_MapController->GetJamFiles();
    store.SetSwitches(CJamFileManager::SWITCH_JAMS);
    CSheetTraffic sheet(QStringLiteral("Пробки и запреты"), nullptr);
    ASSERT_TRUE(sheet.Create());
    TapTab(sheet, 1);
    CPageBlocks& page = sheet.m_blocks;
    EXPECT_EQ(page.GetDlgItemText(IDC_BLOCKS_ENABLE), QStringLiteral("Использовать"));
    EXPECT_FALSE(page.IsDlgButtonChecked(IDC_BLOCKS_ENABLE));
    ASSERT_TRUE(store.IsOpen());
    Tap(page, IDC_BLOCKS_ENABLE);
    EXPECT_EQ(store.GetSwitches(), CJamFileManager::SWITCH_JAMS | CJamFileManager::SWITCH_BLOCKING);
    Tap(sheet, platform::IDCANCEL);
    EXPECT_EQ(store.GetSwitches(), CJamFileManager::SWITCH_JAMS | CJamFileManager::SWITCH_BLOCKING);
}

// Files attached, sorted, detached, emptied and merged from the page, each
// at once in the store; OK hands what is listed to the store's worker, which
// puts the attached files' roads in force.
TEST(BlocksPage, FilesAreAttachedDetachedAndSavedAsTheUserAsks)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    g_listStates = {};
    CJamFileManager& store = g_MapController->GetJamFiles();
    ASSERT_TRUE(store.IsOpen());
    store.SetSwitches(CJamFileManager::SWITCH_BLOCKING);
    const QString north = program.LocalPath(QStringLiteral("north.dt"));
    const QString south = program.LocalPath(QStringLiteral("south.dt"));
    const QString broken = program.LocalPath(QStringLiteral("broken.dt"));
    WriteRoadsFile(north, { 101, 102 });
    WriteRoadsFile(south, { 201 });
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a list of roads");
    }

    auto sheet = std::make_unique<CSheetTraffic>(QStringLiteral("Traffic & Blocks"), nullptr);
    ASSERT_TRUE(sheet->Create());
    TapTab(*sheet, 1);
    CPageBlocks* page = &sheet->m_blocks;
    QTreeWidget* list = page->List();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(Column(list, 0), QStringList({ "0" }));

    // The main file alone with nothing in it cannot be emptied.
    TapRow(list, list->topLevelItem(0));
    EXPECT_EQ(page->GetDlgItemText(IDC_BLOCKS_DETACH), QStringLiteral("Empty"));
    EXPECT_FALSE(page->IsDlgItemEnabled(IDC_BLOCKS_DETACH));
    EXPECT_FALSE(page->IsDlgItemEnabled(IDC_BLOCKS_SAVE));

    {
        ScopedFileAnswers files({ north, north, broken });
        Tap(*page, IDC_BLOCKS_ATTACH);
        ASSERT_EQ(files.requests.size(), 1u);
        EXPECT_EQ(
            files.requests[0].filter, QStringLiteral("Jam Files (*.dt) | *.dt | All Files (*.*)| *.* ||"));
        EXPECT_EQ(files.requests[0].fileName, QStringLiteral("*.dt"));
        EXPECT_EQ(Column(list, 1), QStringList({ store.GetMainPath(), north }));
        EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("2"));
        // Attached already, or not a file of roads: the user is told, the list stays.
        Tap(*page, IDC_BLOCKS_ATTACH);
        Tap(*page, IDC_BLOCKS_ATTACH);
        ASSERT_EQ(program.rig.boxes.size(), 2u);
        EXPECT_EQ(program.rig.boxes[1].text, QStringLiteral("Can't open the file."));
        EXPECT_EQ(list->topLevelItemCount(), 2);
    }

    // Sorted by name, descending: the next file goes to its sorted place.
    TapHeader(list, 1);
    TapHeader(list, 1);
    ASSERT_EQ(g_listStates[LIST_BLOCKS].state, 2);
    EXPECT_EQ(Column(list, 1).front(), north);
    {
        ScopedFileAnswers files({ south });
        Tap(*page, IDC_BLOCKS_ATTACH);
    }
    QStringList descending = { south, north, store.GetMainPath() };
    std::sort(descending.begin(), descending.end(), std::greater<QString>());
    EXPECT_EQ(Column(list, 1), descending);

    // Two files picked: "Detach" takes them off the list, the main file stays.
    list->clearSelection();
    TapRow(list, list->topLevelItem(Column(list, 1).indexOf(north)));
    TapRow(list, list->topLevelItem(int(Column(list, 1).indexOf(south))), Qt::ControlModifier);
    EXPECT_EQ(page->GetDlgItemText(IDC_BLOCKS_DETACH), QStringLiteral("Detach"));
    Tap(*page, IDC_BLOCKS_DETACH);
    EXPECT_EQ(Column(list, 1), QStringList({ store.GetMainPath() }));

    // South again, then OK: the worker puts its road in force.
    {
        ScopedFileAnswers files({ south });
        Tap(*page, IDC_BLOCKS_ATTACH);
    }
    Tap(*sheet, platform::IDOK);
    EXPECT_TRUE(
        AwaitTrue([&] { return !store.IsWorkerRunning() && store.FindRoad(201) != store.GetRoads().end(); }));
    EXPECT_EQ(store.GetRoadFlags(store.FindRoad(201), 201), CJamFileManager::PASSAGE_CLOSED);

    // A road closed on the map: the main file is changed, Save keeps it, and
    // the page opened again shows it counted, ready to be emptied.
    store.SetPassageFlags(store.FindRoad(301), 301, CJamFileManager::PASSAGE_CLOSED);
    sheet = std::make_unique<CSheetTraffic>(QStringLiteral("Traffic & Blocks"), nullptr);
    ASSERT_TRUE(sheet->Create());
    TapTab(*sheet, 1);
    page = &sheet->m_blocks;
    list = page->List();
    EXPECT_EQ(g_listStates[LIST_BLOCKS].state, 2) << "the sort is kept for the next opening";
    EXPECT_TRUE(page->IsDlgItemEnabled(IDC_BLOCKS_SAVE));
    Tap(*page, IDC_BLOCKS_SAVE);
    EXPECT_FALSE(store.IsModified());
    EXPECT_FALSE(page->IsDlgItemEnabled(IDC_BLOCKS_SAVE));

    // Save all merges everything into one file, which the list then shows alone.
    const QString merged = program.LocalPath(QStringLiteral("merged.dt"));
    {
        ScopedFileAnswers files({ merged });
        Tap(*page, IDC_BLOCKS_SAVE_ALL);
        ASSERT_EQ(files.requests.size(), 1u);
        EXPECT_FALSE(files.requests[0].open);
        EXPECT_EQ(files.requests[0].filter, QStringLiteral("Jam Files (*.dt)|*.dt|All Files (*.*)|*.*||"));
    }
    QFile file(merged);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int32_t count = -1;
    ASSERT_TRUE(ReadDisabledRoadsHeader(file.readAll(), &count));
    EXPECT_EQ(count, 2) << "road 201 of the attached file and road 301 of the main one";
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("2"));
    TapRow(list, list->topLevelItem(0));
    EXPECT_EQ(page->GetDlgItemText(IDC_BLOCKS_DETACH), QStringLiteral("Empty"));
    EXPECT_TRUE(page->IsDlgItemEnabled(IDC_BLOCKS_DETACH));
    Tap(*sheet, platform::IDCANCEL);
}

namespace {

// Types over a field's text as the user does.
void TypeInto(const ControlHost& host, int id, const QString& text)
{
    auto* edit = host.GetDlgItemAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

// "Opt. ..." opens the account dialog on the stored account; what is typed
// there is what the next download sends to the provider. A port above 65535
// is refused, not cut to 16 bits.
TEST(JamServiceDialog, TheTypedAccountIsWhatTheDownloadSends)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    testing_support::LoopbackHttpServer server;
    g_jamSettings = JamSettings();
    g_jamSettings.kind = 2;
    g_jamSettings.host = QStringLiteral("traffic.invalid");
    g_jamSettings.timeouts = { 5000, 5000 };
    ScopedJamManager manager(program.rig.Folder().File(QStringLiteral("mskmo0704.jam")));
    QueueGoodDownload(server, 4242);

    CSheetTraffic sheet(QStringLiteral("Traffic & Blocks"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageJams& page = sheet.m_jams;
    bool answered = false;
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = dynamic_cast<CJamServiceDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        answered = true;
        EXPECT_EQ(dialog->GetDlgItemText(IDC_JAM_SERVICE_UID), QString()) << "no subscriber number yet";
        EXPECT_EQ(dialog->GetDlgItemText(IDC_JAM_SERVICE_PORT), QStringLiteral("80"));
        EXPECT_FALSE(dialog->IsDlgItemEnabled(IDC_JAM_SERVICE_HOST));
        EXPECT_FALSE(dialog->IsDlgItemEnabled(IDC_JAM_SERVICE_PORT));
        Tap(*dialog, IDC_JAM_SERVICE_ADVANCED);
        EXPECT_TRUE(dialog->IsDlgItemEnabled(IDC_JAM_SERVICE_HOST));
        TypeInto(*dialog, IDC_JAM_SERVICE_UID, QStringLiteral("4242"));
        TypeInto(*dialog, IDC_JAM_SERVICE_PIN, QStringLiteral("1299"));
        TypeInto(*dialog, IDC_JAM_SERVICE_HOST, QStringLiteral("127.0.0.1"));
        TypeInto(*dialog, IDC_JAM_SERVICE_PORT, QStringLiteral("70000"));
        Tap(*dialog, platform::IDOK);
        ASSERT_EQ(program.rig.boxes.size(), 1u);
        EXPECT_EQ(program.rig.boxes[0].text, QStringLiteral("The port number must be at most 65535."));
        EXPECT_TRUE(dialog->isVisible()) << "the dialog stays for the port to be mended";
        EXPECT_EQ(g_jamSettings.uid, 0u) << "nothing stored before every value is good";
        TypeInto(*dialog, IDC_JAM_SERVICE_PORT, QString::number(server.port()));
        Tap(*dialog, platform::IDOK);
    });
    Tap(page, IDC_JAMS_OPTIONS);
    ASSERT_TRUE(answered);
    EXPECT_EQ(g_jamSettings.uid, 4242u);
    EXPECT_EQ(g_jamSettings.pin, QStringLiteral("1299"));
    EXPECT_EQ(g_jamSettings.host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(g_jamSettings.port, server.port());
    EXPECT_EQ(g_jamSettings.defaultServer, 0);

    Tap(page, IDC_JAMS_DOWNLOAD_NOW);
    ASSERT_TRUE(server.AwaitRequests(2)) << "the download went to the typed host and port";
    EXPECT_NE(server.Requests()[0].find("UID:4242\r\n"), std::string::npos);
    Tap(sheet, platform::IDCANCEL);
    g_jamSettings = JamSettings();
}

// The subscriber number is unsigned on the way in and out; advanced options
// off keep the host and port texts; the access code is reset only on Yes.
TEST(JamServiceDialog, NumbersAdvancedOptionsAndTheAccessCode)
{
    SettingsProgram program;
    g_language = LANGUAGE_RUSSIAN;
    g_jamSettings = JamSettings();
    g_jamSettings.uid = std::numeric_limits<uint64_t>::max();
    g_jamSettings.defaultServer = 0;
    g_jamSettings.host = QStringLiteral("jams.example");
    g_jamSettings.port = 8080;
    CJamServiceDlg dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_JAM_SERVICE_UID), QStringLiteral("18446744073709551615"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_JAM_SERVICE_RESET), QStringLiteral("Сбросить пароль доступа"));

    // One past the largest number is refused.
    TypeInto(dialog, IDC_JAM_SERVICE_UID, QStringLiteral("18446744073709551616"));
    Tap(dialog, platform::IDOK);
    ASSERT_EQ(program.rig.boxes.size(), 1u);
    EXPECT_EQ(program.rig.boxes[0].text, QStringLiteral("Слишком большой номер абонента."));

    // The access code: No keeps the identifier file, Yes deletes it.
    const QString identifier = ProviderIdentifierPath();
    {
        QFile file(identifier);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(testing_support::kProviderGuid));
    }
    std::deque<int> answers { platform::IDNO, platform::IDYES, platform::IDYES };
    platform::SetMessageBoxAnswerer([&](const platform::MessageBoxRequest& request) {
        program.rig.boxes.push_back(request);
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    });
    Tap(dialog, IDC_JAM_SERVICE_RESET);
    ASSERT_EQ(program.rig.boxes.size(), 2u);
    EXPECT_EQ(program.rig.boxes[1].caption, QStringLiteral("Подтвердите"));
    EXPECT_TRUE(program.rig.boxes[1].text.startsWith(
        QStringLiteral("Вы уверены, что хотите сбросить пароль доступа?\n")));
    EXPECT_TRUE(QFile::exists(identifier));
    Tap(dialog, IDC_JAM_SERVICE_RESET);
    EXPECT_FALSE(QFile::exists(identifier));
    Tap(dialog, IDC_JAM_SERVICE_RESET); // no file left: no error to tell
    EXPECT_EQ(program.rig.boxes.size(), 4u);
    EXPECT_FALSE(QFile::exists(identifier));
    platform::SetMessageBoxAnswerer([&](const platform::MessageBoxRequest& request) {
        program.rig.boxes.push_back(request);
        return platform::IDOK;
    });

    // Advanced options off grey the fields but keep and store their texts.
    TypeInto(dialog, IDC_JAM_SERVICE_UID, QString());
    Tap(dialog, IDC_JAM_SERVICE_ADVANCED);
    EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_JAM_SERVICE_PORT));
    Tap(dialog, platform::IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(g_jamSettings.uid, 0u);
    EXPECT_EQ(g_jamSettings.defaultServer, 1);
    EXPECT_EQ(g_jamSettings.host, QStringLiteral("jams.example"));
    EXPECT_EQ(g_jamSettings.port, 8080);
    g_jamSettings = JamSettings();
}

// The receiver dialog: the switch is stored at every tap, the status names
// the GPS receiver's port and the receiver's own without opening them, and
// probes any other: a port the running receiver holds is unavailable. Closing
// the window keeps the chosen port.
TEST(RozModuleDialog, ThePortStatusFollowsWhoHoldsThePort)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    testing_support::PtyPair pty;
    ASSERT_TRUE(pty.MapAs(QStringLiteral("COM3:")));
    g_jamSettings = JamSettings();
    g_jamSettings.comPort = 2;
    const int32_t gpsSource = g_gpsSourceNumber;
    g_gpsSourceNumber = 4;

    CRozModuleDlg dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_ROZ_PORT), QStringLiteral("COM2:"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_ROZ_STATUS), QStringLiteral("ROZ module is\nswitched off"));
    EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_ROZ_PORT));
    Tap(dialog, IDC_ROZ_USE);
    EXPECT_EQ(g_jamSettings.receiverEnabled, 1) << "stored at the tap";
    EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_ROZ_PORT));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_ROZ_STATUS), QStringLiteral("available"))
        << "the receiver's own port";

    const struct {
        int index;
        const char* status;
    } cases[] = {
        { 3, "GPS receiver" }, { 2, "available" }, // the pty, free
        { 0, "unavailable" }, // no such device
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(dialog.SelectDlgItem(IDC_ROZ_PORT, c.index));
        EXPECT_EQ(dialog.GetDlgItemText(IDC_ROZ_STATUS), QString::fromLatin1(c.status)) << c.index;
    }
    {
        CRozTransport receiver;
        ASSERT_EQ(receiver.Open(QStringLiteral("COM3:")), JAM_OK);
        ASSERT_TRUE(dialog.SelectDlgItem(IDC_ROZ_PORT, 2));
        EXPECT_EQ(dialog.GetDlgItemText(IDC_ROZ_STATUS), QStringLiteral("unavailable"));
        receiver.Close();
    }
    ASSERT_TRUE(dialog.SelectDlgItem(IDC_ROZ_PORT, 1));
    ASSERT_TRUE(dialog.SelectDlgItem(IDC_ROZ_PORT, 2));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_ROZ_STATUS), QStringLiteral("available"))
        << "the probe kept nothing open";
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(g_jamSettings.comPort, 3);
    EXPECT_EQ(g_jamSettings.receiverEnabled, 1);
    g_gpsSourceNumber = gpsSource;
    g_jamSettings = JamSettings();
}
