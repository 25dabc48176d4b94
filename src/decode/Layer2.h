#pragma once
// LAPD (Q.921) header of a frame record: address, control field, TEI management.
#include <cstdint>

#include "decode/FrameDecoder.h"

namespace tessary {

enum class Layer2Next : uint8_t { kNone, kLayer3, kTeiManagement };

struct Layer2Result {
    int32_t status = 0;  // 0, or 0x101 out of scope
    Layer2Next next = Layer2Next::kNone;
    uint32_t layer3Offset = 0;  // octet index of the layer-3 message: after the control field
};

// Appends "TEI=..[name]c/r" to the header row and sets Layer and Code.
Layer2Result DecodeLayer2(const FrameInput& input, TextBuilder& text, FrameFields& fields);

// The TEI management row of a UI frame on SAPI 63 / TEI 127.
int32_t DecodeTeiManagement(const uint8_t* frame, uint32_t length, TextBuilder& text);

}  // namespace tessary
