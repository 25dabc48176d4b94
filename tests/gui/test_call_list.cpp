// The call list window as a person uses it: opened with Ctrl+L over the loaded log (and from
// the Search menu), following the log through another open and a reconversion, sorted by
// clicks on its headers, narrowed by typing into its filter box, and opening the related-call
// aggregation of a call with Enter and with a double-click; its placement goes into the
// settings, and a screenshot over the demo log.
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "calls/CCallListDlg.h"
#include "calls/CallList.h"
#include "calls/CallListTexts.h"
#include "calls/QtCallTableModel.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CSummaryDlg.h"
#include "mainwnd/OpenFlow.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

using calls::CallInfo;
using calls::CCallListDlg;
using calls::QtCallTableModel;

// What a related-call aggregation window showed while a command held it open.
struct AggregationVisit {
    int opened = 0;
    QString title;
};

// Closes every aggregation window that opens while it lives, recording its title; the test
// checks after the command has returned.
class AggregationWatch : public QObject {
public:
    AggregationWatch() {
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
        m_poll.start();
    }
    AggregationVisit visit;

private:
    void Poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<CSummaryDlg*>(widget);
            if (window != nullptr && window->isVisible()) {
                ++visit.opened;
                visit.title = window->windowTitle();
                window->close();
            }
        }
    }
    QTimer m_poll;
};

}  // namespace

class CallListWindowTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_logs;
    std::string m_otherLog;

    CCallListDlg* List() { return m_window->CallList(); }
    QTableView* View() { return List()->View(); }
    QSortFilterProxyModel* Proxy() { return List()->Proxy(); }

    // Ctrl+L in the main window, as typed; then the list as its worker hands it over.
    bool OpenList() {
        QTest::keyClick(m_window.get(), Qt::Key_L, Qt::ControlModifier);
        QCoreApplication::processEvents();
        return List() != nullptr && List()->isVisible() && WaitForList();
    }
    bool WaitForList() {
        return QTest::qWaitFor([this] { return !List()->IsMaking(); }, 20000) &&
               QTest::qWaitFor(
                   [this] {
                       QCoreApplication::processEvents();
                       return List()->SummaryLabel()->text() !=
                              QStringLiteral("呼一覧を作成しています...");
                   },
                   20000);
    }
    std::vector<CallInfo> Expected() { return calls::BuildCallList(*Window().LoadedConverter()); }

    // The call of the proxy's row `row`.
    const CallInfo& CallOfRow(int row) {
        const QModelIndex source = Proxy()->mapToSource(Proxy()->index(row, 0));
        return List()->Model()->Calls()[static_cast<size_t>(source.row())];
    }
    void ClickHeader(int column) {
        QHeaderView* header = View()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    }
    // The proxy row of the first call whose SETUP names a channel number (the related-call
    // aggregation starts only from such a SETUP), from row `from` on.
    int RowWithChannel(int from) {
        for (int row = from; row < Proxy()->rowCount(); ++row) {
            const CallInfo& call = CallOfRow(row);
            if (call.setupChannel.find(u"CH=0") == 0 || call.setupChannel.find(u"CH=1") == 0 ||
                call.setupChannel.find(u"CH=2") == 0) {
                return row;
            }
        }
        return -1;
    }
    // Types `text` key by key; a character beyond ASCII comes as a key event with that text,
    // as an input method hands it over.
    static void Type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QCoreApplication::processEvents();
        }
    }
    QRect CellRect(int row, int column) { return View()->visualRect(Proxy()->index(row, column)); }

private slots:
    void initTestCase() {
        m_logs = std::make_unique<TempDir>();
        m_otherLog = m_logs->File("other.dat");
        const std::string command = std::string(TESSARY_INSLOGGEN) +
                                    " --quiet --seed 21 --records 4000 --call-interval 2s --out '" +
                                    m_otherLog + "'";
        QCOMPARE(std::system(command.c_str()), 0);
    }
    void init() {
        QVERIFY(StartWindow());
        QVERIFY(Activate());
    }
    void cleanup() { CloseWindow(); }

    void OpensWithCtrlLAndFollowsTheLog() {
        // The item in the Search menu, with its key.
        QAction* item = Window().MenuAction(res::kCmdCallList);
        QVERIFY(item != nullptr);
        QCOMPARE(item->text().section(QLatin1Char('\t'), 0, 0), QStringLiteral("呼一覧(&L)..."));
        QVERIFY(Window().IsCommandEnabled(res::kCmdCallList));

        // Without a log the window says so.
        QVERIFY(OpenList());
        QCOMPARE(List()->windowTitle(), QStringLiteral("呼一覧"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);  // not modal
        QCOMPARE(View()->model()->rowCount(), 0);
        QCOMPARE(List()->SummaryLabel()->text(),
                 QStringLiteral("INSログファイルが読み込まれていません。"));

        // The list follows an open: every call of the demo log, made on a worker.
        QVERIFY(Load(DemoLogPath()));
        QVERIFY(WaitForList());
        std::vector<CallInfo> expected = Expected();
        QVERIFY(expected.size() >= 5);
        QCOMPARE(View()->model()->rowCount(), static_cast<int>(expected.size()));
        QCOMPARE(List()->SummaryLabel()->text(), ToQString(calls::SummaryText(expected)));
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(CallOfRow(static_cast<int>(i)).setupIndex, expected[i].setupIndex);
        }

        // Another file, then a reconversion of it.
        QVERIFY(Load(m_otherLog));
        QVERIFY(WaitForList());
        expected = Expected();
        QVERIFY(expected.size() > 20);
        QCOMPARE(View()->model()->rowCount(), static_cast<int>(expected.size()));
        QCOMPARE(Window().Reconvert(kLineAsk), kOpenResultDone);
        QVERIFY(WaitForList());
        QCOMPARE(View()->model()->rowCount(), static_cast<int>(expected.size()));
        QCOMPARE(CallOfRow(0).setupIndex, expected[0].setupIndex);

        // Closed, the list waits; Ctrl+L brings the same window back with the present log.
        List()->close();
        QVERIFY(!List()->isVisible());
        QVERIFY(Load(DemoLogPath()));
        CCallListDlg* before = List();
        QVERIFY(OpenList());
        QCOMPARE(List(), before);
        QCOMPARE(View()->model()->rowCount(), static_cast<int>(Expected().size()));
    }

    void SortsByHeaderClicksAndFiltersAsTyped() {
        QVERIFY(Load(m_otherLog));
        QVERIFY(OpenList());
        QVERIFY(QTest::qWaitForWindowExposed(List()));
        const std::vector<CallInfo> expected = Expected();
        const int all = static_cast<int>(expected.size());

        // Duration: one click sorts up, the next down.
        ClickHeader(calls::kColumnDuration);
        QCOMPARE(View()->horizontalHeader()->sortIndicatorSection(),
                 static_cast<int>(calls::kColumnDuration));
        const Qt::SortOrder first = View()->horizontalHeader()->sortIndicatorOrder();
        for (int row = 1; row < all; ++row) {
            const int64_t a = CallOfRow(row - 1).DurationMs();
            const int64_t b = CallOfRow(row).DurationMs();
            QVERIFY2(first == Qt::AscendingOrder ? a <= b : a >= b,
                     qPrintable(QString::number(row)));
        }
        ClickHeader(calls::kColumnDuration);
        QVERIFY(View()->horizontalHeader()->sortIndicatorOrder() != first);
        const Qt::SortOrder second = View()->horizontalHeader()->sortIndicatorOrder();
        for (int row = 1; row < all; ++row) {
            const int64_t a = CallOfRow(row - 1).DurationMs();
            const int64_t b = CallOfRow(row).DurationMs();
            QVERIFY(second == Qt::AscendingOrder ? a <= b : a >= b);
        }
        // By start time: the order of the log.
        ClickHeader(calls::kColumnStart);
        if (View()->horizontalHeader()->sortIndicatorOrder() != Qt::AscendingOrder) {
            ClickHeader(calls::kColumnStart);
        }
        for (int row = 1; row < all; ++row) {
            QVERIFY(CallOfRow(row - 1).setupMs <= CallOfRow(row).setupMs);
        }

        // Typed into the filter box: only the answered calls stay, then one called number.
        QLineEdit* filter = List()->FilterBox();
        filter->setFocus();
        Type(filter, QStringLiteral("応答"));
        QCoreApplication::processEvents();
        int answered = 0;
        for (const CallInfo& call : expected) {
            answered += call.result == calls::CallResult::kAnswered;
        }
        QVERIFY(answered > 0);
        QCOMPARE(Proxy()->rowCount(), answered);
        for (int row = 0; row < Proxy()->rowCount(); ++row) {
            QCOMPARE(CallOfRow(row).result, calls::CallResult::kAnswered);
        }
        QVERIFY(List()->SummaryLabel()->text().endsWith(QStringLiteral("(表示=%1)").arg(answered)));
        filter->selectAll();
        QTest::keyClick(filter, Qt::Key_Backspace);
        QCOMPARE(Proxy()->rowCount(), all);
        const QString called = ToQString(expected[expected.size() / 2].called);
        QVERIFY(!called.isEmpty());
        Type(filter, called);
        QVERIFY(Proxy()->rowCount() >= 1);
        for (int row = 0; row < Proxy()->rowCount(); ++row) {
            const CallInfo& call = CallOfRow(row);
            QVERIFY(ToQString(call.called).contains(called) ||
                    ToQString(call.calling).contains(called));
        }
    }

    void EnterAndDoubleClickOpenTheRelatedCall() {
        QVERIFY(Load(m_otherLog));
        QVERIFY(OpenList());
        QVERIFY(ActivateWindow(List()));

        // Enter on the selected row.
        const int row = RowWithChannel(0);
        QVERIFY(row >= 0);
        const CallInfo call = CallOfRow(row);
        View()->setFocus();
        View()->setCurrentIndex(Proxy()->index(row, calls::kColumnCalled));
        {
            AggregationWatch watch;
            QTest::keyClick(View(), Qt::Key_Return);
            QCOMPARE(watch.visit.opened, 1);
            QVERIFY2(watch.visit.title.contains(QStringLiteral("関連呼情報")),
                     qPrintable(watch.visit.title));
            QVERIFY2(watch.visit.title.contains(ToQString(calls::CallRefText(call))),
                     qPrintable(watch.visit.title));
        }
        // The main window selected the call's SETUP for it.
        const MessageRecord* selected =
            Window().Frame()->Table().RecordOf(Window().Frame()->Table().SelectionLine());
        QVERIFY(selected != nullptr);
        QCOMPARE(selected->Index, call.setupIndex);
        QVERIFY(List()->isVisible());  // Enter did not close the list

        // A double-click on another call.
        const int other = RowWithChannel(row + 1);
        QVERIFY(other >= 0);
        const CallInfo next = CallOfRow(other);
        View()->scrollTo(Proxy()->index(other, 0));
        const QPoint at = CellRect(other, calls::kColumnStart).center();
        {
            AggregationWatch watch;
            QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(watch.visit.opened, 1);
            QVERIFY(watch.visit.title.contains(ToQString(calls::CallRefText(next))));
        }
        QCOMPARE(
            Window().Frame()->Table().RecordOf(Window().Frame()->Table().SelectionLine())->Index,
            next.setupIndex);
    }

    void PlacementGoesIntoTheSettings() {
        QVERIFY(OpenList());
        QVERIFY(QTest::qWaitForWindowExposed(List()));
        List()->setGeometry(120, 140, 900, 420);
        QCoreApplication::processEvents();
        const QRect placed = List()->geometry();
        static_cast<QDialog&>(Window()).done(0);
        const WindowPlacement& stored = Window().Settings().callListWindow;
        QCOMPARE(stored.left, placed.left());
        QCOMPARE(stored.top, placed.top());
        QCOMPARE(stored.right - stored.left, placed.width());
        QCOMPARE(stored.bottom - stored.top, placed.height());

        // A new main window puts the list there again.
        const SettingsRecord settings = Window().Settings();
        m_window = std::make_unique<CMainDlg>();
        m_window->Settings() = settings;
        std::u16string failure;
        QVERIFY(m_window->Initialize(&failure));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(Activate());
        QVERIFY(OpenList());
        QCOMPARE(List()->geometry().size(), placed.size());
    }

    void Screenshot() {
        QVERIFY(Load(DemoLogPath()));
        QVERIFY(OpenList());
        List()->resize(1500, 420);
        QVERIFY(QTest::qWaitForWindowExposed(List()));
        View()->selectRow(1);
        QCoreApplication::processEvents();
        const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(folder));
        const QImage image = List()->grab().toImage();
        QVERIFY(image.save(folder + QStringLiteral("/calls.png")));
        QVERIFY(image.width() >= 1500);
    }
};

TESSARY_GUI_TEST(CallListWindowTest);

}  // namespace tessary::test

#include "test_call_list.moc"
