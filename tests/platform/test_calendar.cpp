#include <gtest/gtest.h>

#include "platform/Calendar.h"

namespace tessary {
namespace {

SystemTime Make(unsigned y, unsigned mo, unsigned d, unsigned h = 0, unsigned mi = 0,
                unsigned s = 0, unsigned ms = 0) {
    SystemTime t;
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint16_t>(mo);
    t.day = static_cast<uint16_t>(d);
    t.hour = static_cast<uint16_t>(h);
    t.minute = static_cast<uint16_t>(mi);
    t.second = static_cast<uint16_t>(s);
    t.milliseconds = static_cast<uint16_t>(ms);
    return t;
}

int64_t Ticks(const SystemTime& t) {
    int64_t ticks = -1;
    EXPECT_TRUE(SystemTimeToTicks(t, ticks));
    return ticks;
}

TEST(Calendar, KnownInstants) {
    EXPECT_EQ(Ticks(Make(1601, 1, 1)), 0);
    EXPECT_EQ(Ticks(Make(1970, 1, 1)), 116444736000000000);
    EXPECT_EQ(Ticks(Make(1601, 1, 2, 1, 2, 3, 4)),
              kTicksPerDay + 3723 * kTicksPerSecond + 4 * kTicksPerMs);

    SystemTime t;
    ASSERT_TRUE(TicksToSystemTime(0, t));
    EXPECT_EQ(t.dayOfWeek, 1);  // Monday
    ASSERT_TRUE(TicksToSystemTime(116444736000000000, t));
    EXPECT_EQ(t.year, 1970);
    EXPECT_EQ(t.dayOfWeek, 4);  // Thursday
    ASSERT_TRUE(TicksToSystemTime(Ticks(Make(2024, 2, 29, 23, 59, 59, 999)) + 9999, t));
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
    const SystemTime bad[] = {Make(1600, 12, 31, 23, 59, 59, 999),
                              Make(30828, 1, 1),
                              Make(2023, 0, 1),
                              Make(2023, 13, 1),
                              Make(2023, 1, 0),
                              Make(2023, 4, 31),
                              Make(1900, 2, 29),
                              Make(2100, 2, 29),
                              Make(2023, 2, 29),
                              Make(2023, 1, 1, 24),
                              Make(2023, 1, 1, 0, 60),
                              Make(2023, 1, 1, 0, 0, 60),
                              Make(2023, 1, 1, 0, 0, 0, 1000),
                              Make(0, 0, 0)};
    for (const SystemTime& t : bad) {
        EXPECT_FALSE(IsRepresentable(t)) << t.year << "-" << t.month << "-" << t.day;
        int64_t ticks = 42;
        EXPECT_FALSE(SystemTimeToTicks(t, ticks));
        EXPECT_EQ(ticks, 42);
    }
    SystemTime anyWeekday = Make(2000, 2, 29);
    anyWeekday.dayOfWeek = 77;
    EXPECT_TRUE(IsRepresentable(anyWeekday));
}

TEST(Calendar, LimitsOfTheRange) {
    const int64_t last = Ticks(Make(30827, 12, 31, 23, 59, 59, 999));
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
    int64_t ticks = Ticks(Make(fromYear, 1, 1, 13, 14, 15, 16));
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
