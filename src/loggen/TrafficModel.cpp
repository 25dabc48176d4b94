#include "loggen/TrafficModel.h"

#include <cstdio>
#include <cstring>

namespace tessary::loggen {

namespace {

enum LinkPhase : uint8_t {
    kNeedTei,
    kAwaitAssign,
    kNeedSabme,
    kAwaitUa,
    kUp,
    kPollAnswer,
    kCheckAnswer,
    kAwaitDiscUa,
    kRnrClear,
    kFrmrSabme,
    kFrmrUa,
};

// Layer-1 status values: the legend values of both boards and a few that neither knows.
constexpr uint8_t kL1Values64[] = {0x34, 0x74, 0x00, 0x10, 0x50};
constexpr uint8_t kL1Values1500[] = {0x44, 0x04, 0x00, 0x03, 0x30};
constexpr uint8_t kL1Others[] = {0x12, 0x3F, 0x55, 0x07, 0xF0};

// Causes of an unsuccessful or ended call.
constexpr uint8_t kBusyCauses[] = {17, 17, 34, 41};
constexpr uint8_t kRejectCauses[] = {1, 21, 88, 34};
constexpr uint8_t kNoAnswerCauses[] = {18, 19, 102, 16};
constexpr uint8_t kNormalCauses[] = {16, 16, 16, 31};

template <typename T, size_t N>
T Pick(Prng& prng, const T (&table)[N]) {
    return table[prng.Below(N)];
}

void MakeNumber(Prng& prng, char* out, unsigned digits) {
    out[0] = '0';
    for (unsigned i = 1; i < digits; ++i) {
        out[i] = static_cast<char>('0' + prng.Below(10));
    }
    out[digits] = 0;
}

}  // namespace

TrafficModel::TrafficModel(const ResolvedProfile& profile, uint64_t seed)
    : m_spec(profile), m_prng(seed), m_is1500(profile.profile.board == Board::Ins1500) {
    m_lines.resize(profile.lines);
    for (unsigned l = 0; l < profile.lines; ++l) {
        Line& line = m_lines[l];
        line.index = static_cast<uint8_t>(l);
        line.linkCount = m_is1500 ? 1 : 2;
        for (unsigned t = 0; t < line.linkCount; ++t) {
            Link link;
            link.line = line.index;
            link.terminal = static_cast<uint8_t>(t);
            link.phase = m_is1500 ? kNeedSabme : kNeedTei;
            link.tei = 0;
            line.links[t] = static_cast<uint16_t>(m_links.size());
            MakeNumber(m_prng, line.number[t], 10);
            m_links.push_back(link);
            // Terminals come up one after the other after layer 1.
            Schedule(static_cast<int64_t>(200 + 150 * t + m_prng.Below(100)), Action::Link,
                     line.links[t]);
        }
        // Layer 1 comes up first: deactivated, activation request, all OK.
        const uint8_t* v = m_is1500 ? kL1Values1500 : kL1Values64;
        line.l1Queue[0] = 0x00;
        line.l1Queue[1] =
            m_is1500 ? (m_prng.Below(2) ? 0x03 : 0x30) : (m_prng.Below(2) ? 0x10 : 0x50);
        line.l1Queue[2] = v[0];
        line.l1Count = 3;
        Schedule(static_cast<int64_t>(l), Action::Layer1, line.index);
        Schedule(1000 + static_cast<int64_t>(m_prng.Below(2000)), Action::Arrival, line.index);
    }
}

void TrafficModel::Schedule(int64_t time, Action action, uint16_t index, uint8_t arg) {
    m_queue.push(Pending{time, m_seq++, action, index, arg});
}

FrameEvent& TrafficModel::Emit(uint8_t line, bool fromNetwork) {
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
    return e;
}

void TrafficModel::Next(FrameEvent& out) {
    while (m_outCount == 0) {
        const Pending p = m_queue.top();
        m_queue.pop();
        m_now = p.time;
        switch (p.action) {
            case Action::Layer1:
                FireLayer1(m_lines[p.index]);
                break;
            case Action::Link:
                FireLink(p.index);
                break;
            case Action::Arrival:
                FireArrival(m_lines[p.index]);
                break;
            case Action::Call:
                FireCall(p.index);
                break;
            case Action::Ack:
                FireAck(p.index, p.arg != 0);
                break;
        }
    }
    out = m_out[m_outHead];
    m_outHead = (m_outHead + 1) % std::size(m_out);
    --m_outCount;
}

// ---- layer 1 ----

void TrafficModel::EmitLayer1(Line& line, const uint8_t* bytes, unsigned count) {
    FrameEvent& e = Emit(line.index, false);
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
            Schedule(m_now + m_prng.Between(3, 400), Action::Layer1, line.index);
            return;
        }
    }
    // The next disturbance of the line.
    line.l1Next = 0;
    const uint8_t* own = m_is1500 ? kL1Values1500 : kL1Values64;
    const uint8_t* other = m_is1500 ? kL1Values64 : kL1Values1500;
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
    const int64_t interval = m_spec.profile.callIntervalMs;
    Schedule(m_now + m_prng.Between(interval * 5, interval * 60), Action::Layer1, line.index);
}

// ---- layer 2 ----

FrameBytes& TrafficModel::LinkFrame(Link& link, bool fromNetwork, uint8_t sapi, bool command) {
    FrameEvent& e = Emit(link.line, fromNetwork);
    PutAddress(e.frame, sapi, link.tei, fromNetwork, command);
    return e.frame;
}

void TrafficModel::SendU(Link& link, bool fromNetwork, uint8_t control, bool command) {
    FrameBytes& f = LinkFrame(link, fromNetwork, kSapiCallControl, command);
    f.Put(control);
    if ((control & ~ctl::kPF) == ctl::kFRMR) {
        // Rejected control field, V(S)/V(R), reason bits.
        f.Put({0x01, static_cast<uint8_t>(link.vsTe << 1), 0x01});
    }
    link.lastActivity = m_now;
    MaybeOdd(link);
}

void TrafficModel::SendS(Link& link, bool fromNetwork, uint8_t control, bool command, bool pf) {
    FrameBytes& f = LinkFrame(link, fromNetwork, kSapiCallControl, command);
    f.Put(control);
    const uint8_t nr = fromNetwork ? link.vsTe : link.vsNt;
    f.Put(static_cast<uint8_t>((nr << 1) | (pf ? 1 : 0)));
    (fromNetwork ? link.ackNt : link.ackTe) = false;
}

FrameBytes& TrafficModel::SendI(Link& link, bool fromNetwork) {
    FrameBytes& f = LinkFrame(link, fromNetwork, kSapiCallControl, true);
    uint8_t& vs = fromNetwork ? link.vsNt : link.vsTe;
    const uint8_t nr = fromNetwork ? link.vsTe : link.vsNt;
    f.Put(static_cast<uint8_t>(vs << 1));
    f.Put(static_cast<uint8_t>(nr << 1));
    vs = static_cast<uint8_t>((vs + 1) & 0x7F);
    link.lastActivity = m_now;
    // The sender's pending acknowledgement rides on this frame; the peer owes one now.
    (fromNetwork ? link.ackNt : link.ackTe) = false;
    bool& peerOwes = fromNetwork ? link.ackTe : link.ackNt;
    if (!peerOwes) {
        peerOwes = true;
        Schedule(m_now + m_prng.Between(4, 60), Action::Ack,
                 static_cast<uint16_t>(&link - m_links.data()), fromNetwork ? 0 : 1);
    }
    return f;
}

void TrafficModel::SendTeiManagement(Link& link, bool fromNetwork, uint8_t type,
                                     std::initializer_list<uint8_t> ai) {
    FrameEvent& e = Emit(link.line, fromNetwork);
    FrameBytes& f = e.frame;
    f.Put(static_cast<uint8_t>((kSapiManagement << 2) | (fromNetwork ? 0x02 : 0x00)));
    f.Put(0xFF);
    f.Put(ctl::kUI);
    f.Put(0x0F);
    f.Put({link.ri[0], link.ri[1], type});
    f.Put(ai);
}

void TrafficModel::ResetSequence(Link& link) {
    link.vsTe = 0;
    link.vsNt = 0;
    link.ackTe = false;
    link.ackNt = false;
}

void TrafficModel::FireAck(uint16_t linkIndex, bool fromNetwork) {
    Link& link = m_links[linkIndex];
    bool& owes = fromNetwork ? link.ackNt : link.ackTe;
    if (!owes || !link.up) {
        owes = false;
        return;
    }
    SendS(link, fromNetwork, ctl::kRR, false, false);
    MaybeOdd(link);
}

void TrafficModel::FireLink(uint16_t linkIndex) {
    Link& link = m_links[linkIndex];
    const int64_t poll = m_spec.profile.pollIntervalMs;
    auto again = [&](int64_t low, int64_t high) {
        Schedule(m_now + m_prng.Between(low, high), Action::Link, linkIndex);
    };
    switch (link.phase) {
        case kNeedTei: {
            link.ri[0] = m_prng.Byte();
            link.ri[1] = m_prng.Byte();
            SendTeiManagement(link, false, 1, {0xFF});  // identity request, Ai 127
            link.phase = kAwaitAssign;
            again(20, 150);
            return;
        }
        case kAwaitAssign: {
            if (m_prng.Below(12) == 0) {
                SendTeiManagement(link, true, 3, {0xFF});  // identity denied
                link.phase = kNeedTei;
                again(1000, 5000);
                return;
            }
            Line& line = m_lines[link.line];
            link.tei = line.nextTei;
            line.nextTei = static_cast<uint8_t>(line.nextTei >= 126 ? 64 : line.nextTei + 1);
            SendTeiManagement(link, true, 2, {static_cast<uint8_t>((link.tei << 1) | 1)});
            link.phase = kNeedSabme;
            again(5, 60);
            return;
        }
        case kNeedSabme:
            SendU(link, false, ctl::kSABME | ctl::kPF, true);
            link.phase = kAwaitUa;
            again(3, 40);
            return;
        case kAwaitUa:
            if (m_prng.Below(25) == 0) {
                SendU(link, true, ctl::kDM | ctl::kPF, false);  // not ready yet: retry
                link.phase = kNeedSabme;
                again(1000, 2000);
                return;
            }
            SendU(link, true, ctl::kUA | ctl::kPF, false);
            ResetSequence(link);
            link.up = true;
            link.phase = kUp;
            again(poll, poll + poll / 10);
            return;
        case kUp:
            break;
        case kPollAnswer:
            // The poll was a command with P=1 from one side; the other answers with F=1.
            SendS(link, link.answerByNetwork, ctl::kRR, false, true);
            link.phase = kUp;
            again(poll, poll + poll / 10);
            return;
        case kCheckAnswer: {
            const uint8_t tei = static_cast<uint8_t>((link.tei << 1) | 1);
            if (m_prng.Below(40) == 0) {
                // One terminal answering for many TEIs: a list over more than one row.
                FrameEvent& e = Emit(link.line, false);
                FrameBytes& f = e.frame;
                f.Put({0xFC, 0xFF, ctl::kUI, 0x0F, link.ri[0], link.ri[1], 5});
                const unsigned count = 17 + static_cast<unsigned>(m_prng.Below(6));
                for (unsigned i = 0; i + 1 < count; ++i) {
                    f.Put(static_cast<uint8_t>((64 + i) << 1));
                }
                f.Put(tei);
            } else {
                link.ri[0] = m_prng.Byte();
                link.ri[1] = m_prng.Byte();
                SendTeiManagement(link, false, 5, {tei});
            }
            link.phase = kUp;
            again(poll, poll + poll / 10);
            return;
        }
        case kAwaitDiscUa:
            SendU(link, link.answerByNetwork, ctl::kUA | ctl::kPF, false);
            link.up = false;
            ResetSequence(link);
            link.phase = kNeedSabme;
            again(500, 3000);
            return;
        case kRnrClear:
            SendS(link, false, ctl::kRR, false, false);
            link.phase = kUp;
            again(poll, poll + poll / 10);
            return;
        case kFrmrSabme:
            SendU(link, true, ctl::kSABME | ctl::kPF, true);
            link.phase = kFrmrUa;
            again(3, 30);
            return;
        case kFrmrUa:
            SendU(link, false, ctl::kUA | ctl::kPF, false);
            ResetSequence(link);
            link.up = true;
            link.phase = kUp;
            again(poll, poll + poll / 10);
            return;
        default:
            return;
    }

    // Established: poll only after the link has been idle for the poll interval.
    if (m_now - link.lastActivity < poll) {
        Schedule(link.lastActivity + poll + m_prng.Between(0, 50), Action::Link, linkIndex);
        return;
    }
    const uint64_t roll = m_prng.Below(1000);
    const bool idle = link.activeCalls == 0;
    if (roll < 15 && !m_is1500) {
        link.ri[0] = m_prng.Byte();
        link.ri[1] = m_prng.Byte();
        if (roll < 5) {
            SendTeiManagement(link, false, 7, {static_cast<uint8_t>((link.tei << 1) | 1)});
        }
        // Check request for all TEIs or for this one.
        SendTeiManagement(link, true, 4,
                          {roll & 1 ? uint8_t{0xFF} : static_cast<uint8_t>((link.tei << 1) | 1)});
        link.phase = kCheckAnswer;
        again(10, 200);
        return;
    }
    if (roll < 22 && idle) {
        const bool byNetwork = m_prng.Below(2) != 0;
        SendU(link, byNetwork, ctl::kDISC | ctl::kPF, true);
        link.answerByNetwork = !byNetwork;
        link.phase = kAwaitDiscUa;
        again(3, 40);
        return;
    }
    if (roll < 26 && idle && !m_is1500) {
        // Identity removed: the terminal starts over with a new TEI.
        link.ri[0] = m_prng.Byte();
        link.ri[1] = m_prng.Byte();
        SendTeiManagement(link, true, 6, {static_cast<uint8_t>((link.tei << 1) | 1)});
        link.up = false;
        ResetSequence(link);
        link.phase = kNeedTei;
        again(1000, 4000);
        return;
    }
    if (roll < 36) {
        SendS(link, false, ctl::kRNR, false, false);
        link.phase = kRnrClear;
        again(50, 2000);
        return;
    }
    if (roll < 42) {
        SendS(link, true, ctl::kREJ, false, false);
        link.phase = kPollAnswer;
        // The terminal polls after the reject; the network answers.
        SendS(link, false, ctl::kRR, true, true);
        link.answerByNetwork = true;
        again(3, 40);
        return;
    }
    if (roll < 45) {
        SendU(link, false, ctl::kFRMR | ctl::kPF, false);
        link.up = false;
        link.phase = kFrmrSabme;
        again(5, 50);
        return;
    }
    // RR poll (T203): command with P=1 from either side.
    const bool byNetwork = m_prng.Below(2) != 0;
    SendS(link, byNetwork, ctl::kRR, true, true);
    link.answerByNetwork = !byNetwork;
    link.phase = kPollAnswer;
    again(2, 40);
}

void TrafficModel::MaybeOversize(Link& link, uint8_t crLength, uint32_t crValue, bool incoming) {
    if (!m_prng.PerMille(m_spec.profile.oversizePerMille)) {
        return;
    }
    // INFORMATION with a user-user element that takes a kind-0 record past 264 bytes.
    FrameBytes& f = SendI(link, true);
    m_out[(m_outHead + m_outCount - 1) % std::size(m_out)].oversize = true;
    // From the network on the call's own call reference.
    PutMessageHead(f, crLength, crValue, !incoming, mt::kInformation);
    const unsigned total = 263 + static_cast<unsigned>(m_prng.Below(2));
    const unsigned content = total - f.size - 2;
    f.Put(ie::kUserUser);
    f.Put(static_cast<uint8_t>(content));
    f.Put(0x04);
    for (unsigned i = 1; i < content; ++i) {
        f.Put(static_cast<uint8_t>('A' + i % 26));
    }
}

void TrafficModel::MaybeOdd(Link& link) {
    if (!m_prng.PerMille(m_spec.profile.oddPerMille)) {
        return;
    }
    const bool fromNetwork = m_prng.Below(2) != 0;
    const uint64_t kind = link.up ? m_prng.Below(11) : m_prng.Below(3);
    FrameBytes* f = nullptr;
    switch (kind) {
        case 0:  // XID
            f = &LinkFrame(link, fromNetwork, kSapiCallControl, true);
            f->Put({ctl::kXID, 0x82, 0x80, 0x00});
            return;
        case 1:  // a supervisory octet LAPD does not define
            f = &LinkFrame(link, fromNetwork, kSapiCallControl, false);
            f->Put({0x0D, static_cast<uint8_t>(link.vsTe << 1)});
            return;
        case 2: {  // undetermined TEI: address without its EA bit
            FrameEvent& e = Emit(link.line, fromNetwork);
            e.frame.Put({0x00, static_cast<uint8_t>(link.tei << 1), ctl::kRR,
                         static_cast<uint8_t>(link.vsNt << 1)});
            return;
        }
        case 3: {  // too short for an address and control field
            FrameEvent& e = Emit(link.line, fromNetwork);
            e.frame.Put({0x02, static_cast<uint8_t>((link.tei << 1) | 1)});
            return;
        }
        case 4:  // wrong protocol discriminator
            f = &SendI(link, fromNetwork);
            f->Put({0x40, 0x01, 0x05, 0x05, 0x04, 0x01, 0x80});
            return;
        case 5:  // unknown message type
            f = &SendI(link, fromNetwork);
            PutMessageHead(*f, 1, 5, fromNetwork, 0x60);
            return;
        case 6:  // SETUP ACKNOWLEDGE, not decoded here
            f = &SendI(link, true);
            PutMessageHead(*f, 1, 3, true, mt::kSetupAck);
            PutIe(*f, ie::kChannel, {0x89});
            return;
        case 7:  // ends right after the call reference
            f = &SendI(link, fromNetwork);
            f->Put({0x08, 0x01, 0x07});
            return;
        case 8:  // an element that runs past the end of the message
            f = &SendI(link, false);
            PutMessageHead(*f, 1, 9, false, mt::kInformation);
            f->Put({ie::kKeypad, 0x0A, '1', '2'});
            return;
        case 9:  // an identifier the decoder does not list (date/time)
            f = &SendI(link, true);
            PutMessageHead(*f, 1, 4, true, mt::kNotify);
            PutIe(*f, ie::kDateTime, {24, 6, 7, 12, 30});
            PutIe(*f, ie::kNotification, {0x80});
            return;
        default: {  // an I frame on the packet SAPI, which has its own sequence numbers
            FrameEvent& e = Emit(link.line, fromNetwork);
            PutAddress(e.frame, kSapiPacket, link.tei, fromNetwork, true);
            e.frame.Put({0x00, 0x00, 0x10, 0x01, 0x0B, 0x00});
            return;
        }
    }
}

// ---- calls ----

bool TrafficModel::AllocateCallReference(Call& call, Line& line, bool longForm) {
    std::bitset<256>& used = call.incoming ? line.crNt : line.crTe;
    const unsigned limit = longForm ? 255 : 127;
    for (unsigned slot = 1; slot <= limit; ++slot) {
        if (!used[slot]) {
            used[slot] = true;
            call.crSlot = static_cast<uint16_t>(slot);
            call.crLength = longForm ? 2 : 1;
            call.crValue = longForm ? 0x100 + slot : slot;
            return true;
        }
    }
    return false;
}

void TrafficModel::FreeCallReference(Call& call) {
    if (call.crSlot != 0) {
        Line& line = m_lines[call.line];
        (call.incoming ? line.crNt : line.crTe)[call.crSlot] = false;
        call.crSlot = 0;
    }
}

uint8_t TrafficModel::AllocateChannel(Line& line) {
    const unsigned count = m_is1500 ? 23 : 2;
    // Exchanges hunt from a random start so that channels vary between calls.
    const unsigned first = static_cast<unsigned>(m_prng.Below(count));
    for (unsigned i = 0; i < count; ++i) {
        const unsigned ch = 1 + (first + i) % count;
        if (!(line.busyChannels & (1u << ch))) {
            line.busyChannels |= 1u << ch;
            return static_cast<uint8_t>(ch);
        }
    }
    return 0;
}

void TrafficModel::AddOp(Call& call, uint8_t type, bool fromNetwork, int64_t delayMs,
                         uint8_t variant) {
    if (call.opCount < std::size(call.ops)) {
        call.ops[call.opCount++] = Op{type, fromNetwork, variant, delayMs};
    }
}

void TrafficModel::AddClearing(Call& call, bool byNetwork, uint8_t cause, int64_t holdMs) {
    call.cause = cause;
    AddOp(call, mt::kDisconnect, byNetwork, holdMs);
    AddOp(call, mt::kRelease, !byNetwork, m_prng.Between(10, 300));
    AddOp(call, mt::kReleaseComplete, byNetwork, m_prng.Between(5, 200));
}

void TrafficModel::AddExtras(Call& call) {
    if (m_prng.Below(100) < 15) {
        AddOp(call, mt::kInformation, true, m_prng.Between(500, 20000));
    }
    if (m_prng.Below(100) < 8) {
        AddOp(call, mt::kInformation, false, m_prng.Between(500, 5000));
    }
    if (m_prng.Below(100) < 10) {
        AddOp(call, mt::kNotify, true, m_prng.Between(500, 30000));
    }
    if (m_prng.Below(100) < 10) {
        const bool byNetwork = m_prng.Below(2) != 0;
        AddOp(call, mt::kStatusEnquiry, byNetwork, m_prng.Between(500, 30000));
        AddOp(call, mt::kStatus, !byNetwork, m_prng.Between(5, 100));
    }
    if (m_prng.Below(100) < 5) {
        AddOp(call, mt::kProgress, true, m_prng.Between(100, 3000));
    }
}

uint16_t TrafficModel::NewCall(Line& line, uint16_t link, bool incoming) {
    uint16_t index;
    if (!m_freeCalls.empty()) {
        index = m_freeCalls.back();
        m_freeCalls.pop_back();
    } else {
        index = static_cast<uint16_t>(m_calls.size());
        m_calls.emplace_back();
    }
    Call& call = m_calls[index];
    call = Call{};
    call.live = true;
    call.incoming = incoming;
    call.line = line.index;
    call.link = link;
    MakeNumber(m_prng, call.remote, m_prng.Below(4) == 0 ? 11 : 10);
    m_links[link].activeCalls++;
    return index;
}

void TrafficModel::FireArrival(Line& line) {
    const int64_t interval = m_spec.profile.callIntervalMs;
    Schedule(m_now + m_prng.Between(interval / 4, interval * 7 / 4), Action::Arrival, line.index);

    // The terminals that can take a call now.
    uint16_t upLinks[2];
    unsigned upCount = 0;
    for (unsigned t = 0; t < line.linkCount; ++t) {
        if (m_links[line.links[t]].up) {
            upLinks[upCount++] = line.links[t];
        }
    }
    if (upCount == 0) {
        return;
    }
    const uint16_t linkIndex = upLinks[m_prng.Below(upCount)];

    if (!line.restartDone && (m_is1500 || m_prng.Below(3) == 0)) {
        line.restartDone = true;
        // RESTART on the dummy call reference, answered by the terminal.
        const uint16_t index = NewCall(line, linkIndex, true);
        Call& call = m_calls[index];
        call.crLength = 0;
        const uint8_t allInterfaces = m_prng.Below(2) ? 1 : 0;
        AddOp(call, mt::kRestart, true, 0, allInterfaces);
        AddOp(call, mt::kRestartAck, false, m_prng.Between(10, 200), allInterfaces);
        Schedule(m_now, Action::Call, index);
        return;
    }

    const bool incoming = m_prng.Below(2) != 0;
    const bool longForm = m_is1500 ? m_prng.Below(10) != 0 : m_prng.Below(10) == 0;
    const uint16_t index = NewCall(line, linkIndex, incoming);
    Call& call = m_calls[index];
    if (!AllocateCallReference(call, line, longForm)) {
        EndCall(index);
        return;
    }
    call.channel = AllocateChannel(line);
    const uint64_t roll = m_prng.Below(100);
    if (incoming && roll >= 97 && call.channel != 0) {
        // Offered without a channel (call waiting): the terminal turns it down as busy.
        line.busyChannels &= ~(1u << call.channel);
        call.channel = 0;
    }
    const int64_t hold = m_prng.Between(2000, 4 * interval);

    if (incoming) {
        call.broadcast = !m_is1500 && m_prng.Below(100) < 40;
        AddOp(call, mt::kSetup, true, 0);
        if (call.channel == 0) {
            AddOp(call, mt::kReleaseComplete, false, m_prng.Between(20, 300));
            call.cause = 17;
        } else if (roll < 12) {
            AddOp(call, mt::kReleaseComplete, false, m_prng.Between(20, 500));
            call.cause = Pick(m_prng, kRejectCauses);
        } else if (roll < 25) {
            AddOp(call, mt::kAlerting, false, m_prng.Between(30, 500));
            AddClearing(call, true, Pick(m_prng, kNoAnswerCauses), m_prng.Between(5000, 40000));
        } else {
            if (m_prng.Below(2)) {
                AddOp(call, mt::kCallProceeding, false, m_prng.Between(20, 200));
            }
            AddOp(call, mt::kAlerting, false, m_prng.Between(30, 500));
            AddOp(call, mt::kConnect, false, m_prng.Between(1000, 20000));
            AddOp(call, mt::kConnectAck, true, m_prng.Between(5, 60));
            AddExtras(call);
            if (roll < 32) {
                // Suspended on this call reference, resumed on a new one.
                AddOp(call, mt::kSuspend, false, m_prng.Between(1000, 10000));
                if (roll < 28) {
                    AddOp(call, mt::kSuspendReject, true, m_prng.Between(10, 200));
                } else {
                    AddOp(call, mt::kSuspendAck, true, m_prng.Between(10, 200));
                    AddOp(call, mt::kResume, false, m_prng.Between(1000, 30000));
                    if (roll == 31) {
                        AddOp(call, mt::kResumeReject, true, m_prng.Between(10, 200));
                        Schedule(m_now, Action::Call, index);
                        return;
                    }
                    AddOp(call, mt::kResumeAck, true, m_prng.Between(10, 200));
                }
            }
            AddClearing(call, m_prng.Below(2) != 0, Pick(m_prng, kNormalCauses), hold);
        }
    } else {
        AddOp(call, mt::kSetup, false, 0);
        if (call.channel == 0 || roll < 10) {
            AddOp(call, mt::kReleaseComplete, true, m_prng.Between(20, 400));
            call.cause = call.channel == 0 ? 34 : Pick(m_prng, kRejectCauses);
        } else if (roll < 22) {
            AddOp(call, mt::kCallProceeding, true, m_prng.Between(30, 400));
            AddClearing(call, true, Pick(m_prng, kBusyCauses), m_prng.Between(200, 3000));
        } else if (roll < 32) {
            AddOp(call, mt::kCallProceeding, true, m_prng.Between(30, 400));
            AddOp(call, mt::kAlerting, true, m_prng.Between(200, 3000));
            AddClearing(call, false, 16, m_prng.Between(5000, 30000));
        } else {
            AddOp(call, mt::kCallProceeding, true, m_prng.Between(30, 400));
            if (m_prng.Below(100) < 25) {
                AddOp(call, mt::kProgress, true, m_prng.Between(100, 1000));
            }
            AddOp(call, mt::kAlerting, true, m_prng.Between(200, 3000));
            AddOp(call, mt::kConnect, true, m_prng.Between(2000, 15000));
            AddOp(call, mt::kConnectAck, false, m_prng.Between(5, 60));
            AddExtras(call);
            if (roll < 38) {
                AddOp(call, mt::kSuspend, false, m_prng.Between(1000, 10000));
                AddOp(call, mt::kSuspendAck, true, m_prng.Between(10, 200));
                AddOp(call, mt::kResume, false, m_prng.Between(1000, 30000));
                AddOp(call, mt::kResumeAck, true, m_prng.Between(10, 200));
            }
            AddClearing(call, m_prng.Below(2) != 0, Pick(m_prng, kNormalCauses), hold);
        }
    }
    Schedule(m_now, Action::Call, index);
}

void TrafficModel::EndCall(uint16_t callIndex) {
    Call& call = m_calls[callIndex];
    FreeCallReference(call);
    if (call.channel != 0) {
        m_lines[call.line].busyChannels &= ~(1u << call.channel);
    }
    m_links[call.link].activeCalls--;
    call.live = false;
    m_freeCalls.push_back(callIndex);
}

void TrafficModel::FireCall(uint16_t callIndex) {
    Call& call = m_calls[callIndex];
    Link& link = m_links[call.link];
    if (!link.up) {
        Schedule(m_now + 200, Action::Call, callIndex);
        return;
    }
    const Op op = call.ops[call.opNext++];
    if (op.type == mt::kResume) {
        // A resumed call gets a call reference of its own.
        AllocateCallReference(call, m_lines[call.line], call.crLength == 2);
    }
    if (op.type == mt::kSetup && call.broadcast) {
        FrameEvent& e = Emit(call.line, true);
        e.frame.Put({0x02, 0xFF, ctl::kUI});
        BuildMessage(call, op, e.frame);
    } else {
        FrameBytes& f = SendI(link, op.fromNetwork);
        BuildMessage(call, op, f);
        MaybeOversize(link, call.crLength, call.crValue, call.incoming);
    }
    MaybeOdd(link);
    if (op.type == mt::kSuspendAck) {
        FreeCallReference(call);
    }
    if (call.opNext < call.opCount) {
        Schedule(m_now + call.ops[call.opNext].delayMs, Action::Call, callIndex);
    } else {
        EndCall(callIndex);
    }
}

void TrafficModel::PutChannel(Call& call, FrameBytes& f, bool fromNetwork, uint8_t variant) {
    const uint8_t ch = call.channel;
    if (ch == 0) {
        // No free channel: the terminal asks for any, the network offers none.
        const uint8_t none = m_is1500 ? 0xA0 : 0x80;
        const uint8_t any = m_is1500 ? 0xA3 : 0x83;
        PutIe(f, ie::kChannel, {fromNetwork ? none : any});
        return;
    }
    // variant 0: exclusive (the network's choice); 1: the terminal's request.
    const uint64_t roll = m_prng.Below(100);
    if (!m_is1500) {
        if (variant == 0 || roll < 20) {
            PutIe(f, ie::kChannel, {static_cast<uint8_t>(0x88 | ch)});
        } else if (roll < 60) {
            PutIe(f, ie::kChannel, {static_cast<uint8_t>(0x80 | ch)});
        } else {
            PutIe(f, ie::kChannel, {0x83});
        }
        return;
    }
    if (variant == 1 && roll < 10) {
        PutIe(f, ie::kChannel, {0xA3});
    } else if (roll < 25) {
        uint8_t map[3] = {0, 0, 0};  // channels 17-24, 9-16, 1-8
        map[2 - (ch - 1) / 8] = static_cast<uint8_t>(1u << ((ch - 1) % 8));
        PutIe(f, ie::kChannel,
              {static_cast<uint8_t>(fromNetwork ? 0xA9 : 0xA1), 0x93, map[0], map[1], map[2]});
    } else {
        const uint8_t first = variant == 1 && roll < 50 ? 0xA1 : 0xA9;
        PutIe(f, ie::kChannel, {first, 0x83, static_cast<uint8_t>(0x80 | ch)});
    }
}

void TrafficModel::PutCalling(FrameBytes& f, const char* number, unsigned form) {
    switch (form) {
        case 0:
            PutIeText(f, ie::kCalling, {0x00, 0x80}, number);
            break;
        case 1:
            PutIeText(f, ie::kCalling, {0x00, 0x81}, number);
            break;
        case 2:
            PutIe(f, ie::kCalling, {0x00, 0xA0});  // restricted
            break;
        case 3:
            PutIe(f, ie::kCalling, {0x00, 0xC3});  // not available
            break;
        case 4:
            PutIe(f, ie::kCalling, {0x00, 0xE0});  // reserved presentation
            break;
        case 5:
            PutIeText(f, ie::kCalling, {0x80}, number);  // depends on the subscription
            break;
        case 6:
            PutIe(f, ie::kCalling, {0x00, 0x80});  // allowed, but no digits
            break;
        case 7:
            PutIeText(f, ie::kCalling, {0x21, 0x80}, number);  // a number type not handled
            break;
        default:
            PutIeText(f, ie::kCalling, {0x00, 0x00}, number);  // octet 3a without extension
            break;
    }
}

void TrafficModel::PutFacility(FrameBytes& f, bool numberShown) {
    const uint64_t roll = m_prng.Below(20);
    const uint8_t invoke = m_prng.Byte();
    if (roll == 19) {
        PutIe(f, ie::kFacility, {0x91, 0xA1, 0x03});  // too short for either form
    } else if (!numberShown) {
        // 0-3 are the reasons the decoder names; 7 it does not know.
        const uint8_t reason = static_cast<uint8_t>(roll < 18 ? roll % 4 : 7);
        PutIe(f, ie::kFacility,
              {0x91, 0xA1, 0x0E, 0x02, 0x01, invoke, 0x06, 0x06, 0x02, 0x83, 0x38, 0x66, 0x01, 0x01,
               0x0A, 0x01, reason});
    } else {
        const uint8_t n = static_cast<uint8_t>(roll < 18 ? 1 + roll % 3 : 4);  // 4: unknown
        PutIe(f, ie::kFacility, {0x91, 0xA1, 0x11, 0x02, 0x01, invoke, 0x06, 0x07, 0x03, 0xA2,
                                 0x31, 0x87, 0x69, 0x01, 0x05, 0x31,   0x03, 0x81, 0x01, n});
    }
}

void TrafficModel::PutRedirecting(FrameBytes& f) {
    char number[12];
    MakeNumber(m_prng, number, 10);
    switch (m_prng.Below(4)) {
        case 0:
            PutIeText(f, ie::kRedirecting, {0x80}, number);
            break;
        case 1:
            PutIeText(f, ie::kRedirecting, {0x00, 0x80}, number);
            break;
        case 2:
            PutIeText(f, ie::kRedirecting,
                      {0x00, 0x00, static_cast<uint8_t>(0x80 | m_prng.Between(1, 0xF))}, number);
            break;
        default:
            PutIe(f, ie::kRedirecting, {0x00, 0x00, 0x00});
            break;
    }
}

void TrafficModel::PutCodeset6(FrameBytes& f) {
    f.Put(ie::kShift6);
    switch (m_prng.Below(3)) {
        case 0:
            PutIe(f, ie::kChargingNotice,
                  {0x02, 0x00, static_cast<uint8_t>(m_prng.Below(100)), 0x00});
            break;
        case 1:
            PutIe(f, ie::kGeneralNotice, {0x81, static_cast<uint8_t>(m_prng.Below(8))});
            break;
        default:
            PutIe(f, ie::kOutgoingOnly, {0x80});
            break;
    }
}

void TrafficModel::BuildMessage(Call& call, const Op& op, FrameBytes& f) {
    const bool net = op.fromNetwork;
    const bool flag = net != call.incoming;  // 0 from the side that chose the call reference
    PutMessageHead(f, call.crLength, call.crValue, flag, op.type);
    const Line& line = m_lines[call.line];
    const char* own = line.number[m_links[call.link].terminal];
    const uint64_t roll = m_prng.Below(100);
    switch (op.type) {
        case mt::kSetup: {
            call.state = call.incoming ? 6 : 1;
            const uint64_t bearer = m_prng.Below(100);
            if (bearer < 3) {
                f.Put(ie::kRepeat);
                PutIe(f, ie::kBearer, {0x80, 0x90, 0xA3});
                PutIe(f, ie::kBearer, {0x90, 0x90, 0xA3});
            } else if (bearer < 50) {
                PutIe(f, ie::kBearer, {0x80, 0x90, 0xA3});
            } else if (bearer < 70) {
                PutIe(f, ie::kBearer, {0x90, 0x90, 0xA3});
            } else if (bearer < 95) {
                PutIe(f, ie::kBearer, {0x88, 0x90});
            } else {
                PutIe(f, ie::kBearer, {0xA8, 0x90});
            }
            PutChannel(call, f, net, net ? 0 : 1);
            if (net) {
                // Presentation forms in rough proportion to a real exchange's mix.
                constexpr uint8_t kForms[20] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1,
                                                1, 2, 2, 3, 3, 4, 5, 6, 7, 8};
                const unsigned form = kForms[m_prng.Below(20)];
                const bool shown = CallingShown(form);
                if (!shown ? roll < 80 : roll < 20) {
                    PutFacility(f, shown);
                }
                if (roll % 5 == 0) {
                    PutIe(f, ie::kProgress, {0x82, 0x83});
                }
                if (roll % 7 == 0) {
                    PutIeText(f, ie::kDisplay, {}, "INS CALL");
                }
                PutCalling(f, call.remote, form);
                if (roll % 6 == 0) {
                    PutIeText(f, ie::kCallingSub, {0x80, 0x50}, "21");
                }
                PutIeText(f, ie::kCalled, {0x80}, own);
                if (roll % 8 == 0) {
                    PutIeText(f, ie::kCalledSub, {0x80, 0x50}, "1234");
                } else if (roll % 8 == 1) {
                    PutIe(f, ie::kCalledSub, {0xA0, 0x12, 0x34});
                }
                if (roll % 10 == 3) {
                    PutRedirecting(f);
                }
                if (bearer >= 70 && bearer < 95) {
                    PutIe(f, ie::kLowLayer, {0x88, 0x90, 0xA2});
                } else {
                    PutIe(f, ie::kHighLayer, {0x91, 0x81});
                }
                if (roll % 9 == 0) {
                    PutCodeset6(f);
                }
            } else {
                if (roll < 40) {
                    if (roll < 25) {
                        PutIeText(f, ie::kCalling, {0x00, 0x80}, own);
                    } else {
                        PutIeText(f, ie::kCalling, {0x80}, own);
                    }
                }
                if (roll % 10 == 9) {
                    PutIeText(f, ie::kCalled, {0xC1}, call.remote);
                } else {
                    PutIeText(f, ie::kCalled, {0x80}, call.remote);
                }
                if (roll % 12 == 0) {
                    PutIeText(f, ie::kCalledSub, {0x80, 0x50}, "77");
                }
                PutIe(f, ie::kHighLayer, {0x91, 0x81});
            }
            break;
        }
        case mt::kCallProceeding:
            call.state = call.incoming ? 9 : 3;
            if (net || roll < 50) {
                PutChannel(call, f, net, 0);
            }
            break;
        case mt::kAlerting:
            call.state = call.incoming ? 7 : 4;
            if (!net && call.incoming && roll < 50) {
                PutChannel(call, f, net, 0);
            }
            if (net && roll < 30) {
                PutIe(f, ie::kProgress, {0x82, 0x88});
            }
            if (net && roll % 4 == 1) {
                PutIe(f, ie::kSignal, {0x01});
            }
            break;
        case mt::kConnect:
            call.state = call.incoming ? 8 : 10;
            if (!net && call.incoming && roll < 30) {
                PutChannel(call, f, net, 0);
            }
            if (net && roll % 5 == 0) {
                PutIeText(f, ie::kDisplay, {}, "CONNECTED");
            }
            break;
        case mt::kConnectAck:
            call.state = 10;
            break;
        case mt::kProgress:
            PutIe(f, ie::kProgress,
                  {static_cast<uint8_t>(0x80 | m_prng.Below(5)),
                   static_cast<uint8_t>(0x80 | (roll < 50 ? 8 : 1 + m_prng.Below(3)))});
            break;
        case mt::kInformation:
            if (net) {
                if (roll < 40) {
                    PutIeText(f, ie::kDisplay, {}, "CHARGE 10YEN");
                } else if (roll < 80) {
                    PutCodeset6(f);
                } else if (roll < 90) {
                    PutIe(f, ie::kSignal, {0x3F});
                } else {
                    f.Put({ie::kEscape, 0x02, 0x01, 0x02});
                }
            } else {
                PutIeText(f, ie::kKeypad, {}, roll < 50 ? "1" : "*21#");
            }
            break;
        case mt::kNotify:
            PutIe(f, ie::kNotification, {static_cast<uint8_t>(roll < 50 ? 0x80 : 0x81)});
            break;
        case mt::kStatusEnquiry:
            break;
        case mt::kStatus:
            PutCause(f, 30, net ? 2 : 0, roll < 30);
            PutIe(f, ie::kCallState, {roll % 20 == 0 ? uint8_t{25} : call.state});
            break;
        case mt::kSuspend:
            call.state = 15;
            call.identity = static_cast<uint16_t>(m_prng.Between(10, 99));
            if (roll < 70) {
                char id[3] = {static_cast<char>('0' + call.identity / 10),
                              static_cast<char>('0' + call.identity % 10), 0};
                PutIeText(f, ie::kCallIdentity, {}, id);
            }
            break;
        case mt::kSuspendAck:
            call.state = 0;
            PutIe(f, ie::kNotification, {0x80});
            break;
        case mt::kSuspendReject:
            call.state = 10;
            PutCause(f, static_cast<uint8_t>(roll < 50 ? 29 : 84), 2, roll < 30);
            break;
        case mt::kResume: {
            call.state = 17;
            char id[3] = {static_cast<char>('0' + call.identity / 10),
                          static_cast<char>('0' + call.identity % 10), 0};
            PutIeText(f, ie::kCallIdentity, {}, id);
            break;
        }
        case mt::kResumeAck:
            call.state = 10;
            PutChannel(call, f, true, 0);
            PutIe(f, ie::kNotification, {0x81});
            break;
        case mt::kResumeReject:
            call.state = 0;
            PutCause(f, static_cast<uint8_t>(roll < 50 ? 83 : 85), 2, roll < 30);
            break;
        case mt::kDisconnect:
            call.state = net ? 12 : 11;
            PutCause(f, call.cause, net ? 2 : 0, roll < 30);
            if (net && call.cause != 16 && call.cause != 31) {
                PutIe(f, ie::kProgress, {0x82, 0x88});
            }
            if (net && roll % 3 == 0) {
                PutCodeset6(f);
            }
            break;
        case mt::kRelease:
            call.state = 19;
            if (roll < 60) {
                PutCause(f, call.cause, net ? 2 : 0, roll < 20);
            }
            if (net && roll % 4 == 0) {
                PutCodeset6(f);
            }
            break;
        case mt::kReleaseComplete:
            call.state = 0;
            if (roll < 70 || call.opNext == 2) {
                PutCause(f, call.cause, net ? 2 : 0, roll < 25);
            }
            if (!net && roll % 11 == 0) {
                PutIeText(f, ie::kUserUser, {0x04}, "BYE");
            }
            break;
        case mt::kRestart:
            if (op.variant == 1) {
                PutIe(f, ie::kRestartIndicator, {0x87});
            } else {
                PutIe(f, ie::kChannel, {static_cast<uint8_t>(m_is1500 ? 0xA9 : 0x89), 0x83, 0x81});
                PutIe(f, ie::kRestartIndicator, {0x80});
            }
            break;
        case mt::kRestartAck:
            PutIe(f, ie::kRestartIndicator, {static_cast<uint8_t>(op.variant == 1 ? 0x87 : 0x80)});
            break;
        default:
            break;
    }
}

}  // namespace tessary::loggen
