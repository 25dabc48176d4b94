#include "cli/DumpStream.h"

#include <cstring>

#include "logfile/Status.h"
#include "mainwnd/LayoutSteps.h"
#include "mainwnd/RecordLayout.h"

namespace tessary::cli {
namespace {

// A stream's tables start small; they grow only if one record needs more.
constexpr uint32_t kStreamLines = 8192;
constexpr uint64_t kStreamLineBytes = 1024 * 1024;

void SetRowSlot(CTessaryCan& converter, bool second) {
    CanPara* para = converter.Para();
    if (second) {
        para->Flag[1] |= kFlag1SecondRowSlot;
    } else {
        para->Flag[1] &= static_cast<uint8_t>(~kFlag1SecondRowSlot);
    }
}

}  // namespace

LayoutConsumer::LayoutConsumer(const DisplaySource& source) {
    m_main.SetSource(source);
    m_main.PresetCapacities(kStreamLines, kStreamLineBytes);
}

int32_t LayoutConsumer::Consume(CTessaryCan& converter, MessageRecord& record) {
    SetRowSlot(converter, false);
    return LayoutRecord(&converter, &record, &m_main);
}

int32_t LayoutConsumer::LastRecordLine(const DisplayLineTable& table) {
    const DisplayLine* last = table.Line(table.LineCount() - 1);
    return last != nullptr ? last->lineNumber - last->groupOffset : table.LineCount();
}

uint32_t LayoutConsumer::LastRecordIndex(const DisplayLineTable& table) {
    const DisplayLine* last = table.Line(table.LineCount() - 1);
    return last != nullptr && last->recordIndex >= 0 ? static_cast<uint32_t>(last->recordIndex)
                                                     : kNoRecordIndex;
}

void LayoutConsumer::RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) {
    // The next layout compares with the record of the last line; hidden records after it are
    // few and harmless to keep.
    const uint32_t last = LastRecordIndex(m_main);
    keepFrom = last != kNoRecordIndex ? last : converter.LineCount();
    pin = kNoRecordIndex;
}

void LayoutConsumer::Forgotten(const StoreMove& move) {
    m_main.Forget(LastRecordLine(m_main), move);
}

DumpConsumer::DumpConsumer(const DisplaySource& source, const Output& output,
                           AggregationContext* aggregation, std::u16string heading)
    : LayoutConsumer(source),
      m_output(output),
      m_aggregation(aggregation),
      m_heading(std::move(heading)) {
    m_selected.SetSource(source);
    m_selected.PresetCapacities(kStreamLines, kStreamLineBytes);
    if (m_aggregation != nullptr) {
        m_aggregation->table = &m_selected;
        m_aggregation->mainTable = nullptr;
    }
}

DumpConsumer::~DumpConsumer() {
    // The writers refer to the tables, which point into the stream's store.
    m_text.reset();
    m_jsonl.reset();
    m_sink.reset();
}

int32_t DumpConsumer::Consume(CTessaryCan& converter, MessageRecord& record) {
    // The aggregation takes records as the main layout has left them (time text and the
    // characters without width rewritten), as it does over the stored records in the viewer.
    int32_t result = LayoutConsumer::Consume(converter, record);
    if (result == kLayoutGoOn && m_aggregation != nullptr) {
        SetRowSlot(converter, true);
        result = SelectRecord(&converter, &record, m_aggregation);
    }
    // The lines laid out so far are final; a related call that ends still shows them.
    if (!Emit()) {
        return kStatusWriteError;
    }
    return result;
}

bool DumpConsumer::Emit() {
    const DisplayLineTable& shown = Shown();
    const int32_t count = shown.LineCount();
    if (count == 0 || m_emitted == count) {
        return !m_writeFailed;
    }
    if (m_emitted == 0) {
        // The title line: the heading and block titles come first.
        if (m_output.jsonl) {
            m_jsonl = std::make_unique<JsonlWriter>(m_output.out);
        } else {
            if (m_heading.empty() && shown.Converter() != nullptr) {
                m_heading = shown.Converter()->LY1Legend(-1);
            }
            m_output.params.heading = m_heading;
            m_output.params.byteLimit = 0;  // a stream, not the clipboard
            m_output.params.linesOptional = true;
            m_sink = std::make_unique<Utf8StreamSink>(m_output.out, m_output.crlf);
            m_text = std::make_unique<CopyTextWriter>(shown, m_output.params, *m_sink);
            m_writeFailed = m_text->WriteHeading() != kCopyDone;
        }
        m_emitted = 1;
    }
    if (m_emitted < count && !m_writeFailed) {
        m_writeFailed = m_jsonl ? !m_jsonl->WriteLines(shown, m_emitted, count)
                                : m_text->WriteLines(m_emitted, count - 1) != kCopyDone;
    }
    m_emitted = count;
    return !m_writeFailed;
}

void DumpConsumer::RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) {
    LayoutConsumer::RecordsInUse(converter, keepFrom, pin);
    if (m_aggregation != nullptr) {
        // The selection compares with its own last record, which may lie far back.
        const uint32_t selected = LastRecordIndex(m_selected);
        if (selected != kNoRecordIndex && selected < keepFrom) {
            pin = selected;
        }
    }
}

void DumpConsumer::Forgotten(const StoreMove& move) {
    LayoutConsumer::Forgotten(move);
    if (m_aggregation != nullptr) {
        m_selected.Forget(LastRecordLine(m_selected), move);
    }
}

bool DumpConsumer::Finish() {
    if (m_emitted == 0 && !m_writeFailed) {
        Emit();
    }
    if (m_sink && !m_sink->Flush()) {
        m_writeFailed = true;
    }
    if (m_jsonl && !m_jsonl->Flush()) {
        m_writeFailed = true;
    }
    return !m_writeFailed;
}

CallStartFinder::CallStartFinder(const DisplaySource& source, uint32_t id)
    : LayoutConsumer(source), m_id(id) {}

int32_t CallStartFinder::Consume(CTessaryCan& converter, MessageRecord& record) {
    const int32_t result = LayoutConsumer::Consume(converter, record);
    if (result != kLayoutGoOn || record.Index == 0 || record.Id != m_id || record.RowSlot[0] < 0) {
        return result;
    }
    const bool own = (record.Flags & kRecordWarning) == 0;
    if (own || m_record.empty()) {
        const size_t length = record.TextView().size();
        const size_t bytes = MessageRecordSize(length);
        m_record.assign((bytes + 3) / 4, 0);
        std::memcpy(m_record.data(), &record, kMessageRecordFixedSize + 2 * length);
    }
    if (own) {
        m_foundOwn = true;
        return kStatusStopped;  // the first record of its own wins
    }
    return result;
}

const MessageRecord* CallStartFinder::Found() const {
    return m_record.empty() ? nullptr : reinterpret_cast<const MessageRecord*>(m_record.data());
}

}  // namespace tessary::cli
