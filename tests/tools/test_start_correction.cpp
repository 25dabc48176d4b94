#include "tools/StartCorrection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "decode/MessageRecord.h"
#include "logfile/CTessaryData.h"
#include "platform/FaultInjection.h"
#include "platform/Utf.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"
#include "tools/CorrectionEdit.h"
#include "tools/ToolsTestSupport.h"

namespace tessary::test {
namespace {

constexpr const char* kSaveCaption = "出力開始日時補正値保存";

class CorrectionTest : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }

    // A log with an extended header whose high nibble of 0x19 (the end value's bits) is set,
    // and data after the headers that must never change.
    std::unique_ptr<CTessaryData> OpenLog(uint8_t correctionHigh = 0xA0,
                                          uint32_t correctionLow = 0) {
        InsLogHeader h = DefaultHeader();
        h.correctionHigh = correctionHigh;
        h.startCorrectionLow = correctionLow;
        LogBytes log(h);
        log.ExtHeader(40, 0x00ABCDEF);
        log.Record('T', 9, 0x100, {0x34, 0x12});
        log.Record('R', 1, 0x200, {0x02, 0x01, 0x01, 0x7F});
        log.FixDataByteCount();
        m_path = m_dir.File("log.dat");
        log.WriteTo(m_path);
        m_original = ReadBytes(m_path);
        auto reader = std::make_unique<CTessaryData>(m_path, &m_option);
        // As the main window leaves it after its pass: the header held, the file closed (on
        // Windows no one may write a file that a reader holds open).
        reader->CloseFile();
        return reader;
    }

    TempDir m_dir;
    std::string m_path;
    std::vector<uint8_t> m_original;
    uint8_t m_option = 0;
    RecordingUi m_ui;
};

TEST(CorrectionRange, LimitsAreTheSigned36BitRange) {
    EXPECT_TRUE(IsCorrectionInRange(0x7FFFFFFFFLL));
    EXPECT_FALSE(IsCorrectionInRange(0x7FFFFFFFFLL + 1));
    EXPECT_TRUE(IsCorrectionInRange(-0x800000000LL));
    EXPECT_FALSE(IsCorrectionInRange(-0x800000000LL - 1));
    // Whole ms, truncated toward zero, on top of the correction so far.
    EXPECT_EQ(NewCorrection(25000, 10000, 7), 8);
    EXPECT_EQ(NewCorrection(10000, 29999, 0), -1);
    EXPECT_EQ(NewCorrection(10000, 19999, 0), 0);
}

TEST_F(CorrectionTest, SavingMinusOneWritesOnlyTheCorrectionBytes) {
    auto reader = OpenLog();
    reader->SetStartCorrectionValue(-1);
    EXPECT_EQ(SaveCorrection(reader.get(), -1, false, m_ui), 0);
    EXPECT_TRUE(m_ui.shown.empty());

    const std::vector<uint8_t> now = ReadBytes(m_path);
    ASSERT_EQ(now.size(), m_original.size());
    EXPECT_EQ(now[0x19], 0xAF);  // low nibble 0xF, high nibble kept
    EXPECT_EQ(now[0x1C], 0xFF);
    EXPECT_EQ(now[0x1D], 0xFF);
    EXPECT_EQ(now[0x1E], 0xFF);
    EXPECT_EQ(now[0x1F], 0xFF);
    for (size_t i = 0; i < now.size(); ++i) {
        if (i != 0x19 && (i < 0x1C || i > 0x1F)) {
            EXPECT_EQ(now[i], m_original[i]) << "offset " << i;
        }
    }
    // The header copy now agrees with the reader: nothing left to save.
    EXPECT_FALSE(HasUnsavedCorrection(*reader));
    EXPECT_EQ(CheckCorrection(reader.get(), u"q", u"c", m_ui), 5);
    // A new reader sees the saved value.
    CTessaryData again(m_path, &m_option);
    EXPECT_EQ(again.StartCorrection(), -1);
}

TEST_F(CorrectionTest, SaveWithoutExtendedHeaderWritesThirtyTwoBytes) {
    InsLogHeader h = DefaultHeader();
    LogBytes log(h);
    log.Record('T', 9, 0x100, {0x34});
    log.FixDataByteCount();
    m_path = log.WriteTo(m_dir.File("plain.dat"));
    m_original = ReadBytes(m_path);
    CTessaryData reader(m_path, &m_option);
    reader.CloseFile();
    EXPECT_EQ(SaveCorrection(&reader, 0x7FFFFFFFFLL, false, m_ui), 0);
    const std::vector<uint8_t> now = ReadBytes(m_path);
    ASSERT_EQ(now.size(), m_original.size());
    EXPECT_EQ(now[0x19], 0x07);
    EXPECT_EQ(std::vector<uint8_t>(now.begin() + 0x1C, now.begin() + 0x20),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(std::vector<uint8_t>(now.begin() + 0x20, now.end()),
              std::vector<uint8_t>(m_original.begin() + 0x20, m_original.end()));
}

TEST_F(CorrectionTest, ReadOnlyFileIsRefusedAndLeftUntouched) {
    auto reader = OpenLog();
    reader->SetStartCorrectionValue(1234);
    ASSERT_EQ(::chmod(m_path.c_str(), 0444), 0);
    EXPECT_EQ(SaveCorrection(reader.get(), 1234, false, m_ui), kStatusWriteError);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(Utf8(m_ui.shown[0].text), "INSログファイルの上書保存に失敗しました。\n\n'" + m_path +
                                            "'\n\n表示中のログファイルは上書禁止です。");
    EXPECT_EQ(Utf8(m_ui.shown[0].caption), kSaveCaption);
    EXPECT_EQ(m_ui.shown[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(ReadBytes(m_path), m_original);
    // Still unsaved: the check asks again.
    m_ui.answers = {Answer::kNo};
    EXPECT_EQ(CheckCorrection(reader.get(), u"q", u"c", m_ui), static_cast<int>(Answer::kNo));
    ::chmod(m_path.c_str(), 0644);
}

TEST_F(CorrectionTest, FailedWriteKeepsTheCorrectionUnsavedAndCanBeRetried) {
    auto reader = OpenLog();
    reader->SetStartCorrectionValue(5000);
    fault::FailNthWrite(1);
    EXPECT_EQ(SaveCorrection(reader.get(), 5000, false, m_ui), kStatusWriteError);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(Utf8(m_ui.shown[0].text),
              "INSログファイルの上書保存に失敗しました。\n\n'" + m_path + "'\n\nError = 29");
    EXPECT_EQ(ReadBytes(m_path), m_original);
    EXPECT_EQ(StartCorrectionOf(reader->Header()), 0);
    EXPECT_TRUE(HasUnsavedCorrection(*reader));
    m_ui.answers = {Answer::kCancel};
    EXPECT_EQ(CheckCorrection(reader.get(), u"q", u"c", m_ui), static_cast<int>(Answer::kCancel));

    EXPECT_EQ(SaveCorrection(reader.get(), 5000, false, m_ui), 0);
    EXPECT_EQ(CheckCorrection(reader.get(), u"q", u"c", m_ui), 5);
    EXPECT_EQ(CTessaryData(m_path, &m_option).StartCorrection(), 5000);
}

TEST_F(CorrectionTest, VanishedFileIsReportedAsNotFound) {
    auto reader = OpenLog();
    ASSERT_TRUE(DeleteFilePath(m_path));
    EXPECT_EQ(SaveCorrection(reader.get(), 1, false, m_ui), kStatusWriteError);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_NE(Utf8(m_ui.shown[0].text).find("\n\n表示中のログファイルが見つかりません。"),
              std::string::npos);
    EXPECT_FALSE(PathExists(m_path));  // nothing was created
}

TEST_F(CorrectionTest, ShorterFileIsNotGrown) {
    auto reader = OpenLog();
    WriteBytes(m_path, std::vector<uint8_t>(m_original.begin(), m_original.begin() + 40));
    EXPECT_EQ(SaveCorrection(reader.get(), 1, false, m_ui), kStatusWriteError);
    EXPECT_EQ(ReadBytes(m_path).size(), 40u);
}

TEST_F(CorrectionTest, ConfirmationRangeAndMissingLog) {
    auto reader = OpenLog(0xA0, 0);
    // Declined: nothing written, nothing changed.
    m_ui.answers = {Answer::kNo};
    EXPECT_EQ(SaveCorrection(reader.get(), 10, true, m_ui), 0);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(Utf8(m_ui.shown[0].text),
              "補正日時を表示中のログファイルに上書き保存します。\n\n"
              "よろしいですか？\n\n'" +
                  m_path + "'");
    EXPECT_EQ(Utf8(m_ui.shown[0].caption), "ファイル上書き保存");
    EXPECT_EQ(m_ui.shown[0].buttons, MessageButtons::kYesNo);
    EXPECT_EQ(ReadBytes(m_path), m_original);

    // Out of range: not written, the header copy's correction becomes 0.
    reader->MutableHeader().startCorrectionLow = 77;
    m_ui.shown.clear();
    m_ui.answers = {Answer::kYes};
    EXPECT_EQ(SaveCorrection(reader.get(), 0x800000000LL, true, m_ui), -1);
    ASSERT_EQ(m_ui.shown.size(), 2u);
    EXPECT_EQ(Utf8(m_ui.shown[1].text),
              "開始日時補正値が設定可能範囲を超えているため、ファイル保存されません。\n\n'" +
                  m_path + "'");
    EXPECT_EQ(Utf8(m_ui.shown[1].caption), kSaveCaption);
    EXPECT_EQ(StartCorrectionOf(reader->Header()), 0);
    EXPECT_EQ(ReadBytes(m_path), m_original);

    m_ui.shown.clear();
    EXPECT_EQ(SaveCorrection(nullptr, 1, true, m_ui), kStatusNoLog);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(Utf8(m_ui.shown[0].text), "INSログファイルが読み込まれていません。");
}

TEST_F(CorrectionTest, CheckAndLeavingAskOnlyForAnUnsavedCorrection) {
    auto reader = OpenLog();
    EXPECT_EQ(CheckCorrection(nullptr, u"q", u"c", m_ui), -1);
    EXPECT_EQ(CheckCorrection(reader.get(), u"q", u"c", m_ui), 5);
    EXPECT_TRUE(ConfirmLeaving(reader.get(), false, m_ui));
    EXPECT_TRUE(m_ui.shown.empty());

    reader->SetStartCorrectionValue(-3);
    m_ui.answers = {Answer::kCancel};
    EXPECT_FALSE(ConfirmLeaving(reader.get(), false, m_ui));
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(Utf8(m_ui.shown[0].text),
              "表示中のログデータは、ログ出力開始日時が補正されています。\n\n"
              "新規にファイルを開く前に、ファイル保存しますか？\n\n「はい」をクリックすると、"
              "表示中のログファイルに上書保存します。\n\n「いいえ」をクリックすると、"
              "ファイル保存されません。");
    EXPECT_EQ(Utf8(m_ui.shown[0].caption), "INSログファイルを開く");
    EXPECT_EQ(m_ui.shown[0].icon, MessageIcon::kQuestion);
    EXPECT_EQ(m_ui.shown[0].buttons, MessageButtons::kYesNoCancel);
    EXPECT_EQ(ReadBytes(m_path), m_original);

    m_ui.answers = {Answer::kNo};
    EXPECT_TRUE(ConfirmLeaving(reader.get(), true, m_ui));
    EXPECT_EQ(Utf8(m_ui.shown.back().caption), "終了");
    EXPECT_EQ(ReadBytes(m_path), m_original);

    // Yes saves without a second question.
    m_ui.answers = {Answer::kYes};
    EXPECT_TRUE(ConfirmLeaving(reader.get(), true, m_ui));
    EXPECT_EQ(CTessaryData(m_path, &m_option).StartCorrection(), -3);
}

MessageRecord LineRecord(int64_t timeMs, uint16_t flags = 0, uint8_t layer = kLayerFrame) {
    MessageRecord r{};
    r.Time = timeMs;
    r.Flags = flags;
    r.Block = 0;
    r.Layer = layer;
    return r;
}

TEST_F(CorrectionTest, EditInitChecksTheLineAndShowsItsTimes) {
    auto reader = OpenLog(0xA0, 1500);  // corrected by +1.5 s
    CorrectionEdit edit;
    const MessageRecord line = LineRecord(250);
    EXPECT_FALSE(edit.Init(nullptr, &line));
    EXPECT_EQ(Utf8(edit.Message()), "INSログファイルが読み込まれていません。");
    EXPECT_FALSE(edit.Init(reader.get(), nullptr));
    EXPECT_EQ(Utf8(edit.Message()), "補正元のINSログデータが指定されていません。");
    const MessageRecord warning = LineRecord(0, kRecordWarning);
    EXPECT_FALSE(edit.Init(reader.get(), &warning));
    EXPECT_EQ(Utf8(edit.Message()), "有効なINSログデータ指定されていません。");
    const MessageRecord noLayer = LineRecord(0, 0, kNoLayer);
    EXPECT_FALSE(edit.Init(reader.get(), &noLayer));

    ASSERT_TRUE(edit.Init(reader.get(), &line));
    // Base = start + 1.5 s; the line is 250 ms after the base.
    EXPECT_EQ(Utf8(edit.CurrentShort()), "2024/06/07 12:34:58.539");
    EXPECT_EQ(Utf8(edit.CurrentLong()), "2024 年 06 月 07 日  12 時 34 分 58.539 秒");
    EXPECT_EQ(Utf8(edit.UncorrectedShort()), "2024/06/07 12:34:57.039");
    EXPECT_EQ(Utf8(edit.GroupSuffix()), "[+ 0日 00時間00分01.500秒]");
    EXPECT_TRUE(edit.CanReset());
}

TEST_F(CorrectionTest, EditApplyRefusesBadInputAndAppliesConfirmedOnes) {
    auto reader = OpenLog(0xA0, 0);
    CorrectionEdit edit;
    const MessageRecord line = LineRecord(0);
    ASSERT_TRUE(edit.Init(reader.get(), &line));
    EXPECT_EQ(Utf8(edit.GroupSuffix()), "無");
    EXPECT_FALSE(edit.CanReset());
    const std::u16string caption = u"ログデータ出力日時補正";

    EXPECT_FALSE(edit.Apply(u"2024/06/07 12:34", caption, m_ui));
    EXPECT_EQ(Utf8(m_ui.shown.back().text),
              "日付と時刻の入力形式が不正です。\n\n「年(西暦)/月/日 時:分:秒"
              "(小数点以下は1ms単位まで指定可)」");
    EXPECT_EQ(m_ui.shown.back().caption, caption);
    EXPECT_FALSE(edit.Apply(u"2024/06/07 12:34:56.789", caption, m_ui));
    EXPECT_EQ(Utf8(m_ui.shown.back().text),
              "入力された補正日時は、現在日時から変更されていません。");
    EXPECT_EQ(reader->StartCorrection(), 0);

    // Declined confirmation: stays, nothing changes.
    m_ui.answers = {Answer::kNo};
    EXPECT_FALSE(edit.Apply(u"2024/06/07 12:35:00", caption, m_ui));
    EXPECT_EQ(Utf8(m_ui.shown.back().text),
              "ログデータ出力日時を補正します。よろしいですか？\n\n"
              "補正前 「2024 年 06 月 07 日  12 時 34 分 56.789 秒」\n\n"
              "補正後 「2024 年 06 月 07 日  12 時 35 分 00.000 秒」");
    EXPECT_EQ(Utf8(m_ui.shown.back().caption), "補正確認");
    EXPECT_EQ(m_ui.shown.back().buttons, MessageButtons::kYesNo);
    EXPECT_EQ(reader->StartCorrection(), 0);

    m_ui.answers = {Answer::kYes};
    EXPECT_TRUE(edit.Apply(u"2024/06/07 12:35:00", caption, m_ui));
    EXPECT_EQ(reader->StartCorrection(), 3211);
    // Only in memory: the file is as it was, and the correction counts as unsaved.
    EXPECT_EQ(ReadBytes(m_path), m_original);
    m_ui.answers = {Answer::kNo};
    EXPECT_EQ(CheckCorrection(reader.get(), u"q", u"c", m_ui), static_cast<int>(Answer::kNo));
}

TEST_F(CorrectionTest, EditApplyRangeLimitIsExact) {
    auto reader = OpenLog(0xA0, 0);
    const MessageRecord line = LineRecord(0);
    CorrectionEdit edit;
    ASSERT_TRUE(edit.Init(reader.get(), &line));
    // 0x7FFFFFFFF ms after 2024/06/07 12:34:56.789 is 2025/07/10 04:57:15.156 (one ms more is
    // out of range).
    EXPECT_FALSE(edit.Apply(u"2025/07/10 04:57:15.157", u"c", m_ui));
    EXPECT_EQ(Utf8(m_ui.shown.back().text), "入力された補正日時は、設定可能範囲を超えています。");
    m_ui.answers = {Answer::kYes};
    EXPECT_TRUE(edit.Apply(u"2025/07/10 04:57:15.156", u"c", m_ui));
    EXPECT_EQ(reader->StartCorrection(), 0x7FFFFFFFFLL);
    EXPECT_EQ(SaveCorrection(reader.get(), reader->StartCorrection(), false, m_ui), 0);
    EXPECT_EQ(CTessaryData(m_path, &m_option).StartCorrection(), 0x7FFFFFFFFLL);
}

}  // namespace
}  // namespace tessary::test
