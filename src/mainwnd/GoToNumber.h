#pragma once
// The jumps of the selection group: to a display line number and to a message index number
// typed into their edits, with the message-pane texts they report.
#include <cstdint>
#include <string>
#include <string_view>

#include "display/DisplayLineTable.h"

namespace tessary {

inline constexpr std::u16string_view kGoToLineBelowFirst = u"行番号不正のため、先頭データ表示";
inline constexpr std::u16string_view kGoToLineAboveLast = u"行番号不正のため、最終データ表示";
inline constexpr std::u16string_view kGoToLineNoData = u"入力行番号に該当するデータはありません";
inline constexpr std::u16string_view kGoToIndexBelowFirst =
    u"インデックス番号不正のため、先頭データ表示";
inline constexpr std::u16string_view kGoToIndexAboveLast =
    u"インデックス番号不正のため、最終データ表示";
inline constexpr std::u16string_view kGoToIndexNoData =
    u"入力されたインデックス番号に該当するデータはありません";

// The number typed into a line or index edit: every ',' removed (digit grouping), cut at the
// first '.', blanks trimmed, then an optional sign and decimal digits up to the first other
// character. No digits give 0; values beyond 64 bits saturate.
int64_t ReadEditNumber(std::u16string_view text);

struct GoToResult {
    bool possible = false;   // false: the table has no message line (nothing happens, no message)
    int32_t line = -1;       // a line of the message to show and select (at its group start)
    std::u16string message;  // for the message pane, or empty
};

// Line number N: clamped to 1..M (M the last line with a message other than the title, with a
// message when clamped); the first line at or after N with a message, wrapping to line 1.
GoToResult GoToLineNumber(const DisplayLineTable& table, int64_t number);

// Index number N: clamped to the Ids of the table's first and last message (with a message
// when clamped); the first converter record between those two whose Id is N decides: its
// first display line in this table, or the no-data message when it has none here.
GoToResult GoToIndexNumber(const DisplayLineTable& table, int64_t number);

}  // namespace tessary
