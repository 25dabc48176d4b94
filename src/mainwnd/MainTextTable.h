#pragma once
// Texts of the main window's status panes, selection group and context menu that the core
// builds (templates for FormatText where a number goes in).
#include <cstddef>
#include <string_view>

namespace tessary {

// Header notes of status pane 4.
inline constexpr std::u16string_view kNoteNoEndTime = u"出力終了日時無";
inline constexpr std::u16string_view kNoteNoTimeCount = u"ﾀｲﾑｶｳﾝﾄ値無";
inline constexpr std::u16string_view kNoteNoDataLength = u"有効ﾃﾞｰﾀ長無";
inline constexpr std::u16string_view kWarningCountFormat = u"警告数=%u";

// Status panes under the mouse; pane 1 is right-aligned to its width in characters.
inline constexpr size_t kLinePaneWidth = 13;
inline constexpr std::u16string_view kIdPaneFormat = u" %02u %05u";
inline constexpr std::u16string_view kDatePaneFormat = u" %u/%02u/%02u";
inline constexpr std::u16string_view kIndexNumberFormat = u"%07u";

// Selection time text.
inline constexpr std::u16string_view kTimeKey = u"TM=";
inline constexpr std::u16string_view kWarningKey = u"Warning=";

// LAPD detail line of the context menu (item 34015).
inline constexpr std::u16string_view kTeiFormat = u"TEI=%u ";
inline constexpr std::u16string_view kTeiUnknown = u"TEI=不明 ";
inline constexpr std::u16string_view kIFrameFormat = u"[ I ]： N(S)=%u, N(R)=%u";
inline constexpr std::u16string_view kRrFormat = u"[RR]： N(R)=%u";
inline constexpr std::u16string_view kRnrFormat = u"[RNR]： N(R)=%u";
inline constexpr std::u16string_view kRejFormat = u"[REJ]： N(R)=%u";

}  // namespace tessary
