#pragma once
// The display-line side of a search: where the selected message stands against the visible
// lines, where a find next/previous starts, and the wrapping scan for the next line whose
// record the search condition takes.
#include <cstdint>
#include <string_view>

#include "display/DisplayLineTable.h"

namespace tessary {

// Where the selected message stands against the visible lines.
enum class SelectionView { kUnknown, kOutside, kPartlyVisible, kFullyVisible };

// first..last: the selected message's first and last display line; top..bottom: the top and
// bottom visible display lines. Any of them below 0 gives kUnknown.
SelectionView RelationToView(int32_t first, int32_t last, int32_t top, int32_t bottom);

// Lines of a message looked at for hit flags; a taller message is judged by its head.
inline constexpr int32_t kHitLookLines = 32;

// Whether one of the first kHitLookLines display lines of the message whose first line is
// `first` holds a cell flagged as a search hit.
bool ShowsSearchHits(const DisplayLineTable& table, int32_t first);

struct SearchStart {
    int32_t line = 0;       // the starting line
    bool testFirst = true;  // false: step once before the first test
};

// Where a find starts: from the visible top (forward) or bottom (backward) unless the selected
// message is in view; then from the selected message itself, or just past it when it already
// shows hits of the same text. `selectionLine` is -1 without selection; `sameText` tells that
// the text equals the previous search text. A missing top or bottom starts at the table's
// first or last message line.
SearchStart SearchStartOf(const DisplayLineTable& table, int32_t selectionLine, int32_t top,
                          int32_t bottom, bool forward, bool sameText);

// The first line from `start` in the direction whose record the table's search condition takes
// (MarkSearchHits without applying answers above 0). Forward past the last line wraps to line
// 1, backward below line 1 to the last line; line 0 (the title row) is tested only as the
// start; the scan ends when it comes back to the start. The hit line, or -1 for none (also for
// a start outside the table).
int32_t ScanForHit(const DisplayLineTable& table, const SearchStart& start, bool forward);

// Same length and equal ignoring the case of ASCII letters.
bool SameSearchText(std::u16string_view a, std::u16string_view b);

}  // namespace tessary
