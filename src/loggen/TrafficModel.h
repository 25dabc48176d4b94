#pragma once
// The line model behind a synthetic log: per line a layer-1 status, one or two terminals with
// their LAPD links (TEI management, SABME/UA, I frames with N(S)/N(R), RR polling and
// maintenance) and the calls on them (Q.931 / INS-Net call control), all driven by one event
// queue so that the frames of many calls interleave in time order.
#include <bitset>
#include <cstdint>
#include <iterator>
#include <queue>
#include <vector>

#include "loggen/FrameBytes.h"
#include "loggen/LogProfile.h"
#include "loggen/Prng.h"

namespace tessary::loggen {

struct FrameEvent {
    int64_t timeMs = 0;        // model time: 0 is the first record
    uint8_t line = 0;          // 0 the first line, 1 the second (lower-case letters)
    bool fromNetwork = false;  // frames of the exchange are received ('R') records
    bool layer1 = false;       // a layer-1 status: `frame` holds the status bytes
    bool oversize = false;     // longer than a kind-0 record may be with its check bytes
    FrameBytes frame;
};

class TrafficModel {
public:
    TrafficModel(const ResolvedProfile& profile, uint64_t seed);
    // The next frame in time order; the stream never ends.
    void Next(FrameEvent& out);

private:
    enum class Action : uint8_t { Layer1, Link, Arrival, Call, Ack };
    struct Pending {
        int64_t time;
        uint64_t seq;
        Action action;
        uint16_t index;
        uint8_t arg;
        bool operator>(const Pending& o) const {
            return time != o.time ? time > o.time : seq > o.seq;
        }
    };
    struct Op {
        uint8_t type;
        bool fromNetwork;
        uint8_t variant;
        int64_t delayMs;  // before this message
    };
    struct Call {
        bool live = false;
        bool incoming = false;
        bool broadcast = false;
        uint8_t line = 0;
        uint16_t link = 0;
        uint8_t crLength = 1;
        uint32_t crValue = 0;
        uint16_t crSlot = 0;  // 0: none held (dummy call reference)
        uint8_t channel = 0;  // 1-based; 0 none
        uint8_t state = 0;    // Q.931 call state for STATUS
        uint8_t cause = 16;
        uint8_t opCount = 0;
        uint8_t opNext = 0;
        Op ops[24];
        char remote[16];
        uint16_t identity = 0;  // call identity of a suspended call
    };
    struct Link {
        uint8_t line = 0;
        uint8_t terminal = 0;
        uint8_t tei = 0;
        uint8_t phase = 0;
        bool up = false;
        uint8_t vsTe = 0;  // V(S) of the terminal side, mod 128
        uint8_t vsNt = 0;
        bool ackTe = false;  // an acknowledgement from that side is due
        bool ackNt = false;
        uint8_t ri[2] = {0, 0};
        bool answerByNetwork = false;  // who answers the pending poll or DISC
        int activeCalls = 0;
        int64_t lastActivity = 0;
    };
    struct Line {
        uint8_t index = 0;
        uint32_t busyChannels = 0;  // bit n: channel n in use
        uint16_t links[2] = {0, 0};
        unsigned linkCount = 1;
        std::bitset<256> crTe;  // call reference slots in use, per originating side
        std::bitset<256> crNt;
        uint8_t l1Queue[6] = {};
        uint8_t l1Count = 0;
        uint8_t l1Next = 0;
        uint8_t nextTei = 64;
        bool restartDone = false;
        char number[2][12] = {};
    };

    void Schedule(int64_t time, Action action, uint16_t index, uint8_t arg = 0);
    FrameEvent& Emit(uint8_t line, bool fromNetwork);
    void EmitLayer1(Line& line, const uint8_t* bytes, unsigned count);

    void FireLayer1(Line& line);
    void FireLink(uint16_t linkIndex);
    void FireArrival(Line& line);
    void FireCall(uint16_t callIndex);
    void FireAck(uint16_t linkIndex, bool fromNetwork);

    // Link frames.
    FrameBytes& LinkFrame(Link& link, bool fromNetwork, uint8_t sapi, bool command);
    void SendU(Link& link, bool fromNetwork, uint8_t control, bool command);
    void SendS(Link& link, bool fromNetwork, uint8_t control, bool command, bool pf);
    // An I frame: the caller fills the information field into the returned frame.
    FrameBytes& SendI(Link& link, bool fromNetwork);
    void SendTeiManagement(Link& link, bool fromNetwork, uint8_t type,
                           std::initializer_list<uint8_t> ai);
    void ResetSequence(Link& link);
    void MaybeOdd(Link& link);
    void MaybeOversize(Link& link, uint8_t crLength, uint32_t crValue, bool incoming);

    // Calls.
    uint16_t NewCall(Line& line, uint16_t link, bool incoming);
    bool AllocateCallReference(Call& call, Line& line, bool longForm);
    void FreeCallReference(Call& call);
    uint8_t AllocateChannel(Line& line);
    void AddOp(Call& call, uint8_t type, bool fromNetwork, int64_t delayMs, uint8_t variant = 0);
    void AddExtras(Call& call);
    void AddClearing(Call& call, bool byNetwork, uint8_t cause, int64_t holdMs);
    void BuildMessage(Call& call, const Op& op, FrameBytes& f);
    void PutChannel(Call& call, FrameBytes& f, bool fromNetwork, uint8_t variant);
    // Calling number forms 0-8; the lower ones show the number.
    void PutCalling(FrameBytes& f, const char* number, unsigned form);
    static bool CallingShown(unsigned form) { return form <= 1 || form == 5; }
    void PutRedirecting(FrameBytes& f);
    // Why the number is not shown, or the i-number service when it is.
    void PutFacility(FrameBytes& f, bool numberShown);
    void PutCodeset6(FrameBytes& f);
    void EndCall(uint16_t callIndex);

    const ResolvedProfile& m_spec;
    Prng m_prng;
    bool m_is1500;
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> m_queue;
    uint64_t m_seq = 0;
    int64_t m_now = 0;
    std::vector<Line> m_lines;
    std::vector<Link> m_links;
    std::vector<Call> m_calls;
    std::vector<uint16_t> m_freeCalls;
    FrameEvent m_out[24];
    unsigned m_outHead = 0;
    unsigned m_outCount = 0;
};

}  // namespace tessary::loggen
