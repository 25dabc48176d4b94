// The main window's search, search history and clipboard copies as a person drives them: typing
// into the search box and pressing Enter, F3 / Shift+F3 and the arrow buttons, the Search menu,
// right clicks on the panes and the items of their context menu; and a screenshot of a search.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <vector>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "decode/CanPara.h"
#include "display/CPaneWnd.h"
#include "display/DisplaySource.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CopyText.h"
#include "mainwnd/SearchRule.h"
#include "mainwnd/SearchScan.h"
#include "platform/DigitGroup.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

const QString kSeed = QStringLiteral("<Warning> | <規定外> | <対象外> | <CRCエラー>");
const QString kNotFound = QStringLiteral("検索条件に一致する文字列は見つかりません");
const QString kCopyItem = QStringLiteral("選択行から、現在行までの表示内容%1をコピー");

QString Id7(uint32_t id) {
    return QStringLiteral("%1").arg(id, 7, 10, QLatin1Char('0'));
}

QString RangeItemText(uint32_t startId, uint32_t endId) {
    return kCopyItem.arg(startId == endId
                             ? QStringLiteral("(ID=%1)").arg(Id7(startId))
                             : QStringLiteral("(ID=%1 ～ %2)").arg(Id7(startId), Id7(endId)));
}

QString CopyDoneText(uint32_t startId, uint32_t endId) {
    return startId == endId
               ? QStringLiteral("表示内容コピー終了(ID=%1)").arg(Id7(startId))
               : QStringLiteral("表示内容コピー終了(ID=%1～%2)").arg(Id7(startId), Id7(endId));
}

QColor ColorOfRef(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

}  // namespace

class MainSearchCopyTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    QLineEdit* SearchEdit() { return m_window->SearchBox()->lineEdit(); }
    int32_t Selected() { return SelectedLine(Frame()); }

    // Replaces the search box's text by typing and presses Enter in it.
    void SearchFor(const QString& text) {
        TypeOver(SearchEdit(), text);
        QTest::keyClick(SearchEdit(), Qt::Key_Return);
    }

    // First lines of the messages whose text contains `word` (ASCII letters in any case), in
    // display order.
    std::vector<int32_t> MessagesWith(const QString& word) {
        std::vector<int32_t> lines;
        const DisplayLineTable& table = Frame().Table();
        int32_t lastRecord = -1;
        for (int32_t n = 1; n < table.LineCount(); ++n) {
            const DisplayLine* line = table.Line(n);
            const MessageRecord* record = table.RecordOf(line);
            if (record == nullptr || line->recordIndex == lastRecord) {
                continue;
            }
            lastRecord = line->recordIndex;
            if (ToQString(record->TextView()).contains(word, Qt::CaseInsensitive)) {
                lines.push_back(n - line->groupOffset);
            }
        }
        return lines;
    }

    // The message a search from the top visible line finds first.
    int32_t FirstWithFrom(const QString& word, int32_t top) {
        const DisplayLineTable& table = Frame().Table();
        for (int32_t n = top; n < table.LineCount(); ++n) {
            const DisplayLine* line = table.Line(n);
            const MessageRecord* record = table.RecordOf(line);
            if (record != nullptr &&
                ToQString(record->TextView()).contains(word, Qt::CaseInsensitive)) {
                return n - line->groupOffset;
            }
        }
        return -1;
    }

    int32_t TopVisibleLine() { return Frame().VerticalBar().Pos() / Frame().LineHeight() + 1; }

    // The first line of `line`'s message stands fully under the title row.
    bool InView(int32_t line) {
        const int lh = Frame().LineHeight();
        const int top = (line - 1) * lh - Frame().VerticalBar().Pos();
        return top >= 0 && top + lh <= Frame().Pane(0)->viewport()->height() - lh;
    }

    // The selected message has been painted with its hit cells.
    bool SelectionPainted() {
        const DisplayLine* line = Frame().SelectionLine();
        return line != nullptr && ShowsSearchHits(Frame().Table(), line->lineNumber);
    }

    // Any visible line that still carries a hit cell.
    bool VisibleHits() {
        const int32_t top = TopVisibleLine();
        const int32_t rows = Frame().Pane(0)->viewport()->height() / Frame().LineHeight();
        for (int32_t n = top; n < top + rows && n < Frame().LineCount(); ++n) {
            const DisplayLine* line = Frame().Line(n);
            const uint16_t* cells = line->Cells();
            for (int c = 0; c < line->cellCount; ++c) {
                if ((cells[c] & kCellHit) != 0) {
                    return true;
                }
            }
        }
        return false;
    }

    QStringList ComboItems() {
        QStringList items;
        for (int i = 0; i < Window().SearchBox()->count(); ++i) {
            items << Window().SearchBox()->itemText(i);
        }
        return items;
    }

    QStringList History() {
        QStringList items;
        for (const std::u16string& entry : Window().Settings().searchHistory) {
            items << ToQString(entry);
        }
        return items;
    }

    // A client y inside display line `n` after scrolling it into view without selecting it.
    int YOfLine(int32_t n, int offset = 1) {
        Frame().ShowLine(Frame().Line(n), false, false, false);
        return n * Frame().LineHeight() - Frame().VerticalBar().Pos() + offset;
    }

    // A left click on display line `n` (the selection moves to its message).
    void ClickLine(int32_t n) {
        CPaneWnd* pane = Frame().Pane(0);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, QPoint(20, YOfLine(n)));
    }

    // A right click on `pane` at `at`. While the context menu is open the item `choose` is
    // clicked (0, or a disabled item: the menu is closed); what the menu held goes to `visit`.
    bool RightClick(CPaneWnd* pane, const QPoint& at, int choose, MenuVisit* visit) {
        return RightClickMenu(pane, at, Window().ContextMenu(), choose, visit);
    }

    CopyParams WindowCopyParams(std::u16string& heading) {
        CopyParams params;
        params.para = &Window().Settings().para;
        for (int p = 0; p < kBlockCount; ++p) {
            params.paneBlocks[p] = Frame().Pane(p)->ShownBlock();
        }
        heading = Window().LoadedConverter()->LY1Legend(-1);
        params.heading = heading;
        return params;
    }

    // The text a copy of the range from selection line `s` to current line `l` gives.
    QString ExpectedCopy(int32_t s, int32_t l) {
        std::u16string heading;
        const CopyParams params = WindowCopyParams(heading);
        StringCopySink sink;
        const CopySpan span = CopySpanOf(Frame().Table(), s, l);
        if (BuildCopyText(Frame().Table(), span, params, sink) != kCopyDone) {
            return QStringLiteral("(no text)");
        }
        return ToQString(sink.Text());
    }

private slots:
    void init() {
        QVERIFY(StartWindow());
        QVERIFY(Activate());
    }

    void cleanup() { CloseWindow(); }

    void EnterF3AndTheArrowsFindAndWrap() {
        QVERIFY(Load(DemoLogPath()));
        const QString word = QStringLiteral("呼設定");
        const std::vector<int32_t> hits = MessagesWith(word);
        QVERIFY(hits.size() >= 4);
        // From a view scrolled down, the first match at or after the top line.
        const DisplayLine* head = Frame().Line(hits[0]);
        QVERIFY(Frame().ScrollAll(0, (hits[0] + head->groupSize) * Frame().LineHeight(), true));
        const int32_t top = TopVisibleLine();
        QVERIFY(top > hits[0]);
        const int32_t first = FirstWithFrom(word, top);
        const auto start = std::find(hits.begin(), hits.end(), first);
        QVERIFY(start != hits.end());
        size_t at = static_cast<size_t>(start - hits.begin());

        SearchFor(QStringLiteral("<呼設定>"));
        QCOMPARE(Selected(), hits[at]);
        QVERIFY(InView(hits[at]));
        const MessageRecord* record = Frame().Table().RecordOf(Frame().Line(hits[at]));
        QTRY_COMPARE(Edit(res::kIdcLineNumber)->text(),
                     ToQString(GroupedDecimal16(static_cast<uint64_t>(hits[at]))));
        QTRY_COMPARE(Edit(res::kIdcIndexNumber)->text(), Id7(record->Id));
        QVERIFY(Window().StatusText(0).isEmpty());
        QVERIFY(m_ui->messages.empty());
        QVERIFY(SearchEdit()->hasFocus());

        // Forward through every match, by F3 with the focus elsewhere and by the button in
        // turn, past the last back to the first.
        for (size_t presses = 0; presses <= hits.size(); presses += 2) {
            QTRY_VERIFY(SelectionPainted());
            QTest::mouseClick(Edit(res::kIdcLineNumber), Qt::LeftButton);
            QVERIFY(!SearchEdit()->hasFocus());
            QTest::keyClick(&Window(), Qt::Key_F3);
            at = (at + 1) % hits.size();
            QCOMPARE(Selected(), hits[at]);
            QVERIFY(InView(hits[at]));
            QVERIFY(SearchEdit()->hasFocus());
            QVERIFY(Window().StatusText(0).isEmpty());
            const MessageRecord* found = Frame().Table().RecordOf(Frame().Line(hits[at]));
            QTRY_COMPARE(Edit(res::kIdcIndexNumber)->text(), Id7(found->Id));

            QTRY_VERIFY(SelectionPainted());
            QTest::mouseClick(Button(res::kIdcFindNext), Qt::LeftButton);
            at = (at + 1) % hits.size();
            QCOMPARE(Selected(), hits[at]);
            QVERIFY(InView(hits[at]));
            QVERIFY(SearchEdit()->hasFocus());
            QVERIFY(Window().StatusText(0).isEmpty());
            found = Frame().Table().RecordOf(Frame().Line(hits[at]));
            QTRY_COMPARE(Edit(res::kIdcIndexNumber)->text(), Id7(found->Id));
        }

        // Back at the first match, a backward search wraps to the last.
        while (at != 0) {
            QTRY_VERIFY(SelectionPainted());
            QTest::keyClick(&Window(), Qt::Key_F3);
            at = (at + 1) % hits.size();
            QCOMPARE(Selected(), hits[at]);
        }
        QTRY_VERIFY(SelectionPainted());
        QTest::keyClick(&Window(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(Selected(), hits.back());
        QVERIFY(InView(hits.back()));
        QVERIFY(SearchEdit()->hasFocus());
        QTRY_VERIFY(SelectionPainted());
        QTest::mouseClick(Button(res::kIdcFindPrevious), Qt::LeftButton);
        QCOMPARE(Selected(), hits[hits.size() - 2]);
        QVERIFY(SearchEdit()->hasFocus());
        QTRY_VERIFY(SelectionPainted());
        QTest::mouseClick(Edit(res::kIdcIndexNumber), Qt::LeftButton);
        QTest::keyClick(&Window(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(Selected(), hits[hits.size() - 3]);
        QVERIFY(SearchEdit()->hasFocus());
        QTRY_COMPARE(Edit(res::kIdcLineNumber)->text(),
                     ToQString(GroupedDecimal16(static_cast<uint64_t>(hits[hits.size() - 3]))));
    }

    void ASingleMatchIsFoundAgain() {
        QVERIFY(Load(DemoLogPath()));
        struct Case {
            QString pattern;
            bool oneLine;
        };
        // A message of several lines, then one of a single line.
        for (const Case& c : {Case{QStringLiteral("ID=0000013"), false},
                              Case{QStringLiteral("ID=0000004"), true}}) {
            const std::vector<int32_t> hits = MessagesWith(c.pattern);
            QCOMPARE(hits.size(), size_t(1));
            QCOMPARE(Frame().Line(hits[0])->groupSize == 1, c.oneLine);
            SearchFor(c.pattern);
            QCOMPARE(Selected(), hits[0]);
            QVERIFY(InView(hits[0]));
            QTRY_VERIFY(SelectionPainted());
            const int barBefore = Frame().VerticalBar().Pos();
            QTest::keyClick(&Window(), Qt::Key_F3);
            QCOMPARE(Selected(), hits[0]);
            QVERIFY(Window().StatusText(0).isEmpty());
            QTRY_VERIFY(SelectionPainted());
            QTest::mouseClick(Button(res::kIdcFindNext), Qt::LeftButton);
            QCOMPARE(Selected(), hits[0]);
            QTRY_VERIFY(SelectionPainted());
            QTest::keyClick(&Window(), Qt::Key_F3, Qt::ShiftModifier);
            QCOMPARE(Selected(), hits[0]);
            QTRY_VERIFY(SelectionPainted());
            QTest::mouseClick(Button(res::kIdcFindPrevious), Qt::LeftButton);
            QCOMPARE(Selected(), hits[0]);
            QVERIFY(Window().StatusText(0).isEmpty());
            QCOMPARE(Frame().VerticalBar().Pos(), barBefore);
            QVERIFY(m_ui->messages.empty());
        }
    }

    void ANewTextRestartsAtTheSelectedMessage() {
        QVERIFY(Load(DemoLogPath()));
        const std::vector<int32_t> calls = MessagesWith(QStringLiteral("呼設定"));
        const std::vector<int32_t> channels = MessagesWith(QStringLiteral("CH=01"));
        QVERIFY(!calls.empty());
        // The first call set-up names channel 1 too.
        QCOMPARE(channels.front(), calls.front());
        QVERIFY(channels.size() >= 2);

        SearchFor(QStringLiteral("<呼設定>"));
        QCOMPARE(Selected(), calls.front());
        QTRY_VERIFY(SelectionPainted());
        // Another text that the selected message matches: found there, nothing moves.
        const int barBefore = Frame().VerticalBar().Pos();
        SearchFor(QStringLiteral("<CH=01>"));
        QCOMPARE(Selected(), channels.front());
        QCOMPARE(Frame().VerticalBar().Pos(), barBefore);
        QVERIFY(Window().StatusText(0).isEmpty());
        QTRY_VERIFY(SelectionPainted());
        // Only the letter case changed: the same search, so it goes on to the next message.
        SearchFor(QStringLiteral("<ch=01>"));
        QCOMPARE(Selected(), channels[1]);
        QVERIFY(InView(channels[1]));
    }

    void NoMatchAndABadPattern() {
        QVERIFY(Load(DemoLogPath()));
        SearchFor(QStringLiteral("<呼設定>"));
        const int32_t selected = Selected();
        QVERIFY(selected > 0);
        QTRY_VERIFY(SelectionPainted());

        SearchFor(QStringLiteral("<zzqqxx>"));
        QCOMPARE(Window().StatusText(0), kNotFound);
        QCOMPARE(Selected(), selected);
        QVERIFY(m_ui->messages.empty());
        QCOMPARE(Window().SearchBox()->itemText(0), QStringLiteral("<zzqqxx>"));
        // The next key press clears the message pane.
        QTest::keyClick(SearchEdit(), Qt::Key_End);
        QVERIFY(Window().StatusText(0).isEmpty());

        SearchFor(QStringLiteral("<呼設定>"));
        QCOMPARE(Selected(), selected);
        QTRY_VERIFY(SelectionPainted());
        QVERIFY(Window().Conditions()[kSearchSlot].HasWord());
        const QStringList historyBefore = History();

        SearchFor(QStringLiteral("<abc"));
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("検索失敗"));
        QCOMPARE(m_ui->messages[0].text, QStringLiteral("検索文字列形式が不正です。"));
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kOk);
        QCOMPARE(Selected(), selected);
        // The old highlight is gone from the rule and from the panes.
        QVERIFY(!Window().Conditions()[kSearchSlot].HasWord());
        QVERIFY(SearchRuleText(Window().Settings().para).empty());
        QTRY_VERIFY(!VisibleHits());
        // A text that does not compile is not remembered.
        QCOMPARE(History(), historyBefore);
        QCOMPARE(SearchEdit()->text(), QStringLiteral("<abc"));
    }

    void AHeldEnterDoesNotSearchAgain() {
        QVERIFY(Load(DemoLogPath()));
        const std::vector<int32_t> hits = MessagesWith(QStringLiteral("呼設定"));
        QVERIFY(hits.size() >= 2);
        SearchFor(QStringLiteral("<呼設定>"));
        QCOMPARE(Selected(), hits[0]);
        QTRY_VERIFY(SelectionPainted());
        for (int repeat = 0; repeat < 3; ++repeat) {
            QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                           true);
            QApplication::sendEvent(SearchEdit(), &held);
        }
        QCoreApplication::processEvents();
        QCOMPARE(Selected(), hits[0]);
        // A fresh press does.
        QTest::keyClick(SearchEdit(), Qt::Key_Return);
        QCOMPARE(Selected(), hits[1]);
    }

    void HistoryKeepsTheTenNewest() {
        // A new window starts with the first sample.
        QCOMPARE(ComboItems(), QStringList{kSeed});
        QCOMPARE(History(), QStringList{kSeed});
        QVERIFY(Load(DemoLogPath()));

        SearchFor(QStringLiteral("<CH=01>"));
        QCOMPARE(ComboItems(), (QStringList{QStringLiteral("<CH=01>"), kSeed}));
        QCOMPARE(History(), ComboItems());
        QCOMPARE(SearchEdit()->text(), QStringLiteral("<CH=01>"));
        // Only the letter case differs: the entry is replaced, at the head.
        SearchFor(QStringLiteral("<DISC>"));
        SearchFor(QStringLiteral("<ch=01>"));
        QCOMPARE(ComboItems(),
                 (QStringList{QStringLiteral("<ch=01>"), QStringLiteral("<DISC>"), kSeed}));
        QCOMPARE(History(), ComboItems());

        // Up to ten entries; the eleventh distinct text drops the oldest.
        QStringList expected = ComboItems();
        for (int i = 1; i <= 7; ++i) {
            const QString text = QStringLiteral("ID=%1").arg(Id7(static_cast<uint32_t>(i * 11)));
            SearchFor(text);
            expected.prepend(text);
        }
        QCOMPARE(expected.size(), 10);
        QCOMPARE(ComboItems(), expected);
        QCOMPARE(History(), expected);
        SearchFor(QStringLiteral("<SETUP>"));
        expected.prepend(QStringLiteral("<SETUP>"));
        expected.removeLast();
        QCOMPARE(ComboItems(), expected);
        QCOMPARE(History(), expected);
        QVERIFY(!ComboItems().contains(kSeed));

        // A text already in the full list moves to the head; all ten stay.
        SearchFor(QStringLiteral("<disc>"));
        expected.removeAll(QStringLiteral("<DISC>"));
        expected.prepend(QStringLiteral("<disc>"));
        QCOMPARE(expected.size(), 10);
        QCOMPARE(ComboItems(), expected);
        QCOMPARE(History(), expected);
        QCOMPARE(SearchEdit()->text(), QStringLiteral("<disc>"));
    }

    void WhatIsTypedIsWhatIsSearched() {
        // The history holds a longer text that begins with what is typed.
        QVERIFY(Load(DemoLogPath()));
        SearchFor(QStringLiteral("<Warning>"));
        QCOMPARE(SearchEdit()->text(), QStringLiteral("<Warning>"));
        QCOMPARE(ComboItems(), (QStringList{QStringLiteral("<Warning>"), kSeed}));
        QCOMPARE(ToQString(SearchRuleText(Window().Settings().para)), QStringLiteral("<Warning>"));
    }

    void ClearingTheHistoryAsksFirst() {
        QVERIFY(Load(DemoLogPath()));
        SearchFor(QStringLiteral("<呼設定>"));
        SearchFor(QStringLiteral("<CH=01>"));
        QTRY_VERIFY(SelectionPainted());
        const QStringList before = ComboItems();
        QCOMPARE(before.size(), 3);
        QAction* clear = Window().MenuAction(res::kCmdClearSearchHistory);
        QCOMPARE(clear->text(), QStringLiteral("検索履歴を全て削除する(&D)..."));

        // No: everything stays.
        clear->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text,
                 QStringLiteral("検索履歴文字列リストを全て削除します。\n\nよろしいですか？"));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("検索履歴文字列リスト削除確認"));
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kQuestion);
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kYesNo);
        QCOMPARE(ComboItems(), before);
        QCOMPARE(History(), before);
        QVERIFY(Window().Conditions()[kSearchSlot].HasWord());

        // Yes: the list goes, the typed text and the search definition stay, the highlight goes.
        m_ui->answers = {Answer::kYes};
        clear->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QCOMPARE(Window().SearchBox()->count(), 0);
        QVERIFY(History().isEmpty());
        QCOMPARE(SearchEdit()->text(), QStringLiteral("<CH=01>"));
        QVERIFY(!Window().Conditions()[kSearchSlot].HasWord());
        QCOMPARE(ToQString(SearchRuleText(Window().Settings().para)), QStringLiteral("<CH=01>"));
        QTRY_VERIFY(!VisibleHits());
        // The next search starts a new list.
        QTest::keyClick(SearchEdit(), Qt::Key_Return);
        QCOMPARE(ComboItems(), QStringList{QStringLiteral("<CH=01>")});
        QVERIFY(Window().Conditions()[kSearchSlot].HasWord());
    }

    void CtrlFAndTheSamplesFillTheSearchBox() {
        QVERIFY(Load(DemoLogPath()));
        QTest::mouseClick(Edit(res::kIdcLineNumber), Qt::LeftButton);
        QVERIFY(!SearchEdit()->hasFocus());
        QTest::keyClick(&Window(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(SearchEdit()->hasFocus());

        const int32_t selected = Selected();
        const QStringList history = History();
        struct Sample {
            int id;
            QString text;
        };
        const Sample samples[] = {
            {res::kCmdSampleOr, kSeed},
            {res::kCmdSampleAnd, QStringLiteral("<呼設定> <CH=01>")},
            {res::kCmdSampleFirst, QStringLiteral("00000 TM")},
        };
        for (const Sample& sample : samples) {
            QTest::mouseClick(Edit(res::kIdcIndexNumber), Qt::LeftButton);
            QVERIFY(!SearchEdit()->hasFocus());
            Window().MenuAction(sample.id)->trigger();
            QCOMPARE(SearchEdit()->text(), sample.text);
            QVERIFY(SearchEdit()->hasFocus());
            // Nothing is searched.
            QCOMPARE(Selected(), selected);
            QCOMPARE(History(), history);
            QVERIFY(!Window().Conditions()[kSearchSlot].HasWord());
            QVERIFY(Window().StatusText(0).isEmpty());
        }
        // The sample is searched once Enter is pressed.
        QTest::keyClick(SearchEdit(), Qt::Key_Return);
        QCOMPARE(History().front(), QStringLiteral("00000 TM"));
    }

    void OpeningAnotherFileDropsTheCompiledSearch() {
        QVERIFY(Load(DemoLogPath()));
        SearchFor(QStringLiteral("<呼設定>"));
        QVERIFY(Window().Conditions()[kSearchSlot].HasWord());
        const std::string other = m_dir->File("other.dat");
        QVERIFY(RunInsloggen("--seed 5 --records 400", other));
        m_ui->openPath = other;
        Window().MenuAction(res::kCmdOpen)->trigger();
        QVERIFY(Activate());
        QCOMPARE(Window().windowTitle(), QStringLiteral("other.dat - INSログデータ表示"));
        QVERIFY(!Window().Conditions()[kSearchSlot].HasWord());
        QCOMPARE(SearchEdit()->text(), QStringLiteral("<呼設定>"));
        QTRY_VERIFY(!VisibleHits());
        // Enter compiles it again.
        QTest::keyClick(SearchEdit(), Qt::Key_Return);
        QVERIFY(Window().Conditions()[kSearchSlot].HasWord());
        QVERIFY(Selected() > 0);
    }

    void CopyRangeOfOneMessageAndOfSeveral() {
        QVERIFY(Load(DemoLogPath()));
        const std::vector<int32_t> calls = MessagesWith(QStringLiteral("呼設定"));
        QVERIFY(calls.size() >= 3);
        const DisplayLineTable& table = Frame().Table();
        CPaneWnd* pane = Frame().Pane(1);

        // The current line is the selection line: that one message.
        const int32_t s = calls[1];
        ClickLine(s);
        QTRY_COMPARE(Selected(), s);
        const uint32_t id = table.RecordOf(Frame().Line(s))->Id;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        MenuVisit visit;
        QVERIFY(RightClick(pane, QPoint(30, YOfLine(s)), res::kCmdCopyRange, &visit));
        QVERIFY(visit.shown);
        QCOMPARE(Window().CurrentLine(), s);
        QCOMPARE(visit.TextOf(res::kCmdCopyRange), RangeItemText(id, id));
        QVERIFY(visit.EnabledOf(res::kCmdCopyRange));
        const QString one = QGuiApplication::clipboard()->text();
        QCOMPARE(one, ExpectedCopy(s, s));
        QCOMPARE(Window().StatusText(0), CopyDoneText(id, id));
        // Heading, four titles, the message's lines; every line ends with CR LF.
        const int32_t groupSize = Frame().Line(s)->groupSize;
        QCOMPARE(one.count(QStringLiteral("\r\n")), 1 + 4 + groupSize);
        QCOMPARE(one.count(QLatin1Char('\n')), one.count(QStringLiteral("\r\n")));
        QVERIFY(one.endsWith(QStringLiteral("\r\n")));
        QVERIFY(one.contains(QStringLiteral("ID=") + Id7(id)));

        // Down to a later message, from a line inside it.
        const int32_t later = calls[2] + 1;
        QCOMPARE(Frame().Line(later)->groupOffset, uint16_t(1));
        const uint32_t laterId = table.RecordOf(Frame().Line(later))->Id;
        visit = {};
        QVERIFY(RightClick(pane, QPoint(30, YOfLine(later)), res::kCmdCopyRange, &visit));
        QCOMPARE(visit.TextOf(res::kCmdCopyRange), RangeItemText(id, laterId));
        QCOMPARE(QGuiApplication::clipboard()->text(), ExpectedCopy(s, later));
        QCOMPARE(Window().StatusText(0), CopyDoneText(id, laterId));
        QVERIFY(
            QGuiApplication::clipboard()->text().contains(QStringLiteral("ID=") + Id7(laterId)));
        // Up to an earlier message.
        const int32_t earlier = calls[0];
        const uint32_t earlierId = table.RecordOf(Frame().Line(earlier))->Id;
        visit = {};
        QVERIFY(RightClick(pane, QPoint(30, YOfLine(earlier)), res::kCmdCopyRange, &visit));
        QCOMPARE(visit.TextOf(res::kCmdCopyRange), RangeItemText(earlierId, id));
        QCOMPARE(QGuiApplication::clipboard()->text(), ExpectedCopy(s, earlier));
        QCOMPARE(Window().StatusText(0), CopyDoneText(earlierId, id));
        QCOMPARE(Selected(), s);
    }

    void CopyOfTheWholeLogIsWhatTessarydumpPrints() {
        QVERIFY(Load(DemoLogPath()));
        const int32_t last = Frame().LineCount() - 1;
        ClickLine(1);
        QTRY_COMPARE(Selected(), 1);
        MenuVisit visit;
        QVERIFY(RightClick(Frame().Pane(0), QPoint(30, YOfLine(last)), res::kCmdCopyRange, &visit));
        QCOMPARE(Window().CurrentLine(), last);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, ExpectedCopy(1, last));

        // The command-line decoder with the settings of a new viewer prints the same text.
        QProcess dump;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           QString::fromStdString(m_dir->File("config")));
        dump.setProcessEnvironment(environment);
        dump.start(QStringLiteral(TESSARY_BINARY_DIR "/src/cli/tessarydump"),
                   {QStringLiteral("--crlf"), QString::fromStdString(DemoLogPath())});
        QVERIFY(dump.waitForFinished(60000));
        QCOMPARE(dump.exitStatus(), QProcess::NormalExit);
        QCOMPARE(dump.exitCode(), 0);
        const QString printed = QString::fromUtf8(dump.readAllStandardOutput());
        QCOMPARE(copied.size(), printed.size());
        QCOMPARE(copied, printed);
        const MessageRecord* first = Frame().Table().RecordOf(Frame().Line(1));
        const MessageRecord* end = Frame().Table().RecordOf(Frame().Line(last));
        QCOMPARE(Window().StatusText(0), CopyDoneText(first->Id, end->Id));
    }

    void CopyItemWithoutSelectionAndOffTheMessages() {
        // A short log: the panes reach past its last line.
        const std::string small = m_dir->File("small.dat");
        QVERIFY(RunInsloggen("--seed 3 --records 6", small));
        QVERIFY(Load(small));
        const int lh = Frame().LineHeight();
        const int32_t count = Frame().LineCount();
        QVERIFY(count > 3);
        QVERIFY((count + 2) * lh < Frame().Pane(0)->viewport()->height());
        CPaneWnd* pane = Frame().Pane(2);
        QCOMPARE(Selected(), 0);
        const QString emptyFill = kCopyItem.arg(QString());

        // The title row and below the last line: no range, nothing selected.
        for (const int y : {lh / 2, (count + 1) * lh + lh / 2}) {
            MenuVisit visit;
            QVERIFY(RightClick(pane, QPoint(30, y), res::kCmdCopyRange, &visit));
            QCOMPARE(visit.TextOf(res::kCmdCopyRange), emptyFill);
            QVERIFY(!visit.EnabledOf(res::kCmdCopyRange));
            QCOMPARE(Selected(), 0);
            QVERIFY(Edit(res::kIdcLineNumber)->text().isEmpty());
        }
        QVERIFY(Window().CurrentLine() >= count);

        // Without a selection line the current line's message becomes the selection.
        const DisplayLine* target = nullptr;
        for (int32_t n = count - 1; n >= 1 && target == nullptr; --n) {
            if (Frame().Line(n)->HasRecord() && Frame().Line(n)->groupSize > 1 &&
                Frame().Line(n)->groupOffset == 1) {
                target = Frame().Line(n);
            }
        }
        QVERIFY(target != nullptr);
        const int32_t head = target->lineNumber - 1;
        const uint32_t id = Frame().Table().RecordOf(target)->Id;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        MenuVisit visit;
        QVERIFY(RightClick(pane, QPoint(30, target->lineNumber * lh + 2), 0, &visit));
        QCOMPARE(visit.TextOf(res::kCmdCopyRange), RangeItemText(id, id));
        QVERIFY(visit.EnabledOf(res::kCmdCopyRange));
        QCOMPARE(Selected(), head);
        QTRY_COMPARE(Edit(res::kIdcLineNumber)->text(),
                     ToQString(GroupedDecimal16(static_cast<uint64_t>(head))));
        QCOMPARE(Edit(res::kIdcIndexNumber)->text(), Id7(id));
        // Only opening the menu copies nothing.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(Window().StatusText(0).isEmpty());
    }

    void ALargeRangeIsConfirmedBeyondOneHundredThousandLines() {
        const std::string big = m_dir->File("big.dat");
        QVERIFY(RunInsloggen("--seed 12 --records 40000", big));
        QVERIFY(Load(big));
        const DisplayLineTable& table = Frame().Table();
        QVERIFY(Frame().LineCount() > 100100);
        // Selection and current lines whose range spans `width` lines beyond the first.
        const auto pick = [&](int32_t width, int32_t* s, int32_t* l) {
            for (int32_t n = 1; n + width < table.LineCount(); ++n) {
                const DisplayLine* line = table.Line(n);
                if (!line->HasRecord() || line->groupOffset != 0) {
                    continue;
                }
                const CopySpan span = CopySpanOf(table, n, n + width);
                if (span.IsValid() && span.firstLine == n && span.lastLine == n + width) {
                    *s = n;
                    *l = n + width;
                    return true;
                }
            }
            return false;
        };
        CPaneWnd* pane = Frame().Pane(3);
        int32_t s = 0;
        int32_t l = 0;

        // 100 001 lines: copied without a question.
        QVERIFY(pick(kCopyConfirmLines, &s, &l));
        ClickLine(s);
        QTRY_COMPARE(Selected(), s);
        MenuVisit visit;
        QVERIFY(RightClick(pane, QPoint(30, YOfLine(l)), res::kCmdCopyRange, &visit));
        QVERIFY(visit.EnabledOf(res::kCmdCopyRange));
        QVERIFY(m_ui->messages.empty());
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.count(QStringLiteral("\r\n")), 1 + 4 + kCopyConfirmLines + 1);
        QCOMPARE(copied, ExpectedCopy(s, l));
        const CopySpan span = CopySpanOf(table, s, l);
        QCOMPARE(Window().StatusText(0), CopyDoneText(span.startId, span.endId));

        // One line more asks; No leaves the clipboard and the message pane empty.
        QVERIFY(pick(kCopyConfirmLines + 1, &s, &l));
        ClickLine(s);
        QTRY_COMPARE(Selected(), s);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        visit = {};
        QVERIFY(RightClick(pane, QPoint(30, YOfLine(l)), res::kCmdCopyRange, &visit));
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text,
                 QStringLiteral("コピーするINSログデータ文字列行が、10万行を超えています。\n\n"
                                "かなり時間を要するか、あるいはメモリ不足が発生する可能性があ"
                                "ります。\n\nこのまま、実行を継続しますか？"));
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kQuestion);
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kYesNo);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(Window().StatusText(0).isEmpty());
        // Yes copies.
        m_ui->answers = {Answer::kYes};
        visit = {};
        QVERIFY(RightClick(pane, QPoint(30, YOfLine(l)), res::kCmdCopyRange, &visit));
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")),
                 1 + 4 + kCopyConfirmLines + 2);
        const CopySpan wider = CopySpanOf(table, s, l);
        QCOMPARE(Window().StatusText(0), CopyDoneText(wider.startId, wider.endId));
    }

    void CopyTheWordUnderTheMouse() {
        QVERIFY(Load(DemoLogPath()));
        const QString word = QStringLiteral("呼番号=発1");
        const DisplayLineTable& table = Frame().Table();
        // A line of a call set-up that shows the word between blanks.
        const DisplayLine* line = nullptr;
        int column = -1;
        for (int32_t n = 1; n < table.LineCount() && line == nullptr; ++n) {
            const DisplayLine* candidate = table.Line(n);
            const QString text = ToQString(table.TextOf(candidate));
            const qsizetype at = text.indexOf(QStringLiteral(" ") + word + QStringLiteral(" "));
            const MessageRecord* record = table.RecordOf(candidate);
            if (at < 0 || record == nullptr || record->Block >= kBlockCount) {
                continue;
            }
            const BlockPart part = candidate->parts[record->Block];
            const uint16_t* cells = candidate->Cells() + part.start;
            for (int c = 0; c < part.count; ++c) {
                if ((cells[c] & kCellCharMask) == at + 1 && (cells[c] & kCellRightHalf) == 0) {
                    line = candidate;
                    column = c;
                    break;
                }
            }
        }
        QVERIFY(line != nullptr);
        CPaneWnd* pane = Frame().PaneShowing(table.RecordOf(line)->Block);
        QVERIFY(pane != nullptr);
        const int y = YOfLine(line->lineNumber);
        const int x = Frame().Margin() + column * Frame().CharWidth() + Frame().CharWidth() / 2 -
                      pane->ScrollPosition().x();
        QVERIFY(x < pane->viewport()->width());
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        MenuVisit visit;
        QVERIFY(RightClick(pane, QPoint(x, y), res::kCmdCopyWord, &visit));
        QCOMPARE(visit.IndexOf(res::kCmdCopyWord), qsizetype(0));
        QVERIFY(visit.separatorAfterFirst);
        QCOMPARE(visit.TextOf(res::kCmdCopyWord),
                 QStringLiteral("表示文字列 <") + word + QStringLiteral("> をコピー"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QLatin1Char('<') + word + QLatin1Char('>'));
        // Over a blank there is no word item.
        visit = {};
        QVERIFY(RightClick(pane, QPoint(x - Frame().CharWidth(), y), 0, &visit));
        QCOMPARE(visit.IndexOf(res::kCmdCopyWord), qsizetype(-1));
    }

    void RendersASearch() {
        QVERIFY(Load(DemoLogPath()));
        const std::vector<int32_t> hits = MessagesWith(QStringLiteral("呼設定"));
        QVERIFY(hits.size() >= 2);
        SearchFor(QStringLiteral("<呼設定>"));
        QTRY_VERIFY(SelectionPainted());
        QTest::keyClick(&Window(), Qt::Key_F3);
        QCOMPARE(Selected(), hits[1]);
        QTRY_VERIFY(SelectionPainted());

        const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(folder));
        const QImage image = Window().grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(image.save(folder + QStringLiteral("/search.png")));
        // The hits in their colours, and the selected message in the selection colours.
        const CanPara& para = Window().Settings().para;
        const QRgb hitBack = ColorOfRef(para.Color[14].back).rgb();
        const QRgb selectedBack = ColorOfRef(para.Color[13].back).rgb();
        QVERIFY(hitBack != selectedBack);
        int hitPixels = 0;
        int selectedPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                hitPixels += (row[x] & 0xFFFFFF) == (hitBack & 0xFFFFFF);
                selectedPixels += (row[x] & 0xFFFFFF) == (selectedBack & 0xFFFFFF);
            }
        }
        // Hit words of a few cells each (less their bold glyphs), and the selected rows.
        const int cells = Frame().CharWidth() * Frame().LineHeight();
        QVERIFY2(hitPixels > 2 * cells, qPrintable(QString::number(hitPixels)));
        QVERIFY2(selectedPixels > 20 * cells, qPrintable(QString::number(selectedPixels)));
    }
};

TESSARY_GUI_TEST(MainSearchCopyTest);

}  // namespace tessary::test

#include "test_main_search_copy.moc"
