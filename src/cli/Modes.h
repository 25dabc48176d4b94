#pragma once
// The tool modes of tessarydump, each over a prepared session (settings read, options
// applied). A mode loads the log itself when it needs the converted records (session.Load()),
// writes its result to session.Out(), its messages to session.Err(), and returns the exit code.
#include "cli/CliSession.h"

namespace tessary::cli {

// --header: the header dump of the file.
int RunHeaderMode(CliSession& session);
// --summary: the summary of the converted log.
int RunSummaryMode(CliSession& session);
// --divide DIR (session.Options().divideDir): one file per date; prints the final status line.
int RunDivideMode(CliSession& session);
// --pcap OUT (session.Options().pcapOut): the frame records as a pcapng file.
int RunPcapMode(CliSession& session);
// --calls: one row per call of the log (CSV, or JSON Lines with --jsonl).
int RunCallsMode(CliSession& session);

}  // namespace tessary::cli
