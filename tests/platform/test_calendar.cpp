#include <gtest/gtest.h>

#include "platform/Calendar.h"
#include "support/CalendarTime.h"

namespace tessary {
namespace {

using test::MakeSystemTime;
using test::TicksOfTime;

TEST(Calendar, KnownInstants) {
    EXPECT_EQ(TicksOfTime(MakeSystemTime(1601, 1, 1)), 0);
    EXPECT_EQ(TicksOfTime(MakeSystemTime(1970, 1, 1)), 116444736000000000);
    EXPECT_EQ(TicksOfTime(MakeSystemTime(1601, 1, 2, 1, 2, 3, 4)),
              kTicksPerDay + 3723 * kTicksPerSecond + 4 * kTicksPerMs);

    SystemTime t;
    ASSERT_TRUE(TicksToSystemTime(0, t));
    EXPECT_EQ(t.dayOfWeek, 1);  // Monday
    ASSERT_TRUE(TicksToSystemTime(116444736000000000, t));
    EXPECT_EQ(t.year, 1970);
    EXPECT_EQ(t.dayOfWeek, 4);  // Thursday
    ASSERT_TRUE(
        TicksToSystemTime(TicksOfTime(MakeSystemTime(2024, 2, 29, 23, 59, 59, 999)) + 9999, t));
    EXPECT_EQ(t.month, 2);
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.milliseconds, 999);  // sub-millisecond ticks are dropped, not rounded
    EXPECT_EQ(t.dayOfWeek, 4);
}

TEST(Calendar, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(IsLeapYear(1604));
    EXPECT_FALSE(IsLeapYear(1700));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(1900, 2), 28u);
    EXPECT_EQ(DaysInMonth(2000, 2), 29u);
    EXPECT_EQ(DaysInMonth(2023, 4), 30u);
    EXPECT_EQ(DaysInMonth(2023, 12), 31u);
    EXPECT_EQ(DaysInMonth(2023, 0), 0u);
    EXPECT_EQ(DaysInMonth(2023, 13), 0u);
}

TEST(Calendar, InvalidFieldsRejectedAndTicksUntouched) {
    const SystemTime bad[] = {MakeSystemTime(1600, 12, 31, 23, 59, 59, 999),
                              MakeSystemTime(30828, 1, 1),
                              MakeSystemTime(2023, 0, 1),
                              MakeSystemTime(2023, 13, 1),
                              MakeSystemTime(2023, 1, 0),
                              MakeSystemTime(2023, 4, 31),
                              MakeSystemTime(1900, 2, 29),
                              MakeSystemTime(2100, 2, 29),
                              MakeSystemTime(2023, 2, 29),
                              MakeSystemTime(2023, 1, 1, 24),
                              MakeSystemTime(2023, 1, 1, 0, 60),
                              MakeSystemTime(2023, 1, 1, 0, 0, 60),
                              MakeSystemTime(2023, 1, 1, 0, 0, 0, 1000),
                              MakeSystemTime(0, 0, 0)};
    for (const SystemTime& t : bad) {
        EXPECT_FALSE(IsRepresentable(t)) << t.year << "-" << t.month << "-" << t.day;
        int64_t ticks = 42;
        EXPECT_FALSE(SystemTimeToTicks(t, ticks));
        EXPECT_EQ(ticks, 42);
    }
    SystemTime anyWeekday = MakeSystemTime(2000, 2, 29);
    anyWeekday.dayOfWeek = 77;
    EXPECT_TRUE(IsRepresentable(anyWeekday));
}

TEST(Calendar, LimitsOfTheRange) {
    const int64_t last = TicksOfTime(MakeSystemTime(30827, 12, 31, 23, 59, 59, 999));
    SystemTime t;
    ASSERT_TRUE(TicksToSystemTime(last + 9999, t));
    EXPECT_EQ(t.year, 30827);
    EXPECT_EQ(t.month, 12);
    EXPECT_EQ(t.day, 31);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.milliseconds, 999);
    EXPECT_FALSE(TicksToSystemTime(last + 10000, t));
    EXPECT_FALSE(TicksToSystemTime(INT64_MAX, t));
    EXPECT_FALSE(TicksToSystemTime(-1, t));
    EXPECT_FALSE(TicksToSystemTime(INT64_MIN, t));
}

// Walks day by day with an independent counter of year, month, day and weekday.
void WalkDays(unsigned fromYear, unsigned toYear) {
    int64_t ticks = TicksOfTime(MakeSystemTime(fromYear, 1, 1, 13, 14, 15, 16));
    SystemTime first;
    ASSERT_TRUE(TicksToSystemTime(ticks, first));
    unsigned weekday = first.dayOfWeek;
    for (unsigned y = fromYear; y <= toYear; ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            for (unsigned d = 1; d <= DaysInMonth(y, m); ++d) {
                SystemTime t;
                ASSERT_TRUE(TicksToSystemTime(ticks, t));
                ASSERT_TRUE(t.year == y && t.month == m && t.day == d && t.dayOfWeek == weekday &&
                            t.hour == 13 && t.minute == 14 && t.second == 15 &&
                            t.milliseconds == 16)
                    << y << "-" << m << "-" << d;
                int64_t back = 0;
                ASSERT_TRUE(SystemTimeToTicks(t, back));
                ASSERT_EQ(back, ticks);
                ticks += kTicksPerDay;
                weekday = (weekday + 1) % 7;
            }
        }
    }
}

TEST(Calendar, RoundTripEveryDay) {
    WalkDays(1601, 2800);
    WalkDays(30700, 30827);
}

TEST(Calendar, LocalNowIsRepresentable) {
    SystemTime now = LocalNow();
    ASSERT_TRUE(IsRepresentable(now));
    int64_t ticks = 0;
    ASSERT_TRUE(SystemTimeToTicks(now, ticks));
    SystemTime again;
    ASSERT_TRUE(TicksToSystemTime(ticks, again));
    EXPECT_EQ(again.dayOfWeek, now.dayOfWeek);
}

}  // namespace
}  // namespace tessary
