// The log divide dialog driven by typing and clicking: three dates into three files, the checks
// before the run, a stop during the run, a two-pass ring against tessarydump --divide, the
// correction taken with the displayed log, the buttons, the settings and command 32771.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <memory>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "display/QtAppEvent.h"
#include "logfile/CTessaryData.h"
#include "logfile/Status.h"
#include "mainwnd/CMainDlg.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsRecord.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"
#include "tools/CDivideDlg.h"
#include "tools/CProgressDlg.h"

namespace tessary::test {
namespace {

const QString kFolderMissing = QStringLiteral("分割先フォルダーは存在していません。");

// The title and subtitle of every progress dialog shown; can press Stop on a progress
// notification once the dialog reports a finished file.
class ProgressWatch : public ProgressShown {
public:
    explicit ProgressWatch(CDivideDlg* dialog) : m_dialog(dialog) {}

    bool abortAfterAFile = false;
    bool aborted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        ProgressShown::eventFilter(watched, event);
        if (abortAfterAFile && !aborted && watched == m_dialog &&
            event->type() == QtAppEvent::TypeOf(static_cast<int>(kWmApp) + 1) &&
            static_cast<QtAppEvent*>(event)->WParam() == static_cast<intptr_t>(kNotifyProgress) &&
            m_dialog->RunningProgress() != nullptr &&
            !m_dialog->StatusText().startsWith(QStringLiteral("分割個数=0"))) {
            aborted = true;
            m_dialog->RunningProgress()->Abort();
        }
        return false;
    }

private:
    CDivideDlg* m_dialog;
};

// The header of a log file, or nullopt when it does not open as one.
std::optional<InsLogHeader> HeaderOf(const std::string& path) {
    uint8_t option = 8;
    CTessaryData reader(path, &option);
    if (reader.OpenStatus() != kOpenOk) {
        return std::nullopt;
    }
    return reader.Header();
}

}  // namespace

class DivideDlgTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeUi> m_ui;
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<SettingsRecord> m_settings;
    std::unique_ptr<CDivideDlg> m_dialog;
    std::string m_out;

    CDivideDlg& Dialog() { return *m_dialog; }

    void Show(const std::string& displayed = {}, int64_t correction = 0) {
        m_dialog = std::make_unique<CDivideDlg>(nullptr, *m_settings, displayed, correction);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(Dialog().Control(id)); }
    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(Dialog().Control(id)); }
    // Replaces the text of an edit as a person does: click, select all, type.
    void Type(int id, const std::string& text) { TypeOver(Edit(id), QString::fromStdString(text)); }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    void RunDivide(const std::string& source, const std::string& folder) {
        Type(res::kIdcDivideSource, source);
        Type(res::kIdcDivideFolder, folder);
        Click(res::kIdcDivideRun);
    }
    static QStringList Outputs(const std::string& folder) {
        return QDir(QString::fromStdString(folder)).entryList(QDir::Files, QDir::Name);
    }
    static std::string PathIn(const std::string& folder, const QString& name) {
        return folder + "/" + name.toStdString();
    }
    // What tessarydump prints for `arguments` with the settings of a new viewer; its exit code.
    QString Dump(const QStringList& arguments, int* exitCode) {
        const Printed printed = RunTessarydump(arguments, m_dir->File("config"));
        *exitCode = printed.exitCode;
        return printed.out;
    }
    // Every output is a linear log whose header counts its bytes and that converts as a whole.
    void CheckValidLogs(const std::string& folder, const QStringList& names) {
        for (const QString& name : names) {
            const std::string path = PathIn(folder, name);
            const std::optional<InsLogHeader> header = HeaderOf(path);
            QVERIFY2(header.has_value(), qPrintable(name));
            QCOMPARE(header->loopCount, 0u);
            // The start is the already corrected time of the first record.
            QCOMPARE(StartCorrectionOf(*header), int64_t{0});
            QCOMPARE(uint64_t{header->dataByteCount}, uint64_t(ReadBytes(path).size() - 64));
            const QString date = QStringLiteral("%1%2%3")
                                     .arg(header->startYear)
                                     .arg(header->startMonth, 2, 10, QLatin1Char('0'))
                                     .arg(header->startDay, 2, 10, QLatin1Char('0'));
            QVERIFY2(name.contains(QStringLiteral("_") + date + QStringLiteral(".dat")),
                     qPrintable(name + QStringLiteral(" ") + date));
            int code = 0;
            Dump({QStringLiteral("--default-settings"), QStringLiteral("--summary"),
                  QString::fromStdString(path)},
                 &code);
            QCOMPARE(code, 0);
        }
    }

private slots:
    void init() {
        m_ui = std::make_unique<FakeUi>();
        m_dir = std::make_unique<TempDir>();
        m_settings = std::make_unique<SettingsRecord>();
        ResetSettings(*m_settings);
        m_out = m_dir->File("out");
        QVERIFY(QDir().mkpath(QString::fromStdString(m_out)));
    }

    void cleanup() {
        m_dialog.reset();
        m_settings.reset();
        m_ui.reset();
        m_dir.reset();
    }

    void ThreeDatesGiveThreeValidFiles() {
        const std::string source = m_dir->File("src.dat");
        QVERIFY(RunInsloggen(
            "--seed 3 --span 2d --noise 0 --fill 0 --poll-interval 5m --call-interval 1h", source));
        const std::vector<uint8_t> sourceBytes = ReadBytes(source);
        Show();
        // A folder with a trailing separator is the folder.
        RunDivide(source, m_out + "/");

        QVERIFY(m_ui->messages.empty());
        QCOMPARE(Dialog().StatusText(), QStringLiteral("正常終了: 分割個数=3, 警告数=0"));
        QVERIFY(Button(res::kIdcDivideRun)->isEnabled());
        const QStringList names = Outputs(m_out);
        QCOMPARE(names, (QStringList{QStringLiteral("src_分割-1_20240607.dat"),
                                     QStringLiteral("src_分割-2_20240608.dat"),
                                     QStringLiteral("src_分割-3_20240609.dat")}));
        CheckValidLogs(m_out, names);
        // Every record once, in order: the outputs' data areas joined end the source.
        std::vector<uint8_t> joined;
        for (const QString& name : names) {
            const std::vector<uint8_t> bytes = ReadBytes(PathIn(m_out, name));
            joined.insert(joined.end(), bytes.begin() + 64, bytes.end());
        }
        QCOMPARE(uint64_t{HeaderOf(source)->dataByteCount}, uint64_t(joined.size()));
        QVERIFY(std::equal(joined.begin(), joined.end(), sourceBytes.end() - joined.size()));
        QVERIFY(ReadBytes(source) == sourceBytes);

        const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(Dialog().grab().save(folder + QStringLiteral("/divide.png")));
    }

    void ChecksBeforeTheRunAndAnEmptySource() {
        const std::string source = m_dir->File("src.dat");
        QVERIFY(RunInsloggen("--seed 4 --records 50", source));
        const std::string notLog = m_dir->File("text.dat");
        WriteBytes(notLog, std::vector<uint8_t>(200, 'x'));
        const std::string empty = LogBytes().FixDataByteCount().WriteTo(m_dir->File("empty.dat"));
        const QString sourceCaption = QStringLiteral("分割元ログファイル不正");
        const QString folderCaption = QStringLiteral("分割先フォルダー不正");
        struct Case {
            std::string source;
            std::string folder;
            QString text;
            QString caption;
        };
        const std::vector<Case> cases = {
            {"   ", m_out, QStringLiteral("分割元ログファイル名が入力されていません。"),
             sourceCaption},
            {source, " ", QStringLiteral("分割先フォルダー名が入力されていません。"),
             folderCaption},
            {source, source, kFolderMissing, folderCaption},
            {source, m_out + "/none", kFolderMissing, folderCaption},
            {m_dir->File("none.dat"), m_out,
             QStringLiteral("分割元ログファイルは存在していません。"), sourceCaption},
            {m_dir->File("none/src.dat"), m_out,
             QStringLiteral("分割元のサブフォルダーは存在していません。"), sourceCaption},
            {notLog, m_out,
             QStringLiteral(
                 "分割元ログファイルは、リアルタイム出力ログファイル形式ではありません。"),
             sourceCaption},
            {empty, m_out, QStringLiteral("分割元ログファイルには、有効データが存在していません。"),
             QStringLiteral("ログファイル分割失敗")},
        };
        Show();
        for (const Case& check : cases) {
            m_ui->messages.clear();
            RunDivide(check.source, check.folder);
            QCOMPARE(m_ui->messages.size(), size_t(1));
            QCOMPARE(m_ui->messages[0].text, check.text);
            QCOMPARE(m_ui->messages[0].caption, check.caption);
            QCOMPARE(m_ui->messages[0].icon, MessageIcon::kExclamation);
            QVERIFY(Button(res::kIdcDivideRun)->isEnabled());
            QVERIFY(Outputs(m_out).isEmpty());
        }
        // A run that found no record has no count to show after its end.
        QCOMPARE(Dialog().StatusText(), QStringLiteral("失敗終了: "));
        m_ui->messages.clear();
        RunDivide(source, source);
        QVERIFY(Dialog().StatusText().isEmpty());
    }

    void StopKeepsTheFinishedFiles() {
        const std::string source = m_dir->File("long.dat");
        QVERIFY(RunInsloggen("--seed 9 --size 40M --poll-interval 10s --call-interval 1h", source));
        const std::vector<uint8_t> sourceBytes = ReadBytes(source);
        Show();
        ProgressWatch watch(&Dialog());
        watch.abortAfterAFile = true;
        m_ui->answers = {Answer::kYes};
        RunDivide(source, m_out);

        QVERIFY(watch.aborted);
        QCOMPARE(m_ui->Captions(), QStringList{QStringLiteral("中止確認")});
        const QRegularExpression status(QStringLiteral("^実行中止: 分割個数=(\\d+), 警告数=\\d+$"));
        const QRegularExpressionMatch match = status.match(Dialog().StatusText());
        QVERIFY2(match.hasMatch(), qPrintable(Dialog().StatusText()));
        const int finished = match.captured(1).toInt();
        QVERIFY(finished >= 1);
        // The file open at the stop is finished too; nothing else is left behind.
        const QStringList names = Outputs(m_out);
        QCOMPARE(names.size(), finished);
        for (int n = 1; n <= finished; ++n) {
            QVERIFY(names.filter(QStringLiteral("long_分割-%1_").arg(n)).size() == 1);
        }
        CheckValidLogs(m_out, names);
        QVERIFY(ReadBytes(source) == sourceBytes);
        QVERIFY(Button(res::kIdcDivideRun)->isEnabled());
    }

    void TwoPassRingMatchesTheCommandLine() {
        const std::string source = m_dir->File("ring.dat");
        QVERIFY(RunInsloggen(
            "--seed 105 --span 13d --ring --ext-header 32 --poll-interval 1h --call-interval 2h",
            source));
        const std::vector<uint8_t> sourceBytes = ReadBytes(source);
        Show();
        ProgressWatch watch(&Dialog());
        RunDivide(source, m_out);

        QCOMPARE(watch.subtitles, (QStringList{QStringLiteral("1 / 2"), QStringLiteral("2 / 2")}));
        QCOMPARE(watch.titles.size(), 2);
        QVERIFY2(watch.titles[0].startsWith(QStringLiteral("ログファイル読込")),
                 qPrintable(watch.titles[0]));
        QVERIFY2(watch.titles[1].startsWith(QStringLiteral("ログファイル分割")),
                 qPrintable(watch.titles[1]));
        QVERIFY(m_ui->messages.empty());
        QVERIFY2(Dialog().StatusText().startsWith(QStringLiteral("正常終了: 分割個数=")),
                 qPrintable(Dialog().StatusText()));

        const std::string cliOut = m_dir->File("cli");
        QVERIFY(QDir().mkpath(QString::fromStdString(cliOut)));
        int code = 0;
        const QString printed =
            Dump({QStringLiteral("--default-settings"), QStringLiteral("--divide"),
                  QString::fromStdString(cliOut), QString::fromStdString(source)},
                 &code);
        QCOMPARE(code, 0);
        QCOMPARE(printed.trimmed(), Dialog().StatusText());
        const QStringList names = Outputs(m_out);
        QVERIFY(names.size() >= 13);
        QCOMPARE(Outputs(cliOut), names);
        for (const QString& name : names) {
            QVERIFY2(ReadBytes(PathIn(m_out, name)) == ReadBytes(PathIn(cliOut, name)),
                     qPrintable(name));
        }
        CheckValidLogs(m_out, names);
        QVERIFY(ReadBytes(source) == sourceBytes);
    }

    void TheDisplayedLogBringsItsCorrection() {
        const std::string source = m_dir->File("src.dat");
        QVERIFY(RunInsloggen(
            "--seed 3 --span 2d --noise 0 --fill 0 --poll-interval 5m --call-interval 1h", source));
        const int64_t oneDay = 86400000;
        Show(source, oneDay);
        Type(res::kIdcDivideSource, "other.dat");
        Click(res::kIdcDivideTakeDisplayed);
        QCOMPARE(Edit(res::kIdcDivideSource)->text(), QString::fromStdString(source));
        QVERIFY(Edit(res::kIdcDivideSource)->isReadOnly());
        QVERIFY(!Button(res::kIdcDivideTakeDisplayed)->isEnabled());
        QVERIFY(!Button(res::kIdcDivideBrowseSource)->isEnabled());
        QCOMPARE(Dialog().StatusText(), QStringLiteral("補正されたログ出力開始日時を適用します"));

        Type(res::kIdcDivideFolder, m_out);
        Click(res::kIdcDivideRun);
        QCOMPARE(Dialog().StatusText(), QStringLiteral("正常終了: 分割個数=3, 警告数=0"));
        const QStringList names = Outputs(m_out);
        QCOMPARE(names, (QStringList{QStringLiteral("src_分割-1_20240608.dat"),
                                     QStringLiteral("src_分割-2_20240609.dat"),
                                     QStringLiteral("src_分割-3_20240610.dat")}));
        CheckValidLogs(m_out, names);

        // Without a correction "→" only fills the source.
        Show(source, 0);
        Click(res::kIdcDivideTakeDisplayed);
        QCOMPARE(Edit(res::kIdcDivideSource)->text(), QString::fromStdString(source));
        QVERIFY(!Edit(res::kIdcDivideSource)->isReadOnly());
        QVERIFY(Button(res::kIdcDivideTakeDisplayed)->isEnabled());
        QVERIFY(Button(res::kIdcDivideBrowseSource)->isEnabled());
        QVERIFY(Dialog().StatusText().isEmpty());
    }

    void ButtonsTooltipsAndKeys() {
        Show();
        QCOMPARE(Dialog().windowTitle(), QStringLiteral("INSログファイル分割"));
        QVERIFY(!Button(res::kIdcDivideTakeDisplayed)->isEnabled());
        QCOMPARE(Button(res::kIdcDivideTakeDisplayed)->toolTip(),
                 QStringLiteral("現在表示中のログファイルを、分割元ログファイル名に設定"));
        QCOMPARE(Button(res::kIdcDivideTakeFolder)->toolTip(),
                 QStringLiteral("分割元のサブフォルダーを、分割先フォルダー名に設定"));
        QCOMPARE(Button(res::kIdcDivideRun)->text(), QStringLiteral("分割実行(&S)"));
        QCOMPARE(Button(res::kIdcDivideClose)->text(), QStringLiteral("閉じる(&X)"));

        Type(res::kIdcDivideSource, "/logs/day/a.dat");
        Click(res::kIdcDivideTakeFolder);
        QCOMPARE(Edit(res::kIdcDivideFolder)->text(), QStringLiteral("/logs/day"));
        // A file in the root keeps the root as its folder; a bare name has none.
        Type(res::kIdcDivideSource, "/a.dat");
        Click(res::kIdcDivideTakeFolder);
        QCOMPARE(Edit(res::kIdcDivideFolder)->text(), QStringLiteral("/"));
        Type(res::kIdcDivideSource, "a.dat");
        Click(res::kIdcDivideTakeFolder);
        QVERIFY(Edit(res::kIdcDivideFolder)->text().isEmpty());

        const std::string chosen = m_dir->File("chosen.dat");
        m_ui->openPath = chosen;
        Type(res::kIdcDivideSource, "/logs/start.dat");
        Click(res::kIdcDivideBrowseSource);
        QCOMPARE(m_ui->openRequests.size(), size_t(1));
        const OpenFileRequest& request = m_ui->openRequests[0];
        QCOMPARE(ToQString(request.title), QStringLiteral("分割するログファイルの選択"));
        QCOMPARE(ToQString(request.filter),
                 QStringLiteral("INS ログファイル (*.dat)|*.dat|すべてのファイル (*.*)|*.*||"));
        QCOMPARE(ToQString(request.defaultExtension), QStringLiteral("dat"));
        QCOMPARE(request.folder, std::string("/logs/start.dat"));
        QVERIFY(request.mustExist);
        QVERIFY(request.checks.empty());
        QCOMPARE(Edit(res::kIdcDivideSource)->text(), QString::fromStdString(chosen));
        QVERIFY(Edit(res::kIdcDivideSource)->hasFocus());
        QCOMPARE(Edit(res::kIdcDivideSource)->selectedText(), QString::fromStdString(chosen));

        Type(res::kIdcDivideFolder, "/logs");
        m_ui->folderPath = m_out + "/";
        Click(res::kIdcDivideBrowseFolder);
        QCOMPARE(m_ui->folderStarts, std::vector<std::string>{"/logs/"});
        QCOMPARE(Edit(res::kIdcDivideFolder)->text(), QString::fromStdString(m_out));
        m_ui->folderPath.clear();
        Click(res::kIdcDivideBrowseFolder);
        QCOMPARE(Edit(res::kIdcDivideFolder)->text(), QString::fromStdString(m_out));

        // Enter and Esc leave the dialog open and run nothing; the close button ends it.
        QTest::keyClick(Edit(res::kIdcDivideFolder), Qt::Key_Return);
        QTest::keyClick(Edit(res::kIdcDivideFolder), Qt::Key_Escape);
        QVERIFY(Dialog().isVisible());
        QVERIFY(m_ui->messages.empty());
        QVERIFY(Dialog().StatusText().isEmpty());
        Click(res::kIdcDivideClose);
        QVERIFY(!Dialog().isVisible());
    }

    void BoxesComeFromAndGoToTheSettings() {
        m_settings->divideInpPath = u"/logs/in.dat";
        m_settings->divideOutDir = u"/logs/out";
        Show();
        QCOMPARE(Edit(res::kIdcDivideSource)->text(), QStringLiteral("/logs/in.dat"));
        QCOMPARE(Edit(res::kIdcDivideFolder)->text(), QStringLiteral("/logs/out"));
        Type(res::kIdcDivideSource, "  /data/src.dat  ");
        Type(res::kIdcDivideFolder, " /data/split/ ");
        Click(res::kIdcDivideClose);
        // Stored when the dialog goes, trimmed, the folder without its trailing separator.
        QCOMPARE(ToQString(m_settings->divideInpPath), QStringLiteral("/logs/in.dat"));
        m_dialog.reset();
        QCOMPARE(ToQString(m_settings->divideInpPath), QStringLiteral("/data/src.dat"));
        QCOMPARE(ToQString(m_settings->divideOutDir), QStringLiteral("/data/split"));
        // The root folder stays a folder.
        Show();
        Type(res::kIdcDivideFolder, "/");
        m_dialog.reset();
        QCOMPARE(ToQString(m_settings->divideOutDir), QStringLiteral("/"));
    }

    void MainWindowCommandOffersTheDisplayedLog() {
        CMainDlg window;
        std::u16string failure;
        QVERIFY(window.Initialize(&failure));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.IsCommandEnabled(res::kCmdDivide));
        QCOMPARE(window.MenuAction(res::kCmdDivide)->text(),
                 QStringLiteral("INSログファイルを分割する(&D)..."));
        QCOMPARE(window.Open(DemoLogPath(), kLineAsk), 0);

        struct Seen {
            bool dialog = false;
            bool takeEnabled = false;
            QString source;
            QString folder;
        } seen;
        WhileModal<CDivideDlg>(
            [&] { window.MenuAction(res::kCmdDivide)->trigger(); },
            [&](CDivideDlg& dialog) {
                seen.dialog = true;
                auto* take =
                    qobject_cast<QPushButton*>(dialog.Control(res::kIdcDivideTakeDisplayed));
                seen.takeEnabled = take->isEnabled();
                QTest::mouseClick(take, Qt::LeftButton);
                QTest::mouseClick(dialog.Control(res::kIdcDivideTakeFolder), Qt::LeftButton);
                seen.source =
                    qobject_cast<QLineEdit*>(dialog.Control(res::kIdcDivideSource))->text();
                seen.folder =
                    qobject_cast<QLineEdit*>(dialog.Control(res::kIdcDivideFolder))->text();
                QTest::mouseClick(dialog.Control(res::kIdcDivideClose), Qt::LeftButton);
            });

        QVERIFY(seen.dialog);
        QVERIFY(seen.takeEnabled);
        QCOMPARE(seen.source, QString::fromStdString(DemoLogPath()));
        QCOMPARE(seen.folder, QStringLiteral(TESSARY_SOURCE_DIR "/samples"));
        // The main window keeps what the dialog left in its settings.
        QCOMPARE(ToQString(window.Settings().divideInpPath), QString::fromStdString(DemoLogPath()));
        QCOMPARE(ToQString(window.Settings().divideOutDir),
                 QStringLiteral(TESSARY_SOURCE_DIR "/samples"));
    }
};

TESSARY_GUI_TEST(DivideDlgTest);

}  // namespace tessary::test

#include "test_divide_dlg.moc"
