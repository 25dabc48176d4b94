#include "mainwnd/GoToNumber.h"

#include <algorithm>
#include <limits>

namespace tessary {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' ||
           c == u'\u3000';
}

// A message line: one whose record is not the title record.
bool HasMessage(const DisplayLineTable& table, int32_t n) {
    const MessageRecord* record = table.RecordOf(table.Line(n));
    return record != nullptr && record->Index != 0;
}

}  // namespace

int64_t ReadEditNumber(std::u16string_view text) {
    std::u16string digits;
    for (char16_t c : text) {
        if (c == u'.') {
            break;
        }
        if (c != u',') {
            digits.push_back(c);
        }
    }
    std::u16string_view rest(digits);
    while (!rest.empty() && IsBlank(rest.front())) {
        rest.remove_prefix(1);
    }
    while (!rest.empty() && IsBlank(rest.back())) {
        rest.remove_suffix(1);
    }
    bool negative = false;
    if (!rest.empty() && (rest.front() == u'-' || rest.front() == u'+')) {
        negative = rest.front() == u'-';
        rest.remove_prefix(1);
    }
    // Accumulated as a negative number: its range reaches the minimum.
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    int64_t value = 0;
    for (char16_t c : rest) {
        if (c < u'0' || c > u'9') {
            break;
        }
        const int digit = c - u'0';
        if (value < (kMin + digit) / 10) {
            value = kMin;
            continue;
        }
        value = value * 10 - digit;
    }
    if (negative) {
        return value;
    }
    return value == kMin ? std::numeric_limits<int64_t>::max() : -value;
}

GoToResult GoToLineNumber(const DisplayLineTable& table, int64_t number) {
    GoToResult result;
    const int32_t count = table.LineCount();
    int32_t lastMessage = -1;
    for (int32_t n = count - 1; n >= 1; --n) {
        if (HasMessage(table, n)) {
            lastMessage = n;
            break;
        }
    }
    if (lastMessage < 1) {
        return result;
    }
    result.possible = true;
    int32_t start = 0;
    if (number < 1) {
        result.message = kGoToLineBelowFirst;
        start = 1;
    } else if (number > lastMessage) {
        result.message = kGoToLineAboveLast;
        start = lastMessage;
    } else {
        start = static_cast<int32_t>(number);
    }
    // Separator lines are passed over; past the end the scan goes on from line 1.
    for (int32_t n = start; n < count; ++n) {
        if (HasMessage(table, n)) {
            result.line = n;
            return result;
        }
    }
    for (int32_t n = 1; n < start; ++n) {
        if (HasMessage(table, n)) {
            result.line = n;
            return result;
        }
    }
    result.message = kGoToLineNoData;
    return result;
}

GoToResult GoToIndexNumber(const DisplayLineTable& table, int64_t number) {
    GoToResult result;
    MessageRecord* firstRecord = nullptr;
    MessageRecord* lastRecord = nullptr;
    table.FirstLastLine(true, &firstRecord);
    table.FirstLastLine(false, &lastRecord);
    const CTessaryCan* converter = table.Converter();
    if (firstRecord == nullptr || lastRecord == nullptr || converter == nullptr) {
        return result;
    }
    result.possible = true;
    int64_t wanted = number;
    if (wanted < firstRecord->Id) {
        result.message = kGoToIndexBelowFirst;
        wanted = firstRecord->Id;
    } else if (wanted > lastRecord->Id) {
        result.message = kGoToIndexAboveLast;
        wanted = lastRecord->Id;
    }
    const uint32_t end = std::min(lastRecord->Index, converter->LineCount() - 1);
    for (uint32_t i = firstRecord->Index; i <= end; ++i) {
        const MessageRecord* record = converter->Record(i);
        if (record == nullptr || record->Id != wanted) {
            continue;
        }
        // A record the view did not lay out (an RR frame hidden, one not aggregated) has no
        // line of its own here.
        const DisplayLine* line = table.FirstLineOf(record);
        if (line != nullptr && line->recordIndex == static_cast<int32_t>(record->Index)) {
            result.line = line->lineNumber;
            return result;
        }
        break;
    }
    result.message = kGoToIndexNoData;
    return result;
}

}  // namespace tessary
