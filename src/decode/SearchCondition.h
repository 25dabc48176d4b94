#pragma once
// A compiled rule string «mark;pattern;mask»: words joined by AND (juxtaposition) and OR ("|"),
// grouped with "<" and ">", evaluated strictly left to right without precedence. The search,
// the search aggregation and the four highlight rules each hold one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/SearchDefinition.h"
#include "decode/SearchFind.h"

namespace tessary {

// Match state of a node.
inline constexpr uint8_t kNodeUndecided = 1;  // no word, and nothing below decided it
inline constexpr uint8_t kNodeTrue = 2;
inline constexpr uint8_t kNodeFalse = 3;

struct SearchNode {
    int level = 0;
    int index = 0;        // within its level
    int parent = -1;      // index one level up; -1 at the top level
    int firstChild = -1;  // index one level down
    int previous = -1;    // same level
    int next = -1;
    uint32_t wordOffset = 0;  // into the condition's copy of the pattern
    uint32_t wordLength = 0;  // 0: no word
    bool isOr = false;        // opened by "|"
    uint8_t state = kNodeUndecided;

    bool HasWord() const { return wordLength != 0; }
};

class SearchCondition {
public:
    // 0 success; the 1-based display column of a syntax error in the pattern; -1 out of memory.
    // A failure leaves the condition cleared, so it never matches. An empty definition just
    // clears it. The mark is cut to `markWidth` display columns; a negative width leaves it
    // absent.
    int Compile(std::u16string_view definition, int markWidth);
    void Clear();

    // 0 the text matches, 1 it does not (always 1 for an empty text or without any word).
    // Leaves every node's state for the search-hit marking until the next call; allocates
    // nothing, so one condition is matched by one thread at a time.
    int Match(std::u16string_view text);
    // Whether the last Match matched.
    bool Matched() const { return m_rootState == kNodeTrue; }

    bool HasMark() const { return m_hasMark; }
    std::u16string_view Mark() const { return m_mark; }
    int Mask() const { return m_mask; }
    // The mask is 0 (every block) or holds the block; records without a block only pass 0.
    bool AppliesToBlock(int block) const { return m_mask == 0 || (m_mask & BlockBit(block)) != 0; }
    bool HasWord() const { return m_wordCount != 0; }
    size_t WordCount() const { return m_wordCount; }

    // The tree, by nesting level.
    size_t LevelCount() const { return m_levels.size(); }
    size_t NodeCount(size_t level) const { return m_levels[level].size(); }
    const SearchNode& Node(size_t level, size_t index) const { return m_levels[level][index]; }
    std::u16string_view Word(const SearchNode& node) const {
        return std::u16string_view(m_pattern).substr(node.wordOffset, node.wordLength);
    }
    // The level-0 node above `node` (the node itself at level 0).
    const SearchNode& TopAncestor(const SearchNode& node) const;

    // After a Match that matched (nothing otherwise): calls fn(word) for every word whose node
    // and whose level-0 ancestor ended true, from the deepest level up, in node order; returns
    // their number.
    template <class Fn>
    size_t ForEachHitWord(Fn&& fn) const;
    // Calls fn(offset, length) for every occurrence of each hit word in `text` (occurrences of
    // one word do not overlap; a later search starts after the previous occurrence); returns the
    // number of occurrences.
    template <class Fn>
    size_t ForEachHitRange(std::u16string_view text, Fn&& fn) const;

private:
    int Build(std::u16string_view definition, int markWidth);
    int AddNode(int level, int parent, int previous, bool isOr);
    void CloseWord(SearchNode& node, size_t start, size_t end);
    int ErrorColumn(size_t position) const;

    std::vector<std::vector<SearchNode>> m_levels;
    std::u16string m_pattern;
    std::u16string m_mark;
    bool m_hasMark = false;
    int m_mask = 0;
    size_t m_wordCount = 0;
    uint8_t m_rootState = kNodeUndecided;
};

// Match with absent arguments: -1 when the condition or the text is missing.
int Match(SearchCondition* condition, const char16_t* text, size_t length);

template <class Fn>
size_t SearchCondition::ForEachHitWord(Fn&& fn) const {
    size_t count = 0;
    if (!Matched()) {
        return 0;
    }
    for (size_t level = m_levels.size(); level-- > 0;) {
        for (const SearchNode& node : m_levels[level]) {
            if (node.HasWord() && node.state == kNodeTrue && TopAncestor(node).state == kNodeTrue) {
                fn(Word(node));
                ++count;
            }
        }
    }
    return count;
}

template <class Fn>
size_t SearchCondition::ForEachHitRange(std::u16string_view text, Fn&& fn) const {
    size_t count = 0;
    ForEachHitWord([&](std::u16string_view word) {
        size_t from = 0;
        while (from < text.size()) {
            const size_t found = FindNoCase(text.substr(from), word);
            if (found == kNotFound) {
                break;
            }
            fn(from + found, word.size());
            ++count;
            from += found + word.size();
        }
    });
    return count;
}

}  // namespace tessary
