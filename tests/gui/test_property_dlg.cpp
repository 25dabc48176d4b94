// The header information dialog: the header dumps of short, extended and bulk files and the
// summary of a loaded log shown exactly as tessarydump prints them, its read-only edit in the
// window's colours with aligned columns, its keys, command 32770 through Ctrl+P and the menu,
// the open dialog's header-only choice, and screenshots.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "logfile/InsLogFormat.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/OpenFlow.h"
#include "platform/QtText.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"
#include "tools/CPropertyDlg.h"

namespace tessary::test {
namespace {

const QString kSummaryCaption = QStringLiteral("INSログファイル情報");
const QString kDumpCaption = QStringLiteral("ログファイル・ヘッダー情報");

// What a person sees of the dialog while it runs.
struct DialogView {
    bool seen = false;
    bool modal = false;
    QString caption;
    QString text;
};

DialogView ViewOf(CPropertyDlg* dialog, QWidget* owner) {
    DialogView view;
    if (dialog == nullptr) {
        return view;
    }
    view.seen = true;
    view.modal = dialog->isModal() && dialog->parentWidget() == owner;
    view.caption = dialog->windowTitle();
    if (QPlainTextEdit* edit = dialog->TextEdit()) {
        view.text = edit->toPlainText();
    }
    return view;
}

// Runs `start` and, if it opens the dialog modally, looks at it with `look` (while it runs)
// and closes it with Esc on the focused control, as a person does.
DialogView RunAndView(QWidget* owner, const std::function<void()>& start,
                      const std::function<void(CPropertyDlg&)>& look = {}) {
    DialogView view;
    WhileModal<CPropertyDlg>(start, [&](CPropertyDlg& dialog) {
        view = ViewOf(&dialog, owner);
        if (look) {
            look(dialog);
        }
        QWidget* focus = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
        QTest::keyClick(focus, Qt::Key_Escape);
    });
    return view;
}

// The x of column `column` of line `line` of the edit, in pixels.
int ColumnX(QPlainTextEdit* edit, int line, int column) {
    QTextCursor cursor(edit->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    return edit->cursorRect(cursor).x();
}

}  // namespace

class PropertyDlgTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_logs;
    std::string m_short;     // 20 bytes
    std::string m_shortExt;  // 40 bytes, extended header length 32
    std::string m_bulk;      // INS-Net 64, both lines, extended header

    // What tessarydump prints for `arguments` with the settings of a new viewer.
    Printed Dump(const QStringList& arguments) {
        QStringList all{QStringLiteral("--default-settings")};
        all << arguments;
        return RunTessarydump(all, m_logs->File("config"));
    }
    // The text a failed dump prints on stderr, with the line ends the edit holds (the
    // printer adds one line feed of its own).
    static QString AsEditHolds(QString text, bool printerAddedLineEnd) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (printerAddedLineEnd && text.endsWith(QLatin1Char('\n'))) {
            text.chop(1);
        }
        return text;
    }

private slots:
    void initTestCase() {
        m_logs = std::make_unique<TempDir>();
        const std::vector<uint8_t> header = HeaderBytes(DefaultHeader());
        m_short = m_logs->File("short.dat");
        WriteBytes(m_short, std::vector<uint8_t>(header.begin(), header.begin() + 20));
        std::vector<uint8_t> shortExt = header;
        shortExt[0x18] = 32;
        shortExt.resize(40, 0);
        m_shortExt = m_logs->File("shortext.dat");
        WriteBytes(m_shortExt, shortExt);
        m_bulk = m_logs->File("bulk.dat");
        QVERIFY(
            RunInsloggen("--board 64 --data-kind 4 --lines 2 --records 400 --ext-header 32 "
                         "--start-correction 5000",
                         m_bulk));
    }

    // The window at its own size.
    void init() { QVERIFY(StartWindow(QSize())); }

    void cleanup() { CloseWindow(); }

    void HeaderDumpsAsTessarydumpPrintsThem() {
        struct Case {
            std::string path;
            bool failed;
            QString expectedStart;  // as stated, independent of both programs
        };
        const Case cases[] = {
            {m_short, true,
             QStringLiteral("ファイル・ヘッダー情報サイズが不完全です。20 < 32 bytes\n\n'") +
                 QString::fromStdString(m_short) + QStringLiteral("'\n")},
            {m_shortExt, true,
             QStringLiteral("ファイル拡張ヘッダー情報サイズが不完全です。40 < 64 bytes\n\n'") +
                 QString::fromStdString(m_shortExt) + QStringLiteral("'\n")},
            {m_bulk, false,
             QStringLiteral("ファイルの場所    : <") + QString::fromStdString(m_logs->Path()) +
                 QStringLiteral("/>\nファイル名        : <bulk.dat>\n\n")},
        };
        for (const Case& c : cases) {
            CPropertyDlg dialog(&Window(), c.path);
            int code = 0;
            const DialogView view = RunAndView(&Window(), [&] { code = dialog.DoModal(); });
            QVERIFY(view.seen);
            QVERIFY(view.modal);
            QCOMPARE(code, 2);
            QCOMPARE(view.caption, kDumpCaption);
            QVERIFY2(view.text.startsWith(c.expectedStart), qPrintable(view.text));
            const Printed printed =
                Dump({QStringLiteral("--header"), QString::fromStdString(c.path)});
            QCOMPARE(printed.exitCode, c.failed ? 1 : 0);
            QCOMPARE(view.text, AsEditHolds(c.failed ? printed.err : printed.out, c.failed));
            // A failure is shown in the dialog, not as a message box.
            QVERIFY(m_ui->messages.empty());
        }
    }

    void ReadOnlyAlignedInTheWindowColoursAndItsKeys() {
        CPropertyDlg dialog(&Window(), m_bulk);
        struct Seen {
            bool readOnly = false;
            bool enabled = false;
            QStringList families;
            double points = 0;
            QList<int> colonX;      // the ':' of the head lines (labels with double-width text)
            QList<int> semicolonX;  // the ';' of the dump's comments
            QList<int> byteX;
            QColor background;
            QColor darkest;
            bool visibleAfterEnterInEdit = false;
            bool visibleAfterEnterOnButton = false;
            bool buttonFocused = false;
            bool screenshot = false;
        } seen;
        QColor base;
        QColor text;
        int code = 0;
        RunAndView(
            &Window(), [&] { code = dialog.DoModal(); },
            [&](CPropertyDlg& shown) {
                QPlainTextEdit* edit = shown.TextEdit();
                seen.readOnly = edit->isReadOnly();
                seen.enabled = edit->isEnabled();
                seen.families = edit->font().families();
                seen.points = edit->font().pointSizeF();
                for (int line : {0, 1, 3}) {
                    const QString row = edit->document()->findBlockByNumber(line).text();
                    seen.colonX << ColumnX(edit, line, static_cast<int>(row.indexOf(u':')));
                }
                for (QTextBlock block = edit->document()->begin(); block.isValid();
                     block = block.next()) {
                    const QString row = block.text();
                    if (row.contains(u';')) {
                        seen.semicolonX << ColumnX(edit, block.blockNumber(),
                                                   static_cast<int>(row.indexOf(u';')));
                    }
                    // The second row of the reserved bytes starts under the first row's bytes.
                    if (row.startsWith(QStringLiteral("+0024: ")) ||
                        (row.startsWith(QStringLiteral("       ")) && row.size() > 7)) {
                        seen.byteX << ColumnX(edit, block.blockNumber(), 7);
                    }
                }
                base = edit->palette().color(QPalette::Base);
                text = edit->palette().color(QPalette::Text);
                const QImage image = edit->viewport()->grab().toImage();
                seen.background = image.pixelColor(image.width() - 3, image.height() - 3);
                // The darkest pixel of the first row is the ink of its full strokes.
                seen.darkest = QColor(Qt::white);
                const int rowHeight = edit->fontMetrics().height();
                for (int y = 0; y < rowHeight + 4 && y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        const QColor pixel = image.pixelColor(x, y);
                        if (pixel.lightness() < seen.darkest.lightness()) {
                            seen.darkest = pixel;
                        }
                    }
                }
                const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
                seen.screenshot = QDir().mkpath(folder) &&
                                  shown.grab().save(folder + QStringLiteral("/property.png"));
                // Enter closes nothing, in the edit or on the focused button.
                QTest::keyClick(edit, Qt::Key_Return);
                QTest::keyClick(edit, Qt::Key_Enter);
                seen.visibleAfterEnterInEdit = shown.isVisible();
                QTest::keyClick(edit, Qt::Key_Tab);
                auto* close = qobject_cast<QPushButton*>(shown.Control(res::kIdCancel));
                seen.buttonFocused = close != nullptr && shown.focusWidget() == close;
                QTest::keyClick(shown.focusWidget(), Qt::Key_Return);
                seen.visibleAfterEnterOnButton = shown.isVisible();
            });
        QCOMPARE(code, 2);
        QVERIFY(seen.readOnly);
        QVERIFY(seen.enabled);
        QCOMPARE(seen.families, FixedFontFamilies());
        QCOMPARE(seen.families, Window().EditFont().families());
        QCOMPARE(seen.points, 10.0);
        QCOMPARE(seen.colonX.size(), 3);
        QVERIFY2(std::abs(seen.colonX[0] - seen.colonX[1]) <= 1 &&
                     std::abs(seen.colonX[0] - seen.colonX[2]) <= 1,
                 qPrintable(QStringLiteral("%1 %2 %3")
                                .arg(seen.colonX[0])
                                .arg(seen.colonX[1])
                                .arg(seen.colonX[2])));
        // 12 fields, the two of the extended header (the reserved bytes' on their last row) and
        // the end line.
        QCOMPARE(seen.semicolonX.size(), 15);
        QCOMPARE(std::count(seen.semicolonX.begin(), seen.semicolonX.end(), seen.semicolonX[0]),
                 seen.semicolonX.size());
        QCOMPARE(seen.byteX.size(), 4);
        QCOMPARE(std::count(seen.byteX.begin(), seen.byteX.end(), seen.byteX[0]),
                 seen.byteX.size());
        // The window's own colours, as the application's palette gives them.
        QCOMPARE(base, QApplication::palette().color(QPalette::Active, QPalette::Base));
        QCOMPARE(text, QApplication::palette().color(QPalette::Active, QPalette::Text));
        QCOMPARE(seen.background, base);
        QCOMPARE(seen.darkest, text);
        QVERIFY(seen.screenshot);
        QVERIFY(seen.visibleAfterEnterInEdit);
        QVERIFY(seen.buttonFocused);
        QVERIFY(seen.visibleAfterEnterOnButton);
    }

    void CloseButtonEndsIt() {
        CPropertyDlg dialog(&Window(), m_bulk);
        auto* close = qobject_cast<QPushButton*>(dialog.Control(res::kIdCancel));
        QVERIFY(close != nullptr);
        QCOMPARE(close->text(), QStringLiteral("閉じる(&X)"));
        bool clicked = false;
        QTimer::singleShot(0, [&] {
            clicked = QApplication::activeModalWidget() == &dialog;
            QTest::mouseClick(close, Qt::LeftButton);
        });
        QCOMPARE(dialog.DoModal(), 2);
        QVERIFY(clicked);
        QVERIFY(!dialog.isVisible());
    }

    void NothingToShowWithoutALog() {
        CPropertyDlg dialog(&Window(), nullptr, nullptr);
        QCOMPARE(dialog.DoModal(), -1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, QStringLiteral("INSログファイルが読み込まれていません。"));
        QCOMPARE(m_ui->messages[0].caption, kSummaryCaption);
        QVERIFY(m_ui->messages[0].icon == MessageIcon::kExclamation);
    }

    void CommandFollowsTheLoadedFile() {
        QAction* item = OpenedItem(res::kCmdProperty);
        QVERIFY(item != nullptr);
        QVERIFY(!item->isEnabled());
        QVERIFY(Activate());
        const DialogView none = RunAndView(
            &Window(), [&] { QTest::keyClick(&Window(), Qt::Key_P, Qt::ControlModifier); });
        QVERIFY(!none.seen);
        QVERIFY(m_ui->messages.empty());

        QCOMPARE(Window().Open(m_bulk, kLineFirst), kOpenResultDone);
        item = OpenedItem(res::kCmdProperty);
        QVERIFY(item->isEnabled());
        const DialogView view = RunAndView(&Window(), [&] { item->trigger(); });
        QVERIFY(view.seen);
        QVERIFY(view.modal);
        QCOMPARE(view.caption, kSummaryCaption);
        QVERIFY(view.text.startsWith(QStringLiteral("ファイルの場所    : <")));
    }

    void SummaryOfEachLineAsTessarydumpPrintsIt() {
        for (const int line : {kLineFirst, kLineSecond}) {
            QCOMPARE(Window().Open(m_bulk, line), kOpenResultDone);
            QVERIFY(Activate());
            const DialogView view = RunAndView(
                &Window(), [&] { QTest::keyClick(&Window(), Qt::Key_P, Qt::ControlModifier); });
            QVERIFY(view.seen);
            QVERIFY(view.modal);
            QCOMPARE(view.caption, kSummaryCaption);
            const Printed printed =
                Dump({QStringLiteral("--summary"), QStringLiteral("--line"),
                      QString::number(line + 1), QString::fromStdString(m_bulk)});
            QCOMPARE(printed.exitCode, 0);
            QCOMPARE(view.text, AsEditHolds(printed.out, false));
            QVERIFY(view.text.contains(line == kLineFirst ? QStringLiteral("<INS64(一括#1)>")
                                                          : QStringLiteral("<INS64(一括#2)>")));
            QVERIFY(QApplication::activeModalWidget() == nullptr);
        }
        // A screenshot of the summary too.
        bool ran = false;
        bool saved = false;
        RunAndView(
            &Window(), [&] { ran = Window().ExecuteCommand(res::kCmdProperty); },
            [&](CPropertyDlg& shown) {
                const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
                saved = QDir().mkpath(folder) &&
                        shown.grab().save(folder + QStringLiteral("/property-summary.png"));
            });
        QVERIFY(ran);
        QVERIFY(saved);
    }

    void OpenDialogHeaderOnlyLoadsNothing() {
        m_ui->openPath = m_bulk;
        m_ui->openChecks = {false, true};
        const QString title = Window().windowTitle();
        const DialogView view =
            RunAndView(&Window(), [&] { Window().MenuAction(res::kCmdOpen)->trigger(); });
        QVERIFY(view.seen);
        QVERIFY(view.modal);
        QCOMPARE(view.caption, kDumpCaption);
        const Printed printed = Dump({QStringLiteral("--header"), QString::fromStdString(m_bulk)});
        QCOMPARE(printed.exitCode, 0);
        QCOMPARE(view.text, AsEditHolds(printed.out, false));
        QVERIFY(Window().LoadedConverter() == nullptr);
        QCOMPARE(Window().windowTitle(), title);
        QVERIFY(Window().Settings().recentFiles.empty());
        QVERIFY(m_ui->messages.empty());
    }
};

TESSARY_GUI_TEST(PropertyDlgTest);

}  // namespace tessary::test

#include "test_property_dlg.moc"
