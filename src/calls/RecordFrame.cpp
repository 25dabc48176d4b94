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

// Reads one hex row ("XX XX ... XX", 16 bytes at most). The last row of a direct-through
// record carries a mark right after its last byte, so on that row anything may follow a byte.
// Returns the byte count, or -1 when the row is not a hex row.
int ReadHexRow(std::u16string_view row, bool lastRow, uint8_t* out) {
    int count = 0;
    size_t i = 0;
    while (true) {
        if (i + 2 > row.size() || count == 16) {
            return -1;
        }
        const int high = HexDigit(row[i]);
        const int low = HexDigit(row[i + 1]);
        if (high < 0 || low < 0) {
            return -1;
        }
        out[count++] = static_cast<uint8_t>(high << 4 | low);
        i += 2;
        if (i == row.size()) {
            return count;
        }
        if (row[i] != u' ') {
            return lastRow ? count : -1;
        }
        ++i;
        if (lastRow && (i == row.size() || HexDigit(row[i]) < 0)) {
            return count;
        }
    }
}

}  // namespace

bool ReadRecordMessage(const MessageRecord& record, RecordMessage& out) {
    if (record.Layer != kLayerMessage || record.Block > 3 ||
        (record.Flags & (kRecordWarning | kRecordError)) != 0) {
        return false;
    }
    const std::u16string_view text = record.TextView();
    // Walk the rows back from the end while they are hex rows; the first row that is not one
    // (the last element row, or the empty row before the bytes) ends the frame.
    size_t end = text.size();
    if (end > 0 && text[end - 1] == u'\n') {
        --end;
    }
    uint8_t rows[kMaxFrameBytes / 16 + 2][16];
    int rowCounts[kMaxFrameBytes / 16 + 2];
    int rowCount = 0;
    bool lastRow = true;
    while (end > 0) {
        const size_t lf = text.rfind(u'\n', end - 1);
        const size_t start = lf == std::u16string_view::npos ? 0 : lf + 1;
        if (rowCount == static_cast<int>(std::size(rows))) {
            return false;
        }
        const int count = ReadHexRow(text.substr(start, end - start), lastRow, rows[rowCount]);
        if (count < 0) {
            break;
        }
        if (!lastRow && count != 16) {
            break;  // only the last row of the bytes may be short
        }
        rowCounts[rowCount++] = count;
        lastRow = false;
        if (lf == std::u16string_view::npos) {
            break;
        }
        end = lf;
    }
    int length = 0;
    for (int r = rowCount - 1; r >= 0; --r) {
        for (int i = 0; i < rowCounts[r]; ++i) {
            if (length == kMaxFrameBytes) {
                return false;
            }
            out.bytes[length++] = rows[r][i];
        }
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
