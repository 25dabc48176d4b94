#include "loggen/FrameBytes.h"

namespace tessary::loggen {

void PutAddress(FrameBytes& f, uint8_t sapi, uint8_t tei, bool fromNetwork, bool command) {
    const bool cr = fromNetwork == command;
    f.Put(static_cast<uint8_t>((sapi << 2) | (cr ? 0x02 : 0x00)));
    f.Put(static_cast<uint8_t>((tei << 1) | 0x01));
}

void PutMessageHead(FrameBytes& f, unsigned crLength, uint32_t crValue, bool crFlag, uint8_t type) {
    f.Put(0x08);
    f.Put(static_cast<uint8_t>(crLength));
    for (unsigned i = 0; i < crLength; ++i) {
        uint8_t octet = static_cast<uint8_t>(crValue >> (8 * (crLength - 1 - i)));
        if (i == 0) {
            octet = static_cast<uint8_t>((octet & 0x7F) | (crFlag ? 0x80 : 0x00));
        }
        f.Put(octet);
    }
    f.Put(type);
}

void PutIe(FrameBytes& f, uint8_t id, std::initializer_list<uint8_t> content) {
    f.Put(id);
    f.Put(static_cast<uint8_t>(content.size()));
    f.Put(content);
}

void PutIeText(FrameBytes& f, uint8_t id, std::initializer_list<uint8_t> lead, const char* text) {
    unsigned length = static_cast<unsigned>(lead.size());
    for (const char* p = text; *p; ++p) {
        ++length;
    }
    f.Put(id);
    f.Put(static_cast<uint8_t>(length));
    f.Put(lead);
    f.PutText(text);
}

void PutCause(FrameBytes& f, uint8_t value, uint8_t location, bool longForm) {
    const uint8_t cause = static_cast<uint8_t>(0x80 | (value & 0x7F));
    if (longForm) {
        PutIe(f, ie::kCause, {static_cast<uint8_t>(location & 0x0F), 0x80, cause});
    } else {
        PutIe(f, ie::kCause, {static_cast<uint8_t>(0x80 | (location & 0x0F)), cause});
    }
}

}  // namespace tessary::loggen
