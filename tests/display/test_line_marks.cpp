// What the panes ask of the table: highlight rules, search hits in cells, replaced titles, the
// first and last lines, and the selection by row groups.
#include <vector>

#include "DisplayTestSupport.h"

namespace tessary::test {
namespace {

std::vector<bool> HitsOf(const DisplayLine* line) {
    std::vector<bool> hits;
    for (uint16_t c = 0; c < line->cellCount; ++c) {
        hits.push_back((line->Cells()[c] & kCellHit) != 0);
    }
    return hits;
}

std::vector<bool> Pattern(const char* marks) {
    std::vector<bool> hits;
    for (const char* p = marks; *p != '\0'; ++p) {
        hits.push_back(*p == '^');
    }
    return hits;
}

using SearchHits = LineTableTest;

TEST_F(SearchHits, EveryOccurrenceOfAWordIsFlaggedWhateverItsCase) {
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";abc;", -1), 0);
    const int32_t n = AddRecord(u"abc xabc ABC", 1);
    DisplayLine* line = m_table.Line(n);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, line, true), 1);
    EXPECT_EQ(HitsOf(line), Pattern("^^^  ^^^ ^^^"));
}

TEST_F(SearchHits, HitCellsFollowTheDisplayWidthsBeforeThem) {
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";<abc> | <呼>;", -1), 0);
    const int32_t n = AddRecord(u"Ａ呼abc呼", 0);
    DisplayLine* line = m_table.Line(n);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, line, true), 2);
    EXPECT_EQ(HitsOf(line), Pattern("  ^^^^^^^"));
}

TEST_F(SearchHits, OnlyWordsOfBranchesThatEndedTrueCount) {
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";<abc> | <zzz>;", -1), 0);
    const int32_t n = AddRecord(u"abc def", 0);
    DisplayLine* line = m_table.Line(n);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, line, true), 1);
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";<abc> <def>;", -1), 0);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, line, true), 2);
    EXPECT_EQ(HitsOf(line), Pattern("^^^ ^^^"));
    // Counting without apply leaves the flags as they are.
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";def;", -1), 0);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, line, false), 1);
    EXPECT_EQ(HitsOf(line), Pattern("^^^ ^^^"));
}

TEST_F(SearchHits, ApplyClearsOldFlagsWhenTheRecordNoLongerMatches) {
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";abc;", -1), 0);
    const int32_t n = AddRecord(u"abc", 0);
    DisplayLine* line = m_table.Line(n);
    ASSERT_EQ(m_table.MarkSearchHits(nullptr, line, true), 1);
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";zzz;", -1), 0);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, line, true), 0);
    EXPECT_EQ(HitsOf(line), Pattern("   "));
}

TEST_F(SearchHits, RecordAloneAnswersOneOrZeroAndTheMaskDecides) {
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";abc;00000002", -1), 0);  // block B only
    const int32_t inA = AddRecord(u"abc", 0);
    const int32_t inB = AddRecord(u"abc", 1);
    const MessageRecord* recordA = m_table.RecordOf(m_table.Line(inA));
    const MessageRecord* recordB = m_table.RecordOf(m_table.Line(inB));
    EXPECT_EQ(m_table.MarkSearchHits(recordA, nullptr, false), 0);
    EXPECT_EQ(m_table.MarkSearchHits(recordB, nullptr, false), 1);
    EXPECT_EQ(m_table.MarkSearchHits(recordB, m_table.Line(inB), true), -1);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, nullptr, true), -1);
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 3);
    EXPECT_EQ(m_table.MarkSearchHits(nullptr, m_table.Line(2), true), -1);
    m_table.SetSource({});
    EXPECT_EQ(m_table.MarkSearchHits(recordB, nullptr, false), -1);
    EXPECT_EQ(m_table.MarkIndex(m_table.Line(inB)), -1);
}

using HighlightRules = LineTableTest;

TEST_F(HighlightRules, HighestNumberedMatchingRuleThatAdmitsTheBlockWins) {
    ASSERT_EQ(m_conditions[0].Compile(u"@;abc;", 2), 0);
    ASSERT_EQ(m_conditions[2].Compile(u"#;abc;", 2), 0);
    ASSERT_EQ(m_conditions[3].Compile(u"&;abc;00000002", 2), 0);
    const int32_t inA = AddRecord(u"xabcx", 0);
    const int32_t inB = AddRecord(u"abc", 1);
    const int32_t none = AddRecord(u"def", 1);
    MessageRecord* warning = Put(u"abc warning", kNoBlock);
    const int32_t first = m_table.LineCount();
    ASSERT_EQ(m_table.AddLines(m_converter.get(), warning->Text(), 0, kNoBlock, 2), first + 1);
    m_table.Line(first)->recordIndex = static_cast<int32_t>(warning->Index);

    EXPECT_EQ(m_table.MarkIndex(m_table.Line(inA)), 2);
    EXPECT_EQ(m_table.MarkIndex(m_table.Line(inB)), 3);
    EXPECT_EQ(m_table.MarkIndex(m_table.Line(none)), -1);
    EXPECT_EQ(m_table.MarkIndex(m_table.Line(first)), 2);  // no block: masked rules pass it by
    EXPECT_EQ(m_table.MarkIndex(nullptr), -1);
}

using ReplaceText = LineTableTest;

TEST_F(ReplaceText, NewTitlesReplaceTheRecordTextAndTheParts) {
    std::u16string title = u"AA\nBB\nCC\nDD\n";
    title.append(20, u' ');  // 32 characters
    MessageRecord* record = Put(title, kNoBlock);
    ASSERT_EQ(Add(record, 0, kNoBlock, 0), 1);
    DisplayLine* line = m_table.Line(0);
    line->recordIndex = static_cast<int32_t>(record->Index);

    const std::u16string shorter = u"X\nYYY\n\nＺ\n    ";
    ASSERT_EQ(m_table.ReplaceLineText(m_converter.get(), line, shorter.c_str(), 0), 0);
    record = m_converter->Record(static_cast<uint32_t>(line->recordIndex));
    EXPECT_EQ(record->TextView(), shorter);
    EXPECT_EQ(m_table.TextOf(line), shorter);
    EXPECT_EQ(line->cellCount, 14);
    EXPECT_EQ(line->parts[0].count, 1);
    EXPECT_EQ(line->parts[1].start, 2);
    EXPECT_EQ(line->parts[1].count, 3);
    EXPECT_EQ(line->parts[2].count, 0);
    EXPECT_EQ(line->parts[3].start, 7);
    EXPECT_EQ(line->parts[3].count, 2);
}

TEST_F(ReplaceText, TextsThatFitTheRecordOrTheCellsNotChangeNothing) {
    const std::u16string original(20, u'a');  // record room: 20 characters + terminator + 1
    const int32_t n = AddRecord(original, 0);
    DisplayLine* line = m_table.Line(n);
    const std::u16string tooLong(22, u'b');
    EXPECT_EQ(m_table.ReplaceLineText(m_converter.get(), line, tooLong.c_str(), 22), 1);
    // 21 characters fit the record, but 42 cells do not fit the 40 the entry has room for.
    const std::u16string tooWide(21, u'Ｗ');
    EXPECT_EQ(m_table.ReplaceLineText(m_converter.get(), line, tooWide.c_str(), 21), 1);
    EXPECT_EQ(Utf8(m_table.TextOf(line)), std::string(20, 'a'));
    const std::u16string fits(21, u'c');
    EXPECT_EQ(m_table.ReplaceLineText(m_converter.get(), line, fits.c_str(), 21), 0);
    EXPECT_EQ(Utf8(m_table.TextOf(line)), std::string(21, 'c'));
    EXPECT_EQ(line->parts[0].count, 21);
}

TEST_F(ReplaceText, MissingArgumentsAndLinesWithoutRecordFail) {
    const int32_t n = AddRecord(u"abc", 0);
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 2);
    SetLastError(0);
    EXPECT_EQ(m_table.ReplaceLineText(nullptr, m_table.Line(n), u"x", 1), -1);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_EQ(m_table.ReplaceLineText(m_converter.get(), nullptr, u"x", 1), -1);
    EXPECT_EQ(m_table.ReplaceLineText(m_converter.get(), m_table.Line(n), nullptr, 1), -1);
    EXPECT_EQ(m_table.ReplaceLineText(m_converter.get(), m_table.Line(1), u"x", 1), -1);
    EXPECT_EQ(Text(n), "abc");
}

using FirstLast = LineTableTest;

TEST_F(FirstLast, ScansFromLineOneAndSkipsSeparatorsWhenTheRecordIsAsked) {
    MessageRecord* found = reinterpret_cast<MessageRecord*>(&found);
    EXPECT_EQ(m_table.FirstLastLine(true, &found), nullptr);
    EXPECT_EQ(found, nullptr);
    AddRecord(u"title", kNoBlock);
    EXPECT_EQ(m_table.FirstLastLine(true, nullptr), nullptr);  // the title row alone
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 2);
    EXPECT_EQ(m_table.FirstLastLine(true, &found), nullptr);
    const int32_t first = AddRecord(u"a\nb", 0);
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 5);

    EXPECT_EQ(m_table.FirstLastLine(true, nullptr), m_table.Line(1));
    EXPECT_EQ(m_table.FirstLastLine(false, nullptr), m_table.Line(4));
    EXPECT_EQ(m_table.FirstLastLine(true, &found), m_table.Line(first));
    EXPECT_EQ(found, m_table.RecordOf(m_table.Line(first)));
    EXPECT_EQ(m_table.FirstLastLine(false, &found), m_table.Line(first + 1));
    EXPECT_NE(found, nullptr);
}

using Selection = LineTableTest;

TEST_F(Selection, TitleRowIsRefusedAndAnyRowSelectsTheFirstLineOfItsRecord) {
    AddRecord(u"title", kNoBlock);
    const int32_t a = AddRecord(u"a1\na2\na3", 0);
    const int32_t b = AddRecord(u"b1\nb2", 1);
    ASSERT_EQ(a, 1);
    ASSERT_EQ(b, 4);

    EXPECT_EQ(m_table.SelectLine(m_table.Line(0)).result, -1);
    EXPECT_EQ(m_table.SelectionLine(), nullptr);

    SelectionChange change = m_table.SelectLine(m_table.Line(2));
    EXPECT_EQ(change.result, 0);
    EXPECT_EQ(change.notifyLine, 1);
    EXPECT_TRUE(change.recordChanged);
    EXPECT_EQ(change.oldSelection, nullptr);
    EXPECT_EQ(m_table.SelectionLine(), m_table.Line(1));
    EXPECT_TRUE(m_table.IsSelectedRecord(m_table.Line(3)));
    EXPECT_FALSE(m_table.IsSelectedRecord(m_table.Line(4)));

    change = m_table.SelectLine(m_table.Line(5));
    EXPECT_EQ(change.result, 1);
    EXPECT_EQ(change.notifyLine, 4);
    EXPECT_EQ(change.oldSelection, m_table.Line(1));
    EXPECT_TRUE(change.recordChanged);

    change = m_table.SelectLine(m_table.Line(4));
    EXPECT_EQ(change.result, 4);
    EXPECT_FALSE(change.recordChanged);

    change = m_table.SelectLine(nullptr);
    EXPECT_EQ(change.result, 4);
    EXPECT_EQ(change.notifyLine, -1);
    EXPECT_TRUE(change.recordChanged);
    EXPECT_EQ(m_table.SelectionLine(), nullptr);
}

TEST_F(Selection, TheSecondLayoutReadsTheSecondRowSlot) {
    AddRecord(u"title", kNoBlock);
    const int32_t a = AddRecord(u"a1\na2", 0);
    MessageRecord* record = m_table.RecordOf(m_table.Line(a));
    record->RowSlot[1] = a + 1;  // a deliberately different first line
    m_para.Flag[1] |= kFlag1SecondRowSlot;
    EXPECT_EQ(m_table.SelectLine(m_table.Line(a)).notifyLine, a + 1);

    // A line of another table is not one of ours.
    DisplayLineTable other;
    ASSERT_EQ(other.AddLines(m_converter.get(), nullptr, 0, 0, 1), 1);
    ASSERT_EQ(other.AddLines(m_converter.get(), nullptr, 0, 0, 1), 2);
    EXPECT_EQ(m_table.SelectLine(other.Line(1)).result, -1);
}

}  // namespace
}  // namespace tessary::test
