#include "decode/SearchCondition.h"

#include <new>

#include "decode/SearchMark.h"
#include "platform/Width.h"

namespace tessary {
namespace {

// Levels and nodes grow 16 entries at a time.
template <class T>
void ReserveNext(std::vector<T>& entries) {
    if (entries.size() == entries.capacity()) {
        entries.reserve(entries.capacity() + 16);
    }
}

inline bool IsOperator(char16_t c) {
    return c == u'<' || c == u'>' || c == u'|';
}

// Folds a node's decided state into its parent (or the implicit root).
inline void Combine(uint8_t& parent, uint8_t state, bool isOr) {
    if (isOr) {
        if (state == kNodeTrue) {
            parent = kNodeTrue;
        } else if (parent == kNodeUndecided) {
            parent = kNodeFalse;
        }
    } else {
        if (state == kNodeFalse) {
            parent = kNodeFalse;
        } else if (parent == kNodeUndecided) {
            parent = kNodeTrue;
        }
    }
}

}  // namespace

void SearchCondition::Clear() {
    m_levels = {};
    m_pattern.clear();
    m_mark.clear();
    m_hasMark = false;
    m_mask = 0;
    m_wordCount = 0;
    m_rootState = kNodeUndecided;
}

int SearchCondition::Compile(std::u16string_view definition, int markWidth) {
    Clear();
    if (definition.empty()) {
        return 0;
    }
    int result;
    try {
        result = Build(definition, markWidth);
    } catch (const std::bad_alloc&) {
        result = -1;
    }
    // A half-built tree would match by the part before the error; nobody wants that.
    if (result != 0) {
        Clear();
    }
    return result;
}

int SearchCondition::AddNode(int level, int parent, int previous, bool isOr) {
    while (m_levels.size() <= static_cast<size_t>(level)) {
        ReserveNext(m_levels);
        m_levels.emplace_back();
    }
    std::vector<SearchNode>& nodes = m_levels[static_cast<size_t>(level)];
    ReserveNext(nodes);
    SearchNode node;
    node.level = level;
    node.index = static_cast<int>(nodes.size());
    node.parent = parent;
    node.previous = previous;
    node.isOr = isOr;
    nodes.push_back(node);
    return node.index;
}

void SearchCondition::CloseWord(SearchNode& node, size_t start, size_t end) {
    // Spaces inside and around a word belong to it; only a word of spaces is none.
    for (size_t i = start; i < end; ++i) {
        if (m_pattern[i] != u' ') {
            node.wordOffset = static_cast<uint32_t>(start);
            node.wordLength = static_cast<uint32_t>(end - start);
            ++m_wordCount;
            return;
        }
    }
}

int SearchCondition::ErrorColumn(size_t position) const {
    return static_cast<int>(TextWidth(m_pattern.data(), position)) + 1;
}

int SearchCondition::Build(std::u16string_view definition, int markWidth) {
    const DefinitionFields fields = ParseDefinition(definition);
    m_mask = fields.mask;
    if (markWidth >= 0) {
        m_mark.assign(fields.mark.substr(0, MarkCutLength(fields.mark, markWidth)));
        m_hasMark = true;
    }
    m_pattern.assign(fields.pattern);

    int level = 0;
    int index = AddNode(0, -1, -1, false);
    size_t wordStart = 0;
    const size_t length = m_pattern.size();
    for (size_t i = 0;; ++i) {
        const bool atEnd = i == length;
        if (!atEnd && !IsOperator(m_pattern[i])) {
            continue;
        }
        const auto here = static_cast<size_t>(level);
        CloseWord(m_levels[here][static_cast<size_t>(index)], wordStart, i);
        const int parent = m_levels[here][static_cast<size_t>(index)].parent;
        if (atEnd) {
            return parent < 0 ? 0 : ErrorColumn(i);  // an unclosed "<"
        }
        switch (m_pattern[i]) {
            case u'<': {
                const int child = AddNode(level + 1, index, -1, false);
                m_levels[here][static_cast<size_t>(index)].firstChild = child;
                ++level;
                index = child;
                break;
            }
            case u'>': {
                if (parent < 0) {
                    return ErrorColumn(i);
                }
                const auto up = here - 1;
                const int grandParent = m_levels[up][static_cast<size_t>(parent)].parent;
                const int after = AddNode(level - 1, grandParent, parent, false);
                m_levels[up][static_cast<size_t>(parent)].next = after;
                --level;
                index = after;
                break;
            }
            default: {  // "|"
                const int after = AddNode(level, parent, index, true);
                m_levels[here][static_cast<size_t>(index)].next = after;
                index = after;
                break;
            }
        }
        wordStart = i + 1;
    }
}

int SearchCondition::Match(std::u16string_view text) {
    for (std::vector<SearchNode>& nodes : m_levels) {
        for (SearchNode& node : nodes) {
            if (!node.HasWord()) {
                node.state = kNodeUndecided;
            } else {
                node.state = FindNoCase(text, Word(node)) != kNotFound ? kNodeTrue : kNodeFalse;
            }
        }
    }
    uint8_t root = kNodeUndecided;
    for (size_t level = m_levels.size(); level-- > 0;) {
        for (const SearchNode& node : m_levels[level]) {
            if (node.state == kNodeUndecided) {
                continue;
            }
            uint8_t& target =
                level == 0 ? root : m_levels[level - 1][static_cast<size_t>(node.parent)].state;
            Combine(target, node.state, node.isOr);
        }
    }
    m_rootState = root;
    return root == kNodeTrue ? 0 : 1;
}

const SearchNode& SearchCondition::TopAncestor(const SearchNode& node) const {
    const SearchNode* current = &node;
    while (current->level > 0 && current->parent >= 0) {
        current = &m_levels[static_cast<size_t>(current->level - 1)]
                           [static_cast<size_t>(current->parent)];
    }
    return *current;
}

int Match(SearchCondition* condition, const char16_t* text, size_t length) {
    if (condition == nullptr || text == nullptr) {
        return -1;
    }
    return condition->Match(std::u16string_view(text, length));
}

}  // namespace tessary
