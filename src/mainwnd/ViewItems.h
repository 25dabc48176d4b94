#pragma once
// Item texts and values of the view commands: the block exchange items of the panes' context
// menu, the block order, the pane font sizes and the recent-file items of the File menu.
#include <cstddef>
#include <string>
#include <string_view>

namespace tessary {

inline constexpr int kExchangeItemCount = 3;
inline constexpr std::u16string_view kExchangeItemFormat =
    u"ブロック%cと、ブロック%cの位置を交換する";
inline constexpr std::u16string_view kExchangeNotPossible = u"ブロック位置交換不可";

struct ExchangeItem {
    std::u16string text;
    bool enabled = false;
    int otherBlock = -1;  // the block that trades places with the shown one
};

// Exchange item k (0-2) for the pane position that shows block `shownBlock` (0-3, -1 without a
// valid position): the k-th of the other three blocks in ascending order, enabled with a file
// loaded; otherwise kExchangeNotPossible, disabled.
ExchangeItem ExchangeItemOf(int k, int shownBlock, bool loaded);

// Whether pane position p shows block p for every p.
bool IsAscendingOrder(const int (&paneBlocks)[4]);

// Pane font sizes the menu enables, in tenths of a point.
inline constexpr int kFontSizeItemMin = 90;
inline constexpr int kFontSizeItemMax = 200;

// A font-size item's value in tenths: its text without the '.', or -1 when not a number.
int FontSizeItemValue(std::u16string_view itemText);
bool IsFontSizeItemEnabled(int value);

// The recent-file item "&%u %s" (number = index mod 10) and the path back from an item text:
// everything after its first blank (the whole text without one).
std::u16string RecentItemText(size_t index, std::u16string_view path);
std::u16string_view RecentItemPath(std::u16string_view itemText);

}  // namespace tessary
