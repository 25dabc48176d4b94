#include "decode/CanPara.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/Width.h"

namespace tessary {

namespace {

constexpr int32_t kDefaultSpcCnt = 2;
constexpr int32_t kDefaultTabLen = 8;
constexpr int32_t kDefaultBlockLen = 48;
constexpr std::u16string_view kDefaultTitleDemi = u"|";
constexpr std::u16string_view kDefaultBlockTitles[kBlockCount] = {
    u"Ａ  TX  局 ←",
    u"Ｂ  RX  局 →",
    u"Ｃ  TX  ← 端末",
    u"Ｄ  RX  → 端末",
};
constexpr std::u16string_view kDefaultMarkIfText[kMarkIfTextCount] = {
    u"@;;", u"!;;", u"#;;", u"&;;", u";;",
};
constexpr std::u16string_view kLineLabels[4] = {u"[1]", u"[2]", u"[全]", u""};

// A colour of the default table: fixed, kept, or a system colour.
struct DefaultColor {
    bool system;
    SystemColor which;
    uint32_t value;
};
constexpr DefaultColor Fixed(uint32_t value) {
    return {false, SystemColor::kWindow, value};
}
constexpr DefaultColor Sys(SystemColor which) {
    return {true, which, 0};
}
struct DefaultPair {
    DefaultColor text;
    DefaultColor back;
};
constexpr DefaultPair kDefaultColors[kColorClassCount] = {
    {Sys(SystemColor::kButtonText), Sys(SystemColor::kButtonFace)},  // title row
    {Sys(SystemColor::kWindowText), Sys(SystemColor::kWindow)},      // normal row
    {Fixed(0x0000FF), Sys(SystemColor::kWindow)},                    // warning / layer 1
    {Fixed(0x606060), Sys(SystemColor::kWindow)},                    // layer-2 RR
    {Fixed(0xFF0000), Sys(SystemColor::kWindow)},                    // layer-3 first row
    {Fixed(kKeepColor), Fixed(0xFFE8C8)},                            // highlight #0
    {Fixed(kKeepColor), Fixed(0xD8FFD8)},                            // highlight #1
    {Fixed(kKeepColor), Fixed(0xD8D8FF)},                            // highlight #2
    {Fixed(kKeepColor), Fixed(0xD8FFFF)},                            // highlight #3
    {Fixed(kKeepColor), Fixed(0xFFFFD8)},
    {Sys(SystemColor::kWindowText), Sys(SystemColor::kWindow)},
    {Sys(SystemColor::kWindowText), Sys(SystemColor::kWindow)},
    {Sys(SystemColor::kWindowText), Sys(SystemColor::kWindow)},
    {Sys(SystemColor::kHighlightText), Sys(SystemColor::kHighlight)},  // selected row
    {Fixed(0x000000), Fixed(0x00FFFF)},                                // search string
};

uint32_t Resolve(const DefaultColor& color, const SystemPalette& palette) {
    return color.system ? palette.Color(color.which) : color.value;
}

bool IsValidParaValue(int32_t value) {
    return value >= kParaValueMin && value <= kParaValueMax;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// At most `limit` units of text, never ending on the first half of a surrogate pair.
std::u16string_view CutText(std::u16string_view text, size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    if (limit > 0 && IsHighSurrogate(text[limit - 1])) {
        --limit;
    }
    return text.substr(0, limit);
}

// Decimal after the last ';': optional blanks and sign, then digits. No digits or a negative
// value give -1; values past the int range are clamped.
int ParsePosition(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        any = true;
        value = std::min<long long>(value * 10 + (text[i] - u'0'), INT_MAX);
    }
    if (!any || negative) {
        return -1;
    }
    return static_cast<int>(value);
}

}  // namespace

uint32_t FlagWord(const CanPara& para) {
    return static_cast<uint32_t>(para.Flag[0]) | static_cast<uint32_t>(para.Flag[1]) << 8 |
           static_cast<uint32_t>(para.Flag[2]) << 16 | static_cast<uint32_t>(para.Flag[3]) << 24;
}

void SetFlagWord(CanPara& para, uint32_t word) {
    for (int i = 0; i < 4; ++i) {
        para.Flag[i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

unsigned DateFormatOf(const CanPara& para) {
    return para.Flag[0] & kFlag0DateFormatMask;
}

unsigned LineSelectionOf(const CanPara& para) {
    return (para.Flag[0] & kFlag0LineSelectMask) >> kFlag0LineSelectShift;
}

std::u16string_view LineLabel(unsigned lineSelection) {
    return kLineLabels[lineSelection & 3];
}

void DefaultColors(const SystemPalette& palette, ColorPair (&colors)[kColorClassCount]) {
    for (int i = 0; i < kColorClassCount; ++i) {
        colors[i].text = Resolve(kDefaultColors[i].text, palette);
        colors[i].back = Resolve(kDefaultColors[i].back, palette);
    }
}

void ResetPara(CanPara& para, const SystemPalette& palette) {
    const int32_t spcCnt = IsValidParaValue(para.SpcCnt) ? para.SpcCnt : kDefaultSpcCnt;
    const int32_t tabLen = IsValidParaValue(para.TabLen) ? para.TabLen : kDefaultTabLen;
    const int32_t blockLen = IsValidParaValue(para.BlockLen) ? para.BlockLen : kDefaultBlockLen;
    const int32_t tabsPerPosition = blockLen / tabLen;

    SetFlagWord(para, 0);
    para.SpcCnt = kDefaultSpcCnt;
    para.TabLen = kDefaultTabLen;
    para.BlockLen = kDefaultBlockLen;
    DefaultColors(palette, para.DefColor);
    std::copy(std::begin(para.DefColor), std::end(para.DefColor), std::begin(para.Color));
    CopyToSlot(para.TitleDemi, kDefaultTitleDemi);
    for (int i = 0; i < kBlockCount; ++i) {
        char indent[32] = "";
        if (i > 0) {
            std::snprintf(indent, sizeof indent, "t%ds%d", i * tabsPerPosition, spcCnt);
        }
        std::u16string indentText(indent, indent + std::char_traits<char>::length(indent));
        FormatBlockDef(para.BlockDef[i], indentText, kDefaultBlockTitles[i], i);
    }
    for (size_t i = 0; i < kMarkIfTextCount; ++i) {
        CopyToSlot(para.MarkIfText[i], kDefaultMarkIfText[i]);
    }
}

void ResetPara(CanPara& para) {
    ResetPara(para, CurrentSystemPalette());
}

void CopyToSlot(char16_t* slot, size_t units, std::u16string_view text) {
    if (units == 0) {
        return;
    }
    std::u16string_view cut = CutText(text, units - 1);
    std::copy(cut.begin(), cut.end(), slot);
    std::fill(slot + cut.size(), slot + units, u'\0');
}

BlockDefParts ParseBlockDef(std::u16string_view definition) {
    BlockDefParts parts;
    size_t first = definition.find(u';');
    if (first == std::u16string_view::npos) {
        parts.title = definition;
        return parts;
    }
    size_t last = definition.rfind(u';');
    parts.indent = definition.substr(0, first);
    if (first == last) {
        parts.title = definition.substr(first + 1);
        return parts;
    }
    parts.title = definition.substr(first + 1, last - first - 1);
    parts.position = ParsePosition(definition.substr(last + 1));
    return parts;
}

void FormatBlockDef(char16_t (&slot)[kBlockDefUnits], std::u16string_view indent,
                    std::u16string_view title, int position) {
    char number[16];
    int numberLength = std::snprintf(number, sizeof number, "%d", position);
    // Two ';', the number and the terminator must fit the slot as well.
    const size_t room = kBlockDefUnits - 1 - 2 - static_cast<size_t>(numberLength);
    const size_t partMax = std::min(kBlockDefPartMax, room);
    std::u16string_view cutIndent = CutText(indent, partMax);
    std::u16string_view cutTitle = CutText(title, partMax - cutIndent.size());

    size_t n = 0;
    for (char16_t c : cutIndent) {
        slot[n++] = c;
    }
    slot[n++] = u';';
    for (char16_t c : cutTitle) {
        slot[n++] = c;
    }
    slot[n++] = u';';
    for (int i = 0; i < numberLength; ++i) {
        slot[n++] = static_cast<char16_t>(number[i]);
    }
    std::fill(slot + n, slot + kBlockDefUnits, u'\0');
}

int BlockPosition(const CanPara& para, int slot) {
    if (slot < 0 || slot >= kBlockCount) {
        return -1;
    }
    int position = ParseBlockDef(SlotText(para.BlockDef[slot])).position;
    return position >= 0 && position < kBlockCount ? position : -1;
}

void BlockTitles(const CanPara& para, std::u16string& out) {
    for (int i = 0; i < kBlockCount; ++i) {
        out.append(ParseBlockDef(SlotText(para.BlockDef[i])).title);
        out.push_back(u'\n');
    }
}

size_t IndentText(std::u16string& out, std::u16string_view definition) {
    size_t appended = 0;
    size_t i = 0;
    while (i < definition.size() && definition[i] != u';') {
        char16_t letter = definition[i++];
        if (letter != u't' && letter != u's') {
            continue;  // anything else is skipped
        }
        unsigned count = 1;
        if (i < definition.size() && definition[i] >= u'0' && definition[i] <= u'9') {
            count = 0;
            for (; i < definition.size() && definition[i] >= u'0' && definition[i] <= u'9'; ++i) {
                count = std::min(count * 10 + (definition[i] - u'0'), 99u);
            }
        }
        out.append(count, letter == u't' ? u'\t' : u' ');
        appended += count;
    }
    return appended;
}

size_t PadText(std::u16string& text, int count) {
    size_t spaces = count > 0 ? static_cast<size_t>(count) : TextWidth(text.data(), text.size());
    text.assign(spaces, u' ');
    return spaces;
}

RowSpan RowOf(std::u16string_view text, int row) {
    RowSpan span;
    if (text.empty() || row < 0 || row > 3) {
        return span;
    }
    size_t start = 0;
    for (int i = 0; i < row; ++i) {
        size_t lf = text.find(u'\n', start);
        if (lf == std::u16string_view::npos) {
            return span;
        }
        start = lf + 1;
    }
    size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) {
        end = text.size();
    }
    span.offset = static_cast<int32_t>(start);
    span.length = static_cast<int32_t>(end - start);
    return span;
}

}  // namespace tessary
