#pragma once
// A main window without a window: the settings' CanPara, five rule slots, the display line
// table, a host and a UI service that record what the flow shows (the UI answers Yes unless
// told otherwise), and the open flow over a synchronous progress. Logs come from insloggen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "decode/CanPara.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/OpenFlow.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"

namespace tessary::test {

inline std::string MakeLog(const TempDir& dir, const std::string& name, const std::string& args) {
    const std::string path = dir.File(name);
    const std::string command =
        std::string(TESSARY_INSLOGGEN) + " --quiet " + args + " --out '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

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

struct MainWindowModel {
    CanPara para;
    SearchCondition conditions[kMarkIfTextCount];
    DisplayLineTable table;
    RecordingHost host;
    RecordingUi ui;
    RecordingProgress progress;
    OpenFlow flow{&para, &table, &host, &ui, &progress, &progress};

    MainWindowModel() {
        ui.otherwise = Answer::kYes;
        ResetPara(para);
        table.SetSource(DisplaySource{&para, conditions});
    }
    ~MainWindowModel() { table.FreeText(); }
};

}  // namespace tessary::test
