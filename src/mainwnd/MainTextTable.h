#pragma once
// Texts of the main window's status panes, selection group and context menu that the core
// builds (UTF-8 printf formats where a number goes in).
#include <cstddef>
#include <string_view>

namespace tessary {

// Header notes of status pane 4.
inline constexpr std::u16string_view kNoteNoEndTime = u"出力終了日時無";
inline constexpr std::u16string_view kNoteNoTimeCount = u"ﾀｲﾑｶｳﾝﾄ値無";
inline constexpr std::u16string_view kNoteNoDataLength = u"有効ﾃﾞｰﾀ長無";
inline constexpr char kWarningCountFormat[] = "警告数=%u";

// Status panes under the mouse; pane 1 is right-aligned to its width in characters.
inline constexpr size_t kLinePaneWidth = 13;
inline constexpr char kIdPaneFormat[] = " %02u %05u";
inline constexpr char kDatePaneFormat[] = " %u/%02u/%02u";
inline constexpr char kIndexNumberFormat[] = "%07u";

// Selection time text.
inline constexpr std::u16string_view kTimeKey = u"TM=";
inline constexpr std::u16string_view kWarningKey = u"Warning=";

// LAPD detail line of the context menu (item 34015).
inline constexpr char kTeiFormat[] = "TEI=%u ";
inline constexpr char kTeiUnknown[] = "TEI=不明 ";
inline constexpr char kIFrameFormat[] = "[ I ]： N(S)=%u, N(R)=%u";
inline constexpr char kRrFormat[] = "[RR]： N(R)=%u";
inline constexpr char kRnrFormat[] = "[RNR]： N(R)=%u";
inline constexpr char kRejFormat[] = "[REJ]： N(R)=%u";

}  // namespace tessary
