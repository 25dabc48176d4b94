#pragma once
// The frame around every record's decoded text: the header row with its time placeholder,
// the layer-1 status text and its legends, the frame check, the marks and the hex rows, and
// the in-place rewrite of the time text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/TextBuilder.h"

namespace tessary {

// The longest time text; FormatTime replaces it when a record is laid out.
inline constexpr std::u16string_view kTimePlaceholder = u"1234/34/56 12:34:56.789 ";
inline constexpr std::u16string_view kCrcErrorMark = u"CRCエラー";
inline constexpr std::u16string_view kOutOfScopeMark = u"対象外";
inline constexpr std::u16string_view kDirectThroughMark = u"・・・ 未定義ﾀﾞｲﾚｸﾄｽﾙｰ送出";
// A kind-0 record longer than this is shown and decoded as kind 6.
inline constexpr uint32_t kMaxCheckedFrameLength = 264;

// "ID=%07u TM=1234/34/56 12:34:56.789 種=%u "
void AppendRecordHeader(TextBuilder& text, uint32_t id, unsigned kind);

// Bytes as "%02X"; after every 16th byte sep16, else every 8th sep8, else every 4th sep4,
// else one space (an empty separator counts as absent: one space). Nothing after the last.
void AppendHexRows(TextBuilder& text, const uint8_t* bytes, size_t count, std::u16string_view sep16,
                   std::u16string_view sep8 = {}, std::u16string_view sep4 = {});
std::u16string HexRows(const uint8_t* bytes, size_t count, std::u16string_view sep16,
                       std::u16string_view sep8 = {}, std::u16string_view sep4 = {});

// The legend of one layer-1 value (with its trailing spaces), or the whole table for a
// negative value; for an INS64 bulk log the line label goes in after the first "64". Empty
// for a value the table does not hold.
void AppendLy1Legend(std::u16string& out, int value, bool ins1500, bool ins64Bulk,
                     std::u16string_view lineLabel);

// The layer-1 record text after the header row: "LY1=", the data bytes as rows aligned under
// the first byte, "=" and the first byte's legend, right-trimmed.
void AppendLayer1(TextBuilder& text, const uint8_t* data, size_t count, bool ins1500);

// The frame bytes of a record's data: past the optional 0x01 prefix (first byte 0x01 and at
// least two bytes).
struct FrameBytes {
    const uint8_t* data = nullptr;
    uint32_t count = 0;
};
FrameBytes FrameBytesOf(const uint8_t* data, uint32_t count);

// FCS-16 over all but the last two frame bytes, against those two (low byte first). Fewer
// than three bytes fail.
bool CheckFrameFcs(const uint8_t* frame, uint32_t count);
// The same on a record buffer (9-byte header and payload).
bool CheckFcs(const uint8_t* record);

// Units of `text` before its terminator, or `room` when there is none within `room` units.
size_t TextLengthWithin(const char16_t* text, size_t room);

// Rewrites the time after the first "TM=" of a NUL-terminated text in place. `room` is the
// units the text may occupy with its terminator; the run of blanks, '.', '/', ':' and digits
// after "TM=" is the old time. Returns the new time text's length without trailing blanks,
// 0 when there is no "TM=" (or the new text would not fit; the text is then unchanged).
size_t RewriteTimeText(char16_t* text, size_t room, int64_t baseTime, int64_t recordMs,
                       unsigned dateFormat);

}  // namespace tessary
