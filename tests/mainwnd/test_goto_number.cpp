#include <gtest/gtest.h>

#include <limits>

#include "GeneratedLogTestSupport.h"
#include "mainwnd/GoToNumber.h"

namespace tessary::test {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

TEST(ReadEditNumber, GroupingFractionsBlanksAndJunk) {
    EXPECT_EQ(ReadEditNumber(u"1,234"), 1234);
    EXPECT_EQ(ReadEditNumber(u"1,234,567"), 1234567);
    EXPECT_EQ(ReadEditNumber(u"12.9"), 12);
    EXPECT_EQ(ReadEditNumber(u"1,2.3,4"), 12);
    EXPECT_EQ(ReadEditNumber(u" 7 "), 7);
    EXPECT_EQ(ReadEditNumber(u"\t 42\u3000"), 42);
    EXPECT_EQ(ReadEditNumber(u""), 0);
    EXPECT_EQ(ReadEditNumber(u"   "), 0);
    EXPECT_EQ(ReadEditNumber(u"abc"), 0);
    EXPECT_EQ(ReadEditNumber(u".5"), 0);
    EXPECT_EQ(ReadEditNumber(u"12abc34"), 12);
    EXPECT_EQ(ReadEditNumber(u"1 2"), 1);
    EXPECT_EQ(ReadEditNumber(u"-15"), -15);
    EXPECT_EQ(ReadEditNumber(u"+15"), 15);
    EXPECT_EQ(ReadEditNumber(u"-"), 0);
    EXPECT_EQ(ReadEditNumber(u"００１"), 0);  // full-width digits are not digits here
}

TEST(ReadEditNumber, HugeDigitsSaturate) {
    EXPECT_EQ(ReadEditNumber(u"9223372036854775807"), kMax);
    EXPECT_EQ(ReadEditNumber(u"9223372036854775808"), kMax);
    EXPECT_EQ(ReadEditNumber(u"99999999999999999999999999999"), kMax);
    EXPECT_EQ(ReadEditNumber(u"-9223372036854775808"), kMin);
    EXPECT_EQ(ReadEditNumber(u"-99999999999999999999999999999"), kMin);
    EXPECT_EQ(ReadEditNumber(u"9,223,372,036,854,775,806"), kMax - 1);
}

class GoToTest : public GeneratedLogTest {
protected:
    int32_t FirstMessageLine() const { return m_table.FirstLastLine(true, nullptr)->lineNumber; }
    int32_t LastMessageLine() const { return m_table.FirstLastLine(false, nullptr)->lineNumber; }
};

TEST_F(GoToTest, LineNumbersOutsideTheMessagesAreClampedWithAMessage) {
    Load("--seed 4 --records 400");
    const int32_t first = FirstMessageLine();
    const int32_t last = LastMessageLine();
    ASSERT_GT(last, first);

    for (const int64_t below : {int64_t{0}, int64_t{-5}, kMin}) {
        const GoToResult result = GoToLineNumber(m_table, below);
        EXPECT_TRUE(result.possible);
        EXPECT_EQ(result.line, first);
        EXPECT_EQ(result.message, u"行番号不正のため、先頭データ表示");
    }
    for (const int64_t above : {int64_t{last} + 1, int64_t{1} << 40, kMax}) {
        const GoToResult result = GoToLineNumber(m_table, above);
        EXPECT_TRUE(result.possible);
        EXPECT_EQ(result.line, last);
        EXPECT_EQ(result.message, u"行番号不正のため、最終データ表示");
    }
    const GoToResult atLast = GoToLineNumber(m_table, last);
    EXPECT_EQ(atLast.line, last);
    EXPECT_TRUE(atLast.message.empty());
    const GoToResult atOne = GoToLineNumber(m_table, 1);
    EXPECT_EQ(atOne.line, first);
    EXPECT_TRUE(atOne.message.empty());
}

TEST_F(GoToTest, ALineNumberOnASeparatorGoesToTheNextMessage) {
    Load("--seed 4 --records 400");
    int checked = 0;
    for (int32_t n = 2; n < LastMessageLine(); ++n) {
        const DisplayLine* line = m_table.Line(n);
        if (line->HasRecord()) {
            continue;
        }
        const GoToResult result = GoToLineNumber(m_table, n);
        EXPECT_EQ(result.line, n + 1) << n;
        EXPECT_TRUE(m_table.Line(n + 1)->HasRecord()) << n;
        EXPECT_TRUE(result.message.empty());
        ++checked;
    }
    EXPECT_GT(checked, 3);
    // A line inside a message is itself the line to show (the view goes to the group start).
    const DisplayLine* group = NthGroup(12, 3);
    ASSERT_NE(group, nullptr);
    const GoToResult inside = GoToLineNumber(m_table, group->lineNumber + 2);
    EXPECT_EQ(inside.line, group->lineNumber + 2);
    EXPECT_EQ(m_table.Line(inside.line)->recordIndex, group->recordIndex);
    EXPECT_TRUE(inside.message.empty());
}

TEST_F(GoToTest, IndexNumbersFindTheirRecordOrSayThereIsNone) {
    Load("--seed 4 --records 400");
    MessageRecord* firstRecord = nullptr;
    MessageRecord* lastRecord = nullptr;
    m_table.FirstLastLine(true, &firstRecord);
    m_table.FirstLastLine(false, &lastRecord);
    ASSERT_NE(firstRecord, nullptr);
    ASSERT_NE(lastRecord, nullptr);

    const DisplayLine* group = NthGroup(50, 2);
    ASSERT_NE(group, nullptr);
    const GoToResult found = GoToIndexNumber(m_table, IdOf(group));
    EXPECT_TRUE(found.possible);
    EXPECT_EQ(found.line, group->lineNumber);
    EXPECT_TRUE(found.message.empty());

    const GoToResult below = GoToIndexNumber(m_table, int64_t{firstRecord->Id} - 1);
    EXPECT_EQ(below.line, m_table.FirstLineOf(firstRecord)->lineNumber);
    EXPECT_EQ(below.message, u"インデックス番号不正のため、先頭データ表示");

    for (const int64_t above : {int64_t{lastRecord->Id} + 1, kMax}) {
        const GoToResult result = GoToIndexNumber(m_table, above);
        EXPECT_EQ(result.line, m_table.FirstLineOf(lastRecord)->lineNumber);
        EXPECT_EQ(result.message, u"インデックス番号不正のため、最終データ表示");
    }
}

TEST_F(GoToTest, AnIndexNumberWithoutRecordOrLineIsNotFound) {
    // IDs run 0000000-0029999 and go on at 0100000.
    Load("--seed 5 --records 30100");
    const GoToResult gap = GoToIndexNumber(m_table, 50000);
    EXPECT_TRUE(gap.possible);
    EXPECT_EQ(gap.line, -1);
    EXPECT_EQ(gap.message, u"入力されたインデックス番号に該当するデータはありません");
    const GoToResult after = GoToIndexNumber(m_table, 100000);
    ASSERT_GT(after.line, 0);
    EXPECT_EQ(IdOf(m_table.Line(after.line)), 100000u);
    EXPECT_TRUE(after.message.empty());

    // A warning carries the ID of the record after it and comes first: it decides.
    int checked = 0;
    for (uint32_t i = 1; i < m_converter->LineCount() && checked < 3; ++i) {
        const MessageRecord* record = Record(i);
        if (record->TextView().find(u"Warning=") == std::u16string_view::npos ||
            Record(i - 1)->Id == record->Id) {
            continue;
        }
        const GoToResult result = GoToIndexNumber(m_table, record->Id);
        EXPECT_EQ(result.line, record->RowSlot[0]) << record->Id;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST_F(GoToTest, AnIndexNumberOfAHiddenRecordIsNotFound) {
    m_para.Flag[1] |= kFlag1HideRr;
    Load("--seed 4 --records 400");
    const MessageRecord* hidden = nullptr;
    for (uint32_t i = 2; i < m_converter->LineCount() && hidden == nullptr; ++i) {
        const MessageRecord* record = Record(i);
        if (record->RowSlot[0] < 0 && Record(i - 1)->Id != record->Id) {
            hidden = record;
        }
    }
    ASSERT_NE(hidden, nullptr);
    ASSERT_NE(hidden->TextView().find(u"[RR]"), std::u16string_view::npos);
    const GoToResult result = GoToIndexNumber(m_table, hidden->Id);
    EXPECT_TRUE(result.possible);
    EXPECT_EQ(result.line, -1);
    EXPECT_EQ(result.message, u"入力されたインデックス番号に該当するデータはありません");
}

TEST_F(GoToTest, NothingToGoToWithoutMessageLines) {
    DisplayLineTable empty;
    empty.SetSource(m_table.Source());
    EXPECT_FALSE(GoToLineNumber(empty, 1).possible);
    EXPECT_FALSE(GoToIndexNumber(empty, 1).possible);

    // RR frames alone, hidden: the title row is the only line.
    m_para.Flag[1] |= kFlag1HideRr;
    Open(LogBytes()
             .FrameWithFcs('S', 100, kRrFrame)
             .FrameWithFcs('R', 120, kRrFrame)
             .FixDataByteCount());
    ASSERT_EQ(Convert(), kStatusDone);
    ASSERT_EQ(m_table.LineCount(), 1);
    for (const int64_t number : {int64_t{0}, int64_t{1}, int64_t{5}}) {
        const GoToResult line = GoToLineNumber(m_table, number);
        EXPECT_FALSE(line.possible);
        EXPECT_EQ(line.line, -1);
        EXPECT_TRUE(line.message.empty());
        const GoToResult index = GoToIndexNumber(m_table, number);
        EXPECT_FALSE(index.possible);
        EXPECT_TRUE(index.message.empty());
    }
}

}  // namespace
}  // namespace tessary::test
