#pragma once
// Menus 128 (main window), 129 (aggregation window) and 130 (the block panes' context menus)
// as data: a flat list in resource-script order, popups closed by an end entry.
#include <span>
#include <string_view>

namespace tessary::res {

enum class MenuEntryKind { kItem, kSeparator, kPopup, kEnd };

struct MenuEntry {
    MenuEntryKind kind;
    int id;  // command of an item; 0 otherwise
    std::u16string_view text;
};

// The entries of menu 128, 129 or 130; empty for any other id.
std::span<const MenuEntry> MenuTemplate(int menuId);

// The text of the first item with command `id` in a menu template, empty when there is none.
std::u16string_view MenuItemText(int menuId, int id);

// Search samples of the Search menu's "検索サンプル" popup, in the order they are inserted:
// commands 32802 and 32801 before the placeholder 32800, whose text becomes the third.
struct SearchSample {
    int id;
    std::u16string_view text;
};
std::span<const SearchSample> SearchSamples();

// The popup texts that the start-up fills (their first item is the placeholder).
inline constexpr std::u16string_view kSamplePopupText = u"検索サンプル";

}  // namespace tessary::res
