#pragma once
// Q.931 / INS-Net message types and information element identifiers as they stand in the
// frames: the decoder and the call tracker read them, insloggen writes them.
#include <cstdint>

namespace tessary::q931 {

// Message types.
namespace mt {
inline constexpr uint8_t kAlerting = 0x01;
inline constexpr uint8_t kCallProceeding = 0x02;
inline constexpr uint8_t kProgress = 0x03;
inline constexpr uint8_t kSetup = 0x05;
inline constexpr uint8_t kConnect = 0x07;
inline constexpr uint8_t kSetupAck = 0x0D;  // the decoder calls it out of scope
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

// Information element identifiers (codeset 0 unless noted).
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

}  // namespace tessary::q931
