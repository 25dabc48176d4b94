#pragma once
// Texts of the start date/time correction and its overwrite save (UTF-8).

namespace tessary::correctiontext {

// The correction window.
inline constexpr const char* kNoLog = "INSログファイルが読み込まれていません。";
inline constexpr const char* kNoLine = "補正元のINSログデータが指定されていません。";
inline constexpr const char* kInvalidLine = "有効なINSログデータ指定されていません。";
inline constexpr const char* kGroupCorrection = "[%c %llu日 %02u時間%02u分%02u.%03u秒]";
inline constexpr const char* kGroupNone = "無";
inline constexpr const char* kBadFormat =
    "日付と時刻の入力形式が不正です。\n\n「年(西暦)/月/日 "
    "時:分:秒(小数点以下は1ms単位まで指定可)」";
inline constexpr const char* kUnchanged = "入力された補正日時は、現在日時から変更されていません。";
inline constexpr const char* kOutOfRange = "入力された補正日時は、設定可能範囲を超えています。";
inline constexpr const char* kConfirm =
    "ログデータ出力日時を補正します。よろしいですか？\n\n補正前 「%s」\n\n補正後 「%s」";
inline constexpr const char* kConfirmCaption = "補正確認";
inline constexpr const char* kTooltipFailed = "ツールチップの作成に失敗しました。";
inline constexpr const char* kTipCurrent = "元のログデータ出力日時に戻す";
inline constexpr const char* kTipReset = "ログファイル作成時のログデータ出力日時に戻す";
inline constexpr const char* kTipApply = "入力された日時を設定して、ログデータ表示更新";

// The unsaved-correction check.
inline constexpr const char* kCorrected =
    "表示中のログデータは、ログ出力開始日時が補正されています。\n\n";
inline constexpr const char* kBeforeOpen =
    "新規にファイルを開く前に、ファイル保存しますか？\n\n「はい」をクリックすると、表示中のログファ"
    "イルに上書保存します。\n\n「いいえ」をクリックすると、ファイル保存されません。";
inline constexpr const char* kBeforeOpenCaption = "INSログファイルを開く";
inline constexpr const char* kBeforeExit =
    "終了する前に、ファイル保存しますか？\n\n「はい」をクリックすると、表示中のログファイルに上書保"
    "存します。\n\n「いいえ」をクリックすると、ファイル保存されません。";
inline constexpr const char* kBeforeExitCaption = "終了";

// The overwrite save.
inline constexpr const char* kSaveCaption = "出力開始日時補正値保存";
inline constexpr const char* kSaveConfirm =
    "補正日時を表示中のログファイルに上書き保存します。\n\nよろしいですか？\n\n'%s'";
inline constexpr const char* kSaveConfirmCaption = "ファイル上書き保存";
inline constexpr const char* kSaveOutOfRange =
    "開始日時補正値が設定可能範囲を超えているため、ファイル保存されません。\n\n'%s'";
inline constexpr const char* kSaveFailed =
    "INSログファイルの上書保存に失敗しました。\n\n'%s'\n\n%s";
inline constexpr const char* kSaveNotFound = "表示中のログファイルが見つかりません。";
inline constexpr const char* kSaveProtected = "表示中のログファイルは上書禁止です。";
inline constexpr const char* kSaveError = "Error = %u";

}  // namespace tessary::correctiontext
