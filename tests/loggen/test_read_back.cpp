// What insloggen writes must read back through the project's reader: the same records in the
// same order, the same time differences, the expected warnings and the base time the header
// and the counts imply.
#include <gtest/gtest.h>

#include "LogWalk.h"
#include "logfile/LogTime.h"
#include "logfile/Status.h"
#include "loggen/LogWriter.h"
#include "platform/Calendar.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

using loggen::Board;
using loggen::LogProfile;

struct ReadBackCase {
    const char* name;
    LogProfile profile;
    int correctionState;
};

void PrintTo(const ReadBackCase& c, std::ostream* os) {
    *os << c.name;
}

LogProfile Base(uint64_t seed, uint64_t records) {
    LogProfile s;
    s.seed = seed;
    s.records = records;
    return s;
}

std::vector<ReadBackCase> Cases() {
    std::vector<ReadBackCase> cases;
    cases.push_back({"Ins64Linear", Base(3, 3000), 0});
    {
        LogProfile s = Base(4, 3000);
        s.board = Board::Ins1500;
        s.countStartSet = true;
        s.countStart = 0xFFFF0000;  // the 32-bit counter wraps after about 65 s
        cases.push_back({"Ins1500Wrap32", s, 0});
    }
    {
        LogProfile s = Base(5, 3000);
        s.countStartSet = true;
        s.countStart = 0x3FFF0000;  // the 30-bit counter wraps after about 65 s
        cases.push_back({"Ins64Wrap30", s, 0});
    }
    {
        LogProfile s = Base(6, 4000);
        s.dataKind = 4;
        cases.push_back({"BulkTwoLines", s, 0});
    }
    {
        LogProfile s = Base(7, 3000);
        s.ring = true;
        s.loopCount = 3;
        s.headOffsetSet = true;
        s.headOffsetPercent = true;
        s.headOffset = 41;
        s.countStartSet = true;
        s.countStart = 0x3FFFF000;
        cases.push_back({"RingBaseFromCounts", s, -1});
    }
    {
        LogProfile s = Base(8, 0);
        s.spanMs = 13LL * 86400000;  // beyond the 30-bit counter range
        s.ring = true;
        s.extHeaderLength = 32;
        s.pollIntervalMs = 3600000;
        s.callIntervalMs = 7200000;
        cases.push_back({"RingBaseFromEndTime", s, 1});
    }
    {
        LogProfile s = Base(9, 2000);
        s.ring = true;
        s.startCorrectionMs = 90000;
        s.headOffsetSet = true;
        s.headOffset = 1000;
        cases.push_back({"RingCorrected", s, 0});
    }
    {
        LogProfile s = Base(10, 2000);
        s.startCorrectionMs = -3600000;
        s.extHeaderLength = 40;
        s.truncateLast = true;
        cases.push_back({"LinearNegativeCorrectionExtHeader", s, 0});
    }
    {
        LogProfile s = Base(11, 5000);
        s.noisePerMille = 30;
        s.strayPerMille = 20;
        s.fillPerMille = 30;
        s.badFcsPerMille = 20;
        s.oddPerMille = 50;
        s.prefixPerMille = 50;
        s.oversizePerMille = 20;
        s.truncateLast = true;
        cases.push_back({"Damaged", s, 0});
    }
    {
        LogProfile s = Base(12, 0);
        s.spanMs = 3LL * 86400000;
        s.start = SystemTime{2024, 1, 0, 31, 22, 0, 0, 0};
        s.countStartSet = true;
        s.countStart = 0x3FFFFF00;
        s.pollIntervalMs = 60000;
        s.callIntervalMs = 600000;
        cases.push_back({"MultiDayFrom31st", s, 0});
    }
    {
        LogProfile s = Base(13, 1500);
        s.dataCountZero = true;
        s.truncateLast = true;
        s.noBlockAt = 50;
        cases.push_back({"DataCountZeroNoBlock", s, 0});
    }
    {
        LogProfile s = Base(14, 2000);
        s.board = Board::Ins1500;
        s.ring = true;
        s.extHeaderLength = 32;
        s.countStartSet = true;
        s.countStart = 0xFFFFF000;
        cases.push_back({"Ins1500RingShortSpan", s, -1});
    }
    return cases;
}

class ReadBack : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBack, WalksTheSameRecordsCountsAndTimes) {
    const ReadBackCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.File("log.dat");
    loggen::WriteResult written;
    std::string error;
    ASSERT_EQ(loggen::WriteLog(c.profile, path, &written, &error), loggen::WriteStatus::kOk)
        << error;

    const std::vector<ExpectedRecord> expected = Generate(c.profile);
    std::vector<const ExpectedRecord*> complete;
    uint64_t warnings = 0;
    for (const ExpectedRecord& e : expected) {
        if (!e.info.truncated) {
            complete.push_back(&e);
            warnings += (e.info.warnings & 1) + ((e.info.warnings >> 1) & 1);
        }
    }
    ASSERT_FALSE(complete.empty());
    EXPECT_EQ(written.records, complete.size());
    EXPECT_EQ(written.truncated, c.profile.truncateLast);

    const WalkResult walk = WalkLog(path);
    ASSERT_EQ(walk.openStatus, kOpenOk);
    ASSERT_EQ(walk.startStatus, 0);
    EXPECT_EQ(walk.conversionStatus, kStatusDone);
    EXPECT_EQ(walk.correctionState, c.correctionState);
    EXPECT_EQ(walk.dataSize, written.dataBytes);
    EXPECT_EQ(walk.dataOrigin, written.headerBytes + written.headOffset);
    EXPECT_EQ(static_cast<uint64_t>(walk.warningCounter), warnings);
    EXPECT_EQ(static_cast<size_t>(walk.recordCounter), complete.size());
    ASSERT_EQ(walk.records.size(), complete.size());

    const int64_t firstMs = complete.front()->info.timeMs;
    for (size_t i = 0; i < complete.size(); ++i) {
        ASSERT_EQ(walk.records[i].bytes, complete[i]->bytes) << "record " << i + 1;
        ASSERT_EQ(walk.records[i].elapsedMs, complete[i]->info.timeMs - firstMs)
            << "record " << i + 1;
    }

    // The first record's time as the reader places it.
    int64_t baseMs = 0;
    if (c.correctionState == 1) {
        baseMs = BaseOffsetFromEndTime(walk.endTime, walk.elapsedMs, walk.startTime);
    } else {
        baseMs = (walk.baseTime - walk.startTime) / kTicksPerMs;
    }
    EXPECT_EQ(baseMs, firstMs);
}

INSTANTIATE_TEST_SUITE_P(Loggen, ReadBack, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadBackLines, LineSelectionPassesOneLineButCountsBoth) {
    LogProfile profile = Base(21, 3000);
    profile.dataKind = 4;
    TempDir dir;
    const std::string path = dir.File("bulk.dat");
    ASSERT_EQ(loggen::WriteLog(profile, path), loggen::WriteStatus::kOk);
    const std::vector<ExpectedRecord> expected = Generate(profile);
    for (const uint8_t selection : {uint8_t{0}, uint8_t{4}}) {
        const bool second = selection == 4;
        std::vector<const ExpectedRecord*> line;
        for (const ExpectedRecord& e : expected) {
            const bool lower = e.info.direction == 't' || e.info.direction == 'r';
            if (lower == second) {
                line.push_back(&e);
            }
        }
        ASSERT_GT(line.size(), 500u) << "both lines carry traffic";
        const WalkResult walk = WalkLog(path, selection);
        ASSERT_EQ(walk.conversionStatus, kStatusDone);
        EXPECT_EQ(static_cast<size_t>(walk.recordCounter), expected.size());
        ASSERT_EQ(walk.records.size(), line.size());
        for (size_t i = 0; i < line.size(); ++i) {
            ASSERT_EQ(walk.records[i].bytes, line[i]->bytes);
            ASSERT_EQ(walk.records[i].elapsedMs,
                      line[i]->info.timeMs - expected.front().info.timeMs);
        }
    }
}

TEST(ReadBackCounter, WrapsAreReallyInTheData) {
    // The wrap cases above only prove something if the counts do wrap.
    for (const bool ins1500 : {false, true}) {
        LogProfile profile = Base(5, 3000);
        profile.countStartSet = true;
        profile.countStart = ins1500 ? 0xFFFF0000 : 0x3FFF0000;
        profile.board = ins1500 ? Board::Ins1500 : Board::Ins64;
        int wraps = 0;
        uint32_t previous = 0;
        for (const ExpectedRecord& e : Generate(profile)) {
            if (e.info.count < previous) {
                ++wraps;
            }
            EXPECT_LE(e.info.count, ins1500 ? 0xFFFFFFFFu : 0x3FFFFFFFu);
            previous = e.info.count;
        }
        EXPECT_EQ(wraps, 1) << (ins1500 ? "32-bit" : "30-bit");
    }
}

}  // namespace
}  // namespace tessary::test
