#pragma once
// A log built byte by byte, converted by a real pass whose line callback is the main window's
// layout into a display line table.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"
#include "platform/FaultInjection.h"
#include "platform/Utf.h"
#include "support/LaidOutLog.h"
#include "support/LaidOutLogTest.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {

// Frames as the board logs them.
inline const std::vector<uint8_t> kRrFrame = {0x02, 0x81, 0x01, 0x03};  // TEI 64, RR N(R)=1
inline const std::vector<uint8_t> kSetupFrame = {0x00, 0x81, 0x00, 0x00, 0x08, 0x01,
                                                 0x01, 0x05, 0x04, 0x02, 0x88, 0x90};

class LayoutTest : public LaidOutLogTest {
protected:
    void Open(const LogBytes& log) { ASSERT_EQ(m_log.Open(log.WriteTo(m_dir.File("log.dat"))), 0); }
    // One pass with the layout; its final status.
    int32_t Convert() { return m_log.Pass(); }
    // A second pass over the stored records, laid out afresh.
    int32_t Redeliver() { return m_log.Redeliver(); }

    MessageRecord* Record(uint32_t i) const { return m_converter->Record(i); }
    const DisplayLine* Line(int32_t n) const { return m_table.Line(n); }
    const DisplayLine* FirstLine(uint32_t record, int slot = 0) const {
        return m_table.Line(Record(record)->RowSlot[slot]);
    }
    // Rows of a record's text, as the layout cuts it.
    static int32_t RowsOf(const MessageRecord* record) {
        const std::u16string_view text = record->TextView();
        int32_t rows = 1;
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            rows += text[i] == u'\n' ? 1 : 0;
        }
        return rows;
    }
};

}  // namespace tessary::test
