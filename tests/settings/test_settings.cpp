#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <filesystem>
#include <fstream>

#include "settings/BlockOrder.h"
#include "settings/QtSettingsStore.h"
#include "settings/SettingsRecord.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

constexpr uint32_t kVersion035 = 0x00030500;

// Every value that SaveSettings writes, in its order.
std::vector<std::string> SaveList() {
    std::vector<std::string> names = {"RestoreShowCmd",   "RestoreWndLeft",   "RestoreWndTop",
                                      "RestoreWndRight",  "RestoreWndBottom", "RestoreSumShowCmd",
                                      "RestoreSumLeft",   "RestoreSumTop",    "RestoreSumRight",
                                      "RestoreSumBottom", "PaneFontPoint"};
    char name[40];
    for (const char* family : {"LogFileMruList", "FindTextMruList"}) {
        for (int i = 0; i <= 9; ++i) {
            std::snprintf(name, sizeof name, "%s_%02d", family, i);
            names.push_back(name);
        }
    }
    for (const char* value : {"CanParaFlag", "CanParaSpcCnt", "CanParaTabLen", "CanParaBlockLen"}) {
        names.push_back(value);
    }
    for (int i = 0; i <= 14; ++i) {
        std::snprintf(name, sizeof name, "CanParaColText_%02d", i);
        names.push_back(name);
        std::snprintf(name, sizeof name, "CanParaColBack_%02d", i);
        names.push_back(name);
    }
    names.push_back("CanParaTitleDemi");
    for (int i = 0; i <= 3; ++i) {
        std::snprintf(name, sizeof name, "CanParaBlockDef_%02d", i);
        names.push_back(name);
    }
    for (int i = 0; i <= 4; ++i) {
        std::snprintf(name, sizeof name, "CanParaMarkIfText_%02d", i);
        names.push_back(name);
    }
    names.push_back("DivideInpPath");
    names.push_back("DivideOutDir");
    for (const char* value : {"RestoreCallShowCmd", "RestoreCallLeft", "RestoreCallTop",
                              "RestoreCallRight", "RestoreCallBottom"}) {
        names.push_back(value);
    }
    return names;
}

// The load order: the save list with the histories read from 09 down to 00.
std::vector<std::string> LoadList() {
    std::vector<std::string> names = SaveList();
    std::reverse(names.begin() + 11, names.begin() + 21);
    std::reverse(names.begin() + 21, names.begin() + 31);
    return names;
}

// A store that only remembers which values were asked for and written.
class OrderStore : public SettingsStore {
public:
    mutable std::vector<std::string> read;
    std::vector<std::string> written;
    bool GetInt(std::string_view name, uint32_t&) const override {
        read.emplace_back(name);
        return false;
    }
    bool GetString(std::string_view name, std::u16string&) const override {
        read.emplace_back(name);
        return false;
    }
    bool SetInt(std::string_view name, uint32_t) override {
        written.emplace_back(name);
        return true;
    }
    bool SetString(std::string_view name, std::u16string_view) override {
        written.emplace_back(name);
        return true;
    }
};

// The user's stored settings live in a temporary folder for each test.
class StoredSettings : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        const QString root = QString::fromStdString(dir.Path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root);
    }

    std::string UserFile() const { return dir.File("Nemra/TessaryView.conf"); }

    // Writes the user's settings file as a person (or another version) left it.
    void WriteUserFile(const std::string& text) const {
        std::filesystem::create_directories(dir.File("Nemra"));
        std::ofstream(UserFile(), std::ios::binary) << text;
    }

    // A new main window's record loaded from the user's settings.
    SettingsRecord LoadUser() const {
        SettingsRecord record;
        ResetSettings(record);
        LoadSettings(record, *QtSettingsStore::OpenUser());
        return record;
    }

    // A new main window's record loaded from `ini` (the [Settings] group added).
    SettingsRecord LoadText(const std::string& name, const std::string& ini) const {
        std::ofstream(dir.File(name), std::ios::binary) << "[Settings]\n" << ini;
        uint32_t error = 0;
        const auto store = QtSettingsStore::OpenIni(dir.File(name), error);
        SettingsRecord record;
        ResetSettings(record);
        if (store != nullptr) {
            LoadSettings(record, *store);
        }
        return record;
    }
};

TEST_F(StoredSettings, StoreReadsNumbersAndTextsOfTheIniFormat) {
    std::ofstream(dir.File("s.ini"), std::ios::binary)
        << "\xEF\xBB\xBF[General]\nCanParaSpcCnt=9\n"
           "[Settings]\n"
           "Plain=abc def\n"
           "Quoted=\"  a;b,c=d  \"\n"
           "Escapes=\"x\\\\y\\n\\\"q\\\" \\x3042\\t\"\n"
           "Japanese=\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF\n"
           "Empty=\n"
           "List=a, b\n"
           "Bytes=@ByteArray(abc)\n"
           "CanParaFlag=4294967295\n"
           "Negative=-2\n"
           "Spaced= 12 \n"
           "NotNumber=12x\n"
           "TooLarge=4294967296\n";
    uint32_t error = 99;
    const auto store = QtSettingsStore::OpenIni(dir.File("s.ini"), error);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(error, 0u);
    std::u16string text;
    ASSERT_TRUE(store->GetString("Plain", text));
    EXPECT_EQ(text, u"abc def");
    ASSERT_TRUE(store->GetString("Quoted", text));
    EXPECT_EQ(text, u"  a;b,c=d  ");
    ASSERT_TRUE(store->GetString("Escapes", text));
    EXPECT_EQ(text, u"x\\y\n\"q\" \u3042\t");
    ASSERT_TRUE(store->GetString("Japanese", text));
    EXPECT_EQ(text, u"ＭＳ ゴシック");
    ASSERT_TRUE(store->GetString("Empty", text));
    EXPECT_EQ(text, u"");
    // A list or a typed value is not a text: the caller keeps its default.
    EXPECT_FALSE(store->GetString("List", text));
    EXPECT_FALSE(store->GetString("Bytes", text));
    EXPECT_FALSE(store->GetString("CanParaSpcCnt", text));  // another group
    EXPECT_FALSE(store->GetString("Missing", text));

    uint32_t value = 0;
    ASSERT_TRUE(store->GetInt("CanParaFlag", value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    ASSERT_TRUE(store->GetInt("Negative", value));
    EXPECT_EQ(value, 0xFFFFFFFEu);
    ASSERT_TRUE(store->GetInt("Spaced", value));
    EXPECT_EQ(value, 12u);
    value = 7;
    EXPECT_FALSE(store->GetInt("NotNumber", value));
    EXPECT_FALSE(store->GetInt("TooLarge", value));
    EXPECT_FALSE(store->GetInt("Plain", value));
    EXPECT_FALSE(store->GetInt("List", value));
    EXPECT_FALSE(store->GetInt("Bytes", value));
    EXPECT_FALSE(store->GetInt("Missing", value));
    EXPECT_EQ(value, 7u);
}

TEST_F(StoredSettings, StoreWritesWhatItReadsBack) {
    {
        uint32_t error = 0;
        std::ofstream(dir.File("w.ini"), std::ios::binary) << "[Other]\nKeep=1\n";
        const auto store = QtSettingsStore::OpenIni(dir.File("w.ini"), error);
        ASSERT_NE(store, nullptr);
        for (const std::u16string& text :
             {std::u16string(u" lead"), std::u16string(u"trail "), std::u16string(u"a;b, c"),
              std::u16string(u"@x"), std::u16string(u"q\"\\\n\t\r"),
              std::u16string(u"Ａ  TX  局 ←"), std::u16string(u"\x01BC"), std::u16string()}) {
            ASSERT_TRUE(store->SetString("Text", text));
            std::u16string back;
            ASSERT_TRUE(store->GetString("Text", back));
            EXPECT_EQ(back, text) << Utf8(text);
        }
        ASSERT_TRUE(store->SetString("Text", u"a, b"));
        ASSERT_TRUE(store->SetInt("Minus", 0xFFFFFFECu));
        ASSERT_TRUE(store->SetInt("Colour", 0xFFFFFFFFu));
        ASSERT_TRUE(store->SetInt("Big", 0x80000000u));
        ASSERT_TRUE(store->Sync());
    }
    // Read back from the file by another store.
    uint32_t error = 0;
    const auto store = QtSettingsStore::OpenIni(dir.File("w.ini"), error);
    ASSERT_NE(store, nullptr);
    std::u16string text;
    ASSERT_TRUE(store->GetString("Text", text));
    EXPECT_EQ(text, u"a, b");
    uint32_t value = 0;
    ASSERT_TRUE(store->GetInt("Minus", value));
    EXPECT_EQ(value, 0xFFFFFFECu);
    ASSERT_TRUE(store->GetInt("Colour", value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    ASSERT_TRUE(store->GetInt("Big", value));
    EXPECT_EQ(value, 0x80000000u);
    // Numbers as signed 32-bit integers; the other group is left alone.
    const QSettings file(QString::fromStdString(dir.File("w.ini")), QSettings::IniFormat);
    EXPECT_EQ(file.value("Settings/Minus").toString(), QStringLiteral("-20"));
    EXPECT_EQ(file.value("Settings/Colour").toString(), QStringLiteral("-1"));
    EXPECT_EQ(file.value("Other/Keep").toString(), QStringLiteral("1"));
}

TEST_F(StoredSettings, UnreadableIniFileIsReported) {
    uint32_t error = 0;
    EXPECT_EQ(QtSettingsStore::OpenIni(dir.File("none.ini"), error), nullptr);
    EXPECT_EQ(error, 2u);
    EXPECT_EQ(QtSettingsStore::OpenIni(dir.File("no/such/folder.ini"), error), nullptr);
    EXPECT_EQ(error, 3u);
}

TEST_F(StoredSettings, FirstRunWritesEveryValueOfTheSaveList) {
    {
        const auto store = QtSettingsStore::OpenUser();
        SettingsRecord record;
        ResetSettings(record);
        EXPECT_TRUE(StampProgramVersion(*store, kVersion035));
        LoadSettings(record, *store);
        ASSERT_TRUE(SaveSettings(record, *store));
        ASSERT_TRUE(store->Sync());
        EXPECT_EQ(store->Location(), UserFile());
    }
    ASSERT_TRUE(std::filesystem::exists(UserFile()));
    QSettings file(QString::fromStdString(UserFile()), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Settings"));
    QStringList expected;
    for (const std::string& name : SaveList()) {
        expected << QString::fromStdString(name);
    }
    expected << QStringLiteral("_ProgVer");
    QStringList keys = file.childKeys();
    keys.sort();
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(file.value("_ProgVer").toString(), QString::number(0x00030500));
    EXPECT_EQ(file.value("PaneFontPoint").toString(), QStringLiteral("90"));
    EXPECT_EQ(file.value("RestoreShowCmd").toString(), QStringLiteral("1"));
    EXPECT_EQ(file.value("CanParaTitleDemi").toString(), QStringLiteral("|"));
    EXPECT_EQ(file.value("FindTextMruList_00").toString(),
              QString::fromStdU16String(std::u16string(kSearchHistorySeed)));
    for (int i = 0; i <= 9; ++i) {
        const QString recent = QStringLiteral("LogFileMruList_%1").arg(i, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(file.value(recent).typeId(), QMetaType::QString) << recent.toStdString();
        EXPECT_EQ(file.value(recent).toString(), QString()) << recent.toStdString();
    }
    EXPECT_EQ(file.value("FindTextMruList_01").toString(), QString());
}

TEST_F(StoredSettings, ProgramVersionIsWrittenAtStartOnlyWhenItDiffers) {
    WriteUserFile("[Settings]\n_ProgVer=66816\nPaneFontPoint=120\nOther=kept\n");
    {
        const auto store = QtSettingsStore::OpenUser();
        EXPECT_TRUE(StampProgramVersion(*store, kVersion035));
        EXPECT_FALSE(StampProgramVersion(*store, kVersion035));
        ASSERT_TRUE(store->Sync());
    }
    {
        const auto store = QtSettingsStore::OpenUser();
        uint32_t stored = 0;
        ASSERT_TRUE(store->GetInt(kProgramVersionValue, stored));
        EXPECT_EQ(stored, kVersion035);
        EXPECT_FALSE(StampProgramVersion(*store, kVersion035));
        // Saving at exit leaves it alone, and deletes nothing.
        ASSERT_TRUE(store->SetInt(kProgramVersionValue, 1));
        SettingsRecord record;
        ResetSettings(record);
        LoadSettings(record, *store);
        EXPECT_EQ(record.paneFontPoint, 120);
        ASSERT_TRUE(SaveSettings(record, *store));
        ASSERT_TRUE(store->Sync());
    }
    const QSettings file(QString::fromStdString(UserFile()), QSettings::IniFormat);
    EXPECT_EQ(file.value("Settings/_ProgVer").toString(), QStringLiteral("1"));
    EXPECT_EQ(file.value("Settings/Other").toString(), QStringLiteral("kept"));
}

TEST_F(StoredSettings, LoadKeepsValuesInTheirRanges) {
    WriteUserFile(
        "[Settings]\nPaneFontPoint=97\nRestoreShowCmd=2\nRestoreSumShowCmd=3\n"
        "RestoreWndLeft=-20\nRestoreWndTop=4294967291\nRestoreSumBottom=x\n"
        "CanParaFlag=4294967295\nCanParaSpcCnt=0\nCanParaTabLen=128\n"
        "CanParaBlockLen=127\nCanParaTitleDemi=\"   \"\nCanParaColText_14=-1\n"
        "CanParaColBack_00=305419896\n"
        "CanParaBlockDef_01=\"  t1;Ｂ;1  \"\nCanParaMarkIfText_02=\" #;x;\"\n"
        "DivideInpPath=\"  /in/a.dat \"\nDivideOutDir=/out\n");
    const SettingsRecord record = LoadUser();
    EXPECT_EQ(record.paneFontPoint, 95);
    EXPECT_EQ(record.mainWindow.showCmd, kShowNormal);
    EXPECT_EQ(record.summaryWindow.showCmd, kShowMaximized);
    EXPECT_EQ(record.mainWindow.left, -20);
    EXPECT_EQ(record.mainWindow.top, -5);
    EXPECT_EQ(record.summaryWindow.bottom, 0);  // not a number: the default
    EXPECT_EQ(FlagWord(record.para), 0x303u);
    EXPECT_EQ(record.para.SpcCnt, 2);
    EXPECT_EQ(record.para.TabLen, 8);
    EXPECT_EQ(record.para.BlockLen, 127);
    EXPECT_EQ(SlotText(record.para.TitleDemi), u"");
    EXPECT_EQ(record.para.Color[14].text, kKeepColor);
    EXPECT_EQ(record.para.Color[0].back, 0x12345678u);
    EXPECT_EQ(SlotText(record.para.BlockDef[1]), u"t1;Ｂ;1");
    EXPECT_EQ(SlotText(record.para.MarkIfText[2]), u" #;x;");  // not trimmed
    EXPECT_EQ(SlotText(record.para.MarkIfText[0]), u"@;;");    // missing: the default
    EXPECT_EQ(record.divideInpPath, u"/in/a.dat");
    EXPECT_EQ(record.divideOutDir, u"/out");

    EXPECT_EQ(LoadText("a.ini", "PaneFontPoint=203\n").paneFontPoint, 200);
    EXPECT_EQ(LoadText("b.ini", "PaneFontPoint=0\n").paneFontPoint, 90);
    EXPECT_EQ(LoadText("c.ini", "PaneFontPoint=-3\n").paneFontPoint, 90);
    EXPECT_EQ(LoadText("d.ini", "PaneFontPoint=big\n").paneFontPoint, 90);
    EXPECT_EQ(LoadText("e.ini", "RestoreShowCmd=0\n").mainWindow.showCmd, kShowNormal);
    EXPECT_EQ(LoadText("f.ini", "CanParaFlag=2\n").para.Flag[0], 2);
    EXPECT_EQ(LoadText("g.ini", "CanParaSpcCnt=128\n").para.SpcCnt, 2);
    EXPECT_EQ(LoadText("h.ini", "CanParaSpcCnt=1\n").para.SpcCnt, 1);
    EXPECT_EQ(LoadText("i.ini", "CanParaBlockLen=0\n").para.BlockLen, 48);
    EXPECT_EQ(SlotText(LoadText("j.ini", "").para.TitleDemi), u"|");
}

TEST_F(StoredSettings, LongTextsAreCutAtTheirLengths) {
    const std::string title(20, 'T');
    const std::string definition(200, 'D');
    const std::string rule(100, 'R');
    const SettingsRecord record = LoadText(
        "long.ini", "CanParaTitleDemi=\" " + title + "\"\nCanParaBlockDef_03=" + definition +
                        "\nCanParaMarkIfText_04=\" " + rule + "\"\n");
    EXPECT_EQ(SlotText(record.para.TitleDemi), std::u16string(15, u'T'));
    EXPECT_EQ(SlotText(record.para.BlockDef[3]), std::u16string(128, u'D'));
    EXPECT_EQ(SlotText(record.para.MarkIfText[4]), u" " + std::u16string(79, u'R'));
}

TEST_F(StoredSettings, HistoriesSaveNewestFirstAndLoadInTheSameOrder) {
    SettingsRecord record;
    ResetSettings(record);
    EXPECT_EQ(record.searchHistory,
              std::vector<std::u16string>{std::u16string(kSearchHistorySeed)});
    for (const char16_t* path : {u"/a.dat", u"/b.dat", u"/ログ c.dat"}) {
        AddToHistory(record.recentFiles, path);
    }
    for (const char16_t* text : {u"<SETUP>", u"TM=,x"}) {
        AddToHistory(record.searchHistory, text);
    }
    CopyToSlot(record.para.TitleDemi, u" ;");
    record.divideOutDir = u"/出力";
    {
        const auto store = QtSettingsStore::OpenUser();
        ASSERT_TRUE(SaveSettings(record, *store));
        ASSERT_TRUE(store->Sync());
    }
    const QSettings file(QString::fromStdString(UserFile()), QSettings::IniFormat);
    EXPECT_EQ(file.value("Settings/LogFileMruList_00").toString(), QStringLiteral("/ログ c.dat"));
    EXPECT_EQ(file.value("Settings/LogFileMruList_01").toString(), QStringLiteral("/b.dat"));
    EXPECT_EQ(file.value("Settings/LogFileMruList_02").toString(), QStringLiteral("/a.dat"));
    for (int i = 3; i <= 9; ++i) {
        const QString key =
            QStringLiteral("Settings/LogFileMruList_%1").arg(i, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(file.value(key).typeId(), QMetaType::QString) << key.toStdString();
        EXPECT_EQ(file.value(key).toString(), QString()) << key.toStdString();
    }
    EXPECT_EQ(file.value("Settings/FindTextMruList_00").toString(), QStringLiteral("TM=,x"));

    const SettingsRecord back = LoadUser();
    EXPECT_EQ(back.recentFiles,
              (std::vector<std::u16string>{u"/ログ c.dat", u"/b.dat", u"/a.dat"}));
    EXPECT_EQ(back.searchHistory, record.searchHistory);
    EXPECT_EQ(SlotText(back.para.TitleDemi), u";");  // trimmed on load
    EXPECT_EQ(back.divideOutDir, u"/出力");
}

TEST_F(StoredSettings, HistoriesLoadThroughTheHistoryRule) {
    WriteUserFile(
        "[Settings]\nLogFileMruList_00=/a.dat\nLogFileMruList_01=/A.DAT\n"
        "LogFileMruList_04=\"  /b.dat  \"\nLogFileMruList_06=\"   \"\nLogFileMruList_09=/c.dat\n"
        "FindTextMruList_00=x\n");
    const SettingsRecord record = LoadUser();
    // 09 first, 00 last and so newest; a blank entry skipped; /A.DAT replaced by /a.dat.
    EXPECT_EQ(record.recentFiles, (std::vector<std::u16string>{u"/a.dat", u"/b.dat", u"/c.dat"}));
    // A new window's seed stays behind what was stored.
    EXPECT_EQ(record.searchHistory,
              (std::vector<std::u16string>{u"x", std::u16string(kSearchHistorySeed)}));
}

TEST(SettingsRecordTest, ValuesAreReadAndWrittenInTheirOrder) {
    OrderStore store;
    SettingsRecord record;
    ResetSettings(record);
    LoadSettings(record, store);
    EXPECT_EQ(store.read, LoadList());
    EXPECT_TRUE(SaveSettings(record, store));
    EXPECT_EQ(store.written, SaveList());
    store.read.clear();
    store.written.clear();
    EXPECT_TRUE(StampProgramVersion(store, kVersion035));
    EXPECT_EQ(store.read, std::vector<std::string>{"_ProgVer"});
    EXPECT_EQ(store.written, std::vector<std::string>{"_ProgVer"});
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
