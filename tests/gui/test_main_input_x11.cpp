// The main window's mouse wheel on a real X display: real wheel turns over a block pane, over
// a pane's own bar and the shared bar, over the search box; a turn that reaches another control
// while the cursor is over a pane; and no redirection while another window is active.
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "display/CPaneWnd.h"
#include "mainwnd/CMainDlg.h"
#include "resources/ResourceIds.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

// Counts the wheel events that reach any widget, to know that a turn has been handled.
class WheelSpy : public QObject {
public:
    WheelSpy() { qApp->installEventFilter(this); }
    ~WheelSpy() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
            ++count;
        }
        return false;
    }
};

QPoint CenterOf(const QWidget* widget) {
    return widget->mapToGlobal(widget->rect().center());
}

}  // namespace

class MainWheelX11Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_dir;
    std::string m_log;
    QString m_xdotool;
    std::unique_ptr<FakeUi> m_ui;
    std::unique_ptr<CMainDlg> m_window;

    CMainDlg& Window() { return *m_window; }
    CPaneFrame& Frame() { return *m_window->Frame(); }
    CPaneWnd& Pane(int position) { return *m_window->Frame()->Pane(position); }
    int ScrollY(int position) { return Pane(position).ScrollPosition().y(); }
    QComboBox* SearchBox() {
        return qobject_cast<QComboBox*>(m_window->Control(res::kIdcSearchText));
    }

    // Puts the X server's pointer at a global point and waits until it is there.
    bool MoveCursor(const QPoint& global) {
        QCursor::setPos(global);
        QWidget* under = QApplication::widgetAt(global);
        if (under != nullptr) {
            QTest::mouseMove(under, under->mapFromGlobal(global));
        }
        return QTest::qWaitFor([&] { return QCursor::pos() == global; });
    }

    // One wheel notch at the pointer, +1 towards the user: through the X server with xdotool,
    // or else as the event a real turn delivers to the widget under the pointer.
    bool TurnWheel(int direction) {
        if (!m_xdotool.isEmpty()) {
            const QString button = direction > 0 ? QStringLiteral("5") : QStringLiteral("4");
            return QProcess::execute(m_xdotool, {QStringLiteral("click"), button}) == 0;
        }
        const QPoint global = QCursor::pos();
        QWidget* target = QApplication::widgetAt(global);
        if (target == nullptr) {
            return false;
        }
        QWheelEvent wheel(target->mapFromGlobal(global), global, QPoint(),
                          QPoint(0, -kWheelDelta * direction), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        return true;
    }

private slots:
    void initTestCase() {
        m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        m_dir = std::make_unique<TempDir>();
        m_log = m_dir->File("wheel.dat");
        QVERIFY(RunInsloggen("--seed 9 --records 600", m_log));
    }

    void cleanupTestCase() { m_dir.reset(); }

    void init() {
        // Skipped here, not in initTestCase: a skipped initTestCase leaves QtTest skipping every
        // class that runs after this one in the same process.
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("real wheel, focus and activation need an X display");
        }
        m_ui = std::make_unique<FakeUi>();
        m_window = std::make_unique<CMainDlg>();
        std::u16string failure;
        QVERIFY(m_window->Initialize(&failure));
        m_window->resize(1280, 800);
        m_window->show();
        QCOMPARE(m_window->Open(m_log, kLineAsk), kOpenResultDone);
        // Without a window manager nobody gives the activation back after the progress dialog.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(Frame().VerticalBar().Shown());
        QVERIFY(SearchBox() != nullptr);
        // The focus starts away from the panes.
        SearchBox()->setFocus();
        QTRY_VERIFY(SearchBox()->hasFocus());
        QCOMPARE(ScrollY(0), 0);
    }

    void cleanup() {
        m_window.reset();
        m_ui.reset();
    }

    void RealWheelOverAPaneScrollsEveryPaneFiveLinesAndFocusesIt() {
        const int lh = Frame().LineHeight();
        QVERIFY(MoveCursor(CenterOf(Pane(2).viewport())));
        QVERIFY(TurnWheel(1));
        QTRY_COMPARE(ScrollY(2), 5 * lh);
        for (int p = 0; p < kPaneCount; ++p) {
            QCOMPARE(ScrollY(p), 5 * lh);
        }
        QCOMPARE(Frame().VerticalBar().Pos(), 5 * lh);
        QVERIFY(Pane(2).hasFocus());

        QVERIFY(TurnWheel(1));
        QTRY_COMPARE(ScrollY(0), 10 * lh);
        QVERIFY(TurnWheel(-1));
        QTRY_COMPARE(ScrollY(0), 5 * lh);
        QVERIFY(TurnWheel(-1));
        QTRY_COMPARE(ScrollY(3), 0);

        // Another pane under the cursor takes the focus with the next turn.
        QVERIFY(MoveCursor(CenterOf(Pane(0).viewport())));
        QVERIFY(TurnWheel(1));
        QTRY_COMPARE(ScrollY(1), 5 * lh);
        QVERIFY(Pane(0).hasFocus());
    }

    void RealWheelOverTheBarsScrollsOnce() {
        const int lh = Frame().LineHeight();
        // A pane's own horizontal bar belongs to the pane: one notch, not two.
        QScrollBar* own = Pane(1).OwnBar(kBarHorizontal).Bar();
        QVERIFY(own->isVisible());
        QVERIFY(MoveCursor(CenterOf(own)));
        QVERIFY(TurnWheel(1));
        QTRY_COMPARE(ScrollY(1), 5 * lh);
        QVERIFY(Pane(1).hasFocus());
        WheelSpy spy;
        QVERIFY(TurnWheel(1));
        QTRY_VERIFY(spy.count > 0);
        QCoreApplication::processEvents();
        QCOMPARE(ScrollY(0), 10 * lh);

        // The shared vertical bar scrolls the panes too.
        QVERIFY(MoveCursor(CenterOf(Frame().VerticalBar().Bar())));
        QVERIFY(TurnWheel(-1));
        QTRY_COMPARE(ScrollY(0), 5 * lh);
        QCOMPARE(ScrollY(3), 5 * lh);
    }

    void RealWheelAwayFromThePanesScrollsNothing() {
        QComboBox* search = SearchBox();
        QVERIFY(MoveCursor(CenterOf(search)));
        WheelSpy spy;
        QVERIFY(TurnWheel(1));
        QTRY_VERIFY(spy.count > 0);
        QCoreApplication::processEvents();
        for (int p = 0; p < kPaneCount; ++p) {
            QCOMPARE(ScrollY(p), 0);
        }
        QVERIFY(search->hasFocus());

        // Over the status bar, below the panes.
        QWidget* status = Window().Control(res::kIdcStatusBar);
        QVERIFY(status != nullptr);
        QVERIFY(MoveCursor(CenterOf(status)));
        spy.count = 0;
        QVERIFY(TurnWheel(1));
        QTRY_VERIFY(spy.count > 0);
        QCoreApplication::processEvents();
        QCOMPARE(ScrollY(0), 0);
        QVERIFY(search->hasFocus());
    }

    void WheelAtAnotherControlGoesToThePaneUnderTheCursor() {
        // As a turn arrives at the focused control while the pointer rests over a pane.
        const int lh = Frame().LineHeight();
        QComboBox* search = SearchBox();
        search->addItems({QStringLiteral("SETUP"), QStringLiteral("DISC")});
        search->setCurrentIndex(0);
        const QPoint over = CenterOf(Pane(3).viewport());
        QVERIFY(MoveCursor(over));
        QWheelEvent down(search->mapFromGlobal(over), over, QPoint(), QPoint(0, -kWheelDelta),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(search, &down);
        QCOMPARE(ScrollY(0), 5 * lh);
        QCOMPARE(ScrollY(3), 5 * lh);
        QVERIFY(Pane(3).hasFocus());
        // The combo box never saw it.
        QCOMPARE(search->currentIndex(), 0);

        // No pane under the point: the control keeps the turn.
        const QPoint away = CenterOf(search);
        QVERIFY(MoveCursor(away));
        QWheelEvent elsewhere(search->mapFromGlobal(away), away, QPoint(), QPoint(0, -kWheelDelta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(search, &elsewhere);
        QCOMPARE(ScrollY(0), 5 * lh);
        QVERIFY(Pane(3).hasFocus());
    }

    void NoRedirectWhileAnotherWindowIsActive() {
        QWidget other;
        other.resize(200, 100);
        other.move(1350, 900);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!Window().isActiveWindow());

        QComboBox* search = SearchBox();
        const QPoint over = CenterOf(Pane(1).viewport());
        QVERIFY(MoveCursor(over));
        QWheelEvent down(search->mapFromGlobal(over), over, QPoint(), QPoint(0, -kWheelDelta),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(search, &down);
        QCOMPARE(ScrollY(0), 0);
        QVERIFY(Window().focusWidget() != &Pane(1));
    }
};

TESSARY_GUI_TEST(MainWheelX11Test);

}  // namespace tessary::test

#include "test_main_input_x11.moc"
