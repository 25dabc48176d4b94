#pragma once
// Call-control message (Q.931 / INS-Net) of an I or UI frame: the second row with message
// name and call reference, the channel and number summaries and the element rows.
#include <cstdint>

#include "decode/FrameDecoder.h"

namespace tessary {

// `message` points at the protocol discriminator, `length` octets up to the frame end.
// Returns 0, or 0x101 out of scope (Code and CallRef keep what was read before the fault).
int32_t DecodeLayer3(const uint8_t* message, int32_t length, const FrameInput& input,
                     TextBuilder& text, FrameFields& fields);

}  // namespace tessary
