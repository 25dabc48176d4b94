// The start date/time correction as a person uses it: a right click on a pane line, item 34002
// of the context menu, typing into the correction window and clicking its buttons; the
// reconversion that follows, the overwrite save (57603) byte for byte, and the questions before
// another file opens and before the window closes.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <vector>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "decode/MessageRecord.h"
#include "display/CPaneWnd.h"
#include "logfile/InsLogFormat.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/QtMenus.h"
#include "platform/FaultInjection.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "support/TempDir.h"
#include "tools/CDiffTimeDlg.h"
#include "tools/CProgressDlg.h"

namespace tessary::test {
namespace {

const QString kCaption = QStringLiteral("ログデータ出力日時補正");
const QString kBadFormat = QStringLiteral(
    "日付と時刻の入力形式が不正です。\n\n「年(西暦)/月/日 "
    "時:分:秒(小数点以下は1ms単位まで指定可)」");
const QString kUnchanged = QStringLiteral("入力された補正日時は、現在日時から変更されていません。");
const QString kOutOfRange = QStringLiteral("入力された補正日時は、設定可能範囲を超えています。");
const QString kCorrected =
    QStringLiteral("表示中のログデータは、ログ出力開始日時が補正されています。\n\n");
const QString kBeforeExit = QStringLiteral(
    "終了する前に、ファイル保存しますか？\n\n「はい」をクリックすると、表示中のログファイルに上書保"
    "存します。\n\n「いいえ」をクリックすると、ファイル保存されません。");
const QString kBeforeOpen = QStringLiteral(
    "新規にファイルを開く前に、ファイル保存しますか？\n\n「はい」をクリックすると、表示中のログファ"
    "イルに上書保存します。\n\n「いいえ」をクリックすると、ファイル保存されません。");
const QString kSaveCaption = QStringLiteral("出力開始日時補正値保存");
const QString kTimeFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss.zzz");

// The start of the logs these tests write: 2024/06/07 09:00:00.000.
const std::string kLogOptions = "--records 120 --start '2024-06-07 09:00:00'";

// What the correction window showed and what became of it.
struct DialogVisit {
    bool opened = false;
    bool stayedOpen = false;  // the script left it open; the test's driver cancelled it
    QString title;
    QString group;
    QString input;
    QString tips[3];  // 1904, 1905, 1906
    bool resetEnabled = false;
};

QPushButton* ButtonOf(CDiffTimeDlg& dialog, int id) {
    return qobject_cast<QPushButton*>(dialog.Control(id));
}
QLineEdit* InputOf(CDiffTimeDlg& dialog) {
    return qobject_cast<QLineEdit*>(dialog.Control(res::kIdcDiffInput));
}

// Types over the edit's whole text as a person does, then clicks `button`.
void TypeAndClick(CDiffTimeDlg& dialog, const QString& text, int button) {
    TypeOverAndClick(InputOf(dialog), text, ButtonOf(dialog, button));
}

// A shown time as a calendar value; log times carry no time zone.
QDateTime ParseTime(const QString& text) {
    const QDateTime local = QDateTime::fromString(text, kTimeFormat);
    return QDateTime(local.date(), local.time(), QTimeZone::utc());
}

// The times after "TM=" of the first `count` message records shown, by record index.
std::vector<std::pair<int32_t, QDateTime>> ShownTimes(CMainDlg& window, int count) {
    std::vector<std::pair<int32_t, QDateTime>> times;
    const DisplayLineTable& table = window.Frame()->Table();
    static const QRegularExpression kTm(
        QStringLiteral("TM=(\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:"
                       "\\d\\d\\.\\d\\d\\d)"));
    for (int32_t n = 1; n < table.LineCount() && static_cast<int>(times.size()) < count; ++n) {
        const DisplayLine* line = table.Line(n);
        if (!line->HasRecord() || line->groupOffset != 0) {
            continue;
        }
        const QRegularExpressionMatch match = kTm.match(ToQString(table.TextOf(line)));
        if (match.hasMatch()) {
            times.emplace_back(line->recordIndex, ParseTime(match.captured(1)));
        }
    }
    return times;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    return ReadBytes(path);
}

}  // namespace

class DiffTimeDialogTest : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    std::string m_path;
    std::vector<uint8_t> m_original;

    bool Load(const std::string& path) {
        if (Window().Open(path, kLineAsk) != kOpenResultDone) {
            return false;
        }
        // Full dates in the lines: the four-digit year format of the Window menu.
        return Window().ExecuteCommand(res::kCmdDateFormatLast);
    }

    // The first line of the first record of `layer` without a warning or error; 0 for none.
    int32_t LineOfLayer(uint8_t layer) {
        const DisplayLineTable& table = Frame().Table();
        for (int32_t n = 1; n < table.LineCount(); ++n) {
            const DisplayLine* line = table.Line(n);
            const MessageRecord* record = table.RecordOf(line);
            if (record != nullptr && line->groupOffset == 0 && record->Layer == layer &&
                (record->Flags & (kRecordWarning | kRecordError)) == 0) {
                return n;
            }
        }
        return 0;
    }

    // The time line `n`'s message shows.
    QDateTime TimeOfLine(int32_t n) {
        const int32_t record = Frame().Line(n)->recordIndex;
        for (const auto& [index, time] : ShownTimes(Window(), Frame().LineCount())) {
            if (index == record) {
                return time;
            }
        }
        return {};
    }

    // A real right click on pane 0 over display line `line`; the context menu is closed again.
    // Its item 34002 as it was shown goes to `text` / `enabled`.
    bool RightClickLine(int32_t n, QString* text, bool* enabled) {
        Frame().ShowLine(Frame().Line(n), false, false, false);
        const int y = n * Frame().LineHeight() - Frame().VerticalBar().Pos() + 2;
        return RightClickAt(QPoint(30, y), text, enabled);
    }

    bool RightClickAt(const QPoint& at, QString* text, bool* enabled) {
        MenuVisit visit;
        if (!RightClickMenu(Frame().Pane(0), at, Window().ContextMenu(), 0, &visit)) {
            return false;
        }
        if (visit.IndexOf(res::kCmdCorrectLine) >= 0) {
            *text = visit.TextOf(res::kCmdCorrectLine);
            *enabled = visit.EnabledOf(res::kCmdCorrectLine);
        }
        return true;
    }

    // Chooses item 34002 of the context menu; `script` works in the correction window.
    DialogVisit ChooseCorrection(const std::function<void(CDiffTimeDlg&)>& script) {
        DialogVisit visit;
        WhileModal<CDiffTimeDlg>(
            [&] { FindMenuItem(Window().ContextMenu(), res::kCmdCorrectLine)->trigger(); },
            [&](CDiffTimeDlg& dialog) {
                visit.opened = true;
                visit.title = dialog.windowTitle();
                visit.group = qobject_cast<QGroupBox*>(dialog.Control(res::kIdcDiffGroup))->title();
                visit.input = InputOf(dialog)->text();
                const int tipped[3] = {res::kIdcDiffCurrent, res::kIdcDiffReset,
                                       res::kIdcDiffApply};
                for (int i = 0; i < 3; ++i) {
                    visit.tips[i] = dialog.Control(tipped[i])->toolTip();
                }
                visit.resetEnabled = ButtonOf(dialog, res::kIdcDiffReset)->isEnabled();
                script(dialog);
                if (dialog.isVisible()) {
                    visit.stayedOpen = true;
                    QTest::mouseClick(ButtonOf(dialog, res::kIdcDiffCancel), Qt::LeftButton);
                }
            });
        return visit;
    }

    // A right click on `line` and the correction typed there, confirmed with Yes.
    DialogVisit Correct(int32_t line, const QString& entered) {
        QString text;
        bool enabled = false;
        if (!RightClickLine(line, &text, &enabled) || !enabled) {
            return {};
        }
        m_ui->answers = {Answer::kYes};
        return ChooseCorrection(
            [&](CDiffTimeDlg& dialog) { TypeAndClick(dialog, entered, res::kIdcDiffApply); });
    }

    // The file differs from the original only in the start correction's bytes, which hold
    // `correction`.
    bool OnlyCorrectionBytesHold(const std::string& path, int64_t correction) {
        const std::vector<uint8_t> bytes = FileBytes(path);
        if (bytes.size() != m_original.size()) {
            return false;
        }
        const uint64_t value = static_cast<uint64_t>(correction);
        for (size_t i = 0; i < bytes.size(); ++i) {
            uint8_t expected = m_original[i];
            if (i == 0x19) {
                expected = static_cast<uint8_t>((m_original[i] & 0xF0) | ((value >> 32) & 0x0F));
            } else if (i >= 0x1C && i < 0x20) {
                expected = static_cast<uint8_t>(value >> (8 * (i - 0x1C)));
            }
            if (bytes[i] != expected) {
                qWarning("byte %zu: %02X, expected %02X", i, bytes[i], expected);
                return false;
            }
        }
        return true;
    }

private slots:
    void init() {
        fault::Reset();
        StartUi();
        m_path = m_dir->File("line.dat");
        QVERIFY(RunInsloggen("--seed 21 " + kLogOptions, m_path));
        m_original = FileBytes(m_path);
        QVERIFY(ShowWindow());
    }

    void cleanup() {
        fault::Reset();
        QFile::setPermissions(QString::fromStdString(m_path),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        CloseWindow();
    }

    void ItemNamesTheLineAndTheWindowShowsIt() {
        QString text;
        bool enabled = true;
        // Nothing loaded: the item has no ID and is disabled.
        QVERIFY(RightClickAt(QPoint(30, 40), &text, &enabled));
        QCOMPARE(text, QStringLiteral("現在行のログデータ日時を補正..."));
        QVERIFY(!enabled);

        QVERIFY(Load(m_path));
        const int32_t line = LineOfLayer(kLayerFrame);
        QVERIFY(line > 0);
        const MessageRecord* record = Frame().Table().RecordOf(Frame().Line(line));
        const QDateTime shown = TimeOfLine(line);
        QVERIFY(RightClickLine(line, &text, &enabled));
        QCOMPARE(text, QStringLiteral("現在行のログデータ日時(ID=%1)を補正...")
                           .arg(record->Id, 7, 10, QLatin1Char('0')));
        QVERIFY(enabled);
        // The title row is no logged message.
        QVERIFY(RightClickAt(QPoint(30, Frame().LineHeight() / 2), &text, &enabled));
        QCOMPARE(text, QStringLiteral("現在行のログデータ日時を補正..."));
        QVERIFY(!enabled);

        QVERIFY(RightClickLine(line, &text, &enabled));
        bool stillOpenAfterKeys = false;
        const DialogVisit visit = ChooseCorrection([&](CDiffTimeDlg& dialog) {
            // Enter and Esc end nothing, whichever control has the focus.
            QLineEdit* edit = InputOf(dialog);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClick(edit, Qt::Key_Escape);
            ButtonOf(dialog, res::kIdcDiffApply)->setFocus();
            QTest::keyClick(ButtonOf(dialog, res::kIdcDiffApply), Qt::Key_Escape);
            stillOpenAfterKeys = dialog.isVisible();
            QTest::mouseClick(ButtonOf(dialog, res::kIdcDiffCancel), Qt::LeftButton);
        });
        QVERIFY(visit.opened);
        QVERIFY(!visit.stayedOpen);
        QVERIFY(stillOpenAfterKeys);
        QCOMPARE(visit.title, kCaption);
        QCOMPARE(visit.group, QStringLiteral("初期状態からの補正無"));
        QVERIFY(!visit.resetEnabled);
        QCOMPARE(visit.input, shown.toString(kTimeFormat));
        QCOMPARE(visit.tips[0], QStringLiteral("元のログデータ出力日時に戻す"));
        QCOMPARE(visit.tips[1], QStringLiteral("ログファイル作成時のログデータ出力日時に戻す"));
        QCOMPARE(visit.tips[2], QStringLiteral("入力された日時を設定して、ログデータ表示更新"));
        QVERIFY(m_ui->messages.empty());
        QVERIFY(!OpenedItem(res::kCmdSaveCorrection)->isEnabled());
    }

    void WarningLineIsRefusedWithItsMessage() {
        QVERIFY(RunInsloggen("--seed 21 --bad-fcs-at 6 " + kLogOptions, m_path));
        QVERIFY(Load(m_path));
        const DisplayLineTable& table = Frame().Table();
        int32_t warning = 0;
        for (int32_t n = 1; n < table.LineCount() && warning == 0; ++n) {
            const MessageRecord* record = table.RecordOf(table.Line(n));
            if (record != nullptr && (record->Flags & (kRecordWarning | kRecordError)) != 0) {
                warning = n;
            }
        }
        QVERIFY(warning > 0);
        QString text;
        bool enabled = false;
        QVERIFY(RightClickLine(warning, &text, &enabled));
        QVERIFY(enabled);
        const DialogVisit visit = ChooseCorrection([](CDiffTimeDlg&) {});
        QVERIFY(!visit.opened);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, QStringLiteral("有効なINSログデータ指定されていません。"));
        QCOMPARE(m_ui->messages[0].caption, kCaption);
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
    }

    void RejectedInputsStayAndChangeNothing() {
        QVERIFY(Load(m_path));
        const int32_t line = LineOfLayer(kLayerFrame);
        QVERIFY(line > 0);
        const auto before = ShownTimes(Window(), 30);
        QString text;
        bool enabled = false;
        QVERIFY(RightClickLine(line, &text, &enabled));
        QStringList kept;
        QString restored[2];
        m_ui->answers = {Answer::kOk, Answer::kOk, Answer::kOk, Answer::kOk, Answer::kNo};
        const DialogVisit visit = ChooseCorrection([&](CDiffTimeDlg& dialog) {
            const QString current = InputOf(dialog)->text();
            const QDateTime same = ParseTime(current);
            for (const QString& input :
                 {QStringLiteral("2024/06/07 12:34"), QStringLiteral("2024/02/30 00:00:00")}) {
                TypeAndClick(dialog, input, res::kIdcDiffApply);
                kept << InputOf(dialog)->text();
            }
            // The current time itself, typed without leading zeros.
            TypeAndClick(dialog, same.toString(QStringLiteral("yyyy/M/d h:mm:ss.zzz")),
                         res::kIdcDiffApply);
            // 0x7FFFFFFFF ms is about 397 days.
            TypeAndClick(dialog, same.addDays(400).toString(kTimeFormat), res::kIdcDiffApply);
            // A valid one declined at the confirmation.
            TypeAndClick(dialog, same.addSecs(3600).toString(kTimeFormat), res::kIdcDiffApply);
            // The buttons put the line's times back.
            QTest::mouseClick(ButtonOf(dialog, res::kIdcDiffCurrent), Qt::LeftButton);
            restored[0] = InputOf(dialog)->text();
            restored[1] = current;
        });
        QVERIFY(visit.opened);
        QVERIFY(visit.stayedOpen);
        QCOMPARE(kept, (QStringList{QStringLiteral("2024/06/07 12:34"),
                                    QStringLiteral("2024/02/30 00:00:00")}));
        QCOMPARE(restored[0], restored[1]);
        QCOMPARE(m_ui->messages.size(), size_t(5));
        const QString texts[4] = {kBadFormat, kBadFormat, kUnchanged, kOutOfRange};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(m_ui->messages[i].text, texts[i]);
            QCOMPARE(m_ui->messages[i].caption, kCaption);
            QCOMPARE(m_ui->messages[i].icon, MessageIcon::kExclamation);
        }
        const QDateTime shown = ParseTime(visit.input);
        QCOMPARE(m_ui->messages[4].text,
                 QStringLiteral("ログデータ出力日時を補正します。よろしいですか？\n\n補正前 「%1」"
                                "\n\n補正後 「%2」")
                     .arg(shown.toString(QStringLiteral("yyyy 年 MM 月 dd 日  hh 時 mm 分 "
                                                        "ss.zzz 秒")),
                          shown.addSecs(3600).toString(
                              QStringLiteral("yyyy 年 MM 月 dd 日  hh 時 mm 分 ss.zzz 秒"))));
        QCOMPARE(m_ui->messages[4].caption, QStringLiteral("補正確認"));
        QCOMPARE(m_ui->messages[4].buttons, MessageButtons::kYesNo);
        QCOMPARE(Window().LoadedConverter()->StartCorrection(), int64_t(0));
        QCOMPARE(ShownTimes(Window(), 30), before);
        QVERIFY(!OpenedItem(res::kCmdSaveCorrection)->isEnabled());
    }

    void ApplyingMovesEveryLineAndSavingWritesOnlyTheCorrection() {
        QVERIFY(Load(m_path));
        const int32_t line = LineOfLayer(kLayerFrame);
        QVERIFY(line > 0);
        const auto before = ShownTimes(Window(), 40);
        QCOMPARE(before.size(), size_t(40));
        const QDateTime lineTime = TimeOfLine(line);
        QVERIFY(lineTime.isValid());
        // One day, an hour and 257 ms earlier.
        const QDateTime entered = lineTime.addMSecs(-(86400000LL + 3600000LL + 257));
        const int64_t correction = -(86400000LL + 3600000LL + 257);
        ProgressShown progress;
        const DialogVisit visit =
            Correct(line, entered.toString(QStringLiteral("yyyy/M/d h:m:s.zzz")));
        QVERIFY(visit.opened);
        QVERIFY(!visit.stayedOpen);
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("補正確認"));
        QCOMPARE(progress.titles, QStringList{QStringLiteral("INSログデータ変換中...")});
        QCOMPARE(Window().LoadedConverter()->StartCorrection(), correction);
        const auto after = ShownTimes(Window(), 40);
        QCOMPARE(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].first, before[i].first);
            QCOMPARE(after[i].second, before[i].second.addMSecs(correction));
        }
        // The file is untouched until it is saved.
        QCOMPARE(FileBytes(m_path), m_original);

        // The window opened again shows the correction and can go back to the file's times.
        QString text;
        bool enabled = false;
        QVERIFY(RightClickLine(line, &text, &enabled));
        QString reset;
        QString current;
        const DialogVisit again = ChooseCorrection([&](CDiffTimeDlg& dialog) {
            QTest::mouseClick(ButtonOf(dialog, res::kIdcDiffReset), Qt::LeftButton);
            reset = InputOf(dialog)->text();
            QTest::mouseClick(ButtonOf(dialog, res::kIdcDiffCurrent), Qt::LeftButton);
            current = InputOf(dialog)->text();
            const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
            QDir().mkpath(folder);
            dialog.grab().save(folder + QStringLiteral("/diff-time.png"));
        });
        QVERIFY(again.stayedOpen);
        QCOMPARE(again.group, QStringLiteral("初期状態からの補正[- 1日 01時間00分00.257秒]"));
        QVERIFY(again.resetEnabled);
        QCOMPARE(again.input, entered.toString(kTimeFormat));
        QCOMPARE(reset, lineTime.toString(kTimeFormat));
        QCOMPARE(current, entered.toString(kTimeFormat));
        QVERIFY(QFile::exists(QStringLiteral(TESSARY_BINARY_DIR "/screenshots/diff-time.png")));

        // Declining the save's confirmation writes nothing.
        QAction* save = OpenedItem(res::kCmdSaveCorrection);
        QVERIFY(save->isEnabled());
        QCOMPARE(save->text(), QStringLiteral("補正日時をINSログファイルに上書保存する..."));
        m_ui->messages.clear();
        m_ui->answers = {Answer::kNo};
        save->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text,
                 QStringLiteral("補正日時を表示中のログファイルに上書き保存します。\n\nよろしいです"
                                "か？\n\n'%1'")
                     .arg(QString::fromStdString(m_path)));
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("ファイル上書き保存"));
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kQuestion);
        QCOMPARE(FileBytes(m_path), m_original);
        QVERIFY(OpenedItem(res::kCmdSaveCorrection)->isEnabled());

        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdSaveCorrection)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QVERIFY(OnlyCorrectionBytesHold(m_path, correction));
        QVERIFY(!OpenedItem(res::kCmdSaveCorrection)->isEnabled());
        // Saved: closing asks nothing.
        Window().close();
        QVERIFY(!Window().isVisible());
        QCOMPARE(m_ui->messages.size(), size_t(2));
    }

    void FailedSavesNameTheCauseAndLeaveTheFile() {
        QVERIFY(Load(m_path));
        const DialogVisit visit =
            Correct(LineOfLayer(kLayerFrame), QStringLiteral("2024/06/08 00:00:00"));
        QVERIFY(visit.opened);
        QVERIFY(!visit.stayedOpen);
        const QString path = QString::fromStdString(m_path);
        const QString failed =
            QStringLiteral("INSログファイルの上書保存に失敗しました。\n\n'%1'\n\n%2");
        // A file without write permission is protected (the core reads the permission bits, so
        // this holds for root as well).
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        m_ui->messages.clear();
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdSaveCorrection)->trigger();
        // A write that fails on the way (the platform's test switch).
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        fault::FailNthWrite(1);
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdSaveCorrection)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(4));
        QCOMPARE(m_ui->messages[1].text,
                 failed.arg(path, QStringLiteral("表示中のログファイルは上書禁止です。")));
        QCOMPARE(m_ui->messages[3].text, failed.arg(path, QStringLiteral("Error = 29")));
        for (int i : {1, 3}) {
            QCOMPARE(m_ui->messages[i].caption, kSaveCaption);
            QCOMPARE(m_ui->messages[i].icon, MessageIcon::kExclamation);
        }
        QCOMPARE(FileBytes(m_path), m_original);
        // Still unsaved: the command stays and closing asks.
        QVERIFY(OpenedItem(res::kCmdSaveCorrection)->isEnabled());
        // The file is gone.
        QVERIFY(QFile::remove(path));
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdSaveCorrection)->trigger();
        QCOMPARE(m_ui->messages.back().text,
                 failed.arg(path, QStringLiteral("表示中のログファイルが見つかりません。")));
        QVERIFY(!QFile::exists(path));
    }

    void ClosingAsksAndCancelKeepsTheWindow() {
        QVERIFY(Load(m_path));
        const int64_t correction = 3600000;
        const DialogVisit visit =
            Correct(1, TimeOfLine(1).addMSecs(correction).toString(kTimeFormat));
        QVERIFY(visit.opened);
        CTessaryCan* loaded = Window().LoadedConverter();
        const int32_t lines = Frame().LineCount();
        m_ui->messages.clear();
        m_ui->answers = {Answer::kCancel};
        Window().close();
        QCoreApplication::processEvents();
        QVERIFY(Window().isVisible());
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, kCorrected + kBeforeExit);
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("終了"));
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kYesNoCancel);
        QCOMPARE(m_ui->messages[0].icon, MessageIcon::kQuestion);
        QCOMPARE(Window().LoadedConverter(), loaded);
        QCOMPARE(Frame().LineCount(), lines);
        QCOMPARE(loaded->StartCorrection(), correction);
        QCOMPARE(FileBytes(m_path), m_original);

        // Yes saves without a further question and closes.
        m_ui->answers = {Answer::kYes};
        Window().close();
        QVERIFY(!Window().isVisible());
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QVERIFY(OnlyCorrectionBytesHold(m_path, correction));
    }

    void OpeningAnotherAsksAndYesSavesThenOpens() {
        const std::string other = m_dir->File("other.dat");
        QVERIFY(RunInsloggen("--seed 22 " + kLogOptions, other));
        QVERIFY(Load(m_path));
        const int64_t correction = -250;
        QVERIFY(Correct(1, TimeOfLine(1).addMSecs(correction).toString(kTimeFormat)).opened);
        m_ui->messages.clear();
        m_ui->openPath = other;
        // Cancel: nothing is opened and nothing saved.
        m_ui->answers = {Answer::kCancel};
        OpenedItem(res::kCmdOpen)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, kCorrected + kBeforeOpen);
        QCOMPARE(m_ui->messages[0].caption, QStringLiteral("INSログファイルを開く"));
        QCOMPARE(m_ui->messages[0].buttons, MessageButtons::kYesNoCancel);
        QCOMPARE(Window().windowTitle(), QStringLiteral("line.dat - INSログデータ表示"));
        QCOMPARE(FileBytes(m_path), m_original);
        // Yes: saved, then the other file opens.
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdOpen)->trigger();
        QCOMPARE(m_ui->messages.size(), size_t(2));
        QCOMPARE(m_ui->messages[1].caption, QStringLiteral("INSログファイルを開く"));
        QVERIFY(OnlyCorrectionBytesHold(m_path, correction));
        QCOMPARE(Window().windowTitle(), QStringLiteral("other.dat - INSログデータ表示"));
        QCOMPARE(Window().LoadedConverter()->StartCorrection(), int64_t(0));
        QVERIFY(!OpenedItem(res::kCmdSaveCorrection)->isEnabled());
    }

    void RingFileBasedOnItsEndTimeCountsAsUnsaved() {
        QVERIFY(
            RunInsloggen("--seed 105 --span 13d --ring --ext-header 32 --poll-interval 1h "
                         "--call-interval 2h",
                         m_path));
        m_original = FileBytes(m_path);
        ProgressShown progress;
        QCOMPARE(Window().Open(m_path, kLineAsk), kOpenResultDone);
        // The second pass lays the lines out with the base the end time gave.
        QTRY_COMPARE(progress.titles.size(), qsizetype(2));
        QTRY_VERIFY(!Window().IsConverting());
        QVERIFY(Window().LoadedConverter()->StartCorrection() != 0);
        const int64_t correction = Window().LoadedConverter()->StartCorrection();
        QVERIFY(OpenedItem(res::kCmdSaveCorrection)->isEnabled());
        m_ui->answers = {Answer::kNo};
        Window().close();
        QVERIFY(!Window().isVisible());
        QCOMPARE(m_ui->messages.size(), size_t(1));
        QCOMPARE(m_ui->messages[0].text, kCorrected + kBeforeExit);
        QCOMPARE(FileBytes(m_path), m_original);
        // Saved, the file keeps the base the end time gave.
        m_ui->answers = {Answer::kYes};
        OpenedItem(res::kCmdSaveCorrection)->trigger();
        QVERIFY(OnlyCorrectionBytesHold(m_path, correction));
    }
};

TESSARY_GUI_TEST(DiffTimeDialogTest);

// The start checks of the window itself, without a main window.
class DiffTimeStartTest : public QObject {
    Q_OBJECT

private slots:
    void NoLogNoLine() {
        FakeUi ui;
        CDiffTimeDlg without(nullptr, nullptr, nullptr);
        QCOMPARE(without.DoModal(), kDiffTimeFailed);
        QCOMPARE(ui.messages.size(), size_t(1));
        QCOMPARE(ui.messages[0].text, QStringLiteral("INSログファイルが読み込まれていません。"));
        QCOMPARE(ui.messages[0].caption, kCaption);

        TempDir dir;
        const std::string path = dir.File("a.dat");
        QVERIFY(RunInsloggen("--seed 3 --records 20", path));
        CMainDlg window;
        std::u16string failure;
        QVERIFY(window.Initialize(&failure));
        QCOMPARE(window.Open(path, kLineAsk), kOpenResultDone);
        CDiffTimeDlg noLine(&window, window.LoadedConverter(), nullptr);
        QCOMPARE(noLine.DoModal(), kDiffTimeFailed);
        QCOMPARE(ui.messages.size(), size_t(2));
        QCOMPARE(ui.messages[1].text,
                 QStringLiteral("補正元のINSログデータが指定されていません。"));
    }
};

TESSARY_GUI_TEST(DiffTimeStartTest);

}  // namespace tessary::test

#include "test_diff_time_dlg.moc"
