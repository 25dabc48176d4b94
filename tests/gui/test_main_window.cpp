// The main window over real logs: opening, its texts and panes, failures, the INS64 line
// question, two-pass files, cancelling, the selection group, the status panes, the context
// menu, Esc, closing, and a screenshot of the demo log.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "decode/CanPara.h"
#include "display/CPaneWnd.h"
#include "logfile/Status.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/MainTexts.h"
#include "platform/DigitGroup.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"
#include "tools/CProgressDlg.h"

namespace tessary::test {
namespace {

const QString kReadTitle = QStringLiteral("INSログデータ読込");

// Records the subtitle of every progress dialog that is shown, and can press Stop on the
// first progress notification of a conversion.
class ProgressWatch : public ProgressShown {
public:
    explicit ProgressWatch(CMainDlg* window) : m_window(window) {}
    bool abortOnProgress = false;
    bool aborted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        ProgressShown::eventFilter(watched, event);
        if (abortOnProgress && !aborted && watched == m_window &&
            event->type() == QtAppEvent::TypeOf(kMsgReaderNotify)) {
            const auto* message = static_cast<QtAppEvent*>(event);
            if (message->WParam() == static_cast<intptr_t>(kNotifyProgress) &&
                m_window->RunningProgress() != nullptr) {
                aborted = true;
                m_window->RunningProgress()->Abort();
            }
        }
        return false;
    }

private:
    CMainDlg* m_window;
};

// The first display line (from `from`) whose record passes `test`.
template <typename Test>
const DisplayLine* FindLine(const CPaneFrame& frame, Test test, int32_t from = 1) {
    for (int32_t n = from; n < frame.LineCount(); ++n) {
        const DisplayLine* line = frame.Line(n);
        const MessageRecord* record = frame.Table().RecordOf(line);
        if (record != nullptr && test(*line, *record)) {
            return line;
        }
    }
    return nullptr;
}

// A client y inside `line` of pane `pane` after bringing it into view.
int YOf(CMainDlg& window, const DisplayLine* line, CPaneWnd* pane, int offset = 1) {
    window.Frame()->ShowLine(line, false, false, false);
    return line->lineNumber * window.Frame()->LineHeight() - pane->ScrollPosition().y() + offset;
}

}  // namespace

class MainWindowTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private slots:
    void init() {
        std::u16string failure;
        QVERIFY(StartWindow(kWindowSize, &failure));
        QVERIFY(failure.empty());
    }

    void cleanup() { CloseWindow(); }

    void StartsEmptyWithMenusAndTooltips() {
        QCOMPARE(Window().windowTitle(), QStringLiteral("INSログデータ表示"));
        QVERIFY(Window().LegendText().isEmpty());
        QCOMPARE(Window().MenuAction(res::kCmdOpen)->text(),
                 QStringLiteral("INSログファイルを開く(&O)..."));
        QCOMPARE(Window().MenuAction(res::kCmdShowSelection)->text(),
                 QStringLiteral("現在の選択行を表示(&S)\tF9"));
        // Samples before the placeholder, whose text became the third.
        QMenu* samples = qobject_cast<QMenu*>(Window().MenuAction(res::kCmdSampleFirst)->parent());
        QVERIFY(samples != nullptr);
        QList<int> sampleIds;
        for (QAction* action : samples->actions()) {
            sampleIds << action->data().toInt();
        }
        QCOMPARE(sampleIds, (QList<int>{32802, 32801, 32800}));
        QCOMPARE(Window().MenuAction(32800)->text(),
                 QStringLiteral("'<>'で囲まない場合は空白を含めて１個の単語扱い: 00000 TM"));
        // Font sizes 9.0 (32844) down to 20.0 (32822).
        QMenu* sizes = qobject_cast<QMenu*>(Window().MenuAction(res::kCmdFontSizeFirst)->parent());
        QCOMPARE(sizes->actions().size(), 23);
        QCOMPARE(sizes->actions().front()->text(), QStringLiteral("9.0"));
        QCOMPARE(sizes->actions().front()->data().toInt(), 32844);
        QCOMPARE(sizes->actions().back()->text(), QStringLiteral("20.0"));
        QCOMPARE(Window().MenuAction(32833)->text(), QStringLiteral("14.5"));
        // Tooltips derived from the menu items.
        QCOMPARE(Window().Control(res::kIdcShowSelection)->toolTip(),
                 QStringLiteral("現在の選択行を表示 F9"));
        QCOMPARE(Window().Control(res::kIdcFindPrevious)->toolTip(), QStringLiteral("前 Shift+F3"));
        QCOMPARE(Window().Control(res::kIdcSearchAggregate)->toolTip(),
                 QStringLiteral("検索文字列と一致した情報を集約して表示する"));
        QCOMPARE(Window().Control(res::kIdcReload)->toolTip(),
                 QStringLiteral("ログファイル再読み込み F2"));
        QCOMPARE(Window().Control(res::kIdcGoLine)->toolTip(),
                 QStringLiteral("入力された行番号(1～)を表示"));
        // Status panes with their tooltips; the line number edits are disabled without a file.
        auto* status = qobject_cast<QStatusBar*>(Window().Control(res::kIdcStatusBar));
        QVERIFY(status != nullptr);
        QStringList tips;
        for (QLabel* label : status->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            tips << label->toolTip();
        }
        QVERIFY(tips.contains(QStringLiteral("表示行番号(1～)")));
        QVERIFY(tips.contains(QStringLiteral("INSメッセージ・インデックス番号")));
        QVERIFY(tips.contains(QStringLiteral("ログデータ日付")));
        QVERIFY(!Window().Control(res::kIdcLineNumber)->isEnabled());
        QVERIFY(Window().Control(res::kIdcReload)->isEnabled());
        QVERIFY(!Window().Control(res::kIdcShowSelection)->isEnabled());
        QVERIFY(Window().IsCommandEnabled(res::kCmdOpen));
        QVERIFY(!Window().IsCommandEnabled(res::kCmdShowSelection));
        QCOMPARE(Window().Frame()->LineCount(), 0);
    }

    void OpensTheDemoLog() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        QCOMPARE(Window().windowTitle(), QStringLiteral("demo.dat - INSログデータ表示"));
        CTessaryCan* converter = Window().LoadedConverter();
        QVERIFY(converter != nullptr);
        const std::u16string legend = converter->LY1Legend(-1);
        QVERIFY(!legend.empty());
        QCOMPARE(Window().LegendText(), ToQString(legend));
        QCOMPARE(Window().LegendToolTip(), ToQString(LegendTooltipText(legend)));
        QVERIFY(Window().LegendToolTip().contains(QStringLiteral("\n\n")));
        // The reader warned about the noise gap.
        QVERIFY(converter->WarningCounter() > 0);
        QCOMPARE(Window().StatusText(4),
                 ToQString(WarningCountText(static_cast<uint32_t>(converter->WarningCounter()))));
        QVERIFY(Window().StatusText(0).isEmpty());
        QVERIFY(m_ui->messages.empty());

        // The same lines as the layout gives without a window.
        CanPara para;
        ResetPara(para);
        DisplayLineTable table;
        SyncPassProgress progress;
        OpenFlowHost host;
        OpenFlow flow(&para, &table, &host, m_ui.get(), &progress, &progress);
        QCOMPARE(flow.Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        const CPaneFrame& frame = *Window().Frame();
        QCOMPARE(frame.LineCount(), table.LineCount());
        QVERIFY(frame.LineCount() > 300);

        // Title row: four block titles; every record's line in its own block column.
        const DisplayLine* title = frame.Line(0);
        for (int b = 0; b < kPartCount; ++b) {
            QVERIFY(title->parts[b].count > 0);
            QCOMPARE(frame.Pane(b)->ShownBlock(), b);
            QVERIFY(!frame.Pane(b)->isHidden());
        }
        int checked = 0;
        for (int32_t n = 1; n < frame.LineCount(); ++n) {
            const DisplayLine* line = frame.Line(n);
            const MessageRecord* record = frame.Table().RecordOf(line);
            if (record == nullptr || record->Block >= kBlockCount || line->cellCount == 0) {
                continue;
            }
            QCOMPARE(line->parts[record->Block].count, line->cellCount);
            QCOMPARE(line->parts[record->Block].start, uint16_t(0));
            const bool through = (record->Flags & kRecordDirectThrough) != 0;
            for (int b = 0; b < kPartCount; ++b) {
                const bool mirror =
                    through && ((record->Block == 0 && b == 2) || (record->Block == 3 && b == 1));
                if (b != record->Block && !mirror) {
                    QCOMPARE(line->parts[b].count, uint16_t(0));
                }
            }
            ++checked;
        }
        QVERIFY(checked > 300);
        QVERIFY(Window().IsCommandEnabled(res::kCmdReload));
        QVERIFY(Window().Control(res::kIdcLineNumber)->isEnabled());
    }

    void FailedOpenResetsTheWindowButKeepsTheConverter() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        const std::string missing = m_dir->File("missing.dat");
        QCOMPARE(Window().Open(missing, kLineAsk), kOpenResultNotFound);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, QStringLiteral("ファイルが存在していません。\n\n<") +
                                             QString::fromStdString(missing) + QStringLiteral(">"));
        QCOMPARE(m_ui->messages[0].caption, kReadTitle);
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kOk);
        QCOMPARE(Window().windowTitle(), QStringLiteral("INSログデータ表示"));
        QCOMPARE(Window().Frame()->LineCount(), 0);
        QVERIFY(Window().LegendText().isEmpty());
        QVERIFY(Window().StatusText(4).isEmpty());
        // The previous file is still loaded: F2 brings it back.
        QVERIFY(Window().LoadedConverter() != nullptr);
        QVERIFY(Window().ExecuteCommand(res::kCmdReload));
        QCOMPARE(Window().windowTitle(), QStringLiteral("demo.dat - INSログデータ表示"));
        QVERIFY(Window().Frame()->LineCount() > 300);
    }

    void EachOpenFailureHasItsMessage() {
        const std::string noFolder = m_dir->File("none/log.dat");
        const std::string text = m_dir->File("text.dat");
        WriteBytes(text, std::vector<uint8_t>(64, 'x'));
        InsLogHeader header = DefaultHeader();
        header.dataKind = 2;
        const std::string kind2 = LogBytes(header)
                                      .Record('T', 9, 0, {0x34})
                                      .FixDataByteCount()
                                      .WriteTo(m_dir->File("kind2.dat"));
        const std::string empty = LogBytes().FixDataByteCount().WriteTo(m_dir->File("empty.dat"));
        struct Case {
            std::string path;
            int32_t result;
            QString text;
        };
        const std::vector<Case> cases = {
            {noFolder, kOpenResultNotFound, QStringLiteral("サブフォルダーが存在していません。")},
            {text, kOpenResultBadFormat,
             QStringLiteral(
                 "ファイル形式が不正です。\n\nリアルタイム出力ログファイルではありません。")},
            {kind2, kOpenResultBadFormat,
             QStringLiteral("INS回線用のログファイルではありません。")},
            {empty, kStatusNoRecord, QStringLiteral("有効なINSデータが存在していません。")},
        };
        for (const Case& c : cases) {
            m_ui->messages.clear();
            QCOMPARE(Window().Open(c.path, kLineAsk), c.result);
            QCOMPARE(m_ui->messages.size(), size_t(1));
            QCOMPARE(m_ui->messages[0].text, c.text + QStringLiteral("\n\n<") +
                                                 QString::fromStdString(c.path) +
                                                 QStringLiteral(">"));
            QCOMPARE(m_ui->messages[0].caption, kReadTitle);
            QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
            QVERIFY(Window().LoadedConverter() == nullptr);
            QCOMPARE(Window().windowTitle(), QStringLiteral("INSログデータ表示"));
        }
        m_ui->messages.clear();
        QCOMPARE(Window().Open({}, kLineAsk), kOpenResultNotFound);
        QCOMPARE(m_ui->messages.back().text, QStringLiteral("ファイル名が指定されていません。"));
        QCOMPARE(Window().Reconvert(kLineAsk), kOpenResultCannotStart);
        QCOMPARE(m_ui->messages.back().text,
                 QStringLiteral("ログファイル・データが読み込まれていません。"));
        QCOMPARE(m_ui->messages.back().caption, QStringLiteral("INSログデータ変換"));
    }

    void CancelDuringTheProgress() {
        const std::string big = m_dir->File("big.dat");
        QVERIFY(RunInsloggen("--seed 31 --size 24M", big));
        ProgressWatch watch(&Window());
        watch.abortOnProgress = true;
        m_ui->answers = {Answer::kYes};
        m_ui->openPath = big;
        QVERIFY(Window().ExecuteCommand(res::kCmdOpen));
        QVERIFY(watch.aborted);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("中止確認"));
        QCOMPARE(Window().StatusText(0), QStringLiteral("INSログデータ読込を中止しました"));
        QCOMPARE(Window().Frame()->LineCount(), 0);
        QVERIFY(Window().LoadedConverter() == nullptr);
        QCOMPARE(Window().windowTitle(), QStringLiteral("INSログデータ表示"));
        QVERIFY(!Window().Settings().recentFiles.empty());
        QCOMPARE(Window().Settings().recentFiles.front(), Utf16(big));
        QCOMPARE(Window().MenuAction(res::kCmdRecentFirst)->text(),
                 QStringLiteral("&0 ") + QString::fromStdString(big));
        // The next key press clears the message pane.
        QTest::keyClick(Window().Control(res::kIdcLineNumber), Qt::Key_A);
        QVERIFY(Window().StatusText(0).isEmpty());
    }

    void AsksForTheLineOfATwoLineFile() {
        const std::string bulk = m_dir->File("bulk.dat");
        QVERIFY(RunInsloggen("--seed 41 --records 3000 --data-kind 4", bulk));
        m_ui->answers = {Answer::kNo};
        QCOMPARE(Window().Open(bulk, kLineAsk), kOpenResultDone);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text,
                 QStringLiteral(
                     "INS64の２回線分が格納されています。第１回線目のデータを表示しますか？\n\n"
                     "「はい」をクリックすると、第１回線目のデータを表示\n\n"
                     "「いいえ」をクリックすると、第２回線目のデータを表示\n\n"));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("INS64回線選択"));
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kQuestion);
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kYesNo);
        QCOMPARE(LineSelectionOf(Window().Settings().para), 1u);
        // F2 shows the same line again without asking.
        QVERIFY(Window().ExecuteCommand(res::kCmdReload));
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(LineSelectionOf(Window().Settings().para), 1u);
        QVERIFY(Window().Frame()->LineCount() > 1);
        // Neither answer: nothing is loaded and nothing more is said.
        m_ui->answers = {Answer::kCancel};
        QCOMPARE(Window().Open(bulk, kLineAsk), kOpenResultOther);
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QCOMPARE(Window().Frame()->LineCount(), 0);
    }

    void TwoPassFileShowsTheSecondSubtitle() {
        const std::string ring = m_dir->File("ring.dat");
        QVERIFY(RunInsloggen(
            "--seed 105 --span 13d --ring --ext-header 32 --poll-interval 1h --call-interval 2h",
            ring));
        ProgressWatch watch(&Window());
        QCOMPARE(Window().Open(ring, kLineAsk), kOpenResultDone);
        QTRY_COMPARE(watch.subtitles.size(), qsizetype(2));
        QCOMPARE(watch.subtitles, (QStringList{QStringLiteral("1 / 2"), QStringLiteral("2 / 2")}));
        QVERIFY(Window().LoadedConverter()->StartCorrection() != 0);
        QCOMPARE(Window().windowTitle(), QStringLiteral("ring.dat - INSログデータ表示"));
        QVERIFY(Window().Frame()->LineCount() > 1);
        QVERIFY(m_ui->messages.empty());
    }

    void SelectionGroupAndSeparatorClicks() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        CPaneFrame& frame = *Window().Frame();
        // A separator between two messages of the same block.
        const DisplayLine* separator = nullptr;
        for (int32_t n = 2; n + 1 < frame.LineCount() && separator == nullptr; ++n) {
            if (!frame.Line(n)->HasRecord() && frame.Line(n - 1)->HasRecord() &&
                frame.Line(n + 1)->HasRecord()) {
                separator = frame.Line(n);
            }
        }
        QVERIFY(separator != nullptr);
        CPaneWnd* pane = frame.Pane(0);
        const int lh = frame.LineHeight();
        const int32_t n = separator->lineNumber;
        const int upper = YOf(Window(), separator, pane, 1);
        PostAppMessage(&Window(), kMsgPaneLeftDown, PackPoint(20, upper),
                       reinterpret_cast<intptr_t>(pane));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        const DisplayLine* above = frame.Line(n - 1);
        QCOMPARE(frame.SelectionLine()->lineNumber, above->lineNumber - above->groupOffset);
        const int lower = upper + lh - 2;
        PostAppMessage(&Window(), kMsgPaneLeftDown, PackPoint(20, lower),
                       reinterpret_cast<intptr_t>(pane));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(frame.SelectionLine()->lineNumber, n + 1);
        // The selection group shows the selected message.
        const DisplayLine* selected = frame.SelectionLine();
        const MessageRecord* record = frame.Table().RecordOf(selected);
        auto* lineEdit = qobject_cast<QLineEdit*>(Window().Control(res::kIdcLineNumber));
        auto* indexEdit = qobject_cast<QLineEdit*>(Window().Control(res::kIdcIndexNumber));
        auto* timeEdit = qobject_cast<QLineEdit*>(Window().Control(res::kIdcSelectionTime));
        QCOMPARE(lineEdit->text(),
                 ToQString(GroupedDecimal16(static_cast<uint64_t>(selected->lineNumber))));
        QCOMPARE(indexEdit->text(), ToQString(IndexNumberText(record->Id)));
        QCOMPARE(timeEdit->text(), ToQString(SelectionTimeText(record->TextView())));
        QVERIFY(!timeEdit->text().isEmpty());
        QVERIFY(Window().Control(res::kIdcShowSelection)->isEnabled());
        QVERIFY(Window().IsCommandEnabled(res::kCmdShowSelection));
        // A click on the selected message again changes nothing.
        lineEdit->setText(QStringLiteral("x"));
        PostAppMessage(&Window(), kMsgPaneLeftDown, PackPoint(20, lower + 1),
                       reinterpret_cast<intptr_t>(pane));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(lineEdit->text(), QStringLiteral("x"));
        QCOMPARE(frame.SelectionLine(), selected);
    }

    void StatusPanesUnderTheMouse() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        CPaneFrame& frame = *Window().Frame();
        CPaneWnd* pane = frame.Pane(1);
        const DisplayLine* line = FindLine(
            frame,
            [](const DisplayLine&, const MessageRecord& r) {
                return r.Block < kBlockCount && r.Id > 0;
            },
            40);
        QVERIFY(line != nullptr);
        const int y = YOf(Window(), line, pane);
        PostAppMessage(&Window(), kMsgPaneMouseMove, PackPoint(5, y),
                       reinterpret_cast<intptr_t>(pane));
        QCoreApplication::sendPostedEvents();
        const MessageRecord* record = frame.Table().RecordOf(line);
        QCOMPARE(Window().StatusText(1), ToQString(LinePaneText(line->lineNumber)));
        QCOMPARE(Window().StatusText(2), ToQString(IdPaneText(record->Id)));
        QCOMPARE(Window().StatusText(3),
                 ToQString(DatePaneText(Window().LoadedConverter()->BaseTime(), record->Time)));
        QCOMPARE(Window().StatusText(3), QStringLiteral(" 2024/06/07"));
        // Over the title row the panes are cleared.
        PostAppMessage(&Window(), kMsgPaneMouseMove, PackPoint(5, 2),
                       reinterpret_cast<intptr_t>(pane));
        QCoreApplication::sendPostedEvents();
        QVERIFY(Window().StatusText(1).isEmpty());
        QVERIFY(Window().StatusText(2).isEmpty());
        QVERIFY(Window().StatusText(3).isEmpty());
    }

    void ContextMenuWithWordAndLapdDetail() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        CPaneFrame& frame = *Window().Frame();
        const DisplayLine* line = FindLine(frame, [](const DisplayLine& l, const MessageRecord& r) {
            return l.groupOffset == 0 && r.Block < kBlockCount && !LapdDetailText(r).empty();
        });
        QVERIFY(line != nullptr);
        const MessageRecord* record = frame.Table().RecordOf(line);
        CPaneWnd* pane = frame.PaneShowing(record->Block);
        QVERIFY(pane != nullptr);
        const int y = YOf(Window(), line, pane);
        const int x = frame.Margin() + frame.CharWidth() / 2;
        const QString word = pane->WordAt(x, y);
        for (int round = 0; round < 2; ++round) {
            QVERIFY(Window().PrepareContextMenu(pane, x, y));
            QCOMPARE(Window().ContextPane(), pane->Position());
            QCOMPARE(Window().CurrentLine(), line->lineNumber);
            const QList<QAction*> actions = Window().ContextMenu()->actions();
            int words = 0;
            int details = 0;
            for (qsizetype i = 0; i < actions.size(); ++i) {
                const int id = actions[i]->data().toInt();
                if (id == res::kCmdCopyWord && !actions[i]->isSeparator()) {
                    ++words;
                    QCOMPARE(i, qsizetype(0));
                    QVERIFY(actions[1]->isSeparator());
                    QCOMPARE(actions[i]->text(),
                             QStringLiteral("表示文字列 <") + word + QStringLiteral("> をコピー"));
                }
                if (id == res::kCmdLapdDetail) {
                    ++details;
                    QCOMPARE(i, actions.size() - 1);
                    QVERIFY(actions[i - 1]->isSeparator());
                    QCOMPARE(actions[i]->text(), ToQString(LapdDetailText(*record)));
                    QVERIFY(actions[i]->text().startsWith(QStringLiteral("TEI=")));
                }
            }
            QCOMPARE(words, word.isEmpty() ? 0 : 1);
            QCOMPARE(details, 1);
        }
        QVERIFY(!word.isEmpty());
        // The items of the menu template are there; reload is enabled.
        QStringList texts;
        for (QAction* action : Window().ContextMenu()->actions()) {
            texts << action->text();
            if (action->data().toInt() == res::kCmdReload) {
                QVERIFY(action->isEnabled());
            }
        }
        QVERIFY(texts.contains(QStringLiteral("ログファイル再読み込み\tF2")));
        QVERIFY(texts.contains(QStringLiteral("ブロックの並びを昇順に戻す")));
        // Copying the word puts it on the clipboard in angle brackets.
        QVERIFY(Window().ExecuteCommand(res::kCmdCopyWord));
        QCOMPARE(QGuiApplication::clipboard()->text(), QLatin1Char('<') + word + QLatin1Char('>'));

        // A line of a warning record has no detail line.
        const DisplayLine* warning =
            FindLine(frame, [](const DisplayLine&, const MessageRecord& r) {
                return (r.Flags & (kRecordWarning | kRecordError)) != 0 && r.Block < kBlockCount;
            });
        if (warning != nullptr) {
            CPaneWnd* other = frame.PaneShowing(frame.Table().RecordOf(warning)->Block);
            QVERIFY(Window().PrepareContextMenu(other, x, YOf(Window(), warning, other)));
            for (QAction* action : Window().ContextMenu()->actions()) {
                QVERIFY(action->data().toInt() != res::kCmdLapdDetail);
            }
        }
    }

    void RightClickPopsTheMenu() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        CPaneWnd* pane = Window().Frame()->Pane(0);
        bool shown = false;
        QTimer::singleShot(50, &Window(), [&] {
            QWidget* popup = QApplication::activePopupWidget();
            shown = popup == Window().ContextMenu();
            if (popup != nullptr) {
                popup->close();
            }
        });
        PostAppMessage(&Window(), kMsgPaneRightDown, PackPoint(10, 40),
                       reinterpret_cast<intptr_t>(pane));
        QCoreApplication::sendPostedEvents();
        QVERIFY(shown);
        QCOMPARE(Window().ContextPane(), 0);
    }

    void EscDoesNotClose() {
        QTest::keyClick(&Window(), Qt::Key_Escape);
        QTest::keyClick(Window().Control(res::kIdcLineNumber), Qt::Key_Escape);
        QVERIFY(Window().isVisible());
        QCOMPARE(Window().result(), 0);
    }

    void OpenFileDialogAndItsCheckBoxes() {
        // Cancelled, with the RR box ticked: the flag still changes.
        m_ui->openChecks = {true, false};
        QVERIFY(Window().ExecuteCommand(res::kCmdOpen));
        QCOMPARE(m_ui->openRequests.size(), size_t(1));
        const OpenFileRequest& request = m_ui->openRequests[0];
        QCOMPARE(ToQString(request.title), QStringLiteral("INSログファイルを開く"));
        QCOMPARE(ToQString(request.filter),
                 QStringLiteral("INS ログファイル (*.dat)|*.dat|すべてのファイル (*.*)|*.*||"));
        QCOMPARE(ToQString(request.defaultExtension), QStringLiteral("dat"));
        QCOMPARE(request.checks.size(), size_t(2));
        QCOMPARE(request.checks[0].id, 1101);
        QCOMPARE(ToQString(request.checks[0].text), QStringLiteral("レイヤ2の<RR>を表示しない"));
        QCOMPARE(request.checks[1].id, 1102);
        QCOMPARE(ToQString(request.checks[1].text),
                 QStringLiteral("ログファイル・ヘッダー情報の表示のみ"));
        QVERIFY((Window().Settings().para.Flag[1] & kFlag1HideRr) != 0);
        // Header only: nothing is loaded.
        std::string viewed;
        Window().SetHeaderViewer([&](const PathString& path) { viewed = path; });
        m_ui->openPath = DemoLogPath();
        m_ui->openChecks = {false, true};
        QVERIFY(Window().ExecuteCommand(res::kCmdOpen));
        QCOMPARE(viewed, DemoLogPath());
        QVERIFY(Window().LoadedConverter() == nullptr);
        QVERIFY((Window().Settings().para.Flag[1] & kFlag1HideRr) == 0);
        // OK: opened, at the head of the recent list, starting next time in its folder.
        m_ui->openChecks = {false, false};
        QVERIFY(Window().ExecuteCommand(res::kCmdOpen));
        QVERIFY(Window().LoadedConverter() != nullptr);
        QCOMPARE(Window().Settings().recentFiles.front(), Utf16(DemoLogPath()));
        QVERIFY(Window().ExecuteCommand(res::kCmdOpen));
        QCOMPARE(QDir(QString::fromStdString(m_ui->openRequests.back().folder)),
                 QDir(QStringLiteral(TESSARY_SOURCE_DIR "/samples")));
    }

    void DroppedFileIsOpened() {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(DemoLogPath()))});
        // As the drag manager delivers it: enter, then drop on the window.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&Window(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&Window(), &drop);
        QCOMPARE(Window().windowTitle(), QStringLiteral("demo.dat - INSログデータ表示"));
        QCOMPARE(Window().Settings().recentFiles.front(), Utf16(DemoLogPath()));
    }

    void ClosingStoresPlacementAndBlockOrder() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        CPaneFrame& frame = *Window().Frame();
        QVERIFY(frame.SwapBlocks(frame.Pane(1), frame.Pane(2)));
        QVERIFY(Window().close() || !Window().isVisible());
        QCOMPARE(Window().result(), static_cast<int>(Answer::kCancel));
        const SettingsRecord& settings = Window().Settings();
        QCOMPARE(BlockPosition(settings.para, 0), 0);
        QCOMPARE(BlockPosition(settings.para, 1), 2);
        QCOMPARE(BlockPosition(settings.para, 2), 1);
        QCOMPARE(BlockPosition(settings.para, 3), 3);
        QVERIFY(settings.mainWindow.right > settings.mainWindow.left);
        QVERIFY(settings.mainWindow.bottom > settings.mainWindow.top);
        QCOMPARE(settings.mainWindow.showCmd, kShowNormal);
    }

    void RendersTheDemoLog() {
        QCOMPARE(Window().Open(DemoLogPath(), kLineAsk), kOpenResultDone);
        CPaneFrame& frame = *Window().Frame();
        const DisplayLine* line = FindLine(frame, [](const DisplayLine&, const MessageRecord& r) {
            return r.Layer == kLayerMessage;
        });
        QVERIFY(line != nullptr);
        frame.SelectLine(line);
        QCoreApplication::processEvents();
        const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(folder));
        const QImage image = Window().grab().toImage();
        QVERIFY(image.save(folder + QStringLiteral("/main.png")));
        QVERIFY(image.width() >= 1000);
    }
};

TESSARY_GUI_TEST(MainWindowTest);

}  // namespace tessary::test

#include "test_main_window.moc"
