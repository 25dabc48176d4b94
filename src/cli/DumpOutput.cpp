#include "cli/DumpOutput.h"

#include <cinttypes>

#include "platform/Calendar.h"
#include "platform/Utf.h"

namespace tessary::cli {
namespace {

constexpr size_t kFlushBytes = 1 << 16;

std::string Unsigned(uint64_t value) {
    return std::to_string(value);
}

// UTF-16 to UTF-8 onto the buffer without a temporary (unpaired surrogates become U+FFFD).
void AppendUtf8(std::string& out, std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

Utf8StreamSink::~Utf8StreamSink() {
    Flush();
}

bool Utf8StreamSink::Append(std::u16string_view text) {
    AppendUtf8(m_buffer, text);
    if (m_buffer.size() >= kFlushBytes) {
        return Flush();
    }
    return !m_failed;
}

bool Utf8StreamSink::EndLine() {
    m_buffer += m_crlf ? "\r\n" : "\n";
    if (m_buffer.size() >= kFlushBytes) {
        return Flush();
    }
    return !m_failed;
}

bool Utf8StreamSink::Flush() {
    if (!m_buffer.empty() && !m_failed) {
        m_failed = std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out) != m_buffer.size();
    }
    m_buffer.clear();
    return !m_failed;
}

std::string JsonString(std::u16string_view text) {
    const std::string utf8 = Utf8(text);
    std::string out;
    out.reserve(utf8.size() + 2);
    out.push_back('"');
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (byte < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else {
                    out.push_back(c);
                }
                break;
        }
    }
    out.push_back('"');
    return out;
}

bool FormatRecordDateTime(int64_t baseTime, int64_t ms, std::string& out) {
    int64_t ticks = 0;
    SystemTime time{};
    if (baseTime == 0 || __builtin_mul_overflow(ms, kTicksPerMs, &ticks) ||
        __builtin_add_overflow(baseTime, ticks, &ticks) || !TicksToSystemTime(ticks, time)) {
        return false;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u:%02u.%03u", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.milliseconds);
    out = text;
    return true;
}

bool WriteJsonlRecords(const DisplayLineTable& table, std::FILE* out) {
    const CTessaryCan* converter = table.Converter();
    std::string line;
    std::u16string text;
    bool ok = true;
    for (int32_t n = 1; n < table.LineCount() && ok; ++n) {
        const DisplayLine* first = table.Line(n);
        const MessageRecord* record = table.RecordOf(first);
        if (record == nullptr || first->groupOffset != 0) {
            continue;
        }
        text.clear();
        int32_t end = n;
        while (end < table.LineCount()) {
            const DisplayLine* part = table.Line(end);
            if (part->recordIndex != first->recordIndex || (end > n && part->groupOffset == 0)) {
                break;
            }
            if (end > n) {
                text += u'\n';
            }
            text += table.TextOf(part);
            ++end;
        }
        n = end - 1;

        const bool hasBlock = record->Block < kBlockCount;
        line = "{\"index\":" + Unsigned(record->Index) + ",\"id\":" + Unsigned(record->Id) +
               ",\"dataPos\":" + Unsigned(record->DataPos) + ",\"filePos\":";
        const uint32_t filePos = hasBlock && converter != nullptr
                                     ? converter->FileOffsetOf(record->DataPos)
                                     : 0xFFFFFFFF;
        line += filePos != 0xFFFFFFFF ? Unsigned(filePos) : "null";
        line += ",\"timeMs\":" + std::to_string(record->Time) + ",\"time\":";
        std::string time;
        if (hasBlock && converter != nullptr &&
            FormatRecordDateTime(converter->BaseTime(), record->Time, time)) {
            line += "\"" + time + "\"";
        } else {
            line += "null";
        }
        line += ",\"block\":";
        line += hasBlock ? std::string("\"") + static_cast<char>('A' + record->Block) + "\""
                         : std::string("null");
        line += ",\"layer\":";
        line += record->Layer != kNoLayer ? Unsigned(record->Layer) : "null";
        line += ",\"code\":" + std::to_string(record->Code) +
                ",\"callRef\":" + std::to_string(record->CallRef) +
                ",\"flags\":" + Unsigned(record->Flags) + ",\"text\":" + JsonString(text) + "}\n";
        ok = std::fwrite(line.data(), 1, line.size(), out) == line.size();
    }
    return ok;
}

}  // namespace tessary::cli
