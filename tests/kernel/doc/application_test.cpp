// The kernel application object through its interface: starting and ending
// the kernel, maps shared by path, and the document thread that keeps every
// open map's passage journal in step with its file.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kernel/api/app_interface.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/application.h"
#include "kernel/doc/disk_stream.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/render/async_renderer.h"
#include "tests/kernel/doc/kernel_fixture.h"

namespace {

using kernel_fixture::g_now;
using kernel_fixture::ScopedKernel;
using testing_support::TempFolder;
using Bytes = std::vector<uint8_t>;

constexpr auto kWait = std::chrono::seconds(60);

struct CountingView : CZXS_DocObserver {
    std::atomic<int> changes { 0 };
    void DocumentChanged() override { ++changes; }
};

// Maps with their road graphs in a folder of their own.
struct MapFolder {
    TempFolder folder;
    mapwriter::MapDescription map = testing_support::SmallMap();

    std::string Save(const std::string& name)
    {
        const std::string path = folder.File(name + ".tzx");
        EXPECT_TRUE(mapwriter::SaveFile(path, mapwriter::WriteTzx(map)));
        EXPECT_TRUE(mapwriter::SaveFile(
            folder.File(name + ".zxg"), mapwriter::WriteZxg(mapwriter::BuildRoadGraph(map))));
        return path;
    }
    // A journal file of the map written `secondsAhead` after the kernel's now.
    void WriteJournal(
        const std::string& name, int64_t secondsAhead, std::vector<mapwriter::JournalRecord> records)
    {
        char digits[15] = {};
        CZXS_PassageJournal::FormatLocalTime(g_now.load() + secondsAhead, digits);
        EXPECT_TRUE(
            mapwriter::SaveFile(folder.File(name + ".zxj"), mapwriter::WriteZxj(map.mapId, digits, records)));
    }
};

mapwriter::JournalRecord Closure(int32_t link)
{
    mapwriter::JournalRecord r;
    r.costClass = 15;
    r.linkId = link;
    r.directions = 1;
    return r;
}

CZXS_PassageJournal& JournalOf(const CZXS_MapHandle& h) { return *h.pDoc->Map().Journal(); }

// Two maps, "north" and "south", opened from their files under a started kernel.
struct TwoMaps {
    ScopedKernel kernel;
    MapFolder maps;
    int owner = 0;
    CZXS_MapHandle a;
    CZXS_MapHandle b;

    explicit TwoMaps(int32_t journalMode)
        : kernel(journalMode)
    {
        EXPECT_EQ(ZXS_MapOpenA(&a, &owner, maps.Save("north").c_str(), nullptr, 0, 1), ZXS_OK);
        EXPECT_EQ(ZXS_MapOpenA(&b, &owner, maps.Save("south").c_str(), nullptr, 0, 1), ZXS_OK);
    }
    ~TwoMaps()
    {
        ZXS_MapClose(&a);
        ZXS_MapClose(&b);
    }
};

TEST(Application, StartsOnceAndEndsCleanly)
{
    CZXS_AppHandle handle;
    ZXS_AppHandleInit(&handle);
    TempFolder empty;
    EXPECT_EQ(ZXS_AppCreate(&handle, nullptr, 0, (empty.Path() + "/").c_str(), 3), ZXS_ERR_FONTS);
    EXPECT_EQ(handle.pApp, nullptr);
    EXPECT_EQ(ZXSg_pApplication, nullptr);

    // A symbol set of the wrong magic is refused and leaves nothing behind.
    kernel_fixture::FontFolder fonts;
    const uint8_t badSymbols[8] = { 1, 2, 3, 4, 0, 0, 0, 0 };
    EXPECT_EQ(ZXS_AppCreate(&handle, badSymbols, sizeof badSymbols, fonts.Prefix().c_str(), 3), ZXS_ERR_INIT);
    EXPECT_EQ(handle.pApp, nullptr);
    EXPECT_EQ(ZXSg_pApplication, nullptr);

    // Before the kernel: arguments first, then the missing kernel.
    CZXS_MapHandle map;
    int owner = 0;
    EXPECT_EQ(ZXS_MapOpenA(&map, &owner, nullptr, nullptr, 0, 0), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_MapOpenA(&map, nullptr, "x.tzx", nullptr, 0, 0), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_MapOpenA(&map, &owner, "x.tzx", nullptr, 0, 0), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_AppCheck(), 1);

    ASSERT_EQ(ZXS_AppCreate(&handle, nullptr, 0, fonts.Prefix().c_str(), 3), ZXS_OK);
    CApplication* app = handle.pApp;
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(ZXSg_pApplication, app);
    EXPECT_TRUE(app->IsInitialised());
    EXPECT_TRUE(app->Documents().IsThreadRunning());
    EXPECT_TRUE(CAsyncRenderer::Instance().IsRunning());
    EXPECT_EQ(ZXS_AppCreate(&handle, nullptr, 0, fonts.Prefix().c_str(), 3), ZXS_OK);
    EXPECT_EQ(handle.pApp, app);
    EXPECT_TRUE(app->Documents().RunPassNow(kWait));

    ZXS_AppExit(&handle);
    EXPECT_EQ(handle.pApp, nullptr);
    EXPECT_EQ(ZXSg_pApplication, nullptr);
    EXPECT_FALSE(CAsyncRenderer::Instance().IsRunning());
    ZXS_AppExit(&handle);

    // Release also ends a kernel with open maps.
    ASSERT_EQ(ZXS_AppCreate(&handle, nullptr, 0, fonts.Prefix().c_str(), 0), ZXS_OK);
    MapFolder maps;
    ASSERT_EQ(ZXS_MapOpenA(&map, &owner, maps.Save("city").c_str(), nullptr, 0, 1), ZXS_OK);
    ZXS_AppRelease(&handle);
    EXPECT_EQ(handle.pApp, nullptr);
    EXPECT_EQ(ZXSg_pApplication, nullptr);
}

TEST(Application, MapsAreSharedByPathAndClosedByTheirLastHandle)
{
    ScopedKernel kernel;
    CAppDocManager& docs = kernel.App()->Documents();
    MapFolder maps;
    const std::string path = maps.Save("city");
    int owner = 0;
    CZXS_MapHandle first;
    CZXS_MapHandle second;
    ASSERT_EQ(ZXS_MapOpenA(&first, &owner, path.c_str(), nullptr, 0, 1), ZXS_OK);
    EXPECT_EQ(first.pOwner, &owner);
    // Another key and another reader kind: the open map all the same.
    const Bytes key = testing_support::FixtureKey();
    const std::u16string wide(path.begin(), path.end());
    ASSERT_EQ(ZXS_MapOpen(&second, &owner, wide.c_str(), key.data(), 16, 0), ZXS_OK);
    EXPECT_EQ(second.pDoc, first.pDoc);
    EXPECT_EQ(docs.UseCount(first.pDoc), 2);
    EXPECT_EQ(docs.DocumentCount(), 1u);

    ZXS_MapClose(&first);
    EXPECT_EQ(first.pDoc, nullptr);
    EXPECT_EQ(first.pOwner, nullptr);
    EXPECT_EQ(docs.UseCount(second.pDoc), 1);
    EXPECT_EQ(second.pDoc->Map().Objects().Count(), 9u);
    ZXS_MapClose(&second);
    EXPECT_EQ(docs.DocumentCount(), 0u);

    // Opening into an open handle closes its map first, also when the new open fails.
    ASSERT_EQ(ZXS_MapOpenA(&first, &owner, path.c_str(), nullptr, 0, 0), ZXS_OK);
    EXPECT_EQ(ZXS_MapOpenA(&first, &owner, maps.folder.File("missing.tzx").c_str(), nullptr, 0, 0),
        ZXS_ERR_FILEOPEN);
    EXPECT_EQ(first.pDoc, nullptr);
    EXPECT_EQ(docs.DocumentCount(), 0u);

    // Memory maps are never shared, even over the same block.
    const Bytes bytes = mapwriter::WriteTzx(maps.map);
    ASSERT_EQ(ZXS_MapOpenMemory(&first, &owner, bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr, 0,
                  nullptr, 0, nullptr, 0),
        ZXS_OK);
    ASSERT_EQ(ZXS_MapOpenMemory(&second, &owner, bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr,
                  0, nullptr, 0, nullptr, 0),
        ZXS_OK);
    EXPECT_NE(first.pDoc, second.pDoc);
    EXPECT_EQ(ZXS_MapOpenMemory(&first, &owner, bytes.data(), 0, nullptr, 0, nullptr, 0, nullptr, 0),
        ZXS_ERR_PARAM);
    ZXS_MapClose(&first);
    ZXS_MapClose(&second);

    // Failures keep their codes: an enciphered map without its key.
    const std::string secret = maps.folder.File("secret.tzx");
    ASSERT_TRUE(mapwriter::SaveFile(secret, mapwriter::WriteTzx(maps.map, key)));
    EXPECT_EQ(ZXS_MapOpenA(&first, &owner, secret.c_str(), nullptr, 0, 0), ZXS_ERR_SIGNATURE);
    EXPECT_EQ(ZXS_MapOpenA(&first, &owner, secret.c_str(), key.data(), 16, 0), ZXS_OK);
    ZXS_MapClose(&first);
    EXPECT_EQ(docs.DocumentCount(), 0u);
}

TEST(Application, DocumentThreadReadsEveryNewerJournal)
{
    // The first map has no journal file: the second's is read all the same.
    TwoMaps two(3);
    CAppDocManager& docs = two.kernel.App()->Documents();
    CZXS_MapHandle& a = two.a;
    CZXS_MapHandle& b = two.b;
    MapFolder& maps = two.maps;
    CountingView view;
    ASSERT_TRUE(b.pDoc->AddView(&view));
    maps.WriteJournal("south", 60, { Closure(101), Closure(103) });
    ASSERT_TRUE(docs.RunPassNow(kWait));
    EXPECT_EQ(JournalOf(a).Count(), 0u);
    ASSERT_EQ(JournalOf(b).Count(), 2u);
    CZXS_PassageJournal::Entry e;
    ASSERT_TRUE(JournalOf(b).EntryAt(0, e));
    EXPECT_EQ(e.roadOffset, 1u);
    EXPECT_EQ(e.costClass, 15);
    EXPECT_GT(view.changes.load(), 0);

    // A file no newer is not read again; another program's newer one is.
    JournalOf(b).ClearAll();
    ASSERT_TRUE(docs.RunPassNow(kWait));
    EXPECT_EQ(JournalOf(b).Count(), 0u);
    maps.WriteJournal("south", 120, { Closure(104) });
    maps.WriteJournal("north", 120, { Closure(100) });
    ASSERT_TRUE(docs.RunPassNow(kWait));
    EXPECT_EQ(JournalOf(a).Count(), 1u);
    EXPECT_EQ(JournalOf(b).Count(), 1u);

    // A journal file held by another program waits for a later pass; the other map's is read.
    maps.WriteJournal("north", 180, { Closure(100), Closure(101) });
    maps.WriteJournal("south", 180, { Closure(104), Closure(105) });
    {
        CZXS_DiskStream holder;
        ASSERT_EQ(
            holder.Open(maps.folder.File("north.zxj"), ZXS_OPEN_READ | ZXS_OPEN_SHARE_EXCLUSIVE, nullptr), 1);
        ASSERT_TRUE(docs.RunPassNow(kWait));
        EXPECT_EQ(JournalOf(a).Count(), 1u);
        EXPECT_EQ(JournalOf(b).Count(), 2u);
    }
    ASSERT_TRUE(docs.RunPassNow(kWait));
    EXPECT_EQ(JournalOf(a).Count(), 2u);
    b.pDoc->RemoveView(&view);
}

TEST(Application, WithReadingOffEveryMapStillExpiresItsEntries)
{
    TwoMaps two(2);
    CZXS_MapHandle& a = two.a;
    CZXS_MapHandle& b = two.b;
    two.maps.WriteJournal("south", 60, { Closure(101) });
    for (CZXS_MapHandle* h : { &a, &b }) {
        CZXS_PassageJournal::Entry e;
        e.roadOffset = 2;
        e.costClass = 15;
        e.directions = 1;
        e.expiry = static_cast<int32_t>(g_now.load() + 10);
        ASSERT_GE(JournalOf(*h).Insert(e, -1, false), 0);
    }
    g_now += 20;
    ASSERT_TRUE(two.kernel.App()->Documents().RunPassNow(kWait));
    EXPECT_EQ(JournalOf(a).Count(), 0u);
    EXPECT_EQ(JournalOf(b).Count(), 0u); // expired, and the file not read
}

// Several threads open, change and close maps while the document thread runs
// its passes: run under ThreadSanitizer this shows the kernel's lists are guarded.
TEST(Application, OpenAndCloseFromSeveralThreadsWhileJournalsAreRead)
{
    ScopedKernel kernel;
    CAppDocManager& docs = kernel.App()->Documents();
    MapFolder maps;
    const std::string shared = maps.Save("shared");
    const std::string own[] = { maps.Save("one"), maps.Save("two") };
    const Bytes memory = mapwriter::WriteTzx(maps.map);
    maps.WriteJournal("shared", 60, { Closure(102) });
    std::atomic<bool> failed { false };
    std::atomic<bool> done { false };
    std::thread passes([&] {
        while (!done)
            if (!docs.RunPassNow(kWait))
                failed = true;
    });
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
        workers.emplace_back([&, t] {
            int owner = t;
            for (int i = 0; i < 40; ++i) {
                CZXS_MapHandle a;
                CZXS_MapHandle b;
                const std::string& path = t < 2 && i % 2 == 0 ? own[t] : shared;
                if (ZXS_MapOpenA(&a, &owner, path.c_str(), nullptr, 0, i % 2) != ZXS_OK
                    || ZXS_MapOpenMemory(&b, &owner, memory.data(), static_cast<uint32_t>(memory.size()),
                           nullptr, 0, nullptr, 0, nullptr, 0)
                        != ZXS_OK) {
                    failed = true;
                    return;
                }
                CZXS_PassageJournal::Entry e;
                e.roadOffset = static_cast<uint32_t>(i % 6);
                e.costClass = 3;
                e.directions = 1;
                JournalOf(a).Insert(e, -1, true);
                CountingView view;
                a.pDoc->AddView(&view);
                a.pDoc->RemoveView(&view);
                ZXS_MapClose(&b);
                ZXS_MapClose(&a);
            }
        });
    }
    for (std::thread& w : workers)
        w.join();
    done = true;
    passes.join();
    EXPECT_FALSE(failed.load());
    EXPECT_EQ(docs.DocumentCount(), 0u);
}

} // namespace
