// tessarydump over the larger fixture logs written by insloggen into the build tree, compared
// with the outputs checked in under golden/: the first 40 lines of every text decode, every
// summary, the failure text of the damaged log, and the length and FNV-1a digest of every
// whole text decode (those run to hundreds of megabytes).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "support/GeneratedLog.h"

namespace tessary::test {
namespace {

const std::string kDump = std::string(TESSARY_BINARY_DIR) + "/src/cli/tessarydump";
const std::string kLogs = std::string(TESSARY_BINARY_DIR) + "/testlogs/";
const std::string kGolden = std::string(TESSARY_SOURCE_DIR) + "/tests/cli/golden/";

const char* const kGoodLogs[] = {"ins64_32m",    "ins1500_16m", "bulk_two_lines", "ring_counts",
                                 "ring_endtime", "wrap30_31st", "corrected"};
constexpr size_t kHeadLines = 40;

struct DumpRun {
    int code = -1;
    std::string out;  // the first `keep` bytes
    std::string err;
    uint64_t bytes = 0;
    uint64_t digest = 0xcbf29ce484222325;  // FNV-1a, 64 bits, of the whole output
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs tessarydump with `args` in the fixture folder on the log named as given there (so that
// its messages show the name alone); keeps at most the first `keep` bytes of stdout.
DumpRun Dump(const std::string& args, const std::string& log, size_t keep = 1 << 20) {
    // One file a process: ctest runs the cases of this suite side by side.
    const std::string errPath =
        ::testing::TempDir() + "tv_testlogs_err_" + std::to_string(::getpid()) + ".txt";
    const std::string command = "cd " + ShellQuote(kLogs) + " && " + ShellQuote(kDump) +
                                " --default-settings " + args + " " + ShellQuote(log) + " 2>" +
                                ShellQuote(errPath);
    DumpRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    static char buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (run.out.size() < keep) {
            run.out.append(buffer, std::min(n, keep - run.out.size()));
        }
        for (size_t i = 0; i < n; ++i) {
            run.digest = (run.digest ^ static_cast<uint8_t>(buffer[i])) * 0x100000001b3;
        }
        run.bytes += n;
    }
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadText(errPath);
    return run;
}

std::string FirstLines(const std::string& text, size_t lines) {
    size_t at = 0;
    for (size_t i = 0; i < lines && at != std::string::npos; ++i) {
        at = text.find('\n', at);
        at = at == std::string::npos ? at : at + 1;
    }
    return text.substr(0, at);
}

// The value after "label : " up to the end of its line, or up to " (" when it has a note.
std::string Field(const std::string& text, const std::string& label) {
    size_t at = text.find(label);
    if (at == std::string::npos) {
        return {};
    }
    at = text.find(": ", at) + 2;
    size_t end = text.find('\n', at);
    std::string value = text.substr(at, end - at);
    return value.substr(0, value.find(" ("));
}

// golden/digests.txt: "NAME.dat BYTES DIGEST" per line.
std::map<std::string, std::pair<uint64_t, uint64_t>> Digests() {
    std::map<std::string, std::pair<uint64_t, uint64_t>> digests;
    std::istringstream lines(ReadText(kGolden + "digests.txt"));
    std::string name;
    uint64_t bytes = 0;
    std::string digest;
    while (lines >> name >> bytes >> digest) {
        digests[name] = {bytes, std::stoull(digest, nullptr, 16)};
    }
    return digests;
}

TEST(FixtureLogs, EveryTextDecodeIsTheCheckedInOne) {
    const auto digests = Digests();
    ASSERT_EQ(digests.size(), std::size(kGoodLogs));
    for (const std::string name : kGoodLogs) {
        const std::string log = name + ".dat";
        const DumpRun run = Dump("", log, 1 << 16);
        EXPECT_EQ(run.code, 0) << log << ": " << run.err;
        EXPECT_EQ(run.err, "") << log;
        EXPECT_EQ(FirstLines(run.out, kHeadLines), ReadText(kGolden + name + ".head.txt")) << log;
        ASSERT_EQ(digests.count(log), 1u) << log;
        EXPECT_EQ(run.bytes, digests.at(log).first) << log;
        EXPECT_EQ(run.digest, digests.at(log).second) << log;
    }
}

TEST(FixtureLogs, EverySummaryIsTheCheckedInOne) {
    // A log without an end time shows the file's own last-write time, which is not the same
    // from one run to the next.
    const std::regex lastWrite(
        R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3} ※ファイル最終更新日時)");
    for (const std::string name : kGoodLogs) {
        const DumpRun run = Dump("--summary", name + ".dat");
        EXPECT_EQ(run.code, 0) << name << ": " << run.err;
        std::string summary =
            std::regex_replace(run.out, lastWrite, "YYYY/MM/DD hh:mm:ss.fff ※ファイル最終更新日時");
        // The logs are named relative to their folder, which the location shows in full.
        const std::string folder = "ファイルの場所    : <" + kLogs + ">";
        ASSERT_EQ(summary.compare(0, folder.size(), folder), 0) << summary.substr(0, 200);
        summary.replace(0, folder.size(), "ファイルの場所    : <LOGS/>");
        EXPECT_EQ(summary, ReadText(kGolden + name + ".summary.txt")) << name;
    }
}

TEST(FixtureLogs, TheDamagedLogStopsAtItsRecordWithoutBlock) {
    const DumpRun damaged = Dump("", "damaged.dat");
    EXPECT_EQ(damaged.code, 3);
    EXPECT_EQ(damaged.bytes, 0u);
    EXPECT_EQ(damaged.err, ReadText(kGolden + "damaged.stderr.txt"));
}

TEST(FixtureLogs, TimesFollowTheBaseRules) {
    // A ring whose span exceeds the counter range takes its base from the end time: the last
    // record then lies exactly at the log output end.
    DumpRun endTime = Dump("--summary", "ring_endtime.dat");
    ASSERT_EQ(endTime.code, 0) << endTime.err;
    EXPECT_EQ(Field(endTime.out, "ログ出力終了日時"), "2024/06/20 12:05:47.184") << endTime.out;
    EXPECT_EQ(Field(endTime.out, "最終データ日時"), "2024/06/20 12:05:47.184") << endTime.out;

    // Starting on the 31st, the day counter goes on past the month end.
    DumpRun days = Dump("", "wrap30_31st.dat", 64 << 20);
    ASSERT_EQ(days.code, 0) << days.err;
    EXPECT_NE(days.out.find("TM=31/22:"), std::string::npos);
    EXPECT_NE(days.out.find("TM=32/"), std::string::npos);
    EXPECT_NE(days.out.find("TM=33/"), std::string::npos);

    // Both lines of a bulk file: line 2 shows lower-case records, with its legend label.
    DumpRun line2 = Dump("--line 2", "bulk_two_lines.dat", 4096);
    ASSERT_EQ(line2.code, 0) << line2.err;
    EXPECT_EQ(line2.out.rfind("  |64[2]:LY1一覧：34=後位含め全ok ", 0), 0u)
        << line2.out.substr(0, 300);
}

}  // namespace
}  // namespace tessary::test
