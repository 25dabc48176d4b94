// The progress dialog: its texts and bar, the abort protocol and its end codes.
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "tools/CProgressDlg.h"

namespace tessary::test {
namespace {

// A job that never runs by itself: the test plays the worker.
struct ScriptedJob {
    int starts = 0;
    int stops = 0;
    int stopAnswer = 2;
    int Control(bool start) {
        if (start) {
            ++starts;
            return 1;
        }
        ++stops;
        return stopAnswer;
    }
};

}  // namespace

class ProgressDlgTest : public QObject {
    Q_OBJECT

private slots:
    void ShowsTotalOnBothSidesWhenDoneExceedsTotal() {
        FakeUi ui;
        ScriptedJob job;
        CProgressDlg dialog(nullptr);
        QString caption;
        QString status;
        int bar = -1;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.OnProgress(kProgressStep, 12345678);
            caption = dialog.windowTitle();
            status = dialog.StatusText();
            bar = dialog.BarValue();
            // For review of the layout (not committed).
            const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
            if (QDir().mkpath(folder)) {
                dialog.grab().save(folder + QStringLiteral("/progress.png"));
            }
            dialog.OnProgress(kProgressEnded, 9876543);
        });
        const int code = dialog.Run(u"INSログデータ読込", u"1 / 2", 9876543,
                                    [&](bool start) { return job.Control(start); });
        QCOMPARE(code, kProgressDone);
        QCOMPARE(caption, QStringLiteral("INSログデータ読込中... 100%"));
        QCOMPARE(status, QStringLiteral("9,876,543 / 9,876,543 bytes"));
        QCOMPARE(bar, 9876543);
        QCOMPARE(dialog.MessageText(), QStringLiteral("1 / 2"));
        QCOMPARE(job.starts, 1);
        QCOMPARE(job.stops, 0);
        QVERIFY(ui.messages.empty());
    }

    void CaptionAndStatusFollowProgress() {
        FakeUi ui;
        ScriptedJob job;
        CProgressDlg dialog(nullptr);
        QString caption;
        QString status;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.OnProgress(kProgressStep, 1234567);
            caption = dialog.windowTitle();
            status = dialog.StatusText();
            dialog.OnProgress(kProgressEnded, 9876543);
        });
        dialog.Run(u"INSログデータ集約", {}, 9876543,
                   [&](bool start) { return job.Control(start); });
        QCOMPARE(caption, QStringLiteral("INSログデータ集約中... 12%"));
        QCOMPARE(status, QStringLiteral("1,234,567 / 9,876,543 bytes"));
    }

    void LargeTotalHalvesTheBar() {
        FakeUi ui;
        ScriptedJob job;
        CProgressDlg dialog(nullptr);
        int maximum = 0;
        int value = 0;
        QTimer::singleShot(0, &dialog, [&] {
            maximum = dialog.BarMaximum();
            dialog.OnProgress(kProgressStep, 2000000001);
            value = dialog.BarValue();
            dialog.OnProgress(kProgressEnded, 3000000000u);
        });
        dialog.Run(u"INSログデータ読込", {}, 3000000000u,
                   [&](bool start) { return job.Control(start); });
        QCOMPARE(dialog.Divisor(), 2u);
        QCOMPARE(maximum, 1500000000);
        QCOMPARE(value, 1000000000);
    }

    void TextsAndUnknownRequests() {
        CProgressDlg dialog(nullptr);
        const char16_t status[] = u"状態";
        const char16_t message[] = u"2 / 2";
        QCOMPARE(dialog.OnProgress(kProgressStatusText, reinterpret_cast<intptr_t>(status)), 0);
        QCOMPARE(dialog.OnProgress(kProgressMessageText, reinterpret_cast<intptr_t>(message)), 0);
        QCOMPARE(dialog.StatusText(), QStringLiteral("状態"));
        QCOMPARE(dialog.MessageText(), QStringLiteral("2 / 2"));
        QCOMPARE(dialog.OnProgress(4, 0), -1);
        QCOMPARE(dialog.OnProgress(kProgressStatusText, 0), 0);
        QVERIFY(dialog.StatusText().isEmpty());
        // Without a total (never given by the initiators) the job counts as complete.
        QCOMPARE(dialog.OnProgress(kProgressStep, 5), 0);
        QVERIFY(dialog.windowTitle().endsWith(QStringLiteral("中... 100%")));
        QCOMPARE(dialog.StatusText(), QStringLiteral("0 / 0 bytes"));
    }

    void RefusesEmptyTitleAndReturnsFailedStarts() {
        CProgressDlg dialog(nullptr);
        int calls = 0;
        QCOMPARE(dialog.Run({}, {}, 10, [&](bool) { return ++calls, 1; }), kProgressRefused);
        QCOMPARE(calls, 0);
        QCOMPARE(dialog.Run(u"INSログデータ読込", {}, 10, [&](bool) { return ++calls, 3; }), 3);
        QCOMPARE(calls, 1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Run(u"INSログデータ読込", {}, 10, [&](bool) { return -1; }), -1);
    }

    void ConfirmedAbortEndsWithTwoOnTheEndedMessage() {
        FakeUi ui;
        ui.answers = {Answer::kYes};
        ScriptedJob job;
        CProgressDlg dialog(nullptr);
        bool stopDisabled = false;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.OnProgress(kProgressStep, 10);
            dialog.Abort();
            stopDisabled = !dialog.StopEnabled();
            QCOMPARE(dialog.AbortState(), 1);
            QVERIFY(dialog.isVisible());
            dialog.OnProgress(kProgressEnded, 50);
        });
        const int code = dialog.Run(u"INSログデータ読込", {}, 100,
                                    [&](bool start) { return job.Control(start); });
        QCOMPARE(code, kProgressAborted);
        QVERIFY(stopDisabled);
        QCOMPARE(job.stops, 1);
        QCOMPARE(ui.messages.size(), size_t(1));
        QCOMPARE(ui.messages[0].text, QStringLiteral("INSログデータ読込を中止しますか？"));
        QCOMPARE(ui.messages[0].caption, QStringLiteral("中止確認"));
        QCOMPARE(ui.messages[0].icon, MessageIcon::kQuestion);
        QCOMPARE(ui.messages[0].buttons, MessageButtons::kYesNo);
    }

    void StopAnsweringOneEndsAtOnce() {
        FakeUi ui;
        ui.answers = {Answer::kYes};
        ScriptedJob job;
        job.stopAnswer = 1;
        CProgressDlg dialog(nullptr);
        QTimer::singleShot(0, &dialog, [&] { dialog.Abort(); });
        QCOMPARE(dialog.Run(u"INSログデータ読込", {}, 100,
                            [&](bool start) { return job.Control(start); }),
                 kProgressAborted);
    }

    void DeclinedAbortKeepsRunning() {
        FakeUi ui;
        ui.answers = {Answer::kNo};
        ScriptedJob job;
        CProgressDlg dialog(nullptr);
        QTimer::singleShot(0, &dialog, [&] {
            dialog.Abort();
            QCOMPARE(dialog.AbortState(), 0);
            QVERIFY(dialog.StopEnabled());
            dialog.OnProgress(kProgressEnded, 100);
        });
        QCOMPARE(dialog.Run(u"INSログデータ読込", {}, 100,
                            [&](bool start) { return job.Control(start); }),
                 kProgressDone);
        QCOMPARE(job.stops, 0);
    }

    void EndWhileConfirmationOpenClosesItAsNo() {
        FakeUi ui;
        ui.answers = {Answer::kYes};
        ScriptedJob job;
        CProgressDlg dialog(nullptr);
        // The job ends while the question is open; the box is closed, the late Yes ignored.
        ui.whileOpen = [&](const ShownMessage&) { dialog.OnProgress(kProgressEnded, 100); };
        QTimer::singleShot(0, &dialog, [&] { dialog.Abort(); });
        QCOMPARE(dialog.Run(u"INSログデータ読込", {}, 100,
                            [&](bool start) { return job.Control(start); }),
                 kProgressDone);
        QCOMPARE(ui.closed, QStringList{QStringLiteral("中止確認")});
        QCOMPARE(job.stops, 0);
        QCOMPARE(dialog.AbortState(), 0);
    }

    void EnterEscapeAndCloseDoNotEndIt() {
        FakeUi ui;
        ScriptedJob job;
        CProgressDlg dialog(nullptr);
        bool stillOpen = false;
        QTimer::singleShot(0, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_Return);
            QTest::keyClick(&dialog, Qt::Key_Enter);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            stillOpen = dialog.isVisible();
            dialog.OnProgress(kProgressEnded, 100);
        });
        QCOMPARE(dialog.Run(u"INSログデータ読込", {}, 100,
                            [&](bool start) { return job.Control(start); }),
                 kProgressDone);
        QVERIFY(stillOpen);
        QVERIFY(ui.messages.empty());
        QCOMPARE(job.stops, 0);
    }
};

TESSARY_GUI_TEST(ProgressDlgTest);

}  // namespace tessary::test

#include "test_progress_dlg.moc"
