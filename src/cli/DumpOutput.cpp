#include "cli/DumpOutput.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

#include "platform/Calendar.h"
#include "platform/TimeMath.h"
#include "platform/Utf.h"

namespace tessary::cli {
namespace {

constexpr size_t kFlushBytes = 1 << 16;

char* PutDecimal(char* out, uint64_t value) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) {
        *out++ = digits[--n];
    }
    return out;
}

char* PutSigned(char* out, int64_t value) {
    if (value < 0) {
        *out++ = '-';
        return PutDecimal(out, 0 - static_cast<uint64_t>(value));
    }
    return PutDecimal(out, static_cast<uint64_t>(value));
}

char* PutDigits(char* out, unsigned value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

char* PutText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// The JSON string literal of a UTF-16 text at `out` (room: 6 bytes per unit and the quotes).
// Unpaired surrogates become U+FFFD, as in every UTF-8 output of the program.
char* PutJsonString(char* out, std::u16string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    *out++ = '"';
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const char16_t c = *p;
        if (c >= 0x20 && c < 0x80 && c != u'"' && c != u'\\') {
            *out++ = static_cast<char>(c);
            ++p;
            continue;
        }
        if (c >= 0x80) {
            // Everything up to the next ASCII unit in one go.
            const char16_t* run = p;
            while (run < end && *run >= 0x80) {
                ++run;
            }
            out = EncodeUtf8(std::u16string_view(p, static_cast<size_t>(run - p)), out);
            p = run;
            continue;
        }
        *out++ = '\\';
        switch (c) {
            case u'"':
                *out++ = '"';
                break;
            case u'\\':
                *out++ = '\\';
                break;
            case u'\n':
                *out++ = 'n';
                break;
            case u'\r':
                *out++ = 'r';
                break;
            case u'\t':
                *out++ = 't';
                break;
            case u'\b':
                *out++ = 'b';
                break;
            case u'\f':
                *out++ = 'f';
                break;
            default:
                *out++ = 'u';
                *out++ = '0';
                *out++ = '0';
                *out++ = kHex[c >> 4];
                *out++ = kHex[c & 15];
                break;
        }
        ++p;
    }
    *out++ = '"';
    return out;
}

// "YYYY/MM/DD hh:mm:ss.fff" at `out` (23 bytes), or nullptr when not representable.
char* PutRecordDateTime(char* out, int64_t baseTime, int64_t ms) {
    int64_t ticks = 0;
    SystemTime time{};
    if (baseTime == 0 || !AddMsToTicks(baseTime, ms, ticks) || !TicksToSystemTime(ticks, time)) {
        return nullptr;
    }
    out = PutDigits(out, time.year, 4);
    *out++ = '/';
    out = PutDigits(out, time.month, 2);
    *out++ = '/';
    out = PutDigits(out, time.day, 2);
    *out++ = ' ';
    out = PutDigits(out, time.hour, 2);
    *out++ = ':';
    out = PutDigits(out, time.minute, 2);
    *out++ = ':';
    out = PutDigits(out, time.second, 2);
    *out++ = '.';
    return PutDigits(out, time.milliseconds, 3);
}

}  // namespace

OutputBuffer::OutputBuffer(std::FILE* out)
    : m_out(out), m_data(new char[2 * kFlushBytes]), m_capacity(2 * kFlushBytes) {}

OutputBuffer::~OutputBuffer() {
    Flush();
    delete[] m_data;
}

char* OutputBuffer::Reserve(size_t bytes) {
    if (m_used + bytes > m_capacity) {
        Flush();
        if (bytes > m_capacity) {
            char* larger = new char[bytes];
            delete[] m_data;
            m_data = larger;
            m_capacity = bytes;
        }
    }
    return m_data + m_used;
}

void OutputBuffer::Append(std::string_view bytes) {
    Commit(PutText(Reserve(bytes.size()), bytes));
}

void OutputBuffer::AppendUtf8(std::u16string_view text) {
    Commit(EncodeUtf8(text, Reserve(3 * text.size())));
}

bool OutputBuffer::Flush() {
    if (m_used != 0 && !m_failed) {
        m_failed = std::fwrite(m_data, 1, m_used, m_out) != m_used;
    }
    m_used = 0;
    return !m_failed;
}

bool Utf8StreamSink::Append(std::u16string_view text) {
    m_buffer.AppendUtf8(text);
    return !m_buffer.Failed();
}

bool Utf8StreamSink::EndLine() {
    m_buffer.Append(m_crlf ? std::string_view("\r\n") : std::string_view("\n"));
    return !m_buffer.Failed();
}

std::string JsonString(std::u16string_view text) {
    std::string out(6 * text.size() + 2, '\0');
    out.resize(static_cast<size_t>(PutJsonString(out.data(), text) - out.data()));
    return out;
}

bool FormatRecordDateTime(int64_t baseTime, int64_t ms, std::string& out) {
    char text[32];
    const char* end = PutRecordDateTime(text, baseTime, ms);
    if (end == nullptr) {
        return false;
    }
    out.assign(text, static_cast<size_t>(end - text));
    return true;
}

void JsonlWriter::WriteRecord(const DisplayLineTable& table, const MessageRecord& record) {
    const CTessaryCan* converter = table.Converter();
    const bool hasBlock = record.Block < kBlockCount;
    // Fixed fields take well under 400 bytes; the text at most 6 per unit.
    char* const start = m_buffer.Reserve(400 + 6 * m_text.size());
    char* out = PutText(start, "{\"index\":");
    out = PutDecimal(out, record.Index);
    out = PutText(out, ",\"id\":");
    out = PutDecimal(out, record.Id);
    out = PutText(out, ",\"dataPos\":");
    out = PutDecimal(out, record.DataPos);
    out = PutText(out, ",\"filePos\":");
    const uint32_t filePos =
        hasBlock && converter != nullptr ? converter->FileOffsetOf(record.DataPos) : 0xFFFFFFFF;
    out = filePos != 0xFFFFFFFF ? PutDecimal(out, filePos) : PutText(out, "null");
    out = PutText(out, ",\"timeMs\":");
    out = PutSigned(out, record.Time);
    out = PutText(out, ",\"time\":");
    char* time = nullptr;
    if (hasBlock && converter != nullptr) {
        time = PutRecordDateTime(out + 1, converter->BaseTime(), record.Time);
    }
    if (time != nullptr) {
        *out = '"';
        out = time;
        *out++ = '"';
    } else {
        out = PutText(out, "null");
    }
    out = PutText(out, ",\"block\":");
    if (hasBlock) {
        *out++ = '"';
        *out++ = static_cast<char>('A' + record.Block);
        *out++ = '"';
    } else {
        out = PutText(out, "null");
    }
    out = PutText(out, ",\"layer\":");
    out = record.Layer != kNoLayer ? PutDecimal(out, record.Layer) : PutText(out, "null");
    out = PutText(out, ",\"code\":");
    out = PutSigned(out, record.Code);
    out = PutText(out, ",\"callRef\":");
    out = PutSigned(out, record.CallRef);
    out = PutText(out, ",\"flags\":");
    out = PutDecimal(out, record.Flags);
    out = PutText(out, ",\"text\":");
    out = PutJsonString(out, m_text);
    out = PutText(out, "}\n");
    m_buffer.Commit(out);
}

bool JsonlWriter::WriteLines(const DisplayLineTable& table, int32_t first, int32_t end) {
    const int32_t count = std::min(end, table.LineCount());
    for (int32_t n = std::max(first, 1); n < count && !m_buffer.Failed(); ++n) {
        const DisplayLine* line = table.Line(n);
        const MessageRecord* record = table.RecordOf(line);
        if (record == nullptr || line->groupOffset != 0) {
            continue;
        }
        m_text.clear();
        int32_t last = n;
        while (last < table.LineCount()) {
            const DisplayLine* part = table.Line(last);
            if (part->recordIndex != line->recordIndex || (last > n && part->groupOffset == 0)) {
                break;
            }
            if (last > n) {
                m_text += u'\n';
            }
            m_text += table.TextOf(part);
            ++last;
        }
        n = last - 1;
        WriteRecord(table, *record);
    }
    return !m_buffer.Failed();
}

bool WriteJsonlRecords(const DisplayLineTable& table, std::FILE* out) {
    JsonlWriter writer(out);
    writer.WriteLines(table, 1, table.LineCount());
    return writer.Flush();
}

}  // namespace tessary::cli
