#pragma once
// Reading generated logs back: the project's reader walks a written file and collects what it
// hands on; the generator replays the same profile for comparison.
#include <cstdint>
#include <string>
#include <vector>

#include "loggen/LogGenerator.h"
#include "loggen/LogProfile.h"

namespace tessary::test {

struct WalkedRecord {
    std::vector<uint8_t> bytes;  // header + payload as the reader passed it
    int32_t differenceMs = 0;
    int64_t elapsedMs = 0;
};

struct WalkResult {
    int32_t openStatus = -2;
    int32_t startStatus = -2;
    int32_t conversionStatus = -2;
    int32_t recordCounter = 0;
    int32_t warningCounter = 0;
    uint32_t warningMask = 0;
    int correctionState = 0;
    int64_t startTime = 0;  // ticks
    int64_t baseTime = 0;   // ticks, as the reader set it at the start of the walk
    int64_t endTime = 0;
    int64_t elapsedMs = 0;
    uint32_t dataSize = 0;
    uint32_t dataOrigin = 0;
    std::vector<WalkedRecord> records;
};

// Walks the file with the given line selection (option byte bits 2-3; 8: both lines).
WalkResult WalkLog(const std::string& path, uint8_t lineSelection = 8);

struct ExpectedRecord {
    loggen::GeneratedRecord info;  // pointers cleared
    std::vector<uint8_t> gap;
    std::vector<uint8_t> bytes;
};

std::vector<ExpectedRecord> Generate(const loggen::LogProfile& profile);

}  // namespace tessary::test
