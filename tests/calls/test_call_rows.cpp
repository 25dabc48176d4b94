// The call list over generated logs, and its rows as CSV and JSON Lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "CallTestLog.h"
#include "calls/CallList.h"
#include "calls/CallRows.h"
#include "support/TempDir.h"

namespace tessary::calls {
namespace {

using tessary::test::ReadText;
using tessary::test::TempDir;
using test::ConvertedLog;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Every SETUP starts a call or repeats the SETUP of one; every record a call holds is a
// call-control message of that call.
void ExpectEverySetupInACall(const CTessaryCan& converter, const std::vector<CallInfo>& calls) {
    std::set<uint32_t> held;
    for (const CallInfo& call : calls) {
        bool resumed = false;  // a resumed call goes on with a call reference of its own
        for (uint32_t index : call.records) {
            resumed = resumed || converter.Record(index)->Code == 0x26;
        }
        for (uint32_t index : call.records) {
            EXPECT_TRUE(held.insert(index).second) << "record " << index << " in two calls";
            const MessageRecord& record = *converter.Record(index);
            EXPECT_EQ(record.Layer, kLayerMessage);
            if (record.CallRef != -1 && !resumed) {
                EXPECT_EQ(static_cast<uint32_t>(record.CallRef), call.callRef);
            }
        }
    }
    for (uint32_t i = 0; i < converter.LineCount(); ++i) {
        const MessageRecord& record = *converter.Record(i);
        if (record.Layer == kLayerMessage && record.Code == 0x05 &&
            (record.Flags & kRecordError) == 0 && record.Block < 4) {
            EXPECT_TRUE(held.count(i)) << "SETUP at index " << i << " in no call";
        }
    }
}

TEST(CallList, DemoLogCallsAreComplete) {
    ConvertedLog log;
    ASSERT_EQ(log.Convert(TESSARY_SOURCE_DIR "/samples/demo.dat"), 0);
    const std::vector<CallInfo> calls = BuildCallList(*log.converter);
    ASSERT_GE(calls.size(), 5u);
    ExpectEverySetupInACall(*log.converter, calls);
    std::set<CallResult> results;
    for (const CallInfo& call : calls) {
        results.insert(call.result);
        EXPECT_FALSE(call.called.empty() && call.calling.empty());
        EXPECT_LE(call.setupMs, call.lastMs);
        if (call.result != CallResult::kOpen) {
            EXPECT_NE(call.clearingMs, kNoTime);
        }
    }
    EXPECT_TRUE(results.count(CallResult::kAnswered));
    EXPECT_TRUE(results.count(CallResult::kRejected));
}

TEST(CallList, RowsAsCsvAndJsonLines) {
    CallInfo call;
    call.setupIndex = 14;
    call.setupId = 13;
    call.setupBlock = 2;
    call.callRef = 1;
    call.calling = u"03,12\"34";  // a comma and a quote make the field quoted
    call.called = u"0398765432";
    call.setupChannel = u"CH=01変更可";
    call.channel = u"CH=02変更不可";
    call.channelNumber = 2;
    call.setupMs = 1000;
    call.connectMs = 3000;
    call.clearingMs = 63500;
    call.lastMs = 63600;
    call.cause = 16;
    call.causeText = u"正常";
    call.causeFrom = CallSide::kTerminal;
    call.result = CallResult::kAnswered;
    call.records = {14, 15, 17};
    // Base time 2024-06-07 12:34:56.789 in ticks since 1601.
    const int64_t base = 133622372967890000;

    CallRowWriter csv(CallRowFormat::kCsv, base, 3);
    const std::vector<std::string> header = Lines(csv.Header());
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].rfind("start,setupIndex,setupId,line,block,callRef,", 0), 0u);
    EXPECT_EQ(csv.Row(call),
              "2024/06/07 12:34:57.789,14,13,,C,発1,0,\"03,12\"\"34\",,0398765432,,,CH=01変更可,"
              "CH=02変更不可,2,,2024/06/07 12:34:59.789,2024/06/07 12:36:00.289,"
              "2024/06/07 12:36:00.389,60500,answered,応答,16,正常,terminal,3\n");

    CallRowWriter day(CallRowFormat::kCsv, base, 0);
    EXPECT_EQ(day.Row(call).rfind("07/12:34:57.789,", 0), 0u);

    CallRowWriter jsonl(CallRowFormat::kJsonl, base, 3);
    EXPECT_EQ(jsonl.Header(), "");
    const std::string object = jsonl.Row(call);
    EXPECT_NE(object.find("\"calling\":\"03,12\\\"34\""), std::string::npos);
    EXPECT_NE(object.find("\"line\":null"), std::string::npos);
    EXPECT_NE(object.find("\"alerting\":null"), std::string::npos);
    EXPECT_NE(object.find("\"durationMs\":60500"), std::string::npos);
    EXPECT_NE(object.find("\"callRef\":\"発1\""), std::string::npos);
    EXPECT_NE(object.find("\"result\":\"answered\""), std::string::npos);
    EXPECT_EQ(object.back(), '\n');
    EXPECT_EQ(object.front(), '{');
}

TEST(CallList, StreamWritesTheSameRowsAsTheWholeList) {
    TempDir dir;
    const std::string path =
        test::WriteLog(dir, "calls.dat", "--seed 19 --records 20000 --call-interval 3s");
    ConvertedLog log;
    ASSERT_EQ(log.Convert(path), 0);
    const std::vector<CallInfo> calls = BuildCallList(*log.converter);
    ASSERT_GT(calls.size(), 100u);
    ExpectEverySetupInACall(*log.converter, calls);

    const std::string out = dir.File("rows.csv");
    std::FILE* file = std::fopen(out.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    CallRowStream stream(CallRowFormat::kCsv, log.converter->BaseTime(), 1, 0, file);
    for (uint32_t i = 0; i < log.converter->LineCount(); ++i) {
        stream.Add(*log.converter->Record(i));
    }
    EXPECT_TRUE(stream.Finish());
    std::fclose(file);

    CallRowWriter writer(CallRowFormat::kCsv, log.converter->BaseTime(), 1);
    std::string expected = writer.Header();
    for (const CallInfo& call : calls) {
        expected += writer.Row(call);
    }
    const std::vector<std::string> written = Lines(ReadText(out));
    const std::vector<std::string> wanted = Lines(expected);
    ASSERT_EQ(written.size(), wanted.size());
    for (size_t i = 0; i < wanted.size(); ++i) {
        EXPECT_EQ(written[i], wanted[i]) << "row " << i;
    }
}

TEST(CallList, EmptyListIsTheHeaderAlone) {
    TempDir dir;
    const std::string out = dir.File("rows.csv");
    std::FILE* file = std::fopen(out.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    CallRowStream stream(CallRowFormat::kCsv, 0, 0, 0, file);
    EXPECT_TRUE(stream.Finish());
    std::fclose(file);
    EXPECT_EQ(Lines(ReadText(out)).size(), 1u);
}

}  // namespace
}  // namespace tessary::calls
