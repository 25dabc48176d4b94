#include "resources/MenuText.h"

#include "platform/FormatText.h"

namespace tessary::res {
namespace {

std::u16string_view Trim(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::u16string TooltipFromMenuText(std::u16string_view text) {
    const size_t colon = text.find(u':');
    if (colon != std::u16string_view::npos) {
        text.remove_prefix(colon + 1);
    }
    std::u16string tip(text);
    const size_t tab = tip.find(u'\t');
    if (tab != std::u16string::npos) {
        tip[tab] = u' ';
    }
    const size_t open = tip.find(u'(');
    if (open != std::u16string::npos && tip.find(u')', open) != std::u16string::npos) {
        if (tab != std::u16string::npos && tab > open) {
            tip.erase(open, tab - open);
        } else {
            tip.erase(open);
        }
    }
    return std::u16string(Trim(tip));
}

std::u16string SampleFromMenuText(std::u16string_view text) {
    const size_t colon = text.find(u':');
    if (colon != std::u16string_view::npos) {
        text.remove_prefix(colon + 1);
    }
    return std::u16string(Trim(text));
}

std::u16string FontSizeText(int tenths) {
    return FormatText(u"%d.%d", tenths / 10, tenths % 10);
}

int FontSizeValue(std::u16string_view text) {
    int value = 0;
    bool digits = false;
    for (char16_t c : text) {
        if (c == u'.') {
            continue;
        }
        if (c < u'0' || c > u'9' || value > 100000) {
            return -1;
        }
        value = value * 10 + (c - u'0');
        digits = true;
    }
    return digits ? value : -1;
}

}  // namespace tessary::res
