#pragma once
// A main window without a window: the settings' CanPara, five rule slots, the display line
// table, a host that records what the flow shows, and the open flow over a synchronous
// progress. Logs come from insloggen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "decode/CanPara.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/OpenFlow.h"
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
    struct Shown {
        std::u16string text;
        std::u16string caption;
    };
    int answer = kAskYes;
    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::vector<std::u16string> statuses;
    std::vector<int> states;

    int Ask(std::u16string_view text, std::u16string_view caption) override {
        questions.push_back({std::u16string(text), std::u16string(caption)});
        return answer;
    }
    void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
        messages.push_back({std::u16string(text), std::u16string(caption)});
    }
    void ShowStatus(std::u16string_view text) override { statuses.emplace_back(text); }
    void UpdateState(int mode) override { states.push_back(mode); }
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
    RecordingProgress progress;
    OpenFlow flow{&para, &table, &host, &progress, &progress};

    MainWindowModel() {
        ResetPara(para);
        table.SetSource(DisplaySource{&para, conditions});
    }
    ~MainWindowModel() { table.FreeText(); }
};

}  // namespace tessary::test
