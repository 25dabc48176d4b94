#pragma once
// A main window without a window: the settings' CanPara, five rule slots, the display line
// table, a host and a UI service that record what the flow shows (the UI answers Yes unless
// told otherwise), and the open flow over a synchronous progress.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/CanPara.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/OpenFlow.h"
#include "support/GeneratedLog.h"
#include "support/LaidOutLog.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"

namespace tessary::test {

struct RecordingHost : OpenFlowHost {
    std::vector<std::u16string> statuses;
    std::vector<int> states;

    void ShowStatus(std::u16string_view text) override { statuses.emplace_back(text); }
    void UpdateState(WindowState mode) override { states.push_back(static_cast<int>(mode)); }
};

// Records the subtitles of the passes it runs.
struct RecordingProgress : SyncPassProgress {
    std::vector<std::u16string> subtitles;
    bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
             const std::function<int(bool)>& control) override {
        subtitles.emplace_back(subtitle);
        return SyncPassProgress::Run(title, subtitle, total, control);
    }
};

struct MainWindowModel : DisplayModel {
    RecordingHost host;
    RecordingUi ui;
    RecordingProgress progress;
    OpenFlow flow{&para, &table, &host, &ui, &progress, &progress};

    MainWindowModel() { ui.otherwise = Answer::kYes; }
};

}  // namespace tessary::test
