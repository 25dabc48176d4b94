#pragma once
// Texts derived from menu item texts: tooltips, search samples, font sizes, and the file
// dialog's filter string.
#include <string>
#include <string_view>

namespace tessary::res {

// The tooltip of a menu item text: everything up to and including the first ':' dropped, the
// first tab made a blank, a "(...)" group removed up to that tab (or to the end without a tab
// after it), blanks trimmed at both ends.
std::u16string TooltipFromMenuText(std::u16string_view text);

// A search sample's pattern: the text after the first ':', trimmed.
std::u16string SampleFromMenuText(std::u16string_view text);

// "%d.%d" of tenths of a point; and back (the text without its '.', -1 when not a number).
std::u16string FontSizeText(int tenths);
int FontSizeValue(std::u16string_view text);

}  // namespace tessary::res
