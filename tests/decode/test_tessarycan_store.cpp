// The converter's line store and passes: sizing, growth, failures, re-delivery, cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <regex>
#include <thread>

#include "TessaryCanTestSupport.h"
#include "decode/LineStore.h"
#include "platform/FaultInjection.h"
#include "platform/Granule.h"
#include "platform/LastError.h"
#include "platform/Trace.h"
#include "platform/WinError.h"
#include "support/FaultReset.h"

namespace tessary::test {
namespace {

// Layer-1 records with noise after every other one, so warnings interleave.
LogBytes ManyRecords(int count, bool noise) {
    LogBytes log;
    for (int i = 0; i < count; ++i) {
        log.Record('T', 9, static_cast<uint32_t>(i * 3),
                   {static_cast<uint8_t>(i % 2 ? 0x34 : 0x10)});
        if (noise && i % 2 == 0) {
            log.Raw({0x42});
        }
    }
    return log;
}

TEST(LineStoreTest, RecordLayoutReadsBackFieldByField) {
    LineStore store;
    store.Create(1, 1);
    MessageRecord* empty = store.Append(u"", 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(store.TextUsed(), 44u);  // 40 fixed bytes + terminator, rounded to 4
    MessageRecord* second = store.Append(u"abc", 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(store.Table()[1], 44u);
    EXPECT_EQ(store.TextUsed(), 44u + 48u);
    second->DataPos = 0x11223344;
    second->Id = 129999;
    second->Time = -5;
    second->Flags = 0x0006;
    second->Block = 3;
    second->Layer = 2;
    second->Code = 0x45;
    second->CallRef = -1;

    const uint8_t* raw = store.TextBase() + store.Table()[1];
    auto u32 = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, raw + at, 4);
        return v;
    };
    int64_t time;
    std::memcpy(&time, raw + 12, 8);
    EXPECT_EQ(u32(0), 1u);  // Index
    EXPECT_EQ(u32(4), 0x11223344u);
    EXPECT_EQ(u32(8), static_cast<uint32_t>(129999));
    EXPECT_EQ(time, -5);
    EXPECT_EQ(u32(20), 0x02030006u);  // Flags, Block, Layer as one word
    EXPECT_EQ(u32(24), 0x45u);
    EXPECT_EQ(u32(28), 0xFFFFFFFFu);
    EXPECT_EQ(u32(32), 0xFFFFFFFFu);  // RowSlot[0]
    EXPECT_EQ(u32(36), 0xFFFFFFFFu);  // RowSlot[1]
    const char16_t* text = reinterpret_cast<const char16_t*>(raw + 40);
    EXPECT_EQ(std::u16string_view(text, 4), std::u16string_view(u"abc\0", 4));

    const MessageRecord* first = store.Record(0);
    EXPECT_EQ(first->Index, 0u);
    EXPECT_EQ(first->Block, kNoBlock);
    EXPECT_EQ(first->Layer, kNoLayer);
    EXPECT_EQ(first->TextView(), u"");
    EXPECT_EQ(store.TextRoom(0), 2u);
}

TEST(LineStoreTest, TextOfAStoredRecordCanBeAppendedAcrossGrowth) {
    LineStore store;
    store.Create(8, 8);
    const std::u16string text(300, u'q');
    ASSERT_NE(store.Append(text, 0), nullptr);
    for (int i = 0; i < 40; ++i) {
        MessageRecord* copy = store.Append(store.Record(store.LineCount() - 1)->TextView(), 50);
        ASSERT_NE(copy, nullptr);
        ASSERT_EQ(copy->TextView(), text) << i;
    }
    EXPECT_GT(store.TextCapacity(), 4096u);
}

TEST(LineStoreTest, GrowthFollowsTheFractionRead) {
    LineStore store;
    const uint64_t granule = AllocationGranule();
    store.Create(8, granule);
    const std::u16string text(200, u'x');
    while (store.TextUsed() + MessageRecordSize(text.size()) <= store.TextCapacity()) {
        ASSERT_NE(store.Append(text, 25), nullptr);
    }
    ASSERT_NE(store.Append(text, 25), nullptr);
    EXPECT_EQ(store.TextCapacity(), 4 * granule);  // a quarter read: four times the size
    // Nothing read yet, or everything: one granule more.
    while (store.TextUsed() + MessageRecordSize(text.size()) <= store.TextCapacity()) {
        ASSERT_NE(store.Append(text, 0), nullptr);
    }
    ASSERT_NE(store.Append(text, 0), nullptr);
    EXPECT_EQ(store.TextCapacity(), 5 * granule);
}

using ConverterStore = ConverterTest;

// The stated sizes for the two allocation granules: 4 KiB pages, and the 64 KiB of Windows.
uint64_t ByGranule(uint64_t at4k, uint64_t at64k) {
    EXPECT_TRUE(AllocationGranule() == 4096 || AllocationGranule() == 65536);
    return AllocationGranule() == 4096 ? at4k : at64k;
}

TEST_F(ConverterStore, InitialSizesFollowDataKindAndBoard) {
    auto expectSizes = [&](const InsLogHeader& header, uint64_t table, uint64_t text) {
        LogBytes log(header);
        log.Record('T', 9, 0, {0x34}).Fill(0xFF, 99990);
        auto converter = Open(log);
        ASSERT_EQ(converter->DataSize(), 100000u);
        EXPECT_EQ(converter->LineTableCapacity(), table);
        EXPECT_EQ(converter->TextCapacity(), text);
        EXPECT_EQ(converter->LineCount(), 0u);
    };
    // One line: an entry per 9 data bytes (11111 entries of 8 bytes) and 17 text bytes per data
    // byte plus 562, each rounded up to the granule.
    InsLogHeader header = DefaultHeader();
    expectSizes(header, ByGranule(11264, 16384), 1703936);
    // Two lines in one file: half the entries, 9 text bytes per data byte.
    header.dataKind = kDataKindIns64Bulk;
    expectSizes(header, ByGranule(5632, 8192), ByGranule(901120, 917504));
    header.boardKind = 0x0023;  // INS-Net 1500: one line per log after all
    expectSizes(header, ByGranule(11264, 16384), 1703936);
}

TEST_F(ConverterStore, TinyLogStillGetsATable) {
    InsLogHeader header = DefaultHeader();
    header.dataKind = kDataKindIns64Bulk;
    auto converter = Open(LogBytes(header).Record('T', 9, 0, {}));  // 9 bytes: 9 / 18 = 0
    LineProbe probe;
    EXPECT_EQ(RunPass(*converter, probe), kStatusDone);
    EXPECT_EQ(converter->LineCount(), 2u);
}

TEST_F(ConverterStore, RoundTripThroughGrowthFromTinySizes) {
    auto converter = Open<SmallStoreCan>(ManyRecords(3000, true));
    converter->ResizeStore(8, 8);
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    // Title, 3000 records and 1500 warnings.
    ASSERT_EQ(converter->LineCount(), 4501u);
    EXPECT_GT(converter->LineTableCapacity(), 512u);
    EXPECT_GT(converter->TextCapacity(), 4096u);
    ASSERT_EQ(probe.indices.size(), 4501u);
    uint32_t id = 0;
    for (uint32_t i = 1; i < converter->LineCount(); ++i) {
        const MessageRecord* record = converter->Record(i);
        ASSERT_EQ(probe.indices[i], i);
        ASSERT_EQ(record->Index, i);
        ASSERT_EQ(converter->LineEntry(i) % 4, 0u);
        const bool warning = (record->Flags & kRecordWarning) != 0;
        ASSERT_EQ(record->Id, id);
        if (warning) {
            ASSERT_EQ(Text(*converter, i)
                          .rfind("ID=" + std::string(7 - std::to_string(id).size(), '0') +
                                     std::to_string(id) + " Warning=1 ",
                                 0),
                      0u);
            continue;
        }
        ASSERT_EQ(record->Time, 3 * id);
        ASSERT_EQ(Text(*converter, i),
                  HeaderRow(id, 9) + (id % 2 ? "LY1=34=後位含め全ok" : "LY1=10=後位が起動要求"));
        ++id;
    }
}

TEST_F(ConverterStore, GrowthFailuresEndWithOutOfMemoryAndKeepTheRecords) {
    for (bool table : {false, true}) {
        FaultReset reset;
        auto converter = Open<SmallStoreCan>(ManyRecords(700, false));
        if (table) {
            converter->ResizeStore(8, 1 << 20);  // 512 entries
        } else {
            converter->ResizeStore(1 << 20, 8);
        }
        fault::FailNthAllocation(1);
        LineProbe probe;
        EXPECT_EQ(RunPass(*converter, probe), kStatusOutOfMemory) << table;
        const uint32_t count = converter->LineCount();
        EXPECT_GT(count, 10u);
        EXPECT_LT(count, 701u);
        if (table) {
            EXPECT_EQ(count, 512u);
        }
        for (uint32_t i = 1; i < count; ++i) {
            ASSERT_EQ(Text(*converter, i).rfind(HeaderRow(i - 1, 9), 0), 0u) << i;
        }
        EXPECT_EQ(probe.indices.size(), count);
        EXPECT_EQ(converter->IdCounter(), count - 1);
    }
}

TEST_F(ConverterStore, AppendAfterFreeTextFails) {
    auto converter = Open(ManyRecords(3, false));
    ASSERT_NE(converter->AppendRecord(u""), nullptr);
    EXPECT_EQ(converter->Record(0)->TextView(), u"");
    converter->FreeText();
    EXPECT_EQ(converter->LineCount(), 0u);
    EXPECT_EQ(converter->TextUsed(), 0u);
    SetLastError(0);
    EXPECT_EQ(converter->AppendRecord(u"x"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorNotEnoughMemory);
    EXPECT_EQ(converter->FindLaidOut(0), nullptr);
}

TEST_F(ConverterStore, FreeTextTracesWhatItHeld) {
    std::vector<std::string> lines;
    SetTraceSink([&](std::u16string_view line) { lines.push_back(Utf8(line)); });
    {
        // 15000 data bytes: 1666 table entries and 255562 text bytes, rounded to the granule;
        // the title holds 1072 bytes of text, each of the records 156.
        auto converter = Open(ManyRecords(1500, false));
        LineProbe probe;
        ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
        converter.reset();
    }
    SetTraceSink(nullptr);
    ASSERT_EQ(lines.size(), 2u);
    // Used and capacity with thousands grouped, then the seconds the release took.
    const std::string table = AllocationGranule() == 4096 ? "2,048" : "8,192";
    const std::string text = AllocationGranule() == 4096 ? "258,048" : "262,144";
    EXPECT_TRUE(
        std::regex_match(lines[0], std::regex("ZrTessaryView: CTessaryCan::FreeText\\(1,501 / " +
                                              table + "\\) TblCnt \\d+\\.\\d{3}\n")))
        << lines[0];
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex("ZrTessaryView: CTessaryCan::FreeText\\(235,072 / " +
                                              text + "\\) TextBuff \\d+\\.\\d{3}\n")))
        << lines[1];
}

TEST_F(ConverterStore, FindLaidOutLooksInTheCurrentSlot) {
    auto converter = Open(ManyRecords(6, false));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    converter->Record(3)->RowSlot[0] = 0;
    converter->Record(5)->RowSlot[1] = 17;
    EXPECT_EQ(converter->FindLaidOut(0)->Index, 3u);
    EXPECT_EQ(converter->FindLaidOut(3)->Index, 3u);
    EXPECT_EQ(converter->FindLaidOut(4), nullptr);
    m_para.Flag[1] |= kFlag1SecondRowSlot;
    EXPECT_EQ(converter->FindLaidOut(0)->Index, 5u);
    EXPECT_EQ(converter->FindLaidOut(6), nullptr);
    EXPECT_EQ(converter->FindLaidOut(1000), nullptr);
}

TEST_F(ConverterStore, PassesNotifyProgressAndTheEnd) {
    auto converter = Open(ManyRecords(50, false));
    CountingTarget target;
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe, &target), kStatusDone);
    EXPECT_GE(target.progress, 1);
    EXPECT_EQ(target.ended, 1);
    EXPECT_EQ(target.lastMessage, kWmApp + 1);
    EXPECT_EQ(target.lastParam, static_cast<CInsFileRead*>(converter.get()));

    m_para.Flag[1] |= kFlag1Redeliver;
    CountingTarget again;
    LineProbe redelivered;
    ASSERT_EQ(RunPass(*converter, redelivered, &again), kStatusDone);
    EXPECT_EQ(again.ended, 1);
    EXPECT_GE(again.progress, 1);
    EXPECT_EQ(converter->CurrentPosition(), converter->DataSize());
    EXPECT_EQ(redelivered.indices, probe.indices);
    EXPECT_EQ(converter->LineCount(), 51u);  // nothing converted again
    EXPECT_EQ(converter->IdCounter(), 50u);
}

TEST_F(ConverterStore, RedeliveryOfAnEmptyStoreEndsAtOnceAtFullProgress) {
    auto converter = Open(ManyRecords(5, false));
    m_para.Flag[1] |= kFlag1Redeliver;
    CountingTarget target;
    LineProbe probe;
    EXPECT_EQ(RunPass(*converter, probe, &target), kStatusDone);
    EXPECT_TRUE(probe.indices.empty());
    EXPECT_EQ(converter->CurrentPosition(), converter->DataSize());
    EXPECT_EQ(target.ended, 1);
}

TEST_F(ConverterStore, RedeliveryStopsOnACallbackStatusAndOnCancel) {
    auto converter = Open(ManyRecords(20, false));
    LineProbe probe;
    ASSERT_EQ(RunPass(*converter, probe), kStatusDone);
    m_para.Flag[1] |= kFlag1Redeliver;

    LineProbe stopping;
    stopping.onLine = [](CTessaryCan*, MessageRecord* record) {
        return record->Index == 4 ? 0x304 : 0;
    };
    EXPECT_EQ(RunPass(*converter, stopping), kStatusOutOfMemory);
    EXPECT_EQ(stopping.indices.size(), 5u);

    LineProbe cancelling;
    cancelling.onLine = [](CTessaryCan* can, MessageRecord* record) {
        if (record->Index == 7) {
            can->RequestStop();
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        return 0;
    };
    EXPECT_EQ(RunPass(*converter, cancelling), kStatusStopped);
    EXPECT_EQ(cancelling.indices.size(), 8u);
    EXPECT_EQ(converter->LineCount(), 21u);
}

TEST_F(ConverterStore, CancelDuringConversionKeepsWhatWasMade) {
    auto converter = Open(ManyRecords(2000, false));
    LineProbe probe;
    probe.onLine = [](CTessaryCan* can, MessageRecord* record) {
        if (record->Index == 100) {
            can->RequestStop();
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        return 0;
    };
    EXPECT_EQ(RunPass(*converter, probe), kStatusStopped);
    const uint32_t count = converter->LineCount();
    EXPECT_GE(count, 101u);
    EXPECT_LT(count, 2001u);
    for (uint32_t i = 1; i < count; ++i) {
        ASSERT_EQ(Text(*converter, i).rfind(HeaderRow(i - 1, 9), 0), 0u);
    }
}

TEST_F(ConverterStore, StartWhileAPassRunsIsRefused) {
    auto converter = Open(ManyRecords(20, false));
    std::atomic<bool> inside{false};
    std::atomic<bool> release{false};
    LineProbe probe;
    probe.onLine = [&](CTessaryCan*, MessageRecord* record) {
        if (record->Index == 3) {
            inside = true;
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        return 0;
    };
    ASSERT_EQ(converter->StartPass(&LineProbe::Call, &probe, nullptr), kStatusDone);
    EXPECT_EQ(GetLastError(), kErrorSuccess);
    while (!inside) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    LineProbe other;
    SetLastError(0);
    EXPECT_EQ(converter->StartPass(&LineProbe::Call, &other, nullptr), kStatusRunning);
    EXPECT_EQ(GetLastError(), kErrorInvalidFunction);
    m_para.Flag[1] |= kFlag1Redeliver;
    EXPECT_EQ(converter->StartPass(&LineProbe::Call, &other, nullptr), kStatusRunning);
    release = true;
    converter->WaitForWalk();
    EXPECT_EQ(converter->ConversionStatus(), kStatusDone);
    EXPECT_TRUE(other.indices.empty());
    EXPECT_EQ(probe.indices.size(), 21u);
}

TEST_F(ConverterStore, UnusableReaderIsRefused) {
    CTessaryCan missing(m_dir.File("missing.dat"), &m_para);
    LineProbe probe;
    SetLastError(0);
    EXPECT_EQ(missing.StartPass(&LineProbe::Call, &probe, nullptr), -1);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    m_para.Flag[1] |= kFlag1Redeliver;
    SetLastError(0);
    EXPECT_EQ(missing.StartPass(&LineProbe::Call, &probe, nullptr), -1);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);

    InsLogHeader header = DefaultHeader();
    header.dataKind = kDataKindAnalogSingle;
    auto analog = Open(LogBytes(header).Record('T', 9, 0, {0x34}));
    EXPECT_EQ(analog->StartPass(&LineProbe::Call, &probe, nullptr), -1);
    m_para.Flag[1] &= static_cast<uint8_t>(~kFlag1Redeliver);
    EXPECT_EQ(analog->StartPass(&LineProbe::Call, &probe, nullptr), -1);
    EXPECT_TRUE(probe.indices.empty());
}

TEST_F(ConverterStore, DestroyingDuringAPassStopsAndJoinsTheWorkerFirst) {
    FaultReset reset;
    fault::CheckStopAtEveryRecord(true);
    auto converter = Open(ManyRecords(5000, true));
    CountingTarget target;
    std::atomic<bool> inside{false};
    std::atomic<bool> stopSeen{false};
    LineProbe probe;
    // The worker waits in record 10 until the destructor has asked for the stop.
    probe.onLine = [&](CTessaryCan* can, MessageRecord* record) {
        if (record->Index == 10) {
            inside = true;
            while (can->IsWalking()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            stopSeen = true;
        }
        return 0;
    };
    ASSERT_EQ(converter->StartPass(&LineProbe::Call, &probe, &target), kStatusDone);
    while (!inside) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    converter.reset();  // returns only once the worker has ended
    EXPECT_TRUE(stopSeen);
    EXPECT_EQ(target.ended, 1);
    // The record that was held, and the warning after it, then the check before the next one.
    ASSERT_EQ(probe.indices.size(), 12u);
    for (uint32_t i = 0; i < probe.indices.size(); ++i) {
        EXPECT_EQ(probe.indices[i], i);
    }
}

}  // namespace
}  // namespace tessary::test
