// tessarydump: the command-line decoder over the viewer's core.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/Modes.h"
#include "platform/ProcessIo.h"

using namespace tessary::cli;

int main(int argc, char** argv) {
    // The output is compared byte for byte across systems: LF stays LF (--crlf writes CR LF).
    tessary::SetBinaryOutput(stdout);
    std::vector<std::string> args = tessary::ProgramArguments(argc, argv);
    CliOptions options;
    std::string error;
    switch (ParseCliOptions(args, options, error)) {
        case ParseResult::kHelp:
            std::fputs(CliUsageText().c_str(), stdout);
            return kExitDone;
        case ParseResult::kUsageError:
            std::fprintf(stderr, "tessarydump: %s\n%s", error.c_str(), CliUsageText().c_str());
            return kExitUsage;
        case ParseResult::kRun:
            break;
    }
    CliSession session(options, stdout, stderr, tessary::IsTerminal(stderr));
    switch (options.mode) {
        case Mode::kText:
        case Mode::kJsonl:
            return session.Run();
        default:
            break;
    }
    if (const int code = session.Prepare(); code != kExitDone) {
        return code;
    }
    switch (options.mode) {
        case Mode::kHeader:
            return RunHeaderMode(session);
        case Mode::kSummary:
            return RunSummaryMode(session);
        case Mode::kDivide:
            return RunDivideMode(session);
        case Mode::kCalls:
            return RunCallsMode(session);
        default:
            return RunPcapMode(session);
    }
}
