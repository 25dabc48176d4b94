#pragma once
// A converter over a small log on disk whose store holds the texts the display line tests lay
// out, and a display line table with its source (parameters and five rule slots).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "platform/FaultInjection.h"
#include "platform/LastError.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "support/LaidOutLog.h"
#include "support/LaidOutLogTest.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {

class LineTableTest : public LaidOutLogTest {
protected:
    void SetUp() override { Open(LogBytes().Record('T', 9, 0, {0x34})); }

    // A new name each time: the log opened before stays open, and Windows lets no one replace an
    // open file.
    void Open(const LogBytes& log) {
        const std::string name = "log" + std::to_string(++m_logCount) + ".dat";
        ASSERT_EQ(m_log.Open(log.WriteTo(m_dir.File(name))), 0);
    }
    int m_logCount = 0;

    // A message record holding `text` in the converter's store.
    MessageRecord* Put(std::u16string_view text, uint8_t block = 0) {
        MessageRecord* record = m_converter->AppendRecord(text);
        EXPECT_NE(record, nullptr);
        record->Block = block;
        return record;
    }
    int32_t Add(MessageRecord* record, size_t length, int block, int colorClass) {
        return m_table.AddLines(m_converter.get(), record->Text(), length, block, colorClass);
    }
    // Appends a record's text in its block and ties its lines to the record, as a layout does.
    int32_t AddRecord(std::u16string_view text, uint8_t block, int colorClass = 1) {
        MessageRecord* record = Put(text, block);
        const int32_t first = m_table.LineCount();
        const int32_t count = Add(record, text.size(), block, colorClass);
        for (int32_t n = first; n < count; ++n) {
            DisplayLine* line = m_table.Line(n);
            line->groupOffset = static_cast<uint16_t>(n - first);
            line->groupSize = static_cast<uint16_t>(count - first);
            line->recordIndex = static_cast<int32_t>(record->Index);
        }
        record->RowSlot[0] = first;
        return first;
    }
    std::string Text(int32_t n) const { return Utf8(m_table.TextOf(m_table.Line(n))); }
    std::string RecordText(const MessageRecord* record) const { return Utf8(record->TextView()); }
};

// Cells of line n as a vector, for comparisons.
inline std::vector<uint16_t> CellVector(const DisplayLine* line) {
    return std::vector<uint16_t>(line->Cells(), line->Cells() + line->cellCount);
}

}  // namespace tessary::test
