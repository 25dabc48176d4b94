// The converter's records: title, layer-1 status, frames around the decoder, warnings, IDs.
#include <gtest/gtest.h>

#include "TessaryCanTestSupport.h"
#include "decode/Fcs16.h"
#include "decode/RecordText.h"

namespace tessary::test {
namespace {

std::vector<uint8_t> Bytes(size_t n, uint8_t first = 0) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

std::string Hex(const std::vector<uint8_t>& bytes, size_t from = 0) {
    return Utf8(HexRows(bytes.data() + from, bytes.size() - from, u"\n"));
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The text ends with LF and then `rows`.
bool EndsWithRows(const std::string& text, const std::string& rows) {
    return text.size() > rows.size() && EndsWith(text, rows) &&
           text[text.size() - rows.size() - 1] == '\n';
}

using ConverterRecords = ConverterTest;

TEST_F(ConverterRecords, TitleRecordHoldsTheFourTitlesPaddedTo515) {
    auto converter = Open(LogBytes().Record('T', 9, 0, {0x34}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    ASSERT_EQ(converter->LineCount(), 2u);
    const MessageRecord* title = converter->Record(0);
    std::u16string expected = u"Ａ  TX  局 ←\nＢ  RX  局 →\nＣ  TX  ← 端末\nＤ  RX  → 端末\n";
    expected.append(kTitleRecordWidth - expected.size(), u' ');
    EXPECT_EQ(title->TextView(), expected);
    EXPECT_EQ(title->Index, 0u);
    EXPECT_EQ(title->Block, kNoBlock);
    EXPECT_EQ(title->Layer, kNoLayer);
    EXPECT_EQ(title->Id, 0u);
    EXPECT_EQ(title->Flags, 0);
    EXPECT_EQ(title->RowSlot[0], -1);
    EXPECT_EQ(title->RowSlot[1], -1);
    EXPECT_EQ(probe.indices, (std::vector<uint32_t>{0, 1}));
}

TEST_F(ConverterRecords, EmptyTitlesGiveFourLineFeedsAnd511Spaces) {
    for (auto& definition : m_para.BlockDef) {
        CopyToSlot(definition, u";;0");
    }
    auto converter = Open(LogBytes().Record('T', 9, 0, {}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    EXPECT_EQ(converter->Record(0)->TextView(), u"\n\n\n\n" + std::u16string(511, u' '));
}

TEST_F(ConverterRecords, Layer1RecordTextAndFields) {
    auto converter = Open(LogBytes()
                              .Record('T', 9, 1000, {0x34})
                              .Record('T', 9, 1250, {0x34, 0x12})
                              .Record('T', 9, 1300, {0x99})
                              .Record('T', 9, 1400, {}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    ASSERT_EQ(converter->LineCount(), 5u);
    EXPECT_EQ(Text(*converter, 1), HeaderRow(0, 9) + "LY1=34=後位含め全ok");
    EXPECT_EQ(Text(*converter, 2), HeaderRow(1, 9) + "LY1=34 12=後位含め全ok");
    EXPECT_EQ(Text(*converter, 3), HeaderRow(2, 9) + "LY1=99=");
    EXPECT_EQ(Text(*converter, 4), HeaderRow(3, 9) + "LY1=");

    const MessageRecord* second = converter->Record(2);
    EXPECT_EQ(second->Index, 2u);
    EXPECT_EQ(second->DataPos, 10u);  // after the first record: 9 + 1 bytes
    EXPECT_EQ(second->Id, 1u);
    EXPECT_EQ(second->Time, 250);
    EXPECT_EQ(second->Block, 0);
    EXPECT_EQ(second->Layer, kLayerStatus);
    EXPECT_EQ(second->Code, 0);
    EXPECT_EQ(second->CallRef, 0);
    EXPECT_EQ(second->Flags, 0);
    EXPECT_EQ(second->FlagWord(), 0x00000000u);
    EXPECT_EQ(converter->Record(4)->Time, 400);
}

TEST_F(ConverterRecords, Layer1ContinuationRowsStartUnderTheFirstByte) {
    const std::vector<uint8_t> data = Bytes(20, 0x30);
    auto converter = Open(LogBytes().Record('T', 9, 0, data));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    // "ID=0000000 TM=<24> 種=9 LY1=" is 47 columns wide: 種 counts two.
    const std::string indent(47, ' ');
    EXPECT_EQ(Text(*converter, 1), HeaderRow(0, 9) +
                                       "LY1=30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F\n" +
                                       indent + "40 41 42 43=");
}

TEST_F(ConverterRecords, Ins1500LogsUseTheirOwnLegend) {
    InsLogHeader header = DefaultHeader();
    header.boardKind = 0x0013;
    auto converter = Open(LogBytes(header).Record('T', 9, 0, {0x44}).Record('T', 9, 0, {0x34}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    EXPECT_EQ(Text(*converter, 1), HeaderRow(0, 9) + "LY1=44=後位含め全ok");
    EXPECT_EQ(Text(*converter, 2), HeaderRow(1, 9) + "LY1=34=");
}

TEST_F(ConverterRecords, WholeLegendCarriesTheLineLabelOfBulkLogs) {
    auto single = Open(LogBytes().Record('T', 9, 0, {0x34}));
    EXPECT_EQ(Utf8(single->LY1Legend(-1)),
              "64:LY1一覧：34=後位含め全ok 74=後位NG、自端末にて局ok  "
              "00=局も端末もNGか呼毎起動待機 10=後位が起動要求 50=自端末が起動要求");
    EXPECT_EQ(Utf8(single->LY1Legend(0x10)), "後位が起動要求 ");
    EXPECT_EQ(Utf8(single->LY1Legend(0x11)), "");
    single.reset();

    InsLogHeader header = DefaultHeader();
    header.dataKind = kDataKindIns64Bulk;
    auto bulk = Open(LogBytes(header).Record('T', 9, 0, {0x34}));
    const std::pair<uint8_t, const char*> labels[] = {{0x00, "64[1]:LY1一覧："},
                                                      {0x04, "64[2]:LY1一覧："},
                                                      {0x08, "64[全]:LY1一覧："},
                                                      {0x0C, "64:LY1一覧："}};
    for (auto [bits, start] : labels) {
        m_para.Flag[0] = bits;
        EXPECT_EQ(Utf8(bulk->LY1Legend(-1)).rfind(start, 0), 0u) << start;
    }
    bulk.reset();

    header.boardKind = 0x0003;
    auto ins1500 = Open(LogBytes(header).Record('T', 9, 0, {0x34}));
    EXPECT_EQ(Utf8(ins1500->LY1Legend(-1)),
              "1500:LY1一覧：44=後位含め全ok 04=後位NG、自端末にて局ok  00=局も端末もNG "
              "03=局が端末NGの警告 30=端末が局NGの警告");
}

TEST_F(ConverterRecords, BlocksFollowDirectionAndKind) {
    InsLogHeader header = DefaultHeader();
    header.dataKind = kDataKindIns64Bulk;
    LogBytes bulk(header);
    bulk.FrameWithFcs('T', 0, {0x00, 0x01, 0x01, 0x02}, true)  // C
        .FrameWithFcs('R', 0, {0x00, 0x01, 0x01, 0x02}, true)  // B
        .Record('T', 3, 0, {0x02, 0x01, 0x01, 0x02})           // A
        .Record('r', 8, 0, {0x02, 0x01, 0x01, 0x02})           // D (second line)
        .Record('t', 9, 0, {0x34});                            // A
    m_para.Flag[0] = 0x08;
    auto converter = Open(bulk);
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    ASSERT_EQ(converter->LineCount(), 6u);
    const uint8_t blocks[] = {2, 1, 0, 3, 0};
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(converter->Record(i + 1)->Block, blocks[i]) << i;
        EXPECT_EQ(converter->Record(i + 1)->Id, i);
    }
}

TEST_F(ConverterRecords, CrcErrorShowsTheMarkAndAllBytes) {
    const std::vector<uint8_t> frame = {0x00, 0x01, 0x01, 0x02};
    auto converter =
        Open(LogBytes().FrameWithFcs('R', 0, frame, true).Record('R', 0, 0, {0x02, 0x01}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    ASSERT_EQ(converter->LineCount(), 3u);

    std::vector<uint8_t> sent = frame;
    uint16_t fcs = Fcs16(frame.data(), frame.size()) ^ 0x0100;
    sent.push_back(static_cast<uint8_t>(fcs));
    sent.push_back(static_cast<uint8_t>(fcs >> 8));
    EXPECT_EQ(Text(*converter, 1), HeaderRow(0, 0) + "CRCエラー\n" + Hex(sent));
    const MessageRecord* bad = converter->Record(1);
    EXPECT_EQ(bad->Block, 1);
    EXPECT_EQ(bad->Layer, kNoLayer);
    EXPECT_EQ(bad->Flags, kRecordError);
    EXPECT_EQ(bad->FlagWord(), 0xFF010002u);

    // Two bytes cannot hold a frame and its check sequence.
    EXPECT_EQ(Text(*converter, 2), HeaderRow(1, 0) + "CRCエラー\n02 01");
    EXPECT_EQ(converter->Record(2)->Flags, kRecordError);
}

TEST_F(ConverterRecords, RightCheckSequenceReachesTheDecoderAndEndsWithTheHexRows) {
    const std::vector<uint8_t> frame = {0x02, 0x01, 0x01, 0x05};
    auto converter = Open(LogBytes().FrameWithFcs('T', 0, frame));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    const std::string text = Text(*converter, 1);
    std::vector<uint8_t> sent = frame;
    const uint16_t fcs = Fcs16(frame.data(), frame.size());
    sent.push_back(static_cast<uint8_t>(fcs));
    sent.push_back(static_cast<uint8_t>(fcs >> 8));
    EXPECT_EQ(text.rfind(HeaderRow(0, 0), 0), 0u);
    EXPECT_EQ(text.find("CRCエラー"), std::string::npos);
    EXPECT_TRUE(EndsWithRows(text, Hex(sent))) << text;
    EXPECT_EQ(converter->Record(1)->Flags & kRecordError, 0);
    EXPECT_EQ(converter->Record(1)->Block, 2);
}

TEST_F(ConverterRecords, PrefixByteIsLeftOutOfCheckAndHexRows) {
    const std::vector<uint8_t> frame = {0x02, 0x01, 0x01, 0x05};
    std::vector<uint8_t> payload = {0x01};
    payload.insert(payload.end(), frame.begin(), frame.end());
    const uint16_t fcs = Fcs16(frame.data(), frame.size());
    payload.push_back(static_cast<uint8_t>(fcs));
    payload.push_back(static_cast<uint8_t>(fcs >> 8));
    auto converter =
        Open(LogBytes().Record('R', 0, 0, payload).Record('R', 2, 0, {0x01, 0x02, 0x03}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    const std::string checked = Text(*converter, 1);
    EXPECT_EQ(checked.find("CRCエラー"), std::string::npos) << checked;
    EXPECT_TRUE(EndsWithRows(checked, Hex(payload, 1))) << checked;
    EXPECT_TRUE(EndsWith(Text(*converter, 2), "\n02 03")) << Text(*converter, 2);
}

TEST_F(ConverterRecords, KindFiveIsMarkedAsDirectThrough) {
    const std::vector<uint8_t> frame = Bytes(18, 0x02);
    auto converter = Open(LogBytes().Record('T', 5, 0, frame));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    const std::string text = Text(*converter, 1);
    EXPECT_TRUE(EndsWithRows(text, Hex(frame) + "・・・ 未定義ﾀﾞｲﾚｸﾄｽﾙｰ送出")) << text;
    EXPECT_EQ(converter->Record(1)->Flags & kRecordDirectThrough, kRecordDirectThrough);
    EXPECT_EQ(converter->Record(1)->Block, 0);
}

TEST_F(ConverterRecords, LongKindZeroBecomesKindSixWithoutCheck) {
    const std::vector<uint8_t> frame = Bytes(265, 0x02);
    auto converter = Open(LogBytes().Record('R', 0, 0, frame).Record('R', 0, 0, Bytes(264)));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    ASSERT_EQ(converter->LineCount(), 3u);
    const std::string text = Text(*converter, 1);
    EXPECT_EQ(text.rfind(HeaderRow(0, 6), 0), 0u) << text;
    EXPECT_EQ(text.find("CRCエラー"), std::string::npos);
    EXPECT_TRUE(EndsWithRows(text, Hex(frame)));
    EXPECT_EQ(converter->Record(1)->Block, 3);  // 'R' with kind 6
    // 264 bytes stay kind 0 and are checked.
    EXPECT_EQ(Text(*converter, 2).rfind(HeaderRow(1, 0) + "CRCエラー\n", 0), 0u);
}

TEST_F(ConverterRecords, ReceiveStatusRecordEndsWithNoBlock) {
    auto converter = Open(
        LogBytes().Record('T', 9, 0, {0x34}).Record('R', 9, 5, {0x34}).Record('T', 9, 9, {0x34}));
    LineProbe probe;
    EXPECT_EQ(RunPass(*converter, probe), kStatusNoBlock);
    EXPECT_EQ(converter->LineCount(), 2u);
    EXPECT_EQ(converter->IdCounter(), 1u);
    EXPECT_EQ(converter->RecordPosition(), 10u);  // the record without a block
    EXPECT_EQ(Text(*converter, 1), HeaderRow(0, 9) + "LY1=34=後位含め全ok");
}

TEST_F(ConverterRecords, WarningRecordCarriesTheNextIdAndTheMask) {
    auto converter = Open(LogBytes()
                              .Record('T', 9, 0, {0x34})
                              .Raw({0x11, 0x22})
                              .Record('T', 9, 7, {0x34})
                              .Raw({0xFF, 0x52, 0x0A})  // a mark that opens no record
                              .Record('T', 9, 9, {0x34}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    ASSERT_EQ(converter->LineCount(), 6u);
    const MessageRecord* noise = converter->Record(2);
    EXPECT_EQ(Text(*converter, 2).rfind("ID=0000001 Warning=1 FilePos=", 0), 0u)
        << Text(*converter, 2);
    EXPECT_EQ(noise->Id, 1u);
    EXPECT_EQ(noise->Flags, kRecordWarning);
    EXPECT_EQ(noise->Block, kNoBlock);
    EXPECT_EQ(noise->Layer, kNoLayer);
    EXPECT_EQ(noise->Code, 1);
    EXPECT_EQ(noise->DataPos, 0u);
    EXPECT_EQ(noise->Time, 0);
    EXPECT_EQ(converter->Record(3)->Id, 1u);

    const MessageRecord* skipped = converter->Record(4);
    EXPECT_EQ(Text(*converter, 4).rfind("ID=0000002 Warning=2 FilePos=", 0), 0u)
        << Text(*converter, 4);
    EXPECT_EQ(skipped->Code, 3);  // both kinds seen by now
    EXPECT_EQ(converter->Record(5)->Id, 2u);
    EXPECT_EQ(converter->WarningCounter(), 2);
    EXPECT_EQ(converter->WarningMask(), 3u);
    for (uint32_t i : {2u, 4u}) {
        const std::string text = Text(*converter, i);
        unsigned warning = 0, first = 0, second = 0, id = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), "ID=%7u Warning=%u FilePos=%8Xh(%8Xh)", &id, &warning,
                              &first, &second),
                  4)
            << text;
        EXPECT_EQ(text.size(), 49u) << text;
        EXPECT_EQ(warning, i == 2 ? 1u : 2u);
        if (i == 2) {
            EXPECT_EQ(first, 32u + 10u);   // the end of the previous record
            EXPECT_EQ(second, 32u + 12u);  // the mark found after the noise
        }
        if (i == 4) {
            EXPECT_EQ(first, 32u + 22u);  // where the search for a header began
        }
    }
}

TEST_F(ConverterRecords, IdsRollOverAfter0029999) {
    LogBytes log;
    for (int i = 0; i < 30001; ++i) {
        log.Record('T', 9, static_cast<uint32_t>(i), {});
    }
    auto converter = Open(log);
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    ASSERT_EQ(converter->LineCount(), 30002u);
    EXPECT_EQ(converter->Record(30000)->Id, 29999u);
    EXPECT_EQ(converter->Record(30001)->Id, 100000u);
    EXPECT_EQ(Text(*converter, 30001).rfind("ID=0100000 ", 0), 0u);
    EXPECT_EQ(converter->IdCounter(), 100001u);
}

TEST(RecordIds, RunInBlocksOf30000AndWrapAfter9929999) {
    EXPECT_EQ(NextRecordId(0), 1u);
    EXPECT_EQ(NextRecordId(29998), 29999u);
    EXPECT_EQ(NextRecordId(29999), 100000u);
    EXPECT_EQ(NextRecordId(129999), 200000u);
    EXPECT_EQ(NextRecordId(9929998), 9929999u);
    EXPECT_EQ(NextRecordId(9929999), 0u);
}

TEST_F(ConverterRecords, CallbackStatusAboveRunningStopsWithoutAdvancingTheId) {
    auto converter = Open(
        LogBytes().Record('T', 9, 0, {0x34}).Record('T', 9, 1, {0x34}).Record('T', 9, 2, {0x34}));
    LineProbe probe;
    probe.onLine = [](CTessaryCan*, MessageRecord* record) {
        return record->Index == 2 ? 0x777 : 0x200;
    };
    EXPECT_EQ(RunPass(*converter, probe), 0x777);
    EXPECT_EQ(converter->LineCount(), 3u);
    EXPECT_EQ(converter->IdCounter(), 1u);
    EXPECT_EQ(Text(*converter, 2), HeaderRow(1, 9) + "LY1=34=後位含め全ok");
}

TEST_F(ConverterRecords, TitleCallbackCanStopThePass) {
    auto converter = Open(LogBytes().Record('T', 9, 0, {0x34}));
    LineProbe probe;
    probe.onLine = [](CTessaryCan*, MessageRecord*) { return kStatusOutOfMemory; };
    EXPECT_EQ(RunPass(*converter, probe), kStatusOutOfMemory);
    EXPECT_EQ(converter->LineCount(), 1u);
}

TEST_F(ConverterRecords, FormatTimeRewritesInPlaceInEveryFormat) {
    auto converter =
        Open(LogBytes().Record('T', 9, 0, Bytes(20, 0x30)).Record('T', 9, 3723004, {0x34}));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    MessageRecord* record = converter->Record(2);
    const std::string tail = "種=9 LY1=34=後位含め全ok";
    // Record 2 is 1 h 2 min 3.004 s after the base, 2024/06/07 12:34:56.789.
    const std::pair<uint8_t, const char*> expected[] = {
        {0, "07/13:36:59.793 "},       {3, "2024/06/07 13:36:59.793 "}, {1, "06/07 13:36:59.793 "},
        {2, "24/06/07 13:36:59.793 "}, {3, "2024/06/07 13:36:59.793 "},
    };
    for (auto [format, time] : expected) {
        m_para.Flag[0] = format;
        const size_t length = converter->FormatTime(record);
        EXPECT_EQ(length, std::string(time).size() - 1);
        EXPECT_EQ(Utf8(record->TextView()), std::string("ID=0000001 TM=") + time + tail)
            << int(format);
    }
    // The continuation row keeps the indent it was built with.
    m_para.Flag[0] = 0;
    converter->FormatTime(converter->Record(1));
    const std::string first = Text(*converter, 1);
    EXPECT_EQ(first.rfind("ID=0000000 TM=07/12:34:56.789 種=9 LY1=30 31", 0), 0u) << first;
    EXPECT_TRUE(EndsWithRows(first, std::string(47, ' ') + "40 41 42 43=")) << first;
    // Records without a time are left alone.
    EXPECT_EQ(converter->FormatTime(converter->Record(0)), 0u);
}

}  // namespace
}  // namespace tessary::test
