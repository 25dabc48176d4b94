#pragma once
// Byte builders for LAPD frames (Q.921) and the Q.931 / INS-Net messages they carry.
#include <cstdint>
#include <cstring>
#include <initializer_list>

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

// Q.931 message types used by the traffic model.
namespace mt {
inline constexpr uint8_t kAlerting = 0x01;
inline constexpr uint8_t kCallProceeding = 0x02;
inline constexpr uint8_t kProgress = 0x03;
inline constexpr uint8_t kSetup = 0x05;
inline constexpr uint8_t kConnect = 0x07;
inline constexpr uint8_t kSetupAck = 0x0D;  // not decoded: out of scope
inline constexpr uint8_t kConnectAck = 0x0F;
inline constexpr uint8_t kSuspendReject = 0x21;
inline constexpr uint8_t kResumeReject = 0x22;
inline constexpr uint8_t kSuspend = 0x25;
inline constexpr uint8_t kResume = 0x26;
inline constexpr uint8_t kSuspendAck = 0x2D;
inline constexpr uint8_t kResumeAck = 0x2E;
inline constexpr uint8_t kDisconnect = 0x45;
inline constexpr uint8_t kRestart = 0x46;
inline constexpr uint8_t kRelease = 0x4D;
inline constexpr uint8_t kRestartAck = 0x4E;
inline constexpr uint8_t kReleaseComplete = 0x5A;
inline constexpr uint8_t kNotify = 0x6E;
inline constexpr uint8_t kStatusEnquiry = 0x75;
inline constexpr uint8_t kInformation = 0x7B;
inline constexpr uint8_t kStatus = 0x7D;
}  // namespace mt

// Information element identifiers.
namespace ie {
inline constexpr uint8_t kChargingNotice = 0x01;  // codeset 6
inline constexpr uint8_t kOutgoingOnly = 0x03;    // codeset 6
inline constexpr uint8_t kBearer = 0x04;
inline constexpr uint8_t kGeneralNotice = 0x06;  // codeset 6
inline constexpr uint8_t kCause = 0x08;
inline constexpr uint8_t kCallIdentity = 0x10;
inline constexpr uint8_t kCallState = 0x14;
inline constexpr uint8_t kChannel = 0x18;
inline constexpr uint8_t kFacility = 0x1C;
inline constexpr uint8_t kProgress = 0x1E;
inline constexpr uint8_t kNotification = 0x27;
inline constexpr uint8_t kDisplay = 0x28;
inline constexpr uint8_t kDateTime = 0x29;  // not in the decoder's table
inline constexpr uint8_t kKeypad = 0x2C;
inline constexpr uint8_t kSignal = 0x34;
inline constexpr uint8_t kCalling = 0x6C;
inline constexpr uint8_t kCallingSub = 0x6D;
inline constexpr uint8_t kCalled = 0x70;
inline constexpr uint8_t kCalledSub = 0x71;
inline constexpr uint8_t kRedirecting = 0x74;
inline constexpr uint8_t kRestartIndicator = 0x79;
inline constexpr uint8_t kLowLayer = 0x7C;
inline constexpr uint8_t kHighLayer = 0x7D;
inline constexpr uint8_t kUserUser = 0x7E;
inline constexpr uint8_t kEscape = 0x7F;
inline constexpr uint8_t kShift6 = 0x96;
inline constexpr uint8_t kRepeat = 0xD2;
}  // namespace ie

// Protocol discriminator, call reference (length 0 = dummy) and message type.
void PutMessageHead(FrameBytes& f, unsigned crLength, uint32_t crValue, bool crFlag, uint8_t type);
void PutIe(FrameBytes& f, uint8_t id, std::initializer_list<uint8_t> content);
// An element with `lead` octets followed by text octets.
void PutIeText(FrameBytes& f, uint8_t id, std::initializer_list<uint8_t> lead, const char* text);
// Cause in one of its two layouts: octet 1 with the extension bit, or octet 1 + octet 3a.
void PutCause(FrameBytes& f, uint8_t value, uint8_t location, bool longForm);

}  // namespace tessary::loggen
