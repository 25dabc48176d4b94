#pragma once
// Label tables of the LAPD decoder: frame kinds in the order the control octet is tested, and
// the TEI management messages. The lookup helper builds 256-entry tables at compile time so
// that every label is one index away.
#include <array>
#include <cstdint>
#include <string_view>

namespace tessary {

struct CodeLabel {
    uint8_t code;
    std::u16string_view text;
};

template <size_t N>
constexpr std::array<std::u16string_view, 256> LabelsByCode(const CodeLabel (&list)[N]) {
    std::array<std::u16string_view, 256> table{};
    for (const CodeLabel& entry : list) {
        table[entry.code] = entry.text;
    }
    return table;
}

// What follows the control field: nothing, or layer 3 after two control octets (I) or one
// (UI, which may instead carry TEI management).
enum class FrameContinuation : uint8_t { kNone, kInformation, kUnnumberedInformation };

struct FrameKind {
    uint8_t control;  // the control octet to match
    bool pfCleared;   // matched with the P/F bit (0x10) cleared
    uint8_t code;     // the record's Code
    FrameContinuation next;
    std::u16string_view name;
};

// I frames are recognised by bit 1 alone, before this table.
inline constexpr FrameKind kInformationFrame = {0x00, false, 0x00, FrameContinuation::kInformation,
                                                u"I"};
inline constexpr FrameKind kFrameKinds[] = {
    {0x01, false, 0x01, FrameContinuation::kNone, u"RR"},
    {0x05, false, 0x05, FrameContinuation::kNone, u"RNR"},
    {0x09, false, 0x09, FrameContinuation::kNone, u"REJ"},
    {0x03, true, 0x03, FrameContinuation::kUnnumberedInformation, u"UI"},
    {0x0F, true, 0x0F, FrameContinuation::kNone, u"DM"},
    {0x43, true, 0x43, FrameContinuation::kNone, u"DISC"},
    {0x63, true, 0x63, FrameContinuation::kNone, u"UA"},
    {0x6F, true, 0x6F, FrameContinuation::kNone, u"SABME"},
    {0x87, true, 0x87, FrameContinuation::kNone, u"FRMR"},
};

inline constexpr CodeLabel kTeiMessageList[] = {
    {1, u"ID要求"},         {2, u"ID割当"}, {3, u"ID拒否"}, {4, u"IDチェック要求"},
    {5, u"IDチェック応答"}, {6, u"ID解除"}, {7, u"ID検証"},
};
inline constexpr auto kTeiMessageNames = LabelsByCode(kTeiMessageList);

inline constexpr std::u16string_view kTextTeiPrefix = u"TEI=";
inline constexpr std::u16string_view kTextTeiUnknown = u"TEI=不明[";
inline constexpr std::u16string_view kTextRi = u"- Ri=";
inline constexpr std::u16string_view kTextAi = u" Ai(TEI)=";

}  // namespace tessary
