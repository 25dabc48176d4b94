#include "settings/OptionModel.h"

#include <utility>

#include "decode/SearchDefinition.h"
#include "display/DisplaySource.h"
#include "settings/OptionTexts.h"

namespace tessary {
namespace {

bool KeepAllowed(int colorClass) {
    return colorClass > kLastBaseClass;
}

int ItemOfClass(int colorClass) {
    for (int i = 0; i < kColorItemCount; ++i) {
        if (kColorItems[i].colorClass == colorClass) {
            return i;
        }
    }
    return -1;
}

// Drawn in place of a colour that is still "keep" after the base colours were taken.
constexpr uint32_t kSampleTextFallback = 0x000000;
constexpr uint32_t kSampleBackFallback = 0xFFFFFF;

}  // namespace

int RebuildRule(CanPara& para, SearchCondition* conditions, int rule,
                std::optional<std::u16string_view> mark, std::optional<std::u16string_view> pattern,
                std::optional<std::u16string_view> blocks, std::optional<int> markWidth) {
    if (conditions == nullptr || rule < 0 || rule >= kMarkRuleCount) {
        return -1;
    }
    // The parts are views into the present definition, which stays until the new one compiled.
    const std::u16string present(SlotText(para.MarkIfText[rule]));
    const DefinitionFields fields = ParseDefinition(present);
    char16_t definition[kDefinitionSize] = {};
    if (FormatDefinition(definition, kDefinitionSize, mark.value_or(fields.mark),
                         pattern.value_or(fields.pattern),
                         blocks.value_or(fields.BlockLetters())) < 0) {
        return -1;
    }
    SearchCondition scratch;
    const int result = scratch.Compile(definition, markWidth.value_or(para.SpcCnt));
    if (result == 0) {
        CopyToSlot(para.MarkIfText[rule], std::u16string_view(definition));
        conditions[rule] = std::move(scratch);
    }
    return result;
}

// ---------------------------------------------------------------------------------------
// Colour items

void ColorOptions::Load(const CanPara& para) {
    for (int i = 0; i < kColorItemCount; ++i) {
        m_colors[i] = para.Color[kColorItems[i].colorClass];
        m_defaults[i] = para.DefColor[kColorItems[i].colorClass];
    }
}

void ColorOptions::Store(CanPara& para) const {
    for (int i = 0; i < kColorItemCount; ++i) {
        para.Color[kColorItems[i].colorClass] = m_colors[i];
    }
}

ColorItemState ColorOptions::StateOf(int item) const {
    ColorItemState state;
    if (!Valid(item)) {
        return state;
    }
    const int colorClass = kColorItems[item].colorClass;
    state.selected = true;
    state.takeNormal = colorClass != kNormalLineClass;
    state.keepAllowed = KeepAllowed(colorClass);
    state.keepText = m_colors[item].text == kKeepColor;
    state.keepBack = m_colors[item].back == kKeepColor;
    state.baseChoice = state.keepText || state.keepBack;
    return state;
}

bool ColorOptions::SetColor(int item, ColorSide side, uint32_t color) {
    if (!Valid(item) || (color == kKeepColor && !KeepAllowed(kColorItems[item].colorClass))) {
        return false;
    }
    m_colors[item].*side = color;
    return true;
}

bool ColorOptions::TakeNormal(int item, ColorSide side) {
    const int normal = ItemOfClass(kNormalLineClass);
    if (!Valid(item) || kColorItems[item].colorClass == kNormalLineClass) {
        return false;
    }
    m_colors[item].*side = m_colors[normal].*side;
    return true;
}

bool ColorOptions::SetText(int item, uint32_t color) {
    return SetColor(item, &ColorPair::text, color);
}

bool ColorOptions::SetBack(int item, uint32_t color) {
    return SetColor(item, &ColorPair::back, color);
}

bool ColorOptions::KeepText(int item) {
    return SetText(item, kKeepColor);
}

bool ColorOptions::KeepBack(int item) {
    return SetBack(item, kKeepColor);
}

bool ColorOptions::TakeNormalText(int item) {
    return TakeNormal(item, &ColorPair::text);
}

bool ColorOptions::TakeNormalBack(int item) {
    return TakeNormal(item, &ColorPair::back);
}

void ColorOptions::ResetAll() {
    m_colors = m_defaults;
}

void ColorOptions::SetBaseClass(int colorClass) {
    if (colorClass >= kFirstBaseClass && colorClass <= kLastBaseClass) {
        m_baseClass = colorClass;
    }
}

ColorPair ColorOptions::SampleColors(int item) const {
    if (!Valid(item)) {
        return {kSampleTextFallback, kSampleBackFallback};
    }
    const int base = ItemOfClass(m_baseClass);
    const ColorPair& own = m_colors[item];
    const ColorPair& baseColors = m_colors[base >= 0 ? base : ItemOfClass(kNormalLineClass)];
    ColorPair sample{own.text == kKeepColor ? baseColors.text : own.text,
                     own.back == kKeepColor ? baseColors.back : own.back};
    // Stored settings may keep a base colour too; the sample still shows something.
    if (sample.text == kKeepColor) {
        sample.text = kSampleTextFallback;
    }
    if (sample.back == kKeepColor) {
        sample.back = kSampleBackFallback;
    }
    return sample;
}

// ---------------------------------------------------------------------------------------
// Block settings

int32_t ParaValueOf(std::u16string_view text, int32_t present) {
    const std::u16string_view digits = TrimBlanks(text);
    if (digits.empty() || digits.size() > 3) {
        return present;
    }
    int32_t value = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') {
            return present;
        }
        value = value * 10 + (c - u'0');
    }
    return value >= kParaValueMin && value <= kParaValueMax ? value : present;
}

// ---------------------------------------------------------------------------------------

std::vector<std::u16string> OptionModel::SearchEntries() const {
    std::vector<std::u16string> entries;
    for (const std::u16string& entry : m_settings.searchHistory) {
        if (entry.empty()) {
            break;
        }
        entries.push_back(entry);
    }
    if (entries.empty()) {
        entries.emplace_back(res::kMarkNoHistory);
    }
    return entries;
}

MarkRow OptionModel::LoadMarkRow(int rule) const {
    MarkRow row;
    if (rule < 0 || rule >= kMarkRuleCount) {
        return row;
    }
    const DefinitionFields fields = ParseDefinition(SlotText(Para().MarkIfText[rule]));
    row.mark = fields.mark;
    row.pattern = fields.pattern;
    row.blocks = fields.BlockLetters();
    return row;
}

std::vector<int> OptionModel::StoreMarkRows(const std::array<MarkRow, kMarkRuleCount>& rows,
                                            int markWidth) {
    std::vector<int> failed;
    for (int rule = 0; rule < kMarkRuleCount; ++rule) {
        const MarkRow& row = rows[rule];
        if (RebuildRule(Para(), m_conditions, rule, row.mark, row.pattern, row.blocks, markWidth) !=
            0) {
            failed.push_back(rule);
        }
    }
    return failed;
}

BlockValues OptionModel::LoadBlocks() const {
    BlockValues values;
    const CanPara& para = Para();
    for (int block = 0; block < kBlockCount; ++block) {
        const BlockDefParts parts = ParseBlockDef(SlotText(para.BlockDef[block]));
        values.titles[block] = parts.title;
        values.indents[block] = parts.indent;
    }
    const std::string wrap = std::to_string(para.BlockLen);
    const std::string margin = std::to_string(para.SpcCnt);
    values.wrapWidth.assign(wrap.begin(), wrap.end());
    values.margin.assign(margin.begin(), margin.end());
    values.titlesOneRow = (para.Flag[1] & kFlag1TitlesOneRow) != 0;
    return values;
}

int OptionModel::StoreBlocks(const BlockValues& values) {
    CanPara& para = Para();
    para.SpcCnt = MarginOf(values);
    for (int block = 0; block < kBlockCount; ++block) {
        const int position = ParseBlockDef(SlotText(para.BlockDef[block])).position;
        FormatBlockDef(para.BlockDef[block], values.indents[block], values.titles[block], position);
    }
    int result = 0;
    const int32_t wrap = ParaValueOf(values.wrapWidth, para.BlockLen);
    if (wrap != para.BlockLen) {
        para.BlockLen = wrap;
        result |= kOptionWrapChanged;
    }
    if (values.titlesOneRow) {
        para.Flag[1] |= kFlag1TitlesOneRow;
    } else {
        para.Flag[1] &= static_cast<uint8_t>(~kFlag1TitlesOneRow);
    }
    return result;
}

void OptionModel::ResetAll() {
    CanPara& para = Para();
    const uint8_t dateFormat = para.Flag[0] & kFlag0DateFormatMask;
    const uint8_t hideRr = para.Flag[1] & kFlag1HideRr;
    const std::u16string search(SlotText(para.MarkIfText[kSearchSlot]));
    ResetPara(para);
    para.Flag[0] |= dateFormat;
    para.Flag[1] |= hideRr;
    CopyToSlot(para.MarkIfText[kSearchSlot], search);
    if (m_conditions == nullptr) {
        return;
    }
    for (size_t i = 0; i < kMarkIfTextCount; ++i) {
        const std::u16string_view definition = SlotText(para.MarkIfText[i]);
        if (m_conditions[i].Compile(definition, para.SpcCnt) != 0 && i == kSearchSlot) {
            // A search text that no longer compiles leaves no search, as a failed search does.
            CopyToSlot(para.MarkIfText[kSearchSlot], u";;");
        }
    }
}

std::u16string MarkFailureText(const std::vector<int>& rows) {
    std::u16string text(res::kOptionBadPattern);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            text += res::kOptionRowSeparator;
        }
        const std::string number = std::to_string(rows[i]);
        text.append(number.begin(), number.end());
    }
    return text;
}

}  // namespace tessary
