#pragma once
// What one synthetic INS log looks like: the file layout (header fields, linear or ring,
// extended header, correction, counter) and the traffic and damage rates of the record stream.
// A LogProfile plus its seed fixes every byte of the file.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Calendar.h"

namespace tessary::loggen {

enum class Board : uint8_t { Ins64, Ins1500 };

struct LogProfile {
    uint64_t seed = 1;

    // Target: exactly one is used, in this order: records, sizeBytes, spanMs.
    uint64_t records = 1000;  // complete records (a truncated last record comes on top)
    uint64_t sizeBytes = 0;   // stop once the file has reached this size
    int64_t spanMs = 0;       // stop once a record would lie further from the first

    Board board = Board::Ins64;
    uint16_t boardKind = 0;  // 0: 0x0001 for INS-Net 64, 0x0003 for INS-Net 1500
    uint8_t dataKind = 1;    // 1 single line, 4 INS-Net 64 bulk
    unsigned lines = 2;      // data kind 4: 1 or 2 lines in the stream
    uint8_t channelNumber = 1;
    uint8_t traceType = 1;

    SystemTime start{2024, 6, 0, 7, 12, 34, 56, 789};
    int64_t startCorrectionMs = 0;
    unsigned counterBits = 0;    // 30 or 32; 0: 30 for INS-Net 64, 32 for INS-Net 1500
    bool countStartSet = false;  // else derived from the seed
    uint32_t countStart = 0;     // counter value at the start date/time
    int64_t firstRecordMs = -1;  // ring without correction: oldest record kept; -1: 600000

    bool ring = false;
    uint32_t loopCount = 1;
    bool headOffsetSet = false;  // else 37 % of the data area
    bool headOffsetPercent = false;
    uint64_t headOffset = 0;  // bytes, or percent of the data area

    uint8_t extHeaderLength = 0;  // 0 none, else 32-255
    bool endValueSet = false;     // else the time of the last complete record
    uint64_t endValueMs = 0;
    bool dataCountZero = false;  // linear: write 0 ("the rest of the file")

    // Shares in per mille.
    uint32_t badFcsPerMille = 1;    // kind-0 frames with a wrong check sequence
    uint32_t noisePerMille = 1;     // gaps of noise bytes before a record (warning 0)
    uint32_t strayPerMille = 0;     // gaps that open with an 0xFF that opens no record (warning 1)
    uint32_t fillPerMille = 3;      // runs of 0xFF fill before a record (no warning)
    uint32_t oddPerMille = 10;      // frames the decoder calls out of scope
    uint32_t prefixPerMille = 5;    // frames carried behind a 0x01 prefix
    uint32_t oversizePerMille = 1;  // kind-0 records of more than 264 bytes
    uint32_t relayPerMille = 500;   // frames copied to the board's own blocks (kinds 1-8)

    std::vector<uint64_t> badFcsAt;  // 1-based record numbers (the next kind-0 record from there)
    std::vector<uint64_t> noiseAt;   // a noise gap before these records
    uint64_t noBlockAt = 0;          // a receive kind-9 record (no block) as this record; 0 none
    bool truncateLast = false;

    int64_t callIntervalMs = 20000;  // mean time between call attempts per line
    int64_t pollIntervalMs = 10000;  // idle time before a link is polled (T203)
};

// Defaults that depend on other fields, filled in once before generating.
struct ResolvedProfile {
    LogProfile profile;
    uint16_t boardKind = 0;
    unsigned counterBits = 30;
    uint32_t counterMask = 0x3FFFFFFF;
    uint32_t countStart = 0;
    unsigned lines = 1;
    int64_t firstRecordMs = 0;  // time of the first record from the start date/time
};

// Empty when the profile can be written; else a message naming the offending setting.
std::string ValidateProfile(const LogProfile& profile);
ResolvedProfile Resolve(const LogProfile& profile);

}  // namespace tessary::loggen
