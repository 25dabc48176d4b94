#pragma once
// FCS-16 of HDLC (ITU-T X.25 / Q.921): reflected polynomial 0x8408, initial value 0xFFFF,
// sent as the ones' complement, low byte first. Check value over "123456789": 0x906E.
#include <cstddef>
#include <cstdint>

namespace tessary {

// The frame check sequence to send after `data` (already complemented).
uint16_t Fcs16(const uint8_t* data, size_t length);

}  // namespace tessary
