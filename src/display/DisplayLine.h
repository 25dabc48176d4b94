#pragma once
// One display line of a pane frame's line buffer: fixed fields, then one 16-bit cell per display
// column. Entries lie back to back, each reserving room for two cells per character, so the
// fixed part is packed to 4 bytes (the text offset sits at offset 16) and has no padding.
#include <cstddef>
#include <cstdint>

namespace tessary {

inline constexpr uint16_t kCellCharMask = 0x1FFF;  // index of the character in the line
inline constexpr uint16_t kCellHit = 0x2000;       // search hit
inline constexpr uint16_t kCellLeftHalf = 0x4000;  // left half of a double-width character
inline constexpr uint16_t kCellRightHalf = 0x8000;

inline constexpr size_t kMaxLineText = 8191;  // characters of one display line
inline constexpr int kPartCount = 4;          // blocks A-D

struct BlockPart {
    uint16_t start = 0;  // first cell
    uint16_t count = 0;  // cells
};

#pragma pack(push, 4)
struct DisplayLine {
    int32_t lineNumber;    // its own index in the table; 0 is the title row
    uint16_t groupOffset;  // index within the lines of its message record
    uint16_t groupSize;
    int32_t recordIndex;  // Index of the message record, -1 for a separator
    int32_t colorClass;   // 0-14
    int64_t textOffset;   // from the converter's text buffer base; 0 = no text
    uint16_t textLength;  // characters, at most kMaxLineText
    uint16_t cellCount;
    BlockPart parts[kPartCount];

    uint16_t* Cells() { return reinterpret_cast<uint16_t*>(this + 1); }
    const uint16_t* Cells() const { return reinterpret_cast<const uint16_t*>(this + 1); }
    bool HasRecord() const { return recordIndex >= 0; }
};
#pragma pack(pop)

inline constexpr size_t kDisplayLineFixedSize = 44;
static_assert(sizeof(DisplayLine) == kDisplayLineFixedSize);
static_assert(alignof(DisplayLine) == 4);
static_assert(offsetof(DisplayLine, textOffset) == 16);
static_assert(offsetof(DisplayLine, parts) == 28);

// Bytes an entry of `length` characters reserves.
constexpr uint64_t DisplayLineSize(uint64_t length) {
    return kDisplayLineFixedSize + 4 * length;
}

}  // namespace tessary
