#pragma once
// Texts of the search and related-call aggregations: captions, the start checks' and the run's
// messages, and the templates of the window title and the related-call search (FormatText).
#include <string_view>

namespace tessary {

inline constexpr std::u16string_view kRelatedCallCaption = u"関連呼情報";
inline constexpr std::u16string_view kAggregationTitle = u"INSログデータ集約";

// Start checks of the related call.
inline constexpr std::u16string_view kNoSetupSelected =
    u"集約開始する呼設定メッセージが選択されていません。";
inline constexpr std::u16string_view kNoChannelInSetup =
    u"集約開始する呼設定メッセージにチャネル情報が含まれていか、"
    u"あるいはチャネル番号が特定できません。";

// The run.
inline constexpr std::u16string_view kAggregationWhileConverting =
    u"ログデータ変換は、現在実行中です。";
inline constexpr std::u16string_view kAggregationNoMatch =
    u"検索文字列に該当するINSデータが存在していません。";
inline constexpr std::u16string_view kAggregationCancelledSuffix = u"を中止しました";

// Call reference text: side ("着" incoming, "発" outgoing) and number.
inline constexpr std::u16string_view kCallRefFormat = u"%s%u";
inline constexpr std::u16string_view kCallRefIncoming = u"着";
inline constexpr std::u16string_view kCallRefOutgoing = u"発";
// The search a related call runs: its SETUP, call reference and channel.
inline constexpr std::u16string_view kRelatedCallPattern = u"<-呼設定->|<%s>|<%s>";

// Window titles: the template caption and the search text; the related call with its block,
// call reference and channel.
inline constexpr std::u16string_view kSearchTitleFormat = u"%s  \"%s\"";
inline constexpr std::u16string_view kRelatedCallTitleFormat = u"%s[%c]  \"<%s> | <%s>\"";

}  // namespace tessary
