#pragma once
// One run of tessarydump: the settings record, the open flow into a main-window line table,
// the aggregations of --search and --call, and the text and JSONL outputs. Failures print the
// viewer's message text on the error stream and give the exit code.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "cli/CliOptions.h"
#include "cli/CliUi.h"
#include "cli/RecordStream.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/Aggregation.h"
#include "mainwnd/OpenFlow.h"
#include "settings/SettingsRecord.h"

namespace tessary::cli {

class CliSession : private OpenFlowHost {
public:
    // `progressToErr`: a progress line on `err` while a pass runs (for a terminal).
    CliSession(const CliOptions& options, std::FILE* out, std::FILE* err, bool progressToErr);
    ~CliSession() override;

    // Settings, the command-line overrides, block order and the compiled rules; 0 or an exit
    // code (the search pattern is checked here).
    int Prepare();
    // Opens and converts the file into the main table; 0 or an exit code.
    int Load();
    // --search / --call: the aggregation into its own table, which becomes the shown one.
    int Aggregate();
    // The outputs of the shown table.
    int WriteText();
    int WriteJsonl();
    // Prepare, then the output of the mode (text or JSONL) as a stream of records; a log whose
    // conversion would fail takes the table path (Load, Aggregate, WriteText or WriteJsonl),
    // which reports the failure as the viewer does.
    int Run();
    // The output from the tables of the whole log: Load, Aggregate when asked, then WriteText
    // or WriteJsonl (after Prepare).
    int RunTables();

    const CliOptions& Options() const { return m_options; }
    SettingsRecord& Settings() { return m_settings; }
    CanPara& Para() { return m_settings.para; }
    CTessaryCan* Converter() const { return m_flow ? m_flow->Converter() : nullptr; }
    const DisplayLineTable& MainTable() const { return m_mainTable; }
    const DisplayLineTable& ShownTable() const { return *m_shown; }
    std::u16string_view Heading() const { return m_heading; }
    std::FILE* Out() const { return m_out; }
    std::FILE* Err() const { return m_err; }
    // Prints a message text (UTF-8) and a line end on the error stream.
    void PrintError(std::u16string_view text) const;
    void PrintError(std::string_view text) const;

private:
    void ShowStatus(std::u16string_view text) override;
    void ClearSearch() override;
    // The search as the main window's Search(text, -1): 0, or the exit code after a message.
    int CompileSearch(std::u16string_view text);
    // --call: checks the start record, compiles its channel search and sets up the related-call
    // aggregation and its heading; 0, or the exit code after a message.
    int StartRelatedCall(const MessageRecord* selected, RelatedCallStart& start,
                         AggregationContext& context, std::u16string& heading);
    void Progress(std::u16string_view title, uint64_t done, uint64_t total);
    std::unique_ptr<SyncPassProgress> MakeProgress();
    void EndProgressLine();
    // The stream of a checked log; the exit code.
    int Stream(const LogCheck& check);
    // The message of a failed stream pass, as the open flow words it; the exit code.
    int StreamFailed(int32_t status, const CTessaryCan& converter);

    CliOptions m_options;
    std::FILE* m_out;
    std::FILE* m_err;
    bool m_progressToErr;
    CliUi m_ui;
    bool m_progressShown = false;
    SettingsRecord m_settings;
    int m_paneBlocks[kBlockCount] = {0, 1, 2, 3};
    SearchCondition m_conditions[kMarkIfTextCount];
    DisplayLineTable m_mainTable;
    DisplayLineTable m_aggregationTable;
    const DisplayLineTable* m_shown = &m_mainTable;
    // A --search or --call that selected no record: the heading and the block titles only.
    bool m_selectedNothing = false;
    std::u16string m_heading;
    std::unique_ptr<SyncPassProgress> m_progress;
    std::unique_ptr<OpenFlow> m_flow;
};

}  // namespace tessary::cli
