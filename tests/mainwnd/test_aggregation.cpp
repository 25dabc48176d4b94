#include <gtest/gtest.h>

#include <set>

#include "OpenFlowTestSupport.h"
#include "mainwnd/Aggregation.h"

namespace tessary::test {
namespace {

struct AggregationFixture : ::testing::Test {
    TempDir dir;
    MainWindowModel model;
    DisplayLineTable window;  // the aggregation window's table
    SyncPassProgress progress;

    void SetUp() override {
        ASSERT_EQ(model.flow.Open(GenerateLog(dir, "a.dat", "--seed 4 --records 200 --noise 0"),
                                  kLineAsk),
                  0);
        window.SetSource(DisplaySource{&model.para, model.conditions});
        model.para.Flag[1] |= kFlag1SecondRowSlot;  // the aggregation view
    }
    void TearDown() override { window.FreeText(); }

    // A record appended to the store after the conversion: the re-delivery pass delivers it.
    MessageRecord* Append(std::u16string_view text, uint8_t block, uint8_t layer, int32_t code,
                          int32_t callRef, uint16_t flags = 0) {
        MessageRecord* record = model.flow.Converter()->AppendRecord(text);
        EXPECT_NE(record, nullptr);
        record->Block = block;
        record->Layer = layer;
        record->Code = code;
        record->CallRef = callRef;
        record->Flags = flags;
        record->Id = 9000000 + record->Index;
        return record;
    }
    AggregationOutcome Run(AggregationContext& context) {
        context.table = &window;
        context.mainTable = &model.table;
        return RunAggregation(*model.flow.Converter(), context, progress, &progress, &model.flow);
    }
    std::vector<uint32_t> TakenIndexes() const {
        std::vector<uint32_t> indexes;
        for (int32_t n = 0; n < window.LineCount(); ++n) {
            const DisplayLine* line = window.Line(n);
            if (line->HasRecord() && line->groupOffset == 0) {
                indexes.push_back(static_cast<uint32_t>(line->recordIndex));
            }
        }
        return indexes;
    }
};

TEST(AggregationTextTest, ChannelAndCallReferenceTexts) {
    EXPECT_EQ(ChannelText(u"B-呼設定- 呼番号=着257 CH=02変更不可"), u"CH=02");
    EXPECT_EQ(ChannelText(u"x ch=7 y"), u"ch=7");
    EXPECT_EQ(ChannelText(u"CH=abc"), u"");
    EXPECT_EQ(ChannelText(u"CH=123456789012"), u"CH=123456789012");
    EXPECT_EQ(ChannelText(u"CH=1234567890123"), u"");
    EXPECT_EQ(ChannelText(u"no channel"), u"");
}

TEST_F(AggregationFixture, StartChecksNeedALayer3SetupWithAChannel) {
    RelatedCallStart start;
    EXPECT_EQ(CheckRelatedCallStart(nullptr, start),
              u"集約開始する呼設定メッセージが選択されていません。");
    const MessageRecord* frame = Append(u"ID=x TEI=64[RR]r", 0, kLayerFrame, 1, 0);
    EXPECT_EQ(CheckRelatedCallStart(frame, start),
              u"集約開始する呼設定メッセージが選択されていません。");
    const MessageRecord* connect = Append(u"A-応答- CH=01", 0, kLayerMessage, 7, 3);
    EXPECT_EQ(CheckRelatedCallStart(connect, start),
              u"集約開始する呼設定メッセージが選択されていません。");
    const std::u16string noChannel =
        u"集約開始する呼設定メッセージにチャネル情報が含まれていか、あるいはチャネル番号が特定でき"
        u"ません。";
    EXPECT_EQ(CheckRelatedCallStart(Append(u"A-呼設定- CH= x", 0, kLayerMessage, 5, 3), start),
              noChannel);
    EXPECT_EQ(
        CheckRelatedCallStart(Append(u"A-呼設定- CH=1234567890123", 0, kLayerMessage, 5, 3), start),
        noChannel);
    const MessageRecord* setup =
        Append(u"A-呼設定- 呼番号=着3 CH=01", 2, kLayerMessage, 5, 3, kRecordIncomingCall);
    EXPECT_EQ(CheckRelatedCallStart(setup, start), u"");
    EXPECT_EQ(start.callRef, u"着3");
    EXPECT_EQ(start.pattern, u"<-呼設定->|<着3>|<CH=01>");
    EXPECT_EQ(AggregationWindowTitle(AggregationKind::kRelatedCall, u"", u"", &start),
              u"関連呼情報[C]  \"<着3> | <CH=01>\"");
    EXPECT_EQ(
        AggregationWindowTitle(AggregationKind::kSearch, u"検索情報表示", u"<TEI=64>", nullptr),
        u"検索情報表示  \"<TEI=64>\"");
}

TEST_F(AggregationFixture, RelatedCallFollowsBothSidesAndEndsAtTheReusedCallReference) {
    const MessageRecord* s = Append(u"A-呼設定- 呼番号=発1 CH=01", 0, kLayerMessage, 5, 1);
    const uint32_t first = s->Index;
    Append(u"A-応答- 呼番号=発1", 1, kLayerMessage, 7, 1);  // same side: taken
    Append(u"TEI=64[RR]r", 1, kLayerFrame, 1, 0);           // same side L2: dropped
    Append(u"A-応答- 呼番号=着1", 0, kLayerMessage, 7, 1, kRecordIncomingCall);  // other flag
    Append(u"C-呼設定- 呼番号=着5 CH=01", 2, kLayerMessage, 5, 5, kRecordIncomingCall);
    Append(u"D-応答- 呼番号=着5", 3, kLayerMessage, 7, 5);                // followed ref: taken
    Append(u"D-応答- 呼番号=着6", 3, kLayerMessage, 7, 6);                // dropped
    Append(u"ID=x Warning=1", kNoBlock, kNoLayer, 1, 0, kRecordWarning);  // no block: taken
    Append(u"A-呼設定- 呼番号=発1 CH=02", 0, kLayerMessage, 5, 1);        // the call has ended
    Append(u"A-応答- 呼番号=発1 CH=01", 0, kLayerMessage, 7, 1);          // never reached
    RelatedCallStart start;
    ASSERT_EQ(CheckRelatedCallStart(s, start), u"");
    AggregationContext context;
    context.SetStart(start);
    const AggregationOutcome outcome = Run(context);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(outcome.message.empty());
    EXPECT_TRUE(context.callEnded);
    EXPECT_EQ(context.callRef, u"着5");
    EXPECT_EQ(TakenIndexes(),
              (std::vector<uint32_t>{0, first, first + 1, first + 4, first + 5, first + 7}));
    // Separators only between same-block layer-2/3 records; the main view's slot is kept.
    EXPECT_EQ(model.flow.Converter()->Record(first)->RowSlot[1], 1);
    EXPECT_GE(model.flow.Converter()->Record(first)->RowSlot[0], -1);
}

TEST_F(AggregationFixture, SearchTakesMatchesInItsBlocksAndReportsNoMatch) {
    AggregationContext context;
    context.kind = AggregationKind::kSearch;
    SearchCondition search;
    ASSERT_EQ(search.Compile(u";TEI=64;00000002", 2), 0);
    context.search = &search;
    AggregationOutcome outcome = Run(context);
    ASSERT_EQ(outcome.result, 0);
    const std::vector<uint32_t> taken = TakenIndexes();
    ASSERT_GT(taken.size(), 2u);
    EXPECT_EQ(taken[0], 0u);
    for (size_t i = 1; i < taken.size(); ++i) {
        const MessageRecord* record = model.flow.Converter()->Record(taken[i]);
        EXPECT_EQ(record->Block, 1);
        EXPECT_NE(record->TextView().find(u"TEI=64"), std::u16string_view::npos);
    }

    ASSERT_EQ(search.Compile(u";<nothing like this>;", 2), 0);
    outcome = Run(context);
    EXPECT_EQ(outcome.result, 769);
    EXPECT_EQ(outcome.message, u"検索文字列に該当するINSデータが存在していません。");
    EXPECT_EQ(window.LineCount(), 0);  // released

    model.flow.SetRunning(true);
    outcome = Run(context);
    model.flow.SetRunning(false);
    EXPECT_EQ(outcome.result, 512);
    EXPECT_EQ(outcome.message, u"ログデータ変換は、現在実行中です。");
}

}  // namespace
}  // namespace tessary::test
