// The call list over a log of millions of records: the tracker's one walk over the stored
// message records, as the call list window makes it after an open (on the user-interface
// thread), and the rows tessarydump --calls writes from it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchClock.h"
#include "BenchTable.h"
#include "calls/CallList.h"
#include "calls/CallRows.h"

using tessary::bench::Clock;
using tessary::bench::Seconds;
using tessary::bench::ThreadSeconds;

int main(int argc, char** argv) {
    const char* records = argc > 1 ? argv[1] : "5000000";
    tessary::bench::BenchTable bench;
    if (!bench.Generate("calls", records)) {
        return 1;
    }
    const tessary::CTessaryCan& converter = *bench.converter;
    constexpr int kRuns = 3;
    double best = 0;
    double bestCpu = 0;
    size_t count = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const double cpuStart = ThreadSeconds();
        const std::vector<tessary::calls::CallInfo> calls =
            tessary::calls::BuildCallList(converter);
        const double seconds = Seconds(start);
        const double cpu = ThreadSeconds() - cpuStart;
        best = run == 0 || seconds < best ? seconds : best;
        bestCpu = run == 0 || cpu < bestCpu ? cpu : bestCpu;
        count = calls.size();
        std::printf(
            "call list: %zu calls from %u records in %.3f s wall, %.3f s CPU (%.1f M records/s)\n",
            calls.size(), converter.LineCount(), seconds, cpu, converter.LineCount() / cpu / 1e6);
    }
    std::printf("best: %.3f s wall, %.3f s CPU for %u records, %zu calls (the window allows 1 s)\n",
                best, bestCpu, converter.LineCount(), count);

    // The rows as the CLI streams them (to /dev/null: the tracker and the formatting only).
    std::FILE* sink = std::fopen("/dev/null", "wb");
    if (sink != nullptr) {
        const auto start = Clock::now();
        tessary::calls::CallRowStream stream(tessary::calls::CallRowFormat::kCsv,
                                             converter.BaseTime(), 0, 0, sink);
        for (uint32_t i = 0; i < converter.LineCount(); ++i) {
            stream.Add(*converter.Record(i));
        }
        stream.Finish();
        std::fclose(sink);
        std::printf("CSV rows streamed: %.3f s\n", Seconds(start));
    }
    return 0;
}
