#pragma once
// The cells of a display line: built once when the line is made, so that drawing, hit marking
// and the word under the mouse never measure text again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "display/DisplayLine.h"

namespace tessary {

// A character the ANSI code page cannot show (no width, or a control character other than
// LF); the line shows '?' in its place.
bool HasNoWidth(char16_t c);
// Cells of one character: 2 for a double-width character, else 1.
int CellWidth(char16_t c);
// Cells `text` takes (as BuildCells would make them).
size_t CellsOf(const char16_t* text, size_t length);

// Writes the cells of `text` (at most kMaxLineText characters) and returns their number;
// characters without width are replaced by '?' in `text` itself.
uint16_t BuildCells(char16_t* text, size_t length, uint16_t* cells);

// Block parts of a line: for block 0-3 that block's part covers every cell; for any other block
// the cells are split at LF characters into at most four parts, A-D in order.
void SetBlockParts(DisplayLine& line, const char16_t* text, int block);

void ClearHits(DisplayLine& line);
// Flags the cells of every occurrence of `word` in `text` (the line's own text); a word without
// width clears the flags instead.
void MarkWord(DisplayLine& line, std::u16string_view text, std::u16string_view word);

}  // namespace tessary
