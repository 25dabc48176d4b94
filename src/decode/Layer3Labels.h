#pragma once
// Label tables of the call-control decoder: message types, information element names, call
// states and the value texts of the element decoders.
#include <string_view>

#include "decode/Layer2Labels.h"

namespace tessary {

inline constexpr CodeLabel kMessageTypeList[] = {
    {0x01, u"呼出"},     {0x02, u"呼設定受付"}, {0x03, u"経過表示"}, {0x05, u"呼設定"},
    {0x07, u"応答"},     {0x0F, u"応答確認"},   {0x21, u"中断拒否"}, {0x22, u"再開拒否"},
    {0x25, u"中断"},     {0x26, u"再開"},       {0x2D, u"中断確認"}, {0x2E, u"再開確認"},
    {0x45, u"切断"},     {0x46, u"初期設定"},   {0x4D, u"解放"},     {0x4E, u"初期設定確認"},
    {0x5A, u"解放完了"}, {0x6E, u"通知"},       {0x75, u"状態問合"}, {0x7B, u"付加情報"},
    {0x7D, u"状態表示"},
};
inline constexpr auto kMessageTypeNames = LabelsByCode(kMessageTypeList);

inline constexpr CodeLabel kElementNameList[] = {
    {0x01, u"群6料金通知"},   {0x03, u"群6発信専用ＣＨ"},
    {0x04, u"伝能="},         {0x06, u"群6汎用通知"},
    {0x08, u"理由表示="},     {0x10, u"呼識別"},
    {0x14, u"呼状態="},       {0x18, u"CH="},
    {0x1C, u"ファシリティ="}, {0x1E, u"経過識別＃="},
    {0x27, u"通知識別"},      {0x28, u"表示"},
    {0x2C, u"キーファシ"},    {0x34, u"シグナル"},
    {0x6C, u"発番号="},       {0x6D, u"発サブ="},
    {0x70, u"着番号="},       {0x71, u"着サブ="},
    {0x74, u"転送元番号="},   {0x79, u"初期設表示"},
    {0x7C, u"低位整合性"},    {0x7D, u"高位整合性"},
    {0x7E, u"ユーザ情報"},    {0x7F, u"拡張情報子"},
    {0x96, u"群６シフト"},    {0xD2, u"繰返"},
};
inline constexpr auto kElementNames = LabelsByCode(kElementNameList);

// Bearer capability by its first content octet (coding standard and transfer capability).
inline constexpr CodeLabel kBearerCapabilityList[] = {
    {0x80, u"音声"},
    {0x90, u"3.1kｵ"},
    {0x88, u"非制限デジタル"},
};
inline constexpr auto kBearerCapabilities = LabelsByCode(kBearerCapabilityList);

inline constexpr CodeLabel kCallStateList[] = {
    {0, u"空"},        {1, u"発呼"},      {3, u"発呼受付"},  {4, u"呼出通知"},
    {6, u"着呼"},      {7, u"呼出中"},    {8, u"応答"},      {9, u"着呼受付"},
    {10, u"通信中"},   {11, u"切断要求"}, {12, u"切断通知"}, {15, u"中断要求"},
    {17, u"再開要求"}, {19, u"解放要求"}, {22, u"呼廃棄"},   {61, u"初期設定要求"},
    {62, u"初期設定"},
};
inline constexpr auto kCallStates = LabelsByCode(kCallStateList);

// Second row.
inline constexpr std::u16string_view kTextCallRef = u"- 呼番号=";
inline constexpr std::u16string_view kTextDummyCallRef = u"ダミー";
inline constexpr std::u16string_view kTextIncoming = u"着";
inline constexpr std::u16string_view kTextOutgoing = u"発";

// Element walk.
inline constexpr std::u16string_view kTextUnlistedElement = u"規定外情報";

// Value texts.
inline constexpr std::u16string_view kTextUnknown = u"不明";
inline constexpr std::u16string_view kTextOutOfStandard = u"規格外";
inline constexpr std::u16string_view kTextUnspecified = u"規定外";
inline constexpr std::u16string_view kTextNonStandard = u"非標準";

inline constexpr std::u16string_view kTextCauseNormal = u"正常";

inline constexpr std::u16string_view kTextFacilityUnknown = u"??";
inline constexpr std::u16string_view kFacilityWithheldReasons[] = {
    u"発番Oサービス提供不可", u"発番Pユーザ拒否", u"発番Sサービス競合", u"発番C公衆電話"};
inline constexpr std::u16string_view kTextINumber = u"iナンバー";

inline constexpr std::u16string_view kTextRedirectReason = u"理由";

inline constexpr std::u16string_view kTextNoChannel = u"なし";
inline constexpr std::u16string_view kTextChannelChange = u"変更";
inline constexpr std::u16string_view kTextChangeAllowed = u"可";
inline constexpr std::u16string_view kTextChangeForbidden = u"不可";
inline constexpr std::u16string_view kTextAnyChannel = u"任意";

inline constexpr std::u16string_view kTextBySubscription = u"契約依存";
inline constexpr std::u16string_view kTextUnknownNumberType = u"不明番号種別";
inline constexpr std::u16string_view kTextPresentationRestricted = u"表示不可";
inline constexpr std::u16string_view kTextNotAvailable = u"接続条件で不可";
inline constexpr std::u16string_view kTextPresentationAllowed = u"表示可";

}  // namespace tessary
