#pragma once
// The display line table of a pane frame: the laid-out lines of the converter's message records
// in two blocks (a table of 64-bit entry offsets and a line buffer of entries), sized from the
// log's data byte count and grown by extrapolation from the fraction read. Texts stay in the
// converter's store; entries keep offsets into it, never pointers, and the table keeps entry
// offsets, so both blocks may move when they grow. Written by the layout on the conversion
// worker; read by the panes afterwards. Nothing is locked.
#include <cstdint>
#include <string_view>

#include "decode/CTessaryCan.h"
#include "display/DisplayLine.h"
#include "display/DisplaySource.h"
#include "platform/GrowBlock.h"
#include "platform/PagePreparer.h"

namespace tessary {

inline constexpr int32_t kMaxDisplayLines = 0x7FFFFFFF;
inline constexpr uint64_t kTableByteLimit = 0x400000000;  // 16 GiB

// What a selection change asks of the window: post `notifyLine` (WM_APP+3), and when
// `recordChanged` repaint the groups of the given line and of `oldSelection`.
struct SelectionChange {
    int32_t result = -1;  // previous selection line number (0 for none), -1 refused
    int32_t notifyLine = -1;
    bool recordChanged = false;
    const DisplayLine* oldSelection = nullptr;
};

class DisplayLineTable {
public:
    DisplayLineTable() = default;
    ~DisplayLineTable();
    DisplayLineTable(const DisplayLineTable&) = delete;
    DisplayLineTable& operator=(const DisplayLineTable&) = delete;

    void SetSource(const DisplaySource& source) { m_source = source; }
    const DisplaySource& Source() const { return m_source; }

    // Sizes for the first AddLines instead of the estimate from the data byte count; only while
    // neither block exists (false otherwise). The aggregation window copies the main frame's.
    bool PresetCapacities(uint32_t tableEntries, uint64_t bufferBytes);

    // Cuts `text` (a record's text in the converter's buffer; nullptr for an empty separator
    // line) into display lines and appends them. Length 0 makes one line of the whole text, LFs
    // included. A negative class colours only the first line with |class|, the rest with 1.
    // Returns the new line count, or 0 with the last error (kErrorInvalidParameter,
    // kErrorNotEnoughMemory); lines appended before a failure stay.
    int32_t AddLines(CTessaryCan* converter, char16_t* text, size_t length, int block,
                     int colorClass);
    // Releases both blocks (with a trace of what they held and how long that took), the
    // presets, the converter and the selection.
    void FreeText();
    // A stream that has written its lines keeps only those from `keepLine` on (they keep their
    // line numbers; Line() answers nullptr for the others) and moves their text offsets as the
    // converter's store moved its texts.
    void Forget(int32_t keepLine, const StoreMove& textMove);
    // The first line still held (0 unless Forget dropped lines).
    int32_t FirstLine() const { return m_firstLine; }

    int32_t LineCount() const { return m_lineCount; }
    // Display line n, or nullptr outside the table (or forgotten).
    DisplayLine* Line(int32_t n) const {
        if (n < m_firstLine || n >= m_lineCount) {
            return nullptr;
        }
        return reinterpret_cast<DisplayLine*>(m_buffer.Data() + Table()[n - m_firstLine]);
    }
    uint32_t TableCapacity() const { return m_tableCapacity; }
    uint64_t BufferCapacity() const { return m_bufferCapacity; }
    uint64_t BufferUsed() const { return m_bufferUsed; }
    int32_t MaximumCells() const { return m_maximumCells; }
    CTessaryCan* Converter() const { return m_converter; }

    // The line's characters (empty without text).
    std::u16string_view TextOf(const DisplayLine* line) const;
    // The message record a line shows, or nullptr (separator, index outside the store).
    MessageRecord* RecordOf(const DisplayLine* line) const;
    // The first line of the record's row group by the owner's RowSlot, or nullptr.
    DisplayLine* FirstLineOf(const MessageRecord* record) const;

    // 0-3: the highest-numbered highlight rule that admits the record's block and matches its
    // text; -1 when none, or without source, converter, line or record.
    int MarkIndex(const DisplayLine* line) const;
    // With a record alone: 1 when the search condition takes it, else 0. With a line: the number
    // of hit words of its record, each marked in the line when `apply` (flags cleared first).
    // -1 without source, with both or neither argument, or a line without record.
    int MarkSearchHits(const MessageRecord* record, DisplayLine* line, bool apply) const;
    // Puts `text` in place of the line's record text (block titles): 0 done, 1 it fits the
    // record's room or the line's cells not, -1 with the last error.
    int ReplaceLineText(CTessaryCan* converter, DisplayLine* line, const char16_t* text,
                        size_t length);
    // From line 1 up (first) or from the last line down, the first line, or with `record` the
    // first with a message record (returned there); nullptr below 2 lines or when none.
    DisplayLine* FirstLastLine(bool first, MessageRecord** record) const;

    // The selection line: the first line of the selected message record.
    DisplayLine* SelectionLine() const { return Line(m_selection); }
    SelectionChange SelectLine(const DisplayLine* line);
    void ClearSelection() { m_selection = -1; }
    // Whether the line belongs to the selection line's record (drawn in class 13).
    bool IsSelectedRecord(const DisplayLine* line) const;

private:
    bool CreateBlocks(CTessaryCan* converter);
    // One entry of n characters at `text`; false with the last error, nothing added.
    bool AppendLine(CTessaryCan* converter, char16_t* text, size_t n);
    uint64_t PercentRead() const;
    static uint64_t Extrapolate(uint64_t capacity, uint64_t percent, uint64_t minimum);
    bool OwnsLine(const DisplayLine* line) const;
    // Bytes from the entry to the next entry or the used end.
    uint64_t EntryRoom(const DisplayLine* line) const;
    uint64_t* Table() const { return reinterpret_cast<uint64_t*>(m_table.Data()); }

    DisplaySource m_source;
    CTessaryCan* m_converter = nullptr;
    GrowBlock m_table;
    GrowBlock m_buffer;
    uint32_t m_tableCapacity = 0;
    int32_t m_lineCount = 0;
    int32_t m_firstLine = 0;  // table entry 0 is this line
    uint64_t m_bufferCapacity = 0;
    uint64_t m_bufferUsed = 0;
    int32_t m_maximumCells = 0;
    int32_t m_selection = -1;
    // Last, so that it stops before the line buffer goes.
    PagePreparer m_bufferPages;
};

}  // namespace tessary
