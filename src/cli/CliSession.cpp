#include "cli/CliSession.h"

#include "cli/DumpOutput.h"
#include "cli/DumpStream.h"
#include "cli/RecordStream.h"
#include "decode/SearchMark.h"
#include "logfile/Status.h"
#include "mainwnd/CommandTexts.h"
#include "mainwnd/CopyText.h"
#include "mainwnd/SearchRule.h"
#include "platform/Utf.h"
#include "settings/BlockOrder.h"
#include "settings/QtSettingsStore.h"

namespace tessary::cli {
namespace {

constexpr std::u16string_view kSearchWindowCaption = u"検索情報表示";

int ExitOfOpenResult(int32_t result) {
    switch (result) {
        case kOpenResultDone:
            return kExitDone;
        case kOpenResultNotFound:
        case kOpenResultReadFailed:
        case kOpenResultBadFormat:
        case kOpenResultOther:
            return kExitCannotOpen;
        default:
            return kExitConversion;
    }
}

// The record a --call starts from: the laid-out record with that index number that is a record
// of its own. A warning record carries the index number of the record after it, so it is taken
// only when no other record has the number.
const MessageRecord* CallStartRecord(const CTessaryCan& converter, uint32_t id) {
    const MessageRecord* warning = nullptr;
    for (uint32_t i = 1; i < converter.LineCount(); ++i) {
        const MessageRecord* record = converter.Record(i);
        if (record->Id != id || record->RowSlot[0] < 0) {
            continue;
        }
        if ((record->Flags & kRecordWarning) == 0) {
            return record;
        }
        if (warning == nullptr) {
            warning = record;
        }
    }
    return warning;
}

}  // namespace

CliSession::CliSession(const CliOptions& options, std::FILE* out, std::FILE* err,
                       bool progressToErr)
    : m_options(options),
      m_out(out),
      m_err(err),
      m_progressToErr(progressToErr),
      m_ui(options.line, err) {
    ResetSettings(m_settings);
}

CliSession::~CliSession() {
    // Both tables point into the converter's text.
    m_aggregationTable.FreeText();
    m_flow.reset();
}

void CliSession::PrintError(std::u16string_view text) const {
    PrintError(std::string_view(Utf8(text)));
}

void CliSession::PrintError(std::string_view text) const {
    m_ui.Print(text);
}

void CliSession::ShowStatus(std::u16string_view text) {
    PrintError(text);
}

void CliSession::ClearSearch() {
    m_conditions[kSearchSlot].Clear();
}

void CliSession::Progress(std::u16string_view title, uint64_t done, uint64_t total) {
    const uint64_t percent = total == 0 ? 100 : std::min<uint64_t>(done, total) * 100 / total;
    std::fprintf(m_err, "\r%s %3u%%", Utf8(title).c_str(), static_cast<unsigned>(percent));
    std::fflush(m_err);
    m_progressShown = true;
}

int CliSession::CompileSearch(std::u16string_view text) {
    const int result = CompileSearchRule(Para(), m_conditions[kSearchSlot], text);
    if (result != 0) {
        PrintError(result == -1 ? kSearchNoMemory : kSearchBadPattern);
        return kExitUsage;
    }
    return kExitDone;
}

int CliSession::StartRelatedCall(const MessageRecord* selected, RelatedCallStart& start,
                                 AggregationContext& context, std::u16string& heading) {
    if (const std::u16string message = CheckRelatedCallStart(selected, start); !message.empty()) {
        PrintError(message);
        return kExitUsage;
    }
    if (const int code = CompileSearch(start.pattern); code != kExitDone) {
        return code;
    }
    context.SetStart(start);
    heading =
        AggregationWindowTitle(AggregationKind::kRelatedCall, kRelatedCallCaption, {}, &start);
    return kExitDone;
}

int CliSession::Prepare() {
    // The viewer's own settings unless a file or the defaults are asked for, so that the
    // text is the one the viewer would copy.
    if (!m_options.defaultSettings) {
        std::unique_ptr<QtSettingsStore> store;
        if (m_options.settings.empty()) {
            store = QtSettingsStore::OpenUser();
        } else {
            uint32_t error = 0;
            store = QtSettingsStore::OpenIni(m_options.settings, error);
            if (store == nullptr) {
                PrintError("tessarydump: cannot read the settings file <" + m_options.settings +
                           "> (Error = " + std::to_string(error) + ")");
                return kExitUsage;
            }
        }
        LoadSettings(m_settings, *store);
    }
    CanPara& para = Para();
    if (m_options.dateFormat >= 0) {
        para.Flag[0] =
            static_cast<uint8_t>((para.Flag[0] & ~kFlag0DateFormatMask) | m_options.dateFormat);
    }
    if (m_options.hideRr) {
        para.Flag[1] |= kFlag1HideRr;
    }
    if (m_options.wrap > 0) {
        para.BlockLen = m_options.wrap;
    }
    // As the main window's start-up: indents ordered, block positions checked, rules compiled.
    NormalizeBlockIndents(para);
    CheckBlockDefOrder(para);
    PaneBlocksOf(para, m_paneBlocks);
    for (size_t i = 0; i < kMarkCount; ++i) {
        if (m_conditions[i].Compile(SlotText(para.MarkIfText[i]), para.SpcCnt) != 0) {
            m_conditions[i].Clear();
        }
    }
    if (m_options.hasSearch) {
        if (const int code = CompileSearch(Utf16(m_options.search)); code != kExitDone) {
            return code;
        }
    }
    m_mainTable.SetSource(DisplaySource{&para, m_conditions});
    m_aggregationTable.SetSource(DisplaySource{&para, m_conditions});
    return kExitDone;
}

std::unique_ptr<SyncPassProgress> CliSession::MakeProgress() {
    SyncPassProgress::ProgressFn onProgress;
    if (m_progressToErr) {
        onProgress = [this](std::u16string_view title, uint64_t done, uint64_t total) {
            Progress(title, done, total);
        };
    }
    return std::make_unique<SyncPassProgress>(onProgress);
}

void CliSession::EndProgressLine() {
    if (m_progressShown) {
        std::fputc('\n', m_err);
        m_progressShown = false;
    }
}

int CliSession::Load() {
    m_progress = MakeProgress();
    OpenFlowHost* host = this;
    m_flow = std::make_unique<OpenFlow>(&Para(), &m_mainTable, host, &m_ui, m_progress.get(),
                                        m_progress.get());
    const int32_t result =
        m_flow->Open(m_options.file, m_options.line == 2 ? kLineSecond : kLineFirst);
    if (m_progressShown) {
        std::fputc('\n', m_err);
        m_progressShown = false;
    }
    if (result != kOpenResultDone) {
        return ExitOfOpenResult(result);
    }
    m_heading = Converter()->LY1Legend(-1);
    return kExitDone;
}

int CliSession::Aggregate() {
    CTessaryCan* converter = Converter();
    if (converter == nullptr || (!m_options.hasSearch && !m_options.hasCall)) {
        return kExitDone;
    }
    AggregationContext context;
    context.table = &m_aggregationTable;
    context.mainTable = &m_mainTable;
    RelatedCallStart start;
    if (m_options.hasCall) {
        const MessageRecord* selected = CallStartRecord(*converter, m_options.callId);
        if (const int code = StartRelatedCall(selected, start, context, m_heading);
            code != kExitDone) {
            return code;
        }
    } else {
        // Opening the file cleared the compiled search: compile it again, as the command does.
        if (const int code = CompileSearch(Utf16(m_options.search)); code != kExitDone) {
            return code;
        }
        context.kind = AggregationKind::kSearch;
        context.search = &m_conditions[kSearchSlot];
        m_heading = AggregationWindowTitle(AggregationKind::kSearch, kSearchWindowCaption,
                                           Utf16(m_options.search), nullptr);
    }
    CanPara& para = Para();
    // The aggregation view: records keep their lines in the second row slot.
    para.Flag[1] |= kFlag1SecondRowSlot;
    const AggregationOutcome outcome =
        RunAggregation(*converter, context, *m_progress, m_progress.get(), m_flow.get());
    if (m_progressShown) {
        std::fputc('\n', m_err);
        m_progressShown = false;
    }
    if (outcome.result == kOpenResultNoData) {
        // Nothing selected is an answer, not a failure: the viewer's message as a note.
        PrintError(outcome.message);
        m_selectedNothing = true;
        return kExitDone;
    }
    if (outcome.result != kStatusDone) {
        PrintError(!outcome.message.empty() ? outcome.message : outcome.statusText);
        return kExitConversion;
    }
    m_shown = &m_aggregationTable;
    return kExitDone;
}

int CliSession::WriteText() {
    const DisplayLineTable& table = ShownTable();
    MessageRecord* first = nullptr;
    const DisplayLine* line = table.FirstLastLine(true, &first);
    CopySpan span;
    if (line != nullptr && !m_selectedNothing) {
        span = CopySpanOf(table, line->lineNumber, table.LineCount() - 1);
    }
    CopyParams params;
    params.para = &Para();
    std::copy(std::begin(m_paneBlocks), std::end(m_paneBlocks), params.paneBlocks);
    params.heading = m_heading;
    params.byteLimit = 0;  // a stream, not the clipboard
    params.linesOptional = true;
    Utf8StreamSink sink(m_out, m_options.crlf);
    const int result = BuildCopyText(table, span, params, sink);
    if (!sink.Flush() || std::fflush(m_out) != 0) {
        PrintError("tessarydump: cannot write the output");
        return kExitConversion;
    }
    if (result != kCopyDone) {
        PrintError(u"メモリ不足のため、文字列データのコピーに失敗しました。");
        return kExitConversion;
    }
    return kExitDone;
}

int CliSession::WriteJsonl() {
    if (m_selectedNothing) {
        return kExitDone;
    }
    if (!WriteJsonlRecords(ShownTable(), m_out) || std::fflush(m_out) != 0) {
        PrintError("tessarydump: cannot write the output");
        return kExitConversion;
    }
    return kExitDone;
}

int CliSession::StreamFailed(int32_t status, const CTessaryCan& converter) {
    std::u16string text = PassResultText(status, false, converter.LastError(),
                                         converter.FileOffsetOf(converter.RecordPosition()));
    if (!text.empty()) {
        text += u"\n\n<" + Utf16(m_options.file) + u">";
        PrintError(text);
    }
    return ExitOfOpenResult(status);
}

int CliSession::Stream(const LogCheck& check) {
    CanPara& para = Para();
    const DisplaySource source{&para, m_conditions};
    m_progress = MakeProgress();
    AggregationContext context;
    RelatedCallStart start;
    std::unique_ptr<CallStartFinder> finder;
    const bool aggregate = m_options.hasSearch || m_options.hasCall;
    std::u16string heading;
    if (m_options.hasCall) {
        // A pass up to the start record; the output pass converts the log again.
        finder = std::make_unique<CallStartFinder>(source, m_options.callId);
        RecordStream pass(m_options.file, &para, check);
        const int32_t status = pass.Run(*finder, *m_progress);
        EndProgressLine();
        if (status != kStatusDone && status != kStatusStopped) {
            return StreamFailed(status, pass.Converter());
        }
        if (const int code = StartRelatedCall(finder->Found(), start, context, heading);
            code != kExitDone) {
            return code;
        }
    } else if (m_options.hasSearch) {
        context.kind = AggregationKind::kSearch;
        context.search = &m_conditions[kSearchSlot];
        heading = AggregationWindowTitle(AggregationKind::kSearch, kSearchWindowCaption,
                                         Utf16(m_options.search), nullptr);
    }

    DumpConsumer::Output output;
    output.out = m_out;
    output.jsonl = m_options.mode == Mode::kJsonl;
    output.crlf = m_options.crlf;
    output.params.para = &para;
    std::copy(std::begin(m_paneBlocks), std::end(m_paneBlocks), output.params.paneBlocks);
    DumpConsumer consumer(source, output, aggregate ? &context : nullptr, heading);
    RecordStream stream(m_options.file, &para, check);
    int32_t status = stream.Run(consumer, *m_progress);
    EndProgressLine();
    if (!consumer.Finish() || std::fflush(m_out) != 0) {
        PrintError("tessarydump: cannot write the output");
        return kExitConversion;
    }
    if (status == kStatusStopped && context.callEnded) {
        status = kStatusDone;  // the related call ended at a new call on its reference
    }
    if (status != kStatusDone) {
        return StreamFailed(status, stream.Converter());
    }
    if (aggregate && consumer.ShownLines() < 2) {
        // Nothing selected is an answer, not a failure: the viewer's message as a note.
        PrintError(u"検索文字列に該当するINSデータが存在していません。");
    }
    return kExitDone;
}

int CliSession::Run() {
    const int code = Prepare();
    if (code != kExitDone) {
        return code;
    }
    const LogCheck check = CheckLog(m_options.file, m_options.line, Para().Flag[0]);
    return check.streamable ? Stream(check) : RunTables();
}

int CliSession::RunTables() {
    int code = Load();
    if (code == kExitDone) {
        code = Aggregate();
    }
    if (code == kExitDone) {
        code = m_options.mode == Mode::kJsonl ? WriteJsonl() : WriteText();
    }
    return code;
}

}  // namespace tessary::cli
