// --calls: the calls of the log, one row per call (CSV, or JSON Lines with --jsonl), written as
// each call settles while the log streams through the tracker.
#include <memory>

#include "calls/CallList.h"
#include "calls/CallRows.h"
#include "cli/Modes.h"
#include "cli/RecordStream.h"
#include "decode/CanPara.h"
#include "logfile/Status.h"

namespace tessary::cli {
namespace {

class CallsConsumer : public RecordConsumer {
public:
    CallsConsumer(calls::CallRowFormat format, unsigned dateMode, std::FILE* out)
        : m_format(format), m_dateMode(dateMode), m_out(out) {}

    int32_t Consume(CTessaryCan& converter, MessageRecord& record) override {
        if (!m_rows) {
            // The base time and the line are settled once records come.
            m_rows = std::make_unique<calls::CallRowStream>(
                m_format, converter.BaseTime(), m_dateMode, calls::ConvertedLine(converter), m_out);
        }
        m_rows->Add(record);
        return kStatusDone;
    }
    // The tracker keeps what it needs of each record: nothing is read again.
    void RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) override {
        keepFrom = converter.LineCount();
        pin = kNoRecordIndex;
    }
    void Forgotten(const StoreMove&) override {}

    // Writes the calls still going on; false when a write failed.
    bool Finish() {
        if (!m_rows) {
            calls::CallRowWriter writer(m_format, 0, m_dateMode);
            return writer.Finish(m_out);
        }
        return m_rows->Finish();
    }

private:
    calls::CallRowFormat m_format;
    unsigned m_dateMode;
    std::FILE* m_out;
    std::unique_ptr<calls::CallRowStream> m_rows;
};

}  // namespace

int RunCallsMode(CliSession& session) {
    CanPara& para = session.Para();
    const calls::CallRowFormat format =
        session.Options().callsJsonl ? calls::CallRowFormat::kJsonl : calls::CallRowFormat::kCsv;
    const unsigned dateMode = para.Flag[0] & kFlag0DateFormatMask;
    const LogCheck check = CheckLog(session.Options().file, session.Options().line, para.Flag[0]);
    if (!check.streamable) {
        // The open flow names why the log cannot be converted; a log that loads all the same
        // is listed from its table.
        if (const int code = session.Load(); code != kExitDone) {
            return code;
        }
        const CTessaryCan& converter = *session.Converter();
        calls::CallRowWriter writer(format, converter.BaseTime(), dateMode);
        bool ok = true;
        for (const calls::CallInfo& call : calls::BuildCallList(converter)) {
            ok = writer.Write(call, session.Out()) && ok;
        }
        if (!writer.Finish(session.Out()) || !ok) {
            session.PrintError("tessarydump: cannot write the output");
            return kExitConversion;
        }
        return kExitDone;
    }
    CallsConsumer consumer(format, dateMode, session.Out());
    RecordStream stream(session.Options().file, &para, check);
    SyncPassProgress progress;
    const int32_t status = stream.Run(consumer, progress);
    if (!consumer.Finish()) {
        session.PrintError("tessarydump: cannot write the output");
        return kExitConversion;
    }
    if (status != kStatusDone) {
        session.PrintError("tessarydump: the conversion failed (Error = " +
                           std::to_string(stream.Converter().LastError()) + ")");
        return status == kStatusReadError ? kExitCannotOpen : kExitConversion;
    }
    return kExitDone;
}

}  // namespace tessary::cli
