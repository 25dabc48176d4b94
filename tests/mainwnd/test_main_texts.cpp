// Texts of the selection group, the status panes, the legend tooltip, the header notes and the
// LAPD detail line.
#include <gtest/gtest.h>

#include <string>

#include "logfile/CLogFileRead.h"
#include "mainwnd/MainTexts.h"
#include "platform/Calendar.h"
#include "platform/Utf.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

std::string Time(const char16_t* text) {
    return Utf8(SelectionTimeText(text));
}

TEST(SelectionTime, RunsFromTmToTheBlankAfterTheFirstColon) {
    EXPECT_EQ(Time(u"ID=0000001 TM=07/12:34:56.789 種=0 TEI=64[RR]c\n02 81"), "07/12:34:56.789");
    EXPECT_EQ(Time(u"ID=0000001 TM=06/07 12:34:56.789 種=0"), "06/07 12:34:56.789");
    EXPECT_EQ(Time(u"ID=0000001 TM=2024/06/07 12:34:56.789"), "2024/06/07 12:34:56.789");
    EXPECT_EQ(Time(u"ID=0000001 TM=24/06/07 12:34:56.789\nnext row"), "24/06/07 12:34:56.789");
}

TEST(SelectionTime, WarningRecordsShowTheirWarningAndOthersNothing) {
    EXPECT_EQ(Time(u"ID=0000002 Warning=1 FilePos=00000040h(00000050h)"), "Warning=1");
    EXPECT_EQ(Time(u"ID=0000002 Warning=2"), "Warning=2");
    EXPECT_EQ(Time(u"TM=abc\nx:y z"), "");  // no ':' in the time's own row
    EXPECT_EQ(Time(u"Ａ  TX  局 ←\n"), "");
    EXPECT_EQ(Time(u""), "");
}

TEST(StatusPanes, LineNumbersAreGroupedAndRightAligned) {
    EXPECT_EQ(Utf8(LinePaneText(1)), "            1");
    EXPECT_EQ(Utf8(LinePaneText(1234567)), "    1,234,567");
    EXPECT_EQ(Utf8(LinePaneText(1234567890)), "1,234,567,890");
    EXPECT_EQ(Utf8(IndexNumberText(123)), "0000123");
}

TEST(StatusPanes, IdSplitsIntoItsHundredThousands) {
    EXPECT_EQ(Utf8(IdPaneText(129999)), " 01 29999");
    EXPECT_EQ(Utf8(IdPaneText(0)), " 00 00000");
    EXPECT_EQ(Utf8(IdPaneText(9929999)), " 99 29999");
    EXPECT_EQ(Utf8(WarningCountText(3)), "警告数=3");
}

TEST(StatusPanes, DateIsTheBaseTimePlusTheRecordTime) {
    int64_t base = 0;
    ASSERT_TRUE(SystemTimeToTicks(SystemTime{2024, 6, 0, 7, 23, 59, 59, 500}, base));
    EXPECT_EQ(Utf8(DatePaneText(base, 499)), " 2024/06/07");
    EXPECT_EQ(Utf8(DatePaneText(base, 500)), " 2024/06/08");
    EXPECT_EQ(Utf8(DatePaneText(base, 86400000LL * 300)), " 2025/04/03");
    EXPECT_EQ(Utf8(DatePaneText(0, 500)), "");  // no base time
    EXPECT_EQ(Utf8(DatePaneText(base, INT64_MAX)), "");
    EXPECT_EQ(Utf8(DatePaneText(base, -base / kTicksPerMs - 1)), "");
}

TEST(LegendTooltip, EachCodeStartsARowAndTheHeadingStandsAlone) {
    const std::u16string legend =
        u"64:LY1一覧：34=後位含め全ok 74=後位NG、自端末にて局ok  00=局も端末もNGか呼毎起動待機 "
        u"10=後位が起動要求 50=自端末が起動要求";
    EXPECT_EQ(Utf8(LegendTooltipText(legend)),
              "64:LY1一覧：\n\n34=後位含め全ok \n74=後位NG、自端末にて局ok  "
              "\n00=局も端末もNGか呼毎起動待機 "
              "\n10=後位が起動要求 \n50=自端末が起動要求");
    EXPECT_EQ(Utf8(LegendTooltipText(u"64[2]:LY1一覧：34=x")), "64[2]:LY1一覧：\n\n34=x");
    EXPECT_EQ(Utf8(LegendTooltipText(u"")), "");
}

// A message record with its text behind it, as in the store.
struct StoredRecord {
    MessageRecord record{};
    char16_t text[160] = {};

    StoredRecord(uint8_t layer, std::u16string_view body, uint16_t flags = 0) {
        record.Layer = layer;
        record.Flags = flags;
        std::copy(body.begin(), body.end(), text);
    }
};

std::string Detail(uint8_t layer, std::u16string_view text, uint16_t flags = 0) {
    StoredRecord stored(layer, text, flags);
    return Utf8(LapdDetailText(stored.record));
}

TEST(LapdDetail, ReadsTeiAndSequenceNumbersFromTheFirstHexRow) {
    EXPECT_EQ(Detail(kLayerMessage, u"ID=0000001 TEI=64[I]c\nB-呼設定- CR=01\n02 81 04 06 08 01"),
              "TEI=64 [ I ]： N(S)=2, N(R)=3");
    EXPECT_EQ(Detail(kLayerFrame, u"ID=0000001 TEI=64[RR]c\n02 81 01 03"), "TEI=64 [RR]： N(R)=1");
    EXPECT_EQ(Detail(kLayerFrame, u"h\n00 81 05 07"), "TEI=64 [RNR]： N(R)=3");
    EXPECT_EQ(Detail(kLayerFrame, u"h\n00 81 09 0A"), "TEI=64 [REJ]： N(R)=5");
    EXPECT_EQ(Detail(kLayerFrame, u"h\n00 80 01 03"), "TEI=不明 [RR]： N(R)=1");
    EXPECT_EQ(Detail(kLayerFrame, u"h\n02 81 7F 00"), "TEI=64 ");  // SABME: no numbers
    // The direct-through mark follows the last byte on its row.
    EXPECT_EQ(Detail(kLayerMessage, u"h\n02 81 00 00 08・・・ 未定義ﾀﾞｲﾚｸﾄｽﾙｰ送出"),
              "TEI=64 [ I ]： N(S)=0, N(R)=0");
}

TEST(LapdDetail, NothingForShortFramesOtherLayersWarningsAndErrors) {
    EXPECT_EQ(Detail(kLayerFrame, u"h\n02 81 01"), "");
    EXPECT_EQ(Detail(kLayerFrame, u"02 81 01 03"), "");  // the header row is not read
    EXPECT_EQ(Detail(kLayerStatus, u"h\n02 81 01 03"), "");
    EXPECT_EQ(Detail(kNoLayer, u"h\n02 81 01 03"), "");
    EXPECT_EQ(Detail(kLayerFrame, u"h\n02 81 01 03", kRecordError), "");
    EXPECT_EQ(Detail(kLayerFrame, u"h\n02 81 01 03", kRecordWarning), "");
}

class HeaderNotes : public ::testing::Test {
protected:
    std::string NoteOf(const LogBytes& log) {
        log.WriteTo(m_dir.File("notes.dat"));
        CLogFileRead reader(m_dir.File("notes.dat"));
        EXPECT_EQ(reader.OpenStatus(), 0);
        std::u16string pane = u"警告数=2";
        const bool added = AppendHeaderNotes(pane, reader);
        EXPECT_EQ(added, !HeaderNote(reader).empty());
        return added ? Utf8(pane) : Utf8(HeaderNote(reader));
    }
    TempDir m_dir;
};

TEST_F(HeaderNotes, LinearLogWithoutDataLength) {
    EXPECT_EQ(NoteOf(LogBytes().Record('T', 9, 0, {0x34})), "警告数=2,有効ﾃﾞｰﾀ長無");
    EXPECT_EQ(NoteOf(LogBytes().Record('T', 9, 0, {0x34}).FixDataByteCount()), "");
}

TEST_F(HeaderNotes, RingWithoutExtendedHeaderAndTimeCount) {
    InsLogHeader header = DefaultHeader();
    header.loopCount = 1;
    EXPECT_EQ(NoteOf(LogBytes(header).Record('T', 9, 0, {0x34})), "警告数=2,ﾀｲﾑｶｳﾝﾄ値無");
    header.timeCountAtStart = 5;
    EXPECT_EQ(NoteOf(LogBytes(header).Record('T', 9, 0, {0x34})), "");
}

TEST_F(HeaderNotes, RingWhoseEndDateTimeCannotBeShown) {
    InsLogHeader header = DefaultHeader();
    header.loopCount = 1;
    header.startYear = 30827;
    header.startMonth = 12;
    header.startDay = 31;
    header.extHeaderLength = 32;
    header.correctionHigh = 0xF0;  // end value bits 32-35
    EXPECT_EQ(NoteOf(LogBytes(header).ExtHeader(32, 0xFFFFFFFF).Record('T', 9, 0, {0x34})),
              "警告数=2,出力終了日時無");
    header.startYear = 2024;
    EXPECT_EQ(NoteOf(LogBytes(header).ExtHeader(32, 1000).Record('T', 9, 0, {0x34})), "");
}

TEST(HeaderNotesPane, AnEmptyPaneTakesTheNoteWithoutComma) {
    TempDir dir;
    LogBytes().Record('T', 9, 0, {0x34}).WriteTo(dir.File("a.dat"));
    CLogFileRead reader(dir.File("a.dat"));
    std::u16string pane;
    EXPECT_TRUE(AppendHeaderNotes(pane, reader));
    EXPECT_EQ(Utf8(pane), "有効ﾃﾞｰﾀ長無");
}

}  // namespace
}  // namespace tessary::test
