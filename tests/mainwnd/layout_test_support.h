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
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {

// Frames as the board logs them.
inline const std::vector<uint8_t> kRrFrame = {0x02, 0x81, 0x01, 0x03};  // TEI 64, RR N(R)=1
inline const std::vector<uint8_t> kSetupFrame = {0x00, 0x81, 0x00, 0x00, 0x08, 0x01,
                                                 0x01, 0x05, 0x04, 0x02, 0x88, 0x90};

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPara(m_para);
        m_source.para = &m_para;
        m_source.conditions = m_conditions;
        m_table.SetSource(m_source);
    }
    void TearDown() override { fault::Reset(); }

    void Open(const LogBytes& log) {
        m_table.FreeText();
        m_converter.reset();
        log.WriteTo(m_dir.File("log.dat"));
        m_converter = std::make_unique<CTessaryCan>(m_dir.File("log.dat"), &m_para);
        ASSERT_EQ(m_converter->OpenStatus(), 0);
    }
    // One pass with the layout; its final status.
    int32_t Convert() {
        const int32_t started = m_converter->StartPass(&LayoutRecord, &m_table, nullptr);
        if (started != kStatusDone) {
            return started;
        }
        m_converter->WaitForWalk();
        return m_converter->ConversionStatus();
    }
    // A second pass over the stored records, laid out afresh.
    int32_t Redeliver() {
        m_table.FreeText();
        m_para.Flag[1] |= kFlag1Redeliver;
        const int32_t status = Convert();
        m_para.Flag[1] &= static_cast<uint8_t>(~kFlag1Redeliver);
        return status;
    }

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

    TempDir m_dir;
    CanPara m_para;
    SearchCondition m_conditions[kMarkIfTextCount];
    DisplaySource m_source;
    std::unique_ptr<CTessaryCan> m_converter;
    DisplayLineTable m_table;
};

}  // namespace tessary::test
