// Setting, cycling, reading and clearing road passages through the interface,
// on a map written by our writer with its journal file beside it.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "kernel/api/passage_interface.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/kernel_clock.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/router/graph_router.h"
#include "tests/support/map_fixture.h"

namespace {

constexpr int64_t kStart = 1700000000;
std::atomic<int64_t> g_now { kStart };
ZXS_Tm ManualLocalTime() { return CZXS_KernelClock::SecondsToLocal(g_now.load()); }

// Link ids of the fixture's roads: 100..104 run both ways, 105 only forward;
// here 104 is made to run only backward.
constexpr int32_t kTwoWay = 100;
constexpr int32_t kBackwardOnly = 104;
constexpr int32_t kForwardOnly = 105;

class PassageInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZXS_KernelClock::SetTimeZone(&m_utc);
        CZXS_KernelClock::SetLocalClock(ManualLocalTime);
        g_now = kStart;
        CZXS_PassageJournal::SetMode(3);
        mapwriter::MapDescription map = testing_support::SmallMap();
        map.layers[1].records[4].forward = false;
        mapwriter::SaveFile(m_path, mapwriter::WriteTzx(map));
        mapwriter::SaveFile(m_folder.File("city.zxg"), mapwriter::WriteZxg(mapwriter::BuildRoadGraph(map)));
        ZXS_MapSource source;
        source.path = m_path.c_str();
        ASSERT_EQ(m_doc.Map().Open(&source, nullptr, 0, CZXS_DiskStream::kDisk), 1);
        m_handle.pDoc = &m_doc;
        m_handle.pOwner = this;
    }
    void TearDown() override
    {
        CZXS_KernelClock::SetLocalClock(nullptr);
        CZXS_KernelClock::SetTimeZone(nullptr);
    }
    // The passage read back, 0 when there is none.
    int32_t Passage(int32_t link)
    {
        CZXS_PassageRecord r;
        const int32_t result = ZXS_RoadGetPassageRec(&m_handle, link, &r);
        return result == ZXS_ERR_NOPASSAGE ? 0 : result == ZXS_OK ? r.passage : -100 - result;
    }
    uintmax_t JournalSize() const
    {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(m_folder.File("city.zxj"), error);
        return error ? 0 : size;
    }

    ZXS_TimeZone m_utc;
    testing_support::TempFolder m_folder;
    std::string m_path = m_folder.File("city.tzx");
    CZXS_Doc m_doc;
    CZXS_MapHandle m_handle;
};

TEST_F(PassageInterfaceTest, BadArgumentsChangeNothing)
{
    struct Case {
        int32_t passage, costClass, valueB, lifetime, result;
    };
    const Case cases[] = {
        { -2, 5, 0, -1, ZXS_ERR_PARAM },
        { 4, 5, 0, -1, ZXS_ERR_PARAM },
        { 1, -1, 0, -1, ZXS_ERR_PARAM },
        { 1, 16, 0, -1, ZXS_ERR_PARAM },
        { 1, 5, -1, -1, ZXS_ERR_PARAM },
        { 1, 5, 16, -1, ZXS_ERR_PARAM },
        { 1, 5, 0, 655341, ZXS_ERR_PARAM },
        { 1, 5, 0, -2, ZXS_ERR_PARAM },
        { 1, 5, 0, 655340, ZXS_OK },
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            ZXS_RoadSetPassage(&m_handle, kTwoWay, c.passage, c.costClass, c.valueB, c.lifetime), c.result);
    CZXS_MapHandle closed;
    EXPECT_EQ(ZXS_RoadSetPassage(&closed, kTwoWay, 1, 5, 0, -1), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_RoadSetPassage(nullptr, kTwoWay, 1, 5, 0, -1), ZXS_ERR_NOHANDLE);
    CZXS_PassageRecord r;
    EXPECT_EQ(ZXS_RoadGetPassageRec(&closed, kTwoWay, &r), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_MapSavePassages(&closed), ZXS_ERR_NOHANDLE);
    r.size = 10;
    EXPECT_EQ(ZXS_RoadGetPassageRec(&m_handle, kTwoWay, &r), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_RoadSetPassageRec(&m_handle, kTwoWay, &r), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_RoadGetPassageRec(&m_handle, kTwoWay, nullptr), ZXS_ERR_PARAM);
    // Unknown road elements.
    EXPECT_EQ(ZXS_RoadSetPassage(&m_handle, 999, 1, 5, 0, -1), ZXS_ERR_NOOBJECT);
    EXPECT_EQ(Passage(999), 0);
}

TEST_F(PassageInterfaceTest, MinusOneCyclesThroughTheDirectionsTheElementHas)
{
    struct Case {
        int32_t link;
        std::vector<int32_t> passages;
    };
    const Case cases[] = {
        { kTwoWay, { 1, 2, 3, 0, 1 } }, { kForwardOnly, { 1, 0, 1 } },
        { kBackwardOnly, { 2, 0, 2 } }, // from backward, both only with a forward direction
    };
    for (const Case& c : cases) {
        for (int32_t expected : c.passages) {
            ASSERT_EQ(ZXS_RoadSetPassage(&m_handle, c.link, -1, 6, 2, -1), ZXS_OK);
            EXPECT_EQ(Passage(c.link), expected) << c.link;
        }
    }
    EXPECT_EQ(ZXS_RoadSetPassage(&m_handle, kForwardOnly, 2, 6, 2, -1), ZXS_ERR_DIRECTION);
    EXPECT_EQ(ZXS_RoadSetPassage(&m_handle, kBackwardOnly, 3, 6, 2, -1), ZXS_ERR_DIRECTION);
    // The old setting was removed before the refused one: none is left, in memory or file.
    EXPECT_EQ(Passage(kForwardOnly), 0);
    EXPECT_EQ(Passage(kBackwardOnly), 0);

    // Other values keep the passage and change the values.
    ASSERT_EQ(ZXS_RoadSetPassage(&m_handle, kTwoWay, 3, 6, 2, -1), ZXS_OK);
    ASSERT_EQ(ZXS_RoadSetPassage(&m_handle, kTwoWay, -1, 9, 4, -1), ZXS_OK);
    CZXS_PassageRecord r;
    ASSERT_EQ(ZXS_RoadGetPassageRec(&m_handle, kTwoWay, &r), ZXS_OK);
    EXPECT_EQ(+r.passage, 3);
    EXPECT_EQ(+r.costClass, 9);
    EXPECT_EQ(+r.valueB, 4);
}

TEST_F(PassageInterfaceTest, ReadBackLifetimeAndJournalFile)
{
    CZXS_PassageRecord set;
    set.costClass = 15;
    set.valueB = 7;
    set.lifetime = 100;
    set.passage = 1;
    ASSERT_EQ(ZXS_RoadSetPassageRec(&m_handle, kTwoWay, &set), ZXS_OK);
    EXPECT_EQ(JournalSize(), 17u + 6u); // each change is written at once
    g_now += 30;
    CZXS_PassageRecord r;
    r.lifetime = 0;
    ASSERT_EQ(ZXS_RoadGetPassageRec(&m_handle, kTwoWay, &r), ZXS_OK);
    EXPECT_EQ(+r.lifetime, 70);
    EXPECT_EQ(+r.costClass, 15);
    EXPECT_EQ(+r.valueB, 7);
    EXPECT_EQ(+r.passage, 1);
    // The router sees the closure on the element's forward edges only.
    const CZXS_RoadGraph& graph = m_doc.Map().RoadGraph();
    int closed = 0;
    for (uint32_t e = 0; e < graph.EdgeCount(); ++e)
        closed += graph.CostClass(e) == 15;
    EXPECT_EQ(closed, 1);

    ASSERT_EQ(ZXS_RoadSetPassage(&m_handle, kForwardOnly, 1, 3, 0, -1), ZXS_OK);
    ASSERT_EQ(ZXS_RoadGetPassageRec(&m_handle, kForwardOnly, &r), ZXS_OK);
    EXPECT_EQ(+r.lifetime, -1);
    EXPECT_EQ(JournalSize(), 17u + 12u);

    // Past its lifetime the setting is gone.
    g_now += 71;
    EXPECT_EQ(Passage(kTwoWay), 0);

    // Saving writes the journal from what is in force and clears nothing: the
    // live closure stays, in memory, in the road graph and in the file.
    std::filesystem::remove(m_folder.File("city.zxj"));
    EXPECT_EQ(ZXS_MapSavePassages(&m_handle), ZXS_OK);
    EXPECT_EQ(Passage(kForwardOnly), 1);
    EXPECT_EQ(JournalSize(), 17u + 6u);
    int classThree = 0;
    for (uint32_t e = 0; e < graph.EdgeCount(); ++e)
        classThree += graph.CostClass(e) == 3;
    EXPECT_EQ(classThree, 1);
}

} // namespace
