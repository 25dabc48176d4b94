#pragma once
// One call of a log as the call tracker puts it together: where it starts (its SETUP), who
// takes part, which channel it runs on, when it rang, was answered and cleared, and how it
// ended.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessary::calls {

enum class CallResult : uint8_t {
    kAnswered,        // a CONNECT was seen
    kRejected,        // the called side turned the SETUP down before answering
    kAbandoned,       // the caller cleared before the answer
    kNetworkCleared,  // the network cleared an unanswered call after it had progressed
    kOpen,            // nothing cleared it before the log ended
};
inline constexpr int kCallResultCount = 5;

// Who sent a message: the network (received records, blocks B and D) or the terminal
// (transmitted records, blocks A and C).
enum class CallSide : uint8_t { kNetwork, kTerminal };

inline constexpr int64_t kNoTime = INT64_MIN;

struct CallInfo {
    // The SETUP that started the call.
    uint32_t setupIndex = 0;
    uint32_t setupId = 0;
    uint8_t setupBlock = 0;
    uint8_t line = 0;        // 1 or 2 for the lines of a bulk file, 0 for a single-line log
    bool incoming = false;   // "着": offered by the network to this line's terminal
    bool broadcast = false;  // the SETUP went to every terminal (UI frame)
    uint32_t callRef = 0;

    std::u16string setupChannel;  // "CH=..." as the SETUP states it
    std::u16string channel;       // "CH=..." the network assigned (or the SETUP's when none)
    int channelNumber = -1;       // the channel's number, -1 when it names none
    std::u16string calling;       // calling number as the decoder shows it ("0312345678")
    std::u16string callingSub;
    std::u16string called;
    std::u16string calledSub;
    std::u16string bearer;

    // Milliseconds after the log's base time; kNoTime when the call has none.
    int64_t setupMs = 0;
    int64_t alertingMs = kNoTime;
    int64_t connectMs = kNoTime;
    int64_t clearingMs = kNoTime;  // first DISCONNECT / RELEASE / RELEASE COMPLETE
    int64_t lastMs = 0;            // the call's last message

    int cause = -1;  // the first cause value (0-127), -1 none
    std::u16string causeText;
    CallSide causeFrom = CallSide::kNetwork;

    CallResult result = CallResult::kOpen;
    // Message record indices of the call's messages, in log order.
    std::vector<uint32_t> records;

    // How long the call was connected: from CONNECT to the first clearing message, or to its
    // last message while it is still open; -1 when it was never answered.
    int64_t DurationMs() const;
};

// "着" or "発" followed by the call reference value, as the decoder writes it.
std::u16string CallRefText(const CallInfo& call);

// The result as the call list shows it ("応答", "拒否", ...) and as the CLI writes it
// ("answered", "rejected", ...).
std::u16string_view ResultText(CallResult result);
std::string_view ResultKey(CallResult result);
// "網" or "端末".
std::u16string_view SideText(CallSide side);
std::string_view SideKey(CallSide side);

}  // namespace tessary::calls
