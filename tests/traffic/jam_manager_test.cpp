#include "traffic/jam_glue.h"
#include "traffic/jam_manager.h"
#include "traffic/stub_transport.h"

#include "platform/clock.h"
#include "platform/local_time.h"
#include "tests/support/file_bytes.h"
#include "tests/support/program_folder.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

constexpr uint32_t kTenMinutes = 600000;

// What the fake transports and the callback saw, shared with the test thread.
struct Probe {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> log; // "open K text", "save K path", "event E status"
    int alive = 0; // fake transports not yet destroyed
    bool openGate = true; // Open waits while false
    bool saveGate = true; // SaveJam waits while false
    bool saving = false;
    int requested = 0; // download-now requests made by the test so far
    int requestedAtLastSave = -1;

    void Add(std::string line)
    {
        {
            std::lock_guard lock(mutex);
            log.push_back(std::move(line));
        }
        changed.notify_all();
    }
    size_t Count(const std::string& prefix)
    {
        std::lock_guard lock(mutex);
        return size_t(std::count_if(
            log.begin(), log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    // Waits (in real time: the worker is a real thread) until `count` lines start with `prefix`.
    bool Await(const std::string& prefix, size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), [&] {
            return size_t(std::count_if(log.begin(), log.end(), [&](const std::string& l) {
                return l.rfind(prefix, 0) == 0;
            })) >= count;
        });
    }
    void SetGate(bool& gate, bool open)
    {
        {
            std::lock_guard lock(mutex);
            gate = open;
        }
        changed.notify_all();
    }
};

class FakeTransport final : public CJamTransportBase {
public:
    FakeTransport(std::shared_ptr<Probe> probe, int kind)
        : m_probe(std::move(probe))
        , m_kind(kind)
    {
        std::lock_guard lock(m_probe->mutex);
        ++m_probe->alive;
    }
    ~FakeTransport() override
    {
        {
            std::lock_guard lock(m_probe->mutex);
            --m_probe->alive;
        }
        m_probe->changed.notify_all();
    }
    JamStatus Open(const QString& text) override
    {
        {
            std::unique_lock lock(m_probe->mutex);
            m_probe->changed.wait(lock, [&] { return m_probe->openGate; });
        }
        m_probe->Add("open " + std::to_string(m_kind) + " " + text.toStdString());
        return JAM_OK;
    }
    JamStatus SaveJam(const QString& path, uint64_t* jamTime) override
    {
        {
            std::unique_lock lock(m_probe->mutex);
            m_probe->requestedAtLastSave = m_probe->requested;
            m_probe->saving = true;
            m_probe->changed.notify_all();
            m_probe->changed.wait(lock, [&] { return m_probe->saveGate; });
            m_probe->saving = false;
        }
        m_probe->Add("save " + std::to_string(m_kind) + " " + path.toStdString());
        *jamTime = 42;
        return JAM_OK;
    }
    JamStatus Reconnect() override { return JAM_OK; }
    JamStatus Close() override { return JAM_OK; }
    JamStatus SaveContext(const QString&, bool) override { return JAM_E_NOTIMPL; }
    void Lock() override { }
    void Unlock() override { }
    JamStatus Refresh() override { return JAM_OK; }

private:
    std::shared_ptr<Probe> m_probe;
    int m_kind;
};

struct JamManagerTest : ::testing::Test {
    platform::ScopedManualClock clock { 1000 };
    std::shared_ptr<Probe> probe = std::make_shared<Probe>();
    std::unique_ptr<CJamManager> manager;
    const QString jamPath = QStringLiteral("/maps/mskmo0704.jam");

    void SetUp() override
    {
        auto factory
            = [probe = probe](int kind, const JamTransportOptions&, std::shared_ptr<CJamTransport>* out) {
                  if (kind != 1 && kind != 2)
                      return JAM_E_INVALIDARG;
                  *out = std::make_shared<FakeTransport>(probe, kind);
                  return JAM_OK;
              };
        ASSERT_EQ(CJamManager::Create(&manager, factory), JAM_OK);
        manager->SetCallback([probe = probe](int event, JamStatus status, const uint64_t* jamTime) {
            probe->Add("event " + std::to_string(event) + " " + std::to_string(status)
                + (jamTime ? " time " + std::to_string(*jamTime) : " no time"));
        });
    }

    // The worker has gone back to its wait on the clock after `waitsBefore` waits.
    void AwaitWorkerWaiting(uint64_t waitsBefore)
    {
        ASSERT_TRUE(clock->AwaitWaitsBegun(waitsBefore + 1)) << "the worker never waited again";
        ASSERT_TRUE(clock->AwaitWaiters(1));
    }
    // Right after the clock moved: the worker is still in the wait it began as wait number `waits`.
    bool StillWaiting(uint64_t waits) { return clock->Waiters() == 1 && clock->WaitsBegun() == waits; }
};

} // namespace

TEST_F(JamManagerTest, DownloadsAtThePeriodAndAtOnceOnRequest)
{
    ASSERT_EQ(manager->SetSchedule(true, kTenMinutes, &jamPath), JAM_OK);
    ASSERT_EQ(manager->SetTransport(2, QStringLiteral("cfg")), JAM_OK);
    ASSERT_TRUE(probe->Await("event 1 0", 1));
    AwaitWorkerWaiting(0);
    EXPECT_EQ(probe->Count("save"), 0u) << "opening fetches nothing";

    // A moved manual clock returns once the worker has seen the time: still
    // waiting one millisecond short of the period, gone to fetch at it.
    uint64_t waits = clock->WaitsBegun();
    clock->advance(kTenMinutes - 1);
    EXPECT_TRUE(StillWaiting(waits));
    clock->advance(1);
    EXPECT_FALSE(StillWaiting(waits));
    ASSERT_TRUE(probe->Await("event 2 0 time 42", 1));
    AwaitWorkerWaiting(waits);

    // Download now in the middle of the period: at once, and the period starts again.
    clock->advance(kTenMinutes / 2);
    waits = clock->WaitsBegun();
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    ASSERT_TRUE(probe->Await("save", 2));
    AwaitWorkerWaiting(waits);
    waits = clock->WaitsBegun();
    clock->advance(kTenMinutes - 1);
    EXPECT_TRUE(StillWaiting(waits)) << "the period counts from the request";
    clock->advance(1);
    ASSERT_TRUE(probe->Await("save", 3));
    EXPECT_EQ(probe->Count("save 2 /maps/mskmo0704.jam"), 3u);
    AwaitWorkerWaiting(waits);

    // Regular downloading off: only requests fetch.
    waits = clock->WaitsBegun();
    ASSERT_EQ(manager->SetSchedule(false, kTenMinutes, nullptr), JAM_OK);
    AwaitWorkerWaiting(waits);
    waits = clock->WaitsBegun();
    clock->advance(10 * kTenMinutes);
    EXPECT_TRUE(StillWaiting(waits));
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    ASSERT_TRUE(probe->Await("save", 4));
    EXPECT_EQ(probe->Count("save"), 4u);
}

TEST_F(JamManagerTest, SwitchingTransportsKeepsTheSchedule)
{
    ASSERT_EQ(manager->SetSchedule(true, kTenMinutes, &jamPath), JAM_OK);
    ASSERT_EQ(manager->SetTransport(2, QStringLiteral("provider")), JAM_OK);
    ASSERT_TRUE(probe->Await("open 2 provider", 1));

    // Same kind, new configuration: the same transport opens again with it.
    ASSERT_EQ(manager->SetTransport(2, QStringLiteral("other host")), JAM_OK);
    ASSERT_TRUE(probe->Await("open 2 other host", 1));
    EXPECT_EQ(probe->alive, 1);

    // Another kind: the old transport goes, the new one opens, the period holds.
    ASSERT_EQ(manager->SetTransport(1, QString()), JAM_OK);
    ASSERT_TRUE(probe->Await("open 1", 1));
    ASSERT_TRUE(probe->Await("event 1", 3));
    {
        std::unique_lock lock(probe->mutex);
        ASSERT_TRUE(
            probe->changed.wait_for(lock, std::chrono::seconds(20), [&] { return probe->alive == 1; }));
    }
    ASSERT_TRUE(clock->AwaitWaiters(1));
    clock->advance(kTenMinutes);
    ASSERT_TRUE(probe->Await("save 1", 1));

    // Kind 0 (the receiver switched off): no transport; a request is answered
    // with "no transport" and no time.
    EXPECT_EQ(manager->SetTransport(0, QString()), JAM_E_INVALIDARG);
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    ASSERT_TRUE(probe->Await("event 2 " + std::to_string(JAM_E_NOT_OPEN) + " no time", 1));
    {
        std::unique_lock lock(probe->mutex);
        ASSERT_TRUE(
            probe->changed.wait_for(lock, std::chrono::seconds(20), [&] { return probe->alive == 0; }));
    }
    QString text;
    EXPECT_EQ(manager->GetStatusText(text, 100, 0x70), JAM_E_NOT_OPEN);
}

// A download-now request made while the worker opens the transport, or while
// the user reconfigures, is served: nothing clears it unseen.
TEST_F(JamManagerTest, NoRequestIsLostWhileTheWorkerIsBusy)
{
    ASSERT_EQ(manager->SetSchedule(false, 0, &jamPath), JAM_OK);
    probe->SetGate(probe->openGate, false);
    ASSERT_EQ(manager->SetTransport(2, QStringLiteral("a")), JAM_OK);
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    // The worker is inside Open (or about to be): ask again, and reconfigure.
    ASSERT_EQ(manager->SetTransport(2, QStringLiteral("b")), JAM_OK);
    probe->SetGate(probe->openGate, true);
    ASSERT_TRUE(probe->Await("open 2 b", 1));
    ASSERT_TRUE(probe->Await("save", 1));

    // A request while a fetch is under way brings another fetch after it.
    probe->SetGate(probe->saveGate, false);
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    {
        std::unique_lock lock(probe->mutex);
        ASSERT_TRUE(probe->changed.wait_for(lock, std::chrono::seconds(20), [&] { return probe->saving; }));
    }
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    probe->SetGate(probe->saveGate, true);
    ASSERT_TRUE(probe->Await("save", 3));

    // Many requests from this thread while the worker fetches: the last one is
    // always followed by a fetch that began after it.
    constexpr int kRequests = 500;
    for (int i = 1; i <= kRequests; ++i) {
        {
            std::lock_guard lock(probe->mutex);
            probe->requested = i;
        }
        ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    }
    std::unique_lock lock(probe->mutex);
    EXPECT_TRUE(probe->changed.wait_for(
        lock, std::chrono::seconds(20), [&] { return probe->requestedAtLastSave == kRequests; }));
}

TEST_F(JamManagerTest, StopsPromptlyWhileWaiting)
{
    ASSERT_EQ(manager->SetSchedule(true, kTenMinutes, &jamPath), JAM_OK);
    ASSERT_EQ(manager->SetTransport(1, QString()), JAM_OK);
    ASSERT_TRUE(clock->AwaitWaiters(1));
    manager.reset();
    EXPECT_EQ(probe->alive, 0) << "the manager's end releases the transport";
    EXPECT_EQ(probe->Count("save"), 0u);
}

TEST(JamTransport, StatusTexts)
{
    CStubTransport stub;
    QString text;
    EXPECT_EQ(stub.GetStatusText(text, 100, 0x30), JAM_OK);
    EXPECT_EQ(text, QStringLiteral("Jam are not loaded.\r\n"));
    stub.GetStatusText(text, 100, 0x31);
    EXPECT_EQ(text, QStringLiteral("Пробки не загружены.\r\n"));
    stub.GetStatusText(text, 100, 0x72);
    EXPECT_EQ(text, QString()) << "another language: numbers only";

    // A subclass that holds a jam saved at 14:05:09 on 3 March 2007.
    struct Saved : CStubTransport {
        Saved() { m_jamTime = platform::LocalTimeToFileTime({ 2007, 3, 3, 6, 14, 5, 9, 0 }); }
    } saved;
    saved.Open(QString());
    saved.GetStatusText(text, 100, 0x30);
    EXPECT_EQ(text, QStringLiteral("14:05:09 03/03/2007 \r\n"));
    saved.GetStatusText(text, 100, 0x50);
    EXPECT_EQ(text, QStringLiteral("14:05:09 \r\nLast error [8004000a]\r\n"));
    saved.GetStatusText(text, 100, 0x41);
    EXPECT_EQ(text, QStringLiteral("Посл. ошибка [8004000a]\r\n"));
    saved.GetStatusText(text, 100, 0x32);
    EXPECT_EQ(text, QStringLiteral("14:05:09 03/03/2007 \r\n"));
    saved.GetStatusText(text, 20, 0x30);
    EXPECT_EQ(text, QStringLiteral("14:05:09 ")) << "a buffer of 20 holds the time, not the date after it";
    saved.GetStatusText(text, 0, 0x30);
    EXPECT_EQ(text, QString());
    uint64_t when = 0;
    EXPECT_EQ(saved.GetJamTime(&when), JAM_OK);
    EXPECT_EQ(stub.GetJamTime(&when), JAM_E_NO_NEW_DATA);
}

// The common saving: cells held are written once; a second fetch without new
// cells reports "no new data" and leaves the file alone.
TEST(JamTransport, SaveWritesOnceAndLeavesTheFileWithoutNewData)
{
    testing_support::ProgramFolder folders;
    platform::ScopedLocalTime now({ 2007, 3, 3, 6, 14, 5, 9, 0 });
    struct Cells : CJamCellTransport {
        JamStatus Open(const QString&) override { return JAM_OK; }
        JamStatus Reconnect() override { return JAM_OK; }
        JamStatus Close() override { return JAM_OK; }
        void Lock() override { }
        void Unlock() override { }
        JamStatus Refresh() override { return JAM_OK; }
        void Receive(char value)
        {
            m_cells.emplace().fill(value);
            m_jamTime = 77;
        }
    } transport;
    const QString jamPath = folders.File("mskmo0704.jam");
    std::vector<std::vector<uint32_t>> lists(kJamCellCount, std::vector<uint32_t> { 5 });
    ASSERT_TRUE(testing_support::WriteFileBytes(JamCellTablePath(jamPath), JamCellTable::Build(lists)));

    uint64_t jamTime = 0;
    EXPECT_EQ(transport.SaveJam(jamPath, &jamTime), JAM_E_NO_NEW_DATA);
    EXPECT_EQ(testing_support::ReadFileBytes(jamPath), "<missing>");
    transport.Receive('2');
    EXPECT_EQ(transport.SaveJam(jamPath, &jamTime), JAM_OK);
    EXPECT_EQ(jamTime, 77u);
    EXPECT_EQ(transport.LastStatus(), JAM_E_NO_NEW_DATA);
    const QByteArray saved = testing_support::ReadFileBytes(jamPath);
    EXPECT_EQ(saved.size(), 17 + 864 * 6);
    EXPECT_EQ(transport.SaveJam(jamPath, &jamTime), JAM_E_NO_NEW_DATA);
    EXPECT_EQ(testing_support::ReadFileBytes(jamPath), saved);

    // Without the map's cell table nothing can be written: the old file stays.
    transport.Receive('3');
    QFile::remove(JamCellTablePath(jamPath));
    EXPECT_EQ(transport.SaveJam(jamPath, &jamTime), JAM_E_JAM_FILE);
    EXPECT_EQ(transport.LastStatus(), JAM_E_JAM_FILE);
    EXPECT_EQ(testing_support::ReadFileBytes(jamPath), saved);
}

TEST(JamGlue, SettingsBecomeKindAndConfiguration)
{
    JamSettings settings;
    settings.kind = 2;
    settings.defaultServer = 0;
    settings.host = QStringLiteral("jams.example");
    settings.port = 8080;
    settings.uid = 1234567;
    settings.pin = QStringLiteral("4321");
    QString text;
    EXPECT_EQ(JamTransportConfiguration(settings, &text), 2);
    EXPECT_EQ(text, QStringLiteral("0\njams.example\n8080\n1234567\n4321"));
    settings.kind = 3;
    settings.comPort = 3;
    EXPECT_EQ(JamTransportConfiguration(settings, &text), 0) << "receiver switched off";
    EXPECT_EQ(text, QString());
    settings.receiverEnabled = 1;
    EXPECT_EQ(JamTransportConfiguration(settings, &text), 3);
    EXPECT_EQ(text, QStringLiteral("COM3:"));
    settings.kind = 1;
    EXPECT_EQ(JamTransportConfiguration(settings, &text), 1);
    EXPECT_EQ(text, QString());
}

TEST(JamGlue, ManagerLifeAndTheStubTransport)
{
    platform::ScopedManualClock clock;
    EXPECT_FALSE(ApplyJamSettings(g_jamSettings, nullptr)) << "no manager yet";
    EXPECT_FALSE(RequestJamUpdate());

    auto probe = std::make_shared<Probe>();
    SetJamCallback([probe](int event, JamStatus status, const uint64_t*) {
        probe->Add("event " + std::to_string(event) + " " + std::to_string(status));
    });
    JamSettings settings;
    settings.kind = 1;
    ASSERT_TRUE(CreateJamManager(settings, QStringLiteral("/maps/a.jam")));
    ASSERT_TRUE(probe->Await("event 1 0", 1));
    ASSERT_TRUE(RequestJamUpdate());
    ASSERT_TRUE(probe->Await("event 2 " + std::to_string(JAM_E_NOTIMPL), 1)) << "the stub saves nothing";
    EXPECT_TRUE(ReconnectJamTransport());

    settings.kind = 3; // the receiver, switched off
    EXPECT_FALSE(ReapplyJamSettings(settings));
    DestroyJamManager();
    EXPECT_EQ(GetJamManager(), nullptr);
    SetJamCallback(nullptr);
}
