#include <gtest/gtest.h>

#include <string>

#include "decode/SearchDefinition.h"
#include "display/DisplaySource.h"
#include "settings/OptionModel.h"
#include "settings/SettingsRecord.h"

namespace tessary::test {
namespace {

// The main window's settings record with its compiled rules, as the option dialog gets them.
struct Window {
    SettingsRecord settings;
    SearchCondition conditions[kMarkIfTextCount];
    OptionModel model{settings, conditions};

    Window() {
        ResetSettings(settings);
        for (size_t i = 0; i < kMarkIfTextCount; ++i) {
            conditions[i].Compile(SlotText(settings.para.MarkIfText[i]), settings.para.SpcCnt);
        }
    }
    std::u16string Definition(int rule) const {
        return std::u16string(SlotText(settings.para.MarkIfText[rule]));
    }
};

std::array<MarkRow, kMarkRuleCount> RowsOf(const OptionModel& model) {
    std::array<MarkRow, kMarkRuleCount> rows;
    for (int i = 0; i < kMarkRuleCount; ++i) {
        rows[i] = model.LoadMarkRow(i);
    }
    return rows;
}

TEST(OptionMarkTest, RowsComeFromTheRuleDefinitions) {
    Window window;
    CopyToSlot(window.settings.para.MarkIfText[3], u"**;<CH=01> | x;;00000005");
    const MarkRow first = window.model.LoadMarkRow(0);
    EXPECT_EQ(first.mark, u"@");
    EXPECT_EQ(first.pattern, u"");
    EXPECT_EQ(first.blocks, u"");
    const MarkRow last = window.model.LoadMarkRow(3);
    EXPECT_EQ(last.mark, u"**");
    EXPECT_EQ(last.pattern, u"<CH=01> | x;");
    EXPECT_EQ(last.blocks, u"AC");
}

TEST(OptionMarkTest, OnlyRulesThatCompileAreStoredAndTheOthersAreReported) {
    Window window;
    std::array<MarkRow, kMarkRuleCount> rows = RowsOf(window.model);
    const std::u16string oldRule2 = window.Definition(2);
    rows[1] = {u"!", u"<Warning> | <CRC>", u"ba"};
    rows[2] = {u"#", u"<abc", u""};
    const std::vector<int> failed = window.model.StoreMarkRows(rows, 2);
    EXPECT_EQ(failed, std::vector<int>{2});
    EXPECT_EQ(window.Definition(1), u"!;<Warning> | <CRC>;00000003");
    EXPECT_EQ(window.conditions[1].Match(u"crc error"), 0);
    EXPECT_TRUE(window.conditions[1].AppliesToBlock(1));
    EXPECT_FALSE(window.conditions[1].AppliesToBlock(2));
    // Row 2 keeps its previous definition and compiled rule (no word: matches nothing).
    EXPECT_EQ(window.Definition(2), oldRule2);
    EXPECT_EQ(window.conditions[2].Mark(), u"#");
    EXPECT_FALSE(window.conditions[2].HasWord());
    EXPECT_EQ(MarkFailureText(failed), u"強調表示ページの「検索文字」が不正です。\n\nID = 2");
    EXPECT_EQ(MarkFailureText({0, 2}), u"強調表示ページの「検索文字」が不正です。\n\nID = 0, 2");
}

TEST(OptionMarkTest, MarkWidthCutsMarksAndOverlongRulesFail) {
    Window window;
    std::array<MarkRow, kMarkRuleCount> rows = RowsOf(window.model);
    rows[0].mark = u"!!!";
    rows[0].pattern = u"x";
    rows[3].pattern = std::u16string(80, u'a');  // with "&;" and ";00000000" beyond 80
    EXPECT_EQ(window.model.StoreMarkRows(rows, 1), std::vector<int>{3});
    EXPECT_EQ(window.conditions[0].Mark(), u"!");
    EXPECT_EQ(window.Definition(0), u"!!!;x;00000000");
    EXPECT_EQ(window.Definition(3), u"&;;");
}

TEST(OptionMarkTest, RebuildRuleReplacesOnlyTheGivenParts) {
    Window window;
    CopyToSlot(window.settings.para.MarkIfText[1], u"%;old;00000002");
    EXPECT_EQ(RebuildRule(window.settings.para, window.conditions, 1, std::nullopt, u"<new>",
                          std::nullopt, std::nullopt),
              0);
    EXPECT_EQ(window.Definition(1), u"%;<new>;00000002");
    EXPECT_EQ(RebuildRule(window.settings.para, window.conditions, 1, std::nullopt, u"a>",
                          std::nullopt, std::nullopt),
              2);
    EXPECT_EQ(window.Definition(1), u"%;<new>;00000002");
    EXPECT_EQ(RebuildRule(window.settings.para, window.conditions, 4, u"", u"x", u"", 2), -1);
    EXPECT_EQ(RebuildRule(window.settings.para, window.conditions, -1, u"", u"x", u"", 2), -1);
}

TEST(OptionMarkTest, SearchBoxesTakeTheHistoryUpToAnEmptyEntryOrThePlaceholder) {
    Window window;
    window.settings.searchHistory = {u"<a>", u"b", u"", u"c"};
    EXPECT_EQ(window.model.SearchEntries(), (std::vector<std::u16string>{u"<a>", u"b"}));
    window.settings.searchHistory.clear();
    EXPECT_EQ(window.model.SearchEntries(),
              std::vector<std::u16string>{u"(メイン画面の検索履歴なし)"});
    window.settings.searchHistory = {u""};
    EXPECT_EQ(window.model.SearchEntries(),
              std::vector<std::u16string>{u"(メイン画面の検索履歴なし)"});
}

TEST(OptionColorTest, KeepIsOnlyForItemsAboveTheBaseClassesAndTakeNormalNotForTheNormalLine) {
    Window window;
    ColorOptions colors;
    window.model.LoadColors(colors);
    for (int item = 0; item < kColorItemCount; ++item) {
        const int colorClass = kColorItems[item].colorClass;
        const ColorItemState state = colors.StateOf(item);
        EXPECT_TRUE(state.selected) << item;
        EXPECT_EQ(state.keepAllowed, colorClass > 4) << item;
        EXPECT_EQ(state.takeNormal, colorClass != 1) << item;
        EXPECT_EQ(colors.KeepText(item), colorClass > 4) << item;
        EXPECT_EQ(colors.KeepBack(item), colorClass > 4) << item;
        EXPECT_EQ(colors.TakeNormalText(item), colorClass != 1) << item;
    }
    const ColorItemState none = colors.StateOf(-1);
    EXPECT_FALSE(none.selected || none.takeNormal || none.keepAllowed || none.baseChoice);
    EXPECT_FALSE(colors.SetText(kColorItemCount, 0x123456));
    EXPECT_FALSE(colors.SetText(1, kKeepColor));
}

TEST(OptionColorTest, KeptColoursShowTheChosenBaseItemInTheSample) {
    Window window;
    CanPara& para = window.settings.para;
    para.Color[1] = {0x111111, 0x222222};
    para.Color[2] = {0x0000FF, 0x333333};
    para.Color[4] = {0xFF0000, 0x444444};
    para.Color[5] = {kKeepColor, 0xFFE8C8};
    ColorOptions colors;
    window.model.LoadColors(colors);
    EXPECT_EQ(colors.BaseClass(), 4);
    const ColorItemState state = colors.StateOf(5);
    EXPECT_TRUE(state.keepText);
    EXPECT_FALSE(state.keepBack);
    EXPECT_TRUE(state.baseChoice);
    EXPECT_EQ(colors.SampleColors(5).text, 0xFF0000u);
    EXPECT_EQ(colors.SampleColors(5).back, 0xFFE8C8u);
    colors.SetBaseClass(2);
    EXPECT_EQ(colors.SampleColors(5).text, 0x0000FFu);
    colors.SetBaseClass(9);  // not a base class: the choice stays
    EXPECT_EQ(colors.BaseClass(), 2);
    // A chosen colour ends the keep.
    EXPECT_TRUE(colors.SetText(5, 0x00AA00));
    EXPECT_FALSE(colors.StateOf(5).baseChoice);
    EXPECT_EQ(colors.SampleColors(5).text, 0x00AA00u);
    // Taking the normal line's colours.
    EXPECT_TRUE(colors.TakeNormalBack(5));
    EXPECT_EQ(colors.Colors(5).back, 0x222222u);
}

TEST(OptionColorTest, StoreWritesEachItemAtItsClassAndResetTakesTheFactoryColours) {
    Window window;
    CanPara& para = window.settings.para;
    ColorOptions colors;
    window.model.LoadColors(colors);
    colors.SetBack(9, 0x010203);                             // "選択行", class 13
    colors.SetText(10, 0x040506);                            // "検索文字列", class 14
    EXPECT_EQ(para.Color[13].back, para.DefColor[13].back);  // nothing stored yet
    window.model.StoreColors(colors);
    EXPECT_EQ(para.Color[13].back, 0x010203u);
    EXPECT_EQ(para.Color[14].text, 0x040506u);
    colors.ResetAll();
    for (int item = 0; item < kColorItemCount; ++item) {
        const int colorClass = kColorItems[item].colorClass;
        EXPECT_EQ(colors.Colors(item).text, para.DefColor[colorClass].text) << item;
        EXPECT_EQ(colors.Colors(item).back, para.DefColor[colorClass].back) << item;
    }
}

TEST(OptionBlockTest, ValuesComeFromTheDefinitionsAndWidths) {
    Window window;
    window.settings.para.Flag[1] |= kFlag1TitlesOneRow;
    const BlockValues values = window.model.LoadBlocks();
    EXPECT_EQ(values.titles[0], u"Ａ  TX  局 ←");
    EXPECT_EQ(values.titles[3], u"Ｄ  RX  → 端末");
    EXPECT_EQ(values.indents[0], u"");
    EXPECT_EQ(values.indents[2], u"t12s2");
    EXPECT_EQ(values.wrapWidth, u"48");
    EXPECT_EQ(values.margin, u"2");
    EXPECT_TRUE(values.titlesOneRow);
}

TEST(OptionBlockTest, WrapWidthChangesOnlyToANewValueInRange) {
    struct Case {
        std::u16string typed;
        int32_t blockLen;
        int result;
    };
    const Case cases[] = {
        {u"60", 60, kOptionWrapChanged},
        {u" 60 ", 60, kOptionWrapChanged},
        {u"48", 48, 0},
        {u"0", 48, 0},
        {u"200", 48, 0},
        {u"-5", 48, 0},
        {u"", 48, 0},
        {u"6x", 48, 0},
        {u"127", 127, kOptionWrapChanged},
    };
    for (const Case& c : cases) {
        Window window;
        BlockValues values = window.model.LoadBlocks();
        values.wrapWidth = c.typed;
        EXPECT_EQ(window.model.StoreBlocks(values), c.result)
            << std::string(c.typed.begin(), c.typed.end());
        EXPECT_EQ(window.settings.para.BlockLen, c.blockLen);
    }
}

TEST(OptionBlockTest, StoreKeepsPositionsAndTakesTitlesIndentsMarginAndOneRowFlag) {
    Window window;
    CanPara& para = window.settings.para;
    // The panes were reordered: block A is shown third.
    CopyToSlot(para.BlockDef[0], u";Ａ;2");
    CopyToSlot(para.BlockDef[2], u"t12s2;Ｃ;0");
    BlockValues values = window.model.LoadBlocks();
    values.titles[0] = u"局 送信";
    values.indents = {u"", u"t1", u"t2", u"t3"};
    values.margin = u"5";
    values.titlesOneRow = true;
    EXPECT_EQ(window.model.MarginOf(values), 5);
    EXPECT_EQ(window.model.StoreBlocks(values), 0);
    EXPECT_EQ(std::u16string(SlotText(para.BlockDef[0])), u";局 送信;2");
    EXPECT_EQ(std::u16string(SlotText(para.BlockDef[1])), u"t1;Ｂ  RX  局 →;1");
    EXPECT_EQ(std::u16string(SlotText(para.BlockDef[2])), u"t2;Ｃ;0");
    EXPECT_EQ(para.SpcCnt, 5);
    EXPECT_NE(para.Flag[1] & kFlag1TitlesOneRow, 0);
    // A margin out of range keeps the present one; the one-row flag follows the box.
    values.margin = u"128";
    values.titlesOneRow = false;
    window.model.StoreBlocks(values);
    EXPECT_EQ(para.SpcCnt, 5);
    EXPECT_EQ(para.Flag[1] & kFlag1TitlesOneRow, 0);
}

TEST(OptionBlockTest, ParaValuesAreDecimalsFromOneTo127) {
    EXPECT_EQ(ParaValueOf(u"1", 9), 1);
    EXPECT_EQ(ParaValueOf(u"\t127 ", 9), 127);
    EXPECT_EQ(ParaValueOf(u"007", 9), 7);
    EXPECT_EQ(ParaValueOf(u"0", 9), 9);
    EXPECT_EQ(ParaValueOf(u"128", 9), 9);
    EXPECT_EQ(ParaValueOf(u"99999999999", 9), 9);
    EXPECT_EQ(ParaValueOf(u"+5", 9), 9);
    EXPECT_EQ(ParaValueOf(u"５", 9), 9);  // full-width digit
    EXPECT_EQ(ParaValueOf(u"", 9), 9);
}

TEST(OptionResetTest, ResetKeepsDateFormatRrAndSearchAndResetsTheRest) {
    Window window;
    CanPara& para = window.settings.para;
    para.Flag[0] = 0x03 | 0x04;  // four-digit year, INS64 line 2
    para.Flag[1] = kFlag1HideRr | kFlag1TitlesOneRow;
    para.SpcCnt = 4;
    para.BlockLen = 60;
    para.Color[5] = {0x123456, 0x654321};
    CopyToSlot(para.BlockDef[1], u"t9;own title;1");
    CopyToSlot(para.MarkIfText[0], u"X;<Warning>;00000001");
    window.conditions[0].Compile(SlotText(para.MarkIfText[0]), para.SpcCnt);
    CopyToSlot(para.MarkIfText[kSearchSlot], u";<CH=01>;00000000");
    window.conditions[kSearchSlot].Clear();

    window.model.ResetAll();
    EXPECT_EQ(para.Flag[0], 0x03);
    EXPECT_EQ(para.Flag[1], kFlag1HideRr);
    EXPECT_EQ(para.SpcCnt, 2);
    EXPECT_EQ(para.BlockLen, 48);
    EXPECT_EQ(para.Color[5].back, para.DefColor[5].back);
    EXPECT_EQ(ParseBlockDef(SlotText(para.BlockDef[1])).title, u"Ｂ  RX  局 →");
    EXPECT_EQ(std::u16string(SlotText(para.MarkIfText[0])), u"@;;");
    EXPECT_EQ(window.conditions[0].Mark(), u"@");
    EXPECT_FALSE(window.conditions[0].HasWord());
    // The search text stays and is compiled again.
    EXPECT_EQ(ParseDefinition(SlotText(para.MarkIfText[kSearchSlot])).pattern, u"<CH=01>");
    EXPECT_EQ(window.conditions[kSearchSlot].Match(u"CH=01"), 0);
}

}  // namespace
}  // namespace tessary::test
