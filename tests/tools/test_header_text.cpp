#include "tools/HeaderText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "decode/CanPara.h"
#include "logfile/CTessaryData.h"
#include "platform/FaultInjection.h"
#include "platform/Utf.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"
#include "tools/ToolsTestSupport.h"

namespace tessary::test {
namespace {

std::string Dump(const std::string& path) {
    HeaderTextResult result = BuildHeaderDump(path);
    return Utf8(result.text);
}

// The folder as the system writes a full path, with its separator at the end.
std::string FolderShown(const std::string& folder) {
#ifdef _WIN32
    const std::u8string full = std::filesystem::absolute(std::filesystem::path(std::u8string(
                                                             folder.begin(), folder.end())))
                                   .lexically_normal()
                                   .u8string();
    return std::string(full.begin(), full.end()) + "\\";
#else
    return folder + "/";
#endif
}

std::string Head(const TempDir& dir, const std::string& name, uint64_t size) {
    return "ファイルの場所    : <" + FolderShown(dir.Path()) + ">\r\n" + "ファイル名        : <" +
           name + ">\r\n\r\n" + "ファイル・サイズ  : 0.0 Mbytes (" + std::to_string(size) +
           " bytes)\r\n\r\n";
}

// One layer-1 record of 3 payload bytes: 12 data bytes.
LogBytes SmallLog(const InsLogHeader& header = DefaultHeader()) {
    LogBytes log(header);
    log.Record('T', 9, 0x100, {0x34, 0x00, 0x00});
    log.FixDataByteCount();
    return log;
}

// A file named relative to the current folder shows that folder as its location, also
// through "..".
TEST(HeaderDump, RelativePathShowsTheFolderItNames) {
    TempDir dir;
    SmallLog().WriteTo(dir.File("a.dat"));
    std::filesystem::create_directory(dir.File("sub"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const std::string plain = Dump("a.dat");
    std::filesystem::current_path(dir.File("sub"));
    const std::string up = Dump("../a.dat");
    std::filesystem::current_path(before);
    EXPECT_EQ(plain.substr(0, Head(dir, "a.dat", 44).size()), Head(dir, "a.dat", 44));
    EXPECT_EQ(up.substr(0, Head(dir, "a.dat", 44).size()), Head(dir, "a.dat", 44));
}

TEST(HeaderDump, LinearFileWithoutExtendedHeaderShowsEveryField) {
    TempDir dir;
    const std::string path = SmallLog().WriteTo(dir.File("a.dat"));
    const std::string expected =
        Head(dir, "a.dat", 44) +
        "--------- ヘッダー情報 ---------\r\n"
        "+0000: E8 07 06 07  0C 22 38    ; ログ出力開始日時 <2024/06/07 12:34:56>\r\n"
        "+0007: 01                       ; チャネル番号 <01>\r\n"
        "+0008: 0C 00 00 00              ; データ・バイト数 <12>\r\n"
        "+000C: 00 00 00 00              ; ループ回数 <0>\r\n"
        "+0010: 01                       ; データ種別 <1 = INS個別>\r\n"
        "+0011: 01                       ; INSトレースタイプ <1>\r\n"
        "+0012: 01 00                    ; 端末ボード種別 <BD_STS = 0001h>\r\n"
        "+0014: 00 00 00 00              ; 1ms毎タイムカウント値 <0000_0000h>\r\n"
        "+0018: 00                       ; 拡張ヘッダ格納バイト数 <0>\r\n"
        "+0019: 00                       ; ログ出力日時補正値の上位4bit <開始=0h, 終了=0h>\r\n"
        "+001A: 15 03                    ; ログ出力開始日時1ms位の値 <789>\r\n"
        "+001C: 00 00 00 00              ; ログ出力開始日時補正値の下位32bit <0_0000_0000h>\r\n"
        "+0020:                          ; (32 bytes)\r\n";
    EXPECT_EQ(Dump(path), expected);
    EXPECT_EQ(BuildHeaderDump(path).status, 0);
}

TEST(HeaderDump, ExtendedHeaderLinesUpTheReservedBytes) {
    TempDir dir;
    InsLogHeader h = DefaultHeader();
    h.dataKind = kDataKindIns64Bulk;
    h.timeCountAtStart = 0x12345678;
    h.correctionHigh = 0x3F;  // end value bits 32-35 = 3, start correction -1
    h.startCorrectionLow = 0xFFFFFFFF;
    LogBytes log(h);
    log.ExtHeader(40, 0x00001234);
    log.Record('T', 9, 0x100, {0x34});
    std::vector<uint8_t> bytes = log.Bytes();
    for (size_t i = 0x24; i < 0x40; ++i) {
        bytes[i] = static_cast<uint8_t>(i);
    }
    const std::string path = dir.File("ext.dat");
    WriteBytes(path, bytes);
    const std::string text = Dump(path);
    EXPECT_NE(text.find("+0010: 04                       ; データ種別 <4 = INS64一括>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("+0014: 78 56 34 12              ; 1ms毎タイムカウント値 <1234_5678h>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("+0018: 28                       ; 拡張ヘッダ格納バイト数 <40>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("+0019: 3F                       ; ログ出力日時補正値の上位4bit "
                        "<開始=Fh, 終了=3h>\r\n"),
              std::string::npos);
    // -1 ms from the start; the end is start + 0x3_0000_1234 ms.
    EXPECT_NE(text.find("+001C: FF FF FF FF              ; ログ出力開始日時補正値の下位32bit "
                        "<2024/06/07 12:34:56.788>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("+0020: 34 12 00 00              ; ログ出力終了日時補正値の下位32bit "
                        "<2024/11/03 15:43:23.337>\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("+0024: 24 25 26 27  28 29 2A 2B\r\n"
                        "       2C 2D 2E 2F  30 31 32 33\r\n"
                        "       34 35 36 37  38 39 3A 3B\r\n"
                        "       3C 3D 3E 3F              ; (予約)\r\n"
                        "+0040:                          ; (64 bytes)\r\n"),
              std::string::npos)
        << text;
}

TEST(HeaderDump, DataKindsChooseTheirLabels) {
    TempDir dir;
    struct Case {
        uint8_t kind;
        const char* kindLine;
        const char* traceLabel;
        const char* countComment;
    };
    const Case cases[] = {
        {0, "<0 = アナログ個別>", "任意レジスタ番号 <1>",
         "; 任意レジスタ値 (0=下位12bit, 1=上位12bit)\r\n"},
        {3, "<3 = アナログ一括>", "任意レジスタ番号 <1>",
         "; 任意レジスタ値 (0=下位12bit, 1=上位12bit)\r\n"},
        {2, "<2 = >", "情報種別 <1>", "; 付加情報\r\n"},
        {200, "<200 = >", "情報種別 <1>", "; 付加情報\r\n"},
    };
    for (const Case& c : cases) {
        InsLogHeader h = DefaultHeader();
        h.dataKind = c.kind;
        const std::string path = SmallLog(h).WriteTo(dir.File("k.dat"));
        const std::string text = Dump(path);
        EXPECT_NE(text.find(std::string("; データ種別 ") + c.kindLine + "\r\n"), std::string::npos)
            << int{c.kind};
        EXPECT_NE(text.find(std::string("; ") + c.traceLabel + "\r\n"), std::string::npos);
        EXPECT_NE(text.find(std::string("+0014: 00 00 00 00              ") + c.countComment),
                  std::string::npos);
    }
}

TEST(HeaderDump, InvalidStartShowsTheRawCorrection) {
    TempDir dir;
    InsLogHeader h = DefaultHeader();
    h.startMonth = 13;
    h.correctionHigh = 0x0A;
    h.startCorrectionLow = 0x0001FFFE;
    const std::string path = SmallLog(h).WriteTo(dir.File("bad.dat"));
    const std::string text = Dump(path);
    EXPECT_NE(text.find("<2024/13/07 12:34:56>"), std::string::npos);
    EXPECT_NE(text.find("補正値の下位32bit <A_0001_FFFEh>\r\n"), std::string::npos);
}

TEST(HeaderDump, FailuresGiveTheMessageAndThePath) {
    TempDir dir;
    const std::string missing = dir.File("none.dat");
    EXPECT_EQ(Dump(missing), "ログファイル名が見つかりません。\r\n\r\n'" + missing + "'\r\n");
    EXPECT_EQ(BuildHeaderDump(missing).status, 1);

    const std::string noFolder = dir.File("nofolder/x.dat");
    EXPECT_EQ(Dump(noFolder), "サブフォルダー名が見つかりません。\r\n\r\n'" + noFolder + "'\r\n");

    EXPECT_EQ(Dump(dir.Path()),
              "他のプロセスで使用されているため、ファイル・オープンできません。"
              "\r\n\r\n'" +
                  dir.Path() + "'\r\n");

    const std::string short20 = dir.File("20.dat");
    WriteBytes(short20, std::vector<uint8_t>(20, 0));
    EXPECT_EQ(Dump(short20), "ファイル・ヘッダー情報サイズが不完全です。20 < 32 bytes\r\n\r\n'" +
                                 short20 + "'\r\n");
    EXPECT_EQ(BuildHeaderDump(short20).status, 1);

    std::vector<uint8_t> bytes40 = HeaderBytes(DefaultHeader());
    bytes40[0x18] = 32;
    bytes40.resize(40, 0);
    const std::string ext40 = dir.File("40.dat");
    WriteBytes(ext40, bytes40);
    EXPECT_EQ(Dump(ext40), "ファイル拡張ヘッダー情報サイズが不完全です。40 < 64 bytes\r\n\r\n'" +
                               ext40 + "'\r\n");

    EXPECT_EQ(Dump(""), "ログファイル・パス名が指定されていません。\r\n");
}

TEST(HeaderDump, OpenAndReadFailureTexts) {
    EXPECT_EQ(Utf8(HeaderDumpOpenFailure(20)),
              "ドライブ名、あるいはネットワーク・ディレクトリ名が使用できません。");
    EXPECT_EQ(HeaderDumpOpenFailure(21), HeaderDumpOpenFailure(20));
    EXPECT_EQ(HeaderDumpOpenFailure(53), HeaderDumpOpenFailure(20));
    EXPECT_EQ(Utf8(HeaderDumpOpenFailure(32)), "ファイル・オープンに失敗しました。Error = 32");

    TempDir dir;
    LogBytes log;
    log.ExtHeader(32, 0);
    const std::string path = log.WriteTo(dir.File("r.dat"));
    fault::FailNthRead(1);
    EXPECT_EQ(Dump(path), "ファイル・ヘッダーの読込に失敗しました。\r\n\r\n'" + path + "'\r\n");
    fault::FailNthRead(2, true);
    EXPECT_EQ(Dump(path), "拡張ヘッダーの読込に失敗しました。\r\n\r\n'" + path + "'\r\n");
    fault::Reset();
}

TEST(HeaderDump, AnyFileOfAHeaderIsDumpedEvenWhenItIsNoLog) {
    TempDir dir;
    std::vector<uint8_t> bytes(32, 0xFF);
    bytes[0x18] = 0;  // no extended header
    const std::string path = dir.File("ff.dat");
    WriteBytes(path, bytes);
    const std::string text = Dump(path);
    EXPECT_NE(text.find("+0000: FF FF FF FF  FF FF FF    ; ログ出力開始日時 <65535/255/255 "
                        "255:255:255>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("+0020:                          ; (32 bytes)\r\n"), std::string::npos);
}

// A summary over a converted log.
class SummaryTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPara(m_para); }

    std::string Summary(const std::string& path, uint8_t optionByte = 0) {
        m_converter = Convert(path, m_para);
        HeaderTextResult result =
            BuildSummary(*m_converter, optionByte, SummaryRecordsOf(*m_converter));
        EXPECT_EQ(result.status, 0);
        return Utf8(result.text);
    }

    TempDir m_dir;
    CanPara m_para;
    std::unique_ptr<CTessaryCan> m_converter;
};

TEST_F(SummaryTest, LinearLogShowsCountsTimesAndBoard) {
    InsLogHeader h = DefaultHeader();
    h.timeCountAtStart = 0x100;
    LogBytes log(h);
    log.Record('T', 9, 0x100 + 1500, {0x34});
    log.Record('T', 9, 0x100 + 2500, {0x34});
    log.Record('T', 9, 0x100 + 62500, {0x34});
    log.FixDataByteCount();
    const std::string path = log.WriteTo(m_dir.File("s.dat"));
    const uint64_t size = std::filesystem::file_size(path);
    const std::string text = Summary(path);
    const std::string expectedHead =
        Head(m_dir, "s.dat", size) +
        "ヘッダー・サイズ  : 32 bytes \r\n"
        "データ・バイト数  : 0.0 Mbytes (30 bytes)\r\n"
        "\r\n"
        "保存タイムカウント: 0000_0100[HEX]\r\n"
        "先頭タイムカウント: 0000_06DC[HEX] (0日 00時間00分01.500秒)\r\n"
        "\r\n"
        "ログ出力開始日時  : 2024/06/07 12:34:56.789\r\n"
        "ログ出力終了日時  : ";
    ASSERT_EQ(text.substr(0, expectedHead.size()), expectedHead);
    const std::string expectedTail =
        " ※ファイル最終更新日時\r\n"
        "\r\n"
        "先頭データ日時    : 2024/06/07 12:34:56.789\r\n"
        "最終データ日時    : 2024/06/07 12:35:57.789 (データ数=3)\r\n"
        "\r\n"
        "チャネル番号      : 01 (INSトレースタイプ=1)\r\n"
        "端末ボード種別    : 0001[HEX] <INS64>\r\n"
        "\r\n";
    ASSERT_GE(text.size(), expectedTail.size());
    EXPECT_EQ(text.substr(text.size() - expectedTail.size()), expectedTail);
}

TEST_F(SummaryTest, RingLogShowsHeadOffsetAndEndTime) {
    // Logical order: three records; stored rotated by the head offset.
    InsLogHeader h = DefaultHeader();
    h.loopCount = 2345;
    h.timeCountAtStart = 0x3FFFFF00;
    LogBytes records(h);
    records.Record('T', 9, 0x00000100, {0x34});
    records.Record('T', 9, 0x00000100 + 1000, {0x34});
    records.Record('T', 9, 0x00000100 + 61000, {0x34});
    const std::vector<uint8_t> all = records.Bytes();
    const std::vector<uint8_t> logical(all.begin() + 32, all.end());
    const uint32_t n = static_cast<uint32_t>(logical.size());
    const uint32_t head = 18;
    std::vector<uint8_t> physical(n);
    for (uint32_t i = 0; i < n; ++i) {
        physical[(head + i) % n] = logical[i];
    }
    h.dataByteCount = head;
    LogBytes log(h);
    log.ExtHeader(32, 3600000);  // ends an hour after the start
    log.Raw(physical);
    const std::string path = log.WriteTo(m_dir.File("ring.dat"));
    const std::string text = Summary(path);
    EXPECT_NE(text.find("ヘッダー・サイズ  : 64 bytes \r\n"
                        "ループ(折返)有    : 2,345 回\r\n"
                        "先頭オフセット    : 0000_0012[HEX] (ファイル位置=0000_0052[HEX])\r\n\r\n"),
              std::string::npos)
        << text;
    // The gap is shown as the unsigned 32-bit difference of the counts.
    EXPECT_NE(text.find("先頭タイムカウント: 0000_0100[HEX] (37日 06時間47分05.984秒)\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("ログ出力終了日時  : 2024/06/07 13:34:56.789 (0日 0時間01分01.000秒)\r\n"),
              std::string::npos)
        << text;
    // The base comes from the counts: the first record is 512 ms after the start.
    EXPECT_NE(text.find("先頭データ日時    : 2024/06/07 12:34:57.301\r\n"
                        "最終データ日時    : 2024/06/07 12:35:58.301 (データ数=3)\r\n"),
              std::string::npos)
        << text;
}

TEST_F(SummaryTest, CorrectionDataCountZeroAndBulkLines) {
    InsLogHeader h = DefaultHeader();
    h.dataKind = kDataKindIns64Bulk;
    h.correctionHigh = 0x0F;
    h.startCorrectionLow = 0xFFFFFFFF - 86400000 - 3600000 + 1;  // -(1 day 1 hour)
    LogBytes log(h);
    log.Record('T', 9, 0, {0x34});
    log.Record('t', 9, 10, {0x34});
    const std::string path = log.WriteTo(m_dir.File("bulk.dat"));
    const std::string text = Summary(path, 0x04);
    EXPECT_NE(text.find(" ※ヘッダ内の有効データ長無\r\n"), std::string::npos);
    EXPECT_NE(
        text.find("ログ出力開始日時  : 2024/06/07 12:34:56.789 (補正- 1日 01時間00分00.000秒)\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("端末ボード種別    : 0001[HEX] <INS64(一括#2)>\r\n"), std::string::npos);

    m_converter.reset();
    HeaderTextResult one = BuildSummary(*Convert(path, m_para), 0x00, {});
    EXPECT_NE(Utf8(one.text).find("<INS64(一括#1)>\r\n"), std::string::npos);
    HeaderTextResult both = BuildSummary(*Convert(path, m_para), 0x08, {});
    EXPECT_NE(Utf8(both.text).find("<INS64(一括)>\r\n"), std::string::npos);
    // No record in the store at all.
    EXPECT_NE(Utf8(both.text).find("\r\n有効ログデータ無\r\n\r\n"), std::string::npos);
}

TEST_F(SummaryTest, Ins1500BoardAndFailedTimes) {
    InsLogHeader h = DefaultHeader();
    h.boardKind = 0x0123;
    LogBytes log(h);
    log.Record('T', 9, 0, {0x44});
    log.FixDataByteCount();
    const std::string path = log.WriteTo(m_dir.File("1500.dat"));
    const std::string text = Summary(path);
    EXPECT_NE(text.find("端末ボード種別    : 0123[HEX] <INS1500>\r\n"), std::string::npos);
    EXPECT_EQ(text.find("先頭タイムカウント: 0000_0000[HEX] ("), std::string::npos);
    EXPECT_EQ(Utf8(BuildSummary(*m_converter).text), text);

    SummaryRecords missing;
    missing.storeHasRecords = true;
    const std::string failed = Utf8(BuildSummary(*m_converter, 0, missing).text);
    EXPECT_NE(failed.find("先頭データ日時    : 変換失敗\r\n最終データ日時    : 変換失敗\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace tessary::test
