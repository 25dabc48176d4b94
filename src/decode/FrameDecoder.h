#pragma once
// The seam between the converter and the layer 2/3 decoders: one frame record in, its decoded
// rows appended to the record's text, its Layer / Code / CallRef / Flags out.
#include <cstdint>

#include "decode/TextBuilder.h"

namespace tessary {

struct FrameInput {
    const uint8_t* frame = nullptr;  // first frame octet, after the optional 0x01 prefix
    uint32_t length = 0;             // frame length: without the prefix and the check bytes
    uint8_t direction = 0;           // 'T', 't', 'R', 'r'
    uint8_t kind = 0;                // 0-8 (a kind-0 record over 264 bytes arrives as 6)
    int block = 0;                   // 0-3 = A-D
    int blockLen = 48;               // CanPara BlockLen: wrap width of the element rows
};

struct FrameFields {
    int32_t layer = -1;   // -1 none (stored as 0xFF), 1 layer-2 frame, 2 layer-3 message
    int32_t code = 0;     // control code (layer 2) or message type (layer 3)
    int32_t callRef = 0;  // layer 3: call reference value, -1 for the dummy call reference
    uint16_t flags = 0;   // bit 2: incoming call ("着")
};

// Appends the layer-2 text to the header row and, for frames that continue, LF and the
// TEI management row or the layer-3 rows. Returns 0, or 0x101 when the frame is out of scope:
// the text decoded so far stays and the caller appends the mark and the hex rows.
int32_t DecodeFrame(const FrameInput& input, TextBuilder& text, FrameFields& fields);

}  // namespace tessary
