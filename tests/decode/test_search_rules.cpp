// Rule strings around the pattern: splitting, block masks, formatting, mark texts, the choice
// of the highlight rule and the search-hit ranges.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "decode/SearchCondition.h"
#include "decode/SearchDefinition.h"
#include "decode/SearchMark.h"

namespace tessary {
namespace {

constexpr int kNoBlock = 0x80;

int MaskOf(std::u16string_view definition) {
    return ParseDefinition(definition).mask;
}

TEST(SearchDefinition, SplitsAtTheFirstAndTheLastSemicolon) {
    DefinitionFields f = ParseDefinition(u"!;<a;b> x;2");
    EXPECT_EQ(f.mark, u"!");
    EXPECT_EQ(f.pattern, u"<a;b> x");
    EXPECT_EQ(f.mask, 2);
    EXPECT_EQ(f.BlockLetters(), u"B");

    f = ParseDefinition(u"mark;pattern");  // one ";": no mask field
    EXPECT_EQ(f.mark, u"mark");
    EXPECT_EQ(f.pattern, u"pattern");
    EXPECT_EQ(f.mask, 0);

    f = ParseDefinition(u"pattern 3");  // no ";": all pattern
    EXPECT_EQ(f.mark, u"");
    EXPECT_EQ(f.pattern, u"pattern 3");
    EXPECT_EQ(f.mask, 0);

    f = ParseDefinition(u";;");
    EXPECT_EQ(f.mark, u"");
    EXPECT_EQ(f.pattern, u"");
    EXPECT_EQ(f.mask, 0);

    f = ParseDefinition(u"");
    EXPECT_EQ(f.mask, -1);
    EXPECT_EQ(f.BlockLetters(), u"");
}

TEST(SearchDefinition, MaskField) {
    EXPECT_EQ(MaskOf(u";x;00000001"), 1);
    EXPECT_EQ(MaskOf(u";x;   5"), 5);  // leading spaces
    EXPECT_EQ(MaskOf(u";x; 3 "), 3);
    EXPECT_EQ(MaskOf(u";x;0000000a"), 0xA);
    EXPECT_EQ(MaskOf(u";x;12345678"), 8);   // eight digits, low four bits
    EXPECT_EQ(MaskOf(u";x;123456789"), 0);  // nine digits
    EXPECT_EQ(MaskOf(u";x;ABCDABCDA"), 0);  // A-D count as digits too
    // E and F end the digit count but are read as hexadecimal: nine characters, still read.
    EXPECT_EQ(MaskOf(u";x;1111E1111"), 1);
    EXPECT_EQ(MaskOf(u";x;00000000"), 0);
    EXPECT_EQ(MaskOf(u";x;0000000F"), 0);  // all four blocks are kept as 0
    EXPECT_EQ(MaskOf(u";x;0000001F"), 0);
    EXPECT_EQ(MaskOf(u";x;0x3"), 0);
    EXPECT_EQ(MaskOf(u";x;zz"), 0);
    EXPECT_EQ(MaskOf(u";x;"), 0);
    EXPECT_EQ(ParseDefinition(u";x;0000000D").BlockLetters(), u"ACD");
}

TEST(SearchDefinition, BlockLetters) {
    EXPECT_EQ(MaskFromLetters(u"a"), 1);
    EXPECT_EQ(MaskFromLetters(u"Ac"), 5);
    EXPECT_EQ(MaskFromLetters(u"dD"), 8);
    EXPECT_EQ(MaskFromLetters(u"ABCD"), 0);
    EXPECT_EQ(MaskFromLetters(u"dcba"), 0);
    EXPECT_EQ(MaskFromLetters(u""), 0);
    EXPECT_EQ(MaskFromLetters(u"E Z,B"), 2);
    EXPECT_EQ(MaskFromLetters(u"ＡＢ"), 0);  // full-width letters are not blocks
    EXPECT_EQ(std::u16string(LettersFromMask(6).data()), u"BC");
    EXPECT_EQ(std::u16string(LettersFromMask(0).data()), u"");
}

TEST(SearchDefinition, FormatFitsEightyCharacters) {
    std::array<char16_t, kDefinitionSize> buffer{};
    EXPECT_EQ(FormatDefinition(buffer.data(), buffer.size(), u"!", u"<a> | <b>", u"ca"), 5);
    EXPECT_EQ(std::u16string(buffer.data()), u"!;<a> | <b>;00000005");
    EXPECT_EQ(FormatDefinition(buffer.data(), buffer.size(), u"", u"x", u"dbca"), 0);
    EXPECT_EQ(std::u16string(buffer.data()), u";x;00000000");

    // "!;" + pattern + ";00000001": 80 characters fit, 81 do not.
    const std::u16string fits(69, u'p');
    EXPECT_EQ(FormatDefinition(buffer.data(), buffer.size(), u"!", fits, u"A"), 1);
    EXPECT_EQ(std::u16string(buffer.data()).size(), 80u);
    buffer.fill(u'#');
    EXPECT_EQ(FormatDefinition(buffer.data(), buffer.size(), u"!", fits + u"p", u"A"), -1);
    EXPECT_EQ(buffer[0], u'#');  // untouched
    EXPECT_EQ(FormatDefinition(nullptr, 0, u"", u"", u""), -1);
    EXPECT_EQ(FormatDefinition(buffer.data(), 10, u"", u"", u""), -1);
    EXPECT_EQ(FormatDefinition(buffer.data(), 11, u"", u"", u""), 0);
    EXPECT_EQ(std::u16string(buffer.data()), u";;00000000");
}

TEST(SearchDefinition, FormatAndParseRoundTrip) {
    std::array<char16_t, kDefinitionSize> buffer{};
    ASSERT_EQ(FormatDefinition(buffer.data(), buffer.size(), u"#", u"<呼設定> <a;b>", u"bd"), 0xA);
    const DefinitionFields f = ParseDefinition(buffer.data());
    EXPECT_EQ(f.mark, u"#");
    EXPECT_EQ(f.pattern, u"<呼設定> <a;b>");
    EXPECT_EQ(f.mask, 0xA);
    EXPECT_EQ(f.BlockLetters(), u"BD");
}

TEST(SearchMark, CutByDisplayWidth) {
    SearchCondition c;
    ASSERT_EQ(c.Compile(u"!!!;x;1", 2), 0);
    EXPECT_EQ(c.Mark(), u"!!");
    EXPECT_EQ(c.Mask(), 1);
    EXPECT_TRUE(c.AppliesToBlock(0));
    EXPECT_FALSE(c.AppliesToBlock(1));
    EXPECT_FALSE(c.AppliesToBlock(kNoBlock));

    // A double-width mark takes only itself, never the ";" after it.
    ASSERT_EQ(c.Compile(u"★;x;0", 2), 0);
    EXPECT_EQ(c.Mark(), u"★");
    ASSERT_EQ(c.Compile(u"★;x;0", 127), 0);
    EXPECT_EQ(c.Mark(), u"★");
    // A double-width character is never split.
    ASSERT_EQ(c.Compile(u"★;x;0", 1), 0);
    EXPECT_TRUE(c.HasMark());
    EXPECT_EQ(c.Mark(), u"");
    ASSERT_EQ(c.Compile(u"a★b;x;0", 2), 0);
    EXPECT_EQ(c.Mark(), u"a");
    ASSERT_EQ(c.Compile(u"a★b;x;0", 3), 0);
    EXPECT_EQ(c.Mark(), u"a★");
    ASSERT_EQ(c.Compile(u"ｱｲｳ;x;0", 2), 0);  // half-width katakana take one column
    EXPECT_EQ(c.Mark(), u"ｱｲ");

    ASSERT_EQ(c.Compile(u"@;x;0", -1), 0);
    EXPECT_FALSE(c.HasMark());
    ASSERT_EQ(c.Compile(u"@;x;0", 0), 0);
    EXPECT_TRUE(c.HasMark());
    EXPECT_EQ(c.Mark(), u"");
    ASSERT_EQ(c.Compile(u"pattern only", 2), 0);
    EXPECT_EQ(c.Mark(), u"");
}

TEST(SearchMark, CutNeverSplitsASurrogatePair) {
    const std::u16string mark = u"a\U0002000Bb";
    EXPECT_EQ(MarkCutLength(mark, 1), 1u);
    EXPECT_EQ(MarkCutLength(mark, 2), 3u);  // the pair is one character of one column
    EXPECT_EQ(MarkCutLength(mark, 127), mark.size());
    EXPECT_EQ(MarkCutLength(mark, 0), 0u);
    EXPECT_EQ(MarkCutLength(mark, -3), 0u);
}

// The four default-looking rules with words of our own.
std::array<SearchCondition, kMarkCount> Rules(const std::array<const char16_t*, 4>& definitions) {
    std::array<SearchCondition, kMarkCount> rules;
    for (size_t i = 0; i < kMarkCount; ++i) {
        EXPECT_EQ(rules[i].Compile(definitions[i], 2), 0);
    }
    return rules;
}

TEST(SearchMark, HighestMatchingRuleWins) {
    auto rules = Rules({u"@;alpha;0", u"!;bravo;0", u"#;alpha;0", u"&;zulu;0"});
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0, u"alpha bravo"), 2);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0, u"bravo"), 1);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0, u"nothing"), -1);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0, u""), -1);
    EXPECT_EQ(ChooseMark(rules.data(), 2, 0, u"alpha"), 0);  // only #0 and #1 given
    EXPECT_EQ(ChooseMark(nullptr, 4, 0, u"alpha"), -1);
}

TEST(SearchMark, BlockMaskSelectsRules) {
    auto rules = Rules({u"@;alpha;0", u"!;alpha;00000008", u"#;alpha;2", u"&;alpha;0000000F"});
    // #3 covers every block, including records without one.
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0, u"alpha"), 3);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), kNoBlock, u"alpha"), 3);
    ASSERT_EQ(rules[3].Compile(u"&;zulu;0", 2), 0);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0, u"alpha"), 0);  // B and D only above
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 1, u"alpha"), 2);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 3, u"alpha"), 1);
    // Title and warning records are tested only by mask-0 rules.
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), kNoBlock, u"alpha"), 0);
    ASSERT_EQ(rules[0].Compile(u"@;alpha;1", 2), 0);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), kNoBlock, u"alpha"), -1);
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0xFF, u"alpha"), -1);
}

TEST(SearchMark, DefaultRulesMarkNothing) {
    auto rules = Rules({u"@;;", u"!;;", u"#;;", u"&;;"});
    EXPECT_EQ(ChooseMark(rules.data(), rules.size(), 0, u"ID=0000001 TM=… ;;"), -1);
    EXPECT_EQ(rules[0].Mark(), u"@");
}

using Ranges = std::vector<std::pair<size_t, size_t>>;

Ranges HitRanges(SearchCondition& condition, std::u16string_view text) {
    Ranges ranges;
    EXPECT_EQ(condition.Match(text), 0);
    const size_t count = condition.ForEachHitRange(
        text, [&](size_t offset, size_t length) { ranges.emplace_back(offset, length); });
    EXPECT_EQ(count, ranges.size());
    return ranges;
}

TEST(SearchHits, EveryOccurrenceOfTrueWords) {
    SearchCondition c;
    ASSERT_EQ(c.Compile(u";<alpha> <bravo> | <zulu>;0", -1), 0);
    EXPECT_EQ(HitRanges(c, u"alpha x ALPHA\nbravo"), (Ranges{{0, 5}, {8, 5}, {14, 5}}));

    // Occurrences of one word do not overlap.
    ASSERT_EQ(c.Compile(u";aa;0", -1), 0);
    EXPECT_EQ(HitRanges(c, u"aaaAa"), (Ranges{{0, 2}, {2, 2}}));

    // Deeper levels come first.
    ASSERT_EQ(c.Compile(u";beta<alpha>;0", -1), 0);
    std::vector<std::u16string> words;
    ASSERT_EQ(c.Match(u"alpha beta"), 0);
    EXPECT_EQ(c.ForEachHitWord([&](std::u16string_view w) { words.emplace_back(w); }), 2u);
    EXPECT_EQ(words, (std::vector<std::u16string>{u"alpha", u"beta"}));
}

TEST(SearchHits, WordsUnderAFalseTopNodeAreNotHits) {
    SearchCondition c;
    ASSERT_EQ(c.Compile(u";<<alpha> <bravo>> | <charlie>;0", -1), 0);
    // alpha is true but its group failed; charlie carries the match.
    EXPECT_EQ(HitRanges(c, u"alpha charlie"), (Ranges{{6, 7}}));
    // All true: all three, deepest first.
    EXPECT_EQ(HitRanges(c, u"charlie bravo alpha"), (Ranges{{14, 5}, {8, 5}, {0, 7}}));
}

TEST(SearchHits, NothingWithoutAMatch) {
    SearchCondition c;
    ASSERT_EQ(c.Compile(u";<alpha> <bravo>;0", -1), 0);
    ASSERT_EQ(c.Match(u"alpha only"), 1);
    size_t calls = 0;
    EXPECT_EQ(c.ForEachHitWord([&](std::u16string_view) { ++calls; }), 0u);
    EXPECT_EQ(c.ForEachHitRange(u"alpha only", [&](size_t, size_t) { ++calls; }), 0u);
    EXPECT_EQ(calls, 0u);
}

}  // namespace
}  // namespace tessary
