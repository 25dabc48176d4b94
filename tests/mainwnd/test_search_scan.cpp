#include <gtest/gtest.h>

#include "GeneratedLogTestSupport.h"
#include "mainwnd/SearchScan.h"

namespace tessary::test {
namespace {

// "<a> | <b> | ..." of the given words.
std::u16string AnyOf(std::initializer_list<std::u16string_view> words) {
    std::u16string pattern;
    for (const std::u16string_view word : words) {
        if (!pattern.empty()) {
            pattern.append(u" | ");
        }
        pattern.append(u"<").append(word).append(u">");
    }
    return pattern;
}

TEST(SearchScanRelation, VisibleOutsideAndUnknown) {
    // Message 10..12.
    EXPECT_EQ(RelationToView(10, 12, 5, 20), SelectionView::kFullyVisible);
    EXPECT_EQ(RelationToView(10, 12, 10, 12), SelectionView::kFullyVisible);
    EXPECT_EQ(RelationToView(10, 12, 11, 20), SelectionView::kPartlyVisible);
    EXPECT_EQ(RelationToView(10, 12, 12, 20), SelectionView::kPartlyVisible);
    EXPECT_EQ(RelationToView(10, 12, 1, 10), SelectionView::kPartlyVisible);
    EXPECT_EQ(RelationToView(10, 12, 11, 11), SelectionView::kPartlyVisible);
    EXPECT_EQ(RelationToView(10, 12, 13, 30), SelectionView::kOutside);
    EXPECT_EQ(RelationToView(10, 12, 1, 9), SelectionView::kOutside);
    EXPECT_EQ(RelationToView(-1, 12, 1, 20), SelectionView::kUnknown);
    EXPECT_EQ(RelationToView(10, -1, 1, 20), SelectionView::kUnknown);
    EXPECT_EQ(RelationToView(10, 12, -1, 20), SelectionView::kUnknown);
    EXPECT_EQ(RelationToView(10, 12, 1, -1), SelectionView::kUnknown);
}

TEST(SearchScanText, LengthAndAsciiCase) {
    EXPECT_TRUE(SameSearchText(u"CH=01 Setup", u"ch=01 setUP"));
    EXPECT_TRUE(SameSearchText(u"", u""));
    EXPECT_TRUE(SameSearchText(u"<呼設定>", u"<呼設定>"));
    EXPECT_FALSE(SameSearchText(u"CH=01", u"CH=01 "));
    EXPECT_FALSE(SameSearchText(u"CH=01", u"CH=02"));
    // Only ASCII letters fold: full-width letters and the characters next to 'Z' do not.
    EXPECT_FALSE(SameSearchText(u"ＡＢ", u"ａｂ"));
    EXPECT_FALSE(SameSearchText(u"[", u"{"));
    EXPECT_FALSE(SameSearchText(u"@", u"`"));
}

class SearchScanTest : public GeneratedLogTest {
protected:
    void SetUp() override {
        GeneratedLogTest::SetUp();
        Load("--seed 4 --records 400");
    }
    // Marks the search hits of every line of the message, as the panes do when they draw it.
    void MarkHits(const DisplayLine* first) {
        for (int32_t n = first->lineNumber; n <= LastOfGroup(first); ++n) {
            m_table.MarkSearchHits(nullptr, m_table.Line(n), true);
        }
    }
    int32_t Scan(int32_t line, bool testFirst, bool forward) {
        return ScanForHit(m_table, SearchStart{line, testFirst}, forward);
    }
};

TEST_F(SearchScanTest, ForwardWrapsFromTheLastMatchToTheFirst) {
    const DisplayLine* a = NthGroup(2, 3);
    const DisplayLine* b = NthGroup(40, 3);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    SetSearch(AnyOf({IdWord(IdOf(a)), IdWord(IdOf(b))}));

    // From the last line of the last match, stepping first: round the end to the first match.
    EXPECT_EQ(Scan(LastOfGroup(b), false, true), a->lineNumber);
    EXPECT_EQ(Scan(LastOfGroup(a), false, true), b->lineNumber);
    // From inside a match, testing first: that line itself.
    EXPECT_EQ(Scan(a->lineNumber + 1, true, true), a->lineNumber + 1);
    // From just past the first match: the second, then round to the first again.
    EXPECT_EQ(Scan(LastOfGroup(a) + 1, true, true), b->lineNumber);
    EXPECT_EQ(Scan(LastLine(), true, true), a->lineNumber);
    // Backward from the first match's first line, stepping first: round the start to the last
    // line of the second match.
    EXPECT_EQ(Scan(a->lineNumber, false, false), LastOfGroup(b));
    EXPECT_EQ(Scan(b->lineNumber, false, false), LastOfGroup(a));
}

TEST_F(SearchScanTest, ASingleMatchIsFoundAgain) {
    const DisplayLine* a = NthGroup(30, 3);
    ASSERT_NE(a, nullptr);
    SetSearch(IdWord(IdOf(a)));
    // Forward from its last line the scan goes all the way round to its first line.
    EXPECT_EQ(Scan(LastOfGroup(a), false, true), a->lineNumber);
    // Backward from its first line it ends on its last line.
    EXPECT_EQ(Scan(a->lineNumber, false, false), LastOfGroup(a));
    // From anywhere else, either way, the same message.
    EXPECT_EQ(Scan(1, true, true), a->lineNumber);
    EXPECT_EQ(Scan(LastLine(), true, false), LastOfGroup(a));
}

TEST_F(SearchScanTest, AOneLineSingleMatchSteppedOverIsFoundAgain) {
    const DisplayLine* a = nullptr;
    for (int32_t n = 1; n < m_table.LineCount() && a == nullptr; ++n) {
        const DisplayLine* line = m_table.Line(n);
        if (line->HasRecord() && line->groupSize == 1 && m_table.RecordOf(line)->Id != 0) {
            a = line;
        }
    }
    ASSERT_NE(a, nullptr);
    SetSearch(IdWord(IdOf(a)));
    // The start is stepped over (the last find) and still the only match: round to itself.
    EXPECT_EQ(Scan(a->lineNumber, false, true), a->lineNumber);
    EXPECT_EQ(Scan(a->lineNumber, false, false), a->lineNumber);
}

TEST_F(SearchScanTest, BackwardWrapsBelowLineOneToTheLastLine) {
    const DisplayLine* a = NthGroup(3, 2);
    MessageRecord* lastRecord = nullptr;
    const DisplayLine* lastLine = m_table.FirstLastLine(false, &lastRecord);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(lastLine, nullptr);
    ASSERT_EQ(lastLine->lineNumber, LastLine());
    SetSearch(AnyOf({IdWord(IdOf(a)), IdWord(lastRecord->Id)}));
    EXPECT_EQ(Scan(a->lineNumber, false, false), LastLine());
    EXPECT_EQ(Scan(1, true, false), LastLine());
    // Forward from the last line, stepping first: round to the first match.
    EXPECT_EQ(Scan(LastLine(), false, true), a->lineNumber);
}

TEST_F(SearchScanTest, TheTitleRowIsTestedOnlyAsTheStart) {
    // Only the title record holds this text.
    SetSearch(u"局 ←");
    EXPECT_EQ(Scan(0, true, true), 0);
    EXPECT_EQ(Scan(0, true, false), 0);
    EXPECT_EQ(Scan(0, false, true), -1);
    EXPECT_EQ(Scan(0, false, false), -1);
    EXPECT_EQ(Scan(1, true, true), -1);
    EXPECT_EQ(Scan(1, true, false), -1);
    EXPECT_EQ(Scan(LastLine(), true, true), -1);

    // With a message matching too, a scan from the title row reaches it either way, and a scan
    // from that message passes the title row to find the message again.
    const DisplayLine* a = NthGroup(5, 2);
    ASSERT_NE(a, nullptr);
    SetSearch(AnyOf({u"局 ←", IdWord(IdOf(a))}));
    EXPECT_EQ(Scan(0, false, true), a->lineNumber);
    EXPECT_EQ(Scan(0, false, false), LastOfGroup(a));
    EXPECT_EQ(Scan(LastOfGroup(a), false, true), a->lineNumber);
    EXPECT_EQ(Scan(a->lineNumber, false, false), LastOfGroup(a));
}

TEST_F(SearchScanTest, NoHitEndsWithMinusOne) {
    SetSearch(u"<no such text> <anywhere>");
    for (const bool forward : {true, false}) {
        for (const bool testFirst : {true, false}) {
            EXPECT_EQ(Scan(0, testFirst, forward), -1);
            EXPECT_EQ(Scan(1, testFirst, forward), -1);
            EXPECT_EQ(Scan(LastLine() / 2, testFirst, forward), -1);
            EXPECT_EQ(Scan(LastLine(), testFirst, forward), -1);
        }
    }
    // Starts outside the table.
    SetSearch(u"ID=");
    EXPECT_EQ(Scan(-1, true, true), -1);
    EXPECT_EQ(Scan(m_table.LineCount(), true, false), -1);
    // A cleared condition takes nothing.
    m_conditions[kSearchSlot].Clear();
    EXPECT_EQ(Scan(1, true, true), -1);
    // Nor does an empty table.
    DisplayLineTable empty;
    empty.SetSource(m_table.Source());
    EXPECT_EQ(ScanForHit(empty, SearchStart{0, true}, true), -1);
}

TEST_F(SearchScanTest, SeparatorLinesAndBlockMasksAreNoHits) {
    int32_t separator = -1;
    for (int32_t n = 2; n < LastLine() && separator < 0; ++n) {
        if (!m_table.Line(n)->HasRecord()) {
            separator = n;
        }
    }
    ASSERT_GT(separator, 0);
    SetSearch(u"ID=");
    EXPECT_EQ(Scan(separator, true, true), separator + 1);
    EXPECT_EQ(Scan(separator, true, false), separator - 1);

    // A condition for block D alone skips the messages of the other blocks.
    ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";ID=;00000008", m_para.SpcCnt), 0);
    const int32_t hit = Scan(1, true, true);
    ASSERT_GT(hit, 0);
    EXPECT_EQ(m_table.RecordOf(m_table.Line(hit))->Block, 3);
    for (int32_t n = 1; n < hit; ++n) {
        const MessageRecord* record = m_table.RecordOf(m_table.Line(n));
        EXPECT_TRUE(record == nullptr || record->Block != 3) << n;
    }
}

TEST_F(SearchScanTest, HitFlagsCountOnlyWithinTheMessage) {
    const DisplayLine* a = NthGroup(10, 3);
    ASSERT_NE(a, nullptr);
    const DisplayLine* next = m_table.Line(LastOfGroup(a) + 1);
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(ShowsSearchHits(m_table, a->lineNumber));
    // A hit in the following line belongs to another message (or none).
    SetSearch(u"ID=");
    m_table.MarkSearchHits(nullptr, m_table.Line(next->lineNumber + (next->HasRecord() ? 0 : 1)),
                           true);
    EXPECT_FALSE(ShowsSearchHits(m_table, a->lineNumber));
    // A word in the message's second line is enough.
    const std::u16string_view second = m_table.TextOf(m_table.Line(a->lineNumber + 1));
    ASSERT_GE(second.size(), 2u);
    SetSearch(AnyOf({second.substr(0, 2), IdWord(IdOf(a))}));
    m_table.MarkSearchHits(nullptr, m_table.Line(a->lineNumber + 1), true);
    EXPECT_TRUE(ShowsSearchHits(m_table, a->lineNumber));
    EXPECT_FALSE(ShowsSearchHits(m_table, -1));
    EXPECT_FALSE(ShowsSearchHits(m_table, m_table.LineCount()));
}

TEST_F(SearchScanTest, StartPointFollowsTheSelectedMessageInView) {
    const DisplayLine* a = NthGroup(20, 3);
    ASSERT_NE(a, nullptr);
    const int32_t b = a->lineNumber;
    const int32_t c = LastOfGroup(a);
    const int32_t top = b - 5;
    const int32_t bottom = c + 5;
    auto start = [&](int32_t selection, int32_t t, int32_t u, bool forward, bool same) {
        const SearchStart s = SearchStartOf(m_table, selection, t, u, forward, same);
        return std::make_pair(s.line, s.testFirst);
    };
    using P = std::pair<int32_t, bool>;

    // No selection: the visible top or bottom, tested first.
    EXPECT_EQ(start(-1, top, bottom, true, true), P(top, true));
    EXPECT_EQ(start(-1, top, bottom, false, true), P(bottom, true));
    EXPECT_EQ(start(0, top, bottom, true, true), P(top, true));
    // Outside the view: the same.
    EXPECT_EQ(start(b, c + 1, c + 30, true, true), P(c + 1, true));
    EXPECT_EQ(start(b, c + 1, c + 30, false, true), P(c + 30, true));
    // Unknown view: the whole table from its first or last line.
    EXPECT_EQ(start(b, -1, -1, true, false), P(1, true));
    EXPECT_EQ(start(b, -1, -1, false, false), P(LastLine(), true));

    // In view without hits: the message itself first, whatever the text.
    EXPECT_EQ(start(b, top, bottom, true, true), P(b, true));
    EXPECT_EQ(start(b, top, bottom, false, true), P(c, true));

    // In view showing hits of the same text: step past it.
    SetSearch(IdWord(IdOf(a)));
    MarkHits(a);
    ASSERT_TRUE(ShowsSearchHits(m_table, b));
    EXPECT_EQ(start(b, top, bottom, true, true), P(c, false));
    EXPECT_EQ(start(b, top, bottom, false, true), P(b, false));
    // Any line of the message stands for it; a partly visible one counts as in view.
    EXPECT_EQ(start(b + 1, b + 1, bottom, true, true), P(c, false));
    EXPECT_EQ(start(c, top, b, false, true), P(b, false));
    // Another text: the message itself first.
    EXPECT_EQ(start(b, top, bottom, true, false), P(b, true));
    EXPECT_EQ(start(b, top, bottom, false, false), P(c, true));
}

TEST_F(SearchScanTest, FindNextMovesOnAndANewTextStaysOnTheSelectedMessage) {
    const DisplayLine* a = NthGroup(20, 3);
    const DisplayLine* b = NthGroup(60, 3);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const std::u16string text = AnyOf({IdWord(IdOf(a)), IdWord(IdOf(b))});
    SetSearch(text);
    MarkHits(a);
    const int32_t top = a->lineNumber - 2;
    const int32_t bottom = LastOfGroup(a) + 2;
    auto find = [&](bool forward, bool same) {
        return ScanForHit(
            m_table, SearchStartOf(m_table, a->lineNumber, top, bottom, forward, same), forward);
    };
    // F3 again on the found message goes to the next one, Shift+F3 to the previous (round).
    EXPECT_EQ(find(true, SameSearchText(text, text)), b->lineNumber);
    EXPECT_EQ(find(false, true), LastOfGroup(b));
    // A changed text that the selected message matches finds it again without moving.
    EXPECT_EQ(find(true, SameSearchText(text, AnyOf({IdWord(IdOf(a))}))), a->lineNumber);
    EXPECT_EQ(find(false, false), LastOfGroup(a));
}

}  // namespace
}  // namespace tessary::test
