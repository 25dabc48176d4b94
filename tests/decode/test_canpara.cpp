// The parameter record: defaults, block definitions and the text helpers of text output.
#include <gtest/gtest.h>

#include "decode/CanPara.h"
#include "platform/Utf.h"

namespace tessary {
namespace {

class FakePalette : public SystemPalette {
public:
    uint32_t Color(SystemColor which) const override {
        return 0x100 + static_cast<uint32_t>(which);
    }
};

std::string Def(const CanPara& para, int slot) {
    return Utf8(SlotText(para.BlockDef[slot]));
}

TEST(CanParaReset, EveryFieldToItsDefault) {
    CanPara para;
    SetFlagWord(para, 0xFFFFFFFF);
    FakePalette palette;
    ResetPara(para, palette);
    EXPECT_EQ(FlagWord(para), 0u);
    EXPECT_EQ(para.SpcCnt, 2);
    EXPECT_EQ(para.TabLen, 8);
    EXPECT_EQ(para.BlockLen, 48);
    EXPECT_EQ(Utf8(SlotText(para.TitleDemi)), "|");
    EXPECT_EQ(Def(para, 0), ";Ａ  TX  局 ←;0");
    EXPECT_EQ(Def(para, 1), "t6s2;Ｂ  RX  局 →;1");
    EXPECT_EQ(Def(para, 2), "t12s2;Ｃ  TX  ← 端末;2");
    EXPECT_EQ(Def(para, 3), "t18s2;Ｄ  RX  → 端末;3");
    const char* marks[] = {"@;;", "!;;", "#;;", "&;;", ";;"};
    for (size_t i = 0; i < kMarkIfTextCount; ++i) {
        EXPECT_EQ(Utf8(SlotText(para.MarkIfText[i])), marks[i]);
    }

    const uint32_t btnText = 0x100, btnFace = 0x101, winText = 0x102, window = 0x103,
                   hiText = 0x104, hi = 0x105;
    const ColorPair expected[kColorClassCount] = {
        {btnText, btnFace},     {winText, window},      {0x0000FF, window},
        {0x606060, window},     {0xFF0000, window},     {kKeepColor, 0xFFE8C8},
        {kKeepColor, 0xD8FFD8}, {kKeepColor, 0xD8D8FF}, {kKeepColor, 0xD8FFFF},
        {kKeepColor, 0xFFFFD8}, {winText, window},      {winText, window},
        {winText, window},      {hiText, hi},           {0x000000, 0x00FFFF},
    };
    for (int i = 0; i < kColorClassCount; ++i) {
        EXPECT_EQ(para.DefColor[i].text, expected[i].text) << i;
        EXPECT_EQ(para.DefColor[i].back, expected[i].back) << i;
        EXPECT_EQ(para.Color[i].text, expected[i].text) << i;
        EXPECT_EQ(para.Color[i].back, expected[i].back) << i;
    }
}

TEST(CanParaReset, IndentsComeFromTheWidthsBeforeTheReset) {
    CanPara para;
    ResetPara(para);
    para.BlockLen = 40;
    ResetPara(para);
    EXPECT_EQ(Def(para, 1), "t5s2;Ｂ  RX  局 →;1");
    EXPECT_EQ(Def(para, 2), "t10s2;Ｃ  TX  ← 端末;2");
    EXPECT_EQ(Def(para, 3), "t15s2;Ｄ  RX  → 端末;3");
    EXPECT_EQ(para.BlockLen, 48);
    ResetPara(para);
    EXPECT_EQ(Def(para, 1), "t6s2;Ｂ  RX  局 →;1");
}

TEST(CanParaReset, ZeroedRecordGetsTheListedDefaults) {
    CanPara para;  // TabLen 0 must not divide by zero
    ResetPara(para);
    EXPECT_EQ(Def(para, 3), "t18s2;Ｄ  RX  → 端末;3");
}

TEST(CanParaReset, InstalledPaletteIsUsedByDefault) {
    FakePalette palette;
    SetSystemPalette(&palette);
    CanPara para;
    ResetPara(para);
    EXPECT_EQ(para.Color[1].back, 0x103u);
    SetSystemPalette(nullptr);
    ResetPara(para);
    EXPECT_EQ(para.Color[1].back, BuiltInSystemPalette().Color(SystemColor::kWindow));
}

TEST(CanParaFlags, WordAndFields) {
    CanPara para;
    SetFlagWord(para, 0x8143C00Eu);
    EXPECT_EQ(para.Flag[0], 0x0E);
    EXPECT_EQ(para.Flag[1], 0xC0);
    EXPECT_EQ(para.Flag[3], 0x81);
    EXPECT_EQ(FlagWord(para), 0x8143C00Eu);
    EXPECT_EQ(DateFormatOf(para), 2u);
    EXPECT_EQ(LineSelectionOf(para), 3u);
    EXPECT_EQ(Utf8(LineLabel(0)), "[1]");
    EXPECT_EQ(Utf8(LineLabel(1)), "[2]");
    EXPECT_EQ(Utf8(LineLabel(2)), "[全]");
    EXPECT_EQ(Utf8(LineLabel(3)), "");
}

TEST(BlockDefinitions, ParseSplitsAtFirstAndLastSemicolon) {
    BlockDefParts parts = ParseBlockDef(u"Ａ  TX  局 ←");
    EXPECT_TRUE(parts.indent.empty());
    EXPECT_EQ(Utf8(parts.title), "Ａ  TX  局 ←");
    EXPECT_EQ(parts.position, -1);

    parts = ParseBlockDef(u"t6;only title");
    EXPECT_EQ(Utf8(parts.indent), "t6");
    EXPECT_EQ(Utf8(parts.title), "only title");
    EXPECT_EQ(parts.position, -1);

    parts = ParseBlockDef(u"t6s2;a;b;2");
    EXPECT_EQ(Utf8(parts.indent), "t6s2");
    EXPECT_EQ(Utf8(parts.title), "a;b");
    EXPECT_EQ(parts.position, 2);

    EXPECT_EQ(ParseBlockDef(u"s;x;-3").position, -1);
    EXPECT_EQ(ParseBlockDef(u"s;x;").position, -1);
    EXPECT_EQ(ParseBlockDef(u"s;x;99999999999").position, INT32_MAX);
    EXPECT_EQ(ParseBlockDef(u";;0").position, 0);
}

TEST(BlockDefinitions, PositionOutsideZeroToThreeIsNone) {
    CanPara para;
    ResetPara(para);
    CopyToSlot(para.BlockDef[1], u"t6s2;x;7");
    EXPECT_EQ(BlockPosition(para, 0), 0);
    EXPECT_EQ(BlockPosition(para, 1), -1);
    EXPECT_EQ(BlockPosition(para, 3), 3);
    EXPECT_EQ(BlockPosition(para, 4), -1);
    EXPECT_EQ(BlockPosition(para, -1), -1);
}

TEST(BlockDefinitions, FormatCutsToTheSlot) {
    char16_t slot[kBlockDefUnits];
    FormatBlockDef(slot, u"t6s2", u"title", 1);
    EXPECT_EQ(Utf8(SlotText(slot)), "t6s2;title;1");

    const std::u16string longIndent(200, u's');
    const std::u16string longTitle(200, u'x');
    FormatBlockDef(slot, longIndent, longTitle, 3);
    BlockDefParts parts = ParseBlockDef(SlotText(slot));
    EXPECT_EQ(parts.indent.size(), 125u);
    EXPECT_TRUE(parts.title.empty());
    EXPECT_EQ(parts.position, 3);

    FormatBlockDef(slot, u"t1", longTitle, 2);
    parts = ParseBlockDef(SlotText(slot));
    EXPECT_EQ(parts.title.size(), 123u);
    EXPECT_EQ(SlotText(slot).size(), 128u);

    // A long position number still leaves room for the terminator.
    FormatBlockDef(slot, u"t1", longTitle, -1);
    EXPECT_EQ(SlotText(slot).size(), 128u);
    EXPECT_EQ(ParseBlockDef(SlotText(slot)).position, -1);
    FormatBlockDef(slot, u"t1", longTitle, INT32_MIN);
    EXPECT_EQ(SlotText(slot).size(), 128u);
    EXPECT_EQ(slot[128], u'\0');

    // A surrogate pair is never cut in half.
    std::u16string pairs;
    for (int i = 0; i < 70; ++i) {
        pairs += u"\U0001F600";
    }
    FormatBlockDef(slot, u"", pairs, 0);
    parts = ParseBlockDef(SlotText(slot));
    EXPECT_EQ(parts.title.size(), 124u);
}

TEST(BlockDefinitions, TitlesInDefinitionOrder) {
    CanPara para;
    ResetPara(para);
    CopyToSlot(para.BlockDef[2], u"no semicolon");
    std::u16string titles = u">";
    BlockTitles(para, titles);
    EXPECT_EQ(Utf8(titles), ">Ａ  TX  局 ←\nＢ  RX  局 →\nno semicolon\nＤ  RX  → 端末\n");
}

std::u16string Indent(std::u16string_view definition, size_t* count = nullptr) {
    std::u16string out = u"|";
    size_t n = IndentText(out, definition);
    if (count != nullptr) {
        *count = n;
    }
    return out.substr(1);
}

TEST(IndentNotation, TabsAndSpacesWithCounts) {
    EXPECT_EQ(Indent(u"t6s2;x;1"), u"\t\t\t\t\t\t  ");
    EXPECT_EQ(Indent(u"tttsss"), u"\t\t\t   ");
    EXPECT_EQ(Indent(u"t0s3"), u"   ");
    EXPECT_EQ(Indent(u"t150"), std::u16string(99, u'\t'));
    EXPECT_EQ(Indent(u"s99999999999999999999"), std::u16string(99, u' '));
    EXPECT_EQ(Indent(u""), u"");
    EXPECT_EQ(Indent(u";title;0"), u"");
    EXPECT_EQ(Indent(u"s2;t5"), u"  ");
    size_t count = 0;
    Indent(u"t2 s1", &count);
    EXPECT_EQ(count, 3u);
}

TEST(PadText, CountOrDisplayWidth) {
    std::u16string text = u"abc";
    EXPECT_EQ(PadText(text, 5), 5u);
    EXPECT_EQ(text, u"     ");
    text = u"Ａb局";
    EXPECT_EQ(PadText(text, 0), 5u);
    EXPECT_EQ(text, u"     ");
    std::u16string katakana = u"ｱ";  // half-width: one column
    EXPECT_EQ(PadText(katakana, -1), 1u);
    text.clear();
    EXPECT_EQ(PadText(text, 0), 0u);
}

TEST(RowOfText, RowsSeparatedByLineFeeds) {
    EXPECT_EQ(RowOf(u"a\nb", 2).offset, -1);
    EXPECT_EQ(RowOf(u"a\nb", 2).length, 0);
    EXPECT_EQ(RowOf(u"a\nb", 1).offset, 2);
    EXPECT_EQ(RowOf(u"a\nb", 1).length, 1);
    EXPECT_EQ(RowOf(u"ab\ncd\n\nxyz", 3).offset, 7);
    EXPECT_EQ(RowOf(u"ab\ncd\n\nxyz", 3).length, 3);
    EXPECT_EQ(RowOf(u"ab\ncd\n\nxyz", 2).length, 0);
    EXPECT_EQ(RowOf(u"ab\ncd\n\nxyz", 2).offset, 6);
    EXPECT_EQ(RowOf(u"a\nb\nc\nd\ne", 4).offset, -1);
    EXPECT_EQ(RowOf(u"", 0).offset, -1);
    EXPECT_EQ(RowOf(u"abc", 0).length, 3);
    EXPECT_EQ(RowOf(u"abc", -1).offset, -1);
}

}  // namespace
}  // namespace tessary
