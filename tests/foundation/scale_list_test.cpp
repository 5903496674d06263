#include "foundation/scale_list.h"

#include <gtest/gtest.h>

TEST(ScaleList, StepsAlongTheLadder)
{
    ScaleList list;
    FillScaleList(list);
    ASSERT_EQ(list.size(), 24u);
    struct Case {
        int32_t scale, up, down;
    } cases[] = {
        { 400, 533, 267 },
        { 401, 533, 400 },
        { 1000, 1067, 800 },
        { 54, 81, 54 },
        { 10, 54, 54 },
        { 399985, 399985, 266655 },
        { 500000, 399985, 399985 },
        { INT32_MIN, 54, 54 },
        { INT32_MAX, 399985, 399985 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetNextScaleUp(c.scale, list), c.up) << c.scale;
        EXPECT_EQ(GetNextScaleDown(c.scale, list), c.down) << c.scale;
    }
    EXPECT_EQ(GetMinMapScale(list), 54);
    EXPECT_EQ(GetMaxMapScale(list), 399985);
    EXPECT_EQ(GetDefaultMapScale(list), 533);
    EXPECT_EQ(GetStartMapScale(list), 533);
}

TEST(ScaleList, FillingTwiceKeepsOneLadder)
{
    ScaleList list;
    FillScaleList(list);
    const ScaleList once = list;
    FillScaleList(list);
    EXPECT_EQ(list, once);
}

TEST(ScaleList, EmptyListAnswersTheLadderEnds)
{
    ScaleList list;
    FillScaleList(list);
    FreeScaleList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(GetMinMapScale(list), 54);
    EXPECT_EQ(GetMaxMapScale(list), 399985);
    EXPECT_EQ(GetDefaultMapScale(list), 400);
    EXPECT_EQ(GetNextScaleUp(1000, list), 399985);
    EXPECT_EQ(GetNextScaleDown(1000, list), 54);
}

TEST(ScaleList, ProcessWideListStartsEmptyAndIsTheDefault)
{
    EXPECT_TRUE(g_scaleList.empty());
    FillScaleList();
    EXPECT_EQ(GetNextScaleUp(400), 533);
    FreeScaleList();
    EXPECT_TRUE(g_scaleList.empty());
}
