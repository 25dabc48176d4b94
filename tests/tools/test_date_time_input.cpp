#include "tools/DateTimeInput.h"

#include <gtest/gtest.h>

#include "platform/Calendar.h"
#include "support/CalendarTime.h"

namespace tessary::test {
namespace {

struct Parsed {
    bool ok = false;
    SystemTime time{};
    int64_t ticks = 0;
};

Parsed Parse(std::u16string_view text) {
    Parsed p;
    p.ok = ParseDateTimeInput(text, p.time, p.ticks);
    return p;
}

int64_t TicksOf(unsigned y, unsigned mo, unsigned d, unsigned h, unsigned mi, unsigned s,
                unsigned ms) {
    return TicksOfTime(MakeSystemTime(y, mo, d, h, mi, s, ms));
}

TEST(DateTimeInput, AcceptsTheDocumentedForms) {
    EXPECT_EQ(Parse(u"2024/06/07 12:34:56").ticks, TicksOf(2024, 6, 7, 12, 34, 56, 0));
    EXPECT_EQ(Parse(u"2024/6/7 9:05:03.25").ticks, TicksOf(2024, 6, 7, 9, 5, 3, 250));
    EXPECT_EQ(Parse(u"2024/06/07 12:34:56.5").time.milliseconds, 500);
    EXPECT_EQ(Parse(u"2024/06/07 12:34:56.05").time.milliseconds, 50);
    EXPECT_EQ(Parse(u"2024/06/07 12:34:56.005").time.milliseconds, 5);
    // A fourth fraction digit is ignored.
    EXPECT_EQ(Parse(u"2024/06/07 12:34:56.1234").time.milliseconds, 123);
    // Blanks around the text and between date and time.
    EXPECT_EQ(Parse(u"  2024/06/07    12:34:56  ").ticks, TicksOf(2024, 6, 7, 12, 34, 56, 0));
    // Leading zeros do not count toward the nine digits.
    EXPECT_EQ(Parse(u"0000000000002024/06/07 12:34:56").time.year, 2024);
    EXPECT_EQ(Parse(u"2024/02/29 23:59:59.999").ticks, TicksOf(2024, 2, 29, 23, 59, 59, 999));
    EXPECT_EQ(Parse(u"1601/01/01 00:00:00").ticks, 0);
}

TEST(DateTimeInput, RejectsWhatIsNotADateAndTime) {
    for (std::u16string_view bad : {
             u"2024/06/07 12:34",     // two time fields
             u"2024/06/07",           // no blank
             u"2024/13/01 00:00:00",  // month 13
             u"2024/02/30 00:00:00",  // no such day
             u"2023/02/29 00:00:00",
             u"2024/06 12:34:56",   // two date fields
             u"2024//07 12:34:56",  // an empty field
             u"2024/06/07 24:00:00",
             u"2024/06/07 12:60:00",
             u"2024/06/07 12:34:60",
             u"1600/12/31 23:59:59",  // before the calendar
             u"30828/01/01 00:00:00",
             u"1234567890/06/07 12:34:56",  // ten digits: the field stops after nine
             u"4294969320/06/07 12:34:56",
             u"",
             u"   ",
             u"a024/06/07 12:34:56",
             u"2024/06/07 ab:34:56",
         }) {
        SystemTime t{};
        int64_t ticks = -7;
        EXPECT_FALSE(ParseDateTimeInput(bad, t, ticks)) << std::string(bad.begin(), bad.end());
        EXPECT_EQ(ticks, -7);
    }
}

}  // namespace
}  // namespace tessary::test
