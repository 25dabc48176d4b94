#pragma once
// The main window's model without a window: the settings' parameters, the five rule slots and
// the display line table over them, and a converter whose passes lay records out into it.
#include <cstdint>
#include <memory>
#include <string>

#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "logfile/NotifyTarget.h"
#include "mainwnd/RecordLayout.h"

namespace tessary::test {

// Parameters reset to the defaults, empty rule slots, and a table with that source.
struct DisplayModel {
    CanPara para;
    SearchCondition conditions[kMarkIfTextCount];
    DisplayLineTable table;

    DisplayModel();
    ~DisplayModel();
    DisplayModel(const DisplayModel&) = delete;
    DisplayModel& operator=(const DisplayModel&) = delete;
};

struct LaidOutLog : DisplayModel {
    std::unique_ptr<CTessaryCan> converter;

    LaidOutLog() = default;
    // The table's lines point into the converter's text: they go first.
    ~LaidOutLog();

    // A new converter over `path` (the lines of the previous one dropped first); its open
    // status.
    int32_t Open(const std::string& path);
    // One pass with `callback` (the main layout into the table by default): the start result
    // when the pass did not start, else the pass's final status.
    int32_t Pass(LineCallback callback = &LayoutRecord, void* user = nullptr,
                 NotifyTarget* notify = nullptr);
    // The stored records laid out afresh (the re-delivery pass).
    int32_t Redeliver(LineCallback callback = &LayoutRecord, void* user = nullptr,
                      NotifyTarget* notify = nullptr);
};

}  // namespace tessary::test
