#pragma once
// Time counts and the log's date/time arithmetic.
#include <cstdint>
#include <string>

#include "platform/Calendar.h"

namespace tessary {

// Counter range R of the base-offset choice.
inline constexpr uint32_t kCounterRange1500 = 0xFFFFFFFF;
inline constexpr uint32_t kCounterRange64 = 0x3FFFFFFF;

// Per-walk state of the counter width: difference mask D and wrap mask W.
struct CountWidthState {
    uint32_t differenceMask = 0xFFFFFFFF;
    uint32_t wrapMask = 0xC0000000;
};

// Signed difference in ms from count `previous` to `current`. `detect` is the count-width
// detection flag (bit 7 of the option byte); it is cleared when the 30-bit width is detected.
int32_t CountDifference(uint32_t previous, uint32_t current, CountWidthState& state, bool& detect);

// Base offset from the counts (CorrectionState -1), a non-negative number of ms.
int64_t BaseOffsetFromCounts(uint32_t firstCount, uint32_t countAtStart, bool ins1500);

// Base offset from the end time (CorrectionState 1): B = (end - E(last) * 10000 - T0) / 10000,
// truncated toward zero.
int64_t BaseOffsetFromEndTime(int64_t endTime, int64_t lastElapsedMs, int64_t startTime);

// The record-time text of the date display modes 0-3 ("07/12:34:56.789 " ...), at most 24
// characters plus terminator, written to `out`. Returns the characters written, trailing blank
// included. A base time of 0 or a time that is not representable shows every field as 0.
inline constexpr int kRecordTimeMaxChars = 24;
int FormatRecordTime(int64_t baseTime, int64_t recordMs, unsigned dateMode,
                     char16_t (&out)[kRecordTimeMaxChars + 1]);

struct DurationParts {
    bool negative = false;
    uint64_t days = 0;
    unsigned hours = 0;
    unsigned minutes = 0;
    unsigned seconds = 0;
    unsigned milliseconds = 0;
};
// Split by magnitude; `negative` tells the sign of a signed value.
DurationParts SplitDuration(int64_t ms);

// "%u/%02u/%02u %02u:%02u:%02u.%03u"
std::u16string FormatFullDateTime(const SystemTime& time);
// "%u 年 %02u 月 %02u 日  %02u 時 %02u 分 %02u.%03u 秒"
std::u16string FormatLongDateTime(const SystemTime& time);

}  // namespace tessary
