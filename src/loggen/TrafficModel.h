#pragma once
// The line model behind a synthetic log: per line a layer-1 status, one or two terminals with
// their LAPD links (LinkModel) and the calls on them (CallScenarios, whose messages the
// MessageBuilder writes), all driven by one event queue so that the frames of many calls
// interleave in time order.
#include <cstdint>

#include "loggen/CallScenarios.h"
#include "loggen/LinkModel.h"
#include "loggen/LogProfile.h"
#include "loggen/MessageBuilder.h"
#include "loggen/TrafficContext.h"

namespace tessary::loggen {

class TrafficModel {
public:
    TrafficModel(const ResolvedProfile& profile, uint64_t seed);
    // The next frame in time order; the stream never ends.
    void Next(FrameEvent& out);

private:
    void EmitLayer1(Line& line, const uint8_t* bytes, unsigned count);
    // The next layer-1 status of the line, or the next disturbance once the last has been sent.
    void FireLayer1(Line& line);

    TrafficContext m_context;
    Prng& m_prng;
    MessageBuilder m_messages;
    LinkModel m_links;
    CallScenarios m_calls;
};

}  // namespace tessary::loggen
