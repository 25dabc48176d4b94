#include <gtest/gtest.h>

#include "OpenFlowTestSupport.h"
#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "support/FaultReset.h"
#include "support/LogBytes.h"

namespace tessary::test {
namespace {

const std::u16string kRead = u"INSログデータ読込";

TEST(OpenFlowTest, OpenFailuresShowTheirTextsWithThePath) {
    TempDir dir;
    struct Case {
        std::string path;
        int32_t result;
        std::u16string text;
    };
    const std::string junk = dir.File("junk.dat");
    WriteBytes(junk, std::vector<uint8_t>(20, 0x41));
    InsLogHeader analog = DefaultHeader();
    analog.dataKind = 0;
    const std::string analogPath =
        LogBytes(analog).Record('T', 9, 1, {0x34}).FixDataByteCount().WriteTo(dir.File("a.dat"));
    const Case cases[] = {
        {dir.File("missing.dat"), 1, u"ファイルが存在していません。"},
        {dir.File("nofolder/x.dat"), 1, u"サブフォルダーが存在していません。"},
        {junk, 3, u"ファイル形式が不正です。\n\nリアルタイム出力ログファイルではありません。"},
        {analogPath, 3, u"INS回線用のログファイルではありません。"},
    };
    for (const Case& c : cases) {
        MainWindowModel model;
        EXPECT_EQ(model.flow.Open(c.path, kLineAsk), c.result) << c.path;
        ASSERT_EQ(model.ui.Messages().size(), 1u);
        EXPECT_EQ(model.ui.Messages()[0].text, c.text + u"\n\n<" + Utf16(c.path) + u">");
        EXPECT_EQ(model.ui.Messages()[0].caption, kRead);
        EXPECT_EQ(model.ui.Messages()[0].icon, MessageIcon::kExclamation);
        EXPECT_EQ(model.ui.Messages()[0].buttons, MessageButtons::kOk);
        EXPECT_EQ(model.flow.Converter(), nullptr);
        EXPECT_EQ(model.host.states, std::vector<int>{-1});
    }
}

TEST(OpenFlowTest, RefusalsOnlyShowTheirMessage) {
    MainWindowModel model;
    EXPECT_EQ(model.flow.Open("", kLineAsk), 1);
    EXPECT_EQ(model.flow.Reconvert(kLineAsk), 512);
    model.flow.SetRunning(true);
    EXPECT_EQ(model.flow.Open("/x.dat", kLineAsk), 512);
    ASSERT_EQ(model.ui.Messages().size(), 3u);
    EXPECT_EQ(model.ui.Messages()[0].text, u"ファイル名が指定されていません。");
    EXPECT_EQ(model.ui.Messages()[1].text, u"ログファイル・データが読み込まれていません。");
    EXPECT_EQ(model.ui.Messages()[1].caption, u"INSログデータ変換");
    EXPECT_EQ(model.ui.Messages()[2].text, u"ログデータ変換は、現在実行中です。");
    EXPECT_TRUE(model.host.states.empty());
}

// A progress display that cannot be shown: the pass never starts.
struct BrokenProgress : PassProgress, NotifyTarget {
    int runs = 0;
    bool Run(std::u16string_view, std::u16string_view, uint32_t,
             const std::function<int(bool)>&) override {
        ++runs;
        return false;
    }
    void PostNotify(uint32_t, uintptr_t, void*) override {}
};

TEST(OpenFlowTest, PassesThatCannotRunShowWhyAndKeepNothing) {
    TempDir dir;
    // Every record on the first line of a two-line file, and the second line asked for: the
    // conversion ends normally with nothing but the title.
    InsLogHeader bulk = DefaultHeader();
    bulk.dataKind = kDataKindIns64Bulk;
    LogBytes firstLineOnly(bulk);
    for (uint32_t i = 0; i < 20; ++i) {
        firstLineOnly.Record('T', 9, 10 * i, {0x34});
    }
    const std::string bulkPath = firstLineOnly.FixDataByteCount().WriteTo(dir.File("bulk.dat"));
    {
        MainWindowModel model;
        EXPECT_EQ(model.flow.Open(bulkPath, kLineSecond), kOpenResultNoData);
        ASSERT_EQ(model.ui.Messages().size(), 1u);
        EXPECT_EQ(model.ui.Messages()[0].text,
                  u"表示可能なINSデータが存在していません。\n\n<" + Utf16(bulkPath) + u">");
        EXPECT_EQ(model.ui.Messages()[0].caption, kRead);
        EXPECT_EQ(model.flow.Converter(), nullptr);
        EXPECT_EQ(model.table.LineCount(), 0);
        EXPECT_EQ(model.host.states, (std::vector<int>{-1, -1}));
        // The first line of the same file shows.
        EXPECT_EQ(model.flow.Open(bulkPath, kLineFirst), kOpenResultDone);
        EXPECT_EQ(model.flow.Converter()->LineCount(), 21u);
    }

    const std::string path = GenerateLog(dir, "a.dat", "--seed 5 --records 200");
    {
        // The progress display refuses: the start never happened.
        MainWindowModel model;
        BrokenProgress broken;
        OpenFlow flow(&model.para, &model.table, &model.host, &model.ui, &broken, &broken);
        EXPECT_EQ(flow.Open(path, kLineAsk), kStatusRunning);
        EXPECT_EQ(broken.runs, 1);
        ASSERT_EQ(model.ui.Messages().size(), 1u);
        EXPECT_EQ(model.ui.Messages()[0].text,
                  u"ログデータ変換開始できません。\n\n<" + Utf16(path) + u">");
        EXPECT_EQ(model.ui.Messages()[0].caption, kRead);
        EXPECT_EQ(flow.Converter(), nullptr);
        EXPECT_FALSE(flow.IsRunning());
    }
    {
        // The worker thread cannot be made, for a new file and for a reconversion.
        FaultReset reset;
        MainWindowModel model;
        fault::FailNthThreadStart(1);
        EXPECT_EQ(model.flow.Open(path, kLineAsk), kStatusNotStarted);
        ASSERT_EQ(model.ui.Messages().size(), 1u);
        EXPECT_EQ(
            model.ui.Messages()[0].text,
            u"ログデータ変換スレッドの起動に失敗しました。\n\nError = 8\n\n<" + Utf16(path) + u">");
        EXPECT_EQ(model.ui.Messages()[0].caption, kRead);
        EXPECT_EQ(model.flow.Converter(), nullptr);
        EXPECT_EQ(model.table.LineCount(), 0);

        ASSERT_EQ(model.flow.Open(path, kLineAsk), kOpenResultDone);
        fault::FailNthThreadStart(1);
        EXPECT_EQ(model.flow.Reconvert(kLineAsk), kStatusNotStarted);
        ASSERT_EQ(model.ui.Messages().size(), 2u);
        EXPECT_EQ(model.ui.Messages()[1].text,
                  u"ログデータ変換スレッドの起動に失敗しました。\n\nError = 8\n\n<>");
        EXPECT_EQ(model.ui.Messages()[1].caption, u"INSログデータ変換");
        EXPECT_EQ(model.table.LineCount(), 0);
        // The converted records stay for the next try.
        ASSERT_NE(model.flow.Converter(), nullptr);
        EXPECT_EQ(model.flow.Reconvert(kLineAsk), kOpenResultDone);
        EXPECT_GT(model.table.LineCount(), 200);
    }
}

TEST(OpenFlowTest, LoadsReconvertsAndKeepsThePreviousFileAfterAnEarlyFailure) {
    TempDir dir;
    const std::string path = GenerateLog(dir, "a.dat", "--seed 5 --records 200");
    MainWindowModel model;
    ASSERT_EQ(model.flow.Open(path, kLineAsk), 0);
    EXPECT_TRUE(model.ui.Questions().empty());  // one line: no question
    EXPECT_EQ(model.host.states, (std::vector<int>{-1, 0}));
    EXPECT_EQ(model.flow.LoadedPath(), path);
    CTessaryCan* converter = model.flow.Converter();
    ASSERT_NE(converter, nullptr);
    EXPECT_FALSE(converter->IsFileOpen());  // closed after the walk
    const int32_t lines = model.table.LineCount();
    EXPECT_GT(lines, 200);

    ASSERT_EQ(model.flow.Reconvert(kLineAsk), 0);
    EXPECT_EQ(model.table.LineCount(), lines);
    EXPECT_EQ(model.progress.subtitles, (std::vector<std::u16string>{u"", u""}));

    EXPECT_EQ(model.flow.Open(dir.File("gone.dat"), kLineAsk), 1);
    EXPECT_EQ(model.flow.Converter(), converter);  // still loaded, lines released
    EXPECT_EQ(model.table.LineCount(), 0);
    EXPECT_EQ(model.flow.Reconvert(kLineAsk), 0);
    EXPECT_EQ(model.table.LineCount(), lines);
}

TEST(OpenFlowTest, Ins64BulkAsksForTheLineUnlessGiven) {
    TempDir dir;
    const std::string path = GenerateLog(dir, "bulk.dat", "--seed 2 --records 100 --data-kind 4");
    {
        MainWindowModel model;
        model.ui.otherwise = Answer::kNo;
        ASSERT_EQ(model.flow.Open(path, kLineAsk), 0);
        ASSERT_EQ(model.ui.Questions().size(), 1u);
        EXPECT_EQ(model.ui.Questions()[0].caption, u"INS64回線選択");
        EXPECT_EQ(model.ui.Questions()[0].buttons, MessageButtons::kYesNo);
        EXPECT_EQ(LineSelectionOf(model.para), 1u);
        // Reload shows the same line without asking.
        ASSERT_EQ(model.flow.Reconvert(kLineAsk), 0);
        EXPECT_EQ(model.ui.Questions().size(), 1u);
        EXPECT_EQ(LineSelectionOf(model.para), 1u);
        // A failed open keeps the loaded file and the line it shows.
        EXPECT_EQ(model.flow.Open(dir.File("gone.dat"), kLineAsk), 1);
        EXPECT_EQ(LineSelectionOf(model.para), 1u);
        EXPECT_NE(model.flow.Converter()->LY1Legend(-1).find(u"[2]"), std::u16string::npos);
    }
    {
        MainWindowModel model;
        model.ui.otherwise = Answer::kCancel;  // neither Yes nor No
        EXPECT_EQ(model.flow.Open(path, kLineAsk), -1);
        EXPECT_TRUE(model.ui.Messages().empty());
        EXPECT_EQ(model.flow.Converter(), nullptr);
    }
    {
        MainWindowModel model;
        ASSERT_EQ(model.flow.Open(path, kLineFirst), 0);
        EXPECT_TRUE(model.ui.Questions().empty());
        EXPECT_EQ(LineSelectionOf(model.para), 0u);
    }
}

TEST(OpenFlowTest, RingWithEndTimeBaseIsConvertedTwice) {
    TempDir dir;
    // 13 days between start and end: more than the 30-bit counter's range.
    const int64_t endMs = 13LL * 86400000;
    const std::string path = GenerateLog(
        dir, "ring.dat",
        "--seed 9 --records 300 --ring --ext-header 32 --end-value " + std::to_string(endMs));
    MainWindowModel model;
    ASSERT_EQ(model.flow.Open(path, kLineAsk), 0);
    EXPECT_EQ(model.progress.subtitles, (std::vector<std::u16string>{u"1 / 2", u"2 / 2"}));
    EXPECT_EQ(model.host.states, (std::vector<int>{-1, 0, 1, 2}));
    CTessaryCan* converter = model.flow.Converter();
    ASSERT_NE(converter, nullptr);
    EXPECT_EQ(converter->CorrectionState(), 0);  // corrected in memory now
    // The last record lies at the end time.
    MessageRecord* last = nullptr;
    ASSERT_NE(model.table.FirstLastLine(false, &last), nullptr);
    EXPECT_EQ(converter->BaseTime() + last->Time * kTicksPerMs, converter->EndTime());
    EXPECT_NE(converter->StartCorrection(), 0);
}

}  // namespace
}  // namespace tessary::test
