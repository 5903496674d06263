// Blinkers: the on and off phases at their boundaries, also across a wrap of
// the 32-bit millisecond clock, and a blinker with no period at all.
#include "controls/blinker.h"

#include <gtest/gtest.h>

namespace {

TEST(Blinker, IsVisibleForItsOnTimeThenHiddenForItsOffTimeAcrossTheClocksWrap)
{
    const struct {
        uint32_t elapsed;
        bool visible;
        uint32_t periods;
    } table[] = {
        { 0, true, 0 },
        { 800, true, 0 }, // the boundary instant is still on
        { 801, false, 0 },
        { 1599, false, 0 },
        { 1600, true, 1 },
        { 2401, false, 1 },
    };
    // Started well inside the clock's range, just before it wraps, and at
    // the instant it reads 0.
    for (const uint32_t start : { 1000u, 0xFFFFFF00u, 0u }) {
        for (const auto& row : table) {
            CBlinker blinker(800, 800);
            EXPECT_EQ(blinker.Advance(start), 0u);
            EXPECT_TRUE(blinker.IsVisible());
            EXPECT_EQ(blinker.Advance(start + row.elapsed), row.periods) << start << " + " << row.elapsed;
            EXPECT_EQ(blinker.IsVisible(), row.visible) << start << " + " << row.elapsed;
        }
    }
}

TEST(Blinker, ABlinkerWithoutAPeriodStaysVisible)
{
    CBlinker blinker(0, 0);
    blinker.Advance(5);
    EXPECT_EQ(blinker.Advance(1000), 0u);
    EXPECT_TRUE(blinker.IsVisible());
}

TEST(Blinker, TheListAdvancesEveryElementsBlinker)
{
    CBlinkerList list;
    list.Add(800, 800, nullptr);
    list.AdvanceAll(100);
    list.AdvanceAll(1000);
    ASSERT_NE(list.Find(nullptr), nullptr);
    EXPECT_FALSE(list.Find(nullptr)->IsVisible());
    list.Find(nullptr)->Reset();
    EXPECT_TRUE(list.Find(nullptr)->IsVisible());
    EXPECT_EQ(list.Find(reinterpret_cast<const CScreenElement*>(&list)), nullptr);
}

} // namespace
