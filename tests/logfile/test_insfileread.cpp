#include "logfile/CInsFileRead.h"

#include <gtest/gtest.h>

#include <thread>

#include "WalkProbe.h"
#include "platform/FaultInjection.h"
#include "platform/LastError.h"
#include "platform/WinError.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary {
namespace {

using test::CountingTarget;
using test::DefaultHeader;
using test::LogBytes;
using test::ProbeReader;

std::vector<uint8_t> Payload(size_t n, uint8_t seed) {
    std::vector<uint8_t> p(n);
    for (size_t i = 0; i < n; ++i) {
        p[i] = static_cast<uint8_t>(seed + i * 13);
    }
    return p;
}

class InsFileRead : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }
    std::string Write(const LogBytes& log, const char* name = "log.dat") {
        return log.WriteTo(dir.File(name));
    }
    // Runs a whole walk; returns the StartConversion result.
    int32_t Walk(ProbeReader& r) {
        int32_t result = r.StartConversion(&target, kWmApp + 1);
        r.WaitForWalk();
        return result;
    }
    std::string Directions(const ProbeReader& r) {
        std::string s;
        for (const auto& rec : r.seen) {
            s += rec.direction;
        }
        return s;
    }

    test::TempDir dir;
    CountingTarget target;
};

TEST_F(InsFileRead, NoRecordAndRefusedStarts) {
    ProbeReader empty(Write(LogBytes()));
    EXPECT_EQ(empty.StartConversion(&target, kWmApp + 1), kStatusNoRecord);
    ProbeReader fill(Write(LogBytes().Fill(0xFF, 300), "fill.dat"));
    EXPECT_EQ(fill.StartConversion(&target, kWmApp + 1), kStatusNoRecord);
    ProbeReader noise(
        Write(LogBytes().Raw({1, 2, 3, 0xFF, 'T', 12, 0, 0, 0, 0, 0, 0, 4}), "noise.dat"));
    EXPECT_EQ(noise.StartConversion(&target, kWmApp + 1), kStatusNoRecord);
    EXPECT_FALSE(noise.IsWalking());

    for (uint8_t kind : {uint8_t{0}, uint8_t{2}, uint8_t{3}, uint8_t{5}}) {
        InsLogHeader h = DefaultHeader();
        h.dataKind = kind;
        ProbeReader other(Write(LogBytes(h).Record('T', 0, 1, {1}), "kind.dat"));
        ASSERT_EQ(other.OpenStatus(), kOpenOk);
        EXPECT_EQ(other.StartConversion(&target, kWmApp + 1), -1) << int{kind};
    }
    ProbeReader missing(dir.File("missing.dat"));
    EXPECT_EQ(missing.StartConversion(&target, kWmApp + 1), -1);
    EXPECT_FALSE(missing.IsWalking());

    ProbeReader closed(Write(LogBytes().Record('T', 0, 1, {1}), "closed.dat"));
    closed.CloseFile();
    EXPECT_EQ(closed.StartConversion(&target, kWmApp + 1), -1);
    EXPECT_EQ(target.ended, 0);
}

TEST_F(InsFileRead, WalkHandsOverEveryRecordWithItsTimeDifference) {
    LogBytes log;
    log.Record('T', 1, 100, Payload(5, 1))
        .Record('R', 0, 150, Payload(0, 0))
        .Record('T', 9, 50, Payload(266, 7))
        .FixDataByteCount();
    ProbeReader r(Write(log));
    ASSERT_EQ(Walk(r), 0);
    EXPECT_EQ(r.ConversionStatus(), kStatusDone);
    ASSERT_EQ(r.seen.size(), 3u);
    EXPECT_EQ(r.begins, 1);
    EXPECT_EQ(r.beginCount, 100u);
    EXPECT_EQ(r.FirstCount(), 100u);
    EXPECT_EQ(r.seen[0].difference, 0);
    EXPECT_EQ(r.seen[1].difference, 50);
    EXPECT_EQ(r.seen[2].difference, -100);
    EXPECT_EQ(r.seen[2].elapsed, -50);
    EXPECT_EQ(r.seen[0].position, 0u);
    EXPECT_EQ(r.seen[1].position, 14u);
    EXPECT_EQ(r.seen[2].position, 23u);
    EXPECT_EQ(r.seen[2].payload, Payload(266, 7));
    EXPECT_EQ(r.seen[2].kind, 9);
    EXPECT_EQ(r.RecordCounter(), 3);
    EXPECT_EQ(r.WarningCounter(), 0);
    EXPECT_EQ(r.CurrentPosition(), r.DataSize());
    EXPECT_FALSE(r.IsWalking());
    EXPECT_EQ(target.ended, 1);
    EXPECT_GE(target.progress, 1);
    EXPECT_EQ(target.lastMessage, kWmApp + 1);
    EXPECT_EQ(target.lastParam, static_cast<void*>(static_cast<CInsFileRead*>(&r)));

    // A walk may run again once one has ended; no notify target is fine.
    r.seen.clear();
    ASSERT_EQ(r.StartConversion(nullptr, 0), 0);
    r.WaitForWalk();
    EXPECT_EQ(r.seen.size(), 3u);
    EXPECT_EQ(target.ended, 1);
}

TEST_F(InsFileRead, NoiseFillRunsAndWarnings) {
    struct Case {
        const char* name;
        std::vector<uint8_t> between;
        std::vector<uint32_t> warnings;
    };
    const std::vector<Case> cases = {
        {"noise", {1, 2, 3}, {0}},
        {"fill run", std::vector<uint8_t>(10, 0xFF), {}},
        {"noise then fill", {7, 0xFF, 0xFF, 0xFF}, {0}},
        {"false mark", {0xFF, 'X', 0, 0, 0, 0, 0, 0, 0, 0}, {1}},
        {"noise and false mark", {9, 0xFF, 'T', 10, 0, 0, 0, 0, 0, 0}, {0, 1}},
    };
    for (const Case& c : cases) {
        LogBytes log;
        log.Record('T', 1, 10, {1, 2}).Raw(c.between).Record('R', 2, 20, {3}).FixDataByteCount();
        ProbeReader r(Write(log, "case.dat"));
        ASSERT_EQ(Walk(r), 0) << c.name;
        EXPECT_EQ(r.ConversionStatus(), kStatusDone) << c.name;
        EXPECT_EQ(Directions(r), "TR") << c.name;
        EXPECT_EQ(r.warnings, c.warnings) << c.name;
        ASSERT_EQ(r.seen.size(), 2u);
        EXPECT_EQ(r.seen[1].position, 11u + c.between.size()) << c.name;
        EXPECT_EQ(r.seen[1].payload, std::vector<uint8_t>{3});
        uint32_t mask = 0;
        for (uint32_t k : c.warnings) {
            mask |= 1u << k;
        }
        EXPECT_EQ(r.WarningMask(), mask) << c.name;
        EXPECT_EQ(r.WarningCounter(), static_cast<int>(c.warnings.size())) << c.name;
    }

    // Noise and fill before the first record raise nothing; trailing noise neither.
    LogBytes lead;
    lead.Raw({5, 6, 0xFF, 0xFF}).Record('T', 0, 1, {}).Raw({1, 2, 3}).FixDataByteCount();
    ProbeReader r(Write(lead, "lead.dat"));
    ASSERT_EQ(Walk(r), 0);
    ASSERT_EQ(r.seen.size(), 1u);
    EXPECT_EQ(r.seen[0].position, 4u) << "the last 0xFF of a run opens the record";
    EXPECT_TRUE(r.warnings.empty());
}

TEST_F(InsFileRead, TruncatedLastRecordIsNeverPassedOn) {
    LogBytes log;
    log.Record('T', 1, 10, {1}).Raw({0xFF, 'R', 1, 20, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5});
    ProbeReader r(Write(log));
    ASSERT_EQ(Walk(r), 0);
    EXPECT_EQ(r.ConversionStatus(), kStatusDone);
    EXPECT_EQ(Directions(r), "T");
    EXPECT_EQ(r.RecordCounter(), 1);

    // Only a truncated record: it is found but never passed on.
    LogBytes only;
    only.Raw({0xFF, 'T', 0, 9, 0, 0, 0, 0, 0, 1});
    ProbeReader o(Write(only, "only.dat"));
    ASSERT_EQ(Walk(o), 0);
    EXPECT_EQ(o.ConversionStatus(), kStatusDone);
    EXPECT_TRUE(o.seen.empty());
    EXPECT_EQ(o.begins, 1);

    // A header cut short at the end of the data.
    LogBytes cut;
    cut.Record('T', 1, 10, {1}).Raw({0xFF, 'R', 1});
    ProbeReader c(Write(cut, "cut.dat"));
    ASSERT_EQ(Walk(c), 0);
    EXPECT_EQ(Directions(c), "T");
}

TEST_F(InsFileRead, LineSelectionOfTwoLines) {
    InsLogHeader h = DefaultHeader();
    h.dataKind = kDataKindIns64Bulk;
    LogBytes log(h);
    log.Record('T', 1, 100, {1})
        .Record('t', 1, 110, {2})
        .Record('R', 0, 130, {3})
        .Record('r', 0, 160, {4});
    const std::string path = Write(log);
    struct Case {
        uint8_t option;
        std::string directions;
    };
    for (const Case& c :
         std::vector<Case>{{0, "TR"}, {4, "tr"}, {8, "TtRr"}, {12, "TtRr"}, {3 | 0x80, "TR"}}) {
        ProbeReader r(path, c.option);
        ASSERT_EQ(Walk(r), 0);
        EXPECT_EQ(Directions(r), c.directions) << int{c.option};
        EXPECT_EQ(r.RecordCounter(), 4) << "every record is counted";
        EXPECT_EQ(r.Elapsed(), 60) << "and timed";
    }
    ProbeReader first(path, 0);
    ASSERT_EQ(Walk(first), 0);
    ASSERT_EQ(first.seen.size(), 2u);
    EXPECT_EQ(first.seen[1].difference, 20) << "the step from the skipped 't' record";
    EXPECT_EQ(first.seen[1].elapsed, 30);
}

TEST_F(InsFileRead, CountWidthDetectionDuringTheWalk) {
    LogBytes log;
    log.Record('T', 1, 0x3FFFFF00, {})
        .Record('R', 1, 0x00000100, {})
        .Record('T', 1, 0x3FFFFF00, {});
    const std::string path = Write(log);
    ProbeReader r(path, 8);
    ASSERT_EQ(Walk(r), 0);
    ASSERT_EQ(r.seen.size(), 3u);
    EXPECT_EQ(r.seen[1].difference, 512);
    EXPECT_EQ(r.seen[2].difference, -512);
    EXPECT_EQ(r.Elapsed(), 0);
    EXPECT_EQ(r.option, 8) << "the flag is cleared once the 30-bit width is seen";
    EXPECT_FALSE(r.SetCountWidthDetection(true));
    EXPECT_TRUE(r.SetCountWidthDetection(false));

    // A 32-bit counter never switches; the flag stays set after the walk.
    LogBytes wide;
    wide.Record('T', 1, 0xFFFFFF00, {}).Record('R', 1, 0x00000100, {});
    ProbeReader w(Write(wide, "wide.dat"), 0);
    ASSERT_EQ(Walk(w), 0);
    EXPECT_EQ(w.seen[1].difference, 512);
    EXPECT_EQ(w.option, 0x80);
}

TEST_F(InsFileRead, DerivedResultsEndTheWalk) {
    LogBytes log;
    for (uint32_t i = 0; i < 5; ++i) {
        log.Record('T', 1, i, {static_cast<uint8_t>(i)});
    }
    const std::string path = Write(log);
    {
        ProbeReader r(path);
        r.failAt = 2;
        r.recordResult = kStatusNoBlock;
        ASSERT_EQ(Walk(r), 0);
        EXPECT_EQ(r.ConversionStatus(), kStatusNoBlock);
        EXPECT_EQ(r.seen.size(), 2u);
    }
    {
        ProbeReader r(path);
        r.failAt = 1;
        r.recordResult = -7;
        ASSERT_EQ(Walk(r), 0);
        EXPECT_EQ(r.ConversionStatus(), -7);
    }
    {
        ProbeReader r(path);
        r.failAt = 1;
        r.recordResult = kStatusRunning;  // still "go on"
        ASSERT_EQ(Walk(r), 0);
        EXPECT_EQ(r.ConversionStatus(), kStatusDone);
        EXPECT_EQ(r.seen.size(), 5u);
    }
    {
        ProbeReader r(path);
        r.throwAt = 3;
        ASSERT_EQ(Walk(r), 0);
        EXPECT_EQ(r.ConversionStatus(), kStatusOutOfMemory);
        EXPECT_FALSE(r.IsWalking());
    }
    {
        ProbeReader r(path);
        r.beginResult = 0x201;
        ASSERT_EQ(Walk(r), 0);
        EXPECT_EQ(r.ConversionStatus(), 0x201);
        EXPECT_TRUE(r.seen.empty());
        EXPECT_EQ(target.ended, 5) << "the completion is posted in every case";
    }
    LogBytes noisy;
    noisy.Record('T', 1, 1, {}).Raw({1}).Record('T', 1, 2, {}).Raw({1}).Record('T', 1, 3, {});
    const std::string noisyPath = Write(noisy, "noisy.dat");
    for (int32_t warningResult : {-1, 0x201}) {
        ProbeReader r(noisyPath);
        r.warningResult = warningResult;
        ASSERT_EQ(Walk(r), 0);
        EXPECT_EQ(r.ConversionStatus(), warningResult);
        EXPECT_EQ(r.seen.size(), 1u);
    }
    ProbeReader goOn(noisyPath);
    goOn.warningResult = kStatusRunning;
    ASSERT_EQ(Walk(goOn), 0);
    EXPECT_EQ(goOn.ConversionStatus(), kStatusDone);
    EXPECT_EQ(goOn.seen.size(), 3u);
}

LogBytes ManyRecords(int count, size_t payload) {
    LogBytes log;
    for (int i = 0; i < count; ++i) {
        log.Record(i % 2 ? 'R' : 'T', 1, static_cast<uint32_t>(i * 10),
                   Payload(payload, static_cast<uint8_t>(i)));
    }
    return log;
}

TEST_F(InsFileRead, StopInTheMiddle) {
    ProbeReader r(Write(ManyRecords(50, 20)));
    r.holdAt = 1;
    ASSERT_EQ(r.StartConversion(&target, kWmApp + 1), 0);
    r.WaitHeld();
    EXPECT_TRUE(r.IsWalking());
    r.RequestStop();
    // Let the 100 ms interval pass so that the next check sees the request.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    r.Release();
    r.WaitForWalk();
    EXPECT_EQ(r.ConversionStatus(), kStatusStopped);
    EXPECT_EQ(r.seen.size(), 1u);
    EXPECT_EQ(target.Ended(), 1);
}

TEST_F(InsFileRead, SecondStartWhileOneRuns) {
    ProbeReader r(Write(ManyRecords(10, 4)));
    r.holdAt = 1;
    ASSERT_EQ(r.StartConversion(&target, kWmApp + 1), 0);
    r.WaitHeld();
    CountingTarget other;
    SetLastError(0);
    EXPECT_EQ(r.StartConversion(&other, kWmApp + 2), kStatusRunning);
    EXPECT_EQ(GetLastError(), kErrorInvalidFunction);
    EXPECT_EQ(r.NotifyWindow(), &target) << "nothing changes";
    EXPECT_EQ(r.RecordCounter(), 1);
    EXPECT_EQ(r.ConversionStatus(), kStatusRunning);
    r.Release();
    r.WaitForWalk();
    EXPECT_EQ(r.ConversionStatus(), kStatusDone);
    EXPECT_EQ(r.seen.size(), 10u);
    EXPECT_EQ(other.ended + other.progress, 0);
    EXPECT_EQ(target.Ended(), 1);
}

TEST_F(InsFileRead, DestroyingAReaderJoinsItsWorker) {
    auto r = std::make_unique<ProbeReader>(Write(ManyRecords(2000, 10)));
    r->holdAt = 1;
    ASSERT_EQ(r->StartConversion(&target, kWmApp + 1), 0);
    r->WaitHeld();
    std::thread releaser([p = r.get()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        p->Release();
    });
    r.reset();  // stops and joins; the worker never runs on freed memory
    releaser.join();
    EXPECT_EQ(target.Ended(), 1);
}

TEST_F(InsFileRead, ReadFailureInTheWalk) {
    const int count = 300;  // about 83 KB: several cache fills
    ProbeReader r(Write(ManyRecords(count, 266)));
    r.holdAt = 1;
    ASSERT_EQ(r.StartConversion(&target, kWmApp + 1), 0);
    r.WaitHeld();
    fault::FailNthRead(1);
    r.Release();
    r.WaitForWalk();
    EXPECT_EQ(r.ConversionStatus(), kStatusReadError);
    EXPECT_EQ(r.OpenStatus(), kOpenReadError);
    EXPECT_EQ(r.LastError(), kErrorReadFault);
    EXPECT_FALSE(r.IsUsable());
    EXPECT_EQ(target.Ended(), 1);
    ASSERT_GT(r.seen.size(), 1u);
    ASSERT_LT(r.seen.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < r.seen.size(); ++i) {
        EXPECT_EQ(r.seen[i].payload, Payload(266, static_cast<uint8_t>(i))) << i;
        EXPECT_EQ(r.seen[i].position, i * (9 + 266));
    }
    uint8_t b[4];
    EXPECT_EQ(r.ReadAt(b, 0, 4), 0u);
    EXPECT_EQ(r.StartConversion(&target, kWmApp + 1), -1);

    // A failure on the very first read of the data is a read error, not an empty log.
    ProbeReader s(Write(ManyRecords(3, 1), "s.dat"));
    fault::FailNthRead(1);
    EXPECT_EQ(s.StartConversion(&target, kWmApp + 1), kStatusReadError);
    EXPECT_FALSE(s.IsWalking());
}

// The data of a ring file: `stream` in data-position order, oldest byte at file offset H + head.
LogBytes Ring(InsLogHeader h, const std::vector<uint8_t>& stream, uint32_t head, int extEnd = -1) {
    h.loopCount = 1;
    h.dataByteCount = head;
    LogBytes log(h);
    if (extEnd >= 0) {
        log.ExtHeader(32, static_cast<uint32_t>(extEnd));
    }
    std::vector<uint8_t> file(stream.size());
    for (size_t i = 0; i < stream.size(); ++i) {
        file[(head + i) % stream.size()] = stream[i];
    }
    return log.Raw(file);
}

std::vector<uint8_t> DataOf(const LogBytes& log) {
    std::vector<uint8_t> b = log.Bytes();
    return std::vector<uint8_t>(b.begin() + 32, b.end());
}

TEST_F(InsFileRead, RingWithTheBaseFromTheCounts) {
    InsLogHeader h = DefaultHeader();
    h.timeCountAtStart = 0x3FFFFF00;
    LogBytes stream;
    stream.Record('T', 1, 0x00000100, Payload(30, 1))
        .Record('R', 1, 0x00000180, Payload(30, 2))
        .Fill(0xFF, 5)
        .Record('T', 1, 0x00000200, Payload(30, 3));
    // The head offset puts the wrap inside the second record.
    ProbeReader r(Write(Ring(h, DataOf(stream), 60)));
    ASSERT_EQ(r.OpenStatus(), kOpenOk);
    EXPECT_EQ(r.CorrectionState(), -1);
    ASSERT_EQ(Walk(r), 0);
    EXPECT_EQ(r.BaseTime(), r.StartTime() + 512 * kTicksPerMs);
    EXPECT_EQ(r.StartCorrection(), 0) << "the stored correction stays";
    ASSERT_EQ(Directions(r), "TRT");
    EXPECT_EQ(r.seen[1].payload, Payload(30, 2));
    EXPECT_EQ(r.seen[2].payload, Payload(30, 3));
    EXPECT_EQ(r.Elapsed(), 0x100);
    EXPECT_TRUE(r.warnings.empty());
}

TEST_F(InsFileRead, RingWithTheBaseFromTheEndTime) {
    const int endValue = 13 * 86400000;  // more than 0x3FFFFFFF ms
    LogBytes stream;
    stream.Record('T', 1, 0x10000000, {1})
        .Record('R', 1, 0x10000000 + 5000, {2})
        .Record('T', 1, 0x10000000 + 65000, {3});
    ProbeReader r(Write(Ring(DefaultHeader(), DataOf(stream), 11, endValue)));
    ASSERT_EQ(r.OpenStatus(), kOpenOk);
    EXPECT_EQ(r.CorrectionState(), 1);
    ASSERT_EQ(Walk(r), 0);
    EXPECT_EQ(r.BaseTime(), r.StartTime()) << "unchanged while the first walk runs";
    ASSERT_EQ(r.Elapsed(), 65000);

    const int64_t b = BaseOffsetFromEndTime(r.EndTime(), r.Elapsed(), r.StartTime());
    EXPECT_EQ(b, endValue - 65000);
    r.SetStartCorrectionValue(b);
    ASSERT_TRUE(r.SetBaseTime(b));
    EXPECT_EQ(r.BaseTime() + r.Elapsed() * kTicksPerMs, r.EndTime());
    EXPECT_EQ(r.CorrectionState(), 0);
    EXPECT_EQ(StartCorrectionOf(r.Header()), 0) << "in memory only";
}

class SelfWalker : public CInsFileRead {
public:
    using CInsFileRead::CInsFileRead;
    ~SelfWalker() override { StopWorker(false); }
    uint8_t* OptionByte() override { return &m_option; }
    int32_t OnBegin(uint8_t*) override { return 0; }
    int32_t OnRecord(uint8_t*, int32_t) override { return 0; }

    bool Launch(NotifyTarget* target, int32_t endStatus) {
        return LaunchWorker(target, kWmApp + 1, [this, endStatus] {
            auto last = std::chrono::steady_clock::now();
            int32_t s = CheckStop(last, true);
            checks = s;
            EndWalk(s == kStatusRunning ? endStatus : s);
        });
    }
    int32_t checks = 0;

private:
    uint8_t m_option = 0;
};

TEST_F(InsFileRead, OwnPassesUseTheSameProtocol) {
    SelfWalker w(Write(LogBytes().Record('T', 1, 1, {})));
    ASSERT_TRUE(w.Launch(&target, 0x123));
    w.WaitForWalk();
    EXPECT_EQ(w.checks, kStatusRunning);
    EXPECT_EQ(w.ConversionStatus(), 0x123);
    EXPECT_EQ(target.progress, 1);
    EXPECT_EQ(target.ended, 1);
    EXPECT_FALSE(w.IsWalking());

    SelfWalker failed(dir.File("missing.dat"));
    EXPECT_FALSE(failed.Launch(&target, 0));
    EXPECT_FALSE(failed.IsWalking());
}

}  // namespace
}  // namespace tessary
