// Arbitrary bytes as a log file: the main window's open flow (header checks, the INS64 line
// question, the conversion with the record layout into a display line table, the second pass of
// a ring file), a re-layout pass, the highlight and search marks, and the copy text of the whole
// log, the header dump and the summary, and (by a knob) the divide run. The channel number (0x07)
// and the trace type (0x11) are never interpreted by the reader, so they carry the settings without
// changing what the file is.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "decode/CanPara.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/CopyText.h"
#include "mainwnd/OpenFlow.h"
#include "tools/DivideRun.h"
#include "tools/HeaderText.h"

using namespace tessary;

namespace {

// Answers the line question as told; every other box must have a text and a caption.
class FuzzUi : public UiService {
public:
    explicit FuzzUi(Answer answer) : m_answer(answer) {}
    Answer ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon,
                       MessageButtons buttons) override {
        if (buttons != MessageButtons::kOk) {
            return m_answer;
        }
        fuzz::Require(!text.empty() && !caption.empty(), "empty message box");
        return Answer::kOk;
    }
    bool CloseMessage(std::u16string_view) override { return false; }
    bool AskOpenFile(OpenFileRequest&) override { return false; }
    bool AskFolder(std::u16string_view, PathString&) override { return false; }
    bool AskColor(std::u16string_view, uint32_t&) override { return false; }

private:
    Answer m_answer;
};

// Highlight rules #0-#3 and the search, as a user might have them.
constexpr std::u16string_view kRules[kMarkIfTextCount] = {
    u"@;<Warning> | <CRCエラー> | <対象外>;0",
    u"!!;<呼設定> <CH=01>;A",
    u"#;LY1=;BD",
    u"&;<<ID=> | <TM=>> <RR>;C",
    u";<切断> | <00000 TM>;0",
};

// Every line of the table lies in the converter's text and the copy text can be built.
void CheckTable(DisplayLineTable& table, CTessaryCan& converter, CanPara& para) {
    for (int32_t n = 0; n < table.LineCount(); ++n) {
        DisplayLine* line = table.Line(n);
        fuzz::Require(line != nullptr, "line inside the table");
        const std::u16string_view text = table.TextOf(line);
        volatile char16_t sink = 0;
        for (char16_t c : text) {
            sink = sink + c;  // every character is readable
        }
        // The marks once per record: the panes draw every line of a record alike.
        const MessageRecord* record = table.RecordOf(line);
        if (record != nullptr && table.FirstLineOf(record) == line) {
            table.MarkIndex(line);
            table.MarkSearchHits(nullptr, line, true);
        }
    }
    const CopySpan whole = CopySpanOf(table, 1, table.LineCount() - 1);
    const std::u16string legend = converter.LY1Legend(-1);
    CopyParams params;
    params.para = &para;
    params.heading = legend;
    StringCopySink sink;
    const int result = BuildCopyText(table, whole, params, sink);
    fuzz::Require(result == kCopyDone || !whole.IsValid(), "copy of the whole log");
    if (whole.IsValid()) {
        // From the last line back to the first gives the same span.
        const CopySpan back = CopySpanOf(table, whole.lastLine, 1);
        fuzz::Require(back.IsValid(), "reverse copy span");
    }
}

// A folder for the divide run's outputs, in memory where possible; emptied after each run.
const std::string& DivideFolder() {
    // Kept alive to the end: the exit handler that removes the folder still needs the name.
    static const std::string* folder = [] {
        namespace fs = std::filesystem;
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path made = base / ("tessary-fuzz-divide-" + std::to_string(::getpid()));
        fs::create_directories(made);
        std::atexit([] { std::filesystem::remove_all(DivideFolder()); });
        return new std::string(made.string());
    }();
    return *folder;
}

void Divide(const std::string& path) {
    const std::string& folder = DivideFolder();
    {
        DivideRun run;
        const DivideOutcome& outcome = run.Run(path, folder);
        fuzz::Require(!outcome.statusLine.empty() || outcome.result == -1, "divide status line");
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::remove(entry.path());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::MemoryFile file;
    static CanPara defaults = [] {
        CanPara para;
        ResetPara(para);
        return para;
    }();
    const std::string& path = file.Write(data, size);

    const uint8_t knob = size > 0x07 ? data[0x07] : 0;
    const uint8_t knob2 = size > 0x11 ? data[0x11] : 0;
    CanPara para = defaults;
    para.Flag[0] = static_cast<uint8_t>((para.Flag[0] & ~kFlag0DateFormatMask) | (knob & 3));
    if ((knob & 0x04) != 0) {
        para.Flag[1] |= kFlag1HideRr;
    }
    if ((knob & 0x08) != 0) {
        para.Flag[1] |= kFlag1TitlesOneRow;
    }
    if ((knob >> 4) != 0) {
        para.BlockLen = (knob >> 4) * 8;
    }
    para.SpcCnt = 1 + (knob2 & 7);

    SearchCondition conditions[kMarkIfTextCount];
    for (size_t i = 0; i < kMarkIfTextCount; ++i) {
        conditions[i].Compile(kRules[i], para.SpcCnt);
    }
    DisplaySource source;
    source.para = &para;
    source.conditions = conditions;
    DisplayLineTable table;
    table.SetSource(source);

    OpenFlowHost host;
    FuzzUi ui((knob2 & 0x10) != 0 ? Answer::kNo : Answer::kYes);
    SyncPassProgress progress;
    OpenFlow flow(&para, &table, &host, &ui, &progress, &progress);
    const HeaderTextResult dump = BuildHeaderDump(path);
    fuzz::Require((dump.status == 0 || dump.status == 1) && !dump.text.empty(), "header dump");
    if ((knob2 & 0x40) != 0) {
        Divide(path);
    }
    const int32_t result = flow.Open(path, kLineAsk);
    CTessaryCan* converter = flow.Converter();
    if (result != kOpenResultDone || converter == nullptr) {
        fuzz::Require(table.LineCount() == 0, "a failed open leaves no lines");
        return 0;
    }
    CheckTable(table, *converter, para);
    BuildSummary(*converter);
    if ((knob2 & 0x20) != 0) {
        // The layout again from the stored records (an option change).
        if (flow.Reconvert(kLineFirst) == kOpenResultDone && flow.Converter() != nullptr) {
            CheckTable(table, *flow.Converter(), para);
        }
    }
    return 0;
}
