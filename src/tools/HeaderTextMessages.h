#pragma once
// Texts of the header information window: the summary of a loaded log and the header dump.
// UTF-8; the builders turn them into UTF-16.

namespace tessary::headertext {

inline constexpr const char* kNewLine = "\r\n";

// Common head.
inline constexpr const char* kFolder = "ファイルの場所    : <%s>";
inline constexpr const char* kFileName = "ファイル名        : <%s>";
inline constexpr const char* kFileSize = "ファイル・サイズ  : %s Mbytes (%s bytes)";

// Summary.
inline constexpr const char* kHeaderSize = "ヘッダー・サイズ  : %u bytes ";
inline constexpr const char* kLoopCount = "ループ(折返)有    : %s 回";
inline constexpr const char* kHeadOffset =
    "先頭オフセット    : %04X_%04X[HEX] (ファイル位置=%04X_%04X[HEX])";
inline constexpr const char* kDataBytes = "データ・バイト数  : %s Mbytes (%s bytes)";
inline constexpr const char* kNoValidLength = " ※ヘッダ内の有効データ長無";
inline constexpr const char* kSavedCount = "保存タイムカウント: %04X_%04X[HEX]";
inline constexpr const char* kFirstCount = "先頭タイムカウント: %04X_%04X[HEX]";
inline constexpr const char* kFirstCountGap = " (%llu日 %02u時間%02u分%02u.%03u秒)";
inline constexpr const char* kStart = "ログ出力開始日時  : %s";
inline constexpr const char* kStartCorrection = " (補正%c %llu日 %02u時間%02u分%02u.%03u秒)";
inline constexpr const char* kEnd = "ログ出力終了日時  : %s";
inline constexpr const char* kEndElapsed = " (%llu日 %u時間%02u分%02u.%03u秒)";
inline constexpr const char* kEndFromFileTime = " ※ファイル最終更新日時";
inline constexpr const char* kNoEnd = "ログ出力終了日時  : なし";
inline constexpr const char* kFirstData = "先頭データ日時    : %s";
inline constexpr const char* kFirstDataFailed = "先頭データ日時    : 変換失敗";
inline constexpr const char* kLastData = "最終データ日時    : %s (データ数=%s)";
inline constexpr const char* kLastDataFailed = "最終データ日時    : 変換失敗";
inline constexpr const char* kNoLogData = "有効ログデータ無";
inline constexpr const char* kChannel = "チャネル番号      : %02u (INSトレースタイプ=%u)";
inline constexpr const char* kBoard = "端末ボード種別    : %04X[HEX] ";
inline constexpr const char* kBoard1500 = "<INS1500>";
inline constexpr const char* kBoard64 = "<INS64";
inline constexpr const char* kBulk = "(一括";
inline constexpr const char* kLine1 = "#1";
inline constexpr const char* kLine2 = "#2";
inline constexpr const char* kBulkEnd = ")";
inline constexpr const char* kBoardEnd = ">";

// Header dump failures.
inline constexpr const char* kNoPath = "ログファイル・パス名が指定されていません。";
inline constexpr const char* kOpenNotFound = "ログファイル名が見つかりません。";
inline constexpr const char* kOpenNoFolder = "サブフォルダー名が見つかりません。";
inline constexpr const char* kOpenInUse =
    "他のプロセスで使用されているため、ファイル・オープンできません。";
inline constexpr const char* kOpenNoDrive =
    "ドライブ名、あるいはネットワーク・ディレクトリ名が使用できません。";
inline constexpr const char* kOpenFailed = "ファイル・オープンに失敗しました。Error = %u";
inline constexpr const char* kNoSize = "ファイル・サイズが取得できません。";
inline constexpr const char* kShortHeader =
    "ファイル・ヘッダー情報サイズが不完全です。%u < %u bytes";
inline constexpr const char* kHeaderReadFailed = "ファイル・ヘッダーの読込に失敗しました。";
inline constexpr const char* kShortExtHeader =
    "ファイル拡張ヘッダー情報サイズが不完全です。%u < %u bytes";
inline constexpr const char* kExtReadFailed = "拡張ヘッダーの読込に失敗しました。";
inline constexpr const char* kFailureTail = "%s%s'%s'%s";

// Header dump lines.
inline constexpr const char* kDumpTitle = "--------- ヘッダー情報 ---------";
inline constexpr const char* kDumpStart =
    "+%04X: %s    ; ログ出力開始日時 <%u/%02u/%02u %02u:%02u:%02u>";
inline constexpr const char* kDumpChannel = "+%04X: %s                       ; チャネル番号 <%02u>";
inline constexpr const char* kDumpDataBytes = "+%04X: %s              ; データ・バイト数 <%s>";
inline constexpr const char* kDumpLoops = "+%04X: %s              ; ループ回数 <%s>";
inline constexpr const char* kDumpKind = "+%04X: %s                       ; データ種別 <%u = ";
inline constexpr const char* kDumpKindNames[] = {"アナログ個別>", "INS個別>", nullptr,
                                                 "アナログ一括>", "INS64一括>"};
inline constexpr const char* kDumpKindUnnamed = ">";
inline constexpr const char* kDumpTrace = "+%04X: %s                       ; %s <%u>";
inline constexpr const char* kTraceRegister = "任意レジスタ番号";
inline constexpr const char* kTraceIns = "INSトレースタイプ";
inline constexpr const char* kTraceOther = "情報種別";
inline constexpr const char* kDumpBoard =
    "+%04X: %s                    ; 端末ボード種別 <BD_STS = %04Xh>";
inline constexpr const char* kDumpCount = "+%04X: %s              ; ";
inline constexpr const char* kCountRegister = "任意レジスタ値 (0=下位12bit, 1=上位12bit)";
inline constexpr const char* kCountIns = "1ms毎タイムカウント値";
inline constexpr const char* kCountInsValue = " <%04X_%04Xh>";
inline constexpr const char* kCountOther = "付加情報";
inline constexpr const char* kDumpExtLength =
    "+%04X: %s                       ; 拡張ヘッダ格納バイト数 <%u>";
inline constexpr const char* kDumpNibbles =
    "+%04X: %s                       ; ログ出力日時補正値の上位4bit <開始=%Xh, 終了=%Xh>";
inline constexpr const char* kDumpMilliseconds =
    "+%04X: %s                    ; ログ出力開始日時1ms位の値 <%03u>";
inline constexpr const char* kDumpCorrection =
    "+%04X: %s              ; ログ出力開始日時補正値の下位32bit";
inline constexpr const char* kDumpEndValue =
    "+%04X: %s              ; ログ出力終了日時補正値の下位32bit";
inline constexpr const char* kDumpDateTime = " <%s>";
inline constexpr const char* kDumpRaw36 = " <%X_%04X_%04Xh>";
inline constexpr const char* kDumpReserved = "+%04X: %s              ; (予約)";
inline constexpr const char* kDumpReservedBreak = "\r\n       ";
inline constexpr const char* kDumpEnd = "+%04X:                          ; (%u bytes)";

// Out of memory while building a text (shown in a message box).
inline constexpr const char* kNoMemoryDump =
    "メモリ不足のため、ログファイル・ヘッダ情報は表示できません。";
inline constexpr const char* kNoMemorySummary =
    "メモリ不足のため、ファイル・プロパティは表示できません。";
inline constexpr const char* kNoLogLoaded = "INSログファイルが読み込まれていません。";

}  // namespace tessary::headertext
