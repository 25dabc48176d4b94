#pragma once
// The word under a display column of one block part of a display line, as the context menu's
// copy item takes it: a part made only of hex digits and blanks (a dump row) is taken whole,
// else the run of cells between single-width blanks around the column.
#include <string>
#include <string_view>

#include "display/DisplayLine.h"

namespace tessary {

// `text` is the line's text, `block` the block part shown (0-3), `column` the cell within that
// part. Empty when the column lies on a blank, outside the part, or the cells do not fit the
// text.
std::u16string WordAtCell(const DisplayLine& line, std::u16string_view text, int block, int column);

}  // namespace tessary
