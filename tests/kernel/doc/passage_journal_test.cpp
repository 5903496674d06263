// The passage journal of a map written by our writer: its file, read back by
// another document, expiry, and two threads at work on it.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <thread>

#include "kernel/doc/kernel_clock.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "tests/support/map_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Entry = CZXS_PassageJournal::Entry;
using testing_support::TempFolder;

// 2023-11-14 22:13:20 UTC.
constexpr int64_t kStart = 1700000000;
std::atomic<int64_t> g_now { kStart };
std::atomic<int> g_notifications { 0 };

ZXS_Tm ManualLocalTime() { return CZXS_KernelClock::SecondsToLocal(g_now.load()); }
void CountNotification(void*) { ++g_notifications; }

Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A map in a folder of its own, opened from disk with its road graph.
struct MapInFolder {
    TempFolder folder;
    std::string path = folder.File("city.tzx");
    CZXS_TzxDoc doc;

    explicit MapInFolder(const mapwriter::MapDescription& map = testing_support::SmallMap())
    {
        mapwriter::SaveFile(path, mapwriter::WriteTzx(map));
        mapwriter::SaveFile(folder.File("city.zxg"), mapwriter::WriteZxg(mapwriter::BuildRoadGraph(map)));
        ZXS_MapSource source;
        source.path = path.c_str();
        EXPECT_EQ(doc.Open(&source, nullptr, 0, CZXS_DiskStream::kDisk), 1);
        doc.Journal()->SetNotify(CountNotification, nullptr);
    }
    CZXS_PassageJournal& Journal() { return *doc.Journal(); }
    std::string JournalPath() const { return folder.File("city.zxj"); }
};

Entry MakeEntry(
    uint32_t roadOffset, uint8_t costClass, uint8_t directions, int32_t expiry, uint8_t valueB = 0)
{
    Entry e;
    e.roadOffset = roadOffset;
    e.costClass = costClass;
    e.directions = directions;
    e.expiry = expiry;
    e.valueB = valueB;
    e.setAt = static_cast<int32_t>(g_now.load());
    return e;
}

class PassageJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZXS_TimeZone utc;
        CZXS_KernelClock::SetTimeZone(&utc);
        CZXS_KernelClock::SetLocalClock(ManualLocalTime);
        g_now = kStart;
        g_notifications = 0;
        CZXS_PassageJournal::SetMode(3);
    }
    void TearDown() override
    {
        CZXS_KernelClock::SetLocalClock(nullptr);
        CZXS_KernelClock::SetTimeZone(nullptr);
        CZXS_PassageJournal::SetMode(3);
    }
};

TEST_F(PassageJournalTest, FileBytesAndLifetimeUnits)
{
    MapInFolder m;
    // Road elements 0, 1, 2 have link ids 100, 101, 102.
    ASSERT_EQ(m.Journal().Insert(MakeEntry(2, 3, 1, kStart + 15, 9), -1, true), 0);
    ASSERT_EQ(m.Journal().Insert(MakeEntry(0, 15, 3, -1), -1, true), 0);
    ASSERT_EQ(m.Journal().Insert(MakeEntry(1, 5, 2, kStart + 4), -1, true), 1);
    EXPECT_EQ(g_notifications, 3);
    ASSERT_EQ(m.Journal().Write(), 1);

    const Bytes expected = {
        0xC1, 0xE3, '0', '2', '0', '2', '3', '1', '1', '1', '4', '2', '2', '1', '3', '2', '0', 0x0F, 100, 0,
        0xC0, 0xFF, 0xFF, // class 15, both directions, never expires
        0x05, 101, 0, 0x80, 0x01, 0x00, // class 5, backward, 4 s: one unit
        0x93, 102, 0, 0x40, 0x02, 0x00, // class 3, value B 9, forward, 15 s: two units
    };
    EXPECT_EQ(ReadAll(m.JournalPath()), expected);
    // Replaced whole: nothing of the temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m.folder.Path()), {}), 3);

    // A reader that opened the old file goes on reading the old file whole.
    std::ifstream early(m.JournalPath(), std::ios::binary);
    ASSERT_TRUE(m.Journal().Remove(2, true));
    g_now = kStart + 1;
    ASSERT_EQ(m.Journal().Write(), 1);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(early), std::istreambuf_iterator<char>()), expected);
    EXPECT_EQ(ReadAll(m.JournalPath()).size(), 17u + 2 * 6);
}

TEST_F(PassageJournalTest, AnotherDocumentReadsTheFileOnce)
{
    MapInFolder writer;
    writer.Journal().Insert(MakeEntry(4, 15, 3, -1), -1, false);
    writer.Journal().Insert(MakeEntry(1, 2, 1, kStart + 600, 4), -1, false);
    ASSERT_EQ(writer.Journal().Write(), 1);

    MapInFolder reader;
    std::filesystem::copy_file(writer.JournalPath(), reader.JournalPath());
    g_now = kStart + 30;
    EXPECT_EQ(reader.Journal().ReadBesideMap(), 0);
    ASSERT_EQ(reader.Journal().Count(), 2u);
    Entry first;
    Entry second;
    reader.Journal().EntryAt(0, first);
    reader.Journal().EntryAt(1, second);
    EXPECT_EQ(first, (Entry { 1, 4, 2, 1, kStart + 600, kStart }));
    EXPECT_EQ(second, (Entry { 4, 0, 15, 3, -1, kStart }));
    EXPECT_EQ(g_notifications, 1);
    // Road element 4's edges are closed in both directions.
    const CZXS_RoadGraph& graph = reader.doc.RoadGraph();
    int closed = 0;
    for (uint32_t e = 0; e < graph.EdgeCount(); ++e)
        closed += graph.CostClass(e) == 15 ? 1 : 0;
    EXPECT_EQ(closed, 2);
    Entry found;
    EXPECT_EQ(reader.Journal().FindByLink(104, &found), 1);
    EXPECT_EQ(found.roadOffset, 4u);

    // The same time stamp is not read again.
    EXPECT_EQ(reader.Journal().ReadBesideMap(), CZXS_PassageJournal::kNotNewer);
}

TEST_F(PassageJournalTest, LifetimePastThe32BitRangeIsKeptAsTheLatestTime)
{
    // Written 2038-01-15 00:00:00 with the longest finite lifetime (65534 units,
    // 7.6 days), which ends past 2038-01-19 03:14:07.
    constexpr int64_t kLate = 2147126400;
    MapInFolder m;
    const Bytes file = {
        0xC1, 0xE3, '0', '2', '0', '3', '8', '0', '1', '1', '5', '0', '0', '0', '0', '0', '0', 0x05, 101, 0,
        0x80, 0xFE, 0xFF, // class 5, backward, 65534 units
    };
    std::ofstream(m.JournalPath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), file.size());
    g_now = kLate;
    EXPECT_EQ(m.Journal().ReadBesideMap(), 0);
    ASSERT_EQ(m.Journal().Count(), 1u);
    Entry e;
    m.Journal().EntryAt(0, e);
    EXPECT_EQ(e.expiry, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(e.costClass, 5);
}

TEST_F(PassageJournalTest, ForeignShortAndOddFilesKeepOrSkip)
{
    MapInFolder m;
    m.Journal().Insert(MakeEntry(3, 7, 1, -1), -1, false);
    auto save = [&](const Bytes& bytes) { mapwriter::SaveFile(m.JournalPath(), bytes); };

    save(mapwriter::WriteZxj(0x1234, "20231114221330", { { 1, 0, 100, 1, 0xFFFF } }));
    EXPECT_EQ(m.Journal().ReadBesideMap(), CZXS_PassageJournal::kOtherMap);
    EXPECT_EQ(m.Journal().Count(), 1u);

    // A header cut short says nothing: the entries stay.
    save({ 0xC1, 0xE3, '0', '2', '0' });
    EXPECT_EQ(m.Journal().ReadBesideMap(), 0);
    EXPECT_EQ(m.Journal().Count(), 1u);

    // Unknown links and expired records are skipped; records out of road order
    // still load in order; a record cut short at the end is ignored.
    Bytes file = mapwriter::WriteZxj(0xE3C1, "20231114221330",
        { { 1, 0, 105, 1, 0xFFFF }, { 2, 0, 999, 1, 0xFFFF }, { 3, 0, 100, 2, 0xFFFF }, { 4, 0, 102, 1, 1 },
            { 5, 0, 101, 3, 100 } });
    file.push_back(0x42);
    save(file);
    g_now = kStart + 40; // the record of 1 unit expired at +20
    EXPECT_EQ(m.Journal().ReadBesideMap(), 0);
    std::vector<uint32_t> offsets;
    for (uint32_t i = 0; i < m.Journal().Count(); ++i) {
        Entry e;
        m.Journal().EntryAt(i, e);
        offsets.push_back(e.roadOffset);
    }
    EXPECT_EQ(offsets, (std::vector<uint32_t> { 0, 1, 5 }));

    // Reading and writing follow the journal mode.
    CZXS_PassageJournal::SetMode(2);
    EXPECT_EQ(m.Journal().ReadBesideMap(), CZXS_PassageJournal::kReadDisabled);
    CZXS_PassageJournal::SetMode(1);
    EXPECT_EQ(m.Journal().Write(), 0);
}

TEST_F(PassageJournalTest, InsertReplacesAndRefuses)
{
    MapInFolder m;
    CZXS_PassageJournal& j = m.Journal();
    EXPECT_EQ(j.Insert(MakeEntry(2, 5, 0, -1), -1, true), -1); // no direction
    EXPECT_EQ(j.Insert(MakeEntry(2, 5, 1, -1), -1, true), 0);
    EXPECT_EQ(j.Insert(MakeEntry(2, 9, 1, -1), -1, true), 0); // same direction: kept as it was
    Entry e;
    j.EntryAt(0, e);
    EXPECT_EQ(e.costClass, 5);
    EXPECT_EQ(j.Insert(MakeEntry(2, 9, 3, -1), -1, true), 0); // other directions: replaced
    j.EntryAt(0, e);
    EXPECT_EQ(e.costClass, 9);
    EXPECT_EQ(j.Count(), 1u);
    EXPECT_TRUE(j.Remove(0, true));
    EXPECT_FALSE(j.Remove(0, true));
    for (uint32_t edge = 0; edge < m.doc.RoadGraph().EdgeCount(); ++edge)
        EXPECT_EQ(m.doc.RoadGraph().CostClass(edge), 14);
}

// A caller that found an entry's index, then the document thread's expiry pass,
// then the removal: the entry itself goes, not the one that moved into its place.
TEST_F(PassageJournalTest, RemovingAnEntryFindsItWhereverItNowStands)
{
    MapInFolder m;
    CZXS_PassageJournal& j = m.Journal();
    const Entry soon = MakeEntry(0, 1, 1, kStart + 10);
    const Entry found = MakeEntry(1, 2, 1, -1);
    const Entry other = MakeEntry(2, 3, 1, -1);
    for (const Entry& e : { soon, found, other })
        ASSERT_GE(j.Insert(e, -1, false), 0);
    Entry at;
    ASSERT_TRUE(j.EntryAt(1, at));
    ASSERT_EQ(at, found);
    g_now = kStart + 11;
    ASSERT_EQ(j.ExpirePass(), 1);
    EXPECT_TRUE(j.RemoveEntry(found, true));
    ASSERT_EQ(j.Count(), 1u);
    ASSERT_TRUE(j.EntryAt(0, at));
    EXPECT_EQ(at, other);
    EXPECT_FALSE(j.RemoveEntry(found, true));
}

TEST_F(PassageJournalTest, ExpiryRemovesConsecutiveEntriesInOnePass)
{
    MapInFolder m;
    CZXS_PassageJournal& j = m.Journal();
    j.Insert(MakeEntry(0, 1, 1, kStart + 10), -1, false);
    j.Insert(MakeEntry(1, 1, 1, kStart + 20), -1, false);
    j.Insert(MakeEntry(2, 1, 1, kStart + 500), -1, false);
    j.Insert(MakeEntry(3, 1, 1, -1), -1, false);
    EXPECT_EQ(j.ExpirePass(), 0);
    g_now = kStart + 21;
    EXPECT_EQ(j.ExpirePass(), 1);
    EXPECT_EQ(j.Count(), 2u);
    EXPECT_EQ(g_notifications, 1);
    EXPECT_EQ(ReadAll(m.JournalPath()).size(), 17u + 2 * 6);
}

TEST_F(PassageJournalTest, NoFileWithoutRoadLayers)
{
    mapwriter::MapDescription map = testing_support::SmallMap();
    map.firstRoadLayer = -1;
    map.roadLayerCount = 0;
    MapInFolder m(map);
    EXPECT_EQ(m.Journal().Write(), 0);
    EXPECT_EQ(m.Journal().ReadBesideMap(), CZXS_PassageJournal::kNoDocument);
    m.doc.Close();
    EXPECT_FALSE(std::filesystem::exists(m.JournalPath()));
}

TEST_F(PassageJournalTest, ClosingTheMapWritesItsJournal)
{
    MapInFolder m;
    m.Journal().Insert(MakeEntry(5, 15, 1, -1), -1, false);
    m.doc.Close();
    EXPECT_EQ(ReadAll(m.JournalPath()).size(), 17u + 6);
}

// A route being calculated reads the cost classes while the document thread's
// journal work marks and resets them.
TEST_F(PassageJournalTest, CostClassesAreReadWhileTheJournalMarksThem)
{
    MapInFolder m;
    CZXS_PassageJournal& j = m.Journal();
    const CZXS_RoadGraph& graph = m.doc.RoadGraph();
    ASSERT_GT(graph.EdgeCount(), 0u);
    std::atomic<bool> stop { false };
    std::atomic<int> invalid { 0 };
    std::thread router([&] {
        while (!stop)
            for (uint32_t e = 0; e < graph.EdgeCount(); ++e)
                if (graph.CostClass(e) > 15)
                    ++invalid;
    });
    for (int i = 0; i < 500; ++i) {
        j.Insert(MakeEntry(static_cast<uint32_t>(i % 6), static_cast<uint8_t>(i % 15), 3, -1), -1, false);
        if (i % 7 == 0)
            j.ClearAll();
    }
    stop = true;
    router.join();
    EXPECT_EQ(invalid, 0);
}

TEST_F(PassageJournalTest, TwoThreadsShareTheJournal)
{
    MapInFolder m;
    CZXS_PassageJournal& j = m.Journal();
    std::atomic<bool> stop { false };
    // The document thread's work: reading the file back, expiring and writing.
    std::thread worker([&] {
        while (!stop) {
            j.ReadBesideMap();
            j.ExpirePass();
            j.Write();
        }
    });
    for (int i = 0; i < 2000; ++i) {
        const uint32_t offset = static_cast<uint32_t>(i % 6);
        j.Insert(
            MakeEntry(offset, static_cast<uint8_t>(i % 16), static_cast<uint8_t>(1 + i % 3), kStart + i % 7),
            -1, true);
        if (i % 5 == 0)
            j.Remove(0, true);
        Entry e;
        j.FindByLink(100 + i % 6, &e);
        if (i % 100 == 0)
            g_now = kStart + i / 100;
    }
    stop = true;
    worker.join();
    // Whatever the interleaving, the entries stay in road order.
    uint32_t previous = 0;
    for (uint32_t i = 0; i < j.Count(); ++i) {
        Entry e;
        ASSERT_TRUE(j.EntryAt(i, e));
        EXPECT_LE(previous, e.roadOffset);
        previous = e.roadOffset;
    }
}

} // namespace
