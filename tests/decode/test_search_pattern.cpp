// The pattern language: compiling, the tree it builds, left-to-right evaluation, errors and the
// word search underneath.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "decode/SearchCondition.h"
#include "decode/SearchFind.h"

namespace tessary {
namespace {

// Compiles a pattern without mark or mask; fails the test on a compile error.
SearchCondition Compiled(std::u16string_view pattern) {
    SearchCondition condition;
    std::u16string definition = u";";
    definition += pattern;
    definition += u";0";
    EXPECT_EQ(condition.Compile(definition, 2), 0);
    return condition;
}

int CompileResult(std::u16string_view pattern) {
    SearchCondition condition;
    std::u16string definition = u";";
    definition += pattern;
    definition += u";0";
    return condition.Compile(definition, 2);
}

bool Matches(SearchCondition& condition, std::u16string_view text) {
    return condition.Match(text) == 0;
}

// A text holding the chosen ones of the words alpha, bravo, charlie, delta (bit 0 = alpha).
std::u16string TextOf(unsigned words) {
    static const char16_t* const kWords[] = {u"alpha", u"bravo", u"charlie", u"delta"};
    std::u16string text = u"ID=0000001 TM=01/00:00:00.000 種=0\n";
    for (unsigned i = 0; i < 4; ++i) {
        if (words & (1u << i)) {
            text += kWords[i];
            text += u"\n";
        }
    }
    return text;
}

TEST(SearchPattern, EvaluatesLeftToRightWithoutPrecedence) {
    SearchCondition andThenOr = Compiled(u"<alpha> <bravo> | <charlie>");
    SearchCondition orThenAnd = Compiled(u"<alpha> | <bravo> <charlie>");
    SearchCondition three = Compiled(u"<alpha> | <bravo> <charlie> | <delta>");
    for (unsigned w = 0; w < 16; ++w) {
        const bool a = w & 1, b = w & 2, c = w & 4, d = w & 8;
        const std::u16string text = TextOf(w);
        EXPECT_EQ(Matches(andThenOr, text), (a && b) || c) << w;
        EXPECT_EQ(Matches(orThenAnd, text), (a || b) && c) << w;
        EXPECT_EQ(Matches(three, text), ((a || b) && c) || d) << w;
    }
}

TEST(SearchPattern, NestedGroups) {
    SearchCondition nested = Compiled(u"<<alpha> | <bravo>> <charlie>");
    SearchCondition deep = Compiled(u"<alpha> | <<bravo> | <charlie> <delta>>");
    for (unsigned w = 0; w < 16; ++w) {
        const bool a = w & 1, b = w & 2, c = w & 4, d = w & 8;
        const std::u16string text = TextOf(w);
        EXPECT_EQ(Matches(nested, text), (a || b) && c) << w;
        EXPECT_EQ(Matches(deep, text), a || ((b || c) && d)) << w;
    }
}

TEST(SearchPattern, NodeWithWordAndChildren) {
    // AND children can only make the node false ...
    SearchCondition andChild = Compiled(u"alpha<bravo>");
    EXPECT_TRUE(Matches(andChild, TextOf(3)));
    EXPECT_FALSE(Matches(andChild, TextOf(1)));
    EXPECT_FALSE(Matches(andChild, TextOf(2)));
    // ... and OR children only true.
    SearchCondition orChild = Compiled(u"alpha<|bravo>");
    EXPECT_TRUE(Matches(orChild, TextOf(1)));
    EXPECT_TRUE(Matches(orChild, TextOf(2)));
    EXPECT_FALSE(Matches(orChild, TextOf(4)));
}

TEST(SearchPattern, GuidanceExamples) {
    SearchCondition andExample = Compiled(u"<呼設定> <CH=01>");
    EXPECT_TRUE(
        Matches(andExample, u"ID=0000102 TM=… 種=0 TEI=0[I]c\nB-呼設定- 呼番号=着1 CH=01変更可\n"));
    EXPECT_FALSE(Matches(andExample, u"B-呼設定- 呼番号=着1 CH=02\n"));
    SearchCondition orExample = Compiled(u"<Warning> | <規定外> | <対象外> | <CRCエラー>");
    EXPECT_TRUE(Matches(orExample, u"ID=0000007 Warning=1 FilePos=00000020h(00000040h)"));
    EXPECT_TRUE(Matches(orExample, u"ID=0000008 TM=… 種=0 CRCエラー\n08 01"));
    EXPECT_FALSE(Matches(orExample, u"ID=0000009 TM=… 種=0 TEI=64[RR]r\n"));
}

TEST(SearchPattern, TreeLinks) {
    const SearchCondition c = Compiled(u"<<a> | <b>> <c>");
    ASSERT_EQ(c.LevelCount(), 3u);
    ASSERT_EQ(c.NodeCount(0), 3u);
    ASSERT_EQ(c.NodeCount(1), 5u);
    ASSERT_EQ(c.NodeCount(2), 2u);
    EXPECT_EQ(c.WordCount(), 3u);

    const SearchNode& top = c.Node(0, 0);
    EXPECT_FALSE(top.HasWord());
    EXPECT_EQ(top.parent, -1);
    EXPECT_EQ(top.firstChild, 0);
    EXPECT_EQ(top.next, 1);
    EXPECT_EQ(c.Node(0, 1).previous, 0);
    EXPECT_EQ(c.Node(0, 1).firstChild, 4);
    EXPECT_EQ(c.Node(0, 2).previous, 1);
    EXPECT_EQ(c.Node(0, 2).next, -1);

    // Level 1: group, blank after ">", "|" group, blank before the outer ">", then <c>.
    EXPECT_EQ(c.Node(1, 0).firstChild, 0);
    EXPECT_EQ(c.Node(1, 0).next, 1);
    EXPECT_FALSE(c.Node(1, 1).HasWord());  // " " between "> " and "|" is no word
    EXPECT_TRUE(c.Node(1, 2).isOr);
    EXPECT_EQ(c.Node(1, 2).previous, 1);
    EXPECT_EQ(c.Node(1, 2).firstChild, 1);
    EXPECT_EQ(c.Node(1, 3).previous, 2);
    // <c> belongs to another parent: it starts a new sibling chain.
    EXPECT_EQ(c.Node(1, 4).parent, 1);
    EXPECT_EQ(c.Node(1, 4).previous, -1);
    EXPECT_EQ(c.Word(c.Node(1, 4)), u"c");

    EXPECT_EQ(c.Word(c.Node(2, 0)), u"a");
    EXPECT_EQ(c.Word(c.Node(2, 1)), u"b");
    EXPECT_EQ(c.Node(2, 1).parent, 2);
    for (size_t level = 0; level < c.LevelCount(); ++level) {
        for (size_t i = 0; i < c.NodeCount(level); ++i) {
            EXPECT_EQ(c.Node(level, i).level, static_cast<int>(level));
            EXPECT_EQ(c.Node(level, i).index, static_cast<int>(i));
        }
    }
}

TEST(SearchPattern, ErrorColumns) {
    EXPECT_EQ(CompileResult(u"<abc"), 5);
    EXPECT_EQ(CompileResult(u"abc>"), 4);
    EXPECT_EQ(CompileResult(u">"), 1);
    EXPECT_EQ(CompileResult(u"<"), 2);
    EXPECT_EQ(CompileResult(u"<a>>"), 4);
    EXPECT_EQ(CompileResult(u"<a> | <b"), 9);
    EXPECT_EQ(CompileResult(u"<<a>"), 5);
    // Columns count display width: double-width characters take two.
    EXPECT_EQ(CompileResult(u"呼設定>"), 7);
    EXPECT_EQ(CompileResult(u"<ＣＨ"), 6);
    EXPECT_EQ(CompileResult(u"ｱｲ>"), 3);  // half-width katakana take one
    // The column is counted in the pattern, not in the definition.
    SearchCondition condition;
    EXPECT_EQ(condition.Compile(u"!!!;a;b>;1", 2), 4);
    EXPECT_EQ(CompileResult(u"<<a> | <b>> <c>"), 0);
}

TEST(SearchPattern, FailedCompileLeavesNothingToMatch) {
    SearchCondition condition;
    ASSERT_EQ(condition.Compile(u"@;<alpha> <bravo;3", 2), 15);
    EXPECT_EQ(condition.LevelCount(), 0u);
    EXPECT_FALSE(condition.HasWord());
    EXPECT_FALSE(condition.HasMark());
    EXPECT_EQ(condition.Mask(), 0);
    EXPECT_EQ(condition.Match(TextOf(15)), 1);
}

TEST(SearchPattern, PatternsWithoutWordsNeverMatch) {
    for (const std::u16string_view pattern : {u"", u"   ", u"<>", u"< >", u"|", u"<|>", u"<<>>"}) {
        SearchCondition condition = Compiled(pattern);
        EXPECT_FALSE(condition.HasWord()) << std::string(pattern.begin(), pattern.end());
        EXPECT_EQ(condition.Match(u"   <> |"), 1);
    }
    SearchCondition empty;
    EXPECT_EQ(empty.Compile(u"", 2), 0);
    EXPECT_EQ(empty.LevelCount(), 0u);
    EXPECT_EQ(empty.Match(u"anything"), 1);
}

TEST(SearchPattern, EmptyTextAndAbsentArguments) {
    SearchCondition condition = Compiled(u"alpha");
    EXPECT_EQ(condition.Match(u""), 1);
    EXPECT_EQ(condition.Node(0, 0).state, kNodeFalse);
    const char16_t text[] = u"alpha";
    EXPECT_EQ(Match(&condition, text, 5), 0);
    EXPECT_EQ(Match(&condition, text, 4), 1);  // only the given length is searched
    EXPECT_EQ(Match(nullptr, text, 5), -1);
    EXPECT_EQ(Match(&condition, nullptr, 0), -1);
}

TEST(SearchPattern, SpacesBelongToWords) {
    SearchCondition single = Compiled(u"00000 TM");
    EXPECT_EQ(single.WordCount(), 1u);
    EXPECT_TRUE(Matches(single, u"ID=0000000 TM=01/00:00:00.000"));
    EXPECT_FALSE(Matches(single, u"ID=0000000\nTM=01/00:00:00.000"));
    EXPECT_FALSE(Matches(single, u"TM 00000"));

    SearchCondition leading = Compiled(u" CH=01");
    EXPECT_TRUE(Matches(leading, u"呼番号=着1 CH=01変更可"));
    EXPECT_FALSE(Matches(leading, u"CH=01"));
    EXPECT_FALSE(Matches(leading, u"x\nCH=01"));

    SearchCondition inGroup = Compiled(u"< ab >");
    EXPECT_EQ(inGroup.Word(inGroup.Node(1, 0)), u" ab ");
    EXPECT_TRUE(Matches(inGroup, u"x ab y"));
    EXPECT_FALSE(Matches(inGroup, u"xab y"));
}

TEST(SearchPattern, CaseRules) {
    SearchCondition warning = Compiled(u"warning");
    EXPECT_TRUE(Matches(warning, u"ID=0000001 Warning=1"));
    EXPECT_TRUE(Matches(warning, u"WARNING"));
    SearchCondition fullWidth = Compiled(u"ＣＨ");
    EXPECT_FALSE(Matches(fullWidth, u"CH=01"));
    EXPECT_FALSE(Matches(fullWidth, u"ｃｈ"));  // full-width letters compare exactly
    EXPECT_TRUE(Matches(fullWidth, u"ＣＨ"));
    SearchCondition halfWidth = Compiled(u"ch");
    EXPECT_FALSE(Matches(halfWidth, u"ＣＨ"));
}

TEST(SearchPattern, StatesStayUntilTheNextMatch) {
    SearchCondition condition = Compiled(u"<alpha> <bravo>");
    ASSERT_EQ(condition.Match(TextOf(1)), 1);
    EXPECT_EQ(condition.Node(1, 0).state, kNodeTrue);
    EXPECT_EQ(condition.Node(1, 1).state, kNodeFalse);
    EXPECT_EQ(condition.Node(0, 0).state, kNodeTrue);
    EXPECT_EQ(condition.Node(0, 1).state, kNodeFalse);
    EXPECT_EQ(condition.Node(0, 2).state, kNodeUndecided);
    EXPECT_FALSE(condition.Matched());
    ASSERT_EQ(condition.Match(TextOf(3)), 0);
    EXPECT_EQ(condition.Node(1, 1).state, kNodeTrue);
    EXPECT_TRUE(condition.Matched());
}

TEST(SearchPattern, RecompileReplacesTheTree) {
    SearchCondition condition;
    ASSERT_EQ(condition.Compile(u"@;<<a> | <b>> <c>;2", 2), 0);
    ASSERT_EQ(condition.Compile(u";bravo", -1), 0);
    EXPECT_EQ(condition.LevelCount(), 1u);
    EXPECT_EQ(condition.NodeCount(0), 1u);
    EXPECT_EQ(condition.Mask(), 0);
    EXPECT_FALSE(condition.HasMark());
    EXPECT_TRUE(Matches(condition, TextOf(2)));
    EXPECT_FALSE(Matches(condition, TextOf(5)));
}

TEST(SearchPattern, ManyNodesGrowPastOneStep) {
    // More than 16 levels and more than 16 nodes on one level.
    std::u16string deep;
    for (int i = 0; i < 20; ++i) {
        deep += u"<";
    }
    deep += u"alpha";
    for (int i = 0; i < 20; ++i) {
        deep += u">";
    }
    SearchCondition nested = Compiled(deep);
    EXPECT_EQ(nested.LevelCount(), 21u);
    EXPECT_TRUE(Matches(nested, TextOf(1)));
    EXPECT_FALSE(Matches(nested, TextOf(2)));

    std::u16string wide = u"zz0";
    for (int i = 1; i < 30; ++i) {
        wide += u"|zz" + std::u16string(1, static_cast<char16_t>(u'A' + i));
    }
    SearchCondition alternatives = Compiled(wide);
    EXPECT_EQ(alternatives.NodeCount(0), 30u);
    EXPECT_TRUE(Matches(alternatives, u"..zz]"));  // 'A' + 28
    EXPECT_FALSE(Matches(alternatives, u"..zz_"));
}

TEST(SearchPattern, RandomPatternsKeepTheTreeConsistent) {
    std::mt19937 random(7);
    const char16_t alphabet[] = {u'<', u'>', u'|', u'a', u'b', u' ', u'漢', u';'};
    int compiled = 0;
    for (int round = 0; round < 3000; ++round) {
        std::u16string pattern;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) {
            pattern += alphabet[random() % std::size(alphabet)];
        }
        SearchCondition condition;
        const int result = condition.Compile(u"m;" + pattern + u";0", 2);
        ASSERT_GE(result, 0);
        if (result > 0) {
            EXPECT_EQ(condition.LevelCount(), 0u);
            continue;
        }
        ++compiled;
        for (size_t level = 0; level < condition.LevelCount(); ++level) {
            for (size_t i = 0; i < condition.NodeCount(level); ++i) {
                const SearchNode& node = condition.Node(level, i);
                if (level == 0) {
                    ASSERT_EQ(node.parent, -1);
                } else {
                    ASSERT_GE(node.parent, 0);
                    ASSERT_LT(static_cast<size_t>(node.parent), condition.NodeCount(level - 1));
                }
                if (node.next >= 0) {
                    const SearchNode& next = condition.Node(level, node.next);
                    ASSERT_EQ(next.previous, node.index);
                    ASSERT_EQ(next.parent, node.parent);
                }
                if (node.firstChild >= 0) {
                    const SearchNode& child = condition.Node(level + 1, node.firstChild);
                    ASSERT_EQ(child.parent, node.index);
                    ASSERT_EQ(child.previous, -1);
                }
            }
        }
        condition.Match(u"a b 漢 ab");
    }
    EXPECT_GT(compiled, 100);
}

// Reference: the plain definition of the search, one position at a time.
size_t NaiveFind(std::u16string_view text, size_t limit, std::u16string_view word) {
    const size_t size = (limit == 0 || limit > text.size()) ? text.size() : limit;
    auto fold = [](char16_t c) {
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    };
    if (word.empty()) {
        return kNotFound;
    }
    for (size_t i = 0; i + word.size() <= size; ++i) {
        size_t k = 0;
        while (k < word.size() && fold(text[i + k]) == fold(word[k])) {
            ++k;
        }
        if (k == word.size()) {
            return i;
        }
    }
    return kNotFound;
}

TEST(SearchFind, LimitAndEdges) {
    EXPECT_EQ(FindNoCase(u"abcabc", 3, u"bc"), 1u);
    EXPECT_EQ(FindNoCase(u"xxabc", 4, u"abc"), kNotFound);  // would cross the limit
    EXPECT_EQ(FindNoCase(u"xxabc", 5, u"abc"), 2u);
    EXPECT_EQ(FindNoCase(u"xxabc", 0, u"abc"), 2u);
    EXPECT_EQ(FindNoCase(u"xxabc", 99, u"abc"), 2u);
    EXPECT_EQ(FindNoCase(u"abc", u""), kNotFound);
    EXPECT_EQ(FindNoCase(u"", u"a"), kNotFound);
    EXPECT_EQ(FindNoCase(u"ab", u"abc"), kNotFound);
    EXPECT_EQ(FindNoCase(u"xXyY", u"xy"), 1u);
}

TEST(SearchFind, OnlyHalfWidthLettersFold) {
    // Characters one case bit apart that are not letters stay different.
    EXPECT_EQ(FindNoCase(u"`", u"@"), kNotFound);
    EXPECT_EQ(FindNoCase(u"{", u"["), kNotFound);
    EXPECT_EQ(FindNoCase(u"@", u"`"), kNotFound);
    EXPECT_EQ(FindNoCase(u"\x7f", u"_"), kNotFound);
    EXPECT_EQ(FindNoCase(u"ｚ", u"Ｚ"), kNotFound);
    EXPECT_EQ(FindNoCase(u"Ä", u"ä"), kNotFound);
    EXPECT_EQ(FindNoCase(u"ZzzZ", u"zZZz"), 0u);
}

TEST(SearchFind, AgreesWithThePlainSearchAtEveryPosition) {
    std::mt19937 random(11);
    const char16_t alphabet[] = {u'a', u'A', u'b', u'B', u'@', u'`', u'漢', u' ', u'\n'};
    for (int round = 0; round < 20000; ++round) {
        std::u16string text(random() % 90, u' ');
        for (char16_t& c : text) {
            c = alphabet[random() % 5 == 0 ? random() % std::size(alphabet) : random() % 2];
        }
        std::u16string word(1 + random() % 5, u' ');
        for (char16_t& c : word) {
            c = alphabet[random() % 4 == 0 ? random() % std::size(alphabet) : random() % 2];
        }
        const size_t limit = random() % 3 == 0 ? random() % 80 : 0;
        ASSERT_EQ(FindNoCase(text, limit, word), NaiveFind(text, limit, word)) << "round " << round;
    }
}

}  // namespace
}  // namespace tessary
