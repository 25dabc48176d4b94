#pragma once
// The calls of the synthetic traffic: when an attempt comes, which terminal and side it takes,
// how it goes (a table of shares), its call reference and channel, and the messages it sends
// in order until it ends and gives its call reference and channel back.
#include <cstdint>
#include <vector>

#include "loggen/GeneratedCall.h"
#include "loggen/LinkModel.h"
#include "loggen/MessageBuilder.h"
#include "loggen/TrafficContext.h"

namespace tessary::loggen {

class CallScenarios {
public:
    CallScenarios(TrafficContext& context, LinkModel& links, MessageBuilder& messages);

    // A call attempt on the line when its arrival event comes due; schedules the next one.
    void FireArrival(Line& line);
    // The next message of the call when its call event comes due.
    void FireCall(uint16_t callIndex);

private:
    uint16_t NewCall(Line& line, uint16_t link, bool incoming);
    void StartRestart(Line& line, uint16_t linkIndex);
    void PlanIncoming(GeneratedCall& call, int64_t holdMs);
    void PlanOutgoing(GeneratedCall& call, int64_t holdMs);
    bool AllocateCallReference(GeneratedCall& call, Line& line, bool longForm);
    void FreeCallReference(GeneratedCall& call);
    uint8_t AllocateChannel(Line& line);
    void AddStep(GeneratedCall& call, uint8_t type, bool fromNetwork, int64_t delayMs,
                 uint8_t variant = 0);
    void AddExtras(GeneratedCall& call);
    void AddClearing(GeneratedCall& call, bool byNetwork, uint8_t cause, int64_t holdMs);
    // Clearing by either side with a normal cause after the hold time.
    void AddNormalClearing(GeneratedCall& call, int64_t holdMs);
    void EndCall(uint16_t callIndex);

    TrafficContext& m_context;
    LinkModel& m_links;
    MessageBuilder& m_messages;
    Prng& m_prng;
    std::vector<GeneratedCall> m_calls;
    std::vector<uint16_t> m_freeCalls;
    uint32_t m_lastSerial = 0;
};

}  // namespace tessary::loggen
