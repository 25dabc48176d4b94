// The aggregation windows as a person uses them: the two buttons of the main window and their
// start checks, the related-call window against what tessarydump prints for the same call (and
// its end at a reused call reference), the search window (also while the main window repaints
// its hits), the place it opens at, and inside a window the clicks, the status panes, the keys,
// the go-to edits, the context menu and its range copy, closing, the stored placement, and a
// screenshot.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "decode/CanPara.h"
#include "display/CPaneSplitter.h"
#include "display/CPaneWnd.h"
#include "mainwnd/Aggregation.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CSummaryDlg.h"
#include "mainwnd/MainTexts.h"
#include "platform/DigitGroup.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

const QString kCallCaption = QStringLiteral("関連呼情報");
const QString kAggregationCaption = QStringLiteral("INSログデータ集約");
const QString kNoSetup = QStringLiteral("集約開始する呼設定メッセージが選択されていません。");
const QString kNoChannel = QStringLiteral(
    "集約開始する呼設定メッセージにチャネル情報が含まれていか、あるいはチャネル番号が特定でき"
    "ません。");
const QString kNotLoaded = QStringLiteral("INSログファイルが読み込まれていません。");
const QString kNoMatch = QStringLiteral("検索文字列に該当するINSデータが存在していません。");
const QString kIndexNoData =
    QStringLiteral("入力されたインデックス番号に該当するデータはありません");
const QString kCloseItem = QStringLiteral("閉じる(&C)\tAlt+F4");

// Bit 6 of the second flag byte: records keep their aggregation lines in the second slot.
constexpr uint8_t kAggregationViewBit = 0x40;

// I frame, SAPI 0 TEI 64, call reference 1 (outgoing), SETUP, speech bearer; elements follow.
const std::vector<uint8_t> kSetupHead = {0x00, 0x81, 0x00, 0x00, 0x08, 0x01,
                                         0x01, 0x05, 0x04, 0x02, 0x88, 0x90};
const std::vector<uint8_t> kRrFrame = {0x02, 0x81, 0x01, 0x03};
// CONNECT of the same call, from the other side.
const std::vector<uint8_t> kConnectFrame = {0x02, 0x81, 0x00, 0x02, 0x08, 0x01, 0x81, 0x07};

// A called-number element whose digits read `text`.
std::vector<uint8_t> CalledNumber(const char* text) {
    std::vector<uint8_t> element = {0x70, 0, 0x80};
    for (const char* c = text; *c != '\0'; ++c) {
        element.push_back(static_cast<uint8_t>(*c));
    }
    element[1] = static_cast<uint8_t>(element.size() - 2);
    return element;
}

std::vector<uint8_t> SetupWith(const std::vector<uint8_t>& elements) {
    std::vector<uint8_t> frame = kSetupHead;
    frame.insert(frame.end(), elements.begin(), elements.end());
    return frame;
}

QColor ColorOfRef(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

QString RecordText(const MessageRecord& record) {
    return ToQString(record.TextView());
}

// "CH=" and the digits after its first occurrence (any letter case), or empty.
QString ChannelOf(const MessageRecord& record) {
    static const QRegularExpression channel(QStringLiteral("CH=([0-9]*)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = channel.match(RecordText(record));
    return match.hasMatch() ? match.captured(0) : QString();
}

bool SameSide(const MessageRecord& a, const MessageRecord& b) {
    return (a.Block < 2) == (b.Block < 2);
}

bool IsSetup(const MessageRecord& record) {
    return record.Layer == kLayerMessage && record.Code == 5 && record.Block < kBlockCount;
}

// The messages a table shows, in display order (title row left out).
std::vector<const MessageRecord*> ShownMessages(const DisplayLineTable& table) {
    std::vector<const MessageRecord*> records;
    for (int32_t n = 1; n < table.LineCount(); ++n) {
        const DisplayLine* line = table.Line(n);
        const MessageRecord* record = table.RecordOf(line);
        if (record != nullptr && line->groupOffset == 0) {
            records.push_back(record);
        }
    }
    return records;
}

// Their index numbers.
std::vector<uint32_t> ShownIds(const DisplayLineTable& table) {
    std::vector<uint32_t> ids;
    for (const MessageRecord* record : ShownMessages(table)) {
        ids.push_back(record->Id);
    }
    return ids;
}

// Their places in the store.
std::vector<uint32_t> ShownIndexes(const DisplayLineTable& table) {
    std::vector<uint32_t> indexes;
    for (const MessageRecord* record : ShownMessages(table)) {
        indexes.push_back(record->Index);
    }
    return indexes;
}

// The Id and Index of the first message shown in a block column ({0, 0} when none).
std::pair<uint32_t, uint32_t> FirstBlockRecord(const DisplayLineTable& table) {
    for (int32_t n = 1; n < table.LineCount(); ++n) {
        const MessageRecord* record = table.RecordOf(table.Line(n));
        if (record != nullptr && record->Block < kBlockCount) {
            return {record->Id, record->Index};
        }
    }
    return {0, 0};
}

// The index numbers of the messages in a text output: every line that starts with "ID=".
std::vector<uint32_t> PrintedIds(const QString& text) {
    static const QRegularExpression id(QStringLiteral("^\\s*ID=([0-9]{7})"));
    std::vector<uint32_t> ids;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        const QRegularExpressionMatch match = id.match(line);
        if (match.hasMatch()) {
            ids.push_back(match.captured(1).toUInt());
        }
    }
    return ids;
}

// What an aggregation window opened by a command showed while it was open.
struct SummaryVisit {
    int opened = 0;
    bool modal = false;
    QString title;
    int32_t lineCount = 0;
    std::vector<uint32_t> ids;
    uint32_t firstBlockId = 0;  // the first message shown in a block column
    uint8_t flagsWhileOpen = 0;
    bool openAfterEscape = false;
    QString closeItem;
    bool closedByItem = false;
};

// Waits for an aggregation window while a command holds it open modally: records what it shows
// and closes it as a person does, through its menu bar and the item "閉じる". Only records;
// the test checks after the command has returned.
class SummaryWatch : public QObject {
public:
    explicit SummaryWatch(CMainDlg& owner) : m_owner(owner) {
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
        m_poll.start();
    }
    SummaryVisit visit;

private:
    void Poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<CSummaryDlg*>(widget);
            if (window == nullptr || !window->isVisible() || window == m_handled) {
                continue;
            }
            m_handled = window;
            ++visit.opened;
            visit.modal = QApplication::activeModalWidget() == window;
            visit.title = window->windowTitle();
            visit.lineCount = window->Frame()->LineCount();
            visit.ids = ShownIds(window->Frame()->Table());
            visit.firstBlockId = FirstBlockRecord(window->Frame()->Table()).first;
            visit.flagsWhileOpen = m_owner.Settings().para.Flag[1];
            QTest::keyClick(window, Qt::Key_Escape);
            QCoreApplication::processEvents();
            visit.openAfterEscape = window->isVisible();
            CloseThroughMenu(window);
            if (window->isVisible()) {
                window->close();  // never leave the command hanging
            }
        }
    }

    void CloseThroughMenu(CSummaryDlg* window) {
        QMenuBar* bar = window->MenuBar();
        for (QAction* top : bar->actions()) {
            QMenu* popup = top->menu();
            if (popup == nullptr) {
                continue;
            }
            for (QAction* item : popup->actions()) {
                if (item->data().toInt() != res::kCmdClose) {
                    continue;
                }
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
                if (!popup->isVisible()) {
                    return;
                }
                visit.closeItem = item->text();
                QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(item).center());
                visit.closedByItem = !window->isVisible();
                return;
            }
        }
    }

    CMainDlg& m_owner;
    QTimer m_poll;
    CSummaryDlg* m_handled = nullptr;
};

// A related call whose list ends at a later SETUP of the same side and call reference for
// another channel, with records of its channel after that SETUP.
struct ReusedCall {
    const MessageRecord* start = nullptr;
    const MessageRecord* reuse = nullptr;
    QString channel;
};

}  // namespace

class SummaryWindowTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_logs;
    std::string m_callLog;
    std::unique_ptr<CSummaryDlg> m_summary;

    CPaneFrame& MainFrame() { return *m_window->Frame(); }
    CSummaryDlg& Summary() { return *m_summary; }
    // The aggregation window's frame (the main window's is MainFrame()).
    CPaneFrame& Frame() { return *m_summary->Frame(); }
    QLineEdit* SummaryEdit(int id) { return qobject_cast<QLineEdit*>(m_summary->Control(id)); }
    QPushButton* MainButton(int id) { return qobject_cast<QPushButton*>(m_window->Control(id)); }

    // A key press where the keyboard focus is (at the active window while nothing has it).
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        PressKey(QApplication::activeWindow(), key, modifiers);
    }

    // The first line of the message of `record` in `frame`, or nullptr.
    static const DisplayLine* LineOf(const CPaneFrame& frame, const MessageRecord* record) {
        for (int32_t n = 1; n < frame.LineCount(); ++n) {
            const DisplayLine* line = frame.Line(n);
            if (line->groupOffset == 0 && frame.Table().RecordOf(line) == record) {
                return line;
            }
        }
        return nullptr;
    }

    // The first message line (from line 1) whose record passes `test`.
    template <typename Test>
    static const DisplayLine* FindLine(const CPaneFrame& frame, Test test) {
        for (int32_t n = 1; n < frame.LineCount(); ++n) {
            const DisplayLine* line = frame.Line(n);
            const MessageRecord* record = frame.Table().RecordOf(line);
            if (record != nullptr && line->groupOffset == 0 && test(*record)) {
                return line;
            }
        }
        return nullptr;
    }

    // The mouse moved over `widget` with no button down, delivered as the click helpers of
    // QTest deliver theirs (QTest itself only moves the cursor then).
    static void MoveMouse(QWidget* widget, const QPoint& at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
        QCoreApplication::processEvents();
    }

    static void ClickLine(CPaneFrame& frame, int32_t n) {
        CPaneWnd* pane = frame.Pane(0);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, PointOfLine(frame, pane, n));
        QCoreApplication::processEvents();
    }

    // Selects `record` in the main window with a click on its line.
    bool SelectInMain(const MessageRecord* record) {
        const DisplayLine* line = LineOf(MainFrame(), record);
        if (line == nullptr) {
            return false;
        }
        ClickLine(MainFrame(), line->lineNumber);
        return QTest::qWaitFor([&] { return SelectedLine(MainFrame()) == line->lineNumber; });
    }

    // Types `text` into the main window's search box.
    void TypeSearch(const QString& text) {
        QLineEdit* edit = Window().SearchBox()->lineEdit();
        edit->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        edit->insert(text);
    }

    // Clicks a main-window button whose command may open an aggregation window; the watch
    // records and closes it.
    SummaryVisit ClickAggregate(int button) {
        SummaryWatch watch(Window());
        QTest::mouseClick(MainButton(button), Qt::LeftButton);
        QCoreApplication::processEvents();
        return watch.visit;
    }

    // The window as the command opens it, but shown without its own event loop so that the
    // test can drive it: the pattern compiled in the main window, the aggregation-view bit set,
    // initialised and aggregated. The run's result goes to `result`.
    bool OpenSummary(AggregationKind kind, const QString& text, const RelatedCallStart* start,
                     int32_t* result) {
        Window().Search(FromQString(text), -1);
        Window().Settings().para.Flag[1] |= kAggregationViewBit;
        m_summary = std::make_unique<CSummaryDlg>(Window(), kind, FromQString(text), start);
        std::u16string failure;
        if (!m_summary->Initialize(&failure)) {
            return false;
        }
        *result = m_summary->Aggregate();
        m_summary->show();
        return QTest::qWaitForWindowExposed(m_summary.get()) && ActivateWindow(m_summary.get());
    }

    void CloseSummary() {
        m_summary.reset();
        if (m_window != nullptr) {
            Window().Settings().para.Flag[1] &= static_cast<uint8_t>(~kAggregationViewBit);
        }
    }

    // A related call of the generated log that ends at a reused call reference.
    std::optional<ReusedCall> FindReusedCall() {
        const CTessaryCan* converter = Window().LoadedConverter();
        const uint32_t count = converter->LineCount();
        for (uint32_t i = 1; i < count; ++i) {
            const MessageRecord* start = converter->Record(i);
            const QString channel = ChannelOf(*start);
            if (!IsSetup(*start) || channel.size() <= 3 || start->RowSlot[0] < 0) {
                continue;
            }
            const MessageRecord* reuse = nullptr;
            for (uint32_t j = i + 1; j < count && reuse == nullptr; ++j) {
                const MessageRecord* later = converter->Record(j);
                if (IsSetup(*later) && SameSide(*later, *start) &&
                    (later->Flags & kRecordIncomingCall) == (start->Flags & kRecordIncomingCall) &&
                    later->CallRef == start->CallRef) {
                    reuse = later;
                }
            }
            const QString other = reuse != nullptr ? ChannelOf(*reuse) : QString();
            if (other.size() <= 3 || other.compare(channel, Qt::CaseInsensitive) == 0) {
                continue;
            }
            for (uint32_t j = reuse->Index + 1; j < count; ++j) {
                if (RecordText(*converter->Record(j)).contains(channel, Qt::CaseInsensitive)) {
                    return ReusedCall{start, reuse, channel};
                }
            }
        }
        return std::nullopt;
    }

    // The records of the loaded log whose text holds "呼設定" and "CH=01" (what the search
    // "<呼設定> <CH=01>" takes), by index.
    std::vector<uint32_t> CallSetupsOnChannel1() {
        std::vector<uint32_t> indexes;
        const CTessaryCan* converter = Window().LoadedConverter();
        for (uint32_t i = 1; i < converter->LineCount(); ++i) {
            const QString text = RecordText(*converter->Record(i));
            if (text.contains(QStringLiteral("呼設定")) &&
                text.contains(QStringLiteral("CH=01"), Qt::CaseInsensitive)) {
                indexes.push_back(i);
            }
        }
        return indexes;
    }

    // The text tessarydump prints for `arguments` with the settings of a new viewer.
    QString Dump(const QStringList& arguments, int* exitCode) {
        const Printed printed = RunTessarydump(arguments, m_dir->File("config"));
        *exitCode = printed.exitCode;
        return printed.out;
    }

    // A right click on `pane` at `at`; while the menu is open the item `choose` is clicked
    // (0: the menu is closed). What it held goes to `visit`.
    bool RightClick(CPaneWnd* pane, const QPoint& at, int choose, MenuVisit* visit) {
        return RightClickMenu(pane, at, Summary().ContextMenu(), choose, visit);
    }

    // Types `text` over edit `id` of the aggregation window and presses Enter there.
    void TypeAndEnter(int id, const QString& text) { TypeOverAndEnter(SummaryEdit(id), text); }

    // Loads the call log, selects the SETUP of a related call that ends at a reused call
    // reference (to `call`) and opens its window; the run's result goes to `result`. The caller
    // stops when a check here failed.
    void OpenReusedCall(std::optional<ReusedCall>& call, int32_t* result) {
        QVERIFY(Load(m_callLog));
        call = FindReusedCall();
        QVERIFY(call.has_value());
        QVERIFY(SelectInMain(call->start));
        RelatedCallStart start;
        QVERIFY(CheckRelatedCallStart(call->start, start).empty());
        QVERIFY(
            OpenSummary(AggregationKind::kRelatedCall, ToQString(start.pattern), &start, result));
    }

    // Texts of a few main-window lines, to see that an aggregation leaves them alone.
    QStringList MainSample() {
        QStringList texts;
        const int32_t count = MainFrame().LineCount();
        for (const int32_t n : {int32_t(0), int32_t(1), count / 3, count / 2, count - 1}) {
            texts << ToQString(MainFrame().Table().TextOf(MainFrame().Line(n)));
        }
        texts << QString::number(count);
        return texts;
    }

private slots:
    void initTestCase() {
        m_logs = std::make_unique<TempDir>();
        m_callLog = m_logs->File("calls.dat");
        QVERIFY(RunInsloggen("--seed 3 --records 3000 --call-interval 2s", m_callLog));
    }

    void cleanupTestCase() { m_logs.reset(); }

    void init() {
        QVERIFY(StartWindow());
        QVERIFY(Activate());
    }

    void cleanup() {
        CloseSummary();
        CloseWindow();
    }

    void CallButtonChecksTheSelectedMessage() {
        // A frame, a reply that is no SETUP, and SETUPs whose channel is "none", 13 digits
        // (no channel element; the called number reads "CH=...") and 12 digits.
        const std::string path =
            LogBytes()
                .FrameWithFcs('R', 10, kRrFrame)
                .FrameWithFcs('R', 20, kConnectFrame)
                .FrameWithFcs('T', 30, SetupWith({0x18, 0x01, 0x80}))
                .FrameWithFcs('T', 40, SetupWith(CalledNumber("CH=1234567890123")))
                .FrameWithFcs('T', 50, SetupWith(CalledNumber("CH=123456789012")))
                .FixDataByteCount()
                .WriteTo(m_dir->File("setups.dat"));
        QVERIFY(Load(path));
        const CTessaryCan* converter = Window().LoadedConverter();
        std::vector<const MessageRecord*> records;
        for (uint32_t i = 1; i < converter->LineCount(); ++i) {
            records.push_back(converter->Record(i));
        }
        QCOMPARE(records.size(), size_t(5));
        QCOMPARE(records[0]->Layer, kLayerFrame);
        QCOMPARE(records[1]->Layer, kLayerMessage);
        QVERIFY(records[1]->Code != 5);
        QVERIFY(RecordText(*records[2]).contains(QStringLiteral("CH=なし")));
        QVERIFY(RecordText(*records[3]).contains(QStringLiteral("CH=1234567890123")));
        QVERIFY(RecordText(*records[4]).contains(QStringLiteral("CH=123456789012")));
        const QString historyHead = Window().SearchBox()->itemText(0);

        // Nothing selected yet.
        QVERIFY(MainFrame().SelectionLine() == nullptr);
        SummaryVisit visit = ClickAggregate(res::kIdcCallAggregate);
        QCOMPARE(visit.opened, 0);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, kNoSetup);
        QCOMPARE(m_ui->messages[0].caption, kCallCaption);

        // Each message that cannot start a call.
        struct Case {
            const MessageRecord* selected;
            QString message;
        };
        const Case cases[] = {
            {records[0], kNoSetup},
            {records[1], kNoSetup},
            {records[2], kNoChannel},
            {records[3], kNoChannel},
        };
        for (const Case& c : cases) {
            QVERIFY(SelectInMain(c.selected));
            m_ui->messages.clear();
            visit = ClickAggregate(res::kIdcCallAggregate);
            QCOMPARE(visit.opened, 0);
            QCOMPARE(m_ui->messages.size(), size_t(1));
            QCOMPARE(m_ui->messages[0].text, c.message);
            QCOMPARE(m_ui->messages[0].caption, kCallCaption);
            QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
            QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kOk);
            // Nothing was searched for.
            QCOMPARE(Window().SearchBox()->itemText(0), historyHead);
            QCOMPARE(Window().Settings().para.Flag[1] & kAggregationViewBit, 0);
        }

        // Twelve digits are a channel: the window opens over that call.
        QVERIFY(SelectInMain(records[4]));
        m_ui->messages.clear();
        visit = ClickAggregate(res::kIdcCallAggregate);
        QVERIFY(m_ui->messages.empty());
        QCOMPARE(visit.opened, 1);
        QCOMPARE(visit.title, QStringLiteral("関連呼情報[C]  \"<発1> | <CH=123456789012>\""));
        QCOMPARE(Window().SearchBox()->itemText(0),
                 QStringLiteral("<-呼設定->|<発1>|<CH=123456789012>"));
        QVERIFY(std::find(visit.ids.begin(), visit.ids.end(), records[4]->Id) != visit.ids.end());
    }

    void SearchButtonWithoutAFileOrAText() {
        // No file: the pattern is compiled and remembered, then the message.
        TypeSearch(QStringLiteral("<呼設定>"));
        SummaryVisit visit = ClickAggregate(res::kIdcSearchAggregate);
        QCOMPARE(visit.opened, 0);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, kNotLoaded);
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
        QCOMPARE(Window().SearchBox()->itemText(0), QStringLiteral("<呼設定>"));
        QVERIFY(Window().Conditions()[kSearchSlot].HasWord());

        // An empty box does nothing at all.
        QVERIFY(Load(m_callLog));
        const QStringList history = [&] {
            QStringList items;
            for (int i = 0; i < Window().SearchBox()->count(); ++i) {
                items << Window().SearchBox()->itemText(i);
            }
            return items;
        }();
        TypeSearch(QString());
        m_ui->messages.clear();
        visit = ClickAggregate(res::kIdcSearchAggregate);
        QCOMPARE(visit.opened, 0);
        QVERIFY(m_ui->messages.empty());
        QStringList after;
        for (int i = 0; i < Window().SearchBox()->count(); ++i) {
            after << Window().SearchBox()->itemText(i);
        }
        QCOMPARE(after, history);
        QCOMPARE(Window().Settings().para.Flag[1] & kAggregationViewBit, 0);
    }

    void CallButtonOpensTheModalWindowOverTheSelectedSetup() {
        QVERIFY(Load(m_callLog));
        const std::optional<ReusedCall> call = FindReusedCall();
        QVERIFY(call.has_value());
        const MessageRecord* start = call->start;
        QVERIFY(SelectInMain(start));
        const int32_t mainSelection = SelectedLine(MainFrame());
        const QStringList mainBefore = MainSample();
        const uint8_t flagsBefore = Window().Settings().para.Flag[1];
        QCOMPARE(flagsBefore & kAggregationViewBit, 0);

        const SummaryVisit visit = ClickAggregate(res::kIdcCallAggregate);
        QVERIFY(m_ui->messages.empty());
        QCOMPARE(visit.opened, 1);
        QVERIFY(visit.modal);
        const QString callRef =
            QString((start->Flags & kRecordIncomingCall) != 0 ? QStringLiteral("着")
                                                              : QStringLiteral("発")) +
            QString::number(start->CallRef);
        const QChar block(u'A' + start->Block);
        QCOMPARE(visit.title, kCallCaption + QStringLiteral("[") + block +
                                  QStringLiteral("]  \"<") + callRef + QStringLiteral("> | <") +
                                  call->channel + QStringLiteral(">\""));
        QVERIFY(visit.lineCount > 3);
        QCOMPARE(visit.firstBlockId, start->Id);
        QVERIFY((visit.flagsWhileOpen & kAggregationViewBit) != 0);
        QVERIFY(visit.openAfterEscape);
        QCOMPARE(visit.closeItem, kCloseItem);
        QVERIFY(visit.closedByItem);

        // Afterwards: the bit as it was, the pattern highlighted and at the head of the history.
        QCOMPARE(Window().Settings().para.Flag[1] & kAggregationViewBit,
                 flagsBefore & kAggregationViewBit);
        const QString pattern = QStringLiteral("<-呼設定->|<") + callRef + QStringLiteral(">|<") +
                                call->channel + QStringLiteral(">");
        QCOMPARE(Window().SearchBox()->itemText(0), pattern);
        QVERIFY(Window().Conditions()[kSearchSlot].HasWord());
        QCOMPARE(ToQString(Window().Settings().searchHistory.front()), pattern);
        // The main window's lines and selection are its own.
        QCOMPARE(MainSample(), mainBefore);
        QCOMPARE(SelectedLine(MainFrame()), mainSelection);
    }

    void RelatedCallIsWhatTessarydumpPrintsAndEndsAtTheReusedReference() {
        std::optional<ReusedCall> call;
        int32_t result = -1;
        OpenReusedCall(call, &result);
        if (QTest::currentTestFailed()) {
            return;
        }
        // Stopped at the new SETUP: still a success, and the window stays.
        QCOMPARE(result, 0);
        QVERIFY(m_ui->messages.empty());
        QVERIFY(Summary().isVisible());

        // The list runs from the start up to (not including) the SETUP that reuses the call
        // reference, although later records name the channel again.
        const std::vector<uint32_t> indexes = ShownIndexes(Frame().Table());
        QVERIFY(indexes.size() > 3);
        // Records without a block are taken wherever they are; the call starts at its SETUP.
        QCOMPARE(FirstBlockRecord(Frame().Table()).second, call->start->Index);
        QVERIFY2(indexes.back() < call->reuse->Index,
                 qPrintable(QStringLiteral("last %1, reused at %2")
                                .arg(indexes.back())
                                .arg(call->reuse->Index)));
        QVERIFY(std::is_sorted(indexes.begin(), indexes.end()));

        int exitCode = -1;
        const QString printed =
            Dump({QStringLiteral("--crlf"), QStringLiteral("--call"),
                  QString::number(call->start->Id), QString::fromStdString(m_callLog)},
                 &exitCode);
        QCOMPARE(exitCode, 0);
        QCOMPARE(PrintedIds(printed), ShownIds(Frame().Table()));

        // The whole window copied from its first message to its last is the same text.
        ClickLine(Frame(), 1);
        QTRY_COMPARE(SelectedLine(Frame()), 1);
        int32_t last = Frame().LineCount() - 1;
        while (!Frame().Line(last)->HasRecord()) {
            --last;
        }
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        MenuVisit menu;
        QVERIFY(RightClick(Frame().Pane(2), PointOfLine(Frame(), Frame().Pane(2), last),
                           res::kCmdCopyRange, &menu));
        QVERIFY(menu.shown);
        QVERIFY(menu.EnabledOf(res::kCmdCopyRange));
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.size(), printed.size());
        QCOMPARE(copied, printed);
        QVERIFY(copied.startsWith(QStringLiteral("  |") + Summary().windowTitle() +
                                  QStringLiteral("\r\n")));
    }

    void SearchWindowShowsOnlyTheMatches() {
        QVERIFY(Load(m_callLog));
        const QString pattern = QStringLiteral("<呼設定> <CH=01>");
        const std::vector<uint32_t> expected = CallSetupsOnChannel1();
        const CTessaryCan* converter = Window().LoadedConverter();
        QVERIFY(expected.size() >= 30);
        // The main window scrolled so that a match far down stands at its top.
        const MessageRecord* top = converter->Record(expected[expected.size() * 2 / 3]);
        const DisplayLine* mainTop = LineOf(MainFrame(), top);
        QVERIFY(mainTop != nullptr);
        QVERIFY(
            MainFrame().ScrollAll(0, (mainTop->lineNumber - 1) * MainFrame().LineHeight(), true));
        QCOMPARE(MainFrame().TopRecord(nullptr, true), top);
        const QStringList mainBefore = MainSample();

        int32_t result = -1;
        QVERIFY(OpenSummary(AggregationKind::kSearch, pattern, nullptr, &result));
        QCOMPARE(result, 0);
        QCOMPARE(Summary().windowTitle(), QStringLiteral("検索情報表示  \"<呼設定> <CH=01>\""));
        QCOMPARE(Window().SearchBox()->itemText(0), pattern);
        const DisplayLineTable& table = Frame().Table();
        QCOMPARE(table.RecordOf(table.Line(0))->Index, 0u);
        QCOMPARE(ShownIndexes(table), expected);
        QCOMPARE(MainSample(), mainBefore);

        // It opens where the main window was.
        const DisplayLine* shown = LineOf(Frame(), top);
        QVERIFY(shown != nullptr);
        QVERIFY(Frame().VerticalBar().Pos() > 0);
        QVERIFY(LineInView(Frame(), shown->lineNumber));

        // Its buttons explain themselves as the main window's do.
        QCOMPARE(Summary().Control(res::kIdcGoLine)->toolTip(),
                 QStringLiteral("入力された行番号(1～)を表示"));
        QCOMPARE(Summary().Control(res::kIdcGoIndex)->toolTip(),
                 QStringLiteral("入力されたINSメッセージ・インデックス番号(ID=...)を表示"));
        QCOMPARE(Summary().Control(res::kIdcShowSelection)->toolTip(),
                 QStringLiteral("現在の選択行を表示 F9"));
    }

    void SearchIsRightWhileTheMainWindowRepaints() {
        // The main window repaints its hits under the progress dialog (its search highlight has
        // just changed) while the walk matches the same pattern on the worker.
        const std::string log = m_dir->File("busy.dat");
        QVERIFY(RunInsloggen("--seed 11 --records 20000 --call-interval 2s", log));
        QVERIFY(Load(log));
        const QString pattern = QStringLiteral("<呼設定> <CH=01>");
        const std::vector<uint32_t> expected = CallSetupsOnChannel1();
        QVERIFY(expected.size() >= 100);
        Window().Search(FromQString(pattern), -1);
        QVERIFY(MainFrame().ScrollAll(
            0,
            (LineOf(MainFrame(), Window().LoadedConverter()->Record(expected[3]))->lineNumber - 1) *
                MainFrame().LineHeight(),
            true));
        QTimer repaint;
        repaint.setInterval(0);
        connect(&repaint, &QTimer::timeout, this, [this] {
            for (int p = 0; p < kPaneCount; ++p) {
                MainFrame().Pane(p)->viewport()->repaint();
            }
        });
        for (int round = 0; round < 6; ++round) {
            repaint.start();
            int32_t result = -1;
            const bool opened = OpenSummary(AggregationKind::kSearch, pattern, nullptr, &result);
            repaint.stop();
            QVERIFY(opened);
            QCOMPARE(result, 0);
            QCOMPARE(ShownIndexes(Frame().Table()), expected);
            CloseSummary();
        }
    }

    void OpensWhereTheMainWindowWas() {
        QVERIFY(Load(m_callLog));
        const QString pattern = QStringLiteral("<呼設定> <CH=01>");
        const CTessaryCan* converter = Window().LoadedConverter();
        const std::vector<uint32_t> matches = CallSetupsOnChannel1();
        QVERIFY(matches.size() >= 30);
        const int lh = MainFrame().LineHeight();
        // Scrolls the main window so that display line `n` stands at its top.
        const auto scrollMainTo = [&](int32_t n) {
            return MainFrame().ScrollAll(0, (n - 1) * lh - MainFrame().VerticalBar().Pos(), true);
        };

        // The third line of a matching message at the top: the same line at the top here.
        const MessageRecord* inside = converter->Record(matches[matches.size() / 2]);
        const DisplayLine* mainInside = LineOf(MainFrame(), inside);
        QVERIFY(mainInside != nullptr && mainInside->groupSize > 3);
        QVERIFY(scrollMainTo(mainInside->lineNumber + 2));
        int offset = -1;
        QCOMPARE(MainFrame().TopRecord(&offset, true), inside);
        QCOMPARE(offset, 2);
        int32_t result = -1;
        QVERIFY(OpenSummary(AggregationKind::kSearch, pattern, nullptr, &result));
        QCOMPARE(result, 0);
        const DisplayLine* shown = LineOf(Frame(), inside);
        QVERIFY(shown != nullptr);
        QCOMPARE(Frame().VerticalBar().Pos(), (shown->lineNumber + 2 - 1) * Frame().LineHeight());
        CloseSummary();

        // A message left out at the top: the next message of the aggregation comes to the top.
        size_t at = matches.size() / 3;
        while (at + 1 < matches.size() && matches[at - 1] == matches[at] - 1) {
            ++at;
        }
        const uint32_t next = matches[at];
        QVERIFY(matches[at - 1] < next - 1);
        const MessageRecord* leftOut = converter->Record(next - 1);
        const DisplayLine* mainLeftOut = LineOf(MainFrame(), leftOut);
        QVERIFY(mainLeftOut != nullptr);
        QVERIFY(scrollMainTo(mainLeftOut->lineNumber));
        QCOMPARE(MainFrame().TopRecord(&offset, true), leftOut);
        QVERIFY(OpenSummary(AggregationKind::kSearch, pattern, nullptr, &result));
        QCOMPARE(result, 0);
        shown = LineOf(Frame(), converter->Record(next));
        QVERIFY(shown != nullptr);
        QCOMPARE(Frame().VerticalBar().Pos(), (shown->lineNumber - 1) * Frame().LineHeight());
    }

    void SearchWithoutAMatchDoesNotStayOpen() {
        QVERIFY(Load(m_callLog));
        const QStringList mainBefore = MainSample();
        TypeSearch(QStringLiteral("<zzqqxx>"));
        const SummaryVisit visit = ClickAggregate(res::kIdcSearchAggregate);
        QCOMPARE(visit.opened, 0);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, kNoMatch);
        QCOMPARE(m_ui->messages[0].caption, kAggregationCaption);
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
        QCOMPARE(Window().Settings().para.Flag[1] & kAggregationViewBit, 0);
        QCOMPARE(MainSample(), mainBefore);

        // The window itself ends with 3 without being shown.
        Window().Settings().para.Flag[1] |= kAggregationViewBit;
        SummaryWatch watch(Window());
        CSummaryDlg window(Window(), AggregationKind::kSearch, u"<zzqqxx>", nullptr);
        QCOMPARE(window.DoModal(), kSummaryFailed);
        QCOMPARE(watch.visit.opened, 0);
        QCOMPARE(window.Frame()->LineCount(), 0);
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QCOMPARE(m_ui->messages[1].text, kNoMatch);
    }

    void ClicksPanesAndKeysInsideTheWindow() {
        QVERIFY(Load(m_callLog));
        int32_t result = -1;
        QVERIFY(
            OpenSummary(AggregationKind::kSearch, QStringLiteral("<呼設定>"), nullptr, &result));
        QCOMPARE(result, 0);
        QVERIFY(Frame().LineCount() > 1000);
        QLineEdit* lineEdit = SummaryEdit(res::kIdcLineNumber);
        QLineEdit* indexEdit = SummaryEdit(res::kIdcIndexNumber);
        QLineEdit* timeEdit = SummaryEdit(res::kIdcSelectionTime);
        QVERIFY(lineEdit != nullptr && indexEdit != nullptr && timeEdit != nullptr);
        const QString mainLineText =
            qobject_cast<QLineEdit*>(Window().Control(res::kIdcLineNumber))->text();

        // A click selects the message and fills this window's edits.
        const DisplayLine* target = FindLine(Frame(), [](const MessageRecord& r) {
            return r.Layer == kLayerMessage && r.Index > 100;
        });
        QVERIFY(target != nullptr);
        const int32_t n = target->lineNumber;
        const MessageRecord* record = Frame().Table().RecordOf(target);
        ClickLine(Frame(), n + 1);
        QTRY_COMPARE(SelectedLine(Frame()), n);
        QTRY_COMPARE(lineEdit->text(), ToQString(GroupedDecimal16(static_cast<uint64_t>(n))));
        QCOMPARE(indexEdit->text(), ToQString(IndexNumberText(record->Id)));
        QCOMPARE(timeEdit->text(), ToQString(SelectionTimeText(record->TextView())));
        QVERIFY(!timeEdit->text().isEmpty());
        QVERIFY(Summary().Control(res::kIdcShowSelection)->isEnabled());
        QCOMPARE(qobject_cast<QLineEdit*>(Window().Control(res::kIdcLineNumber))->text(),
                 mainLineText);

        // The status panes follow the mouse; over the title row they are empty.
        CPaneWnd* pane = Frame().Pane(1);
        MoveMouse(pane->viewport(), PointOfLine(Frame(), pane, n));
        QTRY_COMPARE(Summary().StatusText(1), ToQString(LinePaneText(n)));
        QCOMPARE(Summary().StatusText(2), ToQString(IdPaneText(record->Id)));
        QCOMPARE(Summary().StatusText(3),
                 ToQString(DatePaneText(Window().LoadedConverter()->BaseTime(), record->Time)));
        QCOMPARE(Summary().StatusText(3), QStringLiteral(" 2024/06/07"));
        MoveMouse(pane->viewport(), QPoint(30, Frame().LineHeight() / 2));
        QTRY_VERIFY(Summary().StatusText(1).isEmpty());
        QVERIFY(Summary().StatusText(2).isEmpty());
        QVERIFY(Summary().StatusText(3).isEmpty());

        // F9 brings the selection back into view.
        pane->setFocus(Qt::MouseFocusReason);
        for (int i = 0; i < 8; ++i) {
            Press(Qt::Key_PageDown);
        }
        QVERIFY(!LineInView(Frame(), n));
        Press(Qt::Key_F9);
        QVERIFY(LineInView(Frame(), n));
        QCOMPARE(SelectedLine(Frame()), n);

        // Ctrl+F5 spreads the blocks evenly again after a bar was dragged.
        QSplitter* splitter = Frame().Splitter();
        QSplitterHandle* handle = splitter->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(60, 0));
        QTest::mouseMove(handle, grip + QPoint(160, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(160, 0));
        const auto spread = [splitter] {
            const QList<int> sizes = splitter->sizes();
            return *std::max_element(sizes.begin(), sizes.end()) -
                   *std::min_element(sizes.begin(), sizes.end());
        };
        QVERIFY2(spread() > 100, qPrintable(QStringLiteral("spread %1").arg(spread())));
        Frame().Pane(0)->setFocus(Qt::MouseFocusReason);
        Press(Qt::Key_F5, Qt::ControlModifier);
        QTRY_VERIFY2(spread() <= 2, qPrintable(QStringLiteral("spread %1").arg(spread())));

        // A line number typed with Enter: the message at or after it.
        int32_t typed = n + 400;
        while (!Frame().Line(typed)->HasRecord()) {
            ++typed;
        }
        const int32_t typedStart = typed - Frame().Line(typed)->groupOffset;
        TypeAndEnter(res::kIdcLineNumber, QString::number(typed));
        QCOMPARE(SelectedLine(Frame()), typedStart);
        QVERIFY(LineInView(Frame(), typedStart));
        QVERIFY(Summary().StatusText(0).isEmpty());
        QTRY_COMPARE(lineEdit->text(),
                     ToQString(GroupedDecimal16(static_cast<uint64_t>(typedStart))));

        // An index number of an aggregated record, then one of a record left out.
        const MessageRecord* wanted = Frame().Table().RecordOf(Frame().Line(n));
        TypeAndEnter(res::kIdcIndexNumber, QString::number(wanted->Id));
        QCOMPARE(SelectedLine(Frame()), n);
        QVERIFY(Summary().StatusText(0).isEmpty());
        const CTessaryCan* converter = Window().LoadedConverter();
        const uint32_t lastShown = ShownIndexes(Frame().Table()).back();
        const MessageRecord* leftOut = nullptr;
        for (uint32_t i = wanted->Index + 1; i < lastShown && leftOut == nullptr; ++i) {
            const MessageRecord* candidate = converter->Record(i);
            if (!RecordText(*candidate).contains(QStringLiteral("呼設定")) &&
                (candidate->Flags & kRecordWarning) == 0 &&
                converter->Record(i - 1)->Id != candidate->Id &&
                converter->Record(i + 1)->Id != candidate->Id) {
                leftOut = candidate;
            }
        }
        QVERIFY(leftOut != nullptr);
        TypeAndEnter(res::kIdcIndexNumber, QString::number(leftOut->Id));
        QCOMPARE(Summary().StatusText(0), kIndexNoData);
        QCOMPARE(SelectedLine(Frame()), n);
        QVERIFY(indexEdit->hasFocus());

        // The bounds are this window's: an index number before its first message (though in
        // the log) and a line number of 0 take its first message.
        MessageRecord* firstRecord = nullptr;
        const DisplayLine* firstLine = Frame().FirstLastLine(true, &firstRecord);
        QVERIFY(firstLine != nullptr);
        QVERIFY(firstRecord->Id > 1);
        TypeAndEnter(res::kIdcIndexNumber, QString::number(firstRecord->Id - 1));
        QCOMPARE(Summary().StatusText(0),
                 QStringLiteral("インデックス番号不正のため、先頭データ表示"));
        QCOMPARE(SelectedLine(Frame()), firstLine->lineNumber);
        TypeAndEnter(res::kIdcLineNumber, QString::number(n));
        QCOMPARE(SelectedLine(Frame()), n);
        TypeAndEnter(res::kIdcLineNumber, QStringLiteral("0"));
        QCOMPARE(Summary().StatusText(0), QStringLiteral("行番号不正のため、先頭データ表示"));
        QCOMPARE(SelectedLine(Frame()), firstLine->lineNumber);
        QVERIFY(Window().StatusText(0).isEmpty());

        // Esc leaves the window open, wherever the focus is.
        Press(Qt::Key_Escape);
        Frame().Pane(0)->setFocus(Qt::MouseFocusReason);
        Press(Qt::Key_Escape);
        QTest::keyClick(&Summary(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(Summary().isVisible());
    }

    void ContextMenuAndRangeCopy() {
        QVERIFY(Load(m_callLog));
        int32_t result = -1;
        QVERIFY(OpenSummary(AggregationKind::kSearch, QStringLiteral("<切断>"), nullptr, &result));
        QCOMPARE(result, 0);
        const DisplayLineTable& table = Frame().Table();
        // Two messages a few lines apart.
        const DisplayLine* from = FindLine(Frame(), [](const MessageRecord& r) {
            return r.Layer == kLayerMessage && r.Index > 50;
        });
        QVERIFY(from != nullptr);
        const int32_t s = from->lineNumber;
        const DisplayLine* to = nullptr;
        for (int32_t n = s + from->groupSize + 1; n < table.LineCount() && to == nullptr; ++n) {
            if (table.Line(n)->HasRecord() && table.Line(n)->groupOffset == 0) {
                to = table.Line(n);
            }
        }
        QVERIFY(to != nullptr);
        const int32_t l = to->lineNumber + to->groupSize - 1;
        ClickLine(Frame(), s);
        QTRY_COMPARE(SelectedLine(Frame()), s);

        // The menu holds the range copy and the equal widths.
        CPaneWnd* pane = Frame().Pane(3);
        const QPoint at = PointOfLine(Frame(), pane, l);
        QVERIFY(Summary().PrepareContextMenu(pane, at.x(), at.y()));
        QCOMPARE(Summary().ContextPane(), 3);
        QCOMPARE(Summary().CurrentLine(), l);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        MenuVisit menu;
        QVERIFY(RightClick(pane, at, res::kCmdCopyRange, &menu));
        QVERIFY(menu.shown);
        QVERIFY(menu.ids.contains(res::kCmdCopyRange));
        QVERIFY(menu.ids.contains(res::kCmdLayoutColumns));
        QCOMPARE(menu.TextOf(res::kCmdLayoutColumns),
                 QStringLiteral("ブロック表示幅を均等に配置する(&E)\tCtrl+F5"));
        const uint32_t startId = table.RecordOf(from)->Id;
        const uint32_t endId = table.RecordOf(to)->Id;
        const QString ids = QStringLiteral("(ID=%1 ～ %2)")
                                .arg(startId, 7, 10, QLatin1Char('0'))
                                .arg(endId, 7, 10, QLatin1Char('0'));
        QCOMPARE(
            menu.TextOf(res::kCmdCopyRange),
            QStringLiteral("選択行から、現在行までの表示内容") + ids + QStringLiteral("をコピー"));

        // Heading (margin, rule, title), the four block titles, then the lines of both
        // messages and what lies between them.
        const QString copied = QGuiApplication::clipboard()->text();
        const QStringList lines = copied.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.front(), QStringLiteral("  |検索情報表示  \"<切断>\""));
        QCOMPARE(lines.size(), 1 + 4 + (l - s + 1) + 1);
        QVERIFY(lines.back().isEmpty());
        for (int b = 0; b < kBlockCount; ++b) {
            QVERIFY2(lines[1 + b].trimmed().startsWith(QLatin1Char('|')), qPrintable(lines[1 + b]));
        }
        QCOMPARE(lines[5].trimmed(), ToQString(table.TextOf(from)));
        QCOMPARE(lines[lines.size() - 2].trimmed(),
                 ToQString(table.TextOf(table.Line(l))).trimmed());
        QVERIFY(copied.contains(QStringLiteral("ID=%1").arg(endId, 7, 10, QLatin1Char('0'))));
        QCOMPARE(Summary().StatusText(0), QStringLiteral("表示内容コピー終了(ID=%1～%2)")
                                              .arg(startId, 7, 10, QLatin1Char('0'))
                                              .arg(endId, 7, 10, QLatin1Char('0')));
        // The main window's message pane saw nothing of it.
        QVERIFY(Window().StatusText(0).isEmpty());
    }

    void ClosingByItemOrBoxStoresThePlacement() {
        QVERIFY(Load(m_callLog));
        const QString pattern = QStringLiteral("<切断>");
        int32_t result = -1;
        QVERIFY(OpenSummary(AggregationKind::kSearch, pattern, nullptr, &result));
        QCOMPARE(result, 0);
        const QSize minimum = Summary().minimumSize();
        const QRect placed(120, 90, minimum.width() + 60, minimum.height() + 40);
        Summary().setGeometry(placed);
        QTRY_COMPARE(Summary().geometry(), placed);

        // "閉じる" from the window's menu bar.
        QMenuBar* bar = Summary().MenuBar();
        QAction* top = bar->actions().front();
        QVERIFY(top->menu() != nullptr);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
        QTRY_VERIFY(top->menu()->isVisible());
        QAction* close = nullptr;
        for (QAction* item : top->menu()->actions()) {
            if (item->data().toInt() == res::kCmdClose) {
                close = item;
            }
        }
        QVERIFY(close != nullptr);
        QCOMPARE(close->text(), kCloseItem);
        QCOMPARE(top->text(), QStringLiteral("ウィンドウ(&W)"));
        QStringList items;
        for (QAction* item : top->menu()->actions()) {
            if (!item->isSeparator()) {
                items << item->text();
            }
        }
        QCOMPARE(items, (QStringList{QStringLiteral("現在の選択行を表示(&S)\tF9"),
                                     QStringLiteral("ブロック表示幅を均等に配置する(&E)\tCtrl+F5"),
                                     kCloseItem}));
        QTest::mouseClick(top->menu(), Qt::LeftButton, {},
                          top->menu()->actionGeometry(close).center());
        QTRY_VERIFY(!Summary().isVisible());
        const WindowPlacement& stored = Window().Settings().summaryWindow;
        QCOMPARE(stored.left, placed.left());
        QCOMPARE(stored.top, placed.top());
        QCOMPARE(stored.right, placed.left() + placed.width());
        QCOMPARE(stored.bottom, placed.top() + placed.height());
        QCOMPARE(stored.showCmd, kShowNormal);
        CloseSummary();

        // The next window comes back there; the close box ends it too.
        QVERIFY(OpenSummary(AggregationKind::kSearch, pattern, nullptr, &result));
        QCOMPARE(Summary().geometry(), placed);
        const QRect moved = placed.translated(40, 30);
        Summary().setGeometry(moved);
        QTRY_COMPARE(Summary().geometry(), moved);
        QVERIFY(Summary().close() || !Summary().isVisible());
        QVERIFY(!Summary().isVisible());
        QCOMPARE(Window().Settings().summaryWindow.left, moved.left());
        QCOMPARE(Window().Settings().summaryWindow.top, moved.top());
    }

    void RendersARelatedCall() {
        std::optional<ReusedCall> call;
        int32_t result = -1;
        OpenReusedCall(call, &result);
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(result, 0);
        Summary().resize(1280, 760);
        QCoreApplication::processEvents();
        Press(Qt::Key_F5, Qt::ControlModifier);
        ClickLine(Frame(), 1);
        QTRY_COMPARE(SelectedLine(Frame()), 1);
        QCoreApplication::processEvents();

        const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(folder));
        const QImage image = Summary().grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(image.save(folder + QStringLiteral("/aggregation.png")));
        // The words of the call's pattern in the hit colours.
        const QRgb hitBack = ColorOfRef(Window().Settings().para.Color[14].back).rgb() & 0xFFFFFF;
        int hitPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                hitPixels += (row[x] & 0xFFFFFF) == hitBack;
            }
        }
        const int cells = Frame().CharWidth() * Frame().LineHeight();
        QVERIFY2(hitPixels > 4 * cells, qPrintable(QString::number(hitPixels)));
    }
};

TESSARY_GUI_TEST(SummaryWindowTest);

}  // namespace tessary::test

#include "test_summary_window.moc"
