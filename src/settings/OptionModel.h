#pragma once
// What the option dialog edits, without any window: the four highlight rules, the colour items
// and the block settings of the main window's settings record, loaded into page values,
// validated and stored back; and the main window's reset of every option.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decode/CanPara.h"
#include "decode/SearchCondition.h"
#include "settings/SettingsRecord.h"

namespace tessary {

// Result flags of the option dialog for the main window.
inline constexpr int kOptionWrapChanged = 1 << 1;  // the layer-3 wrap width changed
inline constexpr int kOptionResetAll = -1;         // every option back to its default

inline constexpr int kMarkRuleCount = 4;

// ---------------------------------------------------------------------------------------
// Highlight rules

// The three texts of one rule row.
struct MarkRow {
    std::u16string mark;
    std::u16string pattern;
    std::u16string blocks;  // block letters, empty for every block
};

// Compiles rule `rule` (0-3) again with its mark, pattern or block letters replaced where
// given, with `markWidth` (SpcCnt when none). Only a rule that compiles replaces the stored
// definition and compiled condition. The compile result; -1 for a rule outside 0-3 or a
// definition that does not fit.
int RebuildRule(CanPara& para, SearchCondition* conditions, int rule,
                std::optional<std::u16string_view> mark, std::optional<std::u16string_view> pattern,
                std::optional<std::u16string_view> blocks, std::optional<int> markWidth);

// ---------------------------------------------------------------------------------------
// Colour items

struct ColorItemInfo {
    int colorClass;
    std::u16string_view name;
};
inline constexpr int kColorItemCount = 11;
inline constexpr int kNormalLineClass = 1;
// Classes 1-4 give the base colours of the sample; above them "keep" may be chosen.
inline constexpr int kFirstBaseClass = 1;
inline constexpr int kLastBaseClass = 4;
inline constexpr std::array<ColorItemInfo, kColorItemCount> kColorItems = {{
    {0, u"タイトル行"},
    {1, u"通常行"},
    {2, u"警告行/ﾚｲﾔ1情報"},
    {3, u"ﾚｲﾔ2<RR>情報"},
    {4, u"ﾚｲﾔ3先頭行"},
    {5, u"強調表示#0"},
    {6, u"強調表示#1"},
    {7, u"強調表示#2"},
    {8, u"強調表示#3"},
    {13, u"選択行"},
    {14, u"検索文字列"},
}};

// Which colour controls an item allows.
struct ColorItemState {
    bool selected = false;     // choose text / background, all back to defaults
    bool takeNormal = false;   // take the normal line's text / background
    bool keepAllowed = false;  // keep the base text / background colour
    bool keepText = false;
    bool keepBack = false;
    bool baseChoice = false;  // the base colour of the sample can be chosen
};

// The colour items as the page edits them; they reach the settings only on Store.
class ColorOptions {
public:
    // The current colours of the record; the defaults are its factory colours.
    void Load(const CanPara& para);
    void Store(CanPara& para) const;

    const ColorPair& Colors(int item) const { return m_colors[Clamp(item)]; }
    ColorItemState StateOf(int item) const;  // -1: no item selected
    // False (nothing changed) for an item outside the list or a change the item does not allow.
    bool SetText(int item, uint32_t color);
    bool SetBack(int item, uint32_t color);
    bool KeepText(int item);
    bool KeepBack(int item);
    bool TakeNormalText(int item);
    bool TakeNormalBack(int item);
    void ResetAll();

    // The base colours of the sample: the item of class 1-4 (the normal line otherwise).
    int BaseClass() const { return m_baseClass; }
    void SetBaseClass(int colorClass);
    // The sample's colours: the item's own, or for a kept one the base item's.
    ColorPair SampleColors(int item) const;

private:
    // One side (&ColorPair::text or &ColorPair::back) of the setters above.
    using ColorSide = uint32_t ColorPair::*;
    bool SetColor(int item, ColorSide side, uint32_t color);
    bool TakeNormal(int item, ColorSide side);

    static int Clamp(int item) { return item >= 0 && item < kColorItemCount ? item : 0; }
    static bool Valid(int item) { return item >= 0 && item < kColorItemCount; }

    std::array<ColorPair, kColorItemCount> m_colors{};
    std::array<ColorPair, kColorItemCount> m_defaults{};
    int m_baseClass = kLastBaseClass;
};

// ---------------------------------------------------------------------------------------
// Block settings

struct BlockValues {
    std::array<std::u16string, kBlockCount> titles;
    std::array<std::u16string, kBlockCount> indents;
    std::u16string wrapWidth;  // layer-3 wrap width as typed
    std::u16string margin;     // line-head margin as typed
    bool titlesOneRow = false;
};

// A typed 1-127 in decimal (blanks around it allowed), else `present`.
int32_t ParaValueOf(std::u16string_view text, int32_t present);

// ---------------------------------------------------------------------------------------

// The option model over the main window's settings record and its compiled rules (the four
// highlight rules and the search, kMarkIfTextCount conditions).
class OptionModel {
public:
    OptionModel(SettingsRecord& settings, SearchCondition* conditions)
        : m_settings(settings), m_conditions(conditions) {}

    CanPara& Para() { return m_settings.para; }
    const CanPara& Para() const { return m_settings.para; }

    // Highlight rules: the entries of the search boxes (the main window's history up to an
    // empty entry, else the placeholder alone), the rows, and storing them one by one. Store
    // answers the rule numbers that did not compile; their old rules stay.
    std::vector<std::u16string> SearchEntries() const;
    MarkRow LoadMarkRow(int rule) const;
    std::vector<int> StoreMarkRows(const std::array<MarkRow, kMarkRuleCount>& rows, int markWidth);

    void LoadColors(ColorOptions& colors) const { colors.Load(Para()); }
    void StoreColors(const ColorOptions& colors) { colors.Store(Para()); }

    // Block settings; Store answers kOptionWrapChanged when the wrap width changed, else 0.
    // The definitions keep their pane positions; the main window checks them afterwards.
    BlockValues LoadBlocks() const;
    int32_t MarginOf(const BlockValues& values) const {
        return ParaValueOf(values.margin, Para().SpcCnt);
    }
    int StoreBlocks(const BlockValues& values);

    // The main window's reset: every option to its default except the date format and the
    // RR flag; the search text stays and is compiled again, as are the four highlight rules.
    void ResetAll();

private:
    SettingsRecord& m_settings;
    SearchCondition* m_conditions;
};

// "強調表示ページの「検索文字」が不正です。..." with the failing rule numbers.
std::u16string MarkFailureText(const std::vector<int>& rows);

}  // namespace tessary
