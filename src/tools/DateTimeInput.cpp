#include "tools/DateTimeInput.h"

namespace tessary {

namespace {

constexpr int kMaxFieldDigits = 9;
constexpr int kMaxFractionDigits = 3;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// One integer field at `pos`: leading zeros are skipped and do not count, then at most nine
// digits are taken. False when no digit is there.
bool ReadField(std::u16string_view text, size_t& pos, uint32_t& value) {
    const size_t begin = pos;
    while (pos < text.size() && text[pos] == u'0') {
        ++pos;
    }
    value = 0;
    int digits = 0;
    while (pos < text.size() && IsDigit(text[pos]) && digits < kMaxFieldDigits) {
        value = value * 10 + static_cast<uint32_t>(text[pos] - u'0');
        ++pos;
        ++digits;
    }
    return pos > begin;
}

// Up to `wanted` fields separated by `separator`; returns how many were read.
int ReadFields(std::u16string_view text, size_t& pos, char16_t separator, uint32_t* values,
               int wanted) {
    int count = 0;
    while (count < wanted) {
        if (count > 0) {
            if (pos >= text.size() || text[pos] != separator) {
                break;
            }
            ++pos;
        }
        if (!ReadField(text, pos, values[count])) {
            break;
        }
        ++count;
    }
    return count;
}

}  // namespace

bool ParseDateTimeInput(std::u16string_view text, SystemTime& time, int64_t& ticks) {
    text = Trim(text);
    size_t blank = 0;
    while (blank < text.size() && !IsBlank(text[blank])) {
        ++blank;
    }
    if (blank >= text.size()) {
        return false;
    }
    const std::u16string_view datePart = text.substr(0, blank);
    const std::u16string_view timePart = Trim(text.substr(blank));

    uint32_t date[3] = {};
    size_t pos = 0;
    if (ReadFields(datePart, pos, u'/', date, 3) != 3) {
        return false;
    }
    uint32_t clock[3] = {};
    pos = 0;
    if (ReadFields(timePart, pos, u':', clock, 3) != 3) {
        return false;
    }
    // The fraction counts by its digits: .5 is 500 ms, .05 is 50 ms; a fourth digit is ignored.
    uint32_t milliseconds = 0;
    if (pos < timePart.size() && timePart[pos] == u'.') {
        ++pos;
        int digits = 0;
        while (pos < timePart.size() && IsDigit(timePart[pos]) && digits < kMaxFractionDigits) {
            milliseconds = milliseconds * 10 + static_cast<uint32_t>(timePart[pos] - u'0');
            ++pos;
            ++digits;
        }
        for (; digits > 0 && digits < kMaxFractionDigits; ++digits) {
            milliseconds *= 10;
        }
    }

    // Checked before narrowing, so that a huge field never wraps into a valid one.
    if (date[0] > 0xFFFF || date[1] > 12 || date[2] > 31 || clock[0] > 23 || clock[1] > 59 ||
        clock[2] > 59) {
        return false;
    }
    SystemTime parsed{};
    parsed.year = static_cast<uint16_t>(date[0]);
    parsed.month = static_cast<uint16_t>(date[1]);
    parsed.day = static_cast<uint16_t>(date[2]);
    parsed.hour = static_cast<uint16_t>(clock[0]);
    parsed.minute = static_cast<uint16_t>(clock[1]);
    parsed.second = static_cast<uint16_t>(clock[2]);
    parsed.milliseconds = static_cast<uint16_t>(milliseconds);
    int64_t parsedTicks = 0;
    if (!IsRepresentable(parsed) || !SystemTimeToTicks(parsed, parsedTicks)) {
        return false;
    }
    TicksToSystemTime(parsedTicks, parsed);  // fills the day of the week
    time = parsed;
    ticks = parsedTicks;
    return true;
}

}  // namespace tessary
