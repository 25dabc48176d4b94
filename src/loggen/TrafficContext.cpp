#include "loggen/TrafficContext.h"

#include <iterator>

namespace tessary::loggen {

TrafficContext::TrafficContext(const ResolvedProfile& profile, uint64_t seed)
    : m_spec(profile), m_prng(seed), m_is1500(profile.profile.board == Board::Ins1500) {
    m_lines.resize(profile.lines);
    for (unsigned l = 0; l < profile.lines; ++l) {
        m_lines[l].index = static_cast<uint8_t>(l);
    }
}

void TrafficContext::Schedule(int64_t time, Action action, uint16_t index, uint8_t arg) {
    m_queue.push(Pending{time, m_seq++, action, index, arg});
}

TrafficContext::Pending TrafficContext::PopNext() {
    const Pending p = m_queue.top();
    m_queue.pop();
    m_now = p.time;
    return p;
}

FrameEvent& TrafficContext::Emit(uint8_t line, bool fromNetwork) {
    FrameEvent& e = m_out[(m_outHead + m_outCount) % std::size(m_out)];
    if (m_outCount < std::size(m_out)) {
        ++m_outCount;
    }
    e.timeMs = m_now;
    e.line = line;
    e.fromNetwork = fromNetwork;
    e.layer1 = false;
    e.oversize = false;
    e.frame.Clear();
    e.call = FrameCall{};
    return e;
}

FrameEvent& TrafficContext::LastEmitted() {
    return m_out[(m_outHead + m_outCount - 1) % std::size(m_out)];
}

void TrafficContext::TakeOutput(FrameEvent& out) {
    out = m_out[m_outHead];
    m_outHead = (m_outHead + 1) % std::size(m_out);
    --m_outCount;
}

}  // namespace tessary::loggen
