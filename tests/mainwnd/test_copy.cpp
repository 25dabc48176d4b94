#include <gtest/gtest.h>

#include "OpenFlowTestSupport.h"
#include "mainwnd/CopyText.h"
#include "platform/Utf.h"

namespace tessary::test {
namespace {

const std::u16string kTemplate = u"選択行から、現在行までの表示内容%sをコピー";

struct FakeClipboard : ClipboardService {
    int answer = 0;
    std::u16string text;
    int SetText(std::u16string_view t) override {
        text.assign(t);
        return answer;
    }
};

// A loaded log and the first line of the first record of a layer and block.
struct CopyFixture : ::testing::Test {
    TempDir dir;
    MainWindowModel model;

    void Load(const std::string& args) {
        ASSERT_EQ(model.flow.Open(GenerateLog(dir, "a.dat", args), kLineAsk), 0);
    }
    const DisplayLine* FirstLineOf(int layer, int block) const {
        for (int32_t n = 1; n < model.table.LineCount(); ++n) {
            const DisplayLine* line = model.table.Line(n);
            const MessageRecord* record = model.table.RecordOf(line);
            if (record != nullptr && line->groupOffset == 0 && record->Layer == layer &&
                record->Block == block && line->groupSize > 1) {
                return line;
            }
        }
        return nullptr;
    }
    CopyParams Params(std::u16string_view heading) const {
        CopyParams params;
        params.para = &model.para;
        params.heading = heading;
        return params;
    }
    std::u16string Rows(const DisplayLine* first, std::u16string_view indent) const {
        std::u16string rows;
        for (int i = 0; i < first->groupSize; ++i) {
            const std::u16string_view text =
                model.table.TextOf(model.table.Line(first->lineNumber + i));
            rows += (text.empty() ? u"" : std::u16string(indent) + std::u16string(text)) + u"\r\n";
        }
        return rows;
    }
};

const std::u16string kTitles =
    u"|Ａ  TX  局 ←\r\n"
    u"\t\t\t\t\t\t  |Ｂ  RX  局 →\r\n"
    u"\t\t\t\t\t\t\t\t\t\t\t\t  |Ｃ  TX  ← 端末\r\n"
    u"\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t  |Ｄ  RX  → 端末\r\n";

TEST_F(CopyFixture, OneMessageCopiesItsLinesWithTheBlockIndent) {
    Load("--seed 4 --records 120");
    const DisplayLine* first = FirstLineOf(kLayerMessage, 1);
    ASSERT_NE(first, nullptr);
    const MessageRecord* record = model.table.RecordOf(first);
    // Current line inside the message, selection at its first line: the whole message.
    const int32_t inside = first->lineNumber + first->groupSize - 1;
    const CopySpan span = CopySpanOf(model.table, first->lineNumber, inside);
    ASSERT_TRUE(span.IsValid());
    EXPECT_EQ(span.firstLine, first->lineNumber);
    EXPECT_EQ(span.lastLine, inside);
    char id[16];
    std::snprintf(id, sizeof id, "%07u", record->Id);
    EXPECT_EQ(CopyItemText(kTemplate, span),
              u"選択行から、現在行までの表示内容(ID=" + Utf16(id) + u")をコピー");

    FakeClipboard clipboard;
    const CopyOutcome outcome =
        CopyRange(model.table, first->lineNumber, inside, Params(u"LEGEND"), {}, clipboard);
    ASSERT_EQ(outcome.result, kCopyDone);
    EXPECT_EQ(outcome.statusText, u"表示内容コピー終了(ID=" + Utf16(id) + u")");
    EXPECT_EQ(clipboard.text, u"  |LEGEND\r\n" + kTitles + Rows(first, u"\t\t\t\t\t\t  "));
}

TEST_F(CopyFixture, RangeUpwardsCoversWholeMessagesAndNamesBothIds) {
    Load("--seed 4 --records 120");
    const DisplayLine* first = FirstLineOf(kLayerMessage, 1);
    ASSERT_NE(first, nullptr);
    const int32_t selection = first->lineNumber + first->groupSize + 3;
    const DisplayLine* selected = model.table.Line(selection);
    const DisplayLine* selectedFirst = model.table.Line(selection - selected->groupOffset);
    const CopySpan span = CopySpanOf(model.table, selectedFirst->lineNumber, first->lineNumber + 1);
    EXPECT_EQ(span.firstLine, first->lineNumber);
    EXPECT_EQ(span.lastLine, selectedFirst->lineNumber + selectedFirst->groupSize - 1);
    EXPECT_EQ(span.startId, model.table.RecordOf(first)->Id);
    EXPECT_EQ(span.endId, model.table.RecordOf(selected)->Id);
    EXPECT_NE(CopyItemText(kTemplate, span).find(u" ～ "), std::u16string::npos);
    EXPECT_EQ(CopyItemText(kTemplate, CopySpanOf(model.table, -1, 5)),
              u"選択行から、現在行までの表示内容をコピー");
}

TEST_F(CopyFixture, TitlesOnOneLinePadToBlockLenOrFollowDirectly) {
    Load("--seed 4 --records 20");
    const DisplayLine* first = FirstLineOf(kLayerMessage, 1);
    ASSERT_NE(first, nullptr);
    model.para.Flag[1] |= kFlag1TitlesOneRow;
    CopySpan span = CopySpanOf(model.table, first->lineNumber, first->lineNumber);
    StringCopySink sink;
    ASSERT_EQ(BuildCopyText(model.table, span, Params(u""), sink), kCopyDone);
    // "|Ａ  TX  局 ←" is 14 columns wide: 34 blanks up to 48.
    const std::u16string pad(34, u' ');
    const std::u16string expected = u"|Ａ  TX  局 ←" + pad + u"|Ｂ  RX  局 →" + pad +
                                    u"|Ｃ  TX  ← 端末" + std::u16string(32, u' ') +
                                    u"|Ｄ  RX  → 端末\r\n";
    EXPECT_EQ(sink.Text().substr(0, expected.size()), expected);

    model.para.BlockLen = 5;  // narrower than every title
    StringCopySink narrow;
    ASSERT_EQ(BuildCopyText(model.table, span, Params(u""), narrow), kCopyDone);
    EXPECT_EQ(narrow.Text().substr(0, narrow.Text().find(u"\r\n")),
              u"|Ａ  TX  局 ←|Ｂ  RX  局 →|Ｃ  TX  ← 端末|Ｄ  RX  → 端末");
}

TEST_F(CopyFixture, MarkedLinesLoseTheirIndentBehindTheMarkField) {
    Load("--seed 4 --records 120");
    const DisplayLine* first = FirstLineOf(kLayerMessage, 1);
    ASSERT_NE(first, nullptr);
    // A double-width mark with SpcCnt 2 fills the field; a second one would not fit.
    ASSERT_EQ(model.conditions[1].Compile(u"★☆;呼;00000002", model.para.SpcCnt), 0);
    const int32_t from = first->lineNumber;
    CopySpan span = CopySpanOf(model.table, from, from);
    StringCopySink sink;
    ASSERT_EQ(BuildCopyText(model.table, span, Params(u""), sink), kCopyDone);
    const std::u16string& text = sink.Text();
    const std::u16string body = text.substr(kTitles.size());
    const std::u16string row0(model.table.TextOf(first));
    EXPECT_EQ(body.substr(0, row0.size() + 3), u"★" + row0 + u"\r\n");
    // The marked message's lines never keep the block indent.
    size_t at = 0;
    for (int i = 0; i < first->groupSize; ++i) {
        const size_t end = body.find(u"\r\n", at);
        const std::u16string line = body.substr(at, end - at);
        EXPECT_EQ(line.rfind(u"★", 0), 0u) << Utf8(line);
        at = end + 2;
    }
}

TEST_F(CopyFixture, LimitsConfirmationAndClipboardFailures) {
    Load("--seed 4 --records 60");
    MessageRecord* record = nullptr;
    const DisplayLine* first = model.table.FirstLastLine(true, &record);
    const DisplayLine* last = model.table.FirstLastLine(false, nullptr);
    CopySpan span = CopySpanOf(model.table, first->lineNumber, last->lineNumber);
    CopyParams params = Params(u"H");
    params.byteLimit = 200;
    StringCopySink sink;
    EXPECT_EQ(BuildCopyText(model.table, span, params, sink), kCopyTooLarge);

    FakeClipboard clipboard;
    clipboard.answer = 1;
    CopyOutcome outcome =
        CopyRange(model.table, first->lineNumber, last->lineNumber, Params(u"H"), {}, clipboard);
    EXPECT_EQ(outcome.result, kCopyClipboardFailed);
    EXPECT_EQ(outcome.messageText, u"テキスト形式のクリップボード転送に失敗しました。");
    EXPECT_TRUE(outcome.statusText.empty());
    clipboard.answer = -1;
    outcome =
        CopyRange(model.table, first->lineNumber, last->lineNumber, Params(u"H"), {}, clipboard);
    EXPECT_EQ(outcome.result, kCopyOutOfMemory);
    EXPECT_EQ(outcome.messageText, u"メモリ不足のため、文字列データのコピーに失敗しました。");
    EXPECT_EQ(CopyRange(model.table, 0, 3, Params(u"H"), {}, clipboard).result, kCopyOutOfMemory);
}

TEST_F(CopyFixture, MoreThanHundredThousandLinesAsksFirst) {
    Load("--seed 7 --records 40000");
    ASSERT_GT(model.table.LineCount(), 100100);
    // Start messages whose range can end exactly 100 000 and 100 001 lines further.
    auto endsGroup = [&](int32_t n) {
        const DisplayLine* line = model.table.Line(n);
        return line != nullptr && line->HasRecord() && line->groupOffset + 1 == line->groupSize;
    };
    int32_t at = -1;
    int32_t over = -1;
    for (int32_t n = 1; n < 2000 && (at < 0 || over < 0); ++n) {
        const DisplayLine* line = model.table.Line(n);
        if (!line->HasRecord() || line->groupOffset != 0) {
            continue;
        }
        if (at < 0 && endsGroup(n + kCopyConfirmLines)) {
            at = n;
        }
        if (over < 0 && endsGroup(n + kCopyConfirmLines + 1)) {
            over = n;
        }
    }
    ASSERT_GT(at, 0);
    ASSERT_GT(over, 0);
    int asked = 0;
    bool answer = false;
    const auto confirm = [&] {
        ++asked;
        return answer;
    };
    FakeClipboard clipboard;
    EXPECT_EQ(
        CopyRange(model.table, at, at + kCopyConfirmLines, Params(u""), confirm, clipboard).result,
        kCopyDone);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(
        CopyRange(model.table, over, over + kCopyConfirmLines + 1, Params(u""), confirm, clipboard)
            .result,
        kCopyDeclined);
    EXPECT_EQ(asked, 1);
    answer = true;
    EXPECT_EQ(
        CopyRange(model.table, over, over + kCopyConfirmLines + 1, Params(u""), confirm, clipboard)
            .result,
        kCopyDone);
}

TEST(CopyTextTest, CopyWordAndIndentNormalisation) {
    EXPECT_EQ(CopyWordText(u"表示文字列 <CH=01> をコピー"), u"<CH=01>");
    EXPECT_EQ(CopyWordText(u"表示文字列 <<a>> をコピー"), u"<<a>>");
    EXPECT_EQ(CopyWordText(u"no word"), u"");

    CanPara para;
    ResetPara(para);
    CopyToSlot(para.BlockDef[0], u"t2;A;0");
    CopyToSlot(para.BlockDef[1], u"s3;B;1");
    CopyToSlot(para.BlockDef[2], u";C;2");
    CopyToSlot(para.BlockDef[3], u"s16;D;3");  // as wide as t2 with TabLen 8: keeps its place
    NormalizeBlockIndents(para);
    EXPECT_EQ(SlotText(para.BlockDef[0]), u";A;0");
    EXPECT_EQ(SlotText(para.BlockDef[1]), u"s3;B;1");
    EXPECT_EQ(SlotText(para.BlockDef[2]), u"t2;C;2");
    EXPECT_EQ(SlotText(para.BlockDef[3]), u"s16;D;3");
}

}  // namespace
}  // namespace tessary::test
