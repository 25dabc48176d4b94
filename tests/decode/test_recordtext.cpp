// Header row, hex rows, frame check, legends and the in-place time rewrite.
#include <gtest/gtest.h>

#include <vector>

#include "decode/Fcs16.h"
#include "decode/RecordText.h"
#include "platform/Calendar.h"
#include "platform/Utf.h"
#include "support/CalendarTime.h"

namespace tessary {
namespace {

std::string Hex(const std::vector<uint8_t>& bytes, std::u16string_view sep16,
                std::u16string_view sep8 = {}, std::u16string_view sep4 = {}) {
    return Utf8(HexRows(bytes.data(), bytes.size(), sep16, sep8, sep4));
}

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<uint8_t>(i);
    }
    return bytes;
}

TEST(HexRows, SeparatorsByPosition) {
    EXPECT_EQ(Hex({}, u"\n"), "");
    EXPECT_EQ(Hex({0xAB}, u"\n"), "AB");
    EXPECT_EQ(Hex(Counting(20), u"\n"),
              "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n10 11 12 13");
    EXPECT_EQ(Hex(Counting(17), u"|", u"-", u":"),
              "00 01 02 03:04 05 06 07-08 09 0A 0B:0C 0D 0E 0F|10");
    EXPECT_EQ(Hex(Counting(16), u"|", u"-", u":"),
              "00 01 02 03:04 05 06 07-08 09 0A 0B:0C 0D 0E 0F");
    EXPECT_EQ(Hex(Counting(9), {}, u"  "), "00 01 02 03 04 05 06 07  08");
}

TEST(RecordHeader, HoldsThePlaceholderOfTheLongestTime) {
    TextBuilder text;
    AppendRecordHeader(text, 123, 4);
    EXPECT_EQ(Utf8(text.View()), "ID=0000123 TM=1234/34/56 12:34:56.789 種=4 ");
    EXPECT_EQ(kTimePlaceholder.size(), 24u);
}

TEST(Layer1Text, RowsAlignUnderTheFirstByteInColumns) {
    TextBuilder text;
    text.Append(u"全角=");  // 5 columns
    const std::vector<uint8_t> data = Counting(17);
    AppendLayer1(text, data.data(), data.size(), false);
    EXPECT_EQ(Utf8(text.View()),
              "全角=LY1=00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n         "
              "10=局も端末もNGか呼毎起動待機");
}

TEST(Ly1Legend, ValuesAndWholeTables) {
    std::u16string out;
    AppendLy1Legend(out, 0x74, false, false, u"[1]");
    EXPECT_EQ(Utf8(out), "後位NG、自端末にて局ok  ");
    out.clear();
    AppendLy1Legend(out, 0x04, true, false, {});
    EXPECT_EQ(Utf8(out), "後位NG、自端末にて局ok  ");
    out.clear();
    AppendLy1Legend(out, 0x34, true, false, {});
    EXPECT_EQ(Utf8(out), "");
    out = u"keep:";
    AppendLy1Legend(out, -1, false, true, u"[全]");
    EXPECT_EQ(Utf8(out).rfind("keep:64[全]:LY1一覧：34=後位含め全ok 74=", 0), 0u);
    out.clear();
    AppendLy1Legend(out, -1, true, true, u"[2]");  // no "64" in the INS1500 table
    EXPECT_EQ(Utf8(out).rfind("1500:LY1一覧：44=", 0), 0u);
}

std::vector<uint8_t> WithFcs(std::vector<uint8_t> frame, uint16_t flip = 0) {
    const uint16_t fcs = Fcs16(frame.data(), frame.size()) ^ flip;
    frame.push_back(static_cast<uint8_t>(fcs));
    frame.push_back(static_cast<uint8_t>(fcs >> 8));
    return frame;
}

std::vector<uint8_t> RecordBuffer(const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> record(532, 0);
    record[0] = 0xFF;
    record[1] = 'R';
    record[3] = static_cast<uint8_t>(payload.size());
    record[4] = static_cast<uint8_t>(payload.size() >> 8);
    std::copy(payload.begin(), payload.end(), record.begin() + 9);
    return record;
}

TEST(FrameCheck, RightWrongAndTooShort) {
    const std::vector<uint8_t> good = WithFcs({0x02, 0x01, 0x01, 0x05});
    EXPECT_TRUE(CheckFrameFcs(good.data(), 6));
    EXPECT_FALSE(CheckFrameFcs(WithFcs({0x02, 0x01, 0x01, 0x05}, 0x0001).data(), 6));
    EXPECT_FALSE(CheckFrameFcs(WithFcs({0x02, 0x01, 0x01, 0x05}, 0x8000).data(), 6));
    // The check bytes are read low byte first.
    std::vector<uint8_t> swapped = good;
    std::swap(swapped[4], swapped[5]);
    EXPECT_FALSE(CheckFrameFcs(swapped.data(), 6));
    const std::vector<uint8_t> oneByte = WithFcs({0x7E});
    EXPECT_TRUE(CheckFrameFcs(oneByte.data(), 3));
    EXPECT_FALSE(CheckFrameFcs(oneByte.data(), 2));
    EXPECT_FALSE(CheckFrameFcs(oneByte.data(), 0));

    EXPECT_TRUE(CheckFcs(RecordBuffer(good).data()));
    std::vector<uint8_t> prefixed = {0x01};
    prefixed.insert(prefixed.end(), good.begin(), good.end());
    EXPECT_TRUE(CheckFcs(RecordBuffer(prefixed).data()));
    // Three bytes after the prefix at least.
    EXPECT_FALSE(CheckFcs(RecordBuffer({0x01, 0x7E, 0x00}).data()));
}

TEST(FrameCheck, PrefixNeedsTwoBytes) {
    const uint8_t lone[] = {0x01};
    EXPECT_EQ(FrameBytesOf(lone, 1).count, 1u);
    const uint8_t pair[] = {0x01, 0x02};
    EXPECT_EQ(FrameBytesOf(pair, 2).count, 1u);
    EXPECT_EQ(FrameBytesOf(pair, 2).data, pair + 1);
    const uint8_t other[] = {0x02, 0x01};
    EXPECT_EQ(FrameBytesOf(other, 2).data, other);
}

int64_t Ticks(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0, uint16_t minute = 0,
              uint16_t second = 0, uint16_t ms = 0) {
    return test::TicksOfTime(test::MakeSystemTime(year, month, day, hour, minute, second, ms));
}

struct TimedText {
    std::u16string buffer;
    explicit TimedText(std::u16string_view text, size_t extra = 0) : buffer(text) {
        buffer.append(1 + extra, u'\0');
    }
    size_t Rewrite(int64_t base, int64_t ms, unsigned format) {
        return RewriteTimeText(buffer.data(), buffer.size(), base, ms, format);
    }
    std::string Text() const { return Utf8(std::u16string_view(buffer.c_str())); }
};

constexpr std::u16string_view kRecord = u"ID=0000001 TM=1234/34/56 12:34:56.789 種=9 LY1=34";

TEST(TimeText, EveryFormatInPlaceAndBack) {
    const int64_t base = Ticks(2024, 6, 7, 23, 59, 59, 900);
    TimedText text(kRecord);
    EXPECT_EQ(text.Rewrite(base, 250, 3), 23u);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=2024/06/08 00:00:00.150 種=9 LY1=34");
    EXPECT_EQ(text.Rewrite(base, 250, 0), 15u);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=08/00:00:00.150 種=9 LY1=34");
    EXPECT_EQ(text.Rewrite(base, 250, 1), 18u);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=06/08 00:00:00.150 種=9 LY1=34");
    EXPECT_EQ(text.Rewrite(base, 250, 2), 21u);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=24/06/08 00:00:00.150 種=9 LY1=34");
    EXPECT_EQ(text.Rewrite(base, -100, 3), 23u);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=2024/06/07 23:59:59.800 種=9 LY1=34");
}

TEST(TimeText, DayCounterRunsPastTheMonthEndAndWrapsAfter99) {
    const int64_t base = Ticks(2024, 1, 31, 10, 0, 0, 0);
    TimedText text(kRecord);
    text.Rewrite(base, 0, 0);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=31/10:00:00.000 種=9 LY1=34");
    text.Rewrite(base, 14 * 3600000LL, 0);  // past midnight
    EXPECT_EQ(text.Text(), "ID=0000001 TM=32/00:00:00.000 種=9 LY1=34");

    const int64_t base25 = Ticks(2024, 3, 25, 12, 0, 0, 0);
    const int64_t day = 86400000;
    text.Rewrite(base25, 40 * day, 0);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=65/12:00:00.000 種=9 LY1=34");
    text.Rewrite(base25, 74 * day, 0);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=99/12:00:00.000 種=9 LY1=34");
    text.Rewrite(base25, 75 * day, 0);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=00/12:00:00.000 種=9 LY1=34");
}

TEST(TimeText, NoBaseTimeShowsZeros) {
    TimedText text(kRecord);
    text.Rewrite(0, 5000, 3);
    EXPECT_EQ(text.Text(), "ID=0000001 TM=0/00/00 00:00:00.000 種=9 LY1=34");
}

TEST(TimeText, NeverGrowsPastItsRoom) {
    const int64_t base = Ticks(2024, 6, 7);
    TimedText shortened(u"TM=07/00:00:00.000 x");  // room for the short form only
    EXPECT_EQ(shortened.Rewrite(base, 0, 3), 0u);
    EXPECT_EQ(shortened.Text(), "TM=07/00:00:00.000 x");
    EXPECT_EQ(shortened.Rewrite(base, 0, 1), 0u);
    EXPECT_EQ(shortened.Rewrite(base, 1000, 0), 15u);
    EXPECT_EQ(shortened.Text(), "TM=07/00:00:01.000 x");

    TimedText roomy(u"TM=07/00:00:00.000 x", 8);
    EXPECT_EQ(roomy.Rewrite(base, 0, 3), 23u);
    EXPECT_EQ(roomy.Text(), "TM=2024/06/07 00:00:00.000 x");

    TimedText none(u"Warning=1 FilePos=00000020h");
    EXPECT_EQ(none.Rewrite(base, 0, 3), 0u);
    EXPECT_EQ(none.Text(), "Warning=1 FilePos=00000020h");
    EXPECT_EQ(RewriteTimeText(nullptr, 10, base, 0, 0), 0u);
    // A buffer without a terminator in its room is left alone.
    std::u16string unterminated = u"TM=07/00:00:00.000 ";
    EXPECT_EQ(RewriteTimeText(unterminated.data(), unterminated.size(), base, 0, 3), 0u);
}

}  // namespace
}  // namespace tessary
