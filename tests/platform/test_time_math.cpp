#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "platform/TimeMath.h"

namespace tessary {
namespace {

TEST(TimeMath, AddAndSubtractStopAtTheLimits) {
    int64_t out = 42;
    EXPECT_TRUE(CheckedAdd(kInt64Max - 1, 1, out));
    EXPECT_EQ(out, kInt64Max);
    EXPECT_FALSE(CheckedAdd(kInt64Max, 1, out));
    EXPECT_FALSE(CheckedAdd(kInt64Min, -1, out));
    EXPECT_FALSE(CheckedAdd(1, kInt64Max, out));
    EXPECT_EQ(out, kInt64Max);  // unchanged by a failed sum
    EXPECT_TRUE(CheckedAdd(kInt64Min, kInt64Max, out));
    EXPECT_EQ(out, -1);

    EXPECT_TRUE(CheckedSub(-1, kInt64Min, out));
    EXPECT_EQ(out, kInt64Max);
    EXPECT_FALSE(CheckedSub(0, kInt64Min, out));
    EXPECT_FALSE(CheckedSub(kInt64Min, 1, out));
    EXPECT_FALSE(CheckedSub(kInt64Max, -1, out));
    EXPECT_TRUE(CheckedSub(kInt64Min, -1, out));
    EXPECT_EQ(out, kInt64Min + 1);
}

TEST(TimeMath, RecordTimeIsBasePlusTenThousandTicksPerMs) {
    int64_t out = 7;
    ASSERT_TRUE(AddMsToTicks(116444736000000000, 1500, out));
    EXPECT_EQ(out, 116444736015000000);
    ASSERT_TRUE(AddMsToTicks(116444736000000000, -1500, out));
    EXPECT_EQ(out, 116444735985000000);

    // The product alone: the largest and smallest ms that still fit.
    const int64_t maxMs = kInt64Max / kTicksPerMs;
    const int64_t minMs = kInt64Min / kTicksPerMs;
    ASSERT_TRUE(AddMsToTicks(0, maxMs, out));
    EXPECT_EQ(out, maxMs * kTicksPerMs);
    ASSERT_TRUE(AddMsToTicks(0, minMs, out));
    EXPECT_EQ(out, minMs * kTicksPerMs);
    out = 7;
    EXPECT_FALSE(AddMsToTicks(0, maxMs + 1, out));
    EXPECT_FALSE(AddMsToTicks(0, minMs - 1, out));
    EXPECT_FALSE(AddMsToTicks(0, kInt64Max, out));
    EXPECT_FALSE(AddMsToTicks(0, kInt64Min, out));
    EXPECT_EQ(out, 7);

    // The sum: a product that fits, added to a base at the edge.
    EXPECT_FALSE(AddMsToTicks(kInt64Max, 1, out));
    EXPECT_FALSE(AddMsToTicks(kInt64Max - 9999, 1, out));
    ASSERT_TRUE(AddMsToTicks(kInt64Max - 10000, 1, out));
    EXPECT_EQ(out, kInt64Max);
    ASSERT_TRUE(AddMsToTicks(kInt64Max, -1, out));
    EXPECT_EQ(out, kInt64Max - 10000);
    EXPECT_FALSE(AddMsToTicks(kInt64Min, -1, out));
    ASSERT_TRUE(AddMsToTicks(kInt64Min, maxMs, out));
    EXPECT_EQ(out, kInt64Min + maxMs * kTicksPerMs);
    EXPECT_FALSE(AddMsToTicks(1, maxMs, out) && AddMsToTicks(out, 1, out));
}

TEST(TimeMath, EndTimeBaseTruncatesTowardZero) {
    EXPECT_EQ(EndTimeBaseOffset(5, 0, 0), 0);
    EXPECT_EQ(EndTimeBaseOffset(0, 0, 5), 0);
    EXPECT_EQ(EndTimeBaseOffset(0, 0, 15000), -1);
    EXPECT_EQ(EndTimeBaseOffset(15000, 0, 0), 1);
    EXPECT_EQ(EndTimeBaseOffset(20000, 0, 15000), 0);
    EXPECT_EQ(EndTimeBaseOffset(10000, 0, 19999), 0);
    EXPECT_EQ(EndTimeBaseOffset(10000, 0, 20000), -1);
    EXPECT_EQ(EndTimeBaseOffset(-19999, 0, 0), -1);
    EXPECT_EQ(EndTimeBaseOffset(19999, 2, 0), 0);
    EXPECT_EQ(EndTimeBaseOffset(19999, 1, 0), 0);
    EXPECT_EQ(EndTimeBaseOffset(20000, 1, 0), 1);
    EXPECT_EQ(EndTimeBaseOffset(0, -3, 1), 2);

    // Against the plain formula wherever it fits in 64 bits, with remainders of both signs.
    const std::initializer_list<int64_t> times = {0,
                                                  1,
                                                  9999,
                                                  10000,
                                                  10001,
                                                  -1,
                                                  -9999,
                                                  -10000,
                                                  -10001,
                                                  123456789,
                                                  -987654321,
                                                  116444736000000000,
                                                  -116444736000000001,
                                                  316444736000009999,
                                                  -316444736000009999};
    const std::initializer_list<int64_t> elapsed = {
        0, 1, -1, 86400000, -86400000, 40000000000001, -40000000000001};
    for (const int64_t end : times) {
        for (const int64_t start : times) {
            for (const int64_t e : elapsed) {
                const int64_t expected = (end - e * kTicksPerMs - start) / kTicksPerMs;
                EXPECT_EQ(EndTimeBaseOffset(end, e, start), expected)
                    << "end " << end << " elapsed " << e << " start " << start;
            }
        }
    }
}

TEST(TimeMath, EndTimeBaseBeyondSixtyFourBits) {
    // Times at opposite ends: (2^64 - 1) / 10000.
    EXPECT_EQ(EndTimeBaseOffset(kInt64Max, 0, kInt64Min), 1844674407370955);
    EXPECT_EQ(EndTimeBaseOffset(kInt64Min, 0, kInt64Max), -1844674407370955);
    // An elapsed sum whose ticks leave 64 bits still gives the exact quotient where it fits...
    EXPECT_EQ(EndTimeBaseOffset(0, -kInt64Max, 0), kInt64Max);
    EXPECT_EQ(EndTimeBaseOffset(0, kInt64Min, 1), kInt64Max);  // 2^63 - 1/10000
    EXPECT_EQ(EndTimeBaseOffset(1, kInt64Max, 0), kInt64Min + 2);
    EXPECT_EQ(EndTimeBaseOffset(0, kInt64Max, 0), kInt64Min + 1);
    EXPECT_EQ(EndTimeBaseOffset(1, kInt64Min + 1, 10001), kInt64Max - 1);
    // ... and is clamped where it does not.
    EXPECT_EQ(EndTimeBaseOffset(0, kInt64Min, 0), kInt64Max);
    EXPECT_EQ(EndTimeBaseOffset(kInt64Max, kInt64Min, kInt64Min), kInt64Max);
    EXPECT_EQ(EndTimeBaseOffset(-10000, kInt64Max, 0), kInt64Min);
    EXPECT_EQ(EndTimeBaseOffset(kInt64Min, kInt64Max, kInt64Max), kInt64Min);
}

TEST(TimeMath, ThirtySixBitFields) {
    // The signed start correction: bit 35 is the sign.
    EXPECT_EQ(SignExtend36(0), 0);
    EXPECT_EQ(SignExtend36(0x7FFFFFFFF), kMaxSigned36);
    EXPECT_EQ(SignExtend36(0x800000000), kMinSigned36);
    EXPECT_EQ(SignExtend36(0xFFFFFFFFF), -1);
    EXPECT_EQ(SignExtend36(0xFFFFFFFFE), -2);
    // Bits above 35 are not part of the field.
    EXPECT_EQ(SignExtend36(0xF000000005), 5);
    EXPECT_EQ(SignExtend36(~uint64_t{0}), -1);

    EXPECT_EQ(Low36Bits(-1), 0xFFFFFFFFFu);
    EXPECT_EQ(Low36Bits(kMinSigned36), 0x800000000u);
    EXPECT_EQ(Low36Bits(-86400000), 0xFFAD9A400u);
    // A value past the range wraps: what a header would store of it.
    EXPECT_EQ(Low36Bits(kMaxSigned36 + 1), 0x800000000u);
    EXPECT_EQ(Low36Bits(kInt64Min), 0u);
    for (const int64_t v : {kMinSigned36, kMinSigned36 + 1, int64_t{-86400000}, int64_t{-1},
                            int64_t{0}, int64_t{1}, int64_t{34298000000}, kMaxSigned36}) {
        EXPECT_EQ(SignExtend36(Low36Bits(v)), v) << v;
    }

    EXPECT_TRUE(FitsSigned36(kMinSigned36));
    EXPECT_TRUE(FitsSigned36(kMaxSigned36));
    EXPECT_FALSE(FitsSigned36(kMinSigned36 - 1));
    EXPECT_FALSE(FitsSigned36(kMaxSigned36 + 1));
    EXPECT_TRUE(FitsUnsigned36(0));
    EXPECT_TRUE(FitsUnsigned36(0xFFFFFFFFF));
    EXPECT_FALSE(FitsUnsigned36(0x1000000000));
    EXPECT_FALSE(FitsUnsigned36(-1));
    EXPECT_FALSE(FitsUnsigned36(kInt64Min));
}

}  // namespace
}  // namespace tessary
