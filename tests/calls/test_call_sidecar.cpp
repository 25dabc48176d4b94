// The call list against the calls insloggen says it generated (--call-list): call for call the
// same start, line, call reference, numbers, channel, result and cause, over logs with copies
// in blocks A/D, broadcast SETUPs, suspended calls, the long call references of INS-Net 1500
// and both lines of a bulk log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CallTestLog.h"
#include "calls/CallList.h"
#include "calls/CallRows.h"
#include "decode/CanPara.h"
#include "support/TempDir.h"

namespace tessary::calls {
namespace {

using tessary::test::TempDir;
using test::ConvertedLog;

std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : line) {
        if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

struct SidecarCall {
    std::string start, line, callRef, calling, called, channel, result, cause;
};

std::vector<SidecarCall> ReadSidecar(const std::string& path) {
    std::ifstream in(path);
    std::vector<SidecarCall> calls;
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "start,line,callRef,calling,called,channel,result,cause");
    while (std::getline(in, line)) {
        const std::vector<std::string> f = SplitCsv(line);
        EXPECT_EQ(f.size(), 8u) << line;
        if (f.size() == 8) {
            calls.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]});
        }
    }
    return calls;
}

bool AllDigits(const std::u16string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// The tracker's calls of one line against the sidecar's calls of that line.
void ExpectSameCalls(const CTessaryCan& converter, const std::vector<CallInfo>& calls,
                     const std::vector<SidecarCall>& all, const std::string& line) {
    std::vector<SidecarCall> generated;
    for (const SidecarCall& call : all) {
        if (call.line == line) {
            generated.push_back(call);
        }
    }
    ASSERT_EQ(calls.size(), generated.size());
    // The start as the CLI writes it in date format 3.
    CallRowWriter writer(CallRowFormat::kCsv, converter.BaseTime(), 3);
    for (size_t i = 0; i < calls.size(); ++i) {
        const CallInfo& call = calls[i];
        const SidecarCall& made = generated[i];
        SCOPED_TRACE("call " + std::to_string(i) + " of line '" + line + "' at " + made.start);
        EXPECT_EQ(writer.Row(call).substr(0, made.start.size() + 1), made.start + ",");
        EXPECT_EQ(call.line == 0 ? "" : std::to_string(call.line), made.line);
        EXPECT_EQ(Utf8(CallRefText(call)), made.callRef);
        // A number withheld or of another type shows as a text of the decoder ("表示不可",
        // "不明番号種別", ...).
        EXPECT_EQ(AllDigits(call.called) ? Utf8(call.called) : "", made.called);
        EXPECT_EQ(AllDigits(call.calling) ? Utf8(call.calling) : "", made.calling);
        if (!made.channel.empty()) {
            EXPECT_EQ(std::to_string(call.channelNumber), made.channel);
        }
        EXPECT_EQ(ResultKey(call.result), made.result);
        EXPECT_EQ(call.cause < 0 ? "" : std::to_string(call.cause), made.cause);
    }
}

class CallSidecar : public ::testing::TestWithParam<const char*> {};

TEST_P(CallSidecar, TrackerFindsEveryGeneratedCall) {
    TempDir dir;
    const std::string sidecar = dir.File("calls.csv");
    const std::string options = std::string(GetParam()) + " --call-list " + sidecar;
    const std::string path = test::WriteLog(dir, "calls.dat", options);
    ASSERT_FALSE(path.empty()) << options;
    const std::vector<SidecarCall> generated = ReadSidecar(sidecar);
    ASSERT_GT(generated.size(), 20u);
    const bool bulk = !generated.front().line.empty();
    for (int line = 1; line <= (bulk ? 2 : 1); ++line) {
        ConvertedLog log;
        log.SelectLine(line);
        ASSERT_EQ(log.Convert(path), 0);
        const std::vector<CallInfo> calls = BuildCallList(*log.converter);
        ExpectSameCalls(*log.converter, calls, generated, bulk ? std::to_string(line) : "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logs, CallSidecar,
    ::testing::Values(
        // Copies in blocks A/D, prefixes, odd frames and a wrong check sequence now and then.
        "--seed 5 --records 30000 --call-interval 4s",
        // Every frame copied, many calls at a time.
        "--seed 11 --records 30000 --call-interval 1s --relay 1000 --bad-fcs 0",
        // Two lines in one bulk log, each listed on its own.
        "--seed 3 --records 30000 --data-kind 4 --lines 2 --call-interval 3s",
        // INS-Net 1500: long call references, primary-rate channels.
        "--seed 8 --records 30000 --board 1500 --call-interval 2s"));

// Runs `command` and returns what it wrote on stdout.
std::string Output(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            text.append(buffer, count);
        }
        EXPECT_EQ(pclose(pipe), 0) << command;
    }
    return text;
}

// tessarydump --calls against the sidecar, row by row: each line of a bulk log on its own.
TEST(CallSidecarCli, DumpListsTheGeneratedCalls) {
    TempDir dir;
    const std::string sidecar = dir.File("calls.csv");
    const std::string path = test::WriteLog(
        dir, "calls.dat",
        "--seed 4 --records 20000 --data-kind 4 --lines 2 --call-interval 2s --call-list " +
            sidecar);
    ASSERT_FALSE(path.empty());
    const std::vector<SidecarCall> generated = ReadSidecar(sidecar);
    for (int line = 1; line <= 2; ++line) {
        SCOPED_TRACE("line " + std::to_string(line));
        const std::string dump = Output(std::string("\"") + TESSARY_BINARY_DIR +
                                        "/src/cli/tessarydump\" --default-settings --calls "
                                        "--date-format 3 --line " +
                                        std::to_string(line) + " \"" + path + "\"");
        std::istringstream rows(dump);
        std::string row;
        ASSERT_TRUE(std::getline(rows, row));
        const std::vector<std::string> header = SplitCsv(row);
        auto column = [&](const char* name) {
            return static_cast<size_t>(std::find(header.begin(), header.end(), name) -
                                       header.begin());
        };
        std::vector<SidecarCall> listed;
        while (std::getline(rows, row)) {
            const std::vector<std::string> f = SplitCsv(row);
            ASSERT_EQ(f.size(), header.size()) << row;
            listed.push_back({f[column("start")], f[column("line")], f[column("callRef")],
                              f[column("calling")], f[column("called")], f[column("channelNumber")],
                              f[column("result")], f[column("cause")]});
        }
        std::vector<SidecarCall> expected;
        for (const SidecarCall& call : generated) {
            if (call.line == std::to_string(line)) {
                expected.push_back(call);
            }
        }
        ASSERT_GT(expected.size(), 20u);
        ASSERT_EQ(listed.size(), expected.size());
        for (size_t i = 0; i < listed.size(); ++i) {
            SCOPED_TRACE("call " + std::to_string(i) + " at " + expected[i].start);
            EXPECT_EQ(listed[i].start, expected[i].start);
            EXPECT_EQ(listed[i].line, expected[i].line);
            EXPECT_EQ(listed[i].callRef, expected[i].callRef);
            EXPECT_EQ(AllDigits(Utf16(listed[i].called)) ? listed[i].called : "",
                      expected[i].called);
            EXPECT_EQ(AllDigits(Utf16(listed[i].calling)) ? listed[i].calling : "",
                      expected[i].calling);
            if (!expected[i].channel.empty()) {
                EXPECT_EQ(listed[i].channel, expected[i].channel);
            }
            EXPECT_EQ(listed[i].result, expected[i].result);
            EXPECT_EQ(listed[i].cause, expected[i].cause);
        }
    }
}

// --jsonl gives the same calls as objects; --calls takes no other mode.
TEST(CallSidecarCli, JsonLinesAndUsage) {
    const std::string dump = std::string("\"") + TESSARY_BINARY_DIR +
                             "/src/cli/tessarydump\" --default-settings --calls ";
    const std::string demo = std::string(" \"") + TESSARY_SOURCE_DIR + "/samples/demo.dat\"";
    const std::string csv = Output(dump + demo);
    const std::string jsonl = Output(dump + "--jsonl" + demo);
    const auto lines = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    ASSERT_GT(lines(csv), 5);
    EXPECT_EQ(lines(jsonl), lines(csv) - 1);  // no header row
    EXPECT_EQ(jsonl.rfind("{\"start\":", 0), 0u);
    EXPECT_NE(jsonl.find("\"callRef\":\"発1\""), std::string::npos);
    EXPECT_NE(std::system((dump + "--header" + demo + " >/dev/null 2>&1").c_str()), 0);
}

}  // namespace
}  // namespace tessary::calls
