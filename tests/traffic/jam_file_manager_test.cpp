#include "traffic/jam_file_manager.h"

#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "settings/settings_record.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/resource.h>
#include <thread>

using testing_support::BytesOf;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

constexpr uint8_t kClosed = CJamFileManager::PASSAGE_CLOSED;
constexpr uint8_t kNoBackward = CJamFileManager::PASSAGE_NO_BACKWARD;
constexpr uint8_t kBoth = kClosed | kNoBackward;

// Written by hand from the table: size 40, magic C1 E3, the text and its NUL, the count.
QByteArray GoldenHeader(int count)
{
    QByteArray header = BytesOf({ 40, 0, 0, 0, 0xC1, 0xE3 });
    header += QByteArray("disable thoroughfare 30symbol", 29) + QByteArray(1, '\0');
    const auto value = static_cast<uint32_t>(count);
    header += BytesOf(
        { int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF), int(value >> 24) });
    return header;
}

QByteArray DtFile(std::initializer_list<std::pair<uint32_t, uint8_t>> records)
{
    int count = 0;
    QByteArray body;
    for (auto [id, flags] : records) {
        body += DisabledRoadRecord(id, flags);
        count += (flags & 1) + ((flags >> 1) & 1);
    }
    return GoldenHeader(count) + body;
}

// The map controller's side: the route's busy word and the reports.
struct HostRig {
    std::atomic<bool> routeFree { true };
    std::atomic<int> passes { 0 };
    std::atomic<int> releases { 0 };
    std::mutex mutex;
    std::condition_variable reported;
    std::vector<int32_t> reports;

    CJamFileManager::Host Host()
    {
        return {
            [this] {
                ++passes;
                return routeFree.load();
            },
            [this] { ++releases; },
            [] {},
            [this](int32_t status) {
                std::lock_guard lock(mutex);
                reports.push_back(status);
                reported.notify_all();
            },
        };
    }
    // Waits in real time for the worker's report (a hang fails the test instead).
    std::vector<int32_t> AwaitReports(size_t count)
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(
            reported.wait_for(lock, std::chrono::seconds(20), [&] { return reports.size() >= count; }));
        return reports;
    }
};

class JamFileManagerTest : public ::testing::Test {
protected:
    QString Folder() const { return m_dir.path() + QLatin1Char('/'); }
    QString Path(const QString& name) const { return Folder() + name; }
    QString MainPath() const { return Path(QStringLiteral("DisabledJam.dt")); }
    std::unique_ptr<CJamFileManager> Open()
    {
        auto store = std::make_unique<CJamFileManager>(Folder());
        store->SetHost(m_host.Host());
        store->OnMapOpened(Path(QStringLiteral("mskmo0704.tzx")));
        return store;
    }
    QString Journal() const { return Path(QStringLiteral("mskmo0704.zxj")); }
    QString JamPath() const { return Path(QStringLiteral("mskmo0704.jam")); }

    QTemporaryDir m_dir;
    HostRig m_host;
    platform::ScopedLocalTime m_time { platform::LocalTime { 2026, 12, 11, 5, 1, 2, 3, 0 } };
};

// C1 E3, '0' and the local time at 01:02:ss: the fixed time for the first
// journal, a second later for each one that replaces it (the kernel takes only
// a later journal).
QByteArray JournalHeaderAt(int second)
{
    return BytesOf({ 0xC1, 0xE3 }) + QByteArray("0202612110102")
        + QByteArray::number(second).rightJustified(2, '0');
}

QByteArray JamRecord(uint8_t level, uint32_t road)
{
    return BytesOf(
        { level, int(road & 0xFF), int((road >> 8) & 0xFF), int((road >> 16) & 0xFF), 0xFF, 0xFF });
}

} // namespace

TEST(DisabledRoadFile, RecordAndHeaderBytesFollowTheTable)
{
    // w = 0x0F | id << 8 | flags << 30; FF FF.
    EXPECT_EQ(DisabledRoadRecord(0x123456, kClosed), BytesOf({ 0x0F, 0x56, 0x34, 0x52, 0xFF, 0xFF }));
    EXPECT_EQ(DisabledRoadRecord(0x3FFFFF, kBoth), BytesOf({ 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF }));
    EXPECT_EQ(DisabledRoadsHeader(7), GoldenHeader(7));

    int32_t count = -1;
    EXPECT_TRUE(ReadDisabledRoadsHeader(GoldenHeader(5), &count));
    EXPECT_EQ(count, 5);
    QByteArray text = GoldenHeader(1), size = text, magic = text, negative = GoldenHeader(-1);
    text[6 + 28] = 'X'; // the 29th character of the text
    size[0] = 41;
    magic[5] = 0xE4;
    for (const QByteArray& bad : { text, size, magic, negative, GoldenHeader(1).left(39) })
        EXPECT_FALSE(ReadDisabledRoadsHeader(bad, nullptr));
    QByteArray otherTail = GoldenHeader(1);
    otherTail[6 + 29] = 'Z'; // only the first 29 bytes of the text count
    EXPECT_TRUE(ReadDisabledRoadsHeader(otherTail, nullptr));
}

TEST_F(JamFileManagerTest, MissingMainFileIsCreatedEmptyAndGetsItsHeaderOnSave)
{
    auto store = Open();
    ASSERT_TRUE(store->IsOpen());
    EXPECT_EQ(ReadFileBytes(MainPath()), QByteArray());
    store->SetPassageFlags(store->FindRoad(0x123456), 0x123456, kClosed);
    store->SetPassageFlags(store->FindRoad(5), 5, kBoth);
    EXPECT_TRUE(store->IsModified());
    ASSERT_TRUE(store->SaveMainFile(false));
    EXPECT_FALSE(store->IsModified());
    EXPECT_EQ(ReadFileBytes(MainPath()),
        GoldenHeader(3) + DisabledRoadRecord(5, kBoth) + DisabledRoadRecord(0x123456, kClosed));
    // Still held after the file was replaced: the next save works the same way.
    EXPECT_TRUE(store->IsOpen());
    store->SetPassageFlags(store->FindRoad(5), 5, 0);
    ASSERT_TRUE(store->SaveMainFile(false));
    EXPECT_EQ(ReadFileBytes(MainPath()), GoldenHeader(1) + DisabledRoadRecord(0x123456, kClosed));
}

// The road table over the main file's and an attached file's records and the
// user's changes: flags in force, the main file's own share, its count.
TEST_F(JamFileManagerTest, MergeTable)
{
    ASSERT_TRUE(WriteFileBytes(
        MainPath(), DtFile({ { 10, kClosed }, { 10, kNoBackward }, { 11, kBoth }, { 12, kClosed } })));
    ASSERT_TRUE(WriteFileBytes(
        Path("city.dt"), DtFile({ { 12, kNoBackward }, { 13, kNoBackward }, { 11, kClosed } })));
    auto store = Open();
    // Two records of one road add up, and the count counts every bit of every record.
    EXPECT_EQ(store->GetEntryCount(0), 5);
    ASSERT_EQ(store->AttachFile(Path("city.dt")), 1);
    ASSERT_GE(store->ApplyPass(), 0);
    EXPECT_EQ(store->GetEntryCount(1), 3);

    struct Row {
        uint32_t road;
        uint8_t current;
        uint8_t own;
    };
    auto expectTable = [&](std::initializer_list<Row> rows, const char* when) {
        const CJamFileManager::RoadTable roads = store->GetRoads();
        ASSERT_EQ(roads.size(), rows.size()) << when;
        for (const Row& row : rows) {
            ASSERT_TRUE(roads.count(row.road)) << when << " road " << row.road;
            EXPECT_EQ(roads.at(row.road).current, row.current) << when << " road " << row.road;
            EXPECT_EQ(roads.at(row.road).own, row.own) << when << " road " << row.road;
        }
    };
    // The attached file's bits are not the main file's own.
    expectTable(
        { { 10, kBoth, kBoth }, { 11, kBoth, kNoBackward }, { 12, kBoth, kClosed }, { 13, kNoBackward, 0 } },
        "loaded");

    struct Change {
        uint32_t road;
        uint8_t wanted;
        uint8_t pending; // what would be in force
        int mainCount;
    };
    const Change changes[] = {
        // The attached file closes the backward passage of 13; the user closes it too.
        { 13, kClosed, kBoth, 6 },
        // "Open passage" keeps what the attached file holds.
        { 13, 0, kNoBackward, 5 },
        // The main file's own road opens whole.
        { 10, 0, 0, 3 },
        // A new road.
        { 20, kNoBackward, kNoBackward, 4 },
    };
    for (const Change& c : changes) {
        const auto position = store->FindRoad(c.road);
        const uint8_t pending = store->GetPendingFlags(position, c.road, c.wanted);
        EXPECT_EQ(pending, c.pending) << "road " << c.road << " wanted " << int(c.wanted);
        store->SetPassageFlags(position, c.road, pending);
        EXPECT_EQ(store->GetRoadFlags(store->FindRoad(c.road), c.road), c.pending);
        EXPECT_EQ(store->GetEntryCount(0), c.mainCount) << "road " << c.road;
    }
    expectTable({ { 11, kBoth, kNoBackward }, { 12, kBoth, kClosed }, { 13, kNoBackward, 0 },
                    { 20, kNoBackward, kNoBackward } },
        "changed");
    EXPECT_TRUE(store->IsBlockingOn());

    // Detached: the file's flags still show until the next pass drops them.
    store->DetachEntry(1);
    EXPECT_EQ(store->GetRoadFlags(store->FindRoad(13), 13), kNoBackward);
    EXPECT_EQ(store->GetEntryCount(1), 0);
    ASSERT_EQ(store->ApplyPass(), 0);
    EXPECT_EQ(store->GetEntryCountTotal(), 1);
    expectTable(
        { { 11, kNoBackward, kNoBackward }, { 12, kClosed, kClosed }, { 20, kNoBackward, kNoBackward } },
        "detached");
}

TEST_F(JamFileManagerTest, AttachRefusesBadFilesAndTwiceAndBringsADetachedOneBack)
{
    QByteArray badText = DtFile({ { 1, kClosed } });
    badText[10] = '?';
    ASSERT_TRUE(WriteFileBytes(Path("bad.dt"), badText));
    ASSERT_TRUE(WriteFileBytes(Path("negative.dt"), GoldenHeader(-1)));
    ASSERT_TRUE(WriteFileBytes(Path("good.dt"), DtFile({ { 1, kClosed } })));
    auto store = Open();
    EXPECT_EQ(store->AttachFile(Path("bad.dt")), -1);
    EXPECT_EQ(store->AttachFile(Path("negative.dt")), -1);
    EXPECT_EQ(store->AttachFile(Path("missing.dt")), -1);
    EXPECT_EQ(store->AttachFile(MainPath().toUpper().replace(Folder().toUpper(), Folder())), -1);
    ASSERT_EQ(store->AttachFile(Path("good.dt")), 1);
    EXPECT_EQ(store->AttachFile(Path("GOOD.DT")), -1);
    store->DetachEntry(1);
    EXPECT_EQ(store->AttachFile(Path("good.dt")), 1);
    EXPECT_EQ(store->GetEntryCount(1), 1);
}

TEST_F(JamFileManagerTest, DamagedMainFileIsSetAsideNotEmptied)
{
    QByteArray damaged = DtFile({ { 7, kClosed }, { 8, kBoth } });
    damaged[20] = '#';
    ASSERT_TRUE(WriteFileBytes(MainPath(), damaged));
    auto store = Open();
    ASSERT_TRUE(store->IsOpen());
    EXPECT_TRUE(store->GetRoads().empty());
    EXPECT_EQ(ReadFileBytes(MainPath()), QByteArray());
    ASSERT_FALSE(store->GetSetAsidePath().isEmpty());
    EXPECT_EQ(ReadFileBytes(store->GetSetAsidePath()), damaged);
    EXPECT_TRUE(store->GetSetAsidePath().endsWith(QStringLiteral(".dt")));
}

// A save killed half-way (the file size limit kills the child as it writes)
// leaves the previous file, which the next start loads whole.
TEST_F(JamFileManagerTest, SaveKilledMidwayLeavesThePreviousFileLoadable)
{
    const QByteArray before = DtFile({ { 1, kClosed }, { 2, kNoBackward }, { 3, kBoth } });
    ASSERT_TRUE(WriteFileBytes(MainPath(), before));
    const int code = testing_support::RunInChild([&] {
        CJamFileManager store(Folder());
        for (uint32_t road = 100; road < 400; ++road)
            store.SetPassageFlags(store.FindRoad(road), road, kClosed);
        const rlimit limit { 200, 200 };
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        store.SaveMainFile(false);
        return 0; // not reached: SIGXFSZ ends the child inside the write
    });
    EXPECT_EQ(code, -1) << "the child was not killed by its write";
    EXPECT_EQ(ReadFileBytes(MainPath()), before);

    auto store = Open();
    EXPECT_TRUE(store->GetSetAsidePath().isEmpty());
    const CJamFileManager::RoadTable roads = store->GetRoads();
    ASSERT_EQ(roads.size(), 3u);
    EXPECT_EQ(roads.at(3).current, kBoth);
    EXPECT_EQ(store->GetEntryCount(0), 4);
}

// The journal the pass writes, byte for byte, for blocks, jams, both and neither.
TEST_F(JamFileManagerTest, JournalBytes)
{
    const QByteArray jamBody = JamRecord(7, 0xC00010) + JamRecord(4, 0x400020);
    const QByteArray jamFile = BytesOf({ 0xC1, 0xE3 }) + QByteArray("020261211010000") + jamBody;
    ASSERT_TRUE(WriteFileBytes(MainPath(), DtFile({ { 40, kClosed }, { 30, kBoth } })));
    ASSERT_TRUE(WriteFileBytes(Path("city.dt"), DtFile({ { 30, kClosed }, { 50, kNoBackward } })));
    ASSERT_TRUE(WriteFileBytes(JamPath(), jamFile));
    auto store = Open();

    // Blocks alone, only the main file: its records as they stand in it.
    store->SetSwitches(CJamFileManager::SWITCH_BLOCKING);
    ASSERT_EQ(store->ApplyPass(), 0);
    EXPECT_EQ(ReadFileBytes(Journal()),
        JournalHeaderAt(3) + DisabledRoadRecord(40, kClosed) + DisabledRoadRecord(30, kBoth));

    // Jams alone.
    store->SetSwitches(CJamFileManager::SWITCH_JAMS);
    ASSERT_EQ(store->ApplyPass(), 0);
    EXPECT_EQ(ReadFileBytes(Journal()), JournalHeaderAt(4) + jamBody);

    // Both, with an attached file: one record per road with the flags in force, then the jams.
    ASSERT_EQ(store->AttachFile(Path("city.dt")), 1);
    store->SetSwitches(CJamFileManager::SWITCH_BLOCKING | CJamFileManager::SWITCH_JAMS);
    ASSERT_EQ(store->ApplyPass(), 0);
    const QByteArray blocks = DisabledRoadRecord(30, kBoth) + DisabledRoadRecord(40, kClosed)
        + DisabledRoadRecord(50, kNoBackward);
    EXPECT_EQ(ReadFileBytes(Journal()), JournalHeaderAt(5) + blocks + jamBody);

    // A jam file of another kind is ignored for the pass.
    ASSERT_TRUE(WriteFileBytes(JamPath(), QByteArray("not a jam file at all")));
    ASSERT_EQ(store->ApplyPass(), 0);
    EXPECT_EQ(ReadFileBytes(Journal()), JournalHeaderAt(6) + blocks);

    // A journal the kernel wrote meanwhile at a later time is followed by a later one still.
    ASSERT_TRUE(WriteFileBytes(Journal(), JournalHeaderAt(30)));
    ASSERT_EQ(store->ApplyPass(), 0);
    EXPECT_EQ(ReadFileBytes(Journal()), JournalHeaderAt(31) + blocks);

    // Neither: a journal that was there is cut back to its header; one the pass made is deleted.
    store->SetSwitches(0);
    ASSERT_EQ(store->ApplyPass(), 0);
    EXPECT_EQ(ReadFileBytes(Journal()), JournalHeaderAt(32));
    ASSERT_TRUE(QFile::remove(Journal()));
    ASSERT_EQ(store->ApplyPass(), CJamFileManager::APPLY_UNCHANGED);
    EXPECT_FALSE(QFile::exists(Journal()));
    // A map of another identifier (bytes 56-57 of its header) gets journals that carry it.
    QByteArray map(476, '\0');
    map[56] = 0x34;
    map[57] = 0x12;
    ASSERT_TRUE(WriteFileBytes(Path(QStringLiteral("other.tzx")), map));
    store->OnMapOpened(Path(QStringLiteral("other.tzx")));
    store->SetSwitches(CJamFileManager::SWITCH_BLOCKING);
    ASSERT_EQ(store->ApplyPass(), 0);
    EXPECT_EQ(ReadFileBytes(Path(QStringLiteral("other.zxj"))).left(3), BytesOf({ 0x34, 0x12, '0' }));

    // Opening the map clears the journal it finds.
    ASSERT_TRUE(WriteFileBytes(Journal(), JournalHeaderAt(0)));
    store->OnMapOpened(Path(QStringLiteral("mskmo0704.tzx")));
    EXPECT_FALSE(QFile::exists(Journal()));
}

TEST_F(JamFileManagerTest, JamsWantedWithoutAnyFileAndABusyRoute)
{
    // No main file (its name taken by a folder) and no jam file.
    ASSERT_TRUE(QDir(Folder()).mkdir(QStringLiteral("DisabledJam.dt")));
    auto store = Open();
    EXPECT_FALSE(store->IsOpen());
    store->SetSwitches(CJamFileManager::SWITCH_JAMS);
    EXPECT_EQ(store->ApplyPass(), CJamFileManager::APPLY_NOTHING);
    EXPECT_FALSE(QFile::exists(Journal()));
    m_host.routeFree = false;
    EXPECT_EQ(store->ApplyPass(), CJamFileManager::APPLY_RETRY);
}

// While the route is being built the worker tries again: 4 waits of 260 ms,
// 11 of 1650 ms and 8 of 15120 ms, then it reports -1.
TEST_F(JamFileManagerTest, WorkerRetriesThroughTheTableThenGivesUp)
{
    platform::ScopedManualClock clock;
    auto store = Open();
    m_host.routeFree = false;
    m_host.passes = 0;
    ASSERT_TRUE(store->StartWorker(false));
    std::vector<uint32_t> waits;
    waits.insert(waits.end(), 4, 260);
    waits.insert(waits.end(), 11, 1650);
    waits.insert(waits.end(), 8, 15120);
    int expected = 2; // the start's own look at the busy word, then the first pass
    for (uint32_t wait : waits) {
        ASSERT_TRUE(clock->AwaitWaiters(1));
        EXPECT_EQ(m_host.passes.load(), expected);
        clock->advance(wait - 1);
        EXPECT_EQ(clock->Waiters(), 1) << "woke before " << wait << " ms";
        clock->advance(1);
        ++expected;
    }
    EXPECT_EQ(m_host.AwaitReports(1), std::vector<int32_t> { CJamFileManager::APPLY_RETRY });
    EXPECT_EQ(m_host.passes.load(), expected);

    // The route is free again: a new start applies at once; with nothing in
    // force and no journal the route is given back at once.
    m_host.routeFree = true;
    ASSERT_TRUE(store->StartWorker(true));
    EXPECT_EQ(m_host.AwaitReports(2).back(), CJamFileManager::APPLY_UNCHANGED);
    EXPECT_EQ(m_host.releases.load(), 1);
}

// A start while the worker waits for the lock its caller holds: the caller
// hands the lock over while the worker stops, and the next worker is not
// stopped by the first one's stop.
TEST_F(JamFileManagerTest, StartWithTheLockHeldStopsTheWorkerInItsPassAndTheNextOneRuns)
{
    platform::ScopedManualClock clock;
    auto store = Open();
    m_host.routeFree = false;
    ASSERT_TRUE(store->StartWorker(false));
    ASSERT_TRUE(clock->AwaitWaiters(1));
    {
        platform::CSLock held(store->Lock());
        clock->advance(260);
        // The worker's next pass now waits for the lock.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!store->IsWorkerInPass() && std::chrono::steady_clock::now() < limit)
            std::this_thread::yield();
        ASSERT_TRUE(store->IsWorkerInPass());
        ASSERT_TRUE(store->StartWorker(false));
        EXPECT_TRUE(store->Lock().IsOwnedByCurrentThread());
    }
    ASSERT_TRUE(clock->AwaitWaiters(1));
    m_host.routeFree = true;
    clock->advance(260);
    EXPECT_EQ(m_host.AwaitReports(1), std::vector<int32_t> { CJamFileManager::APPLY_UNCHANGED });
}

TEST_F(JamFileManagerTest, SettingsSectionRoundTripAndExpertModeRule)
{
    ASSERT_TRUE(WriteFileBytes(Path("a.dt"), DtFile({ { 1, kClosed } })));
    ASSERT_TRUE(WriteFileBytes(Path("b.dt"), DtFile({ { 2, kNoBackward } })));
    const int expertBefore = g_bExpertMode.load();
    QByteArray bytes;
    {
        auto store = Open();
        ASSERT_EQ(store->AttachFile(Path("a.dt")), 1);
        ASSERT_EQ(store->AttachFile(Path("b.dt")), 2);
        store->DetachEntry(1);
        store->SetPassageFlags(store->FindRoad(9), 9, kClosed);
        store->SetSwitches(CJamFileManager::SWITCH_BLOCKING | CJamFileManager::SWITCH_JAMS);
        platform::Archive out;
        store->SaveToArchive(out);
        bytes = QByteArray(reinterpret_cast<const char*>(out.Data().data()), qsizetype(out.Data().size()));
        // Unsaved closures went to the file first.
        EXPECT_EQ(ReadFileBytes(MainPath()), DtFile({ { 9, kClosed } }));
    }
    const QString b = Path("b.dt");
    QByteArray expected = BytesOf({ 3, 1, 0, 0, 0, int(b.size()), 0, 0, 0 });
    for (QChar c : b)
        expected += BytesOf({ c.unicode() & 0xFF, c.unicode() >> 8 });
    EXPECT_EQ(bytes, expected);

    struct Case {
        int expert;
        QByteArray section;
        uint8_t switches;
        int entries;
    };
    QByteArray damaged = bytes;
    damaged[8] = 0x40; // a name length of a thousand million characters
    const Case cases[] = {
        { 1, bytes, 3, 2 },
        { 0, bytes, 2, 2 }, // disabled roads in force only in expert mode
        { 1, damaged, 3, 1 }, // only the main file left
        { 0, damaged, 2, 1 },
    };
    for (const Case& c : cases) {
        g_bExpertMode = c.expert;
        auto store = Open();
        platform::Archive in(
            { reinterpret_cast<const uint8_t*>(c.section.constData()), size_t(c.section.size()) });
        store->LoadFromArchive(in);
        EXPECT_EQ(store->GetSwitches(), c.switches) << "expert " << c.expert;
        ASSERT_EQ(store->GetEntryCountTotal(), c.entries);
        if (c.entries == 2) {
            EXPECT_EQ(store->GetEntryName(1), b);
        }
        EXPECT_EQ(store->GetRoadFlags(store->FindRoad(9), 9), kClosed);
    }
    g_bExpertMode = expertBefore;
}

TEST_F(JamFileManagerTest, SaveAsMergesEverythingIntoTheMainFileAndCopiesIt)
{
    ASSERT_TRUE(WriteFileBytes(MainPath(), DtFile({ { 5, kClosed } })));
    ASSERT_TRUE(WriteFileBytes(Path("a.dt"), DtFile({ { 5, kNoBackward }, { 6, kClosed } })));
    auto store = Open();
    ASSERT_EQ(store->AttachFile(Path("a.dt")), 1);
    ASSERT_TRUE(store->SaveAs(Path("copy.dt")));
    const QByteArray merged = DtFile({ { 5, kBoth }, { 6, kClosed } });
    EXPECT_EQ(ReadFileBytes(MainPath()), merged);
    EXPECT_EQ(ReadFileBytes(Path("copy.dt")), merged);
    EXPECT_EQ(store->GetEntryCountTotal(), 1);
    // Every flag is now the main file's own: the user can open road 6.
    EXPECT_EQ(store->GetPendingFlags(store->FindRoad(6), 6, 0), 0);
    // The main path as the name only merges.
    EXPECT_TRUE(store->SaveAs(MainPath()));
    EXPECT_EQ(ReadFileBytes(MainPath()), merged);
}
