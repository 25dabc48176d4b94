// Inputs the fuzz targets found, kept as regression tests.
#include <gtest/gtest.h>

#include "fault/FaultSupport.h"
#include "mainwnd/CopyText.h"
#include "support/LogBytes.h"

namespace tessary::test {
namespace {

// A block definition without ';' is all title: its letters 't' and 's' are no indent. The
// copy text and the indent sort used to read the title as the indent notation.
TEST(FuzzRegression, DefinitionWithoutSemicolonHasNoIndent) {
    CanPara para;
    ResetPara(para);
    CopyToSlot(para.BlockDef[1], u"test station");
    EXPECT_EQ(IndentWidth(SlotText(para.BlockDef[1]), 8), 0u);
    EXPECT_EQ(IndentWidth(u"t2s1;title;1", 8), 17u);

    // The indent sort measures it as no indent (it then takes the narrowest but one).
    CopyToSlot(para.BlockDef[0], u"t3;Ａ;0");
    CopyToSlot(para.BlockDef[2], u"s1;Ｃ;2");
    CopyToSlot(para.BlockDef[3], u"t1;Ｄ;3");
    NormalizeBlockIndents(para);
    EXPECT_EQ(SlotText(para.BlockDef[0]), u";Ａ;0");
    EXPECT_EQ(SlotText(para.BlockDef[1]), u"s1;test station;-1");
    EXPECT_EQ(SlotText(para.BlockDef[2]), u"t1;Ｃ;2");
    EXPECT_EQ(SlotText(para.BlockDef[3]), u"t3;Ｄ;3");

    // In the copy text a block B record (pane position 1) starts without tabs.
    TempDir dir;
    LogBytes log;
    log.FrameWithFcs('R', 100, {0x02, 0x81, 0x01, 0x03});
    LaidOutLog laid;
    CopyToSlot(laid.para.BlockDef[1], u"test station");
    ASSERT_EQ(laid.Open(log.FixDataByteCount().WriteTo(dir.File("b.dat"))), kOpenOk);
    ASSERT_EQ(laid.Pass(), kStatusDone);
    CopyParams params;
    params.para = &laid.para;
    StringCopySink sink;
    ASSERT_EQ(BuildCopyText(laid.table, CopySpanOf(laid.table, 1, laid.table.LineCount() - 1),
                            params, sink),
              kCopyDone);
    const std::u16string& text = sink.Text();
    const size_t id = text.find(u"ID=0000000");
    ASSERT_NE(id, std::u16string::npos);
    const size_t lineStart = text.rfind(u'\n', id);
    const std::u16string prefix =
        text.substr(lineStart == std::u16string::npos ? 0 : lineStart + 1,
                    id - (lineStart == std::u16string::npos ? 0 : lineStart + 1));
    EXPECT_EQ(prefix.find(u'\t'), std::u16string::npos) << Utf8(prefix);
}

}  // namespace
}  // namespace tessary::test
