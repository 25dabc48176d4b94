// tessarydump over the larger fixture logs written by insloggen into the build tree.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessary::test {
namespace {

const std::string kDump = std::string(TESSARY_BINARY_DIR) + "/src/cli/tessarydump";
const std::string kLogs = std::string(TESSARY_BINARY_DIR) + "/testlogs/";

struct DumpRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs tessarydump with `args` on a fixture log; keeps at most the first `keep` bytes of stdout.
DumpRun Dump(const std::string& args, const std::string& log, size_t keep = 1 << 20) {
    const std::string errPath = ::testing::TempDir() + "tv_testlogs_err.txt";
    const std::string command = kDump + " " + args + " '" + kLogs + log + "' 2>'" + errPath + "'";
    DumpRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (run.out.size() < keep) {
            run.out.append(buffer, std::min(n, keep - run.out.size()));
        }
    }
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = fopen(errPath.c_str(), "rb")) {
        while ((n = fread(buffer, 1, sizeof buffer, err)) > 0) {
            run.err.append(buffer, n);
        }
        fclose(err);
    }
    return run;
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

TEST(FixtureLogs, EveryLogDecodesAndTheDamagedOneStopsAtItsRecordWithoutBlock) {
    for (const char* log :
         {"ins64_32m.dat", "ins1500_16m.dat", "bulk_two_lines.dat", "ring_counts.dat",
          "ring_endtime.dat", "wrap30_31st.dat", "corrected.dat"}) {
        DumpRun run = Dump("", log, 4096);
        EXPECT_EQ(run.code, 0) << log << ": " << run.err;
        EXPECT_EQ(run.out.rfind("  |", 0), 0u) << log;  // the heading: margin, delimiter, legend
    }
    DumpRun damaged = Dump("", "damaged.dat", 0);
    EXPECT_EQ(damaged.code, 3);
    EXPECT_NE(damaged.err.find("INSブロックが識別でないデータが含まれています。"),
              std::string::npos)
        << damaged.err;
    EXPECT_NE(damaged.err.find("FilePos = "), std::string::npos);
}

TEST(FixtureLogs, TimesFollowTheBaseRules) {
    // A ring whose span exceeds the counter range takes its base from the end time: the last
    // record then lies exactly at the log output end.
    DumpRun endTime = Dump("--summary", "ring_endtime.dat");
    ASSERT_EQ(endTime.code, 0) << endTime.err;
    EXPECT_FALSE(Field(endTime.out, "ログ出力終了日時").empty()) << endTime.out;
    EXPECT_EQ(Field(endTime.out, "最終データ日時"), Field(endTime.out, "ログ出力終了日時"))
        << endTime.out;

    // Starting on the 31st, the day counter goes on past the month end.
    DumpRun days = Dump("", "wrap30_31st.dat", 64 << 20);
    ASSERT_EQ(days.code, 0) << days.err;
    EXPECT_NE(days.out.find("TM=31/22:"), std::string::npos);
    EXPECT_NE(days.out.find("TM=32/"), std::string::npos);
    EXPECT_NE(days.out.find("TM=33/"), std::string::npos);

    // Both lines of a bulk file: line 2 shows lower-case records, with its legend label.
    DumpRun line2 = Dump("--line 2", "bulk_two_lines.dat", 4096);
    ASSERT_EQ(line2.code, 0) << line2.err;
    EXPECT_NE(line2.out.find("64[2]:LY1一覧："), std::string::npos) << line2.out.substr(0, 300);
}

}  // namespace
}  // namespace tessary::test
