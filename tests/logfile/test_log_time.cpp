#include "logfile/LogTime.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Utf.h"
#include "support/CalendarTime.h"

namespace tessary {
namespace {

int32_t Step(uint32_t p, uint32_t c, CountWidthState& s, bool& detect) {
    return CountDifference(p, c, s, detect);
}

TEST(CountDifference, ThirtyTwoBitPairs) {
    CountWidthState s;
    bool detect = true;
    EXPECT_EQ(Step(0x00000100, 0x00000050, s, detect), -176);
    EXPECT_EQ(Step(0xFFFFFF00, 0x00000100, s, detect), 512);
    EXPECT_EQ(Step(0x00000100, 0x80000100, s, detect), INT32_MIN);  // half the range: negative
    EXPECT_EQ(Step(0x10000000, 0x10000001, s, detect), 1);
    EXPECT_TRUE(detect) << "no 30-bit step seen";
    EXPECT_EQ(s.differenceMask, 0xFFFFFFFFu);
}

TEST(CountDifference, ThirtyBitSwitchHappensOnceAndSticks) {
    CountWidthState s;
    bool detect = true;
    EXPECT_EQ(Step(0x3FFFFF00, 0x00000100, s, detect), 512);
    EXPECT_FALSE(detect);
    EXPECT_EQ(s.differenceMask, 0x3FFFFFFFu);
    EXPECT_EQ(s.wrapMask, 0x30000000u);
    EXPECT_EQ(Step(0x00000100, 0x3FFFFF00, s, detect), -512);
    EXPECT_EQ(Step(0x00000100, 0x2FFFFF00, s, detect), 0x2FFFFE00);
    EXPECT_EQ(Step(0x3FFFFF00, 0x00000100, s, detect), 512);
    EXPECT_EQ(Step(0x00000200, 0x00000100, s, detect), -256);

    // Without the detection flag the same step stays a 32-bit one.
    CountWidthState plain;
    bool off = false;
    EXPECT_EQ(Step(0x3FFFFF00, 0x00000100, plain, off), static_cast<int32_t>(0xC0000200));
    EXPECT_EQ(plain.differenceMask, 0xFFFFFFFFu);
}

TEST(BaseOffset, FromCountsAndFromEndTime) {
    EXPECT_EQ(BaseOffsetFromCounts(0x00000100, 0x3FFFFF00, false), 512);
    EXPECT_EQ(BaseOffsetFromCounts(0x00000100, 0xFFFFFF00, true), 512);
    EXPECT_EQ(BaseOffsetFromCounts(0x00000100, 0x00000200, true), 0xFFFFFF00);
    EXPECT_EQ(BaseOffsetFromCounts(0x00000100, 0x00000200, false), 0x3FFFFF00);

    const int64_t start = 1000000000000;
    EXPECT_EQ(BaseOffsetFromEndTime(start + 5000 * kTicksPerMs, 3000, start), 2000);
    EXPECT_EQ(BaseOffsetFromEndTime(start + 1000 * kTicksPerMs, 3000, start), -2000);
    // Truncated toward zero.
    EXPECT_EQ(BaseOffsetFromEndTime(start - 15000, 0, start), -1);
    EXPECT_EQ(BaseOffsetFromEndTime(start + 15000, 0, start), 1);
}

std::string Text(int64_t base, int64_t ms, unsigned mode) {
    char16_t out[kRecordTimeMaxChars + 1];
    int n = FormatRecordTime(base, ms, mode, out);
    std::u16string s(out);
    EXPECT_EQ(static_cast<size_t>(n), s.size());
    return Utf8(s);
}

int64_t Ticks(uint16_t y, uint16_t mo, uint16_t d, uint16_t h, uint16_t mi, uint16_t s,
              uint16_t ms) {
    return test::TicksOfTime(test::MakeSystemTime(y, mo, d, h, mi, s, ms));
}

TEST(FormatRecordTime, DateModes) {
    const int64_t base = Ticks(2024, 6, 7, 12, 34, 56, 789);
    EXPECT_EQ(Text(base, 0, 0), "07/12:34:56.789 ");
    EXPECT_EQ(Text(base, 0, 1), "06/07 12:34:56.789 ");
    EXPECT_EQ(Text(base, 0, 2), "24/06/07 12:34:56.789 ");
    EXPECT_EQ(Text(base, 0, 3), "2024/06/07 12:34:56.789 ");
    EXPECT_EQ(Text(base, 211, 3), "2024/06/07 12:34:57.000 ");
    EXPECT_EQ(Text(base, 0, 7), "2024/06/07 12:34:56.789 ") << "only bits 0-1 count";
    EXPECT_EQ(Text(base, -1000, 1), "06/07 12:34:55.789 ");
}

TEST(FormatRecordTime, DayCounterRunsPastTheMonthEnd) {
    const int64_t base = Ticks(2024, 1, 31, 23, 59, 59, 0);
    EXPECT_EQ(Text(base, 0, 0), "31/23:59:59.000 ");
    EXPECT_EQ(Text(base, 2000, 0), "32/00:00:01.000 ");
    EXPECT_EQ(Text(base, 2000, 1), "02/01 00:00:01.000 ");
    // The counter wraps at 100 days.
    EXPECT_EQ(Text(base, 70LL * 86400000, 0), "01/23:59:59.000 ");
}

TEST(FormatRecordTime, UnrepresentableShowsZeros) {
    EXPECT_EQ(Text(0, 5000, 0), "00/00:00:00.000 ");
    EXPECT_EQ(Text(0, 5000, 3), "0/00/00 00:00:00.000 ");
    const int64_t base = Ticks(1601, 1, 1, 0, 0, 0, 5);
    EXPECT_EQ(Text(base, -10, 2), "00/00/00 00:00:00.000 ");
    EXPECT_EQ(Text(base, INT64_MAX, 1), "00/00 00:00:00.000 ");
    const int64_t late = Ticks(30827, 12, 31, 23, 59, 59, 999);
    EXPECT_EQ(Text(late, 0, 3), "827/12/31 23:59:59.999 ") << "year modulo 10000";
    EXPECT_EQ(Text(late, 1, 3), "0/00/00 00:00:00.000 ");
}

TEST(Durations, SplitByMagnitude) {
    DurationParts p = SplitDuration(90061001);  // 1 d 1 h 1 min 1 s 1 ms
    EXPECT_FALSE(p.negative);
    EXPECT_EQ(p.days, 1u);
    EXPECT_EQ(p.hours, 1u);
    EXPECT_EQ(p.minutes, 1u);
    EXPECT_EQ(p.seconds, 1u);
    EXPECT_EQ(p.milliseconds, 1u);
    p = SplitDuration(-86399999);
    EXPECT_TRUE(p.negative);
    EXPECT_EQ(p.days, 0u);
    EXPECT_EQ(p.hours, 23u);
    EXPECT_EQ(p.minutes, 59u);
    EXPECT_EQ(p.seconds, 59u);
    EXPECT_EQ(p.milliseconds, 999u);
    p = SplitDuration(INT64_MIN);
    EXPECT_TRUE(p.negative);
    EXPECT_EQ(p.days, 9223372036854775808ULL / 86400000);
    p = SplitDuration(86400000);
    EXPECT_EQ(p.days, 1u);
    EXPECT_EQ(p.hours + p.minutes + p.seconds + p.milliseconds, 0u);
}

TEST(DateTimeTexts, FullAndLongForms) {
    const SystemTime t = test::MakeSystemTime(2024, 6, 7, 2, 4, 6, 8);
    EXPECT_EQ(FormatFullDateTime(t), u"2024/06/07 02:04:06.008");
    EXPECT_EQ(FormatLongDateTime(t), u"2024 年 06 月 07 日  02 時 04 分 06.008 秒");
}

}  // namespace
}  // namespace tessary
