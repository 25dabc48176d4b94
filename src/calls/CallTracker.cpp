#include "calls/CallTracker.h"

#include <algorithm>
#include <string_view>

#include "decode/Elements.h"
#include "decode/Layer3Codes.h"
#include "decode/TextBuilder.h"

namespace tessary::calls {

namespace {

// The message types the tracker acts on and the elements it reads.
using namespace q931::mt;
namespace ie = q931::ie;

// A copy of a frame in the board's own blocks follows the frame within a few milliseconds.
constexpr int64_t kCopyWindowMs = 1000;
// A finished call is handed to the sink once this much log time has passed, so that the
// copies of its last messages have joined it.
constexpr int64_t kSettleMs = kCopyWindowMs;

constexpr uint64_t kKeyIncoming = uint64_t{1} << 32;

uint64_t HashBytes(const uint8_t* bytes, int count) {
    uint64_t hash = 1469598103934665603ull;
    for (int i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

struct Elements {
    const uint8_t* start = nullptr;
    int32_t length = 0;
};

Elements ElementsOf(const RecordMessage& message) {
    const uint8_t* m = message.Message();
    const int32_t length = message.MessageLength();
    const int32_t refLength = m[1] & 0x0F;
    const int32_t offset = 2 + refLength + 1;  // discriminator, length, reference, type
    if (length < offset) {
        return {};
    }
    return {m + offset, length - offset};
}

// The first element `id` (its identifier octet), or nullptr; `total` its whole length.
const uint8_t* FindFirst(const Elements& elements, int id, int32_t& total) {
    const uint8_t* cursor = elements.start;
    int32_t remaining = elements.length;
    if (cursor == nullptr) {
        return nullptr;
    }
    total = FindElement(cursor, remaining, id);
    if (total < 2 || cursor[0] != id) {
        return nullptr;
    }
    return cursor;
}

// The value text of the first element `id` as the decoder shows it, without its name.
std::u16string ElementValue(const Elements& elements, int id, TextBuilder& text) {
    int32_t total = 0;
    const uint8_t* element = FindFirst(elements, id, total);
    if (element == nullptr) {
        return {};
    }
    text.Clear();
    DecodeElement(element, total, text);
    return std::u16string(text.View());
}

std::u16string ChannelText(const Elements& elements, TextBuilder& text) {
    text.Clear();
    if (elements.start == nullptr || !ChannelSummary(elements.start, elements.length, text)) {
        return {};
    }
    return std::u16string(text.View());
}

std::u16string NumberText(const Elements& elements, NumberParty party, TextBuilder& text) {
    text.Clear();
    if (elements.start == nullptr || !NumberSummary(elements.start, elements.length, party, text)) {
        return {};
    }
    // Without the "発番号=" / "着番号=" of the first number.
    std::u16string_view view = text.View();
    const size_t equals = view.find(u'=');
    return std::u16string(equals == std::u16string_view::npos ? view : view.substr(equals + 1));
}

// Every channel number named by "CH=nn" in `text`.
std::vector<int> ChannelNumbers(std::u16string_view text) {
    std::vector<int> numbers;
    size_t at = 0;
    while ((at = text.find(u"CH=", at)) != std::u16string_view::npos) {
        at += 3;
        int value = 0;
        size_t digits = 0;
        while (at < text.size() && text[at] >= u'0' && text[at] <= u'9' && digits < 6) {
            value = value * 10 + (text[at] - u'0');
            ++at;
            ++digits;
        }
        if (digits > 0) {
            numbers.push_back(value);
        }
    }
    return numbers;
}

bool IsClearing(int type) {
    return type == kDisconnect || type == kRelease || type == kReleaseComplete;
}

}  // namespace

uint64_t CallTracker::KeyOf(const MessageRecord& record) const {
    uint64_t key = static_cast<uint32_t>(record.CallRef);
    if ((record.Flags & kRecordIncomingCall) != 0) {
        key |= kKeyIncoming;
    }
    return key;
}

int64_t CallTracker::Find(uint64_t key) const {
    const auto it = m_keys.find(key);
    return it == m_keys.end() ? -1 : it->second;
}

CallInfo* CallTracker::CallAt(int64_t number) {
    if (number < m_first || number >= m_first + static_cast<int64_t>(m_calls.size())) {
        return nullptr;
    }
    return &m_calls[static_cast<size_t>(number - m_first)];
}

CallTracker::State* CallTracker::StateAt(int64_t number) {
    if (number < m_first || number >= m_first + static_cast<int64_t>(m_states.size())) {
        return nullptr;
    }
    return &m_states[static_cast<size_t>(number - m_first)];
}

bool CallTracker::IsCopy(int64_t number, uint64_t hash, const MessageRecord& record) {
    State* state = StateAt(number);
    if (state == nullptr) {
        return false;
    }
    for (Recent& recent : state->recent) {
        // Blocks A and C carry the terminal's frames, B and D the network's.
        if (recent.block != 0xFF && recent.hash == hash && (recent.block ^ record.Block) == 2 &&
            record.Time - recent.timeMs <= kCopyWindowMs &&
            recent.timeMs - record.Time <= kCopyWindowMs) {
            recent.block = 0xFF;  // one copy per frame
            CallInfo& call = *CallAt(number);
            call.records.push_back(record.Index);
            call.lastMs = std::max<int64_t>(call.lastMs, record.Time);
            return true;
        }
    }
    return false;
}

void CallTracker::Remember(State& state, uint64_t hash, const MessageRecord& record) {
    state.recent[state.recentNext] = Recent{hash, record.Time, record.Block};
    state.recentNext = (state.recentNext + 1) % std::size(state.recent);
}

void CallTracker::Add(const MessageRecord& record) {
    if (m_sink && !m_calls.empty()) {
        Flush(record.Time, false);
    }
    if (!ReadRecordMessage(record, m_message)) {
        return;
    }
    const RecordMessage& message = m_message;
    const uint64_t hash = HashBytes(message.Message(), message.MessageLength());
    const int type = record.Code;
    if (record.CallRef == -1) {
        if (type == kRestart || type == kRestartAck) {
            Restart(record, message);
        }
        return;
    }
    const uint64_t key = KeyOf(record);
    int64_t number = Find(key);
    if (number >= 0) {
        // A finished call keeps its call reference only while the copies of its last messages
        // may come; what comes later on that reference belongs to no call.
        const State& state = *StateAt(number);
        if (state.completed && record.Time - state.completedMs >= kSettleMs) {
            m_keys.erase(key);
            m_previous.erase(key);
            number = -1;
        }
    }
    if (type == kSetup) {
        if (number >= 0) {
            if (IsCopy(number, hash, record)) {
                return;
            }
            State& state = *StateAt(number);
            if (!state.completed && state.setupHash == hash) {
                Update(number, record, message, hash);  // sent again (T303): the same call
                return;
            }
            if (!state.completed) {
                // The call reference is taken for a new call: the old one is over.
                Clear(*CallAt(number), state, message.fromNetwork, record.Time);
                Complete(number, record.Time);
            }
            m_previous[key] = number;
        }
        StartCall(record, message, hash, key);
        return;
    }
    if (number >= 0 && IsCopy(number, hash, record)) {
        return;
    }
    // A resumed call takes the call reference, whichever call had it before.
    if (type == kResume && Resume(record, message, key, hash)) {
        if (number >= 0) {
            m_previous[key] = number;
        }
        return;
    }
    if (number < 0) {
        return;
    }
    const auto previous = m_previous.find(key);
    if (previous != m_previous.end() && IsCopy(previous->second, hash, record)) {
        return;
    }
    Update(number, record, message, hash);
}

void CallTracker::StartCall(const MessageRecord& record, const RecordMessage& message,
                            uint64_t hash, uint64_t key) {
    CallInfo call;
    call.setupIndex = record.Index;
    call.setupId = record.Id;
    call.setupBlock = record.Block;
    call.line = m_line;
    call.incoming = (record.Flags & kRecordIncomingCall) != 0;
    call.broadcast = message.tei == 127;
    call.callRef = static_cast<uint32_t>(record.CallRef);
    call.setupMs = record.Time;
    call.lastMs = record.Time;
    m_calls.push_back(std::move(call));
    m_states.emplace_back();
    const int64_t number = m_first + static_cast<int64_t>(m_calls.size()) - 1;
    State& state = m_states.back();
    state.setupHash = hash;
    state.key = key;
    state.keyHeld = true;
    m_keys[key] = number;
    if (m_unfinished.size() >= m_compactAt) {
        CompactUnfinished();
        m_compactAt = 2 * m_unfinished.size() + 64;
    }
    m_unfinished.push_back(number);
    Update(number, record, message, hash);
}

void CallTracker::Update(int64_t number, const MessageRecord& record, const RecordMessage& message,
                         uint64_t hash) {
    CallInfo& call = *CallAt(number);
    State& state = *StateAt(number);
    Remember(state, hash, record);
    call.records.push_back(record.Index);
    call.lastMs = std::max<int64_t>(call.lastMs, record.Time);

    const int type = record.Code;
    const bool fromNetwork = message.fromNetwork;
    if (call.broadcast && !fromNetwork && type == kConnect && call.connectMs == kNoTime) {
        // The terminal that answers takes the call; what another terminal did before (turned
        // it down) no longer says how the call ends.
        state.responderTei = message.tei;
        if (call.clearingMs != kNoTime) {
            call.clearingMs = kNoTime;
            call.cause = -1;
            call.causeText.clear();
            call.result = CallResult::kOpen;
            state.completed = false;
        }
    }
    // Of a broadcast call only the terminal that took it counts; the others are released.
    if (call.broadcast && state.responderTei >= 0 && message.tei != 127 &&
        message.tei != state.responderTei) {
        return;
    }
    TextBuilder& text = m_text;
    const Elements elements = ElementsOf(message);

    const bool setupChannelDue = type == kSetup && call.setupChannel.empty();
    const bool networkChannelDue =
        fromNetwork && !state.networkChannel &&
        (type == kSetup || type == kCallProceeding || type == kAlerting || type == kConnect);
    if (setupChannelDue || networkChannelDue) {
        const std::u16string channel = ChannelText(elements, text);
        if (setupChannelDue) {
            call.setupChannel = channel;
        }
        if (networkChannelDue && !channel.empty()) {
            call.channel = channel;
            state.networkChannel = true;
        }
        if (call.channel.empty()) {
            call.channel = call.setupChannel;
        }
        const std::vector<int> numbers = ChannelNumbers(call.channel);
        call.channelNumber = numbers.size() == 1 ? numbers.front() : -1;
    }
    if (type == kSetup && call.calling.empty() && call.called.empty() && call.bearer.empty()) {
        call.calling = NumberText(elements, NumberParty::kCalling, text);
        call.called = NumberText(elements, NumberParty::kCalled, text);
        call.callingSub = ElementValue(elements, ie::kCallingSub, text);
        call.calledSub = ElementValue(elements, ie::kCalledSub, text);
        call.bearer = ElementValue(elements, ie::kBearer, text);
    }
    if (call.broadcast && !fromNetwork && state.responderTei < 0 &&
        (type == kCallProceeding || type == kAlerting || type == kConnect)) {
        state.responderTei = message.tei;
    }

    int32_t total = 0;
    const uint8_t* cause = FindFirst(elements, ie::kCause, total);
    if (cause != nullptr && call.cause < 0 && total >= 4) {
        // The value is octet 2 of the content, or octet 3 after a recommendation octet.
        const uint8_t* content = cause + 2;
        const int32_t count = total - 2;
        const int at = (content[0] & 0x80) != 0 ? 1 : 2;
        if (at < count) {
            call.cause = content[at] & 0x7F;
            call.causeFrom = fromNetwork ? CallSide::kNetwork : CallSide::kTerminal;
            text.Clear();
            DecodeElement(cause, total, text);
            call.causeText = std::u16string(text.View());
        }
    }

    if (fromNetwork &&
        (type == kCallProceeding || type == kAlerting || type == kProgress || type == kConnect)) {
        state.networkProgress = true;
    }
    switch (type) {
        case kAlerting:
            if (call.alertingMs == kNoTime) {
                call.alertingMs = record.Time;
            }
            break;
        case kConnect:
            if (call.connectMs == kNoTime) {
                call.connectMs = record.Time;
            }
            break;
        case kSuspend:
            if (const uint8_t* id = FindFirst(elements, ie::kCallIdentity, total)) {
                state.identity.assign(id + 2, id + total);
            } else {
                state.identity.clear();
            }
            break;
        case kSuspendAck:
            // The call gives up its call reference until it is resumed on a new one.
            state.suspended = true;
            if (state.keyHeld && Find(state.key) == number) {
                m_keys.erase(state.key);
            }
            state.keyHeld = false;
            break;
        case kResumeAck:
            state.suspended = false;
            break;
        case kResumeReject:
            Clear(call, state, fromNetwork, record.Time);
            Complete(number, record.Time);
            break;
        default:
            break;
    }
    if (IsClearing(type)) {
        Clear(call, state, fromNetwork, record.Time);
        if (type == kReleaseComplete) {
            Complete(number, record.Time);
        }
    }
}

void CallTracker::Clear(CallInfo& call, State& state, bool fromNetwork, int64_t timeMs) {
    if (call.clearingMs != kNoTime) {
        return;
    }
    call.clearingMs = timeMs;
    if (call.connectMs != kNoTime) {
        call.result = CallResult::kAnswered;
        return;
    }
    const bool byCaller = fromNetwork == call.incoming;
    if (byCaller) {
        call.result = CallResult::kAbandoned;
    } else if (!fromNetwork) {
        call.result = CallResult::kRejected;  // the terminal turned the call down
    } else {
        // The network answered the SETUP with clearing: rejected; after it had taken the call
        // on (proceeding, alerting): cleared by the network.
        call.result = state.networkProgress ? CallResult::kNetworkCleared : CallResult::kRejected;
    }
}

void CallTracker::CompactUnfinished() {
    std::erase_if(m_unfinished, [this](int64_t number) {
        const State* state = StateAt(number);
        return state == nullptr || state->completed;
    });
}

void CallTracker::Complete(int64_t number, int64_t timeMs) {
    State& state = *StateAt(number);
    if (!state.completed) {
        state.completed = true;
        state.completedMs = timeMs;
    }
}

void CallTracker::Restart(const MessageRecord& record, const RecordMessage& message) {
    const Elements elements = ElementsOf(message);
    int32_t total = 0;
    const uint8_t* indicator = FindFirst(elements, ie::kRestartIndicator, total);
    // Class 0 names channels; 6 (one interface) and 7 (all interfaces) take every channel.
    const bool everything = indicator == nullptr || total < 3 || (indicator[2] & 0x07) != 0;
    const std::vector<int> channels = ChannelNumbers(ChannelText(elements, m_text));
    CompactUnfinished();
    for (const int64_t number : m_unfinished) {
        CallInfo& call = *CallAt(number);
        State& state = *StateAt(number);
        if (state.completed) {
            continue;
        }
        const bool named =
            std::find(channels.begin(), channels.end(), call.channelNumber) != channels.end();
        if (everything || (call.channelNumber >= 0 && named)) {
            call.records.push_back(record.Index);
            call.lastMs = std::max<int64_t>(call.lastMs, record.Time);
            Clear(call, state, message.fromNetwork, record.Time);
            Complete(number, record.Time);
        }
    }
}

bool CallTracker::Resume(const MessageRecord& record, const RecordMessage& message, uint64_t key,
                         uint64_t hash) {
    const Elements elements = ElementsOf(message);
    int32_t total = 0;
    const uint8_t* id = FindFirst(elements, ie::kCallIdentity, total);
    std::vector<uint8_t> identity;
    if (id != nullptr) {
        identity.assign(id + 2, id + total);
    }
    // The suspended call with that call identity (a SUSPEND without one leaves its call to a
    // RESUME that no other call claims); among several, the one offered the same way, then
    // the longest suspended.
    const bool incoming = (key & kKeyIncoming) != 0;
    int64_t match = -1;
    int best = 0;
    CompactUnfinished();
    for (const int64_t number : m_unfinished) {
        const State& state = *StateAt(number);
        if (!state.suspended || state.completed) {
            continue;
        }
        int score = state.identity == identity ? 4 : state.identity.empty() ? 1 : 0;
        if (score == 0) {
            continue;
        }
        if (CallAt(number)->incoming == incoming) {
            score += 2;
        }
        if (score > best) {
            best = score;
            match = number;
        }
    }
    if (match < 0) {
        return false;
    }
    const int64_t number = match;
    State& state = *StateAt(number);
    state.suspended = false;
    state.key = key;
    state.keyHeld = true;
    m_keys[key] = number;
    Update(number, record, message, hash);
    return true;
}

void CallTracker::Flush(int64_t nowMs, bool all) {
    while (!m_calls.empty()) {
        State& state = m_states.front();
        if (!all && !(state.completed && nowMs - state.completedMs >= kSettleMs)) {
            return;
        }
        if (m_sink) {
            m_sink(m_calls.front());
        }
        if (state.keyHeld) {
            const auto it = m_keys.find(state.key);
            if (it != m_keys.end() && it->second == m_first) {
                m_keys.erase(it);
            }
        }
        const auto previous = m_previous.find(state.key);
        if (previous != m_previous.end() && previous->second == m_first) {
            m_previous.erase(previous);
        }
        m_calls.pop_front();
        m_states.pop_front();
        ++m_first;
    }
}

void CallTracker::Finish() {
    if (m_sink) {
        Flush(0, true);
    }
}

std::vector<CallInfo> CallTracker::Take() {
    std::vector<CallInfo> calls(std::make_move_iterator(m_calls.begin()),
                                std::make_move_iterator(m_calls.end()));
    m_first += static_cast<int64_t>(m_calls.size());
    m_calls.clear();
    m_states.clear();
    m_keys.clear();
    m_previous.clear();
    return calls;
}

}  // namespace tessary::calls
