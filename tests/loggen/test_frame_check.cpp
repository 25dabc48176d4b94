// Check sequences and record forms: every kind-0 frame carries FCS-16 of X.25 / Q.921 and
// only the chosen ones a wrong one; copies in kinds 1-8 carry none.
#include <gtest/gtest.h>

#include <cstring>

#include "LogWalk.h"
#include "decode/Fcs16.h"
#include "loggen/LogProfile.h"

namespace tessary::test {
namespace {

bool FcsHolds(const std::vector<uint8_t>& record, bool prefix) {
    const size_t start = 9 + (prefix ? 1 : 0);
    if (record.size() < start + 3) {
        return false;
    }
    const size_t frame = record.size() - start - 2;
    const uint16_t fcs = Fcs16(record.data() + start, frame);
    return record[record.size() - 2] == (fcs & 0xFF) && record[record.size() - 1] == (fcs >> 8);
}

TEST(Fcs16, CheckValueOfTheStandard) {
    const char* text = "123456789";
    EXPECT_EQ(Fcs16(reinterpret_cast<const uint8_t*>(text), std::strlen(text)), 0x906E);
}

TEST(FrameCheck, EveryKindZeroFrameVerifiesUnlessChosenBad) {
    loggen::LogProfile profile;
    profile.seed = 31;
    profile.records = 20000;
    profile.badFcsPerMille = 15;
    profile.prefixPerMille = 40;
    profile.oversizePerMille = 10;
    size_t kindZero = 0;
    size_t bad = 0;
    size_t oversize = 0;
    size_t prefixed = 0;
    for (const ExpectedRecord& e : Generate(profile)) {
        const auto& r = e.info;
        ASSERT_EQ(r.payloadLength + 9u, e.bytes.size());
        ASSERT_LE(r.payloadLength, 266);
        if (r.kind != 0) {
            EXPECT_FALSE(r.badFcs);
            continue;
        }
        ++kindZero;
        if (r.oversize) {
            // More than 264 bytes: the reader turns it into kind 6 without a check.
            ++oversize;
            EXPECT_GT(r.payloadLength, 264);
            EXPECT_FALSE(r.prefix);
            continue;
        }
        EXPECT_LE(r.payloadLength, 264);
        if (r.prefix) {
            ++prefixed;
            EXPECT_EQ(e.bytes[9], 0x01);
        }
        EXPECT_EQ(FcsHolds(e.bytes, r.prefix), !r.badFcs) << "record " << r.number;
        bad += r.badFcs ? 1 : 0;
    }
    EXPECT_GT(kindZero, 8000u);
    // A share near 15 per mille, and each of the other forms present.
    EXPECT_GT(bad, kindZero * 8 / 1000);
    EXPECT_LT(bad, kindZero * 25 / 1000);
    EXPECT_GT(oversize, 0u);
    EXPECT_GT(prefixed, 0u);
}

TEST(FrameCheck, ChosenPositionsAndNoOthers) {
    loggen::LogProfile profile;
    profile.seed = 32;
    profile.records = 600;
    profile.badFcsPerMille = 0;
    profile.badFcsAt = {100, 350};
    std::vector<uint64_t> badAt;
    uint64_t firstKindZeroFrom100 = 0;
    uint64_t firstKindZeroFrom350 = 0;
    for (const ExpectedRecord& e : Generate(profile)) {
        const auto& r = e.info;
        if (r.kind == 0 && !r.oversize) {
            if (r.number >= 100 && firstKindZeroFrom100 == 0) {
                firstKindZeroFrom100 = r.number;
            }
            if (r.number >= 350 && firstKindZeroFrom350 == 0) {
                firstKindZeroFrom350 = r.number;
            }
            EXPECT_EQ(FcsHolds(e.bytes, r.prefix), !r.badFcs);
        }
        if (r.badFcs) {
            badAt.push_back(r.number);
        }
    }
    EXPECT_EQ(badAt, (std::vector<uint64_t>{firstKindZeroFrom100, firstKindZeroFrom350}));
}

TEST(FrameCheck, CopiesInKindsOneToEightRepeatAFrameWithoutCheckBytes) {
    loggen::LogProfile profile;
    profile.seed = 33;
    profile.records = 5000;
    const std::vector<ExpectedRecord> records = Generate(profile);
    size_t copies = 0;
    bool kind5 = false;
    for (size_t i = 0; i < records.size(); ++i) {
        const auto& r = records[i].info;
        if (r.kind < 1 || r.kind > 8) {
            continue;
        }
        ++copies;
        kind5 = kind5 || r.kind == 5;
        const size_t skip = r.prefix ? 10 : 9;
        const std::vector<uint8_t> frame(records[i].bytes.begin() + skip, records[i].bytes.end());
        bool found = false;
        for (size_t j = i; j-- > 0 && j + 30 > i && !found;) {
            const auto& o = records[j];
            if (o.info.kind != 0 || o.info.direction != r.direction) {
                continue;
            }
            const size_t oskip = o.info.prefix ? 10 : 9;
            found = std::vector<uint8_t>(o.bytes.begin() + oskip, o.bytes.end() - 2) == frame;
        }
        EXPECT_TRUE(found) << "copy " << r.number << " has no original";
        EXPECT_GE(r.timeMs, records[i - 1].info.timeMs);
    }
    EXPECT_GT(copies, 1000u);
    EXPECT_TRUE(kind5);
}

TEST(FrameCheck, RecordTimesNeverGoBack) {
    loggen::LogProfile profile;
    profile.seed = 34;
    profile.records = 20000;
    profile.dataKind = 4;
    int64_t previous = INT64_MIN;
    for (const ExpectedRecord& e : Generate(profile)) {
        ASSERT_GE(e.info.timeMs, previous) << "record " << e.info.number;
        previous = e.info.timeMs;
    }
}

}  // namespace
}  // namespace tessary::test
