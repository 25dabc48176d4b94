// tessarydump end to end: the built program on insloggen logs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "support/GeneratedLog.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

struct CliFixture : ::testing::Test {
    TempDir dir;

    std::string Log(const std::string& name, const std::string& args) {
        return GenerateLog(dir, name, args);
    }
    ProgramRun Dump(const std::vector<std::string>& args) {
        std::vector<std::string> words{TessarydumpPath()};
        words.insert(words.end(), args.begin(), args.end());
        return RunCaught(words, dir);
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// A flat JSON object of numbers, null and strings (what --jsonl writes).
std::map<std::string, std::string> ParseObject(const std::string& line) {
    std::map<std::string, std::string> fields;
    size_t i = 1;
    auto readString = [&]() {
        std::string out;
        ++i;  // opening quote
        while (i < line.size() && line[i] != '"') {
            if (line[i] == '\\') {
                const char e = line[++i];
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            } else {
                out += line[i];
            }
            ++i;
        }
        ++i;
        return out;
    };
    while (i < line.size() && line[i] == '"') {
        const std::string key = readString();
        ++i;  // ':'
        std::string value;
        if (line[i] == '"') {
            value = "\"";
            value += readString();
        } else {
            const size_t end = line.find_first_of(",}", i);
            value = line.substr(i, end - i);
            i = end;
        }
        fields[key] = value;
        if (line[i] == ',') {
            ++i;
        }
    }
    return fields;
}

const std::string kTitles =
    "|Ａ  TX  局 ←\n"
    "\t\t\t\t\t\t  |Ｂ  RX  局 →\n"
    "\t\t\t\t\t\t\t\t\t\t\t\t  |Ｃ  TX  ← 端末\n"
    "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t  |Ｄ  RX  → 端末\n";
const char* kIndents[] = {"", "\t\t\t\t\t\t  ", "\t\t\t\t\t\t\t\t\t\t\t\t  ",
                          "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t  "};

TEST_F(CliFixture, TextAndJsonlShowTheSameRecords) {
    const std::string log = Log("a.dat", "--seed 11 --records 400 --noise-at 30 --bad-fcs-at 50");
    const ProgramRun text = Dump({log});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.err, "");  // not a terminal: no progress line
    const std::string heading =
        "  |64:LY1一覧：34=後位含め全ok 74=後位NG、自端末にて局ok  00=局も端末もNGか呼毎起動待機 "
        "10=後位が起動要求 50=自端末が起動要求\n";
    ASSERT_EQ(text.out.substr(0, heading.size() + kTitles.size()), heading + kTitles);
    EXPECT_EQ(text.out.find('\r'), std::string::npos);

    const ProgramRun json = Dump({"--jsonl", log});
    ASSERT_EQ(json.code, 0) << json.err;
    // The text's non-empty lines are the records' rows in order, each behind its block indent.
    std::vector<std::string> expected;
    const std::regex time(R"(^\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3}$)");
    bool sawWarning = false;
    bool sawCrcError = false;
    long long previousIndex = 0;
    for (const std::string& line : Lines(json.out)) {
        auto fields = ParseObject(line);
        ASSERT_EQ(fields.size(), 12u) << line;
        EXPECT_GT(std::stoll(fields["index"]), previousIndex);
        previousIndex = std::stoll(fields["index"]);
        const std::string rows = fields["text"].substr(1);
        const std::string& block = fields["block"];
        if (block == "null") {
            sawWarning = sawWarning || rows.find("Warning=") != std::string::npos;
            EXPECT_EQ(fields["filePos"], "null");
            EXPECT_EQ(fields["time"], "null");
            EXPECT_EQ(fields["layer"], "null");
        } else {
            EXPECT_TRUE(std::regex_match(fields["time"].substr(1), time)) << fields["time"];
            EXPECT_NE(fields["filePos"], "null");
            sawCrcError = sawCrcError || rows.find("CRCエラー") != std::string::npos;
        }
        const int b = block == "null" ? 0 : block[1] - 'A';
        for (const std::string& row : Lines(rows + "\n")) {
            if (!row.empty()) {
                expected.push_back(kIndents[b] + row);
            }
        }
    }
    EXPECT_TRUE(sawWarning);
    EXPECT_TRUE(sawCrcError);
    std::vector<std::string> shown;
    const std::vector<std::string> textLines = Lines(text.out);
    for (size_t i = 5; i < textLines.size(); ++i) {
        if (!textLines[i].empty()) {
            shown.push_back(textLines[i]);
        }
    }
    EXPECT_EQ(shown, expected);

    const ProgramRun crlf = Dump({"--crlf", "--date-format", "3", log});
    ASSERT_EQ(crlf.code, 0);
    EXPECT_EQ(crlf.out.find("\n", 0), crlf.out.find("\r\n") + 1);
    EXPECT_NE(crlf.out.find("TM=2024/06/07 "), std::string::npos);
}

TEST_F(CliFixture, TwoLinesRingAndEndTimeBase) {
    const std::string bulk = Log("bulk.dat", "--seed 3 --records 200 --data-kind 4");
    const ProgramRun first = Dump({bulk});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_NE(first.out.substr(0, first.out.find('\n')).find("[1]"), std::string::npos);
    const ProgramRun second = Dump({"--line", "2", bulk});
    ASSERT_EQ(second.code, 0) << second.err;
    EXPECT_NE(second.out.substr(0, second.out.find('\n')).find("[2]"), std::string::npos);
    EXPECT_NE(first.out, second.out);

    // 13 days between start and end: the times come from the end time after a second pass.
    const std::string ring =
        Log("ring.dat", "--seed 5 --records 300 --ring --ext-header 32 --end-value 1123200000");
    const ProgramRun json = Dump({"--jsonl", ring});
    ASSERT_EQ(json.code, 0) << json.err;
    const std::vector<std::string> lines = Lines(json.out);
    ASSERT_FALSE(lines.empty());
    std::string lastTime;
    for (const std::string& line : lines) {
        auto fields = ParseObject(line);
        if (fields["time"] != "null") {
            lastTime = fields["time"];
        }
    }
    EXPECT_EQ(lastTime, "\"2024/06/20 12:34:56.789");
}

TEST_F(CliFixture, AggregationsPrintWhatTheirWindowShows) {
    const std::string log = Log("a.dat", "--seed 11 --records 400");
    const ProgramRun search = Dump({"--jsonl", "--search", "<TEI=64>", log});
    ASSERT_EQ(search.code, 0) << search.err;
    for (const std::string& line : Lines(search.out)) {
        EXPECT_NE(line.find("TEI=64"), std::string::npos) << line;
    }
    const ProgramRun searchText = Dump({"--search", "<TEI=64>", log});
    EXPECT_EQ(searchText.out.substr(0, searchText.out.find('\n')), "  |検索情報表示  \"<TEI=64>\"");

    // A SETUP with a channel from the JSONL output starts the related call.
    const ProgramRun all = Dump({"--jsonl", log});
    std::string setupId;
    for (const std::string& line : Lines(all.out)) {
        auto fields = ParseObject(line);
        if (fields["layer"] == "2" && fields["code"] == "5" &&
            fields["text"].find("CH=") != std::string::npos) {
            setupId = fields["id"];
            break;
        }
    }
    ASSERT_FALSE(setupId.empty());
    const ProgramRun call = Dump({"--call", setupId, log});
    ASSERT_EQ(call.code, 0) << call.err;
    EXPECT_EQ(call.out.rfind("  |関連呼情報[", 0), 0u);
    char id[16];
    std::snprintf(id, sizeof id, "ID=%07d", std::stoi(setupId));
    EXPECT_NE(call.out.find(id), std::string::npos);
}

TEST_F(CliFixture, FailuresExitWithTheViewersMessages) {
    const std::string log = Log("a.dat", "--seed 11 --records 50");
    const std::string missing = dir.File("missing.dat");
    ProgramRun r = Dump({missing});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "ファイルが存在していません。\n\n<" + missing + ">\n");
    WriteBytes(dir.File("junk.dat"), std::vector<uint8_t>(64, 0x55));
    r = Dump({dir.File("junk.dat")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(
        r.err.rfind("ファイル形式が不正です。\n\nリアルタイム出力ログファイルではありません。", 0),
        0u);
    r = Dump({""});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "ファイル名が指定されていません。\n");

    const std::string noBlock = Log("nb.dat", "--seed 11 --records 50 --no-block-at 20");
    r = Dump({noBlock});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(std::regex_match(
        r.err, std::regex("INSブロックが識別でないデータが含まれています。\n\nFilePos = "
                          "[0-9A-F]+h\n\n<" +
                          noBlock + ">\n")))
        << r.err;

    r = Dump({"--search", "<CH=01", log});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "検索文字列形式が不正です。\n");
    // A search that selects nothing is an answer: the heading and the block titles, the
    // viewer's message as a note, exit 0; JSONL has nothing to print.
    r = Dump({"--search", "<no such text anywhere>", log});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "検索文字列に該当するINSデータが存在していません。\n");
    const std::vector<std::string> none = Lines(r.out);
    ASSERT_EQ(none.size(), 5u) << r.out;
    EXPECT_NE(none[0].find("<no such text anywhere>"), std::string::npos);
    EXPECT_NE(none[4].find("Ｄ  RX  → 端末"), std::string::npos);
    r = Dump({"--jsonl", "--search", "<no such text anywhere>", log});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "検索文字列に該当するINSデータが存在していません。\n");
    r = Dump({"--call", "0", log});  // a layer-1 record
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "集約開始する呼設定メッセージが選択されていません。\n");

    EXPECT_EQ(Dump({"--wrap", "0", log}).code, 2);
    EXPECT_EQ(Dump({"--line", "3", log}).code, 2);
    EXPECT_EQ(Dump({"--bogus", log}).code, 2);
    EXPECT_EQ(Dump({}).code, 2);
    EXPECT_EQ(Dump({"--jsonl", "--header", log}).code, 2);
    EXPECT_EQ(Dump({"--help"}).code, 0);
}

TEST_F(CliFixture, CallStartsFromTheSetupNotFromTheWarningBeforeIt) {
    // Noise before the SETUP with index number 14: the warning record carries the number 14 too.
    const std::string log = Log("w.dat", "--seed 11 --records 200 --noise-at 15");
    const ProgramRun json = Dump({"--jsonl", log});
    ASSERT_EQ(json.code, 0) << json.err;
    std::vector<std::string> fourteen;
    for (const std::string& line : Lines(json.out)) {
        if (line.find("\"id\":14,") != std::string::npos) {
            fourteen.push_back(line);
        }
    }
    ASSERT_EQ(fourteen.size(), 2u);
    ASSERT_NE(fourteen[0].find("\"flags\":1,"), std::string::npos);  // the warning first
    ASSERT_NE(fourteen[1].find("\"code\":5,"), std::string::npos);   // then the SETUP

    const ProgramRun call = Dump({"--call", "14", log});
    ASSERT_EQ(call.code, 0) << call.err;
    EXPECT_EQ(call.err, "");
    EXPECT_NE(call.out.find("関連呼情報[B]"), std::string::npos);
    EXPECT_NE(call.out.find("B-呼設定-"), std::string::npos);
}

TEST_F(CliFixture, SettingsFileChangesTitlesAndMarks) {
    const std::string log = Log("a.dat", "--seed 11 --records 50");
    const std::string ini = dir.File("s.ini");
    std::ofstream(ini) << "[Settings]\nCanParaFlag=512\nCanParaTitleDemi=#\nCanParaBlockLen=4\n"
                          "CanParaMarkIfText_00=\"!;LY1=;\"\n";
    const ProgramRun r = Dump({"--settings", ini, log});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("  #64:LY1一覧：", 0), 0u);
    EXPECT_EQ(lines[1], "#Ａ  TX  局 ←#Ｂ  RX  局 →#Ｃ  TX  ← 端末#Ｄ  RX  → 端末");
    EXPECT_EQ(lines[2].rfind("! ID=0000000 ", 0), 0u);  // a layer-1 record, marked
    EXPECT_EQ(Dump({"--settings", dir.File("none.ini"), log}).code, 2);
}

}  // namespace
}  // namespace tessary::test

namespace tessary::test {
namespace {

TEST_F(CliFixture, ToolModesDumpSplitAndExport) {
    const std::string log =
        Log("two_days.dat", "--seed 5 --span 30h --start '2024-03-31 20:00:00'");

    ProgramRun header = Dump({"--header", log});
    EXPECT_EQ(header.code, 0) << header.err;
    EXPECT_NE(header.out.find("; ログ出力開始日時 <2024/03/31 20:00:00>"), std::string::npos)
        << header.out;
    EXPECT_EQ(header.out.find('\r'), std::string::npos);  // LF unless --crlf
    EXPECT_NE(Dump({"--header", "--crlf", log}).out.find("\r\n"), std::string::npos);

    ProgramRun summary = Dump({"--summary", log});
    EXPECT_EQ(summary.code, 0) << summary.err;
    EXPECT_NE(summary.out.find("先頭データ日時    : 2024/03/31 20:"), std::string::npos)
        << summary.out;

    const std::string folder = dir.File("parts");
    ASSERT_EQ(std::system(("mkdir " + ShellQuote(folder)).c_str()), 0);
    ProgramRun divide = Dump({"--divide", folder, log});
    EXPECT_EQ(divide.code, 0) << divide.err;
    EXPECT_NE(divide.out.find("分割個数=3"), std::string::npos) << divide.out;  // to 04-02 02:00
    EXPECT_FALSE(ReadText(folder + "/two_days_分割-1_20240331.dat").empty());
    EXPECT_FALSE(ReadText(folder + "/two_days_分割-2_20240401.dat").empty());
    EXPECT_FALSE(ReadText(folder + "/two_days_分割-3_20240402.dat").empty());

    const std::string pcap = dir.File("out.pcapng");
    ProgramRun export_ = Dump({"--pcap", pcap, log});
    EXPECT_EQ(export_.code, 0) << export_.err;
    const std::string bytes = ReadText(pcap);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x0A\x0D\x0D\x0A", 4));  // section header block

    ProgramRun missing = Dump({"--header", dir.File("none.dat")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(missing.err.empty());
    ProgramRun notLog = Dump({"--pcap", pcap, dir.File("none.dat")});
    EXPECT_EQ(notLog.code, 1);
    EXPECT_NE(notLog.err.find("ファイルが存在していません。"), std::string::npos) << notLog.err;
}

}  // namespace
}  // namespace tessary::test
