// insloggen: writes synthetic INS log files for tests, benchmarks and the demo.
#include <signal.h>
#ifdef _WIN32
#include <io.h>
#define unlink _unlink
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "loggen/CallSidecar.h"
#include "loggen/LogWriter.h"
#include "loggen/Options.h"

namespace {

// An interrupted run leaves no temporary file behind.
char g_tempPath[4096];

void OnSignal(int signalNumber) {
    if (g_tempPath[0] != 0) {
        unlink(g_tempPath);
    }
    std::_Exit(128 + signalNumber);
}

void RemoveTempOnSignals(const std::string& temp) {
    if (temp.size() < sizeof(g_tempPath)) {
        std::memcpy(g_tempPath, temp.c_str(), temp.size() + 1);
    }
#ifdef SIGHUP
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
#else
    // Windows: Ctrl+C, termination and Ctrl+Break.
    for (int s : {SIGINT, SIGTERM, SIGBREAK}) {
#endif
        signal(s, OnSignal);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessary::loggen;
    std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine line;
    std::string error;
    switch (ParseCommandLine(args, line, error)) {
        case ParseOutcome::kHelp:
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        case ParseOutcome::kUsageError:
            std::fprintf(stderr, "insloggen: %s\nTry 'insloggen --help'.\n", error.c_str());
            return 2;
        case ParseOutcome::kRun:
            break;
    }
    RemoveTempOnSignals(TemporaryPathFor(line.out));
    WriteResult result;
    switch (WriteLog(line.profile, line.out, &result, &error)) {
        case WriteStatus::kOk:
            break;
        case WriteStatus::kBadProfile:
            std::fprintf(stderr, "insloggen: %s\nTry 'insloggen --help'.\n", error.c_str());
            return 2;
        case WriteStatus::kFileError:
            std::fprintf(stderr, "insloggen: %s\n", error.c_str());
            return 1;
    }
    if (!line.callList.empty() && !WriteCallList(line.profile, line.callList, error)) {
        std::fprintf(stderr, "insloggen: %s\n", error.c_str());
        return 1;
    }
    if (!line.quiet) {
        std::printf(
            "%s: %llu records, %llu bytes (data %u at offset %u), %.3f s of traffic, "
            "%llu CRC errors, %llu warnings%s\n",
            line.out.c_str(), static_cast<unsigned long long>(result.records),
            static_cast<unsigned long long>(result.fileBytes), result.dataBytes, result.headerBytes,
            static_cast<double>(result.lastTimeMs - result.firstTimeMs) / 1000,
            static_cast<unsigned long long>(result.badFcs),
            static_cast<unsigned long long>(result.warnings),
            result.truncated ? ", last record cut" : "");
    }
    return 0;
}
