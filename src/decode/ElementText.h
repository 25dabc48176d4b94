#pragma once
// Small text helpers of the layer 2/3 decoders: decimal numbers without printf (they are on
// the per-record path) and octets shown as characters.
#include <cstdint>

#include "decode/TextBuilder.h"
#include "platform/DigitGroup.h"

namespace tessary {

// "%u", or "%02u" with minDigits 2.
inline void AppendDecimal(TextBuilder& text, uint32_t value, int minDigits = 1) {
    PutDecimalDigits(value, minDigits, [&text](char16_t c) { text.Append(c); });
}

// One character per octet, the octet value as its code (digits, IA5 subaddresses). Control
// octets become '?': a NUL would end the record's text (hiding its hex rows) and an LF would
// add a row of its own.
inline void AppendOctetChars(TextBuilder& text, const uint8_t* octets, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        uint8_t octet = octets[i];
        text.Append(octet < 0x20 || octet == 0x7F ? u'?' : static_cast<char16_t>(octet));
    }
}

}  // namespace tessary
