// Find next over a display line table of millions of lines: the scan of the search command
// through the whole table without a hit, and up to a hit about a million lines on.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchLog.h"
#include "BenchTable.h"
#include "mainwnd/SearchScan.h"
#include "platform/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;
using tessary::DisplayLineTable;
using tessary::SearchStart;

constexpr int32_t kWantedLines = 5000000;
constexpr int32_t kHitAfter = 1000000;
constexpr int kRuns = 3;

struct Timing {
    int32_t hit = -1;
    double best = 0;
    double worst = 0;
};

Timing TimeScan(const DisplayLineTable& table, const SearchStart& start, bool forward) {
    Timing timing;
    for (int run = 0; run < kRuns; ++run) {
        const auto begin = Clock::now();
        timing.hit = tessary::ScanForHit(table, start, forward);
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        timing.best = run == 0 ? seconds : std::min(timing.best, seconds);
        timing.worst = std::max(timing.worst, seconds);
    }
    return timing;
}

void Print(const char* label, const std::u16string& pattern, int64_t lines, const Timing& t) {
    std::printf("%-34s %9lld lines  %.3f s (worst %.3f s)  %6.1f M lines/s  hit %d  %s\n", label,
                static_cast<long long>(lines), t.best, t.worst,
                static_cast<double>(lines) / t.best / 1e6, t.hit, tessary::Utf8(pattern).c_str());
}

bool SetSearch(tessary::bench::BenchTable& bench, const std::u16string& pattern) {
    if (bench.conditions[tessary::kSearchSlot].Compile(u";" + pattern + u";0", bench.para.SpcCnt) !=
        0) {
        std::printf("pattern does not compile: %s\n", tessary::Utf8(pattern).c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // About three display lines per record.
    const char* records = argc > 1 ? argv[1] : "1700000";
    int result = 0;
    {
        tessary::bench::BenchTable bench;
        if (!bench.Generate("find_next", records)) {
            return 1;
        }
        const DisplayLineTable& table = bench.table;
        const int32_t last = table.LineCount() - 1;
        if (last < kWantedLines) {
            std::printf("note: fewer than %d display lines; give more records as the argument\n",
                        kWantedLines);
        }

        // Nothing matches: every line from line 1 round to the start (wanted: at most 1 s).
        for (const std::u16string& pattern :
             {std::u16string(u"CH=99変更可"),
              std::u16string(u"<Warning=9> | <CH=99> | <対象外です> | <CRCエラー検出>"),
              std::u16string(u"<呼設定> <CH=99>")}) {
            if (!SetSearch(bench, pattern)) {
                result = 1;
                continue;
            }
            Print("no hit, forward from line 1", pattern, last,
                  TimeScan(table, SearchStart{1, true}, true));
            Print("no hit, backward from the last", pattern, last,
                  TimeScan(table, SearchStart{last, true}, false));
        }

        // One record about a million lines on.
        int32_t target = std::min(kHitAfter, last);
        while (target < last &&
               !(table.Line(target)->HasRecord() && table.Line(target)->groupOffset == 0)) {
            ++target;
        }
        const tessary::MessageRecord* record = table.RecordOf(table.Line(target));
        if (record != nullptr) {
            char word[32];
            std::snprintf(word, sizeof word, "ID=%07u TM=", record->Id);
            const std::u16string pattern = tessary::Utf16(word);
            if (SetSearch(bench, pattern)) {
                Print("hit after ~1M lines, forward", pattern, target,
                      TimeScan(table, SearchStart{1, true}, true));
            }
        }
    }
    return result;
}
