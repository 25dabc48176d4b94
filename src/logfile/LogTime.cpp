#include "logfile/LogTime.h"

#include <cstdio>

#include "platform/DigitGroup.h"
#include "platform/TimeMath.h"
#include "platform/Utf.h"

namespace tessary {

namespace {

constexpr uint32_t k30BitMask = 0x3FFFFFFF;
constexpr uint32_t kSignExtend30 = 0xC0000000;
constexpr uint64_t kMsPerDay = 86400000;

}  // namespace

int32_t CountDifference(uint32_t previous, uint32_t current, CountWidthState& state, bool& detect) {
    const uint32_t p = previous;
    const uint32_t c = current;
    // A step from the top quarter of a 30-bit counter to the bottom of it: the board's counter
    // is 30 bits wide. Decided once per walk.
    if (detect && (p & 0xF0000000) == 0x30000000 && (c & 0xF0000000) == 0) {
        state.differenceMask = k30BitMask;
        state.wrapMask = 0x30000000;
        detect = false;
    }
    uint32_t d;
    if (c < p) {
        d = (c - p) & state.differenceMask;
        if (state.differenceMask == k30BitMask && (d & 0x20000000) != 0) {
            d |= kSignExtend30;
        }
    } else {
        d = c - p;
        if (static_cast<int32_t>(d) >= static_cast<int32_t>(state.differenceMask >> 1) &&
            (p & state.wrapMask) == 0 && (c & state.wrapMask) == state.wrapMask) {
            d |= kSignExtend30;
        }
    }
    return static_cast<int32_t>(d);
}

int64_t BaseOffsetFromCounts(uint32_t firstCount, uint32_t countAtStart, bool ins1500) {
    uint32_t d = firstCount - countAtStart;
    if (!ins1500) {
        d &= k30BitMask;
    }
    return static_cast<int64_t>(d);
}

int64_t BaseOffsetFromEndTime(int64_t endTime, int64_t lastElapsedMs, int64_t startTime) {
    return EndTimeBaseOffset(endTime, lastElapsedMs, startTime);
}

int FormatRecordTime(int64_t baseTime, int64_t recordMs, unsigned dateMode,
                     char16_t (&out)[kRecordTimeMaxChars + 1]) {
    dateMode &= 3u;
    SystemTime t{};
    unsigned dayCounter = 0;
    int64_t recordTime = 0;
    bool shown = baseTime != 0 && AddMsToTicks(baseTime, recordMs, recordTime) &&
                 TicksToSystemTime(recordTime, t);
    if (shown && dateMode == 0) {
        SystemTime base{};
        shown = TicksToSystemTime(baseTime, base);
        const int64_t days = recordTime / kTicksPerDay - baseTime / kTicksPerDay + base.day;
        dayCounter = static_cast<unsigned>(((days % 100) + 100) % 100);
    }
    if (!shown) {
        t = SystemTime{};
        dayCounter = 0;
    }

    // Written by hand: this runs once per decoded record.
    int n = 0;
    auto put = [&](char16_t c) { out[n++] = c; };
    auto digits = [&](unsigned value, int width) { PutDecimalDigits(value, width, put); };
    const unsigned month = t.month % 100u;
    const unsigned day = t.day % 100u;
    // Mode 0 shows the day counter alone; the others "month/day ", behind the year in modes 2
    // (two digits) and 3 (as many as it has).
    switch (dateMode) {
        case 0:
            digits(dayCounter, 2);
            put(u'/');
            break;
        case 1:
            break;
        case 2:
            digits(t.year % 100u, 2);
            put(u'/');
            break;
        default:
            digits(t.year % 10000u, 1);
            put(u'/');
            break;
    }
    if (dateMode != 0) {
        digits(month, 2);
        put(u'/');
        digits(day, 2);
        put(u' ');
    }
    digits(t.hour % 100u, 2);
    put(u':');
    digits(t.minute % 100u, 2);
    put(u':');
    digits(t.second % 100u, 2);
    put(u'.');
    digits(t.milliseconds % 1000u, 3);
    put(u' ');
    out[n] = u'\0';
    return n;
}

DurationParts SplitDuration(int64_t ms) {
    DurationParts parts;
    parts.negative = ms < 0;
    // Magnitude in unsigned arithmetic so that the most negative value splits too.
    uint64_t m = parts.negative ? 0 - static_cast<uint64_t>(ms) : static_cast<uint64_t>(ms);
    uint64_t inDay = m % kMsPerDay;
    parts.days = m / kMsPerDay;
    parts.hours = static_cast<unsigned>(inDay / 3600000);
    parts.minutes = static_cast<unsigned>((inDay / 1000 % 3600) / 60);
    parts.seconds = static_cast<unsigned>(inDay / 1000 % 60);
    parts.milliseconds = static_cast<unsigned>(m % 1000);
    return parts;
}

std::u16string FormatFullDateTime(const SystemTime& t) {
    char text[64];
    std::snprintf(text, sizeof(text), "%u/%02u/%02u %02u:%02u:%02u.%03u", unsigned{t.year},
                  unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second}, unsigned{t.milliseconds});
    return Utf16(text);
}

std::u16string FormatLongDateTime(const SystemTime& t) {
    char text[128];
    std::snprintf(text, sizeof(text), "%u 年 %02u 月 %02u 日  %02u 時 %02u 分 %02u.%03u 秒",
                  unsigned{t.year}, unsigned{t.month}, unsigned{t.day}, unsigned{t.hour},
                  unsigned{t.minute}, unsigned{t.second}, unsigned{t.milliseconds});
    return Utf16(text);
}

}  // namespace tessary
