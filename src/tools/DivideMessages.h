#pragma once
// Texts of the log file divide (UTF-8).

namespace tessary::dividetext {

inline constexpr const char* kOutputName = "%s%s_分割-%d_%u%02u%02u%s";
inline constexpr const char* kStatus = "分割個数=%d, 警告数=%u";
inline constexpr const char* kCorrectionApplied = "補正されたログ出力開始日時を適用します";

// The dialog's tooltips and its open-file dialog.
inline constexpr const char* kTipTakeDisplayed =
    "現在表示中のログファイルを、分割元ログファイル名に設定";
inline constexpr const char* kTipTakeFolder = "分割元のサブフォルダーを、分割先フォルダー名に設定";
inline constexpr const char* kBrowseTitle = "分割するログファイルの選択";
inline constexpr const char* kBrowseFilter =
    "INS ログファイル (*.dat)|*.dat|すべてのファイル (*.*)|*.*||";
inline constexpr const char* kBrowseExtension = "dat";

inline constexpr const char* kTitleDivide = "ログファイル分割";
inline constexpr const char* kTitleRead = "ログファイル読込";
inline constexpr const char* kSubtitleFirst = "1 / 2";
inline constexpr const char* kSubtitleSecond = "2 / 2";

// Checks before the run.
inline constexpr const char* kSourceCaption = "分割元ログファイル不正";
inline constexpr const char* kFolderCaption = "分割先フォルダー不正";
inline constexpr const char* kNoSource = "分割元ログファイル名が入力されていません。";
inline constexpr const char* kNoFolder = "分割先フォルダー名が入力されていません。";
inline constexpr const char* kFolderMissing = "分割先フォルダーは存在していません。";
inline constexpr const char* kSourceNotFound = "分割元ログファイルは存在していません。";
inline constexpr const char* kSourceNoFolder = "分割元のサブフォルダーは存在していません。";
inline constexpr const char* kSourceDenied = "分割元ログファイルは読込モードでオープンできません。";
inline constexpr const char* kSourceOpenFailed =
    "分割元ログファイルがオープンできません。 \n\nError = %u";
inline constexpr const char* kSourceReadFailed =
    "分割元ログファイルがリードできません。\n\nError = %u";
inline constexpr const char* kSourceFormat =
    "分割元ログファイルは、リアルタイム出力ログファイル形式ではありません。";
inline constexpr const char* kSourceNoMemory =
    "メモリ不足のため、分割元ログファイル読込は失敗しました。";
inline constexpr const char* kSourceNotIns = "分割元ログファイルは、INS回線用ではありません。";

// Results.
inline constexpr const char* kDone = "正常終了";
inline constexpr const char* kCannotStart = "分割元ログファイルは、読込開始できません。";
inline constexpr const char* kAborted = "実行中止";
inline constexpr const char* kNoData = "分割元ログファイルには、有効データが存在していません。";
inline constexpr const char* kNoThread =
    "ログデータ抽出スレッドの起動に失敗しました。\n\nError = %u";
inline constexpr const char* kWriteFailed =
    "分割先フォルダー内の、ログファイル書込に失敗しました。\n\nError = %u%s\n\n'%s'";
inline constexpr const char* kWriteProtected = " (書込禁止)";
inline constexpr const char* kResourceFailure =
    "ログデータ抽出実行中に、リソース異常が発生しました。\n\nError = %u";
inline constexpr const char* kStatusJoin = ": ";
inline constexpr const char* kFailedEnd = "失敗終了: ";
inline constexpr const char* kFailedCaption = "ログファイル分割失敗";

}  // namespace tessary::dividetext
