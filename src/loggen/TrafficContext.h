#pragma once
// What the parts of the traffic model share: the profile, the one random source (its draws in
// a fixed order make a seed's bytes), the event queue that interleaves the lines, terminals and
// calls in time order, the lines themselves and the frames produced but not yet taken.
#include <bitset>
#include <cstdint>
#include <queue>
#include <vector>

#include "loggen/FrameBytes.h"
#include "loggen/LogProfile.h"
#include "loggen/Prng.h"

namespace tessary::loggen {

// The call a call-control frame belongs to (serial 0: none), for the list of generated calls.
struct FrameCall {
    uint32_t serial = 0;
    uint8_t channel = 0;  // the channel the call was given; 0 none
    bool incoming = false;
};

struct FrameEvent {
    int64_t timeMs = 0;        // model time: 0 is the first record
    uint8_t line = 0;          // 0 the first line, 1 the second (lower-case letters)
    bool fromNetwork = false;  // frames of the exchange are received ('R') records
    bool layer1 = false;       // a layer-1 status: `frame` holds the status bytes
    bool oversize = false;     // longer than a kind-0 record may be with its check bytes
    FrameBytes frame;
    FrameCall call;
};

// What a queued event sets going; its index names a line, a link or a call.
enum class Action : uint8_t { Layer1, Link, Arrival, Call, Ack };

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
    char number[2][12] = {};  // the subscriber number of each terminal
};

class TrafficContext {
public:
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

    TrafficContext(const ResolvedProfile& profile, uint64_t seed);

    const LogProfile& Profile() const { return m_spec.profile; }
    bool Is1500() const { return m_is1500; }
    Prng& Random() { return m_prng; }
    int64_t Now() const { return m_now; }
    std::vector<Line>& Lines() { return m_lines; }

    void Schedule(int64_t time, Action action, uint16_t index, uint8_t arg = 0);
    // Takes the earliest event and moves the clock to its time.
    Pending PopNext();

    // A new frame at the current time; the caller fills it.
    FrameEvent& Emit(uint8_t line, bool fromNetwork);
    // The frame Emit returned last.
    FrameEvent& LastEmitted();
    bool HasOutput() const { return m_outCount != 0; }
    void TakeOutput(FrameEvent& out);

private:
    const ResolvedProfile& m_spec;
    Prng m_prng;
    bool m_is1500;
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> m_queue;
    uint64_t m_seq = 0;
    int64_t m_now = 0;
    std::vector<Line> m_lines;
    FrameEvent m_out[24];
    unsigned m_outHead = 0;
    unsigned m_outCount = 0;
};

}  // namespace tessary::loggen
