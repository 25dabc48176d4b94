#pragma once
// A log converted by one pass with the main window's layout into a display line table, as the
// viewer holds it after opening the file.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchLog.h"
#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"

namespace tessary::bench {

struct BenchTable {
    CanPara para;
    SearchCondition conditions[kMarkIfTextCount];
    std::unique_ptr<CTessaryCan> converter;
    DisplayLineTable table;

    BenchTable() {
        ResetPara(para);
        table.SetSource(DisplaySource{&para, conditions});
    }
    ~BenchTable() {
        table.FreeText();
        converter.reset();
        if (!m_generated.empty()) {
            std::remove(m_generated.c_str());
        }
    }

    // Writes a log of `records` records (seed 7) and loads it; the file goes with the table.
    bool Generate(const char* name, const char* records) {
        const std::string options = std::string("--quiet --seed 7 --records ") + records;
        m_generated = WriteBenchLog(name, options.c_str());
        return !m_generated.empty() && Load(m_generated);
    }

    // Converts and lays out the log; false (with a note) when that fails.
    bool Load(const std::string& path) {
        converter = std::make_unique<CTessaryCan>(path, &para);
        if (converter->OpenStatus() != 0) {
            std::printf("cannot open %s (status %d)\n", path.c_str(), converter->OpenStatus());
            return false;
        }
        const auto start = std::chrono::steady_clock::now();
        int32_t status = converter->StartPass(&LayoutRecord, &table, nullptr);
        if (status == kStatusDone) {
            converter->WaitForWalk();
            status = converter->ConversionStatus();
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("converted: status %d, %u records, %d display lines in %.2f s\n", status,
                    converter->LineCount(), table.LineCount(), seconds);
        return status == kStatusDone;
    }

private:
    std::string m_generated;
};

}  // namespace tessary::bench
