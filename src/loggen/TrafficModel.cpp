#include "loggen/TrafficModel.h"

namespace tessary::loggen {

namespace {

// Layer-1 status values: the legend values of both boards and a few that neither knows.
constexpr uint8_t kL1Values64[] = {0x34, 0x74, 0x00, 0x10, 0x50};
constexpr uint8_t kL1Values1500[] = {0x44, 0x04, 0x00, 0x03, 0x30};
constexpr uint8_t kL1Others[] = {0x12, 0x3F, 0x55, 0x07, 0xF0};

}  // namespace

TrafficModel::TrafficModel(const ResolvedProfile& profile, uint64_t seed)
    : m_context(profile, seed),
      m_prng(m_context.Random()),
      m_messages(m_prng, m_context.Is1500()),
      m_links(m_context, m_messages),
      m_calls(m_context, m_links, m_messages) {
    const bool is1500 = m_context.Is1500();
    for (Line& line : m_context.Lines()) {
        line.linkCount = is1500 ? 1 : 2;
        for (unsigned t = 0; t < line.linkCount; ++t) {
            line.links[t] = m_links.AddLink(line.index, static_cast<uint8_t>(t));
            MakeNumber(m_prng, line.number[t], 10);
            // Terminals come up one after the other after layer 1.
            m_context.Schedule(static_cast<int64_t>(200 + 150 * t + m_prng.Below(100)),
                               Action::Link, line.links[t]);
        }
        // Layer 1 comes up first: deactivated, activation request, all OK.
        const uint8_t* v = is1500 ? kL1Values1500 : kL1Values64;
        line.l1Queue[0] = 0x00;
        line.l1Queue[1] =
            is1500 ? (m_prng.Below(2) ? 0x03 : 0x30) : (m_prng.Below(2) ? 0x10 : 0x50);
        line.l1Queue[2] = v[0];
        line.l1Count = 3;
        m_context.Schedule(static_cast<int64_t>(line.index), Action::Layer1, line.index);
        m_context.Schedule(1000 + static_cast<int64_t>(m_prng.Below(2000)), Action::Arrival,
                           line.index);
    }
}

void TrafficModel::Next(FrameEvent& out) {
    while (!m_context.HasOutput()) {
        const TrafficContext::Pending p = m_context.PopNext();
        switch (p.action) {
            case Action::Layer1:
                FireLayer1(m_context.Lines()[p.index]);
                break;
            case Action::Link:
                m_links.Fire(p.index);
                break;
            case Action::Arrival:
                m_calls.FireArrival(m_context.Lines()[p.index]);
                break;
            case Action::Call:
                m_calls.FireCall(p.index);
                break;
            case Action::Ack:
                m_links.FireAck(p.index, p.arg != 0);
                break;
        }
    }
    m_context.TakeOutput(out);
}

void TrafficModel::EmitLayer1(Line& line, const uint8_t* bytes, unsigned count) {
    FrameEvent& e = m_context.Emit(line.index, false);
    e.layer1 = true;
    e.frame.Put(bytes, count);
}

void TrafficModel::FireLayer1(Line& line) {
    if (line.l1Next < line.l1Count) {
        const uint8_t value = line.l1Queue[line.l1Next++];
        const uint64_t form = m_prng.Below(20);
        if (form == 0) {
            // Twenty status bytes: two rows in the decoded line.
            uint8_t bytes[20];
            bytes[0] = value;
            for (unsigned i = 1; i < 20; ++i) {
                bytes[i] = m_prng.Byte();
            }
            EmitLayer1(line, bytes, 20);
        } else if (form < 4) {
            const uint8_t bytes[2] = {value, static_cast<uint8_t>(m_prng.Below(0x20))};
            EmitLayer1(line, bytes, 2);
        } else {
            EmitLayer1(line, &value, 1);
        }
        if (line.l1Next < line.l1Count) {
            m_context.Schedule(m_context.Now() + m_prng.Between(3, 400), Action::Layer1,
                               line.index);
            return;
        }
    }
    // The next disturbance of the line.
    line.l1Next = 0;
    const uint8_t* own = m_context.Is1500() ? kL1Values1500 : kL1Values64;
    const uint8_t* other = m_context.Is1500() ? kL1Values64 : kL1Values1500;
    switch (m_prng.Below(6)) {
        case 0:  // rear side lost, then back
        case 1:
            line.l1Queue[0] = own[1];
            line.l1Queue[1] = own[0];
            line.l1Count = 2;
            break;
        case 2:  // full drop and reactivation
            line.l1Queue[0] = 0x00;
            line.l1Queue[1] = own[3 + m_prng.Below(2)];
            line.l1Queue[2] = own[0];
            line.l1Count = 3;
            break;
        case 3:  // values of the other board's table
            line.l1Queue[0] = other[m_prng.Below(5)];
            line.l1Queue[1] = other[m_prng.Below(5)];
            line.l1Queue[2] = own[0];
            line.l1Count = 3;
            break;
        case 4:  // values no legend knows
            line.l1Queue[0] = Pick(m_prng, kL1Others);
            line.l1Queue[1] = own[0];
            line.l1Count = 2;
            break;
        default:  // every own value once
            for (unsigned i = 0; i < 5; ++i) {
                line.l1Queue[i] = own[(i + 1) % 5];
            }
            line.l1Count = 5;
            break;
    }
    if (m_prng.Below(30) == 0) {
        // A malformed status record without bytes.
        EmitLayer1(line, nullptr, 0);
    }
    const int64_t interval = m_context.Profile().callIntervalMs;
    m_context.Schedule(m_context.Now() + m_prng.Between(interval * 5, interval * 60),
                       Action::Layer1, line.index);
}

}  // namespace tessary::loggen
