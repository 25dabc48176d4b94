// Qt's own texts in Japanese: the standard buttons after loading the translations, and nothing
// changed when the translation files are missing.
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "GuiTestRegistry.h"
#include "settings/QtTranslations.h"
#include "support/TempDir.h"

namespace tessary::test {

class QtTranslationsTest : public QObject {
    Q_OBJECT

private:
    static QString CancelText() {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    }
    static int Translators() { return qApp->findChildren<QTranslator*>().size(); }

private slots:
    void cleanup() {
        // Other classes run after this one with Qt's texts as they were.
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    void StandardButtonsSpeakJapanese() {
        QCOMPARE(CancelText(), QStringLiteral("Cancel"));
        QVERIFY(LoadQtTranslations(*qApp));
        QCOMPARE(Translators(), 1);
        QCOMPARE(CancelText(), QStringLiteral("キャンセル"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 QStringLiteral("キャンセル"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("開く"));
    }

    void MissingFilesLeaveQtsTexts() {
        TempDir empty;
        QVERIFY(!LoadQtTranslations(*qApp, QString::fromStdString(empty.Path())));
        QCOMPARE(Translators(), 0);
        QCOMPARE(CancelText(), QStringLiteral("Cancel"));
    }
};

TESSARY_GUI_TEST(QtTranslationsTest);

}  // namespace tessary::test

#include "test_qt_translations.moc"
