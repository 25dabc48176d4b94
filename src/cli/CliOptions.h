#pragma once
// The command line of tessarydump.
#include <cstdint>
#include <string>
#include <vector>

namespace tessary::cli {

enum class Mode { kText, kJsonl, kHeader, kSummary, kDivide, kPcap, kCalls };

struct CliOptions {
    std::string file;
    Mode mode = Mode::kText;
    std::string divideDir;
    std::string pcapOut;
    bool callsJsonl = false;  // --calls --jsonl: one JSON object per call
    int dateFormat = -1;      // 0-3; -1 keeps the settings' format
    int line = 1;             // INS64 bulk files: 1 or 2
    bool hideRr = false;
    int wrap = -1;  // 1-127; -1 keeps the settings' width
    bool hasSearch = false;
    std::string search;  // UTF-8
    bool hasCall = false;
    uint32_t callId = 0;
    std::string settings;          // an INI file instead of the user's stored settings
    bool defaultSettings = false;  // neither: the defaults of a new viewer
    bool crlf = false;
};

enum class ParseResult { kRun, kHelp, kUsageError };

// `error` describes a usage error.
ParseResult ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                            std::string& error);
std::string CliUsageText();

// Exit codes.
inline constexpr int kExitDone = 0;
inline constexpr int kExitCannotOpen = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitConversion = 3;

}  // namespace tessary::cli
