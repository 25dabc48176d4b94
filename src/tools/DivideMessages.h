#pragma once
// Texts of the log file divide (templates for FormatText).
#include <string_view>

namespace tessary::dividetext {

// The output file name: folder, base name, part number, date and extension. A file name, so
// it is written in the platform's file-name bytes (UTF-8) rather than as a window's text.
inline constexpr char kOutputName[] = "%s%s_分割-%d_%u%02u%02u%s";
inline constexpr std::u16string_view kStatus = u"分割個数=%d, 警告数=%u";
inline constexpr std::u16string_view kCorrectionApplied = u"補正されたログ出力開始日時を適用します";

// The dialog's tooltips and its open-file dialog.
inline constexpr std::u16string_view kTipTakeDisplayed =
    u"現在表示中のログファイルを、分割元ログファイル名に設定";
inline constexpr std::u16string_view kTipTakeFolder =
    u"分割元のサブフォルダーを、分割先フォルダー名に設定";
inline constexpr std::u16string_view kBrowseTitle = u"分割するログファイルの選択";
inline constexpr std::u16string_view kBrowseFilter =
    u"INS ログファイル (*.dat)|*.dat|すべてのファイル (*.*)|*.*||";
inline constexpr std::u16string_view kBrowseExtension = u"dat";

inline constexpr std::u16string_view kTitleDivide = u"ログファイル分割";
inline constexpr std::u16string_view kTitleRead = u"ログファイル読込";
inline constexpr std::u16string_view kSubtitleFirst = u"1 / 2";
inline constexpr std::u16string_view kSubtitleSecond = u"2 / 2";

// Checks before the run.
inline constexpr std::u16string_view kSourceCaption = u"分割元ログファイル不正";
inline constexpr std::u16string_view kFolderCaption = u"分割先フォルダー不正";
inline constexpr std::u16string_view kNoSource = u"分割元ログファイル名が入力されていません。";
inline constexpr std::u16string_view kNoFolder = u"分割先フォルダー名が入力されていません。";
inline constexpr std::u16string_view kFolderMissing = u"分割先フォルダーは存在していません。";
inline constexpr std::u16string_view kSourceNotFound = u"分割元ログファイルは存在していません。";
inline constexpr std::u16string_view kSourceNoFolder =
    u"分割元のサブフォルダーは存在していません。";
inline constexpr std::u16string_view kSourceDenied =
    u"分割元ログファイルは読込モードでオープンできません。";
inline constexpr std::u16string_view kSourceOpenFailed =
    u"分割元ログファイルがオープンできません。 \n\nError = %u";
inline constexpr std::u16string_view kSourceReadFailed =
    u"分割元ログファイルがリードできません。\n\nError = %u";
inline constexpr std::u16string_view kSourceFormat =
    u"分割元ログファイルは、リアルタイム出力ログファイル形式ではありません。";
inline constexpr std::u16string_view kSourceNoMemory =
    u"メモリ不足のため、分割元ログファイル読込は失敗しました。";
inline constexpr std::u16string_view kSourceNotIns =
    u"分割元ログファイルは、INS回線用ではありません。";

// Results.
inline constexpr std::u16string_view kDone = u"正常終了";
inline constexpr std::u16string_view kCannotStart = u"分割元ログファイルは、読込開始できません。";
inline constexpr std::u16string_view kAborted = u"実行中止";
inline constexpr std::u16string_view kNoData =
    u"分割元ログファイルには、有効データが存在していません。";
inline constexpr std::u16string_view kNoThread =
    u"ログデータ抽出スレッドの起動に失敗しました。\n\nError = %u";
inline constexpr std::u16string_view kWriteFailed =
    u"分割先フォルダー内の、ログファイル書込に失敗しました。\n\nError = %u%s\n\n'%s'";
inline constexpr std::u16string_view kWriteProtected = u" (書込禁止)";
inline constexpr std::u16string_view kResourceFailure =
    u"ログデータ抽出実行中に、リソース異常が発生しました。\n\nError = %u";
inline constexpr std::u16string_view kStatusJoin = u": ";
inline constexpr std::u16string_view kFailedEnd = u"失敗終了: ";
inline constexpr std::u16string_view kFailedCaption = u"ログファイル分割失敗";

}  // namespace tessary::dividetext
