// The tool modes are wired to the tools by the lead; until then each says so and fails.
#include "cli/Modes.h"

namespace tessary::cli {
namespace {

int NotWired(CliSession& session, const char* option) {
    session.PrintError(std::string("tessarydump: ") + option +
                       " is not available in this build (the mode is wired by the lead)");
    return kExitUsage;
}

}  // namespace

int RunHeaderMode(CliSession& session) {
    return NotWired(session, "--header");
}

int RunSummaryMode(CliSession& session) {
    return NotWired(session, "--summary");
}

int RunDivideMode(CliSession& session) {
    return NotWired(session, "--divide");
}

int RunPcapMode(CliSession& session) {
    return NotWired(session, "--pcap");
}

}  // namespace tessary::cli
