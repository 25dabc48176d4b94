// insloggen as a program: usage errors name the option, an output that cannot be written
// leaves nothing behind, the same seed writes the same bytes, the demo log regenerates.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <thread>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "LogWalk.h"
#include "decode/Fcs16.h"
#include "logfile/Status.h"
#include "loggen/LogWriter.h"
#include "loggen/Options.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

namespace fs = std::filesystem;

ProgramRun Insloggen(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), TESSARY_INSLOGGEN);
    return RunCaught(args, dir);
}

std::vector<std::string> FolderEntries(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(InsloggenCli, HelpListsTheOptions) {
    TempDir dir;
    const ProgramRun r = Insloggen(dir, {"--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* option :
         {"--out", "--seed", "--records", "--size", "--ring", "--head-offset", "--ext-header",
          "--start-correction", "--counter-bits", "--count-start", "--noise", "--fill",
          "--truncate-last", "--data-kind", "--board", "--no-block-at", "--start"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
}

TEST(InsloggenCli, UsageErrorsNameTheOption) {
    TempDir dir;
    const std::string out = dir.File("x.dat");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frobnicate", "--out", out}, "--frobnicate"},
        {{"--records", "abc", "--out", out}, "--records"},
        {{"--records", "0", "--out", out}, "--records"},
        {{"--size", "12Q", "--out", out}, "--size"},
        {{"--board", "128", "--out", out}, "--board"},
        {{"--data-kind", "2", "--out", out}, "--data-kind"},
        {{"--data-kind", "4", "--board", "1500", "--out", out}, "--data-kind"},
        {{"--start", "2023-02-29 10:00:00", "--out", out}, "--start"},
        {{"--start-correction", "99999999999999", "--out", out}, "--start-correction"},
        {{"--counter-bits", "31", "--out", out}, "--counter-bits"},
        {{"--count-start", "0x40000000", "--out", out}, "--count-start"},
        {{"--ext-header", "16", "--out", out}, "--ext-header"},
        {{"--end-value", "5", "--out", out}, "--end-value"},
        {{"--head-offset", "100%", "--ring", "--out", out}, "--head-offset"},
        {{"--head-offset", "999999999", "--ring", "--records", "10", "--out", out},
         "--head-offset"},
        {{"--bad-fcs", "1001", "--out", out}, "--bad-fcs"},
        {{"--noise-at", "3,x", "--out", out}, "--noise-at"},
        {{"--seed"}, "--seed"},
        {{"--ring=yes", "--out", out}, "--ring"},
        {{"--records", "10"}, "--out"},
    };
    for (const auto& [args, option] : cases) {
        const ProgramRun r = Insloggen(dir, args);
        EXPECT_EQ(r.code, 2) << option;
        EXPECT_NE(r.err.find(option), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out)) << option;
    }
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
}

TEST(InsloggenCli, UnwritableOutputLeavesNoFile) {
    TempDir dir;
    // A missing folder, a "folder" that is a file, and a target that is a folder.
    fs::create_directory(dir.File("sub"));
    std::ofstream(dir.File("plain")) << "x";
    for (const std::string& target :
         {dir.File("missing/log.dat"), dir.File("plain/log.dat"), dir.File("sub")}) {
        const ProgramRun r = Insloggen(dir, {"--records", "200", "--out", target});
        EXPECT_EQ(r.code, 1) << target;
        EXPECT_NE(r.err.find("cannot"), std::string::npos) << r.err;
        EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"plain", "sub"})) << target;
        EXPECT_TRUE(fs::is_empty(dir.File("sub")));
    }
}

#ifdef _WIN32
TEST(InsloggenCli, InterruptedRunLeavesNoFile) {
    GTEST_SKIP() << "the test interrupts insloggen with SIGTERM from another process, which "
                    "Windows does not have (a program ended there by TerminateProcess cannot "
                    "clean up; Ctrl+C and Ctrl+Break are handled)";
}
#else
TEST(InsloggenCli, InterruptedRunLeavesNoFile) {
    TempDir dir;
    const std::string target = dir.File("big.dat");
    const pid_t pid = fork();
    if (pid == 0) {
        const char* argv[] = {TESSARY_INSLOGGEN, "--size",       "8G",   "--quiet",
                              "--out",           target.c_str(), nullptr};
        execv(argv[0], const_cast<char**>(argv));
        _exit(127);
    }
    // Wait until the temporary file is there, then interrupt.
    bool started = false;
    for (int i = 0; i < 5000 && !started; ++i) {
        started = !FolderEntries(dir.Path()).empty();
        if (!started) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(started);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
}
#endif

TEST(InsloggenCli, SameSeedSameBytesAndSizeTarget) {
    TempDir dir;
    const std::vector<std::string> common = {"--seed",       "77", "--size",      "200K", "--ring",
                                             "--ext-header", "40", "--data-kind", "4"};
    std::vector<std::string> a = common;
    a.insert(a.end(), {"--out", dir.File("a.dat")});
    std::vector<std::string> b = common;
    b.insert(b.end(), {"--out", dir.File("b.dat")});
    std::vector<std::string> c = common;
    c[1] = "78";
    c.insert(c.end(), {"--out", dir.File("c.dat")});
    ASSERT_EQ(Insloggen(dir, a).code, 0);
    ASSERT_EQ(Insloggen(dir, b).code, 0);
    ASSERT_EQ(Insloggen(dir, c).code, 0);
    const auto bytesA = ReadBytes(dir.File("a.dat"));
    EXPECT_EQ(bytesA, ReadBytes(dir.File("b.dat")));
    EXPECT_NE(bytesA, ReadBytes(dir.File("c.dat")));
    EXPECT_GE(bytesA.size(), 200u * 1024);
    EXPECT_LT(bytesA.size(), 200u * 1024 + 300);
    // Nothing but the three logs: the temporary names are gone.
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"a.dat", "b.dat", "c.dat"}));
}

TEST(InsloggenCli, LibraryAndProgramWriteTheSameFile) {
    TempDir dir;
    ASSERT_EQ(
        Insloggen(dir, {"--seed", "5", "--records", "700", "--board", "1500", "--start-correction",
                        "-1500", "--truncate-last", "--out", dir.File("cli.dat")})
            .code,
        0);
    loggen::LogProfile profile;
    profile.seed = 5;
    profile.records = 700;
    profile.board = loggen::Board::Ins1500;
    profile.startCorrectionMs = -1500;
    profile.truncateLast = true;
    ASSERT_EQ(loggen::WriteLog(profile, dir.File("lib.dat")), loggen::WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(dir.File("cli.dat")), ReadBytes(dir.File("lib.dat")));
}

// The demo log's command line is the one in samples/README.md.
std::vector<std::string> DemoCommand() {
    std::ifstream readme(std::string(TESSARY_SOURCE_DIR) + "/samples/README.md");
    std::string line;
    while (std::getline(readme, line)) {
        if (line.rfind("insloggen ", 0) == 0) {
            std::istringstream words(line);
            std::vector<std::string> args;
            std::string w;
            words >> w;  // the program name
            while (words >> w) {
                args.push_back(w);
            }
            return args;
        }
    }
    return {};
}

TEST(DemoLog, RegeneratesByteForByte) {
    std::vector<std::string> args = DemoCommand();
    ASSERT_FALSE(args.empty()) << "no insloggen line in samples/README.md";
    TempDir dir;
    bool outReplaced = false;
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--out") {
            args[i + 1] = dir.File("demo.dat");
            outReplaced = true;
        }
    }
    ASSERT_TRUE(outReplaced);
    ASSERT_EQ(Insloggen(dir, args).code, 0);
    const auto committed = ReadBytes(std::string(TESSARY_SOURCE_DIR) + "/samples/demo.dat");
    ASSERT_FALSE(committed.empty());
    EXPECT_EQ(ReadBytes(dir.File("demo.dat")), committed);
}

TEST(DemoLog, HoldsWhatTheReadmePromises) {
    const std::string path = std::string(TESSARY_SOURCE_DIR) + "/samples/demo.dat";
    const WalkResult walk = WalkLog(path);
    ASSERT_EQ(walk.conversionStatus, kStatusDone);
    EXPECT_GE(walk.records.size(), 200u);
    EXPECT_LE(walk.records.size(), 800u);
    EXPECT_EQ(walk.warningCounter, 1);
    int bad = 0;
    int setups = 0;
    int polls = 0;
    bool transmit = false;
    bool receive = false;
    for (const WalkedRecord& r : walk.records) {
        const auto& b = r.bytes;
        transmit = transmit || b[1] == 'T';
        receive = receive || b[1] == 'R';
        if (b[2] != 0 || b.size() < 9 + 5) {
            continue;
        }
        const uint16_t fcs = Fcs16(b.data() + 9, b.size() - 11);
        bad += (b[b.size() - 2] != (fcs & 0xFF) || b[b.size() - 1] != (fcs >> 8)) ? 1 : 0;
        polls += (b[11] == 0x01 && (b[12] & 1)) ? 1 : 0;
        setups += (b.size() > 9 + 9 && !(b[11] & 1) && b[13] == 0x08 && b[16] == 0x05) ? 1 : 0;
    }
    EXPECT_EQ(bad, 1);
    EXPECT_GE(setups, 3);
    EXPECT_LE(setups, 20);
    EXPECT_GT(polls, 4);
    EXPECT_TRUE(transmit && receive);
}

TEST(LoggenOptions, SizesDurationsAndDates) {
    loggen::CommandLine line;
    std::string error;
    ASSERT_EQ(loggen::ParseCommandLine({"--size", "100M", "--out", "x"}, line, error),
              loggen::ParseOutcome::kRun)
        << error;
    EXPECT_EQ(line.profile.sizeBytes, 100u << 20);
    EXPECT_EQ(line.profile.records, 0u);
    line = {};
    ASSERT_EQ(loggen::ParseCommandLine(
                  {"--span=3d", "--call-interval", "90s", "--start", "2024-01-31T23:59:59.999",
                   "--count-start", "0x3FFFFF00", "--out", "x"},
                  line, error),
              loggen::ParseOutcome::kRun)
        << error;
    EXPECT_EQ(line.profile.spanMs, 3 * 86400000LL);
    EXPECT_EQ(line.profile.callIntervalMs, 90000);
    EXPECT_EQ(line.profile.start.day, 31);
    EXPECT_EQ(line.profile.start.milliseconds, 999);
    EXPECT_EQ(line.profile.countStart, 0x3FFFFF00u);
    line = {};
    EXPECT_EQ(
        loggen::ParseCommandLine({"--start", "2024-01-31 24:00:00", "--out", "x"}, line, error),
        loggen::ParseOutcome::kUsageError);
    EXPECT_EQ(loggen::ParseCommandLine({"--help"}, line, error), loggen::ParseOutcome::kHelp);
}

}  // namespace
}  // namespace tessary::test
