#include "loggen/LogGenerator.h"

#include <algorithm>
#include <vector>

#include "decode/Fcs16.h"
#include "logfile/InsLogFormat.h"
#include "loggen/Prng.h"
#include "loggen/TrafficModel.h"

namespace tessary::loggen {

namespace {

constexpr unsigned kMaxPayload = kMaxPayloadLength;
constexpr unsigned kRelaySlots = 16;

// Kinds of the board's own copies: mostly 1, now and then the others, 5 the direct-through.
constexpr uint8_t kRelayKinds[] = {1, 1, 1, 1, 1, 1, 2, 3, 4, 6, 7, 8, 1, 5, 1, 1};

uint8_t NoiseByte(Prng& prng) {
    return static_cast<uint8_t>(prng.Below(0xFF));  // anything but 0xFF
}

bool IsDirectionLetter(uint8_t b) {
    return b == 'T' || b == 'R' || b == 't' || b == 'r';
}

}  // namespace

uint32_t DataAreaOffset(const LogProfile& profile) {
    return kInsHeaderSize + profile.extHeaderLength;
}

struct LogGenerator::State {
    explicit State(const LogProfile& profile)
        : resolved(Resolve(profile)),
          prng(profile.seed ^ 0x5EC0DEDULL),
          model(resolved, profile.seed),
          headerSize(DataAreaOffset(profile)) {
        badFcsAt = profile.badFcsAt;
        noiseAt = profile.noiseAt;
        std::sort(badFcsAt.begin(), badFcsAt.end());
        std::sort(noiseAt.begin(), noiseAt.end());
        model.Next(lookahead);
    }

    struct Relay {
        int64_t timeMs;
        FrameEvent event;
        uint8_t kind;
    };

    ResolvedProfile resolved;
    Prng prng;
    TrafficModel model;
    uint32_t headerSize;
    FrameEvent lookahead;
    std::vector<Relay> relays;  // pending copies, in time order
    std::vector<uint64_t> badFcsAt;
    std::vector<uint64_t> noiseAt;
    size_t badFcsNext = 0;
    size_t noiseNext = 0;
    uint64_t number = 0;
    uint64_t streamBytes = 0;
    int64_t lastTimeMs = 0;
    bool ended = false;
    bool truncatedDone = false;
    uint8_t gap[96];
    uint8_t record[kRecordHeaderSize + kMaxPayload + 8];

    bool TargetReached(int64_t nextTimeMs) const {
        const LogProfile& s = resolved.profile;
        if (s.records != 0) {
            return number >= s.records;
        }
        if (s.sizeBytes != 0) {
            return number > 0 && headerSize + streamBytes >= s.sizeBytes;
        }
        return number > 0 && nextTimeMs - resolved.firstRecordMs > s.spanMs;
    }

    // Takes the next frame in time order: a pending copy or the model's next event.
    void TakeFrame(FrameEvent& event, bool& relay, uint8_t& relayKind) {
        if (!relays.empty() && relays.front().timeMs <= lookahead.timeMs) {
            event = relays.front().event;
            event.timeMs = relays.front().timeMs;
            relayKind = relays.front().kind;
            relays.erase(relays.begin());
            relay = true;
            return;
        }
        event = lookahead;
        relay = false;
        model.Next(lookahead);
        const LogProfile& s = resolved.profile;
        if (!event.layer1 && relays.size() < kRelaySlots && prng.PerMille(s.relayPerMille)) {
            Relay r{event.timeMs + prng.Between(1, 3), event, kRelayKinds[prng.Below(16)]};
            auto at =
                std::upper_bound(relays.begin(), relays.end(), r.timeMs,
                                 [](int64_t t, const Relay& other) { return t < other.timeMs; });
            relays.insert(at, r);
        }
    }

    int64_t PeekTime() const {
        int64_t t = lookahead.timeMs;
        if (!relays.empty() && relays.front().timeMs < t) {
            t = relays.front().timeMs;
        }
        return resolved.firstRecordMs + t;
    }

    uint32_t MakeGap(uint64_t recordNumber, uint8_t& warnings) {
        const LogProfile& s = resolved.profile;
        warnings = 0;
        if (recordNumber == 1) {
            if (!s.ring) {
                return 0;
            }
            // The remnant of a record the ring overwrote: no 0xFF, so the scan meets none.
            const uint32_t n = static_cast<uint32_t>(prng.Between(1, 40));
            for (uint32_t i = 0; i < n; ++i) {
                gap[i] = NoiseByte(prng);
            }
            return n;
        }
        bool noise = false;
        while (noiseNext < noiseAt.size() && noiseAt[noiseNext] <= recordNumber) {
            noise = noiseAt[noiseNext] == recordNumber || noise;
            ++noiseNext;
        }
        if (noise || prng.PerMille(s.noisePerMille)) {
            uint32_t n = static_cast<uint32_t>(prng.Between(1, 24));
            for (uint32_t i = 0; i < n; ++i) {
                gap[i] = NoiseByte(prng);
            }
            if (prng.Below(3) == 0) {
                const uint32_t fill = static_cast<uint32_t>(prng.Between(1, 16));
                std::fill(gap + n, gap + n + fill, 0xFF);
                n += fill;
            }
            warnings = 1;
            return n;
        }
        if (prng.PerMille(s.strayPerMille)) {
            // An 0xFF that opens no record header, then a few noise bytes.
            gap[0] = 0xFF;
            uint8_t second;
            do {
                second = NoiseByte(prng);
            } while (IsDirectionLetter(second));
            gap[1] = second;
            const uint32_t n = 2 + static_cast<uint32_t>(prng.Below(8));
            for (uint32_t i = 2; i < n; ++i) {
                gap[i] = NoiseByte(prng);
            }
            warnings = 2;
            return n;
        }
        if (prng.PerMille(s.fillPerMille)) {
            const uint32_t n = static_cast<uint32_t>(prng.Between(1, 64));
            std::fill(gap, gap + n, 0xFF);
            return n;
        }
        return 0;
    }

    void Build(GeneratedRecord& out, bool truncate) {
        const LogProfile& s = resolved.profile;
        out = GeneratedRecord{};
        out.number = ++number;

        FrameEvent event;
        bool relay = false;
        uint8_t relayKind = 0;
        uint8_t* payload = record + kRecordHeaderSize;
        unsigned length = 0;
        if (s.noBlockAt != 0 && out.number == s.noBlockAt) {
            // A receive status record: valid for the scan, but no block shows it.
            event.timeMs = PeekTime() - resolved.firstRecordMs;
            event.line = 0;
            event.fromNetwork = true;
            event.layer1 = true;
            out.noBlock = true;
            out.layer1 = true;
            payload[0] = 0x34;
            length = 1;
        } else {
            TakeFrame(event, relay, relayKind);
            out.callSerial = event.call.serial;
            out.callChannel = event.call.channel;
            out.callIncoming = event.call.incoming;
            out.layer1 = event.layer1;
            out.relay = relay;
            out.oversize = event.oversize && !relay;
            if (event.layer1) {
                std::copy(event.frame.data, event.frame.data + event.frame.size, payload);
                length = event.frame.size;
            } else {
                const unsigned checkBytes = relay ? 0 : 2;
                out.prefix = !out.oversize && event.frame.size + checkBytes + 1 <= kMaxPayload &&
                             prng.PerMille(s.prefixPerMille);
                if (out.prefix) {
                    payload[length++] = 0x01;
                }
                std::copy(event.frame.data, event.frame.data + event.frame.size, payload + length);
                length += event.frame.size;
                if (!relay) {
                    uint16_t fcs = Fcs16(event.frame.data, event.frame.size);
                    bool bad = false;
                    if (!out.oversize) {
                        while (badFcsNext < badFcsAt.size() && badFcsAt[badFcsNext] <= out.number) {
                            bad = true;
                            ++badFcsNext;
                        }
                        bad = bad || prng.PerMille(s.badFcsPerMille);
                    }
                    if (bad) {
                        fcs = static_cast<uint16_t>(fcs ^ prng.Between(1, 0xFFFF));
                        out.badFcs = true;
                    }
                    payload[length++] = static_cast<uint8_t>(fcs);
                    payload[length++] = static_cast<uint8_t>(fcs >> 8);
                }
            }
        }
        const bool second = event.line == 1;
        out.direction = event.fromNetwork ? (second ? 'r' : 'R') : (second ? 't' : 'T');
        out.kind = event.layer1 ? 9 : (relay ? relayKind : 0);
        out.timeMs = resolved.firstRecordMs + event.timeMs;
        out.count = static_cast<uint32_t>(static_cast<uint64_t>(
                        static_cast<int64_t>(resolved.countStart) + out.timeMs)) &
                    resolved.counterMask;
        out.payloadLength = static_cast<uint16_t>(length);

        InsRecordHeader header;
        header.mark = kRecordMark;
        header.direction = out.direction;
        header.blockCode = out.kind;
        header.payloadLength = out.payloadLength;
        header.timeCount = out.count;
        SerializeRecordHeader(header, record);

        // The cut record gets no gap: the reader stops at it and would not report one there.
        out.gapLength = truncate ? 0 : MakeGap(out.number, out.warnings);
        out.gap = gap;
        out.bytes = record;
        out.length = kRecordHeaderSize + length;
        if (truncate) {
            out.truncated = true;
            out.length = static_cast<uint32_t>(prng.Between(1, out.length - 1));
        }
        lastTimeMs = out.timeMs;
        streamBytes += out.gapLength + out.length;
    }
};

LogGenerator::LogGenerator(const LogProfile& profile) : m_state(std::make_unique<State>(profile)) {}

LogGenerator::~LogGenerator() = default;

bool LogGenerator::Next(GeneratedRecord& out) {
    State& st = *m_state;
    if (st.ended) {
        return false;
    }
    if (st.TargetReached(st.PeekTime())) {
        if (st.resolved.profile.truncateLast && !st.truncatedDone) {
            st.truncatedDone = true;
            st.ended = true;
            st.Build(out, true);
            return true;
        }
        st.ended = true;
        return false;
    }
    st.Build(out, false);
    return true;
}

const ResolvedProfile& LogGenerator::Resolved() const {
    return m_state->resolved;
}

uint64_t LogGenerator::StreamBytes() const {
    return m_state->streamBytes;
}

}  // namespace tessary::loggen
