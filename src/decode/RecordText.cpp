#include "decode/RecordText.h"

#include <algorithm>
#include <cstring>

#include "decode/ElementText.h"
#include "decode/Fcs16.h"
#include "logfile/InsLogFormat.h"
#include "logfile/LogTime.h"
#include "platform/TimeMath.h"

namespace tessary {

namespace {

struct LegendEntry {
    uint8_t value;
    std::u16string_view text;
};
struct LegendTable {
    std::u16string_view title;
    LegendEntry entries[5];
};

constexpr LegendTable kLegend1500 = {
    u"1500:LY1一覧：",
    {
        {0x44, u"後位含め全ok "},
        {0x04, u"後位NG、自端末にて局ok  "},
        {0x00, u"局も端末もNG "},
        {0x03, u"局が端末NGの警告 "},
        {0x30, u"端末が局NGの警告"},
    },
};
constexpr LegendTable kLegend64 = {
    u"64:LY1一覧：",
    {
        {0x34, u"後位含め全ok "},
        {0x74, u"後位NG、自端末にて局ok  "},
        {0x00, u"局も端末もNGか呼毎起動待機 "},
        {0x10, u"後位が起動要求 "},
        {0x50, u"自端末が起動要求"},
    },
};

constexpr std::u16string_view kLy1Prefix = u"LY1=";
constexpr std::u16string_view kTimeMarker = u"TM=";
constexpr size_t kMaxLy1Indent = 255;

const LegendTable& LegendFor(bool ins1500) {
    return ins1500 ? kLegend1500 : kLegend64;
}

std::u16string_view LegendText(const LegendTable& table, int value) {
    for (const LegendEntry& entry : table.entries) {
        if (entry.value == value) {
            return entry.text;
        }
    }
    return {};
}

std::u16string_view TrimRight(std::u16string_view text) {
    size_t end = text.find_last_not_of(u' ');
    return end == std::u16string_view::npos ? std::u16string_view{} : text.substr(0, end + 1);
}

// The last time text made on this thread: records come in time order, so most fall in the
// second of the one before and differ only in their milliseconds.
struct TimeCache {
    int64_t baseTime = 0;
    int64_t second = -1;
    unsigned dateFormat = 0;
    int length = -1;
    int msAt = -1;  // where the three millisecond digits are, -1 when they cannot be found
    char16_t text[kRecordTimeMaxChars + 1] = {};
};

constexpr int64_t kTicksPerSecond = 10000000;

void PutMilliseconds(char16_t* at, unsigned ms) {
    at[0] = static_cast<char16_t>(u'0' + ms / 100);
    at[1] = static_cast<char16_t>(u'0' + ms / 10 % 10);
    at[2] = static_cast<char16_t>(u'0' + ms % 10);
}

size_t CachedRecordTime(int64_t baseTime, int64_t recordMs, unsigned dateFormat,
                        char16_t (&out)[kRecordTimeMaxChars + 1]) {
    thread_local TimeCache cache;
    int64_t ticks = 0;
    const bool keyed = baseTime > 0 && recordMs >= 0 && AddMsToTicks(baseTime, recordMs, ticks);
    const int64_t second = keyed ? ticks / kTicksPerSecond : -1;
    const auto ms = static_cast<unsigned>(ticks / 10000 % 1000);
    if (keyed && cache.msAt >= 0 && cache.second == second && cache.baseTime == baseTime &&
        cache.dateFormat == dateFormat) {
        std::copy(cache.text, cache.text + cache.length + 1, out);
        PutMilliseconds(out + cache.msAt, ms);
        return static_cast<size_t>(cache.length);
    }
    const int written = FormatRecordTime(baseTime, recordMs, dateFormat, out);
    const size_t length = written > 0 ? static_cast<size_t>(written) : 0;
    if (!keyed) {
        return length;
    }
    // The milliseconds are the three digits after the last '.', if they read as this record's.
    cache = TimeCache{};
    for (size_t i = length; i-- > 0;) {
        if (out[i] == u'.') {
            if (i + 4 <= length) {
                char16_t check[3];
                PutMilliseconds(check, ms);
                if (std::equal(check, check + 3, out + i + 1)) {
                    cache.msAt = static_cast<int>(i + 1);
                }
            }
            break;
        }
    }
    if (cache.msAt >= 0) {
        cache.baseTime = baseTime;
        cache.second = second;
        cache.dateFormat = dateFormat;
        cache.length = static_cast<int>(length);
        std::copy(out, out + length + 1, cache.text);
    }
    return length;
}

bool IsTimeChar(char16_t c) {
    return c == u' ' || c == u'.' || c == u'/' || c == u':' || (c >= u'0' && c <= u'9');
}

}  // namespace

void AppendRecordHeader(TextBuilder& text, uint32_t id, unsigned kind) {
    text.Append(u"ID=");
    AppendDecimal(text, id, 7);
    text.Append(u' ');
    text.Append(kTimeMarker);
    text.Append(kTimePlaceholder);
    text.Append(u"種=");
    AppendDecimal(text, kind, 0);
    text.Append(u' ');
}

void AppendHexRows(TextBuilder& text, const uint8_t* bytes, size_t count, std::u16string_view sep16,
                   std::u16string_view sep8, std::u16string_view sep4) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    if (count == 0) {
        return;
    }
    // An empty separator is one space; the text is sized once and written in place.
    const auto width = [](std::u16string_view separator) {
        return separator.empty() ? size_t{1} : separator.size();
    };
    const size_t after16 = (count - 1) / 16;
    const size_t after8 = (count - 1) / 8 - after16;
    const size_t after4 = (count - 1) / 4 - after8 - after16;
    const size_t others = (count - 1) - after4 - after8 - after16;
    const size_t length =
        2 * count + after16 * width(sep16) + after8 * width(sep8) + after4 * width(sep4) + others;
    char16_t* out = text.Extend(length);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            std::u16string_view separator;
            if (i % 4 != 0) {
                *out++ = u' ';
            } else {
                separator = i % 16 == 0 ? sep16 : i % 8 == 0 ? sep8 : sep4;
                if (separator.empty()) {
                    *out++ = u' ';
                } else {
                    out = std::copy(separator.begin(), separator.end(), out);
                }
            }
        }
        *out++ = kDigits[bytes[i] >> 4];
        *out++ = kDigits[bytes[i] & 15];
    }
}

std::u16string HexRows(const uint8_t* bytes, size_t count, std::u16string_view sep16,
                       std::u16string_view sep8, std::u16string_view sep4) {
    TextBuilder text;
    AppendHexRows(text, bytes, count, sep16, sep8, sep4);
    return std::u16string(text.View());
}

void AppendLy1Legend(std::u16string& out, int value, bool ins1500, bool ins64Bulk,
                     std::u16string_view lineLabel) {
    const LegendTable& table = LegendFor(ins1500);
    const size_t start = out.size();
    if (value >= 0) {
        out.append(LegendText(table, value));
    } else {
        out.append(table.title);
        TextBuilder code;
        for (const LegendEntry& entry : table.entries) {
            code.Clear();
            code.AppendHex2(entry.value);
            code.Append(u'=');
            out.append(code.View());
            out.append(entry.text);
        }
    }
    if (ins64Bulk && !lineLabel.empty()) {
        size_t at = out.find(u"64", start);
        if (at != std::u16string::npos) {
            out.insert(at + 2, lineLabel);
        }
    }
}

void AppendLayer1(TextBuilder& text, const uint8_t* data, size_t count, bool ins1500) {
    text.Append(kLy1Prefix);
    // Continuation rows start under the first byte, measured in display columns.
    char16_t separator[1 + kMaxLy1Indent];
    const size_t indent = std::min(text.CurrentRowWidth(), kMaxLy1Indent);
    separator[0] = u'\n';
    std::fill(separator + 1, separator + 1 + indent, u' ');
    AppendHexRows(text, data, count, std::u16string_view(separator, 1 + indent));
    if (count > 0) {
        text.Append(u'=');
        text.Append(TrimRight(LegendText(LegendFor(ins1500), data[0])));
    }
}

FrameBytes FrameBytesOf(const uint8_t* data, uint32_t count) {
    if (count >= 2 && data[0] == 0x01) {
        return {data + 1, count - 1};
    }
    return {data, count};
}

bool CheckFrameFcs(const uint8_t* frame, uint32_t count) {
    if (count < 3) {
        return false;
    }
    const uint16_t sent = static_cast<uint16_t>(frame[count - 2] | frame[count - 1] << 8);
    return Fcs16(frame, count - 2) == sent;
}

bool CheckFcs(const uint8_t* record) {
    const InsRecordHeader header = ParseRecordHeader(record);
    const uint32_t length = std::min<uint32_t>(header.payloadLength, kMaxPayloadLength);
    const FrameBytes frame = FrameBytesOf(record + kRecordHeaderSize, length);
    return CheckFrameFcs(frame.data, frame.count);
}

size_t TextLengthWithin(const char16_t* text, size_t room) {
    // Four units a step: record texts are long.
    size_t i = 0;
    for (; i + 4 <= room; i += 4) {
        uint64_t four;
        std::memcpy(&four, text + i, sizeof four);
        if (((four - 0x0001000100010001u) & ~four & 0x8000800080008000u) != 0) {
            break;
        }
    }
    while (i < room && text[i] != u'\0') {
        ++i;
    }
    return i;
}

size_t RewriteTimeText(char16_t* text, size_t room, int64_t baseTime, int64_t recordMs,
                       unsigned dateFormat) {
    if (text == nullptr || room == 0) {
        return 0;
    }
    const size_t length = TextLengthWithin(text, room);
    if (length == room) {
        return 0;  // no terminator inside the room: not a text we may touch
    }
    const std::u16string_view all(text, length);
    const size_t marker = all.find(kTimeMarker);
    if (marker == std::u16string_view::npos) {
        return 0;
    }
    const size_t start = marker + kTimeMarker.size();
    size_t end = start;
    while (end < length && IsTimeChar(text[end])) {
        ++end;
    }
    char16_t formatted[kRecordTimeMaxChars + 1] = {};
    const size_t newLength = CachedRecordTime(baseTime, recordMs, dateFormat & 3, formatted);
    const size_t oldLength = end - start;
    if (length - oldLength + newLength + 1 > room) {
        return 0;
    }
    // Move the rest (terminator included), then write the new time in place.
    std::memmove(text + start + newLength, text + end, (length - end + 1) * sizeof(char16_t));
    std::memcpy(text + start, formatted, newLength * sizeof(char16_t));
    size_t trimmed = newLength;
    while (trimmed > 0 && formatted[trimmed - 1] == u' ') {
        --trimmed;
    }
    return trimmed;
}

}  // namespace tessary
