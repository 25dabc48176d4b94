// The tool modes of tessarydump over the tool engines: header dump, summary, divide, pcapng.
#include <cstdio>
#include <string>

#include "cli/Modes.h"
#include "cli/PcapStream.h"
#include "cli/RecordStream.h"
#include "decode/CanPara.h"
#include "logfile/Status.h"
#include "platform/Utf.h"
#include "tools/DivideRun.h"
#include "tools/HeaderText.h"
#include "tools/PcapngExport.h"

namespace tessary::cli {
namespace {

// The tool texts end their lines with CR LF, as the window shows them.
bool WriteToolText(CliSession& session, std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    const std::string utf8 = Utf8(text);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (!session.Options().crlf && utf8[i] == '\r' && i + 1 < utf8.size() &&
            utf8[i + 1] == '\n') {
            continue;
        }
        out += utf8[i];
    }
    if (!out.empty() && out.back() != '\n') {
        out += session.Options().crlf ? "\r\n" : "\n";
    }
    return std::fwrite(out.data(), 1, out.size(), session.Out()) == out.size() &&
           std::fflush(session.Out()) == 0;
}

int WriteOrFail(CliSession& session, std::u16string_view text) {
    if (!WriteToolText(session, text)) {
        session.PrintError("tessarydump: cannot write the output");
        return kExitConversion;
    }
    return kExitDone;
}

// A header dump or summary to stdout; when it could not be built, its message (or, for a lack
// of memory, the memory message) to stderr and `failCode`.
int WriteHeaderText(CliSession& session, const HeaderTextResult& result, int failCode) {
    if (result.status == 0) {
        return WriteOrFail(session, result.text);
    }
    session.PrintError(result.status > 0 ? std::u16string_view(result.text)
                                         : std::u16string_view(u"メモリ不足です。"));
    return failCode;
}

int StreamPcap(CliSession& session, const LogCheck& check) {
    const std::string& out = session.Options().pcapOut;
    PcapConsumer consumer;
    if (!consumer.Open(out)) {
        session.PrintError("tessarydump: cannot write " + out +
                           " (Error = " + std::to_string(consumer.Error()) + ")");
        return kExitConversion;
    }
    RecordStream stream(session.Options().file, &session.Para(), check);
    SyncPassProgress progress;
    const int32_t status = stream.Run(consumer, progress);
    if (!consumer.Close() || status == kStatusWriteError) {
        session.PrintError("tessarydump: cannot write " + out +
                           " (Error = " + std::to_string(consumer.Error()) + ")");
        return kExitConversion;
    }
    if (status != kStatusDone) {
        const uint32_t error =
            consumer.ReadError() != 0 ? consumer.ReadError() : stream.Converter().LastError();
        session.PrintError(
            "tessarydump: the log cannot be exported (Error = " + std::to_string(error) + ")");
        return status == kStatusReadError ? kExitCannotOpen : kExitConversion;
    }
    return kExitDone;
}

}  // namespace

int RunHeaderMode(CliSession& session) {
    return WriteHeaderText(session, BuildHeaderDump(session.Options().file), kExitCannotOpen);
}

int RunSummaryMode(CliSession& session) {
    if (const int code = session.Load(); code != kExitDone) {
        return code;
    }
    CTessaryCan* converter = session.Converter();
    const uint8_t* option = converter->OptionByte();
    return WriteHeaderText(session,
                           BuildSummary(*converter, option != nullptr ? *option : 0,
                                        SummaryRecordsOf(*converter, session.MainTable())),
                           kExitConversion);
}

int RunDivideMode(CliSession& session) {
    DivideRun run;
    const DivideOutcome& outcome = run.Run(session.Options().file, session.Options().divideDir);
    if (outcome.failed && !outcome.message.empty()) {
        session.PrintError(outcome.message);
    }
    if (!outcome.statusLine.empty() && !WriteToolText(session, outcome.statusLine)) {
        session.PrintError("tessarydump: cannot write the output");
        return outcome.exitCode != kExitDone ? outcome.exitCode : kExitConversion;
    }
    return outcome.exitCode;
}

int RunPcapMode(CliSession& session) {
    CanPara& para = session.Para();
    // A log that converts is exported as a stream; any other goes the way that names its
    // failure.
    const LogCheck check =
        CheckLog(session.Options().file, session.Options().line, para.Flag[0], true);
    if (check.streamable) {
        return StreamPcap(session, check);
    }
    // The line of an INS64 bulk log, as the open flow would set it.
    para.Flag[0] =
        static_cast<uint8_t>((para.Flag[0] & ~0x0C) | (session.Options().line == 2 ? 0x04 : 0x00));
    const PcapngResult result =
        ExportPcapngFile(session.Options().file, para, session.Options().pcapOut);
    if (result.status == 0) {
        return kExitDone;
    }
    if (result.status == 774) {
        session.PrintError("tessarydump: cannot write " + session.Options().pcapOut +
                           " (Error = " + std::to_string(result.error) + ")");
        return kExitConversion;
    }
    // The open flow names the failure as the viewer would.
    if (const int code = session.Load(); code != kExitDone) {
        return code;
    }
    session.PrintError(
        "tessarydump: the log cannot be exported (Error = " + std::to_string(result.error) + ")");
    return result.status == 1 ? kExitCannotOpen : kExitConversion;
}

}  // namespace tessary::cli
