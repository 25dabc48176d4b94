#pragma once
// One call of the synthetic traffic: how it goes, the messages still to send and what its
// messages carry (call reference, channel, numbers, state, cause).
#include <cstdint>

namespace tessary::loggen {

// Q.931 call states of the user side, as a STATUS reports them.
enum class CallState : uint8_t {
    Null = 0,
    CallInitiated = 1,
    OutgoingCallProceeding = 3,
    CallDelivered = 4,
    CallPresent = 6,
    CallReceived = 7,
    ConnectRequest = 8,
    IncomingCallProceeding = 9,
    Active = 10,
    DisconnectRequest = 11,
    DisconnectIndication = 12,
    SuspendRequest = 15,
    ResumeRequest = 17,
    ReleaseRequest = 19,
    OverlapReceiving = 25,  // never reached by these calls: a STATUS that does not fit
};

// How a call attempt goes.
enum class CallOutcome : uint8_t {
    Restart,          // RESTART on the dummy call reference, acknowledged
    NoChannel,        // no channel: an incoming call turned down busy, an outgoing one refused
    Rejected,         // released at once
    Busy,             // outgoing: proceeding, then cleared busy by the network
    NotAnswered,      // rings until it is cleared
    Answered,         // connected, then cleared by either side
    SuspendRejected,  // connected; the network rejects the suspend
    Resumed,          // connected, suspended and resumed on a new call reference
    ResumeRejected,   // connected and suspended; the network rejects the resume
};

// One message of a call and the pause before it.
struct CallStep {
    uint8_t type;
    bool fromNetwork;
    uint8_t variant;
    int64_t delayMs;
};

struct GeneratedCall {
    uint32_t serial = 0;  // numbers the calls in the order they begin, from 1
    bool live = false;
    bool incoming = false;
    bool broadcast = false;  // the SETUP goes to every terminal of the line
    CallOutcome outcome = CallOutcome::Answered;
    uint8_t line = 0;
    uint16_t link = 0;
    uint8_t crLength = 1;
    uint32_t crValue = 0;
    uint16_t crSlot = 0;  // 0: none held (dummy call reference)
    uint8_t channel = 0;  // 1-based; 0 none
    CallState state = CallState::Null;
    uint8_t cause = 16;
    uint8_t stepCount = 0;
    uint8_t stepNext = 0;
    CallStep steps[24];
    char remote[16];        // the far end's number
    uint16_t identity = 0;  // call identity of a suspended call
};

}  // namespace tessary::loggen
