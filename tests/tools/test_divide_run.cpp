#include "tools/DivideRun.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "logfile/CTessaryData.h"
#include "logfile/Status.h"
#include "platform/FaultInjection.h"
#include "platform/File.h"
#include "platform/Utf.h"
#include "support/GeneratedLog.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

namespace fs = std::filesystem;

// Names are UTF-8, as the program's; a plain string would be the ANSI code page on Windows.
bool Exists(const std::string& path) {
    return fs::exists(fs::path(std::u8string(path.begin(), path.end())));
}

constexpr uint32_t kFirstCount = 0x1000;
constexpr int64_t kDay = 86400000;

// Records of a log, kept apart so that the outputs can be compared with them.
struct Records {
    std::vector<std::vector<uint8_t>> bytes;

    void Add(char direction, uint8_t kind, uint32_t elapsedMs, std::vector<uint8_t> payload) {
        LogBytes one;
        one.Record(direction, kind, kFirstCount + elapsedMs, payload);
        const std::vector<uint8_t> all = one.Bytes();
        bytes.emplace_back(all.begin() + 32, all.end());
    }
    std::vector<uint8_t> Joined(size_t from = 0, size_t to = SIZE_MAX) const {
        std::vector<uint8_t> out;
        for (size_t i = from; i < bytes.size() && i < to; ++i) {
            out.insert(out.end(), bytes[i].begin(), bytes[i].end());
        }
        return out;
    }
};

InsLogHeader LateHeader() {
    InsLogHeader h = DefaultHeader();
    h.startHour = 23;
    h.startMinute = 59;
    h.startSecond = 59;
    h.startMilliseconds = 0;
    h.timeCountAtStart = kFirstCount;
    h.channelNumber = 7;
    h.traceType = 3;
    h.dataKind = kDataKindIns64Bulk;
    h.boardKind = 0x0021;
    return h;
}

class DivideTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_out = m_dir.Path() + "/out";
        fs::create_directory(m_out);
    }
    void TearDown() override { fault::Reset(); }

    // Writes the records with noise and fill between some of them.
    std::string WriteSource(const Records& records, const InsLogHeader& header = LateHeader()) {
        LogBytes log(header);
        for (size_t i = 0; i < records.bytes.size(); ++i) {
            if (i == 1) {
                log.Raw({0x12, 0x34});  // noise: a warning, never copied
            }
            if (i == 2) {
                log.Fill(0xFF, 5);
            }
            log.Raw(records.bytes[i]);
        }
        log.FixDataByteCount();
        m_source = log.WriteTo(m_dir.File("src.dat"));
        m_sourceBytes = ReadBytes(m_source);
        return m_source;
    }

    std::string Output(int number, const char* date, const char* base = "src",
                       const char* ext = ".dat") const {
        std::string path = m_out;
        // The run joins folder and name with the system's separator.
        path.append(1, kPathSeparator).append(base).append("_分割-").append(std::to_string(number));
        return path.append("_").append(date).append(ext);
    }

    // An output file as a log: linear, a 32-byte extended header, no correction, the source's
    // fields; returns its records.
    std::vector<uint8_t> CheckOutput(const std::string& path, const char* start, uint64_t endValue,
                                     uint32_t firstCount) {
        uint8_t option = 8;
        CTessaryData reader(path, &option);
        EXPECT_EQ(reader.OpenStatus(), kOpenOk) << path;
        const InsLogHeader& h = reader.Header();
        EXPECT_EQ(h.loopCount, 0u);
        EXPECT_EQ(h.extHeaderLength, 32);
        EXPECT_EQ(StartCorrectionOf(h), 0);
        EXPECT_EQ(EndValueOf(h, reader.ExtHeader()), endValue) << path;
        EXPECT_EQ(h.timeCountAtStart, firstCount);
        EXPECT_EQ(h.channelNumber, 7);
        EXPECT_EQ(h.traceType, 3);
        EXPECT_EQ(h.dataKind, kDataKindIns64Bulk);
        EXPECT_EQ(h.boardKind, 0x0021);
        char text[32];
        std::snprintf(text, sizeof text, "%u/%02u/%02u %02u:%02u:%02u.%03u", unsigned{h.startYear},
                      unsigned{h.startMonth}, unsigned{h.startDay}, unsigned{h.startHour},
                      unsigned{h.startMinute}, unsigned{h.startSecond},
                      unsigned{h.startMilliseconds});
        EXPECT_STREQ(text, start) << path;
        const std::vector<uint8_t> bytes = ReadBytes(path);
        EXPECT_EQ(h.dataByteCount, bytes.size() - 64);
        return std::vector<uint8_t>(bytes.begin() + 64, bytes.end());
    }

    TempDir m_dir;
    std::string m_out;
    std::string m_source;
    std::vector<uint8_t> m_sourceBytes;
};

Records ThreeDates() {
    Records r;
    r.Add('T', 9, 0, {0x34});                                    // 06/07 23:59:59.000
    r.Add('R', 1, 500, {0x02, 0x01, 0x01, 0x7F});                // 06/07 23:59:59.500
    r.Add('t', 9, 1500, {0x34, 0x00});                           // 06/08 00:00:00.500
    r.Add('R', 0, 1500 + kDay, {0x02, 0x01, 0x01, 0x01, 0x02});  // 06/09 00:00:00.500
    r.Add('r', 2, 2500 + kDay, {0x00, 0x01, 0x03});              // 06/09 00:00:01.500
    return r;
}

TEST_F(DivideTest, ThreeDatesGiveThreeValidFilesHoldingEveryRecord) {
    const Records records = ThreeDates();
    WriteSource(records);
    DivideRun run;
    const DivideOutcome& outcome = run.Run(m_source, m_out);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(Utf8(outcome.message), "正常終了");
    EXPECT_EQ(Utf8(outcome.statusLine), "正常終了: 分割個数=3, 警告数=1");
    EXPECT_EQ(outcome.exitCode, 0);

    std::vector<uint8_t> joined;
    for (const auto& part :
         {CheckOutput(Output(1, "20240607"), "2024/06/07 23:59:59.000", 500, kFirstCount),
          CheckOutput(Output(2, "20240608"), "2024/06/08 00:00:00.500", 0, kFirstCount + 1500),
          CheckOutput(Output(3, "20240609"), "2024/06/09 00:00:00.500", 1000,
                      kFirstCount + 1500 + kDay)}) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined, records.Joined());
    EXPECT_EQ(std::distance(fs::directory_iterator(m_out), fs::directory_iterator()), 3);
    EXPECT_EQ(ReadBytes(m_source), m_sourceBytes);
}

TEST_F(DivideTest, TimeGoingBackAcrossMidnightOpensTheNextNumber) {
    Records r;
    r.Add('T', 9, 0, {0x34});     // 06/07
    r.Add('T', 9, 1500, {0x34});  // 06/08
    r.Add('T', 9, 500, {0x34});   // back to 06/07: file 3
    r.Add('T', 9, 400, {0x34});   // back within the date: span 0
    r.Add('T', 9, 2500, {0x34});  // 06/08 again: file 4
    WriteSource(r);
    DivideRun run;
    EXPECT_EQ(Utf8(run.Run(m_source, m_out + "/").statusLine), "正常終了: 分割個数=4, 警告数=1");
    EXPECT_EQ(CheckOutput(Output(1, "20240607"), "2024/06/07 23:59:59.000", 0, kFirstCount),
              r.Joined(0, 1));
    EXPECT_EQ(CheckOutput(Output(2, "20240608"), "2024/06/08 00:00:00.500", 0, kFirstCount + 1500),
              r.Joined(1, 2));
    EXPECT_EQ(CheckOutput(Output(3, "20240607"), "2024/06/07 23:59:59.500", 0, kFirstCount + 500),
              r.Joined(2, 4));
    EXPECT_EQ(CheckOutput(Output(4, "20240608"), "2024/06/08 00:00:01.500", 0, kFirstCount + 2500),
              r.Joined(4, 5));
}

TEST_F(DivideTest, ExistingOutputsAreReplacedAndLinksNeverFollowed) {
    const Records records = ThreeDates();
    WriteSource(records);
    WriteBytes(Output(1, "20240607"), std::vector<uint8_t>(1000, 0x5A));
    // A link under an output name must not lead the write into the source.
    std::error_code linkError;
    fs::create_symlink(m_source, Output(2, "20240608"), linkError);
#ifdef _WIN32
    if (linkError) {
        GTEST_SKIP() << "a symbolic link takes a privilege that this account does not hold";
    }
#endif
    ASSERT_FALSE(linkError) << linkError.message();
    DivideRun run;
    EXPECT_EQ(run.Run(m_source, m_out).result, 0);
    EXPECT_EQ(CheckOutput(Output(1, "20240607"), "2024/06/07 23:59:59.000", 500, kFirstCount),
              records.Joined(0, 2));
    EXPECT_FALSE(fs::is_symlink(Output(2, "20240608")));
    EXPECT_EQ(CheckOutput(Output(2, "20240608"), "2024/06/08 00:00:00.500", 0, kFirstCount + 1500),
              records.Joined(2, 3));
    EXPECT_EQ(ReadBytes(m_source), m_sourceBytes);
}

TEST_F(DivideTest, CorrectionFromTheMainWindowShiftsTheDates) {
    const Records records = ThreeDates();
    WriteSource(records);
    DivideRun run;
    ASSERT_TRUE(run.Prepare(" " + m_source + " ", m_out, kDay));
    EXPECT_EQ(Utf8(run.PassTitle()), "ログファイル分割");
    EXPECT_EQ(Utf8(run.PassSubtitle()), "");
    ASSERT_EQ(run.StartPass(nullptr), 0);
    run.Reader()->WaitForWalk();
    run.OnNotify(kNotifyEnded);
    EXPECT_EQ(Utf8(run.StatusText()), "分割個数=3, 警告数=1");
    EXPECT_FALSE(run.EndPass(1));
    EXPECT_EQ(run.Finish().result, 0);
    EXPECT_TRUE(Exists(Output(1, "20240608")));
    EXPECT_TRUE(Exists(Output(3, "20240610")));
}

TEST_F(DivideTest, RingWithBaseFromTheEndTimeRunsTwoPasses) {
    // Linear order of the records; stored rotated by a head offset.
    Records r;
    r.Add('T', 9, 0, {0x34});
    r.Add('R', 1, 3600000, {0x02, 0x01, 0x01, 0x7F});
    r.Add('T', 9, 25 * 3600000, {0x34});
    r.Add('T', 9, 26 * 3600000, {0x34});
    const std::vector<uint8_t> logical = r.Joined();
    const uint32_t n = static_cast<uint32_t>(logical.size());
    const uint32_t head = 23;
    std::vector<uint8_t> physical(n);
    for (uint32_t i = 0; i < n; ++i) {
        physical[(head + i) % n] = logical[i];
    }
    InsLogHeader h = LateHeader();
    h.startDay = 1;
    h.startHour = h.startMinute = h.startSecond = 0;
    h.loopCount = 3;
    h.dataByteCount = head;
    LogBytes log(h);
    log.ExtHeader(32, static_cast<uint32_t>(13 * kDay));  // ends 2024/06/14 00:00:00.000
    log.Raw(physical);
    m_source = log.WriteTo(m_dir.File("ring.dat"));
    m_sourceBytes = ReadBytes(m_source);

    DivideRun run;
    ASSERT_TRUE(run.Prepare(m_source, m_out, 0));
    EXPECT_EQ(Utf8(run.PassTitle()), "ログファイル読込");
    EXPECT_EQ(Utf8(run.PassSubtitle()), "1 / 2");
    ASSERT_EQ(run.StartPass(nullptr), 0);
    run.Reader()->WaitForWalk();
    run.OnNotify(kNotifyEnded);
    EXPECT_EQ(Utf8(run.StatusText()), "");  // the first pass writes nothing
    EXPECT_TRUE(fs::is_empty(m_out));
    ASSERT_TRUE(run.EndPass(1));
    EXPECT_EQ(Utf8(run.PassTitle()), "ログファイル分割");
    EXPECT_EQ(Utf8(run.PassSubtitle()), "2 / 2");
    ASSERT_EQ(run.StartPass(nullptr), 0);
    run.Reader()->WaitForWalk();
    run.OnNotify(kNotifyEnded);
    EXPECT_FALSE(run.EndPass(1));
    EXPECT_EQ(Utf8(run.Finish().statusLine), "正常終了: 分割個数=3, 警告数=0");

    // The last record lands on the end time; the others count back from it.
    const std::string ring = m_out + "/ring_分割-";
    EXPECT_EQ(CheckOutput(ring + "1_20240612.dat", "2024/06/12 22:00:00.000", 3600000, kFirstCount),
              r.Joined(0, 2));
    EXPECT_EQ(CheckOutput(ring + "2_20240613.dat", "2024/06/13 23:00:00.000", 0,
                          kFirstCount + 25 * 3600000),
              r.Joined(2, 3));
    EXPECT_EQ(CheckOutput(ring + "3_20240614.dat", "2024/06/14 00:00:00.000", 0,
                          kFirstCount + 26 * 3600000),
              r.Joined(3, 4));
    EXPECT_EQ(ReadBytes(m_source), m_sourceBytes);
}

TEST_F(DivideTest, WriteFailureKeepsFinishedFilesAndReportsTheOutput) {
    const Records records = ThreeDates();
    WriteSource(records);
    // Writes: file 1 header, its records, final header; file 2 likewise; file 3 header, then
    // its records fail.
    fault::FailNthWrite(8);
    DivideRun run;
    const DivideOutcome& outcome = run.Run(m_source, m_out);
    EXPECT_EQ(outcome.result, kStatusWriteError);
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(Utf8(outcome.caption), "ログファイル分割失敗");
    EXPECT_EQ(Utf8(outcome.message),
              "分割先フォルダー内の、ログファイル書込に失敗しました。\n\n"
              "Error = 29\n\n'" +
                  Output(3, "20240609") + "'");
    EXPECT_EQ(Utf8(outcome.statusLine), "失敗終了: 分割個数=3, 警告数=1");
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_EQ(CheckOutput(Output(1, "20240607"), "2024/06/07 23:59:59.000", 500, kFirstCount),
              records.Joined(0, 2));
    EXPECT_EQ(CheckOutput(Output(2, "20240608"), "2024/06/08 00:00:00.500", 0, kFirstCount + 1500),
              records.Joined(2, 3));
    // The failed file was closed as a valid log of what it holds: nothing.
    EXPECT_TRUE(
        CheckOutput(Output(3, "20240609"), "2024/06/09 00:00:00.500", 0, kFirstCount + 1500 + kDay)
            .empty());
    EXPECT_EQ(ReadBytes(m_source), m_sourceBytes);
}

TEST_F(DivideTest, FailureBeforeAnyFileIsFinishedStaysAWriteError) {
    WriteSource(ThreeDates());
    fault::FailNthWrite(3);  // the final header of file 1
    DivideRun run;
    const DivideOutcome& outcome = run.Run(m_source, m_out);
    EXPECT_EQ(outcome.result, kStatusWriteError);
    EXPECT_EQ(Utf8(outcome.statusLine), "失敗終了: 分割個数=0, 警告数=1");
    std::string quoted = "'";
    quoted.append(Output(1, "20240607")).append("'");
    EXPECT_NE(Utf8(outcome.message).find(quoted), std::string::npos);
    EXPECT_FALSE(Exists(Output(2, "20240608")));
    EXPECT_EQ(ReadBytes(m_source), m_sourceBytes);
}

// Every record of a walk over the log, as the reader hands it on.
std::vector<uint8_t> WalkedRecords(const std::string& path) {
    uint8_t option = DivideRun::kBothLines;
    CTessaryData reader(path, &option);
    struct Sink {
        std::vector<uint8_t> bytes;
        bool begun = false;
    } sink;
    auto collect = [](CTessaryData*, uint8_t* record, void* user) -> int32_t {
        auto* s = static_cast<Sink*>(user);
        if (!s->begun) {
            s->begun = true;  // the walk's begin comes before the first record
            return 0;
        }
        const uint32_t length = kRecordHeaderSize + ParseRecordHeader(record).payloadLength;
        s->bytes.insert(s->bytes.end(), record, record + length);
        return 0;
    };
    EXPECT_EQ(reader.Start(collect, &sink, nullptr), 0);
    reader.WaitForWalk();
    EXPECT_EQ(reader.ConversionStatus(), 0);
    return sink.bytes;
}

TEST_F(DivideTest, GeneratedLogOfSeveralDaysRoundTrips) {
    const std::string source = m_dir.File("gen.dat");
    ASSERT_TRUE(RunInsloggen("--seed 11 --span 50h --data-kind 4 --noise 5", source));
    const std::vector<uint8_t> before = ReadBytes(source);
    DivideRun run;
    const DivideOutcome& outcome = run.Run(source, m_out);
    ASSERT_EQ(outcome.result, 0) << Utf8(outcome.message);
    ASSERT_GE(run.FinishedFiles(), 3);
    std::vector<uint8_t> joined;
    for (int i = 1; i <= run.FinishedFiles(); ++i) {
        std::string found;
        for (const auto& entry : fs::directory_iterator(m_out)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("gen_分割-" + std::to_string(i) + "_", 0) == 0) {
                found = entry.path().string();
            }
        }
        ASSERT_FALSE(found.empty()) << i;
        uint8_t option = DivideRun::kBothLines;
        CTessaryData part(found, &option);
        ASSERT_EQ(part.OpenStatus(), kOpenOk);
        EXPECT_EQ(part.HeaderSize(), 64u);
        const std::vector<uint8_t> bytes = ReadBytes(found);
        EXPECT_EQ(part.DataSize(), bytes.size() - 64);
        joined.insert(joined.end(), bytes.begin() + 64, bytes.end());
    }
    EXPECT_EQ(joined, WalkedRecords(source));
    EXPECT_EQ(ReadBytes(source), before);
}

TEST_F(DivideTest, NamesComeFromTheFileNameOnly) {
    fs::create_directory(m_dir.Path() + "/in.d");
    LogBytes log(LateHeader());
    log.Record('T', 9, kFirstCount, {0x34});
    log.FixDataByteCount();
    const std::string source = log.WriteTo(m_dir.Path() + "/in.d/noext");
    DivideRun run;
    EXPECT_EQ(run.Run(source, m_out).result, 0);
    EXPECT_TRUE(Exists(m_out + "/noext_分割-1_20240607"));
    EXPECT_FALSE(Exists(m_dir.Path() + "/in_分割-1_20240607.d"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_out), fs::directory_iterator()), 1);
}

TEST_F(DivideTest, ChecksBeforeTheRunGiveTheirMessages) {
    WriteSource(ThreeDates());
    struct Case {
        std::string source;
        std::string folder;
        const char* message;
        const char* caption;
    };
    const std::string srcCaption = "分割元ログファイル不正";
    const std::string dstCaption = "分割先フォルダー不正";
    std::vector<uint8_t> short20(20, 0);
    WriteBytes(m_dir.File("short.dat"), short20);
    InsLogHeader analog = LateHeader();
    analog.dataKind = kDataKindAnalogBulk;
    LogBytes analogLog(analog);
    analogLog.Record('T', 9, 0, {0x34});
    analogLog.WriteTo(m_dir.File("analog.dat"));
    const Case cases[] = {
        {"  ", m_out, "分割元ログファイル名が入力されていません。", srcCaption.c_str()},
        {m_source, " ", "分割先フォルダー名が入力されていません。", dstCaption.c_str()},
        {m_source, m_dir.File("nowhere"), "分割先フォルダーは存在していません。",
         dstCaption.c_str()},
        {m_source, m_source, "分割先フォルダーは存在していません。", dstCaption.c_str()},
        {m_dir.File("none.dat"), m_out, "分割元ログファイルは存在していません。",
         srcCaption.c_str()},
        {m_dir.File("no/none.dat"), m_out, "分割元のサブフォルダーは存在していません。",
         srcCaption.c_str()},
        {m_out, m_out, "分割元ログファイルは読込モードでオープンできません。", srcCaption.c_str()},
        {m_dir.File("short.dat"), m_out,
         "分割元ログファイルは、リアルタイム出力ログファイル形式ではありません。",
         srcCaption.c_str()},
        {m_dir.File("analog.dat"), m_out, "分割元ログファイルは、INS回線用ではありません。",
         srcCaption.c_str()},
    };
    for (const Case& c : cases) {
        DivideRun run;
        EXPECT_FALSE(run.Prepare(c.source, c.folder, 0)) << c.message;
        EXPECT_EQ(run.Outcome().result, -1);
        EXPECT_TRUE(run.Outcome().failed);
        EXPECT_EQ(Utf8(run.Outcome().message), c.message);
        EXPECT_EQ(Utf8(run.Outcome().caption), c.caption);
    }
    EXPECT_TRUE(fs::is_empty(m_out));
}

TEST_F(DivideTest, SourceWithoutRecordsHasNoValidData) {
    LogBytes log(LateHeader());
    log.Fill(0xFF, 40);
    log.FixDataByteCount();
    m_source = log.WriteTo(m_dir.File("empty.dat"));
    DivideRun run;
    const DivideOutcome& outcome = run.Run(m_source, m_out);
    EXPECT_EQ(outcome.result, kStatusNoRecord);
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(Utf8(outcome.message), "分割元ログファイルには、有効データが存在していません。");
    EXPECT_EQ(Utf8(outcome.statusLine), "失敗終了: ");
    EXPECT_TRUE(fs::is_empty(m_out));
}

TEST_F(DivideTest, ProgressIsReportedOnTheCallingThreadUpToTheEnd) {
    WriteSource(ThreeDates());
    uint32_t lastDone = 0;
    uint32_t total = 0;
    int calls = 0;
    DivideRun run;
    run.Run(m_source, m_out, [&](uint32_t done, uint32_t all) {
        ++calls;
        lastDone = done;
        total = all;
    });
    EXPECT_GE(calls, 1);
    EXPECT_EQ(total, m_sourceBytes.size() - 32);
    EXPECT_EQ(lastDone, total);
}

}  // namespace
}  // namespace tessary::test
