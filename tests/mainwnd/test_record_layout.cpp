// The main window's per-record layout over real conversions: title row, separators, direct-
// through mirroring, colour classes, hidden RR frames, warning rows and the row slots.
#include <tuple>

#include "LayoutTestSupport.h"
#include "mainwnd/MainTexts.h"
#include "platform/LastError.h"
#include "platform/Width.h"

namespace tessary::test {
namespace {

// 1, 2 layer 1 (A); 3, 4 RR (B); 5 SETUP (C); 6 direct-through (A); 7 SETUP (C); 8 SETUP (D);
// 9 direct-through (D); 10 RR (B).
LogBytes MixedLog() {
    return LogBytes()
        .Record('T', 9, 0, {0x34})
        .Record('T', 9, 10, {0x34})
        .FrameWithFcs('R', 20, kRrFrame)
        .FrameWithFcs('R', 30, kRrFrame)
        .FrameWithFcs('T', 40, kSetupFrame)
        .Record('T', 5, 50, kSetupFrame)
        .FrameWithFcs('T', 60, kSetupFrame)
        .Record('R', 1, 70, kSetupFrame)
        .Record('R', 5, 80, kSetupFrame)
        .FrameWithFcs('R', 90, kRrFrame);
}

class RecordLayout : public LayoutTest {
protected:
    bool SeparatorBefore(uint32_t record) const {
        const DisplayLine* line = m_table.Line(Record(record)->RowSlot[0] - 1);
        return line != nullptr && line->recordIndex == -1;
    }
};

TEST_F(RecordLayout, TitleRowCarriesTheFourTitlesInItsParts) {
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    const DisplayLine* title = Line(0);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->recordIndex, 0);
    EXPECT_EQ(title->colorClass, kClassTitle);
    EXPECT_EQ(title->groupSize, 1);
    EXPECT_EQ(Record(0)->RowSlot[0], 0);
    uint16_t start = 0;
    for (int b = 0; b < kPartCount; ++b) {
        const std::u16string_view name = ParseBlockDef(SlotText(m_para.BlockDef[b])).title;
        const auto width = static_cast<uint16_t>(TextWidth(name.data(), name.size()));
        EXPECT_EQ(title->parts[b].start, start) << b;
        EXPECT_EQ(title->parts[b].count, width) << b;
        start = static_cast<uint16_t>(start + width + 1);
    }
    EXPECT_GT(title->cellCount, start);  // the padding row belongs to no block
}

TEST_F(RecordLayout, SeparatorsFallBetweenLayer2And3RecordsOfOneColumn) {
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    ASSERT_EQ(m_converter->LineCount(), 11u);
    EXPECT_FALSE(SeparatorBefore(1));
    EXPECT_FALSE(SeparatorBefore(2));  // two layer-1 records
    EXPECT_FALSE(SeparatorBefore(3));
    EXPECT_TRUE(SeparatorBefore(4));   // RR after RR in B
    EXPECT_FALSE(SeparatorBefore(5));  // B then C
    EXPECT_TRUE(SeparatorBefore(6));   // direct-through A counts as C
    EXPECT_TRUE(SeparatorBefore(7));   // C after the direct-through record
    EXPECT_FALSE(SeparatorBefore(8));  // C then D
    EXPECT_TRUE(SeparatorBefore(9));   // D after D
    EXPECT_TRUE(SeparatorBefore(10));  // direct-through D counts as B

    int32_t lines = 1;
    for (uint32_t r = 1; r < 11; ++r) {
        lines += RowsOf(Record(r)) + (SeparatorBefore(r) ? 1 : 0);
    }
    EXPECT_EQ(m_table.LineCount(), lines);
    const DisplayLine* separator = m_table.Line(Record(4)->RowSlot[0] - 1);
    EXPECT_EQ(separator->colorClass, kClassNormal);
    EXPECT_EQ(int64_t{separator->textOffset}, 0);
    EXPECT_EQ(separator->cellCount, 0);
}

TEST_F(RecordLayout, EveryLineOfAGroupKnowsItsRecordAndPlace) {
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    for (uint32_t r = 1; r < m_converter->LineCount(); ++r) {
        const MessageRecord* record = Record(r);
        const int32_t rows = RowsOf(record);
        ASSERT_GE(record->RowSlot[0], 1) << r;
        EXPECT_EQ(record->RowSlot[1], -1);
        for (int32_t i = 0; i < rows; ++i) {
            const DisplayLine* line = Line(record->RowSlot[0] + i);
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(line->recordIndex, static_cast<int32_t>(r));
            EXPECT_EQ(line->groupOffset, i);
            EXPECT_EQ(line->groupSize, rows);
            // A line shows in its record's block only (and a direct-through one in its mirror).
            EXPECT_EQ(line->parts[record->Block].count, line->cellCount);
        }
    }
}

TEST_F(RecordLayout, ColourClassesFollowLayerAndDirectThroughRowsAreMirrored) {
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    EXPECT_EQ(FirstLine(1)->colorClass, kClassWarning);  // layer 1
    EXPECT_EQ(FirstLine(3)->colorClass, kClassRr);
    EXPECT_EQ(Line(Record(3)->RowSlot[0] + 1)->colorClass, kClassRr);
    for (uint32_t r : {5u, 7u, 8u}) {
        ASSERT_EQ(Record(r)->Layer, kLayerMessage) << r;
        ASSERT_GE(RowsOf(Record(r)), 2);
        EXPECT_EQ(FirstLine(r)->colorClass, kClassMessageFirstRow);
        for (int32_t i = 1; i < RowsOf(Record(r)); ++i) {
            EXPECT_EQ(Line(Record(r)->RowSlot[0] + i)->colorClass, kClassNormal);
        }
        EXPECT_EQ(FirstLine(r)->parts[0].count + FirstLine(r)->parts[1].count +
                      FirstLine(r)->parts[2].count + FirstLine(r)->parts[3].count,
                  FirstLine(r)->cellCount);
    }
    const std::tuple<uint32_t, int, int> mirrored[] = {{6, 0, 2}, {9, 3, 1}};
    for (auto [r, block, mirror] : mirrored) {
        const MessageRecord* record = Record(r);
        ASSERT_NE(record->Flags & kRecordDirectThrough, 0) << r;
        ASSERT_EQ(record->Block, block);
        EXPECT_EQ(FirstLine(r)->colorClass, kClassMessageFirstRow);
        for (int32_t i = 0; i < RowsOf(record); ++i) {
            const DisplayLine* line = Line(record->RowSlot[0] + i);
            EXPECT_EQ(line->parts[mirror].start, line->parts[block].start);
            EXPECT_EQ(line->parts[mirror].count, line->parts[block].count);
            if (i > 0) {
                EXPECT_EQ(line->colorClass, kClassWarning);
            }
        }
    }
}

TEST_F(RecordLayout, TimesAreRewrittenInTheChosenDateFormat) {
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    EXPECT_EQ(Utf8(SelectionTimeText(Record(1)->TextView())), "07/12:34:56.789");
    m_para.Flag[0] = 1;  // month and day
    ASSERT_EQ(Redeliver(), kStatusDone);
    EXPECT_EQ(Utf8(SelectionTimeText(Record(1)->TextView())), "06/07 12:34:56.789");
}

TEST_F(RecordLayout, HiddenRrRecordsGetNoLineAndNoSlot) {
    m_para.Flag[1] |= kFlag1HideRr;
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    for (uint32_t r : {3u, 4u, 10u}) {
        EXPECT_EQ(Record(r)->RowSlot[0], -1) << r;
    }
    for (int32_t n = 0; n < m_table.LineCount(); ++n) {
        EXPECT_NE(Line(n)->recordIndex, 3);
        EXPECT_NE(Line(n)->recordIndex, 4);
        EXPECT_NE(Line(n)->recordIndex, 10);
    }
    EXPECT_FALSE(SeparatorBefore(5));  // follows the layer-1 record of A
    EXPECT_EQ(m_table.Line(m_table.LineCount() - 1)->recordIndex, 9);
}

TEST_F(RecordLayout, RecordsWithoutBlockTakeOneFullWidthLine) {
    Open(LogBytes()
             .FrameWithFcs('R', 0, kRrFrame)   // B, two rows
             .Raw({0x00, 0x11})                // noise: a warning record
             .FrameWithFcs('R', 10, kRrFrame)  // B after the warning
             .Record('R', 1, 20, kRrFrame)     // D, two rows: none in column D's row
             .Raw({0x22})
             .Record('T', 9, 30, {0x34}));
    ASSERT_EQ(Convert(), kStatusDone);
    std::vector<uint32_t> warnings;
    for (uint32_t r = 0; r < m_converter->LineCount(); ++r) {
        if ((Record(r)->Flags & kRecordWarning) != 0) {
            warnings.push_back(r);
        }
    }
    ASSERT_EQ(warnings.size(), 2u);
    for (uint32_t r : warnings) {
        const MessageRecord* record = Record(r);
        EXPECT_EQ(record->Block, kNoBlock);
        const DisplayLine* line = FirstLine(r);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->groupSize, 1);
        EXPECT_EQ(line->groupOffset, 0);
        EXPECT_EQ(line->recordIndex, static_cast<int32_t>(r));
        EXPECT_EQ(line->colorClass, kClassWarning);
        EXPECT_EQ(line->parts[0].count, line->cellCount);
        EXPECT_EQ(Utf8(m_table.TextOf(line)), Utf8(record->TextView()));
        EXPECT_FALSE(SeparatorBefore(r + 1));  // a block record after it
    }
    // The B record has a row for column B; the D record none for column D.
    EXPECT_TRUE(SeparatorBefore(warnings[0]));
    EXPECT_FALSE(SeparatorBefore(warnings[1]));
}

TEST_F(RecordLayout, TheSecondLayoutWritesTheSecondRowSlot) {
    m_para.Flag[1] |= kFlag1SecondRowSlot;
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    for (uint32_t r = 0; r < m_converter->LineCount(); ++r) {
        EXPECT_EQ(Record(r)->RowSlot[0], -1);
        const DisplayLine* line = m_table.Line(Record(r)->RowSlot[1]);
        ASSERT_NE(line, nullptr) << r;
        EXPECT_EQ(line->recordIndex, static_cast<int32_t>(r));
        EXPECT_EQ(line->groupOffset, 0);
        EXPECT_EQ(m_table.FirstLineOf(Record(r)), line);
    }
}

TEST_F(RecordLayout, ARedeliveryLaysOutTheSameLines) {
    Open(MixedLog());
    ASSERT_EQ(Convert(), kStatusDone);
    std::vector<std::tuple<int32_t, int32_t, uint16_t, uint16_t>> first;
    for (int32_t n = 0; n < m_table.LineCount(); ++n) {
        first.emplace_back(Line(n)->recordIndex, Line(n)->colorClass, Line(n)->cellCount,
                           Line(n)->groupOffset);
    }
    ASSERT_EQ(Redeliver(), kStatusDone);
    ASSERT_EQ(m_table.LineCount(), static_cast<int32_t>(first.size()));
    for (int32_t n = 0; n < m_table.LineCount(); ++n) {
        EXPECT_EQ(first[n], std::make_tuple(Line(n)->recordIndex, Line(n)->colorClass,
                                            Line(n)->cellCount, Line(n)->groupOffset))
            << n;
    }
}

TEST_F(RecordLayout, SmallPresetsGrowDuringTheConversion) {
    LogBytes log;
    for (uint32_t i = 0; i < 3000; ++i) {
        log.FrameWithFcs(i % 2 != 0 ? 'R' : 'T', i * 10, i % 3 != 0 ? kRrFrame : kSetupFrame);
    }
    Open(log);
    ASSERT_EQ(Convert(), kStatusDone);
    const int32_t expected = m_table.LineCount();
    m_table.FreeText();
    ASSERT_TRUE(m_table.PresetCapacities(1, 1));
    m_para.Flag[1] |= kFlag1Redeliver;
    ASSERT_EQ(Convert(), kStatusDone);
    EXPECT_EQ(m_table.LineCount(), expected);
    EXPECT_GE(m_table.TableCapacity(), static_cast<uint32_t>(expected));
    for (uint32_t r = 1; r < m_converter->LineCount(); r += 101) {
        EXPECT_EQ(Utf8(m_table.TextOf(FirstLine(r))),
                  Utf8(Record(r)->TextView().substr(0, Record(r)->TextView().find(u'\n'))));
    }
}

TEST_F(RecordLayout, AFailedAppendEndsTheConversionOutOfMemory) {
    Open(MixedLog());
    fault::FailNthAllocation(1);  // the table's first block
    EXPECT_EQ(Convert(), kLayoutOutOfMemory);
    EXPECT_EQ(m_converter->LineCount(), 1u);  // the title record was stored, not laid out
    EXPECT_EQ(m_table.LineCount(), 0);
}

TEST_F(RecordLayout, MissingTableOrRecordStopsThePass) {
    Open(MixedLog());
    MessageRecord* record = m_converter->AppendRecord(u"x");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(LayoutRecord(m_converter.get(), record, nullptr), -1);
    EXPECT_EQ(LayoutRecord(m_converter.get(), nullptr, &m_table), -1);
    EXPECT_EQ(LayoutRecord(nullptr, record, &m_table), -1);
}

}  // namespace
}  // namespace tessary::test
