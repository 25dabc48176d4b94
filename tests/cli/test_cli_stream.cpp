// tessarydump writes each record as it is converted and forgets it. Its output must stay the
// output the tables of the whole log give (the copy text and JSONL of the viewer's layout), for
// every mode and option; and the stream must hold only a few records at a time.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CliSession.h"
#include "cli/DumpStream.h"
#include "cli/RecordStream.h"
#include "decode/LineStore.h"
#include "decode/SearchMark.h"
#include "display/DisplaySource.h"
#include "logfile/Status.h"
#include "mainwnd/Aggregation.h"
#include "support/GeneratedLog.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

using cli::CliOptions;
using cli::CliSession;
using cli::Mode;

const std::string kTestLogs = std::string(TESSARY_BINARY_DIR) + "/testlogs/";
const std::string kDump = std::string(TESSARY_BINARY_DIR) + "/src/cli/tessarydump";

struct Output {
    int code = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// One session: the stream (Run) or the tables of the whole log (Prepare, RunTables).
Output RunSession(const TempDir& dir, CliOptions options, bool stream) {
    options.defaultSettings = true;
    const std::string outPath = dir.File(stream ? "stream.out" : "tables.out");
    const std::string errPath = dir.File(stream ? "stream.err" : "tables.err");
    std::FILE* out = std::fopen(outPath.c_str(), "wb");
    std::FILE* err = std::fopen(errPath.c_str(), "wb");
    Output result;
    if (out == nullptr || err == nullptr) {
        ADD_FAILURE() << "cannot open " << outPath;
        return result;
    }
    {
        CliSession session(options, out, err, false);
        if (stream) {
            result.code = session.Run();
        } else {
            result.code = session.Prepare();
            if (result.code == cli::kExitDone) {
                result.code = session.RunTables();
            }
        }
    }
    std::fclose(out);
    std::fclose(err);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

// Index numbers of SETUP records with a channel: the first, one from the middle, the last.
std::vector<uint32_t> SetupIds(const TempDir& dir, const std::string& log, int line) {
    CliOptions options;
    options.file = log;
    options.line = line;
    options.defaultSettings = true;
    std::FILE* sink = std::fopen(dir.File("ids.out").c_str(), "wb");
    std::vector<uint32_t> all;
    {
        CliSession session(options, sink, sink, false);
        if (session.Prepare() == cli::kExitDone && session.Load() == cli::kExitDone) {
            const CTessaryCan* converter = session.Converter();
            for (uint32_t i = 1; i < converter->LineCount(); ++i) {
                const MessageRecord* record = converter->Record(i);
                if (record->Layer == kLayerMessage && record->Code == 5 &&
                    (record->Flags & kRecordWarning) == 0 &&
                    !ChannelText(record->TextView()).empty()) {
                    all.push_back(record->Id);
                }
            }
        }
    }
    std::fclose(sink);
    if (all.empty()) {
        return all;
    }
    return {all.front(), all[all.size() / 2], all.back()};
}

// Every option set of the comparison, by name.
struct Variant {
    const char* name;
    void (*apply)(CliOptions&);
};

const Variant kVariants[] = {
    {"text", [](CliOptions&) {}},
    {"jsonl", [](CliOptions& o) { o.mode = Mode::kJsonl; }},
    {"crlf, date format 3",
     [](CliOptions& o) {
         o.crlf = true;
         o.dateFormat = 3;
     }},
    {"jsonl, date format 1",
     [](CliOptions& o) {
         o.mode = Mode::kJsonl;
         o.dateFormat = 1;
     }},
    {"hide RR, wrap 20",
     [](CliOptions& o) {
         o.hideRr = true;
         o.wrap = 20;
     }},
    {"search",
     [](CliOptions& o) {
         o.hasSearch = true;
         o.search = "<TEI=64>";
     }},
    {"search jsonl, hide RR",
     [](CliOptions& o) {
         o.mode = Mode::kJsonl;
         o.hasSearch = true;
         o.hideRr = true;
         o.search = "<呼設定>";
     }},
    {"search that selects nothing",
     [](CliOptions& o) {
         o.hasSearch = true;
         o.search = "<no such text anywhere>";
     }},
};

void ExpectSameOutputs(const TempDir& dir, const std::string& log, int line) {
    std::vector<CliOptions> runs;
    std::vector<std::string> names;
    for (const Variant& variant : kVariants) {
        CliOptions options;
        options.file = log;
        options.line = line;
        variant.apply(options);
        runs.push_back(options);
        names.push_back(variant.name);
    }
    for (const uint32_t id : SetupIds(dir, log, line)) {
        for (const bool jsonl : {false, true}) {
            CliOptions options;
            options.file = log;
            options.line = line;
            options.hasCall = true;
            options.callId = id;
            options.mode = jsonl ? Mode::kJsonl : Mode::kText;
            runs.push_back(options);
            names.push_back(std::string("call ") + std::to_string(id) + (jsonl ? " jsonl" : ""));
        }
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        const Output tables = RunSession(dir, runs[i], false);
        const Output stream = RunSession(dir, runs[i], true);
        EXPECT_EQ(stream.code, tables.code) << log << ", " << names[i];
        EXPECT_EQ(stream.err, tables.err) << log << ", " << names[i];
        EXPECT_TRUE(stream.out == tables.out)
            << log << ", " << names[i] << ": " << stream.out.size() << " bytes streamed, "
            << tables.out.size() << " from the tables";
    }
}

TEST(CliStreamTest, StreamWritesWhatTheTablesOfTheWholeLogGive) {
    TempDir dir;
    // Mixed traffic: many calls, out-of-scope frames, prefixes, noise, fill, oversize frames,
    // direct-through copies, a cut last record.
    const std::string mixed = GenerateLog(dir, "mixed.dat",
                                          "--seed 16 --records 20000 --call-interval 300ms "
                                          "--poll-interval 2s --odd-frames 150 --prefix 150 "
                                          "--noise 20 --stray-marks 10 --fill 10 --bad-fcs 5 "
                                          "--oversize 10 --relay 800 --truncate-last");
    ExpectSameOutputs(dir, mixed, 1);
    const std::string ins1500 =
        GenerateLog(dir, "ins1500.dat", "--seed 22 --records 3000 --board 1500");
    ExpectSameOutputs(dir, ins1500, 1);
}

TEST(CliStreamTest, StreamWritesWhatTheTablesGiveForRingsBulkLogsAndFailures) {
    TempDir dir;
    // A ring whose base comes from its end time (the viewer's second pass), a ring with
    // counts, both lines of a bulk log, a corrected start, the day counter past the month end.
    ExpectSameOutputs(dir, kTestLogs + "ring_endtime.dat", 1);
    ExpectSameOutputs(dir, kTestLogs + "ring_counts.dat", 1);
    ExpectSameOutputs(dir, kTestLogs + "bulk_two_lines.dat", 2);
    ExpectSameOutputs(dir, kTestLogs + "corrected.dat", 1);
    ExpectSameOutputs(dir, kTestLogs + "wrap30_31st.dat", 1);

    // A conversion that fails half-way writes nothing, as before; so do a missing file and a
    // log without records to show.
    const std::string noBlock =
        GenerateLog(dir, "nb.dat", "--seed 11 --records 50 --no-block-at 20");
    for (const std::string& log : {kTestLogs + "damaged.dat", noBlock, dir.File("none.dat")}) {
        CliOptions options;
        options.file = log;
        const Output tables = RunSession(dir, options, false);
        const Output stream = RunSession(dir, options, true);
        EXPECT_NE(stream.code, cli::kExitDone) << log;
        EXPECT_EQ(stream.code, tables.code) << log;
        EXPECT_EQ(stream.out, "") << log;
        EXPECT_EQ(stream.err, tables.err) << log;
    }
}

// Counts what the main layout was given.
class CountingConsumer : public cli::LayoutConsumer {
public:
    using LayoutConsumer::LayoutConsumer;
    int32_t Consume(CTessaryCan& converter, MessageRecord& record) override {
        ++records;
        return LayoutConsumer::Consume(converter, record);
    }
    uint32_t records = 0;
};

TEST(CliStreamTest, StreamHoldsAFewRecordsWhateverTheLogSize) {
    TempDir dir;
    const std::string log = GenerateLog(dir, "big.dat", "--seed 5 --records 120000");
    CanPara para;
    ResetPara(para);
    const cli::LogCheck check = cli::CheckLog(log, 1, para.Flag[0]);
    ASSERT_TRUE(check.streamable);
    SearchCondition conditions[kMarkIfTextCount];
    CountingConsumer consumer(DisplaySource{&para, conditions});
    cli::RecordStream stream(log, &para, check);
    SyncPassProgress progress;
    ASSERT_EQ(stream.Run(consumer, progress), kStatusDone);
    const CTessaryCan& converter = stream.Converter();
    EXPECT_EQ(consumer.records, converter.LineCount());
    EXPECT_GT(converter.LineCount(), 120000u);
    // The whole log's store would take about 17 bytes per byte of data.
    EXPECT_LE(converter.TextCapacity(), uint64_t{2} << 20);
    EXPECT_GT(converter.FirstIndex(), converter.LineCount() - 4000);
}

TEST(CliStreamTest, ForgottenRecordsAreGoneAndKeptOnesMoveWithTheirIndex) {
    LineStore store;
    store.Create(64 * 1024, 64 * 1024);
    const std::u16string texts[] = {u"title", u"ID=0000000 first", u"ID=0000001 pinned row",
                                    u"ID=0000002 third", u"ID=0000003 fourth"};
    for (const std::u16string& text : texts) {
        ASSERT_NE(store.Append(text, 0), nullptr);
    }
    const uint64_t pinnedAt = store.Entry(2);
    const uint64_t fourthAt = store.Entry(4);
    const StoreMove move = store.Forget(4, 2);
    EXPECT_EQ(store.LineCount(), 5u);
    EXPECT_EQ(store.FirstIndex(), 4u);
    EXPECT_EQ(store.Record(0), nullptr);
    EXPECT_EQ(store.Record(1), nullptr);
    EXPECT_EQ(store.Record(3), nullptr);
    ASSERT_NE(store.Record(2), nullptr);
    EXPECT_EQ(store.Record(2)->TextView(), texts[2]);
    EXPECT_EQ(store.Record(2)->Index, 2u);
    EXPECT_EQ(store.Record(4)->TextView(), texts[4]);
    EXPECT_EQ(store.Record(4)->Index, 4u);
    // Offsets into kept records follow them; the pinned record keeps its room.
    EXPECT_EQ(reinterpret_cast<uint8_t*>(store.Record(2)), store.TextBase() + move.Apply(pinnedAt));
    EXPECT_EQ(reinterpret_cast<uint8_t*>(store.Record(4)), store.TextBase() + move.Apply(fourthAt));
    EXPECT_GE(store.TextRoom(2), texts[2].size() + 1);
    EXPECT_EQ(store.TextUsed(),
              MessageRecordSize(texts[2].size()) + MessageRecordSize(texts[4].size()));

    // Appending goes on with the next index; forgetting again drops the old pin.
    MessageRecord* fifth = store.Append(u"ID=0000004 fifth", 0);
    ASSERT_NE(fifth, nullptr);
    EXPECT_EQ(fifth->Index, 5u);
    store.Forget(5, kNoRecordIndex);
    EXPECT_EQ(store.Record(2), nullptr);
    EXPECT_EQ(store.Record(4), nullptr);
    EXPECT_EQ(store.Record(5)->TextView(), u"ID=0000004 fifth");
}

TEST(CliStreamTest, AFailedWriteIsAFailure) {
    TempDir dir;
    const std::string log = GenerateLog(dir, "a.dat", "--seed 11 --records 3000");
    for (const char* mode : {"", "--jsonl "}) {
        const std::string command = ShellQuote(kDump) + " --default-settings " + mode +
                                    ShellQuote(log) + " >/dev/full 2>" +
                                    ShellQuote(dir.File("err.txt"));
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), cli::kExitConversion) << mode;
        EXPECT_NE(ReadFile(dir.File("err.txt")).find("cannot write the output"), std::string::npos)
            << mode;
    }
}

}  // namespace
}  // namespace tessary::test
