// A stop request at every phase of a walk: before the start, at the title record, at every
// record and warning of the conversion, at every record of the re-delivery pass, and after
// the end. The walk ends with 0x300 at its next check, posts its end once, and leaves a clean
// prefix that a later pass can use. The walks are held where the test stops them, so every
// case must end stopped; only a stop asked at the last record finds nothing left to stop.
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
#include "platform/ManualResetEvent.h"
#include "support/LogBytes.h"
#include "support/RecordingUi.h"
#include "tools/DivideRun.h"

namespace tessary::test {
namespace {

// Longer than the walk's stop-check interval (100 ms): a worker held this long finds the check
// due at its next record.
constexpr auto kPastTheCheck = std::chrono::milliseconds(130);
constexpr uint32_t kWaitMs = 60000;

// The walks check for a stop before every record for as long as the test runs.
struct CheckEveryRecord : FaultReset {
    CheckEveryRecord() { fault::CheckStopAtEveryRecord(true); }
};

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

// Holds the worker at its first progress notification (its first stop check) until the test
// has asked for the stop, then past the check interval: the walk must end at its next record.
struct HoldAtFirstCheck : EndCounter {
    ManualResetEvent atCheck{false};
    ManualResetEvent stopAsked{false};
    std::atomic<bool> held{false};
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override {
        if (wParam == kNotifyProgress && !held.exchange(true)) {
            atCheck.Set();
            EXPECT_TRUE(stopAsked.Wait(kWaitMs));
            std::this_thread::sleep_for(kPastTheCheck);
        }
        EndCounter::PostNotify(message, wParam, lParam);
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

// The small log with its reference decode, and stop checks before every record meanwhile.
struct SmallLogCase {
    CheckEveryRecord everyRecord;
    TempDir dir;
    std::string path = SmallLog(dir);
    Reference reference = ReferenceOf(path);
};

// What a pass that asked for a stop at one record gave.
struct StoppedPass {
    int32_t status = 0;
    int ended = 0;    // ended notifications
    int laidOut = 0;  // records handed to the layout
};

// A pass (or with `redeliver` the re-delivery pass) over `log` whose layout asks the converter
// to stop at the record with index `stopAt`.
StoppedPass PassStoppingAt(LaidOutLog& log, uint32_t stopAt, bool redeliver) {
    StoppingLayout layout;
    layout.table = &log.table;
    layout.stopAt = stopAt;
    EndCounter ends;
    StoppedPass pass;
    pass.status = redeliver ? log.Redeliver(&StoppingLayout::Callback, &layout, &ends)
                            : log.Pass(&StoppingLayout::Callback, &layout, &ends);
    pass.ended = ends.ended.load();
    pass.laidOut = layout.calls.load();
    return pass;
}

bool IsWarning(const std::u16string& text) {
    return text.find(u" Warning=") != std::u16string::npos;
}

TEST(StopRequest, AtEveryRecordOfTheConversion) {
    const SmallLogCase small;
    const std::string& path = small.path;
    const Reference& reference = small.reference;
    const auto records = static_cast<uint32_t>(reference.texts.size());
    // The title, twelve frames and the three warnings of the noise.
    ASSERT_EQ(records, 16u);
    ASSERT_TRUE(IsWarning(reference.texts[3]));
    for (uint32_t k = 0; k < records; ++k) {
        LaidOutLog log;
        ASSERT_EQ(log.Open(path), kOpenOk);
        const StoppedPass pass = PassStoppingAt(log, k, false);
        const std::string where = "stop at record " + std::to_string(k);
        EXPECT_EQ(pass.ended, 1) << where;
        ExpectCleanPrefix(log, reference, where);
        if (k + 1 == records) {
            EXPECT_EQ(pass.status, kStatusDone) << where;  // no check comes after the last record
            EXPECT_EQ(log.converter->LineCount(), records) << where;
            continue;
        }
        EXPECT_EQ(pass.status, kStatusStopped) << where;
        // The check comes before each frame: a warning that follows the frame that asked is
        // still stored, nothing else.
        const bool warningFollows =
            !IsWarning(reference.texts[k]) && k > 0 && IsWarning(reference.texts[k + 1]);
        EXPECT_EQ(log.converter->LineCount(), k + 1 + (warningFollows ? 1 : 0)) << where;
        EXPECT_FALSE(log.converter->IsWalking()) << where;
        // The stored records lay out again completely.
        EXPECT_EQ(log.Redeliver(), kStatusDone) << where;
        ExpectCleanPrefix(log, reference, where);
    }
}

TEST(StopRequest, AtEveryRecordOfTheRedeliveryPass) {
    const SmallLogCase small;
    const std::string& path = small.path;
    const Reference& reference = small.reference;
    LaidOutLog log;
    ASSERT_EQ(log.Open(path), kOpenOk);
    ASSERT_EQ(log.Pass(), kStatusDone);
    const uint32_t records = log.converter->LineCount();
    ASSERT_EQ(records, 16u);
    for (uint32_t k = 0; k < records; ++k) {
        const StoppedPass pass = PassStoppingAt(log, k, true);
        const std::string where = "stop at redelivered record " + std::to_string(k);
        EXPECT_EQ(pass.ended, 1) << where;
        EXPECT_EQ(pass.status, k + 1 == records ? kStatusDone : kStatusStopped) << where;
        // Checked before every record: the one that asked is the last one laid out.
        EXPECT_EQ(pass.laidOut, static_cast<int>(k) + 1) << where;
        // The store itself is never touched by a re-delivery.
        EXPECT_EQ(log.converter->LineCount(), records) << where;
        ExpectCleanPrefix(log, reference, where);
    }
    EXPECT_EQ(log.Redeliver(), kStatusDone);
    EXPECT_EQ(log.table.LineCount(), reference.lines);
}

TEST(StopRequest, BeforeTheStartAndAfterTheEndChangeNothing) {
    const SmallLogCase small;
    const std::string& path = small.path;
    const Reference& reference = small.reference;
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

// With the walk's own 100 ms interval: a stop asked while the worker sits at its first check
// is seen at the check before the next record once the interval has passed.
TEST(StopRequest, RightAfterTheStartEndsAtTheNextDueCheck) {
    TempDir dir;
    const std::string path = GenerateLog(dir, "big.dat", "--seed 51 --records 20000");
    const Reference reference = ReferenceOf(path);
    for (bool redeliver : {false, true}) {
        const std::string where = redeliver ? "re-delivery" : "conversion";
        LaidOutLog log;
        ASSERT_EQ(log.Open(path), kOpenOk);
        if (redeliver) {
            ASSERT_EQ(log.Pass(), kStatusDone);
            log.table.FreeText();
            log.para.Flag[1] |= kFlag1Redeliver;
        }
        StoppingLayout counting;  // lays out and counts, never stops by itself
        counting.table = &log.table;
        counting.stopAt = UINT32_MAX;
        HoldAtFirstCheck hold;
        ASSERT_EQ(log.converter->StartPass(&StoppingLayout::Callback, &counting, &hold),
                  kStatusDone);
        ASSERT_TRUE(hold.atCheck.Wait(kWaitMs)) << where;
        log.converter->RequestStop();
        hold.stopAsked.Set();
        log.converter->WaitForWalk();
        log.para.Flag[1] &= static_cast<uint8_t>(~kFlag1Redeliver);
        EXPECT_EQ(log.converter->ConversionStatus(), kStatusStopped) << where;
        EXPECT_EQ(hold.ended.load(), 1) << where;
        if (redeliver) {
            // The first check comes before the title: the title alone was laid out again.
            EXPECT_EQ(counting.calls.load(), 1) << where;
            EXPECT_EQ(log.converter->LineCount(), reference.texts.size()) << where;
        } else {
            // The title comes before the first check; then one record, and a warning that
            // follows it.
            EXPECT_GE(counting.calls.load(), 2) << where;
            EXPECT_LE(counting.calls.load(), 3) << where;
            EXPECT_EQ(log.converter->LineCount(), static_cast<uint32_t>(counting.calls.load()))
                << where;
        }
        ExpectCleanPrefix(log, reference, where);
        EXPECT_EQ(log.Redeliver(), kStatusDone) << where;
        EXPECT_EQ(log.converter->LineCount() == reference.texts.size(), redeliver) << where;
    }
}

// The progress dialog's abort through the open flow: it aborts as soon as the pass has
// started, while the worker waits at its first check. Cancelled, nothing kept, the message
// pane says so.
struct AbortingProgress : SyncPassProgress {
    bool abort = true;
    ManualResetEvent stopAsked{false};
    std::atomic<bool> held{false};
    bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
             const std::function<int(bool)>& control) override {
        const auto abortAtOnce = [&](bool start) {
            const int answer = control(start);
            if (abort && start && answer == kStarterStarted) {
                EXPECT_EQ(control(false), kStarterStopping);
                stopAsked.Set();
            }
            return answer;
        };
        return SyncPassProgress::Run(title, subtitle, total, abortAtOnce);
    }
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override {
        if (wParam == kNotifyProgress && !held.exchange(true)) {
            EXPECT_TRUE(stopAsked.Wait(kWaitMs));
        }
        SyncPassProgress::PostNotify(message, wParam, lParam);
    }
};

struct StatusHost : OpenFlowHost {
    void ShowStatus(std::u16string_view text) override { statuses.push_back(Utf8(text)); }
    std::vector<std::string> statuses;
};

TEST(StopRequest, AbortFromTheProgressDialogCancelsTheOpen) {
    CheckEveryRecord everyRecord;
    TempDir dir;
    const std::string path = GenerateLog(dir, "big.dat", "--seed 52 --records 60000");
    DisplayModel model;
    StatusHost host;
    RecordingUi ui;
    AbortingProgress progress;
    OpenFlow flow(&model.para, &model.table, &host, &ui, &progress, &progress);
    EXPECT_EQ(flow.Open(path, kLineAsk), kOpenResultCancelled);
    EXPECT_TRUE(ui.shown.empty());
    ASSERT_EQ(host.statuses.size(), 1u);
    EXPECT_EQ(host.statuses[0], "INSログデータ読込を中止しました");
    EXPECT_EQ(flow.Converter(), nullptr);
    EXPECT_EQ(model.table.LineCount(), 0);
    EXPECT_FALSE(flow.IsRunning());
    // Nothing is left behind that blocks the next open.
    fault::CheckStopAtEveryRecord(false);
    progress.abort = false;
    progress.held = true;
    EXPECT_EQ(flow.Open(path, kLineAsk), kOpenResultDone);
    EXPECT_GT(model.table.LineCount(), 60000);
}

// The divide window's side of a pass: notifications queued for the thread that started it.
// Of the progress notifications only number `holdAt` is queued (the run does nothing with the
// others); the worker waits there until the test releases it.
struct QueuedNotify : NotifyTarget {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<uintptr_t> notes;
    int holdAt = -1;
    int progressPosted = 0;  // worker thread only
    ManualResetEvent released{false};

    void PostNotify(uint32_t, uintptr_t wParam, void*) override {
        const bool hold = wParam == kNotifyProgress && progressPosted++ == holdAt;
        if (wParam == kNotifyProgress && !hold) {
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            notes.push_back(wParam);
            changed.notify_all();
        }
        if (hold) {
            EXPECT_TRUE(released.Wait(kWaitMs));
        }
    }
    uintptr_t Next() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return !notes.empty(); });
        const uintptr_t note = notes.front();
        notes.pop_front();
        return note;
    }
};

// Layer-1 records every 40 s over about nine days: one output file per date.
constexpr uint32_t kTenDaysRecords = 20000;
constexpr uint32_t kRecordsPerDay = 86400 / 40;

std::string TenDays(const TempDir& dir) {
    LogBytes log;
    for (uint32_t i = 0; i < kTenDaysRecords; ++i) {
        log.Record('T', 9, 1000 + i * 40000, {0x05});
    }
    return log.FixDataByteCount().WriteTo(dir.File("ten-days.dat"));
}

TEST(StopRequest, DivideRunStoppedAtARecordKeepsItsFinishedFiles) {
    TempDir dir;
    const std::string source = TenDays(dir);
    const std::vector<uint8_t> sourceBytes = ReadBytes(source);
    const std::string referenceFolder = dir.Path() + "/reference";
    ASSERT_EQ(DivideInto(source, referenceFolder), kStatusDone);
    const auto reference = DivideOutputs(referenceFolder);
    ASSERT_GE(reference.size(), 9u);

    CheckEveryRecord everyRecord;
    // With a check before every record, progress notification n comes before record n: stop at
    // the start, then within the second, fourth and eighth day.
    int previousFiles = 0;
    for (const int stopAt : {0, 3000, 7000, 16000}) {
        const std::string where = "stop at record " + std::to_string(stopAt);
        const std::string folder = dir.Path() + "/run" + std::to_string(stopAt);
        std::filesystem::create_directory(folder);
        DivideRun run;
        ASSERT_TRUE(run.Prepare(source, folder, 0)) << where;
        QueuedNotify notify;
        notify.holdAt = stopAt;
        ASSERT_EQ(run.StartPass(&notify), kStatusDone) << where;
        bool stopped = false;
        for (;;) {
            const uintptr_t note = notify.Next();
            run.OnNotify(note);
            if (note == kNotifyEnded) {
                break;
            }
            if (note == kNotifyProgress) {
                stopped = true;
                // The stop joins the worker, which waits for the release: stop on a thread of
                // its own, and release the worker once the stop is signalled.
                std::thread stopper([&] { run.StopPass(); });
                while (run.Reader()->IsWalking()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                notify.released.Set();
                stopper.join();
            }
        }
        EXPECT_TRUE(stopped) << where;
        EXPECT_FALSE(run.EndPass(1)) << where;
        const DivideOutcome outcome = run.Finish();
        EXPECT_EQ(ReadBytes(source), sourceBytes) << where;
        EXPECT_EQ(outcome.result, kStatusStopped) << where;
        EXPECT_FALSE(outcome.failed) << where;
        EXPECT_EQ(outcome.exitCode, 3) << where;
        // Files 1 to n-1 are finished; file n, the one being written, is closed as a valid log
        // of the records it got.
        const auto written = DivideOutputs(folder);
        const int files = static_cast<int>(written.size());
        // A day of records is 2160; the log starts within its first day.
        const int days = stopAt / static_cast<int>(kRecordsPerDay);
        EXPECT_GE(files, days + 1) << where;
        EXPECT_LE(files, days + 2) << where;
        EXPECT_GT(files, previousFiles) << where;
        previousFiles = files;
        EXPECT_EQ(Utf8(outcome.statusLine),
                  "実行中止: 分割個数=" + std::to_string(files) + ", 警告数=0")
            << where;
        for (const auto& [number, bytes] : written) {
            ASSERT_EQ(reference.count(number), 1u) << where;
            if (number < files) {
                EXPECT_EQ(bytes, reference.at(number)) << where << " file " << number;
            } else {
                EXPECT_EQ(number, files) << where;
                ExpectLogPrefix(bytes, reference.at(number), where);
                EXPECT_LT(bytes.size(), reference.at(number).size()) << where;
            }
        }
    }
}

}  // namespace
}  // namespace tessary::test
