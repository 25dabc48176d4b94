#pragma once
// The texts the option dialog and its pages show: messages, captions, tooltips and the fixed
// texts of the controls that the pages fill in themselves.
#include <string_view>

namespace tessary::res {

// Option dialog.
inline constexpr std::u16string_view kOptionFontFailed = u"表示フォントの作成に失敗しました。";
inline constexpr std::u16string_view kOptionTooltipFailed = u"ツールチップの作成に失敗しました。";
inline constexpr std::u16string_view kOptionPageFailed = u"タブページの作成に失敗しました。";
inline constexpr std::u16string_view kOptionLoadFailed = u"タブページの初期設定に失敗しました。";
inline constexpr std::u16string_view kOptionApplyCaption = u"オプション設定失敗";
// The failing rule numbers joined by ", " follow.
inline constexpr std::u16string_view kOptionBadPattern =
    u"強調表示ページの「検索文字」が不正です。\n\nID = ";
inline constexpr std::u16string_view kOptionRowSeparator = u", ";
inline constexpr std::u16string_view kOptionResetQuestion =
    u"全てのオプション設定を初期状態に戻します。\n\nよろしいですか？\n\n"
    u"※ログデータ表示中は、ログファイルが再読込されます。";
inline constexpr std::u16string_view kOptionResetCaption = u"全設定初期化";

// Mark page.
inline constexpr std::u16string_view kMarkNoHistory = u"(メイン画面の検索履歴なし)";
inline constexpr std::u16string_view kMarkHistoryTip = u"メイン画面の検索履歴を参照";

// Colour page.
inline constexpr std::u16string_view kColorTextTitle = u"の文字色";
inline constexpr std::u16string_view kColorBackTitle = u"の背景色";
inline constexpr std::u16string_view kColorResetQuestion =
    u"全ての設定項目をデフォルト色に戻します。\n\nよろしいですか？";
inline constexpr std::u16string_view kColorCaption = u"文字色";
inline constexpr std::u16string_view kColorNoSelection =
    u"文字色項目名リストボックスが選択されていません。";
inline constexpr int kColorListPointTenths = 105;

// After the dialog: the main window could not show the new block titles.
inline constexpr std::u16string_view kTitlesNotRedisplayed =
    u"更新されたブロック・タイトル名の再表示に失敗しました。\n\n"
    u"更新前のタイトル名が表示されます。";

}  // namespace tessary::res
