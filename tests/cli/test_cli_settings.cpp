// Where tessarydump takes its settings from: the user's stored settings of the viewer, an INI
// file named with --settings, or none with --default-settings. Every test of this program runs
// with XDG_CONFIG_HOME in a folder of its own, so that nothing a user stored changes them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/GeneratedLog.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

// Set before any test starts; the child processes inherit it.
struct IsolatedUserConfig {
    std::unique_ptr<TempDir> dir = std::make_unique<TempDir>();
    IsolatedUserConfig() { setenv("XDG_CONFIG_HOME", dir->Path().c_str(), 1); }
};
const IsolatedUserConfig g_userConfig;

struct SettingsRun : ProgramRun {
    explicit SettingsRun(ProgramRun run) : ProgramRun(std::move(run)) {}
    // The block-title lines (the second line onwards, up to the first record).
    std::string Titles(size_t lines) const {
        size_t at = out.find('\n');
        const size_t start = at + 1;
        for (size_t i = 0; i < lines && at != std::string::npos; ++i) {
            at = out.find('\n', at + 1);
        }
        return out.substr(start, at - start);
    }
};

class CliSettings : public ::testing::Test {
protected:
    TempDir dir;
    TempDir home;  // a user's configuration folder
    std::string log;

    void SetUp() override {
        log = dir.File("a.dat");
        ASSERT_TRUE(RunInsloggen("--seed 11 --records 40", log));
    }

    // The user's stored settings in `home`, as the viewer writes them on Linux.
    void Store(const std::string& values) const {
        std::filesystem::create_directories(home.File("Nemra"));
        std::ofstream(home.File("Nemra/TessaryView.conf"), std::ios::binary) << "[Settings]\n"
                                                                             << values;
    }

    // tessarydump with XDG_CONFIG_HOME at `config` (empty: the isolated folder of all tests).
    // The child takes the variable from this process: set for the run, then put back.
    SettingsRun Dump(const std::vector<std::string>& args, const std::string& config) const {
        std::vector<std::string> words{TessarydumpPath()};
        words.insert(words.end(), args.begin(), args.end());
        if (!config.empty()) {
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        }
        SettingsRun run(RunCaught(words, dir));
        setenv("XDG_CONFIG_HOME", g_userConfig.dir->Path().c_str(), 1);
        return run;
    }
};

const std::string kDefaultTitles =
    "|Ａ  TX  局 ←\n"
    "\t\t\t\t\t\t  |Ｂ  RX  局 →\n"
    "\t\t\t\t\t\t\t\t\t\t\t\t  |Ｃ  TX  ← 端末\n"
    "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t  |Ｄ  RX  → 端末";

TEST_F(CliSettings, TestsRunWithoutTheUsersSettings) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(std::string(config), g_userConfig.dir->Path());
    const SettingsRun run = Dump({log}, {});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Titles(4), kDefaultTitles);
}

TEST_F(CliSettings, StoredSettingsChangeTheText) {
    Store("CanParaTitleDemi=#\nCanParaFlag=512\n");
    const SettingsRun run = Dump({log}, home.Path());
    ASSERT_EQ(run.code, 0) << run.err;
    // The delimiter, and all titles on one row.
    const std::string row = run.Titles(1);
    EXPECT_EQ(row.rfind("#Ａ  TX  局 ←", 0), 0u) << row;
    EXPECT_NE(row.find("#Ｂ  RX  局 →"), std::string::npos) << row;
    EXPECT_EQ(row.substr(row.size() - std::string("#Ｄ  RX  → 端末").size()), "#Ｄ  RX  → 端末");
    // Reading them writes nothing back.
    EXPECT_EQ(ReadText(home.File("Nemra/TessaryView.conf")),
              "[Settings]\nCanParaTitleDemi=#\nCanParaFlag=512\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Path()),
                            std::filesystem::directory_iterator()),
              1);

    // The same text the JSON records carry: the stored date format is used.
    Store("CanParaFlag=3\n");
    const SettingsRun json = Dump({"--jsonl", log}, home.Path());
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_NE(json.out.find("TM=20"), std::string::npos);
    const SettingsRun plain = Dump({"--jsonl", log}, {});
    EXPECT_EQ(plain.out.find("TM=20"), std::string::npos);
}

TEST_F(CliSettings, SettingsFileReplacesTheStoredSettings) {
    Store("CanParaTitleDemi=#\nCanParaFlag=512\n");
    const std::string ini = dir.File("s.ini");
    std::ofstream(ini) << "[Settings]\nCanParaTitleDemi=%\n";
    const SettingsRun run = Dump({"--settings", ini, log}, home.Path());
    ASSERT_EQ(run.code, 0) << run.err;
    // The file's delimiter; the stored one-row flag is not read either.
    std::string expected = kDefaultTitles;
    for (size_t at = expected.find('|'); at != std::string::npos; at = expected.find('|', at)) {
        expected[at] = '%';
    }
    EXPECT_EQ(run.Titles(4), expected);

    const SettingsRun missing = Dump({"--settings", dir.File("none.ini"), log}, home.Path());
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("none.ini> (Error = 2)"), std::string::npos) << missing.err;
}

TEST_F(CliSettings, DefaultSettingsIgnoreStoredAndFile) {
    Store("CanParaTitleDemi=#\nCanParaFlag=515\nCanParaBlockLen=4\n");
    const SettingsRun run = Dump({"--default-settings", log}, home.Path());
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Titles(4), kDefaultTitles);
    EXPECT_EQ(run.out, Dump({log}, {}).out);

    // A settings file is not read at all.
    const SettingsRun withFile =
        Dump({"--default-settings", "--settings", dir.File("none.ini"), log}, home.Path());
    ASSERT_EQ(withFile.code, 0) << withFile.err;
    EXPECT_EQ(withFile.out, run.out);

    const SettingsRun valued = Dump({"--default-settings=1", log}, {});
    EXPECT_EQ(valued.code, 2);
    EXPECT_NE(valued.err.find("--default-settings: takes no value"), std::string::npos);
    const SettingsRun help = Dump({"--help"}, {});
    EXPECT_NE(help.out.find("  --default-settings "), std::string::npos);
    EXPECT_NE(help.out.find("instead of the user's stored settings"), std::string::npos);
}

}  // namespace
}  // namespace tessary::test
