// tessarydump's text output of a large log to /dev/null: records per second for the whole run
// (open, conversion with layout, copy text as UTF-8) and for the text output alone. Usage:
// bench_dump [LOG]; without LOG a log of 1,000,000 records is written by insloggen into the
// system's temporary folder first.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchLog.h"
#include "cli/CliSession.h"
#include "decode/SearchCondition.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

std::string WriteLog() {
    return tessary::bench::WriteBenchLog("bench_dump", "--quiet --seed 1 --records 1000000");
}

}  // namespace

int main(int argc, char** argv) {
    const bool ownLog = argc < 2;
    const std::string path = ownLog ? WriteLog() : std::string(argv[1]);
    if (path.empty()) {
        return 1;
    }
    std::FILE* null = std::fopen("/dev/null", "wb");
    if (null == nullptr) {
        std::fprintf(stderr, "cannot open /dev/null\n");
        return 1;
    }
    tessary::cli::CliOptions options;
    options.file = path;
    // The same work on every machine, whatever its user stored.
    options.defaultSettings = true;
    tessary::cli::CliSession session(options, null, stderr, false);
    const auto start = Clock::now();
    int code = session.Prepare();
    if (code == 0) {
        code = session.Load();
    }
    const auto loaded = Clock::now();
    if (code == 0) {
        code = session.WriteText();
    }
    const auto written = Clock::now();
    std::fclose(null);
    if (ownLog) {
        std::remove(path.c_str());
    }
    if (code != 0) {
        std::fprintf(stderr, "tessarydump run failed with exit code %d\n", code);
        return 1;
    }
    const double records = session.Converter()->LineCount();
    const double lines = session.MainTable().LineCount();
    std::printf("records            %.0f (%.0f display lines)\n", records, lines);
    std::printf("load + layout      %.3f s  %.0f records/s\n", Seconds(start, loaded),
                records / Seconds(start, loaded));
    std::printf("text to /dev/null  %.3f s  %.0f records/s\n", Seconds(loaded, written),
                records / Seconds(loaded, written));
    std::printf("whole run          %.3f s  %.0f records/s\n", Seconds(start, written),
                records / Seconds(start, written));

    // The search over every record of the log, as the search aggregation tests them.
    tessary::SearchCondition condition;
    condition.Compile(u";<呼設定> <CH=01>;0", 2);
    tessary::CTessaryCan* converter = session.Converter();
    const uint32_t count = converter->LineCount();
    size_t matches = 0;
    const auto searchStart = Clock::now();
    for (uint32_t i = 0; i < count; ++i) {
        matches += condition.Match(converter->Record(i)->TextView()) == 0 ? 1 : 0;
    }
    const auto searchEnd = Clock::now();
    std::printf("match <呼設定> <CH=01>  %.3f s  %.0f record tests/s  (%zu matches)\n",
                Seconds(searchStart, searchEnd), count / Seconds(searchStart, searchEnd), matches);
    return 0;
}
