// Conversion plus the main window's layout into the display line table, on an insloggen log
// (or the log given as the argument): records per second, and peak memory (VmHWM) per byte of
// log data. A conversion without layout runs afterwards for comparison.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"

namespace {

using Clock = std::chrono::steady_clock;

// Peak resident set of this process in bytes, 0 when /proc is not there.
uint64_t PeakResident() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtoull(line.c_str() + 6, nullptr, 10) * 1024;
        }
    }
    return 0;
}

bool MakeLog(const std::string& path, unsigned long records) {
    const std::string command = std::string("\"") + TESSARY_INSLOGGEN +
                                "\" --quiet --seed 7 --records " + std::to_string(records) +
                                " --out \"" + path + "\"";
    return std::system(command.c_str()) == 0;
}

// CPU seconds of the whole process (the pass runs on one worker; the caller only waits).
double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct PassResult {
    int32_t status = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    uint32_t records = 0;
};

PassResult RunPass(tessary::CTessaryCan& converter, tessary::LineCallback callback, void* user) {
    PassResult result;
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    result.status = converter.StartPass(callback, user, nullptr);
    if (result.status == tessary::kStatusDone) {
        converter.WaitForWalk();
        result.status = converter.ConversionStatus();
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.cpuSeconds = CpuSeconds() - cpuStart;
    result.records = converter.LineCount();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    bool generated = false;
    if (argc > 1) {
        path = argv[1];
    } else {
        path = "/tmp/tessary_bench_layout_" + std::to_string(::getpid()) + ".dat";
        const unsigned long records = 1000000;
        std::printf("generating %lu records with insloggen ...\n", records);
        if (!MakeLog(path, records)) {
            std::printf("insloggen failed; pass a log file as the argument\n");
            return 1;
        }
        generated = true;
    }

    tessary::CanPara para;
    tessary::ResetPara(para);
    tessary::SearchCondition conditions[tessary::kMarkIfTextCount];
    const uint64_t baseline = PeakResident();
    {
        tessary::CTessaryCan converter(path, &para);
        if (converter.OpenStatus() != 0) {
            std::printf("cannot open %s (status %d, error %u)\n", path.c_str(),
                        converter.OpenStatus(), converter.LastError());
            return 1;
        }
        const double dataBytes = converter.DataSize();
        tessary::DisplayLineTable table;
        table.SetSource(tessary::DisplaySource{&para, conditions});
        const PassResult laid = RunPass(converter, &tessary::LayoutRecord, &table);
        const uint64_t peak = PeakResident();
        std::printf("log: %s, %.0f data bytes\n", path.c_str(), dataBytes);
        std::printf("conversion + layout: status %d, %u records, %d display lines in %.3f s\n",
                    laid.status, laid.records, table.LineCount(), laid.seconds);
        std::printf("  %.0f records/s, %.1f MB/s of log data (%.0f records per CPU second)\n",
                    laid.records / laid.seconds, dataBytes / laid.seconds / 1e6,
                    laid.records / laid.cpuSeconds);
        std::printf("  line table %u entries, line buffer %llu / %llu bytes used\n",
                    table.TableCapacity(), static_cast<unsigned long long>(table.BufferUsed()),
                    static_cast<unsigned long long>(table.BufferCapacity()));
        std::printf("  text store %llu / %llu bytes used\n",
                    static_cast<unsigned long long>(converter.TextUsed()),
                    static_cast<unsigned long long>(converter.TextCapacity()));
        std::printf(
            "  peak memory (VmHWM) %.1f MB = %.2f bytes per byte of log data "
            "(%.2f above the process before the pass)\n",
            peak / 1e6, peak / dataBytes, (peak - baseline) / dataBytes);
    }
    {
        tessary::CTessaryCan converter(path, &para);
        const PassResult plain = RunPass(converter, nullptr, nullptr);
        std::printf(
            "conversion alone: status %d, %u records in %.3f s, %.0f records/s (%.0f per CPU "
            "second)\n",
            plain.status, plain.records, plain.seconds, plain.records / plain.seconds,
            plain.records / plain.cpuSeconds);
    }
    if (generated) {
        std::remove(path.c_str());
    }
    return 0;
}
