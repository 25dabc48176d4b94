// Writes that fail at every point of the divide run, and in the correction save: 774 with the
// message naming the output, every file finished before the fault exactly as an undisturbed
// run writes it, and the source log untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "fault/FaultSupport.h"
#include "logfile/InsLogFormat.h"
#include "support/LogBytes.h"
#include "support/RecordingUi.h"
#include "tools/DivideRun.h"
#include "tools/StartCorrection.h"

namespace tessary::test {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kHourMs = 3600000;

// Frames and layer-1 records over four calendar dates, with noise and fill between them.
std::string FourDates(const TempDir& dir) {
    InsLogHeader header = DefaultHeader();
    header.startHour = 22;
    header.dataKind = kDataKindIns64Bulk;
    LogBytes log(header);
    const std::vector<uint8_t> rr = {0x02, 0x81, 0x01, 0x03};
    for (uint32_t i = 0; i < 24; ++i) {
        const uint32_t count = static_cast<uint32_t>(i * 3 * kHourMs + i);
        if (i % 5 == 1) {
            log.Raw({0x00, 0x11});
        }
        if (i % 7 == 2) {
            log.Fill(0xFF, 3);
        }
        if (i % 3 == 0) {
            log.Record(i % 2 ? 't' : 'T', 9, count, {0x05});
        } else {
            log.FrameWithFcs(i % 2 ? 'R' : 'r', count, rr);
        }
    }
    return log.FixDataByteCount().WriteTo(dir.File("source.dat"));
}

// Fails write n of the run for every n until a run no longer meets the fault.
void SweepDivide(const TempDir& dir, const std::string& source, size_t expectedFiles) {
    const std::vector<uint8_t> sourceBytes = ReadBytes(source);
    const std::string referenceFolder = dir.Path() + "/reference";
    ASSERT_EQ(DivideInto(source, referenceFolder), kStatusDone);
    const auto reference = DivideOutputs(referenceFolder);
    ASSERT_EQ(reference.size(), expectedFiles);

    int failed = 0;
    for (int n = 1; n <= 200; ++n) {
        FaultReset reset;
        const std::string folder = dir.Path() + "/run" + std::to_string(n);
        fs::create_directory(folder);
        DivideRun run;
        fault::FailNthWrite(n);
        const DivideOutcome outcome = run.Run(source, folder);
        const std::string where = "write " + std::to_string(n);
        EXPECT_EQ(ReadBytes(source), sourceBytes) << where;
        if (outcome.result == kStatusDone) {
            EXPECT_EQ(DivideOutputs(folder), reference) << where;
            EXPECT_GT(failed, static_cast<int>(expectedFiles) * 2);
            return;
        }
        ++failed;
        EXPECT_EQ(outcome.result, kStatusWriteError) << where;
        EXPECT_TRUE(outcome.failed) << where;
        EXPECT_EQ(outcome.exitCode, 3) << where;
        EXPECT_EQ(Utf8(outcome.caption), "ログファイル分割失敗") << where;
        EXPECT_EQ(Utf8(outcome.message),
                  "分割先フォルダー内の、ログファイル書込に失敗しました。\n\nError = 29\n\n'" +
                      run.OutputPath() + "'")
            << where;
        const int finished = run.FinishedFiles();
        EXPECT_EQ(
            Utf8(outcome.statusLine).rfind("失敗終了: 分割個数=" + std::to_string(finished), 0), 0u)
            << where << ": " << Utf8(outcome.statusLine);
        const auto written = DivideOutputs(folder);
        for (int k = 1; k <= finished; ++k) {
            ASSERT_TRUE(written.count(k) == 1 && reference.count(k) == 1) << where << " file " << k;
            if (k < finished) {
                EXPECT_EQ(written.at(k), reference.at(k)) << where << " file " << k;
            } else {
                ExpectLogPrefix(written.at(k), reference.at(k), where);
            }
        }
        // Nothing is written after the fault: no file beyond the one that failed.
        for (const auto& [number, bytes] : written) {
            EXPECT_LE(number, finished + 1) << where;
        }
    }
    ADD_FAILURE() << "the sweep never reached the end of the writes";
}

TEST(WriteFault, EveryWriteOfADivideRunOverFourDates) {
    TempDir dir;
    SweepDivide(dir, FourDates(dir), 4);
}

TEST(WriteFault, EveryWriteOfATwoPassDivideOfARing) {
    TempDir dir;
    // The base time comes from the end time: a reading pass, then the writing pass.
    const std::string source =
        GenerateLog(dir, "ring.dat", "--seed 31 --records 60 --ring --ext-header 32");
    SweepDivide(dir, source, 1);
}

TEST(WriteFault, CorrectionSaveThatCannotWriteLeavesTheLogAndTheUnsavedStateAlone) {
    FaultReset reset;
    TempDir dir;
    for (const char* args : {"--seed 41 --records 50", "--seed 42 --records 50 --ext-header 40"}) {
        const std::string path = GenerateLog(dir, "log.dat", args);
        const std::vector<uint8_t> before = ReadBytes(path);
        const Reference reference = ReferenceOf(path);
        LaidOutLog log;
        ASSERT_EQ(log.Open(path), kOpenOk);
        ASSERT_EQ(log.Pass(), kStatusDone);
        log.converter->CloseFile();
        log.converter->SetStartCorrectionValue(-1000);

        RecordingUi ui;
        ui.otherwise = Answer::kYes;
        fault::FailNthWrite(1);
        EXPECT_EQ(SaveCorrection(log.converter.get(), -1000, true, ui), kStatusWriteError);
        const std::vector<RecordingUi::Shown> warnings = ui.Messages();
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(Utf8(warnings[0].text),
                  "INSログファイルの上書保存に失敗しました。\n\n'" + path + "'\n\nError = 29");
        EXPECT_EQ(Utf8(warnings[0].caption), "出力開始日時補正値保存");
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(StartCorrectionOf(log.converter->Header()), 0);
        // Still unsaved: leaving asks again, and the file still converts as before.
        RecordingUi again;
        again.answers = {Answer::kYes};
        EXPECT_EQ(CheckCorrection(log.converter.get(), u"q", u"c", again),
                  static_cast<int>(Answer::kYes));
        EXPECT_EQ(ReferenceOf(path).texts, reference.texts);

        // The retry writes the correction and nothing else.
        EXPECT_EQ(SaveCorrection(log.converter.get(), -1000, false, ui), 0);
        const std::vector<uint8_t> after = ReadBytes(path);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i) {
            const bool correctionByte = i == 0x19 || (i >= 0x1C && i < 0x20);
            if (!correctionByte) {
                ASSERT_EQ(after[i], before[i]) << args << " byte " << i;
            }
        }
        EXPECT_EQ(after[0x19] & 0xF0, before[0x19] & 0xF0);
        EXPECT_EQ(StartCorrectionOf(log.converter->Header()), -1000);
    }
}

}  // namespace
}  // namespace tessary::test
