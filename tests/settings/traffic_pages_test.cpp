// The Traffic sheet on the program's traffic manager, whose provider is a web
// server on the loopback interface, and on the map controller's store of
// disabled roads.
#include "nav/map_controller.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/provider_simulator.h"
#include "traffic/jam_glue.h"
#include "traffic/jam_settings.h"

#include <QTreeWidget>

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

// Without the store's main file the page only switches the disabled roads
// on and off; OK hands the switch to the store's worker, Cancel keeps it.
TEST(BlocksPage, TheSwitchActsAtOnceAndTheFilesWaitForTheStore)
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
    // The store's main file opened with the map: the list names it.
    ASSERT_TRUE(store.IsOpen());
    EXPECT_TRUE(page.IsDlgItemEnabled(IDC_BLOCKS_LIST));
    auto* list = page.GetDlgItemAs<QTreeWidget>(IDC_BLOCKS_LIST);
    ASSERT_GE(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), store.GetEntryName(0));
    for (const int id : { IDC_BLOCKS_ATTACH, IDC_BLOCKS_DETACH, IDC_BLOCKS_SAVE, IDC_BLOCKS_SAVE_ALL })
        EXPECT_FALSE(page.IsDlgItemEnabled(id)) << id;
    Tap(page, IDC_BLOCKS_ENABLE);
    EXPECT_EQ(store.GetSwitches(), CJamFileManager::SWITCH_JAMS | CJamFileManager::SWITCH_BLOCKING);
    Tap(sheet, platform::IDCANCEL);
    EXPECT_EQ(store.GetSwitches(), CJamFileManager::SWITCH_JAMS | CJamFileManager::SWITCH_BLOCKING);
}
