#include "calls/CallRows.h"

#include <string_view>

#include "logfile/LogTime.h"
#include "platform/Utf.h"

namespace tessary::calls {

namespace {

// The columns, in order; CSV header names and JSON keys alike.
constexpr std::string_view kColumns[] = {
    "start",         "setupIndex", "setupId",   "line",      "block",   "callRef",      "broadcast",
    "calling",       "callingSub", "called",    "calledSub", "bearer",  "setupChannel", "channel",
    "channelNumber", "alerting",   "connect",   "clearing",  "end",     "durationMs",   "result",
    "resultText",    "cause",      "causeText", "causeFrom", "messages"};

std::string CsvField(std::string_view value) {
    if (value.find_first_of(",\"\n\r") == std::string_view::npos) {
        return std::string(value);
    }
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string JsonString(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

// One value: text (quoted in JSON), a number, or none (empty in CSV, null in JSON).
struct Value {
    enum class Kind { kText, kNumber, kNone } kind;
    std::string text;
};

Value Text(std::u16string_view text) {
    return {Value::Kind::kText, Utf8(text)};
}
Value Text(std::string_view text) {
    return {Value::Kind::kText, std::string(text)};
}
Value Number(int64_t value) {
    return {Value::Kind::kNumber, std::to_string(value)};
}
Value None() {
    return {Value::Kind::kNone, {}};
}

}  // namespace

std::string CallRowWriter::TimeText(int64_t ms) const {
    char16_t buffer[kRecordTimeMaxChars + 1];
    const int length = FormatRecordTime(m_baseTime, ms, m_dateMode, buffer);
    std::u16string_view text(buffer, static_cast<size_t>(length > 0 ? length : 0));
    while (!text.empty() && text.back() == u' ') {
        text.remove_suffix(1);
    }
    return Utf8(text);
}

std::string CallRowWriter::Header() const {
    if (m_format != CallRowFormat::kCsv) {
        return {};
    }
    std::string line;
    for (std::string_view column : kColumns) {
        if (!line.empty()) {
            line += ',';
        }
        line += column;
    }
    return line + "\n";
}

std::string CallRowWriter::Row(const CallInfo& call) const {
    auto time = [this](int64_t ms) {
        return ms == kNoTime ? None() : Value{Value::Kind::kText, TimeText(ms)};
    };
    auto optionalText = [](std::u16string_view text) { return text.empty() ? None() : Text(text); };
    const int64_t duration = call.DurationMs();
    const std::string block(1, static_cast<char>('A' + call.setupBlock));
    const Value values[] = {
        time(call.setupMs),
        Number(call.setupIndex),
        Number(call.setupId),
        call.line == 0 ? None() : Number(call.line),
        Text(std::string_view(block)),
        Text(CallRefText(call)),
        Number(call.broadcast ? 1 : 0),
        optionalText(call.calling),
        optionalText(call.callingSub),
        optionalText(call.called),
        optionalText(call.calledSub),
        optionalText(call.bearer),
        optionalText(call.setupChannel),
        optionalText(call.channel),
        call.channelNumber < 0 ? None() : Number(call.channelNumber),
        time(call.alertingMs),
        time(call.connectMs),
        time(call.clearingMs),
        time(call.lastMs),
        duration < 0 ? None() : Number(duration),
        Text(ResultKey(call.result)),
        Text(ResultText(call.result)),
        call.cause < 0 ? None() : Number(call.cause),
        call.cause < 0 ? None() : Text(call.causeText),
        call.cause < 0 ? None() : Text(SideKey(call.causeFrom)),
        Number(static_cast<int64_t>(call.records.size())),
    };
    static_assert(std::size(values) == std::size(kColumns));
    std::string line;
    if (m_format == CallRowFormat::kCsv) {
        for (size_t i = 0; i < std::size(values); ++i) {
            if (i > 0) {
                line += ',';
            }
            line += CsvField(values[i].text);
        }
    } else {
        line = "{";
        for (size_t i = 0; i < std::size(values); ++i) {
            if (i > 0) {
                line += ',';
            }
            line += JsonString(kColumns[i]);
            line += ':';
            switch (values[i].kind) {
                case Value::Kind::kText:
                    line += JsonString(values[i].text);
                    break;
                case Value::Kind::kNumber:
                    line += values[i].text;
                    break;
                case Value::Kind::kNone:
                    line += "null";
                    break;
            }
        }
        line += '}';
    }
    return line + "\n";
}

bool CallRowWriter::Write(const CallInfo& call, std::FILE* out) {
    if (!m_headerDone) {
        m_headerDone = true;
        const std::string header = Header();
        m_ok = m_ok && std::fwrite(header.data(), 1, header.size(), out) == header.size();
    }
    const std::string row = Row(call);
    m_ok = m_ok && std::fwrite(row.data(), 1, row.size(), out) == row.size();
    return m_ok;
}

bool CallRowWriter::Finish(std::FILE* out) {
    if (!m_headerDone) {
        m_headerDone = true;
        const std::string header = Header();
        m_ok = m_ok && std::fwrite(header.data(), 1, header.size(), out) == header.size();
    }
    return m_ok && std::fflush(out) == 0;
}

CallRowStream::CallRowStream(CallRowFormat format, int64_t baseTime, unsigned dateMode,
                             uint8_t line, std::FILE* out)
    : m_writer(format, baseTime, dateMode), m_tracker(line), m_out(out) {
    m_tracker.SetSink([this](const CallInfo& call) { m_writer.Write(call, m_out); });
}

bool CallRowStream::Finish() {
    m_tracker.Finish();
    return m_writer.Finish(m_out);
}

}  // namespace tessary::calls
