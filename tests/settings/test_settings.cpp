#include <gtest/gtest.h>

#include "settings/BlockOrder.h"
#include "settings/IniSettingsStore.h"
#include "settings/SettingsRecord.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

SettingsRecord Loaded(std::string_view ini) {
    IniSettingsStore store;
    store.Parse(ini);
    SettingsRecord record;
    ResetSettings(record);
    LoadSettings(record, store);
    return record;
}

TEST(IniSettingsStoreTest, ReadsQSettingsValueSyntax) {
    IniSettingsStore store;
    store.Parse(
        "\xEF\xBB\xBF[General]\nCanParaSpcCnt=9\n"
        "[Settings]\n"
        "Plain=abc def  \n"
        "Quoted=\"  a;b,c=d  \"\n"
        "Escapes=\"x\\\\y\\n\\\"q\\\" \\x41\\x{3042}\\t\"\n"
        "Japanese=ＭＳ ゴシック\n"
        "List=a, b\n"
        "Variant=@Variant(\\0\\0\\0\\x7f)\n"
        "At=@@home\n"
        "CanParaFlag=4294967295\n"
        "Negative=-2\n"
        "NotNumber=12x\n"
        "; a comment\n"
        "Key%20Space=1\n");
    std::u16string text;
    ASSERT_TRUE(store.GetString("Plain", text));
    EXPECT_EQ(text, u"abc def");
    ASSERT_TRUE(store.GetString("Quoted", text));
    EXPECT_EQ(text, u"  a;b,c=d  ");
    ASSERT_TRUE(store.GetString("Escapes", text));
    EXPECT_EQ(text, u"x\\y\n\"q\" Aあ\t");
    ASSERT_TRUE(store.GetString("Japanese", text));
    EXPECT_EQ(text, u"ＭＳ ゴシック");
    EXPECT_FALSE(store.GetString("List", text));
    EXPECT_FALSE(store.GetString("Variant", text));
    ASSERT_TRUE(store.GetString("At", text));
    EXPECT_EQ(text, u"@home");
    EXPECT_FALSE(store.GetString("CanParaSpcCnt", text));  // another group
    uint32_t value = 0;
    ASSERT_TRUE(store.GetInt("CanParaFlag", value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    ASSERT_TRUE(store.GetInt("Negative", value));
    EXPECT_EQ(value, 0xFFFFFFFEu);
    EXPECT_FALSE(store.GetInt("NotNumber", value));
    EXPECT_FALSE(store.GetInt("Missing", value));
    EXPECT_TRUE(store.GetInt("Key Space", value));
}

TEST(IniSettingsStoreTest, EscapedValuesReadBackUnchanged) {
    for (const std::u16string text :
         {u"", u" lead", u"trail ", u"a;b", u"@x", u"q\"\\\n\t\r", u"Ａ  TX  局 ←",
          u"\x01"
          u"BC"}) {
        std::u16string back;
        ASSERT_TRUE(IniSettingsStore::UnescapeValue(IniSettingsStore::EscapeValue(text), back))
            << Utf8(text);
        EXPECT_EQ(back, text);
    }
}

TEST(SettingsRecordTest, LoadValidatesAsTheRegistryLoaderDoes) {
    SettingsRecord record = Loaded(
        "[Settings]\nPaneFontPoint=97\nRestoreShowCmd=2\nRestoreSumShowCmd=3\n"
        "RestoreWndLeft=-20\nCanParaFlag=4294967295\nCanParaSpcCnt=0\nCanParaTabLen=128\n"
        "CanParaBlockLen=40\nCanParaTitleDemi=\"   \"\nCanParaColText_14=4294967295\n"
        "CanParaBlockDef_01=\"  t1;Ｂ;1  \"\nCanParaMarkIfText_02=\" #;x;\"\n");
    EXPECT_EQ(record.paneFontPoint, 95);
    EXPECT_EQ(record.mainWindow.showCmd, kShowNormal);
    EXPECT_EQ(record.summaryWindow.showCmd, kShowMaximized);
    EXPECT_EQ(record.mainWindow.left, -20);
    EXPECT_EQ(FlagWord(record.para), 0x303u);
    EXPECT_EQ(record.para.SpcCnt, 2);
    EXPECT_EQ(record.para.TabLen, 8);
    EXPECT_EQ(record.para.BlockLen, 40);
    EXPECT_EQ(SlotText(record.para.TitleDemi), u"");
    EXPECT_EQ(record.para.Color[14].text, kKeepColor);
    EXPECT_EQ(SlotText(record.para.BlockDef[1]), u"t1;Ｂ;1");
    EXPECT_EQ(SlotText(record.para.MarkIfText[2]), u" #;x;");  // not trimmed
    EXPECT_EQ(SlotText(record.para.MarkIfText[0]), u"@;;");    // missing: default

    EXPECT_EQ(Loaded("[Settings]\nPaneFontPoint=203\n").paneFontPoint, 200);
    EXPECT_EQ(Loaded("[Settings]\nPaneFontPoint=0\n").paneFontPoint, 90);
    EXPECT_EQ(SlotText(Loaded("").para.TitleDemi), u"|");
    EXPECT_EQ(Loaded("[Settings]\nCanParaSpcCnt=128\n").para.SpcCnt, 2);
}

TEST(SettingsRecordTest, SaveAndLoadKeepHistoriesAndTexts) {
    TempDir dir;
    SettingsRecord record;
    ResetSettings(record);
    EXPECT_EQ(record.searchHistory,
              std::vector<std::u16string>{std::u16string(kSearchHistorySeed)});
    for (const char16_t* path : {u"/a.dat", u"/b.dat", u"/c.dat"}) {
        AddToHistory(record.recentFiles, path);
    }
    CopyToSlot(record.para.TitleDemi, u" ;");
    record.divideOutDir = u"/出力";
    IniSettingsStore store;
    ASSERT_TRUE(SaveSettings(record, store));
    uint32_t error = 0;
    ASSERT_TRUE(store.Save(dir.File("s.ini"), error));

    IniSettingsStore read;
    ASSERT_TRUE(read.Load(dir.File("s.ini"), error));
    std::u16string text;
    ASSERT_TRUE(read.GetString("LogFileMruList_09", text));
    EXPECT_EQ(text, u"");
    SettingsRecord back;
    ResetSettings(back);
    LoadSettings(back, read);
    EXPECT_EQ(back.recentFiles, (std::vector<std::u16string>{u"/c.dat", u"/b.dat", u"/a.dat"}));
    EXPECT_EQ(back.searchHistory, record.searchHistory);
    EXPECT_EQ(SlotText(back.para.TitleDemi), u";");  // trimmed on load
    EXPECT_EQ(back.divideOutDir, u"/出力");
    EXPECT_FALSE(read.Load(dir.File("none.ini"), error));
    EXPECT_EQ(error, 2u);
}

TEST(SettingsRecordTest, HistoryRuleAndBlockOrder) {
    std::vector<std::u16string> list;
    for (int i = 0; i < 11; ++i) {
        AddToHistory(list, u"t" + std::u16string(1, static_cast<char16_t>(u'a' + i)));
    }
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list.front(), u"tk");
    EXPECT_EQ(list.back(), u"tb");
    AddToHistory(list, u"TC");  // equal but for ASCII case: replaced and moved to the head
    EXPECT_EQ(list.size(), 10u);
    EXPECT_EQ(list.front(), u"TC");

    CanPara para;
    ResetPara(para);
    CopyToSlot(para.BlockDef[0], u";A;2");
    CopyToSlot(para.BlockDef[2], u"t12s2;C;0");
    int panes[kBlockCount];
    EXPECT_FALSE(CheckBlockDefOrder(para));
    PaneBlocksOf(para, panes);
    EXPECT_EQ(std::vector<int>(panes, panes + 4), (std::vector<int>{2, 1, 0, 3}));
    CopyToSlot(para.BlockDef[1], u"t6s2;B;7");
    EXPECT_TRUE(CheckBlockDefOrder(para));
    EXPECT_EQ(SlotText(para.BlockDef[0]), u";A;0");
    EXPECT_EQ(SlotText(para.BlockDef[1]), u"t6s2;B;1");
    PaneBlocksOf(para, panes);
    EXPECT_EQ(std::vector<int>(panes, panes + 4), (std::vector<int>{0, 1, 2, 3}));
}

TEST(SettingsRecordTest, HistoryWithItsMenuOrBox) {
    std::vector<std::u16string> list = {u"a", u"", u"b"};
    std::vector<std::u16string> shown;
    const auto refill = [&] {
        shown = list;
        return true;
    };
    // An empty text changes nothing but still refills; no text only refills.
    EXPECT_EQ(AddToHistory(list, std::u16string_view(), refill), 3);
    EXPECT_EQ(AddToHistory(list, std::nullopt, refill), 3);
    EXPECT_EQ(AddToHistory(list, std::u16string_view(u"B"), refill), 2);
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"B", u"a"}));
    // A target that cannot be refilled empties the list.
    EXPECT_EQ(AddToHistory(list, std::u16string_view(u"c"), [] { return false; }), -2);
    EXPECT_TRUE(list.empty());
}

TEST(SettingsRecordTest, PaneOrderIsWrittenIntoTheDefinitions) {
    CanPara para;
    ResetPara(para);
    CopyToSlot(para.BlockDef[0], u"t1;A;0");
    CopyToSlot(para.BlockDef[1], u"B");  // no ';' at all
    CopyToSlot(para.BlockDef[2], u";C;2");
    CopyToSlot(para.BlockDef[3], u";D;3");
    const int panes[kBlockCount] = {2, 1, 0, 3};
    WritePaneOrder(para, panes);
    EXPECT_EQ(SlotText(para.BlockDef[0]), u"t1;A;2");
    EXPECT_EQ(SlotText(para.BlockDef[1]), u"B;;1");
    EXPECT_EQ(SlotText(para.BlockDef[2]), u";C;0");
    EXPECT_EQ(SlotText(para.BlockDef[3]), u";D;3");
    int back[kBlockCount];
    PaneBlocksOf(para, back);
    EXPECT_EQ(std::vector<int>(back, back + 4), (std::vector<int>{2, 1, 0, 3}));
}

}  // namespace
}  // namespace tessary::test
