#pragma once
// Checked arithmetic of log times: 100 ns ticks, milliseconds and the 36-bit header fields. Plain
// C++ on purpose, so that every compiler builds the same results; a sum or product that leaves
// the 64-bit range is reported, never wrapped.
#include <cstdint>
#include <limits>

#include "platform/Calendar.h"

namespace tessary {

inline constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
inline constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();

// a + b; false (out unchanged) when the sum leaves the int64 range.
constexpr bool CheckedAdd(int64_t a, int64_t b, int64_t& out) {
    if ((b > 0 && a > kInt64Max - b) || (b < 0 && a < kInt64Min - b)) {
        return false;
    }
    out = a + b;
    return true;
}

// a - b; false (out unchanged) when the difference leaves the int64 range.
constexpr bool CheckedSub(int64_t a, int64_t b, int64_t& out) {
    if ((b < 0 && a > kInt64Max + b) || (b > 0 && a < kInt64Min + b)) {
        return false;
    }
    out = a - b;
    return true;
}

// ms × 10 000; false (ticks unchanged) when the product leaves the int64 range.
constexpr bool MsToTicks(int64_t ms, int64_t& ticks) {
    if (ms > kInt64Max / kTicksPerMs || ms < kInt64Min / kTicksPerMs) {
        return false;
    }
    ticks = ms * kTicksPerMs;
    return true;
}

// The time of a record: base + ms × 10 000 ticks; false (out unchanged) when the product or the
// sum leaves the int64 range.
constexpr bool AddMsToTicks(int64_t base, int64_t ms, int64_t& out) {
    int64_t ticks = 0;
    return MsToTicks(ms, ticks) && CheckedAdd(base, ticks, out);
}

// The base offset taken from the log's end time: (end - lastElapsedMs × 10 000 - start) /
// 10 000 in ms, truncated toward zero, exact for every input and clamped to the int64 range
// (an absurd elapsed sum must not wrap into a plausible base).
int64_t EndTimeBaseOffset(int64_t endTime, int64_t lastElapsedMs, int64_t startTime);

// The header's 36-bit millisecond fields: the signed start correction and the unsigned end
// value.
inline constexpr uint64_t k36BitMask = 0xFFFFFFFFFULL;
inline constexpr int64_t kMinSigned36 = -0x800000000LL;
inline constexpr int64_t kMaxSigned36 = 0x7FFFFFFFFLL;

// The signed value of the low 36 bits of `raw` (bit 35 is the sign).
constexpr int64_t SignExtend36(uint64_t raw) {
    raw &= k36BitMask;
    return (raw & 0x800000000ULL) != 0
               ? static_cast<int64_t>(raw) - static_cast<int64_t>(1ULL << 36)
               : static_cast<int64_t>(raw);
}

// The low 36 bits of a value in two's complement: what the header stores.
constexpr uint64_t Low36Bits(int64_t value) {
    return static_cast<uint64_t>(value) & k36BitMask;
}

constexpr bool FitsSigned36(int64_t value) {
    return value >= kMinSigned36 && value <= kMaxSigned36;
}

constexpr bool FitsUnsigned36(int64_t value) {
    return value >= 0 && static_cast<uint64_t>(value) <= k36BitMask;
}

}  // namespace tessary
