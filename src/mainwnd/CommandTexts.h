#pragma once
// Messages, questions and captions of the main window's commands.
#include <string_view>

namespace tessary {

// Search.
inline constexpr std::u16string_view kSearchFailedCaption = u"検索失敗";
inline constexpr std::u16string_view kSearchNoMemory = u"検索用のメモリが不足しています。";
inline constexpr std::u16string_view kSearchBadPattern = u"検索文字列形式が不正です。";
inline constexpr std::u16string_view kSearchNotFound = u"検索条件に一致する文字列は見つかりません";
inline constexpr std::u16string_view kSearchHistoryFailed =
    u"検索文字列用コンボボックス・リスト登録失敗";
inline constexpr std::u16string_view kClearSearchHistoryQuestion =
    u"検索履歴文字列リストを全て削除します。\n\nよろしいですか？";
inline constexpr std::u16string_view kClearSearchHistoryCaption = u"検索履歴文字列リスト削除確認";

// Recent files.
inline constexpr std::u16string_view kRecentMenuFailed =
    u"履歴ファイル名のメニュー登録に失敗しました。";
inline constexpr std::u16string_view kRecentAccessDenied =
    u"ログファイルのアクセスが拒否されました。\n\n'%s'\n\n別のプログラムで使用されている可能性があ"
    u"ります。";
inline constexpr std::u16string_view kRecentAccessDeniedCaption = u"ログファイル読込不可";
inline constexpr std::u16string_view kRecentNotFound =
    u"ログファイルが見つかりません。\n\n'%s'\n\n履歴リストから削除しますか？";
inline constexpr std::u16string_view kRecentRemoveCaption = u"履歴ファイル名削除確認";
inline constexpr std::u16string_view kClearRecentQuestion =
    u"履歴ファイル名リストを全て削除します。\n\nよろしいですか？";

// Pane font.
inline constexpr std::u16string_view kPaneFontFailed =
    u"固定ピッチ・フォントの作成に失敗しました。";

// Range copy.
inline constexpr std::u16string_view kCopyRunning = u"表示内容コピー中...";

}  // namespace tessary
