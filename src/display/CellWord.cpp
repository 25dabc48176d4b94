#include "display/CellWord.h"

#include <algorithm>

namespace tessary {

namespace {

constexpr uint16_t kCellHalves = kCellLeftHalf | kCellRightHalf;

bool IsSingleBlank(uint16_t cell, std::u16string_view text) {
    const size_t index = cell & kCellCharMask;
    return (cell & kCellHalves) == 0 && index < text.size() && text[index] == u' ';
}

bool IsHexOrBlank(char16_t c) {
    return c == u' ' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') ||
           (c >= u'a' && c <= u'f');
}

std::u16string TrimBlanks(std::u16string_view text) {
    const size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(u' ');
    return std::u16string(text.substr(first, last - first + 1));
}

}  // namespace

std::u16string WordAtCell(const DisplayLine& line, std::u16string_view text, int block,
                          int column) {
    if (text.empty() || block < 0 || block >= kPartCount) {
        return {};
    }
    const BlockPart part = line.parts[block];
    if (part.count == 0 || part.start >= line.cellCount) {
        return {};
    }
    const int count = std::min<int>(part.count, line.cellCount - part.start);
    if (column < 0 || column >= count) {
        return {};
    }
    const uint16_t* cells = line.Cells() + part.start;
    for (int i = 0; i < count; ++i) {
        if ((cells[i] & kCellCharMask) >= text.size()) {
            return {};
        }
    }

    // A part made only of hex digits and blanks (a dump line) is taken whole, up to the first
    // double-width character.
    std::u16string collected;
    bool hexPart = true;
    for (int i = 0; i < count; ++i) {
        if ((cells[i] & kCellHalves) != 0) {
            break;
        }
        const char16_t c = text[cells[i] & kCellCharMask];
        if (!IsHexOrBlank(c)) {
            hexPart = false;
            break;
        }
        collected.push_back(c);
    }
    collected = TrimBlanks(collected);
    if (hexPart && !collected.empty()) {
        return collected;
    }

    if (IsSingleBlank(cells[column], text)) {
        return {};
    }
    int left = column;
    while (left > 0 && !IsSingleBlank(cells[left - 1], text)) {
        --left;
    }
    int right = column;
    while (right + 1 < count && !IsSingleBlank(cells[right + 1], text)) {
        ++right;
    }
    const size_t from = cells[left] & kCellCharMask;
    const size_t to = cells[right] & kCellCharMask;
    if (to < from) {
        return {};
    }
    return std::u16string(text.substr(from, to - from + 1));
}

}  // namespace tessary
