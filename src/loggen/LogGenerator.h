#pragma once
// The in-memory generator of a synthetic INS log: yields the record stream of a LogProfile in
// data-position order, each record with the gap bytes written before it, its time and what the
// reader should make of it. WriteLog (LogWriter.h) puts exactly these bytes into a file, so a
// test can walk a written log and compare it record by record with a fresh generator.
//
//   LogProfile profile;  profile.seed = 7;  profile.records = 500;
//   LogGenerator gen(profile);        // the profile must pass ValidateProfile
//   GeneratedRecord r;
//   while (gen.Next(r)) { ... r.bytes, r.length, r.timeMs, r.count ... }
#include <cstdint>
#include <memory>

#include "loggen/LogProfile.h"

namespace tessary::loggen {

struct GeneratedRecord {
    uint64_t number = 0;  // 1-based among the complete records; the truncated one gets the next
    int64_t timeMs = 0;   // from the header's start date/time; the reader's record time
    uint32_t count = 0;   // time count in the record header
    uint8_t direction = 0;
    uint8_t kind = 0;
    uint16_t payloadLength = 0;  // as in the record header
    bool layer1 = false;         // kind-9 status
    bool relay = false;          // a copy in the board's own blocks (kinds 1-8)
    bool prefix = false;         // payload opens with the 0x01 prefix
    bool badFcs = false;         // kind 0 with a wrong check sequence
    bool oversize = false;       // kind 0 over 264 bytes (the reader turns it into kind 6)
    bool noBlock = false;        // receive kind 9
    bool truncated = false;      // the cut last record: never handed on by the reader
    // The generated call a call-control frame belongs to (0: none), its channel (0 none) and
    // whether the network offered it.
    uint32_t callSerial = 0;
    uint8_t callChannel = 0;
    bool callIncoming = false;
    // What the gap before this record makes the reader report: bit 0 a warning of kind 0
    // (noise skipped), bit 1 a warning of kind 1 (an 0xFF that opened no record).
    uint8_t warnings = 0;
    const uint8_t* gap = nullptr;
    uint32_t gapLength = 0;
    const uint8_t* bytes = nullptr;  // record header + payload as written
    uint32_t length = 0;
};

class LogGenerator {
public:
    explicit LogGenerator(const LogProfile& profile);
    ~LogGenerator();
    LogGenerator(const LogGenerator&) = delete;
    LogGenerator& operator=(const LogGenerator&) = delete;

    // False once the stream has ended; `out` points into the generator until the next call.
    bool Next(GeneratedRecord& out);

    const ResolvedProfile& Resolved() const;
    // Bytes yielded so far, gaps included.
    uint64_t StreamBytes() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// File offset of the data area: the header and the extended header.
uint32_t DataAreaOffset(const LogProfile& profile);

}  // namespace tessary::loggen
