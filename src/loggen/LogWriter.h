#pragma once
// Writes a synthetic INS log file: the header, the optional extended header and the record
// stream of LogGenerator, streamed through one buffer. The file appears under its name only
// when it is complete: it is written under a temporary name in the same folder and renamed at
// the end; on any failure the temporary file is removed. Ring files are written in two passes
// (the first only measures the stream) so that the oldest data lands at the head offset.
#include <cstdint>
#include <string>

#include "loggen/LogProfile.h"

namespace tessary::loggen {

struct WriteResult {
    uint64_t records = 0;  // complete records
    uint64_t fileBytes = 0;
    uint32_t headerBytes = 0;
    uint32_t dataBytes = 0;   // the data area
    uint32_t headOffset = 0;  // ring: data position 0 lies at headerBytes + headOffset
    int64_t firstTimeMs = 0;
    int64_t lastTimeMs = 0;  // the last complete record
    uint64_t endValueMs = 0;
    uint64_t badFcs = 0;
    uint64_t warnings = 0;  // warnings the reader should raise
    bool truncated = false;
};

// The temporary name WriteLog uses for `path` in this process (".NAME.insloggen-PID.tmp" in the
// same folder), so that a program can remove it when it is interrupted.
std::string TemporaryPathFor(const std::string& path);

enum class WriteStatus { kOk, kBadProfile, kFileError };

// On failure `error` names the offending option (kBadProfile) or the file and its error
// (kFileError); no file is left behind either way.
WriteStatus WriteLog(const LogProfile& profile, const std::string& path,
                     WriteResult* result = nullptr, std::string* error = nullptr);

}  // namespace tessary::loggen
