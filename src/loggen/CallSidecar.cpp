#include "loggen/CallSidecar.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "decode/Layer3Codes.h"
#include "loggen/LogGenerator.h"
#include "platform/Calendar.h"

namespace tessary::loggen {

namespace {

constexpr uint32_t kRecordHeaderBytes = 9;

// The message types tell how a call went.
using namespace q931::mt;

struct Entry {
    uint64_t order = 0;
    int64_t setupMs = 0;
    unsigned line = 0;
    bool incoming = false;
    uint32_t callRef = 0;
    uint8_t channel = 0;
    std::string calling;
    std::string called;
    bool connected = false;
    bool networkProgress = false;
    bool networkChannel = false;  // a message of the network names the channel
    int shownChannel = -1;        // the channel the log names for the call so far
    bool networkNamed = false;
    int64_t endedMs = -1;    // when the call was over (released, restarted, its reference taken)
    uint64_t reference = 0;  // the call reference it holds (line, direction, value)
    const char* result = "open";
    int cause = -1;
};

// The content of the first element `id` of a message's element area, or nullptr.
const uint8_t* FindElement(const uint8_t* at, const uint8_t* end, uint8_t id, unsigned& length) {
    while (at < end) {
        const uint8_t identifier = *at;
        if (identifier & 0x80) {  // single-octet elements
            ++at;
            continue;
        }
        if (at + 2 > end || at + 2 + at[1] > end) {
            return nullptr;
        }
        if (identifier == id) {
            length = at[1];
            return at + 2;
        }
        at += 2 + at[1];
    }
    return nullptr;
}

// The one channel a channel identification names, or -1.
int ChannelOf(const uint8_t* content, unsigned length) {
    if (length < 1) {
        return -1;
    }
    const uint8_t c = content[0] & ~0x08;
    if (c == 0x81 || c == 0x82) {
        return c & 0x03;
    }
    if (c != 0xA1 || length < 3) {
        return -1;
    }
    if (content[1] == 0x83) {
        return (content[2] & 0x80) != 0 ? content[2] & 0x7F : -1;
    }
    if (content[1] == 0x93 && length >= 5) {
        // Slot map: channels 17-24, 9-16, 1-8 in octets 3 to 5.
        int found = -1;
        for (int octet = 0; octet < 3; ++octet) {
            for (int bit = 0; bit < 8; ++bit) {
                if ((content[2 + octet] >> bit) & 1) {
                    if (found >= 0) {
                        return -1;
                    }
                    found = (2 - octet) * 8 + bit + 1;
                }
            }
        }
        return found;
    }
    return -1;
}

// A call is over once released; later messages on its call reference (after the copies of
// its last ones) are no longer its own.
constexpr int64_t kSettleMs = 1000;

void End(Entry& call, int64_t timeMs) {
    if (call.endedMs < 0) {
        call.endedMs = timeMs;
    }
}

// The first clearing of a call says how it ended.
void Clear(Entry& call, bool fromNetwork) {
    if (std::string_view(call.result) != "open") {
        return;
    }
    if (call.connected) {
        call.result = "answered";
    } else if (fromNetwork == call.incoming) {
        call.result = "abandoned";  // the caller's side cleared
    } else if (!fromNetwork) {
        call.result = "rejected";  // the terminal turned the call down
    } else {
        call.result = call.networkProgress ? "network" : "rejected";
    }
}

std::string Digits(const uint8_t* from, const uint8_t* to) {
    return std::string(reinterpret_cast<const char*>(from), reinterpret_cast<const char*>(to));
}

// The calls by serial, and the serial that holds each call reference (line, direction, value).
struct Calls {
    std::map<uint32_t, Entry> bySerial;
    std::map<uint64_t, uint32_t> byReference;
    uint64_t order = 0;
};

void Observe(const GeneratedRecord& r, Calls& all, bool bulk) {
    std::map<uint32_t, Entry>& calls = all.bySerial;
    if (r.truncated || r.badFcs || r.layer1 || r.callSerial == 0) {
        return;
    }
    const uint8_t* frame = r.bytes + kRecordHeaderBytes;
    const uint8_t* end = frame + r.payloadLength;
    if (r.prefix) {
        ++frame;
    }
    if (!r.relay) {
        end -= 2;  // the check sequence of a kind-0 frame
    }
    const uint8_t* message = frame + ((frame[2] & 0x01) == 0 ? 4 : 3);  // I or UI frame
    if (message + 3 > end) {
        return;
    }
    const unsigned refLength = message[1] & 0x0F;
    if (message + 3 + refLength > end) {
        return;
    }
    const uint8_t type = message[2 + refLength];
    const uint8_t* elements = message + 3 + refLength;
    const bool fromNetwork = r.direction == 'R' || r.direction == 'r';
    const unsigned line = bulk ? (r.direction == 't' || r.direction == 'r' ? 2 : 1) : 0;
    unsigned length = 0;
    // The call reference as the viewer keys it: "着" when the flag and the direction say the
    // call was offered to the terminal.
    uint32_t value = 0;
    for (unsigned i = 0; i < refLength; ++i) {
        value = value << 8 | (i == 0 ? message[2] & 0x7F : message[2 + i]);
    }
    const bool flag = refLength > 0 && (message[2] & 0x80) != 0;
    const uint64_t reference = uint64_t{line} << 40 | uint64_t{fromNetwork != flag} << 32 | value;

    if (refLength == 0 && (type == kRestart || type == kRestartAck)) {
        // A restart ends the calls on its channels (every call for a whole interface).
        const uint8_t* indicator = FindElement(elements, end, 0x79, length);
        const bool everything = indicator == nullptr || length < 1 || (indicator[0] & 0x07) != 0;
        const uint8_t* channel = FindElement(elements, end, 0x18, length);
        const int named = channel != nullptr ? ChannelOf(channel, length) : -1;
        for (auto& [serial, call] : calls) {
            if (call.line == line && call.endedMs < 0 &&
                (everything || (named >= 0 && call.shownChannel == named))) {
                Clear(call, fromNetwork);
                End(call, r.timeMs);
            }
        }
        return;
    }

    auto found = calls.find(r.callSerial);
    if (found == calls.end()) {
        if (type != kSetup) {
            return;  // a call is listed from its SETUP on
        }
        Entry entry;
        entry.order = all.order++;
        entry.setupMs = r.timeMs;
        entry.line = line;
        entry.incoming = r.callIncoming;
        entry.channel = r.callChannel;
        entry.callRef = value;
        entry.reference = reference;
        if (const uint8_t* called = FindElement(elements, end, 0x70, length)) {
            if (length >= 1 && called[0] == 0x80) {
                entry.called = Digits(called + 1, called + length);
            }
        }
        if (const uint8_t* calling = FindElement(elements, end, 0x6C, length)) {
            // Shown only when presentation is allowed and digits follow.
            if (length >= 3 && calling[0] == 0x00 && (calling[1] & 0xE0) == 0x80) {
                entry.calling = Digits(calling + 2, calling + length);
            }
        }
        // A SETUP on a call reference that another call holds ends that call.
        const auto holder = all.byReference.find(reference);
        if (holder != all.byReference.end() && calls[holder->second].endedMs < 0) {
            Clear(calls[holder->second], fromNetwork);
            End(calls[holder->second], r.timeMs);
        }
        all.byReference[reference] = r.callSerial;
        found = calls.emplace(r.callSerial, std::move(entry)).first;
    }
    Entry& call = found->second;
    if (call.endedMs >= 0 && r.timeMs - call.endedMs >= kSettleMs) {
        return;
    }
    if (type == kSuspendAck) {
        // Suspended: the call reference is free until the call resumes on a new one.
        const auto holder = all.byReference.find(call.reference);
        if (holder != all.byReference.end() && holder->second == r.callSerial) {
            all.byReference.erase(holder);
        }
    } else if (type == kResume && reference != call.reference) {
        call.reference = reference;
        all.byReference[reference] = r.callSerial;
    }

    if (const uint8_t* cause = FindElement(elements, end, 0x08, length)) {
        const unsigned at = (cause[0] & 0x80) != 0 ? 1 : 2;
        if (call.cause < 0 && at < length) {
            call.cause = cause[at] & 0x7F;
        }
    }
    if (fromNetwork &&
        (type == kCallProceeding || type == kAlerting || type == kProgress || type == kConnect)) {
        call.networkProgress = true;
    }
    if (type == kConnect) {
        call.connected = true;
    }
    if (const uint8_t* channel = FindElement(elements, end, 0x18, length)) {
        if (fromNetwork) {
            call.networkChannel = true;
        }
        // As the viewer names it: the network's first word on the channel, else the SETUP's.
        if ((type == kSetup || fromNetwork) &&
            (type == kSetup || type == kCallProceeding || type == kAlerting || type == kConnect) &&
            (type == kSetup ? call.shownChannel < 0 : !call.networkNamed)) {
            call.shownChannel = ChannelOf(channel, length);
            call.networkNamed = fromNetwork;
        }
    }
    if (type == kDisconnect || type == kRelease || type == kReleaseComplete ||
        type == kResumeReject) {
        Clear(call, fromNetwork);
        if (type == kReleaseComplete || type == kResumeReject) {
            End(call, r.timeMs);
        }
    }
}

std::string TimeText(const SystemTime& start, int64_t ms) {
    int64_t ticks = 0;
    SystemTime time{};
    if (!SystemTimeToTicks(start, ticks) || !TicksToSystemTime(ticks + ms * 10000, time)) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%u/%02u/%02u %02u:%02u:%02u.%03u", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.milliseconds);
    return text;
}

}  // namespace

bool WriteCallList(const LogProfile& profile, const std::string& path, std::string& error) {
    LogGenerator generator(profile);
    const bool bulk = profile.dataKind == 4 && generator.Resolved().boardKind % 16 != 3;
    Calls calls;
    GeneratedRecord r;
    while (generator.Next(r)) {
        Observe(r, calls, bulk);
    }
    std::vector<const Entry*> rows;
    for (const auto& [serial, entry] : calls.bySerial) {
        rows.push_back(&entry);
    }
    std::sort(rows.begin(), rows.end(), [](const Entry* a, const Entry* b) {
        return a->setupMs != b->setupMs ? a->setupMs < b->setupMs : a->order < b->order;
    });

    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        error = "--call-list: cannot write " + path;
        return false;
    }
    bool ok = std::fputs("start,line,callRef,calling,called,channel,result,cause\n", out) >= 0;
    for (const Entry* call : rows) {
        const std::string line = call->line != 0 ? std::to_string(call->line) : "";
        const std::string channel =
            call->networkChannel && call->channel != 0 ? std::to_string(call->channel) : "";
        const std::string cause = call->cause >= 0 ? std::to_string(call->cause) : "";
        ok = ok &&
             std::fprintf(out, "%s,%s,%s%u,%s,%s,%s,%s,%s\n",
                          TimeText(profile.start, call->setupMs).c_str(), line.c_str(),
                          call->incoming ? "着" : "発", call->callRef, call->calling.c_str(),
                          call->called.c_str(), channel.c_str(), call->result, cause.c_str()) > 0;
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        error = "--call-list: cannot write " + path;
    }
    return ok;
}

}  // namespace tessary::loggen
