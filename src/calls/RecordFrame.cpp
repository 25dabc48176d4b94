#include "calls/RecordFrame.h"

#include <string_view>

namespace tessary::calls {

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

}  // namespace

bool ReadRecordMessage(const MessageRecord& record, RecordMessage& out) {
    if (record.Layer != kLayerMessage || record.Block > 3 ||
        (record.Flags & (kRecordWarning | kRecordError)) != 0) {
        return false;
    }
    // One pass from the start: the decoded rows never open with two hex digits, so the first
    // row that does holds the first frame bytes. The last row of a direct-through record
    // carries a mark right after its last byte.
    const char16_t* at = record.Text();
    while (*at != 0) {
        if (HexDigit(at[0]) >= 0 && HexDigit(at[1]) >= 0 && HexDigit(at[2]) < 0) {
            break;
        }
        while (*at != 0 && *at != u'\n') {
            ++at;
        }
        if (*at == u'\n') {
            ++at;
        }
    }
    int length = 0;
    while (*at != 0) {
        const int high = HexDigit(at[0]);
        const int low = high < 0 ? -1 : HexDigit(at[1]);
        if (low < 0) {
            return false;
        }
        if (length == kMaxFrameBytes) {
            return false;
        }
        out.bytes[length++] = static_cast<uint8_t>(high << 4 | low);
        at += 2;
        if (*at != u' ' && *at != u'\n') {
            break;  // the end, or the mark of a direct-through record
        }
        ++at;
    }
    // Blocks B and C hold the line's own frames (kind 0), which end in their check sequence.
    const bool checked = record.Block == 1 || record.Block == 2;
    if (checked) {
        length -= 2;
    }
    if (length < 4) {
        return false;
    }
    const uint8_t control = out.bytes[2];
    if ((control & 0x01) == 0) {
        out.messageOffset = 4;  // I frame: two control octets
    } else if ((control & ~0x10) == 0x03) {
        out.messageOffset = 3;  // UI frame
    } else {
        return false;
    }
    out.frameLength = length;
    if (out.MessageLength() < 3 || out.Message()[0] != 0x08) {
        return false;
    }
    out.tei = out.bytes[1] >> 1;
    out.fromNetwork = record.Block == 1 || record.Block == 3;
    return true;
}

}  // namespace tessary::calls
