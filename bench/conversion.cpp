// Conversion of a large log: records per second, MB per second, and the line store's bytes
// per byte of log. Usage: bench_conversion [LOG]; without LOG a 100 MB log is written by
// insloggen into the system's temporary folder first.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "BenchLog.h"
#include "decode/CTessaryCan.h"
#include "logfile/Status.h"

namespace {

struct Counts {
    uint64_t records = 0;
    uint64_t frames = 0;
    uint64_t warnings = 0;
};

int32_t CountRecord(tessary::CTessaryCan*, tessary::MessageRecord* record, void* user) {
    auto* counts = static_cast<Counts*>(user);
    ++counts->records;
    if (record->Flags & tessary::kRecordWarning) {
        ++counts->warnings;
    } else if (record->Layer == tessary::kLayerFrame || record->Layer == tessary::kLayerMessage) {
        ++counts->frames;
    }
    return 0;
}

long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

std::string WriteLog() {
    return tessary::bench::WriteBenchLog("bench_conversion", "--seed 1 --size 100M");
}

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    bool written = false;
    if (argc > 1) {
        path = argv[1];
    } else {
        path = WriteLog();
        written = true;
        if (path.empty()) {
            return 1;
        }
    }

    tessary::CanPara para;
    tessary::ResetPara(para);
    Counts counts;
    const auto start = std::chrono::steady_clock::now();
    int32_t status = 0;
    double seconds = 0;
    uint64_t dataSize = 0;
    {
        tessary::CTessaryCan converter(path, &para);
        if (converter.OpenStatus() != tessary::kOpenOk) {
            std::fprintf(stderr, "cannot open %s: open status %d, error %u\n", path.c_str(),
                         converter.OpenStatus(), converter.LastError());
            return 1;
        }
        dataSize = converter.DataSize();
        status = converter.StartPass(&CountRecord, &counts, nullptr);
        if (status == tessary::kStatusDone) {
            converter.WaitForWalk();
            status = converter.ConversionStatus();
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        const uint64_t used = converter.TextUsed() + 8ull * converter.LineCount();
        const uint64_t capacity = converter.TextCapacity() + 8ull * converter.LineTableCapacity();
        const double mb = static_cast<double>(dataSize) / (1024.0 * 1024.0);
        std::printf("log               %s\n", path.c_str());
        std::printf("data bytes        %llu (%.1f MB)\n", static_cast<unsigned long long>(dataSize),
                    mb);
        std::printf("status            0x%X\n", static_cast<unsigned>(status));
        std::printf("message records   %llu (frames %llu, warnings %llu)\n",
                    static_cast<unsigned long long>(counts.records),
                    static_cast<unsigned long long>(counts.frames),
                    static_cast<unsigned long long>(counts.warnings));
        std::printf("time              %.3f s\n", seconds);
        std::printf("records/s         %.0f\n", static_cast<double>(counts.records) / seconds);
        std::printf("MB/s              %.1f\n", mb / seconds);
        std::printf("store used        %.2f bytes per log byte (text %llu, table %llu)\n",
                    dataSize ? static_cast<double>(used) / static_cast<double>(dataSize) : 0.0,
                    static_cast<unsigned long long>(converter.TextUsed()),
                    static_cast<unsigned long long>(8ull * converter.LineCount()));
        std::printf("store capacity    %.2f bytes per log byte\n",
                    dataSize ? static_cast<double>(capacity) / static_cast<double>(dataSize) : 0.0);
        std::printf("peak resident     %ld kB\n", PeakResidentKb());
    }
    if (written) {
        std::remove(path.c_str());
    }
    return status == tessary::kStatusDone ? 0 : 2;
}
