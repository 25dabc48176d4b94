#pragma once
// A display line table of the main layout over a log written by insloggen, with the record
// lookups the search and go-to tests need.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "LayoutTestSupport.h"
#include "support/GeneratedLog.h"

namespace tessary::test {

class GeneratedLogTest : public LayoutTest {
protected:
    // Writes a log with the given insloggen options and lays it out.
    void Load(const std::string& args) {
        ASSERT_EQ(m_log.Open(GenerateLog(m_dir, "generated.dat", args)), 0);
        ASSERT_EQ(Convert(), kStatusDone);
        ASSERT_GT(m_table.LineCount(), 2);
    }

    // Compiles `pattern` as the table's search condition.
    void SetSearch(const std::u16string& pattern) {
        ASSERT_EQ(m_conditions[kSearchSlot].Compile(u";" + pattern + u";0", m_para.SpcCnt), 0);
    }

    // The record's own text head, which no other record carries (warnings name the next ID
    // but without a time).
    static std::u16string IdWord(uint32_t id) {
        char text[32];
        std::snprintf(text, sizeof text, "ID=%07u TM=", id);
        return Utf16(text);
    }

    // The n-th laid-out record (from the first message line on) whose row group has at least
    // `minLines` lines, or nullptr.
    const DisplayLine* NthGroup(int nth, int minLines) const {
        for (int32_t n = 1; n < m_table.LineCount(); ++n) {
            const DisplayLine* line = m_table.Line(n);
            if (line->HasRecord() && line->groupOffset == 0 && line->groupSize >= minLines &&
                nth-- == 0) {
                return line;
            }
        }
        return nullptr;
    }
    int32_t LastOfGroup(const DisplayLine* first) const {
        return first->lineNumber + first->groupSize - 1;
    }
    uint32_t IdOf(const DisplayLine* line) const { return m_table.RecordOf(line)->Id; }
    int32_t LastLine() const { return m_table.LineCount() - 1; }
};

}  // namespace tessary::test
