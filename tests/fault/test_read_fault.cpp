// Reads that fail, or come back short, at every point of a conversion: the walk ends with
// 0x302, the reader is unusable from then on, and what was converted before stays intact.
#include <gtest/gtest.h>

#include <filesystem>

#include "fault/FaultSupport.h"
#include "mainwnd/OpenFlow.h"
#include "platform/WinError.h"
#include "support/LogBytes.h"
#include "support/RecordingUi.h"
#include "tools/DivideRun.h"

namespace tessary::test {
namespace {

// Fails read n (counted from the start of the pass) for every n until a pass no longer meets
// the fault; returns how many passes ended in a read error.
int SweepReads(const std::string& path, bool shortRead) {
    const Reference reference = ReferenceOf(path);
    int failed = 0;
    for (int n = 1; n <= 64; ++n) {
        FaultReset reset;
        LaidOutLog log;
        EXPECT_EQ(log.Open(path), kOpenOk);
        fault::FailNthRead(n, shortRead);
        const int32_t status = log.Pass();
        const std::string where = (shortRead ? "short read " : "failed read ") + std::to_string(n);
        if (status == kStatusDone) {
            // The pass needed fewer reads: it is the undisturbed conversion.
            EXPECT_EQ(log.converter->LineCount(), reference.texts.size()) << where;
            ExpectCleanPrefix(log, reference, where);
            return failed;
        }
        ++failed;
        EXPECT_EQ(status, kStatusReadError) << where;
        EXPECT_EQ(log.converter->OpenStatus(), kOpenReadError) << where;
        EXPECT_EQ(log.converter->LastError(),
                  shortRead ? kErrorInsufficientBuffer : kErrorReadFault)
            << where;
        EXPECT_FALSE(log.converter->IsUsable()) << where;
        EXPECT_LT(log.converter->LineCount(), reference.texts.size()) << where;
        ExpectCleanPrefix(log, reference, where);
        // Unusable: no further read, no new pass, no re-layout of what is stored.
        uint8_t byte = 0;
        EXPECT_EQ(log.converter->ReadAt(&byte, 0, 1), 0u) << where;
        EXPECT_EQ(log.Pass(), -1) << where;
        EXPECT_EQ(log.Redeliver(), -1) << where;
    }
    ADD_FAILURE() << "the sweep never reached the end of the reads";
    return failed;
}

TEST(ReadFault, EveryReadOfALinearLogFailingOrShort) {
    TempDir dir;
    // Several fills of the 32768-byte cache.
    const std::string path = GenerateLog(dir, "linear.dat", "--seed 11 --size 200K --noise 20");
    EXPECT_GE(SweepReads(path, false), 6);
    EXPECT_GE(SweepReads(path, true), 6);
}

TEST(ReadFault, EveryReadOfARingWhoseFillsWrapAtTheEndOfTheFile) {
    TempDir dir;
    const std::string path =
        GenerateLog(dir, "ring.dat", "--seed 12 --size 120K --ring --head-offset 41%");
    EXPECT_GE(SweepReads(path, false), 4);
    EXPECT_GE(SweepReads(path, true), 4);
}

TEST(ReadFault, TheOpenFlowReportsTheReadErrorAndKeepsNothing) {
    FaultReset reset;
    TempDir dir;
    const std::string path = GenerateLog(dir, "log.dat", "--seed 13 --size 150K");
    DisplayModel model;
    OpenFlowHost host;
    RecordingUi ui;
    SyncPassProgress progress;
    {
        OpenFlow flow(&model.para, &model.table, &host, &ui, &progress, &progress);
        // The open reads the header; then the third fill of the data cache fails mid-walk.
        fault::FailNthRead(1 + 3);
        const int32_t result = flow.Open(path, kLineAsk);
        EXPECT_EQ(result, kStatusReadError);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(
            Utf8(ui.shown[0].text),
            "ログデータ変換実行中に、リソース異常が発生しました。\n\nError = 30\n\n<" + path + ">");
        EXPECT_EQ(Utf8(ui.shown[0].caption), "INSログデータ読込");
        EXPECT_EQ(flow.Converter(), nullptr);
        EXPECT_EQ(model.table.LineCount(), 0);

        // The file itself is fine: opened again it converts completely.
        fault::Reset();
        EXPECT_EQ(flow.Open(path, kLineAsk), kOpenResultDone);
        ASSERT_NE(flow.Converter(), nullptr);
        EXPECT_EQ(flow.Converter()->LineCount(), ReferenceOf(path).texts.size());
    }
}

TEST(ReadFault, EveryReadOfADivideRunKeepsTheFilesFinishedBefore) {
    TempDir dir;
    // Layer-1 records every 20 s over about five days: several cache fills per output file.
    LogBytes log;
    for (uint32_t i = 0; i < 20000; ++i) {
        log.Record('T', 9, 1000 + i * 20000, {0x05});
    }
    const std::string source = log.FixDataByteCount().WriteTo(dir.File("source.dat"));
    const std::vector<uint8_t> sourceBytes = ReadBytes(source);
    const std::string referenceFolder = dir.Path() + "/reference";
    ASSERT_EQ(DivideInto(source, referenceFolder), kStatusDone);
    const auto reference = DivideOutputs(referenceFolder);
    ASSERT_GE(reference.size(), 5u);

    int failed = 0;
    // Read 1 is the header at the open; the walk's fills follow.
    for (int n = 2; n <= 64; ++n) {
        FaultReset reset;
        const std::string where = "read " + std::to_string(n);
        const std::string folder = dir.Path() + "/run" + std::to_string(n);
        std::filesystem::create_directory(folder);
        DivideRun run;
        fault::FailNthRead(n);
        const DivideOutcome outcome = run.Run(source, folder);
        EXPECT_EQ(ReadBytes(source), sourceBytes) << where;
        const auto written = DivideOutputs(folder);
        if (outcome.result == kStatusDone) {
            EXPECT_EQ(written, reference) << where;
            break;
        }
        ++failed;
        EXPECT_EQ(outcome.result, kStatusReadError) << where;
        EXPECT_TRUE(outcome.failed) << where;
        EXPECT_EQ(Utf8(outcome.message),
                  "ログデータ抽出実行中に、リソース異常が発生しました。\n\nError = 30")
            << where;
        const int finished = static_cast<int>(written.size());
        // The first fill belongs to the start: the walk fails before any record.
        const std::string counts =
            n == 2 ? "" : "分割個数=" + std::to_string(finished) + ", 警告数=0";
        EXPECT_EQ(Utf8(outcome.statusLine), "失敗終了: " + counts) << where;
        for (const auto& [number, bytes] : written) {
            ASSERT_EQ(reference.count(number), 1u) << where;
            if (number < finished) {
                EXPECT_EQ(bytes, reference.at(number)) << where << " file " << number;
            } else {
                ExpectLogPrefix(bytes, reference.at(number), where);
            }
        }
    }
    EXPECT_GE(failed, 5);
}

}  // namespace
}  // namespace tessary::test
