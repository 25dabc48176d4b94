#pragma once
// The command line of insloggen: every option fills one LogProfile field.
#include <string>
#include <vector>

#include "loggen/LogProfile.h"

namespace tessary::loggen {

struct CommandLine {
    LogProfile profile;
    std::string out;
    std::string callList;  // also write the list of generated calls here
    bool quiet = false;
};

enum class ParseOutcome { kRun, kHelp, kUsageError };

// `error` names the offending option.
ParseOutcome ParseCommandLine(const std::vector<std::string>& args, CommandLine& line,
                              std::string& error);
std::string UsageText();

}  // namespace tessary::loggen
