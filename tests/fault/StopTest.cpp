// A stop request at every phase of a walk: before the start, at the title record, at every
// record and warning of the conversion, at every record of the re-delivery pass, and after
// the end. The walk ends with 0x300 at the next check (or with 0 when the data ended first),
// posts its end once, and leaves a clean prefix that a later pass can use.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "fault/FaultSupport.h"
#include "logfile/NotifyTarget.h"
#include "mainwnd/ConversionStarter.h"
#include "mainwnd/OpenFlow.h"
#include "support/LogBytes.h"
#include "support/RecordingUi.h"
#include "tools/DivideRun.h"

namespace tessary::test {
namespace {

// Long enough for the walk's stop check (every 100 ms) to be due at the next record.
constexpr auto kPastTheCheck = std::chrono::milliseconds(130);

// Lays out, and asks the converter to stop at the record with index `stopAt`.
struct StoppingLayout {
    DisplayLineTable* table = nullptr;
    uint32_t stopAt = 0;
    std::atomic<int> calls{0};

    static int32_t Callback(CTessaryCan* converter, MessageRecord* record, void* user) {
        auto* self = static_cast<StoppingLayout*>(user);
        ++self->calls;
        const int32_t result = LayoutRecord(converter, record, self->table);
        if (record->Index == self->stopAt) {
            converter->RequestStop();
            std::this_thread::sleep_for(kPastTheCheck);
        }
        return result;
    }
};

struct EndCounter : NotifyTarget {
    std::atomic<int> ended{0};
    void PostNotify(uint32_t, uintptr_t wParam, void*) override {
        if (wParam == kNotifyEnded) {
            ++ended;
        }
    }
};

// Twelve records with noise after some of them (warning records in between).
std::string SmallLog(const TempDir& dir) {
    LogBytes log;
    const std::vector<uint8_t> rr = {0x02, 0x81, 0x01, 0x03};
    for (uint32_t i = 0; i < 12; ++i) {
        log.FrameWithFcs(i % 2 ? 'R' : 'T', 100 + i * 10, rr);
        if (i % 4 == 1) {
            log.Raw({0x00, 0x01});
        }
    }
    return log.FixDataByteCount().WriteTo(dir.File("small.dat"));
}

int32_t PassWithStop(LaidOutLog& log, StoppingLayout& layout, EndCounter& ends, bool redeliver) {
    if (redeliver) {
        log.table.FreeText();
        log.para.Flag[1] |= kFlag1Redeliver;
    }
    const int32_t started = log.converter->StartPass(&StoppingLayout::Callback, &layout, &ends);
    log.para.Flag[1] &= static_cast<uint8_t>(~kFlag1Redeliver);
    if (started != kStatusDone) {
        return started;
    }
    log.converter->WaitForWalk();
    return log.converter->ConversionStatus();
}

TEST(StopRequest, AtEveryRecordOfTheConversion) {
    TempDir dir;
    const std::string path = SmallLog(dir);
    const Reference reference = ReferenceOf(path);
    const auto records = static_cast<uint32_t>(reference.texts.size());
    ASSERT_GT(records, 12u);  // title, frames and warnings
    for (uint32_t k = 0; k < records; ++k) {
        LaidOutLog log;
        ASSERT_EQ(log.Open(path), kOpenOk);
        StoppingLayout layout;
        layout.table = &log.table;
        layout.stopAt = k;
        EndCounter ends;
        const int32_t status = PassWithStop(log, layout, ends, false);
        const std::string where = "stop at record " + std::to_string(k);
        EXPECT_EQ(ends.ended.load(), 1) << where;
        ExpectCleanPrefix(log, reference, where);
        if (k + 1 == records) {
            EXPECT_EQ(status, kStatusDone) << where;  // the data ended before the next check
            continue;
        }
        EXPECT_EQ(status, kStatusStopped) << where;
        // Noticed between records: the record that asked, and at most the one after it.
        EXPECT_GE(log.converter->LineCount(), k + 1) << where;
        EXPECT_LE(log.converter->LineCount(), k + 2) << where;
        EXPECT_FALSE(log.converter->IsWalking()) << where;
        // The stored records lay out again completely.
        EXPECT_EQ(log.Redeliver(), kStatusDone) << where;
        ExpectCleanPrefix(log, reference, where);
    }
}

TEST(StopRequest, AtEveryRecordOfTheRedeliveryPass) {
    TempDir dir;
    const std::string path = SmallLog(dir);
    const Reference reference = ReferenceOf(path);
    LaidOutLog log;
    ASSERT_EQ(log.Open(path), kOpenOk);
    ASSERT_EQ(log.Pass(), kStatusDone);
    const uint32_t records = log.converter->LineCount();
    for (uint32_t k = 0; k < records; ++k) {
        StoppingLayout layout;
        layout.table = &log.table;
        layout.stopAt = k;
        EndCounter ends;
        const int32_t status = PassWithStop(log, layout, ends, true);
        const std::string where = "stop at redelivered record " + std::to_string(k);
        EXPECT_EQ(ends.ended.load(), 1) << where;
        EXPECT_EQ(status, k + 1 == records ? kStatusDone : kStatusStopped) << where;
        EXPECT_LE(layout.calls.load(), static_cast<int>(k) + 2) << where;
        // The store itself is never touched by a re-delivery.
        EXPECT_EQ(log.converter->LineCount(), records) << where;
        ExpectCleanPrefix(log, reference, where);
    }
    EXPECT_EQ(log.Redeliver(), kStatusDone);
    EXPECT_EQ(log.table.LineCount(), reference.lines);
}

TEST(StopRequest, BeforeTheStartAndAfterTheEndChangeNothing) {
    TempDir dir;
    const std::string path = SmallLog(dir);
    const Reference reference = ReferenceOf(path);
    LaidOutLog log;
    ASSERT_EQ(log.Open(path), kOpenOk);
    // The stop event is signalled while no walk runs; asking again must not stop the next one.
    log.converter->RequestStop();
    log.converter->RequestStop();
    EXPECT_EQ(log.Pass(), kStatusDone);
    EXPECT_EQ(log.converter->LineCount(), reference.texts.size());
    log.converter->RequestStop();
    EXPECT_EQ(log.converter->ConversionStatus(), kStatusDone);
    EXPECT_EQ(log.Redeliver(), kStatusDone);
    EXPECT_EQ(log.table.LineCount(), reference.lines);
}

TEST(StopRequest, RightAfterTheStartEndsAtTheFirstCheckOrTheEnd) {
    TempDir dir;
    const std::string path = GenerateLog(dir, "big.dat", "--seed 51 --records 20000");
    for (int attempt = 0; attempt < 5; ++attempt) {
        LaidOutLog log;
        ASSERT_EQ(log.Open(path), kOpenOk);
        EndCounter ends;
        ASSERT_EQ(log.converter->StartPass(&LayoutRecord, &log.table, &ends), kStatusDone);
        log.converter->RequestStop();
        log.converter->WaitForWalk();
        const int32_t status = log.converter->ConversionStatus();
        EXPECT_TRUE(status == kStatusStopped || status == kStatusDone) << status;
        EXPECT_EQ(ends.ended.load(), 1);
        EXPECT_GE(log.converter->LineCount(), 1u);  // the title record comes first
        EXPECT_EQ(log.Redeliver(), kStatusDone);
    }
}

// The progress dialog's abort through the open flow: cancelled, nothing kept, the message pane
// says so.
struct AbortingProgress : SyncPassProgress {
    bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
             const std::function<int(bool)>& control) override {
        const auto abortAtOnce = [&](bool start) {
            const int answer = control(start);
            if (start && answer == kStarterStarted) {
                EXPECT_EQ(control(false), kStarterStopping);
            }
            return answer;
        };
        return SyncPassProgress::Run(title, subtitle, total, abortAtOnce);
    }
};

struct StatusHost : OpenFlowHost {
    void ShowStatus(std::u16string_view text) override { statuses.push_back(Utf8(text)); }
    std::vector<std::string> statuses;
};

TEST(StopRequest, AbortFromTheProgressDialogCancelsTheOpen) {
    TempDir dir;
    const std::string path = GenerateLog(dir, "big.dat", "--seed 52 --records 60000");
    CanPara para;
    ResetPara(para);
    SearchCondition conditions[kMarkIfTextCount];
    DisplayLineTable table;
    table.SetSource(DisplaySource{&para, conditions});
    StatusHost host;
    RecordingUi ui;
    AbortingProgress progress;
    {
        OpenFlow flow(&para, &table, &host, &ui, &progress, &progress);
        const int32_t result = flow.Open(path, kLineAsk);
        if (result == kOpenResultCancelled) {
            EXPECT_TRUE(ui.shown.empty());
            ASSERT_EQ(host.statuses.size(), 1u);
            EXPECT_EQ(host.statuses[0], "INSログデータ読込を中止しました");
            EXPECT_EQ(flow.Converter(), nullptr);
            EXPECT_EQ(table.LineCount(), 0);
        } else {
            EXPECT_EQ(result, kOpenResultDone);  // the whole log before the first check
        }
        EXPECT_FALSE(flow.IsRunning());
    }
    table.FreeText();
}

// The divide window's side of a pass: notifications queued for the thread that started it.
struct QueuedNotify : NotifyTarget {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<uintptr_t> notes;
    void PostNotify(uint32_t, uintptr_t wParam, void*) override {
        std::lock_guard<std::mutex> lock(mutex);
        notes.push_back(wParam);
        changed.notify_all();
    }
    uintptr_t Next() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return !notes.empty(); });
        const uintptr_t note = notes.front();
        notes.pop_front();
        return note;
    }
};

// Layer-1 records every 4 s over about nine days: a walk long enough for several checks.
std::string TenDays(const TempDir& dir) {
    LogBytes log;
    for (uint32_t i = 0; i < 200000; ++i) {
        log.Record('T', 9, 1000 + i * 4000, {0x05});
    }
    return log.FixDataByteCount().WriteTo(dir.File("ten-days.dat"));
}

TEST(StopRequest, DivideRunStoppedAtEachProgressStepKeepsItsFinishedFiles) {
    TempDir dir;
    const std::string source = TenDays(dir);
    const std::vector<uint8_t> sourceBytes = ReadBytes(source);
    const std::string referenceFolder = dir.Path() + "/reference";
    std::filesystem::create_directory(referenceFolder);
    {
        DivideRun run;
        ASSERT_EQ(run.Run(source, referenceFolder).result, kStatusDone);
    }
    const auto reference = DivideOutputs(referenceFolder);
    ASSERT_GE(reference.size(), 9u);

    // Stop at the start, and after the first, second, ... progress notification.
    int stops = 0;
    for (int progressBeforeStop = 0; progressBeforeStop < 4; ++progressBeforeStop) {
        const std::string where = "stop after progress " + std::to_string(progressBeforeStop);
        const std::string folder = dir.Path() + "/run" + std::to_string(progressBeforeStop);
        std::filesystem::create_directory(folder);
        DivideRun run;
        ASSERT_TRUE(run.Prepare(source, folder, 0)) << where;
        QueuedNotify notify;
        ASSERT_EQ(run.StartPass(&notify), kStatusDone) << where;
        int progress = 0;
        bool stopped = false;
        for (;;) {
            if (!stopped && progress == progressBeforeStop) {
                run.StopPass();
                stopped = true;
            }
            const uintptr_t note = notify.Next();
            run.OnNotify(note);
            if (note == kNotifyEnded) {
                break;
            }
            ++progress;
        }
        EXPECT_FALSE(run.EndPass(1)) << where;
        const DivideOutcome outcome = run.Finish();
        EXPECT_EQ(ReadBytes(source), sourceBytes) << where;
        const auto written = DivideOutputs(folder);
        if (outcome.result == kStatusDone) {
            EXPECT_EQ(written, reference) << where;  // the walk ended before the stop was seen
            continue;
        }
        EXPECT_EQ(outcome.result, kStatusStopped) << where;
        ++stops;
        EXPECT_FALSE(outcome.failed) << where;
        EXPECT_EQ(outcome.exitCode, 3) << where;
        const int finished = static_cast<int>(written.size());
        EXPECT_EQ(Utf8(outcome.statusLine),
                  "実行中止: 分割個数=" + std::to_string(finished) + ", 警告数=0")
            << where;
        for (const auto& [number, bytes] : written) {
            ASSERT_EQ(reference.count(number), 1u) << where;
            if (number < finished) {
                EXPECT_EQ(bytes, reference.at(number)) << where << " file " << number;
            } else {
                ExpectLogPrefix(bytes, reference.at(number), where);
            }
        }
    }
    // Whether a stop lands before the walk's end depends on the machine's speed.
    ::testing::Test::RecordProperty("stopped runs", stops);
}

}  // namespace
}  // namespace tessary::test
