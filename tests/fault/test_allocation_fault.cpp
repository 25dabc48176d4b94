// An allocation failing at every growth of the line store and of the display line table:
// the pass ends with 0x304, what is stored stays a consistent prefix of the log that can be
// laid out again, and the open flow shows its out-of-memory message and keeps nothing.
#include <gtest/gtest.h>

#include "fault/FaultSupport.h"
#include "mainwnd/OpenFlow.h"
#include "support/LogBytes.h"
#include "support/RecordingUi.h"

namespace tessary::test {
namespace {

// Layer-1 records with a noise byte after each: two message records per ten bytes, so that
// the store and the line table outgrow the sizes estimated from the data byte count.
std::string DenseLog(const TempDir& dir) {
    LogBytes log;
    for (uint32_t i = 0; i < 4000; ++i) {
        log.Record(i % 2 ? 'T' : 't', 9, 1000 + i, {});
        log.Raw({0x00});
    }
    return log.FixDataByteCount().WriteTo(dir.File("dense.dat"));
}

TEST(AllocationFault, EveryGrowthOfTheStoreAndTheTableEndsOutOfMemoryWithAConsistentStore) {
    TempDir dir;
    const std::string path = DenseLog(dir);
    const Reference reference = ReferenceOf(path);
    int failed = 0;
    for (int n = 1; n <= 64; ++n) {
        FaultReset reset;
        LaidOutLog log;
        fault::FailNthAllocation(n);  // counted from the converter's own first blocks
        ASSERT_EQ(log.Open(path), kOpenOk);
        const int32_t status = log.Pass();
        const std::string where = "allocation " + std::to_string(n);
        if (status == kStatusDone) {
            EXPECT_EQ(log.converter->LineCount(), reference.texts.size()) << where;
            EXPECT_EQ(log.table.LineCount(), reference.lines) << where;
            ExpectCleanPrefix(log, reference, where);
            break;
        }
        ++failed;
        EXPECT_EQ(status, kStatusOutOfMemory) << where;
        ExpectCleanPrefix(log, reference, where);
        // What is stored is whole: laid out again it gives every line of those records.
        const uint32_t stored = log.converter->LineCount();
        if (stored > 0) {
            EXPECT_EQ(log.Redeliver(), kStatusDone) << where;
            ExpectCleanPrefix(log, reference, where);
            for (uint32_t i = 0; i < stored; ++i) {
                EXPECT_GE(log.converter->Record(i)->RowSlot[0], 0) << where << " record " << i;
            }
        }
    }
    // The converter's two blocks, the table's two, and several growths of each.
    EXPECT_GE(failed, 6);
}

TEST(AllocationFault, TheOpenFlowShowsOutOfMemoryInBothPassesAndKeepsNothingLoaded) {
    TempDir dir;
    const std::string dense = DenseLog(dir);
    // A ring with the base from its end time: converted, then laid out again (two passes).
    const std::string ring =
        GenerateLog(dir, "ring.dat", "--seed 21 --records 3000 --ring --ext-header 32");
    for (const std::string& path : {dense, ring}) {
        int failed = 0;
        for (int n = 1; n <= 64; ++n) {
            FaultReset reset;
            DisplayModel model;
            OpenFlowHost host;
            RecordingUi ui;
            SyncPassProgress progress;
            OpenFlow flow(&model.para, &model.table, &host, &ui, &progress, &progress);
            fault::FailNthAllocation(n);
            const int32_t result = flow.Open(path, kLineAsk);
            const std::string where = path + " allocation " + std::to_string(n);
            if (result == kOpenResultDone) {
                EXPECT_TRUE(ui.shown.empty()) << where;
                ASSERT_NE(flow.Converter(), nullptr) << where;
                EXPECT_GT(model.table.LineCount(), 1) << where;
                break;
            }
            ++failed;
            EXPECT_EQ(result, kStatusOutOfMemory) << where;
            ASSERT_EQ(ui.shown.size(), 1u) << where;
            const std::string caption = Utf8(ui.shown[0].caption);
            const bool secondPass = caption == "INSログデータ変換";
            EXPECT_EQ(Utf8(ui.shown[0].text),
                      "ログデータ変換中に、メモリ不足が発生しました。\n\n<" +
                          (secondPass ? std::string() : path) + ">")
                << where;
            EXPECT_TRUE(secondPass || caption == "INSログデータ読込") << where;
            // A failed new file leaves nothing loaded; a failed second pass keeps the converted
            // records for another try, but no lines.
            EXPECT_EQ(flow.Converter() != nullptr, secondPass) << where;
            EXPECT_EQ(model.table.LineCount(), 0) << where;
            if (secondPass) {
                fault::Reset();
                EXPECT_EQ(flow.Reconvert(kLineSecondPass), kOpenResultDone) << where;
                EXPECT_GT(model.table.LineCount(), 1) << where;
            }
        }
        EXPECT_GE(failed, 4) << path;
    }
}

}  // namespace
}  // namespace tessary::test
