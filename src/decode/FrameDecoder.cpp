#include "decode/FrameDecoder.h"

namespace tessary {

// Placeholder until the layer 2/3 decoders land: frames carry the header row and hex rows.
int32_t DecodeFrame(const FrameInput&, TextBuilder&, FrameFields&) {
    return 0;
}

}  // namespace tessary
