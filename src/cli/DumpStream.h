#pragma once
// The consumers of tessarydump's record stream: the main window's layout of each record (and,
// for --search and --call, the aggregation's selection after it), whose new display lines go
// straight to the output, and the search for the record a --call starts from.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/DumpOutput.h"
#include "cli/RecordStream.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/Aggregation.h"
#include "mainwnd/CopyText.h"

namespace tessary::cli {

// The main layout into a table that holds only what the next record's layout reads.
class LayoutConsumer : public RecordConsumer {
public:
    explicit LayoutConsumer(const DisplaySource& source);
    int32_t Consume(CTessaryCan& converter, MessageRecord& record) override;
    void RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) override;
    void Forgotten(const StoreMove& move) override;

protected:
    // The first line of the record the table's last line belongs to (the next layout reads it).
    static int32_t LastRecordLine(const DisplayLineTable& table);
    // The record index of that line, or kNoRecordIndex.
    static uint32_t LastRecordIndex(const DisplayLineTable& table);

    DisplayLineTable m_main;
};

// The output of the whole log (text or JSONL), or of what an aggregation selects.
class DumpConsumer : public LayoutConsumer {
public:
    struct Output {
        std::FILE* out = nullptr;
        bool jsonl = false;
        bool crlf = false;
        CopyParams params;  // para, pane blocks; the heading is set by the first record
    };
    // `aggregation`: the selection context of --search or --call (its table is set here), or
    // nullptr for the whole log. `heading`: the aggregation window title, or empty for the
    // main window's layer-1 legend.
    DumpConsumer(const DisplaySource& source, const Output& output, AggregationContext* aggregation,
                 std::u16string heading);
    ~DumpConsumer() override;

    int32_t Consume(CTessaryCan& converter, MessageRecord& record) override;
    void RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) override;
    void Forgotten(const StoreMove& move) override;

    // Writes what is buffered; false when any write failed.
    bool Finish();
    bool WriteFailed() const { return m_writeFailed; }
    // Lines of the shown table (the title line included).
    int32_t ShownLines() const { return Shown().LineCount(); }

private:
    const DisplayLineTable& Shown() const { return m_aggregation != nullptr ? m_selected : m_main; }
    bool Emit();

    Output m_output;
    AggregationContext* m_aggregation;
    DisplayLineTable m_selected;
    std::u16string m_heading;
    std::unique_ptr<Utf8StreamSink> m_sink;
    std::unique_ptr<CopyTextWriter> m_text;
    std::unique_ptr<JsonlWriter> m_jsonl;
    int32_t m_emitted = 0;
    bool m_writeFailed = false;
};

// Finds the record a --call starts from: the laid-out record with the index number that is a
// record of its own (a warning record carries the number of the record after it, so it is
// taken only when no other record has the number). Ends the pass once it is found.
class CallStartFinder : public LayoutConsumer {
public:
    CallStartFinder(const DisplaySource& source, uint32_t id);
    int32_t Consume(CTessaryCan& converter, MessageRecord& record) override;
    // A copy of the record found (it outlives the stream), or nullptr.
    const MessageRecord* Found() const;

private:
    uint32_t m_id;
    std::vector<uint32_t> m_record;  // the fixed fields and the text, 4-byte aligned
    bool m_foundOwn = false;
};

}  // namespace tessary::cli
