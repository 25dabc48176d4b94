#pragma once
// The texts of the call list window: caption, filter label and column titles.
#include <string_view>

namespace tessary::calls {

inline constexpr std::u16string_view kCallListCaption = u"呼一覧";
inline constexpr std::u16string_view kFilterLabel = u"絞り込み(&F):";
inline constexpr std::u16string_view kNoLogText = u"INSログファイルが読み込まれていません。";
inline constexpr std::u16string_view kMakingText = u"呼一覧を作成しています...";

enum CallColumn {
    kColumnIndex,
    kColumnId,
    kColumnStart,
    kColumnLine,
    kColumnCallRef,
    kColumnCalling,
    kColumnCalled,
    kColumnBearer,
    kColumnSetupChannel,
    kColumnChannel,
    kColumnAlerting,
    kColumnConnect,
    kColumnClearing,
    kColumnDuration,
    kColumnResult,
    kColumnCause,
    kColumnCauseFrom,
    kColumnMessages,
    kColumnCount
};

inline constexpr std::u16string_view kColumnTitles[kColumnCount] = {
    u"ｲﾝﾃﾞｯｸｽ番号", u"ID",       u"呼設定日時", u"回線",     u"呼番号",   u"発番号",
    u"着番号",      u"伝能",     u"CH(呼設定)", u"CH",       u"呼出",     u"応答",
    u"切断",        u"通話時間", u"結果",       u"理由表示", u"理由送出", u"ﾒｯｾｰｼﾞ数"};

}  // namespace tessary::calls
