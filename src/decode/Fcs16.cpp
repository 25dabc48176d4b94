#include "decode/Fcs16.h"

#include <array>

namespace tessary {

namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t v = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) {
            v = (v & 1) ? static_cast<uint16_t>((v >> 1) ^ 0x8408) : static_cast<uint16_t>(v >> 1);
        }
        table[i] = v;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

}  // namespace

uint16_t Fcs16(const uint8_t* data, size_t length) {
    uint16_t fcs = 0xFFFF;
    for (size_t i = 0; i < length; ++i) {
        fcs = static_cast<uint16_t>((fcs >> 8) ^ kTable[(fcs ^ data[i]) & 0xFF]);
    }
    return static_cast<uint16_t>(~fcs);
}

}  // namespace tessary
