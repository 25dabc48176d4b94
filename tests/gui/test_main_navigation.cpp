// The main window's navigation and view commands driven as a person drives them: typing into
// the selection group's edits, clicking its buttons, pressing the accelerators, picking menu
// items and right-clicking the panes; the recent-file list and reload; what a failed open
// leaves behind; the enabled state of every entry point.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "decode/CanPara.h"
#include "display/CPaneSplitter.h"
#include "display/CPaneWnd.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/QtMenus.h"
#include "platform/DigitGroup.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

// Layer-2 control code of an RR frame.
constexpr int32_t kCodeRr = 1;

const QString kLineBelowFirst = QStringLiteral("行番号不正のため、先頭データ表示");
const QString kLineAboveLast = QStringLiteral("行番号不正のため、最終データ表示");
const QString kIndexBelowFirst = QStringLiteral("インデックス番号不正のため、先頭データ表示");
const QString kIndexAboveLast = QStringLiteral("インデックス番号不正のため、最終データ表示");
const QString kIndexNoData =
    QStringLiteral("入力されたインデックス番号に該当するデータはありません");
const QString kRemoveCaption = QStringLiteral("履歴ファイル名削除確認");

QString RecentItem(int number, const std::string& path) {
    return QStringLiteral("&%1 ").arg(number) + QString::fromStdString(path);
}

QString NotFoundQuestion(const std::string& path) {
    return QStringLiteral("ログファイルが見つかりません。\n\n'") + QString::fromStdString(path) +
           QStringLiteral("'\n\n履歴リストから削除しますか？");
}

bool IsRr(const MessageRecord& record) {
    return record.Layer == kLayerFrame && record.Code == kCodeRr;
}

int CountRrLines(const CPaneFrame& frame) {
    int count = 0;
    for (int32_t n = 1; n < frame.LineCount(); ++n) {
        const MessageRecord* record = frame.Table().RecordOf(frame.Line(n));
        count += record != nullptr && IsRr(*record) ? 1 : 0;
    }
    return count;
}

// Whether any pixel of `area` differs from its top-left pixel.
bool HasInk(const QImage& image, const QRect& area) {
    const QRect inside = area.intersected(image.rect());
    const QRgb background = image.pixel(inside.topLeft());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (image.pixel(x, y) != background) {
                return true;
            }
        }
    }
    return false;
}

// The commands of the items of `menu`, in menu order (separators and popups left out).
QList<int> ItemIds(QMenu* menu) {
    QList<int> ids;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->menu() == nullptr) {
            ids << action->data().toInt();
        }
    }
    return ids;
}

}  // namespace

class MainNavigationTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_logs;
    std::string m_longLog;

    // The popup that holds menu-bar item `id`.
    QMenu* PopupOf(int id) { return tessary::test::PopupOf(Window(), id); }

    // Types `text` over the contents of edit `id` and presses Enter there.
    void TypeAndEnter(int id, const QString& text) { TypeOverAndEnter(Edit(id), text); }

    // Types `text` over the contents of edit `id` and clicks button `button`.
    void TypeAndClick(int id, const QString& text, int button) {
        TypeOverAndClick(Edit(id), text, Button(button));
    }

    // The File menu's open item with the dialog answering `path`.
    void OpenThroughMenu(const std::string& path) {
        m_ui->openPath = path;
        m_window->MenuAction(res::kCmdOpen)->trigger();
        m_ui->openPath.clear();
        QCoreApplication::processEvents();
    }

    bool LineInView(int32_t n) { return tessary::test::LineInView(Frame(), n); }

    // A point inside display line `n` of pane `pane` after bringing it into view.
    QPoint PointOfLine(CPaneWnd* pane, int32_t n) {
        return tessary::test::PointOfLine(Frame(), pane, n);
    }

    // Right-clicks pane `pane` at `point`; the context menu that pops up is closed at once.
    // Answers whether it popped up.
    bool RightClick(CPaneWnd* pane, const QPoint& point) {
        MenuVisit visit;
        return RightClickMenu(pane, point, Window().ContextMenu(), 0, &visit) && visit.shown;
    }

    // The first line at or after `from` with a message, at the start of its message.
    int32_t MessageStartFrom(int32_t from) {
        for (int32_t n = from; n < Frame().LineCount(); ++n) {
            const DisplayLine* line = Frame().Line(n);
            if (line->HasRecord()) {
                return n - line->groupOffset;
            }
        }
        return -1;
    }

    // A line without a record between two lines with one, at or after `from`.
    int32_t SeparatorFrom(int32_t from) {
        for (int32_t n = std::max(from, 2); n + 1 < Frame().LineCount(); ++n) {
            if (!Frame().Line(n)->HasRecord() && Frame().Line(n - 1)->HasRecord() &&
                Frame().Line(n + 1)->HasRecord()) {
                return n;
            }
        }
        return -1;
    }

    // A line that is not the first of its message, at or after `from`.
    int32_t InnerLineFrom(int32_t from) {
        for (int32_t n = from; n < Frame().LineCount(); ++n) {
            if (Frame().Line(n)->HasRecord() && Frame().Line(n)->groupOffset > 0) {
                return n;
            }
        }
        return -1;
    }

    // The records whose Id is `id`, over the converter's store.
    int RecordsWithId(uint32_t id) {
        const CTessaryCan* converter = m_window->LoadedConverter();
        int count = 0;
        for (uint32_t i = 1; i < converter->LineCount(); ++i) {
            const MessageRecord* record = converter->Record(i);
            count += record != nullptr && record->Id == id ? 1 : 0;
        }
        return count;
    }

    int32_t SelectionNumber() {
        const DisplayLine* line = Frame().SelectionLine();
        return line != nullptr ? line->lineNumber : -1;
    }

private slots:
    void initTestCase() {
        m_logs = std::make_unique<TempDir>();
        m_longLog = m_logs->File("long.dat");
        QVERIFY(RunInsloggen("--seed 31 --records 1200", m_longLog));
    }

    void cleanupTestCase() { m_logs.reset(); }

    void init() { QVERIFY(StartWindow()); }

    void cleanup() { CloseWindow(); }

    void GoToLineNumber() {
        QCOMPARE(Window().Open(m_longLog, kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        QVERIFY(Frame().LineCount() > 2000);
        QLineEdit* edit = Edit(res::kIdcLineNumber);
        int32_t last = Frame().LineCount() - 1;
        while (!Frame().Line(last)->HasRecord()) {
            --last;
        }
        const int32_t lastStart = last - Frame().Line(last)->groupOffset;
        const int32_t separator = SeparatorFrom(1500);
        const int32_t inner = InnerLineFrom(1700);
        QVERIFY(separator > 0);
        QVERIFY(inner > 0);

        struct Case {
            QString typed;
            bool button;
            int32_t selected;
            QString message;
        };
        const Case cases[] = {
            {QStringLiteral("1,234"), false, MessageStartFrom(1234), QString()},
            {QStringLiteral("0"), true, MessageStartFrom(1), kLineBelowFirst},
            {QString::number(last + 50), false, lastStart, kLineAboveLast},
            {QStringLiteral("12.9"), true, MessageStartFrom(12), QString()},
            // The empty line before a message takes that message.
            {QString::number(separator), false, separator + 1, QString()},
            // A line inside a message takes the whole message.
            {QString::number(inner), true, inner - Frame().Line(inner)->groupOffset, QString()},
        };
        QCOMPARE(cases[0].selected, 1234 - Frame().Line(1234)->groupOffset);
        QCOMPARE(Frame().Line(separator + 1)->groupOffset, uint16_t(0));
        for (const Case& c : cases) {
            const QByteArray tag = c.typed.toUtf8() + (c.button ? " (button)" : " (Enter)");
            if (c.button) {
                TypeAndClick(res::kIdcLineNumber, c.typed, res::kIdcGoLine);
            } else {
                TypeAndEnter(res::kIdcLineNumber, c.typed);
            }
            QVERIFY2(Frame().SelectionLine() != nullptr, tag.constData());
            QVERIFY2(SelectionNumber() == c.selected,
                     qPrintable(QStringLiteral("%1: line %2, expected %3")
                                    .arg(QString::fromUtf8(tag))
                                    .arg(SelectionNumber())
                                    .arg(c.selected)));
            QVERIFY2(LineInView(c.selected), tag.constData());
            QCOMPARE(Window().StatusText(0), c.message);
            // The edit shows the selected message's first line, ready to be typed over.
            QTRY_COMPARE(edit->text(), ToQString(GroupedDecimal16(uint64_t(c.selected))));
            QVERIFY2(edit->hasFocus(), tag.constData());
            QTRY_COMPARE(edit->selectedText(), edit->text());
        }
    }

    void GoToIndexNumber() {
        QCOMPARE(Window().Open(m_longLog, kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        QLineEdit* edit = Edit(res::kIdcIndexNumber);
        const CPaneFrame& frame = Frame();
        // A message in the middle whose Id no other record carries.
        const DisplayLine* middle = nullptr;
        for (int32_t n = frame.LineCount() / 2; n < frame.LineCount() && middle == nullptr; ++n) {
            const DisplayLine* line = frame.Line(n);
            const MessageRecord* record = frame.Table().RecordOf(line);
            if (record != nullptr && line->groupOffset == 0 && record->Block < kBlockCount &&
                !IsRr(*record) && RecordsWithId(record->Id) == 1) {
                middle = line;
            }
        }
        QVERIFY(middle != nullptr);
        const uint32_t middleId = frame.Table().RecordOf(middle)->Id;
        MessageRecord* firstRecord = nullptr;
        MessageRecord* lastRecord = nullptr;
        const DisplayLine* firstLine = frame.FirstLastLine(true, &firstRecord);
        const DisplayLine* lastLine = frame.FirstLastLine(false, &lastRecord);
        QVERIFY(firstLine != nullptr && lastLine != nullptr);

        TypeAndEnter(res::kIdcIndexNumber, QString::number(middleId));
        QCOMPARE(SelectionNumber(), middle->lineNumber);
        QVERIFY(LineInView(middle->lineNumber));
        QVERIFY(Window().StatusText(0).isEmpty());
        QTRY_COMPARE(edit->text(), ToQString(IndexNumberText(middleId)));
        QVERIFY(edit->hasFocus());
        QTRY_COMPARE(edit->selectedText(), edit->text());

        // Below the first Id: the first message.
        TypeAndClick(res::kIdcIndexNumber, QStringLiteral("-1"), res::kIdcGoIndex);
        QCOMPARE(Window().StatusText(0), kIndexBelowFirst);
        QCOMPARE(SelectionNumber(), firstLine->lineNumber - firstLine->groupOffset);
        QVERIFY(LineInView(SelectionNumber()));
        QVERIFY(edit->hasFocus());
        QTRY_COMPARE(edit->selectedText(), edit->text());

        // Above the last Id: the last message.
        TypeAndEnter(res::kIdcIndexNumber, QStringLiteral("9,999,999"));
        QCOMPARE(Window().StatusText(0), kIndexAboveLast);
        QCOMPARE(Frame().Table().RecordOf(Frame().SelectionLine()), lastRecord);
        QVERIFY(LineInView(SelectionNumber()));
        QTRY_COMPARE(edit->text(), ToQString(IndexNumberText(lastRecord->Id)));
        QVERIFY(edit->hasFocus());
        QTRY_COMPARE(edit->selectedText(), edit->text());

        // An RR frame hidden from view has an Id but no line.
        QAction* hideRr = OpenedItem(res::kCmdHideRr);
        QVERIFY(!hideRr->isChecked());
        hideRr->trigger();
        // Nothing hands the activation back after the progress dialog of the reconversion.
        QVERIFY(Activate());
        QVERIFY((Window().Settings().para.Flag[1] & kFlag1HideRr) != 0);
        QCOMPARE(CountRrLines(Frame()), 0);
        const CTessaryCan* converter = Window().LoadedConverter();
        const MessageRecord* hidden = nullptr;
        for (uint32_t i = converter->LineCount() / 2; i < converter->LineCount(); ++i) {
            const MessageRecord* record = converter->Record(i);
            if (IsRr(*record) && RecordsWithId(record->Id) == 1) {
                hidden = record;
                break;
            }
        }
        QVERIFY(hidden != nullptr);
        QCOMPARE(hidden->RowSlot[0], -1);
        TypeAndEnter(res::kIdcIndexNumber, QString::number(middleId));
        const int32_t before = SelectionNumber();
        QVERIFY(before > 0);
        TypeAndEnter(res::kIdcIndexNumber, QString::number(hidden->Id));
        QCOMPARE(Window().StatusText(0), kIndexNoData);
        QCOMPARE(SelectionNumber(), before);
        QVERIFY(edit->hasFocus());
        QTRY_COMPARE(edit->selectedText(), edit->text());
        QCOMPARE(edit->text(), QString::number(hidden->Id));
    }

    void ClickingIntoTheGoToEditsSelectsTheirText() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        CPaneWnd* pane = Frame().Pane(0);
        const int32_t target = MessageStartFrom(20);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PointOfLine(pane, target));
        QTRY_COMPARE(SelectionNumber(), target);
        for (int id : {res::kIdcIndexNumber, res::kIdcLineNumber, res::kIdcIndexNumber}) {
            QLineEdit* edit = Edit(id);
            QTRY_VERIFY(!edit->text().isEmpty());
            QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, edit->rect().center());
            QTRY_VERIFY(edit->hasFocus());
            QTRY_COMPARE(edit->selectedText(), edit->text());
        }
    }

    void RecentFilesInTheFileMenu() {
        const std::string a = m_dir->File("a.dat");
        const std::string b = m_dir->File("b.dat");
        const std::string c = m_dir->File("c.dat");
        QVERIFY(RunInsloggen("--seed 3 --records 60", a));
        QVERIFY(RunInsloggen("--seed 4 --records 60", b));
        QVERIFY(RunInsloggen("--seed 5 --records 60", c));
        QMenu* file = PopupOf(res::kCmdClearRecent);
        QVERIFY(file != nullptr);
        QVERIFY(!OpenedItem(res::kCmdClearRecent)->isEnabled());

        OpenThroughMenu(a);
        OpenThroughMenu(b);
        QCOMPARE(Window().windowTitle(), QStringLiteral("b.dat - INSログデータ表示"));
        emit file->aboutToShow();
        const QList<int> ids = ItemIds(file);
        const qsizetype clear = ids.indexOf(res::kCmdClearRecent);
        QCOMPARE(ids.mid(clear - 2, 3), (QList<int>{res::kCmdRecentFirst, res::kCmdRecentFirst + 1,
                                                    res::kCmdClearRecent}));
        QVERIFY(!ids.contains(res::kCmdRecentFirst + 2));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst)->text(), RecentItem(0, b));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst + 1)->text(), RecentItem(1, a));
        QVERIFY(Window().MenuAction(res::kCmdClearRecent)->isEnabled());

        // The older one opens and moves to the head.
        OpenedItem(res::kCmdRecentFirst + 1)->trigger();
        QCOMPARE(Window().windowTitle(), QStringLiteral("a.dat - INSログデータ表示"));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst)->text(), RecentItem(0, a));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst + 1)->text(), RecentItem(1, b));
        QVERIFY(m_ui->messages.empty());

        // A folder where the file was is not found; No keeps the entry, Yes removes it.
        OpenThroughMenu(c);
        QVERIFY(std::filesystem::remove(c));
        QVERIFY(std::filesystem::create_directory(c));
        OpenedItem(res::kCmdRecentFirst)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages.back().text, NotFoundQuestion(c));
        QCOMPARE(m_ui->messages.back().caption, kRemoveCaption);
        QCOMPARE(m_ui->messages.back().icon, MessageIcon::kQuestion);
        QCOMPARE(m_ui->messages.back().buttons, MessageButtons::kYesNo);
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst)->text(), RecentItem(0, c));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst + 2)->text(), RecentItem(2, b));
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdRecentFirst)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QCOMPARE(m_ui->messages.back().text, NotFoundQuestion(c));
        QCOMPARE(Window().Settings().recentFiles,
                 (std::vector<std::u16string>{Utf16(a), Utf16(b)}));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst)->text(), RecentItem(0, a));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst + 1)->text(), RecentItem(1, b));
        QVERIFY(Window().MenuAction(res::kCmdRecentFirst + 2) == nullptr);

        // A deleted file likewise.
        QVERIFY(std::filesystem::remove(b));
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdRecentFirst + 1)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(3));
        QCOMPARE(m_ui->messages.back().text, NotFoundQuestion(b));
        QCOMPARE(m_ui->messages.back().caption, kRemoveCaption);
        QCOMPARE(Window().Settings().recentFiles, (std::vector<std::u16string>{Utf16(a)}));
        emit file->aboutToShow();
        QCOMPARE(ItemIds(file).count(res::kCmdRecentFirst), qsizetype(1));
        QVERIFY(Window().MenuAction(res::kCmdRecentFirst + 1) == nullptr);

        // Clearing the list: No keeps it, Yes empties it and the menu.
        OpenedItem(res::kCmdClearRecent)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(4));
        QCOMPARE(m_ui->messages.back().text,
                 QStringLiteral("履歴ファイル名リストを全て削除します。\n\nよろしいですか？"));
        QCOMPARE(m_ui->messages.back().caption, kRemoveCaption);
        QCOMPARE(m_ui->messages.back().icon, MessageIcon::kQuestion);
        QCOMPARE(m_ui->messages.back().buttons, MessageButtons::kYesNo);
        QCOMPARE(Window().Settings().recentFiles.size(), size_t(1));
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdClearRecent)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(5));
        QVERIFY(Window().Settings().recentFiles.empty());
        emit file->aboutToShow();
        for (int id = res::kCmdRecentFirst; id <= res::kCmdRecentLast; ++id) {
            QVERIFY(!ItemIds(file).contains(id));
        }
        QVERIFY(!Window().MenuAction(res::kCmdClearRecent)->isEnabled());
    }

    void ReloadBringsBackTheLoadedLog() {
        OpenThroughMenu(DemoLogPath());
        const int32_t lines = Frame().LineCount();
        QVERIFY(lines > 300);
        const std::string missing = m_dir->File("missing.dat");
        OpenThroughMenu(missing);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(Frame().LineCount(), 0);
        QVERIFY(Activate());
        Press(Qt::Key_F2);
        QCOMPARE(Frame().LineCount(), lines);
        QCOMPARE(Window().windowTitle(), QStringLiteral("demo.dat - INSログデータ表示"));
        QCOMPARE(m_ui->messages.size(), size_t(1));
        // The button does the same.
        OpenThroughMenu(missing);
        QCOMPARE(Frame().LineCount(), 0);
        QTest::mouseClick(Button(res::kIdcReload), Qt::LeftButton);
        QCOMPARE(Frame().LineCount(), lines);
        QCOMPARE(m_ui->messages.size(), size_t(2));
    }

    void ReloadKeepsTheInsLine() {
        const std::string bulk = m_dir->File("bulk.dat");
        QVERIFY(RunInsloggen("--seed 8 --records 200 --data-kind 4 --lines 2", bulk));
        // The question is answered No: the second line.
        OpenThroughMenu(bulk);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("INS64回線選択"));
        QCOMPARE(LineSelectionOf(Window().Settings().para), 1u);
        QStringList second;
        for (int32_t n = 1; n < Frame().LineCount(); ++n) {
            const MessageRecord* record = Frame().Table().RecordOf(Frame().Line(n));
            second << (record != nullptr ? ToQString(record->TextView()) : QString());
        }
        QVERIFY(second.size() > 10);
        QVERIFY(Activate());
        Press(Qt::Key_F2);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(LineSelectionOf(Window().Settings().para), 1u);
        QStringList reloaded;
        for (int32_t n = 1; n < Frame().LineCount(); ++n) {
            const MessageRecord* record = Frame().Table().RecordOf(Frame().Line(n));
            reloaded << (record != nullptr ? ToQString(record->TextView()) : QString());
        }
        QCOMPARE(reloaded, second);
        // The first line is another view of the file.
        m_ui->answers = {Answer::kYes};
        OpenThroughMenu(bulk);
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QCOMPARE(LineSelectionOf(Window().Settings().para), 0u);
        QStringList first;
        for (int32_t n = 1; n < Frame().LineCount(); ++n) {
            const MessageRecord* record = Frame().Table().RecordOf(Frame().Line(n));
            first << (record != nullptr ? ToQString(record->TextView()) : QString());
        }
        QVERIFY(first != second);
    }

    void ReloadWithoutAFile() {
        // An empty list: the open-file dialog.
        QVERIFY(Activate());
        Press(Qt::Key_F2);
        QCOMPARE(m_ui->openRequests.size(), size_t(1));
        QCOMPARE(Frame().LineCount(), 0);
        QTest::mouseClick(Button(res::kIdcReload), Qt::LeftButton);
        QCOMPARE(m_ui->openRequests.size(), size_t(2));

        // A list left from last time: its head is opened.
        m_window.reset();
        m_window = std::make_unique<CMainDlg>();
        Window().Settings().recentFiles = {Utf16(DemoLogPath())};
        std::u16string failure;
        QVERIFY(Window().Initialize(&failure));
        Window().resize(1280, 800);
        Window().show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(Activate());
        Press(Qt::Key_F2);
        QCOMPARE(m_ui->openRequests.size(), size_t(2));
        QCOMPARE(Window().windowTitle(), QStringLiteral("demo.dat - INSログデータ表示"));
        QVERIFY(Frame().LineCount() > 300);
    }

    void FailedOpenLeavesNothingToScrollPointOrSee_data() {
        QTest::addColumn<bool>("missing");
        QTest::newRow("missing file") << true;
        QTest::newRow("not a log") << false;
    }

    void FailedOpenLeavesNothingToScrollPointOrSee() {
        QFETCH(bool, missing);
        const std::string bad = m_dir->File(missing ? "missing.dat" : "bad.dat");
        if (!missing) {
            WriteBytes(bad, std::vector<uint8_t>(200, 0x20));
        }
        OpenThroughMenu(DemoLogPath());
        QVERIFY(Activate());
        CPaneWnd* pane = Frame().Pane(0);
        const int lh = Frame().LineHeight();
        // A scrolled view with text under the title row, a line under the mouse.
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PointOfLine(pane, MessageStartFrom(3)));
        QTRY_VERIFY(Frame().SelectionLine() != nullptr);
        Press(Qt::Key_PageDown);
        Press(Qt::Key_PageDown);
        QVERIFY(Frame().VerticalBar().Pos() > 0);
        QVERIFY(Frame().VerticalBar().Shown());
        QVERIFY(Frame().VerticalBar().Bar()->isEnabled());
        // Over the title row first: a move to where the last test left the mouse is no move.
        const QPoint point(Frame().Margin() + 2 * Frame().CharWidth(), 3 * lh + lh / 2);
        QTest::mouseMove(pane->viewport(), QPoint(point.x(), lh / 2));
        QTest::mouseMove(pane->viewport(), point);
        QTRY_VERIFY(!Window().StatusText(1).isEmpty());
        const QRect below(0, lh + 1, pane->viewport()->width(),
                          pane->viewport()->height() - lh - 1);
        QVERIFY(HasInk(pane->viewport()->grab().toImage(), below));

        OpenThroughMenu(bad);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("INSログデータ読込"));
        QCOMPARE(Frame().LineCount(), 0);
        QVERIFY(Frame().SelectionLine() == nullptr);
        // Nothing to scroll: the shared bar is back at the top and out of use.
        QCOMPARE(Frame().VerticalBar().Pos(), 0);
        QVERIFY(!Frame().VerticalBar().Shown());
        QVERIFY(!Frame().VerticalBar().Bar()->isEnabled());
        QCOMPARE(pane->ScrollPosition().y(), 0);
        Press(Qt::Key_PageDown);
        QCOMPARE(Frame().VerticalBar().Pos(), 0);
        // No line under the mouse.
        QTest::mouseMove(pane->viewport(), point + QPoint(1, 0));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        for (int status = 1; status <= 3; ++status) {
            QVERIFY2(Window().StatusText(status).isEmpty(),
                     qPrintable(Window().StatusText(status)));
        }
        // A click selects nothing.
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, point);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QVERIFY(Frame().SelectionLine() == nullptr);
        QVERIFY(Edit(res::kIdcLineNumber)->text().isEmpty());
        QVERIFY(!Button(res::kIdcShowSelection)->isEnabled());
        // Nothing drawn below the title row.
        QVERIFY(!HasInk(pane->viewport()->grab().toImage(), below));
    }

    void SwapAndOrderTheBlocks() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        const auto order = [this] {
            QList<int> blocks;
            for (int p = 0; p < kPaneCount; ++p) {
                blocks << Frame().Pane(p)->ShownBlock();
            }
            return blocks;
        };
        const QList<int> ascending{0, 1, 2, 3};
        const QList<int> swapped{0, 2, 1, 3};
        QCOMPARE(order(), ascending);
        QVERIFY(!OpenedItem(res::kCmdAscendingOrder)->isEnabled());
        QVERIFY(!Window().IsCommandEnabled(res::kCmdAscendingOrder));
        QTest::mouseClick(Frame().Pane(0)->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PointOfLine(Frame().Pane(0), MessageStartFrom(5)));

        Press(Qt::Key_F5);
        QCOMPARE(order(), swapped);
        QVERIFY(OpenedItem(res::kCmdAscendingOrder)->isEnabled());
        QTest::mouseClick(Button(res::kIdcSwapBc), Qt::LeftButton);
        QCOMPARE(order(), ascending);
        QVERIFY(!OpenedItem(res::kCmdAscendingOrder)->isEnabled());
        // Shift+F5 on the ascending order changes nothing; after a swap it restores it.
        Press(Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(order(), ascending);
        Press(Qt::Key_F5);
        QCOMPARE(order(), swapped);
        Press(Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(order(), ascending);
        QVERIFY(!Window().IsCommandEnabled(res::kCmdAscendingOrder));

        // The exchange items of the pane at position 0, which shows block A.
        CPaneWnd* pane = Frame().Pane(0);
        QVERIFY(RightClick(pane, PointOfLine(pane, MessageStartFrom(10))));
        QCOMPARE(Window().ContextPane(), 0);
        QMenu* context = Window().ContextMenu();
        QList<QAction*> items;
        for (int id = res::kCmdExchangeFirst; id <= res::kCmdExchangeLast; ++id) {
            items << FindMenuItem(context, id);
        }
        const QStringList texts{QStringLiteral("ブロックAと、ブロックBの位置を交換する"),
                                QStringLiteral("ブロックAと、ブロックCの位置を交換する"),
                                QStringLiteral("ブロックAと、ブロックDの位置を交換する")};
        for (int k = 0; k < 3; ++k) {
            QVERIFY(items[k] != nullptr);
            QCOMPARE(items[k]->text(), texts[k]);
            QVERIFY(items[k]->isEnabled());
        }
        const QList<QAction*> entries = context->actions();
        QVERIFY(entries.indexOf(items[0]) < entries.indexOf(items[1]));
        QVERIFY(entries.indexOf(items[1]) < entries.indexOf(items[2]));
        items[2]->trigger();
        QCOMPARE(order(), (QList<int>{3, 1, 2, 0}));
        // The pane at position 0 now shows D: its items name A, B and C.
        QVERIFY(RightClick(pane, PointOfLine(pane, MessageStartFrom(10))));
        QCOMPARE(FindMenuItem(context, res::kCmdExchangeFirst)->text(),
                 QStringLiteral("ブロックDと、ブロックAの位置を交換する"));
        QCOMPARE(FindMenuItem(context, res::kCmdExchangeLast)->text(),
                 QStringLiteral("ブロックDと、ブロックCの位置を交換する"));
        QVERIFY(OpenedItem(res::kCmdAscendingOrder)->isEnabled());
    }

    void ExchangeItemsWithoutAFile() {
        QVERIFY(Activate());
        CPaneWnd* pane = Frame().Pane(0);
        QVERIFY(RightClick(pane, QPoint(20, 3 * Frame().LineHeight())));
        QCOMPARE(Window().ContextPane(), 0);
        for (int id = res::kCmdExchangeFirst; id <= res::kCmdExchangeLast; ++id) {
            QAction* item = FindMenuItem(Window().ContextMenu(), id);
            QCOMPARE(item->text(), QStringLiteral("ブロック位置交換不可"));
            QVERIFY(!item->isEnabled());
        }
    }

    void EqualColumnWidths() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        QSplitter* splitter = Frame().Splitter();
        // Drag the first bar to the right.
        QSplitterHandle* handle = splitter->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(handle, grip + QPoint(60, 0));
        QTest::mouseMove(handle, grip + QPoint(160, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip + QPoint(160, 0));
        const auto spread = [splitter] {
            const QList<int> sizes = splitter->sizes();
            return *std::max_element(sizes.begin(), sizes.end()) -
                   *std::min_element(sizes.begin(), sizes.end());
        };
        QVERIFY2(spread() > 100, qPrintable(QStringLiteral("spread %1").arg(spread())));
        Press(Qt::Key_F5, Qt::ControlModifier);
        QTRY_VERIFY2(spread() <= 2, qPrintable(QStringLiteral("spread %1").arg(spread())));
        QCOMPARE(splitter->sizes().size(), qsizetype(kPaneCount));

        // Maximising and restoring the window spread the blocks evenly too.
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(handle, grip + QPoint(60, 0));
        QTest::mouseMove(handle, grip + QPoint(160, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip + QPoint(160, 0));
        QVERIFY2(spread() > 100, qPrintable(QStringLiteral("spread %1").arg(spread())));
        Window().showMaximized();
        QTRY_VERIFY2(spread() <= 2, qPrintable(QStringLiteral("spread %1").arg(spread())));
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(handle, grip + QPoint(60, 0));
        QTest::mouseMove(handle, grip + QPoint(160, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip + QPoint(160, 0));
        QVERIFY2(spread() > 100, qPrintable(QStringLiteral("spread %1").arg(spread())));
        Window().showNormal();
        QTRY_VERIFY2(spread() <= 2, qPrintable(QStringLiteral("spread %1").arg(spread())));
    }

    void PaneFontSizes() {
        QCOMPARE(Window().Open(m_longLog, kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        QCOMPARE(Window().Settings().paneFontPoint, 90);
        QMenu* sizes = PopupOf(res::kCmdFontSizeFirst);
        QVERIFY(sizes != nullptr);
        QVERIFY(PopupOf(res::kCmdSwapBc)->actions().contains(sizes->menuAction()));
        QCOMPARE(sizes->title(), QStringLiteral("文字サイズ(&Z)"));
        emit sizes->aboutToShow();
        QStringList checked;
        for (QAction* action : sizes->actions()) {
            QVERIFY(action->isEnabled());
            if (action->isChecked()) {
                checked << action->text();
            }
        }
        QCOMPARE(checked, QStringList{QStringLiteral("9.0")});

        // A message in the middle at the top of the view.
        TypeAndEnter(res::kIdcLineNumber, QStringLiteral("900"));
        int offset = -1;
        const MessageRecord* top = Frame().TopRecord(&offset, true);
        QVERIFY(top != nullptr);
        QVERIFY(top->Index > 100);
        const int lh = Frame().LineHeight();

        QAction* twelve = ItemWithText(sizes, QStringLiteral("12.0"));
        QVERIFY(twelve != nullptr);
        twelve->trigger();
        QVERIFY(Frame().LineHeight() > lh);
        QCOMPARE(Window().Settings().paneFontPoint, 120);
        QCOMPARE(Frame().TopRecord(&offset, true), top);
        emit sizes->aboutToShow();
        QVERIFY(twelve->isChecked());
        QVERIFY(!ItemWithText(sizes, QStringLiteral("9.0"))->isChecked());

        // The size in use again: nothing happens, the selection stays.
        CPaneWnd* pane = Frame().Pane(0);
        const int32_t target = MessageStartFrom(Frame().TopRecord(nullptr, true)->RowSlot[0] + 3);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PointOfLine(pane, target));
        QTRY_COMPARE(SelectionNumber(), target);
        const int position = Frame().VerticalBar().Pos();
        const int lh12 = Frame().LineHeight();
        twelve->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(SelectionNumber(), target);
        QCOMPARE(Frame().VerticalBar().Pos(), position);
        QCOMPARE(Frame().LineHeight(), lh12);
        QCOMPARE(Window().Settings().paneFontPoint, 120);
    }

    void DateFormatsAndRrFrames() {
        QMenu* formats = PopupOf(res::kCmdDateFormatFirst);
        QVERIFY(formats != nullptr);
        // Without a file the items are disabled.
        emit formats->aboutToShow();
        for (int id = res::kCmdDateFormatFirst; id <= res::kCmdHideRr; ++id) {
            QVERIFY(!OpenedItem(id)->isEnabled());
            QVERIFY(!Window().IsCommandEnabled(id));
        }

        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        const unsigned format = DateFormatOf(Window().Settings().para);
        emit formats->aboutToShow();
        for (int id = res::kCmdDateFormatFirst; id <= res::kCmdDateFormatLast; ++id) {
            QVERIFY(Window().MenuAction(id)->isEnabled());
            QCOMPARE(Window().MenuAction(id)->isChecked(),
                     id == res::kCmdDateFormatFirst + static_cast<int>(format));
        }
        QVERIFY(format != 3);
        // The selected message's time in the selection group.
        CPaneWnd* pane = Frame().Pane(0);
        const DisplayLine* timed = nullptr;
        for (int32_t n = 1; n < Frame().LineCount() && timed == nullptr; ++n) {
            const MessageRecord* record = Frame().Table().RecordOf(Frame().Line(n));
            if (record != nullptr && Frame().Line(n)->groupOffset == 0 &&
                record->Block < kBlockCount &&
                record->TextView().find(u"TM=") != std::u16string_view::npos) {
                timed = Frame().Line(n);
            }
        }
        QVERIFY(timed != nullptr);
        const uint32_t timedIndex = static_cast<uint32_t>(timed->recordIndex);
        const QRegularExpression fourDigitYear(QStringLiteral("^\\d{4}/\\d{2}/\\d{2} "));
        QLineEdit* time = Edit(res::kIdcSelectionTime);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PointOfLine(pane, timed->lineNumber));
        QTRY_VERIFY(!time->text().isEmpty());
        QVERIFY2(!fourDigitYear.match(time->text()).hasMatch(), qPrintable(time->text()));

        QAction* fourDigits = ItemWithText(formats, QStringLiteral("「西暦４桁年と月日」"));
        QVERIFY(fourDigits != nullptr);
        fourDigits->trigger();
        QCOMPARE(DateFormatOf(Window().Settings().para), 3u);
        const MessageRecord* record = Window().LoadedConverter()->Record(timedIndex);
        QVERIFY(record->RowSlot[0] > 0);
        QVERIFY(ToQString(record->TextView()).contains(QStringLiteral("TM=2024/06/07 ")));
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PointOfLine(pane, record->RowSlot[0]));
        QTRY_VERIFY2(fourDigitYear.match(time->text()).hasMatch(), qPrintable(time->text()));
        emit formats->aboutToShow();
        QVERIFY(fourDigits->isChecked());
        for (int id = res::kCmdDateFormatFirst; id < res::kCmdDateFormatLast; ++id) {
            QVERIFY(!Window().MenuAction(id)->isChecked());
        }

        // RR frames: hidden and shown again.
        const bool hidden = (Window().Settings().para.Flag[1] & kFlag1HideRr) != 0;
        QAction* rr = OpenedItem(res::kCmdHideRr);
        QVERIFY(rr->isEnabled());
        QCOMPARE(rr->isChecked(), hidden);
        const int shownRr = CountRrLines(Frame());
        QCOMPARE(shownRr > 0, !hidden);
        rr->trigger();
        QCOMPARE(OpenedItem(res::kCmdHideRr)->isChecked(), !hidden);
        QCOMPARE(CountRrLines(Frame()) > 0, hidden);
        rr->trigger();
        QCOMPARE(OpenedItem(res::kCmdHideRr)->isChecked(), hidden);
        QCOMPARE(CountRrLines(Frame()), shownRr);
        // The date format outlives the reconversions.
        QCOMPARE(DateFormatOf(Window().Settings().para), 3u);
    }

    void CommandStatesFollowTheTable() {
        // Commands that need a file, and some that never do.
        const int needFile[] = {res::kCmdShowSelection, res::kCmdSwapBc, res::kCmdAscendingOrder,
                                res::kCmdDateFormatFirst, res::kCmdHideRr};
        const int always[] = {res::kCmdOpen,
                              res::kCmdExit,
                              res::kCmdReload,
                              res::kCmdFocusSearch,
                              res::kCmdFindNext,
                              res::kCmdFindPrevious,
                              res::kCmdClearSearchHistory,
                              res::kCmdLayoutColumns,
                              res::kCmdFontSizeTop,
                              res::kCmdFontSizeFirst};
        for (int id : needFile) {
            QVERIFY2(!OpenedItem(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        for (int id : always) {
            QVERIFY2(OpenedItem(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        for (int id :
             {res::kIdcGoLine, res::kIdcGoIndex, res::kIdcSwapBc, res::kIdcShowSelection}) {
            QVERIFY2(!Button(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        for (int id : {res::kIdcReload, res::kIdcFindNext, res::kIdcFindPrevious}) {
            QVERIFY2(Button(id)->isEnabled(), qPrintable(QString::number(id)));
        }

        QCOMPARE(Window().Open(m_longLog, kLineAsk), kOpenResultDone);
        QVERIFY(Activate());
        for (int id : {res::kIdcGoLine, res::kIdcGoIndex, res::kIdcSwapBc}) {
            QVERIFY2(Button(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QVERIFY(!Button(res::kIdcShowSelection)->isEnabled());
        QVERIFY(!OpenedItem(res::kCmdShowSelection)->isEnabled());
        QVERIFY(OpenedItem(res::kCmdSwapBc)->isEnabled());
        QVERIFY(OpenedItem(res::kCmdHideRr)->isEnabled());
        QVERIFY(!OpenedItem(res::kCmdAscendingOrder)->isEnabled());

        // F9 without a selection does nothing.
        CPaneWnd* pane = Frame().Pane(0);
        pane->setFocus(Qt::MouseFocusReason);
        Press(Qt::Key_PageDown);
        Press(Qt::Key_PageDown);
        const int scrolled = Frame().VerticalBar().Pos();
        QVERIFY(scrolled > 0);
        Press(Qt::Key_F9);
        QCOMPARE(Frame().VerticalBar().Pos(), scrolled);
        QVERIFY(Frame().SelectionLine() == nullptr);

        // With a selection it is back in view.
        int first = -1;
        pane->VisibleLines(&first, nullptr, nullptr, nullptr);
        const int32_t target = MessageStartFrom(first + 2);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PointOfLine(pane, target));
        QTRY_COMPARE(SelectionNumber(), target);
        QVERIFY(Button(res::kIdcShowSelection)->isEnabled());
        QVERIFY(OpenedItem(res::kCmdShowSelection)->isEnabled());
        for (int i = 0; i < 6; ++i) {
            Press(Qt::Key_PageDown);
        }
        QVERIFY(!LineInView(target));
        Press(Qt::Key_F9);
        QVERIFY(LineInView(target));
        QCOMPARE(SelectionNumber(), target);
        for (int i = 0; i < 6; ++i) {
            Press(Qt::Key_PageDown);
        }
        QVERIFY(!LineInView(target));
        QTest::mouseClick(Button(res::kIdcShowSelection), Qt::LeftButton);
        QVERIFY(LineInView(target));
    }

    void VersionItemEndsTheMenuBar() {
        const QList<QAction*> popups = Window().MenuBar()->actions();
        QVERIFY(!popups.isEmpty());
        QMenu* help = popups.back()->menu();
        QVERIFY(help != nullptr);
        QCOMPARE(help->title(), QStringLiteral("ヘルプ(&H)"));
        QCOMPARE(ItemIds(help), QList<int>{res::kCmdAbout});
        QCOMPARE(FindMenuItem(help, res::kCmdAbout)->text(),
                 QStringLiteral("バージョン情報(&A)..."));
        QCOMPARE(Window().MenuAction(res::kCmdAbout), FindMenuItem(help, res::kCmdAbout));
    }
};

TESSARY_GUI_TEST(MainNavigationTest);

}  // namespace tessary::test

#include "test_main_navigation.moc"
