// The scroll model: the base window's steps, codes, clamping, 32-bit thumb and bar style, and
// the panes' shared vertical bar on the line grid (keys, wheel, thumb, bottom).
#include <QSignalSpy>
#include <QTest>

#include "GuiTestRegistry.h"
#include "PanesTestSupport.h"

namespace tessary::test {

namespace {

// The smallest concrete window: draws nothing.
class PlainScrollWnd : public CScrollWnd {
public:
    int draws = 0;
    void Draw(QPainter&, const QRect&) override { ++draws; }
};

}  // namespace

class PaneScrollTest : public QObject {
    Q_OBJECT

private slots:
    void StepsDefaultFromTheDocument() {
        QWidget parent;
        parent.resize(300, 200);
        PlainScrollWnd wnd;
        QVERIFY(wnd.Create(QRect(0, 0, 200, 100), &parent, 7, kSystemWindowColor));
        wnd.SetScrollSizes(QSize(95, 5), QPoint(0, 0), QPoint(0, 0));
        QCOMPARE(wnd.PageStep(), QPoint(9, 1));
        QCOMPARE(wnd.LineStep(), QPoint(1, 1));
        QCOMPARE(wnd.BarStyle() & kKeepHorizontalBar, kKeepHorizontalBar);
        QCOMPARE(wnd.ChildId(), 7);
    }

    void BaseCodesClampAndReachTheEnd() {
        QWidget parent;
        parent.resize(400, 400);
        parent.show();
        PlainScrollWnd wnd;
        QVERIFY(wnd.Create(QRect(0, 0, 200, 150), &parent, 1, 0x00FFFFFF));
        wnd.SetScrollSizes(QSize(1000, 200000), QPoint(100, 100), QPoint(10, 10));
        const int height = wnd.ClientRect().height();
        const ScrollInfo v = wnd.OwnBar(kBarVertical).Info();
        QCOMPARE(v.max, 199999);
        QCOMPARE(static_cast<int>(v.page), height);

        wnd.OnVScroll(kSbLineDown);
        QCOMPARE(wnd.ScrollPosition().y(), 10);
        wnd.OnVScroll(kSbPageDown);
        QCOMPARE(wnd.ScrollPosition().y(), 110);
        wnd.OnVScroll(kSbLineUp);
        wnd.OnVScroll(kSbPageUp);
        wnd.OnVScroll(kSbPageUp);
        QCOMPARE(wnd.ScrollPosition().y(), 0);  // clamped at the top

        wnd.OnVScroll(kSbBottom);
        QCOMPARE(wnd.ScrollPosition().y(), 200000 - height);  // max - page + 1
        wnd.OnVScroll(kSbLineDown);
        QCOMPARE(wnd.ScrollPosition().y(), 200000 - height);

        // A drag far beyond 65535 pixels: the 32-bit track position is used.
        wnd.OnVScroll(kSbTop);
        wnd.OwnBar(kBarVertical).Track(150000);
        QCOMPARE(wnd.ScrollPosition().y(), 150000);
        // The thumb-position code after tracking moves nothing again.
        wnd.OnVScroll(kSbThumbPosition);
        QCOMPARE(wnd.ScrollPosition().y(), 150000);
        wnd.OwnBar(kBarVertical).Release();
        QCOMPARE(wnd.ScrollPosition().y(), 150000);
        QCOMPARE(wnd.OwnBar(kBarVertical).Bar()->value(), 150000);

        wnd.OnHScroll(kSbBottom);
        QCOMPARE(wnd.ScrollPosition().x(), 1000 - wnd.ClientRect().width());
    }

    void NarrowDocumentKeepsADisabledHorizontalBar() {
        QWidget parent;
        parent.resize(400, 400);
        parent.show();
        PlainScrollWnd wnd;
        QVERIFY(wnd.Create(QRect(0, 0, 200, 150), &parent, 1, kSystemWindowColor));
        wnd.SetScrollSizes(QSize(1000, 100), QPoint(0, 0), QPoint(0, 0));
        wnd.OnHScroll(kSbPageDown);
        QVERIFY(wnd.ScrollPosition().x() > 0);
        QVERIFY(wnd.OwnBar(kBarHorizontal).Shown());

        wnd.SetScrollSizes(QSize(50, 100), QPoint(0, 0), QPoint(0, 0));
        QCOMPARE(wnd.ScrollPosition().x(), 0);
        QCOMPARE(wnd.ActiveBars() & 1u, 0u);
        QVERIFY(!wnd.OwnBar(kBarHorizontal).Bar()->isEnabled());
        QVERIFY(wnd.OwnBar(kBarHorizontal).Bar()->isVisibleTo(&wnd));
        QVERIFY(!wnd.OwnBar(kBarHorizontal).Shown());
    }

    void WheelMovesHalfAPageOrNothing() {
        QWidget parent;
        parent.resize(400, 400);
        parent.show();
        PlainScrollWnd wnd;
        QVERIFY(wnd.Create(QRect(0, 0, 200, 150), &parent, 1, kSystemWindowColor));
        wnd.SetScrollSizes(QSize(100, 100), QPoint(40, 40), QPoint(0, 0));
        QTest::qWait(0);
        QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(wnd.viewport(), &down);
        QCOMPARE(wnd.ScrollPosition(), QPoint(0, 0));  // no bar shown

        wnd.SetScrollSizes(QSize(100, 5000), QPoint(40, 40), QPoint(0, 0));
        QApplication::sendEvent(wnd.viewport(), &down);
        QCOMPARE(wnd.ScrollPosition().y(), 20);
        // Part notches add up to one.
        QWheelEvent part(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -60), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(wnd.viewport(), &part);
        QCOMPARE(wnd.ScrollPosition().y(), 20);
        QApplication::sendEvent(wnd.viewport(), &part);
        QCOMPARE(wnd.ScrollPosition().y(), 40);
    }

    void KeysMoveAllPanesOnTheLineGrid() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(200)));
        const int lh = h.Lh();
        CPaneWnd& pane = h.Pane(1);
        QVERIFY(h.Frame().VerticalBar().Shown());

        QTest::keyClick(&pane, Qt::Key_PageDown);
        for (int p = 0; p < kPaneCount; ++p) {
            QCOMPARE(h.ScrollY(p), 5 * lh);
        }
        QTest::keyClick(&pane, Qt::Key_Down);
        QCOMPARE(h.ScrollY(), 6 * lh);
        QTest::keyClick(&pane, Qt::Key_Up);
        QTest::keyClick(&pane, Qt::Key_Up);
        QCOMPARE(h.ScrollY(), 4 * lh);

        const int end = h.Frame().VerticalBar().Info().max - h.VisibleHeight();
        QTest::keyClick(&pane, Qt::Key_End);
        QCOMPARE(h.ScrollY(3), end);
        QTest::keyClick(&pane, Qt::Key_Home);
        QCOMPARE(h.ScrollY(3), 0);

        // Left/Right move the pane's columns while its horizontal bar is usable.
        QVERIFY(pane.HorizontalBarShown());
        QTest::keyClick(&pane, Qt::Key_Right);
        QCOMPARE(pane.ScrollPosition().x(), h.Cw());
        QCOMPARE(h.Pane(0).ScrollPosition().x(), 0);
        QCOMPARE(h.ScrollY(0), 0);
        QTest::keyClick(&pane, Qt::Key_Left);
        QCOMPARE(pane.ScrollPosition().x(), 0);

        // The document narrower than the pane: Left/Right scroll lines of all panes.
        PaneHarness wide;
        QVERIFY(wide.Open(PaneLog(200), QSize(4000, 400)));
        QVERIFY(!wide.Pane(1).HorizontalBarShown());
        QTest::keyClick(&wide.Pane(1), Qt::Key_Right);
        QCOMPARE(wide.ScrollY(0), wide.Lh());
        QCOMPARE(wide.ScrollY(3), wide.Lh());
        QTest::keyClick(&wide.Pane(1), Qt::Key_Left);
        QCOMPARE(wide.ScrollY(0), 0);
        // An unlisted key is passed on.
        QVERIFY(!wide.Pane(1).HandleKey(Qt::Key_A));
    }

    void OffGridLineAndPageCodesLandOnTheGrid() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(200)));
        const int lh = h.Lh();
        QVERIFY(h.Frame().ScrollAll(0, 3 * lh + 5, true));
        h.Frame().OnVScroll(kSbLineUp);
        QCOMPARE(h.ScrollY(), 3 * lh);
        QVERIFY(h.Frame().ScrollAll(0, 5, true));
        h.Frame().OnVScroll(kSbLineDown);
        QCOMPARE(h.ScrollY(), 4 * lh);
        QVERIFY(h.Frame().ScrollAll(0, 5, true));
        h.Frame().OnVScroll(kSbPageDown);
        QCOMPARE(h.ScrollY(), 9 * lh);
        QVERIFY(h.Frame().ScrollAll(0, 5, true));
        h.Frame().OnVScroll(kSbPageUp);
        QCOMPARE(h.ScrollY(), 5 * lh);  // the fifth boundary up: 9, 8, 7, 6, 5
    }

    void WheelNotchLandsOnTheLineGridAndReportsTheFirstLine() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(200)));
        const int lh = h.Lh();
        QVERIFY(h.Frame().ScrollAll(0, 2 * lh + 5, true));
        h.Sink().Clear();
        QWheelEvent down(QPointF(10, 40), QPointF(10, 40), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(h.Pane(2).viewport(), &down);
        QCOMPARE(h.ScrollY(0), 7 * lh);  // 5 lines less the part line
        QCOMPARE(h.ScrollY(3), 7 * lh);
        auto scrolled = h.Sink().Take(kMsgScrolled);
        QCOMPARE(scrolled.size(), size_t{1});
        QCOMPARE(scrolled[0].wParam, intptr_t{8});

        QWheelEvent up(QPointF(10, 40), QPointF(10, 40), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(h.Pane(2).viewport(), &up);
        QCOMPARE(h.ScrollY(), 2 * lh);
        QApplication::sendEvent(h.Pane(2).viewport(), &up);
        QCOMPARE(h.ScrollY(), 0);
        h.Sink().Clear();
        QApplication::sendEvent(h.Pane(2).viewport(), &up);
        scrolled = h.Sink().Take(kMsgScrolled);
        QCOMPARE(scrolled.size(), size_t{1});
        QCOMPARE(scrolled[0].wParam, intptr_t{-1});  // nothing moved
    }

    void SharedBarThumbReachesBeyond65535Pixels() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(2400)));
        const int lh = h.Lh();
        const ScrollInfo info = h.Frame().VerticalBar().Info();
        QVERIFY2(info.max > 70000, qPrintable(QString::number(info.max)));
        QCOMPARE(info.max, (h.Frame().LineCount() - 1) * lh);

        h.Frame().VerticalBar().Track(70000);
        for (int p = 0; p < kPaneCount; ++p) {
            QCOMPARE(h.ScrollY(p), 70000);
        }
        h.Sink().Clear();
        h.Frame().VerticalBar().Release();
        QCOMPARE(h.ScrollY(), 70000);
        const auto scrolled = h.Sink().Take(kMsgScrolled);
        QCOMPARE(scrolled.size(), size_t{1});
        QCOMPARE(scrolled[0].wParam, intptr_t{70000 / lh + 1});

        h.Frame().OnVScroll(kSbBottom);
        QCOMPARE(h.ScrollY(), info.max - static_cast<int>(info.page));
        h.Frame().VerticalBar().Track(info.max);
        QCOMPARE(h.ScrollY(), info.max - static_cast<int>(info.page));
    }

    void SetPaneFontMeasuresTheDocument() {
        PaneHarness h;
        LogBytes log = PaneLog(3);
        for (uint32_t i = 0; i < 3; ++i) {
            log.Record('T', 9, 100 + i, {0x34});
        }
        QVERIFY(h.Open(log));
        QCOMPARE(h.Frame().LineCount(), 11);
        const int lh = h.Lh();
        QCOMPARE(h.Pane().DocumentSize().height(), 10 * lh);
        QCOMPARE(h.Pane().DocumentSize().width(), h.Frame().Table().MaximumCells() * h.Cw());
        QCOMPARE(h.Pane().PageStep(), QPoint(5 * h.Cw(), 5 * lh));
        QCOMPARE(h.Pane().LineStep(), QPoint(h.Cw(), lh));
        // Everything fits: nothing scrolls vertically.
        QVERIFY(!h.Frame().VerticalBar().Shown());
        QVERIFY(!h.Frame().ScrollAll(0, 3 * lh, true));
        QCOMPARE(h.ScrollY(), 0);

        QFont larger = MakePaneFont(200);
        QVERIFY(h.Frame().SetPaneFont(&larger, false));
        QVERIFY(h.Lh() > lh);
        QCOMPARE(h.Pane().DocumentSize().height(), 10 * h.Lh());
        QCOMPARE(h.Pane().ScrollPosition(), QPoint(0, 0));
        const auto selection = h.Sink().Take(kMsgSelectionChanged);
        QCOMPARE(selection.size(), size_t{1});
        QCOMPARE(selection[0].wParam, intptr_t{-1});
    }
};

TESSARY_GUI_TEST(PaneScrollTest);

}  // namespace tessary::test

#include "test_panes_scroll.moc"
