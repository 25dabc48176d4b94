#include "decode/Layer2.h"

#include "decode/ElementText.h"
#include "decode/Layer2Labels.h"
#include "logfile/Status.h"

namespace tessary {

namespace {

constexpr uint8_t kPfBit = 0x10;
constexpr uint8_t kTeiManagementEntity = 0x0F;
constexpr uint32_t kAiPerRow = 16;

const FrameKind* ClassifyControl(uint8_t control) {
    if ((control & 1) == 0) {
        return &kInformationFrame;
    }
    for (const FrameKind& kind : kFrameKinds) {
        uint8_t tested = kind.pfCleared ? static_cast<uint8_t>(control & ~kPfBit) : control;
        if (tested == kind.control) {
            return &kind;
        }
    }
    return nullptr;
}

bool IsTransmit(uint8_t direction) {
    return direction == 'T' || direction == 't';
}

}  // namespace

Layer2Result DecodeLayer2(const FrameInput& input, TextBuilder& text, FrameFields& fields) {
    Layer2Result result;
    const uint8_t* frame = input.frame;
    uint32_t length = input.length;
    if (frame == nullptr || length < 3) {
        result.status = kStatusOutOfScope;
        return result;
    }
    const FrameKind* kind = ClassifyControl(frame[2]);
    if (kind == nullptr) {
        result.status = kStatusOutOfScope;
        return result;
    }
    fields.layer = 1;
    fields.code = kind->code;
    if (kind->next != FrameContinuation::kNone) {
        bool teiManagement = kind->next == FrameContinuation::kUnnumberedInformation &&
                             frame[1] == 0xFF && (frame[0] & 0xFC) == 0xFC && length > 3 &&
                             frame[3] == kTeiManagementEntity;
        if (teiManagement) {
            result.next = Layer2Next::kTeiManagement;
        } else {
            result.next = Layer2Next::kLayer3;
            result.layer3Offset = kind->next == FrameContinuation::kInformation ? 4 : 3;
            if ((frame[0] & ~0x02) == 0) {  // SAPI 0: call control
                fields.layer = 2;
            }
        }
    }

    if ((frame[1] & 1) != 0) {
        text.Append(kTextTeiPrefix);
        AppendDecimal(text, frame[1] >> 1);
        text.Append(u'[');
    } else {
        text.Append(kTextTeiUnknown);
    }
    text.Append(kind->name);
    text.Append(u']');
    bool commandResponse = (frame[0] & 0x02) != 0;
    // The C/R bit means opposite things in the two directions.
    text.Append(commandResponse == IsTransmit(input.direction) ? u'r' : u'c');
    return result;
}

int32_t DecodeTeiManagement(const uint8_t* frame, uint32_t length, TextBuilder& text) {
    if (length < 7) {
        return kStatusOutOfScope;
    }
    std::u16string_view name = kTeiMessageNames[frame[6]];
    if (name.empty()) {
        return kStatusOutOfScope;
    }
    size_t rowStart = text.Length();
    text.Append(u'-');
    text.Append(name);
    text.Append(kTextRi);
    text.AppendHex2(frame[5]);
    text.AppendHex2(frame[4]);
    text.Append(kTextAi);
    size_t indent = text.WidthFrom(rowStart);

    uint32_t count = 0;
    for (uint32_t i = 7; i < length; ++i) {
        if (count > 0) {
            if (count % kAiPerRow == 0) {
                text.Append(u'\n');
                text.AppendRepeat(u' ', indent);
            } else {
                text.Append(u' ');
            }
        }
        AppendDecimal(text, frame[i] >> 1);
        ++count;
        if ((frame[i] & 1) != 0) {
            break;
        }
    }
    return kStatusDone;
}

}  // namespace tessary
