#include "loggen/CallScenarios.h"

#include <iterator>
#include <span>

namespace tessary::loggen {

namespace {

// How the calls go: a roll of 0-99 falls into the first band whose bound lies above it.
struct OutcomeBand {
    uint8_t below;
    CallOutcome outcome;
};

// An incoming call offered on a channel of its own in all but the top band: there the network
// offers it without one (call waiting), and the terminal turns it down as busy.
constexpr OutcomeBand kIncomingOutcomes[] = {
    {12, CallOutcome::Rejected},        {25, CallOutcome::NotAnswered},
    {28, CallOutcome::SuspendRejected}, {31, CallOutcome::Resumed},
    {32, CallOutcome::ResumeRejected},  {97, CallOutcome::Answered},
    {100, CallOutcome::NoChannel},
};
constexpr OutcomeBand kOutgoingOutcomes[] = {
    {10, CallOutcome::Rejected}, {22, CallOutcome::Busy},      {32, CallOutcome::NotAnswered},
    {38, CallOutcome::Resumed},  {100, CallOutcome::Answered},
};

CallOutcome OutcomeOf(std::span<const OutcomeBand> bands, uint64_t roll) {
    for (const OutcomeBand& band : bands) {
        if (roll < band.below) {
            return band.outcome;
        }
    }
    return bands.back().outcome;
}

// Messages a connected call may send before it is cleared, each in its share of the calls.
enum class Sender : uint8_t { Network, User, Either };
struct ExtraStep {
    uint8_t percent;
    uint8_t type;
    Sender sender;
    int64_t lowMs;
    int64_t highMs;
};
constexpr ExtraStep kExtraSteps[] = {
    {15, mt::kInformation, Sender::Network, 500, 20000},
    {8, mt::kInformation, Sender::User, 500, 5000},
    {10, mt::kNotify, Sender::Network, 500, 30000},
    {10, mt::kStatusEnquiry, Sender::Either, 500, 30000},  // the other side answers STATUS
    {5, mt::kProgress, Sender::Network, 100, 3000},
};

// Causes of an unsuccessful or ended call.
constexpr uint8_t kBusyCauses[] = {17, 17, 34, 41};
constexpr uint8_t kRejectCauses[] = {1, 21, 88, 34};
constexpr uint8_t kNoAnswerCauses[] = {18, 19, 102, 16};
constexpr uint8_t kNormalCauses[] = {16, 16, 16, 31};
constexpr uint8_t kCauseUserBusy = 17;
constexpr uint8_t kCauseNoChannel = 34;
constexpr uint8_t kCauseNormal = 16;

}  // namespace

CallScenarios::CallScenarios(TrafficContext& context, LinkModel& links, MessageBuilder& messages)
    : m_context(context), m_links(links), m_messages(messages), m_prng(context.Random()) {}

bool CallScenarios::AllocateCallReference(GeneratedCall& call, Line& line, bool longForm) {
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

void CallScenarios::FreeCallReference(GeneratedCall& call) {
    if (call.crSlot != 0) {
        Line& line = m_context.Lines()[call.line];
        (call.incoming ? line.crNt : line.crTe)[call.crSlot] = false;
        call.crSlot = 0;
    }
}

uint8_t CallScenarios::AllocateChannel(Line& line) {
    const unsigned count = m_context.Is1500() ? 23 : 2;
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

void CallScenarios::AddStep(GeneratedCall& call, uint8_t type, bool fromNetwork, int64_t delayMs,
                            uint8_t variant) {
    if (call.stepCount < std::size(call.steps)) {
        call.steps[call.stepCount++] = CallStep{type, fromNetwork, variant, delayMs};
    }
}

void CallScenarios::AddClearing(GeneratedCall& call, bool byNetwork, uint8_t cause,
                                int64_t holdMs) {
    call.cause = cause;
    AddStep(call, mt::kDisconnect, byNetwork, holdMs);
    AddStep(call, mt::kRelease, !byNetwork, m_prng.Between(10, 300));
    AddStep(call, mt::kReleaseComplete, byNetwork, m_prng.Between(5, 200));
}

void CallScenarios::AddNormalClearing(GeneratedCall& call, int64_t holdMs) {
    // The cause is drawn before the side: a seed keeps giving the same bytes.
    const uint8_t cause = Pick(m_prng, kNormalCauses);
    const bool byNetwork = m_prng.Below(2) != 0;
    AddClearing(call, byNetwork, cause, holdMs);
}

void CallScenarios::AddExtras(GeneratedCall& call) {
    for (const ExtraStep& extra : kExtraSteps) {
        if (m_prng.Below(100) >= extra.percent) {
            continue;
        }
        if (extra.sender == Sender::Either) {
            const bool byNetwork = m_prng.Below(2) != 0;
            AddStep(call, extra.type, byNetwork, m_prng.Between(extra.lowMs, extra.highMs));
            AddStep(call, mt::kStatus, !byNetwork, m_prng.Between(5, 100));
        } else {
            AddStep(call, extra.type, extra.sender == Sender::Network,
                    m_prng.Between(extra.lowMs, extra.highMs));
        }
    }
}

uint16_t CallScenarios::NewCall(Line& line, uint16_t link, bool incoming) {
    uint16_t index;
    if (!m_freeCalls.empty()) {
        index = m_freeCalls.back();
        m_freeCalls.pop_back();
    } else {
        index = static_cast<uint16_t>(m_calls.size());
        m_calls.emplace_back();
    }
    GeneratedCall& call = m_calls[index];
    call = GeneratedCall{};
    call.serial = ++m_lastSerial;
    call.live = true;
    call.incoming = incoming;
    call.line = line.index;
    call.link = link;
    MakeNumber(m_prng, call.remote, m_prng.Below(4) == 0 ? 11 : 10);
    m_links.At(link).activeCalls++;
    return index;
}

void CallScenarios::StartRestart(Line& line, uint16_t linkIndex) {
    line.restartDone = true;
    // RESTART on the dummy call reference, answered by the terminal.
    const uint16_t index = NewCall(line, linkIndex, true);
    GeneratedCall& call = m_calls[index];
    call.outcome = CallOutcome::Restart;
    call.crLength = 0;
    const uint8_t allInterfaces = m_prng.Below(2) ? 1 : 0;
    AddStep(call, mt::kRestart, true, 0, allInterfaces);
    AddStep(call, mt::kRestartAck, false, m_prng.Between(10, 200), allInterfaces);
    m_context.Schedule(m_context.Now(), Action::Call, index);
}

void CallScenarios::FireArrival(Line& line) {
    const int64_t interval = m_context.Profile().callIntervalMs;
    const bool is1500 = m_context.Is1500();
    m_context.Schedule(m_context.Now() + m_prng.Between(interval / 4, interval * 7 / 4),
                       Action::Arrival, line.index);

    // The terminals that can take a call now.
    uint16_t upLinks[2];
    unsigned upCount = 0;
    for (unsigned t = 0; t < line.linkCount; ++t) {
        if (m_links.At(line.links[t]).up) {
            upLinks[upCount++] = line.links[t];
        }
    }
    if (upCount == 0) {
        return;
    }
    const uint16_t linkIndex = upLinks[m_prng.Below(upCount)];

    if (!line.restartDone && (is1500 || m_prng.Below(3) == 0)) {
        StartRestart(line, linkIndex);
        return;
    }

    const bool incoming = m_prng.Below(2) != 0;
    const bool longForm = is1500 ? m_prng.Below(10) != 0 : m_prng.Below(10) == 0;
    const uint16_t index = NewCall(line, linkIndex, incoming);
    GeneratedCall& call = m_calls[index];
    if (!AllocateCallReference(call, line, longForm)) {
        EndCall(index);
        return;
    }
    call.channel = AllocateChannel(line);
    const uint64_t roll = m_prng.Below(100);
    call.outcome =
        incoming ? OutcomeOf(kIncomingOutcomes, roll) : OutcomeOf(kOutgoingOutcomes, roll);
    if (call.outcome == CallOutcome::NoChannel && call.channel != 0) {
        line.busyChannels &= ~(1u << call.channel);
        call.channel = 0;
    }
    if (call.channel == 0) {
        call.outcome = CallOutcome::NoChannel;
    }
    const int64_t hold = m_prng.Between(2000, 4 * interval);
    if (incoming) {
        PlanIncoming(call, hold);
    } else {
        PlanOutgoing(call, hold);
    }
    m_context.Schedule(m_context.Now(), Action::Call, index);
}

void CallScenarios::PlanIncoming(GeneratedCall& call, int64_t holdMs) {
    call.broadcast = !m_context.Is1500() && m_prng.Below(100) < 40;
    AddStep(call, mt::kSetup, true, 0);
    switch (call.outcome) {
        case CallOutcome::NoChannel:
            AddStep(call, mt::kReleaseComplete, false, m_prng.Between(20, 300));
            call.cause = kCauseUserBusy;
            return;
        case CallOutcome::Rejected:
            AddStep(call, mt::kReleaseComplete, false, m_prng.Between(20, 500));
            call.cause = Pick(m_prng, kRejectCauses);
            return;
        case CallOutcome::NotAnswered: {
            AddStep(call, mt::kAlerting, false, m_prng.Between(30, 500));
            const int64_t ringMs = m_prng.Between(5000, 40000);
            AddClearing(call, true, Pick(m_prng, kNoAnswerCauses), ringMs);
            return;
        }
        default:
            break;
    }
    if (m_prng.Below(2)) {
        AddStep(call, mt::kCallProceeding, false, m_prng.Between(20, 200));
    }
    AddStep(call, mt::kAlerting, false, m_prng.Between(30, 500));
    AddStep(call, mt::kConnect, false, m_prng.Between(1000, 20000));
    AddStep(call, mt::kConnectAck, true, m_prng.Between(5, 60));
    AddExtras(call);
    if (call.outcome != CallOutcome::Answered) {
        // Suspended on this call reference, resumed on a new one.
        AddStep(call, mt::kSuspend, false, m_prng.Between(1000, 10000));
        if (call.outcome == CallOutcome::SuspendRejected) {
            AddStep(call, mt::kSuspendReject, true, m_prng.Between(10, 200));
        } else {
            AddStep(call, mt::kSuspendAck, true, m_prng.Between(10, 200));
            AddStep(call, mt::kResume, false, m_prng.Between(1000, 30000));
            if (call.outcome == CallOutcome::ResumeRejected) {
                AddStep(call, mt::kResumeReject, true, m_prng.Between(10, 200));
                return;
            }
            AddStep(call, mt::kResumeAck, true, m_prng.Between(10, 200));
        }
    }
    AddNormalClearing(call, holdMs);
}

void CallScenarios::PlanOutgoing(GeneratedCall& call, int64_t holdMs) {
    AddStep(call, mt::kSetup, false, 0);
    switch (call.outcome) {
        case CallOutcome::NoChannel:
            AddStep(call, mt::kReleaseComplete, true, m_prng.Between(20, 400));
            call.cause = kCauseNoChannel;
            return;
        case CallOutcome::Rejected:
            AddStep(call, mt::kReleaseComplete, true, m_prng.Between(20, 400));
            call.cause = Pick(m_prng, kRejectCauses);
            return;
        case CallOutcome::Busy: {
            AddStep(call, mt::kCallProceeding, true, m_prng.Between(30, 400));
            const int64_t afterMs = m_prng.Between(200, 3000);
            AddClearing(call, true, Pick(m_prng, kBusyCauses), afterMs);
            return;
        }
        case CallOutcome::NotAnswered:
            AddStep(call, mt::kCallProceeding, true, m_prng.Between(30, 400));
            AddStep(call, mt::kAlerting, true, m_prng.Between(200, 3000));
            AddClearing(call, false, kCauseNormal, m_prng.Between(5000, 30000));
            return;
        default:
            break;
    }
    AddStep(call, mt::kCallProceeding, true, m_prng.Between(30, 400));
    if (m_prng.Below(100) < 25) {
        AddStep(call, mt::kProgress, true, m_prng.Between(100, 1000));
    }
    AddStep(call, mt::kAlerting, true, m_prng.Between(200, 3000));
    AddStep(call, mt::kConnect, true, m_prng.Between(2000, 15000));
    AddStep(call, mt::kConnectAck, false, m_prng.Between(5, 60));
    AddExtras(call);
    if (call.outcome == CallOutcome::Resumed) {
        AddStep(call, mt::kSuspend, false, m_prng.Between(1000, 10000));
        AddStep(call, mt::kSuspendAck, true, m_prng.Between(10, 200));
        AddStep(call, mt::kResume, false, m_prng.Between(1000, 30000));
        AddStep(call, mt::kResumeAck, true, m_prng.Between(10, 200));
    }
    AddNormalClearing(call, holdMs);
}

void CallScenarios::EndCall(uint16_t callIndex) {
    GeneratedCall& call = m_calls[callIndex];
    FreeCallReference(call);
    if (call.channel != 0) {
        m_context.Lines()[call.line].busyChannels &= ~(1u << call.channel);
    }
    m_links.At(call.link).activeCalls--;
    call.live = false;
    m_freeCalls.push_back(callIndex);
}

void CallScenarios::FireCall(uint16_t callIndex) {
    GeneratedCall& call = m_calls[callIndex];
    Link& link = m_links.At(call.link);
    if (!link.up) {
        m_context.Schedule(m_context.Now() + 200, Action::Call, callIndex);
        return;
    }
    Line& line = m_context.Lines()[call.line];
    const CallStep step = call.steps[call.stepNext++];
    if (step.type == mt::kResume) {
        // A resumed call gets a call reference of its own.
        AllocateCallReference(call, line, call.crLength == 2);
    }
    const char* ownNumber = line.number[link.terminal];
    if (step.type == mt::kSetup && call.broadcast) {
        FrameEvent& e = m_context.Emit(call.line, true);
        e.frame.Put({0x02, 0xFF, ctl::kUI});
        m_messages.Build(call, step, ownNumber, e.frame);
        e.call = FrameCall{call.serial, call.channel, call.incoming};
    } else {
        FrameBytes& f = m_links.SendI(link, step.fromNetwork);
        m_messages.Build(call, step, ownNumber, f);
        m_context.LastEmitted().call = FrameCall{call.serial, call.channel, call.incoming};
        m_links.MaybeOversize(link, call.crLength, call.crValue, call.incoming);
    }
    m_links.MaybeOdd(link);
    if (step.type == mt::kSuspendAck) {
        FreeCallReference(call);
    }
    if (call.stepNext < call.stepCount) {
        m_context.Schedule(m_context.Now() + call.steps[call.stepNext].delayMs, Action::Call,
                           callIndex);
    } else {
        EndCall(callIndex);
    }
}

}  // namespace tessary::loggen
