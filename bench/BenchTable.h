#pragma once
// A log converted by one pass with the main window's layout into a display line table, as the
// viewer holds it after opening the file.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

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
    ~BenchTable() { table.FreeText(); }

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
};

}  // namespace tessary::bench
