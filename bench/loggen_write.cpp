// Writing speed of insloggen's library: a large INS log streamed to disk, and the record
// generator alone. Usage: bench_loggen_write [MiB (default 512)] [folder (default: TMPDIR)]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchClock.h"
#include "loggen/LogGenerator.h"
#include "loggen/LogWriter.h"

using tessary::bench::Seconds;

int main(int argc, char** argv) {
    using namespace tessary::loggen;
    const uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 512;
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path folder = argc > 2 ? argv[2] : (tmp && *tmp ? tmp : "/tmp");
    const std::string path = (folder / "bench_loggen_write.dat").string();

    LogProfile profile;
    profile.seed = 99;
    profile.records = 0;
    profile.sizeBytes = mib << 20;

    // The generator alone: what the traffic model and the record layer cost.
    {
        const auto start = std::chrono::steady_clock::now();
        LogGenerator generator(profile);
        GeneratedRecord r;
        uint64_t records = 0;
        while (generator.Next(r)) {
            ++records;
        }
        const double s = Seconds(start);
        std::printf("generate  %8.1f MB/s  %6.2f M records/s  (%llu records, %.2f s)\n",
                    static_cast<double>(generator.StreamBytes()) / 1e6 / s,
                    static_cast<double>(records) / 1e6 / s,
                    static_cast<unsigned long long>(records), s);
    }

    for (const bool ring : {false, true}) {
        profile.ring = ring;
        profile.extHeaderLength = ring ? 32 : 0;
        WriteResult result;
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        if (WriteLog(profile, path, &result, &error) != WriteStatus::kOk) {
            std::fprintf(stderr, "bench_loggen_write: %s\n", error.c_str());
            return 1;
        }
        const double s = Seconds(start);
        std::printf("write %s %8.1f MB/s  %6.2f M records/s  (%llu bytes, %.2f s)\n",
                    ring ? "ring  " : "linear", static_cast<double>(result.fileBytes) / 1e6 / s,
                    static_cast<double>(result.records) / 1e6 / s,
                    static_cast<unsigned long long>(result.fileBytes), s);
        std::filesystem::remove(path);
    }
    return 0;
}
