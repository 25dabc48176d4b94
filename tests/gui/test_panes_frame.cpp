// The pane frame: the messages of its panes with the packed point, selection of a whole group,
// showing lines, the column layout, the top record, block swaps and the word under the mouse.
#include <QMouseEvent>
#include <QStyle>
#include <QTest>

#include "GuiTestRegistry.h"
#include "PanesTestSupport.h"
#include "display/CPaneSplitter.h"
#include "platform/QtText.h"

namespace tessary::test {

class PaneFrameTest : public QObject {
    Q_OBJECT

private slots:
    void PanesPostMouseMessagesWithThePackedPoint() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(20)));
        CPaneWnd& pane = h.Pane(2);
        QWidget* view = pane.viewport();
        // Sent, not a cursor warp: on a real X display the warp's motion arrives later.
        QMouseEvent move(QEvent::MouseMove, QPointF(31, 45), view->mapToGlobal(QPointF(31, 45)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        auto moves = h.Sink().Take(kMsgPaneMouseMove);
        QVERIFY(!moves.empty());
        QCOMPARE(moves.back().wParam, PackPoint(31, 45));
        QCOMPARE(moves.back().lParam, reinterpret_cast<intptr_t>(&pane));
        QCOMPARE(PointX(moves.back().wParam), 31);
        QCOMPARE(PointY(moves.back().wParam), 45);

        // An active window with the focus in another pane: the click takes the focus along.
        h.Sink().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.Sink()));
        h.Pane(0).setFocus();
        QTRY_VERIFY(h.Pane(0).hasFocus());
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(12, 70));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(12, 70));
        auto left = h.Sink().Take(kMsgPaneLeftDown);
        QCOMPARE(left.size(), size_t{1});
        QCOMPARE(left[0].wParam, PackPoint(12, 70));
        QVERIFY(pane.hasFocus());
        QVERIFY(!h.Pane(0).hasFocus());

        QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, QPoint(5, 90));
        auto right = h.Sink().Take(kMsgPaneRightDown);
        QCOMPARE(right.size(), size_t{1});
        QCOMPARE(right[0].wParam, PackPoint(5, 90));
        QCOMPARE(right[0].lParam, reinterpret_cast<intptr_t>(&pane));

        pane.setFocus();
        QVERIFY(!pane.HandleKey(Qt::Key_Menu));  // posted, then passed on
        QCOMPARE(h.Sink().Take(kMsgPaneRightDown).size(), size_t{1});
        // Negative coordinates keep their sign through the packing.
        QCOMPARE(PointX(PackPoint(-3, -7)), -3);
        QCOMPARE(PointY(PackPoint(-3, -7)), -7);
    }

    void SelectingASecondRowSelectsTheGroup() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(20)));
        const DisplayLine* second = nullptr;
        for (int32_t n = 1; n < h.Frame().LineCount() && second == nullptr; ++n) {
            if (h.Frame().Line(n)->groupOffset == 1) {
                second = h.Frame().Line(n);
            }
        }
        QVERIFY(second != nullptr);
        QCOMPARE(h.Frame().SelectLine(h.Frame().Line(0)), -1);
        QCOMPARE(h.Frame().SelectLine(second), 0);
        QCOMPARE(h.Frame().SelectionLine(), h.Frame().Line(second->lineNumber - 1));
        auto posted = h.Sink().Take(kMsgSelectionChanged);
        QCOMPARE(posted.size(), size_t{1});
        QCOMPARE(posted[0].wParam, intptr_t{second->lineNumber - 1});
        for (int i = 0; i < second->groupSize; ++i) {
            const DisplayLine* member = h.Frame().Line(second->lineNumber - 1 + i);
            QVERIFY(h.Frame().Table().IsSelectedRecord(member));
        }
        // Again: the previous selection line comes back.
        QCOMPARE(h.Frame().SelectLine(second), second->lineNumber - 1);
        // A separator has no record: the selection is cleared.
        int32_t separator = 1;
        while (h.Frame().Line(separator)->HasRecord()) {
            ++separator;
        }
        QCOMPARE(h.Frame().SelectLine(h.Frame().Line(separator)), second->lineNumber - 1);
        QCOMPARE(h.Frame().SelectionLine(), nullptr);
        posted = h.Sink().Take(kMsgSelectionChanged);
        QCOMPARE(posted.back().wParam, intptr_t{-1});
    }

    void ShowLineScrollsOnlyWhenNeeded() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(400)));
        const int lh = h.Lh();
        QVERIFY(h.Frame().ShowLine(h.Frame().Line(3), false, false, false));
        QCOMPARE(h.ScrollY(), 0);  // already fully visible

        int32_t farLine = 200;
        while (!h.Frame().Line(farLine)->HasRecord()) {
            ++farLine;
        }
        const DisplayLine* far = h.Frame().Line(farLine);
        QVERIFY(h.Frame().ShowLine(far, false, true, false));
        for (int p = 0; p < kPaneCount; ++p) {
            QCOMPARE(h.ScrollY(p), (farLine - 1) * lh);  // right under the title row
        }
        QRect rect;
        QCOMPARE(h.Pane().LineRect(far, &rect), 1);
        QCOMPARE(rect.top(), lh);
        QVERIFY(h.Frame().SelectionLine() != nullptr);
        int offset = 0;
        MessageRecord* top = h.Frame().TopRecord(&offset, true);
        QVERIFY(top != nullptr);
        QCOMPARE(top, h.Frame().Table().RecordOf(far));
        QCOMPARE(offset, static_cast<int>(far->groupOffset));

        // With go-to-group-start a later row shows its group's first line at the top.
        int32_t row = farLine + 40;
        while (h.Frame().Line(row)->groupOffset == 0) {
            ++row;
        }
        const DisplayLine* later = h.Frame().Line(row);
        QVERIFY(h.Frame().ShowLine(later, true, false, false));
        QCOMPARE(h.ScrollY(), (row - later->groupOffset - 1) * lh);
        // The last line: as far as the document end allows.
        QVERIFY(h.Frame().ShowLine(h.Frame().Line(h.Frame().LineCount() - 1), false, false, false));
        QCOMPARE(h.ScrollY(), h.Frame().VerticalBar().Info().max - h.VisibleHeight());
        QCOMPARE(h.Frame().ShowLine(nullptr, false, false, false), false);
        QCOMPARE(h.Frame().ShowLine(h.Frame().Line(0), false, false, false), false);
    }

    void InvalidateGroupReportsItsFirstVisibleLine() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(400)));
        const DisplayLine* second = nullptr;
        for (int32_t n = 1; n < 10 && second == nullptr; ++n) {
            if (h.Frame().Line(n)->groupOffset == 1) {
                second = h.Frame().Line(n);
            }
        }
        QVERIFY(second != nullptr);
        QCOMPARE(h.Frame().InvalidateGroup(second), second->lineNumber - 1);
        QCOMPARE(h.Frame().InvalidateGroup(h.Frame().Line(0)), 0);
        QCOMPARE(h.Frame().InvalidateGroup(nullptr), 1);
        QCOMPARE(h.Frame().InvalidateGroup(h.Frame().Line(390)), -1);  // not in view
    }

    void LayoutColumnsSpreadsTheWidthEvenly() {
        PaneHarness h;
        const int bar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        QVERIFY(h.Open(PaneLog(4), QSize(300 + bar, 200)));
        QCOMPARE(h.Frame().Splitter()->width(), 300);
        QCOMPARE(h.Frame().Splitter()->EdgeWidth(), 2);
        QCOMPARE(h.Frame().Splitter()->BarWidth(), 7);
        QSize size;
        QVERIFY(h.Frame().LayoutColumns(&size, false));
        QCOMPARE(size, QSize(68, 196));  // (300 - 4 - 21) / 4
        h.Pane(0).resize(150, 196);
        QVERIFY(h.Frame().LayoutColumns(&size, true));
        for (int p = 0; p < kPaneCount; ++p) {
            QVERIFY(std::abs(h.Frame().Splitter()->sizes()[p] - 68) <= 1);
        }
        h.Frame().resize(10 + bar, 200);
        QVERIFY(!h.Frame().LayoutColumns(&size, true));
    }

    void SwapBlocksExchangesShownBlocks() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(4)));
        CPaneWnd* b = h.Frame().PaneShowing(1);
        CPaneWnd* c = h.Frame().PaneShowing(2);
        QVERIFY(h.Frame().SwapBlocks(b, c));
        QCOMPARE(h.Pane(1).ShownBlock(), 2);
        QCOMPARE(h.Pane(2).ShownBlock(), 1);
        QVERIFY(!h.Frame().SwapBlocks(b, nullptr));
        QVERIFY(h.Frame().SwapBlocks(nullptr, nullptr));
        for (int p = 0; p < kPaneCount; ++p) {
            QCOMPARE(h.Pane(p).ShownBlock(), p);
        }
    }

    void WordAtFindsDumpsWordsAndNothingOnBlanks() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(4), QSize(2400, 500)));
        const int cw = h.Cw();
        const int lh = h.Lh();
        const int m = h.Frame().Margin();
        // Pane 2 (block C): the SETUP record's header row, and its hex dump as the last row.
        CPaneWnd& pane = h.Pane(2);
        int32_t header = 1;
        while (h.Frame().Line(header)->parts[2].count == 0) {
            ++header;
        }
        const DisplayLine* first = h.Frame().Line(header);
        const DisplayLine* dump = h.Frame().Line(header + first->groupSize - 1);
        const std::u16string_view dumpText = h.Frame().Table().TextOf(dump);
        const QString dumpWord = ToQString(dumpText).trimmed();
        QCOMPARE(pane.WordAt(m + 4 * cw, dump->lineNumber * lh + 2), dumpWord);
        QCOMPARE(pane.WordAt(m + 1, dump->lineNumber * lh + 2), dumpWord);

        // "ID=0000001 TM=..." : the word under the mouse, nothing on the blank after it.
        QCOMPARE(pane.WordAt(m + 3 * cw + 1, header * lh + 2).left(3), QStringLiteral("ID="));
        QCOMPARE(pane.WordAt(m + 10 * cw + 1, header * lh + 2), QString());
        QVERIFY(pane.WordAt(m + 12 * cw + 1, header * lh + 2).startsWith(QStringLiteral("TM=")));
        // The left half of a cell belongs to that cell, not to the one before.
        QCOMPARE(pane.WordAt(m + 11 * cw + 1, header * lh + 2).left(3), QStringLiteral("TM="));
        QCOMPARE(pane.WordAt(m + 3 * cw, 2), QString());  // the title row has no message text
        QCOMPARE(pane.WordAt(2, header * lh + 2).isEmpty(), true);  // in the margin
    }
};

TESSARY_GUI_TEST(PaneFrameTest);

}  // namespace tessary::test

#include "test_panes_frame.moc"
