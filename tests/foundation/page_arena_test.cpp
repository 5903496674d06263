#include "foundation/page_arena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

namespace {

// Each test starts and ends with no arena, so addresses are predictable.
class PageArenaTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ArenaRelease()); }
    void TearDown() override { EXPECT_TRUE(ArenaRelease()); }
};

uint8_t* Base() { return ArenaState().base; }
// Known before the arena exists, unlike ArenaState().pageSize.
size_t Page() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

} // namespace

TEST_F(PageArenaTest, BlocksStartOnPageBoundariesAfterTheirHeader)
{
    auto* a = static_cast<uint8_t*>(ArenaAlloc(100));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, Base() + 4);
    uint32_t header = 0;
    std::memcpy(&header, a - 4, 4);
    EXPECT_EQ(header, 104u);
    auto* b = static_cast<uint8_t*>(ArenaAlloc(Page() - 4));
    EXPECT_EQ(b, Base() + Page() + 4);
    // Exactly one page for Page() - 4 bytes; one byte more takes two.
    auto* c = static_cast<uint8_t*>(ArenaAlloc(Page() - 3));
    EXPECT_EQ(c, Base() + 2 * Page() + 4);
    auto* d = static_cast<uint8_t*>(ArenaAlloc(1));
    EXPECT_EQ(d, Base() + 4 * Page() + 4);
    std::memset(c, 0xAB, Page() - 3);
}

TEST_F(PageArenaTest, CommitsTwentyFivePagesAtATime)
{
    ASSERT_NE(ArenaAlloc(1), nullptr);
    EXPECT_EQ(ArenaState().committedEnd, Base() + 25 * Page());
    // Up to the end of page 25 no new commit is needed.
    ASSERT_NE(ArenaAlloc(23 * Page() + Page() - 4), nullptr);
    EXPECT_EQ(ArenaState().committedEnd, Base() + 25 * Page());
    auto* reaching = static_cast<uint8_t*>(ArenaAlloc(10));
    ASSERT_NE(reaching, nullptr);
    EXPECT_EQ(reaching, Base() + 25 * Page() + 4);
    EXPECT_EQ(ArenaState().committedEnd, Base() + 50 * Page());
    reaching[9] = 1;
}

TEST_F(PageArenaTest, FailedRequestDoesNotPoisonLaterOnes)
{
    ASSERT_NE(ArenaAlloc(100), nullptr);
    uint8_t* const topBefore = ArenaState().top;
    EXPECT_EQ(ArenaAlloc(kArenaReservedPages * Page()), nullptr);
    EXPECT_EQ(ArenaAlloc(SIZE_MAX - 2), nullptr);
    EXPECT_EQ(ArenaState().top, topBefore);
    auto* next = static_cast<uint8_t*>(ArenaAlloc(Page() * 10));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next, topBefore + 4);
    next[Page() * 10 - 1] = 7;
}

TEST_F(PageArenaTest, FillsToTheLastPageThenRefusesWithoutLosingState)
{
    // One block that ends exactly at the region's end still fits.
    const size_t all = kArenaReservedPages * Page();
    auto* whole = static_cast<uint8_t*>(ArenaAlloc(all - 4 - Page()));
    ASSERT_NE(whole, nullptr);
    EXPECT_NE(ArenaAlloc(Page() - 4), nullptr);
    EXPECT_EQ(ArenaAlloc(1), nullptr);
    EXPECT_EQ(ArenaState().top, Base() + all);
}

TEST_F(PageArenaTest, FreeKeepsMemoryAndReleaseStartsOver)
{
    void* a = ArenaAlloc(100);
    ArenaFree(a);
    void* b = ArenaAlloc(100);
    EXPECT_NE(a, b);
    ASSERT_TRUE(ArenaRelease());
    EXPECT_EQ(ArenaState().base, nullptr);
    EXPECT_FALSE(ArenaState().initialised);
    void* c = ArenaAlloc(100);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c, Base() + 4);
}
