// Drawing the block panes: every character at its cell (double-width characters over two
// cells, completed at the edges), the margin strip without text, the unscrolled title row,
// and the colours of selection, highlight rules and search hits.
#include <QPainter>
#include <QTest>

#include "GuiTestRegistry.h"
#include "PanesTestSupport.h"
#include "display/QtSystemPalette.h"

namespace tessary::test {

namespace {

// Cells of the line's part in `block` whose ink does not match the character: a blank with
// ink inside its cell, or another character without any. Columns from `firstColumn` on.
int MisplacedCells(const PaneHarness& h, const QImage& image, const DisplayLine& line, int block,
                   int y, int firstColumn = 0) {
    const int cw = h.Cw();
    const int lh = h.Lh();
    const int m = h.Frame().Margin();
    const int sx = h.Pane(0).ScrollPosition().x();
    const std::u16string_view text = h.Frame().Table().TextOf(&line);
    const BlockPart part = line.parts[block];
    const QRgb back = image.pixel(0, y + lh / 2);  // the margin shows the band colour
    int misplaced = 0;
    for (int c = firstColumn; c < part.count; ++c) {
        const uint16_t cell = line.Cells()[part.start + c];
        if ((cell & kCellRightHalf) != 0) {
            continue;
        }
        const int width = (cell & kCellLeftHalf) != 0 ? 2 * cw : cw;
        const int x = m + c * cw - sx;
        if (x + width > image.width()) {
            break;
        }
        const char16_t ch = text[cell & kCellCharMask];
        const bool ink = HasInk(image, QRect(x + 1, y + 1, width - 2, lh - 2), back);
        const bool blank = ch == u' ' || ch == u'\u3000';
        misplaced += ink == blank ? 1 : 0;
    }
    return misplaced;
}

}  // namespace

class PaneDrawTest : public QObject {
    Q_OBJECT

private slots:
    void CharactersSitOnTheirCells() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(40), QSize(2400, 500)));
        int checked = 0;
        for (int position = 0; position < kPaneCount; ++position) {
            const QImage image = h.Render(position);
            const int block = h.Pane(position).ShownBlock();
            for (int n = 1; n < h.Frame().LineCount() && n * h.Lh() + h.Lh() <= image.height();
                 ++n) {
                const DisplayLine* line = h.Frame().Line(n);
                if (line->parts[block].count == 0) {
                    continue;
                }
                QCOMPARE(MisplacedCells(h, image, *line, block, n * h.Lh()), 0);
                ++checked;
            }
        }
        QVERIFY(checked > 10);
        // The title row: "Ａ  TX  局 ←" with its full-width characters over two cells.
        const QImage image = h.Render(0);
        QCOMPARE(MisplacedCells(h, image, *h.Frame().Line(0), 0, 0), 0);
        QCOMPARE(h.Frame().Line(0)->Cells()[0] & kCellLeftHalf, kCellLeftHalf);
    }

    void WideCharactersAreCompletedAtTheEdges() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(40), QSize(600, 400)));
        CPaneWnd& pane = h.Pane(0);
        const DisplayLine* line = h.LineWithWideCell(0);
        QVERIFY(line != nullptr);
        QVERIFY(pane.HorizontalBarShown());
        int wide = 0;
        while ((line->Cells()[line->parts[0].start + wide] & kCellLeftHalf) == 0) {
            ++wide;
        }
        const int cw = h.Cw();
        const int lh = h.Lh();
        const int m = h.Frame().Margin();
        // Show the line right under the title row, scrolled so that column `wide + 1` (the
        // right half) is the first one.
        QVERIFY(h.Frame().ShowLine(line, false, false, false));
        QVERIFY(h.Frame().ScrollAll((wide + 1) * cw, 0, true));
        QCOMPARE(pane.ScrollPosition().x(), (wide + 1) * cw);
        QRect band;
        QVERIFY(pane.LineRect(line, &band) > 0);
        const int y = band.top();
        QImage image = h.Render(0);
        const QRgb back = ColorOf(pane.BackgroundColor()).rgb();
        QVERIFY(HasInk(image, QRect(m, y + 1, cw - 1, lh - 2), back));  // its right half
        QVERIFY(!HasInk(image, QRect(0, y, m, lh), back));              // nothing in the margin
        QCOMPARE(MisplacedCells(h, image, *line, 0, y, wide + 2), 0);

        // An update area ending inside the wide character still writes it whole.
        QVERIFY(h.Frame().ScrollAll(-11 * cw, 0, true));
        QCOMPARE(pane.ScrollPosition().x(), (wide - 10) * cw);
        QImage partial(pane.viewport()->size(), QImage::Format_RGB32);
        partial.fill(Qt::white);
        {
            QPainter painter(&partial);
            pane.Draw(painter, QRect(0, y, m + 10 * cw + cw / 2, lh));
        }
        const int wideX = m + 10 * cw;
        QVERIFY(HasInk(partial, QRect(wideX + cw, y + 1, cw - 1, lh - 2), qRgb(255, 255, 255)));
        // Nothing right of the completed character.
        QVERIFY(!HasInk(partial, QRect(wideX + 2 * cw + 1, y, cw * 3, lh), qRgb(255, 255, 255)));
    }

    void TitleRowDoesNotScroll() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(400), QSize(600, 400)));
        const int lh = h.Lh();
        const QImage before = h.Render(1).copy(0, 0, h.Pane(1).viewport()->width(), lh);
        QVERIFY(h.Frame().ScrollAll(3 * h.Cw(), 7 * lh + 3, true));
        QVERIFY(h.Pane(1).ScrollPosition().x() > 0);
        const QImage after = h.Render(1).copy(0, 0, h.Pane(1).viewport()->width(), lh);
        QCOMPARE(after, before);
        // And the title colours fill it: class 0's background.
        QCOMPARE(QColor(before.pixel(1, lh / 2)), ColorOf(h.Para().Color[0].back));
    }

    void SelectedRecordUsesClass13() {
        PaneHarness h;
        h.Para().Color[13] = {0x000000, 0x00CC6633};
        QVERIFY(h.Open(PaneLog(40), QSize(2400, 500)));
        // The first record with a group of several lines in the pane's block.
        const DisplayLine* second = nullptr;
        for (int32_t n = 1; n < h.Frame().LineCount() && second == nullptr; ++n) {
            const DisplayLine* line = h.Frame().Line(n);
            if (line->groupOffset == 1 && line->groupSize >= 3 && n + 3 < 20) {
                second = line;
            }
        }
        QVERIFY(second != nullptr);
        int block = 0;
        while (second->parts[block].count == 0) {
            ++block;
        }
        CPaneWnd* pane = h.Frame().PaneShowing(block);
        h.Frame().SelectLine(second);
        QCoreApplication::processEvents();
        const QImage image = h.Render(pane->Position());
        const int lh = h.Lh();
        const int first = second->lineNumber - 1;
        const QColor selected = ColorOf(0x00CC6633);
        for (int n = first; n < first + second->groupSize; ++n) {
            QCOMPARE(QColor(image.pixel(image.width() - 2, n * lh + lh / 2)), selected);
        }
        QVERIFY(QColor(image.pixel(image.width() - 2, (first - 1) * lh + lh / 2)) != selected);
        QVERIFY(QColor(image.pixel(image.width() - 2, (first + second->groupSize) * lh + lh / 2)) !=
                selected);
    }

    void SearchHitsAreBoldOverTheLineClass() {
        PaneHarness h;
        h.Para().Color[7] = {kKeepColor, 0x00D8D8FF};  // rule #2
        h.Para().Color[14] = {0x000000, 0x0000FFFF};   // hits
        QCOMPARE(h.Conditions()[2].Compile(u";種;", -1), 0);
        QCOMPARE(h.Conditions()[kSearchSlot].Compile(u";TM;", -1), 0);
        QVERIFY(h.Open(PaneLog(8), QSize(2400, 500)));
        // Line 1 of block A is the first layer-1 record: "ID=... TM=... 種=9 ...".
        const DisplayLine* line = nullptr;
        int32_t n = 1;
        for (; n < h.Frame().LineCount(); ++n) {
            line = h.Frame().Line(n);
            if (line->parts[0].count > 0 && line->HasRecord()) {
                break;
            }
        }
        QVERIFY(line != nullptr);
        QCOMPARE(h.Frame().MarkIndex(line), 2);
        const QImage image = h.Render(0);
        const std::u16string_view text = h.Frame().Table().TextOf(line);
        const int tm = static_cast<int>(text.find(u"TM"));
        QVERIFY(tm > 0);
        const int cw = h.Cw();
        const int lh = h.Lh();
        const int m = h.Frame().Margin();
        const int y = n * lh + lh - 1;  // below the glyphs
        // The hit cells on class 14's background (a rule's keep-colour text: class 1's text).
        QCOMPARE(QColor(image.pixel(m + tm * cw, y)), ColorOf(0x0000FFFF));
        QCOMPARE(QColor(image.pixel(m + (tm + 2) * cw - 1, y)), ColorOf(0x0000FFFF));
        // The rest of the line in rule #2's colours.
        QCOMPARE(QColor(image.pixel(m + (tm + 2) * cw + 1, y)), ColorOf(0x00D8D8FF));
        QCOMPARE(QColor(image.pixel(m + 1, y)), ColorOf(0x00D8D8FF));
        QVERIFY(line->Cells()[tm] & kCellHit);
    }

    void EmptyPartIsABandInItsOwnClass() {
        PaneHarness h;
        h.Para().Color[5] = {kKeepColor, 0x0000FF00};  // rule #0 would be green
        QCOMPARE(h.Conditions()[0].Compile(u";ID;", -1), 0);
        QVERIFY(h.Open(PaneLog(8), QSize(2400, 500)));
        // A line of block C shown in pane 0 (block A): its part is empty.
        int32_t n = 1;
        while (h.Frame().Line(n)->parts[0].count > 0 || !h.Frame().Line(n)->HasRecord()) {
            ++n;
        }
        const QImage image = h.Render(0);
        QVERIFY(QColor(image.pixel(image.width() / 2, n * h.Lh() + 2)) != ColorOf(0x0000FF00));
        QVERIFY(!HasInk(image, QRect(0, n * h.Lh(), image.width(), h.Lh()),
                        image.pixel(image.width() / 2, n * h.Lh() + 2)));
    }

    void DefaultColoursComeFromTheApplicationPalette() {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Base, QColor(0x10, 0x20, 0x30));
        palette.setColor(QPalette::Highlight, QColor(0x40, 0x50, 0x60));
        QApplication::setPalette(palette);
        InstallQtSystemPalette();
        ColorPair colors[kColorClassCount];
        DefaultColors(CurrentSystemPalette(), colors);
        QCOMPARE(colors[1].back, 0x00302010u);
        QCOMPARE(colors[13].back, 0x00605040u);
        SetSystemPalette(nullptr);
        QApplication::setPalette(QPalette());
    }

    void NothingIsDrawnWithoutAConverter() {
        PaneHarness h;
        QVERIFY(h.Open(PaneLog(8), QSize(600, 300)));
        h.Frame().SetOwner(nullptr);
        const QImage image = h.Render(0);
        const QRgb back = image.pixel(1, 1);
        QVERIFY(!HasInk(image, image.rect(), back));
    }
};

TESSARY_GUI_TEST(PaneDrawTest);

}  // namespace tessary::test

#include "test_panes_draw.moc"
