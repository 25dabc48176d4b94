#include "display/LineCells.h"

#include <algorithm>

#include "decode/SearchFind.h"
#include "platform/Width.h"

namespace tessary {

namespace {

// Printable ASCII is one byte in code page 932; the table is asked only for the rest.
inline bool IsPlainAscii(char16_t c) {
    return c >= 0x20 && c < 0x7F;
}

}  // namespace

bool HasNoWidth(char16_t c) {
    if (IsPlainAscii(c) || c == u'\n') {
        return false;
    }
    return c < 0x20 || CharWidth(c) == 0;
}

int CellWidth(char16_t c) {
    if (IsPlainAscii(c) || c == u'\n' || c < 0x20) {
        return 1;
    }
    const int width = CharWidth(c);
    return width == 0 ? 1 : width;
}

size_t CellsOf(const char16_t* text, size_t length) {
    size_t cells = 0;
    for (size_t i = 0; i < length; ++i) {
        cells += static_cast<size_t>(CellWidth(text[i]));
    }
    return cells;
}

uint16_t BuildCells(char16_t* text, size_t length, uint16_t* cells) {
    length = std::min(length, kMaxLineText);
    uint16_t count = 0;
    for (size_t i = 0; i < length; ++i) {
        const auto index = static_cast<uint16_t>(i);
        const char16_t c = text[i];
        if (IsPlainAscii(c)) [[likely]] {
            cells[count++] = index;
            continue;
        }
        int width = 1;
        if (!IsPlainAscii(c) && c != u'\n') {
            width = c < 0x20 ? 0 : CharWidth(c);
            if (width == 0) {
                text[i] = u'?';
                width = 1;
            }
        }
        if (width == 2) {
            cells[count++] = static_cast<uint16_t>(kCellLeftHalf | index);
            cells[count++] = static_cast<uint16_t>(kCellRightHalf | index);
        } else {
            cells[count++] = index;
        }
    }
    return count;
}

void SetBlockParts(DisplayLine& line, const char16_t* text, int block) {
    for (BlockPart& part : line.parts) {
        part = BlockPart{};
    }
    if (block >= 0 && block < kPartCount) {
        line.parts[block] = BlockPart{0, line.cellCount};
        return;
    }
    const uint16_t* cells = line.Cells();
    int part = 0;
    uint16_t start = 0;
    for (uint16_t c = 0; c < line.cellCount && part < kPartCount; ++c) {
        if (text != nullptr && text[cells[c] & kCellCharMask] == u'\n') {
            line.parts[part++] = BlockPart{start, static_cast<uint16_t>(c - start)};
            start = static_cast<uint16_t>(c + 1);
        }
    }
    // What follows the last LF is the next part; after a fourth LF it is dropped.
    if (part < kPartCount) {
        line.parts[part] = BlockPart{start, static_cast<uint16_t>(line.cellCount - start)};
    }
}

void ClearHits(DisplayLine& line) {
    uint16_t* cells = line.Cells();
    for (uint16_t c = 0; c < line.cellCount; ++c) {
        cells[c] = static_cast<uint16_t>(cells[c] & ~kCellHit);
    }
}

void MarkWord(DisplayLine& line, std::u16string_view text, std::u16string_view word) {
    const size_t width = word.empty() ? 0 : TextWidth(word.data(), word.size());
    if (width == 0) {
        ClearHits(line);
        return;
    }
    uint16_t* cells = line.Cells();
    size_t searchStart = 0;
    size_t cell = 0;  // first cell of the character at searchStart
    while (searchStart < text.size() && cell < line.cellCount) {
        const size_t found = FindNoCase(text.substr(searchStart), word);
        if (found == kNotFound) {
            break;
        }
        const size_t at = searchStart + found;
        cell += CellsOf(text.data() + searchStart, at - searchStart);
        const size_t end = std::min<size_t>(cell + width, line.cellCount);
        for (size_t c = cell; c < end; ++c) {
            cells[c] = static_cast<uint16_t>(cells[c] | kCellHit);
        }
        searchStart = at + word.size();
        cell += CellsOf(text.data() + at, std::min(word.size(), text.size() - at));
    }
}

}  // namespace tessary
