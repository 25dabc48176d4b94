#include "decode/Layer3.h"

#include "decode/ElementText.h"
#include "decode/Elements.h"
#include "decode/Layer3Labels.h"
#include "logfile/Status.h"

namespace tessary {

namespace {

constexpr uint8_t kCallControlDiscriminator = 0x08;
constexpr uint16_t kFlagIncoming = 0x0004;

}  // namespace

int32_t DecodeLayer3(const uint8_t* message, int32_t length, const FrameInput& input,
                     TextBuilder& text, FrameFields& fields) {
    if (length < 2 || message[0] != kCallControlDiscriminator) {
        return kStatusOutOfScope;
    }
    int32_t refLength = message[1] & 0x0F;
    if (length < refLength + 2) {
        return kStatusOutOfScope;
    }
    const uint8_t* ref = message + 2;
    uint32_t value = 0;  // 32 bits: octets beyond four shift the oldest out
    for (int32_t i = 0; i < refLength; ++i) {
        value = value << 8 | (i == 0 ? ref[0] & 0x7F : ref[i]);
    }
    fields.callRef = static_cast<int32_t>(value);
    int32_t remaining = length - 2 - refLength;
    if (remaining == 0) {
        return kStatusOutOfScope;
    }
    uint8_t type = ref[refLength];
    fields.code = type;
    std::u16string_view name = kMessageTypeNames[type];
    if (name.empty()) {
        return kStatusOutOfScope;
    }

    text.Append(static_cast<char16_t>(u'A' + input.block));
    text.Append(u'-');
    text.Append(name);
    text.Append(kTextCallRef);
    if (refLength == 0) {
        text.Append(kTextDummyCallRef);
        fields.callRef = -1;
    } else {
        bool flag = (ref[0] & 0x80) != 0;
        bool transmit = input.direction == 'T' || input.direction == 't';
        // The flag is 1 in messages from the side that did not allocate the reference: a
        // transmitted 1 or a received 0 is a call offered to this line's terminal.
        bool incoming = transmit == flag;
        text.Append(incoming ? kTextIncoming : kTextOutgoing);
        AppendDecimal(text, value);
        if (incoming) {
            fields.flags |= kFlagIncoming;
        }
    }

    const uint8_t* elements = ref + refLength + 1;
    int32_t elementsLength = remaining - 1;

    size_t mark = text.Length();
    text.Append(u' ');
    if (!ChannelSummary(elements, elementsLength, text)) {
        text.Truncate(mark);
    }
    text.Append(u'\n');

    mark = text.Length();
    bool calling = NumberSummary(elements, elementsLength, NumberParty::kCalling, text);
    size_t beforeCalled = text.Length();
    if (calling) {
        text.Append(u' ');
    }
    if (!NumberSummary(elements, elementsLength, NumberParty::kCalled, text)) {
        text.Truncate(beforeCalled);
    }
    if (text.Length() > mark) {
        text.Append(u'\n');
    }

    // Without element rows the text ends with LF: an empty row comes before the hex rows.
    ElementRows(elements, elementsLength, input.blockLen, text);
    return kStatusDone;
}

}  // namespace tessary
