#pragma once
// Texts of the start date/time correction and its overwrite save (templates for FormatText).
#include <string_view>

namespace tessary::correctiontext {

// The correction window.
inline constexpr std::u16string_view kNoLog = u"INSログファイルが読み込まれていません。";
inline constexpr std::u16string_view kNoLine = u"補正元のINSログデータが指定されていません。";
inline constexpr std::u16string_view kInvalidLine = u"有効なINSログデータ指定されていません。";
inline constexpr std::u16string_view kGroupCorrection = u"[%c %llu日 %02u時間%02u分%02u.%03u秒]";
inline constexpr std::u16string_view kGroupNone = u"無";
inline constexpr std::u16string_view kBadFormat =
    u"日付と時刻の入力形式が不正です。\n\n「年(西暦)/月/日 "
    u"時:分:秒(小数点以下は1ms単位まで指定可)」";
inline constexpr std::u16string_view kUnchanged =
    u"入力された補正日時は、現在日時から変更されていません。";
inline constexpr std::u16string_view kOutOfRange =
    u"入力された補正日時は、設定可能範囲を超えています。";
inline constexpr std::u16string_view kConfirm =
    u"ログデータ出力日時を補正します。よろしいですか？\n\n補正前 「%s」\n\n補正後 「%s」";
inline constexpr std::u16string_view kConfirmCaption = u"補正確認";
inline constexpr std::u16string_view kTooltipFailed = u"ツールチップの作成に失敗しました。";
inline constexpr std::u16string_view kTipCurrent = u"元のログデータ出力日時に戻す";
inline constexpr std::u16string_view kTipReset = u"ログファイル作成時のログデータ出力日時に戻す";
inline constexpr std::u16string_view kTipApply = u"入力された日時を設定して、ログデータ表示更新";

// The unsaved-correction check.
inline constexpr std::u16string_view kCorrected =
    u"表示中のログデータは、ログ出力開始日時が補正されています。\n\n";
inline constexpr std::u16string_view kBeforeOpen =
    u"新規にファイルを開く前に、ファイル保存しますか？\n\n「はい」をクリックすると、表示中のログフ"
    u"ァ"
    u"イルに上書保存します。\n\n「いいえ」をクリックすると、ファイル保存されません。";
inline constexpr std::u16string_view kBeforeOpenCaption = u"INSログファイルを開く";
inline constexpr std::u16string_view kBeforeExit =
    u"終了する前に、ファイル保存しますか？\n\n「はい」をクリックすると、表示中のログファイルに上書"
    u"保"
    u"存します。\n\n「いいえ」をクリックすると、ファイル保存されません。";
inline constexpr std::u16string_view kBeforeExitCaption = u"終了";

// The overwrite save.
inline constexpr std::u16string_view kSaveCaption = u"出力開始日時補正値保存";
inline constexpr std::u16string_view kSaveConfirm =
    u"補正日時を表示中のログファイルに上書き保存します。\n\nよろしいですか？\n\n'%s'";
inline constexpr std::u16string_view kSaveConfirmCaption = u"ファイル上書き保存";
inline constexpr std::u16string_view kSaveOutOfRange =
    u"開始日時補正値が設定可能範囲を超えているため、ファイル保存されません。\n\n'%s'";
inline constexpr std::u16string_view kSaveFailed =
    u"INSログファイルの上書保存に失敗しました。\n\n'%s'\n\n%s";
inline constexpr std::u16string_view kSaveNotFound = u"表示中のログファイルが見つかりません。";
inline constexpr std::u16string_view kSaveProtected = u"表示中のログファイルは上書禁止です。";
inline constexpr std::u16string_view kSaveError = u"Error = %u";

}  // namespace tessary::correctiontext
