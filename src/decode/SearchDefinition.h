#pragma once
// Rule strings «mark;pattern;mask» shared by the search, the search aggregation and the four
// highlight rules: splitting, the block mask field and formatting.
#include <array>
#include <cstddef>
#include <string_view>

namespace tessary {

// Capacity of a rule string slot, terminator included.
inline constexpr size_t kDefinitionSize = 81;
// Mask bits 0-3 select blocks A-D; all four are stored as 0, which means every block.
inline constexpr int kAllBlocksMask = 0xF;

struct DefinitionFields {
    std::u16string_view mark;
    std::u16string_view pattern;  // may itself contain ';'
    int mask = -1;                // 0 every block; -1 for an empty definition
    // The mask as block letters "A".."D", terminated; empty for every block.
    std::array<char16_t, 5> blockLetters{};

    std::u16string_view BlockLetters() const { return blockLetters.data(); }
};

DefinitionFields ParseDefinition(std::u16string_view definition);

// The mask field: leading spaces skipped; more than 8 characters of 0-9, A-D, a-d give 0;
// otherwise up to 8 hexadecimal characters, of which the low four bits count.
int ReadMaskField(std::u16string_view field);

// "A".."D" in either case select blocks; other characters are ignored.
int MaskFromLetters(std::u16string_view letters);
// Letters of the mask's blocks in order, terminated; empty for 0 (every block).
std::array<char16_t, 5> LettersFromMask(int mask);

// Writes «mark;pattern;%08X» with the mask of `blockLetters` into `buffer` (terminated) and
// returns the mask, or -1 (buffer untouched) when the text and its terminator do not fit.
int FormatDefinition(char16_t* buffer, size_t bufferSize, std::u16string_view mark,
                     std::u16string_view pattern, std::u16string_view blockLetters);

// Bit of a record's block in a mask; 0 for records without a block (Block 0x80 and above).
inline int BlockBit(int block) {
    return block >= 0 && block < 4 ? 1 << block : 0;
}

}  // namespace tessary
