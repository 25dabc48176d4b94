// The viewer keeps what the user changed: the application object's start path loads the
// user's stored settings into the main window and writes them back when it closes, and a
// second window after a first one shows the same recent files, search history, placement,
// font size and date format. The user's settings live in a temporary folder here.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <string>

#include "GuiTestRegistry.h"
#include "MainWindowTestSupport.h"
#include "decode/CanPara.h"
#include "decode/Palette.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/OpenFlow.h"
#include "resources/ResourceIds.h"
#include "resources/Version.h"
#include "settings/CTessaryViewApp.h"
#include "settings/QtSettingsStore.h"
#include "support/TempDir.h"

namespace tessary::test {
namespace {

QStringList SearchItems(const CMainDlg& window) {
    QStringList items;
    for (int i = 0; i < window.SearchBox()->count(); ++i) {
        items << window.SearchBox()->itemText(i);
    }
    return items;
}

uint32_t ProgramVersion() {
    return res::ParseFileVersion(res::ProgramVersion().fileVersion);
}

}  // namespace

class AppSettingsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_config;
    QString m_defaultConfig;

    QString UserFile() const {
        return QString::fromStdString(m_config->File("Nemra/TessaryView.conf"));
    }
    QVariant Stored(const QString& name) const {
        const QSettings file(UserFile(), QSettings::IniFormat);
        return file.value(QStringLiteral("Settings/") + name);
    }

private slots:
    void initTestCase() {
        m_defaultConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }

    void init() {
        m_config = std::make_unique<TempDir>();
        const QString root = QString::fromStdString(m_config->Path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root);
    }

    void cleanup() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_defaultConfig);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_defaultConfig);
        m_config.reset();
    }

    void SecondWindowShowsWhatTheFirstLeft() {
        FakeUi ui;
        const std::string log = DemoLogPath();
        QRect firstNormal;
        {
            const auto store = QtSettingsStore::OpenUser();
            CMainDlg first;
            CTessaryViewApp::LoadMainSettings(*store, ProgramVersion(), first.Settings());
            std::u16string failure;
            QVERIFY(first.Initialize(&failure));
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            first.setGeometry(QRect(120, 90, 1100, 720));
            QCoreApplication::processEvents();

            // Open through the File menu, search from the box, then font size and date format
            // from the View menu.
            ui.openPath = log;
            first.MenuAction(res::kCmdOpen)->trigger();
            QVERIFY(first.LoadedConverter() != nullptr);
            QLineEdit* edit = first.SearchBox()->lineEdit();
            edit->setFocus();
            QTest::keyClicks(edit, QStringLiteral("TM="));
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(SearchItems(first).value(0), QStringLiteral("TM="));
            QAction* twelve =
                ItemWithText(OpenedPopup(first, res::kCmdFontSizeFirst), QStringLiteral("12.0"));
            QVERIFY(twelve != nullptr);
            twelve->trigger();
            OpenedPopup(first, res::kCmdDateFormatFirst);
            first.MenuAction(res::kCmdDateFormatFirst + 3)->trigger();
            QCOMPARE(DateFormatOf(first.Settings().para), 3u);
            firstNormal = first.geometry();

            // The close box: the window ends as a dialog does (the event itself is taken).
            first.close();
            QVERIFY(!first.isVisible());
            QCOMPARE(first.result(), static_cast<int>(Answer::kCancel));
            QVERIFY(SaveSettings(first.Settings(), *store));
            QVERIFY(store->Sync());
        }
        QVERIFY(QFileInfo::exists(UserFile()));
        QCOMPARE(Stored(QStringLiteral("PaneFontPoint")).toString(), QStringLiteral("120"));
        QCOMPARE(Stored(QStringLiteral("LogFileMruList_00")).toString(),
                 QString::fromStdString(log));

        const auto store = QtSettingsStore::OpenUser();
        CMainDlg second;
        CTessaryViewApp::LoadMainSettings(*store, ProgramVersion(), second.Settings());
        std::u16string failure;
        QVERIFY(second.Initialize(&failure));
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));

        OpenedPopup(second, res::kCmdRecentFirst);
        QCOMPARE(second.MenuAction(res::kCmdRecentFirst)->text(),
                 QStringLiteral("&0 ") + QString::fromStdString(log));
        QCOMPARE(SearchItems(second),
                 (QStringList{QStringLiteral("TM="),
                              QStringLiteral("<Warning> | <規定外> | <対象外> | <CRCエラー>")}));
        QCOMPARE(second.geometry(), firstNormal);
        QCOMPARE(second.Settings().paneFontPoint, 120);
        QMenu* sizes = OpenedPopup(second, res::kCmdFontSizeFirst);
        QVERIFY(ItemWithText(sizes, QStringLiteral("12.0"))->isChecked());
        QVERIFY(!ItemWithText(sizes, QStringLiteral("9.0"))->isChecked());
        QCOMPARE(DateFormatOf(second.Settings().para), 3u);

        // The recent item opens the file again, with the stored date format checked.
        second.MenuAction(res::kCmdRecentFirst)->trigger();
        QVERIFY(second.LoadedConverter() != nullptr);
        OpenedPopup(second, res::kCmdDateFormatFirst);
        for (int id = res::kCmdDateFormatFirst; id <= res::kCmdDateFormatLast; ++id) {
            QCOMPARE(second.MenuAction(id)->isChecked(), id == res::kCmdDateFormatLast);
        }
        QVERIFY(ui.messages.empty());
    }

    void StartPathLoadsAtStartAndSavesAtTheEnd() {
        FakeUi ui;
        {
            QSettings file(UserFile(), QSettings::IniFormat);
            file.setValue(QStringLiteral("Settings/_ProgVer"), 1);
            file.setValue(QStringLiteral("Settings/PaneFontPoint"), 150);
            file.setValue(QStringLiteral("Settings/LogFileMruList_00"),
                          QString::fromStdString(DemoLogPath()));
            file.setValue(QStringLiteral("Settings/FindTextMruList_03"), QStringLiteral("x"));
            file.setValue(QStringLiteral("Other/Kept"), QStringLiteral("yes"));
        }

        // What the running window shows, then a change through its menu and the close box.
        int seenFont = 0;
        QString seenRecent;
        QString seenVersion;
        QString seenFontWhileRunning;
        QTimer driver;
        driver.setInterval(10);
        connect(&driver, &QTimer::timeout, [&] {
            auto* window = qobject_cast<CMainDlg*>(QApplication::activeModalWidget());
            if (window == nullptr || !window->isVisible()) {
                return;
            }
            driver.stop();
            seenFont = window->Settings().paneFontPoint;
            OpenedPopup(*window, res::kCmdRecentFirst);
            seenRecent = window->MenuAction(res::kCmdRecentFirst)->text();
            seenVersion = Stored(QStringLiteral("_ProgVer")).toString();
            seenFontWhileRunning = Stored(QStringLiteral("PaneFontPoint")).toString();
            if (QAction* ten = ItemWithText(OpenedPopup(*window, res::kCmdFontSizeFirst),
                                            QStringLiteral("10.0"))) {
                ten->trigger();
            }
            window->close();
        });
        driver.start();
        // The application object sets the process locale and palette; later classes run with
        // them as they were.
        const std::string locale = std::setlocale(LC_ALL, nullptr);
        const bool builtInPalette = &CurrentSystemPalette() == &BuiltInSystemPalette();
        int result = 0;
        {
            CTessaryViewApp app;
            result = app.InitInstance();
        }
        driver.stop();
        std::setlocale(LC_ALL, locale.c_str());
        if (builtInPalette) {
            SetSystemPalette(nullptr);
        }

        QCOMPARE(result, static_cast<int>(Answer::kCancel));
        QCOMPARE(seenFont, 150);
        QCOMPARE(seenRecent, QStringLiteral("&0 ") + QString::fromStdString(DemoLogPath()));
        // The version stamp is written at once; the rest only at the end.
        QCOMPARE(seenVersion, QString::number(ProgramVersion()));
        QCOMPARE(seenFontWhileRunning, QStringLiteral("150"));
        QCOMPARE(Stored(QStringLiteral("PaneFontPoint")).toString(), QStringLiteral("100"));
        QCOMPARE(Stored(QStringLiteral("_ProgVer")).toString(), QString::number(ProgramVersion()));
        QCOMPARE(Stored(QStringLiteral("FindTextMruList_00")).toString(), QStringLiteral("x"));
        QCOMPARE(Stored(QStringLiteral("FindTextMruList_01")).toString(),
                 QStringLiteral("<Warning> | <規定外> | <対象外> | <CRCエラー>"));
        QCOMPARE(Stored(QStringLiteral("FindTextMruList_02")).toString(), QString());
        const QSettings file(UserFile(), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("Other/Kept")).toString(), QStringLiteral("yes"));
        QVERIFY(ui.messages.empty());
    }
};

TESSARY_GUI_TEST(AppSettingsTest);

}  // namespace tessary::test

#include "test_app_settings.moc"
