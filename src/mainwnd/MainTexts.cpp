#include "mainwnd/MainTexts.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "mainwnd/MainTextTable.h"
#include "platform/Calendar.h"
#include "platform/DigitGroup.h"
#include "platform/FormatText.h"

namespace tessary {
namespace {

constexpr std::u16string_view kBlankOrRowEnd = u" \n";

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

unsigned HexValue(char16_t c) {
    return c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
}

// Leading "HH HH ..." of a row; stops at the first token that is not a byte.
std::vector<uint8_t> HexBytes(std::u16string_view row) {
    std::vector<uint8_t> bytes;
    size_t i = 0;
    while (i + 1 < row.size() && IsHexDigit(row[i]) && IsHexDigit(row[i + 1])) {
        const bool ends = i + 2 == row.size() || row[i + 2] == u' ';
        if (!ends) {
            break;
        }
        bytes.push_back(static_cast<uint8_t>(HexValue(row[i]) << 4 | HexValue(row[i + 1])));
        i += 3;
    }
    return bytes;
}

}  // namespace

std::u16string_view SelectionTimeText(std::u16string_view text) {
    const size_t key = text.find(kTimeKey);
    if (key != std::u16string_view::npos) {
        const size_t start = key + kTimeKey.size();
        const size_t rowEnd = std::min(text.find(u'\n', start), text.size());
        const size_t colon = text.find(u':', start);
        if (colon < rowEnd) {
            const size_t end = std::min(text.find_first_of(kBlankOrRowEnd, colon), text.size());
            return text.substr(start, end - start);
        }
    }
    const size_t warning = text.find(kWarningKey);
    if (warning != std::u16string_view::npos) {
        const size_t end = std::min(text.find_first_of(kBlankOrRowEnd, warning), text.size());
        return text.substr(warning, end - warning);
    }
    return {};
}

std::u16string IndexNumberText(uint32_t id) {
    return FormatText(kIndexNumberFormat, id);
}

std::u16string LinePaneText(int32_t lineNumber) {
    std::u16string text = GroupedDecimal16(lineNumber < 0 ? 0 : static_cast<uint64_t>(lineNumber));
    if (text.size() < kLinePaneWidth) {
        text.insert(0, kLinePaneWidth - text.size(), u' ');
    }
    return text;
}

std::u16string IdPaneText(uint32_t id) {
    return FormatText(kIdPaneFormat, id / 100000, id % 100000);
}

std::u16string DatePaneText(int64_t baseTicks, int64_t timeMs) {
    if (baseTicks == 0) {
        return {};
    }
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / kTicksPerMs;
    if (timeMs > kLimit || timeMs < -kLimit) {
        return {};
    }
    const int64_t offset = timeMs * kTicksPerMs;
    if ((offset > 0 && baseTicks > std::numeric_limits<int64_t>::max() - offset) ||
        (offset < 0 && baseTicks < std::numeric_limits<int64_t>::min() - offset)) {
        return {};
    }
    SystemTime time;
    if (!TicksToSystemTime(baseTicks + offset, time)) {
        return {};
    }
    return FormatText(kDatePaneFormat, unsigned{time.year}, unsigned{time.month},
                      unsigned{time.day});
}

std::u16string WarningCountText(uint32_t count) {
    return FormatText(kWarningCountFormat, count);
}

std::u16string_view HeaderNote(const CLogFileRead& reader) {
    if (reader.IsRing()) {
        if (reader.HasExtHeader()) {
            return reader.EndTime() == 0 ? kNoteNoEndTime : std::u16string_view();
        }
        return reader.Header().timeCountAtStart == 0 ? kNoteNoTimeCount : std::u16string_view();
    }
    return reader.Header().dataByteCount == 0 ? kNoteNoDataLength : std::u16string_view();
}

bool AppendHeaderNotes(std::u16string& pane, const CLogFileRead& reader) {
    const std::u16string_view note = HeaderNote(reader);
    if (note.empty()) {
        return false;
    }
    if (!pane.empty()) {
        pane += u',';
    }
    pane += note;
    return true;
}

std::u16string LegendTooltipText(std::u16string_view legend) {
    std::u16string out;
    out.reserve(legend.size() + 16);
    bool first = true;
    for (size_t i = 0; i < legend.size(); ++i) {
        if (i + 2 < legend.size() && legend[i + 2] == u'=' && IsHexDigit(legend[i]) &&
            IsHexDigit(legend[i + 1])) {
            if (first) {
                out += u'\n';
                first = false;
            }
            out += u'\n';
        }
        out += legend[i];
    }
    return out;
}

std::u16string LapdDetailText(const MessageRecord& record) {
    if ((record.Layer != kLayerFrame && record.Layer != kLayerMessage) ||
        (record.Flags & (kRecordWarning | kRecordError)) != 0) {
        return {};
    }
    const std::u16string_view text = record.TextView();
    size_t pos = text.find(u'\n');
    while (pos != std::u16string_view::npos) {
        const size_t start = pos + 1;
        pos = text.find(u'\n', start);
        const std::u16string_view row =
            text.substr(start, (pos == std::u16string_view::npos ? text.size() : pos) - start);
        if (row.size() < 2 || !IsHexDigit(row[0]) || !IsHexDigit(row[1])) {
            continue;
        }
        const std::vector<uint8_t> bytes = HexBytes(row);
        if (bytes.size() < 4) {
            return {};
        }
        std::u16string detail = (bytes[1] & 1) != 0
                                    ? FormatText(kTeiFormat, unsigned{bytes[1]} >> 1)
                                    : std::u16string(kTeiUnknown);
        const unsigned control = bytes[2];
        const unsigned received = unsigned{bytes[3]} >> 1;
        if ((control & 1) == 0) {
            detail += FormatText(kIFrameFormat, control >> 1, received);
        } else if (control == 0x01) {
            detail += FormatText(kRrFormat, received);
        } else if (control == 0x05) {
            detail += FormatText(kRnrFormat, received);
        } else if (control == 0x09) {
            detail += FormatText(kRejFormat, received);
        }
        return detail;
    }
    return {};
}

}  // namespace tessary
