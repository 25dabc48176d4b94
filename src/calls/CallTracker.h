#pragma once
// Walks the message records of a log once, in order, and puts its calls together.
//
// A call starts at a SETUP (a broadcast SETUP in a UI frame included) and is known by the line,
// its call reference value and whether it was offered to the terminal ("着") or by it ("発"); its
// later messages carry the same three. Records in blocks A and D repeat frames of the line
// (blocks B and C): a message that repeats one the call has just seen in the other block of the
// same direction joins the call without counting as a new event. A new SETUP on a call
// reference that an unfinished call holds ends that call; RESTART and RESTART ACKNOWLEDGE on
// the dummy call reference end every open call on the channels they name (all of them for a
// whole interface). A call suspended and resumed on a new call reference stays one call.
#include <cstdint>
#include <deque>
#include <functional>
#include <unordered_map>
#include <vector>

#include "calls/CallInfo.h"
#include "calls/RecordFrame.h"
#include "decode/MessageRecord.h"
#include "decode/TextBuilder.h"

namespace tessary::calls {

class CallTracker {
public:
    // Receives each call once it is settled, in the order of the calls' SETUPs.
    using Sink = std::function<void(const CallInfo&)>;

    // `line`: 1 or 2 for the converted line of a bulk file, 0 otherwise.
    explicit CallTracker(uint8_t line = 0) : m_line(line) {}

    // With a sink, settled calls are handed over and forgotten (a streaming writer keeps only
    // the calls still going on); without one, every call stays until Take.
    void SetSink(Sink sink) { m_sink = std::move(sink); }

    void Add(const MessageRecord& record);
    // The log has ended: calls still going on stay open; every call goes to the sink.
    void Finish();

    // The calls made so far, in SETUP order (without a sink).
    const std::deque<CallInfo>& Calls() const { return m_calls; }
    std::vector<CallInfo> Take();

private:
    struct Recent {
        uint64_t hash = 0;
        int64_t timeMs = 0;
        uint8_t block = 0xFF;
    };
    struct State {
        Recent recent[8];
        unsigned recentNext = 0;
        uint64_t setupHash = 0;
        int responderTei = -1;         // the terminal of a broadcast call that took it
        bool networkChannel = false;   // the network has named the channel
        bool networkProgress = false;  // the network took the call on (proceeding, alerting)
        bool completed = false;
        int64_t completedMs = 0;
        bool suspended = false;
        std::vector<uint8_t> identity;  // call identity of a suspended call
        uint64_t key = 0;
        bool keyHeld = false;
    };

    uint64_t KeyOf(const MessageRecord& record) const;
    // The call number a key belongs to, or -1.
    int64_t Find(uint64_t key) const;
    CallInfo* CallAt(int64_t number);
    State* StateAt(int64_t number);
    // True when the message repeats one the call saw in the other block of its direction.
    bool IsCopy(int64_t number, uint64_t hash, const MessageRecord& record);
    void Remember(State& state, uint64_t hash, const MessageRecord& record);

    void StartCall(const MessageRecord& record, const RecordMessage& message, uint64_t hash,
                   uint64_t key);
    void Update(int64_t number, const MessageRecord& record, const RecordMessage& message,
                uint64_t hash);
    // A clearing event: the first one fixes how the call ended.
    void Clear(CallInfo& call, State& state, bool fromNetwork, int64_t timeMs);
    void Complete(int64_t number, int64_t timeMs);
    // Drops the finished and the handed-over calls from m_unfinished.
    void CompactUnfinished();
    void Restart(const MessageRecord& record, const RecordMessage& message);
    // False when no suspended call waits for this RESUME.
    bool Resume(const MessageRecord& record, const RecordMessage& message, uint64_t key,
                uint64_t hash);
    void Flush(int64_t nowMs, bool all);

    uint8_t m_line;
    Sink m_sink;
    std::deque<CallInfo> m_calls;
    std::deque<State> m_states;
    int64_t m_first = 0;  // call number of m_calls.front()
    std::unordered_map<uint64_t, int64_t> m_keys;
    std::unordered_map<uint64_t, int64_t> m_previous;  // the call a key belonged to before
    std::vector<int64_t> m_unfinished;  // numbers of the calls not over yet (and a few that are)
    size_t m_compactAt = 64;
    RecordMessage m_message;
    TextBuilder m_text;
};

}  // namespace tessary::calls
