// The display line table: cutting texts into lines, cells, block parts, sizing, growth,
// allocation failures and the release trace.
#include <string>
#include <vector>

#include "DisplayTestSupport.h"
#include "display/LineCells.h"
#include "platform/Granule.h"
#include "platform/Trace.h"
#include "platform/Width.h"

namespace tessary::test {
namespace {

// `head`, then the release time "%u.%03u" and a line end.
bool IsTimedTrace(const std::string& trace, const std::string& head) {
    if (trace.rfind(head, 0) != 0 || trace.size() < head.size() + 6 || trace.back() != '\n') {
        return false;
    }
    const std::string time = trace.substr(head.size(), trace.size() - head.size() - 1);
    const size_t dot = time.find('.');
    if (dot == std::string::npos || dot == 0 || time.size() - dot - 1 != 3) {
        return false;
    }
    for (size_t i = 0; i < time.size(); ++i) {
        if (i != dot && (time[i] < '0' || time[i] > '9')) {
            return false;
        }
    }
    return true;
}

bool PartIs(const DisplayLine* line, int block, uint16_t start, uint16_t count) {
    return line->parts[block].start == start && line->parts[block].count == count;
}

using LineCutting = LineTableTest;

TEST_F(LineCutting, CrLfAndAFinalLfGiveTwoLinesWithOnlyTheFirstInTheNegativeClass) {
    MessageRecord* record = Put(u"a\r\nb\n", 2);
    ASSERT_EQ(Add(record, 5, 2, -4), 2);
    ASSERT_EQ(m_table.LineCount(), 2);
    EXPECT_EQ(Text(0), "a");
    EXPECT_EQ(Text(1), "b");
    for (int32_t n = 0; n < 2; ++n) {
        const DisplayLine* line = m_table.Line(n);
        EXPECT_EQ(line->lineNumber, n);
        EXPECT_EQ(line->recordIndex, -1);
        EXPECT_EQ(line->cellCount, 1);
        EXPECT_TRUE(PartIs(line, 2, 0, 1));
        EXPECT_TRUE(PartIs(line, 0, 0, 0));
        EXPECT_TRUE(PartIs(line, 1, 0, 0));
        EXPECT_TRUE(PartIs(line, 3, 0, 0));
    }
    EXPECT_EQ(m_table.Line(0)->colorClass, 4);
    EXPECT_EQ(m_table.Line(1)->colorClass, 1);
    // The CR was cut off, not turned into a '?'.
    EXPECT_EQ(RecordText(m_converter->Record(record->Index)), "a\r\nb\n");
}

TEST_F(LineCutting, PositiveClassColoursEveryLineAndTheLengthLimitsTheCut) {
    ASSERT_EQ(Add(Put(u"one\ntwo\nthree", 0), 7, 0, 3), 2);
    EXPECT_EQ(Text(0), "one");
    EXPECT_EQ(Text(1), "two");
    EXPECT_EQ(m_table.Line(0)->colorClass, 3);
    EXPECT_EQ(m_table.Line(1)->colorClass, 3);
    EXPECT_EQ(m_table.Line(1)->textOffset - m_table.Line(0)->textOffset, 8);  // "one\n" in bytes
}

TEST_F(LineCutting, EmptyTextGivesOneEmptyLineAndNoTextGivesASeparator) {
    ASSERT_EQ(Add(Put(u"", 1), 3, 1, 1), 1);
    EXPECT_EQ(m_table.Line(0)->textLength, 0);
    EXPECT_NE(int64_t{m_table.Line(0)->textOffset}, 0);
    EXPECT_TRUE(PartIs(m_table.Line(0), 1, 0, 0));

    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, kNoBlock, 1), 2);
    const DisplayLine* separator = m_table.Line(1);
    EXPECT_EQ(int64_t{separator->textOffset}, 0);
    EXPECT_EQ(separator->cellCount, 0);
    EXPECT_EQ(separator->recordIndex, -1);
    EXPECT_TRUE(m_table.TextOf(separator).empty());
}

TEST_F(LineCutting, TitleTextIsOneLineWhosePartsAreTheFourTitles) {
    std::u16string title = u"Ａ  TX\nB2\n\nD4 x\n";
    title.append(20, u' ');
    ASSERT_EQ(Add(Put(title, kNoBlock), 0, kNoBlock, 0), 1);
    const DisplayLine* line = m_table.Line(0);
    EXPECT_EQ(line->textLength, title.size());
    EXPECT_EQ(line->colorClass, 0);
    EXPECT_EQ(line->cellCount, 36);  // Ａ counts two; the four LFs one each
    EXPECT_TRUE(PartIs(line, 0, 0, 6));
    EXPECT_TRUE(PartIs(line, 1, 7, 2));
    EXPECT_TRUE(PartIs(line, 2, 10, 0));
    EXPECT_TRUE(PartIs(line, 3, 11, 4));
    // The padding after the fourth LF belongs to no part, and the title row sets no width.
    EXPECT_EQ(m_table.MaximumCells(), 0);
}

TEST_F(LineCutting, FewerThanFourLineFeedsLeaveTheRestAsTheNextPart) {
    ASSERT_EQ(Add(Put(u"ab\ncd", kNoBlock), 0, kNoBlock, 2), 1);
    const DisplayLine* line = m_table.Line(0);
    EXPECT_EQ(Text(0), "ab\ncd");  // the LF stays a LF in the text
    EXPECT_TRUE(PartIs(line, 0, 0, 2));
    EXPECT_TRUE(PartIs(line, 1, 3, 2));
    EXPECT_TRUE(PartIs(line, 2, 0, 0));
    EXPECT_TRUE(PartIs(line, 3, 0, 0));
}

TEST_F(LineCutting, LinesOfMoreThan8191CharactersAreRefused) {
    ASSERT_EQ(Add(Put(std::u16string(8191, u'x')), 0, 0, 1), 1);
    ASSERT_EQ(Add(Put(std::u16string(8191, u'y')), 0, 0, 1), 2);
    EXPECT_EQ(m_table.MaximumCells(), 8191);
    SetLastError(0);
    EXPECT_EQ(Add(Put(std::u16string(8192, u'z')), 8192, 0, 1), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_EQ(m_table.LineCount(), 2);
}

TEST_F(LineCutting, RefusesTextsOutsideTheStoreAndLinesOfAnotherConverter) {
    std::u16string outside = u"abc";
    SetLastError(0);
    EXPECT_EQ(m_table.AddLines(m_converter.get(), outside.data(), 3, 0, 1), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_EQ(m_table.AddLines(nullptr, nullptr, 0, 0, 1), 0);
    ASSERT_EQ(Add(Put(u"abc"), 3, 0, 1), 1);

    TempDir other;
    LogBytes().Record('T', 9, 0, {0x34}).WriteTo(other.File("other.dat"));
    CTessaryCan second(other.File("other.dat"), &m_para);
    MessageRecord* record = second.AppendRecord(u"x");
    ASSERT_NE(record, nullptr);
    SetLastError(0);
    EXPECT_EQ(m_table.AddLines(&second, record->Text(), 1, 0, 1), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_EQ(m_table.LineCount(), 1);
}

using LineCells = LineTableTest;

TEST_F(LineCells, DoubleWidthCharacterTakesALeftAndARightHalfCell) {
    ASSERT_EQ(Add(Put(u"aＡb"), 3, 0, 1), 1);
    EXPECT_EQ(CellVector(m_table.Line(0)), (std::vector<uint16_t>{0, 0x4001, 0x8001, 2}));
    EXPECT_TRUE(PartIs(m_table.Line(0), 0, 0, 4));
}

TEST_F(LineCells, CharactersWithoutWidthBecomeQuestionMarksInTheStoreItself) {
    ASSERT_EQ(CharWidth(u'\u0E01'), 0);  // Thai: not in code page 932
    const std::u16string text = u"x\u0001y\u0E01z\tq\U0001F600";
    MessageRecord* record = Put(text);
    ASSERT_EQ(Add(record, text.size(), 0, 1), 1);
    EXPECT_EQ(RecordText(m_converter->Record(record->Index)), "x?y?z?q??");
    EXPECT_EQ(CellVector(m_table.Line(0)), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

using TableSizing = LineTableTest;

LogBytes LogOf(size_t records, InsLogHeader header = DefaultHeader()) {
    LogBytes log(header);
    for (size_t i = 0; i < records; ++i) {
        log.Record('T', 9, static_cast<uint32_t>(i), std::vector<uint8_t>(200, 0x34));
    }
    return log;
}

// The stated sizes for the two allocation granules: 4 KiB pages, and the 64 KiB of Windows.
uint64_t ByGranule(uint64_t at4k, uint64_t at64k) {
    EXPECT_TRUE(AllocationGranule() == 4096 || AllocationGranule() == 65536);
    return AllocationGranule() == 4096 ? at4k : at64k;
}

TEST_F(TableSizing, CapacitiesAreEstimatedFromTheDataByteCount) {
    Open(LogOf(300));
    ASSERT_EQ(m_converter->DataSize(), 300u * 209);
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 1);
    // One line: an entry per 6 data bytes (10450 of 8 bytes) and 25 buffer bytes per data byte
    // plus 2108, each rounded up to the granule.
    EXPECT_EQ(m_table.TableCapacity(), ByGranule(10752, 16384));
    EXPECT_EQ(m_table.BufferCapacity(), 1572864u);

    InsLogHeader bulk = DefaultHeader();
    bulk.dataKind = kDataKindIns64Bulk;
    Open(LogOf(300, bulk));
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 1);
    // Two lines in one file: an entry per 12 data bytes, 13 buffer bytes per data byte.
    EXPECT_EQ(m_table.TableCapacity(), ByGranule(5632, 8192));
    EXPECT_EQ(m_table.BufferCapacity(), ByGranule(819200, 851968));

    bulk.boardKind = 0x0003;  // INS-Net 1500: one line per log after all
    Open(LogOf(300, bulk));
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 1);
    EXPECT_EQ(m_table.TableCapacity(), ByGranule(10752, 16384));
}

TEST_F(TableSizing, ALogOfAFewBytesStillGetsATable) {
    Open(LogBytes().Raw({1, 2, 3, 4, 5}));
    ASSERT_EQ(m_converter->DataSize(), 5u);
    ASSERT_EQ(Add(Put(u"abc"), 3, 0, 1), 1);
    EXPECT_EQ(m_table.TableCapacity(), ByGranule(512, 8192));  // one granule of entries
}

TEST_F(TableSizing, PresetsAreTakenOnlyBeforeTheFirstUseAndFreeTextClearsThem) {
    ASSERT_TRUE(m_table.PresetCapacities(100, 5000));
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 1);
    EXPECT_EQ(m_table.TableCapacity(), ByGranule(512, 8192));
    EXPECT_EQ(m_table.BufferCapacity(), ByGranule(8192, 65536));
    EXPECT_FALSE(m_table.PresetCapacities(1, 1));
    m_table.FreeText();
    EXPECT_EQ(m_table.TableCapacity(), 0u);
    EXPECT_EQ(m_table.BufferCapacity(), 0u);
    EXPECT_TRUE(m_table.PresetCapacities(1, 1));
}

using TableGrowth = LineTableTest;

TEST_F(TableGrowth, SmallPresetsGrowInGranulesAndKeepEveryLine) {
    ASSERT_TRUE(m_table.PresetCapacities(1, 1));
    const int32_t count = 3000;
    uint64_t used = 0;
    for (int32_t i = 0; i < count; ++i) {
        const std::u16string text = Utf16("line " + std::to_string(i));
        ASSERT_EQ(Add(Put(text), 0, 0, 1), i + 1);
        used += DisplayLineSize(text.size());
    }
    EXPECT_EQ(m_table.BufferUsed(), used);
    EXPECT_GE(m_table.TableCapacity(), static_cast<uint32_t>(count));
    EXPECT_EQ(8 * uint64_t{m_table.TableCapacity()} % AllocationGranule(), 0u);
    EXPECT_EQ(m_table.BufferCapacity() % AllocationGranule(), 0u);
    for (int32_t i = 0; i < count; i += 97) {
        EXPECT_EQ(Text(i), "line " + std::to_string(i));
        EXPECT_EQ(m_table.Line(i)->lineNumber, i);
    }
}

TEST_F(TableGrowth, AnEntryLargerThanOneGrowthStepStillFits) {
    ASSERT_TRUE(m_table.PresetCapacities(1, 1));
    ASSERT_EQ(Add(Put(u"a"), 0, 0, 1), 1);
    ASSERT_EQ(Add(Put(std::u16string(8191, u'w')), 0, 0, 1), 2);
    EXPECT_GE(m_table.BufferCapacity(), DisplayLineSize(1) + DisplayLineSize(8191));
    EXPECT_EQ(Text(1), std::string(8191, 'w'));
}

using TableFaults = LineTableTest;

TEST_F(TableFaults, FailedBufferGrowthAddsNothingAndKeepsTheLines) {
    ASSERT_TRUE(m_table.PresetCapacities(1, 1));
    int32_t lines = 0;
    while (m_table.BufferUsed() + DisplayLineSize(5) <= m_table.BufferCapacity() || lines == 0) {
        ASSERT_EQ(Add(Put(u"entry"), 0, 0, 1), ++lines);
    }
    const uint64_t used = m_table.BufferUsed();
    MessageRecord* record = Put(u"entry");  // before arming: the store must not take the fault
    fault::FailNthAllocation(1);
    SetLastError(0);
    EXPECT_EQ(Add(record, 0, 0, 1), 0);
    EXPECT_EQ(GetLastError(), kErrorNotEnoughMemory);
    EXPECT_EQ(m_table.LineCount(), lines);
    EXPECT_EQ(m_table.BufferUsed(), used);
    EXPECT_EQ(Text(lines - 1), "entry");
    fault::Reset();
    EXPECT_EQ(Add(Put(u"after"), 0, 0, 1), lines + 1);
    EXPECT_EQ(Text(lines), "after");
}

TEST_F(TableFaults, FailedTableGrowthAddsNothing) {
    ASSERT_TRUE(m_table.PresetCapacities(1, 1 << 20));
    const auto capacity = static_cast<int32_t>(AllocationGranule() / 8);
    for (int32_t i = 0; i < capacity; ++i) {
        ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), i + 1);
    }
    ASSERT_EQ(m_table.TableCapacity(), static_cast<uint32_t>(capacity));
    fault::FailNthAllocation(1);
    EXPECT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 0);
    EXPECT_EQ(GetLastError(), kErrorNotEnoughMemory);
    EXPECT_EQ(m_table.LineCount(), capacity);
    EXPECT_EQ(m_table.BufferUsed(), DisplayLineSize(0) * capacity);
    fault::Reset();
    EXPECT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), capacity + 1);
}

TEST_F(TableFaults, FailedCreationLeavesNoBlocksAndTheNextUseRetries) {
    for (int n : {1, 2}) {  // the table, then the buffer
        MessageRecord* record = Put(u"abc");
        fault::FailNthAllocation(n);
        SetLastError(0);
        EXPECT_EQ(Add(record, 3, 0, 1), 0) << n;
        EXPECT_EQ(GetLastError(), kErrorNotEnoughMemory);
        EXPECT_EQ(m_table.LineCount(), 0);
        EXPECT_EQ(m_table.TableCapacity(), 0u);
        EXPECT_EQ(m_table.BufferCapacity(), 0u);
    }
    fault::Reset();
    EXPECT_EQ(Add(Put(u"abc"), 3, 0, 1), 1);
}

TEST_F(LineTableTest, FreeTextTracesCountsAndCapacitiesWithThousandsSeparators) {
    std::vector<std::string> traces;
    SetTraceSink([&](std::u16string_view line) { traces.push_back(Utf8(line)); });
    ASSERT_TRUE(m_table.PresetCapacities(16384, 1048576));
    ASSERT_EQ(m_table.AddLines(m_converter.get(), nullptr, 0, 0, 1), 1);
    ASSERT_EQ(AddRecord(u"abc", 0), 1);
    m_table.SelectLine(m_table.Line(1));
    ASSERT_NE(m_table.SelectionLine(), nullptr);
    m_table.FreeText();
    m_table.FreeText();  // nothing left to release
    SetTraceSink({});

    ASSERT_EQ(traces.size(), 2u);
    EXPECT_TRUE(IsTimedTrace(traces[0], "ZrTessaryView: CPaneFrame::FreeText(2 / 16,384) TblCnt "))
        << traces[0];
    EXPECT_TRUE(
        IsTimedTrace(traces[1], "ZrTessaryView: CPaneFrame::FreeText(100 / 1,048,576) LineBuff "))
        << traces[1];
    EXPECT_EQ(m_table.LineCount(), 0);
    EXPECT_EQ(m_table.Line(0), nullptr);
    EXPECT_EQ(m_table.BufferUsed(), 0u);
    EXPECT_EQ(m_table.MaximumCells(), 0);
    EXPECT_EQ(m_table.Converter(), nullptr);
    EXPECT_EQ(m_table.SelectionLine(), nullptr);
}

}  // namespace
}  // namespace tessary::test
