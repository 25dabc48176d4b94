// The word under a cell of a block part: the context menu's copy item takes it.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "display/CellWord.h"
#include "platform/Utf.h"

namespace tessary {
namespace {

// A display line laid out by hand: every character one cell, a double-width one (CJK, the
// ideographic space) two, with the block parts given as cell ranges in order.
class HandLine {
public:
    HandLine(std::u16string text, std::initializer_list<std::pair<int, std::u16string_view>> parts)
        : m_text(std::move(text)), m_storage(DisplayLineSize(m_text.size()) / 4 + 1) {
        m_line = new (m_storage.data()) DisplayLine{};
        uint16_t* cells = m_line->Cells();
        uint16_t cell = 0;
        for (size_t i = 0; i < m_text.size(); ++i) {
            if (m_text[i] >= 0x3000) {
                cells[cell++] = static_cast<uint16_t>(i | kCellLeftHalf);
                cells[cell++] = static_cast<uint16_t>(i | kCellRightHalf);
            } else {
                cells[cell++] = static_cast<uint16_t>(i);
            }
        }
        m_line->cellCount = cell;
        m_line->textLength = static_cast<uint16_t>(m_text.size());
        // Each part's text must follow the previous one in the line's text.
        size_t at = 0;
        uint16_t partStart = 0;
        for (const auto& [block, partText] : parts) {
            EXPECT_EQ(m_text.substr(at, partText.size()), partText);
            uint16_t width = 0;
            for (char16_t c : partText) {
                width = static_cast<uint16_t>(width + (c >= 0x3000 ? 2 : 1));
            }
            m_line->parts[block] = BlockPart{partStart, width};
            partStart = static_cast<uint16_t>(partStart + width);
            at += partText.size();
        }
    }

    DisplayLine& Line() { return *m_line; }
    std::string Word(int block, int column, std::u16string_view text) const {
        return Utf8(WordAtCell(*m_line, text, block, column));
    }
    std::string Word(int block, int column) const { return Word(block, column, m_text); }

private:
    std::u16string m_text;
    std::vector<uint32_t> m_storage;
    DisplayLine* m_line = nullptr;
};

TEST(CellWord, WordsEndAtSingleWidthBlanksAndAtTheirPart) {
    // Block A "SETUP CR=01", block C "ID=0000012" right behind it on the same line.
    HandLine line(u"SETUP CR=01ID=0000012", {{0, u"SETUP CR=01"}, {2, u"ID=0000012"}});
    EXPECT_EQ(line.Word(0, 0), "SETUP");
    EXPECT_EQ(line.Word(0, 2), "SETUP");
    EXPECT_EQ(line.Word(0, 4), "SETUP");
    EXPECT_EQ(line.Word(0, 5), "");  // the blank between them
    EXPECT_EQ(line.Word(0, 6), "CR=01");
    // The last cell of the part: the word does not run on into block C.
    EXPECT_EQ(line.Word(0, 10), "CR=01");
    // Columns count from the part's own first cell.
    EXPECT_EQ(line.Word(2, 0), "ID=0000012");
    EXPECT_EQ(line.Word(2, 9), "ID=0000012");
}

TEST(CellWord, DoubleWidthCharactersBelongToTheirWordOnBothHalves) {
    // "呼設定" takes six cells; the ideographic space is no blank.
    HandLine line(u"MT=呼設定 A　B", {{1, u"MT=呼設定 A　B"}});
    for (int column = 0; column <= 8; ++column) {
        EXPECT_EQ(line.Word(1, column), "MT=呼設定") << column;
    }
    EXPECT_EQ(line.Word(1, 9), "");  // the blank after the last right half
    EXPECT_EQ(line.Word(1, 10), "A　B");
    EXPECT_EQ(line.Word(1, 11), "A　B");  // left half of the ideographic space
    EXPECT_EQ(line.Word(1, 12), "A　B");  // its right half
    EXPECT_EQ(line.Word(1, 13), "A　B");
}

TEST(CellWord, ADumpRowIsTakenWholeWhereverTheColumnIs) {
    HandLine dump(u"  08 01 05 05 04 01 a0  ", {{3, u"  08 01 05 05 04 01 a0  "}});
    EXPECT_EQ(dump.Word(3, 3), "08 01 05 05 04 01 a0");
    EXPECT_EQ(dump.Word(3, 0), "08 01 05 05 04 01 a0");  // even on a leading blank
    EXPECT_EQ(dump.Word(3, 23), "08 01 05 05 04 01 a0");

    // One letter that is no hex digit makes it ordinary words.
    HandLine words(u"0A BC GZ", {{0, u"0A BC GZ"}});
    EXPECT_EQ(words.Word(0, 0), "0A");
    EXPECT_EQ(words.Word(0, 4), "BC");
    EXPECT_EQ(words.Word(0, 7), "GZ");

    // Hex digits up to a double-width character: the digits before it.
    HandLine mixed(u"12 AB 呼", {{0, u"12 AB 呼"}});
    EXPECT_EQ(mixed.Word(0, 7), "12 AB");

    // A part of blanks only has no word.
    HandLine blanks(u"    ", {{0, u"    "}});
    EXPECT_EQ(blanks.Word(0, 1), "");
}

TEST(CellWord, NothingOutsideThePartOrItsText) {
    HandLine line(u"RR N(R)=5", {{0, u"RR N(R)=5"}});
    EXPECT_EQ(line.Word(0, 8), "N(R)=5");
    EXPECT_EQ(line.Word(0, 9), "");  // one past the last cell
    EXPECT_EQ(line.Word(0, 500), "");
    EXPECT_EQ(line.Word(0, -1), "");
    EXPECT_EQ(line.Word(1, 0), "");  // a block this line has no part in
    EXPECT_EQ(line.Word(-1, 0), "");
    EXPECT_EQ(line.Word(kPartCount, 0), "");
    EXPECT_EQ(line.Word(0, 0, u""), "");  // a line without text

    // A part reaching past the line's cells is cut at the last cell.
    line.Line().parts[0].count = 40;
    EXPECT_EQ(line.Word(0, 8), "N(R)=5");
    EXPECT_EQ(line.Word(0, 9), "");
    // A part that starts behind the last cell has no word at all.
    line.Line().parts[0] = BlockPart{9, 3};
    EXPECT_EQ(line.Word(0, 0), "");

    // Cells that point past the text given (a shorter text than the line was laid out for).
    line.Line().parts[0] = BlockPart{0, 9};
    EXPECT_EQ(line.Word(0, 0, u"RR N"), "");
}

}  // namespace
}  // namespace tessary
