#pragma once
// tessarydump's outputs: the copy text as UTF-8 on a stream, and one JSON object per shown
// message record.
#include <cstdio>
#include <string>
#include <string_view>

#include "display/DisplayLineTable.h"
#include "mainwnd/CopyText.h"

namespace tessary::cli {

// The copy text as UTF-8, lines ended by LF (or CR LF); buffered, write errors remembered.
class Utf8StreamSink : public CopySink {
public:
    Utf8StreamSink(std::FILE* out, bool crlf) : m_out(out), m_crlf(crlf) {}
    ~Utf8StreamSink() override;
    bool Append(std::u16string_view text) override;
    bool EndLine() override;
    // Writes what is buffered; false when any write failed.
    bool Flush();

private:
    std::FILE* m_out;
    bool m_crlf;
    bool m_failed = false;
    std::string m_buffer;
};

// JSON string literal of a UTF-16 text (quotes included).
std::string JsonString(std::u16string_view text);

// "YYYY/MM/DD hh:mm:ss.fff" of base time + ms, or false when not representable.
bool FormatRecordDateTime(int64_t baseTime, int64_t ms, std::string& out);

// One object per message record shown from display line 1 on, in table order; the text is the
// record's display lines joined by "\n". False when writing failed.
bool WriteJsonlRecords(const DisplayLineTable& table, std::FILE* out);

}  // namespace tessary::cli
