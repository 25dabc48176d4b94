#include "mainwnd/SearchScan.h"

#include <algorithm>
#include <limits>

namespace tessary {
namespace {

// Tests lines in table order. All lines of a record share its match, and a match costs a whole
// pass over the record's text, so each run of one record's lines is matched once.
class HitTester {
public:
    explicit HitTester(const DisplayLineTable& table) : m_table(table) {}

    bool Test(int32_t n) {
        DisplayLine* line = m_table.Line(n);
        if (line == nullptr || !line->HasRecord()) {
            return false;
        }
        if (line->recordIndex != m_record) {
            m_record = line->recordIndex;
            m_hit = m_table.MarkSearchHits(nullptr, line, false) > 0;
        }
        return m_hit;
    }

    // The first hit from `from` to `to` (both included, either order), or -1.
    int32_t Range(int32_t from, int32_t to) {
        if (from <= to) {
            for (int32_t n = from; n <= to; ++n) {
                if (Test(n)) {
                    return n;
                }
            }
        } else {
            for (int32_t n = from; n >= to; --n) {
                if (Test(n)) {
                    return n;
                }
            }
        }
        return -1;
    }

private:
    const DisplayLineTable& m_table;
    int32_t m_record = std::numeric_limits<int32_t>::min();
    bool m_hit = false;
};

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

SelectionView RelationToView(int32_t first, int32_t last, int32_t top, int32_t bottom) {
    if (first < 0 || last < 0 || top < 0 || bottom < 0) {
        return SelectionView::kUnknown;
    }
    if (bottom < first || last < top) {
        return SelectionView::kOutside;
    }
    if (first < top || bottom < last) {
        return SelectionView::kPartlyVisible;
    }
    return SelectionView::kFullyVisible;
}

bool ShowsSearchHits(const DisplayLineTable& table, int32_t first) {
    const DisplayLine* head = table.Line(first);
    if (head == nullptr) {
        return false;
    }
    const int32_t lines = std::clamp<int32_t>(head->groupSize, 1, kHitLookLines);
    for (int32_t i = 0; i < lines; ++i) {
        const DisplayLine* line = table.Line(first + i);
        if (line == nullptr || line->recordIndex != head->recordIndex) {
            break;
        }
        const uint16_t* cells = line->Cells();
        if (std::any_of(cells, cells + line->cellCount,
                        [](uint16_t cell) { return (cell & kCellHit) != 0; })) {
            return true;
        }
    }
    return false;
}

SearchStart SearchStartOf(const DisplayLineTable& table, int32_t selectionLine, int32_t top,
                          int32_t bottom, bool forward, bool sameText) {
    const int32_t last = table.LineCount() - 1;
    if (last < 1) {
        return SearchStart{0, true};
    }
    // Without a view, the whole table from its first or last line.
    const int32_t viewStart = forward ? (top >= 0 ? std::min(top, last) : 1)
                                      : (bottom >= 0 ? std::min(bottom, last) : last);
    const SearchStart fromView{viewStart, true};

    const DisplayLine* selected = selectionLine >= 1 ? table.Line(selectionLine) : nullptr;
    if (selected == nullptr || table.RecordOf(selected) == nullptr) {
        return fromView;
    }
    const int32_t first = selected->lineNumber - selected->groupOffset;
    const int32_t lastOfGroup =
        std::min(first + std::max<int32_t>(selected->groupSize, 1) - 1, last);
    const SelectionView view = RelationToView(first, lastOfGroup, top, bottom);
    if (view != SelectionView::kPartlyVisible && view != SelectionView::kFullyVisible) {
        return fromView;
    }
    // Hits of the same text already shown there: that message was the last find, move past it.
    if (sameText && ShowsSearchHits(table, first)) {
        return SearchStart{forward ? lastOfGroup : first, false};
    }
    return SearchStart{forward ? first : lastOfGroup, true};
}

int32_t ScanForHit(const DisplayLineTable& table, const SearchStart& start, bool forward) {
    const int32_t count = table.LineCount();
    const int32_t s = start.line;
    if (s < 0 || s >= count) {
        return -1;
    }
    HitTester tester(table);
    if (start.testFirst && tester.Test(s)) {
        return s;
    }
    const int32_t last = count - 1;
    if (s == 0) {
        return forward ? tester.Range(1, last) : tester.Range(last, 1);
    }
    int32_t hit = -1;
    if (forward) {
        if (s < last) {
            hit = tester.Range(s + 1, last);
        }
        if (hit < 0 && s > 1) {
            hit = tester.Range(1, s - 1);
        }
    } else {
        if (s > 1) {
            hit = tester.Range(s - 1, 1);
        }
        if (hit < 0 && s < last) {
            hit = tester.Range(last, s + 1);
        }
    }
    // A start that was stepped over (the message found last time) is tested last, so that a
    // one-line message that is the only match is found again instead of "not found".
    if (hit < 0 && !start.testFirst && tester.Test(s)) {
        hit = s;
    }
    return hit;
}

bool SameSearchText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace tessary
