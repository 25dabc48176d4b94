#include "decode/FrameDecoder.h"

#include "decode/Layer2.h"
#include "decode/Layer3.h"
#include "logfile/Status.h"

namespace tessary {

int32_t DecodeFrame(const FrameInput& input, TextBuilder& text, FrameFields& fields) {
    Layer2Result layer2 = DecodeLayer2(input, text, fields);
    if (layer2.status != kStatusDone || layer2.next == Layer2Next::kNone) {
        return layer2.status;
    }
    text.Append(u'\n');
    if (layer2.next == Layer2Next::kTeiManagement) {
        return DecodeTeiManagement(input.frame, input.length, text);
    }
    // The message starts after the frame's own control field (one octet for UI frames), so
    // broadcast SETUPs in UI frames decode as well as I frames.
    if (input.length < layer2.layer3Offset + 2) {
        return kStatusOutOfScope;
    }
    return DecodeLayer3(input.frame + layer2.layer3Offset,
                        static_cast<int32_t>(input.length - layer2.layer3Offset), input, text,
                        fields);
}

}  // namespace tessary
