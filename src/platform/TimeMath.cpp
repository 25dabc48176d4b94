#include "platform/TimeMath.h"

namespace tessary {

int64_t EndTimeBaseOffset(int64_t endTime, int64_t lastElapsedMs, int64_t startTime) {
    // Split both times into whole ms and a remainder of ticks (each with the sign of its
    // time), so that no step leaves 64 bits: the numerator is 10 000 × n + r with |r| < 10 000.
    int64_t n = endTime / kTicksPerMs - startTime / kTicksPerMs;
    int64_t r = endTime % kTicksPerMs - startTime % kTicksPerMs;
    if (r >= kTicksPerMs) {
        ++n;
        r -= kTicksPerMs;
    } else if (r <= -kTicksPerMs) {
        --n;
        r += kTicksPerMs;
    }
    // |n| is below 2^51 here, so only the elapsed ms can carry it out of range; when it does,
    // the quotient is at or beyond that end of the range whatever r adds.
    if (!CheckedSub(n, lastElapsedMs, n)) {
        return lastElapsedMs < 0 ? kInt64Max : kInt64Min;
    }
    // Truncation toward zero of n + r / 10 000.
    if (n > 0 && r < 0) {
        return n - 1;
    }
    if (n < 0 && r > 0) {
        return n + 1;
    }
    return n;
}

}  // namespace tessary
