#pragma once
// The command line of insloggen: every option fills one LogSpec field.
#include <string>
#include <vector>

#include "loggen/LogSpec.h"

namespace tessary::loggen {

struct CommandLine {
    LogSpec spec;
    std::string out;
    bool quiet = false;
};

enum class ParseOutcome { kRun, kHelp, kUsageError };

// `error` names the offending option.
ParseOutcome ParseCommandLine(const std::vector<std::string>& args, CommandLine& line,
                              std::string& error);
std::string UsageText();

}  // namespace tessary::loggen
