// The version dialog: its texts and bold version line, OK, a screenshot, and command 16 of the
// main window's Help menu that opens it.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "mainwnd/CMainDlg.h"
#include "platform/QtText.h"
#include "resources/ResourceIds.h"
#include "resources/Version.h"
#include "settings/AboutText.h"
#include "settings/CAboutDlg.h"

namespace tessary::test {

class AboutDlgTest : public QObject {
    Q_OBJECT

private:
    static QString LabelText(const CAboutDlg& dialog, int id) {
        auto* label = qobject_cast<QLabel*>(dialog.Control(id));
        return label != nullptr ? label->text() : QStringLiteral("<no label %1>").arg(id);
    }

private slots:
    void VersionLineFromTheFourBytes() {
        QCOMPARE(ToQString(AboutVersionText(u"TessaryView", 0x00030500)),
                 QStringLiteral("TessaryView Ver 0.3.5.0 <x64>"));
        QCOMPARE(ToQString(AboutVersionText(u"a.exe", 0xFF01020Au)),
                 QStringLiteral("a.exe Ver 255.1.2.10 <x64>"));
        QCOMPARE(ToQString(AboutVersionText(u"", 0)), QStringLiteral(" Ver 0.0.0.0 <x64>"));
    }

    void ShowsTheVersionValuesAndClosesWithOk() {
        CAboutDlg dialog(nullptr, QStringLiteral("TessaryView"), 0x00030500);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(LabelText(dialog, res::kIdcAboutDescription),
                 QStringLiteral("TessaryView INSログデータ表示"));
        QCOMPARE(LabelText(dialog, res::kIdcAboutVersion),
                 QStringLiteral("TessaryView Ver 0.3.5.0 <x64>"));
        QCOMPARE(LabelText(dialog, res::kIdcAboutCopyright),
                 ToQString(res::ProgramVersion().legalCopyright));
        QCOMPARE(dialog.Control(res::kIdcAboutVersion)->font().weight(), QFont::Bold);
        QCOMPARE(static_cast<int>(QFont::Bold), 700);
        QVERIFY(dialog.Control(res::kIdcAboutDescription)->font().weight() != QFont::Bold);

        auto* ok = qobject_cast<QPushButton*>(dialog.Control(res::kIdOk));
        QVERIFY(ok != nullptr);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Every text fits its control: nothing of the version line is cut off.
        for (int id : {res::kIdcAboutDescription, res::kIdcAboutVersion, res::kIdcAboutCopyright}) {
            auto* label = qobject_cast<QLabel*>(dialog.Control(id));
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
            QVERIFY(label->geometry().right() < dialog.width());
        }
        const QString folder = QStringLiteral(TESSARY_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(dialog.grab().save(folder + QStringLiteral("/about.png")));

        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

    void HelpMenuOpensItModally() {
        FakeUi ui;
        CMainDlg window;
        std::u16string failure;
        QVERIFY(window.Initialize(&failure));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QAction* item = window.MenuAction(res::kCmdAbout);
        QVERIFY(item != nullptr);
        QCOMPARE(item->text(), QStringLiteral("バージョン情報(&A)..."));
        auto* help = qobject_cast<QMenu*>(item->parent());
        QVERIFY(help != nullptr);
        QCOMPARE(help->title(), QStringLiteral("ヘルプ(&H)"));
        emit help->aboutToShow();
        QVERIFY(item->isEnabled());

        // Read and close the dialog from inside its own event loop.
        QString seenTitle;
        QString seenVersion;
        bool seenModal = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            seenTitle = dialog->windowTitle();
            seenModal = dialog->isModal() && dialog->parentWidget() == &window;
            if (auto* label = qobject_cast<QLabel*>(dialog->Control(res::kIdcAboutVersion))) {
                seenVersion = label->text();
            }
            dialog->accept();
        });
        item->trigger();
        QCOMPARE(seenTitle, QStringLiteral("バージョン情報"));
        QVERIFY(seenModal);
        const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        const uint32_t version = res::ParseFileVersion(res::ProgramVersion().fileVersion);
        QCOMPARE(seenVersion, QStringLiteral("%1 Ver %2.%3.%4.%5 <x64>")
                                  .arg(program)
                                  .arg(version >> 24)
                                  .arg((version >> 16) & 0xFF)
                                  .arg((version >> 8) & 0xFF)
                                  .arg(version & 0xFF));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

TESSARY_GUI_TEST(AboutDlgTest);

}  // namespace tessary::test

#include "test_about_dlg.moc"
