#pragma once
// tessarydump's outputs: the copy text as UTF-8 on a stream, and one JSON object per shown
// message record.
#include <cstdio>
#include <string>
#include <string_view>

#include "display/DisplayLineTable.h"
#include "mainwnd/CopyText.h"

namespace tessary::cli {

// Bytes gathered before they go to the stream; write errors remembered.
class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* out);
    ~OutputBuffer();
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Room for `bytes` more at the returned place; Commit what was written there.
    char* Reserve(size_t bytes);
    void Commit(char* end) { m_used = static_cast<size_t>(end - m_data); }
    void Append(std::string_view bytes);
    void AppendUtf8(std::u16string_view text);
    // Writes what is buffered; false when any write failed.
    bool Flush();
    bool Failed() const { return m_failed; }

private:
    std::FILE* m_out;
    char* m_data;
    size_t m_used = 0;
    size_t m_capacity;
    bool m_failed = false;
};

// The copy text as UTF-8, lines ended by LF (or CR LF).
class Utf8StreamSink : public CopySink {
public:
    Utf8StreamSink(std::FILE* out, bool crlf) : m_buffer(out), m_crlf(crlf) {}
    bool Append(std::u16string_view text) override;
    bool EndLine() override;
    // Writes what is buffered; false when any write failed.
    bool Flush() { return m_buffer.Flush(); }

private:
    OutputBuffer m_buffer;
    bool m_crlf;
};

// JSON string literal of a UTF-16 text (quotes included).
std::string JsonString(std::u16string_view text);

// "YYYY/MM/DD hh:mm:ss.fff" of base time + ms, or false when not representable.
bool FormatRecordDateTime(int64_t baseTime, int64_t ms, std::string& out);

// One object per message record shown, in table order; the text is the record's display lines
// joined by "\n". The whole table at once, or record by record as a stream lays them out.
class JsonlWriter {
public:
    explicit JsonlWriter(std::FILE* out) : m_buffer(out) {}
    // The records whose first line lies in [first, end); all their lines are held by the table.
    // False when writing failed.
    bool WriteLines(const DisplayLineTable& table, int32_t first, int32_t end);
    bool Flush() { return m_buffer.Flush(); }

private:
    void WriteRecord(const DisplayLineTable& table, const MessageRecord& record);

    OutputBuffer m_buffer;
    std::u16string m_text;
};

// Every record shown from display line 1 on. False when writing failed.
bool WriteJsonlRecords(const DisplayLineTable& table, std::FILE* out);

}  // namespace tessary::cli
