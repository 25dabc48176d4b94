#pragma once
// Texts of the header information window: the summary of a loaded log and the header dump
// (templates for FormatText).
#include <string_view>

namespace tessary::headertext {

inline constexpr std::u16string_view kNewLine = u"\r\n";

// Common head.
inline constexpr std::u16string_view kFolder = u"ファイルの場所    : <%s>";
inline constexpr std::u16string_view kFileName = u"ファイル名        : <%s>";
inline constexpr std::u16string_view kFileSize = u"ファイル・サイズ  : %s Mbytes (%s bytes)";

// Summary.
inline constexpr std::u16string_view kHeaderSize = u"ヘッダー・サイズ  : %u bytes ";
inline constexpr std::u16string_view kLoopCount = u"ループ(折返)有    : %s 回";
inline constexpr std::u16string_view kHeadOffset =
    u"先頭オフセット    : %04X_%04X[HEX] (ファイル位置=%04X_%04X[HEX])";
inline constexpr std::u16string_view kDataBytes = u"データ・バイト数  : %s Mbytes (%s bytes)";
inline constexpr std::u16string_view kNoValidLength = u" ※ヘッダ内の有効データ長無";
inline constexpr std::u16string_view kSavedCount = u"保存タイムカウント: %04X_%04X[HEX]";
inline constexpr std::u16string_view kFirstCount = u"先頭タイムカウント: %04X_%04X[HEX]";
inline constexpr std::u16string_view kFirstCountGap = u" (%llu日 %02u時間%02u分%02u.%03u秒)";
inline constexpr std::u16string_view kStart = u"ログ出力開始日時  : %s";
inline constexpr std::u16string_view kStartCorrection =
    u" (補正%c %llu日 %02u時間%02u分%02u.%03u秒)";
inline constexpr std::u16string_view kEnd = u"ログ出力終了日時  : %s";
inline constexpr std::u16string_view kEndElapsed = u" (%llu日 %u時間%02u分%02u.%03u秒)";
inline constexpr std::u16string_view kEndFromFileTime = u" ※ファイル最終更新日時";
inline constexpr std::u16string_view kNoEnd = u"ログ出力終了日時  : なし";
inline constexpr std::u16string_view kFirstData = u"先頭データ日時    : %s";
inline constexpr std::u16string_view kFirstDataFailed = u"先頭データ日時    : 変換失敗";
inline constexpr std::u16string_view kLastData = u"最終データ日時    : %s (データ数=%s)";
inline constexpr std::u16string_view kLastDataFailed = u"最終データ日時    : 変換失敗";
inline constexpr std::u16string_view kNoLogData = u"有効ログデータ無";
inline constexpr std::u16string_view kChannel = u"チャネル番号      : %02u (INSトレースタイプ=%u)";
inline constexpr std::u16string_view kBoard = u"端末ボード種別    : %04X[HEX] ";
inline constexpr std::u16string_view kBoard1500 = u"<INS1500>";
inline constexpr std::u16string_view kBoard64 = u"<INS64";
inline constexpr std::u16string_view kBulk = u"(一括";
inline constexpr std::u16string_view kLine1 = u"#1";
inline constexpr std::u16string_view kLine2 = u"#2";
inline constexpr std::u16string_view kBulkEnd = u")";
inline constexpr std::u16string_view kBoardEnd = u">";

// Header dump failures.
inline constexpr std::u16string_view kNoPath = u"ログファイル・パス名が指定されていません。";
inline constexpr std::u16string_view kOpenNotFound = u"ログファイル名が見つかりません。";
inline constexpr std::u16string_view kOpenNoFolder = u"サブフォルダー名が見つかりません。";
inline constexpr std::u16string_view kOpenInUse =
    u"他のプロセスで使用されているため、ファイル・オープンできません。";
inline constexpr std::u16string_view kOpenNoDrive =
    u"ドライブ名、あるいはネットワーク・ディレクトリ名が使用できません。";
inline constexpr std::u16string_view kOpenFailed = u"ファイル・オープンに失敗しました。Error = %u";
inline constexpr std::u16string_view kNoSize = u"ファイル・サイズが取得できません。";
inline constexpr std::u16string_view kShortHeader =
    u"ファイル・ヘッダー情報サイズが不完全です。%u < %u bytes";
inline constexpr std::u16string_view kHeaderReadFailed =
    u"ファイル・ヘッダーの読込に失敗しました。";
inline constexpr std::u16string_view kShortExtHeader =
    u"ファイル拡張ヘッダー情報サイズが不完全です。%u < %u bytes";
inline constexpr std::u16string_view kExtReadFailed = u"拡張ヘッダーの読込に失敗しました。";
inline constexpr std::u16string_view kFailureTail = u"%s%s'%s'%s";

// Header dump lines.
inline constexpr std::u16string_view kDumpTitle = u"--------- ヘッダー情報 ---------";
inline constexpr std::u16string_view kDumpStart =
    u"+%04X: %s    ; ログ出力開始日時 <%u/%02u/%02u %02u:%02u:%02u>";
inline constexpr std::u16string_view kDumpChannel =
    u"+%04X: %s                       ; チャネル番号 <%02u>";
inline constexpr std::u16string_view kDumpDataBytes =
    u"+%04X: %s              ; データ・バイト数 <%s>";
inline constexpr std::u16string_view kDumpLoops = u"+%04X: %s              ; ループ回数 <%s>";
inline constexpr std::u16string_view kDumpKind =
    u"+%04X: %s                       ; データ種別 <%u = ";
// Kind 2 has no label.
inline constexpr std::u16string_view kDumpKindNames[] = {
    u"アナログ個別>", u"INS個別>", {}, u"アナログ一括>", u"INS64一括>"};
inline constexpr std::u16string_view kDumpKindUnnamed = u">";
inline constexpr std::u16string_view kDumpTrace = u"+%04X: %s                       ; %s <%u>";
inline constexpr std::u16string_view kTraceRegister = u"任意レジスタ番号";
inline constexpr std::u16string_view kTraceIns = u"INSトレースタイプ";
inline constexpr std::u16string_view kTraceOther = u"情報種別";
inline constexpr std::u16string_view kDumpBoard =
    u"+%04X: %s                    ; 端末ボード種別 <BD_STS = %04Xh>";
inline constexpr std::u16string_view kDumpCount = u"+%04X: %s              ; ";
inline constexpr std::u16string_view kCountRegister = u"任意レジスタ値 (0=下位12bit, 1=上位12bit)";
inline constexpr std::u16string_view kCountIns = u"1ms毎タイムカウント値";
inline constexpr std::u16string_view kCountInsValue = u" <%04X_%04Xh>";
inline constexpr std::u16string_view kCountOther = u"付加情報";
inline constexpr std::u16string_view kDumpExtLength =
    u"+%04X: %s                       ; 拡張ヘッダ格納バイト数 <%u>";
inline constexpr std::u16string_view kDumpNibbles =
    u"+%04X: %s                       ; ログ出力日時補正値の上位4bit <開始=%Xh, 終了=%Xh>";
inline constexpr std::u16string_view kDumpMilliseconds =
    u"+%04X: %s                    ; ログ出力開始日時1ms位の値 <%03u>";
inline constexpr std::u16string_view kDumpCorrection =
    u"+%04X: %s              ; ログ出力開始日時補正値の下位32bit";
inline constexpr std::u16string_view kDumpEndValue =
    u"+%04X: %s              ; ログ出力終了日時補正値の下位32bit";
inline constexpr std::u16string_view kDumpDateTime = u" <%s>";
inline constexpr std::u16string_view kDumpRaw36 = u" <%X_%04X_%04Xh>";
inline constexpr std::u16string_view kDumpReserved = u"+%04X: %s              ; (予約)";
inline constexpr std::u16string_view kDumpReservedBreak = u"\r\n       ";
inline constexpr std::u16string_view kDumpEnd = u"+%04X:                          ; (%u bytes)";

// Out of memory while building a text (shown in a message box).
inline constexpr std::u16string_view kNoMemoryDump =
    u"メモリ不足のため、ログファイル・ヘッダ情報は表示できません。";
inline constexpr std::u16string_view kNoMemorySummary =
    u"メモリ不足のため、ファイル・プロパティは表示できません。";
inline constexpr std::u16string_view kNoLogLoaded = u"INSログファイルが読み込まれていません。";

}  // namespace tessary::headertext
