#include "mainwnd/ViewItems.h"

#include "resources/MenuText.h"

namespace tessary {
namespace {

constexpr int kBlocks = 4;

// The format with its two "%c" filled in order.
std::u16string FillLetters(std::u16string_view format, char16_t first, char16_t second) {
    std::u16string text(format);
    for (char16_t letter : {first, second}) {
        const size_t at = text.find(u"%c");
        if (at == std::u16string::npos) {
            break;
        }
        text.replace(at, 2, 1, letter);
    }
    return text;
}

}  // namespace

ExchangeItem ExchangeItemOf(int k, int shownBlock, bool loaded) {
    ExchangeItem item;
    if (!loaded || shownBlock < 0 || shownBlock >= kBlocks || k < 0 || k >= kExchangeItemCount) {
        item.text = kExchangeNotPossible;
        return item;
    }
    const int other = k < shownBlock ? k : k + 1;
    item.text = FillLetters(kExchangeItemFormat, static_cast<char16_t>(u'A' + shownBlock),
                            static_cast<char16_t>(u'A' + other));
    item.enabled = true;
    item.otherBlock = other;
    return item;
}

bool IsAscendingOrder(const int (&paneBlocks)[4]) {
    for (int p = 0; p < kBlocks; ++p) {
        if (paneBlocks[p] != p) {
            return false;
        }
    }
    return true;
}

int FontSizeItemValue(std::u16string_view itemText) {
    // The menu builds the item texts from tenths; read them back by the same rule.
    return res::FontSizeValue(itemText);
}

bool IsFontSizeItemEnabled(int value) {
    return value >= kFontSizeItemMin && value <= kFontSizeItemMax;
}

std::u16string RecentItemText(size_t index, std::u16string_view path) {
    std::u16string text = u"&";
    text.push_back(static_cast<char16_t>(u'0' + index % 10));
    text.push_back(u' ');
    text.append(path);
    return text;
}

std::u16string_view RecentItemPath(std::u16string_view itemText) {
    const size_t blank = itemText.find(u' ');
    return blank == std::u16string_view::npos ? itemText : itemText.substr(blank + 1);
}

}  // namespace tessary
