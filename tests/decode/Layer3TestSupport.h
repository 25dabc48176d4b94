#pragma once
// Decodes one frame the way the converter hands it over: an exactly sized copy of the bytes,
// so that the sanitizer build catches any read past the frame.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "decode/FrameDecoder.h"
#include "platform/Utf.h"

namespace tessary::test {

struct Decoded {
    int32_t status = 0;
    std::string text;  // UTF-8
    FrameFields fields;
};

inline Decoded DecodeBytes(const std::vector<uint8_t>& frame, char direction = 'R', int block = 1,
                           int blockLen = 48) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[frame.size() + (frame.empty() ? 1 : 0)]);
    if (!frame.empty()) {
        std::memcpy(copy.get(), frame.data(), frame.size());
    }
    FrameInput input;
    input.frame = copy.get();
    input.length = static_cast<uint32_t>(frame.size());
    input.direction = static_cast<uint8_t>(direction);
    input.kind = 0;
    input.block = block;
    input.blockLen = blockLen;
    TextBuilder text;
    Decoded result;
    result.status = DecodeFrame(input, text, result.fields);
    result.text = Utf8(text.View());
    return result;
}

// Appended one by one: GCC 12 warns falsely (-Warray-bounds) on inlined vector::insert.
inline std::vector<uint8_t> Concat(std::vector<uint8_t> head, const std::vector<uint8_t>& tail) {
    head.reserve(head.size() + tail.size());
    for (uint8_t octet : tail) {
        head.push_back(octet);
    }
    return head;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> head, const std::string& chars) {
    for (char c : chars) {
        head.push_back(static_cast<uint8_t>(c));
    }
    return head;
}

// An I frame from the exchange (SAPI 0, TEI 0, command) carrying `message`.
inline std::vector<uint8_t> IFrame(const std::vector<uint8_t>& message) {
    return Concat({0x02, 0x01, 0x00, 0x00}, message);
}

// A SETUP (call reference 0x81, one octet) carrying `elements`, in an I frame.
inline std::vector<uint8_t> SetupFrame(const std::vector<uint8_t>& elements) {
    return IFrame(Concat({0x08, 0x01, 0x81, 0x05}, elements));
}

// Text before the element area of a received SetupFrame(): the layer-2 row and the message name.
inline constexpr const char* kSetupRows = "TEI=0[I]c\nB-呼設定- 呼番号=発1";

}  // namespace tessary::test
