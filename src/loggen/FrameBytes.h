#pragma once
// Byte builders for LAPD frames (Q.921) and the Q.931 / INS-Net messages they carry.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "decode/Layer3Codes.h"

namespace tessary::loggen {

// Room for the largest payload a record holds.
inline constexpr unsigned kMaxFrameBytes = 272;

struct FrameBytes {
    uint8_t data[kMaxFrameBytes];
    uint16_t size = 0;

    FrameBytes() = default;
    // Frames are copied on their way to the file; only the used part is worth copying.
    FrameBytes(const FrameBytes& other) : size(other.size) { std::memcpy(data, other.data, size); }
    FrameBytes& operator=(const FrameBytes& other) {
        size = other.size;
        std::memcpy(data, other.data, size);
        return *this;
    }

    void Clear() { size = 0; }
    void Put(uint8_t b) {
        if (size < kMaxFrameBytes) {
            data[size++] = b;
        }
    }
    void Put(std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes) {
            Put(b);
        }
    }
    void Put(const uint8_t* bytes, unsigned count) {
        for (unsigned i = 0; i < count; ++i) {
            Put(bytes[i]);
        }
    }
    // Digits (or IA5 text) one character per octet.
    void PutText(const char* text) {
        while (*text) {
            Put(static_cast<uint8_t>(*text++));
        }
    }
};

// Q.921 control octets.
namespace ctl {
inline constexpr uint8_t kRR = 0x01;
inline constexpr uint8_t kRNR = 0x05;
inline constexpr uint8_t kREJ = 0x09;
inline constexpr uint8_t kUI = 0x03;
inline constexpr uint8_t kDM = 0x0F;
inline constexpr uint8_t kDISC = 0x43;
inline constexpr uint8_t kUA = 0x63;
inline constexpr uint8_t kSABME = 0x6F;
inline constexpr uint8_t kFRMR = 0x87;
inline constexpr uint8_t kXID = 0xAF;
inline constexpr uint8_t kPF = 0x10;  // P/F bit of a U frame
}  // namespace ctl

inline constexpr uint8_t kSapiCallControl = 0;
inline constexpr uint8_t kSapiPacket = 16;
inline constexpr uint8_t kSapiManagement = 63;
inline constexpr uint8_t kTeiBroadcast = 127;

// Address octets. `fromNetwork` with `command` gives the C/R bit of Q.921: the network sets it
// in commands, the user in responses.
void PutAddress(FrameBytes& f, uint8_t sapi, uint8_t tei, bool fromNetwork, bool command);

// Q.931 message types and information element identifiers (the core's table).
namespace mt = q931::mt;
namespace ie = q931::ie;

// Protocol discriminator, call reference (length 0 = dummy) and message type.
void PutMessageHead(FrameBytes& f, unsigned crLength, uint32_t crValue, bool crFlag, uint8_t type);
void PutIe(FrameBytes& f, uint8_t id, std::initializer_list<uint8_t> content);
// An element with `lead` octets followed by text octets.
void PutIeText(FrameBytes& f, uint8_t id, std::initializer_list<uint8_t> lead, const char* text);
// Cause in one of its two layouts: octet 1 with the extension bit, or octet 1 + octet 3a.
void PutCause(FrameBytes& f, uint8_t value, uint8_t location, bool longForm);

}  // namespace tessary::loggen
