#pragma once
// The layer-3 message of a call-control record, read back from the hex rows at the end of the
// record's text (the line store keeps no other copy of the frame bytes).
#include <cstdint>

#include "decode/MessageRecord.h"

namespace tessary::calls {

inline constexpr int kMaxFrameBytes = 300;

struct RecordMessage {
    uint8_t bytes[kMaxFrameBytes];  // the layer-2 frame, without check sequence
    int frameLength = 0;
    int messageOffset = 0;  // where the layer-3 message starts in `bytes`
    uint8_t tei = 0;        // 127 for a broadcast
    bool fromNetwork = false;

    const uint8_t* Message() const { return bytes + messageOffset; }
    int MessageLength() const { return frameLength - messageOffset; }
};

// Fills `out` for a layer-3 call-control record (`Layer` 2 with a block); false when the
// record is no such message or its hex rows cannot be read.
bool ReadRecordMessage(const MessageRecord& record, RecordMessage& out);

}  // namespace tessary::calls
