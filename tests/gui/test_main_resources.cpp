// The resource tables and the texts derived from them.
#include <QTest>
#include <set>

#include "GuiTestRegistry.h"
#include "platform/FileFilter.h"
#include "platform/QtText.h"
#include "resources/Accelerators.h"
#include "resources/DialogTables.h"
#include "resources/MenuTables.h"
#include "resources/MenuText.h"
#include "resources/ResourceIds.h"
#include "resources/Version.h"

namespace tessary::test {

class MainResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void TooltipsFromMenuTexts() {
        QCOMPARE(ToQString(res::TooltipFromMenuText(u"現在の選択行を表示(&S)\tF9")),
                 QStringLiteral("現在の選択行を表示 F9"));
        QCOMPARE(ToQString(res::TooltipFromMenuText(
                     u"検索文字列と一致した情報を集約して表示する(&M)...")),
                 QStringLiteral("検索文字列と一致した情報を集約して表示する"));
        QCOMPARE(ToQString(res::TooltipFromMenuText(u"ログファイル再読み込み\tF2")),
                 QStringLiteral("ログファイル再読み込み F2"));
        QCOMPARE(ToQString(res::TooltipFromMenuText(u"前(上方向)を検索(&P)\tShift+F3")),
                 QStringLiteral("前 Shift+F3"));
        QCOMPARE(ToQString(res::TooltipFromMenuText(u"ORの例: <Warning> | <規定外>")),
                 QStringLiteral("<Warning> | <規定外>"));
        QCOMPARE(ToQString(res::TooltipFromMenuText(u"a)b(c")), QStringLiteral("a)b(c"));
        QCOMPARE(ToQString(res::TooltipFromMenuText(u"x)y(z)w")), QStringLiteral("x)y"));
        QCOMPARE(ToQString(res::SampleFromMenuText(u"ANDの例: <呼設定> <CH=01>")),
                 QStringLiteral("<呼設定> <CH=01>"));
        QCOMPARE(ToQString(res::SampleFromMenuText(u"no colon ")), QStringLiteral("no colon"));
    }

    void FontSizes() {
        QCOMPARE(ToQString(res::FontSizeText(90)), QStringLiteral("9.0"));
        QCOMPARE(ToQString(res::FontSizeText(195)), QStringLiteral("19.5"));
        QCOMPARE(res::FontSizeValue(u"19.5"), 195);
        QCOMPARE(res::FontSizeValue(u"9.0"), 90);
        QCOMPARE(res::FontSizeValue(u"x"), -1);
        QCOMPARE(res::FontSizeValue(u""), -1);
    }

    void VersionValues() {
        QCOMPARE(res::ParseFileVersion(u"0.3.5.0"), 0x00030500u);
        QCOMPARE(res::ParseFileVersion(u"1,2,3,4"), 0x01020304u);
        QCOMPARE(res::ParseFileVersion(u"v1.x2"), 0x0102u);
        QCOMPARE(res::ParseFileVersion(u""), 0u);
        const res::VersionStrings& version = res::ProgramVersion();
        QVERIFY(res::ParseFileVersion(version.fileVersion) != 0);
        QCOMPARE(ToQString(version.fileVersion).count(QLatin1Char('.')), 3);
        QCOMPARE(ToQString(version.originalFilename), QStringLiteral("TessaryView.exe"));
        QCOMPARE(ToQString(res::ProfileName(version.originalFilename)),
                 QStringLiteral("TessaryView"));
        QCOMPARE(ToQString(res::ProfileName(u"a.b.c")), QStringLiteral("a.b"));
        QCOMPARE(ToQString(res::ProfileName(u"plain")), QStringLiteral("plain"));
        QVERIFY(!version.fileDescription.empty());
        QVERIFY(!version.legalCopyright.empty());
    }

    void FileFilter() {
        const auto filters =
            ParseFileFilter(u"INS ログファイル (*.dat)|*.dat|すべてのファイル (*.*)|*.*||");
        QCOMPARE(filters.size(), size_t(2));
        QCOMPARE(ToQString(filters[0].label), QStringLiteral("INS ログファイル (*.dat)"));
        QCOMPARE(ToQString(filters[0].patterns), QStringLiteral("*.dat"));
        QCOMPARE(ToQString(filters[1].patterns), QStringLiteral("*.*"));
        QCOMPARE(ParseFileFilter(u"").size(), size_t(0));
        QCOMPARE(ParseFileFilter(u"only label").size(), size_t(0));
        QCOMPARE(ParseFileFilter(u"a|b").size(), size_t(1));
    }

    void MenusAreBalancedAndHoldEveryCommand() {
        for (int menu : {res::kMenuMain, res::kMenuSummary, res::kMenuContext}) {
            int depth = 0;
            for (const res::MenuEntry& entry : res::MenuTemplate(menu)) {
                depth += entry.kind == res::MenuEntryKind::kPopup;
                depth -= entry.kind == res::MenuEntryKind::kEnd;
                QVERIFY(depth >= 0);
                if (entry.kind == res::MenuEntryKind::kItem) {
                    QVERIFY(entry.id != 0);
                    QVERIFY(!entry.text.empty());
                }
            }
            QCOMPARE(depth, 0);
        }
        QVERIFY(res::MenuTemplate(999).empty());
        const std::set<int> mainIds = {16,    57601, 32770, 57603, 32771, 32772, 57665,
                                       32773, 32774, 32790, 32791, 32792, 32793, 32794,
                                       32795, 32796, 32800, 32821, 32822, 32853, 32854,
                                       32855, 32856, 32857, 34010, 34011};
        for (int id : mainIds) {
            QVERIFY2(!res::MenuItemText(res::kMenuMain, id).empty(),
                     qPrintable(QString::number(id)));
        }
        QCOMPARE(ToQString(res::MenuItemText(res::kMenuMain, 32796)),
                 QStringLiteral("検索履歴を全て削除する(&D)..."));
        QCOMPARE(ToQString(res::MenuItemText(res::kMenuMain, 32857)),
                 QStringLiteral("レイヤ2の<RR>を表示しない(&R)"));
        QCOMPARE(ToQString(res::MenuItemText(res::kMenuSummary, 32820)),
                 QStringLiteral("閉じる(&C)\tAlt+F4"));
        for (int id : {34000, 34001, 34002, 34011, 34012, 34013, 34014, 32774}) {
            QVERIFY(!res::MenuItemText(res::kMenuContext, id).empty());
        }
        QCOMPARE(ToQString(res::MenuItemText(res::kMenuContext, 34002)),
                 QStringLiteral("現在行のログデータ日時%sを補正..."));
    }

    void AcceleratorTable() {
        const auto table = res::AcceleratorTable(res::kAcceleratorMain);
        std::set<int> commands;
        std::set<std::pair<int, int>> keys;
        for (const res::Accelerator& entry : table) {
            commands.insert(entry.command);
            QVERIFY(keys.insert({entry.key, entry.modifiers}).second);
        }
        QCOMPARE(commands, (std::set<int>{57601, 32770, 32791, 32774, 32792, 32793, 34010, 34011,
                                          32821, 32790, 32797}));
        QVERIFY(res::AcceleratorTable(1).empty());
    }

    void DialogTemplates() {
        const res::DialogTemplate* main = res::FindDialogTemplate(res::kIddMain);
        QVERIFY(main != nullptr);
        QCOMPARE(ToQString(main->caption), QStringLiteral("INSログデータ表示"));
        for (int id : {1110, 1111, 1112, 1113, 1114, 1115, 1116, 1117, 1118, 1120, 1121, 1122, 1123,
                       1130, 1131}) {
            QVERIFY(res::FindDialogControl(*main, id) != nullptr);
        }
        QCOMPARE(ToQString(res::FindDialogControl(*main, 1131)->text),
                 QStringLiteral("(IDC_LBLPANEFRAME)"));
        const res::DialogTemplate* progress = res::FindDialogTemplate(res::kIddProgress);
        QVERIFY(progress != nullptr);
        QCOMPARE(progress->cx, 231);
        QCOMPARE(progress->cy, 82);
        QCOMPARE(ToQString(res::FindDialogControl(*progress, 1204)->text),
                 QStringLiteral("中止(&S)"));
        QVERIFY(res::FindDialogTemplate(1) == nullptr);
    }
};

TESSARY_GUI_TEST(MainResourcesTest);

}  // namespace tessary::test

#include "test_main_resources.moc"
