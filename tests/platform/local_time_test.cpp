#include "platform/local_time.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(LocalTime, FileTimesOfCalendarDates)
{
    EXPECT_EQ(LocalTimeToFileTime({ 1970, 1, 1, 4, 0, 0, 0, 0 }), 116444736000000000ull);
    EXPECT_EQ(LocalTimeToFileTime({ 1601, 1, 1, 1, 0, 0, 0, 0 }), 0u);

    const LocalTime t { 2007, 3, 3, 6, 14, 5, 9, 250 };
    const auto back = FileTimeToLocalTime(LocalTimeToFileTime(t));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::tie(back->year, back->month, back->day, back->dayOfWeek, back->hour, back->minute,
                  back->second, back->milliseconds),
        std::tie(t.year, t.month, t.day, t.dayOfWeek, t.hour, t.minute, t.second, t.milliseconds));
    const auto leap
        = FileTimeToLocalTime(LocalTimeToFileTime({ 2024, 2, 29, 0, 23, 59, 59, 0 }) + 10'000'000);
    ASSERT_TRUE(leap);
    EXPECT_EQ(std::tie(leap->month, leap->day, leap->hour), std::make_tuple(3, 1, 0));
    EXPECT_FALSE(FileTimeToLocalTime(0x8000000000000000ull));
}

TEST(LocalTime, FixedByATest)
{
    {
        ScopedLocalTime fixed({ 2007, 7, 3, 2, 14, 5, 9, 0 });
        EXPECT_EQ(GetLocalTime().year, 2007);
        fixed.Set({ 2010, 1, 1, 5, 0, 0, 0, 0 });
        EXPECT_EQ(GetLocalTime().year, 2010);
    }
    EXPECT_GE(GetLocalTime().year, 2024) << "the system's time again";
}
