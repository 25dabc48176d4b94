#include "loggen/LinkModel.h"

#include "loggen/MessageBuilder.h"

namespace tessary::loggen {

namespace {

// TEI management message types (Q.921 table 8).
constexpr uint8_t kIdentityRequest = 1;
constexpr uint8_t kIdentityAssigned = 2;
constexpr uint8_t kIdentityDenied = 3;
constexpr uint8_t kIdentityCheckRequest = 4;
constexpr uint8_t kIdentityCheckResponse = 5;
constexpr uint8_t kIdentityRemove = 6;
constexpr uint8_t kIdentityVerify = 7;

constexpr uint8_t kAiAll = 0xFF;  // action indicator 127 with its extension bit

uint8_t AiOf(const Link& link) {
    return static_cast<uint8_t>((link.tei << 1) | 1);
}

}  // namespace

LinkModel::LinkModel(TrafficContext& context, MessageBuilder& messages)
    : m_context(context), m_messages(messages), m_prng(context.Random()) {}

uint16_t LinkModel::AddLink(uint8_t line, uint8_t terminal) {
    Link link;
    link.line = line;
    link.terminal = terminal;
    link.phase = m_context.Is1500() ? LinkPhase::NeedSabme : LinkPhase::NeedTei;
    link.tei = 0;
    m_links.push_back(link);
    return static_cast<uint16_t>(m_links.size() - 1);
}

FrameBytes& LinkModel::LinkFrame(Link& link, bool fromNetwork, uint8_t sapi, bool command) {
    FrameEvent& e = m_context.Emit(link.line, fromNetwork);
    PutAddress(e.frame, sapi, link.tei, fromNetwork, command);
    return e.frame;
}

void LinkModel::SendU(Link& link, bool fromNetwork, uint8_t control, bool command) {
    FrameBytes& f = LinkFrame(link, fromNetwork, kSapiCallControl, command);
    f.Put(control);
    if ((control & ~ctl::kPF) == ctl::kFRMR) {
        // Rejected control field, V(S)/V(R), reason bits.
        f.Put({0x01, static_cast<uint8_t>(link.vsTe << 1), 0x01});
    }
    link.lastActivity = m_context.Now();
    MaybeOdd(link);
}

void LinkModel::SendS(Link& link, bool fromNetwork, uint8_t control, bool command, bool pf) {
    FrameBytes& f = LinkFrame(link, fromNetwork, kSapiCallControl, command);
    f.Put(control);
    const uint8_t nr = fromNetwork ? link.vsTe : link.vsNt;
    f.Put(static_cast<uint8_t>((nr << 1) | (pf ? 1 : 0)));
    (fromNetwork ? link.ackNt : link.ackTe) = false;
}

FrameBytes& LinkModel::SendI(Link& link, bool fromNetwork) {
    FrameBytes& f = LinkFrame(link, fromNetwork, kSapiCallControl, true);
    uint8_t& vs = fromNetwork ? link.vsNt : link.vsTe;
    const uint8_t nr = fromNetwork ? link.vsTe : link.vsNt;
    f.Put(static_cast<uint8_t>(vs << 1));
    f.Put(static_cast<uint8_t>(nr << 1));
    vs = static_cast<uint8_t>((vs + 1) & 0x7F);
    link.lastActivity = m_context.Now();
    // The sender's pending acknowledgement rides on this frame; the peer owes one now.
    (fromNetwork ? link.ackNt : link.ackTe) = false;
    bool& peerOwes = fromNetwork ? link.ackTe : link.ackNt;
    if (!peerOwes) {
        peerOwes = true;
        m_context.Schedule(m_context.Now() + m_prng.Between(4, 60), Action::Ack,
                           static_cast<uint16_t>(&link - m_links.data()), fromNetwork ? 0 : 1);
    }
    return f;
}

void LinkModel::SendTeiManagement(Link& link, bool fromNetwork, uint8_t type,
                                  std::initializer_list<uint8_t> ai) {
    FrameEvent& e = m_context.Emit(link.line, fromNetwork);
    FrameBytes& f = e.frame;
    f.Put(static_cast<uint8_t>((kSapiManagement << 2) | (fromNetwork ? 0x02 : 0x00)));
    f.Put(0xFF);
    f.Put(ctl::kUI);
    f.Put(0x0F);
    f.Put({link.ri[0], link.ri[1], type});
    f.Put(ai);
}

void LinkModel::ResetSequence(Link& link) {
    link.vsTe = 0;
    link.vsNt = 0;
    link.ackTe = false;
    link.ackNt = false;
}

void LinkModel::FireAck(uint16_t linkIndex, bool fromNetwork) {
    Link& link = m_links[linkIndex];
    bool& owes = fromNetwork ? link.ackNt : link.ackTe;
    if (!owes || !link.up) {
        owes = false;
        return;
    }
    SendS(link, fromNetwork, ctl::kRR, false, false);
    MaybeOdd(link);
}

void LinkModel::Again(uint16_t linkIndex, int64_t low, int64_t high) {
    m_context.Schedule(m_context.Now() + m_prng.Between(low, high), Action::Link, linkIndex);
}

void LinkModel::Fire(uint16_t linkIndex) {
    Link& link = m_links[linkIndex];
    const int64_t poll = m_context.Profile().pollIntervalMs;
    switch (link.phase) {
        case LinkPhase::NeedTei:
            link.ri[0] = m_prng.Byte();
            link.ri[1] = m_prng.Byte();
            SendTeiManagement(link, false, kIdentityRequest, {kAiAll});
            link.phase = LinkPhase::AwaitAssign;
            Again(linkIndex, 20, 150);
            return;
        case LinkPhase::AwaitAssign: {
            if (m_prng.Below(12) == 0) {
                SendTeiManagement(link, true, kIdentityDenied, {kAiAll});
                link.phase = LinkPhase::NeedTei;
                Again(linkIndex, 1000, 5000);
                return;
            }
            Line& line = m_context.Lines()[link.line];
            link.tei = line.nextTei;
            line.nextTei = static_cast<uint8_t>(line.nextTei >= 126 ? 64 : line.nextTei + 1);
            SendTeiManagement(link, true, kIdentityAssigned, {AiOf(link)});
            link.phase = LinkPhase::NeedSabme;
            Again(linkIndex, 5, 60);
            return;
        }
        case LinkPhase::NeedSabme:
            SendU(link, false, ctl::kSABME | ctl::kPF, true);
            link.phase = LinkPhase::AwaitUa;
            Again(linkIndex, 3, 40);
            return;
        case LinkPhase::AwaitUa:
            if (m_prng.Below(25) == 0) {
                SendU(link, true, ctl::kDM | ctl::kPF, false);  // not ready yet: retry
                link.phase = LinkPhase::NeedSabme;
                Again(linkIndex, 1000, 2000);
                return;
            }
            SendU(link, true, ctl::kUA | ctl::kPF, false);
            ResetSequence(link);
            link.up = true;
            link.phase = LinkPhase::Up;
            Again(linkIndex, poll, poll + poll / 10);
            return;
        case LinkPhase::Up:
            FireEstablished(link, linkIndex);
            return;
        case LinkPhase::PollAnswer:
            // The poll was a command with P=1 from one side; the other answers with F=1.
            SendS(link, link.answerByNetwork, ctl::kRR, false, true);
            link.phase = LinkPhase::Up;
            Again(linkIndex, poll, poll + poll / 10);
            return;
        case LinkPhase::CheckAnswer: {
            if (m_prng.Below(40) == 0) {
                // One terminal answering for many TEIs: a list over more than one row.
                FrameEvent& e = m_context.Emit(link.line, false);
                FrameBytes& f = e.frame;
                f.Put({0xFC, 0xFF, ctl::kUI, 0x0F, link.ri[0], link.ri[1], kIdentityCheckResponse});
                const unsigned count = 17 + static_cast<unsigned>(m_prng.Below(6));
                for (unsigned i = 0; i + 1 < count; ++i) {
                    f.Put(static_cast<uint8_t>((64 + i) << 1));
                }
                f.Put(AiOf(link));
            } else {
                link.ri[0] = m_prng.Byte();
                link.ri[1] = m_prng.Byte();
                SendTeiManagement(link, false, kIdentityCheckResponse, {AiOf(link)});
            }
            link.phase = LinkPhase::Up;
            Again(linkIndex, poll, poll + poll / 10);
            return;
        }
        case LinkPhase::AwaitDiscUa:
            SendU(link, link.answerByNetwork, ctl::kUA | ctl::kPF, false);
            link.up = false;
            ResetSequence(link);
            link.phase = LinkPhase::NeedSabme;
            Again(linkIndex, 500, 3000);
            return;
        case LinkPhase::RnrClear:
            SendS(link, false, ctl::kRR, false, false);
            link.phase = LinkPhase::Up;
            Again(linkIndex, poll, poll + poll / 10);
            return;
        case LinkPhase::FrmrSabme:
            SendU(link, true, ctl::kSABME | ctl::kPF, true);
            link.phase = LinkPhase::FrmrUa;
            Again(linkIndex, 3, 30);
            return;
        case LinkPhase::FrmrUa:
            SendU(link, false, ctl::kUA | ctl::kPF, false);
            ResetSequence(link);
            link.up = true;
            link.phase = LinkPhase::Up;
            Again(linkIndex, poll, poll + poll / 10);
            return;
    }
}

void LinkModel::FireEstablished(Link& link, uint16_t linkIndex) {
    const int64_t poll = m_context.Profile().pollIntervalMs;
    const int64_t now = m_context.Now();
    // Poll only after the link has been idle for the poll interval.
    if (now - link.lastActivity < poll) {
        m_context.Schedule(link.lastActivity + poll + m_prng.Between(0, 50), Action::Link,
                           linkIndex);
        return;
    }
    const bool is1500 = m_context.Is1500();
    const uint64_t roll = m_prng.Below(1000);
    const bool idle = link.activeCalls == 0;
    if (roll < 15 && !is1500) {
        link.ri[0] = m_prng.Byte();
        link.ri[1] = m_prng.Byte();
        if (roll < 5) {
            SendTeiManagement(link, false, kIdentityVerify, {AiOf(link)});
        }
        // Check request for all TEIs or for this one.
        SendTeiManagement(link, true, kIdentityCheckRequest, {roll & 1 ? kAiAll : AiOf(link)});
        link.phase = LinkPhase::CheckAnswer;
        Again(linkIndex, 10, 200);
        return;
    }
    if (roll < 22 && idle) {
        const bool byNetwork = m_prng.Below(2) != 0;
        SendU(link, byNetwork, ctl::kDISC | ctl::kPF, true);
        link.answerByNetwork = !byNetwork;
        link.phase = LinkPhase::AwaitDiscUa;
        Again(linkIndex, 3, 40);
        return;
    }
    if (roll < 26 && idle && !is1500) {
        // Identity removed: the terminal starts over with a new TEI.
        link.ri[0] = m_prng.Byte();
        link.ri[1] = m_prng.Byte();
        SendTeiManagement(link, true, kIdentityRemove, {AiOf(link)});
        link.up = false;
        ResetSequence(link);
        link.phase = LinkPhase::NeedTei;
        Again(linkIndex, 1000, 4000);
        return;
    }
    if (roll < 36) {
        SendS(link, false, ctl::kRNR, false, false);
        link.phase = LinkPhase::RnrClear;
        Again(linkIndex, 50, 2000);
        return;
    }
    if (roll < 42) {
        SendS(link, true, ctl::kREJ, false, false);
        link.phase = LinkPhase::PollAnswer;
        // The terminal polls after the reject; the network answers.
        SendS(link, false, ctl::kRR, true, true);
        link.answerByNetwork = true;
        Again(linkIndex, 3, 40);
        return;
    }
    if (roll < 45) {
        SendU(link, false, ctl::kFRMR | ctl::kPF, false);
        link.up = false;
        link.phase = LinkPhase::FrmrSabme;
        Again(linkIndex, 5, 50);
        return;
    }
    // RR poll (T203): command with P=1 from either side.
    const bool byNetwork = m_prng.Below(2) != 0;
    SendS(link, byNetwork, ctl::kRR, true, true);
    link.answerByNetwork = !byNetwork;
    link.phase = LinkPhase::PollAnswer;
    Again(linkIndex, 2, 40);
}

void LinkModel::MaybeOversize(Link& link, uint8_t crLength, uint32_t crValue, bool incoming) {
    if (!m_prng.PerMille(m_context.Profile().oversizePerMille)) {
        return;
    }
    FrameBytes& f = SendI(link, true);
    m_context.LastEmitted().oversize = true;
    // From the network on the call's own call reference.
    m_messages.BuildOversizeInformation(f, crLength, crValue, !incoming);
}

void LinkModel::MaybeOdd(Link& link) {
    if (!m_prng.PerMille(m_context.Profile().oddPerMille)) {
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
            FrameEvent& e = m_context.Emit(link.line, fromNetwork);
            e.frame.Put({0x00, static_cast<uint8_t>(link.tei << 1), ctl::kRR,
                         static_cast<uint8_t>(link.vsNt << 1)});
            return;
        }
        case 3: {  // too short for an address and control field
            FrameEvent& e = m_context.Emit(link.line, fromNetwork);
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
            FrameEvent& e = m_context.Emit(link.line, fromNetwork);
            PutAddress(e.frame, kSapiPacket, link.tei, fromNetwork, true);
            e.frame.Put({0x00, 0x00, 0x10, 0x01, 0x0B, 0x00});
            return;
        }
    }
}

}  // namespace tessary::loggen
