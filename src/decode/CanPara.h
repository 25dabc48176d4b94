#pragma once
// The parameter record of conversion and display: flag bytes, widths, colours, block
// definitions and rule strings, with the small text routines that text output builds on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/Palette.h"

namespace tessary {

inline constexpr int kBlockCount = 4;
inline constexpr int kColorClassCount = 15;
inline constexpr size_t kTitleDemiUnits = 16;
inline constexpr size_t kBlockDefUnits = 129;
inline constexpr size_t kMarkIfTextCount = 5;
inline constexpr size_t kMarkIfTextUnits = 81;
inline constexpr size_t kBlockDefPartMax = 125;  // indent and title together

// Colour component meaning "keep the colour the row would otherwise have".
inline constexpr uint32_t kKeepColor = 0xFFFFFFFF;

// Flag byte 0 (the reader's option byte).
inline constexpr uint8_t kFlag0DateFormatMask = 0x03;
inline constexpr uint8_t kFlag0LineSelectMask = 0x0C;
inline constexpr unsigned kFlag0LineSelectShift = 2;
inline constexpr uint8_t kFlag0CountWidthDetection = 0x80;
// Flag byte 1.
inline constexpr uint8_t kFlag1HideRr = 0x01;
inline constexpr uint8_t kFlag1TitlesOneRow = 0x02;
inline constexpr uint8_t kFlag1SecondRowSlot = 0x40;
inline constexpr uint8_t kFlag1Redeliver = 0x80;
// Bits of the 32-bit flag word that are persisted as CanParaFlag.
inline constexpr uint32_t kCanParaFlagPersistMask = 0x303;

// Valid range of SpcCnt, TabLen and BlockLen.
inline constexpr int32_t kParaValueMin = 1;
inline constexpr int32_t kParaValueMax = 127;

struct ColorPair {
    uint32_t text = 0;  // COLORREF 0x00BBGGRR, or kKeepColor
    uint32_t back = 0;
};

struct CanPara {
    uint8_t Flag[4] = {};  // low half of the persisted 32-bit word; Flag[0] first
    int32_t SpcCnt = 0;
    int32_t TabLen = 0;
    int32_t BlockLen = 0;
    ColorPair DefColor[kColorClassCount] = {};
    ColorPair Color[kColorClassCount] = {};
    char16_t TitleDemi[kTitleDemiUnits] = {};
    char16_t BlockDef[kBlockCount][kBlockDefUnits] = {};
    char16_t MarkIfText[kMarkIfTextCount][kMarkIfTextUnits] = {};
};

// The four flag bytes as one little-endian word, and back.
uint32_t FlagWord(const CanPara& para);
void SetFlagWord(CanPara& para, uint32_t word);

unsigned DateFormatOf(const CanPara& para);     // 0-3
unsigned LineSelectionOf(const CanPara& para);  // 0 line #1, 1 line #2, 2/3 both
// "[1]", "[2]", "[全]" or "" for a line selection 0-3.
std::u16string_view LineLabel(unsigned lineSelection);

// The factory colours of the 15 classes, system colours taken from `palette`.
void DefaultColors(const SystemPalette& palette, ColorPair (&colors)[kColorClassCount]);

// Every field to its default. The block definitions' indents are derived from SpcCnt,
// BlockLen and TabLen as they stand before the reset (values outside 1-127 count as their
// defaults), then those become 2, 8 and 48.
void ResetPara(CanPara& para, const SystemPalette& palette);
void ResetPara(CanPara& para);  // with CurrentSystemPalette()

// A fixed slot's text up to its terminator (never past the slot).
template <size_t N>
std::u16string_view SlotText(const char16_t (&slot)[N]) {
    std::u16string_view all(slot, N);
    return all.substr(0, all.find(u'\0'));
}
// Copies text into a fixed slot, cut to N - 1 units (never inside a surrogate pair).
void CopyToSlot(char16_t* slot, size_t units, std::u16string_view text);
template <size_t N>
void CopyToSlot(char16_t (&slot)[N], std::u16string_view text) {
    CopyToSlot(slot, N, text);
}

struct BlockDefParts {
    std::u16string_view indent;
    std::u16string_view title;
    int position = -1;
};
// Splits "indent;title;position" at the first and the last ';' (views into `definition`).
BlockDefParts ParseBlockDef(std::u16string_view definition);
// Writes "%s;%s;%d" into the 129-unit slot: indent cut to 125, title so that both together
// take at most 125, and both cut further when a long position would not fit the slot.
void FormatBlockDef(char16_t (&slot)[kBlockDefUnits], std::u16string_view indent,
                    std::u16string_view title, int position);
// The position field of definition `slot` when it is 0-3, else -1 (also for a bad slot).
int BlockPosition(const CanPara& para, int slot);
// The four titles in definition order, each followed by LF, appended to `out`.
void BlockTitles(const CanPara& para, std::u16string& out);
// Appends the tabs and spaces of the definition's indent field; returns the count appended.
size_t IndentText(std::u16string& out, std::u16string_view definition);
// Replaces `text` by `count` spaces, or for count <= 0 by as many spaces as the text is wide
// in display columns. Returns the new length.
size_t PadText(std::u16string& text, int count);

struct RowSpan {
    int32_t offset = -1;
    int32_t length = 0;
};
// Row i (0-3) of an LF-separated text; offset -1 and length 0 when the text is empty, i is
// outside 0-3, or the text has fewer rows.
RowSpan RowOf(std::u16string_view text, int row);

}  // namespace tessary
